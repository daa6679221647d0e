// Hit testing and display rectangles over one fixed geometry: rows 18 pixels
// high, an indent of 18, a margin of 4, check and image lists 16 wide and
// every character 6 pixels wide.
#include <gtest/gtest.h>

#include "TreeHarness.h"

namespace {

// Rows: "0" alpha (check box, state and normal image, children), "0.0" beta,
// "0.1" gamma, "1" delta (normal image); nothing below y = 72.
struct THitFixture {
    TTestView View;
    TTestTree Tree{View};

    THitFixture() {
        View.Width = 350;
        View.Height = 200;
        Tree.WMSize();
        Tree.TreeOptions()->SetMiscOptions(Tree.TreeOptions()->MiscOptions() +
                                           TVTMiscOptions{toCheckSupport});
        Tree.SetCheckImageKind(ckCustom);
        Tree.SetCustomCheckImages(FakeImages());
        Tree.SetImages(FakeImages());
        Tree.SetStateImages(FakeImages());
        Tree.OnInitNode = [this](TBaseVirtualTree*, PVirtualNode Parent, PVirtualNode N,
                                 TVirtualNodeInitStates& S) {
            if (!Parent && N->Index == 0) {
                S = {ivsHasChildren, ivsExpanded};
                Tree.SetCheckType(N, ctCheckBox);
            }
        };
        Tree.OnInitChildren = [](TBaseVirtualTree*, PVirtualNode, uint32_t& Count) { Count = 2; };
        Tree.OnGetImageIndex = [this](TBaseVirtualTree*, PVirtualNode N, TVTImageKind Kind,
                                      TColumnIndex Column, bool&, int& Index) {
            std::string path = PathOf(Tree, N);
            if (Column > 0) return;
            if ((Kind == ikState && path == "0") || (Kind == ikNormal && (path == "0" || path == "1")))
                Index = 0;
        };
        Tree.TextOf = TextsByPath(Tree, {{"0", "alpha"},
                                         {"0.0", "beta"},
                                         {"0.1", "gamma"},
                                         {"1", "delta"},
                                         {"1/1", "xy"},
                                         {"1/2", "abcd"}});
        Tree.OnGetCellIsEmpty = [this](TBaseVirtualTree*, PVirtualNode N, TColumnIndex C, bool& Empty) {
            Empty = Tree.TextOf(N, C).empty();
        };
        Tree.SetRootNodeCount(2);
        Tree.ValidateNode(nullptr, true);
    }

