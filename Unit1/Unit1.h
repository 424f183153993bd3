// The main window: the port list, Init / Connect / Disconnect of the one device worker, the About
// button, the firmware update, and the hidden port settings, protection word and MAC address groups.
#pragma once

#include "Form.h"

#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
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
class Tarm_SER;
class TDtcCheck;
class TFirmwareUpdate;
class TLbButton;
struct TUpdateHooks;

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
    // False while a handler waits on the worker: the close is put off until it has returned, and a
    // running update is abandoned so that this is soon. Otherwise stops the worker.
    bool FormCloseQuery();

    // The firmware group: entries into the update of the current connection.
    void Button6Click();
    bool CheckBootMode();
    static bool CompareFiles(const std::string& ImagePath, const std::string& ReadBackPath);
    void T_AutoTimer();
    // The update of the current worker; none while no worker runs.
    TFirmwareUpdate* FirmwareUpdate() const { return FUpdateJob.get(); }

    // The parameter groups: Read Data, Write Data, Read and Write Protection, Read and Write MAC
    // Address, Write All.
    void Button5Click();
    void Button4Click();
    void Button12Click();
    void Button14Click();
    void Button15Click();
    void Button1Click();
    void Button3Click();

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

    TUpdateHooks UpdateHooks();
    // Runs Work, which processes messages while it waits on the worker, with the controls that
    // would start another update or stop or replace the worker disabled; a close asked for
    // meanwhile follows once Work has returned.
    void WhileWaiting(const std::function<void()>& Work);
    // The worker the parameter handlers may use: none while FWorkerStarted is clear.
    Tarm_SER* StartedWorker() const;

    std::unique_ptr<TFirmwareUpdate> FUpdateJob;
    int FWaitDepth = 0;
    bool FCloseWhenDone = false;
};

extern TFUpdate* FUpdate;
