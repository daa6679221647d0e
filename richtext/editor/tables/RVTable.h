// The table item: a grid of cells, each a document of its own, with merged
// cells, its layout, painting, grid operations, property setters that
// record undo in an editing document, and its RTF and text writers.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/ScopeGuard.h"
#include "richtext/editor/tables/RVTableUndo.h"
#include "richtext/engine/items/RVItem.h"
#include "richtext/engine/layout/RVDataList.h"
#include "richtext/engine/style/RVBorders.h"

class TRVTableItemInfo;
class TRVTableRow;
class TRVTableRows;

// ---- enumerations, stored by ordinal
enum TRVTableOption : uint16_t {
    rvtoEditing = 1 << 0,
    rvtoRowSizing = 1 << 1,
    rvtoColSizing = 1 << 2,
    rvtoRowSelect = 1 << 3,
    rvtoColSelect = 1 << 4,
    rvtoNoCellSelect = 1 << 5,
    rvtoRTFSaveCellPixelBestWidth = 1 << 6,
    rvtoRTFAllowAutofit = 1 << 7,
    rvtoHideGridLines = 1 << 8,
    rvtoOverlappingCorners = 1 << 9,
    rvtoCellBelowBorders = 1 << 10,
    rvtoIgnoreContentWidth = 1 << 11,
    rvtoIgnoreContentHeight = 1 << 12,
};
using TRVTableOptions = uint16_t;
enum TRVTablePrintOption : uint8_t {
    rvtoHalftoneBorders = 1 << 0,
    rvtoRowsSplit = 1 << 1,
    rvtoWhiteBackground = 1 << 2,
};
using TRVTablePrintOptions = uint8_t;
enum TRVTableBorderStyle : uint8_t { rvtbRaised, rvtbLowered, rvtbColor, rvtbRaisedColor, rvtbLoweredColor };
enum TRVCellVAlign : uint8_t { rvcTop, rvcMiddle, rvcBottom, rvcVDefault };
enum TRVItemBackgroundStyle : uint8_t { rvbsColor, rvbsStretched, rvbsTiled, rvbsCentered };

// Limits on grids from outside data and on operations that grow a grid.
inline constexpr int RVTableMaxCols = 1000;
inline constexpr int64_t RVTableMaxCells = 1000000;
inline constexpr const char* errRVTableTooLarge = "The table would be too large";

// ---- events
using TRVCellEditingEvent =
    std::function<void(TRVTableItemInfo* Sender, int Row, int Col, bool Automatic, bool& AllowEdit)>;
using TRVCellEndEditEvent = std::function<void(TRVTableItemInfo* Sender, int Row, int Col, bool Clearing)>;
using TRVTableDrawBorderEvent = std::function<void(
    TRVTableItemInfo* Sender, TCanvas& Canvas, int Left, int Top, int Right, int Bottom, int Width,
    TColor LightColor, TColor Color, TColor BackgroundColor, TRVTableBorderStyle Style, bool Printing,
    const TRVBooleanRect& VisibleBorders, int Row, int Col, bool& DoDefault)>;

// One cell: a document laid out by its table.
class TRVTableCellData : public TRVItemFormattedData {
public:
    explicit TRVTableCellData(TRVTableRow* ARow);
    ~TRVTableCellData() override;

    // ---- published properties
    TColor Color = clNone;
    TColor BorderColor = clNone;
    TColor BorderLightColor = clNone;
    int32_t BestWidth = 0;
    int32_t BestHeight = 0;
    TRVBooleanRect VisibleBorders{true};
    TRVCellVAlign VAlign = rvcVDefault;
    TRVItemBackgroundStyle BackgroundStyle = rvbsColor;
    AnsiString BackgroundImageFileName;
    AnsiString Hint;

    // ---- grid and layout
    int32_t RowSpan = 1;
    int32_t ColSpan = 1;
    int32_t CellLeft = 0, CellTop = 0, CellWidth = 0, CellHeight = 0;
    // The record that holds the cell while it is detached from its table.
    TRVUndoInfo* UndoOwner = nullptr;

