// Painting: the whole picture is built in an off-screen bitmap and copied in one operation.
#include "LbButton.h"
#include "LbButtonLayout.h"

#include <QPainter>

namespace {

bool IsTransparentStyle(TLbButtonStyle Style) { return Style == bsModern || Style == bsShape || Style == bsQuicken; }

int TextAlignment(TAlignment Alignment)
{
    switch (Alignment) {
    case taLeftJustify:
        return Qt::AlignLeft;
    case taRightJustify:
        return Qt::AlignRight;
    default:
        return Qt::AlignHCenter;
    }
}

// 32 bands from Start to End, the colour of each a 31st closer to End.
void FillGradient(TCanvas& Canvas, TColor Start, TColor End, const TRect& R)
{
    const TColor S = ColorToRGB(Start);
    const TColor E = ColorToRGB(End);
    double Red = GetRValue(S), Green = GetGValue(S), Blue = GetBValue(S);
    const double StepRed = (GetRValue(E) - Red) / 31;
    const double StepGreen = (GetGValue(E) - Green) / 31;
    const double StepBlue = (GetBValue(E) - Blue) / 31;
    for (int I = 0; I < 32; ++I) {
        Canvas.SetBrush(RGB(static_cast<int>(Red), static_cast<int>(Green), static_cast<int>(Blue)));
        Canvas.FillRect(GradientBand(R, I));
        Red += StepRed;
        Green += StepGreen;
        Blue += StepBlue;
    }
}

} // namespace

TColor TLbButton::BlendHotColor() const
{
    const double T = FFadeLevel / 8.0;
    const TColor C = ColorToRGB(FColor);
    const TColor Hot = ColorToRGB(FHotTrackColor);
    auto Mix = [T](int From, int To) { return static_cast<int>(From * (1 - T) + To * T); };
    return RGB(Mix(GetRValue(C), GetRValue(Hot)), Mix(GetGValue(C), GetGValue(Hot)),
               Mix(GetBValue(C), GetBValue(Hot)));
}

void TLbButton::paintEvent(QPaintEvent*)
{
    const int W = width();
    const int H = height();
    QImage Bitmap(W, H, QImage::Format_RGB32);
    Bitmap.fill(ToQColor(clFuchsia));
    {
        QPainter Painter(&Bitmap);
        TCanvas Canvas(Painter);
        const QFont Font = Hot() && FUseHotTrackFont ? FHotTrackFont : font();
        if (FStyle == bsOld && hasFocus()) {
            // The face one pixel smaller on every side, inside a black frame.
            Painter.translate(1, 1);
            Painter.setClipRect(0, 0, W - 2, H - 2);
            DrawButtonFace(Canvas, W - 2, H - 2, Font, FDown ? FShadowColor : FLightColor);
            Painter.resetTransform();
            Painter.setClipping(false);
            Canvas.SetPen(clBlack);
            Canvas.SetBrush(clNone);
            Canvas.Rectangle({0, 0, W, H});
        } else {
            DrawButtonFace(Canvas, W, H, Font, FLightColor);
        }
    }
    QPainter Painter(this);
    TCanvas Canvas(Painter);
    if (IsTransparentStyle(FStyle))
        Canvas.DrawTransparent(0, 0, Bitmap, ToQColor(clFuchsia).rgb());
    else
        Canvas.Draw(0, 0, Bitmap);
    if (hasFocus() && isEnabled() && FStyle != bsShape)
        Canvas.DrawFocusRect({4, 4, W - 4, H - 4});
}

