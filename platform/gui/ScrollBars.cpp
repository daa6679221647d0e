// Scroll bars: the values each windowed control keeps for its two bars, the
// client area they leave, the Qt scroll bars that show them and turn the
// user's actions into scroll messages, and the scrolling of a window's
// pixels.
#include "platform/gui/ScrollBars.h"

#include <QEvent>
#include <QPointer>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWidget>
#include <algorithm>
#include <cstdint>

#include "platform/gui/QtEvents_p.h"

namespace {
// Scroll bars are this wide on every desktop, so layouts are the same.
constexpr int ScrollBarSize = 17;

struct TBarState {
    int Min = 0;
    int Max = 0;
    unsigned Page = 0;
    int Pos = 0;
    int TrackPos = 0;
    bool Visible = false;
    bool Enabled = true;
    bool Tracking = false;
    QPointer<QScrollBar> Widget;
};

bool ValidBar(int Bar) {
    return Bar == SB_HORZ || Bar == SB_VERT;
}

// The highest position: the page ends at Max.
int MaxPos(const TBarState& B) {
    return std::max(B.Min, B.Page ? B.Max - int(B.Page) + 1 : B.Max);
}

bool HasSomethingToScroll(const TBarState& B) {
    return B.Max > B.Min && int(B.Page) <= B.Max - B.Min;
}
} // namespace

struct TWindowScrollBars {
    TBarState Bars[2];
};

// The layer's way into a control's bars.
struct TScrollBarAccess {
    static TBarState* Find(const TWinControl* Control, int Bar) {
        if (!ValidBar(Bar) || !Control->FScrollBars) return nullptr;
        return &Control->FScrollBars->Bars[Bar];
    }
    static TBarState& Get(TWinControl* Control, int Bar) {
        if (!Control->FScrollBars) Control->FScrollBars.reset(new TWindowScrollBars);
        return Control->FScrollBars->Bars[Bar];
    }
};

void TWinControl::TScrollBarsDeleter::operator()(TWindowScrollBars* Bars) const {
    delete Bars;
}

namespace {
void SendScroll(TWinControl* Control, int Bar, int Code, int Pos) {
    CallAtEventBoundary(Control, [&] {
        Control->Perform(Bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(Code, Pos), 0);
    });
}

// Shows the control's values on the Qt bar.
void ShowValues(QScrollBar* Widget, const TBarState& B) {
    QSignalBlocker quiet(Widget);
    Widget->setRange(B.Min, MaxPos(B));
    Widget->setPageStep(std::max(1, int(B.Page)));
    Widget->setSingleStep(1);
    if (!Widget->isSliderDown()) Widget->setValue(B.Pos);
    Widget->setEnabled(B.Enabled && HasSomethingToScroll(B));
}

// Turns what the user does with a Qt bar into scroll messages: the bar only
// asks, the control moves the position.
class TBarEvents : public QObject {
public:
    TBarEvents(TWinControl* Control, int Bar, QScrollBar* Widget)
        : QObject(Widget), FControl(Control), FBar(Bar), FWidget(Widget) {
        connect(Widget, &QAbstractSlider::actionTriggered, this, [this](int Action) { Act(Action); });
        // Once the thumb is let go, the bar shows where the control put it.
        connect(Widget, &QAbstractSlider::sliderReleased, this, [this] {
            if (TBarState* b = TScrollBarAccess::Find(FControl, FBar)) ShowValues(FWidget, *b);
        });
    }

    bool eventFilter(QObject*, QEvent* Event) override {
        switch (Event->type()) {
        case QEvent::MouseButtonRelease: {
            if (FWidget->isSliderDown()) {
                SendScroll(FControl, FBar, SB_THUMBPOSITION, FWidget->sliderPosition());
                if (TBarState* b = TScrollBarAccess::Find(FControl, FBar)) b->Tracking = false;
            }
            SendScroll(FControl, FBar, SB_ENDSCROLL, 0);
            if (TBarState* b = TScrollBarAccess::Find(FControl, FBar)) {
                b->TrackPos = b->Pos;
                ShowValues(FWidget, *b);
            }
            return false; // Qt lets the thumb or the arrow go
        }
        case QEvent::Wheel: {
            // The wheel over a bar is the window's.
            auto* e = static_cast<QWheelEvent*>(Event);
            QPoint global = e->globalPosition().toPoint();
            int delta = std::clamp(e->angleDelta().y(), int(INT16_MIN), int(INT16_MAX));
            if (delta != 0)
                CallAtEventBoundary(FControl, [&] {
                    FControl->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, delta),
                                      MAKELPARAM(global.x(), global.y()));
                });
            return true;
        }
        default:
            return false;
        }
    }

