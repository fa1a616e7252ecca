// Text on its way from the caller's CP932 bytes into a cell.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace xlsreport::detail {

// The most characters (UTF-16 units) a cell holds.
inline constexpr std::size_t max_cell_text = 32767;

// UTF-16 units of a UTF-8 text, the unit Excel's limits count in.
std::size_t utf16_length(std::string_view utf8) noexcept;

// CP932 bytes as the UTF-8 text of a cell. Excel reads "_xHHHH_" in a cell's text as the
// character U+HHHH; such a sequence that is really text gets its underscore escaped as
// "_x005F_" so that it reads back as written.
std::string cell_text(std::string_view cp932);

}  // namespace xlsreport::detail
