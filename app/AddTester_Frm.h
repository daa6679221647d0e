// The testee card. Until its window exists, a stand-in that says so.
#pragma once

#include "app/results/StandIn_Frm.h"
#include "core/DataMod.h"
#include "core/uTarvikApplicationClass.h"

class TAddTester_Form : public TStandIn_Form {
public:
    explicit TAddTester_Form(TComponent* AOwner);
    TUser User;
    TTarvikApplication* TarvikApplication = nullptr;
};

// Edits User (a new one when USER_ID is -1); true, with the card's record
// copied back, on OK.
bool EditTesteeCard(TTarvikApplication* TarvikApplication, TUser& User);
