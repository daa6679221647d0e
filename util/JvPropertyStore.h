// The property names a property store leaves out.
#pragma once

#include "platform/rtl/StringLists.h"

// Fills Result with Own followed by the names every property store leaves
// out, and returns it.
TStrings& CombinedIgnoreProperties(const TStrings& Own, TStrings& Result);
