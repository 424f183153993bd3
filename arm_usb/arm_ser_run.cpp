// The worker's thread: the loop and the step of each operation.
#include "arm_ser.h"

#include <algorithm>
#include <cstring>

#include "FineTimer.h"

namespace {

// A pass with nothing to do sleeps this long rather than only yielding, which would keep a core
// busy for as long as the connection lasts. 5 ms keeps an idle connection under 1 % of a core
// (1 ms cost 2 %), and a start waits no longer than half of one of the protocol's 10 ms polls.
constexpr unsigned IdlePauseMs = 5;
constexpr int ShortSendLength = 11;

bool IsWork(int32_t Operation)
{
    switch (Operation) {
    case opReadToFile:
    case opWriteFromFile:
    case opReadBlock:
    case opWriteBlock:
    case opSendQuery:
    case opSendShort: return true;
    default: return false;
    }
}

bool IsOneBlock(int32_t Operation) { return Operation == opReadBlock || Operation == opWriteBlock; }

} // namespace

void Tarm_SER::Execute()
{
    const TFineTimer FineTimer;
    OpenLink();
    FBlockCount.store(0, Publish);
    while (!Terminated())
        if (!Pass())
            TThread::Sleep(IdlePauseMs);
}

bool Tarm_SER::Pass()
{
    int32_t Operation = FOperation.load(Observe);
    if (!IsWork(Operation)) {
        if (FWorkerBusy.load(std::memory_order_relaxed))
            EndOperation(Operation); // abandoned by a window
        return false;
    }
    if (!FWorkerBusy.load(std::memory_order_relaxed)) {
        // Sequentially consistent, with Claim: an abandon that a window's next start operation
        // could overlook is seen here, before the worker touches any field of the operation.
        FWorkerBusy.store(true);
        Operation = FOperation.load();
        if (!IsWork(Operation)) {
            FWorkerBusy.store(false, Publish);
            return false;
        }
    }
    TComm* Comm = FComm.load(Observe);
    if (!Comm) {
        LinkLost(Operation);
        return true;
    }
    try {
        Step(Operation, *Comm);
    } catch (const ECommError&) {
        LinkLost(Operation);
    } catch (...) {
        // Anything else (no memory for a frame, say) still must not leave a window waiting.
        FailOperation(Operation);
    }
    return true;
}

void Tarm_SER::Step(int32_t Operation, TComm& Comm)
{
    switch (Operation) {
    case opReadToFile: ReadToFileStep(Comm); break;
    case opWriteFromFile: WriteFromFileStep(Comm); break;
    case opReadBlock: BlockRead(Comm); break;
    case opWriteBlock: BlockWrite(Comm); break;
    case opSendQuery: SendRaw(Comm, BootQueryLength, opSendQuery); break;
    case opSendShort: SendRaw(Comm, ShortSendLength, opSendShort); break;
    default: break;
    }
}

void Tarm_SER::ReadToFileStep(TComm& Comm)
{
    SendReadRequest(Comm, Prefix(), FAddress.load(Observe), cmdReadBlock, BlockDataSize);
    if (!ReceiveRead(Comm, opReadToFile)) {
        // The same block is asked for again on the next pass.
        FError.store(true, Publish);
        FRepeatCount.fetch_add(1, Publish);
        TThread::Sleep(static_cast<unsigned>(FPollPause.count()));
        return;
    }
    if (!FFile.Write(FBlock, FBlock[DecodedLengthIndex])) {
        FRunFileError.store(FFile.Error(), Publish);
        FailOperation(opReadToFile);
        return;
    }
    FBlockCount.fetch_add(1, Publish);
    const uint32_t Next = FAddress.fetch_add(BlockDataSize, Publish) + BlockDataSize;
    if (Next > FEndAddress.load(Observe))
        EndOperation(opReadToFile);
}

void Tarm_SER::WriteFromFileStep(TComm& Comm)
{
    // The last block of an image is filled up with zeros.
    std::memset(FBlock, 0, BlockDataSize);
    const int64_t BlockStart = FFile.Position();
    if (BlockStart < 0 || FFile.Read(FBlock, BlockDataSize) < 0) {
        FailOperation(opWriteFromFile);
        return;
    }
    SendWrite(Comm, cmdWriteBlock, BlockDataSize, opWriteFromFile);
    if (WaitForAck(Comm, FPollPause, StillArmed(opWriteFromFile))) {
        FBlockCount.fetch_add(1, Publish);
        FAddress.fetch_add(BlockDataSize, Publish);
    } else {
        // The next pass sends the same bytes to the same address.
        FError.store(true, Publish);
        FRepeatCount.fetch_add(1, Publish);
        if (!FFile.Seek(BlockStart)) {
            FailOperation(opWriteFromFile);
            return;
        }
    }
    if (FAddress.load(Observe) > FEndAddress.load(Observe))
        EndOperation(opWriteFromFile);
}

