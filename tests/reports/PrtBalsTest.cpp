// The client balance list: the clients ClientBals returns, by name, with the
// grand total of what they owe; the opening it shares with the past-due list,
// reopening, and a failed read.
#include <gtest/gtest.h>
#include "customers/InvoiceFixture.h"
#include "customers/StatusWindow.h"
#include "reports/PrtBals.h"
#include "support/DocumentReader.h"
#include "support/FormDriver.h"
#include "vb/ErrorTrap.h"

using forms::Form;
using invoicetest::money;
using testsupport::paragraphs;
using testsupport::row;

namespace {

class PrtBalsTest : public invoicetest::InvoiceFixture {
protected:
    void SetUp() override {
        InvoiceFixture::SetUp();
        Globals::CoName = QStringLiteral("Acme Supply");
    }
    // A client owing amount: one invoice of one line, less what was paid.
    void owing(int num, const QString& first, const QString& last, double charged, double paid = 0) {
        client(num, first, last);
        storedInvoice(num, num, "2026-10-01 00:00:00", 0, 0, 0, "UPS", {{1000 + num, 7, 1, charged, "Work", 0}});
        if (paid != 0)
            folder.exec(QStringLiteral("insert into tb_Receive (TransNum, CustNum, Type, CheckNum, [Date], Amount) "
                                       "values (%1, %2, 'Check', '1', '2026-10-05 00:00:00', %3)")
                            .arg(num).arg(num).arg(paid));
    }
    PrtBals& open() {
        Form::get<PrtBals>().Show();
        return Form::get<PrtBals>();
    }
};

TEST_F(PrtBalsTest, ListsEveryClientOwingByNameWithTheirGrandTotal) {
    owing(1001, "Zoe", "Young", 40);
    owing(1002, "Al", "Baker", 100.25, 30);
    owing(1003, "Paid", "Up", 50, 50);          // nothing owed: not returned by ClientBals
    owing(1004, "Bo|b", "Carter; Jr", 12.5);    // separators typed into a name stay in their cell
    startProgram();

    PrtBals& p = open();
    EXPECT_EQ(p.Caption(), "Print Clients with Balances");
    EXPECT_TRUE(p.Visible());
    EXPECT_EQ(p.Owner(), nullptr);
    EXPECT_EQ(p.btnExit.Caption(), "&Exit");
    const printer::PreviewControl& d = p.VSInvoice;
    EXPECT_TRUE(d.IsDocComplete());
    EXPECT_EQ(d.Header(), "Client Balances|Acme Supply|12/9/2026");
    EXPECT_EQ(d.Footer(), "");
    EXPECT_EQ(d.MarginLeft(), 0.5);
    EXPECT_EQ(d.MarginTop(), 0.5);
    EXPECT_EQ(d.TextBoxTexts(), QStringList());

    ASSERT_EQ(d.Tables().size(), 1);
    const printer::Table& t = d.Tables().at(0);
    EXPECT_EQ(t.border, printer::tbBoxHeader);
    EXPECT_EQ(t.alignment, 1);
    ASSERT_EQ(t.columns.size(), 3);
    EXPECT_EQ(t.columns[0].alignment, 1);
    EXPECT_EQ(t.columns[1].alignment, 0);
    EXPECT_EQ(t.columns[2].alignment, 2);
    EXPECT_DOUBLE_EQ(t.columns[1].width, 3.0);
    EXPECT_EQ(t.header, QStringList({"Client#", "Name", "Balance"}));
    ASSERT_EQ(t.rowCount(), 3);
    EXPECT_EQ(row(t, 1), QStringList({"1002", "Baker, Al", money(70.25)}));
    EXPECT_EQ(row(t, 2), QStringList({"1004", "Carter; Jr, Bo|b", money(12.5)}));
    EXPECT_EQ(row(t, 3), QStringList({"1001", "Young, Zoe", money(40)}));

    EXPECT_EQ(paragraphs(d), QStringList({"", "", "Grand Total: " + money(122.75)}));
    const auto paras = d.Texts(printer::PlacedText::Paragraph);
    EXPECT_TRUE(paras.last().font.bold);
    EXPECT_FALSE(paras.first().font.bold);
    EXPECT_FALSE(Form::isLoaded<LoadingClients>());
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(PrtBalsTest, NoClientOwingGivesTheHeaderAloneAndAZeroTotal) {
    owing(1001, "Paid", "Up", 50, 50);
    startProgram();

    const printer::PreviewControl& d = open().VSInvoice;
    ASSERT_EQ(d.Tables().size(), 1);
    EXPECT_EQ(d.Tables().at(0).header, QStringList({"Client#", "Name", "Balance"}));
    EXPECT_EQ(d.Tables().at(0).rowCount(), 0);
    EXPECT_EQ(paragraphs(d).last(), "Grand Total: " + money(0));
    EXPECT_TRUE(d.IsDocComplete());
}

TEST_F(PrtBalsTest, AnOpenListIsOnlyBroughtForwardAndExitThenReopenReadsAnew) {
    owing(1001, "Al", "Baker", 10);
    startProgram();

    PrtBals* first = &open();
    owing(1002, "Cy", "Dunn", 5);
    EXPECT_EQ(&open(), first);
    EXPECT_EQ(first->VSInvoice.Tables().at(0).rowCount(), 1);

    testsupport::click(first->btnExit);
    testsupport::pump();
    EXPECT_FALSE(Form::isLoaded<PrtBals>());
    const printer::PreviewControl& d = open().VSInvoice;
    EXPECT_EQ(d.Tables().at(0).rowCount(), 2);
    EXPECT_EQ(paragraphs(d).last(), "Grand Total: " + money(15));
}

// The query's own report comes first; the list then stops rather than print
// a zero total as if nobody owed anything, and the busy window stays up.
TEST_F(PrtBalsTest, AFailedReadReportsTwiceAndLeavesTheListUnfinished) {
    owing(1001, "Al", "Baker", 10);
    startProgram();
    folder.exec("drop view ClientBals");

    boxes.expect(vb::vbOK);
    boxes.expect(vb::vbOK, vb::ErrorReportText("PrtBals.Form_Load -", 91, vb::ErrorDescription(91)));
    PrtBals& p = open();
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_TRUE(boxes.shown()[0].prompt.startsWith("Client.ClientBals -"));
    EXPECT_TRUE(p.Visible());
    EXPECT_FALSE(p.VSInvoice.IsDocOpen());
    EXPECT_TRUE(p.VSInvoice.Tables().isEmpty());
    ASSERT_TRUE(Form::isLoaded<LoadingClients>());
    EXPECT_EQ(Form::get<LoadingClients>().Owner(), &p);
}

} // namespace
