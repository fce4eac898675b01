#include "widgets/MainToolbar.h"

#include <QActionGroup>
#include <QMenu>
#include <QProxyStyle>
#include <QToolBar>
#include <QToolButton>
#include <tuple>

#include "widgets/ToolIcons.h"

namespace tess::widgets {
namespace {

struct ToolButton {
    const char* key;
    const char* tooltip;
    const char* description;
    const char* shortcut;
};
// In CurrentTool order; ilTool1 holds their icons from 5 on.
constexpr ToolButton kTools[paint::kToolCount] = {
    {"a", "Pencil", "Pencil", "B"},
    {"b", "Eyedropper", "Eyedropper", "I"},
    {"c", "Color replacer", "Color Replacer", "R"},
    {"d", "Selection", "Selection", "M"},
    {"e", "Eraser", "Eraser", "E"},
    {"f", "Spray can", "Spray can", "S"},
    {"g", "Paint bucket", "Paint bucket", "G"},
    {"h", "Shape", "Shape", "U"},
};
constexpr int kFirstToolIcon = 5;

// The strip is 24 pixels high, as designed. The style's frame and item
// margins (4 pixels a side in Fusion) would leave its buttons 16 pixels, and
// a button draws its icon inside its own frame, so the 16 x 16 art would be
// shrunk and smoothed. The strip takes no margins: its buttons get the whole
// height and draw the art pixel for pixel.
class StripStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_ToolBarFrameWidth || metric == PM_ToolBarItemMargin) return 0;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

}  // namespace

MainToolbar::MainToolbar(QToolBar* tbMain, paint::PaintTools& tools, const FileCommands& files,
                         std::function<void(const std::function<void()>&)> run)
    : QObject(tbMain), tbMain_(tbMain), tools_(tools), run_(std::move(run)) {
    auto* style = new StripStyle;
    style->setParent(tbMain);
    tbMain->setStyle(style);
    tbMain->setIconSize({16, 16});
    tbMain->setToolButtonStyle(Qt::ToolButtonIconOnly);
    tbMain->setMovable(false);

    addButton("open", "Open", "Open", 1, files.load);
    QAction* save = addButton("save", "Save", "Save", 2, files.saveRom);
    auto* menu = new QMenu(tbMain);
    for (const auto& [key, caption, handler] : {std::tuple{"srom", "ROM", files.saveRom},
                                                std::tuple{"spal", "Palette", files.savePalette}}) {
        QAction* item = menu->addAction(caption);
        item->setObjectName(key);
        connectTo(item, handler);
    }
    save->setMenu(menu);
    qobject_cast<QToolButton*>(tbMain->widgetForAction(save))
        ->setPopupMode(QToolButton::MenuButtonPopup);
    tbMain->addSeparator();
    addButton("reload", "Reload", "Info", 13, {});
    tbMain->addSeparator();
    addButton("undo", "Undo", "Undo", 3, [this] {
        tools_.Undo();
    })->setShortcut(QKeySequence("Ctrl+Z"));
    addButton("redo", "Redo", "Redo", 4, [this] {
        tools_.Redo();
    })->setShortcuts({QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")});
    tbMain->addSeparator();

    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    for (int i = 0; i < paint::kToolCount; ++i) {
        const ToolButton& tool = kTools[i];
        const auto number = static_cast<std::int16_t>(i);
        QAction* action = addButton(tool.key, tool.tooltip, tool.description, kFirstToolIcon + i,
                                    [this, number] { tools_.setCurrentTool(number); });
        action->setCheckable(true);
        action->setChecked(i == tools.CurrentTool());
        action->setShortcut(QKeySequence(tool.shortcut));
        group->addAction(action);
    }
    addKeys(tbMain->window());
}

QAction* MainToolbar::addButton(const char* key, const char* tooltip, const char* description,
                                int icon, std::function<void()> handler) {
    QAction* action = tbMain_->addAction(ToolIcon(icon), tooltip);
    action->setObjectName(key);
    action->setToolTip(tooltip);
    action->setWhatsThis(description);  // the button's second text, which nothing reads
    tbMain_->widgetForAction(action)->setObjectName(key);
    if (handler) connectTo(action, std::move(handler));
    return action;
}

void MainToolbar::connectTo(QAction* action, std::function<void()> handler) {
    connect(action, &QAction::triggered, this, [this, run = std::move(handler)] { run_(run); });
}

void MainToolbar::addKeys(QWidget* window) {
    const std::pair<const char*, std::function<void()>> keys[] = {
        {"Ctrl+C", [this] { tools_.Copy(); }},  {"Ctrl+X", [this] { tools_.Cut(); }},
        {"Ctrl+V", [this] { tools_.Paste(); }}, {"Del", [this] { tools_.Delete(); }},
        {"Return", [this] { tools_.Drop(); }},  {"Enter", [this] { tools_.Drop(); }},
        {"Esc", [this] { tools_.Cancel(); }},
    };
    for (const auto& [sequence, command] : keys) {
        auto* action = new QAction(window);
        action->setShortcut(QKeySequence(sequence));
        connectTo(action, command);
        window->addAction(action);
    }
}

}  // namespace tess::widgets
