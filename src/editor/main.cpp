#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "base/ErrorReporting.h"
#include "window/QtDialogs.h"
#include "window/Startup.h"

namespace {

constexpr const char* kHelp =
    "usage: tessellane [ROM]\n"
    "       tessellane /debug\n"
    "Edit the sprites of a Sega Genesis (Mega Drive) ROM image in place.\n"
    "\n"
    "  ROM        a ROM file to load at start (one named --help as ./--help)\n"
    "  /debug     alone: read the databases from the developer folder\n"
    "  --help     show this text\n"
    "  --version  show the version\n"
    "\n"
    "The game databases (game.mdb and each game's file) are read from the\n"
    "program's own folder. Compressed sprites are unpacked into dump.bin and\n"
    "dumpc.bin in the current directory. See tessellane(1).\n";

// Ends the process at once: no further event runs. Every file the program
// writes is closed after each access, so nothing is left to flush.
[[noreturn]] void endProcess(int code) {
    std::fflush(nullptr);
    std::_Exit(code);
}

// Errors that escape an event handler end the program after the platform's
// message, as any error nobody catches does; they must never unwind through
// Qt, whose event loop is not exception-safe.
class TessellaneApplication : public QApplication {
public:
    using QApplication::QApplication;
    tess::CommonDlg* dialogs = nullptr;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (...) {
            if (dialogs)
                tess::ShowFatalError(*dialogs, tess::asRuntimeError(std::current_exception()));
            endProcess(1);
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    // The command line is the program's own: read it whole, and give the
    // toolkit only the program name so that it takes no option out of it
    // ("/debug -reverse" must not mirror the window).
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    // Answered before the toolkit or a database starts, so that they work
    // without a display; a ROM named so is opened as ./--help.
    for (const std::string& argument : arguments) {
        if (argument == "--version") {
            std::cout << "tessellane " TESSELLANE_VERSION "\n";
            return 0;
        }
        if (argument == "--help") {
            std::cout << kHelp;
            return 0;
        }
    }
    static int toolkitArgc = 1;
    TessellaneApplication app(toolkitArgc, argv);
    QApplication::setApplicationName("Tessellane");

    tess::window::QtDialogs dialogs;
    app.dialogs = &dialogs;
    tess::window::ProgramState state;
    const auto program = tess::window::StartProgram(
        state, arguments, QApplication::applicationDirPath().toStdString(), dialogs,
        [](int code) { endProcess(code); }, std::cerr);
    if (!program) return 1;  // endProcess has ended the program already
    dialogs.setParent(program->main.get());
    return QApplication::exec();
}
