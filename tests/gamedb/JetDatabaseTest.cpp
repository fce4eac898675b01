// The Jet store against real Access files (tests/data/jet, described row by
// row in CONTENT.md), an Access file whose indexes were deleted
// (tests/data/jet-index-gap), and damaged copies of them and of the Access 97
// files; and the table cursor's seek on tables of both Access formats.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "base/RuntimeError.h"
#include "gamedb/Database.h"
#include "tests/support/ErrorNumber.h"
#include "tests/support/GameFiles.h"
#include "tests/support/TestFiles.h"

namespace tess::gamedb {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Strings = std::vector<std::string>;

const std::string kJet = TESS_TEST_DATA "/jet/";
const std::string kJet3 = TESS_TEST_DATA "/jet3/";
const std::string kIndexGapFolder = TESS_TEST_DATA "/jet-index-gap/";
const std::string kIndexGap = kIndexGapFolder + "testIndexPropertiesV2000.mdb";
constexpr std::size_t kPage = 4096;

Strings keys(const Table& table) {
    Strings out;
    for (const auto& row : table.rows) out.push_back(row[table.keyColumn].keyText());
    return out;
}

using test::errorOf;

// ---- Every row of every table, as CONTENT.md gives it ---------------------

// A value in CONTENT.md's notation: NULL, a plain number or quoted text with
// \r, \n and \" escaped.
std::string describe(const Value& v) {
    if (v.isNull()) return "NULL";
    if (!v.isText()) return v.text();
    std::string out = "\"";
    for (const char c : v.text()) {
        out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : c == '"' ? "\\\"" : std::string(1, c);
    }
    return out + "\"";
}

// BIG16x16(b) of CONTENT.md: a 16x16 tile list, 32 bytes per tile from b.
std::string big16x16(int base) {
    std::string out;
    for (int tile = 0; tile < 256; ++tile) {
        if (tile) out += "\r\n";
        out += std::to_string(tile % 16) + "," + std::to_string(tile / 16) + "," +
               std::to_string(base + 32 * tile);
    }
    return out;
}

// The cells of a table line "| a | "b \| c" | ... |" in describe()'s notation.
Strings cells(std::string line) {
    for (std::size_t at; (at = line.find("\\|")) != std::string::npos;) line.replace(at, 2, "\x01");
    Strings out;
    std::size_t begin = 1;
    for (std::size_t end; (end = line.find('|', begin)) != std::string::npos; begin = end + 1) {
        std::string cell = line.substr(begin + 1, end - begin - 2);
        std::replace(cell.begin(), cell.end(), '\x01', '|');
        if (cell.starts_with("BIG16x16(")) {
            const std::string text = big16x16(std::stoi(cell.substr(9)));
            EXPECT_EQ(text.size(), std::stoul(cell.substr(cell.find('[') + 1))) << cell;
            cell = describe(Value(text));
        }
        out.push_back(cell);
    }
    return out;
}

struct ContentTable {
    std::string file, name;
    Strings columns;
    std::vector<Strings> rows;
};

std::vector<ContentTable> readContent() {
    std::ifstream in(kJet + "CONTENT.md");
    std::vector<ContentTable> tables;
    std::string line, file, table;
    int tableLine = -1;  // line number within a "Rows in PrimaryKey order" table
    while (std::getline(in, line)) {
        if (line.starts_with("## ")) file = line.substr(3, line.find(' ', 3) - 3);
        if (line.starts_with("### Table `")) table = line.substr(11, line.find('`', 11) - 11);
        if (line == "Rows in PrimaryKey order:") {
            tables.push_back({file, table, {}, {}});
            tableLine = 0;
        } else if (tableLine >= 0 && line.starts_with("|")) {
            Strings row = cells(line);
            row.erase(row.begin());  // the "#" column
            if (tableLine++ == 0) tables.back().columns = row;
            if (tableLine > 2) tables.back().rows.push_back(row);
        } else if (tableLine > 0) {
            tableLine = -1;
        }
    }
    return tables;
}

class ContentTest : public ::testing::TestWithParam<std::string> {};

TEST_P(ContentTest, EveryTableReadsBackAsCONTENTDescribesIt) {
    const auto db = openDatabase(kJet + GetParam());
    int checked = 0;
    for (const ContentTable& expected : readContent()) {
        if (expected.file != GetParam()) continue;
        SCOPED_TRACE(expected.name);
        ++checked;
        const Table table = db->loadTable(expected.name);
        EXPECT_EQ(table.name, expected.name);
        EXPECT_EQ(table.columns, expected.columns);
        ASSERT_EQ(table.rows.size(), expected.rows.size());
        std::string mismatches;
        for (std::size_t r = 0; r < table.rows.size(); ++r) {
            for (std::size_t c = 0; c < table.columns.size(); ++c) {
                const std::string got = describe(table.rows[r][c]);
                if (got != expected.rows[r][c]) {
                    mismatches += "row " + std::to_string(r + 1) + " " + table.columns[c] + ": " +
                                  got + " != " + expected.rows[r][c] + "\n";
                }
            }
        }
        EXPECT_EQ(mismatches, "");
    }
    EXPECT_EQ(checked, GetParam() == "game.mdb" ? 1 : 4);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ContentTest,
                         ::testing::Values("game.mdb", "t00001.mdb", "t00001r1.mdb", "many.mdb"),
                         [](const auto& fixture) {
                             return fixture.param.substr(0, fixture.param.find('.'));
                         });

// ---- Seek and errors ----------------------------------------------------

// Seek stops on the first row whose key equals the value (text ignoring case,
// numbers as numbers), or at the end; on tables of the Access 2000 and
// Access 97 stores.
TEST(TableCursor, SeekFindsTheKeyIgnoringCaseOrEndsAtTheEnd) {
    const struct {
        std::string file, table;
        Value key;
        const char* field;
        std::optional<Value> found;
    } cases[] = {
        {kJet + "t00001r1.mdb", "SPRITE", "big sprite", "Name", "Big Sprite"},
        {kJet + "t00001r1.mdb", "SPRITE", "Shared", "Name", std::nullopt},
        {kJet + "t00001.mdb", "HEAD", 5, "Name", "Empty heading"},
        {kJet + "many.mdb", "SPRITE", "RING'S SHADOW", "Name", "Ring's shadow"},
        {kJet + "many.mdb", "SPRITE", "Ring's", "Name", std::nullopt},
        {kJet3 + "testV1997.mdb", "Table1", "ABCDEFG", "B", "hijklmnop"},
        {kJet3 + "testV1997.mdb", "Table1", "abcdef", "B", std::nullopt},
        {kJet3 + "indexTestV1997.mdb", "Table3", 12, "data", "bar12"},
        {kJet3 + "indexTestV1997.mdb", "Table3", "13", "data", "bar13"},
        {kJet3 + "indexTestV1997.mdb", "Table3", 9, "data", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file + " " + c.table + " " + c.key.text());
        TableCursor cursor(openDatabase(c.file)->loadTable(c.table));
        cursor.moveNext();  // seek starts from the first row wherever the cursor is
        cursor.seek(c.key);
        ASSERT_EQ(cursor.eof(), !c.found);
        if (c.found) {
            EXPECT_EQ(cursor.field(c.field), *c.found);
        }
    }
}

TEST(JetDatabaseTest, MissingTableFieldAndRecord) {
    const auto db = openDatabase(kJet + "t00001.mdb");
    const DatabaseError missing = test::databaseErrorOf([&] { db->loadTable("SPRITES"); });
    EXPECT_EQ(missing.number(), err::TableNotFound);
    EXPECT_EQ(missing.description(),
              "The Microsoft Jet database engine cannot find the input table or query "
              "'SPRITES'. Make sure it exists and that its name is spelled correctly.");
    EXPECT_EQ(db->loadTable("sprite").name, "SPRITE");  // names ignore case

    TableCursor heads(db->loadTable("HEAD"));
    EXPECT_EQ(errorOf([&] { heads.field("Title"); }), err::ItemNotFound);
    for (int i = 0; i < heads.rowCount(); ++i) heads.moveNext();
    EXPECT_EQ(errorOf([&] { heads.field("Name"); }), err::NoCurrentRecord);
}

// ---- Damaged copies ------------------------------------------------------

class DamagedJetTest : public ::testing::Test {
protected:
    Table loadBytes(const Bytes& bytes, const std::string& table) {
        test::writeBytes(dir_ / "damaged.mdb", bytes);
        return openDatabase(dir_.file("damaged.mdb"))->loadTable(table);
    }

