// The SQLite store against databases the tests write with libsqlite3.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/core/RuntimeError.h"
#include "gamedb/core/Database.h"
#include "tests/support/TestFiles.h"

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

DatabaseError loadError(const std::function<void()>& f) {
    try {
        f();
    } catch (const DatabaseError& e) {
        return e;
    }
    return {0, "no error"};
}

TEST_F(SqliteDatabaseTest, TextKeysOrderIgnoringCase) {
    const auto path = create("game.db", R"(
        CREATE TABLE SPRITE (Name TEXT PRIMARY KEY, Palette INTEGER, White TEXT, Grey TEXT);
        INSERT INTO SPRITE VALUES ('gamma', 0, '0,0,4224', '-1');
        INSERT INTO SPRITE VALUES ('Beta', 7712, '0,0,4160', NULL);
        INSERT INTO SPRITE VALUES ('alpha', 0, '0,0,4096', '');
        INSERT INTO SPRITE VALUES ('Delta', '&H1E20', '0,0,4256', '1,0,4320');
    )");
    const Table table = openDatabase(path)->loadTable("SPRITE");
    EXPECT_EQ(table.columns, (std::vector<std::string>{"Name", "Palette", "White", "Grey"}));
    EXPECT_EQ(table.keyColumn, 0u);
    EXPECT_EQ(column(table, 0), (std::vector<std::string>{"alpha", "Beta", "Delta", "gamma"}));
    EXPECT_EQ(column(table, 3), (std::vector<std::string>{"", "NULL", "1,0,4320", "-1"}));
    EXPECT_EQ(table.rows[2][1], Value("&H1E20"));
    EXPECT_EQ(table.rows[2][1].toLong(), 7712);

    TableCursor cursor(table);
    cursor.seek(Value("DELTA"));
    ASSERT_FALSE(cursor.eof());
    EXPECT_EQ(cursor.field("White").text(), "0,0,4256");
}

// A game database converted from Access lists its rows in the order of the
// Access file's index: the order comes from the program, not from a collation
// stored in the SQLite file.
TEST_F(SqliteDatabaseTest, ConvertedTablesKeepTheAccessOrder) {
    const std::string data = TESS_TEST_DATA;
    const std::pair<std::string, std::string> sources[] = {
        {data + "/jet/many.mdb", "SPRITE"},  // hyphens, apostrophes, digits, punctuation
        {data + "/jet/many.mdb", "COMPRESSED"},
        {data + "/jet/t00001r1.mdb", "SPRITE"},
        {data + "/jet-index-gap/testIndexPropertiesV2000.mdb", "TableIgnoreNulls2"},
        {data + "/jet3/testIndexCodesV1997.mdb", "Table1"},
    };
    for (const auto& [file, name] : sources) {
        SCOPED_TRACE(file + " " + name);
        const Table jet = openDatabase(file)->loadTable(name);
        const std::vector<std::string> order = column(jet, jet.keyColumn);
        ASSERT_GT(order.size(), 5u);
        // Stored back to front, so that storage order is no help.
        std::string sql = "BEGIN; CREATE TABLE T (Name TEXT PRIMARY KEY, Position INTEGER);";
        for (std::size_t i = order.size(); i-- > 0;) {
            std::string quoted;
            for (const char c : order[i])
                quoted += c == '\'' ? std::string("''") : std::string(1, c);
            sql += "INSERT INTO T VALUES ('" + quoted + "', " + std::to_string(i) + ");";
        }
        const std::string path = create("converted.db", sql + "COMMIT;");
        EXPECT_EQ(column(openDatabase(path)->loadTable("T"), 0), order);
        std::filesystem::remove(path);
    }
}

TEST_F(SqliteDatabaseTest, NumberKeysOrderAsNumbers) {
    const auto path = create("game.db", R"(
        CREATE TABLE HEAD (Name TEXT, ID INTEGER PRIMARY KEY);
        INSERT INTO HEAD VALUES ('Enemies', 10), ('Player', 2), ('Items', 1), ('Empty', 5);
    )");
    const Table table = openDatabase(path)->loadTable("head");
    EXPECT_EQ(table.name, "HEAD");
    EXPECT_EQ(table.keyColumn, 1u);
    EXPECT_EQ(column(table, 1), (std::vector<std::string>{"1", "2", "5", "10"}));
    EXPECT_EQ(column(table, 0), (std::vector<std::string>{"Items", "Player", "Empty", "Enemies"}));
}

