// The extended masked edit's messages, command gate and error beep.
#include "util/JvExMask.h"

#include "util/JclUnitVersioning.h"

LIBRARY_UNIT_VERSION("util/JvExMask.cpp", "1", "2026-12-10", "JvLib\\run")

TJvExCustomMaskEdit::TJvExCustomMaskEdit(TComponent* AOwner) : TJvExWinControl<TCustomMaskEdit>(AOwner) {}

void TJvExCustomMaskEdit::WndProc(TMessage& Message) {
    unsigned needed = 0;
    switch (Message.Msg) {
    case EM_UNDO:
    case WM_UNDO:
        needed = caUndo;
        break;
    case WM_CUT:
        needed = caCut;
        break;
    case WM_COPY:
        needed = caCopy;
        break;
    case WM_PASTE:
        needed = caPaste;
        break;
    case WM_CLEAR:
        needed = caClear;
        break;
    default:
        break;
    }
    if (needed && !(FClipboardCommands & needed)) {
        Message.Result = 1;
        return;
    }
    TJvExWinControl<TCustomMaskEdit>::WndProc(Message);
}

void TJvExCustomMaskEdit::SignalInputError() {
    if (FBeepOnError) Beep();
}
