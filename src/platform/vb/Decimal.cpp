#include "vb/Decimal.h"
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <string>
#include <QLocale>

namespace vb::detail {

namespace {

bool isAsciiDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

QString zeroText(int places) {
    return places > 0 ? QStringLiteral("0.") + QString(places, QLatin1Char('0')) : QStringLiteral("0");
}

// Adds one to a string of decimal digits.
void increment(QString& n) {
    for (qsizetype i = n.size() - 1; i >= 0; --i) {
        if (n[i] == QLatin1Char('9')) {
            n[i] = QLatin1Char('0');
        } else {
            n[i] = QChar(n[i].unicode() + 1);
            return;
        }
    }
    n.prepend(QLatin1Char('1'));
}

} // namespace

QString FixedText(const DecimalText& d, int places, Rounding mode) {
    QString D = d.digits;
    qsizetype lead = 0;
    while (lead < D.size() && D[lead] == QLatin1Char('0')) ++lead;
    D = D.mid(lead);
    long long e = d.exponent;
    while (!D.isEmpty() && D.back() == QLatin1Char('0')) { D.chop(1); ++e; }
    if (D.isEmpty()) return zeroText(places);

    const long long p = D.size() + e;   // digits before the decimal point
    if (p < -(places + 2)) return zeroText(places);
    if (p > 1000) return QString();    // no value kind holds it; callers treat "" as overflow

    QString I, F;
    if (p <= 0) {
        F = QString(qsizetype(-p), QLatin1Char('0')) + D;
    } else if (p >= D.size()) {
        I = D + QString(qsizetype(p - D.size()), QLatin1Char('0'));
    } else {
        I = D.left(p);
        F = D.mid(p);
    }
    QString keep = F.left(places);
    keep += QString(places - keep.size(), QLatin1Char('0'));
    const QString rest = F.mid(places);

    QString N = I + keep;
    if (N.isEmpty()) N = QStringLiteral("0");
    bool up = false;
    if (!rest.isEmpty()) {
        const QChar r0 = rest[0];
        if (mode == Rounding::HalfAwayFromZero) {
            up = r0 >= QLatin1Char('5');
        } else if (r0 > QLatin1Char('5')) {
            up = true;
        } else if (r0 == QLatin1Char('5')) {
            bool beyond = false;
            for (qsizetype i = 1; i < rest.size(); ++i)
                if (rest[i] != QLatin1Char('0')) { beyond = true; break; }
            up = beyond || (N.back().digitValue() % 2 == 1);
        }
    }
    if (up) increment(N);

    QString intPart = N.left(N.size() - places);
    const QString frac = N.right(places);
    qsizetype z = 0;
    while (z < intPart.size() - 1 && intPart[z] == QLatin1Char('0')) ++z;
    intPart = intPart.mid(z);
    if (intPart.isEmpty()) intPart = QStringLiteral("0");

    bool zero = true;
    for (QChar c : N)
        if (c != QLatin1Char('0')) { zero = false; break; }
    QString out;
    if (d.negative && !zero) out += QLatin1Char('-');
    out += intPart;
    if (places > 0) out += QLatin1Char('.') + frac;
    return out;
}

bool ToScaled(const DecimalText& d, int places, Rounding mode, int64_t& out) {
    QString t = FixedText(d, places, mode);
    if (t.isEmpty()) return false;
    t.remove(QLatin1Char('.'));
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok);
    if (!ok) return false;
    out = v;
    return true;
}

double ToDouble(const DecimalText& d) {
    QByteArray s;
    if (d.negative) s += '-';
    s += d.digits.isEmpty() ? QByteArray("0") : d.digits.toLatin1();
    s += 'e';
    s += QByteArray::number(d.exponent);
    return ReadDouble(s.constData(), s.constData() + s.size());
}

double ReadDouble(const char* first, const char* last) {
    // strtod in the C locale: its overflow and underflow, never the
    // process's decimal point.
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    const std::string text(first, last);
    return strtod_l(text.c_str(), nullptr, c);
}

void Digits15(double x, QString& digits, int& exp10) {
    // to_chars writes '.' in every locale: "d.dddddddddddddde+XX".
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific, 14);
    const char* point = std::find(buf, r.ptr, '.');
    const char* e = std::find(buf, r.ptr, 'e');
    QString m = QLatin1Char(buf[0]) + QString::fromLatin1(point + 1, e - point - 1);
    while (m.size() > 1 && m.back() == QLatin1Char('0')) m.chop(1);
    digits = m;
    int v = 0;
    const char* q = e + 1;
    if (*q == '+') ++q;
    std::from_chars(q, r.ptr, v);
    exp10 = v;
}

