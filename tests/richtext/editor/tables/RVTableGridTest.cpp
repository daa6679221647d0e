// The grid operations: merging, inserting and deleting rows and columns with
// merged cells cut or grown, empty rows, clearing, refused merges, bad
// indexes, and random sequences undone and redone with the checker holding.
#include <gtest/gtest.h>

#include <random>

#include "TableTestData.h"

namespace {

// A 3 x 3 table with texts "a".."i" in an editing host that keeps undo.
struct TGridFixture : TTableFixture {
    TRVTableItemInfo& Table;
    TGridFixture() : Table(AddTable(3, 3)) {
        Host.Undo = true;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                SetCellText(Table, r, c, AnsiString(1, char('a' + r * 3 + c)));
    }
};

} // namespace

TEST(RVTableGrid, MergingMovesTextsAndUndoGivesThemBack) {
    TGridFixture f;
    ASSERT_TRUE(f.Table.MergeCells(0, 0, 2, 2));
    EXPECT_EQ(GridText(f.Table), "a|b|d|e/2x2 - c\n- - f\ng h i");
    ASSERT_EQ(f.Host.UndoList.size(), 1u);
    EXPECT_STREQ(f.Host.UndoList[0]->ClassName, "TRVUndoMerge");
    EXPECT_EQ(f.Host.GroupDepth, 0);
    f.Host.UndoLast();
    EXPECT_EQ(GridText(f.Table), "a b c\nd e f\ng h i");
    f.Host.RedoLast();
    EXPECT_EQ(GridText(f.Table), "a|b|d|e/2x2 - c\n- - f\ng h i");
}

TEST(RVTableGrid, MergeRefusalsAndErrors) {
    TGridFixture f;
    int beeps = 0;
    RVBeepHook = [&] { ++beeps; };
    ASSERT_TRUE(f.Table.MergeCells(1, 1, 2, 2));
    // A rectangle cutting the merged cell beeps and changes nothing.
    EXPECT_FALSE(f.Table.MergeCells(0, 0, 2, 2));
    EXPECT_EQ(beeps, 1);
    // Only the top-left cell, or a covered one: nothing, silently.
    EXPECT_TRUE(f.Table.MergeCells(0, 0, 1, 1));
    EXPECT_TRUE(f.Table.MergeCells(2, 2, 1, 1));
    EXPECT_TRUE(f.Table.MergeCells(1, 1, 2, 2));
    EXPECT_THROW(f.Table.MergeCells(0, 0, 0, 3), EZoroZudoError);
    EXPECT_EQ(f.Host.UndoList.size(), 1u);
    RVBeepHook = nullptr;
}

TEST(RVTableGrid, MergedBestWidth) {
    struct TCase {
        int Widths[4];
        int Expected;
    };
    const TCase cases[] = {
        {{10, 20, 5, 5}, 30},    {{10, -20, 5, 5}, -20}, {{-10, -20, 5, 5}, -30},
        {{-10, 20, 50, 0}, -10}, {{0, 0, 0, 0}, 0},      {{-10, 30, 100, 0}, -10},
    };
    for (const TCase& c : cases) {
        TRVTableItemInfo table(2, 2, nullptr);
        for (int i = 0; i < 4; ++i)
            table.GetCell(i / 2, i % 2)->BestWidth = c.Widths[i];
        EXPECT_EQ(table.GetMergedBestWidth(0, 0, 2, 2), c.Expected) << c.Widths[0] << " " << c.Widths[1];
    }
}

TEST(RVTableGrid, InsertingRowsGrowsCellsAcrossTheInsertionAndCopiesLooks) {
    TGridFixture f;
    f.Table.MergeCells(0, 0, 1, 2);
    f.Table.GetCell(2, 1)->Color = clRed;
    f.Table.GetCell(2, 1)->BestHeight = 30;
    f.Table.InsertRows(1, 1, 2);
    EXPECT_EQ(GridText(f.Table), "a|d/3x1 b c\n- . .\n- e f\ng h i");
    EXPECT_EQ(f.Table.GetCell(1, 1)->Color, clRed);
    EXPECT_EQ(f.Table.GetCell(1, 1)->BestHeight, 30);
    f.Host.UndoLast();
    EXPECT_EQ(GridText(f.Table), "a|d/2x1 b c\n- e f\ng h i");
    f.Host.RedoLast();
    EXPECT_EQ(f.Table.RowCount(), 4);
}

