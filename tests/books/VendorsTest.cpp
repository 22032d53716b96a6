// The vendor editor: opening on the first vendor or a blank one, every field
// to the data file and back, the discount text, the save notice, a refused
// save, the unsaved-changes question, new vendor, choosing from the list,
// delete and rename with the register entries naming the vendor, a company
// text taken by another vendor, and the register button.
#include <memory>
#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QLocale>
#include "books/VendorSaved.h"
#include "books/Vendors.h"
#include "data/Globals.h"
#include "data/Vendor.h"
#include "forms/Form.h"
#include "support/FormDriver.h"
#include "support/WindowFixture.h"
#include "vb/MsgBox.h"

using forms::Form;
using testsupport::ModalAnswer;

namespace {

class VendorsTest : public testsupport::WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        // What start-up leaves: the shared vendor instance on the data file.
        testsupport::SharedOnDataFile(Globals::SharedVendor);
    }
    void vendor(int num, const QString& company, const QString& city = QString()) {
        folder.exec(QStringLiteral("insert into tb_Vendor (VendorNum, Company, City) values (%1, '%2', '%3')")
                        .arg(num)
                        .arg(QString(company).replace("'", "''"), city));
    }
    void entry(int num, const QString& vendorText) {
        folder.exec(QStringLiteral("insert into tb_GL (TransNum, [Date], CheckNum, Vendor, Payment, Deposit) "
                                   "values (%1, '2026-01-05 00:00:00', '100', '%2', 10, 0)")
                        .arg(num)
                        .arg(vendorText));
    }
    Vendors& open() {
        Vendors& w = Form::get<Vendors>();
        w.Show();
        return w;
    }
    QString stored(int num, const QString& column) const {
        return folder.scalar(QStringLiteral("select %1 from tb_Vendor where VendorNum = %2").arg(column).arg(num));
    }
    int count(const QString& sql) const { return folder.scalar(sql).toInt(); }
    static QStringList listOf(const Vendors& w) {
        QStringList items;
        for (int i = 0; i < w.cmbVendors.ListCount(); ++i) items << w.cmbVendors.List(i);
        return items;
    }
    // Saves and lets the notice's timer tick at once; checks the notice.
    void saveWithNotice(Vendors& w) {
        ModalAnswer answer([&w](Form& f) {
            auto* notice = dynamic_cast<VendorSaved*>(&f);
            ASSERT_NE(notice, nullptr);
            EXPECT_EQ(notice->Caption(), "Save Vendor");
            EXPECT_EQ(notice->Label1.Caption(), "Vendor Saved Successfully!");
            EXPECT_EQ(notice->Owner(), &w);
            EXPECT_TRUE(notice->Timer1.Enabled());
            EXPECT_EQ(notice->Timer1.Interval(), 1500);
            notice->Timer1_Timer();
        });
        w.btnSave_Click();
    }
};

TEST_F(VendorsTest, EmptyTableOpensOnABlankVendor1001AndDeleteAndRegisterRefuse) {
    Vendors& w = open();
    EXPECT_EQ(w.Caption(), "Vendors");
    EXPECT_EQ(w.lblVendorNum.Caption(), "1001");
    EXPECT_EQ(w.txtCompany.Text(), "");
    EXPECT_EQ(w.txtDiscount.Text(), "0");
    EXPECT_EQ(w.cmbVendors.ListCount(), 0);
    EXPECT_EQ(w.cmbVendors.Text(), "");
    EXPECT_FALSE(w.VendorChanged);

    w.btnDelete_Click();   // asks nothing
    boxes.expect(vb::vbOK, "Enter a new Vendor before entering Vendor Payments.");
    w.btnPayments_Click();
    EXPECT_EQ(boxes.shown().back().buttons, vb::vbOKOnly);
    EXPECT_EQ(boxes.shown().back().title, "Vantrels");
}

