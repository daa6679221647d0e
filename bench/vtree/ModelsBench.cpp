// The tree beside the item models of a tree view, in one run: creating and
// initialising, walking, sorting by a stored and by a computed text, clearing,
// and the resident memory per row, flat and two levels deep. Each measurement
// runs in a process of its own, so "fresh" memory is memory the process never
// had; "reused" repeats the same work in memory a clear gave back. Creating
// in fresh memory is bound by page faults and varies much from process to
// process, so more processes create alone until its median is known well
// enough. Times are the processor time of the measuring thread.
// Prints the medians and the ratio tree / model of each, and, like for like,
// the tree beside the model holding the same 8-bit text, split into what the
// node record costs and what the tree's own work does.
//
//   bench_vtree_models [--runs N] [--max-fresh-runs N] [--min-rows N] [--max-rows N]
//                      [--flat-only] [--text stored|computed] [--testees a,b,...]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <time.h>
#include <unistd.h>

#include "ModelTestees.h"

namespace {

constexpr int DefaultRuns = 5;
// Fresh creations are measured until the standard error of their median is
// about this fraction of it (two runs' medians then lie within about 20 % of
// each other), or this many were measured.
constexpr double FreshMedianError = 0.07;
constexpr int DefaultMaxFreshRuns = 21;
// Quartiles of fewer samples say too little of the spread to stop on.
constexpr int MinFreshCreations = 11;
// Times under this are clock noise; their spread does not ask for samples.
constexpr double NoiseFloorMs = 0.05;
// The standard error of a median is about this times the interquartile
// range over the square root of the sample count (normal spread).
constexpr double MedianErrorPerIqr = 0.93;
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

// The processor time of this thread, page faults included: the machine's
// other work does not count, so runs on a busy machine compare.
double NowMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1000 + double(now.tv_nsec) / 1e6;
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
    if (Name == "tree") return MakeTreeTestee(Kind);
    if (Name == "records") return MakeRecordsTestee(Kind);
    return MakeModelTestee(Name, Kind);
}

// ---- The child: one testee, one shape ------------------------------------------------------

volatile uint64_t Sink;

double Timed(const std::function<void()>& Step) {
    double start = NowMs();
    Step();
    return NowMs() - start;
}

