// Tables read from RTF before they become document items: the cell
// documents, the grid of cells with merged cells (a merged cell sits at
// its top-left position and the positions it covers hold nil), the
// table's look, and the grid's invariant checker.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "richtext/engine/document/CRVData.h"
#include "richtext/import/rtf/RVRTFTypes.h"

// A cell's document while the table is read. It asks the document the
// table goes into for its style sheet, and numbers its markers and
// sequences in the lists of that document's root, as a table cell does.
class TRVRTFCellData : public TCustomRVData {
public:
    explicit TRVRTFCellData(TCustomRVData* AHost) : Host(AHost) {}
    ~TRVRTFCellData() override { Clear(); }
    TCustomRVData* Host;

    uint16_t GetFlags() const override { return 0; }
    void SetFlags(uint16_t) override {}
    TRVStyle* GetRVStyle() const override { return Host->GetRVStyle(); }
    TCustomRVData* GetParentData() const override { return Host; }
    TCustomRVData* GetRootData() const override { return Host->GetRootData(); }
    TCustomRVData* GetOuterParentData() const override { return Host; }
    TCustomRVData* GetOuterRootData() const override { return Host->GetOuterRootData(); }
    // More than one empty paragraph of text.
    bool HasContent() const;
};

enum TRVRTFCellVAlign : uint8_t { rtf_cva_Top, rtf_cva_Middle, rtf_cva_Bottom, rtf_cva_Default };
enum TRVRTFTableBorderStyle : uint8_t {
    rtf_tbs_Raised,
    rtf_tbs_Lowered,
    rtf_tbs_Color,
    rtf_tbs_RaisedColor,
    rtf_tbs_LoweredColor
};

// Sides in the order left, top, right, bottom.
using TRVRTFVisibleSides = std::array<bool, 4>;

class TRVRTFGridCell {
public:
    explicit TRVRTFGridCell(TCustomRVData* Host) : Data(std::make_unique<TRVRTFCellData>(Host)) {}

    std::unique_ptr<TRVRTFCellData> Data;
    int RowSpan = 1;
    int ColSpan = 1;
    TColor Color = clNone;
    TColor BorderColor = clNone;
    TColor BorderLightColor = clNone;
    // Pixels; negative: per cent of the table's width; 0 automatic.
    int BestWidth = 0;
    int BestHeight = 0;
    TRVRTFVisibleSides VisibleBorders{true, true, true, true};
    TRVRTFCellVAlign VAlign = rtf_cva_Default;
    // Made to fill the grid; holds nothing of the document.
    bool Filler = false;

    // The look (not the content, not the spans).
    void AssignProperties(const TRVRTFGridCell& Source);
};

// The table's own look, as the RTF gave it.
struct TRVRTFTableProperties {
    TColor Color = clNone;
    TRVRTFTableBorderStyle BorderStyle = rtf_tbs_RaisedColor;
    TRVRTFTableBorderStyle CellBorderStyle = rtf_tbs_LoweredColor;
    TColor BorderColor = RVRTFAutoColor;
    TColor BorderLightColor = RVRTFAutoColor;
    TColor CellBorderColor = RVRTFAutoColor;
    TColor CellBorderLightColor = RVRTFAutoColor;
    int BorderWidth = 0;
    int CellBorderWidth = 0;
    // With SinglePadding only CellHPadding counts, for all four sides.
    bool SinglePadding = false;
    int CellHPadding = 1;
    int CellVPadding = 1;
    int CellHSpacing = 2;
    int CellVSpacing = 2;
    int BorderHSpacing = 2;
    int BorderVSpacing = 2;
    // Pixels; negative: per cent; 0 automatic.
    int BestWidth = 0;
    int HeadingRowCount = 0;
    TRVRTFVisibleSides VisibleBorders{true, true, true, true};
    bool HideGridLines = false;
};

// The grid of a table. Every index is checked (EZoroZudoError "Invalid row
// or column index").
class TRVRTFTableGrid {
public:
    // Host: the document the table goes into, which the cells ask.
    explicit TRVRTFTableGrid(TCustomRVData* AHost) : FHost(AHost) {}

    TRVRTFTableProperties Props;

    int RowCount() const { return int(FRows.size()); }
    int ColCount() const { return FColCount; }
    // Nil where a merged cell covers the position.
    TRVRTFGridCell* Cell(int Row, int Col) const;
    // The position of the cell that covers (Row, Col).
    void GetMainCell(int Row, int Col, int& MainRow, int& MainCol) const;
    TRVRTFGridCell& MainCell(int Row, int Col) const;

    // Count rows (columns) of new cells before Index; a merged cell across
    // Index grows over them.
    void InsertRows(int Index, int Count);
    void InsertCols(int Index, int Count);
    // A new column after Col: every cell over Col grows over it, so the
    // rows look as before.
    void SplitColumn(int Col);
    // Removes columns; a merged cell that reaches into them shrinks, and
    // the content of removed cells goes to the cell left of them.
    void DeleteCols(int Index, int Count);
    // Removes the rows that hold no cell of their own.
    void DeleteEmptyRows();
    // Merges the rectangle into its top-left cell: the content of the
    // others follows in row order and best widths are combined. False,
    // changing nothing, when a merged cell reaches out of the rectangle.
    bool MergeCells(int Row, int Col, int ColCount, int RowCount);
    // Best widths of a rectangle summed per row; a per-cent row wins.
    int MergedBestWidth(int Row, int Col, int RowCount, int ColCount) const;

private:
    void CheckIndex(int Row, int Col) const;
    TCustomRVData* FHost;
    std::vector<std::vector<std::unique_ptr<TRVRTFGridCell>>> FRows;
    int FColCount = 0;
};

// Describes the first broken invariants of a grid (spans that overlap,
// leave the grid, or leave a position uncovered), or returns empty.
AnsiString CheckRTFTableGridInvariants(const TRVRTFTableGrid& Grid);

// Moves the items of Source to the end of Dest (both cell documents of one
// table), as merging cells does.
void MoveCellContent(TCustomRVData& Source, TCustomRVData& Dest);
