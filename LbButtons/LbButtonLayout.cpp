#include "LbButtonLayout.h"

#include <algorithm>

namespace {

bool GlyphBeside(const TFaceMetrics& Face) { return Face.Layout == blGlyphLeft || Face.Layout == blGlyphRight; }

TRect GlyphAt(const TFaceMetrics& Face, int X, int Y) { return {X, Y, X + Face.GlyphWidth, Y + Face.GlyphHeight}; }

} // namespace

int PressOffset(const TFaceMetrics& Face) { return Face.Down && Face.Style != bsEncarta ? 1 : 0; }

int CaptionRoom(const TFaceMetrics& Face)
{
    int Room = Face.Width - 8;
    // bsShape centres the glyph behind the caption, so the caption keeps the whole width.
    if (GlyphBeside(Face) && Face.GlyphWidth > 0 && Face.Style != bsShape)
        Room -= Face.GlyphWidth + 4;
    return std::max(Room, 0);
}

TFaceLayout LayOutFace(const TFaceMetrics& Face, int TextWidth, int TextHeight, bool CaptionEmpty)
{
    // Every division truncates towards zero, as C++'s does.
    const int W = Face.Width, H = Face.Height, GW = Face.GlyphWidth, GH = Face.GlyphHeight;
    const int P = PressOffset(Face);
    if (Face.Style == bsShape) {
        // Only the caption moves when pressed.
        return {{P, (H - TextHeight) / 2 + P, W, H}, GlyphAt(Face, (W - GW) / 2, (H - GH) / 2)};
    }

    int X = P + 4, Y = 0, GX = 0, GY = 0;
    if (GlyphBeside(Face)) {
        Y = (H - TextHeight) / 2 + P;
        GY = (H - GH) / 2 + P;
        // The glyph keeps this distance from the caption's text, wherever the alignment puts it;
        // a wrapped caption leaves the glyph at the edge.
        const int D = CaptionEmpty ? 0 : TextWidth + 4;
        if (Face.Layout == blGlyphLeft) {
            if (GW > 0)
                X += GW + 4;
            GX = P + 4;
            if (!Face.WordWrap && Face.Alignment == taRightJustify)
                GX = W - 4 - GW - D + P;
            else if (!Face.WordWrap && Face.Alignment == taCenter)
                GX = (W - GW) / 2 + P - D / 2;
        } else {
            GX = P + 4 + D;
            if (!Face.WordWrap && Face.Alignment == taRightJustify)
                GX = W - 4 - GW + P;
            else if (!Face.WordWrap && Face.Alignment == taCenter)
                GX = (W - GW) / 2 + P + D / 2;
        }
    } else {
        // The gap counted in the block stays below it rather than between glyph and caption.
        const int B = TextHeight + (GH > 0 ? GH + 4 : 0);
        GX = Face.Alignment == taLeftJustify ? P + 4
            : Face.Alignment == taRightJustify ? W - GW - 4 + P
                                               : (W - GW) / 2 + P;
        if (Face.Layout == blGlyphTop) {
            GY = (H - B) / 2 + P;
            Y = GY + GH;
        } else {
            Y = (H - B) / 2 + P;
            GY = Y + TextHeight;
        }
    }
    return {{X, Y, X + CaptionRoom(Face), Y + TextHeight}, GlyphAt(Face, GX, GY)};
}

TRect GradientBand(const TRect& Area, int Index)
{
    // Each band a little higher than 1/31 of the area, so that no row is left out.
    const int Height = Area.Height();
    const int Top = Area.Top + Index * Height / 31;
    return {Area.Left, Top, Area.Right, std::min(Area.Bottom, Top + Height / 31 + 1)};
}
