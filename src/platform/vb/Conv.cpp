#include "vb/Conv.h"
#include <algorithm>
#include <cmath>
#include <memory>
#include <QLocale>
#include <QStringList>
#include "vb/Decimal.h"
#include "vb/RuntimeError.h"

namespace vb {

using detail::DecimalText;
using detail::Rounding;

namespace {

// The locale's decimal separator in place of the invariant '.'.
QString toDisplay(QString invariant) {
    const QString point = QLocale().decimalPoint();
    if (point != QLatin1String("."))
        invariant.replace(QLatin1Char('.'), point);
    return invariant;
}

// Writing-direction marks dropped and every decimal digit made ASCII, so
// text in a locale's own digits ("١٬٢٣٤٫٥٠ ج.م.") reads as its number.
QString plainDigits(const QString& s) {
    QString out;
    out.reserve(s.size());
    for (char32_t c : s.toUcs4()) {
        if (c == 0x200E || c == 0x200F || c == 0x061C || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069))
            continue;
        if (c >= 0x80 && QChar::category(c) == QChar::Number_DecimalDigit) {
            out += QLatin1Char(char('0' + QChar::digitValue(c)));
            continue;
        }
        out += QString::fromUcs4(&c, 1);
    }
    return out;
}

detail::NumberSyntax plainLocaleSyntax() {
    detail::NumberSyntax syn = detail::LocaleSyntax();
    syn.currencySymbol = plainDigits(syn.currencySymbol);
    syn.negativeSign = plainDigits(syn.negativeSign);
    syn.positiveSign = plainDigits(syn.positiveSign);
    return syn;
}

bool readLocaleText(const QString& s, DecimalText& d) {
    return detail::ParseNumber(plainDigits(s), plainLocaleSyntax(), d);
}

DecimalText parseLocaleText(const QString& s) {
    DecimalText d;
    if (!readLocaleText(s, d)) Raise(err::TypeMismatch);
    return d;
}

// ASCII digits in the locale's own digits ("12" is "١٢" in ar_EG).
QString localeDigits(const QString& ascii, const QLocale& loc) {
    const QList<uint> zero = loc.zeroDigit().toUcs4();
    if (zero.isEmpty() || zero[0] == '0') return ascii;
    QString out;
    for (QChar c : ascii) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            const char32_t d = char32_t(zero[0] + (c.unicode() - '0'));
            out += QString::fromUcs4(&d, 1);
        } else {
            out += c;
        }
    }
    return out;
}

// Whole number in [lo, hi], halves to even.
int64_t toWhole(const Variant& v, int64_t lo, int64_t hi) {
    auto fromDouble = [&](double x) -> int64_t {
        const double r = std::nearbyint(x);
        if (!(r >= static_cast<double>(lo) && r <= static_cast<double>(hi))) Raise(err::Overflow);
        return static_cast<int64_t>(r);
    };
    int64_t r = 0;
    switch (v.type()) {
    case VarType::Empty: return 0;
    case VarType::Null: Raise(err::InvalidUseOfNull);
    case VarType::Integer: case VarType::Long: case VarType::Boolean:
        r = v.longValue();
        break;
    case VarType::Double: return fromDouble(v.doubleValue());
    case VarType::Date: return fromDouble(v.dateValue().serial());
    case VarType::Currency: {
        const int64_t raw = v.currencyValue().raw();
        r = raw / 10000;
        const int64_t rem = raw % 10000;
        const int64_t absRem = rem < 0 ? -rem : rem;
        if (absRem > 5000 || (absRem == 5000 && (r % 2 != 0))) r += raw < 0 ? -1 : 1;
        break;
    }
    case VarType::String: {
        const DecimalText d = parseLocaleText(v.stringValue());
        if (!detail::ToScaled(d, 0, Rounding::HalfEven, r)) Raise(err::Overflow);
        break;
    }
    }
    if (r < lo || r > hi) Raise(err::Overflow);
    return r;
}

// Walks a Qt date/time format, handing each run of one pattern letter to
// `map` and passing quoted literals through untouched.
template <class F>
QString mapFormat(const QString& f, F map) {
    QString out;
    qsizetype i = 0;
    while (i < f.size()) {
        const QChar c = f[i];
        if (c == QLatin1Char('\'')) {
            const qsizetype end = f.indexOf(QLatin1Char('\''), i + 1);
            const qsizetype stop = end < 0 ? f.size() : end + 1;
            out += f.mid(i, stop - i);
            i = stop;
            continue;
        }
        if (!c.isLetter()) {
            out += c;
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < f.size() && f[j] == c) ++j;
        out += map(c, int(j - i));
        i = j;
    }
    return out;
}

