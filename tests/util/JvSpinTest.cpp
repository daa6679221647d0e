// The spin edit and its spin button on a shown window: typing, leaving the
// field, Enter, spinning by keys, wheel and button, the repeat timer, the
// range and its checks, and the bitmap sets the buttons share.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <cmath>
#include <limits>
#include <string>

#include "platform/gui/StdCtrls.h"
#include "platform/testing/ManualTimers.h"
#include "platform/testing/ScriptedMessageBoxes.h"
#include "util/JvSpin.h"
#include "util/JvThemes.h"

namespace {
// The testee card's age: whole years from 12 to 120, 20 to start with.
struct JvSpinEditTest : ::testing::Test {
    TScriptedMessageBoxes Boxes;
    TForm Form{nullptr};
    TJvSpinEdit* Age = new TJvSpinEdit(&Form);
    TEdit* Other = new TEdit(&Form);
    TButton* Ok = new TButton(&Form);
    int Changes = 0;
    double OkSaw = -1;

    JvSpinEditTest() {
        FormatSettings.DecimalSeparator = ',';
        FormatSettings.ThousandSeparator = ' ';
        Application->Initialize();
        Form.SetBounds(0, 0, 300, 200);
        Age->SetParent(&Form);
        Age->SetBounds(10, 10, 80, 21);
        Age->SetAlignment(taRightJustify);
        Age->SetButtonKind(TSpinButtonKind::bkClassic);
        Age->SetMaxValue(120);
        Age->SetMinValue(12);
        Age->SetValue(20);
        Age->OnChange = [this](TObject*) { ++Changes; };
        Other->SetParent(&Form);
        Other->SetBounds(10, 50, 80, 21);
        Ok->SetParent(&Form);
        Ok->SetBounds(10, 90, 80, 25);
        Ok->SetDefault(true);
        Ok->OnClick = [this](TObject*) { OkSaw = Age->Value(); };
        Form.Show();
        Form.SetActiveControl(Age);
        QApplication::processEvents();
    }
    ~JvSpinEditTest() override { Form.Hide(); }

    void Type(const char* Keys) {
        QTest::keyClicks(Age->Widget(), Keys);
        QApplication::processEvents();
    }
    void Key(Qt::Key K) {
        QTest::keyClick(Age->Widget(), K);
        QApplication::processEvents();
    }
    void Leave() {
        Form.SetActiveControl(Other);
        QApplication::processEvents();
    }
};
} // namespace

TEST_F(JvSpinEditTest, TypingStaysAsTypedUntilTheFieldIsLeft) {
    struct TCase {
        const char* Typed;
        const char* Shown;
        double Value;
    } cases[] = {
        {"25", "25", 25},
        {"5", "12", 12},
        {"500", "120", 120},
        {"0025", "25", 25},
        {"99999999999999999999", "120", 120},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Typed);
        Form.SetActiveControl(Age);
        Age->SelectAll();
        Type(c.Typed);
        EXPECT_EQ(Age->Text(), c.Typed) << "nothing is rewritten while typing";
        Leave();
        EXPECT_EQ(Age->Text(), c.Shown);
        EXPECT_EQ(Age->Value(), c.Value);
    }
    // Emptied, it takes the lowest age once left.
    Form.SetActiveControl(Age);
    Age->SelectAll();
    Key(Qt::Key_Delete);
    EXPECT_EQ(Age->Text(), "");
    Leave();
    EXPECT_EQ(Age->Text(), "12");
}

TEST_F(JvSpinEditTest, OnChangeTellsOfRealChangesOfTheValue) {
    Age->SelectAll();
    Type("25");
    EXPECT_EQ(Changes, 2) << "2, then 25";
    Leave();
    EXPECT_EQ(Changes, 2) << "25 is in range: the text stays";
    Age->SetValue(25);
    EXPECT_EQ(Changes, 2) << "the value it has";
    Age->SetValue(30);
    EXPECT_EQ(Changes, 3);
    // Spinning at the limit changes nothing; the half's event still fires.
    Age->SetValue(120);
    int tops = 0;
    Age->OnTopClick = [&](TObject*) { ++tops; };
    int before = Changes;
    Age->SpinUp();
    EXPECT_EQ(Changes, before);
    EXPECT_EQ(tops, 1);
    EXPECT_EQ(Age->Text(), "120");
}

