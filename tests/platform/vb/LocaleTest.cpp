// Under a comma-decimal, day-first locale the display forms follow it, while
// the invariant forms the data file and SQL text use do not move.
#include <gtest/gtest.h>
#include <QLocale>
#include "vb/Conv.h"
#include "vb/RuntimeError.h"

using namespace vb;

namespace {

QString q(const char* s) { return QString::fromUtf8(s); }

class GermanLocale : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void TearDown() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
};

TEST_F(GermanLocale, DisplayFormsUseTheLocale) {
    EXPECT_EQ(CStr(12.5), "12,5");
    EXPECT_EQ(CStr(-1.5e20), "-1,5E+20");
    EXPECT_EQ(CStr(0.00001), "1E-05");
    EXPECT_EQ(CStr(Currency::fromRaw(125000)), "12,5");
    EXPECT_EQ(NumberToText(1234567.25), "1234567,25");
    EXPECT_EQ(Format00(1.125), "1,13");
    EXPECT_EQ(FormatCurrency(Currency::fromRaw(12345000)), q("1.234,50\u00A0€"));
    EXPECT_EQ(FormatCurrency(Currency::fromRaw(-12345000)), q("-1.234,50\u00A0€"));
    EXPECT_EQ(CStr(true), "True");
}

TEST_F(GermanLocale, InvariantFormsDoNotMove) {
    EXPECT_EQ(NumberToInvariant(12.5), "12.5");
    EXPECT_EQ(NumberToInvariant(-1.5e20), "-1.5E+20");
    EXPECT_EQ(Currency::fromRaw(125000).toInvariantString(), "12.5");
    EXPECT_EQ(InvariantToNumber("12.5"), 12.5);
    EXPECT_EQ(InvariantToNumber("-1.5E+20"), -1.5e20);
    Currency c;
    ASSERT_TRUE(Currency::fromInvariantString("1234.5678", c));
    EXPECT_EQ(c.raw(), 12345678);
    EXPECT_EQ(Date::fromYmd(2026, 12, 9, 15, 4, 5).toIsoString(), "2026-12-09 15:04:05");
    EXPECT_EQ(Val("1.5"), 1.5);   // Val always reads a period
    EXPECT_THROW(InvariantToNumber("12,5"), RuntimeError);
}

TEST_F(GermanLocale, TextToNumberReadsTheLocale) {
    EXPECT_EQ(CDbl("1.234,5"), 1234.5);
    EXPECT_EQ(CDbl(" 1,5 "), 1.5);
    EXPECT_EQ(CDbl("12.5"), 125.0);   // '.' groups here
    EXPECT_EQ(CLng("2,5"), 2);
    EXPECT_EQ(CLng("3,5"), 4);
    EXPECT_EQ(CCur("0,00025").raw(), 2);
    EXPECT_EQ(ParseCurrency("1.234,50 €").raw(), 12345000);
    EXPECT_EQ(ParseCurrency(q("-1.234,50\u00A0€")).raw(), -12345000);
    EXPECT_EQ(ParseCurrency("7,25").raw(), 72500);
    EXPECT_THROW(ParseCurrency("$5"), RuntimeError);
    EXPECT_THROW(CLng(""), RuntimeError);
}

TEST_F(GermanLocale, DatesAreDayFirst) {
    const Date d = Date::fromYmd(2026, 12, 9);
    EXPECT_EQ(DateToText(d), "09.12.2026");
    EXPECT_EQ(DateToText(Date::fromYmd(2026, 12, 9, 15, 4, 5)), "09.12.2026 15:04:05");
    EXPECT_EQ(TextToDate("9.12.2026"), d);
    EXPECT_EQ(TextToDate("09.12.26"), d);
    EXPECT_EQ(TextToDate("09.12.2026 15:04"), Date::fromYmd(2026, 12, 9, 15, 4, 0));
    EXPECT_EQ(TextToDate("2026-12-09"), d);
    EXPECT_THROW(TextToDate("12/9/2026"), RuntimeError);
    EXPECT_THROW(TextToDate("31.02.2026"), RuntimeError);
}

} // namespace
