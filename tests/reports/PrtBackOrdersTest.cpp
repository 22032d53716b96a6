// The back-order previews: the document each lays out from rsBackOrders
// (header, table, rows), the empty list, reopening, the order button and the
// resize rule, and a list that cannot be read.
#include <memory>
#include <gtest/gtest.h>
#include "books/BackOrderSet.h"
#include "data/Globals.h"
#include "data/Invoice.h"
#include "forms/Form.h"
#include "reports/PrtBackOrdered.h"
#include "reports/PrtBackOrders.h"
#include "support/DocumentReader.h"
#include "support/FormDriver.h"
#include "support/WindowFixture.h"
#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"

using forms::Form;
using testsupport::row;

namespace {

class PrtBackOrdersTest : public testsupport::WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        testsupport::SharedOnDataFile(Globals::SharedInvoice);
        folder.exec("insert into tb_Client (CustNum, Fname, Lname) values (1001, 'John', 'Smith'), (1002, '', 'Jones')");
        folder.exec("insert into tb_Invoice (InvoiceNum, CustNum, [Date], SalesRep) values "
                    "(5001, 1001, '2026-03-15 00:00:00', 'Pat'), (5002, 1002, '2026-04-01 00:00:00', NULL)");
        folder.exec("insert into tb_trans (TransNum, InvoiceNum, ItemNum, Qty, Amount, Notes, Backorder) values "
                    "(11, 5001, 7, 3, 30, 'Bracket', -3), (12, 5001, 8, 1, 5, 'Bolt', 0), "
                    "(13, 5002, 9, 1, 2, 'Nut; 1/4|in', -1), (15, 5001, 9, 2, 4, 'Washer', -2)");
        folder.exec("update tb_trans set Ordered = '2026-05-01 00:00:00' where TransNum = 15");
    }
    // What the main window's Back Orders menu does before it shows a preview.
    void load(bool ordered) {
        Invoice& inv = *Globals::SharedInvoice;
        inv.OpenCn();
        Globals::rsBackOrders = ordered ? inv.GetBackOrderedItems() : inv.GetBackOrderItems();
        inv.CloseCn();
    }
    template <class T>
    T& show() {
        T& w = Form::get<T>();
        w.Show();
        return w;
    }
    // Body rows keyed by their item column, as the query sorts nothing.
    static QStringList rowOfItem(const printer::Table& t, const QString& item) {
        for (int r = 1; r <= t.rowCount(); ++r)
            if (t.cell(r, 1) == item) return row(t, r);
        return {};
    }
};

