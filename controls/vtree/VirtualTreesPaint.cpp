// The painting pipeline of the node area: each visible node line is drawn
// cell by cell into a bitmap one line high and copied to the target, then
// the area below the last node; with the paint events and their dispatchers.
#include <algorithm>

#include "controls/vtree/VirtualTrees.h"
#include "controls/vtree/VirtualTrees_p.h"
#include "platform/canvas/Graphics.h"
#include "platform/rtl/ScopeGuard.h"

// What one PaintTree run decided once for all its lines.
struct TVTPaintRun {
    TVTInternalPaintOptions Options;
    bool UseBackground = false;
    bool ShowImages = false;
    bool ShowStateImages = false;
    bool ShowCheckImages = false;
    bool UseColumns = false;
    bool UseSelectionRect = false;
    TRect SelectionRect;
    TColumnIndex MainColumn = NoColumn;
    int WindowOrgX = 0;
    int MaxWidth = 0;
};

namespace {

TRect Normalized(const TVTRect64& R, int64_t OffsetY, int OffsetX) {
    // The rubber band is kept in absolute coordinates; the painter works in
    // tree coordinates (x absolute, y absolute as well).
    (void)OffsetY;
    (void)OffsetX;
    auto clamp = [](int64_t v) { return int(std::clamp<int64_t>(v, INT32_MIN / 2, INT32_MAX / 2)); };
    TRect r{std::min(R.Left, R.Right), clamp(std::min(R.Top, R.Bottom)), std::max(R.Left, R.Right),
            clamp(std::max(R.Top, R.Bottom))};
    return r;
}

TAlignment Mirror(TAlignment A) {
    if (A == taLeftJustify) return taRightJustify;
    if (A == taRightJustify) return taLeftJustify;
    return A;
}

} // namespace

// ---- Entry points ------------------------------------------------------------------------

void TBaseVirtualTree::Paint() {
    TCanvas* canvas = Canvas();
    const TRect client = ClientRect();
    TRect update = client;
    if (std::optional<TRect> clip = canvas->ClipRect()) IntersectRect(update, *clip, client);
    if (update.IsEmpty()) return;
    const int rtlShift = UseRightToLeftAlignment() && FHeader->HasColumns() ? ComputeRTLOffset(true) : 0;
    const int fixedWidth = FHeader->Columns()->FixedVisibleWidth();
    const int64_t offsetY = -FOffsetY;
    if (fixedWidth > 0) {
        TRect fixedPart = update;
        fixedPart.Right = std::min(fixedPart.Right, fixedWidth);
        if (!fixedPart.IsEmpty()) {
            TRect window = fixedPart;
            OffsetRect(window, -rtlShift, int(offsetY));
            PaintTree(canvas, window, {fixedPart.Left, fixedPart.Top}, WindowPaintOptions);
        }
        if (update.Right <= fixedWidth) return;
        update.Left = std::max(update.Left, fixedWidth);
    }
    TRect window = update;
    OffsetRect(window, EffectiveOffsetX() - rtlShift, int(offsetY));
    // The window's vertical position may pass 2^31 in a tree of many rows:
    // PaintTree takes the row range through its own 64-bit lookup.
    PaintTree(canvas, window, {update.Left, update.Top}, WindowPaintOptions);
}

void TBaseVirtualTree::InvalidateColumn(TColumnIndex Column) {
    if (FUpdateCount > 0 || !FHeader->Columns()->IsValidIndex(Column) || !HandleAllocated()) return;
    int left = 0, right = 0;
    FHeader->Columns()->ColumnBounds(Column, left, right);
    FView->InvalidateRect(TRect{left, 0, right, FView->ClientHeight()});
}

// ---- The pipeline ------------------------------------------------------------------------

