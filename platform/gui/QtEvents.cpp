// Qt events become message records here: the translator on every windowed
// control's widget, the widget the layer's own controls paint on, and the
// event boundary that keeps exceptions out of Qt's event loop.
#include "platform/gui/QtEvents_p.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QWidget>
#include <algorithm>
#include <climits>
#include <memory>
#include <optional>

#include "platform/canvas/QtCanvas.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"
#include "platform/gui/QtSupport_p.h"
#include "platform/rtl/ScopeGuard.h"

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

void PostMessage(TControl* Control, unsigned Msg, WPARAM WParam, LPARAM LParam) {
    if (!Control) return;
    EnsureQtApplication();
    auto watch = std::make_shared<TComponentWatch>(Control);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [watch, Msg, WParam, LParam] {
            if (auto* target = static_cast<TControl*>(watch->Target()))
                CallAtEventBoundary(target, [&] { target->Perform(Msg, WParam, LParam); });
        },
        Qt::QueuedConnection);
}

void FreeAfterEvent(TComponent* Component) {
    if (!Component) return;
    EnsureQtApplication();
    auto watch = std::make_shared<TComponentWatch>(Component);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [watch] { delete watch->Target(); }, Qt::QueuedConnection);
}

namespace {
// The control that holds the mouse capture, and whether a press took it
// for the time the buttons are down.
TControl* gCaptureControl = nullptr;
bool gImplicitCapture = false;
void TakeCapture(TControl* Control, bool Grab);

// Only platforms with a window system grab the mouse; without one the
// layer's own routing is all there is.
bool PlatformGrabsMouse() {
    QString name = QGuiApplication::platformName();
    return name != QLatin1String("offscreen") && name != QLatin1String("minimal");
}

QWidget* CaptureWidget(TControl* Control) {
    auto* w = dynamic_cast<TWinControl*>(Control);
    if (!w) w = Control->Parent();
    return w && w->HandleAllocated() ? w->Widget() : nullptr;
}

// The Qt key of a moving key, which a control may turn another key into;
// 0 for the others.
int QtMovingKey(uint16_t Key) {
    switch (Key) {
    case VK_LEFT:
        return Qt::Key_Left;
    case VK_RIGHT:
        return Qt::Key_Right;
    case VK_UP:
        return Qt::Key_Up;
    case VK_DOWN:
        return Qt::Key_Down;
    case VK_HOME:
        return Qt::Key_Home;
    case VK_END:
        return Qt::Key_End;
    case VK_PRIOR:
        return Qt::Key_PageUp;
    case VK_NEXT:
        return Qt::Key_PageDown;
    default:
        return 0;
    }
}

// Characters below it, and DEL, are control characters: no accelerator.
constexpr char32_t FirstPrintable = 0x20;
constexpr char32_t DeleteChar = 0x7F;

// The keys of the Russian layout's letters, by the main keyboard's key each
// lies on: what a layout-independent key code needs.
constexpr char16_t FirstCyrillicCapital = 0x0410; // А
constexpr uint16_t CyrillicKeys[32] = {
    // А Б В Г Д Е Ж З И Й К Л М Н О П
    'F', VK_OEM_COMMA, 'D', 'U', 'L', 'T', VK_OEM_1, 'P', 'B', 'Q', 'R', 'K', 'V', 'Y', 'J', 'G',
    // Р С Т У Ф Х Ц Ч Ш Щ Ъ Ы Ь Э Ю Я
    'H', 'C', 'N', 'E', 'A', VK_OEM_4, 'W', 'X', 'I', 'O', VK_OEM_6, 'S', 'M', VK_OEM_7, VK_OEM_PERIOD, 'Z'};
constexpr char16_t CyrillicCapitalYo = 0x0401; // Ё

// The key code of a key as the platform numbers it, or 0 for a key it does
// not know. The numeric pad has codes of its own.
uint16_t VirtualKey(const QKeyEvent* E) {
    int k = E->key();
    if (E->modifiers() & Qt::KeypadModifier) {
        if (k >= Qt::Key_0 && k <= Qt::Key_9) return uint16_t(VK_NUMPAD0 + (k - Qt::Key_0));
        switch (k) {
        case Qt::Key_Asterisk:
            return VK_MULTIPLY;
        case Qt::Key_Plus:
            return VK_ADD;
        case Qt::Key_Minus:
            return VK_SUBTRACT;
        case Qt::Key_Slash:
            return VK_DIVIDE;
        case Qt::Key_Period:
        case Qt::Key_Comma:
            return VK_DECIMAL;
        default:
            break; // Enter and, without Num Lock, the moving keys
        }
    }
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return uint16_t('A' + (k - Qt::Key_A));
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return uint16_t('0' + (k - Qt::Key_0));
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return uint16_t(VK_F1 + (k - Qt::Key_F1));
    if (k >= FirstCyrillicCapital && k < FirstCyrillicCapital + 32)
        return CyrillicKeys[k - FirstCyrillicCapital];
    if (k == CyrillicCapitalYo) return VK_OEM_3;
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
    case Qt::Key_Clear:
        return VK_CLEAR;
    case Qt::Key_Pause:
        return VK_PAUSE;
    case Qt::Key_CapsLock:
        return VK_CAPITAL;
    case Qt::Key_NumLock:
        return VK_NUMLOCK;
    case Qt::Key_ScrollLock:
        return VK_SCROLL;
    case Qt::Key_Print:
        return VK_SNAPSHOT;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
        return VK_LWIN;
    case Qt::Key_Menu:
        return VK_APPS;
    // The punctuation keys, shifted or not, by the key they lie on.
    case Qt::Key_Semicolon:
    case Qt::Key_Colon:
        return VK_OEM_1;
    case Qt::Key_Equal:
    case Qt::Key_Plus:
        return VK_OEM_PLUS;
    case Qt::Key_Comma:
    case Qt::Key_Less:
        return VK_OEM_COMMA;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        return VK_OEM_MINUS;
    case Qt::Key_Period:
    case Qt::Key_Greater:
        return VK_OEM_PERIOD;
    case Qt::Key_Slash:
    case Qt::Key_Question:
        return VK_OEM_2;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde:
        return VK_OEM_3;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft:
        return VK_OEM_4;
    case Qt::Key_Backslash:
    case Qt::Key_Bar:
        return VK_OEM_5;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight:
        return VK_OEM_6;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
        return VK_OEM_7;
    case Qt::Key_Exclam:
        return '1';
    case Qt::Key_At:
        return '2';
    case Qt::Key_NumberSign:
        return '3';
    case Qt::Key_Dollar:
        return '4';
    case Qt::Key_Percent:
        return '5';
    case Qt::Key_AsciiCircum:
        return '6';
    case Qt::Key_Ampersand:
        return '7';
    case Qt::Key_Asterisk:
        return '8';
    case Qt::Key_ParenLeft:
        return '9';
    case Qt::Key_ParenRight:
        return '0';
    default:
        return 0;
    }
}

