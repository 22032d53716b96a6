#include "ado/Connection.h"
#include <cerrno>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sqlite3.h>
#include <sys/stat.h>
#include <vector>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include "ado/SqliteStatement.h"
#include "fso/FileSystem.h"
#include "vb/Conv.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

namespace ado {

namespace {

// Open handles by file, so compaction and restore can refuse a file in use.
// Never destroyed: shared data-access instances that live until the process
// ends close their connections after every ordinary static is gone.
struct Registry {
    std::mutex mutex;
    std::map<QString, int> open;
};
Registry& reg() {
    static Registry* r = new Registry;
    return *r;
}

QString registryKey(const QString& path) {
    const QFileInfo fi(path);
    const QString canonical = fi.canonicalFilePath();
    return canonical.isEmpty() ? fi.absoluteFilePath() : canonical;
}

void registerOpen(const QString& key) {
    Registry& r = reg();
    std::lock_guard<std::mutex> lock(r.mutex);
    ++r.open[key];
}

void registerClose(const QString& key) {
    Registry& r = reg();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.open.find(key);
    if (it != r.open.end() && --it->second <= 0) r.open.erase(it);
}

// Closed handles kept for the next open of the same file: opening a file
// reads its whole schema again, which costs more than most statements.
// Keyed by the file's identity (device and inode), so a file replaced under
// the same name is never read through a handle of the one before. Parked
// handles hold no lock and are not counted as open; whatever needs the file
// to itself empties the pool first.
struct FileId {
    unsigned long long dev = 0, ino = 0;
    bool operator==(const FileId&) const = default;
};

bool fileIdOf(const QString& path, FileId& out) {
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return false;
    out = FileId{static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino)};
    return true;
}

// The file as a parked handle last knew it: size, modification time and the
// header's change counter and page count. A file manager copying another file
// over the data file keeps its name and inode; a handle reused then would go
// on reading the pages it kept of the file as it was.
struct FileState {
    long long size = -1, mtimeSec = -1, mtimeNsec = -1;
    QByteArray header;
    bool operator==(const FileState&) const = default;
};

bool fileStateOf(const QString& path, FileId& id, FileState& out) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    char header[16] = {};
    const bool ok = ::fstat(fd, &st) == 0 && ::pread(fd, header, sizeof header, 24) >= 0;
    ::close(fd);
    if (!ok) return false;
    id = FileId{static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino)};
    out = FileState{static_cast<long long>(st.st_size), static_cast<long long>(st.st_mtim.tv_sec),
                    static_cast<long long>(st.st_mtim.tv_nsec), QByteArray(header, sizeof header)};
    return true;
}

// A handle whose file was renamed away, or reached through a link since
// removed, refuses every write: never one to reuse.
bool hasMoved(sqlite3* db) {
    int moved = 0;
    return sqlite3_file_control(db, "main", SQLITE_FCNTL_HAS_MOVED, &moved) != SQLITE_OK || moved != 0;
}

// Kept statements are finalized first: a handle with statements left only
// becomes a zombie that keeps the file open.
void closeHandle(sqlite3* db) {
    sqlite::ForgetHeldRead(db);
    sqlite::DropCached(db);
    sqlite3_close_v2(db);
}

struct Parked {
    sqlite3* db;
    FileId id;
    FileState state;
    int flags;
    QString path, key;   // as opened, and its in-use key
};

constexpr size_t kPoolSize = 4;

// Never destroyed, like the registry: handles are parked by connections
// that close after every ordinary static is gone.
struct Pool {
    std::mutex mutex;
    std::vector<Parked> parked;
};
Pool& pool() {
    static Pool* p = new Pool;
    return *p;
}

// A parked handle of the file, and its in-use key when it was opened by
// the same path (the key costs a walk of the path otherwise).
// One whose file changed in any way since it was parked is closed instead.
sqlite3* takeParked(const FileId& id, const FileState& state, int flags, const QString& path, QString& key) {
    sqlite3* found = nullptr;
    std::vector<sqlite3*> stale;
    {
        std::lock_guard<std::mutex> lock(pool().mutex);
        auto& p = pool().parked;
        for (auto it = p.begin(); it != p.end() && !found;) {
            if (!(it->id == id && it->flags == flags)) {
                ++it;
                continue;
            }
            if (it->state == state && !hasMoved(it->db)) {
                found = it->db;
                if (it->path == path) key = it->key;
            } else {
                stale.push_back(it->db);
            }
            it = p.erase(it);
        }
    }
    for (sqlite3* db : stale) closeHandle(db);
    return found;
}

