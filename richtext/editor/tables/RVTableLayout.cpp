// The table's layout: minimal width, column widths in pixel, per-cent and
// automatic modes, widths of merged cells spread over their columns, row
// heights, the placement of columns, rows and cell boxes, and lookups.
#include <algorithm>
#include <numeric>

#include "richtext/editor/tables/RVTable.h"
#include "richtext/editor/tables/RVTablePrint.h"
#include "richtext/engine/style/RVStyle.h"

namespace {

// MulDiv in 64 bits, rounding half away from zero; 0 for a zero divisor.
int64_t MulDiv64(int64_t Value, int64_t Numerator, int64_t Denominator) {
    if (Denominator == 0) return 0;
    __int128 p = __int128(Value) * Numerator;
    bool negative = (p < 0) != (Denominator < 0);
    __int128 a = p < 0 ? -p : p, d = Denominator < 0 ? -Denominator : Denominator;
    __int128 q = (2 * a + d) / (2 * d);
    return int64_t(negative ? -q : q);
}

int32_t Clamp32(int64_t Value) {
    return int32_t(std::clamp<int64_t>(Value, INT32_MIN / 2, INT32_MAX / 2));
}

// Per cent widths are stored negated; more than 100 % is 100 %.
int64_t PercentOf(int64_t Width, int32_t BestWidth) {
    return Width * std::min<int64_t>(-int64_t(BestWidth), 100) / 100;
}

// One run of the column-width computation.
struct TWidthRun {
    TRVTableItemInfo& T;
    std::vector<int64_t> Widths;
    std::vector<int> Marks; // 0 free, 1 fixed by pixels, 2 fixed by per cent
    int64_t Sum = 0;        // what minimum-mode spreading added goes here too
    int64_t Free = 0;
    bool AllFixed = false;

    int64_t P() const { return T.ScaleX(2 * T.CellHPadding); }
    int64_t Gap() const { return T.ScaleX(T.CellHSpacing + 2 * T.CellHPadding + 2 * T.CellBorderWidth); }

    // Spreads a needed width over columns Col..Col+Span-1.
    void Spread(int Col, int Span, int64_t Need, bool MinMode, int MaxLevel, int Depth = 0) {
        int64_t p = P();
        int64_t covered = T.ScaleX(-T.CellHSpacing - 2 * T.CellBorderWidth);
        for (int c = Col; c < Col + Span; ++c)
            covered += Gap() + Widths[std::size_t(c)];
        std::vector<int> eligible;
        if (MinMode) {
            for (int c = Col; c < Col + Span; ++c)
                eligible.push_back(c);
        } else {
            for (int level = 0; level <= MaxLevel && eligible.empty(); ++level)
                for (int c = Col; c < Col + Span; ++c)
                    if (Marks[std::size_t(c)] <= level) eligible.push_back(c);
        }
        if (covered >= Need + p || eligible.empty()) return;
        int64_t extra = Need + p - covered;
        if (!MinMode && !AllFixed) {
            extra = std::min(extra, Free);
            if (extra <= 0) return;
            Free -= extra;
        }
        int64_t d = 0;
        for (int c : eligible)
            d += std::max<int64_t>(Widths[std::size_t(c)] + p, 1);
        if (!MinMode || Depth >= 31) {
            int64_t t = d + extra;
            for (int c : eligible) {
                int64_t& w = Widths[std::size_t(c)];
                int64_t weight = std::max<int64_t>(w + p, 1);
                int64_t took = MulDiv64(weight, t, d);
                int64_t nw = std::max(took - p, w);
                if (MinMode) Sum += nw - w;
                w = nw;
                t -= took;
                d -= weight;
                if (d <= 0) break;
            }
            return;
        }
        // Equal shares: narrow columns grow to the same width first.
        int64_t t = d + extra;
        int64_t k = int64_t(eligible.size());
        std::vector<bool> in(eligible.size(), true);
        auto share = [&] { return Round(double(t) / double(k)); };
        for (std::size_t i = 0; i < eligible.size() && k > 0 && t > 0; ++i) {
            int64_t w = Widths[std::size_t(eligible[i])];
            if (w + p >= share()) {
                in[i] = false;
                --k;
                t -= w + p;
            }
        }
        for (std::size_t i = 0; i < eligible.size() && k > 0 && t > 0; ++i) {
            if (!in[i]) continue;
            int64_t& w = Widths[std::size_t(eligible[i])];
            int64_t r = share();
            if (w + p < r) {
                Sum += r - p - w;
                w = r - p;
                t -= r;
                --k;
            }
        }
        Spread(Col, Span, Need, MinMode, MaxLevel, Depth + 1);
    }
};

// The printable copy of the cell at (Row, Col) in a printed layout.
TCellPtblRVData* PrintedCell(const TRVTableItemFormattingInfo& L, int Row, int Col) {
    if (L.PrintCells.empty()) return nullptr;
    std::size_t cols = L.ColWidthList.size();
    return static_cast<TCellPtblRVData*>(L.PrintCells[std::size_t(Row) * cols + std::size_t(Col)]);
}

} // namespace

