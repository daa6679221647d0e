// The stand-in of a window that is not built yet: it carries the window's
// caption and record, says that the window is not available, and closes with
// the result of a user who changed nothing, so the program stays usable.
#pragma once

#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"

class TStandIn_Form : public TForm {
public:
    // CloseResult is what the button (and Enter) closes the window with.
    TStandIn_Form(TComponent* AOwner, const AnsiString& ACaption, int CloseResult = mrCancel);

    TLabel* Message_Label;
    TButton* Close_But;
};

// The text the stand-ins show.
AnsiString NotAvailableText();
