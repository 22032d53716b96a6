// The client sales list: its defaults, Go with either filter, the header
// click's offer, the commands acting on the highlighted row, delete through
// the loader, resizing and the saved geometry.
#include <gtest/gtest.h>
#include <QFile>
#include <QFontMetrics>
#include <QTimer>
#include "books/frmInventory.h"
#include "customers/CustInvoices.h"
#include "customers/Customer.h"
#include "customers/InvoiceDetail.h"
#include "customers/Profile.h"
#include "customers/Receipts.h"
#include "customers/StatusWindow.h"
#include "data/Globals.h"
#include "forms/App.h"
#include "forms/Form.h"
#include "forms/Twips.h"
#include "support/FormDriver.h"
#include "support/GridDriver.h"
#include "support/WindowFixture.h"
#include "vb/Conv.h"
#include "vb/MsgBox.h"

using forms::Form;

namespace {

QString money(double x) { return vb::FormatCurrency(vb::Currency::fromDouble(x)); }

class SalesListTest : public testsupport::WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        Globals::IniPath = forms::AppPath() + QStringLiteral("\\Vantrel.ini");
    }
    void clientsAndInvoices() {
        folder.exec("insert into tb_Client (CustNum, Fname, Lname) values (1001, 'John', 'Smith'), (1002, 'Ann', 'Other')");
        folder.exec("insert into tb_Inventory (ItemNum, CatNum, Description, charge, par, instock) values "
                    "(1, 1, 'Counted', 10, 5, 20), (2, 1, 'Service', 30, 0, 0)");
        invoice(1001, 1001, "2025-11-30", "Last year");
        invoice(1002, 1001, "2026-01-01", "New Year's Day");
        invoice(1003, 1001, "2026-01-02", "Second");
        invoice(1004, 1001, "2026-03-01", "Newest");
        invoice(1005, 1002, "2026-02-01", "Ann's");
        line(1, 1003, 1, 3, 30);
        line(2, 1003, 2, 1, 30);
        line(3, 1004, 1, 1, 10);
        line(4, 1001, 1, 2, 20);
    }
    void invoice(int num, int cust, const QString& date, const QString& desc) {
        folder.exec(QStringLiteral("insert into tb_Invoice (InvoiceNum, CustNum, [Date], Description, discount, tax, "
                                   "shippingcharge, shippingdate, interest) values (%1, %2, '%3 00:00:00', '%4', 0, 0, 0, "
                                   "'%3 00:00:00', 0)")
                        .arg(num).arg(cust).arg(date, QString(desc).replace("'", "''")));
    }
    void line(int trans, int inv, int item, int qty, double amount) {
        folder.exec(QStringLiteral("insert into tb_trans (TransNum, InvoiceNum, ItemNum, Qty, Amount, Notes, Backorder) "
                                   "values (%1, %2, %3, %4, %5, '', 0)")
                        .arg(trans).arg(inv).arg(item).arg(qty).arg(amount));
    }
    // The program started on this data file, then the list as the main
    // window's double-click fills it.
    CustInvoices& openFor(int cust) {
        Form::get<Customer>();
        Globals::CurrentCustNum = cust;
        CustInvoices& s = Form::get<CustInvoices>();
        s.Show();
        Globals::GetInvoices(Globals::CurrentSinceDate);
        return s;
    }
    QStringList listed(const CustInvoices& s) const {
        QStringList nums;
        for (int r = 1; r < s.InvoiceList.Rows(); ++r) nums << s.InvoiceList.TextMatrix(r, 1);
        return nums;
    }
    int number(const QString& sql) const { return folder.scalar(sql).toInt(); }
    QString ini(const QString& key) const {
        return Globals::ReadIniString("CustInvoices", key, "missing", Globals::IniPath);
    }
};

