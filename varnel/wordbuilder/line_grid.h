// The character grid of one text block: 67 lines of 90 CP932 bytes that text records overwrite
// byte for byte, and the sub/superscript runs recorded per line.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace wordbuilder {

inline constexpr int grid_first_line = 1;
inline constexpr int grid_last_line = 67;
inline constexpr std::size_t grid_line_bytes = 90;
inline constexpr int max_lines_per_block = 64;
inline constexpr int max_runs_per_line = 64;

// Lengths on the grid, in tenths of a millimetre.
struct GridMetrics {
    double LineHeight = 0;   // one text line at the document's character size
    double TitleHeight = 0;  // a title line at the line pitch
    std::int32_t Margin_Left = 0;

    static GridMetrics from(float char_size_points, std::int16_t line_pitch_points,
                            std::int32_t margin_left);
};

// Grid row of a text at y; not range-checked (rows 0 and 68+ are possible).
double grid_row(const GridMetrics& metrics, double y, bool title_block);
// Grid column (1-based, byte column) of a text at x, rounded half to even into 16 bits.
std::int16_t grid_column(const GridMetrics& metrics, double x);

// Grid lines of a block from y1 to y2, before the 64-line limit.
std::int16_t lines_for_height(const GridMetrics& metrics, double y1, double y2, bool title_block);

// Empty lines that reproduce the gap from gap_top down to a new block at y1.
std::int16_t gap_lines(const GridMetrics& metrics, double gap_top, double y1, bool title_block);

struct ScriptRun {
    std::int16_t start_column = 0;  // 1-based byte column
    std::int16_t length = 0;        // characters; positive lowered, negative raised
};

struct ScriptRuns {
    std::array<ScriptRun, max_runs_per_line> runs{};
    int count = 0;
};

class LineGrid {
  public:
    LineGrid() { clear(); }

    void clear();
    // Writes CP932 text from byte column `column` (1-based) of line `row`, keeping the line's
    // length; a column past the end writes nothing.
    void place(int row, std::int16_t column, std::string_view text);
    // Records a sub (length > 0) or superscript (length < 0) run; RunTimeError past 64 runs.
    void add_run(int row, ScriptRun run);

    const std::string& line(int row) const { return lines_.at(static_cast<std::size_t>(row)); }
    const ScriptRuns& runs(int row) const { return runs_.at(static_cast<std::size_t>(row)); }

  private:
    std::array<std::string, grid_last_line + 1> lines_;
    std::array<ScriptRuns, grid_last_line + 4> runs_;
};

}  // namespace wordbuilder
