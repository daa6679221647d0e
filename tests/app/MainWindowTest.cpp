// The main window shown (offscreen): striped rows that follow the sorted
// order, the focus mark, a click on empty space that keeps a row selected,
// and the stand-in windows' keys.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWidget>

#include "AppFixture.h"
#include "platform/canvas/QtCanvasSupport.h"
#include "platform/gui/Hints.h"
#include "platform/testing/ManualTimers.h"
#include "platform/win/Registry.h"

namespace {

using MainWindowTest = AppFixture;

void Pump() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

constexpr int kHeaderHeight = 25;

QColor Rgb(TColor Color) {
    const TColor rgb = ColorToRGB(Color);
    return QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF));
}

// The middle of row Row, in the grid's client coordinates.
int RowY(TBaseVirtualTree* Grid, int Row) {
    return kHeaderHeight + Row * int(Grid->DefaultNodeHeight()) + int(Grid->DefaultNodeHeight()) / 2;
}

// Shows the window and waits for it.
void ShowWindow(TMain_Form* F) {
    F->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(F->Widget()));
    Pump();
}

} // namespace

// A tool-bar button that shows its image alone says what it does when the
// mouse rests on it; every button carries its action's hint as its tool tip.
TEST_F(MainWindowTest, ToolBarButtonsShowTheirActionsHints) {
    TManualTimers clock;
    TMain_Form* f = Open();
    ShowWindow(f);
    Application->SetActive(true);
    TToolButton* imageOnly = nullptr;
    for (TToolBar* bar : {f->Users_ToolBar, f->Teams_ToolBar})
        for (int i = 0; i < bar->ControlCount(); ++i) {
            auto* button = dynamic_cast<TToolButton*>(bar->Controls(i));
            if (!button || button->Style() == TToolButtonStyle::tbsSeparator) continue;
            auto* action = static_cast<TCustomAction*>(button->Action());
            EXPECT_EQ(FromQtString(button->Widget()->toolTip()), action->Hint()) << action->Name();
            if (!button->ShowCaption() && bar->Visible() && !imageOnly) imageOnly = button;
        }
    ASSERT_NE(imageOnly, nullptr);
    QTest::mouseMove(imageOnly->Widget(), QPoint(imageOnly->Width() / 2, imageOnly->Height() / 2));
    Pump();
    clock.Advance(Application->HintPause());
    THintWindow* hint = Application->HintWindow();
    ASSERT_TRUE(hint && hint->Showing()) << "no hint over the image-only button";
    EXPECT_EQ(hint->Caption(), "Создать новую базу данных"_cp);
    Application->CancelHint();
}

TEST_F(MainWindowTest, RowsAlternateTheOptionColoursInSortedOrder) {
    Tarvik->Options->FirstGridRowColor = RGB(0xFF, 0xEE, 0xCC);
    Tarvik->Options->SecondGridRowColor = RGB(0xCC, 0xEE, 0xFF);
    for (const char* fio : {"Андреев", "Борисов", "Вавилов", "Гусев"})
        AddTestee(fio);
    TMain_Form* f = Open();
    ShowWindow(f);
    TVirtualStringTree* grid = f->Users_Grid;
    // A point in the empty "Пол" column, away from any text.
    const TVirtualTreeColumn* sex = grid->Header()->Columns()->GetItem(2);
    const int x = sex->Left() + 3;
    grid->ClearSelection();
    for (TSortDirection direction : {sdAscending, sdDescending}) {
        SCOPED_TRACE(direction);
        grid->SortTree(1, direction, true);
        Pump();
        const QImage shot = grid->Widget()->grab().toImage();
        for (int row = 0; row < 4; ++row)
            EXPECT_EQ(
                shot.pixelColor(x, RowY(grid, row)),
                Rgb(row % 2 == 0 ? Tarvik->Options->FirstGridRowColor : Tarvik->Options->SecondGridRowColor))
                << "row " << row;
    }
}

TEST_F(MainWindowTest, TheFocusedRowCarriesTheMark) {
    AddTestee("Андреев");
    AddTestee("Борисов");
    TMain_Form* f = Open();
    ShowWindow(f);
    TVirtualStringTree* grid = f->Users_Grid;
    auto markPixels = [&](int Row) {
        const QImage shot = grid->Widget()->grab().toImage();
        int dark = 0;
        for (int x = 1; x < 11; ++x)
            for (int y = RowY(grid, Row) - 6; y < RowY(grid, Row) + 6; ++y)
                if (shot.pixelColor(x, y).lightness() < 40) ++dark;
        return dark;
    };
    EXPECT_GT(markPixels(0), 5);
    EXPECT_EQ(markPixels(1), 0);
    grid->SetFocusedNode(grid->GetLast());
    Pump();
    EXPECT_EQ(markPixels(0), 0);
    EXPECT_GT(markPixels(1), 5);
}