void TBaseVirtualTree::PaintTree(TCanvas* TargetCanvas, const TRect& Window, TPoint Target,
                                 TVTInternalPaintOptions PaintOptions) {
    if (FStates.Contains(tsPainting) || Window.IsEmpty()) return;
    DoStateChange({tsPainting});
    TScopeGuard leave([this] { DoStateChange({}, {tsPainting}); });
    DoBeforePaint(TargetCanvas);

    TBitmap lineBitmap;
    FLineBitmap = &lineBitmap;
    TScopeGuard forget([this] { FLineBitmap = nullptr; });
    TVTPaintInfo info;
    info.Canvas = lineBitmap.Canvas();
    info.Canvas->SetPixelsPerInch(TargetCanvas->PixelsPerInch());

    TVTPaintRun run;
    run.WindowOrgX = Window.Left;
    const TVTPaintOptions paint = FOptions->PaintOptions();
    const TVTSelectionOptions selection = FOptions->SelectionOptions();
    const bool focused = FView->Focused();
    run.UseSelectionRect = FStates.Contains(tsDrawSelPending) || FStates.Contains(tsDrawSelecting);
    if (run.UseSelectionRect) {
        run.SelectionRect = Normalized(FNewSelRect, FOffsetY, FOffsetX);
        // Tree coordinates: y relative to the window's top.
        OffsetRect(run.SelectionRect, 0, -Window.Top);
        run.UseSelectionRect = !run.SelectionRect.IsEmpty();
    }
    const int lineWidth = std::max(FView->ClientWidth(), RangeX());
    run.MaxWidth = lineWidth;
    run.Options = PaintOptions;
    if (paint.Contains(toAlwaysHideSelection) || (!focused && paint.Contains(toHideSelection)))
        run.Options.Exclude(poDrawSelection);
    if (paint.Contains(toHideFocusRect)) run.Options.Exclude(poDrawFocusRect);
    run.UseBackground = paint.Contains(toShowBackground) && FBackground && !FBackground->Empty() &&
                        PaintOptions.Contains(poBackground);
    run.ShowImages = FImages != nullptr;
    run.ShowStateImages = FStateImages != nullptr;
    run.ShowCheckImages = FCheckImages != nullptr && FOptions->MiscOptions().Contains(toCheckSupport);
    run.UseColumns = FHeader->HasColumns();
    run.MainColumn = GetMainColumn();
    (void)selection;

    int nodeTop = 0;
    PVirtualNode node = GetNodeAt(0, Window.Top, false, nodeTop);
    if (!node) nodeTop = Window.Top;
    int targetTop = Target.Y + nodeTop - Window.Top;
    const int targetBottom = Target.Y + Window.Height();
    TColumnIndex firstColumn = InvalidColumn;

    if (node) {
        TLineImage lineImage;
        int selectionLevel = ComputeLineImage(node, lineImage);
        int indentSize = int(lineImage.size());
        const int buttonWidth = FPlusBM ? FPlusBM->Width() : 9;
        int buttonX =
            int(indentSize * int64_t(FIndent) + (int(FIndent) - buttonWidth + 1) / 2 - int(FIndent));
        if (run.UseSelectionRect) OffsetRect(run.SelectionRect, 0, -(nodeTop - Window.Top));
        while (node && targetTop < targetBottom) {
            EnsureInitialized(node);
            if (node->States.Contains(vsSelected)) ++selectionLevel;
            const int height = int(GetNodeHeight(node));
            if (selectionLevel > 0 || !PaintOptions.Contains(poSelectedOnly)) {
                if (lineBitmap.Height() != height || lineBitmap.Width() != Window.Width()) {
                    lineBitmap.SetSize(Window.Width(), height);
                    info.Canvas = lineBitmap.Canvas();
                }
                info.Canvas->ResetClip();
                info.Canvas->MoveOrigin(-info.Canvas->Origin().X - Window.Left, -info.Canvas->Origin().Y);
                info.Node = node;
                info.BrushOrigin = {Window.Left & 1, nodeTop & 1};
                TRect lineRect{0, 0, lineWidth, height};
                if (!DoBeforeItemPaint(info.Canvas, node, lineRect)) {
                    EraseLine(info, TRect{Window.Left, 0, Window.Right, height}, targetTop, run);
                    TColumnIndex first = NoColumn;
                    PaintLine(info, Window, lineWidth, lineImage, indentSize, buttonX, run);
                    first = info.Column;
                    if (firstColumn == InvalidColumn) firstColumn = first;
                }
                info.Canvas->ResetClip();
                DoAfterItemPaint(info.Canvas, node, lineRect);
                if (node == FDropTargetNode && paint.Contains(toShowDropmark) &&
                    PaintOptions.Contains(poDrawDropMark))
                    DoPaintDropMark(info.Canvas, node, lineRect);
                if (run.UseSelectionRect)
                    PaintSelectionRectangle(info.Canvas, Window.Left, lineRect, run.SelectionRect);
                TargetCanvas->Draw(Target.X, targetTop, &lineBitmap);
            }
            targetTop += height;
            nodeTop += height;
            if (run.UseSelectionRect) OffsetRect(run.SelectionRect, 0, -height);
            if (targetTop >= targetBottom) break;

            PVirtualNode next = GetNextVisible(node);
            if (!next) break;
            if (next->Parent == node) {
                if (!lineImage.empty()) lineImage.back() = GetNextVisibleSibling(node) ? ltTopDown : ltNone;
                lineImage.push_back(ltNone);
                ++indentSize;
                buttonX += int(FIndent);
            } else {
                if (node->States.Contains(vsSelected)) --selectionLevel;
                PVirtualNode walk = node;
                while (walk->Parent != next->Parent && walk->Parent != FRoot) {
                    walk = walk->Parent;
                    if (!lineImage.empty()) lineImage.pop_back();
                    --indentSize;
                    buttonX -= int(FIndent);
                    if (walk->States.Contains(vsSelected)) --selectionLevel;
                }
            }
            if (!lineImage.empty() && FOptions->PaintOptions().Contains(toShowTreeLines))
                lineImage.back() = GetNextVisibleSibling(next) ? ltTopDownRight : ltTopRight;
            node = next;
        }
    }
    if (targetTop < targetBottom) {
        PaintBelowNodes(TargetCanvas, Window, Target, targetTop, firstColumn, run);
    }
    DoAfterPaint(TargetCanvas);
}

