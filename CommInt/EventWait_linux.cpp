// Line event wait on Linux: epoll on the device, edge-triggered so that bytes waiting unread do not
// report again and again (the Win32 event fires once per arrival), plus the wake-up event.
#include "SerialPlatform.h"

#include <cerrno>

#include <sys/epoll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace CommPlatform {
namespace {

class TEpollEventWait final : public TEventWait {
public:
    TEpollEventWait(THandle Handle, uint32_t Mask, THandle WakeEvent)
        : FDevice(static_cast<int>(Handle)), FMask(Mask), FWake(static_cast<int>(WakeEvent)),
          FPoll(epoll_create1(EPOLL_CLOEXEC))
    {
        epoll_event Wake{};
        Wake.events = EPOLLIN;
        Wake.data.fd = FWake;
        epoll_ctl(FPoll, EPOLL_CTL_ADD, FWake, &Wake);
        epoll_event Device{};
        Device.events = EPOLLET | (FMask & EV_RXCHAR ? EPOLLIN : 0u) |
                        (FMask & EV_TXEMPTY ? EPOLLOUT : 0u);
        Device.data.fd = FDevice;
        epoll_ctl(FPoll, EPOLL_CTL_ADD, FDevice, &Device);
    }
    ~TEpollEventWait() override { close(FPoll); }

    bool Wait(uint32_t& Raw) override
    {
        for (;;) {
            epoll_event Ready[2];
            const int Count = epoll_wait(FPoll, Ready, 2, -1);
            if (Count < 0 && errno == EINTR)
                continue;
            if (Count <= 0)
                return false;
            Raw = 0;
            for (int I = 0; I < Count; ++I) {
                if (Ready[I].data.fd == FWake)
                    return false;
                Raw |= Ready[I].events;
            }
            return true;
        }
    }

    uint32_t Events(uint32_t Ready, bool& HungUp) override
    {
        HungUp = false;
        if (FDevice < 0)
            return 0;
        if (Ready & (EPOLLHUP | EPOLLERR)) {
            // The device has gone (a pulled adapter, a closed peer): it would report that at
            // every wait, so stop watching it and leave only the wake-up event.
            Release();
            HungUp = true;
            return 0;
        }
        uint32_t Events = 0;
        if (Ready & EPOLLIN)
            Events |= EV_RXCHAR;
        int Unsent = 0;
        if ((Ready & EPOLLOUT) && ioctl(FDevice, TIOCOUTQ, &Unsent) == 0 && Unsent == 0)
            Events |= EV_TXEMPTY;
        return Events & FMask;
    }

    void Release() override
    {
        // The kernel holds a reference to the device's open file while it polls a ready entry
        // (which a purge or hang-up makes ready); the file, and with it the port's lock, would then
        // outlive the close by that moment. Removing the entry waits for such a poll to finish.
        if (FDevice < 0)
            return;
        epoll_ctl(FPoll, EPOLL_CTL_DEL, FDevice, nullptr);
        FDevice = -1;
    }

private:
    int FDevice;
    uint32_t FMask;
    int FWake;
    int FPoll;
};

} // namespace

std::unique_ptr<TEventWait> CreateEventWait(THandle Handle, uint32_t Mask, THandle WakeEvent)
{
    return std::make_unique<TEpollEventWait>(Handle, Mask, WakeEvent);
}

} // namespace CommPlatform
