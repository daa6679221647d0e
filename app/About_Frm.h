// The About box. Until its window exists, a stand-in that says so.
#pragma once

#include "app/results/StandIn_Frm.h"

class TAbout_Form : public TStandIn_Form {
public:
    explicit TAbout_Form(TComponent* AOwner);
};

void ShowAbout();