    int loadError(const Bytes& bytes, const std::string& table) {
        return errorOf([&] { loadBytes(bytes, table); });
    }

    test::TempDir dir_;
};

std::uint32_t get16(const Bytes& b, std::size_t at) { return b[at] | b[at + 1] << 8; }
void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> 8 * i);
}

// Text as stored with Unicode compression, and without (UCS-2).
std::string compressed(const std::string& text) { return "\xff\xfe" + text; }
std::string ucs2(const std::string& text) {
    std::string out;
    for (const char c : text) out += std::string{c, '\0'};
    return out;
}

struct Slot {
    std::size_t page, row, start;  // start: file offset of the row
    std::size_t offset() const { return page * kPage + 14 + 2 * row; }  // of its start entry
};

// The data row whose bytes hold `text`.
Slot rowHolding(const Bytes& file, const std::string& text) {
    const auto at = static_cast<std::size_t>(
        std::search(file.begin(), file.end(), text.begin(), text.end(),
                    [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); }) -
        file.begin());
    const std::size_t page = at / kPage, base = page * kPage;
    for (std::size_t row = 0; row < get16(file, base + 12); ++row) {
        const std::size_t start = base + (get16(file, base + 14 + 2 * row) & 0x1fff);
        const std::size_t end =
            row == 0 ? base + kPage : base + (get16(file, base + 12 + 2 * row) & 0x1fff);
        if (at >= start && at < end) return {page, row, start};
    }
    ADD_FAILURE() << "no row holds " << text;
    return {};
}

