// Selection and hit testing: the position under a point, the small tests
// on drawing items, the stored selection and its expansion by words, lines
// and paragraphs, and the selected text and picture.
#include <algorithm>
#include <cstdlib>

#include "platform/rtl/ScopeGuard.h"
#include "richtext/engine/items/RVItem.h"
#include "richtext/engine/items/RVPictures.h"
#include "richtext/engine/layout/CRVFData.h"
#include "richtext/engine/paint/RVPaintText_p.h"
#include "richtext/engine/style/RVStyle.h"

// ---------------------------------------------------------------- TRVSelectingInfo

void TRVSelectingInfo::InitState(uint8_t State) {
    EndDrawItem = StartDrawItem;
    EndOffs = StartOffs;
    EndWordFrom = StartWordFrom;
    EndWordTo = StartWordTo;
    if (State == 3) {
        StartWordState = EndWordState = 3;
    } else {
        StartWordState = State;
        EndWordState = 0;
    }
}

bool TRVSelectingInfo::InStartWord(int DrawItem, int Offs) const {
    return DrawItem == StartDrawItem && Offs >= StartWordFrom && Offs <= StartWordTo;
}

bool TRVSelectingInfo::BeforeStartWord(int DrawItem, int Offs) const {
    return DrawItem < StartDrawItem || (DrawItem == StartDrawItem && Offs < StartWordFrom);
}

bool TRVSelectingInfo::AfterStartWord(int DrawItem, int Offs) const {
    return DrawItem > StartDrawItem || (DrawItem == StartDrawItem && Offs > StartWordTo);
}

bool TRVSelectingInfo::SameEndWord(int DrawItem, int From, int To) const {
    return DrawItem == EndDrawItem && From == EndWordFrom && To == EndWordTo;
}

bool TRVSelectingInfo::MovedBack(int DrawItem, int Offs) const {
    return (BeforeStartWord(DrawItem, Offs) && Offs > EndOffs) ||
           (AfterStartWord(DrawItem, Offs) && Offs < EndOffs);
}

// ---------------------------------------------------------------- tests on drawing items

int TCustomRVFormattedData::GetItemLastDrawItem(int ItemNo) const {
    int d, o;
    ItemToDrawItem(ItemNo, ItemNo >= 0 ? ItemEndOffset(ItemNo) : 0, d, o);
    return d;
}

bool TCustomRVFormattedData::IsDrawItemItemStart(int DrawItemNo) const {
    return DrawItemNo == 0 || DrawItems[DrawItemNo - 1]->ItemNo != DrawItems[DrawItemNo]->ItemNo;
}

bool TCustomRVFormattedData::IsDrawItemFromNewLine(int DrawItemNo) const {
    return DrawItemNo == 0 ||
           (IsDrawItemItemStart(DrawItemNo) && IsFromNewLine(DrawItems[DrawItemNo]->ItemNo));
}

bool TCustomRVFormattedData::IsDrawItemParaEnd(int DrawItemNo) const {
    return DrawItemNo + 1 >= DrawItems.Count() || IsDrawItemParaStart(DrawItemNo + 1);
}

bool TCustomRVFormattedData::IsDrawItemLineStart(int DrawItemNo) const {
    if (DrawItems[DrawItemNo]->FromNewLine) return true;
    return DrawItemNo > 0 && IsDrawItemItemStart(DrawItemNo) &&
           GetItemStyle(DrawItems[DrawItemNo - 1]->ItemNo) == rvsListMarker;
}

bool TCustomRVFormattedData::IsDrawItemWrapEnd(int DrawItemNo) const {
    if (DrawItemNo + 1 >= DrawItems.Count()) return false;
    const TRVDrawLineInfo& next = *DrawItems[DrawItemNo + 1];
    if (!next.FromNewLine) return false;
    return !(IsDrawItemItemStart(DrawItemNo + 1) && IsFromNewLine(next.ItemNo));
}

