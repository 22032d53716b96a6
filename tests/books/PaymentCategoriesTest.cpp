// The payment-type editor: a type typed in is stored at once, an edited type
// replaces the former one with the payments that use it, a type already in
// the list is refused, delete asks first, and a failed save stays pending
// until it is written.
#include <memory>
#include <gtest/gtest.h>
#include <QStringList>
#include "books/PaymentCategories.h"
#include "data/Globals.h"
#include "data/cSetup.h"
#include "forms/Form.h"
#include "support/FormDriver.h"
#include "support/GridDriver.h"
#include "support/WindowFixture.h"
#include "vb/Conv.h"
#include "vb/MsgBox.h"

using forms::Form;
using testsupport::GridDriver;

namespace {

class PaymentCategoriesTest : public testsupport::WindowFixture {
protected:
    void types(const QStringList& list) {
        for (const QString& t : list) folder.exec(QStringLiteral("INSERT INTO tb_PaymentTypes VALUES ('%1')").arg(t));
    }
    // What start-up leaves: the shared setup instance and the loaded list.
    static void startUp() {
        auto setup = testsupport::SharedOnDataFile(Globals::SharedSetup);
        setup->OpenCn();
        Globals::rsPayTypes = setup->rsPaymentTypes();
        setup->CloseCn();
    }
    PaymentCategories& open() {
        if (!Globals::SharedSetup) startUp();
        PaymentCategories& w = Form::get<PaymentCategories>();
        w.Show();
        testsupport::pump();
        return w;
    }
    QStringList stored() const {
        QStringList out;
        for (const QStringList& r : folder.query(QStringLiteral("SELECT type FROM tb_PaymentTypes ORDER BY rowid")))
            out << r.value(0);
        return out;
    }
    static QStringList shared() {
        QStringList out;
        ado::RecordsetPtr rs = Globals::rsPayTypes;
        if (rs->RecordCount() > 0) rs->MoveFirst();
        for (; !rs->Eof(); rs->MoveNext()) out << vb::CStr(rs->Fields("Type").Value());
        return out;
    }
    static QString cell(PaymentCategories& w, int r, int c) { return w.PaymentList.TextMatrix(r, c); }
};

TEST_F(PaymentCategoriesTest, TypeTypedIntoAnEmptyListIsStoredAtOnce) {
    PaymentCategories& w = open();
    EXPECT_EQ(w.Caption(), "Edit / Add Payment Categories");
    EXPECT_EQ(cell(w, 0, 1), "Payment Type");
    ASSERT_EQ(w.PaymentList.Rows(), 2);
    EXPECT_EQ(cell(w, 1, 0), "*");

    GridDriver d(w.PaymentList);
    d.focusIn();
    ASSERT_TRUE(d.edit(1, 1, QStringLiteral("Cash")));
    EXPECT_EQ(stored(), QStringList{"Cash"});
    EXPECT_EQ(shared(), QStringList{"Cash"}) << "the other windows see the new type at once";
    EXPECT_NE(cell(w, 1, 0), "*");
    EXPECT_FALSE(Globals::RowChanged);
}

TEST_F(PaymentCategoriesTest, EditsReplaceTheFormerTypeAndNeverStoreATypeTwice) {
    types({"Cash", "Check"});
    folder.exec(QStringLiteral("INSERT INTO tb_Client (CustNum, Lname, PaymentType2) VALUES (1001, 'Smith', 'check')"));
    folder.exec(QStringLiteral("INSERT INTO tb_Receive VALUES (1001,1001,'Check','','2026-02-01 00:00:00',5,NULL)"));
    PaymentCategories& w = open();
    GridDriver d(w.PaymentList);
    d.focusIn();

    ASSERT_TRUE(d.edit(1, 1, QStringLiteral("Cash")));   // Enter on an unchanged text
    EXPECT_EQ(stored(), (QStringList{"Cash", "Check"}));

    ASSERT_TRUE(d.edit(2, 1, QStringLiteral("Cheque")));
    EXPECT_EQ(stored(), (QStringList{"Cash", "Cheque"}));
    EXPECT_EQ(folder.scalar(QStringLiteral("SELECT Type || PaymentType2 FROM tb_Receive, tb_Client")), "ChequeCheque")
        << "the payments and the cards that use it follow";

    ASSERT_TRUE(d.edit(1, 1, QStringLiteral("CASH")));   // only the case changed
    EXPECT_EQ(stored(), (QStringList{"Cheque", "CASH"}));

    w.btnNew_Click();
    ASSERT_EQ(w.PaymentList.Rows(), 4);
    boxes.expect(vb::vbOK, QStringLiteral("cheque is already in the list."));
    ASSERT_TRUE(d.edit(3, 1, QStringLiteral("cheque")));   // a new row: taken out again
    EXPECT_EQ(stored(), (QStringList{"Cheque", "CASH"}));
    EXPECT_EQ(cell(w, 3, 1), "");
    boxes.expect(vb::vbOK, QStringLiteral("Cash is already in the list."));
    ASSERT_TRUE(d.edit(2, 1, QStringLiteral("Cash")));   // a stored row: its text back
    EXPECT_EQ(cell(w, 2, 1), "Cheque");

    ASSERT_TRUE(d.edit(3, 1, QStringLiteral("Mom's card")));
    EXPECT_EQ(stored(), (QStringList{"Cheque", "CASH", "Mom's card"}));
}

TEST_F(PaymentCategoriesTest, EmptyingATypeStoresNothingAndItComesBack) {
    types({"Cash", "Visa"});
    PaymentCategories& w = open();
    GridDriver d(w.PaymentList);
    d.focusIn();
    ASSERT_TRUE(d.edit(2, 1, QString()));
    EXPECT_EQ(stored(), (QStringList{"Cash", "Visa"}));
    d.up();
    EXPECT_EQ(cell(w, 2, 0), "*");

    w.btnExit_Click();
    testsupport::pump();
    EXPECT_FALSE(Form::isLoaded<PaymentCategories>());
    PaymentCategories& again = open();
    EXPECT_EQ(cell(again, 2, 1), "Visa");
}

TEST_F(PaymentCategoriesTest, DeleteAsksAndTakesEveryStoredRowOfExactlyTheType) {
    types({"Cash", "Visa", "Visa"});
    folder.exec(QStringLiteral("INSERT INTO tb_Client (CustNum, Lname) VALUES (1001, 'Smith')"));
    folder.exec(QStringLiteral("INSERT INTO tb_Receive VALUES (1001,1001,'Visa','','2026-02-01 00:00:00',5,NULL)"));
    PaymentCategories& w = open();
    GridDriver d(w.PaymentList);
    d.click(2, 1);

    boxes.expect(vb::vbNo, QStringLiteral("1 payment received uses Visa. It keeps it. Delete the type from the list?"));
    testsupport::click(w.btnDelete);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, "Delete Payment Type");
    EXPECT_EQ(boxes.shown()[0].buttons, vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2);
    EXPECT_EQ(w.PaymentList.Rows(), 4);

