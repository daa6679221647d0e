// The common dialogs on screen: Qt's file, colour, font, print and page
// set-up dialogs, filled from the dialog objects and read back into them.
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/gui/Dialogs.h"
#include "platform/gui/QtSupport_p.h"

namespace {
constexpr int HundredthsPerMm = 100;
constexpr double MmPerInch = 25.4;
constexpr int ThousandthsPerInch = 1000;
constexpr int CustomColorCount = 16;

QString Title(const AnsiString& Text) {
    return QtString(Text);
}

// "RTF files (*.rtf)" for Qt: the description, then its patterns in
// brackets, once.
QStringList NameFilters(const TOpenDialog& Dialog) {
    QStringList filters;
    std::vector<AnsiString> descriptions = Dialog.FilterDescriptions();
    for (std::size_t i = 0; i < descriptions.size(); ++i) {
        QStringList patterns;
        for (const AnsiString& p : Dialog.FilterPatterns(int(i) + 1))
            patterns << QtString(p);
        QString joined = patterns.join(' ');
        QString text = QtString(descriptions[i]).trimmed();
        if (!text.endsWith('(' + joined + ')') && !text.endsWith('(' + patterns.join(';') + ')'))
            text += " (" + joined + ')';
        else
            text = text.left(text.lastIndexOf('(')).trimmed() + " (" + joined + ')';
        filters << text;
    }
    return filters;
}

bool RunFileDialog(TOpenDialog& Dialog, bool Save) {
    EnsureQtApplication();
    QFileDialog dialog;
    dialog.setWindowTitle(Title(Dialog.Title));
    dialog.setAcceptMode(Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (Save)
        dialog.setFileMode(QFileDialog::AnyFile);
    else if (Dialog.Options & ofAllowMultiSelect)
        dialog.setFileMode(QFileDialog::ExistingFiles);
    else
        dialog.setFileMode((Dialog.Options & ofFileMustExist) ? QFileDialog::ExistingFile
                                                              : QFileDialog::AnyFile);
    // The layer asks before replacing a file, once, through the message
    // boxes.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    AnsiString folder = ExtractFilePath(Dialog.FileName);
    if (folder.empty()) folder = Dialog.InitialDir;
    if (!folder.empty()) dialog.setDirectory(QtString(folder));
    if (!Dialog.FileName.empty()) dialog.selectFile(QtString(ExtractFileName(Dialog.FileName)));
    QStringList filters = NameFilters(Dialog);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        if (Dialog.FilterIndex >= 1 && Dialog.FilterIndex <= filters.size())
            dialog.selectNameFilter(filters[Dialog.FilterIndex - 1]);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    QStringList chosen = dialog.selectedFiles();
    Dialog.FileName = FromQtString(chosen.front());
    Dialog.Files()->Clear();
    for (const QString& f : chosen)
        Dialog.Files()->Add(FromQtString(f));
    if (int index = int(filters.indexOf(dialog.selectedNameFilter())); index >= 0)
        Dialog.FilterIndex = index + 1;
    return true;
}

QPageLayout::Orientation QtOrientation(TPrinterOrientation Orientation) {
    return Orientation == TPrinterOrientation::poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

// A Qt printer set up as the dialog's settings say.
void SetUp(QPrinter& Printer, const TPrintSettings& Settings) {
    if (!Settings.PrinterName.empty()) Printer.setPrinterName(QtString(Settings.PrinterName));
    if (!Settings.FileName.empty()) {
        Printer.setOutputFormat(QPrinter::PdfFormat);
        Printer.setOutputFileName(QtString(Settings.FileName));
    }
    Printer.setCopyCount(Settings.Copies);
    Printer.setCollateCopies(Settings.Collate);
    Printer.setPageOrientation(QtOrientation(Settings.Orientation));
    QSizeF paper(double(Settings.PaperWidth) / HundredthsPerMm,
                 double(Settings.PaperHeight) / HundredthsPerMm);
    Printer.setPageSize(QPageSize(paper, QPageSize::Millimeter));
}

void ReadBack(const QPrinter& Printer, TPrintSettings& Settings) {
    Settings.PrinterName = FromQtString(Printer.printerName());
    Settings.FileName = FromQtString(Printer.outputFileName());
    Settings.Copies = Printer.copyCount();
    Settings.Collate = Printer.collateCopies();
    QPageLayout layout = Printer.pageLayout();
    Settings.Orientation = layout.orientation() == QPageLayout::Landscape ? TPrinterOrientation::poLandscape
                                                                          : TPrinterOrientation::poPortrait;
    QSizeF paper = layout.pageSize().size(QPageSize::Millimeter);
    Settings.PaperWidth = int(paper.width() * HundredthsPerMm + 0.5);
    Settings.PaperHeight = int(paper.height() * HundredthsPerMm + 0.5);
}

// Margins in the page set-up dialog's units and millimetres.
double ToMm(int Value, TPageMeasureUnits Units) {
    return Units == TPageMeasureUnits::pmMillimeters ? double(Value) / HundredthsPerMm
                                                     : double(Value) * MmPerInch / ThousandthsPerInch;
}

int FromMm(double Mm, TPageMeasureUnits Units) {
    double value = Units == TPageMeasureUnits::pmMillimeters ? Mm * HundredthsPerMm
                                                             : Mm * ThousandthsPerInch / MmPerInch;
    return int(value + 0.5);
}
} // namespace

bool TOpenDialog::ShowOnScreen() {
    return RunFileDialog(*this, false);
}

bool TSaveDialog::ShowOnScreen() {
    return RunFileDialog(*this, true);
}

bool TColorDialog::ShowOnScreen() {
    EnsureQtApplication();
    // "ColorA=BBGGRR" (hexadecimal, the platform's colour layout).
    for (int i = 0; i < FCustomColors.Count(); ++i) {
        AnsiString name = FCustomColors.Names(i);
        bool ok = false;
        uint value = QtString(FCustomColors.ValueFromIndex(i)).toUInt(&ok, 16);
        if (ok && name.size() == 6 && SameText(name.substr(0, 5), "Color")) {
            int index = AnsiUpperChar(name[5]) - 'A';
            if (index >= 0 && index < CustomColorCount)
                QColorDialog::setCustomColor(index, QtColor(TColor(value)));
        }
    }
    QColorDialog dialog(QtColor(Color));
    if (dialog.exec() != QDialog::Accepted) return false;
    Color = FromQtColor(dialog.selectedColor());
    return true;
}

bool TFontDialog::ShowOnScreen() {
    EnsureQtApplication();
    QFontDialog dialog(QtFont(FFont.get()));
    if (Options & fdFixedPitchOnly) dialog.setOption(QFontDialog::MonospacedFonts);
    if (dialog.exec() != QDialog::Accepted) return false;
    QFont chosen = dialog.selectedFont();
    FFont->SetName(FromQtString(chosen.family()));
    if (chosen.pointSize() > 0) FFont->SetSize(chosen.pointSize());
    TFontStyles style = 0;
    if (chosen.bold()) style |= fsBold;
    if (chosen.italic()) style |= fsItalic;
    if (chosen.underline()) style |= fsUnderline;
    if (chosen.strikeOut()) style |= fsStrikeOut;
    FFont->SetStyle(style);
    return true;
}

bool TPrintDialog::ShowOnScreen() {
    EnsureQtApplication();
    // Without a printer the system's dialog offers none to choose, and
    // accepting it would print nowhere: the document goes into a PDF file.
    if (QPrinterInfo::availablePrinterNames().isEmpty()) return ChoosePdfFile();
    QPrinter printer;
    SetUp(printer, Settings);
    QPrintDialog dialog(&printer);
    QAbstractPrintDialog::PrintDialogOptions options =
        QAbstractPrintDialog::PrintShowPageSize | QAbstractPrintDialog::PrintCollateCopies;
    if (Options & poPageNums) options |= QAbstractPrintDialog::PrintPageRange;
    if (Options & poSelection) options |= QAbstractPrintDialog::PrintSelection;
    if ((Options & poPrintToFile) && !(Options & poDisablePrintToFile))
        options |= QAbstractPrintDialog::PrintToFile;
    dialog.setOptions(options);
    if (MaxPage > 0) dialog.setMinMax(MinPage, MaxPage);
    if (FromPage > 0 && ToPage >= FromPage) dialog.setFromTo(FromPage, ToPage);
    switch (PrintRange) {
    case TPrintRange::prSelection:
        dialog.setPrintRange(QAbstractPrintDialog::Selection);
        break;
    case TPrintRange::prPageNums:
        dialog.setPrintRange(QAbstractPrintDialog::PageRange);
        break;
    default:
        dialog.setPrintRange(QAbstractPrintDialog::AllPages);
        break;
    }
    if (dialog.exec() != QDialog::Accepted) return false;
    // A file chosen without a name is no place to print.
    if (printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty()) return false;
    ReadBack(printer, Settings);
    switch (dialog.printRange()) {
    case QAbstractPrintDialog::Selection:
        PrintRange = TPrintRange::prSelection;
        break;
    case QAbstractPrintDialog::PageRange:
        PrintRange = TPrintRange::prPageNums;
        FromPage = printer.fromPage();
        ToPage = printer.toPage();
        break;
    default:
        PrintRange = TPrintRange::prAllPages;
        break;
    }
    PrintToFile = !printer.outputFileName().isEmpty();
    return true;
}

bool TPrintDialog::ChoosePdfFile() {
    TSaveDialog file(nullptr);
    file.Title = "Печать в файл PDF"_cp;
    file.Filter = "Файлы PDF (*.pdf)|*.pdf"_cp;
    file.DefaultExt = "pdf";
    file.FileName = Settings.FileName;
    file.Options = ofOverwritePrompt | ofHideReadOnly | ofPathMustExist | ofEnableSizing;
    if (!file.Execute()) return false;
    Settings.FileName = file.FileName;
    PrintRange = TPrintRange::prAllPages;
    PrintToFile = true;
    return true;
}

bool TPageSetupDialog::ShowOnScreen() {
    EnsureQtApplication();
    QPrinter printer;
    SetUp(printer, Settings);
    printer.setPageMargins(QMarginsF(ToMm(MarginLeft, Units), ToMm(MarginTop, Units),
                                     ToMm(MarginRight, Units), ToMm(MarginBottom, Units)),
                           QPageLayout::Millimeter);
    QPageSetupDialog dialog(&printer);
    if (dialog.exec() != QDialog::Accepted) return false;
    ReadBack(printer, Settings);
    QMarginsF margins = printer.pageLayout().margins(QPageLayout::Millimeter);
    MarginLeft = FromMm(margins.left(), Units);
    MarginTop = FromMm(margins.top(), Units);
    MarginRight = FromMm(margins.right(), Units);
    MarginBottom = FromMm(margins.bottom(), Units);
    return true;
}