TEST_F(JvSpinEditTest, EnterAndSpinningUseTheValueInRange) {
    Age->SelectAll();
    Type("5");
    Key(Qt::Key_Return);
    EXPECT_EQ(Age->Text(), "12");
    EXPECT_EQ(OkSaw, 12) << "the default button sees the value in range";
    Age->SelectAll();
    Type("5");
    Key(Qt::Key_Up);
    EXPECT_EQ(Age->Text(), "13") << "from the lowest age, one up";
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    EXPECT_EQ(Age->Text(), "12");
    EXPECT_TRUE(Age->Modified());
    // The wheel spins too, and is always taken.
    TPoint at = Age->ClientToScreen({5, 5});
    EXPECT_EQ(Age->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(at.X, at.Y)), 1);
    EXPECT_EQ(Age->Value(), 13);
    Age->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(at.X, at.Y));
    EXPECT_EQ(Age->Value(), 12);
}

TEST_F(JvSpinEditTest, AnEmptyFieldStaysEmptyWhereNoValueIsAllowed) {
    Age->SetAllowEmpty(true);
    Age->SelectAll();
    Key(Qt::Key_Backspace);
    Leave();
    EXPECT_EQ(Age->Text(), "");
    EXPECT_EQ(Age->Value(), 12) << "an empty text reads as the lowest value";
    Age->SetValue(40);
    EXPECT_EQ(Age->Text(), "40");
}

TEST_F(JvSpinEditTest, LeavingWithoutCroppingShowsTheRangeAndStaysInTheField) {
    Age->SetCheckOptions(coCheckOnExit);
    Age->SelectAll();
    Type("500");
    Leave();
    ASSERT_EQ(Boxes.Log.size(), 1u);
    EXPECT_EQ(Boxes.Log[0].Text, "Value must be between 12 and 120");
    EXPECT_EQ(Age->Text(), "500");
    Application->ProcessMessages();
    EXPECT_EQ(Form.ActiveControl(), Age);
    EXPECT_THROW(Age->ValidateValueRange(true, 121), ERangeError);
    EXPECT_EQ(Age->ValidateValueRange(false, 121), 120);
}

TEST_F(JvSpinEditTest, AFieldThatCannotBeTypedIntoChangesOnlyBySpinning) {
    Age->SetEditorEnabled(false);
    int beeps = BeepCount();
    Age->SelectAll();
    Type("7");
    Key(Qt::Key_Delete);
    EXPECT_EQ(Age->Text(), "20");
    EXPECT_EQ(BeepCount(), beeps + 1) << "one beep for the refused digit";
    Age->SetBeepOnError(false);
    Type("7");
    EXPECT_EQ(BeepCount(), beeps + 1);
    Key(Qt::Key_Up);
    EXPECT_EQ(Age->Text(), "21");
    Age->Perform(WM_PASTE, 0, 0);
    EXPECT_EQ(Age->Text(), "21");
}

