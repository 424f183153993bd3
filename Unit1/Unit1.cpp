#include "Unit1.h"

#include "Designer.h"
#include "FirmwareUpdate.h"
#include "LbButton.h"
#include "PortList.h"
#include "UAbout.h"
#include "arm_ser.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>

#include <array>
#include <iostream>

int32_t PortConnected = 0;
int32_t PortCount = 0;
TFUpdate* FUpdate = nullptr;

std::function<std::vector<std::string>()> SerialPortSource = [] { return ListSerialPorts(); };

namespace {

// The worker opens the port after its 200 ms start pause; the window looks once, after this.
constexpr unsigned InitWaitMs = 700;
constexpr unsigned StopStepMs = 100;

} // namespace

QStringList ListComPorts()
{
    PortCount = 0;
    QStringList Names;
    for (const std::string& Name : SerialPortSource()) {
        Names << QString::fromStdString(Name);
        ++PortCount;
    }
    return Names;
}

QString TFUpdate::CaptionText() { return QStringLiteral("brimtor.example - SW30415 Fiber Optic Converter"); }

TFUpdate::TFUpdate(QWidget* Parent)
    : TForm(Parent)
{
    CreateControls();
    FormCreate();
}

TFUpdate::~TFUpdate()
{
    // A window destroyed without closing still leaves no thread or port behind.
    if (SerWorker)
        StopWorker();
    if (FUpdate == this)
        FUpdate = nullptr;
}

void TFUpdate::FormCreate()
{
    SerWorker = nullptr;
    FWorkerStarted = 0;
    CB_ComPort->addItems(ListComPorts());
    PortConnected = 0;
    SetConnectedButtons(false);
    if (PortCount == 0) {
        CB_ComPort->setEditText(QStringLiteral("----"));
        New->setVisible(false);
    } else {
        CB_ComPort->setEditText(CB_ComPort->itemText(0));
    }
}

void TFUpdate::LbButton3Click()
{
    // The operator's typed or chosen text stays; clear() would take it away with the items.
    const QString Text = CB_ComPort->currentText();
    CB_ComPort->clear();
    CB_ComPort->addItems(ListComPorts());
    CB_ComPort->setEditText(Text);
}

void TFUpdate::Button2Click()
{
    if (PortConnected == 0)
        Connect();
    else
        Disconnect();
}

void TFUpdate::Connect()
{
    // A worker left by a failed attempt goes first; it holds no port, but it is a thread.
    if (SerWorker)
        StopWorker();
    FWorkerStarted = 1;
    auto* Worker = new Tarm_SER(true);
    SerWorker = Worker;
    Worker->SetPortName(CB_ComPort->currentText().toStdString());
    FUpdateJob = std::make_unique<TFirmwareUpdate>(*Worker, UpdateHooks());
    Worker->Resume();
    TThread::Sleep(InitWaitMs);
    if (Worker->LinkOpen()) {
        SetLabelCaption(Label1, QStringLiteral("Initialized"));
        Label1->setToolTip(QString());
        PortConnected = 1;
        New->SetCaption(QStringLiteral("Disconnect"));
        SetConnectedButtons(true);
        LbButton3->setEnabled(false);
    } else {
        SetLabelCaption(Label1, QStringLiteral("Error in init"));
        ReportOpenFailure();
    }
}

// The status line keeps its one text; what the person can do about it goes to the tool tip and to
// standard error.
void TFUpdate::ReportOpenFailure()
{
    const std::string Advice = SerWorker->OpenFailure().Advice;
    Label1->setToolTip(QString::fromStdString(Advice));
    if (!Advice.empty())
        std::cerr << Advice << '\n';
}

void TFUpdate::Disconnect()
{
    FWorkerStarted = 0;
    if (SerWorker)
        StopWorker();
    PortConnected = 0;
    New->SetCaption(QStringLiteral("Connect"));
    SetLabelCaption(Label1, QStringLiteral("----"));
    SetConnectedButtons(false);
    LbButton3->setEnabled(true);
}

void TFUpdate::StopWorker()
{
    Tarm_SER* Worker = SerWorker;
    // The update holds the worker.
    FUpdateJob.reset();
    Worker->CloseLink();
    TThread::Sleep(StopStepMs);
    Worker->Suspend();
    TThread::Sleep(StopStepMs);
    Worker->Terminate();
    TThread::Sleep(StopStepMs);
    // Halted and told to end: joining resumes it only to leave its loop.
    delete Worker;
    SerWorker = nullptr;
}

void TFUpdate::SetConnectedButtons(bool Connected)
{
    LbButton2->setEnabled(Connected);
    btn_Prm_Gen->setEnabled(Connected);
    LbButton1->setEnabled(Connected);
}

void TFUpdate::aboutClick() { FAbout->exec(); }

void TFUpdate::WhileWaiting(const std::function<void()>& Work)
{
    const std::array<TLbButton*, 3> Guarded{LbButton2, New, LbButton3};
    std::array<bool, 3> WasEnabled{};
    for (size_t I = 0; I < Guarded.size(); ++I) {
        WasEnabled[I] = Guarded[I]->isEnabled();
        Guarded[I]->setEnabled(false);
    }
    ++FWaitDepth;
    Work();
    --FWaitDepth;
    for (size_t I = 0; I < Guarded.size(); ++I)
        Guarded[I]->setEnabled(WasEnabled[I]);
    if (FWaitDepth == 0 && FCloseWhenDone) {
        FCloseWhenDone = false;
        close();
    }
}

// The controls stay as they are.
bool TFUpdate::FormCloseQuery()
{
    // The waiting handler still uses the worker; stopping it now would pull it away underneath.
    if (FWaitDepth > 0) {
        FCloseWhenDone = true;
        if (FUpdateJob)
            FUpdateJob->Abandon();
        return false;
    }
    if (SerWorker)
        StopWorker();
    return true;
}

void TFUpdate::closeEvent(QCloseEvent* Event)
{
    if (!FormCloseQuery()) {
        Event->ignore();
        return;
    }
    TForm::closeEvent(Event);
}
