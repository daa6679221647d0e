// The page control's pages, activation, tabs and the questions it asks.
#include "PageFixture.h"

#include "platform/rtl/ComponentStreams.h"

using PageControlTest = PageFixture;

TEST_F(PageControlTest, ActivationInCodeShowsOnePageAndTellsNobody) {
    EXPECT_EQ(Pages->ActivePage(), nullptr);
    Pages->SetActivePageIndex(1);
    EXPECT_EQ(Pages->ActivePage(), Sheets[1]);
    EXPECT_EQ(Pages->TabIndex(), 1);
    EXPECT_TRUE(Sheets[1]->Visible());
    EXPECT_FALSE(Sheets[0]->Visible());
    Pages->SetActivePage(Sheets[2]);
    EXPECT_EQ(Pages->ActivePageIndex(), 2);
    EXPECT_FALSE(Sheets[1]->Visible());
    EXPECT_TRUE(Events.empty()) << "no OnChange for changes made in code";
}

TEST_F(PageControlTest, AForeignPageOrAnIndexOutOfRange) {
    Pages->SetActivePageIndex(0);
    TAdvPageControl other(Form.get());
    auto* foreign = new TAdvTabSheet(Form.get());
    foreign->SetPageControl(&other);
    Pages->SetActivePage(foreign);
    EXPECT_EQ(Pages->ActivePage(), Sheets[0]);
    for (int index : {-1, 3}) {
        Pages->SetActivePageIndex(0);
        Pages->SetActivePageIndex(index);
        EXPECT_EQ(Pages->ActivePage(), nullptr) << index;
        EXPECT_EQ(Pages->TabIndex(), -1);
        for (auto* s : Sheets)
            EXPECT_FALSE(s->Visible());
    }
    EXPECT_TRUE(Events.empty());
    delete foreign;
}

TEST_F(PageControlTest, AClickOnATabAsksThenChangesOnce) {
    Pages->SetActivePageIndex(0);
    ClickTab(2);
    EXPECT_EQ(Events, (std::vector<AnsiString>{"canchange 0>2", "changing", "change 2"}));
    EXPECT_EQ(Pages->ActivePage(), Sheets[2]);
    Events.clear();
    ClickTab(2); // the shown page: nothing happens
    EXPECT_TRUE(Events.empty());
}

TEST_F(PageControlTest, ARefusedOrDisabledTargetLeavesThePage) {
    Pages->SetMultiLine(true);
    Pages->SetActivePageIndex(0);
    AllowChange = false;
    ClickTab(1);
    EXPECT_EQ(Events, (std::vector<AnsiString>{"canchange 0>1"}));
    EXPECT_EQ(Pages->ActivePage(), Sheets[0]);
    EXPECT_EQ(Pages->TabIndex(), 0);
    EXPECT_EQ(Pages->RedrawLockCount(), 0);
    EXPECT_TRUE(Pages->Redraw());

    AllowChange = true;
    Events.clear();
    Sheets[1]->SetTabEnable(false);
    ClickTab(1);
    EXPECT_TRUE(Events.empty()) << "a disabled tab is refused before anyone is asked";
    EXPECT_EQ(Pages->ActivePage(), Sheets[0]);
    Pages->SetActivePage(Sheets[1]);
    EXPECT_EQ(Pages->ActivePage(), Sheets[0]) << "not even in code";
    EXPECT_EQ(Pages->TabIndex(), 0);
}

TEST_F(PageControlTest, AControlHiddenByItsChangeHandlerDrawsAgainWhenShown) {
    Pages->SetMultiLine(true);
    Pages->SetActivePageIndex(0);
    Pages->OnChange = [this](TObject*) { Pages->SetVisible(false); };
    ClickTab(1);
    EXPECT_EQ(Pages->ActivePage(), Sheets[1]);
    Pages->SetVisible(true);
    EXPECT_EQ(Pages->RedrawLockCount(), 0);
    EXPECT_TRUE(Pages->Redraw());
}

