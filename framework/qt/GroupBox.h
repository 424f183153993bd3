// The toolkit's group box: an etched frame whose caption sits on the frame's top line, eight pixels
// from the left edge. The style's own group box draws its title above the frame instead.
#pragma once

#include <QGroupBox>

class TGroupBox : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

    // Where the caption is drawn; the frame's top line runs through its middle.
    QRect CaptionRect() const;

protected:
    void paintEvent(QPaintEvent* Event) override;
};
