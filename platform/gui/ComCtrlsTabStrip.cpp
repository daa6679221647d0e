// The tab strip's layout: rows stretched unless ragged, rows moving to the
// opposite side of the pages, and a single row that scrolls behind two
// buttons at its end when its tabs do not fit.
#include <algorithm>

#include "platform/gui/ComCtrls.h"
#include "platform/gui/ComCtrlsTabStrip_p.h"

using namespace TabStrip;

int TCustomTabControl::TabTextWidth(TCanvas* Canvas, int TabIndex) {
    return Canvas->TextWidth(StripHotkey(FTabs[std::size_t(TabIndex)].Text));
}

void TCustomTabControl::Layout() {
    bool vertical = FTabPosition == TTabPosition::tpLeft || FTabPosition == TTabPosition::tpRight;
    bool wraps = FMultiLine || vertical;
    TCanvas* canvas = Canvas();
    canvas->Font()->Assign(Font());
    int textHeight = canvas->TextHeight("Wg");
    // Images lie along the tab: for tabs at the sides their height counts.
    int imageAcross = FImages ? (vertical ? FImages->Width() : FImages->Height()) : 0;
    int imageAlong = FImages ? (vertical ? FImages->Height() : FImages->Width()) : 0;
    int across = FTabHeight > 0 ? FTabHeight : std::max(textHeight, imageAcross) + TextPadding;
    int room = (vertical ? Height() : Width()) - 2 * StripMargin;

    std::vector<int> lengths, offsets, rowOf;
    int row = 0, offset = 0;
    for (int i = 0; i < TabCount(); ++i) {
        int length = FTabWidth;
        if (length <= 0) {
            length = TabTextWidth(canvas, i) + 2 * TextPadding;
            if (FImages && GetImageIndex(i) >= 0) length += imageAlong + ImageGap;
        }
        if (wraps && offset > 0 && offset + length > room) {
            ++row;
            offset = 0;
        }
        lengths.push_back(length);
        offsets.push_back(offset);
        rowOf.push_back(row);
        offset += length;
    }
    int rows = TabCount() ? row + 1 : 0;

    FScrolling = false;
    if (wraps) {
        FFirstTab = 0;
        // Several rows are stretched to the full length, each tab taking its
        // share of what its row leaves.
        if (!FRaggedRight && rows > 1) {
            for (int first = 0; first < TabCount();) {
                int last = first;
                while (last + 1 < TabCount() && rowOf[std::size_t(last + 1)] == rowOf[std::size_t(first)])
                    ++last;
                int count = last - first + 1;
                int spare = room - (offsets[std::size_t(last)] + lengths[std::size_t(last)]);
                int shift = 0;
                for (int i = first; spare > 0 && i <= last; ++i) {
                    int grow = spare / count + (i - first < spare % count ? 1 : 0);
                    offsets[std::size_t(i)] += shift;
                    lengths[std::size_t(i)] += grow;
                    shift += grow;
                }
                first = last + 1;
            }
        }
    } else {
        PlaceScrolledRow(offsets, lengths, room);
    }

    int selectedRow = FTabIndex >= 0 && FTabIndex < TabCount() ? rowOf[std::size_t(FTabIndex)] : 0;
    std::vector<TRowSlot> slots = PlaceRows(rows, selectedRow);
    int opposite = 0;
    for (const TRowSlot& slot : slots)
        if (slot.Opposite) ++opposite;
    int own = rows - opposite;
    FStripExtent = StripMargin + own * across;
    FOppositeExtent = opposite ? StripMargin + opposite * across : 0;
    int scrolled = FScrolling ? offsets[std::size_t(FFirstTab)] : 0;
    for (int i = 0; i < TabCount(); ++i) {
        const TRowSlot& slot = slots[std::size_t(rowOf[std::size_t(i)])];
        int along = StripMargin + offsets[std::size_t(i)] - scrolled;
        int length = lengths[std::size_t(i)];
        // Across the strip: the outermost row of a side lies at the edge.
        int sideRows = slot.Opposite ? opposite : own;
        int fromEdge = StripMargin + (sideRows - 1 - slot.Distance) * across;
        bool nearEdge =
            (FTabPosition == TTabPosition::tpTop || FTabPosition == TTabPosition::tpLeft) != slot.Opposite;
        int extent = vertical ? Width() : Height();
        int at = nearEdge ? fromEdge : extent - fromEdge - across;
        FTabs[std::size_t(i)].Rect =
            vertical ? Bounds(at, along, across, length) : Bounds(along, at, length, across);
    }
    FButtons = {};
    if (FScrolling) {
        int y = FTabPosition == TTabPosition::tpTop ? StripMargin : Height() - FStripExtent;
        FButtons = {Width() - StripMargin - 2 * ScrollButtonWidth, y, Width() - StripMargin, y + across};
    }
}

