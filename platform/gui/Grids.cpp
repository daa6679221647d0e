// The string grid's cells, sizes, current cell, keys and editor; its
// painting is in GridsPaint.cpp.
#include "platform/gui/Grids.h"

#include <algorithm>

#include "platform/gui/Forms.h"
#include "platform/rtl/ScopeGuard.h"

namespace {
constexpr int DefaultGridWidth = 320;
constexpr int DefaultGridHeight = 120;
// The line after every cell.
constexpr int LineWidth = 1;
} // namespace

// TInplaceEdit

TInplaceEdit::TInplaceEdit(TStringGrid* Grid) : TCustomEdit(Grid), FGrid(Grid) {
    AutoSelect = false;
    SetVisible(false);
}

void TInplaceEdit::Dispatch(TMessage& Message) {
    TCustomEdit::Dispatch(Message);
    if (Message.Msg == WM_GETDLGCODE) Message.Result |= FGrid->Perform(WM_GETDLGCODE, 0, 0);
}

void TInplaceEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
    switch (Key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_TAB:
        FGrid->KeyDown(Key, Shift);
        break;
    default:
        TCustomEdit::KeyDown(Key, Shift);
        break;
    }
}

void TInplaceEdit::KeyPress(char& Key) {
    FGrid->KeyPress(Key);
    if (Key) TCustomEdit::KeyPress(Key);
}

void TInplaceEdit::Change() {
    TCustomEdit::Change();
    if (!FGrid->FEditorSyncing) FGrid->EditorChanged(Text());
}

// TStringGrid

TStringGrid::TStringGrid(TComponent* AOwner) : TCustomControl(AOwner) {
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, DefaultGridWidth, DefaultGridHeight);
    SizeChanged();
}

TStringGrid::~TStringGrid() = default;

void TStringGrid::SizeChanged() {
    FColWidths.resize(std::size_t(FColCount), FDefaultColWidth);
    FRowHeights.resize(std::size_t(FRowCount), FDefaultRowHeight);
    FCells.resize(std::size_t(FRowCount));
    for (auto& row : FCells)
        row.resize(std::size_t(FColCount));
    FFixedCols = std::min(FFixedCols, std::max(0, FColCount - 1));
    FFixedRows = std::min(FFixedRows, std::max(0, FRowCount - 1));
    FCol = std::clamp(FCol, FFixedCols, std::max(FFixedCols, FColCount - 1));
    FRow = std::clamp(FRow, FFixedRows, std::max(FFixedRows, FRowCount - 1));
    FTopRow = std::clamp(FTopRow, FFixedRows, std::max(FFixedRows, FRowCount - 1));
    ShowCurrentRow();
    UpdateEditor();
    Invalidate();
}

void TStringGrid::SetColCount(int Value) {
    FColCount = std::max(1, Value);
    SizeChanged();
}

void TStringGrid::SetRowCount(int Value) {
    FRowCount = std::max(1, Value);
    SizeChanged();
}

void TStringGrid::SetFixedCols(int Value) {
    if (Value < 0 || Value >= FColCount)
        throw EInvalidOperation("Fixed column count must be less than column count");
    FFixedCols = Value;
    FCol = std::max(FCol, FFixedCols);
    SizeChanged();
}

void TStringGrid::SetFixedRows(int Value) {
    if (Value < 0 || Value >= FRowCount)
        throw EInvalidOperation("Fixed row count must be less than row count");
    FFixedRows = Value;
    FRow = std::max(FRow, FFixedRows);
    SizeChanged();
    // The rows scroll from the first one after the fixed ones: a grid
    // without fixed rows shows its row 0, whatever its current row.
    FTopRow = FFixedRows;
    UpdateEditor();
    Invalidate();
}

void TStringGrid::SetDefaultColWidth(int Value) {
    FDefaultColWidth = Value;
    std::fill(FColWidths.begin(), FColWidths.end(), Value);
    SizeChanged();
}

void TStringGrid::SetDefaultRowHeight(int Value) {
    FDefaultRowHeight = Value;
    std::fill(FRowHeights.begin(), FRowHeights.end(), Value);
    SizeChanged();
}

int TStringGrid::ColWidths(int Index) const {
    return Index >= 0 && Index < FColCount ? FColWidths[std::size_t(Index)] : FDefaultColWidth;
}

void TStringGrid::SetColWidths(int Index, int Value) {
    if (Index < 0 || Index >= FColCount) return;
    FColWidths[std::size_t(Index)] = std::max(0, Value);
    UpdateEditor();
    Invalidate();
}

