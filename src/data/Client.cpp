#include "data/Client.h"
#include <algorithm>
#include <iterator>
#include "data/Globals.h"
#include "data/Invoice.h"
#include "vb/Conv.h"
#include "vb/RuntimeError.h"
#include "SchemaText.h"

using ado::SqlDate;
using ado::SqlDouble;
using ado::SqlLong;
using ado::SqlText;

namespace {

struct TextColumn {
    const char* column;
    QString Client::*member;
};

// The text columns in the order of the saving INSERT: 2 to 38, then (after
// Discount) 40 to 50.
const TextColumn kTexts[] = {
    {"Lname", &Client::lname},           {"Fname", &Client::fname},
    {"Mname", &Client::Mname},           {"Address1", &Client::Address1},
    {"Address2", &Client::Address2},     {"City", &Client::City},
    {"State", &Client::State},           {"ZipCode", &Client::ZipCode},
    {"HomePhone", &Client::HomePhone},   {"WorkPhone", &Client::WorkPhone},
    {"CelPhone", &Client::CelPhone},     {"Fax", &Client::Fax},
    {"Company", &Client::Company},       {"Email", &Client::Email},
    {"Webpage", &Client::WebPage},       {"Notes", &Client::Notes},
    {"BillLname", &Client::BillLname},   {"BillFname", &Client::BillFname},
    {"BillMname", &Client::BillMname},   {"BillAddress1", &Client::BillAddress1},
    {"BillAddress2", &Client::BillAddress2}, {"BillCity", &Client::Billcity},
    {"BillState", &Client::BillState},   {"BillZipcode", &Client::BillZipCode},
    {"BillHomePhone", &Client::BillHomePhone}, {"BillWorkPhone", &Client::BillWorkPhone},
    {"BillCelPhone", &Client::BillCelPhone}, {"BillFax", &Client::BillFax},
    {"BillEmail", &Client::BillEmail},   {"BillWebpage", &Client::BillWebPage},
    {"CardNum1", &Client::CardNum1},     {"CardNum2", &Client::CardNum2},
    {"PaymentType1", &Client::PaymentType1}, {"PaymentType2", &Client::PaymentType2},
    {"expdate1", &Client::ExpDate1},     {"expdate2", &Client::ExpDate2},
    {"POnum", &Client::POnum},
    // -- Discount stands here --
    {"ShipLname", &Client::ShipLname},   {"ShipFname", &Client::ShipFname},
    {"shipMname", &Client::ShipMname},   {"shipAddress1", &Client::ShipAddress1},
    {"shipAddress2", &Client::ShipAddress2}, {"ShipCity", &Client::Shipcity},
    {"ShipState", &Client::ShipState},   {"ShipZipcode", &Client::ShipZipCode},
    {"ShipHomePhone", &Client::ShipHomePhone}, {"ShipCelPhone", &Client::ShipCelPhone},
    {"ShipWorkphone", &Client::ShipWorkPhone},
};
constexpr int kBeforeDiscount = 37;   // Lname .. POnum
constexpr int kCompany = 12, kPOnum = 36;
static_assert(std::size(kTexts) == 48);

bool isCompanyOrPONum(int i) { return i == kCompany || i == kPOnum; }

const DataAccess::NumberedTable kClients{"tb_Client", "CustNum", 1000, "GetNewCustNum",
                                         "This client has been deleted; it was not saved."};

// The ClientBals view of a new data file, from the schema it is made from.
const QString& schemaClientBals() {
    static const QString view = [] {
        const QString schema = QString::fromUtf8(kSchemaText);
        const qsizetype at = schema.indexOf(QLatin1String("CREATE VIEW ClientBals"));
        return at < 0 ? QString() : schema.mid(at, schema.indexOf(QLatin1Char(';'), at) - at);
    }();
    return view;
}

} // namespace

Client::Client() : DataAccess("Client") {
    Trap("Initialize", [&] {
        for (const auto& t : kTexts) (this->*t.member).clear();
        Discount = 0;
    });
}

bool Client::Exists(int32_t CustNum) {
    if (CustNum <= 0) return false;
    Client probe;
    probe.InitAccess(Globals::DataFilePath());
    const ConnectionScope opened = probe.OpenScope();
    return probe.GetClient(CustNum);
}

ado::RecordsetPtr Client::GetAllClients() {
    ado::RecordsetPtr result;
    Trap("GetAllClients", [&] {
        result = List(QStringLiteral(
            "select custnum, fname, lname, homephone, workphone, celphone, email from tb_Client order by Lname , fname"));
    });
    return result;
}

ado::RecordsetPtr Client::GetClientRS(const QString& Lname) {
    ado::RecordsetPtr result;
    Trap("GetClientRS", [&] {
        result = List(QStringLiteral("select * from tb_Client where Lname like ") + SqlText(Lname + QLatin1Char('%')));
    });
    return result;
}

