// The group data entry. Until its window exists, a stand-in that says so.
#pragma once

#include <memory>

#include "app/results/StandIn_Frm.h"
#include "core/DataMod.h"
#include "platform/rtl/StringLists.h"

class TTeamBlnk_Form : public TStandIn_Form {
public:
    explicit TTeamBlnk_Form(TComponent* AOwner);
    TTeam Team;
    // The USER_IDs (decimal texts) whose newest tests fill a new entry.
    TStringList Testees;
};

// Edits Team; true, with the window's record copied back, on OK.
bool EditTeamBlank(TTeam& Team);
// A new entry filled from the newest tests of the testees in List.
bool NewTeamFromTestees(TStrings* List, TTeam& Team);
