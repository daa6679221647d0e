// The editing data's invariant checker: the document and its layout as the
// engine checks them, a caret on a line of positions it agrees with, and
// undo lists whose groups and records belong to them.
#pragma once

#include "richtext/editor/edit/RVERVData.h"

// Describes the first broken invariants of Data (a few at most, separated
// by "; "), or returns empty when all are sound. A formatted document is
// expected to hold a caret.
AnsiString CheckEditInvariants(const TRVEditRVData& Data);
