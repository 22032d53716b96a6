// The inventory item editor: opening on a category, typing a new item into
// the blank row, edits saved when the row is left, conversions of the typed
// cells, failed edits and saves that keep the row pending, switching the
// category, deleting an item, and a data file with no category yet.
#include <gtest/gtest.h>
#include <QStringList>
#include "books/InventoryCats.h"
#include "books/frmInventory.h"
#include "customers/StatusWindow.h"
#include "data/Globals.h"
#include "data/Inventory.h"
#include "forms/Form.h"
#include "support/FormDriver.h"
#include "support/GridDriver.h"
#include "support/WindowFixture.h"
#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"

using forms::Form;
using testsupport::GridDriver;
using testsupport::ModalAnswer;
using testsupport::WindowFixture;
using W = frmInventory;

namespace {

class FrmInventoryTest : public WindowFixture {
protected:
    void category(int num, const QString& desc) {
        folder.exec(QStringLiteral("INSERT INTO tb_InvCategories VALUES (%1,'%2')").arg(num).arg(desc));
    }
    void item(int num, int cat, const QString& desc, double charge = 1, int par = 0, int stock = 0,
              const QString& warranty = QStringLiteral("0")) {
        folder.exec(QStringLiteral("INSERT INTO tb_Inventory VALUES (%1,%2,'%3',%4,%5,%6,'%7')")
                        .arg(num)
                        .arg(cat)
                        .arg(desc)
                        .arg(charge)
                        .arg(par)
                        .arg(stock)
                        .arg(warranty));
    }
    // As the main window's inventory button opens it.
    frmInventory& open() {
        Globals::CurrentCatNum = 1;
        frmInventory& w = Form::get<frmInventory>();
        w.Show();
        testsupport::pump();
        return w;
    }
    static QString cell(const frmInventory& w, int r, int c) { return w.InventoryList.TextMatrix(r, c); }
    static QStringList markers(const frmInventory& w) {
        QStringList out;
        for (int r = 1; r < w.InventoryList.Rows(); ++r) out << cell(w, r, W::colStatus);
        return out;
    }
    QStringList stored(int itemNum) const {
        const auto rows = folder.query(
            QStringLiteral("SELECT CatNum, Description, charge, par, instock, warranty FROM tb_Inventory WHERE ItemNum = %1")
                .arg(itemNum));
        return rows.empty() ? QStringList() : rows.front();
    }
    // Types the four cells that make a row an item.
    static void typeItem(GridDriver& d, int r, const QString& desc, const QString& charge, const QString& par,
                         const QString& stock) {
        ASSERT_TRUE(d.edit(r, W::colDesc, desc));
        ASSERT_TRUE(d.edit(r, W::colCharge, charge));
        ASSERT_TRUE(d.edit(r, W::colPar, par));
        ASSERT_TRUE(d.edit(r, W::colInStock, stock));
    }
};

TEST_F(FrmInventoryTest, EmptyCategoryOpensOnOneBlankRowAndListsTheCategories) {
    category(1, QStringLiteral("General"));
    category(42, QStringLiteral("Tools"));
    category(1234, QStringLiteral("Parts"));
    item(1001, 42, QStringLiteral("Hammer"));

    frmInventory& w = open();
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(Form::isLoaded<GettingInventory>());
    EXPECT_EQ(w.Caption(), "Edit/Add Inventory");
    EXPECT_EQ(w.Label1.Caption(), "Category:");
    EXPECT_EQ(w.btnCategories.Caption(), "&Categories");
    EXPECT_EQ(w.btnCategories.ToolTipText(), "Inventory Categories");
    EXPECT_EQ(w.btnNewItem.ToolTipText(), "Enter new item into selected inventory category ");
    EXPECT_EQ(w.btnDelete.ToolTipText(), "Delete selected inventory item");
    EXPECT_EQ(w.Command2.ToolTipText(), "Exit Inventory");

    const controls::FlexGrid& g = w.InventoryList;
    EXPECT_EQ(g.FormatString(), "^|Item#|Item Description|>Charge|>Par|>In Stock|Warranty");
    const int widths[] = {300, 0, 2500, 1000, 800, 800};
    for (int c = 0; c < 6; ++c) EXPECT_EQ(g.ColWidth(c), widths[c]) << "column " << c;
    EXPECT_EQ(g.ColDataType(W::colCharge), controls::flexDTCurrency);
    ASSERT_EQ(g.Rows(), 2);
    EXPECT_EQ(markers(w), QStringList{"*"});
    EXPECT_EQ(g.Row(), 1);

    ASSERT_EQ(w.cmbCategory.ListCount(), 3);
    EXPECT_EQ(w.cmbCategory.List(0), "001 General");
    EXPECT_EQ(w.cmbCategory.List(1), "042 Tools");
    EXPECT_EQ(w.cmbCategory.List(2), "1234 Parts");
    EXPECT_EQ(w.cmbCategory.Text(), "001 General");
}

TEST_F(FrmInventoryTest, ItemTypedIntoTheBlankRowIsSavedWhenTheRowIsLeft) {
    category(1, QStringLiteral("General"));
    frmInventory& w = open();
    GridDriver d(w.InventoryList);
    d.focusIn();
    EXPECT_EQ(w.InventoryList.Col(), W::colDesc);

    ASSERT_TRUE(d.edit(1, W::colDesc, QStringLiteral("Widget")));
    ASSERT_TRUE(d.edit(1, W::colCharge, QStringLiteral("12.5")));
    ASSERT_TRUE(d.edit(1, W::colPar, QStringLiteral("3")));
    EXPECT_EQ(cell(w, 1, W::colCharge), "12.5") << "not yet a row: the charge stays as typed";
    EXPECT_FALSE(Globals::RowChanged);
    EXPECT_EQ(w.InventoryList.Rows(), 2);

    ASSERT_TRUE(d.edit(1, W::colInStock, QStringLiteral("7")));
    EXPECT_EQ(cell(w, 1, W::colCharge), "$12.50");
    EXPECT_EQ(cell(w, 1, W::colKey), "0");
    EXPECT_TRUE(Globals::RowChanged);
    ASSERT_EQ(w.InventoryList.Rows(), 3) << "a new blank entry row";
    EXPECT_EQ(markers(w), (QStringList{"?", ""}));
    EXPECT_TRUE(stored(1001).isEmpty()) << "nothing written before the row is left";

    d.down();
    EXPECT_EQ(w.InventoryList.Row(), 2);
    EXPECT_FALSE(Globals::RowChanged);
    EXPECT_EQ(cell(w, 1, W::colKey), "1001");
    EXPECT_EQ(cell(w, 1, W::colWarranty), "") << "an empty warranty stays empty";
    EXPECT_EQ(cell(w, 1, W::colCharge), "$12.50");
    EXPECT_EQ(markers(w), (QStringList{"", "*"}));
    EXPECT_EQ(stored(1001), (QStringList{"1", "Widget", "12.5", "3", "7", ""}));
}

TEST_F(FrmInventoryTest, SavedItemsListInOrderWithTheBlankRowSelectedNearTheBottom) {
    category(1, QStringLiteral("General"));
    for (int i = 0; i < 6; ++i) item(1001 + i, 1, QStringLiteral("Item %1").arg(i), 2.5 + i, 1, 10);
    item(2001, 2, QStringLiteral("Elsewhere"));
    frmInventory& w = open();
    const controls::FlexGrid& g = w.InventoryList;
    ASSERT_EQ(g.Rows(), 8);
    EXPECT_EQ(cell(w, 1, W::colKey), "1001");
    EXPECT_EQ(cell(w, 1, W::colDesc), "Item 0");
    EXPECT_EQ(cell(w, 1, W::colCharge), "$2.50");
    EXPECT_EQ(cell(w, 6, W::colKey), "1006");
    EXPECT_EQ(cell(w, 6, W::colInStock), "10");
    EXPECT_TRUE(cell(w, 7, W::colKey).isEmpty());
    EXPECT_EQ(g.Row(), 7);
    EXPECT_EQ(g.TopRow(), 3);
    EXPECT_EQ(markers(w).last(), "*");
}

TEST_F(FrmInventoryTest, EditOfASavedRowIsResavedUnderItsNumberWhicheverWayItIsLeft) {
    category(1, QStringLiteral("General"));
    item(1001, 1, QStringLiteral("First"), 1, 0, 0);
    item(1002, 1, QStringLiteral("Second"), 2, 5, 9, QStringLiteral("1 year"));
    frmInventory& w = open();
    GridDriver d(w.InventoryList);
    d.click(1, W::colDesc);
    // Straight to another row's cell by mouse, and away to a button: the
    // edited row is the one saved, not the row left before it.
    d.click(2, W::colPar);
    ASSERT_TRUE(d.edit(QStringLiteral("2.5")));
    EXPECT_EQ(markers(w)[1], "?");
    ASSERT_TRUE(d.edit(2, W::colInStock, QStringLiteral("-3")));
    testsupport::click(w.btnNewItem);
    EXPECT_FALSE(Globals::RowChanged);
    EXPECT_EQ(stored(1002), (QStringList{"1", "Second", "2", "2", "-3", "1 year"}))
        << "a par of 2.5 rounds to the even 2; stock below 0 is stored as typed";
    EXPECT_EQ(stored(1001), (QStringList{"1", "First", "1", "0", "0", "0"}));
    EXPECT_EQ(w.InventoryList.Row(), 3) << "New goes to the blank entry row";
}

// Stock moved elsewhere shows or is kept; only a typed count is written.
TEST_F(FrmInventoryTest, InStockFollowsStockMovesAndOnlyATypedCountIsSaved) {
    category(1, QStringLiteral("General"));
    item(1003, 1, QStringLiteral("Bolt"), 1, 5, 23);
    frmInventory& w = open();
    auto sale = testsupport::OpenOnDataFile<Inventory>();
    EXPECT_EQ(sale->QtyInStock(1003, 0, 1), 22);   // an invoice picks one
    EXPECT_EQ(cell(w, 1, W::colInStock), "22");
    folder.exec("UPDATE tb_Inventory SET instock = 21");   // another copy sells one more
    GridDriver d(w.InventoryList);
    d.focusIn();
    ASSERT_TRUE(d.edit(1, W::colCharge, QStringLiteral("2")));
    d.moveTo(2, W::colDesc);
    EXPECT_EQ(stored(1003), (QStringList{"1", "Bolt", "2", "5", "21", "0"}));
    ASSERT_TRUE(d.edit(1, W::colInStock, QStringLiteral("30")));   // the shelf counted
    EXPECT_EQ(sale->QtyInStock(1003, 0, 1), 20);
    EXPECT_EQ(cell(w, 1, W::colInStock), "30") << "a typed count is not overwritten";
    d.moveTo(2, W::colDesc);
    EXPECT_EQ(stored(1003)[4], "30");
}

TEST_F(FrmInventoryTest, ChargeThatIsNotMoneyIsReportedAndTheRowIsNotMarkedChanged) {
    category(1, QStringLiteral("General"));
    frmInventory& w = open();
    GridDriver d(w.InventoryList);
    ASSERT_TRUE(d.edit(1, W::colDesc, QStringLiteral("Widget")));
    ASSERT_TRUE(d.edit(1, W::colCharge, QStringLiteral("cheap")));
    ASSERT_TRUE(d.edit(1, W::colPar, QStringLiteral("1")));
    boxes.expect(vb::vbOK, vb::ErrorReportText(QStringLiteral("frmInventory.InventoryList_AfterEdit -"), 13,
                                               QStringLiteral("Type mismatch")));
    ASSERT_TRUE(d.edit(1, W::colInStock, QStringLiteral("1")));
    EXPECT_FALSE(Globals::RowChanged);
    EXPECT_TRUE(cell(w, 1, W::colKey).isEmpty());
    EXPECT_EQ(w.InventoryList.Rows(), 2);
}

TEST_F(FrmInventoryTest, SaveThatFailsWritesNothingAndIsTriedAgainOnTheNextLeave) {
    category(1, QStringLiteral("General"));
    item(1001, 1, QStringLiteral("First"), 4, 1, 1);
    frmInventory& w = open();
    GridDriver d(w.InventoryList);
    d.focusIn();
    ASSERT_TRUE(d.edit(1, W::colPar, QStringLiteral("lots")));
    ASSERT_TRUE(d.edit(1, W::colDesc, QStringLiteral("Renamed")));
    ASSERT_TRUE(Globals::RowChanged);

    boxes.expect(vb::vbOK, vb::ErrorReportText(QStringLiteral("frmInventory.SaveRow -"), 13, QStringLiteral("Type mismatch")));
    d.moveTo(2, W::colDesc);
    EXPECT_EQ(stored(1001), (QStringList{"1", "First", "4", "1", "1", "0"}));
    EXPECT_TRUE(Globals::RowChanged);
    EXPECT_EQ(w.InventoryList.Row(), 1) << "the cursor stays on the row that failed";

    ASSERT_TRUE(d.edit(1, W::colPar, QStringLiteral("6")));
    d.moveTo(2, W::colDesc);
    EXPECT_FALSE(Globals::RowChanged);
    EXPECT_EQ(stored(1001), (QStringList{"1", "Renamed", "4", "6", "1", "0"}));
}

// A charge the data file would give back changed (it keeps money as a
// Double) is refused by name; nothing is stored and the row stays pending.
TEST_F(FrmInventoryTest, ChargeTooLargeToStoreIsRefusedAndNothingIsWritten) {
    category(1, QStringLiteral("General"));
    item(1001, 1, QStringLiteral("First"), 4, 1, 1);
    frmInventory& w = open();
    GridDriver d(w.InventoryList);
    d.focusIn();
    ASSERT_TRUE(d.edit(1, W::colCharge, QStringLiteral("922337203685477.5807")));
    ASSERT_TRUE(Globals::RowChanged);
    boxes.expect(vb::vbOK, QStringLiteral("The amount is too large to be stored."));
    d.moveTo(2, W::colDesc);
    EXPECT_EQ(stored(1001), (QStringList{"1", "First", "4", "1", "1", "0"}));
    EXPECT_TRUE(Globals::RowChanged);
    ASSERT_TRUE(d.edit(1, W::colCharge, QStringLiteral("112589990684.26")));
    d.moveTo(2, W::colDesc);
    EXPECT_EQ(stored(1001).value(2), QStringLiteral("112589990684.26"));
}

TEST_F(FrmInventoryTest, PickedCategoryIsListedAndTakesTheItemsTypedUnderIt) {
    category(1, QStringLiteral("General"));
    category(7, QStringLiteral("Books"));
    item(1001, 1, QStringLiteral("General thing"));
    item(1002, 7, QStringLiteral("Novel"), 9.99, 0, 4);
    item(1003, 7, QStringLiteral("Atlas"), 30, 0, 1);
    frmInventory& w = open();
    GridDriver d(w.InventoryList);

    // A row pending when the category changes is saved under its own category.
    ASSERT_TRUE(d.edit(1, W::colDesc, QStringLiteral("General renamed")));
    w.cmbCategory.Pick(1);
    EXPECT_EQ(stored(1001)[1], "General renamed");
    EXPECT_EQ(stored(1001)[0], "1");
    EXPECT_EQ(Globals::CurrentCatNum, 7);
    ASSERT_EQ(w.InventoryList.Rows(), 4);
    EXPECT_EQ(cell(w, 1, W::colDesc), "Novel");
    EXPECT_EQ(cell(w, 2, W::colDesc), "Atlas");
    EXPECT_EQ(markers(w).last(), "*");

    typeItem(d, 3, QStringLiteral("Dictionary"), QStringLiteral("15"), QStringLiteral("0"), QStringLiteral("2"));
    d.focusOut();
    EXPECT_EQ(stored(1004), (QStringList{"7", "Dictionary", "15", "0", "2", ""}));

    // Typing into the box's text changes nothing.
    testsupport::type(w.cmbCategory, QStringLiteral("001"));
    EXPECT_EQ(Globals::CurrentCatNum, 7);
    EXPECT_EQ(cell(w, 1, W::colDesc), "Novel");
}

TEST_F(FrmInventoryTest, MissingCategoryOneOpensOnTheFirstStoredCategory) {
    category(2, QStringLiteral("Labor"));
    category(3, QStringLiteral("Parts"));
    item(1001, 2, QStringLiteral("Hour"), 50, 0, 0);
    frmInventory& w = open();
    EXPECT_EQ(w.cmbCategory.Text(), "002 Labor");
    EXPECT_EQ(Globals::CurrentCatNum, 2);
    EXPECT_EQ(cell(w, 1, W::colDesc), "Hour");
    GridDriver d(w.InventoryList);
    typeItem(d, 2, QStringLiteral("Half hour"), QStringLiteral("25"), QStringLiteral("0"), QStringLiteral("0"));
    d.focusOut();
    EXPECT_EQ(stored(1002)[0], "2") << "saved under the category the box shows";
}

TEST_F(FrmInventoryTest, DeleteAsksForTheCurrentRowAndRemovesOnlyThatItem) {
    category(1, QStringLiteral("General"));
    item(1001, 1, QStringLiteral("Keep"));
    item(1002, 1, QStringLiteral("Drop"));
    folder.exec(QStringLiteral("INSERT INTO tb_trans (TransNum, InvoiceNum, ItemNum, Qty, Amount) VALUES (1, 1, 1002, 1, 1)"));
    frmInventory& w = open();
    GridDriver d(w.InventoryList);

    // The blank row and a new row waiting for its number ask nothing.
    d.click(3, W::colDesc);
    testsupport::click(w.btnDelete);
    typeItem(d, 3, QStringLiteral("New"), QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("0"));
    d.click(3, W::colDesc);
    EXPECT_EQ(cell(w, 3, W::colKey), "0");
    w.btnDelete_Click();
    EXPECT_TRUE(boxes.shown().empty());

    d.click(2, W::colDesc);
    boxes.expect(vb::vbNo, QStringLiteral("Delete Inventory Item Drop ?"));
    testsupport::click(w.btnDelete);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, "Delete Inventory Item ... Drop?");
    EXPECT_EQ(boxes.shown()[0].buttons, vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2);
    EXPECT_FALSE(stored(1002).isEmpty());