TEST_F(SalesListTest, LoadSetsSinceDateFilterAndPlace) {
    CustInvoices& s = Form::get<CustInvoices>();
    EXPECT_EQ(s.Caption(), "Client Sales");
    EXPECT_EQ(s.DTPicker1.Value(), vb::Date::fromYmd(2026, 1, 1));
    EXPECT_EQ(s.txtSinceDate.Text(), "01/01/26");
    EXPECT_EQ(Globals::CurrentSinceDate, vb::Date::fromYmd(2026, 1, 1));
    ASSERT_EQ(s.CmbInvoice.ListCount(), 2);
    EXPECT_EQ(s.CmbInvoice.List(0), "Selected Client");
    EXPECT_EQ(s.CmbInvoice.List(1), "All Clients");
    EXPECT_EQ(s.CmbInvoice.Text(), "Selected Client");
    // No place stored: cascaded from the main window, wide enough for its columns.
    EXPECT_EQ(s.Left(), 100 + 450) << "the main window's default place, one step on";
    EXPECT_EQ(s.Top(), 100 + 450);
    EXPECT_EQ(s.Width(), 7500);
    EXPECT_EQ(s.Height(), 6000);
    EXPECT_EQ(s.InvoiceList.Rows(), 1) << "the load does not fill the grid";
    Form::unload<CustInvoices>();

    // A date picked in the picker replaces the typed text; the settings file
    // places the window.
    QFile f(folder.iniFile());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[CustInvoices]\r\nLEFT=250\r\nTOP=300\r\nWIDTH=9000\r\nHEIGHT=7000\r\n");
    f.close();
    CustInvoices& again = Form::get<CustInvoices>();
    EXPECT_EQ(again.Left(), 250);
    EXPECT_EQ(again.Width(), 9000);
    EXPECT_EQ(again.Height(), 7000);
    again.txtSinceDate.setText("02/03/24");
    again.DTPicker1.Pick(vb::Date::fromYmd(2025, 7, 4));
    EXPECT_EQ(again.txtSinceDate.Text(), "07/04/25");
}

TEST_F(SalesListTest, GoListsStrictlyAfterTheSinceDateWithEitherFilter) {
    clientsAndInvoices();
    CustInvoices& s = openFor(1001);
    EXPECT_EQ(listed(s), QStringList({"1004", "1003"})) << "an invoice on the since-date is not listed";
    EXPECT_EQ(s.lblBalDue.Caption(), money(30 + 30 + 10 + 20));

    // The notice names the client while the list loads, and is owned by it.
    QString notice;
    forms::Form* owner = nullptr;
    auto watch = [&] {
        QTimer::singleShot(0, [&] {
            if (!Form::isLoaded<LoadingInvoices>()) return;
            notice = Form::get<LoadingInvoices>().Label1.Caption();
            owner = Form::get<LoadingInvoices>().Owner();
        });
    };

    s.txtSinceDate.setText("12/31/25");
    Globals::CurrentCustName = "Smith, John ";
    watch();
    s.btnGo_Click();
    EXPECT_EQ(listed(s), QStringList({"1004", "1003", "1002"}));
    EXPECT_EQ(notice, "Loading Invoices for ... Smith, John ");
    EXPECT_EQ(owner, &s);
    EXPECT_FALSE(Form::isLoaded<LoadingInvoices>());
    EXPECT_TRUE(s.Label3.Visible());
    EXPECT_TRUE(s.lblBalDue.Visible());

    s.CmbInvoice.setText("All Clients");
    watch();
    s.btnGo_Click();
    EXPECT_EQ(listed(s), QStringList({"1005", "1004", "1003", "1002"}));
    EXPECT_EQ(notice, "Loading Invoices for ... All Clients");
    EXPECT_FALSE(Form::isLoaded<LoadingInvoices>());
    EXPECT_FALSE(s.Label3.Visible());
    EXPECT_FALSE(s.lblBalDue.Visible());
    EXPECT_EQ(Globals::CurrentCustNum, 1001) << "every client listed, the client stays";
    EXPECT_EQ(Globals::CurrentCustName, "Other, Ann ") << "the first listed row names the current invoice";

    // Not a date: the report, the list as it was, the notice closed.
    s.CmbInvoice.setText("Selected Client");
    s.txtSinceDate.setText("02/30/26");
    boxes.expect(vb::vbOK);
    s.btnGo_Click();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(boxes.lastPrompt().startsWith("ClientInvoices.btnGo_Click -13 ")) << boxes.lastPrompt().toStdString();
    EXPECT_EQ(listed(s).size(), 4);
    EXPECT_FALSE(Form::isLoaded<LoadingInvoices>());
}

