#include "app/ui/frmMain.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>
#include <algorithm>
#include <filesystem>

#include "app/core/ErrorReporting.h"
#include "edit/core/PaintTools.h"
#include "edit/ui/MainToolbar.h"
#include "edit/ui/PalettePanel.h"
#include "gamedb/core/GameSummary.h"
#include "gamedb/core/Identify.h"
#include "gamedb/ui/Pictures.h"
#include "gamedb/ui/frmAbout.h"
#include "gfx/core/Twips.h"
#include "gfx/selection/SpriteSelection.h"
#include "gfx/ui/SpriteView.h"

namespace tess {
namespace {

constexpr int kKeyRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;

// Client area of the window, in twips.
constexpr int kClientWidth = 9315;
constexpr int kClientHeight = 6720;

// The tree's double-click event carries no node: the handler works on the
// selected node, which a double-click on an empty part of the tree keeps.
class SpriteTreeWidget : public QTreeWidget {
public:
    SpriteTreeWidget(QWidget* parent, std::function<void()> onDoubleClick)
        : QTreeWidget(parent), onDoubleClick_(std::move(onDoubleClick)) {}

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        QTreeWidget::mouseDoubleClickEvent(event);
        onDoubleClick_();
    }

private:
    std::function<void()> onDoubleClick_;
};

}  // namespace

frmMain::frmMain(ProgramState& state, CommonDlg& dialogs, std::function<void(int)> endProcess)
    : state_(state), dialogs_(dialogs), endProcess_(std::move(endProcess)) {
    setObjectName("frmMain");
    setWindowTitle("Tessellane");
    setWindowIcon(QIcon(gamedb::ProgramPicture()));
    sx_ = gfx::twipsPerPixel(logicalDpiX());
    sy_ = gfx::twipsPerPixel(logicalDpiY());
    buildMenus();
    buildControls();
}

frmMain::~frmMain() = default;

QRect frmMain::twips(int left, int top, int width, int height) const {
    return QRect(gfx::twipsToPixels(left, sx_), gfx::twipsToPixels(top, sy_),
                 gfx::twipsToPixels(width, sx_), gfx::twipsToPixels(height, sy_));
}

QAction* frmMain::action(QMenu* menu, const char* name, const QString& caption,
                         const std::function<void()>& handler) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    if (handler) connect(a, &QAction::triggered, this, [this, handler] { guarded(handler); });
    return a;
}

void frmMain::buildMenus() {
    QMenuBar* bar = menuBar();

    QMenu* file = bar->addMenu("&File");
    file->setObjectName("mnuFile");
    action(file, "mnuFileLoad", "&Load...", [this] { mnuFileLoad_Click(); });
    mnuFileSave_ = file->addMenu("&Save");
    mnuFileSave_->setObjectName("mnuFileSave");
    mnuFileSave_->menuAction()->setEnabled(false);
    action(mnuFileSave_, "mnuFileSaveRom", "Save ROM");
    action(mnuFileSave_, "mnuFileSavePalette", "Save &Palette", [this] { mnuFileSavePalette_Click(); });
    action(file, "mnuFileImport", "Import Sprite...")->setEnabled(false);
    file->addSeparator()->setObjectName("mnuFileSep1");
    action(file, "mnuFileGameInfo", "Game Information", [this] { mnuFileGameInfo_Click(); });
    file->addSeparator()->setObjectName("mnuFileSep2");
    action(file, "mnuFileExit", "E&xit", [this] { ExitProgram(); });

    QMenu* view = bar->addMenu("&View");
    view->setObjectName("mnuView");
    mnuViewGrid_ = action(view, "mnuViewGrid", "&Grid", [this] { mnuViewGrid_Click(); });
    mnuViewGrid_->setCheckable(true);
    mnuViewGrid_->setShortcut(QKeySequence("Ctrl+G"));
    QMenu* zoom = view->addMenu("Zoom");
    zoom->setObjectName("mnuViewZoom");
    const char* zooms[] = {"1", "4", "6", "8", "16", "24"};
    for (int i = 0; i < 6; ++i) {
        const QByteArray name = QString("mnuViewZoomE%1").arg(i).toLatin1();
        mnuViewZoomE_[i] = action(zoom, name.constData(), zooms[i], [this, i] { mnuViewZoomE_Click(i); });
        mnuViewZoomE_[i]->setCheckable(true);
        mnuViewZoomE_[i]->setChecked(i == 3);
    }

    QMenu* compression = bar->addMenu("Compression");
    compression->setObjectName("mnuCompression");
    compression->menuAction()->setEnabled(false);
    action(compression, "mnuCompressionDump", "Dump offset...");
    action(compression, "mnuCompressionCompress", "Compress Data...");

    QMenu* help = bar->addMenu("Help");
    help->setObjectName("mnuHelp");
    action(help, "mnuHelpTopics", "Help Topics", [this] { mnuHelpTopics_Click(); });
    help->addSeparator()->setObjectName("mnuHelpSep1");
    action(help, "mnuHelpAbout", "&About", [this] { mnuHelpAbout_Click(); });
}

