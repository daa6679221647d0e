// Hints of the tree: the answer to the hint-show query (header hints, node
// hints and tooltips over cut-off cell texts), the hint's size and its
// drawing.
#include <algorithm>

#include "controls/vtree/VirtualTrees.h"
#include "controls/vtree/VirtualTreesHintWindow.h"
#include "controls/vtree/VirtualTrees_p.h"
#include "platform/canvas/Graphics.h"
#include "platform/rtl/ScopeGuard.h"

namespace {

WideString Widen(const AnsiString& Text) {
    return AnsiToWide(Text);
}

AnsiString Narrow(const WideString& Text) {
    return WideToAnsi(Text);
}

// The short part of a hint: before the first '|'.
AnsiString ShortHint(const AnsiString& Hint) {
    const size_t bar = Hint.find('|');
    return bar == AnsiString::npos ? Hint : Hint.substr(0, bar);
}

} // namespace

WideString TBaseVirtualTree::DoGetNodeHint(PVirtualNode, TColumnIndex,
                                           TVTTooltipLineBreakStyle& LineBreakStyle) {
    LineBreakStyle = hlbDefault;
    return Widen(Hint());
}

WideString TBaseVirtualTree::DoGetNodeTooltip(PVirtualNode, TColumnIndex,
                                              TVTTooltipLineBreakStyle& LineBreakStyle) {
    LineBreakStyle = hlbDefault;
    return Widen(Hint());
}

THintAnimationType TBaseVirtualTree::DoGetAnimationType() {
    THintAnimationType result = HintAnimation;
    // The desktop's tooltips fade.
    if (result == hatSystemDefault) result = hatFade;
    if (result == hatFade && !ProcessorHasMMX()) result = hatSlide;
    return result;
}

void TBaseVirtualTree::GetCellTextInfo(PVirtualNode, TColumnIndex, TFont* Font, TRect& R, WideString& Text) {
    R = TRect{};
    Text.clear();
    if (Font) Font->Assign(this->Font());
}

