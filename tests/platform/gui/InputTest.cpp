// Keys, characters, the wheel and the mouse capture: synthetic Qt events on
// offscreen windows reach the controls as the layer's messages.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"
#include "platform/testing/ScriptedDialogs.h"
#include "platform/testing/ScriptedMenus.h"

namespace {
// Logs its messages, keys and characters; answers WM_GETDLGCODE with
// DlgCode and the Unicode question with Unicode.
class TPad : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<TMessage> Seen;
    std::vector<uint16_t> Keys;
    std::vector<int> Chars;
    unsigned DlgCode = DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTARROWS | DLGC_WANTCHARS;
    bool Unicode = false;
    void WndProc(TMessage& Message) override {
        Seen.push_back(Message);
        if (Message.Msg == WM_GETDLGCODE) {
            Message.Result = DlgCode;
            return;
        }
        if (Message.Msg == WM_UNICHAR && Unicode) {
            Message.Result = 1;
            return;
        }
        TCustomControl::WndProc(Message);
    }
    std::vector<TMessage> All(unsigned Msg) const {
        std::vector<TMessage> out;
        for (const TMessage& m : Seen)
            if (m.Msg == Msg) out.push_back(m);
        return out;
    }
    int Count(unsigned Msg) const { return int(All(Msg).size()); }

protected:
    void KeyDown(uint16_t& Key, TShiftState Shift) override {
        Keys.push_back(Key);
        TCustomControl::KeyDown(Key, Shift);
    }
    void KeyPress(char& Key) override { Chars.push_back(static_cast<unsigned char>(Key)); }
};

class TSpot : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    std::vector<TMessage> Seen;
    void WndProc(TMessage& Message) override {
        Seen.push_back(Message);
        TGraphicControl::WndProc(Message);
    }
};

void Pump() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

void SendKey(QWidget* Widget, int Key, Qt::KeyboardModifiers Modifiers, const QString& Text) {
    QKeyEvent press(QEvent::KeyPress, Key, Modifiers, Text);
    QApplication::sendEvent(Widget, &press);
    QKeyEvent release(QEvent::KeyRelease, Key, Modifiers, Text);
    QApplication::sendEvent(Widget, &release);
}

void SendWheel(QWidget* Widget, QPoint At, int Delta, Qt::KeyboardModifiers Modifiers = Qt::NoModifier) {
    QWheelEvent e(At, Widget->mapToGlobal(At), QPoint(), QPoint(0, Delta), Qt::NoButton, Modifiers,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(Widget, &e);
}

// A shown form with two pads side by side, the first focused.
struct InputTest : ::testing::Test {
    TForm Form{nullptr};
    TPad* A = new TPad(&Form);
    TPad* B = new TPad(&Form);
    InputTest() {
        Form.SetBounds(40, 40, 220, 120);
        for (TPad* p : {A, B}) {
            p->SetParent(&Form);
            p->SetTabStop(true);
        }
        A->SetBounds(10, 10, 90, 90);
        B->SetBounds(110, 10, 90, 90);
        Form.Show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.Widget()));
        A->SetFocus();
        Pump();
    }
    ~InputTest() override {
        ReleaseCapture();
        Form.Hide();
    }
};
} // namespace

