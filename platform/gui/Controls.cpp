// Controls: message dispatch, properties, children and alignment, focus,
// painting, and the Qt widget each windowed control makes on first need.
#include "platform/gui/Controls.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <algorithm>
#include <utility>

#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"
#include "platform/gui/QtEvents_p.h"
#include "platform/gui/QtSupport_p.h"
#include "platform/rtl/ScopeGuard.h"

namespace {
TShiftState gShiftState = 0;

// A hint's short part, as a tool tip.
QString QtHint(const AnsiString& Hint) {
    std::size_t bar = Hint.find('|');
    return QtString(bar == AnsiString::npos ? Hint : Hint.substr(0, bar));
}
} // namespace

TMouse Mouse;

TShiftState GetShiftState() {
    return gShiftState;
}
void SetShiftState(TShiftState State) {
    gShiftState = State;
}

TShiftState KeyDataToShiftState(LPARAM KeyData) {
    TShiftState s = gShiftState & (ssShift | ssCtrl);
    if (KeyData & AltMask) s |= ssAlt;
    return s;
}

TShiftState KeysToShiftState(unsigned Keys) {
    TShiftState s = 0;
    if (Keys & MK_SHIFT) s |= ssShift;
    if (Keys & MK_CONTROL) s |= ssCtrl;
    if (Keys & MK_LBUTTON) s |= ssLeft;
    if (Keys & MK_RBUTTON) s |= ssRight;
    if (Keys & MK_MBUTTON) s |= ssMiddle;
    if (gShiftState & ssAlt) s |= ssAlt;
    return s;
}

bool IsAccel(uint16_t Key, const AnsiString& Caption) {
    for (std::size_t i = 0; i + 1 < Caption.size(); ++i) {
        if (Caption[i] != '&') continue;
        if (Caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return AnsiUpperChar(Caption[i + 1]) == AnsiUpperChar(char(Key));
    }
    return false;
}

TPoint TMouse::CursorPos() const {
    return FCursorPos;
}
void TMouse::SetCursorPos(const TPoint& P) {
    FCursorPos = P;
}

void TMouse::SetControl(TControl* Control) {
    if (Control == FControl) return;
    TControl* old = FControl;
    FControl = Control;
    if (old) old->Perform(CM_MOUSELEAVE, 0, LPARAM(old));
    if (Control && FControl == Control) Control->Perform(CM_MOUSEENTER, 0, LPARAM(Control));
}

int TMouse::WheelScrollLines() const {
    if (FWheelScrollLines != 0) return FWheelScrollLines;
    // The desktop's setting; three lines, as desktops set it, without one.
    constexpr int DefaultWheelScrollLines = 3;
    return QApplication::instance() ? QApplication::wheelScrollLines() : DefaultWheelScrollLines;
}

void TMouse::Forget(TControl* Control) {
    if (FControl == Control) FControl = nullptr;
    ReleaseMouseCapture(Control);
}

void RaiseListIndexError(int Index) {
    throw EListError(Format("List index out of bounds (%d)", {Index}));
}

namespace {
// Tells the controls when Qt says the desktop's palette changed.
class TPaletteWatch : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* Watched, QEvent* Event) override {
        if (Watched == qApp && Event->type() == QEvent::ApplicationPaletteChange)
            CallAtEventBoundary(Application, [] { NotifySysColorChange(); });
        return false;
    }
};
} // namespace

void NotifySysColorChange() {
    // A form may go while it hears it; each windowed control passes it on.
    std::vector<std::unique_ptr<TComponentWatch>> forms;
    for (int i = 0; i < Screen->FormCount(); ++i)
        forms.push_back(std::make_unique<TComponentWatch>(Screen->Forms(i)));
    for (auto& form : forms)
        if (form->Target()) static_cast<TControl*>(form->Target())->Perform(CM_SYSCOLORCHANGE, 0, 0);
}

void WatchSystemColors() {
    static bool watching = false;
    if (watching || !qApp) return;
    watching = true;
    qApp->installEventFilter(new TPaletteWatch(qApp));
}

TCustomForm* GetParentForm(TControl* Control) {
    while (Control && Control->Parent())
        Control = Control->Parent();
    return dynamic_cast<TCustomForm*>(Control);
}

TComponentWatch::TComponentWatch(TComponent* Target) : TComponent(nullptr), FTarget(Target) {
    if (FTarget) FTarget->FreeNotification(this);
}

