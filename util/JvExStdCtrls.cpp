// Only the unit's version record, and the call that keeps it linked.
#include "util/JvExStdCtrls.h"

#include "util/JclUnitVersioning.h"

LIBRARY_UNIT_VERSION("util/JvExStdCtrls.cpp", "1", "2026-12-10", "JvLib\\run")

void UseJvExStdCtrlsUnit() {}
