// The payments received register: a payment entered through both pickers
// and saved, the type list, the since-date and the client filter, editing
// and deleting, failed saves that lose nothing, and the window's lifetime.
#include <memory>
#include <gtest/gtest.h>
#include <QStringList>
#include "controls/GridRowEditor.h"
#include "customers/CustSearch.h"
#include "customers/Customer.h"
#include "customers/PaymentDate.h"
#include "customers/Receipts.h"
#include "customers/StatusWindow.h"
#include "data/Client.h"
#include "data/Globals.h"
#include "forms/Form.h"
#include "support/FormDriver.h"
#include "support/GridDriver.h"
#include "support/WindowFixture.h"
#include "vb/Conv.h"
#include "vb/MsgBox.h"

using forms::Form;
using testsupport::GridDriver;
using testsupport::ModalAnswer;
using testsupport::WindowFixture;
using R = Receipts;

namespace {

class ReceiptsTest : public WindowFixture {
protected:
    void client(int num, const QString& last, const QString& first, const QString& type1 = {},
                const QString& card1 = {}, const QString& type2 = {}, const QString& card2 = {}) {
        folder.exec(QStringLiteral("INSERT INTO tb_Client (CustNum, Lname, Fname, PaymentType1, CardNum1, "
                                   "PaymentType2, CardNum2) VALUES (%1,'%2','%3','%4','%5','%6','%7')")
                        .arg(num)
                        .arg(last, first, type1, card1, type2, card2));
    }
    void payTypes(const QStringList& types) {
        for (const QString& t : types) folder.exec(QStringLiteral("INSERT INTO tb_PaymentTypes VALUES ('%1')").arg(t));
    }
    void payment(int num, int cust, const QString& isoDate, double amount, const QString& type = QStringLiteral("Cash")) {
        folder.exec(QStringLiteral("INSERT INTO tb_Receive VALUES (%1,%2,'%3','','%4 00:00:00',%5,NULL)")
                        .arg(num)
                        .arg(cust)
                        .arg(type, isoDate)
                        .arg(amount));
    }
    // Start-up, then the register for one client (or -1).
    Receipts& open(int custNum, const QString& name = QString()) {
        Form::get<Customer>();
        Globals::CurrentCustNum = custNum;
        Globals::CurrentCustName = name;
        Receipts& w = Form::get<Receipts>();
        w.Show();
        testsupport::pump();   // the frame is known once the window is up
        return w;
    }
    static QString cell(const Receipts& w, int r, int c) { return w.PaymentList.TextMatrix(r, c); }
    QString stored(const QString& sql) const { return folder.scalar(sql); }
    int payments() const { return folder.scalar(QStringLiteral("SELECT count(*) FROM tb_Receive")).toInt(); }
    static vb::Currency balance(int custNum) {
        Client c;
        c.InitAccess(Globals::DataFilePath());
        c.OpenCn();
        const vb::Currency b = c.ClientBal(custNum, vb::Date());
        c.CloseCn();
        return b;
    }
    static void pickDate(GridDriver& d, const vb::Date& date) {
        ModalAnswer answer([date](Form& f) { static_cast<PaymentDate&>(f).PayDate.ClickDate(date); });
        d.cellButton();
    }
};

TEST_F(ReceiptsTest, PaymentEnteredThroughBothPickersIsSavedAndLowersTheBalance) {
    client(1001, QStringLiteral("Smith"), QStringLiteral("John"), QStringLiteral("Visa"), QStringLiteral("4111"));
    client(1002, QStringLiteral("Young"), QStringLiteral("Amy"));
    payTypes({QStringLiteral("Cash"), QStringLiteral("Check")});
    folder.exec(QStringLiteral("INSERT INTO tb_Invoice (InvoiceNum, CustNum, Date, tax, shippingcharge, interest) "
                               "VALUES (1001, 1001, '2026-01-02 00:00:00', 0, 0, 0)"));
    folder.exec(QStringLiteral("INSERT INTO tb_trans (TransNum, InvoiceNum, ItemNum, Qty, Amount) VALUES (1001, 1001, 0, 1, 120)"));

    Customer& main = Form::get<Customer>();
    const vb::Currency before = balance(1001);
    ASSERT_EQ(before, vb::Currency::fromDouble(120));
    ASSERT_EQ(Globals::CurrentCustNum, 1001);
    main.btnReceipts_Click();
    ASSERT_TRUE(Form::isLoaded<Receipts>());
    EXPECT_FALSE(Form::isLoaded<GettingReceipts>());
    Receipts& w = Form::get<Receipts>();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.Caption(), "Payments Received");
    EXPECT_EQ(w.PaymentList.FormatString(), "^|TransNum|CustNum|Date|Type|Card/Check#|Client|>Amount|Notes");
    ASSERT_EQ(w.PaymentList.Rows(), 2);
    EXPECT_EQ(cell(w, 1, R::colStatus), "*");
    EXPECT_EQ(w.PaymentList.ColComboList(R::colType), "#1;Visa #4111|#3;Cash|#4;Check");

