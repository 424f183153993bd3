// The worker's window side: construction, the start operations, and the link.
#include "arm_ser.h"

#include <algorithm>
#include <memory>

#include "PortPath.h"

Tarm_SER* SerWorker = nullptr;

namespace {

constexpr unsigned LinkStartDelayMs = 200;

} // namespace

// Always created suspended underneath: a running thread would reach Execute before this
// class's members exist.
Tarm_SER::Tarm_SER(bool CreateSuspended, std::chrono::milliseconds Pause) : FPollPause(Pause)
{
    if (!CreateSuspended)
        Resume();
}

Tarm_SER::~Tarm_SER()
{
    TerminateAndWait();
    delete FComm.exchange(nullptr);
}

bool Tarm_SER::Claim()
{
    // Sequentially consistent, as are the worker's take-up in Pass and a window's abandoning store:
    // either this sees the worker taking an operation up, or the worker sees the opIdle that
    // abandoned it and leaves the fields alone.
    if (FOperation.load() != opIdle || FWorkerBusy.load())
        return false;
    // A run armed and abandoned before the worker took it up leaves its file to the window.
    FFile.Close();
    return true;
}

int Tarm_SER::Arm(TOperation Operation)
{
    FBlockCount.store(0, Publish);
    FRepeatCount.store(0, Publish);
    FOperation.store(Operation, Publish);
    return srArmed;
}

int TRunSnapshot::Share() const
{
    const uint32_t Done = Address - Start;
    const uint32_t Total = End - Start;
    if (Total == 0)
        return 0;
    return static_cast<int>(std::min(100.0, static_cast<double>(Done) / Total * 100));
}

int Tarm_SER::StartFirmwareWrite(const std::string& FileName, bool KeepStart, uint32_t& Size)
{
    if (!Claim())
        return srBusy;
    FFileName = FileName;
    FFile.OpenForReading(FFileName);
    return ArmFirmwareWrite(KeepStart, Size);
}

int Tarm_SER::StartFirmwareWrite(const TRunFile& Image, bool KeepStart, uint32_t& Size)
{
    if (!Claim())
        return srBusy;
    FFileName.clear();
    FFile.OpenSame(Image);
    return ArmFirmwareWrite(KeepStart, Size);
}

int Tarm_SER::ArmFirmwareWrite(bool KeepStart, uint32_t& Size)
{
    FRunFileError.store(FFile.Error(), Publish);
    if (!FFile.IsOpen())
        return srFileError;
    const int64_t Length = FFile.Size();
    const uint32_t Start = KeepStart ? FStartAddress.load(Observe) : FirmwareStart;
    if (!ImageFits(Length, Start)) {
        FFile.Close();
        return srFileError;
    }
    Size = static_cast<uint32_t>(Length);
    FError.store(false, Publish);
    FPrefix.store(0, Publish);
    FStartAddress.store(Start, Publish);
    FAddress.store(Start, Publish);
    FEndAddress.store(Start + Size - 1, Publish);
    return Arm(opWriteFromFile);
}

int Tarm_SER::StartFirmwareRead(const std::string& FileName, bool KeepRange, uint32_t Size)
{
    if (!Claim())
        return srBusy;
    FFileName = FileName;
    const bool Created = FFile.Create(FFileName);
    FRunFileError.store(FFile.Error(), Publish);
    if (!Created)
        return srFileError;
    FError.store(false, Publish);
    FPrefix.store(0, Publish);
    if (!KeepRange) {
        FStartAddress.store(FirmwareStart, Publish);
        FEndAddress.store(Size == 0 ? FirmwareEnd : FirmwareStart + Size - 1, Publish);
    }
    FAddress.store(FStartAddress.load(Observe), Publish);
    return Arm(opReadToFile);
}

int Tarm_SER::StartBlockRead(uint32_t Address)
{
    if (!Claim())
        return srBusy;
    FError.store(false, Publish);
    FDone.store(false, Publish);
    FPrefix.store(0, Publish);
    FStartAddress.store(Address, Publish);
    FAddress.store(Address, Publish);
    return Arm(opReadBlock);
}

int Tarm_SER::StartProtectionRead() { return StartBlockRead(ProtectionAddress); }

int Tarm_SER::StartMacRead() { return StartBlockRead(MacLocation); }

