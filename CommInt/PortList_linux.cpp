#include "PortList.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <fcntl.h>
#include <string.h> // strverscmp, a GNU extension
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "PortPath.h"

namespace fs = std::filesystem;

namespace {

// The 8250 driver registers every ttyS it could drive, 4 to 32 of them, whether a UART answers or
// not; only the serial driver's own probe knows which are real.
bool IsPhantomUart(const fs::path& DeviceNode)
{
    const int Fd = open(DeviceNode.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (Fd < 0)
        return true;
    serial_struct Info{};
    const bool Known = ioctl(Fd, TIOCGSERIAL, &Info) == 0 && Info.type != PORT_UNKNOWN;
    close(Fd);
    return !Known;
}

std::string FirstLine(const fs::path& File)
{
    std::ifstream In(File);
    std::string Line;
    std::getline(In, Line);
    return Line;
}

bool IsSerialPort(const fs::path& ClassEntry, const fs::path& DeviceFolder)
{
    std::error_code Error;
    // Virtual terminals, pseudo-terminals and the console have no device behind them.
    if (!fs::exists(ClassEntry / "device", Error))
        return false;
    const fs::path Driver = fs::read_symlink(ClassEntry / "device" / "driver", Error);
    if (!Error && Driver.filename() == "serial8250")
        return !IsPhantomUart(DeviceFolder / ClassEntry.filename());
    return true;
}

} // namespace

std::vector<std::string> ListSerialPorts(const std::string& Root)
{
    const fs::path ClassFolder = fs::path(Root) / "sys/class/tty";
    const fs::path DeviceFolder = fs::path(Root) / "dev";
    std::vector<std::string> Names;
    std::error_code Error;
    for (const auto& Entry : fs::directory_iterator(ClassFolder, Error))
        if (IsSerialPort(Entry.path(), DeviceFolder))
            Names.push_back(Entry.path().filename().string());
    // Runs of digits by their value, so that ttyUSB2 comes before ttyUSB10.
    std::sort(Names.begin(), Names.end(),
              [](const std::string& A, const std::string& B) { return strverscmp(A.c_str(), B.c_str()) < 0; });
    return Names;
}

std::vector<std::string> ActiveConsoles(const std::string& Root)
{
    // One line of names, "tty0 ttyS0"; the last named is /dev/console.
    std::ifstream Active(fs::path(Root) / "sys/class/tty/console/active");
    return {std::istream_iterator<std::string>(Active), std::istream_iterator<std::string>()};
}

std::vector<std::pair<std::string, std::string>> AdapterFacts(const std::string& Port, const std::string& Root)
{
    std::error_code Error;
    // A by-id link leads to the node, whose name is the tty's in sysfs.
    const fs::path Node = fs::canonical(PortDevicePath(Port), Error);
    if (Error)
        return {};
    const fs::path Devices = fs::canonical(fs::path(Root) / "sys/devices", Error);
    fs::path Device = fs::canonical(fs::path(Root) / "sys/class/tty" / Node.filename() / "device", Error);
    // The tty's device is a USB interface (or a serial converter below one); the USB device that
    // holds the ids is further up.
    while (!Error && Device.has_relative_path() && Device != Devices) {
        if (fs::exists(Device / "idVendor", Error)) {
            std::vector<std::pair<std::string, std::string>> Facts = {
                {"usb_vendor_id", FirstLine(Device / "idVendor")}, {"usb_product_id", FirstLine(Device / "idProduct")}};
            if (fs::exists(Device / "serial", Error))
                Facts.emplace_back("serial_number", FirstLine(Device / "serial"));
            Facts.emplace_back("usb_bus_path", Device.filename().string());
            return Facts;
        }
        Device = Device.parent_path();
    }
    return {};
}
