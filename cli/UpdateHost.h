// Stands in for the window around one firmware update: the status line and the progress bar go to
// the host's two callbacks, and the message loop is a poll of the interrupt flag and of the tick
// timer. One host per worker; several can run at once, each on a thread of its own, since the
// update's waits block.
#pragma once

#include <functional>
#include <string>

#include "FirmwareUpdate.h"
#include "ProgressDisplay.h"
#include "TickTimer.h"

class Tarm_SER;

class TUpdateHost {
public:
    using TShowStatus = std::function<void(const std::string& Text)>;
    using TShowProgress = std::function<void(const TRunProgress& Run)>;

    TUpdateHost(Tarm_SER& Worker, TShowStatus ShowStatus, TShowProgress ShowProgress);

    TFirmwareUpdate& Job() { return FJob; }
    // The last status text shown, as the window's status line would hold it.
    const std::string& StatusText() const { return FStatusText; }

private:
    TUpdateHooks Hooks();
    TRunProgress RunProgress(int Position) const;

    Tarm_SER& FWorker;
    const TShowStatus FShowStatus;
    const TShowProgress FShowProgress;
    std::string FStatusText;
    TFirmwareUpdate FJob;
    TTickTimer FTimer;
};
