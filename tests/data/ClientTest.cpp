// Client: the record, its save and delete, the lists and the balance.
#include <memory>
#include <gtest/gtest.h>
#include <QLocale>
#include "data/Client.h"
#include "data/Globals.h"
#include "data/Invoice.h"
#include "support/TestEnv.h"
#include "vb/Conv.h"
#include "vb/MsgBox.h"

using testsupport::PinnedClock;
using testsupport::ProgramFolder;
using testsupport::ScriptedMsgBox;

namespace {

struct Opened : testsupport::OpenedOn<Client> {
    Client& c = da;
};

vb::Currency cur(const char* s) { return vb::Currency::fromDouble(QLocale::c().toDouble(QString::fromLatin1(s))); }

// Every text property with the column the insert writes it to.
struct Prop {
    const char* column;
    QString Client::*member;
};
const Prop kProps[] = {
    {"Lname", &Client::lname}, {"Fname", &Client::fname}, {"Mname", &Client::Mname},
    {"Address1", &Client::Address1}, {"Address2", &Client::Address2}, {"City", &Client::City},
    {"State", &Client::State}, {"ZipCode", &Client::ZipCode}, {"HomePhone", &Client::HomePhone},
    {"WorkPhone", &Client::WorkPhone}, {"CelPhone", &Client::CelPhone}, {"Fax", &Client::Fax},
    {"Company", &Client::Company}, {"Email", &Client::Email}, {"Webpage", &Client::WebPage},
    {"Notes", &Client::Notes}, {"BillLname", &Client::BillLname}, {"BillFname", &Client::BillFname},
    {"BillMname", &Client::BillMname}, {"BillAddress1", &Client::BillAddress1},
    {"BillAddress2", &Client::BillAddress2}, {"BillCity", &Client::Billcity}, {"BillState", &Client::BillState},
    {"BillZipcode", &Client::BillZipCode}, {"BillHomePhone", &Client::BillHomePhone},
    {"BillWorkPhone", &Client::BillWorkPhone}, {"BillCelPhone", &Client::BillCelPhone},
    {"BillFax", &Client::BillFax}, {"BillEmail", &Client::BillEmail}, {"BillWebpage", &Client::BillWebPage},
    {"CardNum1", &Client::CardNum1}, {"CardNum2", &Client::CardNum2}, {"PaymentType1", &Client::PaymentType1},
    {"PaymentType2", &Client::PaymentType2}, {"expdate1", &Client::ExpDate1}, {"expdate2", &Client::ExpDate2},
    {"POnum", &Client::POnum}, {"ShipLname", &Client::ShipLname}, {"ShipFname", &Client::ShipFname},
    {"shipMname", &Client::ShipMname}, {"shipAddress1", &Client::ShipAddress1},
    {"shipAddress2", &Client::ShipAddress2}, {"ShipCity", &Client::Shipcity}, {"ShipState", &Client::ShipState},
    {"ShipZipcode", &Client::ShipZipCode}, {"ShipHomePhone", &Client::ShipHomePhone},
    {"ShipCelPhone", &Client::ShipCelPhone}, {"ShipWorkphone", &Client::ShipWorkPhone},
};

const QString kAwkward[] = {
    QStringLiteral("O'Brien"), QStringLiteral("\"quoted\""), QStringLiteral("#5# & co"), QStringLiteral("a;b"),
    QStringLiteral("[x]"), QStringLiteral("two\nlines"), QStringLiteral("Müller-Łukasz ✓"), QStringLiteral("True"),
};

std::vector<int> numbers(const ado::RecordsetPtr& rs, const char* field) {
    std::vector<int> out;
    if (!rs) return out;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) out.push_back(vb::CLng(rs->Fields(field).Value()));
    return out;
}

} // namespace

