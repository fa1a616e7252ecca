// Cell addresses in the A1 form the package uses ("B12"), 1-based rows and columns.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace excel::detail {

inline constexpr std::int32_t max_row = 1048576;
inline constexpr std::int32_t max_column = 16384;

struct CellPosition {
    std::int32_t row = 0;
    std::int32_t column = 0;
    friend bool operator==(const CellPosition&, const CellPosition&) = default;
};

// "A1", "$B$12" (either case); nothing for anything else or a cell outside the sheet.
std::optional<CellPosition> parse_cell_reference(std::string_view text);
std::string cell_reference(CellPosition position);

}  // namespace excel::detail
