// The table's grid operations: merging and unmerging cells, inserting and
// deleting rows and columns (cutting merged cells where the cut runs
// through them), deleting empty rows and clearing cells, each made of steps
// that undo and redo themselves.
#include <algorithm>

#include "richtext/editor/tables/RVTable_p.h"

namespace {

// Moves Count items from the end of From (from index First) to the end of To.
void MoveItems(TCustomRVData& From, int First, int Count, TCustomRVData& To) {
    for (int i = First; i < First + Count; ++i)
        To.ItemList->AddObject(From.GetItemText(i), From.ItemList->ReleaseObject(i));
    From.ItemList->DeleteRange(First, Count);
}

void SwapItems(TRVTableCellData& A, TRVTableCellData& B) {
    int a = A.ItemCount(), b = B.ItemCount();
    MoveItems(A, 0, a, B);
    MoveItems(B, 0, b, A);
    A.ResetFormatting();
    B.ResetFormatting();
}

// Swaps the entry at a position with the cell held (nil takes the cell out).
class TSwapCellStep : public TRVTableUndoStep {
public:
    TSwapCellStep(int ARow, int ACol, std::unique_ptr<TRVTableCellData> ACell)
        : Row(ARow), Col(ACol), Held(std::move(ACell)) {}
    void Toggle(TRVTableItemInfo& T) override {
        T.Rows[Row]->SwapCell(Col, Held);
        if (Held) Held->Attach(nullptr, T.CurrentUndo());
    }
    int Row, Col;
    std::unique_ptr<TRVTableCellData> Held;
};

// Inserts the row held, or takes the row at Index out.
class TRowStep : public TRVTableUndoStep {
public:
    TRowStep(int AIndex, std::unique_ptr<TRVTableRow> ARow) : Index(AIndex), Held(std::move(ARow)) {}
    void Toggle(TRVTableItemInfo& T) override {
        if (Held) {
            T.Rows.InsertRowObject(Index, std::move(Held));
            return;
        }
        Held = T.Rows.RemoveRow(Index);
        for (int c = 0; c < Held->Count(); ++c)
            if (TRVTableCellData* cell = Held->GetCell(c)) cell->Attach(nullptr, T.CurrentUndo());
    }
    int Index;
    std::unique_ptr<TRVTableRow> Held;
};

// Inserts an entry (a cell or nil) at a position, or takes it out.
class TSlotStep : public TRVTableUndoStep {
public:
    TSlotStep(int ARow, int ACol, std::unique_ptr<TRVTableCellData> ACell, bool AInRow)
        : Row(ARow), Col(ACol), Held(std::move(ACell)), InRow(AInRow) {}
    void Toggle(TRVTableItemInfo& T) override {
        if (!InRow) {
            T.Rows[Row]->InsertCellObject(Col, std::move(Held));
        } else {
            Held = T.Rows[Row]->RemoveEntry(Col);
            if (Held) Held->Attach(nullptr, T.CurrentUndo());
        }
        InRow = !InRow;
    }
    int Row, Col;
    std::unique_ptr<TRVTableCellData> Held;
    bool InRow;
};

class TSpanStep : public TRVTableUndoStep {
public:
    TSpanStep(int ARow, int ACol, bool ARowSpan, int AValue)
        : Row(ARow), Col(ACol), IsRowSpan(ARowSpan), Value(AValue) {}
    void Toggle(TRVTableItemInfo& T) override {
        TRVTableCellData& cell = *T.GetCell(Row, Col);
        std::swap(IsRowSpan ? cell.RowSpan : cell.ColSpan, Value);
    }
    int Row, Col;
    bool IsRowSpan;
    int Value;
};

// Moves the items of an absorbed cell to the end of the main cell and back.
class TMoveItemsStep : public TRVTableUndoStep {
public:
    TMoveItemsStep(int AMainRow, int AMainCol, int ARow, int ACol, int ACount)
        : MainRow(AMainRow), MainCol(AMainCol), Row(ARow), Col(ACol), Count(ACount) {}
    void Toggle(TRVTableItemInfo& T) override {
        TRVTableCellData& main = *T.GetCell(MainRow, MainCol);
        TRVTableCellData& other = *T.GetCell(Row, Col);
        if (!Moved)
            MoveItems(other, 0, Count, main);
        else
            MoveItems(main, main.ItemCount() - Count, Count, other);
        main.ResetFormatting();
        other.ResetFormatting();
        Moved = !Moved;
    }
    int MainRow, MainCol, Row, Col, Count;
    bool Moved = false;
};

// Swaps a cell's items with those held in a detached cell.
class TContentStep : public TRVTableUndoStep {
public:
    TContentStep(int ARow, int ACol, std::unique_ptr<TRVTableCellData> AHeld)
        : Row(ARow), Col(ACol), Held(std::move(AHeld)) {}
    void Toggle(TRVTableItemInfo& T) override { SwapItems(*T.GetCell(Row, Col), *Held); }
    int Row, Col;
    std::unique_ptr<TRVTableCellData> Held;
};

std::unique_ptr<TRVTableCellData> NewDetachedCell() {
    return std::make_unique<TRVTableCellData>(nullptr);
}

} // namespace

