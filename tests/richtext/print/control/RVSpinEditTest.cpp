// The dialogs' spin edit: the value rule and its text, the empty box, the
// keys, characters, wheel, clipboard and button, and its size.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QLineEdit>

#include "DialogTesting.h"
#include "platform/gui/Mask.h"
#include "richtext/print/control/RVSpinEdit.h"

namespace {
// A window with two spin edits, so that the focus can leave the first.
struct TSpinWindow {
    TForm Form{nullptr};
    TRVSpinEdit* Spin;
    TRVSpinEdit* Other;
    TSpinWindow() {
        Form.SetBounds(40, 40, 240, 120);
        Spin = new TRVSpinEdit(&Form);
        Spin->SetParent(&Form);
        Spin->SetBounds(10, 10, 80, 21);
        Spin->SetMaxValue(100);
        Other = new TRVSpinEdit(&Form);
        Other->SetParent(&Form);
        Other->SetBounds(10, 50, 80, 21);
    }
    AnsiString Shown() const { return FromQtString(static_cast<QLineEdit*>(Spin->Widget())->text()); }

private:
    static AnsiString FromQtString(const QString& S) { return Utf8ToAnsi(S.toUtf8().toStdString()); }
};

// Decimals read and written with a comma, whatever the machine's locale.
class TCommaDecimals {
public:
    TCommaDecimals() : FOld(FormatSettings.DecimalSeparator) { FormatSettings.DecimalSeparator = ','; }
    ~TCommaDecimals() { FormatSettings.DecimalSeparator = FOld; }

private:
    char FOld;
};
} // namespace

TEST(RVSpinEditTest, ValuesEnterTheBoxRoundedAndWithinTheRange) {
    TCommaDecimals comma;
    TRVSpinEdit spin(nullptr);
    EXPECT_EQ(spin.Text(), "0");
    EXPECT_EQ(spin.MaxValue(), 1000.0);
    spin.SetMaxValue(100);
    struct TCase {
        double Set;
        const char* Text;
    };
    for (const TCase& c : {TCase{2.5, "2"}, {3.5, "4"}, {150, "100"}, {-3, "0"}, {100.4, "100"}}) {
        spin.SetValue(c.Set);
        EXPECT_EQ(spin.Text(), c.Text) << c.Set;
    }
    // Equal bounds are no bounds.
    spin.SetMaxValue(0);
    spin.SetValue(123456);
    EXPECT_EQ(spin.Text(), "123456");
    spin.SetValue(-7);
    EXPECT_EQ(spin.Text(), "-7");
    // Rounding that overflows takes 0.
    spin.SetValue(1e300);
    EXPECT_EQ(spin.Text(), "0");

    spin.SetIntegerValue(false);
    spin.SetDigits(3);
    spin.SetMaxValue(40);
    spin.SetValue(20 * 5 / 127.0);
    EXPECT_EQ(spin.Text(), "0,787");
    EXPECT_DOUBLE_EQ(spin.Value(), 0.787);
    spin.SetDigits(0);
    spin.SetValue(2.25);
    EXPECT_EQ(spin.Text(), "2,25") << "no decimals given: the general format";
}

TEST(RVSpinEditTest, AnEmptyBoxHoldsNoValueAndATypedOneIsReadAsItStands) {
    TSpinWindow w;
    w.Spin->SetMinValue(5);
    ShowWindow(w.Form);
    w.Spin->SetIndeterminate(true);
    EXPECT_TRUE(w.Spin->Indeterminate());
    EXPECT_EQ(w.Spin->Value(), 5.0) << "an empty box reads as the nearest allowed value to 0";
    w.Spin->SetFocus();
    w.Other->SetFocus();
    Pump();
    EXPECT_EQ(w.Spin->Text(), "") << "leaving an empty box keeps it empty";
    w.Spin->SetText("   ");
    EXPECT_TRUE(w.Spin->Indeterminate());
    w.Spin->SetIndeterminate(false);
    EXPECT_EQ(w.Spin->Text(), "   ") << "a box with text keeps it";
    w.Spin->SetText("");
    w.Spin->SetIndeterminate(false);
    EXPECT_EQ(w.Spin->Text(), "5");

    w.Spin->SetText("");
    Type(w.Spin, "250");
    EXPECT_EQ(w.Spin->Value(), 250.0) << "typing is not limited";
    w.Other->SetFocus();
    Pump();
    EXPECT_EQ(w.Shown(), "100") << "leaving brings it into the range";
    w.Spin->SetText("");
    Type(w.Spin, "50");
    w.Other->SetFocus();
    Pump();
    EXPECT_EQ(w.Shown(), "50");
    EXPECT_EQ(w.Spin->AsInteger(), 50);
}

