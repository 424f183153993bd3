// A program run as a child process for a test, its output in files of the test's folder.
#pragma once

#include <chrono>
#include <csignal>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TestFiles.h"
#include "WaitUntil.h"

// Long enough for a whole unpaced update with a stall; a test that hangs ends by this bound.
inline constexpr std::chrono::seconds ProgramBound{50};

class TChildProgram {
public:
    // Stdout: the descriptor to give the program as its standard output; -1: a file in Folder.
    TChildProgram(const std::string& Program, std::vector<std::string> Arguments, const std::filesystem::path& Folder,
                  int Stdout = -1)
        : FOut(Folder / "stdout.txt"), FErr(Folder / "stderr.txt")
    {
        Arguments.insert(Arguments.begin(), Program);
        std::vector<char*> Argv;
        for (auto& Argument : Arguments)
            Argv.push_back(Argument.data());
        Argv.push_back(nullptr);
        posix_spawn_file_actions_t Actions;
        posix_spawn_file_actions_init(&Actions);
        if (Stdout >= 0)
            posix_spawn_file_actions_adddup2(&Actions, Stdout, STDOUT_FILENO);
        else
            posix_spawn_file_actions_addopen(&Actions, STDOUT_FILENO, FOut.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&Actions, STDERR_FILENO, FErr.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int Failed = posix_spawn(&FPid, Program.c_str(), &Actions, nullptr, Argv.data(), environ);
        posix_spawn_file_actions_destroy(&Actions);
        if (Failed)
            throw std::runtime_error("cannot start " + Program);
    }
    ~TChildProgram()
    {
        if (FPid > 0) {
            kill(FPid, SIGKILL);
            waitpid(FPid, nullptr, 0);
        }
    }
    TChildProgram(const TChildProgram&) = delete;
    TChildProgram& operator=(const TChildProgram&) = delete;

    // The exit code; -1 when it did not end within Bound (it is killed then) or ended by a signal.
    int Wait(std::chrono::milliseconds Bound = ProgramBound)
    {
        int Status = 0;
        if (!WaitUntil([&] { return waitpid(FPid, &Status, WNOHANG) == FPid; }, Bound))
            return -1;
        FPid = -1;
        return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
    }
    void Signal(int Number) const { kill(FPid, Number); }
    std::string Out() const { return Text(FOut); }
    std::string Err() const { return Text(FErr); }

private:
    static std::string Text(const std::filesystem::path& Path)
    {
        const TBytes Bytes = LoadFile(Path);
        return {Bytes.begin(), Bytes.end()};
    }

    pid_t FPid = -1;
    std::filesystem::path FOut;
    std::filesystem::path FErr;
};
