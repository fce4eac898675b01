// Start-up from the command line, with scripted dialogs and a recorder in
// place of the end of the process.
#include <gtest/gtest.h>

#include <QTreeWidget>
#include <algorithm>
#include <sstream>

#include "app/ui/Startup.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestFiles.h"

namespace tess {
namespace {

class Startup : public ::testing::Test {
protected:
    void SetUp() override { test::writeRom(rom, "T-00001 -01", 8192); }

    std::unique_ptr<RunningProgram> start(const std::vector<std::string>& arguments) {
        return StartProgram(
            state, arguments, executableFolder, dialogs, [this](int code) { ends.push_back(code); },
            err);
    }

    // The executable's folder holds the fixture databases.
    const std::string executableFolder = TESS_TEST_DATA "/jet";
    test::TempDir dir;
    const std::string rom = dir.file("rev1.bin");
    test::ScriptedDialogs dialogs;
    ProgramState state;
    std::vector<int> ends;
    std::ostringstream err;
};

TEST_F(Startup, DebugAloneSelectsTheDeveloperFolder) {
    EXPECT_EQ(start({"/debug"}), nullptr);
    EXPECT_EQ(state.AppFolder, "C:\\Dev\\Projects\\KVEL\\");
    // No game.mdb there: the engine's message, then the end.
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text,
              "Run-time error '3024':\r\n\r\n"
              "Could not find file 'C:\\Dev\\Projects\\KVEL\\game.mdb'.");
    EXPECT_EQ(ends, std::vector<int>{1});
    EXPECT_EQ(err.str(), "");
}

// Any other text keeps the executable's folder, and start-up goes on; an
// argument that is no ROM file costs one line on stderr, never a box.
TEST_F(Startup, OtherArgumentsKeepTheExecutablesFolder) {
    const struct {
        std::vector<std::string> arguments;
        int ignored;
    } cases[] = {
        {{}, 0},
        {{"/DEBUG"}, 1},
        {{"/debug", "x"}, 2},
        {{"/debug", "-reverse"}, 2},
        {{"-style", "fusion"}, 2},
        {{"missing.bin"}, 1},
        {{"/tmp"}, 1},  // a folder is no ROM
    };
    for (const auto& c : cases) {
        ProgramState fresh;
        std::ostringstream lines;
        std::vector<int> ended;
        test::ScriptedDialogs boxes;
        const auto program = StartProgram(
            fresh, c.arguments, executableFolder, boxes, [&](int code) { ended.push_back(code); },
            lines);
        const std::string text = c.arguments.empty() ? "" : c.arguments.front();
        ASSERT_NE(program, nullptr) << text;
        EXPECT_EQ(fresh.AppFolder, executableFolder + "/") << text;
        EXPECT_TRUE(ended.empty()) << text;
        EXPECT_TRUE(boxes.messages().empty()) << text;
        EXPECT_EQ(fresh.RomPath, "") << text;
        const std::string stderrText = lines.str();
        EXPECT_EQ(std::count(stderrText.begin(), stderrText.end(), '\n'), c.ignored) << text;
        EXPECT_TRUE(program->main->isVisible());
        // The About list is built at start-up.
        EXPECT_EQ(program->about->findChild<QTreeWidget*>("lvGames")->topLevelItemCount(), 2);
    }
}

TEST_F(Startup, TheFirstRomArgumentIsLoadedAfterStartUp) {
    const std::string other = dir.file("other.bin");
    test::writeRom(other, "NOT A GAME", 8192);
    const auto program = start({rom, other});
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(state.RomPath, rom);
    EXPECT_EQ(program->main->panelText(1), "Game: Test Game One (Rev 01)");
    EXPECT_EQ(program->main->windowTitle(), QString::fromStdString("Tessellane [" + rom + "]"));
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_EQ(err.str(), "tessellane: ignoring '" + other + "': one ROM is loaded at a time\n");
}

// The separator is appended even to a root folder.
TEST(AppFolder, ARootFolderTakesASecondSeparator) { EXPECT_EQ(AppFolderFor("", "/"), "//"); }

}  // namespace
}  // namespace tess
