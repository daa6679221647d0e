#include "controls/vtree/VirtualTrees.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>

namespace {

// The window-less view: everything is a no-op and there is no window.
IVTView NoView;

uintptr_t Addr(PVirtualNode Node) {
    return reinterpret_cast<uintptr_t>(Node);
}
bool IsMarked(PVirtualNode Node) {
    return (Addr(Node) & 1u) != 0;
}
PVirtualNode Marked(PVirtualNode Node) {
    return reinterpret_cast<PVirtualNode>(Addr(Node) | 1u);
}

// Runs a step at the end of a scope, also when an exception passes.
template <class F> class TFinally {
public:
    explicit TFinally(F f) : FStep(std::move(f)) {}
    ~TFinally() noexcept(false) {
        if (std::uncaught_exceptions() > FUncaught) {
            try {
                FStep();
            } catch (...) {
            }
        } else {
            FStep();
        }
    }
    TFinally(const TFinally&) = delete;
    TFinally& operator=(const TFinally&) = delete;

private:
    F FStep;
    int FUncaught = std::uncaught_exceptions();
};

constexpr TVTPaintOptions DefaultPaintOptions{toShowButtons,   toShowDropmark, toShowRoot,
                                              toShowTreeLines, toThemeAware,   toUseBlendedImages};
constexpr TVTAutoOptions DefaultAutoOptions{toAutoDropExpand, toAutoScrollOnExpand, toAutoTristateTracking,
                                            toAutoDeleteMovedNodes};
constexpr TVTMiscOptions DefaultMiscOptions{toAcceptOLEDrop, toFullRepaintOnResize, toInitOnSave,
                                            toToggleOnDblClick, toWheelPanning};

constexpr uint32_t MaxNodeHeight = 0xFFFF;

} // namespace

void RaiseTreeError(const AnsiString& Message, int Code) {
    EVirtualTreeError e(Message);
    e.HelpContext = Code;
    throw e;
}

int PackNodeArray(TNodeArray& TheArray, int Count) {
    Count = std::min(Count, int(std::min<size_t>(TheArray.size(), INT32_MAX)));
    if (Count <= 0) return -1;
    int kept = 0;
    for (int i = 0; i < Count; ++i)
        if (!IsMarked(TheArray[size_t(i)])) TheArray[size_t(kept++)] = TheArray[size_t(i)];
    return kept;
}

TBaseVirtualTree* OwnerTreeOfNode(PVirtualNode Node) {
    if (!Node) return nullptr;
    while (Node->NextSibling != Node)
        Node = Node->Parent;
    return reinterpret_cast<TBaseVirtualTree*>(Node->Parent);
}

// ---- Options -------------------------------------------------------------------

TCustomVirtualTreeOptions::TCustomVirtualTreeOptions(TBaseVirtualTree* AOwner)
    : FOwner(AOwner), FPaintOptions(DefaultPaintOptions), FAutoOptions(DefaultAutoOptions),
      FMiscOptions(DefaultMiscOptions) {}

void TCustomVirtualTreeOptions::SetPaintOptions(TVTPaintOptions Value) {
    if (Value == FPaintOptions) return;
    TVTPaintOptions old = FPaintOptions;
    FPaintOptions = Value;
    if (!FOwner || FOwner->IsLoading() || !FOwner->HandleAllocated()) return;
    if (old.Contains(toThemeAware) != Value.Contains(toThemeAware))
        FOwner->View()->ThemeAwareChanged(Value.Contains(toThemeAware));
    else
        FOwner->InvalidateView();
}

void TCustomVirtualTreeOptions::SetAnimationOptions(TVTAnimationOptions Value) {
    FAnimationOptions = Value;
}

void TCustomVirtualTreeOptions::SetAutoOptions(TVTAutoOptions Value) {
    if (Value == FAutoOptions) return;
    TVTAutoOptions old = FAutoOptions;
    FAutoOptions = Value;
    if (FOwner && old.Contains(toAutoSpanColumns) != Value.Contains(toAutoSpanColumns) &&
        !FOwner->IsLoading() && FOwner->HandleAllocated())
        FOwner->InvalidateView();
}

void TCustomVirtualTreeOptions::SetSelectionOptions(TVTSelectionOptions Value) {
    if (Value == FSelectionOptions) return;
    TVTSelectionOptions old = FSelectionOptions;
    FSelectionOptions = Value;
    if (!FOwner) return;
    if (old.Contains(toMultiSelect) != Value.Contains(toMultiSelect) ||
        (!old.Contains(toLevelSelectConstraint) && Value.Contains(toLevelSelectConstraint)) ||
        (!old.Contains(toSiblingSelectConstraint) && Value.Contains(toSiblingSelectConstraint)))
        FOwner->ClearSelection();
    if (old.Contains(toExtendedFocus) && !Value.Contains(toExtendedFocus) && FOwner->FFocusedColumn > 0 &&
        FOwner->HandleAllocated()) {
        FOwner->FFocusedColumn = FOwner->GetMainColumn();
        FOwner->InvalidateView();
    }
    if (!Value.Contains(toExtendedFocus)) FOwner->FFocusedColumn = FOwner->GetMainColumn();
}

void TCustomVirtualTreeOptions::SetMiscOptions(TVTMiscOptions Value) {
    if (Value == FMiscOptions) return;
    TVTMiscOptions old = FMiscOptions;
    FMiscOptions = Value;
    if (!FOwner || FOwner->IsLoading() || !FOwner->HandleAllocated()) return;
    if (old.Contains(toCheckSupport) != Value.Contains(toCheckSupport)) FOwner->InvalidateView();
    if (FOwner->ComponentState() & csDesigning) return;
    if (old.Contains(toFullRepaintOnResize) != Value.Contains(toFullRepaintOnResize))
        FOwner->View()->RecreateWindow();
    if (old.Contains(toAcceptOLEDrop) != Value.Contains(toAcceptOLEDrop))
        FOwner->View()->AcceptOLEDropChanged(Value.Contains(toAcceptOLEDrop));
}

void TCustomVirtualTreeOptions::AssignTo(TPersistent* Dest) {
    if (auto* d = dynamic_cast<TCustomVirtualTreeOptions*>(Dest)) {
        d->SetPaintOptions(FPaintOptions);
        d->SetAnimationOptions(FAnimationOptions);
        d->SetAutoOptions(FAutoOptions);
        d->SetSelectionOptions(FSelectionOptions);
        d->SetMiscOptions(FMiscOptions);
        return;
    }
    TPersistent::AssignTo(Dest);
}