TEST_F(SalesListTest, LongDatesNumbersAndChargesAreNotCutShort) {
    // The loaders fix the column widths; a figure cut at its last digit would
    // read as another amount.
    folder.exec("insert into tb_Client (CustNum, Fname, Lname) values (1001, 'John', 'Smith')");
    invoice(88888, 1001, "2026-12-28", "Year end");
    folder.exec("insert into tb_trans (TransNum, InvoiceNum, ItemNum, Qty, Amount, Notes, Backorder) "
                "values (1, 88888, 0, 1, 88888.88, '', 0)");
    CustInvoices& s = openFor(1001);
    ASSERT_EQ(s.InvoiceList.Rows(), 2);
    const QFontMetrics m(s.InvoiceList.font());
    for (int r = 0; r < 2; ++r)
        for (int c : {0, 1, 5}) {
            const QString text = s.InvoiceList.TextMatrix(r, c);
            // Cells keep three pixels clear on either side.
            EXPECT_LE(m.horizontalAdvance(text) + 6, forms::TwipsToPixelsX(s.InvoiceList.ColWidth(c)))
                << "row " << r << ": " << text.toStdString();
        }
    EXPECT_EQ(s.InvoiceList.TextMatrix(1, 5), money(88888.88));
}

TEST_F(SalesListTest, RowClickTakesTheRowAndTheHeaderOffersANewInvoice) {
    clientsAndInvoices();
    CustInvoices& s = openFor(1001);
    testsupport::GridDriver grid(s.InvoiceList);
    grid.click(2, 4);
    EXPECT_EQ(Globals::CurrentInvoiceNum, 1003);
    EXPECT_EQ(Globals::CurrentInvoiceDate, vb::Date::fromYmd(2026, 1, 2));
    EXPECT_EQ(Globals::CurrentCustNum, 1001);
    EXPECT_EQ(Globals::CurrentCustName, "Smith, John") << "no trailing blank from a row click";
    EXPECT_EQ(Globals::CurrentInvoiceDesc, "Second");

    boxes.expect(vb::vbNo);
    grid.click(0, 4);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].prompt, "Invoice not clicked on.  Enter New Invoice for Smith, John?");
    EXPECT_EQ(boxes.shown()[0].buttons, 292);
    EXPECT_EQ(boxes.shown()[0].title, "Enter New Invoice?");
    EXPECT_EQ(Globals::CurrentInvoiceNum, 1003) << "nothing assigned from the header";
    EXPECT_FALSE(Form::isLoaded<InvoiceDetail>());

    // Yes with no client selected: the new invoice is refused.
    Globals::CurrentCustNum = 0;
    boxes.expect(vb::vbYes);
    boxes.expect(vb::vbOK);
    s.InvoiceList_Click();
    ASSERT_EQ(boxes.shown().size(), 3u);
    EXPECT_EQ(boxes.shown()[2].prompt, "Select or enter a client first.");
    EXPECT_FALSE(Form::isLoaded<InvoiceDetail>());

    // Yes with a client: a new invoice, in an editor of its own.
    Globals::CurrentCustNum = 1001;
    boxes.expect(vb::vbYes);
    s.InvoiceList_Click();
    ASSERT_TRUE(Form::isLoaded<InvoiceDetail>());
    EXPECT_EQ(Form::get<InvoiceDetail>().Owner(), nullptr);
    EXPECT_EQ(Globals::CurrentInvoiceNum, 0);
    EXPECT_EQ(number("select count(*) from tb_Invoice"), 5) << "nothing is written yet";
}

