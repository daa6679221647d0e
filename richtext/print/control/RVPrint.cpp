// The print component: the layer's printer as the printout's device,
// formatting, margins, and printing page ranges with copies.
#include "richtext/print/control/RVPrint.h"

#include <algorithm>

#include "platform/rtl/ScopeGuard.h"

namespace {

// The layer's current printer as the printout sees it; no canvas when the
// system has no printer and no file is chosen.
class TLayerPrinterDevice : public TRVPrinterDevice {
public:
    TCanvas* Canvas() override {
        TPrinter* p = Printer();
        if (!p || (p->FileName().empty() && p->PrinterName().empty())) return nullptr;
        return p->Canvas();
    }
    int PageWidth() override { return Printer()->PageWidth(); }
    int PageHeight() override { return Printer()->PageHeight(); }
    int PhysicalWidth() override { return Printer()->PhysicalWidth(); }
    int PhysicalHeight() override { return Printer()->PhysicalHeight(); }
    int PhysicalOffsetX() override { return Printer()->PhysicalOffsetX(); }
    int PhysicalOffsetY() override { return Printer()->PhysicalOffsetY(); }
    int PixelsPerInchX() override { return Printer()->PixelsPerInchX(); }
    int PixelsPerInchY() override { return Printer()->PixelsPerInchY(); }
};

} // namespace

TCustomRVPrint::TCustomRVPrint(TComponent* AOwner)
    : TComponent(AOwner), FDevice(std::make_unique<TLayerPrinterDevice>()) {}

TCustomRVPrint::~TCustomRVPrint() = default;

void TCustomRVPrint::Init() {
    PrintableRV = CreatePrintableRV();
    PrintableRV->Device = FDevice.get();
    PrintableRV->PreviewCorrection = true;
    PrintableRV->RVData().ColorMode = rvcmPrinterColor;
}

int TCustomRVPrint::FormatPages() {
    if (++FFormatCounter == 10000) FFormatCounter = 0;
    int pages = PrintableRV->FormatPages();
    FReady = true;
    return pages;
}

void TCustomRVPrint::Clear() {
    PrintableRV->Clear();
    FReady = false;
}

void TCustomRVPrint::Print(const AnsiString& Title, int Copies, bool Collate) {
    PrintPages(1, GetPagesCount(), Title, Copies, Collate);
}

void TCustomRVPrint::PrintPages(int FirstPageNo, int LastPageNo, const AnsiString& Title, int Copies,
                                bool Collate) {
    if (LastPageNo < FirstPageNo) return;
    auto notify = [&](int Page, TRVPrintingStep Step) {
        if (OnSendingToPrinter) OnSendingToPrinter(PrintableRV.get(), Page, Step);
    };
    notify(0, rvpsStarting);
    TPrinter& printer = *Printer();
    printer.SetTitle(Title);
    int savedCopies = printer.Copies();
    Copies = std::max(Copies, 1);
    int loops = Copies;
    if ((printer.Capabilities() & pcCopies) && Collate) {
        printer.SetCopies(Copies);
        loops = 1;
    } else {
        printer.SetCopies(1);
    }
    TScopeGuard restore([&] { printer.SetCopies(savedCopies); });
    printer.BeginDoc();
    try {
        auto page = [&](int PageNo, bool Last) {
            DrawPage(PageNo, *printer.Canvas(), false);
            notify(PageNo, rvpsProceeding);
            if (!Last) printer.NewPage();
        };
        if (Collate) {
            for (int c = 0; c < loops; ++c)
                for (int p = FirstPageNo; p <= LastPageNo; ++p)
                    page(p, c == loops - 1 && p == LastPageNo);
        } else {
            for (int p = FirstPageNo; p <= LastPageNo; ++p)
                for (int c = 0; c < loops; ++c)
                    page(p, c == loops - 1 && p == LastPageNo);
        }
    } catch (...) {
        if (printer.Printing()) printer.Abort();
        throw;
    }
    printer.EndDoc();
    notify(0, rvpsFinished);
}

void TCustomRVPrint::DrawPage(int PageNo, TCanvas& Canvas, bool Preview) {
    if (PageNo < 1 || PageNo > GetPagesCount())
        throw EZoroZudoError("Invalid page number is specified for printing");
    PrintableRV->DrawPage(PageNo, Canvas, Preview, Preview && PreviewCorrection());
}

int TCustomRVPrint::GetPageWidth() const {
    const TCustomMainPtblRVData& d = PrintableRV->RVData();
    return PrintableRV->ClientWidth + d.LeftMarginPx + d.RightMarginPx;
}

int TCustomRVPrint::GetPageHeight() const {
    const TCustomMainPtblRVData& d = PrintableRV->RVData();
    return PrintableRV->ClientHeight + d.TopMarginPx + d.BottomMarginPx;
}

void TCustomRVPrint::DrawMarginsRect(TCanvas& Canvas, const TRect& R, int PageNo) {
    const TCustomMainPtblRVData& d = PrintableRV->RVData();
    int w = GetPageWidth(), h = GetPageHeight();
    if (w <= 0 || h <= 0) return;
    int l = d.GetPageLeft(PageNo), t = d.TopMarginPx;
    int rw = R.Width(), rh = R.Height();
    Canvas.Rectangle(R.Left + MulDiv(l, rw, w), R.Top + MulDiv(t, rh, h),
                     R.Left + MulDiv(l + PrintableRV->ClientWidth, rw, w),
                     R.Top + MulDiv(t + PrintableRV->ClientHeight, rh, h));
}

