#include "vb/Date.h"
#include <cmath>
#include <ostream>
#include <QRegularExpression>

namespace vb {

namespace {

constexpr qint64 kSecondsPerDay = 86400;
constexpr qint64 kMsPerDay = 86400000;

qint64 epochJulianDay() { return QDate(1899, 12, 30).toJulianDay(); }

// Splits a serial into its day number and the time of day in units of
// 1/unitsPerDay, rounded to the nearest unit. A fraction that rounds up to
// a whole day moves to the next day. Serials before the epoch are not used
// by the program; they split with the fraction counted forward from the
// day below.
struct Split { qint64 day; qint64 units; };
Split split(double serial, qint64 unitsPerDay) {
    if (!std::isfinite(serial)) return {0, 0};
    const double whole = std::floor(serial);
    qint64 day = static_cast<qint64>(whole);
    qint64 units = std::llround((serial - whole) * static_cast<double>(unitsPerDay));
    if (units >= unitsPerDay) { ++day; units -= unitsPerDay; }
    return {day, units};
}

double serialOf(const QDate& d, qint64 msOfDay) {
    return static_cast<double>(d.toJulianDay() - epochJulianDay()) +
           static_cast<double>(msOfDay) / static_cast<double>(kMsPerDay);
}

QDate dateOfDay(qint64 day) { return QDate::fromJulianDay(epochJulianDay() + day); }

ClockFn& clockFn() {
    static ClockFn fn;
    return fn;
}

} // namespace

Date Date::fromYmd(int y, int m, int d, int hh, int nn, int ss) {
    // Months and days outside their range carry over, as a date serial
    // built from parts does: month 13 is January of the next year, day 0
    // the last day of the month before.
    int m0 = m - 1;
    y += m0 >= 0 ? m0 / 12 : -((11 - m0) / 12);
    m0 = ((m0 % 12) + 12) % 12;
    const QDate first(y, m0 + 1, 1);
    const qint64 day = first.toJulianDay() - epochJulianDay() + (d - 1);
    const qint64 secs = qint64(hh) * 3600 + qint64(nn) * 60 + ss;
    return Date(static_cast<double>(day) + static_cast<double>(secs) / kSecondsPerDay);
}

Date Date::fromQDateTime(const QDateTime& dt) {
    // The wall-clock date and time as shown, whatever the time spec: no zone
    // conversion ever shifts a stored value. A local time the zone skips
    // (a daylight-saving gap) makes an invalid QDateTime that still carries
    // its date and time, so only the date is checked.
    if (!dt.date().isValid()) return Date();
    return Date(serialOf(dt.date(), dt.time().msecsSinceStartOfDay()));
}

Date Date::fromQDate(const QDate& d) {
    if (!d.isValid()) return Date();
    return Date(serialOf(d, 0));
}

bool Date::hasTime() const { return split(v_, kSecondsPerDay).units != 0; }

Date Date::datePart() const { return Date(static_cast<double>(split(v_, kSecondsPerDay).day)); }

QDateTime Date::toQDateTime() const {
    const Split s = split(v_, kMsPerDay);
    return QDateTime(dateOfDay(s.day), QTime::fromMSecsSinceStartOfDay(static_cast<int>(s.units)));
}

QDate Date::toQDate() const { return dateOfDay(split(v_, kSecondsPerDay).day); }

int Date::year() const { return toQDate().year(); }
int Date::month() const { return toQDate().month(); }
int Date::day() const { return toQDate().day(); }

QString Date::toIsoString() const {
    const Split s = split(v_, kSecondsPerDay);
    const QDate d = dateOfDay(s.day);
    const qint64 t = s.units;
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(d.year(), 4, 10, QLatin1Char('0'))
        .arg(d.month(), 2, 10, QLatin1Char('0'))
        .arg(d.day(), 2, 10, QLatin1Char('0'))
        .arg(t / 3600, 2, 10, QLatin1Char('0'))
        .arg((t / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(t % 60, 2, 10, QLatin1Char('0'));
}

bool Date::fromIsoString(const QString& s, Date& out) {
    // The writer's form, plus what SQLite's own date functions give back
    // ('T' separator, minutes only, fractional seconds).
    static const QRegularExpression re(QStringLiteral(
        R"(^\s*(\d{4})-(\d{2})-(\d{2})(?:[ T](\d{2}):(\d{2})(?::(\d{2})(?:\.(\d{1,9}))?)?)?\s*$)"));
    const QRegularExpressionMatch m = re.match(s);
    if (!m.hasMatch()) return false;
    const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!d.isValid()) return false;
    qint64 ms = 0;
    if (m.hasCaptured(4)) {
        const int hh = m.captured(4).toInt(), nn = m.captured(5).toInt();
        const int ss = m.hasCaptured(6) ? m.captured(6).toInt() : 0;
        if (hh > 23 || nn > 59 || ss > 59) return false;
        ms = (qint64(hh) * 3600 + nn * 60 + ss) * 1000;
        if (m.hasCaptured(7)) ms += std::lround(QStringLiteral("0.%1").arg(m.captured(7)).toDouble() * 1000.0);
    }
    out = Date(serialOf(d, ms));
    return true;
}

void setClock(ClockFn fn) { clockFn() = std::move(fn); }

QDateTime clockNow() {
    const ClockFn& fn = clockFn();
    return fn ? fn() : QDateTime::currentDateTime();
}

Date Now() {
    // Whole seconds, like the runtime's Now, so a stored Now reads back equal.
    const QDateTime now = clockNow();
    const QTime t = now.time();
    return Date(serialOf(now.date(), qint64(t.msecsSinceStartOfDay()) / 1000 * 1000));
}

Date Today() { return Date::fromQDate(clockNow().date()); }

int FullYear(int twoDigits) {
    const int first = clockNow().date().year() - 80;
    return first + ((twoDigits - first) % 100 + 100) % 100;
}

void PrintTo(const Date& d, std::ostream* os) {
    *os << d.toIsoString().toStdString() << " (" << d.serial() << ")";
}

} // namespace vb
