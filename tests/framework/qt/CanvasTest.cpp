#include "Canvas.h"
#include "QtTestSupport.h"
#include "SynchronizeHook.h"
#include "Thread.h"

#include <QPainter>

#include <atomic>
#include <cmath>
#include <string>

namespace {

QImage WhiteImage(int W, int H)
{
    QImage Image(W, H, QImage::Format_RGB32);
    Image.fill(Qt::white);
    return Image;
}

// The pixels of Image in Color as a picture: '#' for Color, '.' for anything else.
std::string Picture(const QImage& Image, TColor Color)
{
    std::string Out;
    for (int Y = 0; Y < Image.height(); ++Y) {
        for (int X = 0; X < Image.width(); ++X)
            Out += PixelAt(Image, X, Y) == ColorToRGB(Color) ? '#' : '.';
        Out += '\n';
    }
    return Out;
}

class TSynchronizingThread : public TThread {
public:
    explicit TSynchronizingThread(std::atomic<bool>& Ran)
        : FRan(Ran)
    {
        Resume();
    }
    ~TSynchronizingThread() override { TerminateAndWait(); }

protected:
    void Execute() override
    {
        Synchronize([this] { FRan = IsMainThread(); });
    }

private:
    std::atomic<bool>& FRan;
};

} // namespace

TEST(Colors, SystemColoursComeFromOneFixedTableAndRedIsTheLowByte)
{
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(240, 240, 240));
    EXPECT_EQ(ColorToRGB(clWindow), RGB(255, 255, 255));
    EXPECT_EQ(ColorToRGB(clBtnShadow), RGB(160, 160, 160));
    EXPECT_EQ(ColorToRGB(cl3DDkShadow), RGB(105, 105, 105));
    EXPECT_EQ(ColorToRGB(0xFF0000FF), clBlack) << "an index beyond the table";
    EXPECT_EQ(ColorToRGB(0x603000), 0x603000u) << "a plain colour stays as it is";
    EXPECT_EQ(ToQColor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(ToQColor(0x603000), QColor(0x00, 0x30, 0x60));
    EXPECT_EQ(FromQColor(QColor(0x00, 0x30, 0x60)), 0x603000u);
}

TEST(Canvas, LinesLeaveOutTheirEndPointAndRectanglesTheirRightAndBottom)
{
    QImage Image = WhiteImage(8, 6);
    {
        QPainter Painter(&Image);
        TCanvas Canvas(Painter);
        Canvas.SetPen(clBlack);
        Canvas.MoveTo(0, 0);
        Canvas.LineTo(4, 0);
        Canvas.LineTo(4, 3);
        Canvas.MoveTo(0, 2);
        Canvas.LineTo(2, 4);
        Canvas.LineTo(2, 4); // no length: nothing
        Canvas.MoveTo(7, 5);
        Canvas.LineTo(7, 5);
        Canvas.SetPen(0x0000FF); // leftwards and upwards, too
        Canvas.MoveTo(7, 4);
        Canvas.LineTo(5, 4);
        Canvas.LineTo(5, 1);
        Canvas.LineTo(7, 3);
    }
    EXPECT_EQ(Picture(Image, clBlack), "#####...\n"
                                       "....#...\n"
                                       "#...#...\n"
                                       ".#......\n"
                                       "........\n"
                                       "........\n");
    EXPECT_EQ(Picture(Image, 0x0000FF), "........\n"
                                        ".....#..\n"
                                        ".....##.\n"
                                        ".....#..\n"
                                        ".....###\n"
                                        "........\n");

    Image = WhiteImage(6, 5);
    {
        QPainter Painter(&Image);
        TCanvas Canvas(Painter);
        Canvas.SetPen(clBlack);
        Canvas.SetBrush(0x0000FF);
        Canvas.Rectangle({0, 0, 5, 4});
        Canvas.SetBrush(0x00FF00);
        Canvas.FillRect({5, 4, 6, 5});
    }
    EXPECT_EQ(Picture(Image, clBlack), "#####.\n"
                                       "#...#.\n"
                                       "#...#.\n"
                                       "#####.\n"
                                       "......\n");
    EXPECT_EQ(Picture(Image, 0x0000FF), "......\n"
                                        ".###..\n"
                                        ".###..\n"
                                        "......\n"
                                        "......\n");
    EXPECT_EQ(PixelAt(Image, 5, 4), 0x00FF00u);
}

