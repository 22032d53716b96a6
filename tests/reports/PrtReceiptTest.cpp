// The receipt preview: the document it lays out (letterhead, Bill To and the
// statement table), which payments and invoices count towards its balances,
// the error report, reopening, and the payments register's Print that opens it.
#include <gtest/gtest.h>
#include "customers/Customer.h"
#include "customers/InvoiceFixture.h"
#include "customers/Receipts.h"
#include "customers/StatusWindow.h"
#include "data/Client.h"
#include "forms/App.h"
#include "reports/PrtReceipt.h"
#include "support/FormDriver.h"
#include "support/GridDriver.h"
#include "vb/ErrorTrap.h"

using forms::Form;
using invoicetest::money;

namespace {

const QString LF(QChar(10));

class PrtReceiptTest : public invoicetest::InvoiceFixture {
protected:
    void SetUp() override {
        InvoiceFixture::SetUp();
        Globals::IniPath = forms::AppPath() + QStringLiteral("\\Vantrel.ini");
    }
    void companyRecord() {
        folder.exec("insert into tb_Company (Name, Address1, City, State, Zipcode, phone, Fax, website, statetaxrate) "
                    "values ('Acme Supply', '12 Main St', 'Springfield', 'IL', '62701', '555-1000', '', "
                    "'www.acme.test', 6)");
    }
    void addressedClient(int num, const QString& first = "John") {
        folder.exec(QStringLiteral("insert into tb_Client (CustNum, Fname, Lname, BillFname, BillLname, BillAddress1, "
                                   "BillCity, BillState, BillZipcode, BillHomePhone, ShipFname, ShipLname, shipAddress1) "
                                   "values (%1, '%2', 'Smith', '%2', 'Smith', '1 Bill Rd', 'Billtown', 'NY', '10001', "
                                   "'555-2000', 'Jane', 'Smith', '2 Ship Ln')")
                        .arg(num).arg(first));
    }
    // An invoice of one line; its total is the amount.
    void invoiceOf(int num, int cust, const QString& isoDate, double amount) {
        folder.exec(QStringLiteral("insert into tb_Invoice (InvoiceNum, CustNum, [Date], discount, tax, shippingcharge, "
                                   "interest) values (%1, %2, '%3 00:00:00', 0, 0, 0, 0)")
                        .arg(num).arg(cust).arg(isoDate));
        folder.exec(QStringLiteral("insert into tb_trans (TransNum, InvoiceNum, ItemNum, Qty, Amount, Notes, Backorder) "
                                   "values (%1, %1, 7, 1, %2, 'Goods', 0)")
                        .arg(num).arg(amount));
    }
    void payment(int num, int cust, const QString& isoDate, double amount) {
        folder.exec(QStringLiteral("insert into tb_Receive values (%1, %2, 'Cash', '', '%3 00:00:00', %4, NULL)")
                        .arg(num).arg(cust).arg(isoDate).arg(amount));
    }