    TRVTableRow* OwnerRow() const { return FRow; }
    // Nil while detached or without a row.
    TRVTableItemInfo* GetTable() const;
    bool IsTransparent() const { return Color == clNone; }
    // Whether the cell holds something (IgnoreStyles: an empty text in
    // styles other than 0 counts as content).
    bool HasContent(bool IgnoreStyles) const;
    void AssignProperties(const TRVTableCellData& Source, bool CopySizes, int RowDivisor, int ColDivisor);
    void AssignLayout(const TRVTableCellData& Source);
    TRVCellVAlign GetRealVAlign() const;
    // The content's offset from the box's top by the vertical alignment.
    int GetVShift() const;
    void SetVisibleBorders(const TRVBooleanRect& Value) {
        VisibleBorders.CopySides(Value, true, true, true, true);
    }
    // Gives the cell one empty text item in the given styles, dropping the rest.
    void ResetContent(int StyleNo, int ParaNo);
    // The text style of the first untagged text item (0 without one) and
    // the paragraph style of the first item.
    void GetFirstStyles(int& StyleNo, int& ParaNo) const;

    // ---- the document's answers relative to its table
    int GetWidth() const override;
    int GetHeight() const override;
    int GetAreaWidth() const override { return GetWidth(); }
    TColor GetColor() const override;
    TRVOptions GetOptions() const override;
    bool AllowsPageBreaks() const override { return false; }
    void GetOrigin(int& X, int& Y) const override;
    int GetHOffs() const override;
    int GetVOffs() const override;
    void GetParentInfo(int& ItemNo, std::unique_ptr<TRVStoreSubRVData>& Location) const override;

    // Attaches the cell to a row, or detaches it into an undo record (nil row).
    void Attach(TRVTableRow* Row, TRVUndoInfo* Owner);

private:
    TRVTableRow* FRow;
};

// Where a cell lies in its table, as a sub-document location.
class TRVTableStoreSubRVData : public TRVStoreSubRVData {
public:
    TRVTableStoreSubRVData(int ARow, int ACol) : Row(ARow), Col(ACol) {}
    int Row, Col;
    std::unique_ptr<TRVStoreSubRVData> Duplicate() const override {
        return std::make_unique<TRVTableStoreSubRVData>(Row, Col);
    }
    int Compare(const TRVStoreSubRVData& Other) const override;
};

// One row: the cells in column order, nil where a merged cell covers the
// position. The cells report the row's flags and its table's host.
class TRVTableRow : public TRVDataList {
public:
    explicit TRVTableRow(TRVTableRows* AOwner) : Owner(AOwner) {}
    ~TRVTableRow() override;

    TRVCellVAlign VAlign = rvcTop;
    bool PageBreakBefore = false;
    TRVTableRows* Owner;

    TCustomRVData* GetParentData() const override;
    int Count() const { return int(FCells.size()); }
    TRVTableCellData* GetCell(int Col) const { return FCells[std::size_t(Col)].get(); }
    TRVTableCellData* operator[](int Col) const { return GetCell(Col); }
    // Swaps the entry at Col with Cell; the row becomes the owner of what it takes.
    void SwapCell(int Col, std::unique_ptr<TRVTableCellData>& Cell);
    TRVTableCellData* AddCell();
    TRVTableCellData* InsertCell(int Col);
    void InsertEmptySlot(int Col);
    void InsertCellObject(int Col, std::unique_ptr<TRVTableCellData> Cell);
    // Takes the entry out of the row (nil for a covered position).
    std::unique_ptr<TRVTableCellData> RemoveEntry(int Col);

private:
    std::vector<std::unique_ptr<TRVTableCellData>> FCells;
};

// The grid: rows in order.
class TRVTableRows {
public:
    TRVTableRows(TRVTableItemInfo* ATable, TCustomRVData* AHostData) : HostData(AHostData), Table(ATable) {}
    ~TRVTableRows();

    TCustomRVData* HostData;
    TRVTableItemInfo* Table;

    int Count() const { return int(FRows.size()); }
    TRVTableRow* operator[](int Index) const { return FRows[std::size_t(Index)].get(); }
    bool IsEmpty() const { return FRows.empty() || FRows[0]->Count() == 0; }
    int ColCount() const { return FRows.empty() ? 0 : FRows[0]->Count(); }
    // The cell that covers (Row, Col), with its own row and column.
    TRVTableCellData* GetMainCell(int Row, int Col, int& MainRow, int& MainCol) const;
    void Reset(int Rows, int Cols);
    TRVTableRow* AddRow(int Cols);
    TRVTableRow* InsertRow(int Index, int Cols);
    void InsertRowObject(int Index, std::unique_ptr<TRVTableRow> Row);
    std::unique_ptr<TRVTableRow> RemoveRow(int Index);
    void Clear() { FRows.clear(); }

private:
    std::vector<std::unique_ptr<TRVTableRow>> FRows;
};

