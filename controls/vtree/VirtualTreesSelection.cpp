// The selection array with its removal marks, the range anchor, range and
// click selection, the rubber band, and the focused node and column.
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
        TVirtualTreeColumns* columns = FHeader->Columns();
        TColumnIndex main = GetMainColumn();
        if ((FFocusedColumn < 0 || !columns->IsValidIndex(FFocusedColumn) ||
             !columns->GetItem(FFocusedColumn)->Options().Contains(coVisible)) &&
            main >= 0)
            FFocusedColumn =
                columns->GetItem(main)->Options().Contains(coVisible) ? main : columns->FirstVisibleColumn();
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
        if (FHeader->HasColumns() && !FHeader->Columns()->IsValidIndex(FFocusedColumn)) FFocusedColumn = 0;
        if (FOptions->AutoOptions().Contains(toAutoExpand) && !FFocusedNode->States.Contains(vsExpanded))
            ToggleNode(FFocusedNode);
        InvalidateNode(FFocusedNode);
        if (FUpdateCount == 0 && HandleAllocated()) {
            bool buttonDown = FStates.Contains(tsLeftButtonDown) || FStates.Contains(tsMiddleButtonDown) ||
                              FStates.Contains(tsRightButtonDown);
            ScrollIntoView(FFocusedNode,
                           FOptions->SelectionOptions().Contains(toCenterScrollIntoView) && !buttonDown,
                           !FOptions->AutoOptions().Contains(toDisableAutoscrollOnFocus));
        }
    }
    if (FSelectionCount == 0) ResetRangeAnchor();
}

void TBaseVirtualTree::SetFocusedColumn(TColumnIndex Value) {
    if (Value == FFocusedColumn) return;
    if (!DoFocusChanging(FFocusedNode, FFocusedNode, FFocusedColumn, Value)) return;
    FFocusedColumn = Value;
    if (FFocusedNode) {
        if (HandleAllocated())
            ScrollIntoView(FFocusedNode, FOptions->SelectionOptions().Contains(toCenterScrollIntoView),
                           !FOptions->AutoOptions().Contains(toDisableAutoscrollOnFocus));
        InvalidateNode(FFocusedNode);
    }
    if (FDropTargetNode) InvalidateNode(FDropTargetNode);
    DoFocusChange(FFocusedNode, FFocusedColumn);
}

void TBaseVirtualTree::SetFocusedNodeAndColumn(PVirtualNode Node, TColumnIndex Column) {
    const PVirtualNode oldNode = FFocusedNode;
    const TColumnIndex oldColumn = FFocusedColumn;
    FFocusedColumn = Column;
    DoFocusNode(Node, true);
    if (FFocusedNode == (Node == FRoot ? nullptr : Node)) {
        if (FFocusedNode != oldNode || Column != oldColumn) DoFocusChange(FFocusedNode, FFocusedColumn);
    } else {
        FFocusedColumn = oldColumn;
    }
}

// ---- Ranges and the temporary cache ------------------------------------------------------

void TBaseVirtualTree::AddToTempCache(PVirtualNode Node) {
    if (size_t(FTempNodeCount) == FTempNodeCache.size()) {
        size_t length = FTempNodeCache.size();
        FTempNodeCache.resize(length < 100 ? 100 : length + length / 10);
    }
    FTempNodeCache[size_t(FTempNodeCount++)] = Node;
}

void TBaseVirtualTree::ClearTempCache() {
    FTempNodeCache.clear();
    FTempNodeCount = 0;
}

PVirtualNode TBaseVirtualTree::NormalizedStart(PVirtualNode Node) {
    if (Node && Node != FRoot && IsFullyVisible(Node)) return Node;
    PVirtualNode previous = Node && Node != FRoot ? GetPreviousVisible(Node) : nullptr;
    return previous ? previous : GetFirst();
}

void TBaseVirtualTree::SelectNodes(PVirtualNode StartNode, PVirtualNode EndNode, bool AddOnly) {
    ClearTempCache();
    StartNode = NormalizedStart(StartNode);
    if (!StartNode || !EndNode || EndNode == FRoot) return;
    if (CompareNodePositions(StartNode, EndNode) > 0) std::swap(StartNode, EndNode);
    const PVirtualNode anchor = FRangeAnchor;
    if (!AddOnly) InternalClearSelection();
    for (PVirtualNode run = StartNode; run; run = GetNextVisible(run)) {
        AddToTempCache(run);
        if (run == EndNode) break;
    }
    AddNodesToSelection(FTempNodeCache, FTempNodeCount, false);
    ClearTempCache();
    if (anchor && anchor->States.Contains(vsSelected)) FRangeAnchor = anchor;
}

