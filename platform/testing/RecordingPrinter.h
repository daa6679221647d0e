// The printer of the tests: fixed resolution and paper, a canvas of fixed
// metrics that logs its calls, and a record of every document and page.
#pragma once

#include <vector>

#include "platform/gui/Printers.h"
#include "platform/testing/TestCanvases.h"

// Installs itself as the printer for its lifetime. The paper (A4 unless
// another is chosen) is measured at the resolution, less the unprintable
// Border; the canvas's fixed metrics are
// the recording canvas's scaled from the screen to the resolution.
class TRecordingPrinter : public TPrinter {
public:
    static constexpr int DefaultPixelsPerInch = 600;
    explicit TRecordingPrinter(int PixelsPerInch = DefaultPixelsPerInch);
    ~TRecordingPrinter() override;

    // The printer's own calls, e.g. "BeginDoc 'Report' copies=2 collate",
    // "NewPage", "EndDoc", "Abort".
    std::vector<AnsiString> Log;
    // The canvas calls of every finished page of the last document; those of
    // the page being printed are in the canvas's log.
    std::vector<std::vector<AnsiString>> Pages;
    // The printers offered; the first is the default one.
    std::vector<AnsiString> Names{"Recording printer"};
    TPrinterCapabilities Caps = pcCopies | pcOrientation | pcCollation;
    // The papers and sources the printer offers.
    std::vector<TPrinterPaper> OfferedPapers;
    std::vector<TPrinterBin> OfferedBins;
    // Unprintable border of the paper, device pixels.
    TRect Border;
    // BeginDoc raises EPrinter, as a printer that is off.
    bool Offline = false;
    TRecordingCanvas& RecordingCanvas() { return FCanvas; }

    TPrinterCapabilities Capabilities() override { return Caps; }
    std::vector<AnsiString> Printers() const override { return Names; }
    std::vector<TPrinterPaper> Papers() const override { return OfferedPapers; }
    std::vector<TPrinterBin> Bins() const override { return OfferedBins; }

protected:
    AnsiString DefaultPrinter() const override { return Names.empty() ? AnsiString() : Names.front(); }
    TCanvas* DoCanvas() override { return &FCanvas; }
    TSize PhysicalSize() override;
    TRect PageRect() override;
    TSize Resolution() override { return {FPixelsPerInch, FPixelsPerInch}; }
    void DoBeginDoc() override;
    void DoNewPage() override;
    void DoEndDoc() override;
    void DoAbort() override;

private:
    int FPixelsPerInch;
    TRecordingCanvas FCanvas;
    TPrinter* FPrevious;
};
