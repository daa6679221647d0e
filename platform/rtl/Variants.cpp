// Field values: conversions between their kinds.
#include "platform/rtl/Variants.h"

#include <cmath>
#include <limits>

int64_t Variant::AsInt64() const {
    if (IsEmptyOrNull()) return 0;
    if (auto p = std::get_if<int64_t>(&FValue)) return *p;
    if (auto p = std::get_if<bool>(&FValue)) return *p ? -1 : 0;
    double d;
    if (auto p = std::get_if<double>(&FValue))
        d = *p;
    else if (auto p = std::get_if<TDateTimeValue>(&FValue))
        d = p->Value;
    else {
        const AnsiString& s = std::get<AnsiString>(FValue);
        int64_t v;
        if (TryStrToInt64(s, v)) return v;
        if (!TryStrToFloat(s, d))
            throw EVariantError("Could not convert variant of type (String) into type (Int64)");
    }
    if (!std::isfinite(d) || d >= 9.2e18 || d <= -9.2e18) throw EVariantError("Invalid variant operation");
    return Round(d);
}

int Variant::AsInteger() const {
    int64_t v = AsInt64();
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        throw EVariantError("Invalid variant operation");
    return int(v);
}

double Variant::AsFloat() const {
    if (IsEmptyOrNull()) return 0;
    if (auto p = std::get_if<double>(&FValue)) return *p;
    if (auto p = std::get_if<TDateTimeValue>(&FValue)) return p->Value;
    if (auto p = std::get_if<int64_t>(&FValue)) return double(*p);
    if (auto p = std::get_if<bool>(&FValue)) return *p ? -1 : 0;
    double d;
    if (!TryStrToFloat(std::get<AnsiString>(FValue), d))
        throw EVariantError("Could not convert variant of type (String) into type (Double)");
    return d;
}

TDateTime Variant::AsDateTime() const {
    if (auto p = std::get_if<AnsiString>(&FValue)) {
        TDateTime d;
        if (TryStrToDate(*p, d)) return d;
    }
    return AsFloat();
}

bool Variant::AsBoolean() const {
    if (auto p = std::get_if<bool>(&FValue)) return *p;
    if (auto p = std::get_if<AnsiString>(&FValue)) {
        if (SameText(*p, "true")) return true;
        if (SameText(*p, "false")) return false;
    }
    return AsFloat() != 0;
}

AnsiString Variant::AsString() const {
    if (IsEmptyOrNull()) return "";
    if (auto p = std::get_if<AnsiString>(&FValue)) return *p;
    if (auto p = std::get_if<int64_t>(&FValue)) return IntToStr(*p);
    if (auto p = std::get_if<double>(&FValue)) return FloatToStr(*p);
    if (auto p = std::get_if<bool>(&FValue)) return *p ? "True" : "False";
    return DateTimeToStr(std::get<TDateTimeValue>(FValue).Value);
}
