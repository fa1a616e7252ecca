// The text lines of one block: 101 lines of 192 half-width columns, addressed by byte column
// of the CP932 text, so a full-width character takes two columns.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sorbel/workbook/character_runs.h"

namespace workbook {

inline constexpr int line_columns = 192;
inline constexpr int line_count = 101;  // indexes 0 to 100; line 100 is never written

enum class LineMark : std::int8_t { empty = 0, text = 1, title = 2 };

struct LineBuffer {
    std::string text = std::string(line_columns, ' ');
    LineMark mark = LineMark::empty;
    std::vector<RangeEntry> ranges;
};

// `line` with `text` written over it from 1-based byte `column` on, never past its end: the
// line keeps its length. A column left of 1 or past the line's end raises base::RunTimeError
// (invalid call).
std::string PlaceText(std::string_view line, int column, std::string_view text);

// The grid position of a length in tenths of a millimetre: Int(v + 0.5001).
double snap_to_grid(double v) noexcept;

using TextLines = std::array<LineBuffer, line_count>;

// Every line back to spaces, unmarked, without ranges.
void clear_lines(TextLines& lines);

}  // namespace workbook
