// The node structure: node blocks, linking and unlinking, adding, deleting
// and moving nodes with their counts, initialisation on demand, expanding and
// collapsing, and node heights.
#include "controls/vtree/VirtualTrees.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

#include "controls/vtree/VirtualTreesStore_p.h"
#include "controls/vtree/VirtualTrees_p.h"
#include "platform/rtl/ScopeGuard.h"

using VTPrivate::MaxNodeHeight;

namespace {

// Where a new node's button and tree lines sit: half way down the row.
constexpr uint8_t DefaultNodeAlign = 50;
// The internal data area grows in steps of this many bytes.
constexpr int InternalDataGranule = 4;

} // namespace

// ---- Node blocks -------------------------------------------------------------------------

PVirtualNode TBaseVirtualTree::AllocateNode() {
    size_t taken, stride;
    return AllocateNodes(1, taken, stride);
}

PVirtualNode TBaseVirtualTree::AllocateNodes(size_t Count, size_t& Taken, size_t& Stride) {
    if (FNodeDataSize == UnsettledNodeDataSize) {
        int size = 0;
        DoGetNodeDataSize(size);
        FNodeDataSize = std::max(size, 0);
    }
    size_t data = (ComponentState() & csDesigning) ? 0 : size_t(std::max(FNodeDataSize, 0));
    // Slots lie end to end. A type whose alignment exceeds 8 has a size that is
    // a multiple of 16, and such a size keeps every slot 16-aligned; any
    // other size needs only 8, and no slot pays for more.
    constexpr size_t wide = alignof(std::max_align_t), narrow = alignof(PVirtualNode);
    static_assert((wide & (wide - 1)) == 0 && (narrow & (narrow - 1)) == 0);
    size_t grain = data % wide == 0 ? wide : narrow;
    Stride = (UserDataOffset() + data + grain - 1) & ~(grain - 1);
    PVirtualNode first = FNodeStore->AllocateRun(Stride, Count, Taken);
    char* slot = reinterpret_cast<char*>(first);
    for (size_t k = 0; k < Taken; ++k, slot += Stride) {
        // A node starts zero-filled; cleared here, its slot is still in the
        // cache for the fields (a run cleared at once would have left it).
        std::memset(slot, 0, Stride);
        auto node = reinterpret_cast<PVirtualNode>(slot);
        node->TotalCount = 1;
        node->TotalHeight = FDefaultNodeHeight;
        node->NodeHeight = uint16_t(FDefaultNodeHeight);
        node->States = {vsVisible};
        node->Align = DefaultNodeAlign;
    }
    return first;
}

void TBaseVirtualTree::FreeNode(PVirtualNode Node) {
    ForgetNode(Node);
    // The slot goes back also when the handler fails.
    TScopeGuard release([&] { FNodeStore->Release(Node); });
    if (HandlesFreeNode() && (Node->States.Contains(vsInitDone) || Node->States.Contains(vsDataNeedsFree)))
        DoFreeNode(Node);
}

void TBaseVirtualTree::FreeChildren(PVirtualNode Node) {
    TFirstError errors;
    // What unlinking each node would do, done once for the whole subtree.
    auto inside = [&](PVirtualNode n) { return n && n != FRoot && (Node == FRoot || HasAsParent(n, Node)); };
    if (inside(FFocusedNode)) {
        DoFocusNode(nullptr, false);
        errors.Run([&] { DoFocusChange(FFocusedNode, FFocusedColumn); });
    }
    if (inside(FRangeAnchor)) ResetRangeAnchor();
    if (FStates.Contains(tsHint)) {
        FView->CancelHint();
        DoStateChange({}, {tsHint});
    }
    // Each child that has children of its own reports their deletion too.
    if (Node->TotalCount - 1 > Node->ChildCount) StructureChange(nullptr, crChildDeleted);

    if (Node == FRoot) {
        // Every node goes: nothing the tree remembers survives, and the slots
        // leave with their blocks, which the tree keeps for its next nodes.
        // The owner's handler sees each initialised node in storage order,
        // which touches memory once.
        for (auto member : RememberedNodes())
            if (PVirtualNode remembered = this->*member) ForgetNode(remembered);
        FDragSelection.clear();
        FSelection.clear();
        FSelectionCount = 0;
        VTPrivate::TNodeStore doomed = FNodeStore->TakeAll();
        if (HandlesFreeNode())
            doomed.ForEachNode([&](PVirtualNode n) {
                if (n->States.Contains(vsInitDone) || n->States.Contains(vsDataNeedsFree)) {
                    n->States.Include(vsBeingDeleted);
                    errors.Run([&] { DoFreeNode(n); });
                }
            });
        errors.Run([&] { FNodeStore->KeepAsReserve(std::move(doomed)); });
    } else {
        // Children before their parent, from the last child backwards.
        auto deepestLast = [](PVirtualNode n) {
            while (n->LastChild)
                n = n->LastChild;
            return n;
        };
        PVirtualNode run = deepestLast(Node->LastChild);
        while (run != Node) {
            PVirtualNode next = run->PrevSibling ? deepestLast(run->PrevSibling) : run->Parent;
            // Its children are gone: the handler finds none, as after deleting them one by one.
            run->FirstChild = run->LastChild = nullptr;
            run->ChildCount = 0;
            run->States.Include(vsBeingDeleted);
            errors.Run([&] { FreeNode(run); });
            run = next;
        }
    }
    errors.RaiseIfAny();
}

