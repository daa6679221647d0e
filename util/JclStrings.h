// Free routines on 8-bit texts (positions are 1-based).
#pragma once

#include <cstddef>

#include "platform/rtl/StringLists.h"
#include "util/JclAnsiStrings.h"

bool CharIsUpper(char C);
bool CharIsLower(char C);

// Text when it already ends with Suffix (case-sensitive), else Text + Suffix.
AnsiString EnsureSuffix(const AnsiString& Suffix, const AnsiString& Text);
std::size_t NulTerminatedLength(const char* Text);
void TrimAtNul(AnsiString& Text);
int CountChar(const AnsiString& Text, char Ch);
// Position of SubText in Text at or after Start, ignoring case; 0 when none.
int FindTextNoCase(const AnsiString& SubText, const AnsiString& Text, int Start);
AnsiString LeftPart(const AnsiString& Text, int Count);
AnsiString RestFrom(const AnsiString& Text, int Start);
// Clears List and adds the pieces between the separators; empty pieces only
// with KeepEmpty, and never one after a trailing separator.
void SplitToList(const AnsiString& Text, const AnsiString& Separator, TStrings& List, bool KeepEmpty);
AnsiString RepeatChar(char Ch, int Count);
AnsiString DeleteAllChars(const AnsiString& Text, char Ch);
