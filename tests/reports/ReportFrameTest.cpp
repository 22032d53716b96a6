#include <gtest/gtest.h>
#include <QDir>
#include "customers/StatusWindow.h"
#include "data/Client.h"
#include "data/Globals.h"
#include "data/Invoice.h"
#include "data/cSetup.h"
#include "reports/ReportFrame.h"
#include "support/FormDriver.h"
#include "support/WindowFixture.h"
#include "vb/Conv.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

using forms::Form;
using printer::PlacedText;

namespace {

// A customer document window as the report windows build theirs: busy
// window, trapped load, the shared blocks.
class SampleStatement : public reports::CustomerReportFrame {
public:
    static inline int loads = 0;
    static inline bool failAfterStart = false;
    SampleStatement() { setCaption(QStringLiteral("Print Receipt")); }
    void Form_Load() override {
        ++loads;
        ShowBusy<LoadingBilling>();
        const bool ok = vb::Trap(QStringLiteral("SampleStatement.Form_Load -"), [&] {
            reports::ReportOpening(VSInvoice, false);
            reports::LetterheadBlock(VSInvoice);
            if (failAfterStart) throw vb::RuntimeError(vb::err::Overflow, vb::ErrorDescription(vb::err::Overflow));
            VSInvoice.EndDoc();
        });
        if (ok) CloseBusy<LoadingBilling>();
    }
};

class SampleList : public reports::ListReportFrame {
public:
    SampleList() { setCaption(QStringLiteral("Inventory")); }
};

class ReportFrameTest : public testsupport::WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        SampleStatement::loads = 0;
        SampleStatement::failAfterStart = false;
        testsupport::SharedOnDataFile(Globals::SharedSetup);
        testsupport::SharedOnDataFile(Globals::SharedClient);
        testsupport::SharedOnDataFile(Globals::SharedInvoice);
    }

    static QStringList boxLines(const printer::PageDocument& d, double left, double top) {
        QStringList out;
        for (const auto& t : d.Texts(PlacedText::TextBox))
            if (qAbs(t.rect.left() - left) < 1e-9 && t.rect.top() >= top - 1e-9 && t.rect.top() < top + 1.2) out << t.text;
        return out;
    }
};

void company(cSetup& c, const QString& phone, const QString& fax, const QString& web) {
    c.Name = QStringLiteral("Acme Supply");
    c.Address1 = QStringLiteral("12 Main St");
    c.City = QStringLiteral("Springfield");
    c.State = QStringLiteral("IL");
    c.ZipCode = QStringLiteral("62701");
    c.Phone = phone;
    c.Fax = fax;
    c.WebSite = web;
}

} // namespace

// ---- the letterhead ------------------------------------------------------------------

struct LetterheadCase {
    const char *address2, *state, *phone, *fax, *web, *text;
};

