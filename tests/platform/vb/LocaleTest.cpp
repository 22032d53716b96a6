// Under a comma-decimal, day-first locale the display forms follow it, while
// the invariant forms the data file and SQL text use do not move.
#include <cfloat>
#include <clocale>
#include <string>
#include <gtest/gtest.h>
#include <QLocale>
#include "ado/SqlText.h"
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
    // Fifteen digits of the largest Double would round past it: cut instead.
    EXPECT_EQ(InvariantToNumber(NumberToInvariant(-DBL_MAX)), -1.79769313486231e308);
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

// The C library's own locale (which the application object takes from the
// environment) must not reach the invariant forms: not a comma for a point,
// nor a decimal point two bytes long. Locales the machine lacks are skipped;
// the CI run provides them.
class CLibraryLocale : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        const char* was = std::setlocale(LC_ALL, nullptr);
        saved = was ? was : "C";
        if (!std::setlocale(LC_ALL, GetParam())) GTEST_SKIP() << GetParam() << " is not installed";
    }
    void TearDown() override { std::setlocale(LC_ALL, saved.c_str()); }
    std::string saved;
};

TEST_P(CLibraryLocale, InvariantConversionsIgnoreIt) {
    EXPECT_EQ(Val("7.25"), 7.25);
    EXPECT_EQ(Val("-1.5e2"), -150);
    EXPECT_EQ(LeadingNumber("8.25 %"), 8.25);
    EXPECT_EQ(NumberToInvariant(8.25), "8.25");
    EXPECT_EQ(NumberToInvariant(-2.5e-100), "-2.5E-100");
    EXPECT_EQ(ado::SqlDouble(1.25), "1.25");
    EXPECT_EQ(InvariantToNumber("1.25"), 1.25);
    EXPECT_EQ(Format00(1.005), "1.01");

}

INSTANTIATE_TEST_SUITE_P(Locales, CLibraryLocale,
                         ::testing::Values("de_DE.UTF-8", "ps_AF.UTF-8"),
                         [](const auto& info) { return std::string(info.param).substr(0, 5); });

// Every locale Qt knows, its own digits and patterns included: the amount
// shown is the amount held, and reading it back gives the amount rounded to
// the decimals the locale's currency shows.
TEST(EveryLocale, CurrencyShowsTheAmountAndReadsBack) {
    int failures = 0;
    for (const QLocale& loc : QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
        QLocale::setDefault(loc);
        for (int64_t raw : {int64_t(12345678), int64_t(-12345678), int64_t(0), int64_t(-987654320000), int64_t(-5000)}) {
            const QString shown = FormatCurrency(Currency::fromRaw(raw));
            // Half away from zero to a step of 1, 0.01 or 0.001.
            auto rounded = [raw](int64_t step) {
                const int64_t m = (raw < 0 ? -raw : raw) + step / 2;
                return (raw < 0 ? -1 : 1) * (m - m % step);
            };
            int64_t back = 1;
            try { back = ParseCurrency(shown).raw(); } catch (const RuntimeError&) {}
            if ((shown != loc.toCurrencyString(raw / 10000.0) ||
                 (back != rounded(10000) && back != rounded(100) && back != rounded(10))) && ++failures <= 10)
                ADD_FAILURE() << loc.name().toStdString() << " " << raw << ": " << shown.toStdString();
        }
        // A money box shows all four decimals an amount holds and reads them back.
        for (int64_t raw : {int64_t(123400), int64_t(12345), int64_t(-5000), int64_t(1)}) {
            const QString box = FormatCurrencyExact(Currency::fromRaw(raw));
            int64_t back = 0;
            try { back = ParseCurrency(box).raw(); } catch (const RuntimeError&) {}
            if (back != raw && ++failures <= 10)
                ADD_FAILURE() << loc.name().toStdString() << " box " << raw << ": " << box.toStdString();
        }
    }
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

} // namespace
