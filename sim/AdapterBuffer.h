// The receive buffer of a USB serial adapter of the FTDI kind, between the device's line and the
// PC: it passes characters on in 62-character packets (a 64-byte USB packet less 2 status bytes),
// or whatever waits once its latency timer has run from the first held character. Kept free of
// I/O and of the clock, so that the rule can be followed with chosen moments.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

constexpr size_t AdapterPacketSize = 62;

struct TAdapterPacket {
    std::chrono::steady_clock::time_point At; // when the adapter passes it on
    std::string Text;
};

class TAdapterBuffer {
public:
    using TClock = std::chrono::steady_clock;

    // 0: no adapter, every character passes on the moment it arrives.
    explicit TAdapterBuffer(std::chrono::milliseconds Latency) : FLatency(Latency) {}

    // Text reached the adapter at At. Moments never go back; an earlier one counts as the latest seen.
    void Hold(std::string_view Text, TClock::time_point At);
    // The packets passed on by Now, oldest first, each once.
    std::vector<TAdapterPacket> Release(TClock::time_point Now);
    // When the held characters go out unless more complete their packet first; none while nothing is held.
    std::optional<TClock::time_point> Deadline() const;

private:
    // Closes the held packet when its timer ran out by Now.
    void Expire(TClock::time_point Now);

    const std::chrono::milliseconds FLatency;
    std::string FHeld;
    TClock::time_point FFirstHeld;
    TClock::time_point FLatest;
    std::vector<TAdapterPacket> FPassed;
};
