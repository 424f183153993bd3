// The main window's controls, each at its designer's place with its designer's name.
#include "Unit1.h"

#include "Designer.h"
#include "DtcCheck.h"
#include "GroupBox.h"
#include "LbButton.h"
#include "SettingCodes.h"
#include "WindowLook.h"

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace {

constexpr TColor clSkyBlue = RGB(166, 202, 240);
constexpr int ClientWidth = 395;
constexpr int ClientHeight = 245;
constexpr int ComboHeight = 21;

QGroupBox* NewGroup(QWidget* Parent, const char* Name, const char* Title, int Left, int Top, int Width, int Height)
{
    return Place(new TGroupBox(QString::fromLatin1(Title), Parent), Name, Left, Top, Width, Height);
}

TLbButton* NewLbButton(QWidget* Parent, const char* Name, const char* Caption, int Left, int Top, int Width,
                       int Height)
{
    auto* Button = Place(new TLbButton(Parent), Name, Left, Top, Width, Height);
    Button->SetCaption(QString::fromLatin1(Caption));
    return Button;
}

// The device stores a setting as the index of its text in the list, so the list is the setting codes'.
QComboBox* NewDropDownList(QWidget* Parent, const char* Name, TSettingList Items, const QString& Selected, int Left,
                           int Top)
{
    auto* Combo = Place(new QComboBox(Parent), Name, Left, Top, 81, ComboHeight);
    for (const std::string_view Item : Items)
        Combo->addItem(QString::fromLatin1(Item.data(), static_cast<qsizetype>(Item.size())));
    Combo->setCurrentText(Selected);
    return Combo;
}

QPushButton* NewPushButton(QWidget* Parent, const char* Name, const char* Caption, int Left, int Top, int Width,
                           std::function<void()> OnClick)
{
    auto* Button = Place(new QPushButton(QString::fromLatin1(Caption), Parent), Name, Left, Top, Width, 25);
    QObject::connect(Button, &QPushButton::clicked, Button, std::move(OnClick));
    return Button;
}

} // namespace

void TFUpdate::CreateControls()
{
    setWindowTitle(CaptionText());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(ClientWidth, ClientHeight);
    SetWindowLook(*this);
    CentreOnScreen(*this);

    // Taller than the client area: the parameter groups lie below what the window shows.
    Panel_Button = Place(new QWidget(this), "Panel_Button", 0, 0, 393, 457);

    CreateConnectionGroup();
    CreateFirmwareGroup();
    CreateSettingsGroup();
    CreateParameterGroups();
}

void TFUpdate::CreateConnectionGroup()
{
    GroupBox3 = NewGroup(Panel_Button, "GroupBox3", " INIT COM ", 16, 8, 361, 89);
    Label5 = NewLabel(GroupBox3, "Label5", QStringLiteral("Com Port:"), 8, 24);
    CB_ComPort = Place(new QComboBox(GroupBox3), "CB_ComPort", 8, 40, 81, ComboHeight);
    CB_ComPort->setEditable(true);
    CB_ComPort->setInsertPolicy(QComboBox::NoInsert);
    CB_ComPort->setEditText(QStringLiteral("- - - -"));

    // Its caption is too wide for it and is not drawn; only the glyph shows.
    LbButton3 = NewLbButton(GroupBox3, "LbButton3", "LbButton3", 96, 36, 25, 26);
    LbButton3->SetGlyph(QImage(QStringLiteral(":/REFRESH")));
    connect(LbButton3, &TLbButton::OnClick, this, [this] { LbButton3Click(); });

    New = NewLbButton(GroupBox3, "New", "Init", 130, 36, 73, 26);
    New->SetStyle(bsEncarta);
    New->SetColorWhenDown(RGB(255, 128, 0));
    New->SetHotTrackColor(clSkyBlue);
    connect(New, &TLbButton::OnClick, this, [this] { Button2Click(); });

    Label1 = NewLabel(GroupBox3, "Label1", QStringLiteral("----"), 230, 45);
    Label2 = NewLabel(GroupBox3, "Label2", QStringLiteral("----"), 230, 24);
    Label2->setVisible(false);
    Label3 = NewLabel(GroupBox3, "Label3", QStringLiteral("----"), 230, 64);
    Label3->setVisible(false);

    about = NewLbButton(GroupBox3, "about", "About", 332, 13, 21, 19);
    about->SetStyle(bsEncarta);
    about->SetGlyph(QImage(QStringLiteral(":/ABOUT")));
    connect(about, &TLbButton::OnClick, this, [this] { aboutClick(); });
}

void TFUpdate::CreateFirmwareGroup()
{
    GroupBox6 = NewGroup(Panel_Button, "GroupBox6", " FIRMWARE ", 16, 112, 361, 121);
    LbButton2 = NewLbButton(GroupBox6, "LbButton2", "Update Firmware", 16, 23, 161, 26);
    connect(LbButton2, &TLbButton::OnClick, this, [this] { Button6Click(); });
    Label21 = NewLabel(GroupBox6, "Label21", QStringLiteral("Progress: "), 16, 64);
    Label22 = NewLabel(GroupBox6, "Label22", QStringLiteral("  "), 80, 64);
    GPB = Place(new QProgressBar(GroupBox6), "GPB", 16, 88, 329, 17);
    GPB->setRange(0, 100);
    GPB->setValue(0);
    GPB->setTextVisible(false);

    // Hidden and checked: the update always reads the firmware back and compares it.
    CB_Read = Place(new TDtcCheck(GroupBox6), "CB_Read", 192, 28, 161, 17);
    CB_Read->SetCaption(QStringLiteral("Read Firmware after write"));
    CB_Read->SetChecked(true);
    CB_Read->setVisible(false);

    T_Auto = new QTimer(this);
    T_Auto->setObjectName(QStringLiteral("T_Auto"));
    T_Auto->setInterval(500);
    connect(T_Auto, &QTimer::timeout, this, [this] { T_AutoTimer(); });
}

