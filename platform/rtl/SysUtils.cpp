// Run-time basics: strings, exceptions, number and date conversions, Format.
#include "platform/rtl/SysUtils.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <langinfo.h>
#include <limits>
#include <locale.h>
#include <vector>

TFormatSettings FormatSettings;

// ---------------------------------------------------------------- code pages

namespace {

// Unicode of the CP1251 bytes 0x80 to 0xBF; 0xC0 to 0xFF are U+0410 to U+044F.
const char16_t kUpper1251[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

// Decodes one UTF-8 sequence at Pos; an invalid one yields U+FFFD and skips a byte.
char32_t DecodeUtf8(std::string_view S, std::size_t& Pos) {
    unsigned char c = S[Pos];
    if (c < 0x80) {
        ++Pos;
        return c;
    }
    int extra = c >= 0xF0 && c < 0xF5 ? 3 : c >= 0xE0 && c < 0xF0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : -1;
    if (extra < 0 || Pos + extra >= S.size()) {
        ++Pos;
        return 0xFFFD;
    }
    char32_t cp = c & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        unsigned char cc = S[Pos + i];
        if ((cc & 0xC0) != 0x80) {
            ++Pos;
            return 0xFFFD;
        }
        cp = (cp << 6) | (cc & 0x3F);
    }
    if ((extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
        (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF))) {
        ++Pos;
        return 0xFFFD;
    }
    Pos += extra + 1;
    return cp;
}

void AppendUtf8(std::string& Out, char32_t Cp) {
    if (Cp < 0x80) {
        Out += char(Cp);
    } else if (Cp < 0x800) {
        Out += char(0xC0 | (Cp >> 6));
        Out += char(0x80 | (Cp & 0x3F));
    } else if (Cp < 0x10000) {
        Out += char(0xE0 | (Cp >> 12));
        Out += char(0x80 | ((Cp >> 6) & 0x3F));
        Out += char(0x80 | (Cp & 0x3F));
    } else {
        Out += char(0xF0 | (Cp >> 18));
        Out += char(0x80 | ((Cp >> 12) & 0x3F));
        Out += char(0x80 | ((Cp >> 6) & 0x3F));
        Out += char(0x80 | (Cp & 0x3F));
    }
}

char ToAnsiChar(char32_t Cp) {
    int b = UnicodeToCp1251(Cp);
    return b < 0 ? '?' : char(b);
}

} // namespace

char16_t Cp1251ToUnicode(unsigned char Ch) {
    if (Ch < 0x80) return Ch;
    if (Ch >= 0xC0) return char16_t(0x0410 + (Ch - 0xC0));
    return kUpper1251[Ch - 0x80];
}

int UnicodeToCp1251(char32_t Ch) {
    if (Ch < 0x80) return int(Ch);
    if (Ch >= 0x0410 && Ch <= 0x044F) return int(Ch - 0x0410 + 0xC0);
    for (int i = 0; i < 64; ++i)
        if (kUpper1251[i] == Ch) return 0x80 + i;
    return -1;
}

AnsiString Utf8ToAnsi(std::string_view Utf8) {
    AnsiString out;
    out.reserve(Utf8.size());
    for (std::size_t pos = 0; pos < Utf8.size();)
        out += ToAnsiChar(DecodeUtf8(Utf8, pos));
    return out;
}

AnsiString operator""_cp(const char* Text, std::size_t Length) {
    return Utf8ToAnsi(std::string_view(Text, Length));
}

std::string AnsiToUtf8(std::string_view Ansi) {
    std::string out;
    out.reserve(Ansi.size() * 2);
    for (unsigned char c : Ansi)
        AppendUtf8(out, Cp1251ToUnicode(c));
    return out;
}

WideString AnsiToWide(std::string_view Ansi) {
    WideString out;
    out.reserve(Ansi.size());
    for (unsigned char c : Ansi)
        out += Cp1251ToUnicode(c);
    return out;
}

AnsiString WideToAnsi(std::u16string_view Wide) {
    AnsiString out;
    out.reserve(Wide.size());
    for (std::size_t i = 0; i < Wide.size(); ++i) {
        char16_t c = Wide[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < Wide.size() && Wide[i + 1] >= 0xDC00 &&
            Wide[i + 1] <= 0xDFFF)
            ++i;
        out += ToAnsiChar(c >= 0xD800 && c <= 0xDFFF ? 0xFFFD : c);
    }
    return out;
}

WideString Utf8ToWide(std::string_view Utf8) {
    WideString out;
    out.reserve(Utf8.size());
    for (std::size_t pos = 0; pos < Utf8.size();) {
        char32_t cp = DecodeUtf8(Utf8, pos);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += char16_t(0xD800 + (cp >> 10));
            out += char16_t(0xDC00 + (cp & 0x3FF));
        } else {
            out += char16_t(cp);
        }
    }
    return out;
}

