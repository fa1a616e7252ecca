#include "varnel/wordbuilder/line_grid.h"

#include <gtest/gtest.h>

#include "base/cp932.h"
#include "base/run_time_error.h"
#include "varnel/wordbuilder/cell_text.h"

namespace {

using wordbuilder::GridMetrics;

const GridMetrics metrics = GridMetrics::from(10.5f, 12, 200);

TEST(line_grid, columns_count_half_widths_from_the_left_margin) {
    EXPECT_EQ(wordbuilder::grid_column(metrics, 200), 1);
    EXPECT_EQ(wordbuilder::grid_column(metrics, 200 + metrics.LineHeight), 3);
    // Rounded to the nearest column.
    EXPECT_EQ(wordbuilder::grid_column(metrics, 200 + metrics.LineHeight * 0.7), 2);
    EXPECT_EQ(wordbuilder::grid_column(metrics, 200 + metrics.LineHeight * 0.8), 3);
    EXPECT_LT(wordbuilder::grid_column(metrics, 150), 1);
    EXPECT_THROW(wordbuilder::grid_column(metrics, 1e9), base::RunTimeError);
}

TEST(line_grid, rows_round_with_the_point_55_offset) {
    EXPECT_EQ(wordbuilder::grid_row(metrics, metrics.LineHeight, false), 1);
    EXPECT_EQ(wordbuilder::grid_row(metrics, 0.44 * metrics.LineHeight, false), 0);
    EXPECT_EQ(wordbuilder::grid_row(metrics, 0.46 * metrics.LineHeight, false), 1);
    EXPECT_EQ(wordbuilder::grid_row(metrics, metrics.TitleHeight + metrics.LineHeight, true), 2);
    EXPECT_EQ(wordbuilder::grid_row(metrics, metrics.TitleHeight, true), 1);
    // Int() floors: a text far above the block lands on a negative row.
    EXPECT_EQ(wordbuilder::grid_row(metrics, -2 * metrics.LineHeight, false), -2);
}

TEST(line_grid, block_heights_in_lines) {
    EXPECT_EQ(wordbuilder::lines_for_height(metrics, 0, 10 * metrics.LineHeight, false), 10);
    EXPECT_EQ(wordbuilder::lines_for_height(metrics, 0,
                                            metrics.TitleHeight + 3 * metrics.LineHeight, true),
              4);
    EXPECT_EQ(wordbuilder::lines_for_height(metrics, 0, 65 * metrics.LineHeight, false), 65);
}

TEST(line_grid, texts_overwrite_byte_for_byte) {
    wordbuilder::LineGrid grid;
    grid.place(3, 1, "ABCDEF");
    grid.place(3, 3, cp932::from_utf8("日"));
    EXPECT_EQ(grid.line(3).substr(0, 6), "AB" + cp932::from_utf8("日") + "EF");
    // A full-width character cut in half keeps its other byte: a garbled pair.
    grid.place(3, 4, "x");
    EXPECT_EQ(grid.line(3).substr(2, 2), cp932::from_utf8("日").substr(0, 1) + "x");
    grid.place(3, 89, "xyz");
    EXPECT_EQ(grid.line(3).size(), wordbuilder::grid_line_bytes);
    EXPECT_EQ(grid.line(3).substr(88), "xy");
    grid.clear();
    EXPECT_EQ(cp932::right_trim(grid.line(3)), "");
}

TEST(line_grid, at_most_64_runs_a_line) {
    wordbuilder::LineGrid grid;
    for (int i = 0; i < wordbuilder::max_runs_per_line; ++i) grid.add_run(5, {1, 1});
    EXPECT_EQ(grid.runs(5).count, 64);
    EXPECT_THROW(grid.add_run(5, {1, 1}), base::RunTimeError);
}

TEST(cell_text, markers_are_removed_and_runs_recorded) {
    const wordbuilder::CellText cell = wordbuilder::parse_cell_text("$Uabc$Zdef");
    EXPECT_EQ(cell.text, "abcdef");
    EXPECT_EQ(cell.raised, (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_TRUE(cell.lowered.empty());

    const std::string kanji = cp932::from_utf8("面積");
    const wordbuilder::CellText lowered = wordbuilder::parse_cell_text(kanji + "$S2$Z" + "m$U2");
    EXPECT_EQ(lowered.text, kanji + "2m2");
    EXPECT_EQ(lowered.lowered, (std::vector<std::int32_t>{3}));
    EXPECT_EQ(lowered.raised, (std::vector<std::int32_t>{5}));
    // A lone "$" or an unknown code stays text.
    EXPECT_EQ(wordbuilder::parse_cell_text("$5 $X$").text, "$5 $X$");
}

TEST(cell_text, more_than_256_runs_of_a_kind_is_an_error) {
    std::string text;
    for (int i = 0; i < 256; ++i) text += "$Ua$Z";
    EXPECT_NO_THROW(wordbuilder::parse_cell_text(text));
    EXPECT_THROW(wordbuilder::parse_cell_text(text + "$Ub"), base::RunTimeError);
}

}  // namespace
