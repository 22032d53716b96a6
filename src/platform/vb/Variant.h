#pragma once
// A value of any of the program's kinds, or Null, or Empty.
#include <cstdint>
#include <iosfwd>
#include <variant>
#include <QString>
#include "vb/Currency.h"
#include "vb/Date.h"

namespace vb {

enum class VarType { Empty = 0, Null = 1, Integer = 2, Long = 3, Double = 5, Currency = 6, Date = 7, String = 8, Boolean = 11 };

class Variant {
public:
    Variant() = default;                               // Empty
    static Variant Null() { Variant v; v.type_ = VarType::Null; return v; }
    static Variant Integer(int16_t i) { Variant v; v.type_ = VarType::Integer; v.i_ = i; return v; }
    Variant(int i) : type_(VarType::Long), i_(i) {}
    Variant(long i);                                   // Long when it fits in 32 bits, Double otherwise
    Variant(long long i);
    Variant(double d) : type_(VarType::Double), d_(d) {}
    Variant(Currency c) : type_(VarType::Currency), c_(c) {}
    Variant(Date d) : type_(VarType::Date), d_(d.serial()) {}
    Variant(bool b) : type_(VarType::Boolean), i_(b ? -1 : 0) {}
    Variant(const QString& s) : type_(VarType::String), s_(s) {}
    Variant(const char* s) : type_(VarType::String), s_(QString::fromUtf8(s)) {}

    VarType type() const { return type_; }
    bool isNull() const { return type_ == VarType::Null; }
    bool isEmpty() const { return type_ == VarType::Empty; }
    bool isNumeric() const;   // Integer, Long, Double, Currency, Boolean

    // Raw access; callers check type() first, or use the conversions in Conv.h.
    int32_t longValue() const { return i_; }
    double doubleValue() const { return d_; }
    Currency currencyValue() const { return c_; }
    Date dateValue() const { return Date(d_); }
    bool boolValue() const { return i_ != 0; }
    const QString& stringValue() const { return s_; }

    // `value & ""`: Null and Empty give "", everything else its CStr text.
    QString str() const;

    // Same kind and value; the numeric kinds (Boolean included, True = -1)
    // compare by value across kinds. Null equals only Null and Empty only
    // Empty; text compares exactly.
    bool operator==(const Variant& o) const;

private:
    VarType type_ = VarType::Empty;
    int32_t i_ = 0;
    double d_ = 0.0;
    Currency c_;
    QString s_;
};

// Test output: kind and value.
void PrintTo(const Variant& v, std::ostream* os);

} // namespace vb
