// Manual-reset events as eventfd counters: above zero means signalled, so the descriptor polls
// readable exactly while the event is set, and the event wait can watch it beside the device.
#include "SerialPlatform.h"

#include <sys/eventfd.h>
#include <unistd.h>

namespace CommPlatform {

THandle CreateManualEvent()
{
    const int Descriptor = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    return Descriptor < 0 ? INVALID_HANDLE_VALUE : Descriptor;
}

void CloseEvent(THandle Event)
{
    if (Event != INVALID_HANDLE_VALUE)
        close(static_cast<int>(Event));
}

// The counter never reaches the eventfd maximum.
void SignalEvent(THandle Event)
{
    const uint64_t One = 1;
    [[maybe_unused]] const ssize_t Written = write(static_cast<int>(Event), &One, sizeof One);
}

void UnsignalEvent(THandle Event)
{
    uint64_t Count;
    [[maybe_unused]] const ssize_t Got = read(static_cast<int>(Event), &Count, sizeof Count);
}

} // namespace CommPlatform
