// The testee card played through its entry function as a user types: its
// pages and tab order, the age and the seniority coupling, its checks and
// limits, and the record it hands to the store.
#include <gtest/gtest.h>

#include "AppFixture.h"
#include "DialogDriver.h"
#include "app/DialogParts.h"

namespace {

class AddTesterFormTest : public AppFixture {
protected:
    // Runs the card on User; the store takes what OK gives and answers
    // Stores in turn (true once they run out).
    bool RunCard(TUser& User, std::function<void(TAddTester_Form&)> Acts) {
        Dialogs.Answers.push_back(AsUser<TAddTester_Form>(Acts));
        return EditTesteeCard(Tarvik.get(), User, [this](TUser& Typed) {
            Written.push_back(Typed);
            if (Stores.empty()) return true;
            const bool stored = Stores.front();
            Stores.erase(Stores.begin());
            return stored;
        });
    }
    static TUser Existing() {
        TUser u;
        u.USER_ID = 7;
        u.FIO = "Петров П. П."_cp;
        u.SEX = "Ж"_cp;
        u.AGE = 45;
        u.Seniority = 7;
        u.OrgSeniority = 2;
        u.Education = "Высшее"_cp;
        u.isworkforspec = 1;
        return u;
    }

    std::vector<TUser> Written;
    std::vector<bool> Stores;
};

TEST_F(AddTesterFormTest, ANewTesteeIsTypedThroughTheThreePages) {
    TUser user;
    ASSERT_TRUE(RunCard(user, [](TAddTester_Form& w) {
        EXPECT_EQ(w.Caption(), "Добавление нового тестируемого"_cp);
        EXPECT_EQ(w.AddTester_PageControl->ActivePage(), w.General_TabSheet);
        EXPECT_EQ(w.ActiveControl(), w.FIO_Edit) << "the name comes first";
        EXPECT_EQ(QApplication::focusWidget(), w.FIO_Edit->Widget());
        EXPECT_EQ(w.Age_Edit->Text(), "20");
        // Typed at once, the name goes into its field and opens no list.
        for (QChar c : QString::fromUtf8("Яковлев Яков")) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(QApplication::focusWidget(), &press);
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(QApplication::focusWidget(), &release);
        }
        Pump();
        EXPECT_EQ(w.FIO_Edit->Text(), "Яковлев Яков"_cp);
        EXPECT_FALSE(w.Sex_ComboBox->DroppedDown());
        EXPECT_EQ(w.Sex_ComboBox->ItemIndex(), -1);
        Press(w.Sex_ComboBox, Qt::Key_Down);
        Press(w.Sex_ComboBox, Qt::Key_Tab);
        EXPECT_EQ(w.ActiveControl(), w.FIO_Edit);
        Press(w.FIO_Edit, Qt::Key_Tab);
        EXPECT_EQ(w.ActiveControl(), w.Age_Edit);

        w.AddTester_PageControl->SetActivePage(w.Work_TabSheet);
        Type(w.Job_Edit, "Завод");
        Type(w.Position_Edit, "Мастер");
        Erase(w.Seniority_Edit);
        Type(w.Seniority_Edit, "5");
        // The total is raised to the years in the organisation.
        Erase(w.OrgSeniority_Edit);
        Type(w.OrgSeniority_Edit, "12");
        EXPECT_EQ(w.Seniority_Edit->Text(), w.OrgSeniority_Edit->Text());

        w.AddTester_PageControl->SetActivePage(w.Education_TabSheet);
        w.Education_Edit->SetItemIndex(5);
        Type(w.Spec_Edit, "Инженер");
        w.IsWorkForSpec->SetChecked(true);
        Press(w.Spec_Edit, Qt::Key_Return);
    }));
    ASSERT_EQ(Written.size(), 1u);
    EXPECT_EQ(user.FIO, "Яковлев Яков"_cp);
    EXPECT_EQ(user.SEX, "М"_cp);
    EXPECT_EQ(user.AGE, 20) << "an untouched age is the one shown";
    EXPECT_EQ(user.Job, "Завод"_cp);
    EXPECT_EQ(user.POSIT, "Мастер"_cp);
    EXPECT_EQ(user.Seniority, 12);
    EXPECT_EQ(user.OrgSeniority, 12);
    EXPECT_EQ(user.Education, "Наличие ученых степеней (канд. наук, доктор наук)"_cp);
    EXPECT_EQ(user.Spec, "Инженер"_cp);
    EXPECT_EQ(user.isworkforspec, 1);
}

