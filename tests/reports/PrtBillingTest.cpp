// The billing statements: what each statement lays out (letterhead, Bill To,
// the statement table with its running balance), the period the days box
// gives, one statement or one per listed client on pages of their own, what
// CurrentCustNum is left holding, and the error report.
#include <gtest/gtest.h>
#include "customers/InvoiceFixture.h"
#include "customers/StatusWindow.h"
#include "reports/Billing.h"
#include "reports/PrtBilling.h"
#include "support/DocumentReader.h"
#include "support/FormDriver.h"
#include "vb/ErrorTrap.h"

using forms::Form;
using invoicetest::money;
using testsupport::row;

namespace {

const QString LF(QChar(10));

class PrtBillingTest : public invoicetest::InvoiceFixture {
protected:
    void companyRecord() {
        folder.exec("insert into tb_Company (Name, Address1, City, State, Zipcode, phone, Fax, website, statetaxrate) "
                    "values ('Acme Supply', '12 Main St', 'Springfield', 'IL', '62701', '555-1000', '', "
                    "'www.acme.test', 6)");
    }
    void billedClient(int num, const QString& first, const QString& last) {
        folder.exec(QStringLiteral("insert into tb_Client (CustNum, Fname, Lname, BillFname, BillLname, BillAddress1, "
                                   "BillCity, BillState, BillZipcode, BillHomePhone) values (%1, '%2', '%3', '%2', "
                                   "'%3', '1 Bill Rd', 'Billtown', 'NY', '10001', '555-2000')")
                        .arg(num).arg(first, last));
    }
    // An invoice of one line of the given amount (none when amount is 0).
    void invoice(int num, int cust, const QString& date, double amount, const QString& description = "Goods",
                 double ship = 0, double interest = 0, double tax = 0) {
        folder.exec(QStringLiteral("insert into tb_Invoice (InvoiceNum, CustNum, [Date], Description, discount, tax, "
                                   "shippingcharge, interest) values (%1, %2, '%3 00:00:00', '%4', 0, %5, %6, %7)")
                        .arg(num).arg(cust).arg(date, QString(description).replace("'", "''"))
                        .arg(tax).arg(ship).arg(interest));
        if (amount != 0)
            folder.exec(QStringLiteral("insert into tb_trans (InvoiceNum, ItemNum, Qty, Amount, Notes) "
                                       "values (%1, 7, 1, %2, 'x')")
                            .arg(num).arg(amount));
    }
    void payment(int trans, int cust, const QString& date, double amount) {
        folder.exec(QStringLiteral("insert into tb_Receive (TransNum, CustNum, Type, [Date], Amount) "
                                   "values (%1, %2, 'Check', '%3 00:00:00', %4)")
                        .arg(trans).arg(cust).arg(date).arg(amount));
    }
    void pinToday(int y, int m, int d) {
        clock.reset();
        clock = std::make_unique<testsupport::PinnedClock>(QDateTime(QDate(y, m, d), QTime(10, 0)));
    }

    // The selection window as the menu opens it, then its print button.
    Billing& selection() {
        Billing& b = Form::get<Billing>();
        b.Show();
        return b;
    }
    PrtBilling& print(Billing& b) {
        testsupport::click(b.btnPrint);
        testsupport::pump();
        return Form::get<PrtBilling>();
    }
    PrtBilling& printOne(int custNum, const QString& days = "30") {
        Billing& b = selection();
        b.txtDays.setText(days);
        b.OptClient.setValue(true);
        for (int r = 1; r < b.CustList2.Rows(); ++r)
            if (b.CustList2.TextMatrix(r, 0) == QString::number(custNum)) b.CustList2.setRow(r);
        EXPECT_EQ(b.CustList2.TextMatrix(b.CustList2.Row(), 0), QString::number(custNum));
        return print(b);
    }

