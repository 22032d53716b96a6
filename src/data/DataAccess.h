#pragma once
// The frame every data-access class shares: its own connection, the last
// record set, the connection string, and the idioms its members use.
#include <cstdint>
#include <utility>
#include <vector>
#include <QString>
#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "ado/SqlText.h"
#include "data/RecordEvents.h"
#include "vb/ErrorTrap.h"

// Closes a data-access instance's connection when the scope ends, on every
// way out, also after an error: a connection left open makes repair refuse
// the data file and a restore copy over a file in use. It holds the
// connection itself, so it stays sound whatever becomes of the instance.
class ConnectionScope {
public:
    explicit ConnectionScope(ado::ConnectionPtr cn) : cn_(std::move(cn)) {}
    ~ConnectionScope();
    ConnectionScope(const ConnectionScope&) = delete;
    ConnectionScope& operator=(const ConnectionScope&) = delete;
private:
    ado::ConnectionPtr cn_;
};

class DataAccess {
public:
    virtual ~DataAccess();
    DataAccess(const DataAccess&) = delete;
    DataAccess& operator=(const DataAccess&) = delete;

    void InitAccess(const QString& path);
    void Init(const QString& uid, const QString& pwd, const QString& database, const QString& server);
    void OpenCn();    // errors ignored
    void CloseCn();   // errors ignored
    // OpenCn, closed again when the returned scope ends.
    [[nodiscard]] ConnectionScope OpenScope();

    const QString& ConnectionString() const { return ConnString; }

    // The last Get member could not read its record (it has reported why and
    // left the blank record): a document must not be laid out from it.
    bool ReadFailed() const { return readFailed_; }

    // A numbered table: its key column, the number before its first key, and
    // the member whose label a failed allocation reports under.
    struct NumberedTable {
        const char* table;
        const char* key;
        int32_t start;
        const char* allocator;
        // What the user is told when a save finds its stored row gone; "%1"
        // stands for the key.
        const char* gone = "This entry has been deleted; it was not saved.";
    };

    // True when the last trapped member was refused because the row it was
    // to write again had been deleted meanwhile (the user has been told).
    bool RowWasGone() const { return rowGone_; }

protected:
    explicit DataAccess(const char* className);

    // "Class.Proc -"
    QString Label(const char* proc) const;
    // Runs body under the error report of this class and procedure. A key
    // allocation that failed inside the body reports under its own label.
    template <class F>
    bool Trap(const char* proc, F&& body) {
        rowGone_ = false;
        bool done = false;
        try {
            body();
            done = true;
        } catch (const KeyAllocationError& e) {
            vb::ShowErrorReport(e.label, e.error);
        } catch (const RowGoneError& e) {
            rowGone_ = true;
            TellRowGone(e.message);
        } catch (...) {
            vb::ShowErrorReport(Label(proc), vb::ToRuntimeError(std::current_exception()));
        }
        PublishStockMoves();
        return done;
    }

    // A Get member's read of one record under Trap: reset (the blank record)
    // runs first and again when the read fails, so no property of an earlier
    // record is left behind.
    template <class R, class F>
    bool GetRecord(const char* proc, R&& reset, F&& body) {
        reset();
        readFailed_ = !Trap(proc, body);
        if (readFailed_) reset();
        return !readFailed_;
    }
    // A stored number, amount or date as a Get member reads it: Null (an
    // older row, another program's) reads as 0 or the empty date, as a
    // field never filled in.
    static double NumberOf(const vb::Variant& v);
    static int32_t LongOf(const vb::Variant& v);
    static vb::Currency MoneyOf(const vb::Variant& v);
    static vb::Date DateOf(const vb::Variant& v);

    // Tells the windows about a write that went through; passes `done` on.
    static bool Published(const RecordEvents::Event& e, bool done) {
        if (done) RecordEvents::Publish(e);
        return done;
    }

    // List idiom: a detached snapshot, also kept in rs.
    ado::RecordsetPtr List(const QString& sql);
    // Single-row / connected read: an open, read-only snapshot on cn.
    ado::RecordsetPtr Read(const QString& sql);
    // A snapshot on cn with lock type 3 whose fields can be updated in place.
    ado::RecordsetPtr ReadForUpdate(const QString& sql);
    // Statement idiom: DELETE, INSERT or UPDATE.
    void Exec(const QString& sql);
    // Moves an item's counted stock (par above 0) in one statement, in stock :=
    // in stock - taken, so two programs moving the same item never lose a
    // movement; then reads par and instock back. Run it inside a transaction so
    // the value read is the one written; a counted stock beyond a long raises 6.
    // No row: the record set is at Eof. The windows are told of the move once
    // the trapped member that made it has ended outside its transaction.
    ado::RecordsetPtr TakeStock(int32_t itemNum, int32_t taken);
    // The largest key plus one (start plus one in an empty table). Outside a
    // save this is only the number a new record will most likely get: another
    // copy of the program on the same file may take it first.
    int32_t NextKey(const NumberedTable& t);
    // The key step of every numbered save, inside its open transaction. A
    // record never saved (key 0) gets its key here, the largest key plus one
    // at this moment, which the transaction's write lock keeps any other
    // connection from taking before the commit; a saved record's row is
    // deleted, to be written again under its key. Returns the key to write.
    // A failed allocation stops the save, which rolls back first, and the one
    // report then carries the allocator's label ("Invoice.NewTransNum -").
    // A saved record whose row is no longer in the file (another window or
    // another copy of the program deleted it) is never written back: the save
    // rolls back and the user is told so (the table's gone message).
    int32_t ClaimKey(const NumberedTable& t, int32_t key);

    ado::ConnectionPtr cn;
    ado::RecordsetPtr rs;
    QString ConnString;

private:
    struct KeyAllocationError {
        QString label;
        vb::RuntimeError error;
    };
    struct RowGoneError {
        QString message;
    };
    static void TellRowGone(const QString& message);
    void PublishStockMoves();
    QString className_;
    bool readFailed_ = false;
    bool rowGone_ = false;
    std::vector<int32_t> stockMoved_;   // items moved since the last publish
};
