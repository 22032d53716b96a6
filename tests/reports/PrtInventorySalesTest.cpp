// The inventory sales and best-seller previews: the period row, which
// invoices the period takes, the category groups and their order, the grand
// total, the twenty best sellers, and the windows that find nothing to print.
#include <gtest/gtest.h>
#include "data/Globals.h"
#include "forms/Form.h"
#include "reports/PrtInventoryBestSales.h"
#include "reports/PrtInventorySales.h"
#include "support/DocumentReader.h"
#include "support/WindowFixture.h"
#include "vb/Conv.h"
#include "vb/MsgBox.h"

using forms::Form;
using testsupport::flow;

namespace {

const QString kNoSales = QStringLiteral("No inventory sales for selected time period to print");

QString money(double x) { return vb::FormatCurrency(vb::Currency::fromDouble(x)); }

// Every body row of a table, its cells joined by " / ".
QStringList rows(const printer::Table& t) {
    QStringList out;
    for (int r = 1; r <= t.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < t.columns.size(); ++c) cells << t.cell(r, c);
        out << cells.join(" / ");
    }
    return out;
}

class PrtInventorySalesTest : public testsupport::WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        Globals::CoName = QStringLiteral("Acme Supply");
    }
    void category(int num, const QString& name) {
        folder.exec(QStringLiteral("insert into tb_InvCategories (CatNum, Description) values (%1, '%2')").arg(num).arg(name));
    }
    void item(int num, int cat, const QString& description) {
        folder.exec(QStringLiteral("insert into tb_Inventory (ItemNum, CatNum, Description, charge, par, instock, warranty) "
                                   "values (%1, %2, '%3', 1, 0, 0, '')")
                        .arg(num).arg(cat).arg(description));
    }
    // One invoice on date (yyyy-mm-dd) with one line of the item.
    void sale(int item, int qty, double amount, const QString& date = "2026-06-01") {
        ++invoice_;
        folder.exec(QStringLiteral("insert into tb_Invoice (InvoiceNum, CustNum, [Date], discount) values (%1, 1001, "
                                   "'%2 00:00:00', 0)").arg(invoice_).arg(date));
        folder.exec(QStringLiteral("insert into tb_trans (TransNum, InvoiceNum, ItemNum, Qty, Amount, Backorder) "
                                   "values (%1, %1, %2, %3, %4, 0)").arg(invoice_).arg(item).arg(qty).arg(amount));
    }
    template <class T>
    T& open() {
        Form::get<T>().Show();
        return Form::get<T>();
    }
    int invoice_ = 1000;
};

TEST_F(PrtInventorySalesTest, OpensOnTheYear2001ToTodayWithTheDatesInBothBoxes) {
    category(1, "Tools");
    item(1001, 1, "Hammer");
    sale(1001, 1, 5, "2001-01-01");
    sale(1001, 2, 10, "2026-12-09");
    sale(1001, 4, 20, "2000-12-31");
    sale(1001, 8, 40, "2026-12-10");

    PrtInventorySales& s = open<PrtInventorySales>();
    EXPECT_EQ(s.Caption(), "Print Inventory Sales");
    EXPECT_EQ(s.txtBegDate.Text(), "01/01/01");
    EXPECT_EQ(s.txtEndDate.Text(), "12/09/26");
    EXPECT_EQ(s.btnGo.Caption(), "&Preview");
    EXPECT_EQ(s.Label4.Caption(), "For Dates:");
    EXPECT_EQ(s.VSregistry.Header(), "Inventory Sales|Acme Supply|12/9/2026");
    // Both ends of the period count, the days outside it do not.
    ASSERT_EQ(s.VSregistry.Tables().size(), 1);
    EXPECT_EQ(rows(s.VSregistry.Tables()[0]), QStringList({"1001 / Hammer / 3 / " + money(15)}));

    PrtInventoryBestSales& b = open<PrtInventoryBestSales>();
    EXPECT_EQ(b.Caption(), "Print 20 Best Inventory Sellers");
    EXPECT_EQ(b.txtBegDate.Text(), "01/01/01");
    EXPECT_EQ(b.txtEndDate.Text(), "12/09/26");
    EXPECT_EQ(b.VSregistry.Header(), "Top 20 Inventory Sellers|Acme Supply|12/9/2026");
    EXPECT_EQ(rows(b.VSregistry.Tables()[0]), QStringList({"1001 / Hammer / 3 / " + money(15)}));
    EXPECT_TRUE(boxes.shown().empty());
}

