// The event dispatchers: each fires its event, supplying the default result
// when no handler is assigned, and tree states change only through them.
#include "controls/vtree/VirtualTrees.h"

#include "platform/rtl/ScopeGuard.h"

void TBaseVirtualTree::DoChange(PVirtualNode Node) {
    FView->KillTimer(ChangeTimer);
    if (OnChange) OnChange(this, Node);
    DoStateChange({}, {tsChangePending});
    FLastChangedNode = nullptr;
}

void TBaseVirtualTree::DoCollapsed(PVirtualNode Node) {
    if (OnCollapsed) OnCollapsed(this, Node);
    FView->NotifyAccessibleStateChange();
}

bool TBaseVirtualTree::DoCollapsing(PVirtualNode Node) {
    bool allowed = true;
    if (OnCollapsing) OnCollapsing(this, Node, allowed);
    return allowed;
}

int TBaseVirtualTree::DoCompare(PVirtualNode Node1, PVirtualNode Node2, TColumnIndex Column) {
    int result = 0;
    if (OnCompareNodes) OnCompareNodes(this, Node1, Node2, Column, result);
    return result;
}

bool TBaseVirtualTree::DoDragAllowed(PVirtualNode Node, TColumnIndex Column) {
    bool allowed = false;
    if (OnDragAllowed) OnDragAllowed(this, Node, Column, allowed);
    return allowed;
}

void TBaseVirtualTree::DoExpanded(PVirtualNode Node) {
    if (OnExpanded) OnExpanded(this, Node);
    FView->NotifyAccessibleStateChange();
}

bool TBaseVirtualTree::DoExpanding(PVirtualNode Node) {
    bool allowed = true;
    if (OnExpanding) OnExpanding(this, Node, allowed);
    return allowed;
}

void TBaseVirtualTree::DoFocusChange(PVirtualNode Node, TColumnIndex Column) {
    if (OnFocusChanged) OnFocusChanged(this, Node, Column);
    FView->NotifyAccessibleFocus();
}

bool TBaseVirtualTree::DoFocusChanging(PVirtualNode OldNode, PVirtualNode NewNode, TColumnIndex OldColumn,
                                       TColumnIndex NewColumn) {
    bool allowed = true;
    if (OnFocusChanging) OnFocusChanging(this, OldNode, NewNode, OldColumn, NewColumn, allowed);
    return allowed;
}

void TBaseVirtualTree::DoFreeNode(PVirtualNode Node) {
    // The tree forgets the node before and takes its slot back after.
    if (OnFreeNode && (Node->States.Contains(vsInitDone) || Node->States.Contains(vsDataNeedsFree)))
        OnFreeNode(this, Node);
}

void TBaseVirtualTree::DoGetNodeDataSize(int& Size) {
    Size = 0;
    if (OnGetNodeDataSize) OnGetNodeDataSize(this, Size);
}

int TBaseVirtualTree::DoGetNodeWidth(PVirtualNode, TColumnIndex, TCanvas*) {
    return 0;
}

void TBaseVirtualTree::DoHotChange(PVirtualNode Old, PVirtualNode New) {
    if (OnHotChange) OnHotChange(this, Old, New);
}

int TBaseVirtualTree::DoIncrementalSearch(PVirtualNode Node, const WideString& Text) {
    int result = 0;
    if (OnIncrementalSearch) OnIncrementalSearch(this, Node, Text, result);
    return result;
}

void TBaseVirtualTree::DoInitChildren(PVirtualNode Node, uint32_t& ChildCount) {
    if (OnInitChildren) OnInitChildren(this, Node, ChildCount);
}

void TBaseVirtualTree::DoInitNode(PVirtualNode Parent, PVirtualNode Node,
                                  TVirtualNodeInitStates& InitStates) {
    if (OnInitNode) OnInitNode(this, Parent, Node, InitStates);
}

void TBaseVirtualTree::DoMeasureItem(TCanvas* Canvas, PVirtualNode Node, int& NodeHeight) {
    if (OnMeasureItem) OnMeasureItem(this, Canvas, Node, NodeHeight);
}

void TBaseVirtualTree::DoNodeCopied(PVirtualNode Node) {
    if (OnNodeCopied) OnNodeCopied(this, Node);
}

