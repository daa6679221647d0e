// Activation and the focus that goes with it: forms and the program gain
// and lose the activation with their messages, the focused control hears
// of it without entering or leaving, and a window shown without activation
// leaves the active window as it was.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>

#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"

namespace {
// Logs the messages of activation and focus, with their parameters.
class TLoggingForm : public TForm {
public:
    using TForm::TForm;
    std::vector<TMessage> Seen;
    LRESULT MouseActivateAnswer = MA_ACTIVATE;
    void WndProc(TMessage& Message) override {
        if (Message.Msg == WM_ACTIVATE || Message.Msg == WM_ACTIVATEAPP || Message.Msg == WM_MOUSEACTIVATE)
            Seen.push_back(Message);
        if (Message.Msg == WM_MOUSEACTIVATE) {
            Message.Result = MouseActivateAnswer;
            return;
        }
        TForm::WndProc(Message);
    }
};

class TField : public TCustomControl {
public:
    explicit TField(TForm* Form) : TCustomControl(Form) {
        SetParent(Form);
        SetTabStop(true);
        SetBounds(10, 10, 60, 30);
        OnEnter = [this](TObject*) { Log.push_back("enter"); };
        OnExit = [this](TObject*) { Log.push_back("exit"); };
    }
    std::vector<AnsiString> Log;
    std::vector<TMessage> Focus;
    void WndProc(TMessage& Message) override {
        if (Message.Msg == WM_SETFOCUS || Message.Msg == WM_KILLFOCUS) {
            Focus.push_back(Message);
            Log.push_back(Message.Msg == WM_SETFOCUS ? "set" : "kill");
        }
        TCustomControl::WndProc(Message);
    }
};

void Pump() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

std::vector<AnsiString> Activations(const TLoggingForm& Form) {
    std::vector<AnsiString> out;
    for (const TMessage& m : Form.Seen) {
        if (m.Msg == WM_ACTIVATE) out.push_back((m.WParam & LowWordMask) == WA_INACTIVE ? "off" : "on");
        if (m.Msg == WM_ACTIVATEAPP) out.push_back(m.WParam ? "app on" : "app off");
    }
    return out;
}

// Two forms side by side, the first one shown and active.
struct ActivationTest : ::testing::Test {
    TLoggingForm A{nullptr}, B{nullptr};
    TField* FieldA = new TField(&A);
    TField* FieldB = new TField(&B);
    std::vector<AnsiString> Events;
    ActivationTest() {
        Application->SetActive(true);
        A.SetBounds(10, 10, 200, 150);
        B.SetBounds(300, 10, 200, 150);
        for (TLoggingForm* f : {&A, &B}) {
            f->OnActivate = [this, f](TObject*) { Events.push_back(f == &A ? "A activate" : "B activate"); };
            f->OnDeactivate = [this, f](TObject*) {
                Events.push_back(f == &A ? "A deactivate" : "B deactivate");
            };
        }
        A.Show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(A.Widget()));
        FieldA->SetFocus();
        B.SetActiveControl(FieldB);
        Pump();
        Events.clear();
        A.Seen.clear();
        FieldA->Log.clear();
        FieldA->Focus.clear();
        FieldB->Log.clear();
    }
    ~ActivationTest() override {
        Application->OnActivate = nullptr;
        Application->OnDeactivate = nullptr;
        A.Hide();
        B.Hide();
        Pump();
        Application->SetActive(true);
    }
};
} // namespace

TEST_F(ActivationTest, ShowingAnotherFormMovesTheActivationAndTheFocus) {
    EXPECT_TRUE(A.Active());
    EXPECT_TRUE(FieldA->Focused());
    B.Show();
    Pump();
    EXPECT_EQ(Screen->ActiveForm(), &B);
    EXPECT_FALSE(A.Active());
    EXPECT_TRUE(B.Active());
    EXPECT_EQ(Activations(A), std::vector<AnsiString>{"off"});
    EXPECT_EQ(A.Seen[0].LParam, LPARAM(static_cast<TCustomForm*>(&B))) << "names the form that takes it";
    EXPECT_EQ(Events, (std::vector<AnsiString>{"A deactivate", "B activate"}));
    // The focus goes to the other window: no exit from the control.
    EXPECT_EQ(FieldA->Log, std::vector<AnsiString>{"kill"});
    EXPECT_EQ(FieldA->Focus[0].WParam, WPARAM(static_cast<TWinControl*>(FieldB)));
    EXPECT_EQ(FieldB->Log, std::vector<AnsiString>{"set"});
    EXPECT_EQ(FieldB->Focus[0].WParam, WPARAM(static_cast<TWinControl*>(FieldA)));
    EXPECT_EQ(A.ActiveControl(), FieldA) << "the form keeps its control";

    // Back through the window system: the focus comes back to the control.
    A.Widget()->activateWindow();
    Pump();
    EXPECT_EQ(Screen->ActiveForm(), &A);
    EXPECT_EQ(FieldA->Log, (std::vector<AnsiString>{"kill", "set"}));
    EXPECT_EQ(FieldB->Log, (std::vector<AnsiString>{"set", "kill"}));
    EXPECT_EQ(QApplication::activeWindow(), A.Widget());
}

