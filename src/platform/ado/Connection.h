#pragma once
// A connection to the data file. Only the Jet provider is known; it maps to
// an SQLite file opened read-write and never created.
#include <memory>
#include <optional>
#include <vector>
#include <QString>
#include "vb/RuntimeError.h"
#include "vb/Variant.h"

struct sqlite3;

namespace ado {

enum ObjectState { adStateClosed = 0, adStateOpen = 1 };
enum CursorLocation { adUseServer = 2, adUseClient = 3 };

// The parts of a connection string the file provider uses.
struct ConnectionSettings {
    QString provider;
    QString dataSource;   // as written, quotes removed
};
// Splits on ';' outside double quotes into trimmed key=value pairs.
ConnectionSettings ParseConnectionString(const QString& text);

// Why an operation on a whole data file failed, in terms the user can act on.
enum class FileFault { None, InUse, ReadOnly, DiskFull, Damaged, NotADatabase, Other };
// The fault behind an engine result code (extended or primary) and the
// system's error number that came with it.
FileFault ClassifyFailure(int engineCode, int systemErrno);

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    QString ConnectionString;
    int CursorLocation = adUseServer;

    int State() const { return db_ ? adStateOpen : adStateClosed; }

    // Empty arguments use ConnectionString. Raises 3705 when already open,
    // 3706 for an unknown provider, the engine's error when the file cannot open.
    void Open(const QString& connectionString = QString(), const QString& userId = QString(),
              const QString& password = QString(), long options = -1);
    void Close();                     // no-op when closed

    // Opens a data file by path (no connection string), read-only when asked;
    // never creates it. For the repair and compaction tools.
    void OpenFile(const QString& path, bool readOnly = false);
    // Makes a new, empty file to copy a database into, with the permission
    // bits mode (when given) before anything is written into it; raises 58
    // when the path already exists.
    void OpenNewFile(const QString& path, int mode = -1);

    // Writes this database's whole content into dest through the engine's
    // online backup, in one step: a consistent snapshot under a shared lock
    // here, written under dest's exclusive lock (so a stale journal of dest is
    // rolled back first, never replayed over the copy later). Raises the
    // engine's error; LastFault() of the connection named by the raise tells why.
    void CopyTo(Connection& dest);

    // The connection writes nothing (the file or its folder refuses it).
    bool IsReadOnly() const;

    // What the last failure on this connection (or of its last open) was.
    FileFault LastFault() const;

    // Runs one statement in SQLite's own dialect with bound parameters
    // (text as UTF-8, Date as ISO text, Currency as REAL, Boolean as 1/0).
    // Not for the data classes, whose Jet text goes through a Recordset.
    void Execute(const QString& sqliteSql, const std::vector<vb::Variant>& params = {});

    // BEGIN IMMEDIATE / COMMIT / ROLLBACK; raise 3709 when closed.
    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    bool InTransaction() const { return inTrans_; }

    // The resolved path of the open file ("" when closed).
    const QString& FilePath() const { return path_; }

    // For the record-set layer only; raises 3709 when closed (the failure of
    // the last open, when it failed).
    sqlite3* Handle() const;

    // True while any connection of this process has the file open. The one
    // place the whole-file tools ask before they touch a data file.
    // Closed handles kept for reuse do not count.
    static bool IsFileOpen(const QString& resolvedPath);
    // Closes every handle kept for reuse: done first by whatever needs a data
    // file to itself (repair, compaction, backup, restore).
    static void EmptyPool();

    // How long a statement waits for a file another program holds before it
    // asks "The data file is busy in another copy of Vantrel. Try again?"
    // (10 s; tests shorten it). Retry waits as long again; Cancel raises an
    // error the user has already answered (vb::RuntimeError::IsAnswered).
    static void SetBusyPatience(int milliseconds);

private:
    void openWith(const QString& path, int openFlags);
    sqlite3* db_ = nullptr;
    QString path_;
    QString regKey_;
    // The identity of the file the handle holds, to park it on Close.
    unsigned long long dev_ = 0, ino_ = 0;
    int flags_ = 0;
    bool parkable_ = false;
    bool inTrans_ = false;
    FileFault lastFault_ = FileFault::None;
    // Why the last open failed: a closed connection used after it says that.
    std::optional<vb::RuntimeError> openError_;
};

using ConnectionPtr = std::shared_ptr<Connection>;

// While one lives on this thread, every connection keeps the shared lock its
// first read takes until the outermost one ends: many small reads take the
// file's lock once per connection and all see one state of the file.
// Another program's save waits for those locks, so a long run is made of
// nested snapshots, one per piece that must agree with itself; an inner one
// starting gives back locks kept longer than a moment. Any statement that
// writes or starts a transaction gives the kept locks back first, so it never
// waits on this thread's own reads; so does a message box before it waits.
class ReadSnapshot {
public:
    ReadSnapshot();
    ~ReadSnapshot();
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;
};

// Runs a transaction for a scope: commits only when Commit() is called,
// rolls back otherwise (an exception leaving the scope).
class Transaction {
public:
    explicit Transaction(Connection& cn) : cn_(cn) { cn_.BeginTrans(); }
    ~Transaction() { if (!done_) { try { cn_.RollbackTrans(); } catch (...) {} } }
    void Commit() { cn_.CommitTrans(); done_ = true; }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
private:
    Connection& cn_;
    bool done_ = false;
};

} // namespace ado
