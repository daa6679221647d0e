// Pagination: filling one page at a time with the drawing items that fit,
// keeping lines and paragraphs together where their paragraphs ask,
// splitting items over pages, and the room footnotes take.
#include <algorithm>

#include "richtext/print/pages/PrintableRV.h"
#include "richtext/print/pages/PtblRVData.h"

namespace {

bool HasOption(TRVParaOptions Options, TRVParaOption Option) {
    return (Options & Option) != 0;
}

// The page content's top: the continued top after a split first item.
int ContentTop(const TRVPageInfo& Page) {
    return Page.FirstPart != 0 ? Page.ContinuedTopY : Page.TopY;
}

void RemoveFromList(TRVFootnoteRefList*& Footnotes, int Index) {
    Footnotes->Delete(Index);
    if (Footnotes->Count() == 0) {
        delete Footnotes;
        Footnotes = nullptr;
    }
}

} // namespace

// ---------------------------------------------------------------- measures

int TCustomMultiPagePtblRVData::SpaceBefore(int DrawItemNo,
                                            const TRVScreenDeviceResolution& Resolution) const {
    TRVStyle* style = GetRVStyle();
    int para = GetItemPara(DrawItems[DrawItemNo]->ItemNo);
    return ScaleYToDevice(style->ParaStyles().GetItem(para)->SpaceBefore, Resolution);
}

int TCustomMultiPagePtblRVData::SpaceAfter(int DrawItemNo,
                                           const TRVScreenDeviceResolution& Resolution) const {
    TRVStyle* style = GetRVStyle();
    int para = GetItemPara(DrawItems[DrawItemNo]->ItemNo);
    return ScaleYToDevice(style->ParaStyles().GetItem(para)->SpaceAfter, Resolution);
}

TRVParaOptions TCustomMultiPagePtblRVData::ParaOptions(int DrawItemNo) const {
    return GetRVStyle()->ParaStyles().GetItem(GetItemPara(DrawItems[DrawItemNo]->ItemNo))->Options;
}

int TCustomMultiPagePtblRVData::LineBottom(int DrawItemNo) const {
    if (DrawItemNo < 0) return 0;
    TRVScreenDeviceResolution r = MainData()->Resolution;
    int bottom = 0;
    for (int i = DrawItemNo; i >= 0; --i) {
        const TRVDrawLineInfo& d = *DrawItems[i];
        bottom = std::max(bottom, d.Top + d.Height);
        if (d.FromNewLine) break;
    }
    return bottom + SpaceAfter(DrawItemNo, r);
}

int TCustomMultiPagePtblRVData::LineTop(int DrawItemNo) const {
    TRVScreenDeviceResolution r = MainData()->Resolution;
    int top = DrawItems[DrawItemNo]->Top;
    for (int i = DrawItemNo + 1; i < DrawItems.Count() && !DrawItems[i]->FromNewLine; ++i)
        top = std::min(top, DrawItems[i]->Top);
    return top - SpaceBefore(DrawItemNo, r);
}

void TCustomMultiPagePtblRVData::SetContentHeight(TRVPageInfo& Page, int Bottom) const {
    Page.ContentHeight = Bottom - ContentTop(Page);
}

// ---------------------------------------------------------------- one page

