#include "app/cli/LintCommand.h"

#include "app/core/Messages.h"
#include "gamedb/lint/GameLint.h"

namespace tess::cli {

int runLintCommand(const std::vector<std::string>& args, const std::string& appFolder,
                   std::ostream& out, std::ostream& err) {
    if (args.size() > 2) return -1;
    gamedb::GameDatabase db(appFolder);
    std::vector<gamedb::LintFinding> findings;
    if (args.size() == 2) {
        auto found = gamedb::LintRomGame(db, args[1]);
        if (!found) {
            err << kUnsupportedRomText << "\n";
            return 1;
        }
        findings = std::move(*found);
    } else {
        findings = gamedb::LintAllGames(db);
    }
    for (const auto& finding : findings) out << gamedb::FormatFinding(finding) << "\n";
    return gamedb::HasErrors(findings) ? 1 : 0;
}

}  // namespace tess::cli
