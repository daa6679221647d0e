// The main window's actions: the windows they open with the right records,
// what they store, their questions, the password after a test, databases,
// and help.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

#include "AppFixture.h"
#include "DialogDriver.h"
#include "app/DB_Frm.h"
#include "platform/win/ShellAPI.h"

namespace {

using MainActionsTest = AppFixture;

void Focus(TBaseVirtualTree* Grid, PVirtualNode Node) {
    Grid->ClearSelection();
    Grid->SetFocusedNode(Node);
    Grid->SetSelected(Node, true);
}

void ShowGroupPage(TMain_Form* F) {
    F->Main_PageControl->SetActivePage(F->Groups_TabSheet);
    F->Main_PageControlChange(F->Main_PageControl);
}

} // namespace

TEST_F(MainActionsTest, WindowsOpenWithTheFocusedRowsRecord) {
    const int32_t user = AddTestee("Петров", 41);
    AddTestee("Иванов");
    AddTest(user, EncodeDate(2007, 3, 1));
    const int32_t team = AddTeam("Завод");
    TMain_Form* f = Open();
    Focus(f->Users_Grid, NodeOfKey(f->Users_Grid, user));
    auto testee = [&](TAction* Action, std::function<int(TCustomForm*)> Answer) {
        Dialogs.Answers.push_back(std::move(Answer));
        EXPECT_TRUE(Action->Execute()) << Action->Name();
    };
    testee(f->EditUser_SmallAction, Expect<TAddTester_Form>(
                                        [&](TAddTester_Form& w) {
                                            EXPECT_EQ(w.User.USER_ID, user);
                                            EXPECT_EQ(w.User.FIO, "Петров"_cp);
                                            EXPECT_EQ(w.User.AGE, 41);
                                            EXPECT_TRUE(w.User.HasTests);
                                            EXPECT_EQ(w.Caption(), "Корректировка данных тестируемого"_cp);
                                        },
                                        mrCancel));
    testee(f->Blank_Action, Expect<TBlank_Form>(
                                [&](TBlank_Form& w) {
                                    EXPECT_EQ(w.TestData.USER_ID, user);
                                    EXPECT_EQ(w.TestData.TEST_ID, -1);
                                },
                                mrCancel));
    testee(f->ResultTest_SmallAction,
           Expect<TResult_Form>([&](TResult_Form& w) { EXPECT_EQ(w.FUser.USER_ID, user); }, mrCancel));
    testee(f->Dynamics_Action,
           Expect<TDinamics_Form>([&](TDinamics_Form& w) { EXPECT_EQ(w.FUser.FIO, "Петров"_cp); }, mrCancel));
    testee(f->FindUser_SmallAction,
           Expect<TSearch_Form>([&](TSearch_Form& w) { EXPECT_EQ(w.Tree, f->Users_Grid); }, mrCancel));

    ShowGroupPage(f);
    testee(f->TeamEditBl_Action, Expect<TTeamBlnk_Form>(
                                     [&](TTeamBlnk_Form& w) {
                                         EXPECT_EQ(w.Team.TEAM_ID, team);
                                         EXPECT_EQ(w.Team.JOB, "Завод"_cp);
                                         EXPECT_EQ(w.Testees.Count(), 0);
                                     },
                                     mrCancel));
    testee(f->TeamRes_Action,
           Expect<TResult_Form>([&](TResult_Form& w) { EXPECT_EQ(w.FTeam.TEAM_ID, team); }, mrCancel));
    testee(f->FindUser_SmallAction,
           Expect<TSearch_Form>([&](TSearch_Form& w) { EXPECT_EQ(w.Tree, f->Teams_Grid); }, mrCancel));
    EXPECT_EQ(Dialogs.Log.size(), 8u);
    EXPECT_TRUE(Dialogs.Answers.empty());
}

TEST_F(MainActionsTest, AGroupEntryWithoutRawScoresOpensNoResults) {
    AddTeam("Завод", "");
    TMain_Form* f = Open();
    ShowGroupPage(f);
    EXPECT_TRUE(f->TeamRes_Action->Execute());
    EXPECT_TRUE(Dialogs.Log.empty());
}

