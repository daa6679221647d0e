// The table's printing drawing item: its making with the printable cell
// copies and heading rows, the footnotes of its cells, and the drawing of
// the whole table or of one part with its heading rows.
#include "richtext/editor/tables/RVTablePrint.h"

#include <algorithm>

#include "platform/rtl/ScopeGuard.h"
#include "richtext/print/pages/PrintableRV.h"

TColor RVTablePrintCellColor(const TRVTableItemInfo& Table, const TRVTableCellData& Cell) {
    return Table.GetEffectiveCellColor(Cell);
}

std::unique_ptr<TRVDrawLineInfo>
TRVTableItemInfo::CreatePrintingDrawItem(TCustomRVData* RVData, const TRVScreenDeviceResolution& Resolution) {
    auto* parent = dynamic_cast<TCustomPrintableRVData*>(RVData);
    if (!parent) return TRVFullLineItemInfo::CreatePrintingDrawItem(RVData, Resolution);
    return std::make_unique<TRVTablePrintInfo>(*this, *parent, Resolution);
}

void TRVTableItemInfo::Print(TCanvas& Canvas, int X, int Y, TCustomRVData* RVData, TObject*,
                             TRVColorMode ColorMode, int PartIndex, TRVDrawLineInfo* DrawItem,
                             const TRVScreenDeviceResolution&, bool Preview) {
    if (auto* printed = dynamic_cast<TRVTablePrintInfo*>(DrawItem))
        printed->Paint(Canvas, X, Y, PartIndex, ColorMode, Preview);
    else if (PartIndex <= 0)
        // Laid out by a document that is no printout: the table prints whole.
        PrintWhole(Canvas, X, Y, RVData, ColorMode);
}

bool TRVTablePrintPart::CutsContent() const {
    return std::any_of(ContinuedPages.begin(), ContinuedPages.end(), [](int32_t Page) { return Page > 1; });
}

// ---------------------------------------------------------------- making

TRVTablePrintInfo::TRVTablePrintInfo(TRVTableItemInfo& ATable, TCustomPrintableRVData& AParent,
                                     const TRVScreenDeviceResolution& AResolution)
    : Resolution(AResolution), Table(ATable) {
    int rows = Table.RowCount(), cols = Table.ColCount();
    // Heading rows repeat only when no cell of the last one reaches below it.
    int h = std::min(Table.HeadingRowCount, rows);
    if (h > 0)
        for (int c = 0; c < cols; ++c) {
            int mr, mc;
            TRVTableCellData* cell = Table.Rows.GetMainCell(h - 1, c, mr, mc);
            if (cell && mr + cell->RowSpan > h) {
                h = 0;
                break;
            }
        }
    HeadingRows = std::max(h, 0);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            TRVTableCellData* cell = Table.GetCell(r, c);
            std::unique_ptr<TCellPtblRVData> data;
            if (cell) {
                data = std::make_unique<TCellPtblRVData>(AParent.RV, &AParent, cell);
                data->Color = RVTablePrintCellColor(Table, *cell);
                data->NoBackground = true;
                data->Transparent = cell->Color == clNone;
            }
            PrintLayout.PrintCells.push_back(data.get());
            Cells.push_back(std::move(data));
        }
}

int TRVTablePrintInfo::Edge(int Row) const {
    const TRVTableItemFormattingInfo& L = PrintLayout;
    const TRVScreenDeviceResolution& r = Resolution;
    if (Row < int(L.RowTopList.size()))
        return L.RowTopList[std::size_t(Row)] - ScaleYToDevice(Table.CellBorderWidth, r);
    return L.TotalHeight - ScaleYToDevice(Table.BorderWidth + Table.BorderVSpacing, r) +
           ScaleYToDevice(Table.CellVSpacing, r);
}

// ---------------------------------------------------------------- footnotes of cells

namespace {

// Calls Visit for every footnote drawn in D and Nested for every split item.
template <class FVisit, class FNested>
void EachFootnote(TCustomMultiPagePtblRVData& D, int From, int To, FVisit Visit, FNested Nested) {
    if (D.IsNoteData()) return;
    for (int i = std::max(From, 0); i <= To && i < D.DrawItems.Count(); ++i) {
        TRVDrawLineInfo* d = D.DrawItems[i];
        if (auto* note = dynamic_cast<TRVFootnoteItemInfo*>(D.GetItem(d->ItemNo)))
            if (TRVFootnotePtblRVData* f = D.GetFootnoteRVData(note)) Visit(note, f, d, i);
        if (auto* multi = dynamic_cast<TRVMultiDrawItemInfo*>(d)) Nested(*multi);
    }
}

void RemoveFromList(TRVFootnoteRefList*& Footnotes, const TRVFootnoteItemInfo* Note, int& Height,
                    bool CountFootnotes, int SeparatorHeight, TRVFootnotePtblRVData* F) {
    if (!Footnotes) return;
    int k = Footnotes->IndexOfFootnote(Note);
    if (k < 0) return;
    if (CountFootnotes) Height += F->DocumentHeight;
    Footnotes->Delete(k);
    if (Footnotes->Count() == 0) {
        delete Footnotes;
        Footnotes = nullptr;
        if (CountFootnotes) Height += SeparatorHeight;
    }
}

} // namespace

