// The results window of one testee or of one group entry. Until its chart
// and report exist, a stand-in that says so.
#pragma once

#include "app/results/StandIn_Frm.h"
#include "core/DataMod.h"

class TResult_Form : public TStandIn_Form {
public:
    explicit TResult_Form(TComponent* AOwner);

    TUser User;
    TTeam Team;
    // A test was edited or deleted in the window.
    bool FDataChanged = false;
};

// The testee's tests, chart and report; true when tests were edited or
// deleted there.
bool ShowTestResults(const TUser& User);
// The chart and report of one group entry.
void ShowTeamResults(const TTeam& Team);
