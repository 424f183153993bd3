// The open file of a firmware run: the image being written to the device, or the read-back file
// being filled. A file being filled is exclusive to its run; an image may be read by several runs
// at once, but not while something writes it. Each handle reads and writes at a position of its own,
// so that handles on one open file do not move each other.
#pragma once

#include <cstdint>
#include <string>

class TRunFile {
public:
    TRunFile() = default;
    ~TRunFile() { Close(); }
    TRunFile(const TRunFile&) = delete;
    TRunFile& operator=(const TRunFile&) = delete;

    // An existing regular file, for reading from its start. False when it can't be opened or
    // something holds it for writing.
    bool OpenForReading(const std::string& Path);
    // Creates a new file for writing. False when anything already exists under that name, a
    // symbolic link included, so that a name planted beforehand can't redirect the write.
    bool Create(const std::string& Path);
    // Another handle on the file that Open holds, at its start: the image checked and hashed once is
    // the one that each run then writes. False when Open is closed or the system refuses.
    bool OpenSame(const TRunFile& Open);
    bool IsOpen() const { return FHandle != InvalidHandle; }
    void Close();

    // -1 when the system can't tell.
    int64_t Size() const;
    int64_t Position() const;
    bool Seek(int64_t Position);
    // Up to Count bytes: fewer only at the end of the file; -1 on failure.
    int Read(void* Buffer, int Count);
    // All Count bytes, or false.
    bool Write(const void* Buffer, int Count);

    // The system's code for the last open, read or write that failed (0: none), and its text.
    int Error() const { return FError; }
    static std::string ErrorText(int Code);

private:
    // One transfer of the system's at FPosition: the count moved (0 at the end of the file), or -1
    // on failure with FError set.
    int ReadSome(void* Buffer, int Count);
    int WriteSome(const void* Buffer, int Count);

    static constexpr intptr_t InvalidHandle = -1;
    intptr_t FHandle = InvalidHandle;
    int64_t FPosition = 0;
    int FError = 0;
};
