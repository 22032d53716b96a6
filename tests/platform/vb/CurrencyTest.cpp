// Fixed-point money: rounding into it, overflow at its edges, and its text.
#include <cmath>
#include <gtest/gtest.h>
#include "support/TestEnv.h"
#include "vb/Currency.h"
#include "vb/RuntimeError.h"

using vb::Currency;

using testsupport::errorNumberOf;

namespace {

TEST(Currency, FromDoubleRoundsHalfToEven) {
    struct Case { double x; int64_t raw; } cases[] = {
        {0.00025, 2}, {0.00035, 4}, {-0.00025, -2}, {-0.00035, -4},
        {1.23456, 12346}, {-1.23454, -12345}, {2.00005, 20000}, {2.00015, 20002},
        {0.1 + 0.2, 3000}, {12.5, 125000}, {0.0, 0},
        {123456789012.3456, 1234567890123456},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(Currency::fromDouble(c.x).raw(), c.raw);
    }
}

TEST(Currency, OutOfRangeRaisesOverflow) {
    const Currency max = Currency::max(), min = Currency::min(), tick = Currency::fromRaw(1);
    const std::function<void()> cases[] = {
        [] { Currency::fromDouble(922337203685478.0); },
        [] { Currency::fromDouble(-1e300); },
        [] { Currency::fromDouble(std::nan("")); },
        [] { Currency::fromLong(INT64_MAX / 1000); },
        [&] { (void)(max + tick); },
        [&] { (void)(min - tick); },
        [&] { (void)(-min); },
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(errorNumberOf(cases[i]), vb::err::Overflow);
    }
    EXPECT_EQ((max - tick + tick), max);
    EXPECT_EQ(-max, min + tick);
}

TEST(Currency, ArithmeticIsExact) {
    Currency sum;
    for (int i = 0; i < 1000; ++i) sum += Currency::fromDouble(0.1);
    EXPECT_EQ(sum, Currency::fromLong(100));
    EXPECT_EQ(Currency::fromDouble(0.3) - Currency::fromDouble(0.1), Currency::fromDouble(0.2));
}

TEST(Currency, InvariantText) {
    struct Case { int64_t raw; const char* text; } cases[] = {
        {125000, "12.5"}, {0, "0"}, {-1, "-0.0001"}, {10000, "1"}, {12345, "1.2345"},
        {-12340000, "-1234"}, {INT64_MAX, "922337203685477.5807"}, {INT64_MIN, "-922337203685477.5808"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Currency::fromRaw(c.raw).toInvariantString(), QString::fromLatin1(c.text));
        Currency back;
        ASSERT_TRUE(Currency::fromInvariantString(QString::fromLatin1(c.text), back));
        EXPECT_EQ(back.raw(), c.raw);
    }
}

TEST(Currency, ReadsInvariantTextExactly) {
    struct Case { const char* text; bool ok; int64_t raw; } cases[] = {
        {"12.34565", true, 123456}, {"12.34575", true, 123458}, {"0.00005", true, 0},
        {"-0.00015", true, -2}, {"1E3", true, 10000000}, {" 7 ", true, 70000},
        {"922337203685477.5808", false, 0}, {"abc", false, 0}, {"", false, 0},
        {"1,5", false, 0}, {"12.5x", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Currency out;
        EXPECT_EQ(Currency::fromInvariantString(QString::fromLatin1(c.text), out), c.ok);
        if (c.ok) {
            EXPECT_EQ(out.raw(), c.raw);
        }
    }
}

} // namespace
