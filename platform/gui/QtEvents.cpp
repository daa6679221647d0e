// Qt events become message records here: the translator on every windowed
// control's widget, the widget the layer's own controls paint on, and the
// event boundary that keeps exceptions out of Qt's event loop.
#include "platform/gui/QtEvents_p.h"

#include <QApplication>
#include <QEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWidget>
#include <memory>

#include "platform/canvas/QtCanvas.h"
#include "platform/gui/Forms.h"
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

void FreeAfterEvent(TComponent* Component) {
    if (!Component) return;
    EnsureQtApplication();
    auto watch = std::make_shared<TComponentWatch>(Component);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [watch] { delete watch->Target(); }, Qt::QueuedConnection);
}

namespace {
// The graphic control that a mouse button went down on keeps the mouse
// until the button is released.
TControl* gCaptureControl = nullptr;

// Characters below it are control characters, sent as keys only.
constexpr char16_t FirstPrintable = 0x20;

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
    SetShiftState(ShiftFromModifiers(E->modifiers()));
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
    SetShiftState(ShiftFromModifiers(E->modifiers()));
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
        if (text.size() == 1 && text[0].unicode() >= FirstPrintable) {
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
            if (chr.Result == CharTakenBack) {
                handled = true;
            } else if (chr.Result == CharReplaced && !FOwnWidget) {
                // The control typed another character: the widget gets that one.
                handled = true;
                QString replaced = QtString(AnsiString(1, char(chr.WParam)));
                QKeyEvent other(QEvent::KeyPress, 0, E->modifiers(), replaced);
                FInjecting = true;
                TScopeGuard done([this] { FInjecting = false; });
                QCoreApplication::sendEvent(FControl->FWidget, &other);
            }
        }
    });
    // Tab and arrows belong to the layer: Qt's own focus moves stay out.
    return handled || (FOwnWidget && (vk == VK_TAB));
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
        if (FControl->FWidget->isWindow()) {
            QRect g = FControl->FWidget->geometry();
            if (g.x() != FControl->Left() || g.y() != FControl->Top() || g.width() != FControl->Width() ||
                g.height() != FControl->Height())
                CallAtEventBoundary(FControl,
                                    [&] { FControl->SetBounds(g.x(), g.y(), g.width(), g.height()); });
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
            QToolTip::showText(help->globalPos(), QtString(info.HintStr), FControl->FWidget);
        return true;
    }
    default:
        return false;
    }
}

QWidget* NewLayerWidget(TWinControl* Control) {
    return new TLayerWidget(Control);
}

bool IsLayerWidget(const QWidget* Widget) {
    return dynamic_cast<const TLayerWidget*>(Widget) != nullptr;
}

void TranslateEvents(TWinControl* Control, QWidget* Widget, bool Own) {
    Widget->installEventFilter(new TLayerEvents(Control, Own, Widget));
}

void StopTranslatingEvents(QWidget* Widget) {
    for (QObject* filter : Widget->children())
        if (auto* f = dynamic_cast<TLayerEvents*>(filter)) Widget->removeEventFilter(f);
}

void ReleaseMouseCapture(TControl* Control) {
    if (gCaptureControl == Control) gCaptureControl = nullptr;
}