// Applies `f` to every page of the type (3 index node, 4 index leaf); Access
// 97 pages are 2048 bytes.
void forPages(Bytes& file, std::uint8_t type, const std::function<void(std::size_t base)>& f,
              std::size_t page = kPage) {
    for (std::size_t base = page; base < file.size(); base += page) {
        if (file[base] == type) f(base);
    }
}

// Points each leaf page that has a next leaf (its pointer at `nextLeaf`) back
// at itself.
void loopLeafChains(Bytes& file, std::size_t nextLeaf, std::size_t page) {
    forPages(
        file, 4,
        [&](std::size_t base) {
            if (get16(file, base + nextLeaf)) {
                put32(file, base + nextLeaf, static_cast<std::uint32_t>(base / page));
            }
        },
        page);
}

// File offset of the end of an index page's first entry.
std::size_t firstEntryEnd(const Bytes& file, std::size_t base) {
    std::size_t bit = 0;
    while (!(file[base + 27 + bit / 8] >> (bit % 8) & 1)) ++bit;
    return base + 480 + bit;
}

TEST_F(DamagedJetTest, TableWithoutPrimaryKeyIndex) {
    Bytes file = test::readBytes(kJet + "game.mdb");
    const std::string name = ucs2("PrimaryKey");
    for (auto it = file.begin();
         (it = std::search(it, file.end(), name.begin(), name.end())) != file.end();) {
        it[18] = 'z';  // "PrimaryKez"
    }
    const DatabaseError e = test::databaseErrorOf([&] { loadBytes(file, "Games"); });
    EXPECT_EQ(e.number(), err::IndexNotFound);
    EXPECT_EQ(e.description(), "'PrimaryKey' is not an index in this table.");
}

TEST_F(DamagedJetTest, RowThatMovedIsFollowedButADeletedOneRefused) {
    // Turn HEAD's row "Items" (ID 1) into a pointer to the row "Empty heading".
    Bytes file = test::readBytes(kJet + "t00001.mdb");
    const Slot items = rowHolding(file, compressed("Items"));
    const Slot target = rowHolding(file, compressed("Empty heading"));
    put32(file, items.start, static_cast<std::uint32_t>(target.row | target.page << 8));
    file[items.offset() + 1] |= 0x40;  // the "moved" flag
    EXPECT_EQ(keys(loadBytes(file, "HEAD")), (Strings{"5", "2", "5", "10"}));

    file[items.offset() + 1] |= 0x80;  // the "deleted" flag
    EXPECT_EQ(loadError(file, "HEAD"), err::UnrecognizedDatabase);
}