// The characters a key types, as the platform's character messages carry
// them: Backspace, Tab, Enter and Escape type their control characters,
// Ctrl with a letter types 1 to 26, and Delete types nothing.
std::u32string TypedCharacters(const QKeyEvent* E, uint16_t Vk) {
    bool ctrl = E->modifiers() & Qt::ControlModifier, alt = E->modifiers() & Qt::AltModifier;
    if (Vk == VK_DELETE || (Vk == VK_TAB && ctrl)) return {};
    if (ctrl && !alt && Vk >= 'A' && Vk <= 'Z') return std::u32string(1, char32_t(Vk - 'A' + 1));
    QString text = E->text();
    if (text.isEmpty()) {
        switch (Vk) {
        case VK_BACK:
        case VK_TAB:
        case VK_RETURN:
        case VK_ESCAPE:
            return std::u32string(1, char32_t(Vk));
        default:
            return {};
        }
    }
    return text.toStdU32String();
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
// messages. One whose control has csParentBackground lies on its parent's
// painting, which Qt paints first.
class TLayerWidget : public QWidget {
public:
    explicit TLayerWidget(TWinControl* Control) : FControl(Control) {
        if (!(Control->ControlStyle() & csParentBackground)) setAttribute(Qt::WA_OpaquePaintEvent);
        setAutoFillBackground(false);
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (!FControl->Redraw()) return;
        QPainter painter(this);
        // Scroll bars leave a smaller client area, and both a corner.
        TRect client = FControl->ClientRect();
        if (client.Right < width() && client.Bottom < height())
            painter.fillRect(client.Right, client.Bottom, width() - client.Right, height() - client.Bottom,
                             QtColor(clBtnFace));
        TQtCanvas canvas(&painter);
        if (client != TRect{0, 0, width(), height()}) canvas.IntersectClipRect(client);
        CallAtEventBoundary(FControl, [&] {
            FControl->Perform(WM_ERASEBKGND, WPARAM(static_cast<TCanvas*>(&canvas)), 0);
            FControl->Perform(WM_PAINT, WPARAM(static_cast<TCanvas*>(&canvas)), 0);
        });
    }

public:
    TWinControl* Control() const { return FControl; }

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
    bool Wheel(QWheelEvent* E);
    // Sends one typed character; true when the control took it.
    bool Char(QKeyEvent* E, char32_t Typed, LPARAM KeyData);
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
    SetShiftState(ShiftFromModifiers(E->modifiers()));
    // The control under the mouse: this one or a graphic child.
    TControl* under = FControl;
    if (TControl* child = FControl->ControlAtPos({local.x(), local.y()});
        child && !dynamic_cast<TWinControl*>(child))
        under = child;
    CallAtEventBoundary(under, [&] { ::Mouse.SetControl(under); });
    unsigned msg = WM_MOUSEMOVE;
    bool down = false;
    if (Type != QEvent::MouseMove) {
        down = Type != QEvent::MouseButtonRelease;
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
    }
    if (down)
        if (TCustomForm* form = GetParentForm(FControl))
            CallAtEventBoundary(form, [&] { form->ClickActivate(); });
    if (Type == QEvent::MouseMove && !gCaptureControl) AskCursor(FControl);
    CallAtEventBoundary(under, [&] {
        if (Type == QEvent::MouseMove)
            HintMouseMove(under);
        else
            HintInputMessage(msg);
    });
    if (down && !gCaptureControl && (under->ControlStyle() & csCaptureMouse) && under->Enabled()) {
        CallAtEventBoundary(under, [&] { TakeCapture(under, false); });
    }
    // The holder of the capture gets every message, wherever the mouse is.
    TControl* target = gCaptureControl ? gCaptureControl : under;
    TPoint at{local.x(), local.y()};
    if (target->Parent() == FControl)
        at = {at.X - target->Left(), at.Y - target->Top()};
    else if (target != FControl)
        at = target->ScreenToClient({global.x(), global.y()});
    // A right-button release asks for the context menu, when the control is
    // still there once it has handled the release.
    std::optional<TComponentWatch> watch;
    if (msg == WM_RBUTTONUP) watch.emplace(target);
    if (target->Enabled()) Send(target, msg, MouseKeys(E->buttons(), E->modifiers()), MAKELPARAM(at.X, at.Y));
    if (Type == QEvent::MouseButtonRelease && E->buttons() == Qt::NoButton && gImplicitCapture &&
        gCaptureControl)
        CallAtEventBoundary(gCaptureControl, [] { ReleaseCapture(); });
    if (watch && watch->Target() && target->Enabled())
        Send(target, WM_CONTEXTMENU, WPARAM(target), MAKELPARAM(global.x(), global.y()));
    // A message that went to the holder of the capture is not this widget's.
    return FOwnWidget || target != under;
}

bool TLayerEvents::Wheel(QWheelEvent* E) {
    // The wheel goes to the window under the mouse; a standard control
    // scrolls itself, and passes on what it leaves to its parent's widget.
    if (!FOwnWidget) return false;
    int delta = std::clamp(E->angleDelta().y(), int(INT16_MIN), int(INT16_MAX));
    if (delta == 0) return true;
    QPoint global = E->globalPosition().toPoint();
    ::Mouse.SetCursorPos({global.x(), global.y()});
    SetShiftState(ShiftFromModifiers(E->modifiers()));
    CallAtEventBoundary(FControl, [] { HintInputMessage(WM_MOUSEWHEEL); });
    Send(FControl, WM_MOUSEWHEEL, MAKEWPARAM(int(MouseKeys(E->buttons(), E->modifiers())), delta),
         MAKELPARAM(global.x(), global.y()));
    return true;
}

bool TLayerEvents::Key(QKeyEvent* E, bool Down) {
    if (FInjecting) return false;
    SetShiftState(ShiftFromModifiers(E->modifiers()));
    uint16_t vk = VirtualKey(E);
    LPARAM keyData = (E->modifiers() & Qt::AltModifier) ? AltMask : 0;
    TControl* target = FControl;
    if (!Down) {
        // A held key repeats its key-down alone, as on the platform: its one
        // key-up comes when it is let go.
        if (E->isAutoRepeat()) return FOwnWidget;
        if (vk) Send(target, WM_KEYUP, vk, keyData);
        // The menu key, and Shift+F10, ask for the context menu once released.
        if (vk == VK_APPS || (vk == VK_F10 && (E->modifiers() & Qt::ShiftModifier)))
            Send(target, WM_CONTEXTMENU, WPARAM(target), MAKELPARAM(-1, -1));
        return FOwnWidget;
    }
    bool handled = false;
    CallAtEventBoundary(target, [&] {
        HintInputMessage(WM_KEYDOWN);
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
            target->SendMessageRecord(down);
            if (down.Result != 0) {
                handled = true;
                // A key the control changed into a moving key moves in the widget.
                const int replaced = QtMovingKey(uint16_t(down.WParam));
                if (replaced && down.WParam != vk && !FOwnWidget) {
                    QKeyEvent other(QEvent::KeyPress, replaced, E->modifiers());
                    FInjecting = true;
                    TScopeGuard done([this] { FInjecting = false; });
                    QCoreApplication::sendEvent(FControl->FWidget, &other);
                }
                return;
            }
        }
        for (char32_t typed : TypedCharacters(E, vk))
            handled = Char(E, typed, keyData) || handled;
    });
    // The layer's own widget takes every key, as the focused window does:
    // none reaches the parent's widget, and Qt's own focus moves stay out.
    return handled || FOwnWidget;
}

