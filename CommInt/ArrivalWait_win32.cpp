// Arrival wait on Win32: the port's one WaitCommEvent belongs to its event thread, and some drivers
// (Wine's on a pseudo-terminal among them) report no arrival at all, so the wait looks again after
// 1 ms. The worker holds a 1 ms timer resolution while connected, so the step lasts 1 ms.
#include "SerialPlatform.h"

namespace CommPlatform {
namespace {

class TSteppedArrivalWait final : public TArrivalWait {
public:
    // A step rather than the rest of Timeout, and never less: a shorter sleep would only spin.
    void Wait(std::chrono::microseconds) override { ::Sleep(1); }
};

} // namespace

std::unique_ptr<TArrivalWait> CreateArrivalWait(THandle)
{
    return std::make_unique<TSteppedArrivalWait>();
}

} // namespace CommPlatform
