// The engine's layout beside Qt's text document, in one run on the same
// report at 10^3, 10^4 and 10^5 paragraphs: a full format, a change of
// width, and one character typed in the middle (a partial re-format for the
// engine). Checks that both hold the same text in about as many lines, and
// prints the medians, the cost per paragraph, each ratio engine / Qt and
// the slowest character typed.
//
//   bench_richtext_layout [--sizes 1000,10000,100000] [--runs N]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "QtLayoutPeer.h"
#include "ReportText.h"
#include "richtext/engine/document/CRVDataCheck.h"
#include "richtext/engine/layout/CRVFData.h"
#include "richtext/engine/layout/CRVFDataCheck.h"

namespace {

constexpr int Width = 600;
constexpr int NewWidth = 520;

double NowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

double Median(std::vector<double> Values) {
    std::sort(Values.begin(), Values.end());
    return Values[Values.size() / 2];
}

// A viewer's document without its window: the viewer's flags and options.
class TBenchData : public TCustomRVFormattedData {
public:
    TBenchData(TRVStyle* AStyle, TCanvas* ACanvas) : Style(AStyle), Canvas(ACanvas) {}
    ~TBenchData() override { Clear(); }
    TRVStyle* Style;
    TCanvas* Canvas;
    int ClientWidth = Width;

