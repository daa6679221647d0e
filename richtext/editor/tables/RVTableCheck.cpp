// The table's invariant checker.
#include "richtext/editor/tables/RVTableCheck.h"

#include <vector>

#include "richtext/engine/document/CRVDataCheck.h"

AnsiString CheckTableInvariants(const TRVTableItemInfo& Table) {
    std::vector<AnsiString> found;
    auto report = [&](const AnsiString& Text) {
        if (found.size() < 4) found.push_back(Text);
    };
    auto at = [](int R, int C) { return "(" + IntToStr(R) + ", " + IntToStr(C) + ")"; };
    const TRVTableRows& rows = Table.Rows;
    int rowCount = rows.Count(), colCount = rows.ColCount();
    if (rows.Table != &Table) report("the row list belongs to another table");
    // Owner per position: the main cell that covers it.
    std::vector<const TRVTableCellData*> cover(std::size_t(rowCount) * std::size_t(colCount), nullptr);
    for (int r = 0; r < rowCount; ++r) {
        const TRVTableRow& row = *rows[r];
        if (row.Count() != colCount) {
            report("row " + IntToStr(r) + " has " + IntToStr(row.Count()) + " entries, row 0 " +
                   IntToStr(colCount));
            continue;
        }
        if (row.Owner != &rows) report("row " + IntToStr(r) + " has another owner");
        for (int c = 0; c < colCount; ++c) {
            const TRVTableCellData* cell = row.GetCell(c);
            if (!cell) continue;
            if (cell->RowSpan < 1 || cell->ColSpan < 1) {
                report("cell " + at(r, c) + " spans " + IntToStr(cell->RowSpan) + "x" +
                       IntToStr(cell->ColSpan));
                continue;
            }
            if (cell->OwnerRow() != &row || cell->UndoOwner)
                report("cell " + at(r, c) + " has another owner");
            if (int64_t(r) + cell->RowSpan > rowCount || int64_t(c) + cell->ColSpan > colCount) {
                report("cell " + at(r, c) + " reaches out of the grid");
                continue;
            }
            for (int rr = r; rr < r + cell->RowSpan; ++rr)
                for (int cc = c; cc < c + cell->ColSpan; ++cc) {
                    const TRVTableCellData*& slot =
                        cover[std::size_t(rr) * std::size_t(colCount) + std::size_t(cc)];
                    if (slot) report("position " + at(rr, cc) + " is covered twice");
                    slot = cell;
                    if ((rr != r || cc != c) && rows[rr]->Count() == colCount && rows[rr]->GetCell(cc))
                        report("position " + at(rr, cc) + " holds a cell under the cell of " + at(r, c));
                }
            AnsiString doc = CheckRVDataInvariants(*cell);
            if (!doc.empty()) report("cell " + at(r, c) + ": " + doc);
        }
    }
    for (int r = 0; r < rowCount; ++r)
        for (int c = 0; c < colCount; ++c)
            if (!cover[std::size_t(r) * std::size_t(colCount) + std::size_t(c)] &&
                rows[r]->Count() == colCount)
                report("position " + at(r, c) + " is covered by no cell");
    AnsiString result;
    for (const AnsiString& s : found)
        result += (result.empty() ? "" : "; ") + s;
    return result;
}

void RVCheckTableAfterOperation(const TRVTableItemInfo& Table) {
    if (!RVChecksInvariants()) return;
    AnsiString problems = CheckTableInvariants(Table);
    if (!problems.empty()) throw EZoroZudoError("Table invariants broken: " + problems);
}
