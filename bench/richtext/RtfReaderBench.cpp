// The RTF reader building documents from report-like files of 1 KB to
// 10 MB, beside "unrtf --text" and "pandoc -f rtf -t plain" on the same
// files in the same run: the reader in process and as a whole command
// (rtf_to_text), the peers as whole commands, their times and ratios, and
// whether each got the words (the Cyrillic ones too) right. Then the
// memory that deep nesting and a large picture take, against their input.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <set>
#include <sstream>

#include "RtfBenchFiles.h"
#include "richtext/import/rtf/RVRTFImport.h"

// ---------------------------------------------------------------- counting allocations

namespace {
std::atomic<int64_t> Allocated{0};
std::atomic<int64_t> PeakAllocated{0};

void* Counted(void* P) {
    if (!P) throw std::bad_alloc();
    int64_t now = Allocated += int64_t(malloc_usable_size(P));
    int64_t peak = PeakAllocated.load();
    while (now > peak && !PeakAllocated.compare_exchange_weak(peak, now)) {
    }
    return P;
}
void Uncount(void* P) {
    if (!P) return;
    Allocated -= int64_t(malloc_usable_size(P));
    std::free(P);
}
} // namespace

void* operator new(std::size_t N) {
    return Counted(std::malloc(N ? N : 1));
}
void* operator new[](std::size_t N) {
    return Counted(std::malloc(N ? N : 1));
}
void* operator new(std::size_t N, std::align_val_t A) {
    return Counted(
        std::aligned_alloc(std::size_t(A), (N + std::size_t(A) - 1) / std::size_t(A) * std::size_t(A)));
}
void* operator new[](std::size_t N, std::align_val_t A) {
    return operator new(N, A);
}
void operator delete(void* P) noexcept {
    Uncount(P);
}
void operator delete[](void* P) noexcept {
    Uncount(P);
}
void operator delete(void* P, std::size_t) noexcept {
    Uncount(P);
}
void operator delete[](void* P, std::size_t) noexcept {
    Uncount(P);
}
void operator delete(void* P, std::align_val_t) noexcept {
    Uncount(P);
}
void operator delete[](void* P, std::align_val_t) noexcept {
    Uncount(P);
}
void operator delete(void* P, std::size_t, std::align_val_t) noexcept {
    Uncount(P);
}
void operator delete[](void* P, std::size_t, std::align_val_t) noexcept {
    Uncount(P);
}

