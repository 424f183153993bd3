#include "Accelerator.h"

#include <QKeySequence>
#include <QWidget>

int UpdateAccelerator(QWidget& Widget, int ShortcutId, const QString& Caption)
{
    if (ShortcutId != 0)
        Widget.releaseShortcut(ShortcutId);
    const QKeySequence Mnemonic = QKeySequence::mnemonic(Caption);
    return Mnemonic.isEmpty() ? 0 : Widget.grabShortcut(Mnemonic);
}