TEST_F(AddTesterFormTest, AnExistingTesteeIsShownAndKeptAsStored) {
    struct TCase {
        const char* What;
        std::function<void(TUser&)> Stored;
        std::function<void(TAddTester_Form&)> Acts;
        std::function<void(const TUser&)> Check;
    };
    const TCase cases[] = {
        {"as it was", [](TUser&) {},
         [](TAddTester_Form& w) {
             EXPECT_EQ(w.Caption(), "Корректировка данных тестируемого"_cp);
             EXPECT_EQ(w.FIO_Edit->Text(), "Петров П. П."_cp);
             EXPECT_EQ(w.Sex_ComboBox->ItemIndex(), 1);
             EXPECT_EQ(w.Age_Edit->Text(), "45");
             EXPECT_EQ(w.Education_Edit->ItemIndex(), 4);
             EXPECT_TRUE(w.IsWorkForSpec->Checked());
         },
         [](const TUser& u) {
             TUser expected = Existing();
             EXPECT_EQ(u.FIO, expected.FIO);
             EXPECT_EQ(u.SEX, expected.SEX);
             EXPECT_EQ(u.AGE, 45);
             EXPECT_EQ(u.Seniority, 7);
             EXPECT_EQ(u.OrgSeniority, 2);
             EXPECT_EQ(u.Education, expected.Education);
             EXPECT_EQ(u.isworkforspec, 1);
         }},
        {"without an age", [](TUser& u) { u.AGE = -1; },
         [](TAddTester_Form& w) {
             EXPECT_EQ(w.Age_Edit->Text(), "");
             Press(w.Age_Edit, Qt::Key_Tab);
             EXPECT_EQ(w.Age_Edit->Text(), "") << "leaving the field keeps it empty";
         },
         [](const TUser& u) { EXPECT_EQ(u.AGE, -1); }},
        {"with the age cleared", [](TUser&) {}, [](TAddTester_Form& w) { Erase(w.Age_Edit); },
         [](const TUser& u) { EXPECT_EQ(u.AGE, -1); }},
        {"with an education that is no item", [](TUser& u) { u.Education = "Аспирантура"_cp; },
         [](TAddTester_Form& w) { EXPECT_EQ(w.Education_Edit->ItemIndex(), -1); },
         [](const TUser& u) { EXPECT_EQ(u.Education, ""); }},
        {"with an emptied total while the years in the organisation change", [](TUser&) {},
         [](TAddTester_Form& w) {
             Erase(w.Seniority_Edit);
             Erase(w.OrgSeniority_Edit);
             Type(w.OrgSeniority_Edit, "3");
             EXPECT_EQ(w.Seniority_Edit->Text(), "") << "the coupling skips an empty field";
         },
         [](const TUser& u) {
             EXPECT_EQ(u.Seniority, 7) << "an empty field keeps the stored value";
             EXPECT_EQ(u.OrgSeniority, 3);
         }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TUser user = Existing();
        c.Stored(user);
        ASSERT_TRUE(RunCard(user, [&c](TAddTester_Form& w) {
            c.Acts(w);
            w.OK_But->Click();
        }));
        c.Check(user);
        EXPECT_TRUE(Boxes.Log.empty());
    }
}

TEST_F(AddTesterFormTest, TheCardWantsANameAndHoldsFieldsToTheirColumns) {
    TUser user;
    EXPECT_FALSE(RunCard(user, [](TAddTester_Form& w) {
        w.AddTester_PageControl->SetActivePage(w.Work_TabSheet);
        w.OK_But->Click();
        EXPECT_EQ(w.ModalResult(), mrNone);
        EXPECT_EQ(w.AddTester_PageControl->ActivePage(), w.Work_TabSheet) << "on the page it shows";

        const struct {
            TEdit* Edit;
            std::size_t Length;
        } limits[] = {{w.Job_Edit, 200}, {w.Position_Edit, 150}, {w.Spec_Edit, 200}, {w.FIO_Edit, 200}};
        for (const auto& limit : limits) {
            Type(limit.Edit, std::string(260, 'x').c_str());
            EXPECT_EQ(limit.Edit->Text().size(), limit.Length) << limit.Edit->Name();
        }
        Erase(w.FIO_Edit);
        Type(w.FIO_Edit, "Müller");
        EXPECT_EQ(w.FIO_Edit->Text(), "Mller");
        Press(w.FIO_Edit, Qt::Key_Escape);
    }));
    EXPECT_TRUE(Written.empty());
    ASSERT_EQ(Boxes.Log.size(), 2u);
    EXPECT_EQ(Boxes.Log[0].Text,
              "Не заполнено обязательное для заполнения поле \"Ф.И.О.\"! Повторите ввод."_cp);
    EXPECT_EQ(Boxes.Log[0].Caption, "Ошибка ввода данных"_cp);
    EXPECT_EQ(Boxes.Log[0].Icon(), unsigned(MB_ICONINFORMATION));
    EXPECT_EQ(Boxes.Log[1].Text, RefusedCharactersText());
}

TEST_F(AddTesterFormTest, AFailedStoreKeepsTheCardOpenWithWhatWasTyped) {
    TUser user = Existing();
    Stores = {false};
    ASSERT_TRUE(RunCard(user, [](TAddTester_Form& w) {
        Erase(w.FIO_Edit);
        Type(w.FIO_Edit, "Сидоров");
        Erase(w.Age_Edit);
        Type(w.Age_Edit, "33");
        Press(w.FIO_Edit, Qt::Key_Return);
        EXPECT_EQ(w.ModalResult(), mrNone);
        EXPECT_EQ(w.FIO_Edit->Text(), "Сидоров"_cp);
        EXPECT_EQ(w.Age_Edit->Text(), "33");
        Press(w.FIO_Edit, Qt::Key_Return);
    }));
    ASSERT_EQ(Written.size(), 2u);
    EXPECT_EQ(Written[0].FIO, "Сидоров"_cp);
    EXPECT_EQ(user.FIO, "Сидоров"_cp);
    EXPECT_EQ(user.AGE, 33);
}

} // namespace
