// The password prompt in both its modes and the password change dialog,
// played through their entry functions as a user types.
#include <gtest/gtest.h>

#include "DialogDriver.h"
#include "app/ChangePassword_Frm.h"
#include "app/DialogParts.h"
#include "app/Password_Frm.h"
#include "platform/testing/ScriptedDialogs.h"
#include "platform/testing/ScriptedMessageBoxes.h"

namespace {

class PasswordFormTest : public ::testing::Test {
protected:
    TScriptedDialogs Dialogs;
    TScriptedMessageBoxes Boxes;
};

TEST_F(PasswordFormTest, ThePromptTakesOnlyTheExpectedPassword) {
    struct TCase {
        const char* What;
        bool Confirm;
        const char* Expected;
        const char* Typed;
        const char* Says; // nullptr: taken
    };
    const TCase cases[] = {
        {"the right password", false, "Секрет", "Секрет", nullptr},
        {"an empty password matched by an empty entry", false, "", "", nullptr},
        {"another letter case", false, "Секрет", "секрет", "Неверный пароль! Повторите ввод."},
        {"a wrong entry for no password", false, "", "x", "Неверный пароль! Повторите ввод."},
        {"a confirmed new password", true, "новый", "новый", nullptr},
        {"a confirmation that differs", true, "новый", "новый1", "Пароли не совпадают! Повторите ввод."},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        Boxes.Log.clear();
        Dialogs.Answers.push_back(AsUser<TInputPassword_Form>([&c](TInputPassword_Form& w) {
            EXPECT_EQ(w.Caption(), "Ввод пароля"_cp);
            EXPECT_EQ(w.ActiveControl(), w.Password_Edit);
            Type(w.Password_Edit, c.Typed);
            Press(w.Password_Edit, Qt::Key_Return);
            if (!c.Says) return;
            EXPECT_EQ(w.ModalResult(), mrNone) << "the prompt stays";
            EXPECT_EQ(w.Password_Edit->Text(), Utf8ToAnsi(c.Typed)) << "with what was typed";
            EXPECT_EQ(w.ActiveControl(), w.Password_Edit);
            Press(w.Password_Edit, Qt::Key_Escape);
        }));
        AnsiString password = Utf8ToAnsi(c.Expected);
        EXPECT_EQ(InputPassword("Ввод пароля"_cp, password, c.Confirm), c.Says == nullptr);
        EXPECT_EQ(password, Utf8ToAnsi(c.Expected));
        if (c.Says) {
            ASSERT_EQ(Boxes.Log.size(), 1u);
            EXPECT_EQ(Boxes.Log[0].Text, Utf8ToAnsi(c.Says));
            EXPECT_EQ(Boxes.Log[0].Caption, "Ошибка ввода пароля"_cp);
            EXPECT_EQ(Boxes.Log[0].Icon(), unsigned(MB_ICONINFORMATION));
        } else {
            EXPECT_TRUE(Boxes.Log.empty());
        }
    }
}

TEST_F(PasswordFormTest, TheChangeDialogWantsTwoEqualEntries) {
    struct TCase {
        const char* What;
        bool AllowEmpty;
        const char* New;
        const char* Confirmation;
        const char* Says; // nullptr: taken
    };
    const TCase cases[] = {
        {"two equal entries", false, "пароль", "пароль", nullptr},
        {"two empty entries where empty is allowed", true, "", "", nullptr},
        {"entries that differ", true, "пароль", "Пароль", "Пароли не совпадают! Повторите ввод пароля!"},
        {"an empty password where none is allowed", false, "", "",
         "Пароль не может быть пустым! Повторите ввод пароля!"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        Boxes.Log.clear();
        Dialogs.Answers.push_back(AsUser<TChangePassword_Form>([&c](TChangePassword_Form& w) {
            EXPECT_EQ(w.Caption(), "Смена пароля"_cp);
            Type(w.NewPassword_Edit, c.New);
            Press(w.NewPassword_Edit, Qt::Key_Tab);
            EXPECT_EQ(w.ActiveControl(), w.ConfirmPassword_Edit);
            Type(w.ConfirmPassword_Edit, c.Confirmation);
            Press(w.ConfirmPassword_Edit, Qt::Key_Return);
            if (!c.Says) return;
            EXPECT_EQ(w.ModalResult(), mrNone);
            EXPECT_EQ(w.ActiveControl(), w.NewPassword_Edit);
            w.Cancel_But->Click();
        }));
        AnsiString password = "прежний"_cp;
        EXPECT_EQ(ChangePasswordDialog(password, c.AllowEmpty), c.Says == nullptr);
        EXPECT_EQ(password, c.Says ? "прежний"_cp : Utf8ToAnsi(c.New));
        if (c.Says) {
            ASSERT_EQ(Boxes.Log.size(), 1u);
            EXPECT_EQ(Boxes.Log[0].Text, Utf8ToAnsi(c.Says));
            EXPECT_EQ(Boxes.Log[0].Caption, "Ошибка"_cp);
            EXPECT_EQ(Boxes.Log[0].Icon(), unsigned(MB_ICONERROR));
        }
    }
}

// A password longer than the prompt takes could never be given again.
TEST_F(PasswordFormTest, EveryPasswordFieldTakesTwentyCharactersOfTheCodePage) {
    const char* tooLong = "абвгдеёжзийклмнопрстуфхцч";
    Dialogs.Answers.push_back(AsUser<TChangePassword_Form>([&](TChangePassword_Form& w) {
        Type(w.NewPassword_Edit, "aü");
        EXPECT_EQ(w.NewPassword_Edit->Text(), "a") << "a refused character is not replaced";
        Erase(w.NewPassword_Edit);
        for (TEdit* edit : {w.NewPassword_Edit, w.ConfirmPassword_Edit}) {
            Type(edit, tooLong);
            EXPECT_EQ(edit->Text().size(), 20u);
        }
        w.OK_But->Click();
    }));
    AnsiString password;
    ASSERT_TRUE(ChangePasswordDialog(password, false));
    EXPECT_EQ(password, Utf8ToAnsi("абвгдеёжзийклмнопрст"));
    ASSERT_EQ(Boxes.Log.size(), 1u);
    EXPECT_EQ(Boxes.Log[0].Text, RefusedCharactersText());

    Dialogs.Answers.push_back(AsUser<TInputPassword_Form>([&](TInputPassword_Form& w) {
        Type(w.Password_Edit, tooLong);
        Press(w.Password_Edit, Qt::Key_Return);
    }));
    EXPECT_TRUE(InputPassword("Введите пароль психолога"_cp, password, false)) << "the prompt takes it";
}

} // namespace
