// The lock of the mapped-view list, the text form of a GUID and library
// handles.
#pragma once

#include <cstdint>
#include <mutex>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TypInfo.h"

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case.
AnsiString GuidToText(const TGUID& Guid);

// A critical section held exactly while a reference to it lives.
class TJclIntfCriticalSection {
public:
    std::unique_lock<std::recursive_mutex> Reference() { return std::unique_lock(FSection); }

private:
    std::recursive_mutex FSection;
};

// Holds the mapped-view list's lock while the returned reference lives.
std::unique_lock<std::recursive_mutex> AcquireMappingListLock();
// Unmaps every view of the list; nothing in the system adds one.
void ReleaseAllMappings();
// Frees the library when the handle is set and clears it.
void ReleaseLibraryHandle(void*& Handle);
