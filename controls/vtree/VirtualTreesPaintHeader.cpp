// Painting of the header: the strip, one button per visible column in four
// styles, the column image, the caption, the sort glyph and the drop mark,
// with the owner's drawing; and the text routines the tree shares
// (shortening with an ellipsis, wide text drawing with DrawText flags).
#include <algorithm>

#include "controls/vtree/VirtualTrees.h"
#include "controls/vtree/VirtualTrees_p.h"
#include "platform/canvas/Graphics.h"
#include "platform/gui/ImgList.h"
#include "platform/rtl/ScopeGuard.h"

namespace {

constexpr unsigned BF_SOFT = 0x1000;
constexpr unsigned BF_FLAT = 0x4000;

const WideString Ellipsis = u"...";

bool IsLowSurrogate(char16_t C) {
    return C >= 0xDC00 && C <= 0xDFFF;
}

// Marks that join the character before them.
bool IsCombining(char16_t C) {
    return (C >= 0x0300 && C <= 0x036F) || (C >= 0x0483 && C <= 0x0489) || (C >= 0x1AB0 && C <= 0x1AFF) ||
           (C >= 0x1DC0 && C <= 0x1DFF) || (C >= 0x20D0 && C <= 0x20FF) || (C >= 0xFE20 && C <= 0xFE2F) ||
           C == 0x200D || (C >= 0xFE00 && C <= 0xFE0F);
}

// A prefix of Length units that ends between whole characters.
bool IsCharacterBoundary(const WideString& Text, size_t Length) {
    if (Length == 0 || Length >= Text.size()) return true;
    const char16_t next = Text[Length];
    return !IsLowSurrogate(next) && !IsCombining(next);
}

void ApplyHeaderFont(TFont* Font, const TVTHeaderFont& HeaderFont) {
    Font->SetName(HeaderFont.Name);
    Font->SetHeight(HeaderFont.Height);
    Font->SetStyle(HeaderFont.Style);
    Font->SetColor(HeaderFont.Color);
}

} // namespace

// ---- Text routines -----------------------------------------------------------------------

WideString ShortenText(TCanvas* Canvas, const WideString& Text, int Width, int EllipsisWidth) {
    if (Text.empty() || Width <= 0) return WideString();
    if (EllipsisWidth == 0) EllipsisWidth = Canvas->TextWidth(Ellipsis);
    if (EllipsisWidth >= Width) return WideString();
    // Width up to and including every unit, so one measure serves the search.
    int fit = 0;
    std::vector<int> extents;
    Canvas->TextExtentEx(Text, INT32_MAX, fit, &extents);
    auto widthOf = [&](size_t n) { return n == 0 ? 0 : extents[n - 1]; };
    size_t low = 0, high = Text.size() - 1;
    while (low < high) {
        const size_t mid = (low + high + 1) / 2;
        if (Width < widthOf(mid) + EllipsisWidth)
            high = mid - 1;
        else
            low = mid;
    }
    // Never cut inside a surrogate pair or before a combining mark.
    while (low > 0 && !IsCharacterBoundary(Text, low))
        --low;
    return Text.substr(0, low) + Ellipsis;
}

