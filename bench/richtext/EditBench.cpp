// The editing data's undo on large documents: random primitives applied,
// undone and redone on 10^4 paragraphs (time per operation), and the undo of
// one typed word at 10^5 paragraphs, which should stay under 2 ms.
#include <benchmark/benchmark.h>

#include <random>

#include "RVEditTestData.h"

namespace {

void BuildParagraphs(TTestEditData& Data, int Count) {
    for (int i = 0; i < Count; ++i) {
        Data.AddTextItem("Paragraph " + AnsiString(std::to_string(i)) + " of the document", i % 3, i % 2);
        if (i % 4 == 0) Data.AddTextItem(" more words", 1, -1);
    }
}

// The first drawing item at or after an item.
int DrawItemFrom(const TRVEditRVData& Data, int ItemNo) {
    int lo = 0, hi = Data.DrawItems.Count();
    while (lo < hi) {
        int mid = (lo + hi) / 2;
        if (Data.DrawItems[mid]->ItemNo < ItemNo)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

// One random edit of one paragraph as the editor makes it: a group, the
// primitive, the paragraph formatted again, the caret placed.
void RandomEdit(TTestEditData& Data, std::mt19937& Rng) {
    auto random = [&](int Count) { return int(std::uniform_int_distribution<int>(0, Count - 1)(Rng)); };
    int count = Data.ItemCount();
    int i = random(count);
    int first = Data.GetFirstParaItem(i), last = Data.GetParaEndItem(i);
    int firstDraw = DrawItemFrom(Data, first), lastDraw = DrawItemFrom(Data, last + 1) - 1;
    bool full = false;
    Data.BeginUndoGroup(rvutInsert);
    switch (random(5)) {
    case 0:
        Data.UndoableInsertSubstring(i, 1 + random(Data.ItemLength(i) + 1), "word ");
        break;
    case 1:
        if (Data.ItemLength(i) > 2) Data.UndoableDeleteSubstring(i, 1, 2);
        break;
    case 2:
        Data.UndoableSetStyleNo(i, random(3));
        break;
    case 3: {
        AnsiString text = "new paragraph";
        Data.UndoableInsertItem(first, text, full, false, Data.CreateTextItem(0, random(2), false, false, 0));
        break;
    }
    case 4:
        Data.UndoableSetParaNoRange(first, last, full, random(2));
        break;
    }
    Data.Changed();
    Data.FormatParasOfDrawItems(firstDraw, lastDraw, false, Data.ItemCount() - count);
    Data.SetCaretAt(i, Data.ItemStartOffset(i));
}

void BM_RandomPrimitivesUndoRedo(benchmark::State& State) {
    TFixedMetricsCanvas canvas;
    auto style = MakeEditStyle();
    const int operations = 10000;
    for (auto _ : State) {
        State.PauseTiming();
        TTestEditData data(style.get(), &canvas, nullptr);
        data.Width = 600;
        BuildParagraphs(data, 10000);
        data.Format();
        std::mt19937 rng(7);
        State.ResumeTiming();
        for (int n = 0; n < operations; ++n)
            RandomEdit(data, rng);
        while (data.CanUndo())
            data.Undo();
        while (data.CanRedo())
            data.Redo();
        State.PauseTiming();
        if (!CheckEditInvariants(data).empty()) State.SkipWithError(CheckEditInvariants(data).c_str());
        State.ResumeTiming();
    }
    // Each primitive applied, undone and redone: three operations.
    State.counters["per_op"] = benchmark::Counter(double(State.iterations()) * operations * 3,
                                                  benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RandomPrimitivesUndoRedo)->Unit(benchmark::kMillisecond)->Iterations(3);

// Types "hello" into a paragraph in the middle as typing does.
void TypeWord(TTestEditData& Data, int ItemNo) {
    for (int k = 0; k < 5; ++k) {
        int draw = DrawItemFrom(Data, ItemNo);
        AnsiString text = Data.GetItemText(ItemNo);
        text.insert(size_t(k), 1, "hello"[k]);
        Data.ItemList->SetString(ItemNo, text);
        Data.UndoList->AddTyping(ItemNo, k + 1, false);
        Data.FormatParasOfDrawItems(draw, draw, false, 0);
    }
}

void BM_UndoTypedWord(benchmark::State& State) {
    TFixedMetricsCanvas canvas;
    auto style = MakeEditStyle();
    TTestEditData data(style.get(), &canvas, nullptr);
    data.Width = 600;
    BuildParagraphs(data, 100000);
    data.Format();
    int itemNo = data.ItemCount() / 2;
    while (!data.IsParaStart(itemNo))
        --itemNo;
    for (auto _ : State) {
        State.PauseTiming();
        TypeWord(data, itemNo);
        State.ResumeTiming();
        // The word goes one character a step.
        for (int k = 0; k < 5; ++k)
            data.Undo();
        State.PauseTiming();
        data.RedoList->Clear();
        State.ResumeTiming();
    }
    if (!CheckEditInvariants(data).empty()) State.SkipWithError(CheckEditInvariants(data).c_str());
}
BENCHMARK(BM_UndoTypedWord)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
