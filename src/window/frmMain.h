#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "base/CommonDlg.h"
#include "gamedb/SpriteTree.h"
#include "sprites/SpriteImage.h"
#include "sprites/SpriteSelection.h"
#include "sprites/TempFiles.h"
#include "window/ProgramState.h"
#include "window/UnsavedPainting.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QStatusBar;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace tess::paint {
class PaintTools;
}
namespace tess::widgets {
class SpritePanel;
class frmAbout;
class PalettePanel;
class SpriteView;
}  // namespace tess::widgets

namespace tess::window {

// The main window: menus, the two toolbar strips with the palette panel, the
// sprite tree, the sprite view, the status bar, and the handlers behind them.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // endProcess ends the program at once with the given exit code; tests pass
    // a recorder instead.
    frmMain(ProgramState& state, CommonDlg& dialogs, std::function<void(int exitCode)> endProcess);
    ~frmMain() override;

    void setAboutWindow(widgets::frmAbout* about) { about_ = about; }

    // File > Load with a chosen path (the dialog's answer or the command line).
    void LoadRom(const std::string& path);

    // Handlers, callable from tests exactly as the controls call them.
    void mnuFileLoad_Click();
    // Save ROM: writes the loaded sprite back into the ROM. While it runs,
    // the window stays responsive, but a second save, File > Load, Save
    // Palette and a sprite selection are refused and exit waits for its end.
    void mnuFileSaveRom_Click();
    void mnuFileSavePalette_Click();
    // File > Import Sprite...: a 16-colour bitmap laid over the loaded sprite.
    // The menu item stays disabled; the handler is reached from the code.
    void mnuFileImport_Click();
    void ImportBitmap(const std::string& path);
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

    bool saving() const { return saving_; }

    // The tree's context menu for a sprite node ("Export Image...", "Import
    // Image...", and "Compressed Size..." for a compressed sprite); nothing
    // for headings. The caller owns the menu.
    QMenu* spriteMenu(QTreeWidgetItem* node);
    // Lays a PNG or 4-bit BMP into the loaded sprite as an edit (Import
    // Image... and a file dropped on the sprite view).
    void importImage(const std::string& path);

    QString panelText(int panel) const;  // 1 to 4
    widgets::SpriteView& spriteView() const { return *view_; }
    widgets::PalettePanel& palettePanel() const { return *panel_; }
    paint::PaintTools& paintTools() const { return *tools_; }

    // Runs a handler the way the platform runs an uncaught error: its message,
    // then the end of the program.
    void guarded(const std::function<void()>& handler);
    // Ends the program at once, as an error that ends it does: unsaved
    // painting is kept for the next session first.
    void endProgram(int exitCode);

protected:
    void closeEvent(QCloseEvent* event) override;
    // Watches the keys of the whole window, whichever control has the focus:
    // Shift changes the Shape's preview at once, and Space held with the
    // pointer over the view pans it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildControls();
    // Places the controls for a client area `extra` pixels larger than its
    // design size (none at the start size).
    void placeControls(QSize extra);
    // The paint tools: the toolbar, the keys and the canvas's mouse.
    void buildPainting(QToolBar* tbMain);
    void IdentifyGame();
    void fillTreeView();
    void LoadPalette(std::int32_t offset);
    // The palette was just read from the loaded ROM: it belongs to that ROM
    // now, and the panel shows it.
    void paletteLoaded();
    void SavePalette();
    // The unsaved-change prompts of a sprite switch and of the exit: Yes saves
    // the palette or the sprite, No forgets the change when `noForgets` (a
    // switch), Cancel returns false at once.
    bool resolveUnsavedChanges(bool noForgets);
    tiles::SpriteChoice choiceOf(const QTreeWidgetItem* node) const;
    // Whether the sprite on screen is this sprite of the loaded ROM, loaded
    // completely.
    bool isShown(const tiles::SpriteChoice& sprite) const;
    // A sprite as it stands now: the one on screen with its edits, or else
    // loaded apart into `apart`. Nothing, after the processing-error box,
    // when its table lacks it.
    struct SpriteAtHand {
        tiles::SpriteDocument& doc;
        sprites::SpriteColours colours;
        const sprites::TempFiles& files;
        bool onScreen;
    };
    std::optional<SpriteAtHand> spriteAtHand(const tiles::SpriteChoice& sprite,
                                             std::optional<sprites::DetachedSprite>& apart);
    void exportSpriteImage(const tiles::SpriteChoice& sprite);
    void importSpriteImage(QTreeWidgetItem* node);
    void showCompressedSize(const tiles::SpriteChoice& sprite);
    // The sprite's pixels changed, by whatever means: they are kept for a
    // later session and measured again.
    void pixelsChanged();
    // Lays pixels made outside the paint tools (an image, painting kept from
    // an earlier session) into the sprite as one undo step, and shows them.
    void layEdit(const std::function<void()>& edit);
    // Runs a context-menu action, reporting its errors as a selection does.
    void trapped(const std::function<void()>& action);
    // True, with a beep, while a save runs: the command must wait.
    bool refusedWhileSaving();
    // Runs pending events now and then while a save writes.
    void letEventsRun();
    tiles::TileSize currentSpriteSize() const;
    QAction* action(QMenu* menu, const char* name, const QString& caption,
                    const std::function<void()>& handler = {});
    // Asks for a file to read (or to write) through the dialog seam, in the
    // folder where the dialog of this title last found one in this run.
    std::string chooseFile(OpenFileRequest request, bool toWrite = false);
    QRect twips(int left, int top, int width, int height) const;

    ProgramState& state_;
    CommonDlg& dialogs_;
    std::function<void(int)> endProcess_;
    widgets::frmAbout* about_ = nullptr;
    gamedb::SpriteTree tree_;
    sprites::TempFiles tempFiles_;  // in the current directory
    UnsavedPainting* unsaved_ = nullptr;
    widgets::SpritePanel* spritePanel_ = nullptr;
    bool saving_ = false;
    bool exitAfterSave_ = false;
    QElapsedTimer sinceEvents_;
    double sx_ = 15, sy_ = 15;  // twips per pixel
    // The last folder of each file dialog, by title, for this run only: the
    // program keeps no settings.
    std::map<std::string, std::string> lastFolders_;

    QMenu* mnuFileSave_ = nullptr;
    QAction* mnuViewGrid_ = nullptr;
    QAction* mnuViewZoomE_[6] = {};
    QToolBar* tbMain_ = nullptr;
    QToolBar* tbEtc_ = nullptr;
    QTreeWidget* tvSprites_ = nullptr;
    QStatusBar* sbMain_ = nullptr;
    QLabel* panels_[4] = {};
    QPushButton* COMMAND_TEMP_ = nullptr;
    widgets::SpriteView* view_ = nullptr;
    widgets::PalettePanel* panel_ = nullptr;
    std::unique_ptr<paint::PaintTools> tools_;
};

}  // namespace tess::window
