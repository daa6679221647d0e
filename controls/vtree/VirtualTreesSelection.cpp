// The selection array with its removal marks, the range anchor and the
// focused node.
#include "controls/vtree/VirtualTrees.h"

#include <algorithm>
#include <cstdint>

#include "controls/vtree/VirtualTrees_p.h"

using VTPrivate::Addr;
using VTPrivate::IsMarked;
using VTPrivate::Marked;

namespace {

// FindNodeInSelection's bounds for searching the whole array.
constexpr int WholeSelection = -1;

} // namespace

int PackNodeArray(TNodeArray& TheArray, int Count) {
    Count = std::min(Count, int(std::min<size_t>(TheArray.size(), INT32_MAX)));
    if (Count <= 0) return -1;
    int kept = 0;
    for (int i = 0; i < Count; ++i)
        if (!IsMarked(TheArray[size_t(i)])) TheArray[size_t(kept++)] = TheArray[size_t(i)];
    return kept;
}

// ---- Selection ---------------------------------------------------------------------------

void TBaseVirtualTree::PackSelection() {
    if (FSelectionCount <= 0) return;
    FSelectionCount = PackNodeArray(FSelection, FSelectionCount);
    FSelection.resize(size_t(FSelectionCount));
}

bool TBaseVirtualTree::FindNodeInSelection(PVirtualNode Node, int& Index, int LowBound, int HighBound) const {
    // The bounds stay inside the array whatever the caller passes.
    int last = std::min(FSelectionCount, int(FSelection.size())) - 1;
    if (LowBound < 0) LowBound = 0;
    if (HighBound < 0 || HighBound > last) HighBound = last;
    bool found = false;
    int low = LowBound, high = HighBound;
    while (low <= high) {
        int mid = (low + high) / 2;
        uintptr_t a = Addr(FSelection[size_t(mid)]);
        if (a < Addr(Node)) {
            low = mid + 1;
        } else {
            if (a == Addr(Node)) found = true;
            high = mid - 1;
        }
    }
    Index = low;
    return found;
}

int TBaseVirtualTree::AddToSelectionCounted(TNodeArray& NewItems, int NewLength, bool ForceInsert) {
    NewLength = std::min(NewLength, int(std::min<size_t>(NewItems.size(), INT32_MAX)));
    if (NewLength <= 0) return 0;
    bool levelConstraint = false, siblingConstraint = false;
    if (!ForceInsert) {
        TVTSelectionOptions options = FOptions->SelectionOptions();
        levelConstraint = options.Contains(toLevelSelectConstraint);
        siblingConstraint = options.Contains(toSiblingSelectConstraint);
        // The constraints are taken from the first real node; nil entries are skipped below.
        auto first = std::find_if(NewItems.begin(), NewItems.begin() + NewLength,
                                  [this](PVirtualNode n) { return n && n != FRoot; });
        PVirtualNode firstNode = first == NewItems.begin() + NewLength ? nullptr : *first;
        if (levelConstraint && FLastSelectionLevel < 0 && firstNode)
            FLastSelectionLevel = int(GetNodeLevel(firstNode));
        if (siblingConstraint && !FRangeAnchor) FRangeAnchor = firstNode;
        siblingConstraint = siblingConstraint && FRangeAnchor;
    }
    for (int i = 0; i < NewLength; ++i) {
        PVirtualNode node = NewItems[size_t(i)];
        // A node already selected is never entered twice, forced or not.
        bool skip = !node || node == FRoot || node->States.Contains(vsSelected);
        if (!skip && !ForceInsert)
            skip = node->States.Contains(vsDisabled) ||
                   (levelConstraint && int(GetNodeLevel(node)) != FLastSelectionLevel) ||
                   (siblingConstraint && node->Parent != FRangeAnchor->Parent);
        if (skip)
            NewItems[size_t(i)] = Marked(node);
        else
            node->States.Include(vsSelected);
    }
    int count = PackNodeArray(NewItems, NewLength);
    if (count <= 0) return 0;
    std::sort(NewItems.begin(), NewItems.begin() + count,
              [](PVirtualNode a, PVirtualNode b) { return Addr(a) < Addr(b); });
    size_t old = FSelection.size();
    FSelection.insert(FSelection.end(), NewItems.begin(), NewItems.begin() + count);
    std::inplace_merge(FSelection.begin(), FSelection.begin() + std::ptrdiff_t(old), FSelection.end(),
                       [](PVirtualNode a, PVirtualNode b) { return Addr(a) < Addr(b); });
    FSelectionCount += count;
    return count;
}

bool TBaseVirtualTree::InternalAddToSelection(TNodeArray& NewItems, int NewLength, bool ForceInsert) {
    return AddToSelectionCounted(NewItems, NewLength, ForceInsert) > 0;
}

bool TBaseVirtualTree::InternalAddToSelection(PVirtualNode Node, bool ForceInsert) {
    FSingletonNodeArray.assign(1, Node);
    return InternalAddToSelection(FSingletonNodeArray, 1, ForceInsert);
}