    // Moved by keys, not clicked: the row on screen is the one asked about.
    d.click(1, W::colDesc);
    d.down();
    boxes.expect(vb::vbYes, QStringLiteral("Delete Inventory Item Drop ?"));
    testsupport::click(w.btnDelete);
    EXPECT_TRUE(stored(1002).isEmpty());
    EXPECT_FALSE(stored(1001).isEmpty());
    EXPECT_EQ(folder.scalar(QStringLiteral("SELECT count(*) FROM tb_trans WHERE ItemNum = 1002")), "1");
    EXPECT_FALSE(Globals::DeleteItemPending);
    // The row typed before the delete was saved when the button took the focus.
    EXPECT_EQ(stored(1003)[1], "New");
    ASSERT_EQ(w.InventoryList.Rows(), 4);
    EXPECT_EQ(cell(w, 1, W::colDesc), "Keep");
    EXPECT_EQ(cell(w, 2, W::colDesc), "New");
    EXPECT_EQ(w.cmbCategory.Text(), "001 General");
}

TEST_F(FrmInventoryTest, CloseBoxSavesThePendingRow) {
    category(1, QStringLiteral("General"));
    item(1001, 1, QStringLiteral("First"), 1, 0, 0);
    frmInventory& w = open();
    GridDriver d(w.InventoryList);
    ASSERT_TRUE(d.edit(1, W::colDesc, QStringLiteral("Changed")));
    w.close();
    testsupport::pump();
    EXPECT_FALSE(Form::isLoaded<frmInventory>());
    EXPECT_FALSE(Globals::RowChanged);
    EXPECT_EQ(stored(1001)[1], "Changed");
}