// ---------------------------------------------------------------- measures

int TRVTableItemInfo::CellMinWidth(const TRVTableCellData& Cell, TCanvas* Canvas) const {
    const TCustomRVData& data = *Cell.GetRVData();
    if (data.ItemCount() == 0) return 0;
    if (data.ItemCount() == 1 && data.LiveItem(0).StyleNo >= 0 && data.GetItemText(0).empty()) {
        TRVStyle* style = data.GetRVStyle();
        if (!style) return 0;
        const TParaInfo& para = *style->ParaStyles().GetItem(data.GetItemPara(0));
        return ScaleX(para.FirstIndent + para.LeftIndent + para.RightIndent);
    }
    auto* formatted = dynamic_cast<const TCustomRVFormattedData*>(&data);
    int width = formatted ? formatted->CalculateMinDocumentWidth(0, DeviceScale, Canvas) : 0;
    return width == 0 ? 10 : width;
}

int TRVTableItemInfo::CellContentHeight(const TRVTableCellData& Cell) const {
    if (Cell.BestHeight > 0 && (Options & rvtoIgnoreContentHeight)) return Cell.BestHeight;
    return std::max<int>(Cell.BestHeight, Cell.DocumentHeight);
}

int64_t TRVTableItemInfo::CellLayoutHeight(const TRVTableItemFormattingInfo& L, int Row, int Col) const {
    const TRVTableCellData& cell = *GetCell(Row, Col);
    if (L.PrintCells.empty()) return ScaleY(CellContentHeight(cell));
    if (cell.BestHeight > 0 && (Options & rvtoIgnoreContentHeight)) return ScaleY(cell.BestHeight);
    const TCustomRVFormattedData* printed =
        L.PrintCells[std::size_t(Row) * std::size_t(ColCount()) + std::size_t(Col)];
    int64_t content = printed ? printed->DocumentHeight : ScaleY(cell.DocumentHeight);
    return std::max<int64_t>(ScaleY(cell.BestHeight), content);
}

bool TRVTableItemInfo::AllColumnsFixed() const {
    int n = ColCount();
    std::vector<bool> own(std::size_t(n), false), fixedEnd(std::size_t(n), false);
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < n; ++c)
            if (TRVTableCellData* cell = GetCell(r, c)) {
                own[std::size_t(c)] = true;
                if (cell->BestWidth < 0) return false;
                if (cell->BestWidth > 0) fixedEnd[std::size_t(c + cell->ColSpan - 1)] = true;
            }
    for (int c = 0; c < n; ++c)
        if (!own[std::size_t(c)] || !fixedEnd[std::size_t(c)]) return false;
    return true;
}

