#include "app/cli/SpriteCommands.h"

#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <ostream>

#include "app/core/ErrorReporting.h"
#include "app/core/Messages.h"
#include "compress/images/SpriteImage.h"
#include "compress/lib/WholeFile.h"
#include "compress/sprites/SpriteChoice.h"
#include "compress/sprites/SpriteSave.h"
#include "gamedb/core/Identify.h"

namespace tess::cli {
namespace {

namespace fs = std::filesystem;
using compress::SaveOutcome;

// The temporary files of the compression interface, in a folder of their own
// that goes away with the command.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "tessellane-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw fileError(pattern);
        path_ = pattern;
        files.dump = (path_ / "dump.bin").string();
        files.dumpc = (path_ / "dumpc.bin").string();
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    compress::TempFiles files;

private:
    fs::path path_;
};

// A sprite loaded as a double-click in the tree loads it, without a window.
struct LoadedSprite {
    edit::GenesisPalette palette{edit::ScreenColour{}};
    gfx::SpriteDocument doc;
    ScratchFolder scratch;
};

// Loads the sprite `name` of the ROM's game, or says on `err` why not.
bool load(gamedb::GameDatabase& db, const std::string& rom, const std::string& name,
          LoadedSprite& sprite, std::ostream& err) {
    if (!gamedb::IdentifyRom(db, rom)) {
        err << kUnsupportedRomText << "\n";
        return false;
    }
    const std::optional<compress::SpriteChoice> choice = compress::ChooseSprite(db, name);
    if (!choice) {
        err << "The game has no sprite named \"" << name << "\" (neither plain nor compressed).\n";
        return false;
    }
    try {
        gfx::NullLoadTarget view;
        if (!compress::LoadSprite(db, rom, *choice, sprite.scratch.files, sprite.palette, sprite.doc,
                                  view, {})) {
            err << ProcessingErrorBox().text << "\n";
            return false;
        }
    } catch (const DatabaseError&) {
        throw;
    } catch (...) {
        err << RuntimeErrorBox(asRuntimeError(std::current_exception())).text << "\n";
        return false;
    }
    return true;
}

std::string sizeLine(const gfx::SpriteDocument& doc, const SaveOutcome& outcome) {
    if (doc.SpriteCompressed) {
        return "compressed " + std::to_string(outcome.compressedSize) + " bytes, limit " +
               std::to_string(outcome.maxSize);
    }
    return "plain sprite: " + std::to_string(outcome.tiles) + " tiles";
}

}  // namespace

int ExportSprite(gamedb::GameDatabase& db, const std::vector<std::string>& args, std::ostream&,
                 std::ostream& err) {
    LoadedSprite sprite;
    if (!load(db, args[0], args[1], sprite, err)) return kFailed;
    std::string why;
    if (!compress::writeWholeFile(args[2], compress::SpritePng(sprite.doc, sprite.palette), why)) {
        err << "cannot write " << args[2] << ": " << why << "\n";
        return kFailed;
    }
    return kOk;
}

int ImportSprite(gamedb::GameDatabase& db, const std::vector<std::string>& args, std::ostream& out,
                 std::ostream& err) {
    const bool dryRun = args[0] == "--dry-run";
    const std::string& rom = args[dryRun ? 1 : 0];
    const std::string& name = args[dryRun ? 2 : 1];
    const std::string& imagePath = args[dryRun ? 3 : 2];

    LoadedSprite sprite;
    if (!load(db, rom, name, sprite, err)) return kFailed;
    try {
        const compress::SpriteImage image = compress::ReadSpriteImage(imagePath, sprite.palette);
        compress::RequireSpriteSize(image.picture, sprite.doc);
        compress::LayPicture(image.picture, sprite.doc);
        sprite.doc.SpriteDirty = true;
        if (image.inexactPixels > 0) {
            err << image.inexactPixels
                << " pixels had no exact colour in the sprite's palette and took the nearest.\n";
        }
    } catch (const compress::ImageRefused& refusal) {
        err << refusal.what() << "\n";
        return kFailed;
    }

    compress::SaveHooks hooks;
    // The window reports such a cell and saves the rest; a command that
    // leaves the ROM as it was on failure cannot.
    hooks.unlistedCell = [](std::int32_t, std::int32_t) { return false; };
    SaveOutcome outcome;
    try {
        outcome = compress::SaveSprite(db, rom, sprite.scratch.files, sprite.doc, hooks,
                                       dryRun ? compress::SaveMode::DryRun : compress::SaveMode::Write);
    } catch (const DatabaseError&) {
        throw;
    } catch (...) {
        err << RuntimeErrorBox(asRuntimeError(std::current_exception())).text << "\n";
        return kFailed;
    }
    using Result = SaveOutcome::Result;
    switch (outcome.result) {
        case Result::Saved:
            out << sizeLine(sprite.doc, outcome) << "\n";
            return kOk;
        case Result::Oversize:
            if (dryRun) out << sizeLine(sprite.doc, outcome) << "\n";
            err << kOversizeText << "\n" << sizeLine(sprite.doc, outcome) << "\n";
            return kFailed;
        case Result::CompressionFailed:
            err << kCompressionFailedText << "\n";
            return kFailed;
        case Result::Refused:
            err << outcome.reason << "\n";
            return kFailed;
        case Result::NothingLoaded:
        case Result::RowNotCurrent:
            break;
    }
    err << kSpriteRowGoneText << "\n";
    return kFailed;
}

}  // namespace tess::cli