TEST(JvSpinEditValueTest, DerivedChecksAndConversions) {
    FormatSettings.DecimalSeparator = ',';
    FormatSettings.ThousandSeparator = ' ';
    TJvSpinEdit edit(nullptr);
    EXPECT_EQ(edit.Text(), "0");
    EXPECT_FALSE(edit.HasRangeLimits());
    edit.SetMaxValue(120);
    EXPECT_TRUE(edit.CheckMaxValue());
    EXPECT_TRUE(edit.CheckMinValue()) << "a form file setting only the limits is range-limited";
    edit.SetMinValue(12);
    EXPECT_EQ(edit.ClampValue(5), 12);
    EXPECT_EQ(edit.ClampValue(500), 120);
    EXPECT_EQ(edit.Text(), "12");

    // Floats: thousands in the number format, and back.
    TJvSpinEdit years(nullptr);
    years.SetValueType(TValueType::vtFloat);
    years.SetThousands(true);
    years.SetDecimal(1);
    years.SetValue(1234.5);
    EXPECT_EQ(years.Text(), "1 234,5");
    EXPECT_EQ(years.Value(), 1234.5);
    years.SetValue(-2.7);
    EXPECT_EQ(years.GetValueAsInteger(), -2);
    years.SetValue(1e30);
    EXPECT_EQ(years.GetValueAsInteger(), std::numeric_limits<int64_t>::max()) << "saturates";
    years.SetText("1,2,3");
    EXPECT_EQ(years.Value(), 0) << "an unreadable text is the lowest value";
    years.SetDisplayFormat("0.00 'y'");
    years.SetValue(3.5);
    EXPECT_EQ(years.Text(), "3,50 y");
    EXPECT_EQ(years.Value(), 3.5);

    // Whole numbers far beyond 64 bits saturate instead of falling to the
    // lowest value.
    TJvSpinEdit count(nullptr);
    count.SetValue(1e30);
    EXPECT_EQ(count.Text(), "9223372036854775807");
    EXPECT_EQ(count.GetValueAsInteger(), std::numeric_limits<int64_t>::max());

    TJvSpinEdit hex(nullptr);
    hex.SetIncrement(2.5);
    hex.SetValueType(TValueType::vtHex);
    EXPECT_EQ(hex.Increment(), 2) << "whole steps, halves to even";
    hex.SetValue(255);
    EXPECT_EQ(hex.Text(), "FF");
    hex.SetText("1a");
    EXPECT_EQ(hex.Value(), 26);
    hex.SetText("xyz");
    EXPECT_EQ(hex.Value(), 0);
}

TEST_F(JvSpinEditTest, TheDecimalSeparatorIsKeptAndTypedOnce) {
    Age->SetValueType(TValueType::vtFloat);
    Age->SetDecimal(1);
    Age->SetValue(20.5);
    ASSERT_EQ(Age->Text(), "20,5");
    Age->SetSelStart(0);
    Type(".");
    EXPECT_EQ(Age->Text(), "20,5");
    EXPECT_EQ(Age->SelStart(), 3) << "only behind the separator it has";
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Age->Text(), "20,5");
    EXPECT_EQ(Age->SelStart(), 2);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Age->Text(), "20,5");
    EXPECT_EQ(Age->SelStart(), 3);
    Age->SelectAll();
    Type("3.7");
    EXPECT_EQ(Age->Text(), "3,7") << "a point types the locale's separator";
}

// The testee card's seniority: a comma or a point typed is the decimal
// separator of the format settings in force, and the number reads back as
// typed; a text that reads as no number is told, and stays, never stored
// as another value.
TEST_F(JvSpinEditTest, ANumberReadsWithTheSeparatorInForceAndOneItCannotReadIsTold) {
    Age->SetValueType(TValueType::vtFloat);
    Age->SetDecimal(1);
    Age->SetThousands(true);
    Age->SetMinValue(0);
    Age->SetMaxValue(100);
    struct {
        char Decimal;
        const char* Typed;
        const char* Shown;
        double Value;
    } cases[] = {{',', "7,5", "7,5", 7.5}, {',', "7.5", "7,5", 7.5},    {',', "8", "8,0", 8},
                 {'.', "7.5", "7.5", 7.5}, {'.', "12,5", "12.5", 12.5}, {'.', "8", "8.0", 8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(1, c.Decimal) + " " + c.Typed);
        FormatSettings.DecimalSeparator = c.Decimal;
        Form.SetActiveControl(Age);
        Age->SelectAll();
        Type(c.Typed);
        Leave();
        EXPECT_EQ(Age->Text(), c.Shown);
        EXPECT_DOUBLE_EQ(Age->Value(), c.Value);
    }
    EXPECT_TRUE(Boxes.Log.empty());

    // Pasted from elsewhere: left, and with Enter.
    FormatSettings.DecimalSeparator = ',';
    Form.SetActiveControl(Age);
    Age->SetText("1,2,3");
    Leave();
    ASSERT_EQ(Boxes.Log.size(), 1u);
    EXPECT_EQ(Boxes.Log[0].Text,
              "Не удалось прочитать число \"1,2,3\". Целую и дробную части числа разделяет знак \",\"."_cp);
    EXPECT_EQ(Age->Text(), "1,2,3") << "the text is kept for the user to mend";
    Application->ProcessMessages();
    EXPECT_EQ(Form.ActiveControl(), Age);
    OkSaw = -1;
    Key(Qt::Key_Return);
    EXPECT_EQ(Boxes.Log.size(), 2u);
    EXPECT_EQ(OkSaw, -1) << "the default button never saw a value";
    EXPECT_THROW(Age->CommitValue(), EConvertError);
    EXPECT_EQ(Age->Text(), "1,2,3");
}