TEST_F(MainActionsTest, TesteesAreAddedEditedAndDeleted) {
    AddTestee("Андреев");
    TMain_Form* f = Open();
    Dialogs.Answers.push_back(AsUser<TAddTester_Form>([](TAddTester_Form& w) {
        EXPECT_EQ(w.User.USER_ID, -1);
        EXPECT_EQ(w.Caption(), "Добавление нового тестируемого"_cp);
        Type(w.FIO_Edit, "Яковлев");
        w.OK_But->Click();
    }));
    f->NewUser_SmallAction->Execute();
    EXPECT_EQ(WideToAnsi(f->Users_Grid->GetCellText(f->Users_Grid->FocusedNode(), 1)), "Яковлев"_cp)
        << "the new row is focused";
    const int32_t added = FocusedKey(f->Users_Grid);

    Dialogs.Answers.push_back(AsUser<TAddTester_Form>([](TAddTester_Form& w) {
        Erase(w.Age_Edit);
        Type(w.Age_Edit, "52");
        w.OK_But->Click();
    }));
    f->EditUser_SmallAction->Execute();
    EXPECT_EQ(FocusedKey(f->Users_Grid), added);
    EXPECT_EQ(WideToAnsi(f->Users_Grid->GetCellText(f->Users_Grid->FocusedNode(), 3)), "52");

    // A cancelled card stores nothing.
    Dialogs.Answers.push_back(AsUser<TAddTester_Form>([](TAddTester_Form& w) {
        Erase(w.Age_Edit);
        Type(w.Age_Edit, "60");
        w.Cancel_But->Click();
    }));
    f->EditUser_SmallAction->Execute();
    EXPECT_EQ(WideToAnsi(f->Users_Grid->GetCellText(f->Users_Grid->FocusedNode(), 3)), "52");

    AddTestee("Борисов");
    f->RefreshTestees(-1);
    f->Users_Grid->SelectAll(false);
    ASSERT_EQ(f->Users_Grid->SelectedCount(), 3);
    Boxes.Answers = {IDNO, IDYES};
    f->DelUser_SmallAction->Execute();
    EXPECT_EQ(f->Users_Grid->GetRootNodeCount(), 3u) << "No deletes nothing";
    f->DelUser_SmallAction->Execute();
    ASSERT_EQ(Boxes.Log.size(), 2u);
    EXPECT_EQ(Boxes.Log[1].Text, "Вы действительно желаете удалить тестируемых?"_cp);
    EXPECT_EQ(Boxes.Log[1].Caption, "Подтверждение удаления"_cp);
    EXPECT_EQ(Boxes.Log[1].Buttons(), unsigned(MB_YESNO));
    EXPECT_EQ(Boxes.Log[1].Icon(), unsigned(MB_ICONQUESTION));
    EXPECT_EQ(f->Users_Grid->GetRootNodeCount(), 0u);
    EXPECT_FALSE(f->EditUser_SmallAction->Enabled());

    AddTestee("Гусев");
    f->RefreshTestees(-1);
    Boxes.Answers = {IDYES};
    f->DelUser_SmallAction->Execute();
    EXPECT_EQ(Boxes.Log.back().Text, "Вы действительно желаете удалить тестируемого?"_cp);
}