void TLbButton::DrawButtonFace(TCanvas& Canvas, int W, int H, const QFont& Font, TColor Light) const
{
    const bool Down = FDown && isEnabled();
    const int GW = FNumGlyphs != 0 ? FGlyph.width() / FNumGlyphs : 0;
    const TFaceMetrics Metrics{W, H, FStyle, FLayout, FAlignment, FWordWrap, Down, GW, FGlyph.height()};
    const int P = PressOffset(Metrics);
    TColor Face = FColor;
    if (isEnabled() && FHotTrackColor != clNone)
        Face = BlendHotColor();
    if (Down && FColorWhenDown != clNone)
        Face = FColorWhenDown;

    switch (FStyle) {
    case bsShape:
        Canvas.SetBrush(clFuchsia);
        Canvas.FillRect({0, 0, W, H});
        break;
    case bsModern:
        FillGradient(Canvas, Light, Face, {2, 2, W - 2, H / 4 + P});
        FillGradient(Canvas, Face, Light, {2, H / 4 + P, W - 2, H - 1});
        break;
    case bsQuicken:
        break;
    default:
        Canvas.SetBrush(Face);
        Canvas.FillRect({0, 0, W, H});
        break;
    }
    DrawBorder(Canvas, W, H, Face, Light, Down);

    QFont CaptionFont = Font;
    if (FStyle == bsEncarta && Down)
        CaptionFont.setBold(true);
    // Smoothed edges over the key colour would be blends of it and show as a pink fringe.
    if (FStyle == bsShape)
        CaptionFont.setStyleStrategy(QFont::NoAntialias);
    // The font keeps its colour when the button is disabled; Qt's disabled palette would grey it.
    const TColor FontColor = FromQColor(palette().color(QPalette::Active, QPalette::WindowText));
    Canvas.SetFont(CaptionFont, FStyle != bsShape && !isEnabled() ? clGray : FontColor);

    int Cell = 0;
    if (!isEnabled())
        Cell = 1;
    else if (Down && FNumGlyphs > 2)
        Cell = 2;
    else if (Hot() && FNumGlyphs > 3)
        Cell = 3;

    const int Room = CaptionRoom(Metrics);
    const int Flags = (FStyle == bsShape ? Qt::AlignHCenter : TextAlignment(FAlignment)) | Qt::TextWordWrap;
    QString Text = FCaption;
    if (!FWordWrap)
        while (!Text.isEmpty() && Canvas.TextWidth(Text) > Room)
            Text.chop(1);
    const QSize Extent = Canvas.MeasureText(Text, Room, Flags);
    const TFaceLayout Layout = LayOutFace(Metrics, Extent.width(), Extent.height(), Text.isEmpty());
    // bsShape shows its caption over the glyph, the others their glyph over the caption.
    if (FStyle == bsShape)
        DrawGlyphCell(Canvas, Layout.Glyph, Cell);
    Canvas.DrawText(Text, Layout.Caption, Flags);
    if (FStyle != bsShape)
        DrawGlyphCell(Canvas, Layout.Glyph, Cell);

    if (FPopupMenu) {
        const QImage Arrow(QStringLiteral(":/LBARROW"));
        if (!Arrow.isNull())
            Canvas.DrawTransparent(W - 11, H / 2 - 1, Arrow, Arrow.pixel(0, Arrow.height() - 1));
    }
}

// The outermost bevel: left and top edges in TopLeft, then right and bottom edges in BottomRight,
// the bottom line running to EndX.
static void DrawOuterBevel(TCanvas& Canvas, int W, int H, TColor TopLeft, TColor BottomRight, int EndX)
{
    Canvas.SetPen(TopLeft);
    Canvas.MoveTo(0, H - 1);
    Canvas.LineTo(0, 0);
    Canvas.LineTo(W - 1, 0);
    Canvas.SetPen(BottomRight);
    Canvas.LineTo(W - 1, H - 1);
    Canvas.LineTo(EndX, H - 1);
}

void TLbButton::DrawBorder(TCanvas& Canvas, int W, int H, TColor Face, TColor Light, bool Down) const
{
    const bool Bevel = isEnabled() ? !FFlat || Hot() || Down : !FFlat;
    switch (FStyle) {
    case bsNormal:
    case bsEncarta:
        if (!Bevel)
            return;
        DrawOuterBevel(Canvas, W, H, Down ? FShadowColor : Light, Down ? Light : FShadowColor, 0);
        return;
    case bsOld:
        if (!Bevel)
            return;
        Canvas.SetPen(FShadowColor);
        if (Down) {
            Canvas.MoveTo(1, H - 3);
            Canvas.LineTo(1, 1);
            Canvas.LineTo(W - 2, 1);
        } else {
            Canvas.MoveTo(W - 2, 0);
            Canvas.LineTo(W - 2, H - 2);
            Canvas.LineTo(0, H - 2);
        }
        DrawOuterBevel(Canvas, W, H, Down ? cl3DDkShadow : Light, Down ? Light : cl3DDkShadow, -1);
        return;
    case bsModern:
        Canvas.SetBrush(clNone);
        Canvas.SetPen(Down ? FShadowColor : Face);
        Canvas.Rectangle({1, 1, W - 1, H - 1});
        Canvas.SetPen(FShadowColor);
        Canvas.RoundRect({0, 0, W, H}, 6, 6);
        return;
    case bsQuicken:
        Canvas.SetPen(clNone);
        Canvas.SetBrush(Face);
        Canvas.RoundRect({0, 1, W, H}, 4, 4);
        Canvas.SetPen(FShadowColor);
        Canvas.MoveTo(4, 0);
        Canvas.LineTo(W - 5, 0);
        Canvas.MoveTo(4, H - 1);
        Canvas.LineTo(W - 5, H - 1);
        return;
    case bsShape:
        return;
    }
}

void TLbButton::DrawGlyphCell(TCanvas& Canvas, const TRect& Where, int Cell) const
{
    const int GW = Where.Width(), GH = Where.Height();
    if (GW <= 0 || GH <= 0)
        return;
    // Cell 0 stays where the wanted cell lies beyond the strip.
    QImage Scratch = FGlyph.copy(0, 0, GW, GH).convertToFormat(QImage::Format_RGB32);
    {
        QPainter Painter(&Scratch);
        Painter.setCompositionMode(QPainter::CompositionMode_Source);
        Painter.drawImage(-Cell * GW, 0, FGlyph);
    }
    Canvas.DrawTransparent(Where.Left, Where.Top, Scratch, Scratch.pixel(0, GH - 1));
}
