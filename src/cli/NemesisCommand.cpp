#include "cli/NemesisCommand.h"

#include <charconv>
#include <cstdint>
#include <filesystem>
#include <optional>

#include "base/WholeFile.h"
#include "cli/Command.h"
#include "codec/Nemesis.h"
#include "tiles/TileCodec.h"

namespace tess::cli {
namespace {

// The codec's own command: its names read plainly here.
using namespace codec;

constexpr const char* kUsage =
    "usage: nemesis decompress FILE OFFSET OUT\n"
    "       nemesis compress [--best] IN OUT\n"
    "OFFSET is a byte offset into FILE, decimal or 0x-prefixed hexadecimal.\n"
    "--best searches several times longer for the last bytes.\n";

int usageError(std::ostream& err, const std::string& message) {
    err << message << "\n" << kUsage;
    return kFailed;
}

int failure(std::ostream& err, const std::string& message) {
    err << message << "\n";
    return kFailed;
}

std::optional<std::size_t> parseOffset(const std::string& text) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value, hex ? 16 : 10);
    if (first == last || error != std::errc{} || end != last) return std::nullopt;
    return value;
}

std::string tileText(std::size_t bytes) { return tiles::TilesText(bytes / kNemesisTileBytes); }

// Decodes the stream at `offset` of `file` from windows of the file that grow
// while the stream runs past them, so that a stream costs about its own size,
// whatever the file's. The result is the one the whole file would give, with
// offsets counted from `offset`.
std::optional<NemesisDecoded> decodeAt(const std::string& file, std::uint64_t offset,
                                       std::string& why) {
    constexpr std::size_t kFirstWindow = 64 * 1024;
    for (std::size_t window = kFirstWindow;; window *= 2) {
        const auto bytes = readFileRange(file, offset, window, why);
        if (!bytes) return std::nullopt;
        NemesisDecoded decoded = decodeNemesis(*bytes);
        const bool cutShort = decoded.status == NemesisStatus::StreamEndsEarly ||
                              decoded.status == NemesisStatus::TableUnterminated;
        if (!cutShort || bytes->size() < window) return decoded;
    }
}

int decompress(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::string& file = args[1];
    const std::string& target = args[3];
    const std::optional<std::size_t> offset = parseOffset(args[2]);
    if (!offset) {
        return usageError(err, "bad offset '" + args[2] +
                                   "': expected a decimal or 0x-prefixed hexadecimal number");
    }
    if (!ReadableOrSay(file, err)) return kFailed;
    std::error_code error;
    const std::uint64_t size = std::filesystem::file_size(file, error);
    if (error) return failure(err, CannotRead(file, error.message()));
    if (*offset >= size) {
        return failure(
            err, "offset " + args[2] + " is outside the file (" + std::to_string(size) + " bytes)");
    }
    std::string why;
    const auto decoded = decodeAt(file, *offset, why);
    if (!decoded) return failure(err, CannotRead(file, why));
    if (!decoded->ok()) {
        return failure(err, "corrupt stream at byte " + std::to_string(*offset + decoded->errorAt) +
                                ": " + describe(decoded->status));
    }
    if (!WriteOrSay(target, decoded->data, err)) return kFailed;
    out << "decompressed " << decoded->data.size() << " bytes (" << tileText(decoded->data.size())
        << ") from " << decoded->consumed << " bytes at offset " << args[2] << " into " << target
        << "\n";
    return kOk;
}

int compress(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const bool best = args[1] == "--best";
    const std::string& source = args[best ? 2 : 1];
    const std::string& target = args[best ? 3 : 2];
    const auto input = ReadOrSay(source, err);
    if (!input) return kFailed;
    const NemesisEncoded encoded =
        encodeNemesis(*input, best ? NemesisEffort::Best : NemesisEffort::Default);
    switch (encoded.status) {
        case NemesisStatus::Ok: break;
        case NemesisStatus::EmptyInput:
            return failure(err, "nothing to compress: " + source + " is empty");
        case NemesisStatus::NotWholeTiles:
            return failure(
                err, "not a whole number of tiles: " + std::to_string(input->size()) + " bytes");
        case NemesisStatus::TooManyTiles:
            return failure(err, "too many tiles: " + tileText(input->size()) + ", at most " +
                                    std::to_string(kNemesisMaxTiles) + " fit in one stream");
        default: return failure(err, std::string("cannot compress: ") + describe(encoded.status));
    }
    if (!WriteOrSay(target, encoded.stream, err)) return kFailed;
    out << "compressed " << input->size() << " bytes (" << tileText(input->size()) << ") into "
        << encoded.stream.size() << " bytes (" << (encoded.xorMode ? "xor" : "plain")
        << " mode) in " << target << "\n";
    return kOk;
}

}  // namespace

int runNemesisCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        const std::string command = args.empty() ? "" : args[0];
        if (command == "help" || command == "--help" || command == "-h") {
            out << kUsage;
            return kOk;
        }
        if (command == "decompress") {
            if (args.size() != 4) return usageError(err, "decompress needs FILE OFFSET OUT");
            return decompress(args, out, err);
        }
        if (command == "compress") {
            const std::size_t words = args.size() > 1 && args[1] == "--best" ? 4 : 3;
            if (args.size() != words) return usageError(err, "compress needs [--best] IN OUT");
            return compress(args, out, err);
        }
        if (command.empty()) return usageError(err, "missing subcommand");
        return usageError(err, "unknown subcommand '" + command + "'");
    } catch (const std::bad_alloc&) {
        return failure(err, "out of memory");
    }
}

}  // namespace tess::cli
