// The client editor: every field to the data file and back, the change
// flags, a discount that is no number, the unsaved-changes question, new
// client, delete, the copy buttons and the first client of an empty file.
#include <gtest/gtest.h>
#include <vector>
#include <QLocale>
#include "customers/Customer.h"
#include "customers/InvoiceDetail.h"
#include "customers/Profile.h"
#include "customers/StatusWindow.h"
#include "data/Globals.h"
#include "forms/Form.h"
#include "support/FormDriver.h"
#include "support/WindowFixture.h"
#include "vb/Conv.h"
#include "vb/MsgBox.h"

using forms::Form;

namespace {

QString money(double x) { return vb::FormatCurrency(vb::Currency::fromDouble(x)); }

class ClientEditorTest : public testsupport::WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        // The one-second pause of a save passes at once, and notes whether
        // the save notice was on screen meanwhile.
        Globals::setPauseClock([this] {
            if (Form::isLoaded<CustomerSaved>() && Form::get<CustomerSaved>().isVisible()) noticeSeen = true;
            pauseNow += 0.25;
            return pauseNow;
        });
    }
    void TearDown() override {
        WindowFixture::TearDown();
        Globals::setPauseClock({});
    }
    void client(int num, const QString& first, const QString& last, const QString& extraCols = {},
                const QString& extraVals = {}) {
        folder.exec(QStringLiteral("insert into tb_Client (CustNum, Fname, Lname%1) values (%2, '%3', '%4'%5)")
                        .arg(extraCols.isEmpty() ? QString() : ", " + extraCols)
                        .arg(num)
                        .arg(first, last, extraVals.isEmpty() ? QString() : ", " + extraVals));
    }
    void twoClients() {
        client(1001, "John", "Smith", "Company, Notes", "'Acme', 'Keep ''these'' notes'");
        client(1002, "Ann", "Other");
    }
    // The program started on this data file, then the editor on a client.
    Profile& open(int cust) {
        Form::get<Customer>();
        Globals::CurrentCustNum = cust;
        Profile& p = Form::get<Profile>();
        p.Show();
        return p;
    }
    QString stored(int cust, const QString& column) const {
        return folder.scalar(QStringLiteral("select %1 from tb_Client where CustNum = %2").arg(column).arg(cust));
    }
    int number(const QString& sql) const { return folder.scalar(sql).toInt(); }
    int listRows() { return Form::get<Customer>().CustList2.Rows(); }

    double pauseNow = 0;
    bool noticeSeen = false;
};

// Every box of the three tabs with its column.
std::vector<std::pair<controls::TextBox*, const char*>> everyBox(Profile& p) {
    return {
        {&p.txtFname, "Fname"}, {&p.txtMname, "Mname"}, {&p.txtLname, "Lname"}, {&p.txtAddress, "Address1"},
        {&p.txtAddress2, "Address2"}, {&p.txtCity, "City"}, {&p.txtState, "State"}, {&p.txtZipCode, "ZipCode"},
        {&p.txtHomePhone, "HomePhone"}, {&p.txtCellPhone, "CelPhone"}, {&p.txtWorkPhone, "WorkPhone"},
        {&p.txtFax, "Fax"}, {&p.txtCompany, "Company"}, {&p.txtEmail, "Email"}, {&p.txtWebPage, "Webpage"},
        {&p.txtBillFname, "BillFname"}, {&p.txtBillMName, "BillMname"}, {&p.txtBillLname, "BillLname"},
        {&p.txtBillAddress, "BillAddress1"}, {&p.txtBillAddress2, "BillAddress2"}, {&p.txtBillCity, "BillCity"},
        {&p.txtBillState, "BillState"}, {&p.TxtBillZipCode, "BillZipcode"}, {&p.txtBillHomePHone, "BillHomePhone"},
        {&p.txtBillCellPhone, "BillCelPhone"}, {&p.txtBillWorkPhone, "BillWorkPhone"}, {&p.txtBillFax, "BillFax"},
        {&p.txtBillEmail, "BillEmail"}, {&p.txtBillWebPage, "BillWebpage"}, {&p.txtPOnum, "POnum"},
        {&p.txtCard1, "CardNum1"}, {&p.txtExpDate1, "expdate1"}, {&p.txtCard2, "CardNum2"},
        {&p.txtExpDate2, "expdate2"}, {&p.txtShippingFname, "ShipFname"}, {&p.txtShippingMname, "shipMname"},
        {&p.txtshippingLname, "ShipLname"}, {&p.txtShippingAddress, "shipAddress1"},
        {&p.txtShippingAddress2, "shipAddress2"}, {&p.txtShippingCity, "ShipCity"},
        {&p.txtShippingState, "ShipState"}, {&p.txtShippingZipCode, "ShipZipcode"},
        {&p.txtShippingHomePhone, "ShipHomePhone"}, {&p.txtShippingCelPhone, "ShipCelPhone"},
        {&p.txtShippingWorkPhone, "ShipWorkphone"},
    };
}

