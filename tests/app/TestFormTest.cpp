// The questionnaire and its instruction: the coupled choices, Space and
// Escape, going back, closing before the end, the stored test and its
// duration, and the instruction file.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QFrame>
#include <QLabel>
#include <QTextEdit>
#include <filesystem>
#include <fstream>

#include "platform/canvas/QtCanvasSupport.h"

#include "AppFixture.h"
#include "DialogDriver.h"

namespace {

using TestFormTest = AppFixture;

// A questionnaire on the first pair, shown.
std::unique_ptr<TTest_Form> ShownTest() {
    auto form = std::make_unique<TTest_Form>(nullptr);
    form->StartTest();
    form->Show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form->Widget()));
    return form;
}

void Choose(TTest_Form& T, int Points) {
    T.Selection1_RG->SetItemIndex(Points);
}

void SendKey(QWidget* Target, QEvent::Type Type, bool AutoRepeat) {
    QKeyEvent e(Type, Qt::Key_Space, Qt::NoModifier, " ", AutoRepeat);
    QApplication::sendEvent(Target, &e);
}

} // namespace

// The first pair and the rule as the window shows them when it opens: each
// statement with one full stop, on its white box, and the rule on the
// information colour.
TEST_F(TestFormTest, TheFirstPairAndTheRuleShowWhenTheWindowOpens) {
    auto form = ShownTest();
    auto shown = [](TStaticText* Text) { return FromQtString(static_cast<QLabel*>(Text->Widget())->text()); };
    EXPECT_EQ(shown(form->Statement1_Text), form->Questions->Statement1 + ".");
    EXPECT_EQ(shown(form->Statement2_Text), form->Questions->Statement2 + ".");
    EXPECT_NE(shown(form->Statement1_Text).substr(shown(form->Statement1_Text).size() - 2), "..");
    EXPECT_EQ(shown(form->Rule_Text), form->Rule_Text->Caption());
    EXPECT_GT(shown(form->Rule_Text).size(), 100u);
    auto background = [](TStaticText* Text) {
        QWidget* w = Text->Widget();
        return w->autoFillBackground() ? FromQtColor(w->palette().color(QPalette::Window)) : TColor(-1);
    };
    EXPECT_EQ(background(form->Statement1_Text), ColorToRGB(clWhite));
    EXPECT_EQ(background(form->Rule_Text), ColorToRGB(clInfoBk));
    EXPECT_EQ(static_cast<QLabel*>(form->Statement1_Text->Widget())->frameShape(), QFrame::Box);
}

TEST_F(TestFormTest, EitherChoiceMakesTheOtherTheRestOfFivePoints) {
    struct TCase {
        int Group, Chosen, First, Second;
    };
    const TCase cases[] = {{2, 4, 1, 4}, {1, 0, 0, 5}, {1, 5, 5, 0}, {2, 3, 2, 3}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "group " << c.Group << " chose " << c.Chosen);
        TTest_Form form(nullptr);
        form.StartTest();
        EXPECT_FALSE(form.NextQuestion_Action->Enabled()) << "nothing chosen yet";
        (c.Group == 1 ? form.Selection1_RG : form.Selection2_RG)->SetItemIndex(c.Chosen);
        EXPECT_EQ(form.Selection1_RG->ItemIndex(), c.First);
        EXPECT_EQ(form.Selection2_RG->ItemIndex(), c.Second);
        EXPECT_TRUE(form.NextQuestion_Action->Enabled());
    }
}

