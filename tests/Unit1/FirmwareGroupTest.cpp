#include "MainWindowFixture.h"

#include "FirmwareUpdate.h"
#include "TestFiles.h"
#include "arm_ser.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <QTimer>

#include <functional>
#include <iostream>

namespace {

using std::chrono::steady_clock;

// Looks at the firmware group on every pass of the message loop while an update runs: each new status
// text, and whether a control that would disturb the run was ever enabled meanwhile.
class TRunWatch {
public:
    TRunWatch(TFUpdate& Window, std::function<void()> OnLook = {}) : FWindow(Window), FOnLook(std::move(OnLook))
    {
        QObject::connect(&FTimer, &QTimer::timeout, [this] { Look(); });
        FTimer.start(0);
    }

    std::vector<QString> Texts;
    bool SawRun = false;
    bool GuardedEnabled = false;

private:
    void Look()
    {
        const QString Text = Control<QLabel>(FWindow, "Label22")->text();
        if (Texts.empty() || Texts.back() != Text)
            Texts.push_back(Text);
        if (FWindow.FirmwareUpdate() && FWindow.FirmwareUpdate()->Running()) {
            SawRun = true;
            for (const char* Name : {"LbButton2", "New", "LbButton3"})
                GuardedEnabled = GuardedEnabled || Control<QWidget>(FWindow, Name)->isEnabled();
            if (FOnLook)
                FOnLook();
        }
    }

    TFUpdate& FWindow;
    const std::function<void()> FOnLook;
    QTimer FTimer;
};

// Where the program looks for its image: master/Sim30415.sim beside the executable. Removed again.
class TMasterImage {
public:
    explicit TMasterImage(const TBytes& Image)
    {
        std::filesystem::create_directories(Folder);
        SaveFile(Folder / "Sim30415.sim", Image);
    }
    ~TMasterImage()
    {
        std::error_code Ignored;
        std::filesystem::remove(Folder / "Sim30415.sim", Ignored);
        std::filesystem::remove(Folder, Ignored);
    }

    const std::filesystem::path Folder =
        std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) / "master";
};

class FirmwareGroup : public MainWindowOnDevice {
protected:
    void SetUp() override {}
    long long ClickUpdate()
    {
        const auto Start = steady_clock::now();
        QTest::mouseClick(Button("LbButton2"), Qt::LeftButton);
        return std::chrono::duration_cast<milliseconds>(steady_clock::now() - Start).count();
    }
    bool Enabled(const char* Name) { return Button(Name)->isEnabled(); }
};

TEST_F(FirmwareGroup, goodUpdateShowsEachStageWithTheRunsControlsDisabled)
{
    StartDevice({});
    const TBytes Image = Pattern(1000, 5);
    const TMasterImage Master(Image);
    Connected();
    TRunWatch Watch(*Window);

    std::cout << "An update of 1000 bytes through the window took " << ClickUpdate() << " ms\n";
    EXPECT_EQ(Watch.Texts, (std::vector<QString>{"  ", "Write Firmware", "Read Firmware", "Update Done"}));
    EXPECT_EQ(Control<QProgressBar>(*Window, "GPB")->value(), 100);
    EXPECT_EQ(Sim->Memory().Read(0x8000, 1000), Image);
    EXPECT_TRUE(FilesEndingWith(Master.Folder, ".b79").empty());
    EXPECT_TRUE(Watch.SawRun);
    EXPECT_FALSE(Watch.GuardedEnabled);
    // As they were before the run: connected, so no new port list.
    EXPECT_TRUE(Enabled("LbButton2"));
    EXPECT_TRUE(Enabled("New"));
    EXPECT_FALSE(Enabled("LbButton3"));
}

TEST_F(FirmwareGroup, closeDuringTheReadBackAbandonsItAndClosesOnceTheWorkerLetGo)
{
    // Paced as the real line, so that the read-back takes long enough to be interrupted.
    TSimSettings Paced;
    Paced.Baud = 115200;
    StartDevice(Paced);
    TTempFolder Folder("window-close");
    SaveFile(Folder.Path() / "Sim30415.sim", Pattern(4096, 9));
    Connected();
    Window->FirmwareUpdate()->SetImageFile((Folder.Path() / "Sim30415.sim").string());

    bool ReadBackSeen = false;
    steady_clock::time_point ClosedAt;
    TRunWatch Watch(*Window, [&] {
        if (ClosedAt != steady_clock::time_point() || Text("Label22") != "Read Firmware" ||
            SerWorker->BlockCount() < 2)
            return;
        ReadBackSeen = FilesEndingWith(Folder.Path(), ".b79").size() == 1;
        ClosedAt = steady_clock::now();
        EXPECT_FALSE(Window->close());
    });
    ClickUpdate();
    const auto CloseTime = std::chrono::duration_cast<milliseconds>(steady_clock::now() - ClosedAt);
    std::cout << "Close during the read-back took " << CloseTime.count() << " ms\n";

    ASSERT_NE(ClosedAt, steady_clock::time_point());
    EXPECT_TRUE(ReadBackSeen);
    EXPECT_FALSE(Window->isVisible());
    EXPECT_LT(CloseTime, milliseconds(5000));
    EXPECT_EQ(Text("Label22"), "Error after read");
    EXPECT_TRUE(FilesEndingWith(Folder.Path(), ".b79").empty());
    EXPECT_EQ(SerWorker, nullptr);
    EXPECT_EQ(Window->FirmwareUpdate(), nullptr);
}

TEST_F(FirmwareGroup, deviceNotInBootModeGetsNothingButTheQuery)
{
    TSimSettings Silent;
    Silent.BootReply = false;
    StartDevice(Silent);
    Connected();
    ClickUpdate();
    EXPECT_EQ(Text("Label22"), "The device isn't on Boot Mode");
    ASSERT_TRUE(Sim->WaitForLog(1, milliseconds(2000)));
    EXPECT_EQ(Sim->RequestLog(), std::vector<std::string>{"BOOT silent"});
    EXPECT_FALSE(Window->CheckBootMode());
    EXPECT_TRUE(Enabled("LbButton2"));
}

} // namespace
