// Mouse input over the node area: button-down decides and records what is
// pending, button-up, a move beyond the drag threshold or a cancel resolves
// it; hot tracking, the cursor, the context menu and the start of drags.
#include <algorithm>
#include <cstdlib>

#include "controls/vtree/VirtualTrees.h"
#include "controls/vtree/VirtualTrees_p.h"

using VTPrivate::CheckNormalForm;
using VTPrivate::CheckPressedForm;

namespace {

TPoint MessagePoint(const TMessage& Message) {
    return {LoWordSigned(Message.LParam), HiWordSigned(Message.LParam)};
}

TShiftState MessageShift(const TMessage& Message) {
    TShiftState shift = KeysToShiftState(unsigned(Message.WParam)) & (ssShift | ssCtrl);
    return shift | (GetShiftState() & ssAlt);
}

} // namespace

// ---- Button messages ---------------------------------------------------------------------

void TBaseVirtualTree::WMButtonDown(TMessage& Message, TMouseButton Button) {
    const TPoint p = MessagePoint(Message);
    const THeaderStates busy{hsTracking, hsTrackPending, hsDragging, hsDragPending};
    THitInfo hit;
    switch (Button) {
    case TMouseButton::mbLeft:
        DoStateChange({tsLeftButtonDown});
        TCustomControl::Dispatch(Message);
        GetHitTestInfoAt(p.X, p.Y, true, hit);
        HandleMouseDown(Message, hit);
        break;
    case TMouseButton::mbMiddle: {
        DoStateChange({tsMiddleButtonDown});
        if (!(FHeader->States() * busy).Empty()) return;
        TCustomControl::Dispatch(Message);
        const TVTMiscOptions misc = FOptions->MiscOptions();
        const bool larger = RangeX() > FView->ClientWidth() || RangeY() > FView->ClientHeight();
        if (misc.Contains(toWheelPanning) && !FStates.Contains(tsWheelPanning) && larger) {
            FLastClickPos = p;
            DoStateChange({tsWheelPanning});
            FView->SetTimer(ScrollTimer, 20);
            return;
        }
        if (FStates.Contains(tsWheelPanning) || FStates.Contains(tsWheelScrolling)) {
            FView->KillTimer(ScrollTimer);
            DoStateChange({}, {tsWheelPanning, tsWheelScrolling});
        }
        if (FOptions->SelectionOptions().Contains(toMiddleClickSelect)) {
            GetHitTestInfoAt(p.X, p.Y, true, hit);
            HandleMouseDown(Message, hit);
        }
        break;
    }
    case TMouseButton::mbRight:
        DoStateChange({tsRightButtonDown});
        if (!(FHeader->States() * busy).Empty()) return;
        TCustomControl::Dispatch(Message);
        if (FOptions->SelectionOptions().Contains(toRightClickSelect)) {
            GetHitTestInfoAt(p.X, p.Y, true, hit);
            HandleMouseDown(Message, hit);
        }
        break;
    }
}

