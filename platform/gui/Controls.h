// Controls: the message records the layer delivers, and the control classes
// that receive them. A windowed control makes its Qt widget on first need;
// the layer turns the widget's events into message records and hands them
// to the control's WndProc, so controls handle them as the platform's
// controls did. Until then a control holds children, takes properties and
// runs its model without any window.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/canvas/Graphics.h"

class QWidget;
class TWinControl;
struct TWindowScrollBars;
class TCustomForm;
class TBasicAction;
class TPopupMenu;

using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

struct TMessage {
    unsigned Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// A parameter packs two 16-bit words: the low one and the high one.
constexpr uint32_t LowWordMask = 0xFFFF;
constexpr int HighWordShift = 16;
inline LPARAM MAKELPARAM(int Lo, int Hi) {
    return LPARAM(uint32_t(uint16_t(Lo)) | uint32_t(uint16_t(Hi)) << HighWordShift);
}
inline int16_t LoWordSigned(LPARAM L) {
    return int16_t(uint16_t(uint32_t(L) & LowWordMask));
}
inline int16_t HiWordSigned(LPARAM L) {
    return int16_t(uint16_t(uint32_t(L) >> HighWordShift));
}
inline WPARAM MAKEWPARAM(int Lo, int Hi) {
    return WPARAM(uint32_t(MAKELPARAM(Lo, Hi)));
}

// Raises the list error for an index outside a list the layer keeps, as the
// platform's lists do, rather than a bare library exception.
[[noreturn]] void RaiseListIndexError(int Index);
template <class T> const T& ListItem(const std::vector<T>& List, int Index) {
    if (Index < 0 || Index >= int(List.size())) RaiseListIndexError(Index);
    return List[std::size_t(Index)];
}

// Window messages the layer delivers. WM_PAINT and WM_ERASEBKGND carry the
// TCanvas to paint on in WParam; WM_SETFOCUS and WM_KILLFOCUS name the other
// control (a TWinControl*, or none) in WParam.
constexpr unsigned WM_SIZE = 0x0005;
constexpr unsigned WM_SETFOCUS = 0x0007;
constexpr unsigned WM_KILLFOCUS = 0x0008;
constexpr unsigned WM_ENABLE = 0x000A;
constexpr unsigned WM_PAINT = 0x000F;
constexpr unsigned WM_CLOSE = 0x0010;
constexpr unsigned WM_ERASEBKGND = 0x0014;
constexpr unsigned WM_SYSCOLORCHANGE = 0x0015;
constexpr unsigned WM_CANCELMODE = 0x001F;
constexpr unsigned WM_MOUSEACTIVATE = 0x0021;
constexpr unsigned WM_GETDLGCODE = 0x0087;
constexpr unsigned WM_NCHITTEST = 0x0084;
constexpr unsigned WM_NCPAINT = 0x0085;
// A context-menu request, sent once a right-button release or the menu key
// (or Shift+F10) has been handled: WParam the control, LParam the screen
// point, or -1 in both words from the keyboard. The default handling pops up
// the pop-up menu of the control or of its nearest parent that has one.
constexpr unsigned WM_CONTEXTMENU = 0x007B;
constexpr unsigned WM_KEYFIRST = 0x0100;
constexpr unsigned WM_KEYDOWN = 0x0100;
constexpr unsigned WM_KEYUP = 0x0101;
constexpr unsigned WM_CHAR = 0x0102;
constexpr unsigned WM_SYSKEYDOWN = 0x0104;
constexpr unsigned WM_SYSCHAR = 0x0106;
constexpr unsigned WM_KEYLAST = 0x0109;
constexpr unsigned WM_TIMER = 0x0113;
constexpr unsigned WM_MOUSEFIRST = 0x0200;
constexpr unsigned WM_MOUSEMOVE = 0x0200;
constexpr unsigned WM_LBUTTONDOWN = 0x0201;
constexpr unsigned WM_LBUTTONUP = 0x0202;
constexpr unsigned WM_LBUTTONDBLCLK = 0x0203;
constexpr unsigned WM_RBUTTONDOWN = 0x0204;
constexpr unsigned WM_RBUTTONUP = 0x0205;
constexpr unsigned WM_RBUTTONDBLCLK = 0x0206;
constexpr unsigned WM_MBUTTONDOWN = 0x0207;
constexpr unsigned WM_MBUTTONUP = 0x0208;
constexpr unsigned WM_MBUTTONDBLCLK = 0x0209;
constexpr unsigned WM_MOUSEWHEEL = 0x020A;
constexpr unsigned WM_MOUSELAST = 0x020A;
constexpr unsigned WM_CUT = 0x0300;
constexpr unsigned WM_COPY = 0x0301;
constexpr unsigned WM_PASTE = 0x0302;
constexpr unsigned WM_CLEAR = 0x0303;
constexpr unsigned WM_UNDO = 0x0304;
constexpr unsigned WM_CHANGEUISTATE = 0x0127;
constexpr unsigned EM_UNDO = 0x00C7;

constexpr unsigned CM_BASE = 0xB000;
constexpr unsigned CM_ACTIVATE = CM_BASE + 0;
constexpr unsigned CM_DEACTIVATE = CM_BASE + 1;
constexpr unsigned CM_DIALOGKEY = CM_BASE + 5;
constexpr unsigned CM_DIALOGCHAR = CM_BASE + 6;
constexpr unsigned CM_FOCUSCHANGED = CM_BASE + 7;
constexpr unsigned CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr unsigned CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr unsigned CM_HITTEST = CM_BASE + 10;
constexpr unsigned CM_VISIBLECHANGED = CM_BASE + 11;
constexpr unsigned CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr unsigned CM_COLORCHANGED = CM_BASE + 13;
constexpr unsigned CM_FONTCHANGED = CM_BASE + 14;
constexpr unsigned CM_CURSORCHANGED = CM_BASE + 15;
// The system colours changed: every control hears it, its children after it,
// and is painted again.
constexpr unsigned CM_SYSCOLORCHANGE = CM_BASE + 16;
constexpr unsigned CM_TEXTCHANGED = CM_BASE + 18;
constexpr unsigned CM_MOUSEENTER = CM_BASE + 19;
constexpr unsigned CM_MOUSELEAVE = CM_BASE + 20;
constexpr unsigned CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr unsigned CM_SHOWHINTCHANGED = CM_BASE + 34;
constexpr unsigned CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
constexpr unsigned CM_CONTROLLISTCHANGE = CM_BASE + 44;
constexpr unsigned CM_HINTSHOW = CM_BASE + 48;
constexpr unsigned CM_CONTROLCHANGE = CM_BASE + 54;
// A window's size limits (WM_GETMINMAXINFO, LParam a TMinMaxInfo*): the form
// fills in its own before asking, and keeps what the handlers leave.
constexpr unsigned WM_GETMINMAXINFO = 0x0024;
struct TMinMaxInfo {
    TPoint ptReserved;
    TPoint ptMaxSize;
    TPoint ptMaxPosition;
    TPoint ptMinTrackSize;
    TPoint ptMaxTrackSize;
};
// Window commands (WParam of WM_SYSCOMMAND) and the system menu's popup.
constexpr unsigned WM_SYSCOMMAND = 0x0112;
constexpr unsigned WM_INITMENUPOPUP = 0x0117;
constexpr unsigned SC_SIZE = 0xF000;
constexpr unsigned SC_MINIMIZE = 0xF020;
constexpr unsigned SC_MAXIMIZE = 0xF030;
constexpr unsigned SC_RESTORE = 0xF120;
// Reflected scroll messages of a control that scrolls itself.
constexpr unsigned CN_BASE = 0xBC00;
constexpr unsigned CN_VSCROLL = CN_BASE + 0x0115;
constexpr unsigned CN_HSCROLL = CN_BASE + 0x0114;

// WM_GETDLGCODE answers.
constexpr unsigned DLGC_WANTARROWS = 0x1;
constexpr unsigned DLGC_WANTTAB = 0x2;
constexpr unsigned DLGC_WANTALLKEYS = 0x4;
constexpr unsigned DLGC_HASSETSEL = 0x8;
constexpr unsigned DLGC_WANTCHARS = 0x80;
constexpr unsigned DLGC_BUTTON = 0x2000;

// Mouse key flags of mouse messages (WParam).
constexpr unsigned MK_LBUTTON = 0x1;
constexpr unsigned MK_RBUTTON = 0x2;
constexpr unsigned MK_SHIFT = 0x4;
constexpr unsigned MK_CONTROL = 0x8;
constexpr unsigned MK_MBUTTON = 0x10;

// Key data (LParam of key messages): the Alt key was down.
constexpr LPARAM AltMask = 0x20000000;

constexpr unsigned MA_ACTIVATE = 1;
constexpr unsigned MA_NOACTIVATE = 3;
constexpr int HTCLIENT = 1;

// Virtual key codes.
constexpr uint16_t VK_BACK = 0x08;
constexpr uint16_t VK_TAB = 0x09;
constexpr uint16_t VK_RETURN = 0x0D;
constexpr uint16_t VK_SHIFT = 0x10;
constexpr uint16_t VK_CONTROL = 0x11;
constexpr uint16_t VK_MENU = 0x12;
constexpr uint16_t VK_ESCAPE = 0x1B;
constexpr uint16_t VK_SPACE = 0x20;
constexpr uint16_t VK_PRIOR = 0x21;
constexpr uint16_t VK_NEXT = 0x22;
constexpr uint16_t VK_END = 0x23;
constexpr uint16_t VK_HOME = 0x24;
constexpr uint16_t VK_LEFT = 0x25;
constexpr uint16_t VK_UP = 0x26;
constexpr uint16_t VK_RIGHT = 0x27;
constexpr uint16_t VK_DOWN = 0x28;
constexpr uint16_t VK_INSERT = 0x2D;
constexpr uint16_t VK_DELETE = 0x2E;
constexpr uint16_t VK_F1 = 0x70;

// Input, scrolling, activation and cursor messages, and the keys of the
// numeric pad and of the punctuation keys.
constexpr unsigned WM_ACTIVATE = 0x0006;
constexpr unsigned WM_ACTIVATEAPP = 0x001C;
constexpr unsigned WM_SETCURSOR = 0x0020;
constexpr unsigned WM_UNICHAR = 0x0109;
constexpr unsigned WM_HSCROLL = 0x0114;
constexpr unsigned WM_VSCROLL = 0x0115;
constexpr unsigned WM_CAPTURECHANGED = 0x0215;
// The focus moves inside a form: OnEnter and OnExit come with these, not
// with the focus going to another window and back.
constexpr unsigned CM_ENTER = CM_BASE + 26;
constexpr unsigned CM_EXIT = CM_BASE + 27;
constexpr unsigned CM_HINTSHOWPAUSE = CM_BASE + 65;
constexpr unsigned CM_MOUSEWHEEL = CM_BASE + 67;
// Docking (Docking.cpp). CM_DOCKCLIENT: WParam a TDragDockObject*, LParam
// the drop point in the site's client coordinates. CM_UNDOCKCLIENT: WParam
// the new site (or nullptr), LParam the client; answered 1 when the client
// may leave. CM_DOCKNOTIFICATION, to a client's site: WParam the client,
// LParam the TMessage* the client got (its text or visibility changed).
constexpr unsigned CM_DOCKCLIENT = CM_BASE + 56;
constexpr unsigned CM_UNDOCKCLIENT = CM_BASE + 57;
constexpr unsigned CM_DOCKNOTIFICATION = CM_BASE + 66;

// WM_ACTIVATE's low word of WParam; LParam names the other form.
constexpr unsigned WA_INACTIVE = 0;
constexpr unsigned WA_ACTIVE = 1;
constexpr unsigned WA_CLICKACTIVE = 2;
// WM_UNICHAR's question whether the control takes Unicode characters.
constexpr WPARAM UNICODE_NOCHAR = 0xFFFF;
// One notch of the wheel; the wheel's setting of lines a notch that means
// a page a notch.
constexpr int WHEEL_DELTA = 120;
constexpr int WHEEL_PAGESCROLL = -1;
// Hit-test answers besides HTCLIENT.
constexpr int HTERROR = -2;
constexpr int HTTRANSPARENT = -1;
constexpr int HTNOWHERE = 0;
constexpr int HTHSCROLL = 6;
constexpr int HTVSCROLL = 7;
constexpr int HTBORDER = 18;
// The frame's edges and corners, from the left edge to the bottom-right
// corner.
constexpr int HTLEFT = 10;
constexpr int HTBOTTOMRIGHT = 17;

constexpr uint16_t VK_CLEAR = 0x0C;
constexpr uint16_t VK_PAUSE = 0x13;
constexpr uint16_t VK_CAPITAL = 0x14;
constexpr uint16_t VK_SNAPSHOT = 0x2C;
constexpr uint16_t VK_LWIN = 0x5B;
constexpr uint16_t VK_APPS = 0x5D;
constexpr uint16_t VK_NUMPAD0 = 0x60; // to VK_NUMPAD9 = 0x69
constexpr uint16_t VK_MULTIPLY = 0x6A;
constexpr uint16_t VK_ADD = 0x6B;
constexpr uint16_t VK_SUBTRACT = 0x6D;
constexpr uint16_t VK_DECIMAL = 0x6E;
constexpr uint16_t VK_DIVIDE = 0x6F;
constexpr uint16_t VK_F2 = 0x71;
constexpr uint16_t VK_F10 = 0x79;
constexpr uint16_t VK_NUMLOCK = 0x90;
constexpr uint16_t VK_SCROLL = 0x91;
constexpr uint16_t VK_OEM_1 = 0xBA; // ;:
constexpr uint16_t VK_OEM_PLUS = 0xBB;
constexpr uint16_t VK_OEM_COMMA = 0xBC;
constexpr uint16_t VK_OEM_MINUS = 0xBD;
constexpr uint16_t VK_OEM_PERIOD = 0xBE;
constexpr uint16_t VK_OEM_2 = 0xBF; // /?
constexpr uint16_t VK_OEM_3 = 0xC0; // `~
constexpr uint16_t VK_OEM_4 = 0xDB; // [{
constexpr uint16_t VK_OEM_5 = 0xDC; // backslash |
constexpr uint16_t VK_OEM_6 = 0xDD; // ]}
constexpr uint16_t VK_OEM_7 = 0xDE; // '"

// The keyboard's modifier state as the layer last saw it.
TShiftState GetShiftState();
void SetShiftState(TShiftState State); // the layer and tests set it
TShiftState KeyDataToShiftState(LPARAM KeyData);
TShiftState KeysToShiftState(unsigned Keys);
bool IsAccel(uint16_t Key, const AnsiString& Caption);

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
// Shared by the standard controls and the tree, so plain enums as the tree
// has always used them.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
// The frame of a control's window.
enum class TBorderStyle { bsNone, bsSingle };

// The edges of its parent a control keeps its distance to when the parent
// is resized; with neither edge of a direction it keeps its place in the
// middle.
enum TAnchorKind : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = unsigned;

constexpr TCursor crDefault = 0;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crVSplit = -15;
constexpr TCursor crNo = -18;
constexpr TCursor crHandPoint = -21;

enum TControlStyleFlag : unsigned {
    csAcceptsControls = 1u << 0,
    csCaptureMouse = 1u << 1,
    csClickEvents = 1u << 3,
    csFramed = 1u << 4,
    csSetCaption = 1u << 5,
    csOpaque = 1u << 6,
    csDoubleClicks = 1u << 7,
    csReplicatable = 1u << 13,
    csNoDesignVisible = 1u << 14,
    // The parent's painting shows where the control paints nothing; set
    // before its window is made.
    csParentBackground = 1u << 20,
    csNeedsBorderPaint = 1u << 21,
};
using TControlStyle = unsigned;

enum TControlStateFlag : unsigned {
    csLButtonDown = 1u << 0,
    csClicked = 1u << 1,
    csFocusing = 1u << 6,
    csCreating = 1u << 7,
    csAlignmentNeeded = 1u << 9,
};

class THintWindow;

// A hint window class: which window shows a hint, and how one is made
// (Hints.h has the layer's own).
struct THintWindowClass {
    AnsiString ClassName;
    THintWindow* (*Create)(TComponent* AOwner) = nullptr;
};

class TControl;

struct THintInfo {
    TControl* HintControl = nullptr;
    const THintWindowClass* HintWindowClass = nullptr;
    TPoint HintPos;
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    TRect CursorRect;
    TPoint CursorPos;
    int ReshowTimeout = 0;
    int HideTimeout = 0;
    AnsiString HintStr;
    void* HintData = nullptr;
};

using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, uint16_t& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TMouseWheelEvent = std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta,
                                            const TPoint& MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent =
    std::function<void(TObject* Sender, TShiftState Shift, const TPoint& MousePos, bool& Handled)>;

enum class TDragKind { dkDrag, dkDock };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };

