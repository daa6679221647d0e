// The standard controls through the layer: check and radio boxes, edits and
// memos, combo and list boxes, and what Enter and Escape press in a window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QTest>
#include <QWidget>

#include "platform/gui/ActnList.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"

namespace {
template <class T> T* Put(TWinControl* Parent) {
    auto* c = new T(Parent);
    c->SetParent(Parent);
    return c;
}
} // namespace

TEST(CheckBoxTest, CodeAndUserChangesClickAndGreyedNeedsAllowGrayed) {
    TForm form(nullptr);
    auto* box = Put<TCheckBox>(&form);
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    box->SetChecked(true);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(clicks, 1);
    box->SetChecked(true);
    EXPECT_EQ(clicks, 1) << "no change, no click";
    box->SetState(TCheckBoxState::cbGrayed);
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(box->State(), TCheckBoxState::cbGrayed);
    box->SetChecked(false);
    // The user's click on the widget toggles and clicks once.
    QTest::mouseClick(box->Widget(), Qt::LeftButton, {}, QPoint(5, box->Height() / 2));
    QApplication::processEvents();
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(clicks, 4);
}

TEST(RadioButtonTest, CheckingOneUnchecksItsSiblingsOnly) {
    TForm form(nullptr);
    auto* a = Put<TRadioButton>(&form);
    auto* b = Put<TRadioButton>(&form);
    auto* panel = Put<TPanel>(&form);
    auto* c = Put<TRadioButton>(panel);
    a->SetChecked(true);
    c->SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(b->Checked());
    EXPECT_TRUE(c->Checked()) << "another parent is another group";

    auto* group = Put<TRadioGroup>(&form);
    group->Items()->Add("one");
    group->Items()->Add("two");
    int clicks = 0;
    group->OnClick = [&](TObject*) { ++clicks; };
    group->SetItemIndex(1);
    EXPECT_TRUE(group->Buttons(1)->Checked());
    group->Buttons(0)->SetChecked(true);
    EXPECT_EQ(group->ItemIndex(), 0);
    EXPECT_FALSE(group->Buttons(1)->Checked());
    group->SetItemIndex(-1);
    EXPECT_FALSE(group->Buttons(0)->Checked());
    EXPECT_EQ(clicks, 2) << "clearing the choice fires nothing";
}

TEST(EditTest, TextChangesAndTheUsersTyping) {
    TForm form(nullptr);
    auto* edit = Put<TEdit>(&form);
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    edit->SetText("abc");
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(edit->Modified());
    edit->SetSelStart(1);
    edit->SetSelLength(1);
    EXPECT_EQ(edit->SelText(), "b");
    edit->SetSelText("XY");
    EXPECT_EQ(edit->Text(), "aXYc");

    edit->SetMaxLength(5);
    edit->SetCharCase(TEditCharCase::ecUpperCase);
    edit->SelectAll();
    QTest::keyClicks(edit->Widget(), "hello world");
    QApplication::processEvents();
    EXPECT_EQ(edit->Text(), "HELLO");
    EXPECT_TRUE(edit->Modified());

    edit->SetText("Кириллица вне предела"_cp);
    EXPECT_EQ(edit->Text(), "КИРИЛЛИЦА ВНЕ ПРЕДЕЛА"_cp) << "kept whole when set in code";
    edit->SetReadOnly(true);
    edit->SelectAll();
    QTest::keyClicks(edit->Widget(), "x");
    QApplication::processEvents();
    EXPECT_EQ(edit->Text(), "КИРИЛЛИЦА ВНЕ ПРЕДЕЛА"_cp);
}