void frmMain::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName("client");
    client->setFixedSize(twips(0, 0, kClientWidth, kClientHeight).size());
    setCentralWidget(client);

    auto* tbMain = new QToolBar(client);
    tbMain->setObjectName("tbMain");
    tbMain->setGeometry(twips(0, 0, 9315, 360));
    auto* tbEtc = new QToolBar(client);
    tbEtc->setObjectName("tbEtc");
    tbEtc->setGeometry(twips(0, 360, 9315, 360));

    // Entry 0 of the palette is the window's background until the user edits it.
    const QColor background = palette().color(QPalette::Window);
    state_.Palette.applyChosenColour(
        0, {static_cast<std::uint8_t>(background.red()), static_cast<std::uint8_t>(background.green()),
            static_cast<std::uint8_t>(background.blue())});

    view_ = new gfx::SpriteView(client, state_.Sprite, state_.Palette);
    view_->placeControls(sx_, sy_);
    view_->setSpriteSizeSource([this] { return currentSpriteSize(); });

    panel_ = new edit::PalettePanel(
        tbEtc, state_.Palette, dialogs_, [this] { return !state_.RomPath.empty(); },
        [this] { view_->RedrawSprite(); });
    panel_->placeControls(sx_, sy_);
    buildPainting(tbMain);

    tvSprites_ = new SpriteTreeWidget(client, [this] { tvSprites_DblClick(); });
    tvSprites_->setObjectName("tvSprites");
    tvSprites_->setHeaderHidden(true);
    tvSprites_->setGeometry(twips(60, 780, 2355, 5595));

    sbMain_ = new QStatusBar(client);
    sbMain_->setObjectName("sbMain");
    sbMain_->setSizeGripEnabled(false);
    sbMain_->setGeometry(twips(0, 6405, 9315, 315));
    const char* initial[] = {"Game: None", "Status: Ready", "Mouse: (%x, %y)", "Progress:"};
    for (int i = 0; i < 4; ++i) {
        panels_[i] = new QLabel(initial[i], sbMain_);
        panels_[i]->setObjectName(QString("sbMainPanel%1").arg(i + 1));
        sbMain_->addWidget(panels_[i], i == 0 ? 2 : 1);
    }

    COMMAND_TEMP_ = new QPushButton("^_^", client);
    COMMAND_TEMP_->setObjectName("COMMAND_TEMP");
    COMMAND_TEMP_->setGeometry(twips(5520, 0, 915, 315));
    COMMAND_TEMP_->hide();
    connect(COMMAND_TEMP_, &QPushButton::clicked, this, [this] { guarded([this] { COMMAND_TEMP_Click(); }); });

    view_->disableScrollBars();
    adjustSize();
    setFixedSize(sizeHint());
}