TEST(ClientRecord, EveryFieldLandsInItsColumnAndLoadsBackWithAwkwardTexts) {
    Opened o;
    o.folder.exec("INSERT INTO tb_Client (CustNum) VALUES (1001)");
    int n = 0;
    for (const QString& awkward : kAwkward) {
        Client& c = o.c;
        c.CustNum = 1001;
        int k = 0;
        for (const Prop& p : kProps) c.*p.member = QStringLiteral("%1%2").arg(k++).arg(awkward);
        c.Address2.clear();   // an empty text stays empty
        c.Discount = 12.5;
        ASSERT_TRUE(c.SaveClientAccess(1001)) << awkward.toStdString();

        k = 0;
        for (const Prop& p : kProps) {
            const QString want = QString::fromLatin1(p.column) == "Address2" ? QString()
                                                                               : QStringLiteral("%1%2").arg(k).arg(awkward);
            EXPECT_EQ(o.scalar(QStringLiteral("SELECT %1 FROM tb_Client").arg(p.column)), want) << p.column;
            ++k;
        }
        EXPECT_EQ(o.scalar("SELECT Discount FROM tb_Client"), "12.5");

        Client back;
        back.InitAccess(o.folder.path() + "\\VANTREL.mdb");
        back.OpenCn();
        back.City = "stale";
        ASSERT_TRUE(back.GetClient(1001));
        EXPECT_EQ(back.CustNum, 1001);
        EXPECT_EQ(back.Discount, 12.5);
        for (const Prop& p : kProps) EXPECT_EQ(back.*p.member, c.*p.member) << p.column;
        back.CloseCn();
        ++n;
    }
    EXPECT_EQ(o.scalar("SELECT count(*) FROM tb_Client"), "1");
}

TEST(ClientRecord, NullTextsLoadAsEmptyAndAMissingDiscountAsZero) {
    Opened o;
    o.folder.exec("INSERT INTO tb_Client (CustNum) VALUES (1001)");
    o.c.Company = "previous";
    o.c.Discount = 3;
    ASSERT_TRUE(o.c.GetClient(1001));
    for (const Prop& p : kProps) EXPECT_EQ(o.c.*p.member, QString()) << p.column;
    EXPECT_EQ(o.c.Discount, 0);
}

TEST(ClientRecord, ANumberWithoutARowGivesTheNextNumberAndBlanks) {
    Opened o;
    o.folder.exec("INSERT INTO tb_Client (CustNum, Lname, Discount) VALUES (1001, 'Lee', 5), (1007, 'Kay', 0)");
    ASSERT_TRUE(o.c.GetClient(1001));
    EXPECT_EQ(o.c.lname, "Lee");
    EXPECT_FALSE(o.c.GetClient(0));
    EXPECT_EQ(o.c.CustNum, 1008);
    EXPECT_EQ(o.c.lname, "");
    EXPECT_EQ(o.c.Discount, 0);
}

TEST(ClientRecord, AFailedInsertKeepsTheStoredClient) {
    Opened o;
    o.folder.exec("INSERT INTO tb_Client (CustNum, Lname) VALUES (1001, 'Kept')");
    o.folder.exec("CREATE TRIGGER f BEFORE INSERT ON tb_Client BEGIN SELECT RAISE(ABORT, 'forced'); END");
    ScriptedMsgBox box;
    box.expect(vb::vbOK);
    o.c.CustNum = 1001;
    o.c.lname = "Lost";
    EXPECT_FALSE(o.c.SaveClientAccess(1001));
    EXPECT_TRUE(box.lastPrompt().startsWith("Client.SaveClientAccess -")) << box.lastPrompt().toStdString();
    o.folder.exec("DROP TRIGGER f");   // no lock was left behind
    EXPECT_EQ(o.scalar("SELECT group_concat(Lname) FROM tb_Client"), "Kept");
}

// --- DeleteClient ---------------------------------------------------------------

namespace {
void seedTwoClients(const ProgramFolder& f) {
    f.exec("INSERT INTO tb_Client (CustNum, Lname) VALUES (1001, 'Gone'), (1002, 'Stays');"
           "INSERT INTO tb_Receive (TransNum, CustNum, Amount) VALUES (7001, 1001, 5), (7002, 1002, 6);"
           "INSERT INTO tb_Invoice (InvoiceNum, CustNum) VALUES (2001, 1001), (2002, 1001), (2003, 1002);"
           "INSERT INTO tb_trans (TransNum, InvoiceNum, ItemNum, Qty) VALUES (5001, 2001, 3001, 2), (5002, 2002, 3001, 1),"
           " (5003, 2003, 3001, 1);"
           "INSERT INTO tb_Inventory (ItemNum, CatNum, par, instock) VALUES (3001, 1, 5, 10);");
}
QString everything(const ProgramFolder& f) {
    return f.scalar("SELECT (SELECT group_concat(CustNum) FROM tb_Client) || '|' || "
                    "(SELECT group_concat(TransNum) FROM tb_Receive) || '|' || "
                    "(SELECT group_concat(InvoiceNum) FROM tb_Invoice) || '|' || "
                    "(SELECT group_concat(TransNum) FROM tb_trans) || '|' || "
                    "(SELECT instock FROM tb_Inventory)");
}
} // namespace

