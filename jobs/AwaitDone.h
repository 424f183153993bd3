// A one-block operation awaited as a window awaits it: done tested up to 200 times, 10 ms apart,
// with the host's messages processed after each pause.
#pragma once

#include <functional>

class Tarm_SER;

// True when the worker said done within the wait. Sleep pauses the calling thread; Between (may be
// empty) runs after each pause; the wait ends early once KeepWaiting (may be empty) says no.
bool AwaitDone(const Tarm_SER& Worker, const std::function<void(unsigned Milliseconds)>& Sleep,
               const std::function<void()>& Between, const std::function<bool()>& KeepWaiting = {});
