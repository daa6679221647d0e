// The string grid: cells kept through resizing, cell geometry, the current
// cell and its refusals, and typing through the editor with the grid's key
// events and the form's default button.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "platform/gui/Forms.h"
#include "platform/gui/Grids.h"

TEST(StringGridTest, CellsSurviveResizingAndOutsideCellsAreEmpty) {
    TForm form(nullptr);
    auto* grid = new TStringGrid(&form);
    grid->SetParent(&form);
    grid->SetColCount(3);
    grid->SetRowCount(3);
    grid->SetCells(2, 2, "x");
    grid->SetCells(0, 0, "№");
    grid->SetRowCount(5);
    EXPECT_EQ(grid->Cells(2, 2), "x");
    EXPECT_EQ(grid->Cells(2, 4), "");
    grid->SetRowCount(2);
    EXPECT_EQ(grid->Cells(2, 2), "") << "outside the grid";
    grid->SetRowCount(3);
    EXPECT_EQ(grid->Cells(2, 2), "") << "a dropped row comes back empty";
    EXPECT_EQ(grid->Cells(0, 0), "№");
    EXPECT_THROW(grid->SetCells(3, 0, "y"), EListError);
    EXPECT_THROW(grid->SetFixedRows(3), EInvalidOperation);
}

TEST(StringGridTest, CellRectanglesFollowWidthsHeightsAndScrolling) {
    TForm form(nullptr);
    auto* grid = new TStringGrid(&form);
    grid->SetParent(&form);
    grid->SetBounds(0, 0, 300, 100);
    grid->SetColCount(3);
    grid->SetRowCount(10);
    grid->SetDefaultRowHeight(20);
    grid->SetColWidths(0, 35);
    grid->SetRowHeights(0, 35);
    EXPECT_EQ(grid->CellRect(0, 0), TRect(0, 0, 35, 35));
    EXPECT_EQ(grid->CellRect(1, 1), TRect(36, 36, 36 + 64, 56));
    int c = -1, r = -1;
    EXPECT_TRUE(grid->MouseToCell(40, 40, c, r));
    EXPECT_EQ(c, 1);
    EXPECT_EQ(r, 1);
    EXPECT_FALSE(grid->MouseToCell(299, 5, c, r));
    // Moving down past the bottom scrolls; the fixed row stays.
    ASSERT_TRUE(grid->FocusCell(1, 9));
    EXPECT_GT(grid->TopRow(), 1);
    EXPECT_TRUE(grid->CellRect(1, 1).IsEmpty());
    EXPECT_EQ(grid->CellRect(1, 0).Top, 0);
    TRect last = grid->CellRect(1, 9);
    EXPECT_FALSE(last.IsEmpty());
    EXPECT_LE(last.Bottom, grid->ClientHeight());
}

// A grid without fixed rows or columns (an answer sheet, whose first row
// names the columns) opens on its row 0 and comes back to it; fixed rows
// always show, however far it scrolls.
TEST(StringGridTest, TheTopRowsShowWhenTheGridOpensAndFixedRowsStay) {
    for (int fixed : {0, 1, 2}) {
        SCOPED_TRACE(fixed);
        TForm form(nullptr);
        auto* grid = new TStringGrid(&form);
        grid->SetParent(&form);
        grid->SetBounds(0, 0, 300, 100);
        grid->SetRowCount(20);
        grid->SetDefaultRowHeight(18);
        grid->SetFixedRows(fixed);
        grid->SetFixedCols(0);
        EXPECT_EQ(grid->TopRow(), fixed);
        for (int r = 0; r < 3; ++r)
            EXPECT_FALSE(grid->CellRect(0, r).IsEmpty()) << "row " << r;
        EXPECT_EQ(grid->CellRect(0, 0).Top, 0);
        // Down to the last row and back to the first one that scrolls.
        ASSERT_TRUE(grid->FocusCell(0, 19));
        for (int r = 0; r < fixed; ++r)
            EXPECT_FALSE(grid->CellRect(0, r).IsEmpty()) << "fixed row " << r << " scrolled away";
        ASSERT_TRUE(grid->FocusCell(0, fixed));
        EXPECT_EQ(grid->TopRow(), fixed);
        EXPECT_EQ(grid->CellRect(0, 0).Top, 0);
    }
}