// ---- Construction ----------------------------------------------------------------

TBaseVirtualTree::TBaseVirtualTree(TComponent* AOwner) : TComponent(AOwner), FView(&NoView) {
    FSingletonNodeArray.resize(1);
    FOptions = std::make_unique<TCustomVirtualTreeOptions>(this);
    InitRootNode(0);
}

TBaseVirtualTree::~TBaseVirtualTree() {
    Destroying();
    {
        TVTMiscOptions misc = FOptions->MiscOptions();
        misc.Exclude(toReadOnly);
        FOptions->FMiscOptions = misc;
    }
    InterruptValidation();
    try {
        Clear();
    } catch (...) {
        // A handler failed while the tree dies; what is left is freed without events.
    }
    FreeSubtreeRaw(FRoot);
    FRoot = nullptr;
}

void TBaseVirtualTree::FreeSubtreeRaw(PVirtualNode Node) {
    if (!Node) return;
    PVirtualNode child = Node->FirstChild;
    while (child) {
        PVirtualNode next = child->NextSibling;
        FreeSubtreeRaw(child);
        child = next;
    }
    FreeNodeBlock(Node);
}

void TBaseVirtualTree::SetView(IVTView* View) {
    FView = View ? View : &NoView;
}

void TBaseVirtualTree::InvalidateView() {
    if (HandleAllocated()) FView->Invalidate();
}

// ---- Node blocks -------------------------------------------------------------------

size_t TBaseVirtualTree::UserDataOffset() const {
    // The owner's area starts aligned for any type it may keep there.
    constexpr size_t a = alignof(std::max_align_t);
    return (sizeof(TVirtualNode) + size_t(FTotalInternalDataSize) + a - 1) / a * a;
}

PVirtualNode TBaseVirtualTree::AllocateNode() {
    if (FNodeDataSize == -1) {
        int size = 0;
        DoGetNodeDataSize(size);
        FNodeDataSize = std::max(size, 0);
    }
    size_t size = UserDataOffset();
    if (!(ComponentState() & csDesigning)) size += size_t(std::max(FNodeDataSize, 0));
    void* block = std::calloc(1, size);
    if (!block) throw std::bad_alloc();
    auto* node = new (block) TVirtualNode{};
    node->TotalCount = 1;
    node->TotalHeight = FDefaultNodeHeight;
    node->NodeHeight = uint16_t(FDefaultNodeHeight);
    node->States = {vsVisible};
    node->Align = 50;
    return node;
}

void TBaseVirtualTree::FreeNodeBlock(PVirtualNode Node) {
    std::free(Node);
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
    FRoot->Align = 50;
}

int TBaseVirtualTree::AllocateInternalDataArea(int Size) {
    // Existing nodes would be too small for the new layout: rebuild them.
    uint32_t count = FRoot->ChildCount;
    bool rebuild = FRoot->TotalCount > 1;
    if (rebuild) DeleteAllNodes();
    int result = int(sizeof(TVirtualNode)) + FTotalInternalDataSize;
    FTotalInternalDataSize += (std::max(Size, 0) + 3) / 4 * 4;
    InitRootNode(result);
    if (rebuild) WithoutReadOnly([&] { SetRootNodeCount(count); });
    return result;
}

void* TBaseVirtualTree::GetNodeData(PVirtualNode Node) const {
    if (FNodeDataSize <= 0 || !Node || Node == FRoot) return nullptr;
    return reinterpret_cast<char*>(Node) + UserDataOffset();
}

void TBaseVirtualTree::WithoutReadOnly(const std::function<void()>& Step) {
    const TVTMiscOptions misc = FOptions->FMiscOptions;
    FOptions->FMiscOptions.Exclude(toReadOnly);
    TFinally restore([&] { FOptions->FMiscOptions = misc; });
    Step();
}

void TBaseVirtualTree::DeleteAllNodes() {
    WithoutReadOnly([this] { Clear(); });
}

void TBaseVirtualTree::SetNodeDataSize(int Value) {
    if (Value < -1) Value = -1;
    if (Value == FNodeDataSize) return;
    FNodeDataSize = Value;
    if (IsLoading() || (ComponentState() & csDesigning)) return;
    uint32_t count = FRoot->ChildCount;
    // The old blocks have the old size, so they go even on a read-only tree.
    WithoutReadOnly([&] {
        // The top level comes back also when a free handler fails.
        TFinally rebuild([&] { SetRootNodeCount(count); });
        Clear();
    });
}

// ---- Properties ------------------------------------------------------------------

void TBaseVirtualTree::SetAnimationDuration(uint32_t Value) {
    FAnimationDuration = Value;
    TVTAnimationOptions a = FOptions->AnimationOptions();
    if (Value != 0)
        a.Include(toAnimatedToggle);
    else
        a.Exclude(toAnimatedToggle);
    FOptions->SetAnimationOptions(a);
}

void TBaseVirtualTree::SetDefaultNodeHeight(uint32_t Value) {
    if (Value == 0) Value = 18;
    Value = std::min(Value, MaxNodeHeight); // node heights are 16 bits wide
    if (Value == FDefaultNodeHeight) return;
    DoStateChange({tsNeedScale});
    int64_t delta = int64_t(Value) - int64_t(FDefaultNodeHeight);
    FRoot->TotalHeight = uint32_t(int64_t(FRoot->TotalHeight) + delta);
    FRoot->NodeHeight = uint16_t(int64_t(FRoot->NodeHeight) + delta);
    FDefaultNodeHeight = Value;
    InvalidateCache();
    if (FUpdateCount == 0 && HandleAllocated() && !IsLoading()) {
        ValidateCache();
        FView->UpdateScrollBars(true);
        if (FFocusedNode)
            FView->ScrollIntoView(FFocusedNode, FOptions->SelectionOptions().Contains(toCenterScrollIntoView),
                                  true);
        FView->Invalidate();
    }
}

void TBaseVirtualTree::SetIndent(uint32_t Value) {
    if (Value == FIndent) return;
    FIndent = Value;
    if (!IsLoading() && FUpdateCount == 0 && HandleAllocated()) {
        FView->UpdateScrollBars(true);
        FView->Invalidate();
    }
}

