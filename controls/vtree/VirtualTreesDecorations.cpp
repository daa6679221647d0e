// The marks inside a node line: tree lines and the line image, expand
// buttons, images with overlays and ghosting, check boxes, the cell
// background with selection and focus rectangle, the rubber band, the drop
// mark, grid-line primitives and background pictures.
#include <algorithm>

#include "controls/vtree/VirtualTrees.h"
#include "controls/vtree/VirtualTrees_p.h"
#include "platform/canvas/Graphics.h"
#include "platform/gui/ImgList.h"

namespace {

constexpr TColor Magenta = RGB(255, 0, 255);

void FillMagenta(TBitmap& B) {
    TCanvas* c = B.Canvas();
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
    c->Brush()->SetColor(Magenta);
    c->FillRect(TRect{0, 0, B.Width(), B.Height()});
}

int MulDivRound(int A, int B, int C) {
    if (C == 0) return -1;
    int64_t p = int64_t(A) * B;
    int64_t q = (p >= 0 ? p + C / 2 : p - C / 2) / C;
    return int(q);
}

} // namespace

// ---- Properties --------------------------------------------------------------------------

void TBaseVirtualTree::SetLineMode(TVTLineMode Value) {
    if (Value == FLineMode) return;
    FLineMode = Value;
    if (HandleAllocated() && !IsLoading()) FView->Invalidate();
}

void TBaseVirtualTree::SetLineStyle(TVTLineStyle Value) {
    if (Value == FLineStyle) return;
    FLineStyle = Value;
    if (!IsLoading()) {
        PrepareButtonBitmaps(false, true);
        if (HandleAllocated()) FView->Invalidate();
    }
}

void TBaseVirtualTree::SetButtonStyle(TVTButtonStyle Value) {
    if (Value == FButtonStyle) return;
    FButtonStyle = Value;
    if (!IsLoading()) {
        PrepareButtonBitmaps(true, false);
        if (HandleAllocated()) FView->Invalidate();
    }
}

void TBaseVirtualTree::SetButtonFillMode(TVTButtonFillMode Value) {
    if (Value == FButtonFillMode) return;
    FButtonFillMode = Value;
    if (!IsLoading()) {
        PrepareButtonBitmaps(true, false);
        if (HandleAllocated()) FView->Invalidate();
    }
}

void TBaseVirtualTree::SetBackground(TBitmap* Value) {
    if (!Value || Value->Empty())
        FBackground.reset();
    else {
        if (!FBackground) FBackground = std::make_unique<TBitmap>();
        FBackground->Assign(Value);
    }
    if (HandleAllocated() && !IsLoading()) FView->Invalidate();
}

// ---- Buttons and the line pattern --------------------------------------------------------

