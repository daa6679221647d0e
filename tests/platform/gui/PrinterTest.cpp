// The printer: documents printed into PDF files through the printer's
// canvas and read back with poppler's tools, the paper and orientation the
// print dialogs choose, the document's errors, and the recording printer
// behind the seam.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>

#include "platform/gui/Dialogs.h"
#include "platform/gui/Printers.h"
#include "platform/testing/RecordingPrinter.h"
#include "platform/testing/ScriptedDialogs.h"
#include "support/TestSupport.h"

namespace {
// What a command prints on its standard output.
std::string Output(const std::string& Command) {
    std::string out;
    FILE* pipe = popen(Command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    pclose(pipe);
    return out;
}

struct TWordBox {
    std::string Word;
    double Left, Right;
};

// The words of one page with their left and right edges in points.
std::vector<TWordBox> Words(const std::string& Pdf, int Page) {
    std::string html = Output("pdftotext -bbox -f " + std::to_string(Page) + " -l " + std::to_string(Page) +
                              " '" + Pdf + "' -");
    std::vector<TWordBox> words;
    const std::regex word(
        "<word xMin=\"([0-9.]+)\" yMin=\"[0-9.]+\" xMax=\"([0-9.]+)\" yMax=\"[0-9.]+\">([^<]*)</word>");
    for (std::sregex_iterator i(html.begin(), html.end(), word), end; i != end; ++i)
        words.push_back({(*i)[3], std::stod((*i)[1]), std::stod((*i)[2])});
    return words;
}

double PixelsToPoints(int Pixels) {
    return Pixels * 72.0 / 600.0;
}

// The size of the PDF's pages in points, as pdfinfo reports it.
std::pair<double, double> PageSizePoints(const std::string& Pdf) {
    std::string info = Output("pdfinfo '" + Pdf + "'");
    std::smatch size;
    if (!std::regex_search(info, size, std::regex("Page size: +([0-9.]+) x ([0-9.]+) pts"))) return {0, 0};
    return {std::stod(size[1]), std::stod(size[2])};
}

struct PdfPrinterTest : ::testing::Test {
    void SetUp() override {
        ASSERT_FALSE(Output("command -v pdftotext").empty()) << "poppler-utils reads the PDF back";
        P->SetFileName(Pdf);
        P->SetTitle("Motivation report");
    }
    void TearDown() override {
        P->ApplyPrintSettings(Saved);
        P->SetFileName("");
    }
    TTempFolder Folder;
    std::string Pdf = Folder.Path() + "report.pdf";
    // Prints one page with Text and answers the PDF's page size in points.
    std::pair<double, double> PrintOnePage(const AnsiString& Text) {
        P->BeginDoc();
        P->Canvas()->TextOut(100, 100, Text);
        P->EndDoc();
        return PageSizePoints(Pdf);
    }
    TPrinter* P = Printer();
    TPrintSettings Saved = P->PrintSettings();
};
} // namespace

TEST_F(PdfPrinterTest, TwoPagesPrintedThroughTheCanvasReadBackWithTheirSizeAndText) {
    EXPECT_EQ(P->PixelsPerInchX(), 600);
    EXPECT_EQ(P->Canvas()->PixelsPerInch(), 600);
    // A4, which Qt keeps in whole points (595 x 842).
    EXPECT_NEAR(P->PageWidth(), 4961, 4);
    EXPECT_NEAR(P->PageHeight(), 7016, 4);
    EXPECT_EQ(P->PhysicalOffsetX(), 0);

    P->BeginDoc();
    EXPECT_TRUE(P->Printing());
    TCanvas* c = P->Canvas();
    c->Font()->SetName("Arial");
    c->Font()->SetSize(12);
    EXPECT_EQ(c->Font()->Height(), -100);
    const AnsiString first = "Motivation profile";
    c->TextOut(600, 600, first);
    const int firstWidth = c->TextWidth(first);
    P->NewPage();
    EXPECT_EQ(P->PageNumber(), 2);
    c->Font()->SetName("Times New Roman");
    c->TextOut(1200, 1200, "Ведущая шкала"_cp);
    const int secondWidth = c->TextWidth("Ведущая шкала"_cp);
    P->EndDoc();
    EXPECT_FALSE(P->Printing());
    EXPECT_FALSE(std::filesystem::exists(Pdf + ".part"));

    std::string info = Output("pdfinfo '" + Pdf + "'");
    EXPECT_NE(info.find("Pages:           2"), std::string::npos) << info;
    EXPECT_NE(info.find("Title:           Motivation report"), std::string::npos) << info;
    std::smatch size;
    ASSERT_TRUE(std::regex_search(info, size, std::regex("Page size: +([0-9.]+) x ([0-9.]+) pts"))) << info;
    EXPECT_NEAR(std::stod(size[1]), 595.28, 0.5);
    EXPECT_NEAR(std::stod(size[2]), 841.89, 0.5);

    // The text is where the canvas put it and ends where its width says.
    std::vector<TWordBox> one = Words(Pdf, 1), two = Words(Pdf, 2);
    ASSERT_EQ(one.size(), 2u);
    EXPECT_EQ(one[0].Word + " " + one[1].Word, "Motivation profile");
    EXPECT_NEAR(one[0].Left, PixelsToPoints(600), 1);
    EXPECT_NEAR(one[1].Right, PixelsToPoints(600 + firstWidth), 1);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].Word + " " + two[1].Word, "Ведущая шкала");
    EXPECT_NEAR(two[0].Left, PixelsToPoints(1200), 1);
    EXPECT_NEAR(two[1].Right, PixelsToPoints(1200 + secondWidth), 1);
}