void TBaseVirtualTree::ToggleSelection(PVirtualNode StartNode, PVirtualNode EndNode) {
    ClearTempCache();
    StartNode = NormalizedStart(StartNode);
    if (!StartNode || !EndNode || EndNode == FRoot || CompareNodePositions(StartNode, EndNode) == 0) return;
    if (CompareNodePositions(StartNode, EndNode) > 0) std::swap(StartNode, EndNode);
    const PVirtualNode anchor = FRangeAnchor;
    auto toggle = [this](PVirtualNode Node) {
        if (Node->States.Contains(vsSelected))
            InternalRemoveFromSelection(Node);
        else
            AddToTempCache(Node);
    };
    if (CompareNodePositions(StartNode, anchor) < 0) toggle(StartNode);
    for (PVirtualNode run = GetNextVisible(StartNode); run && run != EndNode; run = GetNextVisible(run))
        toggle(run);
    if (CompareNodePositions(EndNode, anchor) > 0) toggle(EndNode);
    PackSelection();
    if (anchor && !anchor->States.Contains(vsSelected)) AddToTempCache(anchor);
    AddNodesToSelection(FTempNodeCache, FTempNodeCount, false);
    ClearTempCache();
}

void TBaseVirtualTree::UnselectNodes(PVirtualNode StartNode, PVirtualNode EndNode) {
    StartNode = NormalizedStart(StartNode);
    if (!StartNode || !EndNode || EndNode == FRoot) return;
    if (CompareNodePositions(StartNode, EndNode) > 0) std::swap(StartNode, EndNode);
    for (PVirtualNode run = StartNode; run; run = GetNextVisible(run)) {
        if (run->States.Contains(vsSelected)) InternalRemoveFromSelection(run);
        if (run == EndNode) break;
    }
    PackSelection();
}

void TBaseVirtualTree::SelectAll(bool VisibleOnly) {
    if (!FOptions->SelectionOptions().Contains(toMultiSelect)) return;
    ClearTempCache();
    for (PVirtualNode run = VisibleOnly ? GetFirstVisible() : GetFirst(); run;
         run = VisibleOnly ? GetNextVisible(run) : GetNext(run))
        if (!run->States.Contains(vsSelected)) AddToTempCache(run);
    AddNodesToSelection(FTempNodeCache, FTempNodeCount, false);
    ClearTempCache();
    InvalidateView();
}

void TBaseVirtualTree::HandleClickSelection(PVirtualNode NewNode, TShiftState Shift, bool DragPending) {
    if (!NewNode || NewNode == FRoot) return;
    const bool ctrl = Shift & ssCtrl, shift = Shift & ssShift;
    if (ctrl && shift) {
        SelectNodes(FRangeAnchor, NewNode, true);
        InvalidateView();
    } else if (ctrl) {
        if (!FOptions->SelectionOptions().Contains(toSiblingSelectConstraint)) FRangeAnchor = NewNode;
        if (DragPending)
            DoStateChange({tsToggleFocusedSelection});
        else if (NewNode->States.Contains(vsSelected))
            RemoveFromSelection(NewNode);
        else
            AddToSelection(NewNode);
    } else if (shift) {
        if (!FRangeAnchor) FRangeAnchor = GetFirst();
        SelectNodes(FRangeAnchor, NewNode, false);
        InvalidateView();
    } else {
        if (!NewNode->States.Contains(vsSelected)) {
            AddToSelection(NewNode);
            InvalidateNode(NewNode);
        }
        FRangeAnchor = NewNode;
    }
}

// ---- The rubber band ---------------------------------------------------------------------

namespace {

TVTRect64 Normalized(TVTRect64 R) {
    if (R.Left > R.Right) std::swap(R.Left, R.Right);
    if (R.Top > R.Bottom) std::swap(R.Top, R.Bottom);
    return R;
}

bool Covers(const TVTRect64& R, int Left, int Right, int64_t Top, int64_t Bottom, bool RowsOnly) {
    if (R.Top >= R.Bottom || R.Top >= Bottom || Top >= R.Bottom) return false;
    if (RowsOnly) return true;
    return R.Left < R.Right && R.Left < Right && Left < R.Right;
}

} // namespace

