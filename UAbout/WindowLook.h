// The face colour and font that the program's windows share.
#pragma once

#include "Designer.h"

inline void SetWindowLook(QWidget& Form) { SetFormLook(Form, RGB(248, 247, 237), PixelFont(QStringLiteral("Verdana"), 11)); }
