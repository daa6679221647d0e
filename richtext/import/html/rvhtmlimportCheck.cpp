// The checker of documents built from HTML: the engine's structure checks,
// and style, paragraph and list numbers that the style sheet has, through
// every sub-document, and the grids of tables.
#include "richtext/editor/tables/RVTableCheck.h"
#include "richtext/engine/document/CRVDataCheck.h"
#include "richtext/engine/items/RVMarker.h"
#include "richtext/import/html/rvhtmlimport.h"

AnsiString CheckHtmlDocumentInvariants(const TCustomRVData& Data) {
    AnsiString faults = CheckRVDataInvariants(Data);
    if (!faults.empty()) return faults;
    TRVStyle* style = Data.GetRVStyle();
    if (!style) return "no style sheet";
    const int texts = style->TextStyles().Count(), paras = style->ParaStyles().Count(),
              lists = style->ListStyles().Count();
    const_cast<TCustomRVData&>(Data).EnumItems([&](TCustomRVData& RVData, int i, bool& Continue) {
        const TCustomRVItemInfo* item = RVData.GetItem(i);
        if (!item) return;
        if (item->ParaNo < 0 || item->ParaNo >= paras)
            faults = Format("item %d has paragraph style %d of %d", {i, item->ParaNo, paras});
        else if (item->StyleNo >= texts && item->StyleNo != rvsDefStyle)
            faults = Format("item %d has text style %d of %d", {i, item->StyleNo, texts});
        else if (auto* table = dynamic_cast<const TRVTableItemInfo*>(item)) {
            if (AnsiString broken = CheckTableInvariants(*table); !broken.empty())
                faults = Format("table %d: %s", {i, broken});
        } else if (auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(item)) {
            if (marker->ListNo < 0 || marker->ListNo >= lists)
                faults = Format("marker %d has list style %d of %d", {i, marker->ListNo, lists});
            else if (marker->Level < 0 ||
                     marker->Level >= style->ListStyles()[marker->ListNo]->Levels().Count())
                faults = Format("marker %d has level %d its list lacks", {i, marker->Level});
            else if (!marker->StartsParagraph())
                faults = Format("marker %d does not begin its paragraph", {i});
        }
        Continue = faults.empty();
    });
    return faults;
}
