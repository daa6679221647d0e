// Shortcuts and their texts, menu items and their actions, menus, the main
// menu's form, pop-up menus and the pop-up seam.
#include "platform/gui/Menus.h"

#include <algorithm>
#include <map>

#include "platform/gui/ActnList.h"
#include "platform/gui/Forms.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/QtMenus_p.h"

namespace {
constexpr TShortCut ModifierBits = scShift | scCtrl | scAlt;
constexpr uint16_t KeyMask = 0xFF;
constexpr uint16_t LastFunctionKey = VK_F1 + 23; // F24

IPopupMenuService* gPopupMenus = nullptr;

// The name of a key in a shortcut's text; empty for a key without one.
AnsiString KeyName(uint16_t Key) {
    if ((Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z')) return AnsiString(1, char(Key));
    if (Key >= VK_F1 && Key <= LastFunctionKey) return "F" + IntToStr(Key - VK_F1 + 1);
    switch (Key) {
    case VK_BACK:
        return "BkSp";
    case VK_TAB:
        return "Tab";
    case VK_RETURN:
        return "Enter";
    case VK_ESCAPE:
        return "Esc";
    case VK_SPACE:
        return "Space";
    case VK_PRIOR:
        return "Page Up";
    case VK_NEXT:
        return "Page Down";
    case VK_END:
        return "End";
    case VK_HOME:
        return "Home";
    case VK_LEFT:
        return "Left";
    case VK_UP:
        return "Up";
    case VK_RIGHT:
        return "Right";
    case VK_DOWN:
        return "Down";
    case VK_INSERT:
        return "Ins";
    case VK_DELETE:
        return "Del";
    default:
        return {};
    }
}

struct TModifierName {
    const char* Text;
    TShortCut Bit;
};
// In the order texts put them.
constexpr TModifierName ModifierNames[] = {{"Shift+", scShift}, {"Ctrl+", scCtrl}, {"Alt+", scAlt}};

bool StartsWithText(const AnsiString& S, std::size_t At, const AnsiString& Prefix) {
    return S.size() - At >= Prefix.size() && SameText(S.substr(At, Prefix.size()), Prefix);
}

bool Contains(const TMenuItem* Root, const TMenuItem* Item) {
    if (Root == Item) return true;
    for (int i = 0; i < Root->Count(); ++i)
        if (Contains(Root->Items(i), Item)) return true;
    return false;
}

// A control's pop-up menu, forgotten when either of them goes.
class TPopupMenuLink : public TComponent {
public:
    TPopupMenuLink(TControl* Control, TPopupMenu* Menu)
        : TComponent(nullptr), FKey(Control), FControl(Control), FMenu(Menu) {
        FControl->FreeNotification(this);
        FMenu->FreeNotification(this);
    }
    ~TPopupMenuLink() override {
        if (FControl) FControl->RemoveFreeNotification(this);
        if (FMenu) FMenu->RemoveFreeNotification(this);
    }
    TPopupMenu* Menu() const { return FMenu; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    const TControl* FKey;
    TControl* FControl;
    TPopupMenu* FMenu;
};

std::map<const TControl*, std::unique_ptr<TPopupMenuLink>>& PopupMenuLinks() {
    static std::map<const TControl*, std::unique_ptr<TPopupMenuLink>> links;
    return links;
}

void TPopupMenuLink::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    if (AComponent == FControl)
        FControl = nullptr;
    else if (AComponent == FMenu)
        FMenu = nullptr;
    else
        return;
    const TControl* key = FKey;
    PopupMenuLinks().erase(key); // frees this link
}

bool EnabledUpToRoot(const TMenuItem* Item) {
    for (; Item && Item->Parent(); Item = Item->Parent())
        if (!Item->Enabled()) return false;
    return true;
}
} // namespace

// A menu item's link: the item shows the action's state.
class TMenuActionLink : public TActionLink {
public:
    explicit TMenuActionLink(TMenuItem* Item) : FItem(Item) {}

protected:
    void SetCaption(const AnsiString& Value) override { FItem->SetCaption(Value); }
    void SetChecked(bool Value) override { FItem->SetChecked(Value); }
    void SetEnabled(bool Value) override { FItem->SetEnabled(Value); }
    void SetHint(const AnsiString& Value) override { FItem->SetHint(Value); }
    void SetImageIndex(int Value) override { FItem->SetImageIndex(Value); }
    void SetShortCut(TShortCut Value) override { FItem->SetShortCut(Value); }
    void SetVisible(bool Value) override { FItem->SetVisible(Value); }

private:
    TMenuItem* FItem;
};

// Shortcuts

TShortCut ShortCut(uint16_t Key, TShiftState Shift) {
    if (Key & ~KeyMask) return scNone;
    TShortCut result = Key;
    if (Shift & ssShift) result |= scShift;
    if (Shift & ssCtrl) result |= scCtrl;
    if (Shift & ssAlt) result |= scAlt;
    return result;
}

void ShortCutToKey(TShortCut ShortCut, uint16_t& Key, TShiftState& Shift) {
    Key = ShortCut & ~ModifierBits;
    Shift = 0;
    if (ShortCut & scShift) Shift |= ssShift;
    if (ShortCut & scCtrl) Shift |= ssCtrl;
    if (ShortCut & scAlt) Shift |= ssAlt;
}

AnsiString ShortCutToText(TShortCut ShortCut) {
    AnsiString name = KeyName(ShortCut & KeyMask);
    if (name.empty() || (ShortCut & ~(ModifierBits | KeyMask))) return {};
    AnsiString text;
    for (const TModifierName& m : ModifierNames)
        if (ShortCut & m.Bit) text += m.Text;
    return text + name;
}

TShortCut TextToShortCut(const AnsiString& Text) {
    TShortCut modifiers = 0;
    std::size_t at = 0;
    for (bool found = true; found;) {
        found = false;
        for (const TModifierName& m : ModifierNames)
            if (!(modifiers & m.Bit) && StartsWithText(Text, at, m.Text)) {
                modifiers |= m.Bit;
                at += std::char_traits<char>::length(m.Text);
                found = true;
            }
    }
    AnsiString key = Text.substr(at);
    if (key.empty()) return scNone;
    for (uint16_t k = 1; k <= KeyMask; ++k)
        if (SameText(KeyName(k), key)) return TShortCut(modifiers | k);
    return scNone;
}

// TMenuItem

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
    FActionLink.reset();
    while (!FItems.empty()) {
        TMenuItem* child = FItems.back();
        delete child; // takes itself out of the list
        if (!FItems.empty() && FItems.back() == child) FItems.pop_back();
    }
    if (FParent) FParent->Remove(this);
}

void TMenuItem::Changed() {
    if (TMenu* menu = GetParentMenu()) menu->MenuChanged();
}

void TMenuItem::SetCaption(const AnsiString& Value) {
    if (Value == FCaption) return;
    FCaption = Value;
    Changed();
}

void TMenuItem::SetChecked(bool Value) {
    if (Value == FChecked) return;
    FChecked = Value;
    if (Value && FRadioItem && FParent)
        for (TMenuItem* other : FParent->FItems)
            if (other != this && other->FRadioItem && other->FGroupIndex == FGroupIndex)
                other->FChecked = false;
    Changed();
}

void TMenuItem::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    Changed();
}

