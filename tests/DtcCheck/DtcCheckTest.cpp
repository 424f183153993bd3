#include "DtcCheck.h"
#include "DtcCheckLayout.h"
#include "Form.h"
#include "QtTestSupport.h"

#include <QLineEdit>

#include <string>
#include <vector>

namespace {

constexpr TColor Background = RGB(248, 247, 237);

// The 13 x 13 box at (L, T) as letters: S shadow, W white (window and highlight are both white),
// D dark shadow, F face, K black, ? anything else.
std::string BoxPicture(const QImage& Image, int L, int T)
{
    std::string Out;
    for (int Y = T; Y < T + 13; ++Y) {
        for (int X = L; X < L + 13; ++X) {
            const TColor C = PixelAt(Image, X, Y);
            Out += C == ColorToRGB(clBtnShadow) ? 'S' : C == ColorToRGB(clBtnHighlight) ? 'W'
                : C == ColorToRGB(cl3DDkShadow) ? 'D' : C == ColorToRGB(clBtnFace)  ? 'F'
                : C == clBlack                  ? 'K' : '?';
        }
        Out += '\n';
    }
    return Out;
}

// The sunken bevel around a 9 x 9 interior filled with Fill, checkered with highlight when Checker,
// and the three-pixel tick in Tick unless Tick is 0.
std::string ExpectedBox(char Fill, bool Checker, char Tick)
{
    static const std::vector<std::string> TickRows = {
        ".........", ".......#.", "......##.", ".#...###.", ".##.###..",
        ".#####...", "..###....", "...#.....", ".........",
    };
    std::string Out = "SSSSSSSSSSSSW\nSDDDDDDDDDDFW\n";
    for (int Y = 0; Y < 9; ++Y) {
        std::string Row = "SD";
        for (int X = 0; X < 9; ++X)
            Row += Tick && TickRows[Y][X] == '#' ? Tick : Checker && (X + Y) % 2 == 1 ? 'W' : Fill;
        Out += Row + "FW\n";
    }
    return Out + "SFFFFFFFFFFFW\nWWWWWWWWWWWWW\n";
}

class DtcCheckTest : public testing::Test {
protected:
    void SetUp() override
    {
        PaintBackground(Form, Background);
        Form.resize(260, 80);
        auto* Check = new TDtcCheck(&Form);
        Check->setObjectName("CheckBox1");
        Check->move(10, 10);
        Check->SetCaption("&Read Firmware");
        auto* Edit = new QLineEdit(&Form);
        Edit->setObjectName("Edit1");
        Edit->move(10, 40);
        QObject::connect(Check, &TDtcCheck::OnClick, [this] { ++Clicks; });
        ShowActive(Form);
        Edit->setFocus();
    }

    TDtcCheck& Check() { return *Form.findChild<TDtcCheck*>("CheckBox1"); }
    // Box top for the default height 17: (17 - 11) div 2 - 1.
    std::string Box(int L = 0, int T = 2) { return BoxPicture(Snapshot(Check()), L, T); }
    void ClickAt(int X, int Y, Qt::MouseButton Button = Qt::LeftButton)
    {
        QTest::mousePress(&Check(), Button, {}, QPoint(5, 5));
        QTest::mouseRelease(&Check(), Button, {}, QPoint(X, Y));
    }

    TForm Form;
    int Clicks = 0;
};

} // namespace

TEST_F(DtcCheckTest, BoxShowsEachStateEnabledAndDisabled)
{
    EXPECT_EQ(Check().size(), QSize(81, 17));
    EXPECT_EQ(Box(), ExpectedBox('W', false, 0));
    Check().SetState(cbChecked);
    EXPECT_EQ(Box(), ExpectedBox('W', false, 'K'));
    Check().SetState(cbGrayed);
    EXPECT_EQ(Box(), ExpectedBox('F', true, 'S'));
    Check().SetGrayChecked(false);
    EXPECT_EQ(Box(), ExpectedBox('F', true, 0));

    Check().setEnabled(false);
    EXPECT_EQ(Box(), ExpectedBox('F', false, 0)) << "no checkerboard on a disabled box";
    Check().SetGrayChecked(true);
    EXPECT_EQ(Box(), ExpectedBox('F', false, 'S'));
    Check().SetState(cbChecked);
    EXPECT_EQ(Box(), ExpectedBox('F', false, 'S'));
    Check().SetState(cbUnchecked);
    EXPECT_EQ(Box(), ExpectedBox('F', false, 0));
}

