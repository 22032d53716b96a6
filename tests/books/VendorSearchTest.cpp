// The vendor picker: its list, OK into the payments grid by button, Enter
// and double click, the header, Cancel, and a payments window that is gone.
#include <gtest/gtest.h>
#include "books/VendorSearch.h"
#include "customers/Customer.h"
#include "customers/Receipts.h"
#include "data/Globals.h"
#include "forms/Form.h"
#include "support/FormDriver.h"
#include "support/GridDriver.h"
#include "support/WindowFixture.h"

using forms::Form;
using testsupport::GridDriver;
using R = Receipts;

namespace {

class VendorSearchTest : public testsupport::WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        folder.exec("insert into tb_Vendor (VendorNum, Company) values (1001, 'Zenith'), (1002, 'acme'), (1003, 'Bolt')");
        folder.exec("insert into tb_Client (CustNum, Lname, Fname) values (1001, 'Smith', 'John')");
        Form::get<Customer>();   // start-up makes the shared vendor instance
    }
    Receipts& payments() {
        Globals::CurrentCustNum = -1;
        Receipts& w = Form::get<Receipts>();
        w.Show();
        Globals::PickRow = 1;
        return w;
    }
};

TEST_F(VendorSearchTest, ListsEveryVendorByCompanyWithItsNumber) {
    auto before = Globals::rsVendors;
    VendorSearch& p = Form::get<VendorSearch>();
    EXPECT_EQ(p.Caption(), "Vendor Listing");
    EXPECT_EQ(p.btnOK.Caption(), "&Ok");
    EXPECT_EQ(p.btnCancel.Caption(), "&Cancel");
    EXPECT_EQ(p.VendorList.FormatString(), "Name|vendornum");
    EXPECT_EQ(p.VendorList.ColWidth(0), 2200);
    EXPECT_EQ(p.VendorList.ColWidth(1), 500);
    ASSERT_EQ(p.VendorList.Rows(), 4);
    EXPECT_EQ(p.VendorList.TextMatrix(1, 0), "acme");
    EXPECT_EQ(p.VendorList.TextMatrix(1, 1), "1002");
    EXPECT_EQ(p.VendorList.TextMatrix(2, 0), "Bolt");
    EXPECT_EQ(p.VendorList.TextMatrix(3, 0), "Zenith");
    EXPECT_EQ(Globals::rsVendors, before) << "the shared vendor list is left to its readers";
}

TEST_F(VendorSearchTest, OkEnterAndDoubleClickWriteTheVendorIntoThePaymentRow) {
    enum class How { Button, Enter, DoubleClick };
    for (How how : {How::Button, How::Enter, How::DoubleClick}) {
        SCOPED_TRACE(int(how));
        Receipts& w = payments();
        Globals::VendorPicked = false;
        VendorSearch& p = Form::get<VendorSearch>();
        p.Show();
        GridDriver list(p.VendorList);
        list.click(2, 0);
        switch (how) {
        case How::Button: testsupport::click(p.btnOK); break;
        case How::Enter: list.enter(); break;
        case How::DoubleClick: list.dblClick(2, 0); break;
        }
        EXPECT_FALSE(Form::isLoaded<VendorSearch>());
        EXPECT_TRUE(Globals::VendorPicked);
        EXPECT_EQ(w.PaymentList.TextMatrix(1, R::colCustNum), "1003");
        EXPECT_EQ(w.PaymentList.TextMatrix(1, R::colClient), "Bolt");
        testsupport::pump();
        w.PaymentList.setTextMatrix(1, R::colCustNum, "");
        w.PaymentList.setTextMatrix(1, R::colClient, "");
    }
}

TEST_F(VendorSearchTest, TheHeaderPicksNothingAndCancelWritesNothing) {
    Receipts& w = payments();
    VendorSearch& p = Form::get<VendorSearch>();
    p.Show();
    GridDriver list(p.VendorList);
    list.click(0, 0);
    ASSERT_EQ(p.VendorList.Row(), 0);
    p.btnOK_Click();
    EXPECT_TRUE(Form::isLoaded<VendorSearch>());

    list.click(1, 0);
    p.btnCancel_Click();
    EXPECT_FALSE(Form::isLoaded<VendorSearch>());
    EXPECT_EQ(w.PaymentList.TextMatrix(1, R::colClient), "");
    EXPECT_FALSE(Globals::VendorPicked);
}

TEST_F(VendorSearchTest, OkWithThePaymentsWindowClosedOpensNothing) {
    VendorSearch& p = Form::get<VendorSearch>();
    p.Show();
    p.btnOK_Click();
    EXPECT_FALSE(Form::isLoaded<VendorSearch>());
    EXPECT_FALSE(Form::isLoaded<Receipts>());
    EXPECT_FALSE(Globals::VendorPicked);
}

} // namespace
