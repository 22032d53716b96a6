// The company setup window: the record to the boxes and back, what counts as
// a change, the rate box's reading, the close box discarding edits and a
// save the data file refuses.
#include <gtest/gtest.h>
#include <vector>
#include <QTest>
#include "books/PaymentCategories.h"
#include "books/ShippingTypes.h"
#include "books/frmSetup.h"
#include "data/Globals.h"
#include "data/cSetup.h"
#include "forms/Form.h"
#include "support/FormDriver.h"
#include "support/WindowFixture.h"
#include "vb/MsgBox.h"

using forms::Form;

namespace {

class SetupWindowTest : public testsupport::WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        Globals::SetupInit();
    }
    // A stored company row with a rowid a save would not keep (a save
    // deletes the row and inserts a fresh one).
    void storeCompany() {
        folder.exec("insert into tb_Company (rowid, Name, Address1, Address2, City, State, Zipcode, phone, Fax, "
                    "website, statetaxrate) values (7, 'Acme Books', '1 Main St', 'Suite 2', 'Springfield', 'IL', "
                    "'62701', '555-0100', '555-0101', 'acme.example', 6.25)");
        Globals::SetupInit();
    }
    frmSetup& open() {
        frmSetup& f = Form::get<frmSetup>();
        f.Show();
        return f;
    }
    std::vector<QStringList> stored() const {
        return folder.query("select rowid, Name, Address1, Address2, City, State, Zipcode, phone, Fax, website, "
                            "statetaxrate from tb_Company");
    }
    std::vector<controls::TextBox*> boxes_of(frmSetup& f) {
        return {&f.txtCoName, &f.txtCoAddress1, &f.txtCoAddress2, &f.txtCoCity, &f.txtCoState,
                &f.TxtCoZipCode, &f.txtCoPhone, &f.txtCoFax, &f.txtCoWebSite, &f.txtCoStateTaxRate};
    }
};

TEST_F(SetupWindowTest, ShowsItsCaptionsLabelsAndButtons) {
    frmSetup& f = open();
    EXPECT_EQ(f.Caption(), "Setup");
    EXPECT_EQ(f.Frame1.Caption(), "Company Info");
    const std::vector<std::pair<controls::Label*, const char*>> labels = {
        {&f.lblCoName, "Name:"},       {&f.lblCoAddress1, "Address:"}, {&f.lblCoAddress2, "Address2:"},
        {&f.lblCoCity, "City:"},       {&f.lblCoState, "State:"},      {&f.lblCoZipCode, "Zip Code:"},
        {&f.lblCoPhone, "Phone:"},     {&f.lblCoFax, "Fax:"},          {&f.lblCoWebSite, "Website:"},
        {&f.lblCoStateTaxRate, "State Tax Rate %:"}};
    for (const auto& [label, caption] : labels) EXPECT_EQ(label->Caption(), caption);
    // Every label sits beside its box, top to bottom in the table's order.
    auto boxes = boxes_of(f);
    for (size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_LT(std::abs(labels[i].first->Top() - boxes[i]->Top()), 100) << labels[i].second;
        if (i > 0) EXPECT_GT(boxes[i]->Top(), boxes[i - 1]->Top());
    }
    EXPECT_EQ(f.btnPayments.Caption(), "&Payment Terms");
    EXPECT_EQ(f.btnPayments.ToolTipText(), "Payment Methods");
    EXPECT_EQ(f.btnShipping.Caption(), "&Shipping Types");
    EXPECT_EQ(f.btnShipping.ToolTipText(), "Shipping Methods/Prices");
    EXPECT_EQ(f.btnExit.Caption(), "Save and &Exit");
    EXPECT_EQ(f.btnExit.ToolTipText(), "Save and Exit");
}

