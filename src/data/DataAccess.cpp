#include "data/DataAccess.h"
#include <algorithm>
#include <limits>
#include "vb/Conv.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

DataAccess::DataAccess(const char* className)
    : cn(std::make_shared<ado::Connection>()), className_(QString::fromUtf8(className)) {}

DataAccess::~DataAccess() = default;

void DataAccess::InitAccess(const QString& path) {
    ConnString = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source = \"") + path +
                 QStringLiteral("\" ;Mode=Read|Write|Share Deny None;Persist Security Info=False");
}

void DataAccess::Init(const QString& uid, const QString& pwd, const QString& database, const QString& server) {
    ConnString = QStringLiteral("Provider=SQLOLEDB;uid=") + uid + QStringLiteral(";pwd=") + pwd +
                 QStringLiteral(";database=") + database + QStringLiteral(";server=") + server + QStringLiteral(";");
}

void DataAccess::OpenCn() {
    vb::IgnoreErrors([&] {
        if (cn->State() != ado::adStateClosed) return;
        cn->ConnectionString = ConnString;
        cn->CursorLocation = ado::adUseClient;
        cn->Open(QString(), QString(), QString(), -1);
    });
}

// A scope that ends at once.
void DataAccess::CloseCn() { ConnectionScope closing(cn); }

ConnectionScope DataAccess::OpenScope() {
    OpenCn();
    return ConnectionScope(cn);
}

ConnectionScope::~ConnectionScope() {
    vb::IgnoreErrors([&] {
        if (cn_ && cn_->State() == ado::adStateOpen) cn_->Close();
    });
}

double DataAccess::NumberOf(const vb::Variant& v) { return v.isNull() ? 0.0 : vb::CDbl(v); }
int32_t DataAccess::LongOf(const vb::Variant& v) { return v.isNull() ? 0 : vb::CLng(v); }
vb::Currency DataAccess::MoneyOf(const vb::Variant& v) { return v.isNull() ? vb::Currency() : vb::CCur(v); }
vb::Date DataAccess::DateOf(const vb::Variant& v) { return v.isNull() ? vb::Date() : vb::CDate(v); }

QString DataAccess::Label(const char* proc) const {
    return className_ + QLatin1Char('.') + QString::fromUtf8(proc) + QStringLiteral(" -");
}

ado::RecordsetPtr DataAccess::List(const QString& sql) {
    rs = std::make_shared<ado::Recordset>();
    rs->ActiveConnection = cn;
    rs->CursorLocation = ado::adUseClient;
    rs->CursorType = ado::adOpenForwardOnly;
    rs->Source = sql;
    rs->Open();
    rs->ActiveConnection = nullptr;
    return rs;
}

ado::RecordsetPtr DataAccess::Read(const QString& sql) {
    auto r = std::make_shared<ado::Recordset>();
    r->Open(sql, cn, ado::adOpenForwardOnly, ado::adLockReadOnly, -1);
    return r;
}

ado::RecordsetPtr DataAccess::ReadForUpdate(const QString& sql) {
    auto r = std::make_shared<ado::Recordset>();
    r->CursorLocation = ado::adUseClient;
    r->Open(sql, cn, ado::adOpenDynamic, ado::adLockOptimistic, -1);
    return r;
}

void DataAccess::Exec(const QString& sql) {
    ado::Recordset r;
    r.Open(sql, cn, ado::adOpenDynamic, ado::adLockOptimistic, -1);
}

ado::RecordsetPtr DataAccess::TakeStock(int32_t itemNum, int32_t taken) {
    const QString item = ado::SqlLong(itemNum);
    Exec(QStringLiteral("update tb_Inventory set instock = instock - (") + ado::SqlLong(taken) +
         QStringLiteral(") where ItemNum = ") + item + QStringLiteral(" and par > 0"));
    stockMoved_.push_back(itemNum);
    auto r = Read(QStringLiteral("select par, instock from tb_Inventory where ItemNum = ") + item);
    // A counted stock moved beyond a long raises 6, and the caller's
    // transaction then undoes the move.
    if (!r->Eof()) {
        const vb::Variant par = r->Fields("par").Value();
        const vb::Variant inStock = r->Fields("instock").Value();
        if (!par.isNull() && vb::CDbl(par) > 0 && !inStock.isNull()) (void)vb::CLng(inStock);
    }
    return r;
}

int32_t DataAccess::NextKey(const NumberedTable& t) {
    auto r = Read(QStringLiteral("select max(%1) as HighNum from %2")
                      .arg(QString::fromLatin1(t.key), QString::fromLatin1(t.table)));
    int32_t high = t.start;
    if (!r->Eof()) {
        vb::Variant v = r->Fields("HighNum").Value();
        if (!v.isNull()) high = vb::CLng(v);
    }
    r->Close();
    if (high == std::numeric_limits<int32_t>::max()) vb::Raise(vb::err::Overflow);
    return high + 1;
}

int32_t DataAccess::ClaimKey(const NumberedTable& t, int32_t key) {
    Q_ASSERT(cn->InTransaction());
    if (key != 0) {
        const QString where = QStringLiteral(" from %1 where %2 = ").arg(QString::fromLatin1(t.table),
                                                                        QString::fromLatin1(t.key)) +
                              ado::SqlLong(key);
        // The transaction holds the write lock: what is read here is what the
        // delete removes.
        auto r = Read(QStringLiteral("select count(*) as Stored") + where);
        const bool stored = !r->Eof() && vb::CLng(r->Fields("Stored").Value()) > 0;
        r->Close();
        if (!stored) {
            QString gone = QString::fromUtf8(t.gone);
            throw RowGoneError{gone.contains(QLatin1String("%1")) ? gone.arg(key) : gone};
        }
        Exec(QStringLiteral("delete *") + where);
        return key;
    }
    try {
        return NextKey(t);
    } catch (...) {
        throw KeyAllocationError{Label(t.allocator), vb::ToRuntimeError(std::current_exception())};
    }
}

void DataAccess::TellRowGone(const QString& message) { vb::MsgBox(message, vb::vbOKOnly); }

void DataAccess::PublishStockMoves() {
    // Inside a transaction the moves may still be undone; they are told after
    // a later member ends outside it.
    if (stockMoved_.empty() || cn->InTransaction()) return;
    std::vector<int32_t> moved;
    moved.swap(stockMoved_);
    std::sort(moved.begin(), moved.end());
    moved.erase(std::unique(moved.begin(), moved.end()), moved.end());
    // A move undone by a rollback is told as well: a window then reads the
    // count it already shows.
    for (int32_t item : moved) RecordEvents::Publish({RecordEvents::StockMoved, item, 0});
}
