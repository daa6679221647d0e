// The card of one logical database (name and password). Until its window
// exists, a stand-in that says so.
#pragma once

#include "app/results/StandIn_Frm.h"
#include "core/DataMod.h"

class TDBEdit_Form : public TStandIn_Form {
public:
    explicit TDBEdit_Form(TComponent* AOwner);
    TDatabase Database;
};

// Edits Database; true, with the card's record copied back, on OK.
bool EditDatabaseCard(TDatabase& Database);
