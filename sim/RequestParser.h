// Turns the characters the PC sends into requests: splits them into CR-ended lines and reads the
// fields of one line. Anything can arrive on a serial line, so every input yields a request, at
// worst an invalid one that says why.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class TRequestKind { rkRead, rkWrite, rkBootQuery, rkInvalid };

enum class TFrameError { feNone, feMalformed, feBadLength, feBadChecksum, feUnknownCommand, feOutOfRange, feOverlong };

struct TRequest {
    TRequestKind Kind = TRequestKind::rkInvalid;
    TFrameError Error = TFrameError::feMalformed;
    uint8_t Command = 0;
    uint32_t Address = 0;
    uint32_t Length = 0;
    std::vector<uint8_t> Data; // the bytes a write carries
};

// The request codes the boot loader knows.
constexpr uint8_t cmdWriteBlock = 0x02;
constexpr uint8_t cmdReadBlock = 0x03;
constexpr uint8_t cmdWriteParam = 0x0B;
constexpr uint8_t cmdBootQuery = 0x50;

// The most a request can carry: a write of one 128-byte block.
constexpr uint32_t MaxBlockLength = 128;
// prefix, address, command and length fields
constexpr size_t HeaderLength = 14;
// The longest acceptable line without its CR: a full write request.
constexpr size_t MaxLineLength = HeaderLength + 2 * MaxBlockLength + 2;

// Reads one line (without its CR). MemorySize bounds the addresses a request may touch.
TRequest ParseRequest(std::string_view Line, uint32_t MemorySize);

std::string_view FrameErrorName(TFrameError Error);

struct TRequestLine {
    std::string Text;  // at most MaxLineLength characters; an overlong line keeps its beginning
    size_t Length = 0; // characters received, CR included
    bool Overlong = false;
    std::chrono::steady_clock::time_point Started; // when its first character was taken in
};

// Collects characters into lines ended by CR. A LF right after a CR is dropped, so a terminal
// that sends CR LF works too.
class TLineAssembler {
public:
    std::vector<TRequestLine> Feed(std::string_view Chunk, std::chrono::steady_clock::time_point Now);

private:
    TRequestLine FLine;
    bool FInLine = false;
    bool FAfterCr = false;
};
