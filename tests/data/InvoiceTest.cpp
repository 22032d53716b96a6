// Invoice: headers, lines, payments received, back orders, stock given back
// on delete, number allocation and the invoice total.
#include <functional>
#include <ostream>
#include <utility>
#include <vector>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <QDir>
#include <QFile>
#include <QLocale>
#include "data/Client.h"
#include "data/Inventory.h"
#include "data/Invoice.h"
#include "data/Vendor.h"
#include "support/TestEnv.h"
#include "vb/Conv.h"
#include "vb/MsgBox.h"

using testsupport::PinnedClock;
using testsupport::ProgramFolder;
using testsupport::ScriptedMsgBox;

namespace {

struct Opened : testsupport::OpenedOn<Invoice> {
    Invoice& inv = da;
};

// Locale-free, so it reads the same under every test locale.
vb::Currency cur(const char* s) { return vb::Currency::fromDouble(QLocale::c().toDouble(QString::fromLatin1(s))); }

const QString kClients = QStringLiteral(
    "INSERT INTO tb_Client (CustNum, Lname, Fname) VALUES (1001, 'Adams', 'Al'), (1002, 'Baker', NULL);");

// A header the test names, dated at noon on the given day.
void addInvoice(const ProgramFolder& f, int num, int cust, const QString& date, const QString& discount = "0",
                const QString& ship = "0", const QString& interest = "0", const QString& tax = "0") {
    f.exec(QStringLiteral("INSERT INTO tb_Invoice (InvoiceNum, CustNum, [Date], Description, discount, tax, "
                          "shippingcharge, shippingdate, interest) VALUES (%1, %2, '%3', 'd', %4, %5, %6, '%3', %7)")
               .arg(num).arg(cust).arg(date, discount, tax, ship, interest));
}

void addLine(const ProgramFolder& f, int trans, int invoice, int item, int qty, const QString& amount,
             int backorder = 0, const QString& ordered = QStringLiteral("NULL")) {
    f.exec(QStringLiteral("INSERT INTO tb_trans VALUES (%1, %2, %3, %4, %5, 'line', %6, %7)")
               .arg(trans).arg(invoice).arg(item).arg(qty).arg(amount).arg(backorder).arg(ordered));
}

std::vector<int> column(const ado::RecordsetPtr& rs, const char* field) {
    std::vector<int> out;
    if (!rs) return out;
    rs->MoveFirst();
    for (; !rs->Eof(); rs->MoveNext()) out.push_back(vb::CLng(rs->Fields(field).Value()));
    return out;
}

TEST(InvoiceLines, ComeBackInTheOrderTheyWereEntered) {
    // Key order is what the editor and the back-order lists show; the line
    // index also carries the amount, so no list may take the index's order.
    Opened o;
    o.folder.exec(kClients);
    addInvoice(o.folder, 5001, 1001, QStringLiteral("2024-03-01 12:00:00"));
    o.folder.exec(
        "INSERT INTO tb_trans VALUES (1001,5001,1,1,9,'first',-1,NULL),(1002,5001,1,1,1,'second',-2,NULL),"
        "(1003,5001,1,1,5,'third',-3,NULL),(1004,5002,1,1,0,'other',0,NULL);");
    auto lines = o.inv.GetInvoiceItems(5001);
    ASSERT_TRUE(lines);
    QStringList notes;
    for (; !lines->Eof(); lines->MoveNext()) notes << lines->Fields("Notes").Value().str();
    EXPECT_EQ(notes, (QStringList{"first", "second", "third"}));
    EXPECT_EQ(column(o.inv.GetBackOrderItems(), "TransNum"), (std::vector<int>{1001, 1002, 1003}));
}

} // namespace

// --- Key allocation (clients too: the rule is one) ----------------------------

template <class T>
struct OpenedOn {
    T obj;
    explicit OpenedOn(const ProgramFolder& f) {
        obj.InitAccess(f.path() + QStringLiteral("\\Vantrel.mdb"));
        obj.OpenCn();
    }
    ~OpenedOn() { obj.CloseCn(); }
};

struct KeyCase {
    const char* name;
    const char* table;
    const char* key;
    // Gives out one number; a save removes the row it wrote again.
    std::function<int32_t(const ProgramFolder&)> allocate;
    const char* label;   // the report when the maximum is reached
};
// Test lists name the case, not its bytes.
void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

class KeyAllocation : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyAllocation, StartsAt1001FollowsTheMaximumReusesADeletedTopAndStopsAtTheLongLimit) {
    const KeyCase& k = GetParam();
    ProgramFolder f;
    EXPECT_EQ(k.allocate(f), 1001);

    for (int n = 1001; n <= 1005; ++n)
        f.exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(k.table, k.key).arg(n));
    EXPECT_EQ(k.allocate(f), 1006);
    f.exec(QStringLiteral("DELETE FROM %1 WHERE %2 = 1005").arg(k.table, k.key));
    EXPECT_EQ(k.allocate(f), 1005);

    f.exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (2147483647)").arg(k.table, k.key));
    const QString before = f.scalar(QStringLiteral("SELECT group_concat(%2) FROM %1").arg(k.table, k.key));
    ScriptedMsgBox box;
    box.expect(vb::vbOK);
    EXPECT_EQ(k.allocate(f), 0);
    ASSERT_EQ(box.shown().size(), 1u);
    EXPECT_EQ(box.lastPrompt(), QString::fromLatin1(k.label) + "6 Overflow.  If error persists contact Vantrels author.");
    EXPECT_EQ(f.scalar(QStringLiteral("SELECT group_concat(%2) FROM %1").arg(k.table, k.key)), before);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, KeyAllocation,
    ::testing::Values(
        KeyCase{"Invoice", "tb_Invoice", "InvoiceNum",
                [](const ProgramFolder& f) {
                    OpenedOn<Invoice> o(f);
                    o.obj.setInvoiceNum(0);
                    o.obj.GetnewInvoiceNum();
                    return o.obj.InvoiceNum();
                },
                "Invoice.GetNewInvoiceNum -"},
        KeyCase{"LineNumber", "tb_trans", "TransNum",
                [](const ProgramFolder& f) { return OpenedOn<Invoice>(f).obj.NewTransNum(); },
                "Invoice.NewTransNum -"},
        KeyCase{"LineSave", "tb_trans", "TransNum",
                [](const ProgramFolder& f) {
                    OpenedOn<Invoice> o(f);
                    o.obj.setInvoiceNum(1);
                    o.obj.TransNum = 0;
                    if (!o.obj.SaveTransAccess()) return o.obj.TransNum;
                    f.exec(QStringLiteral("DELETE FROM tb_trans WHERE TransNum = %1").arg(o.obj.TransNum));
                    return o.obj.TransNum;
                },
                "Invoice.NewTransNum -"},
        KeyCase{"PaymentNumber", "tb_Receive", "TransNum",
                [](const ProgramFolder& f) { return OpenedOn<Invoice>(f).obj.NewPayNum(); },
                "Invoice.NewPayNum -"},
        KeyCase{"PaymentSave", "tb_Receive", "TransNum",
                [](const ProgramFolder& f) {
                    OpenedOn<Invoice> o(f);
                    o.obj.setCustNum(1001);
                    o.obj.PayNum = 0;
                    if (!o.obj.SavePayment()) return o.obj.PayNum;
                    f.exec(QStringLiteral("DELETE FROM tb_Receive WHERE TransNum = %1").arg(o.obj.PayNum));
                    return o.obj.PayNum;
                },
                "Invoice.NewPayNum -"},
        KeyCase{"Client", "tb_Client", "CustNum",
                [](const ProgramFolder& f) {
                    OpenedOn<Client> o(f);
                    o.obj.CustNum = 0;
                    o.obj.GetClient(0);
                    return o.obj.CustNum;
                },
                "Client.GetNewCustNum -"}),
    [](const auto& info) { return std::string(info.param.name); });