TEST(RVSpinEditTest, KeysStepTheValueAndRefusedCharactersBeep) {
    TCommaDecimals comma;
    TSpinWindow w;
    ShowWindow(w.Form);
    w.Spin->SetValue(95);
    Press(w.Spin, Qt::Key_PageUp);
    EXPECT_EQ(w.Spin->Text(), "100");
    Press(w.Spin, Qt::Key_PageDown);
    EXPECT_EQ(w.Spin->Text(), "90");
    Press(w.Spin, Qt::Key_Down);
    EXPECT_EQ(w.Spin->Text(), "89");
    Press(w.Spin, Qt::Key_Up);
    EXPECT_EQ(w.Spin->Text(), "90");

    w.Spin->SetText("");
    int beeps = BeepCount();
    Type(w.Spin, "1a2");
    EXPECT_EQ(w.Shown(), "12");
    EXPECT_EQ(BeepCount(), beeps + 1);
    Press(w.Spin, Qt::Key_Return);
    EXPECT_EQ(BeepCount(), beeps + 2) << "Enter is refused too";
    Type(w.Spin, ",");
    EXPECT_EQ(w.Shown(), "12") << "whole numbers take no decimal separator";
    w.Spin->SetIntegerValue(false);
    Type(w.Spin, ",5");
    EXPECT_EQ(w.Shown(), "12,5");

    // With the editor off only the keys and the button change the value.
    w.Spin->SetEditorEnabled(false);
    w.Spin->SetValue(3);
    beeps = BeepCount();
    Type(w.Spin, "7");
    Press(w.Spin, Qt::Key_Backspace);
    EXPECT_EQ(w.Shown(), "3,00");
    EXPECT_EQ(BeepCount(), beeps + 2);
    Press(w.Spin, Qt::Key_Up);
    EXPECT_EQ(w.Shown(), "4,00");
}

TEST(RVSpinEditTest, AReadOnlyBoxBeepsAtTheKeysAndTheButtonAndIgnoresTheWheel) {
    TSpinWindow w;
    ShowWindow(w.Form);
    w.Spin->SetValue(10);
    w.Spin->SetReadOnly(true);
    int beeps = BeepCount();
    Press(w.Spin, Qt::Key_Up);
    Press(w.Spin, Qt::Key_Down);
    w.Spin->UpDownDelta(1);
    EXPECT_EQ(BeepCount(), beeps + 3);
    QTest::mouseClick(w.Spin->Button()->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 3));
    Pump();
    EXPECT_EQ(BeepCount(), beeps + 4);
    w.Spin->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(w.Spin->Text(), "10");

    w.Spin->SetReadOnly(false);
    w.Spin->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(w.Spin->Text(), "11");
    w.Spin->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, -2 * WHEEL_DELTA), 0);
    EXPECT_EQ(w.Spin->Text(), "9");
}

TEST(RVSpinEditTest, TheButtonStepsTheValueFromInsideTheBox) {
    TSpinWindow w;
    w.Spin->SetIncrement(5);
    ShowWindow(w.Form);
    w.Spin->SetValue(50);
    TRVUpDown* button = w.Spin->Button();
    EXPECT_GE(w.Spin->Height(), w.Spin->MinHeight());
    EXPECT_EQ(button->Left() + button->Width() + 2, w.Spin->Width()) << "inside the right edge";
    EXPECT_EQ(w.Spin->RightTextMargin(), button->Width() + 2) << "the text keeps clear of it";
    w.Other->SetFocus();
    Pump();
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(button->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 2));
    Pump();
    EXPECT_EQ(w.Spin->Text(), "65");
    EXPECT_TRUE(w.Spin->Focused()) << "a press on the button focuses the box";
    EXPECT_EQ(button->Position(), 0) << "the button keeps no position";
    QTest::mouseClick(button->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, button->Height() - 3));
    Pump();
    EXPECT_EQ(w.Spin->Text(), "60");
    w.Spin->SetEnabled(false);
    EXPECT_FALSE(button->Enabled());
}

TEST(RVSpinEditTest, CuttingAndPastingNeedAnEditableBox) {
    TSpinWindow w;
    ShowWindow(w.Form);
    QApplication::clipboard()->setText("42");
    w.Spin->SetText("");
    w.Spin->SetEditorEnabled(false);
    w.Spin->SetFocus();
    w.Spin->PasteFromClipboard();
    Press(w.Spin, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.Shown(), "");
    w.Spin->SetEditorEnabled(true);
    w.Spin->PasteFromClipboard();
    EXPECT_EQ(w.Shown(), "42");
    w.Spin->SelectAll();
    w.Spin->SetReadOnly(true);
    w.Spin->CutToClipboard();
    EXPECT_EQ(w.Shown(), "42");
}
