#include "dao/DBEngine.h"
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>
#include "ado/Recordset.h"
#include "fso/FileSystem.h"

namespace dao {

namespace {

using ado::Connection;
using ado::ConnectionPtr;
using ado::FileFault;

// An engine failure on cn becomes its fault's error when the fault is one the
// user can act on; anything else keeps the engine's own words.
[[noreturn]] void raiseFault(const Connection& cn, const vb::RuntimeError& e) {
    // A wait the user chose to stop needs no other word.
    if (e.IsAnswered()) throw e;
    const FileFault f = cn.LastFault();
    if (f == FileFault::None || f == FileFault::Other) throw e;
    throw FaultError(f);
}

template <class F>
void onFile(const Connection& cn, F&& body) {
    try {
        body();
    } catch (const vb::RuntimeError& e) {
        raiseFault(cn, e);
    }
}

// The source must exist and no connection of this process may hold it:
// its own handles would keep reading pages of the file as it was.
QString usableSource(const QString& path) {
    const QString resolved = fso::ResolvePath(path);
    if (!fso::FileExists(resolved)) throw vb::FileError(vb::err::CouldNotFindFile, path);
    Connection::EmptyPool();
    if (Connection::IsFileOpen(resolved)) throw vb::FileError(vb::err::FileInUse, path);
    return resolved;
}

ConnectionPtr openOn(const QString& path, bool readOnly) {
    auto cn = std::make_shared<Connection>();
    onFile(*cn, [&] { cn->OpenFile(path, readOnly); });
    return cn;
}

QStringList column(const ConnectionPtr& cn, const QString& sql) {
    QStringList out;
    ado::Recordset rs;
    rs.Open(sql, cn, ado::adOpenForwardOnly, ado::adLockReadOnly);
    for (; !rs.Eof(); rs.MoveNext()) out << rs.Fields(0).Value().str();
    rs.Close();
    return out;
}

bool integrityOk(const ConnectionPtr& cn) {
    return column(cn, QStringLiteral("PRAGMA integrity_check")) == QStringList{QStringLiteral("ok")};
}

void requireSound(const ConnectionPtr& cn) {
    bool ok = false;
    onFile(*cn, [&] { ok = integrityOk(cn); });
    if (!ok) throw FaultError(FileFault::Damaged);
}

// Flushes a file (or folder) to disk, so a rename never leaves a name
// pointing at pages that were not yet written.
void syncPath(const QString& path, bool isDir) {
    const int fd = ::open(QFile::encodeName(path).constData(), isDir ? O_RDONLY | O_DIRECTORY : O_RDONLY);
    if (fd < 0) {
        if (isDir) return;   // a folder that cannot be opened only loses the extra safety
        vb::Raise(75, QStringLiteral("Path/File access error: ") + path);
    }
    const int rc = ::fsync(fd);
    ::close(fd);
    if (rc != 0 && !isDir) throw FaultError(ado::ClassifyFailure(10 /* I/O error */, errno));
}

QString journalOf(const QString& path) { return path + QStringLiteral("-journal"); }

// The permission bits a copy of path is made with: never more readable than it.
int modeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : 0600;
}

// A copy made through the online backup carries the change counter of the
// file it came from, so two copies of one file look alike to a handle that
// kept pages of one of them: a file manager copying one over the data file
// would leave those pages to be read (and written back) as current. Each
// copy gets a counter of its own, written into its header, also where the
// engine checks it is valid.
void stampCopy(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) vb::Raise(75, QStringLiteral("Path/File access error: ") + path);
    const quint32 n = QRandomGenerator::system()->generate();
    const unsigned char counter[4] = {static_cast<unsigned char>(n >> 24), static_cast<unsigned char>(n >> 16),
                                      static_cast<unsigned char>(n >> 8), static_cast<unsigned char>(n)};
    const bool ok = ::pwrite(fd, counter, 4, 24) == 4 && ::pwrite(fd, counter, 4, 92) == 4;
    const int err = errno;
    ::close(fd);
    if (!ok) throw FaultError(ado::ClassifyFailure(10 /* I/O error */, err));
}

void removeQuietly(const QString& path) {
    QFile::remove(path);
    QFile::remove(journalOf(path));
}

