// The company record and the payment, expense and shipping lists.
#include <memory>
#include <QLocale>
#include <gtest/gtest.h>
#include "data/Globals.h"
#include "data/cSetup.h"
#include "support/TestEnv.h"
#include "vb/MsgBox.h"

using testsupport::ProgramFolder;
using testsupport::ScriptedMsgBox;

namespace {

constexpr auto OpenSetup = &testsupport::OpenOnDataFile<cSetup>;

QStringList Column(const ado::RecordsetPtr& r, int col) {
    QStringList out;
    if (!r) return {QStringLiteral("<none>")};
    for (r->MoveFirst(); !r->Eof(); r->MoveNext()) out << r->Fields(col).Value().str();
    return out;
}

} // namespace

TEST(cSetup, EmptyCompanyTableLeavesPropertiesAndFirstSaveCreatesTheRow) {
    ProgramFolder folder;
    ScriptedMsgBox box;
    auto s = OpenSetup();
    s->Name = QStringLiteral("kept");
    s->Statetaxrate = 3;
    EXPECT_FALSE(s->GetCompanyInfo());
    EXPECT_EQ(s->Name, QStringLiteral("kept"));
    EXPECT_EQ(s->Statetaxrate, 3.0);
    ASSERT_TRUE(s->SaveCompanyInfo());
    EXPECT_EQ(folder.scalar(QStringLiteral("select count(*) || Name from tb_Company")), QStringLiteral("1kept"));
    EXPECT_TRUE(box.shown().empty());
}

TEST(cSetup, CompanyRoundTripReplacesEveryRow) {
    ProgramFolder folder;
    ScriptedMsgBox box;
    folder.exec(QStringLiteral("insert into tb_Company (Name, statetaxrate) values ('First', 1), ('Second', 2)"));
    auto s = OpenSetup();
    ASSERT_TRUE(s->GetCompanyInfo());
    EXPECT_EQ(s->Address2, QString());   // Null texts read as ""
    s->Name = QStringLiteral("Smith's \"Tools\" & Co; #1 [x]\nTrue ß");
    s->Address1 = QStringLiteral("12 High St");
    s->Address2 = QString();
    s->City = QStringLiteral("Zürich");
    s->ZipCode = QStringLiteral("01234");
    s->Phone = QStringLiteral("555-0100");
    s->WebSite = QStringLiteral("http://smith.example/?a=1&b=2");
    s->Statetaxrate = 8.25;
    ASSERT_TRUE(s->SaveCompanyInfo());
    EXPECT_EQ(folder.scalar(QStringLiteral("select count(*) from tb_Company")), QStringLiteral("1"));
    // The rate went in as quoted text and is kept as a number.
    EXPECT_EQ(folder.scalar(QStringLiteral("select typeof(statetaxrate) || ' ' || statetaxrate from tb_Company")),
              QStringLiteral("real 8.25"));

    cSetup back;
    back.InitAccess(Globals::DataFilePath());
    back.OpenCn();
    ASSERT_TRUE(back.GetCompanyInfo());
    EXPECT_EQ(back.Name, s->Name);
    EXPECT_EQ(back.Address1, s->Address1);
    EXPECT_EQ(back.Address2, QString());
    EXPECT_EQ(back.City, s->City);
    EXPECT_EQ(back.ZipCode, QStringLiteral("01234"));
    EXPECT_EQ(back.Phone, s->Phone);
    EXPECT_EQ(back.WebSite, s->WebSite);
    EXPECT_EQ(back.Statetaxrate, 8.25);
    EXPECT_TRUE(box.shown().empty());
}

TEST(cSetup, FailedCompanySaveKeepsTheStoredRowWithoutAMessage) {
    ProgramFolder folder;
    ScriptedMsgBox box;
    folder.exec(QStringLiteral(
        "insert into tb_Company (Name, statetaxrate) values ('Old', 5);"
        "create trigger no_ins before insert on tb_Company begin select raise(abort, 'forced'); end;"));
    auto s = OpenSetup();
    s->Name = QStringLiteral("New");
    EXPECT_FALSE(s->SaveCompanyInfo());
    EXPECT_EQ(folder.scalar(QStringLiteral("select count(*) || Name from tb_Company")), QStringLiteral("1Old"));

    cSetup closed;   // never opened: still no message
    EXPECT_FALSE(closed.SaveCompanyInfo());
    EXPECT_TRUE(box.shown().empty());
}

TEST(cSetup, NullNameOrRateStopsTheLoad) {
    ProgramFolder folder;
    ScriptedMsgBox box;
    folder.exec(QStringLiteral("insert into tb_Company (Name, City, statetaxrate) values (NULL, 'Nowhere', 4)"));
    auto s = OpenSetup();
    s->City = QStringLiteral("before");
    box.expect(vb::vbOK);
    s->GetCompanyInfo();
    EXPECT_EQ(s->City, QStringLiteral("before"));
    folder.exec(QStringLiteral("update tb_Company set Name = 'N', statetaxrate = NULL"));
    s->Statetaxrate = 7;
    box.expect(vb::vbOK);
    s->GetCompanyInfo();
    EXPECT_EQ(s->City, QStringLiteral("Nowhere"));
    EXPECT_EQ(s->Statetaxrate, 7.0);
    ASSERT_EQ(box.shown().size(), 2u);
    for (const auto& b : box.shown())
        EXPECT_TRUE(b.prompt.startsWith(QStringLiteral("cSetup.GetCompanyInfo -94 Invalid use of Null."))) << b.prompt.toStdString();
}