void TBaseVirtualTree::EraseLine(TVTPaintInfo& PaintInfo, const TRect& R, int TargetTop,
                                 const TVTPaintRun& Run) {
    TCanvas* canvas = PaintInfo.Canvas;
    TColor color = FColor;
    TItemEraseAction action = eaDefault;
    DoBeforeItemErase(canvas, PaintInfo.Node, R, color, action);
    switch (action) {
    case eaColor:
        canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
        canvas->Brush()->SetColor(color);
        canvas->FillRect(R);
        break;
    case eaNone:
        break;
    case eaDefault: {
        const TVTPaintOptions paint = FOptions->PaintOptions();
        const bool fullRow = FOptions->SelectionOptions().Contains(toFullRowSelect);
        if (Run.UseBackground) {
            TPoint offset{-EffectiveOffsetX(), TargetTop};
            if (paint.Contains(toStaticBackground))
                DrawStaticBackground(FBackground.get(), canvas, offset, R);
            else
                DrawTiledBackground(FBackground.get(), canvas, offset, R);
        } else if (Run.Options.Contains(poDrawSelection) && fullRow &&
                   PaintInfo.Node->States.Contains(vsSelected) && !paint.Contains(toUseBlendedSelection)) {
            canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
            canvas->Brush()->SetColor(FColor);
            canvas->FillRect(R);
            TRect band = R;
            if (paint.Contains(toShowHorzGridLines)) band.Bottom -= 1;
            const bool active = FView->Focused() || paint.Contains(toPopupMode);
            canvas->Brush()->SetColor(active ? FColors->FocusedSelectionColor()
                                             : FColors->UnfocusedSelectionColor());
            canvas->Pen()->SetStyle(TPenStyle::psSolid);
            canvas->Pen()->SetColor(active ? FColors->FocusedSelectionBorderColor()
                                           : FColors->UnfocusedSelectionBorderColor());
            canvas->Rectangle(band);
        } else {
            canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
            canvas->Brush()->SetColor(FColor);
            canvas->FillRect(R);
        }
        break;
    }
    }
    DoAfterItemErase(canvas, PaintInfo.Node, R);
}

