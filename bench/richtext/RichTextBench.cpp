// Saving the report-shaped document as RTF, whole and in its parts: the
// chart's picture data should take nearly all the time, at memory speed.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "RVReportDocument.h"
#include "richtext/engine/formats/rtf/RVRtfTables.h"

namespace {

void BM_SaveReportRtf(benchmark::State& State) {
    auto style = MakeReportStyle();
    TTestRVData data(style.get());
    BuildReport(data);
    TRVMemoryStream stream;
    for (auto _ : State) {
        stream.SetSize(0);
        if (!data.SaveRtf(stream, "", false, 0, clWindow, nullptr, true)) State.SkipWithError("save failed");
        benchmark::DoNotOptimize(stream.Memory());
    }
    State.SetBytesProcessed(int64_t(State.iterations()) * stream.Size());
    State.counters["rtf_bytes"] = double(stream.Size());
}
BENCHMARK(BM_SaveReportRtf)->Unit(benchmark::kMillisecond);

// As the report window saves it: a file beside the target, renamed over it.
void BM_SaveReportRtfFile(benchmark::State& State) {
    auto style = MakeReportStyle();
    TTestRVData data(style.get());
    BuildReport(data);
    char folder[] = "/tmp/bench_richtext_XXXXXX";
    if (!mkdtemp(folder)) {
        State.SkipWithError("no temporary folder");
        return;
    }
    std::string name = std::string(folder) + "/report.rtf";
    for (auto _ : State)
        if (!data.SaveRtfFile(name, false, clWindow)) State.SkipWithError("save failed");
    std::remove(name.c_str());
    rmdir(folder);
}
BENCHMARK(BM_SaveReportRtfFile)->Unit(benchmark::kMillisecond);

// The same document without its chart: the formatting of text, tables and
// paragraphs alone.
void BM_SaveReportTextRtf(benchmark::State& State) {
    auto style = MakeReportStyle();
    TTestRVData data(style.get());
    BuildReport(data);
    for (int i = data.ItemCount() - 1; i >= 0; --i)
        if (data.GetItemStyle(i) == rvsPicture) data.DeleteItems(i, 1);
    TRVMemoryStream stream;
    for (auto _ : State) {
        stream.SetSize(0);
        data.SaveRtf(stream, "", false, 0, clWindow, nullptr, true);
        benchmark::DoNotOptimize(stream.Memory());
    }
    State.SetBytesProcessed(int64_t(State.iterations()) * stream.Size());
}
BENCHMARK(BM_SaveReportTextRtf)->Unit(benchmark::kMicrosecond);

// The chart's bytes as RTF picture data.
void BM_PictureDataHex(benchmark::State& State) {
    std::unique_ptr<TRVBitmapImage> chart = MakeReportChart();
    TRVMemoryStream stream;
    for (auto _ : State) {
        stream.SetSize(0);
        WriteRtfPictureData(stream, chart->Bits().data(), chart->Bits().size(), false);
        benchmark::DoNotOptimize(stream.Memory());
    }
    State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(chart->Bits().size()));
}
BENCHMARK(BM_PictureDataHex)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
