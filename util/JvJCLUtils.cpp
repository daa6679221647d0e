// Text, number-text and rectangle helpers of the storage and controls.
#include "util/JvJCLUtils.h"

#include <algorithm>
#include <cstdlib>

#include "util/JclAnsiStrings.h"
#include "util/JclUnitVersioning.h"

bool VariantIsInteger(uint16_t VarType) {
    switch (VarType) {
    case 2:
    case 3:
    case 16:
    case 17:
    case 18:
    case 19:
        return true;
    default:
        return false;
    }
}

bool VariantIsInteger(const Variant& V) {
    if (!V.IsInteger()) return false;
    int64_t v = V.AsInt64();
    return v >= INT32_MIN && v <= int64_t(UINT32_MAX);
}

AnsiString ReplaceAllText(const AnsiString& Text, const AnsiString& Old, const AnsiString& New) {
    if (Old.empty()) return Text;
    AnsiString out = Text;
    ReplaceSubstrings(out, Old, New, ReplaceAll);
    return out;
}

AnsiString TrimLeadingSpaces(const AnsiString& Text) {
    std::size_t b = Text.find_first_not_of(' ');
    return b == AnsiString::npos ? AnsiString() : Text.substr(b);
}

AnsiString TrimTrailingSpaces(const AnsiString& Text) {
    std::size_t e = Text.find_last_not_of(' ');
    return e == AnsiString::npos ? AnsiString() : Text.substr(0, e + 1);
}

AnsiString TrimSpaces(const AnsiString& Text) {
    return TrimLeadingSpaces(TrimTrailingSpaces(Text));
}

int NthWordStart(int N, const AnsiString& Text, const TSysCharSet& Delimiters) {
    if (N <= 0) return 0;
    int count = 0;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        bool starts = !Delimiters.count(Text[i]) && (i == 0 || Delimiters.count(Text[i - 1]));
        if (starts && ++count == N) return int(i) + 1;
    }
    return 0;
}

AnsiString NthWord(int N, const AnsiString& Text, const TSysCharSet& Delimiters) {
    int start = NthWordStart(N, Text, Delimiters);
    if (!start) return AnsiString();
    std::size_t end = std::size_t(start) - 1;
    while (end < Text.size() && !Delimiters.count(Text[end]))
        ++end;
    return Text.substr(std::size_t(start) - 1, end - std::size_t(start) + 1);
}

AnsiString NormalizeNumberText(const AnsiString& Text, const TFormatSettings& Settings) {
    const char d = Settings.DecimalSeparator, t = Settings.ThousandSeparator;
    AnsiString s = TrimSpaces(Text);
    if (d != t) s.erase(std::remove(s.begin(), s.end(), t), s.end());
    if (d != '.' && t != '.')
        for (char& c : s)
            if (c == '.') c = d;
    if (d != ',' && t != ',')
        for (char& c : s)
            if (c == ',') c = d;
    AnsiString out;
    for (char c : s)
        if (c == '+' || c == '-' || (c >= '0' && c <= '9') || c == d || c == t) out += c;
    if (out.empty()) return "0";
    if (out == "-") return "-0";
    return out;
}

AnsiString NormalizeNumberText(const AnsiString& Text) {
    return NormalizeNumberText(Text, FormatSettings);
}

AnsiString XorHexEncode(const AnsiString& Key, const AnsiString& Text) {
    static const char digits[] = "0123456789abcdef";
    AnsiString out;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        unsigned char b = static_cast<unsigned char>(Text[i]);
        if (!Key.empty()) b ^= static_cast<unsigned char>(Key[i % Key.size()]);
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

namespace {
int Hex(char C) {
    if (C >= '0' && C <= '9') return C - '0';
    if (C >= 'a' && C <= 'f') return C - 'a' + 10;
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    return -1;
}
} // namespace

bool TryXorHexDecode(const AnsiString& Key, const AnsiString& Code, AnsiString& Text) {
    Text.clear();
    if (Code.size() % 2) return false;
    AnsiString out;
    for (std::size_t i = 0; i < Code.size() / 2; ++i) {
        int hi = Hex(Code[2 * i]), lo = Hex(Code[2 * i + 1]);
        if (hi < 0 || lo < 0) return false;
        unsigned char b = static_cast<unsigned char>(hi * 16 + lo);
        if (!Key.empty()) b ^= static_cast<unsigned char>(Key[i % Key.size()]);
        out += char(b);
    }
    Text = out;
    return true;
}

AnsiString XorHexDecode(const AnsiString& Key, const AnsiString& Code) {
    AnsiString text;
    if (!TryXorHexDecode(Key, Code, text))
        throw EConvertError(Format("'%s' is not a valid hexadecimal code", {Code}));
    return text;
}

int AbsRectWidth(const TRect& R) {
    return std::abs(R.Right - R.Left);
}
int AbsRectHeight(const TRect& R) {
    return std::abs(R.Bottom - R.Top);
}

LIBRARY_UNIT_VERSION("util/JvJCLUtils.cpp", "1", "2026-12-10", "JvLib\\run")