bool TCustomRVFormattedData::IsSpaceSkippedAfter(int DrawItemNo) const {
    const TRVDrawLineInfo& d = *DrawItems[DrawItemNo];
    if (GetItemStyle(d.ItemNo) < 0 || d.Offs + d.Length - 1 >= ItemLength(d.ItemNo)) return false;
    if (DrawItemNo + 1 >= DrawItems.Count()) return true;
    const TRVDrawLineInfo& next = *DrawItems[DrawItemNo + 1];
    return next.ItemNo != d.ItemNo || next.Offs != d.Offs + d.Length;
}

// ---------------------------------------------------------------- hit testing

int TCustomRVFormattedData::GetDrawItemAtPoint(int X, int Y) const {
    int count = DrawItems.Count();
    if (count == 0) return -1;
    int lf, ll;
    GetLineDrawItemRange(FindDrawItemByY(Y), lf, ll);
    // A tall item of the line above may reach down here: look one line back.
    if (lf > 0) {
        int pf, pl;
        GetLineDrawItemRange(lf - 1, pf, pl);
        lf = pf;
    }
    for (int i = lf; i < count && (i <= ll || !DrawItems[i]->FromNewLine); ++i) {
        const TRVDrawLineInfo& d = *DrawItems[i];
        if (X >= d.Left && X < d.Left + d.Width && Y >= d.Top && Y < d.Top + d.Height) return i;
    }
    return -1;
}

void TCustomRVFormattedData::FindDrawItemAtPos(int X, int Y, bool Strict, int& Offs, int& DrawItemNo) {
    Offs = 0;
    DrawItemNo = -1;
    int count = DrawItems.Count();
    if (count == 0) return;
    // The line: the last drawing item whose top is not below Y.
    int found = 0;
    if (Y >= DrawItems[0]->Top + DrawItems[0]->Height) {
        int lo = 0, hi = count;
        while (lo < hi) {
            int mid = (lo + hi) / 2;
            if (DrawItems[mid]->Top <= Y)
                lo = mid + 1;
            else
                hi = mid;
        }
        found = std::max(lo - 1, 0);
    }
    int lf, ll;
    GetLineDrawItemRange(found, lf, ll);
    for (;;) {
        int nf = ll + 1;
        if (nf >= count) break;
        int nl = nf;
        bool reaches = false;
        for (; nl < count && (nl == nf || !DrawItems[nl]->FromNewLine); ++nl)
            reaches = reaches || DrawItems[nl]->Top <= Y;
        if (!reaches) break;
        lf = nf;
        ll = nl - 1;
    }
    // Visual order: by Left in a paragraph with a direction.
    std::vector<int> order;
    for (int i = lf; i <= ll; ++i)
        order.push_back(i);
    TRVBiDiMode bidi = GetParaBiDiMode(GetItemPara(DrawItems[lf]->ItemNo));
    if (bidi != rvbdUnspecified)
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return DrawItems[a]->Left < DrawItems[b]->Left; });
    bool rtl = bidi == rvbdRightToLeft;
    int chosen = -1;
    if (Strict) {
        for (int i : order) {
            const TRVDrawLineInfo& d = *DrawItems[i];
            if (X >= d.Left && X < d.Left + d.Width && Y >= d.Top && Y <= d.Top + d.Height) chosen = i;
        }
        if (chosen < 0) return;
    } else {
        chosen = order.front();
        for (std::size_t k = 0; k < order.size(); ++k)
            if (X >= DrawItems[order[k]]->Left) chosen = order[k];
    }
    const TRVDrawLineInfo& d = *DrawItems[chosen];
    int styleNo = GetItemStyle(d.ItemNo);
    DrawItemNo = chosen;
    if (styleNo < 0) {
        bool after = X > d.Left + d.Width / 2;
        Offs = after != rtl ? 1 : 0;
        if (!Strict && styleNo == rvsListMarker && chosen + 1 < count) {
            DrawItemNo = chosen + 1;
            Offs = DrawItemStartOffset(DrawItemNo);
        }
        return;
    }
    TRVDisplayTextCache cache;
    const WideString& text = cache.Get(*this, chosen, GetOptions() & rvoShowSpecialCharacters);
    if (text.empty()) {
        Offs = 1;
        return;
    }
    std::vector<int> advances(text.size(), 0);
    if (TCanvas* canvas = GetCanvas()) {
        GetRVStyle()->ApplyStyle(*canvas, styleNo, GetParaBiDiMode(GetItemPara(d.ItemNo)),
                                 GetFlags() & rvflCanUseCustomPPI, nullptr, false);
        canvas->CharAdvances(text, advances.data());
    }
    int best = 0, bestDistance = std::abs(X - d.Left), x = d.Left + d.SpaceBefore;
    for (std::size_t i = 0; i < text.size(); ++i) {
        x += advances[i];
        int distance = std::abs(X - x);
        if (distance < bestDistance || (distance == bestDistance && (rtl ? X < x : X > x))) {
            best = int(i) + 1;
            bestDistance = distance;
        }
    }
    // Never between the halves of a surrogate pair.
    if (best > 0 && best < int(text.size()) && text[std::size_t(best)] >= 0xDC00 &&
        text[std::size_t(best)] <= 0xDFFF)
        ++best;
    Offs = std::clamp(best + 1, 1, d.Length + 1);
}