void TBaseVirtualTree::WMButtonUp(TMessage& Message, TMouseButton Button) {
    const TPoint p = MessagePoint(Message);
    const THeaderStates busy{hsTracking, hsTrackPending, hsDragging, hsDragPending};
    THitInfo hit;
    switch (Button) {
    case TMouseButton::mbLeft:
        DoStateChange({}, {tsLeftButtonDown});
        GetHitTestInfoAt(p.X, p.Y, true, hit);
        HandleMouseUp(Message, hit);
        TCustomControl::Dispatch(Message);
        break;
    case TMouseButton::mbMiddle:
        DoStateChange({}, {tsMiddleButtonDown});
        if (FStates.Contains(tsWheelPanning) || FStates.Contains(tsWheelScrolling)) {
            if (FStates.Contains(tsWheelScrolling)) {
                DoStateChange({}, {tsWheelPanning});
            } else {
                FView->KillTimer(ScrollTimer);
                DoStateChange({}, {tsWheelPanning, tsWheelScrolling});
            }
            return;
        }
        if (!(FHeader->States() * busy).Empty()) return;
        TCustomControl::Dispatch(Message);
        if (FOptions->SelectionOptions().Contains(toMiddleClickSelect)) {
            GetHitTestInfoAt(p.X, p.Y, true, hit);
            HandleMouseUp(Message, hit);
        }
        break;
    case TMouseButton::mbRight:
        DoStateChange({}, {tsRightButtonDown, tsPopupMenuShown});
        if (!(FHeader->States() * busy).Empty()) return;
        FView->CancelHint();
        if ((FStates.Contains(tsDrawSelPending) || FStates.Contains(tsDrawSelecting)) && PopupMenu()) {
            DoStateChange({}, {tsDrawSelPending, tsDrawSelecting});
            InvalidateView();
        }
        TCustomControl::Dispatch(Message);
        GetHitTestInfoAt(p.X, p.Y, true, hit);
        if (FOptions->SelectionOptions().Contains(toRightClickSelect)) HandleMouseUp(Message, hit);
        // An assigned menu shows through the context-menu request that follows.
        if (!PopupMenu()) DoPopupMenu(hit.HitNode, hit.HitColumn, p);
        break;
    }
}

void TBaseVirtualTree::WMButtonDblClk(TMessage& Message, TMouseButton Button) {
    const TPoint p = MessagePoint(Message);
    const TVirtualTreeState state = Button == TMouseButton::mbLeft     ? tsLeftDblClick
                                    : Button == TMouseButton::mbMiddle ? tsMiddleDblClick
                                                                       : tsRightDblClick;
    DoStateChange({state});
    TCustomControl::Dispatch(Message);
    const TVTSelectionOptions sel = FOptions->SelectionOptions();
    const bool handle = Button == TMouseButton::mbLeft ||
                        (Button == TMouseButton::mbMiddle && sel.Contains(toMiddleClickSelect)) ||
                        (Button == TMouseButton::mbRight && sel.Contains(toRightClickSelect));
    if (handle) {
        THitInfo hit;
        GetHitTestInfoAt(p.X, p.Y, true, hit);
        HandleMouseDblClick(Message, hit);
    }
    DoStateChange({}, {state});
}

void TBaseVirtualTree::WMContextMenu(TMessage& Message) {
    DoStateChange({}, {tsClearPending, tsEditPending, tsOLEDragPending, tsVCLDragPending});
    if (FStates.Contains(tsPopupMenuShown)) {
        // Shown already; the state has done its work, so the next request
        // (from the menu key, say) is not swallowed too.
        DoStateChange({}, {tsPopupMenuShown});
        return;
    }
    TCustomControl::Dispatch(Message);
}

void TBaseVirtualTree::WMCancelMode() {
    for (unsigned timer : {ExpandTimer, EditTimer, HeaderTimer, ScrollTimer, SearchTimer})
        FView->KillTimer(timer);
    FSearchBuffer.clear();
    FLastSearchNode = nullptr;
    DoStateChange({}, {tsClearPending, tsDrawSelPending, tsDrawSelecting, tsEditPending,
                       tsIncrementalSearching, tsOLEDragPending, tsVCLDragPending});
}

void TBaseVirtualTree::CMMouseLeave() {
    FLastHintRect = TRect{};
    TVirtualTreeStates leave{tsHint};
    if (!FStates.Contains(tsWheelPanning) && !FStates.Contains(tsWheelScrolling)) {
        leave += TVirtualTreeStates{tsScrolling, tsScrollPending};
        FView->KillTimer(ScrollTimer);
    }
    DoStateChange({}, leave);
    if (FCurrentHotNode) {
        PVirtualNode old = FCurrentHotNode;
        DoHotChange(old, nullptr);
        InvalidateNode(old);
        FCurrentHotNode = nullptr;
    }
    FHeader->Columns()->DownIndex = NoColumn;
    FHeader->Columns()->HoverIndex = NoColumn;
}

