#pragma once
// The file-system subset the program uses, and the data-file path resolver.
#include <cstdint>
#include <QString>

namespace fso {

bool FileExists(const QString& path);
bool FolderExists(const QString& path);
void CreateFolder(const QString& path);                 // raises on failure
void DeleteFile(const QString& path);                   // raises 53 when missing
void CopyFile(const QString& from, const QString& to, bool overwrite = true);  // raises on failure
int64_t FileSize(const QString& path);                  // raises 53 when missing

// "\" becomes "/"; the path as given when it exists, else the one file of its
// folder whose name matches ignoring case ("Vantrel.mdb" first when several
// do), else the path as given.
QString ResolvePath(const QString& path);

// Whether two paths lead to one file or folder, whatever links lead there.
bool SameFile(const QString& a, const QString& b);

// Joins the program folder and a file name written with either separator.
QString InFolder(const QString& folder, const QString& name);

} // namespace fso
