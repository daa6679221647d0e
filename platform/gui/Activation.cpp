// Activation: the active form and the program's activation, the keyboard
// focus that goes with them, showing a window without activating it, and
// the answers to Qt's activation of windows and of the program.
#include <QApplication>
#include <QWidget>

#include "platform/gui/Forms.h"
#include "platform/gui/QtEvents_p.h"

namespace {
TWinControl* gFocus = nullptr;
// The control that lost the focus to another form's window, which the
// control that gets it next is told of.
TWinControl* gFocusLeft = nullptr;

TCustomForm* FormOfWindow(const QWidget* Window) {
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TCustomForm* f = Screen->Forms(i);
        if (f->HandleAllocated() && f->Widget() == Window) return f;
    }
    return nullptr;
}
} // namespace

TWinControl* FocusedControl() {
    return gFocus;
}

void MoveFocus(TWinControl* To) {
    if (To == gFocus) return;
    TWinControl* old = gFocus;
    TWinControl* previous = old ? old : gFocusLeft;
    gFocus = To;
    gFocusLeft = nullptr;
    if (old) old->Perform(WM_KILLFOCUS, WPARAM(To), 0);
    if (To && gFocus == To) To->Perform(WM_SETFOCUS, WPARAM(previous), 0);
}

void ForgetFocus(TWinControl* Control) {
    if (gFocus == Control) gFocus = nullptr;
    if (gFocusLeft == Control) gFocusLeft = nullptr;
}

// The active form

void TScreen::SetActiveForm(TCustomForm* Form) {
    if (Form == FActiveForm && (!Form || Form->FActive || !Application->Active())) return;
    TCustomForm* old = FActiveForm;
    FActiveForm = Form;
    if (old && old != Form && old->FActive) old->Perform(WM_ACTIVATE, WA_INACTIVE, LPARAM(Form));
    if (Form && FActiveForm == Form && !Form->FActive && Application->Active())
        Form->Perform(WM_ACTIVATE, WA_ACTIVE, LPARAM(old));
}

void TCustomForm::Activated(bool On, TCustomForm* Other) {
    if (On == FActive) return;
    FActive = On;
    HintInputMessage(WM_ACTIVATE);
    if (On) {
        FNoActivatePending = false;
        if (HandleAllocated() && Widget()->isVisible() && !Widget()->isActiveWindow())
            Widget()->activateWindow();
        Perform(CM_ACTIVATE, 0, 0);
        // The focus comes back to the control that had it.
        if (FActive) MoveFocus(FActiveControl ? FActiveControl : this);
        return;
    }
    // The focus leaves with the activation; the form keeps its control.
    if (gFocus && ContainsControl(gFocus)) {
        TWinControl* next = Other && Other->ActiveControl() ? Other->ActiveControl() : Other;
        TWinControl* old = gFocus;
        gFocus = nullptr;
        gFocusLeft = Other ? old : nullptr;
        old->Perform(WM_KILLFOCUS, WPARAM(next), 0);
    }
    Perform(CM_DEACTIVATE, 0, 0);
}

void TCustomForm::Activate() {
    if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
    if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::ShowNoActivate() {
    if (!Visible()) FNoActivatePending = true;
    Widget()->setAttribute(Qt::WA_ShowWithoutActivating);
    Widget()->raise();
    SetVisible(true);
}

void TCustomForm::ClickActivate() {
    if (FActive || !FTakesFocus || !Visible()) return;
    if (Perform(WM_MOUSEACTIVATE, WPARAM(this), MAKELPARAM(HTCLIENT, int(WM_LBUTTONDOWN))) == MA_NOACTIVATE)
        return;
    FNoActivatePending = false;
    Application->SetActive(true);
    Screen->SetActiveForm(this);
}

// The program's activation

void TApplication::SetActive(bool Value) {
    if (Value == FActive) return;
    FActive = Value;
    TCustomForm* form = Screen->ActiveForm();
    if (!Value) {
        // Another program's window has the mouse now.
        ReleaseCapture();
        if (form && form->FActive) form->Perform(WM_ACTIVATE, WA_INACTIVE, 0);
    }
    std::vector<TCustomForm*> forms;
    for (int i = 0; i < Screen->FormCount(); ++i)
        forms.push_back(Screen->Forms(i));
    for (TCustomForm* f : forms)
        f->Perform(WM_ACTIVATEAPP, Value ? 1 : 0, 0);
    if (Value && OnActivate) OnActivate(this);
    if (!Value && OnDeactivate) OnDeactivate(this);
    form = Screen->ActiveForm();
    if (Value && FActive && form && !form->FActive) form->Perform(WM_ACTIVATE, WA_ACTIVE, 0);
}

// Qt's activation of windows and of the program

void FormWindowActivated(TCustomForm* Form) {
    if (Form->RefusesActivation()) {
        // The window system activated it anyway: the active form takes the
        // activation back.
        TCustomForm* active = Screen->ActiveForm();
        if (active && active != Form && active->HandleAllocated() && active->Widget()->isVisible())
            active->Widget()->activateWindow();
        return;
    }
    Application->SetActive(true);
    Screen->SetActiveForm(Form);
}

void FormWindowDeactivated(TCustomForm* Form) {
    // Another form's activation does the change itself; a window that is no
    // form (a message box, another program) leaves this one inactive.
    if (QWidget* now = QApplication::activeWindow(); now && FormOfWindow(now)) return;
    if (Form->Active()) Form->Perform(WM_ACTIVATE, WA_INACTIVE, 0);
}

void WatchApplicationState() {
    static bool watching = false;
    if (watching) return;
    watching = true;
    QObject::connect(qApp, &QGuiApplication::applicationStateChanged, qApp, [](Qt::ApplicationState State) {
        CallAtEventBoundary(Application, [&] { Application->SetActive(State == Qt::ApplicationActive); });
    });
}
