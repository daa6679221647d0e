// Start-up and exit as a user meets them, timed from outside the process:
// the program is started as a new process on a private X server (Xvfb, no
// window manager) and its windows are seen through the window system.
//
//   launch -> chooser   from the start of the process to the database
//                       chooser mapped on the screen
//   chooser -> main     from Return pressed in the chooser to the main window
//                       mapped
//   close -> gone       from the close request a window manager sends on
//                       Alt+F4 to the main window unmapped
//   gone -> exit        from the main window unmapped to the process reaped
//   SIGTERM -> exit     from SIGTERM sent to the running main window to the
//                       process reaped (the program only); the settings must
//                       have been written
//
// The peer is a bare Qt Widgets program doing the same steps without a
// database (StartupPeer.cpp): the toolkit's floor. Each round runs the
// program, the other build when one is given, the peer, and the program
// ended by SIGTERM, one after the other, after a warm-up round; every sample
// is a new process on files already in the page cache. Medians, minima and
// maxima are printed with the ratios of the medians.
//
//   build/bench/app/bench_startup [--runs N] [--testees N] [--vs PATH]
//
// --vs times another build of the program in the same rounds on the same
// files (an older one, before and after a change); --testees fills the
// logical database the chooser opens (default 1000).
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchDatabases.h"
#include "core/DataMod.h"
#include "core/uDBsClass.h"
#include "platform/testing/ChildProcess.h"
#include "platform/testing/XSession.h"
#include "platform/win/Module.h"

