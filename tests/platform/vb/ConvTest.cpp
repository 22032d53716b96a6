// The conversions under the pinned en_US locale; LocaleTest.cpp repeats the
// locale-sensitive ones under a comma-decimal, day-first locale.
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include "support/TestEnv.h"
#include "vb/Conv.h"
#include "vb/RuntimeError.h"

using namespace vb;

using testsupport::errorNumberOf;

namespace {

QString q(const char* s) { return QString::fromUtf8(s); }

TEST(Conv, CStrOfDoubles) {
    struct Case { double x; const char* text; } cases[] = {
        {12.5, "12.5"}, {0.0, "0"}, {-0.0, "0"}, {100.0, "100"}, {-0.0001, "-0.0001"},
        {0.0001, "0.0001"}, {0.00001, "1E-05"}, {1e15, "1E+15"}, {-1.5e20, "-1.5E+20"},
        {999999999999999.0, "999999999999999"}, {1.0 / 3.0, "0.333333333333333"},
        {0.1 + 0.2, "0.3"}, {123456789012345678.0, "1.23456789012346E+17"},
        {2.5e-100, "2.5E-100"}, {-2.0 / 3.0, "-0.666666666666667"}, {1234567.125, "1234567.125"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CStr(c.x), q(c.text));
        EXPECT_EQ(NumberToInvariant(c.x), q(c.text));
    }
}

TEST(Conv, CStrOfOtherKinds) {
    EXPECT_EQ(CStr(true), "True");
    EXPECT_EQ(CStr(false), "False");
    EXPECT_EQ(CStr(-42), "-42");
    EXPECT_EQ(CStr(Variant::Integer(7)), "7");
    EXPECT_EQ(CStr(Currency::fromRaw(125000)), "12.5");
    EXPECT_EQ(CStr(Currency::fromRaw(-1)), "-0.0001");
    EXPECT_EQ(CStr("it's"), "it's");
    EXPECT_EQ(CStr(Variant()), "");
    EXPECT_EQ(CStr(Date::fromYmd(2026, 12, 9)), "12/9/2026");
    EXPECT_EQ(CStr(Date::fromYmd(2026, 12, 9, 15, 4, 5)), "12/9/2026 3:04:05 PM");
    EXPECT_EQ(CStr(Date::fromYmd(1899, 12, 30, 9, 30, 0)), "9:30:00 AM");
    EXPECT_EQ(errorNumberOf([] { CStr(Variant::Null()); }), err::InvalidUseOfNull);
    // `value & ""` takes Null as empty text.
    EXPECT_EQ(Variant::Null().str(), "");
    EXPECT_EQ(Variant(2.5).str(), "2.5");
}

TEST(Conv, CLngAndCIntRoundHalvesToEvenAndCheckRange) {
    struct Case { Variant v; long number; int32_t value; } cases[] = {
        {2.5, 0, 2}, {3.5, 0, 4}, {-2.5, 0, -2}, {-3.5, 0, -4}, {2.5000001, 0, 3},
        {"2.5", 0, 2}, {"3.5", 0, 4}, {" 1,234 ", 0, 1234}, {"-17", 0, -17}, {"1e3", 0, 1000},
        {"&H10", 0, 16}, {"$12", 0, 12}, {"(5)", 0, -5},
        {Currency::fromRaw(25000), 0, 2}, {Currency::fromRaw(35000), 0, 4}, {Currency::fromRaw(-25001), 0, -3},
        {true, 0, -1}, {Variant(), 0, 0}, {2147483647.4, 0, 2147483647}, {-2147483648.0, 0, INT32_MIN},
        {"", err::TypeMismatch, 0}, {"   ", err::TypeMismatch, 0}, {"abc", err::TypeMismatch, 0},
        {"12abc", err::TypeMismatch, 0}, {"1.2.3", err::TypeMismatch, 0}, {"-", err::TypeMismatch, 0},
        {"2147483648", err::Overflow, 0}, {2147483647.5, err::Overflow, 0}, {1e300, err::Overflow, 0},
        {Variant::Null(), err::InvalidUseOfNull, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.v));
        int32_t got = 0;
        EXPECT_EQ(errorNumberOf([&] { got = CLng(c.v); }), c.number);
        if (c.number == 0) {
            EXPECT_EQ(got, c.value);
        }
    }
    EXPECT_EQ(CInt("32,767"), 32767);
    EXPECT_EQ(CInt(-32768.4), -32768);
    EXPECT_EQ(CInt(0.5), 0);
    EXPECT_EQ(errorNumberOf([] { CInt(32767.5); }), err::Overflow);
    EXPECT_EQ(errorNumberOf([] { CInt(40000); }), err::Overflow);
}