QString fourDigitYears(const QString& f) {
    return mapFormat(f, [](QChar c, int n) {
        return c == QLatin1Char('y') ? QStringLiteral("yyyy") : QString(n, c);
    });
}

// The long time without the time-zone name: a stored date has no zone.
QString longTimeFormat(const QLocale& loc) {
    QString f = mapFormat(loc.timeFormat(QLocale::LongFormat), [](QChar c, int n) {
        return c == QLatin1Char('t') ? QString() : QString(n, c);
    });
    f = f.trimmed();
    while (f.contains(QLatin1String("  "))) f.replace(QLatin1String("  "), QLatin1String(" "));
    return f;
}

// Parsing takes one or two digits where the display pads to two.
QString parseFormat(const QString& f) {
    return mapFormat(f, [](QChar c, int n) {
        if (n == 2 && QStringLiteral("dMHhms").contains(c)) return QString(c);
        return QString(n, c);
    });
}

QString twoDigitYears(const QString& f) {
    return mapFormat(f, [](QChar c, int n) {
        return c == QLatin1Char('y') ? QStringLiteral("yy") : QString(n, c);
    });
}

// Qt reads "yy" as 19yy; the year goes to the century around today.
QDate windowed(QDate d) { return d.isValid() ? d.addYears(FullYear(d.year() % 100) - d.year()) : d; }

// Reads an optional sign and digits with at most one decimal point ('.',
// or also ',' when commaToo) from t at i, into num with '.' as the point;
// stops at the first other character. False when no digit was read.
bool readMantissa(const QString& t, qsizetype& i, QByteArray& num, bool commaToo) {
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) num += char(t[i++].unicode());
    bool digits = false, point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) { num += char(c.unicode()); digits = true; }
        else if ((c == QLatin1Char('.') || (commaToo && c == QLatin1Char(','))) && !point) { num += '.'; point = true; }
        else break;
    }
    return digits;
}

} // namespace

QString NumberToInvariant(double x) {
    if (x == 0.0) return QStringLiteral("0");
    if (!std::isfinite(x)) return QString::number(x);
    QString digits;
    int e = 0;
    detail::Digits15(x, digits, e);
    if (e >= 308) {
        // Next to the largest Double, 15 digits can round past it ("1.79769313486232E+308"):
        // such text would not read back, so the last digit is cut instead.
        const QByteArray t = (digits + QStringLiteral("e%1").arg(e - int(digits.size()) + 1)).toLatin1();
        if (!std::isfinite(detail::ReadDouble(t.constData(), t.constData() + t.size())))
            digits.back() = QChar(digits.back().unicode() - 1);
    }
    QString s = x < 0 ? QStringLiteral("-") : QString();
    if (e >= 15 || e < -4) {
        s += digits[0];
        if (digits.size() > 1) s += QLatin1Char('.') + digits.mid(1);
        s += QLatin1Char('E');
        s += e < 0 ? QLatin1Char('-') : QLatin1Char('+');
        s += QStringLiteral("%1").arg(std::abs(e), 2, 10, QLatin1Char('0'));
    } else if (e < 0) {
        s += QStringLiteral("0.") + QString(-e - 1, QLatin1Char('0')) + digits;
    } else if (digits.size() <= e + 1) {
        s += digits + QString(e + 1 - digits.size(), QLatin1Char('0'));
    } else {
        s += digits.left(e + 1) + QLatin1Char('.') + digits.mid(e + 1);
    }
    return s;
}

QString NumberToText(double x) { return toDisplay(NumberToInvariant(x)); }

QString CStr(const Variant& v) {
    switch (v.type()) {
    case VarType::Empty: return QString();
    case VarType::Null: Raise(err::InvalidUseOfNull);
    case VarType::Integer: case VarType::Long: return QString::number(v.longValue());
    case VarType::Double: return NumberToText(v.doubleValue());
    case VarType::Currency: return toDisplay(v.currencyValue().toInvariantString());
    case VarType::Date: return DateToText(v.dateValue());
    case VarType::String: return v.stringValue();
    case VarType::Boolean: return v.boolValue() ? QStringLiteral("True") : QStringLiteral("False");
    }
    return QString();
}