// Renames a finished, flushed file over to; to's own journal goes first
// (kept as keepJournal when given), since the engine would take it for an
// unfinished transaction of the new file and roll it back into it.
void putInPlace(const QString& temp, const QString& to, const QString& keepJournal = QString()) {
    syncPath(temp, false);
    const QString journal = journalOf(to);
    if (QFileInfo::exists(journal)) {
        const bool gone = keepJournal.isEmpty()
                              ? QFile::remove(journal)
                              : (QFile::remove(keepJournal), QFile::rename(journal, keepJournal));
        if (!gone) vb::Raise(75, QStringLiteral("Path/File access error: ") + journal);
    }
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(to).constData()) != 0)
        throw FaultError(ado::ClassifyFailure(10 /* I/O error */, errno));
    syncPath(QFileInfo(to).absolutePath(), true);
}

// Copies the bytes of a file no engine can read (nothing can be holding it
// as a database) to keep, through a flushed temporary file.
void keepBytes(const QString& live, const QString& keep) {
    const QString temp = keep + QStringLiteral(".copying");
    removeQuietly(temp);
    const int fd = ::open(QFile::encodeName(temp).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    bool copied = fd >= 0 && ::fchmod(fd, modeOf(live)) == 0;
    if (fd >= 0) {
        QFile in(live), out;
        copied = copied && in.open(QIODevice::ReadOnly) && out.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle);
        while (copied && !in.atEnd()) {
            const QByteArray chunk = in.read(1 << 20);
            copied = !chunk.isEmpty() && out.write(chunk) == chunk.size();
        }
        copied = copied && out.flush();
        if (!out.isOpen()) ::close(fd);
    }
    if (!copied) {
        QFile::remove(temp);
        vb::Raise(75, QStringLiteral("Path/File access error: ") + keep);
    }
    try {
        putInPlace(temp, keep);
    } catch (...) {
        QFile::remove(temp);
        throw;
    }
}

} // namespace

vb::RuntimeError FaultError(FileFault fault) {
    switch (fault) {
    case FileFault::InUse:
        return vb::RuntimeError(vb::err::FileInUse, QStringLiteral("The data file is in use by another program."));
    case FileFault::ReadOnly:
        return vb::RuntimeError(3051, QStringLiteral("The data file or its folder is read-only."));
    case FileFault::DiskFull: return vb::RuntimeError(3026, QStringLiteral("The disk is full."));
    case FileFault::Damaged:
    case FileFault::NotADatabase:
        return vb::RuntimeError(vb::err::UnrecognizedFormat, QStringLiteral("The data file is damaged."));
    default: return vb::RuntimeError(vb::err::SqlEngine, QStringLiteral("The data file could not be used."));
    }
}

void RepairDatabase(const QString& path) {
    const ConnectionPtr cn = openOn(usableSource(path), false);
    if (cn->IsReadOnly()) throw FaultError(FileFault::ReadOnly);
    // The write lock refuses a file another program is writing, before anything is done.
    onFile(*cn, [&] { cn->Execute(QStringLiteral("BEGIN IMMEDIATE")); });
    requireSound(cn);
    cn->Execute(QStringLiteral("ROLLBACK"));
    cn->Close();
}

void CompactDatabase(const QString& path, const QString& copy, const std::function<void()>& afterCopy) {
    const QString resolved = usableSource(path);
    const ConnectionPtr live = openOn(resolved, false);
    if (live->IsReadOnly()) throw FaultError(FileFault::ReadOnly);
    // From here no other program can start writing: the copy and the
    // compacted file hold the same rows.
    onFile(*live, [&] { live->Execute(QStringLiteral("BEGIN IMMEDIATE")); });
    {
        // A second, reading connection may copy while the write lock is held.
        const ConnectionPtr reader = openOn(resolved, true);
        auto out = std::make_shared<Connection>();
        try {
            onFile(*out, [&] { out->OpenNewFile(copy, modeOf(resolved)); });
            onFile(*out, [&] { reader->CopyTo(*out); });
            out->Close();
            reader->Close();
            stampCopy(copy);
            requireSound(openOn(copy, true));
            syncPath(copy, false);
        } catch (...) {
            out->Close();
            removeQuietly(copy);
            throw;
        }
    }
    if (afterCopy) afterCopy();
    // VACUUM rewrites the file in place as one transaction of its own, so it
    // cannot run inside ours; it takes the exclusive lock itself.
    live->Execute(QStringLiteral("ROLLBACK"));
    onFile(*live, [&] { live->Execute(QStringLiteral("VACUUM")); });
    live->Close();
}

void CheckDatabase(const QString& path) {
    const QString resolved = fso::ResolvePath(path);
    if (!fso::FileExists(resolved)) throw vb::FileError(vb::err::CouldNotFindFile, path);
    requireSound(openOn(resolved, true));
}

