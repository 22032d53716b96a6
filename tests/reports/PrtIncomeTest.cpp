// The income statement: the figures of its period (ends included), the rows
// and bold rows it lays out for any number of expense types, the period
// boxes and pickers, the limit of expense types, a bad period, reopening and
// the resize rule.
#include <gtest/gtest.h>
#include "data/Globals.h"
#include "data/Invoice.h"
#include "data/Vendor.h"
#include "data/cSetup.h"
#include "forms/Form.h"
#include "reports/PrtIncome.h"
#include "support/DocumentReader.h"
#include "support/FormDriver.h"
#include "support/WindowFixture.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"

using forms::Form;

namespace {

QString money(double x) { return vb::FormatCurrency(vb::Currency::fromDouble(x)); }

class PrtIncomeTest : public testsupport::WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        Globals::CoName = QStringLiteral("Acme Supply");
        testsupport::SharedOnDataFile(Globals::SharedInvoice);
    }
    // The expense types as start-up reads them.
    void startProgram() { Globals::SetupInit(); }

    void expenseType(const QString& type) {
        folder.exec(QStringLiteral("insert into tb_ExpenseTypes (type) values ('%1')").arg(QString(type).replace("'", "''")));
    }
    void payment(int trans, const QString& date, const QString& category, double amount, double deposit = 0,
                 const QString& vendor = "Vendor Co") {
        folder.exec(QStringLiteral("insert into tb_GL (TransNum, [Date], CheckNum, Vendor, Payment, Cleared, Category, "
                                   "Deposit, Notes) values (%1, '%2 00:00:00', '100', '%6', %3, 0, '%4', %5, '')")
                        .arg(trans).arg(date).arg(amount).arg(QString(category).replace("'", "''")).arg(deposit).arg(vendor));
    }
    void received(int trans, const QString& date, double amount, int cust = 1001) {
        folder.exec(QStringLiteral("insert into tb_Receive (TransNum, CustNum, Type, CheckNum, [Date], Amount, Notes) "
                                   "values (%1, %2, 'Check', '1', '%3 00:00:00', %4, '')")
                        .arg(trans).arg(cust).arg(date).arg(amount));
    }
    // An invoice with one line of the given amount.
    void invoice(int num, const QString& date, double line, double discount = 0, double ship = 0, double tax = 0) {
        folder.exec(QStringLiteral("insert into tb_Invoice (InvoiceNum, CustNum, [Date], Description, discount, tax, "
                                   "shippingcharge, interest) values (%1, 1001, '%2 00:00:00', 'Order', %3, %4, %5, 0)")
                        .arg(num).arg(date).arg(discount).arg(tax).arg(ship));
        folder.exec(QStringLiteral("insert into tb_trans (TransNum, InvoiceNum, ItemNum, Qty, Amount, Notes, Backorder) "
                                   "values (%1, %1, 7, 1, %2, 'Widget', 0)")
                        .arg(num).arg(line));
    }

    static PrtIncome& open() {
        Form::get<PrtIncome>().Show();
        return Form::get<PrtIncome>();
    }
    static const printer::Table& table(const PrtIncome& p) { return p.VSregistry.Tables().at(0); }
    // Every row of the statement table, "label amount", header first.
    static QStringList rows(const PrtIncome& p) {
        QStringList out;
        const printer::Table& t = table(p);
        for (int r = 0; r <= t.rowCount(); ++r) out << t.cell(r, 0) + " " + t.cell(r, 1);
        return out;
    }
    static QList<int> boldRows(const PrtIncome& p) {
        QList<int> out;
        const printer::Table& t = table(p);
        for (int r = 0; r <= t.rowCount(); ++r) {
            EXPECT_EQ(t.isBold(r, 0), t.isBold(r, 1)) << "row " << r;
            if (t.isBold(r, 0)) out << r;
        }
        return out;
    }
    static QStringList paragraphs(const PrtIncome& p) { return testsupport::paragraphs(p.VSregistry); }
};

