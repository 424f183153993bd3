// The worker thread of one connection to the device. It owns the serial port, opens it when it
// starts, and then carries out pass by pass the operation a window has armed: a firmware run
// between a file and the device's firmware area (one block per pass), one block read for the
// protection word, the MAC address or the port settings, one block written from FOutBuffer, or a
// raw send of the boot query. Windows learn the outcome by polling the members below; only the
// worker touches its fields.
//
// Between the threads, without locks:
// - a start operation refuses (srBusy) unless the worker is idle, writes the operation's fields and
//   stores FOperation last (release); the worker loads it with acquire;
// - the worker stores results and FError before FDone, and FDone before FOperation is back at
//   opIdle, so a window that sees either may read the results;
// - a window abandons a run (Abandon) by assigning opIdle to FOperation (a sequentially consistent store);
//   a step waiting for a reply notices it before its next poll, the worker does no further step
//   and closes the run's file on its next pass; until then the start operations answer srBusy.
// Opening and freeing the port (OpenLink, CloseLink) are the one pair that takes a lock, so that a
// Disconnect during the start pause leaves no port open.
// The port name is read when the link is opened: create the worker suspended, SetPortName, Resume.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <array>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <string_view>

#include "CommInt.h"
#include "FrameCodec.h"
#include "MemoryMap.h"
#include "PortAccess.h"
#include "RunFile.h"
#include "Thread.h"

enum TOperation : int32_t {
    opIdle = 0,
    opReadToFile = 5,
    opWriteFromFile = 6,
    opReadBlock = 10,
    opWriteBlock = 11,
    opSendQuery = 12,
    opSendShort = 13,
};

// Results of the start operations.
inline constexpr int srArmed = 1;
inline constexpr int srBusy = -1;
// The run's file can't be opened or created, or the image is empty or larger than the firmware area.
inline constexpr int srFileError = -2;

inline constexpr int OutBufferSize = 4096;
inline constexpr int SettingsBufferSize = 4096;
inline constexpr int MacAddressSize = 6;
inline constexpr int SettingsSize = 4;

// Where a run stands, as the worker last published it.
struct TRunSnapshot {
    uint32_t Start = 0;
    uint32_t Address = 0; // the next block's
    uint32_t End = 0;     // the run's last byte
    // The share done, 0 to 100, truncated toward zero; the last block moves the address past the
    // end, which is a full bar.
    int Share() const;
    bool ReachedEnd() const { return Address > End; }
};

class Tarm_SER : public TThread {
public:
    // Pause is the codec's poll pause; tests that provoke silence on the line shorten it.
    explicit Tarm_SER(bool CreateSuspended, std::chrono::milliseconds Pause = PollPause);
    ~Tarm_SER() override;

    // The port to open; read when the link opens, so before Resume.
    void SetPortName(const std::string& Name) { FPortName = Name; }
    // The window pauses before the port opens; a program that opens the port to use it at once does
    // not. Before Resume.
    void SkipStartPause() { FSkipStartPause = true; }

    // The start operations answer srArmed, srBusy or srFileError; each claims the idle worker first.
    // Arms opWriteFromFile for the image FileName from FirmwareStart on (KeepStart: from the
    // current start address); Size receives the image's length.
    int StartFirmwareWrite(const std::string& FileName, bool KeepStart, uint32_t& Size);
    // The same for an image that is open already: the run reads it through a handle of its own, so
    // what is under its name meanwhile does not matter. FileName is then empty.
    int StartFirmwareWrite(const TRunFile& Image, bool KeepStart, uint32_t& Size);
    // Arms opReadToFile into a new file FileName for Size bytes from FirmwareStart (0: the whole
    // firmware area; KeepRange: the current range).
    int StartFirmwareRead(const std::string& FileName, bool KeepRange, uint32_t Size);
    int StartProtectionRead();
    int StartMacRead();
    int StartSettingsRead();
    // Arms opWriteBlock of Record (0 to 128 bytes) at Offset from the base of Kind: 0 the
    // parameter area (cmdWriteParam), 1 the port settings (cmdWriteBlock).
    int StartBlockWrite(std::span<const uint8_t> Record, uint32_t Offset, int Kind);
    // Arms opSendQuery: the worker purges the port and sends Frame, the boot query.
    int StartBootQuery(std::string_view Frame);
    // What the port holds of the reply to the boot query, up to Size characters, read while the
    // worker is idle; 0 or less when nothing waits or the port is gone.
    int ReadBootReply(char* Buffer, int Size);
    // Ends the run or block operation in progress: the worker does no further step.
    void Abandon() { FOperation.store(opIdle); }

    // Frees the port, and for good: a worker still in its start pause then never opens it. Only
    // while the worker is idle.
    void CloseLink();
    // Waits until the open has been tried, Limit at most and only while KeepWaiting says so; true
    // when the link is open. The one way to learn the open's outcome: the port object appears just
    // before the link's state, so it is no sign of it.
    bool AwaitOpen(std::chrono::milliseconds Limit, const std::function<bool()>& KeepWaiting = [] { return true; }) const;
    bool LinkOpen() const { return FLinkOpen.load(Observe) == 1; }
    // Why the open failed, with what the person can do about it.
    TOpenFailure OpenFailure() const;