TEST_F(FrmInventoryTest, NoCategoryAsksForOneAndOpensOnTheCategoryEntered) {
    boxes.expect(vb::vbOK, QStringLiteral("No categories for which to enter inventory.  Please enter a category, for "
                                          "example...General, Labor, Services, Hardware, Software, Foods, Books, CD's, etc."));
    bool sawEditor = false;
    ModalAnswer answer([&](Form& f) {
        auto* cats = dynamic_cast<InventoryCats*>(&f);
        ASSERT_NE(cats, nullptr);
        sawEditor = true;
        EXPECT_EQ(f.Owner(), &Form::get<frmInventory>());
        EXPECT_FALSE(Form::isLoaded<GettingInventory>());
        GridDriver d(cats->InventoryList);
        ASSERT_TRUE(d.edit(1, InventoryCats::colDesc, QStringLiteral("General")));
        cats->btnExit_Click();
    });
    frmInventory& w = open();
    EXPECT_TRUE(sawEditor);
    EXPECT_EQ(boxes.shown().size(), 1u);
    EXPECT_FALSE(Form::isLoaded<InventoryCats>());
    ASSERT_TRUE(Form::isLoaded<frmInventory>());
    EXPECT_EQ(&Form::get<frmInventory>(), &w);
    EXPECT_EQ(Form::loadedForms().size(), 1);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.cmbCategory.Text(), "001 General");
    EXPECT_EQ(Globals::CurrentCatNum, 1);
}

TEST(FrmInventoryEntries, NumbersArePaddedToThreeDigitsAndReadBackFromFourCharacters) {
    struct Case {
        int num;
        const char* entry;
        int readBack;
    } cases[] = {{1, "001 General", 1}, {42, "042 General", 42}, {999, "999 General", 999},
                 {1234, "1234 General", 1234}, {10000, "10000 General", 1000}};
    for (const Case& c : cases) {
        const QString entry = W::CategoryEntry(c.num, QStringLiteral("General"));
        EXPECT_EQ(entry, c.entry);
        EXPECT_EQ(W::CategoryOfEntry(entry), c.readBack) << c.entry;
    }
}

} // namespace
