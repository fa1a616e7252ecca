#include "platform/xlsreport/cell_format.h"

#include <array>

namespace xlsreport::detail {

/* ------------------------------------------------------------ line_style_name */
const char* line_style_name(std::uint8_t style) noexcept {
    static constexpr std::array<const char*, max_line_style + 1> names = {"",
                                                                          "thin",
                                                                          "medium",
                                                                          "dashed",
                                                                          "dotted",
                                                                          "thick",
                                                                          "double",
                                                                          "hair",
                                                                          "mediumDashed",
                                                                          "dashDot",
                                                                          "mediumDashDot",
                                                                          "dashDotDot",
                                                                          "mediumDashDotDot",
                                                                          "slantDashDot"};
    return style <= max_line_style ? names[style] : "";
}

/* ------------------------------------------------------------ line_style_of_code */
std::optional<std::uint8_t> line_style_of_code(std::int32_t code) noexcept {
    if (code < 0 || (code & 0x00FFFFFF) != 0) return std::nullopt;
    const auto style = static_cast<std::uint8_t>(static_cast<std::uint32_t>(code) >> 24);
    if (style > max_line_style) return std::nullopt;
    return style;
}

}  // namespace xlsreport::detail
