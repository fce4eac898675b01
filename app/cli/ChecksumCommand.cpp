#include "app/cli/ChecksumCommand.h"

#include <cstdio>

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

int runChecksumCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const bool fix = args.size() == 3 && args[2] == "--fix";
    if (args.size() != 2 && !fix) return -1;
    const std::string& path = args[1];
    std::string why;
    const auto rom = compress::readWholeFile(path, why);
    if (!rom) {
        err << "cannot read " << path << ": " << why << "\n";
        return 1;
    }
    if (rom->size() < gfx::kHeaderEnd) {
        err << path << " is " << rom->size() << " bytes long, shorter than the " << gfx::kHeaderEnd
            << "-byte cartridge header: not a Genesis ROM\n";
        return 1;
    }
    const std::uint16_t stored = gfx::StoredChecksum(*rom);
    const std::uint16_t computed = gfx::ComputeChecksum(*rom);
    out << "stored:   " << hexWord(stored) << "\ncomputed: " << hexWord(computed) << "\n";
    if (stored == computed) return 0;
    if (!fix) return 1;
    const std::uint8_t word[] = {static_cast<std::uint8_t>(computed >> 8),
                                 static_cast<std::uint8_t>(computed & 0xFF)};
    try {
        gfx::writeAt(path, gfx::kChecksumOffset, word);
    } catch (const RuntimeError& e) {
        err << "cannot write " << path << ": " << e.description() << "\n";
        return 1;
    }
    out << "fixed:    " << hexWord(computed) << " written at " << hexWord(gfx::kChecksumOffset)
        << "\n";
    return 0;
}

}  // namespace tess::cli