void TBaseVirtualTree::InitRootNode(int OldSize) {
    size_t size = sizeof(TVirtualNode) + size_t(FTotalInternalDataSize);
    if (!FRoot) {
        void* block = std::calloc(1, size);
        if (!block) throw std::bad_alloc();
        FRoot = new (block) TVirtualNode{};
    } else {
        void* block = std::realloc(FRoot, size);
        if (!block) throw std::bad_alloc();
        if (size > size_t(OldSize))
            std::memset(static_cast<char*>(block) + OldSize, 0, size - size_t(OldSize));
        FRoot = static_cast<PVirtualNode>(block);
        for (PVirtualNode child = FRoot->FirstChild; child; child = child->NextSibling)
            child->Parent = FRoot;
    }
    FRoot->PrevSibling = FRoot;
    FRoot->NextSibling = FRoot;
    FRoot->Parent = reinterpret_cast<PVirtualNode>(this);
    FRoot->States = {vsInitDone, vsExpanded, vsHasChildren, vsVisible};
    FRoot->TotalHeight = FDefaultNodeHeight;
    FRoot->TotalCount = 1;
    FRoot->NodeHeight = uint16_t(FDefaultNodeHeight);
    FRoot->Align = DefaultNodeAlign;
}

int TBaseVirtualTree::AllocateInternalDataArea(int Size) {
    // Existing nodes would be too small for the new layout: rebuild them.
    uint32_t count = FRoot->ChildCount;
    bool rebuild = FRoot->TotalCount > 1;
    if (rebuild) DeleteAllNodes();
    int result = int(sizeof(TVirtualNode)) + FTotalInternalDataSize;
    FTotalInternalDataSize +=
        (std::max(Size, 0) + InternalDataGranule - 1) / InternalDataGranule * InternalDataGranule;
    InitRootNode(result);
    if (rebuild) WithoutReadOnly([&] { SetRootNodeCount(count); });
    return result;
}

void TBaseVirtualTree::DeleteAllNodes() {
    WithoutReadOnly([this] { Clear(); });
}

// ---- Counts ------------------------------------------------------------------------------

void TBaseVirtualTree::AdjustTotalCount(PVirtualNode Node, int64_t Value, bool Relative) {
    if (!Relative) Value -= Node->TotalCount;
    if (Value == 0) return;
    for (PVirtualNode run = Node;; run = run->Parent) {
        run->TotalCount = uint32_t(int64_t(run->TotalCount) + Value);
        if (run == FRoot) break;
    }
}

void TBaseVirtualTree::AdjustTotalHeight(PVirtualNode Node, int64_t Value, bool Relative) {
    if (!Relative) Value -= Node->TotalHeight;
    if (Value == 0) return;
    PVirtualNode run = Node;
    while (true) {
        run->TotalHeight = uint64_t(int64_t(run->TotalHeight) + Value);
        if (!run->States.Contains(vsVisible) || run == FRoot) break;
        PVirtualNode parent = run->Parent;
        if (!parent || !parent->States.Contains(vsExpanded)) break;
        run = parent;
    }
}

void TBaseVirtualTree::FixupTotalCount(PVirtualNode Node) {
    for (PVirtualNode child = Node->FirstChild; child; child = child->NextSibling) {
        FixupTotalCount(child);
        Node->TotalCount += child->TotalCount;
    }
}

void TBaseVirtualTree::FixupTotalHeight(PVirtualNode Node) {
    for (PVirtualNode child = Node->FirstChild; child; child = child->NextSibling) {
        FixupTotalHeight(child);
        if (Node->States.Contains(vsExpanded) && child->States.Contains(vsVisible))
            Node->TotalHeight += child->TotalHeight;
    }
}

// ---- Structure ---------------------------------------------------------------------------

