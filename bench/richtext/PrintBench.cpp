// Pagination and printing to a PDF file beside Qt's text document printing
// the same report units (the documents are built outside the time), in one run at 1, 10 and 100 units: each
// unit a heading, body text, a bulleted list, a table of five rows and a picture. Prints the medians, the
// ratio engine / Qt and the page counts of both PDF files (by pdfinfo when it is installed).
//
//   bench_richtext_print [--units 1,10,100] [--runs N]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "QtPrintPeer.h"
#include "platform/gui/Printers.h"
#include "richtext/editor/tables/RVTable.h"
#include "richtext/engine/items/RVPictures.h"
#include "richtext/print/control/RVPrint.h"

namespace {

double NowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

double Median(std::vector<double> Values) {
    std::sort(Values.begin(), Values.end());
    return Values[Values.size() / 2];
}

// The source document of a printout, as a viewer's would be.
class TSourceData : public TCustomRVFormattedData {
public:
    explicit TSourceData(TRVStyle* AStyle) : Style(AStyle) {}
    ~TSourceData() override { Clear(); }
    TRVStyle* Style;
    TRVStyle* GetRVStyle() const override { return Style; }
    uint16_t GetFlags() const override { return 0x0D03; }
    void SetFlags(uint16_t) override {}
    int GetAreaWidth() const override { return 600; }
    int GetAreaHeight() const override { return 0; }
    int GetLeftMargin() const override { return 5; }
    int GetRightMargin() const override { return 5; }
    int GetTopMargin() const override { return 5; }
    int GetBottomMargin() const override { return 5; }
    int GetMinTextWidth() const override { return 0; }
    int GetMaxTextWidth() const override { return 0; }
    int GetWidth() const override { return 600; }
    int GetHeight() const override { return 800; }
    void SetDocumentAreaSize(int, int, bool) override {}
    void AdjustVScrollUnits() override {}
    void VScrollTo(int, bool) override {}
    void HScrollTo(int) override {}
    int GetVSmallStep() const override { return 10; }
    TRVBackground* GetBackground() const override { return nullptr; }
};

std::unique_ptr<TRVStyle> ReportStyle() {
    auto style = std::make_unique<TRVStyle>(nullptr);
    TFontInfos& texts = style->TextStyles();
    texts.Clear();
    for (TFontStyles s :
         {TFontStyles(0), TFontStyles(fsBold), TFontStyles(fsItalic), TFontStyles(fsBold | fsItalic)})
        texts.Add()->Style = s;
    TFontInfo& heading = *texts.Add();
    heading.Size = 14;
    heading.Style = fsBold;
    TParaInfos& paras = style->ParaStyles();
    paras.Clear();
    paras.Add()->SpaceAfter = 6;
    TParaInfo& headingPara = *paras.Add();
    headingPara.SpaceBefore = 12;
    headingPara.SpaceAfter = 6;
    TRVListLevel& bullet = *style->ListStyles().Add()->Levels().Add();
    bullet.MarkerIndent = 8;
    bullet.LeftIndent = 24;
    return style;
}

void BuildUnits(TSourceData& Data, const std::vector<TPrintUnit>& Units) {
    for (const TPrintUnit& unit : Units) {
        for (const TReportParagraph& para : unit.Paragraphs) {
            bool heading = para.Kind == TReportKind::Heading;
            int paraNo = heading ? 1 : 0;
            if (para.Kind == TReportKind::Bullet) {
                Data.ApplyListMarker(-1, 0, 0, 1, false, paraNo);
                paraNo = -1;
            }
            for (const TReportRun& run : para.Runs) {
                int styleNo = heading ? 4 : (run.Bold ? 1 : 0) + (run.Italic ? 2 : 0);
                Data.AddTextItem(WideToAnsi(run.Text), styleNo, paraNo);
                paraNo = -1;
            }
        }
        if (!unit.Table.empty()) {
            int cols = int(unit.Table.front().size());
            auto table = std::make_unique<TRVTableItemInfo>(int(unit.Table.size()), cols, &Data);
            table->BorderWidth = 1;
            table->CellBorderWidth = 1;
            table->HeadingRowCount = 1;
            for (int r = 0; r < table->RowCount(); ++r)
                for (int c = 0; c < cols; ++c) {
                    TRVTableCellData& cell = *table->GetCell(r, c);
                    cell.Clear();
                    cell.AddTextItem(WideToAnsi(unit.Table[std::size_t(r)][std::size_t(c)]), r == 0 ? 1 : 0,
                                     0);
                }
            Data.AddItem("", std::move(table));
        }
        auto picture = std::make_unique<TRVBitmapImage>(unit.PictureWidth, unit.PictureHeight);
        Data.AddItem("", std::make_unique<TRVGraphicItemInfo>(&Data, std::move(picture), vaBaseline));
    }
}

int PdfPages(const std::string& Pdf) {
    FILE* pipe = popen(("pdfinfo '" + Pdf + "' 2>/dev/null").c_str(), "r");
    if (!pipe) return -1;
    std::string out;
    char buffer[4096];
    while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe))
        out.append(buffer, n);
    if (pclose(pipe) != 0) return -1;
    std::smatch m;
    return std::regex_search(out, m, std::regex(R"(Pages:\s+(\d+))")) ? std::stoi(m[1]) : -1;
}

