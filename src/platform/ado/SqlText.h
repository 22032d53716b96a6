#pragma once
// The one writer per value kind for SQL text the data classes build.
// Always locale-free: '.' decimals, #yyyy-mm-dd hh:nn:ss# dates.
#include <optional>
#include <QString>
#include "vb/Currency.h"
#include "vb/Date.h"

namespace ado {

QString SqlText(const QString& s);       // 'text' with each ' doubled; U+0000 dropped
QString SqlLong(long n);
QString SqlDouble(double x);             // CStr digits, invariant
QString SqlCurrency(vb::Currency c);     // exact decimal text
// The data file keeps money as a Double: an amount it cannot give back
// exactly is refused (a refusal, error 6) before anything is written.
void RequireStorable(vb::Currency c);
QString SqlDate(vb::Date d);             // #yyyy-mm-dd hh:nn:ss#
QString SqlBool(bool b);                 // True / False

// Whole days over a date column: from the midnight of the first day to
// before the midnight after the last, so a row stamped with a time of day
// counts on its day. Either end may be open. Every date range the program
// reads, in SQL or over rows already read, is built here.
struct DayRange {
    std::optional<vb::Date> first, last;

    static DayRange Between(vb::Date first, vb::Date last) { return {first, last}; }
    static DayRange From(vb::Date first) { return {first, std::nullopt}; }
    static DayRange Through(vb::Date last) { return {std::nullopt, last}; }
    // The days after the day of d.
    static DayRange After(vb::Date d) { return {d.datePart() + 1, std::nullopt}; }
    // The days from the day after since through last.
    static DayRange AfterThrough(vb::Date since, vb::Date last) { return {since.datePart() + 1, last}; }

    // "(column >= #first# and column < #last + 1#)"; a Null date is in no range.
    QString Sql(const QString& column) const;
    bool Contains(vb::Date d) const;
};

} // namespace ado
