// The program's platform pieces on Windows.
#include "Platform.h"

#include <windows.h>

namespace {

// Within the time Windows gives a closing console's process before it ends it.
constexpr DWORD CloseGraceMs = 5000;

// Windows runs the handler on a thread of its own. Ctrl-C, Ctrl-Break and closing the console are
// taken, so that the job ends its run, deletes its files and writes its record. A closed console's
// process ends once the handler returns, so the handler holds it until main has returned.
BOOL WINAPI OnConsoleControl(DWORD Event)
{
    if (Event != CTRL_C_EVENT && Event != CTRL_BREAK_EVENT && Event != CTRL_CLOSE_EVENT)
        return FALSE;
    NoteInterrupt();
    if (Event == CTRL_CLOSE_EVENT)
        Sleep(CloseGraceMs);
    return TRUE;
}

} // namespace

void InstallInterruptHandlers() { SetConsoleCtrlHandler(OnConsoleControl, TRUE); }

bool StdoutIsTerminal()
{
    const HANDLE Out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD Mode = 0;
    if (!GetConsoleMode(Out, &Mode))
        return false; // a file or a pipe
    // A console takes VT escapes only when asked to; one too old to take them gets plain lines.
    return (Mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0
        || SetConsoleMode(Out, Mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}