bool TCustomRVFormattedData::FindItemAtPos(int X, int Y, bool Strict, int& Offs, int& ItemNo) {
    int d, o;
    FindDrawItemAtPos(X, Y, Strict, o, d);
    if (d < 0) {
        ItemNo = -1;
        Offs = 0;
        return false;
    }
    DrawItemToItem(d, o, ItemNo, Offs);
    return true;
}

// ---------------------------------------------------------------- the selection

void TCustomRVFormattedData::GetSelectionDrawBounds(int& StartNo, int& EndNo, bool Normalize, int& EndOffs,
                                                    int& StartOffs) const {
    StartNo = SelStartDrawItem;
    StartOffs = SelStartDrawOffs;
    EndNo = SelEndDrawItem;
    EndOffs = SelEndDrawOffs;
    if (Normalize && (StartNo > EndNo || (StartNo == EndNo && StartOffs > EndOffs))) {
        std::swap(StartNo, EndNo);
        std::swap(StartOffs, EndOffs);
    }
}

void TCustomRVFormattedData::GetSelectionStartDrawItem(int& DrawItemNo, int& Offs) {
    SelectionExists(true, false);
    DrawItemNo = SelStartDrawItem;
    Offs = SelStartDrawOffs;
}

void TCustomRVFormattedData::SetSelectionBounds(int StartItem, int StartOffs, int EndItem, int EndOffs) {
    DeselectPartialItems(nullptr);
    // A position on a list marker starts at the item after it.
    auto offMarker = [&](int& Item, int& Offs) {
        if (Item >= 0 && Item + 1 < ItemCount() && GetItemStyle(Item) == rvsListMarker) {
            ++Item;
            Offs = ItemStartOffset(Item);
        }
    };
    offMarker(StartItem, StartOffs);
    offMarker(EndItem, EndOffs);
    StoreSelectionBounds(StartItem, StartOffs, EndItem, EndOffs);
    ClampSelectionOffsets();
    SelectionChanged(true);
    DoSelect();
}

void TCustomRVFormattedData::SelectAll() {
    int count = DrawItems.Count();
    if (count == 0) return;
    DeselectPartialItems(nullptr);
    SelStartDrawItem = 0;
    SelStartDrawOffs = DrawItemStartOffset(0);
    SelEndDrawItem = count - 1;
    SelEndDrawOffs = DrawItemEndOffset(count - 1);
    SelectionChanged(false);
    DoSelect();
}

