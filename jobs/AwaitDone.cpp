#include "AwaitDone.h"

#include "FrameCodec.h"
#include "arm_ser.h"

namespace {

constexpr int DoneWaitLimit = 200;

} // namespace

bool AwaitDone(const Tarm_SER& Worker, const std::function<void(unsigned)>& Sleep,
               const std::function<void()>& Between, const std::function<bool()>& KeepWaiting)
{
    for (int Waits = 0; !Worker.Done() && Waits < DoneWaitLimit && (!KeepWaiting || KeepWaiting()); ++Waits) {
        Sleep(static_cast<unsigned>(PollPause.count()));
        if (Between)
            Between();
    }
    return Worker.Done();
}
