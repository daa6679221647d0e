// The display text of drawing items and the drawing of a piece of text in
// its state: selected, hovered, at the start or end of its item.
#include <algorithm>

#include "richtext/engine/paint/RVPaintText_p.h"
#include "richtext/engine/style/RVStyle.h"

const WideString& TRVDisplayTextCache::Get(const TCustomRVFormattedData& Data, int DrawItemNo,
                                           bool ShowSpecial) {
    const TRVDrawLineInfo& d = *Data.DrawItems[DrawItemNo];
    TRVStyle& style = *Data.GetRVStyle();
    int styleNo = Data.GetItemStyle(d.ItemNo);
    if (FItemNo != d.ItemNo) {
        FItemNo = d.ItemNo;
        FRaw.clear();
        RVItemTextToWide(Data.GetItemText(d.ItemNo), Data.GetItemOptions(d.ItemNo),
                         style.GetStyleCodePage(styleNo), FRaw);
    }
    std::size_t from = std::min(std::size_t(std::max(d.Offs - 1, 0)), FRaw.size());
    std::size_t n = std::min(std::size_t(std::max(d.Length, 0)), FRaw.size() - from);
    bool allCaps = style.TextStyles().GetItem(styleNo)->StyleEx & rvfsAllCaps;
    FPiece = AdjustTextForDisplay(std::u16string_view(FRaw).substr(from, n), allCaps,
                                  Data.IsDrawItemWrapEnd(DrawItemNo), ShowSpecial, false);
    return FPiece;
}

void TRVTextPiece::Draw(const WideString& Text, int From, int To, bool Selected, bool Hover) {
    const TRVDrawLineInfo& d = *Data.DrawItems[DrawItemNo];
    int n = int(Text.size());
    From = std::clamp(From, 1, n + 1);
    To = std::clamp(To, From, n + 1);
    TRVTextDrawStates state =
        (Focused ? rvtsControlFocused : 0) | (Selected ? rvtsSelected : 0) | (Hover ? rvtsHover : 0);
    bool atStart = From == 1, atEnd = To == n + 1;
    if (Style.OnDrawStyleText) {
        if (atStart) state |= rvtsDrawItemStart | (d.Offs <= 1 ? rvtsItemStart : 0);
        if (atEnd) state |= rvtsDrawItemEnd | (Data.IsDrawItemLastOfItem(DrawItemNo) ? rvtsItemEnd : 0);
    }
    Style.ApplyStyleColor(Canvas, StyleNo, state, false, rvcmColor);
    std::u16string_view all(Text);
    std::u16string_view part = all.substr(std::size_t(From - 1), std::size_t(To - From));
    int left = d.Left + DX, width, spaceBefore = 0;
    if (atStart) {
        spaceBefore = d.SpaceBefore;
        width = atEnd ? d.Width : Canvas.TextWidth(WideString(part)) + d.SpaceBefore;
    } else {
        left += d.SpaceBefore + Canvas.TextWidth(WideString(all.substr(0, std::size_t(From - 1))));
        width = Canvas.TextWidth(WideString(part));
    }
    if (Special) state |= rvtsSpecialCharacters;
    if (Selected && Lines) Canvas.FillRect(Rect(left - 1, BandTop, left + width + 1, BandBottom));
    Style.DrawStyleText(WideToRawUnicode(part), ioUnicodeText, Canvas, d.ItemNo, d.Offs + From - 1, StyleNo,
                        const_cast<TCustomRVFormattedData*>(&Data), spaceBefore, left, d.Top + DY, width,
                        d.Height, state, false, false, rvcmColor, BiDiMode);
}
