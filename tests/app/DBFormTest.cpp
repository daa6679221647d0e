// The database chooser and the database card, played through their entry
// functions and the main window as a user does, with the rows they leave in
// the database.
#include <gtest/gtest.h>

#include "AppFixture.h"
#include "DialogDriver.h"
#include "app/DB_Frm.h"
#include "app/DialogParts.h"

namespace {

class DBFormTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        Closed.DB_NAME = "Закрытая"_cp;
        Closed.DB_PASSWORD = "секрет"_cp;
        Closed.DB_ID = TListDatabases().AddDatabase(Closed);
        ASSERT_GT(Closed.DB_ID, 0);
    }

    // Walks the list with the arrow keys until DbId is selected.
    static void Select(TDB_Form& W, int32_t DbId) {
        Press(W.Databases_Grid, Qt::Key_Home);
        for (unsigned i = 0; i < W.Databases_Grid->GetRootNodeCount(); ++i) {
            if (SelectedId(W) == DbId) return;
            Press(W.Databases_Grid, Qt::Key_Down);
        }
        ADD_FAILURE() << "no row of database " << DbId;
    }
    static int32_t SelectedId(TDB_Form& W) {
        PVirtualNode node = W.Databases_Grid->GetFirstSelected();
        return node ? W.Databases_Grid->GetNodeData<TDBRec>(node)->DB_ID : -1;
    }
    static int ImageOf(TDB_Form& W, int32_t DbId) {
        for (PVirtualNode n = W.Databases_Grid->GetFirst(); n; n = W.Databases_Grid->GetNext(n)) {
            if (W.Databases_Grid->GetNodeData<TDBRec>(n)->DB_ID != DbId) continue;
            bool ghosted = false;
            int image = -1;
            W.Databases_GridGetImageIndex(W.Databases_Grid, n, ikNormal, 0, ghosted, image);
            return image;
        }
        return -2;
    }
    // The stored row, through the chooser's list while the chooser is up.
    static TDatabase Stored(int32_t DbId, TDB_Form* W = nullptr) {
        TDatabase db;
        if (W) {
            EXPECT_TRUE(W->List->ReadDatabase(DbId, db));
        } else {
            EXPECT_TRUE(TListDatabases().ReadDatabase(DbId, db));
        }
        return db;
    }
    // The password prompt: Utf8 typed, then Enter.
    void ExpectPrompt(const char* Caption, const char* Utf8) {
        Dialogs.Answers.push_back(AsUser<TInputPassword_Form>([=](TInputPassword_Form& w) {
            EXPECT_EQ(w.Caption(), Utf8ToAnsi(Caption));
            Type(w.Password_Edit, Utf8);
            Press(w.Password_Edit, Qt::Key_Return);
        }));
    }

    TDatabase Closed;
};

TEST_F(DBFormTest, AProtectedDatabaseOpensOnlyWithItsPassword) {
    Dialogs.Answers.push_back(AsUser<TDB_Form>([&](TDB_Form& w) {
        EXPECT_EQ(w.Caption(), "Выбор базы данных"_cp);
        EXPECT_EQ(SelectedId(w), Database.DB_ID) << "the open database is selected";
        EXPECT_EQ(ImageOf(w, Closed.DB_ID), 4);
        EXPECT_EQ(ImageOf(w, Database.DB_ID), -1);
        Select(w, Closed.DB_ID);
        w.OK_But->Click();
        EXPECT_EQ(w.ModalResult(), mrNone) << "a cancelled prompt leaves the chooser open";
        Press(w.Databases_Grid, Qt::Key_Return);
    }));
    // A wrong entry is told and the prompt stays; Cancel goes back.
    Dialogs.Answers.push_back(AsUser<TInputPassword_Form>([](TInputPassword_Form& w) {
        EXPECT_EQ(w.Caption(), "Ввод пароля"_cp);
        Type(w.Password_Edit, "Секрет");
        Press(w.Password_Edit, Qt::Key_Return);
        EXPECT_EQ(w.ModalResult(), mrNone);
        w.Cancel_But->Click();
    }));
    ExpectPrompt("Ввод пароля", "секрет");
    TDatabase chosen = Database;
    ASSERT_TRUE(ChooseDatabase(chosen));
    EXPECT_EQ(chosen.DB_ID, Closed.DB_ID);
    EXPECT_EQ(chosen.DB_NAME, "Закрытая"_cp);
    EXPECT_EQ(chosen.DB_PASSWORD, "секрет"_cp) << "the password comes plain";
    ASSERT_EQ(Boxes.Log.size(), 1u);
    EXPECT_EQ(Boxes.Log[0].Text, "Неверный пароль! Повторите ввод."_cp);
    EXPECT_TRUE(Dialogs.Answers.empty());
}

