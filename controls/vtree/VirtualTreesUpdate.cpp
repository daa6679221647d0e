// Update blocks, change notification and its timers, repaint requests, the
// position cache and sorting.
#include "controls/vtree/VirtualTrees.h"

#include <algorithm>
#include <cstdint>

#include "controls/vtree/VirtualTreesSort_p.h"
#include "controls/vtree/VirtualTrees_p.h"
#include "platform/rtl/ScopeGuard.h"

namespace {

// Fewer rows than this have nothing to look up in a cache.
constexpr uint32_t MinCachedRows = 2;

} // namespace

// ---- Update blocks and change notification -----------------------------------------------

void TBaseVirtualTree::BeginUpdate() {
    if (!IsDestroying()) {
        if (FUpdateCount == 0) {
            DoUpdating(usBegin);
            if (HandleAllocated()) FView->SetRedraw(false);
        } else {
            DoUpdating(usUpdate);
        }
    }
    ++FUpdateCount;
    DoStateChange({tsUpdating});
}

void TBaseVirtualTree::EndUpdate() {
    if (FUpdateCount > 0) --FUpdateCount;
    if (IsDestroying()) return;
    // The end is reported and the window redraws again also when a handler fails.
    TScopeGuard reportEnd([&] { DoUpdating(FUpdateCount == 0 ? usEnd : usUpdate); });
    if (FUpdateCount == 0 && FStates.Contains(tsUpdating)) {
        TScopeGuard redraw([&] {
            if (HandleAllocated()) {
                FView->SetRedraw(true);
                FView->Invalidate();
            }
            UpdateDesigner();
        });
        if (FStates.Contains(tsUpdateHiddenChildrenNeeded)) {
            DetermineHiddenChildrenFlagAllNodes();
            SetStatesDirect({}, {tsUpdateHiddenChildrenNeeded});
        }
        DoStateChange({}, {tsUpdating});
        PackSelection();
        // A cache that a sort in the block laid out survives: every change
        // after it would have dropped it.
        if (!CacheLaidOut()) InvalidateCache();
        ValidateCache();
        UpdateScrollBars(false);
        if (FStates.Contains(tsStructureChangePending))
            DoStructureChange(FLastStructureChangeNode, FLastStructureChangeReason);
        if (FStates.Contains(tsChangePending)) DoChange(FLastChangedNode);
        if (FOptions->AutoOptions().Contains(toAutoSort)) SortTree(GetSortColumn(), GetSortDirection(), true);
    }
}

void TBaseVirtualTree::EndBareUpdate() {
    if (FUpdateCount > 0) --FUpdateCount;
    if (FUpdateCount > 0 || IsDestroying()) return;
    // Work deferred while the bare counter was up is settled now, as at the end of an update block.
    if (FStates.Contains(tsUpdateHiddenChildrenNeeded)) {
        DetermineHiddenChildrenFlagAllNodes();
        SetStatesDirect({}, {tsUpdateHiddenChildrenNeeded});
    }
    PackSelection();
    if (FStates.Contains(tsStructureChangePending))
        DoStructureChange(FLastStructureChangeNode, FLastStructureChangeReason);
    if (FStates.Contains(tsChangePending)) DoChange(FLastChangedNode);
}

void TBaseVirtualTree::AdviseChangeEvent(bool IsStructureChange, PVirtualNode Node, TChangeReason Reason) {
    if (IsStructureChange) {
        if (FStates.Contains(tsStructureChangePending))
            FView->KillTimer(StructureChangeTimer);
        else
            DoStateChange({tsStructureChangePending});
        FLastStructureChangeNode = Node;
        if (FLastStructureChangeReason == crIgnore)
            FLastStructureChangeReason = Reason;
        else if (Reason != crIgnore)
            FLastStructureChangeReason = crAccumulated;
    } else {
        if (FStates.Contains(tsChangePending))
            FView->KillTimer(ChangeTimer);
        else
            DoStateChange({tsChangePending});
        FLastChangedNode = Node;
    }
}

void TBaseVirtualTree::Change(PVirtualNode Node) {
    AdviseChangeEvent(false, Node, crIgnore);
    if (FUpdateCount > 0) return;
    if (ChangeDelay == 0 || FStates.Contains(tsSynchMode))
        DoChange(Node);
    else
        FView->SetTimer(ChangeTimer, ChangeDelay);
}

