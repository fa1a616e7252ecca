// One table cell of PRN_CHAR, with what its fields mean decoded when it is read: the six
// sides of its ruling, its alignment and whether it joins its left neighbour.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace jobfiles {

// One side of a cell's ruling: the code's character for that side.
struct CellRule {
    char mark = '\0';  // '\0' when the code is too short to have the character

    // The Word route rules every side whose character is not "0": a missing or stray
    // character draws a line too.
    bool drawn() const noexcept { return mark != '0'; }
    // The character's value as a digit, 0 for anything that is not one.
    int digit() const noexcept { return mark >= '0' && mark <= '9' ? mark - '0' : 0; }
    // The workbook's line for the side: nothing for 0 (or no digit), style 0 for 1 to 4,
    // style 1 for 5 to 9.
    std::optional<int> line_style() const noexcept;
};

// The ruling code's six characters, in the code's order.
struct CellRuling {
    CellRule diagonal_down;  // top left to bottom right
    CellRule diagonal_up;    // bottom left to top right
    CellRule left;
    CellRule bottom;
    CellRule right;
    CellRule top;

    static CellRuling decode(std::string_view code) noexcept;
};

enum class CellAlignment { left, centred, right, other };

// Alignment kind 1 is left, 4 centred, 7 right; every other kind aligns nothing.
CellAlignment cell_alignment(std::int16_t kind) noexcept;

// `CellLine`: one table cell.
struct CellLine {
    std::string tag;
    double a = 0;
    double b = 0;        // the cell's column, from 0
    std::string s;       // ruling code: diagonal down, diagonal up, left, bottom, right, top
    std::int16_t n = 0;  // alignment kind: 1 left, 4 centred, 7 right
    double h = 0;        // a width of the cell
    std::string text;    // quotes removed

    CellRuling ruling;                               // s decoded
    CellAlignment alignment = CellAlignment::other;  // n decoded
    bool joins_left = false;  // the text is "@": the cell continues its left neighbour

    // Fills the decoded members from s, n and text.
    void decode() noexcept;
};

}  // namespace jobfiles
