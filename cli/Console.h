// The console around sw30415, one implementation per platform. Ctrl-C, and where there are signals
// SIGTERM and SIGHUP (a closed terminal, a dropped session; on Windows the console closed): noted,
// so that the running job can abandon its run and clean up. A standard output whose reader went
// away does not end the job either.
#pragma once

// The system's handlers call NoteInterrupt.
void InstallInterruptHandlers();
bool Interrupted();
// Safe in a signal handler and on the thread Windows runs a console handler on.
void NoteInterrupt();

// Whether stdout is a terminal that takes the progress bar's redrawing escapes.
bool StdoutIsTerminal();
