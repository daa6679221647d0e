// Text, number-text and rectangle helpers of the storage and controls.
#pragma once

#include <cstdint>
#include <set>

#include "platform/canvas/Graphics.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variants.h"

using TSysCharSet = std::set<char>;

// Type codes 2, 3, 16, 17, 18 and 19 (the integers of at most 32 bits).
bool VariantIsInteger(uint16_t VarType);
// A variant of ours holds every integer as 64 bits: it counts as an integer
// when its value fits 32 bits.
bool VariantIsInteger(const Variant& V);

AnsiString ReplaceAllText(const AnsiString& Text, const AnsiString& Old, const AnsiString& New);
AnsiString TrimLeadingSpaces(const AnsiString& Text);
AnsiString TrimTrailingSpaces(const AnsiString& Text);
AnsiString TrimSpaces(const AnsiString& Text);
int NthWordStart(int N, const AnsiString& Text, const TSysCharSet& Delimiters);
AnsiString NthWord(int N, const AnsiString& Text, const TSysCharSet& Delimiters);
// A number text in the locale: separators unified, everything else dropped.
AnsiString NormalizeNumberText(const AnsiString& Text);
AnsiString NormalizeNumberText(const AnsiString& Text, const TFormatSettings& Settings);
// Two lower-case hexadecimal digits per byte of Text XOR Key.
AnsiString XorHexEncode(const AnsiString& Key, const AnsiString& Text);
// A code that is not pairs of hexadecimal digits is refused (EConvertError,
// or false from the Try form) rather than decoded into blanks.
AnsiString XorHexDecode(const AnsiString& Key, const AnsiString& Code);
bool TryXorHexDecode(const AnsiString& Key, const AnsiString& Code, AnsiString& Text);
int AbsRectWidth(const TRect& R);
int AbsRectHeight(const TRect& R);
