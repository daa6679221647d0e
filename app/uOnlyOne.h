// The single-instance guard: a named mutex that marks a running copy of the
// program for as long as that copy lives.
#pragma once

#include "platform/rtl/SysUtils.h"

// The name of the program's mutex.
inline constexpr const char* kInstanceMutexName = "TarvikLuvoraMutex2007";

class EInstanceGuardError : public Exception {
public:
    using Exception::Exception;
};

// Name with every "\" replaced by "_".
AnsiString MakeMutexName(const AnsiString& Name);
// Takes the mutex MakeMutexName(Name) for this process and keeps it until
// CloseInstanceHandle or the end of the program. False when another copy
// holds it; raises EInstanceGuardError when the mutex cannot be made, which
// says nothing about another copy.
bool IsFirstInstance(const AnsiString& Name);
// Lets the mutex go.
void CloseInstanceHandle();
