#include <gtest/gtest.h>

#include "base/RuntimeError.h"
#include "gamedb/SpriteTree.h"
#include "tests/support/ErrorNumber.h"
#include "tests/support/GameFiles.h"

namespace tess::gamedb {
namespace {

const std::string kJet = std::string(TESS_TEST_DATA) + "/jet/";

// The tree as the command line prints it: indent, key, text, image.
std::string dump(const SpriteTree& tree) {
    std::string out;
    tree.forEachInTreeOrder([&](const TreeNode& node, int depth) {
        out += std::string(static_cast<std::size_t>(2 * depth), ' ') + node.key + "|" + node.text +
               "|" + std::to_string(node.image) + "\n";
    });
    return out;
}

SpriteTree treeOf(const std::string& folder, const std::string& game) {
    GameDatabase db(folder);
    db.OpenGameData(game);
    SpriteTree tree;
    BuildSpriteTree(db, tree);
    // Every scanned table is back on its first row.
    for (auto t : {GameDatabase::HEAD, GameDatabase::SPRITE, GameDatabase::COMPRESSED}) {
        EXPECT_FALSE(db.table(t).eof());
    }
    return tree;
}

// The other fixture game's keys are text: the order its index gives them is
// for the Jet notes' tests, the tree's lines for the command line's "tree".
TEST(SpriteTree, BuiltFromNumericKeysWithOrphanLeftOut) {
    EXPECT_EQ(dump(treeOf(kJet, "t00001.mdb")),
              "QBRKHEAD_1|Items|1\n"
              "  QBRKCHILD_Shared|Shared|2\n"
              "  QBRKCHILD_Trailing CRLF|Trailing CRLF|2\n"
              "QBRKHEAD_2|Player|1\n"
              "  QBRKCHILD_alpha|alpha|2\n"
              "  QBRKCHILD_Beta|Beta|2\n"
              "QBRKHEAD_5|Empty heading|1\n"
              "QBRKHEAD_10|Enemies|1\n"
              "  QBRKCHILD_Delta|Delta|2\n"
              "  QBRKCHILD_gamma|gamma|2\n"
              "QBRKHEADCOMP|Compressed|1\n"
              "  QBRKHEADCOMP_Title|Title|1\n"
              "    QBRKHEADCOMPCHILD_anvil|anvil|2\n"
              "    QBRKHEADCOMPCHILD_zebra|zebra|2\n"
              "  QBRKHEADCOMP_Bosses|Bosses|1\n"
              "    QBRKHEADCOMPCHILD_Shared|Shared|2\n");
}

TEST(SpriteTree, FailedAddsAreLeftOutSilently) {
    SpriteTree tree;
    EXPECT_EQ(tree.AddRootNode("A", "K", 1), 0);
    EXPECT_EQ(tree.AddRootNode("again", "K", 1), -1);       // duplicate key
    EXPECT_EQ(tree.AddChildNode("none", "c", "C", 2), -1);  // no such parent
    EXPECT_EQ(tree.AddChildNode("K", "c", "C", 2), 1);
    EXPECT_EQ(tree.AddChildNode("K", "c2", "C", 2), -1);  // keys are unique in the whole tree
    EXPECT_EQ(dump(tree), "K|A|1\n  C|c|2\n");
}

// A heading name without a value is an error.
TEST(SpriteTree, NumberAndTextHeadingsMeetNullKeysContributeNothingAndNullNamesFail) {
    test::TempDir dir;
    test::makeGameList(dir);
    test::makeSqliteDb(
        dir.file("g.db"),
        "CREATE TABLE NFO (ID INTEGER PRIMARY KEY, Name TEXT);"
        "CREATE TABLE HEAD (ID TEXT PRIMARY KEY, Name TEXT);"
        "INSERT INTO HEAD VALUES ('3', 'Three'), (NULL, 'No id'), (NULL, 'No id either');"
        "CREATE TABLE SPRITE (Name TEXT PRIMARY KEY, Heading);"
        "INSERT INTO SPRITE VALUES ('n', 3), ('t', '3'), ('u', NULL);"
        "CREATE TABLE COMPRESSED (Name TEXT PRIMARY KEY, SubHead TEXT);"
        "INSERT INTO COMPRESSED VALUES ('c1', 'A'), ('c2', 'B'), ('c3', 'A'), ('n', 'B');");
    EXPECT_EQ(dump(treeOf(dir.folder(), "g.db")),
              "QBRKHEAD_|No id|1\n"
              "  QBRKCHILD_u|u|2\n"
              "QBRKHEAD_3|Three|1\n"
              "  QBRKCHILD_n|n|2\n"
              "  QBRKCHILD_t|t|2\n"
              "QBRKHEADCOMP|Compressed|1\n"
              "  QBRKHEADCOMP_A|A|1\n"
              "    QBRKHEADCOMPCHILD_c1|c1|2\n"
              "    QBRKHEADCOMPCHILD_c3|c3|2\n"
              "  QBRKHEADCOMP_B|B|1\n"
              "    QBRKHEADCOMPCHILD_c2|c2|2\n"
              "    QBRKHEADCOMPCHILD_n|n|2\n");

    test::makeGame(dir.file("nameless.db"), "Nameless", "0, NULL, NULL, NULL",
                   test::kEmptySpriteTables + "INSERT INTO HEAD VALUES (1, NULL);");
    EXPECT_EQ(test::errorOf([&] { treeOf(dir.folder(), "nameless.db"); }), err::InvalidUseOfNull);
}

}  // namespace
}  // namespace tess::gamedb
