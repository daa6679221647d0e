// Window-procedure hooks: clients watch the messages of a control they do
// not own, before and after the control's own handling, through one chain
// per control that has taken the control's message method; a releaser frees
// objects once the event being handled has returned.
#pragma once

#include <memory>
#include <vector>

#include "platform/gui/Controls.h"
#include "util/JvComponent.h"

// A hook: code bound to an object. It answers whether it handled the
// message. Two hooks are the same when code and object both are.
struct TJvControlHook {
    void* Object = nullptr;
    bool (*Code)(void* Object, TMessage& Msg) = nullptr;
    bool Assigned() const { return Code != nullptr; }
    bool operator()(TMessage& Msg) const { return Code(Object, Msg); }
    friend bool operator==(const TJvControlHook&, const TJvControlHook&) = default;
};
// The hook that calls Method of Object.
template <class T, bool (T::*Method)(TMessage&)> TJvControlHook MakeControlHook(T* Object) {
    return {Object, [](void* O, TMessage& Msg) { return (static_cast<T*>(O)->*Method)(Msg); }};
}

enum class TJvHookOrder { HookBefore, HookAfter };

class TJvWndProcHook;

// The chain of one hooked control: its dispatcher stands in the control's
// message method and calls the hooks before and after the control's own.
class TJvHookInfos : public TObject {
public:
    TJvHookInfos(TControl* Control, TJvWndProcHook* Manager);
    ~TJvHookInfos() override;

    TControl* Control() const { return FControl; }
    bool ControlDestroyed() const { return FControlDestroyed; }
    bool Hooked() const { return FHooked; }
    void AppendHook(const TJvControlHook& Hook, TJvHookOrder Order);
    // False when no node of that order has the hook.
    bool DeleteHook(const TJvControlHook& Hook, TJvHookOrder Order);
    void HookedWindowProc(TMessage& Msg);
    // The control is going: nothing is put back into it, and the chain is
    // freed once the event being handled has returned.
    void MarkControlDestroyed();
    // Frees the chain now, or, while one of its dispatches runs, when the
    // outermost one ends.
    void FreeWhenIdle();
    // Levels of dispatch in progress.
    int Depth() const { return FDepth; }
    // Detaches from the manager without telling it.
    void ForgetManager() { FManager = nullptr; }

private:
    struct TNode {
        TJvControlHook Hook;
        TNode* Next = nullptr;
    };
    struct TLevel {
        TNode* NextBefore = nullptr;
        TNode* NextAfter = nullptr;
    };
    TNode*& First(TJvHookOrder Order) {
        return Order == TJvHookOrder::HookBefore ? FFirstBefore : FFirstAfter;
    }
    TNode*& Last(TJvHookOrder Order) { return Order == TJvHookOrder::HookBefore ? FLastBefore : FLastAfter; }
    TNode*& Position(TLevel& Level, TJvHookOrder Order) {
        return Order == TJvHookOrder::HookBefore ? Level.NextBefore : Level.NextAfter;
    }
    void Subclass();
    void Unsubclass();
    void PushLevel();
    void PopLevel();
    // The before hooks, the control's own handling, the after hooks.
    void Walk(TMessage& Msg, int Level);
    static void FreeList(TNode*& First, TNode*& Last);

    TNode* FFirstBefore = nullptr;
    TNode* FLastBefore = nullptr;
    TNode* FFirstAfter = nullptr;
    TNode* FLastAfter = nullptr;
    std::vector<TLevel> FStack;
    int FDepth = 0;
    TControl* FControl;
    bool FControlDestroyed = false;
    TWndMethod FOldWndProc;
    bool FHooked = false;
    TJvWndProcHook* FManager;
    bool FFreePending = false;
};

// The process-wide hook manager: one chain per hooked control.
class TJvWndProcHook : public TComponent {
public:
    TJvWndProcHook();
    ~TJvWndProcHook() override;
    // False, doing nothing, for no control, a control being destroyed or an
    // unassigned hook. The same hook may be added twice and then runs twice.
    bool AddHook(TControl* Control, const TJvControlHook& Hook, TJvHookOrder Order);
    // True when a hook of that order was found and removed.
    bool RemoveHook(TControl* Control, const TJvControlHook& Hook, TJvHookOrder Order);
    // The chain of Control, or nullptr.
    TJvHookInfos* FindChain(TControl* Control) const;
    void Detach(TJvHookInfos* Chain);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::vector<TJvHookInfos*> FChains;
};
TJvWndProcHook* HookManager();

// Message of the releaser's hidden window: WParam the object to free.
constexpr unsigned CM_RELEASE_LATER = 0xB021;

// Frees objects once the event being handled has returned, through a
// message posted to a hidden window.
class TJvReleaser : public TObject {
public:
    TJvReleaser();
    ~TJvReleaser() override;
    static TJvReleaser* Shared();
    // Nothing for an object already waiting.
    void ReleaseLater(TObject* Object);
    bool Waiting(TObject* Object) const;

private:
    class TWindow;
    void ReleaseNow(TObject* Object);
    std::unique_ptr<TWindow> FWindow;
    std::vector<TObject*> FWaiting;
};

using TJvHookMessageEvent = std::function<void(TObject* Sender, TMessage& Msg, bool& Handled)>;

// The component front end: events before and after the messages of Control.
class TJvWindowHook : public TJvComponent {
public:
    explicit TJvWindowHook(TComponent* AOwner);
    ~TJvWindowHook() override;

    bool Active() const { return FActive; }
    void SetActive(bool Value);
    TControl* Control() const { return FControl; }
    void SetControl(TControl* Value);
    const TJvHookMessageEvent& BeforeMessage() const { return FBeforeMessage; }
    void SetBeforeMessage(TJvHookMessageEvent Value);
    const TJvHookMessageEvent& AfterMessage() const { return FAfterMessage; }
    void SetAfterMessage(TJvHookMessageEvent Value);
    // Streaming: the control is the owner form.
    bool IsForm() const;
    void SetIsForm(bool Value);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual bool FireAfterMessage(TMessage& Msg);
    virtual bool FireBeforeMessage(TMessage& Msg);

private:
    TJvControlHook BeforeHook() {
        return MakeControlHook<TJvWindowHook, &TJvWindowHook::FireBeforeMessage>(this);
    }
    TJvControlHook AfterHook() {
        return MakeControlHook<TJvWindowHook, &TJvWindowHook::FireAfterMessage>(this);
    }
    bool FActive = true;
    TControl* FControl = nullptr;
    TJvHookMessageEvent FBeforeMessage;
    TJvHookMessageEvent FAfterMessage;
};
