// The invoice editor: header load and save, totals and tax, the questions of
// Exit and New, the item grid's quantity edits and back orders, its row saves,
// Remove, and the faults the editor must not have.
#include <vector>
#include "customers/CustInvoices.h"
#include "customers/Customer.h"
#include "customers/InvoiceFixture.h"
#include "customers/Profile.h"
#include "customers/Receipts.h"
#include "reports/PrtInvoice.h"

using namespace invoicetest;
using testsupport::click;
using testsupport::focus;
using testsupport::GridDriver;

namespace {

class InvoiceDetailTest : public InvoiceFixture {
protected:
    void SetUp() override {
        InvoiceFixture::SetUp();
        company(6);
        client(1001, QStringLiteral("John"), QStringLiteral("Smith"), 10);
        client(1002, QStringLiteral("Mary"), QStringLiteral("Jones"), 0, QStringLiteral("Ann"));
        category(1, QStringLiteral("Parts"));
        item(1001, 1, QStringLiteral("Widget"), 10.00, 5, 2);
        item(1002, 1, QStringLiteral("Service"), 25.00, 0, 0);
        shipping(QStringLiteral("UPS"), QStringLiteral("Ground"));
    }
    // Invoice 1001 of client 1001: two lines, $10 widget x 3 and $25 service.
    void twoLineInvoice(double service = 25) {
        storedInvoice(1001, 1001, QStringLiteral("2026-11-03 00:00:00"), 10, 4.59, 5, QStringLiteral("UPS Ground"),
                      {{1001, 1001, 3, 30, QStringLiteral("Widget"), 0}, {1002, 1002, 1, service, QStringLiteral("Service"), 0}});
    }
    bool isErrorReport(int i, const char* label) const {
        return shown(i).startsWith(QString::fromLatin1(label)) && shown(i).contains(QStringLiteral("If error persists"));
    }
    // Invoice 1001 stored with its two lines, open in the editor.
    InvoiceDetail& openTwoLines(double service = 25) {
        twoLineInvoice(service);
        startProgram();
        return openStored(1001, 1001);
    }
    double storedLine(const char* column, int transNum) const {
        return number(
            QStringLiteral("select %1 from tb_trans where TransNum = %2").arg(QLatin1String(column)).arg(transNum));
    }
    QString storedText(const QString& column, int invoice = 1001) const {
        return folder.scalar(QStringLiteral("select %1 from tb_Invoice where InvoiceNum = %2").arg(column).arg(invoice));
    }
};

// ---------------------------------------------------------------- load

TEST_F(InvoiceDetailTest, WindowTexts) {
    startProgram();
    InvoiceDetail& d = openNew(1001, 10);
    EXPECT_EQ(d.Caption(), QStringLiteral("Invoice Details"));
    const std::vector<std::pair<controls::Label*, const char*>> captions = {
        {&d.lblInvoiceNumCaption, "Invoice #:"}, {&d.lblCustomerCaption, "Customer:"}, {&d.lblDate, "Date:"},
        {&d.lblDescription, "Description:"}, {&d.lblSalesRep, "Sales Rep:"}, {&d.lblTerms, "Terms:"},
        {&d.lblDiscount, "Discount%:"}, {&d.lblItems, "Invoice Items"}, {&d.lblTotalCaption, "Total Charges:"},
        {&d.lblInterest, "Interest Charge:"}, {&d.lblShipCharge, "Shipping Charge:"}, {&d.lblShipDate, "Date:"},
        {&d.lblShipType, "Type:"}, {&d.lblTrackNum, "Tracking#:"}};
    for (const auto& [l, text] : captions) EXPECT_EQ(l->Caption(), QString::fromLatin1(text));
    EXPECT_EQ(d.fraShipping.Caption(), QStringLiteral("Shipping"));
    EXPECT_EQ(d.btnTax.Caption(), QStringLiteral("Sales Tax ->"));
    const std::vector<std::pair<controls::CommandButton*, const char*>> tips = {
        {&d.btnTax, "Calculate State Sales Tax"}, {&d.btnSave, "Save this invoice"},
        {&d.btnNew, "Enter new sales invoice for this client"}, {&d.btnPrint, "Print this invoice"},
        {&d.btnExit, "Exit Invoice Details"}, {&d.btnPayments, "Enter payments received from this client"},
        {&d.btnRemove, "Delete Selected Item"}, {&d.btnNewItem, "Add inventory item to invoice"}};
    for (const auto& [b, tip] : tips) EXPECT_EQ(b->ToolTipText(), QString::fromLatin1(tip));
    EXPECT_EQ(d.ItemList.FormatString(),
              QStringLiteral("^Sel|TransNum|Inventory#|>Quantity|>Charge|Description|>Total|>Back Order"));
    const int widths[] = {400, 0, 1000, 800, 1000, 3000, 1000, 800};
    for (int c = 0; c < 8; ++c) EXPECT_EQ(d.ItemList.ColWidth(c), widths[c]) << "column " << c;
    ASSERT_EQ(d.cmbShipType.ListCount(), 1);
    EXPECT_EQ(d.cmbShipType.List(0), QStringLiteral("UPS Ground"));
}

// A new invoice after a stored one starts blank (the shared invoice still
// holds the stored one's tax and shipping type), and writes nothing.
TEST_F(InvoiceDetailTest, NewInvoiceStartsBlankAndWritesNothing) {
    InvoiceDetail& d = openTwoLines();
    EXPECT_EQ(d.txtTax.Text(), QStringLiteral("$4.59"));
    click(d.btnNew);   // nothing edited: no question

    EXPECT_EQ(d.lblInvoiceNum.Caption(), QStringLiteral("1002"));
    EXPECT_EQ(d.lblCustomer.Caption(), QStringLiteral("John Smith")) << "an empty middle name leaves one blank";
    EXPECT_EQ(d.txtDate.Text(), QStringLiteral("12/9/2026"));
    EXPECT_EQ(d.txtShipDate.Text(), QStringLiteral("12/9/2026"));
    EXPECT_EQ(d.txtDiscount.Text(), QStringLiteral("10"));
    for (controls::TextBox* money0 : {&d.txtTax, &d.txtShipCharge, &d.txtInterest})
        EXPECT_EQ(money0->Text(), QStringLiteral("$0.00"));
    for (controls::TextBox* blank : {&d.txtDescription, &d.txtTrackNum, &d.txtSalesRep, &d.txtTerms})
        EXPECT_EQ(blank->Text(), QString());
    EXPECT_EQ(d.cmbShipType.Text(), QString());
    EXPECT_EQ(d.lblTotal.Caption(), QString());
    EXPECT_EQ(d.ItemList.Rows(), 1);
    EXPECT_TRUE(Globals::InvoiceChanged);
    EXPECT_TRUE(d.NewInvoiceUnsaved);
    EXPECT_EQ(count(QStringLiteral("select count(*) from tb_Invoice")), 1);
    EXPECT_EQ(boxCount(), 0);
}

// A stored invoice shows its own record: date, description and client come
// from it, not from whatever was selected elsewhere; a line of quantity 0
// loads with a charge of 0 and the lines after it load too.
TEST_F(InvoiceDetailTest, StoredInvoiceShowsItsRecord) {
    storedInvoice(1001, 1001, QStringLiteral("2026-11-03 00:00:00"), 10, 1.50, 5, QStringLiteral("UPS Ground"),
                  {{1001, 1001, 0, 0, QStringLiteral("Free widget"), 0}, {1002, 1002, 2, 50, QStringLiteral("Service"), -1}},
                  0.25, QStringLiteral("From record"), QStringLiteral("2026-11-04 00:00:00"));
    startProgram();
    Globals::CurrentInvoiceDate = vb::Date::fromYmd(2020, 1, 1);
    Globals::CurrentInvoiceDesc = QStringLiteral("From the sales row");
    InvoiceDetail& d = openStored(1001, 1002);

    EXPECT_EQ(d.txtDate.Text(), QStringLiteral("11/3/2026"));
    EXPECT_EQ(d.txtShipDate.Text(), QStringLiteral("11/4/2026"));
    EXPECT_EQ(d.txtDescription.Text(), QStringLiteral("From record"));
    EXPECT_EQ(d.lblCustomer.Caption(), QStringLiteral("John Smith"));
    EXPECT_EQ(d.InvoiceClient(), 1001);
    EXPECT_EQ(d.cmbShipType.Text(), QStringLiteral("UPS Ground"));
    EXPECT_EQ(d.txtTrackNum.Text(), QStringLiteral("TR-1"));
    EXPECT_EQ(d.txtSalesRep.Text(), QStringLiteral("Pat"));
    EXPECT_EQ(d.txtTerms.Text(), QStringLiteral("Net 30"));
    EXPECT_EQ(d.txtInterest.Text(), QStringLiteral("$0.25"));
    // (50 - 10%) + 5 + 0.25 + 1.50
    EXPECT_EQ(d.lblTotal.Caption(), QStringLiteral("$51.75"));
    ASSERT_EQ(d.ItemList.Rows(), 3);
    EXPECT_EQ(cell(1, Charge), QStringLiteral("$0.00"));
    EXPECT_EQ(cell(1, Qty), QStringLiteral("0"));
    EXPECT_EQ(cell(1, BackOrder), QString()) << "a stored back order of 0 shows empty";
    EXPECT_EQ(cell(2, Line), QStringLiteral("1002"));
    EXPECT_EQ(cell(2, Charge), QStringLiteral("$25.00"));
    EXPECT_EQ(cell(2, Total), QStringLiteral("$50.00"));
    EXPECT_EQ(cell(2, BackOrder), QStringLiteral("-1"));
    EXPECT_FALSE(Globals::InvoiceChanged);
    EXPECT_FALSE(d.NewInvoiceUnsaved);

    // Saved for its own client, though another one is current now.
    click(d.btnSave);
    EXPECT_EQ(storedText(QStringLiteral("CustNum")), QStringLiteral("1001"));
    EXPECT_EQ(storedText(QStringLiteral("Description")), QStringLiteral("From record"));
    EXPECT_EQ(boxCount(), 0);
}

TEST_F(InvoiceDetailTest, OpensAndSavesWithoutShippingOptions) {
    folder.exec(QStringLiteral("delete from tb_Shipping"));
    startProgram();
    InvoiceDetail& d = openNew(1001, 10);
    EXPECT_EQ(d.cmbShipType.ListCount(), 0);
    EXPECT_EQ(d.lblInvoiceNum.Caption(), QStringLiteral("1001"));
    click(d.btnSave);
    EXPECT_EQ(count(QStringLiteral("select count(*) from tb_Invoice where InvoiceNum = 1001")), 1);
    EXPECT_FALSE(Globals::InvoiceChanged);
    EXPECT_EQ(d.lblTotal.Caption(), QStringLiteral("$0.00"));
    EXPECT_EQ(boxCount(), 0);
}

// ---------------------------------------------------------------- totals

TEST_F(InvoiceDetailTest, TotalsAndTax) {
    storedInvoice(1001, 1001, QStringLiteral("2026-11-03 00:00:00"), 10, 0, 0, QString(),
                  {{1001, 1002, 4, 100, QStringLiteral("Service"), 0}});
    storedInvoice(1002, 1001, QStringLiteral("2026-11-03 00:00:00"), 0, 0, 7.5, QString(), {});
    startProgram();

    {
        SCOPED_TRACE("no lines: zero, whatever shipping holds");
        InvoiceDetail& d = openStored(1002, 1001);
        EXPECT_EQ(d.lblTotal.Caption(), QStringLiteral("$7.50")) << "the stored total includes shipping";
        d.GetInvoiceTotal();
        EXPECT_EQ(d.lblTotal.Caption(), QStringLiteral("$0.00"));
        forms::Form::unload<InvoiceDetail>();
    }
    InvoiceDetail& d = openStored(1001, 1001);
    {
        SCOPED_TRACE("tax on 100.00 less 10% at 6%");
        click(d.btnTax);
        EXPECT_EQ(d.txtTax.Text(), QStringLiteral("$5.40"));
        EXPECT_EQ(d.lblTotal.Caption(), QStringLiteral("$95.40"));
        EXPECT_TRUE(Globals::InvoiceChanged) << "the tax box was written";
    }
    struct Case {
        controls::TextBox* box;
        const char* text;
        const char* label;
    };
    const Case strict[] = {
        {&d.txtDiscount, "", nullptr},   // the discount's own refusal
        {&d.txtDiscount, "ten", nullptr},
        {&d.txtDiscount, "101", nullptr},
        {&d.txtInterest, "", "InvoiceDetail.GetInvoiceTotal -13"},
        {&d.txtShipCharge, "abc", "InvoiceDetail.GetInvoiceTotal -13"},
    };
    for (const Case& c : strict) {
        SCOPED_TRACE(c.text);
        const QString before = d.txtDiscount.Text(), beforeInterest = d.txtInterest.Text(),
                      beforeShip = d.txtShipCharge.Text();
        c.box->setText(QString::fromLatin1(c.text));
        boxes.clear();
        boxes.expect(vb::vbOK);
        d.GetInvoiceTotal();
        EXPECT_EQ(d.lblTotal.Caption(), QStringLiteral("$95.40")) << "the label keeps its text";
        if (c.label) EXPECT_TRUE(isErrorReport(0, c.label)) << shown(0).toStdString();
        else EXPECT_EQ(shown(0), QStringLiteral("Discount% must be a number from 0 to 100."));
        d.txtDiscount.setText(before);
        d.txtInterest.setText(beforeInterest);
        d.txtShipCharge.setText(beforeShip);
    }
}

// Save reads the amounts leniently (empty or unreadable is 0), the discount
// with either decimal point, and keeps the shown date when a date box is not a date.
TEST_F(InvoiceDetailTest, SaveReadsHeaderLeniently) {
    InvoiceDetail& d = openTwoLines();
    d.txtShipCharge.setText(QStringLiteral("abc"));
    d.txtTax.setText(QStringLiteral("$1,234.50"));
    d.txtInterest.setText(QString());
    d.txtDiscount.setText(QStringLiteral("12,5"));
    d.txtShipDate.setText(QStringLiteral("12/1/2026"));
    d.txtDescription.setText(QStringLiteral("O'Brien's \"big\" order"));
    click(d.btnSave);
    EXPECT_EQ(number(QStringLiteral("select shippingcharge from tb_Invoice")), 0);
    EXPECT_EQ(number(QStringLiteral("select tax from tb_Invoice")), 1234.5);
    EXPECT_EQ(number(QStringLiteral("select interest from tb_Invoice")), 0);
    EXPECT_EQ(number(QStringLiteral("select discount from tb_Invoice")), 12.5);
    EXPECT_TRUE(storedText(QStringLiteral("[Date]")).startsWith(QStringLiteral("2026-11-03")));
    EXPECT_TRUE(storedText(QStringLiteral("shippingdate")).startsWith(QStringLiteral("2026-12-01")));
    EXPECT_EQ(storedText(QStringLiteral("Description")), QStringLiteral("O'Brien's \"big\" order"));
    // 55 less 12.5% + 1234.50
    EXPECT_EQ(d.lblTotal.Caption(), QStringLiteral("$1,282.63"));

    EXPECT_EQ(boxCount(), 0);
}

// The discount box has one reading: the total shown before Save is the
// total after it, and a box that is no discount from 0 to 100 saves nothing
// and keeps the window open on every command that would save.
TEST_F(InvoiceDetailTest, DiscountIsReadOneWayOrRefused) {
    InvoiceDetail& d = openTwoLines();
    d.txtDiscount.setText(QStringLiteral("1,5"));   // a comma in any locale
    d.GetInvoiceTotal();
    const QString before = d.lblTotal.Caption();
    click(d.btnSave);
    EXPECT_EQ(d.lblTotal.Caption(), before);
    EXPECT_EQ(number(QStringLiteral("select discount from tb_Invoice")), 1.5);
    EXPECT_EQ(boxCount(), 0);

    enum Path { Save, Exit, Print };
    for (Path path : {Save, Exit, Print}) {
        SCOPED_TRACE(int(path));
        d.txtDescription.setText(QStringLiteral("Edited"));
        d.txtDiscount.setText(QStringLiteral("7 5"));
        boxes.clear();
        if (path != Save) boxes.expect(vb::vbYes, QStringLiteral("Save changes to invoice?"));
        boxes.expect(vb::vbOK, QStringLiteral("Discount% must be a number from 0 to 100."));
        switch (path) {
        case Save: click(d.btnSave); break;
        case Exit: click(d.btnExit); break;
        case Print: click(d.btnPrint); break;
        }
        testsupport::pump();
        EXPECT_EQ(boxCount(), path == Save ? 1 : 2);
        EXPECT_TRUE(forms::Form::isLoaded<InvoiceDetail>());
        EXPECT_FALSE(forms::Form::isLoaded<PrtInvoice>());
        EXPECT_EQ(d.txtDiscount.Text(), QStringLiteral("7 5"));
        EXPECT_TRUE(Globals::InvoiceChanged);
        EXPECT_NE(storedText(QStringLiteral("Description")), QStringLiteral("Edited"));
        EXPECT_EQ(number(QStringLiteral("select discount from tb_Invoice")), 1.5);
    }
}

// A date box that is not a date stops Save with a message naming the box:
// nothing is written, the text stays, the invoice stays unsaved, and an Exit
// or Print answered Yes keeps the window.
TEST_F(InvoiceDetailTest, ADateBoxThatIsNotADateStopsTheSave) {
    struct Case { const char* name; bool ship; const char* text; const char* message; };
    const Case cases[] = {
        {"no 30th of February", false, "2/30/2026", "Date is not a valid date."},
        {"a word", false, "soon", "Date is not a valid date."},
        {"empty shipping date", true, "", "Shipping Date is not a valid date."},
        {"shipping month 13", true, "13/1/2026", "Shipping Date is not a valid date."},
    };
    InvoiceDetail& d = openTwoLines();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        controls::TextBox& box = c.ship ? d.txtShipDate : d.txtDate;
        d.txtDescription.setText(QStringLiteral("edited"));
        box.setText(QString::fromLatin1(c.text));
        boxes.clear();
        boxes.expect(vb::vbOK);
        click(d.btnSave);
        ASSERT_EQ(boxCount(), 1);
        EXPECT_EQ(shown(0), QString::fromLatin1(c.message));
        EXPECT_EQ(boxes.shown()[0].buttons, vb::vbOKOnly);
        EXPECT_EQ(box.Text(), QString::fromLatin1(c.text));
        EXPECT_TRUE(Globals::InvoiceChanged);
        EXPECT_EQ(storedText(QStringLiteral("Description")), QStringLiteral("Stored"));
        EXPECT_TRUE(storedText(QStringLiteral("[Date] || shippingdate")).startsWith(QStringLiteral("2026-11-03")));
        for (controls::CommandButton* b : {&d.btnExit, &d.btnPrint}) {
            boxes.clear();
            boxes.expect(vb::vbYes);
            boxes.expect(vb::vbOK);
            click(*b);
            testsupport::pump();
            EXPECT_EQ(boxCount(), 2);
            EXPECT_EQ(shown(1), QString::fromLatin1(c.message));
            EXPECT_TRUE(forms::Form::isLoaded<InvoiceDetail>());
            EXPECT_TRUE(Globals::InvoiceChanged);
        }
        box.setText(QStringLiteral("11/3/2026"));
    }
    EXPECT_FALSE(forms::Form::isLoaded<PrtInvoice>());
}

