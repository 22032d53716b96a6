#pragma once
// A program folder in a temporary directory with a data file made from
// db/schema.sql and the rows a benchmark generates, in one transaction; the
// program-folder service points at it while the benchmark runs.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include "forms/App.h"

class BenchFolder {
public:
    explicit BenchFolder(const char* generateSql) {
        QFile schema(QStringLiteral(VANTREL_SCHEMA_FILE));
        if (!schema.open(QIODevice::ReadOnly)) fail("cannot read " VANTREL_SCHEMA_FILE);
        sqlite3* db = nullptr;
        sqlite3_open_v2(dataFile().toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        const auto t0 = std::chrono::steady_clock::now();
        for (const QByteArray& sql : {schema.readAll(), QByteArray(generateSql)}) {
            char* msg = nullptr;
            if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &msg) != SQLITE_OK) fail(msg ? msg : "?");
        }
        sqlite3_close(db);
        std::fprintf(stderr, "data file generated in %.0f ms\n",
                     std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        const QString p = dir_.path();
        forms::setAppPathProvider([p] { return p; });
    }
    QString path() const { return dir_.path(); }
    QString dataFile() const { return dir_.path() + QStringLiteral("/Vantrel.mdb"); }

private:
    [[noreturn]] static void fail(const char* what) {
        std::fprintf(stderr, "generating the data file: %s\n", what);
        std::exit(1);
    }
    QTemporaryDir dir_;
};
