// The order-date window and its twin BackOrderFill: the lines they list, Set
// All, typed dates, Save, the close question, a date that is not one, and
// reopening after a save.
#include <map>
#include <memory>
#include <gtest/gtest.h>
#include "books/BackOrderFill.h"
#include "books/BackOrderSet.h"
#include "data/Globals.h"
#include "data/Invoice.h"
#include "forms/Form.h"
#include "support/FormDriver.h"
#include "support/GridDriver.h"
#include "support/WindowFixture.h"
#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"

using forms::Form;
using testsupport::GridDriver;
using B = BackOrderList;

namespace {

const QString kQuestion = QStringLiteral("Save Changes to BackOrder Items?");

class BackOrderTest : public testsupport::WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        testsupport::SharedOnDataFile(Globals::SharedInvoice);
    }
    // Two clients, three lines still to order, one already ordered, one not short.
    void threeToOrder() {
        folder.exec("insert into tb_Client (CustNum, Fname, Lname) values (1001, 'John', 'Smith'), (1002, '', 'Jones')");
        folder.exec("insert into tb_Invoice (InvoiceNum, CustNum, [Date], SalesRep) values "
                    "(5001, 1001, '2026-03-15 00:00:00', 'Pat'), (5002, 1002, '2026-04-01 00:00:00', '')");
        folder.exec("insert into tb_trans (TransNum, InvoiceNum, ItemNum, Qty, Amount, Notes, Backorder) values "
                    "(11, 5001, 7, 3, 30, 'Bracket', -3), (12, 5001, 8, 1, 5, 'Bolt', 0), "
                    "(13, 5002, 9, 1, 2, 'Nut', -1), (14, 5002, 7, 5, 50, 'Tab\there', -2), "
                    "(15, 5001, 9, 2, 4, 'Washer', -2)");
        folder.exec("update tb_trans set Ordered = '2026-05-01 00:00:00' where TransNum = 15");
    }
    QString ordered(int trans) const {
        // "" for a line not ordered.
        return folder.scalar(QStringLiteral("select ifnull(Ordered, '') from tb_trans where TransNum = %1").arg(trans));
    }
    int orderedCount() const { return folder.scalar("select count(*) from tb_trans where Ordered is not null").toInt(); }
    static QStringList row(const controls::FlexGrid& g, int r) {
        QStringList cells;
        for (int c = 0; c < g.Cols(); ++c) cells << g.TextMatrix(r, c);
        return cells;
    }
    // Grid row of each line number.
    static std::map<int, int> rowsByTrans(const controls::FlexGrid& g) {
        std::map<int, int> out;
        for (int r = 1; r < g.Rows(); ++r) out[g.TextMatrix(r, B::colTransNum).toInt()] = r;
        return out;
    }
    BackOrderSet& open() {
        BackOrderSet& w = Form::get<BackOrderSet>();
        w.Show();
        return w;
    }
};