TEST_F(ClientEditorTest, EveryFieldGoesToTheDataFileAndComesBack) {
    twoClients();
    folder.exec("insert into tb_PaymentTypes (type) values ('Visa'), ('Check')");
    Profile& p = open(1001);
    auto boxesOf = everyBox(p);
    ASSERT_EQ(boxesOf.size() + 1, 46u) << "45 boxes here, the discount the 46th";
    for (auto& [box, column] : boxesOf)
        box->setText(QString::fromUtf8("%1 O'Brien & Zoë; \"x\"").arg(QString::fromLatin1(column)));
    p.txtMname.setText("");
    p.txtDiscount.setText("12.5");
    p.cmbPmtType1.setText("Visa");
    p.cmbPmtType2.setText(QString::fromUtf8("Diners' Club é"));
    // The main list reloaded meanwhile (a new shared client instance).
    Globals::RefreshCustList();
    p.btnSave_Click();
    EXPECT_TRUE(boxes.shown().empty()) << boxes.lastPrompt().toStdString();

    for (auto& [box, column] : boxesOf) {
        const QString want = box == &p.txtMname ? QString()
                                                 : QString::fromUtf8("%1 O'Brien & Zoë; \"x\"").arg(QString::fromLatin1(column));
        EXPECT_EQ(stored(1001, column), want) << column;
    }
    EXPECT_DOUBLE_EQ(stored(1001, "Discount").toDouble(), 12.5);
    EXPECT_EQ(stored(1001, "PaymentType1"), "Visa");
    EXPECT_EQ(stored(1001, "PaymentType2"), QString::fromUtf8("Diners' Club é"));
    EXPECT_EQ(stored(1001, "Notes"), "Keep 'these' notes") << "no box shows the notes; the save keeps them";
    EXPECT_EQ(number("select count(*) from tb_Client"), 2);

    // And back into the boxes.
    Form::Unload(p);
    Profile& again = open(1001);
    for (auto& [box, column] : everyBox(again))
        if (box != &again.txtMname)
            EXPECT_EQ(box->Text(), QString::fromUtf8("%1 O'Brien & Zoë; \"x\"").arg(QString::fromLatin1(column)))
                << column;
    EXPECT_EQ(again.txtDiscount.Text(), "12.5");
    EXPECT_EQ(again.cmbPmtType2.Text(), QString::fromUtf8("Diners' Club é"));
    EXPECT_FALSE(again.ProfileChanged);
}