namespace {

struct TColumnFacts {
    int64_t MinWidth = 0;
    int64_t PixelWidth = 0;
    bool HasPercent = false;
};

std::vector<TColumnFacts> CollectColumns(const TRVTableItemInfo& T,
                                         const std::function<int64_t(const TRVTableCellData&)>& MinOf) {
    std::vector<TColumnFacts> cols(std::size_t(T.ColCount()));
    std::vector<bool> pixelKilled(cols.size(), false);
    for (int r = 0; r < T.RowCount(); ++r)
        for (int c = 0; c < T.ColCount(); ++c) {
            TRVTableCellData* cell = T.GetCell(r, c);
            if (!cell) continue;
            TColumnFacts& f = cols[std::size_t(c)];
            if (cell->BestWidth < 0) cols[std::size_t(c + cell->ColSpan - 1)].HasPercent = true;
            if (cell->ColSpan != 1) continue;
            if (!(T.Options & rvtoIgnoreContentWidth)) f.MinWidth = std::max(f.MinWidth, MinOf(*cell));
            if (cell->BestWidth < 0) pixelKilled[std::size_t(c)] = true;
            if (cell->BestWidth > 0) f.PixelWidth = std::max<int64_t>(f.PixelWidth, cell->BestWidth);
        }
    for (std::size_t c = 0; c < cols.size(); ++c)
        if (pixelKilled[c]) cols[c].PixelWidth = 0;
    return cols;
}

int64_t ColumnPercentWidth(const TRVTableItemInfo& T, int Col, int64_t Width) {
    int64_t best = 0;
    for (int r = 0; r < T.RowCount(); ++r) {
        TRVTableCellData* cell = T.GetCell(r, Col);
        if (cell && cell->ColSpan == 1 && cell->BestWidth < 0)
            best = std::max(best, PercentOf(Width, cell->BestWidth));
    }
    return best;
}

int64_t HorizontalOverhead(const TRVTableItemInfo& T) {
    int64_t n = T.ColCount();
    return T.ScaleX(Clamp32((n - 1) * T.CellHSpacing + 2 * (int64_t(T.BorderWidth) + T.BorderHSpacing) +
                            2 * n * T.CellBorderWidth));
}

int64_t AllPaddings(const TRVTableItemInfo& T) {
    return T.ScaleX(Clamp32(2 * int64_t(T.ColCount()) * T.CellHPadding));
}

} // namespace

int TRVTableItemInfo::GetMinWidth(const TRVScreenDeviceResolution* Resolution, TCanvas* Canvas,
                                  TCustomRVData*) const {
    auto* self = const_cast<TRVTableItemInfo*>(this);
    const TRVScreenDeviceResolution* saved = DeviceScale;
    self->DeviceScale = Resolution;
    TScopeGuard restore([&] { self->DeviceScale = saved; });
    if (Rows.IsEmpty()) return ScaleX(2 * (BorderWidth + BorderHSpacing));
    auto cols =
        CollectColumns(*this, [&](const TRVTableCellData& Cell) { return CellMinWidth(Cell, Canvas); });
    TWidthRun run{*self, {}, std::vector<int>(cols.size(), 0)};
    for (const TColumnFacts& f : cols) {
        int64_t w = f.MinWidth;
        if (BestWidth == 0) w = std::max<int64_t>(w, ScaleX(Clamp32(f.PixelWidth)));
        run.Widths.push_back(w);
        run.Sum += w;
    }
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColCount(); ++c) {
            TRVTableCellData* cell = GetCell(r, c);
            if (!cell || cell->ColSpan <= 1) continue;
            int64_t need = (Options & rvtoIgnoreContentWidth) ? 0 : CellMinWidth(*cell, Canvas);
            if (BestWidth == 0) need = std::max<int64_t>(need, ScaleX(cell->BestWidth));
            run.Spread(c, cell->ColSpan, need, true, 0);
        }
    int64_t result = AllPaddings(*this) + HorizontalOverhead(*this) + run.Sum;
    return Clamp32(std::max<int64_t>(result, ScaleX(BestWidth)));
}

// ---------------------------------------------------------------- the layout

