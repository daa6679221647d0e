// The table's painting: background, rules, the table's and cells' borders
// (3-D and colour styles, grid lines where borders are hidden), cell
// backgrounds and the cells' text.
#include <algorithm>

#include "richtext/editor/tables/RVTable_p.h"
#include "richtext/engine/style/RVStyle.h"

namespace {

bool Meets(const TRect& A, const TRect& B) {
    return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}

// A line that includes its end point.
void Line(TCanvas& Canvas, int X1, int Y1, int X2, int Y2) {
    Canvas.MoveTo(X1, Y1);
    Canvas.LineTo(X2 + (X2 > X1 ? 1 : 0), Y2 + (Y2 > Y1 ? 1 : 0));
    if (X1 == X2 && Y1 == Y2) Canvas.LineTo(X1 + 1, Y1);
}

} // namespace

bool TRVTableItemInfo::IsEditable() const {
    return (TableState & rvtsEditMode) && IsInEditor();
}

void TRVTableItemInfo::PaintFullWidth(int Left, int, int Top, TCanvas& Canvas, TRVItemDrawStates State,
                                      TRVStyle& Style, const TRect& ClipRect) {
    TRVTablePaintParams params;
    params.X = Left;
    params.Y = Top;
    params.Clip = ClipRect;
    params.Selected = State & rvidsSelected;
    PaintTable(Canvas, params, Style);
}

void TRVTableItemInfo::PrintWhole(TCanvas& Canvas, int X, int Y, TCustomRVData* RVData,
                                  TRVColorMode ColorMode) {
    TRVStyle* style = RVData ? RVData->GetRVStyle() : nullptr;
    if (!style) return;
    TRVTablePaintParams params;
    params.X = X;
    params.Y = Y;
    params.Clip = TRect{X, Y, X + FormatInfo.TotalWidth, Y + FormatInfo.TotalHeight};
    params.ColorMode = ColorMode;
    params.Printing = true;
    PaintTable(Canvas, params, *style);
}

