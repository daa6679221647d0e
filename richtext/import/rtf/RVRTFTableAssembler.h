// One RTF table while it is read: the row collector that receives the
// cells of the current row, and the column grid built from the cell
// boundaries of all rows, into which each finished row is merged, with
// merged cells where a row's cells span several grid columns.
#pragma once

#include <functional>

#include "richtext/import/rtf/RVRTFProps.h"
#include "richtext/import/rtf/RVRTFTableGrid.h"

class TRVRTFTableAssembler {
public:
    // Host: the document the table goes into. TwipsToPixels: the reader's
    // factor. FillEmptyCell gives a cell without items its one empty
    // paragraph when the table is finished.
    TRVRTFTableAssembler(TCustomRVData* AHost, double ATwipsToPixels,
                         std::function<void(TRVRTFCellData& Cell)> AFillEmptyCell);

    // ---- the row collector
    // The cell that receives content now.
    TRVRTFCellData& CurrentCell() { return *FCollector.back(); }
    int CurrentColumn() const { return int(FCollector.size()) - 1; }
    // The current cell is complete; the next one begins.
    void NextCell();
    TRVRTFCellData& CollectedCell(int Index) { return *FCollector.at(std::size_t(Index)); }
    // The cells of the row being collected, for another table of the same
    // document to take over (the collector starts again).
    std::vector<std::unique_ptr<TRVRTFCellData>> TakeCollectedRow();
    void TakeOverRow(std::vector<std::unique_ptr<TRVRTFCellData>> Cells);

    // ---- the grid
    // Merges the collected row, described by Row, into the grid and starts
    // a new row of one cell. Heading: the row is to repeat on each page.
    void AddRow(const TRVRTFRowProperties& Row, bool Heading);
    int RowsAdded() const { return FRowsAdded; }
    // The boundaries in twips, ascending: one more than grid columns.
    const std::vector<int>& Boundaries() const { return FBounds; }
    TRVRTFTableGrid& Grid() { return *FGrid; }
    // The table's look from what its rows gave; empty rows removed and
    // empty cells filled. The grid is handed over.
    std::unique_ptr<TRVRTFTableGrid> Finish(bool UseSingleCellPadding, bool AutoHideGridLines);

private:
    int ToPixels(double Twips) const;
    // The index of the boundary at X (within 1 twip), made when missing.
    int EnsureBoundary(int X);
    int BoundaryIndex(int X) const;
    void ResetCell(int Row, int Col);
    void ApplyCellProperties(TRVRTFGridCell& Cell, const TRVRTFCellProperties& Props, int A, int B,
                             int RowHeight);
    void AddRowProperties(const TRVRTFRowProperties& Row, int R);

    TCustomRVData* FHost;
    double FTwipsToPixels;
    std::function<void(TRVRTFCellData& Cell)> FFillEmptyCell;
    std::vector<std::unique_ptr<TRVRTFCellData>> FCollector;
    std::unique_ptr<TRVRTFTableGrid> FGrid;
    std::vector<int> FBounds;
    int FRowsAdded = 0;

    // What the rows gave, for the table's look (twips).
    int FVSpacingSum = 0;
    int FFirstTopSpacing = 0;
    int FLastBottomSpacing = 0;
    int FPrevBottomSpacing = 0;
    int FHSpacingSum = 0;
    int FLRPaddingSum = 0, FLRPaddingCount = 0;
    int FTBPaddingSum = 0, FTBPaddingCount = 0;
    int FTableWidth = 0;
    int FRowBorderWidthSum = 0, FRowBorderCount = 0;
    int FCellBorderWidthSum = 0, FCellCount = 0, FCellBorderCount = 0;
    bool FHasHSpacing = false;
    bool FHasVSpacing = false;
    bool FSomeCellHasWidth = false;
    bool FCellBorderColorsUniform = true;
    bool FEngineUnits = false;
};
