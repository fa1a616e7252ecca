// The open sheet in memory: its cells, row heights, merged ranges, manual page breaks and
// pictures. Only one sheet lives here at a time; a finished sheet is written out and dropped.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/xlsreport/cell_format.h"

namespace xlsreport::detail {

// The last row and column a sheet has (1048576 rows, 16384 columns).
inline constexpr std::int32_t max_row = 1048575;
inline constexpr std::int32_t max_col = 16383;

struct CellRange {
    std::int32_t col1 = 0, row1 = 0, col2 = 0, row2 = 0;  // inclusive, col1 <= col2, row1 <= row2

    bool overlaps(const CellRange& other) const noexcept {
        return col1 <= other.col2 && other.col1 <= col2 && row1 <= other.row2 && other.row1 <= row2;
    }
    bool contains(const CellRange& other) const noexcept {
        return col1 <= other.col1 && other.col2 <= col2 && row1 <= other.row1 && other.row2 <= row2;
    }
    bool single_cell() const noexcept { return col1 == col2 && row1 == row2; }
    auto operator<=>(const CellRange&) const = default;
};

struct Cell {
    bool has_text = false;
    std::string text;  // UTF-8
    CellFormat format;
};

struct Row {
    double height = 0;  // points; 0 keeps the standard height
    std::map<std::int32_t, Cell> cells;
};

// A picture placed on the sheet: the media it shows (index into the workbook's media), the
// cell its top-left corner is measured from, and offset and size in points.
struct PlacedPicture {
    std::size_t media = 0;
    std::int32_t col = 0, row = 0;
    double x = 0, y = 0, width = 0, height = 0;
};

class SheetModel {
  public:
    explicit SheetModel(std::string name) : name_(std::move(name)) {}

    const std::string& name() const noexcept { return name_; }
    void rename(std::string name) { name_ = std::move(name); }

    void set_row_height(std::int32_t row1, std::int32_t row2, double points);
    void set_text(std::int32_t col, std::int32_t row, std::string utf8);
    // Changes the format of every cell of the range with `change`(CellFormat&).
    template <typename Change>
    void change_format(const CellRange& range, Change change) {
        for (std::int32_t r = range.row1; r <= range.row2; ++r) {
            auto& cells = rows_[r].cells;
            for (std::int32_t c = range.col1; c <= range.col2; ++c) change(cells[c].format);
        }
    }
    // Merges the range; merges it overlaps give way.
    void merge(const CellRange& range);
    // Dissolves the merges that lie inside the range.
    void unmerge(const CellRange& range);
    void set_break(std::int32_t col, std::int32_t row, bool on);
    void place_picture(const PlacedPicture& picture) { pictures_.push_back(picture); }
    // Deletes rows first .. first + count - 1; rows, merges, breaks and pictures below move
    // up; merges cut by the deletion shrink, those inside it go, as in Excel.
    void delete_rows(std::int32_t first, std::int32_t count);

    const std::map<std::int32_t, Row>& rows() const noexcept { return rows_; }
    // The merges in the order they were made.
    const std::vector<CellRange>& merges() const;
    const std::set<std::int32_t>& row_breaks() const noexcept { return row_breaks_; }
    const std::set<std::int32_t>& col_breaks() const noexcept { return col_breaks_; }
    const std::vector<PlacedPicture>& pictures() const noexcept { return pictures_; }

    // Page margins in millimetres, when set: left, header, top, right, footer, bottom.
    struct Margins {
        double left = 0, header = 0, top = 0, right = 0, footer = 0, bottom = 0;
    };
    void set_margins(const Margins& margins) {
        margins_ = margins;
        has_margins_ = true;
    }
    const Margins* margins() const noexcept { return has_margins_ ? &margins_ : nullptr; }

  private:
    std::string name_;
    std::map<std::int32_t, Row> rows_;
    // Merges in the order they were made, those given way among them, found by the rows they
    // lie in: a sheet of many tables merges thousands of cells, and each new merge looks only
    // at the ones in its own rows.
    struct Merge {
        CellRange range;
        bool alive = true;
    };
    static constexpr std::int32_t tall_merge = 64;  // rows; taller merges are looked at always
    void add_merge(const CellRange& range);
    // Calls `visit` once with each live merge that may touch rows row1..row2.
    template <typename Visit>
    void merges_near(std::int32_t row1, std::int32_t row2, Visit visit);
    void rebuild_merges(std::vector<CellRange> ranges);

    std::vector<Merge> merges_;
    std::map<std::int32_t, std::vector<std::uint32_t>> merges_by_row_;
    std::vector<std::uint32_t> tall_merges_;
    std::size_t given_way_ = 0;
    mutable std::vector<CellRange> live_merges_;
    mutable bool live_merges_stale_ = false;
    std::set<std::int32_t> row_breaks_;
    std::set<std::int32_t> col_breaks_;
    std::vector<PlacedPicture> pictures_;
    Margins margins_;
    bool has_margins_ = false;
};

}  // namespace xlsreport::detail
