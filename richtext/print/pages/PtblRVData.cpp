// The printable data classes: what they answer the engine, their page
// records and queries, and the page geometry of the main text.
#include "richtext/print/pages/PtblRVData.h"

#include <algorithm>

#include "richtext/print/pages/PrintableRV.h"

int MillimetresToPixels(int Millimetres, int PixelsPerInch) {
    return MulDiv(Millimetres, PixelsPerInch * 5, 127);
}

// ---------------------------------------------------------------- footnote and page lists

int TRVFootnoteRefList::IndexOfFootnote(const TRVFootnoteItemInfo* Footnote) const {
    for (int i = Count() - 1; i >= 0; --i)
        if (Items[std::size_t(i)]->Footnote == Footnote) return i;
    return -1;
}

void TRVFootnoteRefList::SortByNumbers() {
    std::stable_sort(Items.begin(), Items.end(), [](TRVFootnotePtblRVData* A, TRVFootnotePtblRVData* B) {
        return A->Footnote->Counter < B->Footnote->Counter;
    });
}

void TRVPageInfo::Assign(const TRVPageInfo& Source) {
    TopY = Source.TopY;
    FirstDrawItem = Source.FirstDrawItem;
    FirstPart = Source.FirstPart;
    ContinuedTopY = Source.ContinuedTopY;
    ContentHeight = Source.ContentHeight;
    FootnoteList.reset(Source.FootnoteList ? new TRVFootnoteRefList(*Source.FootnoteList) : nullptr);
}

TRVPageInfo& TRVPageCollection::Page(int PageNo) const {
    if (PageNo < 1 || PageNo > Count())
        throw EZoroZudoError(Format("List index out of bounds (%d)", {PageNo - 1}));
    return *FPages[std::size_t(PageNo - 1)];
}

TRVPageInfo& TRVPageCollection::Add() {
    FPages.push_back(std::make_unique<TRVPageInfo>());
    return *FPages.back();
}

void TRVPageCollection::Truncate(int ACount) {
    if (ACount < Count()) FPages.resize(std::size_t(std::max(ACount, 0)));
}

// ---------------------------------------------------------------- printable data

TCustomPrintableRVData::TCustomPrintableRVData(TCustomPrintableRV* ARV) : RV(ARV) {}

TCustomPrintableRVData::~TCustomPrintableRVData() {
    // The borrowed items are not touched on the way out.
    DrawItems.Clear();
    UseItemsOf(nullptr);
    Clear();
}

TRVStyle* TCustomPrintableRVData::GetRVStyle() const {
    return RV->Style;
}

uint16_t TCustomPrintableRVData::GetFlags() const {
    return RV->Flags;
}

void TCustomPrintableRVData::SetFlags(uint16_t Value) {
    RV->Flags = Value;
}

TRVOptions TCustomPrintableRVData::GetOptions() const {
    return RV->Options;
}

int TCustomPrintableRVData::GetLeftMargin() const {
    return RV->LeftMargin;
}

int TCustomPrintableRVData::GetRightMargin() const {
    return RV->RightMargin;
}

int TCustomPrintableRVData::GetMaxTextWidth() const {
    TRVScreenDeviceResolution r = MainData()->Resolution;
    return std::max(ScaleXToScreen(GetWidth(), r) - RV->LeftMargin - RV->RightMargin, 0);
}

int TCustomPrintableRVData::GetWidth() const {
    return RV->ClientWidth;
}

int TCustomPrintableRVData::GetHeight() const {
    return RV->ClientHeight;
}

TColor TCustomPrintableRVData::GetColor() const {
    if (RV->Color != clNone) return RV->Color;
    return RV->Style ? RV->Style->Color : clNone;
}

TCanvas* TCustomPrintableRVData::GetCanvas() const {
    return MainData()->PrinterCanvas;
}

void TCustomPrintableRVData::GetDeviceScaling(TCanvas&, TRVScreenDeviceResolution& Resolution) const {
    Resolution = MainData()->Resolution;
}

TCustomMainPtblRVData* TCustomPrintableRVData::MainData() const {
    return &RV->RVData();
}

void TCustomPrintableRVData::GetPageDrawItems(int, int& First, int& FirstPart, int& Last) const {
    First = 0;
    FirstPart = -1;
    Last = DrawItems.Count() - 1;
}

// ---------------------------------------------------------------- multi-page data

void TCustomMultiPagePtblRVData::GetPageDrawItems(int PageNo, int& First, int& FirstPart, int& Last) const {
    if (!Pages || Pages->Count() == 0) {
        TCustomPrintableRVData::GetPageDrawItems(PageNo, First, FirstPart, Last);
        return;
    }
    const TRVPageInfo& page = Pages->Page(PageNo);
    First = page.FirstDrawItem;
    FirstPart = page.FirstPart - 1;
    if (PageNo == Pages->Count()) {
        Last = DrawItems.Count() - 1;
    } else {
        const TRVPageInfo& next = Pages->Page(PageNo + 1);
        Last = next.FirstDrawItem - 1;
        // The split item also ends on this page.
        if (next.FirstPart > 1) ++Last;
    }
}

