#include "base/unicode.h"

namespace unicode {

/* ---------------------------------------------------------------- decode_utf8 */
char32_t decode_utf8(std::string_view text, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    std::size_t extra = 0;
    char32_t code = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1, code = lead & 0x1Fu, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, code = lead & 0x0Fu, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, code = lead & 0x07u, minimum = 0x10000;
    } else {
        ++i;
        return replacement_character;
    }
    if (i + extra >= text.size()) {
        ++i;
        return replacement_character;
    }
    for (std::size_t k = 1; k <= extra; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return replacement_character;
        }
        code = (code << 6) | (byte(i + k) & 0x3Fu);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        ++i;
        return replacement_character;
    }
    i += extra + 1;
    return code;
}

/* ---------------------------------------------------------------- decode_utf16 */
char32_t decode_utf16(std::u16string_view text, std::size_t& i) {
    const char16_t unit = text[i++];
    if (is_high_surrogate(unit) && i < text.size() && is_low_surrogate(text[i])) {
        return 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (text[i++] - 0xDC00u);
    }
    return is_high_surrogate(unit) || is_low_surrogate(unit) ? replacement_character : unit;
}

/* ---------------------------------------------------------------- append_utf8 */
void append_utf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

/* ---------------------------------------------------------------- append_utf16 */
void append_utf16(std::u16string& out, char32_t code) {
    if (code < 0x10000) {
        out.push_back(static_cast<char16_t>(code));
    } else {
        code -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    }
}

/* ---------------------------------------------------------------- utf8_to_utf16 */
std::u16string utf8_to_utf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) append_utf16(out, decode_utf8(utf8, i));
    return out;
}

/* ---------------------------------------------------------------- utf16_to_utf8 */
std::string utf16_to_utf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size() * 3);
    for (std::size_t i = 0; i < utf16.size();) append_utf8(out, decode_utf16(utf16, i));
    return out;
}

}  // namespace unicode
