// A window's placement: its normal, minimised or maximised state, the
// placement record, the program minimised as one, and the screens there are.
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "platform/gui/Forms.h"
#include "platform/gui/QtSupport_p.h"

void TCustomForm::SetWindowState(TWindowState Value) {
    if (Value == FWindowState) return;
    if (FWindowState == TWindowState::wsNormal) FNormalBounds = BoundsRect();
    FWindowState = Value;
    if (HandleAllocated() && Visible()) ApplyWindowState();
}

void TCustomForm::ApplyWindowState() {
    QWidget* w = Widget();
    Qt::WindowStates states = w->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    switch (FWindowState) {
    case TWindowState::wsNormal: {
        // Qt's own idea of the normal rectangle may differ from ours.
        TRect normal = FNormalBounds;
        w->setWindowState(states);
        if (!normal.IsEmpty()) SetBounds(normal.Left, normal.Top, normal.Width(), normal.Height());
        break;
    }
    case TWindowState::wsMinimized:
        w->setWindowState(states | Qt::WindowMinimized);
        break;
    case TWindowState::wsMaximized:
        w->setWindowState(states | Qt::WindowMaximized);
        break;
    }
}

void TCustomForm::WindowStateShown(TWindowState Value) {
    if (Value == FWindowState) return;
    if (FWindowState == TWindowState::wsNormal) FNormalBounds = BoundsRect();
    FWindowState = Value;
}

bool GetWindowPlacement(TCustomForm* Form, TWindowPlacement& Placement) {
    if (!Form) return false;
    Placement.length = sizeof(TWindowPlacement);
    Placement.flags = Form->FPlacementFlags;
    switch (Form->FWindowState) {
    case TWindowState::wsMinimized:
        Placement.showCmd = SW_SHOWMINIMIZED;
        break;
    case TWindowState::wsMaximized:
        Placement.showCmd = SW_SHOWMAXIMIZED;
        break;
    default:
        Placement.showCmd = SW_SHOWNORMAL;
        break;
    }
    Placement.ptMinPosition = Form->FMinPosition;
    Placement.ptMaxPosition = Form->FMaxPosition;
    Placement.rcNormalPosition = Form->NormalBounds();
    return true;
}

bool SetWindowPlacement(TCustomForm* Form, const TWindowPlacement& Placement) {
    if (!Form) return false;
    Form->FPlacementFlags = Placement.flags;
    Form->FMinPosition = Placement.ptMinPosition;
    Form->FMaxPosition = Placement.ptMaxPosition;
    const TRect& r = Placement.rcNormalPosition;
    if (Form->FWindowState == TWindowState::wsNormal)
        Form->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    else
        Form->FNormalBounds = r;
    switch (Placement.showCmd) {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
        Form->SetWindowState(TWindowState::wsMinimized);
        break;
    case SW_SHOWMAXIMIZED:
        Form->SetWindowState(TWindowState::wsMaximized);
        break;
    case SW_HIDE:
        break;
    default:
        Form->SetWindowState(TWindowState::wsNormal);
        break;
    }
    return true;
}

void TApplication::Minimize() {
    if (FMainForm) FMainForm->SetWindowState(TWindowState::wsMinimized);
}

bool TApplication::Minimized() const {
    return FMainForm && FMainForm->WindowState() == TWindowState::wsMinimized;
}

namespace {
QRect ScreenRect(int Index, bool WorkArea) {
    EnsureQtApplication();
    QList<QScreen*> screens = QGuiApplication::screens();
    QScreen* primary = QGuiApplication::primaryScreen();
    if (primary) {
        screens.removeAll(primary);
        screens.prepend(primary);
    }
    if (Index < 0 || Index >= screens.size()) return {};
    return WorkArea ? screens[Index]->availableGeometry() : screens[Index]->geometry();
}

TRect ToRect(const QRect& R) {
    return Bounds(R.x(), R.y(), R.width(), R.height());
}
} // namespace

int TScreen::MonitorCount() const {
    EnsureQtApplication();
    return int(QGuiApplication::screens().size());
}

TRect TScreen::MonitorBounds(int Index) const {
    if (MonitorCount() == 0 && Index == 0) return {0, 0, Width(), Height()};
    return ToRect(ScreenRect(Index, false));
}

TRect TScreen::MonitorWorkArea(int Index) const {
    if (MonitorCount() == 0 && Index == 0) return {0, 0, Width(), Height()};
    return ToRect(ScreenRect(Index, true));
}
