// Arrival wait on Linux: an edge-triggered epoll of the device's own, so that characters already
// waiting unread do not count again; each arrival wakes it once.
#include "SerialPlatform.h"

#include <cerrno>

#include <sys/epoll.h>
#include <unistd.h>

namespace CommPlatform {
namespace {

class TEpollArrivalWait final : public TArrivalWait {
public:
    explicit TEpollArrivalWait(THandle Handle) : FPoll(epoll_create1(EPOLL_CLOEXEC))
    {
        epoll_event Device{};
        Device.events = EPOLLIN | EPOLLET;
        Device.data.fd = static_cast<int>(Handle);
        epoll_ctl(FPoll, EPOLL_CTL_ADD, static_cast<int>(Handle), &Device);
    }
    ~TEpollArrivalWait() override { close(FPoll); }

    void Wait(std::chrono::microseconds Timeout) override
    {
        // To the microsecond: the protocol's 10 ms of silence would otherwise last up to 11.
        // An interrupted or failed wait returns early, which the caller allows for.
        epoll_event Ready;
        const timespec Limit{static_cast<time_t>(Timeout.count() / 1'000'000),
                             static_cast<long>(Timeout.count() % 1'000'000 * 1000)};
        if (epoll_pwait2(FPoll, &Ready, 1, &Limit, nullptr) < 0 && errno == ENOSYS)
            epoll_wait(FPoll, &Ready, 1, static_cast<int>((Timeout.count() + 999) / 1000)); // before Linux 5.11
    }

private:
    int FPoll;
};

} // namespace

std::unique_ptr<TArrivalWait> CreateArrivalWait(THandle Handle)
{
    return std::make_unique<TEpollArrivalWait>(Handle);
}

} // namespace CommPlatform
