// The layout's invariant checker: drawing items that show every item's
// characters once and in order, lines that begin where they should, items
// that know their first drawing item, and hyperlink areas in order.
#pragma once

#include "richtext/engine/layout/CRVFData.h"

// Describes the first broken invariants of Data's drawing items (a few at
// most), or returns empty. Data must be formatted (or have no drawing
// items).
AnsiString CheckFormattedInvariants(const TCustomRVFormattedData& Data);

// In a checking build (debug, sanitizers), raises EZoroZudoError naming what
// is broken in Data's document or layout; elsewhere does nothing.
void RVCheckLayoutAfterOperation(const TCustomRVFormattedData& Data);
