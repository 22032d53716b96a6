// The register report: the three listings and their totals, the criteria
// the register window hands over, the option buttons, the since-date box
// and picker, a bad date, reopening and the resize rule.
#include <gtest/gtest.h>
#include "data/Globals.h"
#include "data/Vendor.h"
#include "forms/Form.h"
#include "reports/PrtRegistry.h"
#include "support/FormDriver.h"
#include "support/WindowFixture.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"

using forms::Form;

namespace {

QString money(double x) { return vb::FormatCurrency(vb::Currency::fromDouble(x)); }
QString day(int y, int m, int d) { return vb::DateToText(vb::Date::fromYmd(y, m, d)); }

class PrtRegistryTest : public testsupport::WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        testsupport::SharedOnDataFile(Globals::SharedVendor);
        folder.exec("insert into tb_ExpenseTypes (type) values ('Freight')");
        folder.exec("insert into tb_ExpenseTypes (type) values ('Rent')");
        vendorRow(1001, "Acme Co");
        vendorRow(1002, "Bolt's | Nuts");
        entry(1, "2025-01-01", "101", "Acme Co", "Rent", 100, 0, "");
        entry(2, "2024-12-31", "099", "Acme Co", "Rent", 7, 0, "");          // before the since-date
        entry(3, "2026-03-01", "105", "Bolt's | Nuts", "Freight", 12.5, 0, "");
        entry(4, "2026-03-01", "104", "Acme Co", "Freight", 3.25, 0, "");
        entry(5, "2023-05-05", "", "", "", 0, 900, "Opening");             // deposits whatever their date
        entry(6, "2026-02-01", "", "", "", 0, 50.75, "Sale; cash");
    }
    void vendorRow(int num, const QString& company) {
        folder.exec(QStringLiteral("insert into tb_Vendor (VendorNum, Company) values (%1, '%2')")
                        .arg(num).arg(QString(company).replace("'", "''")));
    }
    void entry(int trans, const QString& date, const QString& check, const QString& vendor, const QString& category,
               double payment, double deposit, const QString& notes) {
        auto q = [](QString s) { return s.replace("'", "''"); };
        folder.exec(QStringLiteral("insert into tb_GL (TransNum, [Date], CheckNum, Vendor, Payment, Cleared, Category, "
                                   "Deposit, Notes) values (%1, '%2 00:00:00', '%3', '%4', %5, 0, '%6', %7, '%8')")
                        .arg(trans).arg(date, check, q(vendor)).arg(payment).arg(q(category)).arg(deposit).arg(q(notes)));
    }
    // What the register window leaves: the shared lists and the filter.
    void handOver(const QString& field, const QString& value) {
        Globals::SetupInit();
        auto v = Globals::SharedVendor;
        v->OpenCn();
        Globals::rsVendors = v->GetAllVendors();
        v->CloseCn();
        Globals::PrintFilterField = field;
        Globals::PrintFilterValue = value;
    }
    static PrtRegistry& open() {
        Form::get<PrtRegistry>().Show();
        return Form::get<PrtRegistry>();
    }
    static const printer::Table& table(const PrtRegistry& p) { return p.VSregistry.Tables().at(0); }
    // Every row of the table joined by "|", header first.
    static QStringList rows(const PrtRegistry& p) {
        QStringList out;
        const printer::Table& t = table(p);
        out << t.header.join('|');
        for (const QStringList& r : t.rows) out << r.join('|');
        return out;
    }
    static QStringList items(const controls::ComboBox& c) {
        QStringList out;
        for (int i = 0; i < c.ListCount(); ++i) out << c.List(i);
        return out;
    }
};

// The fixture pins today to 9 December 2026.
#define kToday day(2026, 12, 9)

