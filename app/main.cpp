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
    // The application title is the main window's own caption: on X11 the task bar shows that. Qt's
    // display name would be appended to every other window's title ("About... — ...").

    TFUpdate Update;
    FUpdate = &Update;
    TFprogress Progress;
    Fprogress = &Progress;
    TFAbout About;
    FAbout = &About;

    Update.show();
    return QApplication::exec();
}
