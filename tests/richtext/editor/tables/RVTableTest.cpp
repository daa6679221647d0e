// The table's model: defaults, the main cell of a position, alignment,
// content, owners, scaling, colours and the checker's findings.
#include <gtest/gtest.h>

#include "TableTestData.h"

TEST(RVTable, NewTableHasOneTopAlignedCellAndItsDefaults) {
    TRVTableItemInfo table(nullptr);
    EXPECT_EQ(table.StyleNo, rvsTable);
    EXPECT_EQ(table.RowCount(), 1);
    EXPECT_EQ(table.ColCount(), 1);
    TRVTableCellData& cell = *table.GetCell(0, 0);
    EXPECT_EQ(cell.RowSpan, 1);
    EXPECT_EQ(cell.ColSpan, 1);
    EXPECT_EQ(cell.VAlign, rvcVDefault);
    EXPECT_EQ(cell.GetRealVAlign(), rvcTop);
    EXPECT_EQ(cell.ItemCount(), 1);
    EXPECT_EQ(table.TableState, rvtsJustCreated);
    EXPECT_EQ(table.Color, clWindow);
    EXPECT_EQ(table.CellBorderStyle, rvtbLowered);
    EXPECT_EQ(table.GetCellPadding(), 1);
    EXPECT_TRUE(table.GetBoolValue(iqFullLine));
    EXPECT_FALSE(table.GetBoolValueEx(iqxPrintViaBitmap, nullptr));
    EXPECT_EQ(CheckTableInvariants(table), "");
}

TEST(RVTable, MainCellOfCoveredPositions) {
    TRVTableItemInfo table(3, 3, nullptr);
    ASSERT_TRUE(table.MergeCells(0, 0, 2, 2));
    EXPECT_EQ(table.GetCell(1, 1), nullptr);
    int mr, mc;
    EXPECT_EQ(table.Rows.GetMainCell(1, 1, mr, mc), table.GetCell(0, 0));
    EXPECT_EQ(mr, 0);
    EXPECT_EQ(mc, 0);
    EXPECT_EQ(table.Rows.GetMainCell(1, 2, mr, mc), table.GetCell(1, 2));
    EXPECT_EQ(mr, 1);
    EXPECT_EQ(mc, 2);
    EXPECT_EQ(table.Rows.GetMainCell(2, 1, mr, mc), table.GetCell(2, 1));
    int row, col;
    table.FindCell(table.GetCell(2, 2), row, col);
    EXPECT_EQ(row * 10 + col, 22);
    TRVTableCellData stranger(nullptr);
    table.FindCell(&stranger, row, col);
    EXPECT_EQ(row, -1);
}

TEST(RVTable, RealVerticalAlignment) {
    TRVTableItemInfo table(1, 2, nullptr);
    table.Rows[0]->VAlign = rvcVDefault;
    EXPECT_EQ(table.GetCell(0, 0)->GetRealVAlign(), rvcMiddle);
    table.Rows[0]->VAlign = rvcBottom;
    EXPECT_EQ(table.GetCell(0, 0)->GetRealVAlign(), rvcBottom);
    table.GetCell(0, 1)->VAlign = rvcTop;
    EXPECT_EQ(table.GetCell(0, 1)->GetRealVAlign(), rvcTop);
}

TEST(RVTable, HasContent) {
    struct TCase {
        const char* Name;
        std::function<void(TRVTableCellData&)> Fill;
        bool Plain, IgnoringStyles;
    };
    const TCase cases[] = {
        {"new cell", [](TRVTableCellData&) {}, false, false},
        {"no items", [](TRVTableCellData& C) { C.Clear(); }, false, false},
        {"text", [](TRVTableCellData& C) { C.ResetContent(0, 0), C.Clear(), C.AddTextItem("a", 0, 0); }, true,
         true},
        {"empty text in style 1", [](TRVTableCellData& C) { C.ResetContent(1, 0); }, false, true},
        {"two empty items", [](TRVTableCellData& C) { C.AddTextItem("", 0, 0); }, true, true},
        {"a break", [](TRVTableCellData& C) { C.Clear(), C.AddBreak(); }, true, true},
    };
    TTableFixture f;
    TRVTableItemInfo& table = f.AddTable(1, 1);
    for (const TCase& c : cases) {
        TRVTableCellData& cell = *table.GetCell(0, 0);
        cell.ResetContent(0, 0);
        c.Fill(cell);
        EXPECT_EQ(cell.HasContent(false), c.Plain) << c.Name;
        EXPECT_EQ(cell.HasContent(true), c.IgnoringStyles) << c.Name;
    }
}