TEST_F(VendorsTest, OpensOnTheFirstCompanyWithTheListInCompanyOrder) {
    vendor(1002, "Zenith", "Yonkers");
    vendor(1001, "acme", "Albany");
    vendor(1003, "Bolt", "Boston");
    Vendors& w = open();
    EXPECT_EQ(listOf(w), QStringList({"acme", "Bolt", "Zenith"}));
    EXPECT_EQ(w.cmbVendors.Text(), "") << "the list is there, its text is not";
    EXPECT_EQ(w.lblVendorNum.Caption(), "1001");
    EXPECT_EQ(w.txtCity.Text(), "Albany");
    EXPECT_FALSE(w.VendorChanged) << "filling the boxes is no edit";

    // Choosing from the list drops edits unasked.
    testsupport::type(w.txtCity, "x");
    EXPECT_TRUE(w.VendorChanged);
    w.cmbVendors.Pick(2);
    EXPECT_EQ(w.lblVendorNum.Caption(), "1002");
    EXPECT_EQ(w.txtCity.Text(), "Yonkers");
    EXPECT_FALSE(w.VendorChanged);
    EXPECT_EQ(stored(1001, "City"), "Albany");
}

TEST_F(VendorsTest, EveryFieldGoesToTheDataFileAndComesBack) {
    vendor(1001, "Acme");
    Vendors& w = open();
    const std::vector<std::pair<controls::TextBox*, const char*>> fields = {
        {&w.txtCompany, "Company"}, {&w.txtAddress, "Address1"}, {&w.txtAddress2, "Address2"},
        {&w.txtCity, "City"},       {&w.txtState, "State"},      {&w.txtZipCode, "ZipCode"},
        {&w.txtPhone, "Phone"},     {&w.txtCellPhone, "CelPhone"}, {&w.txtFax, "Fax"},
        {&w.txtEmail, "Email"},     {&w.txtWebPage, "Webpage"},  {&w.txtPOnum, "POnum"},
    };
    for (auto& [box, column] : fields) box->setText(QString::fromUtf8("%1 O'Neil & Zoë").arg(column));
    w.txtNotes.setText("line one\nline 'two'");
    w.txtDiscount.setText("7.25");
    EXPECT_TRUE(w.VendorChanged);
    saveWithNotice(w);
    EXPECT_TRUE(boxes.shown().empty()) << boxes.lastPrompt().toStdString();

    for (auto& [box, column] : fields)
        EXPECT_EQ(stored(1001, column), QString::fromUtf8("%1 O'Neil & Zoë").arg(column)) << column;
    EXPECT_EQ(stored(1001, "Notes"), "line one\nline 'two'");
    EXPECT_DOUBLE_EQ(stored(1001, "Discount").toDouble(), 7.25);
    EXPECT_EQ(count("select count(*) from tb_Vendor"), 1) << "saved under its number, not added";
    EXPECT_FALSE(w.VendorChanged);
    EXPECT_EQ(w.cmbVendors.Text(), "");
    EXPECT_EQ(listOf(w), QStringList({QString::fromUtf8("Company O'Neil & Zoë")}));
    EXPECT_EQ(w.txtCity.Text(), QString::fromUtf8("City O'Neil & Zoë")) << "the boxes keep what was saved";
    EXPECT_FALSE(Form::isLoaded<VendorSaved>());

    // And back: choosing the renamed company from the list.
    w.cmbVendors.Pick(0);
    for (auto& [box, column] : fields) EXPECT_EQ(box->Text(), QString::fromUtf8("%1 O'Neil & Zoë").arg(column));
    EXPECT_EQ(w.txtDiscount.Text(), "7.25");
}

struct DiscountCase {
    const char* typed;
    double stored;
};
class DiscountTextTest : public VendorsTest, public ::testing::WithParamInterface<DiscountCase> {};

