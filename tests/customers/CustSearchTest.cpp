// The client picker: its list, OK on the header and on a client, the
// register's replay of the pick, Cancel, and a register that is gone.
#include <gtest/gtest.h>
#include "customers/CustSearch.h"
#include "customers/Customer.h"
#include "customers/Receipts.h"
#include "data/Globals.h"
#include "forms/Form.h"
#include "support/FormDriver.h"
#include "support/GridDriver.h"
#include "support/WindowFixture.h"
#include "vb/MsgBox.h"

using forms::Form;
using testsupport::GridDriver;
using R = Receipts;

namespace {

class CustSearchTest : public testsupport::WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        folder.exec("INSERT INTO tb_Client (CustNum, Lname, Fname) VALUES "
                    "(1001,'Smith','John'),(1002,'young','Amy'),(1003,'Baker','Cy');");
        Form::get<Customer>();   // start-up fills the shared client list
    }
    // The register on all clients, and the picker opened from a row's client cell.
    CustSearch& pickFor(Receipts& w, GridDriver& d, int row) {
        d.moveTo(row, R::colClient);
        d.cellButton();
        EXPECT_TRUE(Form::isLoaded<CustSearch>());
        return Form::get<CustSearch>();
    }
    Receipts& openAllClients() {
        Globals::CurrentCustNum = -1;
        Receipts& w = Form::get<Receipts>();
        w.Show();
        w.CmbReceipt.Pick(1);
        return w;
    }
};

TEST_F(CustSearchTest, ListsEveryClientByNameWithTheNumberHidden) {
    CustSearch& p = Form::get<CustSearch>();
    EXPECT_EQ(p.Caption(), "Select Client");
    EXPECT_EQ(p.btnOK.Caption(), "&Ok");
    EXPECT_EQ(p.btnCancel.Caption(), "&Cancel");
    EXPECT_EQ(p.CustList.FormatString(), "Name|custnum");
    EXPECT_EQ(p.CustList.ColWidth(0), 2000);
    EXPECT_EQ(p.CustList.ColWidth(1), 0);
    ASSERT_EQ(p.CustList.Rows(), 4);
    EXPECT_EQ(p.CustList.TextMatrix(1, 0), "Baker, Cy");
    EXPECT_EQ(p.CustList.TextMatrix(2, 0), "Smith, John");
    EXPECT_EQ(p.CustList.TextMatrix(3, 0), "young, Amy");
    EXPECT_EQ(p.CustList.TextMatrix(3, 1), "1002");
}

TEST_F(CustSearchTest, PickedClientCompletesTheRowThroughTheReplay) {
    Receipts& w = openAllClients();
    GridDriver d(w.PaymentList);
    d.focusIn();
    ASSERT_TRUE(d.edit(1, R::colDate, "3/1/2026"));
    ASSERT_TRUE(d.edit(1, R::colType, "Cash"));
    ASSERT_TRUE(d.edit(1, R::colAmount, "20"));
    EXPECT_EQ(w.PaymentList.Rows(), 2) << "no client yet: the row is not complete";

    CustSearch& p = pickFor(w, d, 1);
    EXPECT_EQ(p.Owner(), &w);
    EXPECT_EQ(Globals::PickRow, 1);
    EXPECT_FALSE(p.IsModal());
    GridDriver list(p.CustList);
    list.click(3, 0);
    testsupport::click(p.btnOK);

    EXPECT_FALSE(Form::isLoaded<CustSearch>());
    EXPECT_EQ(Globals::CurrentCustNum, 1002);
    EXPECT_EQ(Globals::CurrentCustName, "young, Amy") << "no trailing blank from the picker";
    EXPECT_EQ(w.PaymentList.TextMatrix(1, R::colCustNum), "1002");
    EXPECT_EQ(w.PaymentList.TextMatrix(1, R::colClient), "young, Amy");
    // The grid got the focus back and replayed the edit at Amount.
    EXPECT_FALSE(Globals::ClientPicked);
    EXPECT_EQ(w.PaymentList.Col(), R::colAmount);
    EXPECT_EQ(w.PaymentList.TextMatrix(1, R::colAmount), "$20.00");
    EXPECT_EQ(w.PaymentList.TextMatrix(1, R::colKey), "0");
    ASSERT_EQ(w.PaymentList.Rows(), 3);

    d.down();
    EXPECT_EQ(folder.scalar("SELECT CustNum || ' ' || Amount FROM tb_Receive"), "1002 20");
}

TEST_F(CustSearchTest, OkOnTheHeaderDoesNothingAndCancelWritesNothing) {
    Receipts& w = openAllClients();
    GridDriver d(w.PaymentList);
    d.focusIn();
    CustSearch& p = pickFor(w, d, 1);
    GridDriver list(p.CustList);
    list.click(0, 0);
    ASSERT_EQ(p.CustList.Row(), 0);
    p.btnOK_Click();
    EXPECT_TRUE(Form::isLoaded<CustSearch>()) << "the header is no client: the dialog stays";
    EXPECT_EQ(Globals::CurrentCustNum, -1);

    list.click(2, 0);
    Globals::DatePicked = true;
    p.btnCancel_Click();
    EXPECT_FALSE(Form::isLoaded<CustSearch>());
    EXPECT_EQ(Globals::CurrentCustNum, -1);
    EXPECT_EQ(w.PaymentList.TextMatrix(1, R::colClient), "");
    EXPECT_FALSE(Globals::ClientPicked);
    Globals::DatePicked = false;
}

TEST_F(CustSearchTest, EnterAndDoubleClickPickToo) {
    for (const bool byEnter : {true, false}) {
        Receipts& w = openAllClients();
        GridDriver d(w.PaymentList);
        d.focusIn();
        CustSearch& p = pickFor(w, d, 1);
        GridDriver list(p.CustList);
        if (byEnter) {
            list.click(1, 0);
            list.enter();
        } else {
            list.dblClick(1, 0);
        }
        EXPECT_FALSE(Form::isLoaded<CustSearch>()) << byEnter;
        EXPECT_EQ(w.PaymentList.TextMatrix(1, R::colCustNum), "1003") << byEnter;
        Form::Unload(w);
        testsupport::pump();
    }
}

TEST_F(CustSearchTest, NothingIsWrittenIntoAClosedRegisterOrOutsideItsGrid) {
    CustSearch& p = Form::get<CustSearch>();
    p.CustList.setRowColSilently(1, 0);
    const int before = Globals::CurrentCustNum;
    p.btnOK_Click();
    EXPECT_FALSE(Form::isLoaded<CustSearch>());
    EXPECT_FALSE(Form::isLoaded<Receipts>()) << "not brought back by the pick";
    EXPECT_EQ(Globals::CurrentCustNum, before);
    EXPECT_FALSE(Globals::ClientPicked);

    Receipts& w = openAllClients();
    CustSearch& again = Form::get<CustSearch>();
    again.Show(false, &w);
    again.CustList.setRowColSilently(1, 0);
    Globals::PickRow = 99;
    boxes.expect(vb::vbOK);
    again.btnOK_Click();
    EXPECT_TRUE(boxes.lastPrompt().startsWith("CustSearch.btnOK_Click -"));
    EXPECT_FALSE(Globals::ClientPicked);
}

TEST_F(CustSearchTest, RefillingTheRegisterClosesThePicker) {
    Receipts& w = openAllClients();
    GridDriver d(w.PaymentList);
    d.focusIn();
    pickFor(w, d, 1);
    w.btnGo_Click();
    EXPECT_FALSE(Form::isLoaded<CustSearch>());
}

} // namespace
