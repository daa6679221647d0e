// Cutting a printed table over pages: whole rows while they fit below the
// heading rows, then a row cut inside itself by paginating its cells one
// page at a time, the parts that pagination takes back, and the cells'
// pages made and undone with the footnotes they hold.
#include <algorithm>

#include "richtext/editor/tables/RVTablePrint.h"

namespace {

// Device heights of the table's spacings.
struct TMeasures {
    int BT; // below the last row: the table's border and spacing, less one cell spacing
    int CP; // around a cell's content: its paddings, borders and one cell spacing
};

TMeasures MeasuresOf(const TRVTableItemInfo& T, const TRVScreenDeviceResolution& r) {
    int tb = ScaleYToDevice(T.BorderWidth + T.BorderVSpacing, r);
    int sv = ScaleYToDevice(T.CellVSpacing, r);
    int pb = 2 * ScaleYToDevice(T.CellVPadding + T.CellBorderWidth, r);
    return TMeasures{tb - sv, pb + sv};
}

} // namespace

// ---------------------------------------------------------------- cell pages

bool TRVTablePrintInfo::FormatNextCellPage(TCellPtblRVData& D, int& Room, TRVFootnoteRefList*& Footnotes,
                                           bool CountFootnotes) {
    if (D.Pages && D.AllFormatted()) return false;
    if (D.DrawItems.Count() == 0) {
        D.EndY = 0;
        return false;
    }
    if (!D.Pages) {
        D.Pages = std::make_unique<TRVPageCollection>();
        D.PagesMade = 0;
        D.State = TRVPaginationState{};
    }
    D.Saved = D.State;
    D.SavedEndY = D.EndY;
    D.SavedPageCount = D.Pages->Count();
    D.FormatNextPage(D.State, Room, Footnotes, CountFootnotes);
    ++D.PagesMade;
    return true;
}

void TRVTablePrintInfo::UndoLastCellPage(TCellPtblRVData& D, TRVFootnoteRefList*& Footnotes, int& Height,
                                         bool CountFootnotes) {
    if (!D.Pages) return;
    if (D.PagesMade <= 1) {
        ResetCellPages(D, Footnotes, Height, CountFootnotes);
        return;
    }
    RemoveCellFootnotes(D, D.Saved.NextDrawItem, Footnotes, Height, CountFootnotes);
    D.State = D.Saved;
    D.EndY = D.SavedEndY;
    D.Pages->Truncate(D.SavedPageCount);
    --D.PagesMade;
}

void TRVTablePrintInfo::ResetCellPages(TCellPtblRVData& D, TRVFootnoteRefList*& Footnotes, int& Height,
                                       bool CountFootnotes) {
    RemoveCellFootnotes(D, 0, Footnotes, Height, CountFootnotes);
    D.Pages.reset();
    D.State = TRVPaginationState{};
    D.PagesMade = 0;
    D.EndY = 0;
}

// ---------------------------------------------------------------- splitting

bool TRVTablePrintInfo::InitSplit(const TRVScreenDeviceResolution&) {
    int rows = Table.RowCount();
    if (HeadingRows >= rows) return false;
    if (!(Table.PrintOptions & rvtoRowsSplit)) {
        bool forced = false;
        for (int r = Table.HeadingRowCount + 1; r < rows && !forced; ++r)
            forced = r > 0 && Table.Rows[r]->PageBreakBefore;
        if (!forced) return false;
    }
    PartsList.Add(nullptr);
    return true;
}

bool TRVTablePrintInfo::CanSplitFirst(int Room, const TRVScreenDeviceResolution& r, bool ItemStartsPage,
                                      bool ListExists, bool CountFootnotes) {
    if (PartsList.Count() == 0) return false;
    TMeasures m = MeasuresOf(Table, r);
    int b = HeadingRows;
    int R = Room - m.BT;
    if (CountFootnotes && HeadingRows > 0) {
        TRVFootnoteRefList none;
        R -= RowsFootnotesHeight(0, HeadingRows - 1, ListExists ? &none : nullptr);
    }
    int T0 = Edge(HeadingRows);
    if (T0 + Edge(b + 1) - Edge(b) <= R) return true;
    int room = R - T0 - m.CP;
    for (int c = 0; c < Table.ColCount(); ++c) {
        TRVTableCellData* cell = Table.GetCell(b, c);
        if (!cell) continue;
        if (!ItemStartsPage && ScaleYToDevice(cell->BestHeight, r) > room) return false;
        if (TCellPtblRVData* D = CellData(b, c)) {
            int rr = room;
            bool exists = ListExists;
            if (!D->StartFitsInHeight(rr, ItemStartsPage, r, exists, false)) return false;
        }
    }
    return true;
}

