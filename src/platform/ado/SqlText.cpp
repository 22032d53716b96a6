#include "ado/SqlText.h"
#include <cmath>
#include "vb/Conv.h"
#include "vb/RuntimeError.h"

namespace ado {

QString SqlText(const QString& s) {
    QString out;
    out.reserve(s.size() + 2);
    out += QLatin1Char('\'');
    for (QChar c : s) {
        // SQLite ends a statement's text at a NUL; no box can mean one.
        if (c.unicode() == 0) continue;
        if (c == QLatin1Char('\'')) out += QLatin1Char('\'');
        out += c;
    }
    out += QLatin1Char('\'');
    return out;
}

QString SqlLong(long n) { return QString::number(n); }

QString SqlDouble(double x) { return vb::NumberToInvariant(x); }

QString SqlCurrency(vb::Currency c) {
    RequireStorable(c);
    return c.toInvariantString();
}

void RequireStorable(vb::Currency c) {
    // Given back exactly even when the engine reads the text one unit in
    // the last place away from the nearest Double.
    const double x = c.toDouble();
    bool exact = true;
    for (double y : {x, std::nextafter(x, -HUGE_VAL), std::nextafter(x, HUGE_VAL)}) {
        const double r = std::nearbyint(y * 10000.0);
        exact = exact && r >= -9223372036854775808.0 && r < 9223372036854775808.0 && static_cast<int64_t>(r) == c.raw();
    }
    if (!exact) throw vb::RuntimeError::Refusal(vb::err::Overflow, QStringLiteral("The amount is too large to be stored."));
}

QString SqlDate(vb::Date d) { return QLatin1Char('#') + d.toIsoString() + QLatin1Char('#'); }

QString SqlBool(bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); }

QString DayRange::Sql(const QString& column) const {
    QString sql = QStringLiteral("(not isnull(") + column + QLatin1Char(')');
    if (first) sql += QStringLiteral(" and ") + column + QStringLiteral(" >= ") + SqlDate(first->datePart());
    if (last) sql += QStringLiteral(" and ") + column + QStringLiteral(" < ") + SqlDate(last->datePart() + 1);
    return sql + QLatin1Char(')');
}

bool DayRange::Contains(vb::Date d) const {
    return (!first || d >= first->datePart()) && (!last || d < last->datePart() + 1);
}

} // namespace ado
