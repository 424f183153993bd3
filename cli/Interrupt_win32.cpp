#include "Interrupt.h"

#include <windows.h>

namespace {

// Windows runs the handler on a thread of its own. Ctrl-C and Ctrl-Break are taken, so that the
// job ends its run and deletes its read-back file; closing the console still ends the process.
BOOL WINAPI OnConsoleControl(DWORD Event)
{
    if (Event != CTRL_C_EVENT && Event != CTRL_BREAK_EVENT)
        return FALSE;
    NoteInterrupt();
    return TRUE;
}

} // namespace

void InstallInterruptHandlers() { SetConsoleCtrlHandler(OnConsoleControl, TRUE); }
