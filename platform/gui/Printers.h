// The printer: one document of pages drawn through its canvas at the
// device's resolution, on a real printer or into a PDF file, and the seam
// through which code reaches "the printer" (tests install a recording one).
// The print and page set-up dialogs configure it through IDialogPrinter.
#pragma once

#include <vector>

#include "platform/canvas/Graphics.h"

enum class TPrinterOrientation { poPortrait, poLandscape };

// What the print and page set-up dialogs choose for the printer. Paper
// sizes are in hundredths of a millimetre, the paper standing upright.
struct TPrintSettings {
    AnsiString PrinterName;
    int Copies = 1;
    bool Collate = false;
    TPrinterOrientation Orientation = TPrinterOrientation::poPortrait;
    int PaperWidth = 21000;
    int PaperHeight = 29700;
    // The PDF file the document goes into instead of the printer; empty:
    // the printer.
    AnsiString FileName;
};

// The printer as these dialogs see it.
class IDialogPrinter {
public:
    virtual ~IDialogPrinter() = default;
    virtual TPrintSettings PrintSettings() const = 0;
    virtual void ApplyPrintSettings(const TPrintSettings& Settings) = 0;
};

// A paper a printer takes: its name and its size in hundredths of a
// millimetre, standing upright.
struct TPrinterPaper {
    AnsiString Name;
    int Width = 0;
    int Height = 0;
};

// A paper source (a tray) of a printer; Id is the device's number for it.
struct TPrinterBin {
    AnsiString Name;
    int Id = 0;
};

enum TPrinterCapability : unsigned { pcCopies = 1, pcOrientation = 2, pcCollation = 4 };
using TPrinterCapabilities = unsigned;

class EPrinter : public Exception {
public:
    using Exception::Exception;
};

// The document state, title, copies and orientation live here; the device
// behind them is the subclass's. Lengths are device pixels of the selected
// printer; the canvas measures at the printer's resolution also outside a
// document, and draws only inside one.
class TPrinter : public IDialogPrinter {
public:
    ~TPrinter() override;

    TCanvas* Canvas() { return DoCanvas(); }
    void BeginDoc();
    void NewPage();
    void EndDoc();
    // Ends the document and throws away what was printed.
    void Abort();
    bool Printing() const { return FPrinting; }
    bool Aborted() const { return FAborted; }
    // 1-based page of the document being printed, 0 outside one.
    int PageNumber() const { return FPageNumber; }

    // The printable area, and the paper with the unprintable border at its
    // left and top.
    int PageWidth() { return PageRect().Width(); }
    int PageHeight() { return PageRect().Height(); }
    int PhysicalWidth() { return PhysicalSize().cx; }
    int PhysicalHeight() { return PhysicalSize().cy; }
    int PhysicalOffsetX() { return PageRect().Left; }
    int PhysicalOffsetY() { return PageRect().Top; }
    int PixelsPerInchX() { return Resolution().cx; }
    int PixelsPerInchY() { return Resolution().cy; }

    TPrinterOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TPrinterOrientation Value);
    // The paper in hundredths of a millimetre, standing upright (the
    // orientation turns it): the one chosen, else the device's own.
    int PaperWidth() const { return Paper().cx; }
    int PaperHeight() const { return Paper().cy; }
    void SetPaperSize(int Width, int Height);
    // The papers and paper sources the selected printer offers, in its own
    // order; empty when it names none.
    virtual std::vector<TPrinterPaper> Papers() const { return {}; }
    virtual std::vector<TPrinterBin> Bins() const { return {}; }
    // The source the paper is taken from, a bin's Id; -1 leaves it to the
    // device.
    int PaperBin() const { return FPaperBin; }
    void SetPaperBin(int Id);
    const AnsiString& Title() const { return FTitle; }
    void SetTitle(const AnsiString& Value) { FTitle = Value; }
    int Copies() const { return FCopies; }
    void SetCopies(int Value);
    bool Collate() const { return FCollate; }
    void SetCollate(bool Value) { FCollate = Value; }
    virtual TPrinterCapabilities Capabilities() = 0;

    // The printers known to the system; index -1 is the default printer.
    virtual std::vector<AnsiString> Printers() const = 0;
    int PrinterIndex() const { return FPrinterIndex; }
    void SetPrinterIndex(int Value);
    // Selects a printer of Printers() by name; an empty name selects the
    // default one.
    void SetPrinterName(const AnsiString& Name);
    // The selected printer's name; empty when there is no printer at all.
    AnsiString PrinterName() const;
    // When not empty, documents go into this PDF file instead of a printer.
    const AnsiString& FileName() const { return FFileName; }
    void SetFileName(const AnsiString& Value);
    // Whether a document can be printed at all: on a printer, into the PDF
    // file set, or into one the print dialog asks for.
    bool CanPrint() const { return !Printers().empty() || !FFileName.empty() || PrintsToChosenFiles(); }

    // The dialogs' view: the printer, copies, collation, orientation and
    // paper; applying selects and sets them all.
    TPrintSettings PrintSettings() const override;
    void ApplyPrintSettings(const TPrintSettings& Settings) override;

protected:
    // Whether the print dialog offers a PDF file of the user's choosing.
    virtual bool PrintsToChosenFiles() const { return false; }
    virtual TCanvas* DoCanvas() = 0;
    virtual AnsiString DefaultPrinter() const = 0;
    // The paper the selected device has when none was chosen, as
    // PaperWidth and PaperHeight give it.
    virtual TSize DefaultPaper() const { return {21000, 29700}; }
    // The selected device: paper in device pixels, the printable area on it,
    // pixels per inch.
    virtual TSize PhysicalSize() = 0;
    virtual TRect PageRect() = 0;
    virtual TSize Resolution() = 0;
    virtual void DoBeginDoc() = 0;
    virtual void DoNewPage() = 0;
    virtual void DoEndDoc() = 0;
    virtual void DoAbort() = 0;
    // The device changed (printer, file, orientation, paper): the next measurement
    // reads it again.
    virtual void DeviceChanged() {}

private:
    void CheckPrinting(bool Value) const;
    TSize Paper() const { return FPaper.cx > 0 ? FPaper : DefaultPaper(); }
    bool FPrinting = false;
    bool FAborted = false;
    int FPageNumber = 0;
    TPrinterOrientation FOrientation = TPrinterOrientation::poPortrait;
    TSize FPaper{0, 0}; // none chosen
    int FPaperBin = -1;
    AnsiString FTitle;
    int FCopies = 1;
    bool FCollate = false;
    int FPrinterIndex = -1;
    AnsiString FFileName;
};

// The printer the program prints on: the installed one, else the system's
// (made on first use).
TPrinter* Printer();
// Installs a printer (nullptr: the system's again) and answers the one
// installed before; the caller keeps ownership of what it installs.
TPrinter* SetPrinter(TPrinter* Value);