namespace {
// A spin button alone in a window, pressed through the window's widget.
struct JvSpinButtonTest : ::testing::Test {
    TManualTimers Timers;
    TForm Form{nullptr};
    TJvSpinButton* Button = new TJvSpinButton(&Form);
    int Tops = 0, Bottoms = 0;
    JvSpinButtonTest() {
        Form.SetBounds(0, 0, 200, 100);
        Button->SetParent(&Form);
        Button->SetBounds(10, 10, 20, 20);
        Button->OnTopClick = [this](TObject*) { ++Tops; };
        Button->OnBottomClick = [this](TObject*) { ++Bottoms; };
        Form.Show();
    }
    ~JvSpinButtonTest() override { Form.Hide(); }
    void Mouse(QEvent::Type Type, int X, int Y, Qt::MouseButtons Held) {
        QPointF at(Button->Left() + X, Button->Top() + Y);
        QMouseEvent e(Type, at, Form.Widget()->mapToGlobal(at), Qt::LeftButton, Held, Qt::NoModifier);
        QApplication::sendEvent(Form.Widget(), &e);
    }
};
} // namespace

TEST_F(JvSpinButtonTest, HoldingAHalfRepeatsItsClickWhileTheMouseIsOverIt) {
    Mouse(QEvent::MouseButtonPress, 3, 3, Qt::LeftButton);
    EXPECT_EQ(Tops, 1);
    EXPECT_EQ(Button->PressedHalf(), 1);
    Timers.Advance(399);
    EXPECT_EQ(Tops, 1);
    Timers.Advance(1);
    EXPECT_EQ(Tops, 2);
    Timers.Advance(100);
    EXPECT_EQ(Tops, 3);
    // Off the button: nothing repeats until the mouse is back over the half.
    Mouse(QEvent::MouseMove, 60, 60, Qt::LeftButton);
    EXPECT_EQ(Button->PressedHalf(), 0);
    Timers.Advance(300);
    EXPECT_EQ(Tops, 3);
    Mouse(QEvent::MouseMove, 17, 17, Qt::LeftButton);
    EXPECT_EQ(Button->PressedHalf(), 0) << "the other half does not count";
    Mouse(QEvent::MouseMove, 2, 2, Qt::LeftButton);
    Timers.Advance(100);
    EXPECT_EQ(Tops, 4);
    Mouse(QEvent::MouseButtonRelease, 2, 2, Qt::NoButton);
    Timers.Advance(500);
    EXPECT_EQ(Tops, 4);
    EXPECT_EQ(Bottoms, 0);
    Mouse(QEvent::MouseButtonPress, 17, 17, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, 17, 17, Qt::NoButton);
    EXPECT_EQ(Bottoms, 1);
}

