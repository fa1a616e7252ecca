#include "base/unicode.h"

#include <gtest/gtest.h>

namespace {

TEST(unicode, every_malformed_byte_becomes_one_replacement_and_the_rest_survives) {
    // A cut-short sequence, an over-long slash, an encoded surrogate, a stray continuation.
    EXPECT_EQ(unicode::utf8_to_utf16("a\xE3\x81"
                                     "b"),
              u"a\uFFFD\uFFFDb");
    EXPECT_EQ(unicode::utf8_to_utf16("\xC0\xAF"), u"\uFFFD\uFFFD");
    EXPECT_EQ(unicode::utf8_to_utf16("\xED\xA0\x80!"), u"\uFFFD\uFFFD\uFFFD!");
    EXPECT_EQ(unicode::utf8_to_utf16("\x80x"), u"\uFFFDx");
    EXPECT_EQ(unicode::utf8_to_utf16("\xE5\xB8\xB3\xE7\xA5\xA8"), u"帳票");
}

TEST(unicode, characters_beyond_the_basic_plane_take_two_units_and_come_back_whole) {
    const std::string utf8 = "\xF0\x9F\x98\x80z";  // U+1F600
    const std::u16string utf16 = unicode::utf8_to_utf16(utf8);
    ASSERT_EQ(utf16.size(), 3u);
    EXPECT_TRUE(unicode::is_high_surrogate(utf16[0]));
    EXPECT_TRUE(unicode::is_low_surrogate(utf16[1]));
    EXPECT_EQ(unicode::utf16_to_utf8(utf16), utf8);
    // Unpaired halves, in either order.
    EXPECT_EQ(unicode::utf16_to_utf8(u"\xDC00\xD800"), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

}  // namespace
