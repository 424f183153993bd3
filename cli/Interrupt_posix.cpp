#include "Interrupt.h"

#include <csignal>
#include <initializer_list>

namespace {

void OnSignal(int) { NoteInterrupt(); }

} // namespace

void InstallInterruptHandlers()
{
    struct sigaction Action {};
    Action.sa_handler = OnSignal;
    sigemptyset(&Action.sa_mask);
    for (int Signal : {SIGINT, SIGTERM})
        sigaction(Signal, &Action, nullptr);
}
