#include <gtest/gtest.h>

#include "gamedb/TextCoding.h"

namespace tess::gamedb {
namespace {

TEST(TextCoding, EveryCodePageByteSurvivesTheRoundTrip) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(byte)), byte) << b;
    }
}

TEST(TextCoding, CodePageCharactersAndTheirUtf8) {
    const struct {
        std::string bytes, utf8;
    } cases[] = {
        {"CAF\xC9", "CAFÉ"},       {"\x80", "€"}, {"\x9F", "Ÿ"},
        {"\x81", "\xC2\x81"},  // undefined: the control character of the same value
        {"\xA0\xFF", "\xC2\xA0ÿ"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Windows1252ToUtf8(c.bytes), c.utf8) << c.utf8;
        EXPECT_EQ(Utf8ToWindows1252(c.utf8), c.bytes) << c.utf8;
    }
    EXPECT_EQ(Utf8ToWindows1252("Ω"), std::nullopt);
    EXPECT_EQ(Utf8ToWindows1252("\xC3"), std::nullopt);  // cut-off sequence
}

TEST(TextCoding, MalformedUtf8GivesOneReplacementPerBadByte) {
    EXPECT_EQ(Utf8CodePoints("a\xE2\x82\xACz"), (std::vector<char32_t>{'a', 0x20AC, 'z'}));
    EXPECT_EQ(Utf8CodePoints("\xC0\xAF!"), (std::vector<char32_t>{0xFFFD, 0xFFFD, '!'}));
    EXPECT_EQ(Utf8CodePoints("\xED\xA0\x80"), (std::vector<char32_t>{0xFFFD, 0xFFFD, 0xFFFD}));
    EXPECT_EQ(Utf8CodePoints("\xF0\x9F\x98\x80"), (std::vector<char32_t>{0x1F600}));
}

}  // namespace
}  // namespace tess::gamedb
