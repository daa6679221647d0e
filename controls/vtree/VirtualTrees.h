// The virtual tree: a node structure with a fixed-size data area per node,
// whose content the owner supplies through events. This unit is the model
// only; the widget hosts it later and is reached through IVTView. The class
// is declared here once; its members are defined in VirtualTrees*.cpp, one
// source per concern.
#pragma once

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <type_traits>
#include <vector>

#include "platform/gui/Controls.h"
#include "platform/gui/DataObject.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Collections.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringLists.h"
#include "platform/rtl/SysUtils.h"

class TCanvas; // painting layer; the model only passes it on
class TCustomImageList;
class TPopupMenu;
namespace VTPrivate {
class TNodeStore;
}
struct TVTStreamImage;

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

// A node's total height: 48 bits in three 16-bit words, so that it fits
// beside the small fields and the record stays one cache line. 65535 pixels
// times the 2^32 - 1 nodes a tree can count still fit.
class TNodeTotalHeight {
public:
    TNodeTotalHeight() = default;
    constexpr TNodeTotalHeight(uint64_t Value)
        : FWords{uint16_t(Value), uint16_t(Value >> 16), uint16_t(Value >> 32)} {}
    constexpr operator uint64_t() const {
        return uint64_t(FWords[0]) | uint64_t(FWords[1]) << 16 | uint64_t(FWords[2]) << 32;
    }
    constexpr TNodeTotalHeight& operator+=(uint64_t Value) { return *this = uint64_t(*this) + Value; }
    constexpr TNodeTotalHeight& operator-=(uint64_t Value) { return *this = uint64_t(*this) - Value; }

private:
    uint16_t FWords[3];
};
static_assert(sizeof(TNodeTotalHeight) == 6 && alignof(TNodeTotalHeight) == 2);

struct TVirtualNode {
    uint32_t Index;
    uint32_t ChildCount;
    uint16_t NodeHeight;
    TVirtualNodeStates States;
    uint8_t Align;
    uint8_t CheckState : 4; // a TCheckState
    uint8_t CheckType : 4;  // a TCheckType
    TNodeTotalHeight TotalHeight;
    uint32_t TotalCount;
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

// Window timers of a tree; the last one times the steps of an animation.
constexpr unsigned ExpandTimer = 1, EditTimer = 2, HeaderTimer = 3, ScrollTimer = 4, ChangeTimer = 5,
                   StructureChangeTimer = 6, SearchTimer = 7, AnimationTimer = 8;

// One position-cache entry per 2000 visible nodes.
constexpr uint32_t CacheThreshold = 2000;

// The default of DefaultNodeHeight, and what a height of 0 becomes.
constexpr uint32_t StandardNodeHeight = 18;
// NodeDataSize before the owner was asked for it (once, when the first node is made).
constexpr int UnsettledNodeDataSize = -1;

struct TCacheEntry {
    PVirtualNode Node;
    uint64_t AbsoluteTop;
};
using TCache = std::vector<TCacheEntry>;

// ---- Columns, header, hit testing, checks, search and scrolling: vocabularies -----------

using TColumnPosition = uint32_t;

enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

enum TVTColumnOption {
    coAllowClick,
    coDraggable,
    coEnabled,
    coParentBidiMode,
    coParentColor,
    coResizable,
    coShowDropMark,
    coVisible,
    coAutoSpring,
    coFixed,
};
using TVTColumnOptions = TSet<TVTColumnOption, uint16_t>;
constexpr TVTColumnOptions DefaultColumnOptions{coAllowClick,  coDraggable, coEnabled,      coParentBidiMode,
                                                coParentColor, coResizable, coShowDropMark, coVisible};

enum TVirtualTreeColumnStyle { vsText, vsOwnerDraw };
enum TVTHeaderColumnLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

enum TVTHeaderOption {
    hoAutoResize,
    hoColumnResize,
    hoDblClickResize,
    hoDrag,
    hoHotTrack,
    hoOwnerDraw,
    hoRestrictDrag,
    hoShowHint,
    hoShowImages,
    hoShowSortGlyphs,
    hoVisible,
    hoAutoSpring,
};
using TVTHeaderOptions = TSet<TVTHeaderOption, uint16_t>;
enum TVTHeaderStyle { hsThickButtons, hsFlatButtons, hsPlates, hsXPStyle };
enum THeaderState { hsAutoSizing, hsDragging, hsDragPending, hsLoading, hsTracking, hsTrackPending };
using THeaderStates = TSet<THeaderState, uint8_t>;

// The cursor the header shows over a column edge.
constexpr TCursor crHeaderSplit = 63;

enum THitPosition {
    hpAbove,
    hpBelow,
    hpNowhere,
    hpOnItem,
    hpOnItemButton,
    hpOnItemCheckbox,
    hpOnItemLabel,
    hpOnItemLeft,
    hpOnItemRight,
    hpOnNormalIcon,
    hpOnStateIcon,
    hpToLeft,
    hpToRight,
};
using THitPositions = TSet<THitPosition, uint16_t>;

struct THitInfo {
    PVirtualNode HitNode = nullptr;
    THitPositions HitPositions;
    TColumnIndex HitColumn = NoColumn;
};

enum TCheckType { ctNone, ctTriStateCheckBox, ctCheckBox, ctRadioButton, ctButton };
enum TCheckState {
    csUncheckedNormal,
    csUncheckedPressed,
    csCheckedNormal,
    csCheckedPressed,
    csMixedNormal,
    csMixedPressed
};
static_assert(ctButton < 16 && csMixedPressed < 16, "both fit the node record's four-bit fields");
enum TCheckImageKind {
    ckLightCheck,
    ckDarkCheck,
    ckLightTick,
    ckDarkTick,
    ckFlat,
    ckXP,
    ckCustom,
    ckSystem,
    ckSystemFlat
};

enum TVTImageKind { ikNormal, ikSelected, ikState, ikOverlay };

enum TVTIncrementalSearch { isAll, isNone, isInitializedOnly, isVisibleOnly };
enum TVTSearchDirection { sdForward, sdBackward };
enum TVTSearchStart { ssAlwaysStartOver, ssLastHit, ssFocusedNode };

enum TScrollBarStyle { sbmRegular, sbmFlat, sbm3D };
using TVTScrollIncrement = uint16_t;

enum TScrollDirection { sdLeft, sdUp, sdRight, sdDown };
using TScrollDirections = TSet<TScrollDirection, uint8_t>;

enum TScrollUpdateOption { suoRepaintHeader, suoRepaintScrollbars, suoScrollClientArea, suoUpdateNCArea };
using TScrollUpdateOptions = TSet<TScrollUpdateOption, uint8_t>;
constexpr TScrollUpdateOptions DefaultScrollUpdateFlags{suoRepaintHeader, suoRepaintScrollbars,
                                                        suoScrollClientArea, suoUpdateNCArea};

// Scroll bars and scroll requests, numbered as the platform numbers them.
namespace VTScroll {
constexpr int Horizontal = 0, Vertical = 1;
constexpr int LineUp = 0, LineDown = 1, PageUp = 2, PageDown = 3, ThumbPosition = 4, ThumbTrack = 5, Top = 6,
              Bottom = 7, EndScroll = 8;
} // namespace VTScroll

// Keys the tree handles beyond those the platform layer names.
namespace VTKey {
constexpr uint16_t Apps = 0x5D, Multiply = 0x6A, Add = 0x6B, Subtract = 0x6D, Divide = 0x6F, F2 = 0x71;
} // namespace VTKey

// A rectangle in absolute tree coordinates, whose vertical extent may pass 2^31.
struct TVTRect64 {
    int Left = 0;
    int64_t Top = 0;
    int Right = 0;
    int64_t Bottom = 0;
    friend bool operator==(const TVTRect64&, const TVTRect64&) = default;
};

// Bytes of a header stream.
using TVTBytes = std::vector<uint8_t>;

class TVirtualTreeColumn;
class TVirtualTreeColumns;
class TVTHeader;
class TVTColors;
class TScrollBarOptions;
class TClipboardFormats;
using TColumnsArray = std::vector<TVirtualTreeColumn*>;

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

// A piece of an animation: Area (client coordinates; the header lies above
// 0) shows the window's picture of Source moved by Shift, and Fill paints
// what the moved picture leaves uncovered.
struct TVTSlide {
    TRect Area;
    TRect Source;
    TPoint Shift;
    std::function<void(TCanvas* Canvas, const TRect& R)> Fill;
};

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
    virtual void SetRedraw(bool) {}
    virtual void CancelHint() {}
    virtual void UpdateEditBounds() {}
    virtual void SetTimer(unsigned /*TimerID*/, unsigned /*Milliseconds*/) {}
    virtual void KillTimer(unsigned /*TimerID*/) {}
    // The timers' clock, in milliseconds.
    virtual int64_t TickCount() const { return 0; }
    // Animations slide pieces of a picture of the window taken before a
    // change: ShowSlides puts them over the window's own painting until
    // DropPicture. Scrolling the window drops the picture; a scroll bar that
    // comes or goes only clips it.
    virtual void TakePicture() {}
    virtual void ShowSlides(std::vector<TVTSlide> /*Slides*/) {}
    virtual void DropPicture() {}
    virtual void ThemeAwareChanged(bool /*ThemeAware*/) {}
    virtual void RecreateWindow() {}
    virtual void AcceptOLEDropChanged(bool /*Accept*/) {}
    virtual void NotifyAccessibleStateChange() {}
    virtual void NotifyAccessibleFocus() {}
    virtual int ClientHeight() const { return 0; }

