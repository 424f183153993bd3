#include "CommInt.h"

#include "CommEventThread.h"
#include "SerialPlatform.h"

namespace {

// Tables indexed by the enumerations' ordinals.
constexpr uint32_t BaudRateOf[] = {110,   300,   600,   1200,  2400,   4800,   9600,  14400,
                                   19200, 38400, 56000, 57600, 115200, 128000, 256000};
constexpr uint8_t ParityOf[] = {NOPARITY, ODDPARITY, EVENPARITY, MARKPARITY, SPACEPARITY};
constexpr uint8_t StopBitsOf[] = {ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS};
constexpr uint8_t ByteSizeOf[] = {4, 5, 6, 7, 8};
constexpr uint32_t OptionFlagOf[] = {dcb::fParity, dcb::fDsrSensitivity, dcb::fTXContinueOnXoff,
                                     dcb::fErrorChar, dcb::fNull};

// Line settings store a new value and then re-apply the line state to an open port.
template <class T>
bool Changed(T& Field, T Value)
{
    if (Field == Value)
        return false;
    Field = Value;
    return true;
}

} // namespace

void TCommEventChars::Assign(const TCommEventChars& Source)
{
    FXonChar = Source.FXonChar;
    FXoffChar = Source.FXoffChar;
    FErrorChar = Source.FErrorChar;
    FEofChar = Source.FEofChar;
    FEvtChar = Source.FEvtChar;
}

void TCommEventChars::SetEventChar(int Index, char Value)
{
    switch (Index) {
    case 1: FXonChar = Value; break;
    case 2: FXoffChar = Value; break;
    case 3: FErrorChar = Value; break;
    case 4: FEofChar = Value; break;
    case 5: FEvtChar = Value; break;
    default: break;
    }
    if (FOwner)
        FOwner->UpdateDataControlBlock();
}

TCustomComm::TCustomComm() : FHandle(INVALID_HANDLE_VALUE) {}

TCustomComm::~TCustomComm() { Close(); }

bool TCustomComm::IsOpen() const { return FHandle != INVALID_HANDLE_VALUE; }

void TCustomComm::RaiseCommError(const std::string& Message, int32_t Code)
{
    throw ECommError(Message + " (Error: " + std::to_string(Code) + ") ", Code);
}

void TCustomComm::CheckClosed()
{
    if (IsOpen())
        RaiseCommError("Port already assigned (open)", -1);
}

void TCustomComm::CreateHandle()
{
    FHandle = CommPlatform::OpenDevice(FDeviceName);
    if (FHandle == INVALID_HANDLE_VALUE)
        RaiseCommError("Error accessing specified device", CommPlatform::LastError());
    if (!CommPlatform::IsCharDevice(FHandle)) {
        ReleaseHandle();
        RaiseCommError("Invalid device handle, access denied", -1);
    }
    FEarlierLatency = CommPlatform::RequestLowLatency(FHandle);
    FArrivalWait = CommPlatform::CreateArrivalWait(FHandle);
}

void TCustomComm::ReleaseHandle()
{
    if (FHandle == INVALID_HANDLE_VALUE)
        return;
    CommPlatform::RestoreLatency(FHandle, FEarlierLatency);
    FEarlierLatency = -1;
    FArrivalWait.reset();
    CommPlatform::CloseDevice(FHandle);
    FHandle = INVALID_HANDLE_VALUE;
}

void TCustomComm::Open()
{
    CheckClosed();
    CreateHandle();
    if (!IsOpen())
        return;
    FEventThread = new TCommEventThread(FHandle, FMonitorEvents);
    FEventThread->SetOnSignal([this](TThread* Sender, uint32_t EventMask) {
        DispatchCommEvent(Sender, EventMask);
    });
    FEventThread->SetOnHangUp([this] { MarkDeviceLost(-1); });
    UpdateCommTimeouts();
    UpdateDataControlBlock();
    if (!CommPlatform::SetQueueSizes(FHandle, FReadBufSize, FWriteBufSize))
        RaiseCommError("Error initializing Read/Write Buffers", CommPlatform::LastError());
}

