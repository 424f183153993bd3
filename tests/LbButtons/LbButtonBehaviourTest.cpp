#include "LbButton.h"
#include "QtTestSupport.h"

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <vector>

namespace {

// A window with a Default and a Cancel button and the kinds of controls the dialog-key rule tells apart.
class LbButtonDialog : public testing::Test {
protected:
    void SetUp() override
    {
        Form.resize(400, 200);
        Add<TLbButton>("OkButton", 0)->SetDefault(true);
        Add<TLbButton>("CancelButton", 30)->SetCancel(true);
        Add<TLbButton>("OtherButton", 60)->SetCaption("&Connect");
        Add<QLineEdit>("Edit1", 90);
        Add<QRadioButton>("Radio1", 120);
        Add<QPushButton>("Push1", 150)->setAutoDefault(false);
        for (const char* Name : {"OkButton", "CancelButton", "OtherButton"})
            QObject::connect(Form.findChild<TLbButton*>(Name), &TLbButton::OnClick,
                             [this](QObject* Sender) { Clicks.push_back(Sender->objectName()); });
        ShowActive(Form);
    }

    template <class TControl>
    TControl* Add(const char* Name, int Top)
    {
        auto* Control = new TControl(&Form);
        Control->setObjectName(Name);
        Control->move(10, Top);
        return Control;
    }

    TLbButton& Button(const char* Name) { return *Form.findChild<TLbButton*>(Name); }

    // The key pressed and released in the control that has the focus; returns who clicked.
    std::vector<QString> Key(const char* Focus, Qt::Key Key, Qt::KeyboardModifiers Modifiers = {})
    {
        Clicks.clear();
        auto* Control = Form.findChild<QWidget*>(Focus);
        Control->setFocus();
        QTest::keyClick(Control, Key, Modifiers);
        return Clicks;
    }

    TForm Form;
    std::vector<QString> Clicks;
};

using Names = std::vector<QString>;

} // namespace

TEST(LbButton, StartsWithTheDocumentedDefaults)
{
    TLbButton Button;
    EXPECT_EQ(Button.size(), QSize(100, 23));
    EXPECT_EQ(Button.Alignment(), taCenter);
    EXPECT_EQ(Button.Color(), clBtnFace);
    EXPECT_EQ(Button.ColorWhenDown(), clNone);
    EXPECT_EQ(Button.HotTrackColor(), clNone);
    EXPECT_EQ(Button.LightColor(), 0xFFFFFFu);
    EXPECT_EQ(Button.ShadowColor(), 0x808080u);
    EXPECT_EQ(Button.Style(), bsNormal);
    EXPECT_EQ(Button.Layout(), blGlyphLeft);
    EXPECT_EQ(Button.Kind(), bkCustom);
    EXPECT_EQ(Button.NumGlyphs(), 0);
    EXPECT_TRUE(Button.Glyph().isNull());
    EXPECT_FALSE(Button.Default() || Button.Cancel() || Button.Flat() || Button.SlowDecease() ||
                 Button.WordWrap() || Button.UseHotTrackFont());
    EXPECT_EQ(Button.focusPolicy(), Qt::StrongFocus) << "TabStop";
    EXPECT_EQ(Button.property("Style").value<TLbButtonStyle>(), bsNormal) << "published as a property";
    EXPECT_TRUE(Button.setProperty("ModalResult", 4));
    EXPECT_EQ(Button.ModalResult(), 4);
}

TEST(LbButton, HotTrackFontStartsAsTheOwningWindowsFont)
{
    TForm Form;
    QFont WindowFont = Form.font();
    WindowFont.setPointSize(17);
    Form.setFont(WindowFont);
    auto* Box = new QGroupBox(&Form);
    QFont BoxFont = WindowFont;
    BoxFont.setPointSize(9);
    Box->setFont(BoxFont);
    EXPECT_EQ(TLbButton(&Form).HotTrackFont(), WindowFont);
    EXPECT_EQ(TLbButton(Box).HotTrackFont(), WindowFont) << "inside a group box";
    QWidget Loose;
    Loose.setFont(BoxFont);
    EXPECT_EQ(TLbButton(&Loose).HotTrackFont(), QApplication::font()) << "no window of class TForm";
}