bool Client::GetClient(int32_t CustNum) {
    bool found = false;
    const auto blank = [&] {
        this->CustNum = 0;
        for (const auto& t : kTexts) (this->*t.member).clear();
        Discount = 0;
    };
    GetRecord("GetClient", blank, [&] {
        auto r = Read(QStringLiteral("select * from tb_Client where CustNum = ") + SqlLong(CustNum));
        rs = r;
        if (r->Eof()) {
            GetNewCustNum();
            return;
        }
        this->CustNum = vb::CLng(r->Fields("CustNum").Value());
        auto readText = [&](const TextColumn& t) { this->*t.member = r->Fields(t.column).Value().str(); };
        // Read order: the texts up to expdate2 without Company and POnum, then
        // Discount, Company, POnum and the shipping block.
        for (int i = 0; i < kBeforeDiscount; ++i)
            if (!isCompanyOrPONum(i)) readText(kTexts[i]);
        Discount = NumberOf(r->Fields("Discount").Value());
        readText(kTexts[kCompany]);
        readText(kTexts[kPOnum]);
        for (int i = kBeforeDiscount; i < int(std::size(kTexts)); ++i) readText(kTexts[i]);
        r->Close();
        found = true;
    });
    return found;
}

bool Client::DeleteClient(int32_t CustNum) {
    return Published({RecordEvents::ClientDeleted, CustNum, CustNum}, Trap("DeleteClient", [&] {
        const QString num = SqlLong(CustNum);
        ado::Transaction t(*cn);
        Exec(QStringLiteral("delete * from tb_Client where CustNum = ") + num);
        Exec(QStringLiteral("delete * from tb_receive where CustNum = ") + num);
        auto inv = Read(QStringLiteral("select InvoiceNum from tb_Invoice where custnum = ") + num);
        while (!inv->Eof()) {
            Exec(QStringLiteral("delete * from tb_trans where InvoiceNum = ") +
                 SqlLong(vb::CLng(inv->Fields("InvoiceNum").Value())));
            inv->MoveNext();
        }
        inv->Close();
        Exec(QStringLiteral("delete * from tb_invoice where CustNum = ") + num);
        t.Commit();
    }));
}

void Client::MendClientBalsView() {
    // Files made before a row counted only once its day had come keep a
    // view that counts tomorrow's rows; it is replaced by the schema's in one
    // transaction. A file that cannot be written now keeps it until a later
    // read can; any other view of that name is left alone.
    vb::IgnoreErrors([&] {
        auto r = Read(QStringLiteral("select sql from sqlite_master where type = 'view' and name = 'ClientBals'"));
        const QString stored = r->Eof() ? QString() : r->Fields("sql").Value().str();
        r->Close();
        if (!stored.contains(QLatin1String("<= datetime('now','localtime','start of day','+1 day')")) ||
            schemaClientBals().isEmpty())
            return;
        ado::Transaction t(*cn);
        cn->Execute(QStringLiteral("DROP VIEW ClientBals"));
        cn->Execute(schemaClientBals());
        t.Commit();
    });
}

ado::RecordsetPtr Client::ClientBals() {
    ado::RecordsetPtr result;
    MendClientBalsView();
    Trap("ClientBals", [&] {
        result = List(QStringLiteral("SELECT ClientBals.CustNum as CustNum, ClientBals.Fullname AS FullName, "
                                     "ClientBals.Balance as Bal ") +
                      QStringLiteral("FROM ClientBals order by ClientBals.Fullname "));
    });
    return result;
}

ado::RecordsetPtr Client::rsLastPayment(int32_t CustNum) {
    ado::RecordsetPtr result;
    Trap("rsLastPayment", [&] {
        result = List(QStringLiteral("select [date], Amount from tb_Receive where custnum = ") + SqlLong(CustNum) +
                      QStringLiteral(" ORDER BY [DATE] DESC, TRANSNUM DESC"));
    });
    return result;
}

vb::Currency Client::ClientBal(int32_t CustNum, const vb::Date& AsOf) {
    vb::Date copy = AsOf;
    return ClientBal(CustNum, copy);
}

vb::Currency Client::ClientBal(int32_t CustNum, vb::Date& AsOf) {
    vb::Currency result;
    std::shared_ptr<Invoice> inv = Globals::SharedInvoice;
    Trap("ClientBal", [&] {
        if (AsOf.isZero()) AsOf = vb::Today();
        if (!inv) vb::Raise(vb::err::ObjectNotSet);
        // The shared invoice connection is closed afterwards on every path,
        // also when the caller had it open.
        const ConnectionScope opened = inv->OpenScope();
        // The client's invoices as the invoice list gives them, each with its
        // line sum, totalled as InvoiceTotal totals one.
        auto invoices = inv->InvoicesWithLineSums(QStringLiteral("i.CustNum = ") + SqlLong(CustNum) +
                                                      QStringLiteral(" and i.[date] > ") +
                                                      SqlDate(kEarliestInvoice),
                                                  true);
        if (!invoices) vb::Raise(vb::err::ObjectNotSet);
        result = balanceOf(CustNum, AsOf, *invoices, *inv);
    });
    return result;
}