TEST_F(DtcCheckTest, CaptionSitsRightOfTheBoxAndIsEmbossedWhenDisabled)
{
    const QRect Text = DarkPixels(Snapshot(Check()), 0);
    EXPECT_GE(Text.left(), 17);
    auto Count = [&](TColor Color) {
        const QImage Image = Snapshot(Check());
        int N = 0;
        for (int Y = 0; Y < Image.height(); ++Y)
            for (int X = 17; X < Image.width(); ++X)
                N += PixelAt(Image, X, Y) == ColorToRGB(Color) ? 1 : 0;
        return N;
    };
    EXPECT_EQ(Count(clBtnHighlight), 0);
    Check().setEnabled(false);
    EXPECT_TRUE(DarkPixels(Snapshot(Check()), 0).isNull()) << "no black text";
    EXPECT_GT(Count(clBtnHighlight), 10);
    EXPECT_GT(Count(clBtnShadow), 10);
}

TEST_F(DtcCheckTest, CentredAlignmentDrawsAsLeftJustifiedWithTheBoxAtTheRightEdge)
{
    Check().SetState(cbChecked);
    Check().SetAlignment(taLeftJustify);
    const QImage Left = Snapshot(Check());
    EXPECT_EQ(BoxPicture(Left, 81 - 13, 2), ExpectedBox('W', false, 'K'));
    EXPECT_LE(DarkPixels(Left, 0).left(), 3) << "caption from x = 1";
    Check().SetAlignment(taCenter);
    EXPECT_EQ(Snapshot(Check()), Left);
}

struct TCheckLayoutRow {
    const char* Name;
    int Width, Height;
    TAlignment Alignment;
    int TextWidth, TextHeight, AmpersandWidth;
    int BoxLeft, BoxRight, BoxTop;
    TRect Caption, FocusFrame;
};

void PrintTo(const TCheckLayoutRow& Row, std::ostream* Out) { *Out << Row.Name; }

class DtcCheckLayout : public testing::TestWithParam<TCheckLayoutRow> {};

TEST_P(DtcCheckLayout, PlacesBoxCaptionAndFocusFrame)
{
    const TCheckLayoutRow& Row = GetParam();
    const TCheckLayout Layout =
        CheckLayout(Row.Width, Row.Height, Row.Alignment, Row.TextWidth, Row.TextHeight, Row.AmpersandWidth);
    EXPECT_EQ(Layout.BoxLeft, Row.BoxLeft);
    EXPECT_EQ(Layout.BoxRight, Row.BoxRight);
    EXPECT_EQ(Layout.BoxTop, Row.BoxTop);
    EXPECT_EQ(Layout.Caption, Row.Caption);
    EXPECT_EQ(Layout.FocusFrame, Row.FocusFrame);
}

// Box top (H - 11) div 2 - 1 and caption top (H - text height) div 2, truncating towards zero; the
// caption 5 pixels right of a box at the left, else from x = 1 and 15 pixels short of the right edge;
// the frame one pixel left of the caption, 3 pixels wider than the text less one "&", one pixel
// higher, and no wider than W - 15 beside a box at the right.
const TCheckLayoutRow CheckLayoutRows[] = {
    {"BoxLeft", 81, 17, taRightJustify, 60, 13, 0, 0, 12, 2, {17, 2, 98, 19}, {16, 2, 79, 16}},
    {"BoxLeftAmpersand", 81, 17, taRightJustify, 60, 13, 8, 0, 12, 2, {17, 2, 98, 19}, {16, 2, 71, 16}},
    {"BoxLeftLongCaption", 81, 17, taRightJustify, 100, 13, 0, 0, 12, 2, {17, 2, 98, 19}, {16, 2, 119, 16}},
    {"BoxRight", 81, 17, taLeftJustify, 60, 13, 0, 68, 80, 2, {1, 2, 67, 19}, {0, 2, 63, 16}},
    {"BoxRightLongCaption", 81, 17, taLeftJustify, 70, 13, 0, 68, 80, 2, {1, 2, 67, 19}, {0, 2, 66, 16}},
    {"Centred", 81, 17, taCenter, 70, 13, 8, 68, 80, 2, {1, 2, 67, 19}, {0, 2, 65, 16}},
    {"Tall", 81, 30, taRightJustify, 60, 13, 0, 0, 12, 8, {17, 8, 98, 38}, {16, 8, 79, 22}},
    {"LowerThanTheText", 81, 10, taRightJustify, 60, 13, 0, 0, 12, -1, {17, -1, 98, 9}, {16, -1, 79, 13}},
};

INSTANTIATE_TEST_SUITE_P(Rows, DtcCheckLayout, testing::ValuesIn(CheckLayoutRows),
                         [](const testing::TestParamInfo<TCheckLayoutRow>& Info) { return Info.param.Name; });