// ---------------------------------------------------------------- recording

void TRVTableItemInfo::DoStep(std::unique_ptr<TRVTableUndoStep> Step) {
    Step->Toggle(*this);
    if (FCurrentUndo) FCurrentUndo->Steps.push_back(std::move(Step));
}

// ---------------------------------------------------------------- merging

bool TRVTableItemInfo::CanMerge(int TopRow, int LeftCol, int ColSpanCount, int RowSpanCount) const {
    const TRVTableCellData* first = nullptr;
    bool several = false;
    for (int r = TopRow; r < TopRow + RowSpanCount; ++r)
        for (int c = LeftCol; c < LeftCol + ColSpanCount; ++c) {
            int mr, mc;
            const TRVTableCellData* cell = Rows.GetMainCell(r, c, mr, mc);
            if (!cell) return false;
            if (mr < TopRow || mc < LeftCol || mr + cell->RowSpan > TopRow + RowSpanCount ||
                mc + cell->ColSpan > LeftCol + ColSpanCount)
                return false;
            if (!first) first = cell;
            if (cell != first) several = true;
        }
    return several;
}

int TRVTableItemInfo::GetMergedBestWidth(int TopRow, int LeftCol, int ColSpanCount, int RowSpanCount) const {
    int64_t bestPositive = 0, mostNegative = 0;
    for (int r = TopRow; r < TopRow + RowSpanCount; ++r) {
        int64_t sum = 0;
        for (int c = LeftCol; c < LeftCol + ColSpanCount; ++c) {
            const TRVTableCellData* cell = GetCell(r, c);
            if (!cell) continue;
            int v = cell->BestWidth;
            if (v > 0) {
                if (sum >= 0) sum += v;
            } else if (v < 0) {
                sum = sum > 0 ? v : sum + v;
            }
        }
        if (sum > 0) bestPositive = std::max(bestPositive, sum);
        if (sum < 0) mostNegative = std::min(mostNegative, sum);
    }
    int64_t result = mostNegative < 0 ? std::max<int64_t>(mostNegative, -100) : bestPositive;
    return int(std::min<int64_t>(result, INT32_MAX / 2));
}

bool TRVTableItemInfo::MergeCells(int TopRow, int LeftCol, int ColSpanCount, int RowSpanCount) {
    if (TopRow < 0 || LeftCol < 0 || TopRow >= RowCount() || LeftCol >= ColCount())
        throw EZoroZudoError(errRVTableIndex);
    RowSpanCount = std::min(RowSpanCount, RowCount() - TopRow);
    ColSpanCount = std::min(ColSpanCount, ColCount() - LeftCol);
    if (RowSpanCount <= 1 && ColSpanCount <= 1) return true;
    if (RowSpanCount <= 0 || ColSpanCount <= 0) throw EZoroZudoError(errRVTableMerge);
    TRVTableCellData* main = GetCell(TopRow, LeftCol);
    if (!main || (main->RowSpan >= RowSpanCount && main->ColSpan >= ColSpanCount)) return true;
    if (!CanMerge(TopRow, LeftCol, ColSpanCount, RowSpanCount)) {
        TRVStyle* style = Rows.HostData ? Rows.HostData->GetRVStyle() : nullptr;
        if (style && style->UseSound && RVBeepHook) RVBeepHook();
        return false;
    }
    RecordOperation("TRVUndoMerge", [&] {
        int merged = GetMergedBestWidth(TopRow, LeftCol, ColSpanCount, RowSpanCount);
        if (merged != main->BestWidth) SetCellIntProperty("BestWidth", TopRow, LeftCol, merged);
        for (int r = TopRow; r < TopRow + RowSpanCount; ++r)
            for (int c = LeftCol; c < LeftCol + ColSpanCount; ++c) {
                TRVTableCellData* cell = GetCell(r, c);
                if (!cell || cell == main) continue;
                if (cell->HasContent(false))
                    DoStep(std::make_unique<TMoveItemsStep>(TopRow, LeftCol, r, c, cell->ItemCount()));
                DoStep(std::make_unique<TSwapCellStep>(r, c, nullptr));
            }
        DoStep(std::make_unique<TSpanStep>(TopRow, LeftCol, false, ColSpanCount));
        DoStep(std::make_unique<TSpanStep>(TopRow, LeftCol, true, RowSpanCount));
    });
    return true;
}

