// The main window's grids bound to their lists: columns, cell texts, sorting
// by value, the row a refresh focuses, the header pop-up filter, and the
// layout kept in the settings store.
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include "AppFixture.h"
#include "platform/win/Registry.h"
#include "platform/win/WinReg.h"

#include <fstream>

namespace {

using MainGridsTest = AppFixture;

// Header columns of the testee grid.
constexpr TColumnIndex kFio = 1, kSex = 2, kAge = 3, kSeniority = 5, kCount = 10, kLastTest = 11;

void ClickHeader(TVirtualStringTree* Grid, TColumnIndex Column, TMouseButton Button = TMouseButton::mbLeft) {
    Grid->OnHeaderClick(Grid->Header(), Column, Button, 0, 0, 0);
}

} // namespace

TEST_F(MainGridsTest, HeadersFollowTheColumnTables) {
    TMain_Form* f = Open();
    struct TCase {
        TVirtualStringTree* Grid;
        std::vector<const char*> Titles;
        std::vector<bool> Visible;
    };
    const TCase cases[] = {
        {f->Users_Grid,
         {"", "Ф.И.О.", "Пол", "Возраст", "Должность", "Общий стаж работы", "Период работы  в организации",
          "Место работы", "Образование", "Специальность по образованию", "Количество тестирований",
          "Последнее тестирование"},
         {true, true, true, true, false, false, false, false, false, false, true, true}},
        {f->Teams_Grid,
         {"", "Место работы", "Отдел", "Количество работников отдела", "Количество респондентов",
          "Дата тестирования"},
         {true, true, true, true, true, true}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Grid->Name());
        TVirtualTreeColumns* columns = c.Grid->Header()->Columns();
        ASSERT_EQ(columns->Count(), TColumnIndex(c.Titles.size()));
        for (TColumnIndex i = 0; i < columns->Count(); ++i) {
            EXPECT_EQ(WideToAnsi(columns->GetItem(i)->Text()), Utf8ToAnsi(c.Titles[std::size_t(i)]));
            EXPECT_EQ(columns->GetItem(i)->Options().Contains(coVisible), c.Visible[std::size_t(i)]) << i;
        }
        TVirtualTreeColumn* mark = columns->GetItem(0);
        EXPECT_EQ(mark->Width(), 12);
        EXPECT_TRUE(mark->Options().Contains(coFixed));
        EXPECT_FALSE(mark->Options().Contains(coAllowClick) || mark->Options().Contains(coDraggable));
        EXPECT_EQ(c.Grid->Header()->AutoSizeIndex(), columns->Count() - 1);
        EXPECT_EQ(c.Grid->Header()->SortColumn(), 1) << "sorted by the first data column at first";
    }
}

TEST_F(MainGridsTest, CellsShowTheRowsValues) {
    const int32_t tested = AddTestee("Иванов", 34, 10.5);
    AddTest(tested, EncodeDate(2007, 3, 1) + EncodeTime(9, 30, 0, 0));
    AddTest(tested, EncodeDate(2007, 4, 2) + EncodeTime(17, 5, 0, 0));
    AddTestee("Петров");
    AddTeam("Завод");
    TMain_Form* f = Open();
    struct TCase {
        TColumnIndex Column;
        std::vector<AnsiString> Texts;
    };
    for (const TCase& c :
         {TCase{0, {"", ""}}, TCase{kFio, {"Иванов"_cp, "Петров"_cp}}, TCase{kAge, {"34", ""}},
          TCase{kSeniority, {"10.5", "0"}}, TCase{kCount, {"2", ""}}, TCase{kLastTest, {"02.04.2007", ""}}}) {
        SCOPED_TRACE(c.Column);
        EXPECT_EQ(ColumnTexts(f->Users_Grid, c.Column), c.Texts);
    }
    EXPECT_EQ(ColumnTexts(f->Teams_Grid, 5), std::vector<AnsiString>{"14.05.2007"});
    EXPECT_EQ(ColumnTexts(f->Teams_Grid, 3), std::vector<AnsiString>{""}) << "no number of employees";
}

