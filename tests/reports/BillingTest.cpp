// The statement selection window: its design, the client list with balances
// and last payments, and its print button.
#include <gtest/gtest.h>
#include "customers/InvoiceFixture.h"
#include "reports/Billing.h"
#include "reports/PrtBilling.h"
#include "support/FormDriver.h"
#include "vb/ErrorTrap.h"

using forms::Form;
using invoicetest::money;

namespace {

class BillingTest : public invoicetest::InvoiceFixture {
protected:
    void invoice(int num, int cust, const QString& date, double amount) {
        folder.exec(QStringLiteral("insert into tb_Invoice (InvoiceNum, CustNum, [Date], Description, discount, tax, "
                                   "shippingcharge, interest) values (%1, %2, '%3 00:00:00', 'Goods', 0, 0, 0, 0)")
                        .arg(num).arg(cust).arg(date));
        folder.exec(QStringLiteral("insert into tb_trans (InvoiceNum, ItemNum, Qty, Amount, Notes) values (%1, 7, 1, %2, 'x')")
                        .arg(num).arg(amount));
    }
    void payment(int trans, int cust, const QString& date, double amount) {
        folder.exec(QStringLiteral("insert into tb_Receive (TransNum, CustNum, Type, [Date], Amount) "
                                   "values (%1, %2, 'Check', '%3 00:00:00', %4)")
                        .arg(trans).arg(cust).arg(date).arg(amount));
    }
    Billing& open() {
        Billing& b = Form::get<Billing>();
        b.Show();
        return b;
    }
    static QStringList row(const Billing& b, int r) {
        QStringList cells;
        for (int c = 0; c < b.CustList2.Cols(); ++c) cells << b.CustList2.TextMatrix(r, c);
        return cells;
    }
};

TEST_F(BillingTest, OpensWithAllClientsThirtyDaysAndTheListSetUp) {
    startProgram();
    Billing& b = open();
    EXPECT_EQ(b.Caption(), "Select criteria for printing billing statements");
    EXPECT_EQ(b.Owner(), nullptr);
    EXPECT_EQ(b.Frame1.Caption(), "Print");
    EXPECT_EQ(b.OptClient.Caption(), "Selected Client");
    EXPECT_EQ(b.OptAll.Caption(), "All Clients with Balance");
    EXPECT_TRUE(b.OptAll.Value());
    EXPECT_FALSE(b.OptClient.Value());
    EXPECT_EQ(b.Label1.Caption(), "Include transactions of previous");
    EXPECT_EQ(b.txtDays.Text(), "30");
    EXPECT_EQ(b.Label2.Caption(), "days.");
    EXPECT_EQ(b.btnPrint.Caption(), "");
    EXPECT_EQ(b.btnPrint.toolTip(), "Print this invoice");
    EXPECT_EQ(b.Label3.Caption(), "Clients with Balance Due");

    // No client owes anything: the header row alone.
    const controls::FlexGrid& g = b.CustList2;
    EXPECT_EQ(g.Rows(), 1);
    EXPECT_EQ(row(b, 0), QStringList({"CustNum", "Name", "Balance", "Last Pmt Date", "Last Pmt Amt"}));
    const std::vector<int> widths = {0, 1800, 1000, 1500, 1500};
    const std::vector<int> aligns = {controls::flexAlignLeft, controls::flexAlignLeft, controls::flexAlignRight,
                                     controls::flexAlignCenter, controls::flexAlignRight};
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(g.ColWidth(c), widths[size_t(c)]) << "column " << c;
        EXPECT_EQ(g.ColAlignment(c), aligns[size_t(c)]) << "column " << c;
    }
    EXPECT_EQ(g.ColDataType(2), controls::flexDTCurrency);
    EXPECT_EQ(g.ColDataType(4), controls::flexDTCurrency);
    EXPECT_FALSE(g.Editable());

    // The option buttons are one group.
    b.OptClient.setValue(true);
    EXPECT_FALSE(b.OptAll.Value());
    EXPECT_TRUE(boxes.shown().empty());
}

