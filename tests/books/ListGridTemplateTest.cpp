// The list-grid template as its plainest member shows it: loading, New and
// its scrolling, the markers (a type named "0" included), the step back to an
// empty row above, delete on a blank row, a pending row saved by the close
// box, and writes the data file refuses.
#include <functional>
#include <memory>
#include <gtest/gtest.h>
#include <QStringList>
#include "books/ExpenseTypes.h"
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
        auto setup = std::make_shared<cSetup>();
        setup->InitAccess(Globals::DataFilePath());
        Globals::SharedSetup = setup;
        setup->OpenCn();
        Globals::rsPayTypes = setup->rsPaymentTypes();
        Globals::rsExpTypes = setup->rsExpenseTypes();
        Globals::rsShipping = setup->rsShippingTypes();
        setup->CloseCn();
        W& w = Form::get<W>();
        w.Show();
        testsupport::pump();
        return w;
    }
    QString stored(const QString& table) const {
        return folder.scalar(QStringLiteral("SELECT group_concat(type, ',') FROM (SELECT type FROM %1 ORDER BY type)").arg(table));
    }
    void refuse(const QString& when, const QString& table) {
        folder.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE %1 ON %2 BEGIN SELECT RAISE(ABORT, 'disk full'); END")
                        .arg(when, table));
    }
    // "Visa" to "VISA" while the data file refuses inserts: the former text
    // stays stored and the row stays pending until a leave stores it.
    template <class W>
    void caseChangeRefused(const QString& table, const QString& label) {
        SCOPED_TRACE(table.toStdString());
        testsupport::ResetWindowsAndState();
        boxes.clear();
        folder.exec(QStringLiteral("INSERT INTO %1 VALUES ('Cash'),('Visa')").arg(table));
        W& w = open<W>();
        GridDriver d(w.PaymentList);
        d.focusIn();
        refuse(QStringLiteral("INSERT"), table);
        boxes.expect(vb::vbOK);   // the data layer's report
        ASSERT_TRUE(d.edit(2, 1, QStringLiteral("VISA")));
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_TRUE(boxes.lastPrompt().startsWith(label)) << boxes.lastPrompt().toStdString();
        EXPECT_EQ(stored(table), "Cash,Visa");
        EXPECT_EQ(w.PaymentList.TextMatrix(2, 0), "?");
        EXPECT_TRUE(Globals::RowChanged);

        folder.exec(QStringLiteral("DROP TRIGGER refuse"));
        d.moveTo(1, 1);
        EXPECT_EQ(stored(table), "Cash,VISA");
        EXPECT_FALSE(Globals::RowChanged);
        EXPECT_EQ(w.PaymentList.TextMatrix(2, 0), "");
        folder.exec(QStringLiteral("DELETE FROM %1").arg(table));
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
        EXPECT_EQ(w.PaymentList.Rows(), c.stored == 0 ? 2 : c.stored + 1) << "a blank row only for an empty table";
        w.btnNew_Click();
        EXPECT_EQ(w.PaymentList.Rows(), c.rowsAfter);
        EXPECT_EQ(w.PaymentList.TopRow(), c.topRowAfter);
        EXPECT_EQ(w.PaymentList.Row(), c.rowsAfter - 1);
        EXPECT_EQ(w.PaymentList.TextMatrix(c.rowsAfter - 1, 0), "*");
        w.btnNew_Click();
        EXPECT_EQ(w.PaymentList.Rows(), c.rowsAfter) << "the blank last row is used again";
    }
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

TEST_F(ListGridTemplateTest, CaseOnlyChangeIsOneStepThatKeepsTheFormerTextWhenRefused) {
    caseChangeRefused<PaymentCategories>(QStringLiteral("tb_PaymentTypes"), QStringLiteral("cSetup.ReplacePaymentType -"));
    caseChangeRefused<ExpenseTypes>(QStringLiteral("tb_ExpenseTypes"), QStringLiteral("cSetup.ReplaceExpenseType -"));
}

TEST_F(ListGridTemplateTest, RefusedDeleteKeepsTheRowAndTellsWhy) {
    struct Case {
        QString table;
        QString label;
        std::function<controls::FlexGrid&()> open;
        std::function<void()> remove;
    };
    const Case cases[] = {
        {"tb_PaymentTypes", "cSetup.DeletePaymentType -",
         [&]() -> controls::FlexGrid& { return open<PaymentCategories>({"Cash", "Visa"}).PaymentList; },
         [] { Form::get<PaymentCategories>().btnDelete_Click(); }},
        {"tb_ExpenseTypes", "cSetup.DeleteExpenseType -",
         [&]() -> controls::FlexGrid& {
             folder.exec(QStringLiteral("INSERT INTO tb_ExpenseTypes VALUES ('Cash'),('Visa')"));
             return open<ExpenseTypes>().PaymentList;
         },
         [] { Form::get<ExpenseTypes>().btnDelete_Click(); }},
        {"tb_Shipping", "cSetup.DeleteShippingType -",
         [&]() -> controls::FlexGrid& {
             folder.exec(QStringLiteral("INSERT INTO tb_Shipping VALUES ('Cash','1 lb',7),('Visa','2 lb',9)"));
             return open<ShippingTypes>().ShippingList;
         },
         [] { Form::get<ShippingTypes>().btnDelete_Click(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table.toStdString());
        testsupport::ResetWindowsAndState();
        controls::FlexGrid& g = c.open();
        GridDriver d(g);
        d.click(1, 1);
        refuse(QStringLiteral("DELETE"), c.table);
        boxes.expect(vb::vbYes);
        boxes.expect(vb::vbOK);   // the data layer's report
        c.remove();
        ASSERT_EQ(boxes.shown().size(), 2u);
        EXPECT_TRUE(boxes.lastPrompt().startsWith(c.label)) << boxes.lastPrompt().toStdString();
        EXPECT_EQ(folder.scalar(QStringLiteral("SELECT count(*) FROM %1").arg(c.table)), "2");
        ASSERT_EQ(g.Rows(), 3) << "the row stays, as the record does";
        EXPECT_EQ(g.TextMatrix(1, 1), "Cash");
        folder.exec(QStringLiteral("DROP TRIGGER refuse"));
        folder.exec(QStringLiteral("DELETE FROM %1").arg(c.table));
        boxes.clear();
    }
}

} // namespace
