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

/* ------------------------------------------------------------ merges_near */
template <typename Visit>
void SheetModel::merges_near(std::int32_t row1, std::int32_t row2, Visit visit) {
    if (row2 - row1 >= tall_merge) {
        for (std::uint32_t id = 0; id < merges_.size(); ++id) {
            if (merges_[id].alive) visit(id);
        }
        return;
    }
    std::vector<std::uint32_t> seen;
    const auto once = [&](std::uint32_t id) {
        if (!merges_[id].alive || std::find(seen.begin(), seen.end(), id) != seen.end()) return;
        seen.push_back(id);
        visit(id);
    };
    for (const std::uint32_t id : tall_merges_) once(id);
    for (auto it = merges_by_row_.lower_bound(row1);
         it != merges_by_row_.end() && it->first <= row2; ++it) {
        for (const std::uint32_t id : it->second) once(id);
    }
}

/* ------------------------------------------------------------ add_merge */
void SheetModel::add_merge(const CellRange& range) {
    const auto id = static_cast<std::uint32_t>(merges_.size());
    merges_.push_back({range, true});
    if (range.row2 - range.row1 >= tall_merge) {
        tall_merges_.push_back(id);
    } else {
        for (std::int32_t r = range.row1; r <= range.row2; ++r) merges_by_row_[r].push_back(id);
    }
    live_merges_stale_ = true;
}

/* ------------------------------------------------------------ rebuild_merges */
void SheetModel::rebuild_merges(std::vector<CellRange> ranges) {
    merges_.clear();
    merges_by_row_.clear();
    tall_merges_.clear();
    given_way_ = 0;
    for (const CellRange& m : ranges) add_merge(m);
}

/* ------------------------------------------------------------ merges */
const std::vector<CellRange>& SheetModel::merges() const {
    if (live_merges_stale_) {
        live_merges_.clear();
        for (const Merge& m : merges_) {
            if (m.alive) live_merges_.push_back(m.range);
        }
        live_merges_stale_ = false;
    }
    return live_merges_;
}

/* ------------------------------------------------------------ merge */
void SheetModel::merge(const CellRange& range) {
    merges_near(range.row1, range.row2, [&](std::uint32_t id) {
        if (!merges_[id].range.overlaps(range)) return;
        merges_[id].alive = false;
        ++given_way_;
        live_merges_stale_ = true;
    });
    if (!range.single_cell()) add_merge(range);
    if (given_way_ > merges_.size() / 2 + 64) rebuild_merges(merges());
}

/* ------------------------------------------------------------ unmerge */
void SheetModel::unmerge(const CellRange& range) {
    merges_near(range.row1, range.row2, [&](std::uint32_t id) {
        if (!range.contains(merges_[id].range)) return;
        merges_[id].alive = false;
        ++given_way_;
        live_merges_stale_ = true;
    });
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
    for (CellRange m : this->merges()) {
        if (m.row1 >= first && m.row2 <= last) continue;
        // Rows of the merge that survive: those above the deleted block and those below it.
        const std::int32_t above = std::max(0, std::min(m.row2, first - 1) - m.row1 + 1);
        const std::int32_t below = std::max(0, m.row2 - std::max(m.row1, last + 1) + 1);
        m.row1 = m.row1 < first ? m.row1 : std::max(first, m.row1 - count);
        m.row2 = m.row1 + above + below - 1;
        if (!m.single_cell()) merges.push_back(m);
    }
    rebuild_merges(std::move(merges));

    std::set<std::int32_t> breaks;
    for (std::int32_t b : row_breaks_) {
        if (b < first || b > last) breaks.insert(moved(b));
    }
    row_breaks_ = std::move(breaks);

    for (PlacedPicture& p : pictures_)
        p.row = p.row > last ? p.row - count : std::min(p.row, first);
}

}  // namespace xlsreport::detail