TEST_F(MainGridsTest, HeaderClicksSortNumbersAndDatesByValue) {
    const int32_t a = AddTestee("Борисов", 9, 2);
    const int32_t b = AddTestee("Андреев", 100, 10.5);
    const int32_t c = AddTestee("Вавилов", 10, 3);
    AddTestee("Гусев");
    for (int i = 0; i < 10; ++i)
        AddTest(a, EncodeDate(2006, 1, 1 + i));
    AddTest(b, EncodeDate(2007, 1, 1));
    AddTest(b, EncodeDate(2007, 1, 2));
    AddTest(c, EncodeDate(2005, 6, 1) + 0.75);
    TMain_Form* f = Open();
    struct TCase {
        TColumnIndex Column;
        std::vector<AnsiString> Ascending;
    };
    const TCase cases[] = {
        {kFio, {"Андреев"_cp, "Борисов"_cp, "Вавилов"_cp, "Гусев"_cp}},
        {kAge, {"Гусев"_cp, "Борисов"_cp, "Вавилов"_cp, "Андреев"_cp}},
        {kSeniority, {"Гусев"_cp, "Борисов"_cp, "Вавилов"_cp, "Андреев"_cp}},
        {kCount, {"Гусев"_cp, "Вавилов"_cp, "Андреев"_cp, "Борисов"_cp}},
        {kLastTest, {"Гусев"_cp, "Вавилов"_cp, "Борисов"_cp, "Андреев"_cp}},
    };
    for (const TCase& t : cases) {
        SCOPED_TRACE(t.Column);
        if (f->Users_Grid->Header()->SortColumn() != t.Column) ClickHeader(f->Users_Grid, t.Column);
        EXPECT_EQ(f->Users_Grid->Header()->SortDirection(), sdAscending);
        EXPECT_EQ(ColumnTexts(f->Users_Grid, kFio), t.Ascending);
        ClickHeader(f->Users_Grid, t.Column);
        EXPECT_EQ(f->Users_Grid->Header()->SortDirection(), sdDescending);
        EXPECT_EQ(ColumnTexts(f->Users_Grid, kFio),
                  std::vector<AnsiString>(t.Ascending.rbegin(), t.Ascending.rend()));
    }
    // The mark column and other buttons than the left one do not sort.
    ClickHeader(f->Users_Grid, 0);
    ClickHeader(f->Users_Grid, kAge, TMouseButton::mbRight);
    EXPECT_EQ(f->Users_Grid->Header()->SortColumn(), kLastTest);
}

TEST_F(MainGridsTest, ARefreshFocusesTheRowOfItsIdOrTheFirstRow) {
    AddTestee("Вавилов");
    const int32_t b = AddTestee("Борисов");
    AddTestee("Андреев");
    TMain_Form* f = Open();
    EXPECT_EQ(WideToAnsi(f->Users_Grid->GetCellText(f->Users_Grid->FocusedNode(), kFio)), "Андреев"_cp)
        << "no row has id 0: the first in sorted order";
    for (int32_t locate : {b, -1, 99999}) {
        SCOPED_TRACE(locate);
        f->RefreshTestees(locate);
        const AnsiString want = locate == b ? "Борисов"_cp : "Андреев"_cp;
        EXPECT_EQ(WideToAnsi(f->Users_Grid->GetCellText(f->Users_Grid->FocusedNode(), kFio)), want);
        EXPECT_EQ(f->Users_Grid->SelectedCount(), 1);
        EXPECT_TRUE(f->Users_Grid->Selected(f->Users_Grid->FocusedNode()));
    }
    EXPECT_EQ(f->Teams_Grid->FocusedNode(), nullptr) << "an empty grid has no focused row";
}

TEST_F(MainGridsTest, NodesTakeTheirOwnRowsWhenInitialisedOutOfOrder) {
    for (const char* fio : {"Андреев", "Борисов", "Вавилов", "Гусев", "Дмитриев"})
        AddTestee(fio);
    TMain_Form* f = Open();
    f->Users_Grid->Header()->SetSortColumn(NoColumn);
    // Something asks for the last node while the grid fills, before its
    // turn: it still shows the last row.
    bool asked = false;
    f->Users_Grid->OnStructureChange = [&](TBaseVirtualTree* Sender, PVirtualNode, TChangeReason) {
        if (Sender->GetRootNodeCount() == 5 && !asked) {
            asked = true;
            Sender->GetLast();
        }
    };
    f->RefreshTestees(-1);
    EXPECT_TRUE(asked);
    // Unsorted, the grid shows the rows in the list's order.
    std::vector<AnsiString> rows;
    TIBQuery* list = DM->Users_IBQuery;
    for (list->First(); !list->Eof(); list->Next())
        rows.push_back(list->FieldByName("FIO").AsString());
    EXPECT_EQ(ColumnTexts(f->Users_Grid, kFio), rows);
}

TEST_F(MainGridsTest, TheHeaderPopUpOffersOnlyTheColumnsTheUserMayHide) {
    AddTestee("Иванов");
    TMain_Form* f = Open();
    for (TVirtualStringTree* grid : {f->Users_Grid, f->Teams_Grid}) {
        SCOPED_TRACE(grid->Name());
        f->VTHeaderPopupMenu1->SetPopupComponent(grid);
        Menus.Answers.push_back(TScriptedMenus::Choose(grid == f->Users_Grid ? "Пол"_cp : "Отдел"_cp));
        f->VTHeaderPopupMenu1->Popup(0, 0);
        const std::vector<AnsiString>& shown = Menus.Log.back().Shown;
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(std::count(shown.begin(), shown.end(), "Ф.И.О."_cp), 0);
        EXPECT_EQ(std::count(shown.begin(), shown.end(), "Место работы"_cp), grid == f->Users_Grid ? 1 : 0)
            << "the testee's place of work may go, the group's may not";
        EXPECT_EQ(shown.size(), grid == f->Users_Grid ? 10u : 4u) << "no mark column";
        EXPECT_FALSE(grid->Header()->Columns()->GetItem(2)->Options().Contains(coVisible));
    }
}

