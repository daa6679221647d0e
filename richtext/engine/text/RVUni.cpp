// Item text operations, conversions through the code-page service, charset
// tables, measuring, display text and the line-breaking rule; the classes
// of characters come from ICU's Unicode data.
#include "richtext/engine/text/RVUni.h"

#include <algorithm>
#include <cstring>
#include <unicode/uchar.h>
#include <vector>

#include "richtext/engine/text/RVCodePages.h"
#include "richtext/engine/text/RVErrors.h"

TRVSpecialCharacters ShownSpecialCharacters =
    sscSpace | sscNonBreakingSpace | sscParagraphMark | sscSoftHyphen;

namespace {

bool IsUnicode(TRVItemOptions Options) {
    return Options & ioUnicodeText;
}

void CheckRawLength(const AnsiString& Raw) {
    if (Raw.size() % 2 != 0) RaiseUnicodeError();
}

// The bytes of a 1-based character range of Text, clipped to the text.
std::pair<std::size_t, std::size_t> ByteRange(const AnsiString& Text, int Index, int Count, bool Unicode) {
    std::size_t unit = Unicode ? 2 : 1;
    if (Index < 1) {
        Count += Index - 1;
        Index = 1;
    }
    if (Count <= 0) return {0, 0};
    std::size_t start = std::size_t(Index - 1) * unit;
    if (start >= Text.size()) return {Text.size(), 0};
    std::size_t length = std::min(std::size_t(Count) * unit, Text.size() - start);
    return {start, length};
}

char16_t UnitAt(const AnsiString& Raw, std::size_t Index) {
    return char16_t(uint8_t(Raw[2 * Index]) | uint8_t(Raw[2 * Index + 1]) << 8);
}

const uint8_t kPairs[20][20] = {
    {2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 1}, // OP
    {0, 2, 1, 1, 2, 2, 2, 2, 0, 1, 0, 0, 0, 0, 1, 1, 0, 0, 2, 1}, // CL
    {2, 2, 1, 1, 1, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 1}, // QU
    {1, 2, 1, 1, 1, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 1}, // GL
    {0, 2, 1, 1, 1, 2, 2, 2, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 2, 1}, // NS
    {0, 2, 1, 1, 1, 2, 2, 2, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 2, 1}, // EX
    {0, 2, 1, 1, 1, 2, 2, 2, 0, 0, 1, 0, 0, 0, 1, 1, 0, 0, 2, 1}, // SY
    {0, 2, 1, 1, 1, 2, 2, 2, 0, 0, 1, 0, 0, 0, 1, 1, 0, 0, 2, 1}, // IS
    {1, 2, 1, 1, 1, 2, 2, 2, 0, 0, 1, 1, 1, 0, 1, 1, 0, 0, 2, 1}, // PR
    {0, 2, 1, 1, 1, 2, 2, 2, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 2, 1}, // PO
    {0, 2, 1, 1, 1, 2, 2, 2, 0, 1, 1, 1, 0, 1, 1, 1, 0, 0, 2, 1}, // NU
    {0, 2, 1, 1, 1, 2, 2, 2, 0, 0, 1, 1, 0, 1, 1, 1, 0, 0, 2, 1}, // AL
    {0, 2, 1, 1, 1, 2, 2, 2, 0, 1, 0, 0, 0, 1, 1, 1, 0, 0, 2, 1}, // ID
    {0, 2, 1, 1, 1, 2, 2, 2, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 2, 1}, // IN
    {0, 2, 1, 1, 1, 2, 2, 2, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 2, 1}, // HY
    {0, 2, 1, 1, 1, 2, 2, 2, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 2, 1}, // BA
    {1, 2, 1, 1, 1, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 1}, // BB
    {0, 2, 1, 1, 1, 2, 2, 2, 0, 0, 0, 0, 0, 0, 1, 1, 0, 2, 2, 1}, // B2
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1}, // ZW
    {0, 2, 1, 1, 1, 2, 2, 2, 0, 0, 1, 1, 0, 1, 1, 1, 0, 0, 2, 1}, // CM
};

// Right edges of the characters of Text drawn one after the other.
std::vector<int> RightEdges(TCanvas& Canvas, std::u16string_view Text) {
    std::vector<int> right(Text.size());
    GetTextAdvancesW(Canvas, Text, right.data());
    int x = 0;
    for (int& r : right)
        r = x += r;
    return right;
}

} // namespace

// ---------------------------------------------------------------- item text

int ItemTextLength(const AnsiString& Text, TRVItemOptions Options) {
    return IsUnicode(Options) ? int(Text.size() / 2) : int(Text.size());
}

