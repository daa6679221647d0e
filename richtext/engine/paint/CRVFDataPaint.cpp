// Painting a formatted document: paragraph backgrounds and borders, text
// with its selection and hover, items, page-break and checkpoint marks,
// line-end marks and word painters, the document background and the
// invalidation of areas.
#include <algorithm>

#include "richtext/engine/document/RVBack.h"
#include "richtext/engine/items/RVItem.h"
#include "richtext/engine/layout/CRVFData.h"
#include "richtext/engine/paint/RVPaintText_p.h"
#include "richtext/engine/style/RVStyle.h"

namespace {

// What one PaintDocument call knows while it walks the drawing items.
struct TPaintRun {
    TCanvas& Canvas;
    TRVStyle& Style;
    int DX, DY;
    bool Focused;
    bool Special;
    bool Lines; // the selection is drawn as line bands
    int LastStyle = -1;
    int BandTop = 0, BandBottom = 0;
    TRVDisplayTextCache Text{};
};

bool HasBack(const TParaInfo& Para) {
    return Para.Border().Style != rvbNone || Para.Background().Color != clNone;
}

} // namespace

int TCustomRVFormattedData::FirstDrawItemToPaint(int Y, bool Tight) const {
    int count = DrawItems.Count();
    if (count == 0) return -1;
    int line = FindDrawItemByY(Y);
    if (Tight) {
        // The first line with a drawing item at or below Y.
        int i = line;
        while (i < count && DrawItems[i]->Top < Y)
            ++i;
        if (i >= count) return line;
        while (i > 0 && !DrawItems[i]->FromNewLine)
            --i;
        return i;
    }
    // Two lines above: the last drawing item before the line above.
    if (line == 0) return 0;
    int above = line - 1;
    while (above > 0 && !DrawItems[above]->FromNewLine)
        --above;
    return std::max(above - 1, 0);
}