TEST(DeleteClient, RemovesTheClientWithPaymentsInvoicesAndLinesButNoStock) {
    Opened o;
    seedTwoClients(o.folder);
    ASSERT_TRUE(o.c.DeleteClient(1001));
    EXPECT_EQ(everything(o.folder), "1002|7002|2003|5003|10");
}

TEST(DeleteClient, StoppedHalfWayLeavesNoOrphans) {
    Opened o;
    seedTwoClients(o.folder);
    o.folder.exec("CREATE TRIGGER f BEFORE DELETE ON tb_Invoice BEGIN SELECT RAISE(ABORT, 'forced'); END");
    ScriptedMsgBox box;
    box.expect(vb::vbOK);
    EXPECT_FALSE(o.c.DeleteClient(1001));
    EXPECT_TRUE(box.lastPrompt().startsWith("Client.DeleteClient -"));
    EXPECT_EQ(everything(o.folder), "1001,1002|7001,7002|2001,2002,2003|5001,5002,5003|10");
}

// --- Lists and names ------------------------------------------------------------

TEST(ClientLists, OrderIgnoresCaseAndPrefixSearchTakesQuotes) {
    Opened o;
    o.folder.exec("INSERT INTO tb_Client (CustNum, Lname, Fname) VALUES "
                  "(1001, 'Smith', 'Ann'), (1002, 'adams', 'zed'), (1003, 'ADAMS', 'Bob'), (1004, 'O''Brien', 'Pat'),"
                  " (1005, 'Obrist', 'Al'), (1006, NULL, 'Nobody')");
    EXPECT_EQ(numbers(o.c.GetAllClients(), "CustNum"), std::vector<int>({1006, 1003, 1002, 1004, 1005, 1001}));
    EXPECT_EQ(numbers(o.c.GetClientRS("o'b"), "CustNum"), std::vector<int>({1004}));
    // '_' stays a wildcard.
    EXPECT_EQ(numbers(o.c.GetClientRS("O_b"), "CustNum"), std::vector<int>({1004}));
    EXPECT_EQ(numbers(o.c.GetClientRS("ob_i"), "CustNum"), std::vector<int>({1005}));
    auto all = o.c.GetClientRS("");
    ASSERT_TRUE(all);
    EXPECT_EQ(all->RecordCount(), 5);   // a Null name matches no pattern
}

TEST(ClientLists, ClientNameJoinsThreeNamesAndReportsAMissingClient) {
    Opened o;
    o.folder.exec("INSERT INTO tb_Client (CustNum, Lname, Fname, Mname) VALUES (1001, 'Lee', 'Ann', NULL)");
    EXPECT_EQ(o.c.ClientName(1001), "Ann  Lee");
    ScriptedMsgBox box;
    box.expect(vb::vbOK);
    EXPECT_EQ(o.c.ClientName(1002), "");
    EXPECT_TRUE(box.lastPrompt().startsWith("Client.ClientName -3021 "));
}

TEST(ClientLists, LastPaymentIsTheNewestHighestNumberFirst) {
    Opened o;
    o.folder.exec("INSERT INTO tb_Receive (TransNum, CustNum, [Date], Amount) VALUES "
                  "(7001, 1001, '2024-03-05 00:00:00', 1), (7003, 1001, '2024-03-05 00:00:00', 3),"
                  " (7002, 1001, '2024-03-01 00:00:00', 2), (7004, 1002, '2024-04-01 00:00:00', 4)");
    auto rs = o.c.rsLastPayment(1001);
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->RecordCount(), 3);
    EXPECT_EQ(vb::CCur(rs->Fields("Amount").Value()), cur("3"));
    EXPECT_EQ(vb::CDate(rs->Fields("date").Value()), vb::Date::fromYmd(2024, 3, 5));
}

// --- ClientBal --------------------------------------------------------------------

