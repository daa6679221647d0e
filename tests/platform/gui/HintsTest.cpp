// Hints: the mouse resting on a control shows its hint in the layer's hint
// window after the pause, the control may change the hint's colour, text,
// place and window, and the window never takes the activation.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWidget>

#include "platform/gui/Forms.h"
#include "platform/gui/Hints.h"
#include "platform/testing/ManualTimers.h"

namespace {
// Answers the hint questions through its handlers.
class THinted : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::function<void(THintInfo&, LRESULT&)> OnHintShow;
    int Pause = -1;
    std::vector<WPARAM> PauseAsked;
    std::vector<unsigned> Focus;
    void WndProc(TMessage& Message) override {
        if (Message.Msg == WM_SETFOCUS || Message.Msg == WM_KILLFOCUS) Focus.push_back(Message.Msg);
        if (Message.Msg == CM_HINTSHOWPAUSE) {
            PauseAsked.push_back(Message.WParam);
            if (Pause >= 0) *reinterpret_cast<int*>(Message.LParam) = Pause;
            return;
        }
        if (Message.Msg == CM_HINTSHOW && OnHintShow) {
            OnHintShow(*reinterpret_cast<THintInfo*>(Message.LParam), Message.Result);
            return;
        }
        TCustomControl::WndProc(Message);
    }
};

class TSpot : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
};

// Paints itself blue at a size of its own.
class TBlueHint : public THintWindow {
public:
    using THintWindow::THintWindow;
    TRect CalcHintRect(int, const AnsiString&, void*) override { return {0, 0, 40, 20}; }

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(clBlue);
        Canvas()->FillRect(ClientRect());
    }
};
THintWindow* NewBlueHint(TComponent* AOwner) {
    return new TBlueHint(AOwner);
}
const THintWindowClass BlueHintClass{"TBlueHint", &NewBlueHint};

void Pump() {
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

struct HintTest : ::testing::Test {
    TManualTimers Clock;
    TForm Form{nullptr};
    THinted* Pad = new THinted(&Form);
    HintTest() {
        Application->SetActive(true);
        Form.SetBounds(40, 40, 300, 200);
        Pad->SetParent(&Form);
        Pad->SetBounds(10, 10, 200, 150);
        Pad->SetTabStop(true);
        Pad->SetHint("Pad|The pad's long hint");
        Pad->SetShowHint(true);
        Form.Show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.Widget()));
        Pad->SetFocus();
        Pump();
        Pad->Focus.clear();
    }
    ~HintTest() override {
        Application->CancelHint();
        Form.Hide();
    }
    THintWindow* Shown() {
        THintWindow* w = Application->HintWindow();
        return w && w->Showing() ? w : nullptr;
    }
    void MoveTo(QWidget* Widget, QPoint At) {
        QTest::mouseMove(Widget, At);
        Pump();
    }
};
} // namespace

TEST_F(HintTest, AHintShowsAfterThePauseBelowTheCursorAndGoesAfterAWhile) {
    MoveTo(Pad->Widget(), QPoint(30, 40));
    EXPECT_EQ(Shown(), nullptr);
    Clock.Advance(Application->HintPause() - 1);
    EXPECT_EQ(Shown(), nullptr);
    Clock.Advance(1);
    THintWindow* hint = Shown();
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->Caption(), "Pad") << "the short part";
    TPoint cursor = Pad->ClientToScreen({30, 40});
    EXPECT_EQ(hint->Left(), cursor.X);
    EXPECT_GT(hint->Top(), cursor.Y);
    EXPECT_EQ(hint->Widget()->geometry().topLeft(), QPoint(hint->Left(), hint->Top()));
    EXPECT_EQ(hint->Color(), Application->HintColor());
    EXPECT_EQ(Pad->PauseAsked, std::vector<WPARAM>{0});

    // Moving on the control keeps it; it goes after the hide pause.
    MoveTo(Pad->Widget(), QPoint(35, 45));
    EXPECT_EQ(Shown(), hint);
    Clock.Advance(Application->HintHidePause());
    EXPECT_EQ(Shown(), nullptr);
    Clock.Advance(Application->HintPause());
    EXPECT_EQ(Shown(), nullptr) << "not again before the mouse leaves";
}

TEST_F(HintTest, KeysAndClicksHideTheHint) {
    Pad->Pause = 0;
    MoveTo(Pad->Widget(), QPoint(30, 40));
    ASSERT_NE(Shown(), nullptr) << "a pause of 0 shows at once";
    QTest::keyClick(Pad->Widget(), Qt::Key_A);
    EXPECT_EQ(Shown(), nullptr);
    MoveTo(Pad->Widget(), QPoint(60, 40));
    ASSERT_NE(Shown(), nullptr);
    QTest::mouseClick(Pad->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 40));
    EXPECT_EQ(Shown(), nullptr);
}