// One layout of the table.
class TRVTableItemFormattingInfo {
public:
    std::vector<int32_t> ColWidthList;
    std::vector<int32_t> RowHeightList;
    std::vector<int32_t> ColLeftList;
    std::vector<int32_t> RowTopList;
    int32_t TotalWidth = 0;
    int32_t TotalHeight = 0;
    // A printed layout's printable cell copies, row by row (nil for a
    // covered position), owned by its drawing item; empty on screen.
    std::vector<TCustomRVFormattedData*> PrintCells;
    void Clear() {
        ColWidthList.clear();
        RowHeightList.clear();
        ColLeftList.clear();
        RowTopList.clear();
    }
};

// TableState bits.
enum TRVTableStateBit : uint16_t {
    rvtsInserted = 1 << 0,
    rvtsEditMode = 1 << 1,
    rvtsFormatInplace = 1 << 2, // the layout is invalid
    rvtsInplacePaddingChanged = 1 << 3,
    rvtsResizingCol = 1 << 4,
    rvtsResizeShift = 1 << 5,
    rvtsJustCreated = 1 << 6,
    rvtsResizingInplace = 1 << 7,
    rvtsSelExists = 1 << 8,
};

// How a table paints: with the screen layout here; printing adds its own.
struct TRVTablePaintParams {
    int X = 0, Y = 0;
    TRect Clip;
    TRVColorMode ColorMode = rvcmColor;
    bool Printing = false;
    bool Selected = false;
};

// The program-wide grid pens: editable tables show dotted grid lines where
// borders are hidden or 0 wide; read-only ones show none.
extern TPenStyle RVTableGridStyle;
extern TPenStyle RVTableGridStyle2;
extern TColor RVTableGridColor;

class TRVTableItemInfo : public TRVFullLineItemInfo {
public:
    // A 1 x 1 table.
    explicit TRVTableItemInfo(TCustomRVData* RVData);
    TRVTableItemInfo(int Rows, int Cols, TCustomRVData* RVData);
    ~TRVTableItemInfo() override;
    TRVItemClass ClassType() const override { return TRVItemClass::Of<TRVTableItemInfo>(); }

    // ---- published properties; in an editing document write them through
    // their setters, which record undo
    TRVTableOptions Options = rvtoEditing | rvtoRowSizing | rvtoColSizing | rvtoRowSelect | rvtoColSelect;
    TRVTablePrintOptions PrintOptions = rvtoHalftoneBorders | rvtoRowsSplit;
    int32_t BestWidth = 0;
    TColor Color = clWindow;
    TRVItemBackgroundStyle BackgroundStyle = rvbsColor;
    int32_t HeadingRowCount = 0;
    AnsiString TextRowSeparator = "\r\n";
    AnsiString TextColSeparator = "\r\n";
    int32_t BorderWidth = 0;
    TColor BorderColor = clWindowText;
    TColor BorderLightColor = clBtnHighlight;
    TRVTableBorderStyle BorderStyle = rvtbRaised;
    int32_t BorderVSpacing = 2;
    int32_t BorderHSpacing = 2;
    TRVBooleanRect VisibleBorders{true};
    int32_t CellBorderWidth = 0;
    TColor CellBorderColor = clWindowText;
    TColor CellBorderLightColor = clBtnHighlight;
    int32_t CellHPadding = 1;
    int32_t CellVPadding = 1;
    TRVTableBorderStyle CellBorderStyle = rvtbLowered;
    int32_t VRuleWidth = 0;
    TColor VRuleColor = clWindowText;
    int32_t HRuleWidth = 0;
    TColor HRuleColor = clWindowText;
    int32_t CellVSpacing = 2;
    int32_t CellHSpacing = 2;
    bool VOutermostRule = false;
    bool HOutermostRule = false;
    TRVCellEditingEvent OnCellEditing;
    TRVCellEndEditEvent OnCellEndEdit;
    TRVTableDrawBorderEvent OnDrawBorder;
    // Extra string property 3: the background picture's file name.
    AnsiString BackgroundFileName;