// A period chosen in the pickers, previewed: which invoice dates it takes.
TEST_F(PrtInventorySalesTest, PeriodIncludesBothEndsAndNothingOutside) {
    category(1, "Tools");
    item(1001, 1, "Hammer");
    sale(1001, 1, 1, "2026-02-28");
    sale(1001, 10, 10, "2026-03-01");
    sale(1001, 100, 100, "2026-03-15");
    sale(1001, 1000, 1000, "2026-03-31");
    sale(1001, 10000, 10000, "2026-04-01");
    struct Case {
        vb::Date beg, end;
        QString qty;
    };
    const Case cases[] = {
        {vb::Date::fromYmd(2026, 3, 1), vb::Date::fromYmd(2026, 3, 31), "1110"},
        {vb::Date::fromYmd(2026, 3, 15), vb::Date::fromYmd(2026, 3, 15), "100"},
        {vb::Date::fromYmd(2026, 2, 28), vb::Date::fromYmd(2026, 3, 1), "11"},
        {vb::Date::fromYmd(2026, 3, 31), vb::Date::fromYmd(2026, 4, 1), "11000"},
    };
    PrtInventorySales& s = open<PrtInventorySales>();
    for (const Case& c : cases) {
        s.DTbegdate.Pick(c.beg);
        s.dtEndDate.Pick(c.end);
        s.btnGo_Click();
        ASSERT_EQ(s.VSregistry.Tables().size(), 1);
        EXPECT_EQ(s.VSregistry.Tables()[0].cell(1, 2), c.qty) << vb::DateToText(c.beg).toStdString();
        EXPECT_EQ(flow(s.VSregistry).at(0), "*" + vb::DateToText(c.beg) + " - " + vb::DateToText(c.end));
    }
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(PrtInventorySalesTest, GroupsByCategoryNameWithTheBestSellingItemFirstAndAGrandTotal) {
    category(1, "Tools");
    category(2, "Paint");
    category(3, "tools");   // another category of the same name
    category(4, "Unsold");
    item(1001, 1, "Hammer");
    item(1002, 1, "Saw | 24\"");
    item(1003, 2, "Primer");
    item(1004, 3, "Wrench");
    item(1005, 4, "Ladder");
    item(1006, 9, "Lost");   // its category is gone: not counted
    sale(1001, 2, 10);
    sale(1001, 1, 5);
    sale(1002, 1, 30.5);
    sale(1003, 3, 7.25);
    sale(1004, 1, 20);
    sale(1006, 1, 99);

    PrtInventorySales& s = open<PrtInventorySales>();
    const printer::PageDocument& d = s.VSregistry;
    EXPECT_EQ(flow(d), QStringList({"*1/1/2001 - 12/9/2026", "*", "*", "*", "*Paint", "*", "[table]", "*", "*",
                                    "*Tools", "*", "[table]", "", "*Grand Total Inventory Sales:  " + money(72.75)}));
    ASSERT_EQ(d.Tables().size(), 2);
    const printer::Table& paint = d.Tables()[0];
    EXPECT_EQ(paint.header, QStringList({"Item#", "Description", "Qty", "Total Sales"}));
    EXPECT_EQ(paint.border, printer::tbBoxHeader);
    EXPECT_EQ(rows(paint), QStringList({"1003 / Primer / 3 / " + money(7.25)}));
    EXPECT_EQ(rows(d.Tables()[1]), QStringList({"1002 / Saw | 24\" / 1 / " + money(30.5),
                                                "1004 / Wrench / 1 / " + money(20),
                                                "1001 / Hammer / 3 / " + money(15)}));
    EXPECT_EQ(s.GrandTotal(), vb::Currency::fromDouble(72.75));
}

TEST_F(PrtInventorySalesTest, BestSellersAreTheTwentyHighestInOneTableWithoutTotal) {
    category(1, "Tools");
    category(2, "Paint");
    for (int i = 1; i <= 25; ++i) {
        item(1000 + i, i % 2 + 1, QStringLiteral("Item %1").arg(i));
        sale(1000 + i, 1, i * 10);
    }
    PrtInventoryBestSales& b = open<PrtInventoryBestSales>();
    const printer::PageDocument& d = b.VSregistry;
    EXPECT_EQ(flow(d), QStringList({"*1/1/2001 - 12/9/2026", "*", "*", "*", "*", "*", "[table]"}));
    ASSERT_EQ(d.Tables().size(), 1);
    const printer::Table& t = d.Tables()[0];
    EXPECT_EQ(t.header, QStringList({"Item#", "Description", "Qty", "Total Sales"}));
    ASSERT_EQ(t.rowCount(), 20);
    for (int r = 1; r <= 20; ++r) {
        const int i = 26 - r;
        EXPECT_EQ(rows(t)[r - 1], QStringLiteral("%1 / Item %2 / 1 / ").arg(1000 + i).arg(i) + money(i * 10));
    }

    // Fewer than twenty: all of them.
    b.DTbegdate.Pick(vb::Date::fromYmd(2026, 6, 1));
    b.btnGo_Click();
    EXPECT_EQ(b.VSregistry.Tables()[0].rowCount(), 20);
    folder.exec("delete from tb_trans where ItemNum > 1003");
    b.btnGo_Click();
    EXPECT_EQ(rows(b.VSregistry.Tables()[0]), QStringList({"1003 / Item 3 / 1 / " + money(30),
                                                           "1002 / Item 2 / 1 / " + money(20),
                                                           "1001 / Item 1 / 1 / " + money(10)}));
}

TEST_F(PrtInventorySalesTest, AnEmptyPeriodSaysSoAndClosesTheWindow) {
    for (int which = 0; which < 2; ++which) {
        SCOPED_TRACE(which ? "best sellers" : "sales");
        boxes.expect(vb::vbOK, kNoSales);
        if (which) Form::get<PrtInventoryBestSales>().Show();
        else Form::get<PrtInventorySales>().Show();
        EXPECT_FALSE(Form::isLoaded<PrtInventorySales>());
        EXPECT_FALSE(Form::isLoaded<PrtInventoryBestSales>());
        EXPECT_EQ(boxes.shown().back().buttons, vb::vbOKOnly);
        EXPECT_EQ(boxes.shown().back().title, "Vantrels");
    }

    // Chosen in an open window: the window closes too.
    category(1, "Tools");
    item(1001, 1, "Hammer");
    sale(1001, 1, 5, "2026-06-01");
    PrtInventorySales& s = open<PrtInventorySales>();
    ASSERT_TRUE(s.Visible());
    s.dtEndDate.Pick(vb::Date::fromYmd(2026, 5, 31));
    boxes.expect(vb::vbOK, kNoSales);
    s.btnGo_Click();
    EXPECT_FALSE(Form::isLoaded<PrtInventorySales>());
    EXPECT_EQ(boxes.shown().size(), 3u);
}

TEST_F(PrtInventorySalesTest, APickedDateShowsInItsBoxAtOnceAndReachesTheReportOnPreview) {
    category(1, "Tools");
    item(1001, 1, "Hammer");
    sale(1001, 1, 5, "2026-06-01");
    sale(1001, 2, 7, "2026-07-01");
    PrtInventorySales& s = open<PrtInventorySales>();
    s.DTbegdate.Pick(vb::Date::fromYmd(2026, 6, 15));
    EXPECT_EQ(s.txtBegDate.Text(), "06/15/26");
    EXPECT_EQ(s.VSregistry.Tables()[0].cell(1, 2), "3");
    s.btnGo_Click();
    EXPECT_EQ(s.VSregistry.Tables()[0].cell(1, 2), "2");
    s.dtEndDate.Pick(vb::Date::fromYmd(2026, 7, 1));
    EXPECT_EQ(s.txtEndDate.Text(), "07/01/26");
}

// The report covers the period the boxes show: a date typed into a box is
// taken on Preview; a box left incomplete shows the date used again.
TEST_F(PrtInventorySalesTest, ADateTypedIntoABoxIsTakenOnPreview) {
    category(1, "Tools");
    item(1001, 1, "Hammer");
    sale(1001, 1, 5, "2026-06-01");
    sale(1001, 2, 7, "2026-07-01");
    PrtInventorySales& s = open<PrtInventorySales>();
    s.txtBegDate.setText("061526");
    s.txtEndDate.setText("12/3");
    s.btnGo_Click();
    EXPECT_EQ(s.DTbegdate.Value(), vb::Date::fromYmd(2026, 6, 15));
    EXPECT_EQ(s.dtEndDate.Value(), vb::Date::fromYmd(2026, 12, 9));
    EXPECT_EQ(s.txtEndDate.Text(), "12/09/26");
    EXPECT_EQ(s.VSregistry.Tables()[0].cell(1, 2), "2");
    EXPECT_EQ(flow(s.VSregistry).at(0), "*6/15/2026 - 12/9/2026");
}

// A sales read that fails is reported by the data class alone; the window
// does not add that the period sold nothing.
TEST_F(PrtInventorySalesTest, AFailedReadIsReportedOnceAndTheWindowCloses) {
    folder.exec("drop table tb_InvCategories");
    boxes.expect(vb::vbOK);
    Form::get<PrtInventorySales>().Show();
    EXPECT_FALSE(Form::isLoaded<PrtInventorySales>());
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(boxes.shown()[0].prompt.startsWith("Reports.rsInventorySales -")) << boxes.shown()[0].prompt.toStdString();
}

TEST_F(PrtInventorySalesTest, ResizeFitsThePreviewAndMovesTheExitButton) {
    category(1, "Tools");
    item(1001, 1, "Hammer");
    sale(1001, 1, 5);
    PrtInventorySales& s = open<PrtInventorySales>();
    s.Move(0, 0, 12000, 9000);
    s.Form_Resize();
    // Geometry lands on whole pixels of 15 twips.
    EXPECT_NEAR(s.VSregistry.Width(), 12000 - 250, 15);
    EXPECT_NEAR(s.VSregistry.Left(), 25, 15);
    EXPECT_NEAR(s.VSregistry.Height(), 9000 - 800, 15);
    EXPECT_NEAR(s.btnExit.Left(), 12000 - 1000, 15);
    EXPECT_GT(s.VSregistry.Top(), s.btnGo.Top() + s.btnGo.Height() - 1);
}

} // namespace

