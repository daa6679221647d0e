#include "platform/gui/Controls.h"

#include <QApplication>
#include <QEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWidget>
#include <algorithm>

#include "platform/gui/Forms.h"
#include "platform/gui/QtSupport.h"

namespace {
TShiftState gShiftState = 0;
// The graphic control that a mouse button went down on keeps the mouse
// until the button is released.
TControl* gCaptureControl = nullptr;
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

void TMouse::Forget(TControl* Control) {
    if (FControl == Control) FControl = nullptr;
    if (gCaptureControl == Control) gCaptureControl = nullptr;
}

void RaiseListIndexError(int Index) {
    throw EListError(Format("List index out of bounds (%d)", {Index}));
}

void CallAtEventBoundary(TObject* Sender, const std::function<void()>& Action) {
    try {
        Action();
    } catch (...) {
        try {
            Application->HandleException(Sender);
        } catch (...) {
            // The handler itself failed: nothing may reach the event loop.
        }
    }
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

void FreeAfterEvent(TComponent* Component) {
    if (!Component) return;
    EnsureQtApplication();
    auto watch = std::make_shared<TComponentWatch>(Component);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [watch] { delete watch->Target(); }, Qt::QueuedConnection);
}

// Qt side: one event translator per windowed control, and the widget that
// the layer's own controls paint on.

namespace {
Qt::CursorShape QtCursor(TCursor Cursor) {
    switch (Cursor) {
    case crCross:
        return Qt::CrossCursor;
    case crIBeam:
        return Qt::IBeamCursor;
    case crSizeNESW:
        return Qt::SizeBDiagCursor;
    case crSizeNS:
    case crVSplit:
        return Qt::SizeVerCursor;
    case crSizeNWSE:
        return Qt::SizeFDiagCursor;
    case crSizeWE:
    case crHSplit:
        return Qt::SizeHorCursor;
    case crHourGlass:
        return Qt::WaitCursor;
    case crNo:
    case crNoDrop:
        return Qt::ForbiddenCursor;
    case crHandPoint:
        return Qt::PointingHandCursor;
    default:
        return Qt::ArrowCursor;
    }
}

uint16_t VirtualKey(const QKeyEvent* E) {
    int k = E->key();
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return uint16_t('A' + (k - Qt::Key_A));
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return uint16_t('0' + (k - Qt::Key_0));
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return uint16_t(VK_F1 + (k - Qt::Key_F1));
    switch (k) {
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Shift:
        return VK_SHIFT;
    case Qt::Key_Control:
        return VK_CONTROL;
    case Qt::Key_Alt:
        return VK_MENU;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    default:
        return 0;
    }
}

TShiftState ShiftFromModifiers(Qt::KeyboardModifiers M) {
    TShiftState s = 0;
    if (M & Qt::ShiftModifier) s |= ssShift;
    if (M & Qt::ControlModifier) s |= ssCtrl;
    if (M & Qt::AltModifier) s |= ssAlt;
    return s;
}

unsigned MouseKeys(Qt::MouseButtons Buttons, Qt::KeyboardModifiers M) {
    unsigned k = 0;
    if (Buttons & Qt::LeftButton) k |= MK_LBUTTON;
    if (Buttons & Qt::RightButton) k |= MK_RBUTTON;
    if (Buttons & Qt::MiddleButton) k |= MK_MBUTTON;
    if (M & Qt::ShiftModifier) k |= MK_SHIFT;
    if (M & Qt::ControlModifier) k |= MK_CONTROL;
    return k;
}

// The widget of the layer's own windowed controls: painted through paint
// messages.
class TLayerWidget : public QWidget {
public:
    explicit TLayerWidget(TWinControl* Control) : FControl(Control) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAutoFillBackground(false);
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (!FControl->Redraw()) return;
        QPainter painter(this);
        TQtCanvas canvas(&painter);
        CallAtEventBoundary(FControl, [&] {
            FControl->Perform(WM_ERASEBKGND, WPARAM(static_cast<TCanvas*>(&canvas)), 0);
            FControl->Perform(WM_PAINT, WPARAM(static_cast<TCanvas*>(&canvas)), 0);
        });
    }

private:
    TWinControl* FControl;
};
} // namespace

// Turns the events of one control's widget into message records.
class TLayerEvents : public QObject {
public:
    TLayerEvents(TWinControl* Control, bool OwnWidget, QObject* Parent)
        : QObject(Parent), FControl(Control), FOwnWidget(OwnWidget) {}
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    bool Mouse(QMouseEvent* E, QEvent::Type Type);
    bool Key(QKeyEvent* E, bool Down);
    void Send(TControl* Target, unsigned Msg, WPARAM W, LPARAM L) {
        CallAtEventBoundary(Target, [&] { Target->Perform(Msg, W, L); });
    }

