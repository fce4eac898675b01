#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "base/CommonDlg.h"
#include "widgets/frmAbout.h"
#include "window/ProgramState.h"
#include "window/frmMain.h"

namespace tess::window {

// The windows of a started program; they live until the event loop ends.
struct RunningProgram {
    std::unique_ptr<frmMain> main;
    std::unique_ptr<widgets::frmAbout> about;  // a child of main: destroyed first
};

// Start-up, once the toolkit exists. `arguments` are the command-line
// arguments as the user typed them, before the toolkit could take any for
// itself: their whole text decides AppFolder ("/debug" alone selects the
// developer folder). Then game.mdb is opened, the main window shown and the
// About window pre-loaded. The first argument that names a readable file is
// loaded as a ROM, as File > Load would; every other argument is passed over
// with one line on `err` saying why (see whyUnreadable).
//
// A database error before the main window exists ends the program through
// `endProcess` after its message box (nothing is returned when that call
// returns, as a test's recorder does); later ones as any handler's would.
std::unique_ptr<RunningProgram> StartProgram(ProgramState& state,
                                             const std::vector<std::string>& arguments,
                                             const std::string& executableFolder,
                                             CommonDlg& dialogs,
                                             const std::function<void(int)>& endProcess,
                                             std::ostream& err);

}  // namespace tess::window