bool TBaseVirtualTree::WMSetCursor(TPoint P) {
    if (FStates.Contains(tsWheelPanning) || FStates.Contains(tsWheelScrolling)) return false;
    if (FHeader->HandleSetCursor(P)) return true;
    TCursor cursor = Cursor();
    if (FOptions->PaintOptions().Contains(toHotTrack) && FCurrentHotNode && HotCursor != crDefault)
        cursor = HotCursor;
    DoGetCursor(cursor);
    FView->SetCursor(cursor);
    return true;
}

// ---- Decisions at button-down, resolution at button-up -----------------------------------

void TBaseVirtualTree::HandleMouseDown(TMessage& Message, const THitInfo& HitInfo) {
    const TPoint p = MessagePoint(Message);
    if (FStates.Contains(tsWheelPanning) || FStates.Contains(tsWheelScrolling)) {
        FView->KillTimer(ScrollTimer);
        DoStateChange({}, {tsWheelPanning, tsWheelScrolling});
        return;
    }
    FView->KillTimer(EditTimer);
    DoStateChange({}, {tsEditPending});
    if (!FView->Focused() && FView->CanFocus()) FView->SetFocus();
    TVirtualTreeColumns* columns = FHeader->Columns();
    columns->ClickIndex = HitInfo.HitColumn;

    const THitPositions pos = HitInfo.HitPositions;
    const TVTSelectionOptions sel = FOptions->SelectionOptions();
    const TVTMiscOptions misc = FOptions->MiscOptions();
    const bool fullRowOrGrid = sel.Contains(toFullRowSelect) || misc.Contains(toGridExtensions);
    PVirtualNode hitNode = HitInfo.HitNode;
    bool columnChange = false;
    TColumnIndex newColumn = FFocusedColumn;
    if (pos.Contains(hpOnItemLabel) || fullRowOrGrid) {
        columnChange = HitInfo.HitColumn != FFocusedColumn;
        newColumn = sel.Contains(toExtendedFocus) ? HitInfo.HitColumn : GetMainColumn();
    }
    const bool nodeChange = hitNode != FFocusedNode;

    TShiftState shift = KeysToShiftState(unsigned(Message.WParam)) & (ssShift | ssCtrl);
    const bool alt = (GetShiftState() & ssAlt) != 0;
    const bool labelHit = !alt && (pos.Contains(hpOnItemLabel) || pos.Contains(hpOnNormalIcon));
    const bool cellHit = !alt && !labelHit && hitNode && !pos.Contains(hpOnItemButton) &&
                         !pos.Contains(hpOnItemCheckbox) && fullRowOrGrid;
    const bool anyHit = labelHit || cellHit;
    const bool multiSelect = sel.Contains(toMultiSelect);
    const bool shiftEmpty = (shift & (ssShift | ssCtrl)) == 0;
    const bool nodeSelected = anyHit && hitNode->States.Contains(vsSelected);
    const bool fullRowDrag = misc.Contains(toFullRowDrag);

    bool autoDrag = false;
    if (Dragging())
        autoDrag = !cellHit || fullRowDrag;
    else if (hitNode)
        autoDrag = DoDragAllowed(hitNode, newColumn) && (!cellHit || fullRowDrag);

    if (pos.Contains(hpOnItemButton) && hitNode && hitNode->States.Contains(vsHasChildren)) {
        ToggleNode(hitNode);
        return;
    }
    if (pos.Contains(hpOnItemCheckbox) && hitNode) {
        if (FStates.Contains(tsKeyCheckPending) || FStates.Contains(tsMouseCheckPending) ||
            hitNode->States.Contains(vsDisabled))
            return;
        TCheckState next = NextCheckState(TCheckType(hitNode->CheckType), TCheckState(hitNode->CheckState));
        if (DoChecking(hitNode, next)) {
            DoStateChange({tsMouseCheckPending});
            FCheckNode = hitNode;
            FPendingCheckState = next;
            hitNode->CheckState = uint8_t(CheckPressedForm(TCheckState(hitNode->CheckState)));
            InvalidateNode(hitNode);
        }
        return;
    }
    if ((FRoot->ChildCount > 0 && shiftEmpty) || FSelectionCount == 0) {
        PVirtualNode levelNode = hitNode ? hitNode : GetLastVisible();
        FLastSelectionLevel = levelNode ? int(GetNodeLevel(levelNode)) : NoSelectionLevel;
    }
    if (multiSelect && shiftEmpty && anyHit && autoDrag && nodeSelected) DoStateChange({tsClearPending});
    const bool deferOk =
        !autoDrag && !(FStates.Contains(tsRightButtonDown) && HasPopupMenu(hitNode, HitInfo.HitColumn, p));
    if ((multiSelect && shiftEmpty && !(anyHit || fullRowDrag)) ||
        (anyHit && (!nodeSelected || deferOk) && (shiftEmpty || !multiSelect))) {
        if (nodeSelected || (alt && hitNode && HitInfo.HitColumn == GetMainColumn())) {
            const int before = FSelectionCount;
            InternalClearSelection();
            InternalAddToSelection(hitNode, true);
            if (before > 1) {
                InvalidateView();
                Change(nullptr);
            }
        } else {
            ClearSelection();
        }
    }
    if (FView->Focused() &&
        (pos.Contains(hpOnItemLabel) || (misc.Contains(toGridExtensions) && pos.Contains(hpOnItem))) &&
        nodeSelected && !columnChange && shiftEmpty)
        DoStateChange({tsEditPending});
    if (!sel.Contains(toDisableDrawSelection) && multiSelect && !labelHit && !fullRowDrag) {
        FView->SetCapture();
        FDrawSelShiftState = shift;
        const int x = p.X + EffectiveOffsetX();
        const int64_t y = int64_t(p.Y) - FOffsetY;
        FNewSelRect = TVTRect64{x, y, x, y};
        FLastSelRect = TVTRect64{};
        DoStateChange({tsDrawSelPending});
        if (!cellHit) return;
    }
    FLastClickPos = p;
    if (anyHit && DoFocusChanging(FFocusedNode, hitNode, FFocusedColumn, newColumn)) {
        if (columnChange) {
            InvalidateColumn(FFocusedColumn);
            InvalidateColumn(newColumn);
            FFocusedColumn = newColumn;
        }
        PVirtualNode previous = FFocusedNode;
        if (nodeChange || columnChange) DoFocusNode(hitNode, false);
        if (multiSelect && !shiftEmpty) {
            HandleClickSelection(hitNode, shift, autoDrag);
            (void)previous;
        } else {
            if (shiftEmpty) FRangeAnchor = hitNode;
            if (!hitNode->States.Contains(vsSelected)) {
                AddToSelection(hitNode);
                InvalidateNode(hitNode);
            }
        }
        if (nodeChange || columnChange) DoFocusChange(FFocusedNode, FFocusedColumn);
    }
    if (autoDrag && anyHit &&
        (FStates.Contains(tsLeftButtonDown) || FStates.Contains(tsRightButtonDown) ||
         FStates.Contains(tsMiddleButtonDown)))
        BeginDrag(false);
}