void TBaseVirtualTree::SetMargin(int Value) {
    if (Value == FMargin) return;
    FMargin = Value;
    if (!IsLoading()) InvalidateView();
}

void TBaseVirtualTree::SetTextMargin(int Value) {
    if (Value == FTextMargin) return;
    FTextMargin = Value;
    if (!IsLoading()) InvalidateView();
}

void TBaseVirtualTree::SetNodeAlignment(TVTNodeAlignment Value) {
    if (Value == FNodeAlignment) return;
    FNodeAlignment = Value;
    if (!(ComponentState() & csReading)) InvalidateView();
}

void TBaseVirtualTree::SetSelectionCurveRadius(uint32_t Value) {
    if (Value == FSelectionCurveRadius) return;
    FSelectionCurveRadius = Value;
    if (!IsLoading()) InvalidateView();
}

void TBaseVirtualTree::SetTreeOptions(TCustomVirtualTreeOptions* Value) {
    FOptions->Assign(Value);
}

void TBaseVirtualTree::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TBaseVirtualTree*>(Source);
    if (!source || ReadOnly()) {
        TComponent::Assign(Source);
        return;
    }
    // Settings only: nodes and their data stay with their tree.
    AutoScrollDelay = source->AutoScrollDelay;
    AutoScrollInterval = source->AutoScrollInterval;
    ChangeDelay = source->ChangeDelay;
    SetDefaultNodeHeight(source->DefaultNodeHeight());
    DefaultPasteMode = source->DefaultPasteMode;
    HotCursor = source->HotCursor;
    SetIndent(source->Indent());
    SetMargin(source->Margin());
    SetNodeAlignment(source->NodeAlignment());
    SetNodeDataSize(source->NodeDataSize());
    SetTreeOptions(source->TreeOptions());
    SetRootNodeCount(source->GetRootNodeCount());
    SetSelectionCurveRadius(source->SelectionCurveRadius());
    SelectionBlendFactor = source->SelectionBlendFactor;
}

void TBaseVirtualTree::SetRootNodeCount(uint32_t Value) {
    if (IsLoading()) {
        FRoot->ChildCount = Value;
        DoStateChange({tsNeedRootCountUpdate});
        return;
    }
    if (Value == FRoot->ChildCount) return;
    BeginUpdate();
    TFinally end([&] { EndUpdate(); });
    InterruptValidation();
    SetChildCount(FRoot, Value);
}

void TBaseVirtualTree::Loaded() {
    if (!FStates.Contains(tsNeedRootCountUpdate) || FRoot->ChildCount == 0) return;
    DoStateChange({}, {tsNeedRootCountUpdate});
    WithoutReadOnly([&] {
        uint32_t count = FRoot->ChildCount;
        FRoot->ChildCount = 0;
        BeginUpdate();
        TFinally end([&] { EndUpdate(); });
        SetChildCount(FRoot, count);
    });
}

// ---- Counts ------------------------------------------------------------------------

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
        run->TotalHeight = uint32_t(int64_t(run->TotalHeight) + Value);
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

uint32_t TBaseVirtualTree::CountVisibleChildren(PVirtualNode Node) const {
    if (!Node->States.Contains(vsExpanded)) return 0;
    uint32_t result = 0;
    for (PVirtualNode child = Node->FirstChild; child; child = child->NextSibling)
        if (child->States.Contains(vsVisible)) result += 1 + CountVisibleChildren(child);
    return result;
}

int TBaseVirtualTree::CountLevelDifference(PVirtualNode Node1, PVirtualNode Node2) const {
    return int(GetNodeLevel(Node2)) - int(GetNodeLevel(Node1));
}

bool TBaseVirtualTree::HasVisiblePath(PVirtualNode Node) const {
    if (Node == FRoot) return true;
    PVirtualNode run = Node->Parent;
    while (run != FRoot && run->States.Contains(vsExpanded) && run->States.Contains(vsVisible))
        run = run->Parent;
    return run == FRoot;
}

bool TBaseVirtualTree::IsFullyVisible(PVirtualNode Node) const {
    if (!Node->States.Contains(vsVisible)) return false;
    return Node == FRoot || HasVisiblePath(Node);
}

// ---- Structure ---------------------------------------------------------------------

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
        // Counts are settled for what was linked, also when an allocation fails.
        auto settle = [&] {
            if (Node->States.Contains(vsExpanded)) {
                AdjustTotalHeight(Node, heights, true);
                if (IsFullyVisible(Node)) FVisibleCount += added;
            }
            AdjustTotalCount(Node, added, true);
            Node->ChildCount += added;
        };
        try {
            for (uint32_t missing = NewCount - Node->ChildCount; added < missing; ++added) {
                PVirtualNode child = AllocateNode();
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
        } catch (...) {
            settle();
            InvalidateCache();
            throw;
        }
        settle();
        // Dropped before sorting, so a failing comparison leaves no stale positions.
        InvalidateCache();
        if (FUpdateCount == 0 && FOptions->AutoOptions().Contains(toAutoSort) && GetSortColumn() >= NoColumn)
            Sort(Node, GetSortColumn(), GetSortDirection(), true);
    } else {
        for (uint32_t surplus = Node->ChildCount - NewCount; surplus > 0 && Node->LastChild; --surplus)
            DeleteNode(Node->LastChild, true);
    }
    if (FUpdateCount == 0) {
        ValidateCache();
        FView->UpdateScrollBars(true);
        InvalidateView();
    }
    StructureChange(Node == FRoot ? nullptr : Node, crChildAdded);
}

