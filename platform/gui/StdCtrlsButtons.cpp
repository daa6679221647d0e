// Push buttons, check boxes and radio buttons on Qt's buttons: clicks,
// the default and cancel buttons, accelerators, and marks changed by the
// user or in code.
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

#include "platform/gui/Forms.h"
#include "platform/gui/QtSupport_p.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/StdCtrls_p.h"
#include "platform/rtl/ScopeGuard.h"

namespace {
constexpr int DefaultButtonWidth = 75;
constexpr int DefaultButtonHeight = 25;
constexpr int DefaultCheckWidth = 97;
constexpr int DefaultCheckHeight = 17;

QAbstractButton* ButtonOf(const TWinControl* Control) {
    return static_cast<QAbstractButton*>(Control->Widget());
}

// The caption with its accelerator shown; the layer presses the button for
// the accelerator, so Qt's own shortcut for it goes.
void SetButtonText(QAbstractButton* Button, const AnsiString& Caption) {
    Button->setText(QtCaption(Caption));
    Button->setShortcut(QKeySequence());
}
} // namespace

// TButton

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle &= ~csClickEvents; // the widget reports clicks
    SetTabStop(true);
    SetColor(clBtnFace);
    SetBounds(0, 0, DefaultButtonWidth, DefaultButtonHeight);
}

QWidget* TButton::CreateWidget() {
    auto* button = new QPushButton();
    SetButtonText(button, Caption());
    // The layer decides what Enter presses (the form is no Qt dialog); Qt's
    // default flag only gives the default button its look.
    button->setAutoDefault(false);
    button->setDefault(FDefault);
    ApplyControlColors(button, this, false);
    QObject::connect(button, &QPushButton::clicked,
                     [this] { CallAtEventBoundary(this, [this] { Click(); }); });
    return button;
}

void TButton::Click() {
    // The form may go away in the handler: the result goes to a form that is
    // still there.
    TCustomForm* form = GetParentForm(this);
    TComponentWatch watch(form);
    TWinControl::Click();
    if (ModalResult != mrNone && watch.Target()) form->SetModalResult(ModalResult);
}

void TButton::SetDefault(bool Value) {
    FDefault = Value;
    if (HandleAllocated()) static_cast<QPushButton*>(Widget())->setDefault(Value);
}

bool TButton::Active() const {
    TCustomForm* form = GetParentForm(const_cast<TButton*>(this));
    TWinControl* focused = form ? form->ActiveControl() : nullptr;
    if (dynamic_cast<TButton*>(focused)) return focused == this;
    return FDefault;
}

void TButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
        if (HandleAllocated()) SetButtonText(ButtonOf(this), Caption());
        break;
    case CM_DIALOGKEY:
        // Enter presses the active button, Esc the cancel button; with Ctrl,
        // Alt or Shift neither.
        if (((Message.WParam == VK_RETURN && Active()) || (Message.WParam == VK_ESCAPE && Cancel)) &&
            KeyDataToShiftState(Message.LParam) == 0 && CanFocus()) {
            Click();
            Message.Result = 1;
        }
        return;
    case CM_DIALOGCHAR:
        if (IsAccelMessage(Message, this)) {
            Click();
            Message.Result = 1;
        }
        return;
    default:
        break;
    }
    TWinControl::Dispatch(Message);
    FollowControlColors(this, Message.Msg, false);
}

// TButtonControl

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle &= ~csClickEvents; // the widget reports clicks
    SetBounds(0, 0, DefaultCheckWidth, DefaultCheckHeight);
}

void TButtonControl::UpdateCaption() {
    if (!HandleAllocated()) return;
    if (FOwnerDraw) {
        Invalidate();
        return;
    }
    SetButtonText(ButtonOf(this), Caption());
    ButtonOf(this)->setLayoutDirection(FAlignment == TAlignment::taLeftJustify ? Qt::RightToLeft
                                                                               : Qt::LeftToRight);
}

void TButtonControl::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    UpdateCaption();
}

void TButtonControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
        UpdateCaption();
        break;
    case CM_DIALOGCHAR:
        // The accelerator focuses the button and changes its mark as a click.
        if (IsAccelMessage(Message, this)) {
            SetFocus();
            if (auto* radio = dynamic_cast<TRadioButton*>(this))
                radio->SetChecked(true);
            else
                SetChecked(!Checked());
            Message.Result = 1;
        }
        return;
    default:
        break;
    }
    TWinControl::Dispatch(Message);
    if (!FOwnerDraw) FollowControlColors(this, Message.Msg, !ParentColor());
}

// TCustomCheckBox

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
    SetTabStop(true);
}

QWidget* TCustomCheckBox::CreateWidget() {
    auto* box = new QCheckBox();
    box->setTristate(AllowGrayed);
    box->setCheckState(FState == TCheckBoxState::cbChecked  ? Qt::Checked
                       : FState == TCheckBoxState::cbGrayed ? Qt::PartiallyChecked
                                                            : Qt::Unchecked);
    // A colour of its own fills it; otherwise its parent shows through.
    ApplyControlColors(box, this, !ParentColor());
    QObject::connect(box, &QCheckBox::clicked, [this, box] {
        CallAtEventBoundary(this, [&] { WidgetToggled(box->checkState() != Qt::Unchecked); });
    });
    return box;
}

void TCustomCheckBox::WidgetCreated() {
    UpdateCaption();
}

void TCustomCheckBox::WidgetToggled(bool) {
    auto* box = static_cast<QCheckBox*>(Widget());
    Qt::CheckState s = box->checkState();
    SetState(s == Qt::Checked            ? TCheckBoxState::cbChecked
             : s == Qt::PartiallyChecked ? TCheckBoxState::cbGrayed
                                         : TCheckBoxState::cbUnchecked);
}

void TCustomCheckBox::SetState(TCheckBoxState Value) {
    if (Value == FState) return;
    FState = Value;
    if (HandleAllocated()) {
        auto* box = static_cast<QCheckBox*>(Widget());
        if (Value == TCheckBoxState::cbGrayed) box->setTristate(true);
        box->setCheckState(Value == TCheckBoxState::cbChecked  ? Qt::Checked
                           : Value == TCheckBoxState::cbGrayed ? Qt::PartiallyChecked
                                                               : Qt::Unchecked);
    }
    if (!FClicksDisabled) Click();
}

// TRadioButton

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
    SetTabStop(false);
}

QWidget* TRadioButton::CreateWidget() {
    if (FOwnerDraw) return TWinControl::CreateWidget();
    auto* radio = new QRadioButton();
    radio->setChecked(FChecked);
    ApplyControlColors(radio, this, !ParentColor());
    QObject::connect(radio, &QRadioButton::toggled, [this](bool On) {
        if (FClicksDisabled) return;
        CallAtEventBoundary(this, [&] { WidgetToggled(On); });
    });
    return radio;
}

void TRadioButton::WidgetCreated() {
    UpdateCaption();
}

void TRadioButton::WidgetToggled(bool On) {
    if (On)
        SetChecked(true);
    else if (FChecked) {
        // Qt unchecks the others of a group itself.
        FChecked = false;
        SetTabStop(false);
    }
}

void TRadioButton::SetChecked(bool Value) {
    if (Value == FChecked) return;
    FChecked = Value;
    SetTabStop(Value);
    if (FOwnerDraw) {
        Invalidate();
    } else if (HandleAllocated()) {
        FClicksDisabled = true;
        TScopeGuard end([this] { FClicksDisabled = false; });
        auto* radio = static_cast<QRadioButton*>(Widget());
        // Qt keeps one button of a group checked; the platform lets code
        // clear them all.
        radio->setAutoExclusive(Value);
        radio->setChecked(Value);
        radio->setAutoExclusive(true);
    }
    if (!Value) return;
    if (TWinControl* parent = Parent())
        for (int i = 0; i < parent->ControlCount(); ++i)
            if (auto* other = dynamic_cast<TRadioButton*>(parent->Controls(i)); other && other != this)
                other->SetChecked(false);
    if (!FClicksDisabled) Click();
}
