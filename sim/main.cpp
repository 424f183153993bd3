// sw30415-sim: the device simulator as a program, for the tool and for scripts.
#include "DeviceSimulator.h"
#include "SimOptions.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Set only while the simulator runs, so that a signal arriving before or after finds nothing to stop.
std::atomic<TDeviceSimulator*> RunningSimulator{nullptr};

void stopOnSignal(int)
{
    if (TDeviceSimulator* simulator = RunningSimulator.load())
        simulator->RequestStop();
}

void installSignalHandlers()
{
    struct sigaction action {};
    action.sa_handler = stopOnSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

bool isSymlink(const std::string& Path)
{
    struct stat info {};
    return lstat(Path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

} // namespace

int main(int argc, char** argv)
{
    TSimOptions options;
    try {
        options = ParseSimOptions({argv + 1, argv + argc});
    } catch (const std::exception& error) {
        std::cerr << "sw30415-sim: " << error.what() << "\n" << SimUsage;
        return 2;
    }
    if (options.Help) {
        std::cout << SimUsage;
        return 0;
    }
    if (options.Version) {
        std::cout << SW_VERSION << "\n";
        return 0;
    }

    std::shared_ptr<std::ofstream> logFile;
    if (!options.LogPath.empty()) {
        logFile = std::make_shared<std::ofstream>(options.LogPath, std::ios::trunc);
        if (!*logFile) {
            std::cerr << "sw30415-sim: cannot write the log " << options.LogPath << "\n";
            return 1;
        }
    }
    std::ostream& logStream = logFile ? *logFile : std::cerr;
    options.Settings.LogSink = [&logStream](const std::string& Line) { logStream << Line << std::endl; };

    try {
        TDeviceSimulator simulator(options.Settings);
        if (!options.LinkPath.empty()) {
            if (isSymlink(options.LinkPath))
                unlink(options.LinkPath.c_str());
            if (symlink(simulator.PortPath().c_str(), options.LinkPath.c_str()) != 0) {
                std::perror(("sw30415-sim: link " + options.LinkPath).c_str());
                return 1;
            }
        }
        std::cout << simulator.PortPath() << std::endl;
        RunningSimulator = &simulator;
        installSignalHandlers();
        simulator.Run();
        RunningSimulator = nullptr;
        if (!options.LinkPath.empty())
            unlink(options.LinkPath.c_str());
    } catch (const std::exception& error) {
        std::cerr << "sw30415-sim: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
