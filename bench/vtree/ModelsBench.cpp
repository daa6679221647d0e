// The tree beside the item models of a tree view, in one run: creating and
// initialising, walking, sorting by a stored and by a computed text, clearing,
// and the resident memory per row, flat and two levels deep. Each measurement
// runs in a process of its own, so "fresh" memory is memory the process never
// had; "reused" repeats the same work in memory a clear gave back. Prints the
// medians and the ratio tree / model of each.
//
//   bench_vtree_models [--runs N] [--min-rows N] [--max-rows N] [--flat-only]
//                      [--text stored|computed] [--testees a,b,...]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "ModelTestees.h"

namespace {

constexpr int DefaultRuns = 5;
constexpr uint64_t DefaultMaxRows = 1000000;
// Small shapes repeat the reused cycle until about this many rows were made,
// so that their times are not lost in the clock's noise.
constexpr uint64_t ReusedRowsPerRun = 200000;
constexpr uint64_t MaxReusedCycles = 100;
// The standard item model clears a sorted list in quadratic time (about four
// minutes at a million rows), so it is measured up to this size only.
constexpr uint64_t MaxStandardRows = 100000;

enum TMeasure {
    mCreate,
    mWalk,
    mSort,
    mClear,
    mMeasureCount,
};
const char* const MeasureNames[mMeasureCount] = {"create+init", "walk", "sort", "clear"};

// What one child process reports: the four times in fresh and in reused
// memory (ms) and the resident bytes per row after creating.
struct TRun {
    double Fresh[mMeasureCount] = {};
    double Reused[mMeasureCount] = {};
    double BytesPerRow = 0;
};

double NowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

size_t ResidentBytes() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return size_t(resident) * size_t(sysconf(_SC_PAGESIZE));
}

std::unique_ptr<ITestee> MakeTestee(const std::string& Name, TTextKind Kind) {
    return Name == "tree" ? MakeTreeTestee(Kind) : MakeModelTestee(Name, Kind);
}

// ---- The child: one testee, one shape ------------------------------------------------------

volatile uint64_t Sink;

double Timed(const std::function<void()>& Step) {
    double start = NowMs();
    Step();
    return NowMs() - start;
}

int RunChild(const std::string& Name, TTextKind Kind, TShape Shape) {
    std::unique_ptr<ITestee> testee = MakeTestee(Name, Kind);
    if (!testee) return 2;
    TRun run;
    // The first cycle of the process, in fresh memory; the resident size is
    // taken around the creation.
    size_t before = ResidentBytes();
    run.Fresh[mCreate] = Timed([&] { testee->Create(Shape); });
    run.BytesPerRow = double(ResidentBytes() - before) / double(Shape.Rows());
    run.Fresh[mWalk] = Timed([&] { Sink = testee->Walk(); });
    run.Fresh[mSort] = Timed([&] { testee->Sort(); });
    std::string fault = testee->Verify(Shape);
    if (!fault.empty()) {
        std::fprintf(stderr, "%s: %s\n", Name.c_str(), fault.c_str());
        return 3;
    }
    run.Fresh[mClear] = Timed([&] { testee->Clear(); });

    uint64_t cycles = std::clamp<uint64_t>(ReusedRowsPerRun / Shape.Rows(), 1, MaxReusedCycles);
    for (uint64_t c = 0; c < cycles; ++c) {
        run.Reused[mCreate] += Timed([&] { testee->Create(Shape); });
        run.Reused[mWalk] += Timed([&] { Sink = testee->Walk(); });
        run.Reused[mSort] += Timed([&] { testee->Sort(); });
        run.Reused[mClear] += Timed([&] { testee->Clear(); });
    }
    for (double& t : run.Reused)
        t /= double(cycles);

    for (double t : run.Fresh)
        std::printf("%.6f ", t);
    for (double t : run.Reused)
        std::printf("%.6f ", t);
    std::printf("%.3f\n", run.BytesPerRow);
    return 0;
}

// ---- The parent: every testee and shape, medians and ratios ------------------------------------

std::string SelfPath() {
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0) return "";
    path[n] = 0;
    return path;
}

bool Spawn(const std::string& Self, const std::string& Name, TTextKind Kind, TShape Shape, TRun& Run) {
    std::ostringstream command;
    command << '"' << Self << "\" --child " << Name << ' '
            << (Kind == TTextKind::Stored ? "stored" : "computed") << ' ' << Shape.Parents << ' '
            << Shape.Children;
    FILE* pipe = popen(command.str().c_str(), "r");
    if (!pipe) return false;
    int read = 0;
    for (double& t : Run.Fresh)
        read += std::fscanf(pipe, "%lf", &t);
    for (double& t : Run.Reused)
        read += std::fscanf(pipe, "%lf", &t);
    read += std::fscanf(pipe, "%lf", &Run.BytesPerRow);
    return pclose(pipe) == 0 && read == 2 * mMeasureCount + 1;
}

double Median(std::vector<double> Values) {
    if (Values.empty()) return 0;
    std::sort(Values.begin(), Values.end());
    size_t n = Values.size();
    return n % 2 ? Values[n / 2] : (Values[n / 2 - 1] + Values[n / 2]) / 2;
}

struct TMedians {
    double Fresh[mMeasureCount] = {};
    double Reused[mMeasureCount] = {};
    double BytesPerRow = 0;
};