void TRVTableItemInfo::UnmergeCell(int Row, int Col) {
    if (Row < 0 || Col < 0 || Row >= RowCount() || Col >= ColCount()) throw EZoroZudoError(errRVTableIndex);
    TRVTableCellData* cell = GetCell(Row, Col);
    if (!cell || (cell->RowSpan == 1 && cell->ColSpan == 1)) return;
    RecordOperation("TRVUndoSpan", [&] {
        int rows = cell->RowSpan, cols = cell->ColSpan;
        for (int r = Row; r < Row + rows; ++r)
            for (int c = Col; c < Col + cols; ++c) {
                if (r == Row && c == Col) continue;
                auto part = NewDetachedCell();
                part->AssignProperties(*cell, true, rows, cols);
                DoStep(std::make_unique<TSwapCellStep>(r, c, std::move(part)));
            }
        DoStep(std::make_unique<TSpanStep>(Row, Col, false, 1));
        DoStep(std::make_unique<TSpanStep>(Row, Col, true, 1));
    });
}

// ---------------------------------------------------------------- rows

void TRVTableItemInfo::InsertRows(int Index, int Count, int CopyIndex) {
    int m = RowCount(), n = ColCount();
    if (Index < 0 || Index > m || CopyIndex < -1 || CopyIndex >= m || Count <= 0)
        throw EZoroZudoError(errRVTableIndex);
    CheckSize(int64_t(m) + Count, n);
    RecordOperation("TRVUndoInsertTableRows", [&] {
        std::vector<bool> marked(std::size_t(n), false);
        if (Index < m)
            for (int c = n - 1; c >= 0;) {
                int mr, mc;
                TRVTableCellData* cell = Rows.GetMainCell(Index, c, mr, mc);
                if (mr < Index) {
                    for (int cc = mc; cc < mc + cell->ColSpan; ++cc)
                        marked[std::size_t(cc)] = true;
                    DoStep(std::make_unique<TSpanStep>(mr, mc, true, cell->RowSpan + Count));
                }
                c = mc - 1;
            }
        if (CopyIndex >= Index) CopyIndex += Count;
        for (int i = 0; i < Count; ++i) {
            auto row = std::make_unique<TRVTableRow>(&Rows);
            for (int c = 0; c < n; ++c)
                row->AddCell();
            DoStep(std::make_unique<TRowStep>(Index + i, std::move(row)));
        }
        for (int c = 0; c < n;) {
            if (marked[std::size_t(c)]) {
                for (int i = 0; i < Count; ++i)
                    DoStep(std::make_unique<TSwapCellStep>(Index + i, c, nullptr));
                ++c;
                continue;
            }
            TRVTableCellData* source = CopyIndex >= 0 ? GetCell(CopyIndex, c) : nullptr;
            if (!source) {
                ++c;
                continue;
            }
            // The copy spreads as the source does, over columns free here.
            int span = 1;
            while (span < source->ColSpan && c + span < n && !marked[std::size_t(c + span)])
                ++span;
            int styleNo, paraNo;
            source->GetFirstStyles(styleNo, paraNo);
            for (int i = 0; i < Count; ++i) {
                TRVTableCellData& cell = *GetCell(Index + i, c);
                cell.AssignProperties(*source, true, source->RowSpan, 1);
                cell.ResetContent(styleNo, paraNo);
                if (span > 1) {
                    DoStep(std::make_unique<TSpanStep>(Index + i, c, false, span));
                    for (int cc = c + 1; cc < c + span; ++cc)
                        DoStep(std::make_unique<TSwapCellStep>(Index + i, cc, nullptr));
                }
            }
            c += span;
        }
    });
}

