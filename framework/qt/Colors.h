// The toolkit's colour value: red in bits 0-7, green in 8-15, blue in 16-23. A top byte of 0xFF marks
// a system colour whose low byte is the system colour index.
#pragma once

#include <QColor>

#include <cstdint>

using TColor = std::uint32_t;

inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clWhite = 0xFFFFFF;

inline constexpr TColor clWindow = 0xFF000005;
inline constexpr TColor clBtnFace = 0xFF00000F;
inline constexpr TColor clBtnShadow = 0xFF000010;
inline constexpr TColor clBtnHighlight = 0xFF000014;
inline constexpr TColor cl3DDkShadow = 0xFF000015;

constexpr TColor RGB(int Red, int Green, int Blue)
{
    return static_cast<TColor>((Red & 0xFF) | (Green & 0xFF) << 8 | (Blue & 0xFF) << 16);
}
constexpr int GetRValue(TColor Color) { return static_cast<int>(Color & 0xFF); }
constexpr int GetGValue(TColor Color) { return static_cast<int>(Color >> 8 & 0xFF); }
constexpr int GetBValue(TColor Color) { return static_cast<int>(Color >> 16 & 0xFF); }

// Plain red/green/blue. System colours come from one fixed table, so that every machine draws the
// same pixels whatever its desktop theme.
TColor ColorToRGB(TColor Color);

QColor ToQColor(TColor Color);
TColor FromQColor(const QColor& Color);