TMedians MediansOf(const std::vector<TRun>& Runs) {
    TMedians m;
    for (int k = 0; k < mMeasureCount; ++k) {
        std::vector<double> fresh, reused;
        for (const TRun& r : Runs) {
            fresh.push_back(r.Fresh[k]);
            reused.push_back(r.Reused[k]);
        }
        m.Fresh[k] = Median(fresh);
        m.Reused[k] = Median(reused);
    }
    std::vector<double> bytes;
    for (const TRun& r : Runs)
        bytes.push_back(r.BytesPerRow);
    m.BytesPerRow = Median(bytes);
    return m;
}

std::string ShapeName(TShape Shape) {
    return Shape.Children == 0 ? "flat " + std::to_string(Shape.Parents)
                               : std::to_string(Shape.Parents) + " x " + std::to_string(Shape.Children);
}

void PrintTable(TShape Shape, TTextKind Kind, const std::vector<std::string>& Names,
                const std::map<std::string, TMedians>& Results, int Runs) {
    std::printf("\n%s (%llu rows), %s text; medians of %d runs, ms; ratio = tree / model\n",
                ShapeName(Shape).c_str(), (unsigned long long)Shape.Rows(),
                Kind == TTextKind::Stored ? "stored" : "computed", Runs);
    std::printf("%-20s %10s", "", "tree");
    for (const std::string& name : Names)
        if (name != "tree") std::printf(" %10s %6s", name.c_str(), "ratio");
    std::printf("\n");
    const TMedians& tree = Results.at("tree");
    auto row = [&](const char* Label, auto Value) {
        std::printf("%-20s %10.3f", Label, Value(tree));
        for (const std::string& name : Names) {
            if (name == "tree") continue;
            double v = Value(Results.at(name));
            std::printf(" %10.3f %6.2f", v, v > 0 ? Value(tree) / v : 0.0);
        }
        std::printf("\n");
    };
    for (int fresh = 1; fresh >= 0; --fresh)
        for (int k = 0; k < mMeasureCount; ++k) {
            std::string label = std::string(MeasureNames[k]) + (fresh ? ", fresh" : ", reused");
            row(label.c_str(), [&](const TMedians& m) { return fresh ? m.Fresh[k] : m.Reused[k]; });
        }
    row("bytes per row", [](const TMedians& m) { return m.BytesPerRow; });
}

std::vector<std::string> Split(const std::string& Text) {
    std::vector<std::string> parts;
    std::stringstream in(Text);
    for (std::string part; std::getline(in, part, ',');)
        if (!part.empty()) parts.push_back(part);
    return parts;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 6 && std::strcmp(argv[1], "--child") == 0)
        return RunChild(argv[2],
                        std::strcmp(argv[3], "stored") == 0 ? TTextKind::Stored : TTextKind::Computed,
                        TShape{uint32_t(std::atol(argv[4])), uint32_t(std::atol(argv[5]))});

    int runs = DefaultRuns;
    uint64_t minRows = 0, maxRows = DefaultMaxRows;
    bool flatOnly = false;
    std::vector<TTextKind> kinds{TTextKind::Stored, TTextKind::Computed};
    std::vector<std::string> names{"tree", "custom", "keyed", "proxy", "standard", "custom8"};
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--flat-only") {
            flatOnly = true;
            continue;
        }
        if (i + 1 == argc) break;
        if (option == "--runs")
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (option == "--min-rows")
            minRows = std::strtoull(argv[i + 1], nullptr, 10);
        else if (option == "--max-rows")
            maxRows = std::strtoull(argv[i + 1], nullptr, 10);
        else if (option == "--text")
            kinds = {std::strcmp(argv[i + 1], "computed") == 0 ? TTextKind::Computed : TTextKind::Stored};
        else if (option == "--testees")
            names = Split(std::string("tree,") + argv[i + 1]);
        ++i;
    }
    std::string self = SelfPath();
    const TShape shapes[] = {{1000, 0}, {10000, 0}, {100000, 0}, {1000000, 0}, {1000, 1000}};
    int failures = 0;
    for (TShape shape : shapes) {
        if (shape.Rows() > maxRows + maxRows / 100 || shape.Rows() < minRows) continue;
        if (flatOnly && shape.Children > 0) continue;
        for (TTextKind kind : kinds) {
            std::vector<std::string> measured;
            for (const std::string& name : names)
                if (MakeTestee(name, kind) && (name != "standard" || shape.Rows() <= MaxStandardRows))
                    measured.push_back(name);
            // Round by round, so that every testee meets the machine's changing load alike.
            std::map<std::string, std::vector<TRun>> done;
            for (int r = 0; r < runs; ++r)
                for (const std::string& name : measured) {
                    TRun run;
                    if (Spawn(self, name, kind, shape, run))
                        done[name].push_back(run);
                    else
                        ++failures;
                }
            std::map<std::string, TMedians> results;
            std::erase_if(measured, [&](const std::string& name) { return done[name].empty(); });
            for (const std::string& name : measured)
                results[name] = MediansOf(done[name]);
            if (results.count("tree")) PrintTable(shape, kind, measured, results, runs);
            std::fflush(stdout);
        }
    }
    if (failures) std::fprintf(stderr, "%d runs failed\n", failures);
    return failures ? 1 : 0;
}
