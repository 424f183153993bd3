#include "Console.h"

#include <atomic>

namespace {

std::atomic<bool> InterruptSeen{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

} // namespace

void NoteInterrupt() { InterruptSeen.store(true); }

bool Interrupted() { return InterruptSeen.load(); }