TEST_F(InvoiceDetailTest, ShipChargeIsFormattedOnLeavingOnlyWhenItIsAnAmount) {
    startProgram();
    InvoiceDetail& d = openNew(1001, 10);
    const std::pair<const char*, const char*> cases[] = {
        {"5", "$5.00"}, {"1234.5", "$1,234.50"}, {"abc", "abc"}, {"0", "0"}, {"-5", "-5"}, {"$5", "$5"}, {"5abc", "5abc"},
    };
    for (const auto& [typed, after] : cases) {
        SCOPED_TRACE(typed);
        focus(d.txtShipCharge);
        d.txtShipCharge.setText(QString::fromLatin1(typed));
        focus(d.txtTerms);
        EXPECT_EQ(d.txtShipCharge.Text(), QString::fromLatin1(after));
    }
    EXPECT_EQ(boxCount(), 0);
}

// ---------------------------------------------------------------- questions

TEST_F(InvoiceDetailTest, ExitAsksForAnEditedInvoice) {
    startProgram();
    {
        SCOPED_TRACE("No: a new invoice leaves no header row");
        openNew(1001, 10);
        boxes.expect(vb::vbNo);
        click(detail().btnExit);
        testsupport::pump();
        ASSERT_EQ(boxCount(), 1);
        EXPECT_EQ(shown(0), QStringLiteral("Save changes to invoice?"));
        EXPECT_EQ(boxes.shown()[0].buttons, 291);
        EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("Save Invoice?"));
        EXPECT_FALSE(forms::Form::isLoaded<InvoiceDetail>());
        EXPECT_FALSE(Globals::InvoiceChanged);
        EXPECT_EQ(count(QStringLiteral("select count(*) from tb_Invoice")), 0);
    }
    {
        SCOPED_TRACE("Cancel: the window and the flag stay");
        boxes.clear();
        InvoiceDetail& d = openNew(1001, 10);
        boxes.expect(vb::vbCancel);
        click(d.btnExit);
        testsupport::pump();
        EXPECT_TRUE(forms::Form::isLoaded<InvoiceDetail>());
        EXPECT_TRUE(Globals::InvoiceChanged);
    }
    {
        SCOPED_TRACE("Yes: saved, then closed");
        boxes.clear();
        boxes.expect(vb::vbYes);
        click(detail().btnExit);
        testsupport::pump();
        EXPECT_FALSE(forms::Form::isLoaded<InvoiceDetail>());
        EXPECT_EQ(count(QStringLiteral("select count(*) from tb_Invoice where InvoiceNum = 1001")), 1);
    }
}