TEST_F(MainWindowTest, AClickOnEmptySpaceKeepsARowSelected) {
    AddTestee("Андреев");
    AddTestee("Борисов");
    TMain_Form* f = Open();
    ShowWindow(f);
    TVirtualStringTree* grid = f->Users_Grid;
    QTest::mouseClick(grid->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(60, RowY(grid, 1)));
    Pump();
    ASSERT_EQ(grid->FocusedNode(), grid->GetLast());
    QTest::mouseClick(grid->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(60, RowY(grid, 6)));
    Pump();
    EXPECT_EQ(grid->SelectedCount(), 1);
    EXPECT_TRUE(grid->Selected(grid->GetLast()));
}

TEST_F(MainWindowTest, TheGridsContextMenuOffersTheTesteeActions) {
    const int32_t second = AddTestee("Борисов");
    AddTestee("Андреев");
    TMain_Form* f = Open();
    ShowWindow(f);
    TVirtualStringTree* grid = f->Users_Grid;
    Menus.Answers.push_back(TScriptedMenus::Choose("Изменить..."_cp));
    Dialogs.Answers.push_back(
        Expect<TAddTester_Form>([&](TAddTester_Form& w) { EXPECT_EQ(w.User.USER_ID, second); }, mrCancel));
    QTest::mouseClick(grid->Widget(), Qt::RightButton, Qt::NoModifier, QPoint(60, RowY(grid, 1)));
    Pump();
    ASSERT_EQ(Menus.Log.size(), 1u);
    EXPECT_EQ(Menus.Log[0].Shown,
              (std::vector<AnsiString>{"Добавить..."_cp, "Изменить..."_cp, "-", "Удалить..."_cp}));
    EXPECT_EQ(Dialogs.Log.size(), 1u) << "the right click chose the row first";
}

TEST_F(MainWindowTest, TheWindowComesBackWhereItWasLeft) {
    TMain_Form* f = Open();
    ShowWindow(f);
    f->SetBounds(30, 40, 900, 600);
    Pump();
    CloseForm();
    f = Open();
    ShowWindow(f);
    EXPECT_EQ(f->BoundsRect(), Bounds(30, 40, 900, 600));
    TRegistry reg;
    EXPECT_TRUE(reg.KeyExists("\\Software\\Tarvik\\Luvora\\Main_Form"));
}

TEST_F(MainWindowTest, PageCaptionsLieOnAGradientStrip) {
    TMain_Form* f = Open();
    ShowWindow(f);
    for (TAdvTabSheet* sheet : {f->Users_TabSheet, f->Groups_TabSheet}) {
        f->Main_PageControl->SetActivePage(sheet);
        Pump();
        SCOPED_TRACE(sheet->Name());
        const QImage shot = sheet->Widget()->grab().toImage();
        const int x = sheet->Width() - 5;
        EXPECT_EQ(shot.pixelColor(x, 0), Rgb(clBtnShadow)) << "dark at the top";
        EXPECT_LT(shot.pixelColor(x, 0).lightness(), shot.pixelColor(x, 11).lightness());
        EXPECT_LT(shot.pixelColor(x, 11).lightness(), shot.pixelColor(x, 21).lightness());
        EXPECT_NEAR(shot.pixelColor(x, 21).lightness(), Rgb(clBtnFace).lightness(), 6)
            << "close to the face colour at the bottom";
    }
}

// Each tab's caption, in the dialog font on an inactive tab and bold on the
// active one, ends inside its tab's border.
TEST_F(MainWindowTest, TabCaptionsEndInsideTheirTabs) {
    TMain_Form* f = Open();
    ShowWindow(f);
    TAdvPageControl* pages = f->Main_PageControl;
    for (TAdvTabSheet* active : {f->Users_TabSheet, f->Groups_TabSheet}) {
        pages->SetActivePage(active);
        Pump();
        const QImage shot = pages->Widget()->grab().toImage();
        for (int p = 0; p < pages->PageCount(); ++p) {
            SCOPED_TRACE(std::string(active->Name()) + " active, tab " + std::to_string(p));
            const TRect r = pages->TabRectOfPage(p);
            // The rightmost dark text pixel between the tab's image and the
            // next tab, the border's own column left out.
            int right = -1;
            for (int y = r.Top + 3; y < r.Bottom - 3; ++y)
                for (int x = r.Left + 24; x < std::min(shot.width(), r.Right + 1); ++x)
                    if (x != r.Right - 1 && x != r.Right && shot.pixelColor(x, y).lightness() < 90)
                        right = std::max(right, x);
            ASSERT_GT(right, r.Left);
            EXPECT_LT(right, r.Right - 2) << "tab " << r.Left << ".." << r.Right;
        }
    }
}
