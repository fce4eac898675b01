#include "window/frmMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>
#include <filesystem>

#include "base/ErrorReporting.h"
#include "base/Messages.h"
#include "base/WholeFile.h"
#include "gamedb/GameSummary.h"
#include "gamedb/Identify.h"
#include "paint/PaintTools.h"
#include "sprites/CompressedSize.h"
#include "sprites/SpriteImage.h"
#include "sprites/SpriteSave.h"
#include "sprites/SpriteSelection.h"
#include "widgets/MainToolbar.h"
#include "widgets/PalettePanel.h"
#include "widgets/Pictures.h"
#include "widgets/SpritePanel.h"
#include "widgets/SpriteView.h"
#include "widgets/Twips.h"
#include "widgets/frmAbout.h"

namespace tess::window {
namespace {

constexpr int kKeyRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;

// Headings load nothing and have no context menu.
bool isSpriteNode(const QTreeWidgetItem& node) {
    return node.data(0, kImageRole).toInt() > gamedb::kHeadingImage;
}

// While a save writes, pending events run at most this often.
constexpr int kEventsEveryMilliseconds = 30;

// Client area of the window at its start size, in twips.
constexpr int kClientWidth = 9315;
constexpr int kClientHeight = 6720;

// The sprite panel's width and its gap from the view, in pixels.
constexpr int kSpritePanelWidth = 220;
constexpr int kSpritePanelGap = 4;

// The client area: never smaller than its design size, and it places its
// controls again whenever its size changes.
class ClientArea : public QWidget {
public:
    ClientArea(QWidget* parent, QSize designSize, std::function<void(QSize extra)> place)
        : QWidget(parent), place_(std::move(place)) {
        setMinimumSize(designSize);
    }
    QSize sizeHint() const override { return minimumSize(); }

protected:
    void resizeEvent(QResizeEvent*) override { place_(size() - minimumSize()); }

private:
    std::function<void(QSize)> place_;
};

// The tree's double-click event carries no node: the handler works on the
// selected node, which a click or double-click on an empty part of the tree
// keeps (Qt would clear it).
class SpriteTreeWidget : public QTreeWidget {
public:
    // `busy` holds the highlight where it is while the window must not
    // switch sprites (a save runs); the double-click is still reported.
    SpriteTreeWidget(QWidget* parent, std::function<void()> onDoubleClick,
                     std::function<bool()> busy)
        : QTreeWidget(parent), onDoubleClick_(std::move(onDoubleClick)), busy_(std::move(busy)) {}

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (!busy_() && itemAt(event->position().toPoint())) QTreeWidget::mousePressEvent(event);
    }

    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (!busy_()) QTreeWidget::mouseDoubleClickEvent(event);
        onDoubleClick_();
    }

private:
    std::function<void()> onDoubleClick_;
    std::function<bool()> busy_;
};

}  // namespace

frmMain::frmMain(ProgramState& state, CommonDlg& dialogs, std::function<void(int)> endProcess)
    : state_(state), dialogs_(dialogs), endProcess_(std::move(endProcess)) {
    setObjectName("frmMain");
    setWindowTitle("Tessellane");
    setWindowIcon(QIcon(widgets::ProgramPicture()));
    sx_ = widgets::twipsPerPixel(logicalDpiX());
    sy_ = widgets::twipsPerPixel(logicalDpiY());
    buildMenus();
    buildControls();
    unsaved_ = new UnsavedPainting(this, state_.RecoveryFolder, state_.Sprite, dialogs_);
    tools_->setChangeObserver([this] { pixelsChanged(); });
    qApp->installEventFilter(this);
}

frmMain::~frmMain() = default;

QRect frmMain::twips(int left, int top, int width, int height) const {
    return widgets::twipsToRect(left, top, width, height, sx_, sy_);
}

QAction* frmMain::action(QMenu* menu, const char* name, const QString& caption,
                         const std::function<void()>& handler) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    if (handler) connect(a, &QAction::triggered, this, [this, handler] { guarded(handler); });
    return a;
}

std::string frmMain::chooseFile(OpenFileRequest request, bool toWrite) {
    std::string& folder = lastFolders_[request.title];
    request.folder = folder;
    const std::string path = toWrite ? dialogs_.saveFile(request) : dialogs_.openFile(request);
    if (!path.empty()) folder = std::filesystem::path(path).parent_path().string();
    return path;
}

