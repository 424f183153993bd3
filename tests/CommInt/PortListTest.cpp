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

TEST(PortAccess, aRefusalNamesTheGroupThatOwnsTheDevice)
{
    const fs::path Node = fs::temp_directory_path() / ("portaccess-" + std::to_string(getpid()));
    std::ofstream(Node).put('\0');
    struct stat Info{};
    ASSERT_EQ(stat(Node.c_str(), &Info), 0);
    const group* Owner = getgrgid(Info.st_gid);
    ASSERT_NE(Owner, nullptr);

    const std::string Advice = PortAccessAdvice(Node.string(), EACCES);
    EXPECT_EQ(Advice.rfind("permission denied: ", 0), 0u) << Advice;
    EXPECT_NE(Advice.find(std::string("group ") + Owner->gr_name + " that owns " + Node.string()), std::string::npos)
        << Advice;
    EXPECT_EQ(PortAccessAdvice(Node.string(), EBUSY), "");
    EXPECT_EQ(PortAccessAdvice(Node.string(), -1), "");
    fs::remove(Node);
}

} // namespace
