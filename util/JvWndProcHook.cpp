// The hook chains, the hook manager, the releaser and the window-hook
// component.
#include "util/JvWndProcHook.h"

#include <algorithm>
#include <utility>

#include "platform/gui/Forms.h"
#include "util/JclUnitVersioning.h"

LIBRARY_UNIT_VERSION("util/JvWndProcHook.cpp", "1", "2026-12-11", "JvLib\\run")

namespace {
TJvWndProcHook* gManager = nullptr;
TJvReleaser* gReleaser = nullptr;

// The unit's end: the releaser first (freeing what waits), then the manager.
struct TUnitEnd {
    ~TUnitEnd() {
        delete std::exchange(gReleaser, nullptr);
        delete std::exchange(gManager, nullptr);
    }
} gUnitEnd;
} // namespace

// TJvHookInfos

TJvHookInfos::TJvHookInfos(TControl* Control, TJvWndProcHook* Manager)
    : FControl(Control), FManager(Manager) {}

TJvHookInfos::~TJvHookInfos() {
    if (FManager) FManager->Detach(this);
    Unsubclass();
    FreeList(FFirstBefore, FLastBefore);
    FreeList(FFirstAfter, FLastAfter);
}

void TJvHookInfos::FreeList(TNode*& First, TNode*& Last) {
    while (First) {
        TNode* next = First->Next;
        delete First;
        First = next;
    }
    Last = nullptr;
}

void TJvHookInfos::AppendHook(const TJvControlHook& Hook, TJvHookOrder Order) {
    auto* node = new TNode{Hook, nullptr};
    if (Last(Order))
        Last(Order)->Next = node;
    else
        First(Order) = node;
    Last(Order) = node;
    // A walk that has reached the end of this list goes on with the new node.
    for (int i = 0; i < FDepth; ++i) {
        TNode*& at = Position(FStack[std::size_t(i)], Order);
        if (!at) at = node;
    }
    Subclass();
}

bool TJvHookInfos::DeleteHook(const TJvControlHook& Hook, TJvHookOrder Order) {
    TNode* prev = nullptr;
    TNode* node = First(Order);
    while (node && !(node->Hook == Hook)) {
        prev = node;
        node = node->Next;
    }
    if (!node) return false;
    if (prev)
        prev->Next = node->Next;
    else
        First(Order) = node->Next;
    if (Last(Order) == node) Last(Order) = prev;
    for (int i = 0; i < FDepth; ++i) {
        TNode*& at = Position(FStack[std::size_t(i)], Order);
        if (at == node) at = node->Next;
    }
    delete node;
    if (!FFirstBefore && !FFirstAfter) Unsubclass();
    return true;
}

void TJvHookInfos::Subclass() {
    if (FHooked || FControlDestroyed) return;
    FOldWndProc = FControl->WindowProc();
    FControl->SetWindowProc([this](TMessage& Msg) { HookedWindowProc(Msg); });
    FHooked = true;
}

void TJvHookInfos::Unsubclass() {
    if (FHooked && !FControlDestroyed) FControl->SetWindowProc(FOldWndProc);
    FHooked = false;
}

void TJvHookInfos::PushLevel() {
    if (FDepth >= int(FStack.size())) FStack.resize(2 * (FStack.size() + 1));
    FStack[std::size_t(FDepth)] = TLevel{FFirstBefore, nullptr};
    ++FDepth;
}

void TJvHookInfos::PopLevel() {
    if (FDepth > 0) --FDepth;
}

void TJvHookInfos::HookedWindowProc(TMessage& Msg) {
    Msg.Result = 0;
    PushLevel();
    try {
        Walk(Msg, FDepth - 1);
    } catch (...) {
        PopLevel();
        if (FFreePending && FDepth == 0) delete this;
        throw;
    }
    PopLevel();
    if (FFreePending && FDepth == 0) delete this;
}

