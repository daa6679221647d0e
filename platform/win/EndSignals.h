// Requests to end the program that reach the process from outside: SIGTERM
// (the desktop logging out, kill) and SIGINT (Ctrl+C in the terminal that
// started it). The handlers only count a request and wake a reader, so the
// program ends at its own pace, closing its windows and files as it does
// when the user closes the main window. A third request ends the process at
// once, for a program that no longer listens.
#pragma once

// Installs the handlers. Call it first thing, before any other thread starts;
// later calls do nothing.
void InstallEndSignalHandlers();

// Puts the handlers back where a library replaced them: the database client
// installs its own when its engine starts, and they would stop the engine
// and leave the program running. Does nothing before the install.
void ReclaimEndSignalHandlers();

// The number of requests so far.
int EndSignalCount();

// A descriptor that turns readable at every request, for an event loop to
// watch; -1 before the install. DrainEndSignalWakeups empties it.
int EndSignalWakeupFd();
void DrainEndSignalWakeups();

// Tests that raise a signal start the next case afresh.
void ForgetEndSignals();
