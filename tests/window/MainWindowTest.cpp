#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include "tests/support/QtPrinters.h"
#include "tests/window/FixtureWindow.h"
#include "widgets/PalettePanel.h"
#include "widgets/SpriteView.h"
#include "widgets/frmAbout.h"
#include "widgets/frmDetails.h"

namespace tess::window {
namespace {

// The main window as start-up leaves it: no ROM loaded yet.
class MainWindow : public test::FixtureWindow {
protected:
    void SetUp() override { openWindow(); }

    QAction* item(const char* name) { return window->findChild<QAction*>(name); }
    QMenu* menu(const char* name) { return window->findChild<QMenu*>(name); }
    void load(const std::string& path) {
        dialogs.queueFile(path);
        trigger("mnuFileLoad");
    }
};

// What a control shows at start: its caption, title or text, its tooltip, a
// shortcut, the states that are not the default, and where it sits in its
// parent, in twips at 15 twips a pixel.
std::string describe(QObject* object) {
    std::string text;
    auto add = [&](const std::string& part) { text += (text.empty() ? "" : " ") + part; };
    auto place = [&](QWidget* w) {
        const QRect g = w->geometry();
        add("@" + std::to_string(15 * g.x()) + "," + std::to_string(15 * g.y()) + "," +
            std::to_string(15 * g.width()) + "," + std::to_string(15 * g.height()));
    };
    if (auto* menu = qobject_cast<QMenu*>(object)) {
        add(menu->title().toStdString());
        if (!menu->menuAction()->isEnabled()) add("[disabled]");
    } else if (auto* action = qobject_cast<QAction*>(object)) {
        add(action->text().toStdString());
        if (!action->shortcut().isEmpty())
            add("key:" + action->shortcut().toString().toStdString());
        if (!action->isEnabled()) add("[disabled]");
        if (action->isChecked()) add("[checked]");
    } else if (auto* label = qobject_cast<QLabel*>(object)) {
        add(label->text().toStdString());
    } else if (auto* button = qobject_cast<QPushButton*>(object)) {
        add(button->text().toStdString());
        if (button->isHidden()) add("[hidden]");
        place(button);
    } else if (auto* widget = qobject_cast<QWidget*>(object)) {
        if (!widget->toolTip().isEmpty()) add("tip:" + widget->toolTip().toStdString());
        if (!widget->isEnabled()) add("[disabled]");
        place(widget);
    }
    return text;
}

TEST_F(MainWindow, EveryControlStartsWithItsCaptionStateAndPlace) {
    const std::pair<const char*, const char*> controls[] = {
        {"mnuFile", "&File"},
        {"mnuFileLoad", "&Load..."},
        {"mnuFileSave", "&Save [disabled]"},
        {"mnuFileSaveRom", "Save ROM"},
        {"mnuFileSavePalette", "Save &Palette"},
        {"mnuFileImport", "Import Sprite... [disabled]"},
        {"mnuFileGameInfo", "Game Information"},
        {"mnuFileExit", "E&xit"},
        {"mnuView", "&View"},
        {"mnuViewGrid", "&Grid key:Ctrl+G"},
        {"mnuViewZoom", "Zoom"},
        {"mnuViewZoomE0", "1"},
        {"mnuViewZoomE1", "4"},
        {"mnuViewZoomE2", "6"},
        {"mnuViewZoomE3", "8 [checked]"},
        {"mnuViewZoomE4", "16"},
        {"mnuViewZoomE5", "24"},
        {"mnuCompression", "Compression [disabled]"},
        {"mnuCompressionDump", "Dump offset..."},
        {"mnuCompressionCompress", "Compress Data..."},
        {"mnuHelp", "Help"},
        {"mnuHelpTopics", "Help Topics"},
        {"mnuHelpAbout", "&About"},
        {"tbMain", "@0,0,9315,360"},
        {"tbEtc", "@0,360,9315,360"},
        {"tvSprites", "@60,780,2355,5595"},
        {"picEdBack", "@2520,780,6495,5355"},
        {"sprScrollV", "[disabled] @9000,780,255,5355"},
        {"sprScrollH", "[disabled] @2520,6120,6495,255"},
        {"sbMain", "@0,6405,9315,315"},
        {"sbMainPanel1", "Game: None"},
        {"sbMainPanel2", "Status: Ready"},
        {"sbMainPanel3", "Mouse: (%x, %y)"},
        {"sbMainPanel4", "Progress:"},
        {"COMMAND_TEMP", "^_^ [hidden] @5520,0,915,315"},
        {"picFore", "tip:Foreground color @3780,60,255,255"},
        {"picBack", "tip:Background color @4080,60,255,255"},
        {"picPal0",
         "tip:Changing this, will change the background color of the window @4440,60,255,255"},
        {"picPal15", "@8940,60,255,255"},  // no tooltip before a palette is read
    };
    for (const auto& [name, expected] : controls) {
        QObject* control = window->findChild<QObject*>(name);
        ASSERT_NE(control, nullptr) << name;
        EXPECT_EQ(describe(control), expected) << name;
    }
    EXPECT_EQ(window->centralWidget()->size(), QSize(621, 448));  // 9315 x 6720 twips
    EXPECT_EQ(window->windowTitle(), "Tessellane");
    EXPECT_EQ(window->spriteView().Zoom(), 8);
    EXPECT_FALSE(window->spriteView().picSprite()->isVisible());
    EXPECT_NE(window->findChild<widgets::PalettePanel*>("Frame1"), nullptr);
    EXPECT_EQ(window->palettePanel().swatches().foreground().index, 0);
    EXPECT_EQ(window->palettePanel().swatches().background().index, 0);
    EXPECT_EQ(window->palettePanel().picBack()->colour(), state.Palette.colour(0));

    // The toolbar, left to right: key, tooltip; "|" a separator.
    QStringList buttons;
    auto* tbMain = window->findChild<QToolBar*>("tbMain");
    for (QAction* action : tbMain->actions()) {
        if (action->isSeparator()) {
            buttons << "|";
            continue;
        }
        buttons << action->objectName() + ":" + action->toolTip();
        EXPECT_EQ(tbMain->widgetForAction(action)->objectName(), action->objectName());
    }
    EXPECT_EQ(buttons.join(" "),
              "open:Open save:Save | reload:Reload | undo:Undo redo:Redo | a:Pencil b:Eyedropper "
              "c:Color replacer d:Selection e:Eraser f:Spray can g:Paint bucket h:Shape");
    EXPECT_EQ(tbMain->toolButtonStyle(), Qt::ToolButtonIconOnly);
    auto* save = window->findChild<QToolButton*>("save");
    EXPECT_EQ(save->popupMode(), QToolButton::MenuButtonPopup);
    QStringList items;
    for (QAction* item : save->defaultAction()->menu()->actions())
        items << item->objectName() + "=" + item->text();
    EXPECT_EQ(items.join(" "), "srom=ROM spal=Palette");
}

// The window grows from its start size and never shrinks below it: the
// strips and the status bar take the extra width, the tree the extra
// height, the view both; the bars follow the view's edges and the scroll
// ranges its new size.
TEST_F(MainWindow, ControlsFollowTheWindowsSizeAndReturnToTheirPlacesAtTheStartSize) {
    struct Control {
        const char* name;
        QRect start;                     // pixels at 15 twips a pixel
        int right, down, wider, taller;  // which edges follow the extra size
        bool view;                       // of the view, which leaves the sprite panel its width
    };
    const Control controls[] = {
        {"tbMain", {0, 0, 621, 24}, 0, 0, 1, 0, false},
        {"tbEtc", {0, 24, 621, 24}, 0, 0, 1, 0, false},
        {"tvSprites", {4, 52, 157, 373}, 0, 0, 0, 1, false},
        {"picEdBack", {168, 52, 433, 357}, 0, 0, 1, 1, true},
        {"sprScrollV", {600, 52, 17, 357}, 1, 0, 0, 1, true},
        {"sprScrollH", {168, 408, 433, 17}, 0, 1, 1, 0, true},
        {"sbMain", {0, 427, 621, 21}, 0, 1, 1, 0, false},
        {"COMMAND_TEMP", {368, 0, 61, 21}, 0, 0, 0, 0, false},
    };
    constexpr int kPanel = 220 + 4;  // the sprite panel and its gap
    load(rom);
    window->show();
    const QSize start = window->size();
    window->mnuViewZoomE_Click(5);
    QTreeWidgetItem* delta =
        tree()->findItems("Delta", Qt::MatchExactly | Qt::MatchRecursive).front();
    tree()->setCurrentItem(delta);
    window->tvSprites_DblClick();  // 384 x 384 pixels at zoom 24: too high for the start size
    widgets::SpriteView& view = window->spriteView();
    view.sprScrollV()->setValue(5);

    for (const QSize size : {QSize(1200, 850), start, QSize(300, 200), QSize(1200, 850), start}) {
        window->resize(size);
        QApplication::processEvents();
        const QSize client = window->centralWidget()->size();
        const int dx = client.width() - 621;
        const int dy = client.height() - 448;
        EXPECT_EQ(window->size(), size == QSize(300, 200) ? start : size);
        // Once there is room for it, the sprite panel stands beside the view.
        const bool panel = dx >= kPanel;
        const int viewDx = panel ? dx - kPanel : dx;
        auto* spritePanel = window->findChild<QWidget*>("SpritePanel");
        EXPECT_EQ(spritePanel->isVisible(), panel);
        if (panel) {
            EXPECT_EQ(spritePanel->geometry(), QRect(620 + viewDx, 52, 220, 373 + dy));
        }
        for (const Control& c : controls) {
            const int cdx = c.view ? viewDx : dx;
            const QRect expected = c.start.translated(c.right * cdx, c.down * dy)
                                       .adjusted(0, 0, c.wider * cdx, c.taller * dy);
            EXPECT_EQ(window->findChild<QWidget*>(c.name)->geometry(), expected)
                << c.name << " at " << size.width() << " x " << size.height();
        }
        // The scroll-range rule with the frame's size: the surface fits the
        // larger frame, at 0; at the start size it is scrollable again.
        const bool fits = dy >= 384 - 357;
        EXPECT_EQ(view.sprScrollV()->isEnabled(), !fits);
        EXPECT_EQ(view.sprScrollV()->maximum(), 26);  // 384 / 15 = 25.6
        if (fits) {
            EXPECT_EQ(view.picSprite()->pos(), QPoint(0, 0));
        }
        EXPECT_FALSE(view.sprScrollH()->isEnabled());
    }
    EXPECT_TRUE(ends.empty());
}

// Help Topics always, Game Information once a game was identified. A load
// identifies the game and fills the tree, a cancelled one changes nothing, and
// an unsupported ROM after a supported one empties the tree and leaves the
// earlier game's name and information.
TEST_F(MainWindow, LoadIdentifiesTheGameFillsTheTreeAndGameInformationTellsOfIt) {
    item("mnuFileGameInfo")->trigger();
    EXPECT_TRUE(dialogs.messages().empty());
    item("mnuHelpTopics")->trigger();
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text,
              "Help? I'll give you help. This is Wren stuff, backup your stuff. That's all the "
              "help I'm giving you...");
    EXPECT_EQ(dialogs.messages()[0].title, "Tessellane");
    EXPECT_EQ(dialogs.messages()[0].icon, MsgIcon::None);

