// The scroll model: offsets and ranges (vertical ones 64-bit), the scroll
// bars' values, scroll requests and the wheel, bringing a node into view,
// the size reaction and the direction logic of automatic scrolling.
#include "controls/vtree/VirtualTrees.h"
#include "controls/vtree/VirtualTreesDragDrop.h"

#include <algorithm>
#include <climits>

#include "controls/vtree/VirtualTrees_p.h"
#include "platform/rtl/ScopeGuard.h"

namespace {

// One wheel notch.
constexpr int WheelDelta = 120;
// Wheel panning ignores this many pixels around its anchor.
constexpr int PanningDeadZone = 8;

int ClampToInt(int64_t Value) {
    return int(std::clamp<int64_t>(Value, INT_MIN, INT_MAX));
}

} // namespace

// ---- Offsets and ranges ------------------------------------------------------------------

int TBaseVirtualTree::RangeX() const {
    if (FHeader && FHeader->HasColumns()) return FHeader->Columns()->TotalVisibleWidth();
    return FMaxRightExtend;
}

int64_t TBaseVirtualTree::RangeY() const {
    int64_t total = std::max<int64_t>(FRoot->TotalHeight, FDefaultNodeHeight);
    return total + BottomSpace - FRoot->NodeHeight;
}

int TBaseVirtualTree::EffectiveOffsetX() const {
    // Content narrower than the window is moved right by the right-to-left offset, not by this.
    if (UseRightToLeftReading()) return std::max(0, RangeX() + FOffsetX - FView->ClientWidth());
    return -FOffsetX;
}

void TBaseVirtualTree::SetOffsetX(int Value) {
    DoSetOffsetXY(Value, FOffsetY);
}

void TBaseVirtualTree::SetOffsetY(int64_t Value) {
    DoSetOffsetXY(FOffsetX, Value);
}

bool TBaseVirtualTree::DoSetOffsetXY(int X, int64_t Y, TScrollUpdateOptions Options, const TRect* ClipRect) {
    const int clientWidth = FView->ClientWidth();
    const int64_t clientHeight = FView->ClientHeight();
    int64_t x = X;
    x = std::max<int64_t>(x, int64_t(clientWidth) - RangeX());
    x = std::min<int64_t>(x, 0);
    Y = std::max<int64_t>(Y, clientHeight - RangeY());
    Y = std::min<int64_t>(Y, 0);
    int deltaX = int(x - FOffsetX);
    if (UseRightToLeftReading()) deltaX = -deltaX;
    int64_t deltaY = Y - FOffsetY;
    if (deltaX == 0 && deltaY == 0) return false;
    FOffsetX = int(x);
    FOffsetY = Y;
    FView->CancelHint();
    if (FUpdateCount == 0) {
        if (Options.Contains(suoScrollClientArea)) FView->ScrollClientArea(deltaX, deltaY, ClipRect);
        if (Options.Contains(suoUpdateNCArea)) {
            const bool repaintBars = Options.Contains(suoRepaintScrollbars);
            if (deltaX != 0) {
                if (Options.Contains(suoRepaintHeader)) FHeader->RepaintHeader();
                if (!FStates.Contains(tsSizing) && FScrollBarOptions->HasHorizontal())
                    UpdateHorizontalScrollBar(repaintBars);
            }
            if (deltaY != 0 && !FStates.Contains(tsSizing) && !FStates.Contains(tsThumbTracking)) {
                UpdateVerticalScrollBar(repaintBars);
                if (!FHeader->HasColumns() && !IsMouseSelecting() && FScrollBarOptions->HasHorizontal())
                    UpdateHorizontalScrollBar(repaintBars);
            }
        }
    }
    DoScroll(deltaX, deltaY);
    return true;
}

// ---- Scroll bars -------------------------------------------------------------------------

void TBaseVirtualTree::UpdateScrollBars(bool DoRepaint) {
    if (!HandleAllocated()) return;
    UpdateVerticalScrollBar(DoRepaint);
    UpdateHorizontalScrollBar(DoRepaint);
}