void TBaseVirtualTree::HandleMouseUp(TMessage& Message, const THitInfo& HitInfo) {
    FView->ReleaseCapture();
    if (FStates.Contains(tsVCLDragPending)) return;
    if (FStates.Contains(tsDrawSelPending) || FStates.Contains(tsDrawSelecting)) {
        DoStateChange({}, {tsDrawSelPending, tsDrawSelecting, tsToggleFocusedSelection});
        InvalidateView();
    }
    if (FStates.Contains(tsClearPending)) {
        ClearSelection();
        if (FFocusedNode && !FFocusedNode->States.Contains(vsSelected)) AddToSelection(FFocusedNode);
    }
    if (FStates.Contains(tsToggleFocusedSelection) && HitInfo.HitNode == FFocusedNode && FFocusedNode) {
        if (FFocusedNode->States.Contains(vsSelected))
            RemoveFromSelection(FFocusedNode);
        else
            AddToSelection(FFocusedNode);
        InvalidateNode(FFocusedNode);
    }
    DoStateChange({}, {tsToggleFocusedSelection, tsClearPending, tsDrawSelPending, tsOLEDragging,
                       tsOLEDragPending, tsScrolling, tsScrollPending});
    FView->KillTimer(ScrollTimer);
    if (FStates.Contains(tsMouseCheckPending)) {
        DoStateChange({}, {tsMouseCheckPending});
        PVirtualNode node = FCheckNode;
        FCheckNode = nullptr;
        if (node) {
            // The box takes the pressed form back first, so the change compares
            // against the state the user saw.
            node->CheckState = uint8_t(CheckNormalForm(TCheckState(node->CheckState)));
            if (HitInfo.HitNode == node && HitInfo.HitPositions.Contains(hpOnItem))
                DoCheckClick(node, FPendingCheckState);
            InvalidateNode(node);
        }
    }
    TVirtualTreeColumns* columns = FHeader->Columns();
    if (columns->ClickIndex >= 0 && columns->ClickIndex == HitInfo.HitColumn)
        DoColumnClick(HitInfo.HitColumn,
                      KeysToShiftState(unsigned(Message.WParam)) | (GetShiftState() & ssAlt));
    if (FStates.Contains(tsEditPending)) {
        if (HitInfo.HitNode == FFocusedNode && HitInfo.HitPositions.Contains(hpOnItem) &&
            CanEdit(FFocusedNode, FFocusedColumn)) {
            FEditColumn = FFocusedColumn;
            FView->SetTimer(EditTimer, EditDelay);
        } else {
            DoStateChange({}, {tsEditPending});
        }
    }
}

