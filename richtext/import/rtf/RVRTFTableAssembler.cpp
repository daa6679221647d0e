// Merging the rows of an RTF table into one grid: boundaries shared
// within a twip, columns split or added so that earlier rows keep their
// look, cells spanning columns and merged with their neighbours, and the
// table's look worked out from what the rows gave.
#include "richtext/import/rtf/RVRTFTableAssembler.h"

#include <algorithm>
#include <cmath>

namespace {

// A width for cells that have content but no boundary of their own.
constexpr int DefaultCellWidth = 1440;

} // namespace

TRVRTFTableAssembler::TRVRTFTableAssembler(TCustomRVData* AHost, double ATwipsToPixels,
                                           std::function<void(TRVRTFCellData& Cell)> AFillEmptyCell)
    : FHost(AHost), FTwipsToPixels(ATwipsToPixels), FFillEmptyCell(std::move(AFillEmptyCell)),
      FGrid(std::make_unique<TRVRTFTableGrid>(AHost)) {
    FCollector.push_back(std::make_unique<TRVRTFCellData>(FHost));
}

int TRVRTFTableAssembler::ToPixels(double Twips) const {
    return int(std::lround(Twips * FTwipsToPixels));
}

void TRVRTFTableAssembler::NextCell() {
    if (int(FCollector.size()) < RVRTFMaxCellsPerRow) {
        FCollector.push_back(std::make_unique<TRVRTFCellData>(FHost));
        return;
    }
    // Beyond the limit the content of the last cell goes on in it, as one
    // more paragraph.
}

std::vector<std::unique_ptr<TRVRTFCellData>> TRVRTFTableAssembler::TakeCollectedRow() {
    std::vector<std::unique_ptr<TRVRTFCellData>> cells = std::move(FCollector);
    FCollector.clear();
    FCollector.push_back(std::make_unique<TRVRTFCellData>(FHost));
    return cells;
}

void TRVRTFTableAssembler::TakeOverRow(std::vector<std::unique_ptr<TRVRTFCellData>> Cells) {
    if (!Cells.empty()) FCollector = std::move(Cells);
}

int TRVRTFTableAssembler::BoundaryIndex(int X) const {
    auto it = std::lower_bound(FBounds.begin(), FBounds.end(), X - 1);
    return it != FBounds.end() && *it <= X + 1 ? int(it - FBounds.begin()) : -1;
}

void TRVRTFTableAssembler::ResetCell(int Row, int Col) {
    TRVRTFGridCell* cell = FGrid->Cell(Row, Col);
    if (!cell) return;
    cell->VisibleBorders = {false, false, false, false};
    cell->Data->Clear();
    cell->Filler = true;
}

int TRVRTFTableAssembler::EnsureBoundary(int X) {
    if (int index = BoundaryIndex(X); index >= 0) return index;
    int k = int(std::lower_bound(FBounds.begin(), FBounds.end(), X) - FBounds.begin());
    int rows = FGrid->RowCount();
    bool outside = k == 0 || k == int(FBounds.size());
    FBounds.insert(FBounds.begin() + k, X);
    if (FBounds.size() < 2) return k;
    if (!outside) {
        // A boundary inside column k-1 splits it; earlier rows look as before.
        FGrid->SplitColumn(k - 1);
        return k;
    }
    // A column at the left or right edge: earlier rows get one empty cell there.
    int col = k == 0 ? 0 : FGrid->ColCount();
    FGrid->InsertCols(col, 1);
    if (rows > 0) {
        FGrid->MergeCells(0, col, 1, rows);
        ResetCell(0, col);
    }
    return k;
}

