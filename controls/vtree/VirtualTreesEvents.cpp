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

void TBaseVirtualTree::DoScroll(int DeltaX, int DeltaY) {
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
