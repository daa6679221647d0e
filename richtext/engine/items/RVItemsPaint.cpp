// The drawing halves of breaks, tabs, list markers and labels: painting on
// the screen and printing on a device canvas.
#include <algorithm>

#include "richtext/engine/items/RVBulletItems.h"
#include "richtext/engine/items/RVLabelItem.h"
#include "richtext/engine/items/RVMarker.h"
#include "richtext/engine/items/RVTextItems.h"
#include "richtext/engine/style/RVStyle.h"

namespace {

// Left and top edges in one colour, right and bottom in the other, one
// pixel inwards per round.
void Frame3D(TCanvas& Canvas, TRect R, TColor TopLeft, TColor BottomRight, int Rounds) {
    TPen& pen = *Canvas.Pen();
    for (int i = 0; i < Rounds; ++i) {
        pen.SetColor(TopLeft);
        Canvas.MoveTo(R.Left, R.Bottom);
        Canvas.LineTo(R.Left, R.Top);
        Canvas.LineTo(R.Right, R.Top);
        if (R.Height() >= Rounds) {
            pen.SetColor(BottomRight);
            Canvas.LineTo(R.Right, R.Bottom);
            Canvas.LineTo(R.Left, R.Bottom);
            InflateRect(R, -1, -1);
        } else {
            R.Top += 1;
            R.Bottom -= 1;
        }
    }
}

TColor BreakColor(TColor Color, TRVStyle& RVStyle) {
    return Color == clNone ? RVStyle.TextStyles().GetItem(0)->Color : Color;
}

// The pattern of the line painter for a break style.
int BreakPattern(TRVBreakStyle Style) {
    return Style == brkDotted ? 1 : Style == brkDashed ? 2 : 0;
}

} // namespace

// ---------------------------------------------------------------- break

void TRVBreakItemInfo::PaintFullWidth(int Left, int Right, int Top, TCanvas& Canvas, TRVItemDrawStates State,
                                      TRVStyle& RVStyle, const TRect&) {
    int x1 = Left + 5, x2 = Right - 5, y = Top + 5, w = LineWidth;
    TColor color = BreakColor(Color, RVStyle);
    TPen& pen = *Canvas.Pen();
    pen.SetColor(color);
    Canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    switch (BreakStyle) {
    case brkRectangle:
        pen.SetWidth(1);
        Canvas.Rectangle(x1, y - w / 2, x2, y - w / 2 + w);
        break;
    case brk3D:
        pen.SetWidth(1);
        Frame3D(Canvas, Rect(x1, y - w / 2, x2 - 1, y - w / 2 + w - 1), clBtnShadow, clBtnFace, 1);
        break;
    default:
        DrawStyledLine(Canvas, color, BreakPattern(BreakStyle), w, x1, x2, y, 0);
        break;
    }
    pen.SetStyle(TPenStyle::psSolid);
    pen.SetWidth(1);
    Canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    if (State & rvidsSelected) {
        TColor sel = (State & rvidsControlFocused) ? RVStyle.SelColor : RVStyle.InactiveSelColor;
        if (sel != clNone) {
            pen.SetColor(sel);
            Canvas.Rectangle(x1, y - w / 2 - 1, x2, y - w / 2 + w + 1);
        }
    }
}