TEST(LbButton, KindPresetsSetCaptionGlyphAndModalResultUntilModalResultIsAssigned)
{
    struct TRow {
        TLbButtonKind Kind;
        QString Caption;
        const char* Resource;
        int ModalResult;
    };
    const std::vector<TRow> Rows = {
        {bkOK, "OK", ":/LBOK", 1},           {bkCancel, "Abbrechen", ":/LBCANCEL", 2},
        {bkHelp, "Hilfe", ":/LBHELP", 0},    {bkYes, "Ja", ":/LBYES", 6},
        {bkNo, "Nein", ":/LBNO", 7},         {bkClose, QString::fromUtf8("Schließen"), ":/LBCLOSE", 0},
        {bkAbort, "Abbrechen", ":/LBABORT", 3}, {bkRetry, "Wiederholen", ":/LBRETRY", 4},
        {bkIgnore, "Ignorieren", ":/LBIGNORE", 5}, {bkAll, "Alle", ":/LBALL", 8},
    };
    for (const TRow& Row : Rows) {
        TLbButton Button;
        Button.SetKind(Row.Kind);
        EXPECT_EQ(Button.Kind(), Row.Kind);
        EXPECT_EQ(Button.Caption(), Row.Caption) << Row.Resource;
        EXPECT_EQ(Button.ModalResult(), Row.ModalResult) << Row.Resource;
        EXPECT_EQ(Button.NumGlyphs(), 2) << Row.Resource;
        const QImage Resource(Row.Resource);
        EXPECT_EQ(Resource.size(), QSize(36, Row.Kind == bkAll ? 19 : 18)) << Row.Resource;
        EXPECT_EQ(Resource.pixelColor(0, Resource.height() - 1), QColor(128, 128, 0)) << "olive background";
        EXPECT_EQ(Button.Glyph(), Resource) << Row.Resource;
    }

    TLbButton Button;
    Button.SetKind(bkOK);
    Button.SetModalResult(1);
    EXPECT_EQ(Button.Kind(), bkOK) << "an equal value changes nothing";
    Button.SetModalResult(3);
    EXPECT_EQ(Button.Kind(), bkCustom);
    EXPECT_EQ(Button.Caption(), "OK");
    EXPECT_EQ(Button.Glyph(), QImage(":/LBOK"));
    Button.SetKind(bkCustom);
    EXPECT_EQ(Button.Caption(), "OK") << "bkCustom changes nothing but Kind";
    EXPECT_EQ(Button.ModalResult(), 3);
}

TEST(LbButton, GlyphResourcesShowATickACrossAndADownArrow)
{
    auto Has = [](const QImage& Image, int FromX, int ToX, auto Test) {
        for (int Y = 0; Y < Image.height(); ++Y)
            for (int X = FromX; X < ToX; ++X)
                if (Test(Image.pixelColor(X, Y)))
                    return true;
        return false;
    };
    auto Green = [](const QColor& C) { return C.green() >= 128 && C.red() == 0 && C.blue() == 0; };
    auto Red = [](const QColor& C) { return C.red() == 255 && C.green() == 0 && C.blue() == 0; };
    const QImage Ok(":/LBOK");
    EXPECT_TRUE(Has(Ok, 0, 18, Green));
    EXPECT_FALSE(Has(Ok, 18, 36, Green)) << "the disabled cell is grey";
    EXPECT_TRUE(Has(QImage(":/LBCANCEL"), 0, 18, Red));

    const QImage Arrow(":/LBARROW");
    ASSERT_EQ(Arrow.size(), QSize(5, 3));
    QString Shape;
    for (int Y = 0; Y < 3; ++Y)
        for (int X = 0; X < 5; ++X)
            Shape += Arrow.pixelColor(X, Y) == Qt::black ? '#' : Arrow.pixelColor(X, Y) == Qt::white ? '.' : '?';
    EXPECT_EQ(Shape, "#####"
                     ".###."
                     "..#..");
}