// A control on its way to a dock site; the points and rectangles are in
// screen coordinates.
struct TDragDockObject {
    TControl* Control = nullptr;
    TWinControl* DragTarget = nullptr;
    TPoint DragPos;
    // Where the client will lie; the site under the mouse may change it.
    TRect DockRect;
    TAlign DropAlign = TAlign::alNone;
    TControl* DropOnControl = nullptr;
};

using TStartDockEvent = std::function<void(TObject* Sender)>;
using TEndDockEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TDockOverEvent = std::function<void(TObject* Sender, TDragDockObject& Source, int X, int Y,
                                          TDragState State, bool& Accept)>;
using TDockDropEvent = std::function<void(TObject* Sender, TDragDockObject& Source, int X, int Y)>;
using TUnDockEvent =
    std::function<void(TObject* Sender, TControl* Client, TWinControl* NewTarget, bool& Allow)>;
using TGetSiteInfoEvent = std::function<void(TObject* Sender, TControl* DockClient, TRect& InfluenceRect,
                                             TPoint MousePos, bool& CanDock)>;

// A control's message method.
using TWndMethod = std::function<void(TMessage& Message)>;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    // Message delivery: every message goes to WindowProc, which is WndProc
    // unless someone put another method in its place (keeping the one it
    // replaced to pass messages on to). WndProc passes it to Dispatch, whose
    // handlers end in DefaultHandler.
    LRESULT Perform(unsigned Msg, WPARAM WParam, LPARAM LParam);
    void SendMessageRecord(TMessage& Message);
    // The method in place now; an empty one stands for WndProc.
    TWndMethod WindowProc() const;
    void SetWindowProc(TWndMethod Value) { FWindowProc = std::move(Value); }
    virtual void WndProc(TMessage& Message);
    virtual void Dispatch(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);
    // Streaming (ControlsStreaming.cpp): a control read back joins its
    // reader parent first. Its published properties are its bounds.
    void ReadState(TReader& Reader) override;
    static const TClassInfo* ClassInfo();

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
    virtual TRect ClientRect() const { return {0, 0, FWidth, FHeight}; }
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }
    // Sizes the control so that its client area gets the size.
    void SetClientWidth(int Value) { SetWidth(FWidth - ClientWidth() + Value); }
    void SetClientHeight(int Value) { SetHeight(FHeight - ClientHeight() + Value); }
    // Screen position of the client area's origin.
    virtual TPoint ClientOrigin() const;
    TPoint ClientToScreen(const TPoint& P) const;
    TPoint ScreenToClient(const TPoint& P) const;

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors Value);
    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool Value);
    // Makes the control visible, and its parents bring it into view.
    void Show();
    void Hide() { SetVisible(false); }
    // Visible with every parent up to a shown window.
    virtual bool Showing() const;
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    const AnsiString& Caption() const { return FText; }
    void SetCaption(const AnsiString& Value) { SetText(Value); }
    const AnsiString& Text() const { return FText; }
    void SetText(const AnsiString& Value);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    const AnsiString& Hint() const { return FHint; }
    // The layer's hint machinery shows it; a windowed control's widget also
    // carries its short part as the tool tip that screen readers read.
    void SetHint(const AnsiString& Value);
    // Until set, a control shows hints as its parent does.
    bool ShowHint() const;
    void SetShowHint(bool Value);
    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
    unsigned ControlState() const { return FControlState; }
    void SetControlState(unsigned Value) { FControlState = Value; }

    virtual void Invalidate();
    void InvalidateRect(const TRect& R);
    void Repaint() { Invalidate(); }
    void BringToFront();
    // Paints this control and its children on Canvas with its top-left at
    // (X, Y): the same paint messages a window gets.
    virtual void PaintTo(TCanvas* Canvas, int X, int Y);

    // Actions (ActnList.cpp): a linked action gives the control its
    // caption, enabled state, hint and visibility, and a click runs it.
    TBasicAction* Action() const;
    void SetAction(TBasicAction* Value);
    // The control as the target of an action without a handler: true when
    // Action handles the control and was run or updated on it.
    virtual bool ExecuteAction(TBasicAction* Action);
    virtual bool UpdateAction(TBasicAction* Action);
    // The linked action changed (or was linked): a control that shows more
    // of an action than caption, enabled state, hint and visibility takes
    // it here.
    virtual void ActionChange(TObject* Sender, bool CheckDefaults) {
        (void)Sender;
        (void)CheckDefaults;
    }
    // The pop-up menu of a context-menu request over the control (Menus.cpp);
    // forgotten when the menu goes.
    TPopupMenu* PopupMenu() const;
    void SetPopupMenu(TPopupMenu* Value);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    // The wheel: WM_MOUSEWHEEL (WParam: mouse keys in the low word, the
    // signed delta in the high one; LParam: the screen point) becomes
    // CM_MOUSEWHEEL, which the control takes or passes to its parent.
    // MousePos is in screen coordinates.
    TMouseWheelEvent OnMouseWheel;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;
    // The control holds the mouse capture.
    bool MouseCapture() const;
    void SetMouseCapture(bool Value);

    // Docking (Docking.cpp). A control with DragKind dkDock is dragged to
    // a dock site; HostDockSite is the site it sits on, or nullptr.
    TDragKind DragKind() const { return FDragKind; }
    void SetDragKind(TDragKind Value) { FDragKind = Value; }
    TWinControl* HostDockSite() const { return FHostDockSite; }
    // Moves the control onto NewDockSite, or off its site when
    // NewDockSite is nullptr (it floats: no parent). False when its site
    // refused to let it go.
    bool ManualDock(TWinControl* NewDockSite, TControl* DropControl = nullptr,
                    TAlign ControlSide = TAlign::alNone);
    // A dock drag: it starts at once, or when the mouse has moved a few
    // pixels from where it was pressed; the mouse carries it while the
    // control holds the capture, and the release docks it onto the site
    // that accepted it. DragTo and EndDrag take screen points.
    void BeginDrag(bool Immediate);
    bool Dragging() const;
    void DragTo(const TPoint& ScreenPos);
    void EndDrag(bool Drop);
    TStartDockEvent OnStartDock;
    TEndDockEvent OnEndDock;

