// The one bridge between the thread layer and Qt: a thread's Synchronize call wakes Qt's event loop,
// which then serves the waiting calls on the GUI thread.
#pragma once

// Installs the thread layer's WakeMainThread hook. Call on the GUI thread once a QApplication exists,
// before threads that synchronise start; later calls do nothing.
void InstallWakeMainThread();