void TCustomMultiPagePtblRVData::FormatNextPage(TRVPaginationState& S, int& Height,
                                                TRVFootnoteRefList*& Footnotes, bool CountFootnotes) {
    TRVScreenDeviceResolution r = MainData()->Resolution;
    if (!Pages) Pages = std::make_unique<TRVPageCollection>();
    if (Pages->Count() == 0) {
        TRVPageInfo& first = Pages->Add();
        first.TopY = 0;
        first.FirstDrawItem = 0;
        S.PageTop = 0;
        S.NextDrawItem = 0;
        S.StartOffset = GetFirstPageStart();
        S.Splitting = false;
    }
    int P = Pages->Count();
    int pagesBefore = P;
    int count = DrawItems.Count();

    if (S.Splitting) {
        int D = S.NextDrawItem;
        auto& item = static_cast<TRVMultiDrawItemInfo&>(*DrawItems[D]);
        S.Bottom += Height;
        int sb = SpaceBefore(D, r), sa = SpaceAfter(D, r);
        bool beganAtD = Pages->Page(P).FirstDrawItem == D;
        if (item.SplitAt(S.Bottom, r, beganAtD, Footnotes, Height, CountFootnotes)) {
            TRVPageInfo& next = Pages->Add();
            next.FirstDrawItem = D;
            next.TopY = -sb;
            next.FirstPart = item.PartsList.Count();
            TRVPageInfo& page = Pages->Page(P);
            PageCompleted(P, Footnotes);
            TRVMultiDrawItemPart* q = item.PartsList[item.PartsList.Count() - 2];
            if (beganAtD) {
                page.ContinuedTopY = item.Top + item.Height - q->Height - sb;
                page.ContentHeight = q->Height + sb + sa;
            } else {
                page.ContentHeight = (q->Height + item.Top + sb + sa) - ContentTop(page);
            }
            DoFormatting(P, rvpsProceeding);
            S.StartOffset = GetNextPageStart();
            S.PageTop = 0;
            S.Bottom = S.PageTop - S.StartOffset + next.TopY - sa;
            return;
        }
        if (beganAtD) {
            TRVMultiDrawItemPart* last = item.PartsList.Last();
            S.PageTop = item.Top + item.Height - (last ? last->Height : item.Height) - sb;
            Pages->Page(P).ContinuedTopY = S.PageTop;
        }
        S.NextDrawItem = D + 1;
        S.Splitting = false;
    }

    while (S.NextDrawItem < count) {
        int D = S.NextDrawItem;
        TRVDrawLineInfo& d = *DrawItems[D];
        int sb = SpaceBefore(D, r), sa = SpaceAfter(D, r);
        bool beginsAtD = Pages->Page(P).FirstDrawItem == D;
        bool forced =
            D > 0 && d.ItemNo != DrawItems[D - 1]->ItemNo && PageBreakBefore(d.ItemNo) && !beginsAtD;
        auto* multi = dynamic_cast<TRVMultiDrawItemInfo*>(&d);
        if (multi && multi->InitSplit(r)) {
            TRVPageInfo& page = Pages->Page(P);
            if (beginsAtD) {
                page.FirstPart = 1;
                page.TopY = -sb;
            }
            S.Bottom = S.PageTop + Height - S.StartOffset - d.Top - sa;
            if (!forced && (beginsAtD ||
                            multi->CanSplitFirst(S.Bottom, r, false, Footnotes != nullptr, CountFootnotes))) {
                S.Splitting = true;
                S.Bottom -= Height;
                FormatNextPage(S, Height, Footnotes, CountFootnotes);
                return;
            }
            if (!forced && BreakPage(S, Height, Footnotes, CountFootnotes, true, false, r)) return;
            TRVPageInfo& next = Pages->Add();
            next.FirstDrawItem = D;
            next.TopY = -sb;
            next.FirstPart = 1;
            TRVPageInfo& cur = Pages->Page(P);
            SetContentHeight(cur, LineBottom(D - 1));
            DoFormatting(P, rvpsProceeding);
            S.PageTop = 0;
            S.StartOffset = GetNextPageStart();
            S.Bottom = S.PageTop - S.StartOffset + next.TopY - sa;
            S.Splitting = true;
            PageCompleted(P, Footnotes);
            return;
        }
        S.Bottom = d.Top + d.Height + sa;
        if (S.PageTop + Height - S.StartOffset < S.Bottom || forced) {
            BreakPage(S, Height, Footnotes, CountFootnotes, false, true, r);
            break;
        }
        if (!IsNoteData()) {
            auto* note = dynamic_cast<TRVFootnoteItemInfo*>(GetItem(d.ItemNo));
            TRVFootnotePtblRVData* f = note ? GetFootnoteRVData(note) : nullptr;
            if (f && (!Footnotes || Footnotes->IndexOfFootnote(note) < 0)) {
                if (auto* ref = dynamic_cast<TRVFootnoteDrawItem*>(&d)) ref->FootnoteRVData = f;
                f->RefData = this;
                f->RefDrawItemNo = D;
                if (CountFootnotes) Height -= f->DocumentHeight;
                if (!Footnotes) {
                    Footnotes = new TRVFootnoteRefList;
                    if (CountFootnotes) Height -= GetNoteSeparatorHeight();
                }
                Footnotes->Add(f);
            }
            if (multi) multi->CollectFootnotes(Footnotes, Height, CountFootnotes);
            if (S.PageTop + Height - S.StartOffset < S.Bottom) {
                BreakPage(S, Height, Footnotes, CountFootnotes, false, false, r);
                break;
            }
        }
        S.NextDrawItem = D + 1;
    }

    if (Pages->Count() == pagesBefore) PageCompleted(P, Footnotes);
    TRVPageInfo& page = Pages->Page(P);
    SetContentHeight(page, LineBottom(S.NextDrawItem - 1));
    SetEndY(page.ContentHeight);
    AdjustEndY(P);
    DoFormatting(P, rvpsProceeding);
}

