// A page control whose single row of tabs does not fit: the row scrolls by
// its buttons and to the selected page, and clicks, hover and the close
// glyph go to the tabs where they show.
#include <gtest/gtest.h>

#include "controls/pages/AdvPageControl.h"
#include "platform/gui/Forms.h"

namespace {
constexpr int PageTotal = 20;

struct ScrolledStripTest : ::testing::Test {
    ScrolledStripTest() {
        Form->SetBounds(0, 0, 400, 300);
        Pages->SetParent(Form.get());
        Pages->SetBounds(0, 0, 400, 300);
        for (int i = 0; i < PageTotal; ++i) {
            auto* sheet = new TAdvTabSheet(Form.get());
            sheet->SetCaption("Page number " + IntToStr(i + 1));
            sheet->SetPageControl(Pages);
        }
        Pages->SetActivePageIndex(0);
        Pages->OnChange = [this](TObject*) { Changes.push_back(Pages->ActivePageIndex()); };
    }
    TPoint Middle(const TRect& R) const { return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }
    // The page whose tab is hit at the middle of its own rectangle, or -1.
    bool Showing(int Page) {
        TPoint p = Middle(Pages->TabRectOfPage(Page));
        return Pages->TabAtPos(p.X, p.Y) == Page;
    }
    void Press(TPoint P, bool Up = true) {
        Pages->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(P.X, P.Y));
        if (Up) Pages->Perform(WM_LBUTTONUP, 0, MAKELPARAM(P.X, P.Y));
    }
    void PressForward() {
        TRect b = Pages->ScrollButtonsRect();
        Press({b.Right - 3, Middle(b).Y});
    }

    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TAdvPageControl* Pages = new TAdvPageControl(Form.get());
    std::vector<int> Changes;
};
} // namespace

TEST_F(ScrolledStripTest, TheButtonsBringEveryTabIntoReachOfAClick) {
    ASSERT_FALSE(Pages->ScrollButtonsRect().IsEmpty());
    EXPECT_FALSE(Showing(PageTotal - 1));
    for (int page = 1; page < PageTotal; ++page) {
        int presses = 0;
        while (!Showing(page) && presses++ < PageTotal)
            PressForward();
        ASSERT_TRUE(Showing(page)) << page;
        Press(Middle(Pages->TabRectOfPage(page)));
        ASSERT_EQ(Pages->ActivePageIndex(), page);
        EXPECT_TRUE(Showing(page)) << "the row stays where the click found it";
    }
    std::vector<int> each(PageTotal - 1);
    for (int i = 0; i < PageTotal - 1; ++i)
        each[std::size_t(i)] = i + 1;
    EXPECT_EQ(Changes, each) << "one change per click, none per scroll";
}

TEST_F(ScrolledStripTest, KeysScrollTheSelectedTabIntoView) {
    Pages->SetFocus();
    for (int page = 1; page < PageTotal; ++page) {
        Pages->Perform(WM_KEYDOWN, VK_RIGHT, 0);
        ASSERT_EQ(Pages->ActivePageIndex(), page);
        EXPECT_TRUE(Showing(page)) << page;
    }
    // Ctrl+Tab wraps to the first page, and the row scrolls back to it.
    SetShiftState(ssCtrl);
    Form->Perform(CM_DIALOGKEY, VK_TAB, 0);
    SetShiftState(0);
    EXPECT_EQ(Pages->ActivePageIndex(), 0);
    EXPECT_TRUE(Showing(0));
    EXPECT_EQ(Pages->FirstVisibleTab(), 0);
}

TEST_F(ScrolledStripTest, ATabUnderTheButtonsIsNeitherHoveredNorChosen) {
    Pages->SetTabHoverColor(clYellow);
    TRect buttons = Pages->ScrollButtonsRect();
    TPoint onButton{buttons.Left + 3, Middle(buttons).Y};
    int beneath = -1;
    for (int p = 0; p < PageTotal; ++p)
        if (Pages->TabRectOfPage(p).Contains(onButton)) beneath = p;
    ASSERT_GE(beneath, 0) << "a tab runs on under the buttons";
    Pages->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(onButton.X, onButton.Y));
    EXPECT_EQ(Pages->HoverTab(), -1);
    Press(onButton);
    EXPECT_EQ(Pages->ActivePageIndex(), 0);
    EXPECT_TRUE(Changes.empty());
}

