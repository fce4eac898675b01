#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gamedb/AccessText.h"
#include "gamedb/Database.h"

namespace tess::gamedb {
namespace {

// Each list is in Access's order, every text strictly before the next.
TEST(AccessText, OrderOfGeneralSort) {
    const std::vector<std::vector<std::string>> orders = {
        // Hyphen and apostrophe only break ties, after accents.
        {"coop", "co-op", "coo-p", "coopé", "co-opé", "coop's", "CoopX"},
        {"ab", "a'b", "a-b", "a--b"},
        {"ab", "a'b'", "a-b'"},
        // Space and punctuation, then symbols, then digits, then letters.
        {"Ring", "Ring (small)", "Ring.1", "Ring_Huge", "Ring~", "Ring+", "Ring=", "Ring§", "Ring2",
         "RingA", "Ring-Big", "Rings", "Ring's shadow"},
        {" ", "!", "#", "&", "(", "*", ",", ".", "/", ":", "?", "@", "[",
         "^", "_", "`", "{", "~", "+", "<", "=", ">", "0", "9", "a", "z"},
        {"item 10", "item 9", "item10", "item2"},
        // An accent counts after the letters; ligatures as two letters.
        {"a", "á", "à", "â", "ä", "ab"},
        {"resume", "résumé", "resumes"},
        {"ad", "æ", "af"},
        {"0", "¼", "½", "1", "3", "¾", "4"},
        // Letters outside the code page come after its letters.
        {"z", "Ω"},
    };
    for (const auto& order : orders) {
        for (std::size_t i = 0; i + 1 < order.size(); ++i) {
            EXPECT_LT(CompareAccessText(order[i], order[i + 1]), 0)
                << order[i] << " < " << order[i + 1];
            EXPECT_GT(CompareAccessText(order[i + 1], order[i]), 0)
                << order[i + 1] << " > " << order[i];
        }
    }
}

// The text keys of real Access files come in their index's order: hyphens,
// apostrophes, digits and punctuation in many.mdb, code-page letters in the
// Access 97 file. The SQLite store sorts by this order.
TEST(AccessText, OrderOfRealAccessIndexes) {
    const std::pair<std::string, std::string> sources[] = {
        {"jet/many.mdb", "SPRITE"},
        {"jet/many.mdb", "COMPRESSED"},
        {"jet/t00001r1.mdb", "SPRITE"},
        {"jet-index-gap/testIndexPropertiesV2000.mdb", "TableIgnoreNulls2"},
        {"jet3/testIndexCodesV1997.mdb", "Table1"},
    };
    for (const auto& [file, name] : sources) {
        const Table table = openDatabase(TESS_TEST_DATA "/" + file)->loadTable(name);
        ASSERT_GT(table.rows.size(), 5u) << file;
        for (std::size_t r = 1; r < table.rows.size(); ++r) {
            const std::string a = table.rows[r - 1][table.keyColumn].text();
            const std::string b = table.rows[r][table.keyColumn].text();
            EXPECT_LT(CompareAccessText(a, b), 0) << file << " " << name << ": " << a << " < " << b;
        }
    }
}

TEST(AccessText, CaseAndDroppedCharactersNeverCount) {
    const std::pair<std::string, std::string> equal[] = {
        {"Hero", "HERO"},
        {"Éclair", "éCLAIR"},
        {"ŠKODA", "škoda"},
        {"¹", "1"},
        {"so\xC2\xAD"
         "ft",
         "soft"},  // a soft hyphen
        {"", ""},
    };
    for (const auto& [a, b] : equal) EXPECT_EQ(CompareAccessText(a, b), 0) << a << " = " << b;
}

TEST(AccessText, EqualityIgnoringCase) {
    EXPECT_TRUE(EqualsIgnoringCase("Big Sprite", "big SPRITE"));
    EXPECT_TRUE(EqualsIgnoringCase("ÀÉÎÕÜ", "àéîõü"));
    EXPECT_TRUE(EqualsIgnoringCase("SONIC.MDB", "sonic.mdb"));
    EXPECT_FALSE(EqualsIgnoringCase("Ring's", "Rings"));
    EXPECT_FALSE(EqualsIgnoringCase("é", "e"));
    EXPECT_FALSE(EqualsIgnoringCase("ab", "abc"));
}

}  // namespace
}  // namespace tess::gamedb
