// The table's layout on the fixed-metrics canvas (8 px a character, lines
// 14 high): automatic, per-cent and fixed widths, minimal widths, merged
// cells spread over columns and rows, row heights of multi-line cells, cell
// boxes and lookups.
#include <gtest/gtest.h>

#include "TableTestData.h"

namespace {

std::string Widths(const TRVTableItemInfo& T) {
    std::string out;
    for (int w : T.FormatInfo.ColWidthList)
        out += (out.empty() ? "" : " ") + std::to_string(w);
    return out;
}

std::string Heights(const TRVTableItemInfo& T) {
    std::string out;
    for (int h : T.FormatInfo.RowHeightList)
        out += (out.empty() ? "" : " ") + std::to_string(h);
    return out;
}

} // namespace

TEST(RVTableLayout, TableWidthByItsBestWidth) {
    struct TCase {
        int BestWidth;
        int Total;
        const char* Columns;
    };
    // Overhead: 2 px between the columns, 2 px spacing at each side, 1 px
    // padding on each side of each column.
    const TCase cases[] = {
        {0, 400, "195 195"}, {-50, 200, "95 95"}, {300, 300, "145 145"}, {-150, 400, "195 195"}};
    for (const TCase& c : cases) {
        TTableFixture f;
        f.Host.Width = 400;
        TRVTableItemInfo& table = f.AddTable(2, 2);
        table.BestWidth = c.BestWidth;
        f.Host.Format();
        EXPECT_EQ(table.FormatInfo.TotalWidth, c.Total) << c.BestWidth;
        EXPECT_EQ(Widths(table), c.Columns) << c.BestWidth;
        EXPECT_EQ(f.Host.DrawItems[0]->Width, c.Total);
    }
}

TEST(RVTableLayout, FixedColumnsIgnoreTheDocumentWidth) {
    for (int width : {150, 600}) {
        TTableFixture f;
        f.Host.Width = width;
        TRVTableItemInfo& table = f.AddTable(2, 2);
        table.GetCell(0, 0)->BestWidth = 100;
        table.GetCell(1, 1)->BestWidth = 60;
        f.Host.Format();
        EXPECT_EQ(Widths(table), "100 60");
        EXPECT_EQ(table.FormatInfo.TotalWidth, 6 + 4 + 160);
    }
}

TEST(RVTableLayout, PercentColumnAndTheRestForTheOthers) {
    TTableFixture f;
    f.Host.Width = 400;
    TRVTableItemInfo& table = f.AddTable(1, 2);
    table.GetCell(0, 0)->BestWidth = -25;
    f.Host.Format();
    EXPECT_EQ(Widths(table), "96 294");
}

TEST(RVTableLayout, ContentWiderThanTheTargetWidensTheTable) {
    TTableFixture f;
    TRVTableItemInfo& table = f.AddTable(1, 1);
    table.BestWidth = 10;
    // The engine's minimal width of wrapping text is 20.
    SetCellText(table, 0, 0, "abcdefghij");
    f.Host.Format();
    EXPECT_EQ(table.GetMinWidth(nullptr, &f.Canvas, &f.Host), 26);
    EXPECT_EQ(table.FormatInfo.TotalWidth, 26);
    EXPECT_EQ(Widths(table), "20");
}

TEST(RVTableLayout, TwoColumnsShareElevenPixelsFiveAndSix) {
    TTableFixture f;
    TRVTableItemInfo& table = f.AddTable(1, 2);
    table.BestWidth = 21;
    f.Host.Format();
    EXPECT_EQ(Widths(table), "5 6");
}

TEST(RVTableLayout, MergedCellSpreadsItsMinimumInEqualShares) {
    TTableFixture f;
    TRVTableItemInfo& table = f.AddTable(2, 2);
    table.MergeCells(0, 0, 2, 1);
    SetCellText(table, 0, 0, "abc");
    // The text needs 20: each column gets 8, the gap between them the rest.
    EXPECT_EQ(table.GetMinWidth(nullptr, &f.Canvas, &f.Host), 6 + 4 + 16);
    table.BestWidth = 1;
    f.Host.Format();
    EXPECT_EQ(Widths(table), "8 8");
    EXPECT_EQ(table.GetCell(0, 0)->CellWidth, 22);
    EXPECT_EQ(table.GetCell(0, 0)->GetWidth(), 20);
}