void TBaseVirtualTree::UpdateVerticalScrollBar(bool DoRepaint) {
    if (!HandleAllocated()) return;
    const int64_t range = RangeY();
    const int64_t client = FView->ClientHeight();
    int64_t position = 0;
    if (!FScrollBarOptions->HasVertical()) {
        DoShowScrollbar(VTScroll::Vertical, false);
    } else if (client < range || FScrollBarOptions->AlwaysVisible()) {
        position = std::clamp<int64_t>(-FOffsetY, 0, std::max<int64_t>(0, range - client));
        FView->SetScrollInfo(VTScroll::Vertical, range, position, std::max<int64_t>(client + 1, 0),
                             FScrollBarOptions->AlwaysVisible(), DoRepaint);
        DoShowScrollbar(VTScroll::Vertical, true);
    } else {
        FView->SetScrollInfo(VTScroll::Vertical, 0, 0, 0, false, DoRepaint);
        DoShowScrollbar(VTScroll::Vertical, false);
    }
    // Re-applied, so the offset follows a range that shrank.
    DoSetOffsetXY(FOffsetX, -position);
}

void TBaseVirtualTree::UpdateHorizontalScrollBar(bool DoRepaint) {
    if (!HandleAllocated()) return;
    if (!FHeader->HasColumns()) FMaxRightExtend = GetMaxRightExtend();
    const int range = RangeX();
    const int client = FView->ClientWidth();
    int position = 0;
    if (!FScrollBarOptions->HasHorizontal()) {
        DoShowScrollbar(VTScroll::Horizontal, false);
        DoSetOffsetXY(FOffsetX, FOffsetY);
        return;
    }
    if (client < range || FScrollBarOptions->AlwaysVisible()) {
        position = std::clamp(EffectiveOffsetX(), 0, std::max(0, range - client));
        FView->SetScrollInfo(VTScroll::Horizontal, range, position, std::max(client + 1, 0),
                             FScrollBarOptions->AlwaysVisible(), DoRepaint);
        DoShowScrollbar(VTScroll::Horizontal, true);
    } else {
        FView->SetScrollInfo(VTScroll::Horizontal, 0, 0, 0, false, DoRepaint);
        DoShowScrollbar(VTScroll::Horizontal, false);
    }
    DoSetOffsetXY(UseRightToLeftReading() ? client + position - range : -position, FOffsetY);
}

int TBaseVirtualTree::GetMaxRightExtend() {
    int64_t top;
    PVirtualNode node = NodeAtAbsolute(-FOffsetY, top);
    if (!node) return 0;
    int levelOffset =
        int(FIndent) * int(GetNodeLevel(node) + (FOptions->PaintOptions().Contains(toShowRoot) ? 1 : 0));
    if (FStateImages) levelOffset += FView->ImageListWidth(FStateImages) + 2;
    if (FImages) levelOffset += FView->ImageListWidth(FImages) + 2;
    const int clientHeight = FView->ClientHeight();
    int64_t rowTop = top + FOffsetY;
    int result = 0;
    PVirtualNode previous = node;
    while (node && rowTop < clientHeight) {
        EnsureInitialized(node);
        levelOffset += int(FIndent) * CountLevelDifference(previous, node);
        previous = node;
        int extent = levelOffset + CheckSpace(node, NoColumn) + DoGetNodeWidth(node, NoColumn, nullptr);
        result = std::max(result, extent);
        rowTop += node->NodeHeight;
        node = GetNextVisible(node);
    }
    return result + FMargin;
}

// ---- Node positions ----------------------------------------------------------------------

int64_t TBaseVirtualTree::GetNodeTop(PVirtualNode Node) {
    if (!Node || Node == FRoot) return -1;
    EnsureInitialized(Node);
    if (!IsFullyVisible(Node)) return -1;
    // The walk below passes every earlier sibling on the way up; past one
    // cache entry's reach, the cache is built as far as Node.
    uint64_t siblings = 0;
    for (PVirtualNode run = Node; run != FRoot; run = run->Parent)
        siblings += run->Index;
    if (CacheReaches(0, Node, FStates.Contains(tsUseCache) || siblings > CacheThreshold)) {
        uint64_t cachedTop;
        PVirtualNode run = CacheEntryForNode(Node, cachedTop);
        int64_t top = int64_t(cachedTop);
        while (run && run != Node) {
            top += run->NodeHeight;
            run = GetNextVisibleNoInit(run);
        }
        if (run) return top;
    }
    // Whole sibling subtrees are skipped through their total heights.
    int64_t top = 0;
    for (PVirtualNode run = Node; run != FRoot; run = run->Parent) {
        for (PVirtualNode sibling = run->PrevSibling; sibling; sibling = sibling->PrevSibling)
            if (sibling->States.Contains(vsVisible)) top += sibling->TotalHeight;
        if (run->Parent != FRoot) top += run->Parent->NodeHeight;
    }
    return top;
}

