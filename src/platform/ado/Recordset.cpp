#include "ado/Recordset.h"
#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <sqlite3.h>
#include <QStringList>
#include "ado/JetSql.h"
#include "ado/SqliteStatement.h"
#include "vb/Conv.h"
#include "vb/RuntimeError.h"

namespace ado {

namespace {

enum CellKind : uint8_t { cNull, cInt, cReal, cText, cCurrency, cDate, cBool };

// One value of one row: 16 bytes, text kept as UTF-8 in the store's arena and
// only turned into a QString when a caller reads it.
struct Cell {
    union {
        int64_t i;
        double d;
    };
    uint32_t len;
    CellKind kind;
};
static_assert(sizeof(Cell) == 16);

Cell nullCell() {
    Cell c;
    c.i = 0;
    c.len = 0;
    c.kind = cNull;
    return c;
}

struct Column {
    QByteArray name;     // UTF-8, as read or appended
    bool ascii = true;
    mutable bool repeated = false;   // an earlier column has the same name
    int type = adVariant;
    int definedSize = 0;
    QByteArray origin;   // the table's own column name, for in-place updates
};

// Whether decl holds word (upper case), letters compared without case.
bool declHas(const char* decl, const char* word) {
    const size_t n = std::strlen(word);
    for (const char* p = decl; *p; ++p) {
        size_t k = 0;
        while (k < n && p[k] && (p[k] & ~0x20) == word[k]) ++k;
        if (k == n) return true;
    }
    return false;
}

// The declared type of a column decides the Variant a field gives.
int typeFromDecl(const char* decl) {
    if (!decl || !*decl) return adVariant;
    if (declHas(decl, "CURRENCY") || declHas(decl, "MONEY")) return adCurrency;
    if (declHas(decl, "DATE")) return adDate;
    if (declHas(decl, "BOOL") || qstricmp(decl, "BIT") == 0) return adBoolean;
    if (declHas(decl, "INT")) return adInteger;
    if (declHas(decl, "REAL") || declHas(decl, "DOUB") || declHas(decl, "FLOA")) return adDouble;
    if (declHas(decl, "CHAR") || declHas(decl, "TEXT") || declHas(decl, "MEMO") || declHas(decl, "CLOB"))
        return adVarChar;
    return adVariant;
}

bool parseTwo(const char* p, int& v) {
    if (p[0] < '0' || p[0] > '9' || p[1] < '0' || p[1] > '9') return false;
    v = (p[0] - '0') * 10 + (p[1] - '0');
    return true;
}

// "yyyy-mm-dd" or "yyyy-mm-dd hh:nn:ss" straight from the stored bytes.
bool parseIsoDate(const char* p, uint32_t n, vb::Date& out) {
    if (n != 10 && n != 19) return false;
    int c1 = 0, c2 = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    if (!parseTwo(p, c1) || !parseTwo(p + 2, c2) || p[4] != '-' || !parseTwo(p + 5, mo) || p[7] != '-' ||
        !parseTwo(p + 8, d))
        return false;
    if (n == 19 && (p[10] != ' ' || !parseTwo(p + 11, h) || p[13] != ':' || !parseTwo(p + 14, mi) || p[16] != ':' ||
                    !parseTwo(p + 17, s)))
        return false;
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 59) return false;
    out = vb::Date::fromYmd(c1 * 100 + c2, mo, d, h, mi, s);
    return true;
}

vb::Variant longOrDouble(int64_t v) {
    if (v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max())
        return vb::Variant(static_cast<int>(v));
    return vb::Variant(static_cast<double>(v));
}

vb::Currency currencyOf(int64_t units) {
    constexpr int64_t limit = std::numeric_limits<int64_t>::max() / 10000;
    if (units > limit || units < -limit) vb::Raise(vb::err::Overflow);
    return vb::Currency::fromRaw(units * 10000);
}

} // namespace

// Two ASCII names equal but for case; false when either is not plain ASCII.
bool sameAsciiName(const char* a, size_t an, const char* b, size_t bn) {
    if (an != bn) return false;
    for (size_t i = 0; i < an; ++i) {
        const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 0x80 || y >= 0x80) return false;
        if (x != y && ((x | 0x20) != (y | 0x20) || (x | 0x20) < 'a' || (x | 0x20) > 'z')) return false;
    }
    return true;
}

