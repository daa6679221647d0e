// The HTML importer: the testee report of the testing core (with its 630 x
// 504 chart) and 1, 10 and 100 report units (a heading, paragraphs with
// bold and italic runs, a list, a 5 x 10 table and a picture) imported and
// formatted, beside Qt's text document reading and laying out the same
// HTML, in one run. Prints the medians and the ratio engine / Qt.
//
//   bench_html_import [--runs N]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "QtHtmlPeer.h"
#include "bench/BenchDatabases.h"
#include "core/Calc_Unit.h"
#include "core/DataMod.h"
#include "platform/win/Module.h"
#include "richtext/engine/layout/CRVFData.h"
#include "richtext/engine/text/RVClasses.h"
#include "richtext/import/html/rvhtmlimport.h"

namespace {

constexpr int Width = 600;

double Median(std::vector<double> Values) {
    std::sort(Values.begin(), Values.end());
    return Values[Values.size() / 2];
}

// A viewer's document without its window, with a style sheet of its own.
class TBenchData : public TCustomRVFormattedData {
public:
    explicit TBenchData(TCanvas* ACanvas) : Style(std::make_unique<TRVStyle>(nullptr)), Canvas(ACanvas) {}
    ~TBenchData() override { Clear(); }
    std::unique_ptr<TRVStyle> Style;
    TCanvas* Canvas;

    TRVStyle* GetRVStyle() const override { return Style.get(); }
    uint16_t GetFlags() const override { return 0x0D03; }
    void SetFlags(uint16_t) override {}
    TRVOptions GetOptions() const override { return RVDefaultOptions | rvoTagsArePChars; }
    TCanvas* GetCanvas() const override { return Canvas; }
    int GetAreaWidth() const override { return Width; }
    int GetAreaHeight() const override { return 0; }
    int GetLeftMargin() const override { return 0; }
    int GetRightMargin() const override { return 0; }
    int GetTopMargin() const override { return 0; }
    int GetBottomMargin() const override { return 0; }
    int GetMinTextWidth() const override { return 0; }
    int GetMaxTextWidth() const override { return 0; }
    int GetWidth() const override { return Width; }
    int GetHeight() const override { return 800; }
    void SetDocumentAreaSize(int, int, bool) override {}
    void AdjustVScrollUnits() override {}
    void VScrollTo(int, bool) override {}
    void HScrollTo(int) override {}
    int GetVSmallStep() const override { return 10; }
    TRVBackground* GetBackground() const override { return nullptr; }
};

void WriteBmp(const std::string& Path, int W, int H) {
    TRVBitmapImage image(W, H);
    image.Fill(clWhite);
    TRVMemoryStream stream;
    image.SaveToStream(stream);
    std::ofstream(Path, std::ios::binary)
        .write(reinterpret_cast<const char*>(stream.Memory()), stream.Size());
}

// Units of the kind of report the peer harness builds.
std::string ReportUnits(int Units, const std::string& Picture) {
    std::string html;
    for (int u = 0; u < Units; ++u) {
        std::string n = std::to_string(u + 1);
        html += "<h2>Section " + n + "</h2>\n";
        for (int p = 0; p < 3; ++p)
            html += "<p>The motivation of unit " + n +
                    " is described here with <b>bold words</b> and "
                    "<i>italic remarks</i>, followed by plain text that wraps over more than one line "
                    "of the page so that the layout has some work to do.</p>\n";
        html += "<ul>";
        for (int i = 0; i < 4; ++i)
            html += "<li><b>Scale " + std::to_string(i) + ".</b> a leading motive<br></li>";
        html += "</ul>\n<table border=\"1\" cellpadding=\"4\" width=\"100%\">";
        for (int r = 0; r < 10; ++r) {
            html += "<tr>";
            for (int c = 0; c < 5; ++c)
                html += "<td>cell " + std::to_string(r) + "." + std::to_string(c) + "</td>";
            html += "</tr>";
        }
        html += "</table>\n<p align=\"center\"><img src=\"" + Picture + "\"></p>\n";
    }
    return html;
}

struct TRow {
    std::string Name;
    double Engine, Qt;
};

TRow Measure(const std::string& Name, const std::string& Cp1251Html, const std::string& Utf8Html, int Runs,
             TCanvas& Canvas) {
    TBenchData data(&Canvas);
    TRvHtmlImporter importer(nullptr);
    importer.Document = &data;
    std::vector<double> engine, qt;
    for (int run = 0; run < Runs; ++run) {
        auto start = std::chrono::steady_clock::now();
        importer.ImportHtml(Cp1251Html);
        data.FormatDocument(false, true, false, 0, nullptr, false, true, false);
        engine.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        int64_t characters = 0;
        qt.push_back(QtSetHtmlAndLayOut(Utf8Html, Width, characters));
        if (!importer.Warnings.empty())
            std::fprintf(stderr, "%s: %s\n", Name.c_str(), importer.Warnings[0].c_str());
    }
    return {Name, Median(engine), Median(qt)};
}

} // namespace

int main(int argc, char** argv) {
    int runs = 15;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--runs") && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: %s [--runs N]\n", argv[0]);
            return 2;
        }
    }
    std::string error;
    std::filesystem::path folder = CopyBuildDatabases("luvora-html-bench", LUVORA_DB_DIR, error);
    if (folder.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    FormatSettings.DecimalSeparator = '.';
    FormatSettings.ShortDateFormat = "dd.mm.yyyy";
    SetModuleFileNameOverride((folder / "luvora").string());
    std::string charts = folder.string() + "/";
    WriteBmp(charts + "TmpLuvChart.bmp", 630, 504);
    WriteBmp(charts + "picture.bmp", 200, 150);
    AnsiString testee;
    {
        auto dm = std::make_unique<TMain_DataModule>(nullptr);
        if (dm->StartupFailed()) {
            std::fprintf(stderr, "the data module did not start\n");
            return 1;
        }
        TUser u;
        u.FIO = Utf8ToAnsi("Иванов Иван Иванович");
        u.AGE = 41;
        u.Job = Utf8ToAnsi("Завод");
        TTestData t;
        t.DATETEST = 45000;
        t.TESTDURATION = 1500;
        TTestResult r;
        r.SetAnswers("3333131444333331113444311134");
        r.BuildReport(u, t, charts, testee);
    }
    // The engine measures on the Qt canvas of a bitmap, as a view paints.
    TBitmap bitmap(1, 1);
    TCanvas& canvas = *bitmap.Canvas();
    std::vector<TRow> rows;
    rows.push_back(Measure("testee report", testee, AnsiToUtf8(testee), runs, canvas));
    for (int units : {1, 10, 100}) {
        std::string html = ReportUnits(units, charts + "picture.bmp");
        rows.push_back(Measure(std::to_string(units) + (units == 1 ? " unit" : " units"), html, html,
                               units == 100 ? std::min(runs, 7) : runs, canvas));
    }
    std::printf("%-14s %10s %10s %9s\n", "document", "engine ms", "qt ms", "engine/qt");
    for (const TRow& r : rows)
        std::printf("%-14s %10.2f %10.2f %9.3f\n", r.Name.c_str(), r.Engine, r.Qt, r.Engine / r.Qt);
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    return 0;
}