void TBaseVirtualTree::SetChildCount(PVirtualNode Node, uint32_t NewCount) {
    if (ReadOnly()) return;
    if (!Node) Node = FRoot;
    if (NewCount == 0) {
        DeleteChildren(Node, false);
        return;
    }
    if (NewCount == Node->ChildCount) return;
    InterruptValidation();
    if (NewCount > Node->ChildCount) {
        uint32_t index = 0;
        if (Node->LastChild)
            index = Node->LastChild->Index + 1;
        else
            Node->States.Include(vsHasChildren);
        Node->States.Exclude(vsNoVisibleChild).Exclude(vsHeightMeasured);
        uint32_t added = 0;
        int64_t heights = 0;
        {
            // Counts are settled for what was linked, also when an allocation fails. The
            // cache goes before sorting, so a failing comparison leaves no stale positions.
            TScopeGuard settle([&] {
                if (Node->States.Contains(vsExpanded)) {
                    AdjustTotalHeight(Node, heights, true);
                    if (IsFullyVisible(Node)) FVisibleCount += added;
                }
                AdjustTotalCount(Node, added, true);
                Node->ChildCount += added;
                InvalidateCache();
            });
            const uint32_t missing = NewCount - Node->ChildCount;
            while (added < missing) {
                size_t taken, stride;
                char* slot = reinterpret_cast<char*>(AllocateNodes(missing - added, taken, stride));
                for (size_t k = 0; k < taken; ++k, ++added, slot += stride) {
                    auto child = reinterpret_cast<PVirtualNode>(slot);
                    child->Index = index++;
                    child->Parent = Node;
                    child->PrevSibling = Node->LastChild;
                    if (Node->LastChild)
                        Node->LastChild->NextSibling = child;
                    else
                        Node->FirstChild = child;
                    Node->LastChild = child;
                    heights += child->NodeHeight;
                }
            }
        }
        if (FUpdateCount == 0 && FOptions->AutoOptions().Contains(toAutoSort) && GetSortColumn() >= NoColumn)
            Sort(Node, GetSortColumn(), GetSortDirection(), true);
    } else {
        for (uint32_t surplus = Node->ChildCount - NewCount; surplus > 0 && Node->LastChild; --surplus)
            DeleteNode(Node->LastChild, true);
    }
    if (FUpdateCount == 0) {
        ValidateCache();
        UpdateScrollBars(true);
        InvalidateView();
    }
    StructureChange(Node == FRoot ? nullptr : Node, crChildAdded);
}

uint32_t TBaseVirtualTree::GetTotalCount() {
    ++FUpdateCount;
    {
        TScopeGuard end([&] { EndBareUpdate(); });
        ValidateNode(FRoot, true);
    }
    return FRoot->TotalCount - 1;
}

void TBaseVirtualTree::InternalConnectNode(PVirtualNode Node, PVirtualNode Destination,
                                           TVTNodeAttachMode Mode, TBaseVirtualTree* Target) {
    if (!Target) Target = this;
    switch (Mode) {
    case amNoWhere:
        break;
    case amInsertBefore: {
        Node->Parent = Destination->Parent;
        Node->PrevSibling = Destination->PrevSibling;
        Node->NextSibling = Destination;
        Destination->PrevSibling = Node;
        if (Node->PrevSibling)
            Node->PrevSibling->NextSibling = Node;
        else
            Node->Parent->FirstChild = Node;
        Node->Index = Destination->Index;
        for (PVirtualNode run = Destination; run; run = run->NextSibling)
            ++run->Index;
        break;
    }
    case amInsertAfter: {
        Node->Parent = Destination->Parent;
        Node->NextSibling = Destination->NextSibling;
        Node->PrevSibling = Destination;
        Destination->NextSibling = Node;
        if (Node->NextSibling)
            Node->NextSibling->PrevSibling = Node;
        else
            Node->Parent->LastChild = Node;
        Node->Index = Destination->Index;
        for (PVirtualNode run = Node; run; run = run->NextSibling)
            ++run->Index;
        break;
    }
    case amAddChildFirst: {
        Node->Parent = Destination;
        Node->PrevSibling = nullptr;
        Node->NextSibling = Destination->FirstChild;
        if (Destination->FirstChild)
            Destination->FirstChild->PrevSibling = Node;
        else
            Destination->LastChild = Node;
        Destination->FirstChild = Node;
        uint32_t index = 0;
        for (PVirtualNode run = Node; run; run = run->NextSibling)
            run->Index = index++;
        break;
    }
    case amAddChildLast: {
        Node->Parent = Destination;
        Node->NextSibling = nullptr;
        Node->PrevSibling = Destination->LastChild;
        Node->Index = Destination->LastChild ? Destination->LastChild->Index + 1 : 0;
        if (Destination->LastChild)
            Destination->LastChild->NextSibling = Node;
        else
            Destination->FirstChild = Node;
        Destination->LastChild = Node;
        break;
    }
    }
    Node->States.Exclude(vsCheckChanging)
        .Exclude(vsCutCopyMarked)
        .Exclude(vsBeingDeleted)
        .Exclude(vsClearingChildren);
    if (Mode == amNoWhere) return;
    PVirtualNode parent = Node->Parent;
    ++parent->ChildCount;
    parent->States.Include(vsHasChildren);
    Target->AdjustTotalCount(parent, Node->TotalCount, true);
    if (parent->States.Contains(vsExpanded) && Node->States.Contains(vsVisible))
        Target->AdjustTotalHeight(parent, Node->TotalHeight, true);
    if (Target->IsFullyVisible(Node)) Target->FVisibleCount += Target->CountVisibleChildren(Node) + 1;
    if (parent != Target->FRoot) {
        if (Node->States.Contains(vsVisible))
            parent->States.Exclude(vsNoVisibleChild);
        else if (parent->ChildCount == 1)
            parent->States.Include(vsNoVisibleChild);
    }
}

