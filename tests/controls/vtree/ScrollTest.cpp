// The scroll model: offsets clamped to the ranges, scroll requests and the
// wheel, bringing nodes into view in a million-node tree and in one taller
// than 2^31 pixels, the scroll bars, and automatic scrolling on the clock.
#include <gtest/gtest.h>

#include "TreeHarness.h"

namespace {

// 20 rows of 18 (range 360) under three columns of 100 (range 300), in a
// client area of 200 x 100.
struct TScrollFixture {
    TTestView View;
    std::vector<std::string> Log;
    TTestTree Tree{View};

    TScrollFixture() {
        AddColumns(Tree, 3, 100);
        Tree.SetRootNodeCount(20);
        Tree.OnScroll = [this](TBaseVirtualTree*, int DX, int64_t DY) {
            Log.push_back(std::to_string(DX) + "," + std::to_string(DY));
        };
    }
};

struct TOffsetCase {
    const char* Name;
    std::function<void(TTestTree&)> Do;
    int X;
    int64_t Y;
    std::vector<std::string> Log;
};

TEST(VirtualTreeScroll, OffsetsStayWithinTheRanges) {
    const std::vector<TOffsetCase> cases = {
        {"a positive offset is 0", [](TTestTree& T) { T.SetOffsetY(5); }, 0, 0, {}},
        {"beyond the end stops at the end", [](TTestTree& T) { T.SetOffsetY(-1000); }, 0, -260, {"0,-260"}},
        {"within the range", [](TTestTree& T) { T.SetOffsetY(-100); }, 0, -100, {"0,-100"}},
        {"the same value again fires nothing",
         [](TTestTree& T) {
             T.SetOffsetY(-100);
             T.SetOffsetY(-100);
         },
         0,
         -100,
         {"0,-100"}},
        {"horizontally", [](TTestTree& T) { T.SetOffsetX(-500); }, -100, 0, {"-100,0"}},
        {"horizontally positive", [](TTestTree& T) { T.SetOffsetX(3); }, 0, 0, {}},
        {"a shrinking tree pulls the offset back",
         [](TTestTree& T) {
             T.SetOffsetY(-260);
             T.SetRootNodeCount(10);
         },
         0,
         -80,
         {"0,-260", "0,180"}},
        {"a narrower column pulls the offset back",
         [](TTestTree& T) {
             T.SetOffsetX(-100);
             T.Header()->Columns()->GetItem(2)->SetWidth(50);
         },
         -50,
         0,
         {"-100,0", "50,0"}},
    };
    for (const TOffsetCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TScrollFixture f;
        c.Do(f.Tree);
        EXPECT_EQ(c.X, f.Tree.OffsetX());
        EXPECT_EQ(c.Y, f.Tree.OffsetY());
        EXPECT_EQ(c.Log, f.Log);
        EXPECT_EQ("", CheckInvariants(f.Tree));
    }
}

struct TCodeCase {
    bool Vertical;
    int Code;
    int Track;
    int64_t Expected;
};

TEST(VirtualTreeScroll, ScrollRequests) {
    const std::vector<TCodeCase> cases = {
        {true, VTScroll::LineDown, 0, -20},  {true, VTScroll::PageDown, 0, -100},
        {true, VTScroll::Bottom, 0, -260},   {true, VTScroll::ThumbTrack, 150, -150},
        {false, VTScroll::LineDown, 0, -20}, {false, VTScroll::PageDown, 0, -100},
        {false, VTScroll::Bottom, 0, -100},  {false, VTScroll::ThumbPosition, 40, -40},
    };
    for (const TCodeCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.Vertical) + "/" + std::to_string(c.Code));
        TScrollFixture f;
        if (c.Vertical)
            f.Tree.WMVScroll(c.Code, c.Track);
        else
            f.Tree.WMHScroll(c.Code, c.Track);
        EXPECT_EQ(c.Expected, c.Vertical ? f.Tree.OffsetY() : int64_t(f.Tree.OffsetX()));
        // Back up by a line and a page, to the top, and the end of a thumb drag.
        if (c.Vertical) {
            f.Tree.WMVScroll(VTScroll::LineUp, 0);
            f.Tree.WMVScroll(VTScroll::PageUp, 0);
            f.Tree.WMVScroll(VTScroll::EndScroll, 0);
            EXPECT_EQ(std::min<int64_t>(0, c.Expected + 120), f.Tree.OffsetY());
            f.Tree.WMVScroll(VTScroll::Top, 0);
            EXPECT_EQ(0, f.Tree.OffsetY());
        } else {
            f.Tree.WMHScroll(VTScroll::LineUp, 0);
            f.Tree.WMHScroll(VTScroll::EndScroll, 0);
            EXPECT_EQ(std::min<int64_t>(0, c.Expected + 20), f.Tree.OffsetX());
            f.Tree.WMHScroll(VTScroll::Top, 0);
            EXPECT_EQ(0, f.Tree.OffsetX());
        }
        EXPECT_FALSE(f.Tree.TreeStates().Contains(tsThumbTracking));
        EXPECT_EQ("", CheckInvariants(f.Tree));
    }
}

