#include "app/cli/ChecksumCommand.h"

#include <cstdio>
#include <ostream>

#include "app/cli/Command.h"
#include "app/core/RuntimeError.h"
#include "compress/lib/WholeFile.h"
#include "gfx/core/RomFile.h"
#include "gfx/core/RomHeader.h"

namespace tess::cli {
namespace {

std::string hex(std::int64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%04llX", static_cast<long long>(value));
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
    if (static_cast<std::int64_t>(rom->size()) < gfx::kHeaderEnd) {
        err << path << " is " << rom->size() << " bytes long, shorter than the " << gfx::kHeaderEnd
            << "-byte cartridge header: not a Genesis ROM\n";
        return kFailed;
    }
    const std::uint16_t stored = gfx::StoredChecksum(*rom);
    const std::uint16_t computed = gfx::ComputeChecksum(*rom);
    out << "stored:   " << hex(stored) << "\ncomputed: " << hex(computed) << "\n";
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
    out << "fixed:    " << hex(computed) << " written at " << hex(gfx::kChecksumOffset) << "\n";
    return kOk;
}

}  // namespace tess::cli