    testsupport::click(w.btnNew);
    EXPECT_EQ(w.PaymentList.Row(), 1);
    EXPECT_EQ(w.PaymentList.Col(), R::colDate);

    // The date picker opens over the register, and its pick replays the edit.
    GridDriver d(w.PaymentList);
    pickDate(d, vb::Date::fromYmd(2026, 3, 15));
    EXPECT_FALSE(Form::isLoaded<PaymentDate>());
    EXPECT_EQ(cell(w, 1, R::colDate), "3/15/2026");
    EXPECT_EQ(w.PaymentList.Col(), R::colType) << "the replay moves on to Type";
    EXPECT_FALSE(Globals::DatePicked);
    EXPECT_EQ(cell(w, 1, R::colCustNum), "1001");
    EXPECT_EQ(cell(w, 1, R::colClient), "Smith, John");

    ASSERT_TRUE(d.pick(1, R::colType, 1));
    EXPECT_EQ(cell(w, 1, R::colType), "Visa #4111");
    EXPECT_EQ(cell(w, 1, R::colCheck), "4111");

    ASSERT_TRUE(d.edit(1, R::colAmount, QStringLiteral("50")));
    EXPECT_EQ(cell(w, 1, R::colAmount), "$50.00");
    EXPECT_EQ(cell(w, 1, R::colKey), "0");
    EXPECT_EQ(cell(w, 1, R::colStatus), "?");
    ASSERT_EQ(w.PaymentList.Rows(), 3);
    EXPECT_EQ(cell(w, 2, R::colStatus), "*");
    ASSERT_TRUE(d.edit(1, R::colNotes, QStringLiteral("O'Brien's cheque")));
    EXPECT_EQ(payments(), 0) << "nothing is written while the row is being edited";

