// Only the unit's version record.
#include "util/JclWin32.h"

#include "util/JclUnitVersioning.h"

LIBRARY_UNIT_VERSION("util/JclWin32.cpp", "1", "2026-12-10", "JclLib\\source\\common")
