// A field value: empty, Null, integer, float, date-time, boolean or text.
#pragma once

#include <cstdint>
#include <variant>

#include "platform/rtl/SysUtils.h"

class EVariantError : public Exception {
public:
    using Exception::Exception;
};

struct TNullValue {
    bool operator==(const TNullValue&) const = default;
};

// Date-times are kept apart from plain floats so that a field keeps its kind.
struct TDateTimeValue {
    TDateTime Value = 0;
    bool operator==(const TDateTimeValue&) const = default;
};

class Variant {
public:
    Variant() = default; // unassigned
    Variant(TNullValue) : FValue(TNullValue{}) {}
    Variant(int V) : FValue(int64_t(V)) {}
    Variant(int64_t V) : FValue(V) {}
    Variant(double V) : FValue(V) {}
    Variant(bool V) : FValue(V) {}
    Variant(const char* V) : FValue(AnsiString(V)) {}
    Variant(AnsiString V) : FValue(std::move(V)) {}
    Variant(TDateTimeValue V) : FValue(V) {}

    static Variant Null() { return Variant(TNullValue{}); }
    static Variant FromDateTime(TDateTime V) { return Variant(TDateTimeValue{V}); }

    bool IsEmpty() const { return std::holds_alternative<std::monostate>(FValue); }
    bool IsNull() const { return std::holds_alternative<TNullValue>(FValue); }
    bool IsEmptyOrNull() const { return IsEmpty() || IsNull(); }
    bool IsInteger() const { return std::holds_alternative<int64_t>(FValue); }
    bool IsFloat() const { return std::holds_alternative<double>(FValue); }
    bool IsDateTime() const { return std::holds_alternative<TDateTimeValue>(FValue); }
    bool IsBoolean() const { return std::holds_alternative<bool>(FValue); }
    bool IsString() const { return std::holds_alternative<AnsiString>(FValue); }

    // Conversions as the run-time does them; Null converts to 0 or "" and
    // raises nothing, a text that is no number raises EVariantError.
    int64_t AsInt64() const;
    int AsInteger() const;
    double AsFloat() const;
    TDateTime AsDateTime() const;
    bool AsBoolean() const;
    AnsiString AsString() const;
    // The text a string value holds, without a copy; nullptr for any other kind.
    const AnsiString* StringValue() const { return std::get_if<AnsiString>(&FValue); }

    bool operator==(const Variant&) const = default;

private:
    std::variant<std::monostate, TNullValue, int64_t, double, bool, AnsiString, TDateTimeValue> FValue;
};
