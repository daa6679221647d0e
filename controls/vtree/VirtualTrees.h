// The virtual tree: a node structure with a fixed-size data area per node,
// whose content the owner supplies through events. This unit is the model
// only; the widget hosts it later and is reached through IVTView. The class
// is declared here once; its members are defined in VirtualTrees*.cpp, one
// source per concern.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <type_traits>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/SysUtils.h"

class TCanvas; // painting layer; the model only passes it on
namespace VTPrivate {
class TNodeStore;
}

// A Pascal-style set over an enumeration, member n being bit n.
template <class E, class Storage = uint64_t> class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> Members) {
        for (E m : Members)
            FBits |= Bit(m);
    }
    static constexpr TSet FromBits(Storage Bits) {
        TSet s;
        s.FBits = Bits;
        return s;
    }
    constexpr Storage ToBits() const { return FBits; }
    constexpr bool Contains(E m) const { return (FBits & Bit(m)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr TSet& Include(E m) {
        FBits |= Bit(m);
        return *this;
    }
    constexpr TSet& Exclude(E m) {
        FBits &= Storage(~Bit(m));
        return *this;
    }
    constexpr TSet& operator+=(TSet o) {
        FBits |= o.FBits;
        return *this;
    }
    constexpr TSet& operator-=(TSet o) {
        FBits &= Storage(~o.FBits);
        return *this;
    }
    friend constexpr TSet operator+(TSet a, TSet b) { return a += b; }
    friend constexpr TSet operator-(TSet a, TSet b) { return a -= b; }
    friend constexpr TSet operator*(TSet a, TSet b) { return FromBits(Storage(a.FBits & b.FBits)); }
    friend constexpr bool operator==(TSet a, TSet b) { return a.FBits == b.FBits; }

private:
    static constexpr Storage Bit(E m) { return Storage(Storage(1) << unsigned(m)); }
    Storage FBits = 0;
};

// ---- Node states and the node record -------------------------------------

enum TVirtualNodeState {
    vsInitDone,
    vsCheckChanging,
    vsCutCopyMarked,
    vsDisabled,
    vsBeingDeleted,
    vsExpanded,
    vsHasChildren,
    vsVisible,
    vsSelected,
    vsDataNeedsFree,
    vsNoVisibleChild,
    vsClearingChildren,
    vsMultiline,
    vsHeightMeasured,
    vsInToggle,
};
using TVirtualNodeStates = TSet<TVirtualNodeState, uint16_t>;

enum TVirtualNodeInitState { ivsDisabled, ivsExpanded, ivsHasChildren, ivsMultiline, ivsSelected };
using TVirtualNodeInitStates = TSet<TVirtualNodeInitState, uint8_t>;

struct TVirtualNode;
using PVirtualNode = TVirtualNode*;
using TNodeArray = std::vector<PVirtualNode>;

struct TVirtualNode {
    uint32_t Index;
    uint32_t ChildCount;
    uint16_t NodeHeight;
    TVirtualNodeStates States;
    uint8_t Align;
    uint8_t CheckState;
    uint8_t CheckType;
    uint32_t TotalCount;
    uint32_t TotalHeight;
    PVirtualNode Parent; // for the hidden root: the owning tree, never dereferenced as a node
    PVirtualNode PrevSibling;
    PVirtualNode NextSibling;
    PVirtualNode FirstChild;
    PVirtualNode LastChild;
};
static_assert(std::is_trivially_copyable_v<TVirtualNode>);
static_assert(sizeof(TVirtualNode) <= 64, "a node record fills one cache line at most");

// ---- Tree states and option sets ------------------------------------------

enum TVirtualTreeState {
    tsCancelHintAnimation,
    tsChangePending,
    tsCheckPropagation,
    tsCollapsing,
    tsToggleFocusedSelection,
    tsClearPending,
    tsClipboardFlushing,
    tsCopyPending,
    tsCutPending,
    tsDrawSelPending,
    tsDrawSelecting,
    tsEditing,
    tsEditPending,
    tsExpanding,
    tsHint,
    tsInAnimation,
    tsIncrementalSearching,
    tsIncrementalSearchPending,
    tsIterating,
    tsKeyCheckPending,
    tsLeftButtonDown,
    tsLeftDblClick,
    tsMouseCheckPending,
    tsMiddleButtonDown,
    tsMiddleDblClick,
    tsNeedScale,
    tsNeedRootCountUpdate,
    tsOLEDragging,
    tsOLEDragPending,
    tsPainting,
    tsRightButtonDown,
    tsRightDblClick,
    tsPopupMenuShown,
    tsScrolling,
    tsScrollPending,
    tsSizing,
    tsStopValidation,
    tsStructureChangePending,
    tsSynchMode,
    tsThumbTracking,
    tsUpdateHiddenChildrenNeeded,
    tsUpdating,
    tsUseCache,
    tsUserDragObject,
    tsUseThemes,
    tsValidating,
    tsValidationNeeded,
    tsVCLDragging,
    tsVCLDragPending,
    tsWheelPanning,
    tsWheelScrolling,
    tsWindowCreating,
};
using TVirtualTreeStates = TSet<TVirtualTreeState>;

enum TVTPaintOption {
    toHideFocusRect,
    toHideSelection,
    toHotTrack,
    toPopupMode,
    toShowBackground,
    toShowButtons,
    toShowDropmark,
    toShowHorzGridLines,
    toShowRoot,
    toShowTreeLines,
    toShowVertGridLines,
    toThemeAware,
    toUseBlendedImages,
    toGhostedIfUnfocused,
    toFullVertGridLines,
    toAlwaysHideSelection,
    toUseBlendedSelection,
    toStaticBackground,
};
using TVTPaintOptions = TSet<TVTPaintOption, uint32_t>;

enum TVTAnimationOption { toAnimatedToggle };
using TVTAnimationOptions = TSet<TVTAnimationOption, uint8_t>;

enum TVTAutoOption {
    toAutoDropExpand,
    toAutoExpand,
    toAutoScroll,
    toAutoScrollOnExpand,
    toAutoSort,
    toAutoSpanColumns,
    toAutoTristateTracking,
    toAutoHideButtons,
    toAutoDeleteMovedNodes,
    toDisableAutoscrollOnFocus,
    toAutoChangeScale,
    toAutoFreeOnCollapse,
    toDisableAutoscrollOnEdit,
    toAutoBidiColumnOrdering,
};
using TVTAutoOptions = TSet<TVTAutoOption, uint16_t>;

enum TVTSelectionOption {
    toDisableDrawSelection,
    toExtendedFocus,
    toFullRowSelect,
    toLevelSelectConstraint,
    toMiddleClickSelect,
    toMultiSelect,
    toRightClickSelect,
    toSiblingSelectConstraint,
    toCenterScrollIntoView,
    toSimpleDrawSelection,
};
using TVTSelectionOptions = TSet<TVTSelectionOption, uint16_t>;

enum TVTMiscOption {
    toAcceptOLEDrop,
    toCheckSupport,
    toEditable,
    toFullRepaintOnResize,
    toGridExtensions,
    toInitOnSave,
    toReportMode,
    toToggleOnDblClick,
    toWheelPanning,
    toReadOnly,
    toVariableNodeHeight,
    toFullRowDrag,
};
using TVTMiscOptions = TSet<TVTMiscOption, uint16_t>;

// ---- Small vocabularies ----------------------------------------------------

using TColumnIndex = int32_t;
constexpr TColumnIndex NoColumn = -1;
constexpr TColumnIndex InvalidColumn = -2;

enum TVTNodeAttachMode { amNoWhere, amInsertBefore, amInsertAfter, amAddChildFirst, amAddChildLast };
enum TChangeReason {
    crIgnore,
    crAccumulated,
    crChildAdded,
    crChildDeleted,
    crNodeAdded,
    crNodeCopied,
    crNodeMoved
};
enum TVTUpdateState { usBegin, usBeginSynch, usSynch, usUpdate, usEnd, usEndSynch };
enum TSortDirection { sdAscending, sdDescending };
enum TVTNodeAlignment { naFromBottom, naFromTop, naProportional };

// Window timers of a tree.
constexpr unsigned ExpandTimer = 1, EditTimer = 2, HeaderTimer = 3, ScrollTimer = 4, ChangeTimer = 5,
                   StructureChangeTimer = 6, SearchTimer = 7;

// One position-cache entry per 2000 visible nodes.
constexpr uint32_t CacheThreshold = 2000;

// The default of DefaultNodeHeight, and what a height of 0 becomes.
constexpr uint32_t StandardNodeHeight = 18;
// NodeDataSize before the owner was asked for it (once, when the first node is made).
constexpr int UnsettledNodeDataSize = -1;

struct TCacheEntry {
    PVirtualNode Node;
    uint32_t AbsoluteTop;
};
using TCache = std::vector<TCacheEntry>;

// ---- Errors ----------------------------------------------------------------

class EVirtualTreeError : public Exception {
public:
    using Exception::Exception;
};

// Raises EVirtualTreeError with Code as its help context.
[[noreturn]] void RaiseTreeError(const AnsiString& Message, int Code);

inline constexpr const char* SEditLinkIsNil = "Edit link must not be nil.";
inline constexpr const char* SWrongMoveError = "Target node cannot be a child node of the node to be moved.";
inline constexpr const char* SWrongStreamFormat = "Unable to load tree structure, the format is wrong.";
inline constexpr const char* SWrongStreamVersion = "Unable to load tree structure, the version is unknown.";
inline constexpr const char* SStreamTooSmall = "Unable to load tree structure, not enough data available.";
inline constexpr const char* SCorruptStream1 = "Stream data corrupt. A node's anchor chunk is missing.";
inline constexpr const char* SCorruptStream2 =
    "Stream data corrupt. Unexpected data after node's end position.";
inline constexpr const char* SClipboardFailed = "Clipboard operation failed.";

// The codes raised with the messages above, in their order.
enum TVTErrorCode {
    ecEditLinkIsNil = 2000,
    ecWrongMove = 2001,
    ecWrongStreamFormat = 2002,
    ecWrongStreamVersion = 2003,
    ecStreamTooSmall = 2004,
    ecCorruptStream1 = 2005,
    ecCorruptStream2 = 2006,
    ecClipboardFailed = 2007,
};

// ---- The view the model talks to ---------------------------------------------

// What the model asks of the window that shows it. The tree works without a
// window: the default implementation does nothing and reports no window.
class IVTView {
public:
    virtual ~IVTView() = default;
    virtual bool HandleAllocated() const { return false; }
    virtual void Invalidate() {}
    virtual void InvalidateNode(PVirtualNode) {}
    virtual void InvalidateToBottom(PVirtualNode) {}
    virtual void RepaintNode(PVirtualNode) {}
    virtual void UpdateScrollBars(bool /*DoRepaint*/) {}
    virtual void ScrollIntoView(PVirtualNode, bool /*Center*/, bool /*Horizontally*/) {}
    // Makes Node the top row of the client area.
    virtual void SetTopNode(PVirtualNode) {}
    virtual void SetRedraw(bool) {}
    virtual void CancelHint() {}
    virtual void UpdateEditBounds() {}
    virtual void SetTimer(unsigned /*TimerID*/, unsigned /*Milliseconds*/) {}
    virtual void KillTimer(unsigned /*TimerID*/) {}
    virtual void AnimateToggle(PVirtualNode, bool /*Expanding*/) {}
    virtual void ThemeAwareChanged(bool /*ThemeAware*/) {}
    virtual void RecreateWindow() {}
    virtual void AcceptOLEDropChanged(bool /*Accept*/) {}
    virtual void NotifyAccessibleStateChange() {}
    virtual void NotifyAccessibleFocus() {}
    virtual int ClientHeight() const { return 0; }
};

class TBaseVirtualTree;

// ---- Option classes ----------------------------------------------------------

class TCustomVirtualTreeOptions : public TPersistent {
public:
    explicit TCustomVirtualTreeOptions(TBaseVirtualTree* AOwner);

    TBaseVirtualTree* Owner() const { return FOwner; }
    TVTPaintOptions PaintOptions() const { return FPaintOptions; }
    TVTAnimationOptions AnimationOptions() const { return FAnimationOptions; }
    TVTAutoOptions AutoOptions() const { return FAutoOptions; }
    TVTSelectionOptions SelectionOptions() const { return FSelectionOptions; }
    TVTMiscOptions MiscOptions() const { return FMiscOptions; }
    void SetPaintOptions(TVTPaintOptions Value);
    void SetAnimationOptions(TVTAnimationOptions Value);
    void SetAutoOptions(TVTAutoOptions Value);
    void SetSelectionOptions(TVTSelectionOptions Value);
    void SetMiscOptions(TVTMiscOptions Value);

protected:
    void AssignTo(TPersistent* Dest) override;

private:
    friend class TBaseVirtualTree;
    TBaseVirtualTree* FOwner;
    TVTPaintOptions FPaintOptions;
    TVTAnimationOptions FAnimationOptions;
    TVTAutoOptions FAutoOptions;
    TVTSelectionOptions FSelectionOptions;
    TVTMiscOptions FMiscOptions;
};

// ---- Events ------------------------------------------------------------------

using TVTChangeEvent = std::function<void(TBaseVirtualTree* Sender, PVirtualNode Node)>;
using TVTChangingEvent = std::function<void(TBaseVirtualTree* Sender, PVirtualNode Node, bool& Allowed)>;
using TVTCompareEvent = std::function<void(TBaseVirtualTree* Sender, PVirtualNode Node1, PVirtualNode Node2,
                                           TColumnIndex Column, int& Result)>;
using TVTDragAllowedEvent =
    std::function<void(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column, bool& Allowed)>;
using TVTFocusChangeEvent =
    std::function<void(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column)>;
using TVTFocusChangingEvent =
    std::function<void(TBaseVirtualTree* Sender, PVirtualNode OldNode, PVirtualNode NewNode,
                       TColumnIndex OldColumn, TColumnIndex NewColumn, bool& Allowed)>;
using TVTFreeNodeEvent = std::function<void(TBaseVirtualTree* Sender, PVirtualNode Node)>;
using TVTGetCellIsEmptyEvent =
    std::function<void(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column, bool& IsEmpty)>;
using TVTGetNodeDataSizeEvent = std::function<void(TBaseVirtualTree* Sender, int& NodeDataSize)>;
using TVTHotNodeChangeEvent =
    std::function<void(TBaseVirtualTree* Sender, PVirtualNode OldNode, PVirtualNode NewNode)>;
using TVTIncrementalSearchEvent = std::function<void(TBaseVirtualTree* Sender, PVirtualNode Node,
                                                     const WideString& SearchText, int& Result)>;
using TVTInitChildrenEvent =
    std::function<void(TBaseVirtualTree* Sender, PVirtualNode Node, uint32_t& ChildCount)>;
using TVTInitNodeEvent = std::function<void(TBaseVirtualTree* Sender, PVirtualNode ParentNode,
                                            PVirtualNode Node, TVirtualNodeInitStates& InitialStates)>;
using TVTMeasureItemEvent =
    std::function<void(TBaseVirtualTree* Sender, TCanvas* TargetCanvas, PVirtualNode Node, int& NodeHeight)>;
using TVTNodeCopiedEvent = std::function<void(TBaseVirtualTree* Sender, PVirtualNode Node)>;
using TVTNodeCopyingEvent =
    std::function<void(TBaseVirtualTree* Sender, PVirtualNode Node, PVirtualNode Target, bool& Allowed)>;
using TVTNodeMovedEvent = TVTNodeCopiedEvent;
using TVTNodeMovingEvent = TVTNodeCopyingEvent;
using TVTScrollEvent = std::function<void(TBaseVirtualTree* Sender, int DeltaX, int DeltaY)>;
using TVTStateChangeEvent =
    std::function<void(TBaseVirtualTree* Sender, TVirtualTreeStates Enter, TVirtualTreeStates Leave)>;
using TVTStructureChangeEvent =
    std::function<void(TBaseVirtualTree* Sender, PVirtualNode Node, TChangeReason Reason)>;
using TVTUpdatingEvent = std::function<void(TBaseVirtualTree* Sender, TVTUpdateState State)>;

// Drops the entries of TheArray[0, Count) that carry the removal mark (lowest
// address bit), keeping the order. Returns the number kept, -1 for Count 0.
int PackNodeArray(TNodeArray& TheArray, int Count);

// The tree that holds Node; nil for nil.
TBaseVirtualTree* OwnerTreeOfNode(PVirtualNode Node);

// ---- The tree ----------------------------------------------------------------

class TBaseVirtualTree : public TComponent {
public:
    explicit TBaseVirtualTree(TComponent* AOwner);
    ~TBaseVirtualTree() override;

    // Copies the settings of another tree (not its nodes); anything else, or a
    // read-only target, raises EConvertError.
    void Assign(TPersistent* Source) override;

    // The window that shows the tree; nil detaches it.
    void SetView(IVTView* View);
    IVTView* View() const { return FView; }

    // Properties.
    uint32_t AnimationDuration() const { return FAnimationDuration; }
    void SetAnimationDuration(uint32_t Value);
    uint32_t AutoExpandDelay = 1000;
    uint32_t AutoScrollDelay = 1000;
    uint32_t AutoScrollInterval = 1;
    int BackgroundOffsetX = 0;
    int BackgroundOffsetY = 0;
    uint32_t BottomSpace = 0;
    uint32_t ChangeDelay = 0;
    uint32_t DefaultNodeHeight() const { return FDefaultNodeHeight; }
    void SetDefaultNodeHeight(uint32_t Value);
    TVTNodeAttachMode DefaultPasteMode = amAddChildLast;
    int DragHeight = 350;
    int DragWidth = 200;
    uint32_t EditDelay = 1000;
    int HotCursor = 0;
    uint32_t IncrementalSearchTimeout = 1000;
    uint32_t Indent() const { return FIndent; }
    void SetIndent(uint32_t Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int TextMargin() const { return FTextMargin; }
    void SetTextMargin(int Value);
    TVTNodeAlignment NodeAlignment() const { return FNodeAlignment; }
    void SetNodeAlignment(TVTNodeAlignment Value);
    int NodeDataSize() const { return FNodeDataSize; }
    void SetNodeDataSize(int Value);
    uint32_t GetRootNodeCount() const { return FRoot->ChildCount; }
    void SetRootNodeCount(uint32_t Value);
    uint8_t SelectionBlendFactor = 128;
    uint32_t SelectionCurveRadius() const { return FSelectionCurveRadius; }
    void SetSelectionCurveRadius(uint32_t Value);
    bool WantTabs = false;
    TCustomVirtualTreeOptions* TreeOptions() const { return FOptions.get(); }
    void SetTreeOptions(TCustomVirtualTreeOptions* Value);

    // Run-time state.
    TVirtualTreeStates TreeStates() const { return FStates; }
    uint32_t UpdateCount() const { return FUpdateCount; }
    uint32_t VisibleCount() const { return FVisibleCount; }
    PVirtualNode RootNode() const { return FRoot; }
    PVirtualNode FocusedNode() const { return FFocusedNode; }
    void SetFocusedNode(PVirtualNode Value);
    TColumnIndex FocusedColumn() const { return FFocusedColumn; }
    int SelectedCount() const { return FSelectionCount; }
    bool Selected(PVirtualNode Node) const { return Node && Node->States.Contains(vsSelected); }
    void SetSelected(PVirtualNode Node, bool Value);
    int OffsetY() const { return FOffsetY; }
    int TotalInternalDataSize() const { return FTotalInternalDataSize; }

    // Node data: NodeDataSize zero-filled bytes owned by the owner; nil for nil,
    // the hidden root or a size of 0. An owner that keeps C++ objects there
    // constructs them in OnInitNode and destroys them in OnFreeNode. The area
    // is aligned for any type whose size is NodeDataSize.
    // Inline: an owner's comparison reads it twice for every pair it sorts.
    void* GetNodeData(PVirtualNode Node) const {
        if (FNodeDataSize <= 0 || !Node || Node == FRoot) return nullptr;
        return reinterpret_cast<char*>(Node) + UserDataOffset();
    }
    template <class T> T* GetNodeData(PVirtualNode Node) const { return static_cast<T*>(GetNodeData(Node)); }

    // Structure.
    virtual void Clear();
    void DeleteChildren(PVirtualNode Node, bool ResetHasChildren = false);
    void DeleteNode(PVirtualNode Node, bool Reindex = true);
    virtual void DeleteSelectedNodes();
    void MoveTo(PVirtualNode Source, PVirtualNode Target, TVTNodeAttachMode Mode, bool ChildrenOnly);
    void SetChildCount(PVirtualNode Node, uint32_t NewCount);
    uint32_t GetTotalCount();

    // Initialisation, expanding and heights.
    virtual void ReinitChildren(PVirtualNode Node, bool Recursive);
    virtual void ReinitNode(PVirtualNode Node, bool Recursive);
    virtual void ResetNode(PVirtualNode Node);
    void ValidateChildren(PVirtualNode Node, bool Recursive);
    void ValidateNode(PVirtualNode Node, bool Recursive);
    void ToggleNode(PVirtualNode Node);
    virtual void FullExpand(PVirtualNode Node = nullptr);
    virtual void FullCollapse(PVirtualNode Node = nullptr);
    uint32_t GetNodeHeight(PVirtualNode Node);
    void SetNodeHeight(PVirtualNode Node, uint32_t Value);

    // Update blocks.
    void BeginUpdate();
    void EndUpdate();

    // Sorting.
    virtual void Sort(PVirtualNode Node, TColumnIndex Column, TSortDirection Direction, bool DoInit = true);
    void SortTree(TColumnIndex Column, TSortDirection Direction, bool DoInit = true);

    // Iteration.
    PVirtualNode GetFirst();
    PVirtualNode GetFirstNoInit() const;
    PVirtualNode GetFirstInitialized() const;
    PVirtualNode GetNextInitialized(PVirtualNode Node) const;
    PVirtualNode GetFirstSelected();
    PVirtualNode GetNextSelected(PVirtualNode Node);
    PVirtualNode GetFirstCutCopy();
    PVirtualNode GetNextCutCopy(PVirtualNode Node);
    PVirtualNode GetFirstVisible();
    PVirtualNode GetFirstVisibleNoInit() const;
    PVirtualNode GetFirstChild(PVirtualNode Node);
    PVirtualNode GetLastChild(PVirtualNode Node);
    PVirtualNode GetLastChildNoInit(PVirtualNode Node) const;
    PVirtualNode GetFirstVisibleChild(PVirtualNode Node);
    PVirtualNode GetLastVisibleChild(PVirtualNode Node);
    PVirtualNode GetLastVisibleChildNoInit(PVirtualNode Node) const;
    PVirtualNode GetLast(PVirtualNode Node = nullptr);
    PVirtualNode GetLastNoInit(PVirtualNode Node = nullptr) const;
    PVirtualNode GetLastVisible(PVirtualNode Node = nullptr);
    PVirtualNode GetLastVisibleNoInit(PVirtualNode Node = nullptr) const;
    PVirtualNode GetNext(PVirtualNode Node);
    PVirtualNode GetNextNoInit(PVirtualNode Node) const;
    PVirtualNode GetPrevious(PVirtualNode Node);
    PVirtualNode GetPreviousNoInit(PVirtualNode Node) const;
    PVirtualNode GetNextSibling(PVirtualNode Node);
    PVirtualNode GetPreviousSibling(PVirtualNode Node);
    PVirtualNode GetNextVisibleSibling(PVirtualNode Node);
    PVirtualNode GetNextVisibleSiblingNoInit(PVirtualNode Node) const;
    PVirtualNode GetPreviousVisibleSibling(PVirtualNode Node);
    PVirtualNode GetPreviousVisibleSiblingNoInit(PVirtualNode Node) const;
    PVirtualNode GetNextVisible(PVirtualNode Node);
    PVirtualNode GetNextVisibleNoInit(PVirtualNode Node) const;
    PVirtualNode GetPreviousVisible(PVirtualNode Node);
    PVirtualNode GetPreviousVisibleNoInit(PVirtualNode Node) const;
    PVirtualNode GetVisibleParent(PVirtualNode Node) const;

    // Queries.
    uint32_t GetNodeLevel(PVirtualNode Node) const;
    bool HasAsParent(PVirtualNode Node, PVirtualNode PotentialParent) const;
    int CompareNodePositions(PVirtualNode Node1, PVirtualNode Node2) const;
    bool IsMouseSelecting() const;
    bool IsNodeVisible(PVirtualNode Node);
    PVirtualNode GetTopNode();
    PVirtualNode GetNodeAt(int X, int Y);
    PVirtualNode GetNodeAt(int X, int Y, bool Relative, int& NodeTop);
    TNodeArray GetSortedSelection(bool Resolve);
    TNodeArray GetSortedCutCopySet(bool Resolve);

    // Selection.
    void ClearSelection();

    // Repaint.
    virtual void InvalidateNode(PVirtualNode Node);
    void InvalidateToBottom(PVirtualNode Node);
    void RepaintNode(PVirtualNode Node);

    // Position cache.
    void InvalidateCache();
    virtual void ValidateCache();

    // The widget forwards its timers here.
    void WMTimer(unsigned TimerID);
    // The end of loading from a form file.
    virtual void Loaded();

    // Events.
    TVTChangeEvent OnChange;
    TVTChangeEvent OnCollapsed;
    TVTChangingEvent OnCollapsing;
    TVTCompareEvent OnCompareNodes;
    TVTDragAllowedEvent OnDragAllowed;
    TVTChangeEvent OnExpanded;
    TVTChangingEvent OnExpanding;
    TVTFocusChangeEvent OnFocusChanged;
    TVTFocusChangingEvent OnFocusChanging;
    TVTFreeNodeEvent OnFreeNode;
    TVTGetCellIsEmptyEvent OnGetCellIsEmpty;
    TVTGetNodeDataSizeEvent OnGetNodeDataSize;
    TVTHotNodeChangeEvent OnHotChange;
    TVTIncrementalSearchEvent OnIncrementalSearch;
    TVTInitChildrenEvent OnInitChildren;
    TVTInitNodeEvent OnInitNode;
    TVTMeasureItemEvent OnMeasureItem;
    TVTNodeCopiedEvent OnNodeCopied;
    TVTNodeCopyingEvent OnNodeCopying;
    TVTNodeMovedEvent OnNodeMoved;
    TVTNodeMovingEvent OnNodeMoving;
    TVTChangeEvent OnResetNode;
    TVTScrollEvent OnScroll;
    TVTStateChangeEvent OnStateChange;
    TVTStructureChangeEvent OnStructureChange;
    TVTUpdatingEvent OnUpdating;

protected:
    // Node record and data areas. A node lives in a slot of the tree's own
    // blocks; Clear frees every slot, linked or not.
    PVirtualNode AllocateNode();
    virtual int AllocateInternalDataArea(int Size);
    void InitRootNode(int OldSize);
    size_t UserDataOffset() const {
        // The owner's area starts aligned for any type it may keep there.
        constexpr size_t a = alignof(std::max_align_t);
        return (sizeof(TVirtualNode) + size_t(FTotalInternalDataSize) + a - 1) / a * a;
    }

    // Counts.
    void AdjustTotalCount(PVirtualNode Node, int64_t Value, bool Relative = false);
    void AdjustTotalHeight(PVirtualNode Node, int64_t Value, bool Relative = false);
    void FixupTotalCount(PVirtualNode Node);
    void FixupTotalHeight(PVirtualNode Node);
    virtual uint32_t CountVisibleChildren(PVirtualNode Node) const;
    virtual int CountLevelDifference(PVirtualNode Node1, PVirtualNode Node2) const;
    bool IsFullyVisible(PVirtualNode Node) const;
    bool HasVisiblePath(PVirtualNode Node) const;

    // Linking.
    virtual void InternalConnectNode(PVirtualNode Node, PVirtualNode Destination, TVTNodeAttachMode Mode,
                                     TBaseVirtualTree* Target);
    virtual PVirtualNode InternalDisconnectNode(PVirtualNode Node, bool KeepFocus, bool Reindex = true);

    // Initialisation.
    virtual void InitNode(PVirtualNode Node);
    // InitNode for a node that has not had it; nil passes.
    void EnsureInitialized(PVirtualNode Node);
    virtual void InitChildren(PVirtualNode Node);
    void MeasureItemHeight(TCanvas* Canvas, PVirtualNode Node);
    virtual void DetermineHiddenChildrenFlag(PVirtualNode Node);
    virtual void DetermineHiddenChildrenFlagAllNodes();

    // Change notification.
    virtual void AdviseChangeEvent(bool StructureChange, PVirtualNode Node, TChangeReason Reason);
    virtual void Change(PVirtualNode Node);
    virtual void StructureChange(PVirtualNode Node, TChangeReason Reason);

    // Position cache.
    virtual bool DoValidateCache();
    void InterruptValidation();
    uint32_t GetCacheEntryCount() const;
    PVirtualNode CacheEntryForPosition(uint32_t Position, uint32_t& Top) const;
    PVirtualNode CacheEntryForNode(PVirtualNode Node, uint32_t& Top) const;
    // Builds the cache when it is due (or at once with Force); true when it
    // may be used.
    bool EnsurePositionCache(bool Force = false);

    // Selection.
    virtual void AddToSelection(PVirtualNode Node);
    virtual void AddNodesToSelection(TNodeArray& NewItems, int NewLength, bool ForceInsert);
    virtual bool FindNodeInSelection(PVirtualNode Node, int& Index, int LowBound, int HighBound) const;
    bool InternalAddToSelection(PVirtualNode Node, bool ForceInsert);
    bool InternalAddToSelection(TNodeArray& NewItems, int NewLength, bool ForceInsert);
    virtual void InternalClearSelection();
    virtual void InternalRemoveFromSelection(PVirtualNode Node);
    virtual void RemoveFromSelection(PVirtualNode Node);
    virtual void ResetRangeAnchor();
    void PackSelection();

    // Focus.
    virtual void DoFocusNode(PVirtualNode Node, bool Ask);
    virtual TColumnIndex GetMainColumn() const { return NoColumn; }
    // The header's sort settings, used with toAutoSort.
    virtual TColumnIndex GetSortColumn() const { return NoColumn; }
    virtual TSortDirection GetSortDirection() const { return sdAscending; }

    // Event dispatchers.
    virtual void DoChange(PVirtualNode Node);
    virtual void DoCollapsed(PVirtualNode Node);
    virtual bool DoCollapsing(PVirtualNode Node);
    virtual int DoCompare(PVirtualNode Node1, PVirtualNode Node2, TColumnIndex Column);
    virtual bool DoDragAllowed(PVirtualNode Node, TColumnIndex Column);
    virtual void DoExpanded(PVirtualNode Node);
    virtual bool DoExpanding(PVirtualNode Node);
    virtual void DoFocusChange(PVirtualNode Node, TColumnIndex Column);
    virtual bool DoFocusChanging(PVirtualNode OldNode, PVirtualNode NewNode, TColumnIndex OldColumn,
                                 TColumnIndex NewColumn);
    virtual void DoFreeNode(PVirtualNode Node);
    // True when freed nodes must reach DoFreeNode: OnFreeNode is assigned. A
    // descendant that overrides DoFreeNode answers true as well; otherwise
    // nodes are dropped with their blocks, unvisited.
    virtual bool HandlesFreeNode() const { return bool(OnFreeNode); }
    virtual void DoGetNodeDataSize(int& Size);
    virtual int DoGetNodeWidth(PVirtualNode Node, TColumnIndex Column, TCanvas* Canvas);
    virtual void DoHotChange(PVirtualNode Old, PVirtualNode New);
    virtual int DoIncrementalSearch(PVirtualNode Node, const WideString& Text);
    virtual void DoInitChildren(PVirtualNode Node, uint32_t& ChildCount);
    virtual void DoInitNode(PVirtualNode Parent, PVirtualNode Node, TVirtualNodeInitStates& InitStates);
    virtual void DoMeasureItem(TCanvas* Canvas, PVirtualNode Node, int& NodeHeight);
    virtual void DoNodeCopied(PVirtualNode Node);
    virtual bool DoNodeCopying(PVirtualNode Node, PVirtualNode NewParent);
    virtual void DoNodeMoved(PVirtualNode Node);
    virtual bool DoNodeMoving(PVirtualNode Node, PVirtualNode NewParent);
    virtual void DoReset(PVirtualNode Node);
    virtual void DoScroll(int DeltaX, int DeltaY);
    virtual void DoStateChange(TVirtualTreeStates Enter, TVirtualTreeStates Leave = {});
    virtual void DoStructureChange(PVirtualNode Node, TChangeReason Reason);
    virtual void DoUpdating(TVTUpdateState State);
    virtual bool ColumnIsEmpty(PVirtualNode Node, TColumnIndex Column);

    virtual void UpdateDesigner() {}
    bool IsLoading() const { return ComponentState() & csLoading; }
    bool HandleAllocated() const { return FView->HandleAllocated(); }
    bool ReadOnly() const { return FOptions->MiscOptions().Contains(toReadOnly); }
    // Forgets every remembered reference to Node before it is freed.
    virtual void ForgetNode(PVirtualNode Node);
    // Lowers a bare update counter raised without BeginUpdate.
    void EndBareUpdate();

    // FLastSelectionLevel while no level constrains the selection.
    static constexpr int NoSelectionLevel = -1;

    // Fields later parts share.
    PVirtualNode FRoot = nullptr;
    TVirtualTreeStates FStates;
    uint32_t FUpdateCount = 0;
    uint32_t FVisibleCount = 0;
    PVirtualNode FFocusedNode = nullptr;
    TColumnIndex FFocusedColumn = NoColumn;
    PVirtualNode FRangeAnchor = nullptr;
    int FLastSelectionLevel = NoSelectionLevel;
    TNodeArray FSelection;
    int FSelectionCount = 0;
    TNodeArray FTempNodeCache;
    int FTempNodeCount = 0;
    TNodeArray FSingletonNodeArray;
    PVirtualNode FLastChangedNode = nullptr;
    PVirtualNode FLastStructureChangeNode = nullptr;
    TChangeReason FLastStructureChangeReason = crIgnore;
    TCache FPositionCache;
    PVirtualNode FCurrentHotNode = nullptr;
    PVirtualNode FDropTargetNode = nullptr;
    PVirtualNode FLastDropTarget = nullptr;
    PVirtualNode FCheckNode = nullptr;
    PVirtualNode FLastSearchNode = nullptr;
    PVirtualNode FEditNode = nullptr;
    int FOffsetX = 0;
    int FOffsetY = 0;

private:
    friend class TCustomVirtualTreeOptions;
    friend class TVirtualTreeChecker;
    void SetStatesDirect(TVirtualTreeStates Enter, TVirtualTreeStates Leave);
    void SortSubtree(PVirtualNode Node, TColumnIndex Column, TSortDirection Direction, bool DoInit);
    int AddToSelectionCounted(TNodeArray& NewItems, int NewLength, bool ForceInsert);
    void InvalidateView();
    // Runs Step with the read-only option lifted; the option comes back after.
    void WithoutReadOnly(const std::function<void()>& Step);
    void DeleteAllNodes();
    // Forgets Node, lets the owner free its data and gives its slot back.
    void FreeNode(PVirtualNode Node);
    // Frees every node below Node; the links and counts are the caller's.
    void FreeChildren(PVirtualNode Node);
    // Every member that remembers a node, which ForgetNode and Clear clear; a
    // new one belongs here.
    static const std::vector<PVirtualNode TBaseVirtualTree::*>& RememberedNodes();
    PVirtualNode NextAfterSubtree(PVirtualNode Node) const;
    PVirtualNode HiddenSubtreeTop(PVirtualNode Node) const;

    IVTView* FView;
    std::unique_ptr<TCustomVirtualTreeOptions> FOptions;
    std::unique_ptr<VTPrivate::TNodeStore> FNodeStore;
    int FNodeDataSize = UnsettledNodeDataSize;
    int FTotalInternalDataSize = 0;
    uint32_t FDefaultNodeHeight = StandardNodeHeight;
    uint32_t FAnimationDuration = 200;
    uint32_t FIndent = 18;
    int FMargin = 4;
    int FTextMargin = 4;
    TVTNodeAlignment FNodeAlignment = naProportional;
    uint32_t FSelectionCurveRadius = 0;
    uint64_t FCacheGeneration = 0;
    // The node whose children the last Sort ordered and found without
    // children of their own, so that SortTree need not walk them again.
    PVirtualNode FChildlessSorted = nullptr;
    uint64_t FWalkedSinceChange = 0;
};
