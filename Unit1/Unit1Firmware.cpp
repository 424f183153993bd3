// The firmware group: "Update Firmware" runs the update of the current connection, T_Auto moves the
// bar, Label22 shows each stage.
#include "Unit1.h"

#include "Designer.h"
#include "DtcCheck.h"
#include "FirmwareFiles.h"
#include "FirmwareUpdate.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

TUpdateHooks TFUpdate::UpdateHooks()
{
    TUpdateHooks Hooks;
    // Drawn at once: the update goes on without returning to the message loop.
    Hooks.Show = [this](const std::string& Text) {
        SetLabelCaption(Label22, QString::fromStdString(Text));
        QCoreApplication::processEvents();
    };
    Hooks.ProcessMessages = [] { QCoreApplication::processEvents(); };
    Hooks.StartTimer = [this] { T_Auto->start(); };
    Hooks.StopTimer = [this] { T_Auto->stop(); };
    Hooks.SetProgress = [this](int Position) { GPB->setValue(Position); };
    return Hooks;
}

void TFUpdate::Button6Click()
{
    if (!FUpdateJob || FUpdateJob->Running())
        return;
    WhileWaiting([this] { FUpdateJob->Run(CB_Read->Checked()); });
}

bool TFUpdate::CheckBootMode() { return FUpdateJob && FUpdateJob->CheckBootMode(); }

bool TFUpdate::CompareFiles(const std::string& ImagePath, const std::string& ReadBackPath)
{
    return ::CompareAndDeleteReadBack(ImagePath, ReadBackPath);
}

void TFUpdate::T_AutoTimer()
{
    if (FUpdateJob)
        FUpdateJob->T_AutoTimer();
}