TEST_F(HintTest, AGraphicControlShowsItsOwnHint) {
    auto* spot = new TSpot(&Form);
    spot->SetParent(Pad);
    spot->SetBounds(100, 100, 30, 30);
    spot->SetHint("Spot");
    spot->SetShowHint(true);
    auto* quiet = new TSpot(&Form);
    quiet->SetParent(Pad);
    quiet->SetBounds(150, 100, 30, 30);
    quiet->SetHint("never");
    quiet->SetShowHint(false);
    MoveTo(Pad->Widget(), QPoint(110, 110));
    Clock.Advance(Application->HintPause());
    ASSERT_NE(Shown(), nullptr);
    EXPECT_EQ(Shown()->Caption(), "Spot");
    // One without ShowHint gives its parent's; from a shown hint the pause
    // is the short one.
    MoveTo(Pad->Widget(), QPoint(160, 110));
    Clock.Advance(Application->HintShortPause());
    ASSERT_NE(Shown(), nullptr);
    EXPECT_EQ(Shown()->Caption(), "Pad");
    EXPECT_EQ(Pad->PauseAsked.back(), 1u) << "told a hint was showing";
}

TEST_F(HintTest, TheControlChangesColourTextAndPlaceOrRefuses) {
    Pad->Pause = 0;
    Pad->OnHintShow = [](THintInfo& Info, LRESULT&) {
        Info.HintColor = clLime;
        Info.HintStr = "Changed";
        Info.HintPos = {300, 200};
        Info.CursorRect = {0, 0, 50, 50};
    };
    MoveTo(Pad->Widget(), QPoint(20, 20));
    THintWindow* hint = Shown();
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->Caption(), "Changed");
    EXPECT_EQ(hint->BoundsRect().Left, 300);
    EXPECT_EQ(hint->BoundsRect().Top, 200);
    QImage image = hint->Widget()->grab().toImage();
    TColor frame = ColorToRGB(clWindowFrame);
    EXPECT_EQ(image.pixelColor(0, 0), QColor(GetRValue(frame), GetGValue(frame), GetBValue(frame)))
        << "the frame";
    EXPECT_EQ(image.pixelColor(1, image.height() / 2), QColor(Qt::green)) << "the colour the control chose";
    bool dark = false;
    for (int x = 3; x < image.width() - 3; ++x)
        dark = dark || image.pixelColor(x, image.height() / 2).value() < 100;
    EXPECT_TRUE(dark) << "the text is drawn";

    // Outside the rectangle the control gave, it is asked again: it refuses.
    Pad->OnHintShow = [](THintInfo&, LRESULT& Result) { Result = 1; };
    MoveTo(Pad->Widget(), QPoint(120, 120));
    EXPECT_EQ(Shown(), nullptr);
}

TEST_F(HintTest, AWindowOfItsOwnClassPaintsTheHint) {
    Pad->Pause = 0;
    Pad->OnHintShow = [](THintInfo& Info, LRESULT&) { Info.HintWindowClass = &BlueHintClass; };
    MoveTo(Pad->Widget(), QPoint(20, 20));
    auto* hint = dynamic_cast<TBlueHint*>(Shown());
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->Width(), 40);
    EXPECT_EQ(hint->Height(), 20);
    QImage image = hint->Widget()->grab().toImage();
    EXPECT_EQ(image.size(), QSize(40, 20));
    EXPECT_EQ(image.pixelColor(20, 10), QColor(Qt::blue));
}

TEST_F(HintTest, AShownHintTakesNeitherTheActivationNorTheFocus) {
    Pad->Pause = 0;
    MoveTo(Pad->Widget(), QPoint(26, 23));
    ASSERT_NE(Shown(), nullptr);
    Pump();
    EXPECT_TRUE(Form.Active());
    EXPECT_EQ(Screen->ActiveForm(), &Form);
    EXPECT_EQ(QApplication::activeWindow(), Form.Widget());
    EXPECT_TRUE(Pad->Focus.empty());
    EXPECT_TRUE(Pad->Focused());
}

TEST(HintWindowTest, AHintStaysOnTheScreen) {
    THintWindow hint(nullptr);
    int w = Screen->Width(), h = Screen->Height();
    struct {
        TRect Asked;
        TPoint Shown;
    } cases[] = {
        {Bounds(w - 10, 100, 60, 20), {w - 60, 100}},
        {Bounds(100, h - 5, 60, 20), {100, h - 20}},
        {Bounds(-30, -8, 60, 20), {0, 0}},
        {Bounds(50, 60, 60, 20), {50, 60}},
    };
    for (auto& c : cases) {
        hint.ActivateHint(c.Asked, "x");
        EXPECT_EQ(TPoint(hint.Left(), hint.Top()), c.Shown) << c.Asked.Left << "," << c.Asked.Top;
        EXPECT_EQ(hint.Width(), 60);
    }
    hint.ReleaseHandle();
    EXPECT_FALSE(hint.Showing());
}

TEST(HintWindowTest, ShortAndLongPartsOfAHint) {
    struct {
        const char* Hint;
        const char* Short;
        const char* Long;
    } cases[] = {{"Open|Opens a file", "Open", "Opens a file"},
                 {"Plain", "Plain", "Plain"},
                 {"|Only long", "", "Only long"}};
    for (auto& c : cases) {
        EXPECT_EQ(GetShortHint(c.Hint), c.Short);
        EXPECT_EQ(GetLongHint(c.Hint), c.Long);
    }
}