TEST_F(ClientEditorTest, ChangeFlagsDecideWhetherTheMainListIsReloaded) {
    twoClients();
    folder.exec("update tb_Client set PaymentType1 = 'Diners' where CustNum = 1001");
    folder.exec("insert into tb_PaymentTypes (type) values ('Visa'), ('Check')");
    Profile& p = open(1001);
    // Loading is no edit, also with a stored type the list does not hold.
    EXPECT_FALSE(p.ProfileChanged);
    EXPECT_EQ(p.cmbPmtType1.Text(), "Diners");
    EXPECT_EQ(p.cmbPmtType1.ListCount(), 2);
    // Filling the listed fields counts, so an unedited save reloads the list.
    EXPECT_TRUE(Globals::ClientListChanged);

    struct Step {
        const char* what;
        std::function<void()> edit;
        bool reloads;
    } steps[] = {
        {"unedited, named client", [] {}, true},
        {"company only", [&] { testsupport::type(p.txtCompany, "X"); }, false},
        {"e-mail typed", [&] { testsupport::type(p.txtEmail, "a@b"); }, true},
        {"payment type picked", [&] { p.cmbPmtType2.Pick(1); }, false},
    };
    int next = 2001;
    for (const Step& s : steps) {
        s.edit();
        // A client added behind the editor's back shows only if the list is reloaded.
        client(next++, "New", "Row");
        const int before = listRows();
        p.btnSave_Click();
        EXPECT_EQ(listRows() > before, s.reloads) << s.what;
        EXPECT_FALSE(p.ProfileChanged) << s.what;
    }
    EXPECT_EQ(stored(1001, "PaymentType2"), p.cmbPmtType2.List(1));

    // A pick from the list is an edit the window asks about.
    p.cmbPmtType1.Pick(0);
    EXPECT_TRUE(p.ProfileChanged);
}

// One reading in every locale: "." or "," as the decimal point, 0 to 100;
// anything else is refused by name, nothing is written and the edits stay.
TEST_F(ClientEditorTest, DiscountIsANumberFromZeroToAHundredOrTheSaveIsRefused) {
    struct Case { const char* typed; bool german; double stored; } cases[] = {
        {"12,5", false, 12.5}, {"12.5", true, 12.5}, {"abc", false, -1}, {"125", false, -1},
        {"-1", false, -1}, {"1.234,5", true, -1}, {"7 5", false, -1},
    };
    twoClients();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        if (c.german) QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        folder.exec("update tb_Client set Discount = 3, Lname = 'Smith' where CustNum = 1001");
        Profile& p = open(1001);
        p.txtLname.setText("Changed");
        p.txtDiscount.setText(QString::fromUtf8(c.typed));
        if (c.stored < 0) {
            boxes.expect(vb::vbOK, "Discount% must be a number from 0 to 100.");
            // New invoice reads the box by the same rule: no invoice opens.
            boxes.expect(vb::vbNo);
            boxes.expect(vb::vbOK, "Discount% must be a number from 0 to 100.");
        }
        p.btnSave_Click();
        EXPECT_EQ(stored(1001, "Discount").toDouble(), c.stored < 0 ? 3 : c.stored);
        EXPECT_EQ(stored(1001, "Lname"), c.stored < 0 ? "Smith" : "Changed");
        if (c.stored < 0) {
            EXPECT_TRUE(p.ProfileChanged);
            EXPECT_EQ(p.txtDiscount.Text(), QString::fromUtf8(c.typed));
            p.btnNewInvoice_Click();
            EXPECT_FALSE(Form::isLoaded<InvoiceDetail>());
        }
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        testsupport::ResetWindowsAndState();
    }
    // No connection is left open: compaction goes ahead.
    boxes.expect(vb::vbOK);
    EXPECT_TRUE(Globals::CompactDatabase("vantrel.mdb"));
}