PVirtualNode TBaseVirtualTree::InternalDisconnectNode(PVirtualNode Node, bool KeepFocus, bool Reindex) {
    // A failing focus handler must not leave the node half linked: the
    // unlink completes and the error is raised after it.
    TFirstError errors;
    if (Node == FFocusedNode && !KeepFocus) {
        DoFocusNode(nullptr, false);
        errors.Run([&] { DoFocusChange(FFocusedNode, FFocusedColumn); });
    }
    TScopeGuard raise([&] { errors.RaiseIfAny(); });
    if (Node == FRangeAnchor) ResetRangeAnchor();
    PVirtualNode parent = Node->Parent;
    bool updateHidden = parent != FRoot && !parent->States.Contains(vsClearingChildren);
    PVirtualNode result = Node->NextSibling ? Node->NextSibling : Node->PrevSibling;
    if (Node->States.Contains(vsBeingDeleted)) return result;

    Node->States.Exclude(vsCheckChanging);
    // Taken before the parent may lose its expanded state below.
    bool wasFullyVisible = IsFullyVisible(Node);
    --parent->ChildCount;
    bool adjustHeight = parent->States.Contains(vsExpanded) && Node->States.Contains(vsVisible);
    if (parent->ChildCount == 0) {
        parent->States.Exclude(vsHasChildren).Exclude(vsNoVisibleChild);
        if (parent != FRoot) parent->States.Exclude(vsExpanded);
    }
    AdjustTotalCount(parent, -int64_t(Node->TotalCount), true);
    if (adjustHeight) AdjustTotalHeight(parent, -int64_t(Node->TotalHeight), true);
    if (wasFullyVisible) FVisibleCount -= CountVisibleChildren(Node) + 1;

    if (Node->PrevSibling)
        Node->PrevSibling->NextSibling = Node->NextSibling;
    else
        parent->FirstChild = Node->NextSibling;
    if (Node->NextSibling) {
        Node->NextSibling->PrevSibling = Node->PrevSibling;
        if (Reindex) {
            uint32_t index = Node->Index;
            for (PVirtualNode run = Node->NextSibling; run; run = run->NextSibling)
                run->Index = index++;
        }
    } else {
        parent->LastChild = Node->PrevSibling;
    }
    Node->PrevSibling = nullptr;
    Node->NextSibling = nullptr;

    // Decided on the list as it is now, without the node.
    if (updateHidden) {
        if (FUpdateCount > 0)
            SetStatesDirect({tsUpdateHiddenChildrenNeeded}, {});
        else
            DetermineHiddenChildrenFlag(parent);
    }
    return result;
}

void TBaseVirtualTree::DeleteChildren(PVirtualNode Node, bool ResetHasChildren) {
    PVirtualNode reported = Node;
    if (!Node) Node = FRoot;
    if (!Node->FirstChild || ReadOnly()) return;
    TFirstError errors;
    int oldX = FOffsetX;
    int64_t oldY = FOffsetY;
    ++FUpdateCount;
    {
        TScopeGuard end([&] { EndBareUpdate(); });
        InterruptValidation();
        bool parentVisible = Node == FRoot || (IsFullyVisible(Node) && Node->States.Contains(vsExpanded));
        uint32_t visibleRows = !parentVisible  ? 0
                               : Node == FRoot ? FVisibleCount
                                               : CountVisibleChildren(Node);
        Node->States.Include(vsClearingChildren);
        // Every child goes even when a handler fails; the first error is raised afterwards.
        errors.Run([&] { FreeChildren(Node); });
        FVisibleCount -= visibleRows;
        Node->States.Exclude(vsClearingChildren);
        if (ResetHasChildren) Node->States.Exclude(vsHasChildren);
        if (Node != FRoot) Node->States.Exclude(vsExpanded);
        Node->ChildCount = 0;
        if (Node == FRoot || Node->States.Contains(vsBeingDeleted)) {
            Node->TotalCount = 1;
            Node->TotalHeight = Node->NodeHeight;
        } else {
            AdjustTotalHeight(Node, Node->NodeHeight, false);
            AdjustTotalCount(Node, 1, false);
        }
        Node->FirstChild = nullptr;
        Node->LastChild = nullptr;
    }
    InvalidateCache();
    if (FUpdateCount == 0) {
        ValidateCache();
        UpdateScrollBars(true);
        if (oldX != FOffsetX || oldY != FOffsetY)
            InvalidateView();
        else
            InvalidateToBottom(Node);
    }
    errors.RaiseIfAny();
    // The hidden root is reported as nil, as everywhere else.
    StructureChange(reported == FRoot ? nullptr : reported, crChildDeleted);
}

