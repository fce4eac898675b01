#include <gtest/gtest.h>

#include "base/RuntimeError.h"
#include "gamedb/Value.h"
#include "tests/support/ErrorNumber.h"

namespace tess::gamedb {
namespace {

using test::errorOf;

TEST(ValueTest, KindsAndText) {
    EXPECT_TRUE(Value().isNull());
    EXPECT_TRUE(Value(7680).isNumber());
    EXPECT_TRUE(Value(2.5).isNumber());
    EXPECT_TRUE(Value("").isText());
    EXPECT_NE(Value(""), Value());  // empty text is a value, not null
    EXPECT_EQ(Value(std::int64_t{-7680}).text(), "-7680");
    EXPECT_EQ(Value(2.5).text(), "2.5");
    EXPECT_EQ(Value("0,0,4096").text(), "0,0,4096");
    EXPECT_EQ(Value().keyText(), "");
    EXPECT_EQ(Value(10).keyText(), "10");
}

TEST(ValueTest, DecimalAndHexTextGiveTheSameNumber) {
    EXPECT_EQ(Value(7744).toLong(), 7744);
    EXPECT_EQ(Value("7744").toLong(), 7744);
    EXPECT_EQ(Value("&H1E40").toLong(), 7744);
    EXPECT_EQ(Value("&h1e40").toLong(), 7744);
    EXPECT_EQ(Value("  7744 ").toLong(), 7744);
    EXPECT_EQ(Value("\t&H1E40 ").toLong(), 7744);
    EXPECT_EQ(Value("+12").toLong(), 12);
    EXPECT_EQ(Value("-12").toLong(), -12);
    EXPECT_EQ(Value("0").toLong(), 0);
    EXPECT_EQ(Value("&H0").toLong(), 0);
    EXPECT_EQ(Value("&H7FFFFFFF").toLong(), 2147483647);
    EXPECT_EQ(Value("&HFFFFFFFF").toLong(), -1);  // a 32-bit pattern
}

TEST(ValueTest, TextThatIsNoNumberIsATypeMismatch) {
    for (const char* text :
         {"", "   ", "abc", "12abc", "1 2", "&H", "&HXYZ", "&H12G", "H12", "-", "nan", "inf"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(errorOf([&] { Value(text).toLong(); }), err::TypeMismatch);
    }
}

TEST(ValueTest, NullIsInvalidWhereAValueIsRequired) {
    EXPECT_EQ(errorOf([] { Value().toLong(); }), err::InvalidUseOfNull);
    EXPECT_EQ(errorOf([] { Value().toInteger(); }), err::InvalidUseOfNull);
    EXPECT_EQ(errorOf([] { Value().text(); }), err::InvalidUseOfNull);
}

TEST(ValueTest, RangeLimits) {
    EXPECT_EQ(Value(32767).toInteger(), 32767);
    EXPECT_EQ(Value("-32768").toInteger(), -32768);
    EXPECT_EQ(errorOf([] { Value(32768).toInteger(); }), err::Overflow);
    EXPECT_EQ(errorOf([] { Value("-32769").toInteger(); }), err::Overflow);
    EXPECT_EQ(errorOf([] { Value("&HFFFF").toInteger(); }), err::Overflow);
    EXPECT_EQ(Value(std::int64_t{-2147483648LL}).toLong(), -2147483647 - 1);
    EXPECT_EQ(errorOf([] { Value(std::int64_t{2147483648LL}).toLong(); }), err::Overflow);
    EXPECT_EQ(errorOf([] { Value("&H100000000").toLong(); }), err::Overflow);
    EXPECT_EQ(errorOf([] { Value("1e300").toLong(); }), err::Overflow);
    EXPECT_EQ(errorOf([] { Value("1e999").toLong(); }), err::Overflow);
}

TEST(ValueTest, FractionsRoundHalfToEven) {
    EXPECT_EQ(Value(0.5).toLong(), 0);
    EXPECT_EQ(Value(1.5).toLong(), 2);
    EXPECT_EQ(Value(2.5).toLong(), 2);
    EXPECT_EQ(Value(-2.5).toLong(), -2);
    EXPECT_EQ(Value(2.6).toLong(), 3);
    EXPECT_EQ(Value("3.5").toInteger(), 4);
    EXPECT_EQ(Value("32767.4").toInteger(), 32767);
    EXPECT_EQ(errorOf([] { Value("32767.5").toInteger(); }), err::Overflow);
}

}  // namespace
}  // namespace tess::gamedb