TEST_F(ClientEditorTest, UnsavedChangesQuestionForEachCommandAndAnswer) {
    enum Cmd { Exit, NewClient, NewInvoice };
    struct Case {
        Cmd cmd;
        int answer;
        bool saved, windowOpen, formCleared;
    } cases[] = {
        {Exit, vb::vbYes, true, false, false},      {Exit, vb::vbNo, false, false, false},
        {Exit, vb::vbCancel, false, true, false},   {NewClient, vb::vbYes, true, true, true},
        {NewClient, vb::vbNo, false, true, true},   {NewClient, vb::vbCancel, false, true, false},
        {NewInvoice, vb::vbCancel, false, true, false},
    };
    twoClients();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "command " << c.cmd << ", answer " << c.answer);
        folder.exec("update tb_Client set Company = 'Acme' where CustNum = 1001");
        Profile& p = open(1001);
        testsupport::type(p.txtCompany, " Ltd");
        boxes.clear();
        boxes.expect(c.answer);
        switch (c.cmd) {
        case Exit: p.btnExit_Click(); break;
        case NewClient: p.btnNewCustomer_Click(); break;
        case NewInvoice: p.btnNewInvoice_Click(); break;
        }
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].prompt, "Save Changes to Smith, John?");
        EXPECT_EQ(boxes.shown()[0].title, "Save Client Pofile?");
        EXPECT_EQ(boxes.shown()[0].buttons, 291);
        EXPECT_EQ(stored(1001, "Company"), c.saved ? "Acme Ltd" : "Acme");
        EXPECT_EQ(Form::isLoaded<Profile>(), c.windowOpen);
        EXPECT_FALSE(Form::isLoaded<InvoiceDetail>());
        if (c.windowOpen) {
            Profile& still = Form::get<Profile>();
            EXPECT_EQ(still.lblCustNum.Caption(), c.formCleared ? "1003" : "1001");
            EXPECT_EQ(still.txtCompany.Text(), c.formCleared ? "" : "Acme Ltd");
            EXPECT_EQ(still.ProfileChanged, !c.formCleared && c.answer == vb::vbCancel);
        }
        testsupport::ResetWindowsAndState();
    }
}

TEST_F(ClientEditorTest, YesWithASaveThatFailsEndsTheCommand) {
    twoClients();
    Profile& p = open(1001);
    p.txtDiscount.setText("abc");
    boxes.expect(vb::vbYes);
    boxes.expect(vb::vbOK);   // the save's error report
    p.btnExit_Click();
    EXPECT_TRUE(Form::isLoaded<Profile>()) << "the window stays with its edits";
    EXPECT_TRUE(p.ProfileChanged);
    EXPECT_EQ(p.txtDiscount.Text(), "abc");
}

TEST_F(ClientEditorTest, SaveRefusedByTheDataFileChangesNothingAndEndsTheCommand) {
    enum Cmd { Save, Exit, NewClient, NewInvoice };
    twoClients();
    for (Cmd cmd : {Save, Exit, NewClient, NewInvoice}) {
        SCOPED_TRACE(testing::Message() << "command " << cmd);
        boxes.clear();
        noticeSeen = false;
        Form::get<Customer>();
        Globals::NewClientMode = true;
        Profile& p = open(0);
        const QString shown = p.lblCustNum.Caption();
        testsupport::type(p.txtLname, "Jones");
        // A client added behind the editor's back would show if the list were reloaded.
        client(2001 + cmd, "Behind", "Back");
        const int rowsBefore = listRows(), stored = number("select count(*) from tb_Client");
        folder.exec("CREATE TRIGGER refuse BEFORE INSERT ON tb_Client BEGIN SELECT RAISE(ABORT, 'refused'); END");
        if (cmd != Save) boxes.expect(vb::vbYes);
        boxes.expect(vb::vbOK);   // the data layer's report
        switch (cmd) {
        case Save: p.btnSave_Click(); break;
        case Exit: p.btnExit_Click(); break;
        case NewClient: p.btnNewCustomer_Click(); break;
        case NewInvoice: p.btnNewInvoice_Click(); break;
        }
        ASSERT_EQ(boxes.shown().size(), cmd == Save ? 1u : 2u) << boxes.lastPrompt().toStdString();
        EXPECT_TRUE(boxes.lastPrompt().startsWith("Client.SaveClientAccess -")) << boxes.lastPrompt().toStdString();
        EXPECT_FALSE(noticeSeen) << "no saved notice for a save that did not happen";
        EXPECT_EQ(listRows(), rowsBefore);
        ASSERT_TRUE(Form::isLoaded<Profile>()) << "the window stays with its edits";
        EXPECT_EQ(p.lblCustNum.Caption(), shown);
        EXPECT_EQ(p.txtLname.Text(), "Jones");
        EXPECT_TRUE(p.ProfileChanged);
        EXPECT_TRUE(Globals::NewClientMode) << "the client is still unsaved";
        EXPECT_FALSE(Form::isLoaded<InvoiceDetail>());
        EXPECT_EQ(number("select count(*) from tb_Client"), stored);
        folder.exec("DROP TRIGGER refuse");
        // No connection was left open.
        boxes.expect(vb::vbOK);
        EXPECT_TRUE(Globals::CompactDatabase("vantrel.mdb"));
        testsupport::ResetWindowsAndState();
    }
}