TEST_F(PageControlTest, KeysOnTheStripAskForTheRealTarget) {
    Pages->SetActivePageIndex(0);
    Pages->SetFocus();
    Pages->Perform(WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(Events, (std::vector<AnsiString>{"canchange 0>1", "changing", "change 1"}));
    Events.clear();
    Pages->Perform(WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(Events.front(), "canchange 1>0");
}

TEST_F(PageControlTest, CtrlTabWalksVisibleTabsWithWrap) {
    Pages->SetActivePageIndex(2);
    Pages->SetFocus();
    SetShiftState(ssCtrl);
    Form->Perform(CM_DIALOGKEY, VK_TAB, 0);
    EXPECT_EQ(Pages->ActivePageIndex(), 0) << "from the last to the first";
    SetShiftState(ssCtrl | ssShift);
    Form->Perform(CM_DIALOGKEY, VK_TAB, 0);
    EXPECT_EQ(Pages->ActivePageIndex(), 2) << "and back";
    Sheets[0]->SetTabVisible(false);
    SetShiftState(ssCtrl);
    Form->Perform(CM_DIALOGKEY, VK_TAB, 0);
    EXPECT_EQ(Pages->ActivePageIndex(), 1) << "hidden tabs are skipped";
    Sheets[2]->SetTabEnable(false);
    Events.clear();
    Form->Perform(CM_DIALOGKEY, VK_TAB, 0);
    EXPECT_EQ(Pages->ActivePageIndex(), 1) << "a disabled page is refused";
    EXPECT_EQ(Pages->TabIndex(), Sheets[1]->TabIndex());
    EXPECT_TRUE(Events.empty());
    SetShiftState(0);
}

TEST_F(PageControlTest, CtrlTabPassesDisabledPages) {
    Pages->SetActivePageIndex(0);
    Pages->SetFocus();
    Sheets[1]->SetTabEnable(false);
    SetShiftState(ssCtrl);
    Form->Perform(CM_DIALOGKEY, VK_TAB, 0);
    EXPECT_EQ(Pages->ActivePageIndex(), 2) << "the page after the disabled one";
    EXPECT_EQ(Events, (std::vector<AnsiString>{"canchange 0>2", "changing", "change 2"}));
    SetShiftState(ssCtrl | ssShift);
    Form->Perform(CM_DIALOGKEY, VK_TAB, 0);
    EXPECT_EQ(Pages->ActivePageIndex(), 0) << "and back past it";
    EXPECT_EQ(Pages->TabIndex(), 0);
    SetShiftState(0);
}

TEST_F(PageControlTest, CtrlTabNeedsTheFocusInsideTheControl) {
    Pages->SetActivePageIndex(0);
    SetShiftState(ssCtrl);
    EXPECT_EQ(Pages->Perform(CM_DIALOGKEY, VK_TAB, 0), 0);
    EXPECT_EQ(Pages->ActivePageIndex(), 0);
    SetShiftState(0);
}

TEST_F(PageControlTest, AcceleratorsSwitchToTheirPage) {
    Pages->SetActivePageIndex(0);
    EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 'T', 0), 1);
    EXPECT_EQ(Pages->ActivePageIndex(), 2);
    EXPECT_EQ(Events, (std::vector<AnsiString>{"canchange 0>2", "change 2"}));
    Sheets[1]->SetTabVisible(false);
    Events.clear();
    EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 'S', 0), 1);
    EXPECT_EQ(Pages->ActivePageIndex(), 2) << "a hidden tab's page is refused";
    EXPECT_EQ(Pages->TabIndex(), Sheets[2]->TabIndex());
    EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 'Q', 0), 0);
}

TEST_F(PageControlTest, TabTextsSizeTheNativeTabs) {
    struct {
        const char* Caption;
        bool ShowClose;
        const char* Native;
    } cases[] = {{"Abc", false, "A"}, {"Abc", true, "Abc "}, {"Ab", false, ""}, {"Groups", false, "Grou"}};
    for (auto& c : cases) {
        Sheets[1]->SetShowClose(c.ShowClose);
        Sheets[1]->SetCaption(c.Caption);
        EXPECT_EQ(Pages->TabText(1), c.Native) << c.Caption;
        EXPECT_EQ(Sheets[1]->Caption(), c.Caption);
    }
}

