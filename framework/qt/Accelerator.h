// A caption's "&" letter as the control's accelerator (Alt and the letter).
#pragma once

class QString;
class QWidget;

// Replaces Widget's accelerator ShortcutId (0 for none) by the one Caption marks; returns its id,
// 0 when Caption marks none. The widget then receives QEvent::Shortcut.
int UpdateAccelerator(QWidget& Widget, int ShortcutId, const QString& Caption);
