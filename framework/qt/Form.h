// The window base class: Enter and Escape are offered to the window's own dialog buttons (not to
// those of its child windows) before anything else handles them, and a button's modal result ends
// the window when it runs modally.
#pragma once

#include <QDialog>

class QKeyEvent;

// A control that may take Enter or Escape for its window (a Default or Cancel button).
class TDialogKeyTarget {
public:
    // Returns true when the key was taken.
    virtual bool DialogKey(const QKeyEvent& Key) = 0;

protected:
    ~TDialogKeyTarget() = default;
};

class TForm : public QDialog {
    Q_OBJECT
public:
    explicit TForm(QWidget* Parent = nullptr);

    // The control that has, or last had, the focus in this window; nullptr when none.
    QWidget* ActiveControl() const { return focusWidget(); }

    int ModalResult() const { return FModalResult; }
    // A nonzero result ends the window when it runs modally; exec() returns it.
    void SetModalResult(int Value);

protected:
    void keyPressEvent(QKeyEvent* Event) override;

private:
    int FModalResult = 0;
};

// The nearest TForm among Object's owners (its QObject parents), or nullptr.
TForm* FindOwnerForm(const QObject* Object);