TEST(cSetup, TypeListsAllowDuplicatesAndDeleteEveryCopyOfExactlyTheText) {
    ProgramFolder folder;
    ScriptedMsgBox box;
    auto s = OpenSetup();
    const QString odd = QStringLiteral("Bob's \"IOU\"; #2 & [x]");
    for (const QString& t : {QStringLiteral("Visa"), QStringLiteral("cash"), QStringLiteral("VISA"), odd})
        ASSERT_TRUE(s->SavePaymentType(t));
    ASSERT_TRUE(s->SaveExpenseType(QStringLiteral("Rent")));
    ASSERT_TRUE(s->SaveExpenseType(QStringLiteral("rent")));
    ASSERT_TRUE(s->SaveExpenseType(QStringLiteral("Fuel")));

    auto pay = s->rsPaymentTypes();
    s->CloseCn();
    // Ordered by text ignoring case; the two spellings of Visa are equal.
    QStringList types = Column(pay, 0);
    for (QString& t : types) t = t.toLower();
    EXPECT_EQ(types, (QStringList{odd.toLower(), "cash", "visa", "visa"}));
    s->OpenCn();
    ASSERT_TRUE(s->DeletePaymentType(QStringLiteral("Visa")));
    ASSERT_TRUE(s->DeletePaymentType(odd));
    EXPECT_EQ(Column(s->rsPaymentTypes(), 0), (QStringList{"cash", "VISA"})) << "another row in other capitals stays";
    ASSERT_TRUE(s->DeleteExpenseType(QStringLiteral("rent")));
    EXPECT_EQ(Column(s->rsExpenseTypes(), 0), (QStringList{"Fuel", "Rent"}));
    EXPECT_TRUE(box.shown().empty());
}

TEST(cSetup, ShippingSaveReplacesOnlyItsServiceAndOption) {
    ProgramFolder folder;
    ScriptedMsgBox box;
    auto s = OpenSetup();
    ASSERT_TRUE(s->SaveShippingType(QStringLiteral("UPS"), QStringLiteral("Ground"), vb::Currency::fromLong(5)));
    ASSERT_TRUE(s->SaveShippingType(QStringLiteral("UPS"), QStringLiteral("Air"), vb::Currency::fromLong(20)));
    ASSERT_TRUE(s->SaveShippingType(QStringLiteral("Bob's"), QStringLiteral("1 lb; \"fast\""), vb::Currency::fromRaw(12345)));
    ASSERT_TRUE(s->SaveShippingType(QStringLiteral("UPS"), QStringLiteral("Ground"), vb::Currency::fromRaw(65000)));

    auto r = s->rsShippingTypes();
    ASSERT_TRUE(r);
    EXPECT_EQ(Column(r, 0), (QStringList{"Bob's", "UPS", "UPS"}));
    EXPECT_EQ(Column(r, 1), (QStringList{"1 lb; \"fast\"", "Air", "Ground"}));
    r->MoveFirst();
    EXPECT_EQ(r->Fields("Charge").Value().currencyValue().raw(), 12345);

    ASSERT_TRUE(s->DeleteShippingType(QStringLiteral("UPS"), QStringLiteral("air")));   // not exactly that row
    ASSERT_TRUE(s->DeleteShippingType(QStringLiteral("UPS"), QStringLiteral("Air")));
    EXPECT_EQ(folder.scalar(QStringLiteral("select group_concat(charge) from tb_Shipping")), QStringLiteral("1.2345,6.5"));

    folder.exec(QStringLiteral("create trigger no_ins before insert on tb_Shipping begin select raise(abort, 'forced'); end;"));
    box.expect(vb::vbOK);
    EXPECT_FALSE(s->SaveShippingType(QStringLiteral("UPS"), QStringLiteral("Ground"), vb::Currency::fromLong(9)));
    EXPECT_EQ(folder.scalar(QStringLiteral("select charge from tb_Shipping where service = 'UPS'")), QStringLiteral("6.5"));
    ASSERT_EQ(box.shown().size(), 1u);
    EXPECT_TRUE(box.lastPrompt().startsWith(QStringLiteral("cSetup.SaveShippingType -")));
}

TEST(cSetup, RateAndChargeAreLocaleFree) {
    struct LocaleScope {
        LocaleScope() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
        ~LocaleScope() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    } german;
    ProgramFolder folder;
    ScriptedMsgBox box;
    auto s = OpenSetup();
    s->Name = QStringLiteral("N");
    s->Statetaxrate = 8.25;
    ASSERT_TRUE(s->SaveCompanyInfo());
    ASSERT_TRUE(s->SaveShippingType(QStringLiteral("UPS"), QStringLiteral("Ground"), vb::Currency::fromRaw(65000)));
    EXPECT_EQ(folder.scalar(QStringLiteral("select statetaxrate from tb_Company")), QStringLiteral("8.25"));
    EXPECT_EQ(folder.scalar(QStringLiteral("select charge from tb_Shipping")), QStringLiteral("6.5"));
    s->Statetaxrate = 0;
    ASSERT_TRUE(s->GetCompanyInfo());
    EXPECT_EQ(s->Statetaxrate, 8.25);
    EXPECT_TRUE(box.shown().empty());
}
