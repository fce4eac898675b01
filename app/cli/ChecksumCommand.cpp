#include "app/cli/ChecksumCommand.h"

#include <cstdio>
#include <ostream>

#include "app/cli/SpriteCommands.h"
#include "app/core/RuntimeError.h"
#include "compress/lib/WholeFile.h"
#include "gfx/core/RomChecksum.h"
#include "gfx/core/RomFile.h"

namespace tess::cli {
namespace {

std::string hexWord(unsigned word) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", word);
    return text;
}

}  // namespace

int CheckChecksum(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const bool fix = args.size() == 2;  // the caller accepts only "--fix" as a second word
    const std::string& path = args[0];
    std::string why;
    const auto rom = compress::readWholeFile(path, why);
    if (!rom) {
        err << "cannot read " << path << ": " << why << "\n";
        return kFailed;
    }
    if (rom->size() < gfx::kHeaderEnd) {
        err << path << " is " << rom->size() << " bytes long, shorter than the " << gfx::kHeaderEnd
            << "-byte cartridge header: not a Genesis ROM\n";
        return kFailed;
    }
    const std::uint16_t stored = gfx::StoredChecksum(*rom);
    const std::uint16_t computed = gfx::ComputeChecksum(*rom);
    out << "stored:   " << hexWord(stored) << "\ncomputed: " << hexWord(computed) << "\n";
    if (stored == computed) return kOk;
    if (!fix) return kFailed;
    const std::uint8_t word[] = {static_cast<std::uint8_t>(computed >> 8),
                                 static_cast<std::uint8_t>(computed & 0xFF)};
    try {
        gfx::writeAt(path, gfx::kChecksumOffset, word);
    } catch (const RuntimeError& e) {
        err << "cannot write " << path << ": " << e.description() << "\n";
        return kFailed;
    }
    out << "fixed:    " << hexWord(computed) << " written at " << hexWord(gfx::kChecksumOffset)
        << "\n";
    return kOk;
}

}  // namespace tess::cli
