#include "LbButton.h"

#include "Accelerator.h"
#include "LbButtonThread.h"
#include "SynchronizeHook.h"

#include <QApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

namespace {

bool IsClickKey(int Key) { return Key == Qt::Key_Return || Key == Qt::Key_Enter || Key == Qt::Key_Space; }

} // namespace

TLbButton::TLbButton(QWidget* Parent)
    : QWidget(Parent)
{
    InstallWakeMainThread();
    setFocusPolicy(Qt::StrongFocus);
    resize(sizeHint());
    // The owning window's font, also for a button inside a group box or a panel of that window.
    const TForm* Owner = FindOwnerForm(this);
    FHotTrackFont = Owner ? Owner->font() : QApplication::font();
    StartFadeThread();
}

TLbButton::~TLbButton() { StopFadeThread(); }

void TLbButton::StartFadeThread()
{
    FFadeThread = std::make_unique<TLbButtonThread>([this] { FadeStep(); });
    FFadeThread->SetFreeOnTerminate(false);
}

void TLbButton::StopFadeThread()
{
    if (!FFadeThread)
        return;
    // Termination first, so that the resumed thread leaves at once instead of fading one more step;
    // the wait serves a step that is already pending, so it cannot deadlock.
    try {
        FFadeThread->TerminateAndWait();
    } catch (...) {
        // The button goes on without its thread, whatever went wrong with it.
    }
    FFadeThread.reset();
}

void TLbButton::FadeStep()
{
    // Once the thread is asked to stop (SlowDecease off, or the button going away) a pending step
    // must not suspend it again: the wait for its end would never return.
    if (!FFadeThread || FFadeThread->Terminated())
        return;
    if (--FFadeLevel <= 0) {
        if (!FFadeThread->Suspended())
            FFadeThread->Suspend();
        FFadeLevel = 0;
    }
    update();
}

void TLbButton::SetCaption(const QString& Value)
{
    if (SetAndRepaint(*this, FCaption, Value))
        FShortcutId = UpdateAccelerator(*this, FShortcutId, FCaption);
}

void TLbButton::SetGlyph(const QImage& Value)
{
    const int Cells = Value.height() > 0 ? Value.width() / Value.height() : 0;
    if (Value == FGlyph && Cells == FNumGlyphs && FKind == bkCustom)
        return;
    FGlyph = Value;
    FNumGlyphs = Cells;
    FKind = bkCustom;
    update();
}

void TLbButton::SetModalResult(int Value)
{
    if (Value == FModalResult)
        return;
    FModalResult = Value;
    FKind = bkCustom;
}

void TLbButton::SetSlowDecease(bool Value)
{
    if (Value == FSlowDecease)
        return;
    FSlowDecease = Value;
    if (Value && !FFadeThread) {
        StartFadeThread();
    } else if (!Value && FFadeThread) {
        FFadeLevel = 0;
        StopFadeThread();
    }
    update();
}

void TLbButton::SetFontColor(TColor Value)
{
    QPalette Palette = palette();
    Palette.setColor(QPalette::WindowText, ToQColor(Value));
    setPalette(Palette);
}

void TLbButton::SetAction(QAction* Value)
{
    if (Value == FAction)
        return;
    if (FAction)
        disconnect(FAction, nullptr, this, nullptr);
    FAction = Value;
    if (FAction) {
        connect(FAction, &QAction::changed, this, &TLbButton::ActionChanged);
        ActionChanged();
    }
}

void TLbButton::ActionChanged()
{
    SetCaption(FAction->text());
    setEnabled(FAction->isEnabled());
    setVisible(FAction->isVisible());
    setToolTip(FAction->toolTip());
    // The action's picture becomes a one-cell glyph, unless the button has a glyph of its own.
    if (!FGlyph.isNull() || FAction->icon().isNull())
        return;
    const QList<QSize> Sizes = FAction->icon().availableSizes();
    const QSize Size = Sizes.isEmpty() ? QSize(16, 16) : Sizes.first();
    FGlyph = QImage(Size, QImage::Format_RGB32);
    FGlyph.fill(ToQColor(clFuchsia));
    QPainter Painter(&FGlyph);
    Painter.drawPixmap(0, 0, FAction->icon().pixmap(Size));
    FNumGlyphs = 1;
    update();
}

void TLbButton::Click()
{
    FDown = true;
    QPointer<TLbButton> Alive(this);
    DoClick();
    if (Alive && FAction)
        FAction->trigger();
}