void TJvHookInfos::Walk(TMessage& Msg, int Level) {
    // Copied: a hook may change what the chain holds.
    TWndMethod own = FOldWndProc;
    while (TNode* node = FStack[std::size_t(Level)].NextBefore) {
        FStack[std::size_t(Level)].NextBefore = node->Next;
        if (node->Hook(Msg) || FControlDestroyed) return;
    }
    own(Msg);
    if (FControlDestroyed) return;
    FStack[std::size_t(Level)].NextAfter = FFirstAfter;
    while (TNode* node = FStack[std::size_t(Level)].NextAfter) {
        FStack[std::size_t(Level)].NextAfter = node->Next;
        if (node->Hook(Msg) || FControlDestroyed) return;
    }
}

void TJvHookInfos::MarkControlDestroyed() {
    if (FControlDestroyed) return;
    FControlDestroyed = true;
    FOldWndProc = nullptr;
    if (FManager) FManager->Detach(this);
    FManager = nullptr;
    TJvReleaser::Shared()->ReleaseLater(this);
}

void TJvHookInfos::FreeWhenIdle() {
    if (FDepth > 0) {
        FFreePending = true;
        return;
    }
    delete this;
}

// TJvWndProcHook

TJvWndProcHook::TJvWndProcHook() : TComponent(nullptr) {}

TJvWndProcHook::~TJvWndProcHook() {
    std::vector<TJvHookInfos*> chains = std::move(FChains);
    FChains.clear();
    for (TJvHookInfos* chain : chains) {
        chain->ForgetManager();
        if (!chain->ControlDestroyed()) chain->Control()->RemoveFreeNotification(this);
        chain->FreeWhenIdle();
    }
}

TJvHookInfos* TJvWndProcHook::FindChain(TControl* Control) const {
    for (TJvHookInfos* chain : FChains)
        if (chain->Control() == Control) return chain;
    return nullptr;
}

bool TJvWndProcHook::AddHook(TControl* Control, const TJvControlHook& Hook, TJvHookOrder Order) {
    if (!Control || Control->IsDestroying() || !Hook.Assigned()) return false;
    TJvHookInfos* chain = FindChain(Control);
    if (!chain) {
        chain = new TJvHookInfos(Control, this);
        FChains.push_back(chain);
        Control->FreeNotification(this);
    }
    chain->AppendHook(Hook, Order);
    return true;
}

bool TJvWndProcHook::RemoveHook(TControl* Control, const TJvControlHook& Hook, TJvHookOrder Order) {
    if (!Control || !Hook.Assigned()) return false;
    TJvHookInfos* chain = FindChain(Control);
    return chain && chain->DeleteHook(Hook, Order);
}

void TJvWndProcHook::Detach(TJvHookInfos* Chain) {
    std::erase(FChains, Chain);
}

void TJvWndProcHook::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    for (TJvHookInfos* chain : std::vector<TJvHookInfos*>(FChains))
        if (chain->Control() == AComponent) chain->MarkControlDestroyed();
}

TJvWndProcHook* HookManager() {
    if (!gManager) gManager = new TJvWndProcHook();
    return gManager;
}

// TJvReleaser

class TJvReleaser::TWindow : public TWinControl {
public:
    TWindow(TJvReleaser* Releaser) : TWinControl(nullptr), FReleaser(Releaser) {}
    void WndProc(TMessage& Message) override {
        if (Message.Msg == CM_RELEASE_LATER) {
            FReleaser->ReleaseNow(reinterpret_cast<TObject*>(Message.WParam));
            return;
        }
        TWinControl::WndProc(Message);
    }

private:
    TJvReleaser* FReleaser;
};

TJvReleaser::TJvReleaser() = default;

TJvReleaser::~TJvReleaser() {
    std::vector<TObject*> waiting = std::move(FWaiting);
    FWaiting.clear();
    for (TObject* object : waiting)
        ReleaseNow(object);
}

TJvReleaser* TJvReleaser::Shared() {
    if (!gReleaser) gReleaser = new TJvReleaser();
    return gReleaser;
}

bool TJvReleaser::Waiting(TObject* Object) const {
    return std::find(FWaiting.begin(), FWaiting.end(), Object) != FWaiting.end();
}