TEST_F(PageControlTest, ABoldActiveFontPadsTheActiveTabText) {
    Sheets[0]->SetCaption("Individual testing ");
    TFont bold;
    bold.Assign(Pages->ActiveFont());
    bold.SetStyle(fsBold);
    Pages->SetActiveFont(&bold);
    Pages->SetActivePageIndex(0);
    AnsiString native = Pages->TabText(0);
    AnsiString base = Sheets[0]->TabText();
    ASSERT_GT(native.size(), base.size());
    EXPECT_EQ(native.substr(0, base.size()), base);
    EXPECT_EQ(native.find_first_not_of(' ', base.size()), AnsiString::npos);
    TBitmap scratch(1, 1);
    TCanvas* c = scratch.Canvas();
    c->Font()->Assign(&bold);
    int need = c->TextWidth(base);
    c->Font()->Assign(Pages->Font());
    need -= c->TextWidth(base);
    std::size_t spaces = native.size() - base.size();
    EXPECT_GE(c->TextWidth(AnsiString(spaces, ' ')), need) << "the spaces cover the bold text";
    EXPECT_LT(c->TextWidth(AnsiString(spaces - 1, ' ')), need) << "no more spaces than needed";
    Pages->SetActivePageIndex(1);
    EXPECT_EQ(Pages->TabText(0), base) << "back to plain when inactive";
}

TEST_F(PageControlTest, HiddenTabsShiftTheIndexMapping) {
    Sheets[0]->SetTabVisible(false);
    EXPECT_EQ(Pages->TabCount(), 2);
    EXPECT_EQ(Sheets[0]->TabIndex(), -1);
    EXPECT_EQ(Sheets[2]->TabIndex(), 1);
    TRect r = Pages->TabRectOfPage(2);
    EXPECT_EQ(Pages->TabAtPos(r.Left + 2, r.Top + 2), 2);
    EXPECT_EQ(Pages->TabAtPos(-5, -5), -1);
}

TEST_F(PageControlTest, HidingTheActiveTabMovesToTheTabAtItsPlace) {
    Pages->SetActivePageIndex(1);
    Sheets[1]->SetTabVisible(false);
    EXPECT_EQ(Pages->ActivePage(), Sheets[2]);
    Sheets[2]->SetTabVisible(false);
    EXPECT_EQ(Pages->ActivePage(), Sheets[0]) << "the last tab when it was the last one";
}

TEST_F(PageControlTest, HidingTheActiveTabPassesDisabledPages) {
    // Page shown, disabled pages, page expected after the shown page's tab is hidden.
    struct {
        int Active;
        std::vector<int> Disabled;
        int Expected;
    } cases[] = {
        {1, {2}, 0},     // nothing enabled after it: the last enabled one before it
        {0, {1}, 2},     // the disabled page at its place is passed over
        {0, {1, 2}, -1}, // nothing left to show
    };
    for (auto& c : cases) {
        for (auto* s : Sheets) {
            s->SetTabVisible(true);
            s->SetTabEnable(true);
        }
        Pages->SetActivePageIndex(c.Active);
        for (int d : c.Disabled)
            Sheets[d]->SetTabEnable(false);
        Sheets[c.Active]->SetTabVisible(false);
        EXPECT_EQ(Pages->ActivePageIndex(), c.Expected) << "from " << c.Active;
        TAdvTabSheet* shown = Pages->ActivePage();
        EXPECT_EQ(Pages->TabIndex(), shown ? shown->TabIndex() : -1) << "from " << c.Active;
        for (auto* s : Sheets)
            EXPECT_EQ(s->Visible(), s == shown) << "from " << c.Active;
    }
}

TEST_F(PageControlTest, ShowingATabKeepsThePageThatIsShown) {
    Sheets[2]->SetTabVisible(false);
    Pages->SetActivePage(Sheets[2]);
    ASSERT_EQ(Pages->ActivePage(), Sheets[2]);
    EXPECT_EQ(Pages->TabIndex(), -1) << "its tab is hidden";
    Sheets[0]->SetTabVisible(false);
    Sheets[0]->SetTabVisible(true);
    EXPECT_EQ(Pages->ActivePage(), Sheets[2]) << "another tab came back";
    EXPECT_EQ(Pages->TabIndex(), -1);
    Sheets[2]->SetTabVisible(true);
    EXPECT_EQ(Pages->ActivePage(), Sheets[2]) << "its own tab came back";
    EXPECT_EQ(Pages->TabIndex(), 2);
    EXPECT_TRUE(Sheets[2]->Visible());
    EXPECT_TRUE(Events.empty());
}

