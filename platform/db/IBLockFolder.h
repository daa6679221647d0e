// The embedded engine's lock folder: a private folder of the user's, named in
// the engine's environment (FIREBIRD_LOCK) before the engine first loads.
// Without it the engine shares /tmp/firebird, which belongs to whoever ran a
// Firebird program on the machine first, and no other user can open a file.
#pragma once

#include "platform/rtl/SysUtils.h"

// Names the lock folder in FIREBIRD_LOCK unless the environment already names
// one, and returns it. Runs once; later calls return the same folder. Every
// connection calls it before it attaches; the program calls it first thing,
// before any other thread runs. Raises EIBError when no folder can be made.
AnsiString UsePrivateLockFolder();

// The folder chosen: "luvora-firebird" in $XDG_RUNTIME_DIR, else
// "luvora-firebird-<uid>" in the temporary folder ($TMPDIR or /tmp); when
// that name is taken by something not the user's own, a new folder beside it.
// Made with mode 0700 when missing, set back to 0700 when it is the user's
// but open to others. Raises EIBError when no folder can be made.
AnsiString PrivateLockFolder();