int TStringGrid::RowHeights(int Index) const {
    return Index >= 0 && Index < FRowCount ? FRowHeights[std::size_t(Index)] : FDefaultRowHeight;
}

void TStringGrid::SetRowHeights(int Index, int Value) {
    if (Index < 0 || Index >= FRowCount) return;
    FRowHeights[std::size_t(Index)] = std::max(0, Value);
    UpdateEditor();
    Invalidate();
}

void TStringGrid::SetOptions(TGridOptions Value) {
    FOptions = Value;
    if (!(FOptions & goEditing)) FEditorMode = false;
    UpdateEditor();
    Invalidate();
}

AnsiString TStringGrid::Cells(int ACol, int ARow) const {
    if (ACol < 0 || ACol >= FColCount || ARow < 0 || ARow >= FRowCount) return {};
    return FCells[std::size_t(ARow)][std::size_t(ACol)];
}

void TStringGrid::SetCells(int ACol, int ARow, const AnsiString& Value) {
    if (ACol < 0 || ACol >= FColCount || ARow < 0 || ARow >= FRowCount)
        throw EListError("Grid index out of range");
    FCells[std::size_t(ARow)][std::size_t(ACol)] = Value;
    if (ACol == FCol && ARow == FRow && FEditor && FEditor->Visible() && FEditor->Text() != Value) {
        FEditorSyncing = true;
        TScopeGuard done([this] { FEditorSyncing = false; });
        FEditor->SetText(Value);
    }
    InvalidateRect(CellRect(ACol, ARow));
}

bool TStringGrid::SelectCell(int ACol, int ARow) {
    bool can = true;
    if (OnSelectCell) OnSelectCell(this, ACol, ARow, can);
    return can;
}

bool TStringGrid::FocusCell(int ACol, int ARow) {
    if (ACol < FFixedCols || ACol >= FColCount || ARow < FFixedRows || ARow >= FRowCount) return false;
    if (!SelectCell(ACol, ARow)) return false;
    InvalidateRect(CellRect(FCol, FRow));
    FCol = ACol;
    FRow = ARow;
    ShowCurrentRow();
    UpdateEditor();
    Invalidate();
    return true;
}

void TStringGrid::SetTopRow(int Value) {
    Value = std::clamp(Value, FFixedRows, std::max(FFixedRows, FRowCount - 1));
    if (Value == FTopRow) return;
    FTopRow = Value;
    UpdateEditor();
    Invalidate();
}

void TStringGrid::ShowCurrentRow() {
    if (FRow < FTopRow) {
        FTopRow = FRow;
        return;
    }
    // Down until the current row's bottom is inside the client area.
    while (FTopRow < FRow) {
        TRect r = CellRect(FCol, FRow);
        if (!r.IsEmpty() && r.Bottom <= ClientHeight()) break;
        ++FTopRow;
    }
}

void TStringGrid::SetEditorMode(bool Value) {
    FEditorMode = Value && (FOptions & goEditing);
    UpdateEditor();
}

bool TStringGrid::CanEdit() const {
    return (FOptions & goEditing) && !(FOptions & goRowSelect) &&
           (FEditorMode || (FOptions & goAlwaysShowEditor));
}

void TStringGrid::UpdateEditor() {
    if (!CanEdit()) {
        if (FEditor && FEditor->Visible()) {
            bool hadFocus = FEditor->Focused();
            FEditor->SetVisible(false);
            if (hadFocus && CanFocus()) SetFocus();
        }
        return;
    }
    if (!FEditor) {
        FEditor = new TInplaceEdit(this);
        FEditor->SetParent(this);
    }
    {
        FEditorSyncing = true;
        TScopeGuard done([this] { FEditorSyncing = false; });
        FEditor->SetText(Cells(FCol, FRow));
    }
    TRect r = CellRect(FCol, FRow);
    FEditor->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    bool focus = Focused();
    FEditor->SetVisible(!r.IsEmpty());
    if (focus && FEditor->Visible() && FEditor->CanFocus()) FEditor->SetFocus();
}

void TStringGrid::EditorChanged(const AnsiString& Value) {
    FCells[std::size_t(FRow)][std::size_t(FCol)] = Value;
    InvalidateRect(CellRect(FCol, FRow));
    if (OnSetEditText) OnSetEditText(this, FCol, FRow, Value);
}

