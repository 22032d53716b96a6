// Vendors and the payment and deposit register.
#include <memory>
#include <QLocale>
#include <gtest/gtest.h>
#include "data/Globals.h"
#include "data/Vendor.h"
#include "support/TestEnv.h"
#include "vb/Conv.h"
#include "vb/MsgBox.h"

using testsupport::ProgramFolder;
using testsupport::ScriptedMsgBox;

namespace {

constexpr auto OpenVendor = &testsupport::OpenOnDataFile<Vendor>;

// TransNums of a record set, in its order.
QStringList Keys(const ado::RecordsetPtr& r) {
    QStringList keys;
    if (!r) return {QStringLiteral("<none>")};
    for (r->MoveFirst(); !r->Eof(); r->MoveNext()) keys << r->Fields("TransNum").Value().str();
    return keys;
}

// Register rows: TransNum, date, check, vendor, payment, cleared, category, deposit, notes.
void FillRegister(const ProgramFolder& f) {
    f.exec(QStringLiteral(
        "insert into tb_GL values"
        " (1001, '2024-03-01 00:00:00', '9',  'Acme',  50,  1, 'Rent',     0,   'march'),"
        " (1002, '2024-03-01 00:00:00', '10', 'ACME',  20,  0, 'Supplies', 0,   'march'),"
        " (1003, '2024-02-29 00:00:00', '8',  'acme',  70,  1, 'Rent',     0,   'feb'),"
        " (1004, '2024-03-05 00:00:00', '11', 'Other', 30,  0, 'rent',     0,   'Note''s'),"
        " (1005, '2024-01-10 00:00:00', '',   '',      0,   1, '',         500, 'deposit'),"
        " (1006, '2024-03-02 00:00:00', '12', 'Acme',  0,   0, 'Rent',     0,   'zero'),"
        " (1007, '2024-03-03 00:00:00', '13', 'Other', 15,  1, 'Rent',     40,  'both')"));
}

} // namespace

TEST(Vendor, VendorRoundTripWithAwkwardText) {
    ProgramFolder folder;
    ScriptedMsgBox box;
    auto v = OpenVendor();
    EXPECT_FALSE(v->GetVendor(QStringLiteral("0")));   // the editor's request for a new vendor
    EXPECT_EQ(v->VendorNum, 1001);
    v->Company = QStringLiteral("O'Brien & \"Sons\"; #1 [x]\nTrue é");
    v->Address1 = QStringLiteral("1 Main St");
    v->Address2 = QString();
    v->WebPage = QStringLiteral("http://x.example/?a=1&b='2'");
    v->POnum = QStringLiteral("PO-7");
    v->Discount = 12.5;
    ASSERT_TRUE(v->SaveVendorAccess(0));

    auto back = OpenVendor();
    back->TransNum = 77;   // register properties are not touched
    ASSERT_TRUE(back->GetVendor(v->Company));
    EXPECT_EQ(back->VendorNum, 1001);
    EXPECT_EQ(back->Company, v->Company);
    EXPECT_EQ(back->Address2, QString());
    EXPECT_EQ(back->WebPage, v->WebPage);
    EXPECT_EQ(back->POnum, QStringLiteral("PO-7"));
    EXPECT_DOUBLE_EQ(back->Discount, 12.5);
    EXPECT_EQ(back->TransNum, 77);
    EXPECT_EQ(back->VendorCompany(1001), v->Company);

    // Lookup ignores case; no row blanks the vendor and gives the next number.
    ASSERT_TRUE(back->GetVendor(QStringLiteral("o'brien & \"SONS\"; #1 [X]\ntrue é")));
    EXPECT_FALSE(back->GetVendor(QStringLiteral("Nobody")));
    EXPECT_EQ(back->VendorNum, 1002);
    EXPECT_EQ(back->Company, QString());
    EXPECT_EQ(back->WebPage, QString());
    EXPECT_EQ(back->Discount, 0.0);

    auto all = v->GetAllVendors();
    v->CloseCn();
    ASSERT_TRUE(all);
    EXPECT_EQ(all->RecordCount(), 1);
    EXPECT_EQ(vb::CLng(all->Fields("VendorNum").Value()), 1001);
    EXPECT_TRUE(box.shown().empty());
}

