// How the simulated device behaves: its realism and the faults it can be told to show.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// Digits an overlong reply runs on with: more than either reply buffer of the PC holds.
constexpr size_t OverlongTail = 600;

struct TSimSettings {
    // Line pacing: 0 sends and takes in characters at once; any other rate lets no character
    // through faster than a line at that rate would carry it (10 bits a character).
    unsigned Baud = 0;
    // When paced: how many characters the line hands on at a time, each part once its last
    // character is carried (1: a UART passing on every character, 62: a USB adapter's packet).
    // 0: about a millisecond's worth.
    size_t HandOn = 0;
    // A USB serial adapter's latency timer on the PC's side: what the device sends is passed on in
    // 62-character packets, or whatever waits this long after its first character. 0: no adapter.
    std::chrono::milliseconds AdapterLatency{0};
    // Time the flash takes to program one written block, before the acknowledgement.
    std::chrono::milliseconds ProgramDelay{0};
    // Off: the boot query goes unanswered, as by a device that runs its firmware.
    bool BootReply = true;
    // What the boot query gets while the boot reply is on; another text shows a boot loader of
    // another make, or a firmware that answers something else.
    std::string BootText = "BOOT VER 1.05\r\n";
    // Replaces the protection word at start, after a memory file was loaded.
    std::optional<uint32_t> ProtectionWord;
    // Every Nth acknowledgement (counting accepted writes) is not sent; the block is still stored. 0: never.
    unsigned DropAckEvery = 0;
    // How a read reply is framed: text ahead of its digits, after its checksum, and between its byte
    // pairs (the checksum's pair included). Empty: the digits and the checksum alone.
    std::string ReadLead;
    std::string ReadTail;
    std::string ReadSeparator;
    // Every Nth read reply has its first data digit changed, so its checksum no longer fits. 0: never.
    unsigned CorruptReadEvery = 0;
    // Every Nth acknowledgement is sent as its first three characters, a pause of SplitAckGap, then
    // the rest. 0: never.
    unsigned SplitAckEvery = 0;
    std::chrono::milliseconds SplitAckGap{50};
    // A bad flash cell: a byte written to this address is stored with bit 0 inverted.
    std::optional<uint32_t> BadCell;
    // After this many blocks were stored, the next request finds the device unplugged: the
    // simulator closes the terminal without answering.
    std::optional<unsigned> HangUpAfterBlocks;
    // After this many read replies were sent (the protection word's read counts), the next read
    // request finds the device unplugged; 0: the first, during the device check.
    std::optional<unsigned> HangUpAfterReads;
    // After this many blocks were stored, the device answers nothing more, while the terminal stays
    // open: a boot loader that has hung.
    std::optional<unsigned> SilentAfterBlocks;
    // Every Nth reply to a read or a write is line noise of the same length (bytes with the top bit
    // set): no "O.K." and no digits. 0: never.
    unsigned GarbageReplyEvery = 0;
    // Every Nth reply to a read or a write runs on with OverlongTail more digits. 0: never.
    unsigned OverlongReplyEvery = 0;
    // A terminal device to serve (a USB gadget's /dev/ttyGS0, say). Empty: a pseudo-terminal of its own.
    std::string DevicePath;
    // A flat memory image: loaded at construction when the file exists, saved when the run ends.
    std::string MemoryFile;
    // Receives each request log line as well, on the simulator's thread.
    std::function<void(const std::string&)> LogSink;
};
