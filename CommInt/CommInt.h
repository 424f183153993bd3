// The serial port component: opens a device by name, applies line settings, transfers bytes with
// bounded waits, reports the input queue, purges, drives DTR and hands line events to handlers on
// the main thread. Every failure is raised as ECommError.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "CommObjs.h"
#include "CommTypes.h"
#include "SerialHandle.h"

class TCustomComm;
class TCommEventThread;
namespace CommPlatform {
class TArrivalWait;
}
class TThread;

class ECommError : public std::runtime_error {
public:
    ECommError(const std::string& Message, int32_t Code) : std::runtime_error(Message), ErrorCode(Code) {}
    int32_t ErrorCode;
};

using TNotifyEvent = std::function<void(TCustomComm* Sender)>;
using TCommErrorEvent = std::function<void(TCustomComm* Sender, int Errors)>;
using TCommRxCharEvent = std::function<void(TCustomComm* Sender, int Count)>;

class TCommEventChars {
public:
    explicit TCommEventChars(TCustomComm* Owner) : FOwner(Owner) {}

    // Copies the characters; an open port gets them at its next re-application.
    void Assign(const TCommEventChars& Source);

    char XonChar() const { return FXonChar; }
    char XoffChar() const { return FXoffChar; }
    char ErrorChar() const { return FErrorChar; }
    char EofChar() const { return FEofChar; }
    char EvtChar() const { return FEvtChar; }
    void SetXonChar(char Value) { SetEventChar(1, Value); }
    void SetXoffChar(char Value) { SetEventChar(2, Value); }
    void SetErrorChar(char Value) { SetEventChar(3, Value); }
    void SetEofChar(char Value) { SetEventChar(4, Value); }
    void SetEvtChar(char Value) { SetEventChar(5, Value); }

private:
    void SetEventChar(int Index, char Value);

    TCustomComm* FOwner;
    char FXonChar = 17;
    char FXoffChar = 19;
    char FErrorChar = 0;
    char FEofChar = 0;
    char FEvtChar = 0;
};

class TCustomComm {
public:
    TCustomComm();
    TCustomComm(const TCustomComm&) = delete;
    TCustomComm& operator=(const TCustomComm&) = delete;
    virtual ~TCustomComm();

    void Open();
    void Close();
    bool IsOpen() const;
    int Write(const void* Buffer, int Count);
    int Read(void* Buffer, int Count);
    int InQueCount();
    // The input count once it differs from Known, or when Timeout has passed: a reply wait learns
    // of each arrival as it happens instead of sleeping in fixed steps. -1 on a closed port.
    int WaitForInputChange(int Known, std::chrono::microseconds Timeout);
    // True once the device of the current open has gone away (unplugged, hung up): a status query
    // failed or the event thread saw the line hang up. InQueCount answers as before meanwhile, so
    // a caller that polls it asks here to tell a silent device from a vanished one.
    bool DeviceLost() const { return FLostCode.load(std::memory_order_acquire) != 0; }
    // Raises "Device lost" when DeviceLost(), with the failed query's code (-1 for a hang-up).
    void CheckDeviceLost();
    void PurgeIn();
    void PurgeOut();
    void SetDTR(bool Value);

    const std::string& DeviceName() const { return FDeviceName; }
    void SetDeviceName(const std::string& Value);
    int ReadTimeout() const { return FReadTimeout; }
    void SetReadTimeout(int Value) { FReadTimeout = Value; }
    int WriteTimeout() const { return FWriteTimeout; }
    void SetWriteTimeout(int Value) { FWriteTimeout = Value; }
    int ReadBufSize() const { return FReadBufSize; }
    void SetReadBufSize(int Value);
    int WriteBufSize() const { return FWriteBufSize; }
    void SetWriteBufSize(int Value);
    TCommEventTypes MonitorEvents() const { return FMonitorEvents; }
    void SetMonitorEvents(TCommEventTypes Value);
    TBaudrate BaudRate() const { return FBaudRate; }
    void SetBaudRate(TBaudrate Value);
    TParity Parity() const { return FParity; }
    void SetParity(TParity Value);
    TStopbits Stopbits() const { return FStopbits; }
    void SetStopbits(TStopbits Value);
    TDatabits Databits() const { return FDatabits; }
    void SetDatabits(TDatabits Value);
    TCommEventChars& EventChars() { return FEventChars; }
    TCommOptions Options() const { return FOptions; }
    void SetOptions(TCommOptions Value);
    TFlowControl FlowControl() const { return FFlowControl; }
    void SetFlowControl(TFlowControl Value);

    // The line state last read from and written to the driver.
    const TDCB& DCB() const { return FDCB; }

    TNotifyEvent OnBreak;
    TNotifyEvent OnCts;
    TNotifyEvent OnDsr;
    TCommErrorEvent OnError;
    TNotifyEvent OnRing;
    TNotifyEvent OnRlsd;
    TCommRxCharEvent OnRxChar;
    TNotifyEvent OnRxFlag;
    TNotifyEvent OnTxEmpty;

protected:
    virtual void CreateHandle();
    void ReleaseHandle();
    void CheckClosed();
    void UpdateCommTimeouts();
    void UpdateDataControlBlock();
    void ApplyFlowControl();
    void EscapeComm(uint32_t Function);
    void Lock() { FLock.Enter(); }
    void Unlock() { FLock.Leave(); }
    void DispatchCommEvent(TThread* Sender, uint32_t EventMask);
    [[noreturn]] static void RaiseCommError(const std::string& Message, int32_t Code);
    void MarkDeviceLost(int32_t Code);

    THandle FHandle; // INVALID_HANDLE_VALUE while closed
    int FEarlierLatency = -1; // the driver's latency setting before the open changed it

private:
    friend class TCommEventChars;
    // Runs one platform transfer under the lock; Call(Timeout, Result) returns false on refusal.
    template <class TCall>
    int Transfer(TCall Call, int Timeout, const char* Failure);

    TDCB FDCB;
    std::string FDeviceName = "Com2";
    TSimpleEvent FEvent; // completion of Read and Write
    TCriticalSection FLock;
    int FReadTimeout = 1000;
    int FWriteTimeout = 1000;
    int FReadBufSize = 4096;
    int FWriteBufSize = 2048;
    TCommEventTypes FMonitorEvents = AllCommEvents;
    TBaudrate FBaudRate = br9600;
    TParity FParity = paNone;
    TStopbits FStopbits = sb10;
    TDatabits FDatabits = da8;
    TCommEventThread* FEventThread = nullptr; // frees itself once stopped
    std::unique_ptr<CommPlatform::TArrivalWait> FArrivalWait; // while open
    TCommEventChars FEventChars{this};
    TCommOptions FOptions;
    TFlowControl FFlowControl = fcDefault;
    uint32_t FCloseCount = 0; // tells a dispatch that its open has ended
    // 0 while the device is there or the port is closed; else why it went (a system error code, -1
    // for a hang-up). Set by the user's thread or the event thread.
    std::atomic<int32_t> FLostCode{0};
};

class TComm : public TCustomComm {};
