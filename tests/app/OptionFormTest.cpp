// The options window played through its entry function: the row colours it
// saves or leaves, and the psychologist password it changes.
#include <gtest/gtest.h>

#include "AppFixture.h"
#include "DialogDriver.h"
#include "app/ChangePassword_Frm.h"
#include "app/Option_Frm.h"

namespace {

using OptionFormTest = AppFixture;

uint32_t StoredFirstColor() {
    TApplicationOptions stored;
    stored.Load();
    return stored.FirstGridRowColor;
}

TEST_F(OptionFormTest, ColoursAreSavedOnOKAndLeftOnCancel) {
    const TColor chosen = RGB(0x12, 0x34, 0x56);
    for (bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        Dialogs.Answers.push_back(AsUser<TOptions_Form>([&](TOptions_Form& w) {
            EXPECT_EQ(w.Caption(), "Настройка"_cp);
            EXPECT_EQ(w.Options_PageControl->ActivePage(), w.Interface_Tab);
            EXPECT_EQ(w.FirstColor_Edit->Color(), TColor(TApplicationOptions::DefaultFirstGridRowColor));
            EXPECT_FALSE(w.SettingsChanged) << "filling the buttons is no change";
            w.FirstColor_Edit->SetColor(chosen);
            EXPECT_TRUE(w.SettingsChanged);
            Press(w.Options_PageControl, ok ? Qt::Key_Return : Qt::Key_Escape);
        }));
        EXPECT_EQ(ShowOptions(Tarvik.get()), ok);
        const uint32_t expected = ok ? uint32_t(chosen) : TApplicationOptions::DefaultFirstGridRowColor;
        EXPECT_EQ(Tarvik->Options->FirstGridRowColor, expected);
        EXPECT_EQ(StoredFirstColor(), expected);
    }
}

TEST_F(OptionFormTest, ThePasswordChangeAsksToSaveChangedColoursFirst) {
    const TColor chosen = RGB(0x12, 0x34, 0x56);
    Boxes.Answers = {IDNO, IDYES};
    Dialogs.Answers.push_back(AsUser<TOptions_Form>([&](TOptions_Form& w) {
        w.FirstColor_Edit->SetColor(chosen);
        w.Options_PageControl->SetActivePage(w.TabSheet1);
        w.ChangePsyPassword_But->Click(); // No: nothing changes
        EXPECT_EQ(StoredFirstColor(), TApplicationOptions::DefaultFirstGridRowColor);
        w.ChangePsyPassword_But->Click(); // Yes: the colours are saved first
        EXPECT_EQ(StoredFirstColor(), uint32_t(chosen));
        w.Cancel_But->Click();
    }));
    Dialogs.Answers.push_back(AsUser<TChangePassword_Form>([](TChangePassword_Form& w) {
        Type(w.NewPassword_Edit, "новый");
        Type(w.ConfirmPassword_Edit, "новый");
        Press(w.ConfirmPassword_Edit, Qt::Key_Return);
    }));
    EXPECT_FALSE(ShowOptions(Tarvik.get()));
    EXPECT_TRUE(Dialogs.Answers.empty());
    ASSERT_EQ(Boxes.Log.size(), 3u);
    EXPECT_EQ(Boxes.Log[0].Text, "Настройки программы были изменены. Сохранить изменения?"_cp);
    EXPECT_EQ(Boxes.Log[0].Caption, "Подтверждение сохранения"_cp);
    EXPECT_EQ(Boxes.Log[0].Icon(), unsigned(MB_ICONQUESTION));
    EXPECT_EQ(Boxes.Log[2].Text, "Пароль успешно изменен!"_cp);
    EXPECT_EQ(Boxes.Log[2].Caption, "Пароль изменен"_cp);
    EXPECT_EQ(Tarvik->Security->GetPassword(), "новый"_cp);
    TAdminsSecurity stored;
    ASSERT_TRUE(stored.LoadPassword());
    EXPECT_EQ(stored.GetPassword(), "новый"_cp);
}

// A password the database would not take is not in force, and no success
// is told.
TEST_F(OptionFormTest, APasswordThatCannotBeSavedLeavesTheOldOne) {
    Tarvik->Security->SetPassword("прежний"_cp);
    ASSERT_TRUE(Tarvik->Security->SavePassword());
    TAdminsSecurity refused;
    refused.SetPassword("fail");
    std::string value;
    for (char c : refused.EncodedPassword)
        value += c == '\'' ? std::string("''") : std::string(1, c);
    RefuseValue("ADMINSPASSWORD", "PSY_PASSWORD", value.c_str());

    Dialogs.Answers.push_back(AsUser<TOptions_Form>([](TOptions_Form& w) {
        w.ChangePsyPassword_But->Click();
        w.OK_But->Click();
    }));
    Dialogs.Answers.push_back(AsUser<TChangePassword_Form>([](TChangePassword_Form& w) {
        Type(w.NewPassword_Edit, "fail");
        Type(w.ConfirmPassword_Edit, "fail");
        w.OK_But->Click();
    }));
    EXPECT_TRUE(ShowOptions(Tarvik.get()));
    ASSERT_EQ(Boxes.Log.size(), 2u);
    EXPECT_EQ(Boxes.Log[0].Caption, "Error") << "the data module tells the failed write";
    EXPECT_EQ(Boxes.Log[1].Caption, "Ошибка"_cp);
    EXPECT_NE(Boxes.Log[1].Text.find("Действует прежний пароль"_cp), AnsiString::npos);
    EXPECT_EQ(Tarvik->Security->GetPassword(), "прежний"_cp);
}

} // namespace
