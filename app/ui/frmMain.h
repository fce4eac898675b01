#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>

#include "app/core/CommonDlg.h"
#include "app/core/Messages.h"
#include "app/ui/ProgramState.h"
#include "gamedb/core/SpriteTree.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QStatusBar;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace tess {

namespace gamedb {
class frmAbout;
}
namespace gfx {
class SpriteView;
}
namespace edit {
class PaintTools;
class PalettePanel;
}

// The main window: menus, the two toolbar strips with the palette panel, the
// sprite tree, the sprite view, the status bar, and the handlers behind them.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // endProcess ends the program at once with the given exit code; tests pass
    // a recorder instead.
    frmMain(ProgramState& state, CommonDlg& dialogs, std::function<void(int exitCode)> endProcess);
    ~frmMain() override;

    void setAboutWindow(gamedb::frmAbout* about) { about_ = about; }

    // File > Load with a chosen path (the dialog's answer or the command line).
    void LoadRom(const std::string& path);

    // Handlers, callable from tests exactly as the controls call them.
    void mnuFileLoad_Click();
    void mnuFileSavePalette_Click();
    void mnuFileGameInfo_Click();
    void mnuViewGrid_Click();
    void mnuViewZoomE_Click(int index);
    void mnuHelpTopics_Click();
    void mnuHelpAbout_Click();
    void COMMAND_TEMP_Click();
    // Double-click in the sprite tree: loads the selected sprite after asking
    // about unsaved changes; reports its own errors.
    void tvSprites_DblClick();
    // Asks about unsaved changes, then ends the process; returns when cancelled.
    void ExitProgram();

    QString panelText(int panel) const;  // 1 to 4
    gfx::SpriteView& spriteView() const { return *view_; }
    edit::PalettePanel& palettePanel() const { return *panel_; }
    edit::PaintTools& paintTools() const { return *tools_; }

    // Runs a handler the way the platform runs an uncaught error: its message,
    // then the end of the program.
    void guarded(const std::function<void()>& handler);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildControls();
    // The paint tools: the toolbar, the keys and the canvas's mouse.
    void buildPainting(QToolBar* tbMain);
    void IdentifyGame();
    void fillTreeView();
    void LoadPalette(std::int32_t offset);
    void SavePalette();
    // Asks a Yes/No/Cancel question about unsaved changes.
    MsgAnswer askAboutChanges(const char* text);
    void RemoveTempFiles();
    gfx::TileSize currentSpriteSize();
    QAction* action(QMenu* menu, const char* name, const QString& caption,
                    const std::function<void()>& handler = {});
    QRect twips(int left, int top, int width, int height) const;

    ProgramState& state_;
    CommonDlg& dialogs_;
    std::function<void(int)> endProcess_;
    gamedb::frmAbout* about_ = nullptr;
    gamedb::SpriteTree tree_;
    double sx_ = 15, sy_ = 15;  // twips per pixel

    QMenu* mnuFileSave_ = nullptr;
    QAction* mnuViewGrid_ = nullptr;
    QAction* mnuViewZoomE_[6] = {};
    QTreeWidget* tvSprites_ = nullptr;
    QStatusBar* sbMain_ = nullptr;
    QLabel* panels_[4] = {};
    QPushButton* COMMAND_TEMP_ = nullptr;
    gfx::SpriteView* view_ = nullptr;
    edit::PalettePanel* panel_ = nullptr;
    std::unique_ptr<edit::PaintTools> tools_;
};

}  // namespace tess
