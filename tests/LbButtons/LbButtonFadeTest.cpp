#include "LbButton.h"
#include "QtTestSupport.h"
#include "Thread.h"

#include <QLineEdit>

#include <chrono>
#include <thread>

namespace {

constexpr TColor Face = 0x303030;
constexpr TColor Hot = 0xF0B070;

// The face colour at fade level Level, in eighths of the hot colour.
TColor Blend(int Level)
{
    auto Mix = [Level](int From, int To) { return static_cast<int>(From * (8 - Level) / 8.0 + To * Level / 8.0); };
    return RGB(Mix(GetRValue(Face), GetRValue(Hot)), Mix(GetGValue(Face), GetGValue(Hot)),
               Mix(GetBValue(Face), GetBValue(Hot)));
}

// Serves the one waiting fade step itself, without Qt's event loop, so that each step can be seen.
bool ServeOneStep()
{
    const auto End = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!CheckSynchronize()) {
        if (std::chrono::steady_clock::now() > End)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

class LbButtonFade : public testing::Test {
protected:
    void SetUp() override
    {
        Form.resize(200, 100);
        Button = new TLbButton(&Form);
        Button->setObjectName("Button1");
        Button->SetColor(Face);
        Button->SetHotTrackColor(Hot);
        Button->SetSlowDecease(true);
        auto* Edit = new QLineEdit(&Form);
        Edit->move(0, 50);
        ShowActive(Form);
        Edit->setFocus();
    }

    TColor FaceShown() { return PixelAt(Snapshot(*Button), 3, 3); }

    TForm Form;
    TLbButton* Button = nullptr;
};

} // namespace

TEST_F(LbButtonFade, HotColourFadesInEightStepsThenTheThreadRests)
{
    PointerEnters(*Button);
    EXPECT_EQ(FaceShown(), Hot);
    const auto Left = std::chrono::steady_clock::now();
    PointerLeaves(*Button);
    for (int Level = 7; Level >= 0; --Level) {
        ASSERT_TRUE(ServeOneStep()) << "level " << Level;
        EXPECT_EQ(FaceShown(), Blend(Level)) << "level " << Level;
    }
    // Each step comes after a pause of at least 30 ms, however fast the machine.
    EXPECT_GE(std::chrono::steady_clock::now() - Left, std::chrono::milliseconds(8 * 30));
    // A thread left running would ask for its next step 30 ms later.
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_FALSE(CheckSynchronize()) << "the thread suspends itself at level 0";

    // A pointer that comes back during a fade lights the face again, but the fade goes on.
    PointerEnters(*Button);
    PointerLeaves(*Button);
    ASSERT_TRUE(ServeOneStep());
    EXPECT_EQ(FaceShown(), Blend(7));
    PointerEnters(*Button);
    EXPECT_EQ(FaceShown(), Hot);
    ASSERT_TRUE(ServeOneStep());
    EXPECT_EQ(FaceShown(), Blend(7)) << "fading while the pointer is inside";
}

TEST_F(LbButtonFade, QtsEventLoopDrivesTheFadeAndWithoutSlowDeceaseTheColourDropsAtOnce)
{
    PointerEnters(*Button);
    PointerLeaves(*Button);
    EXPECT_TRUE(WaitUntil([&] { return FaceShown() == Face; }));

    Button->SetSlowDecease(false);
    PointerEnters(*Button);
    EXPECT_EQ(FaceShown(), Hot);
    PointerLeaves(*Button);
    EXPECT_EQ(FaceShown(), Face);
    Button->SetSlowDecease(true);
    PointerEnters(*Button);
    PointerLeaves(*Button);
    EXPECT_EQ(FaceShown(), Hot) << "a new thread after SlowDecease comes back";
    EXPECT_TRUE(WaitUntil([&] { return FaceShown() == Face; }));
}

TEST_F(LbButtonFade, ButtonGoesAwayOrStopsFadingWhileAFadeStepWaitsForTheGuiThread)
{
    PointerEnters(*Button);
    PointerLeaves(*Button);
    ASSERT_TRUE(ServeOneStep()) << "the fade runs";
    // Long enough for the next step to be waiting in Synchronize; the verdict does not depend on it.
    // The destructor must end the thread without running the step on a button half gone: a hang or
    // a use after free (under AddressSanitizer) is the failure here.
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    delete Button;

    Button = new TLbButton(&Form);
    Button->SetColor(Face);
    Button->SetHotTrackColor(Hot);
    Button->SetSlowDecease(true);
    Button->show();
    PointerEnters(*Button);
    PointerLeaves(*Button);
    ASSERT_TRUE(ServeOneStep());
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    Button->SetSlowDecease(false);
    EXPECT_EQ(FaceShown(), Face) << "the fade ends at once";
    PointerEnters(*Button);
    PointerLeaves(*Button);
    EXPECT_EQ(FaceShown(), Face) << "no thread is left to fade";
}
