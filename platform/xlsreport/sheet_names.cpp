#include "platform/xlsreport/sheet_names.h"

#include <cstddef>

#include "platform/xlsreport/cell_text.h"

namespace xlsreport::detail {

namespace {

char fold(char ch) noexcept {
    return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch + 32) : ch;
}

}  // namespace

/* ------------------------------------------------------------ valid_sheet_name */
bool valid_sheet_name(std::string_view utf8) noexcept {
    const std::size_t length = utf16_length(utf8);
    if (length == 0 || length > 31) return false;
    if (utf8.front() == '\'' || utf8.back() == '\'') return false;
    if (utf8.find_first_of(":\\/?*[]") != std::string_view::npos) return false;
    return !same_sheet_name(utf8, "History");
}

/* ------------------------------------------------------------ same_sheet_name */
bool same_sheet_name(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

}  // namespace xlsreport::detail