TComponentWatch::~TComponentWatch() {
    if (FTarget) FTarget->RemoveFreeNotification(this);
}

void TComponentWatch::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FTarget) FTarget = nullptr;
}

// TControl

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), FFont(std::make_unique<TFont>()) {
    FFont->OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl() {
    Mouse.Forget(this);
    if (Dragging()) EndDrag(false);
    if (FHostDockSite) std::erase(FHostDockSite->FDockClients, this);
    FFont->OnChange = nullptr;
    if (FParent) FParent->RemoveControl(this);
}

LRESULT TControl::Perform(unsigned Msg, WPARAM WParam, LPARAM LParam) {
    TMessage m{Msg, WParam, LParam, 0};
    SendMessageRecord(m);
    return m.Result;
}

void TControl::SendMessageRecord(TMessage& Message) {
    if (!FWindowProc) {
        WndProc(Message);
        return;
    }
    // A copy: the control may be freed while its message runs.
    TWndMethod method = FWindowProc;
    method(Message);
}

TWndMethod TControl::WindowProc() const {
    if (FWindowProc) return FWindowProc;
    auto* self = const_cast<TControl*>(this);
    return [self](TMessage& Message) { self->WndProc(Message); };
}

void TControl::WndProc(TMessage& Message) {
    if (FHostDockSite && (Message.Msg == CM_TEXTCHANGED || Message.Msg == CM_VISIBLECHANGED))
        NotifyDockHost(Message);
    Dispatch(Message);
}

void TControl::Dispatch(TMessage& Message) {
    if (DragMessage(Message)) return;
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
        DoMouse(Message, TMouseButton::mbLeft, true, false);
        break;
    case WM_LBUTTONDBLCLK:
        DoMouse(Message, TMouseButton::mbLeft, true, true);
        break;
    case WM_LBUTTONUP:
        DoMouse(Message, TMouseButton::mbLeft, false, false);
        break;
    case WM_RBUTTONDOWN:
        DoMouse(Message, TMouseButton::mbRight, true, false);
        break;
    case WM_RBUTTONDBLCLK:
        DoMouse(Message, TMouseButton::mbRight, true, true);
        break;
    case WM_RBUTTONUP:
        DoMouse(Message, TMouseButton::mbRight, false, false);
        break;
    case WM_MBUTTONDOWN:
        DoMouse(Message, TMouseButton::mbMiddle, true, false);
        break;
    case WM_MBUTTONDBLCLK:
        DoMouse(Message, TMouseButton::mbMiddle, true, true);
        break;
    case WM_MBUTTONUP:
        DoMouse(Message, TMouseButton::mbMiddle, false, false);
        break;
    case WM_MOUSEMOVE:
        MouseMove(KeysToShiftState(unsigned(Message.WParam)), LoWordSigned(Message.LParam),
                  HiWordSigned(Message.LParam));
        break;
    case CM_PARENTFONTCHANGED:
        if (FParentFont && FParent) {
            FSettingParentFont = true;
            TScopeGuard done([this] { FSettingParentFont = false; });
            FFont->Assign(FParent->Font());
        }
        break;
    case CM_PARENTCOLORCHANGED:
        if (FParentColor && FParent) {
            SetColor(FParent->Color());
            FParentColor = true;
        }
        break;
    case CM_CURSORCHANGED:
        CursorChanged(this);
        break;
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
        Invalidate();
        break;
    case CM_HITTEST:
        Message.Result = HTCLIENT;
        break;
    case WM_MOUSEWHEEL:
        Message.Result = Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam);
        break;
    case CM_MOUSEWHEEL: {
        TShiftState shift = KeysToShiftState(unsigned(Message.WParam) & LowWordMask);
        int delta = HiWordSigned(LPARAM(Message.WParam));
        TPoint at{LoWordSigned(Message.LParam), HiWordSigned(Message.LParam)};
        if (DoMouseWheel(shift, delta, at))
            Message.Result = 1;
        else if (FParent)
            Message.Result = FParent->Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam);
        break;
    }
    case WM_CONTEXTMENU: {
        TPoint at{LoWordSigned(Message.LParam), HiWordSigned(Message.LParam)};
        // Asked from the keyboard: at the control's top-left corner.
        if (at.X == -1 && at.Y == -1) at = ClientToScreen({0, 0});
        Message.Result = PopupContextMenu(this, at) ? 1 : 0;
        break;
    }
    case WM_CANCELMODE:
        // A press cut short ends outside the control: no click.
        if (MouseCapture()) {
            ReleaseCapture();
            if (FControlState & csLButtonDown) Perform(WM_LBUTTONUP, 0, MAKELPARAM(-1, -1));
        } else {
            FControlState &= ~csLButtonDown;
        }
        break;
    default:
        DefaultHandler(Message);
    }
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, const TPoint& MousePos) {
    bool handled = false;
    if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
    if (handled) return true;
    // Fine-grained wheels send parts of a notch: they add up to whole ones.
    FWheelAccumulator += WheelDelta;
    while (FWheelAccumulator <= -WHEEL_DELTA || FWheelAccumulator >= WHEEL_DELTA) {
        bool down = FWheelAccumulator < 0;
        FWheelAccumulator += down ? WHEEL_DELTA : -WHEEL_DELTA;
        handled = down ? DoMouseWheelDown(Shift, MousePos) : DoMouseWheelUp(Shift, MousePos);
    }
    return handled;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, const TPoint& MousePos) {
    bool handled = false;
    if (OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, handled);
    return handled;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, const TPoint& MousePos) {
    bool handled = false;
    if (OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, handled);
    return handled;
}