protected:
    // OnMouseWheel first; then one down or up call for every whole notch
    // the deltas add up to. True when the wheel was taken.
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, const TPoint& MousePos);
    virtual bool DoMouseWheelDown(TShiftState Shift, const TPoint& MousePos);
    virtual bool DoMouseWheelUp(TShiftState Shift, const TPoint& MousePos);
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void Resize();
    // Moves the control's own widget, when it has one, to its bounds.
    virtual void UpdateWidgetGeometry() {}

    TControlStyle FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    unsigned FControlState = 0;

private:
    void DoMouse(TMessage& Message, TMouseButton Button, bool Down, bool Double);
    void FontChanged();
    // Remembers the bounds and the parent's client size that anchors keep
    // the distances of.
    void UpdateAnchorRules();
    // Places the control for its anchors in a parent whose client area is
    // now ParentWidth x ParentHeight.
    void AnchorTo(int ParentWidth, int ParentHeight);

    // The site hears of a docked client's new text or visibility.
    void NotifyDockHost(TMessage& Message);
    // The mouse carries a dock drag; true when the message was the drag's.
    bool DragMessage(TMessage& Message);
    // Leaves the site the control sits on, when the site lets it go, for
    // Site at Dock (or no site when Site is nullptr).
    bool MoveToDockSite(TWinControl* Site, TDragDockObject* Dock);

    TWndMethod FWindowProc;
    TWinControl* FParent = nullptr;
    TWinControl* FHostDockSite = nullptr;
    TDragKind FDragKind = TDragKind::dkDrag;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TAlign FAlign = TAlign::alNone;
    TAnchors FAnchors = akLeft | akTop;
    TRect FAnchorBounds;
    TSize FAnchorParentSize;
    bool FAnchoring = false;
    bool FVisible = true;
    bool FEnabled = true;
    TColor FColor = clWindow;
    bool FParentColor = true;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    AnsiString FText;
    TCursor FCursor = crDefault;
    AnsiString FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    bool FSettingParentFont = false;
    int FWheelAccumulator = 0;

    friend class TWinControl;
    friend class TCustomForm;
};

