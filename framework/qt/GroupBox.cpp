#include "GroupBox.h"

#include <QPainter>

QRect TGroupBox::CaptionRect() const
{
    const QFontMetrics Metrics(font());
    return {8, 0, Metrics.horizontalAdvance(title()), Metrics.height()};
}

void TGroupBox::paintEvent(QPaintEvent*)
{
    QPainter Painter(this);
    const QRect Caption = CaptionRect();
    const QRect Frame = rect().adjusted(0, Caption.height() / 2, -2, -2);
    // Etched: a shadow line with a light line one pixel below and to the right.
    Painter.setPen(palette().color(QPalette::Light));
    Painter.drawRect(Frame.translated(1, 1));
    Painter.setPen(palette().color(QPalette::Mid));
    Painter.drawRect(Frame);
    if (title().isEmpty())
        return;
    Painter.fillRect(Caption, palette().color(QPalette::Window));
    Painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    Painter.drawText(Caption, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, title());
}
