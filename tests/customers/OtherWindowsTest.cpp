// Two windows open at once: a window writes back only the record it loaded,
// never one another window deleted meanwhile, and never under a current
// client another window chose since; lists show their own client's figures,
// and the main list's highlight is the current client.
#include <functional>
#include <vector>
#include <gtest/gtest.h>
#include "books/frmSetup.h"
#include "customers/CustInvoices.h"
#include "customers/Customer.h"
#include "customers/InvoiceDetail.h"
#include "customers/Profile.h"
#include "customers/Receipts.h"
#include "data/Globals.h"
#include "reports/PrtInvoice.h"
#include "forms/Form.h"
#include "support/FormDriver.h"
#include "support/GridDriver.h"
#include "support/WindowFixture.h"
#include "vb/Conv.h"
#include "vb/MsgBox.h"

using forms::Form;
using testsupport::GridDriver;
using R = Receipts;

namespace {

QString money(double x) { return vb::FormatCurrency(vb::Currency::fromDouble(x)); }

class OtherWindowsTest : public testsupport::WindowFixture {
protected:
    // Baker 1001 (row 1 of the main list), Davis 1002 (row 2, with a card).
    void SetUp() override {
        WindowFixture::SetUp();
        folder.exec("INSERT INTO tb_Client (CustNum, Lname, Fname, PaymentType1, CardNum1) VALUES "
                    "(1001,'Baker','Bo','',''), (1002,'Davis','Di','Visa','4111')");
        folder.exec("INSERT INTO tb_PaymentTypes VALUES ('Check')");
        folder.exec("INSERT INTO tb_Inventory (ItemNum, CatNum, Description, charge, par, instock) VALUES "
                    "(1, 1, 'Bolt', 10, 5, 7)");
    }
    void invoice(int num, int cust, double tax, int qty) {
        folder.exec(QStringLiteral("INSERT INTO tb_Invoice (InvoiceNum, CustNum, [Date], Description, discount, tax, "
                                   "shippingcharge, shippingdate, interest) VALUES (%1, %2, '2026-12-01 00:00:00', "
                                   "'Stored', 0, %3, 0, '2026-12-01 00:00:00', 0)")
                        .arg(num).arg(cust).arg(tax));
        folder.exec(QStringLiteral("INSERT INTO tb_trans (TransNum, InvoiceNum, ItemNum, Qty, Amount, Notes, Backorder) "
                                   "VALUES (%1, %1, 1, %2, %3, 'Bolt', 0)")
                        .arg(num).arg(qty).arg(qty * 10));
    }
    Customer& start() { return Form::get<Customer>(); }
    // The invoice editor on a stored invoice of a client, as the sales list opens it.
    static InvoiceDetail& openInvoice(int cust, int num) {
        Globals::CurrentCustNum = cust;
        Globals::CurrentInvoiceNum = num;
        InvoiceDetail& e = Form::get<InvoiceDetail>();
        e.Show();
        return e;
    }
    // Highlights a row of the main list and clicks it.
    static void select(Customer& w, int row) {
        w.CustList2.setRowColSilently(row, 2);
        w.CustList2_Click();
    }
    int count(const QString& sql) const { return folder.scalar(sql).toInt(); }
    static QString cell(const Receipts& w, int r, int c) { return w.PaymentList.TextMatrix(r, c); }
};

// ---------------------------------------------------------------- payments register

TEST_F(OtherWindowsTest, StoredPaymentKeepsItsClientWhenAnotherIsSelected) {
    folder.exec("INSERT INTO tb_Receive VALUES (5001,1002,'Check','12','2026-12-01 00:00:00',50,'')");
    Customer& main = start();
    select(main, 2);
    main.btnReceipts_Click();
    Receipts& w = Form::get<Receipts>();
    ASSERT_EQ(cell(w, 1, R::colKey), "5001");

    select(main, 1);   // Baker, in the main list
    GridDriver d(w.PaymentList);
    d.focusIn();
    ASSERT_TRUE(d.edit(1, R::colAmount, QStringLiteral("70")));
    d.moveTo(2, R::colDate);

    EXPECT_EQ(folder.scalar("SELECT CustNum FROM tb_Receive WHERE TransNum = 5001"), "1002");
    EXPECT_EQ(folder.scalar("SELECT Amount FROM tb_Receive WHERE TransNum = 5001").toDouble(), 70.0);
    EXPECT_EQ(cell(w, 1, R::colClient), "Davis, Di");
}

TEST_F(OtherWindowsTest, RegisterAskedForAnotherClientSavesItsRowAndListsThatClient) {
    folder.exec("INSERT INTO tb_Receive VALUES (5001,1002,'Check','12','2026-12-01 00:00:00',50,'')");
    folder.exec("INSERT INTO tb_Receive VALUES (5002,1001,'Check','13','2026-12-02 00:00:00',20,'')");
    Customer& main = start();
    select(main, 2);
    main.btnReceipts_Click();
    Receipts& w = Form::get<Receipts>();
    EXPECT_TRUE(w.PaymentList.ColComboList(R::colType).contains("Visa #4111"));
    GridDriver d(w.PaymentList);
    d.focusIn();
    ASSERT_TRUE(d.edit(1, R::colAmount, QStringLiteral("60")));   // pending: the row is not left

    select(main, 1);
    main.btnReceipts_Click();   // "Client Payments Received" for Baker

    EXPECT_EQ(folder.scalar("SELECT Amount FROM tb_Receive WHERE TransNum = 5001").toDouble(), 60.0);
    ASSERT_EQ(w.PaymentList.Rows(), 3);
    EXPECT_EQ(cell(w, 1, R::colKey), "5002");
    EXPECT_FALSE(w.PaymentList.ColComboList(R::colType).contains("Visa")) << "no card of Davis is offered";
    EXPECT_EQ(cell(w, 2, R::colCustNum), "1001") << "the new row shows the listed client at once";
    EXPECT_EQ(cell(w, 2, R::colClient), "Baker, Bo");
    EXPECT_TRUE(boxes.shown().empty());
}

// ---------------------------------------------------------------- invoices

TEST_F(OtherWindowsTest, InvoiceDeletedInTheSalesListClosesItsEditorAndStaysDeleted) {
    invoice(3001, 1001, 0, 3);   // 3 of 10 bolts taken
    start();
    Globals::CurrentCustNum = 1001;
    CustInvoices& sales = Form::get<CustInvoices>();
    sales.Show();
    Globals::GetInvoices(vb::Date());
    sales.InvoiceList_DblClick();
    ASSERT_TRUE(Form::isLoaded<InvoiceDetail>());
    testsupport::type(Form::get<InvoiceDetail>().txtDescription, QStringLiteral(" edited"));

    boxes.expect(vb::vbYes, QStringLiteral("Delete invoice #3001 and all associated charges?"));
    sales.btnDelete_Click();
    testsupport::pump();

    EXPECT_FALSE(Form::isLoaded<InvoiceDetail>()) << "closed without asking to save";
    EXPECT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(count("SELECT count(*) FROM tb_Invoice"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM tb_trans"), 0);
    EXPECT_EQ(count("SELECT instock FROM tb_Inventory"), 10);
}

TEST_F(OtherWindowsTest, SavesOfAnInvoiceDeletedMeanwhileAreRefused) {
    invoice(3001, 1001, 0, 3);
    start();
    InvoiceDetail& e = openInvoice(1001, 3001);
    // Gone behind the editor's back (no window told it).
    folder.exec("DELETE FROM tb_trans; DELETE FROM tb_Invoice");

    const QString refused = QStringLiteral("Invoice 3001 has been deleted; it was not saved.");
    boxes.expect(vb::vbOK, refused);
    e.btnSave_Click();
    EXPECT_EQ(boxes.shown().back().buttons, vb::vbOKOnly);

    boxes.expect(vb::vbOK, refused);
    GridDriver d(e.ItemList);
    d.focusIn();
    ASSERT_TRUE(d.edit(1, 3, QStringLiteral("4")));
    boxes.allowUnexpected(true);
    d.focusOut();
    EXPECT_EQ(count("SELECT count(*) FROM tb_Invoice"), 0) << "neither the header";
    EXPECT_EQ(count("SELECT count(*) FROM tb_trans"), 0) << "nor a line comes back";
    EXPECT_GE(boxes.shown().size(), 2u);
    Globals::RowChanged = false;   // the refused line is not asked about again at the end
}

TEST_F(OtherWindowsTest, SalesListBalanceIsAlwaysItsOwnClients) {
    invoice(3001, 1001, 0, 1);   // Baker owes 10
    invoice(3002, 1002, 0, 2);   // Davis owes 20
    start();
    Globals::CurrentCustNum = 1002;
    CustInvoices& sales = Form::get<CustInvoices>();
    sales.Show();
    Globals::GetInvoices(vb::Date());
    ASSERT_EQ(sales.lblBalDue.Caption(), money(20));

    // Baker's invoice saved with a tax: the list of Davis keeps Davis's balance.
    InvoiceDetail& e = openInvoice(1001, 3001);
    e.txtTax.setText(money(5));
    e.btnSave_Click();
    testsupport::pump();
    EXPECT_EQ(sales.lblBalDue.Caption(), money(20));

    // A payment of Davis's, entered anywhere, renews it.
    folder.exec("UPDATE tb_Invoice SET tax = 1 WHERE InvoiceNum = 3002");
    e.btnExit_Click();
    testsupport::pump();
    Globals::CurrentInvoiceNum = 3002;
    Form::get<InvoiceDetail>().Show();
    Form::get<InvoiceDetail>().btnSave_Click();
    testsupport::pump();
    EXPECT_EQ(sales.lblBalDue.Caption(), money(21));
}

// Every way an invoice editor with typed changes can close asks the save
// question; Cancel keeps it (and the window whose command closed it), and
// Yes saves before it goes.
TEST_F(OtherWindowsTest, EveryPathThatClosesAnEditedInvoiceAsksFirst) {
    invoice(3001, 1001, 0, 1);
    struct Path {
        const char* name;
        std::function<void(Customer&, CustInvoices&, InvoiceDetail&)> run;
        bool salesListGoes;   // the path closes the sales list too
    };
    const std::vector<Path> paths = {
        {"close box", [](Customer&, CustInvoices&, InvoiceDetail& e) { e.close(); }, false},
        {"sales list closed", [](Customer&, CustInvoices& s, InvoiceDetail&) { s.btnExit_Click(); }, true},
        {"main New Invoice", [](Customer& m, CustInvoices&, InvoiceDetail&) { m.btnNewInvoice_Click(); }, false},
        {"editor's New", [](Customer&, CustInvoices&, InvoiceDetail& e) { e.btnNew_Click(); }, false},
        {"client without sales", [](Customer& m, CustInvoices&, InvoiceDetail&) {
             m.CustList2.setRowColSilently(2, 2);   // Davis, who has no invoice
             m.CustList2_DblClick();
         }, true},
    };
    const QString ask = QStringLiteral("Save changes to invoice?");
    for (const Path& p : paths) {
        SCOPED_TRACE(p.name);
        testsupport::ResetWindowsAndState();
        folder.exec("UPDATE tb_Invoice SET Description = 'Stored'");
        boxes.clear();
        Customer& main = start();
        select(main, 1);
        CustInvoices& sales = Form::get<CustInvoices>();
        sales.Show();
        Globals::GetInvoices(vb::Date());
        sales.InvoiceList_DblClick();
        ASSERT_TRUE(Form::isLoaded<InvoiceDetail>());
        InvoiceDetail& e = Form::get<InvoiceDetail>();
        testsupport::type(e.txtDescription, QStringLiteral(" edited"));

        boxes.expect(vb::vbCancel, ask);
        p.run(main, sales, e);
        testsupport::pump();
        ASSERT_EQ(boxes.shown().size(), 1u) << "the question, and nothing after it";
        ASSERT_TRUE(Form::isLoaded<InvoiceDetail>());
        EXPECT_EQ(e.lblInvoiceNum.Caption(), "3001");
        EXPECT_TRUE(Form::isLoaded<CustInvoices>()) << "the command that closed it stopped";
        EXPECT_TRUE(Globals::InvoiceChanged);

        boxes.expect(vb::vbYes, ask);
        if (QString(p.name) == "client without sales") boxes.expect(vb::vbNo);   // "Enter new sales invoice ...?"
        p.run(main, sales, e);
        testsupport::pump();
        EXPECT_EQ(folder.scalar("SELECT Description FROM tb_Invoice WHERE InvoiceNum = 3001"), "Stored edited");
        // e may be gone: a path that opens a new editor unloads this one.
        EXPECT_FALSE(Form::isLoaded<InvoiceDetail>() &&
                     Form::get<InvoiceDetail>().lblInvoiceNum.Caption() == "3001");
        EXPECT_EQ(Form::isLoaded<CustInvoices>(), !p.salesListGoes);
        Globals::InvoiceChanged = false;   // a new invoice left open is not asked about at the end
    }
}

TEST_F(OtherWindowsTest, RefusedSaveKeepsTheInvoiceEditorOpen) {
    invoice(3001, 1001, 0, 1);
    start();
    InvoiceDetail& e = openInvoice(1001, 3001);
    testsupport::type(e.txtDescription, QStringLiteral(" edited"));
    folder.exec("DELETE FROM tb_trans; DELETE FROM tb_Invoice");   // behind its back

    boxes.expect(vb::vbYes, QStringLiteral("Save changes to invoice?"));
    boxes.expect(vb::vbOK, QStringLiteral("Invoice 3001 has been deleted; it was not saved."));
    e.close();
    EXPECT_TRUE(Form::isLoaded<InvoiceDetail>());
    EXPECT_EQ(count("SELECT count(*) FROM tb_Invoice"), 0);
    Globals::InvoiceChanged = false;
}

// ---------------------------------------------------------------- clients

TEST_F(OtherWindowsTest, ClientDeletedFromTheMainWindowClosesItsEditorAndStaysDeleted) {
    Customer& main = start();
    select(main, 2);
    main.btnCustInfo_Click();
    ASSERT_TRUE(Form::isLoaded<Profile>());
    testsupport::type(Form::get<Profile>().txtAddress, QStringLiteral("1 New Road"));

    boxes.expect(vb::vbYes);
    main.mnuDelete_Click();
    testsupport::pump();
    EXPECT_FALSE(Form::isLoaded<Profile>()) << "closed without asking to save";
    EXPECT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(count("SELECT count(*) FROM tb_Client WHERE CustNum = 1002"), 0);

    // Deleted behind an editor's back: its save is refused.
    select(main, 1);
    main.btnCustInfo_Click();
    Profile& p = Form::get<Profile>();
    folder.exec("DELETE FROM tb_Client WHERE CustNum = 1001");
    testsupport::type(p.txtAddress, QStringLiteral("2 Old Road"));
    boxes.expect(vb::vbOK, QStringLiteral("This client has been deleted; it was not saved."));
    p.btnSave_Click();
    EXPECT_EQ(boxes.shown().back().buttons, vb::vbOKOnly);
    EXPECT_EQ(count("SELECT count(*) FROM tb_Client"), 0);
}

TEST_F(OtherWindowsTest, ClientEditorWithUnsavedEditsAsksBeforeAnyCloser) {
    Customer& main = start();
    select(main, 2);
    main.btnCustInfo_Click();
    Profile& p = Form::get<Profile>();
    testsupport::type(p.txtAddress, QStringLiteral("1 New Road"));
    const QString ask = QStringLiteral("Save Changes to Davis, Di?");

    // "Profile for selected client" for Baker: Cancel keeps Davis and his edit.
    select(main, 1);
    boxes.expect(vb::vbCancel, ask);
    main.btnCustInfo_Click();
    ASSERT_TRUE(Form::isLoaded<Profile>());
    EXPECT_EQ(p.lblCustNum.Caption(), "1002");
    EXPECT_EQ(p.txtAddress.Text(), "1 New Road");

    // The close box asks too; Cancel keeps it, Yes saves.
    boxes.expect(vb::vbCancel, ask);
    p.close();
    ASSERT_TRUE(Form::isLoaded<Profile>());
    boxes.expect(vb::vbYes, ask);
    boxes.allowUnexpected(true);   // the save's own notice
    main.btnCustInfo_Click();
    testsupport::pump();
    EXPECT_EQ(folder.scalar("SELECT Address1 FROM tb_Client WHERE CustNum = 1002"), "1 New Road");
    ASSERT_TRUE(Form::isLoaded<Profile>());
    EXPECT_EQ(Form::get<Profile>().lblCustNum.Caption(), "1001") << "then the command goes on";
}

TEST_F(OtherWindowsTest, ClientEditorDeletesTheClientItShows) {
    Customer& main = start();
    select(main, 2);
    main.btnCustInfo_Click();
    select(main, 1);   // Baker chosen in the main list meanwhile
    boxes.expect(vb::vbYes);
    Form::get<Profile>().btnDelete_Click();
    EXPECT_TRUE(boxes.shown()[0].title.contains("Davis"));
    EXPECT_EQ(count("SELECT count(*) FROM tb_Client WHERE CustNum = 1002"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM tb_Client WHERE CustNum = 1001"), 1);
}

TEST_F(OtherWindowsTest, MainListHighlightIsTheCurrentClient) {
    folder.exec("INSERT INTO tb_Client (CustNum, Lname, Fname) VALUES (1003,'Evans','Ed')");
    Customer& main = start();
    select(main, 2);
    boxes.expect(vb::vbYes);
    main.mnuDelete_Click();
    const int r = main.CustList2.Row();
    ASSERT_GE(r, 1);
    EXPECT_EQ(QString::number(Globals::CurrentCustNum), main.CustList2.TextMatrix(r, 0));
    main.btnNewInvoice_Click();
    EXPECT_TRUE(Form::isLoaded<InvoiceDetail>()) << "no \"Select or enter a client first.\"";
    EXPECT_EQ(boxes.shown().size(), 1u);

    // A client chosen in another window is highlighted here.
    Globals::SetCurrentClient(1003, QStringLiteral("Evans, Ed"));
    EXPECT_EQ(main.CustList2.TextMatrix(main.CustList2.Row(), 0), "1003");
}

// Print, "Enter new client" and Delete Client never take a shown number as stored.
TEST_F(OtherWindowsTest, NumbersShownButNeverStoredAreNeverTakenAsStored) {
    Customer& main = start();
    select(main, 1);
    main.btnNewInvoice_Click();
    InvoiceDetail& e = Form::get<InvoiceDetail>();
    invoice(e.lblInvoiceNum.Caption().toInt(), 1002, 0, 2);   // the other copy stores it for Davis
    Globals::InvoiceChanged = false;   // nothing typed
    boxes.expect(vb::vbNo, QStringLiteral("Save changes to invoice?"));
    e.btnPrint_Click();
    EXPECT_FALSE(Form::isLoaded<PrtInvoice>());
    EXPECT_EQ(PrtInvoice::ReadSource(1001).CustNum, 1002) << "billed to the stored invoice's client";
    select(main, 2);   // Davis, in the client editor with an edit
    main.btnCustInfo_Click();
    Profile& p = Form::get<Profile>();
    testsupport::type(p.txtAddress, QStringLiteral("1 New Road"));
    boxes.expect(vb::vbNo, QStringLiteral("Save Changes to Davis, Di?"));
    main.btnNewCust_Click();
    EXPECT_EQ(p.lblCustNum.Caption() + p.txtAddress.Text(), "1003");
    EXPECT_EQ(Globals::CurrentCustNum, 1002) << "the highlighted client stays current";
    folder.exec("DELETE FROM tb_Client WHERE CustNum = 1002");   // by the other copy
    boxes.expect(vb::vbOK, QStringLiteral("This client is not in the file; nothing was deleted."));
    main.mnuDelete_Click();
}

// Balances follow invoices and payments; a client save keeps another copy's discount.
TEST_F(OtherWindowsTest, ClientEditorAndSalesListFollowInvoicesAndPayments) {
    invoice(3001, 1001, 0, 3);   // Baker owes 30, less 10 paid
    folder.exec("INSERT INTO tb_Receive VALUES (5001,1001,'Check','12','2026-12-01 00:00:00',10,'')");
    Customer& main = start();
    select(main, 1);
    main.btnCustInfo_Click();
    Profile& p = Form::get<Profile>();
    CustInvoices& sales = Form::get<CustInvoices>();
    sales.Show();
    Globals::GetInvoices(vb::Date());
    main.btnNewInvoice_Click();
    InvoiceDetail& e = Form::get<InvoiceDetail>();
    e.txtShipCharge.setText(money(5));
    e.btnSave_Click();
    e.close();   // the close box
    testsupport::pump();
    ASSERT_EQ(sales.InvoiceList.Rows(), 3) << "the new invoice is listed";
    EXPECT_EQ(sales.lblBalDue.Caption() + p.lblBalDue.Caption(), money(25) + money(25));
    main.btnReceipts_Click();
    GridDriver d(Form::get<Receipts>().PaymentList);
    d.focusIn();
    ASSERT_TRUE(d.edit(1, R::colAmount, QStringLiteral("30")));
    d.moveTo(2, R::colDate);
    testsupport::pump();
    EXPECT_EQ(sales.lblBalDue.Caption() + p.lblBalDue.Caption(), money(5) + money(5));
    folder.exec("UPDATE tb_Client SET Discount = 15 WHERE CustNum = 1001");
    testsupport::type(p.txtCity, QStringLiteral("Albany"));
    boxes.allowUnexpected(true);   // the save's notice
    p.btnSave_Click();
    EXPECT_EQ(folder.scalar("SELECT City || Discount FROM tb_Client WHERE CustNum = 1001"), "Albany15.0");
}

// ---------------------------------------------------------------- company record

TEST_F(OtherWindowsTest, CompanySavedInSetupIsUsedAtOnce) {
    invoice(3001, 1001, 0, 2);
    start();
    frmSetup& s = Form::get<frmSetup>();
    s.Show();
    testsupport::type(s.txtCoName, QStringLiteral("Harbor Supply"));
    s.txtCoStateTaxRate.setText(QStringLiteral("6.5"));
    s.btnExit_Click();
    EXPECT_EQ(Globals::CoName, "Harbor Supply");

    InvoiceDetail& e = openInvoice(1001, 3001);
    e.btnTax_Click();
    EXPECT_EQ(e.txtTax.Text(), money(1.30));
}

} // namespace