TEST_F(SetupWindowTest, NoCompanyRowOpensEmptyAndATypedNameStoresTheFirstRow) {
    frmSetup& f = open();
    for (auto* box : boxes_of(f))
        if (box != &f.txtCoStateTaxRate) EXPECT_EQ(box->Text(), "");
    EXPECT_EQ(f.txtCoStateTaxRate.Text(), "0");
    EXPECT_FALSE(f.SetupChanged);

    testsupport::type(f.txtCoName, "New Co");
    EXPECT_TRUE(f.SetupChanged);
    testsupport::click(f.btnExit);
    testsupport::pump();
    EXPECT_FALSE(Form::isLoaded<frmSetup>());
    const auto rows = stored();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][1], "New Co");
    EXPECT_EQ(rows[0][2], "");
    EXPECT_EQ(rows[0][10].toDouble(), 0.0);
}

TEST_F(SetupWindowTest, UntouchedWindowWritesNothing) {
    storeCompany();
    frmSetup& f = open();
    EXPECT_EQ(f.txtCoName.Text(), "Acme Books");
    EXPECT_EQ(f.txtCoWebSite.Text(), "acme.example");
    EXPECT_EQ(f.txtCoStateTaxRate.Text(), "6.25");
    EXPECT_FALSE(f.SetupChanged);
    testsupport::click(f.btnExit);
    testsupport::pump();
    EXPECT_FALSE(Form::isLoaded<frmSetup>());
    const auto rows = stored();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], "7");   // the very row stored before: not rewritten
}

TEST_F(SetupWindowTest, TypingAndDeletingACharacterCountsAsAChange) {
    storeCompany();
    frmSetup& f = open();
    testsupport::type(f.txtCoCity, "x");
    testsupport::key(f.txtCoCity.editor(), Qt::Key_Backspace);
    EXPECT_EQ(f.txtCoCity.Text(), "Springfield");
    EXPECT_TRUE(f.SetupChanged);
    testsupport::click(f.btnExit);
    testsupport::pump();
    const auto rows = stored();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_NE(rows[0][0], "7");   // saved anew, as shown
    EXPECT_EQ(rows[0].mid(1, 9), QStringList({"Acme Books", "1 Main St", "Suite 2", "Springfield", "IL", "62701",
                                              "555-0100", "555-0101", "acme.example"}));
    EXPECT_EQ(rows[0][10].toDouble(), 6.25);
}

TEST_F(SetupWindowTest, EveryBoxGoesToItsColumnAndComesBack) {
    storeCompany();
    frmSetup& f = open();
    const QStringList typed = {"O'Brien's Books", "2 Elm \"Rd\"", "", "Shelbyville", "IN", "46176-1234",
                               "(555) 010-2000", "555 0102", "https://obrien.example/shop", "7.125"};
    auto boxes = boxes_of(f);
    for (size_t i = 0; i < boxes.size(); ++i) {
        boxes[i]->setText(QString());
        testsupport::type(*boxes[i], typed[int(i)]);
    }
    testsupport::click(f.btnExit);
    testsupport::pump();
    ASSERT_FALSE(Form::isLoaded<frmSetup>());
    const auto rows = stored();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].mid(1, 9), typed.mid(0, 9));
    EXPECT_EQ(rows[0][10].toDouble(), 7.125);

    // The shared instance holds what was saved, and the window reopens with it.
    frmSetup& again = open();
    auto reopened = boxes_of(again);
    for (size_t i = 0; i < reopened.size(); ++i) EXPECT_EQ(reopened[i]->Text(), typed[int(i)]) << i;
    EXPECT_FALSE(again.SetupChanged);
}

TEST_F(SetupWindowTest, SavingRenewsTheRateAndNameEveryWindowUses) {
    storeCompany();
    Globals::CoName = "Acme Books";
    const double startRate = Globals::StateTaxRate;
    ASSERT_EQ(startRate, 6.25);
    frmSetup& f = open();
    f.txtCoStateTaxRate.setText("8");
    f.txtCoName.setText("Renamed");
    f.btnExit_Click();
    EXPECT_EQ(folder.scalar("select statetaxrate from tb_Company").toDouble(), 8.0);
    EXPECT_EQ(Globals::StateTaxRate, 8.0);
    EXPECT_EQ(Globals::CoName, "Renamed");
}

