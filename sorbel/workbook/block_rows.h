// Where a block's lines, tables and picture go among the rows of its sheet.
//
// A text line L of a block lies on the block's row L - 1: a text's y is its baseline, so line 1
// is the block's first row and line 0 would lie above the block. A block with text on line 0
// therefore starts one row lower and takes one row more, its text, tables and picture alike,
// so that it never writes over the block above it. A table takes one row per table row
// whatever its row pitch, so the lines below a table move up (or down) by the grid lines its
// printed height takes beyond its rows; the block's height counts the tables the same way.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "jobfiles/prn_char.h"
#include "sorbel/workbook/workbook_settings.h"

namespace workbook {

// A table of the block as its MATRIX line places it.
struct TableLines {
    std::int16_t first_line = 0;  // m3: the grid line below which the table begins
    std::int16_t rows = 0;        // m1
    double pitch = 0;             // m5, tenths of a millimetre
};

class BlockRows {
  public:
    // `tables` in the order of their MATRIX lines.
    BlockRows(const WorkbookSettings& settings, const jobfiles::SorbelBlockHeader& header,
              const std::vector<TableLines>& tables, bool line_zero_used);

    // The block's first row, counted from the row the block would start on: 1 when line 0
    // holds text, else 0. The picture lies there.
    std::int32_t first_row() const noexcept { return shift_; }
    // The row of grid line `line` (0 to 100), counted like first_row.
    std::int32_t line_row(int line) const;
    // The row of table `t`'s first row (t in the order given); tables never share a row.
    std::int32_t table_row(std::size_t t) const;
    // The table (in the order given) one of whose rows is `row`, if any.
    std::optional<std::size_t> table_at(std::int32_t row) const;
    // The rows the block takes: its height on the line grid, its tables as one row per table
    // row, never less than its tables reach, never below zero.
    std::int32_t height() const noexcept { return height_; }

  private:
    // The row of `line` with the first `tables` tables laid out.
    std::int32_t line_row(int line, std::size_t tables) const;

    struct Table {
        TableLines lines;
        std::int32_t extent = 0;  // grid lines the table's printed height takes
        std::int32_t row = 0;
        std::size_t given = 0;  // place in the order given
    };
    std::vector<Table> tables_;  // by first line
    std::int32_t shift_ = 0;
    std::int32_t height_ = 0;
};

}  // namespace workbook
