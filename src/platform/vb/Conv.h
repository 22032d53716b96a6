#pragma once
// The conversions of the runtime. Display forms follow the current locale;
// SQL text never goes through these (see ado/SqlText.h).
#include <QString>
#include "vb/Variant.h"

namespace vb {

QString CStr(const Variant& v);        // Null raises 94
int32_t CLng(const Variant& v);        // halves to even; "" or non-numeric raises 13; range raises 6
int16_t CInt(const Variant& v);
double CDbl(const Variant& v);
Currency CCur(const Variant& v);
Date CDate(const Variant& v);
bool CBool(const Variant& v);          // "True"/"False" in any capitals or a number

// Locale-free number text as CStr gives it under an English locale:
// at most 15 significant digits, E notation for |x| >= 1E15 or < 1E-4.
QString NumberToInvariant(double x);

// Val: blanks anywhere ignored, reads a leading number, stops at the first other character.
double Val(const QString& s);

// Format(x, "0.00"): two decimals, halves away from zero, locale decimal separator.
QString Format00(double x);

// Money in the system currency format, and back (raises 13 when the text is not money).
QString FormatCurrency(Currency c);
Currency ParseCurrency(const QString& s);

// The default date text: short date with 4-digit year, long time appended when not midnight.
QString DateToText(Date d);
Date TextToDate(const QString& s);     // raises 13 when it is not a date

// Text of a number as the locale shows it (the display side of CStr for numbers).
QString NumberToText(double x);

} // namespace vb