int32_t CLng(const Variant& v) { return static_cast<int32_t>(toWhole(v, INT32_MIN, INT32_MAX)); }

int16_t CInt(const Variant& v) { return static_cast<int16_t>(toWhole(v, INT16_MIN, INT16_MAX)); }

double CDbl(const Variant& v) {
    switch (v.type()) {
    case VarType::Empty: return 0.0;
    case VarType::Null: Raise(err::InvalidUseOfNull);
    case VarType::Integer: case VarType::Long: case VarType::Boolean: return v.longValue();
    case VarType::Double: return v.doubleValue();
    case VarType::Currency: return v.currencyValue().toDouble();
    case VarType::Date: return v.dateValue().serial();
    case VarType::String: {
        const double x = detail::ToDouble(parseLocaleText(v.stringValue()));
        if (!std::isfinite(x)) Raise(err::Overflow);
        return x;
    }
    }
    return 0.0;
}

Currency CCur(const Variant& v) {
    switch (v.type()) {
    case VarType::Empty: return Currency();
    case VarType::Null: Raise(err::InvalidUseOfNull);
    case VarType::Integer: case VarType::Long: case VarType::Boolean: return Currency::fromLong(v.longValue());
    case VarType::Double: return Currency::fromDouble(v.doubleValue());
    case VarType::Currency: return v.currencyValue();
    case VarType::Date: return Currency::fromDouble(v.dateValue().serial());
    case VarType::String: {
        int64_t raw;
        if (!detail::ToScaled(parseLocaleText(v.stringValue()), 4, Rounding::HalfEven, raw)) Raise(err::Overflow);
        return Currency::fromRaw(raw);
    }
    }
    return Currency();
}

Date CDate(const Variant& v) {
    switch (v.type()) {
    case VarType::Empty: return Date();
    case VarType::Null: Raise(err::InvalidUseOfNull);
    case VarType::Date: return v.dateValue();
    case VarType::String: return TextToDate(v.stringValue());
    default: return Date(CDbl(v));
    }
}

bool CBool(const Variant& v) {
    switch (v.type()) {
    case VarType::Empty: return false;
    case VarType::Null: Raise(err::InvalidUseOfNull);
    case VarType::Integer: case VarType::Long: case VarType::Boolean: return v.longValue() != 0;
    case VarType::Double: return v.doubleValue() != 0.0;
    case VarType::Currency: return v.currencyValue().raw() != 0;
    case VarType::Date: return v.dateValue().serial() != 0.0;
    case VarType::String: {
        const QString t = v.stringValue().trimmed();
        if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
        if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
        const DecimalText d = parseLocaleText(t);
        for (QChar c : d.digits)
            if (c != QLatin1Char('0')) return true;
        return false;
    }
    }
    return false;
}

double InvariantToNumber(const QString& s) {
    DecimalText d;
    if (!detail::ParseNumber(s, detail::InvariantSyntax(), d)) Raise(err::TypeMismatch);
    const double x = detail::ToDouble(d);
    if (!std::isfinite(x)) Raise(err::Overflow);
    return x;
}

bool IsNumeric(const Variant& v) {
    if (v.isNumeric() || v.isEmpty()) return true;
    if (v.type() != VarType::String) return false;
    DecimalText d;
    return readLocaleText(v.stringValue(), d);
}

bool IsDate(const Variant& v) {
    if (v.type() == VarType::Date) return true;
    if (v.type() != VarType::String) return false;
    Date d;
    return TryTextToDate(v.stringValue(), d);
}

