#include "UAbout.h"

#include "Designer.h"
#include "LbButton.h"
#include "Shell.h"
#include "WindowLook.h"

#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>

TFAbout* FAbout = nullptr;

namespace {

constexpr TColor TextColor = RGB(51, 51, 51);

// Clicks reach the window's event filter; the hand says the label can be clicked.
void MakeClickable(QLabel* Label, QObject* Filter)
{
    Label->setCursor(Qt::PointingHandCursor);
    Label->installEventFilter(Filter);
}

void ShowAsLink(QLabel* Label)
{
    QPalette Palette = Label->palette();
    Palette.setColor(QPalette::WindowText, Qt::blue);
    Label->setPalette(Palette);
    QFont Font = Label->font();
    Font.setUnderline(true);
    Label->setFont(Font);
    Label->adjustSize();
}

} // namespace

QString TFAbout::WebPage() { return QStringLiteral("https://www.brimtor.example/HOME/default.asp?frompg=SW30415"); }

QString TFAbout::MailTarget() { return QStringLiteral("mailto:info@brimtor.example"); }

TFAbout::TFAbout(QWidget* Parent)
    : TForm(Parent)
{
    setWindowTitle(QStringLiteral("About..."));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(378, 148);
    SetWindowLook(*this);
    QPalette Palette = palette();
    Palette.setColor(QPalette::WindowText, ToQColor(TextColor));
    setPalette(Palette);
    CentreOnScreen(*this);

    Image2 = Place(new QLabel(this), "Image2", 8, 24, 81, 81);
    Image2->setPixmap(QPixmap::fromImage(QImage(QStringLiteral(":/LOGO"))));
    Image2->setScaledContents(true);
    MakeClickable(Image2, this);

    Label1 = NewLabel(this, "Label1", QStringLiteral("Software Brimtor"), 96, 24);
    Label1->setFont(PixelFont(QStringLiteral("Verdana"), 13, true));
    Label1->adjustSize();
    Label2 = NewLabel(this, "Label2", QStringLiteral("Adapter RS232/RS485/USB from/to Fiber Optic"), 96, 40);
    Label3 = NewLabel(this, "Label3", QStringLiteral("Software Code :"), 96, 61);
    Label8 = NewLabel(this, "Label8", QStringLiteral("SW30415"), 216, 61);
    Label6 = NewLabel(this, "Label6", QStringLiteral("Version :"), 96, 77);
    Label9 = NewLabel(this, "Label9", QStringLiteral(SW_VERSION), 216, 77);
    Label7 = NewLabel(this, "Label7", QStringLiteral("Document Code :"), 96, 93);
    Label10 = NewLabel(this, "Label10", QStringLiteral("MN30415"), 216, 93);

    Label4 = NewLabel(this, "Label4", QStringLiteral("brimtor.example"), 268, 135);
    ShowAsLink(Label4);
    MakeClickable(Label4, this);
    Label5 = NewLabel(this, "Label5", QStringLiteral("info@brimtor.example"), 96, 115);
    ShowAsLink(Label5);
    MakeClickable(Label5, this);
    Label5->setVisible(false);

    LbButton1 = Place(new TLbButton(this), "LbButton1", 8, 115, 81, 22);
    LbButton1->SetStyle(bsEncarta);
    LbButton1->SetGlyph(QImage(QStringLiteral(":/LBOK")));
    LbButton1->SetCaption(QStringLiteral("OK"));
    LbButton1->SetModalResult(1);
}

void TFAbout::Label4Click() { ShellOpen(WebPage().toStdString()); }

void TFAbout::Label5Click() { ShellOpen(MailTarget().toStdString()); }

bool TFAbout::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() != QEvent::MouseButtonRelease ||
        static_cast<QMouseEvent*>(Event)->button() != Qt::LeftButton)
        return TForm::eventFilter(Watched, Event);
    if (Watched == Image2 || Watched == Label4)
        Label4Click();
    else if (Watched == Label5)
        Label5Click();
    return true;
}