// Parks db, or closes it when it is not idle; the oldest parked handle
// makes room.
void park(sqlite3* db, const FileId& opened, int flags, const QString& path, const QString& key) {
    // A read a ReadSnapshot keeps is given back when the snapshot ends.
    bool idle = sqlite3_get_autocommit(db) || sqlite::HoldsHeldRead(db);
    for (sqlite3_stmt* s = sqlite3_next_stmt(db, nullptr); idle && s; s = sqlite3_next_stmt(db, s))
        idle = !sqlite3_stmt_busy(s);
    // The file as it stands now, after this handle's own writes; one
    // replaced under its name meanwhile is not the file the handle holds.
    FileId id;
    FileState state;
    if (idle) idle = fileStateOf(path, id, state) && id == opened;
    if (!idle) {
        closeHandle(db);
        return;
    }
    sqlite3* evicted = nullptr;
    {
        std::lock_guard<std::mutex> lock(pool().mutex);
        auto& p = pool().parked;
        if (p.size() >= kPoolSize) {
            evicted = p.front().db;
            p.erase(p.begin());
        }
        p.push_back({db, id, state, flags, path, key});
    }
    if (evicted) closeHandle(evicted);
}

// SQL val(): Null stays Null, a number is itself, text is read as the runtime's Val reads it.
void valFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (argc != 1) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_value* v = argv[0];
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL: sqlite3_result_null(ctx); break;
    case SQLITE_INTEGER: sqlite3_result_int64(ctx, sqlite3_value_int64(v)); break;
    case SQLITE_FLOAT: sqlite3_result_double(ctx, sqlite3_value_double(v)); break;
    default: {
        const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
        const int n = sqlite3_value_bytes(v);
        sqlite3_result_double(ctx, vb::Val(QString::fromUtf8(p, n)));
        break;
    }
    }
}

// The engine retries a refused open read-only, so the system error it keeps
// is that of the retry ("no such file"); the file and its folder say why.
FileFault cannotOpen(const QString& path, FileFault fault) {
    if (fault != FileFault::Other) return fault;
    const QByteArray file = QFile::encodeName(path);
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    if (::access(folder.constData(), W_OK) != 0) return ClassifyFailure(SQLITE_CANTOPEN, errno);
    if (::access(file.constData(), F_OK) == 0 && ::access(file.constData(), W_OK) != 0)
        return ClassifyFailure(SQLITE_CANTOPEN, errno);
    return fault;
}

QString unquote(QString v) {
    v = v.trimmed();
    if (v.size() >= 2 && v.front() == QLatin1Char('"') && v.back() == QLatin1Char('"')) v = v.mid(1, v.size() - 2);
    return v;
}

} // namespace

ConnectionSettings ParseConnectionString(const QString& text) {
    ConnectionSettings out;
    QStringList parts;
    QString cur;
    bool inQuote = false;
    for (QChar c : text) {
        if (c == QLatin1Char('"')) inQuote = !inQuote;
        if (c == QLatin1Char(';') && !inQuote) {
            parts << cur;
            cur.clear();
        } else {
            cur += c;
        }
    }
    parts << cur;
    for (const QString& part : parts) {
        const qsizetype eq = part.indexOf(QLatin1Char('='));
        if (eq < 0) continue;
        const QString key = part.left(eq).trimmed();
        const QString value = unquote(part.mid(eq + 1));
        if (key.compare(QLatin1String("Provider"), Qt::CaseInsensitive) == 0) out.provider = value;
        else if (key.compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0) out.dataSource = value;
        // Mode, Persist Security Info and the server keys mean nothing to a file.
    }
    return out;
}

Connection::Connection() = default;

Connection::~Connection() {
    try { Close(); } catch (...) {}
}

void Connection::Open(const QString& connectionString, const QString& userId, const QString& password, long options) {
    if (db_) vb::Raise(vb::err::ObjectOpen);
    if (!connectionString.isEmpty()) ConnectionString = connectionString;
    const ConnectionSettings cs = ParseConnectionString(ConnectionString);
    if (cs.provider.compare(QLatin1String("Microsoft.Jet.OLEDB.4.0"), Qt::CaseInsensitive) != 0)
        vb::Raise(vb::err::ProviderNotFound);
    OpenFile(fso::ResolvePath(cs.dataSource), false);
}