int Tarm_SER::StartSettingsRead() { return StartBlockRead(SettingsAddress); }

int Tarm_SER::StartBlockWrite(std::span<const uint8_t> Record, uint32_t Offset, int Kind)
{
    if (!Claim())
        return srBusy;
    const size_t Length = std::min(Record.size(), size_t{BlockDataSize});
    LoadOutBuffer(Record.first(Length));
    FPrefix.store(0, Publish);
    if (Kind == 0 || Kind == 1) {
        FStartAddress.store((Kind == 0 ? ParamWriteBase : SettingsAddress) + Offset, Publish);
        FWriteKind.store(Kind, Publish);
    }
    FAddress.store(FStartAddress.load(Observe), Publish);
    FWriteLength.store(static_cast<int32_t>(Length), Publish);
    return Arm(opWriteBlock);
}

int Tarm_SER::StartBootQuery(std::string_view Frame)
{
    if (!Claim())
        return srBusy;
    const auto* Bytes = reinterpret_cast<const uint8_t*>(Frame.data());
    LoadOutBuffer({Bytes, std::min(Frame.size(), sizeof FOutBuffer)});
    return Arm(opSendQuery);
}

void Tarm_SER::LoadOutBuffer(std::span<const uint8_t> Bytes)
{
    std::copy(Bytes.begin(), Bytes.end(), FOutBuffer);
    std::fill(FOutBuffer + Bytes.size(), std::end(FOutBuffer), uint8_t{0xFF});
}

int Tarm_SER::ReadBootReply(char* Buffer, int Size)
{
    TComm* Comm = FComm.load(Observe);
    if (!Comm)
        return -1;
    try {
        if (Comm->InQueCount() <= 0)
            return 0;
        return Comm->Read(Buffer, Size);
    } catch (const ECommError&) {
        // The port is gone: no boot loader answers.
        return -1;
    }
}

TOpenFailure Tarm_SER::OpenFailure() const
{
    return ClassifyOpenFailure(PortDevicePath(FPortName), FLinkError.load(Observe));
}


void Tarm_SER::OpenLink()
{
    if (!FSkipStartPause)
        TThread::Sleep(LinkStartDelayMs);
    // Held while the port opens: a CloseLink (a Disconnect during the start pause) either comes
    // first, and no port is opened, or waits and frees the port opened here.
    std::lock_guard Lock(FLinkLock);
    if (FLinkClosed || Terminated())
        return;
    auto Comm = std::make_unique<TComm>();
    int32_t Opened = 0;
    try {
        Comm->SetBaudRate(br115200);
        Comm->SetDatabits(da8);
        Comm->SetDeviceName(PortDevicePath(FPortName));
        Comm->SetFlowControl(fcNone);
        Comm->SetParity(paNone);
        Comm->SetStopbits(sb10);
        Comm->Open();
        Comm->SetDTR(true);
        Opened = 1;
    } catch (const ECommError& Error) {
        // The port object stays, closed or open as the failure left it; FLinkOpen tells the window.
        // Never 0, which means no failure.
        FLinkError.store(Error.ErrorCode != 0 ? Error.ErrorCode : -1, Publish);
    }
    // The port first, so that a window which sees the link open finds it.
    FComm.store(Comm.release(), Publish);
    FLinkOpen.store(Opened, Publish);
}

bool Tarm_SER::AwaitOpen(std::chrono::milliseconds Limit, const std::function<bool()>& KeepWaiting) const
{
    const auto Deadline = std::chrono::steady_clock::now() + Limit;
    while (FLinkOpen.load(Observe) != 1 && FLinkError.load(Observe) == 0 && KeepWaiting() &&
           std::chrono::steady_clock::now() < Deadline)
        TThread::Sleep(10);
    return FLinkOpen.load(Observe) == 1;
}

void Tarm_SER::CloseLink()
{
    // A run abandoned in the middle of a step still uses the port until that step ends: within one
    // poll pause of the codec's reply waits, or the port's write time-out.
    while (FWorkerBusy.load() && !Finished())
        TThread::Sleep(1);
    std::lock_guard Lock(FLinkLock);
    FLinkClosed = true;
    delete FComm.exchange(nullptr, std::memory_order_acq_rel);
    FLinkOpen.store(0, Publish);
}