bool ParseNumber(const QString& s, const NumberSyntax& syn, DecimalText& out) {
    QString t = s.trimmed();
    bool negative = false, signSeen = false, symbolSeen = false;

    if (syn.parentheses && t.size() >= 2 && t.startsWith(QLatin1Char('(')) && t.endsWith(QLatin1Char(')'))) {
        negative = signSeen = true;
        t = t.mid(1, t.size() - 2).trimmed();
    }
    auto takeSign = [&]() -> bool {
        for (const QString& sign : {syn.negativeSign, QStringLiteral("-")}) {
            if (!sign.isEmpty() && t.startsWith(sign)) {
                if (signSeen) return false;
                negative = signSeen = true;
                t = t.mid(sign.size()).trimmed();
                return true;
            }
        }
        for (const QString& sign : {syn.positiveSign, QStringLiteral("+")}) {
            if (!sign.isEmpty() && t.startsWith(sign)) {
                if (signSeen) return false;
                signSeen = true;
                t = t.mid(sign.size()).trimmed();
                return true;
            }
        }
        return false;
    };
    auto takeLeadingSymbol = [&]() -> bool {
        if (symbolSeen || syn.currencySymbol.isEmpty() || !t.startsWith(syn.currencySymbol)) return false;
        symbolSeen = true;
        t = t.mid(syn.currencySymbol.size()).trimmed();
        return true;
    };
    // "-$1.00", "$-1.00", "-1,00 €"
    for (int k = 0; k < 2; ++k)
        if (!takeSign() && !takeLeadingSymbol()) break;
    if (!symbolSeen && !syn.currencySymbol.isEmpty() && t.endsWith(syn.currencySymbol)) {
        symbolSeen = true;
        t.chop(syn.currencySymbol.size());
        t = t.trimmed();
    }
    if (t.isEmpty()) return false;

    if (syn.radixPrefixes && t.size() > 2 && t[0] == QLatin1Char('&')) {
        const QChar r = t[1].toUpper();
        if (r == QLatin1Char('H') || r == QLatin1Char('O')) {
            bool ok = false;
            const qulonglong u = t.mid(2).toULongLong(&ok, r == QLatin1Char('H') ? 16 : 8);
            if (!ok || t.mid(2).startsWith(QLatin1Char('+')) || t.mid(2).startsWith(QLatin1Char('-')))
                return false;
            qint64 v;
            if (u <= 0xFFFFu) v = static_cast<int16_t>(u);        // fits an Integer: signed 16-bit
            else if (u <= 0xFFFFFFFFu) v = static_cast<int32_t>(u);
            else if (u <= 0x7FFFFFFFFFFFFFFFull) v = static_cast<qint64>(u);
            else return false;
            if (negative) v = -v;
            out = DecimalText{v < 0, QString::number(v < 0 ? -v : v), 0};
            return true;
        }
    }

    QString digits;
    int fracDigits = 0;
    bool seenDigit = false, seenPoint = false;
    qsizetype i = 0;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (isAsciiDigit(c)) {
            digits += c;
            seenDigit = true;
            if (seenPoint) ++fracDigits;
        } else if (!seenPoint && c == syn.decimal) {
            seenPoint = true;
        } else if (!seenPoint && seenDigit && syn.groups.contains(c)) {
            continue;
        } else {
            break;
        }
    }
    if (!seenDigit) return false;

    long long exponent = 0;
    if (i < t.size() && QStringLiteral("eEdD").contains(t[i])) {
        qsizetype j = i + 1;
        bool expNegative = false;
        if (j < t.size() && (t[j] == QLatin1Char('+') || t[j] == QLatin1Char('-'))) {
            expNegative = t[j] == QLatin1Char('-');
            ++j;
        }
        const qsizetype start = j;
        while (j < t.size() && isAsciiDigit(t[j])) {
            if (exponent < 100000) exponent = exponent * 10 + t[j].digitValue();
            ++j;
        }
        if (j == start) return false;
        if (expNegative) exponent = -exponent;
        i = j;
    }
    if (i != t.size()) return false;

    out.negative = negative;
    out.digits = digits;
    out.exponent = static_cast<int>(exponent - fracDigits);
    return true;
}

NumberSyntax InvariantSyntax() { return NumberSyntax{}; }

NumberSyntax LocaleSyntax() {
    const QLocale loc;
    NumberSyntax syn;
    const QString point = loc.decimalPoint();
    if (!point.isEmpty()) syn.decimal = point[0];
    syn.groups = loc.groupSeparator();
    if (!syn.groups.isEmpty() && syn.groups[0].isSpace())
        syn.groups = QStringLiteral(" \u00A0\u202F");   // typed blanks stand in for the narrow ones
    syn.currencySymbol = loc.currencySymbol(QLocale::CurrencySymbol);
    // Money text of a locale without a symbol carries the currency's code.
    if (syn.currencySymbol.isEmpty()) syn.currencySymbol = loc.currencySymbol(QLocale::CurrencyIsoCode);
    if (!loc.negativeSign().isEmpty()) syn.negativeSign = loc.negativeSign();
    if (!loc.positiveSign().isEmpty()) syn.positiveSign = loc.positiveSign();
    syn.parentheses = true;
    syn.radixPrefixes = true;
    return syn;
}

} // namespace vb::detail