void TCustomTabControl::PlaceScrolledRow(const std::vector<int>& Offsets, const std::vector<int>& Lengths,
                                         int Room) {
    int count = int(Lengths.size());
    int total = count ? Offsets.back() + Lengths.back() : 0;
    FScrolling = count > 1 && total > Room;
    if (!FScrolling) {
        FFirstTab = 0;
        FLastFirstTab = 0;
        return;
    }
    // The buttons take the end of the row; the last first tab is the one
    // from which the rest fits beside them.
    int shown = Room - 2 * ScrollButtonWidth;
    auto fits = [&](int From, int To) {
        return Offsets[std::size_t(To)] + Lengths[std::size_t(To)] - Offsets[std::size_t(From)] <= shown;
    };
    FLastFirstTab = count - 1;
    while (FLastFirstTab > 0 && fits(FLastFirstTab - 1, count - 1))
        --FLastFirstTab;
    if (FFollowSelection && FTabIndex >= 0 && FTabIndex < count) {
        if (FTabIndex < FFirstTab) FFirstTab = FTabIndex;
        while (FFirstTab < FTabIndex && !fits(FFirstTab, FTabIndex))
            ++FFirstTab;
    }
    FFirstTab = std::clamp(FFirstTab, 0, FLastFirstTab);
}

std::vector<TCustomTabControl::TRowSlot> TCustomTabControl::PlaceRows(int Rows, int SelectedRow) {
    std::vector<TRowSlot> slots(std::size_t(Rows), TRowSlot{false, 0});
    if (!(FScrollOpposite && Rows > 1)) {
        // The selected row comes next to the pages; the others turn round.
        for (int r = 0; r < Rows; ++r)
            slots[std::size_t(r)].Distance = (r - SelectedRow + Rows) % Rows;
        FRowsOnTabSide = Rows;
        return slots;
    }
    // The rows keep their order across the control: the selected row and
    // those beyond it lie on the tabs' own side, the selected one at the
    // pages; the rows between it and the pages go to the other side, and
    // come back when one of them is chosen.
    int own = FRowsOnTabSide <= 0 ? Rows : std::clamp(FRowsOnTabSide, 1, Rows);
    if (FTabIndex >= 0) own = Rows - SelectedRow;
    FRowsOnTabSide = own;
    for (int r = 0; r < Rows; ++r) {
        int seq = Rows - 1 - r;
        slots[std::size_t(r)] = seq < own ? TRowSlot{false, own - 1 - seq} : TRowSlot{true, seq - own};
    }
    return slots;
}

int TCustomTabControl::FirstVisibleTab() {
    Layout();
    return FFirstTab;
}

TRect TCustomTabControl::ScrollButtonsRect() {
    Layout();
    return FButtons;
}

bool TCustomTabControl::CanScrollTabs(int Delta) {
    Layout();
    if (!FScrolling || Delta == 0) return false;
    return Delta < 0 ? FFirstTab > 0 : FFirstTab < FLastFirstTab;
}

void TCustomTabControl::ScrollTabs(int Delta) {
    if (!CanScrollTabs(Delta)) return;
    FFollowSelection = false;
    FFirstTab = std::clamp(FFirstTab + Delta, 0, FLastFirstTab);
    LayoutChanged();
}

void TCustomTabControl::PaintScrollButtons(TCanvas* Canvas) {
    if (ScrollButtonsRect().IsEmpty()) return;
    for (int step : {-1, 1}) {
        TRect r = FButtons;
        if (step < 0)
            r.Right = r.Left + ScrollButtonWidth;
        else
            r.Left = r.Right - ScrollButtonWidth;
        Canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
        Canvas->Brush()->SetColor(clBtnFace);
        Canvas->FillRect(r);
        TRect edge = r;
        Canvas->DrawEdge(edge, FPressedButton == step ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        // An arrow of short upright lines, pointing the way the row goes.
        Canvas->Pen()->SetColor(CanScrollTabs(step) ? clBtnText : clGrayText);
        int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
        for (int i = 0; i < ArrowSize; ++i) {
            int x = step < 0 ? cx - ArrowSize / 2 + i : cx + ArrowSize / 2 - i;
            Canvas->MoveTo(x, cy - i);
            Canvas->LineTo(x, cy + i + 1);
        }
    }
}