TEST_F(PrtRegistryTest, AllVendorsSinceTheDefaultDate) {
    handOver("All", "ALL");
    PrtRegistry& p = open();
    EXPECT_EQ(p.Caption(), "Print Registry");
    EXPECT_EQ(p.Owner(), nullptr);
    EXPECT_EQ(p.Frame1.Caption(), "Print");
    EXPECT_EQ(p.btnGo.Caption(), "&Preview");
    EXPECT_EQ(p.btnExit.ToolTipText(), "Exit Vendor Payments");
    EXPECT_EQ(p.txtSinceDate.Mask(), "##/##/##");
    // Opens with All selected: every vendor is that option, never a name.
    EXPECT_TRUE(p.OptAll.Value());
    EXPECT_FALSE(p.CmbPrintCrit.isEnabled());
    EXPECT_EQ(p.CmbPrintCrit.Text(), "ALL");
    EXPECT_EQ(p.txtSinceDate.Text(), "01/01/25");
    EXPECT_EQ(p.DTPicker1.Value(), vb::Date::fromYmd(2025, 1, 1));
    EXPECT_EQ(Globals::CurrentSinceDate, vb::Date::fromYmd(2025, 1, 1));

    const printer::PreviewControl& d = p.VSregistry;
    EXPECT_TRUE(d.IsDocComplete());
    EXPECT_EQ(d.Header(), "Registry entries for: ALL||" + kToday);
    EXPECT_DOUBLE_EQ(d.FontSize(), 10);
    EXPECT_DOUBLE_EQ(d.MarginLeft(), 0.5);
    ASSERT_EQ(d.Tables().size(), 1);
    const printer::Table& t = table(p);
    EXPECT_EQ(t.border, printer::tbGrid);
    ASSERT_EQ(t.columns.size(), 5);
    EXPECT_EQ(t.columns[0].alignment, 1);
    EXPECT_DOUBLE_EQ(t.columns[3].width, 2);
    EXPECT_EQ(t.columns[4].alignment, 2);
    // By date, then cheque number; the since-date itself is included; a
    // name holding the separators stays in its cell.
    EXPECT_EQ(rows(p), QStringList({"Date|Num|Vendor|Category|Payment",
                                    day(2025, 1, 1) + "|101|Acme Co|Rent|" + money(100),
                                    day(2026, 3, 1) + "|104|Acme Co|Freight|" + money(3.25),
                                    day(2026, 3, 1) + "|105|Bolt's | Nuts|Freight|" + money(12.5), "||||",
                                    "|||Total|" + money(115.75)}));
    ASSERT_EQ(t.rowHeights.size() >= 4, true);
    for (int r = 1; r <= 3; ++r) EXPECT_DOUBLE_EQ(t.rowHeights[r], 0.2) << r;
    for (int r : {0, 4, 5})
        if (r < t.rowHeights.size()) EXPECT_DOUBLE_EQ(t.rowHeights[r], 0) << r;
    EXPECT_TRUE(boxes.shown().empty());
}