bool TControl::MouseCapture() const {
    return GetCaptureControl() == this;
}

void TControl::SetMouseCapture(bool Value) {
    if (Value)
        SetCaptureControl(this);
    else if (MouseCapture())
        ReleaseCapture();
}

void TControl::DefaultHandler(TMessage& Message) {
    (void)Message;
}

void TControl::DoMouse(TMessage& Message, TMouseButton Button, bool Down, bool Double) {
    int x = LoWordSigned(Message.LParam), y = HiWordSigned(Message.LParam);
    TShiftState shift = KeysToShiftState(unsigned(Message.WParam));
    if (Double) shift |= ssDouble;
    if (Down) {
        if (Button == TMouseButton::mbLeft) FControlState |= csLButtonDown | csClicked;
        if (Double && Button == TMouseButton::mbLeft && (FControlStyle & csDoubleClicks)) DblClick();
        MouseDown(Button, shift, x, y);
        return;
    }
    bool clicked = Button == TMouseButton::mbLeft && (FControlState & csClicked);
    if (Button == TMouseButton::mbLeft) FControlState &= ~(csLButtonDown | csClicked);
    if (clicked && (FControlStyle & csClickEvents) && PtInRect(ClientRect(), {x, y})) Click();
    MouseUp(Button, shift, x, y);
}

void TControl::SetParent(TWinControl* AParent) {
    if (AParent == FParent) return;
    if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (FParent) FParent->RemoveControl(this);
    if (AParent) AParent->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    AWidth = std::max(0, AWidth);
    AHeight = std::max(0, AHeight);
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
    bool resized = AWidth != FWidth || AHeight != FHeight;
    if (FParent && !dynamic_cast<TWinControl*>(this)) FParent->InvalidateRect(BoundsRect());
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    UpdateWidgetGeometry();
    if (FParent && !dynamic_cast<TWinControl*>(this)) FParent->InvalidateRect(BoundsRect());
    if (!FAnchoring) UpdateAnchorRules();
    if (resized) {
        Perform(WM_SIZE, 0, MAKELPARAM(ClientWidth(), ClientHeight()));
        Resize();
    }
    if (FParent && FAlign != TAlign::alNone) FParent->Realign();
}

void TControl::SetAnchors(TAnchors Value) {
    FAnchors = Value;
    UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
    FAnchorBounds = BoundsRect();
    FAnchorParentSize = FParent ? TSize{FParent->ClientWidth(), FParent->ClientHeight()} : TSize{};
}

