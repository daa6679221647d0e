// Writing and reading the native format in its binary form: a hundred
// copies of the report, one a page, each with its chart. Before timing, the
// document read back is checked and compared item by item and style by
// style with the one written.
#include <benchmark/benchmark.h>

#include "RVDocumentDump.h"
#include "RVReportDocument.h"
#include "richtext/engine/formats/rvf/RVRvfReader.h"

namespace {

constexpr int Pages = 100;
constexpr TRVFOptions BenchOptions = RVDefaultRVFOptions | rvfoSaveTextStyles | rvfoSaveParaStyles;

struct TBenchDocument {
    std::unique_ptr<TRVStyle> Style = MakeReportStyle();
    TTestRVData Data{Style.get()};
    TBenchDocument() {
        Data.Flags = 0x100;
        Data.SetRVFOptions(BenchOptions);
        for (int i = 0; i < Pages; ++i)
            BuildReport(Data);
    }
};

std::string_view Bytes(TRVMemoryStream& Stream) {
    return std::string_view(reinterpret_cast<const char*>(Stream.Memory()), std::size_t(Stream.Size()));
}

// The error of a round trip, or empty.
AnsiString CheckRoundTrip(TBenchDocument& Source, std::string_view Saved) {
    TRVStyle style(nullptr);
    TTestRVData copy(&style);
    copy.SetRVFOptions(BenchOptions);
    int index = 0;
    TColor color = clNone;
    if (!RVReadRvf(Saved, copy, index, true, nullptr, color)) return "not read";
    AnsiString faults = CheckRVDataInvariants(copy);
    if (!faults.empty()) return faults;
    if (DumpRVData(copy) != DumpRVData(Source.Data)) return "items differ";
    for (AnsiString diff : {CompareStyles(style.TextStyles(), Source.Style->TextStyles()),
                            CompareStyles(style.ParaStyles(), Source.Style->ParaStyles()),
                            CompareStyles(style.ListStyles(), Source.Style->ListStyles())})
        if (!diff.empty()) return diff;
    return "";
}

void BM_WriteRvfBinary(benchmark::State& State) {
    TBenchDocument document;
    TRVMemoryStream stream;
    document.Data.SaveRvf(stream, false, nullptr, clNone);
    int64_t size = stream.Size();
    for (auto _ : State) {
        // The output's memory is there before, as a file's would be.
        State.PauseTiming();
        stream.Clear();
        stream.SetCapacity(size);
        State.ResumeTiming();
        if (!document.Data.SaveRvf(stream, false, nullptr, clNone)) State.SkipWithError("save failed");
        benchmark::DoNotOptimize(stream.Memory());
    }
    State.SetBytesProcessed(int64_t(State.iterations()) * stream.Size());
    State.counters["rvf_bytes"] = double(stream.Size());
}
BENCHMARK(BM_WriteRvfBinary)->Unit(benchmark::kMillisecond);

void BM_ReadRvfBinary(benchmark::State& State) {
    TBenchDocument document;
    TRVMemoryStream stream;
    document.Data.SaveRvf(stream, false, nullptr, clNone);
    std::string_view saved = Bytes(stream);
    if (AnsiString error = CheckRoundTrip(document, saved); !error.empty()) {
        State.SkipWithError(error.c_str());
        return;
    }
    for (auto _ : State) {
        TRVStyle style(nullptr);
        TTestRVData copy(&style);
        copy.SetRVFOptions(BenchOptions);
        int index = 0;
        TColor color = clNone;
        if (!RVReadRvf(saved, copy, index, true, nullptr, color)) State.SkipWithError("read failed");
        benchmark::DoNotOptimize(copy.ItemCount());
        State.PauseTiming();
        copy.Clear();
        State.ResumeTiming();
    }
    State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(saved.size()));
}
BENCHMARK(BM_ReadRvfBinary)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
