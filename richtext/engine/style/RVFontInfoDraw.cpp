// How a text style goes onto a canvas: its font (size, sub- and
// superscript, character spacing), its colours for a drawing state and
// colour mode, and its text as UTF-16. Custom underlines, overlines, marks
// of special characters are drawn with the text; positioned printing is
// the printing code's.
#include "richtext/engine/style/RVFontInfo.h"
#include "richtext/engine/style/RVStyle.h"
#include "richtext/engine/text/RVCodePages.h"

int TCustomRVFontInfo::GetSubSuperScriptHeight(TCanvas& Canvas) const {
    if (SubSuperScriptType == rvsssNormal) return 0;
    // The canvas has no outline metrics: two thirds of the font height.
    return int(std::abs(Round(Canvas.Font()->Height() * 2.0 / 3.0)));
}

void TCustomRVFontInfo::ApplyToCanvas(TCanvas& Canvas, TRVBiDiMode DefBiDiMode, bool UseResolutionOverride,
                                      const int* SubSuperHeight, bool IgnoreSubSuperScript) const {
    TFont& font = *Canvas.Font();
    if (font.Style() != Style) font.SetStyle(Style);
    if (int r = ResolutionOverride(UseResolutionOverride)) {
        int height = -MulDiv(Size, r, 72);
        if (font.Height() != height) font.SetHeight(height);
    } else {
        // Compared as the pixel height the size gives: sizes in points round,
        // and a font left by another style must not pass for this one.
        int height = -MulDiv(Size, font.PixelsPerInch(), PointsPerInch);
        if (font.Height() != height) font.SetHeight(height);
    }
    if (!SameText(font.Name(), FontName)) font.SetName(FontName);
    if (!IgnoreSubSuperScript && SubSuperScriptType != rvsssNormal) {
        int height = SubSuperHeight ? *SubSuperHeight : GetSubSuperScriptHeight(Canvas);
        font.SetHeight(-height);
    }
    ApplyBiDiMode(Canvas, DefBiDiMode);
}

void TCustomRVFontInfo::ApplyBiDiMode(TCanvas& Canvas, TRVBiDiMode DefBiDiMode) const {
    // Text of a set direction takes no extra spacing; reading order itself
    // is not shaped here.
    TRVBiDiMode mode = BiDiMode != rvbdUnspecified ? BiDiMode : DefBiDiMode;
    Canvas.SetTextCharacterExtra(mode == rvbdUnspecified ? CharSpacing : 0);
}

unsigned TCustomRVFontInfo::GetCodePage(unsigned DefCodePage) const {
    return Charset == 1 ? DefCodePage : CharsetToCodePage(Charset);
}

void TCustomRVFontInfo::ApplyColor(TCanvas& Canvas, const TRVStyle& RVStyle, TRVTextDrawStates DrawState,
                                   bool Printing, TRVColorMode ColorMode) const {
    TFont& font = *Canvas.Font();
    TBrush& brush = *Canvas.Brush();
    if ((DrawState & rvtsHover) && (HoverEffects & rvheUnderline)) font.SetStyle(font.Style() | fsUnderline);
    TColor fontColor = Color, brushColor = BackColor;
    if (DrawState & rvtsSelected) {
        bool focused = DrawState & rvtsControlFocused;
        brushColor = focused ? RVStyle.SelColor : RVStyle.InactiveSelColor;
        fontColor = focused ? RVStyle.SelTextColor : RVStyle.InactiveSelTextColor;
        if (fontColor == clNone) fontColor = Color;
    } else if (DrawState & rvtsHover) {
        fontColor = RVStyle.GetHoverColorByColor(HoverColor);
        if (fontColor == clNone) fontColor = Color;
        brushColor = HoverBackColor;
    } else if (Printing) {
        switch (ColorMode) {
        case rvcmColor:
            break;
        case rvcmPrinterColor:
            fontColor = SystemColorToPrintColor(Color);
            brushColor = SystemColorToPrintColor(BackColor);
            break;
        case rvcmGrayScale:
            fontColor = ColorToGray(SystemColorToPrintColor(Color));
            brushColor = ColorToGray(SystemColorToPrintColor(BackColor));
            break;
        case rvcmBlackAndWhite:
            if (BackColor == clNone) {
                fontColor = ColorToRGB(SystemColorToPrintColor(Color)) == clWhite ? clWhite : clBlack;
            } else {
                bool darkText =
                    GrayLevel(SystemColorToPrintColor(Color)) < GrayLevel(SystemColorToPrintColor(BackColor));
                fontColor = darkText ? clBlack : clWhite;
                brushColor = darkText ? clWhite : clBlack;
            }
            break;
        case rvcmBlackOnWhite:
            fontColor = clBlack;
            brushColor = clNone;
            break;
        }
    }
    font.SetColor(fontColor);
    if (brushColor == clNone) {
        brush.SetStyle(TBrushStyle::bsClear);
    } else {
        brush.SetColor(brushColor);
        brush.SetStyle(TBrushStyle::bsSolid);
    }
}

