#include "LbButton.h"
#include "LbButtonLayout.h"
#include "QtTestSupport.h"

#include <QLineEdit>

namespace {

constexpr TColor ParentColor = RGB(10, 200, 30);
constexpr TColor Face = RGB(240, 240, 240); // clBtnFace
constexpr TColor Light = clWhite;
constexpr TColor Shadow = clGray;
constexpr TColor DkShadow = RGB(105, 105, 105);

// A strip of square cells on an olive background, each with a centre of its own colour.
QImage CellStrip(std::initializer_list<TColor> Centres, int Size = 12)
{
    QImage Strip(Size * static_cast<int>(Centres.size()), Size, QImage::Format_RGB32);
    Strip.fill(QColor(128, 128, 0));
    int Left = 0;
    for (TColor Centre : Centres) {
        for (int Y = 3; Y < Size - 3; ++Y)
            for (int X = 3; X < Size - 3; ++X)
                Strip.setPixelColor(Left + X, Y, ToQColor(Centre));
        Left += Size;
    }
    return Strip;
}

class LbButtonPaint : public testing::Test {
protected:
    void SetUp() override
    {
        PaintBackground(Form, ParentColor);
        Form.resize(240, 140);
        auto* Button = new TLbButton(&Form);
        Button->setObjectName("Button1");
        Button->move(10, 10);
        auto* Edit = new QLineEdit(&Form);
        Edit->setObjectName("Edit1");
        Edit->move(10, 100);
        ShowActive(Form);
        // The button must not be hot through the focus unless a test gives it the focus.
        Edit->setFocus();
    }

    TLbButton& Button() { return *Form.findChild<TLbButton*>("Button1"); }
    QImage Shot() { return Snapshot(Button()); }
    TColor At(int X, int Y) { return PixelAt(Shot(), X, Y); }
    void Press() { QTest::mousePress(&Button(), Qt::LeftButton, {}, QPoint(50, 11)); }
    void Release() { QTest::mouseRelease(&Button(), Qt::LeftButton, {}, QPoint(50, 11)); }

    TForm Form;
};

} // namespace

TEST_F(LbButtonPaint, OnePixelBevelSwapsItsColoursWhenDownAndShowsWhenFlatOnlyWhileHot)
{
    const int W = Button().width(), H = Button().height();
    QImage Up = Shot();
    EXPECT_EQ(PixelAt(Up, 0, 0), Light);
    EXPECT_EQ(PixelAt(Up, 0, H - 1), Light);
    EXPECT_EQ(PixelAt(Up, W - 2, 0), Light);
    EXPECT_EQ(PixelAt(Up, W - 1, 0), Shadow);
    EXPECT_EQ(PixelAt(Up, W - 1, H - 1), Shadow);
    EXPECT_EQ(PixelAt(Up, 1, H - 1), Shadow);
    EXPECT_EQ(PixelAt(Up, 2, 2), Face);

    Button().SetColorWhenDown(0x2080FF);
    Press();
    QImage Down = Shot();
    EXPECT_EQ(PixelAt(Down, 0, 0), Shadow);
    EXPECT_EQ(PixelAt(Down, 0, H - 1), Shadow);
    EXPECT_EQ(PixelAt(Down, W - 1, H - 1), Light);
    EXPECT_EQ(PixelAt(Down, 2, 2), 0x2080FFu);
    Release();
    Form.findChild<QLineEdit*>("Edit1")->setFocus();

    Button().SetFlat(true);
    EXPECT_EQ(At(0, 0), Face);
    EXPECT_EQ(At(W - 1, H - 1), Face);
    PointerEnters(Button());
    EXPECT_EQ(At(0, 0), Light);
    PointerLeaves(Button());
    Button().setEnabled(false);
    EXPECT_EQ(At(0, 0), Face) << "a disabled flat button has no border";
    Button().SetFlat(false);
    EXPECT_EQ(At(W - 1, H - 1), Shadow) << "a disabled button that is not flat has";
}

TEST_F(LbButtonPaint, HotTrackColourLightsTheFaceOnlyWhileEnabled)
{
    Button().SetHotTrackColor(0x00DFDF);
    EXPECT_EQ(At(2, 2), Face) << "level 0: the face colour";
    PointerEnters(Button());
    EXPECT_EQ(At(2, 2), 0x00DFDFu) << "level 8: the hot colour";
    PointerLeaves(Button());
    EXPECT_EQ(At(2, 2), Face);
    Button().setEnabled(false);
    PointerEnters(Button());
    EXPECT_EQ(At(2, 2), Face);
}