void TBaseVirtualTree::PrepareButtonBitmaps(bool NeedButtons, bool NeedLines) {
    if (NeedButtons) {
        if (!FPlusBM) FPlusBM = std::make_unique<TBitmap>();
        if (!FMinusBM) FMinusBM = std::make_unique<TBitmap>();
        for (TBitmap* b : {FPlusBM.get(), FMinusBM.get()}) {
            b->SetSize(9, 9);
            b->Transparent = true;
            b->TransparentMode = TTransparentMode::tmFixed;
            b->TransparentColorValue = Magenta;
            FillMagenta(*b);
        }
        if (FButtonStyle == bsTriangle) {
            auto triangle = [](TBitmap* b, std::vector<TPoint> points) {
                TCanvas* c = b->Canvas();
                c->Brush()->SetColor(clBlack);
                c->Pen()->SetColor(clBlack);
                // Filled row by row so that every canvas draws the same pixels.
                int top = std::min({points[0].Y, points[1].Y, points[2].Y});
                int bottom = std::max({points[0].Y, points[1].Y, points[2].Y});
                for (int y = top; y <= bottom; ++y) {
                    int l = INT32_MAX, r = INT32_MIN;
                    for (int i = 0; i < 3; ++i) {
                        TPoint a = points[size_t(i)], z = points[size_t((i + 1) % 3)];
                        if ((y < std::min(a.Y, z.Y)) || (y > std::max(a.Y, z.Y))) continue;
                        int x = a.Y == z.Y ? std::min(a.X, z.X) : a.X + (z.X - a.X) * (y - a.Y) / (z.Y - a.Y);
                        int x2 = a.Y == z.Y ? std::max(a.X, z.X) : x;
                        l = std::min(l, x);
                        r = std::max(r, x2);
                    }
                    if (l <= r) c->FillRect(TRect{l, y, r + 1, y + 1});
                }
            };
            triangle(FMinusBM.get(), {{0, 2}, {8, 2}, {4, 6}});
            triangle(FPlusBM.get(), {{2, 0}, {6, 4}, {2, 8}});
        } else if (FButtonFillMode == fmShaded) {
            // Soft shaded squares.
            for (TBitmap* b : {FPlusBM.get(), FMinusBM.get()}) {
                TCanvas* c = b->Canvas();
                for (int y = 0; y < 9; ++y) {
                    int v = 255 - y * 6;
                    c->Brush()->SetColor(RGB(v, v, v));
                    c->FillRect(TRect{0, y, 9, y + 1});
                }
                c->Brush()->SetColor(RGB(120, 135, 160));
                c->FrameRect(TRect{0, 0, 9, 9});
            }
        } else {
            for (TBitmap* b : {FPlusBM.get(), FMinusBM.get()}) {
                TCanvas* c = b->Canvas();
                if (FButtonFillMode == fmTreeColor)
                    c->Brush()->SetColor(FColor);
                else if (FButtonFillMode == fmWindowColor)
                    c->Brush()->SetColor(clWindow);
                else
                    c->Brush()->SetColor(Magenta);
                c->Pen()->SetColor(FColors->TreeLineColor());
                c->Rectangle(TRect{0, 0, 9, 9});
            }
        }
        if (FButtonStyle == bsRectangle && FButtonFillMode != fmShaded) {
            const int w = 9;
            for (TBitmap* b : {FPlusBM.get(), FMinusBM.get()}) {
                TCanvas* c = b->Canvas();
                c->Brush()->SetColor(Font()->Color());
                c->FillRect(TRect{2, w / 2, w - 2, w / 2 + 1});
                if (b == FPlusBM.get()) c->FillRect(TRect{w / 2, 2, w / 2 + 1, w - 2});
            }
        } else if (FButtonFillMode == fmShaded) {
            for (TBitmap* b : {FPlusBM.get(), FMinusBM.get()}) {
                TCanvas* c = b->Canvas();
                c->Brush()->SetColor(clBlack);
                c->FillRect(TRect{2, 4, 7, 5});
                if (b == FPlusBM.get()) c->FillRect(TRect{4, 2, 5, 7});
            }
        }
    }
    if (NeedLines) {
        switch (FLineStyle) {
        case lsSolid:
            FLinePattern.assign(8, 0);
            break;
        case lsDotted:
            FLinePattern = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
            break;
        case lsCustomStyle:
            FLinePattern = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
            DoGetLineStyle(FLinePattern);
            FLinePattern.resize(8, 0);
            break;
        }
        FDottedBrush.reset();
    }
}

// ---- Lines -------------------------------------------------------------------------------

