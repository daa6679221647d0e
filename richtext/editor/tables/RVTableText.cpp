// The table's plain text: the cells' texts joined by the column and row
// separators.
#include "richtext/editor/tables/RVTable_p.h"

AnsiString TRVTableItemInfo::AsText(int, TCustomRVData*, const AnsiString&, const AnsiString&, bool,
                                    bool) const {
    return {};
}
