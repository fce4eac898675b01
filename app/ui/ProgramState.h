#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "gamedb/core/GameDatabase.h"

namespace tess {

// The program state that lives for the whole run, owned by the application
// and handed to the windows that need it.
struct ProgramState {
    std::string AppFolder;
    std::string RomPath;  // empty until File > Load
    std::unique_ptr<gamedb::GameDatabase> GameDb;
    std::int16_t Zoom = 8;
};

// The folder the game databases are read from: the fixed developer folder when
// the whole command line is exactly "/debug", else the executable's folder
// followed by a separator.
std::string AppFolderFor(const std::string& commandLine, const std::string& executableFolder);

// Start-up before any window exists: fixes AppFolder and Zoom and opens
// game.mdb. Database errors propagate.
void InitProgram(ProgramState& state, const std::string& commandLine,
                 const std::string& executableFolder);

}  // namespace tess