    boxes.expect(vb::vbYes);
    testsupport::click(w.btnDelete);
    EXPECT_EQ(stored(), QStringList{"Cash"});
    EXPECT_EQ(shared(), QStringList{"Cash"});
    EXPECT_EQ(w.PaymentList.Rows(), 2) << "the grid shows what the file holds";
    EXPECT_EQ(folder.scalar(QStringLiteral("SELECT Type FROM tb_Receive")), "Visa")
        << "payments keep their type";
}

TEST_F(PaymentCategoriesTest, FailedSaveStaysPendingAndIsWrittenWhenTheRowIsLeft) {
    types({"Cash"});
    PaymentCategories& w = open();
    folder.exec(QStringLiteral(
        "CREATE TRIGGER full BEFORE INSERT ON tb_PaymentTypes BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
    GridDriver d(w.PaymentList);
    d.focusIn();
    w.btnNew_Click();
    boxes.expect(vb::vbOK);
    ASSERT_TRUE(d.edit(2, 1, QStringLiteral("Visa")));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(boxes.lastPrompt().startsWith("cSetup.SavePaymentType -")) << boxes.lastPrompt().toStdString();
    EXPECT_EQ(cell(w, 2, 0), "?");
    EXPECT_TRUE(Globals::RowChanged);

    folder.exec(QStringLiteral("DROP TRIGGER full"));
    d.up();
    EXPECT_EQ(stored(), (QStringList{"Cash", "Visa"}));
    EXPECT_FALSE(Globals::RowChanged);
    EXPECT_EQ(cell(w, 2, 0), "");
}

} // namespace
