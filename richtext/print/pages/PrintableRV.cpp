// The printable control: borrowing a source, formatting its pages, drawing
// a page with the endnotes that follow the text, the soft page breaks and
// the checker of a printout.
#include "richtext/print/pages/PrintableRV.h"
#include "platform/rtl/ScopeGuard.h"

#include <algorithm>

TCustomPrintableRV::TCustomPrintableRV() = default;

TCustomPrintableRV::~TCustomPrintableRV() {
    FreeNotes();
}

void TCustomPrintableRV::FreeNotes() {
    // The pages' footnote lists only point at these; callers drop the pages.
    Endnotes.reset();
    Footnotes.reset();
}

TCustomRVData* TCustomPrintableRV::SourceData() const {
    return FSource;
}

void TCustomPrintableRV::AssignSource(TCustomRVFormattedData& Source, TRVStyle* AStyle) {
    Clear();
    TCustomMainPtblRVData& data = RVData();
    data.ShareItemsFrom(Source);
    FSource = &Source;
    FSourceToken = Source.ItemList->ChangeToken();
    FSourceVersion = Source.ItemList->Version();
    LeftMargin = Source.GetLeftMargin();
    RightMargin = Source.GetRightMargin();
    data.SourceTopMargin = Source.GetTopMargin();
    data.SourceBottomMargin = Source.GetBottomMargin();
    Style = AStyle ? AStyle : Source.GetRVStyle();
    Options = Source.GetOptions();
    Color = Source.GetColor();
    BiDiMode = Source.GetBiDiMode();
}

bool TCustomPrintableRV::SourceIntact() const {
    std::shared_ptr<const uint64_t> version = FSourceToken.lock();
    return version && *version == FSourceVersion;
}

void TCustomPrintableRV::Clear() {
    FreeNotes();
    TCustomMainPtblRVData& data = RVData();
    // The source may be gone: its items are not asked.
    data.DrawItems.Clear();
    data.UseItemsOf(nullptr);
    data.Clear();
    data.Pages->Clear();
    FSource = nullptr;
    FSourceToken.reset();
}

int TCustomPrintableRV::FormatPages() {
    TCustomMainPtblRVData& data = RVData();
    // Formatting again takes the source as it is now; a freed one is let go.
    if (FSource && !SourceIntact()) {
        if (std::shared_ptr<const uint64_t> version = FSourceToken.lock())
            FSourceVersion = *version;
        else
            Clear();
    }
    data.Pages->Clear();
    FreeNotes();
    TextEndY = 0;
    if (!data.StartFormatting()) {
        data.EndFormatting();
        return 0;
    }
    int pages = 0;
    {
        TScopeGuard end([&] { data.EndFormatting(); });
        PrepareFootnotes();
        pages = data.Paginate();
        MoveFootnotesBelowText();
        pages += FormatEndnotes();
    }
    RVCheckPrintout(*this);
    return pages;
}

int TCustomPrintableRV::GetPagesCount() const {
    int n = RVData().PageCount();
    if (Endnotes && !Endnotes->Pages.empty()) n += int(Endnotes->Pages.size()) - 1;
    return n;
}

void TCustomPrintableRV::DrawPage(int PageNo, TCanvas& Canvas, bool Preview, bool Correction) {
    // A changed source may have freed the items the pages show.
    if (FSource && !SourceIntact()) {
        Clear();
        throw EZoroZudoError("The printed document has changed since its pages were made");
    }
    TCustomMainPtblRVData& data = RVData();
    data.DrawPage(PageNo, Canvas, Preview, Correction);
    int mainPages = data.PageCount();
    if (Endnotes && PageNo >= mainPages && PageNo - mainPages < int(Endnotes->Pages.size()))
        DrawEndnotePage(PageNo, PageNo - mainPages, Preview, Correction, Canvas);
}

void TCustomPrintableRV::DrawNoteSeparator(int PageNo, int Y, bool FullWidth, TCanvas& Canvas) {
    const TCustomMainPtblRVData& data = RVData();
    int x = data.GetPageLeft(PageNo) + ScaleXToDevice(LeftMargin, data.Resolution);
    Canvas.Pen()->SetWidth(NoteLineWidth);
    Canvas.Pen()->SetStyle(TPenStyle::psSolid);
    Canvas.Pen()->SetColor(RGB(128, 128, 128));
    int d = NoteSeparatorHeight / 2;
    int l = ClientWidth - ScaleXToDevice(LeftMargin + RightMargin, data.Resolution);
    if (!FullWidth) l /= 3;
    Canvas.MoveTo(x + d, Y - d);
    Canvas.LineTo(x + l - NoteSeparatorHeight, Y - d);
}

