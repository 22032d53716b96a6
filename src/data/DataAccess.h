#pragma once
// The frame every data-access class shares: its own connection, the last
// record set, the connection string, and the idioms its members use.
#include <QString>
#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "ado/SqlText.h"
#include "data/RecordEvents.h"
#include "vb/ErrorTrap.h"

class DataAccess {
public:
    virtual ~DataAccess();
    DataAccess(const DataAccess&) = delete;
    DataAccess& operator=(const DataAccess&) = delete;

    void InitAccess(const QString& path);
    void Init(const QString& uid, const QString& pwd, const QString& database, const QString& server);
    void OpenCn();    // errors ignored
    void CloseCn();   // errors ignored

    const QString& ConnectionString() const { return ConnString; }

protected:
    explicit DataAccess(const char* className);

    // "Class.Proc -"
    QString Label(const char* proc) const;
    // Runs body under the error report of this class and procedure. A key
    // allocation that failed inside the body reports under its own label.
    template <class F>
    bool Trap(const char* proc, F&& body) {
        try {
            body();
            return true;
        } catch (const KeyAllocationError& e) {
            vb::ShowErrorReport(e.label, e.error);
            return false;
        } catch (...) {
            vb::ShowErrorReport(Label(proc), vb::ToRuntimeError(std::current_exception()));
            return false;
        }
    }

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
    // the value read is the one written. No row: the record set is at Eof.
    ado::RecordsetPtr TakeStock(int32_t itemNum, int32_t taken);
    // Key allocation: the HighNum of maxSql plus one; Null counts as start.
    long NextKey(const QString& maxSql, long start);
    // The same, as a save allocates its key inside its transaction: an error
    // stops the save, which rolls back first, and the one report then carries
    // the allocating member's label ("Invoice.NewTransNum -").
    long AllocateKey(const char* allocator, const QString& maxSql, long start);

    ado::ConnectionPtr cn;
    ado::RecordsetPtr rs;
    QString ConnString;

private:
    struct KeyAllocationError {
        QString label;
        vb::RuntimeError error;
    };
    QString className_;
};
