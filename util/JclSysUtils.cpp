// The mapped-view list and its lock, the text form of a GUID, and library
// handles.
#include "util/JclSysUtils.h"

#include <dlfcn.h>
#include <sys/mman.h>

#include <memory>

#include "util/JclUnitVersioning.h"

AnsiString GuidToText(const TGUID& G) {
    return Format("{%.8x-%.4x-%.4x-%.2x%.2x-%.2x%.2x%.2x%.2x%.2x%.2x}",
                  {unsigned(G.D1), unsigned(G.D2), unsigned(G.D3), unsigned(G.D4[0]), unsigned(G.D4[1]),
                   unsigned(G.D4[2]), unsigned(G.D4[3]), unsigned(G.D4[4]), unsigned(G.D4[5]),
                   unsigned(G.D4[6]), unsigned(G.D4[7])});
}

namespace {
struct TMMFHandleListItem {
    std::unique_ptr<TMMFHandleListItem> Next;
    void* View = nullptr;
    std::size_t Size = 0;
    AnsiString Name;
};
std::unique_ptr<TMMFHandleListItem> gMappings;

TJclIntfCriticalSection& MappingListLock() {
    static TJclIntfCriticalSection lock;
    return lock;
}

struct TShutDown {
    ~TShutDown() { ReleaseAllMappings(); }
} gShutDown;
} // namespace

std::unique_lock<std::recursive_mutex> AcquireMappingListLock() {
    return MappingListLock().Reference();
}

void ReleaseAllMappings() {
    auto lock = AcquireMappingListLock();
    while (gMappings) {
        if (gMappings->View) ::munmap(gMappings->View, gMappings->Size);
        gMappings = std::move(gMappings->Next);
    }
}

void ReleaseLibraryHandle(void*& Handle) {
    if (Handle) ::dlclose(Handle);
    Handle = nullptr;
}

LIBRARY_UNIT_VERSION("util/JclSysUtils.cpp", "1", "2026-12-10", "JclLib\\source\\common")