namespace {

namespace fs = std::filesystem;
using TClock = std::chrono::steady_clock;

constexpr uint32_t kReturn = 0xff0d;
const char* const kChooserTitle = "Выбор базы данных";
const char* const kMainTitle = "Севрола";
// A loaded machine may take long; a run that takes longer has failed.
constexpr auto kStepPatience = std::chrono::seconds(60);
// What a user takes to look at the main window before closing it: the
// window has painted and the program is idle.
constexpr auto kSettle = std::chrono::milliseconds(500);

double Ms(TClock::duration D) {
    return std::chrono::duration<double, std::milli>(D).count();
}

// --prepare: a logical database with Count testees in the files beside
// Program, made in a process of its own so that this one never loads the
// database engine.
int Prepare(const std::string& Program, int Count) {
    SetModuleFileNameOverride(Program);
    TMain_DataModule dm(nullptr);
    if (dm.StartupFailed()) return 2;
    TDatabase database;
    database.DB_NAME = "Основная база данных"_cp;
    database.DB_ID = TListDatabases().AddDatabase(database);
    if (database.DB_ID <= 0) return 3;
    TIBTransaction transaction(nullptr);
    transaction.SetDefaultDatabase(dm.Main_IBDatabase);
    transaction.StartTransaction();
    TIBQuery users(nullptr);
    users.SetDatabase(dm.Main_IBDatabase);
    users.SetTransaction(&transaction);
    users.SetSQL("insert into USERS (USER_ID, DB_ID, FIO, SEX, AGE, SENIORITY, ORGSENIORITY) values "
                 "(next value for GEN_USERS_ID, :DB_ID, :FIO, :SEX, :AGE, :SENIORITY, :ORGSENIORITY)");
    users.Prepare();
    for (int i = 0; i < Count; ++i) {
        users.ParamByName("DB_ID").SetAsInteger(database.DB_ID);
        users.ParamByName("FIO").SetAsString("Иванов Иван "_cp + IntToStr(i));
        users.ParamByName("SEX").SetAsString(i % 2 ? "Ж"_cp : "М"_cp);
        users.ParamByName("AGE").SetAsInteger(18 + (i * 37) % 50);
        users.ParamByName("SENIORITY").SetAsDouble((i * 13) % 400 / 10.0);
        users.ParamByName("ORGSENIORITY").SetAsDouble((i * 7) % 200 / 10.0);
        users.ExecQuery();
    }
    transaction.Commit();
    return 0;
}

// The figures of one run; a run that failed says where.
struct TRun {
    std::string Failure;
    std::map<std::string, double> Ms;
};

// The folder the program runs from, with its files, settings and runtime
// folder, and the X server it shows its windows on.
struct TStage {
    TXSession& X;
    fs::path Folder;
    std::string Program;
    std::map<std::string, std::optional<std::string>> Environment() const {
        return {{"DISPLAY", X.Display()},
                {"QT_QPA_PLATFORM", std::nullopt},
                {"XDG_CONFIG_HOME", (Folder / "config").string()},
                {"XDG_RUNTIME_DIR", (Folder / "run").string()},
                {"WAYLAND_DISPLAY", std::nullopt}};
    }
    fs::path Settings() const { return Folder / "config" / "tarvik" / "registry.reg"; }
};

// One run: start, open the database the chooser shows, look, then end the
// program by a close request or by SIGTERM.
TRun RunOnce(const TStage& Stage, const std::string& Program, bool BySignal) {
    TRun run;
    std::error_code ec;
    fs::remove(Stage.Settings(), ec);
    TChildProcess program(Program, {}, Stage.Environment(), (Stage.Folder / "output.txt").string());
    if (!program.Started()) return {"cannot start " + Program, {}};
    const auto started = program.StartedAt();
    auto chooser = Stage.X.WaitForWindow(kChooserTitle, started, TClock::now() + kStepPatience);
    if (!chooser) {
        program.WaitUntilEnded(TClock::now());
        std::stringstream output;
        output << std::ifstream(Stage.Folder / "output.txt").rdbuf();
        return {"no chooser (exit " + std::to_string(program.ExitCode()) + "): " + output.str(), {}};
    }
    run.Ms["launch -> chooser"] = Ms(chooser->At - started);
    const auto pressed = TClock::now();
    Stage.X.PressKey(chooser->Window, kReturn);
    auto main = Stage.X.WaitForWindow(kMainTitle, pressed, TClock::now() + kStepPatience);
    if (!main) return {"no main window", {}};
    run.Ms["chooser -> main"] = Ms(main->At - pressed);
    std::this_thread::sleep_for(kSettle);
    const auto asked = TClock::now();
    if (BySignal)
        program.Signal(SIGTERM);
    else
        Stage.X.RequestClose(main->Window);
    auto gone = Stage.X.WaitUntilGone(main->Window, TClock::now() + kStepPatience);
    if (!program.WaitUntilEnded(TClock::now() + kStepPatience)) return {"did not end", {}};
    if (program.ExitCode() != 0) return {"ended with " + std::to_string(program.ExitCode()), {}};
    if (!gone) return {"the main window stayed", {}};
    if (BySignal) {
        std::stringstream settings;
        settings << std::ifstream(Stage.Settings()).rdbuf();
        if (settings.str().find("Users_Grid") == std::string::npos) return {"no settings written", {}};
        run.Ms["SIGTERM -> exit"] = Ms(program.EndedAt() - asked);
    } else {
        run.Ms["close -> gone"] = Ms(*gone - asked);
        run.Ms["gone -> exit"] = Ms(program.EndedAt() - *gone);
    }
    return run;
}

struct TFigure {
    double Median = 0, Min = 0, Max = 0;
    std::size_t Count = 0;
};

TFigure FigureOf(std::vector<double> Values) {
    TFigure f;
    f.Count = Values.size();
    if (Values.empty()) return f;
    std::sort(Values.begin(), Values.end());
    f.Min = Values.front();
    f.Max = Values.back();
    const std::size_t n = Values.size();
    f.Median = n % 2 ? Values[n / 2] : (Values[n / 2 - 1] + Values[n / 2]) / 2;
    return f;
}

std::string LoadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

} // namespace

