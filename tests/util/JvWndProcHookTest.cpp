// Window-procedure hooks: the order of hooks around the control's own
// handling, changes of the chain during a dispatch, controls freed while
// their message runs, and the window-hook component.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gui/Forms.h"
#include "util/JvWndProcHook.h"

namespace {
constexpr unsigned WM_PROBE = 0x0400;

// Logs the messages its own handling sees.
class TProbe : public TWinControl {
public:
    using TWinControl::TWinControl;
    std::vector<AnsiString>* Log = nullptr;
    void WndProc(TMessage& Message) override {
        if (Message.Msg == WM_PROBE && Log) Log->push_back("own");
        TWinControl::WndProc(Message);
    }
};

// A client of the hooks: each of its hooks logs its name and does what the
// test asks of it.
struct THookClient {
    AnsiString Name;
    std::vector<AnsiString>* Log;
    std::function<bool(TMessage&)> Action;
    bool Hook(TMessage& Msg) {
        if (Msg.Msg != WM_PROBE) return false;
        Log->push_back(Name);
        return Action ? Action(Msg) : false;
    }
    TJvControlHook AsHook() { return MakeControlHook<THookClient, &THookClient::Hook>(this); }
};

struct JvWndProcHookTest : ::testing::Test {
    std::vector<AnsiString> Log;
    TProbe* Control = new TProbe(nullptr);
    JvWndProcHookTest() { Control->Log = &Log; }
    ~JvWndProcHookTest() override {
        delete Control;
        Application->ProcessMessages();
    }
    THookClient Client(const AnsiString& Name, std::function<bool(TMessage&)> Action = nullptr) {
        return {Name, &Log, std::move(Action)};
    }
    LRESULT Send() {
        TProbe* target = Control;
        return target->Perform(WM_PROBE, 0, 0);
    }
};
} // namespace

TEST_F(JvWndProcHookTest, BeforeHooksRunFirstAndAHandledOneStopsTheRest) {
    THookClient before1 = Client("before1"), before2 = Client("before2"), after1 = Client("after1"),
                after2 = Client("after2");
    for (auto* c : {&before1, &before2})
        ASSERT_TRUE(HookManager()->AddHook(Control, c->AsHook(), TJvHookOrder::HookBefore));
    for (auto* c : {&after1, &after2})
        ASSERT_TRUE(HookManager()->AddHook(Control, c->AsHook(), TJvHookOrder::HookAfter));
    Send();
    EXPECT_EQ(Log, (std::vector<AnsiString>{"before1", "before2", "own", "after1", "after2"}));

    // An after hook that handles the message stops only the after hooks.
    Log.clear();
    after1.Action = [](TMessage&) { return true; };
    Send();
    EXPECT_EQ(Log, (std::vector<AnsiString>{"before1", "before2", "own", "after1"}));

    // A before hook that handles it keeps it from the control, and the
    // result is the hook's.
    Log.clear();
    before1.Action = [](TMessage& Msg) {
        Msg.Result = 7;
        return true;
    };
    EXPECT_EQ(Send(), 7);
    EXPECT_EQ(Log, (std::vector<AnsiString>{"before1"}));

    for (auto* c : {&before1, &before2})
        HookManager()->RemoveHook(Control, c->AsHook(), TJvHookOrder::HookBefore);
    for (auto* c : {&after1, &after2})
        HookManager()->RemoveHook(Control, c->AsHook(), TJvHookOrder::HookAfter);
}

TEST_F(JvWndProcHookTest, TheChainChangesWhileItIsWalked) {
    THookClient late = Client("late");
    THookClient self = Client("self");
    THookClient next = Client("next");
    THookClient last = Client("last");
    // A hook that removes itself: the walk goes on with the next one.
    self.Action = [&](TMessage&) {
        EXPECT_TRUE(HookManager()->RemoveHook(Control, self.AsHook(), TJvHookOrder::HookBefore));
        return false;
    };
    // The last after hook adds one, which runs in the same dispatch.
    last.Action = [&](TMessage&) {
        HookManager()->AddHook(Control, late.AsHook(), TJvHookOrder::HookAfter);
        return false;
    };
    HookManager()->AddHook(Control, self.AsHook(), TJvHookOrder::HookBefore);
    HookManager()->AddHook(Control, next.AsHook(), TJvHookOrder::HookBefore);
    HookManager()->AddHook(Control, last.AsHook(), TJvHookOrder::HookAfter);
    Send();
    EXPECT_EQ(Log, (std::vector<AnsiString>{"self", "next", "own", "last", "late"}));

    // RemoveHook tells whether it removed one.
    EXPECT_FALSE(HookManager()->RemoveHook(Control, self.AsHook(), TJvHookOrder::HookBefore));
    EXPECT_FALSE(HookManager()->RemoveHook(Control, next.AsHook(), TJvHookOrder::HookAfter));
    EXPECT_TRUE(HookManager()->RemoveHook(Control, next.AsHook(), TJvHookOrder::HookBefore));
    TProbe other(nullptr);
    EXPECT_FALSE(HookManager()->RemoveHook(&other, next.AsHook(), TJvHookOrder::HookBefore));
    HookManager()->RemoveHook(Control, last.AsHook(), TJvHookOrder::HookAfter);
    HookManager()->RemoveHook(Control, late.AsHook(), TJvHookOrder::HookAfter);
}