// Vendors of one name in two capitals, as older files hold them: a rename
// takes the entries of its exact text along (an empty text names none), a
// text taken in any capitals is refused, a delete keeps every entry.
TEST(Vendor, RenameTakesTheEntriesOfItsExactTextAndDeleteKeepsThem) {
    ProgramFolder folder;
    ScriptedMsgBox box;
    FillRegister(folder);
    folder.exec(QStringLiteral("insert into tb_Vendor (VendorNum, Company) values (1001, 'Acme'), (1002, 'ACME'), (1003, '')"));
    auto v = OpenVendor();
    EXPECT_EQ(v->VendorBal(1001), vb::Currency::fromLong(50));
    EXPECT_EQ(v->EntriesNaming(QStringLiteral("Acme")) * 10 + v->EntriesNaming(QString()), 20);
    box.expect(vb::vbOK, QStringLiteral("Another vendor is already named acme tools."));
    const std::pair<int, const char*> saves[] = {{1001, "Acme Tools"}, {1003, "Bolt"}, {1002, "acme tools"}};
    for (const auto& [num, company] : saves) {
        v->VendorNum = num;
        v->Company = QString::fromUtf8(company);
        EXPECT_EQ(v->SaveVendorAccess(num), num != 1002) << num;
    }
    ASSERT_TRUE(v->DeleteVendor(1001));
    EXPECT_EQ(folder.scalar(QStringLiteral("select group_concat(Vendor, '|') from (select Vendor from tb_GL order by TransNum)")),
              QStringLiteral("Acme Tools|ACME|acme|Other||Acme Tools|Other"));
    EXPECT_EQ(folder.scalar(QStringLiteral("select group_concat(Company) from tb_Vendor")), QStringLiteral("ACME,Bolt"));

    box.expect(vb::vbOK);
    EXPECT_FALSE(v->DeleteVendor(4242));
    EXPECT_TRUE(box.lastPrompt().startsWith(QStringLiteral("Vendor.DeleteVendor -3021 ")));
}

TEST(Vendor, StoppedDeleteAndFailedSavesKeepRows) {
    ProgramFolder folder;
    ScriptedMsgBox box;
    FillRegister(folder);
    folder.exec(QStringLiteral(
        "insert into tb_Vendor (VendorNum, Company) values (1001, 'Acme');"
        "create trigger no_del_vendor before delete on tb_Vendor begin select raise(abort, 'forced'); end;"
        "create trigger no_ins_vendor before insert on tb_Vendor begin select raise(abort, 'forced'); end;"
        "create trigger no_ins_gl before insert on tb_GL begin select raise(abort, 'forced'); end;"));
    auto v = OpenVendor();
    for (int i = 0; i < 2; ++i) box.expect(vb::vbOK);
    EXPECT_FALSE(v->DeleteVendor(1001));
    EXPECT_EQ(folder.scalar(QStringLiteral("select count(*) from tb_GL where vendor = 'acme'")), QStringLiteral("4"));
    folder.exec(QStringLiteral("drop trigger no_del_vendor"));
    v->VendorNum = 1001;
    v->Company = QStringLiteral("Renamed");
    EXPECT_FALSE(v->SaveVendorAccess(1001));
    EXPECT_EQ(folder.scalar(QStringLiteral("select Company from tb_Vendor")), QStringLiteral("Acme"));

    box.expect(vb::vbOK);
    v->TransNum = 1001;
    v->LedgerNotes = QStringLiteral("replaced");
    EXPECT_FALSE(v->SaveLedgerEntry());
    EXPECT_EQ(folder.scalar(QStringLiteral("select Notes from tb_GL where TransNum = 1001")), QStringLiteral("march"));
    ASSERT_EQ(box.shown().size(), 3u);
    EXPECT_TRUE(box.shown()[2].prompt.startsWith(QStringLiteral("Vendor.SaveLedgerEntry -")));
}