void TBaseVirtualTree::StartDrawSelection(int X, int Y, TShiftState Shift) {
    FDrawSelShiftState = Shift;
    const int x = X + EffectiveOffsetX();
    const int64_t y = int64_t(Y) - FOffsetY;
    FNewSelRect = FLastSelRect = TVTRect64{x, y, x, y};
    DoStateChange({tsDrawSelecting}, {tsDrawSelPending});
}

bool TBaseVirtualTree::CalculateSelectionRect(int X, int Y) {
    if (FStates.Contains(tsDrawSelecting)) FLastSelRect = FNewSelRect;
    const int width = std::max(FView->ClientWidth(), RangeX());
    const int64_t height = std::max<int64_t>(FView->ClientHeight(), RangeY());
    FNewSelRect.Right = std::clamp(X + EffectiveOffsetX(), 0, width);
    FNewSelRect.Bottom = std::clamp<int64_t>(int64_t(Y) - FOffsetY, 0, height);
    return !(FNewSelRect == FLastSelRect);
}

bool TBaseVirtualTree::HandleDrawSelection(int, int) {
    if (!FStates.Contains(tsDrawSelecting) || FRoot->TotalCount <= 2) return false;
    const TVTRect64 current = Normalized(FNewSelRect), previous = Normalized(FLastSelRect);
    ClearTempCache();
    TVirtualTreeColumns* columns = FHeader->Columns();
    const TColumnIndex main = GetMainColumn();
    int columnLeft = 0, columnRight = FView->ClientWidth();
    TAlignment alignment = FAlignment;
    bool rtl = UseRightToLeftReading();
    if (columns->IsValidIndex(main)) {
        const TVirtualTreeColumn* column = columns->GetItem(main);
        column->GetAbsoluteBounds(columnLeft, columnRight);
        alignment = column->Alignment();
        rtl = column->UsesRightToLeftReading();
    }
    if (rtl && alignment != taCenter) alignment = alignment == taLeftJustify ? taRightJustify : taLeftJustify;
    const bool rowsOnly = FOptions->SelectionOptions().Contains(toSimpleDrawSelection);
    const bool toggle = FDrawSelShiftState & ssCtrl;
    const int root = FOptions->PaintOptions().Contains(toShowRoot) ? 1 : 0;
    const int64_t bottom = std::max(current.Bottom, previous.Bottom);
    int64_t top;
    PVirtualNode node = NodeAtAbsolute(std::min(current.Top, previous.Top), top);
    bool changed = false;
    while (node && top < bottom) {
        const int64_t height = GetNodeHeight(node);
        const TColumnIndex cell = columns->IsValidIndex(main) ? main : NoColumn;
        int start = FMargin + int(FIndent) * int(GetNodeLevel(node) + root) + CheckSpace(node, cell) +
                    ImageSpace(node, ikState, cell) + ImageSpace(node, ikNormal, cell);
        int right = columnRight;
        // Text spills over the empty cells that follow.
        if (FOptions->AutoOptions().Contains(toAutoSpanColumns) && columns->IsValidIndex(main) && !rtl)
            for (TColumnIndex next = columns->NextVisibleColumn(main); next >= 0 && ColumnIsEmpty(node, next);
                 next = columns->NextVisibleColumn(next))
                right += columns->GetItem(next)->Width();
        int boxLeft = rtl ? columnLeft : columnLeft + start;
        int boxRight = rtl ? right - start : right;
        const int textWidth = DoGetNodeWidth(node, cell, nullptr);
        if (textWidth < boxRight - boxLeft) {
            switch (alignment) {
            case taLeftJustify:
                boxRight = boxLeft + textWidth;
                break;
            case taRightJustify:
                boxLeft = boxRight - textWidth;
                break;
            case taCenter:
                boxLeft = (boxLeft + boxRight - textWidth) / 2;
                boxRight = boxLeft + textWidth;
                break;
            }
        }
        const bool inPrevious = Covers(previous, boxLeft, boxRight, top, top + height, rowsOnly);
        const bool inCurrent = Covers(current, boxLeft, boxRight, top, top + height, rowsOnly);
        if (inPrevious != inCurrent) {
            const bool selected = node->States.Contains(vsSelected);
            if (toggle ? selected : !inCurrent) {
                if (selected) InternalRemoveFromSelection(node);
            } else if (!selected) {
                AddToTempCache(node);
            }
            changed = true;
        }
        top += height;
        node = GetNextVisible(node);
    }
    if (changed) {
        PackSelection();
        InternalAddToSelection(FTempNodeCache, FTempNodeCount, false);
        ClearTempCache();
        Change(nullptr);
    }
    return changed;
}
