// Values of attributes and CSS properties: attribute lookup, colours, font
// sizes, list kinds, alignments and the value of a CSS property.
#include <array>

#include "richtext/import/html/rvhtmlimport_p.h"

AnsiString HtmlLower(std::string_view Text) {
    AnsiString out(Text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

int HtmlNumber(const AnsiString& Text, int Default) {
    std::size_t i = 0;
    while (i < Text.size() && Text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < Text.size() && (Text[i] == '-' || Text[i] == '+')) negative = Text[i++] == '-';
    if (i >= Text.size()) return Default;
    int64_t value = 0;
    for (; i < Text.size(); ++i) {
        if (Text[i] < '0' || Text[i] > '9') return Default;
        value = value * 10 + (Text[i] - '0');
        // Out of range is as malformed as any other text.
        if (value > 0x7FFFFFFF) return Default;
    }
    return int(negative ? -value : value);
}

namespace {

AnsiString AttributeName(const AnsiString& Entry, std::size_t& Equals) {
    Equals = Entry.find('=');
    return Equals == AnsiString::npos ? AnsiString() : Entry.substr(0, Equals);
}

} // namespace

AnsiString HtmlAttribute(const std::vector<AnsiString>& Attributes, const AnsiString& Name) {
    for (const AnsiString& entry : Attributes) {
        std::size_t equals;
        if (SameText(AttributeName(entry, equals), Name) && equals != AnsiString::npos)
            return entry.substr(equals + 1);
    }
    return AnsiString();
}

bool HasHtmlAttribute(const std::vector<AnsiString>& Attributes, const AnsiString& Name) {
    for (const AnsiString& entry : Attributes) {
        std::size_t equals;
        if (equals = entry.find('='); equals != AnsiString::npos && SameText(entry.substr(0, equals), Name))
            return true;
    }
    return false;
}

TColor HtmlColor(const AnsiString& Text) {
    struct TNamed {
        const char* Name;
        TColor Color;
    };
    static constexpr std::array<TNamed, 16> names = {{{"white", 0xFFFFFF},
                                                      {"black", 0x000000},
                                                      {"red", 0x0000FF},
                                                      {"green", 0x008000},
                                                      {"blue", 0xFF0000},
                                                      {"aqua", 0xFFFF00},
                                                      {"fuchsia", 0xFF00FF},
                                                      {"gray", 0x808080},
                                                      {"lime", 0x00FF00},
                                                      {"maroon", 0x000080},
                                                      {"navy", 0x800000},
                                                      {"olive", 0x008080},
                                                      {"purple", 0x800080},
                                                      {"silver", 0xC0C0C0},
                                                      {"teal", 0x808000},
                                                      {"yellow", 0x00FFFF}}};
    for (const TNamed& named : names)
        if (SameText(Text, named.Name)) return named.Color;
    std::size_t i = !Text.empty() && Text[0] == '#' ? 1 : 0;
    if (i >= Text.size() || Text.size() - i > 8) return 0;
    uint32_t value = 0;
    for (; i < Text.size(); ++i) {
        char c = Text[i];
        int digit = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : -1;
        if (digit < 0) return 0;
        value = value * 16 + uint32_t(digit);
    }
    // Only the three colour bytes: a high byte would make a system colour.
    return TColor(((value & 0xFF) << 16) | (value & 0xFF00) | ((value >> 16) & 0xFF));
}

namespace {
constexpr std::array<int, 7> HtmlSizes = {8, 10, 12, 14, 18, 24, 36};
}

int HtmlSizeToPoints(int Size) {
    return HtmlSizes[std::size_t(std::clamp(Size, 1, 7) - 1)];
}

int HtmlPointsToSize(int Points) {
    for (int size = 1; size <= 6; ++size)
        if (HtmlSizes[std::size_t(size - 1)] >= Points) return size;
    return 7;
}

int HtmlListKind(const AnsiString& Text, int Default) {
    if (SameText(Text, "disc")) return 1;
    if (SameText(Text, "circle")) return 2;
    if (SameText(Text, "square")) return 3;
    static constexpr std::array<const char*, 5> numbered = {"1", "a", "A", "i", "I"};
    for (std::size_t i = 0; i < numbered.size(); ++i)
        if (Text == numbered[i]) return int(4 + i);
    return Default;
}

int HtmlAlignment(const std::vector<AnsiString>& Attributes, int Default) {
    AnsiString align = HtmlLower(HtmlAttribute(Attributes, "align"));
    if (align == "left") return 0;
    if (align == "right") return 1;
    if (align == "center") return 2;
    if (align == "justify") return 3;
    return Default;
}

AnsiString CssValue(const AnsiString& Rule, const AnsiString& Name) {
    std::size_t at = Rule.find(Name);
    if (Name.empty() || at == AnsiString::npos) return AnsiString();
    AnsiString rest = Rule.substr(at + Name.size(), 100);
    std::size_t i = 0;
    while (i < rest.size() && (rest[i] == ' ' || rest[i] == ':'))
        ++i;
    if (i < rest.size() && (rest[i] == '"' || rest[i] == '\'')) {
        std::size_t close = rest.find_first_of("\"'", i + 1);
        return rest.substr(i + 1, close == AnsiString::npos ? AnsiString::npos : close - i - 1);
    }
    std::size_t close = rest.find_first_of(");>]}", i);
    return rest.substr(i, close == AnsiString::npos ? AnsiString::npos : close - i);
}
