// The tab strip's layout: one row that scrolls behind its buttons, rows
// stretched unless ragged, and rows moving to the opposite side.
#include <gtest/gtest.h>

#include "platform/gui/ComCtrls.h"
#include "platform/gui/Forms.h"

namespace {
struct TabStripTest : ::testing::Test {
    TabStripTest() {
        Form->SetBounds(0, 0, 600, 400);
        Tabs->SetParent(Form.get());
        Tabs->SetBounds(0, 0, 300, 200);
    }
    void AddTabs(int Count) {
        for (int i = 0; i < Count; ++i)
            Tabs->InsertTab(Tabs->TabCount(), "Tab number " + IntToStr(i + 1), nullptr);
    }
    // The part of the row between the margin and the buttons.
    bool FullyShown(int Index) {
        TRect r = Tabs->TabRect(Index), buttons = Tabs->ScrollButtonsRect();
        return r.Left >= 2 && (buttons.IsEmpty() ? r.Right <= Tabs->Width() : r.Right <= buttons.Left);
    }
    void Click(TPoint P) {
        Tabs->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(P.X, P.Y));
        Tabs->Perform(WM_LBUTTONUP, 0, MAKELPARAM(P.X, P.Y));
    }
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TCustomTabControl* Tabs = new TCustomTabControl(Form.get());
};

TPoint Middle(const TRect& R) {
    return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
}
} // namespace

TEST_F(TabStripTest, ARowThatFitsHasNoButtons) {
    AddTabs(2);
    EXPECT_TRUE(Tabs->ScrollButtonsRect().IsEmpty());
    EXPECT_FALSE(Tabs->CanScrollTabs(1));
    EXPECT_FALSE(Tabs->CanScrollTabs(-1));
}

TEST_F(TabStripTest, ButtonsScrollARowThatDoesNotFitOneTabAtATime) {
    AddTabs(10);
    Tabs->SetTabIndex(0);
    TRect buttons = Tabs->ScrollButtonsRect();
    ASSERT_FALSE(buttons.IsEmpty());
    EXPECT_EQ(buttons.Right, Tabs->Width() - 2) << "at the row's end";
    EXPECT_EQ(buttons.Top, Tabs->TabRect(0).Top);
    EXPECT_FALSE(Tabs->CanScrollTabs(-1));
    EXPECT_EQ(Tabs->IndexOfTabAt(Middle(buttons).X, Middle(buttons).Y), -1) << "a button is no tab";

    std::vector<bool> seen(10, false);
    int presses = 0;
    for (;;) {
        for (int i = 0; i < 10; ++i)
            if (FullyShown(i)) seen[std::size_t(i)] = true;
        if (!Tabs->CanScrollTabs(1)) break;
        int first = Tabs->FirstVisibleTab();
        Click({buttons.Right - 4, Middle(buttons).Y});
        ASSERT_EQ(Tabs->FirstVisibleTab(), first + 1);
        ++presses;
        ASSERT_LT(presses, 10);
    }
    EXPECT_EQ(seen, std::vector<bool>(10, true)) << "every tab came into view";
    EXPECT_TRUE(FullyShown(9)) << "scrolling stops once the last tab shows";
    EXPECT_EQ(Tabs->TabIndex(), 0) << "the buttons leave the selection";
    TRect first = Tabs->TabRect(0);
    EXPECT_LT(first.Right, 2) << "a tab scrolled out lies before the row";
    EXPECT_EQ(Tabs->IndexOfTabAt(1, Middle(first).Y), -1) << "and is not hit at the edge";

    Click({buttons.Left + 4, Middle(buttons).Y});
    EXPECT_EQ(Tabs->FirstVisibleTab(), presses - 1) << "the other button goes back";
}

TEST_F(TabStripTest, TheSelectedTabScrollsIntoView) {
    AddTabs(10);
    Tabs->SetTabIndex(0);
    for (int i = 1; i < 10; ++i) {
        uint16_t key = VK_RIGHT;
        Tabs->Perform(WM_KEYDOWN, key, 0);
        ASSERT_EQ(Tabs->TabIndex(), i);
        EXPECT_TRUE(FullyShown(i)) << i;
    }
    Tabs->SetTabIndex(0);
    EXPECT_EQ(Tabs->FirstVisibleTab(), 0);
    Tabs->SetWidth(3000);
    EXPECT_TRUE(Tabs->ScrollButtonsRect().IsEmpty()) << "a row that fits again loses its buttons";
    EXPECT_EQ(Tabs->TabRect(0).Left, 2);
}

