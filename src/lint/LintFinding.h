#pragma once

#include <string>
#include <vector>

namespace tess::lint {

// Error: the editor fails on the row, shows something other than the database
// says, or a save would damage the ROM. Warning: the editor works, but the
// database is probably not what its author meant.
enum class LintLevel { Warning, Error };

// One problem in a game's database.
struct LintFinding {
    LintLevel level = LintLevel::Error;
    std::string game;   // "NFO"."Name", or the Games "ID" when the game's data cannot be read
    std::string table;  // "Games", "NFO", "HEAD", "SPRITE" or "COMPRESSED"
    std::string row;    // the row's "Name" ("ID" in Games and HEAD), "#n" when it has none
    std::string message;
};

// LEVEL<TAB>GAME<TAB>TABLE<TAB>ROW<TAB>MESSAGE, LEVEL being "error" or "warning".
std::string FormatFinding(const LintFinding& finding);

bool HasErrors(const std::vector<LintFinding>& findings);

}  // namespace tess::lint