TEST_F(PageControlTest, ErrorsLeaveTheValuesAlone) {
    Pages->SetActivePageIndex(0);
    try {
        Sheets[0]->SetTabEnable(false);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Can not disable active tab.");
    }
    EXPECT_TRUE(Sheets[0]->TabEnable());
    Pages->SetTabStyle(TTabStyle::tsDotNet);
    try {
        Pages->SetTabSplitLine(true);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "TabSplitLine must be false when TabStyle is tsDotNet/tsDelphi");
    }
    EXPECT_FALSE(Pages->TabSplitLine());
    for (int bad : {3, -1}) {
        try {
            Sheets[1]->SetPageIndex(bad);
            FAIL() << bad;
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message,
                      IntToStr(bad) + " is an invalid PageIndex value.  PageIndex must be between 0 and 2");
        }
    }
    EXPECT_EQ(Sheets[1]->PageIndex(), 1);
    EXPECT_THROW(Pages->Pages(3), EListError);
    EXPECT_THROW(Pages->Pages(-1), EListError);
    TAdvTabSheet detached(nullptr);
    detached.SetTabEnable(false);
    EXPECT_FALSE(detached.TabEnable());
}

TEST_F(PageControlTest, MovingAPageMovesItsTab) {
    Pages->SetActivePageIndex(0);
    Sheets[0]->SetPageIndex(2);
    EXPECT_EQ(Pages->Pages(2), Sheets[0]);
    EXPECT_EQ(Pages->TabObject(2), Sheets[0]);
    EXPECT_EQ(Pages->TabIndex(), 2) << "the selection follows the active page";
    EXPECT_EQ(Pages->TabObject(0), Sheets[1]);
}

namespace {
struct TImageProbe : TAdvPageControl {
    using TAdvPageControl::GetImageIndex;
    using TAdvPageControl::TAdvPageControl;
};
} // namespace

TEST(PageImageIndexTest, MapsVisibleTabsToPagesAndChecksTheIndex) {
    TForm form(nullptr);
    auto* pages = new TImageProbe(&form);
    pages->SetParent(&form);
    int images[] = {5, -3, 7};
    for (int i = 0; i < 3; ++i) {
        auto* s = new TAdvTabSheet(&form);
        s->SetImageIndex(images[i]);
        s->SetPageControl(pages);
        if (i == 0) s->SetTabVisible(false);
    }
    EXPECT_EQ(pages->Pages(1)->ImageIndex(), -1);
    EXPECT_EQ(pages->GetImageIndex(0), 0) << "a negative index gives the strip 0";
    EXPECT_EQ(pages->GetImageIndex(1), 7);
    EXPECT_THROW(pages->GetImageIndex(2), EListError);
    EXPECT_THROW(pages->GetImageIndex(-1), EListError);
}

TEST_F(PageControlTest, DefaultsReachSheetsThatKeptTheOldDefault) {
    EXPECT_EQ(Sheets[0]->TabColor(), clBtnFace);
    Sheets[1]->SetTabColor(clRed);
    Pages->SetDefaultTabColor(clYellow);
    EXPECT_EQ(Sheets[0]->TabColor(), clYellow);
    EXPECT_EQ(Sheets[1]->TabColor(), clRed);
    EXPECT_EQ(Pages->Version(), "1.5.0.8");
    Pages->SetVersion("9");
    EXPECT_EQ(Pages->Version(), "1.5.0.8");
}

TEST_F(PageControlTest, FreeingPagesKeepsTheShownPageWhenPossible) {
    Pages->SetActivePageIndex(0);
    delete Sheets[2];
    EXPECT_EQ(Pages->ActivePage(), Sheets[0]) << "losing another page changes nothing";
    EXPECT_EQ(Pages->PageCount(), 2);
    delete Sheets[0];
    EXPECT_EQ(Pages->ActivePage(), Sheets[1]);
    EXPECT_EQ(Pages->TabIndex(), 0);
    EXPECT_TRUE(Sheets[1]->Visible());
    delete Sheets[1];
    EXPECT_EQ(Pages->ActivePage(), nullptr);
    EXPECT_EQ(Pages->TabIndex(), -1);
}

