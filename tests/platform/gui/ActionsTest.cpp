// Actions through the layer: clients that follow their action, updates
// while idle, shortcuts taken before the focused control (two actions on
// one shortcut included), and actions without a handler offered to the
// active form's controls.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include "platform/gui/ActnList.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "platform/testing/ScriptedMenus.h"

namespace {
TAction* NewAction(TActionList* List, const AnsiString& Caption, TShortCut Key,
                   std::vector<AnsiString>* Runs) {
    auto* action = new TAction(List->Owner());
    action->SetActionList(List);
    action->SetCaption(Caption);
    action->SetShortCut(Key);
    if (Runs) action->OnExecute = [Runs, action](TObject*) { Runs->push_back(action->Caption()); };
    return action;
}

// A control that takes the standard copy command while it has the focus,
// enabled when it has something selected.
class TEditor : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    bool Selection = true;
    int Copies = 0;
    std::vector<uint16_t> Keys;

    bool ExecuteAction(TBasicAction* Action) override {
        if (!dynamic_cast<TEditCopy*>(Action) || !Focused()) return TCustomControl::ExecuteAction(Action);
        ++Copies;
        return true;
    }
    bool UpdateAction(TBasicAction* Action) override {
        auto* copy = dynamic_cast<TEditCopy*>(Action);
        if (!copy || !Focused()) return TCustomControl::UpdateAction(Action);
        copy->SetEnabled(Selection);
        return true;
    }

protected:
    void KeyDown(uint16_t& Key, TShiftState Shift) override {
        Keys.push_back(Key);
        TCustomControl::KeyDown(Key, Shift);
    }
};

// An action that works on any editor it is offered, through the target
// protocol.
class TEditorAction : public TAction {
public:
    using TAction::TAction;
    std::vector<TObject*> Ran;
    bool HandlesTarget(TObject* Target) override { return dynamic_cast<TEditor*>(Target) != nullptr; }
    void UpdateTarget(TObject*) override { SetEnabled(true); }
    void ExecuteTarget(TObject* Target) override { Ran.push_back(Target); }
};

struct ActionsTest : ::testing::Test {
    void SetUp() override {
        Form.SetBounds(0, 0, 300, 200);
        Editor->SetParent(&Form);
        Editor->SetBounds(10, 10, 100, 100);
        Editor->SetTabStop(true);
        Other->SetParent(&Form);
        Other->SetBounds(150, 10, 100, 100);
        Other->SetTabStop(true);
    }
    void TearDown() override { Form.Hide(); }
    void Press(QWidget* Widget, Qt::Key Key, Qt::KeyboardModifiers Modifiers) {
        QTest::keyClick(Widget, Key, Modifiers);
        QApplication::processEvents();
    }

    TForm Form{nullptr};
    TActionList* List = new TActionList(&Form);
    TEditor* Editor = new TEditor(&Form);
    TEditor* Other = new TEditor(&Form);
};
} // namespace

TEST_F(ActionsTest, MenuItemsAndButtonsFollowTheirActionAndRunIt) {
    std::vector<AnsiString> runs;
    TAction* save = NewAction(List, "Сохранить..."_cp, ShortCut('S', ssCtrl), &runs);
    save->SetHint("Сохранить в RTF-файле"_cp);
    auto* button = new TButton(&Form);
    button->SetParent(&Form);
    button->SetAction(save);
    TPopupMenu menu(nullptr);
    auto* item = new TMenuItem(nullptr);
    menu.Items()->Add(item);
    item->SetAction(save);
    EXPECT_EQ(button->Caption(), "Сохранить..."_cp);
    EXPECT_EQ(button->Hint(), "Сохранить в RTF-файле"_cp);
    EXPECT_EQ(item->Caption(), "Сохранить..."_cp);
    EXPECT_EQ(item->ShortCut(), ShortCut('S', ssCtrl));
    EXPECT_EQ(button->Action(), save);

    save->SetCaption("Save");
    save->SetEnabled(false);
    save->SetVisible(false);
    EXPECT_EQ(button->Caption(), "Save");
    EXPECT_FALSE(button->Enabled());
    EXPECT_FALSE(item->Enabled());
    EXPECT_FALSE(item->Visible());
    save->SetEnabled(true);
    button->Click();
    item->Click();
    EXPECT_EQ(runs, (std::vector<AnsiString>{"Save", "Save"}));

    // An item's own handler runs instead of the action.
    item->OnClick = [&](TObject*) { runs.push_back("item"); };
    item->Click();
    EXPECT_EQ(runs.back(), "item");

    // Clients keep what they show when their action goes, and run nothing.
    delete save;
    EXPECT_EQ(button->Action(), nullptr);
    EXPECT_EQ(button->Caption(), "Save");
    button->Click();
    EXPECT_EQ(runs.size(), 3u);
    button->SetAction(nullptr);
    EXPECT_FALSE(button->OnClick) << "the click the link gave goes with it";
}

