// Actions: commands with a caption, shortcuts and an enabled state that
// menu items and controls follow; action lists that take the shortcuts and
// update their actions while the program is idle; and the offering of an
// action without a handler to the controls of the active form.
#pragma once

#include <functional>
#include <vector>

#include "platform/gui/Menus.h"
#include "platform/rtl/StringLists.h"

class TActionList;
class TBasicAction;
class TCustomImageList;

// What links a client (a menu item, a control) to its action: the client
// shows the action's state and runs the action.
class TBasicActionLink {
public:
    TBasicActionLink() = default;
    virtual ~TBasicActionLink();
    TBasicActionLink(const TBasicActionLink&) = delete;
    TBasicActionLink& operator=(const TBasicActionLink&) = delete;

    TBasicAction* Action() const { return FAction; }
    // Follows Value from now on; the client takes its state at once.
    void SetAction(TBasicAction* Value);
    // Runs the action on behalf of AComponent; false when it did not run.
    virtual bool Execute(TComponent* AComponent = nullptr);
    virtual bool Update();

protected:
    // The action's state changed (or the link was made): the client
    // follows.
    virtual void Changed() {}

private:
    TBasicAction* FAction = nullptr;
    friend class TBasicAction;
};

// A link that hands each of a custom action's properties to its client.
class TActionLink : public TBasicActionLink {
protected:
    void Changed() override;
    virtual void SetCaption(const AnsiString&) {}
    virtual void SetChecked(bool) {}
    virtual void SetEnabled(bool) {}
    virtual void SetHint(const AnsiString&) {}
    virtual void SetImageIndex(int) {}
    virtual void SetShortCut(TShortCut) {}
    virtual void SetVisible(bool) {}
};

class TBasicAction : public TComponent {
public:
    explicit TBasicAction(TComponent* AOwner);
    ~TBasicAction() override;

    // The target side: an action that works on controls answers whether it
    // handles Target, updates itself from it and runs on it.
    virtual bool HandlesTarget(TObject* Target);
    virtual void UpdateTarget(TObject* Target);
    virtual void ExecuteTarget(TObject* Target);
    // Runs the action; false when nothing handled it.
    virtual bool Execute();
    // Updates the action's state; false when nothing handled the update.
    virtual bool Update();
    // The client whose click runs the action now, or nullptr.
    TComponent* ActionComponent() const { return FActionComponent; }

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;

protected:
    // Tells every linked client that the action's state changed.
    void Change();

private:
    std::vector<TBasicActionLink*> FClients;
    TComponent* FActionComponent = nullptr;
    friend class TBasicActionLink;
};

// An action that may sit in an action list.
class TContainedAction : public TBasicAction {
public:
    explicit TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {}
    ~TContainedAction() override;

    TActionList* ActionList() const { return FActionList; }
    void SetActionList(TActionList* Value);
    // Its place in the list; -1 outside one.
    int Index() const;
    const AnsiString& Category() const { return FCategory; }
    void SetCategory(const AnsiString& Value) { FCategory = Value; }

    // The list's OnExecute, then the action's, then the active form's
    // controls (DispatchActionToTargets).
    bool Execute() override;
    bool Update() override;

private:
    TActionList* FActionList = nullptr;
    AnsiString FCategory;
};

// Shortcuts beyond the first, kept as their texts ("Ctrl+Ins").
class TShortCutList : public TStringList {
public:
    TShortCut ShortCuts(int Index) const { return TextToShortCut(Strings(Index)); }
    int IndexOfShortCut(TShortCut ShortCut) const;
};

class TCustomAction : public TContainedAction {
public:
    explicit TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}

    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    bool Checked() const { return FChecked; }
    // Checking an action of a group (GroupIndex above 0) unchecks the
    // others of its list in that group.
    void SetChecked(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    const AnsiString& Hint() const { return FHint; }
    void SetHint(const AnsiString& Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    TShortCutList* SecondaryShortCuts() { return &FSecondaryShortCuts; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool Value) { FAutoCheck = Value; }
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    // An action that nothing updates and that has no OnExecute is disabled
    // by its update.
    bool DisableIfNoHandler = false;
    int HelpContext = 0;

    // Whether Value is the action's shortcut or one of its secondary ones.
    bool HasShortCut(TShortCut Value) const;
    // Updates first; a disabled action does not run.
    bool Execute() override;
    bool Update() override;

private:
    AnsiString FCaption;
    bool FChecked = false;
    bool FEnabled = true;
    AnsiString FHint;
    int FImageIndex = -1;
    TShortCut FShortCut = scNone;
    TShortCutList FSecondaryShortCuts;
    bool FVisible = true;
    bool FAutoCheck = false;
    int FGroupIndex = 0;
};

class TAction : public TCustomAction {
public:
    explicit TAction(TComponent* AOwner) : TCustomAction(AOwner) { DisableIfNoHandler = true; }
};

// The standard edit commands. They do nothing by themselves: a control
// that edits takes them by their kind in its ExecuteAction and
// UpdateAction when it has the focus.
class TEditAction : public TAction {
public:
    using TAction::TAction;
};
class TEditCut : public TEditAction {
public:
    using TEditAction::TEditAction;
};
class TEditCopy : public TEditAction {
public:
    using TEditAction::TEditAction;
};
class TEditPaste : public TEditAction {
public:
    using TEditAction::TEditAction;
};
class TEditSelectAll : public TEditAction {
public:
    using TEditAction::TEditAction;
};
class TEditDelete : public TEditAction {
public:
    using TEditAction::TEditAction;
};

using TActionEvent = std::function<void(TBasicAction* Action, bool& Handled)>;

class TActionList : public TComponent {
public:
    explicit TActionList(TComponent* AOwner);
    ~TActionList() override;

    int ActionCount() const { return int(FActions.size()); }
    TContainedAction* Actions(int Index) const { return ListItem(FActions, Index); }
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);

    // OnExecute and OnUpdate of the list, which see every action of the
    // list first; true when the handler set Handled.
    virtual bool ExecuteAction(TBasicAction* Action);
    virtual bool UpdateAction(TBasicAction* Action);
    // Runs the first action, in list order, whose shortcut is Key with
    // Shift and that is enabled once updated; false when none is. A
    // disabled action leaves the key to the next one that carries it.
    bool IsShortCut(uint16_t Key, TShiftState Shift);

    TActionEvent OnExecute;
    TActionEvent OnUpdate;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::vector<TContainedAction*> FActions;
    TCustomImageList* FImages = nullptr;
    friend class TContainedAction;
};

// Offers Action to the focused control of the active form (with none
// active, of the form that owns the action), then to the form, then to
// each visible control of the form in turn (a control before the controls
// inside it); the first that handles it runs the action (Execute) or
// updates it. False when none handled it.
bool DispatchActionToTargets(TBasicAction* Action, bool Execute);
// Updates the actions of the visible forms: those of the action lists they
// own and those their controls and menu items follow. The layer runs it
// whenever the program goes idle.
void DoActionIdle();
