// The dynamics window of one testee. Until its chart and report exist, a
// stand-in that says so.
#pragma once

#include "app/results/StandIn_Frm.h"
#include "core/DataMod.h"

class TDinamics_Form : public TStandIn_Form {
public:
    explicit TDinamics_Form(TComponent* AOwner);

    TUser User;
};

// The change of the testee's stens over the tests.
void ShowDynamics(const TUser& User);
