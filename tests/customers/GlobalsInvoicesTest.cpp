// The sales-list loaders: the grid they build, the since-date filter, the
// balance label, the pending invoice delete and the current invoice they
// leave behind.
#include <gtest/gtest.h>
#include "customers/CustInvoices.h"
#include "customers/StatusWindow.h"
#include "data/Client.h"
#include "data/Globals.h"
#include "data/Invoice.h"
#include "forms/App.h"
#include "forms/Form.h"
#include "support/WindowFixture.h"
#include "vb/Conv.h"
#include "vb/MsgBox.h"

using forms::Form;

namespace {

QString money(double x) { return vb::FormatCurrency(vb::Currency::fromDouble(x)); }

class SalesLoaderTest : public testsupport::WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        Globals::IniPath = forms::AppPath() + QStringLiteral("\\Vantrel.ini");
        // The shared instances start-up leaves.
        testsupport::SharedOnDataFile(Globals::SharedClient);
        testsupport::SharedOnDataFile(Globals::SharedInvoice);
    }
    void client(int num, const QString& first, const QString& last) {
        folder.exec(QStringLiteral("insert into tb_Client (CustNum, Fname, Lname) values (%1, '%2', '%3')")
                        .arg(num).arg(first, last));
    }
    void invoice(int num, int cust, const QString& date, double discount = 0, double tax = 0, double ship = 0,
                 double interest = 0, const QString& desc = QStringLiteral("Order")) {
        folder.exec(QStringLiteral("insert into tb_Invoice (InvoiceNum, CustNum, [Date], Description, discount, tax, "
                                   "shippingcharge, interest) values (%1, %2, '%3 00:00:00', '%4', %5, %6, %7, %8)")
                        .arg(num).arg(cust).arg(date, desc).arg(discount).arg(tax).arg(ship).arg(interest));
    }
    void line(int trans, int inv, int item, int qty, double amount) {
        folder.exec(QStringLiteral("insert into tb_trans (TransNum, InvoiceNum, ItemNum, Qty, Amount, Notes, Backorder) "
                                   "values (%1, %2, %3, %4, %5, '', 0)")
                        .arg(trans).arg(inv).arg(item).arg(qty).arg(amount));
    }
    void payment(int trans, int cust, const QString& date, double amount) {
        folder.exec(QStringLiteral("insert into tb_Receive (TransNum, CustNum, Type, CheckNum, [Date], Amount, Notes) "
                                   "values (%1, %2, 'Cash', '', '%3 00:00:00', %4, '')")
                        .arg(trans).arg(cust).arg(date).arg(amount));
    }
    controls::FlexGrid& grid() { return Form::get<CustInvoices>().InvoiceList; }
    int count(const QString& sql) const { return folder.scalar(sql).toInt(); }
};