TEST_F(LbButtonPaint, OldStyleHasATwoPixelBevelAndWhenFocusedABlackFrameAroundASmallerFace)
{
    Button().SetStyle(bsOld);
    const int W = Button().width(), H = Button().height();
    QImage Up = Shot();
    EXPECT_EQ(PixelAt(Up, 0, 0), Light);
    EXPECT_EQ(PixelAt(Up, W - 2, 1), Shadow);
    EXPECT_EQ(PixelAt(Up, 1, H - 2), Shadow);
    EXPECT_EQ(PixelAt(Up, W - 1, 0), DkShadow);
    EXPECT_EQ(PixelAt(Up, 0, H - 1), DkShadow);

    Press(); // takes the focus
    QImage Down = Shot();
    EXPECT_EQ(PixelAt(Down, 0, 0), clBlack) << "focus frame";
    EXPECT_EQ(PixelAt(Down, W - 1, H - 1), clBlack);
    EXPECT_EQ(PixelAt(Down, 1, 1), DkShadow) << "the face's own corner, one pixel in";
    EXPECT_EQ(PixelAt(Down, 2, 2), Shadow);
    EXPECT_EQ(PixelAt(Down, W - 2, H - 2), Shadow) << "Light is replaced by Shadow while down";
    Release();

    QImage Focused = Shot();
    EXPECT_EQ(PixelAt(Focused, 0, 0), clBlack);
    EXPECT_EQ(PixelAt(Focused, 1, 1), Light);
    EXPECT_EQ(PixelAt(Focused, W - 3, 1), Light);
    EXPECT_EQ(PixelAt(Focused, W - 2, 1), DkShadow);
    EXPECT_EQ(PixelAt(Focused, 4, 4), RGB(15, 15, 15)) << "a dot of the focus rectangle inverts the face";
    EXPECT_EQ(PixelAt(Focused, 5, 4), Face);
}

TEST_F(LbButtonPaint, TransparentStylesShowTheParentAroundTheirShape)
{
    const int W = Button().width(), H = Button().height();
    Button().SetStyle(bsModern);
    QImage Modern = Shot();
    EXPECT_EQ(PixelAt(Modern, 0, 0), ParentColor);
    EXPECT_EQ(PixelAt(Modern, W / 2, 0), Shadow) << "rounded outline";
    EXPECT_EQ(PixelAt(Modern, W / 2, 1), Face) << "inner outline in the face colour";
    // The gradient's 32 bands over rows 2 to 4: row 2 is painted last by band 10, ten 31sts of the
    // way from LightColor (255) to the face (240).
    EXPECT_EQ(PixelAt(Modern, W / 2, 2), RGB(250, 250, 250));
    EXPECT_EQ(PixelAt(Modern, W / 2, 4), Face) << "band 31 ends at the face colour";
    Press();
    EXPECT_EQ(At(W / 2, 1), Shadow) << "inner outline while down";
    Release();

    Button().SetStyle(bsQuicken);
    QImage Quicken = Shot();
    EXPECT_EQ(PixelAt(Quicken, 3, 0), ParentColor);
    EXPECT_EQ(PixelAt(Quicken, 4, 0), Shadow);
    EXPECT_EQ(PixelAt(Quicken, W - 6, H - 1), Shadow);
    EXPECT_EQ(PixelAt(Quicken, W - 5, H - 1), Face);
    EXPECT_EQ(PixelAt(Quicken, 0, 1), ParentColor) << "rounded corner";
    EXPECT_EQ(PixelAt(Quicken, 1, H - 1), ParentColor);
    EXPECT_EQ(PixelAt(Quicken, 0, H / 2), Face);

    Button().SetStyle(bsShape);
    Button().setFocus();
    QImage Shape = Shot();
    EXPECT_EQ(PixelAt(Shape, 0, 0), ParentColor);
    EXPECT_EQ(PixelAt(Shape, 4, 4), ParentColor) << "no focus rectangle in bsShape";
    EXPECT_EQ(PixelAt(Shape, W / 2, H / 2), ParentColor);
}