    // Geometry, metrics and input state of the window.
    virtual int ClientWidth() const { return 0; }
    // The width of a vertical and the height of a horizontal scroll bar.
    virtual int ScrollBarSize() const { return 0; }
    virtual int DragThreshold() const { return 4; }
    virtual int WheelScrollLines() const { return 3; }
    // The mouse cursor in client coordinates.
    virtual TPoint CursorPos() const { return TPoint{-1, -1}; }
    virtual TShiftState KeyboardShiftState() const { return 0; }
    // The character a key gives with the current keyboard layout (Ctrl
    // released); 0 when none.
    virtual char16_t CharOfKey(uint16_t /*Key*/) const { return 0; }
    // Text and images measured as the window will draw them.
    virtual int TextWidth(const WideString& /*Text*/) const { return 0; }
    virtual int ImageListWidth(TCustomImageList* /*Images*/) const { return 0; }

    // Scroll bars, scrolling and repaints of parts of the window.
    virtual void SetScrollInfo(int /*Bar*/, int64_t /*Max*/, int64_t /*Position*/, int64_t /*Page*/,
                               bool /*DisableNoScroll*/, bool /*Redraw*/) {}
    virtual void ShowScrollBar(int /*Bar*/, bool /*Show*/) {}
    // Moves the client area's content; ClipRect nil means all of it.
    virtual void ScrollClientArea(int /*DeltaX*/, int64_t /*DeltaY*/, const TRect* /*ClipRect*/) {}
    virtual void InvalidateRect(const TRect& /*R*/) {}
    // Redraws part of the header, in client coordinates (the header lies
    // above 0); nil redraws all of it.
    virtual void RepaintHeader(const TRect* /*R*/) {}
    virtual void RedrawFrame() {}
    virtual void UpdateWindow() {}
    virtual void SetCursor(TCursor) {}
    virtual void SetCapture() {}
    virtual void ReleaseCapture() {}
    // The picture of a header button that follows a column drag.
    virtual void ShowHeaderDragImage(TColumnIndex /*Column*/, TPoint /*HotSpot*/, bool /*Horizontally*/) {}
    virtual void MoveHeaderDragImage(TPoint /*P*/, bool /*Force*/) {}
    virtual void HideHeaderDragImage() {}
    virtual void Popup(TPopupMenu* /*Menu*/, TPoint /*ClientP*/) {}
    virtual void Beep() {}
    // The help context of the control and then of its parents; 0 when none.
    virtual int ControlHelpContext() const { return 0; }
    virtual void ShowHelp(int /*Context*/) {}
    // The window's focus.
    virtual bool Focused() const { return false; }
    virtual bool CanFocus() const { return false; }
    virtual void SetFocus() {}
    // An accessibility event for the tree's client object (the platform's
    // event numbers).
    virtual void NotifyAccessibleEvent(unsigned /*Event*/) {}
    // The program is the active one (hints show only then).
    virtual bool ApplicationActive() const { return true; }
    virtual bool MouseCaptured() const { return false; }
    // The screen point of a client point.
    virtual TPoint ClientToScreen(TPoint P) const { return P; }
};

class TBaseVirtualTree;
class TVTDragManager;
class TVTDragImage;

// The editor of a cell, which the tree asks for when an edit starts: bound to
// the cell, shown, moved with it, then ended or cancelled once.
class IVTEditLink {
public:
    virtual ~IVTEditLink() = default;
    // Shows the editor and focuses it; false refuses.
    virtual bool BeginEdit() = 0;
    // False when the edit has already stopped.
    virtual bool CancelEdit() = 0;
    virtual bool EndEdit() = 0;
    // Binds to the cell and loads its value; false refuses editing.
    virtual bool PrepareEdit(TBaseVirtualTree* Tree, PVirtualNode Node, TColumnIndex Column) = 0;
    virtual TRect GetBounds() = 0;
    virtual void ProcessMessage(TMessage& Message) = 0;
    virtual void SetBounds(TRect R) = 0;
};

// What a drag may do with the nodes; an empty set allows all three.
enum TDragOperation { doCopy, doMove, doLink };
using TDragOperations = TSet<TDragOperation, uint8_t>;

// Accessibility events the tree raises for its client object.
namespace VTAccessibleEvent {
constexpr unsigned Focus = 0x8005, Selection = 0x8006, StateChange = 0x800A, LocationChange = 0x800B,
                   NameChange = 0x800C, ValueChange = 0x800E;
} // namespace VTAccessibleEvent

// ---- Painting, hints and the window: vocabularies -----------------------------------------

class TBitmap;
class TFont;

// One indentation level of a node line: which line pieces it shows.
enum TVTLineType : uint8_t {
    ltNone,
    ltBottomRight,
    ltTopDown,
    ltTopDownRight,
    ltRight,
    ltTopRight,
    ltLeft,
    ltLeftBottom
};
using TLineImage = std::vector<TVTLineType>;

enum TVTLineMode { lmNormal, lmBands };
enum TVTLineStyle { lsCustomStyle, lsDotted, lsSolid };
enum TVTButtonStyle { bsRectangle, bsTriangle };
enum TVTButtonFillMode { fmTreeColor, fmWindowColor, fmShaded, fmTransparent };
enum TVTDrawSelectionMode { smDottedRectangle, smBlendedRectangle };
enum TDropMode { dmNowhere, dmAbove, dmOnNode, dmBelow };
enum TItemEraseAction { eaColor, eaDefault, eaNone };
enum TVTDragImageKind { diComplete, diMainColumnOnly, diNoImage };

// What one PaintTree run draws; bit numbers are fixed, callers pass bytes.
enum TVTInternalPaintOption {
    poBackground,
    poColumnColor,
    poDrawFocusRect,
    poDrawSelection,
    poDrawDropMark,
    poGridLines,
    poMainOnly,
    poSelectedOnly
};
using TVTInternalPaintOptions = TSet<TVTInternalPaintOption, uint8_t>;
// The control's own painting, the client print message, and drag images.
constexpr TVTInternalPaintOptions WindowPaintOptions = TVTInternalPaintOptions::FromBits(63);
constexpr TVTInternalPaintOptions PrintPaintOptions = TVTInternalPaintOptions::FromBits(61);

enum TVTImageInfoIndex { iiNormal, iiState, iiCheck, iiOverlay };

struct TVTImageInfo {
    int Index = -1;
    int XPos = 0;
    int YPos = 0;
    bool Ghosted = false;
    TCustomImageList* Images = nullptr;
};

// The record the cell operations paint through; x in tree coordinates, y
// from 0 to the node's height.
struct TVTPaintInfo {
    TCanvas* Canvas = nullptr;
    TVTInternalPaintOptions PaintOptions;
    PVirtualNode Node = nullptr;
    TColumnIndex Column = NoColumn;
    TColumnPosition Position = 0;
    TRect CellRect;
    TRect ContentRect;
    int NodeWidth = 0;
    TAlignment Alignment = taLeftJustify;
    TBiDiMode BidiMode = bdLeftToRight;
    TPoint BrushOrigin;
    TVTImageInfo ImageInfo[4];
};