TEST_F(InvoiceDetailTest, NewAsksBeforeDroppingEdits) {
    InvoiceDetail& d = openTwoLines();
    d.txtDescription.setText(QStringLiteral("Edited"));
    boxes.expect(vb::vbCancel);
    click(d.btnNew);
    EXPECT_EQ(shown(0), QStringLiteral("Save changes to invoice?"));
    EXPECT_EQ(d.lblInvoiceNum.Caption(), QStringLiteral("1001"));
    EXPECT_EQ(d.txtDescription.Text(), QStringLiteral("Edited"));

    boxes.expect(vb::vbNo);
    click(d.btnNew);
    EXPECT_EQ(d.lblInvoiceNum.Caption(), QStringLiteral("1002"));
    EXPECT_EQ(storedText(QStringLiteral("Description")), QStringLiteral("Stored")) << "No saves nothing";

    // A fresh new invoice counts as changed: New asks again.
    boxes.expect(vb::vbYes);
    click(d.btnNew);
    EXPECT_EQ(count(QStringLiteral("select count(*) from tb_Invoice where InvoiceNum = 1002")), 1);
    EXPECT_EQ(d.lblInvoiceNum.Caption(), QStringLiteral("1003"));
    EXPECT_EQ(boxCount(), 3);
}

// The commands keep working for the invoice's own client when another
// client has been selected since it was opened.
TEST_F(InvoiceDetailTest, CommandsKeepTheInvoicesClient) {
    InvoiceDetail& d = openTwoLines();
    Globals::CurrentCustNum = 1002;
    Globals::CurrentCustDiscount = 0;
    click(d.btnPrint);
    EXPECT_EQ(Globals::CurrentInvoiceNum, 1001);
    EXPECT_EQ(Globals::CurrentCustNum, 1001);

    Globals::CurrentCustNum = 1002;
    click(d.btnPayments);
    testsupport::pump();
    EXPECT_EQ(Globals::CurrentCustNum, 1001);
    ASSERT_TRUE(forms::Form::isLoaded<Receipts>());
    EXPECT_TRUE(forms::Form::get<Receipts>().Visible());
    forms::Form::unload<Receipts>();

    Globals::CurrentCustNum = 1002;
    click(d.btnNew);
    EXPECT_EQ(d.lblCustomer.Caption(), QStringLiteral("John Smith"));
    EXPECT_EQ(d.txtDiscount.Text(), QStringLiteral("10"));
    click(d.btnSave);
    EXPECT_EQ(storedText(QStringLiteral("CustNum"), 1002), QStringLiteral("1001"));
    EXPECT_EQ(boxCount(), 0);
}