bool TBaseVirtualTree::DoNodeCopying(PVirtualNode Node, PVirtualNode NewParent) {
    bool allowed = true;
    if (OnNodeCopying) OnNodeCopying(this, Node, NewParent, allowed);
    return allowed;
}

void TBaseVirtualTree::DoNodeMoved(PVirtualNode Node) {
    if (OnNodeMoved) OnNodeMoved(this, Node);
}

bool TBaseVirtualTree::DoNodeMoving(PVirtualNode Node, PVirtualNode NewParent) {
    bool allowed = true;
    if (OnNodeMoving) OnNodeMoving(this, Node, NewParent, allowed);
    return allowed;
}

void TBaseVirtualTree::DoReset(PVirtualNode Node) {
    if (OnResetNode) OnResetNode(this, Node);
}

void TBaseVirtualTree::DoScroll(int DeltaX, int64_t DeltaY) {
    if (OnScroll) OnScroll(this, DeltaX, DeltaY);
}

void TBaseVirtualTree::DoStateChange(TVirtualTreeStates Enter, TVirtualTreeStates Leave) {
    if (OnStateChange && (!(Enter - FStates).Empty() || !(Leave * FStates).Empty()))
        OnStateChange(this, Enter, Leave);
    FStates = (FStates + Enter) - Leave;
}

void TBaseVirtualTree::SetStatesDirect(TVirtualTreeStates Enter, TVirtualTreeStates Leave) {
    FStates = (FStates + Enter) - Leave;
}

void TBaseVirtualTree::DoStructureChange(PVirtualNode Node, TChangeReason Reason) {
    FView->KillTimer(StructureChangeTimer);
    if (OnStructureChange) OnStructureChange(this, Node, Reason);
    DoStateChange({}, {tsStructureChangePending});
    FLastStructureChangeNode = nullptr;
    FLastStructureChangeReason = crIgnore;
}

void TBaseVirtualTree::DoUpdating(TVTUpdateState State) {
    if (OnUpdating) OnUpdating(this, State);
}

bool TBaseVirtualTree::ColumnIsEmpty(PVirtualNode Node, TColumnIndex Column) {
    bool isEmpty = true;
    if (OnGetCellIsEmpty) OnGetCellIsEmpty(this, Node, Column, isEmpty);
    return isEmpty;
}

// ---- Checks, columns, the header, keys, pop-ups, images and scroll bars ------------------

void TBaseVirtualTree::DoCheckClick(PVirtualNode Node, TCheckState NewCheckState) {
    if (CheckStateChange(Node, NewCheckState)) DoChecked(Node);
}

void TBaseVirtualTree::DoChecked(PVirtualNode Node) {
    if (OnChecked) OnChecked(this, Node);
    FView->NotifyAccessibleStateChange();
}

bool TBaseVirtualTree::DoChecking(PVirtualNode Node, TCheckState& NewCheckState) {
    if (ReadOnly()) return false;
    bool allowed = true;
    if (OnChecking) OnChecking(this, Node, NewCheckState, allowed);
    return allowed;
}

void TBaseVirtualTree::DoColumnClick(TColumnIndex Column, TShiftState Shift) {
    if (OnColumnClick) OnColumnClick(this, Column, Shift);
}

void TBaseVirtualTree::DoColumnDblClick(TColumnIndex Column, TShiftState Shift) {
    if (OnColumnDblClick) OnColumnDblClick(this, Column, Shift);
}

void TBaseVirtualTree::DoColumnResize(TColumnIndex Column) {
    if (IsLoading() || !HandleAllocated()) return;
    // Multi-line rows are measured again for the new width.
    for (PVirtualNode run = GetFirstNoInit(); run; run = GetNextNoInit(run))
        if (run->States.Contains(vsMultiline)) run->States.Exclude(vsHeightMeasured);
    UpdateHorizontalScrollBar(false);
    TVirtualTreeColumns* columns = FHeader->Columns();
    if (columns->IsValidIndex(Column)) {
        int left, right;
        columns->ColumnBounds(Column, left, right);
        TRect r{left, 0, FView->ClientWidth(), FView->ClientHeight()};
        if (FOptions->AutoOptions().Contains(toAutoSpanColumns)) {
            r.Left = 0;
        } else if (UseRightToLeftReading()) {
            r.Left = 0;
            r.Right = right + ComputeRTLOffset();
        }
        FView->InvalidateRect(r);
        FHeader->RepaintHeader(Column, true);
    }
    if (FHeader->States().Contains(hsTracking)) FView->UpdateWindow();
    if (!FStates.Contains(tsUpdating)) UpdateDesigner();
    if (OnColumnResize) OnColumnResize(FHeader.get(), Column);
    if (FStates.Contains(tsEditing)) FView->UpdateEditBounds();
}

