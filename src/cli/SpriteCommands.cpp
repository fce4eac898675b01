#include "cli/SpriteCommands.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <set>
#include <sstream>

#include "base/ErrorReporting.h"
#include "base/Messages.h"
#include "sprites/CompressedSize.h"
#include "sprites/SpriteImage.h"
#include "sprites/SpriteSave.h"
#include "sprites/SpriteSelection.h"

namespace tess::cli {
namespace {

namespace fs = std::filesystem;
using sprites::SaveOutcome;

// Runs `step`; any error but a database's, which ends the command, is said on
// `err` in the words of the window's error box. Returns false after one.
bool ranOrSaid(std::ostream& err, const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const DatabaseError&) {
        throw;
    } catch (...) {
        err << RuntimeErrorBox(asRuntimeError(std::current_exception())).text << "\n";
        return false;
    }
}

// Loads a sprite of the identified game, or says on `err` why not.
bool loadChosen(gamedb::GameDatabase& db, const std::string& rom, const tiles::SpriteChoice& choice,
                sprites::DetachedSprite& sprite, std::ostream& err) {
    bool loaded = false;
    const bool ran =
        ranOrSaid(err, [&] { loaded = sprites::LoadDetached(db, rom, choice, sprite); });
    if (ran && !loaded) err << ProcessingErrorBox().text << "\n";
    return loaded;
}

// Loads the sprite `name` (a key or a bare name) of the ROM's game.
bool load(gamedb::GameDatabase& db, const std::string& rom, const std::string& name,
          sprites::DetachedSprite& sprite, std::ostream& err) {
    if (!IdentifyOrSay(db, rom, err, err)) return false;
    const std::optional<tiles::SpriteChoice> choice = sprites::ChooseSprite(db, name);
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

std::vector<std::uint8_t> pngOf(const sprites::DetachedSprite& sprite, const std::string& rom) {
    return sprites::SpritePng(sprite.doc, sprites::RomColours(sprite.palette, rom));
}

}  // namespace

int ExportSprite(gamedb::GameDatabase& db, const std::vector<std::string>& args, std::ostream&,
                 std::ostream& err) {
    sprites::DetachedSprite sprite;
    if (!load(db, args[0], args[1], sprite, err)) return kFailed;
    return WriteOrSay(args[2], pngOf(sprite, args[0]), err) ? kOk : kFailed;
}

int ExportSheet(gamedb::GameDatabase& db, const std::vector<std::string>& args, std::ostream& out,
                std::ostream& err) {
    const std::string& rom = args[1];
    const fs::path folder = args[2];
    if (!IdentifyOrSay(db, rom, err, err)) return kFailed;
    std::vector<tiles::SpriteChoice> sprites;
    for (const tiles::SpriteKind kind : {tiles::SpriteKind::Plain, tiles::SpriteKind::Compressed}) {
        gamedb::ScanRows(sprites::SpriteTable(db, kind), [&](gamedb::TableCursor& row) {
            sprites.push_back({kind, row.field("Name").text()});
        });
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
    for (const tiles::SpriteChoice& choice : sprites) {
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
            file = fileNameFor(choice.name) + " (" +
                   (n == 2 ? kind : kind + " " + std::to_string(n)) + ")";
        }
        taken.insert(lower(file));
        file += ".png";
        if (!WriteOrSay((folder / file).string(), pngOf(sprite, rom), err)) {
            allWritten = false;
            continue;
        }
        index << choice.name << '\t' << kind << '\t' << sprite.doc.TileMap.upperX() << '\t'
              << sprite.doc.TileMap.upperY() << '\t' << file << "\n";
    }
    const std::string text = index.str();
    if (!WriteOrSay((folder / "index.tsv").string(),
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
        const std::optional<sprites::ImageImport> image = sprites::ReadImageImport(
            imagePath, sprite.doc, sprites::RomColours(sprite.palette, rom));
        if (!image) {
            err << imagePath << " is empty: nothing was imported.\n";
            return kFailed;
        }
        sprites::LayPicture(image->picture, sprite.doc);
        sprite.doc.SpriteDirty = true;
        if (const std::string note = image->note(); !note.empty()) err << note << "\n";
    } catch (const sprites::ImageRefused& refusal) {
        err << refusal.what() << "\n";
        return kFailed;
    }

    sprites::SaveHooks hooks;
    // The window reports such a cell and saves the rest; a command that
    // leaves the ROM as it was on failure cannot.
    hooks.unlistedCell = [](std::int32_t, std::int32_t) { return false; };
    SaveOutcome outcome;
    const auto mode = dryRun ? sprites::SaveMode::DryRun : sprites::SaveMode::Write;
    const bool ran = ranOrSaid(err, [&] {
        outcome = sprites::SaveSprite(rom, sprite.temp.files(), sprite.doc, hooks, mode);
    });
    if (!ran) return kFailed;
    using Result = SaveOutcome::Result;
    // The answer goes to standard output; a refusal, with the size that made
    // it, to standard error, once.
    if (outcome.result == Result::Saved) out << sprites::SaveSizeLine(outcome) << "\n";
    if (const auto message = sprites::SaveMessage(outcome)) {
        err << message->text << "\n";
        if (outcome.result == Result::Oversize) err << sprites::SaveSizeLine(outcome) << "\n";
    }
    return outcome.result == Result::Saved ? kOk : kFailed;
}

int SizeReport(gamedb::GameDatabase& db, const std::vector<std::string>& args, std::ostream& out,
               std::ostream& err) {
    const bool tsv = args[0] == "--tsv";
    const std::string& rom = args[tsv ? 1 : 0];
    if (!IdentifyOrSay(db, rom, err, err)) return kFailed;
    bool failed = false;
    std::vector<tiles::SpriteChoice> chosen;
    for (auto name = args.begin() + (tsv ? 2 : 1); name != args.end(); ++name) {
        const std::optional<tiles::SpriteChoice> choice = sprites::ChooseSprite(db, *name);
        if (choice && choice->kind == tiles::SpriteKind::Compressed) {
            chosen.push_back(*choice);
        } else {
            err << "The game has no compressed sprite named \"" << *name << "\".\n";
            failed = true;
        }
    }
    if (args.size() == (tsv ? 2u : 1u)) {
        gamedb::ScanRows(
            sprites::SpriteTable(db, tiles::SpriteKind::Compressed), [&](gamedb::TableCursor& row) {
                chosen.push_back({tiles::SpriteKind::Compressed, row.field("Name").text()});
            });
    }

    std::vector<sprites::CompressedSize> sizes;
    for (const tiles::SpriteChoice& choice : chosen) {
        sprites::DetachedSprite sprite;
        try {
            if (!sprites::LoadDetached(db, rom, choice, sprite)) throw RuntimeError(0, "");
            sizes.push_back(sprites::MeasureCompressedSize(sprite.doc, sprite.temp.files()));
        } catch (const DatabaseError&) {
            throw;
        } catch (const RuntimeError& e) {
            if (e.number() != err::Decompression) {
                err << "\"" << choice.name
                    << "\": " << (e.number() ? RuntimeErrorBox(e).text : ProcessingErrorBox().text)
                    << "\n";
                failed = true;
                continue;
            }
            // Its row as the load read it, with no block to measure.
            const gamedb::TableCursor& row = *sprites::SeekSpriteRow(db, choice);
            sizes.push_back({choice.name, row.field("Offset").toLong(), std::nullopt,
                             row.field("MaxSize").toLong(), std::nullopt,
                             "its block does not unpack"});
            failed = true;
        }
    }
    out << sprites::CompressedSizeTable(sizes, tsv);
    return failed ? kFailed : kOk;
}

}  // namespace tess::cli