void TCustomRVFormattedData::Deselect(TCustomRVItemInfo* Except, bool RaiseEvent) {
    if (StateBits & rvstDeselecting) return;
    StateBits |= rvstDeselecting;
    TScopeGuard restore([&] { StateBits &= ~TRVDataStates(rvstDeselecting); });
    StateBits &= ~TRVDataStates(rvstMouseSelecting | rvstLineSelection);
    SelStartDrawItem = SelEndDrawItem = -1;
    SelStartDrawOffs = SelEndDrawOffs = 0;
    FocusedItemNo = -1;
    DeselectPartialItems(Except);
    if (RaiseEvent) DoSelect();
}

bool TCustomRVFormattedData::SelectionExists(bool DropEmpty, bool) {
    if (SelStartDrawItem < 0 || SelEndDrawItem < 0) return false;
    if (SelStartDrawItem == SelEndDrawItem && SelStartDrawOffs == SelEndDrawOffs) {
        if (DropEmpty && !(StateBits & rvstMouseSelecting)) Deselect(PartialSelectedItem, true);
        return false;
    }
    return true;
}

bool TCustomRVFormattedData::IsDrawPositionSelected(int DrawItemNo, int Offs, bool Inclusive) const {
    int s, e, so, eo;
    GetSelectionDrawBounds(s, e, true, eo, so);
    if (s < 0 || e < 0 || (s == e && so == eo)) return false;
    auto before = [](int A, int AO, int B, int BO) { return A < B || (A == B && AO < BO); };
    if (Inclusive) return !before(DrawItemNo, Offs, s, so) && !before(e, eo, DrawItemNo, Offs);
    return before(s, so, DrawItemNo, Offs) && before(DrawItemNo, Offs, e, eo);
}

bool TCustomRVFormattedData::IsPositionSelected(int ItemNo, int Offs, bool Inclusive) const {
    int d, o;
    ItemToDrawItem(ItemNo, Offs, d, o);
    return d >= 0 && IsDrawPositionSelected(d, o, Inclusive);
}

bool TCustomRVFormattedData::IsSelectionForward() const {
    return SelStartDrawItem < SelEndDrawItem ||
           (SelStartDrawItem == SelEndDrawItem && SelStartDrawOffs <= SelEndDrawOffs);
}

bool TCustomRVFormattedData::SelectionHasParaBreak() const {
    int s, e, so, eo;
    GetSelectionDrawBounds(s, e, true, eo, so);
    if (s < 0 || e < 0) return false;
    for (int i = s + 1; i <= e; ++i)
        if (IsDrawItemParaStart(i)) return true;
    return false;
}

void TCustomRVFormattedData::ClampSelectionOffsets() {
    if (SelStartDrawItem < 0 || SelEndDrawItem < 0) return;
    SelStartDrawOffs = std::clamp(SelStartDrawOffs, DrawItemStartOffset(SelStartDrawItem),
                                  DrawItemEndOffset(SelStartDrawItem));
    SelEndDrawOffs =
        std::clamp(SelEndDrawOffs, DrawItemStartOffset(SelEndDrawItem), DrawItemEndOffset(SelEndDrawItem));
}

namespace {

// Stores the earlier and later bound back in the selection's direction.
void StoreOrdered(TCustomRVFormattedData& Data, bool Forward, int S, int SO, int E, int EO) {
    if (!Forward) {
        std::swap(S, E);
        std::swap(SO, EO);
    }
    Data.SelStartDrawItem = S;
    Data.SelStartDrawOffs = SO;
    Data.SelEndDrawItem = E;
    Data.SelEndDrawOffs = EO;
}

} // namespace

bool TCustomRVFormattedData::ExpandSelectionToParas(bool OnlyIfCrossing) {
    int s, e, so, eo;
    GetSelectionDrawBounds(s, e, true, eo, so);
    if (s < 0 || e < 0 || (s == e && so == eo)) return false;
    if (OnlyIfCrossing && !SelectionHasParaBreak()) return false;
    bool forward = IsSelectionForward();
    while (s > 0 && !IsDrawItemParaStart(s))
        --s;
    while (e + 1 < DrawItems.Count() && !IsDrawItemParaStart(e + 1))
        ++e;
    StoreOrdered(*this, forward, s, DrawItemStartOffset(s), e, DrawItemEndOffset(e));
    return true;
}

