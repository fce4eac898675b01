#include <QApplication>
#include <QDir>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

#include "app/core/ErrorReporting.h"
#include "app/ui/ProgramState.h"
#include "app/ui/QtDialogs.h"
#include "app/ui/frmMain.h"
#include "gamedb/ui/frmAbout.h"

namespace {

// Ends the process at once: no further event runs. Every file the program
// writes is closed after each access, so nothing is left to flush.
[[noreturn]] void endProcess(int code) {
    std::fflush(nullptr);
    std::_Exit(code);
}

// Errors that escape an event handler end the program with the platform's
// message, the way the original tool's runtime did; they never unwind through Qt.
class TessellaneApplication : public QApplication {
public:
    using QApplication::QApplication;
    tess::CommonDlg* dialogs = nullptr;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (...) {
            if (dialogs) tess::ShowFatalError(*dialogs, tess::asRuntimeError(std::current_exception()));
            endProcess(1);
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    TessellaneApplication app(argc, argv);
    QApplication::setApplicationName("Tessellane");

    QStringList args = QApplication::arguments();
    args.removeFirst();
    const std::string commandLine = args.join(' ').toStdString();
    // A ROM path on the command line is loaded after start-up, as File > Load would.
    QString romPath;
    for (const QString& arg : args) {
        if (arg != "/debug") {
            romPath = arg;
            break;
        }
    }

    tess::QtDialogs dialogs;
    app.dialogs = &dialogs;
    tess::ProgramState state;
    try {
        tess::InitProgram(state, commandLine, QApplication::applicationDirPath().toStdString());
    } catch (...) {
        tess::ShowFatalError(dialogs, tess::asRuntimeError(std::current_exception()));
        endProcess(1);
    }

    tess::frmMain main(state, dialogs, [](int code) { endProcess(code); });
    dialogs.setParent(&main);
    main.show();

    tess::gamedb::frmAbout about(&main);
    main.setAboutWindow(&about);
    main.guarded([&] { about.loadGameList(*state.GameDb); });

    if (!romPath.isEmpty()) {
        main.guarded([&] { main.LoadRom(QDir::current().absoluteFilePath(romPath).toStdString()); });
    }
    return QApplication::exec();
}
