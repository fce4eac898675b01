#include "window/ProgramState.h"

namespace tess::window {

std::string AppFolderFor(const std::string& commandLine, const std::string& executableFolder) {
    if (commandLine == kDebugSwitch) return "C:\\Dev\\Projects\\KVEL\\";
    return executableFolder + "/";
}

void InitProgram(ProgramState& state, const std::string& commandLine,
                 const std::string& executableFolder) {
    state.AppFolder = AppFolderFor(commandLine, executableFolder);
    state.GameDb = std::make_unique<gamedb::GameDatabase>(state.AppFolder);
}

}  // namespace tess::window
