#include "cli/SpriteCommands.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <ostream>
#include <set>
#include <sstream>

#include "base/ErrorReporting.h"
#include "base/Messages.h"
#include "base/WholeFile.h"
#include "sprites/SpriteChoice.h"
#include "sprites/SpriteImage.h"
#include "sprites/SpriteSave.h"

namespace tess::cli {
namespace {

namespace fs = std::filesystem;
using sprites::SaveOutcome;

// Loads a sprite of the identified game, or says on `err` why not.
bool loadChosen(gamedb::GameDatabase& db, const std::string& rom, const sprites::SpriteChoice& choice,
                sprites::DetachedSprite& sprite, std::ostream& err) {
    try {
        if (sprites::LoadDetached(db, rom, choice, sprite)) return true;
        err << ProcessingErrorBox().text << "\n";
    } catch (const DatabaseError&) {
        throw;
    } catch (...) {
        err << RuntimeErrorBox(asRuntimeError(std::current_exception())).text << "\n";
    }
    return false;
}

// Loads the sprite `name` (a key or a bare name) of the ROM's game.
bool load(gamedb::GameDatabase& db, const std::string& rom, const std::string& name,
          sprites::DetachedSprite& sprite, std::ostream& err) {
    if (!IdentifyOrSay(db, rom, err, err)) return false;
    const std::optional<sprites::SpriteChoice> choice = sprites::ChooseSprite(db, name);
    if (!choice) {
        err << "The game has no sprite named \"" << name << "\" (neither plain nor compressed).\n";
        return false;
    }
    return loadChosen(db, rom, *choice, sprite, err);
}

// A file name for a sprite name: characters no file system takes become "_".
std::string fileNameFor(const std::string& name) {
    std::string file = name;
    for (char& c : file) {
        if (std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos ||
            static_cast<unsigned char>(c) < 32) {
            c = '_';
        }
    }
    if (file.empty() || file == "." || file == "..") file = "_" + file;
    return file;
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool writeFile(const std::string& path, std::span<const std::uint8_t> bytes, std::ostream& err) {
    std::string why;
    if (writeWholeFile(path, bytes, why)) return true;
    err << "cannot write " << path << ": " << why << "\n";
    return false;
}

std::string sizeLine(const tiles::SpriteDocument& doc, const SaveOutcome& outcome) {
    if (doc.SpriteCompressed) {
        return "compressed " + std::to_string(outcome.compressedSize) + " bytes, limit " +
               std::to_string(outcome.maxSize);
    }
    return "plain sprite: " + std::to_string(outcome.tiles) + " tiles";
}

}  // namespace

int ExportSprite(gamedb::GameDatabase& db, const std::vector<std::string>& args, std::ostream&,
                 std::ostream& err) {
    sprites::DetachedSprite sprite;
    if (!load(db, args[0], args[1], sprite, err)) return kFailed;
    return writeFile(args[2], sprites::SpritePng(sprite.doc, sprite.palette), err) ? kOk : kFailed;
}

int ExportSheet(gamedb::GameDatabase& db, const std::vector<std::string>& args, std::ostream& out,
                std::ostream& err) {
    const std::string& rom = args[1];
    const fs::path folder = args[2];
    if (!IdentifyOrSay(db, rom, err, err)) return kFailed;
    std::vector<sprites::SpriteChoice> sprites;
    for (const auto& [table, kind] : {std::pair{gamedb::GameDatabase::SPRITE, tiles::SpriteKind::Plain},
                                      std::pair{gamedb::GameDatabase::COMPRESSED, tiles::SpriteKind::Compressed}}) {
        auto& rows = db.table(table);
        rows.moveFirst();
        for (int i = 0; i < rows.rowCount(); ++i, rows.moveNext()) sprites.push_back({kind, rows.field("Name").text()});
        rows.moveFirst();
    }
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        err << "cannot make the folder " << folder.string() << ": " << ec.message() << "\n";
        return kFailed;
    }

    std::ostringstream index;
    index << "name\tkind\twidth\theight\tfile\n";
    std::set<std::string> taken;  // lower case: some file systems ignore case
    bool allWritten = true;
    for (const sprites::SpriteChoice& choice : sprites) {
        const bool compressed = choice.kind == tiles::SpriteKind::Compressed;
        const std::string kind = compressed ? "compressed" : "plain";
        std::ostringstream why;
        sprites::DetachedSprite sprite;
        if (!loadChosen(db, rom, choice, sprite, why)) {
            err << kind << " sprite \"" << choice.name << "\": " << why.str();
            allWritten = false;
            continue;
        }
        std::string file = fileNameFor(choice.name);
        for (int n = 2; taken.count(lower(file)); ++n) {
            file = fileNameFor(choice.name) + " (" + (n == 2 ? kind : kind + " " + std::to_string(n)) + ")";
        }
        taken.insert(lower(file));
        file += ".png";
        if (!writeFile((folder / file).string(), sprites::SpritePng(sprite.doc, sprite.palette), err)) {
            allWritten = false;
            continue;
        }
        index << choice.name << '\t' << kind << '\t' << sprite.doc.TileMap.upperX() << '\t'
              << sprite.doc.TileMap.upperY() << '\t' << file << "\n";
    }
    const std::string text = index.str();
    if (!writeFile((folder / "index.tsv").string(),
                   {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, err)) {
        return kFailed;
    }
    out << sprites.size() << " sprites\n";
    return allWritten ? kOk : kFailed;
}

int ImportSprite(gamedb::GameDatabase& db, const std::vector<std::string>& args, std::ostream& out,
                 std::ostream& err) {
    const bool dryRun = args[0] == "--dry-run";
    const std::string& rom = args[dryRun ? 1 : 0];
    const std::string& name = args[dryRun ? 2 : 1];
    const std::string& imagePath = args[dryRun ? 3 : 2];

    sprites::DetachedSprite sprite;
    if (!load(db, rom, name, sprite, err)) return kFailed;
    try {
        const sprites::SpriteImage image = sprites::ReadSpriteImage(imagePath, sprite.palette);
        sprites::RequireSpriteSize(image.picture, sprite.doc);
        sprites::LayPicture(image.picture, sprite.doc);
        sprite.doc.SpriteDirty = true;
        if (image.inexactPixels > 0) {
            err << image.inexactPixels
                << " pixels had no exact colour in the sprite's palette and took the nearest.\n";
        }
    } catch (const sprites::ImageRefused& refusal) {
        err << refusal.what() << "\n";
        return kFailed;
    }

    sprites::SaveHooks hooks;
    // The window reports such a cell and saves the rest; a command that
    // leaves the ROM as it was on failure cannot.
    hooks.unlistedCell = [](std::int32_t, std::int32_t) { return false; };
    SaveOutcome outcome;
    try {
        outcome = sprites::SaveSprite(db, rom, sprite.temp.files(), sprite.doc, hooks,
                                       dryRun ? sprites::SaveMode::DryRun : sprites::SaveMode::Write);
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
