// Line finishing: right and centre tabs, alignment and justification, line
// spacing, items aligned to the line box, the visual order of right-to-left
// lines, and a drawing item's width changed after formatting.
#include <algorithm>
#include <unicode/uchar.h>

#include "richtext/engine/items/RVMarker.h"
#include "richtext/engine/layout/CRVFData_p.h"

using namespace rvlayout;

void TCustomRVFormattedData::FinishPendingTab(TRVLineFormatState& State) {
    if (State.PendingTab < 0) return;
    int tabNo = State.PendingTab;
    State.PendingTab = -1;
    if (tabNo >= State.DrawItemIndex) return;
    int position = std::min(State.PendingTabPos, State.LineWidth + State.LineLeft);
    const TRVDrawLineInfo& last = *DrawItems[State.DrawItemIndex - 1];
    TRVDrawLineInfo& tab = *DrawItems[tabNo];
    int end = last.Left + last.Width;
    int shift =
        State.PendingTabAlign == 1 ? position - end : (2 * position - (tab.Left + tab.Width) - end) / 2;
    if (shift <= 0) return;
    tab.Width += shift;
    for (int i = tabNo + 1; i < State.DrawItemIndex; ++i)
        DrawItems[i]->Left += shift;
    State.X += shift;
}

int TCustomRVFormattedData::FinishLine(TRVLineFormatState& State, bool IsParaEnd, int Count) {
    if (State.IsFirstLine) {
        State.IsFirstLine = false;
        return 0;
    }
    int first = State.LineStart, last = Count - 1;
    if (last < first || last < 0) return 0;
    const TRVDrawLineInfo& lastItem = *DrawItems[last];
    if (LiveItem(lastItem.ItemNo).GetBoolValue(iqFullLine)) return 0;
    TRVStyle& style = *State.Style;
    int paraNo = GetItemPara(lastItem.ItemNo);
    const TParaInfo& para = *style.ParaStyles().GetItem(paraNo);
    TRVBiDiMode bidi = GetParaBiDiMode(paraNo);
    TRVAlignment align = para.Alignment;
    if (align == rvaJustify && bidi != rvbdUnspecified) align = rvaLeft;
    bool justified = align == rvaJustify && !IsParaEnd;
    int free = 0;
    if (align != rvaLeft && !(align == rvaJustify && IsParaEnd)) {
        free = SaturatedInt(int64_t(State.LineWidth) + State.LineLeft -
                            (int64_t(lastItem.Left) + lastItem.Width));
        if (align == rvaCenter) free = std::max(free / 2, 0);
    }
    if (State.HasLineAlignedItems) AlignLineItems(State, first, last);
    int64_t s = 0;
    if (para.LineSpacingType == rvlsSpaceBetween && para.LineSpacing >= 0) {
        s = ScaleY(para.LineSpacing, State.Resolution);
    } else if (para.LineSpacingType == rvlsPercent && para.LineSpacing != 100 && para.LineSpacing >= 50) {
        int top = INT32_MAX, bottom = INT32_MIN;
        for (int i = first; i <= last; ++i) {
            const TRVDrawLineInfo& d = *DrawItems[i];
            if (GetItemStyle(d.ItemNo) < 0) continue;
            top = std::min(top, d.Top);
            bottom = std::max(bottom, d.Top + d.Height);
        }
        if (top <= bottom) s = (int64_t(bottom) - top) * (int64_t(para.LineSpacing) - 100) / 100;
    }
    int spacing = StyleLength(s);
    if (spacing != 0)
        for (int i = first; i <= last; ++i)
            DrawItems[i]->ExtraSpaceBelow = spacing;
    if (!justified) {
        if (free != 0)
            for (int i = first; i <= last; ++i)
                DrawItems[i]->Left += free;
    } else if (last > first && free > 0) {
        // The gaps after the line's last tab (or after its first piece) grow.
        int start = first + 1;
        for (int i = last; i >= first; --i)
            if (GetItemStyle(DrawItems[i]->ItemNo) == rvsTab) {
                start = i + 1;
                break;
            }
        int k = 0;
        for (int i = start; i <= last; ++i) {
            const TRVDrawLineInfo& d = *DrawItems[i];
            if (d.Length > 0 && GetItemStyle(d.ItemNo) >= 0 && CharAt(d.ItemNo, d.Offs) == u' ') ++k;
        }
        for (int i = start; i <= last && k > 0; ++i) {
            TRVDrawLineInfo& d = *DrawItems[i];
            if (!(d.Length > 0 && GetItemStyle(d.ItemNo) >= 0 && CharAt(d.ItemNo, d.Offs) == u' ')) continue;
            int share = free / k;
            d.SpaceBefore += share;
            d.Width += share;
            free -= share;
            --k;
        }
        for (int i = first + 1; i <= last; ++i)
            DrawItems[i]->Left = DrawItems[i - 1]->Left + DrawItems[i - 1]->Width;
    }
    ReorderBiDiLine(State, first, last);
    // The next line begins right below the lowest piece of this one, its
    // spacing included: the spacing and what aligned items add, and never
    // a descent that no piece reaches. A partial re-format, which knows
    // only the pieces, starts from the same place.
    int64_t bottom = INT64_MIN;
    for (int i = first; i <= last; ++i) {
        const TRVDrawLineInfo& d = *DrawItems[i];
        bottom = std::max(bottom, int64_t(d.Top) + d.Height + d.ExtraSpaceBelow);
    }
    return SaturatedInt(bottom - (int64_t(State.BaselineY) + State.LineDescent));
}