// New for the client still selected keeps the discount its caller passed
// (the client editor passes the box as shown, saved or not).
TEST_F(InvoiceDetailTest, NewForTheSameClientKeepsThePassedDiscount) {
    startProgram();
    InvoiceDetail& d = openNew(1001, 15);
    EXPECT_EQ(d.txtDiscount.Text(), QStringLiteral("15"));
    boxes.expect(vb::vbNo);
    click(d.btnNew);
    EXPECT_EQ(d.lblInvoiceNum.Caption(), QStringLiteral("1001"));
    EXPECT_EQ(d.txtDiscount.Text(), QStringLiteral("15"));
    EXPECT_EQ(Globals::CurrentCustDiscount, 15);
    EXPECT_EQ(boxCount(), 1);
}

TEST_F(InvoiceDetailTest, NoInvoiceForAClientWithoutARow) {
    startProgram();
    for (int cust : {0, -1, 1999}) {
        SCOPED_TRACE(cust);
        boxes.clear();
        InvoiceDetail& d = openNew(cust);
        EXPECT_EQ(d.lblCustomer.Caption(), QString());
        boxes.expect(vb::vbOK);
        click(d.btnSave);
        boxes.expect(vb::vbOK);
        click(d.btnNewItem);
        ASSERT_EQ(boxCount(), 2);
        EXPECT_EQ(shown(0), QStringLiteral("Select or enter a client first."));
        EXPECT_EQ(shown(1), QStringLiteral("Select or enter a client first."));
        EXPECT_FALSE(forms::Form::isLoaded<InvSearch>());
        EXPECT_TRUE(Globals::InvoiceChanged);
        EXPECT_EQ(count(QStringLiteral("select count(*) from tb_Invoice")), 0);
        boxes.expect(vb::vbNo, QStringLiteral("Save changes to invoice?"));
        forms::Form::unload<InvoiceDetail>();
    }
}

// A header save that fails keeps everything as unsaved: the flag, the
// window on Exit, and no picker from New Item.
TEST_F(InvoiceDetailTest, FailedHeaderSaveKeepsTheInvoiceUnsaved) {
    startProgram();
    folder.exec(QStringLiteral("create trigger no_header before insert on tb_Invoice "
                               "begin select raise(abort, 'disk full'); end"));
    InvoiceDetail& d = openNew(1001, 10);
    boxes.expect(vb::vbOK);
    click(d.btnSave);
    EXPECT_TRUE(isErrorReport(0, "Invoice.SaveInvoiceAccess -")) << shown(0).toStdString();
    EXPECT_TRUE(Globals::InvoiceChanged);
    EXPECT_EQ(d.lblTotal.Caption(), QString());

    boxes.expect(vb::vbOK);
    click(d.btnNewItem);
    EXPECT_FALSE(forms::Form::isLoaded<InvSearch>());
    EXPECT_TRUE(d.NewInvoiceUnsaved);

    boxes.expect(vb::vbYes);
    boxes.expect(vb::vbOK);
    click(d.btnExit);
    testsupport::pump();
    EXPECT_TRUE(forms::Form::isLoaded<InvoiceDetail>()) << "Exit stops when Yes could not save";
    EXPECT_TRUE(Globals::InvoiceChanged);
    EXPECT_EQ(boxCount(), 4);
    EXPECT_EQ(count(QStringLiteral("select count(*) from tb_Invoice")), 0);
}

