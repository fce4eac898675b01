#pragma once

#include <QFrame>

#include "paint/ScreenColour.h"

namespace tess::widgets {

// A small sunken box filled with one colour: the palette cells picPal(i) and
// the swatches picFore and picBack.
class PaletteCell : public QFrame {
    Q_OBJECT
public:
    explicit PaletteCell(QWidget* parent);

    paint::ScreenColour colour() const { return colour_; }
    void setColour(paint::ScreenColour colour);

signals:
    void released(Qt::MouseButton button);
    void doubleClicked(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    paint::ScreenColour colour_;
};

}  // namespace tess::widgets
