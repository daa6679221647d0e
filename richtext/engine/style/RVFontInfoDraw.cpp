// How a text style goes onto a canvas: its font (size, sub- and
// superscript, character spacing), its colours for a drawing state and
// colour mode, and its text as UTF-16. Custom underlines, overlines, marks
// of special characters and positioned printing belong to painting.
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

void TCustomRVFontInfo::Draw(const AnsiString& S, TRVItemOptions ItemOptions, TCanvas& Canvas, int,
                             int SpaceBefore, int Left, int Top, int, int Height, TRVStyle& RVStyle,
                             TRVTextDrawStates, bool Printing, bool, TRVColorMode, TRVBiDiMode) const {
    WideString shown = RVItemTextToWide(S, ItemOptions, GetCodePage(RVStyle.DefCodePage));
    std::erase_if(shown, IsZeroWidthChar);
    if (SpaceBefore != 0 && !Printing && Canvas.Brush()->Style() != TBrushStyle::bsClear)
        Canvas.FillRect(Bounds(Left, Top, SpaceBefore, Height));
    Canvas.TextOut(Left + SpaceBefore, Top, shown);
}
