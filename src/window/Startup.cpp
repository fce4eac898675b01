#include "window/Startup.h"

#include <filesystem>

#include "base/ErrorReporting.h"
#include "base/WholeFile.h"

namespace tess::window {
namespace {

std::string joined(const std::vector<std::string>& arguments) {
    std::string text;
    for (const std::string& argument : arguments) text += (text.empty() ? "" : " ") + argument;
    return text;
}

// The first argument that names a readable file, made absolute, or "" for
// none; every other argument gets one line on `err` saying why.
std::string romArgument(const std::vector<std::string>& arguments, std::ostream& err) {
    std::string rom;
    for (const std::string& argument : arguments) {
        const auto unreadable = whyUnreadable(argument);
        if (!unreadable && rom.empty()) {
            std::error_code ec;
            rom = std::filesystem::absolute(argument, ec).string();
        } else {
            err << "tessellane: ignoring '" << argument
                << "': " << (unreadable ? unreadable->why : "one ROM is loaded at a time") << "\n";
        }
    }
    return rom;
}

}  // namespace

std::unique_ptr<RunningProgram> StartProgram(ProgramState& state,
                                             const std::vector<std::string>& arguments,
                                             const std::string& executableFolder,
                                             CommonDlg& dialogs,
                                             const std::function<void(int)>& endProcess,
                                             std::ostream& err) {
    const std::string commandLine = joined(arguments);
    try {
        InitProgram(state, commandLine, executableFolder);
    } catch (...) {
        ShowFatalError(dialogs, asRuntimeError(std::current_exception()));
        endProcess(1);
        return nullptr;
    }

    auto program = std::make_unique<RunningProgram>();
    program->main = std::make_unique<frmMain>(state, dialogs, endProcess);
    program->main->show();
    program->about = std::make_unique<widgets::frmAbout>(program->main.get());
    program->main->setAboutWindow(program->about.get());
    program->main->guarded([&] { program->about->loadGameList(*state.GameDb); });

    const std::string rom = commandLine == kDebugSwitch ? "" : romArgument(arguments, err);
    if (!rom.empty()) program->main->guarded([&] { program->main->LoadRom(rom); });
    return program;
}

}  // namespace tess::window
