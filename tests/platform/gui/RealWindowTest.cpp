// The Qt side of the layer: a form shown as a real (offscreen) window gets
// paint, mouse and key events as message records.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPalette>
#include <QTest>
#include <QWidget>

#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Mask.h"
#include "platform/gui/StdCtrls.h"
#include "platform/testing/ScriptedMessageBoxes.h"

namespace {
class TPad : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<TMessage> Seen;
    std::vector<uint16_t> Keys;
    std::vector<char> Chars;
    void WndProc(TMessage& Message) override {
        Seen.push_back(Message);
        TCustomControl::WndProc(Message);
    }
    bool Saw(unsigned Msg) const {
        return std::any_of(Seen.begin(), Seen.end(), [&](const TMessage& m) { return m.Msg == Msg; });
    }

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(clRed);
        Canvas()->FillRect({0, 0, Width() / 2, Height()});
    }
    void KeyDown(uint16_t& Key, TShiftState Shift) override {
        Keys.push_back(Key);
        TCustomControl::KeyDown(Key, Shift);
    }
    void KeyPress(char& Key) override { Chars.push_back(Key); }
};

void Pump() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}
} // namespace

TEST(RealWindowTest, EventsArriveAsMessageRecords) {
    TScriptedMessageBoxes boxes;
    TForm form(nullptr);
    form.SetBounds(50, 50, 200, 120);
    form.SetCaption("Окно"_cp);
    auto* pad = new TPad(&form);
    pad->SetParent(&form);
    pad->SetBounds(10, 10, 100, 60);
    pad->SetTabStop(true);
    int clicks = 0;
    pad->OnClick = [&](TObject*) {
        ++clicks;
        throw Exception("from a click");
    };
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.Widget()));
    Pump();
    EXPECT_EQ(form.Widget()->windowTitle(), QString::fromUtf8("Окно"));
    EXPECT_TRUE(pad->Saw(WM_PAINT));
    EXPECT_TRUE(pad->Saw(CM_SHOWINGCHANGED));

    QImage shot = form.Widget()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(20, 20), QColor(255, 0, 0)) << "painted through the canvas";
    EXPECT_EQ(shot.pixelColor(100, 20), QColor(0xF0, 0xF0, 0xF0)) << "erased in clBtnFace";

    QTest::mouseClick(pad->Widget(), Qt::LeftButton, Qt::ShiftModifier, QPoint(7, 9));
    Pump();
    auto down = std::find_if(pad->Seen.begin(), pad->Seen.end(),
                             [](const TMessage& m) { return m.Msg == WM_LBUTTONDOWN; });
    ASSERT_NE(down, pad->Seen.end());
    EXPECT_EQ(LoWordSigned(down->LParam), 7);
    EXPECT_EQ(HiWordSigned(down->LParam), 9);
    EXPECT_TRUE(down->WParam & MK_SHIFT);
    EXPECT_TRUE(pad->Saw(WM_LBUTTONUP));
    EXPECT_EQ(clicks, 1);
    ASSERT_EQ(boxes.Log.size(), 1u) << "the click's error reached the top-level handler";
    EXPECT_EQ(boxes.Log[0].Text, "from a click");

    pad->SetFocus();
    Pump();
    QTest::keyClick(pad->Widget(), Qt::Key_A);
    QTest::keyClick(pad->Widget(), Qt::Key_Left);
    Pump();
    EXPECT_EQ(pad->Keys, (std::vector<uint16_t>{'A', VK_LEFT}));
    EXPECT_EQ(pad->Chars, (std::vector<char>{'a'}));

    // A held key: Qt repeats press and release, the control gets repeated
    // key-downs and one key-up, when the key is let go.
    pad->Keys.clear();
    pad->Seen.clear();
    for (auto [type, repeat] : {std::pair{QEvent::KeyPress, false},
                                {QEvent::KeyRelease, true},
                                {QEvent::KeyPress, true},
                                {QEvent::KeyRelease, false}}) {
        QKeyEvent e(type, Qt::Key_B, Qt::NoModifier, "b", repeat);
        QApplication::sendEvent(pad->Widget(), &e);
    }
    EXPECT_EQ(pad->Keys, (std::vector<uint16_t>{'B', 'B'}));
    EXPECT_EQ(std::count_if(pad->Seen.begin(), pad->Seen.end(),
                            [](const TMessage& m) { return m.Msg == WM_KEYUP; }),
              1);

    QTest::mouseMove(form.Widget(), QPoint(190, 110));
    Pump();
    form.SetWidth(300);
    Pump();
    EXPECT_EQ(form.Widget()->width(), 300);
    form.Widget()->close(); // the window's close box
    Pump();
    EXPECT_FALSE(form.Visible());
}