int TCustomMultiPagePtblRVData::GetPageTop(int PageNo) const {
    return Pages && Pages->Count() ? Pages->Page(PageNo).TopY : 0;
}

int TCustomMultiPagePtblRVData::GetPageTop2(int PageNo) const {
    return Pages && Pages->Count() ? Pages->Page(PageNo).ContinuedTopY : 0;
}

bool TCustomMultiPagePtblRVData::HasPage(int PageNo) const {
    if (Pages) return PageNo <= Pages->Count();
    return PageNo < 2;
}

void TCustomMultiPagePtblRVData::ResetFormatting() {
    // Pages point at drawing items: they go with them.
    if (Pages) Pages->Clear();
    TCustomPrintableRVData::ResetFormatting();
}

TRVFootnotePtblRVData*
TCustomMultiPagePtblRVData::GetFootnoteRVData(const TRVFootnoteItemInfo* Footnote) const {
    return RV->GetFootnoteRVData(Footnote);
}

int TCustomMultiPagePtblRVData::GetNoteSeparatorHeight() const {
    return RV->NoteSeparatorHeight;
}

// ---------------------------------------------------------------- main data

TCustomMainPtblRVData::TCustomMainPtblRVData(TCustomPrintableRV* ARV) : TCustomMultiPagePtblRVData(ARV) {
    Pages = std::make_unique<TRVPageCollection>();
}

TColor TCustomMainPtblRVData::GetColor() const {
    return TransparentBackground ? clNone : TCustomMultiPagePtblRVData::GetColor();
}

int TCustomMainPtblRVData::GetPageTop(int PageNo) const {
    return Pages->Page(PageNo).TopY - TopMarginPx - SourceTopMarginPx;
}

int TCustomMainPtblRVData::GetPageTop2(int PageNo) const {
    return Pages->Page(PageNo).ContinuedTopY - TopMarginPx - SourceTopMarginPx;
}

void TCustomMainPtblRVData::CheckPageNo(int PageNo) const {
    if (PageNo < 1 || PageNo > Pages->Count())
        throw EZoroZudoError("Invalid page number is specified for printing");
}

TCustomRVData* TCustomMainPtblRVData::GetSourceData() const {
    return const_cast<TCustomMainPtblRVData*>(this);
}

void TCustomMainPtblRVData::SetEndY(int Value) {
    RV->TextEndY = Value;
}

void TCustomMainPtblRVData::DoFormatting(int PageCompleted, TRVPrintingStep Step) {
    if (RV->OnFormatting) RV->OnFormatting(PageCompleted, Step);
}

void TCustomMainPtblRVData::PrepareGeometry() {
    FillScreenDeviceResolution(Resolution, *PrinterCanvas);
    if (RV->Device) {
        Resolution.DevicePpiX = RV->Device->PixelsPerInchX();
        Resolution.DevicePpiY = RV->Device->PixelsPerInchY();
    }
    SourceTopMarginPx = ScaleYToDevice(SourceTopMargin, Resolution);
    SourceBottomMarginPx = ScaleYToDevice(SourceBottomMargin, Resolution);
}

bool TCustomMainPtblRVData::StartFormatting() {
    DoFormatting(0, rvpsStarting);
    PrinterCanvas = CreatePrinterCanvas();
    HasPrinterCanvas = PrinterCanvas != nullptr;
    if (!PrinterCanvas) {
        ResetFormatting();
        return false;
    }
    PrepareGeometry();
    FormatDocument(false, true, true, 0, PrinterCanvas, false, true, false);
    return true;
}

void TCustomMainPtblRVData::EndFormatting() {
    if (PrinterCanvas) FreePrinterCanvas(PrinterCanvas);
    PrinterCanvas = nullptr;
    DoFormatting(PageCount(), rvpsFinished);
}

// ---------------------------------------------------------------- the printer's page

TCanvas* TPrintableRVData::CreatePrinterCanvas() {
    return RV->Device ? RV->Device->Canvas() : nullptr;
}

void TPrintableRVData::FreePrinterCanvas(TCanvas*) {}

int TPrintableRVData::GetPageWidth() const {
    return RV->Device ? RV->Device->PageWidth() : 0;
}

int TPrintableRVData::GetPageHeight() const {
    return RV->Device ? RV->Device->PageHeight() : 0;
}

int TPrintableRVData::GetPageLeft(int PageNo) const {
    auto* rv = static_cast<TPrintableRV*>(RV);
    return rv->MirrorMargins && PageNo % 2 == 0 ? MirroredLeftMarginPx : LeftMarginPx;
}

