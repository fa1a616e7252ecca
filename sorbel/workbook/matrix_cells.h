// Ruled tables into cells: each table row becomes one sheet row, each cell a range of sheet
// columns as wide as its column, merged, aligned, ruled and filled with its text in the table
// font size. A cell whose text is "@" is swallowed by the nearest cell on its left that is not.
// Superscript and small runs marked in a cell's text go to UDSTRING.DAT.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "jobfiles/cell_line.h"
#include "jobfiles/prn_char.h"
#include "platform/xlsreport/xls_report.h"
#include "sorbel/workbook/udstring_file.h"
#include "sorbel/workbook/workbook_settings.h"

namespace workbook {

// Where the table goes on its sheet.
struct MatrixPlace {
    double block_x1 = 0;            // left edge of the block, tenths of a millimetre
    std::int32_t top_row = 0;       // the sheet row of the table's first row, from 0
    std::int32_t sheet_number = 1;  // worksheet number for UDSTRING.DAT, from 1
};

// A cell that swallows the "@" cells to its right: from `start` to `end`, both columns of the
// row; -1 for a cell that is no join head.
struct CellJoin {
    std::int16_t start = -1;
    std::int16_t end = -1;
    friend bool operator==(const CellJoin&, const CellJoin&) = default;
};

// The join heads of one row, scanned from the last cell to the first. A row that begins with
// "@" cells raises base::RunTimeError (subscript out of range).
std::vector<CellJoin> scan_joins(const std::vector<jobfiles::CellLine>& cells);

// The cell text trimmed of blanks as its alignment asks: left-aligned of trailing ones, centred
// of both, right-aligned of leading ones; other alignments keep them.
std::string_view trim_by_alignment(std::string_view text,
                                   jobfiles::CellAlignment alignment) noexcept;

// One MATRIX record, written row by row as the reader gives the rows.
//
// A column narrower than half a sheet column still gets one sheet column, taken from the
// widest column where there is one, so that every cell keeps a range of its own and the table's
// right edge moves by one column at most. A table that starts left of the left margin starts in
// the first column.
class MatrixCells {
  public:
    // Header errors (column widths that do not fit 16 bits, no widths for the columns) raise
    // base::RunTimeError.
    MatrixCells(const jobfiles::MatrixHeader& header, const MatrixPlace& place,
                const WorkbookSettings& settings);

    // Writes the next row of the table; its runs are added to `runs` in the order the cells
    // are written. Table errors raise base::RunTimeError naming the table's row and column.
    void put_row(xlsreport::XlsReport& report, const jobfiles::MatrixRow& row,
                 UdStringWriter& runs);

    // The row (from 1) and column (from 1) being written, for messages.
    std::int32_t row_being_written() const noexcept { return next_row_; }
    std::int32_t column_being_written() const noexcept {
        return static_cast<std::int32_t>(cell_) + 1;
    }
    // True when the table lay left of the left margin and was moved to the first column.
    bool moved_to_first_column() const noexcept { return moved_; }

    // What the block height needs: the table's row count and row pitch.
    std::int16_t rows() const noexcept { return rows_; }
    double row_pitch() const noexcept { return row_pitch_; }

    // Sheet columns of each table column, and the table's left column (from 0).
    const std::vector<std::int32_t>& column_widths() const noexcept { return widths_; }
    std::int32_t left_column() const noexcept { return left_; }
    std::int32_t top_row() const noexcept { return top_; }

  private:
    void put_cell(xlsreport::XlsReport& report, const jobfiles::CellLine& cell, std::int32_t row,
                  std::int32_t cursor, std::int32_t width, UdStringWriter& runs) const;

    const WorkbookSettings& settings_;
    std::int16_t rows_;
    std::int16_t columns_;
    double row_pitch_;
    std::vector<std::int32_t> widths_;
    std::int32_t left_ = 0;
    std::int32_t top_ = 0;
    std::int32_t sheet_number_ = 1;
    std::int32_t next_row_ = 0;
    std::size_t cell_ = 0;
    bool moved_ = false;
};

}  // namespace workbook
