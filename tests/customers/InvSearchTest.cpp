// The item picker: its lists, and what one pick does to stock, the invoice's
// lines and its total.
#include "customers/InvoiceFixture.h"
#include <QTest>
#include "books/frmInventory.h"
#include "forms/Twips.h"

using namespace invoicetest;
using testsupport::click;

namespace {

class InvSearchTest : public InvoiceFixture {
protected:
    void SetUp() override {
        InvoiceFixture::SetUp();
        company(6);
        client(1001, QStringLiteral("John"), QStringLiteral("Smith"), 0);
    }
    // A new invoice with its header stored and the picker open on it.
    InvSearch& openPicker() {
        startProgram();
        InvoiceDetail& d = openNew(1001);
        click(d.btnNewItem);
        return forms::Form::get<InvSearch>();
    }
    int lines() const { return count(QStringLiteral("select count(*) from tb_trans")); }
};

TEST_F(InvSearchTest, ListsTheEditorsCategoryAndTheCategories) {
    category(7, QStringLiteral("Widgets"));
    category(1, QStringLiteral("Parts"));
    category(1000, QStringLiteral("Big"));
    item(1001, 1, QStringLiteral("Bolt"), 0.25, 5, 100);
    item(1002, 7, QStringLiteral("Gear"), 12.5, 5, 3);
    item(1003, 7, QStringLiteral("Press"), 1234.5678, 5, 3);
    InvSearch& p = openPicker();
    EXPECT_EQ(p.Caption(), QStringLiteral("Add Inventory Item to Invoice"));
    EXPECT_EQ(p.Label1.Caption(), QStringLiteral("Category:"));
    EXPECT_EQ(p.btnOK.Caption(), QStringLiteral("&Ok"));
    EXPECT_EQ(p.btnCancel.Caption(), QStringLiteral("&Cancel"));
    EXPECT_EQ(p.btnInventory.ToolTipText(), QStringLiteral("Add to/Edit Inventory"));
    EXPECT_EQ(p.InventoryList.FormatString(), QStringLiteral("Item#|Description|>Charge|In Stock"));
    const int widths[] = {800, 4000, 800, 500};
    for (int c = 0; c < 4; ++c) EXPECT_EQ(p.InventoryList.ColWidth(c), widths[c]);

    ASSERT_EQ(p.cmbCategory.ListCount(), 3);
    EXPECT_EQ(p.cmbCategory.List(0), QStringLiteral("001 Parts"));
    EXPECT_EQ(p.cmbCategory.List(1), QStringLiteral("007 Widgets"));
    EXPECT_EQ(p.cmbCategory.List(2), QStringLiteral("1000 Big"));
    EXPECT_EQ(p.cmbCategory.Text(), QStringLiteral("001 Parts"));
    ASSERT_EQ(p.InventoryList.Rows(), 2);
    EXPECT_EQ(p.InventoryList.TextMatrix(1, 0), QStringLiteral("1001"));
    EXPECT_EQ(p.InventoryList.TextMatrix(1, 1), QStringLiteral("Bolt"));
    EXPECT_EQ(p.InventoryList.TextMatrix(1, 2), QStringLiteral("$0.25"));
    EXPECT_EQ(p.InventoryList.TextMatrix(1, 3), QStringLiteral("100"));

    p.cmbCategory.Pick(1);
    EXPECT_EQ(Globals::CurrentCatNum, 7);
    ASSERT_EQ(p.InventoryList.Rows(), 3);
    EXPECT_EQ(p.InventoryList.TextMatrix(1, 1), QStringLiteral("Gear"));
    EXPECT_EQ(p.InventoryList.TextMatrix(1, 2), QStringLiteral("$12.50"));
    const int chargePx = QFontMetrics(p.InventoryList.font()).horizontalAdvance(QStringLiteral("$1,234.5678"));
    EXPECT_GE(forms::TwipsToPixelsX(p.InventoryList.ColWidth(2)), chargePx + 6) << "the charge shows whole";

    // Read back by its first three digits.
    p.cmbCategory.Pick(2);
    EXPECT_EQ(Globals::CurrentCatNum, 100);
    EXPECT_EQ(p.InventoryList.Rows(), 1);
    EXPECT_EQ(boxCount(), 0);
}

// Setting the combo's text at load chooses nothing: with no category 1 the
// list shows category 1's items (none) while the combo names the first one.
TEST_F(InvSearchTest, ComboTextAtLoadDoesNotChooseTheCategory) {
    category(7, QStringLiteral("Widgets"));
    item(1002, 7, QStringLiteral("Gear"), 12.5, 5, 3);
    InvSearch& p = openPicker();
    EXPECT_EQ(p.cmbCategory.Text(), QStringLiteral("007 Widgets"));
    EXPECT_EQ(p.InventoryList.Rows(), 1);
    EXPECT_EQ(Globals::CurrentCatNum, 1);
}

// Enter picks the selected item wherever the focus is in the picker (Ok is
// its default button); Escape is Cancel.
TEST_F(InvSearchTest, EnterPicksAndEscapeCancels) {
    category(1, QStringLiteral("Parts"));
    item(1001, 1, QStringLiteral("Bolt"), 0.25, 5, 100);
    QTest::keyClick(&openPicker().InventoryList, Qt::Key_Escape);
    testsupport::pump();
    EXPECT_FALSE(forms::Form::isLoaded<InvSearch>());
    EXPECT_EQ(lines(), 0);
    QTest::keyClick(&openPicker().cmbCategory, Qt::Key_Return);   // not a key the combo box uses
    testsupport::pump();
    EXPECT_FALSE(forms::Form::isLoaded<InvSearch>());
    EXPECT_EQ(lines(), 1);
}

TEST_F(InvSearchTest, OnePickTakesOneUnitAndAddsASavedLine) {
    category(1, QStringLiteral("Parts"));
    struct Case {
        const char* name;
        int par, stock;
        int stockAfter;
        const char* backOrder;
        const char* message;   // "" for none
    };
    const Case cases[] = {
        {"stock left", 5, 4, 3, "", ""},
        {"not tracked", 0, 0, 0, "", ""},
        {"last one", 5, 1, 0, "", "Last Part 3 in Inventory added to Invoice."},
        {"none left", 5, 0, -1, "-1", "No Part 4 in Inventory.  Is marked as Back Ordered in Invoice!"},
        {"already short", 5, -3, -4, "-1", "No Part 5 in Inventory.  Is marked as Back Ordered in Invoice!"},
    };
    int n = 0;
    for (const Case& c : cases) {
        ++n;
        item(2000 + n, 1, QStringLiteral("Part %1").arg(n), 2.5 * n, c.par, c.stock);
    }
    startProgram();
    InvoiceDetail& d = openNew(1001);
    n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ++n;
        boxes.clear();
        if (*c.message) boxes.expect(vb::vbOK);
        pick(2000 + n);
        EXPECT_FALSE(forms::Form::isLoaded<InvSearch>());
        EXPECT_EQ(stockOf(2000 + n), c.stockAfter);
        ASSERT_EQ(boxCount(), *c.message ? 1 : 0);
        if (*c.message) {
            EXPECT_EQ(shown(0), QString::fromLatin1(c.message));
            EXPECT_EQ(boxes.shown()[0].buttons, 0);
            EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("Vantrels"));
        }
        ASSERT_EQ(d.ItemList.Rows(), n + 1);
        const QString price = money(2.5 * n);
        EXPECT_EQ(cell(n, Item), QString::number(2000 + n));
        EXPECT_EQ(cell(n, Qty), QStringLiteral("1"));
        EXPECT_EQ(cell(n, Charge), price);
        EXPECT_EQ(cell(n, Total), price);
        EXPECT_EQ(cell(n, Notes), QStringLiteral("Part %1").arg(n));
        EXPECT_EQ(cell(n, BackOrder), QString::fromLatin1(c.backOrder));
        EXPECT_EQ(cell(n, Line), QString::number(1000 + n));
        EXPECT_EQ(marker(n), QStringLiteral(">"));
        const auto row = folder.query(QStringLiteral("select InvoiceNum, ItemNum, Qty, Amount, Notes, Backorder "
                                                     "from tb_trans where TransNum = %1").arg(1000 + n));
        ASSERT_EQ(row.size(), 1u);
        EXPECT_EQ(row[0][0], QStringLiteral("1001"));
        EXPECT_EQ(row[0][1].toInt(), 2000 + n);
        EXPECT_EQ(row[0][2].toDouble(), 1);
        EXPECT_EQ(row[0][3].toDouble(), 2.5 * n);
        EXPECT_EQ(row[0][5].toInt(), *c.backOrder ? -1 : 0);
        EXPECT_TRUE(Globals::InvoicesUpdated);
    }
    // 2.5 + 5 + 7.5 + 10 + 12.5
    EXPECT_EQ(d.lblTotal.Caption(), QStringLiteral("$37.50"));
    // Focus came back to the grid, on the last line's quantity.
    EXPECT_EQ(d.ItemList.Row(), 5);
    EXPECT_EQ(d.ItemList.Col(), Qty);
}