void frmMain::buildPainting(QToolBar* tbMain) {
    tools_ = std::make_unique<edit::PaintTools>(state_.Sprite, panel_->swatches(), state_.Palette, *view_);
    auto trigger = [this](const char* name) { return [this, name] { findChild<QAction*>(name)->trigger(); }; };
    new edit::MainToolbar(tbMain, *tools_,
                          {trigger("mnuFileLoad"), trigger("mnuFileSaveRom"), trigger("mnuFileSavePalette")},
                          [this](const std::function<void()>& handler) { guarded(handler); });

    const gfx::SpriteCanvas* canvas = view_->picSprite();
    auto apply = [this](int button, int shift, float x, float y) {
        guarded([&] {
            const auto feedback = tools_->ApplyTool(static_cast<std::int16_t>(button),
                                                    static_cast<std::int16_t>(shift), x, y, view_->Zoom());
            panels_[2]->setText(QString::fromStdString(feedback.mouseText));
            if (feedback.swatchesChanged) panel_->showSwatches();
        });
    };
    connect(canvas, &gfx::SpriteCanvas::mousePressed, this, apply);
    connect(canvas, &gfx::SpriteCanvas::mouseMoved, this, apply);
    connect(canvas, &gfx::SpriteCanvas::mouseReleased, this, [this](int button, int shift, float x, float y) {
        guarded([&] {
            tools_->ReleaseTool(static_cast<std::int16_t>(button), static_cast<std::int16_t>(shift), x, y,
                                view_->Zoom());
        });
    });
    connect(canvas, &gfx::SpriteCanvas::zoomWheel, this, [this](int steps) {
        guarded([&] { mnuViewZoomE_Click(std::clamp(view_->zoomIndex() + steps, 0, 5)); });
    });
}

QString frmMain::panelText(int panel) const { return panels_[panel - 1]->text(); }

void frmMain::guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (...) {
        ShowFatalError(dialogs_, asRuntimeError(std::current_exception()));
        endProcess_(1);
    }
}

void frmMain::mnuFileLoad_Click() {
    const std::string path = dialogs_.openFile(
        {"Load Genesis ROM File", "Binary Images (*.bin)|*.bin|All Files (*.*)|*.*"});
    if (path.empty()) return;
    LoadRom(path);
}

void frmMain::LoadRom(const std::string& path) {
    state_.RomPath = path;
    mnuFileSave_->menuAction()->setEnabled(true);
    // Every file access closes its file again, so none is open here.
    tvSprites_->clear();
    tree_.clear();
    IdentifyGame();
    setWindowTitle(QString::fromStdString("Tessellane [" + state_.RomPath + "]"));
}

void frmMain::IdentifyGame() {
    const auto name = gamedb::IdentifyRom(*state_.GameDb, state_.RomPath);
    if (!name) {
        dialogs_.message({kUnsupportedRomText, "Error", MsgIcon::Exclamation, MsgButtons::Ok});
        return;
    }
    panels_[0]->setText(QString::fromStdString("Game: " + *name));
    LoadPalette(gamedb::DefaultPaletteOffset(*state_.GameDb));
    gamedb::BuildSpriteTree(*state_.GameDb, tree_);
    fillTreeView();
}

void frmMain::fillTreeView() {
    std::vector<QTreeWidgetItem*> items(tree_.nodes().size());
    const QIcon images[] = {gamedb::HeadingIcon(), gamedb::SpriteIcon()};
    tree_.forEachInTreeOrder([&](const gamedb::TreeNode& node, int) {
        auto* item = node.parent < 0
                         ? new QTreeWidgetItem(tvSprites_)
                         : new QTreeWidgetItem(items[static_cast<std::size_t>(node.parent)]);
        item->setText(0, QString::fromStdString(node.text));
        item->setData(0, kKeyRole, QString::fromStdString(node.key));
        item->setData(0, kImageRole, node.image);
        item->setIcon(0, images[node.image == gamedb::kSpriteImage ? 1 : 0]);
        items[static_cast<std::size_t>(tree_.find(node.key))] = item;
    });
}

void frmMain::LoadPalette(std::int32_t offset) {
    state_.Palette.LoadPalette(state_.RomPath, offset);
    state_.PaletteRomPath = state_.RomPath;
    panel_->refresh();
}

void frmMain::SavePalette() {
    // After another ROM was loaded without a palette of its own (an unknown
    // file), the palette on screen still belongs to the earlier ROM.
    if (state_.PaletteRomPath != state_.RomPath) {
        dialogs_.message({kPaletteOfAnotherRomText, kAppTitle, MsgIcon::Exclamation, MsgButtons::Ok});
        return;
    }
    state_.Palette.SavePalette(state_.RomPath);
}

void frmMain::mnuFileSavePalette_Click() {
    if (!state_.RomPath.empty()) SavePalette();
}