void TCustomRVFormattedData::PaintDocument(TCanvas& Canvas, const TRect& R, bool PrintMode, bool PaintFlag,
                                           bool OnlyWhole, bool TightStart) {
    TRVStyle* style = GetRVStyle();
    if (!style) return;
    int startNo, endNo, startOffs, endOffs;
    GetSelectionDrawBounds(startNo, endNo, true, endOffs, startOffs);
    bool hasSelection = startNo >= 0 && endNo >= 0;
    TRVOptions options = GetOptions();
    TPaintRun run{Canvas,
                  *style,
                  -GetHOffs() - R.Left,
                  -GetVOffs() - R.Top,
                  IsControlFocused(),
                  bool(options & rvoShowSpecialCharacters),
                  style->SelectionStyle == rvssLines && hasSelection};
    Canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    TRVItemDrawStates baseItemState = (run.Focused ? rvidsControlFocused : 0) |
                                      ((GetFlags() & rvflCanUseCustomPPI) ? rvidsUseResolutionOverride : 0) |
                                      (run.Special ? rvidsShowSpecialCharacters : 0) |
                                      (PaintFlag ? rvidsPainterFlag : 0) |
                                      (PrintMode ? rvidsPrintViaBitmap : 0);
    int top = R.Top + GetVOffs(), bottom = R.Bottom + GetVOffs();
    int count = DrawItems.Count();
    int first = FirstDrawItemToPaint(top, TightStart);
    int last = count - 1;
    if (first >= 0) {
        while (first > 0 && !IsDrawItemParaStart(first))
            --first;
        // The walk ends at the first line start after something below.
        for (int i = first; i < count; ++i)
            if (DrawItems[i]->Top >= bottom) {
                int j = i + 1;
                while (j < count && !DrawItems[j]->FromNewLine)
                    ++j;
                last = std::min(j, count - 1);
                break;
            }
    }
    int areaRight = (options & rvoClientTextWidth) ? GetWidth() : GetAreaWidth();
    if (GetMaxTextWidth() > 0)
        areaRight = std::min(areaRight, GetMaxTextWidth() + GetLeftMargin() + GetRightMargin());
    areaRight -= GetRightMargin();

    // Paragraph backgrounds and borders.
    for (int i = first; first >= 0 && i <= last;) {
        int j = i + 1;
        while (j < count && !IsDrawItemParaStart(j))
            ++j;
        int itemNo = DrawItems[i]->ItemNo;
        TParaInfo& para = *style->ParaStyles().GetItem(GetItemPara(itemNo));
        if (GetItemStyle(itemNo) != rvsBreak && (HasBack(para) || style->OnDrawParaBack)) {
            int left = GetLeftMargin() + para.LeftIndent + std::min(para.FirstIndent, 0);
            int right;
            if (options & rvoClientTextWidth)
                right = GetWidth() - GetRightMargin() - para.RightIndent;
            else if (GetMaxTextWidth() < 1)
                right = GetAreaWidth() - GetRightMargin() - para.RightIndent;
            else
                right = GetLeftMargin() + GetMaxTextWidth() - para.RightIndent;
            int boxTop = DrawItems[i]->Top, boxBottom = boxTop;
            for (int k = i; k < j; ++k) {
                const TRVDrawLineInfo& d = *DrawItems[k];
                right = std::max(right, d.Left + d.Width);
                boxTop = std::min(boxTop, d.Top);
                boxBottom = std::max(boxBottom, d.Top + d.Height + d.ExtraSpaceBelow);
            }
            TRect box = Rect(left + run.DX, boxTop + run.DY, right + run.DX, boxBottom + run.DY);
            TRect back = box;
            para.Background().ExpandRectUnscaled(back);
            style->ItemNo = DrawItems[j - 1]->ItemNo;
            style->RVData = this;
            style->DrawParaBack(Canvas, GetItemPara(itemNo), back, PrintMode, rvcmColor);
            para.Border().DrawUnscaled(box, Canvas);
        }
        i = j;
    }

    if (first >= 0 && style->OnDrawTextBack)
        for (int k = first; k <= last; ++k) {
            const TRVDrawLineInfo& d = *DrawItems[k];
            int styleNo = GetItemStyle(d.ItemNo);
            if (styleNo < 0) continue;
            bool hover = (StateBits & rvstDrawHover) && LiveItem(d.ItemNo).JumpID == HoverJumpNo &&
                         style->TextStyles().GetItem(styleNo)->Jump;
            style->DrawTextBack(Canvas, d.ItemNo, styleNo, this, d.Left + run.DX, d.Top + run.DY, d.Width,
                                d.Height, hover ? rvtsHover : 0);
        }

    // Soft page breaks of the items shown.
    if (first >= 0 && SoftPageBreaks && (options & rvoShowPageBreaks))
        for (int b = 0; b < SoftPageBreaks->Count(); ++b) {
            const TRVSoftPageBreakInfo& pb = *SoftPageBreaks->Get(b);
            int d, o;
            ItemToDrawItem(pb.ItemNo, pb.Offs, d, o);
            if (d < first || d > last) continue;
            int lf, ll;
            GetLineDrawItemRange(d, lf, ll);
            int lineTop = DrawItems[lf]->Top;
            for (int k = lf; k <= ll; ++k)
                lineTop = std::min(lineTop, DrawItems[k]->Top);
            style->DrawPageBreak(Canvas, lineTop - 1 + run.DY, -run.DX, rvpbSoftPageBreak, GetControl(), this,
                                 pb.ItemNo, GetWidth());
            run.LastStyle = -1;
        }

    for (int k = first; first >= 0 && k <= last; ++k) {
        TRVDrawLineInfo& d = *DrawItems[k];
        if (OnlyWhole && (d.Top + d.Height > bottom || d.Top + d.Height < top)) continue;
        TCustomRVItemInfo& item = LiveItem(d.ItemNo);
        bool firstOfItem = k == 0 || DrawItems[k - 1]->ItemNo != d.ItemNo;
        if (d.FromNewLine && (run.Lines || (firstOfItem && item.GetPageBreakBefore()))) {
            int lf, ll;
            GetLineDrawItemRange(k, lf, ll);
            run.BandTop = d.Top;
            run.BandBottom = d.Top + d.Height + d.ExtraSpaceBelow;
            for (int m = lf; m <= ll; ++m) {
                const TRVDrawLineInfo& l = *DrawItems[m];
                run.BandTop = std::min(run.BandTop, l.Top);
                run.BandBottom = std::max(run.BandBottom, l.Top + l.Height + l.ExtraSpaceBelow);
            }
            if (firstOfItem && item.GetPageBreakBefore() && (options & rvoShowPageBreaks)) {
                style->DrawPageBreak(Canvas, run.BandTop - 1 + run.DY, -run.DX, rvpbPageBreak, GetControl(),
                                     this, d.ItemNo, GetWidth());
                run.LastStyle = -1;
            }
            const TParaInfo& para = *style->ParaStyles().GetItem(item.ParaNo);
            if (IsDrawItemParaStart(lf)) run.BandTop -= para.SpaceBefore;
            if (IsDrawItemParaEnd(ll)) run.BandBottom += para.SpaceAfter;
            run.BandTop += run.DY;
            run.BandBottom += run.DY;
        }
        if (firstOfItem && item.Checkpoint && (options & rvoShowCheckpoints)) {
            style->DrawCheckpoint(Canvas, d.Left + run.DX, d.Top + run.DY, 0,
                                  std::max(GetWidth(), GetAreaWidth()), this, d.ItemNo, -run.DX,
                                  item.Checkpoint->RaiseEvent, GetControl());
            run.LastStyle = -1;
        }
        bool lines = run.Lines && GetItemBiDiMode(d.ItemNo) == rvbdUnspecified;
        int styleNo = GetItemStyle(d.ItemNo);
        int x = d.Left + run.DX, y = d.Top + run.DY;
        if (styleNo < 0) {
            bool selected = (StateBits & rvstCompletelySelected) ||
                            (hasSelection && k >= startNo && k <= endNo && !(k == endNo && endOffs == 0) &&
                             !(k == startNo && startOffs == 1));
            TRVItemDrawStates state = baseItemState;
            if (selected) state |= rvidsSelected;
            if (&item == ActiveItem) state |= rvidsCurrent;
            if ((StateBits & rvstDrawHover) && item.JumpID == HoverJumpNo &&
                item.GetBoolValueEx(iqxHyperlink, style))
                state |= rvidsHover;
            if (GetParaBiDiMode(item.ParaNo) == rvbdRightToLeft) state |= rvidsRTL;
            if (item.GetBoolValue(iqFullLine)) {
                int right = areaRight + run.DX;
                item.PaintFullWidth(x, right, y, Canvas, state, *style, R);
            } else {
                if (lines && selected && styleNo != rvsListMarker) {
                    TColor color = run.Focused ? style->SelColor : style->InactiveSelColor;
                    if (color != clNone) {
                        Canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
                        Canvas.Brush()->SetColor(color);
                        Canvas.FillRect(Rect(x, run.BandTop, x + d.Width, run.BandBottom));
                        Canvas.Brush()->SetStyle(TBrushStyle::bsClear);
                    }
                }
                if (PrintMode && item.GetBoolValueEx(iqxPrintViaBitmap, style)) {
                    TBitmap bitmap(std::max(item.GetImageWidth(style), 1),
                                   std::max(item.GetImageHeight(style), 1));
                    if (item.PrintToBitmap(bitmap, false, rvcmColor, -1, &d, GetControl()))
                        DrawGraphicScaled(Canvas, x + item.GetHorzSpacing(), y + item.GetVertSpacing(), -1,
                                          -1, nullptr, bitmap, true);
                } else {
                    item.Paint(x, y, Canvas, state, *style, &d);
                }
            }
            if (item.GetBoolValue(iqPaintChangesFont)) run.LastStyle = -1;
        } else {
            TRVBiDiMode bidi = GetParaBiDiMode(item.ParaNo);
            if (styleNo != run.LastStyle) {
                style->ApplyStyle(Canvas, styleNo, bidi, GetFlags() & rvflCanUseCustomPPI, nullptr, false);
                run.LastStyle = styleNo;
            }
            TFontInfo& textStyle = *style->TextStyles().GetItem(styleNo);
            bool hover = textStyle.Jump && (StateBits & rvstDrawHover) && item.JumpID == HoverJumpNo;
            const WideString& text = run.Text.Get(*this, k, run.Special);
            int from = 0, to = 0; // selected characters [from, to), 1-based
            if (StateBits & rvstCompletelySelected) {
                from = 1;
                to = d.Length + 1;
            } else if (hasSelection && k >= startNo && k <= endNo) {
                from = k == startNo ? startOffs : 1;
                to = k == endNo ? std::min(endOffs, d.Length + 1) : d.Length + 1;
            }
            TRVTextPiece piece{*this,          *style,      Canvas,      k,     styleNo,
                               bidi,           run.Focused, run.Special, lines, run.BandTop,
                               run.BandBottom, run.DX,      run.DY};
            int end = int(text.size()) + 1;
            if (from >= to) {
                piece.Draw(text, 1, end, false, hover);
            } else if (from <= 1 && to >= d.Length + 1) {
                piece.Draw(text, 1, end, true, hover);
            } else {
                // Whole, then the selected part over it.
                piece.Draw(text, 1, end, false, hover);
                piece.Draw(text, std::max(from, 1), std::min(to, end), true, hover);
            }
        }
        if (run.Special && IsDrawItemLastOfItem(k) &&
            (k + 1 == count || IsFromNewLine(DrawItems[k + 1]->ItemNo))) {
            DrawLineEndMark(Canvas, k, run.LastStyle, run.DX, run.DY);
            run.LastStyle = -1;
        }
    }

    // Word painters (live spelling marks).
    for (int k = first; first >= 0 && k <= last; ++k) {
        const TRVDrawLineInfo& d = *DrawItems[k];
        TCustomRVItemInfo& item = LiveItem(d.ItemNo);
        if (!item.WordPainters || item.StyleNo < 0) continue;
        int styleNo = GetItemStyle(d.ItemNo);
        const WideString& text = run.Text.Get(*this, k, false);
        style->ApplyStyle(Canvas, styleNo, GetParaBiDiMode(item.ParaNo), GetFlags() & rvflCanUseCustomPPI,
                          nullptr, false);
        run.LastStyle = styleNo;
        for (int p = 0; p < item.WordPainters->Count(); ++p) {
            TRVWordPainter& painter = *item.WordPainters->Get(p);
            int from = std::max(painter.WordStart, d.Offs);
            int to = std::min(painter.WordStart + painter.WordLength, d.Offs + d.Length);
            if (from >= to) continue;
            int n = int(text.size());
            int a = std::clamp(from - d.Offs, 0, n), b = std::clamp(to - d.Offs, 0, n);
            int left = d.Left + d.SpaceBefore + Canvas.TextWidth(text.substr(0, std::size_t(a)));
            int right = left + Canvas.TextWidth(text.substr(std::size_t(a), std::size_t(b - a)));
            painter.Paint(Canvas,
                          Rect(left + run.DX, d.Top + run.DY, right + run.DX, d.Top + d.Height + run.DY),
                          *style, this);
        }
    }

    if (PendingCheckpoint && (options & rvoShowCheckpoints))
        style->DrawCheckpoint(Canvas, -1, DocumentHeight - GetBottomMargin() + run.DY, 0,
                              std::max(GetWidth(), GetAreaWidth()), this, -1, -run.DX,
                              PendingCheckpoint->RaiseEvent, GetControl());
    DrawAfterPaint(Canvas, run.DX, last, first, run.DY);
}