void frmMain::buildMenus() {
    QMenuBar* bar = menuBar();

    QMenu* file = bar->addMenu("&File");
    file->setObjectName("mnuFile");
    action(file, "mnuFileLoad", "&Load...", [this] { mnuFileLoad_Click(); });
    mnuFileSave_ = file->addMenu("&Save");
    mnuFileSave_->setObjectName("mnuFileSave");
    mnuFileSave_->menuAction()->setEnabled(false);
    action(mnuFileSave_, "mnuFileSaveRom", "Save ROM", [this] { mnuFileSaveRom_Click(); });
    action(mnuFileSave_, "mnuFileSavePalette", "Save &Palette",
           [this] { mnuFileSavePalette_Click(); });
    action(file, "mnuFileImport", "Import Sprite...", [this] {
        mnuFileImport_Click();
    })->setEnabled(false);
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
        mnuViewZoomE_[i] =
            action(zoom, name.constData(), zooms[i], [this, i] { mnuViewZoomE_Click(i); });
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
    auto* client = new ClientArea(this, twips(0, 0, kClientWidth, kClientHeight).size(),
                                  [this](QSize extra) { placeControls(extra); });
    client->setObjectName("client");
    setCentralWidget(client);

    tbMain_ = new QToolBar(client);
    tbMain_->setObjectName("tbMain");
    tbEtc_ = new QToolBar(client);
    tbEtc_->setObjectName("tbEtc");

    // Entry 0 of the palette is the window's background until the user edits it.
    const QColor background = palette().color(QPalette::Window);
    state_.Palette.applyChosenColour(0, {static_cast<std::uint8_t>(background.red()),
                                         static_cast<std::uint8_t>(background.green()),
                                         static_cast<std::uint8_t>(background.blue())});

    view_ = new widgets::SpriteView(client, state_.Sprite, state_.Palette);
    view_->setSpriteSizeSource([this] { return currentSpriteSize(); });

    panel_ = new widgets::PalettePanel(
        tbEtc_, state_.Palette, dialogs_, [this] { return !state_.RomPath.empty(); },
        [this] { view_->RedrawSprite(); });
    panel_->placeControls(sx_, sy_);
    buildPainting(tbMain_);

    tvSprites_ = new SpriteTreeWidget(
        client, [this] { tvSprites_DblClick(); }, [this] { return saving_; });
    tvSprites_->setObjectName("tvSprites");
    tvSprites_->setHeaderHidden(true);
    tvSprites_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tvSprites_, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (QMenu* menu = spriteMenu(tvSprites_->itemAt(at))) {
            menu->exec(tvSprites_->viewport()->mapToGlobal(at));
            delete menu;
        }
    });
    view_->setDropHandler([this](const std::string& path) { trapped([&] { importImage(path); }); });
    spritePanel_ = new widgets::SpritePanel(client);

    sbMain_ = new QStatusBar(client);
    sbMain_->setObjectName("sbMain");
    sbMain_->setSizeGripEnabled(false);
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
    connect(COMMAND_TEMP_, &QPushButton::clicked, this,
            [this] { guarded([this] { COMMAND_TEMP_Click(); }); });

    view_->disableScrollBars();
    placeControls(QSize(0, 0));
    adjustSize();
    // Lay the window out for its start size now, shown or not: the first
    // layout ran for the size a window has before it is sized.
    layout()->invalidate();
    layout()->activate();
}

void frmMain::placeControls(QSize extra) {
    // At the start size every control sits at its design place. A larger
    // window gives its extra width to the strips, the view and the status
    // bar, its extra height to the tree and the view.
    // The sprite panel takes its width out of the extra width once there is
    // room for it; at the start size the design's places stand alone.
    const int dx = extra.width();
    const int dy = extra.height();
    const bool panel = dx >= kSpritePanelWidth + kSpritePanelGap;
    const int viewDx = panel ? dx - kSpritePanelWidth - kSpritePanelGap : dx;
    tbMain_->setGeometry(twips(0, 0, 9315, 360).adjusted(0, 0, dx, 0));
    tbEtc_->setGeometry(twips(0, 360, 9315, 360).adjusted(0, 0, dx, 0));
    tvSprites_->setGeometry(twips(60, 780, 2355, 5595).adjusted(0, 0, 0, dy));
    view_->placeControls(sx_, sy_, {viewDx, dy});
    sbMain_->setGeometry(twips(0, 6405, 9315, 315).translated(0, dy).adjusted(0, 0, dx, 0));
    // Beside the view and its vertical bar, as tall as the view with its bar below.
    const QRect viewArea = twips(2520, 780, 6735, 5595).adjusted(0, 0, viewDx, dy);
    spritePanel_->setGeometry(viewArea.right() + kSpritePanelGap, viewArea.top(), kSpritePanelWidth,
                              viewArea.height());
    spritePanel_->setVisible(panel);
}

