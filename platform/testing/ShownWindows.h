// Waiting for a window the program showed to reach the screen, for
// benchmarks that time start-up up to a window the user can see.
#pragma once

#include "platform/gui/Controls.h"

// Runs the event loop until Control's window is on the screen (true), or
// until TimeoutMs have passed (false); the pending events are handled then.
bool WaitUntilExposed(TWinControl* Control, int TimeoutMs = 5000);
