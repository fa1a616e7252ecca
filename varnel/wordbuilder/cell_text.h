// Table cell texts: "$U" opens a raised run, "$S" a lowered run, "$Z" returns to normal text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace wordbuilder {

inline constexpr std::size_t max_marker_runs = 256;

struct CellText {
    std::string text;                  // CP932, markers removed
    std::vector<std::int32_t> raised;  // 1-based character positions in `text`
    std::vector<std::int32_t> lowered;
};

// Removes the markers and records which characters each kind of run covers. More than 256 runs
// of one kind is a subscript error: a Word table cell keeps no more.
CellText parse_cell_text(std::string_view cp932_text);

// The text without its markers, whatever the number of runs: a drawn cell records none.
std::string remove_cell_markers(std::string_view cp932_text);

}  // namespace wordbuilder
