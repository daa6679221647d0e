// What the main window's actions do: databases, testees, tests, group
// entries, options and help.
#include "app/About_Frm.h"
#include "app/AddTester_Frm.h"
#include "app/Blank_Frm.h"
#include "app/DBEdit_Frm.h"
#include "app/DB_Frm.h"
#include "app/Instr_Frm.h"
#include "app/MainFrm.h"
#include "app/Option_Frm.h"
#include "app/Password_Frm.h"
#include "app/Sour_Frm.h"
#include "app/TeamBlank_Frm.h"
#include "app/Test_Frm.h"
#include "app/results/Dinamics_Frm.h"
#include "app/results/Result_Frm.h"
#include "core/uDBsClass.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Module.h"
#include "platform/win/ShellAPI.h"

namespace {

const char* const kHelpFile = "Luvoras.chm";
const char* const kMakerSite = "http://www.tarvik.ru";

bool AskDelete(const AnsiString& Question) {
    return MessageBox(Question, "Подтверждение удаления"_cp, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// Opens Target through the shell; a failure is told, never passed over.
void OpenThroughShell(const AnsiString& Target, const AnsiString& Failure) {
    AnsiString error;
    if (!ShellOpen(Target, &error)) MessageBox(Failure + "\n" + error, "Ошибка"_cp, MB_OK | MB_ICONERROR);
}

} // namespace

void TMain_Form::NewDBExecute(TObject*) {
    TListDatabases list;
    TDatabase database;
    const bool stored = EditDatabaseCard(database, [&](TDatabase& Typed) {
        Typed.DB_ID = list.AddDatabase(Typed);
        return Typed.DB_ID != -1;
    });
    if (!stored) return;
    CurrentDatabase = database;
    UpdateTitle();
    RefreshTestees(-1);
    RefreshTeams(-1);
    FocusGrid();
}

void TMain_Form::OpenDBExecute(TObject*) {
    if (!ChooseDatabase(CurrentDatabase)) {
        // The chooser may have renamed the open database.
        UpdateTitle();
        return;
    }
    UpdateTitle();
    RefreshTestees(-1);
    RefreshTeams(-1);
    FocusGrid();
}

void TMain_Form::Exit_ActionExecute(TObject*) {
    Close();
}

void TMain_Form::AddTestExecute(TObject*) {
    TUser user;
    const bool stored = EditTesteeCard(TarvikApplication, user, [this](TUser& Typed) {
        Typed.DB_ID = CurrentDatabase.DB_ID;
        const int32_t id = Main_DataModule->ApplyUser(akInsert, Typed);
        if (id == -1) return false;
        Typed.USER_ID = id;
        return true;
    });
    if (stored) RefreshTestees(user.USER_ID);
}

void TMain_Form::EditTestExecute(TObject*) {
    if (Users_Grid->GetRootNodeCount() == 0) return;
    TUser user;
    if (!ReadFocusedTestee(user)) return;
    const bool stored = EditTesteeCard(TarvikApplication, user, [](TUser& Typed) {
        return Main_DataModule->ApplyUser(akUpdate, Typed) != -1;
    });
    if (stored) RefreshTestees(user.USER_ID);
}

void TMain_Form::DelTestExecute(TObject*) {
    if (!AskDelete(Users_Grid->SelectedCount() > 1 ? "Вы действительно желаете удалить тестируемых?"_cp
                                                   : "Вы действительно желаете удалить тестируемого?"_cp))
        return;
    for (int32_t id : SelectedKeys(Users_Grid)) {
        TUser user;
        user.USER_ID = id;
        // A failed delete has told why; the others still go.
        Main_DataModule->ApplyUser(akDelete, user);
    }
    RefreshTestees(-1);
}

void TMain_Form::SeekTestExecute(TObject*) {
    SearchInGrid(TesteePageActive() ? Users_Grid : Teams_Grid);
}

void TMain_Form::StartTest_SmallActionExecute(TObject*) {
    Hide();
    // Whatever happens to the test, the psychologist's password brings the
    // window back; an error goes on to the top-level handler after that.
    TScopeGuard back([this] {
        for (;;) {
            // A program told to end from outside ends with the window hidden.
            if (Application->Ending()) return;
            AnsiString password = TarvikApplication->Security->GetPassword();
            if (InputPassword("Введите пароль психолога"_cp, password, false)) break;
        }
        Show();
        FocusGrid();
    });
    ShowInstruction("Начать тестирование"_cp);
    TUser user;
    // No test for a testee that was not read.
    if (!ReadFocusedTestee(user)) return;
    TTestData test;
    test.USER_ID = user.USER_ID;
    if (RunTest(test)) RefreshTestees(user.USER_ID);
}

void TMain_Form::Blank_ActionExecute(TObject*) {
    TUser user;
    if (!ReadFocusedTestee(user)) return;
    TTestData test;
    test.USER_ID = user.USER_ID;
    test.TEST_ID = -1;
    if (EnterFromBlank(test)) RefreshTestees(user.USER_ID);
}

void TMain_Form::ResultTestExecute(TObject*) {
    TUser user;
    if (!ReadFocusedTestee(user)) return;
    if (ShowTestResults(user)) RefreshTestees(user.USER_ID);
}

void TMain_Form::Dynamics_ActionExecute(TObject*) {
    TUser user;
    if (ReadFocusedTestee(user)) ShowDynamics(user);
}

void TMain_Form::TeamBlank_ActionExecute(TObject*) {
    TTeam team;
    if (TesteePageActive()) {
        if (Users_Grid->SelectedCount() <= 1) return;
        TStringList list;
        for (int32_t id : SelectedKeys(Users_Grid))
            list.Add(IntToStr(id));
        team.TEAM_ID = -1;
        if (!NewTeamFromTestees(&list, team)) return;
    } else if (!EditTeamBlank(team)) {
        return;
    }
    team.DB_ID = CurrentDatabase.DB_ID;
    const int32_t id = Main_DataModule->ApplyTeam(akInsert, team);
    if (id == -1) return;
    RefreshTeams(id);
    if (TesteePageActive()) {
        Main_PageControl->SetActivePage(Groups_TabSheet);
        UpdatePageActions();
    }
}

void TMain_Form::TeamEditBl_ActionExecute(TObject*) {
    if (Teams_Grid->GetRootNodeCount() == 0) return;
    TTeam team;
    if (!ReadFocusedTeam(team) || !EditTeamBlank(team)) return;
    // The list shows what the store holds now, whether the write went
    // through or not.
    Main_DataModule->ApplyTeam(akUpdate, team);
    RefreshTeams(team.TEAM_ID);
}

void TMain_Form::TeamDelTest_ActionExecute(TObject*) {
    if (Teams_Grid->GetRootNodeCount() == 0) return;
    if (!AskDelete("Вы действительно желаете удалить результаты группового тестирования?"_cp)) return;
    for (int32_t id : SelectedKeys(Teams_Grid)) {
        TTeam team;
        team.TEAM_ID = id;
        Main_DataModule->ApplyTeam(akDelete, team);
    }
    RefreshTeams(-1);
}

void TMain_Form::TeamRes_ActionExecute(TObject*) {
    if (Teams_Grid->GetRootNodeCount() == 0) return;
    TTeam team;
    // An entry without raw scores has no results to show.
    if (ReadFocusedTeam(team) && !team.DATA.empty()) ShowTeamResults(team);
}

void TMain_Form::OptionExecute(TObject*) {
    if (!ShowOptions(TarvikApplication)) return;
    Users_Grid->Invalidate();
    Teams_Grid->Invalidate();
}

void TMain_Form::HelpExecute(TObject*) {
    const AnsiString file = GetModuleFolder() + kHelpFile;
    if (!FileExists(file)) {
        MessageBox("Не найден файл справки "_cp + file + ".", "Ошибка"_cp, MB_OK | MB_ICONERROR);
        return;
    }
    OpenThroughShell(file, "Не удалось открыть файл справки "_cp + file + ".");
}

void TMain_Form::InternetHelpExecute(TObject*) {
    OpenThroughShell(kMakerSite, "Не удалось открыть сайт "_cp + kMakerSite + ".");
}

void TMain_Form::AboutExecute(TObject*) {
    ShowAbout();
}