TEST_F(ClientEditorTest, DeleteRefusedByTheDataFileKeepsTheSelection) {
    twoClients();
    Profile& p = open(1001);
    folder.exec("CREATE TRIGGER refuse BEFORE DELETE ON tb_Client BEGIN SELECT RAISE(ABORT, 'refused'); END");
    boxes.expect(vb::vbYes);
    boxes.expect(vb::vbOK);   // the data layer's report
    p.btnDelete_Click();
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_TRUE(boxes.lastPrompt().startsWith("Client.DeleteClient -")) << boxes.lastPrompt().toStdString();
    EXPECT_EQ(number("select count(*) from tb_Client where CustNum = 1001"), 1);
    EXPECT_EQ(Globals::CurrentCustNum, 1001);
    EXPECT_EQ(Globals::CurrentCustName, "Smith, John");
    EXPECT_FALSE(Form::isLoaded<Profile>());
    EXPECT_EQ(listRows(), 3);
}

TEST_F(ClientEditorTest, NewClientTwiceAndNewInvoiceOnANeverSavedClient) {
    twoClients();
    folder.exec("insert into tb_PaymentTypes (type) values ('Visa'), ('Check')");
    Profile& p = open(1001);
    p.btnNewCustomer_Click();
    p.btnNewCustomer_Click();
    EXPECT_TRUE(boxes.shown().empty()) << "nothing edited: no question";
    EXPECT_EQ(p.cmbPmtType1.ListCount(), 2);
    EXPECT_EQ(p.cmbPmtType2.ListCount(), 2);
    EXPECT_EQ(p.lblCustNum.Caption(), "1003");
    EXPECT_EQ(p.txtDiscount.Text(), "0");
    EXPECT_EQ(p.lblBalDue.Caption(), "");
    EXPECT_EQ(Globals::CurrentCustNum, 1001) << "the number shown is not the current client";
    EXPECT_EQ(Globals::CurrentCustName, "Smith, John");
    EXPECT_TRUE(Globals::NewClientMode);
    EXPECT_EQ(number("select count(*) from tb_Client"), 2) << "the number is only shown";

    // Nothing typed: the message, no editor.
    boxes.expect(vb::vbOK);
    p.btnNewInvoice_Click();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].prompt, "New Client data must be saved to enter invoice.");
    EXPECT_EQ(boxes.shown()[0].buttons, 0);
    EXPECT_FALSE(Form::isLoaded<InvoiceDetail>());

    // Typed, then No to saving: the same.
    testsupport::type(p.txtLname, "Jones");
    boxes.expect(vb::vbNo);
    boxes.expect(vb::vbOK);
    p.btnNewInvoice_Click();
    ASSERT_EQ(boxes.shown().size(), 3u);
    EXPECT_EQ(boxes.shown()[1].prompt, "Save Changes to Jones, ?");
    EXPECT_EQ(boxes.shown()[2].prompt, "New Client data must be saved to enter invoice.");
    EXPECT_FALSE(Form::isLoaded<InvoiceDetail>());
    EXPECT_EQ(number("select count(*) from tb_Client"), 2);

    // Closing the window ends new-client mode.
    Form::Unload(p);
    EXPECT_FALSE(Globals::NewClientMode);
}