void TControl::AnchorTo(int ParentWidth, int ParentHeight) {
    if (FAlign != TAlign::alNone || FAnchors == (akLeft | akTop) || !FParent) return;
    int dx = ParentWidth - FAnchorParentSize.cx, dy = ParentHeight - FAnchorParentSize.cy;
    TRect r = FAnchorBounds;
    auto follow = [](int& Lo, int& Hi, bool LoEdge, bool HiEdge, int Delta) {
        if (LoEdge && HiEdge)
            Hi += Delta; // stretches with the parent
        else if (HiEdge)
            Lo += Delta, Hi += Delta;
        else if (!LoEdge)
            Lo += Delta / 2, Hi += Delta / 2; // keeps its place in the middle
    };
    follow(r.Left, r.Right, FAnchors & akLeft, FAnchors & akRight, dx);
    follow(r.Top, r.Bottom, FAnchors & akTop, FAnchors & akBottom, dy);
    FAnchoring = true;
    TScopeGuard done([this] { FAnchoring = false; });
    SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

TPoint TControl::ClientOrigin() const {
    if (!FParent) return {FLeft, FTop};
    TPoint p = FParent->ClientOrigin();
    return {p.X + FLeft, p.Y + FTop};
}

TPoint TControl::ClientToScreen(const TPoint& P) const {
    TPoint o = ClientOrigin();
    return {P.X + o.X, P.Y + o.Y};
}

TPoint TControl::ScreenToClient(const TPoint& P) const {
    TPoint o = ClientOrigin();
    return {P.X - o.X, P.Y - o.Y};
}

void TControl::SetAlign(TAlign Value) {
    if (Value == FAlign) return;
    FAlign = Value;
    if (FParent) FParent->Realign();
}

void TControl::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    if (auto* w = dynamic_cast<TWinControl*>(this); w && FParent) {
        if (w->FWidget) w->FWidget->setVisible(Value);
    } else if (FParent)
        FParent->InvalidateRect(BoundsRect());
    Perform(CM_VISIBLECHANGED, Value, 0);
    if (FParent) FParent->Realign();
}

void TControl::Show() {
    if (FParent) FParent->ShowControl(this);
    SetVisible(true);
}

bool TControl::Showing() const {
    return FVisible && FParent && FParent->Showing();
}

void TControl::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->FWidget) w->FWidget->setEnabled(Value);
    Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetColor(TColor Value) {
    FParentColor = false;
    if (Value == FColor) return;
    FColor = Value;
    Perform(CM_COLORCHANGED, 0, 0);
    if (auto* w = dynamic_cast<TWinControl*>(this)) {
        TMessage m{CM_PARENTCOLORCHANGED, 0, 0, 0};
        for (TControl* c : w->FControls)
            c->SendMessageRecord(m);
    }
}

void TControl::SetParentColor(bool Value) {
    FParentColor = Value;
    if (Value && FParent) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::SetParentFont(bool Value) {
    FParentFont = Value;
    if (Value && FParent) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::FontChanged() {
    if (!FSettingParentFont) FParentFont = false;
    Perform(CM_FONTCHANGED, 0, 0);
    if (auto* w = dynamic_cast<TWinControl*>(this)) {
        if (w->FWidget) w->FWidget->setFont(QtFont(FFont.get()));
        for (TControl* c : w->FControls)
            c->Perform(CM_PARENTFONTCHANGED, 0, 0);
    }
}

void TControl::SetText(const AnsiString& Value) {
    if (Value == FText) return;
    FText = Value;
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->FWidget && w->FWidget->isWindow())
        w->FWidget->setWindowTitle(QtString(Value));
    Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetCursor(TCursor Value) {
    if (Value == FCursor) return;
    FCursor = Value;
    Perform(CM_CURSORCHANGED, 0, 0);
}

void TControl::SetHint(const AnsiString& Value) {
    FHint = Value;
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->FWidget) w->FWidget->setToolTip(QtHint(Value));
}

bool TControl::ShowHint() const {
    return FParentShowHint && FParent ? FParent->ShowHint() : FShowHint;
}

void TControl::SetShowHint(bool Value) {
    FParentShowHint = false;
    if (Value == FShowHint) return;
    FShowHint = Value;
    Perform(CM_SHOWHINTCHANGED, 0, 0);
    if (auto* w = dynamic_cast<TWinControl*>(this)) {
        for (TControl* c : w->FControls)
            c->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    }
}

void TControl::Invalidate() {
    if (FParent) FParent->InvalidateRect(BoundsRect());
}

void TControl::InvalidateRect(const TRect& R) {
    if (auto* w = dynamic_cast<TWinControl*>(this)) {
        // Without a widget nothing is on screen: there is nothing to repaint.
        if (w->FWidget) w->FWidget->update(QRect(R.Left, R.Top, R.Width(), R.Height()));
        return;
    }
    if (FParent) {
        TRect r = R;
        OffsetRect(r, FLeft, FTop);
        FParent->InvalidateRect(r);
    }
}

void TControl::BringToFront() {
    if (!FParent) return;
    auto& list = FParent->FControls;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.push_back(this);
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->FWidget) w->FWidget->raise();
    Invalidate();
}

