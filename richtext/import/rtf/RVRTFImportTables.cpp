// Tables from RTF: what the builder does at a table's start and end, at
// each cell's and each row's end, and how a finished table (or the cells
// of a row never finished) reach the document.
#include "richtext/import/rtf/RVRTFImport_p.h"

TRVRTFSubDataInfo* TRVRTFImportRun::TopTable() {
    return !FSubStack.empty() && FSubStack.back()->Table ? FSubStack.back().get() : nullptr;
}

void TRVRTFImportRun::Table(TRVRTFTableEventKind WhatHappens, bool& Processed) {
    switch (WhatHappens) {
    case rvf_tbl_TableStart:
        TableStart();
        break;
    case rvf_tbl_TableEnd:
        Processed = TableEnd(false);
        break;
    case rvf_tbl_TableForcedEnd:
        Processed = TableEnd(true);
        break;
    case rvf_tbl_RowEnd:
        RowEnd();
        break;
    case rvf_tbl_CellEnd:
        CellEnd();
        break;
    }
    FStyle = FCurrent->GetRVStyle();
}

void TRVRTFImportRun::FillEmptyCell(TRVRTFCellData& Cell) {
    int styleNo = EmptyCellTextStyle();
    std::unique_ptr<TCustomRVItemInfo> item = RVTextItemClass.Create(&Cell);
    item->StyleNo = styleNo;
    item->ParaNo = DefaultParaStyle(rvaLeft);
    if (FStyle && styleNo < FStyle->TextStyles().Count() && FStyle->TextStyles()[styleNo]->Unicode)
        item->ItemOptions |= ioUnicodeText;
    Cell.AddItem(AnsiString(), std::move(item));
}

void TRVRTFImportRun::TableStart() {
    auto entry = std::make_unique<TRVRTFSubDataInfo>();
    entry->Document = FCurrent;
    entry->Row = FRow;
    entry->Col = FCol;
    if (FPageBreakData == FCurrent) {
        entry->PageBreak = true;
        FPageBreakData = nullptr;
    }
    entry->Table = std::make_unique<TRVRTFTableAssembler>(
        FCurrent, FTwipsToPixels, [this](TRVRTFCellData& Cell) { FillEmptyCell(Cell); });
    FRow = FCol = 0;
    FCurrent = &entry->Table->CurrentCell();
    FSubStack.push_back(std::move(entry));
}

void TRVRTFImportRun::CellEnd() {
    TRVRTFSubDataInfo* table = TopTable();
    if (!table) return;
    if (table->LastRow) {
        // The row before was the table's last: the row being collected
        // begins a new table.
        bool complete = table->RowComplete;
        std::vector<std::unique_ptr<TRVRTFCellData>> row = table->Table->TakeCollectedRow();
        table->RowComplete = true;
        TableEnd(false);
        TableStart();
        table = TopTable();
        table->Table->TakeOverRow(std::move(row));
        table->RowComplete = complete;
        FCol = table->Table->CurrentColumn();
        FCurrent = &table->Table->CurrentCell();
    }
    if (FCurrent->ItemCount() == 0) {
        NewText(AnsiString(), rtf_ts_NewPara);
        CompleteMarker();
    }
    table->Table->NextCell();
    ++FCol;
    FCurrent = &table->Table->CurrentCell();
}

void TRVRTFImportRun::RowEnd() {
    TRVRTFSubDataInfo* table = TopTable();
    if (!table) return;
    static const TRVRTFRowProperties noRow;
    const TRVRTFRowProperties* row = Reader->State().Row();
    if (!row) row = &noRow;
    table->Table->AddRow(*row, Reader->RowIsHeading());
    table->RowComplete = true;
    ++FRow;
    FCol = 0;
    // A full table goes on as a new one, as after a last row.
    table->LastRow = row->LastRow || table->Table->RowsAdded() >= RVRTFMaxRowsPerTable;
    FCurrent = &table->Table->CurrentCell();
}

void TRVRTFImportRun::MoveOutCell(TRVRTFCellData& Cell) {
    for (int i = 0; i < Cell.ItemCount(); ++i) {
        TCustomRVItemInfo* live = Cell.GetItem(i);
        if (!live) continue;
        TRVRTFPosition position = i == 0 || live->StartsParagraph() ? rtf_ts_NewPara
                                  : live->GetLineBreakBefore()      ? rtf_ts_NewLine
                                                                    : rtf_ts_ContinuePara;
        AnsiString text = Cell.GetItemText(i);
        Cell.RemoveMarkerFromList(live, true);
        Cell.RemoveSeqFromList(live, true);
        if (live->Checkpoint) Cell.UnlinkCheckpoint(live->Checkpoint.get(), true);
        PlaceItem(Cell.ItemList->ReleaseObject(i), text, position);
    }
    Cell.Clear();
}

bool TRVRTFImportRun::TableEnd(bool Forced) {
    TRVRTFSubDataInfo* table = TopTable();
    if (!table) return true;
    if (!Forced && !table->RowComplete) return false;
    std::unique_ptr<TRVRTFTableGrid> grid =
        table->Table->Finish(Props.UseSingleCellPadding, Props.AutoHideTableGridLines);
    // A page break waiting in the last cell waits after the table instead.
    TCustomRVData* setAside = FPageBreakData == FCurrent ? table->Document : FPageBreakData;
    FPageBreakData = table->PageBreak ? table->Document : nullptr;
    FCurrent = table->Document;
    FRow = table->Row;
    FCol = table->Col;
    FStyle = FCurrent->GetRVStyle();
    TRVAlignment alignment = Reader->RowAlignmentSet() ? TRVAlignment(Reader->RowAlignment() % 3) : rvaLeft;
    int paraNo = DefaultParaStyle(alignment);
    if (grid->RowCount() > 0 && grid->ColCount() > 0) {
        TRVRTFTableBuilder& builder = Props.TableBuilder ? *Props.TableBuilder : FDefaultTableBuilder;
        builder.BuildTable(*grid, paraNo, *this);
    }
    if (!table->RowComplete) {
        // Content after the last row end follows the table as paragraphs.
        for (int i = 0; i <= table->Table->CurrentColumn(); ++i)
            MoveOutCell(table->Table->CollectedCell(i));
        FLastMarker = -1;
        FLastNoteRef = -1;
    }
    FSubStack.pop_back();
    if (!FPageBreakData) FPageBreakData = setAside;
    return true;
}
