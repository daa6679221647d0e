// The recording printer: A4 paper at a fixed resolution, and the log of its
// documents and pages.
#include "platform/testing/RecordingPrinter.h"

namespace {
constexpr int A4WidthMM = 210;
constexpr int A4HeightMM = 297;
// Millimetres to device pixels: 5/127 is 1/25.4.
int MMToPixels(int MM, int PixelsPerInch) {
    return MulDiv(MM, PixelsPerInch * 5, 127);
}
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

TSize TRecordingPrinter::PaperSize() {
    TSize a4{MMToPixels(A4WidthMM, FPixelsPerInch), MMToPixels(A4HeightMM, FPixelsPerInch)};
    if (Orientation() == TPrinterOrientation::poLandscape) std::swap(a4.cx, a4.cy);
    return a4;
}

TRect TRecordingPrinter::PageRect() {
    TSize paper = PaperSize();
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
