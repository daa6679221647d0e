// Only the unit's version record.
#include "util/JclShell.h"

#include "util/JclUnitVersioning.h"

LIBRARY_UNIT_VERSION("util/JclShell.cpp", "1", "2026-12-10", "JclLib\\source\\common")
