// The past-due list: which clients are aged by the date of their last
// payment (or, never paid, of their oldest invoice) against the chosen day count, their order, the last payment shown,
// the grand total, the caption, and the day count kept while it is open.
#include <gtest/gtest.h>
#include <QDir>
#include "customers/InvoiceFixture.h"
#include "customers/StatusWindow.h"
#include "reports/Prt30Days.h"
#include "support/DocumentReader.h"
#include "support/FormDriver.h"
#include "vb/ErrorTrap.h"

using forms::Form;
using invoicetest::money;
using testsupport::row;

namespace {

class Prt30DaysTest : public invoicetest::InvoiceFixture {
protected:
    void SetUp() override {
        InvoiceFixture::SetUp();
        Globals::CoName = QStringLiteral("Acme Supply");
    }
    // A client charged 1000 on an old invoice.
    void charged(int num, const QString& last) {
        client(num, "Pat", last);
        storedInvoice(num, num, "2026-01-02 00:00:00", 0, 0, 0, "UPS", {{num, 7, 1, 1000, "Work", 0}});
    }
    // An invoice of 100 dated daysAgo days before the pinned today.
    void invoicedAgo(int num, int cust, int daysAgo) {
        const QDate day = QDate(2026, 12, 9).addDays(-daysAgo);
        storedInvoice(num, cust, day.toString("yyyy-MM-dd") + " 00:00:00", 0, 0, 0, "UPS", {{num, 7, 1, 100, "Work", 0}});
    }
    // A payment received daysAgo days before the pinned today (9 Dec 2026).
    void paid(int trans, int cust, int daysAgo, double amount) {
        const QDate day = QDate(2026, 12, 9).addDays(-daysAgo);
        folder.exec(QStringLiteral("insert into tb_Receive (TransNum, CustNum, Type, CheckNum, [Date], Amount) "
                                   "values (%1, %2, 'Check', '1', '%3 00:00:00', %4)")
                        .arg(trans).arg(cust).arg(day.toString("yyyy-MM-dd")).arg(amount));
    }
    static QString daysAgoText(int daysAgo) {
        return vb::DateToText(vb::Date::fromQDate(QDate(2026, 12, 9).addDays(-daysAgo)));
    }
    Prt30Days& open(int days) {
        Globals::AgingDays = static_cast<int16_t>(days);
        Form::get<Prt30Days>().Show();
        return Form::get<Prt30Days>();
    }
    static const printer::Table& table(const Prt30Days& p) { return p.VSInvoice.Tables().at(0); }
    static QStringList names(const Prt30Days& p) {
        QStringList out;
        for (int r = 1; r <= table(p).rowCount(); ++r) out << table(p).cell(r, 1);
        return out;
    }
    static QString grandTotal(const Prt30Days& p) {
        return p.VSInvoice.Texts(printer::PlacedText::Paragraph).last().text;
    }
    // Clients paid last 29, 30, 31, 59, 60, 61, 89, 90, 91 and 200 days ago,
    // and one never (invoiced 341 days ago).
    void agedClients() {
        const int ages[] = {29, 30, 31, 59, 60, 61, 89, 90, 91, 200};
        int num = 1001;
        for (int age : ages) {
            charged(num, QStringLiteral("Age%1").arg(age));
            paid(num, num, age, 10);
            ++num;
        }
        charged(num, "Never");
    }
};

TEST_F(Prt30DaysTest, ListsOnlyClientsWhoseLastPaymentIsOlderThanTheDayCountOldestFirst) {
    agedClients();
    startProgram();
    struct Case {
        int days;
        QString caption;
        QStringList listed;
    };
    const std::vector<Case> cases = {
        {30, "Clients with balance 30 days past due", {"Never, Pat", "Age200, Pat", "Age91, Pat", "Age90, Pat",
                                                       "Age89, Pat", "Age61, Pat", "Age60, Pat", "Age59, Pat",
                                                       "Age31, Pat"}},
        {60, "Clients with balance 60 days past due",
         {"Never, Pat", "Age200, Pat", "Age91, Pat", "Age90, Pat", "Age89, Pat", "Age61, Pat"}},
        {90, "Clients with balance 90 days past due", {"Never, Pat", "Age200, Pat", "Age91, Pat"}},
    };
    for (const Case& c : cases) {
        Prt30Days& p = open(c.days);
        EXPECT_EQ(p.Caption(), c.caption);
        EXPECT_EQ(names(p), c.listed) << c.days << " days";
        EXPECT_EQ(grandTotal(p), "Grand Total: " + money(990.0 * (c.listed.size() - 1) + 1000)) << c.days << " days";
        EXPECT_TRUE(p.VSInvoice.IsDocComplete());
        testsupport::click(p.btnExit);
        testsupport::pump();
    }
    EXPECT_TRUE(boxes.shown().empty());
}

// The last payment decides, not the oldest; its date and amount are printed.
TEST_F(Prt30DaysTest, ShowsTheLastPaymentAndTheBalanceOfEachClientListed) {
    charged(1001, "Recent");
    paid(1, 1001, 100, 200);
    paid(2, 1001, 5, 300);           // paid lately: not past due whatever it owes
    charged(1002, "Stale");
    paid(3, 1002, 120, 100);
    paid(4, 1002, 45, 150.5);
    charged(1003, "Oldest");
    paid(5, 1003, 70, 25);
    startProgram();

    Prt30Days& p = open(30);
    const printer::PreviewControl& d = p.VSInvoice;
    EXPECT_EQ(p.Owner(), nullptr);
    EXPECT_EQ(p.btnExit.Caption(), "&Exit");
    EXPECT_EQ(d.Header(), "Clients 30 Days Past Due|Acme Supply|12/9/2026");
    ASSERT_EQ(d.Tables().size(), 1);
    const printer::Table& t = table(p);
    EXPECT_EQ(t.border, printer::tbBoxHeader);
    ASSERT_EQ(t.columns.size(), 5);
    const double widths[] = {1, 2.5, 1.125, 1.5, 1.5};
    const int aligns[] = {1, 0, 2, 2, 2};
    for (int c = 0; c < 5; ++c) {
        EXPECT_DOUBLE_EQ(t.columns[c].width, widths[c]) << c;
        EXPECT_EQ(t.columns[c].alignment, aligns[c]) << c;
    }
    EXPECT_EQ(row(t, 0), QStringList({"Client#", "Name", "Balance", "Last Pmt Date", "Last Pmt Amount"}));
    ASSERT_EQ(t.rowCount(), 2);
    EXPECT_EQ(row(t, 1), QStringList({"1003", "Oldest, Pat", money(975), daysAgoText(70), money(25)}));
    EXPECT_EQ(row(t, 2), QStringList({"1002", "Stale, Pat", money(749.5), daysAgoText(45), money(150.5)}));
    EXPECT_EQ(grandTotal(p), "Grand Total: " + money(975 + 749.5));
    EXPECT_TRUE(d.Texts(printer::PlacedText::Paragraph).last().font.bold);
    EXPECT_FALSE(Form::isLoaded<LoadingClients>());
}

// A client who owes and has never paid is aged by their oldest invoice
// (the cut-off day itself not yet past due) and listed first, without a
// payment date.
TEST_F(Prt30DaysTest, ClientsWhoNeverPaidAreAgedByTheirOldestInvoiceAndListedFirst) {
    client(2001, "Pat", "Old");
    invoicedAgo(20011, 2001, 5);
    invoicedAgo(20012, 2001, 31);
    client(2002, "Pat", "CutOff");
    invoicedAgo(20021, 2002, 30);
    charged(1001, "Aaron");
    paid(1, 1001, 50, 100);
    startProgram();

    const printer::Table& t = table(open(30));
    ASSERT_EQ(t.rowCount(), 2);
    EXPECT_EQ(row(t, 1), QStringList({"2001", "Old, Pat", money(200), "", money(0)}));
    EXPECT_EQ(row(t, 2), QStringList({"1001", "Aaron, Pat", money(900), daysAgoText(50), money(100)}));
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(Prt30DaysTest, NobodyPastDueGivesTheHeaderAloneAndAZeroTotal) {
    charged(1001, "Recent");
    paid(1, 1001, 3, 10);
    client(1002, "Pat", "Never");
    invoicedAgo(1002, 1002, 20);
    startProgram();

    Prt30Days& p = open(90);
    EXPECT_EQ(table(p).rowCount(), 0);
    EXPECT_EQ(table(p).header.mid(0, 5), QStringList({"Client#", "Name", "Balance", "Last Pmt Date", "Last Pmt Amount"}));
    EXPECT_EQ(grandTotal(p), "Grand Total: " + money(0));
    EXPECT_TRUE(p.VSInvoice.IsDocComplete());
}

// Choosing another day count while the list is open only brings it forward.
TEST_F(Prt30DaysTest, AnOpenListKeepsItsDayCountUntilClosed) {
    agedClients();
    startProgram();

    Prt30Days* first = &open(90);
    EXPECT_EQ(&open(30), first);
    EXPECT_EQ(first->Caption(), "Clients with balance 90 days past due");
    EXPECT_EQ(names(*first).size(), 3);

    testsupport::click(first->btnExit);
    testsupport::pump();
    Prt30Days& again = open(60);
    EXPECT_EQ(again.Caption(), "Clients with balance 60 days past due");
    EXPECT_EQ(names(again).size(), 6);
}

TEST_F(Prt30DaysTest, AFailedReadReportsUnderTheListsLabelAndLeavesItUnfinished) {
    agedClients();
    startProgram();
    folder.exec("drop view ClientBals");

    boxes.expect(vb::vbOK);
    boxes.expect(vb::vbOK, vb::ErrorReportText("Prt30days.Form_Load -", 91, vb::ErrorDescription(91)));
    Prt30Days& p = open(30);
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_TRUE(boxes.shown()[0].prompt.startsWith("Client.ClientBals -"));
    EXPECT_EQ(p.Caption(), "Clients with balance 30 days past due");
    EXPECT_TRUE(p.VSInvoice.Tables().isEmpty());
    EXPECT_FALSE(p.VSInvoice.IsDocOpen());
    EXPECT_TRUE(Form::isLoaded<LoadingClients>());
}

// Saves a picture of the past-due list when VANTREL_SCREENSHOT_DIR names a folder.
TEST_F(Prt30DaysTest, ScreenshotOfThePastDueList) {
    const QString dir = qEnvironmentVariable("VANTREL_SCREENSHOT_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "set VANTREL_SCREENSHOT_DIR to save one";
    ASSERT_TRUE(QDir().mkpath(dir));
    agedClients();
    startProgram();
    Prt30Days& p = open(30);
    testsupport::pump();
    ASSERT_TRUE(p.grab().save(dir + "/prt30days.png"));
}

} // namespace