TEST_F(PrtBackOrdersTest, LinesToOrderAreLaidOutWithTheirInvoiceDates) {
    load(false);
    PrtBackOrders& p = show<PrtBackOrders>();
    EXPECT_EQ(p.Caption(), "Print Items to Back Order");
    EXPECT_EQ(p.btnOrder.Caption(), "Set as &Ordered");
    EXPECT_TRUE(p.btnExit.isVisible()) << "a visible way to close";
    EXPECT_EQ(p.Owner(), nullptr);
    const printer::PreviewControl& d = p.VSregistry;
    EXPECT_TRUE(d.IsDocComplete());
    EXPECT_EQ(d.Header(), "|Invoice Items to BackOrder|12/9/2026");
    EXPECT_EQ(d.Footer(), "");
    EXPECT_DOUBLE_EQ(d.MarginLeft() + d.MarginRight() + d.MarginTop() + d.MarginBottom(), 1.5);
    EXPECT_DOUBLE_EQ(d.FontSize(), 10);
    EXPECT_FALSE(d.FontBold());

    ASSERT_EQ(d.Tables().size(), 1u);
    const printer::Table& t = d.Tables()[0];
    EXPECT_EQ(t.header, QStringList({"Date", "Inventory#", "Invoice#", "Description", "Qty", "Client", "Sales Rep"}));
    const double widths[] = {0.75, 0.75, 0.75, 2, 0.5, 1.25, 1.25};
    const int aligns[] = {1, 1, 0, 0, 1, 0, 0};
    ASSERT_EQ(t.columns.size(), 7);
    for (int c = 0; c < 7; ++c) {
        EXPECT_DOUBLE_EQ(t.columns[c].width, widths[c]) << "column " << c;
        EXPECT_EQ(t.columns[c].alignment, aligns[c]) << "column " << c;
    }
    EXPECT_EQ(t.border, printer::tbBoxHeader);
    ASSERT_EQ(t.rowCount(), 2) << "the ordered line and the line not short are left out";
    // Units short shown positive; a client without a first name starts with
    // a blank, a line without a sales rep ends empty; separators typed into a
    // description stay in its cell.
    EXPECT_EQ(rowOfItem(t, "7"), QStringList({"3/15/2026", "7", "5001", "Bracket", "3", "John Smith", "Pat"}));
    EXPECT_EQ(rowOfItem(t, "9"), QStringList({"4/1/2026", "9", "5002", "Nut; 1/4|in", "1", " Jones", ""}));
    for (int r = 1; r <= 2; ++r) EXPECT_DOUBLE_EQ(t.rowHeights.value(r), 0.2) << "row " << r;
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(PrtBackOrdersTest, OrderedLinesShowTheirOrderDate) {
    load(true);
    PrtBackOrdered& p = show<PrtBackOrdered>();
    EXPECT_EQ(p.Caption(), "Print Backordered Items");
    EXPECT_TRUE(p.btnExit.isVisible());
    EXPECT_EQ(p.VSregistry.Header(), "|Invoice Items BackOrdered|12/9/2026");
    ASSERT_EQ(p.VSregistry.Tables().size(), 1u);
    const printer::Table& t = p.VSregistry.Tables()[0];
    EXPECT_EQ(t.header.value(0), "Ordered");
    ASSERT_EQ(t.rowCount(), 1);
    EXPECT_EQ(row(t, 1), QStringList({"5/1/2026", "9", "5001", "Washer", "2", "John Smith", "Pat"}));
}

TEST_F(PrtBackOrdersTest, AnEmptyListShowsTheHeaderAndAnEmptyTable) {
    folder.exec("delete from tb_trans");
    for (bool ordered : {false, true}) {
        SCOPED_TRACE(ordered);
        load(ordered);
        const printer::PreviewControl& d =
            ordered ? show<PrtBackOrdered>().VSregistry : show<PrtBackOrders>().VSregistry;
        EXPECT_TRUE(d.IsDocComplete());
        EXPECT_FALSE(d.Header().isEmpty());
        ASSERT_EQ(d.Tables().size(), 1u);
        EXPECT_EQ(d.Tables()[0].header.size(), 7);
        EXPECT_EQ(d.Tables()[0].rowCount(), 0);
    }
    // Never loaded at all: the same.
    Form::unload<PrtBackOrders>();
    testsupport::pump();
    Globals::rsBackOrders.reset();
    EXPECT_EQ(show<PrtBackOrders>().VSregistry.Tables().value(0).rowCount(), 0);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(PrtBackOrdersTest, AnOpenPreviewKeepsItsLinesUntilClosedAndOpenedAgain) {
    load(false);
    PrtBackOrders* first = &show<PrtBackOrders>();
    folder.exec("update tb_trans set Backorder = -5 where TransNum = 11");
    load(false);
    EXPECT_EQ(&show<PrtBackOrders>(), first);
    EXPECT_EQ(rowOfItem(first->VSregistry.Tables()[0], "7").value(4), "3");

    first->close();
    EXPECT_FALSE(Form::isLoaded<PrtBackOrders>());
    testsupport::pump();
    EXPECT_EQ(rowOfItem(show<PrtBackOrders>().VSregistry.Tables()[0], "7").value(4), "5");
}

// The order button opens the order-date window on its own; dates saved
// there leave the preview as it was.
TEST_F(PrtBackOrdersTest, SetAsOrderedOpensTheOrderDateWindow) {
    load(false);
    PrtBackOrders& p = show<PrtBackOrders>();
    testsupport::click(p.btnOrder);
    ASSERT_TRUE(Form::isLoaded<BackOrderSet>());
    BackOrderSet& s = Form::get<BackOrderSet>();
    EXPECT_TRUE(s.Visible());
    EXPECT_EQ(s.Owner(), nullptr);
    EXPECT_FALSE(s.IsModal());
    EXPECT_EQ(s.InventoryList.Rows(), 3);
    testsupport::click(s.btnSetAll);
    testsupport::click(s.btnSave);
    EXPECT_EQ(folder.scalar("select count(*) from tb_trans where Ordered is not null").toInt(), 3);
    EXPECT_TRUE(Form::isLoaded<PrtBackOrders>());
    EXPECT_EQ(p.VSregistry.Tables()[0].rowCount(), 2);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(PrtBackOrdersTest, ResizingFitsThePreviewAndKeepsTheOrderButtonAtTheRight) {
    load(false);
    PrtBackOrders& p = show<PrtBackOrders>();
    p.Move(0, 0, 9000, 7000);
    testsupport::pump();
    EXPECT_NEAR(p.VSregistry.Left(), 25, 15);
    EXPECT_NEAR(p.VSregistry.Width(), p.Width() - 250, 15);
    EXPECT_NEAR(p.VSregistry.Height(), p.Height() - 800, 15);
    EXPECT_NEAR(p.btnOrder.Left(), p.Width() - 2420, 15) << "left of the exit button";

    PrtBackOrdered& q = show<PrtBackOrdered>();
    q.Move(0, 0, 8000, 6000);
    testsupport::pump();
    EXPECT_NEAR(q.VSregistry.Width(), q.Width() - 250, 15);
    EXPECT_NEAR(q.VSregistry.Height(), q.Height() - 800, 15);
}

// A list without the fields of back-ordered lines: the report says so with
// its own label and the window still opens with what was laid out.
TEST_F(PrtBackOrdersTest, AListThatCannotBeReadIsReportedAndTheWindowStillOpens) {
    Invoice& inv = *Globals::SharedInvoice;
    inv.OpenCn();
    Globals::rsBackOrders = inv.GetInvoiceItems(5001);
    inv.CloseCn();
    boxes.expect(vb::vbOK, vb::ErrorReportText("PrtBackOrders.BackOrderItemsPreview -", 3265, vb::ErrorDescription(3265)));
    PrtBackOrders& p = show<PrtBackOrders>();
    EXPECT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(p.Visible());
    EXPECT_FALSE(p.VSregistry.IsDocComplete());
    EXPECT_EQ(p.VSregistry.Header(), "|Invoice Items to BackOrder|12/9/2026");

    boxes.expect(vb::vbOK, vb::ErrorReportText("PrtBackOrdered.BackOrderItemsPreview -", 3265, vb::ErrorDescription(3265)));
    EXPECT_TRUE(show<PrtBackOrdered>().Visible());
}

} // namespace
