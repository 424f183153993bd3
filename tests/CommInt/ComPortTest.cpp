// The Win32 back end against a COM port with the device simulator behind it, named by SW_TEST_COM
// (under Wine, a port mapped to the simulator's pseudo-terminal). Skipped when it is not set.
#include "CommInt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <iterator>
#include <ostream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>
#include <tlhelp32.h>

#include "FrameCodec.h"
#include "PortList.h"
#include "PortPath.h"
#include "NamedPortTest.h"
#include "WaitUntil.h"
#include "WorkerPort.h"

namespace {

using namespace std::chrono_literals;

// Lets a test ask the driver itself, past the component.
class TTestComm : public TComm {
public:
    THandle Handle() const { return FHandle; }
};

class ComPort : public TNamedPortTest {
protected:
    void SetUp() override { UsePortNamedBy("SW_TEST_COM"); }
};

double ProcessorSeconds()
{
    FILETIME Creation, Exit, Kernel, User;
    GetProcessTimes(GetCurrentProcess(), &Creation, &Exit, &Kernel, &User);
    auto Seconds = [](const FILETIME& Time) {
        return static_cast<double>((uint64_t{Time.dwHighDateTime} << 32) | Time.dwLowDateTime) / 1e7;
    };
    return Seconds(Kernel) + Seconds(User);
}

std::set<DWORD> ThreadIds()
{
    const HANDLE Snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    std::set<DWORD> Ids;
    THREADENTRY32 Entry{};
    Entry.dwSize = sizeof Entry;
    for (bool More = Thread32First(Snapshot, &Entry); More; More = Thread32Next(Snapshot, &Entry))
        if (Entry.th32OwnerProcessID == GetCurrentProcessId())
            Ids.insert(Entry.th32ThreadID);
    CloseHandle(Snapshot);
    return Ids;
}

// The ids in Ids that are not in Other.
std::set<DWORD> Without(const std::set<DWORD>& Ids, const std::set<DWORD>& Other)
{
    std::set<DWORD> Rest;
    std::ranges::set_difference(Ids, Other, std::inserter(Rest, Rest.end()));
    return Rest;
}

} // namespace

TEST_F(ComPort, OpensWithTheDeviceSettingsAnswersTheBootQueryAndDrivesDtr)
{
    TTestComm Comm;
    OpenLikeWorker(Comm, PortDevicePath(FPort));

    DCB State{};
    State.DCBlength = sizeof State;
    ASSERT_TRUE(GetCommState(Comm.Handle(), &State)) << GetLastError();
    EXPECT_EQ(State.BaudRate, 115200u);
    EXPECT_EQ(State.ByteSize, 8);
    EXPECT_EQ(State.Parity, NOPARITY);
    EXPECT_EQ(State.StopBits, ONESTOPBIT);
    EXPECT_FALSE(State.fOutxCtsFlow || State.fOutxDsrFlow || State.fOutX || State.fInX);
    COMMTIMEOUTS Timeouts{};
    ASSERT_TRUE(GetCommTimeouts(Comm.Handle(), &Timeouts));
    EXPECT_EQ(Timeouts.ReadIntervalTimeout, MAXDWORD);
    EXPECT_EQ(Timeouts.ReadTotalTimeoutConstant, 0u);

    const std::string Reply = AskBoot(Comm);
    EXPECT_TRUE(IsBootReply(Reply.data(), static_cast<int>(Reply.size()))) << Reply;

    // A pseudo-terminal has no modem lines: driving DTR there is no failure.
    Comm.SetDTR(false);
    Comm.SetDTR(true);
    Comm.Close();
    EXPECT_THROW(Comm.SetDTR(true), ECommError);
}

