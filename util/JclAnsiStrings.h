// Substring replacement and the character tables of the user's code page.
#pragma once

#include <array>
#include <cstdint>

#include "util/JclBase.h"

// Flags of ReplaceSubstrings, combined with "|".
enum TReplaceFlag : uint8_t { ReplaceAll = 1, IgnoreCase = 2 };

// Replaces the first occurrence of Search in S by Replacement, or every one
// with ReplaceAll, optionally ignoring case. Occurrences never overlap and an
// inserted Replacement is not searched again. An empty Search raises
// EJclError "Search string cannot be blank" unless S is empty too, which then
// becomes Replacement.
void ReplaceSubstrings(AnsiString& S, const AnsiString& Search, const AnsiString& Replacement, uint8_t Flags);

// Built once, before any caller runs.
struct TCharTables {
    std::array<uint16_t, 256> CharTypeTable;
    std::array<unsigned char, 256> LowerCaseTable;
    std::array<unsigned char, 256> UpperCaseTable;
    std::array<unsigned char, 256> SwapCaseTable;
};
const TCharTables& CharTables();
