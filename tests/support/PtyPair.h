// A pseudo-terminal for tests: the test holds the master side, the code under test opens the slave
// by its path exactly as it would open a real port.
#pragma once

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "WaitUntil.h"

class TPtyPair {
public:
    TPtyPair()
    {
        FMaster = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (FMaster < 0 || grantpt(FMaster) != 0 || unlockpt(FMaster) != 0)
            throw std::runtime_error("no pseudo-terminal");
        termios Tio{};
        tcgetattr(FMaster, &Tio);
        cfmakeraw(&Tio);
        tcsetattr(FMaster, TCSANOW, &Tio);
        FSlavePath = ptsname(FMaster);
        // Held open so that the slave side keeps its settings and never reads as hung up.
        FKeeper = open(FSlavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    }
    ~TPtyPair()
    {
        CloseMaster();
        if (FKeeper >= 0)
            close(FKeeper);
    }
    TPtyPair(const TPtyPair&) = delete;
    TPtyPair& operator=(const TPtyPair&) = delete;

    const std::string& SlavePath() const { return FSlavePath; }
    int Master() const { return FMaster; }

    void Send(const std::string& Text) const
    {
        if (write(FMaster, Text.data(), Text.size()) != static_cast<ssize_t>(Text.size()))
            throw std::runtime_error("pty write failed");
    }

    // Everything the slave side sent within Bound, stopping early once Expected bytes came.
    std::string Receive(size_t Expected, std::chrono::milliseconds Bound = std::chrono::seconds(5)) const
    {
        std::string Text;
        const auto End = std::chrono::steady_clock::now() + Bound;
        while (Text.size() < Expected && std::chrono::steady_clock::now() < End) {
            pollfd Entry{FMaster, POLLIN, 0};
            if (poll(&Entry, 1, 20) <= 0)
                continue;
            char Buffer[512];
            const ssize_t Got = read(FMaster, Buffer, sizeof Buffer);
            if (Got > 0)
                Text.append(Buffer, static_cast<size_t>(Got));
        }
        return Text;
    }

    // The pty shares one line state between its sides; the master shows what the slave was given.
    termios LineState() const
    {
        termios Tio{};
        tcgetattr(FMaster, &Tio);
        return Tio;
    }

    // The device goes away: the slave side then reads end of file and fails with EIO.
    void HangUp()
    {
        CloseMaster();
        if (FKeeper >= 0)
            close(FKeeper);
        FKeeper = -1;
    }

private:
    void CloseMaster()
    {
        if (FMaster >= 0)
            close(FMaster);
        FMaster = -1;
    }

    int FMaster = -1;
    int FKeeper = -1;
    std::string FSlavePath;
};
