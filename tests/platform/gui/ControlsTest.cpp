// Controls through the layer: messages, property notifications, alignment and painting.
#include <gtest/gtest.h>

#include "platform/gui/ComCtrls.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"

namespace {
// Logs the message numbers it sees and paints itself in its colour.
class TProbe : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<unsigned> Seen;
    std::vector<std::pair<int, int>> Downs;
    void WndProc(TMessage& Message) override {
        Seen.push_back(Message.Msg);
        TCustomControl::WndProc(Message);
    }
    int Count(unsigned Msg) const { return int(std::count(Seen.begin(), Seen.end(), Msg)); }

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(Color());
        Canvas()->FillRect(ClientRect());
    }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        Downs.push_back({X, Y});
        TCustomControl::MouseDown(Button, Shift, X, Y);
    }
};

class TSpot : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    int Clicks = 0;

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(clRed);
        Canvas()->FillRect(ClientRect());
    }
    void Click() override { ++Clicks; }
};

struct ControlsTest : ::testing::Test {
    TForm* Form = new TForm(nullptr);
    ~ControlsTest() override { delete Form; }
};
} // namespace

TEST_F(ControlsTest, MouseMessagesBecomeEventsAndAClick) {
    auto* probe = new TProbe(Form);
    probe->SetParent(Form);
    probe->SetBounds(10, 10, 50, 40);
    int clicks = 0;
    std::vector<TMouseButton> buttons;
    probe->OnClick = [&](TObject*) { ++clicks; };
    probe->OnMouseUp = [&](TObject*, TMouseButton b, TShiftState, int, int) { buttons.push_back(b); };
    probe->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
    probe->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 6));
    probe->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
    probe->Perform(WM_LBUTTONUP, 0, MAKELPARAM(-3, 6)); // released outside: no click
    probe->Perform(WM_RBUTTONUP, 0, MAKELPARAM(1, 1));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(probe->Downs.front(), std::make_pair(5, 6));
    EXPECT_EQ(buttons,
              (std::vector<TMouseButton>{TMouseButton::mbLeft, TMouseButton::mbLeft, TMouseButton::mbRight}));
}

TEST_F(ControlsTest, PropertyChangesSendTheirNotifications) {
    auto* parent = new TProbe(Form);
    parent->SetParent(Form);
    auto* child = new TProbe(Form);
    child->SetParent(parent);
    EXPECT_EQ(parent->Count(CM_CONTROLLISTCHANGE), 1);
    EXPECT_EQ(parent->Count(CM_CONTROLCHANGE), 1);
    child->Seen.clear();
    parent->Font()->SetStyle(fsBold);
    parent->SetColor(clYellow);
    child->SetEnabled(false);
    child->SetVisible(false);
    child->SetText("x");
    child->SetCursor(crHandPoint);
    child->SetShowHint(true);
    for (unsigned msg : {CM_PARENTFONTCHANGED, CM_PARENTCOLORCHANGED, CM_ENABLEDCHANGED, CM_VISIBLECHANGED,
                         CM_TEXTCHANGED, CM_CURSORCHANGED, CM_SHOWHINTCHANGED})
        EXPECT_EQ(child->Count(msg), 1) << std::hex << msg;
    EXPECT_TRUE(child->Font()->Style() & fsBold) << "the child follows its parent's font";
    EXPECT_EQ(child->Color(), clYellow);
    child->SetParent(nullptr);
    EXPECT_EQ(parent->Count(CM_CONTROLLISTCHANGE), 2);
    delete child;
}

TEST_F(ControlsTest, AlignedChildrenShareTheClientArea) {
    Form->SetBounds(0, 0, 200, 100);
    auto* top = new TProbe(Form);
    top->SetParent(Form);
    top->SetHeight(20);
    top->SetAlign(TAlign::alTop);
    auto* left = new TProbe(Form);
    left->SetParent(Form);
    left->SetWidth(30);
    left->SetAlign(TAlign::alLeft);
    auto* rest = new TProbe(Form);
    rest->SetParent(Form);
    rest->SetAlign(TAlign::alClient);
    EXPECT_EQ(top->BoundsRect(), (TRect{0, 0, 200, 20}));
    EXPECT_EQ(left->BoundsRect(), (TRect{0, 20, 30, 100}));
    EXPECT_EQ(rest->BoundsRect(), (TRect{30, 20, 200, 100}));
    Form->SetWidth(300);
    EXPECT_EQ(rest->BoundsRect(), (TRect{30, 20, 300, 100}));
    top->SetVisible(false);
    EXPECT_EQ(rest->BoundsRect(), (TRect{30, 0, 300, 100}));
}

TEST_F(ControlsTest, PaintToPaintsChildrenAndGraphicControlsAtTheirPlaces) {
    Form->SetBounds(0, 0, 60, 40);
    auto* probe = new TProbe(Form);
    probe->SetParent(Form);
    probe->SetBounds(10, 10, 20, 20);
    probe->SetColor(clBlue);
    auto* spot = new TSpot(Form);
    spot->SetParent(probe);
    spot->SetBounds(5, 5, 4, 4);
    TBitmap bmp(60, 40);
    Form->PaintTo(bmp.Canvas(), 0, 0);
    EXPECT_EQ(bmp.Pixel(0, 0), ColorToRGB(clBtnFace));
    EXPECT_EQ(bmp.Pixel(10, 10), clBlue);
    EXPECT_EQ(bmp.Pixel(15, 15), clRed);
    EXPECT_EQ(bmp.Pixel(19, 19), clBlue);
    EXPECT_EQ(bmp.Pixel(30, 30), ColorToRGB(clBtnFace));
}