void PrintTo(const LetterheadCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class LetterheadText : public ::testing::TestWithParam<LetterheadCase> {};

TEST_P(LetterheadText, LabelsOnlyWhatTheCompanyRecordHoldsWithoutStraySeparators) {
    const auto c = GetParam();
    cSetup co;
    company(co, c.phone, c.fax, c.web);
    co.Address2 = c.address2;
    co.State = c.state;
    EXPECT_EQ(reports::LetterheadAddress(co), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Company, LetterheadText,
    ::testing::Values(
        LetterheadCase{"Suite 4", "IL", "555-0100", "555-0101", "acme.example",
                       "12 Main St\nSuite 4\nSpringfield, IL 62701\nPhone: 555-0100 / Fax: 555-0101\nWeb: acme.example"},
        LetterheadCase{"", "IL", "", "", "", "12 Main St\nSpringfield, IL 62701"},
        LetterheadCase{"", "", "", "555-0101", "", "12 Main St\nSpringfield, 62701\nFax: 555-0101"},
        LetterheadCase{"", "IL", "555-0100", "", "acme.example", "12 Main St\nSpringfield, IL 62701\nPhone: 555-0100\nWeb: acme.example"}));

TEST_F(ReportFrameTest, LetterheadReadsTheCompanyRecordAndCentresItsBoxes) {
    folder.exec("insert into tb_Company (Name, Address1, City, State, Zipcode, phone, Fax, website, statetaxrate) "
                "values ('Acme Supply', '12 Main St', 'Springfield', 'IL', '62701', '555-0100', '', '', 6)");
    printer::PageDocument d;
    reports::ReportOpening(d, false);
    reports::LetterheadBlock(d, QStringLiteral("Remit to: "));
    const auto boxes = d.Texts(PlacedText::TextBox);
    ASSERT_EQ(boxes.size(), 4);   // the name, then one per address line
    EXPECT_EQ(boxes[0].text, "Remit to: Acme Supply");
    EXPECT_TRUE(boxes[0].font.bold);
    EXPECT_EQ(boxes[0].alignment, 1);
    EXPECT_EQ(boxes[0].rect.topLeft(), QPointF(2, 0.25));
    EXPECT_DOUBLE_EQ(boxes[0].rect.width(), 4);
    EXPECT_EQ(d.TextBoxTexts().at(1), "12 Main St\nSpringfield, IL 62701\nPhone: 555-0100");
    EXPECT_FALSE(boxes[1].font.bold);
    EXPECT_EQ(boxes[1].rect.topLeft(), QPointF(2, 0.5));
    // Then an empty paragraph below the address box, and flush left again.
    EXPECT_EQ(d.Alignment(), 0);
    const auto paras = d.Texts(PlacedText::Paragraph);
    ASSERT_EQ(paras.size(), 1);
    EXPECT_DOUBLE_EQ(paras[0].rect.top(), 1.5);
}

// ---- Bill To / Ship To --------------------------------------------------------------

TEST_F(ReportFrameTest, BillToAndShipToStandSideBySideAndTheFlowGoesOnThreeInchesDown) {
    folder.exec("insert into tb_Client (CustNum, Lname, Fname, BillLname, BillFname, BillAddress1, BillCity, BillState, "
                "BillZipcode, BillHomePhone, ShipLname, ShipFname, ShipAddress1, ShipCity, ShipState, ShipZipcode, "
                "ShipHomePhone) values (1001, 'Smith', 'Ann', 'Smith', 'Ann', '4 Oak Rd', 'Dover', 'DE', '19901', "
                "'302-555-0123', 'Jones', 'Bo', '9 Elm St', 'Newark', 'NJ', '07102', '')");
    auto client = Globals::SharedClient;
    client->OpenCn();
    ASSERT_TRUE(client->GetClient(1001));
    client->CloseCn();
    printer::PageDocument d;
    reports::ReportOpening(d, false);
    reports::BillToBlock(d);
    reports::ShipToBlock(d);
    EXPECT_EQ(d.TextBoxTexts(), QStringList({"Bill To:", "Ann Smith\n4 Oak Rd\nDover, DE 19901\n302-555-0123", "Ship To:",
                                             "Bo Jones\n9 Elm St\nNewark, NJ 07102"}));
    const auto boxes = d.Texts(PlacedText::TextBox);
    EXPECT_EQ(boxes[0].rect.topLeft(), QPointF(0.5, 1.5));
    EXPECT_TRUE(boxes[0].font.bold);
    EXPECT_EQ(boxes[1].rect.topLeft(), QPointF(0.5, 1.75));
    EXPECT_FALSE(boxes[1].font.bold);
    EXPECT_EQ(boxLines(d, 5, 1.75), QStringList({"Bo Jones", "9 Elm St", "Newark, NJ 07102"}));
    EXPECT_DOUBLE_EQ(d.CurrentY(), 3.0);
}

// A client entered on the client tab alone is billed and shipped at its own
// address; an empty shipping block ships to the billing one; second street
// lines print under the first; empty fields leave no separators.
TEST_F(ReportFrameTest, EmptyBlocksFallBackToTheClientsOwnAddress) {
    const struct { const char *set, *billTo, *shipTo; } cases[] = {
        {"Address2 = 'Suite 4', City = 'Dover', State = 'DE', ZipCode = '19901', HomePhone = '555-0123'",
         "Ann Smith\n4 Oak Rd\nSuite 4\nDover, DE 19901\n555-0123", "Ann Smith\n4 Oak Rd\nSuite 4\nDover, DE 19901\n555-0123"},
        {"BillFname = 'Acme', BillAddress1 = 'PO Box 9', BillZipcode = '19903'",
         "Acme\nPO Box 9\n19903", "Acme\nPO Box 9\n19903"},
        {"BillLname = 'Books', shipAddress1 = '9 Elm St', shipAddress2 = 'Dock 3', ShipCity = 'Newark'",
         "Books", "9 Elm St\nDock 3\nNewark"},
        {"Lname = NULL, Fname = NULL, Address1 = NULL", "", ""},
    };
    auto client = Globals::SharedClient;
    for (const auto& c : cases) {
        folder.exec(QStringLiteral("delete from tb_Client; insert into tb_Client (CustNum, Lname, Fname, Address1) values "
                                   "(1001, 'Smith', 'Ann', '4 Oak Rd'); update tb_Client set %1").arg(c.set));
        client->OpenCn();
        ASSERT_TRUE(client->GetClient(1001));
        client->CloseCn();
        EXPECT_EQ(QStringList({reports::BillToText(*client), reports::ShipToText(*client)}),
                  QStringList({c.billTo, c.shipTo})) << c.set;
    }
}

// ---- statement table -----------------------------------------------------------------

TEST_F(ReportFrameTest, StatementWithOnePaymentShowsTwoRowsAnd18EmptyOnesUnderABoldHeader) {
    folder.exec("insert into tb_Client (CustNum, Lname, Fname) values (1001, 'Smith', 'Ann')");
    folder.exec("insert into tb_Receive (TransNum, CustNum, Type, CheckNum, [Date], Amount, Notes) "
                "values (1, 1001, 'Cash', '', '2026-12-09 00:00:00', 40, '')");
    auto inv = Globals::SharedInvoice;
    inv->OpenCn();
    const auto payments = inv->AllPayments(vb::Date::fromYmd(2026, 12, 8), 1001);
    inv->CloseCn();
    printer::PageDocument d;
    reports::ReportOpening(d, false);
    const vb::Currency last = reports::StatementTable(d, vb::Date::fromYmd(2026, 12, 8), vb::Currency::fromDouble(100), payments);
    EXPECT_EQ(last, vb::Currency::fromDouble(60));
    ASSERT_EQ(d.Tables().size(), 1);
    const printer::Table& t = d.Tables()[0];
    EXPECT_EQ(t.header, QStringList({"Date", "Description", "Charge", "Payment", "Balance"}));
    EXPECT_EQ(t.rows[0], QStringList({"12/8/2026", "Starting Balance", "", "", "$100.00"}));
    EXPECT_EQ(t.rows[1], QStringList({"12/9/2026", "Payment - Thank You!", "", "$40.00", "$60.00"}));
    EXPECT_EQ(t.rowCount(), 20);
    for (int r = 3; r <= 20; ++r)
        for (int c = 0; c < 5; ++c) EXPECT_EQ(t.cell(r, c), "") << r << "," << c;
    for (int r = 1; r <= 20; ++r) EXPECT_DOUBLE_EQ(t.rowHeights[r], 0.25);
    for (int c = 0; c < 5; ++c) {
        EXPECT_TRUE(t.isBold(0, c));
        EXPECT_FALSE(t.isBold(1, c));
    }
    EXPECT_EQ(t.border, printer::tbGrid);
    EXPECT_EQ(t.columns.size(), 5);
    EXPECT_EQ(t.columns[0].alignment, 1);
    EXPECT_EQ(t.columns[4].alignment, 2);
}

TEST_F(ReportFrameTest, StatementChargeRowsRaiseTheBalanceAndKeepSeparatorsInTheDescription) {
    printer::PageDocument d;
    reports::ReportOpening(d, false);
    vb::Currency b = vb::Currency::fromDouble(10);
    reports::StartStatementTable(d, vb::Date::fromYmd(2026, 3, 1), b);
    reports::StatementChargeRow(d, vb::Variant(vb::Date::fromYmd(2026, 3, 2)), QStringLiteral("Parts; labour | travel"),
                                vb::Currency::fromDouble(5.5), b);
    reports::StatementPaymentRow(d, vb::Variant(vb::Date::fromYmd(2026, 3, 3)), vb::Currency::fromDouble(2), b);
    reports::TwentyRowTable(d, 5);
    EXPECT_EQ(b, vb::Currency::fromDouble(13.5));
    const printer::Table& t = d.Tables()[0];
    EXPECT_EQ(t.rows[1], QStringList({"3/2/2026", "Parts; labour | travel", "$5.50", "", "$15.50"}));
    EXPECT_EQ(t.rows[2], QStringList({"3/3/2026", "Payment - Thank You!", "", "$2.00", "$13.50"}));
}

// ---- opening and heading ---------------------------------------------------------------

TEST_F(ReportFrameTest, OpeningSetsMarginsAndStartsAtTheTopMargin) {
    printer::PageDocument d;
    d.StartDoc();
    d.Paragraph("old");
    reports::ReportOpening(d, true, "0.25in", "0.25in", "0.5in", "0.5in");
    EXPECT_DOUBLE_EQ(d.MarginLeft(), 0.25);
    EXPECT_DOUBLE_EQ(d.MarginTop(), 0.5);
    EXPECT_DOUBLE_EQ(d.Zoom(), 100);
    EXPECT_EQ(d.PageMode(), 1);
    EXPECT_EQ(d.PageCount(), 1);
    EXPECT_DOUBLE_EQ(d.CurrentY(), 0.5);
    EXPECT_TRUE(d.Texts(PlacedText::Paragraph).isEmpty());

    reports::ReportHeading(d, reports::TitleHeader("Income Statement", "Acme Supply"));
    const auto h = d.Texts(PlacedText::Header);
    ASSERT_EQ(h.size(), 3);
    EXPECT_EQ(h[1].text, "Acme Supply");
    EXPECT_EQ(h[2].text, "12/9/2026");
    EXPECT_TRUE(h[0].font.bold);
    EXPECT_FALSE(d.FontBold());
    EXPECT_DOUBLE_EQ(d.FontSize(), 10);
    EXPECT_EQ(d.Alignment(), 1);
    reports::ReportHeading(d, {"Inventory", "x", "y"}, false);
    EXPECT_TRUE(d.FontBold());
}

// ---- the frame -------------------------------------------------------------------------

TEST_F(ReportFrameTest, CustomerFrameFollowsTheWidthAndLeavesTheExitButtonOnANarrowWindow) {
    SampleStatement& w = Form::get<SampleStatement>();
    EXPECT_EQ(w.btnExit.Caption(), "&Exit");
    w.Move(0, 0, 9000, 7000);
    w.Form_Resize();
    EXPECT_NEAR(w.VSInvoice.Width(), 9000 - 170, 15);
    EXPECT_NEAR(w.VSInvoice.Height(), 7000 - 650, 15);
    EXPECT_NEAR(w.btnExit.Left(), 8000, 15);
    const int top = w.VSInvoice.Top(), left = w.VSInvoice.Left();

    w.Move(0, 0, 1000, 600);
    w.Form_Resize();
    EXPECT_NEAR(w.btnExit.Left(), 8000, 15);            // not wider than 1000: stays
    EXPECT_NEAR(w.VSInvoice.Width(), 1000 - 170, 15);
    EXPECT_NEAR(w.VSInvoice.Height(), 7000 - 650, 15);  // would be negative: as it was
    EXPECT_EQ(w.VSInvoice.Top(), top);
    EXPECT_EQ(w.VSInvoice.Left(), left);

    w.Move(0, 0, 1015, 600);
    w.Form_Resize();
    EXPECT_NEAR(w.btnExit.Left(), 15, 15);
}

TEST_F(ReportFrameTest, ListFrameKeepsTheExitButtonAtTheRightAtEveryWidth) {
    SampleList& w = Form::get<SampleList>();
    EXPECT_EQ(w.btnExit.ToolTipText(), "Exit Vendor Payments");
    w.Move(0, 0, 9000, 7000);
    w.Form_Resize();
    EXPECT_NEAR(w.VSregistry.Width(), 9000 - 250, 15);
    EXPECT_NEAR(w.VSregistry.Left(), 25, 15);
    EXPECT_NEAR(w.VSregistry.Height(), 7000 - 800, 15);
    EXPECT_NEAR(w.btnExit.Left(), 8000, 15);
    w.Move(0, 0, 900, 700);
    w.Form_Resize();
    EXPECT_NEAR(w.btnExit.Left(), -100, 15);
    EXPECT_NEAR(w.VSregistry.Width(), 900 - 250, 15);
    EXPECT_NEAR(w.VSregistry.Height(), 7000 - 800, 15);
}

TEST_F(ReportFrameTest, ShowingLaysOutOnceExitClosesAndReopeningLaysOutAnew) {
    folder.exec("insert into tb_Company (Name, statetaxrate) values ('Acme Supply', 0)");
    Form::get<SampleStatement>().Show();
    SampleStatement& w = Form::get<SampleStatement>();
    EXPECT_EQ(SampleStatement::loads, 1);
    EXPECT_TRUE(w.VSInvoice.IsDocComplete());
    EXPECT_FALSE(Form::isLoaded<LoadingBilling>());
    w.Show();
    EXPECT_EQ(SampleStatement::loads, 1);
    testsupport::click(w.btnExit);
    testsupport::pump();
    EXPECT_FALSE(Form::isLoaded<SampleStatement>());
    Form::get<SampleStatement>().Show();
    EXPECT_EQ(SampleStatement::loads, 2);
}

TEST_F(ReportFrameTest, AnErrorShowsTheOneMessageKeepsWhatWasLaidOutAndLeavesTheBusyWindowOpen) {
    folder.exec("insert into tb_Company (Name, statetaxrate) values ('Acme Supply', 0)");
    SampleStatement::failAfterStart = true;
    boxes.expect(vb::vbOK, "SampleStatement.Form_Load -6 Overflow.  If error persists contact Vantrels author.");
    Form::get<SampleStatement>().Show();
    SampleStatement& w = Form::get<SampleStatement>();
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.VSInvoice.IsDocComplete());
    EXPECT_EQ(w.VSInvoice.TextBoxTexts().first(), "Acme Supply");
    ASSERT_TRUE(Form::isLoaded<LoadingBilling>());
    EXPECT_EQ(Form::get<LoadingBilling>().Owner(), &w);
}

// Saves a picture of a laid-out report window when VANTREL_SCREENSHOT_DIR names a folder.
TEST_F(ReportFrameTest, ScreenshotOfACustomerDocumentWindow) {
    const QString dir = qEnvironmentVariable("VANTREL_SCREENSHOT_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "set VANTREL_SCREENSHOT_DIR to save one";
    ASSERT_TRUE(QDir().mkpath(dir));
    folder.exec("insert into tb_Company (Name, Address1, City, State, Zipcode, phone, Fax, website, statetaxrate) "
                "values ('Acme Supply', '12 Main St', 'Springfield', 'IL', '62701', '555-0100', '555-0101', 'acme.example', 6)");
    Form::get<SampleStatement>().Show();
    SampleStatement& w = Form::get<SampleStatement>();
    testsupport::pump();
    ASSERT_TRUE(w.grab().save(dir + "/report-frame.png"));
    SampleList& l = Form::get<SampleList>();
    reports::ReportOpening(l.VSregistry, true);
    reports::ReportHeading(l.VSregistry, reports::TitleHeader("Inventory", "Acme Supply"));
    l.VSregistry.Paragraph("Widgets");
    l.VSregistry.EndDoc();
    l.Show();
    testsupport::pump();
    ASSERT_TRUE(l.grab().save(dir + "/report-list.png"));
}
