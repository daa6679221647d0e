// The pop-up menus of the tests: each pop-up is logged and answered by a
// scripted choice instead of a menu on screen.
#pragma once

#include <deque>
#include <functional>
#include <vector>

#include "platform/gui/Menus.h"

// Installs itself for its lifetime. Each pop-up takes the next answer,
// which returns the item the user chooses (nullptr dismisses the menu);
// with no answer left the menu is dismissed. The menu clicks the item only
// when a user could choose it (see CanChooseMenuItem).
class TScriptedMenus : public IPopupMenuService {
public:
    using TAnswer = std::function<TMenuItem*(TPopupMenu* Menu)>;
    struct TRecord {
        AnsiString MenuName;
        TPoint At;
        // The items shown at the top level, as the user reads them: without
        // their accelerator marks, "-" for a separator.
        std::vector<AnsiString> Shown;
        // The caption of the item chosen; empty when dismissed.
        AnsiString Chosen;
    };

    TScriptedMenus();
    ~TScriptedMenus() override;
    TMenuItem* Track(TPopupMenu* Menu, const TPoint& At) override;

    // Chooses the item the path names: captions as the user reads them,
    // from the top level down, separated by "|" ("Columns|Name").
    static TAnswer Choose(const AnsiString& CaptionPath);

    std::deque<TAnswer> Answers;
    std::vector<TRecord> Log;

private:
    IPopupMenuService* FPrevious;
};