TEST_F(PrtIncomeTest, OpensOnTheYearToDateWithEveryFigure) {
    expenseType("Rent");
    expenseType("Freight");
    expenseType("Utilities");
    // Sales: 100 less 10 % plus 5 shipping and 2 tax = 97; and 40 on the last day.
    invoice(1001, "2026-01-01", 100, 10, 5, 2);
    invoice(1002, "2026-12-09", 40);
    invoice(1003, "2025-12-31", 500);   // before the period
    invoice(1004, "2026-12-10", 700);   // after it
    received(1, "2026-01-01", 30);
    received(2, "2026-12-09", 20.5);
    received(3, "2025-12-31", 1000);
    payment(1, "2026-01-01", "Rent", 12);
    payment(2, "2026-12-09", "Rent", 8);
    payment(3, "2026-06-01", "Freight", 3.25);
    payment(4, "2025-12-31", "Freight", 400);
    payment(5, "2026-06-01", "", 0, 900);   // a deposit is no expense
    startProgram();

    PrtIncome& p = open();
    EXPECT_EQ(p.Caption(), "Print Income Statement");
    EXPECT_TRUE(p.Visible());
    EXPECT_EQ(p.Owner(), nullptr);
    EXPECT_EQ(p.Frame1.Caption(), "Print Income for period");
    EXPECT_EQ(p.lblBegDate.Caption(), "Beginning:");
    EXPECT_EQ(p.lblEndDate.Caption(), "Ending:");
    EXPECT_EQ(p.btnGo.Caption(), "&Preview");
    EXPECT_EQ(p.btnExit.ToolTipText(), "Exit Vendor Payments");
    EXPECT_EQ(p.txtBegDate.Mask(), "##/##/##");
    EXPECT_EQ(p.txtBegDate.Text(), "01/01/26");
    EXPECT_EQ(p.txtEndDate.Text(), "12/09/26");
    EXPECT_EQ(p.DTbegdate.Value(), vb::Date::fromYmd(2026, 1, 1));
    EXPECT_EQ(p.dtEndDate.Value(), vb::Date::fromYmd(2026, 12, 9));

    const printer::PreviewControl& d = p.VSregistry;
    EXPECT_TRUE(d.IsDocComplete());
    EXPECT_EQ(d.Header(), "Income Statement|Acme Supply|" + vb::DateToText(vb::Date::fromYmd(2026, 12, 9)));
    EXPECT_EQ(d.Footer(), "");
    EXPECT_DOUBLE_EQ(d.MarginLeft(), 0.5);
    EXPECT_DOUBLE_EQ(d.MarginTop(), 0.5);
    EXPECT_DOUBLE_EQ(d.FontSize(), 10);
    EXPECT_EQ(paragraphs(p), QStringList({"", "For Period 01/01/26 - 12/09/26", ""}));
    ASSERT_EQ(d.Tables().size(), 1);
    const printer::Table& t = table(p);
    EXPECT_EQ(t.border, printer::tbNone);
    ASSERT_EQ(t.columns.size(), 2);
    EXPECT_DOUBLE_EQ(t.columns[0].width, 2);
    EXPECT_EQ(t.columns[0].alignment, 0);
    EXPECT_DOUBLE_EQ(t.columns[1].width, 1.25);
    EXPECT_EQ(t.columns[1].alignment, 2);
    // Types in name order; receipts 50.50, sales 137, expenses 23.25.
    EXPECT_EQ(rows(p), QStringList({" ", "Total Sales " + money(137), "Accounts Receivable " + money(86.5),
                                    "Total Receipts " + money(50.5), " ", "Expenses: ", "Freight " + money(3.25),
                                    "Rent " + money(20), "Utilities " + money(0), " ",
                                    "Total Expenses " + money(23.25), " ", "Net Income " + money(27.25)}));
    EXPECT_EQ(boldRows(p), QList<int>({3, 10, 12}));
    EXPECT_TRUE(boxes.shown().empty());
}