void TBaseVirtualTree::StructureChange(PVirtualNode Node, TChangeReason Reason) {
    AdviseChangeEvent(true, Node, Reason);
    if (FUpdateCount > 0) return;
    if (ChangeDelay == 0 || FStates.Contains(tsSynchMode))
        DoStructureChange(Node, Reason);
    else
        FView->SetTimer(StructureChangeTimer, ChangeDelay);
}

void TBaseVirtualTree::WMTimer(unsigned TimerID) {
    switch (TimerID) {
    case ChangeTimer:
        DoChange(FLastChangedNode);
        break;
    case StructureChangeTimer:
        DoStructureChange(FLastStructureChangeNode, FLastStructureChangeReason);
        break;
    default:
        OtherTimer(TimerID);
        break;
    }
}

// ---- Repaint -----------------------------------------------------------------------------

void TBaseVirtualTree::InvalidateView() {
    if (HandleAllocated()) FView->Invalidate();
}

void TBaseVirtualTree::InvalidateNode(PVirtualNode Node) {
    if (FUpdateCount == 0 && HandleAllocated() && Node) FView->InvalidateNode(Node);
}

void TBaseVirtualTree::InvalidateToBottom(PVirtualNode Node) {
    if (FUpdateCount > 0 || !HandleAllocated()) return;
    if (!Node || Node == FRoot)
        FView->Invalidate();
    else if (Node->States.Contains(vsVisible) && Node->States.Contains(vsInitDone))
        FView->InvalidateToBottom(Node);
}

void TBaseVirtualTree::RepaintNode(PVirtualNode Node) {
    if (Node && Node != FRoot && HandleAllocated()) FView->RepaintNode(Node);
}

// ---- Position cache ----------------------------------------------------------------------

void TBaseVirtualTree::InvalidateCache() {
    ++FCacheGeneration;
    DoStateChange({tsValidationNeeded}, {tsUseCache});
}

void TBaseVirtualTree::ValidateCache() {
    // The cache is built on the GUI thread, by the position queries, as far as they reach.
    InterruptValidation();
}

void TBaseVirtualTree::InterruptValidation() {
    DoStateChange({tsStopValidation}, {tsUseCache});
}

uint32_t TBaseVirtualTree::GetCacheEntryCount() const {
    if (FVisibleCount < MinCachedRows) return 0;
    return (FVisibleCount + CacheThreshold - 1) / CacheThreshold;
}

bool TBaseVirtualTree::DoValidateCache() {
    if (FStates.Contains(tsStopValidation)) return false;
    // A sort of the top level laid the cache out as it relinked the rows.
    if (CacheLaidOut()) return !FPositionCache.empty();
    if (FVisibleCount <= CacheThreshold) {
        FPositionCache.clear();
        return false;
    }
    // The walk goes on from the last entry kept, or starts at the top.
    PVirtualNode node = GetFirstVisibleNoInit();
    uint64_t position = 0;
    if (FStartIndex > 0 && FStartIndex <= FPositionCache.size()) {
        node = FPositionCache[FStartIndex - 1].Node;
        position = FPositionCache[FStartIndex - 1].AbsoluteTop;
        FPositionCache.resize(FStartIndex - 1);
    } else {
        FPositionCache.clear();
        FPositionCache.reserve(GetCacheEntryCount());
    }
    FCacheComplete = false;
    const bool measure = FOptions->MiscOptions().Contains(toVariableNodeHeight);
    bool passed = false;
    uint32_t n = 0;
    while (node && !FStates.Contains(tsStopValidation)) {
        if (n == 0) {
            FPositionCache.push_back({node, position});
            // An entry past the row asked for ends a build that need not reach the end.
            if (passed || position > FValidateUntil) break;
        }
        passed = passed || node == FValidateUntilNode;
        position += measure ? GetNodeHeight(node) : node->NodeHeight;
        if (++n == CacheThreshold) n = 0;
        // The walk meets visible rows only: below an expanded row first, else onwards.
        PVirtualNode next = node->States.Contains(vsExpanded) ? node->FirstChild : nullptr;
        if (next && !next->States.Contains(vsVisible)) {
            node = next;
            next = nullptr;
        }
        while (!next) {
            while (!node->NextSibling) {
                node = node->Parent;
                if (node == FRoot) break;
            }
            if (node == FRoot) break;
            node = node->NextSibling;
            if (node->States.Contains(vsVisible)) next = node;
        }
        node = next;
    }
    FCacheComplete = !node && !FStates.Contains(tsStopValidation);
    bool result = !FPositionCache.empty() && !FStates.Contains(tsStopValidation);
    if (result && measure) UpdateScrollBars(true);
    return result;
}

