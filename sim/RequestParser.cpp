#include "RequestParser.h"

#include <optional>

namespace {

// Upper-case digits only: the protocol has no other case, and a lower-case frame is a broken one.
std::optional<uint32_t> hexField(std::string_view Text)
{
    uint32_t value = 0;
    for (char c : Text) {
        uint32_t digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<uint32_t>(c - '0');
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<uint32_t>(c - 'A' + 10);
        else
            return std::nullopt;
        value = value * 16 + digit;
    }
    return value;
}

TRequest invalid(TFrameError Error)
{
    TRequest request;
    request.Error = Error;
    return request;
}

// Fills the data of a write from its digits and checks them against the checksum that follows.
TRequest parseWrite(TRequest Request, std::string_view Body)
{
    if (Request.Length > MaxBlockLength || Body.size() != 2 * Request.Length + 2)
        return invalid(TFrameError::feBadLength);
    uint8_t sum = 0;
    for (size_t i = 0; i < Request.Length; ++i) {
        const auto byte = hexField(Body.substr(2 * i, 2));
        if (!byte)
            return invalid(TFrameError::feMalformed);
        Request.Data.push_back(static_cast<uint8_t>(*byte));
        sum ^= static_cast<uint8_t>(*byte);
    }
    const auto received = hexField(Body.substr(Body.size() - 2));
    if (!received)
        return invalid(TFrameError::feMalformed);
    Request.Kind = TRequestKind::rkWrite;
    Request.Error = *received == sum ? TFrameError::feNone : TFrameError::feBadChecksum;
    return Request;
}

} // namespace

TRequest ParseRequest(std::string_view Line, uint32_t MemorySize)
{
    if (Line.size() < HeaderLength)
        return invalid(TFrameError::feMalformed);
    const auto prefix = hexField(Line.substr(0, 2));
    const auto address = hexField(Line.substr(2, 6));
    const auto command = hexField(Line.substr(8, 2));
    const auto length = hexField(Line.substr(10, 4));
    if (!prefix || !address || !command || !length)
        return invalid(TFrameError::feMalformed);

    TRequest request;
    request.Command = static_cast<uint8_t>(*command);
    request.Address = *address;
    request.Length = *length;
    const auto body = Line.substr(HeaderLength);
    switch (request.Command) {
    case cmdBootQuery:
        if (request.Length != 0 || !body.empty())
            return invalid(TFrameError::feBadLength);
        request.Kind = TRequestKind::rkBootQuery;
        request.Error = TFrameError::feNone;
        return request;
    case cmdReadBlock:
        if (request.Length == 0 || request.Length > MaxBlockLength || !body.empty())
            return invalid(TFrameError::feBadLength);
        if (request.Address + request.Length > MemorySize)
            return invalid(TFrameError::feOutOfRange);
        request.Kind = TRequestKind::rkRead;
        request.Error = TFrameError::feNone;
        return request;
    case cmdWriteBlock:
    case cmdWriteParam:
        if (request.Address + request.Length > MemorySize)
            return invalid(TFrameError::feOutOfRange);
        return parseWrite(std::move(request), body);
    default:
        return invalid(TFrameError::feUnknownCommand);
    }
}

std::string_view FrameErrorName(TFrameError Error)
{
    switch (Error) {
    case TFrameError::feNone:
        return "none";
    case TFrameError::feMalformed:
        return "malformed";
    case TFrameError::feBadLength:
        return "bad-length";
    case TFrameError::feBadChecksum:
        return "bad-checksum";
    case TFrameError::feUnknownCommand:
        return "unknown-command";
    case TFrameError::feOutOfRange:
        return "out-of-range";
    case TFrameError::feOverlong:
        return "overlong";
    default:
        return "?";
    }
}

std::vector<TRequestLine> TLineAssembler::Feed(std::string_view Chunk, std::chrono::steady_clock::time_point Now)
{
    std::vector<TRequestLine> lines;
    for (char c : Chunk) {
        const bool afterCr = FAfterCr;
        FAfterCr = c == '\r';
        if (c == '\n' && afterCr && !FInLine)
            continue;
        if (!FInLine) {
            FLine = TRequestLine{};
            FLine.Started = Now;
            FInLine = true;
        }
        ++FLine.Length;
        if (c == '\r') {
            lines.push_back(std::move(FLine));
            FInLine = false;
        } else if (FLine.Text.size() < MaxLineLength) {
            FLine.Text.push_back(c);
        } else {
            FLine.Overlong = true;
        }
    }
    return lines;
}
