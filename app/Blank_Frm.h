// The paper answer-sheet entry. Until its window exists, a stand-in that
// says so.
#pragma once

#include "app/results/StandIn_Frm.h"
#include "core/DataMod.h"

class TBlank_Form : public TStandIn_Form {
public:
    explicit TBlank_Form(TComponent* AOwner);
    TTestData TestData;
};

// Takes the answers of a paper sheet as a new test (TEST_ID -1) or as the
// correction of a stored one; true, with the test stored, on OK.
bool EnterFromBlank(TTestData& TestData);