TEST(Conv, CDblAndCCurReadText) {
    EXPECT_EQ(CDbl(" 1,234.5 "), 1234.5);
    EXPECT_EQ(CDbl("-$1.50"), -1.5);
    EXPECT_EQ(CDbl("1.5E+20"), 1.5e20);
    EXPECT_EQ(CDbl(".5"), 0.5);
    EXPECT_EQ(CDbl(Currency::fromRaw(5)), 0.0005);
    EXPECT_EQ(CDbl(Date::fromYmd(2000, 1, 1, 12)), 36526.5);
    EXPECT_EQ(errorNumberOf([] { CDbl("1e400"); }), err::Overflow);
    EXPECT_EQ(errorNumberOf([] { CDbl("x"); }), err::TypeMismatch);
    EXPECT_EQ(errorNumberOf([] { CDbl(""); }), err::TypeMismatch);

    struct Case { Variant v; int64_t raw; } cur[] = {
        // Text rounds as written, not as its nearest double.
        {"0.00005", 0}, {"0.00015", 2}, {"0.00025", 2}, {"1,234.5678", 12345678}, {"-0.00035", -4},
        {0.00025, 2}, {12, 120000}, {true, -10000}, {"922337203685477.5807", INT64_MAX},
    };
    for (const Case& c : cur) {
        SCOPED_TRACE(testing::PrintToString(c.v));
        EXPECT_EQ(CCur(c.v).raw(), c.raw);
    }
    EXPECT_EQ(errorNumberOf([] { CCur("922337203685477.5808"); }), err::Overflow);
    EXPECT_EQ(errorNumberOf([] { CCur("one"); }), err::TypeMismatch);
    EXPECT_EQ(errorNumberOf([] { CCur(Variant::Null()); }), err::InvalidUseOfNull);
}

TEST(Conv, CBool) {
    EXPECT_TRUE(CBool("True"));
    EXPECT_TRUE(CBool(" tRUE "));
    EXPECT_FALSE(CBool("FALSE"));
    EXPECT_FALSE(CBool("0"));
    EXPECT_TRUE(CBool("-1"));
    EXPECT_TRUE(CBool(0.5));
    EXPECT_FALSE(CBool(Currency()));
    EXPECT_EQ(errorNumberOf([] { CBool("yes"); }), err::TypeMismatch);
    EXPECT_EQ(errorNumberOf([] { CBool(""); }), err::TypeMismatch);
    EXPECT_EQ(errorNumberOf([] { CBool(Variant::Null()); }), err::InvalidUseOfNull);
}

TEST(Conv, CDateReadsTheDefaultTextAndIso) {
    struct Case { const char* text; const char* iso; } cases[] = {
        {"12/9/2026", "2026-12-09 00:00:00"}, {"12/09/2026", "2026-12-09 00:00:00"},
        {"12/9/26", "2026-12-09 00:00:00"}, {"1/2/29", "2029-01-02 00:00:00"},
        {"12/9/2026 3:04:05 PM", "2026-12-09 15:04:05"}, {"12/9/2026 3:04 am", "2026-12-09 03:04:00"},
        {"12/9/2026 15:04", "2026-12-09 15:04:00"}, {" 2026-12-09 10:11:12 ", "2026-12-09 10:11:12"},
        {"2026-12-09", "2026-12-09 00:00:00"}, {"3:04:05 PM", "1899-12-30 15:04:05"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CDate(q(c.text)).toIsoString(), q(c.iso));
    }
    for (const char* bad : {"", "x", "13/1/2026", "2/30/2026", "12/9/2026 25:00"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(errorNumberOf([&] { CDate(q(bad)); }), err::TypeMismatch);
        EXPECT_FALSE(IsDate(q(bad)));
    }
    EXPECT_EQ(CDate(36526.5).toIsoString(), "2000-01-01 12:00:00");
    EXPECT_TRUE(IsDate("12/9/2026"));
    EXPECT_TRUE(IsNumeric(" 1,234.5 "));
    EXPECT_FALSE(IsNumeric("12abc"));
}

// A two-digit year falls in the hundred years from 80 before today's year to
// 19 after it, typed or in a masked box.
TEST(Conv, TwoDigitYearsTakeTheCenturyAroundToday) {
    struct Case { int today; const char* text; int year; } cases[] = {
        {2030, "3/15/30", 2030}, {2030, "1/1/49", 2049}, {2030, "1/1/50", 1950}, {2030, "12/31/99", 1999},
        {2030, "1/1/00", 2000}, {2031, "1/1/50", 2050}, {2031, "1/1/51", 1951}, {2026, "1/2/45", 2045},
        {2026, "1/2/47", 1947}, {2099, "1/1/18", 2118}, {2099, "1/1/19", 2019},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.today) + " " + c.text);
        testsupport::PinnedClock pinned(QDateTime(QDate(c.today, 6, 1), QTime(12, 0)));
        EXPECT_EQ(CDate(q(c.text)).year(), c.year);
        EXPECT_EQ(FullYear(c.year % 100), c.year);
    }
}

TEST(Conv, DefaultDateTextRoundTrips) {
    const Date dates[] = {Date::fromYmd(2026, 12, 9), Date::fromYmd(2026, 1, 31, 23, 59, 59),
                          Date::fromYmd(1900, 1, 1, 0, 0, 1), Date::fromYmd(2029, 12, 31, 12, 0, 0)};
    for (Date d : dates) {
        SCOPED_TRACE(d.toIsoString().toStdString());
        EXPECT_EQ(TextToDate(DateToText(d)).toIsoString(), d.toIsoString());
    }
}