    TRVStyle* GetRVStyle() const override { return Style; }
    uint16_t GetFlags() const override { return 0x0D03; }
    void SetFlags(uint16_t) override {}
    TCanvas* GetCanvas() const override { return Canvas; }
    int GetAreaWidth() const override { return ClientWidth; }
    int GetAreaHeight() const override { return 0; }
    int GetLeftMargin() const override { return 0; }
    int GetRightMargin() const override { return 0; }
    int GetTopMargin() const override { return 0; }
    int GetBottomMargin() const override { return 0; }
    int GetMinTextWidth() const override { return 0; }
    int GetMaxTextWidth() const override { return 0; }
    int GetWidth() const override { return ClientWidth; }
    int GetHeight() const override { return 800; }
    void SetDocumentAreaSize(int, int, bool) override {}
    void AdjustVScrollUnits() override {}
    void VScrollTo(int, bool) override {}
    void HScrollTo(int) override {}
    int GetVSmallStep() const override { return 10; }
    TRVBackground* GetBackground() const override { return nullptr; }
};

// Arial 10 points (13 pixels) plain, bold, italic and both; headings Arial
// 14 points bold; body and heading spacing and a bullet list as the peer's.
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

void BuildReport(TBenchData& Data, const std::vector<TReportParagraph>& Report) {
    for (const TReportParagraph& para : Report) {
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
}

int64_t EngineLines(const TBenchData& Data) {
    int64_t lines = 0;
    for (int i = 0; i < Data.DrawItems.Count(); ++i)
        if (Data.DrawItems[i]->FromNewLine) ++lines;
    return lines;
}

int64_t EngineCharacters(const TBenchData& Data) {
    int64_t chars = 0;
    for (int i = 0; i < Data.ItemCount(); ++i)
        if (Data.GetItemStyle(i) >= 0) chars += Data.ItemLength(i);
    return chars;
}

struct TResult {
    int Paragraphs = 0;
    double Full = 0, QtFull = 0, Width = 0, QtWidth = 0, Type = 0, QtType = 0, TypeMax = 0;
    int64_t Lines = 0, QtLines = 0;
};

bool Agree(const char* What, int64_t Engine, int64_t Qt, double Tolerance) {
    double difference = std::abs(double(Engine - Qt)) / std::max<double>(double(Qt), 1);
    if (difference <= Tolerance) return true;
    std::fprintf(stderr, "%s differ: engine %lld, Qt %lld\n", What, (long long)Engine, (long long)Qt);
    return false;
}

TResult Measure(int Paragraphs, int Runs, TCanvas& Canvas, bool& Agreed) {
    TResult r;
    r.Paragraphs = Paragraphs;
    std::vector<TReportParagraph> report = MakeReport(Paragraphs);
    auto style = ReportStyle();
    TBenchData data(style.get(), &Canvas);
    BuildReport(data, report);
    std::unique_ptr<TQtLayoutPeer> qt = MakeQtLayoutPeer(report);
    if (!Agree("characters", EngineCharacters(data), qt->Characters(), 0)) Agreed = false;

    // Full format, and Qt's first layout; then the same again.
    std::vector<double> full, qtFull;
    for (int run = 0; run < Runs; ++run) {
        data.ClientWidth = Width;
        double start = NowMs();
        data.FormatDocument(false, true, false, 0, nullptr, false, true, false);
        full.push_back(NowMs() - start);
        qtFull.push_back(qt->LayOut(Width));
        if (run + 1 < Runs) qt->LayOut(NewWidth); // the next layout starts from another width
    }
    r.Full = Median(full);
    r.QtFull = Median(qtFull);
    if (Paragraphs <= 10000) {
        AnsiString faults = CheckRVDataInvariants(data) + CheckFormattedInvariants(data);
        if (!faults.empty()) {
            std::fprintf(stderr, "the document is not sound: %s\n", faults.c_str());
            Agreed = false;
        }
    }
    r.Lines = EngineLines(data);
    r.QtLines = qt->Lines();
    if (!Agree("lines", r.Lines, r.QtLines, 0.05)) Agreed = false;

    // A change of width, as a resized window formats again.
    std::vector<double> widths, qtWidths;
    for (int run = 0; run < Runs; ++run) {
        int width = run % 2 == 0 ? NewWidth : Width;
        data.ClientWidth = width;
        double start = NowMs();
        data.FormatDocument(true, false, false, 0, nullptr, false, false, false);
        widths.push_back(NowMs() - start);
        qtWidths.push_back(qt->LayOut(width));
    }
    r.Width = Median(widths);
    r.QtWidth = Median(qtWidths);

    // One character typed into paragraphs around the middle.
    std::vector<double> types, qtTypes;
    int typed = 0;
    for (int i = 0; typed < std::max(Runs, 21); ++i) {
        int paragraph = Paragraphs / 2 + i;
        // The paragraph's first text item and its drawing items.
        int itemNo = -1, seen = -1;
        for (int k = 0; k < data.ItemCount(); ++k) {
            if (data.IsParaStart(k)) ++seen;
            if (seen == paragraph && data.GetItemStyle(k) >= 0) {
                itemNo = k;
                break;
            }
            if (seen > paragraph) break;
        }
        if (itemNo < 0) continue;
        int first, last = -1;
        data.GetItemFirstDrawItem(itemNo, first);
        for (last = first; last + 1 < data.DrawItems.Count() && data.DrawItems[last + 1]->ItemNo == itemNo;)
            ++last;
        AnsiString text = data.GetItemText(itemNo);
        text.insert(text.size() / 2, "x");
        double start = NowMs();
        data.ItemList->SetString(itemNo, text);
        data.FormatParasOfDrawItems(first, last, false, 0);
        types.push_back(NowMs() - start);
        qtTypes.push_back(qt->TypeCharacter(paragraph));
        ++typed;
    }
    r.Type = Median(types);
    r.TypeMax = *std::max_element(types.begin(), types.end());
    r.QtType = Median(qtTypes);
    if (!Agree("characters after typing", EngineCharacters(data), qt->Characters(), 0)) Agreed = false;
    return r;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes{1000, 10000, 100000};
    int runs = 5;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--sizes") && i + 1 < argc) {
            sizes.clear();
            std::stringstream list(argv[++i]);
            for (std::string item; std::getline(list, item, ',');)
                sizes.push_back(std::atoi(item.c_str()));
        } else if (!std::strcmp(argv[i], "--runs") && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: %s [--sizes 1000,10000,100000] [--runs N]\n", argv[0]);
            return 2;
        }
    }
    // The engine measures on the Qt canvas of a bitmap, as a view paints.
    TBitmap bitmap(1, 1);
    TCanvas& canvas = *bitmap.Canvas();
    bool agreed = true;
    std::printf("%10s %10s %10s %8s %9s %10s %10s %8s %9s %9s %8s %9s %9s %9s\n", "paragraphs", "lines",
                "qt lines", "full ms", "qt ms", "full/qt", "us/para", "width ms", "qt ms", "width/qt",
                "type ms", "qt ms", "type/qt", "type max");
    for (int size : sizes) {
        // The largest size once: its measurements are long enough.
        TResult r = Measure(size, size >= 100000 ? std::min(runs, 3) : runs, canvas, agreed);
        std::printf(
            "%10d %10lld %10lld %8.1f %9.1f %10.3f %10.2f %8.1f %9.1f %9.3f %8.3f %9.3f %9.3f %9.3f\n",
            r.Paragraphs, (long long)r.Lines, (long long)r.QtLines, r.Full, r.QtFull, r.Full / r.QtFull,
            1000.0 * r.Full / r.Paragraphs, r.Width, r.QtWidth, r.Width / r.QtWidth, r.Type, r.QtType,
            r.Type / r.QtType, r.TypeMax);
        std::fflush(stdout);
    }
    if (!agreed) {
        std::fprintf(stderr, "the engine and Qt do not agree on the report\n");
        return 1;
    }
    return 0;
}