int TRVTablePrintInfo::RowsFootnotesHeight(int First, int Last, const TRVFootnoteRefList* Footnotes) const {
    int height = 0;
    bool listExists = Footnotes != nullptr;
    std::vector<const TRVFootnoteItemInfo*> seen;
    for (int r = First; r <= Last; ++r)
        for (int c = 0; c < Table.ColCount(); ++c)
            if (TCellPtblRVData* D = CellData(r, c))
                EachFootnote(
                    *D, 0, D->DrawItems.Count() - 1,
                    [&](const TRVFootnoteItemInfo* Note, TRVFootnotePtblRVData* F, TRVDrawLineInfo*, int) {
                        if ((Footnotes && Footnotes->IndexOfFootnote(Note) >= 0) ||
                            std::find(seen.begin(), seen.end(), Note) != seen.end())
                            return;
                        seen.push_back(Note);
                        height += F->DocumentHeight;
                        if (!listExists) {
                            height += D->GetNoteSeparatorHeight();
                            listExists = true;
                        }
                    },
                    [&](TRVMultiDrawItemInfo& Multi) { Multi.SubtractFootnotesHeight(height, listExists); });
    return height;
}

void TRVTablePrintInfo::CollectRowsFootnotes(int First, int Last, TRVFootnoteRefList*& Footnotes, int& Height,
                                             bool CountFootnotes) {
    for (int r = First; r <= Last; ++r)
        for (int c = 0; c < Table.ColCount(); ++c)
            if (TCellPtblRVData* D = CellData(r, c))
                EachFootnote(
                    *D, 0, D->DrawItems.Count() - 1,
                    [&](const TRVFootnoteItemInfo* Note, TRVFootnotePtblRVData* F, TRVDrawLineInfo* Draw,
                        int Index) {
                        if (Footnotes && Footnotes->IndexOfFootnote(Note) >= 0) return;
                        if (auto* ref = dynamic_cast<TRVFootnoteDrawItem*>(Draw)) ref->FootnoteRVData = F;
                        F->RefData = D;
                        F->RefDrawItemNo = Index;
                        if (CountFootnotes) Height -= F->DocumentHeight;
                        if (!Footnotes) {
                            Footnotes = new TRVFootnoteRefList;
                            if (CountFootnotes) Height -= D->GetNoteSeparatorHeight();
                        }
                        Footnotes->Add(F);
                    },
                    [&](TRVMultiDrawItemInfo& Multi) {
                        Multi.CollectFootnotes(Footnotes, Height, CountFootnotes);
                    });
}

void TRVTablePrintInfo::RemoveCellFootnotes(TCustomMultiPagePtblRVData& D, int From,
                                            TRVFootnoteRefList*& Footnotes, int& Height,
                                            bool CountFootnotes) {
    EachFootnote(
        D, From, D.DrawItems.Count() - 1,
        [&](const TRVFootnoteItemInfo* Note, TRVFootnotePtblRVData* F, TRVDrawLineInfo*, int) {
            RemoveFromList(Footnotes, Note, Height, CountFootnotes, D.GetNoteSeparatorHeight(), F);
        },
        [&](TRVMultiDrawItemInfo& Multi) { Multi.ClearParts(Footnotes, Height, CountFootnotes); });
}

void TRVTablePrintInfo::CollectFootnotes(TRVFootnoteRefList*& Footnotes, int& Height, bool CountFootnotes) {
    CollectRowsFootnotes(0, Table.RowCount() - 1, Footnotes, Height, CountFootnotes);
}

void TRVTablePrintInfo::SubtractFootnotesHeight(int& Height, bool& ListExists) {
    TRVFootnoteRefList none;
    int h = RowsFootnotesHeight(0, Table.RowCount() - 1, ListExists ? &none : nullptr);
    if (h > 0) ListExists = true;
    Height -= h;
}

void TRVTablePrintInfo::RemoveFootnotes(TRVFootnoteRefList*& Footnotes, int&, bool) {
    // No height is given back: the caller recounts its page.
    int ignored = 0;
    for (auto& D : Cells)
        if (D) RemoveCellFootnotes(*D, 0, Footnotes, ignored, false);
}

// ---------------------------------------------------------------- drawing