TEST_F(TestFormTest, SpaceGoesOnOnlyAfterAChoiceAndOnceForAHeldKey) {
    auto form = ShownTest();
    TRadioButton* three = form->Selection1_RG->Buttons(3);
    form->SetActiveControl(three);
    PressInWindow(form.get(), Qt::Key_Space, " ");
    EXPECT_EQ(form->Questions->Number, 1) << "nothing chosen: Space does nothing";
    EXPECT_EQ(form->Selection1_RG->ItemIndex(), -1) << "and never checks the focused choice";

    Choose(*form, 3);
    PressInWindow(form.get(), Qt::Key_Space, " ");
    EXPECT_EQ(form->Questions->Number, 2);
    EXPECT_EQ(form->Answers[0], 3);
    EXPECT_EQ(form->Selection1_RG->ItemIndex(), -1) << "the new pair starts unanswered";
    Choose(*form, 1);
    PressInWindow(form.get(), Qt::Key_Space, " ");
    PressInWindow(form.get(), Qt::Key_Escape);
    PressInWindow(form.get(), Qt::Key_Escape);
    ASSERT_EQ(form->Questions->Number, 1);

    // A held Space on answered pairs: the window system repeats its press
    // (and, in Qt, a release) until it is let go.
    QWidget* target = form->ActiveControl() ? form->ActiveControl()->Widget() : form->Widget();
    SendKey(target, QEvent::KeyPress, false);
    for (int i = 0; i < 3; ++i) {
        SendKey(target, QEvent::KeyRelease, true);
        SendKey(target, QEvent::KeyPress, true);
    }
    SendKey(target, QEvent::KeyRelease, false);
    QApplication::processEvents();
    EXPECT_EQ(form->Questions->Number, 2) << "one pair on";
    PressInWindow(form.get(), Qt::Key_Space, " ");
    EXPECT_EQ(form->Questions->Number, 3) << "the next press goes on again";
    form->Hide();
}

TEST_F(TestFormTest, GoingBackShowsTheStoredSplitAndDropsAnUnconfirmedChoice) {
    TTest_Form form(nullptr);
    form.StartTest();
    EXPECT_FALSE(form.PrevQuestion_Action->Enabled());
    Choose(form, 2);
    form.NextQuestion_Action->Execute();
    EXPECT_TRUE(form.PrevQuestion_Action->Enabled());
    Choose(form, 4);
    form.NextQuestion_Action->Execute();
    form.PrevQuestion_Action->Execute();
    EXPECT_EQ(form.Questions->Number, 2);
    EXPECT_EQ(form.Selection1_RG->ItemIndex(), 4);
    EXPECT_EQ(form.Selection2_RG->ItemIndex(), 1);
    EXPECT_TRUE(form.NextQuestion_Action->Enabled());

    Choose(form, 0);
    form.PrevQuestion_Action->Execute();
    EXPECT_EQ(form.Questions->Number, 1);
    EXPECT_FALSE(form.PrevQuestion_Action->Enabled()) << "the first pair";
    EXPECT_EQ(form.Selection1_RG->ItemIndex(), 2);
    EXPECT_EQ(form.Selection2_RG->ItemIndex(), 3);
    form.NextQuestion_Action->Execute();
    EXPECT_EQ(form.Selection1_RG->ItemIndex(), 4) << "the choice left without \"Далее\" was not kept";
    EXPECT_EQ(form.Statement->Caption(),
              Format("Утверждение №%d из %d"_cp, {form.Questions->NumStatement, 28}));
    EXPECT_EQ(form.Statement1_Text->Caption(), form.Questions->Statement1 + ".");
}

TEST_F(TestFormTest, ClosingBeforeTheEndAsksAndStoresNothing) {
    TTestData test;
    test.USER_ID = AddTestee("Иванов");
    Dialogs.Answers.push_back(Play<TTest_Form>([](TTest_Form& t) {
        // Escape on the first pair, where there is no way back, is the
        // close box: it asks too.
        PressInWindow(&t, Qt::Key_Escape);
        EXPECT_EQ(t.ModalResult(), mrNone) << "No keeps the window";
        for (int pair = 1; pair < 10; ++pair) {
            Choose(t, pair % 6);
            PressInWindow(&t, Qt::Key_Space, " ");
        }
        t.Perform(WM_CLOSE, 0, 0);
        if (t.ModalResult() != mrNone) t.CloseModal();
        EXPECT_EQ(t.ModalResult(), mrNone);
        EXPECT_EQ(t.Questions->Number, 10) << "the test goes on where it was";
        t.Perform(WM_CLOSE, 0, 0);
        if (t.ModalResult() != mrNone) t.CloseModal();
        EXPECT_EQ(t.ModalResult(), mrCancel);
    }));
    Boxes.Answers = {IDNO, IDNO, IDYES};
    EXPECT_FALSE(RunTest(test));
    ASSERT_EQ(Boxes.Log.size(), 3u);
    for (const TMessageBoxRecord& box : Boxes.Log) {
        EXPECT_EQ(box.Text, "Тестирование еще не завершено. Прервать тестирование и не сохранять результаты "
                            "тестирования?"_cp);
        EXPECT_EQ(box.Caption, "Подтверждение окончания тестирования"_cp);
        EXPECT_EQ(box.Buttons(), unsigned(MB_YESNO));
        EXPECT_EQ(box.Icon(), unsigned(MB_ICONQUESTION));
    }
    TUser user;
    user.USER_ID = test.USER_ID;
    TTestData stored;
    EXPECT_FALSE(DM->ReadLastTest(user, stored)) << "nothing stored";
}