TEST_F(SalesListTest, CommandsActOnTheHighlightedRow) {
    clientsAndInvoices();
    CustInvoices& s = openFor(1001);
    testsupport::GridDriver grid(s.InvoiceList);
    // Keyboard moves raise no Click: the loader's row 1 is still current.
    grid.moveTo(2, 1);
    EXPECT_EQ(Globals::CurrentInvoiceNum, 1004);

    boxes.expect(vb::vbNo);
    s.btnDelete_Click();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].prompt, "Delete invoice #1003 and all associated charges?");
    EXPECT_EQ(boxes.shown()[0].title, "Delete Invoice ... #1003?");
    EXPECT_EQ(boxes.shown()[0].buttons, 292);
    EXPECT_FALSE(Globals::DeleteInvoicePending);
    EXPECT_EQ(number("select count(*) from tb_Invoice where InvoiceNum = 1003"), 1);

    // Enter opens the highlighted invoice, owned by the list.
    int key = 13;
    s.InvoiceList_KeyDown(key, 0);
    ASSERT_TRUE(Form::isLoaded<InvoiceDetail>());
    EXPECT_EQ(Globals::CurrentInvoiceNum, 1003);
    EXPECT_EQ(Form::get<InvoiceDetail>().Owner(), &s);
    EXPECT_EQ(Form::get<InvoiceDetail>().lblInvoiceNum.Caption(), "1003");
    // A second open only brings the open editor forward.
    grid.moveTo(1, 1);
    s.btnDetails_Click();
    EXPECT_EQ(Form::get<InvoiceDetail>().lblInvoiceNum.Caption(), "1003");
    // Closing the list closes the editor it owns.
    Form::Unload(s);
    EXPECT_FALSE(Form::isLoaded<InvoiceDetail>());

    // New Invoice, in contrast, closes an open editor and starts a new
    // invoice in one of its own, which outlives the list.
    CustInvoices& again = openFor(1001);
    again.btnDetails_Click();
    ASSERT_EQ(Form::get<InvoiceDetail>().lblInvoiceNum.Caption(), "1004");
    testsupport::click(again.btnNewInvoice);
    ASSERT_TRUE(Form::isLoaded<InvoiceDetail>());
    EXPECT_EQ(Form::get<InvoiceDetail>().Owner(), nullptr);
    EXPECT_EQ(Form::get<InvoiceDetail>().lblInvoiceNum.Caption(), "1006");
    Form::Unload(again);
    EXPECT_TRUE(Form::isLoaded<InvoiceDetail>());
}

TEST_F(SalesListTest, DeleteGivesStockBackToCountedItemsAndListsEveryDate) {
    clientsAndInvoices();
    CustInvoices& s = openFor(1001);
    testsupport::GridDriver grid(s.InvoiceList);
    grid.moveTo(2, 1);   // 1003: three counted units and one service
    boxes.expect(vb::vbYes);
    s.btnDelete_Click();

    EXPECT_FALSE(Globals::DeleteInvoicePending);
    EXPECT_EQ(number("select count(*) from tb_Invoice where InvoiceNum = 1003"), 0);
    EXPECT_EQ(number("select count(*) from tb_trans where InvoiceNum = 1003"), 0);
    EXPECT_EQ(number("select instock from tb_Inventory where ItemNum = 1"), 23);
    EXPECT_EQ(number("select instock from tb_Inventory where ItemNum = 2"), 0);
    EXPECT_EQ(listed(s), QStringList({"1004", "1002", "1001"})) << "every date once deleted";
    EXPECT_EQ(s.txtSinceDate.Text(), "01/01/26");
    EXPECT_EQ(s.lblBalDue.Caption(), money(10 + 20));
    EXPECT_EQ(s.lblBalDue.ForeColor(), 255);
}

TEST_F(SalesListTest, WithNoInvoiceListedTheRowCommandsDoNothing) {
    folder.exec("insert into tb_Client (CustNum, Fname, Lname) values (1001, 'John', 'Smith')");
    CustInvoices& s = openFor(1001);
    ASSERT_EQ(s.InvoiceList.Rows(), 1);
    Globals::CurrentInvoiceNum = 777;
    s.btnDelete_Click();
    s.btnDetails_Click();
    s.btnPrint_Click();
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_FALSE(Form::isLoaded<InvoiceDetail>());
    EXPECT_EQ(Globals::CurrentInvoiceNum, 777);
}

TEST_F(SalesListTest, ClientAndPaymentsButtonsOpenTheirWindowsForTheCurrentClient) {
    clientsAndInvoices();
    CustInvoices& s = openFor(1002);
    // The client editor is reloaded so it shows the current client.
    Globals::CurrentCustNum = 1001;
    Form::get<Profile>();
    Globals::CurrentCustNum = 1002;
    s.btnCustInfo_Click();
    ASSERT_TRUE(Form::isLoaded<Profile>());
    EXPECT_EQ(Form::get<Profile>().lblCustNum.Caption(), "1002");

    Globals::CurrentCustNum = 0;
    boxes.expect(vb::vbOK);
    s.btnReceipts_Click();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.lastPrompt(), "Select or enter a client first");
    EXPECT_FALSE(Form::isLoaded<Receipts>());
    Globals::CurrentCustNum = 1002;
    s.btnReceipts_Click();
    EXPECT_TRUE(Form::isLoaded<Receipts>());

    folder.exec("INSERT INTO tb_InvCategories VALUES (1, 'General')");
    s.btnInventory_Click();
    EXPECT_EQ(Globals::CurrentCatNum, 1);
    EXPECT_TRUE(Form::isLoaded<frmInventory>());
}