    // ---- state
    TRVTableRows Rows;
    TRVTableItemFormattingInfo FormatInfo;
    const TRVScreenDeviceResolution* DeviceScale = nullptr;
    uint16_t TableState = 0;
    mutable int32_t ItemNoCache = -1;
    int32_t ClientLeft = 0, ClientTop = 0;
    int32_t SelAnchorRow = -1, SelAnchorCol = -1, SelRowDelta = 0, SelColDelta = 0;
    int32_t FocusRow = -1, FocusCol = -1, EditRow = -1, EditCol = -1;
    int32_t BusyCount = 0;

    // ---- access
    int RowCount() const { return Rows.Count(); }
    int ColCount() const { return Rows.ColCount(); }
    TRVTableCellData* GetCell(int Row, int Col) const { return Rows[Row]->GetCell(Col); }
    void FindCell(const TRVTableCellData* Cell, int& Row, int& Col) const;
    int GetItemNo() const;
    bool IsInEditor() const;
    TRVTableUndoHost* UndoHost() const;
    int GetUndoItemNo() const;
    int ScaleX(int Value) const;
    int ScaleY(int Value) const;
    void Changed() { TableState |= rvtsFormatInplace; }
    void ResetLayout() { FormatInfo.Clear(); }
    int GetCellPadding() const;
    // The colour under a cell, and whether nothing is painted under it.
    TColor GetEffectiveCellColor(const TRVTableCellData& Cell) const;
    TColor GetEffectiveTableColor(bool UseDocumentColor) const;
    bool IsCellFullyTransparent(const TRVTableCellData& Cell) const;

    // ---- the item protocol
    bool GetBoolValue(TRVItemBoolQuery Query) const override;
    bool GetBoolValueEx(TRVItemBoolQueryEx Query, TRVStyle* RVStyle) const override;
    int GetMinWidth(const TRVScreenDeviceResolution* Resolution, TCanvas* Canvas,
                    TCustomRVData* RVData) const override;
    void AdjustToDocWidth(int DocWidth, TRVDrawLineInfo& DrawItem, bool ItemFlagB, bool ItemFlagA,
                          TCanvas& Canvas, TCustomRVData* RVData, const TRVScreenDeviceResolution* Resolution,
                          bool Printing, int& Descent, int& HShift) override;
    int GetWidth(TRVStyle*) const override { return FormatInfo.TotalWidth; }
    int GetHeight(TRVStyle*) const override { return FormatInfo.TotalHeight; }
    // Left, Right and Top in the order the document's painter passes them.
    void PaintFullWidth(int Left, int Right, int Top, TCanvas& Canvas, TRVItemDrawStates State,
                        TRVStyle& Style, const TRect& ClipRect) override;
    void Inserting(TCustomRVData* RVData, AnsiString& Text, bool Safe) override;
    void Inserted(TCustomRVData* RVData, int ItemNo) override;
    void MovingToUndoList(int ItemNo, TCustomRVData* RVData, TRVUndoInfo* ContainerUndoItem) override;
    void MovingFromUndoList(int ItemNo, TCustomRVData* RVData) override;
    void MarkUsedStyles(TRVStyleUsageInfo& Usage) const override;
    void RenumberStyles(const TRVStyleUsageInfo& Usage) override;
    TCustomRVData* GetSubDocument(std::unique_ptr<TRVStoreSubRVData>& Position,
                                  TRVSubDocumentCode Code) override;
    bool SetExtraStrProperty(int Code, const AnsiString& Value) override;
    bool GetExtraStrProperty(int Code, AnsiString& Value) const override;
    AnsiString AsText(int LineWidth, TCustomRVData* RVData, const AnsiString& Text, const AnsiString& Path,
                      bool TextOnly, bool Unicode) const override;
    void FillRTFTables(TRVRTFTables& Tables, TCustomRVData* RVData) const override;
    void SaveRTF(TStream& Stream, const AnsiString& Path, TCustomRVData* RVData, int ItemNo,
                 const AnsiString& Text, int Level, TRVRTFTables& Tables) override;
    // Printing: a drawing item with a layout of its own at the device.
    std::unique_ptr<TRVDrawLineInfo>
    CreatePrintingDrawItem(TCustomRVData* RVData, const TRVScreenDeviceResolution& Resolution) override;
    void Print(TCanvas& Canvas, int X, int Y, TCustomRVData* RVData, TObject* Control, TRVColorMode ColorMode,
               int PartIndex, TRVDrawLineInfo* DrawItem, const TRVScreenDeviceResolution& Resolution,
               bool Preview) override;