void TRVTableItemInfo::PaintTable(TCanvas& Canvas, const TRVTablePaintParams& P, TRVStyle& Style) {
    if (Rows.IsEmpty() || FormatInfo.RowTopList.size() != std::size_t(RowCount()) ||
        FormatInfo.ColLeftList.size() != std::size_t(ColCount()))
        return;
    const TRVTableItemFormattingInfo& L = FormatInfo;
    int x = P.X, y = P.Y;
    ClientLeft = x;
    ClientTop = y;
    const TRect& clip = P.Clip;
    int firstRow = FindInSortedList(clip.Top - y - ScaleY(BorderWidth), L.RowTopList);
    TRect table{x, y, x + L.TotalWidth, y + L.TotalHeight};
    bool editable = IsEditable();

    // Background.
    if (Color != clNone) {
        TColor color = P.Printing && (PrintOptions & rvtoWhiteBackground)
                           ? clWhite
                           : ApplyColorModeToBackColor(Color, P.ColorMode);
        Canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        Canvas.Brush()->SetColor(color);
        TRect r{std::max(table.Left, clip.Left), std::max(table.Top, clip.Top),
                std::min(table.Right, clip.Right), std::min(table.Bottom, clip.Bottom)};
        if (r.Left < r.Right && r.Top < r.Bottom) Canvas.FillRect(r);
    }
    Canvas.Pen()->SetWidth(1);
    Canvas.Pen()->SetStyle(TPenStyle::psSolid);

    bool vRules = VRuleWidth != 0 && VRuleColor != clNone;
    bool hRules = HRuleWidth != 0 && HRuleColor != clNone;
    if (vRules) {
        int w = ScaleX(VRuleWidth);
        int top = table.Top, bottom = table.Bottom;
        if (hRules && HOutermostRule) {
            int cut = ScaleX(BorderWidth + BorderVSpacing / 2);
            top += cut;
            bottom -= cut;
        }
        Canvas.Pen()->SetColor(ApplyColorModeToTextColor(VRuleColor, P.ColorMode));
        auto rule = [&](int Pos) {
            for (int i = 0; i < w; ++i) {
                int lx = Pos - w / 2 + i;
                Canvas.MoveTo(lx, std::max(top, clip.Top - 1));
                Canvas.LineTo(lx, std::min(bottom, clip.Bottom + 1));
            }
        };
        int firstCol = FindInSortedList(clip.Left - x - ScaleX(BorderWidth + CellHSpacing + BorderHSpacing),
                                        L.ColLeftList);
        if (VOutermostRule && firstCol == 0) rule(x + ScaleX(BorderWidth + BorderHSpacing / 2));
        for (int c = firstCol + 1; c < ColCount(); ++c) {
            int pos =
                L.ColLeftList[std::size_t(c)] + x - (ScaleX(CellHSpacing + 2 * CellBorderWidth) + 1) / 2;
            if (pos > clip.Right + w) break;
            rule(pos);
        }
        if (VOutermostRule) rule(x + L.TotalWidth - ScaleX(BorderWidth + BorderHSpacing / 2) - (w % 2));
    }
    if (hRules) {
        int w = ScaleY(HRuleWidth);
        int left = table.Left, right = table.Right;
        if (vRules && VOutermostRule) {
            int cut = ScaleY(BorderWidth + BorderHSpacing / 2);
            left += cut;
            right -= cut;
        }
        Canvas.Pen()->SetColor(ApplyColorModeToTextColor(HRuleColor, P.ColorMode));
        auto rule = [&](int Pos) {
            for (int i = 0; i < w; ++i) {
                int ly = Pos - w / 2 + i;
                Canvas.MoveTo(std::max(left, clip.Left - 1), ly);
                Canvas.LineTo(std::min(right, clip.Right + 1), ly);
            }
        };
        if (HOutermostRule && (firstRow < 2 || P.Printing))
            rule(y + ScaleY(BorderWidth + BorderVSpacing / 2));
        for (int r = firstRow + 1; r < RowCount(); ++r) {
            int pos = L.RowTopList[std::size_t(r)] + y - (ScaleY(CellVSpacing + 2 * CellBorderWidth) + 1) / 2;
            if (pos > clip.Bottom + w) break;
            rule(pos);
        }
        if (HOutermostRule) rule(y + L.TotalHeight - ScaleY(BorderWidth + BorderVSpacing / 2) - (w % 2));
    }

    TColor hostColor = Rows.HostData ? Rows.HostData->GetColor() : clNone;
    DrawBorder(Canvas, table.Left, table.Top, table.Right, table.Bottom, BorderWidth, BorderColor,
               BorderLightColor, hostColor, BorderStyle, -1, -1, VisibleBorders, clip, P.ColorMode,
               P.Printing, editable, !(Options & rvtoHideGridLines));

    TColor selColor = Style.SelColor;
    // Cells that start above the first painted row and reach into it.
    if (firstRow > 0)
        for (int c = ColCount() - 1; c >= 0;) {
            int mr, mc;
            Rows.GetMainCell(firstRow, c, mr, mc);
            if (mr < firstRow)
                PaintCell(Canvas, mr, mc, L.ColLeftList[std::size_t(mc)] + x,
                          L.RowTopList[std::size_t(mr)] + y, P, Style, editable, selColor);
            c = mc - 1;
        }
    int reach = ScaleY(CellBorderWidth);
    for (int r = firstRow; r < RowCount(); ++r) {
        int top = L.RowTopList[std::size_t(r)] + y;
        if (top > clip.Bottom + reach) break;
        for (int c = 0; c < ColCount(); ++c) {
            int left = L.ColLeftList[std::size_t(c)] + x;
            if (left > clip.Right + reach) break;
            if (GetCell(r, c)) PaintCell(Canvas, r, c, left, top, P, Style, editable, selColor);
        }
    }
    Canvas.Pen()->SetWidth(1);
}

