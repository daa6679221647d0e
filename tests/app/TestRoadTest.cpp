// The road of one test from start to a stored test, through the program's
// windows: start-up, a new logical database and testee, the instruction and
// the questionnaire played with the keys, the psychologist's password, and
// the test in the grid; and a write that fails on the way without losing
// what the testee answered.
#include <gtest/gtest.h>

#include <filesystem>

#include "AppFixture.h"
#include "DialogDriver.h"
#include "ProgramFixture.h"
#include "app/AddTester_Frm.h"
#include "app/DBEdit_Frm.h"
#include "app/Instr_Frm.h"
#include "app/Password_Frm.h"
#include "app/Test_Frm.h"
#include "core/Calc_Unit.h"

namespace {
// The psychologist's password the road sets, as the options window does.
constexpr const char* kPsychologistPassword = "psy1";

// The program as a whole, with the shipped instruction beside it.
class TestRoadTest : public ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        std::filesystem::copy_file(SourceDir() + "/app/Instr.rtf", Folder.Path() + "Instr.rtf");
    }

    // A new logical database and a new testee in it, through the main
    // window's actions.
    void AddDatabaseAndTestee(TMain_Form& Main) {
        Dialogs.Answers.push_back(AsUser<TDBEdit_Form>([](TDBEdit_Form& w) {
            Type(w.DB_Edit, "Отдел кадров");
            Press(w.DB_Edit, Qt::Key_Return);
        }));
        Main.NewDB_SmallAction->Execute();
        ASSERT_EQ(Main.CurrentDatabase.DB_NAME, "Отдел кадров"_cp);
        Dialogs.Answers.push_back(AsUser<TAddTester_Form>([](TAddTester_Form& w) {
            Type(w.FIO_Edit, "Смирнова Анна");
            Press(w.FIO_Edit, Qt::Key_Return);
        }));
        Main.NewUser_SmallAction->Execute();
        ASSERT_EQ(Main.Users_Grid->GetRootNodeCount(), 1u);
    }
};

// The instruction before the test: shown while the main window hides,
// with the shipped text, left with Enter.
void ExpectInstruction(TScriptedDialogs& Dialogs, TMain_Form& Main, const AnsiString& ButtonCaption) {
    Dialogs.Answers.push_back(Play<TInstr_Form>([&Main, ButtonCaption](TInstr_Form& w) {
        EXPECT_FALSE(Main.Visible()) << "the main window hides for the test";
        EXPECT_EQ(w.BeginTesting_But->Caption(), ButtonCaption);
        EXPECT_EQ(w.Instr_RichEdit->Lines()->Strings(0), "Инструкция"_cp);
        PressInWindow(&w, Qt::Key_Return);
    }));
}

// The psychologist's password after the test.
void ExpectPassword(TScriptedDialogs& Dialogs, const char* Password) {
    Dialogs.Answers.push_back(AsUser<TInputPassword_Form>([Password](TInputPassword_Form& w) {
        EXPECT_EQ(w.Caption(), "Введите пароль психолога"_cp);
        Type(w.Password_Edit, Password);
        Press(w.Password_Edit, Qt::Key_Return);
    }));
}

// The answers the testee gives, pair by pair.
std::vector<int> TesteeAnswers(int Count) {
    std::vector<int> answers;
    for (int i = 0; i < Count; ++i)
        answers.push_back((i * 7 + 3) % 6);
    return answers;
}

AnsiString AnswerText(const std::vector<int>& Answers) {
    AnsiString text;
    for (int a : Answers)
        text += char('0' + a);
    return text;
}

// Answers every pair with the keys: the digit, then Space. On pair 2 it
// goes back once with Escape, and on pair 5 it reads the instruction again
// with F1 (whose window the caller scripted). BeforeLast runs before the
// last Space.
void AnswerAll(TTest_Form& T, const std::vector<int>& Answers, std::function<void()> BeforeLast = nullptr) {
    ASSERT_EQ(T.Questions->Count, int(Answers.size()));
    for (int pair = 1; pair <= T.Questions->Count; ++pair) {
        ASSERT_EQ(T.Questions->Number, pair);
        const int answer = Answers[std::size_t(pair - 1)];
        TypeDigit(&T, char('0' + answer));
        EXPECT_EQ(T.Selection2_RG->ItemIndex(), 5 - answer) << "the second statement takes the rest";
        if (pair == 2) {
            PressInWindow(&T, Qt::Key_Escape);
            EXPECT_EQ(T.Questions->Number, 1) << "Escape goes back";
            EXPECT_EQ(T.Selection1_RG->ItemIndex(), Answers[0]) << "with the stored answer";
            PressInWindow(&T, Qt::Key_Space, " ");
            EXPECT_EQ(T.Selection1_RG->ItemIndex(), -1) << "the unconfirmed choice on pair 2 was not kept";
            TypeDigit(&T, char('0' + answer));
        }
        if (pair == 5) PressInWindow(&T, Qt::Key_F1);
        if (pair == T.Questions->Count && BeforeLast) BeforeLast();
        PressInWindow(&T, Qt::Key_Space, " ");
    }
}

} // namespace