TEST_F(MainActionsTest, AFailingWriteIsShownAndNothingIsLost) {
    AddTestee("Андреев");
    const int32_t kept = AddTestee("Борисов");
    TMain_Form* f = Open();
    Focus(f->Users_Grid, NodeOfKey(f->Users_Grid, kept));
    RefuseValue("USERS", "FIO", "fail");
    for (TAction* action : {f->NewUser_SmallAction, f->EditUser_SmallAction}) {
        Dialogs.Answers.push_back(AsUser<TAddTester_Form>([](TAddTester_Form& w) {
            Erase(w.FIO_Edit);
            Type(w.FIO_Edit, "fail");
            w.OK_But->Click();
            EXPECT_EQ(w.ModalResult(), mrNone) << "the card stays open";
            EXPECT_EQ(w.FIO_Edit->Text(), "fail") << "with what was typed";
            w.Cancel_But->Click();
        }));
        action->Execute();
    }
    ASSERT_EQ(Boxes.Log.size(), 2u);
    for (const TMessageBoxRecord& box : Boxes.Log)
        EXPECT_EQ(box.Caption, "Error");
    EXPECT_EQ(ColumnTexts(f->Users_Grid, 1), (std::vector<AnsiString>{"Андреев"_cp, "Борисов"_cp}));
    EXPECT_EQ(FocusedKey(f->Users_Grid), kept);
    TUser stored;
    stored.USER_ID = kept;
    DM->OpenUsers(kept, Database.DB_ID);
    ASSERT_TRUE(DM->ReadUser(stored));
    EXPECT_EQ(stored.FIO, "Борисов"_cp);
    const AnsiString tooLong(201, 'x');

    // A failed group edit still shows the list as it is stored.
    const int32_t team = AddTeam("Завод");
    f->RefreshTeams(team);
    ShowGroupPage(f);
    Dialogs.Answers.push_back(Expect<TTeamBlnk_Form>([&](TTeamBlnk_Form& w) { w.Team.JOB = tooLong; }, mrOk));
    f->TeamEditBl_Action->Execute();
    EXPECT_EQ(Boxes.Log.size(), 3u);
    EXPECT_EQ(ColumnTexts(f->Teams_Grid, 1), std::vector<AnsiString>{"Завод"_cp});
    EXPECT_EQ(FocusedKey(f->Teams_Grid), team);
}

TEST_F(MainActionsTest, AfterATestThePsychologistsPasswordIsAskedUntilItIsRight) {
    Tarvik->Security->SetPassword("Секрет"_cp);
    const int32_t user = AddTestee("Иванов");
    TMain_Form* f = Open();
    f->Show();
    bool hidden = false;
    Dialogs.Answers.push_back(Expect<TInstr_Form>(
        [&](TInstr_Form& w) {
            hidden = !f->Visible();
            EXPECT_EQ(w.BeginTesting_But->Caption(), "Начать тестирование"_cp);
        },
        mrOk));
    Dialogs.Answers.push_back(Expect<TTest_Form>(
        [&](TTest_Form& w) {
            EXPECT_EQ(w.TestData.USER_ID, user);
            EXPECT_EQ(w.TestData.TEST_ID, -1);
            // The test is stored as the questionnaire does it.
            AddTest(user, EncodeDate(2007, 6, 1));
        },
        mrOk));
    // Cancel, Escape and a wrong password all bring the prompt back.
    auto prompt = [&](std::function<void(TInputPassword_Form&)> Acts) {
        Dialogs.Answers.push_back(AsUser<TInputPassword_Form>([&f, Acts](TInputPassword_Form& w) {
            EXPECT_TRUE(!f->Visible());
            EXPECT_EQ(w.Caption(), "Введите пароль психолога"_cp);
            EXPECT_FALSE(w.Confirm);
            Acts(w);
        }));
    };
    prompt([](TInputPassword_Form& w) { w.Cancel_But->Click(); });
    prompt([](TInputPassword_Form& w) { Press(w.Password_Edit, Qt::Key_Escape); });
    prompt([](TInputPassword_Form& w) {
        Type(w.Password_Edit, "секрет");
        Press(w.Password_Edit, Qt::Key_Return);
        EXPECT_EQ(w.ModalResult(), mrNone);
        w.Cancel_But->Click();
    });
    prompt([](TInputPassword_Form& w) {
        Type(w.Password_Edit, "Секрет");
        Press(w.Password_Edit, Qt::Key_Return);
    });
    f->StartTest_SmallAction->Execute();
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(f->Visible());
    EXPECT_EQ(Dialogs.Log.size(), 6u);
    EXPECT_EQ(Boxes.Log.size(), 1u) << "the wrong password was told";
    EXPECT_EQ(ColumnTexts(f->Users_Grid, 10), std::vector<AnsiString>{"1"}) << "the grid shows the new test";
    EXPECT_TRUE(f->ResultTest_SmallAction->Enabled());
}

