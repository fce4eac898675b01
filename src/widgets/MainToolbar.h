#pragma once

#include <QObject>
#include <functional>

#include "paint/PaintTools.h"

class QAction;
class QToolBar;

namespace tess::widgets {

// Fills the toolbar tbMain and answers its clicks: left to right "open"
// (File > Load), "save" (Save ROM; a drop-down button whose menu holds "ROM",
// key "srom", for Save ROM and "Palette", key "spal", for Save Palette), a
// separator, "reload" (does nothing), a separator, "undo", "redo", a
// separator, and the tool buttons "a" to "h" choosing tools 0 to 7, one
// exclusive group with "a" (Pencil) down at start. Buttons show an icon of
// ilTool1 and a tooltip, no caption; each button, action and menu item
// carries its key as objectName.
//
// It also gives the window the keys of pixel editors: Ctrl+Z undo, Ctrl+Y
// and Ctrl+Shift+Z redo, one letter a tool (B I R M E S G U for "a" to "h",
// the group following), and the Selection tool's Ctrl+C, Ctrl+X, Ctrl+V,
// Delete, Enter (drops a floating block) and Esc (cancels it).
class MainToolbar : public QObject {
    Q_OBJECT
public:
    // The file commands the toolbar starts.
    struct FileCommands {
        std::function<void()> load;         // File > Load
        std::function<void()> saveRom;      // File > Save ROM
        std::function<void()> savePalette;  // File > Save Palette
    };
    // `run` runs each handler with the window's error handling.
    MainToolbar(QToolBar* tbMain, paint::PaintTools& tools, const FileCommands& files,
                std::function<void(const std::function<void()>&)> run);

private:
    // A button running `handler` (none for a button that does nothing).
    QAction* addButton(const char* key, const char* tooltip, const char* description, int icon,
                       std::function<void()> handler);
    // Runs the handler with the window's error handling.
    void connectTo(QAction* action, std::function<void()> handler);
    void addKeys(QWidget* window);

    QToolBar* tbMain_;
    paint::PaintTools& tools_;
    std::function<void(const std::function<void()>&)> run_;
};

}  // namespace tess::widgets