// Decides where the next page begins when drawing item NextDrawItem does
// not fit; true when the break moved back from it.
bool TCustomMultiPagePtblRVData::BreakPage(TRVPaginationState& S, int& Height, TRVFootnoteRefList*& Footnotes,
                                           bool CountFootnotes, bool MultiPage, bool BeforeNotes,
                                           const TRVScreenDeviceResolution&) {
    int P = Pages->Count();
    int pageFirst = Pages->Page(P).FirstDrawItem;
    int count = DrawItems.Count();
    const int O = S.NextDrawItem;
    int n = O;
    TRVParaOptions para = ParaOptions(O);
    int K = -1;
    bool movable = true;
    for (;;) {
        // Back to a line start, or a paragraph start when its lines stay together.
        int L = -1;
        for (int i = n; i >= 0; --i)
            if (DrawItems[i]->FromNewLine) {
                L = i;
                break;
            }
        if (L >= 0) {
            if (!HasOption(para, rvpaoKeepLinesTogether)) {
                n = L;
            } else {
                int i = L;
                while (i >= 0 && !(DrawItems[i]->FromNewLine && IsDrawItemParaStart(i)))
                    --i;
                n = i >= 0 ? i : L;
            }
        }
        if (S.StartOffset <= 0 && L >= 0 && n <= pageFirst) {
            if (K >= 0) {
                n = K;
                movable = false;
                break;
            }
            n = L;
        }
        if ((S.StartOffset > 0 || (n > pageFirst && n > 0)) && n > 0 && IsDrawItemParaStart(n) &&
            HasOption(ParaOptions(n - 1), rvpaoKeepWithNext)) {
            if (K < 0) K = n;
            n = n - 1;
            para = ParaOptions(n);
            continue;
        }
        break;
    }
    (void)movable;
    if (!(S.StartOffset > 0 && AllowsBreakBeforePageStart()) && n <= pageFirst) {
        // Nothing can move: what does not fit stays, and the page ends at
        // the next line start.
        int next = count;
        for (int i = n + 1; i < count; ++i)
            if (DrawItems[i]->FromNewLine) {
                next = i;
                break;
            }
        n = next;
        if (n < O && !IsDrawItemParaStart(n))
            for (int s = n + 1; s <= O; ++s)
                if (IsDrawItemParaStart(s)) {
                    n = s - 1;
                    break;
                }
    }
    // Footnotes of what moves to the next page leave this one.
    if (n <= O) {
        if (Footnotes && !IsNoteData()) {
            for (int j = std::min(O, count - 1); j >= n; --j) {
                if (j == O && BeforeNotes) continue;
                if (auto* note = dynamic_cast<TRVFootnoteItemInfo*>(GetItem(DrawItems[j]->ItemNo)))
                    if (Footnotes) {
                        int k = Footnotes->IndexOfFootnote(note);
                        if (k >= 0) RemoveFromList(Footnotes, k);
                    }
                if (auto* multi = dynamic_cast<TRVMultiDrawItemInfo*>(DrawItems[j]); multi && n != O)
                    multi->ClearParts(Footnotes, Height, CountFootnotes);
                if (CountFootnotes) Height = DrawItems[j]->Top + 1 + S.StartOffset - S.PageTop;
            }
        } else if (n < O) {
            for (int j = n; j <= O && j < count; ++j)
                if (auto* multi = dynamic_cast<TRVMultiDrawItemInfo*>(DrawItems[j]))
                    multi->ClearParts(Footnotes, Height, CountFootnotes);
        }
    }
    if (!(n == count || (n == O && MultiPage))) {
        S.PageTop = LineTop(n);
        TRVPageInfo& next = Pages->Add();
        next.FirstDrawItem = n;
        next.TopY = S.PageTop;
        PageCompleted(P, Footnotes);
        S.StartOffset = GetNextPageStart();
        S.Splitting = false;
        SetContentHeight(Pages->Page(P), LineBottom(n - 1));
        if (MultiPage) {
            if (auto* multi = dynamic_cast<TRVMultiDrawItemInfo*>(DrawItems[O])) multi->PartsList.Clear();
            DoFormatting(P, rvpsProceeding);
        }
    }
    S.NextDrawItem = n;
    return n != O;
}

// ---------------------------------------------------------------- whether a beginning fits

