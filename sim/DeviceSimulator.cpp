#include "DeviceSimulator.h"

#include "BootLoader.h"
#include "SimTerminal.h"

#include <algorithm>
#include <filesystem>

namespace {

// How long one wait for input lasts before the loop looks again; a stop ends it at once anyway.
constexpr std::chrono::seconds InputWait{1};

} // namespace

TDeviceSimulator::TDeviceSimulator(const TSimSettings& Settings)
    : FSettings(Settings), FLine(std::make_unique<TSimTerminal>(FSettings.AdapterLatency, FSettings.DevicePath)),
      FBootLoader(std::make_unique<TBootLoader>(FSettings, FMemory))
{
    if (!FSettings.MemoryFile.empty() && std::filesystem::exists(FSettings.MemoryFile))
        FMemory.LoadFile(FSettings.MemoryFile);
    if (FSettings.ProtectionWord)
        FMemory.WriteWord(SimMap::ProtectionAddress, *FSettings.ProtectionWord);
}

TDeviceSimulator::~TDeviceSimulator() { Stop(); }

std::string TDeviceSimulator::PortPath() const { return FLine->Path(); }

void TDeviceSimulator::RequestStop() noexcept { FLine->RequestStop(); }

void TDeviceSimulator::Start()
{
    FThread = std::thread([this] { Run(); });
}

void TDeviceSimulator::Stop()
{
    RequestStop();
    if (FThread.joinable())
        FThread.join();
}

void TDeviceSimulator::Run()
{
    TLineAssembler assembler;
    char buffer[4096];
    bool running = true;
    while (running) {
        const auto waited = FLine->WaitForInput(TSimTerminal::TClock::now() + InputWait);
        if (waited == TSimTerminal::TWaitResult::wrTimeout)
            continue;
        if (waited != TSimTerminal::TWaitResult::wrReady)
            break;
        const ssize_t count = FLine->Read(buffer, sizeof buffer);
        if (count < 0)
            break;
        for (const TRequestLine& line : assembler.Feed({buffer, static_cast<size_t>(count)}, TSimTerminal::TClock::now())) {
            running = Serve(line);
            if (!running)
                break;
        }
    }
    if (!FSettings.MemoryFile.empty()) {
        try {
            FMemory.SaveFile(FSettings.MemoryFile);
        } catch (const std::exception& error) {
            Log(std::string("ERROR ") + error.what());
        }
    }
}

bool TDeviceSimulator::Serve(const TRequestLine& Line)
{
    // The device can't act on a request before the line has carried all of it, and requests
    // that came in one burst followed each other on the line.
    if (FSettings.Baud != 0) {
        const int64_t bits = static_cast<int64_t>(Line.Length) * 10;
        const auto carried = std::chrono::nanoseconds((bits * 1'000'000'000 + FSettings.Baud - 1) / FSettings.Baud);
        FInputCarriedUntil = std::max(FInputCarriedUntil, Line.Started) + carried;
        if (!FLine->Pause(FInputCarriedUntil))
            return false;
    }
    const TAnswer answer = FBootLoader->Answer(Line);
    Log(answer.LogLine);
    if (answer.HangUp) {
        FHungUp = true; // first, so that whoever sees the port hang up sees the flag too
        FLine->HangUp();
        return false;
    }
    for (const TReplyPart& part : answer.Parts) {
        if (part.DelayBefore.count() > 0 && !FLine->Pause(TSimTerminal::TClock::now() + part.DelayBefore))
            return false;
        if (!FLine->Send(part.Text, FSettings.Baud, FSettings.HandOn))
            return !FLine->StopRequested();
    }
    return true;
}

void TDeviceSimulator::Log(const std::string& Line)
{
    if (FSettings.LogSink)
        FSettings.LogSink(Line);
    {
        std::lock_guard lock(FLogMutex);
        FLog.push_back(Line);
    }
    FLogGrew.notify_all();
}

std::vector<std::string> TDeviceSimulator::RequestLog() const
{
    std::lock_guard lock(FLogMutex);
    return FLog;
}

bool TDeviceSimulator::WaitForLog(size_t Count, std::chrono::milliseconds Timeout) const
{
    std::unique_lock lock(FLogMutex);
    return FLogGrew.wait_for(lock, Timeout, [&] { return FLog.size() >= Count; });
}
