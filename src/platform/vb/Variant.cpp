#include "vb/Variant.h"
#include <ostream>
#include "vb/Conv.h"

namespace vb {

Variant::Variant(long i) : Variant(static_cast<long long>(i)) {}

Variant::Variant(long long i) {
    if (i >= INT32_MIN && i <= INT32_MAX) {
        type_ = VarType::Long;
        i_ = static_cast<int32_t>(i);
    } else {
        type_ = VarType::Double;
        d_ = static_cast<double>(i);
    }
}

bool Variant::isNumeric() const {
    switch (type_) {
    case VarType::Integer: case VarType::Long: case VarType::Double:
    case VarType::Currency: case VarType::Boolean:
        return true;
    default:
        return false;
    }
}

QString Variant::str() const {
    if (type_ == VarType::Null || type_ == VarType::Empty) return QString();
    return CStr(*this);
}

bool Variant::operator==(const Variant& o) const {
    if (isNumeric() && o.isNumeric()) {
        if (type_ == VarType::Double || o.type_ == VarType::Double)
            return CDbl(*this) == CDbl(o);
        if (type_ == VarType::Currency || o.type_ == VarType::Currency) {
            auto raw = [](const Variant& v) {
                return v.type_ == VarType::Currency ? v.c_.raw() : int64_t(v.i_) * 10000;
            };
            return raw(*this) == raw(o);
        }
        return i_ == o.i_;
    }
    if (type_ != o.type_) return false;
    switch (type_) {
    case VarType::Empty: case VarType::Null: return true;
    case VarType::Date: return d_ == o.d_;
    case VarType::String: return s_ == o.s_;
    default: return false;
    }
}

void PrintTo(const Variant& v, std::ostream* os) {
    switch (v.type()) {
    case VarType::Empty: *os << "Empty"; return;
    case VarType::Null: *os << "Null"; return;
    case VarType::Integer: *os << "Integer " << v.longValue(); return;
    case VarType::Long: *os << "Long " << v.longValue(); return;
    case VarType::Double: *os << "Double " << NumberToInvariant(v.doubleValue()).toStdString(); return;
    case VarType::Currency: *os << "Currency " << v.currencyValue().toInvariantString().toStdString(); return;
    case VarType::Date: *os << "Date " << v.dateValue().toIsoString().toStdString(); return;
    case VarType::String: *os << "String \"" << v.stringValue().toStdString() << "\""; return;
    case VarType::Boolean: *os << (v.boolValue() ? "True" : "False"); return;
    }
}

} // namespace vb