    TWinControl* FControl;
    bool FOwnWidget;
    bool FLastShowing = false;
    bool FInjecting = false;
};

bool TLayerEvents::Mouse(QMouseEvent* E, QEvent::Type Type) {
    QPoint local = E->position().toPoint();
    QPoint global = E->globalPosition().toPoint();
    ::Mouse.SetCursorPos({global.x(), global.y()});
    gShiftState = ShiftFromModifiers(E->modifiers());
    TControl* target = FControl;
    TPoint at{local.x(), local.y()};
    if (gCaptureControl && gCaptureControl->Parent() == FControl) {
        target = gCaptureControl;
    } else if (TControl* child = FControl->ControlAtPos(at); child && !dynamic_cast<TWinControl*>(child)) {
        target = child;
    }
    if (target != FControl) at = {at.X - target->Left(), at.Y - target->Top()};
    CallAtEventBoundary(target, [&] { ::Mouse.SetControl(target); });
    unsigned msg = WM_MOUSEMOVE;
    if (Type != QEvent::MouseMove) {
        bool down = Type != QEvent::MouseButtonRelease;
        bool dbl = Type == QEvent::MouseButtonDblClick;
        switch (E->button()) {
        case Qt::LeftButton:
            msg = dbl ? WM_LBUTTONDBLCLK : down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
            break;
        case Qt::RightButton:
            msg = dbl ? WM_RBUTTONDBLCLK : down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
            break;
        case Qt::MiddleButton:
            msg = dbl ? WM_MBUTTONDBLCLK : down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
            break;
        default:
            return false;
        }
        if (target != FControl) gCaptureControl = down ? target : nullptr;
    }
    if (!target->Enabled()) return FOwnWidget;
    Send(target, msg, MouseKeys(E->buttons(), E->modifiers()), MAKELPARAM(at.X, at.Y));
    return FOwnWidget;
}

bool TLayerEvents::Key(QKeyEvent* E, bool Down) {
    if (FInjecting) return false;
    gShiftState = ShiftFromModifiers(E->modifiers());
    uint16_t vk = VirtualKey(E);
    LPARAM keyData = (E->modifiers() & Qt::AltModifier) ? AltMask : 0;
    TControl* target = FControl;
    if (!Down) {
        if (vk) Send(target, WM_KEYUP, vk, keyData);
        return false;
    }
    bool handled = false;
    CallAtEventBoundary(target, [&] {
        // Keys the control does not want go to its form as dialog keys first.
        if (vk) {
            unsigned mask = 0;
            if (vk == VK_TAB)
                mask = DLGC_WANTTAB;
            else if (vk >= VK_LEFT && vk <= VK_DOWN)
                mask = DLGC_WANTARROWS;
            else if (vk == VK_RETURN || vk == VK_ESCAPE)
                mask = DLGC_WANTALLKEYS;
            if (mask && !(unsigned(target->Perform(WM_GETDLGCODE, 0, 0)) & mask)) {
                if (TCustomForm* form = GetParentForm(target);
                    form && form->Perform(CM_DIALOGKEY, vk, keyData) != 0) {
                    handled = true;
                    return;
                }
            }
            TMessage down{WM_KEYDOWN, vk, keyData, 0};
            target->WndProc(down);
            if (down.Result != 0) {
                handled = true;
                return;
            }
        }
        QString text = E->text();
        if (text.size() == 1 && text[0].unicode() >= 0x20) {
            AnsiString ch = FromQtString(text);
            unsigned char c = ch.empty() ? '?' : static_cast<unsigned char>(ch[0]);
            bool wantsChars = (unsigned(target->Perform(WM_GETDLGCODE, 0, 0)) & DLGC_WANTCHARS) != 0;
            if ((keyData & AltMask) || !wantsChars) {
                TCustomForm* form = GetParentForm(target);
                uint16_t accel = (keyData & AltMask) && vk ? vk : c;
                if (form && form->Perform(CM_DIALOGCHAR, accel, keyData) != 0) {
                    handled = true;
                    return;
                }
            }
            TMessage chr{WM_CHAR, c, keyData, 0};
            target->WndProc(chr);
            if (chr.Result == 1) {
                handled = true;
            } else if (chr.Result == 2 && !FOwnWidget) {
                // The control typed another character: the widget gets that one.
                handled = true;
                QString replaced = QtString(AnsiString(1, char(chr.WParam)));
                QKeyEvent other(QEvent::KeyPress, 0, E->modifiers(), replaced);
                FInjecting = true;
                QCoreApplication::sendEvent(FControl->Widget(), &other);
                FInjecting = false;
            }
        }
    });
    // Tab and arrows belong to the layer: Qt's own focus moves stay out.
    return handled || (FOwnWidget && (vk == VK_TAB));
}