// An Access 97 file's message says why it cannot be read.
TEST_F(DamagedJetTest, DamagedIndexRowsOrMemoGiveADatabaseError) {
    const Bytes many = test::readBytes(kJet + "many.mdb");
    const Bytes game = test::readBytes(kJet + "t00001.mdb");
    const Bytes big = test::readBytes(kJet + "t00001r1.mdb");
    const Bytes codes97 = test::readBytes(kJet3 + "testIndexCodesV1997.mdb");
    constexpr std::size_t kPage97 = 2048;
    struct Case {
        const char* what;
        const Bytes& original;
        const char* table;
        std::function<void(Bytes&)> damage;
        const char* reason = nullptr;  // a part of the message, where it is pinned
    };
    const Case cases[] = {
        {"leaf chain loops", many, "SPRITE", [](Bytes& f) { loopLeafChains(f, 16, kPage); }},
        {"leaf chain leads out of the file", many, "SPRITE",
         [](Bytes& f) {
             forPages(f, 4, [&](auto base) {
                 if (get16(f, base + 16)) put32(f, base + 16, 0xffffff);
             });
         }},
        {"node points to a page of another table", many, "COMPRESSED",
         [](Bytes& f) { forPages(f, 3, [&](auto base) { f[firstEntryEnd(f, base) - 1] = 2; }); }},
        {"leaf points past the file", many, "SPRITE",
         [](Bytes& f) {
             forPages(f, 4, [&](auto base) { f[firstEntryEnd(f, base) - 4] = 0x7f; });
         }},
        {"entry bitmap runs off the page", game, "SPRITE",
         [](Bytes& f) { forPages(f, 4, [&](auto base) { f[base + 27 + 452] = 0x80; }); }},
        {"leaf points to a row the page lacks", game, "HEAD",
         [](Bytes& f) { f[rowHolding(f, compressed("Items")).page * kPage + 12] = 0; }},
        {"row offsets overlap", game, "HEAD",
         [](Bytes& f) { f[rowHolding(f, compressed("Items")).offset() + 1] = 0x1f; }},
        {"memo chain loops", big, "SPRITE",
         [](Bytes& f) {
             const Slot s = rowHolding(f, ucs2("0,0,8192"));
             put32(f, s.start, static_cast<std::uint32_t>(s.row | s.page << 8));
         }},
        {"truncated file", many, "SPRITE", [](Bytes& f) { f.resize(40 * kPage); }},
        {"truncated header", many, "SPRITE", [](Bytes& f) { f.resize(3000); }},
        {"Access 97 file cut short", codes97, "Table14", [](Bytes& f) { f.resize(100 * kPage97); },
         "bad page number"},
        {"Access 97 leaf chain loops", codes97, "Table14",
         [](Bytes& f) { loopLeafChains(f, 12, kPage97); }, "index pages form a loop"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes file = c.original;
        c.damage(file);
        ASSERT_NE(file, c.original);
        const DatabaseError e = test::databaseErrorOf([&] { loadBytes(file, c.table); });
        EXPECT_EQ(e.number(), err::UnrecognizedDatabase);
        if (c.reason) {
            EXPECT_NE(e.description().find(c.reason), std::string::npos) << e.description();
        }
    }
}

TEST_F(DamagedJetTest, UnreadableHeadersAreRefusedClearly) {
    std::mt19937 random(20240601);
    for (int round = 0; round < 20; ++round) {
        Bytes file(64 * kPage);
        for (auto& b : file) b = static_cast<std::uint8_t>(random());
        const std::string head("\x00\x01\x00\x00Standard Jet DB\x00", 20);
        std::copy(head.begin(), head.end(), file.begin());
        file[0x14] = static_cast<std::uint8_t>(round % 2);  // Jet 3, Jet 4
        EXPECT_EQ(loadError(file, "SPRITE"), err::UnrecognizedDatabase) << "round " << round;
    }

    // A Jet 4 file that says it is Access 97 is read with the wrong page size:
    // the message says what went wrong.
    Bytes mislabelled = test::readBytes(kJet + "game.mdb");
    mislabelled[0x14] = 0;
    const DatabaseError e = test::databaseErrorOf([&] { loadBytes(mislabelled, "Games"); });
    EXPECT_EQ(e.number(), err::UnrecognizedDatabase);
    EXPECT_TRUE(e.description().starts_with("Unrecognized database format '" +
                                            dir_.file("damaged.mdb") + "' ("))
        << e.description();
}

// Random damage past the header must give a table or a DatabaseError: never a
// crash, a hang, runaway memory or another exception.
TEST_F(DamagedJetTest, RandomDamageNeverCrashes) {
    const struct {
        std::string file;
        std::vector<std::string> tables;
    } fixtures[] = {
        {kJet + "t00001.mdb", {"NFO", "HEAD", "SPRITE", "COMPRESSED"}},
        {kJet + "t00001r1.mdb", {"NFO", "HEAD", "SPRITE", "COMPRESSED"}},
        {kJet + "many.mdb", {"SPRITE", "COMPRESSED"}},
        {kJet3 + "testIndexCodesV1997.mdb", {"Table1", "Table6", "Table13", "Table14_desc"}},
        {kJet3 + "testV1997.mdb", {"Table1", "Table2"}},
        {kIndexGap, {"TableIgnoreNulls2", "TableUnique2_temp"}},
    };
    std::mt19937 random(7);
    int errors = 0;
    for (const auto& fixture : fixtures) {
        const Bytes original = test::readBytes(fixture.file);
        for (int round = 0; round < 40; ++round) {
            Bytes file = original;
            for (int i = 0; i < 64; ++i) {
                file[2048 + random() % (file.size() - 2048)] = static_cast<std::uint8_t>(random());
            }
            for (const std::string& table : fixture.tables) {
                if (loadError(file, table)) ++errors;
            }
        }
    }
    EXPECT_GT(errors, 0);
}

// ---- Tables from which an index was deleted ----------------------------

// The rows of testIndexPropertiesV2000.mdb's CONTENT.md: "T:text", "N:number"
// or "\N" (null), tab-separated, per table in index order.
std::map<std::string, std::vector<Strings>> indexGapContent() {
    std::ifstream in(kIndexGapFolder + "CONTENT.md");
    std::map<std::string, std::vector<Strings>> tables;
    std::string line, table;
    while (std::getline(in, line)) {
        if (line.starts_with("=== TABLE ")) tables[table = line.substr(10)];
        if (!line.starts_with("R\t")) continue;
        Strings row;
        std::stringstream cells(line.substr(2));
        for (std::string cell; std::getline(cells, cell, '\t');) row.push_back(cell);
        tables[table].push_back(row);
    }
    return tables;
}

std::string gapNotation(const Value& v) {
    if (v.isNull()) return "\\N";
    return (v.isText() ? "T:" : "N:") + v.text();
}

TEST(JetIndexGap, TablesWhoseIndexNumbersHaveAGapReadInIndexOrder) {
    const auto expected = indexGapContent();
    ASSERT_EQ(expected.size(), 6u);
    const auto db = openDatabase(kIndexGap);
    for (const auto& [name, rows] : expected) {
        SCOPED_TRACE(name);
        const Table table = db->loadTable(name);
        EXPECT_EQ(table.columns[table.keyColumn], "row");
        std::vector<Strings> got;
        for (const auto& row : table.rows) {
            Strings cells;
            for (const Value& v : row) cells.push_back(gapNotation(v));
            got.push_back(cells);
        }
        EXPECT_EQ(got, rows);
    }
}

// libmdb reports what it cannot parse on stderr; a file the store reads must
// leave stderr as it was.
TEST(JetIndexGap, FilesThatLoadLeaveStandardErrorQuiet) {
    test::TempDir dir;
    const std::string captured = dir.file("stderr");
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    const int file = open(captured.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(file, 0);
    dup2(file, STDERR_FILENO);
    close(file);
    int tables = 0;
    const std::pair<std::string, Strings> fixtures[] = {
        {kIndexGap,
         {"TableIgnoreNulls1", "TableIgnoreNulls2", "TableUnique1_temp", "TableUnique2_temp"}},
        {kJet3 + "indexTestV1997.mdb", {"Table1", "Table2", "Table3"}},
        {kJet + "many.mdb", {"NFO", "HEAD", "SPRITE", "COMPRESSED"}},
    };
    for (const auto& [path, names] : fixtures) {
        const auto db = openDatabase(path);
        for (const std::string& name : names) tables += db->loadTable(name).rows.empty() ? 0 : 1;
    }
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    EXPECT_EQ(tables, 11);
    EXPECT_EQ(test::readFile(captured), "");
}

}  // namespace
}  // namespace tess::gamedb
