// The shipping options editor: a row is written when the cursor leaves it
// once its service and option are filled; an empty charge is 0; a charge
// that is not money stops the save and loses nothing; edits of the key
// replace the former option, one already listed is refused; delete takes
// exactly the row's option.
#include <memory>
#include <gtest/gtest.h>
#include <QStringList>
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
using S = ShippingTypes;

namespace {

class ShippingTypesTest : public testsupport::WindowFixture {
protected:
    void option(const QString& service, const QString& opt, double charge) {
        folder.exec(QStringLiteral("INSERT INTO tb_Shipping VALUES ('%1','%2',%3)").arg(service, opt).arg(charge));
    }
    ShippingTypes& open() {
        auto setup = testsupport::SharedOnDataFile(Globals::SharedSetup);
        setup->OpenCn();
        Globals::rsShipping = setup->rsShippingTypes();
        setup->CloseCn();
        ShippingTypes& w = Form::get<ShippingTypes>();
        w.Show();
        testsupport::pump();
        return w;
    }
    // service|option|charge of every stored row, in key order.
    QStringList stored() const {
        QStringList out;
        for (const QStringList& r :
             folder.query(QStringLiteral("SELECT service, [option], charge FROM tb_Shipping ORDER BY service, [option]")))
            out << r.join(QLatin1Char('|'));
        return out;
    }
    static QString cell(ShippingTypes& w, int r, int c) { return w.ShippingList.TextMatrix(r, c); }
};

TEST_F(ShippingTypesTest, RowIsWrittenOnLeavingItOnceServiceAndOptionAreFilled) {
    ShippingTypes& w = open();
    EXPECT_EQ(w.Caption(), "Edit / Add Shipping Options");
    EXPECT_EQ(cell(w, 0, S::colOption), "Weight");
    ASSERT_EQ(w.ShippingList.Rows(), 2);
    EXPECT_EQ(cell(w, 1, 0), "*");
    GridDriver d(w.ShippingList);
    d.focusIn();
    ASSERT_TRUE(d.edit(1, S::colService, QStringLiteral("Ground")));
    EXPECT_FALSE(Globals::RowChanged) << "a service without an option is not a record";
    w.btnNew_Click();
    ASSERT_EQ(w.ShippingList.Rows(), 3);
    EXPECT_TRUE(stored().isEmpty());

    ASSERT_TRUE(d.edit(1, S::colOption, QStringLiteral("1 lb")));
    EXPECT_TRUE(Globals::RowChanged);
    EXPECT_EQ(cell(w, 1, 0), "?");
    EXPECT_TRUE(stored().isEmpty()) << "nothing is written before the row is left";
    d.down();
    EXPECT_EQ(stored(), QStringList{"Ground|1 lb|0"});
    EXPECT_EQ(cell(w, 1, S::colCharge), "0");
    EXPECT_EQ(cell(w, 1, 0), "");
    EXPECT_EQ(cell(w, 2, 0), "*");
    EXPECT_FALSE(Globals::RowChanged);
}

TEST_F(ShippingTypesTest, ChargeEditsReplaceTheStoredChargeAndKeyEditsTheStoredOption) {
    option(QStringLiteral("Air"), QStringLiteral("2 lb"), 12.5);
    option(QStringLiteral("Ground"), QStringLiteral("1 lb"), 4.5);
    ShippingTypes& w = open();
    EXPECT_EQ(cell(w, 1, S::colCharge), "$12.50");
    GridDriver d(w.ShippingList);
    d.focusIn();
    ASSERT_TRUE(d.edit(2, S::colCharge, QStringLiteral("5.25")));
    d.up();
    EXPECT_EQ(stored(), (QStringList{"Air|2 lb|12.5", "Ground|1 lb|5.25"}));

    ASSERT_TRUE(d.edit(1, S::colOption, QStringLiteral("3 lb")));   // the charge as loaded, "$12.50"
    d.down();
    EXPECT_EQ(stored(), (QStringList{"Air|3 lb|12.5", "Ground|1 lb|5.25"}));
    ASSERT_EQ(Globals::rsShipping->RecordCount(), 2);

    // An option already listed, in other capitals: refused, the new row taken out.
    w.btnNew_Click();
    ASSERT_TRUE(d.edit(3, S::colService, QStringLiteral("ground")) && d.edit(3, S::colOption, QStringLiteral("1 LB")));
    boxes.expect(vb::vbOK, QStringLiteral("ground 1 LB is already in the list."));
    d.up();
    EXPECT_EQ(QStringList(stored() << cell(w, 3, 0)), (QStringList{"Air|3 lb|12.5", "Ground|1 lb|5.25", "*"}));
}

TEST_F(ShippingTypesTest, ChargeThatIsNotMoneyStopsTheSaveUntilItIsPutRight) {
    option(QStringLiteral("Air"), QStringLiteral("2 lb"), 12.5);
    ShippingTypes& w = open();
    GridDriver d(w.ShippingList);
    d.focusIn();
    ASSERT_TRUE(d.edit(1, S::colCharge, QStringLiteral("abc")));
    boxes.expect(vb::vbOK);
    boxes.expect(vb::vbNo, QStringLiteral("This row could not be saved. Discard it and close?"));
    testsupport::click(w.btnExit);   // the grid loses the focus: the save fails
    ASSERT_EQ(boxes.shown().size(), 2u) << "the failure told once, then the question";
    EXPECT_TRUE(boxes.shown()[0].prompt.startsWith("ShippingTypes.SaveRow -13 ")) << boxes.shown()[0].prompt.toStdString();
    EXPECT_TRUE(Form::isLoaded<ShippingTypes>()) << "No stays so the charge can be put right";
    EXPECT_EQ(stored(), QStringList{"Air|2 lb|12.5"});
    EXPECT_TRUE(Globals::RowChanged);

    boxes.clear();
    d.click(1, S::colCharge);
    ASSERT_TRUE(d.edit(1, S::colCharge, QStringLiteral("13")));
    EXPECT_TRUE(boxes.shown().empty());
    testsupport::click(w.btnExit);
    testsupport::pump();
    EXPECT_FALSE(Form::isLoaded<ShippingTypes>());
    EXPECT_EQ(stored(), QStringList{"Air|2 lb|13"});
    EXPECT_FALSE(Globals::RowChanged);
}

TEST_F(ShippingTypesTest, DeleteAsksWithTheServiceAndTakesExactlyThatOption) {
    option(QStringLiteral("Air"), QStringLiteral("1 lb"), 10);
    option(QStringLiteral("Air"), QStringLiteral("2 lb"), 12);
    ShippingTypes& w = open();
    GridDriver d(w.ShippingList);
    d.click(2, S::colService);
    boxes.expect(vb::vbYes, QStringLiteral("Delete Shipping Option ... Air?"));
    testsupport::click(w.btnDelete);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, "Delete Shipping Option?");
    EXPECT_EQ(stored(), QStringList{"Air|1 lb|10"});
    EXPECT_EQ(w.ShippingList.Rows(), 2);
    EXPECT_EQ(Globals::rsShipping->RecordCount(), 1);
}

} // namespace