void TFUpdate::CreateSettingsGroup()
{
    // Over the firmware group, hidden.
    GroupBox5 = NewGroup(Panel_Button, "GroupBox5", " DATA SERIALS ", 16, 112, 361, 193);
    GroupBox5->setVisible(false);
    Label4 = NewLabel(GroupBox5, "Label4", QStringLiteral("USB"), 16, 24);
    Label10 = NewLabel(GroupBox5, "Label10", QStringLiteral("METER BUS"), 200, 24);
    Label6 = NewLabel(GroupBox5, "Label6", QStringLiteral("BaudRate"), 16, 56);
    Label8 = NewLabel(GroupBox5, "Label8", QStringLiteral("Parity"), 16, 80);
    Label11 = NewLabel(GroupBox5, "Label11", QStringLiteral("BaudRate"), 200, 56);
    Label12 = NewLabel(GroupBox5, "Label12", QStringLiteral("Parity"), 200, 80);

    CB_Baud_Ser = NewDropDownList(GroupBox5, "CB_Baud_Ser", UsbBaudList, "9600", 80, 48);
    CB_Par_Ser = NewDropDownList(GroupBox5, "CB_Par_Ser", ParityList, "NONE", 80, 72);
    CB_Baud_MBus = NewDropDownList(GroupBox5, "CB_Baud_MBus", MeterBaudList, "9600", 264, 48);
    CB_Par_MBus = NewDropDownList(GroupBox5, "CB_Par_MBus", ParityList, "NONE", 264, 72);

    btn_Prm_Gen = NewLbButton(GroupBox5, "btn_Prm_Gen", "Write Data", 16, 103, 161, 26);
    LbButton1 = NewLbButton(GroupBox5, "LbButton1", "Read Data", 184, 103, 161, 26);
    connect(btn_Prm_Gen, &TLbButton::OnClick, this, [this] { Button4Click(); });
    connect(LbButton1, &TLbButton::OnClick, this, [this] { Button5Click(); });

    Label13 = NewLabel(GroupBox5, "Label13", QStringLiteral("BaudRate"), 16, 144);
    Label14 = NewLabel(GroupBox5, "Label14", QStringLiteral("Parity"), 16, 168);
    Label15 = NewLabel(GroupBox5, "Label15", QString(), 80, 144);
    Label16 = NewLabel(GroupBox5, "Label16", QString(), 80, 168);
    Label17 = NewLabel(GroupBox5, "Label17", QStringLiteral("BaudRate"), 200, 144);
    Label19 = NewLabel(GroupBox5, "Label19", QStringLiteral("Parity"), 200, 168);
    Label18 = NewLabel(GroupBox5, "Label18", QString(), 264, 144);
    Label20 = NewLabel(GroupBox5, "Label20", QString(), 264, 168);
}

void TFUpdate::CreateParameterGroups()
{
    // Below the client area on the taller panel, hidden.
    GroupBox1 = NewGroup(Panel_Button, "GroupBox1", " PROTECTION ", 20, 248, 353, 89);
    GroupBox1->setVisible(false);
    Button12 = NewPushButton(GroupBox1, "Button12", "Read Protection", 8, 24, 153, [this] { Button12Click(); });
    Label7 = NewLabel(GroupBox1, "Label7", QString(), 176, 32);
    Button14 = NewPushButton(GroupBox1, "Button14", "Write Protection", 8, 56, 153, [this] { Button14Click(); });
    Edit1 = Place(new QLineEdit(QStringLiteral("0x00000000"), GroupBox1), "Edit1", 176, 60, 169, 19);

    GroupBox2 = NewGroup(Panel_Button, "GroupBox2", " MAC ADDRESS ", 20, 340, 353, 89);
    GroupBox2->setVisible(false);
    Button15 = NewPushButton(GroupBox2, "Button15", "Read MAC Address", 8, 24, 153, [this] { Button15Click(); });
    Label9 = NewLabel(GroupBox2, "Label9", QString(), 176, 36);
    Button1 = NewPushButton(GroupBox2, "Button1", "Write MAC Address", 8, 56, 153, [this] { Button1Click(); });
    Edit2 = Place(new QLineEdit(QStringLiteral("0x000000000000"), GroupBox2), "Edit2", 176, 60, 169, 19);

    GroupBox4 = NewGroup(Panel_Button, "GroupBox4", " WRITE ALL ", 20, 432, 353, 57);
    GroupBox4->setVisible(false);
    Button3 = NewPushButton(GroupBox4, "Button3", "Write All Parameter (Protection + MAC Addess)", 8, 24, 337,
                            [this] { Button3Click(); });
}