Content Inspect(const QString& path, const QStringList& tables, bool checkPages) {
    const ConnectionPtr cn = openOn(path, true);
    try {
        QSet<QString> have;
        for (const QString& t : column(cn, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'")))
            have.insert(t.toLower());
        for (const QString& t : tables)
            if (!have.contains(t.toLower())) return Content::Foreign;
        return !checkPages || integrityOk(cn) ? Content::Data : Content::Damaged;
    } catch (const vb::RuntimeError& e) {
        const FileFault f = cn->LastFault();
        if (f == FileFault::NotADatabase) return Content::Foreign;
        // Read-only here means a journal beside it: a transaction cut off
        // half-way, which a backup should not be; the data file itself rolls
        // it back when it is opened for writing.
        if (f == FileFault::Damaged || (checkPages && f == FileFault::ReadOnly)) return Content::Damaged;
        raiseFault(*cn, e);
    }
}

void CopyDatabase(const QString& from, const QString& to, bool check, int mode) {
    // The copy replaces its target by name: no handle kept for reuse may
    // outlive that on either file.
    Connection::EmptyPool();
    const QString src = fso::ResolvePath(from);
    const QString dst = QString(to).replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!fso::FileExists(src)) vb::Raise(vb::err::FileNotFound);
    if (fso::FolderExists(dst) || fso::SameFile(src, dst)) vb::Raise(75, QStringLiteral("Path/File access error: ") + dst);
    const QString temp = dst + QStringLiteral(".copying");
    removeQuietly(temp);
    auto out = std::make_shared<Connection>();
    try {
        // Read-write, so a journal left by a writer that died is rolled back
        // before the pages are read.
        const ConnectionPtr in = openOn(src, false);
        onFile(*out, [&] { out->OpenNewFile(temp, mode >= 0 ? mode : modeOf(src)); });
        onFile(*out, [&] { in->CopyTo(*out); });
        out->Close();
        in->Close();
        stampCopy(temp);
        if (check) requireSound(openOn(temp, true));
        putInPlace(temp, dst);
    } catch (...) {
        out->Close();
        removeQuietly(temp);
        throw;
    }
}

bool RestoreDatabase(const QString& from, const QString& live, const QString& keep) {
    const QString target = fso::ResolvePath(live);
    Connection::EmptyPool();
    if (Connection::IsFileOpen(target)) throw vb::FileError(vb::err::FileInUse, live);
    // The data file itself (or a link to it) is no backup; nothing is touched.
    if (fso::SameFile(fso::ResolvePath(from), target)) vb::Raise(75, QStringLiteral("Path/File access error: ") + from);
    if (!fso::FileExists(target)) {
        CopyDatabase(from, target, true);
        return false;
    }
    const ConnectionPtr cn = openOn(target, false);
    bool readable = true;
    try {
        // Takes, and so waits for, every lock another program may hold; a
        // journal left by a writer that died is rolled back here.
        cn->Execute(QStringLiteral("BEGIN EXCLUSIVE"));
        cn->Execute(QStringLiteral("ROLLBACK"));
    } catch (const vb::RuntimeError& e) {
        const FileFault f = cn->LastFault();
        if (e.IsAnswered() || (f != FileFault::Damaged && f != FileFault::NotADatabase)) raiseFault(*cn, e);
        readable = false;
    }
    if (cn->IsReadOnly()) throw FaultError(FileFault::ReadOnly);
    cn->Close();
    // The keep copy an earlier restore announced stays until this one has
    // gone through: the new one is written beside it and renamed over it last.
    const QString keepNew = keep + QStringLiteral(".new");
    removeQuietly(keepNew);
    try {
        if (!readable) {
            keepBytes(target, keepNew);
            const QString temp = target + QStringLiteral(".copying");
            // The new file takes the old one's place; the old one's journal goes with the kept copy.
            CopyDatabase(from, temp, true, modeOf(target));
            try {
                putInPlace(temp, target, journalOf(keepNew));
            } catch (...) {
                removeQuietly(temp);
                throw;
            }
        } else {
            CopyDatabase(target, keepNew, false);
            const ConnectionPtr in = openOn(from, true);
            const ConnectionPtr out = openOn(target, false);
            // Every page is written under the live file's exclusive lock, in one
            // transaction of its own journal: all of it or none.
            onFile(*out, [&] { in->CopyTo(*out); });
            out->Close();
            in->Close();
        }
    } catch (...) {
        removeQuietly(keepNew);
        throw;
    }
    putInPlace(keepNew, keep);
    if (QFileInfo::exists(journalOf(keepNew))) QFile::rename(journalOf(keepNew), journalOf(keep));
    return true;
}

} // namespace dao
