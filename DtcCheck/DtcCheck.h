// The three-state check box in the classic sunken 13 x 13 box, drawn in the system colours. A click,
// Space or the caption's "&" letter advances the state; every change of state raises OnClick.
#pragma once

#include "ControlProperty.h"
#include "ControlTypes.h"

#include <QString>
#include <QWidget>

class TCanvas;

class TDtcCheck : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool AllowGrayed READ AllowGrayed WRITE SetAllowGrayed)
    Q_PROPERTY(bool GrayChecked READ GrayChecked WRITE SetGrayChecked)
    Q_PROPERTY(TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
    Q_PROPERTY(TCheckBoxState State READ State WRITE SetState)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

public:
    explicit TDtcCheck(QWidget* Parent = nullptr);

    QSize sizeHint() const override { return QSize(81, 17); }

    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
    bool GrayChecked() const { return FGrayChecked; }
    void SetGrayChecked(bool Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value) { SetAndRepaint(*this, FAlignment, Value); }
    bool Checked() const { return FState == cbGrayed ? FGrayChecked : FState == cbChecked; }
    void SetChecked(bool Value);
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState Value);
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& Value);

    // Advances the state: unchecked, (grayed,) checked, unchecked.
    void Toggle();

signals:
    void OnClick(QObject* Sender);

protected:
    bool event(QEvent* Event) override;
    void paintEvent(QPaintEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    void keyReleaseEvent(QKeyEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void changeEvent(QEvent* Event) override;

private:
    void DrawCheckMark(TCanvas& Canvas, int L, int T) const;

    bool FAllowGrayed = false;
    bool FGrayChecked = true;
    TAlignment FAlignment = taRightJustify;
    TCheckBoxState FState = cbUnchecked;
    QString FCaption;
    int FShortcutId = 0;
};
