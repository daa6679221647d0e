// The extended masked edit: the shared extended services, a gate on
// clipboard and undo commands, and an error beep.
#pragma once

#include "platform/gui/Mask.h"
#include "util/JvExControls.h"

enum TJvClipboardCommand : unsigned {
    caCopy = 1u << 0,
    caCut = 1u << 1,
    caPaste = 1u << 2,
    caClear = 1u << 3,
    caUndo = 1u << 4
};
using TJvClipboardCommands = unsigned;

class TJvExCustomMaskEdit : public TJvExWinControl<TCustomMaskEdit> {
public:
    explicit TJvExCustomMaskEdit(TComponent* AOwner);
    void WndProc(TMessage& Message) override;

    TJvClipboardCommands ClipboardCommands() const { return FClipboardCommands; }
    virtual void SetClipboardCommands(TJvClipboardCommands Value) { FClipboardCommands = Value; }
    bool BeepOnError() const { return FBeepOnError; }
    virtual void SetBeepOnError(bool Value) { FBeepOnError = Value; }

protected:
    // A rejected key or a change of a read-only value.
    virtual void SignalInputError();

private:
    TJvClipboardCommands FClipboardCommands = caCopy | caCut | caPaste | caClear | caUndo;
    bool FBeepOnError = true;
};