void TControl::PaintTo(TCanvas* Canvas, int X, int Y) {
    Canvas->SaveState();
    Canvas->MoveOrigin(X, Y);
    Canvas->IntersectClipRect({0, 0, FWidth, FHeight});
    Perform(WM_PAINT, WPARAM(Canvas), 0);
    Canvas->RestoreState();
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::Resize() {
    if (OnResize) OnResize(this);
}

// TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    for (TControl* client : FDockClients)
        client->FHostDockSite = nullptr;
    FDockClients.clear();
    // Children first, newest first, as the platform frees them.
    while (!FControls.empty()) {
        TControl* child = FControls.back();
        delete child;
        if (!FControls.empty() && FControls.back() == child) FControls.pop_back();
    }
    ForgetFocus(this);
    if (TCustomForm* form = GetParentForm(this); form && form != this && form->ActiveControl() == this)
        form->SetActiveControl(nullptr);
    if (FWidget) {
        StopTranslatingEvents(FWidget);
        delete FWidget;
        FWidget = nullptr;
    }
}

void TWinControl::Dispatch(TMessage& Message) {
    if (DockMessage(Message)) return;
    switch (Message.Msg) {
    case WM_KEYDOWN: {
        uint16_t key = uint16_t(Message.WParam);
        TShiftState shift = KeyDataToShiftState(Message.LParam);
        // A form with KeyPreview sees its controls' keys first and may change them.
        if (TWinControl* form = PreviewForm()) form->KeyDown(key, shift);
        if (key) KeyDown(key, shift);
        // A key taken, or changed into another, is not the widget's.
        if (key != uint16_t(Message.WParam)) Message.WParam = key, Message.Result = 1;
        break;
    }
    case WM_KEYUP: {
        uint16_t key = uint16_t(Message.WParam);
        TShiftState shift = KeyDataToShiftState(Message.LParam);
        if (TWinControl* form = PreviewForm()) form->KeyUp(key, shift);
        if (key) KeyUp(key, shift);
        break;
    }
    case WM_CHAR: {
        char key = char(Message.WParam);
        if (TWinControl* form = PreviewForm()) form->KeyPress(key);
        if (key) KeyPress(key);
        if (key == 0)
            Message.Result = CharTakenBack;
        else if (key != char(Message.WParam))
            Message.WParam = static_cast<unsigned char>(key), Message.Result = CharReplaced;
        break;
    }
    case CM_ENTER:
        DoEnter();
        break;
    case CM_EXIT:
        DoExit();
        break;
    case WM_SIZE:
        Realign();
        break;
    case WM_ERASEBKGND:
        if (auto* canvas = reinterpret_cast<TCanvas*>(Message.WParam)) {
            canvas->Brush()->SetColor(Color());
            canvas->FillRect(ClientRect());
        }
        Message.Result = 1;
        break;
    case WM_PAINT:
        if (auto* canvas = reinterpret_cast<TCanvas*>(Message.WParam)) PaintControls(canvas);
        break;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
        Broadcast(Message);
        break;
    case CM_SYSCOLORCHANGE: {
        // The children may go while they hear it.
        std::vector<TControl*> children = FControls;
        for (TControl* child : children)
            if (std::find(FControls.begin(), FControls.end(), child) != FControls.end())
                child->Perform(CM_SYSCOLORCHANGE, 0, 0);
        Invalidate();
        break;
    }
    case WM_SETCURSOR:
        // In the client area: the program's cursor, else that of the
        // graphic control under the mouse or this control's own.
        if (LoWordSigned(Message.LParam) == HTCLIENT) {
            TCursor cursor = Screen->Cursor();
            if (cursor == crDefault) {
                TControl* at = ControlAtPos(ScreenToClient(Mouse.CursorPos()));
                cursor = at && !dynamic_cast<TWinControl*>(at) ? at->Cursor() : Cursor();
            }
            if (cursor != crDefault) {
                ::SetCursor(Screen->Cursors(cursor));
                Message.Result = 1;
                break;
            }
        }
        DefaultHandler(Message);
        break;
    default:
        TControl::Dispatch(Message);
    }
}

