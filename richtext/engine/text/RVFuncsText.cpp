// HTML and RTF escaping, HTML attributes and colours, URLs, list numbering,
// tags and the stream output routines. Every escape is one forward pass.
#include <algorithm>
#include <array>
#include <cstring>
#include <unicode/uchar.h>

#include "richtext/engine/text/RVCodePages.h"
#include "richtext/engine/text/RVErrors.h"
#include "richtext/engine/text/RVFuncs.h"
#include "richtext/engine/text/RVUni.h"

std::function<bool(const AnsiString& Text)> RVIsURLHook;

namespace {

// Entries of the Symbol font bytes 161..254 (32..126 are mostly the
// characters themselves, 127..160 write nothing).
const std::array<const char*, 94> kSymbolHigh = {
    "#978",  "prime",  "le",     "frasl", "infin", "fnof",   "clubs", "diams", "hearts", "spades",  "harr",
    "larr",  "uarr",   "rarr",   "darr",  "\xB0",  "plusmn", "Prime", "ge",    "times",  "prop",    "part",
    "#8226", "divide", "ne",     "equiv", "asymp", "hellip", "|",     "-",     "crarr",  "alefsym", "image",
    "real",  "weierp", "otimes", "oplus", "empty", "cap",    "cup",   "sup",   "supe",   "nsub",    "sub",
    "sube",  "isin",   "notin",  "ang",   "nabla", "reg",    "copy",  "trade", "prod",   "radic",   "sdot",
    "not",   "and",    "or",     "hArr",  "lArr",  "uArr",   "rArr",  "dArr",  "loz",    "lang",    "reg",
    "copy",  "trade",  "sum",    "/",     "|",     "\\",     "/",     "|",     "\\",     "/",       "{",
    "\\",    "|",      "euro",   "rang",  "int",   "#8992",  "|",     "#8993", "\\",     "|",       "/",
    "\\",    "|",      "/",      "\\",    "}",     "/"};

const std::array<const char*, 26> kSymbolUpper = {
    "Alpha", "Beta",  "Chi",     "Delta",  "Epsilon", "Phi",     "Gamma", "Eta",   "Iota",
    "#977",  "Kappa", "Lambda",  "Mu",     "Nu",      "Omicron", "Pi",    "Theta", "Rho",
    "Sigma", "Tau",   "Upsilon", "sigmaf", "Omega",   "Xi",      "Psi",   "Zeta"};

const std::array<const char*, 26> kSymbolLower = {
    "alpha", "beta",  "chi",     "delta", "epsilon", "#981",    "gamma", "eta",   "iota",
    "phi",   "kappa", "lambda",  "mu",    "nu",      "omicron", "pi",    "theta", "rho",
    "sigma", "tau",   "upsilon", "#982",  "omega",   "xi",      "psi",   "zeta"};

// The entry of one Symbol-font byte; empty writes nothing.
std::string SymbolEntry(unsigned B) {
    switch (B) {
    case 34:
        return "forall";
    case 36:
        return "exist";
    case 39:
        return "?";
    case 64:
        return "cong";
    case 92:
        return "there4";
    case 94:
        return "perp";
    case 96:
        return "-";
    default:
        break;
    }
    if (B >= 65 && B <= 90) return kSymbolUpper[B - 65];
    if (B >= 97 && B <= 122) return kSymbolLower[B - 97];
    if (B >= 127 && B <= 160) return std::string();
    if (B >= 161 && B <= 254) return kSymbolHigh[B - 161];
    return std::string(1, char(B));
}

void AppendSymbol(AnsiString& Out, unsigned B) {
    if (B < 32 || B > 254) return;
    std::string entry = SymbolEntry(B);
    if (entry.size() > 1)
        Out += "&" + entry + ";";
    else
        Out += entry;
}

const char kHex[] = "0123456789abcdef";

int HexValue(char C) {
    if (C >= '0' && C <= '9') return C - '0';
    if (C >= 'a' && C <= 'f') return C - 'a' + 10;
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    return -1;
}

// A "\" before every "\", "{" and "}".
AnsiString EscapeRtfSpecials(const AnsiString& Text) {
    AnsiString out;
    out.reserve(Text.size() + 8);
    for (char c : Text) {
        if (c == '\\' || c == '{' || c == '}') out += '\\';
        out += c;
    }
    return out;
}

// Runs of spaces as the repeated "two spaces become '&nbsp; '" rule leaves
// them: pairs give "&nbsp; ", and an odd run ends in "&nbsp;&nbsp; ".
void AppendSpaceRun(AnsiString& Out, std::size_t N) {
    if (N == 1) {
        Out += ' ';
        return;
    }
    std::size_t pairs = N / 2 - (N % 2);
    for (std::size_t i = 0; i < pairs; ++i)
        Out += "&nbsp; ";
    if (N % 2) Out += "&nbsp;&nbsp; ";
}

} // namespace

