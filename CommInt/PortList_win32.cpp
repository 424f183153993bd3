// The COM ports of a Windows machine, found by opening each port name in turn.
#include "PortList.h"

#include "PortPath.h"
#include "SerialDefs.h"

namespace {

// The highest port number of the NT family, the only Windows this program runs on.
constexpr int HighestPort = 256;

bool PortExists(const std::string& Name)
{
    const HANDLE Handle = ::CreateFileA(PortDevicePath(Name).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                        nullptr, OPEN_EXISTING, 0, nullptr);
    if (Handle == INVALID_HANDLE_VALUE)
        // Refused because another program holds it: the port is there all the same.
        return ::GetLastError() == ERROR_ACCESS_DENIED;
    ::CloseHandle(Handle);
    return true;
}

} // namespace

std::vector<std::string> ListSerialPorts(const std::string&)
{
    std::vector<std::string> Names;
    for (int Number = 1; Number <= HighestPort; ++Number) {
        std::string Name = "COM" + std::to_string(Number);
        if (PortExists(Name))
            Names.push_back(std::move(Name));
    }
    return Names;
}

std::vector<std::string> ActiveConsoles(const std::string&) { return {}; }

std::vector<std::pair<std::string, std::string>> AdapterFacts(const std::string& Port, const std::string&)
{
    return {{"port_name", Port}};
}
