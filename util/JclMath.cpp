// Only the unit's version record.
#include "util/JclMath.h"

#include "util/JclUnitVersioning.h"

LIBRARY_UNIT_VERSION("util/JclMath.cpp", "1", "2026-12-10", "JclLib\\source\\common")