TEST_F(PageControlTest, TheCloseGlyphClosesTheActivePage) {
    Pages->SetActivePageIndex(1);
    Sheets[1]->SetShowClose(true);
    std::vector<AnsiString> closing;
    bool canClose = false;
    Sheets[1]->OnCanClose = [&](TObject*, bool& CanClose) {
        closing.push_back("canclose");
        CanClose = canClose;
    };
    Sheets[1]->OnClose = [&](TObject*) { closing.push_back("close"); };
    TRect box = Pages->CloseGlyphRect();
    ASSERT_FALSE(box.IsEmpty());
    LPARAM at = MAKELPARAM(box.Left + 3, box.Top + 3);
    Pages->Perform(WM_LBUTTONDOWN, MK_LBUTTON, at);
    Pages->Perform(WM_LBUTTONUP, 0, at);
    EXPECT_EQ(Pages->ActivePage(), Sheets[1]) << "refused";
    canClose = true;
    Pages->Perform(WM_LBUTTONDOWN, MK_LBUTTON, at);
    Pages->Perform(WM_LBUTTONUP, 0, at);
    EXPECT_EQ(closing, (std::vector<AnsiString>{"canclose", "canclose", "close"}));
    EXPECT_EQ(Pages->ActivePage(), Sheets[2]);
    EXPECT_EQ(Events, (std::vector<AnsiString>{"change 2"}));
    EXPECT_EQ(Sheets[1]->PageControl(), nullptr) << "detached, not freed";
    EXPECT_EQ(Pages->PageCount(), 2);
    Pages->Perform(WM_LBUTTONUP, 0, at);
    EXPECT_EQ(Pages->PageCount(), 2) << "a page without a close glyph stays";
}

TEST_F(PageControlTest, LosingTheActivePageSkipsADisabledNextPage) {
    // A set of pages of its own for each way of losing the page.
    struct TFreshPages : PageFixture {
        void TestBody() override {}
    };
    for (bool close : {true, false}) {
        TFreshPages fresh;
        fresh.Pages->SetActivePageIndex(0);
        fresh.Sheets[1]->SetTabEnable(false);
        fresh.Sheets[0]->SetShowClose(true);
        if (close) {
            TRect box = fresh.Pages->CloseGlyphRect();
            fresh.Pages->Perform(WM_LBUTTONUP, 0, MAKELPARAM(box.Left + 3, box.Top + 3));
            EXPECT_EQ(fresh.Events, (std::vector<AnsiString>{"change 2"}));
        } else {
            delete fresh.Sheets[0];
        }
        EXPECT_EQ(fresh.Pages->ActivePage(), fresh.Sheets[2]) << (close ? "closed" : "freed");
        EXPECT_EQ(fresh.Pages->TabIndex(), fresh.Sheets[2]->TabIndex());
        EXPECT_TRUE(fresh.Sheets[2]->Visible());
        EXPECT_FALSE(fresh.Sheets[1]->Visible());
    }
}

TEST_F(PageControlTest, FreeOnCloseFreesTheSheetAfterTheHandler) {
    Pages->SetFreeOnClose(true);
    Pages->SetActivePageIndex(0);
    Sheets[0]->SetShowClose(true);
    TComponentWatch watch(Sheets[0]);
    TRect box = Pages->CloseGlyphRect();
    Pages->Perform(WM_LBUTTONUP, 0, MAKELPARAM(box.Left + 3, box.Top + 3));
    EXPECT_NE(watch.Target(), nullptr) << "still alive while the mouse message runs";
    EXPECT_EQ(Pages->PageCount(), 2);
    Application->ProcessMessages();
    EXPECT_EQ(watch.Target(), nullptr);
}

