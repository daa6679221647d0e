// Hooks of a regular-expression engine that the program never calls; only
// the failure hook is kept, for a caller that would load the engine.
#pragma once

#include "util/JclBase.h"

class EPCREError : public EJclError {
public:
    EPCREError(const AnsiString& Msg, int AErrorCode) : EJclError(Msg), ErrorCode(AErrorCode) {}
    int ErrorCode;
};

// Raises EPCREError "PCRE library not loaded" with the code 0.
[[noreturn]] void PCRELibraryNotLoaded();