TEST_F(TestFormTest, ACompletedTestStoresADigitForEachPairItsEndAndItsDuration) {
    TTestData test;
    test.USER_ID = AddTestee("Иванов");
    TDateTime before = 0;
    Dialogs.Answers.push_back(Play<TTest_Form>([&](TTest_Form& t) {
        while (t.ModalResult() == mrNone && t.Questions->Number <= t.Questions->Count) {
            Choose(t, t.Questions->Number % 6);
            if (t.Questions->IsLast) {
                // Two and a half minutes and a bit since the first pair.
                before = Now();
                t.StartTime = before - 150.9 / 86400;
            }
            PressInWindow(&t, Qt::Key_Space, " ");
        }
    }));
    EXPECT_TRUE(RunTest(test));
    EXPECT_EQ(test.ANSWERS, "") << "the caller's record is not changed";
    TUser user;
    user.USER_ID = test.USER_ID;
    TTestData stored;
    ASSERT_TRUE(DM->ReadLastTest(user, stored));
    AnsiString expected;
    for (int pair = 1; pair <= 28; ++pair)
        expected += char('0' + pair % 6);
    EXPECT_EQ(stored.ANSWERS, expected);
    EXPECT_GE(stored.TESTDURATION, 150);
    EXPECT_LE(stored.TESTDURATION, 151);
    EXPECT_GE(stored.DATETEST, before - 1.0 / 86400) << "the end of the test";
    EXPECT_EQ(stored.COMMENTS, "");
    EXPECT_EQ(Boxes.Log.size(), 1u);
    EXPECT_EQ(Boxes.Log[0].Text, "Тестирование закончено!"_cp);
}

TEST(TestDurationTest, WholeSecondsEitherWayRound) {
    const TDateTime start = EncodeDate(2007, 5, 14) + EncodeTime(10, 0, 0, 0);
    struct TCase {
        double Seconds;
        int64_t Expected;
    };
    const TCase cases[] = {{150.9, 150}, {150, 150}, {0.4, 0}, {3600, 3600}, {86399.999, 86399}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Seconds);
        const TDateTime end = start + c.Seconds / 86400;
        EXPECT_EQ(TestDurationSeconds(start, end), c.Expected);
        EXPECT_EQ(TestDurationSeconds(end, start), c.Expected);
    }
}

using InstrFormTest = AppFixture;

TEST_F(InstrFormTest, TheShippedInstructionIsReadAndAMissingOneLeavesTheBoxEmpty) {
    {
        TInstr_Form empty(nullptr);
        EXPECT_EQ(empty.Instr_RichEdit->Lines()->Count(), 0) << "no file";
    }
    std::filesystem::copy_file(SourceDir() + "/app/Instr.rtf", Folder.Path() + "Instr.rtf");
    TInstr_Form form(nullptr);
    const TRtfDocument& doc = form.Instr_RichEdit->Document();
    ASSERT_GT(doc.Paragraphs.size(), 5u);
    const TRtfRun& title = doc.Paragraphs[0].Runs.at(0);
    EXPECT_EQ(WideToAnsi(title.Text), "Инструкция"_cp);
    EXPECT_TRUE(title.Bold);
    EXPECT_EQ(doc.Paragraphs[0].Alignment, TRtfAlignment::raCenter);
    EXPECT_EQ(title.FontName, "Arial");
    const AnsiString text = WideToAnsi(doc.Text());
    for (const char* words : {"28 пар утверждений", "«Далее»", "5–0, 4–1", "«Esc»", "«F1»"})
        EXPECT_NE(text.find(Utf8ToAnsi(words)), AnsiString::npos) << words;
    EXPECT_TRUE(form.Instr_RichEdit->ReadOnly());
}