TEST(Canvas, RoundedRectanglesAreMirrorImagesWithCutCorners)
{
    QImage Image = WhiteImage(12, 9);
    {
        QPainter Painter(&Image);
        TCanvas Canvas(Painter);
        Canvas.SetPen(clBlack);
        Canvas.SetBrush(clNone);
        Canvas.RoundRect({0, 0, 12, 9}, 6, 6);
    }
    EXPECT_EQ(Picture(Image, clBlack), "...######...\n"
                                       ".##......##.\n"
                                       "#..........#\n"
                                       "#..........#\n"
                                       "#..........#\n"
                                       "#..........#\n"
                                       "#..........#\n"
                                       ".##......##.\n"
                                       "...######...\n");

    Image = WhiteImage(8, 5);
    {
        QPainter Painter(&Image);
        TCanvas Canvas(Painter);
        Canvas.SetPen(clNone);
        Canvas.SetBrush(clBlack);
        Canvas.RoundRect({0, 1, 8, 5}, 4, 4);
    }
    EXPECT_EQ(Picture(Image, clBlack), "........\n"
                                       "..####..\n"
                                       "########\n"
                                       "########\n"
                                       "..####..\n");
}

TEST(Canvas, FocusRectangleDotsAreUndoneByASecondCallAndKeyPixelsAreLeftOut)
{
    QImage Image = WhiteImage(6, 4);
    const QImage Before = Image;
    {
        QPainter Painter(&Image);
        TCanvas Canvas(Painter);
        Canvas.DrawFocusRect({0, 0, 6, 4});
    }
    // A checkerboard of dots along the outline.
    EXPECT_EQ(Picture(Image, clBlack), "#.#.#.\n"
                                       ".....#\n"
                                       "#.....\n"
                                       ".#.#.#\n");
    {
        QPainter Painter(&Image);
        TCanvas Canvas(Painter);
        Canvas.DrawFocusRect({0, 0, 6, 4});
    }
    EXPECT_EQ(Image, Before);

    QImage Source(3, 1, QImage::Format_RGB32);
    Source.setPixelColor(0, 0, ToQColor(clFuchsia));
    Source.setPixelColor(1, 0, ToQColor(0x0000FF));
    Source.setPixelColor(2, 0, ToQColor(clFuchsia));
    {
        QPainter Painter(&Image);
        TCanvas Canvas(Painter);
        Canvas.DrawTransparent(1, 1, Source, ToQColor(clFuchsia).rgb());
    }
    EXPECT_EQ(PixelAt(Image, 1, 1), clWhite);
    EXPECT_EQ(PixelAt(Image, 2, 1), 0x0000FFu);
    EXPECT_EQ(PixelAt(Image, 3, 1), clWhite);
}

TEST(Canvas, TextIsMeasuredRawAndWrapsWithinTheWidth)
{
    QImage Image = WhiteImage(10, 10);
    QPainter Painter(&Image);
    TCanvas Canvas(Painter);
    EXPECT_GT(Canvas.TextWidth("&Read"), Canvas.TextWidth("Read")) << "\"&\" counts as it stands";
    EXPECT_GT(Canvas.TextWidth("&&"), Canvas.TextWidth("&")) << "so does a doubled one";
    const int SmallWidth = Canvas.TextWidth("Read");
    const QSize OneLine = Canvas.MeasureText("Read after write", 1000, Qt::AlignLeft | Qt::TextWordWrap);
    const QSize Wrapped = Canvas.MeasureText("Read after write", OneLine.width() / 2, Qt::AlignLeft | Qt::TextWordWrap);
    // A laid-out line is the font's height rounded up, where TextHeight rounds its ascent and its
    // descent each: the same where the font engine measures in whole pixels (fontconfig's hinted
    // fonts), a pixel apart where it measures in fractions (Windows').
    const QFontMetricsF Metrics(Painter.font());
    EXPECT_EQ(OneLine.height(), std::ceil(Metrics.height()));
    EXPECT_EQ(Canvas.TextHeight("Read after write"), std::round(Metrics.ascent()) + std::round(Metrics.descent()));
    EXPECT_GE(Wrapped.height(), 2 * OneLine.height());
    EXPECT_LE(Wrapped.width(), OneLine.width() / 2);

    QFont Large = Painter.font();
    Large.setPixelSize(3 * QFontMetrics(Large).height());
    Canvas.SetFont(Large, clBlack);
    EXPECT_GT(Canvas.TextWidth("Read"), 2 * SmallWidth) << "measured in the canvas's font";
    EXPECT_GT(Canvas.TextHeight("Read"), 2 * OneLine.height());
}

TEST(SynchronizeHook, ThreadCallsRunOnTheGuiThreadFromQtsEventLoop)
{
    // Installed once by the test main, as the program does; a second call changes nothing.
    InstallWakeMainThread();
    std::atomic<bool> Ran{false};
    TSynchronizingThread Thread(Ran);
    EXPECT_TRUE(WaitUntil([&] { return Ran.load(); }));
}
