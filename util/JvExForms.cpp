// The extended form's messages and keyboard cues.
#include "util/JvExForms.h"

#include "util/JclUnitVersioning.h"

LIBRARY_UNIT_VERSION("util/JvExForms.cpp", "1", "2026-12-10", "JvLib\\run")

TJvExForm::TJvExForm(TComponent* AOwner) : TJvExWinControl<TForm>(AOwner) {}

void TJvExForm::WndProc(TMessage& Message) {
    if (Message.Msg == CM_DIALOGKEY) {
        // Keyboard navigation shows the focus cue, the Alt key the accelerators too.
        WPARAM key = Message.WParam;
        if (key == VK_TAB || (key >= VK_LEFT && key <= VK_DOWN))
            Perform(WM_CHANGEUISTATE, WPARAM(UIS_CLEAR | UISF_HIDEFOCUS << 16), 0);
        else if (key == VK_MENU)
            Perform(WM_CHANGEUISTATE, WPARAM(UIS_CLEAR | (UISF_HIDEFOCUS | UISF_HIDEACCEL) << 16), 0);
    }
    TJvExWinControl<TForm>::WndProc(Message);
}

void TJvExForm::NotifyShowingChange() {
    if (Showing()) Perform(WM_CHANGEUISTATE, UIS_INITIALIZE, 0);
    TJvExWinControl<TForm>::NotifyShowingChange();
}
