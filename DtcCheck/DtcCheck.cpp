#include "DtcCheck.h"

#include "Accelerator.h"
#include "Canvas.h"
#include "DtcCheckLayout.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

TDtcCheck::TDtcCheck(QWidget* Parent)
    : QWidget(Parent)
{
    setFocusPolicy(Qt::StrongFocus);
    // The box takes its parent's colour, cleared before each paint.
    setAutoFillBackground(true);
    resize(sizeHint());
}

void TDtcCheck::SetGrayChecked(bool Value)
{
    if (SetAndRepaint(*this, FGrayChecked, Value))
        emit OnClick(this);
}

void TDtcCheck::SetChecked(bool Value)
{
    if (Value != Checked())
        SetState(Value ? cbChecked : cbUnchecked);
}

void TDtcCheck::SetState(TCheckBoxState Value)
{
    if (SetAndRepaint(*this, FState, Value))
        emit OnClick(this);
}

void TDtcCheck::SetCaption(const QString& Value)
{
    if (SetAndRepaint(*this, FCaption, Value))
        FShortcutId = UpdateAccelerator(*this, FShortcutId, FCaption);
}

void TDtcCheck::Toggle()
{
    switch (FState) {
    case cbUnchecked:
        SetState(FAllowGrayed ? cbGrayed : cbChecked);
        break;
    case cbChecked:
        SetState(cbUnchecked);
        break;
    case cbGrayed:
        SetState(cbChecked);
        break;
    }
}

bool TDtcCheck::event(QEvent* Event)
{
    if (Event->type() == QEvent::Shortcut) {
        setFocus(Qt::ShortcutFocusReason);
        if (hasFocus())
            Toggle();
        return true;
    }
    return QWidget::event(Event);
}

void TDtcCheck::focusInEvent(QFocusEvent* Event)
{
    QWidget::focusInEvent(Event);
    update();
}

void TDtcCheck::focusOutEvent(QFocusEvent* Event)
{
    QWidget::focusOutEvent(Event);
    update();
}

void TDtcCheck::keyReleaseEvent(QKeyEvent* Event)
{
    QWidget::keyReleaseEvent(Event);
    if (Event->key() == Qt::Key_Space && !Event->isAutoRepeat())
        Toggle();
}

void TDtcCheck::mousePressEvent(QMouseEvent*)
{
    // Qt grabs the mouse for the widget until the last button is released.
    setFocus(Qt::MouseFocusReason);
}

void TDtcCheck::mouseReleaseEvent(QMouseEvent* Event)
{
    // Both bounds are inclusive: a release one pixel beyond the right or bottom edge still toggles.
    const QPoint Pos = Event->position().toPoint();
    if (Pos.x() >= 0 && Pos.x() <= width() && Pos.y() >= 0 && Pos.y() <= height())
        Toggle();
}

void TDtcCheck::changeEvent(QEvent* Event)
{
    QWidget::changeEvent(Event);
    if (Event->type() == QEvent::EnabledChange || Event->type() == QEvent::FontChange)
        update();
}

void TDtcCheck::paintEvent(QPaintEvent*)
{
    const bool Enabled = isEnabled();
    QPainter Painter(this);
    TCanvas Canvas(Painter);
    Canvas.SetFont(font(), FromQColor(palette().color(QPalette::Active, QPalette::WindowText)));
    const int AmpersandWidth = FCaption.contains(QLatin1Char('&')) ? Canvas.TextWidth(QStringLiteral("&")) : 0;
    const TCheckLayout Layout = CheckLayout(width(), height(), FAlignment, Canvas.TextWidth(FCaption),
                                            Canvas.TextHeight(FCaption), AmpersandWidth);
    const int L = Layout.BoxLeft, R = Layout.BoxRight, T = Layout.BoxTop;

    Canvas.SetPen(clBtnShadow);
    Canvas.MoveTo(L, T + 12);
    Canvas.LineTo(L, T);
    Canvas.LineTo(R, T);
    Canvas.SetPen(clBtnHighlight);
    Canvas.LineTo(R, T + 12);
    Canvas.LineTo(L - 1, T + 12);
    Canvas.SetPen(cl3DDkShadow);
    Canvas.MoveTo(L + 1, T + 11);
    Canvas.LineTo(L + 1, T + 1);
    Canvas.LineTo(R - 1, T + 1);
    Canvas.SetPen(clBtnFace);
    Canvas.LineTo(R - 1, T + 11);
    Canvas.LineTo(L, T + 11);

    const TRect& TextRect = Layout.Caption;
    if (Enabled) {
        Canvas.DrawText(FCaption, TextRect, Qt::AlignLeft);
    } else {
        Canvas.SetFont(font(), clBtnHighlight);
        Canvas.DrawText(FCaption, {TextRect.Left + 1, TextRect.Top + 1, TextRect.Right + 1, TextRect.Bottom + 1},
                        Qt::AlignLeft);
        Canvas.SetFont(font(), clBtnShadow);
        Canvas.DrawText(FCaption, TextRect, Qt::AlignLeft);
    }

    Canvas.SetBrush(Enabled && FState != cbGrayed ? clWindow : clBtnFace);
    Canvas.FillRect({L + 2, T + 2, R - 1, T + 11});

    if (Enabled && FState == cbGrayed) {
        // Lights the interior pixels whose offsets have an odd sum: a checkerboard over the face colour.
        Canvas.SetPen(clBtnHighlight);
        for (int I = 1; I <= 4; ++I) {
            Canvas.MoveTo(L + 2 * I + 1, T + 2);
            Canvas.LineTo(R - 1, T + 12 - 2 * I);
            Canvas.MoveTo(L + 2, T + 2 * I + 1);
            Canvas.LineTo(R - 2 * I, T + 11);
        }
    }
    if (FState == cbChecked || (FState == cbGrayed && FGrayChecked)) {
        Canvas.SetPen(Enabled && FState != cbGrayed ? clBlack : clBtnShadow);
        DrawCheckMark(Canvas, L, T);
    }

    // Wipes a focus rectangle left from an earlier paint.
    Canvas.SetPen(FromQColor(palette().color(backgroundRole())));
    Canvas.SetBrush(clNone);
    Canvas.Rectangle(Layout.FocusFrame);
    if (hasFocus())
        Canvas.DrawFocusRect(Layout.FocusFrame);
}

void TDtcCheck::DrawCheckMark(TCanvas& Canvas, int L, int T) const
{
    // Three one-pixel ticks on top of each other.
    for (int I = 0; I < 3; ++I) {
        Canvas.MoveTo(L + 3, T + 5 + I);
        Canvas.LineTo(L + 5, T + 7 + I);
        Canvas.LineTo(L + 10, T + 2 + I);
    }
}