void TBaseVirtualTree::AddToSelection(PVirtualNode Node) {
    if (InternalAddToSelection(Node, false)) {
        InvalidateNode(Node);
        Change(Node);
    }
}

void TBaseVirtualTree::AddNodesToSelection(TNodeArray& NewItems, int NewLength, bool ForceInsert) {
    int count = AddToSelectionCounted(NewItems, NewLength, ForceInsert);
    if (count == 1) {
        InvalidateNode(NewItems[0]);
        Change(NewItems[0]);
    } else if (count > 1) {
        InvalidateView();
        Change(nullptr);
    }
}

void TBaseVirtualTree::RemoveFromSelection(PVirtualNode Node) {
    if (!Node || !Node->States.Contains(vsSelected)) return;
    Node->States.Exclude(vsSelected);
    int index;
    if (FindNodeInSelection(Node, index, WholeSelection, WholeSelection)) {
        FSelection.erase(FSelection.begin() + index);
        --FSelectionCount;
    }
    if (FSelectionCount == 0) ResetRangeAnchor();
    Change(Node);
}

void TBaseVirtualTree::InternalRemoveFromSelection(PVirtualNode Node) {
    int index;
    if (FindNodeInSelection(Node, index, WholeSelection, WholeSelection)) {
        Node->States.Exclude(vsSelected);
        FSelection[size_t(index)] = Marked(Node);
    }
}

void TBaseVirtualTree::InternalClearSelection() {
    // Marked entries may refer to freed nodes; they are dropped before anything is touched.
    PackSelection();
    for (int i = FSelectionCount - 1; i >= 0; --i)
        FSelection[size_t(i)]->States.Exclude(vsSelected);
    ResetRangeAnchor();
    FSelection.clear();
    FSelection.shrink_to_fit();
    FSelectionCount = 0;
    DoStateChange({}, {tsClearPending});
}

void TBaseVirtualTree::ResetRangeAnchor() {
    FRangeAnchor = FFocusedNode;
    FLastSelectionLevel = NoSelectionLevel;
}

void TBaseVirtualTree::ClearSelection() {
    if (FSelectionCount == 0 || IsDestroying()) return;
    if (FUpdateCount == 0 && FVisibleCount > 0) InvalidateView();
    InternalClearSelection();
    Change(nullptr);
}

void TBaseVirtualTree::SetSelected(PVirtualNode Node, bool Value) {
    if (!Node || Node == FRoot || Node->States.Contains(vsSelected) == Value) return;
    // A disabled node cannot be selected; the selection it would replace stays.
    if (Value && Node->States.Contains(vsDisabled)) return;
    if (Value) {
        if (FSelectionCount == 0)
            FRangeAnchor = Node;
        else if (!FOptions->SelectionOptions().Contains(toMultiSelect))
            ClearSelection();
        AddToSelection(Node);
        if (!FRangeAnchor) FRangeAnchor = Node;
    } else {
        RemoveFromSelection(Node);
        if (FSelectionCount == 0) ResetRangeAnchor();
    }
    if (IsFullyVisible(Node)) InvalidateNode(Node);
}

// ---- Focus -------------------------------------------------------------------------------

void TBaseVirtualTree::SetFocusedNode(PVirtualNode Value) {
    PVirtualNode old = FFocusedNode;
    DoFocusNode(Value, true);
    if (Value != old && FFocusedNode == Value) DoFocusChange(FFocusedNode, FFocusedColumn);
}

void TBaseVirtualTree::DoFocusNode(PVirtualNode Node, bool Ask) {
    if (Node == FRoot) Node = nullptr;
    if (Node != FFocusedNode &&
        (!Ask || DoFocusChanging(FFocusedNode, Node, FFocusedColumn, FFocusedColumn))) {
        if (FFocusedNode) {
            if (FOptions->AutoOptions().Contains(toAutoExpand) && Node &&
                Node->Parent == FFocusedNode->Parent && FFocusedNode->States.Contains(vsExpanded))
                ToggleNode(FFocusedNode);
            else
                InvalidateNode(FFocusedNode);
        }
        FFocusedNode = Node;
    }
    if (FFocusedNode) {
        if (FOptions->AutoOptions().Contains(toAutoExpand) && !FFocusedNode->States.Contains(vsExpanded))
            ToggleNode(FFocusedNode);
        InvalidateNode(FFocusedNode);
        if (FUpdateCount == 0 && HandleAllocated()) {
            bool buttonDown = FStates.Contains(tsLeftButtonDown) || FStates.Contains(tsMiddleButtonDown) ||
                              FStates.Contains(tsRightButtonDown);
            FView->ScrollIntoView(
                FFocusedNode, FOptions->SelectionOptions().Contains(toCenterScrollIntoView) && !buttonDown,
                !FOptions->AutoOptions().Contains(toDisableAutoscrollOnFocus));
        }
    }
    if (FSelectionCount == 0) ResetRangeAnchor();
}
