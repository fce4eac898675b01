#include "lint/GameLint.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>
#include <ranges>
#include <set>
#include <span>
#include <utility>

#include "base/RuntimeError.h"
#include "base/WholeFile.h"
#include "codec/Nemesis.h"
#include "gamedb/Identify.h"
#include "gamedb/SpriteTree.h"
#include "sprites/SpriteSelection.h"
#include "tiles/RomHeader.h"
#include "tiles/SpriteSize.h"
#include "tiles/TileCodec.h"
#include "tiles/TileListReader.h"

namespace tess::lint {

using gamedb::GameDatabase;
using gamedb::TableCursor;
using gamedb::Value;

namespace {

using Rom = std::span<const std::uint8_t>;
using Cell = std::pair<std::int32_t, std::int32_t>;

// A palette line (16 words) and a tile take the same 32 bytes.
constexpr auto kSpanBytes = static_cast<std::int64_t>(tiles::kTileBytes);

enum TableRank { GamesRank, NfoRank, HeadRank, SpriteRank, CompressedRank };
const char* const kTableNames[] = {"Games", "NFO", "HEAD", "SPRITE", "COMPRESSED"};

std::string str(std::int64_t n) { return std::to_string(n); }

struct Bytes {
    std::int64_t begin = 0;
    std::int64_t end = 0;  // one past the last
    bool overlaps(const Bytes& o) const { return begin < o.end && o.begin < end; }
    std::string text() const { return tiles::SpanText(begin, end - begin); }
};

// A failed read of the editor's, worded for a database author.
std::string whatIsWrong(const RuntimeError& e) {
    switch (e.number()) {
        case err::InvalidUseOfNull: return "has no value";
        case err::TypeMismatch: return "is not a number";
        case err::Overflow: return "is out of range";
        case err::ItemNotFound: return "is not a column of the table";
        default: return "cannot be read: " + e.description();
    }
}

// A field the editor could not read; it ends the checks of its row.
struct FieldFault {
    std::string message;
};

template <class Read>
auto guarded(const char* field, Read&& read) {
    try {
        return read();
    } catch (const RuntimeError& e) {
        throw FieldFault{std::string(field) + " " + whatIsWrong(e)};
    }
}

template <class Result>
Result read(const TableCursor& row, const char* field, Result (Value::*convert)() const) {
    return guarded(field, [&] { return (row.field(field).*convert)(); });
}

// What keeps `length` bytes at `offset` of a ROM (or of a decompressed block)
// of `size` bytes from where they may lie, by the rule the save applies.
// Without a ROM the size is unknown, and only what needs no ROM bytes counts.
std::optional<std::string> misplaced(const std::string& what, std::int64_t offset,
                                     std::int64_t length, std::optional<std::size_t> size,
                                     bool isRom) {
    const std::string file = isRom ? "ROM" : "decompressed block";
    const std::int64_t known =
        size ? static_cast<std::int64_t>(*size) : std::numeric_limits<std::int64_t>::max();
    const std::string at = what + " at " + str(offset);
    switch (tiles::FindSpanFault(offset, length, known, isRom)) {
        case tiles::SpanFault::Outside:
            return offset < 0 ? at + " lies before the start of the " + file
                              : at + " does not fit in the " + file + " (" + str(known) + " bytes)";
        case tiles::SpanFault::OverHeader:
            return at + " lies over the cartridge header (" +
                   Bytes{tiles::kHeaderStart, tiles::kHeaderEnd}.text() + ")";
        case tiles::SpanFault::None: break;
    }
    return std::nullopt;
}

struct Place {
    TableRank table = GamesRank;
    int index = 0;  // row number in index order, from 1
    std::string row;
};

struct ListedTile {
    tiles::TileListEntry at;
    int line = 0;
};

struct TileList {
    const char* field = "";
    std::vector<ListedTile> tiles;  // the lines that parse
};

std::string lineOf(const TileList& list, int line) {
    return std::string(list.field) + " line " + str(line);
}

std::string cellOf(const tiles::TileListEntry& at) {
    return "(" + str(at.tx) + "," + str(at.ty) + ")";
}

// "8", "8 and 16", "6, 8 and 16".
std::string zoomsText(const std::vector<std::int16_t>& zooms) {
    std::string text;
    for (std::size_t i = 0; i < zooms.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == zooms.size() ? " and " : ", ") + str(zooms[i]);
    }
    return text;
}

// A SPRITE or COMPRESSED row, read with the editor's conversions.
struct SpriteRow {
    Place place;
    tiles::SpriteKind kind = tiles::SpriteKind::Plain;
    std::string heading;
    std::int32_t palette = 0;
    tiles::TileSize size;
    TileList white{"White", {}};
    TileList grey{"Grey", {}};
    std::int32_t offset = 0;
    std::int32_t maxSize = 0;
};

// A compressed block, decoded once however many sprites name it.
struct Block {
    std::string sprite;  // the first sprite that names it
    std::int64_t offset = 0;
    codec::NemesisDecoded decoded;
    std::optional<std::string> overlap;

