// The payment and deposit register: loading in date order with running
// balances, the lists, the labels, a row typed in and saved on leaving,
// balances after an edit, the balance column skipped, delete, the report
// filter, the picked date and the window position in the settings file.
#include <memory>
#include <gtest/gtest.h>
#include "books/ExpenseTypes.h"
#include "books/GL.h"
#include "customers/Customer.h"
#include "customers/PaymentDate.h"
#include "data/Globals.h"
#include "data/Vendor.h"
#include "data/cSetup.h"
#include "reports/PrtRegistry.h"
#include "forms/Form.h"
#include "support/FormDriver.h"
#include "support/GridDriver.h"
#include "support/WindowFixture.h"
#include "vb/Conv.h"
#include "vb/MsgBox.h"

using forms::Form;
using testsupport::GridDriver;
using testsupport::ModalAnswer;

namespace {

class GLTest : public testsupport::WindowFixture {
protected:
    void entry(int num, const QString& isoDate, const QString& check, double pay, double dep, bool cleared = false,
               const QString& vendor = QStringLiteral("Acme"), const QString& category = QStringLiteral("Rent")) {
        folder.exec(QStringLiteral("INSERT INTO tb_GL VALUES (%1,'%2 00:00:00','%3','%4',%5,%6,'%7',%8,'n%1')")
                        .arg(num)
                        .arg(isoDate, check, vendor)
                        .arg(pay)
                        .arg(cleared ? 1 : 0)
                        .arg(category)
                        .arg(dep));
    }
    GL& open() {
        folder.exec("INSERT OR IGNORE INTO tb_Client (CustNum, Lname, Fname) VALUES (1001,'Lane','Ada')");
        Form::get<Customer>();   // start-up: shared instances, lists, settings path
        GL& w = Form::get<GL>();
        w.Show();
        testsupport::pump();
        return w;
    }
    static QString cell(const GL& w, int r, int c) { return w.PaymentList.TextMatrix(r, c); }
    static QString money(double v) { return vb::FormatCurrency(vb::CCur(vb::Variant(v))); }
    int entries() const { return folder.scalar(QStringLiteral("SELECT count(*) FROM tb_GL")).toInt(); }
};

TEST_F(GLTest, EmptyRegisterLoadsOneBlankRowAndZeroBalances) {
    GL& w = open();
    EXPECT_EQ(w.Caption(), "Registry");
    const controls::FlexGrid& g = w.PaymentList;
    EXPECT_EQ(g.Cols(), 11);
    EXPECT_EQ(g.Rows(), 2);
    EXPECT_EQ(g.FormatString(), "^Sel|TransNum|^Date|^Num|Vendor|Category|>Payment|^CLR|>Deposit|>Balance|Notes");
    EXPECT_EQ(g.ColWidth(GL::colKey), 0);
    EXPECT_EQ(g.ColWidth(GL::colSel), 400);
    EXPECT_EQ(cell(w, 1, GL::colSel), "*");
    EXPECT_EQ(g.TopRow(), 1);
    EXPECT_EQ(w.lblEndBal.Caption(), money(0));
    EXPECT_EQ(w.lblCurBal.Caption(), money(0));
    EXPECT_EQ(w.Label2.Caption(), "Current Balance:");
    EXPECT_EQ(w.Label3.Caption(), "Ending Balance:");
    EXPECT_EQ(g.ColComboList(GL::colVendor), "");
    EXPECT_EQ(g.ColComboList(GL::colCategory), "");
    EXPECT_TRUE(g.ColCellButton(GL::colDate) || g.ColComboList(GL::colDate) == "...");
    EXPECT_EQ(Globals::PrintFilterField, "All");
    EXPECT_EQ(Globals::PrintFilterValue, "ALL");
}

TEST_F(GLTest, EntriesLoadInDateAndChequeTextOrderWithRunningBalancesAndLists) {
    folder.exec("INSERT INTO tb_Vendor (VendorNum, Company) VALUES (1001,'Bolt'),(1002,'Acme')");
    folder.exec("INSERT INTO tb_ExpenseTypes VALUES ('Rent'),('Office')");
    entry(1001, "2026-03-01", "9", 10, 0, true);
    entry(1002, "2026-03-01", "10", 0, 100, true);   // "10" sorts before "9"
    entry(1003, "2026-01-15", "1", 20, 0);
    entry(1004, "2026-04-01", "", 0, 0);              // both empty, balance repeated
    entry(1005, "2026-05-01", "2", 5, 0);
    entry(1006, "2026-06-01", "3", 0, 7);
    GL& w = open();
    const controls::FlexGrid& g = w.PaymentList;
    ASSERT_EQ(g.Rows(), 8);
    const QStringList keys{cell(w, 1, 1), cell(w, 2, 1), cell(w, 3, 1), cell(w, 4, 1), cell(w, 5, 1), cell(w, 6, 1)};
    EXPECT_EQ(keys, (QStringList{"1003", "1002", "1001", "1004", "1005", "1006"}));
    const double balances[] = {-20, 80, 70, 70, 65, 72};
    for (int r = 1; r <= 6; ++r) EXPECT_EQ(cell(w, r, GL::colBalance), money(balances[r - 1])) << r;
    EXPECT_EQ(cell(w, 1, GL::colPayment), money(20));
    EXPECT_EQ(cell(w, 1, GL::colDeposit), "");
    EXPECT_EQ(cell(w, 4, GL::colPayment), "");
    EXPECT_EQ(cell(w, 4, GL::colDeposit), "");
    EXPECT_EQ(cell(w, 1, GL::colNotes), "n1003");
    EXPECT_TRUE(g.cellChecked(2, GL::colClr));
    EXPECT_FALSE(g.cellChecked(1, GL::colClr));
    EXPECT_EQ(g.Row(), 7);
    EXPECT_EQ(g.TopRow(), 2);
    EXPECT_EQ(cell(w, 7, GL::colSel), "*");
    EXPECT_EQ(w.lblEndBal.Caption(), money(72));
    EXPECT_EQ(w.lblCurBal.Caption(), money(90));
    EXPECT_EQ(g.ColComboList(GL::colVendor), "Acme|Bolt");
    EXPECT_EQ(g.ColComboList(GL::colCategory), "#3;Office|#4;Rent");
    ASSERT_TRUE(Globals::rsVendors);
    EXPECT_EQ(Globals::rsVendors->RecordCount(), 2);
}

TEST_F(GLTest, FiveEntriesLeaveTopRowAlone) {
    for (int i = 0; i < 5; ++i) entry(1001 + i, QStringLiteral("2026-01-0%1").arg(i + 1), "", 1, 0);
    GL& w = open();
    EXPECT_EQ(w.PaymentList.Rows(), 7);
    EXPECT_EQ(w.PaymentList.Row(), 6);
    EXPECT_EQ(w.PaymentList.TopRow(), 1);
}

TEST_F(GLTest, TypedPaymentIsMarkedThenSavedOnLeavingTheRow) {
    GL& w = open();
    GridDriver d(w.PaymentList);
    d.focusIn();
    ASSERT_TRUE(d.edit(1, GL::colDate, "3/4/2026"));
    EXPECT_EQ(w.PaymentList.Rows(), 2);   // a date alone fills nothing
    ASSERT_TRUE(d.edit(1, GL::colPayment, "25"));
    EXPECT_EQ(cell(w, 1, GL::colPayment), money(25));
    EXPECT_EQ(cell(w, 1, GL::colBalance), money(-25));
    EXPECT_EQ(cell(w, 1, GL::colKey), "0");
    EXPECT_EQ(w.PaymentList.Rows(), 3);
    EXPECT_EQ(cell(w, 1, GL::colSel), "?");
    EXPECT_TRUE(Globals::RowChanged);
    EXPECT_EQ(entries(), 0);

    d.moveTo(2, GL::colDate);
    EXPECT_EQ(entries(), 1);
    EXPECT_EQ(cell(w, 1, GL::colKey), "1001");
    EXPECT_EQ(cell(w, 1, GL::colSel), "");
    EXPECT_EQ(cell(w, 2, GL::colSel), "*");
    EXPECT_FALSE(Globals::RowChanged);
    EXPECT_EQ(w.lblEndBal.Caption(), money(-25));
    EXPECT_EQ(w.lblCurBal.Caption(), money(0));
    EXPECT_EQ(folder.scalar("SELECT Payment FROM tb_GL WHERE TransNum = 1001").toDouble(), 25.0);
    EXPECT_EQ(folder.scalar("SELECT Deposit FROM tb_GL WHERE TransNum = 1001").toDouble(), 0.0);
    EXPECT_TRUE(folder.scalar("SELECT [Date] FROM tb_GL WHERE TransNum = 1001").startsWith("2026-03-04"));
}

TEST_F(GLTest, DateWithoutAmountSavesNothingOnLeaving) {
    entry(1001, "2026-01-01", "1", 5, 0);
    GL& w = open();
    GridDriver d(w.PaymentList);
    d.focusIn();
    ASSERT_TRUE(d.edit(2, GL::colDate, "3/4/2026"));
    EXPECT_EQ(w.PaymentList.Rows(), 3);
    d.moveTo(1, GL::colNum);
    d.focusOut();
    EXPECT_EQ(entries(), 1);
    EXPECT_EQ(cell(w, 2, GL::colBalance), "");
}

TEST_F(GLTest, EditedPaymentRenewsBalancesFromItsRowDown) {
    for (int i = 0; i < 10; ++i) entry(1001 + i, QStringLiteral("2026-01-%1").arg(i + 10), "", i == 3 ? 10.0004 : 10, 0);
    GL& w = open();
    GridDriver d(w.PaymentList);
    d.focusIn();
    ASSERT_TRUE(d.edit(3, GL::colPayment, "40"));
    EXPECT_EQ(cell(w, 3, GL::colBalance), money(-60));
    EXPECT_EQ(cell(w, 3, GL::colSel), "?");
    ASSERT_TRUE(d.edit(4, GL::colNotes, "n"));   // a stored amount saved untouched keeps its decimals
    d.moveTo(5, GL::colNum);
    EXPECT_EQ(folder.scalar("SELECT Payment FROM tb_GL WHERE TransNum = 1003").toDouble(), 40.0);
    EXPECT_EQ(folder.scalar("SELECT Payment FROM tb_GL WHERE TransNum = 1004").toDouble(), 10.0004);
    EXPECT_EQ(entries(), 10);
    for (int r = 1; r <= 10; ++r) EXPECT_EQ(cell(w, r, GL::colBalance), money(r < 3 ? -10.0 * r : -10.0 * r - 30)) << r;
    EXPECT_EQ(w.lblEndBal.Caption(), money(-130));
    EXPECT_EQ(cell(w, 5, GL::colSel), ">");
}

TEST_F(GLTest, CursorNeverRestsOnTheBalance) {
    entry(1001, "2026-01-01", "1", 5, 0);
    GL& w = open();
    GridDriver d(w.PaymentList);
    d.focusIn();
    d.click(1, GL::colBalance);
    EXPECT_EQ(w.PaymentList.Col(), GL::colNotes);
    d.moveTo(1, GL::colDeposit);
    d.key(controls::keys::Right);
    EXPECT_EQ(w.PaymentList.Col(), GL::colNotes);
    d.key(controls::keys::Left);
    EXPECT_EQ(w.PaymentList.Col(), GL::colDeposit);
}

TEST_F(GLTest, DeleteAsksForTheCurrentEntryAndMovesUpOneRow) {
    entry(1001, "2026-01-01", "1", 5, 0);
    entry(1002, "2026-01-02", "2", 0, 50);
    entry(1003, "2026-01-03", "3", 7, 0);
    GL& w = open();
    // On the blank entry row: nothing asked, yet the cursor moves up.
    w.btnDelete_Click();
    EXPECT_EQ(w.PaymentList.Row(), 3);

    boxes.expect(vb::vbNo, QStringLiteral("Delete selected legder entry?"));
    w.PaymentList.setRow(2);
    w.btnDelete_Click();
    EXPECT_EQ(entries(), 3);
    EXPECT_EQ(w.PaymentList.Row(), 1);

    boxes.expect(vb::vbYes, QStringLiteral("Delete selected legder entry?"));
    w.PaymentList.setRow(2);
    w.btnDelete_Click();
    EXPECT_EQ(entries(), 2);
    EXPECT_EQ(folder.scalar("SELECT count(*) FROM tb_GL WHERE TransNum = 1002").toInt(), 0);
    EXPECT_EQ(w.PaymentList.Rows(), 4);
    EXPECT_EQ(cell(w, 2, GL::colBalance), money(-12));
    EXPECT_EQ(w.lblEndBal.Caption(), money(-12));
    EXPECT_EQ(w.PaymentList.Row(), 1);
}

TEST_F(GLTest, EnteredCellSetsTheReportFilter) {
    entry(1001, "2026-01-01", "1", 5, 0, false, "Acme", "Rent");
    GL& w = open();
    GridDriver d(w.PaymentList);
    d.focusIn();
    d.moveTo(1, GL::colVendor);
    EXPECT_EQ(Globals::PrintFilterField, "Vendor");
    EXPECT_EQ(Globals::PrintFilterValue, "Acme");
    d.moveTo(1, GL::colCategory);
    EXPECT_EQ(Globals::PrintFilterField, "Category");
    EXPECT_EQ(Globals::PrintFilterValue, "Rent");
    d.moveTo(1, GL::colNotes);
    EXPECT_EQ(Globals::PrintFilterField, "Category");
    d.moveTo(1, GL::colDeposit);
    EXPECT_EQ(Globals::PrintFilterField, "Deposit");
    EXPECT_EQ(Globals::PrintFilterValue, "ALL");
}

// Print lays the report out for the vendor of the entered cell, also when a
// report of another vendor is open, and the report outlives the register.
TEST_F(GLTest, PrintShowsTheEnteredVendorAndTheReportOutlivesTheRegister) {
    folder.exec("INSERT INTO tb_Vendor (VendorNum, Company) VALUES (1001,'Acme'),(1002,'Bolt')");
    entry(1001, "2026-01-01", "1", 50, 0, false, "Acme", "Rent");
    entry(1002, "2026-01-02", "2", 900, 0, false, "Bolt", "Rent");
    GL& w = open();
    GridDriver d(w.PaymentList);
    d.focusIn();
    auto total = [] {
        const printer::Table& t = Form::get<PrtRegistry>().VSregistry.Tables().at(0);
        return t.rows.back().join('|');   // the total row
    };
    d.moveTo(1, GL::colVendor);
    w.btnPrint_Click();
    testsupport::pump();
    EXPECT_TRUE(total().endsWith(money(50))) << total().toStdString();
    d.moveTo(2, GL::colVendor);
    w.btnPrint_Click();
    testsupport::pump();
    EXPECT_TRUE(total().endsWith(money(900))) << total().toStdString();

    Form::Unload(&w);
    testsupport::pump();
    PrtRegistry& p = Form::get<PrtRegistry>();
    p.OptCategory.click();
    p.OptVendor.click();
    EXPECT_EQ(p.CmbPrintCrit.ListCount(), 2);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(GLTest, PickedDateOnBlankRowMarksChangedButSavesNothing) {
    GL& w = open();
    GridDriver d(w.PaymentList);
    d.focusIn();
    d.moveTo(1, GL::colDate);
    d.cellButton();   // modeless, owned by the register
    ASSERT_TRUE(Form::isLoaded<PaymentDate>());
    Form::get<PaymentDate>().PayDate.ClickDate(vb::Date::fromYmd(2026, 2, 3));
    testsupport::pump();
    d.focusIn();
    EXPECT_FALSE(cell(w, 1, GL::colDate).isEmpty());
    EXPECT_EQ(w.PaymentList.Col(), GL::colNum);
    EXPECT_FALSE(Globals::DatePicked);
    d.focusOut();
    EXPECT_EQ(entries(), 0);
    EXPECT_FALSE(Globals::RowChanged);
}

TEST_F(GLTest, PositionIsKeptInTheSettingsFileUnlessMinimised) {
    GL& w = open();
    w.Move(1440, 1200, 9000, 6990);
    Form::Unload(&w);
    testsupport::pump();
    EXPECT_EQ(Globals::ReadIniString("GL", "WIDTH", "", Globals::IniPath), "9000");
    EXPECT_EQ(Globals::ReadIniString("GL", "HEIGHT", "", Globals::IniPath), "6990");
    GL& again = open();
    EXPECT_EQ(again.Width(), 9000);
    EXPECT_EQ(again.Height(), 6990);
    again.setWindowState(Form::vbMinimized);
    testsupport::pump();
    Form::Unload(&again);
    testsupport::pump();
    EXPECT_EQ(Globals::ReadIniString("GL", "WIDTH", "", Globals::IniPath), "9000");
}

TEST_F(GLTest, ExpenseTypesEditorRenewsTheOpenRegistersCategories) {
    GL& w = open();
    folder.exec("INSERT INTO tb_ExpenseTypes VALUES ('Fuel')");
    auto setup = Globals::SharedSetup;
    setup->OpenCn();
    Globals::rsExpTypes = setup->rsExpenseTypes();
    setup->CloseCn();
    ExpenseTypes& e = Form::get<ExpenseTypes>();
    Form::Unload(&e);
    testsupport::pump();
    EXPECT_EQ(w.PaymentList.ColComboList(GL::colCategory), "#3;Fuel");
}

TEST_F(GLTest, ResizeKeepsGridLabelsAndButtonsInPlace) {
    GL& w = open();
    w.Move(0, 0, 9990, 7995);
    w.Form_Resize();
    EXPECT_NEAR(w.PaymentList.Width(), 9990 - 160, 15);
    EXPECT_NEAR(w.PaymentList.Height(), 7995 - 1500, 15);
    // Each caption ends before its amount, the amounts stand in the designed
    // places from the right, and the pairs do not overlap.
    EXPECT_LE(w.Label3.Left() + w.Label3.Width(), w.lblEndBal.Left());
    EXPECT_LE(w.Label2.Left() + w.Label2.Width(), w.lblCurBal.Left());
    EXPECT_LE(w.lblCurBal.Left() + w.lblCurBal.Width(), w.Label3.Left());
    EXPECT_LE(w.Label2.Left(), 9990 - 4600);
    EXPECT_NEAR(w.Label3.Top(), 7995 - 650, 15);
    EXPECT_NEAR(w.Frame1.Left() + w.Frame1.Width(), w.Frame2.Width(), 15);
}

TEST_F(GLTest, NamesHoldingListSyntaxAreOneEntryEachAndWrittenWhole) {
    folder.exec("INSERT INTO tb_Vendor (VendorNum, Company) VALUES (1,'#1;Odd'),(2,'...'),(3,'Back\\slash'),(4,'S | Sons')");
    folder.exec("INSERT INTO tb_ExpenseTypes VALUES ('Fuel|Oil'),('Rent')");
    GL& w = open();
    GridDriver d(w.PaymentList);
    d.focusIn();
    const QStringList vendors{"#1;Odd", "...", "Back\\slash", "S | Sons"};   // in company order
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(d.pick(1, GL::colVendor, i));
        EXPECT_EQ(cell(w, 1, GL::colVendor), vendors[i]);
    }
    ASSERT_TRUE(d.pick(1, GL::colCategory, 3));
    ASSERT_TRUE(d.edit(1, GL::colDate, "3/4/2026"));
    ASSERT_TRUE(d.edit(1, GL::colPayment, "25"));
    d.moveTo(2, GL::colDate);
    EXPECT_EQ(folder.scalar("SELECT Vendor || '/' || Category FROM tb_GL"), "S | Sons/Fuel|Oil");
}

TEST_F(GLTest, PickedDateMakesTheRowPendingAsATypedDateDoes) {
    for (const bool picked : {false, true}) {
        SCOPED_TRACE(picked ? "picked" : "typed");
        testsupport::ResetWindowsAndState();
        folder.exec("DELETE FROM tb_GL");
        GL& w = open();
        GridDriver d(w.PaymentList);
        d.focusIn();
        ASSERT_TRUE(d.edit(1, GL::colPayment, "25"));
        if (picked) {
            d.moveTo(1, GL::colDate);
            d.cellButton();
            Form::get<PaymentDate>().PayDate.ClickDate(vb::Date::fromYmd(2026, 2, 3));
            testsupport::pump();
            d.focusIn();
        } else {
            ASSERT_TRUE(d.edit(1, GL::colDate, "2/3/2026"));
        }
        d.key(controls::keys::Right);   // a move within the row saves nothing
        EXPECT_EQ(entries(), 0);
        EXPECT_EQ(w.PaymentList.Rows(), 3) << "a new blank entry row";
        EXPECT_EQ(cell(w, 1, GL::colSel), "?");
        d.moveTo(2, GL::colDate);
        EXPECT_EQ(entries(), 1);
        EXPECT_FALSE(Globals::RowChanged);
    }
}

} // namespace