// ---- Bringing nodes into view ------------------------------------------------------------

bool TBaseVirtualTree::ScrollIntoView(PVirtualNode Node, bool Center, bool Horizontally) {
    if (!Node || Node == FRoot) return false;
    // Every collapsed ancestor opens, the outermost first.
    std::vector<PVirtualNode> ancestors;
    for (PVirtualNode run = Node->Parent; run != FRoot; run = run->Parent)
        ancestors.push_back(run);
    for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it)
        if (!(*it)->States.Contains(vsExpanded)) ToggleNode(*it);
    const int64_t top = GetNodeTop(Node);
    if (top < 0) return false;
    const bool columns = FHeader->HasColumns();
    const int64_t clientHeight = FView->ClientHeight();
    const int64_t rowTop = top + FOffsetY;
    const int64_t rowBottom = rowTop + Node->NodeHeight;
    bool result = false;
    if (rowTop < 0) {
        SetOffsetY(FOffsetY - rowTop + (Center ? clientHeight / 2 : 0));
        result = true;
    } else if (rowBottom > clientHeight || Center) {
        int64_t offset = FOffsetY + (Center ? clientHeight / 2 : clientHeight) - rowBottom;
        // The horizontal bar that is about to appear would cover the row.
        if (!columns && !FScrollBarShown[VTScroll::Horizontal] && RangeX() > FView->ClientWidth())
            offset -= FView->ScrollBarSize();
        SetOffsetY(offset);
        result = true;
    }
    if (!Horizontally) return result;
    TRect r = GetDisplayRect(Node, columns ? FFocusedColumn : NoColumn,
                             FOptions->MiscOptions().Contains(toGridExtensions));
    const int clientWidth = FView->ClientWidth();
    const int fixed = columns ? FHeader->Columns()->FixedVisibleWidth() : 0;
    if (fixed == 0) {
        if (r.Right > clientWidth || r.Left < 0) {
            int value = -((r.Left + r.Right) / 2 + EffectiveOffsetX() - clientWidth / 2);
            SetOffsetX(UseRightToLeftReading() ? clientWidth + value - RangeX() : value);
            result = true;
        }
        return result;
    }
    // With fixed columns the cell is brought just right of them; a fixed cell never scrolls.
    const bool fixedCell = FHeader->Columns()->IsValidIndex(FFocusedColumn) &&
                           FHeader->Columns()->GetItem(FFocusedColumn)->Options().Contains(coFixed);
    if (!fixedCell && (r.Left < fixed || r.Right > clientWidth)) {
        int effective = r.Left + EffectiveOffsetX() - fixed;
        SetOffsetX(UseRightToLeftReading() ? clientWidth + effective - RangeX() : -effective);
        result = true;
    }
    return result;
}

void TBaseVirtualTree::SetTopNode(PVirtualNode Node) {
    if (!Node || Node == FRoot) return;
    for (PVirtualNode run = Node->Parent; run != FRoot; run = run->Parent)
        if (!run->States.Contains(vsExpanded)) ToggleNode(run);
    int64_t top = GetNodeTop(Node);
    if (top >= 0) SetOffsetY(-top);
}

// ---- Scroll requests, wheel and size -----------------------------------------------------

void TBaseVirtualTree::WMVScroll(int Code, int64_t TrackPos) {
    const int64_t client = FView->ClientHeight();
    switch (Code) {
    case VTScroll::LineUp:
        SetOffsetY(FOffsetY + FScrollBarOptions->VerticalIncrement);
        break;
    case VTScroll::LineDown:
        SetOffsetY(FOffsetY - FScrollBarOptions->VerticalIncrement);
        break;
    case VTScroll::PageUp:
        SetOffsetY(FOffsetY + client);
        break;
    case VTScroll::PageDown:
        SetOffsetY(FOffsetY - client);
        break;
    case VTScroll::ThumbPosition:
    case VTScroll::ThumbTrack:
        DoStateChange({tsThumbTracking});
        SetOffsetY(-TrackPos);
        break;
    case VTScroll::Top:
        SetOffsetY(0);
        break;
    case VTScroll::Bottom:
        SetOffsetY(-int64_t(FRoot->TotalHeight));
        break;
    case VTScroll::EndScroll:
        DoStateChange({}, {tsThumbTracking});
        UpdateScrollBars(true);
        if (HandleAllocated()) FView->RedrawFrame();
        break;
    default:
        break;
    }
}

