#include "vb/Currency.h"
#include <cmath>
#include <ostream>
#include "vb/Decimal.h"
#include "vb/RuntimeError.h"

namespace vb {

Currency Currency::fromLong(int64_t units) {
    int64_t r;
    if (__builtin_mul_overflow(units, int64_t(10000), &r)) Raise(err::Overflow);
    return fromRaw(r);
}

Currency Currency::fromDouble(double x) {
    // nearbyint under the default round-to-nearest mode takes halves to even.
    const double r = std::nearbyint(x * 10000.0);
    // 2^63 is exact in a double; anything at or beyond it does not fit.
    if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) Raise(err::Overflow);
    return fromRaw(static_cast<int64_t>(r));
}

Currency Currency::operator+(Currency o) const {
    int64_t r;
    if (__builtin_add_overflow(v_, o.v_, &r)) Raise(err::Overflow);
    return fromRaw(r);
}

Currency Currency::operator-(Currency o) const {
    int64_t r;
    if (__builtin_sub_overflow(v_, o.v_, &r)) Raise(err::Overflow);
    return fromRaw(r);
}

Currency Currency::operator-() const {
    if (v_ == INT64_MIN) Raise(err::Overflow);
    return fromRaw(-v_);
}

QString Currency::toInvariantString() const {
    const bool negative = v_ < 0;
    // Unsigned, so the most negative value has a magnitude too.
    const uint64_t mag = negative ? uint64_t(0) - static_cast<uint64_t>(v_) : static_cast<uint64_t>(v_);
    QString s = QString::number(mag / 10000);
    uint64_t frac = mag % 10000;
    if (frac != 0) {
        QString f = QStringLiteral("%1").arg(frac, 4, 10, QLatin1Char('0'));
        while (f.endsWith(QLatin1Char('0'))) f.chop(1);
        s += QLatin1Char('.') + f;
    }
    return negative ? QLatin1Char('-') + s : s;
}

bool Currency::fromInvariantString(const QString& s, Currency& out) {
    detail::DecimalText d;
    if (!detail::ParseNumber(s, detail::InvariantSyntax(), d)) return false;
    int64_t raw;
    if (!detail::ToScaled(d, 4, detail::Rounding::HalfEven, raw)) return false;
    out = fromRaw(raw);
    return true;
}

void PrintTo(const Currency& c, std::ostream* os) { *os << c.toInvariantString().toStdString(); }

} // namespace vb