TEST_F(InputTest, ControlKeysReachKeyDownAndKeyPress) {
    struct {
        int Key;
        Qt::KeyboardModifiers Modifiers;
        QString Text;
        uint16_t Vk;
        std::vector<int> Chars;
    } cases[] = {
        {Qt::Key_Backspace, Qt::NoModifier, "\b", VK_BACK, {8}},
        {Qt::Key_Return, Qt::NoModifier, "\r", VK_RETURN, {13}},
        {Qt::Key_Enter, Qt::KeypadModifier, "", VK_RETURN, {13}},
        {Qt::Key_Escape, Qt::NoModifier, "", VK_ESCAPE, {27}},
        {Qt::Key_Tab, Qt::NoModifier, "\t", VK_TAB, {9}},
        {Qt::Key_Backtab, Qt::ShiftModifier, "", VK_TAB, {9}},
        {Qt::Key_Tab, Qt::ControlModifier, "\t", VK_TAB, {}},
        {Qt::Key_C, Qt::ControlModifier, "c", 'C', {3}},
        {Qt::Key_Delete, Qt::NoModifier, "\x7f", VK_DELETE, {}},
        {Qt::Key_A, Qt::NoModifier, "a", 'A', {'a'}},
    };
    for (auto& c : cases) {
        A->Keys.clear();
        A->Chars.clear();
        SendKey(A->Widget(), c.Key, c.Modifiers, c.Text);
        EXPECT_EQ(A->Keys, std::vector<uint16_t>{c.Vk}) << c.Key;
        EXPECT_EQ(A->Chars, c.Chars) << c.Key;
    }
    EXPECT_TRUE(A->Focused()) << "a control that wants Tab keeps the focus";
}

