#include "Form.h"

#include <QKeyEvent>

TForm::TForm(QWidget* Parent)
    : QDialog(Parent)
{
}

void TForm::SetModalResult(int Value)
{
    FModalResult = Value;
    if (Value != 0 && isModal() && isVisible())
        done(Value);
}

void TForm::keyPressEvent(QKeyEvent* Event)
{
    const int Key = Event->key();
    if (Key != Qt::Key_Return && Key != Qt::Key_Enter && Key != Qt::Key_Escape) {
        QDialog::keyPressEvent(Event);
        return;
    }
    for (QWidget* Child : findChildren<QWidget*>()) {
        // Controls of a child window (a form with this one as parent) belong to that window.
        if (Child->window() != this)
            continue;
        auto* Target = dynamic_cast<TDialogKeyTarget*>(Child);
        if (Target && Target->DialogKey(*Event)) {
            Event->accept();
            return;
        }
    }
    // No button took it: the window neither closes on Escape nor picks a default push button.
    Event->ignore();
}

TForm* FindOwnerForm(const QObject* Object)
{
    for (QObject* Owner = Object ? Object->parent() : nullptr; Owner; Owner = Owner->parent())
        if (auto* Form = qobject_cast<TForm*>(Owner))
            return Form;
    return nullptr;
}