AnsiString ItemTextCopy(const AnsiString& Text, int From, int Count, TRVItemOptions Options) {
    auto [start, length] = ByteRange(Text, From, Count, IsUnicode(Options));
    return Text.substr(start, length);
}

bool IsSpaceCharAt(const AnsiString& Text, int Index, TRVItemOptions Options) {
    if (Index < 1 || Index > ItemTextLength(Text, Options)) return false;
    if (IsUnicode(Options)) return UnitAt(Text, std::size_t(Index - 1)) == u' ';
    return Text[std::size_t(Index - 1)] == ' ';
}

void DeleteCharsAt(AnsiString& Text, int Index, int Count, TRVItemOptions Options) {
    auto [start, length] = ByteRange(Text, Index, Count, IsUnicode(Options));
    Text.erase(start, length);
}

void InsertCharsAt(const AnsiString& Piece, AnsiString& Text, int Index, TRVItemOptions Options) {
    std::size_t unit = IsUnicode(Options) ? 2 : 1;
    std::size_t at = Index < 1 ? 0 : std::min(std::size_t(Index - 1) * unit, Text.size());
    Text.insert(at, Piece);
}

// ---------------------------------------------------------------- conversions

AnsiString AnsiToRawUnicode(unsigned CodePage, const AnsiString& Ansi) {
    if (Ansi.empty()) return AnsiString();
    return WideToRawUnicode(RVCodePageToWide(CodePage, Ansi));
}

AnsiString RawUnicodeToAnsi(unsigned CodePage, const AnsiString& Raw) {
    if (Raw.empty()) return AnsiString();
    return RVWideToCodePage(CodePage, RawUnicodeToWide(Raw));
}

std::string AnsiToUtf8(unsigned CodePage, const AnsiString& Ansi) {
    if (Ansi.empty()) return std::string();
    return WideToUtf8(RVCodePageToWide(CodePage, Ansi));
}

WideString RawUnicodeToWide(const AnsiString& Raw) {
    CheckRawLength(Raw);
    WideString wide(Raw.size() / 2, u'\0');
    for (std::size_t i = 0; i < wide.size(); ++i)
        wide[i] = UnitAt(Raw, i);
    return wide;
}

AnsiString WideToRawUnicode(std::u16string_view Wide) {
    AnsiString raw(Wide.size() * 2, '\0');
    for (std::size_t i = 0; i < Wide.size(); ++i) {
        raw[2 * i] = char(Wide[i] & 0xFF);
        raw[2 * i + 1] = char(Wide[i] >> 8);
    }
    return raw;
}

void SwapByteOrder(void* Buffer, int Count) {
    auto* bytes = static_cast<uint8_t*>(Buffer);
    for (int i = 0; i < Count; ++i)
        std::swap(bytes[2 * i], bytes[2 * i + 1]);
}

void SkipUnicodeByteOrderMark(uint8_t*& Buffer, int& Count) {
    if (Count <= 0) return;
    unsigned unit = unsigned(Buffer[0]) | unsigned(Buffer[1]) << 8;
    if (unit == 0xFEFF) {
        Buffer += 2;
        --Count;
    } else if (unit == 0xFFFE) {
        Buffer += 2;
        --Count;
        SwapByteOrder(Buffer, Count);
    }
}

const char16_t* FindWideChar(const char16_t* Buffer, char16_t Ch, int Count) {
    for (int i = 0; i < Count; ++i)
        if (Buffer[i] == Ch) return Buffer + i;
    return nullptr;
}

bool CanConvertUnicodeToCodePage(unsigned, const AnsiString&) {
    return false;
}

AnsiString KeyboardAnsiToRawUnicode(const AnsiString& Ansi) {
    return AnsiToRawUnicode(GetKeyboardCodePage(), Ansi);
}

// ---------------------------------------------------------------- code pages

unsigned CharsetToCodePage(int Charset) {
    switch (Charset) {
    case 0:
        return 1252;
    case 77:
        return 2;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 255:
        return 1;
    default:
        return 0;
    }
}

int CharsetToLanguage(int Charset) {
    switch (Charset) {
    case 0:
        return 1033;
    case 128:
        return 1041;
    case 129:
        return 1042;
    case 130:
        return 2066;
    case 134:
        return 2052;
    case 136:
        return 1028;
    case 161:
        return 1032;
    case 162:
        return 1055;
    case 163:
        return 1066;
    case 177:
        return 1037;
    case 204:
        return 1049;
    case 222:
        return 1054;
    case 1:
    case 178:
    case 186:
    case 238:
        return 0;
    default:
        return 1024;
    }
}

