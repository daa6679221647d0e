// The main window on fresh database files: its pages with their tool bars,
// menus and enabling rules, the title and status bar, and the actions that
// share shortcuts between the pages.
#include <gtest/gtest.h>

#include "AppFixture.h"

namespace {

using MainFormTest = AppFixture;

struct TPageState {
    bool UsersBar, TeamsBar, UsersMenu, TestingMenu, TeamItemsAfterFirst;
    bool EditUser, DelUser, Blank, StartTest, NewUser, TeamEdit, TeamDel, TeamRes, Find;
};

TPageState StateOf(TMain_Form& F) {
    bool teamItems = true;
    for (int i = 1; i < F.Teams_MenuItem->Count(); ++i)
        teamItems = teamItems && F.Teams_MenuItem->Items(i)->Visible();
    return {F.Users_ToolBar->Visible(),
            F.Teams_ToolBar->Visible(),
            F.Users_MenuItem->Visible(),
            F.Testing_MenuItem->Visible(),
            teamItems,
            F.EditUser_SmallAction->Enabled(),
            F.DelUser_SmallAction->Enabled(),
            F.Blank_Action->Enabled(),
            F.StartTest_SmallAction->Enabled(),
            F.NewUser_SmallAction->Enabled(),
            F.TeamEditBl_Action->Enabled(),
            F.TeamDelTest_Action->Enabled(),
            F.TeamRes_Action->Enabled(),
            F.FindUser_SmallAction->Enabled()};
}

void ExpectState(const TPageState& Got, const TPageState& Want) {
    EXPECT_EQ(Got.UsersBar, Want.UsersBar);
    EXPECT_EQ(Got.TeamsBar, Want.TeamsBar);
    EXPECT_EQ(Got.UsersMenu, Want.UsersMenu);
    EXPECT_EQ(Got.TestingMenu, Want.TestingMenu);
    EXPECT_EQ(Got.TeamItemsAfterFirst, Want.TeamItemsAfterFirst);
    EXPECT_EQ(Got.EditUser, Want.EditUser);
    EXPECT_EQ(Got.DelUser, Want.DelUser);
    EXPECT_EQ(Got.Blank, Want.Blank);
    EXPECT_EQ(Got.StartTest, Want.StartTest);
    EXPECT_EQ(Got.NewUser, Want.NewUser);
    EXPECT_EQ(Got.TeamEdit, Want.TeamEdit);
    EXPECT_EQ(Got.TeamDel, Want.TeamDel);
    EXPECT_EQ(Got.TeamRes, Want.TeamRes);
    EXPECT_EQ(Got.Find, Want.Find);
}

} // namespace

TEST_F(MainFormTest, EachPageHasItsToolBarMenusAndActions) {
    struct TCase {
        const char* What;
        bool Testees, Teams, GroupPage;
        TPageState Want;
    };
    const TCase cases[] = {
        {"testee page, rows on both",
         true,
         true,
         false,
         {true, false, true, true, false, true, true, true, true, true, false, false, false, true}},
        {"group page, rows on both",
         true,
         true,
         true,
         {false, true, false, false, true, false, false, false, false, false, true, true, true, true}},
        {"testee page, no testees",
         false,
         true,
         false,
         {true, false, true, true, false, false, false, false, false, true, false, false, false, false}},
        {"group page, no groups",
         true,
         false,
         true,
         {false, true, false, false, true, false, false, false, false, false, false, false, false, false}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TearDown();
        SetUp();
        if (c.Testees) AddTestee("Иванов");
        if (c.Teams) AddTeam("Завод");
        TMain_Form* f = Open();
        if (c.GroupPage) {
            f->Main_PageControl->SetActivePage(f->Groups_TabSheet);
            f->Main_PageControlChange(f->Main_PageControl);
        }
        ExpectState(StateOf(*f), c.Want);
        EXPECT_TRUE(f->Teams_MenuItem->Items(0)->Visible()) << "\"Создать...\" is always there";
        EXPECT_TRUE(f->TeamBlank_Action->Enabled());
        EXPECT_TRUE(f->OpenDB_SmallAction->Enabled());
    }
}

TEST_F(MainFormTest, TitleAndStatusBarNameTheDatabaseAndCountTheRows) {
    AddTestee("Иванов");
    AddTestee("Петров");
    AddTeam("Завод");
    TMain_Form* f = Open();
    EXPECT_EQ(f->Caption(), "Севрола (Методика Ф. Герцберга) - Отдел кадров"_cp);
    EXPECT_EQ(f->Main_StatusBar->Panels()->Items(0)->Text(), "Текущая база данных - Отдел кадров"_cp);
    EXPECT_EQ(f->Main_StatusBar->Panels()->Items(1)->Text(), "Количество тестируемых - 2"_cp);
    EXPECT_EQ(f->Main_StatusBar->Panels()->Items(2)->Text(), "Количество групп - 1"_cp);
    EXPECT_EQ(f->Main_PageControl->ActivePage(), f->Users_TabSheet);
    EXPECT_EQ(f->Users_TabSheet->Caption(), "Индивидуальное тестирование "_cp);
}

TEST_F(MainFormTest, ResultsAndDynamicsFollowTheFocusedTesteesTests) {
    const int32_t tested = AddTestee("Иванов");
    const int32_t untested = AddTestee("Петров");
    AddTest(tested, EncodeDate(2007, 3, 1));
    TMain_Form* f = Open();
    for (auto [id, enabled] : {std::pair{tested, true}, std::pair{untested, false}}) {
        f->Users_Grid->ClearSelection();
        f->Users_Grid->SetFocusedNode(NodeOfKey(f->Users_Grid, id));
        f->Users_Grid->SetSelected(f->Users_Grid->FocusedNode(), true);
        EXPECT_EQ(f->ResultTest_SmallAction->Enabled(), enabled);
        EXPECT_EQ(f->Dynamics_Action->Enabled(), enabled);
    }
}

TEST_F(MainFormTest, SharedShortcutsReachThePageInView) {
    const int32_t user = AddTestee("Иванов");
    AddTest(user, EncodeDate(2007, 3, 1));
    AddTeam("Завод");
    TMain_Form* f = Open();
    ASSERT_TRUE(f->ResultTest_SmallAction->Enabled());
    Dialogs.Answers.push_back(
        Expect<TResult_Form>([&](TResult_Form& r) { EXPECT_EQ(r.FUser.USER_ID, user); }, mrCancel));
    EXPECT_TRUE(f->IsShortCut('R', ssCtrl));

    f->Main_PageControl->SetActivePage(f->Groups_TabSheet);
    f->Main_PageControlChange(f->Main_PageControl);
    Dialogs.Answers.push_back(Expect<TResult_Form>(
        [&](TResult_Form& r) {
            EXPECT_EQ(r.FTeam.JOB, "Завод"_cp) << "the group's results, not the testee's";
        },
        mrCancel));
    EXPECT_TRUE(f->IsShortCut('R', ssCtrl));
    ASSERT_EQ(Dialogs.Log.size(), 2u);

    // Del asks about the group entry; Ins adds no testee on the group page.
    Boxes.Answers.push_back(IDNO);
    EXPECT_TRUE(f->IsShortCut(VK_DELETE, 0));
    ASSERT_EQ(Boxes.Log.size(), 1u);
    EXPECT_EQ(Boxes.Log[0].Text, "Вы действительно желаете удалить результаты группового тестирования?"_cp);
    EXPECT_FALSE(f->IsShortCut(VK_INSERT, 0));
    EXPECT_EQ(Dialogs.Log.size(), 2u);
}