uint32_t TBaseVirtualTree::GetTotalCount() {
    ++FUpdateCount;
    {
        TFinally end([&] { EndBareUpdate(); });
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
    std::exception_ptr error;
    if (Node == FFocusedNode && !KeepFocus) {
        DoFocusNode(nullptr, false);
        try {
            DoFocusChange(FFocusedNode, FFocusedColumn);
        } catch (...) {
            error = std::current_exception();
        }
    }
    TFinally raise([&] {
        if (error) std::rethrow_exception(error);
    });
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
    std::exception_ptr error;
    int oldX = FOffsetX, oldY = FOffsetY;
    ++FUpdateCount;
    {
        TFinally end([&] { EndBareUpdate(); });
        InterruptValidation();
        bool parentVisible = Node == FRoot || (IsFullyVisible(Node) && Node->States.Contains(vsExpanded));
        Node->States.Include(vsClearingChildren);
        PVirtualNode run = Node->LastChild;
        while (run) {
            if (parentVisible && run->States.Contains(vsVisible)) --FVisibleCount;
            run->States.Include(vsBeingDeleted);
            PVirtualNode mark = run;
            run = run->PrevSibling;
            if (run) run->NextSibling = nullptr;
            // Every child goes even when a handler fails; the first error is raised afterwards.
            try {
                DeleteNode(mark, true);
            } catch (...) {
                if (!error) error = std::current_exception();
            }
        }
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
        FView->UpdateScrollBars(true);
        if (oldX != FOffsetX || oldY != FOffsetY)
            InvalidateView();
        else
            InvalidateToBottom(Node);
    }
    if (error) std::rethrow_exception(error);
    // The hidden root is reported as nil, as everywhere else.
    StructureChange(reported == FRoot ? nullptr : reported, crChildDeleted);
}

void TBaseVirtualTree::DeleteNode(PVirtualNode Node, bool Reindex) {
    if (!Node || Node == FRoot || ReadOnly()) return;
    PVirtualNode parent = Node->Parent;
    bool parentClearing = parent->States.Contains(vsClearingChildren);
    if (!parentClearing) StructureChange(parent == FRoot ? nullptr : parent, crChildDeleted);
    int oldX = FOffsetX, oldY = FOffsetY;
    if (!Node->States.Contains(vsSelected)) {
        InvalidateToBottom(parent);
    } else if (FUpdateCount > 0) {
        InternalRemoveFromSelection(Node);
    } else {
        bool wasSynch = FStates.Contains(tsSynchMode);
        SetStatesDirect({tsSynchMode}, {});
        TFinally restore([&] {
            if (!wasSynch) SetStatesDirect({}, {tsSynchMode});
        });
        RemoveFromSelection(Node);
        InvalidateToBottom(parent);
    }
    if (FStates.Contains(tsHint)) {
        FView->CancelHint();
        DoStateChange({}, {tsHint});
    }
    std::exception_ptr error;
    try {
        DeleteChildren(Node, false);
    } catch (...) {
        error = std::current_exception();
    }
    try {
        InternalDisconnectNode(Node, false, Reindex);
    } catch (...) {
        if (!error) error = std::current_exception();
    }
    // The node is gone even when its handler fails; the cache must not keep it.
    try {
        DoFreeNode(Node);
    } catch (...) {
        if (!error) error = std::current_exception();
    }
    if (!parentClearing) {
        DetermineHiddenChildrenFlag(parent);
        InvalidateCache();
        if (FUpdateCount == 0) {
            ValidateCache();
            FView->UpdateScrollBars(true);
            if (oldX != FOffsetX || oldY != FOffsetY) InvalidateView();
        }
    }
    if (error) std::rethrow_exception(error);
}

void TBaseVirtualTree::DeleteSelectedNodes() {
    if (FSelectionCount == 0 || ReadOnly()) return;
    BeginUpdate();
    TFinally end([&] { EndUpdate(); });
    TNodeArray nodes = GetSortedSelection(true);
    for (size_t i = nodes.size(); i-- > 1;)
        DeleteNode(nodes[i], nodes[i]->Parent != nodes[i - 1]->Parent);
    if (!nodes.empty()) DeleteNode(nodes[0], true);
}

void TBaseVirtualTree::Clear() {
    if (ReadOnly() && !IsDestroying()) return;
    BeginUpdate();
    TFinally end([&] { EndUpdate(); });
    InterruptValidation();
    if (FStates.Contains(tsCutPending) || FStates.Contains(tsCopyPending))
        DoStateChange({}, {tsCutPending, tsCopyPending});
    ClearSelection();
    FFocusedNode = nullptr;
    FCurrentHotNode = nullptr;
    FDropTargetNode = nullptr;
    FLastChangedNode = nullptr;
    FRangeAnchor = nullptr;
    FCheckNode = nullptr;
    FLastDropTarget = nullptr;
    FLastSearchNode = nullptr;
    FEditNode = nullptr;
    DeleteChildren(FRoot, true);
    FVisibleCount = 0;
    FOffsetX = 0;
    FOffsetY = 0;
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
    if (targetTree != this)
        RaiseTreeError("Moving nodes into another tree needs the tree stream format, which is not built yet.",
                       0);
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
        if (Target != Source && HasAsParent(Target, Source)) RaiseTreeError(SWrongMoveError, 2001);
        // Positions are stale once anything moved, also when a moved handler fails.
        TFinally dropCache([&] { InvalidateCache(); });
        if (!ChildrenOnly) {
            InternalDisconnectNode(Source, true, true);
            InternalConnectNode(Source, Target, Mode, this);
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
                DoNodeMoved(run);
                run = next;
            }
        }
    }
    InvalidateCache();
    if (FUpdateCount == 0 && doMove) {
        ValidateCache();
        FView->UpdateScrollBars(true);
        InvalidateView();
    }
    StructureChange(ChildrenOnly ? nullptr : Source, crNodeMoved);
}

