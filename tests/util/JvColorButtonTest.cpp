// The colour button and its palette: choosing in the palette and through
// the colour dialog, opening and closing the palette, and the colour
// squares.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "platform/gui/StdCtrls.h"
#include "platform/testing/ScriptedDialogs.h"
#include "util/JvColorButton.h"

namespace {
// The options window's button for odd rows.
struct JvColorButtonTest : ::testing::Test {
    TScriptedDialogs Dialogs;
    TForm Form{nullptr};
    TJvColorButton* Button = new TJvColorButton(&Form);
    TEdit* Other = new TEdit(&Form);
    std::vector<TColor> Changes;

    JvColorButtonTest() {
        Application->Initialize();
        Form.SetBounds(0, 0, 300, 200);
        Button->SetParent(&Form);
        Button->SetBounds(10, 10, 73, 21);
        Button->SetOtherCaption("&Другой..."_cp);
        Button->GetCustomColors()->Add("$00C4FFFF");
        Button->SetColor(RGB(255, 255, 196));
        Button->OnChange = [this](TObject* Sender) {
            EXPECT_EQ(Sender, Button);
            Changes.push_back(Button->Color());
        };
        Other->SetParent(&Form);
        Other->SetBounds(10, 50, 80, 21);
        Form.Show();
    }
    ~JvColorButtonTest() override {
        Form.Hide();
        Application->ProcessMessages();
    }
    void Press(int X = 5) {
        Button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X, 5));
        Button->Perform(WM_LBUTTONUP, 0, MAKELPARAM(X, 5));
    }
    TJvColorSquare* Square(int Index) {
        int seen = 0;
        TJvColorForm* palette = Button->Palette();
        for (int i = 0; i < palette->ControlCount(); ++i)
            if (auto* s = dynamic_cast<TJvColorSquare*>(palette->Controls(i));
                s && s != palette->CustomSquare())
                if (seen++ == Index) return s;
        return nullptr;
    }
    static void Click(TControl* Control) {
        Control->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        Control->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }
};
} // namespace

TEST_F(JvColorButtonTest, SetColorTellsOfNewColoursOnly) {
    Button->SetColor(RGB(255, 255, 196));
    EXPECT_TRUE(Changes.empty());
    Button->SetColor(clWhite);
    EXPECT_EQ(Changes, std::vector<TColor>{clWhite});
}

TEST_F(JvColorButtonTest, AColourChosenInThePaletteReachesTheButton) {
    Press();
    TJvColorForm* palette = Button->Palette();
    ASSERT_TRUE(palette->Visible());
    EXPECT_EQ(palette->Left(), Button->ClientToScreen({0, Button->Height()}).X);
    EXPECT_EQ(palette->CurrentColor(), RGB(255, 255, 196));
    EXPECT_EQ(palette->ClientWidth(), 88);
    EXPECT_EQ(palette->OtherBtn->Caption(), "&Другой..."_cp);
    Click(Square(12));
    EXPECT_FALSE(palette->Visible());
    EXPECT_EQ(Changes, std::vector<TColor>{RGB(0, 0, 255)});
    EXPECT_EQ(palette->ModalResult(), mrOk);
    // The colour it has already: no change.
    Press();
    Click(Square(12));
    EXPECT_EQ(Changes.size(), 1u);
}

TEST_F(JvColorButtonTest, TheOtherColourComesThroughTheDialogOnce) {
    Press();
    Dialogs.DialogAnswers.push_back([](TCommonDialog* Dialog) {
        auto* colors = static_cast<TColorDialog*>(Dialog);
        EXPECT_EQ(colors->Color, RGB(255, 255, 196)) << "it starts from the button's colour";
        EXPECT_EQ(colors->CustomColors()->Strings(0), "$00C4FFFF");
        colors->Color = RGB(10, 20, 30);
        colors->CustomColors()->Add("ColorB=0A141E");
        return true;
    });
    TJvColorForm* palette = Button->Palette();
    palette->OtherBtn->Click();
    EXPECT_FALSE(palette->Visible());
    EXPECT_EQ(Changes, std::vector<TColor>{RGB(10, 20, 30)});
    EXPECT_EQ(palette->CustomSquare()->Color(), RGB(10, 20, 30));
    EXPECT_EQ(Button->GetCustomColors()->Count(), 2);
    EXPECT_FALSE(palette->DialogShowing());

    Press();
    Dialogs.DialogAnswers.push_back(TScriptedDialogs::Cancelled());
    palette->OtherBtn->Click();
    EXPECT_EQ(Changes.size(), 1u);
    EXPECT_EQ(palette->ModalResult(), mrCancel);
    ASSERT_EQ(Dialogs.DialogLog.size(), 2u);
    EXPECT_EQ(Dialogs.DialogLog[0].Kind, TDialogKind::dkColor);
}