void TCustomComm::Close()
{
    if (!IsOpen())
        return;
    if (FEventThread) {
        FEventThread->Stop();
        FEventThread = nullptr;
    }
    ReleaseHandle();
    ++FCloseCount;
    // A closed port has no device to lose; the event thread can no longer report one (Stop).
    FLostCode.store(0, std::memory_order_release);
}

void TCustomComm::UpdateCommTimeouts()
{
    if (!CommPlatform::ApplyTimeouts(FHandle))
        RaiseCommError("Error updating CommTimeouts", CommPlatform::LastError());
}

void TCustomComm::UpdateDataControlBlock()
{
    if (!IsOpen())
        return;
    CommPlatform::ReadLineState(FHandle, FDCB);
    FDCB.BaudRate = BaudRateOf[FBaudRate];
    FDCB.Parity = ParityOf[FParity];
    FDCB.StopBits = StopBitsOf[FStopbits];
    FDCB.ByteSize = ByteSizeOf[FDatabits];
    FDCB.XonChar = FEventChars.XonChar();
    FDCB.XoffChar = FEventChars.XoffChar();
    FDCB.ErrorChar = FEventChars.ErrorChar();
    FDCB.EofChar = FEventChars.EofChar();
    FDCB.EvtChar = FEventChars.EvtChar();
    FDCB.XonLim = static_cast<uint16_t>(FReadBufSize / 4);
    FDCB.XoffLim = FDCB.XonLim;
    ApplyFlowControl();
    for (int Option = coParityCheck; Option <= coNullStrip; ++Option) {
        if (FOptions.Contains(static_cast<TCommOption>(Option)))
            FDCB.Flags |= OptionFlagOf[Option];
        else
            FDCB.Flags &= ~OptionFlagOf[Option];
    }
    if (!CommPlatform::WriteLineState(FHandle, FDCB))
        RaiseCommError("Error updating DataControlBlock", CommPlatform::LastError());
}

void TCustomComm::ApplyFlowControl()
{
    switch (FFlowControl) {
    case fcNone: FDCB.Flags = dcb::fBinary; break;
    case fcCTS: FDCB.Flags |= dcb::fOutxCtsFlow | dcb::RtsControlHandshake; break;
    case fcDTR: FDCB.Flags |= dcb::fOutxDsrFlow | dcb::DtrControlHandshake; break;
    case fcSoftware: FDCB.Flags |= dcb::fOutX | dcb::fInX; break;
    case fcDefault: break;
    }
}

template <class TCall>
int TCustomComm::Transfer(TCall Call, int Timeout, const char* Failure)
{
    Lock();
    int Result = -1;
    // The time-out counts as unsigned, so -1 waits without limit.
    const bool Started = Call(static_cast<uint32_t>(Timeout), Result);
    const int Error = CommPlatform::LastError();
    Unlock();
    if (!Started)
        RaiseCommError(Failure, Error);
    return Result;
}

int TCustomComm::Write(const void* Buffer, int Count)
{
    return Transfer([&](uint32_t Timeout, int& Result) {
        return CommPlatform::OverlappedWrite(FHandle, FEvent.Handle(), Buffer, Count, Timeout, Result);
    }, FWriteTimeout, "Write error");
}

int TCustomComm::Read(void* Buffer, int Count)
{
    return Transfer([&](uint32_t Timeout, int& Result) {
        return CommPlatform::OverlappedRead(FHandle, FEvent.Handle(), Buffer, Count, Timeout, Result);
    }, FReadTimeout, "Read error");
}

int TCustomComm::InQueCount()
{
    if (!IsOpen())
        return -1;
    uint32_t Errors = 0;
    uint32_t InQueue = 0;
    if (!CommPlatform::LineStatus(FHandle, Errors, InQueue))
        MarkDeviceLost(CommPlatform::LastError());
    return static_cast<int>(InQueue);
}

int TCustomComm::WaitForInputChange(int Known, std::chrono::microseconds Timeout)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point End = Clock::now() + Timeout;
    for (;;) {
        // Counted after the previous wait returned, so an arrival in between wakes the next wait.
        const int Count = InQueCount();
        const auto Left = std::chrono::ceil<std::chrono::microseconds>(End - Clock::now());
        if (Count != Known || Count < 0 || Left.count() <= 0 || !FArrivalWait)
            return Count;
        FArrivalWait->Wait(Left);
    }
}