bool TCustomMultiPagePtblRVData::CanSplitAtStart(int DrawItemNo, int Room,
                                                 const TRVScreenDeviceResolution& Resolution, bool ListExists,
                                                 bool CountFootnotes) {
    auto* multi = dynamic_cast<TRVMultiDrawItemInfo*>(DrawItems[DrawItemNo]);
    if (!multi) return false;
    bool answer = false;
    if (multi->InitSplit(Resolution)) {
        const TRVDrawLineInfo& d = *multi;
        answer = multi->CanSplitFirst(Room - d.Top - d.ExtraSpaceBelow - SpaceAfter(DrawItemNo, Resolution),
                                      Resolution, false, ListExists, CountFootnotes);
    }
    multi->PartsList.Clear();
    return answer;
}

void TCustomMultiPagePtblRVData::SubtractLineFootnotes(int DrawItemNo, int& Height, bool& ListExists) {
    if (IsNoteData()) return;
    const TRVDrawLineInfo& d = *DrawItems[DrawItemNo];
    if (auto* note = dynamic_cast<TRVFootnoteItemInfo*>(GetItem(d.ItemNo))) {
        if (TRVFootnotePtblRVData* f = GetFootnoteRVData(note)) Height -= f->DocumentHeight;
        if (!ListExists) {
            Height -= GetNoteSeparatorHeight();
            ListExists = true;
        }
    }
    if (auto* multi = dynamic_cast<TRVMultiDrawItemInfo*>(DrawItems[DrawItemNo])) {
        TRVScreenDeviceResolution r = MainData()->Resolution;
        if (multi->InitSplit(r))
            multi->PartsList.Clear();
        else
            multi->SubtractFootnotesHeight(Height, ListExists);
    }
}

bool TCustomMultiPagePtblRVData::StartFitsInHeight(int& Height, bool LinesOnly,
                                                   const TRVScreenDeviceResolution& Resolution,
                                                   bool& ListExists, bool CountFootnotes) {
    int count = DrawItems.Count();
    if (count == 0) return true;
    if (LinesOnly) {
        for (int i = 1; i < count; ++i)
            if (DrawItems[i]->FromNewLine) return true;
        return false;
    }
    TRVParaOptions para = ParaOptions(0);
    auto bottomOf = [&](int i) {
        const TRVDrawLineInfo& d = *DrawItems[i];
        return d.Top + d.Height + d.ExtraSpaceBelow + SpaceAfter(i, Resolution);
    };
    if (CanSplitAtStart(0, Height, Resolution, ListExists, CountFootnotes)) return true;
    if (bottomOf(0) >= Height) return false;
    if (CountFootnotes) {
        SubtractLineFootnotes(0, Height, ListExists);
        if (bottomOf(0) >= Height) return false;
    }
    for (int i = 1; i < count; ++i) {
        if (DrawItems[i]->FromNewLine) {
            if (IsDrawItemParaStart(i)) {
                if (!HasOption(para, rvpaoKeepWithNext)) return true;
                para = ParaOptions(i);
            } else if (!HasOption(para, rvpaoKeepLinesTogether)) {
                return true;
            }
            if (CanSplitAtStart(i, Height, Resolution, ListExists, CountFootnotes)) return true;
        }
        if (bottomOf(i) >= Height) return false;
        if (CountFootnotes) {
            SubtractLineFootnotes(i, Height, ListExists);
            if (bottomOf(i) >= Height) return false;
        }
    }
    return true;
}

// ---------------------------------------------------------------- the main text

void TCustomMainPtblRVData::PageCompleted(int PageNo, TRVFootnoteRefList*& Footnotes) {
    if (!Footnotes) return;
    TRVPageInfo& page = Pages->Page(PageNo);
    page.FootnoteList.reset(Footnotes);
    Footnotes = nullptr;
    RV->PositionFootnotes(PageNo, *page.FootnoteList);
}

int TCustomMainPtblRVData::Paginate() {
    Pages->Clear();
    if (DrawItems.Count() == 0) return 0;
    DoFormatting(0, rvpsProceeding);
    TRVPaginationState state;
    while (state.NextDrawItem < DrawItems.Count()) {
        int before = state.NextDrawItem, pages = Pages->Count();
        bool splitting = state.Splitting;
        TRVFootnoteRefList* footnotes = nullptr;
        int height = RV->ClientHeight - SourceTopMarginPx - SourceBottomMarginPx;
        FormatNextPage(state, height, footnotes, true);
        delete footnotes;
        // Every page takes at least one drawing item, or a part of one.
        if (state.NextDrawItem == before && Pages->Count() == pages && state.Splitting == splitting)
            throw EZoroZudoError("Internal printing error");
    }
    return Pages->Count();
}
