#include "ado/SqlText.h"
#include "vb/Conv.h"

namespace ado {

QString SqlText(const QString& s) {
    QString out;
    out.reserve(s.size() + 2);
    out += QLatin1Char('\'');
    for (QChar c : s) {
        if (c == QLatin1Char('\'')) out += QLatin1Char('\'');
        out += c;
    }
    out += QLatin1Char('\'');
    return out;
}

QString SqlLong(long n) { return QString::number(n); }

QString SqlDouble(double x) { return vb::NumberToInvariant(x); }

QString SqlCurrency(vb::Currency c) { return c.toInvariantString(); }

QString SqlDate(vb::Date d) { return QLatin1Char('#') + d.toIsoString() + QLatin1Char('#'); }

QString SqlBool(bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); }

} // namespace ado