void TMenuItem::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    Changed();
}

void TMenuItem::SetDefault(bool Value) {
    if (Value == FDefault) return;
    FDefault = Value;
    // One default item per menu level.
    if (Value && FParent)
        for (TMenuItem* other : FParent->FItems)
            if (other != this) other->FDefault = false;
    Changed();
}

void TMenuItem::SetRadioItem(bool Value) {
    if (Value == FRadioItem) return;
    FRadioItem = Value;
    Changed();
}

void TMenuItem::SetGroupIndex(int Value) {
    if (Value == FGroupIndex) return;
    FGroupIndex = Value;
    Changed();
}

void TMenuItem::SetShortCut(TShortCut Value) {
    if (Value == FShortCut) return;
    FShortCut = Value;
    Changed();
}

void TMenuItem::SetImageIndex(int Value) {
    if (Value == FImageIndex) return;
    FImageIndex = Value;
    Changed();
}

void TMenuItem::Attach(TMenuItem* Item) {
    if (!Item) throw EMenuError("A menu item cannot be inserted");
    if (Item->FParent) throw EMenuError("Menu inserted twice");
    for (TMenuItem* p = this; p; p = p->FParent)
        if (p == Item) throw EMenuError("A menu item cannot contain itself");
}

void TMenuItem::Add(TMenuItem* Item) {
    Insert(Count(), Item);
}

void TMenuItem::Insert(int Index, TMenuItem* Item) {
    Attach(Item);
    if (Index < 0 || Index > Count()) RaiseListIndexError(Index);
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    Changed();
}

void TMenuItem::Delete(int Index) {
    TMenuItem* item = Items(Index);
    FItems.erase(FItems.begin() + Index);
    item->FParent = nullptr;
    Changed();
}

void TMenuItem::Remove(TMenuItem* Item) {
    int i = IndexOf(Item);
    if (i >= 0) Delete(i);
}

void TMenuItem::Clear() {
    while (!FItems.empty())
        delete FItems.back();
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* root = this;
    while (root->FParent)
        root = root->FParent;
    return root->FMenu;
}

TBasicAction* TMenuItem::Action() const {
    return FActionLink ? FActionLink->Action() : nullptr;
}

void TMenuItem::SetAction(TBasicAction* Value) {
    if (!Value) {
        FActionLink.reset();
        return;
    }
    if (!FActionLink) FActionLink = std::make_unique<TMenuActionLink>(this);
    FActionLink->SetAction(Value);
}