void TBaseVirtualTree::PaintLine(TVTPaintInfo& PaintInfo, const TRect& Window, int LineWidth,
                                 const TLineImage& LineImage, int IndentSize, int ButtonX,
                                 const TVTPaintRun& Run) {
    TCanvas* canvas = PaintInfo.Canvas;
    PVirtualNode node = PaintInfo.Node;
    const int height = int(node->NodeHeight);
    const TVTPaintOptions paint = FOptions->PaintOptions();
    const TVTSelectionOptions selOptions = FOptions->SelectionOptions();
    TVirtualTreeColumns* columns = FHeader->Columns();
    int vAlign = 0, buttonTop = 0;
    ComputeVerticalAlignments(Run.ShowImages, Run.ShowStateImages, node, vAlign, buttonTop);

    PaintInfo.CellRect = TRect{0, 0, LineWidth, height};
    TColumnPosition position = 0;
    TColumnIndex column = NoColumn;
    if (Run.UseColumns) {
        column = columns->FirstVisibleColumn();
        if (column < 0) return;
        int left = 0, right = 0;
        columns->GetItem(column)->GetAbsoluteBounds(left, right);
        PaintInfo.CellRect = TRect{left, 0, right, height};
        position = columns->GetItem(column)->Position();
    }
    PaintInfo.Column = column;
    const TColumnIndex firstColumn = column;
    bool first = true;
    while (PaintInfo.CellRect.Left < Window.Right) {
        TVirtualTreeColumn* col = Run.UseColumns ? columns->GetItem(column) : nullptr;
        PaintInfo.Column = column;
        PaintInfo.Position = position;
        if (col) {
            PaintInfo.Alignment = col->Alignment();
            PaintInfo.BidiMode = col->BiDiMode();
        } else {
            PaintInfo.Alignment = FAlignment;
            PaintInfo.BidiMode = FBiDiMode;
        }
        first = false;
        TVTInternalPaintOptions cellOptions = Run.Options;
        const bool editingHere = FStates.Contains(tsEditing) && node == FFocusedNode &&
                                 (column == FFocusedColumn || !Run.UseColumns);
        if (editingHere) cellOptions.Exclude(poDrawSelection);
        if (!Run.UseColumns ||
            (node->States.Contains(vsSelected) && selOptions.Contains(toFullRowSelect) &&
             cellOptions.Contains(poDrawSelection)) ||
            (col && col->Options().Contains(coParentColor)))
            cellOptions.Exclude(poColumnColor);
        PaintInfo.PaintOptions = cellOptions;
        if (PaintInfo.BidiMode != bdLeftToRight) PaintInfo.Alignment = Mirror(PaintInfo.Alignment);

        const bool skip = (col && !col->Options().Contains(coVisible)) ||
                          (Run.Options.Contains(poMainOnly) && column != Run.MainColumn);
        TColumnIndex next = NoColumn;
        if (!skip) {
            next = Run.UseColumns ? columns->NextVisibleColumn(column) : NoColumn;
            AdjustPaintCellRect(PaintInfo, next);
            if (PaintInfo.CellRect.Right > Window.Left) {
                const bool rtl = PaintInfo.BidiMode != bdLeftToRight;
                const bool isMain = column == Run.MainColumn || !Run.UseColumns;
                PaintInfo.NodeWidth = DoGetNodeWidth(node, column, canvas);
                PaintInfo.ContentRect = PaintInfo.CellRect;
                if (rtl)
                    PaintInfo.ContentRect.Right -= FMargin;
                else
                    PaintInfo.ContentRect.Left += FMargin;
                for (TVTImageInfo& image : PaintInfo.ImageInfo)
                    image = TVTImageInfo{};
                if (isMain && Run.ShowCheckImages) {
                    PaintInfo.ImageInfo[iiCheck].Index = GetCheckImage(node);
                    if (PaintInfo.ImageInfo[iiCheck].Index >= 0) {
                        PaintInfo.ImageInfo[iiCheck].Images = FCheckImages;
                        PlaceImage(PaintInfo, iiCheck, vAlign);
                    }
                }
                if (Run.ShowStateImages) {
                    GetImageIndex(PaintInfo, ikState, iiState, FStateImages);
                    if (PaintInfo.ImageInfo[iiState].Index >= 0) PlaceImage(PaintInfo, iiState, vAlign);
                }
                if (Run.ShowImages) {
                    GetImageIndex(PaintInfo, node->States.Contains(vsSelected) ? ikSelected : ikNormal,
                                  iiNormal, FImages);
                    if (PaintInfo.ImageInfo[iiNormal].Index >= 0) PlaceImage(PaintInfo, iiNormal, vAlign);
                }
                if (isMain) IndentCoordinates(PaintInfo, IndentSize);
                canvas->ResetClip();
                if (Run.UseColumns) canvas->IntersectClipRect(PaintInfo.CellRect);

                if (cellOptions.Contains(poGridLines) && paint.Contains(toShowHorzGridLines)) {
                    canvas->Font()->SetColor(FColors->GridLineColor());
                    if (isMain && FLineMode == lmBands) {
                        const int indentWidth = IndentSize * int(FIndent);
                        if (rtl)
                            DrawDottedHLine(PaintInfo, PaintInfo.CellRect.Left,
                                            PaintInfo.CellRect.Right - indentWidth - 1,
                                            PaintInfo.CellRect.Bottom - 1);
                        else
                            DrawDottedHLine(PaintInfo, PaintInfo.CellRect.Left + indentWidth,
                                            PaintInfo.CellRect.Right - 1, PaintInfo.CellRect.Bottom - 1);
                    } else {
                        DrawDottedHLine(PaintInfo, PaintInfo.CellRect.Left, PaintInfo.CellRect.Right,
                                        PaintInfo.CellRect.Bottom - 1);
                    }
                    --PaintInfo.CellRect.Bottom;
                    --PaintInfo.ContentRect.Bottom;
                }
                if (Run.UseColumns && cellOptions.Contains(poGridLines) &&
                    paint.Contains(toShowVertGridLines) &&
                    (!FHeader->Options().Contains(hoAutoResize) ||
                     col->Position() < TColumnPosition(columns->GetVisibleColumns().size() - 1))) {
                    if (!rtl || !ColumnIsEmpty(node, column)) {
                        canvas->Font()->SetColor(FColors->GridLineColor());
                        DrawDottedVLine(PaintInfo, PaintInfo.CellRect.Top, PaintInfo.CellRect.Bottom,
                                        PaintInfo.CellRect.Right - 1);
                    }
                    --PaintInfo.CellRect.Right;
                    --PaintInfo.ContentRect.Right;
                }
                PrepareCellBackground(PaintInfo, Window.Left, Run.MaxWidth);
                if (isMain) {
                    if (paint.Contains(toShowTreeLines))
                        PaintTreeLines(PaintInfo, vAlign, IndentSize, LineImage);
                    if (paint.Contains(toShowButtons) && node->States.Contains(vsHasChildren) &&
                        (!node->States.Contains(vsNoVisibleChild) ||
                         !FOptions->AutoOptions().Contains(toAutoHideButtons)))
                        PaintNodeButton(canvas, node, PaintInfo.CellRect, ButtonX, buttonTop,
                                        PaintInfo.BidiMode);
                    if (PaintInfo.ImageInfo[iiCheck].Index >= 0) PaintCheckImage(PaintInfo);
                }
                if (PaintInfo.ImageInfo[iiState].Index >= 0) PaintImage(PaintInfo, iiState, false);
                if (PaintInfo.ImageInfo[iiNormal].Index >= 0) PaintImage(PaintInfo, iiNormal, true);
                if (!editingHere) DoPaintNode(PaintInfo);
                DoAfterCellPaint(canvas, node, column, PaintInfo.CellRect);
            }
        }
        if (!Run.UseColumns) break;
        canvas->ResetClip();
        if (skip) next = columns->NextVisibleColumn(column);
        if (PaintInfo.CellRect.Left >= Window.Right || next < 0) break;
        column = next;
        TVirtualTreeColumn* nextCol = columns->GetItem(column);
        position = nextCol->Position();
        int left = 0, right = 0;
        nextCol->GetAbsoluteBounds(left, right);
        PaintInfo.CellRect = TRect{left, 0, right, height};
        PaintInfo.ContentRect = PaintInfo.CellRect;
    }
    PaintInfo.Column = firstColumn;
    (void)first;
}