void TBaseVirtualTree::DrawDottedHLine(const TVTPaintInfo& PaintInfo, int Left, int Right, int Top) {
    if (FLinePattern.empty()) PrepareButtonBitmaps(false, true);
    TCanvas* canvas = PaintInfo.Canvas;
    const TColor fg = canvas->Font()->Color();
    const TColor bg = FColor;
    if (!FDottedBrush || fg != FDottedForeground || bg != FDottedBackground) {
        FDottedBrush = std::make_unique<TBitmap>(8, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                FDottedBrush->SetPixel(x, y, (FLinePattern[size_t(y)] >> x) & 1 ? bg : fg);
        FDottedForeground = fg;
        FDottedBackground = bg;
    }
    canvas->Brush()->SetBitmap(FDottedBrush.get());
    canvas->FillRect(TRect{std::min(Left, Right), Top, std::max(Left, Right) + 1, Top + 1});
    canvas->Brush()->SetBitmap(nullptr);
}

void TBaseVirtualTree::DrawDottedVLine(const TVTPaintInfo& PaintInfo, int Top, int Bottom, int Left) {
    if (FLinePattern.empty()) PrepareButtonBitmaps(false, true);
    TCanvas* canvas = PaintInfo.Canvas;
    // The horizontal form builds the brush for the colours in use.
    const TColor fg = canvas->Font()->Color();
    if (!FDottedBrush || fg != FDottedForeground || FColor != FDottedBackground) {
        DrawDottedHLine(PaintInfo, 0, -1, INT32_MIN / 2);
    }
    canvas->Brush()->SetBitmap(FDottedBrush.get());
    canvas->FillRect(TRect{Left, std::min(Top, Bottom), Left + 1, std::max(Top, Bottom) + 1});
    canvas->Brush()->SetBitmap(nullptr);
}

int TBaseVirtualTree::ComputeLineImage(PVirtualNode Node, TLineImage& LineImage) {
    const TVTPaintOptions paint = FOptions->PaintOptions();
    const bool showRoot = paint.Contains(toShowRoot);
    int levels = 0, selected = 0;
    for (PVirtualNode run = Node->Parent; run && run != FRoot; run = run->Parent) {
        ++levels;
        if (run->States.Contains(vsSelected)) ++selected;
    }
    if (showRoot) ++levels;
    LineImage.assign(size_t(levels), ltNone);
    if (!paint.Contains(toShowTreeLines) || levels == 0) return selected;
    if (Node->Parent != FRoot) {
        LineImage[size_t(levels - 1)] = GetNextVisibleSiblingNoInit(Node) ? ltTopDownRight : ltTopRight;
        int index = levels - 2;
        for (PVirtualNode run = Node->Parent; run->Parent != FRoot && index >= 0; run = run->Parent, --index)
            LineImage[size_t(index)] = GetNextVisibleSiblingNoInit(run) ? ltTopDown : ltNone;
    }
    if (showRoot) {
        if (Node->Parent == FRoot) {
            const bool firstVisible = !GetPreviousVisibleSiblingNoInit(Node);
            const bool lastVisible = !GetNextVisibleSiblingNoInit(Node);
            LineImage[0] = firstVisible && lastVisible ? ltRight
                           : lastVisible               ? ltTopRight
                           : firstVisible              ? ltBottomRight
                                                       : ltTopDownRight;
        } else {
            PVirtualNode top = Node;
            while (top->Parent != FRoot)
                top = top->Parent;
            LineImage[0] = GetNextVisibleSiblingNoInit(top) ? ltTopDown : ltNone;
        }
    }
    return selected;
}

void TBaseVirtualTree::DrawLineSegment(const TVTPaintInfo& PaintInfo, int X, int Top, int Height,
                                       int VAlignment, TVTLineType LineType, bool Reverse) {
    const int indent = int(FIndent);
    const int xm = X + indent / 2;
    const int farEnd = Reverse ? X : X + indent;
    const int bottom = Top + Height;
    auto h = [&](int Y) { DrawDottedHLine(PaintInfo, xm, farEnd, Y); };
    auto v = [&](int XX, int T, int B) { DrawDottedVLine(PaintInfo, T, B, XX); };
    switch (LineType) {
    case ltNone:
        break;
    case ltBottomRight:
        v(xm, Top + VAlignment, bottom);
        h(Top + VAlignment);
        break;
    case ltTopDown:
        v(xm, Top, bottom);
        break;
    case ltTopDownRight:
        v(xm, Top, bottom);
        h(Top + VAlignment);
        break;
    case ltRight:
        h(Top + VAlignment);
        break;
    case ltTopRight:
        v(xm, Top, Top + VAlignment);
        h(Top + VAlignment);
        break;
    case ltLeft:
        v(Reverse ? X + indent : X, Top, bottom);
        break;
    case ltLeftBottom:
        v(Reverse ? X + indent : X, Top, bottom);
        DrawDottedHLine(PaintInfo, X, X + indent, bottom);
        break;
    }
}

void TBaseVirtualTree::PaintTreeLines(const TVTPaintInfo& PaintInfo, int VAlignment, int IndentSize,
                                      const TLineImage& LineImage) {
    const bool rtl = PaintInfo.BidiMode != bdLeftToRight;
    const int indent = int(FIndent);
    int x = rtl ? PaintInfo.CellRect.Right - indent : PaintInfo.CellRect.Left;
    const int step = rtl ? -indent : indent;
    const int height = int(PaintInfo.Node->NodeHeight);
    const int count = std::min<int>(IndentSize, int(LineImage.size()));
    if (FLineMode == lmNormal) {
        PaintInfo.Canvas->Font()->SetColor(FColors->TreeLineColor());
        for (int i = 0; i < count; ++i, x += step)
            DrawLineSegment(PaintInfo, x, 0, height, VAlignment, LineImage[size_t(i)], rtl);
        return;
    }
    if (!PaintInfo.PaintOptions.Contains(poGridLines)) return;
    std::vector<TVTLineType> bands(size_t(count), ltNone);
    const bool expandedWithChildren =
        PaintInfo.Node->States.Contains(vsExpanded) && !PaintInfo.Node->States.Contains(vsNoVisibleChild);
    for (int i = count - 1; i >= 0; --i) {
        TVTLineType t = LineImage[size_t(i)];
        if (expandedWithChildren) {
            bands[size_t(i)] = ltLeft;
            continue;
        }
        switch (t) {
        case ltBottomRight:
        case ltTopDownRight:
        case ltRight:
        case ltTopRight:
            bands[size_t(i)] = ltLeftBottom;
            break;
        case ltNone:
        case ltTopDown:
            if (i + 1 < count &&
                (LineImage[size_t(i + 1)] == ltNone || LineImage[size_t(i + 1)] == ltTopRight))
                bands[size_t(i)] = bands[size_t(i + 1)];
            else
                bands[size_t(i)] = ltLeft;
            break;
        default:
            bands[size_t(i)] = ltNone;
        }
    }
    PaintInfo.Canvas->Font()->SetColor(FColors->GridLineColor());
    for (int i = 0; i < count; ++i, x += step)
        DrawLineSegment(PaintInfo, x, 0, height - 1, VAlignment, bands[size_t(i)], rtl);
}

void TBaseVirtualTree::ComputeVerticalAlignments(bool ShowImages, bool ShowStateImages, PVirtualNode Node,
                                                 int& VAlignment, int& ButtonTop) {
    const int height = int(Node->NodeHeight);
    const int align = Node->Align;
    if (!FPlusBM) PrepareButtonBitmaps(true, false);
    const int buttonHeight = FPlusBM->Height();
    switch (FNodeAlignment) {
    case naFromBottom:
        VAlignment = height - align;
        break;
    case naFromTop:
        VAlignment = align;
        break;
    case naProportional:
        if (ShowImages || ShowStateImages) {
            const int h = ShowImages ? FImages->Height() : FStateImages->Height();
            VAlignment = MulDivRound(height - h, align, 100) + h / 2;
        } else if (FOptions->PaintOptions().Contains(toShowButtons)) {
            VAlignment = MulDivRound(height - buttonHeight, align, 100) + buttonHeight / 2;
        } else {
            VAlignment = MulDivRound(height, align, 100);
        }
        break;
    }
    ButtonTop = VAlignment - buttonHeight / 2;
}

void TBaseVirtualTree::PaintNodeButton(TCanvas* Canvas, PVirtualNode Node, const TRect& R, int ButtonX,
                                       int ButtonY, TBiDiMode BidiMode) {
    if (!FPlusBM) PrepareButtonBitmaps(true, false);
    TBitmap* b = Node->States.Contains(vsExpanded) ? FMinusBM.get() : FPlusBM.get();
    const int x = BidiMode == bdLeftToRight ? R.Left + ButtonX : R.Right - ButtonX - b->Width();
    Canvas->DrawBitmapPart(TRect{x, R.Top + ButtonY, x + b->Width(), R.Top + ButtonY + b->Height()}, b,
                           TRect{0, 0, b->Width(), b->Height()}, Magenta);
}

// ---- Images ------------------------------------------------------------------------------

void TBaseVirtualTree::GetImageIndex(TVTPaintInfo& PaintInfo, TVTImageKind Kind, TVTImageInfoIndex Slot,
                                     TCustomImageList* DefaultImages) {
    TVTImageInfo& info = PaintInfo.ImageInfo[Slot];
    info.Index = -1;
    info.Ghosted = false;
    TCustomImageList* custom =
        DoGetImageIndex(PaintInfo.Node, Kind, PaintInfo.Column, info.Ghosted, info.Index);
    info.Images = custom ? custom : DefaultImages;
    if (!info.Images) info.Index = -1;
}

bool TBaseVirtualTree::HasImage(PVirtualNode Node, TVTImageKind Kind, TColumnIndex Column) {
    bool ghosted = false;
    int index = -1;
    DoGetImageIndex(Node, Kind, Column, ghosted, index);
    return index >= 0;
}

void TBaseVirtualTree::PlaceImage(TVTPaintInfo& PaintInfo, TVTImageInfoIndex Slot, int VAlignment) {
    TVTImageInfo& info = PaintInfo.ImageInfo[Slot];
    if (!info.Images) return;
    const int w = info.Images->Width();
    if (PaintInfo.BidiMode == bdLeftToRight) {
        info.XPos = PaintInfo.ContentRect.Left;
        PaintInfo.ContentRect.Left += w + 2;
    } else {
        info.XPos = PaintInfo.ContentRect.Right - w;
        PaintInfo.ContentRect.Right -= w + 2;
    }
    info.YPos = PaintInfo.ContentRect.Top + VAlignment - info.Images->Height() / 2;
}

void TBaseVirtualTree::IndentCoordinates(TVTPaintInfo& PaintInfo, int Levels) {
    const int shift = Levels * int(FIndent);
    const int sign = PaintInfo.BidiMode == bdLeftToRight ? 1 : -1;
    if (sign > 0)
        PaintInfo.ContentRect.Left += shift;
    else
        PaintInfo.ContentRect.Right -= shift;
    for (TVTImageInfoIndex slot : {iiNormal, iiState, iiCheck})
        PaintInfo.ImageInfo[slot].XPos += sign * shift;
}

void TBaseVirtualTree::PaintImage(TVTPaintInfo& PaintInfo, TVTImageInfoIndex Slot, bool DoOverlay) {
    TVTImageInfo& info = PaintInfo.ImageInfo[Slot];
    if (!info.Images || info.Index < 0) return;
    PVirtualNode node = PaintInfo.Node;
    const TVTPaintOptions paint = FOptions->PaintOptions();
    const bool cut = node->States.Contains(vsCutCopyMarked) && FStates.Contains(tsCutPending);
    const bool focused = FView->Focused() || paint.Contains(toGhostedIfUnfocused);
    TVTImageInfo& overlay = PaintInfo.ImageInfo[iiOverlay];
    overlay.Index = -1;
    if (DoOverlay) {
        GetImageIndex(PaintInfo, ikOverlay, iiOverlay, FImages);
        overlay.XPos = info.XPos;
        overlay.YPos = info.YPos;
    }
    const bool enabled = !node->States.Contains(vsDisabled) && Enabled();
    const bool selected = node->States.Contains(vsSelected);
    const TVTSelectionOptions sel = FOptions->SelectionOptions();
    const bool blend =
        (focused && paint.Contains(toUseBlendedImages) && info.Ghosted) ||
        (selected && !sel.Contains(toFullRowSelect) && !FOptions->MiscOptions().Contains(toGridExtensions)) ||
        cut;
    const TColor blendColor = selected && !info.Ghosted ? clHighlight : FColor;
    auto drawOne = [&](TCustomImageList* list, int index) {
        if (!blend) {
            list->Draw(PaintInfo.Canvas, info.XPos, info.YPos, index, enabled);
            return;
        }
        // Half of every opaque pixel becomes the blend colour.
        TBitmap image(list->Width(), list->Height());
        TCanvas* c = image.Canvas();
        c->Brush()->SetColor(Magenta);
        c->FillRect(TRect{0, 0, image.Width(), image.Height()});
        list->Draw(c, 0, 0, index, enabled);
        const TColor mix = ColorToRGB(blendColor);
        for (int y = 0; y < image.Height(); ++y) {
            uint32_t* row = image.ScanLine(y);
            for (int x = 0; x < image.Width(); ++x) {
                uint32_t p = row[x];
                if ((p & 0xFFFFFF) == 0xFF00FF) continue;
                int r = (int((p >> 16) & 0xFF) + GetRValue(mix)) / 2;
                int g = (int((p >> 8) & 0xFF) + GetGValue(mix)) / 2;
                int b = (int(p & 0xFF) + GetBValue(mix)) / 2;
                row[x] = 0xFF000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
            }
        }
        PaintInfo.Canvas->DrawBitmapPart(
            TRect{info.XPos, info.YPos, info.XPos + image.Width(), info.YPos + image.Height()}, &image,
            TRect{0, 0, image.Width(), image.Height()}, Magenta);
    };
    drawOne(info.Images, info.Index);
    // An overlay is drawn as an image of its own on top.
    if (overlay.Index >= 0 && overlay.Images) drawOne(overlay.Images, overlay.Index);
}

void TBaseVirtualTree::PaintCheckImage(const TVTPaintInfo& PaintInfo) {
    const TVTImageInfo& info = PaintInfo.ImageInfo[iiCheck];
    if (!info.Images || info.Index < 0) return;
    info.Images->Draw(PaintInfo.Canvas, info.XPos, info.YPos, info.Index, true);
}

// ---- Cell background, selection and marks ------------------------------------------------

void TBaseVirtualTree::PrepareCellBackground(TVTPaintInfo& PaintInfo, int WindowOrgX, int MaxWidth) {
    TCanvas* canvas = PaintInfo.Canvas;
    TRect inner = PaintInfo.ContentRect;
    const TVTSelectionOptions sel = FOptions->SelectionOptions();
    const TVTPaintOptions paint = FOptions->PaintOptions();
    const bool grid = FOptions->MiscOptions().Contains(toGridExtensions);
    const bool fullRow = sel.Contains(toFullRowSelect);
    PVirtualNode node = PaintInfo.Node;
    if (PaintInfo.PaintOptions.Contains(poColumnColor) && PaintInfo.Column >= 0) {
        canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
        canvas->Brush()->SetColor(FHeader->Columns()->GetItem(PaintInfo.Column)->Color());
        canvas->FillRect(PaintInfo.CellRect);
    }
    DoBeforeCellPaint(canvas, node, PaintInfo.Column, PaintInfo.CellRect);
    if (PaintInfo.Column == FFocusedColumn || fullRow) {
        if (!grid) {
            const int width = PaintInfo.NodeWidth;
            switch (PaintInfo.Alignment) {
            case taLeftJustify:
                inner.Right = std::min(inner.Right, inner.Left + width);
                break;
            case taCenter:
                if (width < inner.Width()) {
                    inner.Left = (inner.Left + inner.Right - width) / 2;
                    inner.Right = inner.Left + width;
                }
                break;
            case taRightJustify:
                if (width < inner.Width()) inner.Left = inner.Right - width;
                break;
            }
        }
        if (PaintInfo.PaintOptions.Contains(poDrawSelection)) {
            bool draw = false;
            if (node == FDropTargetNode) {
                if (FLastDropMode == dmOnNode || node->States.Contains(vsSelected)) {
                    canvas->Brush()->SetColor(FColors->DropTargetColor());
                    canvas->Pen()->SetColor(FColors->DropTargetBorderColor());
                    draw = true;
                }
            } else if (node->States.Contains(vsSelected)) {
                const bool active = FView->Focused() || paint.Contains(toPopupMode);
                canvas->Brush()->SetColor(active ? FColors->FocusedSelectionColor()
                                                 : FColors->UnfocusedSelectionColor());
                canvas->Pen()->SetColor(active ? FColors->FocusedSelectionBorderColor()
                                               : FColors->UnfocusedSelectionBorderColor());
                draw = true;
            }
            if (draw) {
                if (grid || fullRow) inner = PaintInfo.CellRect;
                if (!inner.IsEmpty()) {
                    if (paint.Contains(toUseBlendedSelection) && FLineBitmap) {
                        TRect r = inner;
                        OffsetRect(r, -WindowOrgX, 0);
                        r.Left = std::max(r.Left, 0);
                        r.Right = std::min(r.Right, MaxWidth);
                        BlendBitmaps(nullptr, FLineBitmap, r, {}, bmConstantAlphaAndColor,
                                     SelectionBlendFactor, int(ColorToRGB(canvas->Brush()->Color())));
                    } else {
                        canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
                        canvas->Pen()->SetStyle(TPenStyle::psSolid);
                        canvas->Rectangle(inner);
                    }
                }
            }
        }
    }
    if (PaintInfo.PaintOptions.Contains(poDrawFocusRect) && node == FFocusedNode &&
        (PaintInfo.Column == FFocusedColumn || !FHeader->HasColumns()) &&
        (FView->Focused() || paint.Contains(toPopupMode))) {
        canvas->Font()->SetColor(clWhite);
        canvas->Brush()->SetColor(clBlack);
        canvas->DrawFocusRect(grid ? PaintInfo.CellRect : inner);
    }
}

void TBaseVirtualTree::PaintSelectionRectangle(TCanvas* Canvas, int WindowOrgX, const TRect& TargetRect,
                                               TRect SelectionRect) {
    if (SelectionRect.IsEmpty()) return;
    if (DrawSelectionMode == smBlendedRectangle && FLineBitmap) {
        TRect inter;
        TRect target = TargetRect;
        if (IntersectRect(inter, SelectionRect, target)) {
            OffsetRect(inter, -WindowOrgX, -TargetRect.Top);
            BlendBitmaps(nullptr, FLineBitmap, inter, {}, bmConstantAlphaAndColor, SelectionBlendFactor,
                         int(ColorToRGB(FColors->SelectionRectangleBlendColor())));
        }
        Canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
        Canvas->Brush()->SetColor(FColors->SelectionRectangleBorderColor());
        Canvas->FrameRect(SelectionRect);
    } else {
        Canvas->Font()->SetColor(clWhite);
        Canvas->Brush()->SetColor(clBlack);
        Canvas->DrawFocusRect(SelectionRect);
    }
}

void TBaseVirtualTree::DoPaintDropMark(TCanvas* Canvas, PVirtualNode, const TRect& R) {
    if (FLastDropMode != dmAbove && FLastDropMode != dmBelow) return;
    const TPenStyle oldPen = Canvas->Pen()->Style();
    const TColor oldBrush = Canvas->Brush()->Color();
    Canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
    Canvas->Brush()->SetColor(FColors->DropMarkColor());
    // The six-point mark, filled row by row (no pen).
    if (FLastDropMode == dmAbove) {
        Canvas->FillRect(TRect{R.Left + 2, R.Top, R.Right - 2, R.Top + 2});
        for (int y = R.Top + 2; y < R.Top + 6; ++y) {
            int d = y - (R.Top + 2);
            Canvas->FillRect(TRect{R.Left + 2, y, R.Left + 6 - d, y + 1});
            Canvas->FillRect(TRect{R.Right - 6 + d, y, R.Right - 2, y + 1});
        }
    } else {
        Canvas->FillRect(TRect{R.Left + 2, R.Bottom - 3, R.Right - 2, R.Bottom - 1});
        for (int y = R.Bottom - 8; y < R.Bottom - 3; ++y) {
            int d = (R.Bottom - 3) - y;
            Canvas->FillRect(TRect{R.Left + 2, y, R.Left + 7 - d, y + 1});
            Canvas->FillRect(TRect{R.Right - 7 + d, y, R.Right - 2, y + 1});
        }
    }
    Canvas->Pen()->SetStyle(oldPen);
    Canvas->Brush()->SetColor(oldBrush);
}

// ---- Background pictures -----------------------------------------------------------------

void TBaseVirtualTree::DrawStaticBackground(TBitmap* Picture, TCanvas* Canvas, TPoint Offset,
                                            const TRect& R) {
    Canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
    Canvas->Brush()->SetColor(FColor);
    Canvas->FillRect(R);
    TRect picture = Bounds(BackgroundOffsetX, BackgroundOffsetY, Picture->Width(), Picture->Height());
    TRect area = R;
    OffsetRect(area, Offset.X, Offset.Y);
    TRect inter;
    if (!IntersectRect(inter, picture, area)) return;
    TRect source = inter;
    OffsetRect(source, -BackgroundOffsetX, -BackgroundOffsetY);
    TRect dest = inter;
    OffsetRect(dest, -Offset.X, -Offset.Y);
    Canvas->DrawBitmapPart(dest, Picture, source,
                           Picture->Transparent ? Picture->TransparentColor() : clNone);
}

void TBaseVirtualTree::DrawTiledBackground(TBitmap* Picture, TCanvas* Canvas, TPoint Offset, const TRect& R) {
    const int w = Picture->Width(), h = Picture->Height();
    if (w <= 0 || h <= 0) return;
    auto mod = [](int a, int m) { return ((a % m) + m) % m; };
    int y = R.Top;
    int srcY = mod(R.Top + Offset.Y + BackgroundOffsetY, h);
    while (y < R.Bottom) {
        const int bandHeight = std::min(h - srcY, R.Bottom - y);
        int x = R.Left;
        int srcX = mod(R.Left + Offset.X + BackgroundOffsetX, w);
        while (x < R.Right) {
            const int tileWidth = std::min(w - srcX, R.Right - x);
            Canvas->DrawBitmapPart(TRect{x, y, x + tileWidth, y + bandHeight}, Picture,
                                   TRect{srcX, srcY, srcX + tileWidth, srcY + bandHeight});
            x += tileWidth;
            srcX = 0;
        }
        y += bandHeight;
        srcY = 0;
    }
}