TEST(EditTest, CharactersOutsideTheCodePageAreRefusedWhenAsked) {
    TForm form(nullptr);
    auto* edit = Put<TEdit>(&form);
    int refused = 0;
    auto type = [&](const char* Utf8) {
        for (QChar c : QString::fromUtf8(Utf8)) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(edit->Widget(), &press);
        }
        QApplication::processEvents();
    };
    type("a中");
    EXPECT_EQ(edit->Text(), "a?") << "unasked: the code page's \"?\"";

    edit->SetText("");
    edit->OnRefusedCharacters = [&](TObject* Sender) {
        EXPECT_EQ(Sender, edit);
        ++refused;
    };
    type("жé中ё");
    EXPECT_EQ(edit->Text(), "жё"_cp);
    EXPECT_EQ(refused, 1) << "one notice for what came in at once";
    QApplication::clipboard()->setText(QString::fromUtf8("ок中"));
    edit->PasteFromClipboard();
    QApplication::processEvents();
    EXPECT_EQ(edit->Text(), "жё"_cp) << "a paste with such a character is refused whole";
    EXPECT_EQ(refused, 2);
    edit->SetText("");
    type("?");
    EXPECT_EQ(edit->Text(), "?") << "a question mark of its own is a character like any other";
    EXPECT_EQ(refused, 2);
}

TEST(MemoTest, LinesAndTextAgree) {
    TForm form(nullptr);
    auto* memo = Put<TMemo>(&form);
    memo->Lines()->Add("первая"_cp);
    memo->Lines()->Add("second");
    EXPECT_EQ(memo->Text(), "первая\r\nsecond"_cp);
    memo->SetText("a\r\nb\nc");
    ASSERT_EQ(memo->Lines()->Count(), 3);
    EXPECT_EQ(memo->Lines()->Strings(2), "c");
    memo->Lines()->Delete(0);
    EXPECT_EQ(memo->Lines()->Strings(0), "b");
    memo->Lines()->Clear();
    EXPECT_EQ(memo->Text(), "");
}

TEST(ComboBoxTest, ChoicesInCodeAndByTheUser) {
    TForm form(nullptr);
    auto* combo = Put<TComboBox>(&form);
    combo->SetStyle(TComboBoxStyle::csDropDownList);
    for (const AnsiString& s : {"муж."_cp, "жен."_cp, AnsiString()})
        combo->Items()->Add(s);
    int changes = 0;
    combo->OnChange = [&](TObject*) { ++changes; };
    combo->SetItemIndex(1);
    EXPECT_EQ(combo->Text(), "жен."_cp);
    EXPECT_EQ(changes, 0) << "setting ItemIndex fires nothing";
    combo->SetItemIndex(7);
    EXPECT_EQ(combo->ItemIndex(), -1) << "out of range: nothing chosen";
    combo->SetItemIndex(0);
    combo->Items()->Delete(0);
    EXPECT_EQ(combo->ItemIndex(), -1) << "the chosen item went";
    combo->SetItemIndex(0);
    combo->Items()->Insert(0, "new");
    EXPECT_EQ(combo->ItemIndex(), 1) << "the choice stays on its item";
    // The user picks in the widget.
    combo->HandleNeeded();
    QTest::keyClick(combo->Widget(), Qt::Key_Down);
    QApplication::processEvents();
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(changes, 1);
}

TEST(ListBoxTest, ItemsAndChoice) {
    TForm form(nullptr);
    auto* list = Put<TListBox>(&form);
    list->Items()->Add("a");
    list->Items()->Add("b");
    list->SetItemIndex(1);
    EXPECT_EQ(list->ItemIndex(), 1);
    list->Items()->Delete(1);
    EXPECT_EQ(list->ItemIndex(), -1);
    list->SetItemIndex(5);
    EXPECT_EQ(list->ItemIndex(), -1);
    list->Clear();
    EXPECT_EQ(list->Items()->Count(), 0);
}