int main(int argc, char** argv) {
    int runs = 11, testees = 1000;
    std::string other;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&] { return i + 1 < argc ? std::string(argv[++i]) : std::string(); };
        if (a == "--prepare" && i + 2 < argc) {
            const std::string where = value();
            return Prepare(where, std::atoi(value().c_str()));
        }
        if (a == "--runs")
            runs = std::max(1, std::atoi(value().c_str()));
        else if (a == "--testees")
            testees = std::max(0, std::atoi(value().c_str()));
        else if (a == "--vs")
            other = value();
        else {
            std::fprintf(stderr, "usage: %s [--runs N] [--testees N] [--vs PATH]\n", argv[0]);
            return 2;
        }
    }

    TXSession x;
    if (!x.Available()) {
        std::fprintf(stderr, "no X server: %s\n", x.Error().c_str());
        return 1;
    }
    std::string error;
    const fs::path folder = CopyBuildDatabases("luvora-startbench", LUVORA_DB_DIR, error);
    if (folder.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    struct TRemove {
        fs::path Folder;
        ~TRemove() {
            std::error_code ec;
            fs::remove_all(fs::read_symlink(Folder / "run", ec), ec);
            fs::remove_all(Folder, ec);
        }
    } remove{folder};
    // Each build finds the database files beside itself; both are named as
    // the program is, so that they keep their settings under one key.
    const fs::path program = folder / "luvora";
    fs::copy_file(LUVORA_PROGRAM, program);
    const fs::path otherCopy = folder / "other" / "luvora";
    if (!other.empty()) {
        fs::create_directory(folder / "other");
        fs::create_directory_symlink(folder / "DB", folder / "other" / "DB");
        fs::copy_file(other, otherCopy);
    }
    // The runtime folder of a desktop session is a memory file system; the
    // engine keeps its lock files there.
    fs::create_directory(folder / "config");
    std::string runtime =
        (fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : folder) / "luvora-run-XXXXXX";
    if (!::mkdtemp(runtime.data())) {
        std::fprintf(stderr, "cannot make a runtime folder\n");
        return 1;
    }
    fs::create_symlink(runtime, folder / "run");
    TStage stage{x, folder, program.string()};
    {
        TChildProcess prepare(argv[0], {"--prepare", program.string(), std::to_string(testees)},
                              stage.Environment());
        prepare.WaitUntilEnded(TClock::now() + std::chrono::minutes(5));
        if (prepare.ExitCode() != 0) {
            std::fprintf(stderr, "could not fill the database files (%d)\n", prepare.ExitCode());
            return 1;
        }
    }

    std::printf("load average before: %s\n", LoadAverage().c_str());
    std::printf("program %s%s%s, peer %s; %d testees, %d rounds after one warm-up\n", LUVORA_PROGRAM,
                other.empty() ? "" : ", other build ", other.c_str(), LUVORA_PEER, testees, runs);
    using TSamples = std::map<std::string, std::vector<double>>;
    TSamples mine, theirs, peers;
    bool agree = true;
    auto keep = [&](TSamples& Into, const TRun& Run, const char* Who) {
        if (!Run.Failure.empty()) {
            std::printf("  %s: %s\n", Who, Run.Failure.c_str());
            agree = false;
            return;
        }
        for (const auto& [name, ms] : Run.Ms)
            Into[name].push_back(ms);
    };
    for (int i = 0; i <= runs; ++i) {
        const bool count = i > 0;
        TRun a = RunOnce(stage, stage.Program, false);
        if (count) keep(mine, a, "program");
        if (!other.empty()) {
            TRun b = RunOnce(stage, otherCopy.string(), false);
            if (count) keep(theirs, b, "other build");
        }
        TRun p = RunOnce(stage, LUVORA_PEER, false);
        if (count) keep(peers, p, "peer");
        TRun s = RunOnce(stage, stage.Program, true);
        if (count) keep(mine, s, "program by SIGTERM");
    }
    std::printf("load average after: %s\n", LoadAverage().c_str());
    auto cell = [](const TFigure& F) {
        char text[48] = "-";
        if (F.Count) std::snprintf(text, sizeof text, "%.0f (%.0f-%.0f)", F.Median, F.Min, F.Max);
        return std::string(text);
    };
    auto ratio = [](const TFigure& A, const TFigure& B) {
        char text[16] = "-";
        if (A.Count && B.Count && B.Median > 0) std::snprintf(text, sizeof text, "%.2f", A.Median / B.Median);
        return std::string(text);
    };
    std::printf("ms, median (min-max)  %-20s %-20s %-20s %9s %9s\n", "program",
                other.empty() ? "" : "other build", "peer", "program/", "program/");
    std::printf("%-21s %-20s %-20s %-20s %9s %9s\n", "", "", "", "", "peer", other.empty() ? "" : "other");
    for (const char* name :
         {"launch -> chooser", "chooser -> main", "close -> gone", "gone -> exit", "SIGTERM -> exit"}) {
        const TFigure a = FigureOf(mine[name]), b = FigureOf(theirs[name]), p = FigureOf(peers[name]);
        std::printf("%-21s %-20s %-20s %-20s %9s %9s\n", name, cell(a).c_str(),
                    other.empty() ? "" : cell(b).c_str(), cell(p).c_str(), ratio(a, p).c_str(),
                    ratio(a, b).c_str());
    }
    std::printf("every run reached the chooser and the main window and ended with 0: %s\n",
                agree ? "yes" : "NO");
    return agree ? 0 : 1;
}
