#include "widgets/PaletteCell.h"

#include <QMouseEvent>
#include <QPainter>

namespace tess::widgets {

PaletteCell::PaletteCell(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
}

void PaletteCell::setColour(paint::ScreenColour colour) {
    colour_ = colour;
    update();
}

void PaletteCell::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(colour_.r, colour_.g, colour_.b));
    drawFrame(&painter);
}

void PaletteCell::mouseReleaseEvent(QMouseEvent* event) { emit released(event->button()); }

void PaletteCell::mouseDoubleClickEvent(QMouseEvent* event) { emit doubleClicked(event->button()); }

}  // namespace tess::widgets
