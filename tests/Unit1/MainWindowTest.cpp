#include "MainWindowFixture.h"

#include "CommInt.h"
#include "ProcessFigures.h"
#include "WorkerPort.h"
#include "arm_ser.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// The process's threads by name, leaving out Qt's global pool: it starts and retires helpers of its
// own on its own schedule.
std::vector<std::string> ThreadNames()
{
    std::vector<std::string> Names;
    for (const auto& Task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream Comm(Task.path() / "comm");
        std::string Name;
        std::getline(Comm, Name);
        if (Name != "Thread (pooled)")
            Names.push_back(Name);
    }
    return Names;
}

size_t Threads() { return ThreadNames().size(); }

// True when another program could take the port at once. Returns once the port's event thread has
// ended too, so that it does not count among the window's threads.
bool PortFree(const std::string& Path)
{
    const size_t ThreadsBefore = Threads();
    bool Opened = true;
    {
        TComm Other;
        try {
            OpenLikeWorker(Other, Path);
        } catch (const ECommError&) {
            Opened = false;
        }
    }
    EXPECT_TRUE(WaitUntil([&] { return Threads() == ThreadsBefore; }));
    return Opened;
}

TEST_F(MainWindow, layoutHasEveryControlByItsDesignerName)
{
    Create();
    EXPECT_EQ(Window->windowTitle(), "brimtor.example - SW30415 Fiber Optic Converter");
    EXPECT_EQ(Window->size(), QSize(395, 245));
    EXPECT_EQ(Window->minimumSize(), Window->maximumSize());
    EXPECT_FALSE(Window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(FromQColor(Window->palette().color(QPalette::Window)), RGB(248, 247, 237));
    EXPECT_EQ(Window->font().pixelSize(), 11);

    struct TPlace {
        const char* Name;
        QRect Geometry;
        bool Shown;
    };
    const TPlace Places[] = {
        {"Panel_Button", {0, 0, 393, 457}, true},   {"GroupBox3", {16, 8, 361, 89}, true},
        {"LbButton3", {96, 36, 25, 26}, true},      {"New", {130, 36, 73, 26}, true},
        {"about", {332, 13, 21, 19}, true},         {"GroupBox6", {16, 112, 361, 121}, true},
        {"LbButton2", {16, 23, 161, 26}, true},     {"GPB", {16, 88, 329, 17}, true},
        {"CB_Read", {192, 28, 161, 17}, false},     {"GroupBox5", {16, 112, 361, 193}, false},
        {"btn_Prm_Gen", {16, 103, 161, 26}, false}, {"LbButton1", {184, 103, 161, 26}, false},
        {"GroupBox1", {20, 248, 353, 89}, false},   {"Button12", {8, 24, 153, 25}, false},
        {"Edit1", {176, 60, 169, 19}, false},       {"GroupBox2", {20, 340, 353, 89}, false},
        {"Button1", {8, 56, 153, 25}, false},       {"Edit2", {176, 60, 169, 19}, false},
        {"GroupBox4", {20, 432, 353, 57}, false},   {"Button3", {8, 24, 337, 25}, false},
    };
    for (const TPlace& Place : Places) {
        const QWidget* Found = Control<QWidget>(*Window, Place.Name);
        ASSERT_NE(Found, nullptr);
        EXPECT_EQ(Found->geometry(), Place.Geometry) << Place.Name;
        EXPECT_EQ(Found->isVisible(), Place.Shown) << Place.Name;
    }
    // The hidden groups' groups of labels and the two spare status labels exist too.
    for (const char* Name : {"Label2", "Label3", "Label4", "Label7", "Label9", "Label15", "Label20", "Label21",
                             "Label22", "CB_Baud_Ser", "CB_Par_Ser", "CB_Baud_MBus", "CB_Par_MBus", "Button14",
                             "Button15"})
        EXPECT_NE(Window->findChild<QWidget*>(Name), nullptr) << Name;
    EXPECT_FALSE(Control<QLabel>(*Window, "Label2")->isVisible());
    EXPECT_EQ(Control<QComboBox>(*Window, "CB_Baud_MBus")->count(), 8);
    EXPECT_EQ(Control<QComboBox>(*Window, "CB_Baud_Ser")->currentText(), "9600");
    EXPECT_EQ(Control<QLineEdit>(*Window, "Edit2")->text(), "0x000000000000");
    const QTimer* Timer = Window->findChild<QTimer*>("T_Auto");
    ASSERT_NE(Timer, nullptr);
    EXPECT_EQ(Timer->interval(), 500);
    EXPECT_FALSE(Timer->isActive());

    // The panel's colour shows between the groups: nothing paints over the window's face.
    EXPECT_EQ(PixelAt(Window->grab().toImage(), 5, 105), RGB(248, 247, 237));
}

TEST_F(MainWindow, startupWithoutPortsHidesNewAndRefreshKeepsItHidden)
{
    Create({});
    EXPECT_EQ(Ports()->currentText(), "----");
    EXPECT_FALSE(Button("New")->isVisible());
    EXPECT_EQ(Status(), "----");
    EXPECT_TRUE(ConnectedButtonsEnabled(false));
    EXPECT_EQ(PortCount, 0);

    SerialPortSource = [] { return std::vector<std::string>{"ttyUSB0", "ttyUSB1"}; };
    QTest::mouseClick(Button("LbButton3"), Qt::LeftButton);
    EXPECT_EQ(Ports()->count(), 2);
    EXPECT_EQ(PortCount, 2);
    EXPECT_EQ(Ports()->currentText(), "----");
    EXPECT_FALSE(Button("New")->isVisible());
}

TEST_F(MainWindow, startupWithPortsShowsTheFirstAndRefreshKeepsTheTypedName)
{
    Create({"ttyACM0", "ttyUSB2"});
    EXPECT_EQ(Ports()->currentText(), "ttyACM0");
    EXPECT_TRUE(Button("New")->isVisible());
    EXPECT_EQ(NewCaption(), "Init");
    EXPECT_TRUE(ConnectedButtonsEnabled(false));
    EXPECT_TRUE(Button("LbButton3")->isEnabled());

    Ports()->setEditText("/tmp/typed");
    SerialPortSource = [] { return std::vector<std::string>{"ttyUSB2"}; };
    QTest::mouseClick(Button("LbButton3"), Qt::LeftButton);
    EXPECT_EQ(Ports()->count(), 1);
    EXPECT_EQ(Ports()->currentText(), "/tmp/typed");
}

TEST_F(MainWindowOnDevice, initConnectsAndDisconnectFreesThePortAtOnce)
{
    Create();
    const milliseconds InitTime = ClickNew(Path);
    std::cout << "Init took " << InitTime.count() << " ms\n";
    EXPECT_GE(InitTime, milliseconds(700));
    EXPECT_EQ(Status(), "Initialized");
    EXPECT_EQ(NewCaption(), "Disconnect");
    EXPECT_TRUE(ConnectedButtonsEnabled(true));
    EXPECT_FALSE(Button("LbButton3")->isEnabled());
    EXPECT_EQ(PortConnected, 1);
    EXPECT_EQ(Window->FWorkerStarted, 1);
    EXPECT_FALSE(PortFree(Sim->PortPath()));

    ClickNew();
    EXPECT_EQ(Status(), "----");
    EXPECT_EQ(NewCaption(), "Connect");
    EXPECT_TRUE(ConnectedButtonsEnabled(false));
    EXPECT_TRUE(Button("LbButton3")->isEnabled());
    EXPECT_EQ(PortConnected, 0);
    EXPECT_EQ(Window->FWorkerStarted, 0);
    EXPECT_EQ(SerWorker, nullptr);
    EXPECT_TRUE(PortFree(Sim->PortPath()));
    const size_t ThreadsBefore = Threads();
    const size_t DescriptorsBefore = OpenDescriptors();

    // Each connection leaves nothing behind: neither the worker's thread nor the port's event
    // thread, nor their descriptors.
    ClickNew();
    EXPECT_EQ(Status(), "Initialized");
    EXPECT_EQ(NewCaption(), "Disconnect");
    EXPECT_GT(Threads(), ThreadsBefore);
    ClickNew();
    EXPECT_TRUE(WaitUntil([&] { return Threads() == ThreadsBefore; })) << Threads() << " vs " << ThreadsBefore;
    EXPECT_TRUE(WaitUntil([&] { return OpenDescriptors() == DescriptorsBefore; }))
        << OpenDescriptors() << " vs " << DescriptorsBefore;
}

TEST_F(MainWindowOnDevice, twoFailedInitsThenAThirdThatWorks)
{
    Create();
    const size_t ThreadsBefore = Threads();
    for (int Attempt = 0; Attempt < 2; ++Attempt) {
        ClickNew("/nonexistent/port");
        EXPECT_EQ(Status(), "Error in init") << Attempt;
        EXPECT_EQ(PortConnected, 0);
        EXPECT_EQ(NewCaption(), "Init");
        EXPECT_TRUE(ConnectedButtonsEnabled(false));
        EXPECT_TRUE(Button("LbButton3")->isEnabled());
        // Only the failed attempt's worker is left: the one before it was stopped and freed.
        EXPECT_EQ(Threads(), ThreadsBefore + 1);
        // The status line keeps its one text; the tool tip says what is wrong.
        EXPECT_EQ(SerWorker->OpenFailure().Kind, TOpenRefusal::Missing);
        EXPECT_EQ(Control<QLabel>(*Window, "Label1")->toolTip(),
                  "/nonexistent/port is not there; check the port's name and that the device is plugged in");
    }
    ClickNew(Path);
    EXPECT_EQ(Status(), "Initialized");
    EXPECT_EQ(NewCaption(), "Disconnect");
    EXPECT_EQ(PortConnected, 1);
}

TEST_F(MainWindowOnDevice, doubleClickOnInitLeavesThePortClosedForTheNextInit)
{
    Create();
    Ports()->setEditText(Path);
    // As the window system delivers it: press, release, the double-click event as the second press,
    // release.
    QTest::mouseClick(Button("New"), Qt::LeftButton);
    QTest::mouseDClick(Button("New"), Qt::LeftButton);
    QTest::mouseRelease(Button("New"), Qt::LeftButton);
    EXPECT_EQ(NewCaption(), "Connect");
    EXPECT_EQ(Status(), "----");
    EXPECT_TRUE(PortFree(Sim->PortPath()));

    ClickNew();
    EXPECT_EQ(Status(), "Initialized");
}

struct TCloseRow {
    const char* Name;
    const char* Port; // empty: no Init before the close
    bool Connect;     // a second click, Disconnect, before the close
    bool WaitsForWorker;
};

void PrintTo(const TCloseRow& Row, std::ostream* Out) { *Out << Row.Name; }


class MainWindowClose : public MainWindowOnDevice, public testing::WithParamInterface<TCloseRow> {};

TEST_P(MainWindowClose, stopsAnyWorkerAndLeavesNoThreadBehind)
{
    const TCloseRow& Row = GetParam();
    Create();
    const size_t ThreadsBefore = Threads();
    if (*Row.Port)
        ClickNew(QString::fromLatin1(Row.Port) == "sim" ? Path : QString::fromLatin1(Row.Port));
    if (Row.Connect)
        ClickNew();

    const auto Start = steady_clock::now();
    EXPECT_TRUE(Window->close());
    const auto CloseTime = std::chrono::duration_cast<milliseconds>(steady_clock::now() - Start);
    std::cout << Row.Name << ": close took " << CloseTime.count() << " ms\n";
    if (Row.WaitsForWorker) {
        EXPECT_GE(CloseTime, milliseconds(300));
        EXPECT_LT(CloseTime, milliseconds(5000));
    } else {
        EXPECT_LT(CloseTime, milliseconds(250));
    }
    EXPECT_EQ(SerWorker, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return Threads() == ThreadsBefore; })) << Threads() << " vs " << ThreadsBefore;
    EXPECT_TRUE(PortFree(Sim->PortPath()));
}

INSTANTIATE_TEST_SUITE_P(States, MainWindowClose,
                         testing::Values(TCloseRow{"idle", "", false, false},
                                         TCloseRow{"connected", "sim", false, true},
                                         TCloseRow{"afterFailedInit", "/nonexistent/port", false, true},
                                         TCloseRow{"disconnected", "sim", true, false}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

} // namespace