TEST(Vendor, LedgerEntryRoundTrip) {
    ProgramFolder folder;
    ScriptedMsgBox box;
    auto v = OpenVendor();
    v->TransDate = vb::Date::fromYmd(2024, 2, 29, 13, 45, 10);
    v->Checknum = QStringLiteral("0042");
    v->LedgerVendor = QStringLiteral("O'Brien");
    v->Payment = vb::Currency::fromRaw(1234567);   // 123.4567
    v->Deposit = vb::Currency();
    v->Cleared = true;
    v->Category = QStringLiteral("Rent & \"Lease\"");
    v->LedgerNotes = QStringLiteral("line 1\nline 2; #x#");
    ASSERT_TRUE(v->SaveLedgerEntry());
    EXPECT_EQ(v->TransNum, 1001);
    EXPECT_EQ(folder.query(QStringLiteral("select * from tb_GL")).at(0),
              (QStringList{"1001", "2024-02-29 13:45:10", "0042", "O'Brien", "123.4567", "1", "Rent & \"Lease\"", "0",
                           "line 1\nline 2; #x#"}));

    // The same number replaces the row and keeps the number.
    v->Cleared = false;
    ASSERT_TRUE(v->SaveLedgerEntry());
    EXPECT_EQ(v->TransNum, 1001);
    EXPECT_EQ(folder.scalar(QStringLiteral("select count(*) || '/' || Cleared from tb_GL")), QStringLiteral("1/0"));

    auto all = v->LedgerEntriesAll();
    ASSERT_TRUE(all);
    EXPECT_EQ(all->Fields("Date").Value().dateValue(), v->TransDate);
    EXPECT_EQ(all->Fields("Payment").Value().currencyValue().raw(), 1234567);
    ASSERT_TRUE(v->DeleteLedgerEntry(1001));
    ASSERT_TRUE(v->DeleteLedgerEntry(1001));   // none left: no effect
    EXPECT_EQ(folder.scalar(QStringLiteral("select count(*) from tb_GL")), QStringLiteral("0"));
    EXPECT_TRUE(box.shown().empty());
}