int MakeLangId(int PrimaryLanguage, int SubLanguage) {
    return (SubLanguage << 10) | PrimaryLanguage;
}

int MakeLocaleId(int LanguageId, int SortId) {
    return (SortId << 16) | (LanguageId & 0xFFFF);
}

int LanguageToLocale(int PrimaryLanguage) {
    return MakeLocaleId(MakeLangId(PrimaryLanguage, 1), 0);
}

unsigned GetKeyboardCodePage() {
    return RVProgramCodePage;
}

int GetKeyboardLanguage() {
    return 0x0419;
}

// ---------------------------------------------------------------- measuring

bool IsZeroWidthChar(char16_t Ch) {
    return Ch == 0x200B || Ch == 0x200D || Ch == 0x2060;
}

int GetTextAdvancesW(TCanvas& Canvas, std::u16string_view Text, int* Advances) {
    if (Text.empty()) return 0;
    Canvas.CharAdvances(Text, Advances);
    int sum = 0;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (IsZeroWidthChar(Text[i])) Advances[i] = 0;
        sum += Advances[i];
    }
    return sum;
}

int GetTextWidthW(TCanvas& Canvas, std::u16string_view Text) {
    constexpr std::size_t Short = 256;
    if (Text.size() <= Short) {
        int advances[Short];
        return GetTextAdvancesW(Canvas, Text, advances);
    }
    std::vector<int> advances(Text.size());
    return GetTextAdvancesW(Canvas, Text, advances.data());
}

void RVItemTextToWide(const AnsiString& Text, TRVItemOptions Options, unsigned CodePage, WideString& Out) {
    if (!IsUnicode(Options)) {
        RVCodePageToWidePerByte(CodePage, Text, Out);
        return;
    }
    CheckRawLength(Text);
    std::size_t at = Out.size();
    Out.resize(at + Text.size() / 2);
    for (std::size_t i = 0; i < Text.size() / 2; ++i)
        Out[at + i] = UnitAt(Text, i);
}

WideString RVItemTextToWide(const AnsiString& Text, TRVItemOptions Options, unsigned CodePage) {
    WideString out;
    RVItemTextToWide(Text, Options, CodePage, out);
    return out;
}

int GetItemTextWidth(const AnsiString& Text, TCanvas& Canvas, TRVItemOptions Options, unsigned CodePage) {
    return GetTextWidthW(Canvas, RVItemTextToWide(Text, Options, CodePage));
}

void GetTextExtentEx(TCanvas& Canvas, const AnsiString& Text, int MaxWidth, int& Fit, int* Positions,
                     TRVItemOptions Options, unsigned CodePage) {
    std::vector<int> right = RightEdges(Canvas, RVItemTextToWide(Text, Options, CodePage));
    Fit = 0;
    while (Fit < int(right.size()) && right[std::size_t(Fit)] <= MaxWidth) {
        if (Positions) Positions[Fit] = right[std::size_t(Fit)];
        ++Fit;
    }
}

bool GetTextCaretPositions(TCanvas& Canvas, const AnsiString& Text, int* Positions, TRVItemOptions Options,
                           unsigned CodePage, int ExpectedWidth) {
    int length = ItemTextLength(Text, Options);
    std::fill(Positions, Positions + length + 1, -1);
    std::vector<int> right = RightEdges(Canvas, RVItemTextToWide(Text, Options, CodePage));
    int width = right.empty() ? 0 : right.back();
    int height = Text.empty() ? 0 : Canvas.TextMetrics().tmHeight;
    if (std::abs(width - ExpectedWidth) > 1 || height < 1) return false;
    // Left to right only: a character's right edge is one past its cell.
    Positions[0] = 0;
    for (int p = 0; p < length; ++p)
        Positions[p + 1] = right[std::size_t(p)] + 1;
    return true;
}

bool GetBiDiCharRange(TCanvas& Canvas, const AnsiString& Text, int Index, int Count, TRVItemOptions Options,
                      unsigned CodePage, int ExpectedWidth, int& Left, int& Right) {
    int length = ItemTextLength(Text, Options);
    if (Index < 1 || Count < 0 || Index + Count - 1 > length) return false;
    std::vector<int> positions(std::size_t(length) + 1);
    if (!GetTextCaretPositions(Canvas, Text, positions.data(), Options, CodePage, ExpectedWidth))
        return false;
    Left = positions[std::size_t(Index - 1)];
    Right = positions[std::size_t(Index + Count - 1)];
    if (Right < Left) std::swap(Left, Right);
    return true;
}

bool DrawBiDiTextPart(int, int, int, int, const AnsiString&, TCanvas&, int, int, TRVItemOptions) {
    return false;
}

