#pragma once

#include <QFrame>

#include "edit/core/ScreenColour.h"

namespace tess::edit {

// A small sunken box filled with one colour: the palette cells picPal(i) and
// the swatches picFore and picBack.
class PaletteCell : public QFrame {
    Q_OBJECT
public:
    explicit PaletteCell(QWidget* parent);

    ScreenColour colour() const { return colour_; }
    void setColour(ScreenColour colour);

signals:
    void released(Qt::MouseButton button);
    void doubleClicked(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    ScreenColour colour_;
};

}  // namespace tess::edit
