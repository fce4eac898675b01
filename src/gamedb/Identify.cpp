#include "gamedb/Identify.h"

#include <fstream>

#include "base/RuntimeError.h"
#include "gamedb/TextCoding.h"

namespace tess::gamedb {

std::string ReadHeaderText(const std::string& romPath) {
    std::ifstream rom(romPath, std::ios::binary);
    if (!rom) throw fileError(romPath);
    std::string header(kHeaderLength, '\0');
    rom.seekg(kHeaderOffset);
    if (rom) rom.read(header.data(), static_cast<std::streamsize>(header.size()));
    return header;  // unread bytes stay zero
}

bool FindGameRow(TableCursor& games, const std::string& headerText) {
    games.moveFirst();
    const int rows = games.rowCount();
    for (int i = 1; i <= rows; ++i) {
        // The header is single-byte text; an ID with a character the code page
        // lacks can match no header.
        const auto id = Utf8ToWindows1252(games.field("ID").text());
        if (id && headerText.compare(0, id->size(), *id) == 0) return true;
        games.moveNext();
    }
    return false;
}

std::optional<std::string> IdentifyRom(GameDatabase& db, const std::string& romPath) {
    const std::string header = ReadHeaderText(romPath);
    if (!FindGameRow(db.games(), header)) return std::nullopt;
    db.OpenGameData(db.games().field("Database").text());
    return db.table(GameDatabase::NFO).field("Name").keyText();
}

std::int32_t DefaultPaletteOffset(GameDatabase& db) {
    return db.table(GameDatabase::NFO).field("Palette").toLong();
}

}  // namespace tess::gamedb
