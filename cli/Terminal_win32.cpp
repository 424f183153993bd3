#include "Terminal.h"

#include <windows.h>

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