bool TBaseVirtualTree::EnsurePositionCache(bool Force) {
    if (FStates.Contains(tsUseCache) && (FCacheComplete || !Force)) return true;
    if (!CanBuildPositionCache() || (!Force && !CacheLaidOut())) return false;
    return BuildPositionCache(UINT64_MAX, nullptr);
}

bool TBaseVirtualTree::CacheReaches(uint64_t Position, PVirtualNode Node, bool Extend) {
    if (EnsurePositionCache()) {
        if (FCacheComplete) return true;
        const TCacheEntry& last = FPositionCache.back();
        if (Node ? CompareNodePositions(last.Node, Node) >= 0 : last.AbsoluteTop > Position) return true;
    }
    return Extend && CanBuildPositionCache() && BuildPositionCache(Node ? UINT64_MAX : Position, Node);
}

bool TBaseVirtualTree::CanBuildPositionCache() const {
    return FUpdateCount == 0 && !FStates.Contains(tsValidating) && FVisibleCount > CacheThreshold;
}

bool TBaseVirtualTree::BuildPositionCache(uint64_t Until, PVirtualNode UntilNode) {
    // The walk goes on from the last valid entry, and only as far as asked:
    // a query costs what walking to its row costs, and the entries it
    // leaves serve every later query up to there.
    FStartIndex = FStates.Contains(tsUseCache) ? FPositionCache.size() : 0;
    FValidateUntil = Until;
    FValidateUntilNode = UntilNode;
    uint64_t generation = FCacheGeneration;
    DoStateChange({tsValidating}, {tsUseCache, tsStopValidation});
    bool ok = false;
    {
        TScopeGuard leave([&] {
            FStartIndex = 0;
            FValidateUntil = UINT64_MAX;
            FValidateUntilNode = nullptr;
            // A change made by a handler during the walk makes the result stale.
            ok = ok && generation == FCacheGeneration;
            TVirtualTreeStates leaving{tsStopValidation, tsValidating};
            if (ok) leaving.Include(tsValidationNeeded);
            DoStateChange(ok ? TVirtualTreeStates{tsUseCache} : TVirtualTreeStates{}, leaving);
        });
        ok = DoValidateCache();
    }
    return ok;
}

PVirtualNode TBaseVirtualTree::CacheEntryForPosition(uint64_t Position, uint64_t& Top) const {
    size_t low = 0, high = FPositionCache.size();
    // The last entry whose top is not below Position.
    while (high - low > 1) {
        size_t mid = (low + high) / 2;
        if (FPositionCache[mid].AbsoluteTop <= Position)
            low = mid;
        else
            high = mid;
    }
    if (FPositionCache.empty()) {
        Top = 0;
        return nullptr;
    }
    Top = FPositionCache[low].AbsoluteTop;
    return FPositionCache[low].Node;
}

PVirtualNode TBaseVirtualTree::CacheEntryForNode(PVirtualNode Node, uint64_t& Top) const {
    size_t low = 0, high = FPositionCache.size();
    while (high - low > 1) {
        size_t mid = (low + high) / 2;
        if (CompareNodePositions(FPositionCache[mid].Node, Node) <= 0)
            low = mid;
        else
            high = mid;
    }
    if (FPositionCache.empty()) {
        Top = 0;
        return nullptr;
    }
    Top = FPositionCache[low].AbsoluteTop;
    return FPositionCache[low].Node;
}

// ---- Sorting -----------------------------------------------------------------------------

