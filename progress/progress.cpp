#include "progress.h"

#include "Designer.h"
#include "arm_ser.h"

#include <QCloseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTimer>


TFprogress* Fprogress = nullptr;

namespace {

constexpr int CancelResult = 2;

} // namespace

TFprogress::TFprogress(QWidget* Parent)
    : TForm(Parent)
{
    setWindowTitle(QStringLiteral("Progress"));
    // The client area of a 347 x 136 window with a dialog frame and caption.
    setFixedSize(339, 109);
    setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11));
    CentreOnScreen(*this);

    ProgressBar1 = Place(new QProgressBar(this), "ProgressBar1", 32, 24, 265, 25);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);

    BitBtn1 = Place(new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Cancel"), this),
                    "BitBtn1", 128, 72, 75, 25);
    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        BitBtn1Click();
        SetModalResult(CancelResult);
    });

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
}

void TFprogress::Timer1Timer()
{
    const Tarm_SER* Worker = SerWorker;
    // Without a worker there is no run to follow.
    if (!Worker) {
        Timer1->stop();
        close();
        return;
    }
    ProgressBar1->setValue(Worker->Progress().Share());
    if (Worker->Idle()) {
        Timer1->stop();
        close();
    }
}

// The worker ends the run at its next pass; the next tick then closes the window.
void TFprogress::BitBtn1Click()
{
    if (SerWorker)
        SerWorker->Abandon();
}

// A closed window stops following the worker.
void TFprogress::FormClose() { Timer1->stop(); }

void TFprogress::closeEvent(QCloseEvent* Event)
{
    FormClose();
    TForm::closeEvent(Event);
}
