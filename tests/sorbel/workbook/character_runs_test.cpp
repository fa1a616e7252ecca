#include "sorbel/workbook/character_runs.h"

#include <gtest/gtest.h>

#include "base/run_time_error.h"

namespace {

using workbook::ByteColumnToCharIndex;
using workbook::RangeEntry;
using workbook::SplitAttributes;
using workbook::SpreadRanges;

// CP932: "日", "本" and the full-width space.
const std::string nichi = "\x93\xfa";
const std::string hon = "\x96\x7b";
const std::string wide_space = "\x81\x40";

int run_time_error_number(auto&& call) {
    try {
        call();
    } catch (const base::RunTimeError& e) {
        return e.number();
    }
    return 0;
}

TEST(split_attributes, one_superscript_character_inside_plain_text) {
    const auto split = SplitAttributes("m$U2$Z per s");
    EXPECT_EQ(split.text, "m2 per s");
    ASSERT_EQ(split.ranges.size(), 1u);
    EXPECT_EQ(split.ranges[0].start, 2);
    EXPECT_EQ(split.ranges[0].length, 1);
    EXPECT_EQ(split.ranges[0].kind, 1);
}

TEST(split_attributes, dollar_without_a_marker_letter_stays_text) {
    EXPECT_EQ(SplitAttributes("$").text, "$");
    EXPECT_EQ(SplitAttributes("US$ 5").text, "US$ 5");
    EXPECT_EQ(SplitAttributes("$x$").text, "$x$");
    EXPECT_TRUE(SplitAttributes("$x$").ranges.empty());
    // "$" before a full-width character is no marker either.
    EXPECT_EQ(SplitAttributes("$" + nichi).text, "$" + nichi);
    // "$$U": the first "$" is text, the second opens a run.
    const auto split = SplitAttributes("$$Ua");
    EXPECT_EQ(split.text, "$a");
    ASSERT_EQ(split.ranges.size(), 1u);
    EXPECT_EQ(split.ranges[0].start, 2);
}

TEST(split_attributes, marker_at_the_end_opens_an_empty_run) {
    const auto split = SplitAttributes("abc$u");
    EXPECT_EQ(split.text, "abc");
    EXPECT_TRUE(split.ranges.empty());
    EXPECT_TRUE(SplitAttributes("$S$Z").ranges.empty());
}

TEST(split_attributes, runs_close_only_at_a_plain_character) {
    // Lower case markers; the run left open at the end is closed there.
    auto split = SplitAttributes("H$s2$zO$u+");
    EXPECT_EQ(split.text, "H2O+");
    ASSERT_EQ(split.ranges.size(), 2u);
    EXPECT_EQ(split.ranges[0], (RangeEntry{2, 1, 2, 2}));
    EXPECT_EQ(split.ranges[1], (RangeEntry{4, 1, 1, 4}));

    // Superscript, small, superscript, plain: one superscript run counted from its first
    // character, then the small run; superscript is closed first.
    split = SplitAttributes("$Uab$Scd$Uef$Zg");
    EXPECT_EQ(split.text, "abcdefg");
    ASSERT_EQ(split.ranges.size(), 2u);
    EXPECT_EQ(split.ranges[0], (RangeEntry{1, 4, 1, 1}));
    EXPECT_EQ(split.ranges[1], (RangeEntry{3, 2, 2, 3}));
}

TEST(split_attributes, counts_full_width_characters_once) {
    const auto split = SplitAttributes(nichi + "$U" + hon + "x$Z" + nichi);
    EXPECT_EQ(split.text, nichi + hon + "x" + nichi);
    ASSERT_EQ(split.ranges.size(), 1u);
    EXPECT_EQ(split.ranges[0].start, 2);
    EXPECT_EQ(split.ranges[0].length, 2);
}

TEST(split_attributes, more_runs_than_sixteen_bits_overflow) {
    std::string text;
    for (int i = 0; i < 32768; ++i) text += "$Ua$Zb";
    EXPECT_EQ(run_time_error_number([&] { SplitAttributes(text); }), 6);
}

TEST(byte_column_to_char_index, names_the_character_that_starts_at_the_column) {
    const std::string line = "AB" + nichi + "C";
    EXPECT_EQ(ByteColumnToCharIndex(line, 1), 1);
    EXPECT_EQ(ByteColumnToCharIndex(line, 3), 3);  // the full-width character itself
    EXPECT_EQ(ByteColumnToCharIndex(line, 4), 3);
    EXPECT_EQ(ByteColumnToCharIndex(line, 5), 4);
}

TEST(spread_ranges, umoji_at_column_eleven_gets_a_space_after_it) {
    std::string line(20, ' ');
    line[10] = 'x';
    std::vector<RangeEntry> ranges{{11, 1, 1, 0}};
    const std::string text = SpreadRanges(line, ranges);
    EXPECT_EQ(text.substr(0, 12), std::string(10, ' ') + "x ");
    EXPECT_EQ(text.size(), 21u);
    EXPECT_EQ(ranges[0].char_start, 11);
    EXPECT_EQ(ranges[0].length, 2);
}

TEST(spread_ranges, full_width_characters_are_padded_with_a_full_width_space) {
    // A full-width run that starts right after two full-width characters: its byte column
    // names its own first character, not the one before it.
    const std::string line = nichi + nichi + hon + "a" + "  ";
    std::vector<RangeEntry> ranges{{5, 2, 2, 0}};
    EXPECT_EQ(SpreadRanges(line, ranges), nichi + nichi + hon + wide_space + "a " + "  ");
    EXPECT_EQ(ranges[0].char_start, 3);
    EXPECT_EQ(ranges[0].length, 4);
}

TEST(spread_ranges, sorts_ranges_and_moves_later_starts_past_the_pads) {
    const std::string line = "a1b2c3    ";
    // Placed right to left.
    std::vector<RangeEntry> ranges{{6, 1, 2, 0}, {2, 1, 1, 0}, {4, 1, 1, 0}};
    EXPECT_EQ(SpreadRanges(line, ranges), "a1 b2 c3     ");
    ASSERT_EQ(ranges.size(), 3u);
    EXPECT_EQ(ranges[0], (RangeEntry{2, 2, 1, 2}));
    EXPECT_EQ(ranges[1], (RangeEntry{4, 2, 1, 5}));
    EXPECT_EQ(ranges[2], (RangeEntry{6, 2, 2, 8}));
}

TEST(spread_ranges, line_without_ranges_is_unchanged) {
    std::vector<RangeEntry> none;
    EXPECT_EQ(SpreadRanges("abc ", none), "abc ");
}

TEST(spread_ranges, overlapping_runs_merge_by_kind_and_the_last_placed_wins) {
    // The same superscript placed twice at one column, and one overlapping it: one run.
    std::vector<RangeEntry> repeated{{2, 2, 1, 0}, {2, 2, 1, 0}, {3, 2, 1, 0}};
    EXPECT_EQ(SpreadRanges("abcdef", repeated), "ab c d ef");
    ASSERT_EQ(repeated.size(), 1u);
    EXPECT_EQ(repeated[0], (RangeEntry{2, 6, 1, 2}));
    // A small run placed inside a superscript one takes its characters.
    std::vector<RangeEntry> inside{{2, 3, 1, 0}, {3, 1, 2, 0}};
    EXPECT_EQ(SpreadRanges("abcdef", inside), "ab c d ef");
    ASSERT_EQ(inside.size(), 3u);
    EXPECT_EQ(inside[0], (RangeEntry{2, 2, 1, 2}));
    EXPECT_EQ(inside[1], (RangeEntry{3, 2, 2, 4}));
    EXPECT_EQ(inside[2], (RangeEntry{4, 2, 1, 6}));
    // A run cut at the line's end covers what the line holds.
    std::vector<RangeEntry> cut{{5, 4, 2, 0}};
    EXPECT_EQ(SpreadRanges("abcde", cut), "abcde ");
    EXPECT_EQ(cut[0], (RangeEntry{5, 2, 2, 5}));
}

}  // namespace