struct TResult {
    int Units = 0;
    double Engine = 0, Qt = 0;
    int Pages = 0, EnginePdfPages = 0, QtPdfPages = 0;
};

TResult Measure(int Units, int Runs, const std::string& Folder) {
    TResult r;
    r.Units = Units;
    std::vector<TPrintUnit> units = MakePrintUnits(Units);
    std::unique_ptr<TRVStyle> style = ReportStyle();
    std::string enginePdf = Folder + "/engine.pdf", qtPdf = Folder + "/qt.pdf";
    std::vector<double> engine, qt;
    TPrinter& printer = *Printer();
    for (int run = 0; run < Runs; ++run) {
        // Alternating, so that neither side always runs on a warm cache.
        double t0 = 0;
        {
            TSourceData source(style.get());
            BuildUnits(source, units);
            printer.SetFileName(enginePdf);
            TRVPrint print(nullptr);
            print.AssignSource(source);
            t0 = NowMs();
            r.Pages = print.FormatPages();
            double formatted = NowMs();
            print.Print("Report", 1, false);
            if (std::getenv("PRINT_BENCH_DEBUG"))
                std::fprintf(stderr, "format %.1f print %.1f\n", formatted - t0, NowMs() - formatted);
        }
        engine.push_back(NowMs() - t0);
        qt.push_back(QtPrintToPdf(units, qtPdf));
    }
    printer.SetFileName("");
    r.Engine = Median(engine);
    r.Qt = Median(qt);
    r.EnginePdfPages = PdfPages(enginePdf);
    r.QtPdfPages = PdfPages(qtPdf);
    return r;
}

std::vector<int> ParseSizes(const char* Text) {
    std::vector<int> out;
    std::stringstream in(Text);
    std::string part;
    while (std::getline(in, part, ','))
        out.push_back(std::atoi(part.c_str()));
    return out;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes{1, 10, 100};
    int runs = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--units")) sizes = ParseSizes(argv[i + 1]);
        if (!std::strcmp(argv[i], "--runs")) runs = std::max(1, std::atoi(argv[i + 1]));
    }
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    StartQtPeer(argc, argv);
    std::string folder = (std::filesystem::temp_directory_path() / "bench_richtext_print").string();
    std::filesystem::create_directories(folder);
    std::printf("%6s %12s %12s %8s %8s %10s %10s\n", "units", "engine ms", "Qt ms", "ratio", "pages",
                "PDF pages", "Qt pages");
    bool met = true;
    for (int units : sizes) {
        TResult r = Measure(units, runs, folder);
        double ratio = r.Engine / r.Qt;
        std::printf("%6d %12.1f %12.1f %8.3f %8d %10d %10d\n", r.Units, r.Engine, r.Qt, ratio, r.Pages,
                    r.EnginePdfPages, r.QtPdfPages);
        if (units == 100) met = ratio <= 0.5;
    }
    std::filesystem::remove_all(folder);
    std::printf("target (pagination and PDF at most 0.5 of Qt at 100 units): %s\n", met ? "met" : "NOT met");
    return met ? 0 : 1;
}
