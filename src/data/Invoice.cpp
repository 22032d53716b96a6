#include "data/Invoice.h"
#include <algorithm>
#include <cmath>
#include "vb/Conv.h"
#include "vb/RuntimeError.h"

using ado::SqlCurrency;
using ado::SqlDate;
using ado::SqlDouble;
using ado::SqlLong;
using ado::SqlText;

namespace {

const DataAccess::NumberedTable kInvoices{"tb_Invoice", "InvoiceNum", 1000, "GetNewInvoiceNum",
                                          "Invoice %1 has been deleted; it was not saved."};
const DataAccess::NumberedTable kLines{"tb_Trans", "TransNum", 1000, "NewTransNum"};
const DataAccess::NumberedTable kPayments{"tb_Receive", "TransNum", 1000, "NewPayNum"};

// The held number texts are always written by toInvariantString or
// QString::number, so reading them back never depends on the locale.
vb::Currency parseHeldCurrency(const QString& s) {
    const QString t = s.trimmed();
    if (t.isEmpty()) return vb::Currency();
    bool neg = false;
    int i = 0;
    if (t[0] == QLatin1Char('-') || t[0] == QLatin1Char('+')) { neg = t[0] == QLatin1Char('-'); ++i; }
    int64_t units = 0, frac = 0;
    int fracDigits = 0;
    bool inFrac = false;
    for (; i < t.size(); ++i) {
        const QChar ch = t[i];
        if (ch == QLatin1Char('.') && !inFrac) { inFrac = true; continue; }
        if (!ch.isDigit()) vb::Raise(vb::err::TypeMismatch);
        const int d = ch.digitValue();
        if (!inFrac) {
            if (units > 922337203685477LL / 10) vb::Raise(vb::err::Overflow);
            units = units * 10 + d;
        } else if (fracDigits < 4) {
            frac = frac * 10 + d;
            ++fracDigits;
        }
    }
    while (fracDigits < 4) { frac *= 10; ++fracDigits; }
    const int64_t raw = units * 10000 + frac;
    return vb::Currency::fromRaw(neg ? -raw : raw);
}

int32_t heldLong(const QString& s) {
    if (s.isEmpty()) return 0;
    bool ok = false;
    const int v = s.toInt(&ok);
    return ok ? v : 0;
}

// Jet's `field & ""`.
QString text(const ado::Field& f) { return f.Value().str(); }

const char* const kInvoiceSelect =
    "SELECT tb_Client.CustNum, tb_Client.Lname as Lname, tb_Client.Fname as Fname, tb_Invoice.Date as InvoiceDate, "
    "tb_Invoice.InvoiceNum as InvoiceNum, tb_Invoice.Discount as Discount, tb_Invoice.ShippingCharge as ShippingCharge, "
    "tb_Invoice.Interest as Interest, tb_Invoice.Tax as Tax, Sum(tb_trans.amount) AS Charge, "
    "tb_Invoice.Description as Description ";
const char* const kInvoiceFrom =
    "FROM (tb_Client inner JOIN tb_Invoice ON tb_Client.CustNum = tb_Invoice.CustNum) "
    "left JOIN tb_trans ON tb_Invoice.InvoiceNum = tb_trans.InvoiceNum ";
const char* const kInvoiceGroup =
    "GROUP BY tb_Client.CustNum, tb_Client.Lname, tb_Client.Fname, tb_Invoice.Date, tb_Invoice.InvoiceNum, "
    "tb_Invoice.Discount, tb_Invoice.ShippingCharge, tb_Invoice.Interest, tb_Invoice.Tax, tb_Invoice.Description HAVING ";

const char* const kBackOrderSelect =
    "SELECT tb_trans.TransNum as TransNum, tb_trans.InvoiceNum as InvoiceNum, tb_trans.ItemNum as ItemNum, "
    "tb_trans.Notes as Notes, tb_trans.BackOrder as BackOrderQty, tb_trans.Ordered as Ordered, "
    "tb_Invoice.Date as InvoiceDate, tb_Invoice.SalesRep as SalesRep, tb_Client.Lname as Lname, "
    "tb_Client.Fname as Fname FROM (tb_trans INNER JOIN tb_Invoice ON tb_trans.InvoiceNum = tb_Invoice.InvoiceNum) "
    "INNER JOIN tb_Client ON tb_Invoice.CustNum = tb_Client.CustNum WHERE ((val(tb_trans.BackOrder)<0) ";

} // namespace

