// Ctrl-C (and SIGTERM where there are signals): noted, so that the running job can abandon its run
// and clean up.
#pragma once

// The system's handlers call NoteInterrupt; one implementation per platform.
void InstallInterruptHandlers();
bool Interrupted();
// Safe in a signal handler and on the thread Windows runs a console handler on.
void NoteInterrupt();