// By full name; a client's last payment is the newest, of a day's payments
// the one entered last; without payments the date is empty and the amount 0.
TEST_F(BillingTest, ListsEachClientWithBalanceAndLastPayment) {
    client(1001, "Zed", "Young");
    client(1002, "Amy", "Baker");
    client(1003, "Cal", "Moss");
    invoice(1001, 1001, "2026-11-01", 100);
    invoice(1002, 1002, "2026-11-02", 80);
    invoice(1003, 1003, "2026-11-03", 50);
    payment(5, 1001, "2026-11-10", 20);
    payment(9, 1001, "2026-11-12", 7.5);
    payment(7, 1001, "2026-11-12", 12.25);
    payment(8, 1003, "2026-11-04", 1);
    startProgram();

    Billing& b = open();
    ASSERT_EQ(b.CustList2.Rows(), 4);
    EXPECT_EQ(row(b, 1), QStringList({"1002", "Baker, Amy", money(80), "", money(0)}));
    EXPECT_EQ(row(b, 2), QStringList({"1003", "Moss, Cal", money(49), "11/4/2026", money(1)}));
    EXPECT_EQ(row(b, 3), QStringList({"1001", "Young, Zed", money(60.25), "11/12/2026", money(7.5)}));
    EXPECT_TRUE(boxes.shown().empty());
}

// The window shows what the stored query gives, credits included.
TEST_F(BillingTest, NegativeBalanceShowsInTheNegativeCurrencyForm) {
    folder.exec("drop view ClientBals");
    folder.exec("create view ClientBals as select CustNum, Lname || ', ' || Fname as Fullname, -12.5 as Balance "
                "from tb_Client");
    client(1001, "Amy", "Baker");
    startProgram();

    Billing& b = open();
    ASSERT_EQ(b.CustList2.Rows(), 2);
    EXPECT_EQ(b.CustList2.TextMatrix(1, 2), vb::FormatCurrency(vb::Currency::fromDouble(-12.5)));
    EXPECT_NE(b.CustList2.TextMatrix(1, 2), money(12.5));
}

// The hidden number of the highlighted row is the client printed; the
// statements are laid out while this window is still open, then it closes.
TEST_F(BillingTest, PrintSelectedClientUsesTheHiddenNumberThenCloses) {
    client(1001, "Zed", "Young");
    client(1002, "Amy", "Baker");
    invoice(1001, 1001, "2026-12-01", 100);
    invoice(1002, 1002, "2026-12-02", 80);
    startProgram();

    Billing& b = open();
    b.OptClient.setValue(true);
    b.CustList2.setRow(2);
    ASSERT_EQ(b.CustList2.TextMatrix(2, 0), "1001");
    testsupport::click(b.btnPrint);
    testsupport::pump();

    EXPECT_FALSE(Form::isLoaded<Billing>());
    ASSERT_TRUE(Form::isLoaded<PrtBilling>());
    PrtBilling& p = Form::get<PrtBilling>();
    EXPECT_TRUE(p.Visible());
    EXPECT_EQ(Globals::CurrentCustNum, 1001);
    ASSERT_EQ(p.VSInvoice.Tables().size(), 1);
    EXPECT_EQ(p.VSInvoice.Tables()[0].cell(2, 4), money(100));
    EXPECT_EQ(p.VSInvoice.TextBoxTexts().at(3), "Zed Young");   // no billing block: billed at its own name

    // A new opening reads the list again.
    invoice(1003, 1002, "2026-12-03", 5);
    EXPECT_EQ(open().CustList2.TextMatrix(1, 2), money(85));
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(BillingTest, ClientNumberThatIsNotANumberEndsInTheReport) {
    client(1001, "Zed", "Young");
    invoice(1001, 1001, "2026-12-01", 100);
    startProgram();

    Billing& b = open();
    b.CustList2.setTextMatrix(1, 0, "x");
    boxes.expect(vb::vbOK, vb::ErrorReportText("PrtBilling.Form_Load -", 13, vb::ErrorDescription(13)));
    testsupport::click(b.btnPrint);
    testsupport::pump();
    EXPECT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(Form::isLoaded<PrtBilling>());
    EXPECT_FALSE(Form::isLoaded<Billing>());
}

} // namespace
