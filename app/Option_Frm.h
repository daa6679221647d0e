// The options (row colours, psychologist password). Until its window
// exists, a stand-in that says so.
#pragma once

#include "app/results/StandIn_Frm.h"
#include "core/uTarvikApplicationClass.h"

class TOptions_Form : public TStandIn_Form {
public:
    TOptions_Form(TComponent* AOwner, TTarvikApplication* ATarvikApplication);
    TTarvikApplication* TarvikApplication;
};

// True when the options were changed and stored.
bool ShowOptions(TTarvikApplication* TarvikApplication);