    const std::string rev1 = dir.file("rev1.bin");
    test::writeFile(rev1, test::fixtureGameRom("T-00001 -01"));
    load(rev1);
    ASSERT_EQ(dialogs.fileRequests().size(), 1u);
    EXPECT_EQ(dialogs.fileRequests()[0].title, "Load Genesis ROM File");
    EXPECT_EQ(dialogs.fileRequests()[0].filter, "Binary Images (*.bin)|*.bin|All Files (*.*)|*.*");
    EXPECT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(state.RomPath, rev1);
    EXPECT_EQ(window->windowTitle(), QString::fromStdString("Tessellane [" + rev1 + "]"));
    EXPECT_EQ(window->panelText(1), "Game: Test Game One (Rev 01)");
    EXPECT_TRUE(menu("mnuFileSave")->menuAction()->isEnabled());
    QStringList headings;
    for (int i = 0; i < tree()->topLevelItemCount(); ++i)
        headings << tree()->topLevelItem(i)->text(0);
    EXPECT_EQ(headings, (QStringList{"Props", "Villains", "Heroes", "Heading without sprites",
                                     "Compressed"}));
    QTreeWidgetItem* villains = tree()->topLevelItem(1);
    EXPECT_FALSE(villains->isExpanded());
    ASSERT_EQ(villains->childCount(), 2);
    EXPECT_EQ(villains->child(0)->text(0), "Big Sprite");
    EXPECT_EQ(villains->child(0)->data(0, Qt::UserRole).toString(), "QBRKCHILD_Big Sprite");
    EXPECT_EQ(villains->child(0)->data(0, Qt::UserRole + 1).toInt(), 2);
    EXPECT_EQ(villains->data(0, Qt::UserRole + 1).toInt(), 1);
    load("");  // the dialog is cancelled
    EXPECT_EQ(state.RomPath, rev1);
    EXPECT_EQ(tree()->topLevelItemCount(), 5);