void TRVRTFTableAssembler::ApplyCellProperties(TRVRTFGridCell& Cell, const TRVRTFCellProperties& Props, int A,
                                               int B, int RowHeight) {
    ++FCellCount;
    Cell.Color = Props.Color;
    if (FEngineUnits)
        Cell.BestHeight = Props.Height;
    else if (RowHeight > 0)
        Cell.BestHeight = ToPixels(RowHeight);
    const TRVRTFParaBorder& border = Props.Border;
    for (int side = 0; side < 4; ++side) {
        bool present = border.Present(side);
        if (present) {
            FCellBorderWidthSum += border.Sides[std::size_t(side)].Width;
            ++FCellBorderCount;
        }
        Cell.VisibleBorders[std::size_t(side)] = present;
    }
    auto colorOf = [&](int First, int Second) {
        if (border.Present(First)) return border.Sides[std::size_t(First)].Color;
        if (border.Present(Second)) return border.Sides[std::size_t(Second)].Color;
        return clNone;
    };
    Cell.BorderColor = colorOf(rtf_side_Left, rtf_side_Top);
    Cell.BorderLightColor = colorOf(rtf_side_Right, rtf_side_Bottom);
    if (Cell.BorderColor != clNone && Cell.BorderLightColor != clNone &&
        Cell.BorderColor != Cell.BorderLightColor)
        FCellBorderColorsUniform = false;
    if (FEngineUnits) {
        Cell.BestWidth = Props.BestWidth;
    } else {
        if (Props.BestWidth != 0) FSomeCellHasWidth = true;
        if (FSomeCellHasWidth)
            Cell.BestWidth = Props.BestWidth > 0 ? ToPixels(Props.BestWidth) : Props.BestWidth / 50;
        else
            Cell.BestWidth = ToPixels(FBounds[std::size_t(B)] - FBounds[std::size_t(A)]);
    }
    Cell.VAlign = Props.VAlign == 1 ? rtf_cva_Bottom : Props.VAlign == 2 ? rtf_cva_Middle : rtf_cva_Top;
}

void TRVRTFTableAssembler::AddRowProperties(const TRVRTFRowProperties& Row, int R) {
    TRVRTFTableProperties& props = FGrid->Props;
    auto spacingInTwips = [&](int Side) {
        return Row.SpacingInTwips[std::size_t(Side)] && Row.Spacing[std::size_t(Side)] >= 0;
    };
    auto spacing = [&](int Side) { return Row.Spacing[std::size_t(Side)]; };
    if (spacingInTwips(rtf_side_Top)) {
        if (R > 0)
            FVSpacingSum += spacing(rtf_side_Top);
        else
            FFirstTopSpacing = spacing(rtf_side_Top);
    }
    if (R == 0)
        for (int side : {rtf_side_Left, rtf_side_Top, rtf_side_Right})
            props.VisibleBorders[std::size_t(side)] = Row.Border.Present(side);
    props.VisibleBorders[rtf_side_Bottom] = Row.Border.Present(rtf_side_Bottom);
    FVSpacingSum += FPrevBottomSpacing;
    for (int side : {rtf_side_Left, rtf_side_Right})
        if (spacingInTwips(side) && spacing(side) > 0) FHasHSpacing = true;
    for (int side : {rtf_side_Top, rtf_side_Bottom})
        if (spacingInTwips(side) && spacing(side) > 0) FHasVSpacing = true;
    FPrevBottomSpacing = 0;
    if (spacingInTwips(rtf_side_Bottom)) FLastBottomSpacing = FPrevBottomSpacing = spacing(rtf_side_Bottom);
    for (int side : {rtf_side_Left, rtf_side_Right}) {
        if (spacingInTwips(side))
            FHSpacingSum += spacing(side);
        else
            FHSpacingSum +=
                Row.Gap - (Row.PaddingInTwips[std::size_t(side)] ? Row.Padding[std::size_t(side)] : 0);
    }
    for (int side = 0; side < 4; ++side) {
        if (Row.Border.Present(side)) {
            FRowBorderWidthSum += Row.Border.Sides[std::size_t(side)].Width;
            ++FRowBorderCount;
        }
        bool horizontal = side == rtf_side_Left || side == rtf_side_Right;
        int padding = Row.PaddingInTwips[std::size_t(side)] ? Row.Padding[std::size_t(side)] : 0;
        (horizontal ? FLRPaddingSum : FTBPaddingSum) += padding;
        ++(horizontal ? FLRPaddingCount : FTBPaddingCount);
    }
    if (Row.EngineUnits) {
        FTableWidth = Row.BestWidth;
        FEngineUnits = true;
    } else if ((FTableWidth >= 0 && Row.BestWidth > FTableWidth) ||
               (FTableWidth <= 0 && Row.BestWidth < FTableWidth)) {
        FTableWidth = Row.BestWidth;
    }
    auto colorOf = [&](int First, int Second) {
        if (Row.Border.Present(First)) return Row.Border.Sides[std::size_t(First)].Color;
        if (Row.Border.Present(Second)) return Row.Border.Sides[std::size_t(Second)].Color;
        return clNone;
    };
    if (TColor c = colorOf(rtf_side_Left, rtf_side_Top); c != clNone) props.BorderLightColor = c;
    if (TColor c = colorOf(rtf_side_Right, rtf_side_Bottom); c != clNone) props.BorderColor = c;
}

