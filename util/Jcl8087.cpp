// Only the unit's version record.
#include "util/Jcl8087.h"

#include "util/JclUnitVersioning.h"

LIBRARY_UNIT_VERSION("util/Jcl8087.cpp", "1", "2026-12-10", "JclLib\\source\\common")
