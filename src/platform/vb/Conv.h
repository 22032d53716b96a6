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
// The number a text begins with, '.' as the decimal point in every locale:
// leading blanks and tabs skipped, reading stops at the first character that
// cannot continue the number ("7 5" is 7, "1,5" is 1); no number gives 0.
// A number too large for a Double raises 6.
double LeadingNumber(const QString& s);
// A plain decimal number as a user types it in any locale: an optional sign,
// ASCII digits, "." or "," as the decimal point, blanks around; no group
// separators, no exponent. False for any other text.
bool TryPlainNumber(const QString& s, double& out);

// Format(x, "0.00"): two decimals, halves away from zero, locale decimal separator.
// Like the runtime, x is first taken to its 15 significant digits, so 1.005
// gives "1.01" (printf gives "1.00").
QString Format00(double x);

// Money in the system currency format, and back (raises 13 when the text is not money).
// FormatCurrency rounds to the locale's currency decimals, halves away from zero.
// ParseCurrency takes that text, with or without symbol and group separators,
// a plain number, surrounding blanks, and the negative forms "-$1.00" and
// "($1.00)"; blank text is not money (13). Exact to four decimals.
QString FormatCurrency(Currency c);
// The same format for a box the amount is read back from: as many decimals
// as the amount holds (at least the currency's own, at most four), so
// ParseCurrency gives back exactly the amount shown, also where the currency
// has no minor unit.
QString FormatCurrencyExact(Currency c);
Currency ParseCurrency(const QString& s);

// The default date text: short date with 4-digit year, long time appended when not midnight,
// the time alone when the date part is zero (en_US "12/9/2026", "12/9/2026 3:04:05 PM").
QString DateToText(Date d);
// Reads the default date text, the locale's short date with a 2- or 4-digit year
// (a 2-digit one in the century FullYear gives), its long date, an optional
// time (long or short, 12 or 24 hours), a time alone, or "yyyy-mm-dd[ hh:nn:ss]".
Date TextToDate(const QString& s);     // raises 13 when it is not a date

// Text of a number as the locale shows it (the display side of CStr for numbers).
QString NumberToText(double x);

// Reads text written by NumberToInvariant or Currency::toInvariantString
// ('.' decimal, no grouping), whatever the locale: the held number texts.
// Raises 13 when it is not a number, 6 when it does not fit a Double.
double InvariantToNumber(const QString& s);

// The runtime's IsNumeric and IsDate: would CDbl / CDate succeed?
bool IsNumeric(const Variant& v);
bool IsDate(const Variant& v);
// TextToDate without raising; false when the text is not a date.
bool TryTextToDate(const QString& s, Date& out);

} // namespace vb
