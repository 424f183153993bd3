#include "PortAccess.h"
#include "PortList.h"
#include "PortPathCase.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A folder laid out as the system's tty class and device folder, removed at the end.
class TFakeSysfs {
public:
    TFakeSysfs()
        : FRoot(fs::temp_directory_path() / ("portlist-" + std::to_string(getpid())))
    {
        fs::remove_all(FRoot);
        fs::create_directories(FRoot / "sys/class/tty");
        fs::create_directories(FRoot / "sys/bus/drivers/usb-serial");
        fs::create_directories(FRoot / "sys/bus/drivers/serial8250");
        fs::create_directories(FRoot / "dev");
    }
    ~TFakeSysfs() { fs::remove_all(FRoot); }

    // A tty with a device behind it, driven by Driver; its node in dev is a plain file, which no
    // serial driver answers.
    void AddPort(const std::string& Name, const std::string& Driver)
    {
        const fs::path Device = FRoot / "sys/devices" / Name;
        fs::create_directories(Device);
        fs::create_directory_symlink(FRoot / "sys/bus/drivers" / Driver, Device / "driver");
        fs::create_directories(FRoot / "sys/class/tty" / Name);
        fs::create_directory_symlink(Device, FRoot / "sys/class/tty" / Name / "device");
        std::ofstream(FRoot / "dev" / Name).put('\0');
    }
    // A tty with no device: a virtual terminal, the console, a pseudo-terminal.
    void AddVirtual(const std::string& Name) { fs::create_directories(FRoot / "sys/class/tty" / Name); }

    std::string Root() const { return FRoot.string(); }

private:
    fs::path FRoot;
};

TEST(PortList, listsRealPortsInNaturalOrderWithoutVirtualTtysOrPhantomUarts)
{
    TFakeSysfs Sysfs;
    for (const char* Name : {"ttyUSB10", "ttyUSB2", "ttyACM0", "ttyUSB0"})
        Sysfs.AddPort(Name, "usb-serial");
    for (const char* Name : {"ttyS0", "ttyS1", "ttyS31"})
        Sysfs.AddPort(Name, "serial8250");
    for (const char* Name : {"tty0", "tty63", "console", "ptmx"})
        Sysfs.AddVirtual(Name);

    EXPECT_EQ(ListSerialPorts(Sysfs.Root()), (std::vector<std::string>{"ttyACM0", "ttyUSB0", "ttyUSB2", "ttyUSB10"}));
}

TEST(PortList, aMissingClassFolderListsNothing)
{
    EXPECT_TRUE(ListSerialPorts("/nonexistent-root").empty());
}

INSTANTIATE_TEST_SUITE_P(Names, PortPath,
                         testing::Values(TPathRow{"ttyUSB0", "/dev/ttyUSB0"}, TPathRow{"ttyS3", "/dev/ttyS3"},
                                         TPathRow{"/dev/pts/4", "/dev/pts/4"},
                                         TPathRow{"/tmp/sw30415", "/tmp/sw30415"},
                                         TPathRow{"serial/by-id/usb-x", "/dev/serial/by-id/usb-x"}));

TEST(PortList, namesTheActiveConsolesAndNoneWithoutTheList)
{
    TFakeSysfs Sysfs;
    EXPECT_TRUE(ActiveConsoles(Sysfs.Root()).empty());
    fs::create_directories(fs::path(Sysfs.Root()) / "sys/class/tty/console");
    std::ofstream(fs::path(Sysfs.Root()) / "sys/class/tty/console/active") << "tty0 ttyS0\n";
    EXPECT_EQ(ActiveConsoles(Sysfs.Root()), (std::vector<std::string>{"tty0", "ttyS0"}));
}

TEST(PortList, anAdaptersFactsComeFromTheUsbDeviceAboveTheTty)
{
    TFakeSysfs Sysfs;
    const fs::path Root = Sysfs.Root(), Usb = Root / "sys/devices/pci0/usb1/1-1";
    const auto Tty = [&](const std::string& Name, const fs::path& Device) {
        std::ofstream(Root / "dev" / Name).put('\0');
        fs::create_directories(Device);
        fs::create_directories(Root / "sys/class/tty" / Name);
        fs::create_directory_symlink(Device, Root / "sys/class/tty" / Name / "device");
    };
    const auto Line = [](const fs::path& File, const char* Text) { std::ofstream(File) << Text; };
    Tty("ttyUSB3", Usb / "1-1.4/1-1.4:1.0/ttyUSB3");
    Line(Usb / "1-1.4/idVendor", "0403\n");
    Line(Usb / "1-1.4/idProduct", "6001\n");
    Line(Usb / "1-1.4/serial", "A10K\"X\n");
    Tty("ttyACM0", Usb / "1-1.2/1-1.2:1.0");
    Line(Usb / "1-1.2/idVendor", "2341\n");
    Line(Usb / "1-1.2/idProduct", "0043\n");
    std::ofstream(Root / "dev/ptmx").put('\0');

    using TFacts = std::vector<std::pair<std::string, std::string>>;
    const auto Facts = [&](const char* Name) { return AdapterFacts((Root / "dev" / Name).string(), Sysfs.Root()); };
    EXPECT_EQ(Facts("ttyUSB3"), (TFacts{{"usb_vendor_id", "0403"}, {"usb_product_id", "6001"},
                                        {"serial_number", "A10K\"X"}, {"usb_bus_path", "1-1.4"}}));
    EXPECT_EQ(Facts("ttyACM0"),
              (TFacts{{"usb_vendor_id", "2341"}, {"usb_product_id", "0043"}, {"usb_bus_path", "1-1.2"}}));
    EXPECT_TRUE(Facts("ptmx").empty());
    EXPECT_TRUE(Facts("ttyGone").empty());
}

// Each refusal in its class, with advice that names what the person can act on.
TEST(PortAccess, aRefusalIsClassifiedWithWhatToDo)
{
    const fs::path Node = fs::temp_directory_path() / ("portaccess-" + std::to_string(getpid()));
    std::ofstream(Node).put('\0');
    struct stat Info{};
    ASSERT_EQ(stat(Node.c_str(), &Info), 0);
    const group* Owner = getgrgid(Info.st_gid);
    ASSERT_NE(Owner, nullptr);
    const struct {
        int Error;
        TOpenRefusal Kind;
        std::string Said;
    } Rows[] = {
        {EACCES, TOpenRefusal::Permission, std::string("group ") + Owner->gr_name + " that owns " + Node.string()},
        {EPERM, TOpenRefusal::Permission, "permission denied: "},
        {EBUSY, TOpenRefusal::Busy, Node.string() + " is in use by another program"},
        {ENOENT, TOpenRefusal::Missing, Node.string() + " is not there"},
        {ENXIO, TOpenRefusal::Missing, "plugged in"},
        {-1, TOpenRefusal::Other, Node.string() + " is not a serial port"},
        {EIO, TOpenRefusal::Other, Node.string() + ": Input/output error"},
    };
    for (const auto& Row : Rows) {
        const TOpenFailure Failure = ClassifyOpenFailure(Node.string(), Row.Error);
        EXPECT_EQ(Failure.Kind, Row.Kind) << Row.Error;
        EXPECT_NE(Failure.Advice.find(Row.Said), std::string::npos) << Row.Error << ": " << Failure.Advice;
    }
    fs::remove(Node);
}

} // namespace
