// Columns: the position map after moves and removals, width limits, hiding,
// springing, automatic sizing, and the column and edge under a point in both
// reading orders.
#include <gtest/gtest.h>

#include "TreeHarness.h"

namespace {

std::vector<TColumnIndex> Positions(TTestTree& Tree) {
    return Tree.Header()->Columns()->PositionToIndex();
}

TVirtualTreeColumn* Col(TTestTree& Tree, TColumnIndex Index) {
    return Tree.Header()->Columns()->GetItem(Index);
}

struct TMoveCase {
    const char* Name;
    std::vector<std::pair<TColumnIndex, TColumnPosition>> Moves;
    std::vector<TColumnIndex> Expected;
};

TEST(VirtualTreeColumns, PositionsFollowMoves) {
    const std::vector<TMoveCase> cases = {
        {"first to last", {{0, 2}}, {1, 2, 0}},     {"last to first", {{2, 0}}, {2, 0, 1}},
        {"to its own place", {{1, 1}}, {0, 1, 2}},  {"beyond the end stops at the end", {{0, 99}}, {1, 2, 0}},
        {"two moves", {{0, 2}, {2, 0}}, {2, 1, 0}}, {"middle to first", {{1, 0}}, {1, 0, 2}},
    };
    for (const TMoveCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TTestView view;
        TTestTree tree(view);
        AddColumns(tree, 3, 50);
        for (auto [column, position] : c.Moves) {
            Col(tree, column)->SetPosition(position);
            EXPECT_EQ("", CheckInvariants(tree));
        }
        EXPECT_EQ(c.Expected, Positions(tree));
        // Left edges follow the new order.
        EXPECT_EQ(0, Col(tree, c.Expected[0])->Left());
        EXPECT_EQ(100, Col(tree, c.Expected[2])->Left());
    }
}

struct TRemoveCase {
    const char* Name;
    std::vector<std::pair<TColumnIndex, TColumnPosition>> Moves;
    TColumnIndex Removed;
    std::vector<TColumnIndex> Expected;
    TColumnIndex SortBefore, SortAfter;
    TColumnIndex MainBefore, MainAfter;
};

TEST(VirtualTreeColumns, RemovalClosesPositionsAndRenumbersReferences) {
    const std::vector<TRemoveCase> cases = {
        {"first of three", {}, 0, {0, 1}, 2, 1, 0, 0},
        {"the sort column", {}, 1, {0, 1}, 1, NoColumn, 2, 1},
        {"after a move", {{0, 2}}, 1, {1, 0}, 0, 0, 1, 0},
        {"the last", {{2, 0}}, 2, {0, 1}, 2, NoColumn, 2, 0},
    };
    for (const TRemoveCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TTestView view;
        TTestTree tree(view);
        AddColumns(tree, 3, 50);
        for (auto [column, position] : c.Moves)
            Col(tree, column)->SetPosition(position);
        tree.Header()->SetSortColumn(c.SortBefore);
        tree.Header()->SetMainColumn(c.MainBefore);
        tree.Header()->Columns()->Delete(c.Removed);
        EXPECT_EQ("", CheckInvariants(tree));
        EXPECT_EQ(c.Expected, Positions(tree));
        EXPECT_EQ(c.SortAfter, tree.Header()->SortColumn());
        EXPECT_EQ(c.MainAfter, tree.Header()->MainColumn());
    }
    TTestView view;
    TTestTree tree(view);
    AddColumns(tree, 1, 50);
    tree.Header()->Columns()->Delete(0);
    EXPECT_EQ(NoColumn, tree.Header()->MainColumn());
    EXPECT_EQ("", CheckInvariants(tree));
}

TEST(VirtualTreeColumns, NewColumnDefaults) {
    TTestView view;
    TTestTree tree(view);
    AddColumns(tree, 2, 60);
    TVirtualTreeColumn* third = tree.Header()->Columns()->Add();
    EXPECT_EQ(2u, third->Position());
    EXPECT_EQ(50, third->Width());
    EXPECT_EQ(10, third->MinWidth());
    EXPECT_EQ(10000, third->MaxWidth());
    EXPECT_EQ(DefaultColumnOptions, third->Options());
    EXPECT_EQ(0, tree.Header()->MainColumn());
}

struct TWidthCase {
    const char* Name;
    std::function<void(TVirtualTreeColumn*)> Do;
    int Width, Min, Max;
};

TEST(VirtualTreeColumns, WidthsStayWithinTheirLimits) {
    const std::vector<TWidthCase> cases = {
        {"below the minimum", [](TVirtualTreeColumn* c) { c->SetWidth(5); }, 10, 10, 10000},
        {"above the maximum", [](TVirtualTreeColumn* c) { c->SetWidth(20000); }, 10000, 10, 10000},
        {"maximum below the minimum", [](TVirtualTreeColumn* c) { c->SetMaxWidth(5); }, 10, 10, 10},
        {"negative minimum", [](TVirtualTreeColumn* c) { c->SetMinWidth(-3); }, 50, 0, 10000},
        {"minimum above the width", [](TVirtualTreeColumn* c) { c->SetMinWidth(80); }, 80, 80, 10000},
        {"maximum below the width", [](TVirtualTreeColumn* c) { c->SetMaxWidth(30); }, 30, 10, 30},
        {"minimum above the maximum",
         [](TVirtualTreeColumn* c) {
             c->SetMaxWidth(40);
             c->SetMinWidth(70);
         },
         40, 40, 40},
    };
    for (const TWidthCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TTestView view;
        TTestTree tree(view);
        AddColumns(tree, 2, 50);
        c.Do(Col(tree, 0));
        EXPECT_EQ(c.Width, Col(tree, 0)->Width());
        EXPECT_EQ(c.Min, Col(tree, 0)->MinWidth());
        EXPECT_EQ(c.Max, Col(tree, 0)->MaxWidth());
        EXPECT_EQ(c.Width, Col(tree, 1)->Left());
        EXPECT_EQ("", CheckInvariants(tree));
    }
}

TEST(VirtualTreeColumns, HiddenColumnsTakeNoRoom) {
    TTestView view;
    TTestTree tree(view);
    AddColumns(tree, 3, 50);
    TVirtualTreeColumn* middle = Col(tree, 1);
    middle->SetOptions(middle->Options() - TVTColumnOptions{coVisible});
    EXPECT_EQ(50, Col(tree, 2)->Left());
    EXPECT_EQ(50, middle->Left());
    EXPECT_EQ(100, tree.Header()->Columns()->TotalVisibleWidth());
    TVirtualTreeColumn* last = Col(tree, 2);
    last->SetOptions(last->Options() - TVTColumnOptions{coVisible});
    EXPECT_EQ(50, tree.Header()->Columns()->TotalVisibleWidth());
    EXPECT_EQ(InvalidColumn, tree.Header()->Columns()->NextVisibleColumn(0));
    EXPECT_EQ(0, tree.Header()->Columns()->LastVisibleColumn());
    EXPECT_EQ("", CheckInvariants(tree));
}

TEST(VirtualTreeColumns, FixedStateFollowsTheNeighbour) {
    TTestView view;
    TTestTree tree(view);
    AddColumns(tree, 3, 50);
    Col(tree, 0)->SetOptions(Col(tree, 0)->Options() + TVTColumnOptions{coFixed});
    // Next to the non-fixed column 1 the fixed column loses its state...
    Col(tree, 0)->SetPosition(1);
    EXPECT_FALSE(Col(tree, 0)->Options().Contains(coFixed));
    // ...and a column put before a fixed one becomes fixed.
    Col(tree, 1)->SetOptions(Col(tree, 1)->Options() + TVTColumnOptions{coFixed});
    Col(tree, 2)->SetPosition(0);
    EXPECT_TRUE(Col(tree, 2)->Options().Contains(coFixed));
    EXPECT_EQ("", CheckInvariants(tree));
}

TEST(VirtualTreeColumns, SpringingSharesSizeChangesWithTheirFractions) {
    TTestView view;
    TTestTree tree(view);
    AddColumns(tree, 3, 50);
    tree.Header()->SetOptions(tree.Header()->Options() + TVTHeaderOptions{hoAutoSpring});
    for (TColumnIndex c : {0, 2})
        Col(tree, c)->SetOptions(Col(tree, c)->Options() + TVTColumnOptions{coAutoSpring});
    tree.Header()->SpringColumns(); // learns the width
    const std::vector<std::pair<int, std::vector<int>>> steps = {
        {203, {51, 50, 51}}, // 1.5 each: one pixel now, half kept
        {204, {52, 50, 52}}, // the halves add up
        {200, {50, 50, 50}}, // 2 each back
    };
    for (auto& [width, widths] : steps) {
        SCOPED_TRACE(width);
        view.Width = width;
        tree.WMSize();
        EXPECT_EQ(widths,
                  (std::vector<int>{Col(tree, 0)->Width(), Col(tree, 1)->Width(), Col(tree, 2)->Width()}));
        EXPECT_EQ("", CheckInvariants(tree));
    }
}

TEST(VirtualTreeColumns, AutoSizeColumnTakesTheRest) {
    TTestView view;
    TTestTree tree(view);
    AddColumns(tree, 3, 50);
    tree.Header()->SetAutoSizeIndex(NoColumn);
    tree.Header()->SetOptions(tree.Header()->Options() + TVTHeaderOptions{hoAutoResize});
    EXPECT_EQ(100, Col(tree, 2)->Width()); // the last column when the index names none
    Col(tree, 0)->SetWidth(80);
    EXPECT_EQ(70, Col(tree, 2)->Width());
    Col(tree, 0)->SetWidth(300);
    EXPECT_EQ(10, Col(tree, 2)->Width()); // never below its minimum
    view.Width = 500;
    tree.WMSize();
    EXPECT_EQ(150, Col(tree, 2)->Width());
    EXPECT_EQ("", CheckInvariants(tree));
}

TEST(VirtualTreeColumns, DisplayNameFallsBackForWideText) {
    TTestView view;
    TTestTree tree(view);
    AddColumns(tree, 4, 50);
    Col(tree, 2)->SetText(u"Name");
    Col(tree, 3)->SetText(u"\u0418\u043c\u044f");
    EXPECT_EQ("Name", Col(tree, 2)->DisplayName());
    EXPECT_EQ("Column 3", Col(tree, 3)->DisplayName());
}

struct TPointCase {
    int X;
    TColumnIndex Column;   // under (X, 5) in header coordinates
    TColumnIndex Splitter; // track column for an edge hit at X, -1 for none
    int Anchor;
};

void CheckPoints(TTestTree& Tree, const std::vector<TPointCase>& Cases) {
    TVTHeader* header = Tree.Header();
    for (const TPointCase& c : Cases) {
        SCOPED_TRACE(c.X);
        EXPECT_EQ(c.Column, header->Columns()->ColumnAt(TPoint{c.X, 5}, true));
        EXPECT_EQ(c.Splitter != NoColumn, header->SplitterAt(TPoint{c.X, -5}));
        EXPECT_EQ(c.Splitter, header->Columns()->TrackIndex);
        if (c.Splitter != NoColumn) {
            EXPECT_EQ(c.Anchor, header->TrackAnchor());
        }
    }
}

// Columns 40, 60 and 80 wide in a client area 200 wide.
void ThreeColumns(TTestTree& Tree) {
    Tree.Header()->SetOptions(Tree.Header()->Options() + TVTHeaderOptions{hoVisible});
    for (int width : {40, 60, 80})
        Tree.Header()->Columns()->Add()->SetWidth(width);
}

TEST(VirtualTreeColumns, ColumnAndEdgeUnderAPointLeftToRight) {
    TTestView view;
    TTestTree tree(view);
    ThreeColumns(tree);
    CheckPoints(tree, {
                          {-1, InvalidColumn, NoColumn, 0},
                          {0, 0, NoColumn, 0},
                          {37, 0, NoColumn, 0},
                          {38, 0, 0, 0},
                          {40, 1, 0, 0},
                          {44, 1, 0, 0},
                          {45, 1, NoColumn, 0},
                          {98, 1, 1, 40},
                          {104, 2, 1, 40},
                          {179, 2, 2, 100},
                          {184, InvalidColumn, 2, 100},
                          {185, InvalidColumn, NoColumn, 0},
                      });
    // Below the window no column is hit.
    EXPECT_EQ(InvalidColumn, tree.Header()->Columns()->ColumnAt(TPoint{10, 17 + 100 + 1}, true));
    // A column that cannot be resized ends the edge search.
    Col(tree, 1)->SetOptions(Col(tree, 1)->Options() - TVTColumnOptions{coResizable});
    EXPECT_FALSE(tree.Header()->SplitterAt(TPoint{100, -5}));
}

TEST(VirtualTreeColumns, ColumnAndEdgeUnderAPointRightToLeft) {
    TTestView view;
    TTestTree tree(view);
    tree.SetBiDiMode(bdRightToLeft);
    ThreeColumns(tree);
    // The 180 pixels of columns sit at the right end: 20..60, 60..120, 120..200.
    EXPECT_EQ(20, tree.ComputeRTLOffset(true));
    CheckPoints(tree, {
                          {10, InvalidColumn, NoColumn, 0},
                          {16, InvalidColumn, 0, 60},
                          {22, 0, 0, 60},
                          {23, 0, NoColumn, 0},
                          {50, 0, NoColumn, 0},
                          {59, 0, 1, 120},
                          {61, 1, 1, 120},
                          {119, 1, 2, 200},
                          {199, 2, NoColumn, 0},
                      });
}

TEST(VirtualTreeColumns, ScrolledColumnsMoveExceptFixedOnes) {
    TTestView view;
    view.Width = 100;
    TTestTree tree(view);
    ThreeColumns(tree);
    tree.SetOffsetX(-50);
    EXPECT_EQ(-50, tree.OffsetX());
    EXPECT_EQ(1, tree.Header()->Columns()->ColumnAt(TPoint{30, 5}, true)); // 30 + 50 = 80
    EXPECT_EQ(0, tree.Header()->Columns()->ColumnAt(TPoint{30, 5}, false));
    Col(tree, 0)->SetOptions(Col(tree, 0)->Options() + TVTColumnOptions{coFixed});
    // Inside the fixed area nothing is shifted.
    EXPECT_EQ(0, tree.Header()->Columns()->ColumnAt(TPoint{30, 5}, true));
    EXPECT_EQ(0, Col(tree, 0)->Left());
    EXPECT_EQ(-10, Col(tree, 1)->Left());
    EXPECT_EQ("", CheckInvariants(tree));
}

struct TLoadedCase {
    const char* Name;
    std::vector<TColumnPosition> Stored;
    std::vector<TColumnIndex> Expected;
};

TEST(VirtualTreeColumns, PositionsReadFromAFormBecomeTheMapOrAreRepaired) {
    const std::vector<TLoadedCase> cases = {
        {"a permutation", {2, 0, 1}, {1, 2, 0}},
        {"a position twice", {1, 1, 0}, {0, 1, 2}},
        {"a position beyond the columns", {0, 7, 1}, {0, 1, 2}},
    };
    for (const TLoadedCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TTestView view;
        TTestTree tree(view);
        tree.SetLoading(true);
        AddColumns(tree, 3, 50);
        for (TColumnIndex i = 0; i < 3; ++i)
            Col(tree, i)->SetPosition(c.Stored[size_t(i)]);
        tree.SetLoading(false);
        tree.Loaded();
        EXPECT_EQ(c.Expected, Positions(tree));
        EXPECT_EQ(0, tree.Header()->MainColumn());
        EXPECT_EQ("", CheckInvariants(tree));
    }
}

} // namespace
