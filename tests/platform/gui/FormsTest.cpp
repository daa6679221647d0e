// Forms, the dialog and timer seams, the event boundary, placement and posted messages, driven through the
// controls' own methods.
#include <gtest/gtest.h>

#include <QWidget>

#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "platform/testing/ManualTimers.h"
#include "platform/testing/ScriptedDialogs.h"
#include "platform/testing/ScriptedMessageBoxes.h"

TEST(DialogSeamTest, ScriptedAnswersFillTheFormWithoutBlocking) {
    TScriptedDialogs dialogs;
    TScriptedMessageBoxes boxes;
    TForm form(nullptr);
    form.SetName("Card_Form");
    form.SetCaption("Карточка"_cp);
    auto* ok = new TButton(&form);
    ok->SetParent(&form);
    ok->ModalResult = mrOk;
    AnsiString typed;
    dialogs.Answers.push_back([&](TCustomForm* f) {
        EXPECT_TRUE(f->Modal());
        typed = "filled";
        ok->Click(); // the user presses OK
        return f->ModalResult();
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_EQ(form.ModalResult(), mrOk);
    EXPECT_FALSE(form.Modal());
    EXPECT_EQ(typed, "filled");
    EXPECT_EQ(form.ShowModal(), mrCancel) << "no answer left: cancelled";
    ASSERT_EQ(dialogs.Log.size(), 2u);
    EXPECT_EQ(dialogs.Log[0].FormName, "Card_Form");
    EXPECT_EQ(dialogs.Log[0].Caption, "Карточка"_cp);
    EXPECT_EQ(dialogs.Log[1].Result, mrCancel);

    boxes.Answers.push_back(IDNO);
    EXPECT_EQ(MessageBox("Удалить?"_cp, "Подтверждение удаления"_cp, MB_YESNO | MB_ICONQUESTION), IDNO);
    ASSERT_EQ(boxes.Log.size(), 1u);
    EXPECT_EQ(boxes.Log[0].Icon(), MB_ICONQUESTION);
}

TEST(DialogSeamTest, AVisibleFormCannotBeShownModally) {
    TScriptedDialogs dialogs;
    TForm form(nullptr);
    form.Show();
    EXPECT_THROW(form.ShowModal(), EInvalidOperation);
    EXPECT_TRUE(dialogs.Log.empty());
    form.Hide();
}

// A window asked for until the user gives the right answer would hang a
// script that ran out of answers; the seam stops it instead.
TEST(DialogSeamTest, AWindowAskedAgainAndAgainWithoutAnswersStops) {
    TScriptedDialogs dialogs;
    TForm form(nullptr);
    form.SetName("Password_Form");
    int shown = 0;
    EXPECT_THROW(
        for (;;) {
            if (form.ShowModal() == mrOk) break;
            ++shown;
        },
        Exception);
    EXPECT_EQ(shown, 100);

    dialogs.Answers.push_back([](TCustomForm*) { return int(mrOk); });
    EXPECT_EQ(form.ShowModal(), mrOk) << "an answer starts the count again";
    EXPECT_EQ(form.ShowModal(), mrCancel);
}

TEST(ExceptionBoundaryTest, AnErrorInAHandlerIsShownAndTheProgramGoesOn) {
    TScriptedMessageBoxes boxes;
    Application->SetTitle("Luvora");
    TForm form(nullptr);
    auto* button = new TButton(&form);
    button->SetParent(&form);
    int calls = 0;
    button->OnClick = [&](TObject*) {
        ++calls;
        throw EConvertError("'abc' is not a valid integer value");
    };
    // Through the layer's own boundary, as every Qt event is delivered.
    CallAtEventBoundary(button, [&] { button->Click(); });
    CallAtEventBoundary(button, [&] { throw std::runtime_error("plain"); });
    CallAtEventBoundary(button, [&] { button->Click(); });
    EXPECT_EQ(calls, 2);
    ASSERT_EQ(boxes.Log.size(), 3u);
    EXPECT_EQ(boxes.Log[0].Text, "'abc' is not a valid integer value");
    EXPECT_EQ(boxes.Log[0].Caption, "Luvora");
    EXPECT_EQ(boxes.Log[0].Icon(), MB_ICONERROR);
    EXPECT_EQ(boxes.Log[1].Text, "plain");

    std::vector<AnsiString> taken;
    Application->OnException = [&](TObject*, const Exception& E) { taken.push_back(E.Message); };
    CallAtEventBoundary(button, [&] { button->Click(); });
    Application->OnException = nullptr;
    EXPECT_EQ(taken.size(), 1u);
    EXPECT_EQ(boxes.Log.size(), 3u);
}

TEST(TimerTest, ManualClockFiresDueTimersAndErrorsStayInside) {
    TManualTimers clock;
    TScriptedMessageBoxes boxes;
    TTimer timer(nullptr);
    timer.SetInterval(100);
    int ticks = 0;
    timer.OnTimer = [&](TObject*) {
        if (++ticks == 3) throw Exception("tick");
    };
    clock.Advance(99);
    EXPECT_EQ(ticks, 0);
    clock.Advance(1);
    EXPECT_EQ(ticks, 1);
    clock.Advance(250);
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(boxes.Log.size(), 1u);
    EXPECT_EQ(GetTickCount(), 350);
    timer.SetEnabled(false);
    clock.Advance(1000);
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(clock.Running(&timer));
}

TEST(FormTest, CloseHidesAndAsksFirst) {
    TForm form(nullptr);
    form.Show();
    bool allow = false;
    form.OnCloseQuery = [&](TObject*, bool& CanClose) { CanClose = allow; };
    form.Close();
    EXPECT_TRUE(form.Visible());
    allow = true;
    TCloseAction seen = TCloseAction::caNone;
    form.OnClose = [&](TObject*, TCloseAction& A) { seen = A; };
    form.Close();
    EXPECT_EQ(seen, TCloseAction::caHide);
    EXPECT_FALSE(form.Visible());
}

TEST(TimerTest, ATimerStopsOnTheServiceItStartedOn) {
    auto clock = std::make_unique<TManualTimers>();
    auto outer = std::make_unique<TTimer>(nullptr);
    {
        TManualTimers inner;
        outer->SetInterval(10); // restarts on the inner clock
        EXPECT_TRUE(inner.Running(outer.get()));
        EXPECT_FALSE(clock->Running(outer.get()));
    }
    outer.reset(); // its clock is gone: nothing to stop, nothing to crash
    clock->Advance(100);
}

TEST(FormTest, EnterAndEscPressTheDefaultAndCancelButtons) {
    struct {
        uint16_t Key;
        bool DefaultEnabled;
        const char* Pressed;
    } cases[] = {
        {VK_RETURN, true, "ok"}, {VK_ESCAPE, true, "cancel"}, {VK_RETURN, false, ""}, {VK_SPACE, true, ""}};
    for (auto& c : cases) {
        TForm form(nullptr);
        AnsiString pressed;
        auto* ok = new TButton(&form);
        ok->SetParent(&form);
        ok->SetDefault(true);
        ok->SetEnabled(c.DefaultEnabled);
        ok->OnClick = [&](TObject*) { pressed += "ok"; };
        auto* cancel = new TButton(&form);
        cancel->SetParent(&form);
        cancel->Cancel = true;
        cancel->OnClick = [&](TObject*) { pressed += "cancel"; };
        LRESULT handled = form.Perform(CM_DIALOGKEY, c.Key, 0);
        EXPECT_EQ(pressed, c.Pressed) << c.Key << " " << c.DefaultEnabled;
        EXPECT_EQ(handled != 0, *c.Pressed != 0) << c.Key << " " << c.DefaultEnabled;
    }
}

TEST(FormPlacementLayerTest, StatesAndThePlacementRecord) {
    Application->Initialize();
    TForm form(nullptr);
    form.SetBounds(20, 30, 300, 200);
    // A state chosen while hidden is the window's when it shows.
    form.SetWindowState(TWindowState::wsMaximized);
    form.Show();
    EXPECT_TRUE(form.Widget()->isMaximized());
    TWindowPlacement placement;
    ASSERT_TRUE(GetWindowPlacement(&form, placement));
    EXPECT_EQ(placement.length, 44u);
    EXPECT_EQ(placement.showCmd, SW_SHOWMAXIMIZED);
    EXPECT_EQ(placement.rcNormalPosition, Bounds(20, 30, 300, 200));
    EXPECT_EQ(placement.ptMinPosition, (TPoint{-1, -1}));

    // The normal rectangle comes back when restored; setting the record
    // changes it and the state, never the visibility.
    placement.rcNormalPosition = Bounds(40, 50, 320, 220);
    placement.showCmd = SW_SHOWNORMAL;
    placement.ptMaxPosition = {-4, -4};
    SetWindowPlacement(&form, placement);
    EXPECT_EQ(form.WindowState(), TWindowState::wsNormal);
    EXPECT_EQ(form.BoundsRect(), Bounds(40, 50, 320, 220));
    GetWindowPlacement(&form, placement);
    EXPECT_EQ(placement.ptMaxPosition, (TPoint{-4, -4}));
    placement.showCmd = SW_HIDE;
    SetWindowPlacement(&form, placement);
    EXPECT_TRUE(form.Visible());

    // Window commands, and the program minimised with its main form.
    Application->SetMainForm(&form);
    form.Perform(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(Application->Minimized());
    form.Perform(WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(Application->Minimized());
    Application->SetMainForm(nullptr);
    form.Hide();
    EXPECT_GE(Screen->MonitorCount(), 1);
    TRect work = Screen->WorkAreaRect(), whole = Screen->MonitorBounds(0);
    EXPECT_TRUE(whole.Width() >= work.Width() && whole.Height() >= work.Height());
}

TEST(FormPlacementLayerTest, SizeLimitsComeFromTheMinMaxQuestion) {
    TForm form(nullptr);
    form.Constraints()->SetMinWidth(150);
    TMinMaxInfo info = form.MinMaxInfo();
    EXPECT_EQ(info.ptMinTrackSize.X, 150);
    // A handler in the control's message method changes the answer.
    TWndMethod own = form.WindowProc();
    form.SetWindowProc([&](TMessage& Msg) {
        own(Msg);
        if (Msg.Msg == WM_GETMINMAXINFO)
            reinterpret_cast<TMinMaxInfo*>(Msg.LParam)->ptMaxTrackSize = {400, 300};
    });
    form.Show();
    form.UpdateSizeLimits();
    EXPECT_EQ(form.Widget()->minimumWidth(), 150);
    EXPECT_EQ(form.Widget()->maximumWidth(), 400);
    EXPECT_EQ(form.Widget()->maximumHeight(), 300);
    form.SetWindowProc(nullptr);
    form.UpdateSizeLimits();
    EXPECT_EQ(form.Widget()->maximumWidth(), QWIDGETSIZE_MAX);
    form.Hide();
}

TEST(PostMessageTest, ArrivesAfterTheEventAndNeverAtAFreedControl) {
    Application->Initialize();
    struct TCounter : TWinControl {
        using TWinControl::TWinControl;
        int Got = 0;
        void WndProc(TMessage& Message) override {
            if (Message.Msg == 0x0401) ++Got;
            TWinControl::WndProc(Message);
        }
    };
    TCounter kept(nullptr);
    auto* freed = new TCounter(nullptr);
    PostMessage(&kept, 0x0401, 0, 0);
    PostMessage(freed, 0x0401, 0, 0);
    EXPECT_EQ(kept.Got, 0);
    delete freed;
    Application->ProcessMessages();
    EXPECT_EQ(kept.Got, 1);
}
