#pragma once
// The one writer per value kind for SQL text the data classes build.
// Always locale-free: '.' decimals, #yyyy-mm-dd hh:nn:ss# dates.
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

} // namespace ado