TEST_F(SqliteDatabaseTest, StorageClassesBecomeValues) {
    const auto path = create("types.db", R"(
        CREATE TABLE T (K INTEGER PRIMARY KEY, I, R, S, B, N);
        INSERT INTO T VALUES (1, -7680, 2.5, '7744', x'2C0D0A', NULL);
        INSERT INTO T VALUES (2, 0, 0.0, '', x'', 'x');
    )");
    const Table table = openDatabase(path)->loadTable("T");
    const auto& first = table.rows[0];
    EXPECT_EQ(first[1], Value(std::int64_t{-7680}));
    EXPECT_EQ(first[2], Value(2.5));
    EXPECT_EQ(first[3], Value("7744"));
    EXPECT_EQ(first[4], Value(",\r\n"));  // a blob is the text of its bytes
    EXPECT_TRUE(first[5].isNull());
    const auto& second = table.rows[1];
    EXPECT_EQ(second[3], Value(""));
    EXPECT_EQ(second[4], Value(""));
}

TEST_F(SqliteDatabaseTest, MissingTableOrPrimaryKey) {
    const auto path = create("game.db", R"(
        CREATE TABLE Games (ID TEXT, Database TEXT);
        CREATE TABLE "Odd ""Name""" (K INTEGER PRIMARY KEY);
        CREATE VIEW V AS SELECT * FROM Games;
    )");
    const auto db = openDatabase(path);
    const auto missing = loadError([&] { db->loadTable("NFO"); });
    EXPECT_EQ(missing.number(), err::TableNotFound);
    EXPECT_EQ(missing.description(),
              "The Microsoft Jet database engine cannot find the input table or query 'NFO'. "
              "Make sure it exists and that its name is spelled correctly.");
    EXPECT_EQ(loadError([&] { db->loadTable("V"); }).number(), err::TableNotFound);

    const auto noKey = loadError([&] { db->loadTable("Games"); });
    EXPECT_EQ(noKey.number(), err::IndexNotFound);
    EXPECT_EQ(noKey.description(), "'PrimaryKey' is not an index in this table.");
    EXPECT_TRUE(db->loadTable("odd \"name\"").rows.empty());
}

TEST_F(SqliteDatabaseTest, CorruptFilesGiveSqlitesMessage) {
    const std::string garbage = dir_.file("garbage.db");
    test::writeFile(garbage, std::string("SQLite format 3\0", 16) + std::string(8192, '\x5a'));
    const auto notADatabase = loadError([&] { openDatabase(garbage)->loadTable("Games"); });
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
    const auto malformed = loadError([&] { db->loadTable("HEAD"); });
    EXPECT_EQ(malformed.number(), err::UnrecognizedDatabase);
    EXPECT_NE(malformed.description().find("malformed"), std::string::npos)
        << malformed.description();
}

TEST_F(SqliteDatabaseTest, StoreIsChosenBySignatureNotName) {
    const auto path = create("t00001.mdb", R"(
        CREATE TABLE Games (Key INTEGER PRIMARY KEY, ID TEXT, Database TEXT);
        INSERT INTO Games VALUES (10, 'T-00001', 't00001.sqlite'), (9, 'T-00001 -01', 'x');
    )");
    EXPECT_EQ(column(openDatabase(path)->loadTable("Games"), 0),
              (std::vector<std::string>{"9", "10"}));

    const std::string jet = dir_.file("game.sqlite");
    test::writeFile(jet, test::readFile(TESS_TEST_DATA "/jet/game.mdb"));
    EXPECT_EQ(column(openDatabase(jet)->loadTable("Games"), 2),
              (std::vector<std::string>{"t00001r1.mdb", "t00001.mdb"}));

    const std::string neither = dir_.file("game.txt");
    test::writeFile(neither, "Key,ID,Database\n");
    EXPECT_EQ(loadError([&] { openDatabase(neither); }).number(), err::UnrecognizedDatabase);
}

}  // namespace
}  // namespace tess::gamedb