bool isAscii(const QByteArray& s) {
    for (const char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

struct RowStore {
    std::vector<Column> cols;
    std::vector<Cell> cells;        // row-major
    std::vector<int64_t> rowids;    // when updatable
    std::string text;               // UTF-8 of every text cell
    int rows = 0;
    bool memory = false;            // built by Fields.Append, not read from a file
    QByteArray table;               // the one table of an updatable set
    // Members read their fields mostly in column order: a lookup starts
    // where the last one ended. No index is built per statement; most are
    // read once.
    mutable size_t next = 0;
    mutable bool marked = false;

    int ncols() const { return static_cast<int>(cols.size()); }
    Cell& at(int row, int col) { return cells[static_cast<size_t>(row) * cols.size() + col]; }
    const Cell& at(int row, int col) const { return cells[static_cast<size_t>(row) * cols.size() + col]; }

    void addColumn(QByteArray name, int type, int size, const QByteArray& origin = QByteArray()) {
        Column c;
        c.ascii = isAscii(name);
        c.name = std::move(name);
        c.type = type;
        c.definedSize = size;
        c.origin = origin;
        cols.push_back(std::move(c));
        marked = false;
    }

    // The first column of that name, case ignored; -1 when none.
    int find(const char* name, size_t n) const {
        const size_t count = cols.size();
        if (!marked) markRepeats();
        for (size_t k = 0; k < count; ++k) {
            const size_t i = (next + k) % count;
            const Column& c = cols[i];
            if (c.ascii && !c.repeated && sameAsciiName(c.name.constData(), size_t(c.name.size()), name, n))
                return found(i);
        }
        // Names beyond ASCII compare by Unicode case folding.
        const QString folded = QString::fromUtf8(name, static_cast<qsizetype>(n)).toCaseFolded();
        for (size_t i = 0; i < count; ++i)
            if (QString::fromUtf8(cols[i].name).toCaseFolded() == folded) return found(i);
        return -1;
    }
    int find(const QString& name) const {
        const QByteArray u = name.toUtf8();
        return find(u.constData(), static_cast<size_t>(u.size()));
    }
    int find(const char* name) const { return find(name, std::strlen(name)); }

    // A name spelled twice (a join's "select *"): the first one counts.
    void markRepeats() const {
        for (size_t i = 1; i < cols.size(); ++i)
            for (size_t j = 0; j < i && !cols[i].repeated; ++j)
                cols[i].repeated = cols[j].ascii && cols[i].ascii &&
                                   sameAsciiName(cols[j].name.constData(), size_t(cols[j].name.size()),
                                                 cols[i].name.constData(), size_t(cols[i].name.size()));
        marked = true;
    }

    int found(size_t i) const {
        next = i + 1 == cols.size() ? 0 : i + 1;
        return static_cast<int>(i);
    }

    Cell textCell(const char* p, size_t n) {
        Cell c;
        c.i = static_cast<int64_t>(text.size());
        c.len = static_cast<uint32_t>(n);
        c.kind = cText;
        text.append(p, n);
        return c;
    }

    QString textOf(const Cell& c) const {
        return QString::fromUtf8(text.data() + c.i, static_cast<qsizetype>(c.len));
    }

    vb::Variant value(const Cell& c, int type) const {
        switch (c.kind) {
        case cNull: return vb::Variant::Null();
        case cCurrency: return vb::Variant(vb::Currency::fromRaw(c.i));
        case cDate: return vb::Variant(vb::Date(c.d));
        case cBool: return vb::Variant(c.i != 0);
        case cInt:
            switch (type) {
            case adCurrency: return vb::Variant(currencyOf(c.i));
            case adDouble: return vb::Variant(static_cast<double>(c.i));
            case adDate: return vb::Variant(vb::Date(static_cast<double>(c.i)));
            case adBoolean: return vb::Variant(c.i != 0);
            case adVarChar:
            case adVarWChar: return vb::Variant(QString::number(c.i));
            default: return longOrDouble(c.i);
            }
        case cReal:
            switch (type) {
            case adCurrency: return vb::Variant(vb::Currency::fromDouble(c.d));
            case adDate: return vb::Variant(vb::Date(c.d));
            case adBoolean: return vb::Variant(c.d != 0.0);
            case adVarChar:
            case adVarWChar: return vb::Variant(vb::NumberToInvariant(c.d));
            case adInteger:
                // A whole number kept as REAL in an INTEGER column is still a Long.
                if (c.d == static_cast<double>(static_cast<int32_t>(c.d)) && c.d >= -2147483648.0 && c.d <= 2147483647.0)
                    return vb::Variant(static_cast<int>(c.d));
                return vb::Variant(c.d);
            default: return vb::Variant(c.d);
            }
        case cText:
            if (type == adDate) {
                vb::Date d;
                if (parseIsoDate(text.data() + c.i, c.len, d)) return vb::Variant(d);
                if (vb::Date::fromIsoString(textOf(c), d)) return vb::Variant(d);
            }
            return vb::Variant(textOf(c));
        }
        return vb::Variant::Null();
    }

    // A value converted to the column's type, as an assignment to the field stores it.
    Cell convert(const vb::Variant& v, int type) {
        if (v.isNull() || v.isEmpty()) return nullCell();
        Cell c = nullCell();
        switch (type) {
        case adVarChar:
        case adVarWChar: {
            const QByteArray u = (v.type() == vb::VarType::String ? v.stringValue() : vb::CStr(v)).toUtf8();
            return textCell(u.constData(), static_cast<size_t>(u.size()));
        }
        case adCurrency: c.kind = cCurrency; c.i = vb::CCur(v).raw(); return c;
        case adDate: c.kind = cDate; c.d = vb::CDate(v).serial(); return c;
        case adInteger: c.kind = cInt; c.i = vb::CLng(v); return c;
        case adDouble: c.kind = cReal; c.d = vb::CDbl(v); return c;
        case adBoolean: c.kind = cBool; c.i = vb::CBool(v) ? 1 : 0; return c;
        default:
            switch (v.type()) {
            case vb::VarType::Integer:
            case vb::VarType::Long: c.kind = cInt; c.i = v.longValue(); return c;
            case vb::VarType::Double: c.kind = cReal; c.d = v.doubleValue(); return c;
            case vb::VarType::Currency: c.kind = cCurrency; c.i = v.currencyValue().raw(); return c;
            case vb::VarType::Date: c.kind = cDate; c.d = v.dateValue().serial(); return c;
            case vb::VarType::Boolean: c.kind = cBool; c.i = v.boolValue() ? 1 : 0; return c;
            default: {
                const QByteArray u = v.stringValue().toUtf8();
                return textCell(u.constData(), static_cast<size_t>(u.size()));
            }
            }
        }
    }
};

// Fields assigned on the current row and not yet written, with their old values.
struct Recordset::EditState {
    int row = -1;
    std::vector<std::pair<int, Cell>> old;
};

// ---- Field ----

QString Field::Name() const {
    rs_->requireOpen();
    return QString::fromUtf8(rs_->store_->cols[col_].name);
}

int Field::Type() const {
    rs_->requireOpen();
    return rs_->store_->cols[col_].type;
}

vb::Variant Field::Value() const { return rs_->valueAt(col_); }

void Field::setValue(const vb::Variant& v) { rs_->setValueAt(col_, v); }

// ---- Fields ----

int Fields::Count() const {
    if (!rs_->open_ && rs_->pendingDefs_) return rs_->pendingDefs_->ncols();
    rs_->requireOpen();
    return rs_->store_->ncols();
}

Field Fields::operator[](int ordinal) const {
    rs_->requireOpen();
    rs_->checkColumn(ordinal);
    return Field(rs_, ordinal);
}

Field Fields::operator[](const QString& name) const { return Field(rs_, rs_->column(name)); }

Field Fields::operator[](const char* name) const { return Field(rs_, rs_->column(name)); }

void Fields::Append(const QString& name, int type, int definedSize) {
    if (rs_->open_) vb::Raise(vb::err::ObjectOpen);
    if (!rs_->pendingDefs_) {
        rs_->pendingDefs_ = std::make_shared<RowStore>();
        rs_->pendingDefs_->memory = true;
    }
    rs_->pendingDefs_->addColumn(name.toUtf8(), type, definedSize);
}

// ---- Recordset ----

Recordset::Recordset() = default;
Recordset::~Recordset() = default;

void Recordset::requireOpen() const {
    if (!open_) vb::Raise(vb::err::ObjectClosed);
}

long Recordset::count() const { return order_.empty() ? store_->rows : static_cast<long>(order_.size()); }

int Recordset::rowAt(long pos) const { return order_.empty() ? static_cast<int>(pos) : order_[pos]; }

void Recordset::checkColumn(int col) const {
    if (col < 0 || col >= store_->ncols()) vb::Raise(vb::err::ItemNotFound);
}

int Recordset::column(const QString& name) const {
    requireOpen();
    const int col = store_->find(name);
    if (col < 0) vb::Raise(vb::err::ItemNotFound);
    return col;
}

int Recordset::column(const char* name) const {
    requireOpen();
    const int col = store_->find(name);
    if (col < 0) vb::Raise(vb::err::ItemNotFound);
    return col;
}

int Recordset::State() const { return open_ ? adStateOpen : adStateClosed; }

void Recordset::Open() { Open(Source, ActiveConnection, CursorType, LockType, -1); }

void Recordset::Open(const QString& source, const ConnectionPtr& cn, int cursorType, int lockType, long options) {
    if (open_) vb::Raise(vb::err::ObjectOpen);
    Source = source;
    ActiveConnection = cn;
    CursorType = cursorType;
    LockType = lockType;
    order_.clear();
    sort_.clear();
    pos_ = 0;
    pendingNew_ = false;
    edits_.reset();
    updateCn_.reset();
    if (source.trimmed().isEmpty() && !cn) {
        // An in-memory set of the fields appended so far.
        store_ = pendingDefs_ ? std::make_shared<RowStore>(*pendingDefs_) : std::make_shared<RowStore>();
        store_->memory = true;
        open_ = true;
        return;
    }
    if (!cn) vb::Raise(vb::err::ConnectionUnusable);
    // A set opened for update is read with its rowids by a rewritten
    // statement; only plain reads share prepared statements.
    if (LockType == adLockOptimistic) {
        openQuery(JetToSqlite(source), cn);
        return;
    }
    std::vector<SqlLiteral> lifted;
    const QString sql = JetToSqlite(source, lifted);
    openQuery(sql, cn, &lifted);
}

namespace {

bool startsWithWord(const QString& sql, const char* word) {
    const QString t = sql.trimmed();
    const qsizetype n = static_cast<qsizetype>(std::strlen(word));
    return t.size() > n && t.left(n).compare(QLatin1String(word), Qt::CaseInsensitive) == 0 && t[n].isSpace();
}

QByteArray quoteIdent(const QByteArray& name) {
    QByteArray q = name;
    q.replace('"', "\"\"");
    return '"' + q + '"';
}

} // namespace

void Recordset::openQuery(const QString& sql, const ConnectionPtr& cn, const std::vector<SqlLiteral>* lifted) {
    sqlite3* db = cn->Handle();
    std::unique_ptr<sqlite::Statement> st;
    bool withRowid = false;

    // A lock type 3 set over one table also reads each row's rowid, so an
    // assigned field can be written back to exactly that row.
    if (LockType == adLockOptimistic && startsWithWord(sql, "select")) {
        const QString upper = sql.toUpper();
        if (!upper.contains(QLatin1String("GROUP BY")) && !upper.contains(QLatin1String("DISTINCT"))) {
            const QString rewritten = QStringLiteral("SELECT _rowid_, ") + sql.trimmed().mid(6);
            try {
                auto candidate = std::make_unique<sqlite::Statement>(db, rewritten);
                sqlite3_stmt* s = candidate->get();
                const int n = sqlite3_column_count(s);
                const char* table = sqlite3_column_table_name(s, 0);
                bool oneTable = table && n > 1;
                for (int i = 1; oneTable && i < n; ++i) {
                    const char* t = sqlite3_column_table_name(s, i);
                    oneTable = t && std::strcmp(t, table) == 0 && sqlite3_column_origin_name(s, i);
                }
                if (oneTable) {
                    st = std::move(candidate);
                    withRowid = true;
                }
            } catch (const vb::RuntimeError&) {
                // Joins, views and expressions: read-only, read as written below.
            }
        }
    }
    if (!st && lifted) {
        st = std::make_unique<sqlite::Statement>(db, sql.toUtf8(), sqlite::Statement::Cached{});
        int k = 0;
        for (const SqlLiteral& v : *lifted) {
            if (v.text) st->bindText(++k, v.utf8);
            else st->bindInt64(++k, v.number);
        }
    }
    if (!st) st = std::make_unique<sqlite::Statement>(db, sql);
    sqlite3_stmt* s = st->get();

    const int total = sqlite3_column_count(s);
    if (total == 0) {
        // DELETE, INSERT, UPDATE: run it; the record set stays closed.
        st->runToEnd();
        return;
    }

    auto store = std::make_shared<RowStore>();
    const int first = withRowid ? 1 : 0;
    for (int i = first; i < total; ++i) {
        const char* origin = sqlite3_column_origin_name(s, i);
        store->addColumn(QByteArray(sqlite3_column_name(s, i)), typeFromDecl(sqlite3_column_decltype(s, i)), 0,
                         origin ? QByteArray(origin) : QByteArray());
    }
    if (withRowid) store->table = QByteArray(sqlite3_column_table_name(s, 1));
    const int ncols = total - first;
    store->cells.reserve(static_cast<size_t>(ncols) * 8);

    while (st->step()) {
        if (withRowid) store->rowids.push_back(sqlite3_column_int64(s, 0));
        for (int i = first; i < total; ++i) {
            Cell c;
            c.len = 0;
            switch (sqlite3_column_type(s, i)) {
            case SQLITE_INTEGER:
                c.kind = cInt;
                c.i = sqlite3_column_int64(s, i);
                break;
            case SQLITE_FLOAT:
                c.kind = cReal;
                c.d = sqlite3_column_double(s, i);
                break;
            case SQLITE_NULL:
                c = nullCell();
                break;
            default: {
                const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
                const int n = sqlite3_column_bytes(s, i);
                c = store->textCell(p ? p : "", static_cast<size_t>(n));
                break;
            }
            }
            store->cells.push_back(c);
        }
        ++store->rows;
    }
    st->finalize();

    store_ = std::move(store);
    if (withRowid) updateCn_ = cn;
    open_ = true;
}

void Recordset::Close() {
    if (!open_) return;
    discardEdits();
    open_ = false;
    pendingNew_ = false;
    store_.reset();
    order_.clear();
    updateCn_.reset();
    pos_ = 0;
}

bool Recordset::Eof() const {
    requireOpen();
    return pos_ >= count();
}

bool Recordset::Bof() const {
    requireOpen();
    return count() == 0;
}

void Recordset::MoveFirst() {
    requireOpen();
    flushEdits();
    pos_ = 0;
}

void Recordset::MoveNext() {
    requireOpen();
    if (pos_ >= count()) vb::Raise(vb::err::NoCurrentRecord);
    flushEdits();
    ++pos_;
}

long Recordset::RecordCount() const {
    requireOpen();
    return count();
}

ado::Fields Recordset::Fields() { return ado::Fields(this); }

vb::Variant Recordset::valueAt(int col) const {
    requireOpen();
    checkColumn(col);
    if (pos_ >= count()) vb::Raise(vb::err::NoCurrentRecord);
    return store_->value(store_->at(rowAt(pos_), col), store_->cols[col].type);
}

void Recordset::setValueAt(int col, const vb::Variant& v) {
    requireOpen();
    checkColumn(col);
    if (pos_ >= count()) vb::Raise(vb::err::NoCurrentRecord);
    const bool connected = updateCn_ && ActiveConnection == updateCn_ && LockType != adLockReadOnly;
    if (!store_->memory && !connected) vb::Raise(vb::err::NotUpdatable);
    const int row = rowAt(pos_);
    Cell c = store_->convert(v, store_->cols[col].type);
    if (!store_->memory) {
        if (!edits_) edits_ = std::make_shared<EditState>();
        if (edits_->row != row) {
            edits_->old.clear();
            edits_->row = row;
        }
        const bool seen = std::any_of(edits_->old.begin(), edits_->old.end(), [&](const auto& e) { return e.first == col; });
        if (!seen) edits_->old.emplace_back(col, store_->at(row, col));
    }
    store_->at(row, col) = c;
}

void Recordset::discardEdits() {
    if (!edits_ || edits_->old.empty() || !store_) return;
    for (const auto& [col, cell] : edits_->old) store_->at(edits_->row, col) = cell;
    edits_->old.clear();
}

void Recordset::flushEdits() {
    if (pendingNew_ || (edits_ && !edits_->old.empty())) Update();
}

void Recordset::Update() {
    requireOpen();
    if (store_->memory) {
        pendingNew_ = false;
        return;
    }
    const bool connected = updateCn_ && ActiveConnection == updateCn_ && LockType != adLockReadOnly;
    if (!connected) vb::Raise(vb::err::NotUpdatable);
    if (!edits_ || edits_->old.empty()) return;
    const int row = edits_->row;
    QByteArray sql = "UPDATE " + quoteIdent(store_->table) + " SET ";
    std::vector<vb::Variant> params;
    for (size_t k = 0; k < edits_->old.size(); ++k) {
        const int col = edits_->old[k].first;
        if (k) sql += ", ";
        sql += quoteIdent(store_->cols[col].origin) + "=?";
        params.push_back(store_->value(store_->at(row, col), store_->cols[col].type));
    }
    sql += " WHERE _rowid_=?";
    try {
        sqlite::Statement st(updateCn_->Handle(), sql);
        st.bindAll(params);
        sqlite3_bind_int64(st.get(), static_cast<int>(params.size()) + 1, store_->rowids[row]);
        st.runToEnd();
    } catch (...) {
        // What the file refused is not shown as if it were stored.
        discardEdits();
        throw;
    }
    edits_->old.clear();
}

void Recordset::AddNew() {
    requireOpen();
    if (!store_->memory) vb::Raise(vb::err::NotUpdatable);
    RowStore& s = *store_;
    for (int i = 0; i < s.ncols(); ++i) s.cells.push_back(nullCell());
    const int row = s.rows++;
    if (!order_.empty()) order_.push_back(row);
    pos_ = count() - 1;
    pendingNew_ = true;
}

namespace {

struct SortKey {
    int col;
    bool desc;
};

// One cell reduced to what ordering needs: Null first, then numbers and dates, then text.
struct SortValue {
    int rank = 0;   // 0 Null, 1 number, 2 text
    double num = 0;
    QString text;
};

int compareValues(const SortValue& a, const SortValue& b) {
    if (a.rank != b.rank) return a.rank < b.rank ? -1 : 1;
    if (a.rank == 1) return a.num < b.num ? -1 : (a.num > b.num ? 1 : 0);
    if (a.rank == 2) return a.text.compare(b.text);
    return 0;
}

} // namespace

void Recordset::setSort(const QString& sort) {
    requireOpen();
    flushEdits();
    std::vector<SortKey> keys;
    for (const QString& part : sort.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        QStringList words = part.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.isEmpty()) continue;
        bool desc = false;
        if (words.size() > 1) {
            const QString dir = words.last();
            if (dir.compare(QLatin1String("desc"), Qt::CaseInsensitive) == 0) { desc = true; words.removeLast(); }
            else if (dir.compare(QLatin1String("asc"), Qt::CaseInsensitive) == 0) words.removeLast();
        }
        QString name = words.join(QLatin1Char(' '));
        if (name.startsWith(QLatin1Char('[')) && name.endsWith(QLatin1Char(']'))) name = name.mid(1, name.size() - 2);
        keys.push_back({column(name), desc});
    }
    sort_ = sort;
    pos_ = 0;
    order_.clear();
    if (keys.empty()) return;

    const RowStore& s = *store_;
    const int n = s.rows;
    std::vector<std::vector<SortValue>> values(keys.size(), std::vector<SortValue>(static_cast<size_t>(n)));
    for (size_t k = 0; k < keys.size(); ++k) {
        const int col = keys[k].col;
        for (int r = 0; r < n; ++r) {
            const vb::Variant v = s.value(s.at(r, col), s.cols[col].type);
            SortValue& sv = values[k][r];
            switch (v.type()) {
            case vb::VarType::Null:
            case vb::VarType::Empty: sv.rank = 0; break;
            case vb::VarType::String: sv.rank = 2; sv.text = v.stringValue().toCaseFolded(); break;
            case vb::VarType::Currency: sv.rank = 1; sv.num = v.currencyValue().toDouble(); break;
            case vb::VarType::Date: sv.rank = 1; sv.num = v.dateValue().serial(); break;
            case vb::VarType::Double: sv.rank = 1; sv.num = v.doubleValue(); break;
            default: sv.rank = 1; sv.num = v.longValue(); break;
            }
        }
    }
    order_.resize(static_cast<size_t>(n));
    for (int r = 0; r < n; ++r) order_[r] = r;
    std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
        for (size_t k = 0; k < keys.size(); ++k) {
            int c = compareValues(values[k][a], values[k][b]);
            if (keys[k].desc) c = -c;
            if (c != 0) return c < 0;
        }
        return false;
    });
}

QString Recordset::Sort() const { return sort_; }

std::shared_ptr<Recordset> Recordset::Clone() const {
    requireOpen();
    auto c = std::make_shared<Recordset>();
    c->ActiveConnection = ActiveConnection;
    c->CursorLocation = CursorLocation;
    c->CursorType = CursorType;
    c->LockType = LockType;
    c->Source = Source;
    c->store_ = store_;
    c->order_ = order_;
    c->sort_ = sort_;
    c->updateCn_ = updateCn_;
    c->open_ = true;
    c->pos_ = 0;
    return c;
}

} // namespace ado
