// A stand-in for the SW30415's boot loader on a pseudo-terminal (or a terminal device named in the
// settings), for tests and demonstrations without the device.
//
// Use:
//     TSimSettings settings;            // see SimSettings.h for the realism and fault settings
//     TDeviceSimulator sim(settings);   // the terminal exists from here on
//     open sim.PortPath() as the serial port, then sim.Start();
//     ... exchange frames, then look at sim.Memory() and sim.RequestLog() ...
//     sim.Stop();                       // also done by the destructor
//
// What the device answers:
// - boot query: "BOOT VER 1.05" CR LF (nothing when the boot reply is off);
// - read of n bytes (1 to 128): 2n upper-case digits and the 2-digit XOR checksum, with the
//   framing text of the settings around them and between the byte pairs (none by default);
// - write (command 02 or 0B) with a fitting checksum: stores the bytes, then CR LF ">O.K." CR LF;
// - anything else (bad checksum, bad length, malformed or unknown, beyond the memory's end, a
//   line longer than a full write request): CR LF ">ERR" CR LF, and nothing is stored.
// Requests end with CR; a LF right after the CR is ignored.
//
// Each request adds one line to the log, "<request> <outcome>":
//     BOOT answered | BOOT silent
//     READ <address:6> <length:4> sent | corrupted
//     WRITE <command:2> <address:6> <length:4> acked | ack-dropped | ack-split | bad-checksum
//     INVALID malformed | bad-length | unknown-command | out-of-range | overlong "<the line's start>"
// and any of them with "hang-up" as the outcome for the request that found the device unplugged,
// "unanswered" once the device has gone silent; a reply spoilt on purpose adds " garbled" or
// " overlong" to the outcome.
// A memory file that can't be saved adds "ERROR <reason>".
#pragma once

#include "SimMemory.h"
#include "SimSettings.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Kept out of this header, so that a test of the PC's side can include it beside its own frame
// definitions.
class TSimTerminal;
class TBootLoader;
struct TRequestLine;

class TDeviceSimulator {
public:
    // Creates the terminal and loads Settings.MemoryFile when it exists; throws std::system_error
    // or std::runtime_error when either fails.
    explicit TDeviceSimulator(const TSimSettings& Settings);
    ~TDeviceSimulator();
    TDeviceSimulator(const TDeviceSimulator&) = delete;
    TDeviceSimulator& operator=(const TDeviceSimulator&) = delete;

    // The slave side, to be opened as the serial port; a named device's own path.
    std::string PortPath() const;

    // Answers on a thread of its own until Stop or a hang-up. A simulator runs once.
    void Start();
    // Answers on the calling thread until RequestStop or a hang-up; saves the memory file at the end.
    void Run();
    // Ends the run at its next wait; safe to call from a signal handler.
    void RequestStop() noexcept;
    // RequestStop, then waits for the thread of Start.
    void Stop();

    bool HungUp() const { return FHungUp.load(); }

    TSimMemory& Memory() { return FMemory; }

    std::vector<std::string> RequestLog() const;
    // Waits until the log has at least Count lines, Timeout at most.
    bool WaitForLog(size_t Count, std::chrono::milliseconds Timeout) const;

private:
    // False when the run must end: stopped or hung up.
    bool Serve(const TRequestLine& Line);
    void Log(const std::string& Line);

    const TSimSettings FSettings;
    TSimMemory FMemory;
    std::unique_ptr<TSimTerminal> FLine;
    std::unique_ptr<TBootLoader> FBootLoader;
    std::thread FThread;
    std::chrono::steady_clock::time_point FInputCarriedUntil; // the last request's last bit, when paced
    std::atomic<bool> FHungUp{false};
    mutable std::mutex FLogMutex;
    mutable std::condition_variable FLogGrew;
    std::vector<std::string> FLog;
};
