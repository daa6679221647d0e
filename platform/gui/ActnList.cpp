// Actions and their links, action lists and their shortcuts, the offering
// of actions to the active form's controls, idle updates, and the
// control's side of actions.
#include "platform/gui/ActnList.h"

#include <algorithm>
#include <map>
#include <utility>

#include "platform/gui/Forms.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/QtMenus_p.h"
#include "platform/rtl/ScopeGuard.h"

namespace {
template <class T> void Erase(std::vector<T*>& List, T* Item) {
    List.erase(std::remove(List.begin(), List.end(), Item), List.end());
}

class TControlActionLink;
std::map<TControl*, std::unique_ptr<TControlActionLink>>& ControlLinks() {
    static std::map<TControl*, std::unique_ptr<TControlActionLink>> links;
    return links;
}

// The click a link gives a control without an OnClick of its own: it runs
// the control's action. Recognised by its type when the link goes.
struct TRunLinkedAction {
    void operator()(TObject* Sender) const;
};

// A control's link: the control shows the action's caption, enabled state,
// hint and visibility. Forgotten when the control is destroyed.
class TControlActionLink : public TComponent, public TActionLink {
public:
    explicit TControlActionLink(TControl* Control) : TComponent(nullptr), FControl(Control) {
        FControl->FreeNotification(this);
        if (!FControl->OnClick) FControl->OnClick = TRunLinkedAction{};
    }
    ~TControlActionLink() override {
        if (!FControl) return;
        FControl->RemoveFreeNotification(this);
        if (FControl->OnClick.target<TRunLinkedAction>()) FControl->OnClick = nullptr;
    }
    TControl* Control() const { return FControl; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation != TOperation::opRemove || AComponent != FControl) return;
        TControl* control = std::exchange(FControl, nullptr);
        ControlLinks().erase(control); // frees this link
    }
    void Changed() override {
        TActionLink::Changed();
        if (FControl) FControl->ActionChange(Action(), false);
    }
    void SetCaption(const AnsiString& Value) override { FControl->SetCaption(Value); }
    void SetEnabled(bool Value) override { FControl->SetEnabled(Value); }
    void SetHint(const AnsiString& Value) override { FControl->SetHint(Value); }
    void SetVisible(bool Value) override { FControl->SetVisible(Value); }

private:
    TControl* FControl;
};

void TRunLinkedAction::operator()(TObject* Sender) const {
    auto* control = dynamic_cast<TControl*>(Sender);
    auto it = ControlLinks().find(control);
    if (it != ControlLinks().end()) it->second->Execute(control);
}

bool Offer(TControl* Control, TBasicAction* Action, bool Execute) {
    return Execute ? Control->ExecuteAction(Action) : Control->UpdateAction(Action);
}

// Each visible control inside Container in turn, a control before those
// inside it.
bool OfferInside(TWinControl* Container, TBasicAction* Action, bool Execute) {
    for (int i = 0; i < Container->ControlCount(); ++i) {
        TControl* c = Container->Controls(i);
        if (!c->Visible()) continue;
        if (Offer(c, Action, Execute)) return true;
        if (auto* w = dynamic_cast<TWinControl*>(c); w && OfferInside(w, Action, Execute)) return true;
    }
    return false;
}

void AddUnique(std::vector<TBasicAction*>& Actions, TBasicAction* Action) {
    if (Action && std::find(Actions.begin(), Actions.end(), Action) == Actions.end())
        Actions.push_back(Action);
}

void AddItemActions(std::vector<TBasicAction*>& Actions, const TMenuItem* Item) {
    AddUnique(Actions, Item->Action());
    for (int i = 0; i < Item->Count(); ++i)
        AddItemActions(Actions, Item->Items(i));
}
} // namespace

// TBasicActionLink

TBasicActionLink::~TBasicActionLink() {
    if (FAction) Erase(FAction->FClients, this);
}

void TBasicActionLink::SetAction(TBasicAction* Value) {
    if (Value == FAction) return;
    if (FAction) Erase(FAction->FClients, this);
    FAction = Value;
    if (FAction) {
        FAction->FClients.push_back(this);
        Changed();
    }
}

