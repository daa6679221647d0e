// The one code-page service of the engine: conversions between 8-bit text
// of any code page and UTF-16 that never fail.
#pragma once

#include <string_view>

#include "platform/rtl/SysUtils.h"

// The program's own code page; it also stands for the system's ANSI code
// page (0) and the thread's (3).
inline constexpr unsigned RVProgramCodePage = 1251;

// The code page a number means here: 0 and 3 the program's, 1 (OEM) 866,
// 2 (Macintosh) 10007; others as they are.
unsigned RVResolveCodePage(unsigned CodePage);
// Whether conversions know the code page (after resolving).
bool RVIsKnownCodePage(unsigned CodePage);
// A byte the code page does not define becomes "?"; an unknown code page
// converts as the program's.
WideString RVCodePageToWide(unsigned CodePage, std::string_view Bytes);
// A character the code page lacks becomes one "?".
AnsiString RVWideToCodePage(unsigned CodePage, std::u16string_view Wide);
// Appends Bytes to Out with exactly one UTF-16 unit per byte, so that
// character offsets of 8-bit item text stay offsets of the result: a
// character of several bytes gives its unit followed by U+200B (zero width)
// for each further byte. Single-byte code pages convert through a table
// made once per code page.
void RVCodePageToWidePerByte(unsigned CodePage, std::string_view Bytes, WideString& Out);
