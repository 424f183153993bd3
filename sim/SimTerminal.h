// The simulator's end of the line: the master side of a pseudo-terminal, whose slave side the PC
// opens as its serial port, or a terminal device named to it (a USB gadget's ttyGS0, whose host
// side the PC opens), plus a stop pipe that ends every wait at once. What the device sends
// passes through a USB serial adapter's buffer on its way; its timer runs during every wait.
#pragma once

#include "AdapterBuffer.h"

#include <chrono>
#include <string>
#include <string_view>
#include <sys/types.h>

class TSimTerminal {
public:
    using TClock = std::chrono::steady_clock;
    enum class TWaitResult { wrReady, wrTimeout, wrStopped, wrClosed };

    // Throws std::system_error when the terminal can't be created or opened. AdapterLatency 0: no
    // adapter. DevicePath empty: a pseudo-terminal of its own.
    TSimTerminal(std::chrono::milliseconds AdapterLatency, const std::string& DevicePath);
    ~TSimTerminal();
    TSimTerminal(const TSimTerminal&) = delete;
    TSimTerminal& operator=(const TSimTerminal&) = delete;

    const std::string& Path() const { return FPath; }

    // Waits until the PC has sent something, Until at the latest.
    TWaitResult WaitForInput(TClock::time_point Until);
    // Takes what has arrived; 0 when nothing has, -1 when the line is gone.
    ssize_t Read(char* Buffer, size_t Size);
    // Waits until Until; false when a stop came first.
    bool Pause(TClock::time_point Until);
    // Sends Text, at Baud when it is not 0 (10 bits a character), handing on HandOn characters at a
    // time (0: about a millisecond's worth); what the adapter still holds at the end goes out during
    // the waits that follow. False when stopped or the line took nothing for a long time.
    bool Send(std::string_view Text, unsigned Baud, size_t HandOn);

    // Safe to call from a signal handler: it only writes to the stop pipe.
    void RequestStop() noexcept;
    bool StopRequested() const;

    // The device unplugged: the PC sees its port hang up (on a named device, the line falls silent).
    void HangUp();

private:
    TWaitResult WaitFor(short Events, TClock::time_point Until);
    // WaitFor, passing on what the adapter releases meanwhile.
    TWaitResult WaitPassingOn(short Events, TClock::time_point Until);
    // Writes what the adapter has released by Now.
    bool PassOn(TClock::time_point Now);
    bool WriteSome(std::string_view Text, size_t& Sent);

    int FMaster = -1;
    // Held open so that the master never reads EIO while no PC has the port open; -1 on a device.
    int FSlave = -1;
    int FStopPipe[2] = {-1, -1};
    std::string FPath;
    TAdapterBuffer FAdapter;
};
