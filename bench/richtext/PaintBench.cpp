// Painting a 600 x 400 viewport of the engine's report at the top, in the
// middle and at the end of 10^5 paragraphs on the Qt canvas, beside Qt's
// text document painting the same viewport of the same text, and a hit test
// at each place, in one run. Prints medians in milliseconds and the ratios
// end / top and engine / Qt.
//
//   bench_richtext_paint [--paragraphs N] [--runs N]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "QtLayoutPeer.h"
#include "ReportText.h"
#include "richtext/engine/layout/CRVFData.h"
#include "richtext/engine/layout/CRVFDataCheck.h"

namespace {

constexpr int Width = 600;
constexpr int ViewHeight = 400;

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
    int VOffs = 0;

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
    int GetHeight() const override { return ViewHeight; }
    int GetVOffs() const override { return VOffs; }
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

} // namespace

int main(int argc, char** argv) {
    int paragraphs = 100000, runs = 21;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--paragraphs")) paragraphs = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--runs")) runs = std::atoi(argv[i + 1]);
    }
    std::vector<TReportParagraph> report = MakeReport(paragraphs);
    std::unique_ptr<TQtLayoutPeer> peer = MakeQtLayoutPeer(report);
    peer->LayOut(Width);
    auto style = ReportStyle();
    TBitmap measure(1, 1);
    TBenchData data(style.get(), measure.Canvas());
    BuildReport(data, report);
    data.FormatDocument(false, true, false, 0, nullptr, false, true, false);
    if (!CheckFormattedInvariants(data).empty()) {
        std::fprintf(stderr, "the formatted report is not sound\n");
        return 1;
    }
    TBitmap view(Width, ViewHeight);
    TCanvas& canvas = *view.Canvas();
    struct TPlace {
        const char* Name;
        int Top, QtTop;
        double Paint = 0, Qt = 0, Hit = 0;
    };
    int height = data.DocumentHeight, qtHeight = int(peer->Height());
    TPlace places[] = {{"top", 0, 0},
                       {"middle", height / 2, qtHeight / 2},
                       {"end", height - ViewHeight, qtHeight - ViewHeight}};
    for (TPlace& p : places) {
        std::vector<double> paint, qt, hit;
        for (int r = 0; r < runs; ++r) {
            data.VOffs = p.Top;
            double start = NowMs();
            canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
            canvas.Brush()->SetColor(clWhite);
            canvas.FillRect(Rect(0, 0, Width, ViewHeight));
            data.PaintDocument(canvas, Rect(0, 0, Width, ViewHeight), false, false, false, false);
            view.Image(); // ends the canvas's run: the pixels are drawn
            paint.push_back(NowMs() - start);
            qt.push_back(peer->PaintViewport(p.QtTop, Width, ViewHeight));
            start = NowMs();
            int offs, d;
            for (int k = 0; k < 100; ++k)
                data.FindDrawItemAtPos(37 + k, p.Top + 17 + k * 3, false, offs, d);
            hit.push_back((NowMs() - start) / 100);
        }
        p.Paint = Median(paint);
        p.Qt = Median(qt);
        p.Hit = Median(hit);
    }
    std::printf("%d paragraphs, %d drawing items, viewport %dx%d, %d runs (medians, ms)\n", paragraphs,
                data.DrawItems.Count(), Width, ViewHeight, runs);
    std::printf("%-8s %10s %10s %8s %12s\n", "place", "engine", "Qt", "eng/Qt", "hit test");
    for (const TPlace& p : places)
        std::printf("%-8s %10.3f %10.3f %8.2f %12.5f\n", p.Name, p.Paint, p.Qt, p.Paint / p.Qt, p.Hit);
    std::printf("end / top: paint %.2f, hit test %.2f\n", places[2].Paint / places[0].Paint,
                places[2].Hit / places[0].Hit);
    return 0;
}
