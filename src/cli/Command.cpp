#include "cli/Command.h"

#include <ostream>

#include "base/Messages.h"
#include "base/WholeFile.h"
#include "gamedb/Identify.h"

namespace tess::cli {

std::string CannotRead(const std::string& path, const std::string& why) {
    return "cannot read " + path + ": " + why;
}

std::string CannotWrite(const std::string& path, const std::string& why) {
    return "cannot write " + path + ": " + why;
}

bool ReadableOrSay(const std::string& path, std::ostream& err) {
    const auto unreadable = whyUnreadable(path);
    if (unreadable) err << CannotRead(path, unreadable->why) << "\n";
    return !unreadable;
}

std::optional<std::vector<std::uint8_t>> ReadOrSay(const std::string& path, std::ostream& err) {
    std::string why;
    auto bytes = readWholeFile(path, why);
    if (!bytes) err << CannotRead(path, why) << "\n";
    return bytes;
}

bool WriteOrSay(const std::string& path, std::span<const std::uint8_t> bytes, std::ostream& err) {
    std::string why;
    if (writeWholeFile(path, bytes, why)) return true;
    err << CannotWrite(path, why) << "\n";
    return false;
}

bool IdentifyOrSay(gamedb::GameDatabase& db, const std::string& rom, std::ostream& say,
                   std::ostream& err) {
    if (!ReadableOrSay(rom, err)) return false;
    if (gamedb::IdentifyRom(db, rom)) return true;
    say << kUnsupportedRomText << "\n";
    return false;
}

}  // namespace tess::cli