void TRVTablePrintInfo::Paint(TCanvas& Canvas, int X, int Y, int PartIndex, TRVColorMode ColorMode,
                              bool Preview) {
    const TRVTableItemFormattingInfo& L = PrintLayout;
    TRVTableItemInfo& T = Table;
    if (T.Rows.IsEmpty() || L.RowTopList.size() != std::size_t(T.RowCount()) ||
        L.ColLeftList.size() != std::size_t(T.ColCount()))
        return;
    const TRVScreenDeviceResolution* saved = T.DeviceScale;
    T.DeviceScale = &Resolution;
    TScopeGuard restore([&] { T.DeviceScale = saved; });
    TRVTablePrintPart* part = PartIndex >= 0 && PartIndex < PartsList.Count() ? Part(PartIndex) : nullptr;
    int height = part ? part->Height : L.TotalHeight;
    TRect table{X, Y, X + L.TotalWidth, Y + height};
    TRect clip{table.Left - 1, table.Top - 1, table.Right + 1, table.Bottom + 1};

    if (T.Color != clNone) {
        Canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        Canvas.Brush()->SetColor(
            (T.PrintOptions & rvtoWhiteBackground) ? clWhite : ApplyColorModeToBackColor(T.Color, ColorMode));
        Canvas.FillRect(table);
    }
    Canvas.Pen()->SetWidth(1);
    Canvas.Pen()->SetStyle(TPenStyle::psSolid);
    TColor hostColor = T.Rows.HostData ? T.Rows.HostData->GetColor() : clNone;
    T.DrawBorder(Canvas, table.Left, table.Top, table.Right, table.Bottom, T.BorderWidth, T.BorderColor,
                 T.BorderLightColor, hostColor, T.BorderStyle, -1, -1, T.VisibleBorders, clip, ColorMode,
                 true, false, false);

    int sv = ScaleYToDevice(T.CellVSpacing, Resolution), bw = ScaleYToDevice(T.CellBorderWidth, Resolution);
    // The rows at their places in the layout: all of them, or the heading rows.
    int placed = part ? HeadingRows : T.RowCount();
    for (int r = 0; r < placed; ++r)
        for (int c = 0; c < T.ColCount(); ++c)
            if (TRVTableCellData* cell = T.GetCell(r, c))
                PaintCell(Canvas, r, c, X, Y + L.RowTopList[std::size_t(r)],
                          Y + Edge(std::min(r + cell->RowSpan, T.RowCount())) - sv - bw, 1, clip, ColorMode,
                          Preview);
    if (!part || part->RowNumbers.size() < 2) return;
    int first = part->FirstRow(), last = part->LastRow();
    auto rowY = [&](int Row) { return part->RowYs[std::size_t(Row - first)]; };
    for (int b = first; b <= last; ++b)
        for (int c = 0; c < T.ColCount(); ++c) {
            int mr = b, mc = c;
            TRVTableCellData* cell = b == first ? T.Rows.GetMainCell(b, c, mr, mc) : T.GetCell(b, c);
            if (!cell || mc != c) continue;
            int end = std::min(mr + cell->RowSpan - 1, last);
            int page =
                b == first && !part->ContinuedPages.empty() ? part->ContinuedPages[std::size_t(mc)] : 1;
            PaintCell(Canvas, mr, mc, X, Y + rowY(b) + bw, Y + rowY(end + 1) - sv - bw, page, clip, ColorMode,
                      Preview);
        }
}

void TRVTablePrintInfo::PaintCell(TCanvas& Canvas, int Row, int Col, int X, int Top, int Bottom, int Page,
                                  const TRect& Clip, TRVColorMode ColorMode, bool Preview) {
    TRVTableItemInfo& T = Table;
    TRVTableCellData& cell = *T.GetCell(Row, Col);
    TCellPtblRVData* D = CellData(Row, Col);
    int padX = ScaleXToDevice(T.CellHPadding, Resolution), padY = ScaleYToDevice(T.CellVPadding, Resolution);
    int left = X + PrintLayout.ColLeftList[std::size_t(Col)];
    int width = D ? D->Width + 2 * padX : PrintLayout.ColWidthList[std::size_t(Col)] + 2 * padX;
    TRect box{left, Top, left + width, std::max(Bottom, Top)};
    if (cell.Color != clNone) {
        TRect back = box;
        if (T.Options & rvtoCellBelowBorders) {
            int bx = ScaleXToDevice(T.CellBorderWidth, Resolution),
                by = ScaleYToDevice(T.CellBorderWidth, Resolution);
            back = TRect{back.Left - bx, back.Top - by, back.Right + bx, back.Bottom + by};
        }
        Canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        Canvas.Brush()->SetColor((T.PrintOptions & rvtoWhiteBackground)
                                     ? clWhite
                                     : ApplyColorModeToBackColor(cell.Color, ColorMode));
        Canvas.FillRect(back);
    }
    if (D && Page >= 1 && D->HasPage(Page)) {
        Canvas.SaveState();
        TScopeGuard back([&] { Canvas.RestoreState(); });
        Canvas.IntersectClipRect(box);
        D->DX = X;
        D->DY = Top + padY - D->Top;
        D->DrawPage(Page, Canvas, Preview, D->RV->PreviewCorrection);
    }
    int b = ScaleYToDevice(T.CellBorderWidth, Resolution);
    T.DrawBorder(Canvas, box.Left - b, box.Top - b, box.Right + b, box.Bottom + b, T.CellBorderWidth,
                 cell.BorderColor != clNone ? cell.BorderColor : T.CellBorderColor,
                 cell.BorderLightColor != clNone ? cell.BorderLightColor : T.CellBorderLightColor, T.Color,
                 T.CellBorderStyle, Row, Col, cell.VisibleBorders, Clip, ColorMode, true, false, false);
}