TEST_F(ComPort, AReadWithNothingToReadReturnsAtOnceAndWritesNothingLater)
{
    TComm Comm;
    OpenLikeWorker(Comm, PortDevicePath(FPort));
    Comm.PurgeIn();
    char Buffer[64];
    std::memset(Buffer, '#', sizeof Buffer);
    const auto Start = std::chrono::steady_clock::now();
    EXPECT_EQ(Comm.Read(Buffer, sizeof Buffer), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::milliseconds(Comm.ReadTimeout()));

    // The reply to a query sent now goes to the input queue, not into the buffer of the read that
    // has returned.
    ASSERT_EQ(Comm.Write(BootQueryFrame, BootQueryLength), BootQueryLength);
    auto Untouched = [&] { return std::ranges::count(Buffer, '#') == static_cast<long>(sizeof Buffer); };
    WaitUntil([&] { return Comm.InQueCount() >= 8 || !Untouched(); }, 5s);
    EXPECT_TRUE(Untouched()) << std::string(Buffer, sizeof Buffer);

    // A read takes no more than it asks for and leaves the rest queued.
    char Reply[64];
    ASSERT_EQ(Comm.Read(Reply, 4), 4);
    const int Rest = Comm.Read(Reply + 4, sizeof Reply - 4);
    ASSERT_GT(Rest, 0);
    EXPECT_TRUE(IsBootReply(Reply, 4 + Rest)) << std::string(Reply, static_cast<size_t>(4 + Rest));
}

TEST_F(ComPort, OpensAgainAtOnceAfterClose)
{
    TComm Comm;
    OpenLikeWorker(Comm, PortDevicePath(FPort));
    // Each open's event thread may still be ending when the next open comes.
    for (int Pair = 0; Pair < 20; ++Pair) {
        Comm.Close();
        try {
            OpenLikeWorker(Comm, PortDevicePath(FPort));
        } catch (const ECommError& Error) {
            FAIL() << "open " << Pair << ": " << Error.what();
        }
    }
    const std::string Reply = AskBoot(Comm);
    EXPECT_TRUE(IsBootReply(Reply.data(), static_cast<int>(Reply.size()))) << Reply;
}

struct TEventsRow {
    const char* Name;
    TCommEventTypes Events;
};

void PrintTo(const TEventsRow& Row, std::ostream* Out) { *Out << Row.Name; }

class ComPortEvents : public ComPort, public testing::WithParamInterface<TEventsRow> {};

TEST_P(ComPortEvents, EventThreadIdlesWhileThePortSitsOpenAndEndsAtClose)
{
    const std::set<DWORD> Before = ThreadIds();
    std::set<DWORD> Started;
    {
        TComm Comm;
        Comm.SetMonitorEvents(GetParam().Events);
        OpenLikeWorker(Comm, PortDevicePath(FPort));
        EXPECT_TRUE(WaitUntil([&] {
            Started = Without(ThreadIds(), Before);
            return !Started.empty();
        }, 5s));
        // A thread whose waits fail at once and that does not back off uses a whole core.
        const double Used = ProcessorSeconds();
        std::this_thread::sleep_for(1500ms);
        EXPECT_LT(ProcessorSeconds() - Used, 0.3);
    }
    EXPECT_TRUE(WaitUntil([&] { return Without(Started, ThreadIds()).size() == Started.size(); }, 5s));
}

// Under Wine on a pseudo-terminal a wait that includes the modem lines fails at once, and one for
// received characters alone is reported pending and then ends aborted.
INSTANTIATE_TEST_SUITE_P(Masks, ComPortEvents,
                         testing::Values(TEventsRow{"AllEvents", AllCommEvents},
                                         TEventsRow{"ReceivedCharacters", TCommEventTypes{evRxChar}}));

// Wine lets a second open of a COM port through, so there the held port's probe opens it too; a
// port of the system's serial driver refuses it and is counted by the refusal.
TEST_F(ComPort, ListsThePortAlsoWhileItIsHeld)
{
    const std::vector<std::string> Free = ListSerialPorts();
    EXPECT_NE(std::ranges::find(Free, FPort), Free.end());
    TComm Comm;
    OpenLikeWorker(Comm, PortDevicePath(FPort));
    const std::vector<std::string> Held = ListSerialPorts();
    EXPECT_NE(std::ranges::find(Held, FPort), Held.end());
}
