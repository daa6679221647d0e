// The extended form: the shared extended services and keyboard cues.
#pragma once

#include "util/JvExControls.h"

constexpr WPARAM UIS_INITIALIZE = 3;
constexpr unsigned UIS_CLEAR = 2;
constexpr unsigned UISF_HIDEFOCUS = 1;
constexpr unsigned UISF_HIDEACCEL = 2;

class TJvExForm : public TJvExWinControl<TForm> {
public:
    // An empty form, as the platform's CreateNew.
    explicit TJvExForm(TComponent* AOwner);
    void WndProc(TMessage& Message) override;

protected:
    void NotifyShowingChange() override;
};
