#include "SynchronizeHook.h"

#include "Thread.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <mutex>

void InstallWakeMainThread()
{
    static std::once_flag Installed;
    std::call_once(Installed, [] {
        WakeMainThread = [] {
            if (QCoreApplication* App = QCoreApplication::instance())
                QMetaObject::invokeMethod(App, [] { CheckSynchronize(); }, Qt::QueuedConnection);
        };
    });
}
