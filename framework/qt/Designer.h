// Small helpers for building a window as its designer laid it out: controls by name at fixed
// places, the window's colour and font, centred on the screen.
#pragma once

#include "Colors.h"

#include <QFont>
#include <QString>
#include <QWidget>

class QLabel;

// A font whose height is given in pixels, as the windows' definitions give it.
QFont PixelFont(const QString& Family, int PixelHeight, bool Bold = false);

// Background colour and font of a window; its controls take both over unless they set their own.
void SetFormLook(QWidget& Form, TColor Color, const QFont& Font);

// Places Control at Left, Top with the size Width x Height and gives it its designer name.
template <class TControl>
TControl* Place(TControl* Control, const char* Name, int Left, int Top, int Width, int Height);

// A label that sizes itself to its caption (transparent, as all labels here are).
QLabel* NewLabel(QWidget* Parent, const char* Name, const QString& Caption, int Left, int Top);

// Sets a label's caption and sizes it again to fit.
void SetLabelCaption(QLabel* Label, const QString& Caption);

// Moves a top-level window to the middle of its screen.
void CentreOnScreen(QWidget& Window);

template <class TControl>
TControl* Place(TControl* Control, const char* Name, int Left, int Top, int Width, int Height)
{
    Control->setObjectName(QString::fromLatin1(Name));
    Control->setGeometry(Left, Top, Width, Height);
    return Control;
}