TEST_F(ActivationTest, FocusWithinAFormEntersAndExits) {
    auto* second = new TField(&A);
    second->SetTop(50);
    second->SetFocus();
    EXPECT_EQ(FieldA->Log, (std::vector<AnsiString>{"exit", "kill"}));
    EXPECT_EQ(second->Log, (std::vector<AnsiString>{"set", "enter"}));
    // A form without the activation keeps the choice for later.
    B.Show();
    Pump();
    FieldA->Log.clear();
    second->Log.clear();
    FieldA->SetFocus();
    EXPECT_EQ(second->Log, std::vector<AnsiString>{"exit"});
    EXPECT_EQ(FieldA->Log, std::vector<AnsiString>{"enter"});
    Screen->SetActiveForm(&A);
    EXPECT_EQ(FieldA->Log, (std::vector<AnsiString>{"enter", "set"}));
}

TEST_F(ActivationTest, TheProgramLosingTheActivationTellsEveryForm) {
    B.Show();
    Pump();
    A.Seen.clear();
    B.Seen.clear();
    FieldB->Log.clear();
    std::vector<AnsiString> app;
    Application->OnActivate = [&](TObject*) { app.push_back("on"); };
    Application->OnDeactivate = [&](TObject*) { app.push_back("off"); };
    Application->SetActive(false);
    EXPECT_FALSE(B.Active());
    EXPECT_EQ(Screen->ActiveForm(), &B) << "the last active form keeps its place";
    EXPECT_EQ(Activations(B), (std::vector<AnsiString>{"off", "app off"}));
    EXPECT_EQ(Activations(A), std::vector<AnsiString>{"app off"});
    EXPECT_EQ(B.Seen[0].LParam, 0) << "another program's window";
    EXPECT_EQ(FieldB->Log, std::vector<AnsiString>{"kill"});
    EXPECT_EQ(FieldB->Focus.back().WParam, 0u);
    Application->SetActive(true);
    EXPECT_TRUE(B.Active());
    EXPECT_EQ(Activations(B), (std::vector<AnsiString>{"off", "app off", "app on", "on"}));
    EXPECT_EQ(FieldB->Log, (std::vector<AnsiString>{"kill", "set"}));
    EXPECT_EQ(app, (std::vector<AnsiString>{"off", "on"}));
}

TEST_F(ActivationTest, AWindowShownWithoutActivationLeavesTheActiveOneAsItWas) {
    B.ShowNoActivate();
    Pump();
    EXPECT_TRUE(B.Widget()->isVisible());
    EXPECT_EQ(Screen->ActiveForm(), &A);
    EXPECT_TRUE(A.Active());
    EXPECT_FALSE(B.Active());
    EXPECT_TRUE(A.Seen.empty()) << "no message of activation at all";
    EXPECT_TRUE(Events.empty());
    EXPECT_TRUE(FieldA->Log.empty()) << "the focus stayed";
    EXPECT_EQ(QApplication::activeWindow(), A.Widget());

    // A click activates it, unless it answers that it does not take it.
    B.MouseActivateAnswer = MA_NOACTIVATE;
    QTest::mouseClick(FieldB->Widget(), Qt::LeftButton);
    Pump();
    EXPECT_TRUE(A.Active());
    ASSERT_FALSE(B.Seen.empty());
    EXPECT_EQ(B.Seen.back().Msg, WM_MOUSEACTIVATE);
    B.MouseActivateAnswer = MA_ACTIVATE;
    QTest::mouseClick(FieldB->Widget(), Qt::LeftButton);
    Pump();
    EXPECT_TRUE(B.Active());
    EXPECT_EQ(Screen->ActiveForm(), &B);
}

TEST_F(ActivationTest, AWindowThatTakesNoFocusIsNeverActivated) {
    B.SetTakesFocus(false);
    B.Show();
    Pump();
    QTest::mouseClick(FieldB->Widget(), Qt::LeftButton);
    Pump();
    EXPECT_TRUE(B.Widget()->isVisible());
    EXPECT_TRUE(A.Active());
    EXPECT_FALSE(B.Active());
    EXPECT_TRUE(FieldA->Log.empty());
}

// Qt would give a window that shows the first control of its focus chain.
TEST(ActivationFocusTest, TheControlChosenWhileHiddenHasTheFocusWhenTheFormShows) {
    TForm form(nullptr);
    form.SetBounds(10, 10, 200, 150);
    auto* first = new TEdit(&form);
    first->SetParent(&form);
    auto* chosen = new TEdit(&form);
    chosen->SetParent(&form);
    chosen->SetTop(50);
    ASSERT_TRUE(form.SetActiveControl(chosen));
    form.Show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.Widget()));
    Pump();
    EXPECT_EQ(form.ActiveControl(), chosen);
    EXPECT_TRUE(chosen->Widget()->hasFocus());
    form.Hide();
    Pump();
}
