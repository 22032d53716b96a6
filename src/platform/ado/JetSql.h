#pragma once
// Turns the Jet text the data classes build into SQLite's dialect.
// Quoted and bracketed text is never looked inside.
#include <vector>
#include <QByteArray>
#include <QString>

namespace ado {

// Raises -2147217900 (with a description) for what it cannot translate:
// a bad #date#, a malformed & operand, a second statement after ';'.
QString JetToSqlite(const QString& jet);

// A value taken out of a statement's text, to be bound in its place.
struct SqlLiteral {
    bool text = false;
    qint64 number = 0;
    QByteArray utf8;
};

// As above; for a SELECT, each whole number and text compared in its WHERE,
// HAVING and ON clauses (a = 5, b <= #date#, c <> 'x') becomes a '?' and is
// appended to lifted, so statements that differ only in those values are one
// statement to the engine. Result columns and every other literal stay text.
QString JetToSqlite(const QString& jet, std::vector<SqlLiteral>& lifted);

} // namespace ado