// Another copy of the program saves its new client under the number this
// editor shows: the save here takes the next free number and shows it.
TEST_F(ClientEditorTest, ANewClientTakesItsNumberAtItsFirstSave) {
    twoClients();
    Profile& p = open(1001);
    p.btnNewCustomer_Click();
    ASSERT_EQ(p.lblCustNum.Caption(), "1003");
    client(1003, "Bob", "Baker");
    testsupport::type(p.txtLname, "Adams");
    ASSERT_TRUE(p.SaveProfile());
    EXPECT_EQ(p.lblCustNum.Caption(), "1004");
    EXPECT_EQ(Globals::CurrentCustNum, 1004);
    testsupport::type(p.txtCity, "Albany");
    ASSERT_TRUE(p.SaveProfile());   // saved again: replaces its own row
    EXPECT_EQ(stored(1003, "Lname"), "Baker");
    EXPECT_EQ(stored(1004, "Lname") + stored(1004, "City"), "AdamsAlbany");
    EXPECT_EQ(number("select count(*) from tb_Client"), 4);
}

TEST_F(ClientEditorTest, NewInvoiceTakesTheDiscountAsShown) {
    twoClients();
    Profile& p = open(1001);
    testsupport::type(p.txtDiscount, "12.5");
    boxes.expect(vb::vbNo);
    p.btnNewInvoice_Click();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_DOUBLE_EQ(Globals::CurrentCustDiscount, 12.5) << "the box as shown, not as saved";
    EXPECT_EQ(Globals::CurrentCustNum, 1001);
    EXPECT_EQ(Globals::CurrentInvoiceNum, 0);
    EXPECT_EQ(Globals::CurrentCustName, "");
    ASSERT_TRUE(Form::isLoaded<InvoiceDetail>());
    EXPECT_EQ(Form::get<InvoiceDetail>().Owner(), nullptr);
    EXPECT_DOUBLE_EQ(stored(1001, "Discount").toDouble(), 0);

    // A client number without a row is refused.
    testsupport::ResetWindowsAndState();
    boxes.clear();
    Profile& gone = open(1001);
    folder.exec("delete from tb_Client where CustNum = 1001");
    boxes.expect(vb::vbOK);
    gone.btnNewInvoice_Click();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.lastPrompt(), "Select or enter a client first.");
    EXPECT_FALSE(Form::isLoaded<InvoiceDetail>());
}

TEST_F(ClientEditorTest, DeleteAnsweredYesRemovesEverythingOfTheClientAndNoKeepsIt) {
    for (int answer : {vb::vbNo, vb::vbYes}) {
        SCOPED_TRACE(answer == vb::vbYes ? "Yes" : "No");
        boxes.clear();
        twoClients();
        folder.exec("insert into tb_Inventory (ItemNum, CatNum, Description, charge, par, instock) "
                    "values (1, 1, 'Counted', 10, 5, 10)");
        folder.exec("insert into tb_Invoice (InvoiceNum, CustNum, [Date], discount, tax, shippingcharge, interest) "
                    "values (1001, 1001, '2026-02-01 00:00:00', 0, 0, 0, 0)");
        folder.exec("insert into tb_trans (TransNum, InvoiceNum, ItemNum, Qty, Amount, Notes, Backorder) "
                    "values (1, 1001, 1, 4, 40, '', 0)");
        folder.exec("insert into tb_Receive (TransNum, CustNum, Type, CheckNum, [Date], Amount, Notes) "
                    "values (1, 1001, 'Cash', '', '2026-02-02 00:00:00', 15, '')");
        Profile& p = open(1001);
        EXPECT_EQ(p.lblBalDue.Caption(), money(25));
        EXPECT_EQ(p.lblBalDue.ForeColor(), 255);
        client(1003, "Behind", "Back");   // shows only when the list is reloaded
        boxes.expect(answer);
        p.btnDelete_Click();
        ASSERT_EQ(boxes.shown().size(), 1u) << boxes.lastPrompt().toStdString();
        EXPECT_EQ(boxes.shown()[0].prompt,
                  "Deleting a client is not recommended when transactions exist for the client.  All transactions "
                  "for [Smith, John] will be deleted along with the client's profile.  Do you wish to do this?");
        EXPECT_EQ(boxes.shown()[0].title, "Delete Client ... Smith, John?");
        EXPECT_EQ(boxes.shown()[0].buttons, 292);
        const bool yes = answer == vb::vbYes;
        EXPECT_EQ(number("select count(*) from tb_Client where CustNum = 1001"), yes ? 0 : 1);
        EXPECT_EQ(number("select count(*) from tb_Invoice"), yes ? 0 : 1);
        EXPECT_EQ(number("select count(*) from tb_trans"), yes ? 0 : 1);
        EXPECT_EQ(number("select count(*) from tb_Receive"), yes ? 0 : 1);
        EXPECT_EQ(number("select instock from tb_Inventory where ItemNum = 1"), 10) << "stock is not given back";
        EXPECT_EQ(listRows(), yes ? 3 : 4);
        EXPECT_FALSE(Form::isLoaded<Profile>());
        // After a delete the main list's highlighted client is the current one.
        EXPECT_EQ(Globals::CurrentCustNum, yes ? 1003 : 1001);
        EXPECT_EQ(Globals::CurrentCustName, yes ? "Back, Behind " : "Smith, John");
        testsupport::ResetWindowsAndState();
        folder.exec("delete from tb_Client; delete from tb_Invoice; delete from tb_trans; delete from tb_Receive; "
                    "delete from tb_Inventory");
    }
}

