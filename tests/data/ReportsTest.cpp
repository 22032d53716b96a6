// The period figures: both ends of the period count, in every member.
#include <memory>
#include <QLocale>
#include <gtest/gtest.h>
#include "data/Globals.h"
#include "data/Invoice.h"
#include "data/Reports.h"
#include "support/TestEnv.h"
#include "vb/Conv.h"
#include "vb/MsgBox.h"

using testsupport::PinnedClock;
using testsupport::ProgramFolder;
using testsupport::ScriptedMsgBox;

namespace {

std::unique_ptr<Reports> OpenReports(vb::Date beg, vb::Date end) {
    auto r = std::make_unique<Reports>();
    r->BegDate = beg;
    r->EndDate = end;
    r->InitAccess(Globals::DataFilePath());
    r->OpenCn();
    return r;
}

const vb::Date kBeg = vb::Date::fromYmd(2024, 3, 1);
const vb::Date kEnd = vb::Date::fromYmd(2024, 3, 31);

// March 2024 with a day either side of it; what falls on the last day
// carries a time of day, as the program's own editors store it.
void FillPeriod(const ProgramFolder& f) {
    f.exec(QStringLiteral(
        "insert into tb_InvCategories values (1, 'Tools'), (2, 'Garden');"
        "insert into tb_Inventory values (1001, 1, 'Widget', 50, 0, 0, '0'), (1002, 2, 'Widget', 50, 0, 0, '0'),"
        "  (1003, 9, 'Orphan', 7, 0, 0, '0');"
        // number, client, date, description, discount, tax, shipping, ship date, type, tracking, interest, rep, terms
        "insert into tb_Invoice values"
        "  (1001, 1, '2024-03-31 16:45:00', 'last day', 10, 1, 2, NULL, '', '', 0.5, '', ''),"
        "  (1002, 1, '2024-03-01 00:00:00', 'first day, no lines', 0, 0.25, 5, NULL, '', '', 0, '', ''),"
        "  (1003, 1, '2024-02-29 23:59:59', 'before', 0, 0, 0, NULL, '', '', 0, '', ''),"
        "  (1004, 1, '2024-04-01 00:00:00', 'after', 0, 0, 0, NULL, '', '', 0, '', ''),"
        "  (1005, 1, '2024-03-15 00:00:00', 'gone items', 0, 0, 0, NULL, '', '', 0, '', '');"
        "insert into tb_trans (TransNum, InvoiceNum, ItemNum, Qty, Amount, Notes, Backorder) values"
        "  (1, 1001, 1001, 2, 100, '', 0), (2, 1001, 1002, 1, 50, '', 0),"
        "  (3, 1003, 1001, 5, 1000, '', 0), (4, 1004, 1001, 5, 1000, '', 0),"
        "  (5, 1005, 9999, 4, 40, 'deleted item', 0), (6, 1005, 1003, 1, 7, 'deleted category', 0);"
        "insert into tb_Receive values (1001, 1, 'Visa', '', '2024-03-01 00:00:00', 10, ''),"
        "  (1002, 1, 'Cash', '', '2024-03-31 14:00:00', 20.5, ''),"
        "  (1003, 1, 'Cash', '', '2024-02-29 00:00:00', 100, ''), (1004, 1, 'Cash', '', '2024-04-01 00:00:00', 100, '');"
        "insert into tb_GL values (1001, '2024-03-01 00:00:00', '1', 'A', 11, 0, 'Rent', 0, ''),"
        "  (1002, '2024-03-31 10:00:00', '2', 'A', 22, 0, 'RENT', 0, ''),"
        "  (1003, '2024-02-29 00:00:00', '3', 'A', 100, 0, 'Rent', 0, ''),"
        "  (1004, '2024-04-01 00:00:00', '4', 'A', 100, 0, 'Rent', 0, ''),"
        "  (1005, '2024-03-10 00:00:00', '5', 'A', 5, 0, 'Fuel', 0, '');"));
}

} // namespace

TEST(Reports, DefaultPeriodIsThisYearUpToToday) {
    PinnedClock clock(QDateTime(QDate(2024, 6, 15), QTime(10, 30)));
    Reports r;
    EXPECT_EQ(r.BegDate, vb::Date::fromYmd(2024, 1, 1));
    EXPECT_EQ(r.EndDate, vb::Date::fromYmd(2024, 6, 15));
}

// The figures must not depend on the locale's date order or decimal comma.
class ReportsLocale : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QString::fromUtf8(GetParam()))); }
    void TearDown() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
};

