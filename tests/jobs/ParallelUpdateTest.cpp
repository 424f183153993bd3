// Several updates at once, each with its own worker and device, from one image: the image is shared
// for reading, and read-back names formed in the same millisecond are kept apart.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <thread>

#include "FirmwareUpdate.h"
#include "SimulatedLink.h"
#include "TestFiles.h"
#include "TickTimer.h"

using namespace std::chrono_literals;

namespace {

// One device with its worker and its update, driven from a thread of its own.
struct TStation {
    explicit TStation(const std::filesystem::path& Image)
    {
        TUpdateHooks Hooks;
        Hooks.Show = [this](const std::string& Text) { Texts.push_back(Text); };
        Hooks.ProcessMessages = [this] { Timer.Poll(); };
        Hooks.StartTimer = [this] { Timer.Start(); };
        Hooks.StopTimer = [this] { Timer.Stop(); };
        Hooks.SetProgress = [](int) {};
        // Every station names its read-back file at the same moment.
        Hooks.Now = [] { return TLocalTime{2026, 12, 8, 6, 0, 0, 0}; };
        Job = std::make_unique<TFirmwareUpdate>(Link.Worker, Hooks);
        Job->SetImageFile(Image.string());
    }

    // Goes last, once the update that drives its worker has gone.
    TSimulatedLink Link;
    std::unique_ptr<TFirmwareUpdate> Job;
    TTickTimer Timer{500ms, [this] { Job->T_AutoTimer(); }};
    std::vector<std::string> Texts;
    TUpdateOutcome Outcome = TUpdateOutcome::Abandoned;
};

TEST(ParallelUpdates, ShareTheImageAndKeepTheirReadBackFilesApart)
{
    const TTempFolder Folder("parallel-update-test");
    const auto Image = Folder.Path() / "image.sim";
    const TBytes Bytes = Pattern(128 * 12, 41);
    SaveFile(Image, Bytes);
    std::vector<std::unique_ptr<TStation>> Stations;
    for (int I = 0; I < 3; ++I)
        Stations.push_back(std::make_unique<TStation>(Image));
    for (auto& Station : Stations)
        ASSERT_TRUE(Station->Link.Opened(10s));
    {
        std::vector<std::jthread> Runs;
        for (auto& Station : Stations)
            Runs.emplace_back([&Station] { Station->Outcome = Station->Job->Run(); });
    }
    std::set<std::string> AllNames;
    for (auto& Station : Stations) {
        EXPECT_EQ(Station->Outcome, TUpdateOutcome::Done);
        EXPECT_EQ(Station->Texts, (std::vector<std::string>{"Write Firmware", "Read Firmware", "Update Done"}));
        EXPECT_EQ(Station->Link.Sim.Memory().Read(FirmwareStart, static_cast<uint32_t>(Bytes.size())), Bytes);
        // After the update the worker's file name is that of the read-back file.
        AllNames.insert(Station->Link.Worker.FileName());
    }
    EXPECT_EQ(AllNames.size(), Stations.size()) << "two updates shared a read-back file";
    EXPECT_TRUE(AllNames.count((Folder.Path() / "image20261286000.b79").string())) << "the plain name is kept";
    EXPECT_TRUE(FilesEndingWith(Folder.Path(), ".b79").empty());
}

} // namespace
