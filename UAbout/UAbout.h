// The About window: the software's identity, the maker's logo and links to the maker's web page
// and mail address.
#pragma once

#include "Form.h"

class QLabel;
class TLbButton;

class TFAbout : public TForm {
public:
    explicit TFAbout(QWidget* Parent = nullptr);

    // Where the logo and the web link lead, and the mail link's target.
    static QString WebPage();
    static QString MailTarget();

    QLabel* Image2;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9, *Label10;
    TLbButton* LbButton1;

    void Label4Click();
    void Label5Click();

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
};

extern TFAbout* FAbout;
