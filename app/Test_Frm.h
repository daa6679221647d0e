// The questionnaire window. Until its window exists, a stand-in that says so.
#pragma once

#include "app/results/StandIn_Frm.h"
#include "core/DataMod.h"

class TTest_Form : public TStandIn_Form {
public:
    explicit TTest_Form(TComponent* AOwner);
    TTestData TestData;
};

// Runs one on-screen test for TestData's testee; true when it was completed
// and its insert attempted.
bool RunTest(const TTestData& TestData);
