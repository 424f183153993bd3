#include "AdapterIdentity.h"

#include <fstream>

#include "PortPath.h"

namespace fs = std::filesystem;

namespace {

std::string FirstLine(const fs::path& File)
{
    std::ifstream In(File);
    std::string Line;
    std::getline(In, Line);
    return Line;
}

} // namespace

nlohmann::ordered_json AdapterIdentity(const std::string& Port, const fs::path& Root)
{
    nlohmann::ordered_json Identity = nlohmann::ordered_json::object();
    std::error_code Error;
    // A by-id link leads to the node, whose name is the tty's in sysfs.
    const fs::path Node = fs::canonical(PortDevicePath(Port), Error);
    if (Error)
        return Identity;
    const fs::path Devices = fs::canonical(Root / "sys/devices", Error);
    fs::path Device = fs::canonical(Root / "sys/class/tty" / Node.filename() / "device", Error);
    // The tty's device is a USB interface (or a serial converter below one); the USB device that
    // holds the ids is further up.
    while (!Error && Device.has_relative_path() && Device != Devices) {
        if (fs::exists(Device / "idVendor", Error)) {
            Identity["usb_vendor_id"] = FirstLine(Device / "idVendor");
            Identity["usb_product_id"] = FirstLine(Device / "idProduct");
            if (fs::exists(Device / "serial", Error))
                Identity["serial_number"] = FirstLine(Device / "serial");
            Identity["usb_bus_path"] = Device.filename().string();
            return Identity;
        }
        Device = Device.parent_path();
    }
    return Identity;
}