void TRVBreakItemInfo::PrintFullWidth(TCanvas& Canvas, int Left, int Right, int Top, TRVStyle& RVStyle,
                                      TRVColorMode ColorMode, const TRVScreenDeviceResolution& Resolution) {
    TColor color = ApplyColorModeToTextColor(BreakColor(Color, RVStyle), ColorMode);
    int dx = ScaleXToDevice(5, Resolution), dy = ScaleYToDevice(5, Resolution);
    int g = ScaleYToDevice(LineWidth, Resolution);
    int x1 = Left + dx, x2 = Right - dx, y = Top + dy;
    TPen& pen = *Canvas.Pen();
    pen.SetColor(color);
    Canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    switch (BreakStyle) {
    case brkRectangle:
        pen.SetWidth(std::max(ScaleYToDevice(1, Resolution), 1));
        Canvas.Rectangle(x1, y - g / 2, x2, y - g / 2 + g);
        break;
    case brk3D: {
        pen.SetWidth(1);
        int rounds =
            std::max(int(Round(double(Resolution.DevicePpiY) / std::max(Resolution.ScreenPpiY, 1))), 1);
        Frame3D(Canvas, Rect(x1, y - g / 2, x2 - 1, y - g / 2 + g - 1),
                ApplyColorModeToTextColor(clBtnShadow, ColorMode),
                ApplyColorModeToTextColor(clBtnHighlight, ColorMode), rounds);
        break;
    }
    default:
        DrawStyledLine(Canvas, color, BreakPattern(BreakStyle), g, x1, x2, y, 0);
        break;
    }
    pen.SetStyle(TPenStyle::psSolid);
    pen.SetWidth(1);
}

// ---------------------------------------------------------------- tab

void TRVTabItemInfo::DrawTab(TCanvas& Canvas, int X, int Y, const TRVDrawLineInfo& DrawItem,
                             TRVStyle& RVStyle, TRVTextDrawStates DrawState, TRVColorMode ColorMode,
                             bool Printing, bool UseResolutionOverride, bool ShowSpecial) {
    int styleNo = GetActualTextStyleNo(&RVStyle);
    TFontInfo& style = *RVStyle.TextStyles().GetItem(styleNo);
    RVStyle.ApplyStyleColor(Canvas, styleNo, DrawState, Printing, ColorMode);
    RVStyle.ApplyStyle(Canvas, styleNo, rvbdUnspecified, UseResolutionOverride, nullptr, false);
    int w = DrawItem.Width, h = DrawItem.Height;
    if (Canvas.Brush()->Style() != TBrushStyle::bsClear && Canvas.Brush()->Color() != clNone)
        Canvas.FillRect(Bounds(X, Y, w, h));
    TFont& font = *Canvas.Font();
    int t = LineThicknessForHeight(std::abs(font.Size()));
    if (font.Style() & fsUnderline) {
        TColor color = style.GetUnderlineColor(Canvas, DrawState);
        DrawUnderlineLine(Canvas, style.UnderlineType, color, X - 1, X + w + 1, Y + h - t / 2, t);
    }
    if (style.StyleEx & rvfsOverline)
        DrawUnderlineLine(Canvas, rvutNormal, font.Color(), X, X + w, Y - t / 2, t);
    Canvas.Pen()->SetStyle(TPenStyle::psSolid);
    if (ShowSpecial) {
        // An arrow along the middle of the tab.
        int my = Y + h / 2, right = X + w - 2;
        Canvas.Pen()->SetColor(font.Color());
        Canvas.MoveTo(X + 1, my);
        Canvas.LineTo(right, my);
        Canvas.MoveTo(right - 3, my - 3);
        Canvas.LineTo(right, my);
        Canvas.LineTo(right - 4, my + 4);
    }
    if (!Leader.empty()) {
        RVStyle.ApplyStyle(Canvas, styleNo, rvbdUnspecified, UseResolutionOverride, nullptr, false);
        Canvas.Brush()->SetStyle(TBrushStyle::bsClear);
        int lw = Canvas.TextWidth(Leader);
        if (lw > 0)
            for (int x = X + lw; x + lw <= X + w - lw; x += lw)
                Canvas.TextOut(x, Y, Leader);
    }
}

void TRVTabItemInfo::Paint(int X, int Y, TCanvas& Canvas, TRVItemDrawStates State, TRVStyle& RVStyle,
                           TRVDrawLineInfo* DrawItem) {
    if (!DrawItem) return;
    TRVTextDrawStates textState = ((State & rvidsSelected) ? rvtsSelected : 0) |
                                  ((State & rvidsHover) ? rvtsHover : 0) |
                                  ((State & rvidsControlFocused) ? rvtsControlFocused : 0);
    DrawTab(Canvas, X, Y, *DrawItem, RVStyle, textState, rvcmColor, false, State & rvidsUseResolutionOverride,
            State & rvidsShowSpecialCharacters);
}

