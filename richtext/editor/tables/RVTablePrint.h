// The table's printing drawing item: a second layout of the table at the
// printer's resolution with a printable copy of every cell, cut into one
// part per page between rows or inside a row by paginating the cells'
// contents, with the heading rows repeated on every part and the footnotes
// of the cells taking room on the page of their row.
#pragma once

#include <memory>
#include <vector>

#include "richtext/editor/tables/RVTable.h"
#include "richtext/print/pages/PtblRVData.h"

// The printable copy of one cell, paginated one page at a time; the last
// page made can be taken back once.
class TCellPtblRVData : public TRectPtblRVData {
public:
    using TRectPtblRVData::TRectPtblRVData;

    TRVPaginationState State;
    int32_t PagesMade = 0;
    // The content height of the last page made.
    int32_t EndY = 0;
    // The state before the last page was made.
    TRVPaginationState Saved;
    int32_t SavedEndY = 0;
    int32_t SavedPageCount = 0;

    TRVStyle* GetRVStyle() const override { return SourceData->GetRVStyle(); }
    void SetEndY(int Value) override { EndY = Value; }
    // No drawing items, or all of them placed on pages.
    bool AllFormatted() const { return DrawItems.Count() == 0 || State.NextDrawItem >= DrawItems.Count(); }
};

// One page's part of a table: the rows it shows below the heading rows.
class TRVTablePrintPart : public TRVMultiDrawItemPart {
public:
    // Per column, for the part's first row: the page of the covering cell's
    // content shown here (0: none, the cell ended earlier; 1: its first
    // page; k: its page k). Empty when no earlier part cut into that row.
    std::vector<int32_t> ContinuedPages;
    // The same for the next part, while this part's last row goes on.
    std::vector<int32_t> NextPages;
    // The top of each row of the part (the cells' outer border, in the
    // printed layout's coordinates), then where the last row ends.
    std::vector<int32_t> RowYs;
    // The table row of each entry of RowYs.
    std::vector<int32_t> RowNumbers;
    bool LastRowWhole = true;
    int32_t HeadingRowsHeight = 0;

    int FirstRow() const { return RowNumbers.empty() ? 0 : RowNumbers.front(); }
    // The part's last row (the closing entry does not count).
    int LastRow() const { return RowNumbers.size() < 2 ? FirstRow() : RowNumbers[RowNumbers.size() - 2]; }
    int GetPageBreakExtra() const override { return FirstRow(); }
    bool CutsContent() const override;
};

class TRVTablePrintInfo : public TRVMultiDrawItemInfo {
public:
    TRVTablePrintInfo(TRVTableItemInfo& ATable, TCustomPrintableRVData& AParent,
                      const TRVScreenDeviceResolution& AResolution);

    TRVScreenDeviceResolution Resolution;
    TRVTableItemInfo& Table;
    int32_t HeadingRows = 0;
    TRVTableItemFormattingInfo PrintLayout;
    // Row by row, nil for a covered position; PrintLayout.PrintCells views them.
    std::vector<std::unique_ptr<TCellPtblRVData>> Cells;

    // The size is set by the table's printed layout only.
    void SetSize(int, int) override {}
    bool InitSplit(const TRVScreenDeviceResolution& Resolution) override;
    bool CanSplitFirst(int Room, const TRVScreenDeviceResolution& Resolution, bool ItemStartsPage,
                       bool ListExists, bool CountFootnotes) override;
    bool SplitAt(int Room, const TRVScreenDeviceResolution& Resolution, bool FirstOnPage,
                 TRVFootnoteRefList*& Footnotes, int& Height, bool CountFootnotes) override;
    void ClearParts(TRVFootnoteRefList*& Footnotes, int& Height, bool CountFootnotes) override;
    void RemoveLastPart(TRVFootnoteRefList*& Footnotes, int& Height, bool CountFootnotes) override;
    void CollectFootnotes(TRVFootnoteRefList*& Footnotes, int& Height, bool CountFootnotes) override;
    void SubtractFootnotesHeight(int& Height, bool& ListExists) override;
    void RemoveFootnotes(TRVFootnoteRefList*& Footnotes, int& Height, bool CountFootnotes) override;

    TCellPtblRVData* CellData(int Row, int Col) const {
        return Cells[std::size_t(Row) * std::size_t(Table.ColCount()) + std::size_t(Col)].get();
    }
    TRVTablePrintPart* Part(int Index) const { return static_cast<TRVTablePrintPart*>(PartsList[Index]); }

    // ---- cell pagination
    // Makes the cell's next page in Room; false when all was placed.
    bool FormatNextCellPage(TCellPtblRVData& D, int& Room, TRVFootnoteRefList*& Footnotes,
                            bool CountFootnotes);
    void UndoLastCellPage(TCellPtblRVData& D, TRVFootnoteRefList*& Footnotes, int& Height,
                          bool CountFootnotes);
    void ResetCellPages(TCellPtblRVData& D, TRVFootnoteRefList*& Footnotes, int& Height, bool CountFootnotes);

    // Draws the whole table (Part -1) or one part with its top at Y.
    void Paint(TCanvas& Canvas, int X, int Y, int Part, TRVColorMode ColorMode, bool Preview);

private:
    // The top of row Row's outer cell border; Row = RowCount is the end.
    int Edge(int Row) const;
    // The footnotes of the cells of rows First..Last not yet in the list.
    int RowsFootnotesHeight(int First, int Last, const TRVFootnoteRefList* Footnotes) const;
    void CollectRowsFootnotes(int First, int Last, TRVFootnoteRefList*& Footnotes, int& Height,
                              bool CountFootnotes);
    void RemoveCellFootnotes(TCustomMultiPagePtblRVData& D, int From, TRVFootnoteRefList*& Footnotes,
                             int& Height, bool CountFootnotes);
    void PaintCell(TCanvas& Canvas, int Row, int Col, int X, int Top, int Bottom, int Page, const TRect& Clip,
                   TRVColorMode ColorMode, bool Preview);
};

// The effective colour a cell prints on.
TColor RVTablePrintCellColor(const TRVTableItemInfo& Table, const TRVTableCellData& Cell);
