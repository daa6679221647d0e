// The instruction window. Until its window exists, a stand-in that says so.
#pragma once

#include "app/results/StandIn_Frm.h"

class TInstr_Form : public TStandIn_Form {
public:
    explicit TInstr_Form(TComponent* AOwner);
};

// Shows the instruction with ButtonCaption on its button; answers how the
// window was closed (mrOk by the button).
int ShowInstruction(const AnsiString& ButtonCaption);