// A save that stops, whether at its key or at its insert, lets go of the file
// before its report shows: the box waits for the user, and another program
// must not be locked out meanwhile. A failed allocation reports under the
// allocating member's label, once.
struct StoppedSave {
    const char* name;
    const char* setup;                                   // rows that make it stop
    std::function<bool(const ProgramFolder&)> save;
    const char* label;
};
void PrintTo(const StoppedSave& c, std::ostream* os) { *os << c.name; }

class StoppedSaves : public ::testing::TestWithParam<StoppedSave> {};

TEST_P(StoppedSaves, ReportAfterTheFileIsFreeUnderTheRightLabel) {
    const StoppedSave& c = GetParam();
    ProgramFolder f;
    f.exec(QString::fromLatin1(c.setup));
    ScriptedMsgBox restore;   // puts the failing handler back afterwards
    std::vector<QString> prompts;
    std::vector<bool> fileFree;
    vb::setMsgBoxHandler([&](const QString& prompt, int, const QString&) {
        prompts.push_back(prompt);
        sqlite3* db = nullptr;
        sqlite3_open_v2(f.dataFile().toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        fileFree.push_back(sqlite3_exec(db, "BEGIN IMMEDIATE; ROLLBACK;", nullptr, nullptr, nullptr) == SQLITE_OK);
        sqlite3_close(db);
        return int(vb::vbOK);
    });
    EXPECT_FALSE(c.save(f));
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_TRUE(prompts[0].startsWith(QString::fromLatin1(c.label))) << prompts[0].toStdString();
    EXPECT_TRUE(fileFree[0]);
}

INSTANTIATE_TEST_SUITE_P(
    Saves, StoppedSaves,
    ::testing::Values(
        StoppedSave{"LineKey", "INSERT INTO tb_trans (TransNum) VALUES (2147483647)",
                    [](const ProgramFolder& f) {
                        OpenedOn<Invoice> o(f);
                        o.obj.setInvoiceNum(1);
                        return o.obj.SaveTransAccess();
                    },
                    "Invoice.NewTransNum -6 Overflow."},
        StoppedSave{"PaymentKey", "INSERT INTO tb_Receive (TransNum) VALUES (2147483647)",
                    [](const ProgramFolder& f) {
                        OpenedOn<Invoice> o(f);
                        o.obj.setCustNum(1001);
                        return o.obj.SavePayment();
                    },
                    "Invoice.NewPayNum -6 Overflow."},
        StoppedSave{"RegisterKey", "INSERT INTO tb_GL (TransNum) VALUES (2147483647)",
                    [](const ProgramFolder& f) {
                        OpenedOn<Vendor> o(f);
                        return o.obj.SaveLedgerEntry();
                    },
                    "Vendor.NewPayNum -6 Overflow."},
        StoppedSave{"ItemKey", "INSERT INTO tb_Inventory (ItemNum) VALUES (2147483647)",
                    [](const ProgramFolder& f) {
                        OpenedOn<Inventory> o(f);
                        int32_t n = 0;
                        return o.obj.SaveItemAccess(n);
                    },
                    "Inventory.NewItemNum -6 Overflow."},
        StoppedSave{"CategoryKey", "INSERT INTO tb_InvCategories (CatNum) VALUES (2147483647)",
                    [](const ProgramFolder& f) {
                        OpenedOn<Inventory> o(f);
                        return o.obj.SaveCategory(0, QStringLiteral("c"));
                    },
                    "Inventory.NewCategoryNum -6 Overflow."},
        StoppedSave{"ClientInsert",
                    "CREATE TRIGGER f BEFORE INSERT ON tb_Client BEGIN SELECT RAISE(ABORT, 'forced'); END",
                    [](const ProgramFolder& f) {
                        OpenedOn<Client> o(f);
                        o.obj.CustNum = 0;
                        return o.obj.SaveClientAccess(0);
                    },
                    "Client.SaveClientAccess -"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Two copies of the program on one data file -------------------------------

// Each copy holds its own connection. Every new record is started in both
// copies (both show the same next number) before either saves.
TEST(TwoCopies, NewRecordsStartedTogetherEachKeepTheirOwnNumberAndLines) {
    ProgramFolder f;
    OpenedOn<Client> adams(f), baker(f);
    OpenedOn<Invoice> invA(f), invB(f);
    OpenedOn<Vendor> acme(f), bolt(f);
    for (auto* c : {&adams, &baker}) ASSERT_FALSE(c->obj.GetClient(0));
    for (auto* i : {&invA, &invB}) ASSERT_FALSE(i->obj.GetInvoice(0));
    for (auto* v : {&acme, &bolt}) ASSERT_FALSE(v->obj.GetVendor(QStringLiteral("0")));
    for (int shown : {adams.obj.CustNum, baker.obj.CustNum, invA.obj.InvoiceNum(), invB.obj.InvoiceNum(),
                      acme.obj.VendorNum, bolt.obj.VendorNum})
        EXPECT_EQ(shown, 1001);

    adams.obj.lname = QStringLiteral("Adams");
    baker.obj.lname = QStringLiteral("Baker");
    for (auto* c : {&adams, &baker}) ASSERT_TRUE(c->obj.SaveClientAccess(0));
    // Each header first, then a line each, as New Item saves them.
    invA.obj.setCustNum(adams.obj.CustNum);
    invB.obj.setCustNum(baker.obj.CustNum);
    invA.obj.description = QStringLiteral("for Adams");
    invB.obj.description = QStringLiteral("for Baker");
    for (auto* i : {&invA, &invB}) ASSERT_TRUE(i->obj.SaveInvoiceAccess(0));
    for (auto* i : {&invA, &invB}) {
        i->obj.TransNum = 0;
        i->obj.TransNotes = i->obj.description + QStringLiteral(" line");
        ASSERT_TRUE(i->obj.SaveTransAccess());
    }
    acme.obj.Company = QStringLiteral("Acme");
    bolt.obj.Company = QStringLiteral("Bolt");
    for (auto* v : {&acme, &bolt}) ASSERT_TRUE(v->obj.SaveVendorAccess(0));
    EXPECT_EQ(baker.obj.CustNum, 1002);
    EXPECT_EQ(invB.obj.InvoiceNum(), 1002);
    EXPECT_EQ(bolt.obj.VendorNum, 1002);

    // A later save replaces exactly its own record.
    adams.obj.City = QStringLiteral("Albany");
    ASSERT_TRUE(adams.obj.SaveClientAccess(adams.obj.CustNum));
    invB.obj.description = QStringLiteral("Baker again");
    ASSERT_TRUE(invB.obj.SaveInvoiceAccess(invB.obj.InvoiceNum()));
    bolt.obj.City = QStringLiteral("Boston");
    ASSERT_TRUE(bolt.obj.SaveVendorAccess(bolt.obj.VendorNum));

    EXPECT_EQ(f.query("SELECT CustNum, Lname, City FROM tb_Client ORDER BY CustNum"),
              (std::vector<QStringList>{{"1001", "Adams", "Albany"}, {"1002", "Baker", ""}}));
    EXPECT_EQ(f.query("SELECT i.InvoiceNum, c.Lname, i.Description, t.TransNum, t.Notes FROM tb_Invoice i "
                      "JOIN tb_Client c ON c.CustNum = i.CustNum JOIN tb_trans t ON t.InvoiceNum = i.InvoiceNum "
                      "ORDER BY i.InvoiceNum"),
              (std::vector<QStringList>{{"1001", "Adams", "for Adams", "1001", "for Adams line"},
                                        {"1002", "Baker", "Baker again", "1002", "for Baker line"}}));
    EXPECT_EQ(f.scalar("SELECT count(*) FROM tb_trans"), "2");
    EXPECT_EQ(f.query("SELECT VendorNum, Company, City FROM tb_Vendor ORDER BY VendorNum"),
              (std::vector<QStringList>{{"1001", "Acme", ""}, {"1002", "Bolt", "Boston"}}));
}

// The other copy holds the file's write lock: the save waits, asks, and on Cancel stops unsaved with no
// other report; the other copy's record stays, and a save once the file is free takes the next number.
TEST(TwoCopies, ASaveLockedOutByTheOtherCopyWaitsAsksAndLosesNothing) {
    ProgramFolder f;
    f.exec("INSERT INTO tb_Client (CustNum, Lname) VALUES (1001, 'Adams')");
    OpenedOn<Client> mine(f);
    Client& c = mine.obj;
    ASSERT_FALSE(c.GetClient(0));
    ASSERT_EQ(c.CustNum, 1002);

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open_v2(f.dataFile().toUtf8().constData(), &other, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE; INSERT INTO tb_Client (CustNum, Lname) VALUES (1002, 'Baker');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    ScriptedMsgBox box;
    box.expect(vb::vbCancel, "The data file is busy in another copy of Vantrel. Try again?");
    c.lname = QStringLiteral("Clark");
    EXPECT_FALSE(c.SaveClientAccess(0));
    EXPECT_EQ(box.shown().size(), 1u);
    EXPECT_EQ(sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);

    ASSERT_TRUE(c.SaveClientAccess(0));
    EXPECT_EQ(c.CustNum, 1003);
    EXPECT_EQ(f.query("SELECT CustNum, Lname FROM tb_Client ORDER BY CustNum"),
              (std::vector<QStringList>{{"1001", "Adams"}, {"1002", "Baker"}, {"1003", "Clark"}}));
    ASSERT_TRUE(QFile::rename(f.dataFile(), f.dataFile() + ".moved"));   // moved away while the program runs
    box.expect(vb::vbOK, "Vantrel.mdb was not found in " + QDir::cleanPath(f.path()) + ".");
    EXPECT_FALSE(c.SaveClientAccess(1003));
}

// A save under a stored key whose row is gone is refused with the table's message.
TEST(TwoCopies, ASaveOfARecordTheOtherCopyDeletedIsRefusedAndWritesNothing) {
    ProgramFolder f;
    OpenedOn<Client> c(f);
    OpenedOn<Invoice> i(f);
    OpenedOn<Vendor> v(f);
    OpenedOn<Inventory> item(f);
    c.obj.CustNum = v.obj.TransNum = 1001;
    const std::vector<std::pair<std::function<bool()>, const char*>> saves = {
        {[&] { return c.obj.SaveClientAccess(1001); }, "This client has been deleted; it was not saved."},
        {[&] { return i.obj.SaveInvoiceAccess(1001); }, "Invoice 1001 has been deleted; it was not saved."},
        {[&] { return v.obj.SaveLedgerEntry(); }, "This entry has been deleted; it was not saved."},
        {[&] { return item.obj.SaveItemAccess(1001); }, "This item has been deleted; it was not saved."},
    };
    ScriptedMsgBox box;
    for (const auto& [save, told] : saves) {
        box.expect(vb::vbOK, QString::fromUtf8(told));
        EXPECT_FALSE(save()) << told;
    }
    EXPECT_EQ(f.scalar("SELECT (SELECT count(*) FROM tb_Client) + (SELECT count(*) FROM tb_Invoice) + "
                       "(SELECT count(*) FROM tb_GL) + (SELECT count(*) FROM tb_Inventory)"), "0");
}

TEST(TwoCopies, AHeaderSaveKeepsWhatTheOtherCopyChangedInFieldsLeftAlone) {
    ProgramFolder f;
    f.exec("INSERT INTO tb_Invoice (InvoiceNum, CustNum, [Date], Description, discount, tax, shippingcharge, "
           "shippingdate, interest) VALUES (2001, 1001, '2026-12-01 00:00:00', 'old', 0, 1, 0, '2026-12-01 00:00:00', 0)");
    OpenedOn<Invoice> editor(f);
    ASSERT_TRUE(editor.obj.GetInvoice(2001));
    const Invoice::HeaderValues header = editor.obj.Header();
    f.exec("UPDATE tb_Invoice SET interest = 2.5, TrackingNum = 'Z9'");
    editor.obj.description = QStringLiteral("new");
    ASSERT_TRUE(editor.obj.SaveInvoiceAccess(2001, &header));
    EXPECT_EQ(f.query("SELECT Description, tax, interest, TrackingNum FROM tb_Invoice"),
              (std::vector<QStringList>{{"new", "1", "2.5", "Z9"}}));
}

// --- InvoiceTotal -----------------------------------------------------------

struct TotalCase {
    const char* name;
    std::vector<const char*> lines;   // line amounts
    bool header;
    const char* discount;
    const char* ship;
    const char* interest;
    const char* tax;
    const char* expected;
};
void PrintTo(const TotalCase& c, std::ostream* os) { *os << c.name; }

class InvoiceTotalCases : public ::testing::TestWithParam<TotalCase> {};

TEST_P(InvoiceTotalCases, RoundsOnceAtTheEndHalvesToEven) {
    const TotalCase& c = GetParam();
    Opened o;
    if (c.header) addInvoice(o.folder, 2001, 1001, "2024-03-01 00:00:00", c.discount, c.ship, c.interest, c.tax);
    int t = 5001;
    for (const char* a : c.lines) addLine(o.folder, t++, 2001, 1, 1, a);
    EXPECT_EQ(o.inv.InvoiceTotal(2001), cur(c.expected)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Totals, InvoiceTotalCases,
    ::testing::Values(
        TotalCase{"TieDownToEven", {"0.0001"}, true, "50", "0", "0", "0", "0"},
        TotalCase{"TieToEvenNotUp", {"0.0625"}, true, "50", "0", "0", "0", "0.0312"},
        TotalCase{"NoDriftOverLines", {"0.1", "0.1", "0.1"}, true, "0", "0", "0", "0", "0.3"},
        TotalCase{"FullDiscountLeavesExtras", {"99.99", "0.01"}, true, "100", "4.95", "1.5", "7.25", "13.7"},
        TotalCase{"NoLinesGivesExtras", {}, true, "10", "4.95", "0.05", "1", "6"},
        TotalCase{"NoHeaderGivesTheLines", {"10.5", "2.25"}, false, "0", "0", "0", "0", "12.75"},
        TotalCase{"LeftToRight", {"100"}, true, "12.5", "4.95", "0", "7.2188", "99.6688"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InvoiceTotal, ANullHeaderAmountCountsAsNothingAndABadOneReportsAndGivesTheLineSum) {
    Opened o;
    addInvoice(o.folder, 2001, 1001, "2024-03-01 00:00:00", "0", "NULL", "0", "1");
    addLine(o.folder, 5001, 2001, 1, 1, "12.5");
    ScriptedMsgBox box;
    EXPECT_EQ(o.inv.InvoiceTotal(2001), cur("13.5"));
    o.folder.exec("UPDATE tb_Invoice SET tax = 'x'");
    box.expect(vb::vbOK);
    EXPECT_EQ(o.inv.InvoiceTotal(2001), cur("12.5"));
    EXPECT_TRUE(box.lastPrompt().startsWith("Invoice.InvoiceTotal -13 "));
}

// --- Headers ------------------------------------------------------------------

const QString kAwkward[] = {
    QStringLiteral("O'Brien's"), QStringLiteral("say \"hi\""), QStringLiteral("#1# & #2#"),
    QStringLiteral("a;b [c]"), QStringLiteral("line1\nline2"), QStringLiteral("Zoë Ünal – 日本"),
    QStringLiteral("True"), QStringLiteral("isnull(x) & val('1')"), QString()};

TEST(InvoiceHeader, SavesAndLoadsEveryFieldWithAwkwardTextsAndTimes) {
    Opened o;
    o.folder.exec("INSERT INTO tb_Invoice (InvoiceNum, CustNum) VALUES (2001, 1001)");
    for (const QString& t : kAwkward) {
        Invoice& i = o.inv;
        i.setInvoiceNum(2001);
        i.setCustNum(1001);
        i.InvoiceDate = vb::Date::fromYmd(2024, 2, 29, 13, 45, 10);
        i.description = t;
        i.Discount = 12.5;
        i.Tax = cur("7.2188");
        i.ShippingCharge = cur("4.95");
        i.Shippingdate = vb::Date::fromYmd(2024, 3, 1);
        i.ShippingType = t + "s";
        i.TrackingNum = t + "t";
        i.Interest = cur("-0.0001");
        i.SalesRep = t + "r";
        i.Terms = t + "n";
        ASSERT_TRUE(i.SaveInvoiceAccess(2001)) << t.toStdString();

        Invoice back;
        back.InitAccess(o.folder.path() + "\\vantrel.MDB");
        back.OpenCn();
        ASSERT_TRUE(back.GetInvoice(2001));
        EXPECT_EQ(back.InvoiceNum(), 2001);
        EXPECT_EQ(back.CustNum(), 1001);
        EXPECT_EQ(back.InvoiceDate, i.InvoiceDate);
        EXPECT_EQ(back.description, t);
        EXPECT_EQ(back.Discount, 12.5);
        EXPECT_EQ(back.Tax, i.Tax);
        EXPECT_EQ(back.ShippingCharge, i.ShippingCharge);
        EXPECT_EQ(back.Shippingdate, i.Shippingdate);
        EXPECT_EQ(back.ShippingType, t + "s");
        EXPECT_EQ(back.TrackingNum, t + "t");
        EXPECT_EQ(back.Interest, i.Interest);
        EXPECT_EQ(back.SalesRep, t + "r");
        EXPECT_EQ(back.Terms, t + "n");
        back.CloseCn();
    }
    EXPECT_EQ(o.scalar("SELECT count(*) FROM tb_Invoice"), "1");
    EXPECT_EQ(o.scalar("SELECT [Date] || '|' || shippingdate FROM tb_Invoice"), "2024-02-29 13:45:10|2024-03-01 00:00:00");
}

TEST(InvoiceHeader, SaveMovesTheRowFromTheArgumentToTheProperty) {
    Opened o;
    addInvoice(o.folder, 2001, 1001, "2024-03-01 00:00:00");
    o.inv.setInvoiceNum(2002);
    o.inv.setCustNum(1001);
    ASSERT_TRUE(o.inv.SaveInvoiceAccess(2001));
    EXPECT_EQ(o.scalar("SELECT group_concat(InvoiceNum) FROM tb_Invoice"), "2002");
}

TEST(InvoiceHeader, ANewNumberBlanksTheHeaderKeepsDiscountAndLeavesLineAndPayment) {
    PinnedClock clock(QDateTime(QDate(2024, 5, 17), QTime(15, 30)));
    Opened o;
    addInvoice(o.folder, 2001, 1001, "2024-03-01 10:00:00", "5", "4.95", "1", "2");
    o.folder.exec("UPDATE tb_Invoice SET SalesRep = 'Kim', Terms = 'Net 30', shippingtype = 'UPS', trackingnum = 'Z'");
    Invoice& i = o.inv;
    ASSERT_TRUE(i.GetInvoice(2001));
    EXPECT_EQ(i.Discount, 5);
    i.Discount = 7.5;
    i.TransNum = 42;
    i.TransNotes = "line";
    i.PayNum = 43;
    i.setPayment(cur("9.99"));

    EXPECT_FALSE(i.GetInvoice(0));
    EXPECT_EQ(i.InvoiceNum(), 2002);
    EXPECT_EQ(i.CustNum(), 0);
    EXPECT_EQ(i.InvoiceDate, vb::Date::fromYmd(2024, 5, 17));
    EXPECT_EQ(i.Shippingdate, vb::Date::fromYmd(2024, 5, 17));
    EXPECT_EQ(i.description, "");
    EXPECT_EQ(i.ShippingType, "");
    EXPECT_EQ(i.TrackingNum, "");
    EXPECT_EQ(i.SalesRep, "");
    EXPECT_EQ(i.Terms, "");
    EXPECT_EQ(i.ShippingCharge, vb::Currency());
    EXPECT_EQ(i.Tax, vb::Currency());
    EXPECT_EQ(i.Interest, vb::Currency());
    EXPECT_EQ(i.Discount, 7.5);
    EXPECT_EQ(i.TransNum, 42);
    EXPECT_EQ(i.TransNotes, "line");
    EXPECT_EQ(i.PayNum, 43);
    EXPECT_EQ(i.Payment(), cur("9.99"));
}

TEST(InvoiceHeader, CreationDatesAreTodayWithoutATextRoundTrip) {
    PinnedClock clock(QDateTime(QDate(2031, 12, 31), QTime(23, 59, 59)));
    Invoice i;
    EXPECT_EQ(i.InvoiceDate, vb::Date::fromYmd(2031, 12, 31));
    EXPECT_EQ(i.PayDate, vb::Date::fromYmd(2031, 12, 31));
    EXPECT_EQ(i.Shippingdate, vb::Date::fromYmd(2031, 12, 31));
    EXPECT_EQ(i.charge(), vb::Currency());
    EXPECT_EQ(i.Qty(), 0);
}

// After a complete invoice, one with Nulls reads them as empty, and one
// with a value that cannot be read fails: nothing of the first is left.
TEST(InvoiceHeader, ANullReadsAsEmptyAndAFailedReadLeavesNothingOfTheLastInvoice) {
    for (const char* set : {"tax = NULL, interest = NULL, [Date] = NULL, shippingdate = NULL", "tax = 'x'"}) {
        const bool reads = QString(set).contains("NULL");
        Opened o;
        addInvoice(o.folder, 6001, 1001, "2024-03-01 00:00:00", "5", "9", "7", "100");
        addInvoice(o.folder, 6002, 1002, "2024-03-02 00:00:00");
        o.folder.exec(QStringLiteral("UPDATE tb_Invoice SET SalesRep = 'Rep A' WHERE InvoiceNum = 6001;"
                                     "UPDATE tb_Invoice SET %1 WHERE InvoiceNum = 6002").arg(set));
        ASSERT_TRUE(o.inv.GetInvoice(6001));
        ScriptedMsgBox box;
        if (!reads) box.expect(vb::vbOK);
        EXPECT_EQ(o.inv.GetInvoice(6002) && !o.inv.ReadFailed(), reads) << set;
        EXPECT_EQ(o.inv.InvoiceNum(), reads ? 6002 : 0);
        EXPECT_EQ(o.inv.SalesRep, "");
        EXPECT_EQ(o.inv.Tax + o.inv.Interest + o.inv.ShippingCharge + vb::Currency::fromDouble(o.inv.Discount), vb::Currency());
    }
}

// --- Save atomicity -------------------------------------------------------------

struct FailCase {
    const char* name;
    const char* seed;          // the stored row
    const char* trigger;       // forces the insert to fail
    std::function<bool(Invoice&)> save;
    const char* label;
    const char* check;         // the stored row, read back
    const char* expected;
};
void PrintTo(const FailCase& c, std::ostream* os) { *os << c.name; }

class FailedSaveKeepsTheRow : public ::testing::TestWithParam<FailCase> {};

TEST_P(FailedSaveKeepsTheRow, RollsBackAndReports) {
    const FailCase& c = GetParam();
    Opened o;
    o.folder.exec(c.seed);
    if (*c.trigger) o.folder.exec(c.trigger);
    ScriptedMsgBox box;
    box.expect(vb::vbOK);
    EXPECT_FALSE(c.save(o.inv));
    ASSERT_EQ(box.shown().size(), 1u);
    EXPECT_TRUE(box.lastPrompt().startsWith(QString::fromLatin1(c.label))) << box.lastPrompt().toStdString();
    EXPECT_EQ(o.scalar(c.check), c.expected);
    // No transaction was left open: another writer gets in at once.
    o.folder.exec("DROP TRIGGER IF EXISTS f");
}

INSTANTIATE_TEST_SUITE_P(
    Saves, FailedSaveKeepsTheRow,
    ::testing::Values(
        FailCase{"Header", "INSERT INTO tb_Invoice (InvoiceNum, CustNum, Description) VALUES (2001, 1001, 'old')",
                 "CREATE TRIGGER f BEFORE INSERT ON tb_Invoice BEGIN SELECT RAISE(ABORT, 'forced'); END",
                 [](Invoice& i) { i.setInvoiceNum(2001); i.setCustNum(1001); i.description = "new"; return i.SaveInvoiceAccess(2001); },
                 "Invoice.SaveInvoiceAccess -", "SELECT Description FROM tb_Invoice", "old"},
        FailCase{"Line", "INSERT INTO tb_trans (TransNum, InvoiceNum, Notes) VALUES (5001, 2001, 'old')",
                 "CREATE TRIGGER f BEFORE INSERT ON tb_trans BEGIN SELECT RAISE(ABORT, 'forced'); END",
                 [](Invoice& i) { i.TransNum = 5001; i.setInvoiceNum(2001); i.TransNotes = "new"; return i.SaveTransAccess(); },
                 "Invoice.SaveTransAccess -", "SELECT Notes FROM tb_trans", "old"},
        // An empty held client number leaves an empty slot in VALUES.
        FailCase{"PaymentWithoutClient", "INSERT INTO tb_Receive (TransNum, CustNum, Notes) VALUES (7001, 1001, 'old')", "",
                 [](Invoice& i) { i.PayNum = 7001; i.PayNotes = "new"; return i.SavePayment(); },
                 "Invoice.SavePayment --2147217900 ", "SELECT Notes || CustNum FROM tb_Receive", "old1001"},
        FailCase{"Payment", "INSERT INTO tb_Receive (TransNum, CustNum, Notes) VALUES (7001, 1001, 'old')",
                 "CREATE TRIGGER f BEFORE INSERT ON tb_Receive BEGIN SELECT RAISE(ABORT, 'forced'); END",
                 [](Invoice& i) { i.PayNum = 7001; i.setCustNum(1001); i.PayNotes = "new"; return i.SavePayment(); },
                 "Invoice.SavePayment -", "SELECT Notes FROM tb_Receive", "old"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InvoiceSave, AnAllocatedNumberStaysAfterAFailedInsert) {
    Opened o;
    o.folder.exec("CREATE TRIGGER f BEFORE INSERT ON tb_trans BEGIN SELECT RAISE(ABORT, 'forced'); END");
    ScriptedMsgBox box;
    box.expect(vb::vbOK);
    o.inv.TransNum = 0;
    o.inv.setInvoiceNum(2001);
    EXPECT_FALSE(o.inv.SaveTransAccess());
    EXPECT_EQ(o.inv.TransNum, 1001);
    EXPECT_EQ(o.scalar("SELECT count(*) FROM tb_trans"), "0");
}

TEST(InvoiceSave, ANeverOpenedInstanceReportsAndWritesNothing) {
    ProgramFolder f;
    Invoice i;
    i.InitAccess(f.path() + "\\Vantrel.mdb");
    ScriptedMsgBox box;
    box.expect(vb::vbOK);
    box.expect(vb::vbOK);
    i.setInvoiceNum(2001);
    EXPECT_FALSE(i.SaveInvoiceAccess(2001));
    EXPECT_EQ(i.GetAllInvoices(vb::Date()), nullptr);
    ASSERT_EQ(box.shown().size(), 2u);
    EXPECT_TRUE(box.shown()[0].prompt.startsWith("Invoice.SaveInvoiceAccess -3709 "));
    EXPECT_TRUE(box.shown()[1].prompt.startsWith("Invoice.GetAllInvoices -3709 "));
}

// --- Lines and back orders ----------------------------------------------------

TEST(InvoiceLines, ANewLineGetsANumberAndItsValuesGoInAsHeld) {
    Opened o;
    Invoice& i = o.inv;
    i.setInvoiceNum(2001);
    i.TransNum = 0;
    i.ItemNum = 3001;
    i.setQty(3);
    i.setCharge(cur("1234.5678"));
    i.TransNotes = "Widget 'deluxe'";
    i.BackOrder = -2;
    ASSERT_TRUE(i.SaveTransAccess());
    EXPECT_EQ(i.TransNum, 1001);
    EXPECT_EQ(i.Qty(), 3);
    EXPECT_EQ(o.folder.query("SELECT TransNum, InvoiceNum, ItemNum, Qty, Amount, Notes, Backorder, Ordered FROM tb_trans")[0],
              QStringList({"1001", "2001", "3001", "3", "1234.5678", "Widget 'deluxe'", "-2", "NULL"}));
    auto items = i.GetInvoiceItems(2001);
    ASSERT_TRUE(items);
    EXPECT_EQ(items->RecordCount(), 1);
    EXPECT_EQ(vb::CCur(items->Fields("Amount").Value()), cur("1234.5678"));
}

TEST(InvoiceLines, AddToInvoiceWritesANewLineAndLeavesTheLineProperties) {
    Opened o;
    addLine(o.folder, 1001, 2001, 3001, 1, "5");
    o.inv.TransNum = 77;
    ASSERT_TRUE(o.inv.AddToInvoice(2001, 3002, 4, cur("19.96"), "Bolt & nut", true));
    EXPECT_EQ(o.inv.TransNum, 77);
    EXPECT_EQ(o.folder.query("SELECT TransNum, InvoiceNum, ItemNum, Qty, Amount, Notes, Backorder FROM tb_trans WHERE TransNum = 1002")[0],
              QStringList({"1002", "2001", "3002", "4", "19.96", "Bolt & nut", "-1"}));
}

TEST(BackOrders, MoveFromUnorderedToOrderedAndStayOrderedThroughAResave) {
    Opened o;
    o.folder.exec(kClients);
    addInvoice(o.folder, 2001, 1001, "2024-03-01 00:00:00");
    addInvoice(o.folder, 2002, 9999, "2024-03-01 00:00:00");   // no client row
    addLine(o.folder, 5001, 2001, 3001, 1, "5", 0);
    addLine(o.folder, 5002, 2001, 3001, 3, "15", -2);
    addLine(o.folder, 5003, 2002, 3001, 3, "15", -2);
    addLine(o.folder, 5004, 2001, 3001, 1, "5", 1);
    Invoice& i = o.inv;
    EXPECT_EQ(column(i.GetBackOrderItems(), "TransNum"), std::vector<int>({5002}));
    EXPECT_EQ(column(i.GetBackOrderedItems(), "TransNum"), std::vector<int>());

    const vb::Date when = vb::Date::fromYmd(2024, 3, 4, 9, 15, 30);
    ASSERT_TRUE(i.SaveOrderDate(5002, when));
    EXPECT_EQ(column(i.GetBackOrderItems(), "TransNum"), std::vector<int>());
    auto ordered = i.GetBackOrderedItems();
    EXPECT_EQ(column(ordered, "TransNum"), std::vector<int>({5002}));
    ordered->MoveFirst();
    EXPECT_EQ(vb::CDate(ordered->Fields("Ordered").Value()), when);
    EXPECT_EQ(vb::CLng(ordered->Fields("BackOrderQty").Value()), -2);
    EXPECT_EQ(ordered->Fields("Lname").Value().str(), "Adams");

    // The line editor saves the line again (delete and insert).
    i.TransNum = 5002;
    i.setInvoiceNum(2001);
    i.ItemNum = 3001;
    i.setQty(4);
    i.setCharge(cur("20"));
    i.BackOrder = -3;
    ASSERT_TRUE(i.SaveTransAccess());
    EXPECT_EQ(o.scalar("SELECT Ordered || '|' || Qty FROM tb_trans WHERE TransNum = 5002"), "2024-03-04 09:15:30|4");
    EXPECT_EQ(column(i.GetBackOrderedItems(), "TransNum"), std::vector<int>({5002}));
}

// --- DeleteInvoice ------------------------------------------------------------

TEST(DeleteInvoice, GivesTrackedStockBackPerLineSkipsMissingItemsAndRemovesTheLines) {
    Opened o;
    addInvoice(o.folder, 2001, 1001, "2024-03-01 00:00:00");
    addInvoice(o.folder, 2002, 1001, "2024-03-01 00:00:00");
    o.folder.exec("INSERT INTO tb_Inventory (ItemNum, CatNum, par, instock) VALUES "
                  "(3001, 1, 5, 10), (3002, 1, 0, 10), (3003, 1, NULL, 10), (3004, 1, -1, 10)");
    addLine(o.folder, 5001, 2001, 3001, 2, "1");
    addLine(o.folder, 5002, 2001, 3001, 3, "1");
    addLine(o.folder, 5003, 2001, 3002, 4, "1");
    addLine(o.folder, 5004, 2001, 3999, 5, "1");   // item since deleted
    addLine(o.folder, 5005, 2001, 3003, 6, "1");
    addLine(o.folder, 5006, 2001, 3004, 7, "1");
    addLine(o.folder, 5007, 2002, 3001, 1, "1");   // another invoice
    ASSERT_TRUE(o.inv.DeleteInvoice(2001));
    EXPECT_EQ(o.scalar("SELECT group_concat(ItemNum || ':' || instock) FROM tb_Inventory"),
              "3001:15,3002:10,3003:10,3004:10");
    EXPECT_EQ(o.scalar("SELECT group_concat(TransNum) FROM tb_trans"), "5007");
    EXPECT_EQ(o.scalar("SELECT group_concat(InvoiceNum) FROM tb_Invoice"), "2002");
}

TEST(DeleteInvoice, AnInvoiceWithoutLinesGoesAlone) {
    Opened o;
    addInvoice(o.folder, 2001, 1001, "2024-03-01 00:00:00");
    ASSERT_TRUE(o.inv.DeleteInvoice(2001));
    EXPECT_EQ(o.scalar("SELECT count(*) FROM tb_Invoice"), "0");
}

TEST(DeleteInvoice, StoppedHalfWayLeavesEverythingAsItWas) {
    Opened o;
    addInvoice(o.folder, 2001, 1001, "2024-03-01 00:00:00");
    o.folder.exec("INSERT INTO tb_Inventory (ItemNum, CatNum, par, instock) VALUES (3001, 1, 5, 10)");
    addLine(o.folder, 5001, 2001, 3001, 2, "1");
    o.folder.exec("CREATE TRIGGER f BEFORE DELETE ON tb_trans BEGIN SELECT RAISE(ABORT, 'forced'); END");
    ScriptedMsgBox box;
    box.expect(vb::vbOK);
    EXPECT_FALSE(o.inv.DeleteInvoice(2001));
    EXPECT_TRUE(box.lastPrompt().startsWith("Invoice.DeleteInvoice -"));
    EXPECT_EQ(o.scalar("SELECT count(*) FROM tb_Invoice"), "1");
    EXPECT_EQ(o.scalar("SELECT instock FROM tb_Inventory"), "10");
    EXPECT_EQ(o.scalar("SELECT count(*) FROM tb_trans"), "1");
}

// A restock that cannot be stored stops the delete with one report: the
// header, the lines and every item's stock stay as they were.
TEST(DeleteInvoice, ARestockBeyondALongDeletesNothing) {
    Opened o;
    addInvoice(o.folder, 2001, 1001, "2024-03-01 00:00:00");
    o.folder.exec("INSERT INTO tb_Inventory (ItemNum, CatNum, par, instock) VALUES "
                  "(3001, 1, 5, 10), (3002, 1, 5, 2147483647)");
    addLine(o.folder, 5001, 2001, 3001, 2, "1");
    addLine(o.folder, 5002, 2001, 3002, 1, "1");
    ScriptedMsgBox box;
    box.expect(vb::vbOK);
    EXPECT_FALSE(o.inv.DeleteInvoice(2001));
    ASSERT_EQ(box.shown().size(), 1u);
    EXPECT_TRUE(box.lastPrompt().startsWith("Invoice.DeleteInvoice -6 ")) << box.lastPrompt().toStdString();
    EXPECT_EQ(o.scalar("SELECT count(*) FROM tb_Invoice"), "1");
    EXPECT_EQ(o.scalar("SELECT count(*) FROM tb_trans"), "2");
    EXPECT_EQ(o.scalar("SELECT group_concat(ItemNum || ':' || instock) FROM tb_Inventory"), "3001:10,3002:2147483647");
}

// --- Lists --------------------------------------------------------------------

TEST(InvoiceLists, TheDaysAfterTheSinceDateHighestFirstWithoutLinesAndWithoutOrphans) {
    Opened o;
    o.folder.exec(kClients);
    addInvoice(o.folder, 2001, 1001, "2024-03-01 00:00:00");   // on the since-date
    addInvoice(o.folder, 2002, 1001, "2024-03-01 16:45:00");   // later that day: still the since-date
    addInvoice(o.folder, 2003, 1002, "2024-03-02 00:00:00");
    addInvoice(o.folder, 2004, 9999, "2024-03-02 00:00:00");   // no client row
    addInvoice(o.folder, 2005, 1001, "2024-04-01 00:00:00");
    addLine(o.folder, 5001, 2003, 1, 1, "1.25");
    addLine(o.folder, 5002, 2003, 1, 1, "2.5");
    const vb::Date since = vb::Date::fromYmd(2024, 3, 1);

    auto all = o.inv.GetAllInvoices(since);
    EXPECT_EQ(column(all, "InvoiceNum"), std::vector<int>({2005, 2003}));
    all->MoveFirst();
    EXPECT_TRUE(all->Fields("Charge").Value().isNull());
    all->MoveNext();
    EXPECT_EQ(vb::CDbl(all->Fields("Charge").Value()), 3.75);
    EXPECT_EQ(vb::CDate(all->Fields("InvoiceDate").Value()), vb::Date::fromYmd(2024, 3, 2));

    EXPECT_EQ(column(o.inv.GetCustInvoices(1001, since), "InvoiceNum"), std::vector<int>({2005}));
    EXPECT_EQ(column(o.inv.GetCustInvoices(9999, vb::Date()), "InvoiceNum"), std::vector<int>());
}

TEST(Payments, ListedStrictlyAfterByDateThenNumberForOneOrAllClients) {
    Opened o;
    o.folder.exec(kClients);
    o.folder.exec("INSERT INTO tb_Receive (TransNum, CustNum, Type, [Date], Amount) VALUES "
                  "(7001, 1001, 'Cash', '2024-03-01 14:00:00', 1),"     // on the since-date
                  "(7004, 1001, 'Cash', '2024-03-02 00:00:00', 2),"
                  "(7003, 1002, 'Cash', '2024-03-02 00:00:00', 3),"
                  "(7002, 1001, 'Cash', '2024-03-05 00:00:00', 4),"
                  "(7005, 9999, 'Cash', '2024-03-05 00:00:00', 5)");   // no client row
    const vb::Date since = vb::Date::fromYmd(2024, 3, 1);
    auto all = o.inv.AllPayments(since, -1);
    EXPECT_EQ(o.inv.CustNum(), -1);
    EXPECT_EQ(column(all, "TransNum"), std::vector<int>({7003, 7004, 7002}));
    all->MoveFirst();
    EXPECT_EQ(all->Fields("FullName").Value().str(), "Baker, ");   // Null first name
    all->MoveNext();
    EXPECT_EQ(all->Fields("FullName").Value().str(), "Adams, Al");
    EXPECT_EQ(vb::CCur(all->Fields("Amount").Value()), cur("2"));

    EXPECT_EQ(column(o.inv.AllPayments(since, 1001), "TransNum"), std::vector<int>({7004, 7002}));
    EXPECT_EQ(o.inv.CustNum(), 1001);
}

TEST(Payments, SaveAllocatesAndRoundTripsAwkwardTexts) {
    Opened o;
    Invoice& i = o.inv;
    for (const QString& t : kAwkward) {
        i.PayNum = 0;
        i.setCustNum(1001);
        i.Paytype = t;
        i.Checknum = t + "#";
        i.PayDate = vb::Date::fromYmd(2024, 3, 2, 8, 0, 0);
        i.setPayment(cur("-12.3456"));
        i.PayNotes = t + "n";
        ASSERT_TRUE(i.SavePayment());
        EXPECT_EQ(o.folder.query(QStringLiteral("SELECT CustNum, Type, CheckNum, [Date], Amount, Notes FROM tb_Receive "
                                                "WHERE TransNum = %1").arg(i.PayNum))[0],
                  QStringList({"1001", t, t + "#", "2024-03-02 08:00:00", "-12.3456", t + "n"}));
    }
    EXPECT_EQ(i.PayNum, 1000 + int(std::size(kAwkward)));
    ASSERT_TRUE(i.DeletePayment(1001));
    EXPECT_EQ(o.scalar("SELECT min(TransNum) FROM tb_Receive"), "1002");
}

// --- Locale ---------------------------------------------------------------------

TEST(InvoiceLocale, ACommaDecimalDayFirstLocaleStoresAndReadsTheSameValues) {
    auto run = [](QStringList& stored, QString& total, QString& listed) {
        Opened o;
        o.folder.exec(kClients + "INSERT INTO tb_Invoice (InvoiceNum, CustNum) VALUES (2001, 1001)");
        Invoice& i = o.inv;
        i.setInvoiceNum(2001);
        i.setCustNum(1001);
        i.InvoiceDate = vb::Date::fromYmd(2024, 2, 3, 4, 5, 6);
        i.Shippingdate = vb::Date::fromYmd(2024, 12, 1);
        i.Discount = 12.5;
        i.Tax = cur("1.5");
        i.ShippingCharge = cur("1234.5678");
        i.Interest = cur("0.0001");
        EXPECT_TRUE(i.SaveInvoiceAccess(2001));
        i.TransNum = 0;
        i.setQty(2);
        i.setCharge(cur("99.995"));
        EXPECT_TRUE(i.SaveTransAccess());
        i.PayNum = 0;
        i.setPayment(cur("1000.25"));
        i.PayDate = vb::Date::fromYmd(2024, 2, 4);
        EXPECT_TRUE(i.SavePayment());
        stored = o.folder.query("SELECT i.[Date], i.shippingdate, i.discount, i.tax, i.shippingcharge, i.interest, "
                                "t.Qty, t.Amount, r.Amount, r.[Date] FROM tb_Invoice i, tb_trans t, tb_Receive r")[0];
        total = o.inv.InvoiceTotal(2001).toInvariantString();
        auto rs = o.inv.GetAllInvoices(vb::Date::fromYmd(2024, 2, 3));
        listed = rs && !rs->Eof() ? QString::number(vb::CDbl(rs->Fields("Charge").Value()), 'g', 17) : QString();
        EXPECT_EQ(i.charge(), cur("99.995"));
        EXPECT_EQ(i.Payment(), cur("1000.25"));
        EXPECT_EQ(i.InvoiceNum(), 2001);
    };
    QStringList en, de;
    QString enTotal, deTotal, enListed, deListed;
    run(en, enTotal, enListed);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    run(de, deTotal, deListed);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(de, en);
    EXPECT_EQ(en, QStringList({"2024-02-03 04:05:06", "2024-12-01 00:00:00", "12.5", "1.5", "1234.5678", "0.0001", "2",
                               "99.995", "1000.25", "2024-02-04 00:00:00"}));
    EXPECT_EQ(deTotal, enTotal);
    EXPECT_EQ(enTotal, "1323.5635");   // 99.995 - 12.499375 + 1234.5678 + 0.0001 + 1.5
    EXPECT_EQ(deListed, enListed);
}