void TBaseVirtualTree::PaintBelowNodes(TCanvas* TargetCanvas, const TRect& Window, TPoint Target,
                                       int TargetTop, TColumnIndex FirstColumn, const TVTPaintRun& Run) {
    const int areaTop = TargetTop - Target.Y + Window.Top; // tree coordinates
    TRect area{Window.Left, areaTop, Window.Right, Window.Bottom};
    if (area.IsEmpty()) return;
    TBitmap bitmap(area.Width() + 1, area.Height() + 1);
    FLineBitmap = &bitmap;
    TCanvas* canvas = bitmap.Canvas();
    canvas->MoveOrigin(-area.Left, -area.Top);
    const TVTPaintOptions paint = FOptions->PaintOptions();
    if (!DoPaintBackground(canvas, area)) {
        if (Run.UseBackground) {
            TPoint offset{-EffectiveOffsetX(), TargetTop - area.Top};
            if (paint.Contains(toStaticBackground))
                DrawStaticBackground(FBackground.get(), canvas, offset, area);
            else
                DrawTiledBackground(FBackground.get(), canvas, offset, area);
        } else if (Run.UseColumns) {
            TVirtualTreeColumns* columns = FHeader->Columns();
            TColumnIndex column = FirstColumn;
            if (column < 0) {
                column = columns->FirstVisibleColumn();
                while (column >= 0) {
                    int l = 0, r = 0;
                    columns->GetItem(column)->GetAbsoluteBounds(l, r);
                    if (r > area.Left) break;
                    column = columns->NextVisibleColumn(column);
                }
            }
            const bool fullGrid = Run.Options.Contains(poGridLines) && paint.Contains(toShowVertGridLines) &&
                                  paint.Contains(toFullVertGridLines);
            const bool autoResize = FHeader->Options().Contains(hoAutoResize);
            const TColumnIndex last = columns->LastVisibleColumn();
            int right = area.Left;
            TVTPaintInfo info;
            info.Canvas = canvas;
            while (column >= 0) {
                TVirtualTreeColumn* col = columns->GetItem(column);
                int l = 0, r = 0;
                col->GetAbsoluteBounds(l, r);
                TRect cell{l, area.Top, r, area.Bottom};
                if (fullGrid && (!autoResize || column != last)) {
                    canvas->Font()->SetColor(FColors->GridLineColor());
                    DrawDottedVLine(info, cell.Top, cell.Bottom, cell.Right - 1);
                    --cell.Right;
                }
                canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
                canvas->Brush()->SetColor(col->Options().Contains(coParentColor) ? FColor : col->Color());
                canvas->FillRect(cell);
                right = r;
                if (r >= area.Right) break;
                column = columns->NextVisibleColumn(column);
            }
            if (right < area.Right) {
                canvas->Brush()->SetColor(FColor);
                canvas->FillRect(TRect{right, area.Top, area.Right + 1, area.Bottom + 1});
            }
        } else {
            canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
            canvas->Brush()->SetColor(FColor);
            canvas->FillRect(TRect{area.Left, area.Top, area.Right + 1, area.Bottom + 1});
        }
    }
    if (Run.UseSelectionRect) {
        TRect sel = Run.SelectionRect;
        OffsetRect(sel, 0, area.Top);
        PaintSelectionRectangle(canvas, Window.Left, area, sel);
    }
    canvas->ResetClip();
    TargetCanvas->DrawBitmapPart(
        TRect{Target.X, TargetTop, Target.X + area.Width(), TargetTop + area.Height()}, &bitmap,
        TRect{0, 0, area.Width(), area.Height()});
}

