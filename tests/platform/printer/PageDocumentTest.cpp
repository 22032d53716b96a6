#include <csignal>
#include <cmath>
#include <sys/resource.h>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <QFile>
#include <QMap>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include "printer/PageDocument.h"
#include "printer/PreviewControl.h"
#include "support/DocumentReader.h"
#include "support/TestEnv.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

using namespace printer;

using testsupport::errorNumberOf;

namespace {

void open(PageDocument& d) {
    d.setMarginLeft("0.5in");
    d.setMarginRight("0.5in");
    d.setMarginTop("0.5in");
    d.setMarginBottom("0.5in");
    d.StartDoc();
}

// The body rows of a table as placed, page by page: (page, row) of each cell in column 0.
QList<QPair<int, int>> placedRows(const PageDocument& d, int table) {
    QList<QPair<int, int>> out;
    for (const PlacedText& t : d.Texts(PlacedText::Cell))
        if (t.table == table && t.col == 0) out.append({t.page, t.row});
    return out;
}

} // namespace

// ---- the format language ------------------------------------------------------------

struct LengthCase {
    const char* text;
    double inches;   // < 0: not a length
};

void PrintTo(const LengthCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class LengthTest : public ::testing::TestWithParam<LengthCase> {};

TEST_P(LengthTest, ReadsInchesOrRaises380) {
    const LengthCase c = GetParam();
    if (c.inches >= 0) {
        EXPECT_DOUBLE_EQ(ParseLength(c.text), c.inches);
    } else {
        EXPECT_EQ(errorNumberOf([&] { ParseLength(c.text); }), 380);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, LengthTest,
                         ::testing::Values(LengthCase{"0.5in", 0.5}, LengthCase{".25in", 0.25},
                                           LengthCase{"1.125in", 1.125}, LengthCase{"3in", 3},
                                           LengthCase{" 2in ", 2}, LengthCase{"0.2IN", 0.2},
                                           LengthCase{"2.in", 2}, LengthCase{"", -1}, LengthCase{"in", -1},
                                           LengthCase{"0.5", -1}, LengthCase{"-1in", -1},
                                           LengthCase{"1.2.3in", -1}, LengthCase{"1cm", -1},
                                           LengthCase{".in", -1}, LengthCase{"1 in x", -1}));

struct FormatCase {
    const char* format;
    std::vector<std::pair<double, int>> columns;   // width, alignment
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << '"' << c.format << '"'; }

class FormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatTest, ColumnsWidthsAndMarks) {
    const FormatCase c = GetParam();
    const auto cols = ParseTableFormat(c.format);
    ASSERT_EQ(cols.size(), static_cast<qsizetype>(c.columns.size())) << c.format;
    for (size_t i = 0; i < c.columns.size(); ++i) {
        EXPECT_DOUBLE_EQ(cols[i].width, c.columns[i].first) << c.format << " column " << i;
        EXPECT_EQ(cols[i].alignment, c.columns[i].second) << c.format << " column " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, FormatTest,
    ::testing::Values(
        FormatCase{"^1in|3in|>1.125in|>1.125in|>1.125in;", {{1, 1}, {3, 0}, {1.125, 2}, {1.125, 2}, {1.125, 2}}},
        FormatCase{"^0.75in|^0.75in|^0.75in|<3in|>1.125in|>1.125in;",
                   {{0.75, 1}, {0.75, 1}, {0.75, 1}, {3, 0}, {1.125, 2}, {1.125, 2}}},
        FormatCase{">1.125in|>1.125in;", {{1.125, 2}, {1.125, 2}}},
        FormatCase{"2in", {{2, 0}}},            // the closing ";" is optional
        FormatCase{"", {}}, FormatCase{";", {}}));

TEST(TableFormat, ABadWidthRaises380) {
    EXPECT_EQ(errorNumberOf([] { ParseTableFormat("^1in|wide;"); }), 380);
    EXPECT_EQ(errorNumberOf([] { ParseTableFormat("1in||2in;"); }), 380);
}

struct RowsCase {
    const char* text;
    std::vector<std::vector<const char*>> rows;
};

void PrintTo(const RowsCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class RowsTest : public ::testing::TestWithParam<RowsCase> {};

TEST_P(RowsTest, CellsAndRows) {
    const RowsCase c = GetParam();
    const auto rows = ParseTableRows(c.text);
    ASSERT_EQ(rows.size(), static_cast<qsizetype>(c.rows.size())) << c.text;
    for (size_t r = 0; r < c.rows.size(); ++r) {
        QStringList want;
        for (const char* s : c.rows[r]) want << QString::fromUtf8(s);
        EXPECT_EQ(rows[r], want) << c.text << " row " << r;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, RowsTest,
    ::testing::Values(RowsCase{"Date|Description|Charge|Payment|Balance;", {{"Date", "Description", "Charge", "Payment", "Balance"}}},
                      RowsCase{"a|b;c|d;", {{"a", "b"}, {"c", "d"}}},
                      RowsCase{"a|b;c|d", {{"a", "b"}, {"c", "d"}}},      // last ";" left out
                      RowsCase{"12/8/2026|Starting Balance|||$100.00;", {{"12/8/2026", "Starting Balance", "", "", "$100.00"}}},
                      RowsCase{"|||;", {{"", "", "", ""}}},
                      RowsCase{"a;;b", {{"a"}, {""}, {"b"}}},
                      RowsCase{"", {}}));

// ---- the flow -------------------------------------------------------------------------

TEST(PageDocument, ParagraphsRunDownFromTheTopMarginAndBreakAtLf) {
    PageDocument d;
    open(d);
    EXPECT_EQ(d.PageCount(), 1);
    EXPECT_DOUBLE_EQ(d.CurrentY(), 0.5);
    d.Paragraph("");
    const double lh = d.CurrentY() - 0.5;
    EXPECT_GT(lh, 0.12);   // about 11.25 points and a little leading
    EXPECT_LT(lh, 0.25);
    d.setAlignment(1);
    d.Paragraph("one\ntwo");
    EXPECT_NEAR(d.CurrentY(), 0.5 + 3 * lh, 1e-9);
    const auto ps = d.Texts(PlacedText::Paragraph);
    ASSERT_EQ(ps.size(), 3);
    EXPECT_EQ(ps[0].text, "");
    EXPECT_EQ(ps[1].text, "one");
    EXPECT_EQ(ps[2].text, "two");
    EXPECT_EQ(ps[2].alignment, 1);
    EXPECT_DOUBLE_EQ(ps[1].rect.left(), 0.5);
    EXPECT_DOUBLE_EQ(ps[1].rect.width(), 7.5);
}

TEST(PageDocument, LongParagraphsWrapBetweenTheMarginsAndGoOnOnTheNextPage) {
    PageDocument d;
    open(d);
    QString longText;
    for (int i = 0; i < 40; ++i) longText += QStringLiteral("payment received with thanks ");
    d.Paragraph(longText.trimmed());
    const auto lines = d.Texts(PlacedText::Paragraph);
    ASSERT_GT(lines.size(), 3);
    for (const auto& l : lines) EXPECT_FALSE(l.text.startsWith(' '));
    for (int i = 0; i < 80; ++i) d.Paragraph(QStringLiteral("line %1").arg(i));
    EXPECT_EQ(d.PageCount(), 2);
    for (const auto& l : d.Texts(PlacedText::Paragraph)) {
        EXPECT_GE(l.rect.top(), 0.5 - 1e-9);
        EXPECT_LE(l.rect.bottom(), 10.5 + 1e-9) << l.text.toStdString();
    }
    // The first line of page 2 stands at the top margin.
    for (const auto& l : d.Texts(PlacedText::Paragraph))
        if (l.page == 2) {
            EXPECT_DOUBLE_EQ(l.rect.top(), 0.5);
            break;
        }
}

TEST(PageDocument, TextBoxesStandAtTheirPlaceBreakAtLfAndPushTheFlowBelowThem) {
    PageDocument d;
    open(d);
    d.setAlignment(1);
    d.TextBox("12 Main St\nSpringfield, IL 62701\n / \n", "2in", "0.5in", "4in", "1in", {}, {}, false);
    const auto box = d.Texts(PlacedText::TextBox);
    ASSERT_EQ(box.size(), 4);
    EXPECT_EQ(box[0].text, "12 Main St");
    EXPECT_EQ(box[1].text, "Springfield, IL 62701");
    EXPECT_EQ(box[2].text, " / ");
    EXPECT_EQ(box[3].text, "");
    EXPECT_DOUBLE_EQ(box[0].rect.left(), 2.0);
    EXPECT_DOUBLE_EQ(box[0].rect.width(), 4.0);
    EXPECT_DOUBLE_EQ(box[0].rect.top(), 0.5);
    EXPECT_NEAR(box[1].rect.top(), 0.5 + box[0].rect.height(), 1e-9);
    EXPECT_EQ(box[0].alignment, 1);
    EXPECT_DOUBLE_EQ(d.CurrentY(), 1.5);
    // A box higher up than the flow leaves the flow where it is.
    d.TextBox("x", "0.5in", "0.25in", "1in", ".25in");
    EXPECT_DOUBLE_EQ(d.CurrentY(), 1.5);
    d.TextBox("y", "0.5in", "1.75in", "3.5in", "1.25in");
    EXPECT_DOUBLE_EQ(d.CurrentY(), 3.0);
    EXPECT_EQ(d.TextBoxTexts().first(), "12 Main St\nSpringfield, IL 62701\n / \n");
}

TEST(PageDocument, HeaderAndFooterStandInTheMarginsOfEveryPageLeftCentreRight) {
    PageDocument d;
    open(d);
    d.setFontBold(true);
    d.setHeader("Register|Acme Co|12/9/2026");
    d.setFontBold(false);
    d.setFooter("|We appreciate your business!|");
    d.NewPage();
    d.NewPage();
    d.EndDoc();
    ASSERT_EQ(d.PageCount(), 3);
    for (int p = 1; p <= 3; ++p) {
        const Page page = d.PageAt(p);
        QStringList heads, feet;
        for (const auto& t : page.texts) {
            if (t.kind == PlacedText::Header) {
                heads << QStringLiteral("%1:%2").arg(t.alignment).arg(t.text);
                EXPECT_TRUE(t.font.bold);
                EXPECT_LE(t.rect.bottom(), 0.5 + 1e-9);
                EXPECT_GE(t.rect.top(), 0.0);
            } else if (t.kind == PlacedText::Footer) {
                feet << QStringLiteral("%1:%2").arg(t.alignment).arg(t.text);
                EXPECT_FALSE(t.font.bold);
                EXPECT_GE(t.rect.top(), 10.5 - 1e-9);
                EXPECT_LE(t.rect.bottom(), 11.0 + 1e-9);
            }
        }
        EXPECT_EQ(heads, QStringList({"0:Register", "1:Acme Co", "2:12/9/2026"})) << "page " << p;
        EXPECT_EQ(feet, QStringList({"1:We appreciate your business!"})) << "page " << p;
    }
}

TEST(PageDocument, HeaderRightPartIsEverythingAfterTheSecondBar) {
    PageDocument d;
    open(d);
    d.setHeader("||Invoice #1001");
    auto h = d.Texts(PlacedText::Header);
    ASSERT_EQ(h.size(), 1);
    EXPECT_EQ(h[0].alignment, 2);
    EXPECT_EQ(h[0].text, "Invoice #1001");
    d.setHeader("a|b|c|d");
    h = d.Texts(PlacedText::Header);
    ASSERT_EQ(h.size(), 3);
    EXPECT_EQ(h[2].text, "c|d");
}

// ---- tables ---------------------------------------------------------------------------

TEST(PageDocument, TablesPlaceCellsByColumnWidthAndMark) {
    PageDocument d;
    open(d);
    d.Paragraph("");
    const double top = d.CurrentY();
    d.StartTable();
    d.setTableBorder(9);
    d.AddTable("^1in|3in|>1.125in;", "Date|Description|Amount;", "12/1/2026|Paid|$5.00;");
    d.AddTable("^1in|3in|>1.125in;", "Date|Description|Amount;", "12/2/2026||$6.00");
    d.EndTable();
    ASSERT_EQ(d.Tables().size(), 1);
    const Table& t = d.Tables()[0];
    EXPECT_EQ(t.rowCount(), 2);
    EXPECT_EQ(t.cell(0, 1), "Description");
    EXPECT_EQ(t.cell(2, 0), "12/2/2026");
    EXPECT_EQ(t.cell(2, 1), "");
    EXPECT_EQ(t.cell(2, 2), "$6.00");
    for (const auto& c : d.Texts(PlacedText::Cell)) {
        if (c.row == 1 && c.col == 2) {
            EXPECT_EQ(c.text, "$5.00");
            EXPECT_EQ(c.alignment, 2);
            EXPECT_GT(c.rect.left(), 0.5 + 4);
            EXPECT_LT(c.rect.right(), 0.5 + 5.125);
        }
        if (c.row == 0) EXPECT_GE(c.rect.top(), top);
    }
    EXPECT_GT(d.CurrentY(), top);
    // Grid lines reach from the left margin to the table's width.
    double minX = 99, maxX = 0;
    for (const auto& l : d.PageAt(1).lines) {
        minX = std::min({minX, l.line.x1(), l.line.x2()});
        maxX = std::max({maxX, l.line.x1(), l.line.x2()});
    }
    EXPECT_DOUBLE_EQ(minX, 0.5);
    EXPECT_DOUBLE_EQ(maxX, 5.625);
}

TEST(PageDocument, ARightAlignedTableEndsAtTheRightMargin) {
    PageDocument d;
    open(d);
    d.StartTable();
    d.setAlignment(2);
    d.setTableBorder(8);
    d.AddTable(">1.125in|>1.125in;", "SubTotal|$10.00;", "Total:|$10.00;");
    d.EndTable();
    double maxX = 0, minX = 99;
    for (const auto& l : d.PageAt(1).lines) {
        maxX = std::max({maxX, l.line.x1(), l.line.x2()});
        minX = std::min({minX, l.line.x1(), l.line.x2()});
    }
    EXPECT_DOUBLE_EQ(maxX, 8.0);
    EXPECT_DOUBLE_EQ(minX, 8.0 - 2.25);
}

TEST(PageDocument, ALongTableBreaksOntoPage2WithItsHeaderRepeated) {
    PageDocument d;
    open(d);
    d.StartTable();
    d.setTableBorder(10);
    for (int i = 1; i <= 60; ++i)
        d.AddTable("1in|2in;", "No|Name;", QStringLiteral("%1|Item %1;").arg(i));
    for (int r = 1; r <= 60; ++r) d.setTableCell(tcRowHeight, r, "0.2in");
    d.EndTable();
    d.EndDoc();
    ASSERT_EQ(d.PageCount(), 2);
    const Table& t = d.Tables()[0];
    EXPECT_EQ(t.firstPage, 1);
    EXPECT_EQ(t.lastPage, 2);
    const auto rows = placedRows(d, 0);
    // Header, then rows in order; the header again first on page 2; no row lost or doubled.
    ASSERT_EQ(rows.first(), qMakePair(1, 0));
    int headerOn2 = -1, lastRow = 0, bodyRows = 0;
    for (int i = 0; i < rows.size(); ++i) {
        if (rows[i].second == 0 && rows[i].first == 2) headerOn2 = i;
        if (rows[i].second > 0) {
            EXPECT_EQ(rows[i].second, lastRow + 1);
            lastRow = rows[i].second;
            ++bodyRows;
        }
    }
    EXPECT_EQ(bodyRows, 60);
    ASSERT_GT(headerOn2, 0);
    EXPECT_EQ(rows[headerOn2 + 1].first, 2);
    // No row reaches into the bottom margin; page 2's header is at the top margin.
    for (const auto& c : d.Texts(PlacedText::Cell)) {
        EXPECT_LE(c.rect.bottom(), 10.5 + 1e-9);
        if (c.page == 2 && c.row == 0) EXPECT_NEAR(c.rect.top(), 0.5, 0.2);
    }
}

TEST(PageDocument, TwentyRowSettingPadsFixesHeightsAndBoldsTheHeader) {
    PageDocument d;
    open(d);
    d.StartTable();
    d.setTableBorder(9);
    d.AddTable("^1in|3in;", "Date|Description;", "12/8/2026|Starting Balance;");
    d.setTableCell(tcRows, 20);
    for (int r = 1; r <= 20; ++r) d.setTableCell(tcRowHeight, r, "0.25in");
    d.setTableCell(tcFontBold, 0, 1, 0, 2, true);
    const double top = d.CurrentY();
    d.EndTable();
    const Table& t = d.Tables()[0];
    EXPECT_EQ(t.rowCount(), 20);
    EXPECT_EQ(t.cell(1, 1), "Starting Balance");
    EXPECT_EQ(t.cell(2, 0), "");
    EXPECT_TRUE(t.isBold(0, 0));
    EXPECT_TRUE(t.isBold(0, 1));
    EXPECT_FALSE(t.isBold(1, 0));
    for (int r = 1; r <= 20; ++r) EXPECT_DOUBLE_EQ(t.rowHeights[r], 0.25);
    const double header = t.rowHeights[0];
    EXPECT_DOUBLE_EQ(header, 0);   // fits its text
    // 20 rows of a quarter inch below the header: 5 inches.
    const double headerHeight = d.CurrentY() - top - 5.0;
    EXPECT_GT(headerHeight, 0.1);
    EXPECT_LT(headerHeight, 0.4);
    for (const auto& c : d.Texts(PlacedText::Cell))
        if (c.row == 0) EXPECT_TRUE(c.font.bold);
        else EXPECT_FALSE(c.font.bold);
}

// Rows added with a format or header that changes partway keep the new
// one, and every row, old or new, can be set bold in the new columns.
TEST(PageDocument, AFormatOrHeaderChangedPartwayTakesEffectForEveryRow) {
    PageDocument d;
    open(d);
    d.StartTable();
    for (int i = 1; i <= 3; ++i) d.AddTableCells("1in;", "N;", {QString::number(i)});
    d.AddTableCells("1in|2in;", "N|Name;", {"4", "four"});
    d.AddTableCells("1in|2in;", QStringList{"No", "Label"}, {"5", "five"});
    d.AddTableCells("1in|2in;", "N|Name;", {"6", "six"});
    d.setTableCell(tcFontBold, 1, 2, 6, 2, true);
    d.EndTable();
    const Table& t = d.Tables()[0];
    EXPECT_EQ(t.columns.size(), 2);
    EXPECT_EQ(t.header, (QStringList{"N", "Name"}));
    for (int r = 1; r <= 6; ++r) {
        EXPECT_TRUE(t.isBold(r, 1)) << r;
        EXPECT_FALSE(t.isBold(r, 0)) << r;
    }
    EXPECT_EQ(t.rowHeights.size(), 7);
}

TEST(PageDocument, RowsBeyondTheRowCountAreKept) {
    PageDocument d;
    open(d);
    d.StartTable();
    for (int i = 1; i <= 25; ++i) d.AddTable("1in;", "N;", QString::number(i));
    d.setTableCell(tcRows, 20);
    for (int r = 1; r <= 20; ++r) d.setTableCell(tcRowHeight, r, "0.25in");
    d.EndTable();
    EXPECT_EQ(d.Tables()[0].rowCount(), 25);
    EXPECT_EQ(d.Tables()[0].cell(25, 0), "25");
    EXPECT_EQ(placedRows(d, 0).size(), 26);
}

TEST(PageDocument, ATableWithoutFormatStillTakesItsRowsHeight) {
    PageDocument d;
    open(d);
    d.StartTable();
    d.setTableCell(tcRows, 20);
    for (int r = 1; r <= 20; ++r) d.setTableCell(tcRowHeight, r, "0.25in");
    d.setTableCell(tcFontBold, 0, 1, 0, 6, true);
    const double top = d.CurrentY();
    d.EndTable();
    EXPECT_GE(d.CurrentY() - top, 5.0);
    EXPECT_TRUE(d.Texts(PlacedText::Cell).isEmpty());
}

// ---- nothing cut, nothing overlapping ----------------------------------------------------

namespace {
// The text of one cell as placed, its lines joined by a blank.
QString placedCell(const PageDocument& d, int table, int row, int col) {
    QStringList lines;
    for (const PlacedText& t : d.Texts(PlacedText::Cell))
        if (t.table == table && t.row == row && t.col == col) lines << t.text;
    return lines.join(' ');
}
// Top of the first and bottom of the last placed line of one row.
QPair<double, double> rowSpan(const PageDocument& d, int table, int row) {
    double top = 1e9, bottom = -1;
    for (const PlacedText& t : d.Texts(PlacedText::Cell))
        if (t.table == table && t.row == row) {
            top = std::min(top, t.rect.top());
            bottom = std::max(bottom, t.rect.bottom());
        }
    return {top, bottom};
}
const QString kLongNote =
    "Custom colour-matched marine-grade varnish, three coats, hand-sanded between coats, with the stainless "
    "fittings polished and refitted.";
} // namespace

// A row set to a height is at least that high and grows to hold all of its
// text; the next row starts below it, and rows past the row count set are as
// high as the counted ones.
TEST(PageDocument, RowsGrowToHoldTheirTextAndKeepTheirSetHeightOtherwise) {
    struct Case {
        const char* name;
        QString text;
        bool grows;
    };
    const std::vector<Case> cases = {
        {"one line", "Blue widget", false},
        {"142 characters", kLongNote + " Two more words.", true},
        {"a word wider than the column", QString(60, QChar('W')), true},
        {"a line feed", QString(32, '0') + "\n9", true},
        {"CR LF", "Blue\r\nwidget", true},
        {"tabs", "Blue\twidget\tlarge", false},   // a tab is a space, not a word set at 6 pt
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PageDocument d;
        open(d);
        d.StartTable();
        d.AddTableCells("^0.75in|<3in;", "Qty|Description;", {"1", c.text});
        for (int i = 2; i <= 25; ++i) d.AddTableCells("^0.75in|<3in;", "Qty|Description;", {QString::number(i), "x"});
        d.setTableCell(tcRows, 20);
        for (int r = 1; r <= 20; ++r) d.setTableCell(tcRowHeight, r, "0.25in");
        d.EndTable();
        QString placed = placedCell(d, 0, 1, 1);
        const QString want = QString(c.text).replace(QRegularExpression("\r?\n|\t"), " ");
        if (want.contains(' ')) EXPECT_EQ(placed, want);
        else EXPECT_EQ(placed.remove(' '), want);
        for (const PlacedText& t : d.Texts(PlacedText::Cell)) {
            EXPECT_LE(PageDocument::TextWidth(t.font, t.text), t.rect.width() + 1e-6) << t.text.toStdString();
            if (!c.grows) EXPECT_DOUBLE_EQ(t.font.size, 11.25);
        }
        const double firstRow = rowSpan(d, 0, 2).first - rowSpan(d, 0, 1).first;
        if (c.grows) EXPECT_GT(firstRow, 0.3);
        else EXPECT_NEAR(firstRow, 0.25, 1e-6);
        // Rows 2 to 25 stand a quarter inch apart, the 21st to 25th too.
        for (int r = 3; r <= 25; ++r)
            EXPECT_NEAR(rowSpan(d, 0, r).first - rowSpan(d, 0, r - 1).first, 0.25, 1e-6) << "row " << r;
        EXPECT_DOUBLE_EQ(d.Tables()[0].rowHeights[25], 0.25);
    }
}

// A row taller than a page goes on over the next pages; none of its lines is lost.
TEST(PageDocument, ARowTallerThanAPageGoesOnOverTheNextPage) {
    PageDocument d;
    open(d);
    QStringList words;
    for (int i = 1; i <= 700; ++i) words << QStringLiteral("w%1").arg(i);
    d.StartTable();
    d.setTableBorder(9);
    d.AddTableCells("1in|2in;", "No|Notes;", {"1", words.join(' ')});
    d.AddTableCells("1in|2in;", "No|Notes;", {"2", "after"});
    d.EndTable();
    EXPECT_GE(d.PageCount(), 2);
    EXPECT_EQ(placedCell(d, 0, 1, 1), words.join(' '));
    for (const PlacedText& t : d.Texts(PlacedText::Cell)) {
        EXPECT_LE(t.rect.bottom(), 10.5 + 1e-6);
        EXPECT_GE(t.rect.top(), 0.5 - 1e-6);
    }
    EXPECT_EQ(placedCell(d, 0, 2, 1), "after");
}

namespace {
// An invoice's flow: blocks down to 3 inches, the facts, a 20-row line table
// and the totals table kept with it.
void invoiceFlow(PageDocument& d, const QStringList& descriptions, const QString& salesRep = "Jo") {
    open(d);
    d.TextBox("Bill To:", "0.5in", "1.5in", "1in", ".25in");
    d.TextBox("Ann Smith", "0.5in", "1.75in", "3.5in", "1.25in");
    d.Paragraph("");
    d.Paragraph("Description: Spring order");
    d.Paragraph("");
    d.StartTable();
    d.AddTableCells("^1in|^3in|^2in|^1.5in;", "Date|Ship Via|Sales Rep|Terms;", {"12/9/2026", "UPS", salesRep, "Net 30"});
    d.EndTable();
    d.Paragraph("");
    d.StartTable();
    const QString f = "^0.75in|^0.75in|^0.75in|<3in|>1.125in|>1.125in;";
    const QString h = "Qty|BackOrd|Item#|Description|Charge|Total;";
    for (const QString& text : descriptions) d.AddTableCells(f, h, {"1", "", "7", text, "$1.00", "$1.00"});
    d.setTableCell(tcRows, 20);
    for (int r = 1; r <= 20; ++r) d.setTableCell(tcRowHeight, r, "0.25in");
    d.EndTable();
    d.StartTable();
    d.setAlignment(2);
    d.setTableBorder(8);
    d.setTableKeepTogether(true);
    d.setTableKeepWithPrevious(true);
    for (const char* label : {"Discount:", "Interest:", "Sales Tax:", "Shipping:", "Total:"})
        d.AddTableCells(">1.125in|>1.125in;", QStringList{"SubTotal", "$9.00"}, {label, "$1.00"});
    d.EndTable();
    d.EndDoc();
}
} // namespace

// The totals are never split and stay on the page of the last filled line
// rows; lines move to the next page instead. A table only breaks when it must.
TEST(PageDocument, TotalsStayWholeOnThePageOfTheLastLines) {
    struct Case {
        const char* name;
        QStringList lines;
        QString salesRep;
        int pages;
        int firstRowOnPage2;   // 0: one page
    };
    QStringList many;
    for (int i = 1; i <= 30; ++i) many << QStringLiteral("Item %1").arg(i);
    std::vector<Case> cases = {
        {"short lines: one page", {"Blue widget", "Red widget", "Green widget"}, "Jo", 1, 0},
        {"a wrapped description", {"Blue widget", kLongNote, "Green widget"}, "Jo", 1, 0},
        {"a wrapped sales rep", {"Blue widget", "Red widget"}, "Jo Anne Marie Fitzgerald-Worthington the Third", 1, 0},
        {"more lines than a page holds", many, "Jo", 2, -1},
    };
    // Short invoices of 1 to 20 lines, one two lines high: the filler rows give way until 20 lines leave none.
    for (int n = 1; n <= 20; ++n) {
        QStringList lines = many.mid(0, n);
        lines[n / 2] = n % 2 ? "Marine-grade varnish, three coats, hand-sanded" : QString(32, '0') + "\r\n9";
        cases.push_back({"short invoice", lines, "Jo", n < 20 ? 1 : 2, n < 20 ? 0 : 20});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " of " + std::to_string(c.lines.size()) + " lines");
        PageDocument d;
        invoiceFlow(d, c.lines, c.salesRep);
        EXPECT_TRUE(testsupport::outsideMargins(d).isEmpty());
        ASSERT_EQ(d.Tables().size(), 3);
        const Table& lines = d.Tables()[1];
        const Table& totals = d.Tables()[2];
        EXPECT_EQ(d.PageCount(), c.pages);
        EXPECT_EQ(totals.firstPage, totals.lastPage);
        EXPECT_EQ(totals.firstPage, lines.lastPage);
        // The SubTotal row is placed once, and every totals row with it.
        int subTotals = 0, totalRows = 0;
        for (const PlacedText& t : d.Texts(PlacedText::Cell))
            if (t.table == 2) {
                subTotals += t.row == 0 && t.col == 0;
                totalRows += t.col == 0;
                EXPECT_EQ(t.page, totals.firstPage);
                EXPECT_LE(t.rect.bottom(), 10.5 + 1e-6);
            }
        EXPECT_EQ(subTotals, 1);
        EXPECT_EQ(totalRows, 6);
        // Every line placed once, in order.
        const auto rows = placedRows(d, 1);
        int last = 0;
        for (const auto& r : rows)
            if (r.second > 0) {
                EXPECT_EQ(r.second, last + 1);
                last = r.second;
            }
        EXPECT_EQ(last, c.lines.size());
        if (c.firstRowOnPage2 > 0)
            for (const auto& r : rows)
                if (r.second > 0) EXPECT_EQ(r.first, r.second >= c.firstRowOnPage2 ? 2 : 1) << "row " << r.second;
    }
}

namespace {
struct BandCase {
    const char* name;
    HeaderParts parts;
};
// The placed parts of the header (footer false) or footer on page 1 by part.
QMap<int, QList<PlacedText>> bandParts(const PageDocument& d, PlacedText::Kind kind) {
    QMap<int, QList<PlacedText>> out;
    for (const PlacedText& t : d.PageAt(1).texts)
        if (t.kind == kind) out[t.alignment].append(t);
    return out;
}
} // namespace

// The parts of a page header or footer never overlap and are printed whole,
// a "|" in a part included; they stay 0.25 in from the paper's edges.
TEST(PageDocument, HeaderPartsNeverOverlapAndStayOffThePaperEdge) {
    const std::vector<BandCase> cases = {
        {"title and company", {"Top 20 Inventory Sellers", "Harbor Supply Co.", "12/9/2026"}},
        {"a 35-character vendor", {"Registry entries for: Northwestern Industrial Supplies L", "", "3/31/2026"}},
        {"a company of 90 characters",
         {"Income Statement", QString("Harbor Marine & Industrial Supply Company of the Greater Northwestern Coast"
                                      " Region Inc"), "12/9/2026"}},
        {"a bar in a name", {"Registry entries for: Pipe|Line Co", "", "3/31/2026"}},
    };
    for (const BandCase& c : cases) {
        SCOPED_TRACE(c.name);
        PageDocument d;
        open(d);
        d.setFontBold(true);
        d.setHeader(c.parts);
        d.setFooter(c.parts);
        d.EndDoc();
        EXPECT_EQ(d.PageHeader().left, c.parts.left);
        for (PlacedText::Kind kind : {PlacedText::Header, PlacedText::Footer}) {
            const auto parts = bandParts(d, kind);
            const QString texts[3] = {c.parts.left, c.parts.centre, c.parts.right};
            QList<QPair<double, double>> spans;
            for (int i = 0; i < 3; ++i) {
                QStringList lines;
                double from = 99, to = -1;
                for (const PlacedText& t : parts.value(i)) {
                    lines << t.text;
                    const double w = PageDocument::TextWidth(t.font, t.text);
                    EXPECT_LE(w, t.rect.width() + 1e-6) << t.text.toStdString();
                    const double x = t.alignment == 0 ? t.rect.left()
                                     : t.alignment == 2 ? t.rect.right() - w
                                                        : t.rect.center().x() - w / 2;
                    from = std::min(from, x);
                    to = std::max(to, x + w);
                    EXPECT_GE(x, 0.5 - 1e-6);
                    EXPECT_LE(x + w, 8.0 + 1e-6);
                    if (kind == PlacedText::Header) {
                        EXPECT_GE(t.rect.top(), 0.25 - 1e-6);
                        EXPECT_LE(t.rect.bottom(), 0.5 + 1e-6);
                    } else {
                        EXPECT_GE(t.rect.top(), 10.5 - 1e-6);
                        EXPECT_LE(t.rect.bottom(), 10.75 + 1e-6);
                    }
                }
                EXPECT_EQ(lines.join(' '), texts[i]);
                if (!texts[i].isEmpty()) spans.append({from, to});
            }
            for (int i = 1; i < spans.size(); ++i) EXPECT_LT(spans[i - 1].second, spans[i].first) << "part " << i;
        }
    }
    // The centre part stands at the page's middle when the others leave it room.
    PageDocument d;
    open(d);
    d.setHeader("Inventory|Acme|12/9/2026");
    EXPECT_NEAR(bandParts(d, PlacedText::Header).value(1).first().rect.center().x(), 4.25, 1e-6);
}

// A text box's text is set smaller until it stays inside its box; nothing is dropped.
TEST(PageDocument, TextBoxTextStaysInsideItsBox) {
    for (const QString text : {QString("Remit to: Acme Supply"),
                               QString("Remit to: Harbor Marine & Industrial Supply Company of the Greater "
                                       "Northwestern Coast Region and Islands")}) {
        PageDocument d;
        open(d);
        d.setFontBold(true);
        d.TextBox(text, "2in", "0.25in", "4in", ".25in");
        QStringList lines;
        for (const PlacedText& t : d.Texts(PlacedText::TextBox)) {
            lines << t.text;
            EXPECT_LE(t.rect.bottom(), 0.5 + 1e-6);
            EXPECT_LE(PageDocument::TextWidth(t.font, t.text), 4.0 + 1e-6);
            EXPECT_EQ(t.font.size < 11.25, text.size() > 30);
        }
        EXPECT_EQ(lines.join(' '), text);
    }
}

TEST(PageDocument, MisusedOperationsRaiseRunTimeErrors) {
    PageDocument d;
    open(d);
    EXPECT_EQ(errorNumberOf([&] { d.AddTable("1in;", "a;", "b;"); }), 5);
    EXPECT_EQ(errorNumberOf([&] { d.EndTable(); }), 5);
    EXPECT_EQ(errorNumberOf([&] { d.setMarginLeft("half"); }), 380);
    EXPECT_EQ(errorNumberOf([&] { d.TextBox("x", "2", "0in", "1in", "1in"); }), 380);
    EXPECT_EQ(errorNumberOf([&] { d.setAlignment(3); }), 380);
    d.StartTable();
    d.AddTable("1in;", "a;", "b;");
    EXPECT_EQ(errorNumberOf([&] { d.setTableCell(tcRowHeight, 5, "0.25in"); }), 381);
    EXPECT_EQ(errorNumberOf([&] { d.setTableCell(99, 1); }), 5);
}

TEST(PageDocument, AddTableCellsKeepsSeparatorsInsideACell) {
    PageDocument d;
    open(d);
    d.StartTable();
    d.AddTableCells("1in|3in;", "Date|Description;", {"12/1/2026", "Widget; blue | large"});
    d.EndTable();
    EXPECT_EQ(d.Tables()[0].rowCount(), 1);
    EXPECT_EQ(d.Tables()[0].cell(1, 1), "Widget; blue | large");
}

TEST(PageDocument, StartDocBeginsAnewAndClearDocEmpties) {
    PageDocument d;
    open(d);
    d.setHeader("a|b|c");
    d.Paragraph("x");
    d.NewPage();
    EXPECT_EQ(d.PageCount(), 2);
    EXPECT_DOUBLE_EQ(d.CurrentY(), 0.5);
    d.EndDoc();
    EXPECT_TRUE(d.IsDocComplete());
    d.StartDoc();
    EXPECT_EQ(d.PageCount(), 1);
    EXPECT_TRUE(d.Texts(PlacedText::Paragraph).isEmpty());
    EXPECT_TRUE(d.Texts(PlacedText::Header).isEmpty());
    d.ClearDoc();
    EXPECT_EQ(d.PageCount(), 0);
    EXPECT_FALSE(d.IsDocComplete());
}

TEST(PageDocument, FontsAreTheLiberationStandIns) {
    PageDocument d;
    QFont arial("Arial");
    QFont courier("Courier New");
    EXPECT_EQ(QFontInfo(arial).family(), "Liberation Sans");
    EXPECT_EQ(QFontInfo(courier).family(), "Liberation Mono");
    EXPECT_EQ(d.BaseFont().family, "Arial");
    EXPECT_DOUBLE_EQ(d.BaseFont().size, 11.25);
    EXPECT_EQ(d.HdrFont().family, "Courier New");
    EXPECT_DOUBLE_EQ(d.HdrFont().size, 14.25);
}

// ---- painting, preview, PDF -------------------------------------------------------------

namespace {
void sampleDocument(PageDocument& d) {
    open(d);
    d.setHeader("||Invoice #1001");
    d.setAlignment(1);
    d.setFontBold(true);
    d.TextBox("Remit to: Acme Supply Co", "2in", "0.25in", "4in", ".25in");
    d.setFontBold(false);
    d.TextBox("12 Main St\nSpringfield, IL 62701\nPhone: 555-0100 / Fax: 555-0101\nWeb: acme.example",
              "2in", "0.5in", "4in", "1in");
    d.Paragraph("");
    d.setAlignment(0);
    d.setFontBold(true);
    d.TextBox("Bill To:", "0.5in", "1.5in", "1in", ".25in");
    d.TextBox("Ship To:", "5in", "1.5in", "1in", ".25in");
    d.setFontBold(false);
    d.TextBox("Ann Smith\n4 Oak Rd\nDover, DE 19901\n302-555-0123", "0.5in", "1.75in", "3.5in", "1.25in");
    d.TextBox("Ann Smith\n4 Oak Rd\nDover, DE 19901\n302-555-0123", "5in", "1.75in", "3.5in", "1.25in");
    d.Paragraph("");
    d.Paragraph("Description: Spring order");
    d.Paragraph("");
    d.StartTable();
    d.setTableBorder(9);
    d.AddTable("^1in|^3in|^2in|^1.5in;", "Date|Ship Via|Sales Rep|Terms;", "12/9/2026|UPS Ground|Jo|Net 30;");
    d.setTableCell(tcFontBold, 0, 1, 0, 4, true);
    d.EndTable();
    d.Paragraph("");
    d.StartTable();
    d.setTableBorder(9);
    const QString f = "^0.75in|^0.75in|^0.75in|<3in|>1.125in|>1.125in;";
    const QString h = "Qty|BackOrd|Item#|Description|Charge|Total;";
    d.AddTable(f, h, "3||1001|Blue widget|$3.33|$10.00;");
    d.AddTable(f, h, "1|2|1002|Large gadget with a long name|$25.00|$25.00;");
    d.setTableCell(tcRows, 20);
    for (int r = 1; r <= 20; ++r) d.setTableCell(tcRowHeight, r, "0.25in");
    d.setTableCell(tcFontBold, 0, 1, 0, 6, true);
    d.EndTable();
    d.StartTable();
    d.setAlignment(2);
    d.setTableBorder(8);
    const QString tf = ">1.125in|>1.125in;", th = "SubTotal|$35.00;";
    for (const char* row : {"Discount:|$0.00", "Interest:|$0.00", "Sales Tax:|$2.19", "Shipping:|$5.00", "Total:|$42.19"})
        d.AddTable(tf, th, row);
    d.setTableCell(tcFontBold, 5, 1, 5, 2, true);
    d.EndTable();
    d.setFooter("|We appreciate your business!|");
    d.EndDoc();
}
} // namespace

TEST(PageDocument, RendersAPageWithInkInsideTheMargins) {
    PageDocument d;
    sampleDocument(d);
    EXPECT_EQ(d.PageCount(), 1);
    const int dpi = 100;
    QImage img(85 * dpi / 10, 11 * dpi, QImage::Format_RGB32);
    img.fill(Qt::red);
    {
        QPainter p(&img);
        d.RenderPage(p, 1, QRectF(0, 0, img.width(), img.height()));
    }
    int ink = 0, inkInSideMargin = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            EXPECT_NE(c, qRgb(255, 0, 0)) << "unpainted paper at " << x << "," << y;
            if (qGray(c) < 128) {
                ++ink;
                if (x < dpi * 0.45 || x > img.width() - dpi * 0.45) ++inkInSideMargin;
            }
            if (HasFailure()) return;
        }
    EXPECT_GT(ink, 2000);
    EXPECT_EQ(inkInSideMargin, 0);
    const QByteArray dir = qgetenv("VANTREL_RENDER_DIR");
    if (!dir.isEmpty()) {
        QImage big(850 * 2, 1100 * 2, QImage::Format_RGB32);
        QPainter p(&big);
        d.RenderPage(p, 1, QRectF(0, 0, big.width(), big.height()));
        p.end();
        big.save(QString::fromUtf8(dir) + "/sample-invoice.png");
    }
}

TEST(PreviewControl, TurnsPagesWithinTheDocumentAndSavesPdf) {
    PreviewControl c;
    c.resize(900, 700);
    open(c);
    c.Paragraph("first");
    c.NewPage();
    c.Paragraph("second");
    c.EndDoc();
    EXPECT_EQ(c.PreviewPage(), 1);
    c.NextPage();
    EXPECT_EQ(c.PreviewPage(), 2);
    c.NextPage();
    EXPECT_EQ(c.PreviewPage(), 2);
    c.setPreviewPage(-4);
    EXPECT_EQ(c.PreviewPage(), 1);
    c.setZoom(50);
    EXPECT_DOUBLE_EQ(c.Zoom(), 50);
    const QImage shot = c.grab().toImage();
    EXPECT_FALSE(shot.isNull());

    QTemporaryDir dir;
    const QString path = dir.path() + "/doc.pdf";
    ASSERT_TRUE(c.SavePdf(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray pdf = f.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_TRUE(pdf.contains("/Count 2")) << "two pages";
    EXPECT_FALSE(c.SavePdf(dir.path() + "/no/such/folder/doc.pdf"));
}

TEST(PreviewControl, PageKeysTurnThePagesAndPrintingWritesEveryPage) {
    PreviewControl c;
    open(c);
    for (int i = 0; i < 3; ++i) {
        if (i) c.NewPage();
        c.Paragraph(QStringLiteral("page %1").arg(i + 1));
    }
    c.EndDoc();
    QTest::keyClick(&c, Qt::Key_PageDown);
    EXPECT_EQ(c.PreviewPage(), 2);
    QTest::keyClick(&c, Qt::Key_End);
    EXPECT_EQ(c.PreviewPage(), 3);
    QTest::keyClick(&c, Qt::Key_PageUp);
    EXPECT_EQ(c.PreviewPage(), 2);
    QTest::keyClick(&c, Qt::Key_Home);
    EXPECT_EQ(c.PreviewPage(), 1);

    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.path() + "/printed.pdf");
    c.PrintTo(printer);
    QFile f(dir.path() + "/printed.pdf");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("/Count 3"));
}

TEST(PreviewControl, PrintSequenceFollowsTheRangeCopiesAndCollation) {
    struct Case {
        const char* name;
        int count, from, to, copies;
        bool collate;
        QList<int> pages;
    };
    const std::vector<Case> cases = {
        {"all pages once", 3, 0, 0, 1, true, {1, 2, 3}},
        {"a range", 5, 2, 4, 1, true, {2, 3, 4}},
        {"a range past the end", 3, 2, 9, 1, true, {2, 3}},
        {"two copies collated", 2, 0, 0, 2, true, {1, 2, 1, 2}},
        {"two copies uncollated", 3, 2, 3, 2, false, {2, 2, 3, 3}},
        {"no pages", 0, 0, 0, 2, true, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PreviewControl::PrintSequence(c.count, c.from, c.to, c.copies, c.collate), c.pages) << c.name;
}

TEST(PreviewControl, PrintsTheChosenPagesAndCopiesAndTellsAPdfNotWritten) {
    testsupport::ProgramFolder folder(false);
    PreviewControl c;
    open(c);
    for (int i = 0; i < 4; ++i) {
        if (i) c.NewPage();
        c.Paragraph(QStringLiteral("page %1").arg(i + 1));
    }
    c.EndDoc();
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.path() + "/range.pdf");
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 3);
    printer.setCopyCount(2);
    c.PrintTo(printer);
    QFile f(dir.path() + "/range.pdf");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const int expected = printer.supportsMultipleCopies() ? 2 : 4;
    EXPECT_TRUE(f.readAll().contains(QStringLiteral("/Count %1").arg(expected).toLatin1()));

    QStringList told;
    vb::setMsgBoxHandler([&](const QString& prompt, int buttons, const QString&) {
        told << prompt;
        EXPECT_EQ(buttons, vb::vbOKOnly);
        return int(vb::vbOK);
    });
    const QString bad = dir.path() + "/no/such/folder/doc.pdf", fine = dir.path() + "/fine.pdf";
    EXPECT_FALSE(c.SavePdfTold(bad));
    EXPECT_TRUE(c.SavePdfTold(fine));
    // A full disk (a file-size limit fails the writes part way) and /dev/full: told, no file left, the earlier whole.
    auto content = [&] { QFile f(fine); return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray(); };
    const QByteArray earlier = content();
    rlimit was{}, small{4096, 0};
    getrlimit(RLIMIT_FSIZE, &was);
    small.rlim_max = was.rlim_max;
    const auto sigxfsz = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_FALSE(c.SavePdfChosen(dir.path() + "/fine"));
    setrlimit(RLIMIT_FSIZE, &was);
    std::signal(SIGXFSZ, sigxfsz);
    EXPECT_FALSE(c.SavePdfTold("/dev/full"));   // written in place, never replaced
    EXPECT_TRUE(QFileInfo("/dev/full").exists() && !QFileInfo("/dev/full").isFile());
    vb::setMsgBoxHandler({});
    EXPECT_EQ(told, QStringList({"The PDF file " + bad + " could not be written.", "The PDF file " + fine +
                                 " could not be written.", "The PDF file /dev/full could not be written."}));
    EXPECT_TRUE(earlier.trimmed().endsWith("%%EOF") && content() == earlier);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"fine.pdf", "range.pdf"}));
    // The dialog offers the document's name in the folder last saved to.
    c.setDocName("Invoice 1022");
    EXPECT_EQ(c.SuggestedPdfPath(), QDir::home().filePath("Invoice 1022.pdf"));
    EXPECT_TRUE(c.SavePdfChosen(dir.path() + "/typed") && c.SuggestedPdfPath() == dir.path() + "/Invoice 1022.pdf");
}

TEST(PreviewControl, ClearDocLeavesNoPageToShow) {
    PreviewControl c;
    open(c);
    c.Paragraph("x");
    c.EndDoc();
    c.ClearDoc();
    EXPECT_EQ(c.PageCount(), 0);
    EXPECT_EQ(c.PreviewPage(), 1);
    EXPECT_FALSE(c.grab().isNull());
}
