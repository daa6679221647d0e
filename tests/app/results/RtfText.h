// The text of a saved RTF file as the engine reads it back, behind a header
// without the engine, which cannot be included beside the windows.
#pragma once

#include "platform/rtl/SysUtils.h"

// The RTF reader's document of the file, written by the engine's text
// writer; empty when the file is no RTF that reads without error.
AnsiString RtfFileText(const AnsiString& FileName);
