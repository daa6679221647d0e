// The search in a main grid. Until its window exists, a stand-in that says so.
#pragma once

#include "app/results/StandIn_Frm.h"

class TBaseVirtualTree;

class TSearch_Form : public TStandIn_Form {
public:
    TSearch_Form(TComponent* AOwner, TBaseVirtualTree* ATree);
    TBaseVirtualTree* Tree;
};

// Finds a row of Tree by the text of a visible column; the row found stays
// focused.
void SearchInGrid(TBaseVirtualTree* Tree);