namespace {

// The text broken into lines: at line breaks, and with WordBreak at spaces
// so that each line fits into Width.
std::vector<WideString> BreakLines(TCanvas* Canvas, const WideString& Text, bool WordBreak, int Width) {
    std::vector<WideString> pieces;
    size_t start = 0;
    for (size_t i = 0; i <= Text.size(); ++i) {
        const bool end = i == Text.size();
        const char16_t c = end ? 0 : Text[i];
        if (end || c == 0 || c == u'\n' || c == u'\r' || c == 0x2028) {
            pieces.push_back(Text.substr(start, i - start));
            if (end || c == 0) break;
            if ((c == u'\r' || c == 0x2028) && i + 1 < Text.size() && Text[i + 1] == u'\n') ++i;
            start = i + 1;
        }
    }
    if (!WordBreak) return pieces;
    std::vector<WideString> lines;
    for (const WideString& piece : pieces) {
        WideString line;
        size_t pos = 0;
        if (piece.empty()) lines.push_back(piece);
        while (pos < piece.size()) {
            size_t wordEnd = piece.find(u' ', pos);
            if (wordEnd == WideString::npos) wordEnd = piece.size();
            WideString word = piece.substr(pos, wordEnd - pos);
            WideString candidate = line.empty() ? word : line + u" " + word;
            if (!line.empty() && Canvas->TextWidth(candidate) > Width) {
                lines.push_back(line);
                line = word;
            } else {
                line = candidate;
            }
            pos = wordEnd + 1;
            if (wordEnd == piece.size()) break;
        }
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

} // namespace

int DrawWideText(TCanvas* Canvas, const WideString& Text, bool AdjustRight, unsigned Format, TRect& R) {
    const int lineHeight = Canvas->TextMetrics().tmHeight;
    const bool calc = Format & DT_CALCRECT;
    const bool single = Format & DT_SINGLELINE;
    std::vector<WideString> lines =
        single ? std::vector<WideString>{Text} : BreakLines(Canvas, Text, Format & DT_WORDBREAK, R.Width());
    if (calc) {
        int widest = 0;
        for (const WideString& line : lines)
            widest = std::max(widest, Canvas->TextWidth(line));
        R.Bottom = R.Top + lineHeight * int(lines.size());
        if (AdjustRight || (Format & DT_WORDBREAK) == 0) R.Right = R.Left + widest;
        return R.Height();
    }
    int y = R.Top;
    if (single && (Format & DT_VCENTER)) y = (R.Top + R.Bottom - lineHeight) / 2;
    for (const WideString& line : lines) {
        if (!single && y >= R.Bottom) break;
        const int width = Canvas->TextWidth(line);
        int x = R.Left;
        if (Format & DT_RIGHT)
            x = R.Right - width;
        else if (Format & DT_CENTER)
            x = (R.Left + R.Right - width) / 2;
        if (Format & DT_NOCLIP)
            Canvas->TextOut(x, y, line);
        else
            Canvas->TextRect(R, x, y, line);
        y += lineHeight;
    }
    return y - R.Top;
}

// ---- Header ------------------------------------------------------------------------------

void TBaseVirtualTree::DrawXPStyleButton(TCanvas* Canvas, const TRect& R, bool DrawSplitter, bool Pressed,
                                         bool Hot) {
    const TColor pressedFill = RGB(222, 223, 216), hotFill = RGB(250, 248, 243),
                 normalFill = RGB(235, 234, 219);
    const TColor fill = Pressed ? pressedFill : Hot ? hotFill : normalFill;
    Canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
    Canvas->Brush()->SetColor(fill);
    Canvas->FillRect(R);
    auto line = [&](TColor C, std::vector<TPoint> Points) {
        Canvas->Pen()->SetStyle(TPenStyle::psSolid);
        Canvas->Pen()->SetWidth(1);
        Canvas->Pen()->SetColor(C);
        Canvas->Polyline(Points);
    };
    if (DrawSplitter && !Pressed && !Hot) {
        Canvas->Brush()->SetColor(RGB(199, 197, 178));
        Canvas->FillRect(TRect{R.Right - 2, R.Top + 3, R.Right - 1, R.Bottom - 5});
        Canvas->Brush()->SetColor(RGB(255, 255, 255));
        Canvas->FillRect(TRect{R.Right - 1, R.Top + 3, R.Right, R.Bottom - 5});
    }
    if (Pressed) {
        line(
            RGB(165, 165, 151),
            {{R.Left, R.Top}, {R.Left, R.Bottom - 1}, {R.Right - 1, R.Bottom - 1}, {R.Right - 1, R.Top - 1}});
        line(RGB(193, 194, 184), {{R.Left + 1, R.Bottom - 2}, {R.Left + 1, R.Top}, {R.Right - 1, R.Top}});
        line(RGB(208, 209, 201),
             {{R.Left + 2, R.Bottom - 2}, {R.Left + 2, R.Top + 1}, {R.Right - 1, R.Top + 1}});
    } else if (Hot) {
        TCustomImageList* utility = UtilityImages();
        const int y = R.Bottom - 3;
        if (R.Width() > 32) {
            utility->Draw(Canvas, R.Left, y, VTUtility::HotBarLeft);
            for (int x = R.Left + 16; x + 16 < R.Right; x += 16)
                utility->Draw(Canvas, x, y, VTUtility::HotBarMiddle);
            utility->Draw(Canvas, R.Right - 16, y, VTUtility::HotBarRight);
        } else {
            utility->Draw(Canvas, R.Right - 16, y, VTUtility::HotBarRight);
            Canvas->SaveState();
            Canvas->IntersectClipRect(TRect{R.Left, y, R.Left + R.Width() / 2, R.Bottom});
            utility->Draw(Canvas, R.Left, y, VTUtility::HotBarLeft);
            Canvas->RestoreState();
        }
    } else {
        const TColor bottom = RGB(203, 199, 184);
        auto step = [&](int f, int b) {
            const double d = (f - b) / 3.0;
            return int(d >= 0 ? d + 0.5 : d - 0.5);
        };
        const int sr = step(GetRValue(fill), GetRValue(bottom)),
                  sg = step(GetGValue(fill), GetGValue(bottom)),
                  sb = step(GetBValue(fill), GetBValue(bottom));
        const TColor first = RGB(GetRValue(fill) - sr, GetGValue(fill) - sg, GetBValue(fill) - sb);
        const TColor second =
            RGB(GetRValue(fill) - 2 * sr, GetGValue(fill) - 2 * sg, GetBValue(fill) - 2 * sb);
        Canvas->Brush()->SetColor(first);
        Canvas->FillRect(TRect{R.Left, R.Bottom - 3, R.Right, R.Bottom - 2});
        Canvas->Brush()->SetColor(second);
        Canvas->FillRect(TRect{R.Left, R.Bottom - 2, R.Right, R.Bottom - 1});
        Canvas->Brush()->SetColor(bottom);
        Canvas->FillRect(TRect{R.Left, R.Bottom - 1, R.Right, R.Bottom});
    }
}

void TBaseVirtualTree::DrawCaptionText(TCanvas* Canvas, const WideString& Caption, const TRect& Bounds,
                                       bool Enabled, bool Hot, unsigned Format) {
    WideString text = Caption;
    if (Canvas->TextWidth(text) > Bounds.Width()) text = ShortenText(Canvas, text, Bounds.Width(), 0);
    TRect r = Bounds;
    // The caption lies on the header's own background, whatever brush
    // painted it.
    Canvas->Brush()->SetStyle(TBrushStyle::bsClear);
    if (Enabled) {
        Canvas->Font()->SetColor(Hot ? FColors->HeaderHotColor() : FHeader->Font().Color);
        DrawWideText(Canvas, text, false, Format, r);
    } else {
        OffsetRect(r, 1, 1);
        Canvas->Font()->SetColor(clBtnHighlight);
        DrawWideText(Canvas, text, false, Format, r);
        r = Bounds;
        Canvas->Font()->SetColor(clBtnShadow);
        DrawWideText(Canvas, text, false, Format, r);
    }
}

void TBaseVirtualTree::ComputeCaptionLayout(TVirtualTreeColumn* Column, TCanvas* Canvas, const TRect& Client,
                                            bool UseImage, bool UseSortGlyph, TPoint& ImagePos,
                                            TPoint& SortGlyphPos, TRect& TextBounds) {
    const WideString& caption = Column->Text();
    if (caption.empty() && !UseImage && !UseSortGlyph) return;
    const int W = Client.Width(), H = Client.Height();
    TCustomImageList* images = FHeader->Images();
    const int imageW = UseImage && images ? images->Width() : 0;
    const int imageH = UseImage && images ? images->Height() : 0;
    TCustomImageList* utility = UtilityImages();
    const int sortW = UseSortGlyph ? utility->Width() : 0;
    const int sortH = UseSortGlyph ? utility->Height() : 0;
    const int spacing = Column->Spacing(), margin = Column->Margin();
    SortGlyphPos = {0, (H - sortH) / 2};
    ImagePos = {0, 0};
    int textW = 0, textH = 0, textSpacing = 0;
    if (!caption.empty()) {
        TSize extent = Canvas->TextExtent(caption);
        textW = extent.cx + 2;
        textH = extent.cy;
        textSpacing = spacing;
    }
    TextBounds = TRect{0, 0, textW, textH};
    const bool rtl = Column->BiDiMode() != bdLeftToRight;
    TAlignment alignment = Column->Alignment();
    if (rtl && alignment != taCenter) alignment = alignment == taLeftJustify ? taRightJustify : taLeftJustify;
    const TVTHeaderColumnLayout layout = Column->Layout();
    const bool side = layout == blGlyphLeft || layout == blGlyphRight;
    auto placeText = [&](int X, int Y) { TextBounds = TRect{X, Y, X + textW, Y + textH}; };

    if (UseSortGlyph && !UseImage && caption.empty()) {
        SortGlyphPos = {(W - sortW) / 2, (H - sortH) / 2};
    } else {
        int textY = (H - textH) / 2;
        if (layout == blGlyphTop && imageW > 0) {
            ImagePos.Y = (H - imageH - textH - textSpacing) / 2;
            textY = ImagePos.Y + imageH + textSpacing;
        } else if (layout == blGlyphBottom && imageW > 0) {
            textY = (H - imageH - textH - textSpacing) / 2;
            ImagePos.Y = textY + textH + textSpacing;
        } else {
            ImagePos.Y = (H - imageH) / 2;
        }
        placeText(0, textY);
        switch (alignment) {
        case taLeftJustify: {
            int edge = margin;
            if (rtl && UseSortGlyph) {
                SortGlyphPos.X = edge;
                edge += sortW + spacing;
            }
            if (side) {
                if (layout == blGlyphLeft && imageW > 0) {
                    ImagePos.X = edge;
                    edge += imageW + spacing;
                }
                placeText(edge, textY);
                edge += textW + textSpacing;
                if (layout == blGlyphRight && imageW > 0) {
                    ImagePos.X = edge;
                    edge += imageW + spacing;
                }
            } else {
                placeText(edge, textY);
                ImagePos.X = std::max((W - imageW) / 2, edge);
                edge = std::max(ImagePos.X + imageW + spacing, TextBounds.Right + textSpacing);
            }
            if (!rtl && UseSortGlyph) SortGlyphPos.X = edge;
            break;
        }
        case taCenter: {
            if (side) {
                const int x = (W - imageW - textSpacing - textW) / 2;
                if (layout == blGlyphLeft) {
                    ImagePos.X = x;
                    placeText(x + imageW + textSpacing, textY);
                } else {
                    placeText(x, textY);
                    ImagePos.X = x + textW + textSpacing;
                }
            } else {
                ImagePos.X = (W - imageW) / 2;
                placeText((W - textW) / 2 - (UseSortGlyph ? sortW / 2 : 0), textY);
            }
            if (UseSortGlyph) {
                if (rtl)
                    SortGlyphPos.X =
                        std::min(imageW > 0 ? ImagePos.X : INT32_MAX, TextBounds.Left) - spacing - sortW;
                else
                    SortGlyphPos.X =
                        std::max(imageW > 0 ? ImagePos.X + imageW : INT32_MIN, TextBounds.Right) + spacing;
            }
            break;
        }
        case taRightJustify: {
            int edge = W - margin;
            if (!rtl && UseSortGlyph) {
                SortGlyphPos.X = edge - sortW;
                edge -= sortW + spacing;
            }
            if (side) {
                if (layout == blGlyphRight && imageW > 0) {
                    ImagePos.X = edge - imageW;
                    edge -= imageW + spacing;
                }
                placeText(edge - textW, textY);
                edge -= textW + textSpacing;
                if (layout == blGlyphLeft && imageW > 0) {
                    ImagePos.X = edge - imageW;
                    edge -= imageW + spacing;
                }
            } else {
                placeText(edge - textW, textY);
                ImagePos.X = std::min((W - imageW) / 2, edge - spacing - imageW);
                edge = std::min(TextBounds.Left - textSpacing, ImagePos.X - spacing);
            }
            if (rtl && UseSortGlyph) SortGlyphPos.X = edge - sortW;
            break;
        }
        }
    }
    // Final limits.
    int L = margin, Rt = W - margin;
    if (UseSortGlyph) {
        if (!rtl) {
            if (SortGlyphPos.X + sortW > Rt) SortGlyphPos.X = Rt - sortW;
            Rt = SortGlyphPos.X - spacing;
        }
        SortGlyphPos.X = std::max(SortGlyphPos.X, L);
        if (rtl) L = SortGlyphPos.X + sortW + spacing;
    }
    if (imageW > 0) {
        if (ImagePos.X + imageW > Rt) ImagePos.X = Rt - imageW;
        if (layout == blGlyphRight) Rt = ImagePos.X - spacing;
        ImagePos.X = std::max(ImagePos.X, L);
        if (layout == blGlyphLeft) L = ImagePos.X + imageW + spacing;
    }
    if (TextBounds.Left < L) OffsetRect(TextBounds, L - TextBounds.Left, 0);
    TextBounds.Right = std::min(TextBounds.Right, Rt);
    OffsetRect(TextBounds, Client.Left, Client.Top);
    ImagePos.X += Client.Left;
    ImagePos.Y += Client.Top;
    SortGlyphPos.X += Client.Left;
    SortGlyphPos.Y += Client.Top;
}

void TBaseVirtualTree::DrawHeader(TCanvas* Canvas, const TRect& R, int HorizontalOffset) {
    const TVTHeaderOptions options = FHeader->Options();
    TVirtualTreeColumns* columns = FHeader->Columns();
    const int headerHeight = int(FHeader->Height());
    const TRect headerRect{0, 0, FView->ClientWidth() > 0 ? FView->ClientWidth() : R.Right, headerHeight};
    const bool ownerDraw = options.Contains(hoOwnerDraw);
    const bool advanced = ownerDraw && OnAdvancedHeaderDraw && OnHeaderDrawQueryElements;
    const bool simple = ownerDraw && OnHeaderDraw && !advanced;

    TBitmap bitmap(std::max(R.Width(), headerRect.Right), headerRect.Bottom);
    TCanvas* canvas = bitmap.Canvas();
    canvas->SetPixelsPerInch(Canvas->PixelsPerInch());
    ApplyHeaderFont(canvas->Font(), FHeader->Font());
    if (UseRightToLeftAlignment()) HorizontalOffset += ComputeRTLOffset(false);

    THeaderPaintInfo info;
    info.TargetCanvas = canvas;
    THeaderPaintElements elements;
    if (advanced) {
        info.PaintRectangle = R;
        DoHeaderDrawQueryElements(info, elements);
    }
    if (advanced && elements.Contains(hpeBackground)) {
        DoAdvancedHeaderDraw(info, {hpeBackground});
    } else if (FHeader->Style() == hsXPStyle) {
        DrawXPStyleButton(canvas, headerRect, false, false, false);
    } else {
        canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
        canvas->Brush()->SetColor(FHeader->Background());
        canvas->FillRect(R);
    }

    const bool headerRightBorder = !(FHeader->Style() != hsThickButtons && options.Contains(hoAutoResize));
    TColumnsArray visible = columns->GetVisibleColumns();
    TRect run{headerRect.Left, R.Top, headerRect.Left, R.Bottom};
    TRect clip = run;
    TCustomImageList* utility = UtilityImages();
    for (size_t i = 0; i < visible.size(); ++i) {
        TVirtualTreeColumn* column = visible[i];
        if (!column->Options().Contains(coFixed)) {
            run.Right += HorizontalOffset;
            HorizontalOffset = 0;
        }
        clip = TRect{clip.Right, R.Top, std::max(run.Right + column->Width(), clip.Right), R.Bottom};
        run.Left = run.Right;
        run.Right += column->Width();
        if (run.Right <= R.Left || run.Right <= clip.Left) continue;
        if (R.Right < run.Left) break;
        TRect c;
        IntersectRect(c, clip, R);
        canvas->SaveState();
        canvas->IntersectClipRect(c);
        const TColumnIndex index = column->Index();
        const bool showRightBorder = headerRightBorder || i + 1 < visible.size();
        info = THeaderPaintInfo{};
        info.TargetCanvas = canvas;
        info.Column = column;
        info.IsHoverIndex = index == columns->HoverIndex && options.Contains(hoHotTrack) &&
                            column->Options().Contains(coEnabled);
        info.IsDownIndex = index == columns->DownIndex;
        if (column->Options().Contains(coShowDropMark) && index == columns->DropTarget &&
            index != columns->DragIndex)
            info.DropMark = columns->DropBefore ? dmmLeft : dmmRight;
        info.IsEnabled = column->Options().Contains(coEnabled) && Enabled();
        info.ShowHeaderGlyph =
            options.Contains(hoShowImages) && FHeader->Images() && column->ImageIndex() >= 0;
        info.ShowSortGlyph = index == FHeader->SortColumn() && options.Contains(hoShowSortGlyphs);
        info.ShowRightBorder = showRightBorder;
        info.PaintRectangle = run;
        THeaderPaintElements own;
        if (column->Style() == vsText || !simple || advanced) {
            if (advanced) DoHeaderDrawQueryElements(info, own);
            TRect button = run;
            if (advanced && own.Contains(hpeBackground)) {
                DoAdvancedHeaderDraw(info, {hpeBackground});
            } else if (FHeader->Style() == hsXPStyle) {
                DrawXPStyleButton(canvas, button, showRightBorder, info.IsDownIndex, info.IsHoverIndex);
            } else {
                canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
                canvas->Brush()->SetColor(FHeader->Background());
                canvas->FillRect(button);
                unsigned edge = 0, flags = 0;
                const unsigned right = showRightBorder ? BF_RIGHT : 0;
                switch (FHeader->Style()) {
                case hsThickButtons:
                    edge = EDGE_RAISED;
                    flags = info.IsDownIndex
                                ? BF_RECT | BF_MIDDLE | BF_SOFT | BF_ADJUST | BF_FLAT
                                : BF_LEFT | BF_TOP | BF_BOTTOM | BF_MIDDLE | BF_SOFT | BF_ADJUST | right;
                    break;
                case hsFlatButtons:
                    edge = info.IsDownIndex ? BDR_SUNKENOUTER : BDR_RAISEDINNER;
                    flags = info.IsDownIndex ? BF_RECT | BF_MIDDLE | BF_ADJUST
                                             : BF_LEFT | BF_TOP | BF_BOTTOM | BF_MIDDLE | BF_ADJUST | right;
                    break;
                default: // plates
                    if (info.IsDownIndex) {
                        edge = BDR_SUNKENOUTER;
                        flags = BF_RECT | BF_MIDDLE | BF_ADJUST;
                    } else if (info.IsHoverIndex && column->Options().Contains(coAllowClick) &&
                               info.IsEnabled) {
                        edge = BDR_RAISEDINNER;
                        flags = BF_LEFT | BF_TOP | BF_BOTTOM | BF_MIDDLE | BF_ADJUST | right;
                    } else {
                        edge = BDR_RAISEDINNER;
                        flags = BF_RECT | BF_MIDDLE | BF_SOFT | BF_ADJUST;
                    }
                    break;
                }
                canvas->DrawEdge(button, edge, flags);
            }
        }
        if (column->Style() == vsOwnerDraw && simple) {
            DoHeaderDraw(canvas, column, run, info.IsHoverIndex, info.IsDownIndex, info.DropMark);
        } else {
            TRect content = run;
            InflateRect(content, -2, -2);
            unsigned format = DT_NOPREFIX | DT_SINGLELINE | DT_NOCLIP;
            if (column->UsesRightToLeftReading()) format |= DT_RTLREADING;
            ComputeCaptionLayout(column, canvas, content, info.ShowHeaderGlyph, info.ShowSortGlyph,
                                 info.GlyphPos, info.SortGlyphPos, info.TextRectangle);
            if (info.IsDownIndex) {
                OffsetRect(info.TextRectangle, 1, 1);
                info.GlyphPos.X += 1, info.GlyphPos.Y += 1;
                info.SortGlyphPos.X += 1, info.SortGlyphPos.Y += 1;
            }
            info.PaintRectangle = content;
            if (info.ShowHeaderGlyph && !own.Contains(hpeHeaderGlyph) &&
                (column->UsesRightToLeftReading() || !info.ShowSortGlyph ||
                 info.SortGlyphPos.X >= info.GlyphPos.X + FHeader->Images()->Width()))
                FHeader->Images()->Draw(canvas, info.GlyphPos.X, info.GlyphPos.Y, column->ImageIndex(),
                                        info.IsEnabled);
            if (!column->Text().empty() && !own.Contains(hpeText))
                DrawCaptionText(canvas, column->Text(), info.TextRectangle, info.IsEnabled,
                                info.IsHoverIndex && options.Contains(hoHotTrack), format);
            if (info.ShowSortGlyph && !own.Contains(hpeSortGlyph)) {
                const bool ascending = FHeader->SortDirection() == sdAscending;
                utility->Draw(canvas, info.SortGlyphPos.X, info.SortGlyphPos.Y,
                              ascending ? VTUtility::SortAscending : VTUtility::SortDescending);
            }
            if (info.DropMark != dmmNone && !own.Contains(hpeDropMark)) {
                const int y = (content.Top + content.Bottom - utility->Height()) / 2;
                if (info.DropMark == dmmLeft)
                    utility->Draw(canvas, content.Left, y, VTUtility::DropMarkLeft);
                else
                    utility->Draw(canvas, content.Right - 16, y, VTUtility::DropMarkRight);
            }
            THeaderPaintElements content4 = own - THeaderPaintElements{hpeBackground};
            if (!content4.Empty()) {
                canvas->SaveState();
                TScopeGuard restore([canvas] { canvas->RestoreState(); });
                DoAdvancedHeaderDraw(info, content4);
            }
        }
        canvas->RestoreState();
    }
    Canvas->DrawBitmapPart(R, &bitmap, R);
}