TEST_F(InstrFormTest, AnInstructionThatCannotBeShownWholeSaysWhyInTheBox) {
    const std::string file = Folder.Path() + "Instr.rtf";
    struct TCase {
        const char* What;
        std::function<void()> Make;
        const char* Notice; // UTF-8, the box's first line
        std::string Text;   // what of the file follows it
    };
    std::string lines;
    for (int i = 0; i < 25000; ++i)
        lines += i ? "\na" : "a";
    const TCase cases[] = {
        {"a folder in its place", [&] { std::filesystem::create_directory(file); },
         "Инструкция не показана: файл ", ""},
        {"a pipe in its place, which no one writes to", [&] { ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0); },
         "Инструкция не показана: файл ", ""},
        {"larger than an instruction can be",
         [&] {
             std::ofstream(file) << "{\\rtf1 the start of a long text";
             std::filesystem::resize_file(file, (10 << 20) + 1);
         },
         "Инструкция не показана: файл ", ""},
        {"groups nested past the reader's limit",
         [&] { std::ofstream(file) << "{\\rtf1 before" + std::string(1500, '{') + "after"; },
         "Инструкция показана не полностью: в файле ", "before"},
        {"more lines than an instruction has (a line is a paragraph and a run)",
         [&] { std::ofstream(file) << lines + "\nb\nc\n"; }, "Инструкция показана не полностью: файл ",
         lines},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        std::filesystem::remove_all(file);
        c.Make();
        TInstr_Form form(nullptr);
        const QString shown = static_cast<QTextEdit*>(form.Instr_RichEdit->Widget())->toPlainText();
        const QStringList lines = shown.split(QChar('\n'));
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_TRUE(lines[0].startsWith(QString::fromUtf8(c.Notice))) << lines[0].toStdString();
        EXPECT_TRUE(lines[0].contains(QString::fromStdString(file))) << "the notice names the file";
        EXPECT_EQ(lines.mid(1).join('\n').toStdString(), c.Text);
        EXPECT_TRUE(form.Instr_RichEdit->Document().Paragraphs.at(0).Runs.at(0).Bold);
    }
    std::filesystem::remove_all(file);
    std::ofstream(file) << "{\\rtf1 An instruction of its own.\\par}";
    TInstr_Form sound(nullptr);
    EXPECT_EQ(static_cast<QTextEdit*>(sound.Instr_RichEdit->Widget())->toPlainText().toStdString(),
              "An instruction of its own.")
        << "no notice for a file read whole";
}

TEST_F(InstrFormTest, TheButtonEnterAndEscapeGoOnAndTheCloseBoxCancels) {
    struct TCase {
        const char* How;
        std::function<void(TInstr_Form&)> Do;
        int Result;
    };
    const TCase cases[] = {
        {"Enter", [](TInstr_Form& w) { PressInWindow(&w, Qt::Key_Return); }, mrOk},
        {"Escape", [](TInstr_Form& w) { PressInWindow(&w, Qt::Key_Escape); }, mrOk},
        {"the close box",
         [](TInstr_Form& w) {
             w.Perform(WM_CLOSE, 0, 0);
             w.CloseModal();
         },
         mrCancel},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.How);
        Dialogs.Answers.push_back(Play<TInstr_Form>([&](TInstr_Form& w) {
            EXPECT_EQ(w.BeginTesting_But->Caption(), "Продолжить тестирование"_cp);
            c.Do(w);
        }));
        EXPECT_EQ(ShowInstruction("Продолжить тестирование"_cp), c.Result);
    }
}
