#include "MainWindowFixture.h"

#include "arm_ser.h"

#include <QGroupBox>
#include <QLineEdit>

#include <ostream>

namespace {

using TBytes = std::vector<uint8_t>;

constexpr uint32_t SettingsAt = 0x24000;
constexpr uint32_t ProtectionAt = 0x3F000;
constexpr uint32_t MacAt = 0x3F004;
const TBytes FactoryParameters = {0x00, 0x00, 0x00, 0x4E, 0x02, 0x00, 0x53, 0x30, 0x41, 0x50};

const std::vector<const char*> SettingLabels = {"Label15", "Label16", "Label18", "Label20"};

// The hidden groups, shown to be driven, on a device whose memory the test arranges.
class ParameterGroups : public MainWindowOnDevice {
protected:
    void SetUp() override {}
    void ConnectedWithGroups()
    {
        Connected();
        for (const char* Group : {"GroupBox5", "GroupBox1", "GroupBox2", "GroupBox4"})
            Control<QGroupBox>(*Window, Group)->show();
    }
    void Click(const char* Name) { QTest::mouseClick(Control<QWidget>(*Window, Name), Qt::LeftButton); }
    void Type(const char* Edit, const char* Text) { Control<QLineEdit>(*Window, Edit)->setText(Text); }
    void Choose(const char* List, const char* Text) { Control<QComboBox>(*Window, List)->setCurrentText(Text); }
    void MarkLabels()
    {
        for (const char* Label : {"Label7", "Label9", "Label15", "Label16", "Label18", "Label20"})
            Control<QLabel>(*Window, Label)->setText("stale");
    }
};

struct TWriteRow {
    const char* Name;
    const char* Button;
    const char* Edit1;
    const char* Edit2;
    uint32_t Address;
    TBytes Stored;
};

void PrintTo(const TWriteRow& Row, std::ostream* Out) { *Out << Row.Name; }

class ParameterWrite : public ParameterGroups, public testing::WithParamInterface<TWriteRow> {};

TEST_P(ParameterWrite, storesWhatTheEditsSayOrNothing)
{
    const TWriteRow& Row = GetParam();
    StartDevice({});
    ConnectedWithGroups();
    Type("Edit1", Row.Edit1);
    Type("Edit2", Row.Edit2);
    Choose("CB_Baud_Ser", "115200");
    Choose("CB_Par_Ser", "ODD");
    Choose("CB_Baud_MBus", "38400");
    Choose("CB_Par_MBus", "NONE");
    Click(Row.Button);
    // An armed write keeps the worker busy until the device acknowledged it.
    ASSERT_TRUE(WaitUntil([] { return SerWorker->Idle(); }));
    EXPECT_EQ(Sim->Memory().Read(Row.Address, static_cast<uint32_t>(Row.Stored.size())), Row.Stored);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParameterWrite,
    testing::Values(
        TWriteRow{"protection", "Button14", "0x12345678", "not a number", ProtectionAt, {0x12, 0x34, 0x56, 0x78}},
        TWriteRow{"protectionTrailingBlank", "Button14", "0x12345678 ", "0", ProtectionAt, {0, 0, 0, 0x4E}},
        TWriteRow{"macLosesBitsAbove48", "Button1", "", "0x7FFF00112233AABB", MacAt, {0, 0x11, 0x22, 0x33, 0xAA, 0xBB}},
        TWriteRow{"all", "Button3", "305419896", "0x00112233AABB", ProtectionAt,
                  {0x12, 0x34, 0x56, 0x78, 0, 0x11, 0x22, 0x33, 0xAA, 0xBB}},
        TWriteRow{"allWithBadMac", "Button3", "0x12345678", "0x", ProtectionAt, FactoryParameters},
        TWriteRow{"settings", "btn_Prm_Gen", "", "", SettingsAt, {9, 2, 7, 0}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

struct TReadRow {
    const char* Name;
    const char* Button;
    uint32_t Address;
    TBytes Stored;
    unsigned CorruptReadEvery;
    std::vector<const char*> Labels;
    std::vector<QString> Shown;
};

void PrintTo(const TReadRow& Row, std::ostream* Out) { *Out << Row.Name; }

class ParameterRead : public ParameterGroups, public testing::WithParamInterface<TReadRow> {};

TEST_P(ParameterRead, showsTheDeviceRecord)
{
    const TReadRow& Row = GetParam();
    TSimSettings Settings;
    Settings.CorruptReadEvery = Row.CorruptReadEvery;
    StartDevice(Settings);
    Sim->Memory().Write(Row.Address, Row.Stored);
    ConnectedWithGroups();
    MarkLabels();
    Click(Row.Button);
    for (size_t I = 0; I < Row.Labels.size(); ++I)
        EXPECT_EQ(Text(Row.Labels[I]), Row.Shown[I]) << Row.Labels[I];
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParameterRead,
    testing::Values(
        TReadRow{"settings", "LbButton1", SettingsAt, {9, 2, 7, 0}, 0, SettingLabels,
                 {"115200", "ODD", "38400", "NONE"}},
        TReadRow{"settingsOutsideTheLists", "LbButton1", SettingsAt, {0xFF, 0xFF, 0xFF, 0xFF}, 0, SettingLabels,
                 {"Error", "Error", "Error", "Error"}},
        // A reply whose checksum does not fit: the read fails.
        TReadRow{"settingsFailed", "LbButton1", SettingsAt, {9, 2, 7, 0}, 1, SettingLabels,
                 {"Error in Read Data!", "", "", ""}},
        TReadRow{"protection", "Button12", ProtectionAt, {0, 0, 0, 0x4E}, 0, {"Label7"}, {"0000004E"}},
        TReadRow{"mac", "Button15", MacAt, {0, 0x11, 0x22, 0x33, 0xAA, 0xBB}, 0, {"Label9"}, {"0x 00 11 22 33 AA BB"}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(ParameterGroups, doNothingWhileTheWorkerIsNotStarted)
{
    StartDevice({});
    ConnectedWithGroups();
    Window->FWorkerStarted = 0;
    Type("Edit1", "0x12345678");
    Type("Edit2", "0x00112233AABB");
    Choose("CB_Baud_Ser", "115200");
    MarkLabels();
    for (const char* Name : {"LbButton1", "btn_Prm_Gen", "Button12", "Button14", "Button15", "Button1", "Button3"})
        Click(Name);
    EXPECT_TRUE(SerWorker->Idle());
    EXPECT_EQ(Sim->Memory().Read(ProtectionAt, 10), FactoryParameters);
    EXPECT_EQ(Sim->Memory().Read(SettingsAt, 4), (TBytes{5, 0, 5, 0}));
    for (const char* Label : {"Label7", "Label9", "Label15", "Label20"})
        EXPECT_EQ(Text(Label), "stale") << Label;
    EXPECT_TRUE(Sim->RequestLog().empty());
}

} // namespace
