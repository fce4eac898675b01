#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <csignal>
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
    // How the program ends once its window exists: keeping unsaved painting first.
    std::function<void(int)> end = endProcess;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (...) {
            if (dialogs)
                tess::ShowFatalError(*dialogs, tess::asRuntimeError(std::current_exception()));
            end(1);
            endProcess(1);
        }
    }
};

// A terminal that closes (SIGHUP), a shutdown (SIGTERM) or Ctrl+C (SIGINT)
// ends the program as an error would, keeping unsaved painting first. The
// handler only writes the signal's number into a socket; the event loop reads
// it, so that the keeping runs outside the signal handler. (POSIX: a port to
// Windows hooks its console and session-end events here instead.)
int signalSocket[2] = {-1, -1};

void onEndSignal(int number) {
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const auto written = ::write(signalSocket[1], &byte, 1);
}

void endOnSignals(QObject* parent, const std::function<void(int)>& end) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSocket) != 0) return;
    auto* notifier = new QSocketNotifier(signalSocket[0], QSocketNotifier::Read, parent);
    QObject::connect(notifier, &QSocketNotifier::activated, parent, [end] {
        char number = 0;
        if (::read(signalSocket[0], &number, 1) == 1) end(128 + number);
    });
    struct sigaction action {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : {SIGHUP, SIGINT, SIGTERM}) ::sigaction(number, &action, nullptr);
}

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
    state.RecoveryFolder =
        QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation).toStdString() +
        "/recovery";
    const auto program = tess::window::StartProgram(
        state, arguments, QApplication::applicationDirPath().toStdString(), dialogs, endProcess,
        std::cerr);
    if (!program) return 1;  // endProcess has ended the program already
    dialogs.setParent(program->main.get());
    app.end = [main = program->main.get()](int code) { main->endProgram(code); };
    endOnSignals(&app, app.end);
    return QApplication::exec();
}