TEST_F(TestRoadTest, OneTestGoesFromStartToTheGridAndScoresAsTyped) {
    std::vector<int> answers;
    ChooseNewDatabaseAtStart("Основная база данных");
    EXPECT_EQ(RunOnMainWindow([&](TMain_Form& main) {
                  AddDatabaseAndTestee(main);
                  ExpectInstruction(Dialogs, main, "Начать тестирование"_cp);
                  answers = TesteeAnswers(int(Main_DataModule->StatementKeys().size()));
                  Dialogs.Answers.push_back(Play<TTest_Form>([&](TTest_Form& t) { AnswerAll(t, answers); }));
                  ExpectInstruction(Dialogs, main, "Продолжить тестирование"_cp);
                  TarvikApplication->Security->SetPassword(kPsychologistPassword);
                  ExpectPassword(Dialogs, kPsychologistPassword);
                  main.StartTest_SmallAction->Execute();
                  EXPECT_TRUE(main.Visible()) << "the main window is back after the password";
                  EXPECT_EQ(main.ActiveControl(), main.Users_Grid) << "with the grid focused";
                  EXPECT_TRUE(Dialogs.Answers.empty()) << "every window of the road was shown";

                  // The grid shows the test, with its date and count.
                  TTestData stored;
                  TUser user;
                  ASSERT_TRUE(main.ReadFocusedTestee(user));
                  ASSERT_TRUE(Main_DataModule->ReadLastTest(user, stored));
                  PVirtualNode row = main.Users_Grid->FocusedNode();
                  EXPECT_EQ(WideToAnsi(main.Users_Grid->GetCellText(row, 10)), "1");
                  EXPECT_EQ(WideToAnsi(main.Users_Grid->GetCellText(row, 11)), DateToStr(stored.DATETEST));
                  EXPECT_EQ(int(stored.DATETEST), int(Date()));
                  EXPECT_EQ(stored.ANSWERS, AnswerText(answers));
                  EXPECT_GE(stored.TESTDURATION, 0);

                  // The stored answers score as each pair's points say: the digit to
                  // the first statement's scale, the rest to the second's.
                  std::vector<int> expected(ScaleCount, 0);
                  const std::vector<TStatementKeys>& keys = Main_DataModule->StatementKeys();
                  for (std::size_t i = 0; i < keys.size(); ++i) {
                      expected[std::size_t(keys[i].Key1)] += answers[i];
                      expected[std::size_t(keys[i].Key2)] += 5 - answers[i];
                  }
                  TTestResult result;
                  result.SetAnswers(stored.ANSWERS);
                  for (int scale = 0; scale < ScaleCount; ++scale)
                      EXPECT_EQ(result.GetRawScore(scale), expected[std::size_t(scale)])
                          << ScaleLetters[std::size_t(scale)];
              }),
              0);
    ASSERT_EQ(Boxes.Log.size(), 1u);
    EXPECT_EQ(Boxes.Log[0].Text, "Тестирование закончено!"_cp);
    EXPECT_EQ(Boxes.Log[0].Caption, "Информация"_cp);
    EXPECT_EQ(Boxes.Log[0].Icon(), unsigned(MB_ICONINFORMATION));
}

// The program runs its message loop once a process: the second run plays
// the road on the main window as start-up makes it.
using TestRoadAgainTest = AppFixture;

TEST_F(TestRoadAgainTest, AWriteThatFailsKeepsTheAnswersForAnotherTry) {
    std::filesystem::copy_file(SourceDir() + "/app/Instr.rtf", Folder.Path() + "Instr.rtf");
    AddTestee("Смирнова Анна");
    TMain_Form& main = *Open();
    main.Show();
    ExpectInstruction(Dialogs, main, "Начать тестирование"_cp);
    const std::vector<int> answers = TesteeAnswers(int(Main_DataModule->StatementKeys().size()));
    Dialogs.Answers.push_back(Play<TTest_Form>([&](TTest_Form& t) {
        // The connection to the main file drops before the last answer.
        AnswerAll(t, answers, [] { Main_DataModule->Main_IBDatabase->Close(); });
        EXPECT_EQ(t.ModalResult(), mrNone) << "the window stays";
        EXPECT_EQ(t.Questions->Number, t.Questions->Count) << "on the last pair";
        EXPECT_EQ(t.Selection1_RG->ItemIndex(), answers.back());
        std::vector<int32_t> kept(t.Answers.begin(), t.Answers.end());
        EXPECT_EQ(kept, std::vector<int32_t>(answers.begin(), answers.end())) << "nothing typed is lost";
        EXPECT_TRUE(t.NextQuestion_Action->Enabled());

        // Back again, "Далее" stores the same answers.
        Main_DataModule->Main_IBDatabase->Open();
        PressInWindow(&t, Qt::Key_Space, " ");
        EXPECT_EQ(t.ModalResult(), mrOk);
    }));
    ExpectInstruction(Dialogs, main, "Продолжить тестирование"_cp);
    ExpectPassword(Dialogs, ""); // the database start-up made has none
    main.StartTest_SmallAction->Execute();
    EXPECT_TRUE(Dialogs.Answers.empty());

    TUser user;
    ASSERT_TRUE(main.ReadFocusedTestee(user));
    TTestData stored;
    ASSERT_TRUE(Main_DataModule->ReadLastTest(user, stored));
    EXPECT_EQ(stored.ANSWERS, AnswerText(answers));
    EXPECT_EQ(WideToAnsi(main.Users_Grid->GetCellText(main.Users_Grid->FocusedNode(), 10)), "1");
    // Finished, the failed write and its error, what to do, finished again.
    std::vector<AnsiString> captions;
    for (const TMessageBoxRecord& box : Boxes.Log)
        captions.push_back(box.Caption);
    EXPECT_EQ(captions, (std::vector<AnsiString>{"Информация"_cp, "Error", "Ошибка"_cp, "Информация"_cp}));
}