TEST_P(DiscountTextTest, TheLeadingNumberWithAFullStopIsSaved) {
    // A comma-decimal locale changes nothing: the box holds a full stop.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    vendor(1001, "Acme");
    Vendors& w = open();
    w.txtDiscount.setText(QString::fromUtf8(GetParam().typed));
    saveWithNotice(w);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_DOUBLE_EQ(stored(1001, "Discount").toDouble(), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Texts, DiscountTextTest,
                         ::testing::Values(DiscountCase{"12.5%", 12.5}, DiscountCase{"", 0}, DiscountCase{"1,5", 1},
                                           DiscountCase{"abc", 0}, DiscountCase{" 3 ", 3}, DiscountCase{"7 5", 7},
                                           DiscountCase{"3.5", 3.5}),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(VendorsTest, StoredDiscountShowsAsPlainNumberText) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(Vendors::DiscountText(12.5), "12.5");
    EXPECT_EQ(Vendors::DiscountText(0), "0");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

TEST_F(VendorsTest, TheNoticeClosesItselfAfterOneAndAHalfSeconds) {
    Vendors& w = open();
    w.txtCompany.setText("Acme");
    QElapsedTimer t;
    t.start();
    w.btnSave_Click();   // returns once the notice has closed on its own
    EXPECT_GE(t.elapsed(), 1400);
    EXPECT_LT(t.elapsed(), 10000);
    EXPECT_FALSE(Form::isLoaded<VendorSaved>());
    EXPECT_EQ(stored(1001, "Company"), "Acme");
}

TEST_F(VendorsTest, OnlyAnEmptyCompanyStopsASaveAndTheEditsStayPending) {
    Vendors& w = open();
    testsupport::type(w.txtCity, "Albany");
    boxes.expect(vb::vbOK, "Enter company name before saving.");
    w.btnSave_Click();
    EXPECT_EQ(count("select count(*) from tb_Vendor"), 0);
    EXPECT_TRUE(w.VendorChanged) << "nothing was stored, so leaving must still ask";

    w.txtCompany.setText("   ");
    saveWithNotice(w);
    EXPECT_EQ(stored(1001, "Company"), "   ");
    EXPECT_EQ(stored(1001, "City"), "Albany");
}

TEST_F(VendorsTest, ARefusedSaveShowsNoNoticeKeepsTheStoredRowAndStaysPending) {
    vendor(1001, "Acme", "Albany");
    folder.exec("create trigger refuse before insert on tb_Vendor begin select raise(abort, 'refused'); end");
    Vendors& w = open();
    w.txtCity.setText("Boston");
    boxes.expect(vb::vbOK);
    w.btnSave_Click();   // no modal notice: none is answered
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(boxes.lastPrompt().startsWith("Vendor.SaveVendorAccess -")) << boxes.lastPrompt().toStdString();
    EXPECT_FALSE(Form::isLoaded<VendorSaved>());
    EXPECT_EQ(stored(1001, "City"), "Albany");
    EXPECT_TRUE(w.VendorChanged);
    EXPECT_EQ(w.txtCity.Text(), "Boston");
    EXPECT_EQ(listOf(w), QStringList({"Acme"})) << "the list is reloaded all the same";
}

struct ExitCase {
    int answer;
    const char* company;
    bool closes;
    const char* storedCity;
};
const char* const kExitCaseNames[] = {"No", "Cancel", "YesSaves", "YesWithoutCompanyStays"};
class ExitQuestionTest : public VendorsTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(ExitQuestionTest, ExitAsksWhileEdited) {
    const ExitCase& c = GetParam();
    vendor(1001, "Acme", "Albany");
    Vendors& w = open();
    w.txtCity.setText("Boston");
    w.txtCompany.setText(QString::fromUtf8(c.company));
    boxes.expect(c.answer, QStringLiteral("Save Changes to %1?").arg(c.company));
    const bool saves = c.answer == vb::vbYes && *c.company != 0;
    if (c.answer == vb::vbYes && !saves) boxes.expect(vb::vbOK, "Enter company name before saving.");
    std::unique_ptr<ModalAnswer> notice;
    if (saves) notice = std::make_unique<ModalAnswer>([](Form& f) { static_cast<VendorSaved&>(f).Timer1_Timer(); });
    w.btnExit_Click();
    notice.reset();
    EXPECT_EQ(boxes.shown().front().buttons, vb::vbYesNoCancel + vb::vbQuestion + vb::vbDefaultButton2);
    EXPECT_EQ(boxes.shown().front().title, "Save Vendor Pofile?");
    EXPECT_EQ(Form::isLoaded<Vendors>(), !c.closes);
    EXPECT_EQ(stored(1001, "City"), c.storedCity);
    if (!c.closes) {
        EXPECT_EQ(w.txtCity.Text(), "Boston");
        EXPECT_TRUE(w.VendorChanged);
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, ExitQuestionTest,
                         ::testing::Values(ExitCase{vb::vbNo, "Acme", true, "Albany"},
                                           ExitCase{vb::vbCancel, "Acme", false, "Albany"},
                                           ExitCase{vb::vbYes, "Acme", true, "Boston"},
                                           // Yes with no company: told to enter one; the window stays with the edits.
                                           ExitCase{vb::vbYes, "", false, "Albany"}),
                         [](const auto& info) { return std::string(kExitCaseNames[info.index]); });

TEST_F(VendorsTest, ExitWhenCleanClosesUnasked) {
    Vendors& w = open();
    w.btnExit_Click();
    EXPECT_FALSE(Form::isLoaded<Vendors>());
}

TEST_F(VendorsTest, NewVendorGivesTheNextNumberAfterTheQuestion) {
    vendor(1001, "Acme", "Albany");
    vendor(1007, "Bolt");
    Vendors& w = open();
    testsupport::type(w.txtCity, "x");
    boxes.expect(vb::vbCancel);
    w.btnNewVendor_Click();
    EXPECT_EQ(w.lblVendorNum.Caption(), "1001") << "Cancel changes nothing";
    EXPECT_EQ(w.txtCity.Text(), "Albanyx");

    boxes.expect(vb::vbNo);
    w.btnNewVendor_Click();
    EXPECT_EQ(w.lblVendorNum.Caption(), "1008");
    EXPECT_EQ(w.txtCompany.Text(), "");
    EXPECT_EQ(w.txtCity.Text(), "");
    EXPECT_EQ(w.txtDiscount.Text(), "0");
    EXPECT_FALSE(w.VendorChanged);
    EXPECT_TRUE(w.txtCompany.hasLogicalFocus());
    EXPECT_EQ(stored(1001, "City"), "Albany");

    // Another copy of the program saves its new vendor under the number
    // shown: this save takes the next one and shows it; a second replaces it.
    vendor(1008, "Drill");
    w.txtCompany.setText("Crane");
    saveWithNotice(w);
    EXPECT_EQ(w.lblVendorNum.Caption(), "1009");
    w.txtCity.setText("Chicago");
    saveWithNotice(w);
    EXPECT_EQ(stored(1008, "Company"), "Drill");
    EXPECT_EQ(stored(1009, "Company") + stored(1009, "City"), "CraneChicago");
    EXPECT_EQ(listOf(w), QStringList({"Acme", "Bolt", "Crane", "Drill"}));
}

TEST_F(VendorsTest, NewVendorWhenACompanyIsNamed0ShowsThatVendor) {
    vendor(1001, "0", "Zero City");
    Vendors& w = open();
    w.btnNewVendor_Click();
    EXPECT_EQ(w.lblVendorNum.Caption(), "1001");
    EXPECT_EQ(w.txtCity.Text(), "Zero City");
}

// Older files may hold two vendors of one company text: both are listed, and
// a save under a text another vendor has (in any capitals) is refused.
TEST_F(VendorsTest, TwoVendorsOfOneCompanyAreBothListed) {
    vendor(1001, "Acme", "Albany");
    vendor(1002, "ACME", "Boston");
    Vendors& w = open();
    EXPECT_EQ(listOf(w), QStringList({"Acme", "ACME"}));
    w.txtCity.setText("Chicago");
    boxes.expect(vb::vbOK, "Another vendor is already named Acme.");
    w.btnSave_Click();   // no notice
    EXPECT_EQ(stored(1001, "City"), "Albany");
    EXPECT_TRUE(w.VendorChanged);
    w.txtCompany.setText("Acme Tools");
    saveWithNotice(w);
    EXPECT_EQ(stored(1001, "Company") + stored(1001, "City"), "Acme ToolsChicago");
}

// The entries stay under their text; the question says how many name the
// vendor, and its title holds the whole name.
TEST_F(VendorsTest, DeleteTakesTheVendorAndKeepsItsRegisterEntries) {
    vendor(1001, "Acme");
    vendor(1002, "Bolt", "Boston");
    entry(1001, "Acme");
    entry(1002, "Bolt");
    entry(1003, "ACME");
    Vendors& w = open();

    boxes.expect(vb::vbNo, "1 register entry names Acme. It is kept. Delete the vendor?");
    w.btnDelete_Click();
    EXPECT_EQ(boxes.shown().back().title, "Delete Vendor ... Acme?");
    EXPECT_EQ(boxes.shown().back().buttons, vb::vbYesNo + vb::vbQuestion + vb::vbDefaultButton2);
    EXPECT_EQ(count("select count(*) from tb_Vendor"), 2);

    boxes.expect(vb::vbYes);
    w.btnDelete_Click();
    EXPECT_EQ(count("select count(*) from tb_Vendor where VendorNum = 1001"), 0);
    EXPECT_EQ(count("select count(*) from tb_GL"), 3);
    EXPECT_EQ(listOf(w), QStringList({"Bolt"}));
    EXPECT_EQ(w.lblVendorNum.Caption(), "1002") << "the first company left is shown";
    EXPECT_EQ(w.txtCity.Text(), "Boston");
    EXPECT_EQ(w.cmbVendors.Text(), "");
    EXPECT_FALSE(w.VendorChanged);

    // The last vendor: the list empties, the boxes keep it, and Save stores
    // it again as a new vendor, under the number it then gets.
    entry(1004, "Bolt");
    boxes.expect(vb::vbYes, "2 register entries name Bolt. They are kept. Delete the vendor?");
    w.btnDelete_Click();
    EXPECT_EQ(count("select count(*) from tb_Vendor"), 0);
    EXPECT_EQ(w.cmbVendors.ListCount(), 0);
    EXPECT_EQ(w.lblVendorNum.Caption(), "1002");
    EXPECT_EQ(w.txtCompany.Text(), "Bolt");
    saveWithNotice(w);
    EXPECT_EQ(stored(1001, "City"), "Boston");
    EXPECT_EQ(w.lblVendorNum.Caption(), "1001");
}

// Also when another copy of the program has saved its new vendor under the
// number shown meanwhile.
TEST_F(VendorsTest, DeletingAnUnsavedNewVendorDeletesNothing) {
    vendor(1001, "Acme");
    entry(1001, "");
    Vendors& w = open();
    w.btnNewVendor_Click();
    EXPECT_EQ(w.lblVendorNum.Caption(), "1002");
    vendor(1002, "Bolt");
    entry(1002, "Bolt");
    boxes.expect(vb::vbYes);
    w.btnDelete_Click();
    EXPECT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(count("select count(*) from tb_Vendor"), 2);
    EXPECT_EQ(count("select count(*) from tb_GL where Vendor = 'Bolt'"), 1);
    EXPECT_EQ(count("select count(*) from tb_GL"), 2) << "an entry filed without a vendor stays";
    EXPECT_EQ(w.lblVendorNum.Caption(), "1001");
}

TEST_F(VendorsTest, ARenamedVendorKeepsItsNumberAndTakesItsEntriesAlong) {
    vendor(1001, "Acme");
    entry(1001, "Acme");
    entry(1002, "ACME");
    Vendors& w = open();
    w.txtCompany.setText("Acme Tools");
    saveWithNotice(w);
    EXPECT_EQ(stored(1001, "Company"), "Acme Tools");
    EXPECT_EQ(count("select count(*) from tb_Vendor"), 1);
    EXPECT_EQ(folder.scalar("select group_concat(Vendor, '|') from (select Vendor from tb_GL order by TransNum)"), "Acme Tools|ACME") << "that exact text only";
}

TEST_F(VendorsTest, OpeningAgainOnlyBringsTheWindowForward) {
    vendor(1001, "Acme", "Albany");
    Vendors& w = open();
    w.txtCity.setText("typed");
    Form::get<Vendors>().Show();
    EXPECT_EQ(&Form::get<Vendors>(), &w);
    EXPECT_EQ(w.txtCity.Text(), "typed");
    EXPECT_TRUE(w.VendorChanged);
}

} // namespace
