// Where the running program lies. Tests point it at a temporary folder so
// that everything found "beside the executable" is theirs.
#pragma once

#include "platform/rtl/SysUtils.h"

// Full path of the executable (or of the override).
AnsiString GetModuleFileName();
// Folder of the executable with a trailing '/'.
AnsiString GetModuleFolder();
// An empty path removes the override.
void SetModuleFileNameOverride(const AnsiString& Path);