TEST(VirtualTreeScroll, Wheel) {
    TScrollFixture f;
    f.Tree.WMMouseWheel(-120, 0);
    EXPECT_EQ(-54, f.Tree.OffsetY()); // three lines of 18
    f.Tree.WMMouseWheel(120, 0);
    EXPECT_EQ(0, f.Tree.OffsetY());
    f.Tree.WMMouseWheel(-120, ssCtrl);
    EXPECT_EQ(-90, f.Tree.OffsetY()); // a page of whole rows
    f.View.Lines = -1;
    f.Tree.WMMouseWheel(-120, 0);
    EXPECT_EQ(-180, f.Tree.OffsetY());
    // Content that fits vertically turns the wheel sideways, by the indent.
    f.Tree.SetRootNodeCount(2);
    f.Tree.WMMouseWheel(-120, 0);
    EXPECT_EQ(-18, f.Tree.OffsetX());
    f.Tree.WMMouseWheel(-120, ssCtrl);
    EXPECT_EQ(-100, f.Tree.OffsetX());
    EXPECT_EQ("", CheckInvariants(f.Tree));
}

TEST(VirtualTreeScroll, ScrollIntoViewInAMillionNodes) {
    TTestView view;
    TTestTree tree(view);
    tree.SetRootNodeCount(1000000);
    PVirtualNode last = tree.GetLastNoInit();
    EXPECT_TRUE(tree.ScrollIntoView(last, false));
    EXPECT_EQ(-(1000000LL * 18 - 100), tree.OffsetY());
    EXPECT_EQ(82, tree.GetDisplayRect(last, NoColumn, false).Top);
    PVirtualNode middle = last;
    for (int i = 0; i < 500000; ++i)
        middle = middle->PrevSibling;
    EXPECT_TRUE(tree.ScrollIntoView(middle, true));
    EXPECT_EQ(50, tree.GetDisplayRect(middle, NoColumn, false).Top);
    // A row already in view and not centred moves nothing.
    EXPECT_FALSE(tree.ScrollIntoView(middle->NextSibling, false));
    EXPECT_TRUE(tree.ScrollIntoView(tree.GetFirstNoInit(), false));
    EXPECT_EQ(0, tree.OffsetY());
    EXPECT_EQ("", CheckInvariants(tree));
}

