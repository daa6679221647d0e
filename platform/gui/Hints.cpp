// Hints: the layer's hint window and the application's hint machinery, from
// the mouse resting on a control to the hint shown, hidden and cancelled.
#include "platform/gui/Hints.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <memory>

#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/QtEvents_p.h"
#include "platform/gui/QtSupport_p.h"

namespace {
// The frame and the space around the text.
constexpr int HintTextMargin = 3;
// A hint shows below the cursor's picture.
constexpr int CursorHeightMargin = 20;

THintWindow* NewStandardHintWindow(TComponent* AOwner) {
    return new THintWindow(AOwner);
}
} // namespace

const THintWindowClass StandardHintWindowClass{"THintWindow", &NewStandardHintWindow};
const THintWindowClass* HintWindowClass = &StandardHintWindowClass;

AnsiString GetShortHint(const AnsiString& Hint) {
    std::size_t bar = Hint.find('|');
    return bar == AnsiString::npos ? Hint : Hint.substr(0, bar);
}

AnsiString GetLongHint(const AnsiString& Hint) {
    std::size_t bar = Hint.find('|');
    return bar == AnsiString::npos ? Hint : Hint.substr(bar + 1);
}

// THintWindow

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    SetColor(clInfoBk);
    SetVisible(false);
}

QWidget* THintWindow::CreateWidget() {
    QWidget* w = TCustomControl::CreateWidget();
    // A tool tip never takes the activation, the focus or the mouse: a hint
    // over the text it completes leaves the mouse to the control below.
    w->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                      Qt::WindowTransparentForInput);
    w->setAttribute(Qt::WA_TransparentForMouseEvents);
    w->setAttribute(Qt::WA_ShowWithoutActivating);
    return w;
}

TRect THintWindow::CalcHintRect(int MaxWidth, const AnsiString& Hint, void* Data) {
    (void)Data;
    TCanvas* canvas = Canvas();
    canvas->Font()->Assign(Font());
    TRect r{0, 0, MaxWidth, 0};
    canvas->DrawText(Hint, r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    r.Right += 2 * HintTextMargin;
    r.Bottom += 2 * HintTextMargin;
    return r;
}

void THintWindow::ActivateHint(const TRect& Rect, const AnsiString& Hint) {
    SetCaption(Hint);
    // On the screen: never past its right or bottom edge, never before its
    // left or top one.
    TRect r = Rect;
    OffsetRect(r, std::min(0, Screen->Width() - r.Right), std::min(0, Screen->Height() - r.Bottom));
    OffsetRect(r, std::max(0, -r.Left), std::max(0, -r.Top));
    SetBoundsRect(r);
    QWidget* w = Widget();
    w->setGeometry(r.Left, r.Top, r.Width(), r.Height());
    w->show();
    w->raise();
    Invalidate();
}

void THintWindow::ActivateHintData(const TRect& Rect, const AnsiString& Hint, void* Data) {
    (void)Data;
    ActivateHint(Rect, Hint);
}

bool THintWindow::IsHintMsg(const TMessage& Msg) {
    if (!Showing()) return false;
    unsigned m = Msg.Msg;
    return (m >= WM_KEYFIRST && m <= WM_KEYLAST) || (m > WM_MOUSEMOVE && m <= WM_MOUSELAST) ||
           m == WM_ACTIVATE || m == WM_ACTIVATEAPP || m == CM_ACTIVATE || m == CM_DEACTIVATE;
}

void THintWindow::ReleaseHandle() {
    if (HandleAllocated()) Widget()->hide();
}

bool THintWindow::Showing() const {
    return HandleAllocated() && Widget()->isVisible();
}

void THintWindow::Paint() {
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
    canvas->Brush()->SetColor(clWindowFrame);
    canvas->FrameRect(r);
    canvas->Brush()->SetStyle(TBrushStyle::bsClear);
    canvas->Font()->SetColor(clInfoText);
    TRect text{HintTextMargin, HintTextMargin, r.Right - HintTextMargin, r.Bottom - HintTextMargin};
    canvas->DrawText(Caption(), text, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
    canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
}

void CaptureScreen(const TRect& R, TBitmap* Into) {
    Into->SetSize(std::max(0, R.Width()), std::max(0, R.Height()));
    if (Into->Empty()) return;
    EnsureQtApplication();
    auto* image = static_cast<QImage*>(Into->Image());
    image->fill(QtColor(clBtnFace));
    QPainter painter(image);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible() || w->windowType() == Qt::ToolTip) continue;
        const QRect g = w->geometry();
        const QRect source = QRect(R.Left - g.x(), R.Top - g.y(), R.Width(), R.Height()) & w->rect();
        if (source.isEmpty()) continue;
        w->render(&painter, source.topLeft() + QPoint(g.x() - R.Left, g.y() - R.Top), QRegion(source));
    }
}

// The machinery