    // ---- layout
    void BuildLayout(int Width, TRVTableItemFormattingInfo& Layout, bool Force, TCanvas& Canvas);
    int ColAt(int X) const;
    int RowAt(int Y) const;
    static int FindInSortedList(int Value, const std::vector<int32_t>& List);

    // ---- painting
    void PaintTable(TCanvas& Canvas, const TRVTablePaintParams& Params, TRVStyle& Style);
    void PrintWhole(TCanvas& Canvas, int X, int Y, TCustomRVData* RVData, TRVColorMode ColorMode);
    void DrawBorder(TCanvas& Canvas, int Left, int Top, int Right, int Bottom, int Width, TColor Color,
                    TColor LightColor, TColor BackgroundColor, TRVTableBorderStyle Style, int Row, int Col,
                    const TRVBooleanRect& Visible, const TRect& Clip, TRVColorMode ColorMode, bool Printing,
                    bool Editable, bool DrawGrid);
    bool IsEditable() const;

    // ---- grid operations (the checker runs after each in checking builds)
    void InsertRows(int Index, int Count, int CopyIndex);
    void InsertCols(int Index, int Count, int CopyIndex);
    void DeleteRows(int Index, int Count, bool DecreaseHeights);
    void DeleteCols(int Index, int Count, bool DecreaseWidths);
    void DeleteEmptyRows();
    // False when the rectangle cuts a merged cell (the host beeps).
    bool MergeCells(int TopRow, int LeftCol, int ColSpan, int RowSpan);
    // Splits the cell at (Row, Col) back into one-row, one-column cells.
    void UnmergeCell(int Row, int Col);
    bool CanMerge(int TopRow, int LeftCol, int ColSpan, int RowSpan) const;
    int GetMergedBestWidth(int TopRow, int LeftCol, int ColSpan, int RowSpan) const;
    // Clears the listed cells (their content becomes one empty text item).
    void ClearCells(const std::vector<int>& RowList, const std::vector<int>& ColList);

    // ---- property setters (recorded by property name in an editing document)
    void SetBestWidth(int Value) { SetIntProperty("BestWidth", Value); }
    void SetBorderWidth(int Value) { SetIntProperty("BorderWidth", Value); }
    void SetBorderHSpacing(int Value) { SetIntProperty("BorderHSpacing", Value); }
    void SetBorderVSpacing(int Value) { SetIntProperty("BorderVSpacing", Value); }
    void SetCellBorderWidth(int Value) { SetIntProperty("CellBorderWidth", Value); }
    void SetCellHSpacing(int Value) { SetIntProperty("CellHSpacing", Value); }
    void SetCellVSpacing(int Value) { SetIntProperty("CellVSpacing", Value); }
    void SetCellHPadding(int Value) { SetIntProperty("CellHPadding", Value); }
    void SetCellVPadding(int Value) { SetIntProperty("CellVPadding", Value); }
    void SetCellPadding(int Value);
    void SetColor(TColor Value) { SetIntProperty("Color", int(Value)); }
    void SetBorderColor(TColor Value) { SetIntProperty("BorderColor", int(Value)); }
    void SetBorderLightColor(TColor Value) { SetIntProperty("BorderLightColor", int(Value)); }
    void SetBorderStyle(TRVTableBorderStyle Value) { SetIntProperty("BorderStyle", Value); }
    void SetCellBorderColor(TColor Value) { SetIntProperty("CellBorderColor", int(Value)); }
    void SetCellBorderLightColor(TColor Value) { SetIntProperty("CellBorderLightColor", int(Value)); }
    void SetCellBorderStyle(TRVTableBorderStyle Value) { SetIntProperty("CellBorderStyle", Value); }
    void SetHeadingRowCount(int Value) { SetIntProperty("HeadingRowCount", Value); }
    void SetHRuleWidth(int Value) { SetIntProperty("HRuleWidth", Value); }
    void SetHRuleColor(TColor Value) { SetIntProperty("HRuleColor", int(Value)); }
    void SetVRuleWidth(int Value) { SetIntProperty("VRuleWidth", Value); }
    void SetVRuleColor(TColor Value) { SetIntProperty("VRuleColor", int(Value)); }
    void SetHOutermostRule(bool Value) { SetIntProperty("HOutermostRule", Value); }
    void SetVOutermostRule(bool Value) { SetIntProperty("VOutermostRule", Value); }
    void SetBackgroundStyle(TRVItemBackgroundStyle Value) { SetIntProperty("BackgroundStyle", Value); }
    // The shared path: records Name's old value in an editing document.
    void SetIntProperty(const char* Name, int Value);
    // Reads and writes a property by name; false for an unknown name.
    bool GetIntPropertyByName(const char* Name, int& Value) const;
    bool SetIntPropertyByName(const char* Name, int Value);
    // Cell properties at (Row, Col).
    void SetCellIntProperty(const char* Name, int Row, int Col, int Value);
    void SetCellStrProperty(const char* Name, int Row, int Col, const AnsiString& Value);
    void SetCellBestWidth(int Value, int Row, int Col) { SetCellIntProperty("BestWidth", Row, Col, Value); }
    void SetCellBestHeight(int Value, int Row, int Col) { SetCellIntProperty("BestHeight", Row, Col, Value); }
    void SetCellColor(TColor Value, int Row, int Col) { SetCellIntProperty("Color", Row, Col, int(Value)); }
    void SetCellVAlign(TRVCellVAlign Value, int Row, int Col) {
        SetCellIntProperty("VAlign", Row, Col, Value);
    }
    void SetCellHint(const AnsiString& Value, int Row, int Col) {
        SetCellStrProperty("Hint", Row, Col, Value);
    }
    void SetCellBackgroundImageFileName(const AnsiString& Value, int Row, int Col) {
        SetCellStrProperty("BackgroundImageFileName", Row, Col, Value);
    }
    void SetCellVisibleBorders(bool Left, bool Top, bool Right, bool Bottom, int Row, int Col);
    void AssignCellProperties(int Row, int Col, const TRVTableCellData& Source, bool CopySizes,
                              int RowDivisor, int ColDivisor);
    // Around an undone or redone property change.
    void BeforeUndoChangeProperty() { TableState &= uint16_t(~rvtsInserted); }
    void AfterUndoChangeProperty() {
        TableState |= rvtsInserted;
        Changed();
    }