void Connection::OpenFile(const QString& path, bool readOnly) {
    // Never SQLITE_OPEN_CREATE: a missing data file must stay missing.
    openWith(path, readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE);
}

void Connection::OpenNewFile(const QString& path, int mode) {
    if (db_) vb::Raise(vb::err::ObjectOpen);
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) vb::Raise(58, QStringLiteral("File already exists"));
    if (mode >= 0) {
        // Made here, empty, so no byte of the data ever stands in a file
        // more readable than the data file (the engine would make it 0644).
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode & 0777);
        if (fd < 0) {
            lastFault_ = ClassifyFailure(SQLITE_CANTOPEN, errno);
            vb::Raise(vb::err::SqlEngine, QStringLiteral("unable to open database file"));
        }
        const bool ok = ::fchmod(fd, mode & 0777) == 0;
        ::close(fd);
        if (!ok) {
            QFile::remove(path);
            vb::Raise(75, QStringLiteral("Path/File access error: ") + path);
        }
    }
    openWith(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

void Connection::openWith(const QString& path, int openFlags) {
    if (db_) vb::Raise(vb::err::ObjectOpen);
    lastFault_ = FileFault::None;
    // SQLite reads "" and ":memory:" as a fresh scratch database, which would
    // look like an empty data file instead of a missing one.
    if (path.trimmed().isEmpty() || path == QLatin1String(":memory:"))
        vb::Raise(vb::err::SqlEngine, QStringLiteral("unable to open database file"));
    const int flags = openFlags | SQLITE_OPEN_NOMUTEX;
    // A file being made is never one a parked handle holds.
    const bool pooled = !(openFlags & SQLITE_OPEN_CREATE);
    FileId id;
    FileState state;
    QString key;
    openError_.reset();
    sqlite3* db = pooled && fileStateOf(path, id, state) ? takeParked(id, state, flags, path, key) : nullptr;
    if (db) {
        parkable_ = true;
    } else {
        const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
        if (rc != SQLITE_OK) {
            const QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
            lastFault_ = cannotOpen(path, ClassifyFailure(db ? sqlite3_extended_errcode(db) : rc,
                                                          db ? sqlite3_system_errno(db) : 0));
            sqlite3_close_v2(db);
            // A data file moved or deleted while the program runs is named,
            // with the folder it was looked for in.
            const QFileInfo fi(path);
            if (!fi.exists() && !fi.isSymLink() && !(openFlags & SQLITE_OPEN_CREATE))
                openError_ = vb::RuntimeError::Refusal(
                    vb::err::CouldNotFindFile, fi.fileName() + QStringLiteral(" was not found in ") +
                                                   QDir::cleanPath(fi.absolutePath()) + QLatin1Char('.'));
            else
                openError_ = vb::RuntimeError(vb::err::SqlEngine, msg);
            throw *openError_;
        }
        // A lock held by another program: wait for it (see SetBusyPatience).
        sqlite3_busy_handler(db, &sqlite::WaitWhileBusy, nullptr);
        sqlite3_extended_result_codes(db, 0);
        // Room for the pages a report over a business-size file reads again
        // and again (clients, invoices, lines, payments), so a reused handle
        // finds them instead of asking the system for each; filled only as read.
        sqlite3_exec(db, "PRAGMA cache_size = -16384", nullptr, nullptr, nullptr);
        sqlite3_create_function_v2(db, "val", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, valFunction, nullptr,
                                   nullptr, nullptr);
        // The file as opened, now that the handle holds it open.
        parkable_ = pooled && fileIdOf(path, id);
    }
    db_ = db;
    dev_ = id.dev;
    ino_ = id.ino;
    flags_ = flags;
    path_ = path;
    regKey_ = key.isEmpty() ? registryKey(path) : key;
    registerOpen(regKey_);
    inTrans_ = false;
}

void Connection::Close() {
    if (!db_) return;
    // A failure kept for LastFault() outlives the handle.
    lastFault_ = LastFault();
    // Closing with a transaction still open rolls it back (such a handle is
    // closed, never parked).
    if (parkable_) park(db_, FileId{dev_, ino_}, flags_, path_, regKey_);
    else closeHandle(db_);
    db_ = nullptr;
    parkable_ = false;
    registerClose(regKey_);
    regKey_.clear();
    path_.clear();
    inTrans_ = false;
}

sqlite3* Connection::Handle() const {
    if (!db_) {
        if (openError_) throw *openError_;
        vb::Raise(vb::err::ConnectionUnusable);
    }
    return db_;
}

void Connection::Execute(const QString& sql, const std::vector<vb::Variant>& params) {
    sqlite::Statement st(Handle(), sql);
    st.bindAll(params);
    st.runToEnd();
}

void Connection::BeginTrans() {
    Execute(QStringLiteral("BEGIN IMMEDIATE"));
    inTrans_ = true;
}

void Connection::CommitTrans() {
    Execute(QStringLiteral("COMMIT"));
    inTrans_ = !sqlite3_get_autocommit(db_);
}

void Connection::RollbackTrans() {
    sqlite3* db = Handle();
    // The engine may already have rolled back on its own (a full disk, an I/O error).
    if (!sqlite3_get_autocommit(db)) Execute(QStringLiteral("ROLLBACK"));
    inTrans_ = false;
}

void Connection::EmptyPool() {
    std::vector<Parked> parked;
    {
        std::lock_guard<std::mutex> lock(pool().mutex);
        parked.swap(pool().parked);
    }
    for (const Parked& p : parked) closeHandle(p.db);
}

void Connection::SetBusyPatience(int milliseconds) { sqlite::SetBusyPatience(milliseconds); }

bool Connection::IsFileOpen(const QString& resolvedPath) {
    const QString key = registryKey(fso::ResolvePath(resolvedPath));
    Registry& r = reg();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.open.count(key) > 0;
}

ReadSnapshot::ReadSnapshot() {
    // Another program must not wait on a lock while a message waits on the user.
    vb::setBeforeAsking(&sqlite::ReleaseHeldReads);
    sqlite::BeginHeldReads();
}

ReadSnapshot::~ReadSnapshot() { sqlite::EndHeldReads(); }

FileFault ClassifyFailure(int engineCode, int systemErrno) {
    switch (engineCode & 0xff) {
    case SQLITE_OK: case SQLITE_DONE: case SQLITE_ROW: return FileFault::None;
    case SQLITE_BUSY: case SQLITE_LOCKED: return FileFault::InUse;
    case SQLITE_READONLY: case SQLITE_PERM: return FileFault::ReadOnly;
    case SQLITE_FULL: return FileFault::DiskFull;
    case SQLITE_CORRUPT: return FileFault::Damaged;
    case SQLITE_NOTADB: return FileFault::NotADatabase;
    case SQLITE_CANTOPEN: case SQLITE_IOERR:
        // The engine names only the failed call; the system says why.
        switch (systemErrno) {
        case EACCES: case EPERM: case EROFS: return FileFault::ReadOnly;
        case ENOSPC: case EDQUOT: case EFBIG: return FileFault::DiskFull;
        default: return FileFault::Other;
        }
    default: return FileFault::Other;
    }
}

FileFault Connection::LastFault() const {
    if (!db_) return lastFault_;
    const int code = sqlite3_extended_errcode(db_);
    const FileFault f = ClassifyFailure(code, sqlite3_system_errno(db_));
    return (code & 0xff) == SQLITE_CANTOPEN ? cannotOpen(path_, f) : f;
}

bool Connection::IsReadOnly() const { return sqlite3_db_readonly(Handle(), "main") == 1; }

void Connection::CopyTo(Connection& dest) {
    sqlite3* to = dest.Handle();
    sqlite3_backup* b = sqlite3_backup_init(to, "main", Handle(), "main");
    if (!b) sqlite::RaiseEngine(to, sqlite3_errcode(to), false);
    // One step copies every page while both locks are held; a file another
    // program holds is waited for as any statement waits.
    int stepRc = sqlite3_backup_step(b, -1);
    bool cancelled = false;
    while ((stepRc & 0xff) == SQLITE_BUSY || (stepRc & 0xff) == SQLITE_LOCKED) {
        sqlite::EndBusyWait();
        if (!sqlite::AskToRetry()) {
            cancelled = true;
            break;
        }
        stepRc = sqlite3_backup_step(b, -1);
    }
    sqlite::EndBusyWait();
    const int rc = sqlite3_backup_finish(b);
    if (cancelled) sqlite::RaiseBusyCancelled();
    if (stepRc != SQLITE_DONE || rc != SQLITE_OK) sqlite::RaiseEngine(to, rc != SQLITE_OK ? rc : stepRc, false);
}

} // namespace ado
