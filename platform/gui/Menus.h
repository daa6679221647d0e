// Menus: shortcuts and their texts, menu items, the main menu of a form,
// pop-up menus and the pop-up seam through which they are shown.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/gui/Controls.h"

class TBasicAction;
class TCustomImageList;
class TMenu;
class TMenuActionLink;
class TPopupMenu;

// A key with its modifiers in one number: the virtual key in the low byte.
using TShortCut = uint16_t;
constexpr TShortCut scNone = 0;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

TShortCut ShortCut(uint16_t Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, uint16_t& Key, TShiftState& Shift);
// "Shift+Ctrl+Down", "Ctrl+Ins", "F1"; empty for no shortcut or a key
// without a name.
AnsiString ShortCutToText(TShortCut ShortCut);
// The shortcut a text names, its words in any letter case; scNone when the
// text names none.
TShortCut TextToShortCut(const AnsiString& Text);

class EMenuError : public Exception {
public:
    using Exception::Exception;
};

// One item of a menu: a command, a check or radio item, a separator
// (caption "-") or a sub-menu of further items. Items belong to their
// owner component; an item frees its sub-items with it.
class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    bool IsLine() const { return FCaption == "-"; }
    bool Checked() const { return FChecked; }
    // Checking a radio item unchecks the radio items of its group beside it.
    void SetChecked(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    // A click checks the item (a check item toggles).
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool Value) { FAutoCheck = Value; }
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    const AnsiString& Hint() const { return FHint; }
    void SetHint(const AnsiString& Value) { FHint = Value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);

    int Count() const { return int(FItems.size()); }
    TMenuItem* Items(int Index) const { return ListItem(FItems, Index); }
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    // Takes an item out without freeing it.
    void Delete(int Index);
    void Remove(TMenuItem* Item);
    // Frees every sub-item.
    void Clear();
    int IndexOf(const TMenuItem* Item) const;
    TMenuItem* Parent() const { return FParent; }
    // The menu whose items this item is among, or nullptr.
    TMenu* GetParentMenu() const;

    // The action the item follows (caption, shortcut, enabled, checked,
    // visible, hint, image) and runs when clicked without an OnClick.
    TBasicAction* Action() const;
    void SetAction(TBasicAction* Value);
    // Clicks the item: checks an auto-check item, then OnClick, or runs the
    // action. A disabled item does nothing.
    virtual void Click();
    // Updates the actions of the item and of its sub-items, so that they
    // show their state before the menu opens.
    void InitiateAction();

    TNotifyEvent OnClick;

private:
    void Changed();
    void Attach(TMenuItem* Item);

    AnsiString FCaption;
    bool FChecked = false;
    bool FEnabled = true;
    bool FVisible = true;
    bool FDefault = false;
    bool FRadioItem = false;
    int FGroupIndex = 0;
    bool FAutoCheck = false;
    TShortCut FShortCut = scNone;
    AnsiString FHint;
    int FImageIndex = -1;
    std::vector<TMenuItem*> FItems;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr; // set on a menu's root item only
    std::unique_ptr<TMenuActionLink> FActionLink;

    friend class TMenu;
};

// A menu: a root item whose sub-items are the menu's items.
class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;

    TMenuItem* Items() const { return FItems.get(); }
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    // The first enabled item, at any depth, that Key with Shift is the
    // shortcut of (its linked action updated first) is clicked; false when
    // there is none.
    bool IsShortCut(uint16_t Key, TShiftState Shift);
    // The items have changed: what shows them follows.
    virtual void MenuChanged() {}

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::unique_ptr<TMenuItem> FItems;
    TCustomImageList* FImages = nullptr;
};

// The menu bar of a form (TCustomForm::SetMenu).
class TMainMenu : public TMenu {
public:
    using TMenu::TMenu;
    ~TMainMenu() override;
    TCustomForm* Form() const { return FForm; }
    void MenuChanged() override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TCustomForm* FForm = nullptr;
    friend class TCustomForm;
};

// The pop-up seam: a pop-up menu is shown through it. The layer installs a
// Qt implementation; tests install the scripted one of platform/testing.
class IPopupMenuService {
public:
    virtual ~IPopupMenuService() = default;
    // Shows Menu at the screen point At and answers the item chosen,
    // nullptr when the menu was dismissed.
    virtual TMenuItem* Track(TPopupMenu* Menu, const TPoint& At) = 0;
};
// Installs a service and returns the one it replaces (nullptr: the Qt one).
IPopupMenuService* SetPopupMenuService(IPopupMenuService* Service);
IPopupMenuService* PopupMenuService();

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;
    // OnPopup, the items' actions are updated, the menu shows at the screen
    // point (X, Y), and the item chosen is clicked when it can be: enabled
    // and visible with every item above it, neither a separator nor a
    // sub-menu.
    virtual void Popup(int X, int Y);
    // The component the menu was popped up for.
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* Value);
    const TPoint& PopupPoint() const { return FPopupPoint; }
    bool AutoPopup = true;
    TNotifyEvent OnPopup;

protected:
    virtual void DoPopup();
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TComponent* FPopupComponent = nullptr;
    TPoint FPopupPoint;
};

// A context-menu request over Control (WM_CONTEXTMENU, the right button or
// the menu key): the pop-up menu of the control or of its nearest parent
// that has one with AutoPopup shows at the screen point At, for that
// control. False when none has one.
bool PopupContextMenu(TControl* Control, const TPoint& At);
// The menu such a request would show, or nullptr.
TPopupMenu* ContextPopupMenu(TControl* Control);

// An item of Menu that a user can choose: enabled and visible with every
// item above it, neither a separator nor a sub-menu.
bool CanChooseMenuItem(const TMenu* Menu, const TMenuItem* Item);
