#include "Canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr int TextFlagsMask = Qt::AlignHorizontal_Mask | Qt::TextWordWrap;

int TextFlags(int Flags) { return (Flags & TextFlagsMask) | Qt::AlignTop | Qt::TextShowMnemonic; }

// One row of a rounded rectangle. The corner ellipses run through pixel centres and each row is cut
// symmetrically, so both sides are mirror images, which Qt's aliased rounded rectangles are not.
struct TSpan {
    int First = 0;
    int Last = -1;
    bool Contains(int X) const { return X >= First && X <= Last; }
};

std::vector<TSpan> RoundRectSpans(const TRect& R, int EllipseW, int EllipseH)
{
    const double Rx = (std::min(EllipseW, R.Width()) - 1) / 2.0;
    const double Ry = (std::min(EllipseH, R.Height()) - 1) / 2.0;
    std::vector<TSpan> Spans;
    for (int Y = R.Top; Y < R.Bottom; ++Y) {
        const double Dy = std::max({0.0, R.Top + Ry - Y, Y - (R.Bottom - 1 - Ry)});
        double Inset = 0;
        if (Rx > 0 && Ry > 0 && Dy > 0)
            Inset = Rx - Rx * std::sqrt(std::max(0.0, 1 - (Dy / Ry) * (Dy / Ry)));
        const int Cut = static_cast<int>(std::floor(Inset + 0.5));
        Spans.push_back({R.Left + Cut, R.Right - 1 - Cut});
    }
    return Spans;
}

} // namespace

TCanvas::TCanvas(QPainter& Painter)
    : FPainter(Painter)
{
    FPainter.setRenderHint(QPainter::Antialiasing, false);
}

void TCanvas::SetFont(const QFont& Font, TColor Color)
{
    FPainter.setFont(Font);
    FTextColor = Color;
}

void TCanvas::LineTo(int X, int Y)
{
    const QPoint End(X, Y);
    if (FPen != clNone) {
        // Bresenham's walk, stopping one step short of the end point whatever the direction; Qt's
        // flat cap leaves out the end only of lines drawn rightwards or downwards.
        const int Dx = std::abs(X - FPos.x()), Sx = X > FPos.x() ? 1 : -1;
        const int Dy = -std::abs(Y - FPos.y()), Sy = Y > FPos.y() ? 1 : -1;
        QPolygon Points;
        QPoint P = FPos;
        for (int Error = Dx + Dy; P != End;) {
            Points << P;
            const int Twice = 2 * Error;
            if (Twice >= Dy) {
                Error += Dy;
                P.rx() += Sx;
            }
            if (Twice <= Dx) {
                Error += Dx;
                P.ry() += Sy;
            }
        }
        FPainter.setPen(QPen(ToQColor(FPen), 0));
        FPainter.drawPoints(Points);
    }
    FPos = End;
}

void TCanvas::FillRect(const TRect& R)
{
    if (FBrush != clNone && R.Width() > 0 && R.Height() > 0)
        FPainter.fillRect(R.ToQRect(), ToQColor(FBrush));
}

void TCanvas::Rectangle(const TRect& R)
{
    if (R.Width() <= 0 || R.Height() <= 0)
        return;
    if (FPen == clNone) {
        FillRect(R);
        return;
    }
    FillRect({R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1});
    const QColor Pen = ToQColor(FPen);
    FPainter.fillRect(QRect(R.Left, R.Top, R.Width(), 1), Pen);
    FPainter.fillRect(QRect(R.Left, R.Bottom - 1, R.Width(), 1), Pen);
    FPainter.fillRect(QRect(R.Left, R.Top, 1, R.Height()), Pen);
    FPainter.fillRect(QRect(R.Right - 1, R.Top, 1, R.Height()), Pen);
}

void TCanvas::RoundRect(const TRect& R, int EllipseW, int EllipseH)
{
    const std::vector<TSpan> Spans = RoundRectSpans(R, EllipseW, EllipseH);
    if (FBrush != clNone) {
        const QColor Brush = ToQColor(FBrush);
        for (std::size_t Row = 0; Row < Spans.size(); ++Row)
            if (Spans[Row].Last >= Spans[Row].First)
                FPainter.fillRect(QRect(Spans[Row].First, R.Top + static_cast<int>(Row),
                                        Spans[Row].Last - Spans[Row].First + 1, 1),
                                  Brush);
    }
    if (FPen == clNone)
        return;
    // The outline is every pixel of the shape with a neighbour outside it.
    const QColor Pen = ToQColor(FPen);
    for (std::size_t Row = 0; Row < Spans.size(); ++Row) {
        const TSpan& Span = Spans[Row];
        const TSpan Above = Row > 0 ? Spans[Row - 1] : TSpan{};
        const TSpan Below = Row + 1 < Spans.size() ? Spans[Row + 1] : TSpan{};
        for (int X = Span.First; X <= Span.Last; ++X)
            if (X == Span.First || X == Span.Last || !Above.Contains(X) || !Below.Contains(X))
                FPainter.fillRect(QRect(X, R.Top + static_cast<int>(Row), 1, 1), Pen);
    }
}

int TCanvas::TextWidth(const QString& Text) const
{
    return QFontMetrics(FPainter.font()).horizontalAdvance(Text);
}

int TCanvas::TextHeight(const QString&) const { return QFontMetrics(FPainter.font()).height(); }

QSize TCanvas::MeasureText(const QString& Text, int Width, int Flags) const
{
    return QFontMetrics(FPainter.font()).boundingRect(QRect(0, 0, Width, 0), TextFlags(Flags), Text).size();
}

void TCanvas::DrawText(const QString& Text, const TRect& R, int Flags)
{
    if (R.Width() <= 0 || R.Height() <= 0)
        return;
    FPainter.setPen(ToQColor(FTextColor));
    FPainter.drawText(R.ToQRect(), TextFlags(Flags), Text);
}

void TCanvas::DrawFocusRect(const TRect& R)
{
    if (R.Width() <= 0 || R.Height() <= 0)
        return;
    const QPainter::CompositionMode Mode = FPainter.compositionMode();
    FPainter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    auto Dot = [&](int X, int Y) {
        if ((X - R.Left + Y - R.Top) % 2 == 0)
            FPainter.fillRect(QRect(X, Y, 1, 1), Qt::white);
    };
    for (int X = R.Left; X < R.Right; ++X) {
        Dot(X, R.Top);
        if (R.Height() > 1)
            Dot(X, R.Bottom - 1);
    }
    for (int Y = R.Top + 1; Y < R.Bottom - 1; ++Y) {
        Dot(R.Left, Y);
        if (R.Width() > 1)
            Dot(R.Right - 1, Y);
    }
    FPainter.setCompositionMode(Mode);
}

void TCanvas::Draw(int X, int Y, const QImage& Image)
{
    FPainter.drawImage(X, Y, Image);
}

void TCanvas::DrawTransparent(int X, int Y, const QImage& Image, QRgb Key)
{
    QImage Masked = Image.convertToFormat(QImage::Format_ARGB32);
    const QRgb KeyRgb = Key & RGB_MASK;
    for (int Row = 0; Row < Masked.height(); ++Row) {
        auto* Line = reinterpret_cast<QRgb*>(Masked.scanLine(Row));
        for (int Col = 0; Col < Masked.width(); ++Col)
            if ((Line[Col] & RGB_MASK) == KeyRgb)
                Line[Col] = 0;
    }
    FPainter.drawImage(X, Y, Masked);
}