// ---------------------------------------------------------------- item grid

// Each quantity committed stores the line with its stock move at once; the
// back order is the part of the line the stock did not cover, and the line
// total and the invoice total show at once.
TEST_F(InvoiceDetailTest, QuantityEditsAndBackOrders) {
    client(1003, QStringLiteral("Bo"), QStringLiteral("Case"));
    struct Step { const char* typed; int stockAfter, backOrder; bool message; };
    struct Case { const char* name; int par, stock, qty, backOrder; std::vector<Step> steps; };
    const Case cases[] = {
        {"stock 2, 1 -> 6", 5, 2, 1, 0, {{"6", -3, -3, true}}},
        {"already short, raised by 2", 5, -3, 3, -3, {{"5", -5, -5, true}}},
        {"short, lowered by 2", 5, -5, 5, -5, {{"3", -3, -3, true}}},
        {"lowered back to stock", 5, -1, 3, -1, {{"1", 1, 0, false}}},
        {"lowered to 0", 5, 2, 3, 0, {{"0", 5, 0, false}}},
        {"not tracked", 0, 0, 1, 0, {{"4", 0, 0, false}}},
        {"same quantity again", 5, 2, 1, 0, {{"1", 2, 0, false}}},
        {"the last one: 1 -> 4 -> 1 -> 0", 5, 0, 1, 0, {{"4", -3, -3, true}, {"1", 0, 0, false}, {"0", 1, 0, false}}},
        {"24 in stock: 30 -> 25 -> 20", 5, -6, 30, -6, {{"25", -1, -1, true}, {"20", 4, 0, false}}},
        {"short by other lines, to 0", 5, -2, 1, -1, {{"0", -1, 0, false}}},
        {"a return", 5, 2, 1, 0, {{"-1", 4, 0, false}}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ++n;
        const int itemNum = 2000 + n, inv = 3000 + n, line = 4000 + n;
        item(itemNum, 1, QStringLiteral("Part %1").arg(n), 4.00, c.par, c.stock);
        storedInvoice(inv, 1003, QStringLiteral("2026-11-03 00:00:00"), 0, 0, 0, QString(),
                      {{line, itemNum, c.qty, 4.0 * c.qty, QStringLiteral("Part %1").arg(n), c.backOrder}});
        startProgram();
        InvoiceDetail& d = openStored(inv, 1003);
        GridDriver grid(d.ItemList);
        for (const Step& st : c.steps) {
            SCOPED_TRACE(st.typed);
            boxes.clear();
            if (st.message) boxes.expect(vb::vbOK);
            ASSERT_TRUE(grid.edit(1, Qty, QString::fromLatin1(st.typed)));
            const int qty = QByteArray(st.typed).toInt();
            EXPECT_EQ(stockOf(itemNum), st.stockAfter);
            EXPECT_EQ(folder.scalar(QStringLiteral("select Qty || ' ' || Backorder from tb_trans where TransNum = %1")
                                        .arg(line)), QStringLiteral("%1 %2").arg(qty).arg(st.backOrder));
            ASSERT_EQ(boxCount(), st.message ? 1 : 0);
            if (st.message)
                EXPECT_EQ(shown(0), QStringLiteral("No Part %1 in Inventory.  Is marked as Back Ordered in Invoice!").arg(n));
            EXPECT_EQ(cell(1, BackOrder), st.backOrder ? QString::number(st.backOrder) : QString());
            EXPECT_EQ(cell(1, Total) + d.lblTotal.Caption(), money(4.0 * qty) + money(4.0 * qty));
            EXPECT_EQ(marker(1), QStringLiteral(">")) << "nothing left pending";
        }
        forms::Form::unload<InvoiceDetail>();
    }
}

// A quantity the line cannot store puts the cell back: nothing moves, nothing
// is pending, and the line keeps its stored quantity and amount.
TEST_F(InvoiceDetailTest, AQuantityThatCannotBeStoredPutsTheCellBack) {
    struct Case { const char* typed; const char* message; };
    const Case cases[] = {
        {"2.5", "Quantity must be a whole number."},
        {"six", "Quantity must be a whole number."},
        {"", "Quantity must be a whole number."},
        {"1e1", "Quantity must be a whole number."},
        {"99999999999", "Quantity must be a whole number."},
        {"5", "Item 1001 is no longer in the inventory; the line was not saved."},
    };
    InvoiceDetail& d = openTwoLines();
    GridDriver grid(d.ItemList);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const bool deleted = c.message[0] == 'I';
        if (deleted) folder.exec(QStringLiteral("delete from tb_Inventory where ItemNum = 1001"));
        boxes.clear();
        boxes.expect(vb::vbOK);
        ASSERT_TRUE(grid.edit(1, Qty, QString::fromLatin1(c.typed)));
        ASSERT_EQ(boxCount(), 1);
        EXPECT_TRUE(shown(0).startsWith(QString::fromLatin1(c.message))) << shown(0).toStdString();
        if (!deleted) {
            EXPECT_EQ(boxes.shown()[0].buttons, vb::vbOKOnly);
            EXPECT_EQ(stockOf(1001), 2);
        }
        EXPECT_EQ(cell(1, Qty), QStringLiteral("3"));
        EXPECT_FALSE(Globals::RowChanged);
        grid.moveTo(2, Qty);
        EXPECT_EQ(folder.scalar(QStringLiteral("select Qty || '|' || Amount from tb_trans where TransNum = 1001")),
                  QStringLiteral("3|30"));
    }
}

// A line's item is the one its stock was taken for: the grid refuses to
// retype it, so removing the invoice gives back what was taken.
TEST_F(InvoiceDetailTest, ALinesItemCannotBeRetyped) {
    twoLineInvoice();
    item(1003, 1, QStringLiteral("Gadget"), 10.00, 5, 10);
    startProgram();
    InvoiceDetail& d = openStored(1001, 1001);
    GridDriver grid(d.ItemList);
    EXPECT_FALSE(grid.edit(1, Item, QStringLiteral("1003")));
    EXPECT_EQ(cell(1, Item), QStringLiteral("1001"));
    ASSERT_TRUE(grid.edit(1, Qty, QStringLiteral("2")));
    grid.moveTo(2, Qty);
    EXPECT_EQ(folder.scalar(QStringLiteral("select ItemNum || '|' || Qty from tb_trans where TransNum = 1001")),
              QStringLiteral("1001|2"));
    EXPECT_EQ(stockOf(1001), 3);
    Invoice inv;
    inv.InitAccess(Globals::DataFilePath());
    inv.OpenCn();
    ASSERT_TRUE(inv.DeleteInvoice(1001));
    inv.CloseCn();
    EXPECT_EQ(stockOf(1001), 5);
    EXPECT_EQ(stockOf(1003), 10);
    EXPECT_EQ(boxCount(), 0);
}