bool TCustomRVFormattedData::IsDrawItemLastOfItem(int DrawItemNo) const {
    return DrawItemNo + 1 >= DrawItems.Count() ||
           DrawItems[DrawItemNo + 1]->ItemNo != DrawItems[DrawItemNo]->ItemNo;
}

void TCustomRVFormattedData::DrawLineEndMark(TCanvas& Canvas, int DrawItemNo, int LastStyle, int DX, int DY) {
    TRVStyle& style = *GetRVStyle();
    const TRVDrawLineInfo& d = *DrawItems[DrawItemNo];
    int styleNo = LastStyle >= 0 ? LastStyle : 0;
    style.ApplyStyle(Canvas, styleNo, rvbdUnspecified, GetFlags() & rvflCanUseCustomPPI, nullptr, false);
    style.ApplyStyleColor(Canvas, styleNo, 0, false, rvcmColor);
    TFont& font = *Canvas.Font();
    if (SameText(font.Name(), "Symbol") || SameText(font.Name(), "Wingdings")) font.SetName("Arial");
    bool paraEnd = DrawItemNo + 1 >= DrawItems.Count() || IsParaStart(DrawItems[DrawItemNo + 1]->ItemNo);
    // The pilcrow, or the return arrow at a line break.
    WideString mark = paraEnd ? WideString(1, u'\u00B6') : WideString(1, u'\u21B5');
    if (!paraEnd) font.SetName("Symbol");
    TSize size = Canvas.TextExtent(mark);
    bool rtl = GetParaBiDiMode(GetItemPara(d.ItemNo)) == rvbdRightToLeft;
    int x = rtl ? d.Left - size.cx : d.Left + d.Width;
    Canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    Canvas.TextOut(x + DX, d.Top + d.Height - size.cy + DY, mark);
}