void TBaseVirtualTree::Sort(PVirtualNode Node, TColumnIndex Column, TSortDirection Direction, bool DoInit) {
    InterruptValidation();
    if (FStates.Contains(tsEditPending)) {
        FView->KillTimer(EditTimer);
        DoStateChange({}, {tsEditPending});
    }
    if (!Node) Node = FRoot;
    if (!Node->States.Contains(vsHasChildren)) return;
    // Children made here are initialised too, so the comparison never sees empty data.
    if (DoInit) ValidateChildren(Node, false);
    if (Node->ChildCount > 1) {
        const size_t count = Node->ChildCount;
        VTPrivate::TSortArrays arrays(count);
        PVirtualNode* children = arrays.List();
        PVirtualNode* scratch = arrays.Scratch();
        size_t n = 0;
        bool childless = true;
        for (PVirtualNode run = Node->FirstChild; run && n < count; run = run->NextSibling, ++n) {
            children[n] = scratch[n] = run;
            childless = childless && !run->States.Contains(vsHasChildren);
        }
        // The links stay untouched until the order is known, so a failing comparison loses nothing.
        const size_t dataOffset = UserDataOffset();
        if (Direction == sdAscending)
            VTPrivate::SortNodes(
                children, scratch, n,
                [&](PVirtualNode a, PVirtualNode b) { return DoCompare(a, b, Column) > 0; }, dataOffset);
        else
            VTPrivate::SortNodes(
                children, scratch, n,
                [&](PVirtualNode a, PVirtualNode b) { return DoCompare(a, b, Column) < 0; }, dataOffset);
        // Walking the rows in their new order later would meet them as good
        // as at random. While the top level is relinked they are at hand in
        // an array, so the position cache is laid out on the way; it holds
        // when these rows are all the visible ones.
        const bool layOut = Node == FRoot && FVisibleCount > CacheThreshold &&
                            !FOptions->MiscOptions().Contains(toVariableNodeHeight);
        TCache laid;
        if (layOut) laid.reserve(GetCacheEntryCount());
        uint32_t visible = 0;
        uint64_t position = 0;
        PVirtualNode previous = nullptr;
        for (size_t k = 0; k < n; ++k) {
            if (k + VTPrivate::PrefetchDistance < n)
                __builtin_prefetch(children[k + VTPrivate::PrefetchDistance], 1);
            PVirtualNode child = children[k];
            child->Index = uint32_t(k);
            child->PrevSibling = previous;
            if (previous) previous->NextSibling = child;
            previous = child;
            if (layOut && child->States.Contains(vsVisible)) {
                if (visible % CacheThreshold == 0) laid.push_back({child, position});
                position += child->NodeHeight;
                ++visible;
            }
        }
        previous->NextSibling = nullptr;
        Node->FirstChild = children[0];
        Node->LastChild = previous;
        InvalidateCache();
        if (layOut && visible == FVisibleCount) {
            FPositionCache = std::move(laid);
            FCacheComplete = true;
            FLaidOutGeneration = FCacheGeneration;
        }
        if (childless) FChildlessSorted = Node;
    }
    if (FUpdateCount == 0) {
        ValidateCache();
        InvalidateView();
    }
}

void TBaseVirtualTree::SortSubtree(PVirtualNode Node, TColumnIndex Column, TSortDirection Direction,
                                   bool DoInit) {
    FChildlessSorted = nullptr;
    Sort(Node, Column, Direction, DoInit);
    bool childless = FChildlessSorted == Node;
    FChildlessSorted = nullptr;
    // Its children are all initialised or left alone, and none has children to sort.
    if (childless) return;
    for (PVirtualNode child = Node->FirstChild; child; child = child->NextSibling) {
        if (DoInit) EnsureInitialized(child);
        // Sorting a node without children does nothing that the first call has not done.
        if (child->States.Contains(vsInitDone) && child->States.Contains(vsHasChildren))
            SortSubtree(child, Column, Direction, DoInit);
    }
}

void TBaseVirtualTree::SortTree(TColumnIndex Column, TSortDirection Direction, bool DoInit) {
    ++FUpdateCount;
    {
        TScopeGuard end([&] {
            EndBareUpdate();
            if (FUpdateCount == 0) {
                ValidateCache();
                InvalidateView();
            }
        });
        if (Column >= NoColumn) SortSubtree(FRoot, Column, Direction, DoInit);
        // Every change since the sort laid the cache out would have dropped it.
        if (!CacheLaidOut()) InvalidateCache();
    }
    VTPrivate::AssertSound(*this);
}