namespace {
struct BalFixture {
    PinnedClock clock{QDateTime(QDate(2024, 6, 10), QTime(14, 0))};
    Opened o;
    BalFixture() {
        o.folder.exec(
            "INSERT INTO tb_Client (CustNum, Lname) VALUES (1001, 'Lee');"
            "INSERT INTO tb_Invoice (InvoiceNum, CustNum, [Date], discount, tax, shippingcharge, interest) VALUES "
            " (2001, 1001, '1981-01-01 00:00:00', 0, 0, 1000, 0),"   // never counts
            " (2002, 1001, '2024-06-01 00:00:00', 10, 1, 2, 0),"     // 100 - 10 + 3 = 93
            " (2003, 1001, '2024-06-05 16:45:00', 0, 0, 0, 0.5),"    // late on the AsOf day: 50.5
            " (2004, 1001, '2024-06-11 00:00:00', 0, 0, 7, 0),"      // tomorrow
            " (2005, 1001, '2024-06-12 00:00:00', 0, 0, 100, 0);"
            "INSERT INTO tb_trans (TransNum, InvoiceNum, Amount) VALUES (5001, 2002, 60), (5002, 2002, 40), (5003, 2003, 50);"
            "INSERT INTO tb_Receive (TransNum, CustNum, [Date], Amount) VALUES "
            " (7001, 1001, '1970-01-01 00:00:00', 0.25), (7002, 1001, '2024-06-05 14:00:00', 20),"
            " (7003, 1001, '2024-06-06 00:00:00', 30), (7004, 1002, '2024-06-01 00:00:00', 99);");
        Globals::SharedInvoice = std::make_shared<Invoice>();
        Globals::SharedInvoice->InitAccess(o.folder.path() + "\\Vantrel.mdb");
    }
    ~BalFixture() { Globals::SharedInvoice.reset(); }
};
} // namespace

TEST(ClientBal, CountsBothSidesOnOrBeforeAsOfAndNeverBefore1981) {
    BalFixture f;
    vb::Date asOf = vb::Date::fromYmd(2024, 6, 5);
    EXPECT_EQ(f.o.c.ClientBal(1001, asOf), cur("123.25"));   // 93 + 50.5 - 0.25 - 20
    EXPECT_EQ(f.o.c.ClientBal(1001, vb::Date::fromYmd(2024, 5, 31)), cur("-0.25"));
    EXPECT_EQ(f.o.c.ClientBal(1003, vb::Date::fromYmd(2024, 5, 31)), vb::Currency());
    // From the client's invoices read once for a statement: the same balances.
    for (const vb::Date& d : {asOf, vb::Date::fromYmd(2024, 5, 31), vb::Date::fromYmd(2024, 6, 12)}) {
        Globals::SharedInvoice->OpenCn();
        const auto invoices = Globals::SharedInvoice->ClientInvoices(1001, d);
        ASSERT_TRUE(invoices);
        EXPECT_EQ(invoices->RecordCount(), 5);
        EXPECT_EQ(f.o.c.ClientBal(1001, d, *invoices), f.o.c.ClientBal(1001, d)) << d.toIsoString().toStdString();
    }
}

TEST(ClientBal, AZeroAsOfBecomesTodayAndNothingAfterTodayCounts) {
    BalFixture f;
    vb::Date asOf;
    EXPECT_EQ(f.o.c.ClientBal(1001, asOf), cur("93.25"));   // 93 + 50.5 - 50.25
    EXPECT_EQ(asOf, vb::Date::fromYmd(2024, 6, 10));
    EXPECT_EQ(f.o.c.ClientBal(1001, vb::Date::fromYmd(2024, 6, 12)), cur("93.25"));
}

TEST(ClientBal, ClosesTheSharedInvoiceConnectionEvenWhenItWasOpen) {
    BalFixture f;
    Globals::SharedInvoice->OpenCn();
    f.o.c.ClientBal(1001, vb::Date::fromYmd(2024, 6, 5));
    ScriptedMsgBox box;
    box.expect(vb::vbOK);
    EXPECT_EQ(Globals::SharedInvoice->InvoiceTotal(2002), vb::Currency());
    EXPECT_TRUE(box.lastPrompt().startsWith("Invoice.InvoiceTotal -3709 "));
}

