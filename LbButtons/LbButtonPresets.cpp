// The Kind and ColorStyle presets: tables indexed by the enumerations' ordinals.
#include "LbButton.h"

#include <QPalette>

#include <array>

namespace {

struct TKindPreset {
    const char* Caption;
    const char* Resource;
    int ModalResult;
};

// bkCustom has no row: it changes nothing but Kind.
constexpr std::array<TKindPreset, 10> KindPresets = {{
    {"OK", ":/LBOK", 1},
    {"Abbrechen", ":/LBCANCEL", 2},
    {"Hilfe", ":/LBHELP", 0},
    {"Ja", ":/LBYES", 6},
    {"Nein", ":/LBNO", 7},
    {"Schließen", ":/LBCLOSE", 0},
    {"Abbrechen", ":/LBABORT", 3},
    {"Wiederholen", ":/LBRETRY", 4},
    {"Ignorieren", ":/LBIGNORE", 5},
    {"Alle", ":/LBALL", 8},
}};

struct TColorPreset {
    TColor Color;
    TColor LightColor;
    TColor ShadowColor;
    TColor ColorWhenDown;
    TColor HotTrackColor;
    TLbButtonStyle Style;
    bool Flat;
    TColor FontColor;
};

// lcsCustom has no row: it changes nothing.
constexpr std::array<TColorPreset, 10> ColorPresets = {{
    {0x00C0C0, 0x00FFFF, 0x008080, clNone, 0x00DFDF, bsModern, false, 0x000000},     // lcsGold
    {0xC0C0C0, 0xFFFFFF, 0x808080, clNone, clNone, bsModern, false, 0x000000},       // lcsChrome
    {0xFF8000, 0xFFFF00, 0xFF0000, clNone, clNone, bsModern, false, 0x000000},       // lcsBlue
    {0x0000FF, 0xC0C0FF, 0x0000C0, clNone, clNone, bsModern, false, 0x000000},       // lcsRed
    {clBtnFace, 0xB59284, 0xB59284, 0xB59284, 0xDED3D6, bsNormal, true, 0x000000},  // lcsUltraFlat1
    {clBtnFace, 0x000000, 0x000000, 0x24DABC, 0x8CF6E4, bsNormal, true, 0x000000},  // lcsUltraFlat2
    {0xD1D8DB, 0xB59284, 0xB59285, 0xB59285, 0xD2BDB6, bsNormal, true, 0x000000},   // lcsUltraFlatXP
    {0xECCE94, 0xFCE6D4, 0x000000, clNone, clNone, bsModern, false, 0x000000},       // lcsAqua
    {clBtnFace, 0xFFFFFF, 0x808080, clNone, clNone, bsNormal, false, 0x000000},      // lcsDefault
    {0x603000, 0xC0C0C0, 0xC0C0C0, 0xAD6529, 0xCEAE9C, bsQuicken, false, 0xFFFFFF}, // lcsQuicken
}};

} // namespace

void TLbButton::SetKind(TLbButtonKind Value)
{
    if (Value == FKind)
        return;
    if (Value != bkCustom) {
        const TKindPreset& Preset = KindPresets.at(static_cast<std::size_t>(Value) - 1);
        FNumGlyphs = 2;
        FModalResult = Preset.ModalResult;
        FGlyph = QImage(QString::fromLatin1(Preset.Resource));
        SetCaption(QString::fromUtf8(Preset.Caption));
    }
    FKind = Value;
    update();
}

void TLbButton::SetColorStyle(TLbColorStyle Value)
{
    if (Value == lcsCustom)
        return;
    const TColorPreset& Preset = ColorPresets.at(static_cast<std::size_t>(Value) - 1);
    FColor = Preset.Color;
    FLightColor = Preset.LightColor;
    FShadowColor = Preset.ShadowColor;
    FColorWhenDown = Preset.ColorWhenDown;
    FHotTrackColor = Preset.HotTrackColor;
    FStyle = Preset.Style;
    FFlat = Preset.Flat;
    SetFontColor(Preset.FontColor);
    update();
}
