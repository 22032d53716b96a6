// The list-grid template as its plainest member shows it: loading, New and
// its scrolling, the markers (a type named "0" included), the step back to an
// empty row above, delete on a blank row, a pending row saved by the close
// box, and writes the data file refuses.
#include <functional>
#include <memory>
#include <gtest/gtest.h>
#include <QStringList>
#include <QTest>
#include "books/PaymentCategories.h"
#include "books/ShippingTypes.h"
#include "data/Globals.h"
#include "data/cSetup.h"
#include "forms/Form.h"
#include "support/FormDriver.h"
#include "support/GridDriver.h"
#include "support/WindowFixture.h"
#include "vb/MsgBox.h"

using forms::Form;
using testsupport::GridDriver;

namespace {

class ListGridTemplateTest : public testsupport::WindowFixture {
protected:
    template <class W>
    W& open(const QStringList& payTypes = {}) {
        for (const QString& t : payTypes) folder.exec(QStringLiteral("INSERT INTO tb_PaymentTypes VALUES ('%1')").arg(t));
        auto setup = testsupport::SharedOnDataFile(Globals::SharedSetup);
        setup->OpenCn();
        Globals::rsPayTypes = setup->rsPaymentTypes();
        Globals::rsShipping = setup->rsShippingTypes();
        setup->CloseCn();
        W& w = Form::get<W>();
        w.Show();
        testsupport::pump();
        return w;
    }
    static QStringList names(int n) {
        QStringList out;
        for (int i = 1; i <= n; ++i) out << QStringLiteral("T%1").arg(i);
        return out;
    }
};

TEST_F(ListGridTemplateTest, NewGoesToOneBlankRowScrolledNearTheBottom) {
    struct Case { int stored; int rowsAfter; int topRowAfter; };
    for (const Case& c : {Case{0, 2, 1}, Case{3, 5, 1}, Case{5, 7, 2}, Case{9, 11, 6}}) {
        SCOPED_TRACE(c.stored);
        testsupport::ResetWindowsAndState();
        folder.exec(QStringLiteral("DELETE FROM tb_PaymentTypes"));
        PaymentCategories& w = open<PaymentCategories>(names(c.stored));
        EXPECT_EQ(w.PaymentList.Rows(), c.stored + 2) << "the blank entry row is always there";
        w.btnNew_Click();
        EXPECT_EQ(w.PaymentList.Rows(), c.rowsAfter);
        EXPECT_EQ(w.PaymentList.TopRow(), c.topRowAfter);
        EXPECT_EQ(w.PaymentList.Row(), c.rowsAfter - 1);
        EXPECT_EQ(w.PaymentList.TextMatrix(c.rowsAfter - 1, 0), "*");
        w.btnNew_Click();
        EXPECT_EQ(w.PaymentList.Rows(), c.rowsAfter) << "the blank last row is used again";
    }
}

// Each entry typed with Enter and Down gets its own row; typing on a stored
// row marks it "?" until Escape gives the edit up; a second Escape is Exit.
TEST_F(ListGridTemplateTest, EnterAndDownReachTheEntryRowAndEscapeClosesAsExitDoes) {
    PaymentCategories& w = open<PaymentCategories>();
    controls::FlexGrid& g = w.PaymentList;
    GridDriver d(g);
    d.focusIn();
    for (const char* t : {"Cash", "Check", "Visa"}) {
        ASSERT_TRUE(d.type(QString::fromLatin1(t)));
        d.enter();
        d.down();
    }
    EXPECT_EQ(folder.scalar("SELECT group_concat(type) FROM tb_PaymentTypes"), "Cash,Check,Visa");
    EXPECT_EQ(g.Rows(), 5);
    EXPECT_EQ(g.TextMatrix(4, 0), "*");
    d.moveTo(2, 1);
    ASSERT_TRUE(d.type("Cheque"));
    EXPECT_EQ(g.TextMatrix(2, 0), "?");
    QTest::keyClick(g.editorWidget(), Qt::Key_Escape);
    EXPECT_EQ(g.TextMatrix(2, 0) + g.TextMatrix(2, 1), ">Check");
    QTest::keyClick(&g, Qt::Key_Escape);
    testsupport::pump();
    EXPECT_FALSE(Form::isLoaded<PaymentCategories>());
}

TEST_F(ListGridTemplateTest, MarkersFollowTheCursorAndATypeNamedZeroShowsQuery) {
    PaymentCategories& w = open<PaymentCategories>({"0", "Cash", "Visa"});
    GridDriver d(w.PaymentList);
    d.focusIn();
    d.moveTo(2, 1);
    EXPECT_EQ(w.PaymentList.TextMatrix(2, 0), ">");
    d.moveTo(1, 1);
    EXPECT_EQ(w.PaymentList.TextMatrix(2, 0), "");
    EXPECT_EQ(w.PaymentList.TextMatrix(1, 0), "?");
    ASSERT_TRUE(d.edit(3, 1, QStringLiteral("Visa Card")));
    EXPECT_EQ(w.PaymentList.TextMatrix(3, 0), ">") << "saved and still the row last entered";
    EXPECT_EQ(w.PaymentList.TextMatrix(1, 0), "?");
}

TEST_F(ListGridTemplateTest, AfterRowEditStepsBackToAnEmptyRowAboveButNeverIntoTheHeader) {
    PaymentCategories& w = open<PaymentCategories>({"Cash", "Visa"});
    controls::FlexGrid& g = w.PaymentList;
    w.NewRow = 1;
    w.OldRow = 1;
    g.setRowColSilently(1, 1);
    w.AfterRowEdit();
    EXPECT_EQ(g.Row(), 1);

    g.setTextMatrix(1, 1, QString());   // an emptied row above the one entered
    g.setRowColSilently(2, 1);
    w.OldRow = w.NewRow = 2;
    w.list().rows().MarkChanged();
    w.AfterRowEdit();
    EXPECT_EQ(g.Row(), 1);
    EXPECT_FALSE(Globals::RowChanged);
    EXPECT_EQ(folder.scalar(QStringLiteral("SELECT count(*) FROM tb_PaymentTypes")), "2");
}

TEST_F(ListGridTemplateTest, DeleteOnTheBlankRowAsksNothing) {
    PaymentCategories& w = open<PaymentCategories>({"Cash"});
    w.btnNew_Click();
    ASSERT_EQ(w.PaymentList.Row(), 2);
    testsupport::click(w.btnDelete);   // no box is scripted: none may come
    EXPECT_EQ(w.PaymentList.Rows(), 3);
    w.PaymentList.setRowColSilently(0, 1);
    w.btnDelete_Click();
    EXPECT_EQ(w.PaymentList.Rows(), 3);
}

TEST_F(ListGridTemplateTest, CloseBoxSavesThePendingRowAndLeavesNoFlag) {
    ShippingTypes& w = open<ShippingTypes>();
    GridDriver d(w.ShippingList);
    d.focusIn();
    ASSERT_TRUE(d.edit(1, ShippingTypes::colService, QStringLiteral("Air")));
    ASSERT_TRUE(d.edit(1, ShippingTypes::colOption, QStringLiteral("1 lb")));
    ASSERT_TRUE(d.edit(1, ShippingTypes::colCharge, QStringLiteral("7")));
    ASSERT_TRUE(Globals::RowChanged);
    w.close();
    testsupport::pump();
    EXPECT_FALSE(Form::isLoaded<ShippingTypes>());
    EXPECT_EQ(folder.scalar(QStringLiteral("SELECT service || '|' || [option] || '|' || charge FROM tb_Shipping")),
              "Air|1 lb|7");
    EXPECT_FALSE(Globals::RowChanged);
}

TEST_F(ListGridTemplateTest, RefusedWritesKeepWhatIsStoredAndTheRow) {
    auto refuse = [&](const char* when, const char* table) {
        folder.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE %1 ON %2 BEGIN SELECT RAISE(ABORT, 'disk full'); END")
                        .arg(when, table));
    };
    const QString types = QStringLiteral("SELECT group_concat(type) FROM (SELECT type FROM tb_PaymentTypes ORDER BY 1)");
    PaymentCategories& w = open<PaymentCategories>({"Cash", "Visa"});
    GridDriver d(w.PaymentList);
    d.focusIn();
    refuse("INSERT", "tb_PaymentTypes");
    boxes.expect(vb::vbOK);   // the data layer's report
    ASSERT_TRUE(d.edit(2, 1, QStringLiteral("VISA")));   // only the case changes
    EXPECT_TRUE(boxes.lastPrompt().startsWith("cSetup.ReplacePaymentType -")) << boxes.lastPrompt().toStdString();
    EXPECT_EQ(folder.scalar(types), "Cash,Visa");
    EXPECT_EQ(w.PaymentList.TextMatrix(2, 0), "?");
    folder.exec(QStringLiteral("DROP TRIGGER refuse"));
    d.moveTo(1, 1);
    EXPECT_EQ(folder.scalar(types), "Cash,VISA");

