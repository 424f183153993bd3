// Helpers for widget tests on the offscreen platform.
#pragma once

#include "Canvas.h"
#include "Colors.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QImage>
#include <QPalette>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <ostream>
#include <thread>

// Readable values in failure messages.
inline void PrintTo(const QString& Text, std::ostream* Out) { *Out << '"' << Text.toStdString() << '"'; }
inline void PrintTo(const TRect& R, std::ostream* Out)
{
    *Out << '(' << R.Left << ", " << R.Top << ")-(" << R.Right << ", " << R.Bottom << ')';
}

// Gives Window a plain background of Color, for reading the pixels a control leaves alone.
inline void PaintBackground(QWidget& Window, TColor Color)
{
    QPalette Palette = Window.palette();
    Palette.setColor(QPalette::Window, ToQColor(Color));
    Window.setPalette(Palette);
    Window.setAutoFillBackground(true);
}

// Shows Window and waits until it is active, so that focus and accelerators work.
inline void ShowActive(QWidget& Window)
{
    Window.show();
    Window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window, 5000));
}

// What Widget shows on screen, its parent's background included.
inline QImage Snapshot(QWidget& Widget)
{
    QWidget& Window = *Widget.window();
    const QImage Image = Window.grab().toImage();
    return Image.copy(QRect(Widget.mapTo(&Window, QPoint(0, 0)), Widget.size()));
}

inline TColor PixelAt(const QImage& Image, int X, int Y) { return FromQColor(Image.pixelColor(X, Y)); }

// Serves Qt's events until Condition holds; false when it still fails after ten seconds.
template <class TCondition>
bool WaitUntil(TCondition Condition)
{
    const auto End = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!Condition()) {
        if (std::chrono::steady_clock::now() > End)
            return false;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// The pointer entering or leaving Widget, as the window system reports it.
inline void PointerEnters(QWidget& Widget)
{
    QEnterEvent Enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(&Widget, &Enter);
}

inline void PointerLeaves(QWidget& Widget)
{
    QEvent Leave(QEvent::Leave);
    QCoreApplication::sendEvent(&Widget, &Leave);
}

// The smallest rectangle around the dark (text) pixels of Image, inside a Margin; null when none.
inline QRect DarkPixels(const QImage& Image, int Margin = 1)
{
    QRect Box;
    for (int Y = Margin; Y < Image.height() - Margin; ++Y)
        for (int X = Margin; X < Image.width() - Margin; ++X)
            if (qGray(Image.pixel(X, Y)) < 100)
                Box = Box.united(QRect(X, Y, 1, 1));
    return Box;
}

inline int DarkPixelCount(const QImage& Image, int Margin)
{
    int Count = 0;
    for (int Y = Margin; Y < Image.height() - Margin; ++Y)
        for (int X = Margin; X < Image.width() - Margin; ++X)
            Count += qGray(Image.pixel(X, Y)) < 100 ? 1 : 0;
    return Count;
}