// Trees taller than 2^31 and than 2^32 pixels, made of tall rows rather than
// billions of nodes; the last shape has one subtree taller than 2^32 that
// position queries must skip whole.
TEST(VirtualTreeScroll, TreesTallerThanThirtyTwoBitsScroll) {
    struct TCase {
        const char* Name;
        uint32_t RowHeight;
        std::function<void(TTestTree&)> Fill;
        int64_t Total;
    };
    const TCase cases[] = {
        {"a million rows of 3000", 3000, [](TTestTree& t) { t.SetRootNodeCount(1000000); }, 1000000LL * 3000},
        {"100000 rows of 60000", 60000, [](TTestTree& t) { t.SetRootNodeCount(100000); }, 100000LL * 60000},
        {"a parent of 75000 rows of 60000, then a row", 60000,
         [](TTestTree& t) {
             t.SetRootNodeCount(2);
             t.SetChildCount(At(t, {0}), 75000);
             t.ToggleNode(At(t, {0}));
         },
         75002LL * 60000},
    };
    for (const TCase& c : cases)
        for (bool cached : {false, true}) {
            SCOPED_TRACE(std::string(c.Name) + (cached ? ", cached" : ", walked"));
            TTestView view;
            TTestTree tree(view);
            tree.CacheEnabled = cached;
            tree.SetDefaultNodeHeight(c.RowHeight);
            c.Fill(tree);
            EXPECT_EQ(cached, tree.EnsurePositionCache(true));
            const int64_t h = c.RowHeight;
            EXPECT_EQ(c.Total, tree.RangeY());
            PVirtualNode last = tree.GetLastVisibleNoInit();
            tree.WMVScroll(VTScroll::Bottom, 0);
            EXPECT_EQ(-(c.Total - 100), tree.OffsetY());
            THitInfo hit;
            tree.GetHitTestInfoAt(10, 99, true, hit);
            EXPECT_EQ(last, hit.HitNode);
            int top = 0;
            EXPECT_EQ(tree.GetPreviousVisibleNoInit(last), tree.GetNodeAt(0, int(100 - h - 1), true, top));
            EXPECT_EQ(100 - 2 * h, top);
            EXPECT_EQ(c.Total - h, tree.GetNodeTop(last));

            tree.WMVScroll(VTScroll::Top, 0);
            EXPECT_TRUE(tree.ScrollIntoView(last, false));
            EXPECT_EQ(-(c.Total - 100), tree.OffsetY());
            EXPECT_EQ(100 - h, tree.GetDisplayRect(last, NoColumn, false).Top);
            PVirtualNode third = tree.GetPreviousVisibleNoInit(tree.GetPreviousVisibleNoInit(last));
            tree.ScrollIntoView(third, false);
            EXPECT_EQ(-(c.Total - 3 * h), tree.OffsetY());
            tree.WMVScroll(VTScroll::ThumbTrack, c.Total / 2);
            EXPECT_EQ(-c.Total / 2, tree.OffsetY());
            EXPECT_EQ("", CheckInvariants(tree));
        }
}

TEST(VirtualTreeScroll, ScrollIntoViewOpensCollapsedParents) {
    TTestView view;
    TTestTree tree(view);
    tree.OnInitNode = [](TBaseVirtualTree*, PVirtualNode P, PVirtualNode, TVirtualNodeInitStates& S) {
        if (!P) S.Include(ivsHasChildren);
    };
    tree.OnInitChildren = [](TBaseVirtualTree*, PVirtualNode, uint32_t& C) { C = 3; };
    tree.SetRootNodeCount(10);
    tree.ValidateNode(nullptr, true);
    PVirtualNode child = At(tree, {8, 2});
    // Opening the parent already brings its last child into view.
    tree.ScrollIntoView(child, false);
    EXPECT_TRUE(At(tree, {8})->States.Contains(vsExpanded));
    EXPECT_EQ(82, tree.GetDisplayRect(child, NoColumn, false).Top);
    EXPECT_EQ("", CheckInvariants(tree));
}