void TBaseVirtualTree::WMHScroll(int Code, int TrackPos) {
    const int step = UseRightToLeftReading() ? -1 : 1;
    const int client = FView->ClientWidth();
    const int increment = FScrollBarOptions->HorizontalIncrement;
    switch (Code) {
    case VTScroll::LineUp:
        SetOffsetX(FOffsetX + step * increment);
        break;
    case VTScroll::LineDown:
        SetOffsetX(FOffsetX - step * increment);
        break;
    case VTScroll::PageUp:
        SetOffsetX(FOffsetX + step * client);
        break;
    case VTScroll::PageDown:
        SetOffsetX(FOffsetX - step * client);
        break;
    case VTScroll::ThumbPosition:
    case VTScroll::ThumbTrack:
        DoStateChange({tsThumbTracking});
        SetOffsetX(UseRightToLeftReading() ? client + TrackPos - RangeX() : -TrackPos);
        break;
    case VTScroll::Top:
        SetOffsetX(0);
        break;
    case VTScroll::Bottom:
        SetOffsetX(-RangeX());
        break;
    case VTScroll::EndScroll:
        DoStateChange({}, {tsThumbTracking});
        UpdateHorizontalScrollBar(false);
        break;
    default:
        break;
    }
}

void TBaseVirtualTree::WMMouseWheel(int Delta, TShiftState Shift) {
    const int notches = Delta / WheelDelta;
    const int64_t clientHeight = FView->ClientHeight();
    if (RangeY() > clientHeight) {
        const int lines = FView->WheelScrollLines();
        int64_t rows;
        // A negative setting means whole pages.
        if ((Shift & ssCtrl) || lines < 0)
            rows = clientHeight / int64_t(FDefaultNodeHeight) * notches;
        else
            rows = int64_t(Delta) * lines / WheelDelta;
        SetOffsetY(FOffsetY + rows * int64_t(FDefaultNodeHeight));
    } else {
        int amount = (Shift & ssCtrl) ? notches * FView->ClientWidth() : notches * int(FIndent);
        if (UseRightToLeftReading()) amount = -amount;
        SetOffsetX(FOffsetX + amount);
    }
}

void TBaseVirtualTree::WMSize() {
    if (!HandleAllocated() || FStates.Contains(tsSizing) || FStates.Contains(tsWindowCreating) ||
        FView->ClientHeight() < 1)
        return;
    DoStateChange({tsSizing});
    TScopeGuard leave([&] { DoStateChange({}, {tsSizing}); });
    if (FHeader->Options().Contains(hoAutoSpring)) FHeader->SpringColumns();
    if (FHeader->Options().Contains(hoAutoResize) && !FHeader->FStates.Contains(hsAutoSizing)) {
        FHeader->FStates.Include(hsAutoSizing);
        TScopeGuard sized([&] { FHeader->FStates.Exclude(hsAutoSizing); });
        FHeader->Columns()->FitAutoSizeColumn(false);
        FHeader->RepaintHeader();
    }
    UpdateScrollBars(true);
    if (FStates.Contains(tsEditing) && !FHeader->HasColumns()) FView->UpdateEditBounds();
}

// ---- Automatic scrolling -----------------------------------------------------------------

bool TBaseVirtualTree::CanAutoScroll() const {
    const bool panning = FStates.Contains(tsWheelPanning);
    const bool dropTarget = FDragManager && FDragManager->IsOverTree();
    return (FOptions->AutoOptions().Contains(toAutoScroll) || panning) && FHeader->States().Empty() &&
           (IsMouseSelecting() || dropTarget || FStates.Contains(tsVCLDragging) || panning);
}