TEST_F(LbButtonPaint, GlyphCellFollowsTheStateAndMovesWhenDown)
{
    constexpr TColor Normal = 0x0000FF, Disabled = 0x808080, Down = 0xFF0000, Hot = 0x00FFFF;
    Button().SetGlyph(CellStrip({Normal, Disabled, Down, Hot}));
    Button().SetAlignment(taLeftJustify);
    // Glyph at (4, (23 - 12) / 2) = (4, 5); its centre square at (7..12, 8..13), its olive edge transparent.
    EXPECT_EQ(At(9, 10), Normal);
    EXPECT_EQ(At(4, 5), Face) << "the lower-left pixel's colour is transparent";
    PointerEnters(Button());
    EXPECT_EQ(At(9, 10), Hot);
    Press();
    QImage Pressed = Shot();
    EXPECT_EQ(PixelAt(Pressed, 9, 10), Down) << "down wins over hot";
    EXPECT_EQ(PixelAt(Pressed, 7, 8), Face) << "moved one pixel right and down";
    EXPECT_EQ(PixelAt(Pressed, 8, 9), Down);
    Release();
    PointerLeaves(Button());
    Form.findChild<QLineEdit*>("Edit1")->setFocus();

    Button().SetNumGlyphs(2); // cells of 24 pixels now: the hot and down cells are gone
    EXPECT_EQ(Button().NumGlyphs(), 2);
    PointerEnters(Button());
    EXPECT_EQ(At(9, 10), Normal);
    PointerLeaves(Button());

    Button().SetGlyph(CellStrip({Normal, Disabled, Down, Hot}));
    Button().setEnabled(false);
    EXPECT_EQ(At(9, 10), Disabled);
    Button().SetGlyph(CellStrip({Normal}));
    EXPECT_EQ(At(9, 10), Normal) << "cell 1 lies beyond a one-cell strip";
    Button().SetNumGlyphs(0);
    EXPECT_EQ(At(9, 10), Face) << "no glyph with NumGlyphs 0";
}

TEST_F(LbButtonPaint, ShapeStyleMovesOnlyItsCaptionWhenDown)
{
    Button().SetStyle(bsShape);
    Button().SetGlyph(CellStrip({0x00FFFF})); // light, so that only the caption counts as dark
    Button().SetCaption("."); // a dot, low enough to leave the glyph's square free
    const int W = Button().width(), H = Button().height();
    const QImage Up = Shot();
    // The glyph is centred whatever the layout: at (44, 5), its centre square from (47, 8).
    EXPECT_EQ(PixelAt(Up, W / 2 - 3, H / 2 - 3), 0x00FFFFu);
    Press();
    const QImage Down = Shot();
    Release();
    EXPECT_EQ(PixelAt(Down, W / 2 - 3, H / 2 - 3), 0x00FFFFu) << "the glyph stays where it was";
    // Centred in a rectangle whose left edge, not its right, moves: one pixel down, half a pixel right.
    EXPECT_EQ(DarkPixels(Down).top(), DarkPixels(Up).top() + 1);
}

TEST_F(LbButtonPaint, CaptionLosesCharactersUntilItFitsUnlessItWraps)
{
    Button().resize(60, 23);
    Button().SetCaption("Connect to the device");
    const QFontMetrics Metrics(Button().font());
    QString Fitting = Button().Caption();
    while (Metrics.horizontalAdvance(Fitting) > 60 - 8)
        Fitting.chop(1);
    ASSERT_FALSE(Fitting.isEmpty());
    const QImage Cut = Shot();
    Button().SetCaption(Fitting);
    EXPECT_EQ(Shot(), Cut) << "the caption is cut to what fits, then centred";
    Button().SetCaption("Connect to the device");
    EXPECT_EQ(Button().Caption(), "Connect to the device") << "the property keeps the whole caption";

    Button().resize(8, 23);
    const QImage NoRoom = Shot();
    Button().SetCaption("");
    EXPECT_EQ(Shot(), NoRoom) << "no caption on a button 8 pixels wide";

    Button().resize(100, 60);
    Button().SetCaption("Read Firmware after write");
    Button().SetWordWrap(true);
    const QRect Text = DarkPixels(Shot());
    EXPECT_GT(Text.height(), Metrics.height()) << "more than one line";
    EXPECT_GE(Text.left(), 4);
    EXPECT_LE(Text.right(), 100 - 5);
    EXPECT_NEAR(Text.top(), 60 - 1 - Text.bottom(), Metrics.height()) << "centred as a block";
}

// Measured under Windows' font engine: the bold face's ink begins one pixel lower than the regular
// face's at the same place.
#ifdef _WIN32
constexpr int BoldFaceDrop = 1;
#else
constexpr int BoldFaceDrop = 0;
#endif

