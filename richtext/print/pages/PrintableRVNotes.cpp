// Footnotes and endnotes of a printout: the footnote copies made and
// measured before pagination, placed at the bottom of their pages and kept
// below the text, and the endnotes laid out after the text.
#include <algorithm>

#include "richtext/print/pages/PrintableRV.h"

TRVFootnotePtblRVData* TRVFootnoteList::Find(const TRVFootnoteItemInfo* Footnote) const {
    auto it =
        std::lower_bound(Items.begin(), Items.end(), Footnote,
                         [](const std::unique_ptr<TRVFootnotePtblRVData>& A, const TRVFootnoteItemInfo* B) {
                             return std::less<const void*>()(A->Footnote, B);
                         });
    return it != Items.end() && (*it)->Footnote == Footnote ? it->get() : nullptr;
}

TRVFootnotePtblRVData* TCustomPrintableRV::GetFootnoteRVData(const TRVFootnoteItemInfo* Footnote) const {
    return Footnotes ? Footnotes->Find(Footnote) : nullptr;
}

void TCustomPrintableRV::PrepareFootnotes() {
    TCustomMainPtblRVData& main = RVData();
    TCanvas& canvas = *main.PrinterCanvas;
    NoteSeparatorHeight = canvas.TextHeight(AnsiString("-"));
    NoteLineWidth = std::max(ScaleYToDevice(1, main.Resolution), 1);
    TCustomRVData* source = SourceData();
    TRVFootnoteItemInfo* note = source ? FindFirstFootnoteInData(source) : nullptr;
    if (!note) return;
    Footnotes = std::make_unique<TRVFootnoteList>();
    for (; note; note = FindNextFootnote(source, note)) {
        auto f = std::make_unique<TRVFootnotePtblRVData>(this, &main, note->Document.get());
        f->Footnote = note;
        f->NoBackground = true;
        f->Transparent = true;
        f->Color = clNone;
        f->Left = main.LeftMarginPx;
        f->Width = main.GetPageWidth() - main.LeftMarginPx - main.RightMarginPx;
        f->Top = 0;
        f->Height = 1;
        f->FormatOnOwnCanvas(true);
        Footnotes->Items.push_back(std::move(f));
    }
    std::sort(Footnotes->Items.begin(), Footnotes->Items.end(), [](const auto& A, const auto& B) {
        return std::less<const void*>()(A->Footnote, B->Footnote);
    });
}

void TCustomPrintableRV::PositionFootnotes(int PageNo, TRVFootnoteRefList& List) {
    TCustomMainPtblRVData& main = RVData();
    List.SortByNumbers();
    int b = main.GetPageHeight() - main.BottomMarginPx;
    for (int i = List.Count() - 1; i >= 0; --i) {
        TRVFootnotePtblRVData& f = *List[i];
        b -= f.DocumentHeight;
        f.Top = b;
        f.Left = main.GetPageLeft(PageNo) + ScaleXToDevice(LeftMargin, main.Resolution);
        f.NumberOnPage = i + 1;
    }
}

void TCustomPrintableRV::MoveFootnotesBelowText() {
    TCustomMainPtblRVData& main = RVData();
    for (int p = 1; p <= main.PageCount(); ++p) {
        TRVPageInfo& page = main.Pages->Page(p);
        if (!page.FootnoteList || page.FootnoteList->Count() == 0) continue;
        int limit = main.TopMarginPx + main.SourceTopMarginPx + page.ContentHeight + NoteSeparatorHeight;
        int top = (*page.FootnoteList)[0]->Top;
        if (top < limit)
            for (TRVFootnotePtblRVData* f : page.FootnoteList->Items)
                f->Top += limit - top;
    }
}

int TCustomPrintableRV::FormatEndnotes() {
    TCustomMainPtblRVData& main = RVData();
    int mainPages = main.PageCount();
    if (mainPages == 0) return 0;
    int margins = main.SourceTopMarginPx + main.SourceBottomMarginPx;
    int full = main.GetPageHeight() - (margins + main.TopMarginPx + main.BottomMarginPx);
    const TRVFootnoteRefList* lastNotes = main.Pages->Page(mainPages).FootnoteList.get();
    bool lastHasNotes = lastNotes && lastNotes->Count() > 0;
    int room = lastHasNotes ? (*lastNotes)[0]->Top - NoteSeparatorHeight - main.TopMarginPx - margins : full;
    TCustomRVData* source = SourceData();
    TRVEndnoteItemInfo* note = SkipEndnotes || !source ? nullptr : FindFirstEndnoteInData(source);
    if (!note) {
        if (lastHasNotes) TextEndY = full;
        return 0;
    }
    if (Style && Style->TextStyles().Count() > 0)
        Style->ApplyStyle(*main.PrinterCanvas, 0, BiDiMode, false, nullptr, false);
    int y = NoteSeparatorHeight + TextEndY;
    Endnotes = std::make_unique<TRVEndnoteList>();
    bool pending = true;
    TRVEndnotePage pendingPage{0, 1};
    for (; note; note = FindNextEndnote(source, note)) {
        auto r = std::make_unique<TRVEndnotePtblRVData>(this, note);
        r->FormatOnOwnCanvas(true);
        int index = int(Endnotes->Items.size());
        int h = room - y;
        bool listExists = false;
        if (!r->StartFitsInHeight(h, false, main.Resolution, listExists, false)) {
            room = full;
            y = NoteSeparatorHeight;
            r->StartsOnNewPage = true;
            if (pending) Endnotes->Pages.push_back({-1, -1});
            pending = true;
            pendingPage = {index, 1};
        }
        if (pending) {
            Endnotes->Pages.push_back(pendingPage);
            pending = false;
        }
        r->FirstPageStartY = y;
        r->NextPagesStartY = NoteSeparatorHeight;
        TRVPaginationState state;
        for (int k = 1; state.NextDrawItem < r->DrawItems.Count() || k == 1; ++k) {
            if (r->DrawItems.Count() == 0) break;
            if (k > 1) {
                room = full;
                Endnotes->Pages.push_back({index, k});
            }
            TRVFootnoteRefList* none = nullptr;
            int height = room;
            int before = state.NextDrawItem, pages = r->PageCount();
            r->FormatNextPage(state, height, none, false);
            delete none;
            if (state.NextDrawItem == before && r->PageCount() == pages) break;
        }
        y = r->DrawItems.Count() ? r->EndY : y;
        Endnotes->Items.push_back(std::move(r));
    }
    TextEndY = y;
    return int(Endnotes->Pages.size()) - 1;
}