TEST(Vendor, LedgerEntriesModes) {
    ProgramFolder folder;
    ScriptedMsgBox box;
    FillRegister(folder);
    auto v = OpenVendor();
    const vb::Date mar1 = vb::Date::fromYmd(2024, 3, 1);
    struct Case { const char* mode; QString value; vb::Date since; QStringList keys; };
    const Case cases[] = {
        // Payments on or after the date, by date and check number as text ("10" before "9").
        {"All", "", mar1, {"1002", "1001", "1007", "1004"}},
        {"ALL", "Acme", vb::Date::fromYmd(2024, 1, 1), {"1003", "1002", "1001", "1007", "1004"}},
        {"vendor", "acme", mar1, {"1002", "1001"}},
        {"Vendor", "All", mar1, {}},   // a vendor of that name, none here
        {"Category", "RENT", mar1, {"1001", "1007", "1004"}},
        {"notes", "note's", mar1, {"1004"}},
        {"Cleared", "True", vb::Date::fromYmd(2024, 1, 1), {"1003", "1001", "1007"}},
        {"CLEARED", "false", mar1, {"1002", "1004"}},
        {"CLEARED", "0", mar1, {"1002", "1004"}},
        // Deposits of every date, whatever value and date.
        {"Deposit", "ignored", vb::Date::fromYmd(2030, 1, 1), {"1005", "1007"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " " + c.value.toStdString());
        EXPECT_EQ(Keys(v->LedgerEntries(QString::fromUtf8(c.mode), c.value, c.since)), c.keys);
    }
    EXPECT_TRUE(box.shown().empty());

    box.expect(vb::vbOK);
    box.expect(vb::vbOK);
    EXPECT_EQ(v->LedgerEntries(QStringLiteral("Payee"), QStringLiteral("x"), mar1), nullptr);
    EXPECT_EQ(v->LedgerEntries(QStringLiteral("Cleared"), QStringLiteral("maybe"), mar1), nullptr);
    ASSERT_EQ(box.shown().size(), 2u);
    EXPECT_TRUE(box.shown()[0].prompt.startsWith(QStringLiteral("Vendor.LedgerEntries -")));
    EXPECT_TRUE(box.shown()[1].prompt.startsWith(QStringLiteral("Vendor.LedgerEntries -13 Type mismatch.")));
}

TEST(Vendor, RegisterBalancesAreDepositsLessPayments) {
    ProgramFolder folder;
    ScriptedMsgBox box;
    auto v = OpenVendor();
    EXPECT_EQ(v->LedgerEndBal().raw(), 0);
    EXPECT_EQ(v->LedgerCurrentBal().raw(), 0);
    FillRegister(folder);
    // Deposits 500 + 40, payments 50+20+70+30+15 = 185.
    EXPECT_EQ(v->LedgerEndBal(), vb::Currency::fromLong(355));
    // Cleared: deposits 500 + 40, payments 50 + 70 + 15.
    EXPECT_EQ(v->LedgerCurrentBal(), vb::Currency::fromLong(405));
    folder.exec(QStringLiteral("update tb_GL set Payment = 0.1 where TransNum = 1001; update tb_GL set Payment = 0.2 where TransNum = 1003"));
    EXPECT_EQ(v->LedgerCurrentBal(), vb::Currency::fromRaw(5400000 - 1000 - 2000 - 150000));
    EXPECT_TRUE(box.shown().empty());
}

TEST(Vendor, MembersWithoutColumnsReportAndReturnEmpty) {
    ProgramFolder folder;
    ScriptedMsgBox box;
    folder.exec(QStringLiteral("insert into tb_Vendor (VendorNum, Company) values (1001, 'Acme')"));
    auto v = OpenVendor();
    EXPECT_EQ(v->GetVendorRS(QStringLiteral("x")), nullptr);
    box.expect(vb::vbOK);
    box.expect(vb::vbOK);
    EXPECT_EQ(v->VendorBal(1001).raw(), 0) << "no payments";
    EXPECT_EQ(v->VendorName(1001), QString());
    EXPECT_EQ(v->VendorCompany(4242), QString());
    ASSERT_EQ(box.shown().size(), 2u);
    EXPECT_TRUE(box.shown()[0].prompt.startsWith(QStringLiteral("Vendor.VendorName --2147217900 ")));
    EXPECT_TRUE(box.shown()[1].prompt.startsWith(QStringLiteral("Vendor.VendorCompany -3021 ")));
}

TEST(Vendor, SameValuesUnderADayFirstCommaDecimalLocale) {
    struct LocaleScope {
        LocaleScope() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
        ~LocaleScope() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    } german;
    ProgramFolder folder;
    ScriptedMsgBox box;
    auto v = OpenVendor();
    v->GetVendor(QStringLiteral("x"));
    v->Company = QStringLiteral("Acme");
    v->Discount = 12.5;
    ASSERT_TRUE(v->SaveVendorAccess(0));
    v->TransDate = vb::Date::fromYmd(2024, 2, 3);
    v->Payment = vb::Currency::fromRaw(12345);
    v->Deposit = vb::Currency::fromRaw(1000005);
    v->LedgerVendor = QStringLiteral("Acme");
    ASSERT_TRUE(v->SaveLedgerEntry());
    EXPECT_EQ(folder.scalar(QStringLiteral("select Discount from tb_Vendor")), QStringLiteral("12.5"));
    EXPECT_EQ(folder.query(QStringLiteral("select [Date], Payment, Deposit from tb_GL")).at(0),
              (QStringList{"2024-02-03 00:00:00", "1.2345", "100.0005"}));
    EXPECT_EQ(Keys(v->LedgerEntries(QStringLiteral("vendor"), QStringLiteral("acme"), vb::Date::fromYmd(2024, 2, 3))),
              QStringList{"1001"});
    EXPECT_EQ(Keys(v->LedgerEntries(QStringLiteral("vendor"), QStringLiteral("acme"), vb::Date::fromYmd(2024, 3, 2))),
              QStringList{});
    EXPECT_EQ(v->LedgerEndBal(), vb::Currency::fromRaw(1000005 - 12345));
    ASSERT_TRUE(v->GetVendor(QStringLiteral("ACME")));
    EXPECT_DOUBLE_EQ(v->Discount, 12.5);
    EXPECT_TRUE(box.shown().empty());
}