void Tarm_SER::BlockRead(TComm& Comm)
{
    const uint32_t Address = FAddress.load(Observe);
    SendReadRequest(Comm, Prefix(), Address, cmdReadBlock, BlockDataSize);
    if (!ReceiveRead(Comm, opReadBlock))
        FError.store(true, Publish);
    // Filled after a failure too, from what was decoded; FError tells the window not to trust it.
    if (Address == ProtectionAddress)
        FProtectionWord.store(uint32_t{FBlock[0]} << 24 | uint32_t{FBlock[1]} << 16 | uint32_t{FBlock[2]} << 8 |
                                  FBlock[3],
                              Publish);
    else if (Address == MacLocation)
        std::memcpy(FMacAddress, FBlock, MacAddressSize);
    else if (Address == SettingsAddress)
        std::memcpy(FSettings, FBlock, SettingsSize);
    FDone.store(true, Publish);
    EndOperation(opReadBlock);
}

void Tarm_SER::BlockWrite(TComm& Comm)
{
    // The start operation has set FBlockCount to 0, so this is the first slice of FOutBuffer.
    std::memcpy(FBlock, FOutBuffer, BlockDataSize);
    const int Length = std::clamp<int>(FWriteLength.load(Observe), 0, BlockDataSize);
    const uint8_t Command = FWriteKind.load(Observe) == 1 ? cmdWriteBlock : cmdWriteParam;
    SendWrite(Comm, Command, Length, opWriteBlock);
    if (!WaitForAck(Comm, FPollPause, StillArmed(opWriteBlock)))
        FError.store(true, Publish);
    FDone.store(true, Publish);
    FBlockCount.fetch_add(1, Publish);
    FAddress.fetch_add(BlockDataSize, Publish);
    EndOperation(opWriteBlock);
}

bool Tarm_SER::ReceiveRead(TComm& Comm, int32_t Operation)
{
    FReadReplyLast = true;
    return ReceiveReadReply(Comm, FBlock, FPollPause, StillArmed(Operation));
}

void Tarm_SER::SendWrite(TComm& Comm, uint8_t Command, int Length, int32_t Operation)
{
    if (FReadReplyLast)
        SettleLine(Comm, FPollPause, StillArmed(Operation));
    FReadReplyLast = false;
    SendWriteRequest(Comm, FFrame, FBlock, Prefix(), FAddress.load(Observe), Command, Length);
}

void Tarm_SER::SendRaw(TComm& Comm, int Count, TOperation Operation)
{
    Comm.PurgeOut();
    Comm.PurgeIn();
    Comm.Write(FOutBuffer, Count);
    EndOperation(Operation);
}

// The device is gone (unplugged, say): the operation ends all the same, so that no window is left
// waiting for it.
void Tarm_SER::LinkLost(int32_t Operation)
{
    FLinkOpen.store(0, Publish);
    FailOperation(Operation);
}

void Tarm_SER::FailOperation(int32_t Operation)
{
    FError.store(true, Publish);
    if (IsOneBlock(Operation))
        FDone.store(true, Publish);
    EndOperation(Operation);
}

void Tarm_SER::EndOperation(int32_t Operation)
{
    FFile.Close();
    FWorkerBusy.store(false, Publish);
    // Only the operation that ended goes back to opIdle; a window may have abandoned it already.
    FOperation.compare_exchange_strong(Operation, opIdle, Publish, std::memory_order_relaxed);
}

TKeepWaiting Tarm_SER::StillArmed(int32_t Operation) const
{
    // A window abandons a run by setting FOperation back to opIdle; the step's reply wait then
    // ends at its next poll instead of waiting out its limit on a port the window wants back.
    return [this, Operation] { return FOperation.load(Observe) == Operation; };
}

uint8_t Tarm_SER::Prefix() const { return static_cast<uint8_t>(FPrefix.load(Observe) & 0xFF); }
