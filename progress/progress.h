// The progress window: a bar that follows the worker's run and a Cancel button that abandons it.
// The window closes itself on the first tick at which the worker is idle.
#pragma once

#include "Form.h"

class QCloseEvent;
class QProgressBar;
class QPushButton;
class QTimer;

class TFprogress : public TForm {
public:
    explicit TFprogress(QWidget* Parent = nullptr);

    QProgressBar* ProgressBar1;
    QPushButton* BitBtn1;
    QTimer* Timer1;

    void Timer1Timer();
    void BitBtn1Click();
    void FormClose();

protected:
    void closeEvent(QCloseEvent* Event) override;
};

extern TFprogress* Fprogress;