void TRVTableItemInfo::PaintCell(TCanvas& Canvas, int Row, int Col, int X, int Y,
                                 const TRVTablePaintParams& P, TRVStyle& Style, bool Editable,
                                 TColor SelColor) {
    TRVTableCellData& cell = *GetCell(Row, Col);
    TRect box{X, Y, X + cell.CellWidth, Y + cell.CellHeight};
    TColor color = P.Selected && SelColor != clNone ? SelColor : cell.Color;
    if (color != clNone) {
        TRect back = box;
        if (Options & rvtoCellBelowBorders) {
            int bx = ScaleX(CellBorderWidth), by = ScaleY(CellBorderWidth);
            back = TRect{back.Left - bx, back.Top - by, back.Right + bx, back.Bottom + by};
        }
        Canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        Canvas.Brush()->SetColor(P.Printing && (PrintOptions & rvtoWhiteBackground)
                                     ? clWhite
                                     : ApplyColorModeToBackColor(color, P.ColorMode));
        Canvas.FillRect(back);
    }
    if (Meets(box, P.Clip)) {
        Canvas.SaveState();
        TScopeGuard restore([&] { Canvas.RestoreState(); });
        Canvas.IntersectClipRect(box);
        PaintCellContent(Canvas, cell, X + ScaleX(CellHPadding), Y + ScaleY(CellVPadding) + cell.GetVShift(),
                         Style, P.ColorMode);
    }
    int b = ScaleY(CellBorderWidth);
    DrawBorder(Canvas, box.Left - b, box.Top - b, box.Right + b, box.Bottom + b, CellBorderWidth,
               cell.BorderColor != clNone ? cell.BorderColor : CellBorderColor,
               cell.BorderLightColor != clNone ? cell.BorderLightColor : CellBorderLightColor, Color,
               CellBorderStyle, Row, Col, cell.VisibleBorders, P.Clip, P.ColorMode, P.Printing, Editable,
               !(Options & rvtoHideGridLines));
}

void TRVTableItemInfo::PaintCellContent(TCanvas& Canvas, TRVTableCellData& Cell, int X, int Y,
                                        TRVStyle& Style, TRVColorMode ColorMode) {
    for (int d = 0; d < Cell.DrawItems.Count(); ++d) {
        const TRVDrawLineInfo& draw = *Cell.DrawItems[d];
        if (draw.ItemNo < 0 || draw.ItemNo >= Cell.ItemCount()) continue;
        const TCustomRVItemInfo& item = Cell.LiveItem(draw.ItemNo);
        if (item.StyleNo < 0) continue;
        int styleNo = Cell.GetActualStyle(item);
        AnsiString text =
            ItemTextCopy(Cell.GetItemText(draw.ItemNo), draw.Offs, draw.Length, item.ItemOptions);
        if (text.empty()) continue;
        Style.ApplyStyle(Canvas, styleNo, rvbdUnspecified, false, nullptr, false);
        Style.ApplyStyleColor(Canvas, styleNo, {}, false, ColorMode);
        Style.DrawStyleText(text, item.ItemOptions, Canvas, draw.ItemNo, draw.Offs, styleNo, &Cell,
                            draw.SpaceBefore, X + draw.Left, Y + draw.Top, draw.Width, draw.Height, {}, false,
                            false, ColorMode, rvbdUnspecified);
    }
}