bool TLayerEvents::Char(QKeyEvent* E, char32_t Typed, LPARAM KeyData) {
    TControl* target = FControl;
    bool control = Typed < FirstPrintable || Typed == DeleteChar;
    AnsiString ansi = FromQtString(QString::fromUcs4(&Typed, 1));
    unsigned char c = ansi.size() == 1 ? static_cast<unsigned char>(ansi[0]) : '?';
    // A character outside the code page goes whole to a control that takes
    // Unicode; the others get its "?".
    if (c == '?' && Typed != U'?' && target->Perform(WM_UNICHAR, UNICODE_NOCHAR, 0) != 0) {
        target->Perform(WM_UNICHAR, WPARAM(Typed), KeyData);
        return false;
    }
    if (!control) {
        bool wantsChars = (unsigned(target->Perform(WM_GETDLGCODE, 0, 0)) & DLGC_WANTCHARS) != 0;
        if ((KeyData & AltMask) || !wantsChars) {
            TCustomForm* form = GetParentForm(target);
            uint16_t vk = VirtualKey(E);
            uint16_t accel = (KeyData & AltMask) && vk ? vk : c;
            if (form && form->Perform(CM_DIALOGCHAR, accel, KeyData) != 0) return true;
        }
    }
    TMessage chr{WM_CHAR, c, KeyData, 0};
    target->SendMessageRecord(chr);
    if (chr.Result == CharTakenBack) return true;
    if (chr.Result == CharReplaced && !FOwnWidget) {
        // The control typed another character: the widget gets that one.
        QString replaced = QtString(AnsiString(1, char(chr.WParam)));
        QKeyEvent other(QEvent::KeyPress, 0, E->modifiers(), replaced);
        FInjecting = true;
        TScopeGuard done([this] { FInjecting = false; });
        QCoreApplication::sendEvent(FControl->FWidget, &other);
        return true;
    }
    return false;
}