TEST_F(ClientEditorTest, DeleteAndNewClientWaitForClientsAndASavedClient) {
    twoClients();
    Profile& p = open(1001);
    p.btnNewCustomer_Click();
    p.btnDelete_Click();
    EXPECT_TRUE(boxes.shown().empty()) << "a client never saved is not deleted";
    EXPECT_TRUE(Form::isLoaded<Profile>());
}

TEST_F(ClientEditorTest, CopyButtonsFillBillingAndShipping) {
    twoClients();
    Profile& p = open(1001);
    const std::vector<controls::TextBox*> client = {
        &p.txtFname, &p.txtMname, &p.txtLname, &p.txtAddress, &p.txtAddress2, &p.txtCity, &p.txtState,
        &p.txtZipCode, &p.txtHomePhone, &p.txtCellPhone, &p.txtWorkPhone, &p.txtFax, &p.txtEmail, &p.txtWebPage};
    const std::vector<controls::TextBox*> billing = {
        &p.txtBillFname, &p.txtBillMName, &p.txtBillLname, &p.txtBillAddress, &p.txtBillAddress2,
        &p.txtBillCity, &p.txtBillState, &p.TxtBillZipCode, &p.txtBillHomePHone, &p.txtBillCellPhone,
        &p.txtBillWorkPhone, &p.txtBillFax, &p.txtBillEmail, &p.txtBillWebPage};
    // Shipping takes names, address and the three phones, by position in the lists above.
    const std::vector<std::pair<controls::TextBox*, int>> shipping = {
        {&p.txtShippingFname, 0}, {&p.txtShippingMname, 1}, {&p.txtshippingLname, 2}, {&p.txtShippingAddress, 3},
        {&p.txtShippingAddress2, 4}, {&p.txtShippingCity, 5}, {&p.txtShippingState, 6},
        {&p.txtShippingZipCode, 7}, {&p.txtShippingHomePhone, 8}, {&p.txtShippingCelPhone, 9},
        {&p.txtShippingWorkPhone, 10}};
    for (size_t i = 0; i < client.size(); ++i) client[i]->setText(QStringLiteral("c%1").arg(i));
    p.txtPOnum.setText("PO-7");
    p.btnSame_Click();
    for (size_t i = 0; i < billing.size(); ++i) EXPECT_EQ(billing[i]->Text(), QStringLiteral("c%1").arg(i)) << i;
    EXPECT_EQ(p.txtCompany.Text(), "Acme");
    EXPECT_EQ(p.txtPOnum.Text(), "PO-7");

    for (size_t i = 0; i < billing.size(); ++i) billing[i]->setText(QStringLiteral("b%1").arg(i));
    p.Command1_Click();
    EXPECT_TRUE(p.OptCust.Value());
    for (auto& [box, i] : shipping) EXPECT_EQ(box->Text(), QStringLiteral("c%1").arg(i)) << i;
    p.Command2_Click();
    EXPECT_TRUE(p.OptBilling.Value());
    EXPECT_FALSE(p.OptCust.Value());
    for (auto& [box, i] : shipping) EXPECT_EQ(box->Text(), QStringLiteral("b%1").arg(i)) << i;
    EXPECT_TRUE(p.ProfileChanged);
}