double Val(const QString& s) {
    QString t;
    t.reserve(s.size());
    for (QChar c : s)
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\n')) t += c;

    if (t.size() >= 2 && t[0] == QLatin1Char('&')) {
        const QChar r = t[1].toUpper();
        if (r == QLatin1Char('H') || r == QLatin1Char('O')) {
            const int base = r == QLatin1Char('H') ? 16 : 8;
            qulonglong u = 0;
            bool any = false, big = false;
            double wide = 0.0;
            for (qsizetype i = 2; i < t.size(); ++i) {
                const int dv = t[i].isDigit() || t[i].isLetter() ? QString(t[i]).toInt(nullptr, 36) : -1;
                if (dv < 0 || dv >= base || t[i].unicode() > 127) break;
                any = true;
                wide = wide * base + dv;
                if (u > (~0ull >> 4)) big = true; else u = u * base + dv;
            }
            if (!any) return 0.0;
            // As a literal would be typed: 16 bits signed, then 32 bits signed.
            if (!big && u <= 0xFFFFu) return static_cast<int16_t>(u);
            if (!big && u <= 0xFFFFFFFFu) return static_cast<int32_t>(u);
            return wide;
        }
        return 0.0;
    }

    QByteArray num;
    qsizetype i = 0;
    if (!readMantissa(t, i, num, false)) return 0.0;
    if (i < t.size() && QStringLiteral("eEdD").contains(t[i])) {
        qsizetype j = i + 1;
        QByteArray e("e");
        if (j < t.size() && (t[j] == QLatin1Char('-') || t[j] == QLatin1Char('+'))) e += char(t[j++].unicode());
        bool expDigits = false;
        while (j < t.size() && t[j] >= QLatin1Char('0') && t[j] <= QLatin1Char('9')) { e += char(t[j++].unicode()); expDigits = true; }
        if (expDigits) num += e;
    }
    const double x = detail::ReadDouble(num.constData(), num.constData() + num.size());
    return x == 0.0 ? 0.0 : x;   // no "-0"
}