int TCustomRVPrint::GetPageWidthOnScreen() const {
    return ScaleXToScreen(GetPageWidth(), PrintableRV->RVData().Resolution);
}

int TCustomRVPrint::GetPageHeightOnScreen() const {
    return ScaleYToScreen(GetPageHeight(), PrintableRV->RVData().Resolution);
}

void TCustomRVPrint::DrawPreview(int PageNo, TCanvas& Canvas, const TRect& R) {
    Canvas.Pen()->SetColor(clWhite);
    Canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    Canvas.Brush()->SetColor(clWhite);
    Canvas.FillRect(R);
    int w = GetPageWidth(), h = GetPageHeight();
    if (w <= 0 || h <= 0 || R.IsEmpty() || PageNo < 1 || PageNo > GetPagesCount()) return;
    // The page keeps its device pixels; the canvas maps them into R.
    const int ppi = Canvas.PixelsPerInch();
    Canvas.SaveState();
    TScopeGuard restore([&] {
        Canvas.RestoreState();
        Canvas.SetPixelsPerInch(ppi);
    });
    Canvas.MoveOrigin(R.Left, R.Top);
    Canvas.SetScale({w, h}, {R.Width(), R.Height()});
    Canvas.SetPixelsPerInch(PrintableRV->RVData().Resolution.DevicePpiY);
    DrawPage(PageNo, Canvas, true);
}

TRect TCustomRVPrint::GetMinimalMargins(bool InScreenPixels) const {
    const TCustomMainPtblRVData& d = PrintableRV->RVData();
    TRect r(d.PhysicalOffsetX, d.PhysicalOffsetY, d.UnprintableRight, d.UnprintableBottom);
    if (InScreenPixels) {
        r.Left = ScaleXToScreen(r.Left, d.Resolution);
        r.Right = ScaleXToScreen(r.Right, d.Resolution);
        r.Top = ScaleYToScreen(r.Top, d.Resolution);
        r.Bottom = ScaleYToScreen(r.Bottom, d.Resolution);
    }
    return r;
}

// ---------------------------------------------------------------- TRVPrint

TRVPrint::TRVPrint(TComponent* AOwner) : TCustomRVPrint(AOwner) {
    Init();
    PrintableRV->OnFormatting = [this](int Page, TRVPrintingStep Step) {
        if (OnFormatting) OnFormatting(PrintableRV.get(), Page, Step);
    };
    PrintableRV->OnPagePrepaint = [this](int PageNo, TCanvas& Canvas, bool Preview, const TRect& PageRect,
                                         const TRect& Area) {
        if (OnPagePrepaint) OnPagePrepaint(this, PageNo, Canvas, Preview, PageRect, Area);
    };
    PrintableRV->OnPagePostpaint = [this](int PageNo, TCanvas& Canvas, bool Preview, const TRect& PageRect,
                                          const TRect& Area) {
        if (OnPagePostpaint) OnPagePostpaint(this, PageNo, Canvas, Preview, PageRect, Area);
    };
}

std::unique_ptr<TCustomPrintableRV> TRVPrint::CreatePrintableRV() {
    return std::make_unique<TPrintableRV>();
}

void TRVPrint::AssignSource(TCustomRVFormattedData& Source) {
    Clear();
    FSourceView = &Source;
    PrintableRV->AssignSource(Source, nullptr);
}

void TRVPrint::Clear() {
    TCustomRVPrint::Clear();
    FSourceView = nullptr;
}

std::vector<TRVPageStartPlace> TRVPrint::SoftPageBreaks() const {
    return GetSoftPageBreaks(PrintableRV->RVData());
}

void TRVPrint::CheckMargins(int Left, int Right, int Top, int Bottom, const char* Name) const {
    if (Left < 0 || Right < 0 || Top < 0 || Bottom < 0)
        throw EZoroZudoError(Format("The %s margin cannot be negative", {AnsiString(Name)}));
    // The paper in hundredths of a millimetre, as the printer holds it.
    TPrinter* p = Printer();
    if (!p) return;
    int width = p->PaperWidth(), height = p->PaperHeight();
    if (p->Orientation() == TPrinterOrientation::poLandscape) std::swap(width, height);
    if ((Left + Right) * 100 >= width || (Top + Bottom) * 100 >= height)
        throw EZoroZudoError(
            Format("The %s margin leaves no room to print on the paper", {AnsiString(Name)}));
}

void TRVPrint::SetLeftMarginMM(int Value) {
    CheckMargins(Value, RightMarginMM(), TopMarginMM(), BottomMarginMM(), "left");
    Printable().LeftMarginMM = Value;
}

void TRVPrint::SetRightMarginMM(int Value) {
    CheckMargins(LeftMarginMM(), Value, TopMarginMM(), BottomMarginMM(), "right");
    Printable().RightMarginMM = Value;
}

void TRVPrint::SetTopMarginMM(int Value) {
    CheckMargins(LeftMarginMM(), RightMarginMM(), Value, BottomMarginMM(), "top");
    Printable().TopMarginMM = Value;
}

void TRVPrint::SetBottomMarginMM(int Value) {
    CheckMargins(LeftMarginMM(), RightMarginMM(), TopMarginMM(), Value, "bottom");
    Printable().BottomMarginMM = Value;
}