// Every cell edit counts: it reaches the table on leaving the row, a quantity
// at once with its stock; the first row's save stores the header too.
TEST_F(InvoiceDetailTest, RowSavesOnLeavingAChangedRow) {
    InvoiceDetail& d = openTwoLines();
    GridDriver grid(d.ItemList);
    grid.focusIn();   // to the last row, quantity
    EXPECT_EQ(d.ItemList.Row(), 2);
    d.txtDescription.setText(QStringLiteral("Header edit"));

    // A Notes edit is pending until the row is left; row 2's save leaves the header.
    ASSERT_TRUE(grid.edit(2, Notes, QStringLiteral("Longer service")));
    EXPECT_EQ(marker(2), QStringLiteral("?"));
    grid.moveTo(2, Charge);
    EXPECT_EQ(folder.scalar(QStringLiteral("select Notes from tb_trans where TransNum = 1002")), QStringLiteral("Service"));
    grid.moveTo(1, Qty);
    EXPECT_EQ(folder.scalar(QStringLiteral("select Notes from tb_trans where TransNum = 1002")),
              QStringLiteral("Longer service"));
    EXPECT_EQ(storedText(QStringLiteral("Description")), QStringLiteral("Stored"));
    EXPECT_TRUE(Globals::InvoiceChanged);

    // A Charge must be money; the Total is computed and cannot be typed.
    boxes.expect(vb::vbOK);
    ASSERT_TRUE(grid.edit(1, Charge, QStringLiteral("ten")));
    EXPECT_EQ(shown(0), QStringLiteral("Charge must be an amount of money."));
    EXPECT_EQ(cell(1, Charge), QStringLiteral("$10.00"));
    EXPECT_FALSE(Globals::RowChanged);
    EXPECT_FALSE(grid.edit(1, Total, QStringLiteral("1")));
    ASSERT_TRUE(grid.edit(1, Charge, QStringLiteral("9.99")));
    EXPECT_EQ(cell(1, Total), QStringLiteral("$29.97"));
    EXPECT_EQ(marker(1), QStringLiteral("?"));
    // 29.97 + 25 less 10% + 5 + 4.59
    EXPECT_EQ(d.lblTotal.Caption(), QStringLiteral("$59.06"));

    // The quantity goes in at once with its stock, the charge and, on row 1, the header.
    ASSERT_TRUE(grid.edit(1, Qty, QStringLiteral("4")));
    EXPECT_EQ(stockOf(1001), 1);
    EXPECT_EQ(storedLine("Qty", 1001), 4);
    EXPECT_EQ(storedLine("Amount", 1001), 39.96);
    EXPECT_EQ(storedText(QStringLiteral("Description")), QStringLiteral("Header edit"));
    EXPECT_FALSE(Globals::InvoiceChanged);
    EXPECT_EQ(marker(1), QStringLiteral(">"));
    EXPECT_EQ(d.lblTotal.Caption(), QStringLiteral("$68.05"));
    grid.moveTo(2, Total);
    EXPECT_EQ(marker(1), QString());
    EXPECT_TRUE(Globals::InvoicesUpdated);
    EXPECT_EQ(boxCount(), 1);
}

// A quantity typed down to 0 gives the units back, stores an amount of 0, and
// the invoice opens again with a charge of 0 on that line.
TEST_F(InvoiceDetailTest, QuantityOfZeroSavesAndReopens) {
    InvoiceDetail& d = openTwoLines();
    GridDriver grid(d.ItemList);
    grid.focusIn();
    ASSERT_TRUE(grid.edit(1, Qty, QStringLiteral("0")));
    EXPECT_EQ(stockOf(1001), 5);
    grid.moveTo(2, Qty);
    EXPECT_EQ(storedLine("Qty", 1001), 0);
    EXPECT_EQ(storedLine("Amount", 1001), 0);
    EXPECT_EQ(cell(1, Total), QStringLiteral("$0.00"));
    click(d.btnExit);
    testsupport::pump();

    InvoiceDetail& again = openStored(1001, 1001);
    ASSERT_EQ(again.ItemList.Rows(), 3);
    EXPECT_EQ(cell(1, Charge), QStringLiteral("$0.00"));
    EXPECT_EQ(cell(2, Total), QStringLiteral("$25.00"));
    // 25 less 10% + 5 + 4.59
    EXPECT_EQ(again.lblTotal.Caption(), QStringLiteral("$32.09"));
    EXPECT_EQ(boxCount(), 0);
}

// A quantity changed and saved at once by a button stores charge x quantity, to every decimal.
TEST_F(InvoiceDetailTest, ButtonClickSavesThePendingRowWithItsAmount) {
    InvoiceDetail& d = openTwoLines(25.0004);
    GridDriver grid(d.ItemList);
    grid.focusIn();
    ASSERT_TRUE(grid.edit(2, Qty, QStringLiteral("3")));
    click(d.btnSave);
    EXPECT_EQ(storedLine("Qty", 1002), 3);
    EXPECT_EQ(storedLine("Amount", 1002), 75.0012);
    EXPECT_FALSE(Globals::RowChanged);
    // 30 + 75 less 10% + 5 + 4.59
    EXPECT_EQ(d.lblTotal.Caption(), QStringLiteral("$104.09"));
}

