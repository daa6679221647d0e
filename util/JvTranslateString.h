// Replaces macros between two delimiters (%NAME% by default) by facts of the
// running application: version texts, paths, date and time, the owning form
// and the screen size.
#pragma once

#include <functional>

#include "platform/rtl/Classes.h"

class TJvTranslateString;
using TProcessCommandEvent = std::function<void(TJvTranslateString* Sender, const AnsiString& Command,
                                                AnsiString& CommandResult, bool& Changed)>;

class TJvTranslateString : public TComponent {
public:
    explicit TJvTranslateString(TComponent* AOwner);

    AnsiString DateFormat = "dd_mm_yyyy";
    AnsiString DateTimeFormat = "dd_mm_yyyy hh_nn_ss";
    AnsiString LeftDelimiter = "%";
    AnsiString RightDelimiter = "%";
    AnsiString TimeFormat = "hh_nn_ss";
    TProcessCommandEvent OnProcessCommand;

    // Text that is not a known macro is copied unchanged, its delimiters
    // included; Changed tells whether a macro was replaced.
    AnsiString ExpandMacros(const AnsiString& Text, bool& Changed);
    bool ResolveMacro(const AnsiString& Command, AnsiString& Value);

    // The clock the date macros read; tests fix it.
    std::function<TDateTime()> Clock = [] { return Now(); };

private:
    struct TCached {
        bool Loaded = false;
        AnsiString Value;
    };
    AnsiString VersionValue(TCached& Cache, const char* Macro, int KeyIndex, const char* Default);
    TCached FAppName, FCompanyName, FFileVersion, FProductVersion;
};