TEST_F(InvSearchTest, OkWithoutAnItemDoesNothing) {
    category(1, QStringLiteral("Parts"));
    item(1001, 1, QStringLiteral("Bolt"), 0.25, 5, 100);
    InvSearch& p = openPicker();
    p.InventoryList.setRow(0);
    click(p.btnOK);
    EXPECT_TRUE(forms::Form::isLoaded<InvSearch>());
    EXPECT_EQ(stockOf(1001), 100);
    EXPECT_EQ(lines(), 0);
    EXPECT_EQ(detail().ItemList.Rows(), 1);
    click(p.btnCancel);
    testsupport::pump();
    EXPECT_FALSE(forms::Form::isLoaded<InvSearch>());
    EXPECT_EQ(lines(), 0);
}

// Double click and Enter in the list add the item as OK does.
TEST_F(InvSearchTest, DoubleClickAndEnterAdd) {
    category(1, QStringLiteral("Parts"));
    item(1001, 1, QStringLiteral("Bolt"), 0.25, 5, 100);
    InvSearch& p = openPicker();
    testsupport::GridDriver(p.InventoryList).dblClick(1, 1);
    testsupport::pump();
    EXPECT_EQ(lines(), 1);
    click(detail().btnNewItem);
    InvSearch& again = forms::Form::get<InvSearch>();
    again.InventoryList.setRow(1);
    testsupport::GridDriver(again.InventoryList).enter();
    testsupport::pump();
    EXPECT_EQ(lines(), 2);
    EXPECT_EQ(stockOf(1001), 98);
}