// A windowed control: holds child controls, takes focus and keys, and owns
// a Qt widget once one is needed.
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

    // The controls inside that Root owns are written with this control.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

    int ControlCount() const { return int(FControls.size()); }
    TControl* Controls(int Index) const { return ListItem(FControls, Index); }
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    bool ContainsControl(TControl* Control) const;
    // The child at a client point (topmost first), or nullptr.
    TControl* ControlAtPos(const TPoint& P, bool AllowDisabled = false) const;
    // Sends Message to every child until one answers non-zero.
    void Broadcast(TMessage& Message);

    TPoint ClientOrigin() const override;
    bool Showing() const override;
    // Brings AControl into view (a page control shows its page); the
    // request goes up through the parents.
    virtual void ShowControl(TControl* AControl);
    // The client area that aligned children fill.
    virtual void AdjustClientRect(TRect& R) { (void)R; }
    void Realign();

    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value);
    // The place among the parent's windowed controls in the order Tab visits
    // them, from 0; a new control comes last. Setting it moves the control
    // there and the others after it along; a value past the end puts it
    // last. Without a parent the value waits for one.
    int TabOrder() const;
    void SetTabOrder(int Value);
    // The windowed controls inside, in the order the Tab key visits them:
    // by TabOrder, each followed by those inside it.
    std::vector<TWinControl*> TabOrderList() const;
    virtual bool CanFocus() const;
    virtual void SetFocus();
    bool Focused() const;

    void Invalidate() override;
    // Paints at once what waits to be painted.
    void Update();
    // The client area leaves out the visible scroll bars (ScrollBars.h).
    TRect ClientRect() const override;
    void PaintTo(TCanvas* Canvas, int X, int Y) override;
    // Redraw switched off: paints are skipped until it is switched on again.
    void SetRedraw(bool Value);
    bool Redraw() const { return FRedraw; }

    // Docking (Docking.cpp): controls dragged or docked onto a dock site.
    bool DockSite() const { return FDockSite; }
    void SetDockSite(bool Value) { FDockSite = Value; }
    int DockClientCount() const { return int(FDockClients.size()); }
    TControl* DockClients(int Index) const { return ListItem(FDockClients, Index); }
    TDockOverEvent OnDockOver;
    TDockDropEvent OnDockDrop;
    TUnDockEvent OnUnDock;
    TGetSiteInfoEvent OnGetSiteInfo;
    // The dock protocol. GetSiteInfo: whether Client may dock here and the
    // screen area where a drop counts. DockOver: the dragged client over
    // the site (Source.DockRect may be changed). DockDrop, run by
    // CM_DOCKCLIENT: DoAddDockClient puts the client on the site, then
    // OnDockDrop. DoUnDock asks OnUnDock whether a client may leave;
    // DoRemoveDockClient runs once it has left.
    virtual void GetSiteInfo(TControl* Client, TRect& InfluenceRect, TPoint MousePos, bool& CanDock);
    virtual void DockOver(TDragDockObject& Source, int X, int Y, TDragState State, bool& Accept);
    virtual void DockDrop(TDragDockObject& Source, int X, int Y);
    virtual void DoAddDockClient(TControl* Client, const TRect& ARect);
    virtual bool DoUnDock(TWinControl* NewTarget, TControl* Client);
    virtual void DoRemoveDockClient(TControl* Client);

    // The control's Qt widget. Asking for it makes it, with the widgets of
    // the parents and of every windowed child inside them: a window is one
    // tree of widgets. Showing a form asks for it.
    QWidget* Widget() const;
    bool HandleAllocated() const { return FWidget != nullptr; }
    void HandleNeeded() { (void)Widget(); }

    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