void TRVRTFTableAssembler::AddRow(const TRVRTFRowProperties& Row, bool Heading) {
    // The cells to place: those the row describes, and those that got
    // content without a boundary of their own.
    int defined = int(Row.Cells.size());
    int collected = int(FCollector.size()) - 1;
    if (FCollector.back()->HasContent()) ++collected;
    int count = std::max(defined, collected);
    if (count == 0) {
        FCollector.clear();
        FCollector.push_back(std::make_unique<TRVRTFCellData>(FHost));
        return;
    }
    // Edges left to right, each at least two twips right of the one before,
    // so that every cell keeps a column of its own.
    std::vector<int> edges;
    int left = Row.Left;
    int prev = FBounds[std::size_t(EnsureBoundary(left))];
    int lastWidth = DefaultCellWidth;
    for (int i = 0; i < count; ++i) {
        int e = i < defined ? Row.Cells[std::size_t(i)].RightBoundary : prev + lastWidth;
        e = std::max(e, prev + 2);
        lastWidth = e - prev;
        prev = FBounds[std::size_t(EnsureBoundary(e))];
        edges.push_back(prev);
    }

    const int R = FGrid->RowCount();
    FGrid->InsertRows(R, 1);
    ++FRowsAdded;
    AddRowProperties(Row, R);
    if (Heading) FGrid->Props.HeadingRowCount = FGrid->RowCount();

    int c0 = BoundaryIndex(left);
    if (c0 > 0) {
        FGrid->MergeCells(R, 0, c0, 1);
        ResetCell(R, 0);
    }
    static const TRVRTFCellProperties noProps;
    for (int i = 0; i < count; ++i) {
        const TRVRTFCellProperties& props = i < defined ? Row.Cells[std::size_t(i)] : noProps;
        TRVRTFCellData* content = i < int(FCollector.size()) ? FCollector[std::size_t(i)].get() : nullptr;
        int c1 = BoundaryIndex(edges[std::size_t(i)]);
        if (c1 - c0 > 1) FGrid->MergeCells(R, c0, c1 - c0, 1);
        if (props.HMerge == 2 && i > 0 && c0 > 0) {
            int mr, mc;
            FGrid->GetMainCell(R, c0 - 1, mr, mc);
            FGrid->MergeCells(mr, mc, c1 - mc, R - mr + 1);
        } else if (props.VMerge == 2 && R > 0) {
            int mr, mc;
            FGrid->GetMainCell(R - 1, c0, mr, mc);
            int span = FGrid->Cell(mr, mc)->ColSpan;
            FGrid->MergeCells(mr, mc, std::max(span, c1 - mc), R - mr + 1);
        }
        if (TRVRTFGridCell* cell = FGrid->Cell(R, c0)) {
            ApplyCellProperties(*cell, props, c0, c1, Row.Height);
            cell->Data->Clear();
            if (content) cell->Data->MoveItemsFrom(content);
        } else if (content) {
            // Merged into a neighbour: the content goes with it.
            MoveCellContent(*content, *FGrid->MainCell(R, c0).Data);
        }
        c0 = c1;
    }
    for (int c = c0; c < FGrid->ColCount(); ++c)
        ResetCell(R, c);
    FCollector.clear();
    FCollector.push_back(std::make_unique<TRVRTFCellData>(FHost));
}