    // The body rows that hold anything.
    static QList<QStringList> filled(const printer::Table& t) {
        QList<QStringList> out;
        for (int r = 1; r <= t.rowCount(); ++r)
            if (!row(t, r).join("").isEmpty()) out << row(t, r);
        return out;
    }
    static QStringList start(const QString& date, double bal) { return {date, "Starting Balance", "", "", money(bal)}; }
    static QStringList charge(const QString& date, const QString& what, double total, double bal) {
        return {date, what, money(total), "", money(bal)};
    }
    static QStringList paid(const QString& date, double amount, double bal) {
        return {date, "Payment - Thank You!", "", money(amount), money(bal)};
    }
};

TEST_F(PrtBillingTest, StatementOfTheSelectedClient) {
    companyRecord();
    billedClient(1001, "John", "Smith");
    billedClient(1002, "Ann", "Other");
    invoice(1001, 1001, "2026-10-01", 100);              // before the period: in the starting balance
    payment(1, 1001, "2026-10-05", 30);
    invoice(1002, 1001, "2026-11-20", 40, "Bolts; 1/4|inch");
    invoice(1003, 1001, "2026-11-25", 0, "Service call", 10, 2, 1);   // no lines
    invoice(1004, 1002, "2026-11-21", 500);
    payment(3, 1001, "2026-12-01", 25);
    payment(2, 1001, "2026-11-22", 5);
    startProgram();

    PrtBilling& p = printOne(1001);
    EXPECT_EQ(p.Caption(), "Print Billing Statements");
    EXPECT_TRUE(p.Visible());
    EXPECT_EQ(p.Owner(), nullptr);
    EXPECT_EQ(p.btnExit.Caption(), "&Exit");
    EXPECT_FALSE(Form::isLoaded<Billing>()) << "the selection closes once the statements are laid out";
    EXPECT_FALSE(Form::isLoaded<LoadingBilling>());
    EXPECT_EQ(Globals::CurrentCustNum, 1001);

    const printer::PreviewControl& d = p.VSInvoice;
    EXPECT_TRUE(d.IsDocComplete());
    EXPECT_EQ(d.Header(), "");
    EXPECT_EQ(d.Footer(), "|We appreciate your business!|");
    EXPECT_EQ(d.PageCount(), 1);
    EXPECT_EQ(d.TextBoxTexts(),
              QStringList({"Acme Supply",
                           "12 Main St" + LF + "Springfield, IL 62701" + LF + "Phone: 555-1000 / " + LF +
                               "Web: www.acme.test",
                           "Bill To:", "John Smith" + LF + "1 Bill Rd" + LF + "Billtown, NY 10001" + LF + "555-2000"}));

    // 9 Dec less 30 days is 9 Nov. Invoices highest number first, then the
    // payments oldest first, each carrying the balance.
    ASSERT_EQ(d.Tables().size(), 1);
    const printer::Table& t = d.Tables().at(0);
    EXPECT_EQ(t.header, QStringList({"Date", "Description", "Charge", "Payment", "Balance"}));
    EXPECT_EQ(filled(t), QList<QStringList>({start("11/9/2026", 70), charge("11/25/2026", "Service call", 13, 83),
                                             charge("11/20/2026", "Bolts; 1/4|inch", 40, 123),
                                             paid("11/22/2026", 5, 118), paid("12/1/2026", 25, 93)}));
    EXPECT_EQ(t.rowCount(), 20);
    for (int r = 1; r <= 20; ++r) EXPECT_DOUBLE_EQ(t.rowHeights.value(r), 0.25) << "row " << r;
    for (int c = 0; c < 5; ++c) EXPECT_TRUE(t.isBold(0, c));
    EXPECT_FALSE(t.isBold(1, 0));
    EXPECT_EQ(t.border, printer::tbGrid);
    EXPECT_TRUE(boxes.shown().empty());
}

// The start date is today less the days; what is dated on it is in the
// starting balance, what is dated after it gets a row.
TEST_F(PrtBillingTest, DaysBoxSetsTheStartDate) {
    struct Case {
        const char* days;
        QList<QStringList> rows;
    };
    // Invoices are listed highest number first.
    const std::vector<Case> cases = {
        {"30", {start("3/1/2026", 10), charge("4/2/2026", "Later", 80, 90), charge("3/31/2026", "Today", 40, 130),
                charge("3/2/2026", "Second", 20, 150)}},
        {"", {start("3/31/2026", 70), charge("4/2/2026", "Later", 80, 150)}},
        {"none", {start("3/31/2026", 70), charge("4/2/2026", "Later", 80, 150)}},
        {"-3", {start("4/3/2026", 150)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.days);
        testsupport::ResetWindowsAndState();
        folder.exec("delete from tb_Client; delete from tb_Invoice; delete from tb_trans; delete from tb_Company");
        pinToday(2026, 3, 31);
        companyRecord();
        billedClient(1001, "John", "Smith");
        invoice(1001, 1001, "2026-03-01", 10, "First");
        invoice(1002, 1001, "2026-03-02", 20, "Second");
        invoice(1003, 1001, "2026-03-31", 40, "Today");
        invoice(1004, 1001, "2026-04-02", 80, "Later");
        startProgram();
        PrtBilling& p = printOne(1001, c.days);
        ASSERT_EQ(p.VSInvoice.Tables().size(), 1);
        EXPECT_EQ(filled(p.VSInvoice.Tables().at(0)), c.rows);
    }
}

TEST_F(PrtBillingTest, DaysAreTheLeadingNumberRoundedHalfToEven) {
    const std::vector<std::pair<QString, int>> cases = {
        {"30", 30}, {"2.5", 2}, {"3.5", 4}, {"45 days", 45}, {"", 0}, {"days", 0}, {" 1 0", 10},
        {"\t7\n", 7}, {"-3", -3}, {"32767", 32767}, {"-32768", -32768},
    };
    for (const auto& [text, days] : cases) EXPECT_EQ(PrtBilling::DaysBack(text), days) << text.toStdString();
    EXPECT_THROW(PrtBilling::DaysBack("32768"), vb::RuntimeError);
}

TEST_F(PrtBillingTest, ClientWithNothingAfterTheStartGetsTheStartingRowAlone) {
    companyRecord();
    billedClient(1001, "John", "Smith");
    invoice(1001, 1001, "2026-01-05", 60);
    payment(1, 1001, "2026-02-01", 15);
    startProgram();

    const printer::Table& t = printOne(1001).VSInvoice.Tables().at(0);
    EXPECT_EQ(filled(t), QList<QStringList>({start("11/9/2026", 45)}));
    EXPECT_EQ(t.rowCount(), 20);
}

// Every listed client gets a statement on a page of its own, in the list's
// order; the last one is left in CurrentCustNum.
TEST_F(PrtBillingTest, AllClientsOneStatementPerPage) {
    companyRecord();
    billedClient(1001, "Cy", "Brown");
    billedClient(1002, "Al", "Adams");
    billedClient(1003, "Di", "Cole");
    billedClient(1004, "Ed", "Paid");   // no balance: not listed
    invoice(1001, 1001, "2026-12-01", 30);
    invoice(1002, 1002, "2026-12-02", 10);
    invoice(1003, 1003, "2026-10-01", 20);
    payment(5001, 1003, "2026-10-05", 5);    // each client's payments on its own statement only
    payment(5002, 1001, "2026-12-03", 10);
    startProgram();

    Billing& b = selection();
    ASSERT_EQ(b.CustList2.Rows(), 4);
    ASSERT_TRUE(b.OptAll.Value());
    PrtBilling& p = print(b);
    const printer::PreviewControl& d = p.VSInvoice;
    EXPECT_TRUE(d.IsDocComplete());
    EXPECT_EQ(d.PageCount(), 3);
    ASSERT_EQ(d.Tables().size(), 3);
    EXPECT_EQ(filled(d.Tables()[0]), QList<QStringList>({start("11/9/2026", 0), charge("12/2/2026", "Goods", 10, 10)}));
    EXPECT_EQ(filled(d.Tables()[1]), QList<QStringList>({start("11/9/2026", 0), charge("12/1/2026", "Goods", 30, 30),
                                                         paid("12/3/2026", 10, 20)}));
    EXPECT_EQ(filled(d.Tables()[2]), QList<QStringList>({start("11/9/2026", 15)}));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(d.Tables()[i].firstPage, i + 1);
        EXPECT_EQ(d.Tables()[i].lastPage, i + 1);
    }
    const QStringList boxTexts = d.TextBoxTexts();
    ASSERT_EQ(boxTexts.size(), 12);
    EXPECT_TRUE(boxTexts[3].startsWith("Al Adams"));
    EXPECT_TRUE(boxTexts[7].startsWith("Cy Brown"));
    EXPECT_TRUE(boxTexts[11].startsWith("Di Cole"));
    for (int page = 1; page <= 3; ++page) {
        int footers = 0;
        for (const printer::PlacedText& t : d.PageAt(page).texts)
            if (t.kind == printer::PlacedText::Footer && t.text == "We appreciate your business!") ++footers;
        EXPECT_EQ(footers, 1) << "page " << page;
    }
    EXPECT_EQ(Globals::CurrentCustNum, 1003);
    EXPECT_TRUE(boxes.shown().empty());
}

// All clients of an empty list: an empty document. One selected client
// with none to select: told, and no empty preview; the selection stays open.
TEST_F(PrtBillingTest, NoClientListedGivesAnEmptyDocumentOrIsTold) {
    companyRecord();
    billedClient(1001, "Ed", "Paid");
    startProgram();
    for (bool selected : {false, true}) {
        SCOPED_TRACE(selected ? "selected client" : "all clients");
        Globals::CurrentCustNum = 77;
        Billing& b = selection();
        ASSERT_EQ(b.CustList2.Rows(), 1);
        b.OptClient.setValue(selected);
        b.OptAll.setValue(!selected);
        if (selected) boxes.expect(vb::vbOK, "Select a client first.");
        testsupport::click(b.btnPrint);
        testsupport::pump();
        EXPECT_EQ(Globals::CurrentCustNum, 77);
        if (selected) {
            ASSERT_EQ(boxes.shown().size(), 1u);
            EXPECT_EQ(boxes.shown()[0].buttons, vb::vbOKOnly);
            EXPECT_FALSE(Form::isLoaded<PrtBilling>());
            EXPECT_TRUE(Form::isLoaded<Billing>());
            Form::unload<Billing>();
            continue;
        }
        PrtBilling& p = Form::get<PrtBilling>();
        EXPECT_TRUE(p.VSInvoice.IsDocComplete());
        EXPECT_TRUE(p.VSInvoice.Tables().isEmpty());
        EXPECT_TRUE(p.VSInvoice.TextBoxTexts().isEmpty());
        EXPECT_FALSE(Form::isLoaded<Billing>());
        testsupport::click(p.btnExit);
        testsupport::pump();
        EXPECT_TRUE(boxes.shown().empty());
    }
}

// A days text beyond 16 bits ends in the report: the window opens with what
// was laid out and the busy window stays up; the selection still closes.
TEST_F(PrtBillingTest, DaysOutOfRangeReportsAndLeavesTheBusyWindow) {
    companyRecord();
    billedClient(1001, "John", "Smith");
    invoice(1001, 1001, "2026-12-01", 30);
    startProgram();

    boxes.expect(vb::vbOK, vb::ErrorReportText("PrtBilling.Form_Load -", 6, vb::ErrorDescription(6)));
    PrtBilling& p = printOne(1001, "40000");
    EXPECT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(p.Visible());
    EXPECT_FALSE(p.VSInvoice.IsDocComplete());
    EXPECT_TRUE(Form::isLoaded<LoadingBilling>());
    EXPECT_EQ(Form::get<LoadingBilling>().Owner(), &p);
    EXPECT_FALSE(Form::isLoaded<Billing>());
}

// An open statements window is laid out anew for the new choice; the
// selection still closes.
TEST_F(PrtBillingTest, PrintingAgainWhileOpenLaysTheStatementsOutAnew) {
    companyRecord();
    billedClient(1001, "John", "Smith");
    billedClient(1002, "Ann", "Young");
    invoice(1001, 1001, "2026-12-01", 30);
    invoice(1002, 1002, "2026-12-02", 12);
    invoice(1003, 1002, "2026-12-03", 5);
    startProgram();

    EXPECT_EQ(filled(printOne(1001).VSInvoice.Tables().at(0)).size(), 2);
    const PrtBilling& again = printOne(1002);
    EXPECT_FALSE(Form::isLoaded<Billing>());
    EXPECT_EQ(filled(again.VSInvoice.Tables().at(0)),
              QList<QStringList>({start("11/9/2026", 0), charge("12/3/2026", "Goods", 5, 5),
                                  charge("12/2/2026", "Goods", 12, 17)}));
}

} // namespace