bool TLayerEvents::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched != FControl->Widget()) return false;
    switch (Event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return Mouse(static_cast<QMouseEvent*>(Event), Event->type());
    case QEvent::Enter:
        CallAtEventBoundary(FControl, [&] { ::Mouse.SetControl(FControl); });
        return false;
    case QEvent::Leave:
        CallAtEventBoundary(FControl, [&] {
            TControl* current = ::Mouse.Control();
            if (current == FControl || (current && current->Parent() == FControl))
                ::Mouse.SetControl(nullptr);
        });
        return false;
    case QEvent::KeyPress:
        return Key(static_cast<QKeyEvent*>(Event), true);
    case QEvent::KeyRelease:
        return Key(static_cast<QKeyEvent*>(Event), false);
    case QEvent::FocusIn:
        CallAtEventBoundary(FControl, [&] {
            if (TCustomForm* form = GetParentForm(FControl); form && form != FControl)
                form->SetActiveControl(FControl);
        });
        return false;
    case QEvent::Resize:
    case QEvent::Move:
        if (FControl->Widget()->isWindow()) {
            QRect g = FControl->Widget()->geometry();
            if (g.x() != FControl->Left() || g.y() != FControl->Top() || g.width() != FControl->Width() ||
                g.height() != FControl->Height())
                CallAtEventBoundary(FControl,
                                    [&] { FControl->SetBounds(g.x(), g.y(), g.width(), g.height()); });
        }
        return false;
    case QEvent::Show:
    case QEvent::Hide: {
        bool showing = FControl->Widget()->isVisible();
        if (showing != FLastShowing) {
            FLastShowing = showing;
            Send(FControl, CM_SHOWINGCHANGED, 0, 0);
        }
        return false;
    }
    case QEvent::Close:
        if (FControl->Widget()->isWindow()) {
            Send(FControl, WM_CLOSE, 0, 0);
            Event->ignore();
            return true;
        }
        return false;
    case QEvent::ToolTip: {
        auto* help = static_cast<QHelpEvent*>(Event);
        THintInfo info;
        info.HintControl = FControl;
        info.HintStr = FControl->Hint();
        info.CursorPos = {help->pos().x(), help->pos().y()};
        info.HintColor = Application->HintColor();
        LRESULT refused = 0;
        CallAtEventBoundary(FControl, [&] { refused = FControl->Perform(CM_HINTSHOW, 0, LPARAM(&info)); });
        if (refused || info.HintStr.empty() || !FControl->ShowHint())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), QtString(info.HintStr), FControl->Widget());
        return true;
    }
    default:
        return false;
    }
}

// TControl

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), FFont(std::make_unique<TFont>()) {
    FFont->OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl() {
    Mouse.Forget(this);
    FFont->OnChange = nullptr;
    if (FParent) FParent->RemoveControl(this);
}

LRESULT TControl::Perform(unsigned Msg, WPARAM WParam, LPARAM LParam) {
    TMessage m{Msg, WParam, LParam, 0};
    WndProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage& Message) {
    Dispatch(Message);
}

void TControl::Dispatch(TMessage& Message) {
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
            FFont->Assign(FParent->Font());
            FSettingParentFont = false;
        }
        break;
    case CM_PARENTCOLORCHANGED:
        if (FParentColor && FParent) {
            SetColor(FParent->Color());
            FParentColor = true;
        }
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
    default:
        DefaultHandler(Message);
    }
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
    if (resized) {
        Perform(WM_SIZE, 0, MAKELPARAM(FWidth, FHeight));
        Resize();
    }
    if (FParent && FAlign != TAlign::alNone) FParent->Realign();
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
    if (auto* w = dynamic_cast<TWinControl*>(this); w && FParent)
        w->Widget()->setVisible(Value);
    else if (FParent)
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
    if (auto* w = dynamic_cast<TWinControl*>(this)) w->Widget()->setEnabled(Value);
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
            c->WndProc(m);
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
        w->Widget()->setFont(QtFont(FFont.get()));
        for (TControl* c : w->FControls)
            c->Perform(CM_PARENTFONTCHANGED, 0, 0);
    }
}

