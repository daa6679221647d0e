// The grid of a table read from RTF: cell documents, inserting, splitting
// and deleting rows and columns with merged cells kept whole, merging, and
// the grid's invariant checker.
#include "richtext/import/rtf/RVRTFTableGrid.h"

#include <algorithm>
#include <set>

#include "richtext/engine/items/RVTextItems.h"

bool TRVRTFCellData::HasContent() const {
    if (ItemCount() == 0) return false;
    if (ItemCount() > 1) return true;
    return GetItem(0)->StyleNo < 0 || !GetItemText(0).empty() || GetItem(0)->Checkpoint;
}

void TRVRTFGridCell::AssignProperties(const TRVRTFGridCell& Source) {
    Color = Source.Color;
    BorderColor = Source.BorderColor;
    BorderLightColor = Source.BorderLightColor;
    BestWidth = Source.BestWidth;
    BestHeight = Source.BestHeight;
    VisibleBorders = Source.VisibleBorders;
    VAlign = Source.VAlign;
}

void MoveCellContent(TCustomRVData& Source, TCustomRVData& Dest) {
    auto* cell = dynamic_cast<TRVRTFCellData*>(&Source);
    if (cell ? !cell->HasContent() : Source.ItemCount() == 0) return;
    Dest.MoveItemsFrom(&Source);
}

// ---------------------------------------------------------------- the grid

void TRVRTFTableGrid::CheckIndex(int Row, int Col) const {
    if (Row < 0 || Row >= RowCount() || Col < 0 || Col >= FColCount) throw EZoroZudoError(errRVTableIndex);
}

TRVRTFGridCell* TRVRTFTableGrid::Cell(int Row, int Col) const {
    CheckIndex(Row, Col);
    return FRows[std::size_t(Row)][std::size_t(Col)].get();
}

void TRVRTFTableGrid::GetMainCell(int Row, int Col, int& MainRow, int& MainCol) const {
    CheckIndex(Row, Col);
    for (int r = Row; r >= 0; --r)
        for (int c = Col; c >= 0; --c)
            if (const TRVRTFGridCell* cell = FRows[std::size_t(r)][std::size_t(c)].get();
                cell && r + cell->RowSpan > Row && c + cell->ColSpan > Col) {
                MainRow = r;
                MainCol = c;
                return;
            }
    throw EZoroZudoError(errRVInternal);
}

TRVRTFGridCell& TRVRTFTableGrid::MainCell(int Row, int Col) const {
    int r, c;
    GetMainCell(Row, Col, r, c);
    return *FRows[std::size_t(r)][std::size_t(c)];
}

void TRVRTFTableGrid::InsertRows(int Index, int Count) {
    if (Index < 0 || Index > RowCount() || Count < 0) throw EZoroZudoError(errRVTableIndex);
    std::vector<bool> covered(std::size_t(FColCount), false);
    if (Index < RowCount()) {
        std::set<TRVRTFGridCell*> grown;
        for (int c = 0; c < FColCount; ++c) {
            if (FRows[std::size_t(Index)][std::size_t(c)]) continue;
            int mr, mc;
            GetMainCell(Index, c, mr, mc);
            if (mr >= Index) continue;
            TRVRTFGridCell* main = FRows[std::size_t(mr)][std::size_t(mc)].get();
            if (grown.insert(main).second) main->RowSpan += Count;
            covered[std::size_t(c)] = true;
        }
    }
    std::vector<std::vector<std::unique_ptr<TRVRTFGridCell>>> rows;
    rows.resize(std::size_t(Count));
    for (auto& row : rows) {
        row.resize(std::size_t(FColCount));
        for (int c = 0; c < FColCount; ++c)
            if (!covered[std::size_t(c)]) row[std::size_t(c)] = std::make_unique<TRVRTFGridCell>(FHost);
    }
    FRows.insert(FRows.begin() + Index, std::make_move_iterator(rows.begin()),
                 std::make_move_iterator(rows.end()));
}

void TRVRTFTableGrid::InsertCols(int Index, int Count) {
    if (Index < 0 || Index > FColCount || Count < 0) throw EZoroZudoError(errRVTableIndex);
    std::vector<bool> covered(FRows.size(), false);
    if (Index < FColCount) {
        std::set<TRVRTFGridCell*> grown;
        for (int r = 0; r < RowCount(); ++r) {
            if (FRows[std::size_t(r)][std::size_t(Index)]) continue;
            int mr, mc;
            GetMainCell(r, Index, mr, mc);
            if (mc >= Index) continue;
            TRVRTFGridCell* main = FRows[std::size_t(mr)][std::size_t(mc)].get();
            if (grown.insert(main).second) main->ColSpan += Count;
            covered[std::size_t(r)] = true;
        }
    }
    for (std::size_t r = 0; r < FRows.size(); ++r) {
        auto& row = FRows[r];
        std::vector<std::unique_ptr<TRVRTFGridCell>> added;
        added.resize(std::size_t(Count));
        if (!covered[r])
            for (auto& cell : added)
                cell = std::make_unique<TRVRTFGridCell>(FHost);
        row.insert(row.begin() + Index, std::make_move_iterator(added.begin()),
                   std::make_move_iterator(added.end()));
    }
    FColCount += Count;
}

void TRVRTFTableGrid::SplitColumn(int Col) {
    if (Col < 0 || Col >= FColCount) throw EZoroZudoError(errRVTableIndex);
    std::set<TRVRTFGridCell*> grown;
    for (int r = 0; r < RowCount(); ++r)
        if (TRVRTFGridCell* main = &MainCell(r, Col); grown.insert(main).second) ++main->ColSpan;
    for (auto& row : FRows)
        row.insert(row.begin() + Col + 1, nullptr);
    ++FColCount;
}

