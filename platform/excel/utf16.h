// Excel counts a cell's characters in UTF-16 units; the package holds UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace excel::detail {

// Malformed UTF-8 becomes U+FFFD, one unit per bad byte.
std::u16string utf8_to_utf16(std::string_view text);
// A lone surrogate becomes U+FFFD.
std::string utf16_to_utf8(std::u16string_view text);

constexpr bool is_high_surrogate(char16_t unit) noexcept {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
constexpr bool is_low_surrogate(char16_t unit) noexcept {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace excel::detail
