// The program's platform pieces on POSIX systems.
#include "Platform.h"

#include <csignal>
#include <initializer_list>

#include <unistd.h>

namespace {

void OnSignal(int) { NoteInterrupt(); }

} // namespace

void InstallInterruptHandlers()
{
    struct sigaction Action {};
    Action.sa_handler = OnSignal;
    sigemptyset(&Action.sa_mask);
    for (int Signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(Signal, &Action, nullptr);
    // A reader gone (`| head -1`) then fails the writes to it, and the device's job goes on to its end.
    Action.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &Action, nullptr);
}

bool StdoutIsTerminal() { return isatty(STDOUT_FILENO) == 1; }