    load(rom);
    const std::string info =
        "Game Name: Test Game One\r\n\r\nTotal Sprites Defined: 10\r\nNumber of Sprite "
        "Headings: 4";
    item("mnuFileGameInfo")->trigger();
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_EQ(dialogs.messages()[1].text, info);
    EXPECT_EQ(dialogs.messages()[1].title, "Tessellane");

    const std::string other = dir.file("other.bin");
    test::writeRom(other, "NOT A GAME");
    load(other);
    ASSERT_EQ(dialogs.messages().size(), 3u);
    const MessageRequest& box = dialogs.messages()[2];
    EXPECT_EQ(
        box.text,
        "File is either an corrupt, invalid, or does not currently have support by Tessellane");
    EXPECT_EQ(box.title, "Error");
    EXPECT_EQ(box.icon, MsgIcon::Exclamation);
    EXPECT_EQ(box.buttons, MsgButtons::Ok);
    EXPECT_EQ(tree()->topLevelItemCount(), 0);
    EXPECT_EQ(window->panelText(1), "Game: Test Game One");
    EXPECT_EQ(window->windowTitle(), QString::fromStdString("Tessellane [" + other + "]"));
    item("mnuFileGameInfo")->trigger();
    ASSERT_EQ(dialogs.messages().size(), 4u);
    EXPECT_EQ(dialogs.messages()[3].text, info);
    EXPECT_TRUE(ends.empty());
}

// Each file dialog opens where it last found a file in this run; a
// cancelled dialog changes nothing.
TEST_F(MainWindow, EachFileDialogOpensInTheFolderItLastFoundAFileIn) {
    std::filesystem::create_directories(dir / "pictures");
    const std::string picture = (dir / "pictures" / "alpha.png").string();
    auto exportImage = [&](const std::string& answer) {
        dialogs.queueFile(answer);
        QMenu* menu = window->spriteMenu(node("alpha"));
        menu->findChild<QAction*>("mnuSpriteExport")->trigger();
        delete menu;
    };
    load(rom);
    load("");
    exportImage(picture);
    exportImage("");
    load(rom);
    const std::pair<const char*, std::string> asked[] = {
        {"Load Genesis ROM File", ""},
        {"Load Genesis ROM File", dir.path().string()},
        {"Export Image", ""},
        {"Export Image", (dir / "pictures").string()},
        {"Load Genesis ROM File", dir.path().string()},
    };
    ASSERT_EQ(dialogs.fileRequests().size(), std::size(asked));
    for (std::size_t i = 0; i < std::size(asked); ++i) {
        EXPECT_EQ(dialogs.fileRequests()[i].title, asked[i].first) << i;
        EXPECT_EQ(dialogs.fileRequests()[i].folder, asked[i].second) << i;
    }
    EXPECT_TRUE(std::filesystem::exists(picture));
    EXPECT_TRUE(ends.empty());
}

TEST_F(MainWindow, DatabaseErrorDuringLoadEndsTheProgramWithItsMessage) {
    test::copyJetFixtures(dir.folder());
    std::filesystem::remove(dir.file("t00001.mdb"));
    ProgramState other;
    const auto broken = anotherWindow(other, dir.path().string());
    dialogs.queueFile(rom);
    broken->findChild<QAction*>("mnuFileLoad")->trigger();
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_NE(dialogs.messages()[0].text.find("t00001.mdb"), std::string::npos);
    EXPECT_EQ(dialogs.messages()[0].icon, MsgIcon::Critical);
    EXPECT_EQ(ends, std::vector<int>{1});
}

TEST_F(MainWindow, AboutListsGamesAndShowsDetailsOfTheDoubleClickedRow) {
    widgets::frmAbout about(window.get());
    about.loadGameList(*state.GameDb);
    window->setAboutWindow(&about);
    auto* list = about.findChild<QTreeWidget*>("lvGames");
    auto columns = [](QTreeWidgetItem* row) {
        return QStringList{row->text(0), row->text(1), row->text(2)};
    };
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(columns(list->headerItem()), (QStringList{"Game", "%", "Author"}));
    EXPECT_EQ(columns(list->topLevelItem(1)),
              (QStringList{"Test Game One", "75%", "Fixture Author"}));
    EXPECT_EQ(about.windowTitle(), "About Tessellane");

    // Help > About shows the window modally; its OK button hides it again.
    bool shown = false;
    QString details;
    QTimer::singleShot(0, [&] {
        shown = about.isVisible();
        // Double-click on the second game: its comment in a modal Details window.
        QTimer::singleShot(0, [&] {
            auto* box = about.findChild<widgets::frmDetails*>();
            if (box) {
                details = box->message();
                EXPECT_EQ(box->windowTitle(), "Details");
                box->findChild<QPushButton*>("OKButton")->click();
            }
        });
        emit list->itemDoubleClicked(list->topLevelItem(1), 0);
        about.findChild<QPushButton*>("cmdOK")->click();
    });
    item("mnuHelpAbout")->trigger();
    EXPECT_TRUE(shown);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(details, "First line of the comment.\nSecond line.");
    EXPECT_EQ(list->topLevelItemCount(), 2);  // the list is not rebuilt
}

TEST(AboutList, RowsFillTheColumnsThatExistAndDropTheRest) {
    QTreeWidget list;
    list.setColumnCount(3);
    widgets::frmAbout::AddListRow(&list, "a*b%*c*d*e");
    widgets::frmAbout::AddListRow(&list, "");
    widgets::frmAbout::AddListRow(&list, "only");
    ASSERT_EQ(list.topLevelItemCount(), 2);
    EXPECT_EQ(list.topLevelItem(0)->text(2), "c");
    EXPECT_EQ(list.topLevelItem(1)->text(0), "only");
    EXPECT_EQ(list.topLevelItem(1)->text(1), "");
}

}  // namespace
}  // namespace tess::window