bool TLayerEvents::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched != FControl->FWidget) return false;
    switch (Event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return Mouse(static_cast<QMouseEvent*>(Event), Event->type());
    case QEvent::Enter:
        CallAtEventBoundary(FControl, [&] {
            ::Mouse.SetControl(FControl);
            // A standard control may not report moves: its hint starts here.
            if (!FOwnWidget) HintMouseMove(FControl);
        });
        return false;
    case QEvent::Leave:
        CallAtEventBoundary(FControl, [&] {
            TControl* current = ::Mouse.Control();
            if (current == FControl || (current && current->Parent() == FControl))
                ::Mouse.SetControl(nullptr);
            // Out of the window: no hint of it stays.
            if (FControl->FWidget->isWindow()) Application->CancelHint();
        });
        return false;
    case QEvent::Wheel:
        return Wheel(static_cast<QWheelEvent*>(Event));
    case QEvent::KeyPress:
        return Key(static_cast<QKeyEvent*>(Event), true);
    case QEvent::KeyRelease:
        return Key(static_cast<QKeyEvent*>(Event), false);
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        if (auto* form = dynamic_cast<TCustomForm*>(FControl); form && FControl->FWidget->isWindow())
            CallAtEventBoundary(form, [&] {
                if (Event->type() == QEvent::WindowActivate)
                    FormWindowActivated(form);
                else
                    FormWindowDeactivated(form);
            });
        return false;
    case QEvent::FocusIn:
        CallAtEventBoundary(FControl, [&] {
            if (TCustomForm* form = GetParentForm(FControl); form && form != FControl)
                form->SetActiveControl(FControl);
        });
        return false;
    case QEvent::Resize:
    case QEvent::Move:
        if (FControl->FWidget->isWindow()) {
            QRect g = FControl->FWidget->geometry();
            if (g.x() != FControl->Left() || g.y() != FControl->Top() || g.width() != FControl->Width() ||
                g.height() != FControl->Height())
                CallAtEventBoundary(FControl,
                                    [&] { FControl->SetBounds(g.x(), g.y(), g.width(), g.height()); });
        }
        return false;
    case QEvent::WindowStateChange:
        if (auto* form = dynamic_cast<TCustomForm*>(FControl); form && FControl->FWidget->isWindow()) {
            Qt::WindowStates states = FControl->FWidget->windowState();
            TWindowState shown = states & Qt::WindowMinimized   ? TWindowState::wsMinimized
                                 : states & Qt::WindowMaximized ? TWindowState::wsMaximized
                                                                : TWindowState::wsNormal;
            CallAtEventBoundary(form, [&] { form->WindowStateShown(shown); });
        }
        return false;
    case QEvent::Show:
    case QEvent::Hide: {
        bool showing = FControl->FWidget->isVisible();
        if (showing != FLastShowing) {
            FLastShowing = showing;
            Send(FControl, CM_SHOWINGCHANGED, 0, 0);
        }
        return false;
    }
    case QEvent::Close:
        if (FControl->FWidget->isWindow()) {
            Send(FControl, WM_CLOSE, 0, 0);
            Event->ignore();
            return true;
        }
        return false;
    case QEvent::ToolTip:
        // Hints are the layer's own, in its hint window.
        return true;
    case QEvent::ContextMenu:
        // The layer asks for the context menu itself; a standard control keeps
        // its own menu only where no pop-up menu is set.
        return FOwnWidget || ContextPopupMenu(FControl) != nullptr;
    default:
        return false;
    }
}