int TCustomRVFormattedData::AlignLineItems(TRVLineFormatState& State, int First, int Last) {
    auto aligned = [&](int i) -> TRVVAlign {
        auto* rect = dynamic_cast<const TRVRectItemInfo*>(&LiveItem(DrawItems[i]->ItemNo));
        return rect && rect->VAlign >= vaAbsTop ? rect->VAlign : vaBaseline;
    };
    int boxTop = INT32_MAX, boxBottom = INT32_MIN;
    for (int i = First; i <= Last; ++i) {
        if (aligned(i) != vaBaseline) continue;
        boxTop = std::min(boxTop, DrawItems[i]->Top);
        boxBottom = std::max(boxBottom, DrawItems[i]->Top + DrawItems[i]->Height);
    }
    if (boxTop > boxBottom) {
        // Only aligned items: the box the line's baseline made.
        boxTop = State.BaselineY - State.LineAscent;
        boxBottom = State.BaselineY + State.LineDescent;
    }
    int overshoot = 0;
    for (int i = First; i <= Last; ++i) {
        TRVDrawLineInfo& d = *DrawItems[i];
        switch (aligned(i)) {
        case vaAbsTop:
            d.Top = boxTop;
            break;
        case vaAbsBottom:
            d.Top = boxBottom - d.Height;
            break;
        case vaAbsMiddle: {
            // Rounded down, so that a line moved by a partial re-format
            // keeps its items where a full format puts them.
            int sum = boxTop + boxBottom - d.Height;
            d.Top = sum >= 0 ? sum / 2 : -((1 - sum) / 2);
            break;
        }
        default:
            continue;
        }
        overshoot = std::max(overshoot, boxTop - d.Top);
    }
    int lowest = INT32_MIN;
    for (int i = First; i <= Last; ++i) {
        DrawItems[i]->Top += overshoot;
        lowest = std::max(lowest, DrawItems[i]->Top + DrawItems[i]->Height);
    }
    return std::max(lowest - boxBottom, 0);
}

namespace {

// The direction of a character: 1 left to right, 2 right to left, 0 neither.
int CharDirection(char16_t Ch) {
    switch (u_charDirection(Ch)) {
    case U_LEFT_TO_RIGHT:
        return 1;
    case U_RIGHT_TO_LEFT:
    case U_RIGHT_TO_LEFT_ARABIC:
        return 2;
    default:
        return 0;
    }
}

} // namespace

