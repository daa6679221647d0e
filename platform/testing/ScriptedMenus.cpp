// The scripted pop-up menus of the tests.
#include "platform/testing/ScriptedMenus.h"

TScriptedMenus::TScriptedMenus() : FPrevious(SetPopupMenuService(this)) {}

TScriptedMenus::~TScriptedMenus() {
    SetPopupMenuService(FPrevious);
}

TMenuItem* TScriptedMenus::Track(TPopupMenu* Menu, const TPoint& At) {
    TRecord record{Menu->Name(), At, {}, {}};
    TMenuItem* items = Menu->Items();
    for (int i = 0; i < items->Count(); ++i)
        if (items->Items(i)->Visible()) record.Shown.push_back(StripHotkey(items->Items(i)->Caption()));
    TMenuItem* chosen = nullptr;
    if (!Answers.empty()) {
        TAnswer answer = std::move(Answers.front());
        Answers.pop_front();
        chosen = answer(Menu);
    }
    if (chosen) record.Chosen = StripHotkey(chosen->Caption());
    Log.push_back(std::move(record));
    return chosen;
}

TScriptedMenus::TAnswer TScriptedMenus::Choose(const AnsiString& CaptionPath) {
    return [CaptionPath](TPopupMenu* Menu) -> TMenuItem* {
        TMenuItem* level = Menu->Items();
        std::size_t start = 0;
        while (level) {
            std::size_t bar = CaptionPath.find('|', start);
            AnsiString caption =
                CaptionPath.substr(start, bar == AnsiString::npos ? AnsiString::npos : bar - start);
            TMenuItem* found = nullptr;
            for (int i = 0; i < level->Count() && !found; ++i)
                if (level->Items(i)->Visible() && StripHotkey(level->Items(i)->Caption()) == caption)
                    found = level->Items(i);
            if (!found || bar == AnsiString::npos) return found;
            level = found;
            start = bar + 1;
        }
        return nullptr;
    };
}