// With FreshOnly the child only creates, in fresh memory, and reports that
// time and the memory alone.
int RunChild(const std::string& Name, TTextKind Kind, TShape Shape, bool FreshOnly) {
    std::unique_ptr<ITestee> testee = MakeTestee(Name, Kind);
    if (!testee) return 2;
    TRun run;
    // The first cycle of the process, in fresh memory; the resident size is
    // taken around the creation.
    size_t before = ResidentBytes();
    run.Fresh[mCreate] = Timed([&] { testee->Create(Shape); });
    run.BytesPerRow = double(ResidentBytes() - before) / double(Shape.Rows());
    if (FreshOnly) {
        std::printf("%.6f %.3f\n", run.Fresh[mCreate], run.BytesPerRow);
        return 0;
    }
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

bool Spawn(const std::string& Self, const std::string& Name, TTextKind Kind, TShape Shape, bool FreshOnly,
           TRun& Run) {
    std::ostringstream command;
    command << '"' << Self << "\" --child " << Name << ' '
            << (Kind == TTextKind::Stored ? "stored" : "computed") << ' ' << Shape.Parents << ' '
            << Shape.Children << (FreshOnly ? " fresh" : "");
    FILE* pipe = popen(command.str().c_str(), "r");
    if (!pipe) return false;
    int read = 0, expected = 2;
    if (FreshOnly) {
        read += std::fscanf(pipe, "%lf", &Run.Fresh[mCreate]);
    } else {
        expected = 2 * mMeasureCount + 1;
        for (double& t : Run.Fresh)
            read += std::fscanf(pipe, "%lf", &t);
        for (double& t : Run.Reused)
            read += std::fscanf(pipe, "%lf", &t);
    }
    read += std::fscanf(pipe, "%lf", &Run.BytesPerRow);
    return pclose(pipe) == 0 && read == expected;
}

double Median(std::vector<double> Values) {
    if (Values.empty()) return 0;
    std::sort(Values.begin(), Values.end());
    size_t n = Values.size();
    return n % 2 ? Values[n / 2] : (Values[n / 2 - 1] + Values[n / 2]) / 2;
}

double Quantile(std::vector<double> Values, double Q) {
    if (Values.empty()) return 0;
    std::sort(Values.begin(), Values.end());
    double at = Q * double(Values.size() - 1);
    size_t below = size_t(at);
    if (below + 1 >= Values.size()) return Values.back();
    return Values[below] + (at - double(below)) * (Values[below + 1] - Values[below]);
}

// What one testee gave for one shape: full runs (fresh and reused) and
// runs that only created in fresh memory.
struct TSamples {
    std::vector<TRun> Full;
    std::vector<TRun> FreshOnly;

    std::vector<double> Fresh(int Measure) const {
        std::vector<double> values;
        for (const TRun& r : Full)
            values.push_back(r.Fresh[Measure]);
        if (Measure == mCreate)
            for (const TRun& r : FreshOnly)
                values.push_back(r.Fresh[Measure]);
        return values;
    }
    int FreshCreates() const { return int(Full.size() + FreshOnly.size()); }
    // True when the median of creating in fresh memory is known to within
    // FreshMedianError of itself, or is clock noise.
    bool FreshPrecise() const {
        std::vector<double> values = Fresh(mCreate);
        double median = Median(values);
        double iqr = Quantile(values, 0.75) - Quantile(values, 0.25);
        if (median < NoiseFloorMs) return true;
        return values.size() >= size_t(MinFreshCreations) &&
               MedianErrorPerIqr * iqr / std::sqrt(double(values.size())) <= FreshMedianError * median;
    }
};

struct TMedians {
    double Fresh[mMeasureCount] = {};
    double Reused[mMeasureCount] = {};
    double BytesPerRow = 0;
    int FreshCreates = 0;
};

TMedians MediansOf(const TSamples& Samples) {
    TMedians m;
    for (int k = 0; k < mMeasureCount; ++k) {
        std::vector<double> reused;
        for (const TRun& r : Samples.Full)
            reused.push_back(r.Reused[k]);
        m.Fresh[k] = Median(Samples.Fresh(k));
        m.Reused[k] = Median(reused);
    }
    std::vector<double> bytes;
    for (const auto* runs : {&Samples.Full, &Samples.FreshOnly})
        for (const TRun& r : *runs)
            bytes.push_back(r.BytesPerRow);
    m.BytesPerRow = Median(bytes);
    m.FreshCreates = Samples.FreshCreates();
    return m;
}

std::string ShapeName(TShape Shape) {
    return Shape.Children == 0 ? "flat " + std::to_string(Shape.Parents)
                               : std::to_string(Shape.Parents) + " x " + std::to_string(Shape.Children);
}

void PrintTable(TShape Shape, TTextKind Kind, const std::vector<std::string>& Names,
                const std::map<std::string, TMedians>& Results, int Runs) {
    std::printf("\n%s (%llu rows), %s text; medians of %d runs (creating in fresh memory: of as many as\n"
                "counted below), ms of processor time; ratio = tree / model\n",
                ShapeName(Shape).c_str(), (unsigned long long)Shape.Rows(),
                Kind == TTextKind::Stored ? "stored" : "computed", Runs);
    std::printf("custom8 holds the tree's own 8-bit text, so its ratios are like for like; records are the\n"
                "tree's node records alone; the other models hold UTF-16 text.\n");
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
    auto label = [](int Measure, bool Fresh) {
        return std::string(MeasureNames[Measure]) + (Fresh ? ", fresh" : ", reused");
    };
    for (int fresh = 1; fresh >= 0; --fresh)
        for (int k = 0; k < mMeasureCount; ++k)
            row(label(k, fresh).c_str(), [&](const TMedians& m) { return fresh ? m.Fresh[k] : m.Reused[k]; });
    row("bytes per row", [](const TMedians& m) { return m.BytesPerRow; });
    std::printf("%-20s %10d", "fresh creations", tree.FreshCreates);
    for (const std::string& name : Names)
        if (name != "tree") std::printf(" %10d %6s", Results.at(name).FreshCreates, "");
    std::printf("\n");

    // Like for like: tree / custom8 = records / custom8 (the node record and
    // the two passes it is made and initialised in) x tree / records (the
    // tree's own work around it).
    if (!Results.count("custom8") || !Results.count("records")) return;
    const TMedians& same = Results.at("custom8");
    const TMedians& records = Results.at("records");
    std::printf("like for like         tree/custom8 = records/custom8 x tree/records\n");
    auto split = [&](const char* Label, auto Value) {
        auto ratio = [](double A, double B) { return B > 0 ? A / B : 0.0; };
        std::printf("%-20s %14.2f   %15.2f   %12.2f\n", Label, ratio(Value(tree), Value(same)),
                    ratio(Value(records), Value(same)), ratio(Value(tree), Value(records)));
    };
    // Walking and sorting are the tree's own code over the same records; what
    // the record costs shows in making, clearing and memory.
    for (int fresh = 1; fresh >= 0; --fresh)
        for (int k : {mCreate, mClear})
            split(label(k, fresh).c_str(),
                  [&](const TMedians& m) { return fresh ? m.Fresh[k] : m.Reused[k]; });
    split("bytes per row", [](const TMedians& m) { return m.BytesPerRow; });
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
    if ((argc == 6 || argc == 7) && std::strcmp(argv[1], "--child") == 0)
        return RunChild(argv[2],
                        std::strcmp(argv[3], "stored") == 0 ? TTextKind::Stored : TTextKind::Computed,
                        TShape{uint32_t(std::atol(argv[4])), uint32_t(std::atol(argv[5]))}, argc == 7);

    int runs = DefaultRuns;
    int maxFreshRuns = DefaultMaxFreshRuns;
    uint64_t minRows = 0, maxRows = DefaultMaxRows;
    bool flatOnly = false;
    std::vector<TTextKind> kinds{TTextKind::Stored, TTextKind::Computed};
    std::vector<std::string> names{"tree", "custom8", "records", "custom", "keyed", "proxy", "standard"};
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--flat-only") {
            flatOnly = true;
            continue;
        }
        if (i + 1 == argc) break;
        if (option == "--runs")
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (option == "--max-fresh-runs")
            maxFreshRuns = std::atoi(argv[i + 1]);
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
            // Round by round, so that every testee meets the machine's changing load alike;
            // then, round by round, runs that only create in fresh memory, for the
            // testees whose median of it is not known well enough yet.
            std::map<std::string, TSamples> done;
            for (int r = 0; r < runs; ++r)
                for (const std::string& name : measured) {
                    TRun run;
                    if (Spawn(self, name, kind, shape, false, run))
                        done[name].Full.push_back(run);
                    else
                        ++failures;
                }
            std::erase_if(measured, [&](const std::string& name) { return done[name].Full.empty(); });
            for (bool more = true; more;) {
                more = false;
                for (const std::string& name : measured) {
                    TSamples& samples = done[name];
                    if (samples.FreshCreates() >= maxFreshRuns || samples.FreshPrecise()) continue;
                    TRun run;
                    if (Spawn(self, name, kind, shape, true, run))
                        samples.FreshOnly.push_back(run);
                    else
                        ++failures;
                    more = true;
                }
            }
            std::map<std::string, TMedians> results;
            for (const std::string& name : measured)
                results[name] = MediansOf(done[name]);
            if (results.count("tree")) PrintTable(shape, kind, measured, results, runs);
            std::fflush(stdout);
        }
    }
    if (failures) std::fprintf(stderr, "%d runs failed\n", failures);
    return failures ? 1 : 0;
}