TEST_F(SalesLoaderTest, OneClientsListHasItsLayoutChargesAndNewestFirst) {
    client(1001, "John", "Smith");
    client(1002, "Ann", "Other");
    invoice(1001, 1001, "2026-02-01", 10, 1.25, 5, 0.5, "With lines");
    line(1, 1001, 0, 1, 60);
    line(2, 1001, 0, 2, 40);
    invoice(1002, 1001, "2026-03-01", 0, 2, 3, 4, "No lines");
    invoice(1003, 1002, "2026-03-02");   // another client's

    Globals::CurrentCustNum = 1001;
    Globals::GetInvoices(vb::Date::fromYmd(2026, 1, 1));

    auto& g = grid();
    EXPECT_EQ(g.FormatString(), "Date|Invoice#|Customer#|Last|Name|>Charges|Description");
    const int widths[] = {1000, 800, 0, 0, 2000, 1000, 2000};
    for (int c = 0; c < 7; ++c) EXPECT_EQ(g.ColWidth(c), widths[c]) << "column " << c;
    ASSERT_EQ(g.Rows(), 3);
    const QStringList row1 = {"3/1/2026", "1002", "1001", "", "Smith, John", money(9), "No lines"};
    const QStringList row2 = {"2/1/2026", "1001", "1001", "", "Smith, John", money(100 - 10 + 1.25 + 5 + 0.5),
                              "With lines"};
    for (int c = 0; c < 7; ++c) {
        EXPECT_EQ(g.TextMatrix(1, c), row1[c]) << "row 1, column " << c;
        EXPECT_EQ(g.TextMatrix(2, c), row2[c]) << "row 2, column " << c;
    }
    // Row 1, the newest invoice, is the current one; the name comes with the
    // blank of the empty hidden column.
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(Globals::CurrentInvoiceNum, 1002);
    EXPECT_EQ(Globals::CurrentInvoiceDate, vb::Date::fromYmd(2026, 3, 1));
    EXPECT_EQ(Globals::CurrentCustName, "Smith, John ");
    EXPECT_EQ(Globals::CurrentInvoiceDesc, "No lines");
    EXPECT_EQ(Globals::CurrentCustNum, 1001);
    EXPECT_FALSE(Form::isLoaded<GettingInvoices>());
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(SalesLoaderTest, SinceDateIsStrictlyAfter) {
    client(1001, "John", "Smith");
    invoice(1001, 1001, "2026-01-01");
    invoice(1002, 1001, "2026-01-02");
    Globals::CurrentCustNum = 1001;
    Globals::GetInvoices(vb::Date::fromYmd(2026, 1, 1));
    ASSERT_EQ(grid().Rows(), 2);
    EXPECT_EQ(grid().TextMatrix(1, 1), "1002");

    // Every client: the since-date comes from the sales list's box.
    Form::get<CustInvoices>().txtSinceDate.setText("01/01/26");
    Globals::GetAllInvoices();
    ASSERT_EQ(grid().Rows(), 2);
    EXPECT_EQ(grid().TextMatrix(1, 1), "1002");
}

TEST_F(SalesLoaderTest, BalanceLabelIsRedOnlyWhenSomethingIsOwed) {
    struct Case {
        const char* name;
        double payment;
        double expected;
        long colour;
    } cases[] = {
        {"owes", 40, 60, 255},
        {"settled", 100, 0, 0},
        {"credit", 130, -30, 0},
    };
    client(1001, "John", "Smith");
    invoice(1001, 1001, "2026-02-01");
    line(1, 1001, 0, 1, 100);
    for (const Case& c : cases) {
        folder.exec("delete from tb_Receive");
        payment(1, 1001, "2026-02-02", c.payment);
        Globals::CurrentCustNum = 1001;
        Globals::GetInvoices(vb::Date());
        auto& sales = Form::get<CustInvoices>();
        EXPECT_EQ(sales.lblBalDue.Caption(), money(c.expected)) << c.name;
        EXPECT_EQ(sales.lblBalDue.ForeColor(), c.colour) << c.name;
    }
}

TEST_F(SalesLoaderTest, PendingDeleteRunsFirstEvenWhenNothingIsListedAfter) {
    client(1001, "John", "Smith");
    invoice(1001, 1001, "2026-02-01");
    line(1, 1001, 0, 1, 100);
    Globals::CurrentCustNum = 1001;
    Globals::CurrentInvoiceNum = 1001;
    Globals::CurrentCustName = "before";
    Globals::DeleteInvoicePending = true;
    Globals::GetInvoices(vb::Date());

    EXPECT_FALSE(Globals::DeleteInvoicePending);
    EXPECT_EQ(count("select count(*) from tb_Invoice"), 0);
    EXPECT_EQ(count("select count(*) from tb_trans"), 0);
    EXPECT_EQ(grid().Rows(), 1);
    // Nothing listed: the current invoice variables are left alone.
    EXPECT_EQ(Globals::CurrentCustName, "before");
    EXPECT_EQ(Form::get<CustInvoices>().lblBalDue.Caption(), money(0));
}

TEST_F(SalesLoaderTest, AllClientsListKeepsTheClientNumberAndTakesTheFirstName) {
    client(1001, "John", "Smith");
    client(1002, "Ann", "Other");
    invoice(1001, 1001, "2026-02-01");
    invoice(1002, 1002, "2026-02-03");
    Globals::CurrentCustNum = 1001;
    Form::get<CustInvoices>().txtSinceDate.setText("01/01/26");
    Form::get<CustInvoices>().lblBalDue.setCaption("untouched");
    Globals::GetAllInvoices();

    ASSERT_EQ(grid().Rows(), 3);
    EXPECT_EQ(grid().TextMatrix(1, 4), "Other, Ann");
    EXPECT_EQ(grid().TextMatrix(2, 4), "Smith, John");
    EXPECT_EQ(Globals::CurrentCustNum, 1001);
    EXPECT_EQ(Globals::CurrentCustName, "Other, Ann ");
    EXPECT_EQ(Globals::CurrentInvoiceNum, 1002);
    EXPECT_EQ(Form::get<CustInvoices>().lblBalDue.Caption(), "untouched");
}

TEST_F(SalesLoaderTest, BadSinceDateIsReportedByTheAllClientsLoader) {
    client(1001, "John", "Smith");
    invoice(1001, 1001, "2026-02-01");
    Form::get<CustInvoices>().txtSinceDate.setText("13/45/26");
    boxes.expect(vb::vbOK);
    Globals::GetAllInvoices();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(boxes.lastPrompt().startsWith("Globals.GetAllInvoices -13 ")) << boxes.lastPrompt().toStdString();
    // The shared instance it made is not left connected: compaction runs.
    boxes.expect(vb::vbOK);
    EXPECT_TRUE(Globals::CompactDatabase("vantrel.mdb"));
}

} // namespace
