#include "DtcCheckLayout.h"

#include <algorithm>

TCheckLayout CheckLayout(int Width, int Height, TAlignment Alignment, int TextWidth, int TextHeight,
                         int AmpersandWidth)
{
    // taCenter places like taLeftJustify: only taRightJustify puts the box first.
    const bool BoxFirst = Alignment == taRightJustify;
    TCheckLayout Layout;
    Layout.BoxRight = BoxFirst ? 12 : Width - 1;
    Layout.BoxLeft = BoxFirst ? 0 : Width - 13;
    Layout.BoxTop = (Height - 11) / 2 - 1;

    // A caption beside a box at the right keeps clear of it.
    const int XO = BoxFirst ? Layout.BoxRight + 5 : 1;
    const int YO = (Height - TextHeight) / 2;
    Layout.Caption = {XO, YO, (BoxFirst ? Width : Width - 15) + XO, Height + YO};

    int FrameWidth = TextWidth - AmpersandWidth + 3;
    if (!BoxFirst)
        FrameWidth = std::min(FrameWidth, Width - 15);
    Layout.FocusFrame = {XO - 1, YO, XO - 1 + FrameWidth, YO + TextHeight + 1};
    return Layout;
}