TEST(RVTableGrid, InsertingColumnsCopiesHalfTheWidthOfAWideSource) {
    TGridFixture f;
    f.Table.GetCell(0, 0)->BestWidth = 100;
    f.Table.MergeCells(0, 0, 2, 1);
    f.Table.InsertCols(3, 1, 0);
    EXPECT_EQ(GridText(f.Table), "a|b/1x2 - c .\nd e f .\ng h i .");
    EXPECT_EQ(f.Table.GetCell(0, 3)->BestWidth, 50);
    EXPECT_EQ(f.Table.GetCell(0, 3)->ColSpan, 1);
    f.Table.InsertCols(1, 2, -1);
    EXPECT_EQ(GridText(f.Table), "a|b/1x4 - - - c .\nd . . e f .\ng . . h i .");
}

TEST(RVTableGrid, DeletingRowsSplitsCellsThatReachBelow) {
    TGridFixture f;
    f.Table.MergeCells(1, 1, 1, 2);
    f.Table.DeleteRows(1, 1, false);
    EXPECT_EQ(GridText(f.Table), "a b c\ng . i");
    f.Host.UndoLast();
    EXPECT_EQ(GridText(f.Table), "a b c\nd e|h/2x1 f\ng - i");
}

TEST(RVTableGrid, DeletingTheTopRowsOfATallCellKeepsItsLook) {
    TGridFixture f;
    f.Table.GetCell(0, 0)->Color = clLime;
    f.Table.GetCell(0, 0)->BestHeight = 90;
    f.Table.MergeCells(0, 0, 1, 3);
    f.Table.DeleteRows(0, 2, false);
    EXPECT_EQ(GridText(f.Table), ". h i");
    EXPECT_EQ(f.Table.GetCell(0, 0)->Color, clLime);
    EXPECT_EQ(f.Table.GetCell(0, 0)->BestHeight, 30);
}

TEST(RVTableGrid, DeletingShortensCellsFromAboveAndLeft) {
    TGridFixture f;
    f.Table.GetCell(0, 2)->BestHeight = 60;
    f.Table.MergeCells(0, 2, 1, 3);
    f.Table.GetCell(0, 0)->BestWidth = 40;
    f.Table.MergeCells(0, 0, 2, 1);
    f.Table.DeleteRows(1, 1, true);
    EXPECT_EQ(GridText(f.Table), "a|b/1x2 - c|f|i/2x1\ng h -");
    EXPECT_EQ(f.Table.GetCell(0, 2)->BestHeight, 40);
    f.Table.DeleteCols(1, 1, true);
    EXPECT_EQ(GridText(f.Table), "a|b c|f|i/2x1\ng -");
    EXPECT_EQ(f.Table.GetCell(0, 0)->BestWidth, 20);
}

TEST(RVTableGrid, DeleteEmptyRowsShortensTheCellsOverThem) {
    TGridFixture f;
    f.Table.MergeCells(0, 0, 3, 2);
    f.Table.DeleteEmptyRows();
    EXPECT_EQ(GridText(f.Table), "a|b|c|d|e|f/1x3 - -\ng h i");
    EXPECT_EQ(f.Host.UndoList.size(), 2u);
    f.Host.UndoLast();
    EXPECT_EQ(f.Table.RowCount(), 3);
}

TEST(RVTableGrid, ClearingCellsKeepsTheirFirstStyles) {
    TGridFixture f;
    TRVTableCellData& cell = *f.Table.GetCell(1, 1);
    cell.Clear();
    cell.AddTextItem("", 1, 0);
    cell.AddTextItem("y", 0, 0);
    f.Table.ClearCells({1, 2}, {1, 2});
    EXPECT_EQ(GridText(f.Table), "a b c\nd . f\ng h .");
    EXPECT_EQ(cell.LiveItem(0).StyleNo, 1);
    f.Host.UndoLast();
    EXPECT_EQ(GridText(f.Table), "a b c\nd |y f\ng h i");
}