TEST_F(PdfPrinterTest, LandscapeTurnsThePage) {
    P->SetOrientation(TPrinterOrientation::poLandscape);
    EXPECT_NEAR(P->PageWidth(), 7016, 4);
    EXPECT_NEAR(P->PageHeight(), 4961, 4);
    auto [width, height] = PrintOnePage("Landscape");
    EXPECT_NEAR(width, 841.89, 0.5);
    EXPECT_NEAR(height, 595.28, 0.5);
}

TEST_F(PdfPrinterTest, APdfFileOffersTheCommonPapersAndThePaperChosenPrints) {
    std::vector<TPrinterPaper> papers = P->Papers();
    auto a5 =
        std::find_if(papers.begin(), papers.end(), [](const TPrinterPaper& p) { return p.Name == "A5"; });
    ASSERT_NE(a5, papers.end());
    EXPECT_EQ(a5->Width, 14800);
    EXPECT_EQ(a5->Height, 21000);
    EXPECT_TRUE(P->Bins().empty()) << "Qt names no paper sources here";
    P->SetPaperSize(a5->Width, a5->Height);
    auto [width, height] = PrintOnePage("A5");
    EXPECT_NEAR(width, 419.53, 0.5);
    EXPECT_NEAR(height, 595.28, 0.5);
}

TEST_F(PdfPrinterTest, ThePrintDialogsSetUpThePrinterThatThenPrintsOnTheirPaper) {
    TScriptedDialogs dialogs;
    dialogs.DialogAnswers.push_back([](TCommonDialog* D) {
        auto& setup = dynamic_cast<TPageSetupDialog&>(*D);
        EXPECT_EQ(setup.Settings.PaperWidth, 21000) << "the printer's A4 is shown";
        EXPECT_EQ(setup.Settings.PaperHeight, 29700);
        setup.Settings.PaperWidth = 21590; // Letter
        setup.Settings.PaperHeight = 27940;
        setup.Settings.Orientation = TPrinterOrientation::poLandscape;
        return true;
    });
    dialogs.DialogAnswers.push_back([this](TCommonDialog* D) {
        auto& print = dynamic_cast<TPrintDialog&>(*D);
        EXPECT_EQ(print.Settings.PaperWidth, 21590) << "the page set-up's paper is the printer's now";
        EXPECT_EQ(print.Settings.FileName, Pdf);
        print.Settings.Copies = 2;
        print.Settings.Collate = true;
        return true;
    });
    TPageSetupDialog setup(nullptr);
    ASSERT_TRUE(setup.Execute());
    TPrintDialog print(nullptr);
    ASSERT_TRUE(print.Execute());
    EXPECT_EQ(P->FileName(), Pdf) << "the file stays chosen";
    EXPECT_EQ(P->Copies(), 2);
    EXPECT_TRUE(P->Collate());

    // Letter turned on its side: 11 x 8.5 inches at 600 dpi.
    EXPECT_EQ(P->PaperWidth(), 21590);
    EXPECT_EQ(P->Orientation(), TPrinterOrientation::poLandscape);
    EXPECT_NEAR(P->PageWidth(), 6600, 4);
    EXPECT_NEAR(P->PageHeight(), 5100, 4);
    auto [width, height] = PrintOnePage("Letter");
    EXPECT_NEAR(width, 792, 0.5);
    EXPECT_NEAR(height, 612, 0.5);
}

TEST_F(PdfPrinterTest, AnAbortedOrFailedDocumentLeavesTheFileThatWasThere) {
    std::ofstream(Pdf) << "the report printed yesterday";
    P->BeginDoc();
    P->Canvas()->TextOut(100, 100, "half a report");
    P->Abort();
    EXPECT_TRUE(P->Aborted());
    EXPECT_FALSE(P->Printing());
    EXPECT_FALSE(std::filesystem::exists(Pdf + ".part"));
    std::string kept;
    std::getline(std::ifstream(Pdf), kept);
    EXPECT_EQ(kept, "the report printed yesterday");

    P->SetFileName(Folder.Path() + "missing/report.pdf");
    EXPECT_THROW(P->BeginDoc(), EPrinter);
    EXPECT_FALSE(P->Printing());
}

