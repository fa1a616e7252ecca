#include "sorbel/workbook/text_lines.h"

#include <cmath>

#include "base/cp932.h"
#include "base/run_time_error.h"

namespace workbook {

/* ---------------------------------------------------------------- PlaceText */
std::string PlaceText(std::string_view line, int column, std::string_view text) {
    if (column < 1 || static_cast<std::size_t>(column) > line.size()) {
        throw base::RunTimeError(base::ErrorNumber::invalid_call,
                                 std::to_string(column) + " 桁目には置けません");
    }
    std::string placed(line);
    cp932::overwrite_bytes(placed, static_cast<std::size_t>(column - 1), text);
    return placed;
}

/* ---------------------------------------------------------------- snap_to_grid */
double snap_to_grid(double v) noexcept {
    return std::floor(v + 0.5001);
}

/* ---------------------------------------------------------------- clear_lines */
void clear_lines(TextLines& lines) {
    for (auto& line : lines) {
        line.text.assign(line_columns, ' ');
        line.mark = LineMark::empty;
        line.ranges.clear();
    }
}

}  // namespace workbook
