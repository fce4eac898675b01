#include "cli/ChecksumCommand.h"

#include <cstdio>
#include <ostream>

#include "base/FileSystem.h"
#include "base/RuntimeError.h"
#include "cli/Command.h"
#include "tiles/RomHeader.h"

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
    const auto rom = ReadOrSay(path, err);
    if (!rom) return kFailed;
    if (static_cast<std::int64_t>(rom->size()) < tiles::kHeaderEnd) {
        err << path << " is " << rom->size() << " bytes long, shorter than the "
            << tiles::kHeaderEnd << "-byte cartridge header: not a Genesis ROM\n";
        return kFailed;
    }
    const std::uint16_t stored = tiles::StoredChecksum(*rom);
    const std::uint16_t computed = tiles::ComputeChecksum(*rom);
    out << "stored:   " << hex(stored) << "\ncomputed: " << hex(computed) << "\n";
    if (stored == computed) return kOk;
    if (!fix) return kFailed;
    try {
        // Worked out again from the file as it is when it is rewritten.
        RewriteFile(path, [](std::vector<std::uint8_t>& bytes) {
            if (static_cast<std::int64_t>(bytes.size()) < tiles::kHeaderEnd) {
                throw RuntimeError(err::PathFileAccess, "the file changed while it was read");
            }
            const std::uint16_t sum = tiles::ComputeChecksum(bytes);
            bytes[tiles::kChecksumOffset] = static_cast<std::uint8_t>(sum >> 8);
            bytes[tiles::kChecksumOffset + 1] = static_cast<std::uint8_t>(sum & 0xFF);
        });
    } catch (const RuntimeError& e) {
        err << CannotWrite(path, e.description()) << "\n";
        return kFailed;
    }
    out << "fixed:    " << hex(computed) << " written at " << hex(tiles::kChecksumOffset) << "\n";
    return kOk;
}

}  // namespace tess::cli
