// The SQLite store against databases the tests write with libsqlite3.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "gamedb/Database.h"
#include "tests/support/ErrorNumber.h"
#include "tests/support/GameFiles.h"

namespace tess::gamedb {
namespace {

// Each test writes its databases into a fresh folder with libsqlite3.
class SqliteDatabaseTest : public ::testing::Test {
protected:
    std::string create(const std::string& name, const std::string& sql) {
        test::makeSqliteDb(dir_.file(name), sql);
        return dir_.file(name);
    }
    test::TempDir dir_;
};

std::vector<std::string> column(const Table& table, std::size_t c) {
    std::vector<std::string> out;
    for (const auto& row : table.rows) out.push_back(row[c].isNull() ? "NULL" : row[c].text());
    return out;
}

using test::databaseErrorOf;

// A key column without a declared type keeps each value's kind. Rows come in
// the order the engine sorts kinds, no value first, then numbers by value
// (whole or not), then text in Access's order, digits and all.
TEST_F(SqliteDatabaseTest, KeysOfMixedKindsComeNullsThenNumbersThenText) {
    const auto path = create("mixed.db", R"(
        CREATE TABLE T (K PRIMARY KEY);
        INSERT INTO T VALUES ('abc'), (10), ('10'), (2.5), (NULL), ('B'), (-3), (''), (2), ('-4');
    )");
    const std::vector<std::string> keys = {"NULL", "-3", "2",  "2.5", "10",  // no value, numbers
                                           "",     "10", "-4", "abc", "B"};  // text
    EXPECT_EQ(column(openDatabase(path)->loadTable("T"), 0), keys);
}

// A blob is the text of its bytes; hex text stays text in a number column.
TEST_F(SqliteDatabaseTest, StorageClassesBecomeValues) {
    const auto path = create("types.db", R"(
        CREATE TABLE T (K INTEGER PRIMARY KEY, I, R, S, B, N, H INTEGER);
        INSERT INTO T VALUES (1, -7680, 2.5, '7744', x'2C0D0A', NULL, '&H1E20');
        INSERT INTO T VALUES (2, 0, 0.0, '', x'', 'x', 7712);
    )");
    const Table table = openDatabase(path)->loadTable("T");
    EXPECT_EQ(table.columns, (std::vector<std::string>{"K", "I", "R", "S", "B", "N", "H"}));
    EXPECT_EQ(table.rows,
              (std::vector<std::vector<Value>>{{1, -7680, 2.5, "7744", ",\r\n", Value(), "&H1E20"},
                                               {2, 0, 0.0, "", "", "x", 7712}}));
}

// The words of these errors are pinned by the Jet store's tests.
TEST_F(SqliteDatabaseTest, MissingTableOrPrimaryKey) {
    const auto path = create("game.db", R"(
        CREATE TABLE Games (ID TEXT, Database TEXT);
        CREATE TABLE "Odd ""Name""" (K INTEGER PRIMARY KEY);
        CREATE VIEW V AS SELECT * FROM Games;
    )");
    const auto db = openDatabase(path);
    EXPECT_EQ(test::errorOf([&] { db->loadTable("NFO"); }), err::TableNotFound);
    EXPECT_EQ(test::errorOf([&] { db->loadTable("V"); }), err::TableNotFound);
    EXPECT_EQ(test::errorOf([&] { db->loadTable("Games"); }), err::IndexNotFound);
    EXPECT_TRUE(db->loadTable("odd \"name\"").rows.empty());
}

TEST_F(SqliteDatabaseTest, CorruptFilesGiveSqlitesMessage) {
    const std::string garbage = dir_.file("garbage.db");
    test::writeFile(garbage, std::string("SQLite format 3\0", 16) + std::string(8192, '\x5a'));
    const auto notADatabase = databaseErrorOf([&] { openDatabase(garbage)->loadTable("Games"); });
    EXPECT_EQ(notADatabase.number(), err::UnrecognizedDatabase);
    EXPECT_NE(notADatabase.description().find("file is not a database"), std::string::npos)
        << notADatabase.description();

    // Overwrite the table's own page: the schema reads, the rows do not.
    const auto path = create("game.db", R"(
        CREATE TABLE HEAD (ID INTEGER PRIMARY KEY, Name TEXT);
        INSERT INTO HEAD VALUES (1, 'Items'), (2, 'Player');
    )");
    {
        std::fstream io(path, std::ios::binary | std::ios::in | std::ios::out);
        io.seekp(4096);
        io << std::string(4096, '\x5a');
    }
    const auto db = openDatabase(path);
    const auto malformed = databaseErrorOf([&] { db->loadTable("HEAD"); });
    EXPECT_EQ(malformed.number(), err::UnrecognizedDatabase);
    EXPECT_NE(malformed.description().find("malformed"), std::string::npos)
        << malformed.description();
}

// Number keys order as numbers, whichever column holds them; table names
// ignore case.
TEST_F(SqliteDatabaseTest, StoreIsChosenBySignatureNotName) {
    const auto path = create("t00001.mdb", R"(
        CREATE TABLE Games (ID TEXT, Key INTEGER PRIMARY KEY, Database TEXT);
        INSERT INTO Games VALUES ('T-00001', 10, 't00001.sqlite'), ('T-00001 -01', 9, 'x'),
                                 ('T', 100, 'y');
    )");
    const Table games = openDatabase(path)->loadTable("games");
    EXPECT_EQ(games.name, "Games");
    EXPECT_EQ(games.keyColumn, 1u);
    EXPECT_EQ(column(games, 1), (std::vector<std::string>{"9", "10", "100"}));
    EXPECT_EQ(column(games, 0), (std::vector<std::string>{"T-00001 -01", "T-00001", "T"}));

    const std::string jet = dir_.file("game.sqlite");
    test::writeFile(jet, test::readFile(TESS_TEST_DATA "/jet/game.mdb"));
    EXPECT_EQ(column(openDatabase(jet)->loadTable("Games"), 2),
              (std::vector<std::string>{"t00001r1.mdb", "t00001.mdb"}));

    const std::string neither = dir_.file("game.txt");
    test::writeFile(neither, "Key,ID,Database\n");
    EXPECT_EQ(databaseErrorOf([&] { openDatabase(neither); }).number(), err::UnrecognizedDatabase);
}

}  // namespace
}  // namespace tess::gamedb