TEST_F(LbButtonPaint, EncartaShowsAPressInBoldWithoutMovingOtherStylesMoveByOnePixel)
{
    Button().SetCaption("Connect");
    const QImage NormalUp = Shot();
    Press();
    const QImage NormalDown = Shot();
    Release();
    // Inside the focus rectangle, which a press brings.
    EXPECT_EQ(DarkPixels(NormalDown, 5), DarkPixels(NormalUp, 5).translated(1, 1));

    Form.findChild<QLineEdit*>("Edit1")->setFocus();
    Button().SetStyle(bsEncarta);
    const QImage EncartaUp = Shot();
    Press();
    const QImage EncartaDown = Shot();
    Release();
    EXPECT_EQ(DarkPixels(EncartaDown, 5).top(), DarkPixels(EncartaUp, 5).top() + BoldFaceDrop);
    EXPECT_GT(DarkPixelCount(EncartaDown, 5), DarkPixelCount(EncartaUp, 5) * 6 / 5) << "bold";
}

TEST_F(LbButtonPaint, PopupMenuAddsADownArrowAtTheRight)
{
    const int W = Button().width(), H = Button().height();
    QMenu Menu;
    Button().SetPopupMenu(&Menu);
    const QImage Image = Shot();
    for (int X = W - 11; X < W - 6; ++X)
        EXPECT_EQ(PixelAt(Image, X, H / 2 - 1), clBlack);
    EXPECT_EQ(PixelAt(Image, W - 11, H / 2), Face) << "the arrow's white is transparent";
    EXPECT_EQ(PixelAt(Image, W - 9, H / 2 + 1), clBlack);
    EXPECT_EQ(PixelAt(Image, W - 10, H / 2 + 1), Face);
}

TEST_F(LbButtonPaint, LayoutPutsTheGlyphBesideAboveOrBelowTheCaption)
{
    Button().resize(120, 60);
    Button().SetCaption("Go");
    Button().SetGlyph(CellStrip({0x0000FF}));
    // The glyph's centre square is red, which counts as dark too, so the caption is found apart from it.
    auto GlyphBox = [&] {
        const QImage Image = Shot();
        QRect Box;
        for (int Y = 0; Y < Image.height(); ++Y)
            for (int X = 0; X < Image.width(); ++X)
                if (PixelAt(Image, X, Y) == 0x0000FFu)
                    Box = Box.united(QRect(X, Y, 1, 1));
        return Box;
    };
    auto TextBox = [&] {
        QImage Image = Shot();
        const QRect Glyph = GlyphBox();
        for (int Y = Glyph.top(); Y <= Glyph.bottom(); ++Y)
            for (int X = Glyph.left(); X <= Glyph.right(); ++X)
                Image.setPixelColor(X, Y, ToQColor(Face));
        return DarkPixels(Image);
    };
    EXPECT_LT(GlyphBox().right(), TextBox().left()) << "blGlyphLeft";
    Button().SetLayout(blGlyphRight);
    EXPECT_GT(GlyphBox().left(), TextBox().right());
    Button().SetLayout(blGlyphTop);
    EXPECT_LT(GlyphBox().bottom(), TextBox().top());
    Button().SetLayout(blGlyphBottom);
    EXPECT_GT(GlyphBox().top(), TextBox().bottom());
    Button().SetAlignment(taLeftJustify);
    EXPECT_EQ(GlyphBox().left(), 4 + 3) << "glyph at x = 4, its square 3 pixels in";
    Button().SetAlignment(taRightJustify);
    EXPECT_EQ(GlyphBox().right(), 120 - 4 - 12 + 8) << "glyph ends 4 pixels from the right edge";
}

struct TFaceLayoutRow {
    const char* Name;
    TFaceMetrics Face;
    int TextWidth, TextHeight;
    bool CaptionEmpty;
    int Room;
    TRect Caption, Glyph;
};

void PrintTo(const TFaceLayoutRow& Row, std::ostream* Out) { *Out << Row.Name; }

class LbButtonLayout : public testing::TestWithParam<TFaceLayoutRow> {};

TEST_P(LbButtonLayout, PlacesCaptionAndGlyph)
{
    const TFaceLayoutRow& Row = GetParam();
    EXPECT_EQ(CaptionRoom(Row.Face), Row.Room);
    const TFaceLayout Layout = LayOutFace(Row.Face, Row.TextWidth, Row.TextHeight, Row.CaptionEmpty);
    EXPECT_EQ(Layout.Caption, Row.Caption);
    EXPECT_EQ(Layout.Glyph, Row.Glyph);
}