void TBaseVirtualTree::HandleMouseDblClick(TMessage& Message, const THitInfo& HitInfo) {
    FView->KillTimer(EditTimer);
    DoStateChange({}, {tsEditPending});
    if (FHeader->Columns()->ClickIndex == HitInfo.HitColumn)
        DoColumnDblClick(HitInfo.HitColumn, MessageShift(Message));
    const THitPositions pos = HitInfo.HitPositions;
    PVirtualNode node = HitInfo.HitNode;
    if (pos.Contains(hpOnItemCheckbox) && node) {
        if (FStates.Contains(tsKeyCheckPending) || FStates.Contains(tsMouseCheckPending) ||
            node->States.Contains(vsDisabled))
            return;
        TCheckState next = NextCheckState(TCheckType(node->CheckType), TCheckState(node->CheckState));
        if (DoChecking(node, next)) {
            DoStateChange({tsMouseCheckPending});
            FCheckNode = node;
            FPendingCheckState = next;
            node->CheckState = uint8_t(CheckPressedForm(TCheckState(node->CheckState)));
            InvalidateNode(node);
        }
        return;
    }
    if (!node) return;
    if (pos.Contains(hpOnItemButton)) {
        ToggleNode(node);
    } else if (FOptions->MiscOptions().Contains(toToggleOnDblClick) &&
               (pos.Contains(hpOnItemLabel) || pos.Contains(hpOnNormalIcon) || pos.Contains(hpOnStateIcon) ||
                FOptions->SelectionOptions().Contains(toFullRowSelect))) {
        ToggleNode(node);
    }
}

