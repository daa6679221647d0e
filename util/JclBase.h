// The base library's exception class and byte copy.
#pragma once

#include "platform/rtl/SysUtils.h"

class EJclError : public Exception {
public:
    using Exception::Exception;
};

// Copies Count bytes from Source at SourceOffset into Dest at DestOffset
// (0-based). A range outside either text raises EJclError instead of
// writing past it.
void CopyCharsAt(const AnsiString& Source, int SourceOffset, AnsiString& Dest, int DestOffset, int Count);