TEST_F(GLTest, EntriesWrittenElsewhereShowAndASaveOfADeletedOneIsRefused) {
    folder.exec("INSERT INTO tb_Vendor (VendorNum, Company) VALUES (1001,'City Power'),(1002,'Acme')");
    entry(1001, "2026-01-05", "1", 10, 0, true, "City Power");
    entry(1002, "2026-01-06", "2", 0, 100, true);
    entry(1003, "2026-01-07", "3", 5, 0, true);
    GL& w = open();
    GridDriver d(w.PaymentList);
    d.focusIn();
    ASSERT_TRUE(d.edit(4, GL::colDate, "1/8/2026") && d.edit(4, GL::colPayment, "7"));   // pending
    auto other = testsupport::OpenOnDataFile<Vendor>();
    ASSERT_TRUE(other->GetVendor("City Power"));
    other->Company = "Power Co";
    ASSERT_TRUE(other->SaveVendorAccess(1001));
    other->CloseCn();
    testsupport::pump();
    ASSERT_EQ(w.PaymentList.Rows(), 6);
    const QStringList cells = {cell(w, 1, GL::colVendor), cell(w, 4, GL::colKey), cell(w, 4, GL::colPayment)};
    EXPECT_EQ(cells, (QStringList{"Power Co", "0", money(7)})) << "the pending row stays, with its edits";
    EXPECT_EQ(cell(w, 4, GL::colBalance), money(78));
    EXPECT_EQ(w.lblEndBal.Caption() + w.lblCurBal.Caption(), money(85) + money(85));
    d.moveTo(1, GL::colNotes);   // leaving it saves it
    EXPECT_EQ(entries(), 4);
    folder.exec("DELETE FROM tb_GL WHERE TransNum = 1002");   // another copy
    ASSERT_TRUE(d.edit(2, GL::colNotes, "paid"));
    boxes.expect(vb::vbOK, "This entry has been deleted; it was not saved.");
    d.moveTo(1, GL::colNotes);
    testsupport::pump();
    EXPECT_EQ(folder.scalar("SELECT count(*) FROM tb_GL WHERE TransNum = 1002"), "0");
    EXPECT_EQ(cell(w, 2, GL::colKey) + cell(w, 2, GL::colBalance), "1003" + money(-15));
    EXPECT_EQ(w.lblEndBal.Caption(), money(-22));
}