TEST_F(PageControlTest, ASheetFreedByItsOwnCloseHandlerIsNotTouchedAgain) {
    Pages->SetActivePageIndex(0);
    Sheets[0]->SetShowClose(true);
    Sheets[0]->OnClose = [&](TObject* Sender) { delete static_cast<TAdvTabSheet*>(Sender); };
    TRect box = Pages->CloseGlyphRect();
    Pages->Perform(WM_LBUTTONUP, 0, MAKELPARAM(box.Left + 3, box.Top + 3));
    EXPECT_EQ(Pages->PageCount(), 2);
    EXPECT_EQ(Pages->ActivePage(), Sheets[1]);
}

TEST_F(PageControlTest, AClosingHandlerThatFreesTheNextPageLeavesAPageThatIsThere) {
    Pages->SetActivePageIndex(1);
    Sheets[1]->SetShowClose(true);
    Sheets[1]->OnClose = [&](TObject*) { delete Sheets[2]; };
    TRect box = Pages->CloseGlyphRect();
    Pages->Perform(WM_LBUTTONUP, 0, MAKELPARAM(box.Left + 3, box.Top + 3));
    ASSERT_EQ(Pages->PageCount(), 1);
    EXPECT_EQ(Pages->ActivePage(), Sheets[0]);
    EXPECT_EQ(Pages->TabIndex(), 0);
    EXPECT_TRUE(Sheets[0]->Visible());
}

TEST_F(PageControlTest, HoverFollowsTheMouseOnlyWithAHoverColour) {
    TRect r = Pages->TabRectOfPage(2);
    LPARAM at = MAKELPARAM(r.Left + 3, r.Top + 3);
    Pages->Perform(WM_MOUSEMOVE, 0, at);
    EXPECT_EQ(Pages->HoverTab(), -1);
    Pages->SetTabHoverColor(clYellow);
    Pages->Perform(WM_MOUSEMOVE, 0, at);
    EXPECT_EQ(Pages->HoverTab(), 2);
    Pages->Perform(CM_MOUSELEAVE, 0, LPARAM(Pages));
    EXPECT_EQ(Pages->HoverTab(), -1);
}

TEST_F(PageControlTest, MarginsReserveRoomInEveryTab) {
    int before = Pages->TabRect(0).Width();
    Pages->TabMargin()->SetLeftMargin(10);
    int left = Pages->TabRect(0).Width();
    EXPECT_GT(left, before);
    Pages->TabMargin()->SetRightMargin(5);
    EXPECT_EQ(Pages->TabRect(0).Width(), left + 5);
    TTabMargin other;
    Pages->SetTabMargin(&other);
    EXPECT_EQ(Pages->TabRect(0).Width(), before);
}

TEST_F(PageControlTest, ShowingAControlOnAPageBringsThePageForward) {
    Pages->SetActivePageIndex(0);
    auto* inner = new TCustomControl(Form.get());
    inner->SetParent(Sheets[2]);
    inner->SetVisible(false);
    inner->Show();
    EXPECT_EQ(Pages->ActivePage(), Sheets[2]);
    EXPECT_TRUE(Events.empty());
}

TEST_F(PageControlTest, ImagesWidenEveryTabAlongTheStrip) {
    Pages->SetTabPosition(TTabPosition::tpLeft);
    int side = Pages->TabRect(0).Height();
    Pages->SetTabPosition(TTabPosition::tpTop);
    int top = Pages->TabRect(0).Width();
    TImageList images(Form.get());
    images.SetSize(16, 12);
    Pages->SetImages(&images);
    EXPECT_EQ(Pages->TabRect(0).Width(), top + 15) << "the spacer grows from 1 to 16 pixels";
    Pages->SetTabPosition(TTabPosition::tpLeft);
    EXPECT_EQ(Pages->Images(), &images) << "kept across a change of side";
    EXPECT_EQ(Pages->TabRect(0).Height(), side + 11) << "at the side the spacer's height counts: 12 pixels";
}

TEST_F(PageControlTest, TabBorder3DLeavesTheTabsToTheStrip) {
    Pages->SetActiveColor(clRed);
    Pages->SetActivePageIndex(0);
    Pages->SetTabBorder3D(true);
    EXPECT_EQ(Pages->TabText(1), "&Second") << "the full caption";
    TBitmap shot(Pages->Width(), Pages->Height());
    Pages->PaintTo(shot.Canvas(), 0, 0);
    TRect r = Pages->TabRectOfPage(0);
    EXPECT_NE(shot.Pixel((r.Left + r.Right) / 2, r.Top + 3), clRed) << "no owner drawing";
    Pages->SetTabBorder3D(false);
    EXPECT_EQ(Pages->TabText(1), "&Seco");
}

