// The tree's construction and destruction, its properties and option sets,
// and the raising of its errors.
#include "controls/vtree/VirtualTrees.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "controls/vtree/VirtualTreesHintWindow.h"
#include "controls/vtree/VirtualTreesStore_p.h"
#include "controls/vtree/VirtualTrees_p.h"
#include "platform/rtl/ScopeGuard.h"

using VTPrivate::MaxNodeHeight;
using VTPrivate::NoView;

namespace {

constexpr TVTPaintOptions DefaultPaintOptions{toShowButtons,   toShowDropmark, toShowRoot,
                                              toShowTreeLines, toThemeAware,   toUseBlendedImages};
constexpr TVTAutoOptions DefaultAutoOptions{toAutoDropExpand, toAutoScrollOnExpand, toAutoTristateTracking,
                                            toAutoDeleteMovedNodes};
constexpr TVTMiscOptions DefaultMiscOptions{toAcceptOLEDrop, toFullRepaintOnResize, toInitOnSave,
                                            toToggleOnDblClick, toWheelPanning};

} // namespace

void RaiseTreeError(const AnsiString& Message, int Code) {
    EVirtualTreeError e(Message);
    e.HelpContext = Code;
    throw e;
}

// ---- Options -----------------------------------------------------------------------------

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

// ---- Construction ------------------------------------------------------------------------

TBaseVirtualTree::TBaseVirtualTree(TComponent* AOwner)
    : TCustomControl(AOwner), FView(&NoView), FNodeStore(std::make_unique<VTPrivate::TNodeStore>()) {
    FWindowView = CreateTreeWindowView(this);
    FView = FWindowView.get();
    SetControlStyle(ControlStyle() | csOpaque);
    SetTabStop(true);
    FSingletonNodeArray.resize(1);
    FOptions = std::make_unique<TCustomVirtualTreeOptions>(this);
    CreateParts();
    InitRootNode(0);
}

TBaseVirtualTree::~TBaseVirtualTree() {
    Destroying();
    if (FStates.Contains(tsInAnimation)) NoteTreeGoneWhileAnimating();
    ShutDownDataTransfer();
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
    // What a failed Clear left goes with its blocks, without events.
    FNodeStore->ReleaseAll();
    std::free(FRoot);
    FRoot = nullptr;
}

void TBaseVirtualTree::SetOptionsObject(std::unique_ptr<TCustomVirtualTreeOptions> Options) {
    Options->FPaintOptions = FOptions->FPaintOptions;
    Options->FAnimationOptions = FOptions->FAnimationOptions;
    Options->FAutoOptions = FOptions->FAutoOptions;
    Options->FSelectionOptions = FOptions->FSelectionOptions;
    Options->FMiscOptions = FOptions->FMiscOptions;
    FOptions = std::move(Options);
}

void TBaseVirtualTree::SetView(IVTView* View) {
    FView = View ? View : FWindowView.get();
}

void TBaseVirtualTree::WithoutReadOnly(const std::function<void()>& Step) {
    const TVTMiscOptions misc = FOptions->FMiscOptions;
    FOptions->FMiscOptions.Exclude(toReadOnly);
    TScopeGuard restore([&] { FOptions->FMiscOptions = misc; });
    Step();
}

// ---- Properties --------------------------------------------------------------------------

