#pragma once
// A prepared SQLite statement for the record-set layer, with the engine's
// failures turned into the program's run-time errors.
#include <vector>
#include <sqlite3.h>
#include <QString>
#include "vb/Variant.h"

namespace ado::sqlite {

// Raises the program's error for an engine result code: failures to prepare
// (syntax, unknown table or column) and other engine failures differ.
[[noreturn]] void RaiseEngine(sqlite3* db, int rc, bool preparing);

// Statements of a handle kept prepared for the next use of the same text;
// dropped (finalized) before the handle closes.
void DropCached(sqlite3* db);

// The read transactions a ReadSnapshot keeps open (see Connection.h).
void BeginHeldReads();
void EndHeldReads();
// Gives back every kept read lock of this thread now.
void ReleaseHeldReads();
// Whether db holds a kept read transaction (it is idle for all else).
bool HoldsHeldRead(sqlite3* db);
// db is closing: its kept read ends with it.
void ForgetHeldRead(sqlite3* db);

// The busy handler of every handle: waits, under the busy pointer, while
// another program holds the file, for the patience set (10 s by default).
int WaitWhileBusy(void*, int attempt);
void SetBusyPatience(int milliseconds);
// The wait is over (the statement went through or gave up): the pointer goes back.
void EndBusyWait();
// Asks whether to wait again: true for Retry.
bool AskToRetry();
// The user chose Cancel: an error that needs no report of its own.
[[noreturn]] void RaiseBusyCancelled();

class Statement {
public:
    Statement(sqlite3* db, const QString& sql);
    Statement(sqlite3* db, const QByteArray& utf8);
    // One taken from the handle's kept statements when it holds this text;
    // finalize() and the destructor give it back, reset, unless it failed.
    struct Cached {};
    Statement(sqlite3* db, const QByteArray& utf8, Cached);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* get() const { return st_; }
    void bind(int index, const vb::Variant& v);    // 1-based
    void bindInt64(int index, qint64 v);
    void bindText(int index, const QByteArray& utf8);
    void bindAll(const std::vector<vb::Variant>& params);
    // One step: true for a row, false when done; raises on failure.
    bool step();
    void runToEnd() { while (step()) {} }
    void finalize();

private:
    void prepare(const QByteArray& utf8);
    void beforeFirstStep();
    void release();
    sqlite3* db_;
    sqlite3_stmt* st_ = nullptr;
    QByteArray cachedText_;   // empty unless kept for the next use
    bool failed_ = false;
};

} // namespace ado::sqlite
