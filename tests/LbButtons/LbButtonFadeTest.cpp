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
    PointerLeaves(*Button);
    for (int Level = 7; Level >= 0; --Level) {
        ASSERT_TRUE(ServeOneStep()) << "level " << Level;
        EXPECT_EQ(FaceShown(), Blend(Level)) << "level " << Level;
    }
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
    EXPECT_TRUE(WaitUntil([&] { return FaceShown() == Face; })) << "a new thread after SlowDecease comes back";
}

TEST_F(LbButtonFade, ButtonGoesAwayWhileAFadeStepWaitsForTheGuiThread)
{
    PointerEnters(*Button);
    PointerLeaves(*Button);
    // Long enough for the thread to be waiting in Synchronize; the verdict does not depend on it.
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    delete Button;
    Button = nullptr;
    EXPECT_FALSE(CheckSynchronize()) << "nothing is left waiting";

    auto* Other = new TLbButton(&Form);
    Other->SetSlowDecease(true);
    PointerEnters(*Other);
    PointerLeaves(*Other);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    Other->SetSlowDecease(false);
    EXPECT_FALSE(CheckSynchronize());
    delete Other;
}