TEST(RVTableGrid, BadIndexesChangeNothing) {
    TGridFixture f;
    struct TCase {
        const char* Name;
        std::function<void(TRVTableItemInfo&)> Call;
    };
    const TCase cases[] = {
        {"insert rows past the end", [](TRVTableItemInfo& T) { T.InsertRows(4, 1, -1); }},
        {"insert rows, bad copy row", [](TRVTableItemInfo& T) { T.InsertRows(0, 1, 3); }},
        {"insert columns before 0", [](TRVTableItemInfo& T) { T.InsertCols(-1, 1, -1); }},
        {"delete rows from 3", [](TRVTableItemInfo& T) { T.DeleteRows(3, 1, false); }},
        {"delete no rows", [](TRVTableItemInfo& T) { T.DeleteRows(0, 0, false); }},
        {"delete more rows than there are", [](TRVTableItemInfo& T) { T.DeleteRows(0, 4, false); }},
        {"delete columns from -1", [](TRVTableItemInfo& T) { T.DeleteCols(-1, 1, false); }},
        {"merge outside", [](TRVTableItemInfo& T) { T.MergeCells(3, 0, 1, 1); }},
        {"cell property outside", [](TRVTableItemInfo& T) { T.SetCellBestWidth(5, 0, 3); }},
    };
    for (const TCase& c : cases) {
        EXPECT_THROW(c.Call(f.Table), EZoroZudoError) << c.Name;
        EXPECT_EQ(GridText(f.Table), "a b c\nd e f\ng h i") << c.Name;
    }
    EXPECT_TRUE(f.Host.UndoList.empty());
}

TEST(RVTableGrid, WithoutUndoNothingIsRecorded) {
    TGridFixture f;
    f.Host.Undo = false;
    f.Table.MergeCells(0, 0, 3, 3);
    f.Table.InsertRows(0, 2, 0);
    EXPECT_TRUE(f.Host.UndoList.empty());
    EXPECT_EQ(CheckTableInvariants(f.Table), "");
}

// Random operations on a small grid; after every one, and after undoing and
// redoing it, the grid is sound and looks as it did.
TEST(RVTableGrid, RandomOperationsUndoAndRedo) {
    std::mt19937 random(20261211);
    auto pick = [&](int Low, int High) { return std::uniform_int_distribution<int>(Low, High)(random); };
    for (int round = 0; round < 40; ++round) {
        TTableFixture f;
        f.Host.Undo = true;
        TRVTableItemInfo& table = f.AddTable(pick(1, 4), pick(1, 4));
        int text = 0;
        for (int r = 0; r < table.RowCount(); ++r)
            for (int c = 0; c < table.ColCount(); ++c)
                SetCellText(table, r, c, IntToStr(text++));
        std::vector<std::string> history{GridText(table)};
        for (int step = 0; step < 30 && !table.Rows.IsEmpty(); ++step) {
            int m = table.RowCount(), n = table.ColCount();
            std::string before = GridText(table);
            std::size_t records = f.Host.UndoList.size();
            std::string what;
            switch (pick(0, 6)) {
            case 0: {
                int r = pick(0, m - 1), c = pick(0, n - 1);
                what = "merge";
                table.MergeCells(r, c, pick(1, n - c), pick(1, m - r));
                break;
            }
            case 1:
                what = "unmerge";
                {
                    int r = pick(0, m - 1), c = pick(0, n - 1);
                    table.UnmergeCell(r, c);
                }
                break;
            case 2:
                what = "insert rows";
                table.InsertRows(pick(0, m), pick(1, 2), pick(-1, m - 1));
                break;
            case 3:
                what = "insert cols";
                table.InsertCols(pick(0, n), pick(1, 2), pick(-1, n - 1));
                break;
            case 4:
                what = "delete rows";
                if (m > 1) table.DeleteRows(pick(1, m - 1), pick(1, 2), pick(0, 1));
                break;
            case 5:
                what = "delete cols";
                if (n > 1) table.DeleteCols(pick(1, n - 1), pick(1, 2), pick(0, 1));
                break;
            case 6:
                what = "delete empty rows";
                table.DeleteEmptyRows();
                break;
            }
            SCOPED_TRACE(what + " on\n" + before);
            ASSERT_EQ(CheckTableInvariants(table), "");
            std::string after = GridText(table);
            if (f.Host.UndoList.size() == records) {
                EXPECT_EQ(after, before);
                continue;
            }
            ASSERT_EQ(f.Host.UndoList.size(), records + 1);
            f.Host.UndoLast();
            ASSERT_EQ(CheckTableInvariants(table), "");
            ASSERT_EQ(GridText(table), before);
            f.Host.RedoLast();
            ASSERT_EQ(CheckTableInvariants(table), "");
            ASSERT_EQ(GridText(table), after);
            history.push_back(after);
        }
        // Everything undone, last first, gives the start again.
        while (!f.Host.UndoList.empty())
            f.Host.UndoLast();
        EXPECT_EQ(GridText(table), history.front());
    }
}