std::string WideToUtf8(std::u16string_view Wide) {
    std::string out;
    out.reserve(Wide.size() * 2);
    for (std::size_t i = 0; i < Wide.size(); ++i) {
        char32_t c = Wide[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < Wide.size() && Wide[i + 1] >= 0xDC00 &&
            Wide[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (Wide[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

// ---------------------------------------------------------------- locale

void LoadLocaleFormatSettings() {
    locale_t loc = newlocale(LC_NUMERIC_MASK | LC_TIME_MASK, "", (locale_t)0);
    if (!loc) return;
    const char* dp = nl_langinfo_l(RADIXCHAR, loc);
    if (dp && dp[0] && !dp[1]) FormatSettings.DecimalSeparator = dp[0];
    const char* ts = nl_langinfo_l(THOUSEP, loc);
    FormatSettings.ThousandSeparator = ts && ts[0] && !ts[1] ? ts[0] : ' ';
    // The date format comes as strftime text, such as "%d.%m.%Y" or "%m/%d/%y".
    const char* df = nl_langinfo_l(D_FMT, loc);
    if (df && *df) {
        AnsiString fmt;
        char sep = 0;
        for (const char* p = df; *p; ++p) {
            if (*p == '%' && p[1]) {
                ++p;
                switch (*p) {
                case 'd':
                case 'e':
                    fmt += "dd";
                    break;
                case 'm':
                    fmt += "mm";
                    break;
                case 'Y':
                    fmt += "yyyy";
                    break;
                case 'y':
                    fmt += "yy";
                    break;
                case 'D':
                    fmt += "mm/dd/yy";
                    sep = '/';
                    break;
                case 'F':
                    fmt += "yyyy-mm-dd";
                    sep = '-';
                    break;
                default:
                    break;
                }
            } else {
                if (!sep) sep = *p;
                fmt += *p == sep ? '/' : *p;
            }
        }
        if (sep && fmt.find("yy") != AnsiString::npos) {
            FormatSettings.DateSeparator = sep;
            // Keep the pattern with the literal separator, as users see it.
            for (char& c : fmt)
                if (c == '/') c = sep;
            FormatSettings.ShortDateFormat = fmt;
        }
    }
    freelocale(loc);
}

// ---------------------------------------------------------------- numbers

AnsiString IntToStr(int64_t Value) {
    return std::to_string(Value);
}

AnsiString IntToHex(uint64_t Value, int Digits) {
    static const char hex[] = "0123456789ABCDEF";
    AnsiString out;
    do {
        out.insert(out.begin(), hex[Value & 15]);
        Value >>= 4;
    } while (Value);
    if (int(out.size()) < Digits) out.insert(0, std::size_t(Digits) - out.size(), '0');
    return out;
}

bool TryStrToInt64(const AnsiString& S, int64_t& Value) {
    AnsiString t = Trim(S);
    if (t.empty()) return false;
    std::size_t i = 0;
    bool neg = false;
    if (t[0] == '-' || t[0] == '+') {
        neg = t[0] == '-';
        i = 1;
    }
    if (i >= t.size()) return false;
    bool hex = false;
    if (t[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= t.size()) return false;
    uint64_t v = 0;
    const uint64_t limit = neg ? uint64_t(std::numeric_limits<int64_t>::max()) + 1
                               : uint64_t(std::numeric_limits<int64_t>::max());
    for (; i < t.size(); ++i) {
        char c = t[i];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        unsigned base = hex ? 16 : 10;
        if (v > (limit - d) / base) return false;
        v = v * base + d;
    }
    Value = neg ? int64_t(0 - v) : int64_t(v);
    return true;
}

bool TryStrToInt(const AnsiString& S, int& Value) {
    int64_t v;
    if (!TryStrToInt64(S, v) || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return false;
    Value = int(v);
    return true;
}

int StrToInt(const AnsiString& S) {
    int v;
    if (!TryStrToInt(S, v)) throw EConvertError("'" + S + "' is not a valid integer value");
    return v;
}

int StrToIntDef(const AnsiString& S, int Default) {
    int v;
    return TryStrToInt(S, v) ? v : Default;
}

namespace {

// Digits and decimal exponent of |Value| rounded to Precision significant digits.
void Digits(double Value, int Precision, std::string& Mantissa, int& Exponent) {
    // to_chars writes as printf does in the C locale, whatever the locale
    // in force.
    char buf[64];
    *std::to_chars(buf, buf + sizeof buf - 1, std::fabs(Value), std::chars_format::scientific, Precision - 1)
         .ptr = 0;
    Mantissa.clear();
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') Mantissa += *p;
    Exponent = std::atoi(p + 1);
    while (Mantissa.size() > 1 && Mantissa.back() == '0')
        Mantissa.pop_back();
}

AnsiString GeneralFloat(double Value, int Precision, char Decimal) {
    if (std::isnan(Value)) return "NAN";
    if (std::isinf(Value)) return Value < 0 ? "-INF" : "INF";
    if (Value == 0) return "0";
    std::string m;
    int e;
    Digits(Value, Precision, m, e);
    AnsiString out = Value < 0 ? "-" : "";
    if (e >= Precision || e < -4) {
        out += m[0];
        if (m.size() > 1) {
            out += Decimal;
            out += m.substr(1);
        }
        out += 'E';
        if (e < 0) out += '-';
        out += std::to_string(std::abs(e));
        return out;
    }
    if (e < 0) {
        out += '0';
        out += Decimal;
        out += std::string(std::size_t(-e - 1), '0');
        out += m;
    } else if (int(m.size()) <= e + 1) {
        out += m + std::string(std::size_t(e + 1 - int(m.size())), '0');
    } else {
        out += m.substr(0, std::size_t(e + 1));
        out += Decimal;
        out += m.substr(std::size_t(e + 1));
    }
    return out;
}

// Fixed notation from the value's 15 significant decimal digits, rounded half
// away from zero as the run-time's fixed formats do (0.25 -> "0.3"), not from
// the binary value, which printf rounds half to even.
AnsiString FixedFloat(double Value, int Decimals, char Decimal, char Thousands = 0) {
    if (std::isnan(Value)) return "NAN";
    if (std::isinf(Value)) return Value < 0 ? "-INF" : "INF";
    Decimals = std::clamp(Decimals, 0, 18);
    std::string m = "0";
    int e = 0;
    if (Value != 0) Digits(Value, 15, m, e);
    // Digits kept: the integer ones and Decimals after the point.
    int keep = e + 1 + Decimals;
    std::string kept;
    if (keep > 0) {
        kept = m.substr(0, std::size_t(std::min<int>(keep, int(m.size()))));
        bool up = keep < int(m.size()) && m[std::size_t(keep)] >= '5';
        kept.append(std::size_t(keep - int(kept.size())), '0');
        if (up) {
            int i = int(kept.size()) - 1;
            for (; i >= 0 && kept[std::size_t(i)] == '9'; --i)
                kept[std::size_t(i)] = '0';
            if (i >= 0)
                ++kept[std::size_t(i)];
            else {
                kept.insert(0, "1");
                ++e;
            }
        }
    } else if (keep == 0 && m[0] >= '5') {
        // Rounds up to the first decimal place shown: 0.06 -> "0.1".
        kept = "1";
        e = -Decimals;
    }
    // kept holds the digits of the rounded value, its first digit at 10^e.
    std::string intPart, frac;
    int intDigits = e + 1;
    if (kept.empty() || kept.find_first_not_of('0') == std::string::npos) {
        intPart = "0";
        frac.assign(std::size_t(Decimals), '0');
    } else {
        if (intDigits <= 0) {
            intPart = "0";
            frac = std::string(std::size_t(-intDigits), '0') + kept;
        } else {
            intPart = kept.substr(0, std::size_t(intDigits));
            frac = kept.substr(std::size_t(intDigits));
        }
        frac.resize(std::size_t(Decimals), '0');
        if (Value < 0) intPart.insert(0, "-");
    }
    if (Thousands) {
        bool neg = !intPart.empty() && intPart[0] == '-';
        AnsiString digits = neg ? intPart.substr(1) : intPart;
        AnsiString grouped;
        for (std::size_t i = 0; i < digits.size(); ++i) {
            if (i && (digits.size() - i) % 3 == 0) grouped += Thousands;
            grouped += digits[i];
        }
        intPart = (neg ? "-" : "") + grouped;
    }
    return frac.empty() ? intPart : intPart + Decimal + frac;
}

AnsiString ScientificFloat(double Value, int Precision, char Decimal) {
    char buf[64];
    *std::to_chars(buf, buf + sizeof buf - 1, Value, std::chars_format::scientific,
                   std::clamp(Precision, 1, 18) - 1)
         .ptr = 0;
    AnsiString s = buf;
    for (char& c : s) {
        if (c == '.') c = Decimal;
        if (c == 'e') c = 'E';
    }
    // The run-time writes at least three exponent digits: 1,0E+003.
    std::size_t e = s.find('E');
    if (e != AnsiString::npos && e + 2 < s.size()) {
        AnsiString digits = s.substr(e + 2);
        while (digits.size() < 3)
            digits.insert(0, "0");
        s = s.substr(0, e + 2) + digits;
    }
    return s;
}

} // namespace

AnsiString FloatToStr(double Value, const TFormatSettings& Settings) {
    return GeneralFloat(Value, 15, Settings.DecimalSeparator);
}

AnsiString FloatToStr(double Value) {
    return FloatToStr(Value, FormatSettings);
}

AnsiString FloatToStrF(double Value, int Digits) {
    return FixedFloat(Value, Digits, FormatSettings.DecimalSeparator);
}

AnsiString FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits) {
    Precision = std::clamp(Precision, 1, 18);
    bool fixed = Format == TFloatFormat::ffFixed || Format == TFloatFormat::ffNumber;
    // More integer digits than the precision holds: the general form.
    if (!fixed || std::isnan(Value) || std::isinf(Value) ||
        (Value != 0 && std::floor(std::log10(std::fabs(Value))) + 1 > Precision))
        return GeneralFloat(Value, Precision, FormatSettings.DecimalSeparator);
    char thousands = Format == TFloatFormat::ffNumber ? FormatSettings.ThousandSeparator : 0;
    return FixedFloat(Value, Digits, FormatSettings.DecimalSeparator, thousands);
}

namespace {
// The sections of a number pattern, split at ";" outside quotes.
std::vector<AnsiString> PatternSections(const AnsiString& Pattern) {
    std::vector<AnsiString> sections(1);
    char quote = 0;
    for (char c : Pattern) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            sections.emplace_back();
            continue;
        }
        sections.back() += c;
    }
    return sections;
}

bool IsPlaceholder(char C) {
    return C == '0' || C == '#' || C == '.' || C == ',';
}

// Text outside quotes copied as it is, quotes dropped.
AnsiString PatternLiteral(const AnsiString& Text) {
    AnsiString out;
    char quote = 0;
    for (char c : Text) {
        if (quote) {
            if (c == quote)
                quote = 0;
            else
                out += c;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else {
            out += c;
        }
    }
    return out;
}
} // namespace

AnsiString FormatFloat(const AnsiString& Pattern, double Value) {
    if (Pattern.empty()) return FloatToStr(Value);
    std::vector<AnsiString> sections = PatternSections(Pattern);
    AnsiString section = sections[0];
    bool sign = Value < 0;
    if (Value < 0 && sections.size() >= 2 && !sections[1].empty()) {
        section = sections[1];
        sign = false;
    } else if (Value == 0 && sections.size() >= 3 && !sections[2].empty()) {
        section = sections[2];
    }
    // Where the placeholders start and end, outside quotes.
    int first = -1, last = -1;
    char quote = 0;
    for (int i = 0; i < int(section.size()); ++i) {
        char c = section[std::size_t(i)];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (IsPlaceholder(c)) {
            if (first < 0) first = i;
            last = i;
        }
    }
    if (first < 0) return PatternLiteral(section);
    AnsiString body = section.substr(std::size_t(first), std::size_t(last - first + 1));
    int intZeros = 0, minDec = 0, maxDec = 0;
    bool point = false, thousands = false;
    for (char c : body) {
        if (c == '.') {
            point = true;
        } else if (c == ',') {
            if (!point) thousands = true;
        } else if (point) {
            ++maxDec;
            if (c == '0') minDec = maxDec;
        } else if (c == '0') {
            ++intZeros;
        }
    }
    AnsiString digits = FixedFloat(std::fabs(Value), maxDec, '.');
    std::size_t dot = digits.find('.');
    AnsiString intPart = digits.substr(0, dot);
    AnsiString frac = dot == AnsiString::npos ? AnsiString() : digits.substr(dot + 1);
    while (int(frac.size()) > minDec && frac.back() == '0')
        frac.pop_back();
    if (intPart == "0" && intZeros == 0) intPart.clear();
    if (int(intPart.size()) < intZeros) intPart.insert(0, std::size_t(intZeros - int(intPart.size())), '0');
    if (thousands && FormatSettings.ThousandSeparator) {
        AnsiString grouped;
        for (std::size_t i = 0; i < intPart.size(); ++i) {
            if (i && (intPart.size() - i) % 3 == 0) grouped += FormatSettings.ThousandSeparator;
            grouped += intPart[i];
        }
        intPart = grouped;
    }
    AnsiString number = intPart;
    if (!frac.empty()) number += FormatSettings.DecimalSeparator + frac;
    if (number.empty()) number = "0";
    // A value that rounds to zero shows no sign.
    if (sign &&
        number.find_first_not_of("0" + AnsiString(1, FormatSettings.DecimalSeparator)) == AnsiString::npos)
        sign = false;
    return PatternLiteral(section.substr(0, std::size_t(first))) + (sign ? "-" : "") + number +
           PatternLiteral(section.substr(std::size_t(last + 1)));
}

bool TryStrToFloat(const AnsiString& S, double& Value, const TFormatSettings& Settings) {
    AnsiString t = Trim(S);
    if (t.empty()) return false;
    std::string c;
    for (char ch : t) {
        if (ch == Settings.DecimalSeparator)
            c += '.';
        else if (ch == '.' || ch == ',')
            return false;
        else if ((ch >= '0' && ch <= '9') || ch == '-' || ch == '+' || ch == 'e' || ch == 'E')
            c += ch;
        else
            return false;
    }
    // Read in the C locale, whatever locale the C library is set to.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    char* end = nullptr;
    errno = 0;
    double v = strtod_l(c.c_str(), &end, cLocale);
    if (end != c.c_str() + c.size() || errno == ERANGE) return false;
    Value = v;
    return true;
}

bool TryStrToFloat(const AnsiString& S, double& Value) {
    return TryStrToFloat(S, Value, FormatSettings);
}

double StrToFloat(const AnsiString& S) {
    double v;
    if (!TryStrToFloat(S, v)) throw EConvertError("'" + S + "' is not a valid floating point value");
    return v;
}

int64_t Round(double Value) {
    return int64_t(std::nearbyint(Value));
}

int64_t Trunc(double Value) {
    return int64_t(std::trunc(Value));
}

int MulDiv(int Value, int Numerator, int Denominator) {
    if (Denominator == 0) return -1;
    int64_t product = int64_t(Value) * Numerator;
    int64_t q = product / Denominator;
    int64_t r = product % Denominator;
    // Half away from zero.
    if (2 * (r < 0 ? -r : r) >= (Denominator < 0 ? -int64_t(Denominator) : Denominator))
        q += ((product < 0) != (Denominator < 0)) ? -1 : 1;
    if (q > std::numeric_limits<int>::max() || q < std::numeric_limits<int>::min()) return -1;
    return int(q);
}

// ---------------------------------------------------------------- Format

namespace {

AnsiString Pad(const AnsiString& S, int Width, bool Left) {
    if (Width <= int(S.size())) return S;
    AnsiString pad(std::size_t(Width) - S.size(), ' ');
    return Left ? S + pad : pad + S;
}

} // namespace

AnsiString Format(const AnsiString& Pattern, std::initializer_list<FormatArg> Args,
                  const TFormatSettings& Settings) {
    const FormatArg* args = Args.begin();
    const int count = int(Args.size());
    AnsiString out;
    int next = 0;
    std::size_t i = 0;
    auto bad = [&]() {
        throw EConvertError("Format '" + Pattern + "' invalid or incompatible with argument");
    };
    auto readNumber = [&](int& N) -> bool {
        if (i < Pattern.size() && Pattern[i] == '*') {
            ++i;
            if (next >= count || !std::holds_alternative<int64_t>(args[next].Value)) bad();
            N = int(std::get<int64_t>(args[next++].Value));
            return true;
        }
        if (i >= Pattern.size() || Pattern[i] < '0' || Pattern[i] > '9') return false;
        N = 0;
        while (i < Pattern.size() && Pattern[i] >= '0' && Pattern[i] <= '9') {
            N = std::min(N * 10 + (Pattern[i] - '0'), 100000);
            ++i;
        }
        return true;
    };
    while (i < Pattern.size()) {
        char c = Pattern[i++];
        if (c != '%') {
            out += c;
            continue;
        }
        if (i < Pattern.size() && Pattern[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        int n = -1, width = -1, prec = -1;
        bool left = false;
        std::size_t save = i;
        if (i < Pattern.size() && Pattern[i] != '*' && readNumber(n) && i < Pattern.size() &&
            Pattern[i] == ':') {
            ++i;
            next = n;
        } else {
            i = save;
        }
        if (i < Pattern.size() && Pattern[i] == '-') {
            left = true;
            ++i;
        }
        readNumber(width);
        if (i < Pattern.size() && Pattern[i] == '.') {
            ++i;
            if (!readNumber(prec)) prec = 0;
        }
        if (i >= Pattern.size()) bad();
        char type = char(std::tolower((unsigned char)Pattern[i++]));
        if (next < 0 || next >= count) bad();
        const FormatArg& arg = args[next++];
        const auto& v = arg.Value;
        AnsiString piece;
        switch (type) {
        case 'd':
        case 'u':
        case 'x': {
            if (!std::holds_alternative<int64_t>(v)) bad();
            int64_t iv = std::get<int64_t>(v);
            if (type == 'x') {
                piece = IntToHex(arg.Is32Bit ? uint64_t(uint32_t(iv)) : uint64_t(iv), prec < 0 ? 0 : prec);
            } else {
                if (type == 'u' && iv < 0) iv = int64_t(uint32_t(iv));
                AnsiString digits = std::to_string(iv < 0 ? -(iv + 1) + uint64_t(1) : uint64_t(iv));
                if (prec > int(digits.size())) digits.insert(0, std::size_t(prec) - digits.size(), '0');
                piece = (iv < 0 ? "-" : "") + digits;
            }
            break;
        }
        case 's':
            if (!std::holds_alternative<AnsiString>(v)) bad();
            piece = std::get<AnsiString>(v);
            if (prec >= 0 && prec < int(piece.size())) piece.resize(std::size_t(prec));
            break;
        case 'f':
        case 'e':
        case 'g':
        case 'n':
        case 'm': {
            double d;
            if (std::holds_alternative<double>(v))
                d = std::get<double>(v);
            else
                bad();
            if (type == 'f')
                piece = FixedFloat(d, prec < 0 ? 2 : prec, Settings.DecimalSeparator);
            else if (type == 'n' || type == 'm')
                piece =
                    FixedFloat(d, prec < 0 ? 2 : prec, Settings.DecimalSeparator, Settings.ThousandSeparator);
            else if (type == 'e')
                piece = ScientificFloat(d, prec < 0 ? 15 : prec, Settings.DecimalSeparator);
            else
                piece = GeneralFloat(d, prec <= 0 || prec > 15 ? 15 : prec, Settings.DecimalSeparator);
            break;
        }
        case 'p':
            if (!std::holds_alternative<const void*>(v)) bad();
            piece = IntToHex(uint64_t(reinterpret_cast<uintptr_t>(std::get<const void*>(v))), 8);
            break;
        default:
            bad();
        }
        out += Pad(piece, width, left);
    }
    return out;
}

AnsiString Format(const AnsiString& Pattern, std::initializer_list<FormatArg> Args) {
    return Format(Pattern, Args, FormatSettings);
}

// ---------------------------------------------------------------- strings

AnsiString TrimLeft(const AnsiString& S) {
    std::size_t b = 0;
    while (b < S.size() && (unsigned char)S[b] <= ' ')
        ++b;
    return S.substr(b);
}

AnsiString TrimRight(const AnsiString& S) {
    std::size_t e = S.size();
    while (e > 0 && (unsigned char)S[e - 1] <= ' ')
        --e;
    return S.substr(0, e);
}

AnsiString Trim(const AnsiString& S) {
    return TrimRight(TrimLeft(S));
}

char AnsiUpperChar(char C) {
    unsigned char c = C;
    if (c >= 'a' && c <= 'z') return char(c - 32);
    if (c >= 0xE0) return char(c - 32);
    switch (c) {
    case 0xB8:
        return char(0xA8); // ё
    case 0xBA:
        return char(0xAA); // є
    case 0xBF:
        return char(0xAF); // ї
    case 0xB3:
        return char(0xB2); // і
    case 0xB4:
        return char(0xA5); // ґ
    case 0xA2:
        return char(0xA1); // ў
    case 0xBC:
        return char(0xA3); // ј
    case 0xBE:
        return char(0xBD); // ѕ
    case 0x90:
        return char(0x80); // ђ
    case 0x83:
        return char(0x81); // ѓ
    case 0x9A:
        return char(0x8A); // љ
    case 0x9C:
        return char(0x8C); // њ
    case 0x9D:
        return char(0x8D); // ќ
    case 0x9E:
        return char(0x8E); // ћ
    case 0x9F:
        return char(0x8F); // џ
    default:
        return C;
    }
}

char AnsiLowerChar(char C) {
    // The inverse of AnsiUpperChar, built once.
    static const auto table = [] {
        std::array<char, 256> t{};
        for (int c = 0; c < 256; ++c)
            t[c] = char(c);
        for (int c = 0; c < 256; ++c) {
            unsigned char u = AnsiUpperChar(char(c));
            if (u != c) t[u] = char(c);
        }
        return t;
    }();
    return table[(unsigned char)C];
}

AnsiString AnsiUpperCase(const AnsiString& S) {
    AnsiString out = S;
    for (char& c : out)
        c = AnsiUpperChar(c);
    return out;
}

AnsiString AnsiLowerCase(const AnsiString& S) {
    AnsiString out = S;
    for (char& c : out)
        c = AnsiLowerChar(c);
    return out;
}

int AnsiCompareText(const AnsiString& A, const AnsiString& B) {
    std::size_t n = std::min(A.size(), B.size());
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char a = AnsiLowerChar(A[i]), b = AnsiLowerChar(B[i]);
        if (a != b) return a < b ? -1 : 1;
    }
    return A.size() == B.size() ? 0 : A.size() < B.size() ? -1 : 1;
}

bool SameText(const AnsiString& A, const AnsiString& B) {
    return A.size() == B.size() && AnsiCompareText(A, B) == 0;
}

AnsiString StringOfChar(char C, int Count) {
    return Count > 0 ? AnsiString(std::size_t(Count), C) : AnsiString();
}

// ---------------------------------------------------------------- files

AnsiString ExtractFilePath(const AnsiString& FileName) {
    std::size_t p = FileName.find_last_of('/');
    return p == AnsiString::npos ? AnsiString() : FileName.substr(0, p + 1);
}

AnsiString ExtractFileName(const AnsiString& FileName) {
    std::size_t p = FileName.find_last_of('/');
    return p == AnsiString::npos ? FileName : FileName.substr(p + 1);
}

AnsiString ExtractFileExt(const AnsiString& FileName) {
    std::size_t p = FileName.find_last_of("./");
    return p == AnsiString::npos || FileName[p] != '.' ? AnsiString() : FileName.substr(p);
}

AnsiString ChangeFileExt(const AnsiString& FileName, const AnsiString& Ext) {
    std::size_t p = FileName.find_last_of("./");
    AnsiString base = p == AnsiString::npos || FileName[p] != '.' ? FileName : FileName.substr(0, p);
    return base + Ext;
}

AnsiString IncludeTrailingPathDelimiter(const AnsiString& Path) {
    return !Path.empty() && Path.back() == '/' ? Path : Path + "/";
}

bool FileExists(const AnsiString& FileName) {
    struct stat st;
    return ::stat(FileName.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const AnsiString& Path) {
    struct stat st;
    return ::stat(Path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool DeleteFile(const AnsiString& FileName) {
    return ::unlink(FileName.c_str()) == 0;
}

// ---------------------------------------------------------------- dates

namespace {

const int kDaysInMonth[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                 {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

// Days from 0001-01-01 to 1899-12-30.
constexpr int64_t kDateDelta = 693594;

} // namespace

bool IsLeapYear(int Year) {
    return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0);
}

bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date) {
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12) return false;
    if (Day < 1 || Day > kDaysInMonth[IsLeapYear(Year)][Month - 1]) return false;
    int64_t days = Day;
    for (int m = 1; m < Month; ++m)
        days += kDaysInMonth[IsLeapYear(Year)][m - 1];
    int64_t y = Year - 1;
    days += y * 365 + y / 4 - y / 100 + y / 400;
    Date = double(days - kDateDelta);
    return true;
}

TDateTime EncodeDate(int Year, int Month, int Day) {
    TDateTime d;
    if (!TryEncodeDate(Year, Month, Day, d)) throw EConvertError("Invalid argument to date encode");
    return d;
}

TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec) {
    if (Hour < 0 || Hour > 23 || Min < 0 || Min > 59 || Sec < 0 || Sec > 59 || MSec < 0 || MSec > 999)
        throw EConvertError("Invalid argument to time encode");
    return (Hour * 3600000.0 + Min * 60000.0 + Sec * 1000.0 + MSec) / 86400000.0;
}

void DecodeDate(TDateTime Date, int& Year, int& Month, int& Day) {
    int64_t t = int64_t(std::trunc(Date)) + kDateDelta - 1; // days since 0001-01-01
    if (t < 0) {
        Year = Month = Day = 0;
        return;
    }
    int64_t y = 1;
    int64_t n400 = t / 146097;
    t %= 146097;
    int64_t n100 = t / 36524;
    if (n100 == 4) n100 = 3;
    t -= n100 * 36524;
    int64_t n4 = t / 1461;
    t %= 1461;
    int64_t n1 = t / 365;
    if (n1 == 4) n1 = 3;
    t -= n1 * 365;
    y += n400 * 400 + n100 * 100 + n4 * 4 + n1;
    Year = int(y);
    int m = 0;
    const int* months = kDaysInMonth[IsLeapYear(Year)];
    while (t >= months[m])
        t -= months[m++];
    Month = m + 1;
    Day = int(t) + 1;
}

void DecodeTime(TDateTime Time, int& Hour, int& Min, int& Sec, int& MSec) {
    double frac = std::fabs(Time - std::trunc(Time));
    int64_t ms = int64_t(std::llround(frac * 86400000.0));
    if (ms >= 86400000) ms = 86399999;
    Hour = int(ms / 3600000);
    Min = int(ms / 60000 % 60);
    Sec = int(ms / 1000 % 60);
    MSec = int(ms % 1000);
}

TDateTime UnixToDateTime(int64_t Seconds) {
    return 25569.0 + double(Seconds) / 86400.0;
}

int64_t DateTimeToUnix(TDateTime Value) {
    return int64_t(std::llround((Value - 25569.0) * 86400.0));
}

TDateTime Now() {
    using namespace std::chrono;
    auto now = system_clock::now();
    int64_t ms = duration_cast<milliseconds>(now.time_since_epoch()).count();
    std::time_t secs = std::time_t(ms / 1000);
    std::tm local{};
    localtime_r(&secs, &local);
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), int(ms % 1000));
}

TDateTime Date() {
    return std::trunc(Now());
}

AnsiString FormatDateTime(const AnsiString& Pattern, TDateTime Value, const TFormatSettings& Settings) {
    int y, mo, d, h, mi, s, ms;
    DecodeDate(Value, y, mo, d);
    DecodeTime(Value, h, mi, s, ms);
    AnsiString out;
    auto two = [](int v) { return (v < 10 ? "0" : "") + std::to_string(v); };
    std::size_t i = 0;
    // A pattern of 'c' alone means the short date and the long time.
    if (SameText(Pattern, "c"))
        return FormatDateTime(Settings.ShortDateFormat, Value, Settings) +
               (h || mi || s ? " " + FormatDateTime(Settings.LongTimeFormat, Value, Settings) : "");
    // The last letter specifier: "m" after an hour ("hh:mm") is minutes.
    char lastLetter = 0;
    while (i < Pattern.size()) {
        char c = Pattern[i];
        char lc = char(std::tolower((unsigned char)c));
        std::size_t run = 1;
        while (i + run < Pattern.size() && std::tolower((unsigned char)Pattern[i + run]) == lc)
            ++run;
        if (lc == 'm' && lastLetter == 'h') lc = 'n';
        if (lc >= 'a' && lc <= 'z') lastLetter = lc;
        switch (lc) {
        case 'd':
            out += run >= 2 ? two(d) : std::to_string(d);
            break;
        case 'm':
            out += run >= 2 ? two(mo) : std::to_string(mo);
            break;
        case 'y':
            out += run <= 2 ? two(y % 100) : std::to_string(y);
            break;
        case 'h':
            out += run >= 2 ? two(h) : std::to_string(h);
            break;
        case 'n':
            out += run >= 2 ? two(mi) : std::to_string(mi);
            break;
        case 's':
            out += run >= 2 ? two(s) : std::to_string(s);
            break;
        case 'z': {
            AnsiString v = std::to_string(ms);
            out += run >= 3 ? AnsiString(3 - v.size(), '0') + v : v;
            break;
        }
        case '/':
            out += AnsiString(run, Settings.DateSeparator);
            break;
        case ':':
            out += AnsiString(run, Settings.TimeSeparator);
            break;
        case '"':
        case '\'': {
            std::size_t end = Pattern.find(c, i + 1);
            if (end == AnsiString::npos) end = Pattern.size();
            out += Pattern.substr(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        default:
            out += Pattern.substr(i, run);
        }
        i += run;
    }
    return out;
}

AnsiString FormatDateTime(const AnsiString& Pattern, TDateTime Value) {
    return FormatDateTime(Pattern, Value, FormatSettings);
}

AnsiString DateToStr(TDateTime Value) {
    return FormatDateTime(FormatSettings.ShortDateFormat, Value);
}

AnsiString TimeToStr(TDateTime Value) {
    return FormatDateTime(FormatSettings.LongTimeFormat, Value);
}

AnsiString DateTimeToStr(TDateTime Value) {
    return FormatDateTime("c", Value);
}

bool TryStrToDate(const AnsiString& S, TDateTime& Value, const TFormatSettings& Settings) {
    // Order of day, month and year as in the short date format.
    AnsiString order;
    for (char c : Settings.ShortDateFormat) {
        char lc = char(std::tolower((unsigned char)c));
        if ((lc == 'd' || lc == 'm' || lc == 'y') && order.find(lc) == AnsiString::npos) order += lc;
    }
    if (order.size() != 3) order = "dmy";
    int parts[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int n = 0;
    AnsiString t = Trim(S);
    std::size_t i = 0;
    while (i < t.size() && n < 3) {
        if (!std::isdigit((unsigned char)t[i])) return false;
        while (i < t.size() && std::isdigit((unsigned char)t[i])) {
            if (digits[n] >= 4) return false;
            parts[n] = parts[n] * 10 + (t[i] - '0');
            ++digits[n];
            ++i;
        }
        ++n;
        if (i < t.size()) {
            if (t[i] != Settings.DateSeparator || n == 3) return false;
            ++i;
            if (i >= t.size()) return false;
        }
    }
    if (i != t.size() || n < 2) return false;
    int d = 0, m = 0, y = 0, yDigits = 0;
    if (n == 2) {
        // Day and month of the current year.
        int cy, cm, cd;
        DecodeDate(::Date(), cy, cm, cd);
        y = cy;
        yDigits = 4;
        AnsiString dm = order;
        dm.erase(dm.find('y'), 1);
        for (int k = 0; k < 2; ++k)
            (dm[k] == 'd' ? d : m) = parts[k];
    } else {
        for (int k = 0; k < 3; ++k) {
            if (order[k] == 'd')
                d = parts[k];
            else if (order[k] == 'm')
                m = parts[k];
            else {
                y = parts[k];
                yDigits = digits[k];
            }
        }
    }
    if (yDigits <= 2) {
        // Two-digit years fall within 50 years of the current one.
        int cy, cm, cd;
        DecodeDate(::Date(), cy, cm, cd);
        int century = cy / 100 * 100;
        y += century;
        if (y > cy + 50)
            y -= 100;
        else if (y <= cy - 50)
            y += 100;
    }
    return TryEncodeDate(y, m, d, Value);
}

bool TryStrToDate(const AnsiString& S, TDateTime& Value) {
    return TryStrToDate(S, Value, FormatSettings);
}

TDateTime StrToDate(const AnsiString& S) {
    TDateTime v;
    if (!TryStrToDate(S, v)) throw EConvertError("'" + S + "' is not a valid date");
    return v;
}