void TWinControl::DefaultHandler(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = 0;
        break;
    case WM_NCHITTEST: {
        TPoint p = ScreenToClient({LoWordSigned(Message.LParam), HiWordSigned(Message.LParam)});
        if (ClientRect().Contains(p))
            Message.Result = HTCLIENT;
        else if (p.X >= ClientRect().Right && p.Y < ClientRect().Bottom)
            Message.Result = HTVSCROLL;
        else if (p.Y >= ClientRect().Bottom && p.X < ClientRect().Right)
            Message.Result = HTHSCROLL;
        else
            Message.Result = HTNOWHERE;
        break;
    }
    case WM_SETCURSOR:
        // The parent first; then the arrow in the client area.
        if (Parent() && Parent()->Perform(WM_SETCURSOR, Message.WParam, Message.LParam) != 0) {
            Message.Result = 1;
            break;
        }
        if (LoWordSigned(Message.LParam) == HTCLIENT) ::SetCursor(StandardCursor(crArrow));
        Message.Result = 0;
        break;
    default:
        TControl::DefaultHandler(Message);
    }
}

void TWinControl::InsertControl(TControl* AControl) {
    if (!AControl || AControl->FParent == this) return;
    Perform(CM_CONTROLLISTCHANGE, WPARAM(AControl), 1);
    FControls.push_back(AControl);
    AControl->FParent = this;
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
        FTabList.push_back(w);
        // A tab order chosen before the control had a parent.
        if (w->FTabOrder >= 0) w->SetTabOrder(std::exchange(w->FTabOrder, -1));
        // A child with a widget needs its parent's; a parent with a widget
        // makes or takes in the child's.
        if (FWidget && w->FWidget)
            w->PlaceWidget();
        else if (FWidget)
            w->CreateWidgetTree();
        else if (w->FWidget)
            CreateWidgetTree();
    } else {
        AControl->Invalidate();
    }
    if (AControl->FParentFont) AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    if (AControl->FParentColor) AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    AControl->UpdateAnchorRules();
    Realign();
    Perform(CM_CONTROLCHANGE, WPARAM(AControl), 1);
}

void TWinControl::RemoveControl(TControl* AControl) {
    if (std::find(FControls.begin(), FControls.end(), AControl) == FControls.end()) return;
    Perform(CM_CONTROLCHANGE, WPARAM(AControl), 0);
    // The notice's handler may have taken the control out already.
    auto it = std::find(FControls.begin(), FControls.end(), AControl);
    if (it == FControls.end()) return;
    if (!dynamic_cast<TWinControl*>(AControl)) AControl->Invalidate();
    FControls.erase(it);
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), AControl), FTabList.end());
    if (TCustomForm* form = GetParentForm(this)) {
        TWinControl* active = form->ActiveControl();
        if (active && (active == AControl || (dynamic_cast<TWinControl*>(AControl) &&
                                              static_cast<TWinControl*>(AControl)->ContainsControl(active))))
            form->SetActiveControl(nullptr);
    }
    AControl->FParent = nullptr;
    if (auto* w = dynamic_cast<TWinControl*>(AControl); w && w->FWidget) {
        w->FWidget->hide();
        w->FWidget->setParent(nullptr);
    }
    Realign();
    Perform(CM_CONTROLLISTCHANGE, WPARAM(AControl), 0);
}

void TWinControl::ShowControl(TControl*) {
    if (Parent()) Parent()->ShowControl(this);
}