private:
    void Act(int Action) {
        TBarState* b = TScrollBarAccess::Find(FControl, FBar);
        if (!b) return;
        int code;
        switch (Action) {
        case QAbstractSlider::SliderSingleStepAdd:
            code = SB_LINEDOWN;
            break;
        case QAbstractSlider::SliderSingleStepSub:
            code = SB_LINEUP;
            break;
        case QAbstractSlider::SliderPageStepAdd:
            code = SB_PAGEDOWN;
            break;
        case QAbstractSlider::SliderPageStepSub:
            code = SB_PAGEUP;
            break;
        case QAbstractSlider::SliderToMinimum:
            code = SB_TOP;
            break;
        case QAbstractSlider::SliderToMaximum:
            code = SB_BOTTOM;
            break;
        case QAbstractSlider::SliderMove:
            // The thumb follows the mouse; the control may follow the thumb.
            b->Tracking = true;
            b->TrackPos = FWidget->sliderPosition();
            SendScroll(FControl, FBar, SB_THUMBTRACK, b->TrackPos);
            return;
        default:
            return;
        }
        SendScroll(FControl, FBar, code, 0);
        if ((b = TScrollBarAccess::Find(FControl, FBar))) FWidget->setSliderPosition(b->Pos);
    }

    TWinControl* FControl;
    int FBar;
    QScrollBar* FWidget;
};

void Changed(TWinControl* Control, const TRect& ClientBefore) {
    UpdateScrollBarWidgets(Control);
    if (Control->ClientRect() != ClientBefore)
        Control->Perform(WM_SIZE, 0, MAKELPARAM(Control->ClientWidth(), Control->ClientHeight()));
}
} // namespace

TRect TWinControl::ClientRect() const {
    TRect r = TControl::ClientRect();
    if (ScrollBarVisible(this, SB_VERT)) r.Right = std::max(r.Left, r.Right - ScrollBarSize);
    if (ScrollBarVisible(this, SB_HORZ)) r.Bottom = std::max(r.Top, r.Bottom - ScrollBarSize);
    return r;
}

int SetScrollInfo(TWinControl* Control, int Bar, const TScrollInfo& Info, bool Redraw) {
    (void)Redraw;
    if (!ValidBar(Bar)) return 0;
    TRect before = Control->ClientRect();
    TBarState& b = TScrollBarAccess::Get(Control, Bar);
    if (Info.Mask & SIF_RANGE) {
        b.Min = Info.Min;
        b.Max = std::max(Info.Min, Info.Max);
    }
    if (Info.Mask & SIF_PAGE) b.Page = Info.Page;
    b.Page = std::min(b.Page, unsigned(int64_t(b.Max) - b.Min + 1));
    if (Info.Mask & SIF_POS) b.Pos = Info.Pos;
    b.Pos = std::clamp(b.Pos, b.Min, MaxPos(b));
    if (!b.Tracking) b.TrackPos = b.Pos;
    if (Info.Mask & (SIF_RANGE | SIF_PAGE)) {
        if (HasSomethingToScroll(b)) {
            b.Visible = true;
            b.Enabled = true;
        } else if (Info.Mask & SIF_DISABLENOSCROLL) {
            b.Visible = true;
        } else {
            b.Visible = false;
        }
    }
    int pos = b.Pos;
    Changed(Control, before);
    return pos;
}

