#include "fso/FileSystem.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include "vb/RuntimeError.h"
#include <sys/stat.h>

namespace fso {

namespace {

QString normalized(const QString& path) {
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return p;
}

[[noreturn]] void raiseAccess(const QString& what) {
    vb::Raise(75, QStringLiteral("Path/File access error: ") + what);
}

} // namespace

bool FileExists(const QString& path) {
    const QFileInfo fi(normalized(path));
    return fi.exists() && !fi.isDir();
}

bool FolderExists(const QString& path) {
    return QFileInfo(normalized(path)).isDir();
}

void CreateFolder(const QString& path) {
    const QString p = normalized(path);
    if (QFileInfo::exists(p)) vb::Raise(58, QStringLiteral("File already exists"));
    if (!QDir().mkdir(p)) {
        if (!QFileInfo(QFileInfo(p).absolutePath()).isDir()) vb::Raise(76, QStringLiteral("Path not found"));
        raiseAccess(p);
    }
}

void DeleteFile(const QString& path) {
    const QString p = normalized(path);
    if (!FileExists(p)) vb::Raise(vb::err::FileNotFound);
    if (!QFile::remove(p)) vb::Raise(70, QStringLiteral("Permission denied"));
}

void CopyFile(const QString& from, const QString& to, bool overwrite) {
    const QString src = normalized(from);
    QString dst = normalized(to);
    if (!FileExists(src)) vb::Raise(vb::err::FileNotFound);
    // Copying onto a folder puts the file inside it, as the shell does.
    if (FolderExists(dst)) dst = InFolder(dst, QFileInfo(src).fileName());
    if (QFileInfo(src).absoluteFilePath() == QFileInfo(dst).absoluteFilePath()) raiseAccess(dst);
    if (QFileInfo::exists(dst)) {
        if (!overwrite) vb::Raise(58, QStringLiteral("File already exists"));
        if (!QFile::remove(dst)) vb::Raise(70, QStringLiteral("Permission denied"));
    }
    if (!QFile::copy(src, dst)) {
        if (!FolderExists(QFileInfo(dst).absolutePath())) vb::Raise(76, QStringLiteral("Path not found"));
        raiseAccess(dst);
    }
}

int64_t FileSize(const QString& path) {
    const QFileInfo fi(normalized(path));
    if (!fi.exists() || fi.isDir()) vb::Raise(vb::err::FileNotFound);
    return static_cast<int64_t>(fi.size());
}

QString ResolvePath(const QString& path) {
    const QString p = normalized(path);
    if (p.isEmpty() || QFileInfo::exists(p)) return p;
    const QFileInfo fi(p);
    const QString wanted = fi.fileName();
    QDir dir = fi.dir();
    if (wanted.isEmpty() || !dir.exists()) return p;
    // Callers write the data file's name with varying capitals; the file
    // system here does not ignore them, so find the one that is meant.
    QString match;
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& n : names) {
        if (n.compare(wanted, Qt::CaseInsensitive) != 0) continue;
        if (n == QLatin1String("Vantrel.mdb")) { match = n; break; }
        if (match.isEmpty()) match = n;
    }
    if (match.isEmpty()) return p;
    const QString folder = p.left(p.size() - wanted.size());
    return folder + match;
}

QString InFolder(const QString& folder, const QString& name) {
    QString f = normalized(folder);
    QString n = normalized(name);
    while (f.size() > 1 && f.endsWith(QLatin1Char('/'))) f.chop(1);
    // A full path given where a name was expected is kept (but "\\Vantrel.mdb"
    // is a name in the program folder, not a file at the root).
    if (!f.isEmpty() && n.startsWith(f + QLatin1Char('/'))) return n;
    if (n.startsWith(QLatin1Char('/'))) {
        const QString parent = QFileInfo(n).path();
        if (parent != QLatin1String("/") && QFileInfo(parent).isDir()) return n;
    }
    while (n.startsWith(QLatin1Char('/'))) n.remove(0, 1);
    if (f.isEmpty()) return n;
    if (f == QLatin1String("/")) return f + n;
    return f + QLatin1Char('/') + n;
}

bool SameFile(const QString& a, const QString& b) {
    struct stat sa {}, sb {};
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 && ::stat(QFile::encodeName(b).constData(), &sb) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

} // namespace fso
