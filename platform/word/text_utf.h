// UTF-8 and UTF-16 as the document model needs them. Job text arrives as UTF-8 converted from
// CP932 by the CP932 module; this is only the Unicode side.
#pragma once

#include <string>
#include <string_view>

namespace word::detail {

// UTF-8 to UTF-16; a malformed sequence becomes one U+FFFD per offending byte.
std::u16string utf8_to_utf16(std::string_view utf8);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf16_to_utf8(std::u16string_view utf16);
void append_utf8(std::string& out, char32_t code_point);

// True for characters an XML 1.0 document cannot carry (controls other than tab, CR, LF;
// U+FFFE, U+FFFF).
constexpr bool xml_forbidden(char32_t c) noexcept {
    return (c < 0x20 && c != 0x09 && c != 0x0A && c != 0x0D) || c == 0xFFFE || c == 0xFFFF;
}

}  // namespace word::detail
