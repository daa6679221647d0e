// The dock protocol: a dragged control over dock sites, their questions,
// and docking and undocking.
#include <gtest/gtest.h>

#include "platform/gui/Forms.h"

namespace {
struct DockingTest : ::testing::Test {
    DockingTest() {
        Form->SetBounds(0, 0, 400, 300);
        for (TCustomControl* site : {Left, Right}) {
            site->SetParent(Form.get());
            site->SetDockSite(true);
            site->OnDockOver = [this](TObject* Sender, TDragDockObject&, int, int, TDragState State,
                                      bool& Accept) {
                const char* states[] = {"enter", "leave", "move"};
                Events.push_back(AnsiString(Sender == Left ? "left " : "right ") + states[int(State)]);
                Accept = Sender != Right || AcceptRight;
            };
        }
        Left->SetBounds(0, 0, 100, 300);
        Right->SetBounds(300, 0, 100, 300);
        Client->SetParent(Form.get());
        Client->SetBounds(150, 100, 40, 20);
        Form->Show();
    }
    TPoint On(TControl* C) { return C->ClientToScreen({50, 150}); }

    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TCustomControl* Left = new TCustomControl(Form.get());
    TCustomControl* Right = new TCustomControl(Form.get());
    TCustomControl* Client = new TCustomControl(Form.get());
    std::vector<AnsiString> Events;
    bool AcceptRight = true;
};
} // namespace

TEST_F(DockingTest, TheSitesUnderTheDragAreToldAndTheLastToAcceptTakesTheClient) {
    Mouse.SetCursorPos(Client->ClientToScreen({1, 1}));
    Client->BeginDrag(false);
    Client->DragTo(Client->ClientToScreen({3, 3}));
    EXPECT_TRUE(Events.empty()) << "a few pixels do not start a drag";
    Client->DragTo(On(Left));
    Client->DragTo(On(Left));
    Client->DragTo(On(Right));
    EXPECT_EQ(Events, (std::vector<AnsiString>{"left enter", "left move", "left leave", "right enter"}));
    Client->EndDrag(true);
    EXPECT_EQ(Client->Parent(), Right);
    EXPECT_EQ(Client->HostDockSite(), Right);
    EXPECT_EQ(Right->DockClientCount(), 1);
    EXPECT_FALSE(Client->Dragging());
}

TEST_F(DockingTest, ARefusingSiteOrAClientOfItsOwnTakesNothing) {
    AcceptRight = false;
    Client->BeginDrag(true);
    Client->DragTo(On(Right));
    Client->EndDrag(true);
    EXPECT_EQ(Client->Parent(), Form.get());

    Left->OnGetSiteInfo = [](TObject*, TControl*, TRect&, TPoint, bool& CanDock) { CanDock = false; };
    Events.clear();
    Client->BeginDrag(true);
    Client->DragTo(On(Left));
    Client->EndDrag(true);
    EXPECT_TRUE(Events.empty()) << "a site that cannot take it hears nothing";
    EXPECT_EQ(Client->Parent(), Form.get());

    // A site inside the dragged control is no target.
    Right->SetParent(Left);
    Left->OnGetSiteInfo = nullptr;
    Left->BeginDrag(true);
    Left->DragTo(Left->ClientToScreen({5, 5}));
    Left->EndDrag(true);
    EXPECT_EQ(Left->Parent(), Form.get());
}

TEST_F(DockingTest, UndockingAsksTheSiteAndForgetsAFreedClient) {
    Client->ManualDock(Left);
    ASSERT_EQ(Left->DockClientCount(), 1);
    bool allow = false;
    Left->OnUnDock = [&](TObject*, TControl*, TWinControl* NewTarget, bool& Allow) {
        EXPECT_EQ(NewTarget, Right);
        Allow = allow;
    };
    EXPECT_FALSE(Client->ManualDock(Right));
    EXPECT_EQ(Client->HostDockSite(), Left);
    allow = true;
    EXPECT_TRUE(Client->ManualDock(Right));
    EXPECT_EQ(Left->DockClientCount(), 0);
    EXPECT_EQ(Right->DockClientCount(), 1);
    delete Client;
    EXPECT_EQ(Right->DockClientCount(), 0);
}

TEST_F(DockingTest, AReleaseBeforeTheDragStartedIsAnOrdinaryOne) {
    bool released = false;
    Client->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { released = true; };
    Mouse.SetCursorPos(Client->ClientToScreen({1, 1}));
    Client->BeginDrag(false);
    Client->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(2, 2));
    Client->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(released);
    EXPECT_FALSE(Client->Dragging());
    EXPECT_FALSE(Client->MouseCapture());
    EXPECT_EQ(Client->Parent(), Form.get());
}
