// sw30415 as a child process for tests, its output in files of the test's folder.
#pragma once

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TestFiles.h"
#include "WaitUntil.h"

inline constexpr std::chrono::seconds ProgramBound{50};

inline std::string ReadText(const std::filesystem::path& Path)
{
    const TBytes Bytes = LoadFile(Path);
    return {Bytes.begin(), Bytes.end()};
}

// The program as a child process, its output in files of the test's folder.
class TProgram {
public:
    TProgram(std::vector<std::string> Arguments, const std::filesystem::path& Folder)
        : FOut(Folder / "stdout.txt"), FErr(Folder / "stderr.txt")
    {
        Arguments.insert(Arguments.begin(), CLI_PROGRAM);
        std::vector<char*> Argv;
        for (auto& Argument : Arguments)
            Argv.push_back(Argument.data());
        Argv.push_back(nullptr);
        posix_spawn_file_actions_t Actions;
        posix_spawn_file_actions_init(&Actions);
        posix_spawn_file_actions_addopen(&Actions, STDOUT_FILENO, FOut.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&Actions, STDERR_FILENO, FErr.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int Failed = posix_spawn(&FPid, CLI_PROGRAM, &Actions, nullptr, Argv.data(), environ);
        posix_spawn_file_actions_destroy(&Actions);
        if (Failed)
            throw std::runtime_error("cannot start " CLI_PROGRAM);
    }
    ~TProgram()
    {
        if (FPid > 0) {
            kill(FPid, SIGKILL);
            waitpid(FPid, nullptr, 0);
        }
    }
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    // The exit code; -1 when it did not end within the bound or ended by a signal.
    int Wait()
    {
        int Status = 0;
        const bool Ended = WaitUntil([&] { return waitpid(FPid, &Status, WNOHANG) == FPid; }, ProgramBound);
        if (!Ended)
            return -1;
        FPid = -1;
        return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
    }
    void Signal(int Number) const { kill(FPid, Number); }
    std::string Out() const { return ReadText(FOut); }
    std::string Err() const { return ReadText(FErr); }

private:
    pid_t FPid = -1;
    std::filesystem::path FOut;
    std::filesystem::path FErr;
};