    PrtReceipt& preview(int custNum, const vb::Date& payDate) {
        Globals::CurrentCustNum = custNum;
        Globals::CurrentPayDate = payDate;
        PrtReceipt::ShowCurrent();
        return Form::get<PrtReceipt>();
    }
    static const printer::Table& statement(const PrtReceipt& p) { return p.VSInvoice.Tables().at(0); }
    // The cells of body row r joined by " / ".
    static QString row(const PrtReceipt& p, int r) {
        const printer::Table& t = statement(p);
        QStringList cells;
        for (int c = 0; c < t.columns.size(); ++c) cells << t.cell(r, c);
        return cells.join(" / ");
    }
    static QString starting(const QString& date, double bal) { return date + " / Starting Balance /  /  / " + money(bal); }
    static QString paid(const QString& date, double amount, double bal) {
        return date + " / Payment - Thank You! /  / " + money(amount) + " / " + money(bal);
    }
    static QString charged(const QString& date, double amount, double bal) {
        return date + " /  / " + money(amount) + " /  / " + money(bal);
    }
};

TEST_F(PrtReceiptTest, LaysOutTheReceiptFromTheBalanceOfTheDayBefore) {
    companyRecord();
    addressedClient(1001);
    invoiceOf(1, 1001, "2026-11-20", 100);
    payment(1001, 1001, "2026-12-01", 40);
    startProgram();

    PrtReceipt& p = preview(1001, vb::Date::fromYmd(2026, 12, 1));
    EXPECT_EQ(p.Caption(), "Print Receipt");
    EXPECT_TRUE(p.Visible());
    EXPECT_EQ(p.Owner(), nullptr);
    EXPECT_EQ(p.btnExit.Caption(), "&Exit");
    EXPECT_TRUE(p.VSInvoice.IsDocComplete());
    EXPECT_EQ(p.VSInvoice.Header(), "");
    EXPECT_EQ(p.VSInvoice.Footer(), "|We appreciate your business!|");
    // The company name alone heads the letterhead; no Ship To block.
    EXPECT_EQ(p.VSInvoice.TextBoxTexts(),
              QStringList({"Acme Supply",
                           "12 Main St" + LF + "Springfield, IL 62701" + LF + "Phone: 555-1000" + LF +
                               "Web: www.acme.test",
                           "Bill To:", "John Smith" + LF + "1 Bill Rd" + LF + "Billtown, NY 10001" + LF + "555-2000"}));
    ASSERT_EQ(p.VSInvoice.Tables().size(), 1);

    const printer::Table& t = statement(p);
    EXPECT_EQ(t.header, QStringList({"Date", "Description", "Charge", "Payment", "Balance"}));
    EXPECT_EQ(row(p, 1), starting("11/30/2026", 100));
    EXPECT_EQ(row(p, 2), paid("12/1/2026", 40, 60));
    EXPECT_EQ(t.rowCount(), 20);
    for (int r = 3; r <= 20; ++r) EXPECT_EQ(row(p, r), " /  /  /  / ") << "row " << r;
    for (int r = 1; r <= 20; ++r) EXPECT_DOUBLE_EQ(t.rowHeights.value(r), 0.25) << "row " << r;
    for (int c = 0; c < 5; ++c) EXPECT_TRUE(t.isBold(0, c));
    EXPECT_FALSE(t.isBold(1, 0));
    EXPECT_EQ(t.border, printer::tbGrid);
    EXPECT_FALSE(Form::isLoaded<LoadingBilling>()) << "the busy window is closed at the end";
    EXPECT_TRUE(boxes.shown().empty());
}

// Invoices and payments count from the payment's day on, later ones too, in
// date order (an invoice before a payment of its day), payments by number
// within a day; other clients' figures never. The last balance is what the
// client owes.
TEST_F(PrtReceiptTest, WhatCountsTowardsTheBalancesAndTheRows) {
    struct Case {
        const char* name;
        vb::Date payDate;
        QStringList rows;
    };
    companyRecord();
    addressedClient(1001);
    addressedClient(1002, "Other");
    invoiceOf(1, 1001, "2026-11-01", 500);
    invoiceOf(2, 1001, "2026-11-29", 50);   // the day before: in the starting balance
    invoiceOf(3, 1001, "2026-11-30", 70);   // the payment's day: listed before that day's payments
    invoiceOf(4, 1002, "2026-11-01", 999);
    payment(1001, 1001, "2026-11-10", 100);
    payment(1003, 1001, "2026-11-30", 30);
    payment(1002, 1001, "2026-11-30", 20);
    payment(1004, 1001, "2026-12-09", 5);   // today
    payment(1005, 1002, "2026-11-30", 77);
    startProgram();

    const std::vector<Case> cases = {
        {"ten days ago: from the day before, every payment since",
         vb::Date::fromYmd(2026, 11, 30),
         {starting("11/29/2026", 450), charged("11/30/2026", 70, 520), paid("11/30/2026", 20, 500),
          paid("11/30/2026", 30, 470), paid("12/9/2026", 5, 465)}},
        {"today: from yesterday",
         vb::Today(),
         {starting("12/8/2026", 400 + 70), paid("12/9/2026", 5, 465)}},
        {"the first payment: all after it, invoices among the payments by date",
         vb::Date::fromYmd(2026, 11, 10),
         {starting("11/9/2026", 500), paid("11/10/2026", 100, 400), charged("11/29/2026", 50, 450),
          charged("11/30/2026", 70, 520), paid("11/30/2026", 20, 500), paid("11/30/2026", 30, 470),
          paid("12/9/2026", 5, 465)}},
    };
    Globals::SharedClient->OpenCn();
    const vb::Currency owed = Globals::SharedClient->ClientBal(1001, vb::Date());
    Globals::SharedClient->CloseCn();
    EXPECT_EQ(owed, vb::Currency::fromDouble(465));
    for (const Case& c : cases) {
        PrtReceipt& p = preview(1001, c.payDate);
        QStringList rows;
        for (int r = 1; r <= c.rows.size() + 1; ++r) rows << row(p, r);
        EXPECT_EQ(rows, c.rows + QStringList({" /  /  /  / "})) << c.name;
    }
    // Bought and paid on one day: the receipt shows what is still owed, not a credit.
    addressedClient(1003, "Same");
    invoiceOf(9, 1003, "2026-12-05", 82.5);
    payment(1009, 1003, "2026-12-05", 50);
    PrtReceipt& p = preview(1003, vb::Date::fromYmd(2026, 12, 5));
    EXPECT_EQ(row(p, 1), starting("12/4/2026", 0));
    EXPECT_EQ(row(p, 2), charged("12/5/2026", 82.5, 82.5));
    EXPECT_EQ(row(p, 3), paid("12/5/2026", 50, 32.5));
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(PrtReceiptTest, MoreThanNineteenPaymentsAreAllListedAndTheLastBalanceIsTheirs) {
    companyRecord();
    addressedClient(1001);
    invoiceOf(1, 1001, "2026-01-01", 1000);
    for (int i = 1; i <= 22; ++i) payment(1000 + i, 1001, QStringLiteral("2026-03-%1").arg(i, 2, 10, QChar('0')), i);
    startProgram();

    PrtReceipt& p = preview(1001, vb::Date::fromYmd(2026, 3, 1));
    EXPECT_EQ(statement(p).rowCount(), 23);
    EXPECT_EQ(row(p, 23), paid("3/22/2026", 22, 1000 - 22 * 23 / 2));
}

TEST_F(PrtReceiptTest, BalanceBeyondTheCurrencyRangeReportsAndLeavesTheBusyWindowUp) {
    companyRecord();
    addressedClient(1001);
    payment(1001, 1001, "2026-12-01", -900000000000000.0);
    payment(1002, 1001, "2026-12-02", -900000000000000.0);
    startProgram();

    boxes.expect(vb::vbOK, vb::ErrorReportText("PrtReceipt.Form_Load -", 6, vb::ErrorDescription(6)));
    PrtReceipt& p = preview(1001, vb::Date::fromYmd(2026, 12, 1));
    EXPECT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(p.Visible());
    EXPECT_FALSE(p.VSInvoice.IsDocComplete());
    EXPECT_EQ(p.VSInvoice.TextBoxTexts().size(), 4) << "the blocks were placed before the error";
    ASSERT_TRUE(Form::isLoaded<LoadingBilling>());
    EXPECT_EQ(Form::get<LoadingBilling>().Owner(), &p);

    // A receipt left unfinished is laid out anew when asked for again; the
    // data file was left usable.
    folder.exec("update tb_Receive set Amount = 25 where TransNum = 1002");
    PrtReceipt& again = preview(1001, vb::Date::fromYmd(2026, 12, 1));
    EXPECT_NE(&again, &p);
    EXPECT_TRUE(again.VSInvoice.IsDocComplete());
    EXPECT_EQ(row(again, 3), "12/2/2026 / Payment - Thank You! /  / " + money(25) + " / $899,999,999,999,975.00");
}

// Asked again for what it shows, the open receipt is only brought forward;
// for another payment date or client, or after what is stored changed, it
// is laid out anew. Exit closes it.
TEST_F(PrtReceiptTest, AnOpenReceiptIsBroughtForwardUnlessWhatItShowsChanged) {
    companyRecord();
    addressedClient(1001);
    addressedClient(1002, "Amy");
    invoiceOf(1, 1001, "2026-11-01", 100);
    payment(1001, 1001, "2026-11-10", 10);
    payment(1002, 1001, "2026-11-20", 15);
    payment(1003, 1002, "2026-11-20", 1);
    startProgram();

    PrtReceipt* first = &preview(1001, vb::Date::fromYmd(2026, 11, 20));
    EXPECT_EQ(&preview(1001, vb::Date::fromYmd(2026, 11, 20)), first);
    EXPECT_TRUE(first->ShowsStoredReceipt());

    PrtReceipt* second = &preview(1001, vb::Date::fromYmd(2026, 11, 10));
    EXPECT_NE(second, first);
    EXPECT_EQ(row(*second, 1), starting("11/9/2026", 100));

    folder.exec("update tb_Receive set Amount = 12 where TransNum = 1001");
    EXPECT_FALSE(second->ShowsStoredReceipt());
    PrtReceipt* third = &preview(1001, vb::Date::fromYmd(2026, 11, 10));
    EXPECT_NE(third, second);
    EXPECT_EQ(row(*third, 2), paid("11/10/2026", 12, 88));

    PrtReceipt* fourth = &preview(1002, vb::Date::fromYmd(2026, 11, 10));
    EXPECT_NE(fourth, third);
    EXPECT_TRUE(fourth->VSInvoice.TextBoxTexts()[3].startsWith("Amy Smith"));
    EXPECT_EQ(row(*fourth, 2), paid("11/20/2026", 1, -1));

    testsupport::click(fourth->btnExit);
    EXPECT_FALSE(Form::isLoaded<PrtReceipt>());
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(PrtReceiptTest, RegistersPrintShowsTheReceiptOfTheCurrentRow) {
    companyRecord();
    addressedClient(1001);
    addressedClient(1002, "Amy");
    invoiceOf(1, 1002, "2026-01-10", 80);
    payment(1001, 1001, "2026-02-01", 5);
    payment(1002, 1002, "2026-02-03", 30);
    Form::get<Customer>();
    Globals::CurrentCustNum = -1;
    Receipts& w = Form::get<Receipts>();
    w.Show();
    testsupport::pump();

    int amys = 0;
    for (int r = 1; r < w.PaymentList.Rows(); ++r)
        if (w.PaymentList.TextMatrix(r, Receipts::colKey) == "1002") amys = r;
    ASSERT_GT(amys, 0);
    testsupport::GridDriver(w.PaymentList).moveTo(amys, Receipts::colNotes);
    testsupport::click(w.btnPrint);
    testsupport::pump();

    ASSERT_TRUE(Form::isLoaded<PrtReceipt>());
    PrtReceipt& p = Form::get<PrtReceipt>();
    EXPECT_TRUE(p.Visible());
    EXPECT_EQ(p.Owner(), nullptr);
    EXPECT_TRUE(p.VSInvoice.TextBoxTexts()[3].startsWith("Amy Smith"));
    EXPECT_EQ(row(p, 1), starting("2/2/2026", 80));
    EXPECT_EQ(row(p, 2), paid("2/3/2026", 30, 50));
    EXPECT_EQ(row(p, 3), " /  /  /  / ");

    // The receipt outlives the register.
    testsupport::click(w.Command2);
    testsupport::pump();
    EXPECT_FALSE(Form::isLoaded<Receipts>());
    EXPECT_TRUE(Form::isLoaded<PrtReceipt>());
    EXPECT_TRUE(boxes.shown().empty());
}

} // namespace