double LeadingNumber(const QString& s) {
    qsizetype i = 0;
    while (i < s.size() && (s[i] == QLatin1Char(' ') || s[i] == QLatin1Char('\t'))) ++i;
    const qsizetype start = i;
    auto digit = [&](qsizetype k) { return k < s.size() && s[k] >= QLatin1Char('0') && s[k] <= QLatin1Char('9'); };
    if (i < s.size() && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+'))) ++i;
    bool digits = false, point = false;
    for (; i < s.size(); ++i) {
        if (digit(i)) digits = true;
        else if (s[i] == QLatin1Char('.') && !point) point = true;
        else break;
    }
    if (!digits) return 0.0;
    qsizetype end = i;
    if (i < s.size() && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        if (j < s.size() && (s[j] == QLatin1Char('-') || s[j] == QLatin1Char('+'))) ++j;
        const qsizetype expStart = j;
        while (digit(j)) ++j;
        if (j > expStart) end = j;
    }
    const QByteArray t = s.mid(start, end - start).toLatin1();
    const double x = detail::ReadDouble(t.constData(), t.constData() + t.size());
    // Too large for a Double: refused rather than kept as infinity.
    if (!std::isfinite(x)) Raise(err::Overflow);
    return x == 0.0 ? 0.0 : x;
}

bool TryPlainNumber(const QString& s, double& out) {
    const QString t = s.trimmed();
    QByteArray num;
    qsizetype i = 0;
    if (!readMantissa(t, i, num, true) || i < t.size()) return false;
    const double x = detail::ReadDouble(num.constData(), num.constData() + num.size());
    if (!std::isfinite(x)) return false;
    out = x == 0.0 ? 0.0 : x;
    return true;
}

QString Format00(double x) {
    if (!std::isfinite(x)) return QString::number(x);
    if (x == 0.0) return toDisplay(QStringLiteral("0.00"));
    QString digits;
    int e = 0;
    detail::Digits15(x, digits, e);
    const DecimalText d{x < 0, digits, e - int(digits.size() - 1)};
    return toDisplay(detail::FixedText(d, 2, Rounding::HalfAwayFromZero));
}

namespace {

// What the display conversions derive from the locale in use, worked out
// once per locale: a report formats thousands of amounts and dates.
struct LocaleTexts {
    QLocale loc;
    QString shortDate4, longTime;
    // The locale's own text for one unit ("$1.00", "1,00 €", "($1.00)",
    // "١٫٠٠ ج.م.") and for minus one, and the "1.00" inside them.
    QString unitPositive, unitNegative, unitAmount;
    int places = 0;
    // Whole numbers are grouped by hand when the locale groups plain threes
    // with one-unit digits (checked against its own text); else by QLocale.
    QString groupSeparator, decimalPoint;
    char16_t zeroDigit = u'0';
    bool plainGroups = false;
    // The last day's text: lists come in date order, many rows to a day.
    mutable double lastDay = -1e300;
    mutable QString lastDayText;

    explicit LocaleTexts(const QLocale& l) : loc(l) {
        shortDate4 = fourDigitYears(loc.dateFormat(QLocale::ShortFormat));
        longTime = longTimeFormat(loc);
        unitPositive = loc.toCurrencyString(1.0);
        unitNegative = loc.toCurrencyString(-1.0);
        unitAmount = loc.toString(1.0, 'f', 0);
        for (int k = 4; k > 0; --k) {
            const QString t = loc.toString(1.0, 'f', k);
            if (unitPositive.contains(t)) { places = k; unitAmount = t; break; }
        }
        groupSeparator = loc.groupSeparator();
        decimalPoint = loc.decimalPoint();
        const QList<uint> zero = loc.zeroDigit().toUcs4();
        if (zero.size() == 1 && zero[0] + 9 <= 0xFFFF && !QChar::isSurrogate(zero[0])) {
            zeroDigit = char16_t(zero[0]);
            plainGroups = true;
            for (const qulonglong probe : {0ULL, 7ULL, 1234ULL, 12345ULL, 123456ULL, 1234567ULL, 9876543210123456789ULL})
                if (groupedWhole(probe) != loc.toString(probe)) plainGroups = false;
        }
        splitUnits();
    }

    QString groupedWhole(uint64_t v) const {
        QString out;
        appendGrouped(out, v);
        return out;
    }
    void appendGrouped(QString& out, uint64_t v) const {
        char16_t digits[20];
        int n = 0;
        do {
            digits[n++] = char16_t(zeroDigit + v % 10);
            v /= 10;
        } while (v != 0);
        for (int k = n - 1; k >= 0; --k) {
            out += QChar(digits[k]);
            if (k > 0 && k % 3 == 0) out += groupSeparator;
        }
    }
    // The texts around the "1.00" of the positive and negative unit, when
    // it is found in both.
    QString positiveBefore, positiveAfter, negativeBefore, negativeAfter;
    bool unitSplit = false;
    void splitUnits() {
        const qsizetype p = unitPositive.indexOf(unitAmount), n = unitNegative.indexOf(unitAmount);
        unitSplit = p >= 0 && n >= 0;
        if (!unitSplit) return;
        positiveBefore = unitPositive.left(p);
        positiveAfter = unitPositive.mid(p + unitAmount.size());
        negativeBefore = unitNegative.left(n);
        negativeAfter = unitNegative.mid(n + unitAmount.size());
    }
};

const LocaleTexts& localeTexts(const QLocale& loc) {
    thread_local std::unique_ptr<LocaleTexts> kept;
    if (!kept || !(kept->loc == loc)) kept = std::make_unique<LocaleTexts>(loc);
    return *kept;
}

} // namespace

QString FormatCurrency(Currency c) {
    const LocaleTexts& lt = localeTexts(QLocale());
    const QLocale& loc = lt.loc;
    // The locale's text for one unit with the exact amount put in place of
    // its "1.00": the pattern, the symbol and the currency's decimals stay
    // the locale's.
    const bool negative = c.raw() < 0;
    const int places = lt.places;
    const uint64_t mag = negative ? uint64_t(0) - static_cast<uint64_t>(c.raw()) : static_cast<uint64_t>(c.raw());
    // The four stored decimals rounded to the currency's, halves away from
    // zero, in whole numbers: a list formats thousands of amounts.
    static constexpr uint64_t kTen[] = {1, 10, 100, 1000, 10000};
    const uint64_t unit = kTen[4 - places];
    const uint64_t rounded = mag / unit + (mag % unit * 2 >= unit ? 1 : 0);
    const uint64_t whole = rounded / kTen[places], fraction = rounded % kTen[places];
    const bool zero = rounded == 0;
    if (lt.plainGroups && lt.unitSplit) {
        // Written straight into one text: the common case of every list.
        const bool minus = negative && !zero;
        QString out;
        out.reserve(40);
        out += minus ? lt.negativeBefore : lt.positiveBefore;
        lt.appendGrouped(out, whole);
        if (places > 0) {
            out += lt.decimalPoint;
            for (int k = places - 1; k >= 0; --k) out += QChar(char16_t(lt.zeroDigit + fraction / kTen[k] % 10));
        }
        out += minus ? lt.negativeAfter : lt.positiveAfter;
        return out;
    }
    QString amount = lt.plainGroups ? lt.groupedWhole(whole) : loc.toString(qulonglong(whole));
    if (places > 0) {
        amount += lt.decimalPoint;
        QString digits = QString::number(fraction).rightJustified(places, QLatin1Char('0'));
        amount += localeDigits(digits, loc);
    }

    QString out = negative && !zero ? lt.unitNegative : lt.unitPositive;
    const qsizetype p = out.indexOf(lt.unitAmount);
    if (p < 0) return loc.toCurrencyString(c.toDouble());   // no locale Qt knows: its own text
    out.replace(p, lt.unitAmount.size(), amount);
    return out;
}

Currency ParseCurrency(const QString& s) {
    int64_t raw;
    if (!detail::ToScaled(parseLocaleText(s), 4, Rounding::HalfEven, raw)) Raise(err::Overflow);
    return Currency::fromRaw(raw);
}

QString DateToText(Date d) {
    const LocaleTexts& lt = localeTexts(QLocale());
    const QLocale& loc = lt.loc;
    // Straight from the serial, whole seconds as the ISO text rounds them:
    // never through a local QDateTime, which a daylight-saving gap would shift.
    const Date day = d.datePart();
    auto time = [&] {
        const long long secs = std::clamp(std::llround((d.serial() - day.serial()) * 86400.0), 0LL, 86399LL);
        return loc.toString(QTime(0, 0).addSecs(int(secs)), lt.longTime);
    };
    if (day.isZero()) return time();
    if (day.serial() != lt.lastDay) {
        lt.lastDayText = loc.toString(day.toQDate(), lt.shortDate4);
        lt.lastDay = day.serial();
    }
    const QString date = lt.lastDayText;
    // Most dates carry no time: it is only formatted when shown.
    return d.hasTime() ? date + QLatin1Char(' ') + time() : date;
}

bool TryTextToDate(const QString& s, Date& out) {
    const QString t = s.simplified();
    if (t.isEmpty()) return false;
    if (Date::fromIsoString(t, out)) return true;

    const QLocale loc;
    // Each of the locale's date forms with a 4-digit and with a 2-digit year.
    QStringList dateFormats;
    for (QLocale::FormatType type : {QLocale::ShortFormat, QLocale::LongFormat, QLocale::NarrowFormat}) {
        const QString f = parseFormat(loc.dateFormat(type));
        dateFormats << fourDigitYears(f) << twoDigitYears(f);
    }
    dateFormats.removeDuplicates();
    const QString timeFormats[] = {parseFormat(longTimeFormat(loc)), parseFormat(loc.timeFormat(QLocale::ShortFormat)),
                                   QStringLiteral("h:m:s AP"), QStringLiteral("h:m AP"),
                                   QStringLiteral("H:m:s"), QStringLiteral("H:m")};

    auto readDate = [&](const QString& text, QDate& d) {
        for (const QString& df : dateFormats) {
            d = loc.toDate(text, df);
            if (d.isValid()) {
                const bool twoDigit = !df.contains(QLatin1String("yyyy")) && df.contains(QLatin1String("yy"));
                if (twoDigit) d = windowed(d);
                return true;
            }
        }
        return false;
    };
    auto readTime = [&](const QString& text, QTime& tm) {
        for (const QString& tf : timeFormats) {
            tm = loc.toTime(text, tf);
            if (tm.isValid()) return true;
        }
        return false;
    };

    // Date and time are read apart: a local date-time parse would refuse a
    // time that a daylight-saving change skips.
    QDate d;
    QTime tm;
    if (readDate(t, d)) {
        out = Date::fromQDate(d);
        return true;
    }
    const QStringList words = t.split(QLatin1Char(' '));
    for (qsizetype k = 1; k < words.size(); ++k) {
        if (readDate(words.mid(0, k).join(QLatin1Char(' ')), d) &&
            readTime(words.mid(k).join(QLatin1Char(' ')), tm)) {
            out = Date(Date::fromQDate(d).serial() + tm.msecsSinceStartOfDay() / 86400000.0);
            return true;
        }
    }
    if (readTime(t, tm)) {
        out = Date(tm.msecsSinceStartOfDay() / 86400000.0);
        return true;
    }
    return false;
}

Date TextToDate(const QString& s) {
    Date d;
    if (!TryTextToDate(s, d)) Raise(err::TypeMismatch);
    return d;
}

} // namespace vb
