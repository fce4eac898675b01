#include "widgets/Pictures.h"

#include <QPainter>

namespace tess::widgets {
namespace {

// A tiny 8 x 8 sprite drawn as a pixel grid: a nod to what the program edits.
constexpr const char* kInvader[8] = {"..1..1..", "...11...", "..1111..", ".11.11.1",
                                     "11111111", "1.1111.1", "1.1..1.1", "...11..."};

QPixmap pixelArt(int cell, QColor ink, QColor paper) {
    QPixmap pm(8 * cell, 8 * cell);
    pm.fill(paper);
    QPainter p(&pm);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            if (kInvader[y][x] == '1') p.fillRect(x * cell, y * cell, cell, cell, ink);
        }
    }
    return pm;
}

}  // namespace

QPixmap ProgramPicture() { return pixelArt(6, QColor(40, 120, 200), QColor(255, 0, 255, 0)); }

QIcon HeadingIcon() {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(150, 110, 20));
    p.setBrush(QColor(240, 200, 90));
    p.drawRect(1, 4, 13, 10);
    p.drawRect(1, 2, 6, 2);
    return QIcon(pm);
}

QIcon SpriteIcon() { return QIcon(pixelArt(2, QColor(30, 140, 60), Qt::transparent)); }

}  // namespace tess::widgets
