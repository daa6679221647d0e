// The results window of a stored test: opened (scoring, chart, bitmap,
// report HTML read into the document, layout, the window shown and
// painted) and switched between two tests; beside it the same report HTML
// shown by Qt's own text document in a read-only text box.
//
//   build/bench/app/bench_results
//
// runs them headless (QT_QPA_PLATFORM=offscreen is set when missing).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <memory>

#include "QtReportPeer.h"
#include "app/results/Result_Frm.h"
#include "bench/BenchDatabases.h"
#include "core/uDBsClass.h"
#include "platform/testing/ScriptedMessageBoxes.h"
#include "platform/testing/ShownWindows.h"
#include "platform/win/Module.h"
#include "platform/win/WinReg.h"

namespace {

namespace fs = std::filesystem;
using TClock = std::chrono::steady_clock;

// Database files with one testee and two stored tests, and the data module.
class TStoredTests {
public:
    TStoredTests() {
        std::string error;
        FFolder = CopyBuildDatabases("luvora-resultsbench", LUVORA_DB_DIR, error);
        if (FFolder.empty()) {
            Error = error;
            return;
        }
        SetModuleFileNameOverride((FFolder / "Luvora").string());
        SetRegistryStoreFileOverride((FFolder / "registry.reg").string());
        DM = std::make_unique<TMain_DataModule>(nullptr);
        if (DM->StartupFailed()) {
            Error = "the data module did not start";
            return;
        }
        TDatabase db;
        db.DB_NAME = "Основная база данных"_cp;
        db.DB_ID = TListDatabases().AddDatabase(db);
        User.DB_ID = db.DB_ID;
        User.FIO = "Иванов Пётр Сергеевич"_cp;
        User.AGE = 34;
        User.USER_ID = DM->ApplyUser(0, User);
        for (const char* answers : {"5041352031425304152340512345", "3214052314302415432105243102"}) {
            TTestData t;
            t.USER_ID = User.USER_ID;
            t.DATETEST = 39000.5;
            t.ANSWERS = answers;
            t.TESTDURATION = 600;
            DM->ApplyTest(0, t);
        }
    }
    ~TStoredTests() {
        DM.reset();
        std::error_code ec;
        if (!FFolder.empty()) fs::remove_all(FFolder, ec);
    }
    std::string Error;
    std::unique_ptr<TMain_DataModule> DM;
    TUser User;

private:
    fs::path FFolder;
};

TStoredTests& Stored() {
    static TScriptedMessageBoxes boxes;
    static TStoredTests stored;
    return stored;
}

bool Ready(benchmark::State& State) {
    if (!Stored().Error.empty()) State.SkipWithError(Stored().Error.c_str());
    return Stored().Error.empty();
}

// What ShowTestResults does before the modal loop, then the window shown
// and painted.
void BM_OpenResults(benchmark::State& State) {
    if (!Ready(State)) return;
    for (auto _ : State) {
        const auto start = TClock::now();
        auto form = std::make_unique<TResult_Form>(nullptr);
        form->FUser = Stored().User;
        form->FillTestList();
        form->ShowSelectedTest();
        form->Show();
        if (!WaitUntilExposed(form.get())) State.SkipWithError("the window did not show");
        form->Anketa_Report->Control()->Update();
        State.SetIterationTime(std::chrono::duration<double>(TClock::now() - start).count());
        form.reset();
    }
}

// The other test chosen in the list: scored, chart, bitmap, report, paint.
void BM_SwitchTests(benchmark::State& State) {
    if (!Ready(State)) return;
    auto form = std::make_unique<TResult_Form>(nullptr);
    form->FUser = Stored().User;
    form->FillTestList();
    form->ShowSelectedTest();
    form->Show();
    if (!WaitUntilExposed(form.get())) State.SkipWithError("the window did not show");
    int index = 0;
    for (auto _ : State) {
        index = 1 - index;
        form->TestList_ComboBox->SetItemIndex(index);
        form->TestList_ComboBoxChange(form->TestList_ComboBox);
        form->Anketa_Report->Control()->Update();
    }
}

// The report HTML of the first test (UTF-8, the chart in the temporary
// folder) set into a QTextEdit and painted.
void BM_QtTextEditShowsReport(benchmark::State& State) {
    if (!Ready(State)) return;
    TStoredTests& s = Stored();
    s.DM->OpenUserTests(s.User.USER_ID, -1);
    TTestData test;
    test.TEST_ID = -1;
    s.DM->ReadTest(test);
    TTestResult result;
    result.SetAnswers(test.ANSWERS);
    const AnsiString folder = GetTempFolder();
    TResult_Form chart(nullptr);
    chart.DrawProfileChart(result);
    chart.SaveChartBitmap(folder);
    AnsiString html;
    result.BuildReport(s.User, test, folder, html);
    const std::string utf8 = AnsiToUtf8(html);
    auto peer = MakeQtReportPeer(783, 560);
    for (auto _ : State)
        peer->Show(utf8);
    chart.DeleteChartFile(folder);
}

BENCHMARK(BM_OpenResults)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_SwitchTests)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_QtTextEditShowsReport)->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
