// The main window: the port list, Init / Connect / Disconnect of the one device worker, the About
// button, and the firmware and parameter groups with every control in place.
#pragma once

#include "Form.h"

#include <QStringList>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QCloseEvent;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class TDtcCheck;
class TLbButton;

// 1 from a successful Init until Disconnect: decides whether New connects or disconnects.
extern int32_t PortConnected;
// The number of ports the last ListComPorts found.
extern int32_t PortCount;

// The platform's port listing; tests put a list of their own in its place.
extern std::function<std::vector<std::string>()> SerialPortSource;

// A new list of the port names, in the platform's order; sets PortCount.
QStringList ListComPorts();

class TFUpdate : public TForm {
public:
    explicit TFUpdate(QWidget* Parent = nullptr);
    ~TFUpdate() override;

    // The window's caption, which the application takes as its title.
    static QString CaptionText();

    uint8_t FWorkerStarted = 0;

    QWidget* Panel_Button;
    // " INIT COM "
    QGroupBox* GroupBox3;
    QLabel* Label5;
    QComboBox* CB_ComPort;
    TLbButton* LbButton3;
    TLbButton* New;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    TLbButton* about;
    // " FIRMWARE "
    QGroupBox* GroupBox6;
    TLbButton* LbButton2;
    QLabel* Label21;
    QLabel* Label22;
    QProgressBar* GPB;
    TDtcCheck* CB_Read;
    QTimer* T_Auto;
    // " DATA SERIALS "
    QGroupBox* GroupBox5;
    QLabel *Label4, *Label6, *Label8, *Label10, *Label11, *Label12, *Label13, *Label14, *Label15, *Label16;
    QLabel *Label17, *Label18, *Label19, *Label20;
    QComboBox *CB_Baud_Ser, *CB_Par_Ser, *CB_Baud_MBus, *CB_Par_MBus;
    TLbButton* btn_Prm_Gen;
    TLbButton* LbButton1;
    // " PROTECTION "
    QGroupBox* GroupBox1;
    QPushButton *Button12, *Button14;
    QLabel* Label7;
    QLineEdit* Edit1;
    // " MAC ADDRESS "
    QGroupBox* GroupBox2;
    QPushButton *Button15, *Button1;
    QLabel* Label9;
    QLineEdit* Edit2;
    // " WRITE ALL "
    QGroupBox* GroupBox4;
    QPushButton* Button3;

    void FormCreate();
    void LbButton3Click();
    void Button2Click();
    void aboutClick();
    void FormCloseQuery();

protected:
    void closeEvent(QCloseEvent* Event) override;

private:
    void CreateControls();
    void CreateConnectionGroup();
    void CreateFirmwareGroup();
    void CreateSettingsGroup();
    void CreateParameterGroups();

    void Connect();
    void Disconnect();
    // CloseLink, halt and terminate with the fixed waits, then the thread is joined and freed.
    void StopWorker();
    void ReportOpenFailure();
    void SetConnectedButtons(bool Connected);
};

extern TFUpdate* FUpdate;
