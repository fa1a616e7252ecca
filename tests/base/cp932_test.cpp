#include "base/cp932.h"

#include <gtest/gtest.h>

#include "base/run_time_error.h"

namespace {

// "日本" in CP932, and half-width katakana "ｱ".
const std::string nihon = "\x93\xfa\x96\x7b";
const std::string katakana_a = "\xb1";

TEST(cp932, boundaries_count_lead_bytes_as_two_and_katakana_as_one) {
    const std::string text = "A" + nihon + katakana_a + "z";
    EXPECT_EQ(cp932::char_count(text), 5u);
    EXPECT_EQ(cp932::char_length_at(text, 1), 2u);
    EXPECT_EQ(cp932::char_length_at(text, 5), 1u);
    EXPECT_EQ(cp932::AnsiByteLength(text), 7);
    // A lone lead byte at the end is one character.
    EXPECT_EQ(cp932::char_count("\x93"), 1u);
    // A prefix cutting a two-byte character in half still counts that character.
    EXPECT_EQ(cp932::char_count_of_prefix(text, 2), 2u);
    EXPECT_EQ(cp932::char_count_of_prefix(text, 3), 2u);
}

TEST(cp932, converts_to_utf8_one_unit_per_character) {
    EXPECT_EQ(cp932::to_utf8("A" + nihon + katakana_a), "A日本ｱ");
    // Backslash position 0x5C stays a backslash, as file paths need.
    EXPECT_EQ(cp932::to_utf8("C:\\x"), "C:\\x");
    // Invalid pairs and unmapped single bytes become one replacement character each.
    const std::string bad =
        "\x85\x40"
        "a"
        "\xfd";
    EXPECT_EQ(cp932::to_utf8(bad),
              "\uFFFD"
              "a"
              "\uFFFD");
    EXPECT_EQ(cp932::to_utf16(bad).size(), cp932::char_count(bad));
    // A full-width character cut in half by an overwrite becomes a garbled pair, still one unit.
    const std::string garbled = std::string("\x93") + "A";
    EXPECT_EQ(cp932::to_utf16(garbled).size(), 1u);
}

TEST(cp932, round_trips_utf8_and_refuses_text_without_a_cp932_form) {
    EXPECT_EQ(cp932::from_utf8("日本ｱ～"), nihon + katakana_a + "\x81\x60");
    EXPECT_EQ(cp932::to_utf8(cp932::from_utf8("①髙﨑")), "①髙﨑");
    EXPECT_TRUE(cp932::representable("見出し 1"));
    EXPECT_FALSE(cp932::representable("emoji \U0001F600"));
    EXPECT_THROW(cp932::from_utf8("\xff"), base::RunTimeError);
}

TEST(cp932, overwrite_keeps_the_line_length) {
    std::string line(10, ' ');
    cp932::overwrite_bytes(line, 8, "abcd");
    EXPECT_EQ(line, "        ab");
    cp932::overwrite_bytes(line, 10, "x");
    EXPECT_EQ(line.size(), 10u);
    cp932::overwrite_bytes(line, 0, nihon);
    EXPECT_EQ(line.substr(0, 4), nihon);
    // Half of a full-width character overwritten leaves its other byte behind.
    cp932::overwrite_bytes(line, 1, "X");
    EXPECT_EQ(line.substr(0, 2), "\x93X");
    EXPECT_EQ(cp932::right_trim("ab  "), "ab");
}

}  // namespace
