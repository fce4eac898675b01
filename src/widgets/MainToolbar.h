#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "paint/PaintTools.h"

class QAction;
class QToolBar;

namespace tess::widgets {

// Fills the toolbar tbMain and answers its clicks: left to right "open",
// "save" (a drop-down button whose menu holds "ROM", key "srom", and
// "Palette", key "spal"), a separator, "reload", a separator, "undo",
// "redo", a separator, and the tool buttons "a" to "h", one exclusive group
// with "a" (Pencil) down at start. Buttons show an icon of ilTool1 and a
// tooltip, no caption; each button, action and menu item carries its key as
// objectName.
//
// It also gives the window the keys of pixel editors: Ctrl+Z undo, Ctrl+Y
// and Ctrl+Shift+Z redo, one letter a tool (B I R M E S G U for "a" to "h",
// the group following), and the Selection tool's Ctrl+C, Ctrl+X, Ctrl+V and
// Delete.
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
    MainToolbar(QToolBar* tbMain, paint::PaintTools& tools, FileCommands files,
                std::function<void(const std::function<void()>&)> run);

    // The click handler, given the button's key (compared exactly): "open"
    // loads, "save" saves the ROM, "undo" and "redo" restore, "a" to "h"
    // choose tool 0 to 7; "reload" and any other key do nothing.
    void ButtonClick(const QString& key);
    // The drop-down menu handler: "srom" saves the ROM, "spal" the palette;
    // any other key does nothing.
    void ButtonMenuClick(const QString& key);

private:
    QAction* addButton(const char* key, const char* tooltip, const char* description, int icon);
    void addKeys(QWidget* window);

    QToolBar* tbMain_;
    paint::PaintTools& tools_;
    FileCommands files_;
    std::function<void(const std::function<void()>&)> run_;
};

}  // namespace tess::widgets
