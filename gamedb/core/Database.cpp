#include "gamedb/core/Database.h"

#include <array>
#include <cstring>
#include <fstream>

#include "app/core/RuntimeError.h"

namespace tess::gamedb {

std::unique_ptr<Database> openDatabase(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw DatabaseError(err::DatabaseNotFound, "Could not find file '" + path + "'.");
    std::array<char, 32> head{};
    in.read(head.data(), head.size());
    if (std::memcmp(head.data(), "SQLite format 3", 16) == 0) return openSqliteDatabase(path);
    // Jet files carry "Standard Jet DB" (Access 97 to 2003) or "Standard ACE DB".
    if (std::memcmp(head.data() + 4, "Standard Jet DB", 15) == 0 ||
        std::memcmp(head.data() + 4, "Standard ACE DB", 15) == 0) {
        return openJetDatabase(path);
    }
    throw DatabaseError(err::UnrecognizedDatabase, "Unrecognized database format '" + path + "'.");
}

}  // namespace tess::gamedb
