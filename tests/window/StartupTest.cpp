// Start-up from the command line, with scripted dialogs and a recorder in
// place of the end of the process.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTreeWidget>
#include <sstream>

#include "gamedb/Database.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestFiles.h"
#include "tests/support/Unprivileged.h"
#include "window/Startup.h"

namespace tess::window {
namespace {

// The executable's folder holds the fixture databases.
const std::string kExecutableFolder = TESS_TEST_DATA "/jet";

// One start of the program, with its own state, dialogs, record of the end of
// the process and standard error.
struct Started {
    explicit Started(const std::vector<std::string>& arguments,
                     const std::string& executableFolder = kExecutableFolder)
        : program(StartProgram(
              state, arguments, executableFolder, dialogs,
              [this](int code) { ends.push_back(code); }, err)) {}

    ProgramState state;
    test::ScriptedDialogs dialogs;
    std::vector<int> ends;
    std::ostringstream err;
    std::unique_ptr<RunningProgram> program;  // declared last: its windows close first
};

TEST(Startup, DebugAloneSelectsTheDeveloperFolder) {
    Started started({"/debug"});
    EXPECT_EQ(started.program, nullptr);
    EXPECT_EQ(started.state.AppFolder, "C:\\Dev\\Projects\\KVEL\\");
    // No game.mdb there: the engine's message, then the end.
    ASSERT_EQ(started.dialogs.messages().size(), 1u);
    EXPECT_EQ(started.dialogs.messages()[0].text,
              "Run-time error '3024':\r\n\r\n"
              "Could not find file 'C:\\Dev\\Projects\\KVEL\\game.mdb'.");
    EXPECT_EQ(started.ends, std::vector<int>{1});
    EXPECT_EQ(started.err.str(), "");
}

// A game.mdb that exists but may not be read is not reported as missing.
TEST(Startup, AnUnreadableDatabaseIsNamedSoAndEndsTheProgram) {
    test::TempDir dir;
    test::copyJetFixtures(dir.folder());
    test::makeUnreadable(dir / "game.mdb");
    const std::string seen = test::runWithoutReadRights([&] {
        Started started({}, dir.path().string());
        std::string shown = started.program ? "started" : "";
        for (const auto& box : started.dialogs.messages()) shown += box.text + "\n";
        for (const int code : started.ends) shown += "end " + std::to_string(code);
        return shown;
    });
    const auto error = gamedb::cannotOpenDatabaseError(dir.file("game.mdb"), "Permission denied");
    EXPECT_EQ(seen, "Run-time error '3051':\r\n\r\n" + error.description() + "\nend 1");
}

// Any other text keeps the executable's folder, and start-up goes on; an
// argument that is no readable file costs one line on stderr saying why, never
// a box.
TEST(Startup, OtherArgumentsKeepTheExecutablesFolder) {
    test::TempDir dir;
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    auto ignoring = [](const std::string& argument, const std::string& why = "no such file") {
        return "tessellane: ignoring '" + argument + "': " + why + "\n";
    };
    const struct {
        std::vector<std::string> arguments;
        std::string err;
    } cases[] = {
        {{}, ""},
        {{"/DEBUG"}, ignoring("/DEBUG")},
        {{"/debug", "x"}, ignoring("/debug") + ignoring("x")},
        {{"/debug", "-reverse"}, ignoring("/debug") + ignoring("-reverse")},
        {{"-style", "fusion"}, ignoring("-style") + ignoring("fusion")},
        {{"missing.bin"}, ignoring("missing.bin")},
        {{"/tmp"}, ignoring("/tmp", "is a folder")},
        {{fifo}, ignoring(fifo, "is not a regular file")},  // never opened: that would wait forever
    };
    for (const auto& c : cases) {
        Started started(c.arguments);
        const std::string text = c.arguments.empty() ? "" : c.arguments.front();
        ASSERT_NE(started.program, nullptr) << text;
        EXPECT_EQ(started.state.AppFolder, kExecutableFolder + "/") << text;
        EXPECT_TRUE(started.ends.empty()) << text;
        EXPECT_TRUE(started.dialogs.messages().empty()) << text;
        EXPECT_EQ(started.state.RomPath, "") << text;
        EXPECT_EQ(started.err.str(), c.err) << text;
        EXPECT_TRUE(started.program->main->isVisible());
        // The About list is built at start-up.
        EXPECT_EQ(started.program->about->findChild<QTreeWidget*>("lvGames")->topLevelItemCount(),
                  2);
    }
}

TEST(Startup, TheFirstRomArgumentIsLoadedAfterStartUp) {
    test::TempDir dir;
    const std::string rom = dir.file("rev1.bin");
    const std::string other = dir.file("other.bin");
    test::writeRom(rom, "T-00001 -01", 8192);
    test::writeRom(other, "NOT A GAME", 8192);
    Started started({rom, other});
    ASSERT_NE(started.program, nullptr);
    EXPECT_EQ(started.state.RomPath, rom);
    EXPECT_EQ(started.program->main->panelText(1), "Game: Test Game One (Rev 01)");
    EXPECT_EQ(started.program->main->windowTitle(),
              QString::fromStdString("Tessellane [" + rom + "]"));
    EXPECT_TRUE(started.dialogs.messages().empty());
    EXPECT_EQ(started.err.str(),
              "tessellane: ignoring '" + other + "': one ROM is loaded at a time\n");
}

// The separator is appended even to a root folder.
TEST(AppFolder, ARootFolderTakesASecondSeparator) { EXPECT_EQ(AppFolderFor("", "/"), "//"); }

}  // namespace
}  // namespace tess::window