std::unique_ptr<TRVRTFTableGrid> TRVRTFTableAssembler::Finish(bool UseSingleCellPadding,
                                                              bool AutoHideGridLines) {
    TRVRTFTableProperties& props = FGrid->Props;
    const double f = FTwipsToPixels;
    auto average = [&](int Sum, int Count) { return Count > 0 ? int(std::lround(f * Sum / Count)) : 0; };
    if (FCellBorderColorsUniform) props.CellBorderStyle = rtf_tbs_Color;
    if (props.BorderColor == props.BorderLightColor) props.BorderStyle = rtf_tbs_Color;
    if (UseSingleCellPadding) {
        props.SinglePadding = true;
        props.CellHPadding = props.CellVPadding =
            average(FLRPaddingSum + FTBPaddingSum, FLRPaddingCount + FTBPaddingCount);
    } else {
        props.CellHPadding = average(FLRPaddingSum, FLRPaddingCount);
        props.CellVPadding = average(FTBPaddingSum, FTBPaddingCount);
    }
    for (int r = 0; r < FGrid->RowCount(); ++r)
        for (int c = 0; c < FGrid->ColCount(); ++c) {
            TRVRTFGridCell* cell = FGrid->Cell(r, c);
            if (!cell) continue;
            if (!FEngineUnits && 2 * props.CellHPadding < cell->BestWidth)
                cell->BestWidth -= 2 * props.CellHPadding;
            if (cell->Data->ItemCount() == 0 && FFillEmptyCell) FFillEmptyCell(*cell->Data);
        }
    int rows = FRowsAdded;
    if (FHasVSpacing) {
        if (rows > 1) props.CellVSpacing = average(FVSpacingSum, rows - 1);
        props.BorderVSpacing = int(std::lround(f * (FFirstTopSpacing + FLastBottomSpacing)));
    } else {
        props.CellVSpacing = props.BorderVSpacing = -1;
    }
    props.CellHSpacing = FHasHSpacing ? average(FHSpacingSum, rows) : -1;
    props.BorderHSpacing = props.CellHSpacing;
    if (FEngineUnits)
        props.BestWidth = FTableWidth;
    else if (FTableWidth > 0)
        props.BestWidth =
            FRowBorderCount > 0
                ? int(std::lround(f * (FTableWidth - double(FRowBorderWidthSum) / FRowBorderCount)))
                : int(std::lround(f * FTableWidth));
    else if (FTableWidth < 0)
        props.BestWidth = FTableWidth / 50;
    auto borderWidth = [&](int Sum, int Count, int& Width) {
        if (Count == 0) return;
        Width = average(Sum, Count);
        if (Width == 0 && std::lround(double(Sum) / Count) > 4) Width = 1;
    };
    borderWidth(FCellBorderWidthSum, FCellBorderCount, props.CellBorderWidth);
    borderWidth(FRowBorderWidthSum, FRowBorderCount, props.BorderWidth);
    if (!FHasHSpacing && !FHasVSpacing && props.BorderWidth == props.CellBorderWidth)
        props.BorderWidth = props.BorderHSpacing = props.BorderVSpacing = 0;
    if (AutoHideGridLines) props.HideGridLines = true;
    FGrid->DeleteEmptyRows();
    auto grid = std::move(FGrid);
    FGrid = std::make_unique<TRVRTFTableGrid>(FHost);
    return grid;
}