TEST_F(InvSearchTest, WithoutCategoriesThePickerClosesAndOpensTheInventoryWindow) {
    startProgram();
    InvoiceDetail& d = openNew(1001);
    // The inventory window asks for a first category and opens the category
    // editor; the user enters one there and closes it.
    boxes.expect(vb::vbOK);
    testsupport::ModalAnswer enterCategory([this](forms::Form& cats) {
        folder.exec(QStringLiteral("INSERT INTO tb_InvCategories VALUES (1, 'General')"));
        forms::Form::Unload(cats);
    });
    click(d.btnNewItem);
    testsupport::pump();
    EXPECT_FALSE(forms::Form::isLoaded<InvSearch>());
    EXPECT_TRUE(forms::Form::isLoaded<InvoiceDetail>());
    EXPECT_TRUE(forms::Form::isLoaded<frmInventory>());
    EXPECT_EQ(boxCount(), 1);
    EXPECT_TRUE(shown(0).startsWith(QStringLiteral("No categories for which to enter inventory."))) << shown(0).toStdString();
}

// A line save that fails gives the unit back and leaves no row behind.
TEST_F(InvSearchTest, FailedLineSaveGivesTheUnitBack) {
    category(1, QStringLiteral("Parts"));
    item(1001, 1, QStringLiteral("Bolt"), 0.25, 5, 100);
    InvSearch& p = openPicker();
    folder.exec(QStringLiteral("create trigger no_line before insert on tb_trans begin select raise(abort, 'disk full'); end"));
    p.InventoryList.setRow(1);
    boxes.expect(vb::vbOK);
    click(p.btnOK);
    testsupport::pump();
    ASSERT_EQ(boxCount(), 1);
    EXPECT_TRUE(shown(0).startsWith(QStringLiteral("Invoice.SaveLineAccess -"))) << shown(0).toStdString();
    EXPECT_EQ(stockOf(1001), 100);
    EXPECT_EQ(detail().ItemList.Rows(), 1);
    EXPECT_TRUE(forms::Form::isLoaded<InvSearch>());
    EXPECT_FALSE(Globals::InvoicesUpdated);
}

