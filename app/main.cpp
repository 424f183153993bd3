// Start-up: the application, its title, the main window, then the progress and About windows
// hidden, and the message loop until the main window closes.
#include "SynchronizeHook.h"
#include "UAbout.h"
#include "Unit1.h"
#include "progress.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication Application(argc, argv);
    InstallWakeMainThread();
    QApplication::setApplicationDisplayName(TFUpdate::CaptionText());

    TFUpdate Update;
    FUpdate = &Update;
    TFprogress Progress;
    Fprogress = &Progress;
    TFAbout About;
    FAbout = &About;

    Update.show();
    return QApplication::exec();
}