protected:
    // Makes the widget: the layer's own, painted through paint messages,
    // unless a standard control makes its Qt control.
    virtual QWidget* CreateWidget();
    // The new widget has the control's common state; a standard control
    // gives it the rest of its own.
    virtual void WidgetCreated() {}
    virtual void KeyDown(uint16_t& Key, TShiftState Shift);
    virtual void KeyUp(uint16_t& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    virtual void DoEnter();
    virtual void DoExit();
    // Paints the graphic children over this control's own painting.
    void PaintControls(TCanvas* Canvas);
    virtual void AlignControls(TRect& Rect);
    void UpdateWidgetGeometry() override;

private:
    void CreateWidgetTree();
    // Puts the existing widget into the parent's, at its place.
    void PlaceWidget();
    // The form that previews this control's keys, or nullptr.
    TWinControl* PreviewForm() const;
    // A Qt::FocusPolicy.
    int FocusPolicy() const;

    std::vector<TControl*> FControls;
    // The windowed children in tab order.
    std::vector<TWinControl*> FTabList;
    QWidget* FWidget = nullptr;
    bool FTabStop = false;
    bool FTabStopSet = false;
    int FTabOrder = -1;
    bool FRedraw = true;
    int FAligning = 0;
    bool FDockSite = false;
    std::vector<TControl*> FDockClients;
    // CM_DOCKCLIENT, CM_UNDOCKCLIENT and CM_DOCKNOTIFICATION.
    bool DockMessage(TMessage& Message);
    struct TScrollBarsDeleter {
        void operator()(TWindowScrollBars* Bars) const;
    };
    std::unique_ptr<TWindowScrollBars, TScrollBarsDeleter> FScrollBars;

    friend class TControl;
    friend class TLayerEvents;
    friend struct TScrollBarAccess;
};