TEST_F(PdfPrinterTest, ThePrinterCanvasMeasuresInTheDevicesPixels) {
    TBitmap screen(1, 1);
    for (TCanvas* c : {screen.Canvas(), P->Canvas()}) {
        c->Font()->SetName("Arial");
        c->Font()->SetSize(11);
    }
    const AnsiString text = "Результаты тестирования: мотиваторы и гигиенические факторы"_cp;
    double ratio = double(P->Canvas()->TextWidth(text)) / screen.Canvas()->TextWidth(text);
    EXPECT_NEAR(ratio, 600.0 / 96.0, 600.0 / 96.0 * 0.02);
    TFont style;
    style.SetName("Arial");
    style.SetSize(10);
    P->Canvas()->SetFont(&style);
    EXPECT_EQ(P->Canvas()->Font()->Height(), -81) << "13 screen pixels are 81 at 600 dpi";
}

TEST(PrinterTest, DocumentCallsOutOfOrderAndUnknownPrintersRaise) {
    TRecordingPrinter p;
    EXPECT_THROW(p.NewPage(), EPrinter);
    EXPECT_THROW(p.EndDoc(), EPrinter);
    EXPECT_THROW(p.Abort(), EPrinter);
    EXPECT_THROW(p.SetPrinterName("Office laser"), EPrinter);
    EXPECT_THROW(p.SetPrinterIndex(1), EPrinter);
    p.BeginDoc();
    EXPECT_THROW(p.BeginDoc(), EPrinter);
    EXPECT_THROW(p.SetOrientation(TPrinterOrientation::poLandscape), EPrinter)
        << "the page would change size";
    EXPECT_THROW(p.SetFileName("x.pdf"), EPrinter);
    EXPECT_THROW(p.SetPaperSize(21590, 27940), EPrinter);
    EXPECT_EQ(p.PageNumber(), 1);
    p.EndDoc();
    EXPECT_EQ(p.PageNumber(), 0);
    EXPECT_EQ(p.Log, (std::vector<AnsiString>{"BeginDoc '' copies=1", "EndDoc"}));

    p.Offline = true;
    EXPECT_THROW(p.BeginDoc(), EPrinter);
    EXPECT_FALSE(p.Printing());
    EXPECT_THROW(p.SetPaperSize(0, 27940), EPrinter);
    EXPECT_EQ(p.PaperWidth(), 21000);
}

TEST(PrinterTest, ADocumentCanBePrintedOnAPrinterOrIntoAFile) {
    {
        TRecordingPrinter p;
        p.Names.clear();
        EXPECT_FALSE(p.CanPrint()) << "no printer, no file";
        p.SetFileName("report.pdf");
        EXPECT_TRUE(p.CanPrint());
        p.SetFileName("");
        p.Names = {"Office laser"};
        EXPECT_TRUE(p.CanPrint());
    }
    // The system's print dialog offers a PDF file, printers or none.
    EXPECT_TRUE(Printer()->CanPrint());
}

TEST(PrinterTest, TheRecordingPrinterStandsInForThePrinterAndKeepsItsPages) {
    TPrinter* system = Printer();
    {
        TRecordingPrinter p;
        EXPECT_EQ(Printer(), &p);
        p.Names = {"Office laser", "Reception"};
        p.Border = {100, 50, 100, 50};
        EXPECT_EQ(p.PrinterName(), "Office laser");
        p.SetPrinterName("Reception");
        EXPECT_EQ(p.PrinterIndex(), 1);
        EXPECT_EQ(p.PageWidth(), 4961 - 200);
        EXPECT_EQ(p.PhysicalHeight(), 7016);
        EXPECT_EQ(p.PhysicalOffsetX(), 100);
        p.SetOrientation(TPrinterOrientation::poLandscape);
        EXPECT_EQ(p.PageWidth(), 7016 - 200);
        p.SetPaperSize(14800, 21000); // A5
        EXPECT_EQ(p.PhysicalWidth(), 4961);
        EXPECT_EQ(p.PhysicalHeight(), 3496);

        p.SetTitle("Report");
        p.SetCopies(2);
        p.SetCollate(true);
        p.BeginDoc();
        TCanvas* c = p.Canvas();
        EXPECT_EQ(c->PixelsPerInch(), 600);
        c->Font()->SetSize(10);
        EXPECT_EQ(c->Font()->Height(), -83);
        EXPECT_EQ(c->TextWidth("ab"), 2 * 50) << "fixed metrics scaled to the resolution";
        c->TextOut(10, 20, "one");
        p.NewPage();
        c->TextOut(10, 20, "two");
        p.EndDoc();
        EXPECT_EQ(p.Log,
                  (std::vector<AnsiString>{"BeginDoc 'Report' copies=2 collate", "NewPage", "EndDoc"}));
        ASSERT_EQ(p.Pages.size(), 2u);
        EXPECT_EQ(p.Pages[0], (std::vector<AnsiString>{"Text 10,20 'one' font=Tahoma,-83, color=FF000008"}));
        EXPECT_EQ(p.Pages[1].size(), 1u);
    }
    EXPECT_EQ(Printer(), system);
}