void TCustomRVFormattedData::ReorderBiDiLine(TRVLineFormatState& State, int First, int Last) {
    const TRVDrawLineInfo& firstItem = *DrawItems[First];
    int paraNo = GetItemPara(firstItem.ItemNo);
    TRVBiDiMode mode = GetParaBiDiMode(paraNo);
    if (mode == rvbdUnspecified) return;
    int paraDir = mode == rvbdRightToLeft ? 2 : 1;
    // The first line of a right-to-left paragraph keeps its first indent on
    // the right, or its marker's overhang.
    if (mode == rvbdRightToLeft && firstItem.Offs <= 1 &&
        !LiveItem(firstItem.ItemNo).GetContinuesParagraph()) {
        int shift = 0;
        if (auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(&LiveItem(firstItem.ItemNo)))
            shift = ScaleX(marker->GetLeftOverhang(State.Style), State.Resolution);
        else
            shift = -ScaleX(State.Style->ParaStyles().GetItem(paraNo)->FirstIndent, State.Resolution);
        if (shift != 0)
            for (int i = First; i <= Last; ++i)
                DrawItems[i]->Left += shift;
    }
    if (Last == First) return;
    std::vector<int> dirs;
    int prevLastDir = 0;
    for (int i = First; i <= Last; ++i) {
        const TRVDrawLineInfo& d = *DrawItems[i];
        int firstDir = paraDir, lastDir = paraDir;
        if (d.Length > 0 && GetItemStyle(d.ItemNo) >= 0) {
            int styleDir = State.Style->TextStyles().GetItem(GetItemStyle(d.ItemNo))->BiDiMode;
            auto dirOf = [&](int Offs) {
                int dir = CharDirection(CharAt(d.ItemNo, Offs));
                if (dir == 0)
                    dir = styleDir == rvbdRightToLeft ? 2 : styleDir == rvbdLeftToRight ? 1 : paraDir;
                return dir;
            };
            firstDir = dirOf(d.Offs);
            lastDir = dirOf(d.Offs + d.Length - 1);
        }
        int dir = i > First && firstDir == prevLastDir ? firstDir : paraDir;
        dirs.push_back(dir);
        prevLastDir = lastDir;
    }
    // The visual order: runs of the other direction are reversed in place.
    std::vector<int> order;
    int insertAt = 0;
    for (int i = First; i <= Last; ++i) {
        int dir = dirs[std::size_t(i - First)];
        if (paraDir == 1) {
            if (dir == 1) {
                order.push_back(i);
                insertAt = int(order.size());
            } else {
                order.insert(order.begin() + insertAt, i);
            }
        } else if (dir == 2) {
            order.insert(order.begin(), i);
            insertAt = 1;
        } else {
            order.insert(order.begin() + insertAt, i);
            ++insertAt;
        }
    }
    std::vector<int> gaps(std::size_t(Last - First + 1), 0);
    for (int i = First + 1; i <= Last; ++i)
        gaps[std::size_t(i - First)] =
            DrawItems[i]->Left - (DrawItems[i - 1]->Left + DrawItems[i - 1]->Width);
    int x = DrawItems[First]->Left;
    for (int i : order) {
        x += gaps[std::size_t(i - First)];
        DrawItems[i]->Left = x;
        x += DrawItems[i]->Width;
    }
}

void TCustomRVFormattedData::ChangeDrawItemWidth(int DrawItemNo, int NewWidth) {
    TRVDrawLineInfo& item = *DrawItems[DrawItemNo];
    int d = NewWidth - item.Width;
    if (d == 0) return;
    int first, last;
    GetLineDrawItemRange(DrawItemNo, first, last);
    TRVStyle* style = GetRVStyle();
    TRVAlignment align = style ? style->ParaStyles().GetItem(GetItemPara(item.ItemNo))->Alignment : rvaLeft;
    item.Width = NewWidth;
    if (align == rvaRight) {
        for (int i = first; i <= DrawItemNo; ++i)
            DrawItems[i]->Left -= d;
        return;
    }
    if (align == rvaJustify) {
        // The justification space of the line gives the width back first;
        // its pieces stand one after the other.
        int k = 0;
        for (int i = first; i <= last; ++i)
            if (DrawItems[i]->SpaceBefore > 0) ++k;
        int share = k > 0 && d > 0 ? d / k : 0;
        for (int i = first; i <= last; ++i) {
            TRVDrawLineInfo& p = *DrawItems[i];
            int give = std::min(p.SpaceBefore, share);
            if (give <= 0) continue;
            p.SpaceBefore -= give;
            p.Width -= give;
        }
        for (int i = first + 1; i <= last; ++i)
            DrawItems[i]->Left = DrawItems[i - 1]->Left + DrawItems[i - 1]->Width;
        return;
    }
    for (int i = DrawItemNo + 1; i <= last; ++i)
        DrawItems[i]->Left += d;
}