// Header painting.
enum TVTDropMarkMode { dmmNone, dmmLeft, dmmRight };
enum THeaderPaintElement { hpeBackground, hpeDropMark, hpeHeaderGlyph, hpeSortGlyph, hpeText };
using THeaderPaintElements = TSet<THeaderPaintElement, uint8_t>;

struct THeaderPaintInfo {
    TCanvas* TargetCanvas = nullptr;
    TVirtualTreeColumn* Column = nullptr;
    TRect PaintRectangle;
    TRect TextRectangle;
    bool IsHoverIndex = false;
    bool IsDownIndex = false;
    bool IsEnabled = false;
    bool ShowHeaderGlyph = false;
    bool ShowSortGlyph = false;
    bool ShowRightBorder = false;
    TVTDropMarkMode DropMark = dmmNone;
    TPoint GlyphPos;
    TPoint SortGlyphPos;
};

// Utility images (16 pixels square), by index.
namespace VTUtility {
constexpr int DropMarkLeft = 0, DropMarkRight = 1, SortDescending = 2, SortAscending = 3,
              ThemedSortDescending = 4, ThemedSortAscending = 5, HotBarLeft = 6, HotBarMiddle = 7,
              HotBarRight = 8;
} // namespace VTUtility

// Hints.
enum TVTHintMode { hmDefault, hmHint, hmHintAndDefault, hmTooltip };
enum THintAnimationType { hatNone, hatFade, hatSlide, hatSystemDefault };
enum TVTTooltipLineBreakStyle { hlbDefault, hlbForceSingleLine, hlbForceMultiLine };

struct TVTHintData {
    TBaseVirtualTree* Tree = nullptr;
    PVirtualNode Node = nullptr;
    TColumnIndex Column = NoColumn;
    TRect HintRect;
    WideString DefaultHint;
    WideString HintText;
    TBiDiMode BidiMode = bdLeftToRight;
    TAlignment Alignment = taLeftJustify;
    TVTTooltipLineBreakStyle LineBreakStyle = hlbDefault;
};

// Events of painting, hints and the cursor.
using TVTPaintEvent = std::function<void(TBaseVirtualTree* Sender, TCanvas* TargetCanvas)>;
using TVTBeforeItemPaintEvent = std::function<void(TBaseVirtualTree* Sender, TCanvas* TargetCanvas,
                                                   PVirtualNode Node, TRect ItemRect, bool& CustomDraw)>;
using TVTBeforeItemEraseEvent =
    std::function<void(TBaseVirtualTree* Sender, TCanvas* TargetCanvas, PVirtualNode Node, TRect ItemRect,
                       TColor& ItemColor, TItemEraseAction& EraseAction)>;
using TVTAfterItemEraseEvent =
    std::function<void(TBaseVirtualTree* Sender, TCanvas* TargetCanvas, PVirtualNode Node, TRect ItemRect)>;
using TVTAfterItemPaintEvent = TVTAfterItemEraseEvent;
using TVTCellPaintEvent = std::function<void(TBaseVirtualTree* Sender, TCanvas* TargetCanvas,
                                             PVirtualNode Node, TColumnIndex Column, TRect CellRect)>;
using TVTBackgroundPaintEvent =
    std::function<void(TBaseVirtualTree* Sender, TCanvas* TargetCanvas, TRect R, bool& Handled)>;
using TVTGetLineStyleEvent = std::function<void(TBaseVirtualTree* Sender, std::vector<uint16_t>& Bits)>;
using TVTHeaderPaintEvent =
    std::function<void(TVTHeader* Sender, TCanvas* HeaderCanvas, TVirtualTreeColumn* Column, TRect R,
                       bool Hover, bool Pressed, TVTDropMarkMode DropMark)>;
using TVTHeaderPaintQueryElementsEvent =
    std::function<void(TVTHeader* Sender, THeaderPaintInfo& PaintInfo, THeaderPaintElements& Elements)>;
using TVTAdvancedHeaderPaintEvent =
    std::function<void(TVTHeader* Sender, THeaderPaintInfo& PaintInfo, THeaderPaintElements Elements)>;
using TVTGetCursorEvent = std::function<void(TBaseVirtualTree* Sender, TCursor& Cursor)>;

// The longest prefix of Text, cut between whole characters, that fits into
// Width with an ellipsis after it, followed by "..."; EllipsisWidth 0 means
// the width of "..." on Canvas.
WideString ShortenText(TCanvas* Canvas, const WideString& Text, int Width, int EllipsisWidth);
// Draws (or with DT_CALCRECT measures into R) wide text with the DrawText
// flags DT_LEFT/RIGHT/CENTER, DT_VCENTER, DT_SINGLELINE, DT_WORDBREAK,
// DT_NOCLIP and DT_CALCRECT; answers the text's height.
int DrawWideText(TCanvas* Canvas, const WideString& Text, bool AdjustRight, unsigned Format, TRect& R);
// DrawText flags the canvas does not name.
constexpr unsigned DT_EDITCONTROL = 0x2000;
constexpr unsigned DT_RTLREADING = 0x20000;

// Blending of 32-bit bitmaps: constant alpha, per-pixel alpha, master alpha,
// master alpha and colour.
enum TBlendMode : uint8_t { bmConstantAlpha, bmPerPixelAlpha, bmMasterAlpha, bmConstantAlphaAndColor };
// Modes 0-2 blend Source's R onto Destination at Target; mode 3 blends Bias
// (an RGB colour) into Destination's R. Either bitmap may be a canvas
// target only through its bitmap.
void BlendBitmaps(TBitmap* Source, TBitmap* Destination, const TRect& R, TPoint Target, TBlendMode Mode,
                  int ConstantAlpha, int Bias);
// Every processor blends through the same byte arithmetic here.
bool ProcessorHasMMX();

// The process-wide images of the trees: made once, borrowed by every tree.
TCustomImageList* UtilityImages();
TCustomImageList* SharedCheckImages(TCheckImageKind Kind);
// Draws the check images again in the current system colours.
void RefreshSharedImages();

struct TVTPaintRun;

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
using TVTScrollEvent = std::function<void(TBaseVirtualTree* Sender, int DeltaX, int64_t DeltaY)>;
using TVTStateChangeEvent =
    std::function<void(TBaseVirtualTree* Sender, TVirtualTreeStates Enter, TVirtualTreeStates Leave)>;
using TVTStructureChangeEvent =
    std::function<void(TBaseVirtualTree* Sender, PVirtualNode Node, TChangeReason Reason)>;
using TVTUpdatingEvent = std::function<void(TBaseVirtualTree* Sender, TVTUpdateState State)>;

// Events of the tree stream, data transfer and editing.
using TVTSaveNodeEvent = std::function<void(TBaseVirtualTree* Sender, PVirtualNode Node, TStream& Stream)>;
using TFormatEtcArray = std::vector<FORMATETC>;
using TFormatArray = std::vector<TClipFormat>;
using TVTGetUserClipboardFormatsEvent =
    std::function<void(TBaseVirtualTree* Sender, TFormatEtcArray& Formats)>;
using TVTRenderOLEDataEvent = std::function<void(TBaseVirtualTree* Sender, const FORMATETC& FormatEtcIn,
                                                 STGMEDIUM& Medium, bool ForClipboard, HRESULT& Result)>;
using TVTDragOverEvent =
    std::function<void(TBaseVirtualTree* Sender, TObject* Source, TShiftState Shift, TDragState State,
                       TPoint Pt, TDropMode Mode, uint32_t& Effect, bool& Accept)>;
using TVTDragDropEvent = std::function<void(TBaseVirtualTree* Sender, TObject* Source,
                                            IDataObject* DataObject, const TFormatArray& Formats,
                                            TShiftState Shift, TPoint Pt, uint32_t& Effect, TDropMode Mode)>;
using TVTCreateEditorEvent = std::function<void(TBaseVirtualTree* Sender, PVirtualNode Node,
                                                TColumnIndex Column, std::shared_ptr<IVTEditLink>& EditLink)>;
