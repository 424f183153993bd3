#include "PortsCommand.h"

#include <cstdio>

#include "ExitCodes.h"
#include "PortList.h"

int RunPorts()
{
    const std::vector<std::string> Ports = ListSerialPorts();
    for (const std::string& Port : Ports)
        std::printf("%s\n", Port.c_str());
    // Said apart from the list, so that a script reading stdout finds it empty.
    if (Ports.empty())
        std::fprintf(stderr, "sw30415: no serial ports found\n");
    return ecDone;
}
