// The Jet store on real Access files (tests/data, see JetContentTest.cpp):
// the table cursor's seek on tables of both Access formats, missing tables,
// fields and rows, and damaged copies of the files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "base/RuntimeError.h"
#include "gamedb/Database.h"
#include "tests/support/ErrorNumber.h"
#include "tests/support/GameFiles.h"

namespace tess::gamedb {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Strings = std::vector<std::string>;
using test::errorOf;

const std::string kJet = TESS_TEST_DATA "/jet/";
const std::string kJet3 = TESS_TEST_DATA "/jet3/";
constexpr std::size_t kPage = 4096;

// ---- Seek and errors ----------------------------------------------------

// Seek stops on the first row whose key equals the value (text ignoring case,
// numbers as numbers, never a prefix), or at the end.
TEST(TableCursor, SeekFindsTheKeyIgnoringCaseOrEndsAtTheEnd) {
    const struct {
        std::string file, table;
        Value key;
        const char* field;
        std::optional<Value> found;
    } cases[] = {
        {kJet + "t00001r1.mdb", "SPRITE", "big sprite", "Name", "Big Sprite"},
        {kJet + "many.mdb", "SPRITE", "RING'S SHADOW", "Name", "Ring's shadow"},
        {kJet + "many.mdb", "SPRITE", "Ring's", "Name", std::nullopt},
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

// Turning HEAD's row "Items" (ID 1) into a pointer to the row "Empty
// heading" moves it there.
TEST_F(DamagedJetTest, RowThatMovedIsFollowed) {
    Bytes file = test::readBytes(kJet + "t00001.mdb");
    const Slot items = rowHolding(file, compressed("Items"));
    const Slot target = rowHolding(file, compressed("Empty heading"));
    put32(file, items.start, static_cast<std::uint32_t>(target.row | target.page << 8));
    file[items.offset() + 1] |= 0x40;  // the "moved" flag
    const Table head = loadBytes(file, "HEAD");
    Strings keys;
    for (const auto& row : head.rows) keys.push_back(row[head.keyColumn].text());
    EXPECT_EQ(keys, (Strings{"5", "2", "5", "10"}));
}

// A damaged file's message names it and says what is wrong.
TEST_F(DamagedJetTest, DamagedIndexRowsOrMemoGiveADatabaseError) {
    const Bytes many = test::readBytes(kJet + "many.mdb");
    const Bytes game = test::readBytes(kJet + "t00001.mdb");
    const Bytes big = test::readBytes(kJet + "t00001r1.mdb");
    const Bytes list = test::readBytes(kJet + "game.mdb");
    const Bytes codes97 = test::readBytes(kJet3 + "testIndexCodesV1997.mdb");
    constexpr std::size_t kPage97 = 2048;
    struct Case {
        const char* what;
        const Bytes& original;
        const char* table;
        std::function<void(Bytes&)> damage;
        const char* reason = "";  // a part of the message, where it is pinned
        int error = err::UnrecognizedDatabase;
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
        {"leaf points to a deleted row", game, "HEAD",
         [](Bytes& f) { f[rowHolding(f, compressed("Items")).offset() + 1] |= 0x80; }},
        {"memo chain loops", big, "SPRITE",
         [](Bytes& f) {
             const Slot s = rowHolding(f, ucs2("0,0,8192"));
             put32(f, s.start, static_cast<std::uint32_t>(s.row | s.page << 8));
         }},
        {"truncated file", many, "SPRITE", [](Bytes& f) { f.resize(40 * kPage); }},
        {"truncated header", many, "SPRITE", [](Bytes& f) { f.resize(3000); }},
        // Read with the wrong page size.
        {"an Access 2000 file labelled Access 97", list, "Games", [](Bytes& f) { f[0x14] = 0; }},
        {"Access 97 file cut short", codes97, "Table14", [](Bytes& f) { f.resize(100 * kPage97); },
         "bad page number"},
        {"Access 97 leaf chain loops", codes97, "Table14",
         [](Bytes& f) { loopLeafChains(f, 12, kPage97); }, "index pages form a loop"},
        {"no index named PrimaryKey", list, "Games",
         [](Bytes& f) {
             const std::string name = ucs2("PrimaryKey");
             for (auto it = f.begin();
                  (it = std::search(it, f.end(), name.begin(), name.end())) != f.end();) {
                 it[18] = 'z';  // "PrimaryKez"
             }
         },
         "'PrimaryKey' is not an index in this table.", err::IndexNotFound},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes file = c.original;
        c.damage(file);
        ASSERT_NE(file, c.original);
        const DatabaseError e = test::databaseErrorOf([&] { loadBytes(file, c.table); });
        EXPECT_EQ(e.number(), c.error);
        EXPECT_NE(e.description().find(c.reason), std::string::npos) << e.description();
        if (c.error == err::UnrecognizedDatabase) {
            EXPECT_TRUE(e.description().starts_with("Unrecognized database format '" +
                                                    dir_.file("damaged.mdb") + "' ("))
                << e.description();
        }
    }
}

TEST_F(DamagedJetTest, RandomPagesAfterAJetSignatureAreRefused) {
    std::mt19937 random(20240601);
    for (int round = 0; round < 20; ++round) {
        Bytes file(64 * kPage);
        for (auto& b : file) b = static_cast<std::uint8_t>(random());
        const std::string head("\x00\x01\x00\x00Standard Jet DB\x00", 20);
        std::copy(head.begin(), head.end(), file.begin());
        file[0x14] = static_cast<std::uint8_t>(round % 2);  // Jet 3, Jet 4
        EXPECT_EQ(loadError(file, "SPRITE"), err::UnrecognizedDatabase) << "round " << round;
    }
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
        {TESS_TEST_DATA "/jet-index-gap/testIndexPropertiesV2000.mdb",
         {"TableIgnoreNulls2", "TableUnique2_temp"}},
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

}  // namespace
}  // namespace tess::gamedb
