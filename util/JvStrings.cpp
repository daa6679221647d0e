// Only the unit's version record.
#include "util/JvStrings.h"

#include "util/JclUnitVersioning.h"

LIBRARY_UNIT_VERSION("util/JvStrings.cpp", "1", "2026-12-10", "JvLib\\run")