// ---------------------------------------------------------------- HTML

AnsiString HtmlEscapeAnsi(const AnsiString& Text, bool IsHtmlCode) {
    if (IsHtmlCode) return Text;
    AnsiString out;
    out.reserve(Text.size() + Text.size() / 8);
    for (std::size_t i = 0; i < Text.size();) {
        char c = Text[i];
        if (c == ' ') {
            std::size_t n = 0;
            while (i < Text.size() && Text[i] == ' ')
                ++n, ++i;
            AppendSpaceRun(out, n);
            continue;
        }
        if (c == '&')
            out += "&amp;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '<')
            out += "&lt;";
        else
            out += c;
        ++i;
    }
    return out;
}

AnsiString HtmlEscapeUnicode(const AnsiString& Raw, bool IsHtmlCode) {
    WideString text = RawUnicodeToWide(Raw);
    AnsiString out;
    out.reserve(text.size() + 8);
    bool prevSpace = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c < 128) {
            if (IsHtmlCode) {
                out += char(c);
                prevSpace = false;
            } else if (c == u'&')
                out += "&amp;", prevSpace = false;
            else if (c == u'<')
                out += "&lt;", prevSpace = false;
            else if (c == u'>')
                out += "&gt;", prevSpace = false;
            else if (c == u' ') {
                if (i + 1 == text.size() || prevSpace) {
                    out += "&nbsp;";
                    prevSpace = false;
                } else {
                    out += ' ';
                    prevSpace = true;
                }
            } else {
                out += char(c);
                prevSpace = false;
            }
        } else if (c == 0x00A0) {
            out += "&nbsp;";
        } else {
            // A surrogate pair is one character and one reference.
            uint32_t cp = c;
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                text[i + 1] <= 0xDFFF) {
                cp = 0x10000 + ((uint32_t(c) - 0xD800) << 10) + (uint32_t(text[i + 1]) - 0xDC00);
                ++i;
            }
            out += "&#" + IntToStr(cp) + ";";
            prevSpace = false;
        }
    }
    return out;
}

std::string HtmlEscapeUnicodeUtf8(const AnsiString& Raw, bool IsHtmlCode) {
    WideString text = RawUnicodeToWide(Raw);
    if (IsHtmlCode) return WideToUtf8(text);
    std::string out;
    out.reserve(text.size() + 8);
    WideString run;
    auto flush = [&] {
        out += WideToUtf8(run);
        run.clear();
    };
    bool prevSpace = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        const char* entity = nullptr;
        switch (c) {
        case u'&':
            entity = "&amp;";
            break;
        case u'<':
            entity = "&lt;";
            break;
        case u'>':
            entity = "&gt;";
            break;
        case 0x00A0:
            entity = "&nbsp;";
            break;
        case u' ':
            if (i + 1 == text.size() || prevSpace) entity = "&nbsp;";
            break;
        default:
            break;
        }
        if (entity) {
            flush();
            out += entity;
            prevSpace = false;
        } else {
            run += c;
            prevSpace = c == u' ';
        }
    }
    flush();
    return out;
}

AnsiString SymbolTextToHtml(const AnsiString& Text) {
    AnsiString out;
    for (unsigned char c : Text)
        AppendSymbol(out, c);
    return out;
}

AnsiString SymbolTextToHtmlW(const AnsiString& Raw) {
    WideString text = RawUnicodeToWide(Raw);
    AnsiString out;
    for (char16_t c : text) {
        unsigned v = c;
        if (v > 0xEFFF) v -= 0xF000;
        AppendSymbol(out, v);
    }
    return out;
}