TEST_F(SalesListTest, ResizeRulesHoldAtAndJustAboveEachThreshold) {
    CustInvoices& s = Form::get<CustInvoices>();
    // Which assignments each size makes (strict tests); the rest stay put.
    struct Case {
        int W, H;
        bool gridW, gridL, gridH, gridT, l3L, l3T, balL, frame2W, frame2L, frame3T, frame1T;
    } cases[] = {
        {160, 1700, false, true, false, true, false, true, false, false, true, true, true},
        {161, 1701, true, true, true, true, false, true, false, true, true, true, true},
        {20, 1000, false, false, false, false, false, true, false, false, false, true, true},
        {21, 1001, false, true, false, true, false, true, false, false, true, true, true},
        {1000, 650, true, true, false, false, false, false, false, true, true, true, true},
        {1001, 651, true, true, false, false, false, true, true, true, true, true, true},
        {2300, 510, true, true, false, false, false, false, true, true, true, true, false},
        {2301, 511, true, true, false, false, true, false, true, true, true, true, true},
        {8000, 110, true, true, false, false, true, false, true, true, true, false, false},
        {8000, 111, true, true, false, false, true, false, true, true, true, true, false},
    };
    // Controls sit on whole pixels (15 twips), so compare to within one.
    const int pos = 75, size = 450;
    for (const Case& c : cases) {
        for (controls::Control* ctl : std::initializer_list<controls::Control*>{
                 &s.InvoiceList, &s.Label3, &s.lblBalDue, &s.Frame2, &s.Frame3, &s.Frame1})
            ctl->Move(pos, pos, size, size);
        s.Move(0, 0, c.W, c.H);
        s.Form_Resize();
        SCOPED_TRACE(testing::Message() << c.W << " x " << c.H);
        EXPECT_NEAR(s.InvoiceList.Width(), c.gridW ? c.W - 160 : size, 14);
        EXPECT_NEAR(s.InvoiceList.Left(), c.gridL ? 20 : pos, 14);
        EXPECT_NEAR(s.InvoiceList.Height(), c.gridH ? c.H - 1700 : size, 14);
        EXPECT_NEAR(s.InvoiceList.Top(), c.gridT ? 1000 : pos, 14);
        EXPECT_NEAR(s.Label3.Left(), c.l3L ? c.W - 2300 : pos, 14);
        EXPECT_NEAR(s.Label3.Top(), c.l3T ? c.H - 650 : pos, 14);
        EXPECT_NEAR(s.lblBalDue.Left(), c.balL ? s.Label3.Left() + 1000 : pos, 14);
        EXPECT_NEAR(s.lblBalDue.Top(), s.Label3.Top() - 15, 14);
        EXPECT_NEAR(s.Frame2.Width(), c.frame2W ? c.W - 160 : size, 14);
        EXPECT_NEAR(s.Frame2.Left(), c.frame2L ? 20 : pos, 14);
        EXPECT_NEAR(s.Frame3.Left(), s.Frame2.Width() - s.Frame3.Width(), 14);
        EXPECT_NEAR(s.Frame3.Top(), c.frame3T ? 110 : pos, 14);
        EXPECT_NEAR(s.Frame1.Left(), s.Frame2.Left(), 14);
        EXPECT_NEAR(s.Frame1.Width(), s.Frame2.Width(), 14);
        EXPECT_NEAR(s.Frame1.Top(), c.frame1T ? 510 : pos, 14);
    }
}

TEST_F(SalesListTest, GeometryIsSavedUnlessMinimised) {
    CustInvoices& s = Form::get<CustInvoices>();
    s.Show();
    s.Move(600, 450, 9000, 6600);
    s.Form_Unload();
    EXPECT_EQ(ini("LEFT"), "600");
    EXPECT_EQ(ini("TOP"), "450");
    EXPECT_EQ(ini("WIDTH"), "9000");
    EXPECT_EQ(ini("HEIGHT"), "6600");

    s.Move(700, 700, 7000, 7000);
    s.setWindowState(forms::Form::vbMinimized);
    Form::Unload(s);
    EXPECT_EQ(ini("LEFT"), "600") << "a minimised window leaves the settings as they were";
    EXPECT_EQ(ini("WIDTH"), "9000");
}

} // namespace
