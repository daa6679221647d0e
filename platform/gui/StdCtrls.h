// Standard controls on real Qt widgets.
#pragma once

#include "platform/gui/Controls.h"

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* AOwner);
    // Presses the button: OnClick, then the form takes ModalResult.
    void Click() override;
    int ModalResult = 0;
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel = false;

protected:
    void Dispatch(TMessage& Message) override;
    QWidget* CreateWidget() override;

private:
    bool FDefault = false;
};
