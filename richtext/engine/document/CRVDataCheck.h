// The document's invariant checker: items, paragraphs, styles, tags, the
// checkpoint chain, the numbering lists and notes, recomputed from the
// items and compared, through every sub-document.
#pragma once

#include "richtext/engine/document/CRVData.h"

// Describes the first broken invariants of Data and the documents inside it
// (a few at most, separated by "; "), or returns empty when all are sound.
// Paragraph styles are checked as a finished document has them (AddItem
// keeps them; a reader that adds items as they are normalises them
// afterwards).
AnsiString CheckRVDataInvariants(const TCustomRVData& Data);

// Whether this build checks documents after their structural operations
// (debug and sanitizer builds).
bool RVChecksInvariants();
// In such a build, raises EZoroZudoError naming the broken invariants of
// Data's whole tree (from its outer root); elsewhere does nothing.
void RVCheckAfterOperation(const TCustomRVData& Data);