void TRVTableItemInfo::AdjustToDocWidth(int DocWidth, TRVDrawLineInfo& DrawItem, bool, bool, TCanvas& Canvas,
                                        TCustomRVData*, const TRVScreenDeviceResolution*, bool, int& Descent,
                                        int& HShift) {
    Descent = HShift = 0;
    // A printout lays the table out again at the device, leaving the
    // screen's layout and cells as they are.
    if (auto* printed = dynamic_cast<TRVTablePrintInfo*>(&DrawItem)) {
        const TRVScreenDeviceResolution* saved = DeviceScale;
        DeviceScale = &printed->Resolution;
        TScopeGuard restore([&] { DeviceScale = saved; });
        printed->PrintLayout.TotalWidth = 0;
        BuildLayout(DocWidth, printed->PrintLayout, true, Canvas);
        printed->Width = printed->PrintLayout.TotalWidth;
        printed->Height = printed->PrintLayout.TotalHeight;
        return;
    }
    if (TableState & rvtsFormatInplace) {
        TableState &= uint16_t(~rvtsFormatInplace);
        FormatInfo.TotalWidth = 0;
    }
    BuildLayout(DocWidth, FormatInfo, false, Canvas);
    DrawItem.Width = FormatInfo.TotalWidth;
    DrawItem.Height = FormatInfo.TotalHeight;
}