TEST_F(InputTest, DialogKeysGoToTheFormUnlessTheControlWantsThem) {
    A->DlgCode = DLGC_WANTCHARS;
    // No default button: Enter and Escape still reach the control.
    for (int key : {Qt::Key_Return, Qt::Key_Escape})
        SendKey(A->Widget(), key, Qt::NoModifier, "");
    EXPECT_EQ(A->Chars, (std::vector<int>{13, 27}));
    // Tab moves the focus and types nothing.
    SendKey(A->Widget(), Qt::Key_Tab, Qt::NoModifier, "\t");
    EXPECT_TRUE(B->Focused());
    EXPECT_EQ(A->Chars.size(), 2u);

    auto* ok = new TButton(&Form);
    ok->SetParent(&Form);
    ok->SetDefault(true);
    int pressed = 0;
    ok->OnClick = [&](TObject*) { ++pressed; };
    B->DlgCode = DLGC_WANTCHARS;
    SendKey(B->Widget(), Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_EQ(pressed, 1);
    EXPECT_TRUE(B->Chars.empty()) << "the default button took Enter";
}

TEST_F(InputTest, NumericPadAndPunctuationKeysHaveCodesOfTheirOwn) {
    struct {
        int Key;
        Qt::KeyboardModifiers Modifiers;
        QString Text;
        uint16_t Vk;
        int Char;
    } cases[] = {
        {Qt::Key_5, Qt::KeypadModifier, "5", uint16_t(VK_NUMPAD0 + 5), '5'},
        {Qt::Key_5, Qt::NoModifier, "5", '5', '5'},
        {Qt::Key_Asterisk, Qt::KeypadModifier, "*", VK_MULTIPLY, '*'},
        {Qt::Key_Asterisk, Qt::ShiftModifier, "*", '8', '*'},
        {Qt::Key_Plus, Qt::KeypadModifier, "+", VK_ADD, '+'},
        {Qt::Key_Plus, Qt::ShiftModifier, "+", VK_OEM_PLUS, '+'},
        {Qt::Key_Minus, Qt::KeypadModifier, "-", VK_SUBTRACT, '-'},
        {Qt::Key_Minus, Qt::NoModifier, "-", VK_OEM_MINUS, '-'},
        {Qt::Key_Slash, Qt::KeypadModifier, "/", VK_DIVIDE, '/'},
        {Qt::Key_Slash, Qt::NoModifier, "/", VK_OEM_2, '/'},
        {Qt::Key_Period, Qt::KeypadModifier, ".", VK_DECIMAL, '.'},
        {Qt::Key_Home, Qt::KeypadModifier, "", VK_HOME, -1},
        {Qt::Key_Menu, Qt::NoModifier, "", VK_APPS, -1},
        // Russian letters come with the code of the key they lie on.
        {0x0424, Qt::NoModifier, QString::fromUtf8("ф"), 'A', 0xF4},
        {0x0416, Qt::ShiftModifier, QString::fromUtf8("Ж"), VK_OEM_1, 0xC6},
        {0x0401, Qt::NoModifier, QString::fromUtf8("ё"), VK_OEM_3, 0xB8},
    };
    for (auto& c : cases) {
        A->Keys.clear();
        A->Chars.clear();
        SendKey(A->Widget(), c.Key, c.Modifiers, c.Text);
        EXPECT_EQ(A->Keys, std::vector<uint16_t>{c.Vk}) << std::hex << c.Key;
        EXPECT_EQ(A->Chars, c.Char < 0 ? std::vector<int>{} : std::vector<int>{c.Char}) << std::hex << c.Key;
    }
}

TEST_F(InputTest, CharactersOutsideTheCodePageComeWholeToAControlThatTakesUnicode) {
    const QString typed = QString::fromUtf8("中ж") + QString::fromUcs4(U"\U0001F600", 1);
    SendKey(A->Widget(), 0, Qt::NoModifier, typed);
    EXPECT_EQ(A->Chars, (std::vector<int>{'?', 0xE6, '?'})) << "without Unicode: the code page's \"?\"";

    A->Chars.clear();
    A->Unicode = true;
    SendKey(A->Widget(), 0, Qt::NoModifier, typed);
    std::vector<WPARAM> wide;
    for (const TMessage& m : A->All(WM_UNICHAR))
        if (m.WParam != UNICODE_NOCHAR) wide.push_back(m.WParam);
    EXPECT_EQ(wide, (std::vector<WPARAM>{0x4E2D, 0x1F600}));
    EXPECT_EQ(A->Chars, (std::vector<int>{0xE6})) << "a character of the code page stays a WM_CHAR";
}

TEST_F(InputTest, KeysStayWithTheFocusedControl) {
    // The pad inside B does nothing with the key; nothing reaches B through
    // Qt's widgets either.
    auto* inner = new TPad(&Form);
    inner->SetParent(B);
    inner->SetBounds(5, 5, 20, 20);
    inner->SetTabStop(true);
    inner->SetFocus();
    Pump();
    SendKey(inner->Widget(), Qt::Key_X, Qt::NoModifier, "x");
    EXPECT_EQ(inner->Chars, std::vector<int>{'x'});
    EXPECT_TRUE(B->Keys.empty());
    EXPECT_TRUE(B->Chars.empty());
}

TEST_F(InputTest, TheWheelReachesTheControlUnderTheMouseAndGoesUpUnlessTaken) {
    auto* inner = new TPad(&Form);
    inner->SetParent(B);
    inner->SetBounds(10, 10, 40, 40);
    Pump();
    struct TTurn {
        int Delta;
        TShiftState Shift;
        TPoint Pos;
    };
    std::vector<TTurn> downs, ups, outer;
    inner->OnMouseWheelDown = [&](TObject*, TShiftState Shift, const TPoint& P, bool& Handled) {
        downs.push_back({0, Shift, P});
        Handled = true;
    };
    inner->OnMouseWheelUp = [&](TObject*, TShiftState Shift, const TPoint& P, bool&) {
        ups.push_back({0, Shift, P});
    };
    B->OnMouseWheel = [&](TObject*, TShiftState Shift, int Delta, const TPoint& P, bool& Handled) {
        outer.push_back({Delta, Shift, P});
        Handled = true;
    };
    SendWheel(inner->Widget(), QPoint(5, 6), -2 * WHEEL_DELTA, Qt::ControlModifier);
    ASSERT_EQ(downs.size(), 2u) << "one call a notch";
    EXPECT_EQ(downs[0].Shift, TShiftState(ssCtrl));
    EXPECT_EQ(downs[0].Pos, inner->ClientToScreen({5, 6})) << "the point on the screen";
    EXPECT_TRUE(outer.empty()) << "taken by the control under the mouse";
    EXPECT_EQ(A->Count(WM_MOUSEWHEEL), 0) << "not the focused control";

    // Up is not taken: the parent gets the whole turn.
    SendWheel(inner->Widget(), QPoint(5, 6), WHEEL_DELTA);
    EXPECT_EQ(ups.size(), 1u);
    ASSERT_EQ(outer.size(), 1u);
    EXPECT_EQ(outer[0].Delta, WHEEL_DELTA);

    // Parts of a notch add up to whole ones.
    downs.clear();
    for (int i = 0; i < 4; ++i)
        SendWheel(inner->Widget(), QPoint(5, 6), -WHEEL_DELTA / 3);
    EXPECT_EQ(downs.size(), 1u);
}

TEST(WheelSettingTest, LinesANotchComeFromTheDesktopUnlessSet) {
    EXPECT_EQ(Mouse.WheelScrollLines(), 3);
    Mouse.SetWheelScrollLines(WHEEL_PAGESCROLL);
    EXPECT_EQ(Mouse.WheelScrollLines(), WHEEL_PAGESCROLL);
    Mouse.SetWheelScrollLines(0);
    EXPECT_EQ(Mouse.WheelScrollLines(), 3);
}

TEST_F(InputTest, TheHolderOfTheCaptureGetsEveryMouseMessage) {
    SetCaptureControl(A);
    EXPECT_TRUE(A->MouseCapture());
    EXPECT_EQ(GetCapture(), A);
    A->Seen.clear();
    QTest::mouseMove(Form.Widget(), QPoint(150, 50)); // over B
    QTest::mouseClick(B->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 30));
    Pump();
    EXPECT_EQ(B->Count(WM_MOUSEMOVE) + B->Count(WM_LBUTTONDOWN) + B->Count(WM_LBUTTONUP), 0);
    auto moves = A->All(WM_MOUSEMOVE);
    ASSERT_FALSE(moves.empty());
    EXPECT_EQ(LoWordSigned(moves[0].LParam), 140) << "in the holder's own coordinates";
    EXPECT_EQ(HiWordSigned(moves[0].LParam), 40);
    auto ups = A->All(WM_LBUTTONUP);
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(LoWordSigned(ups[0].LParam), 120);
    EXPECT_TRUE(A->MouseCapture()) << "a capture set by the control outlives the click";

    // Handing it on tells the one that loses it.
    SetCaptureControl(B);
    auto changed = A->All(WM_CAPTURECHANGED);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].LParam, LPARAM(static_cast<TControl*>(B)));
    ReleaseCapture();
    EXPECT_EQ(B->Count(WM_CAPTURECHANGED), 1);
    EXPECT_EQ(GetCaptureControl(), nullptr);
    A->Seen.clear();
    QTest::mouseMove(Form.Widget(), QPoint(160, 60));
    Pump();
    EXPECT_EQ(A->Count(WM_MOUSEMOVE), 0);
    EXPECT_GT(B->Count(WM_MOUSEMOVE), 0);
}