void TBaseVirtualTree::DoGetHeaderCursor(TCursor& Cursor) {
    if (OnGetHeaderCursor) OnGetHeaderCursor(FHeader.get(), Cursor);
}

TCustomImageList* TBaseVirtualTree::DoGetImageIndex(PVirtualNode Node, TVTImageKind Kind, TColumnIndex Column,
                                                    bool& Ghosted, int& Index) {
    TCustomImageList* result = nullptr;
    if (OnGetImageIndexEx)
        OnGetImageIndexEx(this, Node, Kind, Column, Ghosted, Index, result);
    else if (OnGetImageIndex)
        OnGetImageIndex(this, Node, Kind, Column, Ghosted, Index);
    return result;
}

TPopupMenu* TBaseVirtualTree::DoGetPopupMenu(PVirtualNode Node, TColumnIndex Column, TPoint P) {
    TPopupMenu* result = nullptr;
    if (!OnGetPopupMenu) return result;
    if (!Node || Node == FRoot) {
        bool askParent = true;
        OnGetPopupMenu(this, nullptr, NoColumn, P, askParent, result);
        return result;
    }
    bool askParent = true;
    for (PVirtualNode run = Node; run && run != FRoot && !result && askParent; run = run->Parent)
        OnGetPopupMenu(this, run, Column, P, askParent, result);
    return result;
}

void TBaseVirtualTree::DoHeaderClick(TColumnIndex Column, TMouseButton Button, TShiftState Shift, int X,
                                     int Y) {
    if (OnHeaderClick) OnHeaderClick(FHeader.get(), Column, Button, Shift, X, Y);
}

void TBaseVirtualTree::DoHeaderDblClick(TColumnIndex Column, TMouseButton Button, TShiftState Shift, int X,
                                        int Y) {
    if (OnHeaderDblClick) OnHeaderDblClick(FHeader.get(), Column, Button, Shift, X, Y);
}

void TBaseVirtualTree::DoHeaderDragged(TColumnIndex Column, TColumnPosition OldPosition) {
    if (OnHeaderDragged) OnHeaderDragged(FHeader.get(), Column, int(OldPosition));
}

void TBaseVirtualTree::DoHeaderDraggedOut(TColumnIndex Column, TPoint DropPosition) {
    if (OnHeaderDraggedOut) OnHeaderDraggedOut(FHeader.get(), Column, DropPosition);
}

bool TBaseVirtualTree::DoHeaderDragging(TColumnIndex Column) {
    bool allowed = true;
    if (OnHeaderDragging) OnHeaderDragging(FHeader.get(), Column, allowed);
    return allowed;
}

void TBaseVirtualTree::DoHeaderMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnHeaderMouseDown) OnHeaderMouseDown(FHeader.get(), Button, Shift, X, Y);
}

void TBaseVirtualTree::DoHeaderMouseMove(TShiftState Shift, int X, int Y) {
    if (OnHeaderMouseMove) OnHeaderMouseMove(FHeader.get(), Shift, X, Y);
}

void TBaseVirtualTree::DoHeaderMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnHeaderMouseUp) OnHeaderMouseUp(FHeader.get(), Button, Shift, X, Y);
}

bool TBaseVirtualTree::DoKeyAction(uint16_t& CharCode, TShiftState& Shift) {
    bool doDefault = true;
    if (OnKeyAction) OnKeyAction(this, CharCode, Shift, doDefault);
    return doDefault;
}

void TBaseVirtualTree::DoShowScrollbar(int Bar, bool Show) {
    FScrollBarShown[Bar == VTScroll::Vertical ? 1 : 0] = Show;
    FView->ShowScrollBar(Bar, Show);
    if (OnShowScrollbar) OnShowScrollbar(this, Bar, Show);
}
