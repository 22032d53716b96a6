#pragma once
// Repair, compaction, backup and restore of a data file. Every one goes
// through the engine (its online backup, VACUUM, its locks); none copies or
// renames the bytes of a file a connection may hold.
#include <functional>
#include <QString>
#include <QStringList>
#include "ado/Connection.h"
#include "vb/RuntimeError.h"

namespace dao {

// The error a whole-file fault is reported with: 3045 "The data file is in
// use by another program.", 3051 "The data file or its folder is
// read-only.", 3026 "The disk is full.", 3343 "The data file is damaged.".
vb::RuntimeError FaultError(ado::FileFault fault);

// Integrity check under the file's own write lock; raises 3024 when missing,
// 3045 "Could not use ..." when this process has it open, and the fault's
// error when another program holds it, it is read-only or it is damaged.
void RepairDatabase(const QString& path);

// Compacts path in place (VACUUM, so connections other programs hold stay
// valid), after first writing it through the online backup into copy (which
// must not exist) and checking that copy; no other program can write from the
// copy on. Raises as RepairDatabase. A copy that fails to be written or
// checked is removed; once checked it stays for the caller. afterCopy runs
// between the copy and the compaction (tests make it fail).
void CompactDatabase(const QString& path, const QString& copy, const std::function<void()>& afterCopy = {});

// Integrity check of a file opened read-only; raises 3343 when not "ok".
void CheckDatabase(const QString& path);

// What a file offered as data holds, read without writing to it.
enum class Content { Data, Foreign, Damaged };
// Foreign: not an engine database, or one without every table named.
// Damaged: fails the integrity check (or, without checkPages, its list of
// tables cannot be read). Raises the fault's error when the file cannot be
// read at all.
Content Inspect(const QString& path, const QStringList& tables, bool checkPages = true);

// Writes the database from as the file to: through the online backup into a
// temporary file beside to, checked when asked, flushed with its folder and
// then renamed over to (a journal left by an earlier to goes first, so it can
// never be rolled back into the copy). Raises 75 when to is from itself
// (compared by device and inode, whatever links lead there), 3343 when the
// check fails; to stays as it was on every failure. The copy is made with
// the permission bits mode (from's when not given) and a header change
// counter of its own.
void CopyDatabase(const QString& from, const QString& to, bool check, int mode = -1);

// Puts the content of the checked database from into the data file live,
// keeping live as it was in keep (an older keep is replaced only once the
// restore has gone through; raises 75 when from is live itself). A sound
// live file is written in place through the online backup under its own lock;
// a missing or unreadable one is replaced by a new, flushed file renamed into
// place. Returns whether a keep copy was made (false when live was missing).
// Raises 3045 ("Could not use ...") when this process has live open and the
// fault's error when another program holds it; nothing changes then.
bool RestoreDatabase(const QString& from, const QString& live, const QString& keep);

} // namespace dao