bool TBasicActionLink::Execute(TComponent* AComponent) {
    if (!FAction) return false;
    TBasicAction* action = FAction;
    // The action may be freed by what it runs: only a living one gets its
    // earlier component back.
    TComponentWatch alive(action);
    TComponent* earlier = std::exchange(action->FActionComponent, AComponent);
    TScopeGuard restore([&] {
        if (alive.Target()) action->FActionComponent = earlier;
    });
    return action->Execute();
}

bool TBasicActionLink::Update() {
    return FAction && FAction->Update();
}

void TActionLink::Changed() {
    auto* action = dynamic_cast<TCustomAction*>(Action());
    if (!action) return;
    SetCaption(action->Caption());
    SetChecked(action->Checked());
    SetEnabled(action->Enabled());
    SetHint(action->Hint());
    SetImageIndex(action->ImageIndex());
    SetShortCut(action->ShortCut());
    SetVisible(action->Visible());
}

// TBasicAction

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {
    InstallActionHooks();
}

TBasicAction::~TBasicAction() {
    // The clients keep the state they show.
    for (TBasicActionLink* client : FClients)
        client->FAction = nullptr;
}

bool TBasicAction::HandlesTarget(TObject*) {
    return false;
}

void TBasicAction::UpdateTarget(TObject*) {}

void TBasicAction::ExecuteTarget(TObject*) {}

bool TBasicAction::Execute() {
    if (!OnExecute) return false;
    TNotifyEvent handler = OnExecute; // the handler may free the action
    handler(this);
    return true;
}

bool TBasicAction::Update() {
    if (!OnUpdate) return false;
    TNotifyEvent handler = OnUpdate;
    handler(this);
    return true;
}

void TBasicAction::Change() {
    for (TBasicActionLink* client : std::vector<TBasicActionLink*>(FClients))
        if (std::find(FClients.begin(), FClients.end(), client) != FClients.end()) client->Changed();
}

// TContainedAction

TContainedAction::~TContainedAction() {
    SetActionList(nullptr);
}

void TContainedAction::SetActionList(TActionList* Value) {
    if (Value == FActionList) return;
    if (FActionList) Erase(FActionList->FActions, static_cast<TContainedAction*>(this));
    FActionList = Value;
    if (FActionList) FActionList->FActions.push_back(this);
}

int TContainedAction::Index() const {
    if (!FActionList) return -1;
    const auto& list = FActionList->FActions;
    return int(std::find(list.begin(), list.end(), this) - list.begin());
}

bool TContainedAction::Execute() {
    if (FActionList && FActionList->ExecuteAction(this)) return true;
    if (TBasicAction::Execute()) return true;
    return DispatchActionToTargets(this, true);
}

bool TContainedAction::Update() {
    if (FActionList && FActionList->UpdateAction(this)) return true;
    if (TBasicAction::Update()) return true;
    return DispatchActionToTargets(this, false);
}

// TShortCutList

int TShortCutList::IndexOfShortCut(TShortCut ShortCut) const {
    for (int i = 0; i < Count(); ++i)
        if (ShortCuts(i) == ShortCut) return i;
    return -1;
}

// TCustomAction

void TCustomAction::SetCaption(const AnsiString& Value) {
    if (Value == FCaption) return;
    FCaption = Value;
    Change();
}

void TCustomAction::SetChecked(bool Value) {
    if (Value == FChecked) return;
    FChecked = Value;
    if (Value && FGroupIndex > 0 && ActionList())
        for (int i = 0; i < ActionList()->ActionCount(); ++i)
            if (auto* other = dynamic_cast<TCustomAction*>(ActionList()->Actions(i));
                other && other != this && other->FGroupIndex == FGroupIndex)
                other->SetChecked(false);
    Change();
}

void TCustomAction::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    Change();
}

void TCustomAction::SetHint(const AnsiString& Value) {
    if (Value == FHint) return;
    FHint = Value;
    Change();
}

void TCustomAction::SetImageIndex(int Value) {
    if (Value == FImageIndex) return;
    FImageIndex = Value;
    Change();
}

void TCustomAction::SetShortCut(TShortCut Value) {
    if (Value == FShortCut) return;
    FShortCut = Value;
    Change();
}

