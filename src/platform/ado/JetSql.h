#pragma once
// Turns the Jet text the data classes build into SQLite's dialect.
// Quoted and bracketed text is never looked inside.
#include <QString>

namespace ado {

// Raises -2147217900 (with a description) for what it cannot translate:
// a bad #date#, a malformed & operand, a second statement after ';'.
QString JetToSqlite(const QString& jet);

} // namespace ado