TEST(StringGridTest, TheCurrentCellMovesOnlyWhereItMay) {
    TForm form(nullptr);
    auto* grid = new TStringGrid(&form);
    grid->SetParent(&form);
    grid->SetFixedCols(0);
    grid->SetFixedRows(0);
    grid->SetColCount(4);
    grid->SetRowCount(4);
    grid->SetOptions(grid->Options() | goTabs);
    // Column 0 and the last row are refused; a key towards them stays.
    grid->OnSelectCell = [](TObject*, int C, int R, bool& CanSelect) { CanSelect = C != 0 && R != 3; };
    struct {
        int FromCol, FromRow;
        Qt::Key Key;
        Qt::KeyboardModifiers Shift;
        int Col, Row;
    } cases[] = {
        {1, 1, Qt::Key_Down, {}, 1, 2},
        {1, 2, Qt::Key_Down, {}, 1, 2},
        {1, 1, Qt::Key_Left, {}, 1, 1},
        {3, 1, Qt::Key_Tab, {}, 3, 1},
        {2, 2, Qt::Key_Tab, Qt::ShiftModifier, 1, 2},
        {1, 2, Qt::Key_Tab, Qt::ShiftModifier, 1, 2},
        {1, 0, Qt::Key_Up, {}, 1, 0},
        {2, 1, Qt::Key_Right, {}, 3, 1},
    };
    for (auto& t : cases) {
        ASSERT_TRUE(grid->FocusCell(t.FromCol, t.FromRow));
        QTest::keyClick(grid->Widget(), t.Key, t.Shift);
        QApplication::processEvents();
        EXPECT_EQ(grid->Col(), t.Col) << t.FromCol << "," << t.FromRow << " key " << t.Key;
        EXPECT_EQ(grid->Row(), t.Row) << t.FromCol << "," << t.FromRow << " key " << t.Key;
    }
    EXPECT_FALSE(grid->FocusCell(0, 1));
    EXPECT_FALSE(grid->FocusCell(9, 1)) << "outside the grid";
}

// A shown window with a grid whose editor is always open, as in the group
// data entry, and a default button.
struct GridEditingTest : ::testing::Test {
    void SetUp() override {
        Form.SetBounds(0, 0, 400, 300);
        Grid->SetParent(&Form);
        Grid->SetBounds(10, 10, 380, 200);
        Grid->SetColCount(4);
        Grid->SetRowCount(4);
        Grid->SetFixedCols(1);
        Grid->SetFixedRows(1);
        Grid->SetOptions(Grid->Options() | goEditing | goAlwaysShowEditor);
        Ok->SetParent(&Form);
        Ok->SetBounds(10, 250, 75, 25);
        Ok->SetDefault(true);
        Ok->OnClick = [this](TObject*) { ++OkClicks; };
        Form.Show();
        QApplication::processEvents();
        Grid->SetFocus();
        QApplication::processEvents();
    }
    void TearDown() override { Form.Hide(); }
    void Type(const char* Text) {
        QTest::keyClicks(Grid->InplaceEditor()->Widget(), Text);
        QApplication::processEvents();
    }
    void Press(Qt::Key Key) {
        QTest::keyClick(Grid->InplaceEditor()->Widget(), Key);
        QApplication::processEvents();
    }
    TForm Form{nullptr};
    TStringGrid* Grid = new TStringGrid(&Form);
    TButton* Ok = new TButton(&Form);
    int OkClicks = 0;
};

TEST_F(GridEditingTest, TypingGoesThroughTheGridsKeyPressIntoTheCell) {
    ASSERT_NE(Grid->InplaceEditor(), nullptr);
    EXPECT_TRUE(Grid->InplaceEditor()->Visible());
    EXPECT_EQ(Grid->InplaceEditor()->BoundsRect(), Grid->CellRect(1, 1));
    std::vector<AnsiString> edits;
    Grid->OnSetEditText = [&](TObject*, int C, int R, const AnsiString& Value) {
        edits.push_back(std::to_string(C) + "," + std::to_string(R) + "=" + Value);
    };
    // Digits only, at most two.
    Grid->OnKeyPress = [&](TObject*, char& Key) {
        if (Grid->Cells(Grid->Col(), Grid->Row()).size() >= 2 || Key < '0' || Key > '9') Key = 0;
    };
    Type("1a23");
    EXPECT_EQ(Grid->Cells(1, 1), "12");
    ASSERT_EQ(edits.size(), 2u);
    EXPECT_EQ(edits[1], "1,1=12");
    Grid->SetCells(1, 1, "7");
    EXPECT_EQ(Grid->InplaceEditor()->Text(), "7") << "the open editor shows a cell set in code";
    Press(Qt::Key_Down);
    EXPECT_EQ(Grid->Row(), 2);
    EXPECT_EQ(Grid->InplaceEditor()->BoundsRect(), Grid->CellRect(1, 2));
    EXPECT_EQ(Grid->InplaceEditor()->Text(), "");
}

TEST_F(GridEditingTest, EnterIsTheGridsFirstAndTheDefaultButtonsWhenLeftAlone) {
    Grid->OnKeyDown = [&](TObject*, uint16_t& Key, TShiftState) {
        if (Key == VK_RETURN && Grid->Col() < Grid->ColCount() - 1) {
            Grid->SetCol(Grid->Col() + 1);
            Key = 0xFE;
        }
    };
    Press(Qt::Key_Return);
    EXPECT_EQ(Grid->Col(), 2);
    EXPECT_EQ(OkClicks, 0);
    Press(Qt::Key_Return);
    EXPECT_EQ(Grid->Col(), 3);
    Press(Qt::Key_Return);
    EXPECT_EQ(OkClicks, 1) << "the last cell leaves Enter alone";
}