// The canvas a self-painting control draws on: the paint's canvas while a
// paint message runs, a measuring canvas otherwise (drawing outside a paint
// is lost: windows repaint through paint messages only).
class TPaintCanvasHolder {
public:
    TCanvas* Canvas() const { return FPaintCanvas ? FPaintCanvas : FScratch->Canvas(); }
    // Runs Paint with PaintCanvas, set up with Control's font and colour, as
    // the canvas; the earlier one comes back however Paint ends.
    void PaintOn(TCanvas* PaintCanvas, const TControl* Control, const std::function<void()>& Paint);

private:
    std::unique_ptr<TBitmap> FScratch = std::make_unique<TBitmap>(1, 1);
    TCanvas* FPaintCanvas = nullptr;
};

// A windowed control that paints itself in Paint.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}
    void Dispatch(TMessage& Message) override;
    TCanvas* Canvas() const { return FCanvas.Canvas(); }

protected:
    virtual void Paint() {}

private:
    TPaintCanvasHolder FCanvas;
};

// A control without a window of its own: painted by its parent, mouse input
// routed to it by its parent.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}
    void Dispatch(TMessage& Message) override;
    TCanvas* Canvas() const { return FCanvas.Canvas(); }

protected:
    virtual void Paint() {}

private:
    TPaintCanvasHolder FCanvas;
};