void TRVTableItemInfo::InsertCols(int Index, int Count, int CopyIndex) {
    int m = RowCount(), n = ColCount();
    if (Index < 0 || Index > n || CopyIndex < -1 || CopyIndex >= n || Count <= 0)
        throw EZoroZudoError(errRVTableIndex);
    CheckSize(m, int64_t(n) + Count);
    RecordOperation("TRVUndoInsertTableCell", [&] {
        std::vector<bool> marked(std::size_t(m), false);
        if (Index < n)
            for (int r = m - 1; r >= 0;) {
                int mr, mc;
                TRVTableCellData* cell = Rows.GetMainCell(r, Index, mr, mc);
                if (mc < Index) {
                    for (int rr = mr; rr < mr + cell->RowSpan; ++rr)
                        marked[std::size_t(rr)] = true;
                    DoStep(std::make_unique<TSpanStep>(mr, mc, false, cell->ColSpan + Count));
                }
                r = mr - 1;
            }
        std::vector<bool> done(std::size_t(m), false);
        for (int r = 0; r < m; ++r) {
            if (done[std::size_t(r)]) continue;
            if (marked[std::size_t(r)]) {
                for (int i = 0; i < Count; ++i)
                    DoStep(std::make_unique<TSlotStep>(r, Index, nullptr, false));
                continue;
            }
            TRVTableCellData* source = CopyIndex >= 0 ? GetCell(r, CopyIndex) : nullptr;
            // The copy spans the rows the source spans, as far as they are free.
            int span = 1;
            if (source)
                while (span < source->RowSpan && r + span < m && !marked[std::size_t(r + span)])
                    ++span;
            int styleNo = 0, paraNo = 0;
            if (source) source->GetFirstStyles(styleNo, paraNo);
            for (int i = 0; i < Count; ++i) {
                auto cell = NewDetachedCell();
                if (source) {
                    cell->AssignProperties(*source, true, 1, source->ColSpan);
                    cell->ResetContent(styleNo, paraNo);
                    cell->RowSpan = span;
                }
                DoStep(std::make_unique<TSlotStep>(r, Index, std::move(cell), false));
            }
            for (int rr = r + 1; rr < r + span; ++rr) {
                for (int i = 0; i < Count; ++i)
                    DoStep(std::make_unique<TSlotStep>(rr, Index, nullptr, false));
                done[std::size_t(rr)] = true;
            }
        }
    });
}

void TRVTableItemInfo::DeleteRows(int Index, int Count, bool DecreaseHeights) {
    if (Rows.IsEmpty()) return;
    int m = RowCount(), n = ColCount();
    if (Index < 0 || Index >= m || Count <= 0 || (Index == 0 && Count > m))
        throw EZoroZudoError(errRVTableIndex);
    Count = std::min(Count, m - Index);
    int last = Index + Count - 1;
    RecordOperation("TRVUndoDeleteRows", [&] {
        for (int c = n - 1; c >= 0;) {
            int mr, mc;
            TRVTableCellData* cell = Rows.GetMainCell(last, c, mr, mc);
            if (mr >= Index && mr + cell->RowSpan - 1 > last) {
                int below = mr + cell->RowSpan - 1 - last;
                auto part = NewDetachedCell();
                part->AssignProperties(*cell, false, 1, 1);
                part->ColSpan = cell->ColSpan;
                part->RowSpan = below;
                part->BestHeight = int(int64_t(below) * cell->BestHeight / cell->RowSpan);
                if (DecreaseHeights)
                    SetCellIntProperty("BestHeight", mr, mc, cell->BestHeight - part->BestHeight);
                DoStep(std::make_unique<TSwapCellStep>(last + 1, mc, std::move(part)));
                DoStep(std::make_unique<TSpanStep>(mr, mc, true, cell->RowSpan - below));
            }
            c = mc - 1;
        }
        for (int c = n - 1; c >= 0;) {
            int mr, mc;
            TRVTableCellData* cell = Rows.GetMainCell(Index, c, mr, mc);
            if (mr < Index) {
                int span = mr + cell->RowSpan - 1 > last ? cell->RowSpan - Count : Index - mr;
                if (DecreaseHeights)
                    SetCellIntProperty("BestHeight", mr, mc,
                                       int(int64_t(span) * cell->BestHeight / cell->RowSpan));
                DoStep(std::make_unique<TSpanStep>(mr, mc, true, span));
            }
            c = mc - 1;
        }
        for (int i = 0; i < Count; ++i)
            DoStep(std::make_unique<TRowStep>(Index, nullptr));
    });
}

