// Controls docking onto the page control: a page each, its caption and tab
// following the control, and undocking freeing the page.
#include "PageFixture.h"

namespace {
struct DockingTest : PageFixture {
    DockingTest() {
        Pages->SetDockSite(true);
        Pages->SetActivePageIndex(0);
        Client->SetParent(Form.get());
        Client->SetBounds(10, 250, 60, 30);
        Client->SetDragKind(TDragKind::dkDock);
        Pages->OnDockDrop = [this](TObject*, TDragDockObject& Source, int, int) {
            Events.push_back("dockdrop " + Source.Control->Name());
        };
        Pages->OnUnDock = [this](TObject*, TControl* C, TWinControl*, bool& Allow) {
            Events.push_back("undock " + C->Name());
            Allow = AllowUndock;
        };
        Client->OnEndDock = [this](TObject*, TObject* Target, int, int) {
            Events.push_back(Target == Pages ? "enddock pages" : "enddock none");
        };
        Client->SetName("Client");
    }
    TCustomControl* Client = new TCustomControl(Form.get());
    bool AllowUndock = true;
};
} // namespace

TEST_F(DockingTest, DraggedOntoTheControlItGetsAPageAndUndocksWithIt) {
    Form->Show();
    Client->BeginDrag(false);
    TPoint over = Pages->ClientToScreen({200, 150});
    Client->DragTo(over);
    Client->EndDrag(true);
    EXPECT_EQ(Events, (std::vector<AnsiString>{"dockdrop Client", "enddock pages"}));
    ASSERT_EQ(Pages->PageCount(), 4);
    TAdvTabSheet* page = Pages->Pages(3);
    EXPECT_EQ(Client->Parent(), page);
    EXPECT_EQ(Client->HostDockSite(), Pages);
    EXPECT_EQ(Client->Align(), TAlign::alClient);
    EXPECT_EQ(Pages->ActivePage(), page) << "a visible client's page is shown";
    EXPECT_EQ(page->Owner(), Pages);

    // Its text and visibility become the page's caption and tab.
    Client->SetText("Notes\r\nsecond line");
    EXPECT_EQ(page->Caption(), "Notes");
    Client->SetVisible(false);
    EXPECT_FALSE(page->TabVisible());
    Client->SetVisible(true);
    EXPECT_TRUE(page->TabVisible());

    // Docked on a page, it may not dock here again.
    TRect influence;
    bool canDock = true;
    Pages->GetSiteInfo(Client, influence, over, canDock);
    EXPECT_FALSE(canDock);

    // A refused undock leaves it; an allowed one frees its page.
    Events.clear();
    AllowUndock = false;
    EXPECT_FALSE(Client->ManualDock(nullptr));
    EXPECT_EQ(Pages->PageCount(), 4);
    AllowUndock = true;
    Pages->SetActivePage(page);
    EXPECT_TRUE(Client->ManualDock(Form.get()));
    EXPECT_EQ(Events, (std::vector<AnsiString>{"undock Client", "undock Client", "canchange 3>0", "changing",
                                               "change 0"}))
        << "the next page is chosen as by Ctrl+Tab";
    EXPECT_EQ(Client->Parent(), Form.get());
    EXPECT_EQ(Client->Align(), TAlign::alNone);
    EXPECT_EQ(Pages->PageCount(), 3) << "the page went with it";
    EXPECT_EQ(Pages->ActivePage(), Sheets[0]);
}

TEST_F(DockingTest, ARefusedUndockLeavesTheClientFillingItsPageAndNoPageToFreeLater) {
    Client->ManualDock(Pages);
    auto* other = new TCustomControl(Form.get());
    other->SetName("Other");
    other->ManualDock(Pages);
    ASSERT_EQ(Pages->PageCount(), 5);
    TAdvTabSheet* page = Pages->Pages(3);

    AllowUndock = false;
    EXPECT_FALSE(Client->ManualDock(nullptr));
    EXPECT_EQ(Client->Parent(), page);
    EXPECT_EQ(Client->Align(), TAlign::alClient) << "it still fills its page";

    // Another client, taken off its page by hand, leaves: no page goes with
    // it, least of all the refused client's.
    AllowUndock = true;
    other->SetParent(Form.get());
    EXPECT_TRUE(other->ManualDock(nullptr));
    EXPECT_EQ(Pages->PageCount(), 5);
    EXPECT_EQ(Client->Parent(), page);
    EXPECT_EQ(page->PageControl(), Pages);

    EXPECT_TRUE(Client->ManualDock(nullptr));
    EXPECT_EQ(Pages->PageCount(), 4) << "an allowed undock still takes its page";
    EXPECT_EQ(Client->Align(), TAlign::alNone);
}

TEST_F(DockingTest, ADropOutsideEverySiteOrAHiddenClientDoesNotShowAPage) {
    Form->Show();
    Client->BeginDrag(true);
    Client->DragTo({-500, -500});
    Client->EndDrag(true);
    EXPECT_EQ(Client->Parent(), Form.get());
    EXPECT_EQ(Events, (std::vector<AnsiString>{"enddock none"}));

    Client->SetVisible(false);
    Client->ManualDock(Pages);
    ASSERT_EQ(Pages->PageCount(), 4);
    EXPECT_FALSE(Pages->Pages(3)->TabVisible());
    EXPECT_EQ(Pages->ActivePageIndex(), 0);
}

TEST_F(DockingTest, ADockedFormGivesItsCaptionAndADoubleClickFloatsIt) {
    auto* tool = new TForm(Form.get());
    tool->SetCaption("Tools");
    tool->SetVisible(true);
    tool->ManualDock(Pages);
    ASSERT_EQ(Pages->PageCount(), 4);
    EXPECT_EQ(Pages->Pages(3)->Caption(), "Tools");
    TRect tab = Pages->TabRectOfPage(3);
    TPoint at{(tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2};
    Pages->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.X, at.Y));
    Pages->Perform(WM_LBUTTONUP, 0, MAKELPARAM(at.X, at.Y));
    EXPECT_EQ(tool->Parent(), nullptr) << "floating";
    EXPECT_EQ(tool->HostDockSite(), nullptr);
    EXPECT_EQ(Pages->PageCount(), 3);
}

TEST_F(DockingTest, ThePressOnADockedPagesTabStartsDraggingItsControl) {
    Client->ManualDock(Pages);
    TRect tab = Pages->TabRectOfPage(3);
    TPoint at{(tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2};
    Pages->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.X, at.Y));
    EXPECT_TRUE(Client->Dragging());
    Client->EndDrag(false);
    ClickTab(0);
    EXPECT_FALSE(Client->Dragging()) << "a page of its own has nothing to drag";
}

TEST_F(DockingTest, ADockSiteClosesAPageAtThePressOnTheGlyph) {
    Sheets[0]->SetShowClose(true);
    TRect box = Pages->CloseGlyphRect();
    Pages->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box.Left + 3, box.Top + 3));
    EXPECT_EQ(Pages->PageCount(), 2);
    EXPECT_EQ(Pages->ActivePage(), Sheets[1]);
}