bool TWinControl::ContainsControl(TControl* Control) const {
    for (TControl* c = Control; c; c = c->Parent())
        if (c == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(const TPoint& P, bool AllowDisabled) const {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (!c->Visible() || (!AllowDisabled && !c->Enabled())) continue;
        if (!c->BoundsRect().Contains(P)) continue;
        if (c->Perform(CM_HITTEST, 0, MAKELPARAM(P.X - c->Left(), P.Y - c->Top())) != 0) return c;
    }
    return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
    // A copy: a handler may change the list.
    std::vector<TControl*> children = FControls;
    for (TControl* c : children) {
        if (std::find(FControls.begin(), FControls.end(), c) == FControls.end()) continue;
        c->SendMessageRecord(Message);
        if (Message.Result != 0) return;
    }
}

TPoint TWinControl::ClientOrigin() const {
    if (!Parent()) {
        if (!FWidget || !FWidget->isVisible()) return {Left(), Top()};
        QPoint p = FWidget->mapToGlobal(QPoint(0, 0));
        return {p.x(), p.y()};
    }
    return TControl::ClientOrigin();
}

bool TWinControl::Showing() const {
    return FWidget && FWidget->isVisible();
}

void TWinControl::Realign() {
    if (FAligning) return;
    ++FAligning;
    TScopeGuard done([this] { --FAligning; });
    TRect r = ClientRect();
    AdjustClientRect(r);
    AlignControls(r);
}

void TWinControl::AlignControls(TRect& Rect) {
    const TAlign order[] = {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight,
                            TAlign::alClient};
    for (TAlign a : order) {
        for (TControl* c : std::vector<TControl*>(FControls)) {
            if (c->Align() != a || !c->Visible()) continue;
            switch (a) {
            case TAlign::alTop:
                c->SetBounds(Rect.Left, Rect.Top, Rect.Width(), c->Height());
                Rect.Top += c->Height();
                break;
            case TAlign::alBottom:
                c->SetBounds(Rect.Left, Rect.Bottom - c->Height(), Rect.Width(), c->Height());
                Rect.Bottom -= c->Height();
                break;
            case TAlign::alLeft:
                c->SetBounds(Rect.Left, Rect.Top, c->Width(), Rect.Height());
                Rect.Left += c->Width();
                break;
            case TAlign::alRight:
                c->SetBounds(Rect.Right - c->Width(), Rect.Top, c->Width(), Rect.Height());
                Rect.Right -= c->Width();
                break;
            default:
                c->SetBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
                break;
            }
        }
    }
    // The others keep the distances their anchors ask for.
    int w = ClientWidth(), h = ClientHeight();
    for (TControl* c : std::vector<TControl*>(FControls))
        c->AnchorTo(w, h);
}

TWinControl* TWinControl::PreviewForm() const {
    TCustomForm* form = GetParentForm(const_cast<TWinControl*>(this));
    return form && form != this && form->KeyPreview ? form : nullptr;
}

void TWinControl::SetTabStop(bool Value) {
    FTabStop = Value;
    FTabStopSet = true;
    if (FWidget) FWidget->setFocusPolicy(Qt::FocusPolicy(FocusPolicy()));
}

int TWinControl::TabOrder() const {
    if (!Parent()) return FTabOrder;
    const auto& list = Parent()->FTabList;
    return int(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int Value) {
    if (!Parent()) {
        FTabOrder = std::max(-1, Value);
        return;
    }
    auto& list = Parent()->FTabList;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    Value = std::clamp(Value, 0, int(list.size()));
    list.insert(list.begin() + Value, this);
}

std::vector<TWinControl*> TWinControl::TabOrderList() const {
    std::vector<TWinControl*> out;
    for (TWinControl* w : FTabList) {
        out.push_back(w);
        auto inner = w->TabOrderList();
        out.insert(out.end(), inner.begin(), inner.end());
    }
    return out;
}

bool TWinControl::CanFocus() const {
    TCustomForm* form = GetParentForm(const_cast<TWinControl*>(this));
    if (!form) return false;
    // The form itself may still be hidden: focus set now is kept for it.
    for (const TControl* c = this; c && c != form; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

void TWinControl::SetFocus() {
    TCustomForm* form = GetParentForm(this);
    if (!form) throw EInvalidOperation("Cannot focus a window without a form");
    if (form == this) return;
    form->SetActiveControl(this);
}

bool TWinControl::Focused() const {
    TCustomForm* form = GetParentForm(const_cast<TWinControl*>(this));
    return form && form->ActiveControl() == this;
}

void TWinControl::Invalidate() {
    if (FWidget) FWidget->update();
}

void TWinControl::Update() {
    // The pending paint of the window, now; nothing is pending off screen.
    if (!FWidget || !FWidget->isVisible()) return;
    QCoreApplication::sendPostedEvents(FWidget->window(), QEvent::UpdateRequest);
}

void TWinControl::PaintTo(TCanvas* Canvas, int X, int Y) {
    Canvas->SaveState();
    Canvas->MoveOrigin(X, Y);
    Canvas->IntersectClipRect({0, 0, Width(), Height()});
    Perform(WM_ERASEBKGND, WPARAM(Canvas), 0);
    Perform(WM_PAINT, WPARAM(Canvas), 0);
    Canvas->RestoreState();
    TPoint origin{X, Y};
    for (TControl* c : FControls) {
        auto* w = dynamic_cast<TWinControl*>(c);
        if (!w || !w->Visible()) continue;
        Canvas->SaveState();
        Canvas->MoveOrigin(origin.X, origin.Y);
        Canvas->IntersectClipRect({0, 0, Width(), Height()});
        w->PaintTo(Canvas, c->Left(), c->Top());
        Canvas->RestoreState();
    }
}

void TWinControl::SetRedraw(bool Value) {
    if (Value == FRedraw) return;
    FRedraw = Value;
    if (FWidget) FWidget->setUpdatesEnabled(Value);
}

void TWinControl::KeyDown(uint16_t& Key, TShiftState Shift) {
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(uint16_t& Key, TShiftState Shift) {
    if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key) {
    if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

void TWinControl::PaintControls(TCanvas* Canvas) {
    for (TControl* c : std::vector<TControl*>(FControls))
        if (!dynamic_cast<TWinControl*>(c) && c->Visible()) c->PaintTo(Canvas, c->Left(), c->Top());
}

void TWinControl::UpdateWidgetGeometry() {
    if (!FWidget) return;
    FWidget->setGeometry(Left(), Top(), Width(), Height());
    UpdateScrollBarWidgets(this);
}

// The widget, made on first need

QWidget* TWinControl::Widget() const {
    if (!FWidget) const_cast<TWinControl*>(this)->CreateWidgetTree();
    return FWidget;
}

QWidget* TWinControl::CreateWidget() {
    return NewLayerWidget(this);
}

int TWinControl::FocusPolicy() const {
    // A control that never chose takes no focus from Qt; one that did takes
    // it by Tab or by click only.
    if (!FTabStopSet) return Qt::NoFocus;
    return FTabStop ? Qt::StrongFocus : Qt::ClickFocus;
}

void TWinControl::CreateWidgetTree() {
    if (FWidget) return;
    // The parents' widgets first: making them makes this one, as a child.
    if (FParent && !FParent->FWidget) {
        FParent->CreateWidgetTree();
        return;
    }
    EnsureQtApplication();
    QWidget* widget = CreateWidget();
    widget->hide();
    FWidget = widget;
    TranslateEvents(this, widget, IsLayerWidget(widget));
    widget->setFocusPolicy(Qt::FocusPolicy(FocusPolicy()));
    widget->setFont(QtFont(Font()));
    widget->setEnabled(Enabled());
    if (!Hint().empty()) widget->setToolTip(QtHint(Hint()));
    if (!FRedraw) widget->setUpdatesEnabled(false);
    if (FParent)
        widget->setParent(FParent->FWidget);
    else
        widget->setWindowTitle(QtString(Text()));
    UpdateWidgetGeometry();
    WidgetCreated();
    UpdateScrollBarWidgets(this);
    if (Cursor() != crDefault) CursorChanged(this);
    for (TControl* c : std::vector<TControl*>(FControls)) {
        auto* w = dynamic_cast<TWinControl*>(c);
        if (!w) continue;
        if (w->FWidget)
            w->PlaceWidget();
        else
            w->CreateWidgetTree();
    }
    if (FParent) widget->setVisible(Visible());
}

void TWinControl::PlaceWidget() {
    FWidget->setParent(FParent->FWidget);
    UpdateWidgetGeometry();
    FWidget->setVisible(Visible());
}

// TPaintCanvasHolder

void TPaintCanvasHolder::PaintOn(TCanvas* PaintCanvas, const TControl* Control,
                                 const std::function<void()>& Paint) {
    TScopeGuard restore([this, earlier = FPaintCanvas] { FPaintCanvas = earlier; });
    FPaintCanvas = PaintCanvas;
    PaintCanvas->Font()->Assign(Control->Font());
    PaintCanvas->Brush()->SetColor(Control->Color());
    Paint();
}

// TCustomControl

void TCustomControl::Dispatch(TMessage& Message) {
    auto* canvas = reinterpret_cast<TCanvas*>(Message.WParam);
    if (Message.Msg != WM_PAINT || !canvas) {
        TWinControl::Dispatch(Message);
        return;
    }
    FCanvas.PaintOn(canvas, this, [&] {
        Paint();
        PaintControls(canvas);
    });
}

// TGraphicControl

void TGraphicControl::Dispatch(TMessage& Message) {
    auto* canvas = reinterpret_cast<TCanvas*>(Message.WParam);
    if (Message.Msg != WM_PAINT || !canvas) {
        TControl::Dispatch(Message);
        return;
    }
    FCanvas.PaintOn(canvas, this, [&] { Paint(); });
}