TEST_F(ScrolledStripTest, TheCloseGlyphOfAScrolledOutTabDoesNotAnswer) {
    Pages->SetTabHoverColor(clYellow);
    auto* sheet = Pages->Pages(1);
    sheet->SetShowClose(true);
    Pages->SetActivePageIndex(1);
    TRect glyph = Pages->CloseGlyphRect();
    TPoint at{glyph.Left + 3, glyph.Top + 3};
    Pages->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(at.X, at.Y));
    EXPECT_TRUE(Pages->CloseGlyphHot()) << "where the tab shows";

    // Two presses move the glyph's tab out of the row; its old place now
    // holds another tab, which a press there chooses.
    PressForward();
    PressForward();
    EXPECT_EQ(Pages->FirstVisibleTab(), 2);
    Pages->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(at.X, at.Y));
    EXPECT_FALSE(Pages->CloseGlyphHot());
    Press(at);
    EXPECT_EQ(Pages->PageCount(), PageTotal) << "nothing closed";
    EXPECT_EQ(Pages->ActivePageIndex(), Pages->TabAtPos(at.X, at.Y));
}

TEST_F(ScrolledStripTest, APaintedRowShowsTheScrolledTabsUnderItsButtons) {
    for (int p = 0; p < PageTotal; ++p)
        Pages->Pages(p)->SetTabColor(clYellow);
    Pages->SetActiveColor(clYellow);
    Pages->Pages(3)->SetTabColor(clLime);
    const TRect buttons = Pages->ScrollButtonsRect();
    // The middle of each button is on its arrow.
    const TPoint back{buttons.Left + 8, Middle(buttons).Y}, forward{buttons.Right - 8, Middle(buttons).Y};
    const TColor live = ColorToRGB(clBtnText), grey = ColorToRGB(clGrayText);
    auto shot = [this] {
        auto bitmap = std::make_unique<TBitmap>(Pages->Width(), Pages->Height());
        Pages->PaintTo(bitmap->Canvas(), 0, 0);
        return bitmap;
    };

    auto before = shot();
    const TRect first = Pages->TabRectOfPage(0);
    const TPoint probe{Middle(first).X, first.Top + 2};
    EXPECT_EQ(before->Pixel(probe.X, probe.Y), clYellow);
    EXPECT_EQ(before->Pixel(back.X, back.Y), grey) << "nothing to scroll back to";
    EXPECT_EQ(before->Pixel(forward.X, forward.Y), live);
    EXPECT_EQ(before->Pixel(buttons.Left + 3, buttons.Top + 3), ColorToRGB(clBtnFace))
        << "the buttons cover the tab running on under them";

    Pages->ScrollTabs(3);
    ASSERT_EQ(Pages->FirstVisibleTab(), 3);
    EXPECT_EQ(Pages->TabRectOfPage(3).Left, first.Left) << "page 3's tab starts the row";
    EXPECT_LE(Pages->TabRectOfPage(2).Right, first.Left);
    auto scrolled = shot();
    EXPECT_EQ(scrolled->Pixel(probe.X, probe.Y), clLime) << "and is painted there";
    EXPECT_EQ(scrolled->Pixel(back.X, back.Y), live);
    EXPECT_EQ(scrolled->Pixel(forward.X, forward.Y), live);

    while (Pages->CanScrollTabs(1))
        Pages->ScrollTabs(1);
    auto end = shot();
    EXPECT_EQ(end->Pixel(back.X, back.Y), live);
    EXPECT_EQ(end->Pixel(forward.X, forward.Y), grey) << "nothing left to scroll to";
}
