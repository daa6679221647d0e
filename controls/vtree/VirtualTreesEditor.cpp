// In-place editing of a cell through an edit link: starting, ending and
// cancelling an edit, and placing the editor over its cell.
#include <algorithm>

#include "controls/vtree/VirtualTrees_p.h"

bool TBaseVirtualTree::CanEdit(PVirtualNode Node, TColumnIndex Column) {
    bool allowed = FOptions->MiscOptions().Contains(toEditable) && Enabled() && !ReadOnly();
    if (OnEditing) OnEditing(this, Node, Column, allowed);
    return allowed;
}

bool TBaseVirtualTree::EditNode(PVirtualNode Node, TColumnIndex Column) {
    if (FStates.Contains(tsEditing) || ReadOnly()) return FStates.Contains(tsEditing);
    SetFocusedNode(Node);
    if (!FFocusedNode || FFocusedNode != Node || !CanEdit(FFocusedNode, Column)) return false;
    FEditColumn = Column;
    EnsureInitialized(Node);
    DoEdit();
    return FStates.Contains(tsEditing);
}

bool TBaseVirtualTree::EndEditNode() {
    if (FStates.Contains(tsEditing) || FStates.Contains(tsEditPending)) return DoEndEdit();
    return true;
}

bool TBaseVirtualTree::CancelEditNode() {
    if (FStates.Contains(tsEditing) || FStates.Contains(tsEditPending)) return DoCancelEdit();
    return true;
}

std::shared_ptr<IVTEditLink> TBaseVirtualTree::DoCreateEditor(PVirtualNode Node, TColumnIndex Column) {
    std::shared_ptr<IVTEditLink> link;
    if (!OnCreateEditor) return link;
    OnCreateEditor(this, Node, Column, link);
    if (!link) RaiseTreeError(SEditLinkIsNil, ecEditLinkIsNil);
    return link;
}

void TBaseVirtualTree::DoEdit() {
    FView->CancelHint();
    FView->KillTimer(ScrollTimer);
    FView->KillTimer(EditTimer);
    DoStateChange({}, {tsEditPending});
    if (FFocusedNode && !FFocusedNode->States.Contains(vsDisabled) && !ReadOnly() && !FEditLink)
        FEditLink = DoCreateEditor(FFocusedNode, FEditColumn);
    if (FEditLink) {
        // The edit belongs to this node, whatever becomes of the focus meanwhile.
        FEditNode = FFocusedNode;
        DoStateChange({tsEditing},
                      {tsDrawSelecting, tsDrawSelPending, tsToggleFocusedSelection, tsOLEDragPending,
                       tsOLEDragging, tsClearPending, tsScrollPending, tsScrolling, tsMouseCheckPending});
        ScrollIntoView(FEditNode, FOptions->SelectionOptions().Contains(toCenterScrollIntoView),
                       !FOptions->AutoOptions().Contains(toDisableAutoscrollOnEdit));
        if (FEditLink->PrepareEdit(this, FEditNode, FEditColumn)) {
            UpdateEditBounds();
            InvalidateNode(FEditNode);
            if (!FEditLink->BeginEdit()) DoStateChange({}, {tsEditing});
        } else {
            DoStateChange({}, {tsEditing});
        }
    }
    if (!FStates.Contains(tsEditing)) {
        FEditLink.reset();
        FEditNode = nullptr;
    }
}

bool TBaseVirtualTree::DoEndEdit() {
    FView->KillTimer(EditTimer);
    const bool result = FStates.Contains(tsEditing) && FEditLink && FEditLink->EndEdit();
    if (result) {
        DoStateChange({}, {tsEditing});
        FEditLink.reset();
        PVirtualNode node = FEditNode;
        FEditNode = nullptr;
        if (OnEdited) OnEdited(this, node, FEditColumn);
    }
    DoStateChange({}, {tsEditPending});
    return result;
}

bool TBaseVirtualTree::DoCancelEdit() {
    FView->KillTimer(EditTimer);
    DoStateChange({}, {tsEditPending});
    // The link is kept while it cancels, as it may call back here.
    std::shared_ptr<IVTEditLink> link = FEditLink;
    const bool result = FStates.Contains(tsEditing) && link && link->CancelEdit();
    if (result) {
        DoStateChange({}, {tsEditing});
        if (OnEditCancelled) OnEditCancelled(this, FEditColumn);
        if (!IsDestroying()) FEditLink.reset();
        FEditNode = nullptr;
    }
    return result;
}

void TBaseVirtualTree::UpdateEditBounds() {
    if (!FStates.Contains(tsEditing) || !FEditLink || !FEditNode) return;
    TRect r = GetDisplayRect(FEditNode, FEditColumn, true, !FEditNode->States.Contains(vsMultiline));
    if (FOptions->MiscOptions().Contains(toGridExtensions)) {
        const bool columnKnown = FHeader->Columns()->IsValidIndex(FEditColumn);
        TAlignment alignment =
            columnKnown ? FHeader->Columns()->GetItem(FEditColumn)->Alignment() : FAlignment;
        const bool rtl = columnKnown ? FHeader->Columns()->GetItem(FEditColumn)->UsesRightToLeftReading()
                                     : UseRightToLeftAlignment();
        if (rtl && alignment != taCenter)
            alignment = alignment == taLeftJustify ? taRightJustify : taLeftJustify;
        const TRect cell = GetDisplayRect(FEditNode, FEditColumn, false, true);
        if (alignment == taLeftJustify)
            r.Right = cell.Right;
        else
            r.Left = cell.Left;
    }
    if (FOptions->PaintOptions().Contains(toShowHorzGridLines)) r.Bottom -= 1;
    FEditLink->SetBounds(r);
}

void TBaseVirtualTree::AbandonEdit() {
    // A tree that is going tells its owner nothing more; the editor goes with its window.
    if (IsDestroying()) {
        SetStatesDirect({}, {tsEditing, tsEditPending});
        FEditLink.reset();
        FEditNode = nullptr;
        return;
    }
    if (FStates.Contains(tsEditing) && !DoCancelEdit()) {
        DoStateChange({}, {tsEditing});
        FEditLink.reset();
    }
    FEditNode = nullptr;
}
