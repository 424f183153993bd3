#include "Gallery.h"

#include "DtcCheck.h"
#include "LbButton.h"

#include <QApplication>
#include <QEnterEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

#include <array>

namespace {

const std::array<const char*, 6> StyleNames = {"bsNormal", "bsEncarta", "bsModern", "bsOld", "bsShape", "bsQuicken"};
const std::array<const char*, 7> StateNames = {"normal", "hot", "down", "disabled", "flat", "glyph + menu", "focused"};
// Object names of the style buttons: the style and one of these.
const std::array<const char*, 7> StateKeys = {"Normal", "Hot", "Down", "Disabled", "Flat", "GlyphMenu", "Focused"};

void MakeHot(TLbButton* Button)
{
    QEnterEvent Enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(Button, &Enter);
}

void MakeDown(TLbButton* Button)
{
    QMouseEvent Press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(Button, &Press);
}

} // namespace

TGallery::TGallery()
{
    setWindowTitle("Flat buttons and check boxes");
    QPalette Palette = palette();
    Palette.setColor(QPalette::Window, ToQColor(RGB(248, 247, 237)));
    setPalette(Palette);
    auto* Grid = new QGridLayout(this);
    for (int Col = 0; Col < static_cast<int>(StateNames.size()); ++Col)
        Grid->addWidget(new QLabel(StateNames[Col], this), 0, Col + 1);
    for (int Row = 0; Row < static_cast<int>(StyleNames.size()); ++Row) {
        Grid->addWidget(new QLabel(StyleNames[Row], this), Row + 1, 0);
        for (int Col = 0; Col < static_cast<int>(StateNames.size()); ++Col)
            Grid->addWidget(StyleButton(static_cast<TLbButtonStyle>(Row), Col), Row + 1, Col + 1);
    }
    int Row = static_cast<int>(StyleNames.size()) + 1;
    Grid->addWidget(new QLabel("Kind", this), Row, 0);
    for (int Kind = bkOK; Kind <= bkAll; ++Kind) {
        auto* Button = new TLbButton(this);
        Button->setFixedSize(Button->sizeHint());
        Button->SetKind(static_cast<TLbButtonKind>(Kind));
        Button->setEnabled(Kind != bkAll);
        Grid->addWidget(Button, Row + (Kind - 1) / 7, 1 + (Kind - 1) % 7);
    }
    Row += 2;
    Grid->addWidget(new QLabel("ColorStyle", this), Row, 0);
    const std::array<const char*, 10> PresetNames = {"Gold", "Chrome", "Blue", "Red", "UltraFlat1",
                                                     "UltraFlat2", "UltraFlatXP", "Aqua", "Default", "Quicken"};
    for (int Preset = lcsGold; Preset <= lcsQuicken; ++Preset) {
        auto* Button = new TLbButton(this);
        Button->setFixedSize(Button->sizeHint());
        Button->SetColorStyle(static_cast<TLbColorStyle>(Preset));
        Button->SetCaption(PresetNames[Preset - 1]);
        Button->SetSlowDecease(true);
        Grid->addWidget(Button, Row + (Preset - 1) / 7, 1 + (Preset - 1) % 7);
    }
    Row += 2;
    Grid->addWidget(new QLabel("TDtcCheck", this), Row, 0);
    const std::array<TCheckBoxState, 3> States = {cbUnchecked, cbChecked, cbGrayed};
    for (int Col = 0; Col < 7; ++Col) {
        auto* Check = new TDtcCheck(this);
        Check->setFixedSize(100, 17);
        Check->SetCaption(Col < 3 ? "&Read back" : Col < 6 ? "Disabled" : "Box &right");
        Check->SetAllowGrayed(true);
        Check->SetState(States[Col % 3]);
        Check->setEnabled(Col < 3 || Col == 6);
        if (Col == 6)
            Check->SetAlignment(taLeftJustify);
        Grid->addWidget(Check, Row, Col + 1);
    }
    QTimer::singleShot(0, this, [this] { ShowStates(); });
}

// Hot, pressed and focused looks come from events once the window shows, the focus last: a press
// takes the focus too.
void TGallery::ShowStates()
{
    for (TLbButton* Button : FHot)
        MakeHot(Button);
    for (TLbButton* Button : FDown)
        MakeDown(Button);
    FFocused->setFocus();
    FStatesShown = true;
}

TLbButton* TGallery::StyleButton(TLbButtonStyle Style, int State)
{
    auto* Button = new TLbButton(this);
    Button->setObjectName(QString(StyleNames[Style]) + StateKeys[State]);
    Button->setFixedSize(Button->sizeHint());
    Button->SetStyle(Style);
    Button->SetCaption("&Connect");
    Button->SetHotTrackColor(RGB(255, 230, 120));
    Button->SetColorWhenDown(RGB(255, 170, 80));
    Button->SetColor(RGB(248, 247, 237));
    Button->SetSlowDecease(true);
    switch (State) {
    case 1:
        FHot.push_back(Button);
        break;
    case 2:
        FDown.push_back(Button);
        break;
    case 3:
        Button->setEnabled(false);
        break;
    case 4:
        Button->SetFlat(true);
        break;
    case 5:
        Button->SetKind(bkOK);
        Button->SetPopupMenu(new QMenu(Button));
        break;
    case 6:
        // One control of a window has the focus; bsOld's focused look differs the most.
        if (Style == bsOld)
            FFocused = Button;
        else
            Button->SetCaption("(bsOld only)");
        break;
    }
    return Button;
}