void frmMain::buildPainting(QToolBar* tbMain) {
    tools_ = std::make_unique<paint::PaintTools>(state_.Sprite, panel_->swatches(), state_.Palette,
                                                 *view_);
    auto trigger = [this](const char* name) {
        return [this, name] { findChild<QAction*>(name)->trigger(); };
    };
    new widgets::MainToolbar(
        tbMain, *tools_,
        {trigger("mnuFileLoad"), trigger("mnuFileSaveRom"), trigger("mnuFileSavePalette")},
        [this](const std::function<void()>& handler) {
            if (!refusedWhileSaving()) guarded(handler);
        });

    const widgets::SpriteCanvas* canvas = view_->picSprite();
    // A mouse event that fails is passed over: painting never ends the program.
    auto apply = [this](tiles::Pixel p, int button, int shift) {
        panels_[2]->setText(QString("Mouse: %1, %2").arg(p.x).arg(p.y));
        skipOnError([&] {
            // A save in progress lets events run: the pointer is shown, the sprite stays as it is.
            const bool swatches =
                tools_->ApplyTool(p, static_cast<std::int16_t>(saving_ ? 0 : button),
                                  static_cast<std::int16_t>(shift));
            if (swatches) panel_->showSwatches();
        });
    };
    connect(canvas, &widgets::SpriteCanvas::mousePressed, this, apply);
    connect(canvas, &widgets::SpriteCanvas::mouseMoved, this, apply);
    connect(canvas, &widgets::SpriteCanvas::mouseReleased, this,
            [this](tiles::Pixel p, int, int shift) {
                skipOnError([&] { tools_->ReleaseTool(p, static_cast<std::int16_t>(shift)); });
            });
    view_->setZoomCommand([this](int index) { guarded([&] { mnuViewZoomE_Click(index); }); });
}

QString frmMain::panelText(int panel) const { return panels_[panel - 1]->text(); }

void frmMain::guarded(const std::function<void()>& handler) {
    endOnError(dialogs_, handler, [this](int code) { endProgram(code); });
}

void frmMain::endProgram(int exitCode) {
    unsaved_->keep();
    endProcess_(exitCode);
}

void frmMain::mnuFileLoad_Click() {
    if (refusedWhileSaving()) return;
    const std::string path =
        chooseFile({"Load Genesis ROM File", "Binary Images (*.bin)|*.bin|All Files (*.*)|*.*"});
    if (path.empty()) return;
    LoadRom(path);
}

void frmMain::LoadRom(const std::string& path) {
    if (refusedWhileSaving()) return;
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
    // A compressed sprite's tooltip tells its slot; a ROM whose blocks cannot
    // be read shows none.
    std::map<std::string, sprites::CompressedSize> compressed;
    skipOnError([&] { compressed = sprites::CompressedSlots(*state_.GameDb, state_.RomPath); });
    std::vector<QTreeWidgetItem*> items(tree_.nodes().size());
    const QIcon images[] = {widgets::HeadingIcon(), widgets::SpriteIcon()};
    tree_.forEachInTreeOrder([&](const gamedb::TreeNode& node, int) {
        auto* item = node.parent < 0
                         ? new QTreeWidgetItem(tvSprites_)
                         : new QTreeWidgetItem(items[static_cast<std::size_t>(node.parent)]);
        item->setText(0, QString::fromStdString(node.text));
        item->setData(0, kKeyRole, QString::fromStdString(node.key));
        item->setData(0, kImageRole, node.image);
        item->setIcon(0, images[node.image == gamedb::kSpriteImage ? 1 : 0]);
        if (node.key.starts_with(gamedb::kCompressedSpriteKey)) {
            if (const auto slot = compressed.find(node.text); slot != compressed.end()) {
                item->setToolTip(0, QString::fromStdString(sprites::SlotText(slot->second)));
            }
        }
        items[static_cast<std::size_t>(tree_.find(node.key))] = item;
    });
}