void TBaseVirtualTree::CMHintShow(TMessage& Message) {
    auto* info = reinterpret_cast<THintInfo*>(Message.LParam);
    Message.Result = 1; // do not show
    if (!info) return;
    const TPoint p = info->CursorPos;
    if (!FLastHintRect.IsEmpty() && FLastHintRect.Contains(p)) {
        // The hint shown stays.
        info->HintStr = WideToAnsi(FHintData.HintText);
        info->HintData = &FHintData;
        info->HintWindowClass = GetHintWindowClass();
        Message.Result = 0;
        return;
    }
    THitInfo hit;
    GetHitTestInfoAt(p.X, p.Y, true, hit);
    bool may = FStates.Contains(tsEditing) ? hit.HitNode != FFocusedNode
                                           : FView->Focused() || FView->ApplicationActive();
    if (FView->MouseCaptured() || !ShowHint() || Dragging() || FStates.Contains(tsVCLDragging) ||
        FStates.Contains(tsDrawSelecting) || FStates.Contains(tsDrawSelPending) ||
        FStates.Contains(tsScrolling) || !FHeader->States().Empty())
        may = false;
    if (!may) {
        FLastHintRect = TRect{};
        DoStateChange({}, {tsHint});
        return;
    }
    bool show = true, found = false;
    info->HintStr = " ";
    TRect cursorRect;
    FHintData = TVTHintData{};
    if (FHeader->HasColumns() && FHeader->Options().Contains(hoShowHint) && FHeader->PointInHeader(p)) {
        int left = 0, right = 0;
        TColumnIndex column =
            FHeader->Columns()->ColumnAndBounds(TPoint{p.X, p.Y + int(FHeader->Height())}, left, right, true);
        cursorRect = HeaderRectInClient();
        cursorRect.Left = left;
        cursorRect.Right = right;
        if (column < 0 || FStates.Contains(tsLeftButtonDown)) {
            show = false;
        } else {
            FHintData.DefaultHint = FHeader->Columns()->GetItem(column)->Hint;
            FHintData.Column = column;
            found = !FHintData.DefaultHint.empty();
            show = found;
        }
    } else if (HintMode == hmDefault) {
        info->HintStr = ShortHint(Hint());
        FLastHintRect = TRect{};
        DoStateChange({}, {tsHint});
        Message.Result = 0;
        return;
    } else if (hit.HitNode && hit.HitColumn >= NoColumn) {
        int left = 0, right = FView->ClientWidth();
        TVirtualTreeColumns* columns = FHeader->Columns();
        if (FHeader->HasColumns() && hit.HitColumn >= 0) {
            columns->ColumnBounds(hit.HitColumn, left, right);
            if (FOptions->AutoOptions().Contains(toAutoSpanColumns)) {
                for (TColumnIndex next = columns->NextVisibleColumn(hit.HitColumn);
                     next >= 0 && ColumnIsEmpty(hit.HitNode, next); next = columns->NextVisibleColumn(next))
                    right += columns->GetItem(next)->Width();
            }
        }
        if (HintMode == hmTooltip) {
            TRect r;
            if (!hit.HitNode->States.Contains(vsMultiline)) {
                r = GetDisplayRect(hit.HitNode, hit.HitColumn, true, true);
                const bool cutOff = r.Right > std::min(FView->ClientWidth(), right) ||
                                    r.Left < std::max(0, left) || r.Bottom > FView->ClientHeight() ||
                                    r.Top < 0;
                show = r.Contains(p) && p.X >= left && p.X < right && cutOff;
            } else {
                show = hit.HitPositions.Contains(hpOnItemLabel);
                r = GetDisplayRect(hit.HitNode, hit.HitColumn, false, true);
            }
            if (show) {
                info->HintPos = FView->ClientToScreen(TPoint{r.Left, r.Top});
                cursorRect = r;
                found = true;
            }
        } else {
            cursorRect = GetDisplayRect(hit.HitNode, hit.HitColumn, false, false);
            cursorRect.Left = left;
            cursorRect.Right = right;
            TPoint below = FView->ClientToScreen(TPoint{0, cursorRect.Bottom});
            info->HintPos.Y = std::max(info->HintPos.Y, below.Y + 2);
            found = true;
        }
        FHintData.Node = hit.HitNode;
        FHintData.Column = hit.HitColumn;
    } else if (HintMode == hmHintAndDefault) {
        FHintData.DefaultHint = Widen(ShortHint(Hint()));
        found = !FHintData.DefaultHint.empty();
        show = found;
    } else {
        show = false;
    }
    if (found && show) {
        FHintData.Tree = this;
        FLastHintRect = cursorRect;
        info->CursorRect = cursorRect;
        info->HintData = &FHintData;
        info->HintWindowClass = GetHintWindowClass();
        // The layer's hint window shows the text: give it the hint's own.
        TRect size = CalcHintRect(info->HintMaxWidth > 0 ? info->HintMaxWidth : 400);
        if (size.IsEmpty())
            show = false;
        else
            info->HintStr = Narrow(FHintData.HintText);
    } else {
        FLastHintRect = TRect{};
    }
    if (!(found && show)) show = false;
    if (show)
        DoStateChange({tsHint});
    else
        DoStateChange({}, {tsHint});
    Message.Result = show ? 0 : 1;
}

void TBaseVirtualTree::CMHintShowPause(TMessage& Message) {
    auto* pause = reinterpret_cast<int*>(Message.LParam);
    if (!pause) return;
    if (HintMode == hmTooltip ||
        (HintWindowGone() && FHeader->HasColumns() && FHeader->Options().Contains(hoShowHint) &&
         FHeader->PointInHeader(FView->CursorPos())))
        *pause = 0;
}

