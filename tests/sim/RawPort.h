// The PC's end of the simulator's terminal in its plainest form: the slave side opened with POSIX
// calls in raw mode, so the tests see exactly the characters the simulator sends.
#pragma once

#include "DeviceText.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using namespace std::chrono_literals;
using TTestClock = std::chrono::steady_clock;

// Generous: long enough for a loaded machine, never part of a verdict on speed.
constexpr auto ReplyTimeout = 5s;

class TRawPort {
public:
    explicit TRawPort(const std::string& Path);
    ~TRawPort();
    TRawPort(const TRawPort&) = delete;
    TRawPort& operator=(const TRawPort&) = delete;

    void Write(std::string_view Text);
    // What has arrived once Count characters have, or when Timeout passed: never more than what
    // was waiting at the time.
    std::string Read(size_t Count, std::chrono::milliseconds Timeout = ReplyTimeout);
    std::string Exchange(std::string_view Frame, size_t ReplyLength);
    // True once the simulator has closed its side.
    bool WaitForHangUp(std::chrono::milliseconds Timeout = ReplyTimeout);

private:
    int FFd = -1;
};

// A write of 128 bytes of Fill at Address with cmdWriteBlock (the checksum of an even count of
// equal bytes is 00).
std::string FullBlockFrame(uint32_t Address, uint8_t Fill);
std::string ReadFrame(uint32_t Address);

constexpr std::string_view Ack = "\r\n>O.K.\r\n";
constexpr std::string_view Rejected = "\r\n>ERR\r\n";
constexpr std::string_view BootQuery = "00000000500000\r";
constexpr std::string_view SettingsWrite = "000240000200040500050000\r";
constexpr std::string_view MacWrite = "0003F0040B000600112233445511\r";
constexpr size_t ReadReplyLength = 258;