// Names the money records hang on, changed each way the windows change them:
// vendors of one name in two capitals, entries under each, a rename and a
// delete of a vendor, an expense type and a payment type. Every entry stays,
// and Total Expenses is the period's payments, those whose type has left the
// list on the line "Other".
TEST_F(PrtIncomeTest, RenamesAndDeletesKeepEveryPaymentInTheStatement) {
    for (const char* t : {"Rent", "Supplies", "Fuel"}) expenseType(t);
    folder.exec("insert into tb_Vendor (VendorNum, Company) values (1001, 'Acme'), (1002, 'ACME')");
    folder.exec("insert into tb_PaymentTypes values ('Visa')");
    folder.exec("insert into tb_Receive (TransNum, CustNum, Type, [Date], Amount) values (1, 1001, 'Visa', '2026-03-01', 5)");
    payment(1, "2026-02-01", "Rent", 100, 0, "Acme");
    payment(2, "2026-02-02", "supplies", 20, 0, "ACME");
    payment(3, "2026-03-01", "Fuel", 7.5, 0, "Acme");
    payment(4, "2026-04-01", "Travel", 3, 0, "ACME");
    payment(5, "2026-05-01", "rent", 1, 0, "Acme");
    payment(6, "2025-05-01", "Rent", 50, 0, "Acme");   // before the period
    auto v = testsupport::OpenOnDataFile<Vendor>();
    ASSERT_TRUE(v->GetVendor("Acme"));
    v->Company = "Acme Tools";
    ASSERT_TRUE(v->SaveVendorAccess(1001) && v->DeleteVendor(1002));
    auto s = testsupport::OpenOnDataFile<cSetup>();
    ASSERT_TRUE(s->ReplaceExpenseType("Rent", "Office Rent") && s->DeleteExpenseType("Fuel"));
    ASSERT_TRUE(s->ReplacePaymentType("Visa", "Card") && s->DeletePaymentType("Card"));
    startProgram();
    PrtIncome& p = open();
    EXPECT_EQ(rows(p).mid(5, 6), QStringList({"Expenses: ", "Office Rent " + money(101), "Supplies " + money(20),
                                              "Other " + money(10.5), " ", "Total Expenses " + money(131.5)}));
    EXPECT_EQ(folder.scalar("select sum(Payment) from tb_GL where [Date] >= '2026-01-01'"), "131.5");
    EXPECT_EQ(folder.scalar("select group_concat(Vendor || ' ' || Category, '|') from tb_GL"),
              "Acme Tools Office Rent|ACME supplies|Acme Tools Fuel|ACME Travel|Acme Tools Office Rent|Acme Tools Office Rent");
    EXPECT_EQ(folder.scalar("select Type from tb_Receive"), "Card");
    EXPECT_TRUE(boxes.shown().empty());
}

