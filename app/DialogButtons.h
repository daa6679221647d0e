// The OK and Cancel buttons of the program's dialogs, in the bottom right
// corner of the window.
#pragma once

#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"

struct TDialogButtons {
    TButton* OK;
    TButton* Cancel;
};

// "&OK" (the default button, running OnOK) and "&Отмена" (the cancel button,
// running OnCancel) at the bottom right of Form, Margin from its edges;
// they keep to that corner as the window's size changes.
TDialogButtons NewDialogButtons(TCustomForm* Form, int Margin, TNotifyEvent OnOK, TNotifyEvent OnCancel);
