#include "Form.h"
#include "QtTestSupport.h"

#include <QLineEdit>
#include <QTimer>

TEST(Form, FindsTheNearestFormAmongTheOwners)
{
    TForm Outer;
    auto* Inner = new TForm(&Outer);
    auto* Panel = new QWidget(Inner);
    auto* Edit = new QLineEdit(Panel);
    EXPECT_EQ(FindOwnerForm(Edit), Inner);
    EXPECT_EQ(FindOwnerForm(Inner), &Outer);
    EXPECT_EQ(FindOwnerForm(&Outer), nullptr);
    QWidget Loose;
    EXPECT_EQ(FindOwnerForm(new QLineEdit(&Loose)), nullptr);
}

TEST(Form, EscapeWithoutACancelButtonKeepsTheWindowAndAModalResultEndsIt)
{
    TForm Form;
    auto* Edit = new QLineEdit(&Form);
    ShowActive(Form);
    Edit->setFocus();
    QTest::keyClick(Edit, Qt::Key_Escape);
    EXPECT_TRUE(Form.isVisible()) << "a plain dialog would have closed";

    Form.hide();
    QTimer::singleShot(0, &Form, [&] {
        Form.SetModalResult(0);
        Form.SetModalResult(7);
    });
    QTimer::singleShot(10000, &Form, [&] { Form.done(-1); }); // only if the result failed
    EXPECT_EQ(Form.exec(), 7);
    EXPECT_EQ(Form.ModalResult(), 7);
}
