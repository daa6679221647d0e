// Requests to end the program reaching its windows on screen: a modal form
// is cancelled as its user would cancel it, then closed without asking; a
// message box answers its cancel answer; the main form closes last, hidden
// or not; SIGTERM and SIGINT reach the loops as requests.
#include <gtest/gtest.h>
#include <signal.h>

#include <QApplication>
#include <QWidget>
#include <functional>

#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/win/EndSignals.h"
#include "platform/win/MessageBox.h"

namespace {

class EndRequestsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Initialize();
        Application->ForgetEndRequests();
    }
    void TearDown() override { Application->ForgetEndRequests(); }

    // Calls Step with the tick's number every 20 ms while a loop runs. A
    // window still open after 100 ticks is closed, so that no test hangs.
    void EveryTick(std::function<void(int)> Step) {
        Timer.SetInterval(20);
        Timer.OnTimer = [this, Step](TObject*) {
            Step(++Ticks);
            if (Ticks == 100)
                if (QWidget* w = QApplication::activeModalWidget()) {
                    ADD_FAILURE() << "a window stayed open";
                    w->close();
                }
        };
        Timer.SetEnabled(true);
    }

    TTimer Timer{nullptr};
    int Ticks = 0;
};

TEST_F(EndRequestsTest, AModalFormIsCancelledAsItsUserWouldCancelIt) {
    TForm dialog(nullptr);
    int queries = 0;
    dialog.OnCloseQuery = [&](TObject*, bool&) { ++queries; };
    EveryTick([&](int Tick) {
        if (Tick == 2) Application->RequestEnd();
    });
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
    EXPECT_EQ(queries, 1) << "the form was asked, as when its user cancels it";
    EXPECT_FALSE(dialog.Visible());
}

TEST_F(EndRequestsTest, AFormThatRefusesStaysUntilTheSecondRequest) {
    TForm dialog(nullptr);
    int queries = 0;
    dialog.OnCloseQuery = [&](TObject*, bool& CanClose) {
        ++queries;
        CanClose = false;
    };
    bool openAfterFirst = false;
    EveryTick([&](int Tick) {
        if (Tick == 2) Application->RequestEnd();
        if (Tick == 6) {
            openAfterFirst = dialog.Widget()->isVisible();
            Application->RequestEnd();
        }
    });
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
    EXPECT_TRUE(openAfterFirst);
    EXPECT_EQ(queries, 2) << "asked once a request";
    EXPECT_FALSE(dialog.Visible());
}

TEST_F(EndRequestsTest, AnOpenMessageBoxAnswersItsCancelAnswer) {
    struct TCase {
        unsigned Flags;
        int Answer;
    } cases[] = {
        {MB_YESNO | MB_ICONQUESTION, IDNO},
        {MB_YESNOCANCEL, IDCANCEL},
        {MB_OKCANCEL, IDCANCEL},
        {MB_OK | MB_ICONERROR, IDOK},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Flags);
        Application->ForgetEndRequests();
        Ticks = 0;
        EveryTick([&](int Tick) {
            if (Tick == 2) Application->RequestEnd();
        });
        EXPECT_EQ(MessageBox("Удалить?"_cp, "Подтверждение удаления"_cp, c.Flags), c.Answer);
        EXPECT_LT(Ticks, 100);
        Timer.SetEnabled(false);
    }
}

TEST_F(EndRequestsTest, OnceEndingNoModalFormIsShownAndAfterTwoRequestsNoBox) {
    Application->RequestEnd();
    TForm dialog(nullptr);
    bool shown = false;
    dialog.OnShow = [&](TObject*) { shown = true; };
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
    EXPECT_FALSE(shown);

    Application->RequestEnd();
    EveryTick([](int) {});
    EXPECT_EQ(MessageBox("Сохранить?"_cp, "Подтверждение сохранения"_cp, MB_YESNO), IDNO);
    EXPECT_EQ(Ticks, 0) << "answered without a loop";
}

// Shown, or hidden as during a test on screen. A run ends the application's
// loop for good: each case needs a process of its own.
class EndRequestsMainFormTest : public EndRequestsTest, public ::testing::WithParamInterface<bool> {};

TEST_P(EndRequestsMainFormTest, TheMainFormClosesAsItsUserClosesIt) {
    const bool hidden = GetParam();
    TForm main(nullptr);
    int closes = 0;
    main.OnClose = [&](TObject*, TCloseAction&) { ++closes; };
    Application->SetMainForm(&main);
    EveryTick([&](int Tick) {
        if (Tick != 2) return;
        if (hidden) main.Hide();
        Application->RequestEnd();
    });
    Application->Run();
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(main.Visible());
    EXPECT_TRUE(Application->Terminated());
    Application->SetMainForm(nullptr);
}

INSTANTIATE_TEST_SUITE_P(ShownOrHidden, EndRequestsMainFormTest, ::testing::Bool());

TEST_F(EndRequestsTest, SignalsReachAModalLoop) {
    InstallEndSignalHandlers();
    for (int s : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(s);
        Application->ForgetEndRequests();
        TForm dialog(nullptr);
        Ticks = 0;
        EveryTick([&](int Tick) {
            if (Tick == 2) ::raise(s);
        });
        EXPECT_EQ(dialog.ShowModal(), mrCancel);
        EXPECT_LT(Ticks, 100);
        Timer.SetEnabled(false);
    }
}

} // namespace
