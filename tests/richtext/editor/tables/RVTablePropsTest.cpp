// The property setters: stored directly while the table is being built,
// recorded by name with their old values in an editing document, undone
// and redone, with clamped sizes.
#include <gtest/gtest.h>

#include "TableTestData.h"

TEST(RVTableProps, ATableBeingBuiltStoresWithoutRecording) {
    TRVTableItemInfo table(2, 2, nullptr);
    uint16_t state = table.TableState;
    table.SetBorderWidth(5);
    table.SetCellPadding(3);
    table.SetColor(clRed);
    EXPECT_EQ(table.BorderWidth, 5);
    EXPECT_EQ(table.CellHPadding, 3);
    EXPECT_EQ(table.CellVPadding, 3);
    EXPECT_EQ(table.Color, clRed);
    EXPECT_EQ(table.TableState, state);
}

TEST(RVTableProps, EachChangeIsOneUndoStepByName) {
    TTableFixture f;
    f.Host.Undo = true;
    TRVTableItemInfo& table = f.AddTable(2, 2);
    table.TableState &= uint16_t(~rvtsFormatInplace);
    table.SetBorderWidth(5);
    ASSERT_EQ(f.Host.UndoList.size(), 1u);
    EXPECT_STREQ(f.Host.UndoList[0]->ClassName, "TRVUndoModifyItemIntProperty");
    EXPECT_TRUE(f.Host.UndoList[0]->AffectsWidth);
    EXPECT_TRUE(table.TableState & rvtsFormatInplace);
    f.Host.UndoLast();
    EXPECT_EQ(table.BorderWidth, 0);
    EXPECT_TRUE(table.TableState & rvtsInserted);
    f.Host.RedoLast();
    EXPECT_EQ(table.BorderWidth, 5);

    // Both paddings in one step.
    table.SetCellPadding(3);
    ASSERT_EQ(f.Host.UndoList.size(), 2u);
    EXPECT_EQ(f.Host.UndoList[1]->Steps.size(), 2u);
    f.Host.UndoLast();
    EXPECT_EQ(table.CellHPadding, 1);
    EXPECT_EQ(table.CellVPadding, 1);

    // Vertical spacing changes the size, never the minimal width.
    table.SetCellVSpacing(7);
    EXPECT_FALSE(f.Host.UndoList.back()->AffectsWidth);
    EXPECT_TRUE(f.Host.UndoList.back()->AffectsSize);
    EXPECT_FALSE(f.Host.UndoList.back()->NeedsFullFormatBefore(&f.Host));

    // The same value again records nothing.
    std::size_t records = f.Host.UndoList.size();
    table.SetCellVSpacing(7);
    EXPECT_EQ(f.Host.UndoList.size(), records);
}

TEST(RVTableProps, EveryTableSetterWritesItsProperty) {
    TTableFixture f;
    f.Host.Undo = true;
    TRVTableItemInfo& table = f.AddTable(1, 1);
    struct TCase {
        const char* Name;
        std::function<void()> Set;
        int Value;
    };
    const TCase cases[] = {
        {"BestWidth", [&] { table.SetBestWidth(-30); }, -30},
        {"BorderHSpacing", [&] { table.SetBorderHSpacing(4); }, 4},
        {"BorderVSpacing", [&] { table.SetBorderVSpacing(4); }, 4},
        {"CellBorderWidth", [&] { table.SetCellBorderWidth(2); }, 2},
        {"CellHSpacing", [&] { table.SetCellHSpacing(-1); }, -1},
        {"BorderColor", [&] { table.SetBorderColor(clRed); }, int(clRed)},
        {"BorderLightColor", [&] { table.SetBorderLightColor(clRed); }, int(clRed)},
        {"BorderStyle", [&] { table.SetBorderStyle(rvtbColor); }, rvtbColor},
        {"CellBorderColor", [&] { table.SetCellBorderColor(clRed); }, int(clRed)},
        {"CellBorderLightColor", [&] { table.SetCellBorderLightColor(clRed); }, int(clRed)},
        {"CellBorderStyle", [&] { table.SetCellBorderStyle(rvtbRaisedColor); }, rvtbRaisedColor},
        {"HeadingRowCount", [&] { table.SetHeadingRowCount(1); }, 1},
        {"HRuleWidth", [&] { table.SetHRuleWidth(1); }, 1},
        {"HRuleColor", [&] { table.SetHRuleColor(clRed); }, int(clRed)},
        {"VRuleWidth", [&] { table.SetVRuleWidth(1); }, 1},
        {"VRuleColor", [&] { table.SetVRuleColor(clRed); }, int(clRed)},
        {"HOutermostRule", [&] { table.SetHOutermostRule(true); }, 1},
        {"VOutermostRule", [&] { table.SetVOutermostRule(true); }, 1},
        {"BackgroundStyle", [&] { table.SetBackgroundStyle(rvbsTiled); }, rvbsTiled},
    };
    for (const TCase& c : cases) {
        int before = 0, after = 0;
        ASSERT_TRUE(table.GetIntPropertyByName(c.Name, before)) << c.Name;
        c.Set();
        table.GetIntPropertyByName(c.Name, after);
        EXPECT_EQ(after, c.Value) << c.Name;
        f.Host.UndoLast();
        table.GetIntPropertyByName(c.Name, after);
        EXPECT_EQ(after, before) << c.Name;
    }
    EXPECT_THROW(table.SetIntProperty("NoSuchProperty", 1), EZoroZudoError);
}