TEST_F(ControlsTest, GraphicChildrenAreFoundAtTheirPlace) {
    auto* probe = new TProbe(Form);
    probe->SetParent(Form);
    probe->SetBounds(0, 0, 50, 50);
    auto* spot = new TSpot(Form);
    spot->SetParent(probe);
    spot->SetBounds(5, 5, 10, 10);
    EXPECT_EQ(probe->ControlAtPos({6, 6}), spot);
    EXPECT_EQ(probe->ControlAtPos({16, 6}), nullptr);
    spot->SetEnabled(false);
    EXPECT_EQ(probe->ControlAtPos({6, 6}), nullptr);
    EXPECT_EQ(probe->ControlAtPos({6, 6}, true), spot);
}

TEST_F(ControlsTest, FocusMovesThroughTheFormWithMessages) {
    auto* a = new TProbe(Form);
    a->SetParent(Form);
    a->SetTabStop(true);
    auto* b = new TProbe(Form);
    b->SetParent(Form);
    b->SetTabStop(true);
    b->SetTabOrder(1);
    a->SetFocus();
    EXPECT_TRUE(a->Focused());
    EXPECT_EQ(a->Count(WM_SETFOCUS), 1);
    Form->SelectNext(a, true, true);
    EXPECT_TRUE(b->Focused());
    EXPECT_EQ(a->Count(WM_KILLFOCUS), 1);
    EXPECT_EQ(b->Count(WM_SETFOCUS), 1);
    EXPECT_TRUE(Form->SetActiveControl(a));
    b->SetEnabled(false);
    EXPECT_FALSE(Form->SetActiveControl(b));
    delete a; // the form forgets a freed active control
    EXPECT_EQ(Form->ActiveControl(), nullptr);
}

TEST_F(ControlsTest, MouseEnterAndLeaveFollowTheControlUnderTheMouse) {
    auto* a = new TProbe(Form);
    a->SetParent(Form);
    auto* b = new TProbe(Form);
    b->SetParent(Form);
    Mouse.SetControl(a);
    Mouse.SetControl(b);
    Mouse.SetControl(nullptr);
    EXPECT_EQ(a->Count(CM_MOUSEENTER), 1);
    EXPECT_EQ(a->Count(CM_MOUSELEAVE), 1);
    EXPECT_EQ(b->Count(CM_MOUSEENTER), 1);
    EXPECT_EQ(b->Count(CM_MOUSELEAVE), 1);
    Mouse.SetControl(a);
    delete a; // a freed control is forgotten, never told
    EXPECT_EQ(Mouse.Control(), nullptr);
}

TEST(AccelTest, FindsTheMarkedCharacter) {
    struct {
        const char* Caption;
        char Key;
        bool Expected;
    } cases[] = {{"&File", 'f', true}, {"&File", 'i', false}, {"Fi&le", 'L', true},
                 {"A&&B", 'B', false}, {"A&&B&c", 'C', true}, {"End&", 'd', false}};
    for (auto& c : cases)
        EXPECT_EQ(IsAccel(uint16_t(c.Key), c.Caption), c.Expected) << c.Caption << " " << c.Key;
}

TEST(AccelTest, ShownTextLeavesOutTheMarker) {
    struct {
        const char* Text;
        const char* Shown;
    } cases[] = {{"&File", "File"}, {"A&&B", "A&B"}, {"End&", "End"}, {"&&&x", "&x"}, {"", ""}};
    for (auto& c : cases)
        EXPECT_EQ(StripHotkey(c.Text), c.Shown) << c.Text;
}

TEST_F(ControlsTest, AChildTakenOutByItsRemovalNoticeLeavesTheOthers) {
    // Takes a child out itself when told that it is about to go.
    struct TEager : TCustomControl {
        using TCustomControl::TCustomControl;
        bool Nested = false;
        void WndProc(TMessage& Message) override {
            TCustomControl::WndProc(Message);
            if (Message.Msg == CM_CONTROLCHANGE && Message.LParam == 0 && !Nested) {
                Nested = true;
                RemoveControl(reinterpret_cast<TControl*>(Message.WParam));
            }
        }
    };
    auto* parent = new TEager(Form);
    parent->SetParent(Form);
    auto* a = new TSpot(Form);
    a->SetParent(parent);
    auto* b = new TSpot(Form);
    b->SetParent(parent);
    a->SetParent(nullptr);
    EXPECT_EQ(a->Parent(), nullptr);
    ASSERT_EQ(parent->ControlCount(), 1);
    EXPECT_EQ(parent->Controls(0), b);
}

TEST_F(ControlsTest, ABadIndexRaisesTheListError) {
    auto* child = new TSpot(Form);
    child->SetParent(Form);
    auto* tabs = new TCustomTabControl(Form);
    tabs->InsertTab(0, "One", child);
    const std::function<void(int)> reads[] = {
        [&](int i) { Form->Controls(i); },
        [&](int i) { Screen->Forms(i); },
        [&](int i) { tabs->TabText(i); },
        [&](int i) { tabs->TabObject(i); },
    };
    for (const auto& read : reads) {
        EXPECT_NO_THROW(read(0));
        for (int bad : {-1, 1000}) {
            try {
                read(bad);
                ADD_FAILURE() << bad;
            } catch (const EListError& e) {
                EXPECT_EQ(e.Message, "List index out of bounds (" + IntToStr(bad) + ")");
            }
        }
    }
}