// A shown window: Enter presses the default button unless the focused
// control takes Enter itself; Escape the cancel button.
struct DialogKeysTest : ::testing::Test {
    void SetUp() override {
        Form.SetBounds(0, 0, 400, 300);
        Ok->SetDefault(true);
        Ok->OnClick = [this](TObject*) { Pressed += "ok"; };
        Cancel->Cancel = true;
        Cancel->OnClick = [this](TObject*) { Pressed += "cancel"; };
        Edit->SetBounds(10, 10, 100, 21);
        Memo->SetBounds(10, 40, 100, 80);
        Ok->SetBounds(10, 200, 75, 25);
        Cancel->SetBounds(100, 200, 75, 25);
        Form.Show();
        QApplication::processEvents();
    }
    void TearDown() override { Form.Hide(); }
    void Press(TWinControl* Focused, Qt::Key Key) {
        Focused->SetFocus();
        QApplication::processEvents();
        QTest::keyClick(Focused->Widget(), Key);
        QApplication::processEvents();
    }
    TForm Form{nullptr};
    TEdit* Edit = Put<TEdit>(&Form);
    TMemo* Memo = Put<TMemo>(&Form);
    TButton* Ok = Put<TButton>(&Form);
    TButton* Cancel = Put<TButton>(&Form);
    AnsiString Pressed;
};

TEST_F(DialogKeysTest, EnterAndEscapeFollowTheFocusedControl) {
    struct {
        int Focus; // 0 edit, 1 memo, 2 cancel button
        Qt::Key Key;
        bool MemoWantsReturns;
        const char* Pressed;
    } cases[] = {
        {0, Qt::Key_Return, true, "ok"},     {0, Qt::Key_Enter, true, "ok"},
        {0, Qt::Key_Escape, true, "cancel"}, {1, Qt::Key_Return, true, ""},
        {1, Qt::Key_Return, false, "ok"},    {1, Qt::Key_Escape, true, "cancel"},
        {2, Qt::Key_Return, true, "cancel"},
    };
    for (auto& c : cases) {
        Pressed = "";
        Memo->SetText("");
        Memo->WantReturns = c.MemoWantsReturns;
        TWinControl* focus[] = {Edit, Memo, Cancel};
        Press(focus[c.Focus], c.Key);
        EXPECT_EQ(Pressed, c.Pressed) << c.Focus << " " << c.Key;
        if (c.Focus == 1 && c.Key == Qt::Key_Return) {
            EXPECT_EQ(Memo->Text().find('\n') != AnsiString::npos, c.MemoWantsReturns)
                << "the memo got its line break";
        }
    }
}

TEST_F(DialogKeysTest, AModalResultOfAButtonEndsTheWindowUnlessItRefuses) {
    Ok->ModalResult = mrOk;
    bool canClose = false;
    Form.OnCloseQuery = [&](TObject*, bool& CanClose) { CanClose = canClose; };
    Ok->Click();
    EXPECT_EQ(Form.ModalResult(), mrOk);
    Form.CloseModal();
    EXPECT_EQ(Form.ModalResult(), mrNone) << "refused: the window stays";
    canClose = true;
    Ok->Click();
    Form.CloseModal();
    EXPECT_EQ(Form.ModalResult(), mrOk);
}

TEST_F(DialogKeysTest, OneButtonCanBeDefaultAndCancel) {
    Cancel->Cancel = false;
    Ok->Cancel = true;
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        Pressed = "";
        Press(Edit, key);
        EXPECT_EQ(Pressed, "ok") << key;
    }
}

TEST_F(DialogKeysTest, AnEscapeShortcutComesBeforeTheCancelButtonWhileItsActionIsEnabled) {
    auto* list = new TActionList(&Form);
    auto* back = new TAction(&Form);
    back->SetActionList(list);
    back->SetShortCut(ShortCut(VK_ESCAPE, 0));
    back->OnExecute = [this](TObject*) { Pressed += "back"; };
    for (bool enabled : {true, false}) {
        Pressed = "";
        back->SetEnabled(enabled);
        Press(Edit, Qt::Key_Escape);
        EXPECT_EQ(Pressed, enabled ? "back" : "cancel");
    }
}