// An item that can no longer be taken (deleted since the list was filled, or
// its stock unreadable) gets one report and no line; nothing moves.
TEST_F(InvSearchTest, AnItemThatCannotBeTakenAddsNoLine) {
    struct Case { const char* name; const char* sql; const char* report; };
    const Case cases[] = {
        {"deleted", "delete from tb_Inventory where ItemNum = %1", "Item 1001 is no longer in the inventory; "},
        {"Null stock", "update tb_Inventory set instock = NULL where ItemNum = %1", "Invoice.SaveLineAccess -94 "},
    };
    category(1, QStringLiteral("Parts"));
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int itemNum = 1001 + n++;
        item(itemNum, 1, QStringLiteral("Widget"), 7.50, 5, 1);
        InvSearch& p = openPicker();
        folder.exec(QString::fromLatin1(c.sql).arg(itemNum));
        boxes.clear();
        p.InventoryList.setRow(1);
        boxes.expect(vb::vbOK);
        click(p.btnOK);
        testsupport::pump();
        ASSERT_EQ(boxCount(), 1) << "the report only, no \"Last Widget\"";
        EXPECT_TRUE(shown(0).startsWith(QString::fromLatin1(c.report))) << shown(0).toStdString();
        EXPECT_EQ(lines(), 0);
        EXPECT_EQ(detail().ItemList.Rows(), 1);
        EXPECT_EQ(count(QStringLiteral("select count(*) from tb_Inventory where instock is not null")), 0);
        forms::Form::unload<InvSearch>();
        forms::Form::unload<InvoiceDetail>();
    }
}

// The picker never brings back an editor that has closed.
TEST_F(InvSearchTest, OkAfterTheEditorClosedAddsNothing) {
    category(1, QStringLiteral("Parts"));
    item(1001, 1, QStringLiteral("Bolt"), 0.25, 5, 100);
    startProgram();
    openNew(1001);
    click(detail().btnNewItem);
    // An unowned picker outlives the editor (the owned one closes with it).
    ASSERT_TRUE(forms::Form::isLoaded<InvSearch>());
    forms::Form::unload<InvoiceDetail>();
    testsupport::pump();
    EXPECT_FALSE(forms::Form::isLoaded<InvSearch>()) << "closed with its owner";

    InvSearch& loose = forms::Form::get<InvSearch>();
    ASSERT_EQ(loose.Owner(), nullptr);
    loose.InventoryList.setRow(1);
    loose.btnOK_Click();
    testsupport::pump();
    EXPECT_FALSE(forms::Form::isLoaded<InvSearch>());
    EXPECT_FALSE(forms::Form::isLoaded<InvoiceDetail>());
    EXPECT_EQ(stockOf(1001), 100);
    EXPECT_EQ(lines(), 0);
}

// A pick while an edited line is pending saves that line first.
TEST_F(InvSearchTest, PickSavesThePendingLineFirst) {
    category(1, QStringLiteral("Parts"));
    item(1001, 1, QStringLiteral("Bolt"), 12.3456, 5, 100);
    startProgram();
    InvoiceDetail& d = openNew(1001);
    pick(1001);
    testsupport::GridDriver grid(d.ItemList);
    ASSERT_TRUE(grid.edit(1, Qty, QStringLiteral("4")));
    EXPECT_EQ(stockOf(1001), 96);
    pick(1001);
    EXPECT_EQ(number(QStringLiteral("select Qty from tb_trans where TransNum = 1001")), 4);
    EXPECT_EQ(number(QStringLiteral("select Amount from tb_trans where TransNum = 1001")), 49.3824);
    EXPECT_EQ(stockOf(1001), 95);
    EXPECT_EQ(d.lblTotal.Caption(), QStringLiteral("$61.73"));
    EXPECT_EQ(marker(1), QString());
    EXPECT_EQ(marker(2), QStringLiteral(">"));
}

} // namespace
