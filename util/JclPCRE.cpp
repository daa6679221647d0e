// The failure hook of the regular-expression engine that is never loaded.
#include "util/JclPCRE.h"

#include "util/JclUnitVersioning.h"

void PCRELibraryNotLoaded() {
    throw EPCREError("PCRE library not loaded", 0);
}

LIBRARY_UNIT_VERSION("util/JclPCRE.cpp", "1", "2026-12-10", "JclLib\\source\\common")