// ---------------------------------------------------------------- background

void TCustomRVFormattedData::DrawBackground(TCanvas& Canvas, const TRect& R) {
    TRVBackground* background = GetBackground();
    int ox, oy;
    GetOrigin(ox, oy);
    if (background) {
        background->Draw(Canvas, R, false, false, GetColor(), GetWidth(), GetHeight(), 0, 0, GetVOffs() + oy,
                         GetHOffs() + ox);
    } else if (GetColor() != clNone) {
        Canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        Canvas.Brush()->SetColor(GetColor());
        Canvas.FillRect(Rect(0, 0, R.Width(), R.Height()));
    }
}

void TCustomRVFormattedData::GetItemBackground(int ItemNo, TRect& R, bool& UseBitmap,
                                               std::unique_ptr<TBitmap>& Bitmap, TColor& Color,
                                               bool FromItem) {
    UseBitmap = false;
    TRVStyle* style = GetRVStyle();
    TColor paraColor = style ? style->ParaStyles().GetItem(GetItemPara(ItemNo))->Background().Color : clNone;
    if (paraColor != clNone) {
        Color = paraColor;
        return;
    }
    Color = GetColor();
    TRVBackground* background = GetBackground();
    int drawItemNo;
    if (!background || !background->HasVisibleImage() || !GetItemFirstDrawItem(ItemNo, drawItemNo)) return;
    if (FromItem) {
        const TRVDrawLineInfo& d = *DrawItems[drawItemNo];
        TCustomRVItemInfo& item = LiveItem(ItemNo);
        R = Bounds(d.Left + item.GetHorzSpacing(), d.Top + item.GetVertSpacing(), item.GetImageWidth(style),
                   item.GetImageHeight(style));
    }
    if (!Bitmap) Bitmap = std::make_unique<TBitmap>();
    Bitmap->SetSize(std::max(R.Width(), 0), std::max(R.Height(), 0));
    TCanvas& canvas = *Bitmap->Canvas();
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas.Brush()->SetColor(Color);
    canvas.FillRect(Rect(0, 0, R.Width(), R.Height()));
    TRect shifted = R;
    OffsetRect(shifted, -GetHOffs(), -GetVOffs());
    DrawBackground(canvas, shifted);
    UseBitmap = true;
}

