// The inventory list: which categories get a title and a table, the order of
// categories and items, the cells of each item, and the window that finds
// nothing to print.
#include <gtest/gtest.h>
#include "data/Globals.h"
#include "forms/Form.h"
#include "reports/PrtInventory.h"
#include "support/DocumentReader.h"
#include "support/WindowFixture.h"
#include "vb/Conv.h"
#include "vb/MsgBox.h"

using forms::Form;
using testsupport::flow;
using testsupport::row;

namespace {

QString money(double x) { return vb::FormatCurrency(vb::Currency::fromDouble(x)); }

class PrtInventoryTest : public testsupport::WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        Globals::CoName = QStringLiteral("Acme Supply");
    }
    void category(int num, const QString& name) {
        folder.exec(QStringLiteral("insert into tb_InvCategories (CatNum, Description) values (%1, '%2')").arg(num).arg(name));
    }
    void item(int num, int cat, const QString& description, double charge, int par, int stock, const QString& warranty) {
        folder.exec(QStringLiteral("insert into tb_Inventory (ItemNum, CatNum, Description, charge, par, instock, warranty) "
                                   "values (%1, %2, '%3', %4, %5, %6, '%7')")
                        .arg(num).arg(cat).arg(description).arg(charge).arg(par).arg(stock).arg(warranty));
    }
    PrtInventory& open() {
        Form::get<PrtInventory>().Show();
        return Form::get<PrtInventory>();
    }
};

TEST_F(PrtInventoryTest, NoCategoriesSaysSoAndTheWindowNeverStaysOpen) {
    boxes.expect(vb::vbOK, "No inventory in database to print");
    Form::get<PrtInventory>().Show();
    EXPECT_FALSE(Form::isLoaded<PrtInventory>());
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].buttons, vb::vbOKOnly);
    EXPECT_EQ(boxes.shown()[0].title, "Vantrels");
}

TEST_F(PrtInventoryTest, CategoriesWithoutItemsGiveOnlyTheHeadingLine) {
    category(1, "Tools");
    category(2, "Paint");
    PrtInventory& p = open();
    EXPECT_TRUE(p.Visible());
    EXPECT_TRUE(p.VSregistry.IsDocComplete());
    EXPECT_EQ(p.VSregistry.Header(), "Inventory|Acme Supply|12/9/2026");
    EXPECT_EQ(flow(p.VSregistry), QStringList({"*"}));
    EXPECT_TRUE(p.VSregistry.Tables().isEmpty());
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(PrtInventoryTest, EachCategoryWithItemsGetsItsTitleAndItsOwnTable) {
    // Stored out of order; an empty category and an item of no category in between.
    category(3, "Paint");
    category(1, "Tools");
    category(2, "Empty");
    item(1010, 1, "Hammer", 12.5, 5, 7, "1 year");
    item(1002, 1, "Saw | 24\"; steel", 0, 0, 0, "");
    item(1005, 3, "Primer", 9.99, 2, -1, "None");
    item(1003, 9, "Lost item", 1, 1, 1, "");
    PrtInventory& p = open();
    const printer::PageDocument& d = p.VSregistry;

    EXPECT_EQ(p.Caption(), "Print Inventory");
    EXPECT_EQ(p.btnExit.toolTip(), "Exit Vendor Payments");
    // Bold from the heading through the first title; the empty category prints nothing.
    EXPECT_EQ(flow(d), QStringList({"*", "*", "*", "*Tools", "*", "[table]", "*", "*", "*Paint", "*", "[table]"}));
    ASSERT_EQ(d.Tables().size(), 2);

    const printer::Table& tools = d.Tables()[0];
    EXPECT_EQ(tools.header, QStringList({"Item#", "Description", "Charge", "Par", "In Stock", "Warranty"}));
    EXPECT_EQ(tools.rowCount(), 2);
    EXPECT_EQ(row(tools, 1), QStringList({"1002", "Saw | 24\"; steel", money(0), "0", "0", ""}));
    EXPECT_EQ(row(tools, 2), QStringList({"1010", "Hammer", money(12.5), "5", "7", "1 year"}));
    EXPECT_EQ(tools.border, printer::tbBoxHeader);
    QList<int> widths, aligns;
    for (const printer::TableColumn& c : tools.columns) {
        widths << qRound(c.width * 100);
        aligns << c.alignment;
    }
    EXPECT_EQ(widths, QList<int>({50, 275, 100, 75, 75, 175}));
    EXPECT_EQ(aligns, QList<int>({2, 0, 2, 1, 1, 0}));

    const printer::Table& paint = d.Tables()[1];
    EXPECT_EQ(paint.header, tools.header);
    EXPECT_EQ(paint.rowCount(), 1);
    EXPECT_EQ(row(paint, 1), QStringList({"1005", "Primer", money(9.99), "2", "-1", "None"}));
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(PrtInventoryTest, AnOpenWindowKeepsItsDocumentAndReopeningReadsAgain) {
    category(1, "Tools");
    item(1001, 1, "Hammer", 12.5, 5, 7, "");
    PrtInventory& p = open();
    item(1002, 1, "Saw", 20, 0, 0, "");
    open();
    EXPECT_EQ(p.VSregistry.Tables()[0].rowCount(), 1);
    p.btnExit_Click();
    EXPECT_FALSE(Form::isLoaded<PrtInventory>());
    EXPECT_EQ(open().VSregistry.Tables()[0].rowCount(), 2);
}

} // namespace
