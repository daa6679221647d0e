// The table item beside Qt's text document in one run: a table of 1,000
// rows and 5 columns of short texts laid out in full (both), and painted by
// the engine, a screenful and whole. Prints the medians and the ratio of the
// engine's layout to Qt's; checks the table with its invariant checker.
//
//   bench_table [--rows N] [--runs N]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "QtTablePeer.h"
#include "richtext/editor/tables/RVTable.h"
#include "richtext/editor/tables/RVTableCheck.h"
#include "richtext/engine/layout/CRVFData.h"
#include "richtext/engine/text/RVUni.h"

namespace {

constexpr int Width = 600;

double NowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

double Median(std::vector<double> Values) {
    std::sort(Values.begin(), Values.end());
    return Values[Values.size() / 2];
}

// A viewer's document without its window.
class TBenchData : public TCustomRVFormattedData {
public:
    TBenchData(TRVStyle* AStyle, TCanvas* ACanvas) : Style(AStyle), Canvas(ACanvas) {}
    ~TBenchData() override { Clear(); }
    TRVStyle* Style;
    TCanvas* Canvas;
    TRVStyle* GetRVStyle() const override { return Style; }
    uint16_t GetFlags() const override { return 0x0D03; }
    void SetFlags(uint16_t) override {}
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

// Short texts as a report's score tables hold them.
std::vector<std::vector<std::u16string>> TableTexts(int Rows) {
    static const char16_t* const scales[] = {u"Anxiety", u"Mood", u"Energy", u"Attention", u"Stress"};
    std::vector<std::vector<std::u16string>> texts;
    for (int r = 0; r < Rows; ++r) {
        std::u16string n;
        for (char c : std::to_string(r + 1))
            n += char16_t(c);
        texts.push_back({n, scales[r % 5], u"Raw " + n.substr(0, 2), u"Sten " + n.substr(n.size() - 1),
                         r % 3 ? u"within norm" : u"above norm"});
    }
    return texts;
}

} // namespace

int main(int argc, char** argv) {
    int rows = 1000, runs = 7;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--rows") && i + 1 < argc)
            rows = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else {
            std::fprintf(stderr, "usage: %s [--rows N] [--runs N]\n", argv[0]);
            return 2;
        }
    }
    auto texts = TableTexts(rows);
    auto peer = MakeQtTablePeer(texts);

    // Arial 10 points (13 pixels), as the peer.
    TRVStyle style(nullptr);
    style.TextStyles().Clear();
    style.TextStyles().Add()->Unicode = true;
    style.ParaStyles().Clear();
    style.ParaStyles().Add();
    TBitmap bitmap(Width + 20, 800);
    TCanvas& canvas = *bitmap.Canvas();
    TBenchData data(&style, &canvas);
    auto owned = std::make_unique<TRVTableItemInfo>(rows, 5, &data);
    TRVTableItemInfo& table = *owned;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < 5; ++c) {
            TRVTableCellData& cell = *table.GetCell(r, c);
            cell.Clear();
            cell.AddWideTextTag(texts[std::size_t(r)][std::size_t(c)], 0, 0, 0);
        }
    data.AddItem("", std::move(owned));

    std::vector<double> engine, qt, screen, whole;
    for (int run = 0; run < runs; ++run) {
        // Interleaved, so that both see the same machine.
        table.Changed();
        double start = NowMs();
        data.FormatDocument(false, true, false, 0, nullptr, false, false, false);
        engine.push_back(NowMs() - start);
        qt.push_back(peer->LayOut(Width));
        start = NowMs();
        table.PaintFullWidth(0, Width, 0, canvas, 0, style, TRect{0, 0, Width + 20, 800});
        screen.push_back(NowMs() - start);
        start = NowMs();
        table.PaintFullWidth(0, Width, 0, canvas, 0, style, TRect{0, 0, Width + 20, 1 << 30});
        whole.push_back(NowMs() - start);
    }
    AnsiString faults = CheckTableInvariants(table);
    if (!faults.empty()) {
        std::fprintf(stderr, "the table is broken: %s\n", faults.c_str());
        return 1;
    }
    double e = Median(engine), q = Median(qt);
    std::printf("%d rows x 5 columns, %d runs, medians\n", rows, runs);
    std::printf("%-28s %10.2f ms  (height %d px)\n", "engine layout", e, table.FormatInfo.TotalHeight);
    std::printf("%-28s %10.2f ms  (height %lld px, %lld cells)\n", "QTextDocument layout", q,
                (long long)peer->Height(), (long long)peer->Cells());
    std::printf("%-28s %10.3f  (target at most 0.5)\n", "engine / QTextDocument", e / q);
    std::printf("%-28s %10.2f ms\n", "engine paint, one screen", Median(screen));
    std::printf("%-28s %10.2f ms\n", "engine paint, whole table", Median(whole));
    return 0;
}
