#pragma once
// The date value: days since 30 Dec 1899, the fraction the time of day.
#include <functional>
#include <iosfwd>
#include <QDateTime>
#include <QString>

namespace vb {

class Date {
public:
    constexpr Date() = default;
    constexpr explicit Date(double serial) : v_(serial) {}
    static Date fromYmd(int y, int m, int d, int hh = 0, int nn = 0, int ss = 0);
    static Date fromQDateTime(const QDateTime& dt);
    static Date fromQDate(const QDate& d);

    constexpr double serial() const { return v_; }
    bool isZero() const { return v_ == 0.0; }
    bool hasTime() const;
    Date datePart() const;           // midnight of the same day
    // Local time with the stored date and time; no zone conversion. A time a
    // daylight-saving change skips gives a QDateTime that Qt calls invalid but
    // whose date() and time() are still the stored ones.
    QDateTime toQDateTime() const;
    QDate toQDate() const;
    int year() const; int month() const; int day() const;

    Date operator+(double days) const { return Date(v_ + days); }
    Date operator-(double days) const { return Date(v_ - days); }
    auto operator<=>(const Date&) const = default;

    // "yyyy-mm-dd hh:nn:ss", the form the data file keeps.
    QString toIsoString() const;
    // Parses "yyyy-mm-dd" or "yyyy-mm-dd hh:nn:ss"; false when it is neither.
    static bool fromIsoString(const QString& s, Date& out);

private:
    double v_ = 0.0;
};

// Test output: the ISO text.
void PrintTo(const Date& d, std::ostream* os);

// Today and now come from a replaceable clock so tests can pin them.
using ClockFn = std::function<QDateTime()>;
void setClock(ClockFn fn);      // empty function restores the system clock
QDateTime clockNow();
Date Now();                     // whole seconds, so a stored Now reads back equal
Date Today();                   // today at midnight
// The full year of a two-digit year (0-99): the century that puts it within
// 80 years before and 19 years after today's year.
int FullYear(int twoDigits);

} // namespace vb