// A row save that fails keeps the row pending and the cursor on it; the next
// leave saves that row, not the one the cursor went to. A quantity whose line
// cannot be written moves no stock and goes back.
TEST_F(InvoiceDetailTest, FailedRowSaveIsRetriedOnTheNextLeave) {
    InvoiceDetail& d = openTwoLines();
    GridDriver grid(d.ItemList);
    grid.focusIn();
    folder.exec(QStringLiteral("create trigger no_line before insert on tb_trans begin select raise(abort, 'disk full'); end"));
    boxes.expect(vb::vbOK);
    ASSERT_TRUE(grid.edit(1, Qty, QStringLiteral("5")));
    EXPECT_EQ(stockOf(1001), 2);
    EXPECT_EQ(cell(1, Qty), QStringLiteral("3"));
    EXPECT_FALSE(Globals::RowChanged);
    ASSERT_TRUE(grid.edit(1, Notes, QStringLiteral("Boxed widget")));
    boxes.expect(vb::vbOK);
    grid.moveTo(2, Qty);
    ASSERT_EQ(boxCount(), 2);
    EXPECT_TRUE(isErrorReport(0, "Invoice.SaveLineAccess -")) << shown(0).toStdString();
    EXPECT_TRUE(isErrorReport(1, "Invoice.SaveLineAccess -")) << shown(1).toStdString();
    EXPECT_TRUE(Globals::RowChanged);
    EXPECT_EQ(d.ItemList.Row(), 1);
    EXPECT_EQ(marker(1), QStringLiteral("?"));
    EXPECT_EQ(marker(2), QString());
    EXPECT_EQ(folder.scalar(QStringLiteral("select Notes from tb_trans where TransNum = 1001")), QStringLiteral("Widget"));
    EXPECT_EQ(number(QStringLiteral("select count(*) from tb_trans")), 2) << "the stored line is kept";

    folder.exec(QStringLiteral("drop trigger no_line"));
    grid.moveTo(2, Qty);
    EXPECT_EQ(folder.scalar(QStringLiteral("select Notes from tb_trans where TransNum = 1001")),
              QStringLiteral("Boxed widget"));
    EXPECT_FALSE(Globals::RowChanged);
    EXPECT_EQ(marker(2), QStringLiteral(">"));
    EXPECT_EQ(boxCount(), 2);
}

// However the editor closes, a line with an edit still pending is saved.
TEST_F(InvoiceDetailTest, ClosingSavesThePendingLine) {
    InvoiceDetail& d = openTwoLines();
    GridDriver grid(d.ItemList);
    grid.focusIn();
    ASSERT_TRUE(grid.edit(1, Charge, QStringLiteral("7")));
    d.close();   // the close box
    testsupport::pump();
    EXPECT_FALSE(forms::Form::isLoaded<InvoiceDetail>());
    EXPECT_EQ(storedLine("Amount", 1001), 21);
    EXPECT_FALSE(Globals::RowChanged);
}

// A flag left by another grid editor is not this grid's pending row: moving
// in the item grid saves neither a line nor the header.
TEST_F(InvoiceDetailTest, FlagOfAnotherGridSavesNothingHere) {
    twoLineInvoice();
    startProgram();
    controls::FlexGrid other;
    int oldRow = 0, newRow = 0;
    controls::GridRowEditor otherRows(other, Globals::RowChanged, oldRow, newRow, {.formName = QStringLiteral("Other")});
    otherRows.MarkChanged();

    InvoiceDetail& d = openStored(1001, 1001);
    d.txtDescription.setText(QStringLiteral("Not saved"));
    GridDriver grid(d.ItemList);
    grid.focusIn();
    grid.moveTo(1, Qty);
    grid.moveTo(2, Qty);
    grid.focusOut();
    EXPECT_EQ(storedText(QStringLiteral("Description")), QStringLiteral("Stored"));
    EXPECT_TRUE(Globals::RowChanged) << "still the other grid's";
    EXPECT_FALSE(Globals::InvoicesUpdated);
    boxes.expect(vb::vbNo, QStringLiteral("Save changes to invoice?"));   // the typed description
    d.close();
    testsupport::pump();
    EXPECT_TRUE(Globals::RowChanged);
    EXPECT_EQ(storedText(QStringLiteral("Description")), QStringLiteral("Stored"));
}

// Remove asks first; Yes deletes the line and gives its units back together.
TEST_F(InvoiceDetailTest, RemoveAsksThenGivesTheLinesUnitsBack) {
    InvoiceDetail& d = openTwoLines();
    GridDriver grid(d.ItemList);
    grid.focusIn();
    grid.moveTo(1, Qty);
    boxes.expect(vb::vbNo, QStringLiteral("Remove 3 x Widget from this invoice?"));
    click(d.btnRemove);
    EXPECT_EQ(boxes.shown()[0].buttons, vb::vbYesNo + vb::vbQuestion + vb::vbDefaultButton2);
    EXPECT_EQ(d.ItemList.Rows(), 3);
    {
        SCOPED_TRACE("a failed delete keeps the row and the stock");
        folder.exec(QStringLiteral("create trigger keep_line before delete on tb_trans "
                                   "begin select raise(abort, 'locked'); end"));
        boxes.expect(vb::vbYes);
        boxes.expect(vb::vbOK);
        click(d.btnRemove);
        EXPECT_TRUE(isErrorReport(2, "Invoice.DeleteInvoiceItem -")) << shown(2).toStdString();
        EXPECT_EQ(d.ItemList.Rows(), 3);
        EXPECT_EQ(stockOf(1001), 2);
        folder.exec(QStringLiteral("drop trigger keep_line"));
    }
    boxes.expect(vb::vbYes);
    click(d.btnRemove);
    EXPECT_EQ(count(QStringLiteral("select count(*) from tb_trans where TransNum = 1001")), 0);
    EXPECT_EQ(count(QStringLiteral("select count(*) from tb_trans")), 1);
    ASSERT_EQ(d.ItemList.Rows(), 2);
    EXPECT_EQ(cell(1, Line), QStringLiteral("1002"));
    EXPECT_EQ(stockOf(1001), 5) << "the line's units are back";
    EXPECT_TRUE(Globals::InvoicesUpdated);
    EXPECT_EQ(d.ItemList.Col(), Line);
    // 25 less 10% + 5 + 4.59
    EXPECT_EQ(d.lblTotal.Caption(), QStringLiteral("$32.09"));
    {
        SCOPED_TRACE("with the header current nothing is deleted");
        boxes.expect(vb::vbYes);
        click(d.btnRemove);
        ASSERT_EQ(d.ItemList.Rows(), 1);
        EXPECT_EQ(d.ItemList.Row(), 0);
        boxes.clear();
        boxes.expect(vb::vbOK);
        click(d.btnRemove);
        EXPECT_TRUE(isErrorReport(0, "InvoiceDetail.btnRemove_Click -13")) << shown(0).toStdString();
        EXPECT_EQ(count(QStringLiteral("select count(*) from tb_trans")), 0);
    }
}

// Another copy of the program works on the same file: a quantity moves the
// stock by what the file holds for the line, and a line or an invoice deleted
// there is never written again here, nor any stock moved for it.
TEST_F(InvoiceDetailTest, LinesFollowWhatAnotherCopyDid) {
    InvoiceDetail& d = openTwoLines();   // widget x 3, stock 2: 5 before the line
    GridDriver grid(d.ItemList);
    folder.exec(QStringLiteral("update tb_trans set Qty = 4 where TransNum = 1001; update tb_Inventory set instock = 1"));
    ASSERT_TRUE(grid.edit(1, Qty, QStringLiteral("2")));
    EXPECT_EQ(stockOf(1001), 3);
    folder.exec(QStringLiteral("delete from tb_trans where TransNum = 1001; update tb_Inventory set instock = 5"));
    boxes.expect(vb::vbOK, QStringLiteral("This line has been removed from the invoice; it was not saved."));
    ASSERT_TRUE(grid.edit(1, Qty, QStringLiteral("6")));
    folder.exec(QStringLiteral("delete from tb_Invoice; delete from tb_trans"));
    const QString gone = QStringLiteral("Invoice 1001 has been deleted; it was not saved.");
    boxes.expect(vb::vbOK, gone);
    ASSERT_TRUE(grid.edit(1, Qty, QStringLiteral("6")));
    EXPECT_EQ(cell(1, Qty), QStringLiteral("2"));
    boxes.expect(vb::vbOK, gone);
    pick(1001);
    EXPECT_FALSE(forms::Form::isLoaded<InvSearch>());
    EXPECT_EQ(d.ItemList.Rows(), 3);
    EXPECT_EQ(stockOf(1001), 5);
    EXPECT_EQ(count(QStringLiteral("select count(*) from tb_trans")), 0);
    EXPECT_EQ(boxCount(), 3);
}