    // ---- writers
    TColor GetCellRTFColor(const TRVTableCellData& Cell) const;
    void WriteRTFBorder(TStream& Stream, TRVTableBorderStyle Style, int Width, TColor Color,
                        TColor LightColor, const TRVBooleanRect* Visible, const char* Prefix,
                        const TRVRTFTables& Tables) const;

    // ---- undo recording, for the grid operations and setters
    // The record of the running operation, nil when nothing is recorded.
    TRVTableUndoRecord* CurrentUndo() const { return FCurrentUndo.get(); }
    // Performs Step and keeps it in the running record (or drops it).
    void DoStep(std::unique_ptr<TRVTableUndoStep> Step);

private:
    friend class TRVTablePrintInfo;
    void InitDefaults(int Rows, int Cols, TCustomRVData* RVData);
    // Runs an operation as one recorded change of class Name.
    template <class F> void RecordOperation(const char* ClassName, F Operation);
    void FinishOperation();
    void FormatCells(TRVTableItemFormattingInfo& Layout, TCanvas& Canvas);
    void PlaceColumns(TRVTableItemFormattingInfo& Layout, TCanvas& Canvas);
    void PlaceRows(TRVTableItemFormattingInfo& Layout);
    int CellMinWidth(const TRVTableCellData& Cell, TCanvas* Canvas) const;
    int CellContentHeight(const TRVTableCellData& Cell) const;
    // The content height in device pixels of the cell at (Row, Col) in a
    // layout: printed layouts measure the printable copy.
    int64_t CellLayoutHeight(const TRVTableItemFormattingInfo& Layout, int Row, int Col) const;
    bool AllColumnsFixed() const;
    void PaintCell(TCanvas& Canvas, int Row, int Col, int X, int Y, const TRVTablePaintParams& Params,
                   TRVStyle& Style, bool Editable, TColor SelColor);
    void PaintCellContent(TCanvas& Canvas, TRVTableCellData& Cell, int X, int Y, TRVStyle& Style,
                          TRVColorMode ColorMode);
    void CheckSize(int64_t Rows, int64_t Cols) const;
    std::unique_ptr<TRVTableUndoRecord> FCurrentUndo;
    int FOperationDepth = 0;
};

// Sounds a refused operation (a merge that cuts a merged cell); set by the
// program, nil in models and tests that do not count beeps.
extern std::function<void()> RVBeepHook;
