#pragma once

// Game databases the gamedb tests write with libsqlite3, the database error
// an action raises, and values in failure messages.
#include <functional>
#include <ostream>
#include <string>

#include "base/RuntimeError.h"
#include "gamedb/Value.h"
#include "tests/support/TestFiles.h"

namespace tess::gamedb {

inline void PrintTo(const Value& v, std::ostream* os) {
    *os << (v.isNull() ? "NULL" : v.isText() ? '"' + v.text() + '"' : v.text());
}

}  // namespace tess::gamedb

namespace tess::test {

// game.mdb in `dir` whose table Games (Key, ID, Database) holds `rows`, SQL
// values such as "(1, 'A', 'a.db')"; no rows when empty.
inline void makeGameList(const TempDir& dir, const std::string& rows = "") {
    makeSqliteDb(dir.file("game.mdb"),
                 "CREATE TABLE Games (Key INTEGER PRIMARY KEY, ID TEXT, Database TEXT);" +
                     (rows.empty() ? "" : "INSERT INTO Games VALUES " + rows + ";"));
}

inline const std::string kEmptySpriteTables =
    "CREATE TABLE HEAD (ID INTEGER PRIMARY KEY, Name TEXT);"
    "CREATE TABLE SPRITE (Name TEXT PRIMARY KEY);"
    "CREATE TABLE COMPRESSED (Name TEXT PRIMARY KEY);";

// A game's database: one NFO row of the game `name` whose Palette,
// Completion, Author and Comment are the SQL values `rest`, then `tables`.
inline void makeGame(const std::string& path, const std::string& name,
                     const std::string& rest = "0, NULL, NULL, NULL",
                     const std::string& tables = kEmptySpriteTables) {
    makeSqliteDb(path,
                 "CREATE TABLE NFO (ID INTEGER PRIMARY KEY, Name TEXT, Palette INTEGER, "
                 "Completion, Author TEXT, Comment TEXT);"
                 "INSERT INTO NFO VALUES (1, '" +
                     name + "', " + rest + ");" + tables);
}

// The heading "All" (ID 1), then SPRITE and COMPRESSED with every column a
// sprite row has, holding the SQL rows `spriteRows` and `compressedRows`
// ("(...), (...)"; none when empty).
inline std::string spriteTables(const std::string& spriteRows,
                                const std::string& compressedRows = "") {
    auto insert = [](const std::string& table, const std::string& rows) {
        return rows.empty() ? std::string() : "INSERT INTO " + table + " VALUES " + rows + ";";
    };
    return "CREATE TABLE HEAD (ID INTEGER PRIMARY KEY, Name TEXT);"
           "INSERT INTO HEAD VALUES (1, 'All');"
           "CREATE TABLE SPRITE (Name TEXT PRIMARY KEY COLLATE NOCASE, Heading INTEGER,"
           " Palette INTEGER, Width INTEGER, Height INTEGER, White TEXT, Grey TEXT);" +
           insert("SPRITE", spriteRows) +
           "CREATE TABLE COMPRESSED (Name TEXT PRIMARY KEY COLLATE NOCASE, SubHead TEXT,"
           " Palette INTEGER, Width INTEGER, Height INTEGER, White TEXT, Grey TEXT,"
           " \"Offset\" INTEGER, MaxSize INTEGER);" +
           insert("COMPRESSED", compressedRows);
}

// The database error that `action` raises, or number 0 "no error".
inline DatabaseError databaseErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const DatabaseError& e) {
        return e;
    }
    return {0, "no error"};
}

}  // namespace tess::test
