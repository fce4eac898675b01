#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "gamedb/GameDatabase.h"
#include "paint/GenesisPalette.h"
#include "tiles/SpriteDocument.h"

namespace tess::window {

// The program state that lives for the whole run, owned by the application
// and handed to the windows that need it.
struct ProgramState {
    std::string AppFolder;
    std::string RomPath;  // empty until File > Load
    std::unique_ptr<gamedb::GameDatabase> GameDb;
    tiles::SpriteDocument Sprite;
    // Entry 0 takes the window's background colour when the window is made.
    paint::GenesisPalette Palette{paint::ScreenColour{}};
    // The ROM the palette was read from: it is only ever saved back there.
    std::string PaletteRomPath;
    // Where unsaved sprite edits are kept until they are saved or dropped;
    // empty keeps nothing.
    std::string RecoveryFolder;
};

// The whole command-line text that selects the developer folder.
inline constexpr std::string_view kDebugSwitch = "/debug";

// The folder the game databases are read from: the fixed developer folder when
// the whole command line is exactly kDebugSwitch, else the executable's folder
// followed by a separator.
std::string AppFolderFor(const std::string& commandLine, const std::string& executableFolder);

// Start-up before any window exists: fixes AppFolder and opens game.mdb.
// Database errors propagate.
void InitProgram(ProgramState& state, const std::string& commandLine,
                 const std::string& executableFolder);

}  // namespace tess::window