TRect TBaseVirtualTree::CalcHintRect(int MaxWidth) {
    TVTHintData& data = FHintData;
    if (!data.Tree) return TRect{};
    TVirtualTreeColumns* columns = FHeader->Columns();
    const bool hasColumn = columns->IsValidIndex(data.Column);
    data.BidiMode = hasColumn ? columns->GetItem(data.Column)->BiDiMode() : FBiDiMode;
    data.Alignment = hasColumn ? columns->GetItem(data.Column)->Alignment() : FAlignment;
    data.LineBreakStyle = hlbDefault;
    TCanvas* canvas = Canvas();
    canvas->Font()->Assign(Font());
    const int textHeight = canvas->TextMetrics().tmHeight;
    if (!data.DefaultHint.empty())
        data.HintText = data.DefaultHint;
    else if (HintMode == hmTooltip)
        data.HintText = DoGetNodeTooltip(data.Node, data.Column, data.LineBreakStyle);
    else
        data.HintText = DoGetNodeHint(data.Node, data.Column, data.LineBreakStyle);
    if (data.HintText.empty()) return TRect{};
    if (!data.Node || HintMode != hmTooltip) {
        TRect r{0, 0, MaxWidth, textHeight};
        DrawWideText(canvas, data.HintText, true, DT_CALCRECT, r);
        r.Bottom += 6;
        r.Right += 2 * TextMargin() + 2;
        data.HintRect = r;
        return r;
    }
    if (data.LineBreakStyle == hlbDefault)
        data.LineBreakStyle =
            data.Node->States.Contains(vsMultiline) ? hlbForceMultiLine : hlbForceSingleLine;
    TRect r;
    if (data.LineBreakStyle == hlbForceMultiLine) {
        r = GetDisplayRect(data.Node, data.Column, false, true);
        TRect t = r;
        DrawWideText(canvas, data.HintText, false, DT_CALCRECT | DT_WORDBREAK, t);
        if (data.BidiMode != bdLeftToRight)
            r.Left = t.Left - TextMargin() + 1;
        else
            r.Right = t.Right + TextMargin();
        r.Bottom = t.Bottom;
        r.Right += 1;
        if (int(data.Node->NodeHeight) + 2 >= r.Height() && r.Left >= 0 && r.Top >= 0 &&
            r.Right <= FView->ClientWidth() + 3 && r.Bottom <= FView->ClientHeight() + 3)
            return TRect{};
    } else {
        r = GetDisplayRect(data.Node, data.Column, true, true);
        if (FOptions->PaintOptions().Contains(toShowHorzGridLines)) r.Bottom -= 1;
    }
    InflateRect(r, 1, 1);
    OffsetRect(r, -r.Left - 1, -r.Top - 1);
    data.HintRect = r;
    return r;
}

void TBaseVirtualTree::PaintHint(TCanvas* Canvas, const TVTHintData& Data, int Width, int Height) {
    const TVTHintData& data = Data;
    TRect r{0, 0, Width, Height};
    int textTop = 2;
    if (data.Node && HintMode == hmTooltip && data.DefaultHint.empty()) {
        TRect cell;
        WideString text;
        GetCellTextInfo(data.Node, data.Column, Canvas->Font(), cell, text);
        textTop = data.LineBreakStyle == hlbForceMultiLine ? 1 : (cell.Top + Height - cell.Bottom) / 2;
    } else {
        Canvas->Font()->Assign(Font());
    }
    Canvas->Font()->SetColor(clInfoText);
    Canvas->Pen()->SetColor(clBlack);
    Canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
    Canvas->Brush()->SetColor(clInfoBk);
    Canvas->Rectangle(r);
    InflateRect(r, -1, -1);
    unsigned format = DT_NOPREFIX;
    if (data.BidiMode != bdLeftToRight) {
        format |= DT_RIGHT | DT_RTLREADING;
        r.Right -= TextMargin() - 1;
    } else {
        r.Left += TextMargin();
    }
    if (data.Node && data.LineBreakStyle == hlbForceMultiLine) format |= DT_WORDBREAK;
    r.Top = textTop;
    DrawWideText(Canvas, data.HintText, false, format, r);
}
