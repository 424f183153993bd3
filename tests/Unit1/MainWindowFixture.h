// The main window as a person meets it, with the port list a test gives it, and on a simulated device.
#pragma once

#include "Unit1.h"

#include "DeviceSimulator.h"
#include "LbButton.h"
#include "QtTestSupport.h"

#include <QComboBox>
#include <QLabel>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

template <class T>
T* Control(QWidget& Window, const char* Name)
{
    auto* Found = Window.findChild<T*>(QString::fromLatin1(Name));
    EXPECT_NE(Found, nullptr) << Name;
    return Found;
}

class MainWindow : public testing::Test {
protected:
    using milliseconds = std::chrono::milliseconds;

    void Create(std::vector<std::string> Ports = {"ttyUSB0"})
    {
        SerialPortSource = [Ports] { return Ports; };
        Window = std::make_unique<TFUpdate>();
        Window->show();
    }
    void TearDown() override
    {
        Window.reset();
        SerialPortSource = [] { return std::vector<std::string>(); };
    }

    TLbButton* Button(const char* Name) { return Control<TLbButton>(*Window, Name); }
    QString Text(const char* Label) { return Control<QLabel>(*Window, Label)->text(); }
    QString Status() { return Text("Label1"); }
    QString NewCaption() { return Button("New")->Caption(); }
    QComboBox* Ports() { return Control<QComboBox>(*Window, "CB_ComPort"); }
    bool ConnectedButtonsEnabled(bool Enabled)
    {
        return Button("LbButton2")->isEnabled() == Enabled && Button("btn_Prm_Gen")->isEnabled() == Enabled &&
               Button("LbButton1")->isEnabled() == Enabled;
    }
    // Types Name into the port box and clicks New; returns how long the click took.
    milliseconds ClickNew(const QString& Name = QString())
    {
        if (!Name.isEmpty())
            Ports()->setEditText(Name);
        const auto Start = std::chrono::steady_clock::now();
        QTest::mouseClick(Button("New"), Qt::LeftButton);
        return std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - Start);
    }

    std::unique_ptr<TFUpdate> Window;
};

// A simulated device on a pseudo-terminal for the tests that connect.
class MainWindowOnDevice : public MainWindow {
protected:
    void SetUp() override { StartDevice({}); }
    void TearDown() override
    {
        MainWindow::TearDown();
        Sim.reset();
    }

    void StartDevice(const TSimSettings& Settings)
    {
        Sim = std::make_unique<TDeviceSimulator>(Settings);
        Sim->Start();
        Path = QString::fromStdString(Sim->PortPath());
    }
    // The window, connected to the device.
    void Connected()
    {
        Create();
        ClickNew(Path);
        ASSERT_EQ(Status(), "Initialized");
    }

    std::unique_ptr<TDeviceSimulator> Sim;
    QString Path;
};
