#pragma once
// Fixed-point money: a 64-bit count of 1/10000 units, as the books keep it.
#include <cstdint>
#include <compare>
#include <iosfwd>
#include <QString>

namespace vb {

class Currency {
public:
    constexpr Currency() = default;
    static constexpr Currency fromRaw(int64_t tenThousandths) { Currency c; c.v_ = tenThousandths; return c; }
    // Whole units (a Long); exact.
    static Currency fromLong(int64_t units);
    // CCur of a Double: x*10000 rounded half to even; out of range raises 6.
    static Currency fromDouble(double x);

    constexpr int64_t raw() const { return v_; }
    double toDouble() const { return static_cast<double>(v_) / 10000.0; }

    // Exact arithmetic; overflow raises 6.
    Currency operator+(Currency o) const;
    Currency operator-(Currency o) const;
    Currency operator-() const;
    Currency& operator+=(Currency o) { return *this = *this + o; }
    Currency& operator-=(Currency o) { return *this = *this - o; }
    auto operator<=>(const Currency&) const = default;

    // Invariant text: '.' decimal, no grouping, shortest form ("12.5", "0", "-0.0001").
    QString toInvariantString() const;
    // Reads invariant text ('.' decimal, optional sign and exponent) exactly,
    // more than four decimals rounding half to even; false when it is not a
    // number or does not fit.
    static bool fromInvariantString(const QString& s, Currency& out);

    static constexpr Currency max() { return fromRaw(INT64_MAX); }
    static constexpr Currency min() { return fromRaw(INT64_MIN); }

private:
    int64_t v_ = 0;
};

// Test output (GoogleTest finds it by argument lookup).
void PrintTo(const Currency& c, std::ostream* os);

} // namespace vb