Invoice::Invoice() : DataAccess("Invoice") {
    Trap("Initialize", [&] {
        InvoiceDate = vb::Today();
        PayDate = vb::Today();
        Shippingdate = vb::Today();
        qty_ = 0;
        charge_ = QStringLiteral("0");
        payment_ = QStringLiteral("0");
    });
}

// --- Held conversions ------------------------------------------------------

int32_t Invoice::InvoiceNum() const { return heldLong(invoiceNum_); }
void Invoice::setInvoiceNum(int32_t n) { invoiceNum_ = QString::number(n); }
int32_t Invoice::CustNum() const { return heldLong(custNum_); }
void Invoice::setCustNum(int32_t n) { custNum_ = QString::number(n); }

vb::Currency Invoice::charge() const {
    try { return parseHeldCurrency(charge_); } catch (...) { return vb::Currency(); }
}
void Invoice::setCharge(vb::Currency c) { charge_ = c.toInvariantString(); }

vb::Currency Invoice::Payment() const {
    try { return parseHeldCurrency(payment_); } catch (...) { return vb::Currency(); }
}
void Invoice::setPayment(vb::Currency c) { payment_ = c.toInvariantString(); }

int32_t Invoice::Qty() const {
    const double r = std::nearbyint(qty_);
    if (r >= 2147483647.0) return 2147483647;
    if (r <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int32_t>(r);
}
void Invoice::setQty(int32_t q) { qty_ = static_cast<double>(q); }

// --- Lists -------------------------------------------------------------------

ado::RecordsetPtr Invoice::AllPayments(vb::Date SinceDate, int32_t CustNum) {
    ado::RecordsetPtr result;
    Trap("AllPayments", [&] {
        setCustNum(CustNum);
        QString sql = QStringLiteral(
            "SELECT tb_Client.CustNum, tb_Client.Fname, tb_Client.Lname, [tb_Client].[lname] & \", \" & "
            "[tb_client].[fname] AS FullName, tb_Receive.TransNum, tb_Receive.Type, tb_Receive.CheckNum, "
            "tb_Receive.Date, tb_Receive.Amount, tb_Receive.Notes ");
        sql += QStringLiteral("FROM tb_Client INNER JOIN tb_Receive ON tb_Client.CustNum = tb_Receive.CustNum "
                              "WHERE ") + ado::DayRange::After(SinceDate).Sql(QStringLiteral("tb_Receive.Date"));
        if (CustNum == -1)
            sql += QStringLiteral(" order by tb_Receive.Date, tb_Receive.TransNum;");
        else
            sql += QStringLiteral(" and tb_Receive.CustNum = ") + SqlLong(CustNum) +
                   QStringLiteral(" order by tb_Receive.Date, tb_Receive.TransNum;");
        result = List(sql);
    });
    return result;
}

ado::RecordsetPtr Invoice::GetAllInvoices(vb::Date SinceDate) {
    ado::RecordsetPtr result;
    Trap("GetAllInvoices", [&] {
        const QString sql = QString::fromLatin1(kInvoiceSelect) + QString::fromLatin1(kInvoiceFrom) +
                            QString::fromLatin1(kInvoiceGroup) +
                            ado::DayRange::After(SinceDate).Sql(QStringLiteral("tb_invoice.date")) +
                            QStringLiteral(" order by tb_Invoice.InvoiceNum desc;");
        result = List(sql);
    });
    return result;
}

ado::RecordsetPtr Invoice::GetCustInvoices(int32_t CustNum, vb::Date SinceDate) {
    ado::RecordsetPtr result;
    Trap("GetCustInvoices", [&] {
        const QString sql = QString::fromLatin1(kInvoiceSelect) + QString::fromLatin1(kInvoiceFrom) +
                            QString::fromLatin1(kInvoiceGroup) + QStringLiteral("(((tb_Client.CustNum)=") +
                            SqlLong(CustNum) + QStringLiteral(") and ") +
                            ado::DayRange::After(SinceDate).Sql(QStringLiteral("tb_invoice.date")) +
                            QStringLiteral(") order by tb_Invoice.InvoiceNum desc;");
        result = List(sql);
    });
    return result;
}

ado::RecordsetPtr Invoice::GetInvoiceItems(int32_t InvoiceNum) {
    ado::RecordsetPtr result;
    Trap("GetInvoiceItems", [&] {
        result = List(QStringLiteral("select * from tb_trans where InvoiceNum = ") + SqlLong(InvoiceNum) +
                      QStringLiteral(" order by TransNum"));
    });
    return result;
}

ado::RecordsetPtr Invoice::GetBackOrderedItems() {
    ado::RecordsetPtr result;
    Trap("GetBackOrderedItems", [&] {
        result = List(QString::fromLatin1(kBackOrderSelect) +
                      QStringLiteral("AND not isnull(TB_TRANS.ordered)) order by tb_trans.TransNum"));
    });
    return result;
}

ado::RecordsetPtr Invoice::GetBackOrderItems() {
    ado::RecordsetPtr result;
    Trap("GetBackOrderItems", [&] {
        result = List(QString::fromLatin1(kBackOrderSelect) +
                      QStringLiteral("AND isnull(TB_TRANS.ordered)) order by tb_trans.TransNum"));
    });
    return result;
}

bool Invoice::SaveOrderDate(int32_t TransNum, vb::Date OrderDate) {
    return Trap("SaveOrderDate", [&] {
        Exec(QStringLiteral("update tb_trans set ordered = ") + SqlDate(OrderDate) +
             QStringLiteral(" where TransNum = ") + SqlLong(TransNum));
    });
}

// --- Header --------------------------------------------------------------

bool Invoice::GetInvoice(int32_t InvoiceNum) {
    bool found = false;
    // A number without a row starts a new header, which keeps the discount
    // its caller set for it.
    const double discount = Discount;
    const auto blank = [&] {
        invoiceNum_.clear();
        custNum_.clear();
        InvoiceDate = vb::Today();
        description.clear();
        Discount = 0;
        ShippingCharge = vb::Currency();
        Tax = vb::Currency();
        Shippingdate = vb::Today();
        ShippingType.clear();
        TrackingNum.clear();
        Interest = vb::Currency();
        SalesRep.clear();
        Terms.clear();
    };
    GetRecord("GetInvoice", blank, [&] {
        auto r = Read(QStringLiteral("select * from tb_Invoice where InvoiceNum = ") + SqlLong(InvoiceNum));
        rs = r;
        if (r->Eof()) {
            Discount = discount;
            GetnewInvoiceNum();
            return;
        }
        invoiceNum_ = QString::number(vb::CLng(r->Fields("InvoiceNum").Value()));
        custNum_ = QString::number(LongOf(r->Fields("CustNum").Value()));
        InvoiceDate = DateOf(r->Fields("Date").Value());
        description = text(r->Fields("Description"));
        Discount = NumberOf(r->Fields("Discount").Value());
        ShippingCharge = MoneyOf(r->Fields("ShippingCharge").Value());
        Shippingdate = DateOf(r->Fields("Shippingdate").Value());
        ShippingType = text(r->Fields("ShippingType"));
        TrackingNum = text(r->Fields("TrackingNum"));
        Interest = MoneyOf(r->Fields("Interest").Value());
        Tax = MoneyOf(r->Fields("Tax").Value());
        SalesRep = text(r->Fields("SalesRep"));
        Terms = text(r->Fields("Terms"));
        r->Close();
        found = true;
    });
    return found;
}

bool Invoice::DeleteInvoice(int32_t InvoiceNum) {
    return Published({RecordEvents::InvoiceDeleted, InvoiceNum, 0}, Trap("DeleteInvoice", [&] {
        ado::Transaction t(*cn);
        Exec(QStringLiteral("delete * from tb_invoice where InvoiceNum = ") + SqlLong(InvoiceNum));
        removeLines(QStringLiteral("InvoiceNum = ") + SqlLong(InvoiceNum));
        t.Commit();
    }));
}

void Invoice::removeLines(const QString& where) {
    auto lines = Read(QStringLiteral("Select ItemNum, Qty from tb_trans where ") + where +
                      QStringLiteral(" order by TransNum"));
    while (!lines->Eof()) {
        const int32_t item = vb::CLng(lines->Fields("ItemNum").Value());
        const vb::Variant qty = lines->Fields("Qty").Value();
        // A Null quantity gives nothing back; an item deleted since the
        // line was written has no stock to take it.
        if (!qty.isNull()) {
            const int32_t q = vb::CLng(qty);
            if (q == INT32_MIN) vb::Raise(vb::err::Overflow);
            // A restock beyond a long raises 6 and the whole delete rolls
            // back: nothing is deleted.
            TakeStock(item, -q)->Close();
        }
        lines->MoveNext();
    }
    lines->Close();
    Exec(QStringLiteral("delete * from tb_trans where ") + where);
}

Invoice::HeaderValues Invoice::Header() const {
    return {InvoiceNum(), custNum_,      description, ShippingType, TrackingNum, SalesRep, Terms, InvoiceDate,
            Shippingdate, Discount,      Tax,         ShippingCharge, Interest};
}

void Invoice::keepStoredHeader(int32_t num, const HeaderValues& loaded) {
    // Read under the save's own write lock: nothing changes it before the commit.
    auto r = Read(QStringLiteral("select * from tb_Invoice where InvoiceNum = ") + SqlLong(num));
    if (!r->Eof()) {
        auto keep = [&](auto& field, const auto& was, const char* column, auto convert) {
            if (field == was) field = convert(r->Fields(column).Value());
        };
        const auto str = [](const vb::Variant& v) { return v.str(); };
        const auto date = [](const vb::Variant& v) { return vb::CDate(v); };
        const auto money = [](const vb::Variant& v) { return v.isNull() ? vb::Currency() : vb::CCur(v); };
        keep(custNum_, loaded.CustNum, "CustNum", str);
        keep(InvoiceDate, loaded.InvoiceDate, "Date", date);
        keep(description, loaded.description, "Description", str);
        keep(Discount, loaded.Discount, "Discount", [](const vb::Variant& v) { return v.isNull() ? 0.0 : vb::CDbl(v); });
        keep(Tax, loaded.Tax, "Tax", money);
        keep(ShippingCharge, loaded.ShippingCharge, "ShippingCharge", money);
        keep(Shippingdate, loaded.Shippingdate, "Shippingdate", date);
        keep(ShippingType, loaded.ShippingType, "ShippingType", str);
        keep(TrackingNum, loaded.TrackingNum, "TrackingNum", str);
        keep(Interest, loaded.Interest, "Interest", money);
        keep(SalesRep, loaded.SalesRep, "SalesRep", str);
        keep(Terms, loaded.Terms, "Terms", str);
    }
    r->Close();
}

bool Invoice::SaveInvoiceAccess(int32_t InvoiceNum, const HeaderValues* loaded) {
    const bool saved = Trap("SaveInvoiceAccess", [&] {
        ado::Transaction t(*cn);
        if (InvoiceNum != 0 && loaded && loaded->InvoiceNum == InvoiceNum) keepStoredHeader(InvoiceNum, *loaded);
        const QString values =
            QLatin1Char(',') + custNum_ + QLatin1Char(',') + SqlDate(InvoiceDate) + QLatin1Char(',') +
            SqlText(description) + QLatin1Char(',') + SqlDouble(Discount) + QLatin1Char(',') + SqlCurrency(Tax) +
            QLatin1Char(',') + SqlCurrency(ShippingCharge) + QLatin1Char(',') + SqlDate(Shippingdate) +
            QLatin1Char(',') + SqlText(ShippingType) + QLatin1Char(',') + SqlText(TrackingNum) + QLatin1Char(',') +
            SqlCurrency(Interest) + QLatin1Char(',') + SqlText(SalesRep) + QLatin1Char(',') + SqlText(Terms) +
            QLatin1Char(')');
        const int32_t key = ClaimKey(kInvoices, InvoiceNum);
        if (InvoiceNum == 0) setInvoiceNum(key);
        Exec(QStringLiteral("Insert into tb_Invoice (InvoiceNum,CustNum,[Date],Description,discount,tax,"
                            "shippingcharge,shippingdate,shippingtype,trackingnum,interest,SalesRep,Terms) values (") +
             invoiceNum_ + values);
        t.Commit();
    });
    return Published({RecordEvents::InvoiceSaved, this->InvoiceNum(), CustNum()}, saved);
}

// --- Lines -------------------------------------------------------------------

void Invoice::insertLine(int32_t transNum, const QString& invoiceNum, int32_t itemNum, double qty,
                         const QString& amount, const QString& notes, int32_t backOrder) {
    Exec(QStringLiteral("Insert into tb_trans (TransNum,InvoiceNum,ItemNum,Qty,Amount,Notes,Backorder) values (") +
         SqlLong(transNum) + QLatin1Char(',') + invoiceNum + QLatin1Char(',') + SqlLong(itemNum) + QLatin1Char(',') +
         SqlDouble(qty) + QLatin1Char(',') + amount + QLatin1Char(',') + SqlText(notes) + QLatin1Char(',') +
         SqlLong(backOrder) + QLatin1Char(')'));
}

void Invoice::writeLine(const vb::Variant& ordered) {
    TransNum = ClaimKey(kLines, TransNum);
    insertLine(TransNum, invoiceNum_, ItemNum, qty_, charge_, TransNotes, BackOrder);
    // The insert does not name Ordered; a line once ordered stays ordered.
    if (!ordered.isNull() && !ordered.isEmpty())
        Exec(QStringLiteral("update tb_trans set ordered = ") + SqlDate(vb::CDate(ordered)) +
             QStringLiteral(" where TransNum = ") + SqlLong(TransNum));
}

bool Invoice::SaveTransAccess() {
    return Trap("SaveTransAccess", [&] {
        ado::Transaction t(*cn);
        vb::Variant ordered;
        if (TransNum != 0) {
            auto r = Read(QStringLiteral("select Ordered from tb_trans where TransNum = ") + SqlLong(TransNum));
            if (!r->Eof()) ordered = r->Fields("Ordered").Value();
            r->Close();
        }
        writeLine(ordered);
        t.Commit();
    });
}

Invoice::LineSave Invoice::SaveLineAccess() {
    LineSave outcome = LineFailed;
    Trap("SaveLineAccess", [&] {
        // The write lock is taken first: nothing can delete the header or
        // move the stock between the checks and the commit.
        ado::Transaction t(*cn);
        auto h = Read(QStringLiteral("select count(*) as n from tb_Invoice where InvoiceNum = ") + invoiceNum_);
        const bool headerStored = vb::CLng(h->Fields("n").Value()) > 0;
        h->Close();
        if (!headerStored) {
            outcome = InvoiceGone;
            return;
        }
        // The stock moves by what the file holds for the line, never by what
        // a window remembers of it.
        int64_t storedQty = 0;
        vb::Variant ordered;
        if (TransNum != 0) {
            auto r = Read(QStringLiteral("select Qty, Ordered from tb_trans where TransNum = ") + SqlLong(TransNum));
            if (r->Eof()) {
                outcome = LineGone;
                return;
            }
            const vb::Variant q = r->Fields("Qty").Value();
            if (!q.isNull()) storedQty = vb::CLng(q);
            ordered = r->Fields("Ordered").Value();
            r->Close();
        }
        const int32_t qty = Qty();
        const int64_t moved = int64_t(qty) - storedQty;
        if (moved < INT32_MIN || moved > INT32_MAX) vb::Raise(vb::err::Overflow);
        StockAfter = NotTracked;
        if (moved != 0) {
            auto r = TakeStock(ItemNum, int32_t(moved));
            if (r->Eof()) {
                outcome = ItemGone;
                return;
            }
            const vb::Variant par = r->Fields("par").Value();
            // A Null stock raises 94.
            if (!par.isNull() && vb::CDbl(par) > 0) StockAfter = vb::CLng(r->Fields("instock").Value());
            r->Close();
        }
        const int64_t units = std::max(qty, 0);
        if (StockAfter != NotTracked)
            BackOrder = int32_t(-std::min<int64_t>(units, std::max<int64_t>(0, -int64_t(StockAfter))));
        else
            BackOrder = int32_t(std::clamp<int64_t>(BackOrder, -units, 0));
        writeLine(ordered);
        t.Commit();
        outcome = LineSaved;
    });
    return outcome;
}

bool Invoice::DeleteInvoiceItem(int32_t TransNum) {
    return Trap("DeleteInvoiceItem", [&] {
        ado::Transaction t(*cn);
        removeLines(QStringLiteral("Transnum = ") + SqlLong(TransNum));
        t.Commit();
    });
}

bool Invoice::AddToInvoice(int32_t InvoiceNum, int32_t ItemNum, int32_t Qty, vb::Currency Amount,
                           const QString& Notes, bool BackOrder) {
    return Trap("AddtoInvoice", [&] {
        ado::Transaction t(*cn);
        const int32_t n = ClaimKey(kLines, 0);
        // A Boolean stored in a number column is -1 for True.
        insertLine(n, SqlLong(InvoiceNum), ItemNum, static_cast<double>(Qty), SqlCurrency(Amount), Notes,
                   BackOrder ? -1 : 0);
        t.Commit();
    });
}

// --- Payments ------------------------------------------------------------

bool Invoice::SavePayment() {
    const bool saved = Trap("SavePayment", [&] {
        ado::Transaction t(*cn);
        PayNum = ClaimKey(kPayments, PayNum);
        Exec(QStringLiteral("Insert into tb_Receive (TransNum,CustNum,Type,CheckNum,[Date],[Amount],Notes) values (") +
             SqlLong(PayNum) + QLatin1Char(',') + custNum_ + QLatin1Char(',') + SqlText(Paytype) + QLatin1Char(',') +
             SqlText(Checknum) + QLatin1Char(',') + SqlDate(PayDate) + QLatin1Char(',') + payment_ +
             QLatin1Char(',') + SqlText(PayNotes) + QLatin1Char(')'));
        t.Commit();
    });
    return Published({RecordEvents::PaymentSaved, PayNum, CustNum()}, saved);
}

bool Invoice::DeletePayment(int32_t PayNum) {
    return Published({RecordEvents::PaymentDeleted, PayNum, 0}, Trap("DeletePayment", [&] {
        Exec(QStringLiteral("delete * from tb_Receive where Transnum = ") + SqlLong(PayNum));
    }));
}

// --- Numbers -------------------------------------------------------------

void Invoice::GetnewInvoiceNum() {
    Trap("GetNewInvoiceNum", [&] {
        setInvoiceNum(NextKey(kInvoices));
    });
}

int32_t Invoice::NewPayNum() {
    int32_t n = 0;
    Trap("NewPayNum", [&] {
        n = NextKey(kPayments);
    });
    return n;
}

int32_t Invoice::NewTransNum() {
    int32_t n = 0;
    Trap("NewTransNum", [&] {
        n = NextKey(kLines);
    });
    return n;
}

// --- Total -----------------------------------------------------------------

namespace {

vb::Currency lineSumOf(const vb::Variant& s) { return s.isNull() ? vb::Currency() : vb::CCur(s); }

vb::Currency totalOf(vb::Currency L, const vb::Variant& d, const vb::Variant& shipping, const vb::Variant& interest,
                     const vb::Variant& tax) {
    return Invoice::TotalOfValues(L, d, shipping, interest, tax);
}

} // namespace

vb::Currency Invoice::TotalOfValues(const vb::Variant& lines, const vb::Variant& discount, const vb::Variant& shipping,
                                    const vb::Variant& interest, const vb::Variant& tax) {
    // A Null part (an older row, another program's) counts as nothing, as
    // the header reads it and as ClientBals adds it up.
    return TotalOf(MoneyOf(lines), NumberOf(discount), MoneyOf(shipping), MoneyOf(interest), MoneyOf(tax));
}

vb::Currency Invoice::InvoiceTotal(int32_t InvoiceNum) {
    vb::Currency result;
    Trap("InvoiceTotal", [&] {
        const QString num = SqlLong(InvoiceNum);
        vb::Currency L;
        {
            auto r = Read(QStringLiteral("select sum(amount) as SumOfCharge from tb_trans where InvoiceNum = ") + num);
            if (!r->Eof()) L = lineSumOf(r->Fields("SumOfCharge").Value());
            r->Close();
        }
        result = L;
        auto h = Read(QStringLiteral("select discount, tax, shippingcharge, interest from tb_Invoice where InvoiceNum = ") + num);
        if (h->Eof()) {
            h->Close();
            return;
        }
        result = totalOf(L, h->Fields("discount").Value(), h->Fields("shippingcharge").Value(),
                         h->Fields("interest").Value(), h->Fields("tax").Value());
        h->Close();
    });
    return result;
}

QString Invoice::LineSumsSql(const QString& where, bool withClient, const vb::Date* descriptionAfter) {
    // The line sum per invoice through the same index walk InvoiceTotal's own
    // statement takes, so it adds the same amounts in the same order.
    return QStringLiteral("select i.InvoiceNum as InvoiceNum, i.CustNum as CustNum, i.[Date] as InvoiceDate, "
                          "i.discount as discount, "
                          "i.tax as tax, i.shippingcharge as shippingcharge, i.interest as interest, ") +
           (descriptionAfter ? QStringLiteral("iif(") +
                                   ado::DayRange::After(*descriptionAfter).Sql(QStringLiteral("i.[date]")) +
                                   QStringLiteral(", i.description, null) as description, ")
                             : QString()) +
           QStringLiteral("(select sum(t.amount) from tb_trans t where t.InvoiceNum = i.InvoiceNum) as SumOfCharge "
                          "from tb_Invoice i ") +
           (withClient ? QStringLiteral("inner join tb_Client c on c.CustNum = i.CustNum ") : QString()) +
           QStringLiteral("where ") + where;
}

ado::RecordsetPtr Invoice::InvoicesWithLineSums(const QString& where, bool withClient) {
    ado::RecordsetPtr result;
    Trap("InvoicesWithLineSums", [&] { result = List(LineSumsSql(where, withClient)); });
    return result;
}

ado::RecordsetPtr Invoice::ClientInvoices(int32_t CustNum, vb::Date SinceDate) {
    ado::RecordsetPtr result;
    Trap("ClientInvoices", [&] {
        result = List(LineSumsSql(QStringLiteral("i.CustNum = ") + SqlLong(CustNum) +
                                      QStringLiteral(" and not isnull(i.[date]) order by i.InvoiceNum desc"),
                                  true, &SinceDate));
    });
    return result;
}

vb::Currency Invoice::TotalOfRow(ado::Recordset& row) {
    try {
        return totalOf(lineSumOf(row.Fields("SumOfCharge").Value()), row.Fields("discount").Value(),
                       row.Fields("shippingcharge").Value(), row.Fields("interest").Value(),
                       row.Fields("tax").Value());
    } catch (...) {
        return InvoiceTotal(vb::CLng(row.Fields("InvoiceNum").Value()));
    }
}

vb::Currency Invoice::TotalOf(vb::Currency lines, double discount, vb::Currency shipping, vb::Currency interest,
                              vb::Currency tax) {
    // Once the discount (a Double) enters, the sum is carried in double and
    // converted to Currency once, halves to even.
    const double l = lines.toDouble();
    const double total = (((l - l * (discount / 100.0)) + shipping.toDouble()) + interest.toDouble()) + tax.toDouble();
    return vb::Currency::fromDouble(total);
}
