// Repair and compaction of the data file, its size text, and the pause routine.
#include <chrono>
#include <thread>
#include <fcntl.h>
#include <unistd.h>
#include <cstdio>
#include <QFile>
#include <QFileInfo>
#include "data/Globals.h"
#include "ado/Connection.h"
#include "dao/DBEngine.h"
#include "forms/App.h"
#include "fso/FileSystem.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

namespace Globals {

namespace testing {
std::function<void()> AfterCompactCopy;
}

namespace {

// Flushes a file (or folder) to disk so a rename over the data file never
// leaves a name pointing at unwritten pages after a crash.
void SyncPath(const QString& path, bool isDir) {
    const int fd = ::open(QFile::encodeName(path).constData(), isDir ? O_RDONLY | O_DIRECTORY : O_RDWR);
    if (fd < 0) {
        if (isDir) return;   // a folder that cannot be opened only loses the extra safety
        vb::Raise(vb::err::SqlEngine, QStringLiteral("Cannot open '%1' to flush it.").arg(path));
    }
    const int rc = ::fsync(fd);
    ::close(fd);
    if (rc != 0 && !isDir) vb::Raise(vb::err::SqlEngine, QStringLiteral("Cannot flush '%1'.").arg(path));
}

} // namespace

bool CompactDatabase(const QString& dbPath) {
    forms::HourglassGuard hourglass;
    bool ok = false;
    QString backup;
    bool backupOurs = false;   // from the stale backup's deletion on, a backup file is our own
    try {
        const QString folder = forms::AppPath();
        const QString source = fso::ResolvePath(fso::InFolder(folder, dbPath));
        const QFileInfo srcInfo(source);
        backup = srcInfo.absolutePath() + QStringLiteral("/BackupOf") + srcInfo.fileName();

        if (!fso::FileExists(source))
            vb::Raise(vb::err::CouldNotFindFile, QStringLiteral("Could not find file '%1'.").arg(source));
        if (ado::Connection::IsFileOpen(source))
            vb::Raise(vb::err::FileInUse, QStringLiteral("Could not use '%1'; file already in use.").arg(source));

        dao::RepairDatabase(source);
        const QString before = FormatFileSize(fso::FileSize(source));

        backupOurs = true;
        if (fso::FileExists(backup)) fso::DeleteFile(backup);
        dao::CompactDatabase(source, backup);
        if (testing::AfterCompactCopy) testing::AfterCompactCopy();
        dao::CheckDatabase(backup);

        // The checked copy takes the data file's place in one rename.
        if (!QFile::setPermissions(backup, QFile::permissions(source)))
            vb::Raise(vb::err::SqlEngine, QStringLiteral("Cannot set the permissions of '%1'.").arg(backup));
        SyncPath(backup, false);
        if (std::rename(QFile::encodeName(backup).constData(), QFile::encodeName(source).constData()) != 0)
            vb::Raise(vb::err::SqlEngine, QStringLiteral("Cannot replace '%1'.").arg(source));
        backupOurs = false;
        SyncPath(srcInfo.absolutePath(), true);

        const QString after = FormatFileSize(fso::FileSize(source));
        ok = true;
        vb::MsgBox(dbPath.toUpper() + QStringLiteral(" compacted/repaired successfully.\r\n\r\nSize before compacting:\t") +
                       before + QStringLiteral("\r\nSize after compacting:\t") + after,
                   vb::vbInformation, QStringLiteral("Compact Successful"));
    } catch (...) {
        const vb::RuntimeError e = vb::ToRuntimeError(std::current_exception());
        if (backupOurs) vb::IgnoreErrors([&] { if (fso::FileExists(backup)) fso::DeleteFile(backup); });
        ok = false;
        vb::MsgBox(QString::number(e.Number()) + QStringLiteral(": ") + e.Description(), vb::vbCritical,
                   QStringLiteral("CompactDatabase Error"));
    }
    return ok;
}

QString FormatFileSize(int64_t n) {
    if (n < 1024) return QString::number(n) + QStringLiteral(" bytes");
    if (n < 1048576) return vb::Format00(double(n) / 1024.0) + QStringLiteral(" KB");
    if (n >= 1073741824) return vb::Format00(double(n) / 1073741824.0) + QStringLiteral(" GB");
    return vb::Format00(double(n) / 1048576.0) + QStringLiteral(" MB");
}

namespace {
std::function<double()>& pauseClock() {
    static std::function<double()> clock;
    return clock;
}
double SteadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}
} // namespace

void setPauseClock(std::function<double()> secondsNow) { pauseClock() = std::move(secondsNow); }

void Pause(int16_t seconds) {
    auto now = [] { return pauseClock() ? pauseClock()() : SteadySeconds(); };
    const double end = now() + seconds;
    for (;;) {
        forms::DoEvents();
        const double left = end - now();
        if (left <= 0) break;
        // Sleep briefly between pumps so a long wait does not spin a core.
        const double ms = std::min(left * 1000.0, 5.0);
        std::this_thread::sleep_for(std::chrono::microseconds(int64_t(ms * 1000.0)));
    }
}

} // namespace Globals