TEST_F(ActionsTest, UpdatesRunWhileIdleForShownFormsOnly) {
    int updates = 0;
    TAction* print = NewAction(List, "Печать..."_cp, scNone, nullptr);
    print->OnExecute = [](TObject*) {};
    print->OnUpdate = [&](TObject*) {
        ++updates;
        print->SetEnabled(Editor->Selection);
    };
    DoActionIdle();
    EXPECT_EQ(updates, 0) << "a hidden form's actions wait";
    Form.Show();
    Editor->Selection = false;
    DoActionIdle();
    EXPECT_EQ(updates, 1);
    EXPECT_FALSE(print->Enabled());

    // The layer updates them whenever the event loop goes idle.
    QEventLoop loop;
    QTimer::singleShot(20, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_GT(updates, 1);
    updates = 1;

    // The list sees every update first; one it handles goes no further.
    List->OnUpdate = [&](TBasicAction* Action, bool& Handled) { Handled = Action == print; };
    DoActionIdle();
    EXPECT_EQ(updates, 1);

    // Before a pop-up shows, its items' actions are updated.
    List->OnUpdate = nullptr;
    TScriptedMenus menus;
    TPopupMenu popup(nullptr);
    auto* item = new TMenuItem(nullptr);
    popup.Items()->Add(item);
    item->SetAction(print);
    Editor->Selection = true;
    menus.Answers.push_back(TScriptedMenus::Choose("Печать..."_cp));
    popup.Popup(0, 0);
    EXPECT_EQ(updates, 3) << "once before the menu shows, once as the chosen item runs it";
    EXPECT_TRUE(item->Enabled());
}

TEST_F(ActionsTest, KeysReachShortcutsBeforeTheFocusedControlAndTwoActionsOnOneKeyBothWork) {
    std::vector<AnsiString> runs;
    // As in the report windows: both carry Ctrl+P, the first in the list
    // gets the key while it is enabled.
    bool printerReady = true;
    TAction* printDirect = NewAction(List, "rvActionPrint1", ShortCut('P', ssCtrl), &runs);
    printDirect->OnUpdate = [&](TObject*) { printDirect->SetEnabled(printerReady); };
    TAction* printPreview = NewAction(List, "Print_Action", ShortCut('P', ssCtrl), &runs);
    TAction* add = NewAction(List, "NewUser", ShortCut(VK_INSERT, 0), &runs);
    add->SecondaryShortCuts()->Add("Ctrl+N");
    Form.Show();
    Editor->SetFocus();
    QWidget* widget = Editor->Widget();

    Press(widget, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(runs, (std::vector<AnsiString>{"rvActionPrint1"}));
    printerReady = false;
    Press(widget, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(runs.back(), "Print_Action") << "a disabled action leaves the key to the next";
    Press(widget, Qt::Key_Insert, Qt::NoModifier);
    Press(widget, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(runs, (std::vector<AnsiString>{"rvActionPrint1", "Print_Action", "NewUser", "NewUser"}));
    auto keysBesideCtrl = [&] {
        std::vector<uint16_t> keys;
        for (uint16_t k : Editor->Keys)
            if (k != VK_CONTROL) keys.push_back(k);
        return keys;
    };
    EXPECT_TRUE(keysBesideCtrl().empty()) << "a key a shortcut took never reaches the control";

    Press(widget, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(keysBesideCtrl(), (std::vector<uint16_t>{'Q'})) << "other keys do";
    EXPECT_EQ(runs.size(), 4u);

    // Without the window: the form's shortcuts directly.
    EXPECT_TRUE(Form.IsShortCut('P', ssCtrl));
    printPreview->SetEnabled(false);
    printPreview->OnUpdate = [](TObject*) {};
    EXPECT_FALSE(Form.IsShortCut('P', ssCtrl));
}

TEST_F(ActionsTest, AnActionWithoutAHandlerIsOfferedToTheActiveFormsControls) {
    auto* copy = new TEditCopy(&Form);
    copy->SetActionList(List);
    Form.Show();
    Editor->SetFocus();
    ASSERT_EQ(Screen->ActiveForm(), &Form);
    EXPECT_TRUE(copy->Update());
    EXPECT_TRUE(copy->Enabled());
    Editor->Selection = false;
    copy->Update();
    EXPECT_FALSE(copy->Enabled()) << "the focused control decides";
    EXPECT_FALSE(copy->Execute());
    Editor->Selection = true;
    EXPECT_TRUE(copy->Execute());
    EXPECT_EQ(Editor->Copies, 1);

    // Nothing takes it: an action without a handler disables itself.
    Form.SetActiveControl(nullptr);
    EXPECT_FALSE(copy->Update());
    EXPECT_FALSE(copy->Enabled());

    // Without a focused taker the form's visible controls are offered in
    // turn.
    auto* action = new TEditorAction(&Form);
    action->SetActionList(List);
    Editor->SetVisible(false);
    EXPECT_TRUE(action->Execute());
    EXPECT_EQ(action->Ran, (std::vector<TObject*>{Other}));
    Editor->SetVisible(true);
    Other->SetFocus();
    EXPECT_TRUE(action->Execute());
    EXPECT_EQ(action->Ran.back(), Other) << "the focused control first";
}

TEST_F(ActionsTest, CheckedActionsOfAGroupExcludeEachOther) {
    TAction* portrait = NewAction(List, "Portrait", scNone, nullptr);
    TAction* landscape = NewAction(List, "Landscape", scNone, nullptr);
    for (TAction* a : {portrait, landscape}) {
        a->OnExecute = [](TObject*) {};
        a->SetAutoCheck(true);
        a->SetGroupIndex(1);
    }
    portrait->Execute();
    EXPECT_TRUE(portrait->Checked());
    landscape->Execute();
    EXPECT_TRUE(landscape->Checked());
    EXPECT_FALSE(portrait->Checked());
    landscape->Execute();
    EXPECT_TRUE(landscape->Checked()) << "a checked action of a group stays checked";
}
