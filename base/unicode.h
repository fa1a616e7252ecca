// UTF-8 and UTF-16, the Unicode side of the text boundary: documents count characters in UTF-16
// units, packages hold UTF-8. Malformed input never stops a conversion: each offending byte or
// unpaired surrogate becomes one U+FFFD, so the text around it survives.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace unicode {

inline constexpr char32_t replacement_character = 0xFFFD;

constexpr bool is_high_surrogate(char16_t unit) noexcept {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
constexpr bool is_low_surrogate(char16_t unit) noexcept {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// One code point at `i`; `i` moves past it, or by one byte when the sequence is malformed
// (over-long, cut short, a surrogate or beyond U+10FFFF), which gives U+FFFD.
char32_t decode_utf8(std::string_view text, std::size_t& i);
// One code point at `i`; an unpaired surrogate gives U+FFFD.
char32_t decode_utf16(std::u16string_view text, std::size_t& i);

void append_utf8(std::string& out, char32_t code_point);
void append_utf16(std::u16string& out, char32_t code_point);

std::u16string utf8_to_utf16(std::string_view utf8);
std::string utf16_to_utf8(std::u16string_view utf16);

}  // namespace unicode
