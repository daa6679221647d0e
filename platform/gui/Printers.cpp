// The printer's document state, its settings as the dialogs see them, the
// seam that gives "the printer", and the system's printer: a Qt printer, or
// a PDF file written beside its target and renamed over it when the
// document ends.
#include "platform/gui/Printers.h"

#include <QFile>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <utility>

#include "platform/canvas/QtCanvas.h"
#include "platform/canvas/QtCanvasSupport.h"
#include "platform/rtl/ScopeGuard.h"

// TPrinter

TPrinter::~TPrinter() = default;

void TPrinter::CheckPrinting(bool Value) const {
    if (FPrinting == Value) return;
    throw EPrinter(Value ? "No document is being printed" : "A document is already being printed");
}

void TPrinter::BeginDoc() {
    CheckPrinting(false);
    FAborted = false;
    DoBeginDoc();
    FPrinting = true;
    FPageNumber = 1;
}

void TPrinter::NewPage() {
    CheckPrinting(true);
    DoNewPage();
    ++FPageNumber;
}

void TPrinter::EndDoc() {
    CheckPrinting(true);
    TScopeGuard ended([this] {
        FPrinting = false;
        FPageNumber = 0;
    });
    DoEndDoc();
}

void TPrinter::Abort() {
    CheckPrinting(true);
    TScopeGuard ended([this] {
        FPrinting = false;
        FAborted = true;
        FPageNumber = 0;
    });
    DoAbort();
}

void TPrinter::SetOrientation(TPrinterOrientation Value) {
    if (Value == FOrientation) return;
    // The page size would change in the middle of a document.
    CheckPrinting(false);
    FOrientation = Value;
    DeviceChanged();
}

void TPrinter::SetPaperSize(int Width, int Height) {
    if (Width <= 0 || Height <= 0)
        throw EPrinter("There is no paper of " + IntToStr(Width) + " x " + IntToStr(Height));
    if (TSize{Width, Height} == Paper()) return;
    CheckPrinting(false);
    FPaper = {Width, Height};
    DeviceChanged();
}

void TPrinter::SetPaperBin(int Id) {
    if (Id == FPaperBin) return;
    CheckPrinting(false);
    FPaperBin = Id;
    DeviceChanged();
}

void TPrinter::SetCopies(int Value) {
    FCopies = std::max(1, Value);
}

void TPrinter::SetPrinterIndex(int Value) {
    CheckPrinting(false);
    if (Value < -1 || Value >= int(Printers().size()))
        throw EPrinter("There is no printer number " + IntToStr(Value));
    FPrinterIndex = Value;
    DeviceChanged();
}

void TPrinter::SetPrinterName(const AnsiString& Name) {
    if (Name.empty()) return SetPrinterIndex(-1);
    std::vector<AnsiString> names = Printers();
    auto found = std::find(names.begin(), names.end(), Name);
    if (found == names.end()) throw EPrinter("There is no printer named \"" + Name + "\"");
    SetPrinterIndex(int(found - names.begin()));
}

AnsiString TPrinter::PrinterName() const {
    if (FPrinterIndex < 0) return DefaultPrinter();
    return Printers().at(std::size_t(FPrinterIndex));
}

void TPrinter::SetFileName(const AnsiString& Value) {
    if (Value == FFileName) return;
    CheckPrinting(false);
    FFileName = Value;
    DeviceChanged();
}

TPrintSettings TPrinter::PrintSettings() const {
    TPrintSettings s;
    s.PrinterName = PrinterName();
    s.Copies = FCopies;
    s.Collate = FCollate;
    s.Orientation = FOrientation;
    s.PaperWidth = PaperWidth();
    s.PaperHeight = PaperHeight();
    s.FileName = FFileName;
    return s;
}

void TPrinter::ApplyPrintSettings(const TPrintSettings& Settings) {
    // The printer first: the paper and the rest are then set on it.
    if (Settings.PrinterName != PrinterName()) SetPrinterName(Settings.PrinterName);
    SetFileName(Settings.FileName);
    SetOrientation(Settings.Orientation);
    SetPaperSize(Settings.PaperWidth, Settings.PaperHeight);
    SetCopies(Settings.Copies);
    SetCollate(Settings.Collate);
}

// The system's printer

