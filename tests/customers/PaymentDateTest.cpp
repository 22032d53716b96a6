// The date picker: for the payments register (placement, Enter, Escape,
// Cancel, a closed register) and for the payment and deposit register,
// which reaches it through ServeRegister.
#include <gtest/gtest.h>
#include "controls/FlexGrid.h"
#include "customers/Customer.h"
#include "customers/PaymentDate.h"
#include "customers/Receipts.h"
#include "data/Globals.h"
#include "forms/Form.h"
#include "support/FormDriver.h"
#include "support/GridDriver.h"
#include "support/WindowFixture.h"

using forms::Form;
using testsupport::GridDriver;
using testsupport::ModalAnswer;
using R = Receipts;

namespace {

// Stands in for the payment and deposit register: a window with a grid
// whose column 2 holds the date.
class FakeRegister : public forms::Form {
public:
    controls::FlexGrid PaymentList{this};
    FakeRegister() {
        PaymentList.setEditable(true);
        PaymentList.setCols(5);
        PaymentList.setRows(4);
        PaymentList.Move(300, 900, 6000, 3000);
    }
};

class PaymentDateTest : public testsupport::WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        folder.exec("INSERT INTO tb_Client (CustNum, Lname, Fname) VALUES (1001,'Smith','John');");
    }
    void TearDown() override {
        PaymentDate::ServeRegister(PaymentDate::RegisterWindow{});
        WindowFixture::TearDown();
    }
    Receipts& openRegister() {
        Form::get<Customer>();
        Receipts& w = Form::get<Receipts>();
        w.Move(1500, 1200, 9000, 6000);
        w.Show();
        testsupport::pump();
        return w;
    }
};

TEST_F(PaymentDateTest, OpensOverTheRegisterOnTodayAndEnterPicksTheHighlightedDate) {
    Receipts& w = openRegister();
    GridDriver d(w.PaymentList);
    d.focusIn();
    int left = 0, top = 0;
    vb::Date shown;
    {
        ModalAnswer answer([&](Form& f) {
            auto& p = static_cast<PaymentDate&>(f);
            EXPECT_EQ(p.Caption(), "Select Date...");
            EXPECT_EQ(p.Command1.Caption(), "&Cancel");
            EXPECT_EQ(p.Owner(), &w);
            left = p.Left();
            top = p.Top();
            shown = p.PayDate.Value();
            p.PayDate.setValue(vb::Date::fromYmd(2026, 4, 2));
            testsupport::key(&p.PayDate, Qt::Key_Return);
        });
        d.cellButton();
    }
    EXPECT_EQ(Globals::DateCaller, "Receipts");
    EXPECT_EQ(left, w.Left());
    EXPECT_EQ(top, w.Top());
    EXPECT_EQ(shown, vb::Date::fromYmd(2026, 12, 9));
    EXPECT_FALSE(Form::isLoaded<PaymentDate>());
    EXPECT_EQ(w.PaymentList.TextMatrix(1, R::colDate), "4/2/2026");
    EXPECT_FALSE(Globals::DatePicked) << "the register's replay consumed the pick";
    EXPECT_TRUE(Globals::RowChanged);
    EXPECT_EQ(w.PaymentList.Col(), R::colType);
}

TEST_F(PaymentDateTest, EscapeAndCancelCloseWithoutAPick) {
    Receipts& w = openRegister();
    GridDriver d(w.PaymentList);
    d.focusIn();
    for (const bool escape : {true, false}) {
        {
            ModalAnswer answer([&](Form& f) {
                auto& p = static_cast<PaymentDate&>(f);
                if (escape) testsupport::key(&p.PayDate, Qt::Key_Escape);
                else testsupport::click(p.Command1);
            });
            w.PaymentList.setRowColSilently(1, R::colDate);
            d.cellButton();
        }
        EXPECT_FALSE(Form::isLoaded<PaymentDate>()) << escape;
        EXPECT_EQ(w.PaymentList.TextMatrix(1, R::colDate), "") << escape;
        EXPECT_FALSE(Globals::DatePicked) << escape;
        EXPECT_FALSE(Globals::RowChanged) << escape;
    }
}

TEST_F(PaymentDateTest, NothingIsWrittenForACallerThatIsNotOpen) {
    for (const char* caller : {"Receipts", "Payments"}) {
        Globals::DateCaller = QString::fromLatin1(caller);
        PaymentDate& p = Form::get<PaymentDate>();
        p.Show();
        p.PayDate.ClickDate(vb::Date::fromYmd(2026, 5, 1));
        EXPECT_FALSE(Form::isLoaded<PaymentDate>()) << caller;
        EXPECT_FALSE(Form::isLoaded<Receipts>()) << caller;
        EXPECT_FALSE(Globals::DatePicked) << caller;
        EXPECT_FALSE(Globals::RowChanged) << caller;
        testsupport::pump();
    }
}

TEST_F(PaymentDateTest, ServesTheRegisterBesideItsCurrentCell) {
    PaymentDate::ServeRegister<FakeRegister>();
    FakeRegister& gl = Form::get<FakeRegister>();
    gl.Move(1500, 1500, 9000, 6000);
    gl.Show();
    testsupport::pump();
    gl.PaymentList.setRowColSilently(1, 1);
    Globals::DateCaller = "Payments";
    PaymentDate& p = Form::get<PaymentDate>();
    p.Show(false, &gl);
    const controls::FlexGrid& g = gl.PaymentList;
    const QPoint at = PaymentDate::PlaceBesideCell(gl.Left(), gl.Top(), gl.Height(), g.Left(), g.Top(), g.CellLeft(),
                                                   g.CellTop(), g.CellWidth(), p.Height());
    EXPECT_NEAR(p.Left(), at.x(), 15);
    EXPECT_NEAR(p.Top(), at.y(), 15);

    p.PayDate.ClickDate(vb::Date::fromYmd(2026, 6, 30));
    EXPECT_FALSE(Form::isLoaded<PaymentDate>());
    EXPECT_EQ(gl.PaymentList.TextMatrix(1, 2), "6/30/2026");
    EXPECT_TRUE(Globals::DatePicked) << "the register's own focus handler clears it";
    EXPECT_TRUE(Globals::RowChanged);
}

TEST_F(PaymentDateTest, PlacementRightOfTheCellKeptInsideTheRegister) {
    struct Case { int cellTop; int top; const char* what; };
    // Register at (1000, 2000), 6000 high; grid at (720, 600); cell 300 in,
    // 1000 wide; the popup 3000 high.
    const Case cases[] = {
        {240, 2000 + 600 + 240, "level with the cell"},
        {2400, 2000 + 600 + 2400, "bottom just on the register's edge"},
        {4000, 2000 + 6000 - 3000, "moved up to the register's bottom edge"},
        {-4000, 2000, "never above the register's top"},
    };
    for (const Case& c : cases) {
        const QPoint at = PaymentDate::PlaceBesideCell(1000, 2000, 6000, 720, 600, 300, c.cellTop, 1000, 3000);
        EXPECT_EQ(at.x(), 1000 + 720 + 300 + 1000) << c.what;
        EXPECT_EQ(at.y(), c.top) << c.what;
    }
}

} // namespace