TEST_F(DBFormTest, DatabasesAreEditedAndDeletedBehindTheirPasswords) {
    Dialogs.Answers.push_back(AsUser<TDB_Form>([&](TDB_Form& w) {
        // Only the name changes: no confirmation, the password stays.
        Select(w, Closed.DB_ID);
        Press(w.Databases_Grid, Qt::Key_Insert, Qt::ControlModifier);
        EXPECT_EQ(Stored(Closed.DB_ID, &w).DB_NAME, "Архив"_cp);
        EXPECT_EQ(Stored(Closed.DB_ID, &w).DB_PASSWORD, "секрет"_cp);
        EXPECT_EQ(SelectedId(w), Closed.DB_ID) << "the edited database stays selected";

        // A password cleared and confirmed empty lifts the protection.
        Press(w.Databases_Grid, Qt::Key_Insert, Qt::ControlModifier);
        EXPECT_EQ(Stored(Closed.DB_ID, &w).DB_PASSWORD, "");
        EXPECT_EQ(ImageOf(w, Closed.DB_ID), -1);

        // No deletes nothing; the open database is never deleted.
        Boxes.Answers = {IDNO, IDYES};
        Press(w.Databases_Grid, Qt::Key_Delete);
        Select(w, Database.DB_ID);
        Press(w.Databases_Grid, Qt::Key_Delete);
        EXPECT_EQ(w.Databases_Grid->GetRootNodeCount(), 2u);

        Select(w, Closed.DB_ID);
        Boxes.Answers = {IDYES};
        Press(w.Databases_Grid, Qt::Key_Delete);
        EXPECT_EQ(w.Databases_Grid->GetRootNodeCount(), 1u);
        EXPECT_EQ(SelectedId(w), Database.DB_ID) << "the first database is selected";
        Press(w.Databases_Grid, Qt::Key_Escape);
    }));
    ExpectPrompt("Ввод пароля", "секрет");
    Dialogs.Answers.push_back(AsUser<TDBEdit_Form>([](TDBEdit_Form& w) {
        EXPECT_EQ(w.Caption(), "Изменение данных базы данных"_cp);
        EXPECT_EQ(w.DB_Edit->Text(), "Закрытая"_cp);
        EXPECT_EQ(w.Password_Edit->Text(), "секрет"_cp);
        Erase(w.DB_Edit);
        Type(w.DB_Edit, "Архив");
        Press(w.DB_Edit, Qt::Key_Return);
    }));
    ExpectPrompt("Ввод пароля", "секрет");
    Dialogs.Answers.push_back(AsUser<TDBEdit_Form>([](TDBEdit_Form& w) {
        Erase(w.Password_Edit);
        Press(w.Password_Edit, Qt::Key_Return);
    }));
    ExpectPrompt("Подтверждение пароля", "");
    TDatabase chosen = Database;
    EXPECT_FALSE(ChooseDatabase(chosen));
    EXPECT_EQ(chosen.DB_ID, Database.DB_ID);
    EXPECT_TRUE(Dialogs.Answers.empty());

    std::vector<AnsiString> texts;
    for (const TMessageBoxRecord& box : Boxes.Log)
        texts.push_back(box.Text);
    const AnsiString ask =
        "При удалении удалятся все тестируемые, а также их результаты в удаляемой базе данных. "
        "Вы действительно желаете удалить базу данных. "_cp;
    EXPECT_EQ(texts, (std::vector<AnsiString>{ask, ask, "Невозможно удалить открытую базу данных!"_cp, ask}));
    EXPECT_EQ(Boxes.Log[2].Caption, "Ошибка!"_cp);
    TDatabase gone;
    EXPECT_FALSE(TListDatabases().ReadDatabase(Closed.DB_ID, gone));
}