// ---- Initialisation, expanding and heights ----------------------------------------

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
    for (PVirtualNode child = Node->FirstChild; child; child = child->NextSibling)
        ValidateNode(child, true);
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
    TFinally leave([&] { Node->States.Exclude(vsInToggle); });

    bool watchTop = FUpdateCount == 0 && HandleAllocated();
    PVirtualNode lastTop = watchTop ? GetTopNode() : nullptr;
    bool changed = false, cacheDropped = false;
    // Positions are stale once the node changed, also when a handler fails.
    TFinally dropCache([&] {
        if (changed && !cacheDropped) InvalidateCache();
    });
    if (Node->States.Contains(vsExpanded)) {
        if (!DoCollapsing(Node)) return;
        changed = true;
        if (FUpdateCount == 0 && HandleAllocated() &&
            FOptions->AnimationOptions().Contains(toAnimatedToggle) && !FStates.Contains(tsCollapsing)) {
            FView->CancelHint();
            FView->AnimateToggle(Node, false);
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
                FView->AnimateToggle(Node, true);
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
        FView->UpdateScrollBars(true);
        if (HandleAllocated()) {
            if (Node->States.Contains(vsExpanded) && FOptions->AutoOptions().Contains(toAutoScrollOnExpand)) {
                if (int64_t(Node->TotalHeight) > FView->ClientHeight())
                    FView->SetTopNode(Node);
                else
                    FView->ScrollIntoView(Node->LastChild,
                                          FOptions->SelectionOptions().Contains(toCenterScrollIntoView),
                                          false);
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
    TFinally end([&] { EndUpdate(); });
    DoStateChange({tsExpanding});
    TFinally leave([&] { DoStateChange({}, {tsExpanding}); });
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
    TFinally end([&] { EndUpdate(); });
    DoStateChange({tsCollapsing});
    TFinally leave([&] { DoStateChange({}, {tsCollapsing}); });
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

PVirtualNode TBaseVirtualTree::NextAfterSubtree(PVirtualNode Node) const {
    while (Node != FRoot) {
        if (Node->NextSibling) return Node->NextSibling;
        Node = Node->Parent;
    }
    return nullptr;
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
    Value = std::min(Value, MaxNodeHeight); // the record keeps 16 bits
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
        FView->UpdateScrollBars(true);
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

// ---- Update blocks and change notification ------------------------------------------

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
    TFinally reportEnd([&] { DoUpdating(FUpdateCount == 0 ? usEnd : usUpdate); });
    if (FUpdateCount == 0 && FStates.Contains(tsUpdating)) {
        TFinally redraw([&] {
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
        InvalidateCache();
        ValidateCache();
        if (HandleAllocated()) FView->UpdateScrollBars(false);
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
        break;
    }
}

// ---- Position cache ----------------------------------------------------------------

void TBaseVirtualTree::InvalidateCache() {
    ++FCacheGeneration;
    FWalkedSinceChange = 0;
    DoStateChange({tsValidationNeeded}, {tsUseCache});
}

void TBaseVirtualTree::ValidateCache() {
    // The cache is built on the GUI thread, by the position queries (EnsurePositionCache).
    InterruptValidation();
}

void TBaseVirtualTree::InterruptValidation() {
    DoStateChange({tsStopValidation}, {tsUseCache});
}

uint32_t TBaseVirtualTree::GetCacheEntryCount() const {
    if (FVisibleCount < 2) return 0;
    return (FVisibleCount + CacheThreshold - 1) / CacheThreshold;
}

bool TBaseVirtualTree::DoValidateCache() {
    if (FStates.Contains(tsStopValidation)) return false;
    FPositionCache.clear();
    if (FVisibleCount <= CacheThreshold) return false;
    uint32_t count = GetCacheEntryCount();
    FPositionCache.resize(count);
    uint32_t slot = 0;
    uint32_t n = 0;
    uint64_t position = 0;
    PVirtualNode node = GetFirstVisibleNoInit();
    while (node && !FStates.Contains(tsStopValidation)) {
        if (n % CacheThreshold == 0) {
            FPositionCache[slot++] = {node, uint32_t(position)};
            if (slot == count) {
                ++n;
                break;
            }
        }
        position += GetNodeHeight(node);
        node = GetNextVisibleNoInit(node);
        ++n;
    }
    if (slot < count) FPositionCache.resize(slot);
    bool result = n > 0 && !FStates.Contains(tsStopValidation);
    if (result && FOptions->MiscOptions().Contains(toVariableNodeHeight)) FView->UpdateScrollBars(true);
    return result;
}

bool TBaseVirtualTree::EnsurePositionCache(bool Force) {
    if (FStates.Contains(tsUseCache)) return true;
    if (FUpdateCount > 0 || FStates.Contains(tsValidating) || FVisibleCount <= CacheThreshold) return false;
    // Building walks every visible node. Until the walks since the last change
    // have cost about as much, walking is cheaper, so a tree that changes
    // between single queries never pays for a cache it does not use.
    if (!Force && FWalkedSinceChange < FVisibleCount) return false;
    uint64_t generation = FCacheGeneration;
    DoStateChange({tsValidating}, {tsUseCache, tsStopValidation});
    bool ok = false;
    {
        TFinally leave([&] {
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

PVirtualNode TBaseVirtualTree::CacheEntryForPosition(uint32_t Position, uint32_t& Top) const {
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

PVirtualNode TBaseVirtualTree::CacheEntryForNode(PVirtualNode Node, uint32_t& Top) const {
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

// ---- Sorting ---------------------------------------------------------------------

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
        TNodeArray children;
        children.reserve(Node->ChildCount);
        for (PVirtualNode run = Node->FirstChild; run; run = run->NextSibling)
            children.push_back(run);
        // The links stay untouched until the order is known, so a failing comparison loses nothing.
        if (Direction == sdAscending)
            std::stable_sort(children.begin(), children.end(),
                             [&](PVirtualNode a, PVirtualNode b) { return DoCompare(b, a, Column) > 0; });
        else
            std::stable_sort(children.begin(), children.end(),
                             [&](PVirtualNode a, PVirtualNode b) { return DoCompare(b, a, Column) < 0; });
        PVirtualNode previous = nullptr;
        uint32_t index = 0;
        for (PVirtualNode child : children) {
            child->Index = index++;
            child->PrevSibling = previous;
            if (previous) previous->NextSibling = child;
            previous = child;
        }
        previous->NextSibling = nullptr;
        Node->FirstChild = children.front();
        Node->LastChild = previous;
        InvalidateCache();
    }
    if (FUpdateCount == 0) {
        ValidateCache();
        InvalidateView();
    }
}

void TBaseVirtualTree::SortSubtree(PVirtualNode Node, TColumnIndex Column, TSortDirection Direction,
                                   bool DoInit) {
    Sort(Node, Column, Direction, DoInit);
    for (PVirtualNode child = Node->FirstChild; child; child = child->NextSibling) {
        if (DoInit) EnsureInitialized(child);
        if (child->States.Contains(vsInitDone)) SortSubtree(child, Column, Direction, DoInit);
    }
}

void TBaseVirtualTree::SortTree(TColumnIndex Column, TSortDirection Direction, bool DoInit) {
    ++FUpdateCount;
    TFinally end([&] {
        EndBareUpdate();
        if (FUpdateCount == 0) {
            ValidateCache();
            InvalidateView();
        }
    });
    if (Column >= NoColumn) SortSubtree(FRoot, Column, Direction, DoInit);
    InvalidateCache();
}

// ---- Iteration -----------------------------------------------------------------

namespace {

// The nearest visible sibling after (Forward) or before Node; Init sees each
// sibling passed before its visibility is read.
template <class TInit>
PVirtualNode VisibleSibling(PVirtualNode Node, PVirtualNode Root, bool Forward, TInit Init) {
    if (!Node || Node == Root) return nullptr;
    do {
        Node = Forward ? Node->NextSibling : Node->PrevSibling;
        Init(Node);
    } while (Node && !Node->States.Contains(vsVisible));
    return Node;
}

} // namespace

PVirtualNode TBaseVirtualTree::GetFirst() {
    PVirtualNode result = FRoot->FirstChild;
    EnsureInitialized(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetFirstNoInit() const {
    return FRoot->FirstChild;
}

PVirtualNode TBaseVirtualTree::GetFirstInitialized() const {
    PVirtualNode result = GetFirstNoInit();
    if (result && !result->States.Contains(vsInitDone)) result = GetNextInitialized(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetNextInitialized(PVirtualNode Node) const {
    PVirtualNode result = Node;
    do {
        result = GetNextNoInit(result);
    } while (result && !result->States.Contains(vsInitDone));
    return result;
}

PVirtualNode TBaseVirtualTree::GetFirstSelected() {
    return GetNextSelected(nullptr);
}

PVirtualNode TBaseVirtualTree::GetNextSelected(PVirtualNode Node) {
    if (FSelectionCount <= 0) return nullptr;
    PVirtualNode run = (!Node || Node == FRoot) ? GetFirstNoInit() : GetNextNoInit(Node);
    while (run && !run->States.Contains(vsSelected))
        run = GetNextNoInit(run);
    EnsureInitialized(run);
    return run;
}

PVirtualNode TBaseVirtualTree::GetFirstCutCopy() {
    return GetNextCutCopy(nullptr);
}

PVirtualNode TBaseVirtualTree::GetNextCutCopy(PVirtualNode Node) {
    if (!FStates.Contains(tsCutPending) && !FStates.Contains(tsCopyPending)) return nullptr;
    PVirtualNode run = (!Node || Node == FRoot) ? GetFirstNoInit() : GetNextNoInit(Node);
    while (run && !run->States.Contains(vsCutCopyMarked))
        run = GetNextNoInit(run);
    EnsureInitialized(run);
    return run;
}

PVirtualNode TBaseVirtualTree::GetFirstVisible() {
    if (!FRoot->States.Contains(vsHasChildren) || !FRoot->FirstChild) return nullptr;
    PVirtualNode result = FRoot->FirstChild;
    EnsureInitialized(result);
    if (!result->States.Contains(vsVisible)) result = GetNextVisibleSibling(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetFirstVisibleNoInit() const {
    if (!FRoot->States.Contains(vsHasChildren) || !FRoot->FirstChild) return nullptr;
    PVirtualNode result = FRoot->FirstChild;
    if (!result->States.Contains(vsVisible)) result = GetNextVisibleSiblingNoInit(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetFirstChild(PVirtualNode Node) {
    if (!Node) Node = FRoot;
    EnsureInitialized(Node);
    if (!Node->States.Contains(vsHasChildren)) return nullptr;
    if (Node->ChildCount == 0) InitChildren(Node);
    PVirtualNode result = Node->FirstChild;
    EnsureInitialized(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetLastChild(PVirtualNode Node) {
    if (!Node) Node = FRoot;
    EnsureInitialized(Node);
    if (!Node->States.Contains(vsHasChildren)) return nullptr;
    if (Node->ChildCount == 0) InitChildren(Node);
    PVirtualNode result = Node->LastChild;
    EnsureInitialized(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetLastChildNoInit(PVirtualNode Node) const {
    if (!Node) Node = FRoot;
    if (!Node->States.Contains(vsHasChildren)) return nullptr;
    return Node->LastChild;
}

PVirtualNode TBaseVirtualTree::GetFirstVisibleChild(PVirtualNode Node) {
    PVirtualNode result = GetFirstChild(Node);
    if (result && !result->States.Contains(vsVisible)) result = GetNextVisibleSibling(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetLastVisibleChild(PVirtualNode Node) {
    PVirtualNode result;
    if (!Node || Node == FRoot) {
        result = GetLastChild(nullptr);
    } else if (IsFullyVisible(Node) && Node->States.Contains(vsExpanded)) {
        result = GetLastChild(Node);
    } else {
        return nullptr;
    }
    if (result && !result->States.Contains(vsVisible)) result = GetPreviousVisibleSibling(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetLastVisibleChildNoInit(PVirtualNode Node) const {
    PVirtualNode result;
    if (!Node || Node == FRoot) {
        result = GetLastChildNoInit(nullptr);
    } else if (IsFullyVisible(Node) && Node->States.Contains(vsExpanded)) {
        result = GetLastChildNoInit(Node);
    } else {
        return nullptr;
    }
    if (result && !result->States.Contains(vsVisible)) result = GetPreviousVisibleSiblingNoInit(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetLast(PVirtualNode Node) {
    PVirtualNode result = nullptr;
    for (PVirtualNode next = GetLastChild(Node); next; next = GetLastChild(next))
        result = next;
    return result;
}

PVirtualNode TBaseVirtualTree::GetLastNoInit(PVirtualNode Node) const {
    PVirtualNode result = nullptr;
    for (PVirtualNode next = GetLastChildNoInit(Node); next; next = GetLastChildNoInit(next))
        result = next;
    return result;
}

PVirtualNode TBaseVirtualTree::GetLastVisible(PVirtualNode Node) {
    PVirtualNode result = nullptr;
    for (PVirtualNode next = GetLastVisibleChild(Node); next; next = GetLastVisibleChild(next))
        result = next;
    return result;
}

PVirtualNode TBaseVirtualTree::GetLastVisibleNoInit(PVirtualNode Node) const {
    PVirtualNode result = nullptr;
    for (PVirtualNode next = GetLastVisibleChildNoInit(Node); next; next = GetLastVisibleChildNoInit(next))
        result = next;
    return result;
}

PVirtualNode TBaseVirtualTree::GetNext(PVirtualNode Node) {
    if (!Node || Node == FRoot) return nullptr;
    if (Node->States.Contains(vsHasChildren) && Node->ChildCount == 0) InitChildren(Node);
    PVirtualNode result = GetNextNoInit(Node);
    EnsureInitialized(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetNextNoInit(PVirtualNode Node) const {
    if (!Node || Node == FRoot) return nullptr;
    if (Node->FirstChild) return Node->FirstChild;
    while (!Node->NextSibling) {
        Node = Node->Parent;
        if (Node == FRoot) return nullptr;
    }
    return Node->NextSibling;
}

PVirtualNode TBaseVirtualTree::GetPrevious(PVirtualNode Node) {
    if (!Node || Node == FRoot) return nullptr;
    PVirtualNode result;
    if (Node->PrevSibling) {
        result = GetLast(Node->PrevSibling);
        if (!result) result = Node->PrevSibling;
    } else {
        result = Node->Parent == FRoot ? nullptr : Node->Parent;
    }
    EnsureInitialized(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetPreviousNoInit(PVirtualNode Node) const {
    if (!Node || Node == FRoot) return nullptr;
    if (Node->PrevSibling) {
        PVirtualNode result = GetLastNoInit(Node->PrevSibling);
        return result ? result : Node->PrevSibling;
    }
    return Node->Parent == FRoot ? nullptr : Node->Parent;
}

PVirtualNode TBaseVirtualTree::GetNextSibling(PVirtualNode Node) {
    PVirtualNode result = (Node && Node != FRoot) ? Node->NextSibling : nullptr;
    EnsureInitialized(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetPreviousSibling(PVirtualNode Node) {
    PVirtualNode result = (Node && Node != FRoot) ? Node->PrevSibling : nullptr;
    EnsureInitialized(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetNextVisibleSibling(PVirtualNode Node) {
    return VisibleSibling(Node, FRoot, true, [this](PVirtualNode N) { EnsureInitialized(N); });
}

PVirtualNode TBaseVirtualTree::GetNextVisibleSiblingNoInit(PVirtualNode Node) const {
    return VisibleSibling(Node, FRoot, true, [](PVirtualNode) {});
}

PVirtualNode TBaseVirtualTree::GetPreviousVisibleSibling(PVirtualNode Node) {
    return VisibleSibling(Node, FRoot, false, [this](PVirtualNode N) { EnsureInitialized(N); });
}

PVirtualNode TBaseVirtualTree::GetPreviousVisibleSiblingNoInit(PVirtualNode Node) const {
    return VisibleSibling(Node, FRoot, false, [](PVirtualNode) {});
}

PVirtualNode TBaseVirtualTree::GetVisibleParent(PVirtualNode Node) const {
    PVirtualNode result = Node ? Node : FRoot;
    while (result != FRoot) {
        // Climb to the nearest expanded ancestor.
        do {
            result = result->Parent;
        } while (result != FRoot && !result->States.Contains(vsExpanded));
        if (result == FRoot || IsFullyVisible(result)) break;
        while (result != FRoot && result->Parent->States.Contains(vsExpanded))
            result = result->Parent;
    }
    return result;
}

PVirtualNode TBaseVirtualTree::HiddenSubtreeTop(PVirtualNode Node) const {
    // The child, on Node's path, of its deepest ancestor that is fully visible and expanded:
    // nothing in that child's subtree after it can be visible.
    PVirtualNode run = Node;
    while (run->Parent != FRoot) {
        PVirtualNode parent = run->Parent;
        if (parent->States.Contains(vsExpanded) && IsFullyVisible(parent)) break;
        run = parent;
    }
    return run;
}

PVirtualNode TBaseVirtualTree::GetNextVisible(PVirtualNode Node) {
    if (!Node || Node == FRoot) return nullptr;
    PVirtualNode run = Node;
    if (IsFullyVisible(Node)) {
        if (Node->States.Contains(vsExpanded) && Node->States.Contains(vsHasChildren) &&
            Node->ChildCount == 0)
            InitChildren(Node);
        if (Node->States.Contains(vsExpanded) && Node->FirstChild) {
            run = Node->FirstChild;
            EnsureInitialized(run);
            if (run->States.Contains(vsVisible)) return run;
        }
    } else {
        run = HiddenSubtreeTop(Node);
    }
    while (true) {
        while (!run->NextSibling) {
            run = run->Parent;
            if (run == FRoot) return nullptr;
        }
        run = run->NextSibling;
        EnsureInitialized(run);
        if (run->States.Contains(vsVisible)) return run;
    }
}

PVirtualNode TBaseVirtualTree::GetNextVisibleNoInit(PVirtualNode Node) const {
    if (!Node || Node == FRoot) return nullptr;
    PVirtualNode run = Node;
    if (IsFullyVisible(Node)) {
        if (Node->States.Contains(vsExpanded) && Node->FirstChild) {
            run = Node->FirstChild;
            if (run->States.Contains(vsVisible)) return run;
        }
    } else {
        run = HiddenSubtreeTop(Node);
    }
    while (true) {
        while (!run->NextSibling) {
            run = run->Parent;
            if (run == FRoot) return nullptr;
        }
        run = run->NextSibling;
        if (run->States.Contains(vsVisible)) return run;
    }
}

PVirtualNode TBaseVirtualTree::GetPreviousVisible(PVirtualNode Node) {
    if (!Node || Node == FRoot) return nullptr;
    if (!IsFullyVisible(Node)) {
        Node = HiddenSubtreeTop(Node);
        // A collapsed but visible top row is itself the row before everything hidden in it.
        if (Node->States.Contains(vsVisible)) return Node;
    }
    PVirtualNode sibling = GetPreviousVisibleSibling(Node);
    PVirtualNode result;
    if (sibling) {
        result = GetLastVisible(sibling);
        if (!result) result = sibling;
    } else {
        result = Node->Parent == FRoot ? nullptr : Node->Parent;
    }
    EnsureInitialized(result);
    return result;
}

PVirtualNode TBaseVirtualTree::GetPreviousVisibleNoInit(PVirtualNode Node) const {
    if (!Node || Node == FRoot) return nullptr;
    if (!IsFullyVisible(Node)) {
        Node = HiddenSubtreeTop(Node);
        if (Node->States.Contains(vsVisible)) return Node;
    }
    PVirtualNode sibling = GetPreviousVisibleSiblingNoInit(Node);
    if (sibling) {
        PVirtualNode result = GetLastVisibleNoInit(sibling);
        return result ? result : sibling;
    }
    return Node->Parent == FRoot ? nullptr : Node->Parent;
}

// ---- Queries -----------------------------------------------------------------------

uint32_t TBaseVirtualTree::GetNodeLevel(PVirtualNode Node) const {
    uint32_t level = 0;
    if (!Node || Node == FRoot) return 0;
    for (PVirtualNode run = Node->Parent; run != FRoot; run = run->Parent)
        ++level;
    return level;
}

bool TBaseVirtualTree::HasAsParent(PVirtualNode Node, PVirtualNode PotentialParent) const {
    if (!Node || !PotentialParent || Node == PotentialParent || Node == FRoot) return false;
    for (PVirtualNode run = Node->Parent;; run = run->Parent) {
        if (run == PotentialParent) return true;
        if (run == FRoot) return false;
    }
}

int TBaseVirtualTree::CompareNodePositions(PVirtualNode Node1, PVirtualNode Node2) const {
    // Nil stands for the root, which comes before every node.
    if (!Node1) Node1 = FRoot;
    if (!Node2) Node2 = FRoot;
    if (Node1 == Node2) return 0;
    if (HasAsParent(Node1, Node2)) return 1;
    if (HasAsParent(Node2, Node1)) return -1;
    uint32_t level1 = GetNodeLevel(Node1), level2 = GetNodeLevel(Node2);
    for (; level1 > level2; --level1)
        Node1 = Node1->Parent;
    for (; level2 > level1; --level2)
        Node2 = Node2->Parent;
    while (Node1->Parent != Node2->Parent) {
        Node1 = Node1->Parent;
        Node2 = Node2->Parent;
    }
    return int(int64_t(Node1->Index) - int64_t(Node2->Index));
}

bool TBaseVirtualTree::IsMouseSelecting() const {
    return FStates.Contains(tsDrawSelPending) || FStates.Contains(tsDrawSelecting);
}

bool TBaseVirtualTree::IsNodeVisible(PVirtualNode Node) {
    if (!Node) Node = FRoot;
    EnsureInitialized(Node);
    return Node->States.Contains(vsVisible);
}

PVirtualNode TBaseVirtualTree::GetTopNode() {
    int top;
    return GetNodeAt(0, 0, true, top);
}

PVirtualNode TBaseVirtualTree::GetNodeAt(int X, int Y) {
    int top;
    return GetNodeAt(X, Y, true, top);
}

PVirtualNode TBaseVirtualTree::GetNodeAt(int X, int Y, bool Relative, int& NodeTop) {
    (void)X;
    int64_t y = Relative ? int64_t(Y) - FOffsetY : int64_t(Y);
    if (y < 0) y = 0;
    PVirtualNode node;
    int64_t top;
    bool cached = EnsurePositionCache();
    if (cached) {
        uint32_t cachedTop;
        node = CacheEntryForPosition(uint32_t(std::min<int64_t>(y, UINT32_MAX)), cachedTop);
        top = cachedTop;
    } else {
        node = GetFirstVisibleNoInit();
        top = 0;
    }
    uint64_t steps = 0;
    PVirtualNode result = nullptr;
    while (node && !result) {
        ++steps;
        if (node->States.Contains(vsVisible)) {
            int64_t height = GetNodeHeight(node);
            if (y < top + int64_t(node->TotalHeight)) {
                if (y < top + height || !node->FirstChild || !node->States.Contains(vsExpanded)) {
                    NodeTop = int(top + (Relative ? FOffsetY : 0));
                    result = node;
                    break;
                }
                top += height;
                node = node->FirstChild;
                continue;
            }
            top += node->TotalHeight;
        }
        while (node && !node->NextSibling) {
            node = node->Parent;
            if (node == FRoot) node = nullptr;
        }
        if (node) node = node->NextSibling;
    }
    if (!cached) FWalkedSinceChange += steps;
    return result;
}

TNodeArray TBaseVirtualTree::GetSortedSelection(bool Resolve) {
    TNodeArray result;
    result.reserve(size_t(FSelectionCount));
    for (int i = 0; i < FSelectionCount; ++i)
        if (!IsMarked(FSelection[size_t(i)])) result.push_back(FSelection[size_t(i)]);
    std::sort(result.begin(), result.end(),
              [&](PVirtualNode a, PVirtualNode b) { return CompareNodePositions(a, b) < 0; });
    if (Resolve && !result.empty()) {
        // In tree order a node's topmost selected ancestor is the last node kept before it.
        size_t kept = 0;
        for (size_t i = 0; i < result.size(); ++i)
            if (kept == 0 || !HasAsParent(result[i], result[kept - 1])) result[kept++] = result[i];
        result.resize(kept);
    }
    return result;
}

TNodeArray TBaseVirtualTree::GetSortedCutCopySet(bool Resolve) {
    TNodeArray result;
    PVirtualNode run = GetFirstNoInit();
    while (run) {
        if (run->States.Contains(vsCutCopyMarked)) {
            result.push_back(run);
            if (Resolve) {
                run = NextAfterSubtree(run);
                continue;
            }
        }
        run = GetNextNoInit(run);
    }
    return result;
}

// ---- Selection -----------------------------------------------------------------------

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
    if (FindNodeInSelection(Node, index, -1, -1)) {
        FSelection.erase(FSelection.begin() + index);
        --FSelectionCount;
    }
    if (FSelectionCount == 0) ResetRangeAnchor();
    Change(Node);
}

void TBaseVirtualTree::InternalRemoveFromSelection(PVirtualNode Node) {
    int index;
    if (FindNodeInSelection(Node, index, -1, -1)) {
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
    FLastSelectionLevel = -1;
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

// ---- Focus -------------------------------------------------------------------------

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

// ---- Repaint --------------------------------------------------------------------------

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

// ---- Freeing ---------------------------------------------------------------------------

void TBaseVirtualTree::ForgetNode(PVirtualNode Node) {
    for (PVirtualNode* ref :
         {&FFocusedNode, &FRangeAnchor, &FCurrentHotNode, &FDropTargetNode, &FLastDropTarget, &FCheckNode,
          &FLastSearchNode, &FEditNode, &FLastChangedNode, &FLastStructureChangeNode})
        if (*ref == Node) *ref = nullptr;
    if (Node->States.Contains(vsSelected)) {
        InternalRemoveFromSelection(Node);
        if (FUpdateCount == 0) PackSelection();
    }
}

// ---- Dispatchers ------------------------------------------------------------------------

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
    ForgetNode(Node);
    if (OnFreeNode && (Node->States.Contains(vsInitDone) || Node->States.Contains(vsDataNeedsFree))) {
        try {
            OnFreeNode(this, Node);
        } catch (...) {
            FreeNodeBlock(Node);
            throw;
        }
    }
    FreeNodeBlock(Node);
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