TEST_F(BackOrderTest, ListsEveryLineShortAndNotOrderedWithItsInvoiceAndClient) {
    threeToOrder();
    // Whatever the menu left in the shared list, the window reads its own.
    Globals::rsBackOrders.reset();
    BackOrderSet& w = open();
    EXPECT_EQ(w.Caption(), "Set Order Date for Backordered Items");
    EXPECT_EQ(w.btnSetAll.Caption(), "&Set All Ordered Today!");
    EXPECT_TRUE(w.Visible());
    EXPECT_EQ(w.Owner(), nullptr);
    const controls::FlexGrid& g = w.InventoryList;
    EXPECT_EQ(g.FormatString(), "Line #|Invoice Date|Inventory#|Invoice#|Description|Qty|Client|Order Date");
    const int widths[] = {1000, 1000, 800, 800, 1800, 500, 1000, 1000};
    for (int c = 0; c < 8; ++c) EXPECT_EQ(g.ColWidth(c), widths[c]) << "column " << c;
    ASSERT_EQ(g.Rows(), 4);
    auto at = rowsByTrans(g);
    ASSERT_EQ(at.size(), 3u);
    EXPECT_EQ(row(g, at[11]), QStringList({"11", "3/15/2026", "7", "5001", "Bracket", "3", "John Smith", ""}));
    EXPECT_EQ(row(g, at[13]), QStringList({"13", "4/1/2026", "9", "5002", "Nut", "1", " Jones", ""}));
    // A tab in a description stays in its cell.
    EXPECT_EQ(row(g, at[14]), QStringList({"14", "4/1/2026", "7", "5002", "Tab\there", "2", " Jones", ""}));
    ASSERT_TRUE(Globals::rsBackOrders);
    EXPECT_EQ(Globals::rsBackOrders->RecordCount(), 3);
    EXPECT_FALSE(w.BackOrderChanged);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(BackOrderTest, SetAllThenSaveStoresTodayForEveryLineAndTheyLeaveTheList) {
    threeToOrder();
    BackOrderSet& w = open();
    testsupport::click(w.btnSetAll);
    EXPECT_TRUE(w.BackOrderChanged);
    for (int r = 1; r < 4; ++r) EXPECT_EQ(w.InventoryList.TextMatrix(r, B::colOrderDate), "12/9/2026");
    EXPECT_EQ(orderedCount(), 1) << "Set All alone stores nothing";

    testsupport::click(w.btnSave);
    EXPECT_FALSE(w.BackOrderChanged);
    for (int t : {11, 13, 14}) EXPECT_TRUE(ordered(t).startsWith("2026-12-09")) << t << ": " << ordered(t).toStdString();
    EXPECT_TRUE(ordered(15).startsWith("2026-05-01"));
    EXPECT_TRUE(ordered(12).isEmpty());
    EXPECT_EQ(w.InventoryList.Rows(), 4) << "saved rows stay in view";

    // Clean after the save: the close button closes without asking.
    testsupport::click(w.Command2);
    EXPECT_FALSE(Form::isLoaded<BackOrderSet>());
    testsupport::pump();
    EXPECT_EQ(open().InventoryList.Rows(), 1);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(BackOrderTest, WithNoLineToOrderOnlyTheHeaderShowsAndNothingHappens) {
    BackOrderSet& w = open();
    EXPECT_EQ(w.InventoryList.Rows(), 1);
    EXPECT_EQ(w.InventoryList.TextMatrix(0, B::colOrderDate), "Order Date");
    testsupport::click(w.btnSetAll);
    EXPECT_FALSE(w.BackOrderChanged);
    testsupport::click(w.btnSave);
    GridDriver(w.InventoryList).click(0, 3);
    testsupport::click(w.Command2);
    EXPECT_FALSE(Form::isLoaded<BackOrderSet>());
    EXPECT_TRUE(boxes.shown().empty());
}

// Cancel keeps the window and its dates; No closes storing nothing; Yes
// stores, then closes. The close box asks the same question.
TEST_F(BackOrderTest, ClosingWithDatesNotSavedAsks) {
    struct Case {
        int answer;
        bool byCloseBox;
        bool open;
        int stored;
    };
    const Case cases[] = {
        {vb::vbCancel, false, true, 1}, {vb::vbNo, false, false, 1}, {vb::vbYes, false, false, 4},
        {vb::vbCancel, true, true, 1},  {vb::vbYes, true, false, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "answer " << c.answer << (c.byCloseBox ? " by close box" : " by button"));
        testsupport::ResetWindowsAndState();
        folder.exec("delete from tb_trans");
        folder.exec("delete from tb_Invoice");
        folder.exec("delete from tb_Client");
        threeToOrder();
        testsupport::SharedOnDataFile(Globals::SharedInvoice);

        BackOrderSet& w = open();
        testsupport::click(w.btnSetAll);
        boxes.expect(c.answer, kQuestion);
        if (c.byCloseBox) w.close();
        else testsupport::click(w.Command2);
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].title, "Save Order Dates?");
        EXPECT_EQ(boxes.shown()[0].buttons, vb::vbYesNoCancel + vb::vbQuestion + vb::vbDefaultButton2);
        EXPECT_EQ(Form::isLoaded<BackOrderSet>(), c.open);
        EXPECT_EQ(orderedCount(), c.stored);
        if (c.open) {
            EXPECT_TRUE(w.BackOrderChanged);
            EXPECT_EQ(w.InventoryList.TextMatrix(1, B::colOrderDate), "12/9/2026");
        }
        boxes.clear();
    }
}