// ---------------------------------------------------------------- invalidation

void TCustomRVFormattedData::InvalidateDrawItem(int DrawItemNo, int Margin) {
    if (DrawItemNo < 0 || DrawItemNo >= DrawItems.Count()) return;
    const TRVDrawLineInfo& d = *DrawItems[DrawItemNo];
    TRect r = Bounds(d.Left - GetHOffs(), d.Top - GetVOffs(), d.Width, d.Height);
    InflateRect(r, Margin, Margin);
    InvalidateRectOnControl(r);
}

void TCustomRVFormattedData::InvalidateJump(int JumpNo) {
    TRVStyle* style = GetRVStyle();
    if (style && style->FullRedraw) {
        InvalidateControl();
    } else {
        for (const auto& jump : Jumps)
            if (jump->JumpNo == JumpNo) {
                TRect r = Bounds(jump->Left - GetHOffs(), jump->Top - GetVOffs(), jump->Width, jump->Height);
                InflateRect(r, 5, 5);
                InvalidateRectOnControl(r);
            }
    }
    UpdateControl();
}

void TCustomRVFormattedData::InvalidateHoveredJump() {
    if (!HoverJumpData) return;
    TCustomRVFormattedData* data = HoverJumpData;
    int jump = data->HoverJumpNo;
    data->StateBits &= ~TRVDataStates(rvstDrawHover);
    data->HoverJumpNo = -1;
    HoverJumpData = nullptr;
    if (jump >= 0) data->InvalidateJump(jump);
}