void TLbButton::DoClick()
{
    if (isHidden() || !isEnabled() || !FDown)
        return;
    FDown = false;
    QPointer<TLbButton> Alive(this);
    emit OnClick(this);
    if (!Alive)
        return;
    if (FModalResult != 0)
        if (auto* Form = qobject_cast<TForm*>(window()))
            Form->SetModalResult(FModalResult);
    if (FPopupMenu)
        FPopupMenu->popup(mapToGlobal(QPoint(0, height())));
}

bool TLbButton::DialogKey(const QKeyEvent& Key)
{
    const bool Enter = Key.key() == Qt::Key_Return || Key.key() == Qt::Key_Enter;
    const bool Escape = Key.key() == Qt::Key_Escape && FCancel &&
        !(Key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) && !isHidden() &&
        isEnabled();
    if (!(Enter && FDefault) && !Escape)
        return false;
    // A focused button of any kind takes Enter and Escape for itself; radio buttons do not. With no
    // owning form, or no active control in it, there is nothing to defer to and the key is taken.
    if (const TForm* Form = FindOwnerForm(this); Form && Form->ActiveControl()) {
        const QByteArray Name = QByteArray(Form->ActiveControl()->metaObject()->className()).toUpper();
        if (Name.contains("BUTTON") && !Name.contains("RADIOBUTTON"))
            return false;
    }
    Click();
    return true;
}

bool TLbButton::event(QEvent* Event)
{
    if (Event->type() == QEvent::Shortcut) {
        // The focus stays where it is.
        if (!isHidden() && isEnabled() && ParentShowing())
            Click();
        return true;
    }
    return QWidget::event(Event);
}

void TLbButton::enterEvent(QEnterEvent* Event)
{
    QWidget::enterEvent(Event);
    if (!isEnabled() || isHidden() || !ParentShowing())
        return;
    FMouseOver = true;
    FFadeLevel = 8;
    update();
    emit OnMouseEnter(this);
}

void TLbButton::leaveEvent(QEvent* Event)
{
    QWidget::leaveEvent(Event);
    FMouseOver = false;
    if (FSlowDecease && FFadeThread) {
        // A fade that is already running just goes on.
        if (FFadeThread->Suspended())
            FFadeThread->Resume();
    } else {
        FFadeLevel = 0;
        update();
    }
    if (isEnabled() && !isHidden() && ParentShowing())
        emit OnMouseExit(this);
}

void TLbButton::mousePressEvent(QMouseEvent* Event)
{
    if (Event->button() == Qt::LeftButton && isEnabled()) {
        FDown = true;
        setFocus(Qt::MouseFocusReason);
        update();
    }
}

void TLbButton::mouseReleaseEvent(QMouseEvent*)
{
    // Qt keeps the mouse grabbed while a button is held, so a release outside still clicks.
    if (FDown) {
        // OnClick may delete the button.
        QPointer<TLbButton> Alive(this);
        Click();
        if (!Alive)
            return;
    }
    FDown = false;
    update();
}

void TLbButton::keyPressEvent(QKeyEvent* Event)
{
    if (!isEnabled() || !IsClickKey(Event->key())) {
        QWidget::keyPressEvent(Event);
        return;
    }
    FDown = true;
    FKeyDown = true;
    update();
}

void TLbButton::keyReleaseEvent(QKeyEvent* Event)
{
    // Only the real release counts: a held key repeats its presses, not its releases, on Windows.
    if (Event->isAutoRepeat())
        return;
    if (!IsClickKey(Event->key())) {
        QWidget::keyReleaseEvent(Event);
        update();
        return;
    }
    // The release of a key pressed elsewhere (Enter in an edit that clicked the Default button,
    // which opened the window this button is in) does not click.
    const bool Pressed = FKeyDown && FDown;
    FKeyDown = false;
    if (Pressed) {
        // OnClick may delete the button.
        QPointer<TLbButton> Alive(this);
        Click();
        if (!Alive)
            return;
    }
    update();
}

void TLbButton::focusInEvent(QFocusEvent* Event)
{
    QWidget::focusInEvent(Event);
    update();
}

void TLbButton::focusOutEvent(QFocusEvent* Event)
{
    QWidget::focusOutEvent(Event);
    // The release of a key pressed here goes to another control now: the press is abandoned.
    if (FKeyDown) {
        FKeyDown = false;
        FDown = false;
    }
    update();
}

void TLbButton::changeEvent(QEvent* Event)
{
    QWidget::changeEvent(Event);
    if (Event->type() == QEvent::EnabledChange) {
        FDown = false;
        FKeyDown = false;
        update();
    } else if (Event->type() == QEvent::FontChange || Event->type() == QEvent::PaletteChange) {
        update();
    }
}