TEST_F(MainActionsTest, AnErrorDuringATestStillAsksThePasswordThenReachesTheTopLevelHandler) {
    AddTestee("Иванов");
    TMain_Form* f = Open();
    f->Show();
    Dialogs.Answers.push_back(Expect<TInstr_Form>(nullptr, mrOk));
    Dialogs.Answers.push_back([](TCustomForm*) -> int { throw Exception("сбой"_cp); });
    Dialogs.Answers.push_back(Expect<TInputPassword_Form>(nullptr, mrOk));
    // As a click on the tool button runs it.
    CallAtEventBoundary(f, [&] { f->StartTest_SmallAction->Execute(); });
    EXPECT_EQ(Dialogs.Answers.size(), 0u) << "the password was asked";
    EXPECT_TRUE(f->Visible());
    ASSERT_EQ(Boxes.Log.size(), 1u);
    EXPECT_EQ(Boxes.Log[0].Text, "сбой"_cp);
}

TEST_F(MainActionsTest, NoTestRunsForATesteeThatCannotBeRead) {
    const int32_t user = AddTestee("Иванов");
    TMain_Form* f = Open();
    TUser gone;
    gone.USER_ID = user;
    ASSERT_EQ(DM->ApplyUser(akDelete, gone), user);
    DM->OpenUsers(-1, Database.DB_ID);
    Dialogs.Answers.push_back(Expect<TInstr_Form>(nullptr, mrOk));
    Dialogs.Answers.push_back(Expect<TInputPassword_Form>(nullptr, mrOk));
    f->StartTest_SmallAction->Execute();
    ASSERT_EQ(Dialogs.Log.size(), 2u) << "the instruction, then the password: no questionnaire";
    EXPECT_EQ(Dialogs.Log[1].FormName, "InputPassword_Form");

    // The other actions of the row stop too.
    for (TAction* action :
         {f->EditUser_SmallAction, f->Blank_Action, f->ResultTest_SmallAction, f->Dynamics_Action}) {
        action->SetEnabled(true);
        action->Execute();
    }
    EXPECT_EQ(Dialogs.Log.size(), 2u);
}

TEST_F(MainActionsTest, AGroupEntryIsMadeFromTheNewestTestsOfSelectedTestees) {
    const int32_t a = AddTestee("Андреев");
    const int32_t b = AddTestee("Борисов");
    TMain_Form* f = Open();
    f->TeamBlank_Action->Execute();
    EXPECT_TRUE(Dialogs.Log.empty()) << "one selected testee makes no group";

    f->Users_Grid->SelectAll(false);
    Dialogs.Answers.push_back(Expect<TTeamBlnk_Form>(
        [&](TTeamBlnk_Form& w) {
            ASSERT_EQ(w.Testees.Count(), 2);
            EXPECT_EQ(w.Testees.Strings(0), IntToStr(a));
            EXPECT_EQ(w.Testees.Strings(1), IntToStr(b));
            EXPECT_EQ(w.Team.TEAM_ID, -1);
            w.Team.JOB = "Цех"_cp;
            w.Team.NUMBEROFTESTED = 2;
        },
        mrOk));
    f->TeamBlank_Action->Execute();
    EXPECT_EQ(f->Main_PageControl->ActivePage(), f->Groups_TabSheet);
    EXPECT_TRUE(f->Teams_ToolBar->Visible());
    EXPECT_EQ(ColumnTexts(f->Teams_Grid, 1), std::vector<AnsiString>{"Цех"_cp});

    // On the group page the entry starts empty.
    Dialogs.Answers.push_back(Expect<TTeamBlnk_Form>(
        [](TTeamBlnk_Form& w) {
            EXPECT_EQ(w.Testees.Count(), 0);
            w.Team.JOB = "Склад"_cp;
        },
        mrOk));
    f->TeamBlank_Action->Execute();
    EXPECT_EQ(WideToAnsi(f->Teams_Grid->GetCellText(f->Teams_Grid->FocusedNode(), 1)), "Склад"_cp);

    Boxes.Answers = {IDYES};
    f->Teams_Grid->SelectAll(false);
    f->TeamDelTest_Action->Execute();
    EXPECT_EQ(f->Teams_Grid->GetRootNodeCount(), 0u);
}