TEST_F(InvoiceDetailTest, NewItemSavesTheHeaderAndOpensThePickerOwnedByTheEditor) {
    startProgram();
    InvoiceDetail& d = openNew(1001, 10);
    click(d.btnNewItem);
    EXPECT_EQ(count(QStringLiteral("select count(*) from tb_Invoice where InvoiceNum = 1001")), 1);
    EXPECT_FALSE(d.NewInvoiceUnsaved);
    EXPECT_EQ(Globals::CurrentCatNum, 1);
    ASSERT_TRUE(forms::Form::isLoaded<InvSearch>());
    EXPECT_EQ(forms::Form::get<InvSearch>().Owner(), &d);
    // New closes the picker: it was opened for the invoice just left.
    click(d.btnNew);   // the header was saved by New Item: no question
    EXPECT_FALSE(forms::Form::isLoaded<InvSearch>());
    EXPECT_EQ(d.lblInvoiceNum.Caption(), QStringLiteral("1002"));

    // Closing the editor closes its picker first.
    click(d.btnNewItem);
    ASSERT_TRUE(forms::Form::isLoaded<InvSearch>());
    click(d.btnExit);
    testsupport::pump();
    EXPECT_FALSE(forms::Form::isLoaded<InvSearch>());
    EXPECT_FALSE(forms::Form::isLoaded<InvoiceDetail>());
}

// Another copy of the program saves its new invoice under the number this
// editor shows: the first save here takes the next free number, shows it, and
// the lines picked go to it.
TEST_F(InvoiceDetailTest, ANewInvoiceTakesItsNumberAtItsFirstSaveAndItsLinesFollow) {
    startProgram();
    InvoiceDetail& d = openNew(1001, 10);
    ASSERT_EQ(d.lblInvoiceNum.Caption(), QStringLiteral("1001"));
    storedInvoice(1001, 1002, QStringLiteral("2026-12-09 00:00:00"), 0, 0, 0, QString(),
                  {{1001, 1002, 1, 25, QStringLiteral("Service"), 0}});
    pick(1001);
    EXPECT_EQ(d.lblInvoiceNum.Caption(), QStringLiteral("1002"));
    EXPECT_EQ(storedText(QStringLiteral("CustNum"), 1001), QStringLiteral("1002"));
    EXPECT_EQ(storedText(QStringLiteral("CustNum"), 1002), QStringLiteral("1001"));
    EXPECT_EQ(folder.scalar(QStringLiteral("select group_concat(InvoiceNum || ':' || ItemNum) from "
                                           "(select * from tb_trans order by TransNum)")),
              QStringLiteral("1001:1002,1002:1001"));
    click(d.btnSave);   // saved again: replaces its own header
    EXPECT_EQ(count(QStringLiteral("select count(*) from tb_Invoice")), 2);
    EXPECT_EQ(boxCount(), 0);
}

// ---------------------------------------------------------------- callers

// The editor as the client editor and the sales list open it, after a real
// start-up of the main window.
class InvoiceEditorOpened : public InvoiceDetailTest {
protected:
    void SetUp() override {
        InvoiceDetailTest::SetUp();
        twoLineInvoice();
        forms::Form::get<Customer>();   // start-up: shared instances, lists, client 1001 current
        testsupport::pump();
    }
};

TEST_F(InvoiceEditorOpened, NewInvoiceFromTheClientEditor) {
    Globals::CurrentCustNum = 1001;
    Profile& p = forms::Form::get<Profile>();
    p.Show();
    ASSERT_EQ(p.lblCustNum.Caption(), QStringLiteral("1001"));
    click(p.btnNewInvoice);
    testsupport::pump();
    ASSERT_TRUE(forms::Form::isLoaded<InvoiceDetail>());
    InvoiceDetail& d = detail();
    EXPECT_TRUE(d.Visible());
    EXPECT_EQ(d.lblInvoiceNum.Caption(), QStringLiteral("1002"));
    EXPECT_EQ(d.lblCustomer.Caption(), QStringLiteral("John Smith"));
    EXPECT_EQ(d.txtDiscount.Text(), QStringLiteral("10"));
    EXPECT_EQ(d.ItemList.Rows(), 1);
    EXPECT_EQ(count(QStringLiteral("select count(*) from tb_Invoice")), 1) << "nothing written yet";
    click(d.btnSave);
    EXPECT_EQ(storedText(QStringLiteral("CustNum"), 1002), QStringLiteral("1001"));
    EXPECT_EQ(boxCount(), 0);
}

TEST_F(InvoiceEditorOpened, OpenFromTheSalesListAndCloseItWithALinePending) {
    Globals::CurrentCustNum = 1001;
    CustInvoices& sales = forms::Form::get<CustInvoices>();
    sales.Show();
    Globals::GetInvoices(vb::Date());
    ASSERT_EQ(sales.InvoiceList.Rows(), 2);
    testsupport::GridDriver(sales.InvoiceList).dblClick(1, 1);
    testsupport::pump();
    ASSERT_TRUE(forms::Form::isLoaded<InvoiceDetail>());
    InvoiceDetail& d = detail();
    EXPECT_EQ(d.Owner(), &sales);
    EXPECT_EQ(d.lblInvoiceNum.Caption(), QStringLiteral("1001"));
    EXPECT_EQ(d.txtDescription.Text(), QStringLiteral("Stored"));
    EXPECT_EQ(d.ItemList.Rows(), 3);
    EXPECT_EQ(d.lblTotal.Caption(), QStringLiteral("$59.09"));

    // A charge edited and not yet saved when the sales list closes.
    GridDriver grid(d.ItemList);
    grid.focusIn();
    ASSERT_TRUE(grid.edit(1, Charge, QStringLiteral("2")));
    forms::Form::Unload(sales);
    testsupport::pump();
    EXPECT_FALSE(forms::Form::isLoaded<InvoiceDetail>());
    EXPECT_EQ(storedLine("Amount", 1001), 6);
    EXPECT_FALSE(Globals::RowChanged);
    EXPECT_EQ(boxCount(), 0);
}

} // namespace