// The mouse as the layer last saw it.
struct TMouse {
    // Screen coordinates of the cursor.
    TPoint CursorPos() const;
    void SetCursorPos(const TPoint& P);
    // The control under the cursor; enter and leave messages follow it.
    TControl* Control() const { return FControl; }
    void SetControl(TControl* Control);
    // Forgets a control that is going away.
    void Forget(TControl* Control);
    // Lines one wheel notch scrolls, as the desktop sets it; WHEEL_PAGESCROLL
    // for a page. A test sets its own value; SetWheelScrollLines(0) brings
    // back the desktop's.
    int WheelScrollLines() const;
    void SetWheelScrollLines(int Value) { FWheelScrollLines = Value; }

private:
    TPoint FCursorPos;
    TControl* FControl = nullptr;
    int FWheelScrollLines = 0;
};
extern TMouse Mouse;

// Mouse capture: while a control holds it, every mouse message of the
// program's windows goes to it, in its own client coordinates. The holder
// that loses it gets WM_CAPTURECHANGED (LParam: the new holder). A press
// captures the mouse for a control with csCaptureMouse until the buttons
// are released.
void SetCaptureControl(TControl* Control);
TControl* GetCaptureControl();
// The windowed control that holds the capture (a graphic holder's parent).
TWinControl* GetCapture();
// Answers the windowed control that held it before.
TWinControl* SetCapture(TWinControl* Control);
void ReleaseCapture();

// Runs Action at an event boundary: an exception goes to the application's
// top-level handler and never into the Qt event loop.
void CallAtEventBoundary(TObject* Sender, const std::function<void()>& Action);

// Delivers the message to Control once the event being handled has
// returned (the next time the event loop runs); dropped when Control is
// freed before.
void PostMessage(TControl* Control, unsigned Msg, WPARAM WParam, LPARAM LParam);

// Sends CM_SYSCOLORCHANGE to every form and every control inside; the layer
// calls it when the desktop's palette changes.
void NotifySysColorChange();

// The form that holds Control, or nullptr.
TCustomForm* GetParentForm(TControl* Control);

// Frees Component once the event being handled has returned (the next time
// the event loop runs); nothing happens when it is freed before.
void FreeAfterEvent(TComponent* Component);

// Follows a component and forgets it when it is freed, so that code after
// an event handler can tell whether the handler freed it.
class TComponentWatch : public TComponent {
public:
    explicit TComponentWatch(TComponent* Target);
    ~TComponentWatch() override;
    TComponent* Target() const { return FTarget; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TComponent* FTarget;
};
