#include "sorbel/workbook/block_rows.h"

#include <algorithm>

#include "jobfiles/numeric.h"

namespace workbook {

namespace {

std::int32_t snap(double v) {
    return jobfiles::to_int32(jobfiles::Int(v + 0.5001));
}

}  // namespace

/* ---------------------------------------------------------------- BlockRows */
BlockRows::BlockRows(const WorkbookSettings& settings, const jobfiles::SorbelBlockHeader& header,
                     const std::vector<TableLines>& tables, bool line_zero_used)
    : shift_(line_zero_used ? 1 : 0) {
    const double size = Char_Size_mm10(settings);
    for (const TableLines& t : tables) {
        const std::int16_t rows = std::max<std::int16_t>(t.rows, 0);
        tables_.push_back(
            {{t.first_line, rows, t.pitch}, snap(rows * t.pitch / size), 0, tables_.size()});
    }
    std::stable_sort(tables_.begin(), tables_.end(), [](const Table& a, const Table& b) {
        return a.lines.first_line < b.lines.first_line;
    });
    // Each table begins where the line below its first line would lie, and below the table
    // before it.
    std::int32_t reach = shift_;
    for (std::size_t t = 0; t < tables_.size(); ++t) {
        tables_[t].row = std::max(line_row(tables_[t].lines.first_line + 1, t), reach);
        reach = tables_[t].row + tables_[t].lines.rows;
    }

    double table_height = 0;
    std::int32_t table_rows = 0;
    for (const Table& t : tables_) {
        table_height += t.lines.rows * t.lines.pitch;
        table_rows += t.lines.rows;
    }
    const double H = header.y2 - header.y1;
    const double rows =
        header.title_flag == 1
            ? jobfiles::Int((H - Line_Pitch_mm10(settings) - table_height) / size + 0.5001) +
                  table_rows + 1
            : jobfiles::Int((H - table_height) / size + 0.5001) + table_rows;
    height_ = std::max({jobfiles::to_int32(rows) + shift_, reach, std::int32_t{0}});
}

/* ---------------------------------------------------------------- BlockRows::table_row */
std::int32_t BlockRows::table_row(std::size_t t) const {
    for (const Table& table : tables_) {
        if (table.given == t) return table.row;
    }
    return 0;
}

/* ---------------------------------------------------------------- BlockRows::table_at */
std::optional<std::size_t> BlockRows::table_at(std::int32_t row) const {
    for (const Table& table : tables_) {
        if (row >= table.row && row < table.row + table.lines.rows) return table.given;
    }
    return std::nullopt;
}

/* ---------------------------------------------------------------- BlockRows::line_row */
std::int32_t BlockRows::line_row(int line) const {
    return line_row(line, tables_.size());
}

std::int32_t BlockRows::line_row(int line, std::size_t tables) const {
    // Lines below a table count on from the table's last row; lines within its printed height
    // share its rows.
    std::int32_t row = shift_ + line - 1;
    for (std::size_t i = 0; i < tables; ++i) {
        const Table& t = tables_[i];
        if (line <= t.lines.first_line) break;
        const int below = line - (t.lines.first_line + t.extent);
        if (below > 0) {
            row = t.row + t.lines.rows + below - 1;
        } else {
            const int within = line - t.lines.first_line - 1;
            row =
                t.row + std::min<std::int32_t>(t.lines.rows - 1, within * t.lines.rows / t.extent);
        }
    }
    return row;
}

}  // namespace workbook