// An 18 x 18 glyph cell and a caption 30 pixels wide and 15 high, worked out by hand. Beside the
// caption (100 x 23): room 100 - 8 - (18 + 4) = 70, caption top (23 - 15) div 2 = 4, glyph top
// (23 - 18) div 2 = 2, gap D = 30 + 4 = 34. Above or below it (100 x 60): room 92, block
// 15 + 18 + 4 = 37, so the block starts at (60 - 37) div 2 = 11. Centring: (100 - 18) div 2 = 41.
constexpr TFaceMetrics Beside(TLbButtonLayout Layout, TAlignment Alignment, bool Down = false,
                              TLbButtonStyle Style = bsNormal)
{
    return {100, 23, Style, Layout, Alignment, false, Down, 18, 18};
}
constexpr TFaceMetrics Stacked(TLbButtonLayout Layout, TAlignment Alignment, bool Down = false)
{
    return {100, 60, bsNormal, Layout, Alignment, false, Down, 18, 18};
}
constexpr TFaceMetrics Wrapped(TLbButtonLayout Layout, TAlignment Alignment)
{
    return {100, 23, bsNormal, Layout, Alignment, true, false, 18, 18};
}

const TFaceLayoutRow FaceLayoutRows[] = {
    {"GlyphLeftLeft", Beside(blGlyphLeft, taLeftJustify), 30, 15, false, 70, {26, 4, 96, 19}, {4, 2, 22, 20}},
    {"GlyphLeftRight", Beside(blGlyphLeft, taRightJustify), 30, 15, false, 70, {26, 4, 96, 19}, {44, 2, 62, 20}},
    {"GlyphLeftCentre", Beside(blGlyphLeft, taCenter), 30, 15, false, 70, {26, 4, 96, 19}, {24, 2, 42, 20}},
    {"GlyphRightLeft", Beside(blGlyphRight, taLeftJustify), 30, 15, false, 70, {4, 4, 74, 19}, {38, 2, 56, 20}},
    {"GlyphRightRight", Beside(blGlyphRight, taRightJustify), 30, 15, false, 70, {4, 4, 74, 19}, {78, 2, 96, 20}},
    {"GlyphRightCentre", Beside(blGlyphRight, taCenter), 30, 15, false, 70, {4, 4, 74, 19}, {58, 2, 76, 20}},
    {"GlyphTopLeft", Stacked(blGlyphTop, taLeftJustify), 30, 15, false, 92, {4, 29, 96, 44}, {4, 11, 22, 29}},
    {"GlyphTopRight", Stacked(blGlyphTop, taRightJustify), 30, 15, false, 92, {4, 29, 96, 44}, {78, 11, 96, 29}},
    {"GlyphTopCentre", Stacked(blGlyphTop, taCenter), 30, 15, false, 92, {4, 29, 96, 44}, {41, 11, 59, 29}},
    {"GlyphBottomLeft", Stacked(blGlyphBottom, taLeftJustify), 30, 15, false, 92, {4, 11, 96, 26}, {4, 26, 22, 44}},
    {"GlyphBottomRight", Stacked(blGlyphBottom, taRightJustify), 30, 15, false, 92, {4, 11, 96, 26}, {78, 26, 96, 44}},
    {"GlyphBottomCentre", Stacked(blGlyphBottom, taCenter), 30, 15, false, 92, {4, 11, 96, 26}, {41, 26, 59, 44}},
    // A press moves everything by one pixel, except in bsEncarta.
    {"GlyphLeftCentreDown", Beside(blGlyphLeft, taCenter, true), 30, 15, false, 70, {27, 5, 97, 20}, {25, 3, 43, 21}},
    {"GlyphTopCentreDown", Stacked(blGlyphTop, taCenter, true), 30, 15, false, 92, {5, 30, 97, 45}, {42, 12, 60, 30}},
    {"EncartaDown", Beside(blGlyphLeft, taCenter, true, bsEncarta), 30, 15, false, 70, {26, 4, 96, 19}, {24, 2, 42, 20}},
    // A wrapped caption leaves the glyph at the caption's side whatever the alignment.
    {"WrappedGlyphLeftRight", Wrapped(blGlyphLeft, taRightJustify), 30, 15, false, 70, {26, 4, 96, 19}, {4, 2, 22, 20}},
    {"WrappedGlyphRightCentre", Wrapped(blGlyphRight, taCenter), 30, 15, false, 70, {4, 4, 74, 19}, {38, 2, 56, 20}},
    // Without a caption there is no gap to keep.
    {"EmptyGlyphLeftCentre", Beside(blGlyphLeft, taCenter), 0, 15, true, 70, {26, 4, 96, 19}, {41, 2, 59, 20}},
    {"EmptyGlyphRightCentre", Beside(blGlyphRight, taCenter), 0, 15, true, 70, {4, 4, 74, 19}, {41, 2, 59, 20}},
    {"NoGlyph", {100, 23, bsNormal, blGlyphLeft, taCenter, false, false, 0, 0}, 30, 15, false, 92,
     {4, 4, 96, 19}, {33, 11, 33, 11}},
    {"NoRoomLeft", {20, 23, bsNormal, blGlyphLeft, taLeftJustify, false, false, 18, 18}, 0, 15, true, 0,
     {26, 4, 26, 19}, {4, 2, 22, 20}},
    // Divisions truncate towards zero: (10 - 15) div 2 = -2, (10 - 18) div 2 = -4.
    {"LowerThanItsText", {100, 10, bsNormal, blGlyphLeft, taLeftJustify, false, false, 18, 18}, 30, 15, false, 70,
     {26, -2, 96, 13}, {4, -4, 22, 14}},
    // bsShape centres the glyph whatever the layout, gives the caption the whole width and moves
    // only the caption when pressed.
    {"Shape", Beside(blGlyphLeft, taLeftJustify, false, bsShape), 30, 15, false, 92, {0, 4, 100, 23}, {41, 2, 59, 20}},
    {"ShapeDown", Beside(blGlyphRight, taRightJustify, true, bsShape), 30, 15, false, 92, {1, 5, 100, 23},
     {41, 2, 59, 20}},
};