TEST_F(DtcCheckTest, FocusFrameIsNarrowerByOneAmpersandAndWipedWhenTheFocusLeaves)
{
    Check().resize(200, 17);
    const TColor Dot = RGB(255 - 248, 255 - 247, 255 - 237); // the background inverted
    auto RightmostDot = [&] {
        const QImage Image = Snapshot(Check());
        int Right = -1;
        for (int Y = 0; Y < Image.height(); ++Y)
            for (int X = 0; X < Image.width(); ++X)
                if (PixelAt(Image, X, Y) == Dot)
                    Right = std::max(Right, X);
        return Right;
    };
    const QFontMetrics Metrics(Check().font());
    for (const QString Caption : {"&Read Firmware", "A&&B", "Plain"}) {
        Check().SetCaption(Caption);
        Check().setFocus();
        const int Ampersand = Caption.contains('&') ? Metrics.horizontalAdvance('&') : 0;
        const int FrameWidth = Metrics.horizontalAdvance(Caption) - Ampersand + 3;
        EXPECT_EQ(RightmostDot(), 16 + FrameWidth - 1) << Caption.toStdString();
        Form.findChild<QLineEdit*>("Edit1")->setFocus();
        EXPECT_EQ(RightmostDot(), -1) << Caption.toStdString();
    }
}

TEST_F(DtcCheckTest, ToggleCyclesThroughGrayedOnlyWhenAllowed)
{
    std::vector<TCheckBoxState> Seen;
    for (int I = 0; I < 3; ++I) {
        Check().Toggle();
        Seen.push_back(Check().State());
    }
    EXPECT_EQ(Seen, (std::vector{cbChecked, cbUnchecked, cbChecked}));
    Check().SetAllowGrayed(true);
    Seen.clear();
    for (int I = 0; I < 3; ++I) {
        Check().Toggle();
        Seen.push_back(Check().State());
    }
    EXPECT_EQ(Seen, (std::vector{cbUnchecked, cbGrayed, cbChecked}));
    EXPECT_EQ(Clicks, 6) << "one OnClick per change of state";

    Check().SetState(cbGrayed);
    Check().SetAllowGrayed(false);
    EXPECT_EQ(Check().State(), cbGrayed) << "stays grayed until the next toggle";
    Check().Toggle();
    EXPECT_EQ(Check().State(), cbChecked);
}

TEST_F(DtcCheckTest, CheckedFollowsGrayCheckedOnAGrayedBox)
{
    Check().SetState(cbGrayed);
    Clicks = 0;
    EXPECT_TRUE(Check().Checked());
    Check().SetChecked(true);
    EXPECT_EQ(Check().State(), cbGrayed);
    EXPECT_EQ(Clicks, 0) << "Checked already reads True";
    Check().SetState(cbGrayed);
    EXPECT_EQ(Clicks, 0) << "the State it already has";
    Check().SetGrayChecked(false);
    EXPECT_FALSE(Check().Checked());
    EXPECT_EQ(Clicks, 1) << "GrayChecked raises OnClick though State stays";
    Check().SetGrayChecked(true);
    Check().SetChecked(false);
    EXPECT_EQ(Check().State(), cbUnchecked);
    EXPECT_EQ(Clicks, 3);
    Check().SetChecked(true);
    EXPECT_EQ(Check().State(), cbChecked);
    EXPECT_EQ(Check().property("Checked").toBool(), true);
}

TEST_F(DtcCheckTest, MouseReleaseTogglesUpToOnePixelBeyondTheControl)
{
    const int W = Check().width(), H = Check().height();
    ClickAt(W, H);
    EXPECT_EQ(Check().State(), cbChecked) << "bounds inclusive";
    EXPECT_TRUE(Check().hasFocus()) << "a press takes the focus";
    ClickAt(-1, 5);
    EXPECT_EQ(Check().State(), cbChecked);
    ClickAt(5, H + 1);
    EXPECT_EQ(Check().State(), cbChecked);
    ClickAt(5, 5, Qt::RightButton);
    EXPECT_EQ(Check().State(), cbUnchecked) << "any button toggles";
    EXPECT_EQ(Clicks, 2) << "one OnClick per toggle, no extra click event";
}

TEST_F(DtcCheckTest, SpaceAndTheAcceleratorToggle)
{
    Check().setFocus();
    QTest::keyClick(&Check(), Qt::Key_Space);
    EXPECT_EQ(Check().State(), cbChecked);
    QTest::keyClick(&Check(), Qt::Key_Return);
    EXPECT_EQ(Check().State(), cbChecked);

    auto* Edit = Form.findChild<QLineEdit*>("Edit1");
    Edit->setFocus();
    QTest::keyClick(Edit, Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(Check().State(), cbUnchecked);
    EXPECT_TRUE(Check().hasFocus()) << "the accelerator takes the focus";

    Check().setEnabled(false);
    Edit->setFocus();
    QTest::keyClick(Edit, Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(Check().State(), cbUnchecked);
    EXPECT_EQ(Clicks, 2);
}