void TControl::SetText(const AnsiString& Value) {
    if (Value == FText) return;
    FText = Value;
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->Widget()->isWindow())
        w->Widget()->setWindowTitle(QtString(Value));
    Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetCursor(TCursor Value) {
    if (Value == FCursor) return;
    FCursor = Value;
    if (auto* w = dynamic_cast<TWinControl*>(this)) w->Widget()->setCursor(QtCursor(Value));
    Perform(CM_CURSORCHANGED, 0, 0);
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
        w->Widget()->update(QRect(R.Left, R.Top, R.Width(), R.Height()));
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
    if (auto* w = dynamic_cast<TWinControl*>(this)) w->Widget()->raise();
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

TWinControl::TWinControl(TComponent* AOwner) : TWinControl(AOwner, nullptr) {}

TWinControl::TWinControl(TComponent* AOwner, QWidget* Widget) : TControl(AOwner) {
    EnsureQtApplication();
    bool own = Widget == nullptr;
    FWidget = own ? new TLayerWidget(this) : Widget;
    FWidget->hide();
    FWidget->installEventFilter(new TLayerEvents(this, own, FWidget));
    FWidget->setFocusPolicy(Qt::NoFocus);
    FWidget->setFont(QtFont(Font()));
}

TWinControl::~TWinControl() {
    // Children first, newest first, as the platform frees them.
    while (!FControls.empty()) {
        TControl* child = FControls.back();
        delete child;
        if (!FControls.empty() && FControls.back() == child) FControls.pop_back();
    }
    if (TCustomForm* form = GetParentForm(this); form && form != this && form->ActiveControl() == this)
        form->SetActiveControl(nullptr);
    for (QObject* filter : FWidget->children())
        if (auto* f = dynamic_cast<TLayerEvents*>(filter)) FWidget->removeEventFilter(f);
    delete FWidget;
    FWidget = nullptr;
}

void TWinControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_KEYDOWN: {
        uint16_t key = uint16_t(Message.WParam);
        KeyDown(key, KeyDataToShiftState(Message.LParam));
        if (key == 0) Message.Result = 1;
        break;
    }
    case WM_KEYUP: {
        uint16_t key = uint16_t(Message.WParam);
        KeyUp(key, KeyDataToShiftState(Message.LParam));
        break;
    }
    case WM_CHAR: {
        // 1: the key was taken back; 2: it became the key in WParam.
        char key = char(Message.WParam);
        KeyPress(key);
        if (key == 0)
            Message.Result = 1;
        else if (key != char(Message.WParam))
            Message.WParam = static_cast<unsigned char>(key), Message.Result = 2;
        break;
    }
    case WM_SETFOCUS:
        DoEnter();
        break;
    case WM_KILLFOCUS:
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
    default:
        TControl::Dispatch(Message);
    }
}

void TWinControl::DefaultHandler(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
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
        w->FWidget->setParent(FWidget);
        w->UpdateWidgetGeometry();
        w->FWidget->setVisible(w->Visible());
    } else {
        AControl->Invalidate();
    }
    if (AControl->FParentFont) AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    if (AControl->FParentColor) AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
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
        c->WndProc(Message);
        if (Message.Result != 0) return;
    }
}

TPoint TWinControl::ClientOrigin() const {
    if (!Parent()) {
        QPoint p = FWidget->mapToGlobal(QPoint(0, 0));
        return FWidget->isVisible() ? TPoint{p.x(), p.y()} : TPoint{Left(), Top()};
    }
    return TControl::ClientOrigin();
}

bool TWinControl::Showing() const {
    return FWidget->isVisible();
}

void TWinControl::Realign() {
    if (FAligning) return;
    ++FAligning;
    try {
        TRect r = ClientRect();
        AdjustClientRect(r);
        AlignControls(r);
    } catch (...) {
        --FAligning;
        throw;
    }
    --FAligning;
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
}

void TWinControl::SetTabStop(bool Value) {
    FTabStop = Value;
    FWidget->setFocusPolicy(Value ? Qt::StrongFocus : Qt::ClickFocus);
}

std::vector<TWinControl*> TWinControl::TabOrderList() const {
    std::vector<TWinControl*> children;
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c)) children.push_back(w);
    std::stable_sort(children.begin(), children.end(),
                     [](TWinControl* a, TWinControl* b) { return a->TabOrder() < b->TabOrder(); });
    std::vector<TWinControl*> out;
    for (TWinControl* w : children) {
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
    FWidget->update();
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
    FWidget->setUpdatesEnabled(Value);
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
    if (FWidget) FWidget->setGeometry(Left(), Top(), Width(), Height());
}

// TPaintCanvasHolder

void TPaintCanvasHolder::PaintOn(TCanvas* PaintCanvas, const TControl* Control,
                                 const std::function<void()>& Paint) {
    struct TRestore {
        TCanvas*& Target;
        TCanvas* Value;
        ~TRestore() { Target = Value; }
    } restore{FPaintCanvas, FPaintCanvas};
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
