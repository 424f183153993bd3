// The simulator's side of the line: whatever arrives, in whatever pieces, becomes lines that parse
// to requests within the memory, and a write that parses spells out the same frame again.
#include <cstdlib>
#include <string>

#include "RequestParser.h"
#include "SimMemory.h"

namespace {

void AppendHex(std::string& Text, uint32_t Value, int Width)
{
    for (int Shift = 4 * (Width - 1); Shift >= 0; Shift -= 4)
        Text.push_back("0123456789ABCDEF"[(Value >> Shift) & 0xF]);
}

void Check(const TRequestLine& Line)
{
    if (Line.Text.size() > MaxLineLength || Line.Overlong != (Line.Length > MaxLineLength + 1))
        std::abort();
    const TRequest Request = ParseRequest(Line.Text, SimMap::MemorySize);
    // Reads and writes stay inside the memory; the boot query touches none, whatever its address.
    const bool Touches = Request.Kind == TRequestKind::rkRead || Request.Kind == TRequestKind::rkWrite;
    if (Touches && Request.Error != TFrameError::feBadChecksum &&
        (Request.Error != TFrameError::feNone || Request.Length > MaxBlockLength ||
         Request.Address + Request.Length > SimMap::MemorySize))
        std::abort();
    if (Request.Kind == TRequestKind::rkWrite) {
        if (Request.Data.size() != Request.Length)
            std::abort();
        // Digits are upper case only, so a write that parsed has one spelling: its own.
        uint8_t Sum = 0;
        std::string Frame = Line.Text.substr(0, 2);
        Frame.reserve(MaxLineLength);
        AppendHex(Frame, Request.Address, 6);
        AppendHex(Frame, Request.Command, 2);
        AppendHex(Frame, Request.Length, 4);
        for (uint8_t Byte : Request.Data) {
            AppendHex(Frame, Byte, 2);
            Sum ^= Byte;
        }
        const std::string Received = Line.Text.substr(Line.Text.size() - 2);
        std::string Expected;
        AppendHex(Expected, Sum, 2);
        if (Frame + Received != Line.Text || (Request.Error == TFrameError::feNone) != (Received == Expected))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    TLineAssembler Lines;
    const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
    // The first byte picks where the input is cut into the pieces the terminal delivers.
    const size_t Piece = Size == 0 ? 1 : Data[0] % 64 + 1;
    for (size_t At = 0; At < Text.size(); At += Piece)
        for (const TRequestLine& Line : Lines.Feed(Text.substr(At, Piece), {}))
            Check(Line);
    return 0;
}