void TCustomAction::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    Change();
}

bool TCustomAction::HasShortCut(TShortCut Value) const {
    return Value != scNone && (FShortCut == Value || FSecondaryShortCuts.IndexOfShortCut(Value) >= 0);
}

bool TCustomAction::Execute() {
    Update();
    if (!FEnabled) return false;
    if (FAutoCheck && (!FChecked || FGroupIndex == 0)) SetChecked(!FChecked);
    return TContainedAction::Execute();
}

bool TCustomAction::Update() {
    bool handled = TContainedAction::Update();
    if (!handled && DisableIfNoHandler && !OnExecute) SetEnabled(false);
    return handled;
}

// TActionList

TActionList::TActionList(TComponent* AOwner) : TComponent(AOwner) {
    InstallActionHooks();
}

TActionList::~TActionList() {
    for (TContainedAction* action : std::vector<TContainedAction*>(FActions))
        action->SetActionList(nullptr);
    SetImages(nullptr);
}

void TActionList::SetImages(TCustomImageList* Value) {
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages) FImages->FreeNotification(this);
}

void TActionList::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FImages) FImages = nullptr;
}

bool TActionList::ExecuteAction(TBasicAction* Action) {
    bool handled = false;
    if (OnExecute) OnExecute(Action, handled);
    return handled;
}

bool TActionList::UpdateAction(TBasicAction* Action) {
    bool handled = false;
    if (OnUpdate) OnUpdate(Action, handled);
    return handled;
}

bool TActionList::IsShortCut(uint16_t Key, TShiftState Shift) {
    TShortCut wanted = ShortCut(Key, Shift);
    if (wanted == scNone) return false;
    for (TContainedAction* a : std::vector<TContainedAction*>(FActions)) {
        auto* action = dynamic_cast<TCustomAction*>(a);
        if (!action || !action->HasShortCut(wanted)) continue;
        action->Update();
        if (!action->Enabled()) continue;
        action->Execute();
        return true;
    }
    return false;
}

// Offering actions

bool DispatchActionToTargets(TBasicAction* Action, bool Execute) {
    TCustomForm* form = Screen->ActiveForm();
    // With no window active (the window system has not activated one yet),
    // the window the action belongs to.
    for (TComponent* c = Action->Owner(); !form && c; c = c->Owner())
        form = dynamic_cast<TCustomForm*>(c);
    if (!form) return false;
    if (TWinControl* focused = form->ActiveControl(); focused && Offer(focused, Action, Execute)) return true;
    return Offer(form, Action, Execute) || OfferInside(form, Action, Execute);
}

void DoActionIdle() {
    std::vector<TBasicAction*> actions;
    for (int f = 0; f < Screen->FormCount(); ++f) {
        TCustomForm* form = Screen->Forms(f);
        if (!form->Showing()) continue;
        for (int i = 0; i < form->ComponentCount(); ++i)
            if (auto* list = dynamic_cast<TActionList*>(form->Components(i)))
                for (int a = 0; a < list->ActionCount(); ++a)
                    AddUnique(actions, list->Actions(a));
        if (form->Menu()) AddItemActions(actions, form->Menu()->Items());
        for (const auto& [control, link] : ControlLinks())
            if (control->Visible() && GetParentForm(control) == form) AddUnique(actions, link->Action());
    }
    for (TBasicAction* action : actions)
        action->Update();
}

// The control's side

TBasicAction* TControl::Action() const {
    auto it = ControlLinks().find(const_cast<TControl*>(this));
    return it == ControlLinks().end() ? nullptr : it->second->Action();
}

void TControl::SetAction(TBasicAction* Value) {
    auto& links = ControlLinks();
    if (!Value) {
        links.erase(this);
        return;
    }
    auto& link = links[this];
    if (!link) link = std::make_unique<TControlActionLink>(this);
    link->SetAction(Value);
}

bool TControl::ExecuteAction(TBasicAction* Action) {
    if (!Action->HandlesTarget(this)) return false;
    Action->ExecuteTarget(this);
    return true;
}

bool TControl::UpdateAction(TBasicAction* Action) {
    if (!Action->HandlesTarget(this)) return false;
    Action->UpdateTarget(this);
    return true;
}