// The scope closes the connection on every way out: after an error, and after
// the instance it was opened on is gone.
TEST(ConnectionScope, ClosesOnEveryWayOut) {
    ProgramFolder folder;
    auto c = std::make_unique<Client>();
    c->InitAccess(Globals::DataFilePath());
    EXPECT_THROW(
        {
            const ConnectionScope opened = c->OpenScope();
            ASSERT_TRUE(ado::Connection::IsFileOpen(folder.dataFile()));
            vb::Raise(vb::err::ObjectNotSet);
        },
        vb::RuntimeError);
    EXPECT_FALSE(ado::Connection::IsFileOpen(folder.dataFile()));
    {
        const ConnectionScope opened = c->OpenScope();
        c.reset();
    }
    EXPECT_FALSE(ado::Connection::IsFileOpen(folder.dataFile()));
}

TEST(ClientBal, WithoutASharedInvoiceReportsAndGivesZero) {
    BalFixture f;
    Globals::SharedInvoice.reset();
    ScriptedMsgBox box;
    box.expect(vb::vbOK);
    EXPECT_EQ(f.o.c.ClientBal(1001, vb::Date::fromYmd(2024, 6, 5)), vb::Currency());
    ASSERT_EQ(box.shown().size(), 1u);
    EXPECT_EQ(box.lastPrompt(), "Client.ClientBal -91 Object variable or With block variable not set.  "
                                "If error persists contact Vantrels author.");
}

// The balance totals each invoice from one list; every total must be what
// InvoiceTotal gives for that invoice alone, awkward ones included, and one
// that InvoiceTotal cannot make is reported by it, once, as before.
TEST(ClientBal, EachInvoiceCountsWhatInvoiceTotalGivesForIt) {
    PinnedClock clock{QDateTime(QDate(2024, 6, 10), QTime(14, 0))};
    Opened o;
    o.folder.exec(
        "INSERT INTO tb_Client (CustNum, Lname) VALUES (1001, 'Lee');"
        "INSERT INTO tb_Invoice (InvoiceNum, CustNum, [Date], discount, tax, shippingcharge, interest) VALUES "
        " (3001, 1001, '2024-01-02 00:00:00', 12.5, 0.07, 0.01, 0),"      // discount leaves a half to round
        " (3002, 1001, '2024-01-03 00:00:00', 0, 0, 4.95, 0),"            // no lines at all
        " (3003, 1001, '2024-01-04 00:00:00', 33.3333, 1.1, 0, 0.3),"
        " (3004, 1001, '2024-01-05 00:00:00', 0, 0, 'x', 0),"             // InvoiceTotal cannot make it
        " (3005, 1002, '2024-01-06 00:00:00', 0, 0, 0, 0);"               // no client row: never counts
        "INSERT INTO tb_trans (TransNum, InvoiceNum, Amount) VALUES (1, 3001, 0.05), (2, 3001, 19.99),"
        " (3, 3003, 0.1), (4, 3003, 0.2), (5, 3003, 1234567.89), (6, 3004, 8.125), (7, 3005, 1000);"
        "INSERT INTO tb_Receive (TransNum, CustNum, [Date], Amount) VALUES (1, 1001, '2024-02-01 00:00:00', 0.015);");
    Globals::SharedInvoice = std::make_shared<Invoice>();
    Globals::SharedInvoice->InitAccess(o.folder.path() + "\\Vantrel.mdb");
    ScriptedMsgBox box;
    box.expect(vb::vbOK);
    box.expect(vb::vbOK);
    Invoice one;
    one.InitAccess(o.folder.path() + "\\Vantrel.mdb");
    one.OpenCn();
    vb::Currency expected;
    for (int num : {3001, 3002, 3003, 3004}) expected += one.InvoiceTotal(num);
    one.CloseCn();
    ASSERT_EQ(box.shown().size(), 1u);
    const QString report = box.lastPrompt();
    EXPECT_TRUE(report.startsWith("Invoice.InvoiceTotal -13 "));

    EXPECT_EQ(o.c.ClientBal(1001, vb::Date()), vb::Currency::fromDouble(expected.toDouble() - 0.015));
    ASSERT_EQ(box.shown().size(), 2u);
    EXPECT_EQ(box.lastPrompt(), report);
    Globals::SharedInvoice.reset();
}
