// The expense-type editor: the register's category list it leaves behind
// however it closes, and its delete question.
#include <memory>
#include <gtest/gtest.h>
#include <QStringList>
#include "books/ExpenseTypes.h"
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

class ExpenseTypesTest : public testsupport::WindowFixture {
protected:
    void types(const QStringList& list) {
        for (const QString& t : list) folder.exec(QStringLiteral("INSERT INTO tb_ExpenseTypes VALUES ('%1')").arg(t));
    }
    ExpenseTypes& open() {
        auto setup = testsupport::SharedOnDataFile(Globals::SharedSetup);
        setup->OpenCn();
        Globals::rsExpTypes = setup->rsExpenseTypes();
        setup->CloseCn();
        ExpenseTypes::LastCategoryList = QStringLiteral("untouched");
        ExpenseTypes& w = Form::get<ExpenseTypes>();
        w.Show();
        testsupport::pump();
        return w;
    }
};

TEST_F(ExpenseTypesTest, ExitGivesTheRegisterTheStoredTypesNumberedFromThree) {
    types({"Travel"});
    ExpenseTypes& w = open();
    EXPECT_EQ(w.Caption(), "Edit / Add Expense Types");
    EXPECT_EQ(w.PaymentList.TextMatrix(0, 1), "Expense Types");
    GridDriver d(w.PaymentList);
    d.focusIn();
    w.btnNew_Click();
    ASSERT_TRUE(d.edit(2, 1, QStringLiteral("Rent")));
    testsupport::click(w.btnExit);
    testsupport::pump();
    EXPECT_FALSE(Form::isLoaded<ExpenseTypes>());
    EXPECT_EQ(ExpenseTypes::LastCategoryList, "#3;Rent|#4;Travel");
}

TEST_F(ExpenseTypesTest, EmptyListAndTheCloseBoxStillRenewTheRegistersList) {
    ExpenseTypes& w = open();
    ASSERT_EQ(w.PaymentList.Rows(), 2);
    EXPECT_EQ(w.PaymentList.TextMatrix(1, 0), "*");
    w.close();   // the close box
    testsupport::pump();
    EXPECT_FALSE(Form::isLoaded<ExpenseTypes>());
    EXPECT_EQ(ExpenseTypes::LastCategoryList, "");
}

TEST_F(ExpenseTypesTest, DeleteNamesTheTypeAndRemovesIt) {
    types({"Rent", "Travel"});
    ExpenseTypes& w = open();
    GridDriver d(w.PaymentList);
    d.click(1, 1);
    boxes.expect(vb::vbYes, QStringLiteral("Delete expense type... Rent?"));
    testsupport::click(w.btnDelete);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, "Delete Expense Type");
    EXPECT_EQ(folder.scalar(QStringLiteral("SELECT group_concat(type) FROM tb_ExpenseTypes")), "Travel");
    EXPECT_EQ(ExpenseTypes::CategoryList(Globals::rsExpTypes), "#3;Travel");
}

} // namespace
