// Painting: the whole picture is built in an off-screen bitmap and copied in one operation.
#include "LbButton.h"

#include <QPainter>

#include <algorithm>

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

// 32 bands from Start to End, each a little higher than 1/31 of the rectangle so that no row is left.
void FillGradient(TCanvas& Canvas, TColor Start, TColor End, const TRect& R)
{
    const TColor S = ColorToRGB(Start);
    const TColor E = ColorToRGB(End);
    const int Height = R.Height();
    const int Band = Height / 31 + 1;
    double Red = GetRValue(S), Green = GetGValue(S), Blue = GetBValue(S);
    const double StepRed = (GetRValue(E) - Red) / 31;
    const double StepGreen = (GetGValue(E) - Green) / 31;
    const double StepBlue = (GetBValue(E) - Blue) / 31;
    for (int I = 0; I < 32; ++I) {
        const int Top = R.Top + I * Height / 31;
        Canvas.SetBrush(RGB(static_cast<int>(Red), static_cast<int>(Green), static_cast<int>(Blue)));
        Canvas.FillRect({R.Left, Top, R.Right, std::min(R.Bottom, Top + Band)});
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
    // bsEncarta shows a press in bold type instead of moving the caption.
    const int P = Down && FStyle != bsEncarta ? 1 : 0;
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

    const int GW = FNumGlyphs != 0 ? FGlyph.width() / FNumGlyphs : 0;
    const int GH = FGlyph.height();
    int Cell = 0;
    if (!isEnabled())
        Cell = 1;
    else if (Down && FNumGlyphs > 2)
        Cell = 2;
    else if (Hot() && FNumGlyphs > 3)
        Cell = 3;

    const int Flags = TextAlignment(FAlignment) | Qt::TextWordWrap;
    const bool GlyphBeside = FLayout == blGlyphLeft || FLayout == blGlyphRight;
    int A = W - 8;
    if (GlyphBeside && GW > 0 && FStyle != bsShape)
        A -= GW + 4;
    A = std::max(A, 0);
    QString Text = FCaption;
    if (!FWordWrap)
        while (!Text.isEmpty() && Canvas.TextWidth(Text) > A)
            Text.chop(1);
    const QSize Extent = Canvas.MeasureText(Text, A, Flags);
    const int T = Extent.height();
    const int TW = Extent.width();

    if (FStyle == bsShape) {
        DrawGlyphCell(Canvas, (W - GW) / 2, (H - GH) / 2, GW, GH, Cell);
        Canvas.DrawText(Text, {P, (H - T) / 2 + P, W, H}, Qt::AlignHCenter | Qt::TextWordWrap);
    } else {
        int X = P + 4, Y = 0, GX = 0, GY = 0;
        if (GlyphBeside) {
            Y = (H - T) / 2 + P;
            GY = (H - GH) / 2 + P;
            const int D = Text.isEmpty() ? 0 : TW + 4;
            if (FLayout == blGlyphLeft) {
                if (GW > 0)
                    X += GW + 4;
                GX = P + 4;
                if (!FWordWrap && FAlignment == taRightJustify)
                    GX = W - 4 - GW - D + P;
                else if (!FWordWrap && FAlignment == taCenter)
                    GX = (W - GW) / 2 + P - D / 2;
            } else {
                GX = P + 4 + D;
                if (!FWordWrap && FAlignment == taRightJustify)
                    GX = W - 4 - GW + P;
                else if (!FWordWrap && FAlignment == taCenter)
                    GX = (W - GW) / 2 + P + D / 2;
            }
        } else {
            // The gap counted in the block stays below it rather than between glyph and caption.
            const int B = T + (GH > 0 ? GH + 4 : 0);
            GX = FAlignment == taLeftJustify ? P + 4
                : FAlignment == taRightJustify ? W - GW - 4 + P
                                               : (W - GW) / 2 + P;
            if (FLayout == blGlyphTop) {
                GY = (H - B) / 2 + P;
                Y = GY + GH;
            } else {
                Y = (H - B) / 2 + P;
                GY = Y + T;
            }
        }
        Canvas.DrawText(Text, {X, Y, X + A, Y + T}, Flags);
        DrawGlyphCell(Canvas, GX, GY, GW, GH, Cell);
    }

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

void TLbButton::DrawGlyphCell(TCanvas& Canvas, int X, int Y, int GW, int GH, int Cell) const
{
    if (GW <= 0 || GH <= 0)
        return;
    // Cell 0 stays where the wanted cell lies beyond the strip.
    QImage Scratch = FGlyph.copy(0, 0, GW, GH).convertToFormat(QImage::Format_RGB32);
    {
        QPainter Painter(&Scratch);
        Painter.setCompositionMode(QPainter::CompositionMode_Source);
        Painter.drawImage(-Cell * GW, 0, FGlyph);
    }
    Canvas.DrawTransparent(X, Y, Scratch, Scratch.pixel(0, GH - 1));
}