// Payments received count by their own date, whatever the invoice they pay,
// so what is receivable can be negative; a period without receipts shows
// 0 and no message.
TEST_F(PrtIncomeTest, ReceivableAndNetIncomeFollowTheirOwnDates) {
    struct Case {
        const char* name;
        double sales, received;
        QString receivable, receipts, net;
    };
    const std::vector<Case> cases = {
        {"no receipts", 80, 0, money(80), money(0), money(-15)},
        {"paid for an older invoice", 0, 60, money(-60), money(60), money(45)},
        {"sales and receipts", 80, 60, money(20), money(60), money(45)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        folder.exec("delete from tb_Invoice");
        folder.exec("delete from tb_trans");
        folder.exec("delete from tb_Receive");
        folder.exec("delete from tb_GL");
        folder.exec("delete from tb_ExpenseTypes");
        invoice(900, "2025-11-01", 60);   // what the receipt pays, before the period
        if (c.sales) invoice(1001, "2026-03-01", c.sales);
        if (c.received) received(1, "2026-03-02", c.received);
        expenseType("Rent");
        payment(1, "2026-03-03", "Rent", 15);
        startProgram();
        PrtIncome& p = open();
        const QStringList r = rows(p);
        ASSERT_EQ(r.size(), 11);
        EXPECT_EQ(r[1], "Total Sales " + money(c.sales));
        EXPECT_EQ(r[2], "Accounts Receivable " + c.receivable);
        EXPECT_EQ(r[3], "Total Receipts " + c.receipts);
        EXPECT_EQ(r[10], "Net Income " + c.net);
        p.btnExit_Click();
        testsupport::pump();
    }
    EXPECT_TRUE(boxes.shown().empty());
}

// The expense rows stand between "Expenses:" and the blank row; the bold
// rows move down with them.
TEST_F(PrtIncomeTest, ExpenseRowsAndBoldRowsForAnyNumberOfTypes) {
    for (const int n : {0, 1, 8, 99}) {
        SCOPED_TRACE(n);
        folder.exec("delete from tb_ExpenseTypes");
        for (int i = 1; i <= n; ++i) expenseType(QStringLiteral("Type %1").arg(i, 2, 10, QLatin1Char('0')));
        startProgram();
        PrtIncome& p = open();
        const QStringList r = rows(p);
        ASSERT_EQ(r.size(), n + 10);
        EXPECT_EQ(r[5], "Expenses: ");
        for (int i = 1; i <= n; ++i)
            EXPECT_EQ(r[5 + i], QStringLiteral("Type %1 ").arg(i, 2, 10, QLatin1Char('0')) + money(0));
        EXPECT_EQ(r[n + 6], " ");
        EXPECT_EQ(r[n + 7], "Total Expenses " + money(0));
        EXPECT_EQ(boldRows(p), QList<int>({3, n + 7, n + 9}));
        EXPECT_EQ(p.ExpenseNames().size(), n);
        p.btnExit_Click();
        testsupport::pump();
    }
    EXPECT_TRUE(boxes.shown().empty());
}

// A hundred expense types give no statement: at loading the load handler's
// report, afterwards a plain notice that keeps the statement on show.
TEST_F(PrtIncomeTest, MoreThan99ExpenseTypesGiveNoStatement) {
    for (int i = 1; i <= 100; ++i) expenseType(QStringLiteral("Type %1").arg(i, 3, 10, QLatin1Char('0')));
    startProgram();
    const QString report = vb::ErrorReportText("PrtIncome.Form_Load -", 9, "Subscript out of range");
    boxes.expect(vb::vbOK, report);
    PrtIncome& p = open();
    EXPECT_TRUE(p.Visible());
    EXPECT_TRUE(p.VSregistry.Tables().isEmpty());
    EXPECT_FALSE(p.VSregistry.IsDocComplete());
    EXPECT_EQ(boxes.shown().at(0).buttons, vb::vbOKOnly);

    boxes.expect(vb::vbOK, "The income statement lists at most 99 expense types.");
    p.btnGo_Click();
    EXPECT_TRUE(p.VSregistry.Tables().isEmpty());

    // Down to 99, Preview builds it.
    folder.exec("delete from tb_ExpenseTypes where type = 'Type 100'");
    startProgram();
    p.btnGo_Click();
    ASSERT_EQ(p.VSregistry.Tables().size(), 1);
    EXPECT_EQ(table(p).rowCount(), 99 + 9);
    EXPECT_EQ(boxes.shown().size(), 2u);
}

// The pickers write their date into the box beside them; Preview reads the
// boxes alone and prints them as they stand.
TEST_F(PrtIncomeTest, PreviewUsesThePeriodInTheBoxes) {
    expenseType("Rent");
    invoice(1001, "2026-03-15", 100);
    invoice(1002, "2026-05-15", 40);
    received(1, "2026-03-16", 25);
    payment(1, "2026-03-17", "Rent", 10);
    payment(2, "2026-05-17", "Rent", 4);
    startProgram();
    PrtIncome& p = open();
    EXPECT_EQ(table(p).cell(1, 1), money(140));

    p.DTbegdate.Pick(vb::Date::fromYmd(2026, 3, 1));
    p.dtEndDate.Pick(vb::Date::fromYmd(2026, 3, 31));
    EXPECT_EQ(p.txtBegDate.Text(), "03/01/26");
    EXPECT_EQ(p.txtEndDate.Text(), "03/31/26");
    // Nothing changes until Preview.
    EXPECT_EQ(table(p).cell(1, 1), money(140));
    testsupport::click(p.btnGo);
    EXPECT_EQ(paragraphs(p).at(1), "For Period 03/01/26 - 03/31/26");
    EXPECT_EQ(rows(p), QStringList({" ", "Total Sales " + money(100), "Accounts Receivable " + money(75),
                                    "Total Receipts " + money(25), " ", "Expenses: ", "Rent " + money(10), " ",
                                    "Total Expenses " + money(10), " ", "Net Income " + money(15)}));
    EXPECT_EQ(p.VSregistry.Tables().size(), 1);

    // A box typed over wins over its picker; a period that ends before it
    // begins holds nothing.
    testsupport::type(p.txtBegDate, "060126");
    testsupport::type(p.txtEndDate, "050126");
    EXPECT_EQ(p.DTbegdate.Value(), vb::Date::fromYmd(2026, 3, 1));
    testsupport::click(p.btnGo);
    EXPECT_EQ(paragraphs(p).at(1), "For Period 06/01/26 - 05/01/26");
    for (int r : {1, 2, 3, 6, 8, 10}) EXPECT_EQ(table(p).cell(r, 1), money(0)) << "row " << r;
    EXPECT_TRUE(boxes.shown().empty());
}

// A box that holds no date stops Preview with a notice; the statement on
// show stays, and so do its figures.
TEST_F(PrtIncomeTest, APeriodBoxWithoutADateKeepsTheStatement) {
    invoice(1001, "2026-03-15", 100);
    startProgram();
    PrtIncome& p = open();
    const QStringList before = rows(p);
    for (const char* typed : {"1301", "023126", "0101"}) {
        SCOPED_TRACE(typed);
        p.txtBegDate.setText("01/01/26");
        testsupport::type(p.txtEndDate, typed);
        boxes.expect(vb::vbOK, "Enter the beginning and ending dates as mm/dd/yy.");
        p.btnGo_Click();
        EXPECT_EQ(rows(p), before);
        EXPECT_EQ(p.SalesTotal(), vb::Currency::fromDouble(100));
        EXPECT_EQ(boxes.shown().back().buttons, vb::vbExclamation);
    }
}

// An expense type holding an apostrophe or the table's separators gets its
// own sum, in one cell.
TEST_F(PrtIncomeTest, ExpenseTypeNamesAreTakenAsTyped) {
    expenseType("Owner's draw");
    expenseType("Parts | tools; misc");
    payment(1, "2026-02-01", "Owner's draw", 11);
    payment(2, "2026-02-02", "Parts | tools; misc", 7);
    startProgram();
    PrtIncome& p = open();
    const printer::Table& t = table(p);
    ASSERT_EQ(t.rowCount(), 11);
    EXPECT_EQ(t.cell(6, 0), "Owner's draw");
    EXPECT_EQ(t.cell(6, 1), money(11));
    EXPECT_EQ(t.cell(7, 0), "Parts | tools; misc");
    EXPECT_EQ(t.cell(7, 1), money(7));
    EXPECT_EQ(t.cell(9, 1), money(18));
    EXPECT_TRUE(boxes.shown().empty());
}

// Showing the open window again only raises it; after Exit the next
// opening reads the data anew. The shared invoice instance stays usable.
TEST_F(PrtIncomeTest, ReopeningLaysOutAnewOnlyAfterExit) {
    invoice(1001, "2026-03-15", 100);
    startProgram();
    const auto shared = Globals::SharedInvoice;
    open();
    invoice(1002, "2026-03-16", 50);
    PrtIncome& again = open();
    EXPECT_EQ(table(again).cell(1, 1), money(100));
    again.btnExit_Click();
    testsupport::pump();
    EXPECT_FALSE(Form::isLoaded<PrtIncome>());
    EXPECT_EQ(table(open()).cell(1, 1), money(150));
    ASSERT_TRUE(Globals::SharedInvoice);
    EXPECT_EQ(Globals::SharedInvoice, shared);
    shared->OpenCn();
    EXPECT_EQ(shared->InvoiceTotal(1002), vb::Currency::fromDouble(50));
    shared->CloseCn();
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(PrtIncomeTest, ResizeKeepsThePanelRightOfThePreview) {
    startProgram();
    PrtIncome& p = open();
    const int panel = p.Frame1.Width();
    // Twips land on whole pixels: 15 twips either way.
    for (const int w : {18000, 9000}) {
        SCOPED_TRACE(w);
        p.Move(0, 0, w, 9000);
        p.Form_Resize();
        EXPECT_NEAR(p.VSregistry.Left(), 25, 15);
        EXPECT_NEAR(p.VSregistry.Width(), p.Width() - panel - 250, 15);
        EXPECT_NEAR(p.VSregistry.Height(), p.Height() - 800, 15);
        EXPECT_NEAR(p.Frame1.Left(), p.Width() - panel - 200, 15);
        EXPECT_NEAR(p.btnExit.Left(), p.Width() - 1000, 15);
        EXPECT_NEAR(p.Frame1.Width(), panel, 15);
    }
    // Too narrow for the panel: the preview keeps its width, the rest moves.
    const int previewWidth = p.VSregistry.Width(), frameLeft = p.Frame1.Left();
    p.Move(0, 0, 2000, 7000);
    p.Form_Resize();
    EXPECT_EQ(p.VSregistry.Width(), previewWidth);
    EXPECT_NEAR(p.Frame1.Left(), frameLeft, 15);
    EXPECT_NEAR(p.VSregistry.Height(), p.Height() - 800, 15);
    EXPECT_NEAR(p.btnExit.Left(), p.Width() - 1000, 15);
    EXPECT_TRUE(boxes.shown().empty());
}

} // namespace