void TCustomRVFormattedData::ExpandSelectionToLines(bool FromAnchor) {
    if (SelStartDrawItem < 0 || SelEndDrawItem < 0) return;
    if (FromAnchor) {
        SelEndDrawItem = SelStartDrawItem;
        SelEndDrawOffs = SelStartDrawOffs;
    }
    bool forward = IsSelectionForward();
    int s, e, so, eo;
    GetSelectionDrawBounds(s, e, true, eo, so);
    int sf, sl, ef, el;
    GetLineDrawItemRange(s, sf, sl);
    GetLineDrawItemRange(e, ef, el);
    StoreOrdered(*this, forward, sf, DrawItemStartOffset(sf), el, DrawItemEndOffset(el));
}

// ---------------------------------------------------------------- words

namespace {

// The characters of a text drawing item as the item holds them.
WideString DrawItemRaw(const TCustomRVFormattedData& Data, int DrawItemNo) {
    const TRVDrawLineInfo& d = *Data.DrawItems[DrawItemNo];
    int styleNo = Data.GetItemStyle(d.ItemNo);
    WideString raw = RVItemTextToWide(Data.GetItemText(d.ItemNo), Data.GetItemOptions(d.ItemNo),
                                      Data.GetRVStyle()->GetStyleCodePage(styleNo));
    std::size_t from = std::min(std::size_t(std::max(d.Offs - 1, 0)), raw.size());
    return raw.substr(from, std::size_t(std::max(d.Length, 0)));
}

} // namespace

bool TCustomRVFormattedData::IsInsideWord(int DrawItemNo, int Offs) const {
    if (DrawItemNo < 0 || GetItemStyle(DrawItems[DrawItemNo]->ItemNo) < 0) return false;
    WideString raw = DrawItemRaw(*this, DrawItemNo);
    if (Offs < 2 || Offs > int(raw.size())) return false;
    return !IsDelimiterChar(raw[std::size_t(Offs - 2)]) && !IsDelimiterChar(raw[std::size_t(Offs - 1)]);
}

void TCustomRVFormattedData::GetWordBounds(int DrawItemNo, int Offs, int& From, int& To) const {
    WideString raw = DrawItemRaw(*this, DrawItemNo);
    int n = int(raw.size());
    From = To = std::clamp(Offs, 1, n + 1);
    while (From > 1 && !IsDelimiterChar(raw[std::size_t(From - 2)]))
        --From;
    while (To <= n && !IsDelimiterChar(raw[std::size_t(To - 1)]))
        ++To;
}

bool TCustomRVFormattedData::SelectToPoint(int X, int Y) {
    int di, offs;
    FindDrawItemAtPos(X + GetHOffs(), Y + GetVOffs(), false, offs, di);
    if (di < 0) return false;
    int old[4] = {SelStartDrawItem, SelStartDrawOffs, SelEndDrawItem, SelEndDrawOffs};
    TRVSelectingInfo* s = SelectingInfo.get();
    if (s && s->StartWordState == 3) {
        SelStartDrawItem = s->StartDrawItem;
        SelStartDrawOffs = s->StartOffs;
        SelEndDrawItem = di;
        SelEndDrawOffs = offs;
        ExpandSelectionToParas(true);
    } else if (s) {
        bool inStart = s->InStartWord(di, offs);
        if (inStart) {
            // Back in the anchor's word: the exact click position again.
            if (s->StartWordState == 1) {
                SelStartDrawItem = s->StartDrawItem;
                SelStartDrawOffs = s->StartOffs;
                s->StartWordState = 2;
            }
        } else {
            // Out of it: the anchor's word is selected whole.
            SelStartDrawItem = s->StartDrawItem;
            SelStartDrawOffs = s->BeforeStartWord(di, offs) ? s->StartWordTo : s->StartWordFrom;
            s->StartWordState = 1;
        }
        if (!inStart) {
            if (IsInsideWord(di, offs)) {
                int from, to;
                GetWordBounds(di, offs, from, to);
                if (s->SameEndWord(di, from, to)) {
                    if (s->MovedBack(di, offs))
                        s->EndWordState = 2;
                    else
                        s->EndOffs = offs;
                } else {
                    s->EndDrawItem = di;
                    s->EndWordFrom = from;
                    s->EndWordTo = to;
                    s->EndOffs = offs;
                    s->EndWordState = 0;
                }
                if (s->EndWordState == 0) offs = s->BeforeStartWord(di, offs) ? from : to;
            } else {
                s->EndWordFrom = s->EndWordTo = -1;
            }
        }
        SelEndDrawItem = di;
        SelEndDrawOffs = offs;
    } else {
        SelEndDrawItem = di;
        SelEndDrawOffs = offs;
    }
    return old[0] != SelStartDrawItem || old[1] != SelStartDrawOffs || old[2] != SelEndDrawItem ||
           old[3] != SelEndDrawOffs;
}