TEST(RealWindowTest, KeyPressHandlersFilterWhatAnEditGets) {
    TForm form(nullptr);
    auto* edit = new TCustomMaskEdit(&form);
    edit->SetParent(&form);
    edit->OnKeyPress = [](TObject*, char& Key) {
        if (Key == 'x')
            Key = 0; // rejected
        else if (Key == '.')
            Key = ','; // the decimal separator
    };
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.Widget()));
    edit->SetFocus();
    Pump();
    QTest::keyClicks(edit->Widget(), "1x.5");
    Pump();
    EXPECT_EQ(edit->Text(), "1,5");
    EXPECT_EQ(changes, 3);
    form.Hide();
}

TEST(RealWindowTest, AKeyAHandlerTurnsIntoAMovingKeyMovesInTheEdit) {
    TForm form(nullptr);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    edit->SetText("abc");
    // Down moves right, Up is taken.
    edit->OnKeyDown = [](TObject*, uint16_t& Key, TShiftState) {
        if (Key == VK_DOWN) Key = VK_RIGHT;
        if (Key == VK_UP) Key = 0;
    };
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.Widget()));
    edit->SetFocus();
    Pump();
    edit->SetSelStart(0);
    QTest::keyClick(edit->Widget(), Qt::Key_Down);
    QTest::keyClick(edit->Widget(), Qt::Key_Down);
    EXPECT_EQ(2, edit->SelStart());
    QTest::keyClick(edit->Widget(), Qt::Key_Up);
    EXPECT_EQ(2, edit->SelStart());
    form.Hide();
}

TEST(RealWindowTest, RunEndsWhenTheMainFormCloses) {
    TForm main(nullptr);
    Application->SetMainForm(&main);
    TTimer timer(nullptr);
    timer.SetInterval(20);
    int ticks = 0;
    timer.OnTimer = [&](TObject*) {
        if (++ticks == 2) main.Close();
    };
    Application->Run();
    EXPECT_EQ(ticks, 2);
    EXPECT_FALSE(main.Visible());
    EXPECT_TRUE(Application->Terminated());
    Application->SetMainForm(nullptr);
}

TEST(RealWindowTest, AModalFormOnScreenEndsWithItsButton) {
    TForm dialog(nullptr);
    auto* ok = new TButton(&dialog);
    ok->SetParent(&dialog);
    ok->ModalResult = mrOk;
    TTimer timer(nullptr);
    timer.SetInterval(20);
    bool wasVisible = false;
    timer.OnTimer = [&](TObject*) {
        wasVisible = dialog.Widget()->isVisible();
        QTest::mouseClick(ok->Widget(), Qt::LeftButton);
    };
    EXPECT_EQ(dialog.ShowModal(), mrOk);
    EXPECT_TRUE(wasVisible);
    EXPECT_FALSE(dialog.Visible());
}

TEST(RealWindowTest, AModalFormWhoseActivationFailsLeavesNoModalWindowBehind) {
    TForm dialog(nullptr);
    dialog.OnActivate = [](TObject*) { throw Exception("activate"); };
    EXPECT_THROW(dialog.ShowModal(), Exception);
    EXPECT_FALSE(dialog.Modal());
    EXPECT_FALSE(dialog.Visible());
    EXPECT_FALSE(dialog.Widget()->isVisible());
    EXPECT_EQ(dialog.Widget()->windowModality(), Qt::NonModal);
}

TEST(RealWindowTest, EveryControlHearsOfNewSystemColoursAndPaintsInThem) {
    TForm form(nullptr);
    form.SetBounds(50, 50, 200, 120);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(0, 0, 200, 100);
    auto* pad = new TPad(&form);
    pad->SetParent(panel);
    pad->SetBounds(10, 10, 100, 60);
    pad->SetColor(clWindow);
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.Widget()));
    Pump();
    const TColor window = ColorToRGB(clWindow);

    pad->Seen.clear();
    SetSysColors({{int(clWindow & 0xFF), RGB(250, 240, 200)}});
    EXPECT_EQ(ColorToRGB(clWindow), RGB(250, 240, 200));
    EXPECT_TRUE(pad->Saw(CM_SYSCOLORCHANGE)) << "through the form and the panel";
    Pump();
    QImage shot = pad->Widget()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(80, 30), QColor(250, 240, 200)) << "painted again in the new colour";

    // A new palette of the desktop tells them too.
    pad->Seen.clear();
    const QPalette before = QApplication::palette();
    QPalette changed = before;
    changed.setColor(QPalette::Base, QColor(1, 2, 3));
    QApplication::setPalette(changed);
    Pump();
    EXPECT_EQ(std::count_if(pad->Seen.begin(), pad->Seen.end(),
                            [](const TMessage& m) { return m.Msg == CM_SYSCOLORCHANGE; }),
              1);
    QApplication::setPalette(before);
    SetSysColors({{int(clWindow & 0xFF), window}});
    Pump();
}
