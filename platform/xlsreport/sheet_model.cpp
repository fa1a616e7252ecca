#include "platform/xlsreport/sheet_model.h"

#include <algorithm>
#include <iterator>

namespace xlsreport::detail {

/* ------------------------------------------------------------ set_row_height */
void SheetModel::set_row_height(std::int32_t row1, std::int32_t row2, double points) {
    for (std::int32_t r = row1; r <= row2; ++r) rows_[r].height = points;
}

/* ------------------------------------------------------------ set_text */
void SheetModel::set_text(std::int32_t col, std::int32_t row, std::string utf8) {
    Cell& cell = rows_[row].cells[col];
    cell.has_text = true;
    cell.text = std::move(utf8);
}

/* ------------------------------------------------------------ merge */
void SheetModel::merge(const CellRange& range) {
    std::erase_if(merges_, [&](const CellRange& m) { return m.overlaps(range); });
    if (!range.single_cell()) merges_.push_back(range);
}

/* ------------------------------------------------------------ unmerge */
void SheetModel::unmerge(const CellRange& range) {
    std::erase_if(merges_, [&](const CellRange& m) { return range.contains(m); });
}

/* ------------------------------------------------------------ set_break */
void SheetModel::set_break(std::int32_t col, std::int32_t row, bool on) {
    if (on) {
        if (row > 0) row_breaks_.insert(row);
        if (col > 0) col_breaks_.insert(col);
    } else {
        row_breaks_.erase(row);
        col_breaks_.erase(col);
    }
}

/* ------------------------------------------------------------ delete_rows */
void SheetModel::delete_rows(std::int32_t first, std::int32_t count) {
    if (count <= 0) return;
    const std::int32_t last = first + count - 1;
    const auto moved = [&](std::int32_t row) { return row > last ? row - count : row; };

    std::map<std::int32_t, Row> rows;
    for (auto& [r, row] : rows_) {
        if (r < first || r > last) rows.emplace(moved(r), std::move(row));
    }
    rows_ = std::move(rows);

    std::vector<CellRange> merges;
    for (CellRange m : merges_) {
        if (m.row1 >= first && m.row2 <= last) continue;
        // Rows of the merge that survive: those above the deleted block and those below it.
        const std::int32_t above = std::max(0, std::min(m.row2, first - 1) - m.row1 + 1);
        const std::int32_t below = std::max(0, m.row2 - std::max(m.row1, last + 1) + 1);
        m.row1 = m.row1 < first ? m.row1 : std::max(first, m.row1 - count);
        m.row2 = m.row1 + above + below - 1;
        if (!m.single_cell()) merges.push_back(m);
    }
    merges_ = std::move(merges);

    std::set<std::int32_t> breaks;
    for (std::int32_t b : row_breaks_) {
        if (b < first || b > last) breaks.insert(moved(b));
    }
    row_breaks_ = std::move(breaks);

    for (PlacedPicture& p : pictures_)
        p.row = p.row > last ? p.row - count : std::min(p.row, first);
}

}  // namespace xlsreport::detail
