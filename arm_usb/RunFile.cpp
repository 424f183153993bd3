// Whole transfers of a run file, out of the system's single ones, which may move fewer bytes.
#include "RunFile.h"

int TRunFile::Read(void* Buffer, int Count)
{
    if (!IsOpen())
        return -1;
    auto* Bytes = static_cast<char*>(Buffer);
    int Done = 0;
    while (Done < Count) {
        const int Got = ReadSome(Bytes + Done, Count - Done);
        if (Got < 0)
            return -1;
        if (Got == 0)
            break;
        Done += Got;
        FPosition += Got;
    }
    return Done;
}

bool TRunFile::Write(const void* Buffer, int Count)
{
    if (!IsOpen())
        return false;
    const auto* Bytes = static_cast<const char*>(Buffer);
    int Done = 0;
    while (Done < Count) {
        const int Written = WriteSome(Bytes + Done, Count - Done);
        if (Written <= 0)
            return false;
        Done += Written;
        FPosition += Written;
    }
    return true;
}

int64_t TRunFile::Position() const
{
    return IsOpen() ? FPosition : -1;
}

bool TRunFile::Seek(int64_t Position)
{
    if (!IsOpen() || Position < 0)
        return false;
    FPosition = Position;
    return true;
}
