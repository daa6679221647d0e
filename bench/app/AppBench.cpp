// The main window at work on large lists: the start-up to the shown window on
// a main file of 10^3 testees, and the refresh and sorting of the testee grid
// with 10^3 and 10^5 testees (every third with tests). Each size gets its
// own copy of the build's database files, filled once.
//
//   build/bench/app/bench_app
//
// runs them all headless (QT_QPA_PLATFORM=offscreen is set when missing).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>

#include "app/DB_Frm.h"
#include "app/MainFrm.h"
#include "bench/BenchDatabases.h"
#include "core/uDBsClass.h"
#include "platform/testing/ScriptedDialogs.h"
#include "platform/testing/ScriptedMessageBoxes.h"
#include "platform/testing/ShownWindows.h"
#include "platform/win/Module.h"
#include "platform/win/WinReg.h"

namespace {

namespace fs = std::filesystem;
using TClock = std::chrono::steady_clock;

const char* const kFirstNames[] = {"Иван", "Пётр", "Анна", "Мария", "Олег", "Елена", "Сергей", "Ольга"};
const char* const kLastNames[] = {"Иванов", "Петров", "Сидоров", "Кузнецов", "Смирнов", "Попов", "Лебедев"};

// A folder with copies of the database files, one logical database filled
// with Count testees, and the settings store beside them.
class TFilledFiles {
public:
    explicit TFilledFiles(int Count) {
        std::string error;
        FFolder = CopyBuildDatabases("luvora-appbench", LUVORA_DB_DIR, error);
        if (FFolder.empty()) {
            FError = error;
            return;
        }
        Use();
        TMain_DataModule dm(nullptr);
        if (dm.StartupFailed()) {
            FError = "the data module did not start";
            return;
        }
        Database.DB_NAME = "Основная база данных"_cp;
        Database.DB_ID = TListDatabases().AddDatabase(Database);
        Fill(dm, Count);
    }
    ~TFilledFiles() {
        std::error_code ec;
        if (!FFolder.empty()) fs::remove_all(FFolder, ec);
    }
    // The program sees these files and this store from now on.
    void Use() const {
        SetModuleFileNameOverride((FFolder / "Luvora").string());
        SetRegistryStoreFileOverride((FFolder / "registry.reg").string());
    }
    const AnsiString& Error() const { return FError; }
    TDatabase Database;

private:
    // One transaction, one prepared statement for each table.
    void Fill(TMain_DataModule& DM, int Count) {
        TIBTransaction transaction(nullptr);
        transaction.SetDefaultDatabase(DM.Main_IBDatabase);
        transaction.StartTransaction();
        TIBQuery users(nullptr), tests(nullptr);
        for (TIBQuery* q : {&users, &tests}) {
            q->SetDatabase(DM.Main_IBDatabase);
            q->SetTransaction(&transaction);
        }
        users.SetSQL("insert into USERS (USER_ID, DB_ID, FIO, SEX, AGE, SENIORITY, ORGSENIORITY) values "
                     "(next value for GEN_USERS_ID, :DB_ID, :FIO, :SEX, :AGE, :SENIORITY, :ORGSENIORITY) "
                     "returning USER_ID");
        users.Prepare();
        tests.SetSQL("insert into TESTEDUSERS (TEST_ID, USER_ID, DATETEST, ANSWERS, TESTDURATION) values "
                     "(next value for GEN_TESTEDUSERS_ID, :USER_ID, :DATETEST, :ANSWERS, :TESTDURATION)");
        tests.Prepare();
        const AnsiString answers(28, '3');
        for (int i = 0; i < Count; ++i) {
            users.ParamByName("DB_ID").SetAsInteger(Database.DB_ID);
            users.ParamByName("FIO").SetAsString(Utf8ToAnsi(kLastNames[i % 7]) + " " +
                                                 Utf8ToAnsi(kFirstNames[(i / 7) % 8]) + " " + IntToStr(i));
            users.ParamByName("SEX").SetAsString(i % 2 ? "Ж"_cp : "М"_cp);
            users.ParamByName("AGE").SetAsInteger(18 + (i * 37) % 50);
            users.ParamByName("SENIORITY").SetAsDouble((i * 13) % 400 / 10.0);
            users.ParamByName("ORGSENIORITY").SetAsDouble((i * 7) % 200 / 10.0);
            users.ExecQuery();
            const int id = users.FieldByName("USER_ID").AsInteger();
            users.Close();
            for (int t = 0; i % 3 == 0 && t < 1 + i % 4; ++t) {
                tests.ParamByName("USER_ID").SetAsInteger(id);
                tests.ParamByName("DATETEST").SetAsDateTime(39000 + (i * 11 + t * 97) % 1500 + 0.5);
                tests.ParamByName("ANSWERS").SetAsString(answers);
                tests.ParamByName("TESTDURATION").SetAsInt64(600);
                tests.ExecQuery();
            }
        }
        transaction.Commit();
    }