TEST_F(InputTest, APressHoldsTheMouseForAGraphicControlUntilRelease) {
    auto* spot = new TSpot(&Form);
    spot->SetParent(A);
    spot->SetBounds(10, 10, 20, 20);
    int clicks = 0;
    spot->OnClick = [&](TObject*) { ++clicks; };
    QTest::mousePress(A->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(15, 15));
    EXPECT_EQ(GetCaptureControl(), spot);
    EXPECT_EQ(GetCapture(), A) << "the window of a graphic holder is its parent's";
    QTest::mouseMove(A->Widget(), QPoint(60, 70));
    QTest::mouseRelease(A->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 70));
    Pump();
    EXPECT_EQ(GetCaptureControl(), nullptr);
    EXPECT_EQ(clicks, 0) << "released outside";
    std::vector<unsigned> order;
    for (const TMessage& m : spot->Seen)
        if (m.Msg == WM_LBUTTONUP || m.Msg == WM_CAPTURECHANGED) order.push_back(m.Msg);
    EXPECT_EQ(order, (std::vector<unsigned>{WM_LBUTTONUP, WM_CAPTURECHANGED}));
    EXPECT_EQ(A->Count(WM_LBUTTONUP), 0);
}

TEST(CancelModeTest, AModalWindowEndsThePressAndTheCapture) {
    TScriptedDialogs dialogs;
    TForm form(nullptr);
    auto* pad = new TPad(&form);
    pad->SetParent(&form);
    pad->SetBounds(0, 0, 50, 50);
    auto* other = new TPad(&form);
    other->SetParent(&form);
    other->SetTabStop(true);
    form.Show();
    other->SetFocus();
    int clicks = 0, ups = 0;
    pad->OnClick = [&](TObject*) { ++clicks; };
    pad->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; };
    pad->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    pad->SetMouseCapture(true);
    TForm dialog(nullptr);
    dialog.ShowModal();
    EXPECT_EQ(pad->Count(WM_CANCELMODE), 1);
    EXPECT_EQ(other->Count(WM_CANCELMODE), 1) << "the focused control too";
    EXPECT_FALSE(pad->MouseCapture());
    EXPECT_EQ(ups, 1) << "the press ends";
    EXPECT_EQ(clicks, 0) << "outside the control: no click";
    EXPECT_FALSE(pad->ControlState() & csLButtonDown);
    form.Hide();
}