    // The outcome, as the worker publishes it: results before FDone, FDone before idle.
    bool Idle() const { return FOperation.load(Observe) == opIdle; }
    bool Done() const { return FDone.load(Observe); }
    bool Failed() const { return FError.load(Observe); }
    TRunSnapshot Progress() const
    {
        return {FStartAddress.load(Observe), FAddress.load(Observe), FEndAddress.load(Observe)};
    }
    // Blocks acknowledged or read since the operation was armed.
    int32_t BlockCount() const { return FBlockCount.load(Observe); }
    // Blocks sent or asked for again since the operation was armed: a lost acknowledgement, a
    // reply that did not check out.
    int32_t RepeatCount() const { return FRepeatCount.load(Observe); }
    uint32_t ProtectionWord() const { return FProtectionWord.load(Observe); }
    std::array<uint8_t, MacAddressSize> MacAddress() const { return std::to_array(FMacAddress); }
    std::array<uint8_t, SettingsSize> Settings() const
    {
        return {FSettings[0], FSettings[1], FSettings[2], FSettings[3]};
    }
    // The run's file: the image of the last write run, or the read-back file of the last read run.
    const std::string& FileName() const { return FFileName; }
    // The system's code for why the last run's file could not be opened or written (0: it could);
    // its text is TRunFile::ErrorText's.
    int RunFileError() const { return FRunFileError.load(Observe); }

protected:
    void Execute() override;

private:
    // Reaches inside for the worker's own tests; no other code does.
    friend struct TWorkerInside;

    static constexpr auto Publish = std::memory_order_release;
    static constexpr auto Observe = std::memory_order_acquire;

    // Fields, in the documented order.
    std::atomic<int32_t> FLinkOpen{0};
    // The system's error code of a failed open (-1 when no system call failed), 0 otherwise;
    // stored before FLinkOpen.
    std::atomic<int32_t> FLinkError{0};
    TFrame FFrame{};
    std::atomic<int32_t> FWriteLength{0};
    std::atomic<int32_t> FOperation{opIdle};
    std::atomic<int32_t> FBlockCount{0};
    std::atomic<uint32_t> FProtectionWord{0};
    uint8_t FMacAddress[MacAddressSize]{};
    std::atomic<TComm*> FComm{nullptr};
    uint8_t FOutBuffer[OutBufferSize]{};
    uint8_t FSettings[SettingsBufferSize]{};
    TBlock FBlock{};
    TRunFile FFile;
    std::string FPortName;
    bool FSkipStartPause = false;
    std::atomic<int32_t> FWriteKind{0};
    std::atomic<uint32_t> FAddress{0};
    std::atomic<uint32_t> FStartAddress{0};
    std::atomic<uint32_t> FEndAddress{0};
    std::atomic<int32_t> FPrefix{0};
    std::string FFileName;
    std::atomic<bool> FError{false};
    std::atomic<bool> FDone{false};
    // Beyond the documented fields: for the production record.
    std::atomic<int32_t> FRepeatCount{0};
    // Beyond them too: why the run's file failed, stored before the run ends.
    std::atomic<int32_t> FRunFileError{0};

    void OpenLink();
    // False when the worker is busy; otherwise the fields are the window's until FOperation is set.
    bool Claim();
    int Arm(TOperation Operation);
    // The bytes to send, the rest of the buffer erased (0xFF), as the device's flash keeps it.
    void LoadOutBuffer(std::span<const uint8_t> Bytes);
    int StartBlockRead(uint32_t Address);
    // The write run of the image FFile holds; srFileError, the file closed, when there is none.
    int ArmFirmwareWrite(bool KeepStart, uint32_t& Size);

    // One pass of the loop; false when it found nothing to do.
    bool Pass();
    void Step(int32_t Operation, TComm& Comm);
    void ReadToFileStep(TComm& Comm);
    void WriteFromFileStep(TComm& Comm);
    void BlockRead(TComm& Comm);
    void BlockWrite(TComm& Comm);
    void SendRaw(TComm& Comm, int Count, TOperation Operation);
    // A read reply's reception and a write request, remembering which came last: what a device sends
    // after a read reply must not land ahead of the next acknowledgement.
    bool ReceiveRead(TComm& Comm, int32_t Operation);
    void SendWrite(TComm& Comm, uint8_t Command, int Length, int32_t Operation);
    void LinkLost(int32_t Operation);
    void FailOperation(int32_t Operation);
    void EndOperation(int32_t Operation);
    uint8_t Prefix() const;
    TKeepWaiting StillArmed(int32_t Operation) const;

    const std::chrono::milliseconds FPollPause;
    bool FReadReplyLast = false; // the worker's thread only
    // Set by the worker from taking up an operation until it has let go of its fields and file:
    // a run abandoned in the middle of a step still holds them until its next pass.
    std::atomic<bool> FWorkerBusy{false};
    // Between OpenLink and CloseLink, which may come first: once CloseLink has run, no port opens.
    std::mutex FLinkLock;
    bool FLinkClosed = false; // under FLinkLock
};

// The running worker, or none.
extern Tarm_SER* SerWorker;
