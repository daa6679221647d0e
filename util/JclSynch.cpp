// Only the unit's version record.
#include "util/JclSynch.h"

#include "util/JclUnitVersioning.h"

LIBRARY_UNIT_VERSION("util/JclSynch.cpp", "1", "2026-12-10", "JclLib\\source\\common")
