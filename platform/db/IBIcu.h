// The ICU libraries the database engine loads come from the folder of the
// ICU this process holds already (IBIcu.cpp tells why).
#pragma once

// Notes that folder; from then on the engine's ICU names are looked for
// there alone. Every attach calls it before the engine can start; later
// calls do nothing. Without an ICU in the process, nothing changes.
void UseLoadedIcuForEngine();

// For tests: how many ICU names were looked for in that folder so far.
long IcuNamesLookedUpInPlace();
