#include "platform/xlsreport/cell_text.h"

#include "base/cp932.h"

namespace xlsreport::detail {

namespace {

bool is_hex(char ch) noexcept {
    return (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'F') || (ch >= 'a' && ch <= 'f');
}

// "_xHHHH_" starts at `pos`.
bool escape_sequence_at(std::string_view text, std::size_t pos) noexcept {
    if (pos + 7 > text.size() || text[pos] != '_' || (text[pos + 1] != 'x' && text[pos + 1] != 'X'))
        return false;
    for (std::size_t i = pos + 2; i < pos + 6; ++i) {
        if (!is_hex(text[i])) return false;
    }
    return text[pos + 6] == '_';
}

}  // namespace

/* ------------------------------------------------------------ utf16_length */
std::size_t utf16_length(std::string_view utf8) noexcept {
    std::size_t units = 0;
    for (const char ch : utf8) {
        const auto byte = static_cast<unsigned char>(ch);
        if ((byte & 0xC0) != 0x80) units += byte >= 0xF0 ? 2 : 1;
    }
    return units;
}

/* ------------------------------------------------------------ cell_text */
std::string cell_text(std::string_view cp932) {
    const std::string utf8 = cp932::to_utf8(cp932);
    if (utf8.find('_') == std::string::npos) return utf8;
    std::string out;
    out.reserve(utf8.size() + 12);
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (escape_sequence_at(utf8, i)) out += "_x005F";
        out += utf8[i];
    }
    return out;
}

}  // namespace xlsreport::detail
