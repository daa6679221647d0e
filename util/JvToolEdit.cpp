// Only the unit's version record, and the call that keeps it linked.
#include "util/JvToolEdit.h"

#include "util/JclUnitVersioning.h"

LIBRARY_UNIT_VERSION("util/JvToolEdit.cpp", "1", "2026-12-10", "JvLib\\run")

void UseJvToolEditUnit() {}