void TMenuItem::Click() {
    if (!FEnabled) return;
    if (FAutoCheck && !FActionLink) SetChecked(FRadioItem || !FChecked);
    if (OnClick) {
        TNotifyEvent handler = OnClick; // the handler may free the item
        handler(this);
    } else if (FActionLink) {
        FActionLink->Execute(this);
    }
}

void TMenuItem::InitiateAction() {
    if (FActionLink) FActionLink->Update();
    for (TMenuItem* item : std::vector<TMenuItem*>(FItems))
        item->InitiateAction();
}

// TMenu

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)) {
    FItems->FMenu = this;
}

TMenu::~TMenu() {
    // Items freed from here tell a plain menu, which does nothing.
    FItems.reset();
}

void TMenu::SetImages(TCustomImageList* Value) {
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages) FImages->FreeNotification(this);
    MenuChanged();
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FImages) FImages = nullptr;
}

bool TMenu::IsShortCut(uint16_t Key, TShiftState Shift) {
    TShortCut wanted = ShortCut(Key, Shift);
    if (wanted == scNone) return false;
    auto carries = [wanted](TMenuItem* Item) {
        if (Item->ShortCut() == wanted) return true;
        auto* action = dynamic_cast<TCustomAction*>(Item->Action());
        return action && action->HasShortCut(wanted);
    };
    std::vector<TMenuItem*> pending{FItems.get()};
    while (!pending.empty()) {
        TMenuItem* item = pending.front();
        pending.erase(pending.begin());
        for (int i = item->Count() - 1; i >= 0; --i)
            pending.insert(pending.begin(), item->Items(i));
        if (item == FItems.get() || !carries(item)) continue;
        item->InitiateAction();
        if (!EnabledUpToRoot(item)) continue;
        item->Click();
        return true;
    }
    return false;
}

// TMainMenu

TMainMenu::~TMainMenu() {
    if (FForm) FForm->SetMenu(nullptr);
}

void TMainMenu::MenuChanged() {
    if (FForm) UpdateMainMenuBar(FForm);
}

void TMainMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TMenu::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FForm) FForm = nullptr;
}

// TPopupMenu

IPopupMenuService* SetPopupMenuService(IPopupMenuService* Service) {
    IPopupMenuService* old = gPopupMenus;
    gPopupMenus = Service;
    return old;
}

IPopupMenuService* PopupMenuService() {
    return gPopupMenus ? gPopupMenus : QtPopupMenuService();
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::~TPopupMenu() {
    SetPopupComponent(nullptr);
}

void TPopupMenu::SetPopupComponent(TComponent* Value) {
    if (FPopupComponent) FPopupComponent->RemoveFreeNotification(this);
    FPopupComponent = Value;
    if (FPopupComponent) FPopupComponent->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TMenu::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

void TPopupMenu::DoPopup() {
    if (OnPopup) OnPopup(this);
}

void TPopupMenu::Popup(int X, int Y) {
    FPopupPoint = {X, Y};
    DoPopup();
    Items()->InitiateAction();
    TMenuItem* chosen = PopupMenuService()->Track(this, FPopupPoint);
    if (CanChooseMenuItem(this, chosen)) chosen->Click();
}

TPopupMenu* TControl::PopupMenu() const {
    auto it = PopupMenuLinks().find(this);
    return it == PopupMenuLinks().end() ? nullptr : it->second->Menu();
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
    auto& links = PopupMenuLinks();
    links.erase(this);
    if (Value) links.emplace(this, std::make_unique<TPopupMenuLink>(this, Value));
}

namespace {
// The control up from Control whose pop-up menu a request shows.
TControl* ContextMenuOwner(TControl* Control) {
    for (TControl* c = Control; c; c = c->Parent())
        if (TPopupMenu* menu = c->PopupMenu(); menu && menu->AutoPopup) return c;
    return nullptr;
}
} // namespace

bool PopupContextMenu(TControl* Control, const TPoint& At) {
    TControl* owner = ContextMenuOwner(Control);
    if (!owner) return false;
    TPopupMenu* menu = owner->PopupMenu();
    menu->SetPopupComponent(owner);
    menu->Popup(At.X, At.Y);
    return true;
}

TPopupMenu* ContextPopupMenu(TControl* Control) {
    TControl* owner = ContextMenuOwner(Control);
    return owner ? owner->PopupMenu() : nullptr;
}

bool CanChooseMenuItem(const TMenu* Menu, const TMenuItem* Item) {
    // Found in the menu first: an item freed while the menu showed is
    // never touched.
    if (!Menu || !Item || Item == Menu->Items() || !Contains(Menu->Items(), Item)) return false;
    if (Item->IsLine() || Item->Count() > 0) return false;
    for (const TMenuItem* i = Item; i != Menu->Items(); i = i->Parent())
        if (!i->Enabled() || !i->Visible()) return false;
    return true;
}
