// The shell's "open" verb: a file or an address handed to the program the
// user's desktop opens it with.
#pragma once

#include "platform/rtl/SysUtils.h"

// Opens Target (a path or an address) with the desktop's opener and waits
// a few seconds for the opener's answer. False, with the reason in Error,
// when the opener cannot be started or reports a failure; an opener still
// busy after the wait counts as having opened it.
bool ShellOpen(const AnsiString& Target, AnsiString* Error = nullptr);
// The opener (default "xdg-open", found on the PATH); tests name their own.
// An empty text brings back the default.
void SetShellOpenCommandOverride(const AnsiString& Command);