    // Three columns 100 wide; the second right-justified, the third centred.
    void AddGridColumns() {
        AddColumns(Tree, 3, 100);
        Tree.Header()->Columns()->GetItem(1)->SetAlignment(taRightJustify);
        Tree.Header()->Columns()->GetItem(2)->SetAlignment(taCenter);
    }
};

struct THitCase {
    int X, Y;
    const char* Node; // path, "" for none
    THitPositions Positions;
    TColumnIndex Column;
};

void CheckHits(THitFixture& F, const std::vector<THitCase>& Cases) {
    for (const THitCase& c : Cases) {
        SCOPED_TRACE(std::to_string(c.X) + "," + std::to_string(c.Y));
        THitInfo hit;
        F.Tree.GetHitTestInfoAt(c.X, c.Y, true, hit);
        EXPECT_EQ(c.Node, hit.HitNode ? PathOf(F.Tree, hit.HitNode) : std::string());
        EXPECT_EQ(c.Positions.ToBits(), hit.HitPositions.ToBits());
        EXPECT_EQ(c.Column, hit.HitColumn);
    }
    EXPECT_EQ("", CheckInvariants(F.Tree));
}

TEST(VirtualTreeHitTest, EveryPositionWithoutColumns) {
    THitFixture f;
    CheckHits(f, {
                     {-1, 5, "", {hpToLeft}, NoColumn},
                     {5, -1, "", {hpAbove}, NoColumn},
                     {-1, -1, "", {hpToLeft, hpAbove}, NoColumn},
                     {351, 5, "", {hpToRight}, NoColumn},
                     {5, 201, "", {hpBelow}, NoColumn},
                     {5, 100, "", {hpNowhere}, NoColumn},
                     {5, 5, "0", {hpOnItem, hpOnItemButton}, NoColumn},
                     {20, 5, "0", {hpOnItem, hpOnItemCheckbox}, NoColumn},
                     {45, 5, "0", {hpOnItem, hpOnStateIcon}, NoColumn},
                     {60, 5, "0", {hpOnItem, hpOnNormalIcon}, NoColumn},
                     {80, 5, "0", {hpOnItem, hpOnItemLabel}, NoColumn},
                     {105, 5, "0", {hpOnItem, hpOnItemLabel}, NoColumn},
                     {106, 5, "0", {hpOnItem, hpOnItemRight}, NoColumn},
                     {20, 20, "0.0", {hpOnItem}, NoColumn},
                     {38, 20, "0.0", {hpOnItem}, NoColumn},
                     {50, 20, "0.0", {hpOnItem, hpOnItemLabel}, NoColumn},
                     {70, 20, "0.0", {hpOnItem, hpOnItemRight}, NoColumn},
                     {10, 60, "1", {hpOnItem}, NoColumn},
                     {30, 60, "1", {hpOnItem, hpOnNormalIcon}, NoColumn},
                     {45, 60, "1", {hpOnItem, hpOnItemLabel}, NoColumn},
                     {100, 60, "1", {hpOnItem, hpOnItemRight}, NoColumn},
                 });
}

TEST(VirtualTreeHitTest, ColumnsAlignmentsAndSpanning) {
    THitFixture f;
    f.AddGridColumns();
    CheckHits(f, {
                     {80, 5, "0", {hpOnItem, hpOnItemLabel}, 0},
                     {150, 60, "1", {hpOnItem, hpOnItemLeft}, 1},
                     {195, 60, "1", {hpOnItem, hpOnItemLabel}, 1},
                     {230, 60, "1", {hpOnItem, hpOnItemLeft}, 2},
                     {250, 60, "1", {hpOnItem, hpOnItemLabel}, 2},
                     {290, 60, "1", {hpOnItem, hpOnItemRight}, 2},
                     {320, 60, "1", {hpNowhere}, InvalidColumn},
                 });
    // An empty cell belongs to the text of the cell left of it.
    f.Tree.TreeOptions()->SetAutoOptions(f.Tree.TreeOptions()->AutoOptions() +
                                         TVTAutoOptions{toAutoSpanColumns});
    CheckHits(f, {
                     {150, 5, "0", {hpOnItem, hpOnItemRight}, 0},
                     {250, 5, "0", {hpOnItem, hpOnItemRight}, 0},
                     {150, 60, "1", {hpOnItem, hpOnItemLeft}, 1},
                 });
    // In report mode only the main column tells its parts apart.
    f.Tree.TreeOptions()->SetMiscOptions(f.Tree.TreeOptions()->MiscOptions() + TVTMiscOptions{toReportMode});
    CheckHits(f, {{195, 60, "1", {hpOnItem}, 1}, {80, 5, "0", {hpOnItem, hpOnItemLabel}, 0}});
}

TEST(VirtualTreeHitTest, RightToLeftMirrorsTheRow) {
    THitFixture f;
    f.Tree.SetBiDiMode(bdRightToLeft);
    CheckHits(f, {
                     {340, 5, "0", {hpOnItem, hpOnItemButton}, NoColumn},
                     {340, 60, "1", {hpOnItem}, NoColumn},
                     {320, 60, "1", {hpOnItem, hpOnNormalIcon}, NoColumn},
                     {300, 60, "1", {hpOnItem, hpOnItemLabel}, NoColumn},
                     {100, 60, "1", {hpOnItem, hpOnItemLeft}, NoColumn},
                 });
}

TEST(VirtualTreeHitTest, ScrolledRowsAreFoundAtTheirScreenPlace) {
    THitFixture f;
    f.Tree.SetRootNodeCount(40);
    f.Tree.SetOffsetY(-54);
    CheckHits(f, {{10, 5, "1", {hpOnItem}, NoColumn}});
    THitInfo hit;
    f.Tree.GetHitTestInfoAt(10, 5 + 54, false, hit);
    EXPECT_EQ("1", PathOf(f.Tree, hit.HitNode));
}

TEST(VirtualTreeHitTest, DisplayRectangles) {
    THitFixture f;
    PVirtualNode gamma = At(f.Tree, {0, 1});
    EXPECT_EQ((TRect{0, 36, 350, 54}), f.Tree.GetDisplayRect(gamma, NoColumn, false));
    EXPECT_EQ((TRect{40, 36, 70, 54}), f.Tree.GetDisplayRect(gamma, NoColumn, true));
    // Text, check box and both images follow the indentation.
    EXPECT_EQ((TRect{76, 0, 106, 18}), f.Tree.GetDisplayRect(At(f.Tree, {0}), NoColumn, true));
    f.AddGridColumns();
    EXPECT_EQ((TRect{100, 54, 199, 72}), f.Tree.GetDisplayRect(At(f.Tree, {1}), 1, false));
    EXPECT_EQ((TRect{187, 54, 199, 72}), f.Tree.GetDisplayRect(At(f.Tree, {1}), 1, true));
    EXPECT_EQ((TRect{239, 54, 263, 72}), f.Tree.GetDisplayRect(At(f.Tree, {1}), 2, true));
    f.Tree.ToggleNode(At(f.Tree, {0}));
    EXPECT_EQ(TRect{}, f.Tree.GetDisplayRect(gamma, NoColumn, false));
    EXPECT_EQ(18, f.Tree.GetDisplayRect(At(f.Tree, {1}), 0, false).Top);
}

TEST(VirtualTreeHitTest, WidestCellOfAColumn) {
    THitFixture f;
    f.AddGridColumns();
    // Check box, state and normal image, indentation and text of "alpha": 18 + 4 + 18 + 18 + 18 + 30.
    EXPECT_EQ(106, f.Tree.GetMaxColumnWidth(0));
    EXPECT_EQ(4 + 24, f.Tree.GetMaxColumnWidth(2));
}

} // namespace