void TRVTableItemInfo::BuildLayout(int Width, TRVTableItemFormattingInfo& L, bool Force, TCanvas& Canvas) {
    if (Rows.IsEmpty()) {
        L.Clear();
        L.TotalWidth = ScaleX(2 * (BorderWidth + BorderHSpacing));
        L.TotalHeight = ScaleY(2 * (BorderWidth + BorderVSpacing));
        return;
    }
    int n = ColCount();
    int64_t target;
    bool fixed = false;
    if (BestWidth > 0)
        target = ScaleX(BestWidth);
    else if (BestWidth < 0)
        target = PercentOf(std::max(Width, 0), BestWidth);
    else if (AllColumnsFixed()) {
        target = 0;
        fixed = true;
    } else
        target = std::max(GetMinWidth(DeviceScale, &Canvas, nullptr), Width);
    if (target != 0 && target == L.TotalWidth && !Force) return;

    int64_t total = target;
    int64_t overhead = HorizontalOverhead(*this), paddings = AllPaddings(*this);
    int64_t k = fixed ? 0 : target - overhead - paddings;
    int64_t v = fixed ? 0 : target - overhead;
    L.Clear();
    auto cols =
        CollectColumns(*this, [&](const TRVTableCellData& Cell) { return CellMinWidth(Cell, &Canvas); });
    TWidthRun run{*this, {}, std::vector<int>(std::size_t(n), 0)};
    run.AllFixed = fixed;
    for (const TColumnFacts& f : cols) {
        run.Widths.push_back(f.MinWidth);
        run.Sum += f.MinWidth;
    }
    auto eachMerged = [&](auto Step) {
        for (int r = 0; r < RowCount(); ++r)
            for (int c = 0; c < n; ++c)
                if (TRVTableCellData* cell = GetCell(r, c); cell && cell->ColSpan > 1) Step(*cell, c);
    };
    if (!(Options & rvtoIgnoreContentWidth))
        eachMerged([&](TRVTableCellData& Cell, int C) {
            run.Spread(C, Cell.ColSpan, CellMinWidth(Cell, &Canvas), true, 0);
        });
    int64_t p2 = ScaleX(2 * CellHPadding);
    std::vector<int>& marks = run.Marks;
    std::vector<int64_t>& w = run.Widths;
    if (fixed || run.Sum < k) {
        int64_t& f = run.Free;
        if (!fixed) {
            // Per-cent columns.
            f = k - run.Sum;
            std::vector<int64_t> wanted(static_cast<std::size_t>(n));
            int64_t x = 0, d = 0;
            for (int c = 0; c < n; ++c) {
                wanted[std::size_t(c)] = std::max<int64_t>(ColumnPercentWidth(*this, c, v) - p2, 0);
                if (w[std::size_t(c)] < wanted[std::size_t(c)]) {
                    f += w[std::size_t(c)];
                    x += w[std::size_t(c)];
                    d += wanted[std::size_t(c)];
                }
            }
            if (d != 0) {
                d = std::max(d, f);
                for (int c = 0; c < n; ++c) {
                    int64_t want = wanted[std::size_t(c)];
                    if (want <= 0) continue;
                    int64_t old = w[std::size_t(c)];
                    if (old < want) {
                        int64_t share = MulDiv64(want, f, d);
                        int64_t nw = std::max(std::min(share, old + f - x), old);
                        if (share > 0) marks[std::size_t(c)] = 2;
                        w[std::size_t(c)] = nw;
                        f -= nw;
                        x -= old;
                        d -= want;
                        if (f == 0 && x == 0) break;
                    } else {
                        marks[std::size_t(c)] = 2;
                    }
                }
            }
            // Per-cent merged cells.
            eachMerged([&](TRVTableCellData& Cell, int C) {
                if (Cell.BestWidth >= 0 || f <= 0) return;
                run.Spread(C, Cell.ColSpan, PercentOf(v, Cell.BestWidth) - p2, false, 2);
                for (int cc = C; cc < C + Cell.ColSpan; ++cc)
                    if (marks[std::size_t(cc)] == 0) marks[std::size_t(cc)] = 2;
            });
        }
        // Pixel columns.
        if (fixed) {
            for (int c = 0; c < n; ++c)
                if (marks[std::size_t(c)] == 0 && cols[std::size_t(c)].PixelWidth > 0) {
                    marks[std::size_t(c)] = 1;
                    w[std::size_t(c)] = std::max<int64_t>(w[std::size_t(c)],
                                                          ScaleX(Clamp32(cols[std::size_t(c)].PixelWidth)));
                }
        } else if (f > 0) {
            std::vector<int64_t> weight(static_cast<std::size_t>(n), 0);
            int64_t d = 0;
            for (int c = 0; c < n; ++c)
                if (marks[std::size_t(c)] == 0 && cols[std::size_t(c)].PixelWidth > 0) {
                    marks[std::size_t(c)] = 1;
                    int64_t px = ScaleX(Clamp32(cols[std::size_t(c)].PixelWidth));
                    if (w[std::size_t(c)] < px) {
                        f += w[std::size_t(c)];
                        weight[std::size_t(c)] = px;
                        d += px;
                    }
                }
            int64_t r = std::min(f, d);
            for (int c = 0; c < n && d > 0; ++c) {
                if (!weight[std::size_t(c)]) continue;
                int64_t nw = std::max(std::min(MulDiv64(weight[std::size_t(c)], r, d), f), w[std::size_t(c)]);
                w[std::size_t(c)] = nw;
                f -= nw;
                r -= nw;
                d -= weight[std::size_t(c)];
            }
        }
        // Pixel merged cells.
        eachMerged([&](TRVTableCellData& Cell, int C) {
            if (Cell.BestWidth <= 0 || !(fixed || f > 0)) return;
            run.Spread(C, Cell.ColSpan, ScaleX(Cell.BestWidth), false, 1);
            for (int cc = C; cc < C + Cell.ColSpan; ++cc)
                if (marks[std::size_t(cc)] == 0) marks[std::size_t(cc)] = 1;
        });
        // What is left.
        if (fixed) {
            total = overhead + paddings + std::accumulate(w.begin(), w.end(), int64_t(0));
        } else if (f > 0) {
            int unmarked = int(std::count(marks.begin(), marks.end(), 0));
            bool pixels = std::count(marks.begin(), marks.end(), 1) > 0;
            if (unmarked > 0) {
                for (int c = 0; c < n && f >= 1; ++c)
                    if (marks[std::size_t(c)] == 0) {
                        int64_t add = f / unmarked--;
                        w[std::size_t(c)] += add;
                        f -= add;
                    }
            } else {
                std::vector<int64_t> weight(static_cast<std::size_t>(n), 0);
                for (int c = 0; c < n; ++c) {
                    const TColumnFacts& facts = cols[std::size_t(c)];
                    if (!pixels)
                        weight[std::size_t(c)] =
                            facts.HasPercent ? std::max<int64_t>(ColumnPercentWidth(*this, c, v) - p2, 1) : 0;
                    else
                        weight[std::size_t(c)] =
                            facts.HasPercent ? 0 : std::max<int64_t>(facts.PixelWidth, 1);
                }
                int64_t sum = std::accumulate(weight.begin(), weight.end(), int64_t(0));
                for (int c = 0; c < n && f >= 1 && sum > 0; ++c) {
                    int64_t wt = weight[std::size_t(c)];
                    if (!wt) continue;
                    int64_t add = MulDiv64(f, wt, sum);
                    if (!pixels) add = std::min(add, f);
                    w[std::size_t(c)] += add;
                    f -= add;
                    sum -= wt;
                }
            }
        }
    } else {
        total += run.Sum - k;
    }
    L.TotalWidth = Clamp32(total);
    for (int64_t width : w)
        L.ColWidthList.push_back(Clamp32(width));
    PlaceColumns(L, Canvas);

    // Heights.
    int m = RowCount();
    int64_t q = CellVPadding, b = CellBorderWidth;
    int64_t height = ScaleY(
        Clamp32(2 * (m * q + BorderWidth + BorderVSpacing) + (int64_t(m) - 1) * CellVSpacing + 2 * m * b));
    bool printed = !L.PrintCells.empty();
    for (int r = 0; r < m; ++r) {
        int h = 0;
        for (int c = 0; c < n; ++c)
            if (TRVTableCellData* cell = GetCell(r, c); cell && cell->RowSpan <= 1)
                h = printed ? std::max<int>(h, Clamp32(CellLayoutHeight(L, r, c)))
                            : std::max(h, CellContentHeight(*cell));
        if (printed)
            h = h == 0 ? ScaleY(10) : h;
        else
            h = ScaleY(h == 0 ? 10 : h);
        L.RowHeightList.push_back(h);
        height += h;
    }
    int64_t vgap = ScaleY(Clamp32(CellVSpacing + 2 * q + 2 * b));
    for (int r = 0; r < m; ++r)
        for (int c = 0; c < n; ++c) {
            TRVTableCellData* cell = GetCell(r, c);
            if (!cell || cell->RowSpan <= 1) continue;
            int last = r + cell->RowSpan - 1;
            int64_t need = printed ? CellLayoutHeight(L, r, c) + ScaleY(Clamp32(2 * q))
                                   : ScaleY(Clamp32(CellContentHeight(*cell) + 2 * q));
            int64_t covered = ScaleY(Clamp32(-CellVSpacing - 2 * b));
            for (int rr = r; rr <= last; ++rr)
                covered += vgap + L.RowHeightList[std::size_t(rr)];
            if (covered >= need) continue;
            int64_t extra = need - covered;
            height += extra;
            std::vector<bool> closed(std::size_t(cell->RowSpan), false);
            for (int rr = r; rr <= last; ++rr)
                for (int cc = 0; cc < n; ++cc)
                    if (TRVTableCellData* other = GetCell(rr, cc); other && rr + other->RowSpan - 1 <= last)
                        closed[std::size_t(rr - r)] = true;
            bool someOpen = std::find(closed.begin(), closed.end(), false) != closed.end();
            int64_t totalH = 0;
            for (int rr = r; rr <= last; ++rr)
                if (!someOpen || !closed[std::size_t(rr - r)]) totalH += L.RowHeightList[std::size_t(rr)];
            for (int rr = r; rr <= last && totalH > 0; ++rr) {
                if (someOpen && closed[std::size_t(rr - r)]) continue;
                int64_t h = L.RowHeightList[std::size_t(rr)];
                int64_t gain = MulDiv64(h, extra, totalH);
                L.RowHeightList[std::size_t(rr)] = Clamp32(h + gain);
                extra -= gain;
                totalH -= h;
            }
        }
    L.TotalHeight = Clamp32(height);
    PlaceRows(L);
}