void TRVTableItemInfo::DeleteCols(int Index, int Count, bool DecreaseWidths) {
    if (Rows.IsEmpty()) return;
    int m = RowCount(), n = ColCount();
    if (Index < 0 || Index >= n || Count <= 0 || (Index == 0 && Count > n))
        throw EZoroZudoError(errRVTableIndex);
    Count = std::min(Count, n - Index);
    int last = Index + Count - 1;
    RecordOperation("TRVUndoDeleteCols", [&] {
        for (int r = m - 1; r >= 0;) {
            int mr, mc;
            TRVTableCellData* cell = Rows.GetMainCell(r, last, mr, mc);
            if (mc >= Index && mc + cell->ColSpan - 1 > last) {
                int right = mc + cell->ColSpan - 1 - last;
                auto part = NewDetachedCell();
                part->AssignProperties(*cell, false, 1, 1);
                part->RowSpan = cell->RowSpan;
                part->ColSpan = right;
                part->BestWidth = int(int64_t(right) * cell->BestWidth / cell->ColSpan);
                if (DecreaseWidths)
                    SetCellIntProperty("BestWidth", mr, mc, cell->BestWidth - part->BestWidth);
                DoStep(std::make_unique<TSwapCellStep>(mr, last + 1, std::move(part)));
                DoStep(std::make_unique<TSpanStep>(mr, mc, false, cell->ColSpan - right));
            }
            r = mr - 1;
        }
        for (int r = m - 1; r >= 0;) {
            int mr, mc;
            TRVTableCellData* cell = Rows.GetMainCell(r, Index, mr, mc);
            if (mc < Index) {
                int span = mc + cell->ColSpan - 1 > last ? cell->ColSpan - Count : Index - mc;
                if (DecreaseWidths)
                    SetCellIntProperty("BestWidth", mr, mc,
                                       int(int64_t(span) * cell->BestWidth / cell->ColSpan));
                DoStep(std::make_unique<TSpanStep>(mr, mc, false, span));
            }
            r = mr - 1;
        }
        for (int r = 0; r < m; ++r)
            for (int c = last; c >= Index; --c)
                DoStep(std::make_unique<TSlotStep>(r, c, nullptr, true));
    });
}

void TRVTableItemInfo::DeleteEmptyRows() {
    RecordOperation("TRVUndoDeleteRows", [&] {
        for (int r = RowCount() - 1; r >= 0; --r) {
            bool empty = true;
            for (int c = 0; c < ColCount() && empty; ++c)
                empty = GetCell(r, c) == nullptr;
            if (empty && ColCount() > 0) DeleteRows(r, 1, false);
        }
    });
}

void TRVTableItemInfo::ClearCells(const std::vector<int>& RowList, const std::vector<int>& ColList) {
    if (RowList.size() != ColList.size()) throw EZoroZudoError(errRVTableIndex);
    for (std::size_t i = 0; i < RowList.size(); ++i)
        if (RowList[i] < 0 || RowList[i] >= RowCount() || ColList[i] < 0 || ColList[i] >= ColCount())
            throw EZoroZudoError(errRVTableIndex);
    RecordOperation("TRVUndoCellsClear", [&] {
        for (std::size_t i = 0; i < RowList.size(); ++i) {
            TRVTableCellData* cell = GetCell(RowList[i], ColList[i]);
            if (!cell) continue;
            int styleNo, paraNo;
            cell->GetFirstStyles(styleNo, paraNo);
            auto empty = NewDetachedCell();
            empty->ResetContent(styleNo, paraNo);
            DoStep(std::make_unique<TContentStep>(RowList[i], ColList[i], std::move(empty)));
        }
    });
}