    // A refused delete keeps its row, as the record stays.
    struct Case { controls::FlexGrid* grid; std::function<void()> remove; const char* table; };
    testsupport::ResetWindowsAndState();
    folder.exec(QStringLiteral("INSERT INTO tb_Shipping VALUES ('Air','1 lb',7),('Sea','2 lb',9)"));
    ShippingTypes& s = open<ShippingTypes>();
    PaymentCategories& p = open<PaymentCategories>();
    for (const Case& c : {Case{&p.PaymentList, [&] { p.btnDelete_Click(); }, "tb_PaymentTypes"},
                          Case{&s.ShippingList, [&] { s.btnDelete_Click(); }, "tb_Shipping"}}) {
        c.grid->setRowColSilently(1, 1);
        refuse("DELETE", c.table);
        boxes.expect(vb::vbYes);
        boxes.expect(vb::vbOK);
        c.remove();
        EXPECT_TRUE(boxes.lastPrompt().contains("cSetup.Delete")) << c.table;
        EXPECT_EQ(c.grid->Rows(), 4) << c.table;
        EXPECT_EQ(folder.scalar(QStringLiteral("SELECT count(*) FROM %1").arg(c.table)), "2");
        folder.exec(QStringLiteral("DROP TRIGGER refuse"));
    }
}

} // namespace