namespace {
struct THintState {
    std::unique_ptr<TComponentWatch> Control; // the control whose hint is asked for
    TRect CursorRect;                         // screen: moves inside keep the hint
    THintWindow* Window = nullptr;            // owned by the application
    const THintWindowClass* WindowClass = nullptr;
    TTimer* Timer = nullptr; // owned by the application
    bool ShowNext = true;    // the timer shows, else it hides
};

THintState& State() {
    static THintState state;
    return state;
}

TControl* HintControl() {
    THintState& s = State();
    return s.Control ? static_cast<TControl*>(s.Control->Target()) : nullptr;
}

TRect ScreenRect(TControl* Control, const TRect& R) {
    TPoint o = Control->ClientToScreen({R.Left, R.Top});
    return Bounds(o.X, o.Y, R.Width(), R.Height());
}

void StartTimer(int Pause, bool Show) {
    THintState& s = State();
    if (!s.Timer) {
        s.Timer = new TTimer(nullptr);
        s.Timer->OnTimer = [](TObject*) {
            THintState& st = State();
            st.Timer->SetEnabled(false);
            if (st.ShowNext)
                Application->ActivateHint(Mouse.CursorPos());
            else if (st.Window)
                st.Window->ReleaseHandle();
        };
    }
    s.ShowNext = Show;
    s.Timer->SetEnabled(false);
    s.Timer->SetInterval(unsigned(std::max(1, Pause)));
    s.Timer->SetEnabled(true);
}

void StopTimer() {
    if (State().Timer) State().Timer->SetEnabled(false);
}

bool HintShowing() {
    return State().Window && State().Window->Showing();
}
} // namespace

void TApplication::SetShowHint(bool Value) {
    FShowHint = Value;
    if (!Value) CancelHint();
}

THintWindow* TApplication::HintWindow() const {
    return State().Window;
}

void TApplication::CancelHint() {
    THintState& s = State();
    StopTimer();
    if (s.Window) s.Window->ReleaseHandle();
    s.Control.reset();
    s.CursorRect = {};
}

void TApplication::ActivateHint(const TPoint& CursorPos) {
    THintState& s = State();
    StopTimer();
    TControl* control = HintControl();
    if (!control || !FShowHint) return;
    THintInfo info;
    info.HintControl = control;
    info.HintWindowClass = HintWindowClass;
    info.HintPos = {CursorPos.X, CursorPos.Y + CursorHeightMargin};
    info.HintMaxWidth = Screen->Width();
    info.HintColor = FHintColor;
    info.CursorRect = control->ClientRect();
    info.CursorPos = control->ScreenToClient(CursorPos);
    info.HideTimeout = FHintHidePause;
    info.HintStr = GetShortHint(control->Hint());
    bool refused = control->Perform(CM_HINTSHOW, 0, LPARAM(&info)) != 0;
    // The control may be gone now.
    if (!(control = HintControl())) return;
    s.CursorRect = ScreenRect(control, info.CursorRect);
    if (refused || info.HintStr.empty()) {
        if (s.Window) s.Window->ReleaseHandle();
        return;
    }
    const THintWindowClass* cls = info.HintWindowClass && info.HintWindowClass->Create
                                      ? info.HintWindowClass
                                      : &StandardHintWindowClass;
    if (s.Window && s.WindowClass != cls) {
        delete s.Window;
        s.Window = nullptr;
    }
    if (!s.Window) {
        s.Window = cls->Create(nullptr);
        s.WindowClass = cls;
    }
    TRect r = s.Window->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
    OffsetRect(r, info.HintPos.X, info.HintPos.Y);
    s.Window->SetColor(info.HintColor);
    s.Window->ActivateHintData(r, info.HintStr, info.HintData);
    if (info.HideTimeout > 0) StartTimer(info.HideTimeout, false);
}

void HintMouseMove(TControl* Under) {
    if (!Application->ShowHint()) return;
    // The first control up from the one under the mouse that shows hints.
    TControl* control = Under;
    while (control && !control->ShowHint())
        control = control->Parent();
    if (!control) {
        Application->CancelHint();
        return;
    }
    THintState& s = State();
    TPoint cursor = Mouse.CursorPos();
    if (control == HintControl() && s.CursorRect.Contains(cursor)) return;
    bool wasShowing = HintShowing();
    int pause = wasShowing ? Application->HintShortPause() : Application->HintPause();
    control->Perform(CM_HINTSHOWPAUSE, wasShowing ? 1 : 0, LPARAM(&pause));
    s.Control = std::make_unique<TComponentWatch>(control);
    // Until the hint shows, resting anywhere on the control counts.
    s.CursorRect = ScreenRect(control, control->ClientRect());
    if (pause <= 0)
        Application->ActivateHint(cursor);
    else
        StartTimer(pause, true);
}

void HintInputMessage(unsigned Msg) {
    THintState& s = State();
    TMessage m{Msg, 0, 0, 0};
    if (s.Window && s.Window->IsHintMsg(m)) Application->CancelHint();
}
