#include <gtest/gtest.h>

#include "app/core/RuntimeError.h"
#include "gamedb/core/Table.h"
#include "tests/support/ErrorNumber.h"

namespace tess::gamedb {
namespace {

using test::errorOf;

Table sprites() {
    return {"SPRITE",
            {"Name", "Palette"},
            {{"alpha", 0}, {"Beta", "&H1E20"}, {"beta", 1}, {"gamma", Value()}},
            0};
}

TEST(TableCursorTest, CountedScanVisitsRowsInOrder) {
    TableCursor cursor(sprites());
    std::string names;
    for (int i = 1; i <= cursor.rowCount(); ++i) {
        names += cursor.field("Name").text() + ";";
        cursor.moveNext();
    }
    EXPECT_EQ(names, "alpha;Beta;beta;gamma;");
    EXPECT_TRUE(cursor.eof());
    cursor.moveFirst();
    EXPECT_FALSE(cursor.eof());
    EXPECT_EQ(cursor.field("Name").text(), "alpha");
}

TEST(TableCursorTest, MovingPastTheEndLeavesNoCurrentRecord) {
    TableCursor cursor(sprites());
    for (int i = 0; i < 4; ++i) cursor.moveNext();
    EXPECT_TRUE(cursor.eof());
    EXPECT_EQ(errorOf([&] { cursor.field("Name"); }), err::NoCurrentRecord);
    EXPECT_EQ(errorOf([&] { cursor.moveNext(); }), err::NoCurrentRecord);

    TableCursor empty(Table{"HEAD", {"ID"}, {}, 0});
    EXPECT_EQ(empty.rowCount(), 0);
    EXPECT_TRUE(empty.eof());
    EXPECT_EQ(errorOf([&] { empty.field("ID"); }), err::NoCurrentRecord);
}

TEST(TableCursorTest, FieldNamesIgnoreCase) {
    TableCursor cursor(sprites());
    cursor.moveNext();
    EXPECT_EQ(cursor.field("palette").toLong(), 7712);
    EXPECT_EQ(cursor.field("NAME").text(), "Beta");
    EXPECT_EQ(errorOf([&] { cursor.field("Colour"); }), err::ItemNotFound);
}

TEST(TableCursorTest, SeekFindsTheFirstEqualKeyIgnoringCase) {
    TableCursor cursor(sprites());
    cursor.seek(Value("BETA"));
    ASSERT_FALSE(cursor.eof());
    EXPECT_EQ(cursor.field("Name").text(), "Beta");  // the first of the two equal keys
    cursor.seek(Value("gamma"));
    ASSERT_FALSE(cursor.eof());
    EXPECT_TRUE(cursor.field("Palette").isNull());
    cursor.seek(Value("delta"));
    EXPECT_TRUE(cursor.eof());
    cursor.seek(Value("alph"));  // no prefix match
    EXPECT_TRUE(cursor.eof());
}

TEST(TableCursorTest, SeekOnANumberKey) {
    TableCursor cursor(
        Table{"HEAD", {"ID", "Name"}, {{1, "Items"}, {5, "Empty"}, {10, "Enemies"}}, 0});
    cursor.seek(Value(5));
    ASSERT_FALSE(cursor.eof());
    EXPECT_EQ(cursor.field("Name").text(), "Empty");
    cursor.seek(Value("10"));
    ASSERT_FALSE(cursor.eof());
    EXPECT_EQ(cursor.field("Name").text(), "Enemies");
    cursor.seek(Value("ten"));
    EXPECT_TRUE(cursor.eof());
    cursor.seek(Value());
    EXPECT_TRUE(cursor.eof());
}

}  // namespace
}  // namespace tess::gamedb