// ---------------------------------------------------------------- list marker

void TRVMarkerItemInfo::Paint(int X, int Y, TCanvas& Canvas, TRVItemDrawStates, TRVStyle& RVStyle,
                              TRVDrawLineInfo* DrawItem) {
    DrawMarker(Canvas, X + (DrawItem ? DrawItem->SpaceBefore : 0), Y, RVStyle, rvcmColor);
}

void TRVMarkerItemInfo::DrawMarker(TCanvas& Canvas, int X, int Y, TRVStyle& RVStyle, TRVColorMode ColorMode) {
    if (ListNo < 0 || Level < 0) return;
    TRVListLevel* level = GetLevelInfo(&RVStyle);
    if (!level) return;
    switch (level->ListType) {
    case rvlstPicture:
        if (level->HasOwnPicture() && !level->Picture().Empty()) Canvas.Draw(X, Y, &level->Picture());
        return;
    case rvlstImageList:
    case rvlstImageListCounter: {
        int index = level->ImageIndex + (level->ListType == rvlstImageListCounter ? Counter - 1 : 0);
        if (RVImageLists && level->ImageList && index >= 0 && index < RVImageLists->Count(level->ImageList))
            RVImageLists->Draw(level->ImageList, Canvas, X, Y, index, true);
        return;
    }
    default:
        break;
    }
    TFont& font = *Canvas.Font();
    font.Assign(&level->Font());
    font.SetColor(ApplyColorModeToTextColor(level->Font().Color(), ColorMode));
    int r = RVStyle.TextStyles().ResolutionOverride;
    if (r && level->Font().Size() > 0) font.SetHeight(-MulDiv(level->Font().Size(), r, 72));
    Canvas.SetTextCharacterExtra(0);
    Canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    if (level->ListType == rvlstUnicodeBullet)
        Canvas.TextOut(X, Y, level->FormatStringW);
    else
        Canvas.TextOut(X, Y, DisplayString);
}

// ---------------------------------------------------------------- label

void TRVLabelItemInfo::DrawLabelText(const TRect& R, TCanvas& Canvas, TRVItemDrawStates State,
                                     TRVStyle& RVStyle, TRVColorMode ColorMode, const AnsiString& AText) {
    TRVTextDrawStates textState = ((State & rvidsSelected) ? rvtsSelected : 0) |
                                  ((State & rvidsControlFocused) ? rvtsControlFocused : 0) |
                                  ((State & rvidsHover) ? rvtsHover : 0);
    RVStyle.ApplyStyle(Canvas, TextStyleNo, rvbdUnspecified, State & rvidsUseResolutionOverride, nullptr,
                       false);
    RVStyle.ApplyStyleColor(Canvas, TextStyleNo, textState, false, ColorMode);
    bool highlight =
        RVStyle.FieldHighlightType == rvfhAlways || (RVStyle.FieldHighlightType == rvfhCurrent &&
                                                     (State & rvidsCurrent) && (State & rvidsControlFocused));
    if (!(State & rvidsSelected) && highlight) {
        Canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        Canvas.Brush()->SetColor(RVStyle.FieldHighlightColor);
    }
    if (Canvas.Brush()->Style() != TBrushStyle::bsClear) Canvas.FillRect(R);
    unsigned format = DT_SINGLELINE | DT_NOCLIP |
                      (Alignment == 1   ? DT_RIGHT
                       : Alignment == 2 ? DT_CENTER
                                        : 0);
    TRect r = R;
    Canvas.DrawText(AText, r, format);
    Canvas.Brush()->SetStyle(TBrushStyle::bsClear);
}

void TRVLabelItemInfo::Paint(int X, int Y, TCanvas& Canvas, TRVItemDrawStates State, TRVStyle& RVStyle,
                             TRVDrawLineInfo*) {
    UpdateSize();
    DrawLabelText(Bounds(X, Y, Width, Height), Canvas, State, RVStyle, rvcmColor, Text);
}