TEST_F(ClientEditorTest, BalanceIsRedOnlyWhenSomethingIsOwed) {
    struct Case {
        double paid, balance;
        long colour;
    } cases[] = {{40, 60, 255}, {100, 0, 0}, {130, -30, 0},
                 // Shown as $0.00 is not owing; half a cent shows as $0.01 and is.
                 {99.9951, 0.0049, 0}, {99.995, 0.005, 255}};
    client(1001, "John", "Smith");
    folder.exec("insert into tb_Invoice (InvoiceNum, CustNum, [Date], discount, tax, shippingcharge, interest) "
                "values (1001, 1001, '2026-02-01 00:00:00', 0, 0, 0, 0)");
    folder.exec("insert into tb_trans (TransNum, InvoiceNum, ItemNum, Qty, Amount, Notes, Backorder) "
                "values (1, 1001, 0, 1, 100, '', 0)");
    for (const Case& c : cases) {
        folder.exec(QStringLiteral("delete from tb_Receive; insert into tb_Receive (TransNum, CustNum, Type, CheckNum, "
                                   "[Date], Amount, Notes) values (1, 1001, 'Cash', '', '2026-02-02 00:00:00', %1, '')")
                        .arg(c.paid));
        Profile& p = open(1001);
        EXPECT_EQ(p.lblBalDue.Caption(), money(c.balance));
        EXPECT_EQ(p.lblBalDue.ForeColor(), c.colour);
        testsupport::ResetWindowsAndState();
    }
}

TEST_F(ClientEditorTest, EmptyDataFileStartsOnABlankFirstClient) {
    boxes.expect(vb::vbOK);
    Customer& main = Form::get<Customer>();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(boxes.shown()[0].prompt.startsWith("Please enter a client into the database!"));
    ASSERT_TRUE(Form::isLoaded<Profile>());
    Profile& p = Form::get<Profile>();
    EXPECT_TRUE(p.isVisible());
    EXPECT_EQ(p.Owner(), &main);
    EXPECT_EQ(p.Caption(), "Client Profile");
    EXPECT_EQ(p.lblCustNum.Caption(), "1001");
    EXPECT_EQ(p.lblBalDue.Caption(), "");
    EXPECT_EQ(p.lblBalDue.ForeColor(), 0);
    EXPECT_EQ(p.SSTab1.Tab(), 0);
    EXPECT_EQ(Globals::CurrentCustNum, 0);

    testsupport::type(p.txtFname, "Ann");
    testsupport::type(p.txtLname, "Jones");
    testsupport::click(p.btnSave);
    EXPECT_TRUE(noticeSeen) << "the notice shows during the pause";
    EXPECT_FALSE(Form::isLoaded<CustomerSaved>());
    EXPECT_EQ(stored(1001, "Lname"), "Jones");
    ASSERT_EQ(main.CustList2.Rows(), 2);
    EXPECT_EQ(main.CustList2.TextMatrix(1, 2), "Jones, Ann");
    EXPECT_TRUE(Form::isLoaded<Profile>()) << "the editor stays on the saved client";
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(p.ProfileChanged);
    EXPECT_FALSE(Globals::ClientListChanged);
    EXPECT_FALSE(Globals::NewClientMode);
    EXPECT_EQ(main.StatusBar1.Panels(2).Text(), "1 Client");
    // Closing the main window closes the editor it owns.
    Form::Unload(main);
    EXPECT_FALSE(Form::isLoaded<Profile>());
}

} // namespace
