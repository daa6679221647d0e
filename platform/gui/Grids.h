// The string grid: a table of text cells with fixed header rows and columns,
// a current cell that the keys and the mouse move, and an editor over the
// current cell. Cells are painted by the grid or by OnDrawCell.
#pragma once

#include <functional>
#include <vector>

#include "platform/gui/StdCtrls.h"

enum TGridOption : unsigned {
    goFixedVertLine = 1u << 0,
    goFixedHorzLine = 1u << 1,
    goVertLine = 1u << 2,
    goHorzLine = 1u << 3,
    goRangeSelect = 1u << 4,
    goDrawFocusSelected = 1u << 5,
    goRowSizing = 1u << 6,
    goColSizing = 1u << 7,
    goEditing = 1u << 8,
    goTabs = 1u << 9,
    goRowSelect = 1u << 10,
    goAlwaysShowEditor = 1u << 11,
    goThumbTracking = 1u << 12,
};
using TGridOptions = unsigned;

enum TGridDrawStateItem : unsigned { gdSelected = 1, gdFocused = 2, gdFixed = 4 };
using TGridDrawState = unsigned;

using TDrawCellEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, const TRect& Rect, TGridDrawState State)>;
using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TSetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, const AnsiString& Value)>;

class TStringGrid;

// The editor over the grid's current cell. Keys that move between cells go
// to the grid, and so do the characters typed, which the grid's OnKeyPress
// may drop.
class TInplaceEdit : public TCustomEdit {
public:
    explicit TInplaceEdit(TStringGrid* Grid);
    void Dispatch(TMessage& Message) override;

protected:
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void Change() override;

private:
    TStringGrid* FGrid;
    friend class TStringGrid;
};

class TStringGrid : public TCustomControl {
public:
    explicit TStringGrid(TComponent* AOwner);
    ~TStringGrid() override;
    void Dispatch(TMessage& Message) override;

    int ColCount() const { return FColCount; }
    void SetColCount(int Value);
    int RowCount() const { return FRowCount; }
    // Rows that stay keep their cells; new rows are empty.
    void SetRowCount(int Value);
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int Value);
    int FixedRows() const { return FFixedRows; }
    void SetFixedRows(int Value);
    int DefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(int Value);
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int Value);
    int ColWidths(int Index) const;
    void SetColWidths(int Index, int Value);
    int RowHeights(int Index) const;
    void SetRowHeights(int Index, int Value);
    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value) { FScrollBars = Value; }
    // The grid fills each cell and writes its text before OnDrawCell.
    bool DefaultDrawing = true;

    // Empty outside the grid; setting a cell outside it raises.
    AnsiString Cells(int ACol, int ARow) const;
    void SetCells(int ACol, int ARow, const AnsiString& Value);

    // The current cell. Setting it asks OnSelectCell, which may refuse.
    int Col() const { return FCol; }
    void SetCol(int Value) { FocusCell(Value, FRow); }
    int Row() const { return FRow; }
    void SetRow(int Value) { FocusCell(FCol, Value); }
    // Moves to the cell when it exists and OnSelectCell lets it; answers
    // whether it moved.
    bool FocusCell(int ACol, int ARow);
    // The first scrolling row shown.
    int TopRow() const { return FTopRow; }
    void SetTopRow(int Value);
    // The editor is open over the current cell.
    bool EditorMode() const { return FEditorMode; }
    void SetEditorMode(bool Value);
    TInplaceEdit* InplaceEditor() const { return FEditor; }

    // The cell's rectangle in the client area; empty when it is not shown.
    TRect CellRect(int ACol, int ARow) const;
    // The cell at a client point; false outside the cells.
    bool MouseToCell(int X, int Y, int& ACol, int& ARow) const;

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;
    // The editor changed the current cell's text.
    TSetEditEvent OnSetEditText;

protected:
    virtual bool SelectCell(int ACol, int ARow);
    virtual void DrawCell(int ACol, int ARow, const TRect& Rect, TGridDrawState State);
    void Paint() override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Resize() override;

private:
    void SizeChanged();
    // Shows, hides or moves the editor as the options and the cell ask.
    void UpdateEditor();
    bool CanEdit() const;
    // Scrolls so that the current row shows.
    void ShowCurrentRow();
    void EditorChanged(const AnsiString& Value);
    int FColCount = 5, FRowCount = 5, FFixedCols = 1, FFixedRows = 1;
    int FDefaultColWidth = 64, FDefaultRowHeight = 24;
    std::vector<int> FColWidths, FRowHeights;
    std::vector<std::vector<AnsiString>> FCells;
    TGridOptions FOptions = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
    TScrollStyle FScrollBars = ssBoth;
    int FCol = 1, FRow = 1, FTopRow = 1;
    bool FEditorMode = false;
    TInplaceEdit* FEditor = nullptr;
    bool FEditorSyncing = false;
    friend class TInplaceEdit;
};