void TRVTableItemInfo::DrawBorder(TCanvas& Canvas, int Left, int Top, int Right, int Bottom, int Width,
                                  TColor Color, TColor LightColor, TColor BackgroundColor,
                                  TRVTableBorderStyle Style, int Row, int Col, const TRVBooleanRect& Visible,
                                  const TRect& Clip, TRVColorMode ColorMode, bool Printing, bool Editable,
                                  bool DrawGrid) {
    if (!Meets(TRect{Left, Top, Right, Bottom}, Clip)) return;
    if (OnDrawBorder) {
        bool doDefault = true;
        OnDrawBorder(this, Canvas, Left, Top, Right, Bottom, Width, LightColor, Color, BackgroundColor, Style,
                     Printing, Visible, Row, Col, doDefault);
        if (!doDefault) return;
    }
    TPenStyle gridStyle = Editable ? RVTableGridStyle : RVTableGridStyle2;
    bool grid = DrawGrid && !Printing && gridStyle != TPenStyle::psClear;
    TPen& pen = *Canvas.Pen();
    auto gridPen = [&] {
        pen.SetWidth(1);
        pen.SetColor(RVTableGridColor);
        pen.SetStyle(gridStyle);
    };
    if (Width == 0) {
        if (grid) {
            gridPen();
            Canvas.Brush()->SetStyle(TBrushStyle::bsClear);
            Canvas.Rectangle(Left, Top, Right, Bottom);
            Canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        }
        pen.SetStyle(TPenStyle::psSolid);
        return;
    }
    if (grid && !Visible.IsAll(true)) {
        // A hidden side shows a grid line unless a neighbour's visible border lies over it.
        auto neighbourShows = [&](int R, int C, bool TRVBooleanRect::*Side) {
            if (Row < 0 || R < 0 || C < 0 || R >= RowCount() || C >= ColCount()) return false;
            int mr, mc;
            TRVTableCellData* cell = Rows.GetMainCell(R, C, mr, mc);
            return cell && cell->VisibleBorders.*Side;
        };
        gridPen();
        if (!Visible.Top && !(CellVSpacing < 0 && neighbourShows(Row - 1, Col, &TRVBooleanRect::Bottom)))
            Line(Canvas, Left, Top, Right - 1, Top);
        if (!Visible.Bottom && !(CellVSpacing < 0 && Row >= 0 &&
                                 neighbourShows(Row + GetCell(Row, Col)->RowSpan, Col, &TRVBooleanRect::Top)))
            Line(Canvas, Left, Bottom - 1, Right - 1, Bottom - 1);
        if (!Visible.Left && !(CellHSpacing < 0 && neighbourShows(Row, Col - 1, &TRVBooleanRect::Right)))
            Line(Canvas, Left, std::max(Top, Clip.Top - 1), Left, std::min(Bottom - 1, Clip.Bottom + 1));
        if (!Visible.Right && !(CellHSpacing < 0 && Row >= 0 &&
                                neighbourShows(Row, Col + GetCell(Row, Col)->ColSpan, &TRVBooleanRect::Left)))
            Line(Canvas, Right - 1, std::max(Top, Clip.Top - 1), Right - 1,
                 std::min(Bottom - 1, Clip.Bottom + 1));
    }
    pen.SetWidth(1);
    pen.SetStyle(TPenStyle::psSolid);
    int n = ScaleY(Width);
    if (Style == rvtbColor) {
        if (Color != clNone) {
            pen.SetColor(ApplyColorModeToTextColor(Color, ColorMode));
            --Right;
            --Bottom;
            bool corners = Options & rvtoOverlappingCorners;
            for (int k = 0; k < n; ++k) {
                int l = Left + k, t = Top + k, r = Right - k, b = Bottom - k;
                if (corners) {
                    if (Visible.Left) Line(Canvas, l, Top, l, Bottom);
                    if (Visible.Right) Line(Canvas, r, Top, r, Bottom);
                    if (Visible.Top) Line(Canvas, Left, t, Right, t);
                    if (Visible.Bottom) Line(Canvas, Left, b, Right, b);
                } else {
                    if (Visible.Left) Line(Canvas, l, t, l, b);
                    if (Visible.Right) Line(Canvas, r, t, r, b);
                    if (Visible.Top) Line(Canvas, l, t, r, t);
                    if (Visible.Bottom) Line(Canvas, l, b, r, b);
                }
            }
        }
        pen.SetStyle(TPenStyle::psSolid);
        return;
    }
    TColor topLeft, bottomRight;
    switch (Style) {
    case rvtbRaised:
        topLeft = BackgroundColor == clBtnHighlight ? clBtnFace : clBtnHighlight;
        bottomRight = clBtnShadow;
        break;
    case rvtbLowered:
        topLeft = clBtnShadow;
        bottomRight = BackgroundColor == clBtnHighlight ? clBtnFace : clBtnHighlight;
        break;
    case rvtbRaisedColor:
        topLeft = LightColor;
        bottomRight = Color;
        break;
    default:
        topLeft = Color;
        bottomRight = LightColor;
        break;
    }
    --Right;
    --Bottom;
    pen.SetColor(ApplyColorModeToTextColor(topLeft, ColorMode));
    for (int k = 0; k < n; ++k) {
        if (Visible.Top) Line(Canvas, Left + k, Top + k, Right - k, Top + k);
        if (Visible.Left)
            Line(Canvas, Left + k, std::max(Top + k, Clip.Top - 1), Left + k,
                 std::min(Bottom - k, Clip.Bottom + 1));
    }
    pen.SetColor(ApplyColorModeToTextColor(bottomRight, ColorMode));
    for (int k = 0; k < n; ++k) {
        if (Visible.Bottom) Line(Canvas, Left + k, Bottom - k, Right - k, Bottom - k);
        if (Visible.Right)
            Line(Canvas, Right - k, std::max(Top + k, Clip.Top - 1), Right - k,
                 std::min(Bottom - k, Clip.Bottom + 1));
    }
    pen.SetStyle(TPenStyle::psSolid);
}
