#include "sorbel/workbook/matrix_cells.h"

#include <gtest/gtest.h>

#include "base/run_time_error.h"

namespace {

using workbook::CellJoin;

std::vector<jobfiles::CellLine> row_of(std::initializer_list<const char*> texts) {
    std::vector<jobfiles::CellLine> cells;
    for (const char* text : texts) {
        jobfiles::CellLine cell;
        cell.text = text;
        cell.decode();
        cells.push_back(cell);
    }
    return cells;
}

TEST(matrix_joins, at_cells_join_the_nearest_text_on_their_left) {
    EXPECT_EQ(workbook::scan_joins(row_of({"a", "@", "@", "b"})),
              (std::vector<CellJoin>{{0, 2}, {}, {}, {}}));
    EXPECT_EQ(workbook::scan_joins(row_of({"a", "b", "@", "c", "@"})),
              (std::vector<CellJoin>{{}, {1, 2}, {}, {3, 4}, {}}));
    EXPECT_EQ(workbook::scan_joins(row_of({"a", "b"})), (std::vector<CellJoin>{{}, {}}));
    try {
        workbook::scan_joins(row_of({"@", "a"}));
        ADD_FAILURE();
    } catch (const base::RunTimeError& e) {
        EXPECT_EQ(e.number(), 9);
    }
}

TEST(matrix_trim, alignment_chooses_the_ends) {
    using jobfiles::CellAlignment;
    EXPECT_EQ(workbook::trim_by_alignment("  a b  ", CellAlignment::left), "  a b");
    EXPECT_EQ(workbook::trim_by_alignment("  a b  ", CellAlignment::centred), "a b");
    EXPECT_EQ(workbook::trim_by_alignment("  a b  ", CellAlignment::right), "a b  ");
    EXPECT_EQ(workbook::trim_by_alignment("  a b  ", CellAlignment::other), "  a b  ");
    // Full-width blanks are text.
    EXPECT_EQ(workbook::trim_by_alignment("\x81\x40x ", CellAlignment::centred), "\x81\x40x");
}

TEST(matrix_layout, widths_and_left_column_in_sheet_columns) {
    workbook::WorkbookSettings settings;
    settings.Char_Size = 72;  // 2.54 mm a full-width character
    settings.Margin_Left = 100;
    jobfiles::MatrixHeader header;
    header.m1 = 3;
    header.m2 = 3;
    header.m3 = 4;
    header.m4 = 25.4;
    header.m5 = 50;
    // 0.5 columns rounds up; a hair below it (0.4999) stays down.
    header.widths = {127, 6.35, 6.3487, 63.5};
    header.m2 = 4;
    const workbook::MatrixPlace place{100, 141, 2};
    const workbook::MatrixCells half(header, place, settings);
    // The column that rounds to nothing still gets a sheet column: the table is one wider.
    EXPECT_EQ(half.column_widths(), (std::vector<std::int32_t>{10, 1, 1, 5}));
    EXPECT_EQ(half.left_column(), 2);
    EXPECT_EQ(half.top_row(), 141);
    EXPECT_EQ(half.rows(), 3);
    EXPECT_EQ(half.row_pitch(), 50);
    EXPECT_FALSE(half.moved_to_first_column());

    settings.Cell_Wide = 1;
    const workbook::MatrixCells full(header, place, settings);
    // Two of them: the widest column gives one up, the table is one column wider at most.
    EXPECT_EQ(full.column_widths(), (std::vector<std::int32_t>{4, 1, 1, 3}));
    EXPECT_EQ(full.left_column(), 1);

    // Left of the left margin: the first column.
    header.m4 = -100;
    const workbook::MatrixCells left(header, place, settings);
    EXPECT_EQ(left.left_column(), 0);
    EXPECT_TRUE(left.moved_to_first_column());

    header.widths.pop_back();
    EXPECT_THROW(workbook::MatrixCells(header, place, settings), base::RunTimeError);
}

}  // namespace