// ---- Hooks of descendants ----------------------------------------------------------------

void TBaseVirtualTree::DoPaintNode(TVTPaintInfo&) {}

void TBaseVirtualTree::AdjustPaintCellRect(TVTPaintInfo&, TColumnIndex&) {}

void TBaseVirtualTree::RedirectFontChangeEvent(TCanvas* Canvas) {
    if (FOldFontChange) return;
    FOldFontChange = Canvas->Font()->OnChange;
    if (!FOldFontChange) FOldFontChange = [](TObject*) {};
    Canvas->Font()->OnChange = [this](TObject* Sender) { FontChanged(Sender); };
}

void TBaseVirtualTree::RestoreFontChangeEvent(TCanvas* Canvas) {
    if (!FOldFontChange) return;
    Canvas->Font()->OnChange = FOldFontChange;
    FOldFontChange = nullptr;
}

void TBaseVirtualTree::FontChanged(TObject* Sender) {
    FFontChanged = true;
    if (FOldFontChange) FOldFontChange(Sender);
}

// ---- Paint event dispatchers -------------------------------------------------------------

void TBaseVirtualTree::DoAdvancedHeaderDraw(THeaderPaintInfo& PaintInfo, THeaderPaintElements Elements) {
    if (OnAdvancedHeaderDraw) OnAdvancedHeaderDraw(FHeader.get(), PaintInfo, Elements);
}