    d.down();
    EXPECT_EQ(payments(), 1);
    EXPECT_EQ(folder.query(QStringLiteral("SELECT TransNum, CustNum, [Date], Type, CheckNum, Amount, Notes FROM tb_Receive"))[0],
              (QStringList{"1001", "1001", "2026-03-15 00:00:00", "Visa #4111", "4111", "50", "O'Brien's cheque"}));
    EXPECT_EQ(cell(w, 1, R::colKey), "1001");
    EXPECT_EQ(cell(w, 1, R::colStatus), "");
    EXPECT_EQ(cell(w, 2, R::colStatus), "*");
    EXPECT_FALSE(Globals::RowChanged);
    EXPECT_EQ(balance(1001), before - vb::Currency::fromDouble(50));
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(ReceiptsTest, TypeListNumbersCardsOneAndTwoAndTheCompanyTypesFromThree) {
    payTypes({QStringLiteral("Check"), QStringLiteral("Cash")});
    client(1001, QStringLiteral("A"), QStringLiteral("A"));
    Form::get<Customer>();
    const ado::RecordsetPtr types = Globals::rsPayTypes;
    struct Case { const char* t1; const char* n1; const char* t2; const char* n2; const char* list; };
    const Case cases[] = {
        {"", "", "", "", "#3;Cash|#4;Check"},
        {"", "", "MC", "5500", "#2;MC #5500|#3;Cash|#4;Check"},
        {"Visa", "4111", "", "", "#1;Visa #4111|#3;Cash|#4;Check"},
        {"Visa", "4111", "MC", "5500", "#1;Visa #4111|#2;MC #5500|#3;Cash|#4;Check"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(R::TypeList(c.t1, c.n1, c.t2, c.n2, types), c.list) << c.t1 << "/" << c.t2;
    // Walked from its first row every time.
    EXPECT_EQ(R::TypeList("", "", "", "", types), "#3;Cash|#4;Check");
}

TEST_F(ReceiptsTest, EntryTwoWritesTheSecondCardsNumber) {
    client(1001, QStringLiteral("Smith"), QStringLiteral("John"), {}, {}, QStringLiteral("MC"), QStringLiteral("5500"));
    payTypes({QStringLiteral("Cash")});
    Receipts& w = open(1001, QStringLiteral("Smith, John"));
    EXPECT_EQ(w.PaymentList.ColComboList(R::colType), "#2;MC #5500|#3;Cash");
    GridDriver d(w.PaymentList);
    d.focusIn();
    ASSERT_TRUE(d.pick(1, R::colType, 2));
    EXPECT_EQ(cell(w, 1, R::colCheck), "5500");
    ASSERT_TRUE(d.pick(1, R::colType, 3));
    EXPECT_EQ(cell(w, 1, R::colType), "Cash");
    EXPECT_EQ(cell(w, 1, R::colCheck), "5500") << "a company type leaves the number alone";
}

TEST_F(ReceiptsTest, WithoutCardsOrTypesTheTypeIsTypedAndTheRowStillSaves) {
    client(1001, QStringLiteral("Smith"), QStringLiteral("John"));
    Receipts& w = open(1001, QStringLiteral("Smith, John"));
    EXPECT_EQ(w.PaymentList.ColComboList(R::colType), "");
    GridDriver d(w.PaymentList);
    ASSERT_TRUE(d.edit(1, R::colDate, QStringLiteral("3/1/2026")));
    ASSERT_TRUE(d.edit(1, R::colType, QStringLiteral("Wire")));
    ASSERT_TRUE(d.edit(1, R::colAmount, QStringLiteral("12.345")));
    EXPECT_EQ(cell(w, 1, R::colAmount), "$12.345");
    d.down();
    EXPECT_EQ(folder.query(QStringLiteral("SELECT Type, Amount FROM tb_Receive WHERE TransNum = 1001"))[0],
              (QStringList{"Wire", "12.345"})) << "stored as shown";
}

TEST_F(ReceiptsTest, DefaultSinceDateIsFirstJanuaryOfTheYearADayOf365DaysAgoFallsIn) {
    struct Case { int y, m, d; const char* since; };
    const Case cases[] = {
        {2026, 12, 9, "01/01/25"},
        {2025, 12, 9, "01/01/24"},
        {2024, 12, 31, "01/01/24"},   // leap year: 365 days back is 1 January
        {2024, 12, 30, "01/01/23"},
        {2025, 1, 1, "01/01/24"},
    };
    client(1001, QStringLiteral("Smith"), QStringLiteral("John"));
    for (const Case& c : cases) {
        testsupport::PinnedClock pinned(QDateTime(QDate(c.y, c.m, c.d), QTime(9, 0)));
        Receipts& w = open(1001);
        EXPECT_EQ(w.txtSinceDate.Text(), c.since) << c.y << "-" << c.m << "-" << c.d;
        EXPECT_EQ(w.SinceDate, w.DTPicker1.Value());
        Form::unloadAll();
    }
}

TEST_F(ReceiptsTest, SinceDateIsStrictAndManyPaymentsScrollToTheBlankRow) {
    client(1001, QStringLiteral("Smith"), QStringLiteral("John"));
    client(1002, QStringLiteral("Young"), QStringLiteral("Amy"));
    payment(1001, 1001, QStringLiteral("2025-01-01"), 5);   // on the since-date: not listed
    for (int i = 0; i < 7; ++i) payment(1002 + i, 1001, QStringLiteral("2025-01-0%1").arg(2 + i), 10 + i);
    payment(1020, 1002, QStringLiteral("2025-06-01"), 99);   // another client's
    Receipts& w = open(1001);
    ASSERT_EQ(w.PaymentList.Rows(), 9);
    EXPECT_EQ(cell(w, 1, R::colKey), "1002");
    EXPECT_EQ(cell(w, 1, R::colDate), "1/2/2025");
    EXPECT_EQ(cell(w, 1, R::colClient), "Smith, John");
    EXPECT_EQ(cell(w, 7, R::colAmount), "$16.00");
    EXPECT_EQ(w.PaymentList.Row(), 8);
    EXPECT_EQ(w.PaymentList.TopRow(), 3);
    EXPECT_EQ(cell(w, 8, R::colStatus), "*");
    EXPECT_EQ(cell(w, 8, R::colKey), "");

    // A date picked in the drop-down goes into the box, and Go reads the box.
    w.DTPicker1.Pick(vb::Date::fromYmd(2025, 1, 5));
    EXPECT_EQ(w.txtSinceDate.Text(), "01/05/25");
    w.PaymentList.setRowColSilently(1, R::colDate);
    w.btnGo_Click();
    EXPECT_EQ(w.PaymentList.Rows(), 5);
    EXPECT_EQ(cell(w, 1, R::colKey), "1006");
}

TEST_F(ReceiptsTest, AllClientsListsEveryoneAndSetsMinusOneForEveryWindow) {
    client(1001, QStringLiteral("Smith"), QStringLiteral("John"), QStringLiteral("Visa"), QStringLiteral("4111"));
    client(1002, QStringLiteral("Young"), QStringLiteral("Amy"));
    payTypes({QStringLiteral("Cash")});
    payment(1001, 1002, QStringLiteral("2026-02-01"), 5);
    payment(1002, 1001, QStringLiteral("2026-03-01"), 7);
    Receipts& w = open(1001);
    ASSERT_EQ(w.PaymentList.Rows(), 3);

    w.CmbReceipt.Pick(1);
    w.btnGo_Click();
    EXPECT_EQ(Globals::CurrentCustNum, -1);
    ASSERT_EQ(w.PaymentList.Rows(), 4);
    EXPECT_EQ(cell(w, 1, R::colClient), "Young, Amy");
    EXPECT_EQ(cell(w, 2, R::colClient), "Smith, John");
    EXPECT_EQ(w.PaymentList.ColComboList(R::colType), "#3;Cash") << "no client, no cards";

    // The main window's commands see "all clients" as a selection.
    boxes.clear();
    Form::get<Customer>().btnReceipts_Click();
    EXPECT_TRUE(boxes.shown().empty());
}

// The blank row already belongs to the listed client, so Go lists it again.
TEST_F(ReceiptsTest, GoForSelectedClientOnTheBlankRowListsTheListedClient) {
    client(1001, QStringLiteral("Smith"), QStringLiteral("John"));
    payment(1001, 1001, QStringLiteral("2026-02-01"), 5);
    Receipts& w = open(1001);
    w.btnGo_Click();
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(Globals::CurrentCustNum, 1001);
    ASSERT_EQ(w.PaymentList.Rows(), 3);
    EXPECT_EQ(cell(w, 2, R::colClient), "Smith, John");
}

TEST_F(ReceiptsTest, ChangedAmountKeepsTheKeyAndDeleteTakesTheRowTheUserSees) {
    client(1001, QStringLiteral("Smith"), QStringLiteral("John"));
    payment(1001, 1001, QStringLiteral("2026-02-01"), 5);
    payment(1002, 1001, QStringLiteral("2026-03-01"), 7.1234);
    Receipts& w = open(1001, QStringLiteral("Smith, John "));
    GridDriver d(w.PaymentList);
    d.focusIn();
    ASSERT_TRUE(d.edit(1, R::colAmount, QStringLiteral("5.5")));
    d.down();
    EXPECT_EQ(stored(QStringLiteral("SELECT Amount FROM tb_Receive WHERE TransNum = 1001")), "5.5");
    EXPECT_EQ(payments(), 2);
    EXPECT_EQ(cell(w, 1, R::colKey), "1001");
    EXPECT_EQ(cell(w, 2, R::colStatus), ">");

    ASSERT_TRUE(d.edit(2, R::colNotes, QStringLiteral("n")));
    // Reached by keys (no click): Delete still names and removes this row.
    d.up();
    EXPECT_EQ(stored(QStringLiteral("SELECT Amount FROM tb_Receive WHERE TransNum = 1002")), "7.1234")
        << "a stored amount saved for another edit keeps its decimals";
    d.down();
    ASSERT_EQ(w.PaymentList.Row(), 2);
    boxes.expect(vb::vbNo);
    testsupport::click(w.btnDelete);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].prompt, "Delete Payment by Smith, John in the amount of $7.12?");
    EXPECT_EQ(boxes.shown()[0].buttons, 292);
    EXPECT_EQ(boxes.shown()[0].title, "Delete payment?");
    EXPECT_EQ(payments(), 2);

    boxes.expect(vb::vbYes);
    w.btnDelete_Click();
    EXPECT_EQ(folder.query(QStringLiteral("SELECT TransNum FROM tb_Receive")), (std::vector<QStringList>{{"1001"}}));
    EXPECT_EQ(w.PaymentList.Rows(), 3);
    EXPECT_EQ(w.SelectedPayNum, 0);

    // The blank row and a completed row still waiting for its key have
    // nothing stored to delete, and ask nothing.
    boxes.clear();
    w.PaymentList.setRowColSilently(w.PaymentList.Rows() - 1, R::colDate);
    w.btnDelete_Click();
    EXPECT_TRUE(boxes.shown().empty());
    w.PaymentList.setTextMatrix(1, R::colKey, QStringLiteral("0"));
    w.PaymentList.setRowColSilently(1, R::colDate);
    w.btnDelete_Click();
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(payments(), 1);
}

TEST_F(ReceiptsTest, FailedDeleteLeavesThePaymentListed) {
    client(1001, QStringLiteral("Smith"), QStringLiteral("John"));
    payment(1001, 1001, QStringLiteral("2026-02-01"), 5);
    Receipts& w = open(1001, QStringLiteral("Smith, John"));
    folder.exec(QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON tb_Receive BEGIN SELECT RAISE(ABORT, 'locked'); END"));
    w.PaymentList.setRowColSilently(1, R::colDate);
    boxes.expect(vb::vbYes);
    boxes.expect(vb::vbOK);
    w.btnDelete_Click();
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_TRUE(boxes.lastPrompt().startsWith("Invoice.DeletePayment -")) << boxes.lastPrompt().toStdString();
    EXPECT_EQ(payments(), 1);
    ASSERT_EQ(w.PaymentList.Rows(), 3) << "the reload still lists it";
    EXPECT_EQ(cell(w, 1, R::colKey), "1001");
    EXPECT_FALSE(w.DeletePending);
    EXPECT_EQ(w.SelectedPayNum, 0);
}

TEST_F(ReceiptsTest, GoForSelectedClientTakesTheClientOfTheCurrentRow) {
    client(1001, QStringLiteral("Smith"), QStringLiteral("John"), QStringLiteral("Visa"), QStringLiteral("4111"));
    client(1002, QStringLiteral("Young"), QStringLiteral("Amy"), QStringLiteral("MC"), QStringLiteral("5500"));
    payTypes({QStringLiteral("Cash")});
    payment(1001, 1001, QStringLiteral("2026-02-01"), 5);
    payment(1002, 1002, QStringLiteral("2026-03-01"), 7);
    payment(1003, 1002, QStringLiteral("2026-04-01"), 9);
    Receipts& w = open(-1);
    w.CmbReceipt.Pick(1);
    w.btnGo_Click();
    ASSERT_EQ(w.PaymentList.Rows(), 5);

    w.CmbReceipt.Pick(0);
    w.PaymentList.setRowColSilently(2, R::colDate);
    w.btnGo_Click();
    EXPECT_EQ(Globals::CurrentCustNum, 1002);
    ASSERT_EQ(w.PaymentList.Rows(), 4);
    EXPECT_EQ(cell(w, 1, R::colKey), "1002");
    EXPECT_EQ(cell(w, 2, R::colKey), "1003");
    EXPECT_EQ(w.PaymentList.ColComboList(R::colType), "#1;MC #5500|#3;Cash") << "that client's card";
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(ReceiptsTest, PrintWantsARowWithADateAndTakesTheRowsClientAndDate) {
    client(1001, QStringLiteral("Smith"), QStringLiteral("John"));
    client(1002, QStringLiteral("Young"), QStringLiteral("Amy"));
    payment(1001, 1002, QStringLiteral("2026-02-01"), 5);
    Receipts& w = open(-1);
    boxes.expect(vb::vbOK);
    w.btnPrint_Click();   // on the blank row
    EXPECT_EQ(boxes.lastPrompt(), "Select payment with valid date for printing receipt.");
    EXPECT_EQ(boxes.shown().back().buttons, 0);
    EXPECT_EQ(boxes.shown().back().title, "Vantrels");

    GridDriver d(w.PaymentList);
    d.moveTo(1, R::colNotes);
    boxes.clear();
    w.btnPrint_Click();
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(Globals::CurrentCustNum, 1002);
    EXPECT_EQ(Globals::CurrentCustName, "Young, Amy");
    EXPECT_EQ(Globals::CurrentPayDate, vb::Date::fromYmd(2026, 2, 1));
}

TEST_F(ReceiptsTest, BadAmountStopsTheSaveAndLosesNothing) {
    client(1001, QStringLiteral("Smith"), QStringLiteral("John"));
    Receipts& w = open(1001, QStringLiteral("Smith, John"));
    GridDriver d(w.PaymentList);
    d.focusIn();
    ASSERT_TRUE(d.edit(1, R::colDate, QStringLiteral("3/1/2026")));
    ASSERT_TRUE(d.edit(1, R::colType, QStringLiteral("Cash")));
    ASSERT_TRUE(d.edit(1, R::colAmount, QStringLiteral("abc")));
    EXPECT_EQ(cell(w, 1, R::colAmount), "abc") << "not an amount: left as typed";
    EXPECT_EQ(cell(w, 1, R::colKey), "0");

    boxes.expect(vb::vbOK);
    d.down();
    EXPECT_EQ(boxes.lastPrompt(), "Receipts.SaveRow -13 Type mismatch.  If error persists contact Vantrels author.");
    EXPECT_EQ(payments(), 0);
    EXPECT_EQ(w.PaymentList.Row(), 1) << "back on the row that failed";
    EXPECT_EQ(cell(w, 1, R::colAmount), "abc");
    EXPECT_EQ(cell(w, 1, R::colKey), "0");
    EXPECT_TRUE(Globals::RowChanged);

    // Mended, the same row saves on the next leave.
    ASSERT_TRUE(d.edit(1, R::colAmount, QStringLiteral("4")));
    d.down();
    EXPECT_EQ(payments(), 1);
    EXPECT_EQ(cell(w, 1, R::colKey), "1001");
}

TEST_F(ReceiptsTest, FailedWriteKeepsTheStoredPaymentAndIsRetried) {
    client(1001, QStringLiteral("Smith"), QStringLiteral("John"));
    payment(1001, 1001, QStringLiteral("2026-02-01"), 5);
    payment(1002, 1001, QStringLiteral("2026-03-01"), 7);
    Receipts& w = open(1001, QStringLiteral("Smith, John"));
    folder.exec(QStringLiteral("CREATE TRIGGER full BEFORE INSERT ON tb_Receive BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
    GridDriver d(w.PaymentList);
    d.focusIn();
    ASSERT_TRUE(d.edit(1, R::colAmount, QStringLiteral("8")));
    boxes.expect(vb::vbOK);
    d.down();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(boxes.lastPrompt().startsWith("Invoice.SavePayment -")) << boxes.lastPrompt().toStdString();
    EXPECT_EQ(stored(QStringLiteral("SELECT Amount FROM tb_Receive WHERE TransNum = 1001")), "5")
        << "the stored payment survives a failed rewrite";
    EXPECT_EQ(payments(), 2);
    EXPECT_EQ(w.PaymentList.Row(), 1) << "back on the row that failed";
    EXPECT_EQ(cell(w, 1, R::colKey), "1001");
    EXPECT_EQ(cell(w, 1, R::colAmount), "$8.00");
    EXPECT_EQ(cell(w, 2, R::colStatus), "");
    EXPECT_TRUE(Globals::RowChanged);

    folder.exec(QStringLiteral("DROP TRIGGER full"));
    d.down();
    EXPECT_EQ(stored(QStringLiteral("SELECT Amount FROM tb_Receive WHERE TransNum = 1001")), "8");
    EXPECT_EQ(payments(), 2);
    EXPECT_EQ(w.PaymentList.Row(), 2);
    EXPECT_FALSE(Globals::RowChanged);
}

TEST_F(ReceiptsTest, RowWithoutAnAmountIsNotSavedAndKeepsItsMarker) {
    client(1001, QStringLiteral("Smith"), QStringLiteral("John"));
    Receipts& w = open(1001, QStringLiteral("Smith, John"));
    GridDriver d(w.PaymentList);
    d.focusIn();
    ASSERT_TRUE(d.edit(1, R::colDate, QStringLiteral("3/1/2026")));
    d.focusOut();
    EXPECT_EQ(payments(), 0);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(cell(w, 1, R::colStatus), "*");
    EXPECT_FALSE(Globals::RowChanged);
}

TEST_F(ReceiptsTest, NoPaymentForAClientDeletedMeanwhile) {
    client(1001, QStringLiteral("Smith"), QStringLiteral("John"));
    client(1002, QStringLiteral("Young"), QStringLiteral("Amy"));
    // The listed client deleted behind the register's back, whoever is
    // current by then: the new row still names it, and it has no row to owe
    // the payment.
    for (const int current : {-1, 1002}) {
        const int custNum = 1001;
        if (current != -1) client(1001, QStringLiteral("Smith"), QStringLiteral("John"));
        Receipts& w = open(1001, QStringLiteral("Smith, John"));
        Globals::CurrentCustNum = current;
        folder.exec(QStringLiteral("DELETE FROM tb_Client WHERE CustNum = 1001"));
        GridDriver d(w.PaymentList);
        d.focusIn();
        ASSERT_TRUE(d.edit(1, R::colDate, QStringLiteral("3/1/2026")));
        ASSERT_TRUE(d.edit(1, R::colType, QStringLiteral("Cash")));
        ASSERT_TRUE(d.edit(1, R::colAmount, QStringLiteral("4")));
        EXPECT_EQ(cell(w, 1, R::colCustNum), QString::number(custNum));
        boxes.expect(vb::vbOK);
        d.down();
        EXPECT_EQ(boxes.lastPrompt(), "Select or enter a client first") << current;
        EXPECT_EQ(payments(), 0) << current;
        EXPECT_EQ(cell(w, 1, R::colKey), "0");
        EXPECT_TRUE(Globals::RowChanged);
        Globals::RowChanged = false;
        boxes.allowUnexpected(true);
        Form::unloadAll();
        boxes.allowUnexpected(false);
    }
}

TEST_F(ReceiptsTest, ClosingSavesThePendingRowAndClosesTheClientPicker) {
    client(1001, QStringLiteral("Smith"), QStringLiteral("John"));
    payment(1001, 1001, QStringLiteral("2026-02-01"), 5);
    Receipts& w = open(1001, QStringLiteral("Smith, John"));
    GridDriver d(w.PaymentList);
    d.focusIn();
    ASSERT_TRUE(d.edit(1, R::colAmount, QStringLiteral("8")));
    d.moveTo(1, R::colClient);
    d.cellButton();
    ASSERT_TRUE(Form::isLoaded<CustSearch>());
    EXPECT_EQ(Form::get<CustSearch>().Owner(), &w);
    EXPECT_EQ(stored(QStringLiteral("SELECT Amount FROM tb_Receive")), "8")
        << "the picker took the focus: the pending row was saved first";

    d.focusIn();
    ASSERT_TRUE(d.edit(1, R::colAmount, QStringLiteral("9")));
    ASSERT_TRUE(Globals::RowChanged);
    Form::Unload(w);
    testsupport::pump();
    EXPECT_FALSE(Form::isLoaded<CustSearch>());
    EXPECT_FALSE(Form::isLoaded<Receipts>());
    EXPECT_EQ(stored(QStringLiteral("SELECT Amount FROM tb_Receive")), "9");
    EXPECT_FALSE(Globals::RowChanged);
}

TEST_F(ReceiptsTest, AFlagLeftByAnotherGridSavesNothingHere) {
    client(1001, QStringLiteral("Smith"), QStringLiteral("John"));
    payment(1001, 1001, QStringLiteral("2026-02-01"), 5);
    controls::FlexGrid other;
    int oldRow = 0, newRow = 0;
    controls::GridRowEditor otherRows(other, Globals::RowChanged, oldRow, newRow, {.formName = QStringLiteral("Other")});
    otherRows.MarkChanged();
    Receipts& w = open(1001);
    GridDriver d(w.PaymentList);
    d.focusIn();
    d.up();
    d.focusOut();
    Form::Unload(w);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(stored(QStringLiteral("SELECT count(*) FROM tb_Receive")), "1");
    EXPECT_TRUE(Globals::RowChanged) << "the other grid's edit is still its own";
}

TEST_F(ReceiptsTest, GeometryRoundTripAndNoneWrittenWhenMinimised) {
    client(1001, QStringLiteral("Smith"), QStringLiteral("John"));
    Receipts& w = open(1001);
    // No place stored: cascaded from the main window, wide enough for its columns.
    EXPECT_NEAR(w.Left(), Form::get<Customer>().Left() + 900, 15);
    EXPECT_NEAR(w.Width(), 9500, 15);
    EXPECT_NEAR(w.Height(), 6000, 15);
    EXPECT_NEAR(w.PaymentList.Left(), 720, 15);
    EXPECT_NEAR(w.PaymentList.Width(), w.Width() - 900, 15);
    EXPECT_NEAR(w.PaymentList.Height(), w.Height() - 1100, 15);
    EXPECT_NEAR(w.Command2.Left(), w.Width() - w.Command2.Width() - 200, 15);
    EXPECT_NEAR(w.btnPrint.Left(), w.Command2.Left() - w.btnPrint.Width() - 20, 15);
    w.Move(1500, 1200, 9000, 7005);
    testsupport::pump();
    EXPECT_EQ(w.PaymentList.Width(), 9000 - 900);
    EXPECT_NEAR(w.PaymentList.Height(), 7005 - 1100, 15);
    Form::Unload(w);
    testsupport::pump();
    const QString ini = Globals::IniPath;
    EXPECT_EQ(Globals::ReadIniString("RECEIPTS", "LEFT", "", ini), "1500");
    EXPECT_EQ(Globals::ReadIniString("RECEIPTS", "WIDTH", "", ini), "9000");

    Receipts& again = open(1001);
    EXPECT_EQ(again.Left(), 1500);
    EXPECT_EQ(again.Top(), 1200);
    EXPECT_EQ(again.Width(), 9000);
    EXPECT_EQ(again.Height(), 7005);
    again.setWindowState(Form::vbMinimized);
    again.Move(0, 0);
    Form::Unload(again);
    EXPECT_EQ(Globals::ReadIniString("RECEIPTS", "LEFT", "", ini), "1500");
}

} // namespace
