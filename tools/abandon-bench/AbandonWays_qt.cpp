// With windows, also the progress window's Cancel button, clicked while the window follows the run.
#include "AbandonWays.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <chrono>

#include "StalledRun.h"
#include "SynchronizeHook.h"
#include "WaitUntil.h"
#include "progress.h"

namespace {

int& OffscreenUnlessTold(int& argc)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return argc;
}

} // namespace

struct TAbandonWays::TWindows {
    TWindows(int& argc, char** argv) : Application(OffscreenUnlessTold(argc), argv)
    {
        InstallWakeMainThread();
        Progress = std::make_unique<TFprogress>();
        Fprogress = Progress.get();
    }
    ~TWindows() { Fprogress = nullptr; }

    QApplication Application;
    std::unique_ptr<TFprogress> Progress;
};

TAbandonWays::TAbandonWays(int& argc, char** argv) : FWindows(std::make_unique<TWindows>(argc, argv))
{
    TAbandonWay Cancel;
    Cancel.Name = "progress window Cancel";
    Cancel.Watch = [](Tarm_SER& Worker) {
        SerWorker = &Worker;
        Fprogress->show();
        Fprogress->Timer1->start();
        QCoreApplication::processEvents();
    };
    Cancel.Abandon = [](Tarm_SER&) { QTest::mouseClick(Fprogress->BitBtn1, Qt::LeftButton); };
    // The window closes itself on its first tick with the worker idle.
    Cancel.Settle = [] {
        WaitUntil(
            [] {
                QCoreApplication::processEvents();
                return !Fprogress->isVisible();
            },
            std::chrono::seconds(5));
        SerWorker = nullptr;
    };
    FWays = {StalledRunWay(), Cancel};
}

TAbandonWays::~TAbandonWays() = default;