TEST_F(MainGridsTest, TheLayoutComesBackFromTheSettingsStore) {
    AddTestee("Андреев", 40);
    AddTestee("Борисов", 30);
    TMain_Form* f = Open();
    TVirtualTreeColumns* columns = f->Users_Grid->Header()->Columns();
    columns->GetItem(kSex)->SetOptions(columns->GetItem(kSex)->Options() - TVTColumnOptions{coVisible});
    columns->GetItem(kFio)->SetWidth(140);
    columns->GetItem(kAge)->SetPosition(1);
    ClickHeader(f->Users_Grid, kAge);
    ClickHeader(f->Users_Grid, kAge);
    CloseForm();

    f = Open();
    columns = f->Users_Grid->Header()->Columns();
    EXPECT_FALSE(columns->GetItem(kSex)->Options().Contains(coVisible));
    EXPECT_EQ(columns->GetItem(kFio)->Width(), 140);
    EXPECT_EQ(columns->GetItem(kAge)->Position(), 1u);
    EXPECT_EQ(f->Users_Grid->Header()->SortColumn(), kAge);
    EXPECT_EQ(f->Users_Grid->Header()->SortDirection(), sdDescending);
    EXPECT_EQ(ColumnTexts(f->Users_Grid, kFio), (std::vector<AnsiString>{"Андреев"_cp, "Борисов"_cp}))
        << "the first fill is sorted by the stored column";
    CloseForm();

    // Values of another type are taken as absent.
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("\\Software\\Tarvik\\Luvora\\Users_Grid", false));
        reg.WriteString("SortColumn", "3");
        ASSERT_TRUE(reg.OpenKey("\\Software\\Tarvik\\Luvora\\Users_Grid\\Col1", false));
        reg.WriteString("Width", "wide");
    }
    f = Open();
    EXPECT_EQ(f->Users_Grid->Header()->SortColumn(), 1);
    EXPECT_EQ(f->Users_Grid->Header()->Columns()->GetItem(kFio)->Width(), 50);
    EXPECT_FALSE(f->Users_Grid->Header()->Columns()->GetItem(kSex)->Options().Contains(coVisible));
}

TEST_F(MainGridsTest, ASettingsStoreThatCannotBeWrittenIsReportedAndTheWindowStillCloses) {
    AddTestee("Андреев");
    std::ofstream(Folder.Path() + "not-a-folder") << "x";
    SetRegistryStoreFileOverride(Folder.Path() + "not-a-folder/registry.reg");
    TMain_Form* f = Open();
    EXPECT_EQ(f->Users_Grid->Header()->SortColumn(), 1) << "the defaults, nothing read";
    EXPECT_TRUE(Boxes.Log.empty());
    f->Show();
    f->Close();
    EXPECT_FALSE(f->Visible());
    ASSERT_EQ(Boxes.Log.size(), 2u) << "one report for the window's place, one for both grids";
    for (const TMessageBoxRecord& box : Boxes.Log)
        EXPECT_EQ(box.Icon(), unsigned(MB_ICONERROR));
}

// Every write of the settings file rewrites and syncs it whole: closing the
// window writes each grid's layout at once, not one value at a time.
TEST_F(MainGridsTest, ClosingTheWindowWritesTheSettingsFileOnceAGrid) {
    AddTestee("Андреев");
    TMain_Form* f = Open();
    f->Show();
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    // A write renames a temporary file over the store's: with both ends of
    // each rename watched, no two events in a row are alike, and none merge.
    ASSERT_GE(::inotify_add_watch(watch, ExtractFilePath(RegistryStoreFileName()).c_str(),
                                  IN_MOVED_FROM | IN_MOVED_TO),
              0);
    f->Close();
    int writes = 0;
    alignas(inotify_event) char buf[4096];
    for (ssize_t n; (n = ::read(watch, buf, sizeof buf)) > 0;)
        for (char* p = buf; p < buf + n;
             p += sizeof(inotify_event) + reinterpret_cast<inotify_event*>(p)->len)
            writes += (reinterpret_cast<inotify_event*>(p)->mask & IN_MOVED_TO) != 0;
    ::close(watch);
    EXPECT_GE(writes, 2);
    EXPECT_LE(writes, 3) << "the window's place and the two grids' layouts";
    EXPECT_TRUE(Boxes.Log.empty());
}
