// newdb PATH: makes a new, empty Vantrel data file. Never overwrites one.
#include <cstdio>
#include <sqlite3.h>
#include <sys/stat.h>
#include "SchemaText.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: newdb PATH\n");
        return 2;
    }
    const char* path = argv[1];
    // SQLite takes an empty name for a temporary database: nothing would be made.
    if (path[0] == '\0') {
        std::fprintf(stderr, "newdb: the path is empty; name the data file to make\n");
        return 1;
    }
    struct stat st;
    if (stat(path, &st) == 0) {
        std::fprintf(stderr, "newdb: %s already exists; not overwritten\n", path);
        return 1;
    }
    sqlite3* db = nullptr;
    // EXCLUSIVE-style create: fails rather than touch a file that appeared meanwhile.
    if (sqlite3_open_v2(path, &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "newdb: cannot create %s: %s\n", path, db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close(db);
        return 1;
    }
    char* msg = nullptr;
    int rc = sqlite3_exec(db, "BEGIN", nullptr, nullptr, &msg);
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, kSchemaText, nullptr, nullptr, &msg);
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, &msg);
    if (rc != SQLITE_OK) {
        std::fprintf(stderr, "newdb: %s\n", msg ? msg : sqlite3_errmsg(db));
        sqlite3_free(msg);
        sqlite3_close(db);
        std::remove(path);
        return 1;
    }
    if (sqlite3_close(db) != SQLITE_OK || stat(path, &st) != 0) {
        std::fprintf(stderr, "newdb: %s was not made\n", path);
        return 1;
    }
    std::printf("newdb: made %s\n", path);
    return 0;
}