TEST(JvSpinButtonHalvesTest, WhichHalfAPointIsIn) {
    TJvSpinButton button(nullptr);
    button.SetBounds(0, 0, 20, 10);
    struct TCase {
        TJvSpinButtonStyle Style;
        TPoint P;
        bool Bottom;
    } cases[] = {
        {TJvSpinButtonStyle::sbsDefault, {1, 1}, false},  {TJvSpinButtonStyle::sbsDefault, {18, 8}, true},
        {TJvSpinButtonStyle::sbsDefault, {10, 6}, true},  {TJvSpinButtonStyle::sbsDefault, {10, 5}, false},
        {TJvSpinButtonStyle::sbsClassic, {19, 5}, false}, {TJvSpinButtonStyle::sbsClassic, {0, 6}, true},
    };
    for (const TCase& c : cases) {
        button.SetButtonStyle(c.Style);
        EXPECT_EQ(button.IsInBottomHalf(c.P), c.Bottom) << c.P.X << "," << c.P.Y;
    }
    // No size, no halves: nothing divides by zero.
    button.SetBounds(0, 0, 0, 0);
    EXPECT_FALSE(button.IsInBottomHalf({0, 0}));
    TBitmap canvas(4, 4);
    button.PaintTo(canvas.Canvas(), 0, 0);
    button.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0, 0));
    button.Perform(WM_LBUTTONUP, 0, MAKELPARAM(0, 0));
}

TEST(JvSpinButtonBitmapsTest, ButtonsOfOneLookShareAPictureSetDrawnAgainAfterAColourChange) {
    TForm form(nullptr);
    TBitmap target(40, 40);
    auto* a = new TJvSpinButton(&form);
    auto* b = new TJvSpinButton(&form);
    for (auto* button : {a, b}) {
        button->SetParent(&form);
        button->PaintTo(target.Canvas(), 0, 0);
    }
    ASSERT_NE(a->BitmapSet(), nullptr);
    EXPECT_EQ(a->BitmapSet(), b->BitmapSet());
    EXPECT_EQ(a->BitmapSet()->UserCount(), 2);
    TSpinButtonBitmaps* shared = a->BitmapSet();
    int draws = shared->DrawCount();
    NotifySysColorChange();
    a->PaintTo(target.Canvas(), 0, 0);
    b->PaintTo(target.Canvas(), 0, 0);
    EXPECT_EQ(shared->DrawCount(), draws + 1) << "the whole set once";

    // A glyph moves a button to another set.
    TBitmap glyph(6, 6);
    b->SetUpGlyph(&glyph);
    b->PaintTo(target.Canvas(), 0, 0);
    EXPECT_NE(a->BitmapSet(), b->BitmapSet());
    EXPECT_EQ(a->BitmapSet()->UserCount(), 1);
    EXPECT_EQ(SpinBitmapsManager()->Count(), 2);
    int index = 0;
    EXPECT_TRUE(SpinBitmapsManager()->Find(20, 20, TJvSpinButtonStyle::sbsDefault, true, index));
    EXPECT_FALSE(SpinBitmapsManager()->Find(20, 21, TJvSpinButtonStyle::sbsDefault, false, index));
}

TEST(JvSpinButtonBitmapsTest, TheClassicLookWithoutThemes) {
    CurrentThemeServices()->SetThemesEnabled(false);
    TJvSpinButton button(nullptr);
    button.SetButtonStyle(TJvSpinButtonStyle::sbsClassic);
    button.SetBounds(0, 0, 15, 20);
    TBitmap target(15, 20);
    button.PaintTo(target.Canvas(), 0, 0);
    CurrentThemeServices()->SetThemesEnabled(true);
    // The up triangle's tip, centred in the top half; the down one's lowest
    // row in the bottom half.
    EXPECT_EQ(target.Pixel(7, 3), ColorToRGB(clBlack));
    EXPECT_EQ(target.Pixel(4, 6), ColorToRGB(clBlack)) << "the up triangle's base row";
    EXPECT_EQ(target.Pixel(4, 13), ColorToRGB(clBlack)) << "the down triangle's base row";
    EXPECT_EQ(target.Pixel(7, 16), ColorToRGB(clBlack));
    EXPECT_EQ(target.Pixel(1, 3), ColorToRGB(clBtnHighlight)) << "both halves raised";
    EXPECT_EQ(target.Pixel(1, 12), ColorToRGB(clBtnHighlight));
    EXPECT_FALSE(button.BitmapSet()->IsThemed());
    EXPECT_TRUE(button.BitmapSet()->Bitmap(TSpinButtonBitmaps::sTopHot)->Empty());
}