AnsiString ColorToHtml(TColor Color, bool Quoted) {
    if (Color == clNone) return AnsiString();
    TColor rgb = Color == clWindowText ? clBlack : ColorToRGB(Color);
    AnsiString out = "#";
    for (int v : {GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)}) {
        out += kHex[v >> 4];
        out += kHex[v & 15];
    }
    return Quoted ? "\"" + out + "\"" : out;
}

AnsiString ColorToHtmlOrTransparent(TColor Color) {
    return Color == clNone ? AnsiString("transparent") : ColorToHtml(Color, false);
}

AnsiString HtmlTagCloser(TRVHtmlSaveOptions Options) {
    return (Options & rvhsXHTML) ? " /" : "";
}

AnsiString HtmlIntAttribute(int Value, TRVHtmlSaveOptions Options) {
    AnsiString v = IntToStr(Value);
    return (Options & rvhsXHTML) ? "\"" + v + "\"" : v;
}

AnsiString HtmlQuoteAttribute(const AnsiString& Value, TRVHtmlSaveOptions Options) {
    if (!(Options & rvhsXHTML)) return Value;
    if (Value.size() >= 2 && Value.front() == '"' && Value.back() == '"') return Value;
    return "\"" + Value + "\"";
}

AnsiString HtmlBoolAttribute(const AnsiString& Name, TRVHtmlSaveOptions Options) {
    return (Options & rvhsXHTML) ? Name + "=\"" + Name + "\"" : Name;
}

AnsiString FileNameToHtmlPath(const AnsiString& FileName, TRVHtmlSaveOptions Options, unsigned CodePage) {
    AnsiString path = FileName;
    std::replace(path.begin(), path.end(), '\\', '/');
    return (Options & rvhsUTF8) ? AnsiToUtf8(CodePage, path) : path;
}

AnsiString CharsetToHtmlName(int Charset) {
    switch (Charset) {
    case 0:
        return "Windows-1252";
    case 128:
        return "shift_jis";
    case 129:
        return "EUC-KR";
    case 130:
        return "CP1361";
    case 134:
        return "gb2312";
    case 136:
        return "big5";
    case 161:
        return "Windows-1253";
    case 162:
        return "Windows-1254";
    case 163:
        return "Windows-1258";
    case 177:
        return "Windows-1255";
    case 178:
        return "Windows-1256";
    case 186:
        return "Windows-1257";
    case 204:
        return "Windows-1251";
    case 222:
        return "Windows-874";
    case 238:
        return "Windows-1250";
    case 255:
        return "ascii";
    default:
        return AnsiString();
    }
}

AnsiString MarkerFontCss(const TFont& Font, bool WithFamily) {
    AnsiString css;
    if (Font.Style() & fsBold) AppendWithSpace(css, "font-weight: bold;");
    if (Font.Style() & fsItalic) AppendWithSpace(css, "font-style: italic;");
    if (Font.Size() >= 1)
        AppendWithSpace(css, Format("font-size: %dpt;", {Font.Size()}));
    else
        AppendWithSpace(css, Format("font-size: %dpx;", {Font.Height()}));
    if (WithFamily) {
        AnsiString family = SameText(Font.Name(), "Symbol") || SameText(Font.Name(), "Wingdings")
                                ? AnsiString("'Arial Unicode MS', 'Lucida Sans Unicode', 'Arial'")
                                : "'" + Font.Name() + "'";
        AppendWithSpace(css, "font-family: " + family + ";");
    }
    AnsiString decoration;
    if (Font.Style() & fsUnderline) AppendWithSpace(decoration, "underline");
    if (Font.Style() & fsStrikeOut) AppendWithSpace(decoration, "line-through");
    if (!decoration.empty()) css += " text-decoration: " + decoration + ";";
    css += " color: " + ColorToHtml(Font.Color()) + ";";
    return css;
}

int HtmlFontSize(int Size) {
    if (Size <= 8) return 1;
    if (Size <= 10) return 2;
    if (Size <= 12) return 3;
    if (Size <= 14) return 4;
    if (Size <= 18) return 5;
    if (Size <= 24) return 6;
    return 7;
}

AnsiString HintAttribute(int Kind, const AnsiString& Hint) {
    if (Hint.empty()) return AnsiString();
    AnsiString hint = Hint;
    std::replace(hint.begin(), hint.end(), '"', '\'');
    if (Kind == 1) return "title=\"" + hint + "\"";
    if (Kind == 2) return "\\o \"" + RtfSafeName(hint) + "\"";
    return Hint;
}