TEST(Conv, Val) {
    struct Case { const char* text; double value; } cases[] = {
        {"1 2", 12}, {"12abc", 12}, {"", 0}, {"abc", 0}, {" -3.5e2x", -350}, {"1.2.3", 1.2},
        {"&HFF", 255}, {"&hffff", -1}, {"&H10000", 65536}, {"&HFFFFFFFF", -1}, {"&O17", 15}, {"&H", 0},
        {"1D2", 100}, {"1e", 1}, {"1e+", 1}, {"\t4\n5", 45}, {"+.5", 0.5}, {"1,000", 1}, {"- 7", -7},
        {"--1", 0}, {"2.5E-3", 0.0025}, {"0x10", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Val(q(c.text)), c.value);
    }
}

// The leading-number boxes (tax rate, vendor discount) and the plain-number
// boxes (client and invoice discount) side by side.
TEST(Conv, LeadingAndPlainNumbers) {
    struct Case { const char* text; double leading; bool plain; double plainValue; } cases[] = {
        {"7.25", 7.25, true, 7.25}, {"12,5", 12, true, 12.5},     {"7 5", 7, false, 0},
        {" 3.5 ", 3.5, true, 3.5},  {"1.234,5", 1.234, false, 0}, {"", 0, false, 0},
        {"12.5%", 12.5, false, 0},  {"1e2", 100, false, 0},       {",5", 0, true, 0.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(LeadingNumber(q(c.text)), c.leading);
        double x = -99;
        EXPECT_EQ(TryPlainNumber(q(c.text), x), c.plain);
        if (c.plain) EXPECT_EQ(x, c.plainValue);
    }
    EXPECT_EQ(errorNumberOf([] { LeadingNumber("1e999"); }), err::Overflow);
}

TEST(Conv, Format00RoundsHalfAwayFromZero) {
    struct Case { double x; const char* text; } cases[] = {
        {1.125, "1.13"}, {1.115, "1.12"}, {1.005, "1.01"}, {2.675, "2.68"}, {0.0, "0.00"},
        {-1.125, "-1.13"}, {1024.0, "1024.00"}, {0.004, "0.00"}, {-0.004, "0.00"}, {0.995, "1.00"},
        {1152.0 / 1024.0, "1.13"}, {1048575.0 / 1024.0, "1024.00"}, {1e20, "100000000000000000000.00"},
        {1234567.891, "1234567.89"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Format00(c.x), q(c.text));
    }
}

TEST(Conv, CurrencyTextBothWays) {
    struct Case { int64_t raw; const char* text; } cases[] = {
        {12345000, "$1,234.50"}, {-12345000, "($1,234.50)"}, {50, "$0.01"}, {-40, "$0.00"}, {0, "$0.00"},
        {9999950, "$1,000.00"}, {INT64_MAX, "$922,337,203,685,477.58"}, {INT64_MIN, "($922,337,203,685,477.58)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FormatCurrency(Currency::fromRaw(c.raw)), q(c.text));
    }
    struct Parse { const char* text; int64_t raw; } reads[] = {
        {"$1,234.50", 12345000}, {"($1,234.50)", -12345000}, {"-$5", -50000}, {"$-5", -50000},
        {" 12.5 ", 125000}, {"1,234.5678", 12345678}, {"1234.56785", 12345678}, {"$ 3", 30000},
    };
    for (const Parse& p : reads) {
        SCOPED_TRACE(p.text);
        EXPECT_EQ(ParseCurrency(q(p.text)).raw(), p.raw);
    }
    for (const char* bad : {"", "  ", "abc", "$", "1.2.3", "$1,234.50 USD", "(-5)"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(errorNumberOf([&] { ParseCurrency(q(bad)); }), err::TypeMismatch);
    }
    for (int64_t raw : {int64_t(0), int64_t(1250000), int64_t(-99), int64_t(123456789000)}) {
        const Currency shown = ParseCurrency(FormatCurrency(Currency::fromRaw(raw)));
        EXPECT_EQ(shown, Currency::fromDouble(std::round(raw / 100.0) / 100.0)) << raw;
    }
}

TEST(Variant, EqualityAcrossNumericKinds) {
    EXPECT_EQ(Variant(1), Variant(1.0));
    EXPECT_EQ(Variant(Currency::fromLong(2)), Variant(2));
    EXPECT_EQ(Variant(true), Variant(-1));
    EXPECT_EQ(Variant::Null(), Variant::Null());
    EXPECT_FALSE(Variant::Null() == Variant());
    EXPECT_FALSE(Variant("1") == Variant(1));
    EXPECT_FALSE(Variant("a") == Variant("A"));
    EXPECT_EQ(Variant(Date(5.0)), Variant(Date(5.0)));
    EXPECT_EQ(Variant(5000000000LL).type(), VarType::Double);
    EXPECT_EQ(Variant(-5L).type(), VarType::Long);
}

} // namespace