TEST_F(BackOrderTest, TypedDatesAreStoredForTheirLinesOnlyAndOnlyTheOrderDateIsEditable) {
    threeToOrder();
    BackOrderSet& w = open();
    GridDriver g(w.InventoryList);
    auto at = rowsByTrans(w.InventoryList);

    // A click anywhere on a row puts the cursor in its Order Date.
    g.click(at[13], 2);
    EXPECT_EQ(w.InventoryList.Row(), at[13]);
    EXPECT_EQ(w.InventoryList.Col(), B::colOrderDate);
    EXPECT_FALSE(g.edit(at[13], B::colTransNum, "11")) << "the key column is not the user's to change";
    EXPECT_FALSE(g.edit(at[13], B::colQty, "9"));
    EXPECT_EQ(w.InventoryList.TextMatrix(at[13], B::colTransNum), "13");
    EXPECT_FALSE(w.BackOrderChanged);

    ASSERT_TRUE(g.edit(at[13], B::colOrderDate, "11/30/26"));
    EXPECT_TRUE(w.BackOrderChanged);
    testsupport::click(w.btnSave);
    EXPECT_FALSE(w.BackOrderChanged);
    EXPECT_TRUE(ordered(13).startsWith("2026-11-30"));
    EXPECT_TRUE(ordered(11).isEmpty()) << "a line left without a date is not ordered yet";
    EXPECT_TRUE(ordered(14).isEmpty());
    EXPECT_TRUE(boxes.shown().empty());
}

// Every date is read before any is stored, so a cell that is not a date
// stores nothing and keeps the edits pending.
TEST_F(BackOrderTest, AnOrderDateThatIsNoDateRefusesTheWholeSave) {
    threeToOrder();
    BackOrderSet& w = open();
    GridDriver g(w.InventoryList);
    auto at = rowsByTrans(w.InventoryList);
    ASSERT_TRUE(g.edit(at[11], B::colOrderDate, "12/1/2026"));
    ASSERT_TRUE(g.edit(at[14], B::colOrderDate, "soon"));

    boxes.expect(vb::vbOK, vb::ErrorReportText("BackOrderSet.SaveRows -", 13, vb::ErrorDescription(13)));
    testsupport::click(w.btnSave);
    EXPECT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(orderedCount(), 1);
    EXPECT_TRUE(w.BackOrderChanged);

    // Leaving now still asks; a Yes whose save fails keeps the window.
    boxes.expect(vb::vbYes, kQuestion);
    boxes.expect(vb::vbOK, vb::ErrorReportText("BackOrderSet.SaveRows -", 13, vb::ErrorDescription(13)));
    testsupport::click(w.Command2);
    EXPECT_TRUE(Form::isLoaded<BackOrderSet>());
    EXPECT_EQ(orderedCount(), 1);
}

TEST_F(BackOrderTest, ShowingTheOpenWindowAgainDoesNotReloadIt) {
    threeToOrder();
    BackOrderSet& w = open();
    testsupport::click(w.btnSetAll);
    testsupport::click(w.btnSave);
    BackOrderSet& again = open();
    EXPECT_EQ(&again, &w);
    EXPECT_EQ(again.InventoryList.Rows(), 4);
    EXPECT_EQ(again.InventoryList.TextMatrix(1, B::colOrderDate), "12/9/2026");
}

// The twin lists the same lines; its print button does nothing, and a Yes
// to its question stores what was typed rather than dropping it.
TEST_F(BackOrderTest, BackOrderFillListsTheSameLinesAndAsksBeforeClosing) {
    threeToOrder();
    BackOrderFill& f = Form::get<BackOrderFill>();
    f.Show();
    EXPECT_EQ(f.Caption(), "Back Orders that can be filled");
    EXPECT_EQ(f.btnPrint.Caption(), "&Print and Clear Selected Backorder");
    EXPECT_EQ(f.InventoryList.Rows(), 4);
    EXPECT_EQ(f.InventoryList.FormatString(), Form::get<BackOrderSet>().InventoryList.FormatString());
    Form::unload<BackOrderSet>();

    testsupport::click(f.btnPrint);
    EXPECT_TRUE(Form::isLoaded<BackOrderFill>());
    GridDriver g(f.InventoryList);
    auto at = rowsByTrans(f.InventoryList);
    ASSERT_TRUE(g.edit(at[11], B::colOrderDate, "12/2/2026"));

    boxes.expect(vb::vbCancel, kQuestion);
    testsupport::click(f.Command2);
    EXPECT_TRUE(Form::isLoaded<BackOrderFill>());
    boxes.expect(vb::vbYes, kQuestion);
    testsupport::click(f.Command2);
    EXPECT_FALSE(Form::isLoaded<BackOrderFill>());
    EXPECT_TRUE(ordered(11).startsWith("2026-12-02"));
}

} // namespace