namespace {
// PDF files have no device of their own; this is the resolution they get.
constexpr int PdfPixelsPerInch = 600;
constexpr double HundredthsPerMm = 100;

class TQtPrinter : public TPrinter {
public:
    TQtPrinter() : FCanvas(static_cast<QPainter*>(nullptr)) {}
    ~TQtPrinter() override {
        if (Printing()) try {
                Abort();
            } catch (...) {
            }
    }
    TPrinterCapabilities Capabilities() override {
        TPrinterCapabilities caps = pcOrientation;
        if (!ToPdf() && Device().supportsMultipleCopies()) caps |= pcCopies | pcCollation;
        return caps;
    }
    std::vector<AnsiString> Printers() const override {
        EnsureGuiApplication();
        std::vector<AnsiString> names;
        for (const QString& name : QPrinterInfo::availablePrinterNames())
            names.push_back(FromQtString(name));
        return names;
    }
    // A printer's own papers; a PDF file takes the common ones. Qt names a
    // printer's paper sources only on Windows, so it offers none here.
    std::vector<TPrinterPaper> Papers() const override {
        EnsureGuiApplication();
        QList<QPageSize> sizes;
        if (ToPdf() || PrinterName().empty()) {
            for (QPageSize::PageSizeId id : {QPageSize::A3, QPageSize::A4, QPageSize::A5, QPageSize::B5,
                                             QPageSize::Letter, QPageSize::Legal, QPageSize::Executive})
                sizes.append(QPageSize(id));
        } else {
            sizes = QPrinterInfo::printerInfo(QtString(PrinterName())).supportedPageSizes();
        }
        std::vector<TPrinterPaper> papers;
        for (const QPageSize& size : sizes) {
            QSizeF mm = size.size(QPageSize::Millimeter);
            papers.push_back({FromQtString(size.name()), int(mm.width() * HundredthsPerMm + 0.5),
                              int(mm.height() * HundredthsPerMm + 0.5)});
        }
        return papers;
    }

protected:
    // The system's print dialog always offers a PDF file.
    bool PrintsToChosenFiles() const override { return true; }
    AnsiString DefaultPrinter() const override {
        EnsureGuiApplication();
        return FromQtString(QPrinterInfo::defaultPrinterName());
    }
    TCanvas* DoCanvas() override {
        Device();
        return &FCanvas;
    }
    TSize DefaultPaper() const override {
        if (!ToPdf()) {
            EnsureGuiApplication();
            QPageSize own = QPrinterInfo::printerInfo(QtString(PrinterName())).defaultPageSize();
            if (own.isValid()) {
                QSizeF mm = own.size(QPageSize::Millimeter);
                return {int(mm.width() * HundredthsPerMm + 0.5), int(mm.height() * HundredthsPerMm + 0.5)};
            }
        }
        return TPrinter::DefaultPaper();
    }
    TSize PhysicalSize() override {
        QRect paper = Device().paperRect(QPrinter::DevicePixel).toAlignedRect();
        return {paper.width(), paper.height()};
    }
    TRect PageRect() override {
        QRect page = Device().pageRect(QPrinter::DevicePixel).toAlignedRect();
        return Bounds(page.left(), page.top(), page.width(), page.height());
    }
    TSize Resolution() override {
        int dpi = Device().resolution();
        return {dpi, dpi};
    }
    void DeviceChanged() override { FDevice.reset(); }

    void DoBeginDoc() override {
        QPrinter& device = Device();
        device.setDocName(QtString(Title()));
        device.setCopyCount(Copies());
        device.setCollateCopies(Collate());
        if (ToPdf()) device.setOutputFileName(QtString(PartFile()));
        FPainter = std::make_unique<QPainter>();
        if (!FPainter->begin(&device)) {
            FPainter.reset();
            if (ToPdf()) QFile::remove(QtString(PartFile()));
            throw EPrinter("Cannot print on " + (ToPdf() ? FileName() : PrinterName()));
        }
        FCanvas.SetPainter(FPainter.get());
    }
    void DoNewPage() override {
        if (!Device().newPage()) throw EPrinter("Cannot start a new page");
    }
    void DoEndDoc() override {
        FCanvas.SetPainter(nullptr);
        bool written = FPainter->end();
        FPainter.reset();
        if (!ToPdf()) {
            if (!written) throw EPrinter("Printing on " + PrinterName() + " failed");
            return;
        }
        // Renamed over the target only when whole: a failed document leaves
        // the file that was there.
        QString part = QtString(PartFile()), target = QtString(FileName());
        if (written && (!QFile::exists(target) || QFile::remove(target)) && QFile::rename(part, target))
            return;
        QFile::remove(part);
        throw EPrinter("Cannot write " + FileName());
    }
    void DoAbort() override {
        FCanvas.SetPainter(nullptr);
        Device().abort();
        FPainter->end();
        FPainter.reset();
        if (ToPdf()) QFile::remove(QtString(PartFile()));
    }

private:
    bool ToPdf() const { return !FileName().empty(); }
    AnsiString PartFile() const { return FileName() + ".part"; }

    // The selected device, made on first need.
    QPrinter& Device() {
        if (FDevice) return *FDevice;
        EnsureGuiApplication();
        if (ToPdf()) {
            FDevice = std::make_unique<QPrinter>(QPrinter::HighResolution);
            FDevice->setOutputFormat(QPrinter::PdfFormat);
            FDevice->setResolution(PdfPixelsPerInch);
        } else {
            QPrinterInfo info = QPrinterInfo::printerInfo(QtString(PrinterName()));
            FDevice = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        }
        // A size that matches a named paper becomes that paper.
        FDevice->setPageSize(
            QPageSize(QSizeF(double(PaperWidth()) / HundredthsPerMm, double(PaperHeight()) / HundredthsPerMm),
                      QPageSize::Millimeter));
        FDevice->setPageOrientation(Orientation() == TPrinterOrientation::poLandscape
                                        ? QPageLayout::Landscape
                                        : QPageLayout::Portrait);
        if (ToPdf()) FDevice->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        FCanvas.SetPixelsPerInch(FDevice->resolution());
        return *FDevice;
    }

    std::unique_ptr<QPrinter> FDevice;
    std::unique_ptr<QPainter> FPainter;
    TQtCanvas FCanvas;
};

std::unique_ptr<TPrinter> gSystemPrinter;
TPrinter* gInstalled = nullptr;
} // namespace

TPrinter* Printer() {
    if (gInstalled) return gInstalled;
    if (!gSystemPrinter) gSystemPrinter = std::make_unique<TQtPrinter>();
    return gSystemPrinter.get();
}

TPrinter* SetPrinter(TPrinter* Value) {
    return std::exchange(gInstalled, Value);
}
