#include "widgets/MainToolbar.h"

#include <QActionGroup>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

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

}  // namespace

MainToolbar::MainToolbar(QToolBar* tbMain, paint::PaintTools& tools, FileCommands files,
                         std::function<void(const std::function<void()>&)> run)
    : QObject(tbMain), tbMain_(tbMain), tools_(tools), files_(std::move(files)), run_(std::move(run)) {
    tbMain->setIconSize({16, 16});
    tbMain->setToolButtonStyle(Qt::ToolButtonIconOnly);
    tbMain->setMovable(false);

    addButton("open", "Open", "Open", 1);
    QAction* save = addButton("save", "Save", "Save", 2);
    auto* menu = new QMenu(tbMain);
    for (const auto& [key, caption] : {std::pair{"srom", "ROM"}, std::pair{"spal", "Palette"}}) {
        QAction* item = menu->addAction(caption);
        item->setObjectName(key);
        connect(item, &QAction::triggered, this, [this, key] { ButtonMenuClick(key); });
    }
    save->setMenu(menu);
    qobject_cast<QToolButton*>(tbMain->widgetForAction(save))->setPopupMode(QToolButton::MenuButtonPopup);
    tbMain->addSeparator();
    addButton("reload", "Reload", "Info", 13);
    tbMain->addSeparator();
    addButton("undo", "Undo", "Undo", 3)->setShortcut(QKeySequence("Ctrl+Z"));
    addButton("redo", "Redo", "Redo", 4)
        ->setShortcuts({QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")});
    tbMain->addSeparator();

    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    for (int i = 0; i < paint::kToolCount; ++i) {
        const ToolButton& tool = kTools[i];
        QAction* action = addButton(tool.key, tool.tooltip, tool.description, kFirstToolIcon + i);
        action->setCheckable(true);
        action->setChecked(i == tools.CurrentTool());
        action->setShortcut(QKeySequence(tool.shortcut));
        group->addAction(action);
    }
    addKeys(tbMain->window());
}

QAction* MainToolbar::addButton(const char* key, const char* tooltip, const char* description,
                                int icon) {
    QAction* action = tbMain_->addAction(ToolIcon(icon), tooltip);
    action->setObjectName(key);
    action->setToolTip(tooltip);
    action->setWhatsThis(description);  // the button's second text, which nothing reads
    tbMain_->widgetForAction(action)->setObjectName(key);
    const QString name = key;
    connect(action, &QAction::triggered, this, [this, name] { ButtonClick(name); });
    return action;
}

void MainToolbar::addKeys(QWidget* window) {
    const std::pair<const char*, std::function<void()>> keys[] = {
        {"Ctrl+C", [this] { tools_.Copy(); }},
        {"Ctrl+X", [this] { tools_.Cut(); }},
        {"Ctrl+V", [this] { tools_.Paste(); }},
        {"Del", [this] { tools_.Delete(); }},
    };
    for (const auto& [sequence, command] : keys) {
        auto* action = new QAction(window);
        action->setShortcut(QKeySequence(sequence));
        connect(action, &QAction::triggered, this, [this, run = command] { run_(run); });
        window->addAction(action);
    }
}

void MainToolbar::ButtonClick(const QString& key) {
    run_([&] {
        if (key == "open") {
            files_.load();
        } else if (key == "save") {
            files_.saveRom();
        } else if (key == "undo") {
            tools_.Undo();
        } else if (key == "redo") {
            tools_.Redo();
        } else if (key.size() == 1 && key >= "a" && key <= "h") {
            tools_.setCurrentTool(static_cast<std::int16_t>(key[0].unicode() - 'a'));
        }
    });
}

void MainToolbar::ButtonMenuClick(const QString& key) {
    run_([&] {
        if (key == "srom") {
            files_.saveRom();
        } else if (key == "spal") {
            files_.savePalette();
        }
    });
}

}  // namespace tess::widgets