void frmMain::LoadPalette(std::int32_t offset) {
    state_.Palette.LoadPalette(state_.RomPath, offset);
    paletteLoaded();
}

void frmMain::paletteLoaded() {
    state_.PaletteRomPath = state_.RomPath;
    panel_->refresh();
}

void frmMain::SavePalette() {
    // After another ROM was loaded without a palette of its own (an unknown
    // file), the palette on screen still belongs to the earlier ROM.
    if (state_.PaletteRomPath != state_.RomPath) {
        dialogs_.message(
            {kPaletteOfAnotherRomText, kAppTitle, MsgIcon::Exclamation, MsgButtons::Ok});
        return;
    }
    state_.Palette.SavePalette(state_.RomPath);
}

void frmMain::mnuFileSavePalette_Click() {
    if (refusedWhileSaving()) return;
    if (!state_.RomPath.empty()) SavePalette();
}

bool frmMain::refusedWhileSaving() {
    if (saving_) QApplication::beep();
    return saving_;
}

void frmMain::letEventsRun() {
    if (sinceEvents_.isValid() && sinceEvents_.elapsed() < kEventsEveryMilliseconds) return;
    QCoreApplication::processEvents();
    sinceEvents_.start();
}

void frmMain::mnuFileSaveRom_Click() {
    if (refusedWhileSaving()) return;
    tools_->Drop();  // the save writes what the user sees
    saving_ = true;
    sinceEvents_.invalidate();  // the first chance comes at once
    struct EndOfSave {
        frmMain& window;
        ~EndOfSave() {
            window.saving_ = false;
            if (!window.exitAfterSave_) return;
            window.exitAfterSave_ = false;
            // From the event loop, not from inside whatever started the save.
            QMetaObject::invokeMethod(
                &window, [w = &window] { w->guarded([w] { w->ExitProgram(); }); },
                Qt::QueuedConnection);
        }
    } endOfSave{*this};

    const sprites::SaveHooks hooks{[this](std::int32_t, std::int32_t) {
                                       ShowProcessingError(dialogs_);
                                       return true;
                                   },
                                   [this] { letEventsRun(); }};
    const sprites::SaveOutcome outcome =
        sprites::SaveSprite(state_.RomPath, tempFiles_, state_.Sprite, hooks);
    if (outcome.result == sprites::SaveOutcome::Result::Saved) {
        unsaved_->forget();
        spritePanel_->showSprite(state_.Sprite, state_.Palette.PaletteOffset());  // its new block
    } else {
        unsaved_->keep();  // the user may end the program next
    }
    if (const auto message = sprites::SaveMessage(outcome)) dialogs_.message(*message);
    if (outcome.result == sprites::SaveOutcome::Result::CompressionFailed) endProgram(1);
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

tiles::TileSize frmMain::currentSpriteSize() const {
    // The grids' own size: the tables' current rows move with every other
    // sprite read (Export Image..., Compressed Size...) and with File > Load.
    const tiles::ByteGrid& tileMap = state_.Sprite.TileMap;
    return {static_cast<std::int16_t>(tileMap.upperX()),
            static_cast<std::int16_t>(tileMap.upperY())};
}

void frmMain::mnuHelpTopics_Click() { dialogs_.message({kHelpText}); }

void frmMain::mnuHelpAbout_Click() {
    if (about_) about_->exec();
}

void frmMain::COMMAND_TEMP_Click() {
    dialogs_.message(
        {"Hello there!\r\n\r\nYou found the hidden button.\r\nHave fun editing sprites."});
}

bool frmMain::resolveUnsavedChanges(bool noForgets) {
    auto ask = [this](const char* text) {
        return dialogs_.message({text, "Confirm", MsgIcon::Question, MsgButtons::YesNoCancel});
    };
    if (state_.Palette.PaletteDirty()) {
        switch (ask(kPaletteChangedText)) {
            case MsgAnswer::Yes: SavePalette(); break;
            case MsgAnswer::No:
                if (noForgets) state_.Palette.setPaletteDirty(false);
                break;
            default: return false;
        }
    }
    if (state_.Sprite.SpriteDirty) {
        switch (ask(kSpriteChangedText)) {
            case MsgAnswer::Yes: mnuFileSaveRom_Click(); break;
            case MsgAnswer::No:
                if (noForgets) state_.Sprite.SpriteDirty = false;
                unsaved_->forget();  // the user chose to drop them
                break;
            default: return false;
        }
    }
    return true;
}

void frmMain::tvSprites_DblClick() {
    if (refusedWhileSaving()) return;
    trapped([this] {
        const QList<QTreeWidgetItem*> selected = tvSprites_->selectedItems();
        if (selected.isEmpty()) throw objectNotSetError();
        QTreeWidgetItem* node = selected.front();
        if (!isSpriteNode(*node)) return;
        tools_->Drop();  // a floating block is an unsaved change like any other
        if (!resolveUnsavedChanges(true)) return;

        tempFiles_.remove();
        tools_->spriteReplaced();
        const bool found =
            sprites::LoadSprite(*state_.GameDb, state_.RomPath, choiceOf(node), tempFiles_,
                                state_.Palette, state_.Sprite, *view_, [this] { paletteLoaded(); });
        if (!found) {
            ShowProcessingError(dialogs_);
            return;
        }
        unsaved_->offer([this](const tiles::ByteGrid& kept) {
            layEdit([&] { sprites::RestorePixels(kept, state_.Sprite); });
        });
        spritePanel_->showSprite(state_.Sprite, state_.Palette.PaletteOffset());
        spritePanel_->measure(state_.Sprite);
    });
}

tiles::SpriteChoice frmMain::choiceOf(const QTreeWidgetItem* node) const {
    const QString parentKey = node->parent() ? node->parent()->data(0, kKeyRole).toString() : "";
    return sprites::ChoiceOfNode(parentKey.toStdString(), node->text(0).toStdString());
}

bool frmMain::isShown(const tiles::SpriteChoice& sprite) const {
    const auto& record = state_.Sprite.Record;
    return record && record->complete && record->sprite == sprite &&
           record->romPath == state_.RomPath;
}

std::optional<frmMain::SpriteAtHand> frmMain::spriteAtHand(
    const tiles::SpriteChoice& sprite, std::optional<sprites::DetachedSprite>& apart) {
    if (isShown(sprite)) {
        tools_->Drop();
        return SpriteAtHand{state_.Sprite, sprites::RomColours(state_.Palette, state_.RomPath),
                            tempFiles_, true};
    }
    apart.emplace();
    if (!sprites::LoadDetached(*state_.GameDb, state_.RomPath, sprite, *apart)) {
        ShowProcessingError(dialogs_);
        return std::nullopt;
    }
    return SpriteAtHand{apart->doc, sprites::RomColours(apart->palette, state_.RomPath),
                        apart->temp.files(), false};
}

void frmMain::mnuFileImport_Click() {
    if (refusedWhileSaving() || !state_.Sprite.SpriteLoaded) return;
    const std::string path =
        chooseFile({"Import Sprite", "Bitmap images (*.bmp)|*.bmp|All Files (*.*)|*.*"});
    if (!path.empty()) ImportBitmap(path);
}

void frmMain::ImportBitmap(const std::string& path) {
    const std::optional<sprites::Bitmap4> bitmap = sprites::ReadBitmap4(path);
    if (!bitmap) return;
    if (bitmap->bitsPerPixel != 4) {
        dialogs_.message({kOnly4BitText});
        return;
    }
    // File > Import Sprite... takes no undo step.
    tools_->Drop();
    sprites::LayPicture(sprites::IndexedPicture(*bitmap), state_.Sprite);
    view_->RedrawSprite();
    state_.Sprite.SpriteDirty = true;
    pixelsChanged();
}

void frmMain::layEdit(const std::function<void()>& edit) {
    tools_->recordEdit(edit);
    view_->RedrawSprite();
    state_.Sprite.SpriteDirty = true;
}

void frmMain::pixelsChanged() {
    unsaved_->changed();
    spritePanel_->measure(state_.Sprite);
}

QMenu* frmMain::spriteMenu(QTreeWidgetItem* node) {
    if (!node || !isSpriteNode(*node)) return nullptr;
    const tiles::SpriteChoice sprite = choiceOf(node);
    auto* menu = new QMenu(tvSprites_);
    auto add = [&](const char* name, const char* caption, std::function<void()> run) {
        QAction* item = menu->addAction(caption);
        item->setObjectName(name);
        connect(item, &QAction::triggered, this, [this, run] {
            if (!refusedWhileSaving()) trapped(run);
        });
    };
    add("mnuSpriteExport", "Export Image...", [this, sprite] { exportSpriteImage(sprite); });
    add("mnuSpriteImport", "Import Image...", [this, node] { importSpriteImage(node); });
    if (sprite.kind == tiles::SpriteKind::Compressed) {
        add("mnuSpriteSize", "Compressed Size...", [this, sprite] { showCompressedSize(sprite); });
    }
    return menu;
}

void frmMain::trapped(const std::function<void()>& action) { reportErrors(dialogs_, action); }

void frmMain::exportSpriteImage(const tiles::SpriteChoice& sprite) {
    const std::string path =
        chooseFile({"Export Image", "PNG images (*.png)|*.png", sprite.name + ".png"}, true);
    if (path.empty()) return;
    std::optional<sprites::DetachedSprite> apart;
    const std::optional<SpriteAtHand> at = spriteAtHand(sprite, apart);
    if (!at) return;
    std::string why;
    if (!writeWholeFile(path, sprites::SpritePng(at->doc, at->colours), why)) {
        dialogs_.message({"The image was not written to " + path + ": " + why + ".", kAppTitle,
                          MsgIcon::Exclamation});
    }
}

void frmMain::importSpriteImage(QTreeWidgetItem* node) {
    const tiles::SpriteChoice sprite = choiceOf(node);
    if (!isShown(sprite)) {
        // Loading it asks about unsaved changes first, as a double-click does.
        tvSprites_->setCurrentItem(node);
        tvSprites_DblClick();
        if (!isShown(sprite)) return;
    }
    const std::string path =
        chooseFile({"Import Image", "PNG and BMP images|*.png;*.bmp|All Files (*.*)|*.*"});
    if (!path.empty()) importImage(path);
}

void frmMain::importImage(const std::string& path) {
    if (refusedWhileSaving() || !state_.Sprite.SpriteLoaded) return;
    std::optional<sprites::ImageImport> image;
    try {
        image = sprites::ReadImageImport(
            path, state_.Sprite, sprites::RomColours(state_.Palette, state_.PaletteRomPath));
    } catch (const sprites::ImageRefused& refusal) {
        dialogs_.message({refusal.what()});
        return;
    }
    if (!image) return;  // an empty file: nothing to lay
    layEdit([&] { sprites::LayPicture(image->picture, state_.Sprite); });
    if (const std::string note = image->note(); !note.empty()) dialogs_.message({note});
}

void frmMain::showCompressedSize(const tiles::SpriteChoice& sprite) {
    std::optional<sprites::DetachedSprite> apart;
    const std::optional<SpriteAtHand> at = spriteAtHand(sprite, apart);
    if (!at) return;
    dialogs_.message({sprites::CompressedSizeText(
        sprites::MeasureCompressedSize(at->doc, at->files), at->onScreen)});
}

void frmMain::ExitProgram() {
    if (saving_) {
        exitAfterSave_ = true;
        return;
    }
    tools_->Drop();
    if (resolveUnsavedChanges(false)) endProcess_(0);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == this && event->type() == QEvent::WindowDeactivate) {
        view_->setPanning(false);  // the Space release goes elsewhere
        return false;
    }
    const bool pressed = event->type() == QEvent::KeyPress;
    if (!pressed && event->type() != QEvent::KeyRelease) return false;
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Shift) {
        skipOnError([&] { tools_->ModifiersChanged(pressed ? paint::kShiftKey : 0); });
        return false;
    }
    if (key->key() != Qt::Key_Space) return false;
    // Elsewhere Space stays the focused control's (a toolbar button clicks on its release).
    const QWidget* frame = view_->picEdBack();
    const bool overView = frame->rect().contains(frame->mapFromGlobal(QCursor::pos()));
    if (pressed ? !overView : !view_->panning()) return false;
    if (!key->isAutoRepeat()) view_->setPanning(pressed);
    return true;
}

void frmMain::closeEvent(QCloseEvent* event) {
    // ExitProgram only returns when the user cancelled: the window stays.
    event->ignore();
    guarded([this] { ExitProgram(); });
}

}  // namespace tess::window