void TBaseVirtualTree::DeleteNode(PVirtualNode Node, bool Reindex) {
    if (!Node || Node == FRoot || ReadOnly()) return;
    PVirtualNode parent = Node->Parent;
    bool parentClearing = parent->States.Contains(vsClearingChildren);
    if (!parentClearing) StructureChange(parent == FRoot ? nullptr : parent, crChildDeleted);
    int oldX = FOffsetX;
    int64_t oldY = FOffsetY;
    if (!Node->States.Contains(vsSelected)) {
        InvalidateToBottom(parent);
    } else if (FUpdateCount > 0) {
        InternalRemoveFromSelection(Node);
    } else {
        bool wasSynch = FStates.Contains(tsSynchMode);
        SetStatesDirect({tsSynchMode}, {});
        TScopeGuard restore([&] {
            if (!wasSynch) SetStatesDirect({}, {tsSynchMode});
        });
        RemoveFromSelection(Node);
        InvalidateToBottom(parent);
    }
    if (FStates.Contains(tsHint)) {
        FView->CancelHint();
        DoStateChange({}, {tsHint});
    }
    TFirstError errors;
    errors.Run([&] { DeleteChildren(Node, false); });
    errors.Run([&] { InternalDisconnectNode(Node, false, Reindex); });
    // The node is gone even when its handler fails; the cache must not keep it.
    errors.Run([&] { FreeNode(Node); });
    if (!parentClearing) {
        DetermineHiddenChildrenFlag(parent);
        InvalidateCache();
        if (FUpdateCount == 0) {
            ValidateCache();
            UpdateScrollBars(true);
            if (oldX != FOffsetX || oldY != FOffsetY) InvalidateView();
        }
    }
    errors.RaiseIfAny();
}

void TBaseVirtualTree::DeleteSelectedNodes() {
    if (FSelectionCount == 0 || ReadOnly()) return;
    BeginUpdate();
    TScopeGuard end([&] { EndUpdate(); });
    TNodeArray nodes = GetSortedSelection(true);
    for (size_t i = nodes.size(); i-- > 1;)
        DeleteNode(nodes[i], nodes[i]->Parent != nodes[i - 1]->Parent);
    if (!nodes.empty()) DeleteNode(nodes[0], true);
}

void TBaseVirtualTree::Clear() {
    if (ReadOnly() && !IsDestroying()) return;
    {
        BeginUpdate();
        TScopeGuard end([&] { EndUpdate(); });
        InterruptValidation();
        if (FStates.Contains(tsCutPending) || FStates.Contains(tsCopyPending)) {
            ReleaseClipboardContent();
            DoStateChange({}, {tsCutPending, tsCopyPending});
        }
        ClearSelection();
        AbandonEdit();
        for (auto member : RememberedNodes())
            this->*member = nullptr;
        DeleteChildren(FRoot, true);
        FVisibleCount = 0;
        FOffsetX = 0;
        FOffsetY = 0;
    }
    if (!IsDestroying()) VTPrivate::AssertSound(*this);
}