TEST_F(PageControlTest, HighlightedMarksTheStripsTab) {
    Sheets[2]->SetHighlighted(true);
    EXPECT_TRUE(Pages->TabHighlighted(2));
    Sheets[0]->SetTabVisible(false);
    EXPECT_TRUE(Pages->TabHighlighted(1)) << "the mark moves with the tab";
    Sheets[2]->SetTabVisible(false);
    Sheets[2]->SetTabVisible(true);
    EXPECT_TRUE(Pages->TabHighlighted(1)) << "and comes back with it";
    Sheets[2]->SetHighlighted(false);
    EXPECT_FALSE(Pages->TabHighlighted(1));
}

TEST_F(PageControlTest, FocusFollowsThePageThatIsShown) {
    auto* edit = new TCustomControl(Form.get());
    edit->SetParent(Sheets[0]);
    edit->SetTabStop(true);
    auto* other = new TCustomControl(Form.get());
    other->SetParent(Sheets[1]);
    other->SetTabStop(true);
    Pages->SetActivePageIndex(0);
    edit->SetFocus();
    Pages->SetActivePageIndex(1);
    EXPECT_EQ(Form->ActiveControl(), other) << "the new page's first control";
    Pages->SetActivePageIndex(-1);
    EXPECT_EQ(Form->ActiveControl(), Pages) << "no page: the control itself";
}

TEST_F(PageControlTest, ReorderedPagesWrittenAndReadBackKeepTheirOrderCaptionsAndActivePage) {
    Pages->SetName("Pages");
    const char* names[] = {"FirstSheet", "SecondSheet", "ThirdSheet"};
    for (int i = 0; i < 3; ++i)
        Sheets[i]->SetName(names[i]);
    Sheets[2]->SetPageIndex(0);
    Sheets[1]->SetTabColor(clYellow);
    Sheets[1]->SetHighlighted(true);
    Pages->SetActivePage(Sheets[0]);
    Pages->ActiveFont()->SetStyle(fsBold);
    Pages->TabMargin()->SetLeftMargin(4);
    Pages->SetTabPosition(TTabPosition::tpBottom);

    std::unique_ptr<TComponent> read = ReadComponent(WriteComponent(Pages), Form.get());
    auto* copy = dynamic_cast<TAdvPageControl*>(read.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Parent(), Form.get());
    ASSERT_EQ(copy->PageCount(), 3);
    for (int i = 0; i < 3; ++i) {
        TAdvTabSheet* page = copy->Pages(i);
        EXPECT_EQ(page->Caption(), Pages->Pages(i)->Caption()) << i;
        EXPECT_EQ(page->Name(), Pages->Pages(i)->Name());
        EXPECT_EQ(page->Owner(), copy);
        EXPECT_EQ(page->Parent(), copy);
        EXPECT_EQ(page->TabColor(), Pages->Pages(i)->TabColor());
        EXPECT_EQ(copy->TabText(i), Pages->TabText(i)) << "the tabs follow the pages, the bold one padded";
        EXPECT_EQ(copy->TabHighlighted(i), Pages->TabHighlighted(i)) << "told once loaded";
        EXPECT_EQ(page->Visible(), Pages->Pages(i)->Visible());
    }
    EXPECT_EQ(copy->ActivePage(), copy->Pages(1));
    EXPECT_EQ(copy->ActivePage()->Caption(), "&First");
    EXPECT_EQ(copy->TabIndex(), 1);
    EXPECT_EQ(copy->ActiveFont()->Style(), TFontStyles(fsBold));
    EXPECT_EQ(copy->TabMargin()->LeftMargin(), 4);
    EXPECT_EQ(copy->TabPosition(), TTabPosition::tpBottom);
    EXPECT_EQ(copy->TabRectOfPage(0), Pages->TabRectOfPage(0)) << "the spacer counts the margin";

    copy->SetChildOrder(Sheets[0], 0);
    EXPECT_EQ(Sheets[0]->PageIndex(), 1) << "another control's page is left alone";
}
