#include "app/cli/LintCommand.h"

#include <ostream>

#include "app/cli/Command.h"
#include "app/core/Messages.h"
#include "gamedb/lint/GameLint.h"

namespace tess::cli {

int LintGames(gamedb::GameDatabase& db, const std::vector<std::string>& args, std::ostream& out,
              std::ostream& err) {
    std::vector<gamedb::LintFinding> findings;
    if (args.empty()) {
        findings = gamedb::LintAllGames(db);
    } else if (auto found = gamedb::LintRomGame(db, args[0])) {
        findings = std::move(*found);
    } else {
        err << kUnsupportedRomText << "\n";
        return kFailed;
    }
    for (const auto& finding : findings) out << gamedb::FormatFinding(finding) << "\n";
    return gamedb::HasErrors(findings) ? kFailed : kOk;
}

}  // namespace tess::cli
