// Helpers shared by the writers and items: HTML and RTF escaping, colours
// and attributes in HTML, URLs, list numbering, tags, stream output, and
// the colour, length and line-pattern helpers of drawing and printing.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <variant>

#include "platform/canvas/Graphics.h"
#include "richtext/engine/text/RVClasses.h"

// HTML save options (a 16-bit set).
using TRVHtmlSaveOptions = uint16_t;
enum TRVHtmlSaveOption : uint16_t {
    rvhsOverwriteImages = 0x0001,
    rvhsHeadOnly = 0x0002,
    rvhsBodyOnly = 0x0004,
    rvhsEndOnly = 0x0008,
    rvhsOmitStyle0 = 0x0010,
    rvhsNoImageBorders = 0x0020,
    rvhsImageSizes = 0x0040,
    rvhsNonTextCSS = 0x0080,
    rvhsCheckpointNames = 0x0100,
    rvhsMarkersAsText = 0x0200,
    rvhsInlineCSS = 0x0400,
    rvhsStyle0Class = 0x0800,
    rvhsItemImageFileNames = 0x1000,
    rvhsXHTML = 0x2000,
    rvhsUTF8 = 0x4000,
};

// ---- HTML text and attributes
AnsiString HtmlEscapeAnsi(const AnsiString& Text, bool IsHtmlCode);
// Raw UTF-16 to HTML: ANSI with numeric references, or UTF-8.
AnsiString HtmlEscapeUnicode(const AnsiString& Raw, bool IsHtmlCode);
std::string HtmlEscapeUnicodeUtf8(const AnsiString& Raw, bool IsHtmlCode);
AnsiString SymbolTextToHtml(const AnsiString& Text);
AnsiString SymbolTextToHtmlW(const AnsiString& Raw);
AnsiString ColorToHtml(TColor Color, bool Quoted = false);
AnsiString ColorToHtmlOrTransparent(TColor Color);
AnsiString HtmlTagCloser(TRVHtmlSaveOptions Options);
AnsiString HtmlIntAttribute(int Value, TRVHtmlSaveOptions Options);
AnsiString HtmlQuoteAttribute(const AnsiString& Value, TRVHtmlSaveOptions Options);
AnsiString HtmlBoolAttribute(const AnsiString& Name, TRVHtmlSaveOptions Options);
AnsiString FileNameToHtmlPath(const AnsiString& FileName, TRVHtmlSaveOptions Options, unsigned CodePage);
AnsiString CharsetToHtmlName(int Charset);
AnsiString MarkerFontCss(const TFont& Font, bool WithFamily);
int HtmlFontSize(int Size);
// Kind 1: an HTML title attribute; kind 2: the screen-tip switch of an RTF
// hyperlink field; other kinds: the hint as it is.
AnsiString HintAttribute(int Kind, const AnsiString& Hint);

// ---- RTF text
void RtfEscapeControlChars(AnsiString& Text, bool SpecialSymbols);
AnsiString RtfEscapeAnsi(const AnsiString& Text, bool IsRtfCode, bool SpecialSymbols);
AnsiString RtfEscapeFieldInstruction(const AnsiString& Text);
AnsiString RtfSafeName(const AnsiString& Text);
AnsiString RtfBookmarkName(const AnsiString& Text);
void WriteRtfUnicodeText(TStream& Stream, const AnsiString& Raw, unsigned CodePage, bool DuplicateAnsi,
                         bool IsRtfCode);

// ---- URLs, numbering, strings
AnsiString DecodeUrlEscapes(const AnsiString& Text, bool DecodeLineBreaks);
extern std::function<bool(const AnsiString& Text)> RVIsURLHook;
bool RVIsURL(const AnsiString& Text);
bool RVIsEmailAddress(const AnsiString& Text);
// Counters above these are written in decimal: longer numerals help no
// reader, and unbounded ones only cost memory.
inline constexpr int RVMaxRomanCounter = 4999;
inline constexpr int RVMaxLetterCounter = 18278; // "ZZZ"
AnsiString IntToRoman(int Value);
AnsiString IntToLetters(int Value);
AnsiString ExpandTabs(const AnsiString& Text, int SpaceCount);
AnsiString ExpandTabsW(const AnsiString& Raw, int SpaceCount);
void AppendWithSeparator(AnsiString& Text, const AnsiString& Piece, const AnsiString& Separator);
void AppendWithSpace(AnsiString& Text, const AnsiString& Piece);
int CharPosInBuffer(const char* Buffer, char Ch, int Count);

// An item's user value: an integer or a text, chosen per item.
using TRVTag = std::variant<int32_t, AnsiString>;
TRVTag DuplicateTag(const TRVTag& Tag);
// Integers by value, texts case-sensitively; 0 and an empty text both mean
// "no tag" and are equal.
bool TagsAreEqual(const TRVTag& Tag1, const TRVTag& Tag2);

// ---- stream output; lines end with CR LF
void WriteText(TStream& Stream, std::string_view S);
void WriteTextLine(TStream& Stream, std::string_view S);
void WriteTextOptLine(TStream& Stream, std::string_view S, bool NewLine);

// ---- lengths, colours and drawing
struct TRVScreenDeviceResolution {
    int32_t ScreenPpiX = 96;
    int32_t ScreenPpiY = 96;
    int32_t DevicePpiX = 96;
    int32_t DevicePpiY = 96;
    int32_t DeviceLeftMargin = 0;
    int32_t DeviceRightMargin = 0;
};

enum TRVColorMode { rvcmColor, rvcmPrinterColor, rvcmGrayScale, rvcmBlackAndWhite, rvcmBlackOnWhite };

// Pixels per inch used for layout instead of the screen's (0: none).
extern int RVPixelsPerInchOverride;
// The canvases of the layer draw at screen resolution.
inline constexpr int RVScreenPixelsPerInch = 96;

int ScaleXToDevice(int Length, const TRVScreenDeviceResolution& Resolution);
int ScaleYToDevice(int Length, const TRVScreenDeviceResolution& Resolution);
int ScaleXToScreen(int Length, const TRVScreenDeviceResolution& Resolution);
int ScaleYToScreen(int Length, const TRVScreenDeviceResolution& Resolution);
void ScaleRectToScreen(TRect& R, const TRVScreenDeviceResolution& Resolution);
void FillScreenDeviceResolution(TRVScreenDeviceResolution& Resolution, TCanvas& DeviceCanvas);
int GetScreenPixelsPerInchY();
bool PointInBounds(int X, int Y, int Left, int Top, int Width, int Height);
int SignOf(int Value);
int TwoThirds(int Value);
int LineThicknessForHeight(int Height);
int GrayLevel(TColor Color);
TColor ColorToGray(TColor Color);
TColor SystemColorToPrintColor(TColor Color);
TColor ApplyColorModeToTextColor(TColor Color, TRVColorMode ColorMode);
TColor ApplyColorModeToBackColor(TColor Color, TRVColorMode ColorMode);
bool MayBeTransparent(const TBitmap& Picture);
// Width and Height -1 take the picture's own; with a resolution they are
// scaled to the device.
void DrawGraphicScaled(TCanvas& Canvas, int X, int Y, int Width, int Height,
                       const TRVScreenDeviceResolution* Resolution, TBitmap& Picture, bool Stretch);
// A horizontal line in one of the underline and break patterns (0 solid,
// 1 dotted, 2 dashed, 3 long dashes, 4 dash-dot, 5 dash-dot-dot).
void DrawStyledLine(TCanvas& Canvas, TColor Color, int Pattern, int Thickness, int Left, int Right, int Y,
                    int PatternUnit);