    fs::path FFolder;
    AnsiString FError;
};

TFilledFiles& Files(int Count) {
    static std::map<int, std::unique_ptr<TFilledFiles>> files;
    auto& f = files[Count];
    if (!f) f = std::make_unique<TFilledFiles>(Count);
    f->Use();
    return *f;
}

// The main window of a filled database, with the program's objects.
class TMainWindow {
public:
    explicit TMainWindow(TFilledFiles& Files) {
        DM = std::make_unique<TMain_DataModule>(nullptr);
        Tarvik = std::make_unique<TTarvikApplication>();
        Tarvik->LoadSettings();
        Form = CreateMainForm(Tarvik.get(), Files.Database);
    }
    ~TMainWindow() {
        Form.reset();
        Tarvik.reset();
        DM.reset();
    }
    std::unique_ptr<TMain_DataModule> DM;
    std::unique_ptr<TTarvikApplication> Tarvik;
    std::unique_ptr<TMain_Form> Form;
};

bool Ready(benchmark::State& State, const TFilledFiles& F) {
    if (!F.Error().empty()) State.SkipWithError(F.Error().c_str());
    return F.Error().empty();
}

TScriptedMessageBoxes& Boxes() {
    static TScriptedMessageBoxes boxes;
    return boxes;
}

TScriptedDialogs& Dialogs() {
    static TScriptedDialogs dialogs;
    return dialogs;
}

// The user opens the database the chooser shows selected.
int OpenSelected(TCustomForm* Form) {
    auto* chooser = dynamic_cast<TDB_Form*>(Form);
    if (!chooser) return mrCancel;
    chooser->OK_But->Click();
    return chooser->ModalResult();
}

// From nothing to the main window shown on the screen: the data module and
// its connections, the settings, the choice of the database, the window with
// both grids filled and sorted, shown and painted.
void BM_StartupToShownWindow(benchmark::State& State) {
    Boxes();
    TFilledFiles& files = Files(int(State.range(0)));
    if (!Ready(State, files)) return;
    for (auto _ : State) {
        const auto start = TClock::now();
        auto dm = std::make_unique<TMain_DataModule>(nullptr);
        auto tarvik = std::make_unique<TTarvikApplication>();
        tarvik->LoadSettings();
        TDatabase database;
        Dialogs().Answers.push_back(OpenSelected);
        if (!ChooseDatabase(database)) State.SkipWithError("no database was chosen");
        std::unique_ptr<TMain_Form> form = CreateMainForm(tarvik.get(), database);
        form->Show();
        if (!WaitUntilExposed(form.get())) State.SkipWithError("the window did not show");
        State.SetIterationTime(std::chrono::duration<double>(TClock::now() - start).count());
        form.reset();
        tarvik.reset();
        dm.reset();
    }
}

// RefreshTestees: the list read from the database, the grid rebuilt and
// sorted by the name column.
void BM_RefreshTestees(benchmark::State& State) {
    TFilledFiles& files = Files(int(State.range(0)));
    if (!Ready(State, files)) return;
    TMainWindow window(files);
    for (auto _ : State)
        window.Form->RefreshTestees(-1);
    State.counters["rows"] = double(window.Form->Users_Grid->GetRootNodeCount());
    State.SetItemsProcessed(int64_t(State.iterations()) * State.range(0));
}

// The database's part of it: the list alone.
void BM_OpenTesteeList(benchmark::State& State) {
    TFilledFiles& files = Files(int(State.range(0)));
    if (!Ready(State, files)) return;
    TMainWindow window(files);
    for (auto _ : State)
        window.DM->OpenUsers(-1, files.Database.DB_ID);
}

// A click on a header of a filled grid: the rows sorted by that column, the
// first click ascending, the next descending.
void BM_SortTestees(benchmark::State& State) {
    TFilledFiles& files = Files(int(State.range(0)));
    if (!Ready(State, files)) return;
    TMainWindow window(files);
    TVirtualStringTree* grid = window.Form->Users_Grid;
    const TColumnIndex column = TColumnIndex(State.range(1));
    for (auto _ : State)
        grid->OnHeaderClick(grid->Header(), column, TMouseButton::mbLeft, 0, 0, 0);
    State.SetItemsProcessed(int64_t(State.iterations()) * State.range(0));
}

} // namespace

BENCHMARK(BM_StartupToShownWindow)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RefreshTestees)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenTesteeList)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
// Columns: 1 the name, 3 the age, 5 the years of work, 11 the latest test.
BENCHMARK(BM_SortTestees)
    ->ArgsProduct({{100000}, {1, 3, 5, 11}})
    ->ArgNames({"testees", "column"})
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