using TVTEditChangingEvent =
    std::function<void(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column, bool& Allowed)>;
using TVTEditChangeEvent =
    std::function<void(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column)>;
using TVTEditCancelEvent = std::function<void(TBaseVirtualTree* Sender, TColumnIndex Column)>;
using TVTCreateDataObjectEvent =
    std::function<void(TBaseVirtualTree* Sender, std::shared_ptr<IDataObject>& DataObject)>;

// Events of columns, the header, checks, keys, pop-ups, images and scroll bars.
using TVTCheckChangingEvent =
    std::function<void(TBaseVirtualTree* Sender, PVirtualNode Node, TCheckState& NewState, bool& Allowed)>;
using TVTColumnClickEvent =
    std::function<void(TBaseVirtualTree* Sender, TColumnIndex Column, TShiftState Shift)>;
using TVTHeaderNotifyEvent = std::function<void(TVTHeader* Sender, TColumnIndex Column)>;
using TVTHeaderClickEvent = std::function<void(TVTHeader* Sender, TColumnIndex Column, TMouseButton Button,
                                               TShiftState Shift, int X, int Y)>;
using TVTHeaderDraggedEvent = std::function<void(TVTHeader* Sender, TColumnIndex Column, int OldPosition)>;
using TVTHeaderDraggedOutEvent =
    std::function<void(TVTHeader* Sender, TColumnIndex Column, TPoint DropPosition)>;