// ---------------------------------------------------------------- RTF

void RtfEscapeControlChars(AnsiString& Text, bool SpecialSymbols) {
    AnsiString out;
    out.reserve(Text.size() + 8);
    for (unsigned char c : Text) {
        if (c >= 32 && c <= 127) {
            out += char(c);
        } else if (SpecialSymbols && c == 0x95) {
            out += "\\bullet ";
        } else if (SpecialSymbols && c == 0xA0) {
            out += "\\~";
        } else {
            out += "\\'";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    Text.swap(out);
}

AnsiString RtfEscapeAnsi(const AnsiString& Text, bool IsRtfCode, bool SpecialSymbols) {
    AnsiString out = IsRtfCode ? Text : EscapeRtfSpecials(Text);
    RtfEscapeControlChars(out, SpecialSymbols);
    return out;
}

AnsiString RtfEscapeFieldInstruction(const AnsiString& Text) {
    AnsiString doubled;
    doubled.reserve(Text.size() + 4);
    for (char c : Text) {
        if (c == '\\') doubled += '\\';
        doubled += c;
    }
    AnsiString out = EscapeRtfSpecials(doubled);
    RtfEscapeControlChars(out, false);
    return out;
}

AnsiString RtfSafeName(const AnsiString& Text) {
    AnsiString out = Text;
    for (char& c : out)
        if (c == '\\' || c == '{' || c == '}') c = '_';
    RtfEscapeControlChars(out, false);
    return out;
}

AnsiString RtfBookmarkName(const AnsiString& Text) {
    AnsiString out = Text;
    for (char& c : out)
        if (!u_isalnum(UChar32(Cp1251ToUnicode(uint8_t(c))))) c = '_';
    RtfEscapeControlChars(out, false);
    return out;
}

void WriteRtfUnicodeText(TStream& Stream, const AnsiString& Raw, unsigned CodePage, bool DuplicateAnsi,
                         bool IsRtfCode) {
    WideString text = RawUnicodeToWide(Raw);
    AnsiString out;
    out.reserve(text.size() * 2);
    for (char16_t c : text) {
        if (c >= 1 && c <= 127) {
            out += RtfEscapeAnsi(AnsiString(1, char(c)), IsRtfCode, true);
            continue;
        }
        if (!IsRtfCode) {
            const char* word = nullptr;
            switch (c) {
            case 0x0095:
                word = "\\bullet ";
                break;
            case 0x00A0:
                word = "\\~";
                break;
            case 0x00AD:
                word = "\\-";
                break;
            case 0x2002:
                word = "\\enspace ";
                break;
            case 0x2003:
                word = "\\emspace ";
                break;
            case 0x2005:
                word = "\\qmspace ";
                break;
            case 0x2013:
                word = "\\endash ";
                break;
            case 0x2014:
                word = "\\emdash ";
                break;
            case 0x2018:
                word = "\\lquote ";
                break;
            case 0x2019:
                word = "\\rquote ";
                break;
            case 0x201C:
                word = "\\ldblquote ";
                break;
            case 0x201D:
                word = "\\rdblquote ";
                break;
            default:
                break;
            }
            if (word) {
                out += word;
                continue;
            }
        }
        AnsiString ansi;
        if (DuplicateAnsi) {
            ansi = RVWideToCodePage(CodePage, std::u16string_view(&c, 1));
            if (ansi.size() != 1) out += "\\uc" + IntToStr(int64_t(ansi.size()));
        }
        out += "\\u" + IntToStr(int16_t(c)) + " ";
        if (DuplicateAnsi) {
            // Bytes of a multi-byte character are never symbols of their own.
            out += RtfEscapeAnsi(ansi, false, ansi.size() == 1);
            if (ansi.size() != 1) out += "\\uc1 ";
        }
    }
    WriteText(Stream, out);
}

// ---------------------------------------------------------------- URLs, numbering, strings

AnsiString DecodeUrlEscapes(const AnsiString& Text, bool DecodeLineBreaks) {
    AnsiString out;
    out.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '%' && i + 2 < Text.size()) {
            int hi = HexValue(Text[i + 1]), lo = HexValue(Text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                int v = hi * 16 + lo;
                if (DecodeLineBreaks || (v != 0x0A && v != 0x0D)) {
                    out += char(v);
                    i += 2;
                    continue;
                }
            }
        }
        out += Text[i];
    }
    return out;
}