TEST_F(InputTest, TheRightButtonAndTheMenuKeyAskForTheNearestPopUpMenu) {
    TScriptedMenus menus;
    auto* popup = new TPopupMenu(&Form);
    Form.SetPopupMenu(popup);
    struct {
        const char* Name;
        std::function<void()> Input;
        TPoint At; // in A's client coordinates
    } cases[] = {
        {"right button",
         [&] { QTest::mouseClick(A->Widget(), Qt::RightButton, Qt::NoModifier, QPoint(20, 30)); },
         {20, 30}},
        {"menu key", [&] { SendKey(A->Widget(), Qt::Key_Menu, Qt::NoModifier, ""); }, {0, 0}},
        {"Shift+F10", [&] { SendKey(A->Widget(), Qt::Key_F10, Qt::ShiftModifier, ""); }, {0, 0}},
    };
    for (auto& c : cases) {
        menus.Log.clear();
        A->Seen.clear();
        c.Input();
        Pump();
        ASSERT_EQ(menus.Log.size(), 1u) << c.Name;
        EXPECT_EQ(menus.Log[0].At, A->ClientToScreen(c.At)) << c.Name;
        EXPECT_EQ(popup->PopupComponent(), &Form) << "the form's menu, for the form";
        auto requests = A->All(WM_CONTEXTMENU);
        ASSERT_EQ(requests.size(), 1u) << c.Name;
        EXPECT_EQ(requests[0].WParam, WPARAM(static_cast<TControl*>(A)));
        const std::vector<TMessage> seen = A->Seen;
        auto order = std::find_if(seen.begin(), seen.end(), [](const TMessage& m) {
            return m.Msg == WM_RBUTTONUP || m.Msg == WM_KEYUP || m.Msg == WM_CONTEXTMENU;
        });
        EXPECT_NE(order->Msg, unsigned(WM_CONTEXTMENU)) << c.Name << ": asked once the release is handled";
    }

    // A plain key or button asks for nothing.
    menus.Log.clear();
    A->Seen.clear();
    SendKey(A->Widget(), Qt::Key_F10, Qt::NoModifier, "");
    QTest::mouseClick(A->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 30));
    Pump();
    EXPECT_TRUE(menus.Log.empty());
    EXPECT_EQ(A->Count(WM_CONTEXTMENU), 0);
}
