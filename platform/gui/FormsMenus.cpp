// The form's side of menus and actions: its main menu, the room the menu's
// bar takes, and the shortcuts of its menu and action lists.
#include "platform/gui/Forms.h"

#include <algorithm>

#include "platform/gui/ActnList.h"
#include "platform/gui/QtMenus_p.h"

void TCustomForm::SetMenu(TMainMenu* Value) {
    if (Value == FMenu) return;
    if (FMenu) {
        FMenu->FForm = nullptr;
        RemoveFreeNotification(FMenu);
    }
    FMenu = Value;
    if (FMenu) {
        if (FMenu->FForm) FMenu->FForm->SetMenu(nullptr);
        FMenu->FForm = this;
        FreeNotification(FMenu);
        InstallActionHooks();
    }
    // A form being destroyed has no window left to change.
    if (!IsDestroying()) {
        UpdateMainMenuBar(this);
        Realign();
    }
}

bool TCustomForm::IsShortCut(uint16_t Key, TShiftState Shift) {
    for (TControl* c = FActiveControl; c; c = c->Parent())
        if (TPopupMenu* popup = c->PopupMenu(); popup && popup->IsShortCut(Key, Shift)) return true;
    if (FMenu && FMenu->IsShortCut(Key, Shift)) return true;
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* list = dynamic_cast<TActionList*>(Components(i)); list && list->IsShortCut(Key, Shift))
            return true;
    return false;
}

void TCustomForm::AdjustClientRect(TRect& R) {
    TWinControl::AdjustClientRect(R);
    R.Top = std::min(R.Bottom, R.Top + MainMenuBarHeight(this));
}