TEST_P(ReportsLocale, FiguresCountBothEndsOfThePeriod) {
    ProgramFolder folder;
    ScriptedMsgBox box;
    FillPeriod(folder);
    // A beginning that carries a time still starts at the day's midnight.
    auto rep = OpenReports(kBeg + 0.4, kEnd);

    EXPECT_EQ(rep->Payments(QStringLiteral("rent")), vb::Currency::fromLong(33));
    EXPECT_EQ(rep->Payments(QStringLiteral("Nothing filed")).raw(), 0);
    EXPECT_EQ(rep->Receipts(), vb::Currency::fromRaw(305000));
    // 150 - 10% + 2 + 0.5 + 1, then 5 + 0.25, then 47 of lines whose items are gone.
    EXPECT_EQ(rep->TotalSales(), vb::Currency::fromRaw(1385000 + 52500 + 470000));

    auto sales = rep->rsInventorySales();
    rep->CloseCn();
    ASSERT_TRUE(sales);
    sales->setSort(QStringLiteral("ItemNum"));
    QStringList rows;
    for (; !sales->Eof(); sales->MoveNext())
        rows << QStringList{sales->Fields("ItemNum").Value().str(), sales->Fields("Category").Value().str(),
                            sales->Fields("Description").Value().str(), sales->Fields("Qty").Value().str(),
                            QString::number(vb::CCur(sales->Fields("TotalSales").Value()).toDouble())}
                    .join(QLatin1Char('|'));
    // One row per item: the same description in two categories gives two rows.
    EXPECT_EQ(rows, (QStringList{"1001|Tools|Widget|2|100", "1002|Garden|Widget|1|50"}));
    EXPECT_TRUE(box.shown().empty());
}

INSTANTIATE_TEST_SUITE_P(Locales, ReportsLocale, ::testing::Values("en_US", "de_DE"),
                         [](const auto& info) { return std::string(info.param); });

TEST(Reports, EmptyPeriodGivesZeroWithoutAMessage) {
    ProgramFolder folder;
    ScriptedMsgBox box;
    FillPeriod(folder);
    auto rep = OpenReports(vb::Date::fromYmd(2030, 1, 1), vb::Date::fromYmd(2030, 12, 31));
    EXPECT_EQ(rep->Payments(QStringLiteral("Rent")).raw(), 0);
    EXPECT_EQ(rep->Receipts().raw(), 0);
    EXPECT_EQ(rep->TotalSales().raw(), 0);
    auto sales = rep->rsInventorySales();
    ASSERT_TRUE(sales);
    EXPECT_TRUE(sales->Eof());
    EXPECT_TRUE(box.shown().empty());
}

TEST(Reports, TotalSalesLeavesTheSharedInvoiceAloneAndGoesOnAfterAnInvoiceError) {
    ProgramFolder folder;
    ScriptedMsgBox box;
    FillPeriod(folder);
    // A tax that is no amount: InvoiceTotal reports and gives the line total, and the loop goes on.
    folder.exec(QStringLiteral(
        "insert into tb_Invoice values (1006, 1, '2024-03-20 00:00:00', 'bad tax', 0, 'x', 0, NULL, '', '', 0, '', '');"
        "insert into tb_trans (TransNum, InvoiceNum, ItemNum, Qty, Amount, Notes, Backorder) values (7, 1006, 9999, 1, 3, '', 0);"));
    auto shared = std::make_shared<Invoice>();
    Globals::SharedInvoice = shared;
    auto rep = OpenReports(kBeg, kEnd);
    box.expect(vb::vbOK);
    EXPECT_EQ(rep->TotalSales(), vb::Currency::fromRaw(1385000 + 52500 + 470000 + 30000));
    ASSERT_EQ(box.shown().size(), 1u);
    EXPECT_TRUE(box.lastPrompt().startsWith(QStringLiteral("Invoice.InvoiceTotal -13 ")));
    EXPECT_EQ(Globals::SharedInvoice, shared);
    Globals::SharedInvoice.reset();
}

TEST(Reports, NeverOpenedInstanceReportsEveryFigure) {
    ProgramFolder folder;
    ScriptedMsgBox box;
    Reports rep;
    rep.InitAccess(Globals::DataFilePath());
    for (int i = 0; i < 4; ++i) box.expect(vb::vbOK);
    EXPECT_EQ(rep.Payments(QStringLiteral("Rent")).raw(), 0);
    EXPECT_EQ(rep.Receipts().raw(), 0);
    EXPECT_EQ(rep.TotalSales().raw(), 0);
    EXPECT_EQ(rep.rsInventorySales(), nullptr);
    ASSERT_EQ(box.shown().size(), 4u);
    const char* labels[] = {"Reports.Payments -", "Reports.Receipts -", "Reports.TotalSales -", "Reports.rsInventorySales -"};
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(box.shown()[i].prompt.startsWith(QString::fromUtf8(labels[i])));
}
