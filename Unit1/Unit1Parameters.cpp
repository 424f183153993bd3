// The port settings, protection word and MAC address groups. Each handler hands one block to the
// worker through the parameter jobs; a write returns at once and shows nothing, a read waits with
// the window's messages flowing and shows what it read.
#include "Unit1.h"

#include "Designer.h"
#include "NumberParse.h"
#include "ParamJobs.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>

namespace {

void PumpMessages() { QCoreApplication::processEvents(); }

std::string TextOf(const QLineEdit* Edit) { return Edit->text().toStdString(); }

uint8_t CodeOf(const QComboBox* List) { return static_cast<uint8_t>(List->currentIndex()); }

void ShowRead(QLabel* Label, const std::optional<TReadText>& Read)
{
    if (Read)
        SetLabelCaption(Label, QString::fromStdString(Read->Text));
}

} // namespace

Tarm_SER* TFUpdate::StartedWorker() const { return FWorkerStarted ? SerWorker : nullptr; }

void TFUpdate::Button5Click()
{
    Tarm_SER* Worker = StartedWorker();
    if (!Worker)
        return;
    std::optional<TSettingsText> Read;
    WhileWaiting([&] { Read = ReadSettings(*Worker, PumpMessages); });
    if (!Read)
        return;
    QLabel* const Labels[] = {Label15, Label16, Label18, Label20};
    for (size_t I = 0; I < Read->Texts.size(); ++I)
        SetLabelCaption(Labels[I], QString::fromStdString(Read->Texts[I]));
}

void TFUpdate::Button4Click()
{
    if (Tarm_SER* Worker = StartedWorker())
        WriteSettings(*Worker, {CodeOf(CB_Baud_Ser), CodeOf(CB_Par_Ser), CodeOf(CB_Baud_MBus), CodeOf(CB_Par_MBus)});
}

void TFUpdate::Button12Click()
{
    Tarm_SER* Worker = StartedWorker();
    if (!Worker)
        return;
    std::optional<TReadText> Read;
    WhileWaiting([&] { Read = ReadProtection(*Worker, PumpMessages); });
    ShowRead(Label7, Read);
}

void TFUpdate::Button14Click()
{
    Tarm_SER* Worker = StartedWorker();
    if (!Worker)
        return;
    if (const auto Word = ParseInt32(TextOf(Edit1)))
        WriteProtection(*Worker, static_cast<uint32_t>(*Word));
}

void TFUpdate::Button15Click()
{
    Tarm_SER* Worker = StartedWorker();
    if (!Worker)
        return;
    std::optional<TReadText> Read;
    WhileWaiting([&] { Read = ReadMacAddress(*Worker, PumpMessages); });
    ShowRead(Label9, Read);
}

void TFUpdate::Button1Click()
{
    Tarm_SER* Worker = StartedWorker();
    if (!Worker)
        return;
    if (const auto Mac = ParseInt64(TextOf(Edit2)))
        WriteMacAddress(*Worker, static_cast<uint64_t>(*Mac));
}

void TFUpdate::Button3Click()
{
    Tarm_SER* Worker = StartedWorker();
    if (!Worker)
        return;
    const auto Word = ParseInt32(TextOf(Edit1));
    if (!Word)
        return;
    if (const auto Mac = ParseInt64(TextOf(Edit2)))
        WriteAll(*Worker, static_cast<uint32_t>(*Word), static_cast<uint64_t>(*Mac));
}
