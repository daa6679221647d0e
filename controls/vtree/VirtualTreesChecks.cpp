// Check boxes, three-state boxes, radio buttons and push buttons: the next
// state of a click, the change with its propagation down to the children and
// up to the parents, and the image that shows a state.
#include "controls/vtree/VirtualTrees.h"

#include "controls/vtree/VirtualTrees_p.h"
#include "platform/rtl/ScopeGuard.h"

namespace {

bool IsBox(uint8_t Type) {
    return Type == ctCheckBox || Type == ctTriStateCheckBox;
}

TCheckState NormalForm(TCheckState State) {
    switch (State) {
    case csUncheckedPressed:
        return csUncheckedNormal;
    case csCheckedPressed:
        return csCheckedNormal;
    case csMixedPressed:
        return csMixedNormal;
    default:
        return State;
    }
}

TCheckState PressedForm(TCheckState State) {
    switch (State) {
    case csUncheckedNormal:
        return csUncheckedPressed;
    case csCheckedNormal:
        return csCheckedPressed;
    case csMixedNormal:
        return csMixedPressed;
    default:
        return State;
    }
}

} // namespace

namespace VTPrivate {

TCheckState CheckNormalForm(TCheckState State) {
    return NormalForm(State);
}

TCheckState CheckPressedForm(TCheckState State) {
    return PressedForm(State);
}

} // namespace VTPrivate

void TBaseVirtualTree::SetCheckType(PVirtualNode Node, TCheckType Value) {
    if (!Node || Node == FRoot || Node->CheckType == Value) return;
    Node->CheckType = uint8_t(Value);
    InvalidateNode(Node);
}

void TBaseVirtualTree::SetCheckState(PVirtualNode Node, TCheckState Value) {
    if (!Node || Node == FRoot || Node->CheckState == Value || Node->States.Contains(vsDisabled)) return;
    if (DoChecking(Node, Value)) DoCheckClick(Node, Value);
}

TCheckState TBaseVirtualTree::NextCheckState(TCheckType CheckType, TCheckState CheckState) {
    switch (CheckType) {
    case ctCheckBox:
    case ctTriStateCheckBox:
        return CheckState == csCheckedNormal ? csUncheckedNormal : csCheckedNormal;
    case ctRadioButton:
        return csCheckedNormal;
    case ctButton:
        return csUncheckedNormal;
    default:
        return CheckState;
    }
}

bool TBaseVirtualTree::CheckStateChange(PVirtualNode Node, TCheckState NewCheckState) {
    if (!Node || Node == FRoot || Node->States.Contains(vsCheckChanging)) return false;
    Node->States.Include(vsCheckChanging);
    if (FCheckPropagationCount++ == 0) DoStateChange({tsCheckPropagation});
    TScopeGuard done([&] {
        Node->States.Exclude(vsCheckChanging);
        if (--FCheckPropagationCount == 0) DoStateChange({}, {tsCheckPropagation});
    });
    EnsureInitialized(Node);
    const bool tracking = FOptions->AutoOptions().Contains(toAutoTristateTracking);
    if (tracking && Node->CheckType == ctTriStateCheckBox && Node->ChildCount > 0 &&
        (NewCheckState == csCheckedNormal || NewCheckState == csUncheckedNormal)) {
        for (PVirtualNode child = Node->FirstChild; child; child = child->NextSibling)
            if (IsBox(child->CheckType)) SetCheckState(child, NewCheckState);
        int checked = 0, unchecked = 0;
        bool mixed = false;
        for (PVirtualNode child = Node->FirstChild; child; child = child->NextSibling) {
            if (!IsBox(child->CheckType)) continue;
            switch (NormalForm(TCheckState(child->CheckState))) {
            case csCheckedNormal:
                ++checked;
                break;
            case csMixedNormal:
                mixed = true;
                break;
            default:
                ++unchecked;
                break;
            }
        }
        if (mixed)
            NewCheckState = csMixedNormal;
        else if (checked > 0)
            NewCheckState = unchecked > 0 ? csMixedNormal : csCheckedNormal;
    }
    if (Node->CheckType == ctRadioButton && NewCheckState == csCheckedNormal) {
        // The others of the group go off silently.
        for (PVirtualNode sibling = Node->Parent->FirstChild; sibling; sibling = sibling->NextSibling)
            if (sibling->CheckType == ctRadioButton) sibling->CheckState = csUncheckedNormal;
        InvalidateView();
    }
    Node->CheckState = uint8_t(NewCheckState);
    PVirtualNode parent = Node->Parent;
    if (parent != FRoot) {
        EnsureInitialized(parent);
        // A parent that refuses keeps its state; this node's change stands and is reported.
        if (tracking && !parent->States.Contains(vsDisabled) && !parent->States.Contains(vsCheckChanging) &&
            IsBox(Node->CheckType) && parent->States.Contains(vsVisible) &&
            parent->CheckType == ctTriStateCheckBox)
            CheckParentCheckState(Node, NewCheckState);
    }
    InvalidateNode(Node);
    return true;
}

bool TBaseVirtualTree::CheckParentCheckState(PVirtualNode Node, TCheckState NewCheckState) {
    PVirtualNode parent = Node->Parent;
    int count = 0, checked = 0;
    bool mixed = false;
    for (PVirtualNode child = parent->FirstChild; child; child = child->NextSibling) {
        if (!IsBox(child->CheckType)) continue;
        ++count;
        TCheckState state = child == Node ? NewCheckState : TCheckState(child->CheckState);
        if (state == csCheckedNormal || state == csCheckedPressed) ++checked;
        if (state == csMixedNormal) mixed = true;
    }
    TCheckState state =
        checked > 0 || mixed ? (checked < count ? csMixedNormal : csCheckedNormal) : csUncheckedNormal;
    // The parent's own change carries the news further up, once.
    if (!DoChecking(parent, state)) return false;
    DoCheckClick(parent, state);
    return true;
}

int TBaseVirtualTree::GetCheckImage(PVirtualNode Node) {
    if (!Node || Node->CheckType == ctNone) return -1;
    const TCheckState state = TCheckState(Node->CheckState);
    const TCheckState normal = NormalForm(state);
    int base;
    if (normal == csMixedNormal)
        base = 17;
    else if (Node->CheckType == ctRadioButton)
        base = normal == csCheckedNormal ? 5 : 1;
    else if (Node->CheckType == ctButton)
        base = 21;
    else
        base = normal == csCheckedNormal ? 13 : 9;
    if (Node->States.Contains(vsDisabled)) return base + 3;
    if (state != normal) return base + 2;
    return Node == FCurrentHotNode ? base + 1 : base;
}

void TBaseVirtualTree::SetCheckImageKind(TCheckImageKind Value) {
    if (Value == FCheckImageKind) return;
    FCheckImageKind = Value;
    FCheckImages = Value == ckCustom ? FCustomCheckImages : GetCheckImageListFor(Value);
    if (!FCheckImages) FCheckImages = FCustomCheckImages;
    if (HandleAllocated() && FUpdateCount == 0 && !IsLoading()) FView->Invalidate();
}

void TBaseVirtualTree::SetCustomCheckImages(TCustomImageList* Value) {
    if (Value == FCustomCheckImages) return;
    if (FCheckImages == FCustomCheckImages) FCheckImages = nullptr;
    FCustomCheckImages = Value;
    if (FCheckImageKind == ckCustom) FCheckImages = Value;
    if (!IsLoading()) InvalidateView();
}
