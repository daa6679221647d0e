// The library's form: owner window, focusability and showing without
// activation.
#include "util/JvComponent.h"

#include "util/JclUnitVersioning.h"

LIBRARY_UNIT_VERSION("util/JvComponent.cpp", "1", "2026-12-10", "JvLib\\run")

TJvForm::TJvForm(TComponent* AOwner) : TJvExForm(AOwner) {}

void TJvForm::WndProc(TMessage& Message) {
    if (Message.Msg == CM_SHOWINGCHANGED && Showing() && FormStyle() != TFormStyle::fsMDIChild)
        AdoptOwnerWindow();
    if (Message.Msg == WM_MOUSEACTIVATE && !FIsFocusable) {
        Message.Result = MA_NOACTIVATE;
        return;
    }
    TJvExForm::WndProc(Message);
}

void TJvForm::AdoptOwnerWindow() {
    // nullptr stands for the application window.
    if (FormStyle() == TFormStyle::fsStayOnTop) {
        if (WindowOwner() != nullptr) SetWindowOwner(nullptr);
        return;
    }
    if (Parent()) return;
    TCustomForm* owner = nullptr;
    TCustomForm* active = Screen->ActiveForm();
    TCustomForm* main = Application->MainForm();
    if (active && active->Modal() && active != this)
        owner = active;
    else if (main && main != this)
        owner = main;
    if (WindowOwner() != owner) SetWindowOwner(owner);
}

void TJvForm::SetIsFocusable(bool Value) {
    FIsFocusable = Value;
    SetTakesFocus(Value);
}

void TJvForm::ShowWithoutActivation(bool CallActivate) {
    if (CallActivate) Activate();
    ShowNoActivate();
}