TColor TCustomRVFontInfo::GetUnderlineColor(TCanvas& Canvas, TRVTextDrawStates DrawState) const {
    if (DrawState & rvtsSelected) return Canvas.Font()->Color();
    if ((DrawState & rvtsHover) && HoverUnderlineColor != clNone) return HoverUnderlineColor;
    if (UnderlineColor != clNone) return UnderlineColor;
    return Canvas.Font()->Color();
}

void DrawUnderlineLine(TCanvas& Canvas, TRVUnderlineType UnderlineType, TColor Color, int Left, int Right,
                       int Y, int Thickness) {
    int pattern = 0, unit = 0;
    switch (UnderlineType) {
    case rvutDotted:
    case rvutThickDotted:
        pattern = 2, unit = 4;
        break;
    case rvutDashed:
    case rvutThickDashed:
        pattern = 3, unit = 12;
        break;
    case rvutLongDashed:
    case rvutThickLongDashed:
        pattern = 3, unit = 24;
        break;
    case rvutDashDotted:
    case rvutThickDashDotted:
        pattern = 4, unit = 14;
        break;
    case rvutDashDotDotted:
    case rvutThickDashDotDotted:
        pattern = 5, unit = 16;
        break;
    default:
        break;
    }
    switch (UnderlineType) {
    case rvutThick:
    case rvutThickDotted:
    case rvutThickDashed:
    case rvutThickLongDashed:
    case rvutThickDashDotted:
    case rvutThickDashDotDotted:
        Thickness *= 2;
        break;
    default:
        break;
    }
    if (UnderlineType == rvutDouble) {
        int half = std::max(int(Round(Thickness / 2.0)), 1);
        DrawStyledLine(Canvas, Color, 0, half, Left, Right, Y - Thickness, 0);
        DrawStyledLine(Canvas, Color, 0, half, Left, Right, Y + Thickness, 0);
        return;
    }
    DrawStyledLine(Canvas, Color, pattern, Thickness, Left, Right, Y, unit);
}

namespace {

// Spaces get a middle dot and no-break spaces a degree sign, each centred
// on its character.
void MarkSpecialCharacters(TCanvas& Canvas, std::u16string_view Text, int X, int Y) {
    std::vector<int> advances(Text.size());
    if (!Text.empty()) Canvas.CharAdvances(Text, advances.data());
    TBrushStyle brush = Canvas.Brush()->Style();
    Canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    for (std::size_t i = 0; i < Text.size(); ++i) {
        char16_t mark = Text[i] == u' ' ? u'\u00B7' : Text[i] == u'\u00A0' ? u'\u00B0' : 0;
        if (mark) {
            WideString m(1, mark);
            int w = Canvas.TextWidth(m);
            Canvas.TextOut(X + int(Round((advances[i] - w) / 2.0)), Y, m);
        }
        X += advances[i];
    }
    Canvas.Brush()->SetStyle(brush);
}

} // namespace

void TCustomRVFontInfo::Draw(const AnsiString& S, TRVItemOptions ItemOptions, TCanvas& Canvas, int StyleNo,
                             int SpaceBefore, int Left, int Top, int Width, int Height, TRVStyle& RVStyle,
                             TRVTextDrawStates DrawState, bool Printing, bool, TRVColorMode ColorMode,
                             TRVBiDiMode) const {
    TFont& font = *Canvas.Font();
    TColor underlineColor = GetUnderlineColor(Canvas, DrawState);
    bool customUnderline =
        (font.Style() & fsUnderline) && (UnderlineType != rvutNormal || underlineColor != font.Color());
    TFontStyles savedStyle = font.Style();
    if (customUnderline) font.SetStyle(font.Style() & ~fsUnderline);
    WideString shown = RVItemTextToWide(S, ItemOptions, GetCodePage(RVStyle.DefCodePage));
    std::erase_if(shown, IsZeroWidthChar);
    Canvas.TextOut(Left + SpaceBefore, Top, shown);
    if ((DrawState & rvtsSpecialCharacters) && !Printing)
        MarkSpecialCharacters(Canvas, shown, Left + SpaceBefore, Top);
    if (SpaceBefore != 0 && !Printing) {
        if ((DrawState & rvtsSelected) && shown.empty())
            RVStyle.ApplyStyleColor(Canvas, StyleNo, DrawState & ~TRVTextDrawStates(rvtsSelected), Printing,
                                    ColorMode);
        if (Canvas.Brush()->Style() != TBrushStyle::bsClear)
            Canvas.FillRect(Bounds(Left, Top, SpaceBefore, Height));
        Canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    }
    // Without outline metrics the thickness comes from the font size.
    int thickness = LineThicknessForHeight(std::abs(font.Size()));
    if (customUnderline) {
        DrawUnderlineLine(Canvas, UnderlineType, underlineColor, Left, Left + Width,
                          Top + Height - thickness / 2, thickness);
    } else if ((font.Style() & fsUnderline) && SpaceBefore != 0) {
        DrawUnderlineLine(Canvas, rvutNormal, underlineColor, Left, Left + SpaceBefore,
                          Top + Height - thickness / 2, thickness);
    }
    if (StyleEx & rvfsOverline)
        DrawStyledLine(Canvas, font.Color(), 0, thickness, Left, Left + Width, Top - thickness / 2, 0);
    Canvas.Pen()->SetStyle(TPenStyle::psSolid);
    if (customUnderline) font.SetStyle(savedStyle);
}