bool TCustomRVFormattedData::SelectLinesToPoint(int X, int Y) {
    int di, offs;
    FindDrawItemAtPos(X + GetHOffs(), Y + GetVOffs(), false, offs, di);
    if (di < 0) return false;
    int old[4] = {SelStartDrawItem, SelStartDrawOffs, SelEndDrawItem, SelEndDrawOffs};
    SelEndDrawItem = di;
    SelEndDrawOffs = offs;
    ExpandSelectionToLines(false);
    if (GetRVStyle()->SelectionMode == rvsmParagraph) ExpandSelectionToParas(true);
    return old[0] != SelStartDrawItem || old[1] != SelStartDrawOffs || old[2] != SelEndDrawItem ||
           old[3] != SelEndDrawOffs;
}

// ---------------------------------------------------------------- what is selected

void TCustomRVFormattedData::GetSaveRange(bool SelectionOnly, int& StartItemNo, int& StartOffs,
                                          int& EndItemNo, int& EndOffs, bool& PartialItem) const {
    if (!SelectionOnly) {
        TCustomRVData::GetSaveRange(false, StartItemNo, StartOffs, EndItemNo, EndOffs, PartialItem);
        return;
    }
    PartialItem = false;
    GetSelectionItemBounds(StartItemNo, EndItemNo, StartOffs, EndOffs, true);
}

AnsiString TCustomRVFormattedData::GetSelText(bool Unicode) {
    if (!SelectionExists(false, false)) return {};
    TRVMemoryStream stream;
    SaveTextStream("", stream, 80, true, false, Unicode, false);
    return stream.Size()
               ? AnsiString(reinterpret_cast<const char*>(stream.Memory()), std::size_t(stream.Size()))
               : AnsiString();
}

const TRVGraphic* TCustomRVFormattedData::GetSelectedImage() {
    int s, e, so, eo;
    GetSelectionItemBounds(s, e, so, eo, true);
    if (s < 0 || e < 0) return nullptr;
    auto picture = [&](int ItemNo) -> const TRVGraphic* {
        if (ItemNo < 0 || ItemNo >= ItemCount() || GetItemStyle(ItemNo) >= 0) return nullptr;
        auto* graphic = dynamic_cast<TRVGraphicItemInfo*>(GetItem(ItemNo));
        return graphic ? graphic->GetGraphic() : nullptr;
    };
    // The item alone, or reached from the end of the one before or to the
    // start of the one after.
    int item = -1;
    if (s == e && so == 0 && eo >= 1)
        item = s;
    else if (e == s + 1 && so == ItemEndOffset(s) && GetItemStyle(e) < 0 && eo >= 1)
        item = e;
    else if (e == s + 1 && so == 0 && GetItemStyle(s) < 0 && eo == ItemStartOffset(e))
        item = s;
    else if (e == s + 2 && so == ItemEndOffset(s) && eo == ItemStartOffset(e))
        item = s + 1;
    return picture(item);
}
