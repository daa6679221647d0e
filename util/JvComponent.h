// The library's component and form: the form adds owner-window handling
// when shown, a mode that never takes the focus, and showing without
// activation.
#pragma once

#include "util/JvExForms.h"

// The base of the library's non-visual components.
class TJvComponent : public TComponent {
public:
    explicit TJvComponent(TComponent* AOwner) : TComponent(AOwner) {}
};

class TJvForm : public TJvExForm {
public:
    // Forms are built in code: there are no form resources to load, so
    // this is the platform's CreateNew.
    explicit TJvForm(TComponent* AOwner);
    void WndProc(TMessage& Message) override;

    bool IsFocusable() const { return FIsFocusable; }
    void SetIsFocusable(bool Value);
    // Optionally runs the activation handler, then shows the window on top
    // without activating it.
    void ShowWithoutActivation(bool CallActivate);

private:
    void AdoptOwnerWindow();
    bool FIsFocusable = true;
};
