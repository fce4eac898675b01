#pragma once

#include <QIcon>

namespace tess::widgets {

// Icon `number` (1 to 13, else 9) of the image list ilTool1, the toolbar's
// 16 x 16 pictures: 1 open, 2 save, 3 undo, 4 redo, 5 pencil, 6 eyedropper,
// 7 colour replacer, 8 selection, 9 eraser, 10 spray can, 11 paint bucket,
// 12 shape, 13 reload. Each holds a 16 x 16 and a 32 x 32 picture, so that
// it is drawn without smoothing at device pixel ratios 1 and 2.
QIcon ToolIcon(int number);

}  // namespace tess::widgets
