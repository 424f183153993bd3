// Where the check box puts its box, its caption and its focus frame: arithmetic on sizes alone, so
// that it can be checked apart from the drawing.
#pragma once

#include "Canvas.h"
#include "ControlTypes.h"

struct TCheckLayout {
    // The box covers columns BoxLeft..BoxRight and rows BoxTop..BoxTop + 12.
    int BoxLeft = 0;
    int BoxRight = 0;
    int BoxTop = 0;
    // The caption starts at the top-left corner and is clipped to the rectangle.
    TRect Caption;
    TRect FocusFrame;
};

// Width and Height are the control's; TextWidth and TextHeight the caption's as it stands ("&"
// counted); AmpersandWidth the width of one "&" when the caption holds any, else 0.
TCheckLayout CheckLayout(int Width, int Height, TAlignment Alignment, int TextWidth, int TextHeight,
                         int AmpersandWidth);