TEST_F(MainActionsTest, DatabasesAreCreatedAndOpened) {
    AddTestee("Иванов");
    TMain_Form* f = Open();
    // A database that cannot be stored leaves the current one in force.
    RefuseValue("DATABASES", "DB_NAME", "fail");
    Dialogs.Answers.push_back(AsUser<TDBEdit_Form>([](TDBEdit_Form& w) {
        Type(w.DB_Edit, "fail");
        w.Ok_But->Click();
        EXPECT_EQ(w.ModalResult(), mrNone);
        EXPECT_EQ(w.DB_Edit->Text(), "fail");
        w.Cancel_But->Click();
    }));
    f->NewDB_SmallAction->Execute();
    EXPECT_EQ(Boxes.Log.size(), 1u);
    EXPECT_EQ(f->CurrentDatabase.DB_ID, Database.DB_ID);
    EXPECT_EQ(f->Users_Grid->GetRootNodeCount(), 1u);

    Dialogs.Answers.push_back(AsUser<TDBEdit_Form>([](TDBEdit_Form& w) {
        EXPECT_EQ(w.Caption(), "Создание базы данных"_cp);
        Type(w.DB_Edit, "Филиал");
        Type(w.Password_Edit, "пароль");
        w.Ok_But->Click();
    }));
    Dialogs.Answers.push_back(AsUser<TInputPassword_Form>([](TInputPassword_Form& w) {
        EXPECT_EQ(w.Caption(), "Подтверждение пароля"_cp);
        EXPECT_TRUE(w.Confirm);
        Type(w.Password_Edit, "пароль");
        w.Ok_But->Click();
    }));
    f->NewDB_SmallAction->Execute();
    EXPECT_NE(f->CurrentDatabase.DB_ID, Database.DB_ID);
    EXPECT_EQ(f->CurrentDatabase.DB_PASSWORD, "пароль"_cp) << "no password is asked for a new database";
    EXPECT_EQ(f->Caption(), "Севрола (Методика Ф. Герцберга) - Филиал"_cp);
    EXPECT_EQ(f->Users_Grid->GetRootNodeCount(), 0u);

    // The chooser opens on the current database; the first one is opened.
    Dialogs.Answers.push_back(AsUser<TDB_Form>([&](TDB_Form& w) {
        TDatabase selected;
        ASSERT_TRUE(w.ReadSelectedDatabase(selected));
        EXPECT_EQ(selected.DB_NAME, "Филиал"_cp);
        Press(w.Databases_Grid, Qt::Key_Home);
        w.OK_But->Click();
    }));
    f->OpenDB_SmallAction->Execute();
    EXPECT_EQ(f->CurrentDatabase.DB_ID, Database.DB_ID);
    EXPECT_EQ(f->Users_Grid->GetRootNodeCount(), 1u);
    EXPECT_TRUE(Dialogs.Answers.empty());
}

TEST_F(MainActionsTest, TheHelpFileAndTheSiteOpenOrSayWhyNot) {
    const std::string log = Folder.Path() + "opened.txt";
    const std::string opener = Folder.Path() + "opener";
    auto writeOpener = [&](int ExitCode) {
        std::ofstream(opener) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << log << "'\nexit " << ExitCode << "\n";
        ::chmod(opener.c_str(), 0700);
    };
    SetShellOpenCommandOverride(opener);
    TMain_Form* f = Open();
    writeOpener(0);
    f->Help_SmallAction->Execute();
    ASSERT_EQ(Boxes.Log.size(), 1u) << "no help file";
    EXPECT_NE(Boxes.Log[0].Text.find("Luvoras.chm"), AnsiString::npos);

    std::ofstream(Folder.Path() + "Luvoras.chm") << "help";
    f->Help_SmallAction->Execute();
    EXPECT_EQ(Boxes.Log.size(), 1u);
    std::stringstream opened;
    opened << std::ifstream(log).rdbuf();
    EXPECT_EQ(opened.str(), Folder.Path() + "Luvoras.chm");

    writeOpener(3);
    f->Help_SmallAction->Execute();
    f->Internet_SmallAction->Execute();
    ASSERT_EQ(Boxes.Log.size(), 3u) << "an opener that fails is told";
    EXPECT_EQ(Boxes.Log[2].Caption, "Ошибка"_cp);
    SetShellOpenCommandOverride("");
}