void TRVRTFTableGrid::DeleteCols(int Index, int Count) {
    if (Index < 0 || Index >= FColCount || Count <= 0) throw EZoroZudoError(errRVTableIndex);
    Count = std::min(Count, FColCount - Index);
    const int end = Index + Count;
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < FColCount; ++c) {
            std::unique_ptr<TRVRTFGridCell>& slot = FRows[std::size_t(r)][std::size_t(c)];
            if (!slot) continue;
            TRVRTFGridCell& cell = *slot;
            if (c < Index && c + cell.ColSpan > Index) {
                cell.ColSpan -= std::min(c + cell.ColSpan, end) - Index;
            } else if (c >= Index && c < end) {
                if (c + cell.ColSpan > end) {
                    // The part right of the removed columns stays.
                    cell.ColSpan = c + cell.ColSpan - end;
                    FRows[std::size_t(r)][std::size_t(end)] = std::move(slot);
                } else {
                    TRVRTFGridCell* keeper = nullptr;
                    if (Index > 0)
                        keeper = &MainCell(r, Index - 1);
                    else if (end < FColCount)
                        keeper = &MainCell(r, end);
                    if (keeper) MoveCellContent(*cell.Data, *keeper->Data);
                    slot.reset();
                }
            }
        }
    for (auto& row : FRows)
        row.erase(row.begin() + Index, row.begin() + end);
    FColCount -= Count;
}

void TRVRTFTableGrid::DeleteEmptyRows() {
    for (int r = RowCount() - 1; r >= 0; --r) {
        const auto& row = FRows[std::size_t(r)];
        if (std::any_of(row.begin(), row.end(), [](const auto& Cell) { return Cell != nullptr; })) continue;
        std::set<TRVRTFGridCell*> shrunk;
        for (int c = 0; c < FColCount; ++c)
            if (TRVRTFGridCell* main = &MainCell(r, c); shrunk.insert(main).second) --main->RowSpan;
        FRows.erase(FRows.begin() + r);
    }
}

int TRVRTFTableGrid::MergedBestWidth(int Row, int Col, int RowCount, int ColCount) const {
    int best = 0;
    bool negative = false;
    for (int r = Row; r < Row + RowCount; ++r) {
        int sum = 0;
        for (int c = Col; c < Col + ColCount; ++c) {
            const TRVRTFGridCell* cell = Cell(r, c);
            if (!cell) continue;
            int w = cell->BestWidth;
            if (w < 0)
                sum = sum > 0 ? w : sum + w;
            else if (sum >= 0)
                sum += w;
        }
        if (sum < 0) {
            if (!negative || sum < best) best = sum;
            negative = true;
        } else if (!negative && sum > best) {
            best = sum;
        }
    }
    return best;
}

bool TRVRTFTableGrid::MergeCells(int Row, int Col, int ColCount, int RowCount) {
    CheckIndex(Row, Col);
    RowCount = std::min(RowCount, this->RowCount() - Row);
    ColCount = std::min(ColCount, FColCount - Col);
    if (RowCount <= 1 && ColCount <= 1) return true;
    if (RowCount <= 0 || ColCount <= 0) throw EZoroZudoError(errRVTableMerge);
    TRVRTFGridCell* main = Cell(Row, Col);
    if (!main) return false;
    if (main->RowSpan >= RowCount && main->ColSpan >= ColCount) return true;
    for (int r = Row; r < Row + RowCount; ++r)
        for (int c = Col; c < Col + ColCount; ++c) {
            int mr, mc;
            GetMainCell(r, c, mr, mc);
            const TRVRTFGridCell& cell = *FRows[std::size_t(mr)][std::size_t(mc)];
            if (mr < Row || mc < Col || mr + cell.RowSpan > Row + RowCount ||
                mc + cell.ColSpan > Col + ColCount)
                return false;
        }
    main->BestWidth = MergedBestWidth(Row, Col, RowCount, ColCount);
    for (int r = Row; r < Row + RowCount; ++r)
        for (int c = Col; c < Col + ColCount; ++c) {
            std::unique_ptr<TRVRTFGridCell>& slot = FRows[std::size_t(r)][std::size_t(c)];
            if (!slot || slot.get() == main) continue;
            if (slot->Data->HasContent()) {
                MoveCellContent(*slot->Data, *main->Data);
                main->Filler = false;
            }
            slot.reset();
        }
    main->RowSpan = RowCount;
    main->ColSpan = ColCount;
    return true;
}

// ---------------------------------------------------------------- checker

AnsiString CheckRTFTableGridInvariants(const TRVRTFTableGrid& Grid) {
    int rows = Grid.RowCount(), cols = Grid.ColCount();
    std::vector<int> cover(std::size_t(rows) * std::size_t(cols), 0);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            const TRVRTFGridCell* cell = Grid.Cell(r, c);
            if (!cell) continue;
            if (!cell->Data) return Format("cell (%d, %d) has no document", {r, c});
            if (cell->RowSpan < 1 || cell->ColSpan < 1)
                return Format("cell (%d, %d) has an empty span", {r, c});
            if (r + cell->RowSpan > rows || c + cell->ColSpan > cols)
                return Format("cell (%d, %d) reaches out of the grid", {r, c});
            for (int rr = r; rr < r + cell->RowSpan; ++rr)
                for (int cc = c; cc < c + cell->ColSpan; ++cc)
                    ++cover[std::size_t(rr) * std::size_t(cols) + std::size_t(cc)];
        }
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            int n = cover[std::size_t(r) * std::size_t(cols) + std::size_t(c)];
            if (n != 1) return Format("position (%d, %d) is covered by %d cells", {r, c, n});
        }
    return AnsiString();
}