TEST(RVTableProps, SizesAreClamped) {
    TRVTableItemInfo table(nullptr);
    table.SetBorderWidth(-5);
    table.SetBestWidth(-150);
    table.SetCellPadding(-2);
    EXPECT_EQ(table.BorderWidth, 0);
    EXPECT_EQ(table.BestWidth, -100);
    EXPECT_EQ(table.CellHPadding, 0);
    table.SetCellBestWidth(-400, 0, 0);
    EXPECT_EQ(table.GetCell(0, 0)->BestWidth, -100);
}

TEST(RVTableProps, CellPaddingReadsTheRoundedMean) {
    TRVTableItemInfo table(nullptr);
    struct TCase {
        int H, V, Expected;
    };
    for (TCase c : {TCase{1, 2, 2}, TCase{1, 4, 2}, TCase{3, 3, 3}, TCase{2, 5, 4}}) {
        table.CellHPadding = c.H;
        table.CellVPadding = c.V;
        EXPECT_EQ(table.GetCellPadding(), c.Expected) << c.H << " " << c.V;
    }
}

TEST(RVTableProps, CellSetters) {
    TTableFixture f;
    f.Host.Undo = true;
    TRVTableItemInfo& table = f.AddTable(2, 2);
    TRVTableCellData& cell = *table.GetCell(1, 0);
    table.SetCellBestWidth(40, 1, 0);
    table.SetCellBestHeight(20, 1, 0);
    table.SetCellHint("tip", 1, 0);
    table.SetCellVAlign(rvcBottom, 1, 0);
    EXPECT_EQ(f.Host.UndoList.size(), 4u);
    EXPECT_FALSE(f.Host.UndoList[1]->AffectsWidth);
    EXPECT_EQ(cell.BestWidth, 40);
    EXPECT_EQ(cell.Hint, "tip");
    while (!f.Host.UndoList.empty())
        f.Host.UndoLast();
    EXPECT_EQ(cell.BestWidth, 0);
    EXPECT_EQ(cell.BestHeight, 0);
    EXPECT_EQ(cell.Hint, "");
    EXPECT_EQ(cell.VAlign, rvcVDefault);

    // Visible borders: the same four values record nothing.
    table.SetCellVisibleBorders(true, true, true, true, 1, 0);
    EXPECT_TRUE(f.Host.UndoList.empty());
    table.SetCellVisibleBorders(false, true, false, true, 1, 0);
    ASSERT_EQ(f.Host.UndoList.size(), 1u);
    EXPECT_TRUE(cell.VisibleBorders.IsEqualToValues(false, true, false, true));
    f.Host.UndoLast();
    EXPECT_TRUE(cell.VisibleBorders.IsAll(true));

    // Another cell's look in one step, sizes divided.
    TRVTableCellData source(nullptr);
    source.Color = clLime;
    source.BestWidth = 90;
    source.BestHeight = 30;
    source.Hint = "h";
    source.VisibleBorders.Left = false;
    table.AssignCellProperties(1, 0, source, true, 3, 2);
    EXPECT_EQ(cell.Color, clLime);
    EXPECT_EQ(cell.BestWidth, 45);
    EXPECT_EQ(cell.BestHeight, 10);
    EXPECT_FALSE(cell.VisibleBorders.Left);
    ASSERT_EQ(f.Host.UndoList.size(), 1u);
    f.Host.UndoLast();
    EXPECT_EQ(cell.Color, clNone);
    EXPECT_EQ(cell.BestWidth, 0);
    EXPECT_EQ(cell.Hint, "");
    EXPECT_TRUE(cell.VisibleBorders.Left);
}
