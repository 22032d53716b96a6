#pragma once
// Repair and compaction of a data file.
#include <QString>

namespace dao {

// Integrity check; raises 3024 when missing, 3045 when this process has it
// open, 3343 when the check does not answer "ok". Never creates the file.
void RepairDatabase(const QString& path);

// VACUUM INTO dst; raises as RepairDatabase for the source, and the engine's
// error when dst exists.
void CompactDatabase(const QString& src, const QString& dst);

// Integrity check of a file opened read-only; raises 3343 when not "ok".
void CheckDatabase(const QString& path);

} // namespace dao
