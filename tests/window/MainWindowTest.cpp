#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "tests/support/QtPrinters.h"
#include "tests/window/FixtureWindow.h"
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

TEST_F(MainWindow, MenusHaveTheirCaptionsAndStartStates) {
    const std::pair<const char*, const char*> captions[] = {
        {"mnuFileLoad", "&Load..."},        {"mnuFileSaveRom", "Save ROM"},
        {"mnuFileSavePalette", "Save &Palette"}, {"mnuFileImport", "Import Sprite..."},
        {"mnuFileGameInfo", "Game Information"}, {"mnuFileExit", "E&xit"},
        {"mnuViewGrid", "&Grid"},            {"mnuCompressionDump", "Dump offset..."},
        {"mnuCompressionCompress", "Compress Data..."}, {"mnuHelpTopics", "Help Topics"},
        {"mnuHelpAbout", "&About"},
    };
    for (const auto& [name, caption] : captions) {
        ASSERT_NE(item(name), nullptr) << name;
        EXPECT_EQ(item(name)->text(), caption) << name;
    }
    const std::pair<const char*, const char*> menus[] = {
        {"mnuFile", "&File"}, {"mnuFileSave", "&Save"}, {"mnuView", "&View"},
        {"mnuViewZoom", "Zoom"}, {"mnuCompression", "Compression"}, {"mnuHelp", "Help"}};
    for (const auto& [name, caption] : menus) {
        ASSERT_NE(menu(name), nullptr) << name;
        EXPECT_EQ(menu(name)->title(), caption) << name;
    }
    EXPECT_FALSE(menu("mnuFileSave")->menuAction()->isEnabled());
    EXPECT_FALSE(item("mnuFileImport")->isEnabled());
    EXPECT_FALSE(menu("mnuCompression")->menuAction()->isEnabled());
    EXPECT_FALSE(item("mnuViewGrid")->isChecked());
    EXPECT_EQ(item("mnuViewGrid")->shortcut(), QKeySequence("Ctrl+G"));
    const char* zooms[] = {"1", "4", "6", "8", "16", "24"};
    for (int i = 0; i < 6; ++i) {
        QAction* zoom = item(qPrintable(QString("mnuViewZoomE%1").arg(i)));
        ASSERT_NE(zoom, nullptr);
        EXPECT_EQ(zoom->text(), zooms[i]);
        EXPECT_EQ(zoom->isChecked(), i == 3);
    }
    EXPECT_EQ(window->spriteView().Zoom(), 8);
    EXPECT_EQ(window->windowTitle(), "Tessellane");
    EXPECT_EQ(window->panelText(1), "Game: None");
    EXPECT_EQ(window->panelText(2), "Status: Ready");
    EXPECT_EQ(window->panelText(3), "Mouse: (%x, %y)");
    EXPECT_EQ(window->panelText(4), "Progress:");
    EXPECT_FALSE(window->findChild<QPushButton*>("COMMAND_TEMP")->isVisible());
}

TEST_F(MainWindow, LoadIdentifiesTheGameAndFillsTheTreeACancelledOneChangesNothing) {
    const std::string rev1 = dir.file("rev1.bin");
    test::writeFile(rev1, test::fixtureGameRom("T-00001 -01"));
    load(rev1);
    ASSERT_EQ(dialogs.fileRequests().size(), 1u);
    EXPECT_EQ(dialogs.fileRequests()[0].title, "Load Genesis ROM File");
    EXPECT_EQ(dialogs.fileRequests()[0].filter, "Binary Images (*.bin)|*.bin|All Files (*.*)|*.*");
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_EQ(state.RomPath, rev1);
    EXPECT_EQ(window->windowTitle(), QString::fromStdString("Tessellane [" + rev1 + "]"));
    EXPECT_EQ(window->panelText(1), "Game: Test Game One (Rev 01)");
    EXPECT_TRUE(menu("mnuFileSave")->menuAction()->isEnabled());
    QStringList headings;
    for (int i = 0; i < tree()->topLevelItemCount(); ++i) headings << tree()->topLevelItem(i)->text(0);
    EXPECT_EQ(headings, (QStringList{"Props", "Villains", "Heroes", "Heading without sprites", "Compressed"}));
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
    EXPECT_TRUE(ends.empty());
}

TEST_F(MainWindow, UnsupportedRomAfterASupportedOne) {
    const std::string other = dir.file("other.bin");
    test::writeRom(other, "NOT A GAME");
    load(rom);
    load(other);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    const MessageRequest& box = dialogs.messages()[0];
    EXPECT_EQ(box.text,
              "File is either an corrupt, invalid, or does not currently have support by Tessellane");
    EXPECT_EQ(box.title, "Error");
    EXPECT_EQ(box.icon, MsgIcon::Exclamation);
    EXPECT_EQ(box.buttons, MsgButtons::Ok);
    EXPECT_EQ(tree()->topLevelItemCount(), 0);
    EXPECT_EQ(window->panelText(1), "Game: Test Game One");
    EXPECT_EQ(window->windowTitle(), QString::fromStdString("Tessellane [" + other + "]"));
    // Game Information still describes the previous game.
    item("mnuFileGameInfo")->trigger();
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_EQ(dialogs.messages()[1].text.substr(0, 25), "Game Name: Test Game One\r");
}

TEST_F(MainWindow, GameInformationOnlyWithAGameAndHelpTopicsAlways) {
    item("mnuFileGameInfo")->trigger();
    EXPECT_TRUE(dialogs.messages().empty());
    item("mnuHelpTopics")->trigger();
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text,
              "Help? I'll give you help. This is Wren stuff, backup your stuff. That's all the "
              "help I'm giving you...");
    EXPECT_EQ(dialogs.messages()[0].title, "Tessellane");
    EXPECT_EQ(dialogs.messages()[0].icon, MsgIcon::None);
    load(rom);
    item("mnuFileGameInfo")->trigger();
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_EQ(dialogs.messages()[1].text,
              "Game Name: Test Game One\r\n\r\nTotal Sprites Defined: 10\r\nNumber of Sprite "
              "Headings: 4");
    EXPECT_EQ(dialogs.messages()[1].title, "Tessellane");
}

TEST_F(MainWindow, DatabaseErrorDuringLoadEndsTheProgramWithItsMessage) {
    test::copyJetFixtures(dir.folder());
    std::filesystem::remove(dir.file("t00001.mdb"));
    ProgramState other;
    InitProgram(other, "", dir.path().string());
    frmMain broken(other, dialogs, [this](int code) { ends.push_back(code); });
    dialogs.queueFile(rom);
    broken.findChild<QAction*>("mnuFileLoad")->trigger();
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
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->headerItem()->text(0), "Game");
    EXPECT_EQ(list->headerItem()->text(1), "%");
    EXPECT_EQ(list->headerItem()->text(2), "Author");
    EXPECT_EQ(list->topLevelItem(1)->text(0), "Test Game One");
    EXPECT_EQ(list->topLevelItem(1)->text(1), "75%");
    EXPECT_EQ(list->topLevelItem(1)->text(2), "Fixture Author");
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
