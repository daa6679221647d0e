// The table's invariant checker: a rectangular grid in which every position
// is covered by exactly one cell, spans inside the grid, owners that match,
// and cell documents sound by the engine's own checker.
#pragma once

#include "richtext/editor/tables/RVTable.h"

// Describes the first broken invariants of Table (a few at most, separated
// by "; "), or returns empty when all hold.
AnsiString CheckTableInvariants(const TRVTableItemInfo& Table);

// In a checking build (debug, sanitizers), raises EZoroZudoError naming what
// is broken; elsewhere does nothing.
void RVCheckTableAfterOperation(const TRVTableItemInfo& Table);
