// The Qt side of menus and actions, for their sources: pop-up menus on
// screen, the main menu's bar in a form's window, and the hooks that give
// keys to shortcuts and update actions while the program is idle.
#pragma once

#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"

IPopupMenuService* QtPopupMenuService();
// Makes, rebuilds or removes the bar of Form's main menu; making it makes
// the window.
void UpdateMainMenuBar(TCustomForm* Form);
// The height the bar takes at the top of the form's window; 0 without one.
int MainMenuBarHeight(const TCustomForm* Form);
// Installs, once, the filter that offers every key pressed in a form's
// window to the form's shortcuts before its controls see it, and the hook
// that updates actions whenever the program goes idle.
void InstallActionHooks();
