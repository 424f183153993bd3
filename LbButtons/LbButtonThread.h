// The flat button's fade thread: every 30 ms it runs one fade step on the GUI thread and waits for it.
#pragma once

#include "Thread.h"

#include <functional>

class TLbButtonThread : public TThread {
public:
    // Created suspended and free-on-terminate; an owner that frees it itself clears that mark.
    explicit TLbButtonThread(std::function<void()> Step);
    ~TLbButtonThread() override;

protected:
    void Execute() override;

private:
    const std::function<void()> FStep;
};
