// The base library's exception class and byte copy.
#include "util/JclBase.h"

#include <cstring>

#include "util/JclUnitVersioning.h"

void CopyCharsAt(const AnsiString& Source, int SourceOffset, AnsiString& Dest, int DestOffset, int Count) {
    if (Count <= 0) return;
    if (SourceOffset < 0 || DestOffset < 0 ||
        std::size_t(SourceOffset) + std::size_t(Count) > Source.size() ||
        std::size_t(DestOffset) + std::size_t(Count) > Dest.size())
        throw EJclError("Copy range out of bounds");
    std::memmove(Dest.data() + DestOffset, Source.data() + SourceOffset, std::size_t(Count));
}

LIBRARY_UNIT_VERSION("util/JclBase.cpp", "1", "2026-12-10", "JclLib\\common")
