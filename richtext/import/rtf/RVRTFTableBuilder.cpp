// The table builder used until the document has a table item: each grid
// row becomes a paragraph of its cells' content separated by tabs.
#include "richtext/import/rtf/RVRTFTableBuilder.h"

#include "richtext/engine/items/RVMarker.h"

namespace {

// The text style of the first text item of Data, 0 when it has none.
int FirstTextStyle(const TCustomRVData& Data) {
    for (int i = 0; i < Data.ItemCount(); ++i)
        if (const TCustomRVItemInfo* item = Data.GetItem(i); item && item->StyleNo >= 0)
            return item->StyleNo == rvsDefStyle ? 0 : item->StyleNo;
    return 0;
}

} // namespace

void TRVRTFParagraphTableBuilder::BuildTable(TRVRTFTableGrid& Grid, int ParaNo, TRVRTFTablePlacer& Placer) {
    for (int r = 0; r < Grid.RowCount(); ++r) {
        bool started = false;
        std::unique_ptr<TCustomRVItemInfo> emptyText;
        AnsiString emptyString;
        bool firstCell = true;
        for (int c = 0; c < Grid.ColCount(); ++c) {
            TRVRTFGridCell* cell = Grid.Cell(r, c);
            if (!cell) continue;
            TRVRTFCellData& data = *cell->Data;
            if (!firstCell) {
                Placer.PlaceTab(FirstTextStyle(data), ParaNo, started ? rtf_ts_ContinuePara : rtf_ts_NewPara);
                started = true;
            }
            firstCell = false;
            bool firstOfCell = true;
            for (int i = 0; i < data.ItemCount(); ++i) {
                TCustomRVItemInfo* live = data.GetItem(i);
                if (!live) continue;
                bool startsLine = !live->GetContinuesParagraph();
                AnsiString text = data.GetItemText(i);
                data.RemoveMarkerFromList(live, true);
                data.RemoveSeqFromList(live, true);
                if (live->Checkpoint) data.UnlinkCheckpoint(live->Checkpoint.get(), true);
                std::unique_ptr<TCustomRVItemInfo> item = data.ItemList->ReleaseObject(i);
                // A marker begins a paragraph; inside a row it would not.
                if (item->StyleNo == rvsListMarker && (started || i > 0)) continue;
                if (item->StyleNo >= 0 && text.empty() && !item->Checkpoint) {
                    if (!emptyText) {
                        emptyText = std::move(item);
                        emptyString = text;
                    }
                    continue;
                }
                TRVRTFPosition position = !started                     ? rtf_ts_NewPara
                                          : startsLine && !firstOfCell ? rtf_ts_NewLine
                                                                       : rtf_ts_ContinuePara;
                firstOfCell = false;
                if (!started && item->StyleNo != rvsListMarker && item->ParaNo < 0) item->ParaNo = ParaNo;
                Placer.PlaceItem(std::move(item), text, position);
                started = true;
            }
        }
        // A row of empty cells still is a paragraph.
        if (!started && emptyText) Placer.PlaceItem(std::move(emptyText), emptyString, rtf_ts_NewPara);
    }
}
