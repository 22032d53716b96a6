#pragma once
// Brings the indexes of a data file made by an earlier version of the
// program up to those of db/schema.sql, which its statements rely on: each
// index missing or defined otherwise is made anew, all in one transaction.
// Only indexes change; every row stays as it is.
#include <functional>
#include <QString>

namespace DataIndexes {

// The number of indexes made anew (0 for a file already up to date); -1
// when the file could not take them now (read only, busy, damaged): it is
// left as it was, and the program works on it as before, only slower.
// working runs first when there is work to do (for a progress caption).
int Update(const QString& path, const std::function<void()>& working = {});

} // namespace DataIndexes
