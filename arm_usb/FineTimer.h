// Sleeps as fine as the system can make them while an object of this class lives: the protocol's
// 10 ms polls must last 10 ms, not a scheduler tick more. The worker holds one while connected.
#pragma once

class TFineTimer {
public:
    TFineTimer();
    ~TFineTimer();
    TFineTimer(const TFineTimer&) = delete;
    TFineTimer& operator=(const TFineTimer&) = delete;

private:
    unsigned long FRestore = 0; // what the destructor puts back, where the system needs it
};
