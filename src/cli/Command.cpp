#include "cli/Command.h"

#include <ostream>

#include "base/Messages.h"
#include "base/WholeFile.h"
#include "gamedb/Identify.h"

namespace tess::cli {

bool RomReadableOrSay(const std::string& rom, std::ostream& err) {
    const auto unreadable = whyUnreadable(rom);
    if (unreadable) err << "cannot read " << rom << ": " << unreadable->why << "\n";
    return !unreadable;
}

bool IdentifyOrSay(gamedb::GameDatabase& db, const std::string& rom, std::ostream& say,
                   std::ostream& err) {
    if (!RomReadableOrSay(rom, err)) return false;
    if (gamedb::IdentifyRom(db, rom)) return true;
    say << kUnsupportedRomText << "\n";
    return false;
}

}  // namespace tess::cli
