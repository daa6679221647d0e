// Item text in its two forms (8-bit in a code page, or raw UTF-16 bytes):
// counting and copying characters, conversions, code pages and languages
// of font charsets, measuring on a canvas, the text shown for a style, and
// the Unicode line-breaking rule.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/canvas/Graphics.h"
#include "platform/rtl/SysUtils.h"

// Item option bits; ioUnicodeText says the item's string is raw UTF-16
// (two bytes a character, little-endian).
using TRVItemOptions = uint8_t;
enum TRVItemOption : uint8_t {
    ioContinuesParagraph = 1,
    ioPageBreakBefore = 2,
    ioLineBreakBefore = 4,
    ioUnicodeText = 8,
};

// Every supported platform measures and upper-cases wide text.
inline constexpr bool RVIsNTPlatform = true;

// Special characters that are marked when a document shows them.
using TRVSpecialCharacters = unsigned;
enum TRVSpecialCharacter : unsigned {
    sscSpace = 1,
    sscNonBreakingSpace = 2,
    sscParagraphMark = 4,
    sscSoftHyphen = 8,
};
extern TRVSpecialCharacters ShownSpecialCharacters;

// ---- item text; positions are 1-based characters
int ItemTextLength(const AnsiString& Text, TRVItemOptions Options);
AnsiString ItemTextCopy(const AnsiString& Text, int From, int Count, TRVItemOptions Options);
bool IsSpaceCharAt(const AnsiString& Text, int Index, TRVItemOptions Options);
void DeleteCharsAt(AnsiString& Text, int Index, int Count, TRVItemOptions Options);
void InsertCharsAt(const AnsiString& Piece, AnsiString& Text, int Index, TRVItemOptions Options);

// ---- conversions; they never fail, except that raw UTF-16 of odd length
// raises the family's Unicode error
AnsiString AnsiToRawUnicode(unsigned CodePage, const AnsiString& Ansi);
AnsiString RawUnicodeToAnsi(unsigned CodePage, const AnsiString& Raw);
std::string AnsiToUtf8(unsigned CodePage, const AnsiString& Ansi);
WideString RawUnicodeToWide(const AnsiString& Raw);
AnsiString WideToRawUnicode(std::u16string_view Wide);
// Swaps the two bytes of Count code units in place.
void SwapByteOrder(void* Buffer, int Count);
// Steps past a leading byte order mark (Count is in code units); a swapped
// mark also swaps the rest of the text.
void SkipUnicodeByteOrderMark(uint8_t*& Buffer, int& Count);
const char16_t* FindWideChar(const char16_t* Buffer, char16_t Ch, int Count);
bool CanConvertUnicodeToCodePage(unsigned CodePage, const AnsiString& Raw);
AnsiString KeyboardAnsiToRawUnicode(const AnsiString& Ansi);

// ---- code pages and languages
unsigned CharsetToCodePage(int Charset);
int CharsetToLanguage(int Charset);
int MakeLangId(int PrimaryLanguage, int SubLanguage);
int MakeLocaleId(int LanguageId, int SortId);
int LanguageToLocale(int PrimaryLanguage);
// The keyboard's code page and language: the program's (1251, Russian).
unsigned GetKeyboardCodePage();
int GetKeyboardLanguage();

// ---- the one road from item text to the canvas
// The characters of item text as UTF-16, one unit per character so that
// offsets stay those of the item: raw UTF-16 when Options has ioUnicodeText
// (whatever the text style says), else 8-bit text in CodePage (the code page
// of the item's text style). Appends to Out.
void RVItemTextToWide(const AnsiString& Text, TRVItemOptions Options, unsigned CodePage, WideString& Out);
WideString RVItemTextToWide(const AnsiString& Text, TRVItemOptions Options, unsigned CodePage);

// ---- measuring on a canvas, always through its UTF-16 calls; zero-width
// characters measure 0
bool IsZeroWidthChar(char16_t Ch);
int GetTextWidthW(TCanvas& Canvas, std::u16string_view Text);
// Advances of every unit of Text into Advances (Text.size() values), zero
// for zero-width characters; answers their sum.
int GetTextAdvancesW(TCanvas& Canvas, std::u16string_view Text, int* Advances);
int GetItemTextWidth(const AnsiString& Text, TCanvas& Canvas, TRVItemOptions Options, unsigned CodePage);
// How many characters fit into MaxWidth; Positions (may be nil, else one
// per character) receive the right edges of the characters that fit.
void GetTextExtentEx(TCanvas& Canvas, const AnsiString& Text, int MaxWidth, int& Fit, int* Positions,
                     TRVItemOptions Options, unsigned CodePage);
// Caret x positions before each character and after the last (Length + 1
// values); false when the measured width is not within 1 pixel of
// ExpectedWidth.
bool GetTextCaretPositions(TCanvas& Canvas, const AnsiString& Text, int* Positions, TRVItemOptions Options,
                           unsigned CodePage, int ExpectedWidth);
bool GetBiDiCharRange(TCanvas& Canvas, const AnsiString& Text, int Index, int Count, TRVItemOptions Options,
                      unsigned CodePage, int ExpectedWidth, int& Left, int& Right);
// Draws only characters First..Last at their display positions; text is not
// shaped for right-to-left here, so it draws nothing and answers false.
bool DrawBiDiTextPart(int X, int Y, int ExpectedWidth, int Height, const AnsiString& Text, TCanvas& Canvas,
                      int First, int Last, TRVItemOptions Options);

// ---- display text and line breaking
// The text drawn for an item (already UTF-16, one unit per character) of a
// style that shows all capitals or not: soft hyphens become zero-width
// spaces (or the shown mark), except one that ends a line.
WideString AdjustTextForDisplay(std::u16string_view Text, bool AllCaps, bool EndsLine,
                                bool ShowSpecialCharacters, bool StripZeroWidth);
// Upper case of one unit, as display text takes it.
char16_t RVUpperCase(char16_t Ch);

enum TRVLineBreakClass : uint8_t {
    rvlbOP,
    rvlbCL,
    rvlbQU,
    rvlbGL,
    rvlbNS,
    rvlbEX,
    rvlbSY,
    rvlbIS,
    rvlbPR,
    rvlbPO,
    rvlbNU,
    rvlbAL,
    rvlbID,
    rvlbIN,
    rvlbHY,
    rvlbBA,
    rvlbBB,
    rvlbB2,
    rvlbZW,
    rvlbCM,
};
// The line-breaking class of a code unit, folded to the twenty classes.
TRVLineBreakClass LineBreakClass(char16_t Ch);
// 0: a break is allowed, 1: only with a space between, 2: no break.
int LineBreakPair(TRVLineBreakClass Before, TRVLineBreakClass After);
// Where a line of Unicode text may end when Text[Index] no longer fits: the
// index of the last code unit that stays on the line, or -1 for none.
int CanBreakBetween(std::u16string_view Text, int Index, bool SkipSpaceAtIndex);
