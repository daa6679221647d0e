// What the table tests share: a formatted host document on the
// fixed-metrics canvas that may keep undo like an editor's, tables built in
// it, and the grid written out compactly.
#pragma once

#include <string>

#include "richtext/editor/tables/RVTable.h"
#include "richtext/editor/tables/RVTableCheck.h"
#include "richtext/engine/RVLayoutTestData.h"

// A host document; with Undo set it records table changes as an editor's
// data does, one group per operation.
class TTableHost : public TTestFormattedData, public TRVTableUndoHost {
public:
    TTableHost(TRVStyle* AStyle, TCanvas* ACanvas) : TTestFormattedData(AStyle, ACanvas) {}
    bool Undo = false;
    int GroupDepth = 0;
    std::vector<std::unique_ptr<TRVTableUndoRecord>> UndoList, RedoList;

    bool TableUndoEnabled() const override { return Undo; }
    void BeginTableUndoGroup() override { ++GroupDepth; }
    void EndTableUndoGroup() override { --GroupDepth; }
    void AddTableUndo(std::unique_ptr<TRVTableUndoRecord> Record) override {
        UndoList.push_back(std::move(Record));
        RedoList.clear();
    }
    void UndoLast() {
        auto record = std::move(UndoList.back());
        UndoList.pop_back();
        record->Undo(this);
        RedoList.push_back(std::move(record));
    }
    void RedoLast() {
        auto record = std::move(RedoList.back());
        RedoList.pop_back();
        record->Undo(this);
        UndoList.push_back(std::move(record));
    }
};

// A style sheet, a canvas (8 px a character, lines 14 high) and a host.
struct TTableFixture {
    std::unique_ptr<TRVStyle> Style = MakeLayoutStyle();
    TFixedMetricsCanvas Canvas;
    TTableHost Host{Style.get(), &Canvas};

    // A table of Rows x Cols inserted into the host, cells empty.
    TRVTableItemInfo& AddTable(int Rows, int Cols) {
        auto table = std::make_unique<TRVTableItemInfo>(Rows, Cols, &Host);
        TRVTableItemInfo& result = *table;
        Host.AddItem("", std::move(table));
        return result;
    }
};

inline void SetCellText(TRVTableItemInfo& Table, int Row, int Col, const AnsiString& Text) {
    TRVTableCellData& cell = *Table.GetCell(Row, Col);
    cell.Clear();
    cell.AddTextItem(Text, 0, 0);
}

// The texts of a cell's items joined by "|".
inline std::string CellText(const TRVTableCellData& Cell) {
    std::string out;
    for (int i = 0; i < Cell.ItemCount(); ++i)
        out += (i ? "|" : "") + Cell.GetItemText(i);
    return out;
}

// The grid row by row: a cell as its text (its spans after "/" when
// merged), a covered position as "-".
inline std::string GridText(const TRVTableItemInfo& Table) {
    std::string out;
    for (int r = 0; r < Table.RowCount(); ++r) {
        if (r) out += "\n";
        for (int c = 0; c < Table.ColCount(); ++c) {
            if (c) out += " ";
            const TRVTableCellData* cell = Table.GetCell(r, c);
            if (!cell) {
                out += "-";
                continue;
            }
            out += CellText(*cell).empty() ? "." : CellText(*cell);
            if (cell->RowSpan > 1 || cell->ColSpan > 1)
                out += "/" + std::to_string(cell->RowSpan) + "x" + std::to_string(cell->ColSpan);
        }
    }
    return out;
}