INSTANTIATE_TEST_SUITE_P(Rows, LbButtonLayout, testing::ValuesIn(FaceLayoutRows),
                         [](const testing::TestParamInfo<TFaceLayoutRow>& Info) { return Info.param.Name; });

struct TGradientRow {
    const char* Name;
    TRect Area;
    int Index;
    TRect Band;
};

void PrintTo(const TGradientRow& Row, std::ostream* Out) { *Out << Row.Name; }

class LbButtonGradient : public testing::TestWithParam<TGradientRow> {};

TEST_P(LbButtonGradient, BandsAreOneRowHigherThanA31stOfTheArea)
{
    EXPECT_EQ(GradientBand(GetParam().Area, GetParam().Index), GetParam().Band);
}

// Band i starts i x h div 31 rows down and is h div 31 + 1 rows high, cut at the area's bottom.
const TGradientRow GradientRows[] = {
    {"Low0", {2, 2, 98, 5}, 0, {2, 2, 98, 3}},      {"Low10", {2, 2, 98, 5}, 10, {2, 2, 98, 3}},
    {"Low11", {2, 2, 98, 5}, 11, {2, 3, 98, 4}},    {"Low30", {2, 2, 98, 5}, 30, {2, 4, 98, 5}},
    {"Low31", {2, 2, 98, 5}, 31, {2, 5, 98, 5}},    {"Tall0", {0, 10, 50, 50}, 0, {0, 10, 50, 12}},
    {"Tall4", {0, 10, 50, 50}, 4, {0, 15, 50, 17}}, {"Tall30", {0, 10, 50, 50}, 30, {0, 48, 50, 50}},
    {"Taller5", {0, 0, 9, 62}, 5, {0, 10, 9, 13}},  {"Taller30", {0, 0, 9, 62}, 30, {0, 60, 9, 62}},
};

INSTANTIATE_TEST_SUITE_P(Rows, LbButtonGradient, testing::ValuesIn(GradientRows),
                         [](const testing::TestParamInfo<TGradientRow>& Info) { return Info.param.Name; });

TEST_F(LbButtonPaint, HotTrackFontIsUsedOnlyWhileHot)
{
    Button().SetCaption("Connect");
    QFont Bold = Button().font();
    Bold.setBold(true);
    Button().SetHotTrackFont(Bold);
    const int Plain = DarkPixelCount(Shot(), 5);
    PointerEnters(Button());
    EXPECT_EQ(DarkPixelCount(Shot(), 5), Plain) << "UseHotTrackFont is off";
    Button().SetUseHotTrackFont(true);
    EXPECT_GT(DarkPixelCount(Shot(), 5), Plain * 6 / 5);
    PointerLeaves(Button());
    EXPECT_EQ(DarkPixelCount(Shot(), 5), Plain);
}
