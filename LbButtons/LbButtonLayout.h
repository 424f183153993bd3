// Where the flat button's face puts its caption, its glyph cell and its gradient bands: arithmetic
// on sizes alone, so that it can be checked apart from the drawing.
#pragma once

#include "Canvas.h"
#include "ControlTypes.h"
#include "LbButtons.h"

struct TFaceMetrics {
    int Width = 0;
    int Height = 0;
    TLbButtonStyle Style = bsNormal;
    TLbButtonLayout Layout = blGlyphLeft;
    TAlignment Alignment = taCenter;
    bool WordWrap = false;
    bool Down = false; // pressed while enabled
    int GlyphWidth = 0; // of one cell; 0 without a glyph
    int GlyphHeight = 0;
};

// How far a press moves the picture right and down: 1, except in bsEncarta, which shows a press in
// bold type instead.
int PressOffset(const TFaceMetrics& Face);

// The width the caption may take; a wider one is cut.
int CaptionRoom(const TFaceMetrics& Face);

struct TFaceLayout {
    // Drawn in Caption as Alignment says (bsShape: centred); Glyph holds the glyph cell.
    TRect Caption;
    TRect Glyph;
};

// TextWidth and TextHeight: the extent of the caption as cut to CaptionRoom, wrapped within it;
// CaptionEmpty when nothing of it is left.
TFaceLayout LayOutFace(const TFaceMetrics& Face, int TextWidth, int TextHeight, bool CaptionEmpty);

// Band Index (0 to 31) of the 32 bands of a gradient over Area.
TRect GradientBand(const TRect& Area, int Index);