void TBaseVirtualTree::MoveTo(PVirtualNode Source, PVirtualNode Target, TVTNodeAttachMode Mode,
                              bool ChildrenOnly) {
    bool doMove = Target != Source || ((Mode == amInsertBefore || Mode == amInsertAfter) && ChildrenOnly);
    if (!doMove || Mode == amNoWhere || !Source || Source == FRoot || ReadOnly()) return;
    TBaseVirtualTree* targetTree;
    if (!Target) {
        targetTree = this;
        Target = FRoot;
        Mode = amAddChildFirst;
    } else {
        targetTree = OwnerTreeOfNode(Target);
    }
    if (targetTree != this) {
        MoveToTree(Source, Target, Mode, ChildrenOnly, targetTree);
        return;
    }
    if (Target == FRoot) {
        if (Mode == amInsertBefore)
            Mode = amAddChildFirst;
        else if (Mode == amInsertAfter)
            Mode = amAddChildLast;
    }
    if (!Target->States.Contains(vsInitDone))
        InitNode(Target);
    else if (Target->States.Contains(vsHasChildren) && Target->ChildCount == 0)
        InitChildren(Target);

    doMove = DoNodeMoving(Source, Target == FRoot ? nullptr : Target);
    if (doMove) {
        if (Target != Source && HasAsParent(Target, Source)) RaiseTreeError(SWrongMoveError, ecWrongMove);
        // Positions are stale once anything moved, also when a moved handler fails.
        TScopeGuard dropCache([&] { InvalidateCache(); });
        if (!ChildrenOnly) {
            InternalDisconnectNode(Source, true, true);
            InternalConnectNode(Source, Target, Mode, this);
            // Moved, it is no longer what a drag would delete afterwards.
            DropFromDragSelection(Source);
            DoNodeMoved(Source);
        } else {
            // Taking the children from the end keeps their order for the modes that
            // place each one at the same spot.
            bool fromEnd = Mode == amAddChildFirst || Mode == amInsertAfter;
            PVirtualNode run = fromEnd ? Source->LastChild : Source->FirstChild;
            while (run) {
                PVirtualNode next = fromEnd ? run->PrevSibling : run->NextSibling;
                InternalDisconnectNode(run, true, false);
                InternalConnectNode(run, Target, Mode, this);
                DropFromDragSelection(run);
                DoNodeMoved(run);
                run = next;
            }
        }
    }
    InvalidateCache();
    if (FUpdateCount == 0 && doMove) {
        ValidateCache();
        UpdateScrollBars(true);
        InvalidateView();
    }
    StructureChange(ChildrenOnly ? nullptr : Source, crNodeMoved);
}

const std::vector<PVirtualNode TBaseVirtualTree::*>& TBaseVirtualTree::RememberedNodes() {
    using T = TBaseVirtualTree;
    static const std::vector<PVirtualNode T::*> members{&T::FFocusedNode,     &T::FRangeAnchor,
                                                        &T::FCurrentHotNode,  &T::FDropTargetNode,
                                                        &T::FLastDropTarget,  &T::FCheckNode,
                                                        &T::FLastSearchNode,  &T::FEditNode,
                                                        &T::FLastChangedNode, &T::FLastStructureChangeNode};
    return members;
}

void TBaseVirtualTree::ForgetNode(PVirtualNode Node) {
    // A check held down on the node ends with it.
    if (Node == FCheckNode) DoStateChange({}, {tsKeyCheckPending, tsMouseCheckPending});
    if (Node == FEditNode) AbandonEdit();
    for (auto member : RememberedNodes())
        if (this->*member == Node) this->*member = nullptr;
    DropFromDragSelection(Node);
    if (Node->States.Contains(vsSelected)) {
        InternalRemoveFromSelection(Node);
        if (FUpdateCount == 0) PackSelection();
    }
}

// ---- Initialisation, expanding and heights -----------------------------------------------

void TBaseVirtualTree::InitNode(PVirtualNode Node) {
    Node->States.Include(vsInitDone);
    TVirtualNodeInitStates initStates;
    DoInitNode(Node->Parent == FRoot ? nullptr : Node->Parent, Node, initStates);
    if (initStates.Contains(ivsDisabled)) Node->States.Include(vsDisabled);
    if (initStates.Contains(ivsHasChildren)) Node->States.Include(vsHasChildren);
    if (initStates.Contains(ivsSelected)) InternalAddToSelection(Node, false);
    if (initStates.Contains(ivsMultiline)) Node->States.Include(vsMultiline);
    if (Node->States.Contains(vsExpanded) != initStates.Contains(ivsExpanded)) {
        if (initStates.Contains(ivsExpanded))
            ToggleNode(Node);
        else if (Node->States.Contains(vsHasChildren))
            InitChildren(Node);
    }
}

void TBaseVirtualTree::EnsureInitialized(PVirtualNode Node) {
    if (Node && !Node->States.Contains(vsInitDone)) InitNode(Node);
}

void TBaseVirtualTree::InitChildren(PVirtualNode Node) {
    if (!Node || Node == FRoot || !Node->States.Contains(vsHasChildren)) return;
    uint32_t count = Node->ChildCount;
    DoInitChildren(Node, count);
    if (count != 0) {
        SetChildCount(Node, count);
    } else {
        DeleteChildren(Node, false);
        // A read-only tree keeps its children, and with them the flag.
        if (!Node->FirstChild) Node->States.Exclude(vsHasChildren);
    }
}

void TBaseVirtualTree::ReinitNode(PVirtualNode Node, bool Recursive) {
    if (Node && Node != FRoot) {
        Node->States.Exclude(vsCheckChanging)
            .Exclude(vsCutCopyMarked)
            .Exclude(vsBeingDeleted)
            .Exclude(vsHeightMeasured);
        InitNode(Node);
    }
    if (Recursive) ReinitChildren(Node, true);
}

