#include "sorbel/workbook/matrix_cells.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "base/run_time_error.h"
#include "jobfiles/numeric.h"
#include "sorbel/workbook/character_runs.h"

namespace workbook {

namespace {

// Int(v + 0.5001): a grid position, halves and a hair below them going up.
std::int32_t snap(double v) {
    return jobfiles::to_int32(jobfiles::Int(v + 0.5001));
}

bool is_join(const jobfiles::CellLine& cell) {
    return cell.joins_left;
}

// Columns that snapped to no sheet column take one from the widest columns, until the table is
// at most one column wider than its widths gave.
void give_every_column_a_sheet_column(std::vector<std::int32_t>& widths, std::int32_t snapped) {
    std::int32_t total = 0;
    for (std::int32_t& w : widths) {
        w = std::max(w, 1);
        total += w;
    }
    while (total > snapped + 1) {
        const auto widest = std::max_element(widths.begin(), widths.end());
        if (*widest <= 1) break;
        --*widest;
        --total;
    }
}

}  // namespace

/* ---------------------------------------------------------------- scan_joins */
std::vector<CellJoin> scan_joins(const std::vector<jobfiles::CellLine>& cells) {
    std::vector<CellJoin> joins(cells.size());
    std::ptrdiff_t c = static_cast<std::ptrdiff_t>(cells.size()) - 1;
    while (c >= 0) {
        if (!is_join(cells[static_cast<std::size_t>(c)])) {
            --c;
            continue;
        }
        const std::ptrdiff_t end = c;
        while (c >= 0 && is_join(cells[static_cast<std::size_t>(c)])) --c;
        if (c < 0) {
            throw base::RunTimeError(base::ErrorNumber::subscript_out_of_range,
                                     "行が「@」のセルで始まっています（結合先のセルがありません）");
        }
        joins[static_cast<std::size_t>(c)] =
            CellJoin{static_cast<std::int16_t>(c), static_cast<std::int16_t>(end)};
        --c;
    }
    return joins;
}

/* ---------------------------------------------------------------- trim_by_alignment */
std::string_view trim_by_alignment(std::string_view text,
                                   jobfiles::CellAlignment alignment) noexcept {
    using jobfiles::CellAlignment;
    const bool leading = alignment == CellAlignment::centred || alignment == CellAlignment::right;
    const bool trailing = alignment == CellAlignment::left || alignment == CellAlignment::centred;
    while (leading && !text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (trailing && !text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

/* ---------------------------------------------------------------- MatrixCells */
MatrixCells::MatrixCells(const jobfiles::MatrixHeader& header, const MatrixPlace& place,
                         const WorkbookSettings& settings)
    : settings_(settings),
      rows_(header.m1),
      columns_(header.m2),
      row_pitch_(header.m5),
      sheet_number_(place.sheet_number) {
    if (columns_ > 0 && header.widths.size() < static_cast<std::size_t>(columns_)) {
        throw base::RunTimeError(base::ErrorNumber::subscript_out_of_range,
                                 "MATRIX の列幅が列数より少なくなっています");
    }
    // With Cell_Wide one sheet column holds a full-width character, else a half-width one.
    const double size = Char_Size_mm10(settings);
    const auto columns_of = [&](double length) {
        return settings.Cell_Wide == 0 ? snap(length * 2 / size) : snap(length / size);
    };
    std::int32_t snapped = 0;
    for (std::int16_t c = 0; c < columns_; ++c) {
        widths_.push_back(
            jobfiles::to_int16(columns_of(header.widths[static_cast<std::size_t>(c)])));
        snapped += std::max(widths_.back(), 0);
    }
    give_every_column_a_sheet_column(widths_, snapped);
    left_ = columns_of(header.m4 + place.block_x1 - settings.Margin_Left);
    if (left_ < 0) {
        left_ = 0;
        moved_ = true;
    }
    top_ = place.top_row;
}

/* ---------------------------------------------------------------- MatrixCells::put_row */
void MatrixCells::put_row(xlsreport::XlsReport& report, const jobfiles::MatrixRow& row,
                          UdStringWriter& runs) {
    const std::int32_t sheet_row = top_ + next_row_;
    ++next_row_;
    std::int32_t cursor = left_;
    if (settings_.Row_Ratio_SW) {
        report.Pos(left_, sheet_row, -1, -1);
        report.PutRowHeight(settings_.Matrix_Row_Height);
    }
    cell_ = 0;
    const std::vector<CellJoin> joins = scan_joins(row.cells);
    for (std::size_t c = 0; c < row.cells.size(); ++c) {
        cell_ = c;
        if (is_join(row.cells[c])) continue;
        std::int32_t width = 0;
        if (joins[c].start >= 0) {
            for (std::int16_t k = joins[c].start; k <= joins[c].end; ++k) {
                width += widths_.at(static_cast<std::size_t>(k));
            }
        } else {
            width = widths_.at(c);
        }
        put_cell(report, row.cells[c], sheet_row, cursor, width, runs);
        cursor += width;
    }
}

/* ---------------------------------------------------------------- MatrixCells::put_cell */
void MatrixCells::put_cell(xlsreport::XlsReport& report, const jobfiles::CellLine& cell,
                           std::int32_t row, std::int32_t cursor, std::int32_t width,
                           UdStringWriter& runs) const {
    const std::int32_t last = cursor + width - 1;
    report.Pos(cursor, row, last, row);
    report.AttrPutJoint(-1);

    const SplitText split = SplitAttributes(trim_by_alignment(cell.text, cell.alignment));
    for (const RangeEntry& range : split.ranges) {
        runs.add({sheet_number_, row + 1, cursor + 1, range.start, range.length, range.kind});
    }
    // A text that begins with "=" stays text: the report library never writes a formula, so it
    // is kept as it stands, without the apostrophe a typist would put in front of it.
    report.Pos(cursor, row, -1, -1);
    report.AttrPutFontName(settings_.Font_Name);
    report.PutValueString(split.text);

    report.Pos(cursor, row, last, row);
    switch (cell.alignment) {
        case jobfiles::CellAlignment::left:
            report.AttrPutPosHorz(xlsreport::pos_left);
            break;
        case jobfiles::CellAlignment::centred:
            report.AttrPutPosHorz(xlsreport::pos_centre);
            break;
        case jobfiles::CellAlignment::right:
            report.AttrPutPosHorz(xlsreport::pos_right);
            break;
        case jobfiles::CellAlignment::other:
            break;
    }
    report.Pos(cursor, row, last, row);
    report.AttrPutPosVert(xlsreport::pos_middle);
    report.AttrPutFontPoint(settings_.Cell_Point);

    const std::array<std::int32_t, 2> styles = Line_Style(settings_);
    report.Pos(cursor, row, last, row);
    using Put = std::int16_t (xlsreport::XlsReport::*)(std::int32_t);
    const std::pair<const jobfiles::CellRule&, Put> sides[] = {
        {cell.ruling.left, &xlsreport::XlsReport::AttrPutLineLeft},
        {cell.ruling.bottom, &xlsreport::XlsReport::AttrPutLineBottom},
        {cell.ruling.right, &xlsreport::XlsReport::AttrPutLineRight},
        {cell.ruling.top, &xlsreport::XlsReport::AttrPutLineTop},
        {cell.ruling.diagonal_down, &xlsreport::XlsReport::AttrPutLineLeftUp},
        {cell.ruling.diagonal_up, &xlsreport::XlsReport::AttrPutLineRightUp},
    };
    // 0, a character that is no digit and a missing one draw nothing.
    for (const auto& [rule, put] : sides) {
        if (const std::optional<int> style = rule.line_style()) {
            (report.*put)(styles[static_cast<std::size_t>(*style)]);
        }
    }
}

}  // namespace workbook