TEST_F(JvWndProcHookTest, TheLastHookGoneGivesTheControlBackItsOwnMethod) {
    // Someone put a method of their own in place before the chain came.
    Control->SetWindowProc([this](TMessage& Msg) {
        if (Msg.Msg == WM_PROBE) Log.push_back("theirs");
        Control->WndProc(Msg);
    });
    THookClient a = Client("a");
    HookManager()->AddHook(Control, a.AsHook(), TJvHookOrder::HookBefore);
    Send();
    HookManager()->RemoveHook(Control, a.AsHook(), TJvHookOrder::HookBefore);
    ASSERT_NE(HookManager()->FindChain(Control), nullptr) << "the chain stays for the next hook";
    EXPECT_FALSE(HookManager()->FindChain(Control)->Hooked());
    Send();
    EXPECT_EQ(Log, (std::vector<AnsiString>{"a", "theirs", "own", "theirs", "own"}));

    // Nothing is hooked for an unassigned hook or a control going away.
    EXPECT_FALSE(HookManager()->AddHook(Control, TJvControlHook{}, TJvHookOrder::HookBefore));
    EXPECT_FALSE(HookManager()->AddHook(nullptr, a.AsHook(), TJvHookOrder::HookBefore));
    auto* dying = new TProbe(nullptr);
    dying->Destroying();
    EXPECT_FALSE(HookManager()->AddHook(dying, a.AsHook(), TJvHookOrder::HookBefore));
    EXPECT_EQ(HookManager()->FindChain(dying), nullptr);
    delete dying;
}

TEST_F(JvWndProcHookTest, AControlFreedDuringItsMessageEndsTheWalkAndItsChainGoesLater) {
    THookClient before = Client("before");
    THookClient after = Client("after");
    HookManager()->AddHook(Control, before.AsHook(), TJvHookOrder::HookBefore);
    HookManager()->AddHook(Control, after.AsHook(), TJvHookOrder::HookAfter);
    TJvHookInfos* chain = HookManager()->FindChain(Control);
    ASSERT_NE(chain, nullptr);
    before.Action = [&](TMessage&) {
        delete std::exchange(Control, nullptr);
        // The release message must not free the chain under this walk,
        // even when a nested loop delivers it now.
        Application->ProcessMessages();
        return false;
    };
    EXPECT_EQ(Send(), 0);
    EXPECT_EQ(Log, (std::vector<AnsiString>{"before"})) << "neither the control nor the after hooks ran";
    EXPECT_FALSE(TJvReleaser::Shared()->Waiting(chain));
    Control = new TProbe(nullptr);
}

TEST_F(JvWndProcHookTest, AChainLeftByItsControlWaitsForTheReleaseMessage) {
    THookClient a = Client("a");
    auto* victim = new TProbe(nullptr);
    HookManager()->AddHook(victim, a.AsHook(), TJvHookOrder::HookBefore);
    TJvHookInfos* chain = HookManager()->FindChain(victim);
    delete victim;
    EXPECT_TRUE(chain->ControlDestroyed());
    EXPECT_TRUE(TJvReleaser::Shared()->Waiting(chain));
    Application->ProcessMessages();
    EXPECT_FALSE(TJvReleaser::Shared()->Waiting(chain));
}

TEST(JvWindowHookTest, EventsFollowActiveControlAndTheControlsEnd) {
    TForm owner(nullptr);
    auto* target = new TProbe(&owner);
    std::vector<AnsiString> log;
    target->Log = &log;
    auto* hook = new TJvWindowHook(&owner);
    hook->SetBeforeMessage([&](TObject* Sender, TMessage& Msg, bool& Handled) {
        EXPECT_EQ(Sender, hook);
        if (Msg.Msg == WM_PROBE) log.push_back("before");
        Handled = false;
    });
    hook->SetControl(target);
    hook->SetAfterMessage([&](TObject*, TMessage& Msg, bool&) {
        if (Msg.Msg == WM_PROBE) log.push_back("after");
    });
    target->Perform(WM_PROBE, 0, 0);
    EXPECT_EQ(log, (std::vector<AnsiString>{"before", "own", "after"}));

    log.clear();
    hook->SetActive(false);
    target->Perform(WM_PROBE, 0, 0);
    hook->SetActive(true);
    hook->SetAfterMessage(nullptr);
    target->Perform(WM_PROBE, 0, 0);
    EXPECT_EQ(log, (std::vector<AnsiString>{"own", "before", "own"}));

    delete target;
    EXPECT_EQ(hook->Control(), nullptr);
    hook->SetIsForm(true);
    EXPECT_EQ(hook->Control(), &owner);
    EXPECT_TRUE(hook->IsForm());
    Application->ProcessMessages();
}