void TBaseVirtualTree::ReinitChildren(PVirtualNode Node, bool Recursive) {
    if (!Node) Node = FRoot;
    InitChildren(Node);
    for (PVirtualNode child = Node->FirstChild; child; child = child->NextSibling)
        ReinitNode(child, Recursive);
}

void TBaseVirtualTree::ResetNode(PVirtualNode Node) {
    if (!Node || Node == FRoot) {
        Clear();
        return;
    }
    DoReset(Node);
    DeleteChildren(Node, false);
    Node->States.Exclude(vsInitDone)
        .Exclude(vsCheckChanging)
        .Exclude(vsCutCopyMarked)
        .Exclude(vsBeingDeleted)
        .Exclude(vsExpanded)
        .Exclude(vsHasChildren)
        .Exclude(vsHeightMeasured);
    InvalidateNode(Node);
}

void TBaseVirtualTree::ValidateNode(PVirtualNode Node, bool Recursive) {
    if (!Node) Node = FRoot;
    EnsureInitialized(Node);
    if (!Recursive) return;
    if (Node->States.Contains(vsHasChildren) && Node->ChildCount == 0) InitChildren(Node);
    // A leaf needs no call of its own: most rows of a big list are leaves.
    for (PVirtualNode child = Node->FirstChild; child; child = child->NextSibling) {
        EnsureInitialized(child);
        if (child->FirstChild || child->States.Contains(vsHasChildren)) ValidateNode(child, true);
    }
}

void TBaseVirtualTree::ValidateChildren(PVirtualNode Node, bool Recursive) {
    if (!Node) Node = FRoot;
    if (Node->States.Contains(vsHasChildren) && Node->ChildCount == 0) InitChildren(Node);
    for (PVirtualNode child = Node->FirstChild; child; child = child->NextSibling)
        ValidateNode(child, Recursive);
}

void TBaseVirtualTree::ToggleNode(PVirtualNode Node) {
    if (!Node || Node == FRoot) return;
    if (Node->States.Contains(vsInToggle) || Node->States.Contains(vsBeingDeleted)) return;
    Node->States.Include(vsInToggle);
    TScopeGuard leave([&] { Node->States.Exclude(vsInToggle); });

    bool watchTop = FUpdateCount == 0 && HandleAllocated();
    PVirtualNode lastTop = watchTop ? GetTopNode() : nullptr;
    bool changed = false, cacheDropped = false;
    // Positions are stale once the node changed, also when a handler fails.
    TScopeGuard dropCache([&] {
        if (changed && !cacheDropped) InvalidateCache();
    });
    if (Node->States.Contains(vsExpanded)) {
        if (!DoCollapsing(Node)) return;
        changed = true;
        if (FUpdateCount == 0 && HandleAllocated() &&
            FOptions->AnimationOptions().Contains(toAnimatedToggle) && !FStates.Contains(tsCollapsing)) {
            FView->CancelHint();
            AnimateToggle(Node, false);
        }
        if (IsFullyVisible(Node)) FVisibleCount -= CountVisibleChildren(Node);
        AdjustTotalHeight(Node, Node->NodeHeight, false);
        Node->States.Exclude(vsExpanded);
        DoCollapsed(Node);
        if (FOptions->AutoOptions().Contains(toAutoFreeOnCollapse) && Node->FirstChild) {
            DeleteChildren(Node, false);
            Node->States.Include(vsHasChildren);
        }
    } else {
        if (!DoExpanding(Node)) return;
        changed = true;
        EnsureInitialized(Node);
        if (Node->States.Contains(vsHasChildren) && Node->ChildCount == 0) InitChildren(Node);
        if (Node->FirstChild && !Node->States.Contains(vsExpanded)) {
            int64_t heightDelta = 0;
            for (PVirtualNode child = Node->FirstChild; child; child = child->NextSibling)
                if (child->States.Contains(vsVisible)) heightDelta += child->TotalHeight;
            if (FUpdateCount == 0 && HandleAllocated() && !FStates.Contains(tsExpanding) &&
                !FStates.Contains(tsPainting) && FOptions->AnimationOptions().Contains(toAnimatedToggle) &&
                GetNextVisibleNoInit(Node)) {
                FView->CancelHint();
                AnimateToggle(Node, true);
            }
            Node->States.Include(vsExpanded);
            AdjustTotalHeight(Node, heightDelta, true);
            if (IsFullyVisible(Node)) FVisibleCount += CountVisibleChildren(Node);
            DoExpanded(Node);
        }
    }
    if (!changed) return;
    InvalidateCache();
    cacheDropped = true;
    if (FUpdateCount > 0) return;
    ValidateCache();
    if (Node->FirstChild) {
        UpdateScrollBars(true);
        if (HandleAllocated()) {
            if (Node->States.Contains(vsExpanded) && FOptions->AutoOptions().Contains(toAutoScrollOnExpand)) {
                if (int64_t(Node->TotalHeight) > FView->ClientHeight())
                    SetTopNode(Node);
                else
                    ScrollIntoView(Node->LastChild,
                                   FOptions->SelectionOptions().Contains(toCenterScrollIntoView), false);
            }
            if (lastTop == GetTopNode())
                InvalidateToBottom(Node);
            else
                FView->Invalidate();
        }
    } else {
        InvalidateNode(Node);
    }
}