void TPrintableRVData::PrepareGeometry() {
    TCustomMainPtblRVData::PrepareGeometry();
    auto* rv = static_cast<TPrintableRV*>(RV);
    TRVPrinterDevice& device = *RV->Device;
    PrinterCanvas->SetPixelsPerInch(Resolution.DevicePpiY);
    int ppiX = device.PixelsPerInchX(), ppiY = device.PixelsPerInchY();
    PhysicalOffsetX = device.PhysicalOffsetX();
    PhysicalOffsetY = device.PhysicalOffsetY();
    UnprintableRight = device.PhysicalWidth() - GetPageWidth() - PhysicalOffsetX;
    UnprintableBottom = device.PhysicalHeight() - GetPageHeight() - PhysicalOffsetY;
    LeftMarginPx = MillimetresToPixels(rv->LeftMarginMM, ppiX) - PhysicalOffsetX;
    TopMarginPx = MillimetresToPixels(rv->TopMarginMM, ppiY) - PhysicalOffsetY;
    RightMarginPx = MillimetresToPixels(rv->RightMarginMM, ppiX) - UnprintableRight;
    BottomMarginPx = MillimetresToPixels(rv->BottomMarginMM, ppiY) - UnprintableBottom;
    MirroredLeftMarginPx = MillimetresToPixels(rv->RightMarginMM, ppiX) - PhysicalOffsetX;
    if (RV->FixMarginsMode == rvfmmAutoCorrect) {
        // The print area keeps its size and moves to the printable edge.
        if (LeftMarginPx < 0) {
            RightMarginPx += LeftMarginPx;
            LeftMarginPx = 0;
        }
        if (TopMarginPx < 0) {
            BottomMarginPx += TopMarginPx;
            TopMarginPx = 0;
        }
        RightMarginPx = std::max(RightMarginPx, 0);
        BottomMarginPx = std::max(BottomMarginPx, 0);
        MirroredLeftMarginPx = std::max(MirroredLeftMarginPx, 0);
    }
    RV->ClientWidth = GetPageWidth() - LeftMarginPx - RightMarginPx;
    RV->ClientHeight = GetPageHeight() - TopMarginPx - BottomMarginPx;
    // A paper smaller than its margins would leave nothing to print on.
    if (RV->ClientWidth <= 0)
        throw EZoroZudoError("The left and right margins leave no room to print on the paper");
    if (RV->ClientHeight - SourceTopMarginPx - SourceBottomMarginPx <= 0)
        throw EZoroZudoError("The top and bottom margins leave no room to print on the paper");
}

TRect TPrintableRVData::PrintAreaRect(int PageNo) const {
    return Bounds(GetPageLeft(PageNo), GetTopOffset(), GetWidth(), GetHeight());
}

TRect TPrintableRVData::PageRect() const {
    return TRect{0, 0, GetWidth() + LeftMarginPx + RightMarginPx, GetHeight() + TopMarginPx + BottomMarginPx};
}

// ---------------------------------------------------------------- rectangles, footnotes, endnotes

TRectPtblRVData::TRectPtblRVData(TCustomPrintableRV* ARV, TCustomPrintableRVData* AParentData,
                                 TCustomRVData* ASourceData)
    : TCustomMultiPagePtblRVData(ARV), SourceData(ASourceData), ParentData(AParentData) {
    ShareItemsFrom(*ASourceData);
}

TCanvas* TRectPtblRVData::GetCanvas() const {
    return MainData()->PrinterCanvas;
}

int TRectPtblRVData::GetPageTop(int PageNo) const {
    return (Pages && Pages->Count() ? TCustomMultiPagePtblRVData::GetPageTop(PageNo) : 0) - Top - DY;
}

int TRectPtblRVData::GetPageTop2(int PageNo) const {
    return (Pages && Pages->Count() ? TCustomMultiPagePtblRVData::GetPageTop2(PageNo) : 0) - Top - DY;
}

TRVColorMode TRectPtblRVData::GetColorMode() const {
    return MainData()->GetColorMode();
}

TRVEndnotePtblRVData::TRVEndnotePtblRVData(TCustomPrintableRV* ARV, TRVEndnoteItemInfo* AEndnote)
    : TCustomMultiPagePtblRVData(ARV), Endnote(AEndnote) {
    Pages = std::make_unique<TRVPageCollection>();
    NoBackground = true;
    ShareItemsFrom(*AEndnote->Document);
}

TCustomRVData* TRVEndnotePtblRVData::GetParentData() const {
    return MainData();
}

void TRVEndnotePtblRVData::GetDeviceScaling(TCanvas&, TRVScreenDeviceResolution& Resolution) const {
    Resolution = MainData()->Resolution;
}

TCanvas* TRVEndnotePtblRVData::GetCanvas() const {
    return MainData()->PrinterCanvas;
}

int TRVEndnotePtblRVData::GetPageTop(int PageNo) const {
    const TCustomMainPtblRVData& main = *MainData();
    return Pages->Page(PageNo).TopY - main.TopMarginPx - main.SourceTopMarginPx -
           (PageNo == 1 ? FirstPageStartY : NextPagesStartY);
}

int TRVEndnotePtblRVData::GetPageTop2(int PageNo) const {
    const TCustomMainPtblRVData& main = *MainData();
    return Pages->Page(PageNo).ContinuedTopY - main.TopMarginPx - main.SourceTopMarginPx -
           (PageNo == 1 ? FirstPageStartY : NextPagesStartY);
}

int TRVEndnotePtblRVData::GetPageLeft(int PageNo) const {
    return MainData()->GetPageLeft(PageNo);
}

int TRVEndnotePtblRVData::GetTopOffset() const {
    return MainData()->GetTopOffset();
}
