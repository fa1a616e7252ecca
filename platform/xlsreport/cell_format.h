// How a cell looks: font, alignment and its six lines. Cells without a format of their own
// keep the template's default cell style.
#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <optional>
#include <string>

namespace xlsreport::detail {

enum class Side : std::uint8_t { top, bottom, left, right, left_up, right_up };
inline constexpr std::size_t side_count = 6;

// Excel's border styles by their own numbers (the top byte of a line code): 1 thin, 2 medium,
// 3 dashed, 4 dotted, 5 thick, 6 double, 7 hair, 8 medium dashed, 9 dash-dot, 10 medium
// dash-dot, 11 dash-dot-dot, 12 medium dash-dot-dot, 13 slanted dash-dot. The report's
// ordinary lines use 1 (thin), its heavy ones 2 (medium), and with the thin-lines option its
// ordinary lines become 7 (hair, the finest line Excel prints) and its heavy ones 1.
inline constexpr std::uint8_t max_line_style = 13;

// The style's name as styles.xml spells it; "" for 0.
const char* line_style_name(std::uint8_t style) noexcept;

// The line style a line code names (0: no line), or nothing when it is no line code.
std::optional<std::uint8_t> line_style_of_code(std::int32_t code) noexcept;

enum class Horizontal : std::uint8_t { general, left, centre, right };
enum class Vertical : std::uint8_t { template_default, top, middle, bottom };

struct CellFormat {
    std::string font_name;   // UTF-8; empty keeps the template's
    double font_points = 0;  // 0 keeps the template's
    Horizontal horizontal = Horizontal::general;
    Vertical vertical = Vertical::template_default;
    std::array<std::uint8_t, side_count> lines{};  // line styles, 0 = none
    // Excel's mark of a typed leading apostrophe: the text shows as written and is never
    // taken for a formula when the cell is edited, so "=…" from a report stays text.
    bool quote_prefix = false;

    bool is_default() const noexcept { return *this == CellFormat{}; }
    auto operator<=>(const CellFormat&) const = default;
};

}  // namespace xlsreport::detail
