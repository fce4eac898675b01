#include "app/cli/Command.h"

#include <ostream>

#include "app/core/Messages.h"
#include "gamedb/core/Identify.h"

namespace tess::cli {

bool IdentifyOrSay(gamedb::GameDatabase& db, const std::string& rom, std::ostream& say) {
    if (gamedb::IdentifyRom(db, rom)) return true;
    say << kUnsupportedRomText << "\n";
    return false;
}

}  // namespace tess::cli
