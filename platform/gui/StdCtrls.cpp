// The push button on a Qt push button.
#include "platform/gui/StdCtrls.h"

#include <QPushButton>

#include "platform/gui/Forms.h"
#include "platform/gui/QtSupport_p.h"

namespace {
constexpr int DefaultButtonWidth = 75;
constexpr int DefaultButtonHeight = 25;
} // namespace

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle &= ~csClickEvents; // the widget reports clicks
    SetTabStop(true);
    SetBounds(0, 0, DefaultButtonWidth, DefaultButtonHeight);
}

QWidget* TButton::CreateWidget() {
    auto* button = new QPushButton(QtString(Caption()));
    // Only the default button reacts to Enter.
    button->setAutoDefault(false);
    button->setDefault(FDefault);
    QObject::connect(button, &QPushButton::clicked,
                     [this] { CallAtEventBoundary(this, [this] { Click(); }); });
    return button;
}

void TButton::Click() {
    TWinControl::Click();
    if (ModalResult != mrNone)
        if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(ModalResult);
}

void TButton::SetDefault(bool Value) {
    FDefault = Value;
    if (HandleAllocated()) static_cast<QPushButton*>(Widget())->setDefault(Value);
}

void TButton::Dispatch(TMessage& Message) {
    if (Message.Msg == CM_TEXTCHANGED && HandleAllocated())
        static_cast<QPushButton*>(Widget())->setText(QtString(Caption()));
    // Enter presses the default button, Esc the cancel button.
    if (Message.Msg == CM_DIALOGKEY && Enabled() && Visible() &&
        ((Message.WParam == VK_RETURN && FDefault) || (Message.WParam == VK_ESCAPE && Cancel))) {
        Click();
        Message.Result = 1;
        return;
    }
    TWinControl::Dispatch(Message);
}
