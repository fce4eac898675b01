#include "gamedb/Database.h"

#include <array>
#include <cstring>
#include <fstream>

#include "base/WholeFile.h"

namespace tess::gamedb {

std::unique_ptr<Database> openDatabase(const std::string& path) {
    requireReadableDatabase(path);
    std::ifstream in(path, std::ios::binary);
    std::array<char, 32> head{};
    in.read(head.data(), head.size());
    if (std::memcmp(head.data(), "SQLite format 3", 16) == 0) return openSqliteDatabase(path);
    // Jet files carry "Standard Jet DB" (Access 97 to 2003) or "Standard ACE DB".
    if (std::memcmp(head.data() + 4, "Standard Jet DB", 15) == 0 ||
        std::memcmp(head.data() + 4, "Standard ACE DB", 15) == 0) {
        return openJetDatabase(path);
    }
    throw unrecognizedDatabaseError(path);
}

void requireReadableDatabase(const std::string& path) {
    if (const auto unreadable = whyUnreadable(path)) {
        throw unreadable->kind == Unreadable::Kind::Missing
            ? databaseNotFoundError(path)
            : cannotOpenDatabaseError(path, unreadable->why);
    }
}

DatabaseError databaseNotFoundError(const std::string& path) {
    return {err::DatabaseNotFound, "Could not find file '" + path + "'."};
}

DatabaseError cannotOpenDatabaseError(const std::string& path, const std::string& why) {
    return {err::CannotOpenDatabase,
            "The Microsoft Jet database engine cannot open the file '" + path +
                "'. It is already opened exclusively by another user, or you need permission "
                "to view its data (" +
                why + ")."};
}

DatabaseError tableNotFoundError(const std::string& table) {
    return {err::TableNotFound,
            "The Microsoft Jet database engine cannot find the input table or query '" + table +
                "'. Make sure it exists and that its name is spelled correctly."};
}

DatabaseError primaryKeyNotFoundError() {
    return {err::IndexNotFound, "'PrimaryKey' is not an index in this table."};
}

DatabaseError unrecognizedDatabaseError(const std::string& path, const std::string& why) {
    return {err::UnrecognizedDatabase, "Unrecognized database format '" + path + "'" +
                                           (why.empty() ? "" : " (" + why + ")") + "."};
}

}  // namespace tess::gamedb