void frmMain::mnuFileGameInfo_Click() {
    const std::string text = gamedb::GameInformationText(*state_.GameDb);
    if (!text.empty()) dialogs_.message({text});
}

void frmMain::mnuViewZoomE_Click(int index) {
    for (QAction* item : mnuViewZoomE_) item->setChecked(false);
    mnuViewZoomE_[index]->setChecked(true);
    view_->ZoomCommand(index, !state_.RomPath.empty());
}

void frmMain::mnuViewGrid_Click() { mnuViewGrid_->setChecked(view_->GridCommand()); }

gfx::TileSize frmMain::currentSpriteSize() {
    using gamedb::GameDatabase;
    return gfx::RowTileSize(state_.GameDb->table(state_.Sprite.SpriteCompressed
                                                     ? GameDatabase::COMPRESSED
                                                     : GameDatabase::SPRITE));
}

void frmMain::mnuHelpTopics_Click() { dialogs_.message({kHelpText}); }

void frmMain::mnuHelpAbout_Click() {
    if (about_) about_->exec();
}

void frmMain::COMMAND_TEMP_Click() {
    dialogs_.message({"Hello there!\r\n\r\nYou found the hidden button.\r\nHave fun editing sprites."});
}

MsgAnswer frmMain::askAboutChanges(const char* text) {
    return dialogs_.message({text, "Confirm", MsgIcon::Question, MsgButtons::YesNoCancel});
}

void frmMain::RemoveTempFiles() {
    for (const char* name : {"dump.bin", "dumpc.bin"}) {
        std::error_code ec;
        std::filesystem::remove(name, ec);
        if (ec) throw fileError(name);
    }
}

void frmMain::tvSprites_DblClick() {
    try {
        const QList<QTreeWidgetItem*> selected = tvSprites_->selectedItems();
        if (selected.isEmpty()) throw objectNotSetError();
        QTreeWidgetItem* node = selected.front();
        if (node->data(0, kImageRole).toInt() <= gamedb::kHeadingImage) return;

        if (state_.Palette.PaletteDirty()) {
            switch (askAboutChanges(kPaletteChangedText)) {
                case MsgAnswer::Yes: SavePalette(); break;
                case MsgAnswer::No: state_.Palette.setPaletteDirty(false); break;
                default: return;
            }
        }
        if (state_.Sprite.SpriteDirty) {
            switch (askAboutChanges(kSpriteChangedText)) {
                case MsgAnswer::Yes: break;  // nothing can change a sprite yet, so nothing to save
                case MsgAnswer::No: state_.Sprite.SpriteDirty = false; break;
                default: return;
            }
        }
        RemoveTempFiles();
        tools_->spriteReplaced();

        const QString parentKey = node->parent() ? node->parent()->data(0, kKeyRole).toString() : "";
        if (!parentKey.contains(gamedb::kHeadingKey)) return;  // compressed sprites: not yet loadable
        if (!gfx::LoadPlainSprite(*state_.GameDb, state_.RomPath, node->text(0).toStdString(),
                                  state_.Palette, state_.Sprite, *view_, [this] {
                                      state_.PaletteRomPath = state_.RomPath;
                                      panel_->refresh();
                                  })) {
            ShowProcessingError(dialogs_);
        }
    } catch (...) {
        HandleRuntimeError(dialogs_, asRuntimeError(std::current_exception()));
    }
}

void frmMain::ExitProgram() {
    if (state_.Palette.PaletteDirty()) {
        switch (askAboutChanges(kPaletteChangedText)) {
            case MsgAnswer::Yes: SavePalette(); break;
            case MsgAnswer::No: break;
            default: return;
        }
    }
    if (state_.Sprite.SpriteDirty) {
        switch (askAboutChanges(kSpriteChangedText)) {
            case MsgAnswer::Yes: break;  // nothing can change a sprite yet, so nothing to save
            case MsgAnswer::No: break;
            default: return;
        }
    }
    endProcess_(0);
}

void frmMain::closeEvent(QCloseEvent* event) {
    // ExitProgram only returns when the user cancelled: the window stays.
    event->ignore();
    guarded([this] { ExitProgram(); });
}

}  // namespace tess
