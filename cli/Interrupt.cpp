#include "Interrupt.h"

#include <atomic>
#include <csignal>

namespace {

std::atomic<bool> InterruptSeen{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

void NoteInterrupt(int) { InterruptSeen.store(true); }

} // namespace

void InstallInterruptHandlers()
{
    struct sigaction Action {};
    Action.sa_handler = NoteInterrupt;
    sigemptyset(&Action.sa_mask);
    for (int Signal : {SIGINT, SIGTERM})
        sigaction(Signal, &Action, nullptr);
}

bool Interrupted() { return InterruptSeen.load(); }