TEST(LbButton, ColorStylePresetsSetColoursStyleAndFontColourButReadAsCustom)
{
    TLbButton Button;
    Button.SetFlat(true);
    Button.SetColorStyle(lcsGold);
    EXPECT_EQ(Button.ColorStyle(), lcsCustom);
    EXPECT_EQ(Button.Style(), bsModern);
    EXPECT_FALSE(Button.Flat());
    EXPECT_EQ(Button.Color(), 0x00C0C0u);
    EXPECT_EQ(Button.HotTrackColor(), 0x00DFDFu);
    EXPECT_EQ(Button.ColorWhenDown(), clNone);

    Button.SetColorStyle(lcsQuicken);
    EXPECT_EQ(Button.Style(), bsQuicken);
    EXPECT_EQ(Button.palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(Button.Color(), 0x603000u);
    EXPECT_EQ(Button.LightColor(), 0xC0C0C0u);
    EXPECT_EQ(Button.ColorWhenDown(), 0xAD6529u);

    Button.SetColorStyle(lcsUltraFlatXP);
    EXPECT_EQ(Button.Style(), bsNormal);
    EXPECT_TRUE(Button.Flat());
    EXPECT_EQ(Button.ShadowColor(), 0xB59285u);
    EXPECT_EQ(Button.palette().color(QPalette::WindowText), QColor(Qt::black));

    Button.SetColorStyle(lcsUltraFlat2);
    EXPECT_EQ(Button.Color(), clBtnFace);
    Button.SetColorStyle(lcsCustom);
    EXPECT_EQ(Button.Color(), clBtnFace);
    EXPECT_EQ(Button.LightColor(), 0x000000u) << "lcsCustom changes nothing";
    EXPECT_TRUE(Button.Flat());
}

TEST(LbButton, AssigningAGlyphCountsItsCellsUntilNumGlyphsIsAssigned)
{
    TLbButton Button;
    Button.SetKind(bkOK);
    QImage Strip(36, 18, QImage::Format_RGB32);
    Strip.fill(Qt::red);
    Button.SetGlyph(Strip);
    EXPECT_EQ(Button.NumGlyphs(), 2);
    EXPECT_EQ(Button.Kind(), bkCustom);
    Button.SetNumGlyphs(3);
    EXPECT_EQ(Button.NumGlyphs(), 3);
    Button.SetGlyph(QImage(20, 0, QImage::Format_RGB32));
    EXPECT_EQ(Button.NumGlyphs(), 0);
    Button.SetGlyph(QImage(":/LBALL"));
    EXPECT_EQ(Button.NumGlyphs(), 1) << "36 div 19";
}

TEST_F(LbButtonDialog, ClicksComeFromTheMouseTheKeysAndTheAccelerator)
{
    TLbButton& Other = Button("OtherButton");
    QTest::mouseClick(&Other, Qt::LeftButton);
    EXPECT_EQ(Clicks, Names{"OtherButton"});
    EXPECT_TRUE(Other.hasFocus());

    Clicks.clear();
    QTest::mouseClick(&Other, Qt::LeftButton);
    QTest::mouseDClick(&Other, Qt::LeftButton); // Qt's double-click event alone, as a second press
    QTest::mouseRelease(&Other, Qt::LeftButton);
    EXPECT_EQ(Clicks.size(), 2u) << "a double click is two clicks";

    Clicks.clear();
    QTest::mousePress(&Other, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&Other, Qt::LeftButton, {}, QPoint(300, 150));
    EXPECT_EQ(Clicks.size(), 1u) << "the mouse is captured: a release outside still clicks";
    QTest::mouseClick(&Other, Qt::RightButton);
    EXPECT_EQ(Clicks.size(), 1u) << "only the left button presses";
    QTest::mousePress(&Other, Qt::LeftButton);
    Other.setEnabled(false);
    Other.setEnabled(true);
    QTest::mouseRelease(&Other, Qt::LeftButton);
    EXPECT_EQ(Clicks.size(), 1u) << "assigning Enabled lets go of the press";

    EXPECT_EQ(Key("OtherButton", Qt::Key_Space), Names{"OtherButton"});
    EXPECT_EQ(Key("OtherButton", Qt::Key_Return), Names{"OtherButton"}) << "not the Default button";
    EXPECT_EQ(Key("OtherButton", Qt::Key_A), Names{});

    EXPECT_EQ(Key("Edit1", Qt::Key_C, Qt::AltModifier), Names{"OtherButton"}) << "the \"&\" letter";
    EXPECT_TRUE(Form.findChild<QLineEdit*>("Edit1")->hasFocus()) << "the accelerator leaves the focus";
}

TEST_F(LbButtonDialog, EnterAndEscapeReachDefaultAndCancelUnlessAButtonIsActive)
{
    EXPECT_EQ(Key("Edit1", Qt::Key_Return), Names{"OkButton"});
    EXPECT_EQ(Key("Edit1", Qt::Key_Enter, Qt::KeypadModifier), Names{"OkButton"});
    EXPECT_EQ(Key("Edit1", Qt::Key_Return, Qt::ShiftModifier), Names{"OkButton"});
    EXPECT_EQ(Key("Edit1", Qt::Key_Escape), Names{"CancelButton"});
    EXPECT_EQ(Key("Edit1", Qt::Key_Escape, Qt::ShiftModifier), Names{});
    EXPECT_EQ(Key("Radio1", Qt::Key_Return), Names{"OkButton"}) << "a radio button is no button here";
    EXPECT_EQ(Key("Radio1", Qt::Key_Escape), Names{"CancelButton"});
    EXPECT_EQ(Key("Push1", Qt::Key_Return), Names{});
    EXPECT_EQ(Key("Push1", Qt::Key_Escape), Names{});
    EXPECT_EQ(Key("OtherButton", Qt::Key_Escape), Names{});

    Button("CancelButton").setEnabled(false);
    EXPECT_EQ(Key("Edit1", Qt::Key_Escape), Names{});
    EXPECT_TRUE(Form.isVisible()) << "an Escape nobody takes leaves the window open";
}

TEST_F(LbButtonDialog, DialogKeysStayInTheirOwnWindow)
{
    // A child window (a form with this one as parent) with a Default and a Cancel button of its own.
    auto* Child = new TForm(&Form);
    Child->resize(200, 100);
    for (const char* Name : {"ChildOk", "ChildCancel"}) {
        auto* ChildButton = new TLbButton(Child);
        ChildButton->setObjectName(Name);
        QObject::connect(ChildButton, &TLbButton::OnClick,
                         [this](QObject* Sender) { Clicks.push_back(Sender->objectName()); });
    }
    Child->findChild<TLbButton*>("ChildOk")->SetDefault(true);
    Child->findChild<TLbButton*>("ChildCancel")->SetCancel(true);
    Button("OkButton").SetDefault(false);
    Button("CancelButton").SetCancel(false);
    EXPECT_EQ(Key("Edit1", Qt::Key_Return), Names{}) << "the child window is never shown";
    EXPECT_EQ(Key("Edit1", Qt::Key_Escape), Names{});

    Button("OkButton").SetDefault(true);
    auto* ChildEdit = new QLineEdit(Child);
    ChildEdit->setObjectName("ChildEdit");
    ChildEdit->move(0, 50);
    ShowActive(*Child);
    EXPECT_EQ(Key("ChildEdit", Qt::Key_Return), Names{"ChildOk"});
    EXPECT_EQ(Key("ChildEdit", Qt::Key_Escape), Names{"ChildCancel"});
}

TEST_F(LbButtonDialog, AKeyReleaseClicksOnlyAButtonItsOwnPressPutDown)
{
    // A press on one button and the release on another: neither clicks.
    TLbButton& Other = Button("OtherButton");
    Other.setFocus();
    QTest::keyPress(&Other, Qt::Key_Space);
    Form.findChild<QLineEdit*>("Edit1")->setFocus();
    QTest::keyRelease(&Button("CancelButton"), Qt::Key_Space);
    QTest::keyRelease(&Other, Qt::Key_Space);
    EXPECT_EQ(Clicks, Names{}) << "the focus left the pressed button";
    EXPECT_EQ(Key("OtherButton", Qt::Key_Space), Names{"OtherButton"});

    // Enter in the edit clicks the Default button, which opens a modal window whose OK button has
    // the focus; the release of that same Enter then reaches the OK button.
    TForm Modal(&Form);
    auto* ModalOk = new TLbButton(&Modal);
    ModalOk->SetKind(bkOK);
    int Result = 0;
    QObject::connect(&Button("OkButton"), &TLbButton::OnClick, [&] {
        QTimer::singleShot(0, &Modal, [&] {
            QTest::keyRelease(ModalOk, Qt::Key_Return);
            if (Modal.isVisible())
                Modal.done(-1);
        });
        ModalOk->setFocus();
        Result = Modal.exec();
    });
    EXPECT_EQ(Key("Edit1", Qt::Key_Return), Names{"OkButton"});
    EXPECT_EQ(Result, -1) << "the release must not close the new window";
}

TEST_F(LbButtonDialog, OnClickMayDeleteItsButton)
{
    // Each way of clicking, on a button whose OnClick deletes it; AddressSanitizer tells whether
    // the button is touched afterwards.
    auto Doomed = [this] {
        auto* Button = Add<TLbButton>("Doomed", 170);
        Button->SetCaption("&Delete");
        Button->SetDefault(true);
        Button->show();
        QObject::connect(Button, &TLbButton::OnClick, [](QObject* Sender) { delete Sender; });
        return QPointer<TLbButton>(Button);
    };
    Button("OkButton").SetDefault(false);

    QPointer<TLbButton> Button = Doomed();
    QTest::mouseClick(Button, Qt::LeftButton);
    EXPECT_TRUE(Button.isNull()) << "mouse";

    for (Qt::Key Key : {Qt::Key_Space, Qt::Key_Return}) {
        Button = Doomed();
        Button->setFocus();
        QTest::keyClick(Button, Key);
        EXPECT_TRUE(Button.isNull()) << "key " << Key;
    }

    Button = Doomed();
    Key("Edit1", Qt::Key_Return);
    EXPECT_TRUE(Button.isNull()) << "Enter for the Default button";
    Button = Doomed();
    Key("Edit1", Qt::Key_D, Qt::AltModifier);
    EXPECT_TRUE(Button.isNull()) << "accelerator";
}

TEST_F(LbButtonDialog, ModalResultEndsAModalWindowAfterOnClick)
{
    Form.hide();
    TLbButton& Ok = Button("OkButton");
    Ok.SetKind(bkOK);
    bool VisibleInOnClick = false;
    QObject::connect(&Ok, &TLbButton::OnClick, [&] { VisibleInOnClick = Form.isVisible(); });
    QTimer::singleShot(0, &Form, [&] { QTest::mouseClick(&Ok, Qt::LeftButton); });
    QTimer::singleShot(10000, &Form, [&] { Form.done(-1); }); // only if the click failed
    EXPECT_EQ(Form.exec(), 1);
    EXPECT_TRUE(VisibleInOnClick);
}

TEST_F(LbButtonDialog, PopupMenuOpensAtTheLowerLeftCornerAfterOnClick)
{
    TLbButton& Other = Button("OtherButton");
    QMenu Menu;
    Menu.addAction("Read");
    Other.SetPopupMenu(&Menu);
    bool MenuOpenInOnClick = true;
    QObject::connect(&Other, &TLbButton::OnClick, [&] { MenuOpenInOnClick = Menu.isVisible(); });
    QTest::mouseClick(&Other, Qt::LeftButton);
    EXPECT_FALSE(MenuOpenInOnClick);
    ASSERT_TRUE(WaitUntil([&] { return Menu.isVisible(); }));
    EXPECT_EQ(Menu.pos(), Other.mapToGlobal(QPoint(0, Other.height())));
    Menu.close();
}

TEST_F(LbButtonDialog, PointerEnterAndExitAreReportedForEnabledButtonsOnly)
{
    TLbButton& Other = Button("OtherButton");
    int Entered = 0, Exited = 0;
    QObject::connect(&Other, &TLbButton::OnMouseEnter, [&] { ++Entered; });
    QObject::connect(&Other, &TLbButton::OnMouseExit, [&] { ++Exited; });
    PointerEnters(Other);
    PointerLeaves(Other);
    EXPECT_EQ(Entered, 1);
    EXPECT_EQ(Exited, 1);
    Other.setEnabled(false);
    PointerEnters(Other);
    PointerLeaves(Other);
    EXPECT_EQ(Entered, 1);
    EXPECT_EQ(Exited, 1);
}

TEST(LbButton, ActionLendsItsTextStateAndPictureAndRunsOnClick)
{
    TForm Form;
    auto* Button = new TLbButton(&Form);
    QPixmap Picture(16, 16);
    Picture.fill(Qt::blue);
    QAction Action(QIcon(Picture), "&Read", nullptr);
    int Triggered = 0;
    QObject::connect(&Action, &QAction::triggered, [&] { ++Triggered; });
    Button->SetAction(&Action);
    EXPECT_EQ(Button->Caption(), "&Read");
    EXPECT_EQ(Button->NumGlyphs(), 1);
    EXPECT_EQ(Button->Glyph().size(), QSize(16, 16));
    EXPECT_EQ(Button->Glyph().pixelColor(5, 5), QColor(Qt::blue));
    Action.setEnabled(false);
    EXPECT_FALSE(Button->isEnabled());
    Action.setEnabled(true);
    ShowActive(Form);
    QTest::mouseClick(Button, Qt::LeftButton);
    EXPECT_EQ(Triggered, 1);
}
