// The document's invariant checker: items, paragraph flags and the
// checkpoint chain, recomputed from the items and compared.
#pragma once

#include "richtext/engine/document/CRVData.h"

// Describes the first broken invariants of Data (a few at most, separated
// by "; "), or returns empty when the document is sound. Paragraph styles
// are checked as a finished document has them (AddItem keeps them; a reader
// that adds items as they are normalises them afterwards).
AnsiString CheckRVDataInvariants(const TCustomRVData& Data);
