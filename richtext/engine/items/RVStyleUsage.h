// The record with which the styles a document uses are found, so that the
// others can be deleted and the items renumbered.
#pragma once

#include "richtext/engine/text/RVClasses.h"

class TRVStyle;

// One mark per text, paragraph and list style of the style sheet: 1 used,
// 0 not (yet). Kinds that are not examined start with every style used.
// Before items renumber, the caller turns each list into "0 for a deleted
// style, else 1 + the number of deleted styles before it".
struct TRVStyleUsageInfo {
    bool ExamineTextStyles = true;
    bool ExamineParaStyles = true;
    bool ExamineListStyles = true;
    bool Prepared = false;
    TRVIntegerList TextStyles;
    TRVIntegerList ParaStyles;
    TRVIntegerList ListStyles;

    // Sizes the lists to the style sheet and marks the standard styles and
    // the default Unicode style; once per record.
    void Prepare(TRVStyle& RVStyle);
    // Out-of-range indexes are left alone.
    static void Mark(TRVIntegerList& Marks, int Index);
    // The index after the deletion; an index outside the list stays.
    static int Renumbered(const TRVIntegerList& Marks, int Index);
};
