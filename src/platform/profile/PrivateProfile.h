#pragma once
// The settings-file reader and writer (private-profile semantics).
#include <QString>

namespace profile {

// Returns the value (at most bufferSize-1 characters) or the default with
// trailing blanks removed; count receives the number of characters.
QString GetPrivateProfileString(const QString& section, const QString& key, const QString& defaultValue,
                                int bufferSize, const QString& file, int* count = nullptr);

// Creates a missing file (not a missing folder), appends a missing section or
// key, replaces an existing key in place, and leaves every other line as its
// bytes stand; false when the file cannot be written, and (writing nothing)
// when a name or the value holds a line break.
bool WritePrivateProfileString(const QString& section, const QString& key, const QString& value,
                               const QString& file);

} // namespace profile
