#include "GroupBox.h"
#include "QtTestSupport.h"

#include <QWidget>

constexpr TColor Shadow = RGB(200, 0, 0), Highlight = RGB(0, 200, 0);

// The frame's top line runs through the caption's middle and stops at the caption; the caption's
// text straddles it.
TEST(GroupBox, CaptionSitsOnTheFramesTopLine)
{
    QWidget Window;
    Window.resize(160, 80);
    PaintBackground(Window, clWhite);
    QPalette Palette = Window.palette();
    Palette.setColor(QPalette::Mid, ToQColor(Shadow));
    Palette.setColor(QPalette::Light, ToQColor(Highlight));
    Palette.setColor(QPalette::WindowText, Qt::black);
    Window.setPalette(Palette);
    TGroupBox Group(QStringLiteral(" TITLE "), &Window);
    Group.setGeometry(10, 10, 140, 60);
    Window.show();

    const QImage Image = Snapshot(Group);
    const QRect Caption = Group.CaptionRect();
    const int Line = Caption.height() / 2;
    ASSERT_GT(Caption.width(), 20);
    EXPECT_EQ(PixelAt(Image, 2, Line), Shadow);
    EXPECT_EQ(PixelAt(Image, Caption.right() + 3, Line), Shadow);
    EXPECT_EQ(PixelAt(Image, 0, Group.height() - 5), Shadow) << "left edge";
    EXPECT_EQ(PixelAt(Image, Group.width() / 2, Group.height() - 2), Shadow) << "bottom edge";
    EXPECT_EQ(PixelAt(Image, Group.width() / 2, Group.height() - 1), Highlight) << "etched under the bottom edge";
    for (int X = Caption.left(); X <= Caption.right(); ++X)
        ASSERT_NE(PixelAt(Image, X, Line), Shadow) << "the line shows through the caption at x " << X;

    const QRect Text = DarkPixels(Image.copy(Caption), 0).translated(Caption.topLeft());
    ASSERT_FALSE(Text.isNull());
    EXPECT_LT(Text.top(), Line);
    EXPECT_GT(Text.bottom(), Line);
}