void TBaseVirtualTree::FullExpand(PVirtualNode Node) {
    if (FRoot->TotalCount <= 1) return;
    PVirtualNode stop;
    if (!Node || Node == FRoot) {
        Node = FRoot->FirstChild;
        stop = nullptr;
    } else {
        stop = NextAfterSubtree(Node);
    }
    BeginUpdate();
    TScopeGuard end([&] { EndUpdate(); });
    DoStateChange({tsExpanding});
    TScopeGuard leave([&] { DoStateChange({}, {tsExpanding}); });
    EnsureInitialized(Node);
    while (Node && Node != stop) {
        if (!Node->States.Contains(vsExpanded)) ToggleNode(Node);
        Node = GetNext(Node);
    }
}

void TBaseVirtualTree::FullCollapse(PVirtualNode Node) {
    if (FRoot->TotalCount <= 1) return;
    if (!Node) Node = FRoot;
    BeginUpdate();
    TScopeGuard end([&] { EndUpdate(); });
    DoStateChange({tsCollapsing});
    TScopeGuard leave([&] { DoStateChange({}, {tsCollapsing}); });
    auto collapsible = [](PVirtualNode n) {
        return n->States.Contains(vsExpanded) && n->States.Contains(vsHasChildren);
    };
    PVirtualNode run = GetLastVisibleNoInit(Node);
    while (run && run != Node) {
        if (collapsible(run)) ToggleNode(run);
        run = GetPreviousNoInit(run);
    }
    if (Node != FRoot && collapsible(Node)) ToggleNode(Node);
}

uint32_t TBaseVirtualTree::GetNodeHeight(PVirtualNode Node) {
    if (!Node || Node == FRoot) return 0;
    if (FOptions->MiscOptions().Contains(toVariableNodeHeight)) {
        EnsureInitialized(Node);
        MeasureItemHeight(nullptr, Node);
    }
    return Node->NodeHeight;
}

void TBaseVirtualTree::MeasureItemHeight(TCanvas* Canvas, PVirtualNode Node) {
    if (Node->States.Contains(vsHeightMeasured)) return;
    Node->States.Include(vsHeightMeasured);
    int height = Node->NodeHeight;
    DoMeasureItem(Canvas, Node, height);
    if (height != Node->NodeHeight) SetNodeHeight(Node, uint32_t(std::max(height, 0)));
}

void TBaseVirtualTree::SetNodeHeight(PVirtualNode Node, uint32_t Value) {
    if (!Node || Node == FRoot || ReadOnly()) return;
    Value = std::min(Value, MaxNodeHeight);
    if (Value == Node->NodeHeight) return;
    int64_t difference = int64_t(Value) - int64_t(Node->NodeHeight);
    Node->NodeHeight = uint16_t(Value);
    AdjustTotalHeight(Node, difference, true);
    FView->UpdateEditBounds();
    if (FStates.Contains(tsValidating) || !IsFullyVisible(Node)) return;
    InvalidateCache();
    if (FUpdateCount == 0) {
        ValidateCache();
        InvalidateToBottom(Node);
        UpdateScrollBars(true);
    }
}

void TBaseVirtualTree::DetermineHiddenChildrenFlag(PVirtualNode Node) {
    if (Node->FirstChild) {
        bool anyVisible = false;
        for (PVirtualNode child = Node->FirstChild; child && !anyVisible; child = child->NextSibling)
            anyVisible = child->States.Contains(vsVisible);
        if (anyVisible)
            Node->States.Exclude(vsNoVisibleChild);
        else
            Node->States.Include(vsNoVisibleChild);
    } else if (Node->States.Contains(vsHasChildren)) {
        Node->States.Exclude(vsNoVisibleChild);
    } else {
        Node->States.Include(vsNoVisibleChild);
    }
}

void TBaseVirtualTree::DetermineHiddenChildrenFlagAllNodes() {
    for (PVirtualNode run = GetFirstNoInit(); run; run = GetNextNoInit(run))
        DetermineHiddenChildrenFlag(run);
}
