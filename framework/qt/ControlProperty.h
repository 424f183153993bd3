// A control's property setter: a new value is stored and the control repainted; the value it
// already has changes nothing.
#pragma once

#include <QWidget>

// True when Value was new.
template <class TField, class TValue>
bool SetAndRepaint(QWidget& Control, TField& Field, const TValue& Value)
{
    if (Field == Value)
        return false;
    Field = Value;
    Control.update();
    return true;
}
