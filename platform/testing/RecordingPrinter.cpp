// The recording printer: its paper at a fixed resolution, and the log of its
// documents and pages.
#include "platform/testing/RecordingPrinter.h"

namespace {
constexpr int HundredthsMmPerInch = 2540;
int Scaled(int ScreenPixels, int PixelsPerInch) {
    return MulDiv(ScreenPixels, PixelsPerInch, ScreenPixelsPerInch);
}
} // namespace

TRecordingPrinter::TRecordingPrinter(int PixelsPerInch)
    : FPixelsPerInch(PixelsPerInch),
      FCanvas(Scaled(TFixedMetricsCanvas::DefaultCharWidth, PixelsPerInch),
              Scaled(TFixedMetricsCanvas::DefaultAscent, PixelsPerInch),
              Scaled(TFixedMetricsCanvas::DefaultDescent, PixelsPerInch), PixelsPerInch),
      FPrevious(SetPrinter(this)) {}

TRecordingPrinter::~TRecordingPrinter() {
    SetPrinter(FPrevious);
}

TSize TRecordingPrinter::PhysicalSize() {
    TSize paper{MulDiv(PaperWidth(), FPixelsPerInch, HundredthsMmPerInch),
                MulDiv(PaperHeight(), FPixelsPerInch, HundredthsMmPerInch)};
    if (Orientation() == TPrinterOrientation::poLandscape) std::swap(paper.cx, paper.cy);
    return paper;
}

TRect TRecordingPrinter::PageRect() {
    TSize paper = PhysicalSize();
    return {Border.Left, Border.Top, paper.cx - Border.Right, paper.cy - Border.Bottom};
}

void TRecordingPrinter::DoBeginDoc() {
    if (Offline) throw EPrinter("Cannot print on " + PrinterName());
    Log.push_back("BeginDoc '" + Title() + "' copies=" + IntToStr(Copies()) + (Collate() ? " collate" : ""));
    Pages.clear();
    FCanvas.Log.clear();
}

void TRecordingPrinter::DoNewPage() {
    Log.push_back("NewPage");
    Pages.push_back(std::move(FCanvas.Log));
    FCanvas.Log.clear();
}

void TRecordingPrinter::DoEndDoc() {
    Log.push_back("EndDoc");
    Pages.push_back(std::move(FCanvas.Log));
    FCanvas.Log.clear();
}

void TRecordingPrinter::DoAbort() {
    Log.push_back("Abort");
    Pages.push_back(std::move(FCanvas.Log));
    FCanvas.Log.clear();
}