void TRVTableItemInfo::PlaceColumns(TRVTableItemFormattingInfo& L, TCanvas& Canvas) {
    int n = ColCount();
    int64_t q0 = ScaleX(Clamp32(int64_t(n) * (2 * (int64_t(CellHPadding) + CellBorderWidth) + CellHSpacing)));
    int64_t q = q0;
    int64_t x = ScaleX(BorderWidth + BorderHSpacing + CellBorderWidth);
    for (int c = 0; c < n; ++c) {
        L.ColLeftList.push_back(Clamp32(x));
        int64_t share = q / (n - c);
        x += L.ColWidthList[std::size_t(c)] + share;
        q -= share;
    }
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < n; ++c) {
            TRVTableCellData* cell = GetCell(r, c);
            if (!cell) continue;
            int64_t width = ScaleX(2 * CellHPadding) + MulDiv64(q0, cell->ColSpan - 1, n);
            for (int cc = c; cc < c + cell->ColSpan; ++cc)
                width += L.ColWidthList[std::size_t(cc)];
            if (&L == &FormatInfo) {
                cell->CellLeft = L.ColLeftList[std::size_t(c)];
                cell->CellWidth = Clamp32(width);
            } else if (auto* printed = PrintedCell(L, r, c)) {
                printed->Left = L.ColLeftList[std::size_t(c)] + ScaleX(CellHPadding);
                printed->Width = std::max(Clamp32(width) - ScaleX(2 * CellHPadding), 1);
            }
        }
    FormatCells(L, Canvas);
}