TEST(RVTableLayout, RowHeights) {
    TTableFixture f;
    f.Host.Width = 100;
    TRVTableItemInfo& table = f.AddTable(2, 2);
    SetCellText(table, 0, 0, "aaaa bbbb cccc");
    table.GetCell(1, 1)->BestHeight = 30;
    f.Host.Format();
    EXPECT_EQ(Widths(table), "55 35");
    EXPECT_EQ(Heights(table), "42 30");
    EXPECT_EQ(table.FormatInfo.TotalHeight, 2 * (2 + 2) + 2 + 72);
    EXPECT_EQ(table.GetCell(1, 0)->CellTop, 2 + 42 + 4);
    EXPECT_EQ(table.GetCell(1, 0)->CellHeight, 32);
}

TEST(RVTableLayout, RowsUnderATallCellShareItsHeight) {
    TTableFixture f;
    TRVTableItemInfo& table = f.AddTable(2, 2);
    table.MergeCells(0, 0, 1, 2);
    SetCellText(table, 0, 0, "a");
    table.GetCell(0, 0)->BestHeight = 100;
    f.Host.Format();
    // Each row is closed by a cell of its own: all rows share the extra
    // height in proportion to their heights.
    EXPECT_EQ(Heights(table), "48 48");
    EXPECT_EQ(table.GetCell(0, 0)->CellHeight, 102);
}

TEST(RVTableLayout, AnEmptyRowIsTenPixelsHigh) {
    TTableFixture f;
    TRVTableItemInfo& table = f.AddTable(2, 2);
    table.MergeCells(0, 0, 2, 2);
    f.Host.Format();
    EXPECT_EQ(Heights(table), "10 10");
}

TEST(RVTableLayout, VerticalShiftAndLookups) {
    TTableFixture f;
    f.Host.Width = 400;
    TRVTableItemInfo& table = f.AddTable(1, 2);
    SetCellText(table, 0, 0,
                "a b c d e f g h i j k l m n o p q r s t u v w x y z a b c d e f g h i j k l m n o");
    TRVTableCellData& right = *table.GetCell(0, 1);
    f.Host.Format();
    int h = table.GetCell(0, 0)->DocumentHeight;
    ASSERT_GT(h, 14);
    right.VAlign = rvcMiddle;
    EXPECT_EQ(right.GetVShift(), (h + 2 - 14) / 2 - 1);
    right.VAlign = rvcBottom;
    EXPECT_EQ(right.GetVShift(), h + 2 - 14 - 2);
    right.VAlign = rvcTop;
    EXPECT_EQ(right.GetVShift(), 0);
    int left0 = table.FormatInfo.ColLeftList[0], left1 = table.FormatInfo.ColLeftList[1];
    EXPECT_EQ(table.ColAt(left0), 0);
    EXPECT_EQ(table.ColAt(left1 - 1), -1);
    EXPECT_EQ(table.ColAt(left1 + 3), 1);
    EXPECT_EQ(table.RowAt(0), -1);
    EXPECT_EQ(table.RowAt(5), 0);
    EXPECT_EQ(TRVTableItemInfo::FindInSortedList(5, {0}), 0);
    EXPECT_EQ(TRVTableItemInfo::FindInSortedList(50, {0, 10, 20}), 2);
    EXPECT_EQ(TRVTableItemInfo::FindInSortedList(15, {0, 10, 20}), 1);
    EXPECT_EQ(TRVTableItemInfo::FindInSortedList(10, {0, 10, 20}), 0);
}

TEST(RVTableLayout, AnEmptyTableIsItsBorders) {
    TTableFixture f;
    TRVTableItemInfo& table = f.AddTable(1, 1);
    table.DeleteRows(0, 1, false);
    EXPECT_TRUE(table.Rows.IsEmpty());
    f.Host.Format();
    EXPECT_EQ(table.FormatInfo.TotalWidth, 4);
    EXPECT_EQ(table.FormatInfo.TotalHeight, 4);
}
