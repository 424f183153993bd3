#include "Designer.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <QScreen>

QFont PixelFont(const QString& Family, int PixelHeight, bool Bold)
{
    QFont Font(Family);
    Font.setPixelSize(PixelHeight);
    Font.setBold(Bold);
    return Font;
}

void SetFormLook(QWidget& Form, TColor Color, const QFont& Font)
{
    QPalette Palette = Form.palette();
    Palette.setColor(QPalette::Window, ToQColor(Color));
    Form.setPalette(Palette);
    Form.setAutoFillBackground(true);
    Form.setFont(Font);
}

QLabel* NewLabel(QWidget* Parent, const char* Name, const QString& Caption, int Left, int Top)
{
    auto* Label = new QLabel(Caption, Parent);
    Label->setObjectName(QString::fromLatin1(Name));
    Label->move(Left, Top);
    Label->adjustSize();
    return Label;
}

void SetLabelCaption(QLabel* Label, const QString& Caption)
{
    if (Label->text() == Caption)
        return;
    Label->setText(Caption);
    Label->adjustSize();
}

void CentreOnScreen(QWidget& Window)
{
    const QScreen* Screen = Window.screen() ? Window.screen() : QGuiApplication::primaryScreen();
    if (!Screen)
        return;
    QRect Frame(QPoint(0, 0), Window.size());
    Frame.moveCenter(Screen->availableGeometry().center());
    Window.move(Frame.topLeft());
}