namespace {

namespace fs = std::filesystem;
using TClock = std::chrono::steady_clock;

// The generated files, written once into a folder of the run.
class TBenchFolder {
public:
    static TBenchFolder& Get() {
        static TBenchFolder folder;
        return folder;
    }
    const TRtfBenchFile& File(int KiloBytes) {
        auto it = FFiles.find(KiloBytes);
        if (it == FFiles.end()) {
            it = FFiles.emplace(KiloBytes, MakeRtfBenchText(std::size_t(KiloBytes) * 1024)).first;
            std::ofstream(Path(KiloBytes), std::ios::binary) << it->second.Rtf;
        }
        return it->second;
    }
    std::string Path(int KiloBytes) const {
        return FFolder + "/report_" + std::to_string(KiloBytes) + "k.rtf";
    }
    const std::string& Folder() const { return FFolder; }
    ~TBenchFolder() {
        std::error_code ec;
        fs::remove_all(FFolder, ec);
    }

private:
    TBenchFolder() {
        char pattern[] = "/tmp/rtf-reader-bench-XXXXXX";
        if (!::mkdtemp(pattern)) throw std::runtime_error("cannot create a folder");
        FFolder = pattern;
    }
    std::string FFolder;
    std::map<int, TRtfBenchFile> FFiles;
};

std::string ReadFile(const std::string& Name) {
    std::ifstream in(Name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool HasProgram(const std::string& Name) {
    return std::system(("command -v " + Name + " >/dev/null 2>&1").c_str()) == 0;
}

// A whole command: its wall time (the best of Runs) and what it wrote.
struct TCommandRun {
    bool Ran = false;
    double Milliseconds = 0;
    std::string Output;
};

TCommandRun RunCommand(const std::string& Command, const std::string& Output, int Runs) {
    TCommandRun run;
    for (int i = 0; i < Runs; ++i) {
        auto t0 = TClock::now();
        int status = std::system((Command + " >'" + Output + "' 2>/dev/null").c_str());
        double ms = std::chrono::duration<double, std::milli>(TClock::now() - t0).count();
        if (status != 0) return run;
        if (!run.Ran || ms < run.Milliseconds) run.Milliseconds = ms;
        run.Ran = true;
    }
    run.Output = ReadFile(Output);
    return run;
}

// The words of Text that are words of the files, in order.
std::vector<std::string> KnownWords(const std::string& Text, const std::set<std::string>& Known) {
    std::vector<std::string> words;
    std::string word;
    auto flush = [&] {
        if (Known.count(word)) words.push_back(word);
        word.clear();
    };
    // Letters of words are ASCII letters and the bytes of UTF-8 sequences;
    // what a peer makes of the rest parts them.
    for (char c : Text) {
        if (std::isalpha(uint8_t(c)) || uint8_t(c) >= 0x80)
            word += c;
        else
            flush();
    }
    flush();
    return words;
}

// The share of Words that Text holds in their order, each found after the
// one before (a peer may glue a word to what it makes of the next).
double ShareInOrder(const std::string& Text, const std::vector<std::string>& Words) {
    std::size_t at = 0, found = 0;
    for (const std::string& w : Words) {
        std::size_t p = Text.find(w, at);
        if (p == std::string::npos) continue;
        at = p + w.size();
        ++found;
    }
    return Words.empty() ? 1 : double(found) / double(Words.size());
}

std::vector<std::string> Only(const std::vector<std::string>& Words, const std::set<std::string>& Set) {
    std::vector<std::string> out;
    for (const std::string& w : Words)
        if (Set.count(w)) out.push_back(w);
    return out;
}

void BM_ReadRtfReport(benchmark::State& State) {
    const int kilobytes = int(State.range(0));
    TBenchFolder& folder = TBenchFolder::Get();
    const TRtfBenchFile& file = folder.File(kilobytes);
    const std::set<std::string> latin(RtfBenchLatinWords().begin(), RtfBenchLatinWords().end());
    const std::set<std::string> cyrillic(RtfBenchCyrillicWords().begin(), RtfBenchCyrillicWords().end());
    std::set<std::string> all = latin;
    all.insert(cyrillic.begin(), cyrillic.end());
    const std::vector<std::string> latinWords = Only(file.Words, latin);

    double readMs = 0;
    int items = 0;
    for (auto _ : State) {
        auto t0 = TClock::now();
        TRVRTFReadResult read = ReadRtfDocument(file.Rtf);
        auto t1 = TClock::now();
        State.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
        readMs += std::chrono::duration<double, std::milli>(t1 - t0).count();
        if (read.Code != rtf_ec_OK) State.SkipWithError("the reader failed");
        items = read.Document->ItemCount();
    }
    readMs /= double(State.iterations());

    // The same file as whole commands: this program's and the peers'.
    const std::string path = folder.Path(kilobytes);
    const int runs = kilobytes >= 1024 ? 1 : 3;
    TCommandRun ours = RunCommand(std::string("'") + LUVORA_RTF_TO_TEXT + "' '" + path + "'",
                                  folder.Folder() + "/ours.txt", runs);
    if (!ours.Ran) {
        State.SkipWithError("rtf_to_text failed");
        return;
    }
    // The reader must give every word, Cyrillic ones included.
    State.counters["words_right"] = KnownWords(ours.Output, all) == file.Words;
    State.counters["read_ms"] = readMs;
    State.counters["command_ms"] = ours.Milliseconds;
    State.counters["items"] = items;
    State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(file.Rtf.size()));
    struct TPeer {
        const char* Name;
        std::string Command;
    } peers[] = {{"unrtf", "unrtf --text '" + path + "'"},
                 {"pandoc", "pandoc -f rtf -t plain '" + path + "'"}};
    for (const TPeer& peer : peers) {
        std::string name = peer.Name;
        if (!HasProgram(name)) {
            State.counters[name + "_missing"] = 1;
            continue;
        }
        TCommandRun run = RunCommand(peer.Command, folder.Folder() + "/" + name + ".txt", runs);
        if (!run.Ran) {
            State.counters[name + "_failed"] = 1;
            continue;
        }
        // Like with like: the peers give the Latin words (the share of them
        // in order); the Cyrillic ones are where they differ.
        State.counters[name + "_latin_share"] = ShareInOrder(run.Output, latinWords);
        State.counters[name + "_cyrillic_share"] = ShareInOrder(run.Output, Only(file.Words, cyrillic));
        State.counters[name + "_ms"] = run.Milliseconds;
        State.counters["command_to_" + name] = ours.Milliseconds / run.Milliseconds;
        State.counters["read_to_" + name] = readMs / run.Milliseconds;
    }
}
BENCHMARK(BM_ReadRtfReport)
    ->Arg(1)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1024)
    ->Arg(10240)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// The memory a read takes at its peak beside the size of its input.
void ReportMemory(benchmark::State& State, const TRtfBenchFile& File) {
    int64_t peak = 0;
    for (auto _ : State) {
        int64_t before = Allocated.load();
        PeakAllocated = before;
        TRVRTFReadResult read = ReadRtfDocument(File.Rtf);
        peak = std::max(peak, PeakAllocated.load() - before);
        if (read.Code != rtf_ec_OK) State.SkipWithError("the reader failed");
        benchmark::DoNotOptimize(read.Document.get());
    }
    State.counters["input_bytes"] = double(File.Rtf.size());
    State.counters["peak_bytes"] = double(peak);
    State.counters["peak_to_input"] = double(peak) / double(File.Rtf.size());
    State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(File.Rtf.size()));
}

void BM_DeepNesting(benchmark::State& State) {
    static const TRtfBenchFile file = MakeRtfBenchNesting(int(State.range(0)));
    ReportMemory(State, file);
}
BENCHMARK(BM_DeepNesting)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_LargePicture(benchmark::State& State) {
    static const TRtfBenchFile file = MakeRtfBenchPicture(std::size_t(State.range(0)) << 20);
    ReportMemory(State, file);
}
BENCHMARK(BM_LargePicture)->Arg(10)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
