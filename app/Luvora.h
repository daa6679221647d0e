// The program's entry: one copy at a time, the process-wide objects made and
// freed in order, a logical database chosen, the main window run.
#pragma once

// Runs the program and answers its exit code: 0 after a normal end, after
// a cancelled choice of database and when another copy runs; 1 when the
// program could not start.
int RunLuvora();
