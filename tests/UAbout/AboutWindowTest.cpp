#include "UAbout.h"

#include "LbButton.h"
#include "QtTestSupport.h"
#include "Shell.h"
#include "Unit1.h"

#include <QLabel>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class AboutWindow : public testing::Test {
protected:
    void SetUp() override
    {
        SavedShell = ShellOpen;
        ShellOpen = [this](const std::string& Target) { Opened.push_back(Target); };
        About = std::make_unique<TFAbout>();
        FAbout = About.get();
    }
    void TearDown() override
    {
        FAbout = nullptr;
        About.reset();
        ShellOpen = SavedShell;
    }

    template <class T>
    T* Control(const char* Name)
    {
        auto* Found = About->findChild<T*>(QString::fromLatin1(Name));
        EXPECT_NE(Found, nullptr) << Name;
        return Found;
    }

    std::function<void(const std::string&)> SavedShell;
    std::vector<std::string> Opened;
    std::unique_ptr<TFAbout> About;
};

TEST_F(AboutWindow, showsModallyFromTheMainWindowAndOkEndsItWithResultOne)
{
    SerialPortSource = [] { return std::vector<std::string>{"ttyUSB0"}; };
    TFUpdate Main;
    Main.show();
    bool SeenModal = false;
    int Result = -1;
    QObject::connect(About.get(), &QDialog::finished, [&](int Value) { Result = Value; });
    QTimer::singleShot(0, [&] {
        SeenModal = About->isVisible() && About->isModal() && QApplication::activeModalWidget() == About.get();
        QTest::mouseClick(Control<TLbButton>("LbButton1"), Qt::LeftButton);
    });
    QTest::mouseClick(Main.findChild<TLbButton*>("about"), Qt::LeftButton);
    EXPECT_TRUE(SeenModal);
    EXPECT_EQ(Result, 1);
    EXPECT_FALSE(About->isVisible());
    SerialPortSource = [] { return std::vector<std::string>(); };
}

TEST_F(AboutWindow, logoAndWebLinkOpenTheSamePageAndTheMailLinkAMail)
{
    About->show();
    QTest::mouseClick(Control<QLabel>("Image2"), Qt::LeftButton);
    QTest::mouseClick(Control<QLabel>("Label4"), Qt::LeftButton);
    ASSERT_EQ(Opened.size(), 2u);
    EXPECT_EQ(Opened[0], Opened[1]);
    EXPECT_EQ(Opened[0], "https://www.brimtor.example/HOME/default.asp?frompg=SW30415");
    // A right click opens nothing.
    QTest::mouseClick(Control<QLabel>("Label4"), Qt::RightButton);
    EXPECT_EQ(Opened.size(), 2u);

    EXPECT_FALSE(Control<QLabel>("Label5")->isVisible());
    Control<QLabel>("Label5")->show();
    QTest::mouseClick(Control<QLabel>("Label5"), Qt::LeftButton);
    ASSERT_EQ(Opened.size(), 3u);
    EXPECT_EQ(Opened[2], "mailto:info@brimtor.example");
}

TEST_F(AboutWindow, showsTheLogoAndTheTextsInPlace)
{
    About->show();
    EXPECT_EQ(About->windowTitle(), "About...");
    EXPECT_EQ(About->size(), QSize(378, 148));
    EXPECT_EQ(Control<QLabel>("Image2")->geometry(), QRect(8, 24, 81, 81));
    EXPECT_EQ(Control<TLbButton>("LbButton1")->geometry(), QRect(8, 115, 81, 22));
    EXPECT_EQ(Control<TLbButton>("LbButton1")->NumGlyphs(), 2);
    EXPECT_EQ(Control<QLabel>("Label8")->text(), "SW30415");
    EXPECT_EQ(Control<QLabel>("Label9")->text(), SW_TEST_VERSION);
    EXPECT_TRUE(Control<QLabel>("Label1")->font().bold());
    EXPECT_EQ(Control<QLabel>("Label1")->font().pixelSize(), 13);
    // The link fits inside the window.
    EXPECT_LE(Control<QLabel>("Label4")->geometry().right(), About->width());

    // The logo is drawn: its middle is the deep blue disc, its corner the window's colour.
    const QImage Logo = Snapshot(*Control<QLabel>("Image2"));
    const QColor Middle = Logo.pixelColor(20, 40);
    EXPECT_GT(Middle.blue(), Middle.red() + 60) << Middle.name().toStdString();
    EXPECT_EQ(PixelAt(Logo, 0, 0), RGB(248, 247, 237));
}

} // namespace
