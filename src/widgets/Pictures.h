#pragma once

#include <QIcon>
#include <QPixmap>

namespace tess::widgets {

// The program's own pictures, drawn in code so that no image file is needed.
QPixmap ProgramPicture();  // 48 x 48, for the About window and the window icon
QIcon HeadingIcon();       // tree image 1
QIcon SpriteIcon();        // tree image 2

}  // namespace tess::widgets