TRect TStringGrid::CellRect(int ACol, int ARow) const {
    if (ACol < 0 || ACol >= FColCount || ARow < 0 || ARow >= FRowCount) return {};
    if (ARow >= FFixedRows && ARow < FTopRow) return {};
    int left = 0;
    for (int c = 0; c < ACol; ++c)
        left += FColWidths[std::size_t(c)] + LineWidth;
    int top = 0;
    for (int r = 0; r < FFixedRows && r < ARow; ++r)
        top += FRowHeights[std::size_t(r)] + LineWidth;
    if (ARow >= FFixedRows)
        for (int r = FTopRow; r < ARow; ++r)
            top += FRowHeights[std::size_t(r)] + LineWidth;
    if (left >= ClientWidth() || top >= ClientHeight()) return {};
    return {left, top, left + FColWidths[std::size_t(ACol)], top + FRowHeights[std::size_t(ARow)]};
}

bool TStringGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const {
    ACol = ARow = -1;
    for (int r = 0; r < FRowCount; ++r)
        for (int c = 0; c < FColCount; ++c) {
            TRect rect = CellRect(c, r);
            if (!rect.IsEmpty() && X >= rect.Left && X < rect.Right + LineWidth && Y >= rect.Top &&
                Y < rect.Bottom + LineWidth) {
                ACol = c;
                ARow = r;
                return true;
            }
        }
    return false;
}

void TStringGrid::KeyDown(uint16_t& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    int visibleRows = 1;
    for (int r = FTopRow + 1; r < FRowCount && !CellRect(FCol, r).IsEmpty(); ++r)
        ++visibleRows;
    switch (Key) {
    case VK_UP:
        FocusCell(FCol, FRow - 1);
        break;
    case VK_DOWN:
        FocusCell(FCol, FRow + 1);
        break;
    case VK_PRIOR:
        FocusCell(FCol, std::max(FFixedRows, FRow - visibleRows));
        break;
    case VK_NEXT:
        FocusCell(FCol, std::min(FRowCount - 1, FRow + visibleRows));
        break;
    case VK_LEFT:
        if (!FEditor || !FEditor->Visible()) FocusCell(FCol - 1, FRow);
        break;
    case VK_RIGHT:
        if (!FEditor || !FEditor->Visible()) FocusCell(FCol + 1, FRow);
        break;
    case VK_TAB:
        if (FOptions & goTabs) {
            // Along the row, then on to the next or previous one.
            bool back = Shift & ssShift;
            int c = FCol + (back ? -1 : 1), r = FRow;
            if (c >= FColCount) c = FFixedCols, ++r;
            if (c < FFixedCols) c = FColCount - 1, --r;
            FocusCell(c, r);
        }
        break;
    case VK_F2:
        if (FOptions & goEditing) SetEditorMode(true);
        break;
    case VK_RETURN:
    case VK_ESCAPE:
        // Left as it is by OnKeyDown, the key is the form's: the default or
        // the cancel button.
        if (TCustomForm* form = GetParentForm(this); form && form->Perform(CM_DIALOGKEY, Key, 0) != 0)
            Key = 0;
        return;
    default:
        return;
    }
    Key = 0;
}

void TStringGrid::KeyPress(char& Key) {
    TCustomControl::KeyPress(Key);
    // A character typed into the grid opens the editor with it.
    if (Key && !FEditorMode && (FOptions & goEditing) && static_cast<unsigned char>(Key) >= ' ' &&
        (!FEditor || !FEditor->Visible())) {
        SetEditorMode(true);
        if (FEditor && FEditor->Visible()) {
            FEditor->SetText(AnsiString(1, Key));
            FEditor->SetSelStart(1);
            Key = 0;
        }
    }
}

void TStringGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (CanFocus()) SetFocus();
    int c, r;
    if (Button == TMouseButton::mbLeft && MouseToCell(X, Y, c, r)) FocusCell(c, r);
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TStringGrid::Resize() {
    TCustomControl::Resize();
    ShowCurrentRow();
    UpdateEditor();
}

void TStringGrid::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        // Enter and Escape come here first (see KeyDown).
        Message.Result = DLGC_WANTARROWS | DLGC_WANTALLKEYS;
        if (FOptions & goEditing) Message.Result |= DLGC_WANTCHARS;
        if (FOptions & goTabs) Message.Result |= DLGC_WANTTAB;
        return;
    case CM_ENTER:
        TCustomControl::Dispatch(Message);
        if (FEditor && FEditor->Visible() && FEditor->CanFocus()) FEditor->SetFocus();
        return;
    default:
        break;
    }
    TCustomControl::Dispatch(Message);
}