TEST(RVTable, OwnersAndDetachedCells) {
    TTableFixture f;
    TRVTableItemInfo& table = f.AddTable(2, 2);
    TRVTableCellData& cell = *table.GetCell(1, 0);
    EXPECT_EQ(cell.GetTable(), &table);
    EXPECT_EQ(cell.GetParentData(), &f.Host);
    EXPECT_EQ(cell.GetRVStyle(), f.Style.get());
    EXPECT_TRUE(table.TableState & rvtsInserted);
    EXPECT_EQ(table.GetItemNo(), 0);
    int itemNo;
    std::unique_ptr<TRVStoreSubRVData> where;
    cell.GetParentInfo(itemNo, where);
    EXPECT_EQ(itemNo, 0);
    auto* location = dynamic_cast<TRVTableStoreSubRVData*>(where.get());
    ASSERT_NE(location, nullptr);
    EXPECT_EQ(location->Row * 10 + location->Col, 10);
    // Held by an undo record, the cell belongs to no table.
    f.Host.Undo = true;
    table.DeleteRows(1, 1, false);
    EXPECT_EQ(f.Host.UndoList.size(), 1u);
    EXPECT_EQ(cell.GetTable(), nullptr);
    EXPECT_NE(cell.UndoOwner, nullptr);
    f.Host.UndoLast();
    EXPECT_EQ(cell.GetTable(), &table);
    EXPECT_EQ(table.GetCell(1, 0), &cell);
}

TEST(RVTable, ScalesToTheDevice) {
    TRVTableItemInfo table(nullptr);
    EXPECT_EQ(table.ScaleX(10), 10);
    TRVScreenDeviceResolution r;
    r.DevicePpiX = r.DevicePpiY = 600;
    table.DeviceScale = &r;
    EXPECT_EQ(table.ScaleX(10), 63);
    EXPECT_EQ(table.ScaleY(3), 19);
}

TEST(RVTable, EffectiveColours) {
    TTableFixture f;
    TRVTableItemInfo& table = f.AddTable(1, 1);
    TRVTableCellData& cell = *table.GetCell(0, 0);
    table.Color = clNone;
    EXPECT_EQ(table.GetEffectiveCellColor(cell), f.Host.GetColor());
    EXPECT_TRUE(table.IsCellFullyTransparent(cell));
    table.Color = clYellow;
    EXPECT_EQ(table.GetEffectiveCellColor(cell), clYellow);
    EXPECT_FALSE(table.IsCellFullyTransparent(cell));
    cell.Color = clRed;
    EXPECT_EQ(cell.GetColor(), clRed);
}

TEST(RVTable, RegisteredForItsStyleNumber) {
    RegisterTableItemClass();
    auto item = CreateItemForStyleNo(rvsTable, nullptr);
    ASSERT_NE(dynamic_cast<TRVTableItemInfo*>(item.get()), nullptr);
    auto copy = CreateItemCopy(*item, nullptr, false);
    EXPECT_NE(dynamic_cast<TRVTableItemInfo*>(copy.get()), nullptr);
}

TEST(RVTable, OversizedGridsAreRefused) {
    EXPECT_THROW(TRVTableItemInfo(1, RVTableMaxCols + 1, nullptr), EZoroZudoError);
    EXPECT_THROW(TRVTableItemInfo(2000, 600, nullptr), EZoroZudoError);
    TRVTableItemInfo table(1, RVTableMaxCols, nullptr);
    EXPECT_THROW(table.InsertCols(0, 1, -1), EZoroZudoError);
    EXPECT_EQ(table.ColCount(), RVTableMaxCols);
}

TEST(RVTable, CheckerNamesBrokenGrids) {
    TRVTableItemInfo table(2, 2, nullptr);
    table.GetCell(0, 0)->ColSpan = 2;
    EXPECT_NE(CheckTableInvariants(table).find("covered twice"), AnsiString::npos);
    table.GetCell(0, 0)->ColSpan = 1;
    std::unique_ptr<TRVTableCellData> none;
    table.Rows[1]->SwapCell(1, none);
    EXPECT_NE(CheckTableInvariants(table).find("covered by no cell"), AnsiString::npos);
    table.Rows[1]->SwapCell(1, none);
    table.Rows[1]->InsertEmptySlot(2);
    EXPECT_NE(CheckTableInvariants(table).find("has 3 entries"), AnsiString::npos);
}
