#pragma once
// A connection to the data file. Only the Jet provider is known; it maps to
// an SQLite file opened read-write and never created.
#include <memory>
#include <QString>

struct sqlite3;

namespace ado {

enum ObjectState { adStateClosed = 0, adStateOpen = 1 };
enum CursorLocation { adUseServer = 2, adUseClient = 3 };

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

    // BEGIN IMMEDIATE / COMMIT / ROLLBACK; raise 3709 when closed.
    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    bool InTransaction() const { return inTrans_; }

    // The resolved path of the open file ("" when closed).
    const QString& FilePath() const { return path_; }

    // For the record-set layer only; raises 3709 when closed.
    sqlite3* Handle() const;

    // True while any connection of this process has the file open (compaction refuses then).
    static bool IsFileOpen(const QString& resolvedPath);

private:
    sqlite3* db_ = nullptr;
    QString path_;
    bool inTrans_ = false;
};

using ConnectionPtr = std::shared_ptr<Connection>;

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
