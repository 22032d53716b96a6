// The program's main road on a real data file: a client, a new invoice, two
// picks, a quantity raised past stock, shipping and tax, Save, and the stored
// total equal to the total shown.
#include "customers/CustInvoices.h"
#include "customers/Customer.h"
#include "customers/InvoiceFixture.h"

using namespace invoicetest;

namespace {

class MainRoad : public InvoiceFixture {
protected:
    void SetUp() override {
        InvoiceFixture::SetUp();
        company(6);
        client(1001, QStringLiteral("John"), QStringLiteral("Smith"), 10);
        category(1, QStringLiteral("Parts"));
        item(1001, 1, QStringLiteral("Widget"), 10.00, 5, 2);     // tracked
        item(1002, 1, QStringLiteral("Service"), 25.00, 0, 0);    // not tracked
    }
};

TEST_F(MainRoad, InvoiceFromNewToStoredTotal) {
    // Start-up, the client's row, New Invoice.
    Customer& main = forms::Form::get<Customer>();
    testsupport::pump();
    ASSERT_EQ(main.CustList2.Rows(), 2);
    testsupport::GridDriver(main.CustList2).click(1, 2);
    EXPECT_EQ(Globals::CurrentCustNum, 1001);
    testsupport::click(main.btnNewInvoice);
    testsupport::pump();
    ASSERT_TRUE(forms::Form::isLoaded<InvoiceDetail>());
    InvoiceDetail& d = detail();
    EXPECT_TRUE(d.Visible());
    EXPECT_EQ(d.txtDiscount.Text(), QStringLiteral("10"));
    EXPECT_EQ(d.lblInvoiceNum.Caption(), QStringLiteral("1001"));
    EXPECT_EQ(count(QStringLiteral("select count(*) from tb_Invoice")), 0) << "a new invoice writes nothing";

    // New Item stores the header before the first line refers to it.
    testsupport::click(d.btnNewItem);
    EXPECT_EQ(count(QStringLiteral("select count(*) from tb_Invoice where InvoiceNum = 1001 and CustNum = 1001")), 1);
    pickInOpenPicker(1001);
    testsupport::pump();
    EXPECT_FALSE(forms::Form::isLoaded<InvSearch>());
    EXPECT_EQ(stockOf(1001), 1);
    EXPECT_EQ(cell(1, Qty), QStringLiteral("1"));
    EXPECT_EQ(cell(1, Charge), QStringLiteral("$10.00"));
    EXPECT_EQ(cell(1, Total), QStringLiteral("$10.00"));
    EXPECT_EQ(marker(1), QStringLiteral(">"));
    EXPECT_EQ(cell(1, Line), QStringLiteral("1001"));
    EXPECT_EQ(d.lblTotal.Caption(), QStringLiteral("$9.00"));

    pick(1002);
    EXPECT_EQ(stockOf(1002), 0) << "an item without a par level keeps its count";
    EXPECT_EQ(cell(2, Line), QStringLiteral("1002"));
    EXPECT_EQ(d.lblTotal.Caption(), QStringLiteral("$31.50"));

    // Raised past stock: the line and its stock are stored at once, the shortfall back ordered.
    boxes.expect(vb::vbOK);
    testsupport::GridDriver grid(d.ItemList);
    ASSERT_TRUE(grid.edit(1, Qty, QStringLiteral("6")));
    EXPECT_EQ(stockOf(1001), -4);
    ASSERT_EQ(boxCount(), 1);
    EXPECT_EQ(shown(0), QStringLiteral("No Widget in Inventory.  Is marked as Back Ordered in Invoice!"));
    EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("Vantrels"));
    EXPECT_EQ(cell(1, BackOrder), QStringLiteral("-4"));
    EXPECT_EQ(marker(1), QStringLiteral(">"));
    EXPECT_EQ(number(QStringLiteral("select Qty from tb_trans where TransNum = 1001")), 6);
    EXPECT_EQ(d.lblTotal.Caption(), QStringLiteral("$76.50"));

    testsupport::click(d.btnSave);
    EXPECT_EQ(number(QStringLiteral("select Amount from tb_trans where TransNum = 1001")), 60);
    EXPECT_EQ(number(QStringLiteral("select Backorder from tb_trans where TransNum = 1001")), -4);
    EXPECT_FALSE(Globals::RowChanged);

    testsupport::focus(d.txtShipCharge);
    d.txtShipCharge.SelectAll();
    testsupport::type(d.txtShipCharge, QStringLiteral("5"));
    testsupport::click(d.btnTax);
    EXPECT_EQ(d.txtShipCharge.Text(), QStringLiteral("$5.00"));
    EXPECT_EQ(d.txtTax.Text(), QStringLiteral("$4.59"));

    testsupport::click(d.btnSave);
    EXPECT_EQ(d.lblTotal.Caption(), QStringLiteral("$86.09"));
    Invoice check;
    check.InitAccess(Globals::DataFilePath());
    check.OpenCn();
    EXPECT_EQ(vb::FormatCurrency(check.InvoiceTotal(1001)), QStringLiteral("$86.09"));
    check.CloseCn();
    EXPECT_EQ(number(QStringLiteral("select tax from tb_Invoice where InvoiceNum = 1001")), 4.59);
    EXPECT_EQ(number(QStringLiteral("select shippingcharge from tb_Invoice where InvoiceNum = 1001")), 5);
    EXPECT_FALSE(Globals::InvoiceChanged);
    EXPECT_TRUE(Globals::InvoicesUpdated);

    // Exit refills the sales list with every invoice of the client and shows it.
    testsupport::click(d.btnExit);
    testsupport::pump();
    EXPECT_FALSE(forms::Form::isLoaded<InvoiceDetail>());
    ASSERT_TRUE(forms::Form::isLoaded<CustInvoices>());
    CustInvoices& sales = forms::Form::get<CustInvoices>();
    EXPECT_TRUE(sales.Visible());
    ASSERT_EQ(sales.InvoiceList.Rows(), 2);
    EXPECT_EQ(sales.InvoiceList.TextMatrix(1, 1), QStringLiteral("1001"));
    EXPECT_EQ(sales.InvoiceList.TextMatrix(1, 5), QStringLiteral("$86.09"));
    EXPECT_EQ(sales.lblBalDue.Caption(), QStringLiteral("$86.09"));
    EXPECT_EQ(sales.lblBalDue.ForeColor(), 255);
    EXPECT_FALSE(Globals::InvoicesUpdated);

    // Deleting the invoice there gives the tracked item its units back.
    sales.InvoiceList.setRow(1);
    boxes.expect(vb::vbYes);
    testsupport::click(sales.btnDelete);
    testsupport::pump();
    EXPECT_EQ(count(QStringLiteral("select count(*) from tb_Invoice")), 0);
    EXPECT_EQ(count(QStringLiteral("select count(*) from tb_trans")), 0);
    EXPECT_EQ(stockOf(1001), 2);
    EXPECT_EQ(stockOf(1002), 0);
    EXPECT_EQ(sales.InvoiceList.Rows(), 1);
    EXPECT_EQ(boxCount(), 2);
}

} // namespace