using TVTHeaderDraggingEvent = std::function<void(TVTHeader* Sender, TColumnIndex Column, bool& Allowed)>;
using TVTHeaderMouseEvent =
    std::function<void(TVTHeader* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TVTHeaderMouseMoveEvent = std::function<void(TVTHeader* Sender, TShiftState Shift, int X, int Y)>;
using TVTGetHeaderCursorEvent = std::function<void(TVTHeader* Sender, TCursor& Cursor)>;
using TVTGetImageEvent = std::function<void(TBaseVirtualTree* Sender, PVirtualNode Node, TVTImageKind Kind,
                                            TColumnIndex Column, bool& Ghosted, int& ImageIndex)>;
using TVTGetImageExEvent =
    std::function<void(TBaseVirtualTree* Sender, PVirtualNode Node, TVTImageKind Kind, TColumnIndex Column,
                       bool& Ghosted, int& ImageIndex, TCustomImageList*& ImageList)>;
using TVTPopupEvent = std::function<void(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column,
                                         TPoint P, bool& AskParent, TPopupMenu*& PopupMenu)>;
using TVTKeyActionEvent =
    std::function<void(TBaseVirtualTree* Sender, uint16_t& CharCode, TShiftState& Shift, bool& DoDefault)>;
using TVTHelpContextEvent =
    std::function<void(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column, int& HelpContext)>;
using TVTScrollbarShowEvent = std::function<void(TBaseVirtualTree* Sender, int Bar, bool Show)>;

// Drops the entries of TheArray[0, Count) that carry the removal mark (lowest
// address bit), keeping the order. Returns the number kept, -1 for Count 0.
int PackNodeArray(TNodeArray& TheArray, int Count);

// The tree that holds Node; nil for nil.
TBaseVirtualTree* OwnerTreeOfNode(PVirtualNode Node);

// ---- The tree ----------------------------------------------------------------

class TBaseVirtualTree : public TCustomControl {
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
    // Animations run on the animation timer: Callback(Step, StepSize) is
    // called spread over Duration milliseconds, then once more with (0, 0);
    // an answer of false ends the steps. Nothing happens while one runs or
    // for a Duration of 0.
    using TVTAnimationCallback = std::function<bool(int Step, int StepSize)>;
    virtual void Animate(uint32_t Steps, uint32_t Duration, TVTAnimationCallback Callback);
    // Ends a running animation at once, with its last call.
    void StopAnimation();
    // The end of loading from a form file.
    void Loaded() override;

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

    // ---- Columns, header, colours, scrolling, hit testing, input and checks ----

    TVTHeader* Header() const { return FHeader.get(); }
    TVTColors* Colors() const { return FColors.get(); }
    void SetColors(TVTColors* Value);
    TScrollBarOptions* ScrollBarOptions() const { return FScrollBarOptions.get(); }
    void SetScrollBarOptions(TScrollBarOptions* Value);
    TClipboardFormats* ClipboardFormats() const { return FClipboardFormats.get(); }
    void SetClipboardFormats(TClipboardFormats* Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);
    bool UseRightToLeftAlignment() const { return FBiDiMode == bdRightToLeft; }
    bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    // The width of the ring between the frame and the client area.
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TCustomImageList* StateImages() const { return FStateImages; }
    void SetStateImages(TCustomImageList* Value);
    TCustomImageList* CustomCheckImages() const { return FCustomCheckImages; }
    void SetCustomCheckImages(TCustomImageList* Value);
    TCheckImageKind CheckImageKind() const { return FCheckImageKind; }
    void SetCheckImageKind(TCheckImageKind Value);
    // The check images in use.
    TCustomImageList* CheckImages() const { return FCheckImages; }

    // Focus.
    void SetFocusedColumn(TColumnIndex Value);

    // Scrolling; offsets are 0 or negative.
    int OffsetX() const { return FOffsetX; }
    int64_t OffsetY() const { return FOffsetY; }
    void SetOffsetX(int Value);
    void SetOffsetY(int64_t Value);
    // The left edge of the window in canvas coordinates.
    int EffectiveOffsetX() const;
    int RangeX() const;
    int64_t RangeY() const;
    bool ScrollIntoView(PVirtualNode Node, bool Center, bool Horizontally = false);
    void SetTopNode(PVirtualNode Node);
    virtual void UpdateScrollBars(bool DoRepaint);
    void UpdateVerticalScrollBar(bool DoRepaint);
    void UpdateHorizontalScrollBar(bool DoRepaint);

    // Geometry and hit testing, in client coordinates.
    TRect GetDisplayRect(PVirtualNode Node, TColumnIndex Column, bool TextOnly, bool Unclipped = false);
    // The top of Node's row in canvas coordinates; -1 when the row is not shown.
    int64_t GetNodeTop(PVirtualNode Node);
    int GetMaxColumnWidth(TColumnIndex Column);
    virtual void GetHitTestInfoAt(int X, int Y, bool Relative, THitInfo& HitInfo);

    // Selection.
    void SelectAll(bool VisibleOnly);

    // Check boxes.
    TCheckType CheckType(PVirtualNode Node) const { return Node ? TCheckType(Node->CheckType) : ctNone; }
    void SetCheckType(PVirtualNode Node, TCheckType Value);
    TCheckState CheckState(PVirtualNode Node) const {
        return Node ? TCheckState(Node->CheckState) : csUncheckedNormal;
    }
    void SetCheckState(PVirtualNode Node, TCheckState Value);

    // Incremental search.
    TVTIncrementalSearch IncrementalSearch() const { return FIncrementalSearch; }
    void SetIncrementalSearch(TVTIncrementalSearch Value);
    TVTSearchDirection IncrementalSearchDirection = sdForward;
    TVTSearchStart IncrementalSearchStart = ssFocusedNode;
    const WideString& SearchBuffer() const { return FSearchBuffer; }

    // Input the widget forwards; points are in client coordinates.
    void WMKeyDown(uint16_t CharCode, TShiftState Shift);
    void WMKeyUp(uint16_t CharCode, TShiftState Shift);
    void WMChar(uint16_t CharCode);
    unsigned WMGetDlgCode() const;
    void WMSetFocus();
    void WMKillFocus();
    void WMVScroll(int Code, int64_t TrackPos);
    void WMHScroll(int Code, int TrackPos);
    // A wheel turn that the platform's handling left alone.
    void WMMouseWheel(int WheelDelta, TShiftState Shift);
    void WMSize();

    TVTChangeEvent OnChecked;
    TVTCheckChangingEvent OnChecking;
    TVTColumnClickEvent OnColumnClick;
    TVTColumnClickEvent OnColumnDblClick;
    TVTHeaderNotifyEvent OnColumnResize;
    TVTGetHeaderCursorEvent OnGetHeaderCursor;
    TVTHelpContextEvent OnGetHelpContext;
    TVTGetImageEvent OnGetImageIndex;
    TVTGetImageExEvent OnGetImageIndexEx;
    TVTPopupEvent OnGetPopupMenu;
    TVTHeaderClickEvent OnHeaderClick;
    TVTHeaderClickEvent OnHeaderDblClick;
    TVTHeaderDraggedEvent OnHeaderDragged;
    TVTHeaderDraggedOutEvent OnHeaderDraggedOut;
    TVTHeaderDraggingEvent OnHeaderDragging;
    TVTHeaderMouseEvent OnHeaderMouseDown;
    TVTHeaderMouseMoveEvent OnHeaderMouseMove;
    TVTHeaderMouseEvent OnHeaderMouseUp;
    TVTKeyActionEvent OnKeyAction;
    TVTScrollbarShowEvent OnShowScrollbar;

    // ---- Tree stream -------------------------------------------------------------------------

    // Writes the header and Node's subtree, or every top-level node for nil.
    virtual void SaveToStream(TStream& Stream, PVirtualNode Node = nullptr);
    // Reads the whole stream first and replaces the nodes only when all of it
    // is sound, so a rejected stream leaves the tree as it was. Nothing
    // happens with toReadOnly.
    virtual void LoadFromStream(TStream& Stream);
    virtual void LoadFromFile(const AnsiString& FileName);

    TVTSaveNodeEvent OnLoadNode;
    TVTSaveNodeEvent OnSaveNode;

    // ---- Clipboard ---------------------------------------------------------------------------

    virtual void CopyToClipboard();
    virtual void CutToClipboard();
    // False, and nothing done, with toReadOnly; raises EVirtualTreeError 2007
    // when the clipboard cannot be opened.
    virtual bool PasteFromClipboard();
    void CancelClipboardMarks();
    void CompleteCut();
    // Inserts the nodes DataObject carries at Target by Mode; Optimized moves
    // the nodes of Source (a tree of this process) instead of copying them.
    bool InsertOLEData(TBaseVirtualTree* Source, IDataObject* DataObject, PVirtualNode Target,
                       TVTNodeAttachMode Mode, bool Optimized);
    // The tree of this process that DataObject comes from; nil for a tree
    // that is gone, another process or other data.
    virtual TBaseVirtualTree* GetTreeFromDataObject(IDataObject* DataObject);
    virtual void GetNativeClipboardFormats(TFormatEtcArray& Formats);
    virtual HRESULT RenderOLEData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool ForClipboard);
    bool ExecuteAction(TBasicAction* Action) override;
    bool UpdateAction(TBasicAction* Action) override;
    // What a data object's reference record names this tree by: a number
    // looked up among the trees alive, never an address.
    uint32_t TransferToken();
    // Whether a data object of the tree's latest copy or cut is still alive.
    bool HoldsClipboardData() const;

    TVTCreateDataObjectEvent OnCreateDataObject;

    // ---- Drag and drop (VirtualTreesDragDrop.cpp) ---------------------------------------------

    TDragOperations DragOperations{doCopy, doMove};
    // The tree's drop target and drag source, made on first use.
    std::shared_ptr<TVTDragManager> DragManager();
    // The nodes of an OLE drag started here, while it runs.
    const TNodeArray& DragSelection() const { return FDragSelection; }
    // The picture of the nodes that follows a drag started here
    // (VirtualTreesDragImage.h), made on first use.
    TVTDragImage* DragImage();
    // Starts an OLE drag of the selection at client point P.
    virtual void DoDragging(TPoint P);
    virtual uint32_t ProposeDropEffect(TBaseVirtualTree* Source, TShiftState Shift, uint32_t AllowedEffects,
                                       TPoint P);

    TVTDragOverEvent OnDragOver;
    TVTDragDropEvent OnDragDrop;

    // ---- In-place editing (VirtualTreesEditor.cpp) --------------------------------------------

    bool CanEdit(PVirtualNode Node, TColumnIndex Column);
    // Focuses Node and edits its cell in Column; whether an edit runs.
    bool EditNode(PVirtualNode Node, TColumnIndex Column);
    bool EndEditNode();
    bool CancelEditNode();
    bool IsEditing() const { return FStates.Contains(tsEditing); }
    IVTEditLink* EditLink() const { return FEditLink.get(); }
    // The node and column of the running edit; nil when none.
    PVirtualNode EditingNode() const { return FEditNode; }
    TColumnIndex EditColumn() const { return FEditColumn; }

    TVTCreateEditorEvent OnCreateEditor;
    TVTEditChangingEvent OnEditing;
    TVTEditChangeEvent OnEdited;
    TVTEditCancelEvent OnEditCancelled;
    TVTGetUserClipboardFormatsEvent OnGetUserClipboardFormats;
    TVTRenderOLEDataEvent OnRenderOLEData;

protected:
    // Node record and data areas. A node lives in a slot of the tree's own
    // blocks; Clear frees every slot, linked or not.
    PVirtualNode AllocateNode();
    // Up to Count new, unlinked nodes lying Stride bytes apart (at least
    // one); Taken tells how many.
    PVirtualNode AllocateNodes(size_t Count, size_t& Taken, size_t& Stride);
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
    PVirtualNode CacheEntryForPosition(uint64_t Position, uint64_t& Top) const;
    PVirtualNode CacheEntryForNode(PVirtualNode Node, uint64_t& Top) const;
    // True when the cache may be used: it is valid, or a sort laid it out
    // since the last change. With Force every entry is built when it is not.
    bool EnsurePositionCache(bool Force = false);
    // True when the cache may be used for the row at Position, or for Node
    // when one is given: it is valid and its entries reach past it. With
    // Extend, entries are built up to it when they do not, as a query that
    // would walk further than from one entry to the next does.
    bool CacheReaches(uint64_t Position, PVirtualNode Node, bool Extend);
    bool CanBuildPositionCache() const;
    // Builds entries from the last valid one on, up to the first past Until
    // or past UntilNode (to the end for neither); true when the cache may be used.
    bool BuildPositionCache(uint64_t Until, PVirtualNode UntilNode);
    // True when the cache a sort laid out still describes the rows.
    bool CacheLaidOut() const { return FLaidOutGeneration == FCacheGeneration; }

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
    virtual TColumnIndex GetMainColumn() const;
    // The header's sort settings, used with toAutoSort.
    virtual TColumnIndex GetSortColumn() const;
    virtual TSortDirection GetSortDirection() const;

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
    virtual void DoScroll(int DeltaX, int64_t DeltaY);
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
    int64_t FOffsetY = 0;

    // ---- Columns, header, colours, scrolling, hit testing, input and checks ----

    friend class TVTHeader;
    friend class TVirtualTreeColumn;
    friend class TVirtualTreeColumns;
    friend class TVTColors;
    friend class TScrollBarOptions;

    // The right-to-left shift of the columns.
    virtual int ComputeRTLOffset(bool ExcludeScrollBar = false) const;
    // The header rectangle in client coordinates (it lies above 0).
    TRect HeaderRectInClient() const;
    virtual void MainColumnChanged();

    // Dispatchers.
    virtual void DoCheckClick(PVirtualNode Node, TCheckState NewCheckState);
    virtual void DoChecked(PVirtualNode Node);
    virtual bool DoChecking(PVirtualNode Node, TCheckState& NewCheckState);
    virtual void DoColumnClick(TColumnIndex Column, TShiftState Shift);
    virtual void DoColumnDblClick(TColumnIndex Column, TShiftState Shift);
    virtual void DoColumnResize(TColumnIndex Column);
    virtual void DoGetHeaderCursor(TCursor& Cursor);
    virtual TCustomImageList* DoGetImageIndex(PVirtualNode Node, TVTImageKind Kind, TColumnIndex Column,
                                              bool& Ghosted, int& Index);
    virtual TPopupMenu* DoGetPopupMenu(PVirtualNode Node, TColumnIndex Column, TPoint P);
    virtual void DoHeaderClick(TColumnIndex Column, TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void DoHeaderDblClick(TColumnIndex Column, TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void DoHeaderDragged(TColumnIndex Column, TColumnPosition OldPosition);
    virtual void DoHeaderDraggedOut(TColumnIndex Column, TPoint DropPosition);
    virtual bool DoHeaderDragging(TColumnIndex Column);
    virtual void DoHeaderMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void DoHeaderMouseMove(TShiftState Shift, int X, int Y);
    virtual void DoHeaderMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual bool DoKeyAction(uint16_t& CharCode, TShiftState& Shift);
    virtual void DoShowScrollbar(int Bar, bool Show);

    // Check states.
    virtual bool CheckParentCheckState(PVirtualNode Node, TCheckState NewCheckState);
    virtual TCheckState NextCheckState(TCheckType CheckType, TCheckState CheckState);
    virtual int GetCheckImage(PVirtualNode Node);
    // The shared check images of a kind; they come with the process-wide
    // resources, so the base tree has none.
    virtual TCustomImageList* GetCheckImageListFor(TCheckImageKind Kind);

    // Hit testing.
    virtual void DetermineHitPositionLTR(THitInfo& HitInfo, int X, int Right, TAlignment Alignment);
    virtual void DetermineHitPositionRTL(THitInfo& HitInfo, int X, int Right, TAlignment Alignment);
    // The width an image of Kind takes in the cell (its width + 2), 0 without one.
    int ImageSpace(PVirtualNode Node, TVTImageKind Kind, TColumnIndex Column);
    // The check box's width + 2 when Node shows one in Column.
    int CheckSpace(PVirtualNode Node, TColumnIndex Column);

    // Selection.
    virtual void AddToTempCache(PVirtualNode Node);
    virtual void ClearTempCache();
    virtual void SelectNodes(PVirtualNode StartNode, PVirtualNode EndNode, bool AddOnly);
    virtual void ToggleSelection(PVirtualNode StartNode, PVirtualNode EndNode);
    virtual void UnselectNodes(PVirtualNode StartNode, PVirtualNode EndNode);
    virtual void SetFocusedNodeAndColumn(PVirtualNode Node, TColumnIndex Column);
    // The selection a mouse press with Shift makes on NewNode; DragPending:
    // a drag may start, so a Ctrl toggle waits for the button release.
    void HandleClickSelection(PVirtualNode NewNode, TShiftState Shift, bool DragPending);
    // Arms the rubber band at a client point.
    void StartDrawSelection(int X, int Y, TShiftState Shift);
    virtual bool CalculateSelectionRect(int X, int Y);
    // Brings the selection in line with the rubber band; true when it changed.
    bool HandleDrawSelection(int X, int Y);

    // Scrolling.
    virtual bool DoSetOffsetXY(int X, int64_t Y, TScrollUpdateOptions Options = DefaultScrollUpdateFlags,
                               const TRect* ClipRect = nullptr);
    virtual int GetMaxRightExtend();
    virtual bool CanAutoScroll() const;
    virtual TScrollDirections DetermineScrollDirections(int X, int Y);
    virtual void DoAutoScroll(int X, int Y);
    virtual void DoTimerScroll();

    // Keys.
    virtual void HandleIncrementalSearch(uint16_t CharCode);

    std::unique_ptr<TVTHeader> FHeader;
    std::unique_ptr<TVTColors> FColors;
    std::unique_ptr<TScrollBarOptions> FScrollBarOptions;
    std::unique_ptr<TClipboardFormats> FClipboardFormats;
    TAlignment FAlignment = taLeftJustify;
    TBiDiMode FBiDiMode = bdLeftToRight;
    TColor FColor = clWindow;
    TBorderStyle FBorderStyle = TBorderStyle::bsSingle;
    int FBorderWidth = 0;
    TCustomImageList* FImages = nullptr;
    TCustomImageList* FStateImages = nullptr;
    TCustomImageList* FCustomCheckImages = nullptr;
    TCustomImageList* FCheckImages = nullptr;
    TCheckImageKind FCheckImageKind = ckLightCheck;
    TVTIncrementalSearch FIncrementalSearch = isNone;
    WideString FSearchBuffer;
    TCheckState FPendingCheckState = csUncheckedNormal;
    int FCheckPropagationCount = 0;
    // The widest line without columns, found at the last scroll-bar update.
    int FMaxRightExtend = 0;
    TVTRect64 FNewSelRect;
    TVTRect64 FLastSelRect;
    TShiftState FDrawSelShiftState = 0;
    TScrollDirections FScrollDirections;
    // The last click in client coordinates, also the anchor of wheel panning.
    TPoint FLastClickPos;
    bool FScrollBarShown[2] = {false, false};

    // ---- Tree stream -------------------------------------------------------------------------

    virtual void WriteNode(TStream& Stream, PVirtualNode Node);
    virtual void WriteChunks(TStream& Stream, PVirtualNode Node);
    virtual void PatchChunkSize(TStream& Stream, int64_t StartPos, int64_t EndPos);
    // Every chunk of a record but its base chunk comes here, with Stream
    // over the chunk's body alone; false for a chunk the tree does not read.
    virtual bool ReadChunk(TStream& Stream, int Version, PVirtualNode Node, int ChunkType, int ChunkSize);
    virtual void DoSaveUserData(PVirtualNode Node, TStream& Stream);
    virtual void DoLoadUserData(PVirtualNode Node, TStream& Stream);
    // Fills Node, fresh and linked, from the record Record of Image with its
    // subtree, and settles the counts of the tree around it; the selection
    // the record carries is taken over. Returns the record after the subtree.
    virtual size_t InternalAddFromStream(const TVTStreamImage& Image, size_t Record, PVirtualNode Node);
    // Moves past the node record at the stream's position.
    void SkipStreamNode(TStream& Stream);

    // ---- Clipboard ---------------------------------------------------------------------------

    virtual void MarkCutCopyNodes();
    virtual std::shared_ptr<IDataObject> DoCreateDataObject();
    virtual void DoGetUserClipboardFormats(TFormatEtcArray& Formats);
    virtual HRESULT DoRenderOLEData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool ForClipboard);
    // Gives up the clipboard when it holds this tree's data object.
    void ReleaseClipboardContent();
    // Cuts the tree off from data transfer before it goes: its token, its
    // clipboard content.
    void ShutDownDataTransfer();

    // ---- Drag and drop, the target side; points in screen coordinates ----------------------

    friend class TVTDragManager;
    virtual HRESULT DragEnter(unsigned KeyState, TPoint Pt, uint32_t& Effect);
    virtual HRESULT DragOver(TBaseVirtualTree* Source, unsigned KeyState, TDragState State, TPoint Pt,
                             uint32_t& Effect);
    virtual void DragLeave();
    virtual HRESULT DragDrop(const std::shared_ptr<IDataObject>& DataObject, unsigned KeyState, TPoint Pt,
                             uint32_t& Effect);
    virtual bool DoDragOver(TBaseVirtualTree* Source, TShiftState Shift, TDragState State, TPoint Pt,
                            TDropMode Mode, uint32_t& Effect);
    virtual void DoDragDrop(TBaseVirtualTree* Source, const std::shared_ptr<IDataObject>& DataObject,
                            const TFormatArray& Formats, TShiftState Shift, TPoint Pt, uint32_t& Effect,
                            TDropMode Mode);
    // Expands the drop target the mouse rests on.
    virtual void DoDragExpand();
    // Registers the window as a drop target, or revokes it.
    void UpdateDropRegistration(bool Accept);
    virtual bool CanShowDragImage() const;
    // Prepares the drag image of the selected nodes around HotSpot (client
    // coordinates) for the drag of DataObject.
    void PrepareTreeDragPicture(TPoint HotSpot, const std::shared_ptr<IDataObject>& DataObject);

    // ---- In-place editing ----------------------------------------------------------------------

    virtual std::shared_ptr<IVTEditLink> DoCreateEditor(PVirtualNode Node, TColumnIndex Column);
    virtual void DoEdit();
    virtual bool DoEndEdit();
    virtual bool DoCancelEdit();
    // Places the editor over the cell it edits.
    virtual void UpdateEditBounds();

public:
    // ---- Painting, mouse input, hints and the window ----

    TVTLineMode LineMode() const { return FLineMode; }
    void SetLineMode(TVTLineMode Value);
    TVTLineStyle LineStyle() const { return FLineStyle; }
    void SetLineStyle(TVTLineStyle Value);
    TVTButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TVTButtonStyle Value);
    TVTButtonFillMode ButtonFillMode() const { return FButtonFillMode; }
    void SetButtonFillMode(TVTButtonFillMode Value);
    TVTDrawSelectionMode DrawSelectionMode = smDottedRectangle;
    TVTHintMode HintMode = hmDefault;
    THintAnimationType HintAnimation = hatSystemDefault;
    TVTDragImageKind DragImageKind = diComplete;
    // The picture behind the nodes with toShowBackground; empty when none.
    TBitmap* Background() const { return FBackground.get(); }
    void SetBackground(TBitmap* Value);
    PVirtualNode DropTargetNode() const { return FDropTargetNode; }
    TDropMode LastDropMode() const { return FLastDropMode; }
    PVirtualNode HotNode() const { return FCurrentHotNode; }

    // Paints the part Window (tree coordinates) of the tree to TargetCanvas
    // at Target.
    void PaintTree(TCanvas* TargetCanvas, const TRect& Window, TPoint Target,
                   TVTInternalPaintOptions PaintOptions);
    // Paints the header's part R (header coordinates, y from 0 to its height)
    // onto Canvas, columns shifted by HorizontalOffset.
    void DrawHeader(TCanvas* Canvas, const TRect& R, int HorizontalOffset);
    void InvalidateColumn(TColumnIndex Column);
    // The string tree's text of a cell as the hint shows it, its font and
    // its rectangle (client coordinates).
    virtual void GetCellTextInfo(PVirtualNode Node, TColumnIndex Column, TFont* Font, TRect& R,
                                 WideString& Text);
    bool Dragging() const;
    void BeginDrag(bool Immediate, int Threshold = -1);

    // The window: messages, the client area below the header.
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    TRect ClientRect() const override;
    // The new window shows the tree's bars and takes drops if asked to.
    void WidgetCreated() override;
    // The hint data of the last hint query.
    const TVTHintData& HintData() const { return FHintData; }

    TVTAdvancedHeaderPaintEvent OnAdvancedHeaderDraw;
    TVTCellPaintEvent OnAfterCellPaint;
    TVTAfterItemEraseEvent OnAfterItemErase;
    TVTAfterItemPaintEvent OnAfterItemPaint;
    TVTPaintEvent OnAfterPaint;
    TVTCellPaintEvent OnBeforeCellPaint;
    TVTBeforeItemEraseEvent OnBeforeItemErase;
    TVTBeforeItemPaintEvent OnBeforeItemPaint;
    TVTPaintEvent OnBeforePaint;
    TVTGetCursorEvent OnGetCursor;
    TVTGetLineStyleEvent OnGetLineStyle;
    TVTHeaderPaintEvent OnHeaderDraw;
    TVTHeaderPaintQueryElementsEvent OnHeaderDrawQueryElements;
    TVTBackgroundPaintEvent OnPaintBackground;

protected:
    // A descendant's option class takes over the options, keeping their values.
    void SetOptionsObject(std::unique_ptr<TCustomVirtualTreeOptions> Options);

    // Painting.
    void Paint() override;
    virtual void DoPaintNode(TVTPaintInfo& PaintInfo);
    virtual void AdjustPaintCellRect(TVTPaintInfo& PaintInfo, TColumnIndex& NextNonEmpty);
    // While a descendant paints text, a font change on Canvas reaches FontChanged.
    virtual void RedirectFontChangeEvent(TCanvas* Canvas);
    virtual void RestoreFontChangeEvent(TCanvas* Canvas);
    virtual void FontChanged(TObject* Sender);
    void PaintLine(TVTPaintInfo& PaintInfo, const TRect& Window, int LineWidth, const TLineImage& LineImage,
                   int IndentSize, int ButtonX, const struct TVTPaintRun& Run);
    void EraseLine(TVTPaintInfo& PaintInfo, const TRect& R, int TargetTop, const struct TVTPaintRun& Run);
    void PaintBelowNodes(TCanvas* TargetCanvas, const TRect& Window, TPoint Target, int NodeBottom,
                         TColumnIndex FirstColumn, const struct TVTPaintRun& Run);

    virtual void DoAdvancedHeaderDraw(THeaderPaintInfo& PaintInfo, THeaderPaintElements Elements);
    virtual void DoAfterCellPaint(TCanvas* Canvas, PVirtualNode Node, TColumnIndex Column, const TRect& R);
    virtual void DoAfterItemErase(TCanvas* Canvas, PVirtualNode Node, const TRect& R);
    virtual void DoAfterItemPaint(TCanvas* Canvas, PVirtualNode Node, const TRect& R);
    virtual void DoAfterPaint(TCanvas* Canvas);
    virtual void DoBeforeCellPaint(TCanvas* Canvas, PVirtualNode Node, TColumnIndex Column, const TRect& R);
    virtual void DoBeforeItemErase(TCanvas* Canvas, PVirtualNode Node, const TRect& R, TColor& Color,
                                   TItemEraseAction& EraseAction);
    virtual bool DoBeforeItemPaint(TCanvas* Canvas, PVirtualNode Node, const TRect& R);
    virtual void DoBeforePaint(TCanvas* Canvas);
    virtual void DoGetCursor(TCursor& Cursor);
    virtual void DoGetLineStyle(std::vector<uint16_t>& Bits);
    virtual void DoHeaderDraw(TCanvas* Canvas, TVirtualTreeColumn* Column, const TRect& R, bool Hover,
                              bool Pressed, TVTDropMarkMode DropMark);
    virtual void DoHeaderDrawQueryElements(THeaderPaintInfo& PaintInfo, THeaderPaintElements& Elements);
    virtual bool DoPaintBackground(TCanvas* Canvas, const TRect& R);

    // Header painting.
    void ComputeCaptionLayout(TVirtualTreeColumn* Column, TCanvas* Canvas, const TRect& Client, bool UseImage,
                              bool UseSortGlyph, TPoint& ImagePos, TPoint& SortGlyphPos, TRect& TextBounds);
    void DrawXPStyleButton(TCanvas* Canvas, const TRect& R, bool DrawSplitter, bool Pressed, bool Hot);
    void DrawCaptionText(TCanvas* Canvas, const WideString& Caption, const TRect& Bounds, bool Enabled,
                         bool Hot, unsigned Format);

    // Cell decorations.
    virtual void PrepareButtonBitmaps(bool NeedButtons, bool NeedLines);
    virtual void DrawDottedHLine(const TVTPaintInfo& PaintInfo, int Left, int Right, int Top);
    virtual void DrawDottedVLine(const TVTPaintInfo& PaintInfo, int Top, int Bottom, int Left);
    // Fills LineImage for Node; answers the number of its selected ancestors.
    int ComputeLineImage(PVirtualNode Node, TLineImage& LineImage);
    virtual void PaintTreeLines(const TVTPaintInfo& PaintInfo, int VAlignment, int IndentSize,
                                const TLineImage& LineImage);
    void DrawLineSegment(const TVTPaintInfo& PaintInfo, int X, int Top, int Height, int VAlignment,
                         TVTLineType LineType, bool Reverse);
    void ComputeVerticalAlignments(bool ShowImages, bool ShowStateImages, PVirtualNode Node, int& VAlignment,
                                   int& ButtonTop);
    virtual void PaintNodeButton(TCanvas* Canvas, PVirtualNode Node, const TRect& R, int ButtonX, int ButtonY,
                                 TBiDiMode BidiMode);
    virtual void GetImageIndex(TVTPaintInfo& PaintInfo, TVTImageKind Kind, TVTImageInfoIndex Slot,
                               TCustomImageList* DefaultImages);
    virtual bool HasImage(PVirtualNode Node, TVTImageKind Kind, TColumnIndex Column);
    void PlaceImage(TVTPaintInfo& PaintInfo, TVTImageInfoIndex Slot, int VAlignment);
    void IndentCoordinates(TVTPaintInfo& PaintInfo, int Levels);
    virtual void PaintImage(TVTPaintInfo& PaintInfo, TVTImageInfoIndex Slot, bool DoOverlay);
    virtual void PaintCheckImage(const TVTPaintInfo& PaintInfo);
    void PrepareCellBackground(TVTPaintInfo& PaintInfo, int WindowOrgX, int MaxWidth);
    virtual void PaintSelectionRectangle(TCanvas* Canvas, int WindowOrgX, const TRect& TargetRect,
                                         TRect SelectionRect);
    virtual void DoPaintDropMark(TCanvas* Canvas, PVirtualNode Node, const TRect& R);
    void DrawStaticBackground(TBitmap* Picture, TCanvas* Canvas, TPoint Offset, const TRect& R);
    void DrawTiledBackground(TBitmap* Picture, TCanvas* Canvas, TPoint Offset, const TRect& R);

    // Mouse input; points in client coordinates.
    virtual void HandleHotTrack(int X, int Y);
    virtual void HandleMouseDblClick(TMessage& Message, const THitInfo& HitInfo);
    virtual void HandleMouseDown(TMessage& Message, const THitInfo& HitInfo);
    virtual void HandleMouseUp(TMessage& Message, const THitInfo& HitInfo);
    virtual bool HasPopupMenu(PVirtualNode Node, TColumnIndex Column, TPoint P);
    virtual void DoPopupMenu(PVirtualNode Node, TColumnIndex Column, TPoint P);
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void WMButtonDown(TMessage& Message, TMouseButton Button);
    void WMButtonUp(TMessage& Message, TMouseButton Button);
    void WMButtonDblClk(TMessage& Message, TMouseButton Button);
    void WMContextMenu(TMessage& Message);
    void WMCancelMode();
    void CMMouseLeave();
    // Answers whether the message set the cursor.
    bool WMSetCursor(TPoint P);

    // Hints.
    void CMHintShow(TMessage& Message);
    // Tooltips, and the first header hint, show without the pause.
    void CMHintShowPause(TMessage& Message);
    // The window class hints of this tree show in (VirtualTreesHintWindow.h).
    virtual const THintWindowClass* GetHintWindowClass();
    virtual WideString DoGetNodeHint(PVirtualNode Node, TColumnIndex Column,
                                     TVTTooltipLineBreakStyle& LineBreakStyle);
    virtual WideString DoGetNodeTooltip(PVirtualNode Node, TColumnIndex Column,
                                        TVTTooltipLineBreakStyle& LineBreakStyle);
    virtual THintAnimationType DoGetAnimationType();
    // The hint window's size for the current hint data; empty for none.
    TRect CalcHintRect(int MaxWidth);
    // Draws the hint of Data into Canvas (Width x Height).
    void PaintHint(TCanvas* Canvas, const TVTHintData& Data, int Width, int Height);

    // The window's other messages: tree-view queries, accessibility.
    void HandleTreeViewQuery(TMessage& Message);
    void WMGetObject(TMessage& Message);

    TVTLineMode FLineMode = lmNormal;
    TVTLineStyle FLineStyle = lsDotted;
    TVTButtonStyle FButtonStyle = bsRectangle;
    TVTButtonFillMode FButtonFillMode = fmTreeColor;
    std::unique_ptr<TBitmap> FBackground;
    std::unique_ptr<TBitmap> FPlusBM;
    std::unique_ptr<TBitmap> FMinusBM;
    std::vector<uint16_t> FLinePattern;
    // The line pattern coloured for the last pair of colours asked for.
    std::unique_ptr<TBitmap> FDottedBrush;
    TColor FDottedForeground = clNone;
    TColor FDottedBackground = clNone;
    TDropMode FLastDropMode = dmNowhere;
    // The bitmap PaintTree draws into at the moment, for blending.
    TBitmap* FLineBitmap = nullptr;
    bool FFontChanged = false;
    TNotifyEvent FOldFontChange;
    TVTHintData FHintData;
    TRect FLastHintRect;
    int FDragThreshold = 4;
    std::shared_ptr<class IAccessible> FAccessible;
    std::shared_ptr<class IAccessible> FAccessibleItem;
    // The window of the tree when it has one (VirtualTreesWindow.cpp).
    std::unique_ptr<IVTView> FWindowView;
    friend class TVTWindowView;
    friend class TVTAccessibilityFactory;
    friend class TVirtualTreeHintWindow;

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

    // Columns, header, scrolling, input and checks.
    void CreateParts();
    void OtherTimer(unsigned TimerID);
    PVirtualNode NodeAtAbsolute(int64_t Y, int64_t& NodeTop);
    bool CheckStateChange(PVirtualNode Node, TCheckState NewCheckState);
    PVirtualNode SearchStep(PVirtualNode Node, bool Forward);
    bool HandleCommandKey(uint16_t CharCode, TShiftState Shift);
    void HandleNavigationKey(uint16_t CharCode, TShiftState Shift);
    void DropKeyCheck();
    PVirtualNode NormalizedStart(PVirtualNode Node);
    void StopAutoScroll();
    void ResetSearch();

    // Animations (VirtualTreesAnimation.cpp).
    void RunAnimationStep();
    void AnimationTimerFired();
    void EndAnimation();
    // The tree's colour with each visible column's own over R (client coordinates).
    void FillColumnBackgrounds(TCanvas* Canvas, const TRect& R);
    void AnimateToggle(PVirtualNode Node, bool Expanding);
    void AnimateColumnResize(TColumnIndex Column, int NewWidth);
    struct TAnimationRun {
        TVTAnimationCallback Callback;
        int Steps = 0;
        int StepSize = 0;
        int RemainingSteps = 0;
        int Step = 0;
        int64_t RemainingTime = 0;
        int64_t StartTime = 0;
        // Tells a callback's caller that the run it called ended or was replaced.
        uint64_t Generation = 0;
    };
    TAnimationRun FAnimation;

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
    // The generation at which a sort of the top level filled the position
    // cache while relinking; another generation means it has not.
    uint64_t FLaidOutGeneration = UINT64_MAX;
    // The cache is built as far as queries reach: the valid entries a build
    // keeps (it goes on from the last of them), whether the entries reach the
    // last row, and the row (a position or a node) past which a build stops.
    size_t FStartIndex = 0;
    bool FCacheComplete = false;
    uint64_t FValidateUntil = UINT64_MAX;
    PVirtualNode FValidateUntilNode = nullptr;
    // The node whose children the last Sort ordered and found without
    // children of their own, so that SortTree need not walk them again.
    PVirtualNode FChildlessSorted = nullptr;

    // ---- Tree stream -------------------------------------------------------------------------

    // What a load builds apart before it replaces the tree's nodes.
    struct TNodeSet;
    void SwapNodeSet(TNodeSet& Other);
    void ReplaceFromImage(const TVTStreamImage& Image);
    void DiscardNodeSet(TNodeSet& Staged, const TNodeArray& Completed);
    size_t BuildFromImage(const TVTStreamImage& Image, size_t Record, PVirtualNode Node,
                          TNodeArray* Completed);
    size_t AddFromImage(const TVTStreamImage& Image, size_t Record, PVirtualNode Node, TNodeArray* Completed,
                        bool TakeSelection);
    void TakeOverLoadedSelection(PVirtualNode Node);
    void MoveToTree(PVirtualNode Source, PVirtualNode Target, TVTNodeAttachMode Mode, bool ChildrenOnly,
                    TBaseVirtualTree* TargetTree);

    // ---- Clipboard and drag and drop ---------------------------------------------------------

    uint32_t FTransferToken = 0;
    std::weak_ptr<IDataObject> FClipboardData;
    // The nodes of an OLE drag started here; a node moved or freed meanwhile
    // leaves it, so that deleting them after a move never meets one twice.
    TNodeArray FDragSelection;
    void DropFromDragSelection(PVirtualNode Node);
    std::shared_ptr<TVTDragManager> FDragManager;
    std::shared_ptr<TVTDragImage> FDragImage;
    std::shared_ptr<IVTEditLink> FEditLink;
    // Cancels the running edit, whose node goes: it is never applied to a freed node.
    void AbandonEdit();
    TColumnIndex FEditColumn = NoColumn;
    bool FDropRegistered = false;
    TShiftState DragShiftState(unsigned KeyState) const;
    TPoint ScreenToTreeClient(TPoint Screen) const;
};

// The property objects the tree owns, declared in their own units.
#include "controls/vtree/VirtualTreesColors.h"
#include "controls/vtree/VirtualTreesColumns.h"
#include "controls/vtree/VirtualTreesHeader.h"