void TJvReleaser::ReleaseLater(TObject* Object) {
    if (!Object || Waiting(Object)) return;
    FWaiting.push_back(Object);
    if (!FWindow) FWindow = std::make_unique<TWindow>(this);
    PostMessage(FWindow.get(), CM_RELEASE_LATER, WPARAM(Object), 0);
}

void TJvReleaser::ReleaseNow(TObject* Object) {
    std::erase(FWaiting, Object);
    // A chain still dispatching is freed when its dispatch ends.
    if (auto* chain = dynamic_cast<TJvHookInfos*>(Object))
        chain->FreeWhenIdle();
    else
        delete Object;
}

// TJvWindowHook

TJvWindowHook::TJvWindowHook(TComponent* AOwner) : TJvComponent(AOwner) {}

TJvWindowHook::~TJvWindowHook() {
    SetActive(false);
    SetControl(nullptr);
}

void TJvWindowHook::SetActive(bool Value) {
    if (Value != FActive && !(ComponentState() & csDesigning)) {
        if (Value) {
            if (FAfterMessage) HookManager()->AddHook(FControl, AfterHook(), TJvHookOrder::HookAfter);
            if (FBeforeMessage) HookManager()->AddHook(FControl, BeforeHook(), TJvHookOrder::HookBefore);
        } else if (gManager) {
            gManager->RemoveHook(FControl, AfterHook(), TJvHookOrder::HookAfter);
            gManager->RemoveHook(FControl, BeforeHook(), TJvHookOrder::HookBefore);
        }
    }
    FActive = Value;
}

void TJvWindowHook::SetBeforeMessage(TJvHookMessageEvent Value) {
    if (FActive && !(ComponentState() & csDesigning)) {
        if (!FBeforeMessage && Value)
            HookManager()->AddHook(FControl, BeforeHook(), TJvHookOrder::HookBefore);
        else if (FBeforeMessage && !Value && gManager)
            gManager->RemoveHook(FControl, BeforeHook(), TJvHookOrder::HookBefore);
    }
    FBeforeMessage = std::move(Value);
}

void TJvWindowHook::SetAfterMessage(TJvHookMessageEvent Value) {
    if (FActive && !(ComponentState() & csDesigning)) {
        if (!FAfterMessage && Value)
            HookManager()->AddHook(FControl, AfterHook(), TJvHookOrder::HookAfter);
        else if (FAfterMessage && !Value && gManager)
            gManager->RemoveHook(FControl, AfterHook(), TJvHookOrder::HookAfter);
    }
    FAfterMessage = std::move(Value);
}

void TJvWindowHook::SetControl(TControl* Value) {
    if (Value == FControl) return;
    bool wasActive = FActive;
    SetActive(false);
    if (FControl) FControl->RemoveFreeNotification(this);
    if (Value && Value->IsDestroying()) {
        FControl = nullptr;
        return;
    }
    FControl = Value;
    if (FControl) FControl->FreeNotification(this);
    SetActive(wasActive);
}

bool TJvWindowHook::IsForm() const {
    return FControl && FControl == Owner() && dynamic_cast<TCustomForm*>(Owner()) != nullptr;
}

void TJvWindowHook::SetIsForm(bool Value) {
    if (Value)
        if (auto* form = dynamic_cast<TCustomForm*>(Owner())) SetControl(form);
}

void TJvWindowHook::Notification(TComponent* AComponent, TOperation Operation) {
    TJvComponent::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    // A control on its way out: its chain lets go of it by itself.
    if (AComponent == FControl)
        FControl = nullptr;
    else if (AComponent == Owner())
        SetControl(nullptr);
}

bool TJvWindowHook::FireAfterMessage(TMessage& Msg) {
    bool handled = false;
    if (FAfterMessage) FAfterMessage(this, Msg, handled);
    return handled;
}

bool TJvWindowHook::FireBeforeMessage(TMessage& Msg) {
    bool handled = false;
    if (FBeforeMessage) FBeforeMessage(this, Msg, handled);
    return handled;
}
