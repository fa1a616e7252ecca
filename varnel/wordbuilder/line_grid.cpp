#include "varnel/wordbuilder/line_grid.h"

#include "base/cp932.h"
#include "base/run_time_error.h"
#include "jobfiles/numeric.h"

namespace wordbuilder {

namespace {

constexpr double points_per_millimetre = 72.0 / 25.4;

}  // namespace

/* ---------------------------------------------------------------- GridMetrics::from */
GridMetrics GridMetrics::from(float char_size_points, std::int16_t line_pitch_points,
                              std::int32_t margin_left) {
    GridMetrics metrics;
    metrics.LineHeight = static_cast<double>(char_size_points) * 10 / points_per_millimetre;
    metrics.TitleHeight = line_pitch_points * 10 / points_per_millimetre;
    metrics.Margin_Left = margin_left;
    return metrics;
}

/* ---------------------------------------------------------------- grid_row */
double grid_row(const GridMetrics& metrics, double y, bool title_block) {
    // 0.55, not 0.5: the host rounds text lines slightly downwards onto the grid.
    if (title_block)
        return jobfiles::Int((y - metrics.TitleHeight) / metrics.LineHeight + 0.55) + 1;
    return jobfiles::Int(y / metrics.LineHeight + 0.55);
}

/* ---------------------------------------------------------------- grid_column */
std::int16_t grid_column(const GridMetrics& metrics, double x) {
    return jobfiles::to_int16((x - metrics.Margin_Left) / (metrics.LineHeight * 0.5) + 1);
}

/* ---------------------------------------------------------------- lines_for_height */
std::int16_t lines_for_height(const GridMetrics& metrics, double y1, double y2, bool title_block) {
    if (title_block) {
        return jobfiles::to_int16(
            jobfiles::Int((y2 - y1 - metrics.TitleHeight) / metrics.LineHeight + 0.5) + 1);
    }
    return jobfiles::to_int16(jobfiles::Int((y2 - y1) / metrics.LineHeight + 0.5));
}

/* ---------------------------------------------------------------- gap_lines */
std::int16_t gap_lines(const GridMetrics& metrics, double gap_top, double y1, bool title_block) {
    return lines_for_height(metrics, gap_top, y1, title_block);
}

/* ---------------------------------------------------------------- LineGrid::clear */
void LineGrid::clear() {
    for (int row = grid_first_line; row <= grid_last_line; ++row) {
        lines_[static_cast<std::size_t>(row)].assign(grid_line_bytes, ' ');
    }
    for (auto& line_runs : runs_) line_runs.count = 0;
}

/* ---------------------------------------------------------------- LineGrid::place */
void LineGrid::place(int row, std::int16_t column, std::string_view text) {
    if (column < 1) return;
    cp932::overwrite_bytes(lines_.at(static_cast<std::size_t>(row)),
                           static_cast<std::size_t>(column - 1), text);
}

/* ---------------------------------------------------------------- LineGrid::add_run */
void LineGrid::add_run(int row, ScriptRun run) {
    ScriptRuns& line_runs = runs_.at(static_cast<std::size_t>(row));
    if (line_runs.count >= max_runs_per_line) {
        throw base::RunTimeError(
            base::ErrorNumber::subscript_out_of_range,
            "more than 64 sub/superscript runs on line " + std::to_string(row));
    }
    line_runs.runs[static_cast<std::size_t>(line_runs.count++)] = run;
}

}  // namespace wordbuilder
