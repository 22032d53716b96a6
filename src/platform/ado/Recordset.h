#pragma once
// A client-side snapshot of rows. (EOF is a C macro, hence Eof and Bof.)
// Open reads every row and finishes the
// statement, so the rows stay usable after the connection is gone.
#include <memory>
#include <vector>
#include <QString>
#include "ado/Connection.h"
#include "ado/JetSql.h"
#include "vb/Variant.h"

namespace ado {

enum CursorType { adOpenForwardOnly = 0, adOpenKeyset = 1, adOpenDynamic = 2, adOpenStatic = 3 };
enum LockType { adLockReadOnly = 1, adLockPessimistic = 2, adLockOptimistic = 3 };
// Field types: the declared column type of the file maps to one of these.
enum DataType { adEmpty = 0, adInteger = 3, adDouble = 5, adCurrency = 6, adDate = 7,
                adBoolean = 11, adVariant = 12, adVarChar = 200, adVarWChar = 202 };

class Recordset;
struct RowStore;

// A handle to one column of the record set's current row.
class Field {
public:
    QString Name() const;
    int Type() const;
    vb::Variant Value() const;                 // raises 3021 at EOF
    void setValue(const vb::Variant& v);       // raises 3251 when not updatable
    Field& operator=(const vb::Variant& v) { setValue(v); return *this; }
private:
    friend class Recordset;
    friend class Fields;
    Field(Recordset* rs, int col) : rs_(rs), col_(col) {}
    Recordset* rs_;
    int col_;
};

class Fields {
public:
    int Count() const;
    Field operator[](int ordinal) const;            // raises 3265
    Field operator[](const QString& name) const;    // case ignored; raises 3265
    Field operator[](const char* name) const;       // the same, without making a QString
    // In-memory record sets: define a column before Open.
    void Append(const QString& name, int type, int definedSize = 0);
private:
    friend class Recordset;
    explicit Fields(Recordset* rs) : rs_(rs) {}
    Recordset* rs_;
};

class Recordset {
public:
    Recordset();
    ~Recordset();

    // The connection the next Open uses; set to nullptr to detach.
    ConnectionPtr ActiveConnection;
    int CursorLocation = adUseServer;
    int CursorType = adOpenForwardOnly;
    int LockType = adLockReadOnly;
    QString Source;

    // Open(): Source on ActiveConnection; with neither, an empty in-memory set
    // of the appended fields. A DELETE/INSERT/UPDATE runs and leaves it closed.
    void Open();
    void Open(const QString& source, const ConnectionPtr& cn, int cursorType = adOpenForwardOnly,
              int lockType = adLockReadOnly, long options = -1);
    void Close();                                   // no-op when closed
    int State() const;

    bool Eof() const;                               // raises 3704 when closed
    bool Bof() const;
    void MoveFirst();                               // no-op on an empty set
    void MoveNext();                                // raises 3021 at EOF
    long RecordCount() const;                       // raises 3704 when closed

    ado::Fields Fields();
    Field Fields(int ordinal) { return Fields()[ordinal]; }
    Field Fields(const QString& name) { return Fields()[name]; }
    Field Fields(const char* name) { return Fields()[name]; }

    // Writes the current row's changed fields (connected, lock type 3) or
    // keeps them (in-memory set).
    void Update();
    void AddNew();                                  // in-memory sets only

    // "Field [ASC|DESC], ..."; "" restores the order as read. Moves to the first row.
    void setSort(const QString& sort);
    QString Sort() const;

    // An independent cursor over the same rows, at the first row.
    std::shared_ptr<Recordset> Clone() const;

private:
    friend class Field;
    friend class ado::Fields;
    struct EditState;
    void requireOpen() const;
    long count() const;
    int rowAt(long pos) const;
    int column(const QString& name) const;       // raises 3265
    int column(const char* name) const;
    void checkColumn(int col) const;              // raises 3265
    vb::Variant valueAt(int col) const;
    void setValueAt(int col, const vb::Variant& v);
    void flushEdits();                            // a move commits a pending edit
    void discardEdits();
    void openQuery(const QString& sql, const ConnectionPtr& cn, const std::vector<SqlLiteral>* lifted = nullptr);
    std::shared_ptr<RowStore> store_;
    std::vector<int> order_;       // row indexes in current (sorted) order; empty: as read
    long pos_ = 0;
    bool open_ = false;
    bool pendingNew_ = false;
    QString sort_;
    ConnectionPtr updateCn_;       // connection kept for in-place updates
    std::shared_ptr<RowStore> pendingDefs_;  // fields appended before Open
    std::shared_ptr<EditState> edits_;       // assigned fields not yet written
};

using RecordsetPtr = std::shared_ptr<Recordset>;

} // namespace ado
