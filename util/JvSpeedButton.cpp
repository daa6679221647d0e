// Only the unit's version record, and the call that keeps it linked.
#include "util/JvSpeedButton.h"

#include "util/JclUnitVersioning.h"

LIBRARY_UNIT_VERSION("util/JvSpeedButton.cpp", "1", "2026-12-10", "JvLib\\run")

void UseJvSpeedButtonUnit() {}