    Bytes bytes() const { return {offset, offset + static_cast<std::int64_t>(decoded.consumed)}; }
};

class GameLinter {
public:
    GameLinter(GameDatabase& db, const std::string& id, std::optional<Rom> rom)
        : db_(db), game_(gameName(db, id)), rom_(rom) {}

    std::vector<LintFinding> run() {
        checkNfo();
        buildTree();
        eachRow(GameDatabase::HEAD, HeadRank, "ID",
                [&](TableCursor& row, const Place& place) { checkHeading(row, place); });
        eachRow(GameDatabase::SPRITE, SpriteRank, "Name",
                [&](TableCursor& row, const Place& place) {
                    sprites_.push_back(readSprite(row, place, tiles::SpriteKind::Plain));
                });
        eachRow(GameDatabase::COMPRESSED, CompressedRank, "Name",
                [&](TableCursor& row, const Place& place) {
                    sprites_.push_back(readSprite(row, place, tiles::SpriteKind::Compressed));
                });
        if (rom_) decodeBlocks();
        if (nfoPalette_) checkInRom(nfoPlace_, "the palette", *nfoPalette_);
        for (const SpriteRow& s : sprites_) checkSprite(s);

        std::stable_sort(findings_.begin(), findings_.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<LintFinding> out;
        for (auto& [order, finding] : findings_) out.push_back(std::move(finding));
        return out;
    }

private:
    static std::string gameName(GameDatabase& db, const std::string& id) {
        std::string name;
        try {
            name = db.table(GameDatabase::NFO).field("Name").keyText();
        } catch (const RuntimeError&) {
            // The NFO check reports it.
        }
        return name.empty() ? id : name;
    }

    void report(LintLevel level, const Place& place, std::string message) {
        findings_.push_back(
            {{place.table, place.index},
             {level, game_, kTableNames[place.table], place.row, std::move(message)}});
    }

    // Runs check(row, place) on each row; a field fault ends that row's checks.
    template <class Check>
    void eachRow(GameDatabase::GameTable which, TableRank rank, const char* key, Check check) {
        int index = 0;
        gamedb::ScanRows(db_.table(which), [&](TableCursor& row) {
            checkRow(row, {rank, ++index, ""}, key, check);
        });
    }

    template <class Check>
    void checkRow(TableCursor& row, Place place, const char* key, Check& check) {
        try {
            place.row = row.field(key).keyText();
        } catch (const RuntimeError&) {
            // The row's own checks report the field.
        }
        if (place.row.empty()) place.row = "#" + str(place.index);
        try {
            check(row, place);
        } catch (const FieldFault& fault) {
            report(LintLevel::Error, place, fault.message);
        }
    }

    void checkNfo() {
        auto& nfo = db_.table(GameDatabase::NFO);
        nfoPlace_ = {NfoRank, 1, ""};
        if (nfo.rowCount() == 0) {
            return report(LintLevel::Error, nfoPlace_,
                          "the table has no row: the game cannot load");
        }
        nfo.moveFirst();
        auto check = [&](TableCursor& row, const Place& place) {
            nfoPlace_ = place;
            nfoPalette_ = read(row, "Palette", &Value::toLong);
        };
        checkRow(nfo, nfoPlace_, "Name", check);
    }

    void buildTree() {
        try {
            gamedb::BuildSpriteTree(db_, tree_);
            treeBuilt_ = true;
        } catch (const RuntimeError&) {
            // A required text without a value; its row's checks report it.
        }
    }

    void checkHeading(TableCursor& row, const Place& place) {
        read(row, "Name", &Value::text);
        const std::string id = read(row, "ID", &Value::keyText);
        const int node = treeBuilt_ ? tree_.find(gamedb::kHeadingKey + id) : -1;
        if (node >= 0 && tree_.nodes()[static_cast<std::size_t>(node)].children.empty()) {
            report(LintLevel::Warning, place, "the heading has no sprites");
        }
    }

    SpriteRow readSprite(TableCursor& row, const Place& place, tiles::SpriteKind kind) {
        const bool compressed = kind == tiles::SpriteKind::Compressed;
        SpriteRow s;
        s.place = place;
        s.kind = kind;
        read(row, "Name", &Value::text);
        if (compressed) {
            read(row, "SubHead", &Value::text);
        } else {
            s.heading = read(row, "Heading", &Value::keyText);
        }
        s.palette = read(row, "Palette", &Value::toLong);
        s.size = {read(row, "Width", &Value::toInteger), read(row, "Height", &Value::toInteger)};
        parseList(s.white, read(row, "White", &Value::text), place);
        const auto grey = guarded("Grey", [&] { return sprites::GreyTileList(row, kind); });
        if (grey) parseList(s.grey, *grey, place);
        if (compressed) {
            s.offset = read(row, "Offset", &Value::toLong);
            s.maxSize = read(row, "MaxSize", &Value::toLong);
        }
        return s;
    }

    // Keeps every line that parses and reports each one that does not (the
    // editor stops at the first).
    void parseList(TileList& list, const std::string& text, const Place& place) {
        tiles::TileListReader reader(text);
        for (;;) {
            tiles::TileListEntry entry;
            try {
                if (!reader.next(entry)) return;
            } catch (const RuntimeError& e) {
                const std::string line = lineOf(list, reader.line());
                report(LintLevel::Error, place,
                       reader.field() == 0
                           ? line + " has fewer than three fields"
                           : line + ", field " + str(reader.field()) + " " + whatIsWrong(e));
                continue;
            }
            list.tiles.push_back({entry, reader.line()});
        }
    }

    void decodeBlocks() {
        for (const SpriteRow& s : sprites_) {
            if (s.kind != tiles::SpriteKind::Compressed || s.offset < 0) continue;
            auto [it, fresh] = blocks_.try_emplace(s.offset, Block{s.place.row, s.offset, {}, {}});
            if (fresh) it->second.decoded = codec::decodeNemesis(*rom_, std::size_t(s.offset));
        }
        // Blocks in ROM order: each is checked against the one reaching furthest before it.
        const Block* reach = nullptr;
        for (Block& block : std::views::values(blocks_)) {
            if (!block.decoded.ok()) continue;
            if (reach && reach->bytes().overlaps(block.bytes())) {
                block.overlap = "its block (" + block.bytes().text() + ") overlaps the block of " +
                                reach->sprite + " (" + reach->bytes().text() + ")";
            }
            if (!reach || block.bytes().end > reach->bytes().end) reach = &block;
        }
    }

    std::optional<std::size_t> romSize() const {
        return rom_ ? std::optional(rom_->size()) : std::nullopt;
    }

    // A palette line or a plain tile must lie inside the ROM, off its header
    // and outside every compressed block, which saving it would damage.
    void checkInRom(const Place& place, const std::string& what, std::int64_t offset) {
        if (auto problem = misplaced(what, offset, kSpanBytes, romSize(), true)) {
            return report(LintLevel::Error, place, *problem);
        }
        const Bytes span{offset, offset + kSpanBytes};
        for (const Block& block : std::views::values(blocks_)) {
            if (block.decoded.ok() && block.bytes().overlaps(span)) {
                return report(LintLevel::Error, place,
                              what + " at " + str(offset) +
                                  " lies inside the compressed block of " + block.sprite + " (" +
                                  block.bytes().text() + ")");
            }
        }
    }

    void checkSprite(const SpriteRow& s) {
        const bool compressed = s.kind == tiles::SpriteKind::Compressed;
        if (!compressed && treeBuilt_ && tree_.find(gamedb::kHeadingKey + s.heading) < 0) {
            report(
                LintLevel::Error, s.place,
                "Heading \"" + s.heading + "\" is no ID of HEAD: the tree leaves the sprite out");
        }
        checkSize(s);
        checkGrid(s);
        if (s.palette != 0) checkInRom(s.place, "the palette", s.palette);
        std::optional<std::size_t> dataSize;  // the decompressed block's, unknown without a ROM
        if (compressed && !checkBlock(s, dataSize)) return;
        for (const TileList* list : {&s.white, &s.grey}) {
            for (const ListedTile& t : list->tiles) {
                const std::string what = lineOf(*list, t.line) + ": the tile";
                if (!compressed) {
                    checkInRom(s.place, what, t.at.offset);
                } else if (auto problem =
                               misplaced(what, t.at.offset, kSpanBytes, dataSize, false)) {
                    report(LintLevel::Error, s.place, *problem);
                }
            }
        }
    }

    // A compressed sprite's block: where it lies and, with a ROM, that it
    // decodes (giving its size), overlaps no other and fits MaxSize. False
    // when its tiles cannot be checked.
    bool checkBlock(const SpriteRow& s, std::optional<std::size_t>& dataSize) {
        if (auto problem = misplaced("the block", s.offset, 1, romSize(), true)) {
            report(LintLevel::Error, s.place, *problem);
            return false;
        }
        if (!rom_) return true;
        const Block& block = blocks_.at(s.offset);
        const auto& decoded = block.decoded;
        if (!decoded.ok()) {
            report(LintLevel::Error, s.place,
                   "the block at " + str(s.offset) +
                       " does not decode: " + codec::describe(decoded.status) + " (ROM byte " +
                       str(static_cast<std::int64_t>(decoded.errorAt)) + ")");
            return false;
        }
        if (block.overlap) report(LintLevel::Error, s.place, *block.overlap);
        if (decoded.consumed > static_cast<std::size_t>(std::max(s.maxSize, 0))) {
            report(LintLevel::Warning, s.place,
                   "the block at " + str(s.offset) + " takes " +
                       str(static_cast<std::int64_t>(decoded.consumed)) +
                       " bytes, more than its MaxSize of " + str(s.maxSize));
        }
        dataSize = decoded.data.size();
        return true;
    }

    // A side too large for the view at a zoom of the View menu: the load fails
    // at that zoom, and so does the redraw after switching to it.
    void checkSize(const SpriteRow& s) {
        // Each side alone, the other taken as 0 tiles (which always fits), so
        // that the finding names its field.
        const struct {
            const char* field;
            std::int16_t tiles;
            tiles::TileSize alone;
        } sides[] = {{"Width", s.size.width, {s.size.width, 0}},
                     {"Height", s.size.height, {0, s.size.height}}};
        for (const auto& [field, length, alone] : sides) {
            const std::vector<std::int16_t> failing = tiles::FailingZooms(alone);
            if (failing.empty()) continue;
            const std::string side = std::string(field) + " " + str(length);
            report(LintLevel::Error, s.place,
                   failing.size() == tiles::kZoomLevels.size()
                       ? side + " does not fit the view at any zoom: the sprite cannot load"
                       : side + " does not fit the view at zoom " + zoomsText(failing) +
                             ": the sprite fails to load or redraw there");
        }
    }

    // Cells inside the grid, each named once, and no grey tile over a white one.
    void checkGrid(const SpriteRow& s) {
        std::map<Cell, const ListedTile*> white;
        std::map<Cell, const ListedTile*> grey;
        for (auto [list, seen] : {std::pair{&s.white, &white}, std::pair{&s.grey, &grey}}) {
            for (const ListedTile& t : list->tiles) {
                const std::string line = lineOf(*list, t.line);
                if (t.at.tx < 0 || t.at.tx >= s.size.width || t.at.ty < 0 ||
                    t.at.ty >= s.size.height) {
                    report(LintLevel::Error, s.place,
                           line + ": cell " + cellOf(t.at) + " is outside the " +
                               str(s.size.width) + " x " + str(s.size.height) + " tile grid");
                    continue;
                }
                const auto [it, fresh] = seen->try_emplace({t.at.tx, t.at.ty}, &t);
                if (fresh) continue;
                const ListedTile& first = *it->second;
                const std::string both = std::string(list->field) + " lines " + str(first.line) +
                                         " and " + str(t.line) + " both name cell " + cellOf(t.at);
                // The load shows the later line's tile; a save writes it at the earlier line's
                // offset.
                if (list == &s.white && first.at.offset != t.at.offset) {
                    report(LintLevel::Error, s.place,
                           both + ": the tile shown is read at " + str(t.at.offset) +
                               ", a save writes it at " + str(first.at.offset));
                } else {
                    report(LintLevel::Warning, s.place, both);
                }
            }
        }
        for (const auto& [cell, t] : grey) {
            if (const auto w = white.find(cell); w != white.end()) {
                report(LintLevel::Warning, s.place,
                       lineOf(s.grey, t->line) + " covers " + lineOf(s.white, w->second->line) +
                           " at cell " + cellOf(t->at) + ": that white tile is never saved");
            }
        }
    }

    GameDatabase& db_;
    std::string game_;
    std::optional<Rom> rom_;
    std::vector<std::pair<std::pair<int, int>, LintFinding>> findings_;
    gamedb::SpriteTree tree_;
    bool treeBuilt_ = false;
    Place nfoPlace_;
    std::optional<std::int32_t> nfoPalette_;
    std::vector<SpriteRow> sprites_;
    std::map<std::int32_t, Block> blocks_;
};

// The game of the current Games row, unless its database file was checked already.
std::vector<LintFinding> lintGame(GameDatabase& db, const std::string& fallback,
                                  std::optional<Rom> rom, std::set<std::string>& checked) {
    // A Games table without these columns stops the lint: no game could be found.
    const Value& idValue = db.games().field("ID");
    const Value& file = db.games().field("Database");
    const std::string id = idValue.isNull() ? fallback : idValue.text();
    auto gamesFinding = [&](const std::string& message) {
        return std::vector<LintFinding>{{LintLevel::Error, id, "Games", id, message}};
    };
    if (idValue.isNull()) return gamesFinding("ID has no value");
    if (file.isNull()) return gamesFinding("Database has no value");
    if (!checked.insert(file.text()).second) return {};
    try {
        db.OpenGameData(file.text());
    } catch (const DatabaseError& e) {
        return gamesFinding(e.number() == err::DatabaseNotFound
                                ? "its database file " + file.text() + " is missing"
                                : "its database file " + file.text() +
                                      " cannot be read: " + e.description());
    }
    return GameLinter(db, id, rom).run();
}

}  // namespace

std::vector<LintFinding> LintAllGames(GameDatabase& db) {
    std::vector<LintFinding> findings;
    std::set<std::string> checked;
    int index = 0;
    gamedb::ScanRows(db.games(), [&](TableCursor&) {
        auto game = lintGame(db, "#" + str(++index), std::nullopt, checked);
        findings.insert(findings.end(), game.begin(), game.end());
    });
    return findings;
}

std::optional<std::vector<LintFinding>> LintRomGame(GameDatabase& db, const std::string& romPath) {
    if (!gamedb::FindGameRow(db.games(), gamedb::ReadHeaderText(romPath))) return std::nullopt;
    std::string why;
    const auto rom = readWholeFile(romPath, why);
    if (!rom) throw RuntimeError(err::PathFileAccess, "cannot read " + romPath + ": " + why);
    std::set<std::string> checked;
    return lintGame(db, "", Rom(*rom), checked);
}

}  // namespace tess::lint
