// Drawing with the toolkit's pixel rules on any QPainter: a line leaves out its end point, a
// rectangle's right and bottom edges are exclusive, "&" in a text underlines the next letter, and
// bitmaps can be drawn with one colour left out.
#pragma once

#include "Colors.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

class QPainter;

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    QRect ToQRect() const { return QRect(Left, Top, Width(), Height()); }
    bool operator==(const TRect&) const = default;
};

class TCanvas {
public:
    explicit TCanvas(QPainter& Painter);

    // clNone switches the pen or the brush off.
    void SetPen(TColor Color) { FPen = Color; }
    void SetBrush(TColor Color) { FBrush = Color; }
    void SetFont(const QFont& Font, TColor Color);

    void MoveTo(int X, int Y) { FPos = QPoint(X, Y); }
    void LineTo(int X, int Y);
    // Brush only.
    void FillRect(const TRect& R);
    // Outline in the pen, inside in the brush.
    void Rectangle(const TRect& R);
    // Corners are quarters of an EllipseW x EllipseH ellipse.
    void RoundRect(const TRect& R, int EllipseW, int EllipseH);

    // Widths count every character as it stands, "&" included.
    int TextWidth(const QString& Text) const;
    int TextHeight(const QString& Text) const;
    // Flags are Qt's alignment and wrapping flags; text starts at the top. Without wrapping the
    // size is that of one line.
    QSize MeasureText(const QString& Text, int Width, int Flags) const;
    // In the font colour, without background, clipped to R.
    void DrawText(const QString& Text, const TRect& R, int Flags);

    // Inverts every other pixel of R's outline, so a second call wipes it again.
    void DrawFocusRect(const TRect& R);

    void Draw(int X, int Y, const QImage& Image);
    // Pixels of the colour Key are left out.
    void DrawTransparent(int X, int Y, const QImage& Image, QRgb Key);

private:
    QPainter& FPainter;
    TColor FPen = clBlack;
    TColor FBrush = clWhite;
    TColor FTextColor = clBlack;
    QPoint FPos;
};