void TBaseVirtualTree::SetNodeDataSize(int Value) {
    Value = std::max(Value, UnsettledNodeDataSize);
    if (Value == FNodeDataSize) return;
    FNodeDataSize = Value;
    if (IsLoading() || (ComponentState() & csDesigning)) return;
    uint32_t count = FRoot->ChildCount;
    // The old blocks have the old size, so they go even on a read-only tree.
    WithoutReadOnly([&] {
        // The top level comes back also when a free handler fails.
        TScopeGuard rebuild([&] { SetRootNodeCount(count); });
        Clear();
    });
}

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
    if (Value == 0) Value = StandardNodeHeight;
    Value = std::min(Value, MaxNodeHeight);
    if (Value == FDefaultNodeHeight) return;
    DoStateChange({tsNeedScale});
    int64_t delta = int64_t(Value) - int64_t(FDefaultNodeHeight);
    FRoot->TotalHeight = uint64_t(int64_t(FRoot->TotalHeight) + delta);
    FRoot->NodeHeight = uint16_t(int64_t(FRoot->NodeHeight) + delta);
    FDefaultNodeHeight = Value;
    InvalidateCache();
    if (FUpdateCount == 0 && HandleAllocated() && !IsLoading()) {
        ValidateCache();
        UpdateScrollBars(true);
        if (FFocusedNode)
            ScrollIntoView(FFocusedNode, FOptions->SelectionOptions().Contains(toCenterScrollIntoView), true);
        FView->Invalidate();
    }
}

void TBaseVirtualTree::SetIndent(uint32_t Value) {
    if (Value == FIndent) return;
    FIndent = Value;
    if (!IsLoading() && FUpdateCount == 0 && HandleAllocated()) {
        UpdateScrollBars(true);
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
    TScopeGuard end([&] { EndUpdate(); });
    InterruptValidation();
    SetChildCount(FRoot, Value);
}

void TBaseVirtualTree::Loaded() {
    if (FStates.Contains(tsNeedRootCountUpdate) && FRoot->ChildCount != 0) {
        DoStateChange({}, {tsNeedRootCountUpdate});
        WithoutReadOnly([&] {
            uint32_t count = FRoot->ChildCount;
            FRoot->ChildCount = 0;
            BeginUpdate();
            TScopeGuard end([&] { EndUpdate(); });
            SetChildCount(FRoot, count);
        });
    }
    // The columns' loaded positions become the position map.
    FHeader->ClampMainColumn();
    TVirtualTreeColumns* columns = FHeader->Columns();
    columns->ApplyLoadedPositions();
    if (FOptions->AutoOptions().Contains(toAutoBidiColumnOrdering))
        columns->ResetOrder(UseRightToLeftAlignment());
    FHeader->RecomputeHeaderFrame();
    if (FHeader->Options().Contains(hoAutoResize)) columns->FitAutoSizeColumn(true);
}

// ---- Properties of columns, colours and images ------------------------------------------

void TBaseVirtualTree::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    if (!IsLoading()) InvalidateView();
}

void TBaseVirtualTree::SetBiDiMode(TBiDiMode Value) {
    if (Value == FBiDiMode) return;
    FBiDiMode = Value;
    TVirtualTreeColumns* columns = FHeader->Columns();
    for (int i = 0; i < columns->Count(); ++i)
        columns->GetItem(i)->SyncBiDiModeFromTree();
    if (FOptions->AutoOptions().Contains(toAutoBidiColumnOrdering))
        columns->ResetOrder(UseRightToLeftAlignment());
    InvalidateView();
}

void TBaseVirtualTree::SetBorderStyle(TBorderStyle Value) {
    if (Value == FBorderStyle) return;
    FBorderStyle = Value;
    FView->RecreateWindow();
}

void TBaseVirtualTree::SetBorderWidth(int Value) {
    Value = std::max(Value, 0);
    if (Value == FBorderWidth) return;
    FBorderWidth = Value;
    FView->RedrawFrame();
}

void TBaseVirtualTree::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    TVirtualTreeColumns* columns = FHeader->Columns();
    for (int i = 0; i < columns->Count(); ++i)
        columns->GetItem(i)->SyncColorFromTree();
    InvalidateView();
}

void TBaseVirtualTree::SetImages(TCustomImageList* Value) {
    if (Value == FImages) return;
    FImages = Value;
    if (!IsLoading()) InvalidateView();
}

void TBaseVirtualTree::SetStateImages(TCustomImageList* Value) {
    if (Value == FStateImages) return;
    FStateImages = Value;
    if (HandleAllocated() && !IsLoading()) InvalidateView();
}