TEST_F(TabStripTest, RowsAreStretchedUnlessRagged) {
    Tabs->SetMultiLine(true);
    AddTabs(7);
    auto rowEnds = [&] {
        std::vector<int> ends;
        for (int i = 0; i < Tabs->TabCount(); ++i)
            if (i + 1 == Tabs->TabCount() || Tabs->TabRect(i + 1).Top != Tabs->TabRect(i).Top)
                ends.push_back(Tabs->TabRect(i).Right);
        return ends;
    };
    std::vector<int> stretched = rowEnds();
    ASSERT_GT(stretched.size(), 1u);
    for (int end : stretched)
        EXPECT_EQ(end, Tabs->Width() - 2);
    for (int i = 0; i + 1 < Tabs->TabCount(); ++i) {
        if (Tabs->TabRect(i + 1).Top == Tabs->TabRect(i).Top) {
            EXPECT_EQ(Tabs->TabRect(i).Right, Tabs->TabRect(i + 1).Left) << "no gaps";
        }
    }

    Tabs->SetRaggedRight(true);
    std::vector<int> ragged = rowEnds();
    EXPECT_LT(ragged.back(), Tabs->Width() - 2);

    Tabs->SetMultiLine(false);
    Tabs->SetRaggedRight(false);
    Tabs->SetTabIndex(0);
    EXPECT_EQ(Tabs->TabRect(1).Width(), Tabs->TabRect(0).Width()) << "a single row is not stretched";
}

TEST_F(TabStripTest, AFarRowComesToThePagesByTurningOrByMovingTheOthersOpposite) {
    Tabs->SetMultiLine(true);
    AddTabs(7);
    Tabs->SetTabIndex(0);
    const int last = Tabs->TabCount() - 1;
    ASSERT_LT(Tabs->TabRect(last).Top, Tabs->TabRect(0).Top) << "later rows lie further out";
    const TRect pages = Tabs->DisplayRect();

    struct Case {
        bool Opposite;
        const char* Name;
    };
    for (Case c : {Case{false, "turning"}, Case{true, "opposite"}}) {
        SCOPED_TRACE(c.Name);
        Tabs->SetScrollOpposite(c.Opposite);
        Tabs->SetTabIndex(0);
        EXPECT_EQ(Tabs->DisplayRect(), pages);
        Tabs->SetTabIndex(last);
        TRect shown = Tabs->DisplayRect();
        EXPECT_EQ(Tabs->TabRect(last).Bottom + 4, shown.Top) << "the chosen row lies at the pages";
        if (!c.Opposite) {
            EXPECT_EQ(shown, pages);
            EXPECT_LT(Tabs->TabRect(0).Bottom, shown.Top) << "the rows turn round above the pages";
        } else {
            EXPECT_GT(Tabs->TabRect(0).Top, shown.Bottom) << "row 0 moved below the pages";
            EXPECT_LT(shown.Bottom, Tabs->Height() - 4);
            EXPECT_GE(Tabs->TabRect(0).Top, Tabs->TabRect(3).Bottom) << "the rows keep their order";
            // Choosing a row on the other side brings the rows back.
            Tabs->SetTabIndex(0);
            EXPECT_EQ(Tabs->DisplayRect(), pages);
            EXPECT_EQ(Tabs->TabRect(0).Bottom + 4, pages.Top);
        }
    }
}

TEST_F(TabStripTest, TabsAtASideWrapAsTheNativeStripDoes) {
    Tabs->SetTabPosition(TTabPosition::tpLeft);
    AddTabs(8);
    EXPECT_TRUE(Tabs->ScrollButtonsRect().IsEmpty());
    int columns = 0;
    for (int i = 0; i < Tabs->TabCount(); ++i)
        if (i == 0 || Tabs->TabRect(i).Left != Tabs->TabRect(i - 1).Left) ++columns;
    EXPECT_GT(columns, 1);
    for (int i = 0; i < Tabs->TabCount(); ++i)
        EXPECT_LE(Tabs->TabRect(i).Bottom, Tabs->Height()) << i;
}
