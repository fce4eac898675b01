#include "cli/LintCommand.h"

#include <ostream>

#include "base/Messages.h"
#include "cli/Command.h"
#include "lint/GameLint.h"

namespace tess::cli {

int LintGames(gamedb::GameDatabase& db, const std::vector<std::string>& args, std::ostream& out,
              std::ostream& err) {
    std::vector<lint::LintFinding> findings;
    if (args.empty()) {
        findings = lint::LintAllGames(db);
    } else if (!ReadableOrSay(args[0], err)) {
        return kFailed;
    } else if (auto found = lint::LintRomGame(db, args[0])) {
        findings = std::move(*found);
    } else {
        err << kUnsupportedRomText << "\n";
        return kFailed;
    }
    for (const auto& finding : findings) out << lint::FormatFinding(finding) << "\n";
    return lint::HasErrors(findings) ? kFailed : kOk;
}

}  // namespace tess::cli