QWidget* NewLayerWidget(TWinControl* Control) {
    InstallAccessibilityBridge();
    return new TLayerWidget(Control);
}

bool IsLayerWidget(const QWidget* Widget) {
    return dynamic_cast<const TLayerWidget*>(Widget) != nullptr;
}

TWinControl* LayerWidgetControl(const QWidget* Widget) {
    auto* w = dynamic_cast<const TLayerWidget*>(Widget);
    return w ? w->Control() : nullptr;
}

void TranslateEvents(TWinControl* Control, QWidget* Widget, bool Own) {
    Widget->installEventFilter(new TLayerEvents(Control, Own, Widget));
}

void StopTranslatingEvents(QWidget* Widget) {
    for (QObject* filter : Widget->children())
        if (auto* f = dynamic_cast<TLayerEvents*>(filter)) Widget->removeEventFilter(f);
}

void ReleaseMouseCapture(TControl* Control) {
    if (gCaptureControl != Control) return;
    gCaptureControl = nullptr;
    gImplicitCapture = false;
}

namespace {
// Grab: the window system sends the mouse to the holder even outside the
// program's windows; a press needs none, Qt keeps the mouse while a button
// is down.
void TakeCapture(TControl* Control, bool Grab) {
    if (Control == gCaptureControl) return;
    TControl* old = gCaptureControl;
    bool grabbed = old && !gImplicitCapture;
    gCaptureControl = Control;
    gImplicitCapture = Control && !Grab;
    if (QApplication::instance() && PlatformGrabsMouse()) {
        if (QWidget* w = grabbed ? CaptureWidget(old) : nullptr) w->releaseMouse();
        if (QWidget* w = Control && Grab ? CaptureWidget(Control) : nullptr) w->grabMouse();
    }
    if (old) old->Perform(WM_CAPTURECHANGED, 0, LPARAM(Control));
}
} // namespace

void SetCaptureControl(TControl* Control) {
    TakeCapture(Control, true);
}

TControl* GetCaptureControl() {
    return gCaptureControl;
}

TWinControl* GetCapture() {
    if (!gCaptureControl) return nullptr;
    if (auto* w = dynamic_cast<TWinControl*>(gCaptureControl)) return w;
    return gCaptureControl->Parent();
}

TWinControl* SetCapture(TWinControl* Control) {
    TWinControl* old = GetCapture();
    SetCaptureControl(Control);
    return old;
}

void ReleaseCapture() {
    SetCaptureControl(nullptr);
}

void SendCancelMode() {
    // The holder of the capture, then the control with the focus.
    TComponentWatch capture(gCaptureControl);
    if (capture.Target()) static_cast<TControl*>(capture.Target())->Perform(WM_CANCELMODE, 0, 0);
    TCustomForm* form = Screen->ActiveForm();
    TWinControl* focus = form && form->ActiveControl() ? form->ActiveControl() : form;
    if (focus && focus != capture.Target()) focus->Perform(WM_CANCELMODE, 0, 0);
    ReleaseCapture();
}