void TCustomPrintableRV::DrawEndnotePage(int, int Index, bool Preview, bool Correction, TCanvas& Canvas) {
    const TRVEndnotePage& e = Endnotes->Pages[std::size_t(Index)];
    if (e.EndnoteIndex < 0) return;
    const TCustomMainPtblRVData& main = RVData();
    TRVEndnotePtblRVData* r = Endnotes->Items[std::size_t(e.EndnoteIndex)].get();
    if (Index == 0 || e.PageNo > 1 || r->StartsOnNewPage) {
        int y = main.TopMarginPx + main.SourceTopMarginPx +
                (e.PageNo > 1 ? r->NextPagesStartY : r->FirstPageStartY);
        DrawNoteSeparator(main.PageCount() + Index, y, e.PageNo > 1 || r->StartsOnNewPage, Canvas);
    }
    r->DrawPage(e.PageNo, Canvas, Preview, Correction);
    if (e.PageNo < r->PageCount()) return;
    for (std::size_t i = std::size_t(e.EndnoteIndex) + 1; i < Endnotes->Items.size(); ++i) {
        TRVEndnotePtblRVData* next = Endnotes->Items[i].get();
        if (next->StartsOnNewPage) break;
        next->DrawPage(1, Canvas, Preview, Correction);
        if (next->PageCount() > 1) break;
    }
}

TPrintableRV::TPrintableRV() : FRVData(std::make_unique<TPrintableRVData>(this)) {}

TPrintableRV::~TPrintableRV() {
    Clear();
}

// ---------------------------------------------------------------- soft page breaks

std::vector<TRVPageStartPlace> GetSoftPageBreaks(const TCustomMainPtblRVData& Data) {
    std::vector<TRVPageStartPlace> out;
    for (int p = 2; p <= Data.PageCount(); ++p) {
        const TRVPageInfo& page = Data.Pages->Page(p);
        auto* multi = dynamic_cast<TRVMultiDrawItemInfo*>(Data.DrawItems[page.FirstDrawItem]);
        TRVMultiDrawItemPart* part =
            multi && page.FirstPart >= 1 && page.FirstPart <= multi->PartsList.Count()
                ? multi->PartsList[page.FirstPart - 1]
                : nullptr;
        // A page beginning inside cut cells is recorded by the item itself.
        if (part && part->CutsContent()) continue;
        TRVPageStartPlace info;
        Data.DrawItemToItem(page.FirstDrawItem, Data.DrawItemStartOffset(page.FirstDrawItem), info.ItemNo,
                            info.Offset);
        info.ExtraData = page.FirstPart == 0 || !part ? -1 : part->GetPageBreakExtra();
        out.push_back(info);
    }
    return out;
}

// ---------------------------------------------------------------- the checker

void RVCheckPrintout(const TCustomPrintableRV& RV) {
    const TCustomMainPtblRVData& data = RV.RVData();
    auto fail = [](const AnsiString& What) { throw EZoroZudoError("Printout: " + What); };
    int count = data.DrawItems.Count();
    if (count == 0 && data.PageCount() != 0) fail("pages without drawing items");
    int prev = -1, prevPart = 0;
    for (int p = 1; p <= data.PageCount(); ++p) {
        const TRVPageInfo& page = data.Pages->Page(p);
        if (page.FirstDrawItem < 0 || page.FirstDrawItem >= count)
            fail("page " + IntToStr(p) + " begins outside the drawing items");
        // A page begins after the one before, or at a later part of its split item.
        bool later = page.FirstDrawItem > prev || (page.FirstDrawItem == prev && page.FirstPart > prevPart);
        if (!later) fail("page " + IntToStr(p) + " does not advance");
        if (page.FirstPart < 0) fail("page " + IntToStr(p) + " has a negative part");
        if (page.FootnoteList)
            for (TRVFootnotePtblRVData* f : page.FootnoteList->Items)
                if (!f || f != RV.GetFootnoteRVData(f->Footnote))
                    fail("page " + IntToStr(p) + " lists a footnote the printout does not hold");
        prev = page.FirstDrawItem;
        prevPart = page.FirstPart;
    }
    if (RV.Endnotes)
        for (const TRVEndnotePage& e : RV.Endnotes->Pages)
            if (e.EndnoteIndex >= int(RV.Endnotes->Items.size()) ||
                (e.EndnoteIndex >= 0 &&
                 e.PageNo > RV.Endnotes->Items[std::size_t(e.EndnoteIndex)]->PageCount()))
                fail("an endnote page shows a page that does not exist");
}
