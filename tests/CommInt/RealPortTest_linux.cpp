// The serial component on a port of a real Linux serial driver (ftdi_sio, 8250) with the device
// simulator behind it, named by SW_TEST_PORT (/dev/ttyUSB0, say); scripts/vm-test.sh runs these in
// its VM. Skipped when it is not set. A hang-up is the VM's unplug rows' to show: nothing in here
// can pull the adapter.
#include "CommInt.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include <sys/ioctl.h>
#include <termios.h>

#include "FrameCodec.h"
#include "SerialBaud.h"
#include "NamedPortTest.h"
#include "WorkerPort.h"

namespace {

using namespace std::chrono_literals;

// Lets a test ask the driver itself, past the component.
class TTestComm : public TComm {
public:
    int Fd() const { return static_cast<int>(FHandle); }
    termios LineState() const
    {
        termios Tio{};
        EXPECT_EQ(tcgetattr(Fd(), &Tio), 0);
        return Tio;
    }
    int ModemLines() const
    {
        int Lines = 0;
        EXPECT_EQ(ioctl(Fd(), TIOCMGET, &Lines), 0);
        return Lines;
    }
};

class RealPort : public TNamedPortTest {
protected:
    void SetUp() override { UsePortNamedBy("SW_TEST_PORT"); }
};

TEST_F(RealPort, OpensAgainAtOnceAfterCloseAndTheDeviceAnswers)
{
    TComm Comm;
    OpenLikeWorker(Comm, FPort);
    for (int Pair = 0; Pair < 20; ++Pair) {
        Comm.Close();
        try {
            OpenLikeWorker(Comm, FPort);
        } catch (const ECommError& Error) {
            FAIL() << "open " << Pair << ": " << Error.what();
        }
    }
    const std::string Reply = AskBoot(Comm);
    EXPECT_TRUE(IsBootReply(Reply.data(), static_cast<int>(Reply.size()))) << Reply;
}

TEST_F(RealPort, HoldsDtrFromTheOpenAndDrivesIt)
{
    TTestComm Comm;
    ASSERT_EQ(Comm.FlowControl(), fcDefault);
    Comm.SetDeviceName(FPort);
    Comm.Open();
    EXPECT_TRUE(Comm.ModemLines() & TIOCM_DTR);
    Comm.SetDTR(false);
    EXPECT_FALSE(Comm.ModemLines() & TIOCM_DTR);
    Comm.SetDTR(true);
    EXPECT_TRUE(Comm.ModemLines() & TIOCM_DTR);
}

TEST_F(RealPort, EveryLineSettingIsHeldByTheDriver)
{
    // A real driver carries all of these; the component reads each back and raises on a mismatch,
    // and the driver's own answer must agree.
    struct TRow {
        const char* Name;
        std::function<void(TComm&)> Apply;
        tcflag_t Mask;
        tcflag_t Bits;
        uint32_t Baud;
    };
    constexpr tcflag_t Parity = PARENB | PARODD | CMSPAR;
    const TRow Rows[] = {
        {"no parity", [](TComm& C) { C.SetParity(paNone); }, Parity, 0, 115200},
        {"odd parity", [](TComm& C) { C.SetParity(paOdd); }, Parity, PARENB | PARODD, 115200},
        {"even parity", [](TComm& C) { C.SetParity(paEven); }, Parity, PARENB, 115200},
        {"mark parity", [](TComm& C) { C.SetParity(paMark); }, Parity, PARENB | PARODD | CMSPAR, 115200},
        {"space parity", [](TComm& C) { C.SetParity(paSpace); }, Parity, PARENB | CMSPAR, 115200},
        {"7 data bits", [](TComm& C) { C.SetDatabits(da7); }, CSIZE, CS7, 115200},
        {"2 stop bits", [](TComm& C) { C.SetStopbits(sb20); }, CSTOPB, CSTOPB, 115200},
        {"9600 baud", [](TComm& C) { C.SetBaudRate(br9600); }, CSIZE, CS8, 9600},
        {"57600 baud", [](TComm& C) { C.SetBaudRate(br57600); }, CSIZE, CS8, 57600},
    };
    for (const TRow& Row : Rows) {
        SCOPED_TRACE(Row.Name);
        TTestComm Comm;
        OpenLikeWorker(Comm, FPort);
        try {
            Row.Apply(Comm);
        } catch (const ECommError& Error) {
            ADD_FAILURE() << Error.what();
        }
        const termios Tio = Comm.LineState();
        EXPECT_EQ(Tio.c_cflag & Row.Mask, Row.Bits);
        EXPECT_EQ(CommPlatform::CurrentBaudRate(Comm.Fd()), Row.Baud);
    }
    // The simulator takes 8N1 at 115200 only: the line is left so, and the device answers on it.
    TTestComm Comm;
    OpenLikeWorker(Comm, FPort);
    const termios Tio = Comm.LineState();
    EXPECT_EQ(Tio.c_cflag & (CSIZE | Parity | CSTOPB), static_cast<tcflag_t>(CS8));
    const std::string Reply = AskBoot(Comm);
    EXPECT_TRUE(IsBootReply(Reply.data(), static_cast<int>(Reply.size()))) << Reply;
}

} // namespace