void TRVTableItemInfo::FormatCells(TRVTableItemFormattingInfo& L, TCanvas& Canvas) {
    if (&L != &FormatInfo) {
        for (int r = 0; r < RowCount(); ++r)
            for (int c = 0; c < ColCount(); ++c)
                if (TCellPtblRVData* printed = PrintedCell(L, r, c)) {
                    printed->ResetFormatting();
                    printed->FormatDocument(false, true, true, 0, &Canvas, false, true, false);
                }
        return;
    }
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColCount(); ++c)
            if (TRVTableCellData* cell = GetCell(r, c)) {
                cell->SetWidth(cell->GetWidth());
                cell->FormatDocument(false, true, true, 0, &Canvas, false, false, false);
            }
}

void TRVTableItemInfo::PlaceRows(TRVTableItemFormattingInfo& L) {
    int m = RowCount();
    int64_t q0 = ScaleY(Clamp32(int64_t(m) * (2 * (int64_t(CellVPadding) + CellBorderWidth) + CellVSpacing)));
    int64_t q = q0;
    int64_t y = ScaleY(BorderWidth + BorderVSpacing + CellBorderWidth);
    for (int r = 0; r < m; ++r) {
        L.RowTopList.push_back(Clamp32(y));
        int64_t share = q / (m - r);
        y += L.RowHeightList[std::size_t(r)] + share;
        q -= share;
    }
    for (int r = 0; r < m; ++r)
        for (int c = 0; c < ColCount(); ++c) {
            TRVTableCellData* cell = GetCell(r, c);
            if (!cell) continue;
            int64_t height = ScaleY(2 * CellVPadding) + MulDiv64(q0, cell->RowSpan - 1, m);
            for (int rr = r; rr < r + cell->RowSpan; ++rr)
                height += L.RowHeightList[std::size_t(rr)];
            if (&L == &FormatInfo) {
                cell->CellTop = L.RowTopList[std::size_t(r)];
                cell->CellHeight = Clamp32(height);
            } else if (TCellPtblRVData* printed = PrintedCell(L, r, c)) {
                printed->Top = L.RowTopList[std::size_t(r)] + ScaleY(CellVPadding);
                printed->Height = std::max(Clamp32(height) - ScaleY(2 * CellVPadding), 0);
            }
        }
}

// ---------------------------------------------------------------- lookups

int TRVTableItemInfo::ColAt(int X) const {
    const auto& left = FormatInfo.ColLeftList;
    const auto& width = FormatInfo.ColWidthList;
    for (std::size_t c = 0; c < left.size() && c < width.size(); ++c) {
        if (X < left[c]) return -1;
        if (int64_t(left[c]) + width[c] >= X) return int(c);
    }
    return -1;
}

int TRVTableItemInfo::RowAt(int Y) const {
    const auto& top = FormatInfo.RowTopList;
    const auto& height = FormatInfo.RowHeightList;
    for (std::size_t r = 0; r < top.size() && r < height.size(); ++r) {
        if (Y < top[r]) return -1;
        if (int64_t(top[r]) + height[r] >= Y) return int(r);
    }
    return -1;
}

int TRVTableItemInfo::FindInSortedList(int Value, const std::vector<int32_t>& List) {
    if (List.size() < 2) return 0;
    if (Value >= List.back()) return int(List.size()) - 1;
    auto it = std::lower_bound(List.begin(), List.end(), Value);
    return it == List.begin() ? 0 : int(it - List.begin()) - 1;
}