vb::Currency Client::ClientBal(int32_t CustNum, const vb::Date& AsOf, ado::Recordset& invoices) {
    vb::Currency result;
    std::shared_ptr<Invoice> inv = Globals::SharedInvoice;
    Trap("ClientBal", [&] {
        if (!inv) vb::Raise(vb::err::ObjectNotSet);
        result = balanceOf(CustNum, AsOf, invoices, *inv);
    });
    return result;
}

vb::Currency Client::balanceOf(int32_t CustNum, const vb::Date& AsOf, ado::Recordset& invoices, Invoice& inv) {
    vb::Currency total;
    const ado::DayRange counted = CountedThrough(AsOf);
    for (invoices.MoveFirst(); !invoices.Eof(); invoices.MoveNext()) {
        const vb::Date d = vb::CDate(invoices.Fields("InvoiceDate").Value());
        if (Counts(d, counted)) total += inv.TotalOfRow(invoices);
    }
    double payments = 0;
    auto r = Read(PaidAsOfSql(AsOf, QStringLiteral("(((tb_Client.CustNum)=") + SqlLong(CustNum) +
                                        QStringLiteral("))")));
    if (!r->Eof()) payments = vb::CDbl(r->Fields("SumOfPay").Value());
    r->Close();
    return BalanceFrom(total, payments);
}

// Nothing dated after today counts yet, whatever the as-of date.
ado::DayRange Client::CountedThrough(const vb::Date& AsOf) { return ado::DayRange::Through(std::min(AsOf, vb::Today())); }

QString Client::PaidAsOfSql(const vb::Date& AsOf, const QString& clientWhere) {
    return QStringLiteral("SELECT tb_Client.CustNum, Sum(tb_Receive.Amount) AS SumOfPay FROM tb_Receive "
                          "INNER JOIN tb_Client ON tb_Receive.CustNum = tb_Client.CustNum Where ") +
           CountedThrough(AsOf).Sql(QStringLiteral("tb_Receive.Date")) + QStringLiteral(" GROUP BY tb_Client.CustNum HAVING ") +
           clientWhere + QStringLiteral(";");
}

Client::Values Client::Snapshot() const {
    Values v;
    for (const auto& t : kTexts) v.texts << this->*t.member;
    v.discount = Discount;
    return v;
}

bool Client::SaveClientAccess(int32_t CustNum, const Values* loaded) {
    const bool saved = Trap("SaveClientAccess", [&] {
        ado::Transaction t(*cn);
        if (CustNum != 0 && loaded && loaded->texts.size() == int(std::size(kTexts))) {
            // Read under the save's own write lock: nothing changes it before the commit.
            auto r = Read(QStringLiteral("select * from tb_Client where CustNum = ") + SqlLong(CustNum));
            if (!r->Eof()) {
                for (int i = 0; i < int(std::size(kTexts)); ++i)
                    if (this->*kTexts[i].member == loaded->texts[i])
                        this->*kTexts[i].member = r->Fields(kTexts[i].column).Value().str();
                const vb::Variant d = r->Fields("Discount").Value();
                if (Discount == loaded->discount) Discount = d.isNull() ? 0.0 : vb::CDbl(d);
            }
            r->Close();
        }
        const QString insert = QStringLiteral(
            "Insert into tb_client (CustNum,Lname,Fname,Mname,Address1,Address2,City, "
            "State,ZipCode,HomePhone,WorkPhone,CelPhone,Fax,Company,Email,Webpage,Notes,BillLname, "
            "BillFname,BillMname,BillAddress1,BillAddress2,BillCity,BillState,BillZipcode, "
            "BillHomePhone,BillWorkPhone,BillCelPhone,BillFax,BillEmail,BillWebpage, "
            "CardNum1,CardNum2,PaymentType1,PaymentType2,expdate1,expdate2,POnum,Discount,ShipLname,ShipFname,shipMname, "
            "shipAddress1,shipAddress2,ShipCity,ShipState,ShipZipcode,ShipHomePhone,ShipCelPhone,ShipWorkphone "
            ") values (");
        QString values;
        for (int i = 0; i < int(std::size(kTexts)); ++i) {
            if (i == kBeforeDiscount) values += QLatin1Char(',') + SqlDouble(Discount);
            values += QLatin1Char(',') + SqlText(this->*kTexts[i].member);
        }
        const int32_t key = ClaimKey(kClients, CustNum);
        if (CustNum == 0) this->CustNum = key;
        Exec(insert + SqlLong(this->CustNum) + values + QLatin1Char(')'));
        t.Commit();
    });
    // Told after the save: a new client's number is known only then.
    return Published({RecordEvents::ClientSaved, this->CustNum, this->CustNum}, saved);
}

QString Client::ClientName(int32_t CustNum) {
    QString result;
    Trap("ClientName", [&] {
        auto r = Read(QStringLiteral("Select fname, mname, lname from tb_client where CustNum = ") + SqlLong(CustNum));
        result = r->Fields("fname").Value().str() + QLatin1Char(' ') + r->Fields("mname").Value().str() +
                 QLatin1Char(' ') + r->Fields("lname").Value().str();
        r->Close();
    });
    return result;
}

void Client::GetNewCustNum() {
    Trap("GetNewCustNum", [&] {
        CustNum = NextKey(kClients);
    });
}
