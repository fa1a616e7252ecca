#include "platform/excel/cell_reference.h"

#include <algorithm>

namespace excel::detail {

/* ---------------------------------------------------------------- parse_cell_reference */
std::optional<CellPosition> parse_cell_reference(std::string_view text) {
    std::size_t pos = 0;
    if (pos < text.size() && text[pos] == '$') ++pos;
    std::int64_t column = 0;
    const std::size_t letters = pos;
    while (pos < text.size() && pos - letters < 4) {
        const char c = text[pos];
        if (c >= 'A' && c <= 'Z') {
            column = column * 26 + (c - 'A' + 1);
        } else if (c >= 'a' && c <= 'z') {
            column = column * 26 + (c - 'a' + 1);
        } else {
            break;
        }
        ++pos;
    }
    if (pos == letters) return std::nullopt;
    if (pos < text.size() && text[pos] == '$') ++pos;
    const std::size_t digits = pos;
    std::int64_t row = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - digits < 8) {
        row = row * 10 + (text[pos] - '0');
        ++pos;
    }
    if (pos == digits || pos != text.size()) return std::nullopt;
    if (row < 1 || row > max_row || column < 1 || column > max_column) return std::nullopt;
    return CellPosition{static_cast<std::int32_t>(row), static_cast<std::int32_t>(column)};
}

/* ---------------------------------------------------------------- cell_reference */
std::string cell_reference(CellPosition position) {
    std::string letters;
    for (std::int32_t column = position.column; column > 0; column = (column - 1) / 26) {
        letters.push_back(static_cast<char>('A' + (column - 1) % 26));
    }
    std::reverse(letters.begin(), letters.end());
    return letters + std::to_string(position.row);
}

}  // namespace excel::detail