TEST(VirtualTreeScroll, ScrollBarsShowWhenNeeded) {
    TTestView view;
    TTestTree tree(view);
    std::vector<std::string> shown;
    tree.OnShowScrollbar = [&](TBaseVirtualTree*, int Bar, bool Show) {
        shown.push_back(std::to_string(Bar) + (Show ? "+" : "-"));
    };
    tree.SetRootNodeCount(3);
    EXPECT_FALSE(view.BarShown[VTScroll::Vertical]);
    tree.SetRootNodeCount(30);
    EXPECT_TRUE(view.BarShown[VTScroll::Vertical]);
    tree.SetRootNodeCount(3);
    EXPECT_FALSE(view.BarShown[VTScroll::Vertical]);
    tree.ScrollBarOptions()->SetAlwaysVisible(true);
    EXPECT_EQ(1, view.Recreations);
    tree.UpdateScrollBars(true);
    EXPECT_TRUE(view.BarShown[VTScroll::Vertical]);
    EXPECT_FALSE(shown.empty());
    tree.ScrollBarOptions()->SetScrollBars(ssNone);
    EXPECT_EQ(2, view.Recreations);
    tree.UpdateScrollBars(true);
    EXPECT_FALSE(view.BarShown[VTScroll::Vertical]);
    EXPECT_FALSE(view.BarShown[VTScroll::Horizontal]);
}

struct TDirectionCase {
    int OffsetX;
    int64_t OffsetY;
    TPoint P;
    TScrollDirections Expected;
};

TEST(VirtualTreeScroll, AutoScrollDirections) {
    const std::vector<TDirectionCase> cases = {
        {0, 0, {100, 50}, {}},        {0, 0, {5, 50}, {}},
        {0, 0, {195, 50}, {sdRight}}, {0, 0, {100, 5}, {}},
        {0, 0, {100, 95}, {sdDown}},  {-50, -100, {5, 5}, {sdLeft, sdUp}},
        {-100, -260, {195, 95}, {}},  {-100, -260, {195, 5}, {sdUp}},
    };
    for (const TDirectionCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.P.X) + "," + std::to_string(c.P.Y));
        TScrollFixture f;
        f.Tree.TreeOptions()->SetAutoOptions(f.Tree.TreeOptions()->AutoOptions() +
                                             TVTAutoOptions{toAutoScroll});
        f.Tree.SetOffsetX(c.OffsetX);
        f.Tree.SetOffsetY(c.OffsetY);
        EXPECT_TRUE(f.Tree.DetermineScrollDirections(c.P.X, c.P.Y).Empty()); // nothing is selecting yet
        f.Tree.StartDrawSelection(100, 50, 0);
        EXPECT_EQ(c.Expected.ToBits(), f.Tree.DetermineScrollDirections(c.P.X, c.P.Y).ToBits());
    }
}

TEST(VirtualTreeScroll, AutoScrollWaitsThenGoesFasterFartherOut) {
    TScrollFixture f;
    f.Tree.TreeOptions()->SetAutoOptions(f.Tree.TreeOptions()->AutoOptions() + TVTAutoOptions{toAutoScroll});
    f.Tree.StartDrawSelection(100, 50, 0);
    f.View.Cursor = TPoint{100, 101}; // two pixels below the client area
    f.Tree.DoAutoScroll(100, 101);
    EXPECT_TRUE(f.Tree.TreeStates().Contains(tsScrollPending));
    f.View.Advance(f.Tree, 999);
    EXPECT_EQ(0, f.Tree.OffsetY());
    f.View.Advance(f.Tree, 1);
    EXPECT_TRUE(f.Tree.TreeStates().Contains(tsScrolling));
    EXPECT_EQ(-40, f.Tree.OffsetY());
    f.View.Advance(f.Tree, 1);
    EXPECT_EQ(-80, f.Tree.OffsetY());
    f.View.Cursor = TPoint{100, 105};
    f.View.Advance(f.Tree, 1);
    EXPECT_EQ(-200, f.Tree.OffsetY());
    f.View.Advance(f.Tree, 1);
    EXPECT_EQ(-260, f.Tree.OffsetY());
    // At the end the direction is dropped and the timer stops.
    f.View.Advance(f.Tree, 1);
    EXPECT_FALSE(f.View.TimerRunning(ScrollTimer));
    EXPECT_FALSE(f.Tree.TreeStates().Contains(tsScrolling));
    EXPECT_EQ("", CheckInvariants(f.Tree));
}

} // namespace