TScrollDirections TBaseVirtualTree::DetermineScrollDirections(int X, int Y) {
    TScrollDirections result;
    if (!CanAutoScroll()) return result;
    if (FStates.Contains(tsWheelPanning)) {
        TPoint anchor = FLastClickPos;
        if (X - anchor.X > PanningDeadZone) result.Include(sdRight);
        if (X - anchor.X < -PanningDeadZone) result.Include(sdLeft);
        if (Y - anchor.Y > PanningDeadZone) result.Include(sdDown);
        if (Y - anchor.Y < -PanningDeadZone) result.Include(sdUp);
        return result;
    }
    const int edge = int(FDefaultNodeHeight);
    const int clientWidth = FView->ClientWidth();
    const int64_t clientHeight = FView->ClientHeight();
    if (X < edge && EffectiveOffsetX() > 0) result.Include(sdLeft);
    if (X > clientWidth - edge && EffectiveOffsetX() + clientWidth < RangeX()) result.Include(sdRight);
    if (Y < edge && FOffsetY != 0) result.Include(sdUp);
    if (Y > clientHeight - edge && -FOffsetY + clientHeight < RangeY()) result.Include(sdDown);
    return result;
}

void TBaseVirtualTree::StopAutoScroll() {
    FView->KillTimer(ScrollTimer);
    DoStateChange({}, {tsScrolling, tsScrollPending});
}

void TBaseVirtualTree::DoAutoScroll(int X, int Y) {
    FScrollDirections = DetermineScrollDirections(X, Y);
    if (FStates.Contains(tsWheelPanning)) return;
    if (FScrollDirections.Empty()) {
        StopAutoScroll();
    } else if (!FStates.Contains(tsScrollPending) && !FStates.Contains(tsScrolling)) {
        DoStateChange({tsScrollPending});
        FView->SetTimer(ScrollTimer, AutoScrollDelay);
    }
}

void TBaseVirtualTree::DoTimerScroll() {
    const TPoint p = FView->CursorPos();
    const int clientWidth = FView->ClientWidth();
    const int64_t clientHeight = FView->ClientHeight();
    const bool inside = p.X >= 0 && p.X < clientWidth && p.Y >= 0 && p.Y < clientHeight;
    const bool panning = FStates.Contains(tsWheelPanning);
    if (!IsMouseSelecting() && !inside && !panning) return;
    const int64_t vertical = FScrollBarOptions->VerticalIncrement;
    const int64_t horizontal = FScrollBarOptions->HorizontalIncrement;
    int64_t dx = 0, dy = 0;
    if (FScrollDirections.Contains(sdUp)) {
        if (FOffsetY == 0)
            FScrollDirections.Exclude(sdUp);
        else
            dy += panning  ? FLastClickPos.Y - p.Y - PanningDeadZone
                  : inside ? std::min(vertical, clientHeight)
                           : vertical * (0 - int64_t(p.Y));
    }
    if (FScrollDirections.Contains(sdDown)) {
        if (FOffsetY <= clientHeight - RangeY())
            FScrollDirections.Exclude(sdDown);
        else
            dy -= panning  ? p.Y - FLastClickPos.Y - PanningDeadZone
                  : inside ? std::min(vertical, clientHeight)
                           : vertical * (int64_t(p.Y) - clientHeight + 1);
    }
    if (FScrollDirections.Contains(sdLeft)) {
        if (EffectiveOffsetX() <= 0)
            FScrollDirections.Exclude(sdLeft);
        else
            dx += panning  ? FLastClickPos.X - p.X - PanningDeadZone
                  : inside ? horizontal
                           : horizontal * (0 - p.X);
    }
    if (FScrollDirections.Contains(sdRight)) {
        if (EffectiveOffsetX() + clientWidth >= RangeX())
            FScrollDirections.Exclude(sdRight);
        else
            dx -= panning  ? p.X - FLastClickPos.X - PanningDeadZone
                  : inside ? horizontal
                           : horizontal * (int64_t(p.X) - clientWidth + 1);
    }
    if (UseRightToLeftReading()) dx = -dx;
    if (IsMouseSelecting()) {
        TRect clip{0, 0, clientWidth, ClampToInt(clientHeight)};
        DoSetOffsetXY(ClampToInt(FOffsetX + dx), FOffsetY + dy, DefaultScrollUpdateFlags, &clip);
        if (CalculateSelectionRect(p.X, p.Y)) HandleDrawSelection(p.X, p.Y);
        InvalidateView();
    } else if (dx != 0 || dy != 0) {
        DoSetOffsetXY(ClampToInt(FOffsetX + dx), FOffsetY + dy);
    }
    if (HandleAllocated()) FView->UpdateWindow();
    if (FScrollDirections.Empty() && !panning) StopAutoScroll();
}