bool RVIsURL(const AnsiString& Text) {
    if (RVIsURLHook && RVIsURLHook(Text)) return true;
    static const char* const prefixes[] = {
        "http://", "ftp://",  "file://", "gopher://", "mailto:", "https://",
        "news:",   "telnet:", "wais:",   "www.",      "ftp."};
    AnsiString lower = AnsiLowerCase(Text);
    for (const char* prefix : prefixes) {
        std::size_t n = std::strlen(prefix);
        if (lower.size() > n && lower.compare(0, n, prefix) == 0) return true;
    }
    return false;
}

bool RVIsEmailAddress(const AnsiString& Text) {
    std::size_t at = Text.find('@');
    if (at == AnsiString::npos) return false;
    std::size_t dot = Text.rfind('.');
    return dot != AnsiString::npos && dot > at;
}

AnsiString IntToRoman(int Value) {
    if (Value <= 0) return "?";
    if (Value > RVMaxRomanCounter) return IntToStr(Value);
    static const std::pair<int, const char*> table[] = {
        {1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"}, {100, "C"}, {90, "XC"}, {50, "L"},
        {40, "XL"},  {10, "X"},   {9, "IX"},  {5, "V"},    {4, "IV"},  {1, "I"}};
    AnsiString out;
    for (auto [n, text] : table)
        while (Value >= n) {
            out += text;
            Value -= n;
        }
    return out;
}

AnsiString IntToLetters(int Value) {
    if (Value <= 0) return AnsiString();
    if (Value > RVMaxLetterCounter) return IntToStr(Value);
    AnsiString out;
    while (Value > 0) {
        --Value;
        out.insert(out.begin(), char('A' + Value % 26));
        Value /= 26;
    }
    return out;
}

AnsiString ExpandTabs(const AnsiString& Text, int SpaceCount) {
    AnsiString spaces(std::size_t(std::max(SpaceCount, 0)), ' ');
    AnsiString out;
    out.reserve(Text.size());
    for (char c : Text) {
        if (c == '\t')
            out += spaces;
        else
            out += c;
    }
    return out;
}

AnsiString ExpandTabsW(const AnsiString& Raw, int SpaceCount) {
    WideString text = RawUnicodeToWide(Raw);
    WideString spaces(std::size_t(std::max(SpaceCount, 0)), u' ');
    WideString out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (c == u'\t')
            out += spaces;
        else
            out += c;
    }
    return WideToRawUnicode(out);
}

void AppendWithSeparator(AnsiString& Text, const AnsiString& Piece, const AnsiString& Separator) {
    if (Text.empty())
        Text = Piece;
    else if (!Piece.empty())
        Text += Separator + Piece;
}

void AppendWithSpace(AnsiString& Text, const AnsiString& Piece) {
    AppendWithSeparator(Text, Piece, " ");
}

int CharPosInBuffer(const char* Buffer, char Ch, int Count) {
    for (int i = 0; i < Count; ++i)
        if (Buffer[i] == Ch) return i + 1;
    return 0;
}

TRVTag DuplicateTag(const TRVTag& Tag) {
    return Tag;
}

bool TagsAreEqual(const TRVTag& Tag1, const TRVTag& Tag2) {
    auto isEmpty = [](const TRVTag& T) {
        if (auto* n = std::get_if<int32_t>(&T)) return *n == 0;
        return std::get<AnsiString>(T).empty();
    };
    if (Tag1.index() != Tag2.index()) return isEmpty(Tag1) && isEmpty(Tag2);
    return Tag1 == Tag2;
}

// ---------------------------------------------------------------- stream output

void WriteText(TStream& Stream, std::string_view S) {
    Stream.WriteBuffer(S.data(), int64_t(S.size()));
}

void WriteTextLine(TStream& Stream, std::string_view S) {
    WriteText(Stream, S);
    WriteText(Stream, "\r\n");
}

void WriteTextOptLine(TStream& Stream, std::string_view S, bool NewLine) {
    WriteText(Stream, S);
    if (NewLine) WriteText(Stream, "\r\n");
}
