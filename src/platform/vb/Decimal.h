#pragma once
// Exact decimal text for the conversions: a number read from text is kept as
// its digits until it is rounded once into the value kind asked for, so
// "0.00005" or "2.5" round as written, not as their nearest binary double.
#include <cstdint>
#include <QString>

namespace vb::detail {

// value = (negative ? -1 : 1) * digits * 10^exponent; digits are ASCII 0-9.
struct DecimalText {
    bool negative = false;
    QString digits;
    int exponent = 0;
};

enum class Rounding { HalfEven, HalfAwayFromZero };

// "[-]int[.frac]" with exactly `places` decimals; no sign on a zero result.
QString FixedText(const DecimalText& d, int places, Rounding mode);
// Rounded to `places` decimals and scaled by 10^places; false on overflow.
bool ToScaled(const DecimalText& d, int places, Rounding mode, int64_t& out);
double ToDouble(const DecimalText& d);
// "[-]digits[.digits][e[-]digits]" in [first, last) as a Double, whatever the
// C library's locale; beyond the range it gives +-HUGE_VAL, below it 0.
double ReadDouble(const char* first, const char* last);

// The 15 significant digits of x (trailing zeros removed) and the decimal
// exponent of the first one; x must be finite and non-zero.
void Digits15(double x, QString& digits, int& exp10);

// How a text number is written.
struct NumberSyntax {
    QChar decimal = QLatin1Char('.');
    QString groups;            // characters accepted as group separators
    QString currencySymbol;    // accepted before or after the number
    QString negativeSign = QStringLiteral("-");
    QString positiveSign = QStringLiteral("+");
    bool parentheses = false;  // "(12.50)" is negative
    bool radixPrefixes = false;// &H and &O
};

// The whole text (surrounding blanks allowed) as one number.
bool ParseNumber(const QString& s, const NumberSyntax& syntax, DecimalText& out);

NumberSyntax InvariantSyntax();
NumberSyntax LocaleSyntax();   // the current default QLocale

} // namespace vb::detail