void TBaseVirtualTree::MouseMove(TShiftState Shift, int X, int Y) {
    const int threshold = FView->DragThreshold();
    if (FStates.Contains(tsDrawSelPending)) {
        if (CalculateSelectionRect(X, Y)) InvalidateView();
        const TVTRect64& r = FNewSelRect;
        if (std::abs(r.Right - r.Left) > threshold || std::abs(r.Bottom - r.Top) > threshold) {
            if (FStates.Contains(tsClearPending)) {
                DoStateChange({}, {tsClearPending});
                ClearSelection();
            }
            DoStateChange({tsDrawSelecting}, {tsDrawSelPending});
            FFocusedColumn = GetMainColumn();
            FLastSelRect = TVTRect64{};
            if (HandleDrawSelection(X, Y)) InvalidateView();
        }
        return;
    }
    if (FStates.Contains(tsWheelPanning) && FStates.Contains(tsWheelScrolling) &&
        (std::abs(FLastClickPos.X - X) >= threshold || std::abs(FLastClickPos.Y - Y) >= threshold))
        DoStateChange({}, {tsWheelScrolling});
    if (FStates.Contains(tsOLEDragPending) && (std::abs(FLastClickPos.X - X) >= FDragThreshold ||
                                               std::abs(FLastClickPos.Y - Y) >= FDragThreshold)) {
        DoDragging(FLastClickPos);
        return;
    }
    if (CanAutoScroll()) DoAutoScroll(X, Y);
    if (!FStates.Contains(tsDrawSelecting)) {
        HandleHotTrack(X, Y);
        TCustomControl::MouseMove(Shift, X, Y);
        return;
    }
    if (FStates.Contains(tsScrolling)) return;
    if (CalculateSelectionRect(X, Y)) {
        HandleDrawSelection(X, Y);
        InvalidateView();
        if (HandleAllocated()) FView->UpdateWindow();
    }
}

void TBaseVirtualTree::HandleHotTrack(int X, int Y) {
    THitInfo hit;
    GetHitTestInfoAt(X, Y, true, hit);
    PVirtualNode node = nullptr;
    if (hit.HitNode &&
        (hit.HitPositions.Contains(hpOnItemLabel) || hit.HitPositions.Contains(hpOnItemCheckbox) ||
         FOptions->SelectionOptions().Contains(toFullRowSelect)))
        node = hit.HitNode;
    if (node == FCurrentHotNode) return;
    PVirtualNode old = FCurrentHotNode;
    DoHotChange(old, node);
    if (FOptions->PaintOptions().Contains(toHotTrack) || FOptions->MiscOptions().Contains(toCheckSupport)) {
        InvalidateNode(old);
        InvalidateNode(node);
    }
    FCurrentHotNode = node;
}

// ---- Pop-up menu and drags ---------------------------------------------------------------

bool TBaseVirtualTree::HasPopupMenu(PVirtualNode Node, TColumnIndex Column, TPoint P) {
    return PopupMenu() != nullptr || DoGetPopupMenu(Node, Column, P) != nullptr;
}

void TBaseVirtualTree::DoPopupMenu(PVirtualNode Node, TColumnIndex Column, TPoint P) {
    TPopupMenu* menu = DoGetPopupMenu(Node, Column, P);
    if (!menu) return;
    DoStateChange({tsPopupMenuShown});
    FView->KillTimer(EditTimer);
    FView->Popup(menu, P);
}

bool TBaseVirtualTree::Dragging() const {
    return FStates.Contains(tsOLEDragPending) || FStates.Contains(tsOLEDragging) ||
           FStates.Contains(tsVCLDragging);
}

void TBaseVirtualTree::BeginDrag(bool Immediate, int Threshold) {
    if (FStates.Contains(tsOLEDragPending) || FStates.Contains(tsOLEDragging)) return;
    FDragThreshold = Threshold < 0 ? FView->DragThreshold() : Threshold;
    if (!Immediate) DoStateChange({tsOLEDragPending});
}
