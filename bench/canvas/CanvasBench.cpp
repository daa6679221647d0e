// Cost per call of measuring and drawing text, and of a run of primitives,
// on the Qt canvas of a bitmap.
#include <benchmark/benchmark.h>

#include "platform/canvas/Graphics.h"
#include "platform/canvas/QtCanvasSupport.h"

namespace {
const AnsiString Sentence = "The quick brown fox jumps over the lazy dog; "_cp
                            "Съешь же ещё этих мягких французских булок"_cp;

struct TBitmapCanvas {
    TBitmapCanvas() {
        EnsureGuiApplication();
        Canvas->Font()->SetName("Arial");
        Canvas->Font()->SetSize(10);
    }
    TBitmap Bitmap{600, 40};
    TCanvas* Canvas = Bitmap.Canvas();
};

void BM_TextWidth(benchmark::State& State) {
    TBitmapCanvas b;
    for (auto _ : State)
        benchmark::DoNotOptimize(b.Canvas->TextWidth(Sentence));
}
BENCHMARK(BM_TextWidth);

// A layout that switches between two styles for every piece it measures.
void BM_TextWidthTwoFonts(benchmark::State& State) {
    TBitmapCanvas b;
    TFont bold;
    bold.Assign(b.Canvas->Font());
    bold.SetStyle(fsBold);
    TFont plain;
    plain.Assign(b.Canvas->Font());
    for (auto _ : State) {
        b.Canvas->SetFont(&bold);
        benchmark::DoNotOptimize(b.Canvas->TextWidth("Heading"));
        b.Canvas->SetFont(&plain);
        benchmark::DoNotOptimize(b.Canvas->TextWidth("body text"));
    }
}
BENCHMARK(BM_TextWidthTwoFonts);

void BM_TextOut(benchmark::State& State) {
    TBitmapCanvas b;
    b.Canvas->Brush()->SetStyle(TBrushStyle::bsClear);
    for (auto _ : State)
        b.Canvas->TextOut(2, 2, Sentence);
}
BENCHMARK(BM_TextOut);

void BM_FillRect(benchmark::State& State) {
    TBitmapCanvas b;
    b.Canvas->Brush()->SetColor(clBtnFace);
    for (auto _ : State)
        b.Canvas->FillRect({1, 1, 9, 9});
}
BENCHMARK(BM_FillRect);
} // namespace

BENCHMARK_MAIN();