void TCustomComm::MarkDeviceLost(int32_t Code)
{
    // The first cause stays.
    int32_t None = 0;
    FLostCode.compare_exchange_strong(None, Code == 0 ? -1 : Code, std::memory_order_acq_rel);
}

void TCustomComm::CheckDeviceLost()
{
    const int32_t Code = FLostCode.load(std::memory_order_acquire);
    if (Code != 0)
        RaiseCommError("Device lost", Code);
}

void TCustomComm::PurgeIn()
{
    if (IsOpen())
        CommPlatform::Purge(FHandle, PURGE_RXABORT | PURGE_RXCLEAR);
}

void TCustomComm::PurgeOut()
{
    if (IsOpen())
        CommPlatform::Purge(FHandle, PURGE_TXABORT | PURGE_TXCLEAR);
}

void TCustomComm::SetDTR(bool Value) { EscapeComm(Value ? SETDTR : CLRDTR); }

void TCustomComm::EscapeComm(uint32_t Function)
{
    if (!IsOpen())
        RaiseCommError("Port not open, unable to complete operation", -1);
    if (!CommPlatform::LineFunction(FHandle, Function))
        RaiseCommError("EscapeCommFunction failure", CommPlatform::LastError());
}

void TCustomComm::DispatchCommEvent(TThread*, uint32_t EventMask)
{
    uint32_t Errors = 0;
    uint32_t InQueue = 0;
    CommPlatform::LineStatus(FHandle, Errors, InQueue);
    // A handler may close (and even reopen) the port: the rest of this word belongs to the
    // open that has ended and reaches no handler.
    const uint32_t Opening = FCloseCount;
    auto Deliver = [&](uint32_t Flag, const auto& Handler, auto... Arguments) {
        if ((EventMask & Flag) && Handler && FCloseCount == Opening)
            Handler(this, Arguments...);
    };
    Deliver(EV_BREAK, OnBreak);
    Deliver(EV_CTS, OnCts);
    Deliver(EV_DSR, OnDsr);
    Deliver(EV_ERR, OnError, static_cast<int>(Errors));
    Deliver(EV_RING, OnRing);
    Deliver(EV_RLSD, OnRlsd);
    if (InQueue > 0)
        Deliver(EV_RXCHAR, OnRxChar, static_cast<int>(InQueue));
    Deliver(EV_RXFLAG, OnRxFlag);
    Deliver(EV_TXEMPTY, OnTxEmpty);
}

void TCustomComm::SetDeviceName(const std::string& Value)
{
    if (Value == FDeviceName)
        return;
    CheckClosed();
    FDeviceName = Value;
}

void TCustomComm::SetReadBufSize(int Value)
{
    if (Value == FReadBufSize)
        return;
    CheckClosed();
    FReadBufSize = Value;
}

void TCustomComm::SetWriteBufSize(int Value)
{
    if (Value == FWriteBufSize)
        return;
    CheckClosed();
    FWriteBufSize = Value;
}

void TCustomComm::SetMonitorEvents(TCommEventTypes Value)
{
    if (Value == FMonitorEvents)
        return;
    CheckClosed();
    FMonitorEvents = Value;
}

void TCustomComm::SetBaudRate(TBaudrate Value)
{
    if (Changed(FBaudRate, Value))
        UpdateDataControlBlock();
}

void TCustomComm::SetParity(TParity Value)
{
    if (Changed(FParity, Value))
        UpdateDataControlBlock();
}

void TCustomComm::SetStopbits(TStopbits Value)
{
    if (Changed(FStopbits, Value))
        UpdateDataControlBlock();
}

void TCustomComm::SetDatabits(TDatabits Value)
{
    if (Changed(FDatabits, Value))
        UpdateDataControlBlock();
}

void TCustomComm::SetOptions(TCommOptions Value)
{
    if (Changed(FOptions, Value))
        UpdateDataControlBlock();
}

void TCustomComm::SetFlowControl(TFlowControl Value)
{
    if (Changed(FFlowControl, Value))
        UpdateDataControlBlock();
}
