#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gamedb/AccessText.h"

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