// ---------------------------------------------------------------- display text

char16_t RVUpperCase(char16_t Ch) {
    if (Ch < 0x80) return Ch >= u'a' && Ch <= u'z' ? char16_t(Ch - 32) : Ch;
    if (Ch >= 0xD800 && Ch <= 0xDFFF) return Ch;
    UChar32 upper = u_toupper(Ch);
    return upper <= 0xFFFF ? char16_t(upper) : Ch;
}

WideString AdjustTextForDisplay(std::u16string_view Text, bool AllCaps, bool EndsLine,
                                bool ShowSpecialCharacters, bool StripZeroWidth) {
    WideString wide(Text);
    if (AllCaps)
        for (char16_t& c : wide)
            c = RVUpperCase(c);
    bool showHyphens = ShowSpecialCharacters && (ShownSpecialCharacters & sscSoftHyphen);
    std::size_t last = wide.size();
    // A soft hyphen that ends a line is drawn as a hyphen.
    if (EndsLine && !showHyphens && last > 0) --last;
    for (std::size_t i = 0; i < last; ++i)
        if (wide[i] == 0x00AD) wide[i] = showHyphens ? char16_t(0x00AC) : char16_t(0x200B);
    if (StripZeroWidth) std::erase_if(wide, IsZeroWidthChar);
    return wide;
}

// ---------------------------------------------------------------- line breaking

TRVLineBreakClass LineBreakClass(char16_t Ch) {
    // Classes of today's Unicode data folded to the twenty the pair table
    // knows: later splits go back to the class they came from.
    switch (u_getIntPropertyValue(UChar32(Ch), UCHAR_LINE_BREAK)) {
    case U_LB_OPEN_PUNCTUATION:
        return rvlbOP;
    case U_LB_CLOSE_PUNCTUATION:
    case U_LB_CLOSE_PARENTHESIS:
        return rvlbCL;
    case U_LB_QUOTATION:
        return rvlbQU;
    case U_LB_GLUE:
    case U_LB_WORD_JOINER:
        return rvlbGL;
    case U_LB_NONSTARTER:
    case U_LB_CONDITIONAL_JAPANESE_STARTER:
        return rvlbNS;
    case U_LB_EXCLAMATION:
        return rvlbEX;
    case U_LB_BREAK_SYMBOLS:
        return rvlbSY;
    case U_LB_INFIX_NUMERIC:
        return rvlbIS;
    case U_LB_PREFIX_NUMERIC:
        return rvlbPR;
    case U_LB_POSTFIX_NUMERIC:
        return rvlbPO;
    case U_LB_NUMERIC:
        return rvlbNU;
    case U_LB_IDEOGRAPHIC:
    case U_LB_H2:
    case U_LB_H3:
    case U_LB_JL:
    case U_LB_JV:
    case U_LB_JT:
    case U_LB_E_BASE:
    case U_LB_E_MODIFIER:
        return rvlbID;
    case U_LB_INSEPARABLE:
        return rvlbIN;
    case U_LB_HYPHEN:
        return rvlbHY;
    case U_LB_BREAK_AFTER:
        return rvlbBA;
    case U_LB_BREAK_BEFORE:
        return rvlbBB;
    case U_LB_BREAK_BOTH:
        return rvlbB2;
    case U_LB_ZWSPACE:
        return rvlbZW;
    case U_LB_COMBINING_MARK:
    case U_LB_ZWJ:
    case U_LB_NEXT_LINE:
        return rvlbCM;
    default:
        return rvlbAL; // spaces, line ends, ambiguous, complex and unknown
    }
}

int LineBreakPair(TRVLineBreakClass Before, TRVLineBreakClass After) {
    return kPairs[Before][After];
}

int CanBreakBetween(std::u16string_view Text, int Index, bool SkipSpaceAtIndex) {
    if (Index < 0 || Index >= int(Text.size())) return -1;
    auto at = [&](int i) { return Text[std::size_t(i)]; };
    if (at(Index) == u' ' && SkipSpaceAtIndex) {
        --Index;
        if (Index <= 0) return -1;
    }
    TRVLineBreakClass after = LineBreakClass(at(Index));
    for (int i = Index - 1; i >= 0; --i) {
        if (at(i) == u' ') continue;
        TRVLineBreakClass before = LineBreakClass(at(i));
        int v = kPairs[before][after];
        if (v == 1 && at(i + 1) != u' ') v = 2;
        if (v < 2) {
            while (i + 1 < Index && at(i + 1) == u' ')
                ++i;
            return i;
        }
        after = before;
    }
    return -1;
}
