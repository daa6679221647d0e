#include "platform/gui/StdCtrls.h"

#include <QPushButton>

#include "platform/gui/Forms.h"
#include "platform/gui/QtSupport.h"

namespace {
QPushButton* NewButton() {
    EnsureQtApplication();
    auto* b = new QPushButton();
    // Only the default button reacts to Enter.
    b->setAutoDefault(false);
    return b;
}
} // namespace

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner, NewButton()) {
    FControlStyle &= ~csClickEvents; // the widget reports clicks
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
    auto* button = static_cast<QPushButton*>(Widget());
    QObject::connect(button, &QPushButton::clicked,
                     [this] { CallAtEventBoundary(this, [this] { Click(); }); });
}

void TButton::Click() {
    TWinControl::Click();
    if (ModalResult != mrNone)
        if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(ModalResult);
}

void TButton::SetDefault(bool Value) {
    FDefault = Value;
    static_cast<QPushButton*>(Widget())->setDefault(Value);
}

void TButton::Dispatch(TMessage& Message) {
    if (Message.Msg == CM_TEXTCHANGED) static_cast<QPushButton*>(Widget())->setText(QtString(Caption()));
    // Enter presses the default button, Esc the cancel button.
    if (Message.Msg == CM_DIALOGKEY && Enabled() && Visible() &&
        ((Message.WParam == VK_RETURN && FDefault) || (Message.WParam == VK_ESCAPE && Cancel))) {
        Click();
        Message.Result = 1;
        return;
    }
    TWinControl::Dispatch(Message);
}
