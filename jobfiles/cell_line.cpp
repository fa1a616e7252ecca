#include "jobfiles/cell_line.h"

namespace jobfiles {

/* ---------------------------------------------------------------- CellRule::line_style */
std::optional<int> CellRule::line_style() const noexcept {
    const int d = digit();
    if (d == 0) return std::nullopt;
    return d <= 4 ? 0 : 1;
}

/* ---------------------------------------------------------------- CellRuling::decode */
CellRuling CellRuling::decode(std::string_view code) noexcept {
    auto at = [code](std::size_t k) { return CellRule{k < code.size() ? code[k] : '\0'}; };
    return CellRuling{at(0), at(1), at(2), at(3), at(4), at(5)};
}

/* ---------------------------------------------------------------- cell_alignment */
CellAlignment cell_alignment(std::int16_t kind) noexcept {
    switch (kind) {
        case 1:
            return CellAlignment::left;
        case 4:
            return CellAlignment::centred;
        case 7:
            return CellAlignment::right;
        default:
            return CellAlignment::other;
    }
}

/* ---------------------------------------------------------------- CellLine::decode */
void CellLine::decode() noexcept {
    ruling = CellRuling::decode(s);
    alignment = cell_alignment(n);
    joins_left = text == "@";
}

}  // namespace jobfiles