bool TRVTablePrintInfo::SplitAt(int Room, const TRVScreenDeviceResolution& r, bool FirstOnPage,
                                TRVFootnoteRefList*& Footnotes, int& Height, bool CountFootnotes) {
    TMeasures m = MeasuresOf(Table, r);
    int rows = Table.RowCount(), cols = Table.ColCount();
    if (PartsList.Count() == 0 || PartsList.Last() != nullptr) throw EZoroZudoError(errRVPrint);
    TRVTablePrintPart* prev = PartsList.Count() >= 2 ? Part(PartsList.Count() - 2) : nullptr;
    int b = prev ? prev->LastRow() + (prev->LastRowWhole ? 1 : 0) : HeadingRows;
    if (b >= rows) {
        PartsList.Delete(PartsList.Count() - 1);
        return false;
    }
    // The heading rows' footnotes take room on the first page only.
    if (!prev && HeadingRows > 0) {
        int before = Height;
        CollectRowsFootnotes(0, HeadingRows - 1, Footnotes, Height, CountFootnotes);
        Room -= before - Height;
    }
    int R = Room - m.BT;

    auto made = std::make_unique<TRVTablePrintPart>();
    TRVTablePrintPart& P = *made;
    P.HeadingRowsHeight = PrintLayout.RowTopList[std::size_t(HeadingRows)] - PrintLayout.RowTopList[0];
    if (prev) P.ContinuedPages = std::move(prev->NextPages), prev->NextPages.clear();
    PartsList.Replace(PartsList.Count() - 1, std::move(made));
    PartsList.Add(nullptr);
    const int F = b;
    bool continued = !P.ContinuedPages.empty();
    P.RowYs = {Edge(HeadingRows)};
    P.RowNumbers = {b};
    P.LastRowWhole = true;
    int k = 0;

    // Walks the cells covering Row from the last column to the first.
    auto eachCovering = [&](int Row, auto Visit) {
        for (int c = cols - 1; c >= 0;) {
            int mr, mc;
            TRVTableCellData* cell = Table.Rows.GetMainCell(Row, c, mr, mc);
            c = mc - 1;
            if (cell) Visit(*cell, mr, mc);
        }
    };
    auto canStart = [&](int Row, int Room) {
        for (int c = 0; c < cols; ++c) {
            TRVTableCellData* cell = Table.GetCell(Row, c);
            if (!cell) continue;
            if (ScaleYToDevice(cell->BestHeight, r) > Room) return false;
            if (TCellPtblRVData* D = CellData(Row, c)) {
                int rr = Room;
                bool exists = Footnotes != nullptr;
                if (!D->StartFitsInHeight(rr, false, r, exists, false)) return false;
            }
        }
        return true;
    };
    // Places what of row b fits, paginating its cells; true when the row ends here.
    auto cutRow = [&]() {
        int y = P.RowYs[std::size_t(k)];
        int bottom = y + m.CP;
        bool whole = true;
        std::vector<int32_t> next(std::size_t(cols), 0);
        eachCovering(b, [&](TRVTableCellData& Cell, int mr, int mc) {
            int page = 1;
            if (k == 0 && continued) page = P.ContinuedPages[std::size_t(mc)];
            if (page < 1) return;
            int top = mr >= F ? P.RowYs[std::size_t(mr - F)] : P.RowYs[0];
            int room = R - top - m.CP;
            int fixed = ScaleYToDevice(Cell.BestHeight, r);
            int h = std::min(fixed, std::max(room, 0));
            TCellPtblRVData* D = CellData(mr, mc);
            bool ignoreContent = (Table.Options & rvtoIgnoreContentHeight) && Cell.BestHeight > 0;
            if (D && !ignoreContent) {
                if (D->PagesMade < page) {
                    int rr = room;
                    FormatNextCellPage(*D, rr, Footnotes, CountFootnotes);
                    // The cell's footnotes take room from the page and the table.
                    Height -= room - rr;
                    R -= room - rr;
                }
                if (D->AllFormatted()) {
                    h = std::max(h, int(D->EndY));
                } else {
                    whole = false;
                    next[std::size_t(mc)] = D->PagesMade + 1;
                    h = room;
                }
            }
            bottom = std::max(bottom, top + h + m.CP);
        });
        P.RowYs.resize(std::size_t(k + 1));
        P.RowNumbers.resize(std::size_t(k + 1));
        P.RowYs.push_back(whole ? bottom : std::max(R, y + m.CP));
        P.RowNumbers.push_back(b + 1);
        if (!whole) P.NextPages = std::move(next);
        return whole;
    };

    while (b < rows) {
        int y = P.RowYs[std::size_t(k)];
        if (k > 0 && Table.Rows[b]->PageBreakBefore) break;
        if (!(k == 0 && continued)) {
            int pitch = Edge(b + 1) - Edge(b);
            int notes = CountFootnotes ? RowsFootnotesHeight(b, b, Footnotes) : 0;
            if (y + pitch <= R - notes) {
                int before = Height;
                CollectRowsFootnotes(b, b, Footnotes, Height, CountFootnotes);
                R -= before - Height;
                P.RowYs.resize(std::size_t(k + 1));
                P.RowNumbers.resize(std::size_t(k + 1));
                P.RowYs.push_back(y + pitch);
                P.RowNumbers.push_back(b + 1);
                ++k;
                ++b;
                continue;
            }
            // A row that cannot begin in the room goes to the next page whole.
            if (k > 0 && !canStart(b, R - y - m.CP)) break;
        }
        if (!cutRow()) {
            P.LastRowWhole = false;
            break;
        }
        ++k;
        ++b;
    }
    (void)FirstOnPage;

    // Cells of several rows that go on past a page ending after a whole row.
    if (P.LastRowWhole && b < rows) {
        bool crossing = false;
        std::vector<int32_t> next(std::size_t(cols), 1);
        eachCovering(b, [&](TRVTableCellData&, int mr, int mc) {
            if (mr >= b) return;
            crossing = true;
            TCellPtblRVData* D = CellData(mr, mc);
            if (!D) {
                next[std::size_t(mc)] = 0;
                return;
            }
            if (D->PagesMade == 0) {
                int top = mr >= F ? P.RowYs[std::size_t(mr - F)] : P.RowYs[0];
                int rr = P.RowYs.back() - top - m.CP;
                FormatNextCellPage(*D, rr, Footnotes, false);
            }
            next[std::size_t(mc)] = D->AllFormatted() ? 0 : D->PagesMade + 1;
        });
        if (crossing) P.NextPages = std::move(next);
    }
    P.Height = P.RowYs.back() + m.BT;
    if (P.LastRowWhole && b >= rows) {
        PartsList.Delete(PartsList.Count() - 1);
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- taking parts back

void TRVTablePrintInfo::ClearParts(TRVFootnoteRefList*& Footnotes, int& Height, bool CountFootnotes) {
    if (PartsList.Count() == 0) {
        if (Footnotes) RemoveFootnotes(Footnotes, Height, CountFootnotes);
        return;
    }
    for (auto& D : Cells)
        if (D) ResetCellPages(*D, Footnotes, Height, CountFootnotes);
    PartsList.Clear();
}

void TRVTablePrintInfo::RemoveLastPart(TRVFootnoteRefList*& Footnotes, int& Height, bool CountFootnotes) {
    if (PartsList.Count() == 0) {
        RemoveFootnotes(Footnotes, Height, CountFootnotes);
        return;
    }
    int i = PartsList.Count() - 1;
    while (i >= 0 && !PartsList[i])
        --i;
    if (i < 0) return;
    TRVTablePrintPart& P = *Part(i);
    int first = P.FirstRow();
    if (!P.ContinuedPages.empty()) {
        for (int c = 0; c < Table.ColCount(); ++c) {
            if (P.ContinuedPages[std::size_t(c)] <= 0) continue;
            int mr, mc;
            if (Table.Rows.GetMainCell(first, c, mr, mc) && mc == c)
                if (TCellPtblRVData* D = CellData(mr, mc))
                    UndoLastCellPage(*D, Footnotes, Height, CountFootnotes);
        }
        ++first;
    }
    for (int row = first; row <= P.LastRow(); ++row)
        for (int c = 0; c < Table.ColCount(); ++c)
            if (TCellPtblRVData* D = CellData(row, c)) ResetCellPages(*D, Footnotes, Height, CountFootnotes);
    PartsList.Delete(i);
}