void TBaseVirtualTree::DoAfterCellPaint(TCanvas* Canvas, PVirtualNode Node, TColumnIndex Column,
                                        const TRect& R) {
    if (OnAfterCellPaint) OnAfterCellPaint(this, Canvas, Node, Column, R);
}

void TBaseVirtualTree::DoAfterItemErase(TCanvas* Canvas, PVirtualNode Node, const TRect& R) {
    if (OnAfterItemErase) OnAfterItemErase(this, Canvas, Node, R);
}

void TBaseVirtualTree::DoAfterItemPaint(TCanvas* Canvas, PVirtualNode Node, const TRect& R) {
    if (OnAfterItemPaint) OnAfterItemPaint(this, Canvas, Node, R);
}

void TBaseVirtualTree::DoAfterPaint(TCanvas* Canvas) {
    if (OnAfterPaint) OnAfterPaint(this, Canvas);
}

void TBaseVirtualTree::DoBeforeCellPaint(TCanvas* Canvas, PVirtualNode Node, TColumnIndex Column,
                                         const TRect& R) {
    if (OnBeforeCellPaint) OnBeforeCellPaint(this, Canvas, Node, Column, R);
}

void TBaseVirtualTree::DoBeforeItemErase(TCanvas* Canvas, PVirtualNode Node, const TRect& R, TColor& Color,
                                         TItemEraseAction& EraseAction) {
    if (OnBeforeItemErase) OnBeforeItemErase(this, Canvas, Node, R, Color, EraseAction);
}

bool TBaseVirtualTree::DoBeforeItemPaint(TCanvas* Canvas, PVirtualNode Node, const TRect& R) {
    bool custom = false;
    if (OnBeforeItemPaint) OnBeforeItemPaint(this, Canvas, Node, R, custom);
    return custom;
}

void TBaseVirtualTree::DoBeforePaint(TCanvas* Canvas) {
    if (OnBeforePaint) OnBeforePaint(this, Canvas);
}

void TBaseVirtualTree::DoGetCursor(TCursor& Cursor) {
    if (OnGetCursor) OnGetCursor(this, Cursor);
}

void TBaseVirtualTree::DoGetLineStyle(std::vector<uint16_t>& Bits) {
    if (OnGetLineStyle) OnGetLineStyle(this, Bits);
}

void TBaseVirtualTree::DoHeaderDraw(TCanvas* Canvas, TVirtualTreeColumn* Column, const TRect& R, bool Hover,
                                    bool Pressed, TVTDropMarkMode DropMark) {
    if (OnHeaderDraw) OnHeaderDraw(FHeader.get(), Canvas, Column, R, Hover, Pressed, DropMark);
}

void TBaseVirtualTree::DoHeaderDrawQueryElements(THeaderPaintInfo& PaintInfo,
                                                 THeaderPaintElements& Elements) {
    if (OnHeaderDrawQueryElements) OnHeaderDrawQueryElements(FHeader.get(), PaintInfo, Elements);
}

bool TBaseVirtualTree::DoPaintBackground(TCanvas* Canvas, const TRect& R) {
    bool handled = false;
    if (OnPaintBackground) OnPaintBackground(this, Canvas, R, handled);
    return handled;
}
