#include "cli/Command.h"

#include <ostream>

#include "base/Messages.h"
#include "gamedb/Identify.h"

namespace tess::cli {

bool IdentifyOrSay(gamedb::GameDatabase& db, const std::string& rom, std::ostream& say) {
    if (gamedb::IdentifyRom(db, rom)) return true;
    say << kUnsupportedRomText << "\n";
    return false;
}

}  // namespace tess::cli