// One vendor (an apostrophe in the name included), a vendor called "All",
// a typed name not in the list, and a name with no entries.
TEST_F(PrtRegistryTest, OneVendorListings) {
    vendorRow(1003, "All");
    entry(7, "2026-04-01", "110", "All", "Rent", 1, 0, "");
    struct Case {
        const char* value;
        QStringList rows;
    } cases[] = {
        {"Bolt's | Nuts", {"Date|Num|Category|Payment", day(2026, 3, 1) + "|105|Freight|" + money(12.5), "|||",
                           "||Total|" + money(12.5)}},
        {"Acme Co", {"Date|Num|Category|Payment", day(2025, 1, 1) + "|101|Rent|" + money(100),
                     day(2026, 3, 1) + "|104|Freight|" + money(3.25), "|||", "||Total|" + money(103.25)}},
        {"All", {"Date|Num|Category|Payment", day(2026, 4, 1) + "|110|Rent|" + money(1), "|||", "||Total|" + money(1)}},
        // No entry: no row at all, not even a blank or total row.
        {"Nobody Ltd", {""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        handOver("Vendor", c.value);
        PrtRegistry& p = open();
        EXPECT_EQ(p.VSregistry.Header(), QString("Registry entries for: ") + c.value + "||" + kToday);
        // The name is printed whole at the left, however many "|" it holds.
        QStringList left;
        for (const printer::PlacedText& h : p.VSregistry.Texts(printer::PlacedText::Header))
            if (h.page == 1 && h.alignment == 0) left << h.text;
        EXPECT_EQ(left.join(' '), QString("Registry entries for: ") + c.value);
        EXPECT_EQ(rows(p), c.rows);
        EXPECT_EQ(table(p).rowCount(), c.rows.size() - 1);
        EXPECT_TRUE(p.VSregistry.IsDocComplete());
        p.btnExit_Click();
        testsupport::pump();
    }
    // Every vendor is the option: the five-column listing.
    handOver("All", "all");
    PrtRegistry& p = open();
    EXPECT_EQ(table(p).columns.size(), 5);
    EXPECT_EQ(table(p).rowCount(), 4 + 2);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(PrtRegistryTest, CategoryListing) {
    handOver("Category", "Freight");
    PrtRegistry& p = open();
    EXPECT_TRUE(p.OptCategory.Value());
    EXPECT_EQ(items(p.CmbPrintCrit), QStringList({"Freight", "Rent"}));
    EXPECT_EQ(p.CmbPrintCrit.Text(), "Freight");
    EXPECT_EQ(p.VSregistry.Header(), "Registry entries for: Freight||" + kToday);
    EXPECT_EQ(table(p).border, printer::tbGrid);
    EXPECT_EQ(rows(p), QStringList({"Date|Num|Vendor|Payment", day(2026, 3, 1) + "|104|Acme Co|" + money(3.25),
                                    day(2026, 3, 1) + "|105|Bolt's | Nuts|" + money(12.5), "|||",
                                    "||Total|" + money(15.75)}));
    EXPECT_TRUE(boxes.shown().empty());
}

// Deposits whatever their date, in date order, with "ALL" from a deposit
// cell of the register and the combo disabled.
TEST_F(PrtRegistryTest, DepositListing) {
    handOver("Deposit", "ALL");
    PrtRegistry& p = open();
    EXPECT_TRUE(p.OptDeposits.Value());
    EXPECT_FALSE(p.CmbPrintCrit.isEnabled());
    EXPECT_EQ(p.VSregistry.Header(), "ALL|Registry Report|" + kToday);
    const printer::Table& t = table(p);
    EXPECT_EQ(t.border, printer::tbBoxHeader);
    ASSERT_EQ(t.columns.size(), 3);
    EXPECT_EQ(t.columns[1].alignment, 2);
    EXPECT_EQ(rows(p), QStringList({"Date|Deposit|Notes", day(2023, 5, 5) + "|" + money(900) + "|Opening",
                                    day(2026, 2, 1) + "|" + money(50.75) + "|Sale; cash", "||",
                                    "Total|" + money(950.75) + "|"}));
    EXPECT_TRUE(boxes.shown().empty());
}

// The options change the criteria only; Preview lists them.
TEST_F(PrtRegistryTest, OptionsThenPreview) {
    handOver("Vendor", "Acme Co");
    PrtRegistry& p = open();
    const QStringList before = rows(p);

    p.OptAll.click();   // as a click on its caption
    EXPECT_EQ(Globals::PrintFilterValue, "all");
    EXPECT_EQ(Globals::PrintFilterField, "All");
    EXPECT_EQ(p.CmbPrintCrit.Text(), "All");
    EXPECT_FALSE(p.CmbPrintCrit.isEnabled());
    EXPECT_EQ(rows(p), before);
    testsupport::click(p.btnGo);
    EXPECT_EQ(p.VSregistry.Header(), "Registry entries for: All||" + kToday);
    EXPECT_EQ(table(p).rowCount(), 3 + 2);

    p.OptCategory.click();   // as a click on its caption
    EXPECT_TRUE(p.CmbPrintCrit.isEnabled());
    EXPECT_EQ(items(p.CmbPrintCrit), QStringList({"Freight", "Rent"}));
    EXPECT_EQ(p.CmbPrintCrit.Text(), "");
    p.CmbPrintCrit.Pick(1);
    testsupport::click(p.btnGo);
    EXPECT_EQ(rows(p).last(), "||Total|" + money(100));

    // Deposits keep the category in the combo and show it in the header.
    p.OptDeposits.click();   // as a click on its caption
    EXPECT_EQ(p.CmbPrintCrit.Text(), "Rent");
    testsupport::click(p.btnGo);
    EXPECT_EQ(p.VSregistry.Header(), "Rent|Registry Report|" + kToday);
    EXPECT_EQ(table(p).rowCount(), 2 + 2);

    p.OptVendor.click();   // as a click on its caption
    EXPECT_EQ(items(p.CmbPrintCrit), QStringList({"Acme Co", "Bolt's | Nuts"}));
    EXPECT_TRUE(boxes.shown().empty());
}

// The picker rewrites the box; the box alone is read; a box without a date
// stops Preview with its report and keeps the listing.
TEST_F(PrtRegistryTest, SinceDateBoxAndPicker) {
    handOver("All", "ALL");
    PrtRegistry& p = open();
    p.DTPicker1.Pick(vb::Date::fromYmd(2026, 3, 1));
    EXPECT_EQ(p.txtSinceDate.Text(), "03/01/26");
    testsupport::click(p.btnGo);
    EXPECT_EQ(table(p).rowCount(), 2 + 2);
    EXPECT_EQ(Globals::CurrentSinceDate, vb::Date::fromYmd(2025, 1, 1));

    testsupport::type(p.txtSinceDate, "010124");
    EXPECT_EQ(p.DTPicker1.Value(), vb::Date::fromYmd(2026, 3, 1));
    testsupport::click(p.btnGo);
    EXPECT_EQ(table(p).rowCount(), 4 + 2);

    const QStringList before = rows(p);
    testsupport::type(p.txtSinceDate, "1301");
    boxes.expect(vb::vbOK, vb::ErrorReportText("PrtRegistry.btnGo_Click -", 13, "Type mismatch"));
    testsupport::click(p.btnGo);
    EXPECT_EQ(rows(p), before);
    EXPECT_TRUE(p.VSregistry.IsDocComplete());
    EXPECT_TRUE(p.Visible());
}

TEST(PrtRegistryDefault, SinceDateIsJanuaryFirstOfTheYearAYearAgo) {
    struct Case {
        vb::Date today, expected;
    } cases[] = {
        {vb::Date::fromYmd(2024, 12, 31), vb::Date::fromYmd(2024, 1, 1)},   // leap year: 365 days back is 1 Jan
        {vb::Date::fromYmd(2024, 12, 30), vb::Date::fromYmd(2023, 1, 1)},
        {vb::Date::fromYmd(2025, 12, 31), vb::Date::fromYmd(2024, 1, 1)},
        {vb::Date::fromYmd(2026, 1, 1), vb::Date::fromYmd(2025, 1, 1)},
    };
    for (const Case& c : cases) {
        testsupport::PinnedClock pin(c.today.toQDateTime());
        EXPECT_EQ(PrtRegistry::DefaultSinceDate(), c.expected) << c.today.toIsoString().toStdString();
    }
}

// The register window closed drops the shared vendor list: the report reads
// its own, so choosing Vendor still lists every vendor.
TEST_F(PrtRegistryTest, VendorListIsTheReportsOwn) {
    handOver("Category", "Rent");
    PrtRegistry& p = open();
    Globals::rsVendors.reset();
    p.OptVendor.click();   // as a click on its caption
    EXPECT_EQ(items(p.CmbPrintCrit), (QStringList{"Acme Co", "Bolt's | Nuts"}));
    // With the expense types deleted, the categories entries use are offered.
    folder.exec("delete from tb_ExpenseTypes");
    Globals::SetupInit();
    p.OptCategory.click();   // as a click on its caption
    EXPECT_EQ(items(p.CmbPrintCrit), (QStringList{"Freight", "Rent"}));
    EXPECT_TRUE(boxes.shown().empty());
}

// A query that fails is told once, by the member that ran it; the listing
// on show stays as it was.
TEST_F(PrtRegistryTest, AFailedQueryIsToldOnceAndKeepsTheListing) {
    handOver("Vendor", "Acme Co");
    PrtRegistry& p = open();
    const QStringList before = rows(p);
    folder.exec("alter table tb_GL rename to tb_GL_gone");
    boxes.expect(vb::vbOK);
    testsupport::click(p.btnGo);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(boxes.shown()[0].prompt.startsWith("Vendor.LedgerEntries -")) << boxes.shown()[0].prompt.toStdString();
    EXPECT_EQ(rows(p), before);
    EXPECT_TRUE(p.VSregistry.IsDocComplete());
}

TEST_F(PrtRegistryTest, ReopeningListsAnewOnlyAfterExit) {
    handOver("Deposit", "ALL");
    open();
    entry(8, "2026-05-05", "", "", "", 0, 10, "Late");
    EXPECT_EQ(table(open()).rowCount(), 2 + 2);
    Form::get<PrtRegistry>().btnExit_Click();
    testsupport::pump();
    EXPECT_FALSE(Form::isLoaded<PrtRegistry>());
    EXPECT_EQ(table(open()).rowCount(), 3 + 2);
}

TEST_F(PrtRegistryTest, ResizeKeepsThePanelRightOfThePreview) {
    handOver("All", "ALL");
    PrtRegistry& p = open();
    const int panel = p.Frame1.Width();
    for (const int w : {18000, 9000}) {
        SCOPED_TRACE(w);
        p.Move(0, 0, w, 9000);
        p.Form_Resize();
        EXPECT_NEAR(p.VSregistry.Left(), 25, 15);
        EXPECT_NEAR(p.VSregistry.Width(), p.Width() - panel - 250, 15);
        EXPECT_NEAR(p.VSregistry.Height(), p.Height() - 800, 15);
        EXPECT_NEAR(p.Frame1.Left(), p.Width() - panel - 200, 15);
        EXPECT_NEAR(p.btnExit.Left(), p.Width() - 1000, 15);
    }
}

// Saves a picture of the listing when VANTREL_SCREENSHOT_DIR names a folder.
TEST_F(PrtRegistryTest, ScreenshotOfTheListing) {
    const QByteArray dir = qgetenv("VANTREL_SCREENSHOT_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "set VANTREL_SCREENSHOT_DIR to save one";
    handOver("All", "ALL");
    PrtRegistry& p = open();
    testsupport::pump();
    p.grab().save(QString::fromUtf8(dir) + "/prtregistry.png");
}

} // namespace