TEST_F(JvColorButtonTest, WithoutAnArrowTheDialogOpensAtOnceAndTellsOfTheColour) {
    Button->SetArrowWidth(0);
    Dialogs.DialogAnswers.push_back(TScriptedDialogs::ColorChosen(clRed));
    Press();
    EXPECT_FALSE(Button->Palette()->Visible());
    EXPECT_EQ(Changes, std::vector<TColor>{clRed});
    EXPECT_FALSE(Button->IsDown());
}

TEST_F(JvColorButtonTest, WhereAPressOpensAndWhatClosesThePalette) {
    TJvColorForm* palette = Button->Palette();
    Button->ButtonShowsPalette = false;
    Press(5);
    EXPECT_FALSE(palette->Visible()) << "the swatch part alone opens nothing";
    Press(70);
    EXPECT_TRUE(palette->Visible()) << "the arrow part does";
    Press(70);
    EXPECT_FALSE(palette->Visible()) << "a second click closes it";

    // Another control taking the focus closes it.
    Press(70);
    ASSERT_TRUE(palette->Visible());
    Form.SetActiveControl(Other);
    Application->ProcessMessages();
    EXPECT_FALSE(palette->Visible());

    // Closed by the window manager: hidden, kept, and usable again.
    Press(70);
    palette->Perform(WM_CLOSE, 0, 0);
    Application->ProcessMessages();
    EXPECT_FALSE(palette->Visible());
    ASSERT_EQ(Button->Palette(), palette);
    EXPECT_EQ(palette->ModalResult(), mrCancel);
    Press(70);
    EXPECT_TRUE(palette->Visible());
    Click(Square(1));
    EXPECT_EQ(Changes, std::vector<TColor>{clBlack});

    // Escape on the button hides it.
    Press(70);
    uint16_t key = VK_ESCAPE;
    Button->Perform(WM_KEYDOWN, key, 0);
    EXPECT_FALSE(palette->Visible());

    // The host asks first.
    Button->OnPaletteShowing = [](TObject*, bool& CanShow) { CanShow = false; };
    Press(70);
    EXPECT_FALSE(palette->Visible());
}

// On a window with a cancel button, as in the options: an Escape typed
// while the palette shows closes the palette alone; the next one is the
// window's.
TEST_F(JvColorButtonTest, EscapeClosesThePaletteOnlyAndThenTheWindow) {
    auto* cancel = new TButton(&Form);
    cancel->SetParent(&Form);
    cancel->SetBounds(10, 100, 75, 25);
    cancel->Cancel = true;
    int cancels = 0;
    cancel->OnClick = [&](TObject*) { ++cancels; };
    Form.SetActiveControl(Button);
    Application->ProcessMessages();
    Press(70);
    ASSERT_TRUE(Button->Palette()->Visible());
    QTest::keyClick(Button->Widget(), Qt::Key_Escape);
    Application->ProcessMessages();
    EXPECT_FALSE(Button->Palette()->Visible());
    EXPECT_EQ(cancels, 0) << "the window's cancel button was pressed too";
    QTest::keyClick(Button->Widget(), Qt::Key_Escape);
    Application->ProcessMessages();
    EXPECT_EQ(cancels, 1);
}

TEST(JvColorSquareTest, ColourChangesClicksAndTheHotFrame) {
    TForm form(nullptr);
    auto* square = new TJvColorSquare(&form);
    square->SetParent(&form);
    int changes = 0;
    TColor clicked = clNone;
    square->OnChange = [&](TObject*) { ++changes; };
    square->OnColorClick = [&](TObject*, TMouseButton, TShiftState, TColor C) { clicked = C; };
    square->SetColor(clRed);
    EXPECT_EQ(changes, 1);
    square->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    square->Perform(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(clicked, clRed);

    TBitmap picture(18, 18);
    square->PaintTo(picture.Canvas(), 0, 0);
    EXPECT_EQ(picture.Pixel(0, 0), ColorToRGB(clBtnFace));
    EXPECT_EQ(picture.Pixel(1, 1), ColorToRGB(clBtnShadow));
    EXPECT_EQ(picture.Pixel(2, 2), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(picture.Pixel(9, 9), ColorToRGB(clRed));
    square->Perform(CM_MOUSEENTER, 0, LPARAM(square));
    EXPECT_TRUE(square->Hot());
    square->PaintTo(picture.Canvas(), 0, 0);
    EXPECT_EQ(picture.Pixel(0, 0), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(picture.Pixel(1, 1), ColorToRGB(clBtnHighlight));
}