struct RateCase {
    const char* name;
    const char* box;
    double stored;
};

class RateBoxTest : public SetupWindowTest, public ::testing::WithParamInterface<RateCase> {};

TEST_P(RateBoxTest, SavesTheNumberAtTheStartOfTheBox) {
    frmSetup& f = open();
    f.txtCoStateTaxRate.setText(QString::fromUtf8(GetParam().box));
    testsupport::click(f.btnExit);
    testsupport::pump();
    EXPECT_FALSE(Form::isLoaded<frmSetup>());
    EXPECT_DOUBLE_EQ(folder.scalar("select statetaxrate from tb_Company").toDouble(), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Rates, RateBoxTest,
                         ::testing::Values(RateCase{"Plain", "7.5", 7.5}, RateCase{"WithPercent", "7.25 %", 7.25},
                                           RateCase{"LeadingBlanks", "   4.75", 4.75},
                                           RateCase{"LettersOnly", "abc", 0}, RateCase{"Empty", "", 0},
                                           RateCase{"CommaStopsTheNumber", "7,25", 7},
                                           RateCase{"LeadingPoint", ".5", 0.5}, RateCase{"Exponent", "1E-05", 0.00001},
                                           RateCase{"TwoPoints", "1.2.3", 1.2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SetupRateText, ShownRateReadsBackAsTheSameRate) {
    for (double rate : {0.0, 6.25, 7.125, 8.875, 0.00001, 12.3456789012345, 1e20, -1.5})
        EXPECT_EQ(frmSetup::RateFromText(frmSetup::RateText(rate)), rate) << frmSetup::RateText(rate).toStdString();
    EXPECT_EQ(frmSetup::RateText(0), "0");
}

TEST_F(SetupWindowTest, RateTooLargeForADoubleKeepsTheWindowOpen) {
    storeCompany();
    frmSetup& f = open();
    f.txtCoStateTaxRate.setText("1e400");
    boxes.expect(vb::vbOK, "frmsetup.btnexit_Click -6 Overflow.  If error persists contact Vantrels author.");
    testsupport::click(f.btnExit);
    testsupport::pump();
    ASSERT_TRUE(Form::isLoaded<frmSetup>());
    EXPECT_EQ(f.txtCoStateTaxRate.Text(), "1e400");
    EXPECT_TRUE(f.SetupChanged);
    EXPECT_EQ(stored()[0][0], "7");
    EXPECT_EQ(Globals::SharedSetup->Statetaxrate, 6.25);
}

TEST_F(SetupWindowTest, CloseBoxDiscardsTheEdits) {
    storeCompany();
    frmSetup& f = open();
    testsupport::type(f.txtCoName, " Ltd");
    f.close();
    testsupport::pump();
    EXPECT_FALSE(Form::isLoaded<frmSetup>());
    EXPECT_EQ(stored()[0][0], "7");
    EXPECT_EQ(open().txtCoName.Text(), "Acme Books");
}

TEST_F(SetupWindowTest, SaveStillWritesAfterTheSharedConnectionWasClosed) {
    // The list editors opened from this window close the shared connection
    // after their own saves.
    storeCompany();
    frmSetup& f = open();
    // Nothing holds the file while the window waits: repair may run.
    EXPECT_FALSE(ado::Connection::IsFileOpen(folder.dataFile()));
    testsupport::type(f.txtCoPhone, "9");
    Globals::SharedSetup->CloseCn();
    testsupport::click(f.btnExit);
    testsupport::pump();
    EXPECT_FALSE(Form::isLoaded<frmSetup>());
    EXPECT_EQ(folder.scalar("select phone from tb_Company"), "555-01009");
}

TEST_F(SetupWindowTest, ListButtonsOpenTheirEditorsModallyAndLeaveTheCompanyBoxesUnsaved) {
    storeCompany();
    folder.exec("insert into tb_PaymentTypes (type) values ('Check')");
    folder.exec("insert into tb_Shipping (service, [option], charge) values ('Ground', '1 lb', 4.5)");
    Globals::SetupInit();
    frmSetup& f = open();
    testsupport::type(f.txtCoFax, "7");
    {
        testsupport::ModalAnswer answer([&](Form& w) {
            auto* editor = dynamic_cast<PaymentCategories*>(&w);
            ASSERT_NE(editor, nullptr);
            EXPECT_TRUE(editor->IsModal());
            EXPECT_EQ(editor->Owner(), &f);
            EXPECT_EQ(editor->PaymentList.TextMatrix(1, 1), "Check");
            editor->btnExit_Click();
        });
        testsupport::click(f.btnPayments);
    }
    {
        testsupport::ModalAnswer answer([&](Form& w) {
            auto* editor = dynamic_cast<ShippingTypes*>(&w);
            ASSERT_NE(editor, nullptr);
            EXPECT_TRUE(editor->IsModal());
            EXPECT_EQ(editor->Owner(), &f);
            EXPECT_EQ(editor->ShippingList.TextMatrix(1, 1), "Ground");
            editor->btnExit_Click();
        });
        testsupport::click(f.btnShipping);
    }
    testsupport::pump();
    ASSERT_TRUE(Form::isLoaded<frmSetup>());
    EXPECT_FALSE(Form::isLoaded<PaymentCategories>());
    EXPECT_FALSE(Form::isLoaded<ShippingTypes>());
    EXPECT_TRUE(f.SetupChanged);
    EXPECT_EQ(stored()[0][0], "7");
    testsupport::click(f.btnExit);
    testsupport::pump();
    EXPECT_EQ(folder.scalar("select Fax from tb_Company"), "555-01017");
}

TEST_F(SetupWindowTest, RefusedSaveKeepsTheStoredRecordAndTheWindowOpen) {
    storeCompany();
    folder.exec("create trigger refuse_company before insert on tb_Company begin select raise(abort, 'refused'); end");
    frmSetup& f = open();
    f.txtCoName.setText("Lost Co");
    boxes.expect(vb::vbOK, "frmsetup.btnexit_Click --2147467259 The company information could not be saved.  If "
                           "error persists contact Vantrels author.");
    testsupport::click(f.btnExit);
    testsupport::pump();
    ASSERT_TRUE(Form::isLoaded<frmSetup>());
    EXPECT_EQ(f.txtCoName.Text(), "Lost Co");
    EXPECT_TRUE(f.SetupChanged);
    const auto rows = stored();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][1], "Acme Books");
    EXPECT_EQ(Globals::SharedSetup->Name, "Acme Books");

    // Once the data file takes it, the same Exit saves.
    folder.exec("drop trigger refuse_company");
    testsupport::click(f.btnExit);
    testsupport::pump();
    EXPECT_FALSE(Form::isLoaded<frmSetup>());
    EXPECT_EQ(folder.scalar("select Name from tb_Company"), "Lost Co");
}

TEST_F(SetupWindowTest, WithoutTheSharedInstanceTheLoadReportsAndExitStillCloses) {
    Globals::SharedSetup.reset();
    boxes.expect(vb::vbOK, "frmsetup.Form_Load -91 Object variable or With block variable not set.  If error "
                           "persists contact Vantrels author.");
    frmSetup& f = open();
    EXPECT_FALSE(f.SetupChanged);
    testsupport::click(f.btnExit);
    testsupport::pump();
    EXPECT_FALSE(Form::isLoaded<frmSetup>());
}

} // namespace