bool GetScrollInfo(const TWinControl* Control, int Bar, TScrollInfo& Info) {
    if (!ValidBar(Bar)) return false;
    TBarState none;
    const TBarState* b = TScrollBarAccess::Find(Control, Bar);
    if (!b) b = &none;
    if (Info.Mask & SIF_RANGE) {
        Info.Min = b->Min;
        Info.Max = b->Max;
    }
    if (Info.Mask & SIF_PAGE) Info.Page = b->Page;
    if (Info.Mask & SIF_POS) Info.Pos = b->Pos;
    if (Info.Mask & SIF_TRACKPOS) Info.TrackPos = b->TrackPos;
    return true;
}

int SetScrollPos(TWinControl* Control, int Bar, int Pos, bool Redraw) {
    int old = GetScrollPos(Control, Bar);
    TScrollInfo info;
    info.Mask = SIF_POS;
    info.Pos = Pos;
    SetScrollInfo(Control, Bar, info, Redraw);
    return old;
}

int GetScrollPos(const TWinControl* Control, int Bar) {
    const TBarState* b = TScrollBarAccess::Find(Control, Bar);
    return b ? b->Pos : 0;
}

bool ShowScrollBar(TWinControl* Control, int Bar, bool Show) {
    if (!ValidBar(Bar) && Bar != SB_BOTH) return false;
    TRect before = Control->ClientRect();
    for (int b : {SB_HORZ, SB_VERT})
        if (Bar == b || Bar == SB_BOTH) TScrollBarAccess::Get(Control, b).Visible = Show;
    Changed(Control, before);
    return true;
}

bool EnableScrollBar(TWinControl* Control, int Bar, unsigned Arrows) {
    if (!ValidBar(Bar) && Bar != SB_BOTH) return false;
    for (int b : {SB_HORZ, SB_VERT})
        if (Bar == b || Bar == SB_BOTH)
            TScrollBarAccess::Get(Control, b).Enabled = Arrows != ESB_DISABLE_BOTH;
    UpdateScrollBarWidgets(Control);
    return true;
}

bool ScrollBarVisible(const TWinControl* Control, int Bar) {
    const TBarState* b = TScrollBarAccess::Find(Control, Bar);
    return b && b->Visible;
}

bool ScrollBarEnabled(const TWinControl* Control, int Bar) {
    const TBarState* b = TScrollBarAccess::Find(Control, Bar);
    return b && b->Visible && b->Enabled && HasSomethingToScroll(*b);
}

int GetSystemMetrics(int Index) {
    switch (Index) {
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
        return ScrollBarSize;
    default:
        return 0;
    }
}

void ScrollWindowEx(TWinControl* Control, int DX, int DY, const TRect* Clip) {
    if (!Control->HandleAllocated() || (DX == 0 && DY == 0)) return;
    TRect r = Control->ClientRect();
    if (Clip && !IntersectRect(r, r, *Clip)) return;
    Control->Widget()->scroll(DX, DY, QRect(r.Left, r.Top, r.Width(), r.Height()));
}

void UpdateScrollBarWidgets(TWinControl* Control) {
    if (!Control->HandleAllocated() || !IsLayerWidget(Control->Widget())) return;
    QWidget* host = Control->Widget();
    bool vertical = ScrollBarVisible(Control, SB_VERT), horizontal = ScrollBarVisible(Control, SB_HORZ);
    for (int bar : {SB_HORZ, SB_VERT}) {
        TBarState* b = TScrollBarAccess::Find(Control, bar);
        if (!b || (!b->Visible && !b->Widget)) continue;
        if (!b->Widget) {
            auto* widget = new QScrollBar(bar == SB_VERT ? Qt::Vertical : Qt::Horizontal, host);
            widget->setFocusPolicy(Qt::NoFocus);
            widget->installEventFilter(new TBarEvents(Control, bar, widget));
            b->Widget = widget;
        }
        if (bar == SB_VERT)
            b->Widget->setGeometry(Control->Width() - ScrollBarSize, 0, ScrollBarSize,
                                   Control->Height() - (horizontal ? ScrollBarSize : 0));
        else
            b->Widget->setGeometry(0, Control->Height() - ScrollBarSize,
                                   Control->Width() - (vertical ? ScrollBarSize : 0), ScrollBarSize);
        ShowValues(b->Widget, *b);
        b->Widget->setVisible(b->Visible);
    }
    host->update();
}
