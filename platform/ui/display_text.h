// Text shaping that every back end shares.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/form.h"

namespace ui {

// Message texts break lines with CR, LF or CR LF, as the Windows message box accepts them;
// this gives one LF per break.
std::string with_line_feeds(std::string_view text);

// One entry of a file box filter "description|pattern|description|pattern".
struct FileFilter {
    std::string description;  // "Word 文書 (*.docx)"
    std::string pattern;      // "*.docx"
};
std::vector<FileFilter> parse_file_filter(std::string_view filter);

// The one-line status of a form on a text console: the captions of its status controls, and a
// bar of `bar_width` cells for each progress bar among them, e.g. "Page 3/12 [#####.....]".
std::string status_line(const Form& form, int bar_width = 30);

}  // namespace ui
