// What the page control's sources share beyond its public header.
#pragma once

#include "controls/pages/AdvPageControl.h"

// Tabs along the top or the bottom edge, as against the sides.
inline bool Horizontal(TTabPosition P) {
    return P == TTabPosition::tpTop || P == TTabPosition::tpBottom;
}