TEST_F(DBFormTest, TheCardRefusesAnEmptyNameTooLongAndForeignTextAndAnUnconfirmedPassword) {
    Dialogs.Answers.push_back(AsUser<TDB_Form>([](TDB_Form& w) {
        Press(w.Databases_Grid, Qt::Key_Insert);
        EXPECT_EQ(w.Databases_Grid->GetRootNodeCount(), 2u) << "nothing was added";
        Press(w.Databases_Grid, Qt::Key_Escape);
    }));
    Dialogs.Answers.push_back(AsUser<TDBEdit_Form>([](TDBEdit_Form& w) {
        EXPECT_EQ(w.Caption(), "Создание базы данных"_cp);
        Press(w.DB_Edit, Qt::Key_Return);
        EXPECT_EQ(w.ModalResult(), mrNone);
        Type(w.DB_Edit, "Отдел ü");
        EXPECT_EQ(w.DB_Edit->Text(), "Отдел "_cp);
        Type(w.DB_Edit, std::string(120, 'x').c_str());
        EXPECT_EQ(w.DB_Edit->Text().size(), 100u);
        // Tab reaches the password, whose confirmation is cancelled.
        Press(w.DB_Edit, Qt::Key_Tab);
        EXPECT_EQ(w.ActiveControl(), w.Password_Edit);
        Type(w.Password_Edit, "пароль");
        Press(w.Password_Edit, Qt::Key_Return);
        EXPECT_EQ(w.ModalResult(), mrNone) << "the card stays";
        Press(w.Password_Edit, Qt::Key_Escape);
    }));
    Dialogs.Answers.push_back(AsUser<TInputPassword_Form>([](TInputPassword_Form& w) {
        EXPECT_EQ(w.Caption(), "Подтверждение пароля"_cp);
        Press(w.Password_Edit, Qt::Key_Escape);
    }));
    TDatabase chosen;
    EXPECT_FALSE(ChooseDatabase(chosen));
    ASSERT_EQ(Boxes.Log.size(), 2u);
    EXPECT_EQ(Boxes.Log[0].Text,
              "Не заполнено обязательное поле \"Название базы данных\"! Повторите ввод."_cp);
    EXPECT_EQ(Boxes.Log[0].Caption, "Ошибка ввода данных"_cp);
    EXPECT_EQ(Boxes.Log[0].Icon(), unsigned(MB_ICONWARNING));
    EXPECT_EQ(Boxes.Log[1].Text, RefusedCharactersText());
}

TEST_F(DBFormTest, AFailingWriteKeepsTheCardOpenWithWhatWasTyped) {
    RefuseValue("DATABASES", "DB_NAME", "fail");
    Dialogs.Answers.push_back(AsUser<TDB_Form>([&](TDB_Form& w) {
        Press(w.Databases_Grid, Qt::Key_Insert);
        EXPECT_EQ(w.Databases_Grid->GetRootNodeCount(), 3u);
        EXPECT_EQ(Stored(SelectedId(w), &w).DB_NAME, "Филиал"_cp) << "the new database is selected";
        Select(w, Database.DB_ID);
        Press(w.Databases_Grid, Qt::Key_Insert, Qt::ControlModifier);
        Press(w.Databases_Grid, Qt::Key_Escape);
    }));
    for (const char* second : std::initializer_list<const char*>{"Филиал", nullptr}) {
        Dialogs.Answers.push_back(AsUser<TDBEdit_Form>([second](TDBEdit_Form& w) {
            Erase(w.DB_Edit);
            Type(w.DB_Edit, "fail");
            Press(w.DB_Edit, Qt::Key_Return);
            EXPECT_EQ(w.ModalResult(), mrNone) << "the card stays";
            EXPECT_EQ(w.DB_Edit->Text(), "fail") << "with what was typed";
            if (!second) {
                w.Cancel_But->Click();
                return;
            }
            Erase(w.DB_Edit);
            Type(w.DB_Edit, second);
            Press(w.DB_Edit, Qt::Key_Return);
        }));
    }
    TDatabase chosen;
    EXPECT_FALSE(ChooseDatabase(chosen));
    EXPECT_EQ(Stored(Database.DB_ID).DB_NAME, "Отдел кадров"_cp);
    ASSERT_EQ(Boxes.Log.size(), 2u);
    for (const TMessageBoxRecord& box : Boxes.Log)
        EXPECT_EQ(box.Caption, "Error");
}

// The chooser cancelled after the open database was renamed and protected:
// the main window shows the new name and keeps the new password.
TEST_F(DBFormTest, EditsToTheOpenDatabaseReachTheMainWindowAlsoWhenTheChooserIsCancelled) {
    TMain_Form* f = Open();
    Dialogs.Answers.push_back(AsUser<TDB_Form>([](TDB_Form& w) {
        Press(w.Databases_Grid, Qt::Key_Insert, Qt::ControlModifier);
        w.Cancel_But->Click();
    }));
    Dialogs.Answers.push_back(AsUser<TDBEdit_Form>([](TDBEdit_Form& w) {
        Erase(w.DB_Edit);
        Type(w.DB_Edit, "Кадры");
        Press(w.DB_Edit, Qt::Key_Tab);
        Type(w.Password_Edit, "пароль");
        w.Ok_But->Click();
    }));
    ExpectPrompt("Подтверждение пароля", "пароль");
    f->OpenDB_SmallAction->Execute();
    EXPECT_EQ(f->CurrentDatabase.DB_ID, Database.DB_ID);
    EXPECT_EQ(f->CurrentDatabase.DB_PASSWORD, "пароль"_cp);
    EXPECT_EQ(f->Caption(), "Севрола (Методика Ф. Герцберга) - Кадры"_cp);
    EXPECT_EQ(Stored(Database.DB_ID).DB_PASSWORD, "пароль"_cp);
}

} // namespace
