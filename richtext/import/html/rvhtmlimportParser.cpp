// The HTML tokenizer: comments, tags with their attributes, and text with
// white space collapsed and character entities decoded.
#include <array>
#include <cstring>

#include "richtext/engine/text/RVCodePages.h"
#include "richtext/import/html/rvhtmlimport_p.h"

namespace {

bool IsBlank(char C) {
    return C == ' ' || C == '\t' || C == '\n' || C == '\r';
}

// The character entities of ISO 8859-1, codes 161 to 255 in order.
constexpr std::array<const char*, 95> Latin1Entities = {
    "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",   "ordf",
    "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",   "sup3",   "acute",
    "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34",
    "iquest", "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave",
    "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve",
    "Oacute", "Ocirc",  "Otilde", "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",
    "Yacute", "THORN",  "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",
    "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave", "uacute",
    "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

// The code of a named entity, 0 for a name the table lacks.
char32_t EntityCode(const AnsiString& Name) {
    if (Name == "quot") return 34;
    if (Name == "amp") return 38;
    if (Name == "lt") return 60;
    if (Name == "gt") return 62;
    // A no-break space is read as an ordinary one, so that it wraps.
    if (Name == "nbsp") return 32;
    for (std::size_t i = 0; i < Latin1Entities.size(); ++i)
        if (Name == Latin1Entities[i]) return char32_t(161 + i);
    return 0;
}

// A numeric reference: decimal, or hexadecimal after "x". Not a number: 0;
// beyond Unicode: a value past it (digits stop counting there).
char32_t ReferenceCode(const AnsiString& Digits) {
    bool hex = !Digits.empty() && (Digits[0] == 'x' || Digits[0] == 'X');
    uint32_t value = 0;
    for (std::size_t i = hex ? 1 : 0; i < Digits.size(); ++i) {
        char c = Digits[i];
        int digit = c >= '0' && c <= '9'          ? c - '0'
                    : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                  : -1;
        if (digit < 0) return 0;
        value = value * (hex ? 16 : 10) + uint32_t(digit);
        if (value > 0x10FFFF) return 0x110000;
    }
    return value;
}

void AppendUtf8(char32_t Code, AnsiString& Out) {
    if (Code < 0x80) {
        Out += char(Code);
    } else if (Code < 0x800) {
        Out += char(0xC0 | (Code >> 6));
        Out += char(0x80 | (Code & 0x3F));
    } else if (Code < 0x10000) {
        Out += char(0xE0 | (Code >> 12));
        Out += char(0x80 | ((Code >> 6) & 0x3F));
        Out += char(0x80 | (Code & 0x3F));
    } else {
        Out += char(0xF0 | (Code >> 18));
        Out += char(0x80 | ((Code >> 12) & 0x3F));
        Out += char(0x80 | ((Code >> 6) & 0x3F));
        Out += char(0x80 | (Code & 0x3F));
    }
}

AnsiString CharacterText(char32_t Code, TRVHTMLEncoding Encoding, int CodePage) {
    AnsiString out;
    if (Encoding == rvhtmleUTF8) {
        AppendUtf8(Code, out);
        return out;
    }
    if (Code < 0x80) return AnsiString(1, char(Code));
    std::u16string wide;
    if (Code < 0x10000) {
        wide += char16_t(Code);
    } else {
        wide += char16_t(0xD800 + ((Code - 0x10000) >> 10));
        wide += char16_t(0xDC00 + ((Code - 0x10000) & 0x3FF));
    }
    return RVWideToCodePage(RVResolveCodePage(unsigned(CodePage)), wide);
}

} // namespace

AnsiString DecodeHtmlEntity(const AnsiString& Name, TRVHTMLEncoding Encoding, int CodePage, bool& Known) {
    Known = true;
    // Latin-1 entities are Unicode characters: the code page's byte of the
    // same number would be another letter outside code page 1252.
    if (char32_t code = EntityCode(Name)) return CharacterText(code, Encoding, CodePage);
    if (!Name.empty() && Name[0] == '#') {
        char32_t code = ReferenceCode(Name.substr(1));
        // Not a number, or the character 0.
        if (code == 0) return AnsiString();
        if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
        return CharacterText(code, Encoding, CodePage);
    }
    Known = false;
    return "&" + Name + ";";
}

THtmlParser::THtmlParser(std::string_view AText, TRVHTMLEncoding AEncoding, int ACodePage)
    : Text(AText), Encoding(AEncoding), CodePage(ACodePage) {}

void THtmlParser::Next() {
    Token.clear();
    if (AtEnd()) {
        TokenKind = htkText;
        return;
    }
    if (Text[FPosition] == '<') {
        if (Text.compare(FPosition, 4, "<!--") == 0)
            ReadComment();
        else
            ReadTag();
    } else {
        ReadText();
    }
}

void THtmlParser::ReadComment() {
    // An unterminated comment runs to the end of the text.
    std::size_t close = Text.find("-->", FPosition + 4);
    std::size_t end = close == AnsiString::npos ? Text.size() : close + 3;
    Token = Text.substr(FPosition, end - FPosition);
    Attributes.clear();
    TokenKind = htkComment;
    FPosition = end;
}

void THtmlParser::ReadTag() {
    const std::size_t size = Text.size();
    std::size_t p = FPosition + 1;
    std::size_t nameStart = p;
    // The character after "<" always belongs to the name.
    if (p < size) ++p;
    while (p < size && !IsBlank(Text[p]) && Text[p] != '/' && Text[p] != '>')
        ++p;
    Token = Text.substr(nameStart, p - nameStart);
    Attributes.clear();
    if (p < size && IsBlank(Text[p])) {
        while (p < size && Text[p] != '>') {
            while (p < size && IsBlank(Text[p]))
                ++p;
            if (p >= size || Text[p] == '>') break;
            std::size_t n = p;
            while (p < size && !IsBlank(Text[p]) && Text[p] != '=' && Text[p] != '>')
                ++p;
            AnsiString name = Text.substr(n, p - n);
            while (p < size && IsBlank(Text[p]))
                ++p;
            if (p >= size || Text[p] != '=') {
                if (!name.empty()) Attributes.push_back(name);
                continue;
            }
            ++p;
            while (p < size && IsBlank(Text[p]))
                ++p;
            AnsiString value;
            if (p < size && Text[p] == '"') {
                std::size_t close = Text.find('"', p + 1);
                if (close == AnsiString::npos) close = size;
                value = Text.substr(p + 1, close - p - 1);
                p = close < size ? close + 1 : size;
            } else {
                std::size_t v = p;
                while (p < size && !IsBlank(Text[p]) && Text[p] != '>')
                    ++p;
                value = Text.substr(v, p - v);
            }
            Attributes.push_back(name + "=" + value);
            if (p < size && Text[p] == ' ') ++p;
        }
    }
    if (p < size && Text[p] == '/') ++p;
    if (p < size && Text[p] == '>') ++p;
    TokenKind = htkTag;
    FPosition = p;
}

void THtmlParser::ReadText() {
    const std::size_t size = Text.size();
    std::size_t end = FPosition;
    while (end < size && Text[end] != '<' && Text[end] != '\n')
        ++end;
    if (end < size && Text[end] == '\n') {
        ++end;
        ++Line;
    }
    const std::string_view raw(Text.data() + FPosition, end - FPosition);
    FPosition = end;

    AnsiString out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size();) {
        char c = raw[i];
        if (CollapseSpaces && IsBlank(c)) {
            while (i < raw.size() && IsBlank(raw[i]))
                ++i;
            out += ' ';
        } else if (c == '&') {
            std::size_t semi = raw.find(';', i + 1);
            std::size_t nameEnd = semi == std::string_view::npos ? raw.size() : semi;
            bool known = true;
            out +=
                DecodeHtmlEntity(AnsiString(raw.substr(i + 1, nameEnd - i - 1)), Encoding, CodePage, known);
            if (!known) ++UnknownEntities;
            i = semi == std::string_view::npos ? raw.size() : semi + 1;
        } else {
            out += c;
            ++i;
        }
    }
    if (!out.empty() && !raw.empty() && IsBlank(raw[0]) && LastWasSpace && CollapseSpaces) out.erase(0, 1);
    if (!out.empty()) LastWasSpace = out.back() == ' ';
    if (!CollapseSpaces)
        for (std::size_t at = out.find("\r\n"); at != AnsiString::npos; at = out.find("\r\n", at))
            out.erase(at + 1, 1);
    Token = std::move(out);
    TokenKind = htkText;
}
