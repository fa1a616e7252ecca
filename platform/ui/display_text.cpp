#include "platform/ui/display_text.h"

#include <algorithm>

namespace ui {

/* ---------------------------------------------------------------- with_line_feeds */
std::string with_line_feeds(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

/* ---------------------------------------------------------------- parse_file_filter */
std::vector<FileFilter> parse_file_filter(std::string_view filter) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= filter.size()) {
        const auto bar = filter.find('|', start);
        const auto end = bar == std::string_view::npos ? filter.size() : bar;
        parts.emplace_back(filter.substr(start, end - start));
        if (bar == std::string_view::npos) break;
        start = bar + 1;
    }
    std::vector<FileFilter> filters;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        filters.push_back({parts[i], parts[i + 1]});
    }
    return filters;
}

/* ---------------------------------------------------------------- status_line */
std::string status_line(const Form& form, int bar_width) {
    std::string line;
    for (const auto& c : form.controls()) {
        if (!c.console_status) continue;
        if (!line.empty()) line += ' ';
        if (c.kind != ControlKind::progress_bar) {
            line += c.text;
            continue;
        }
        int filled = 0;
        if (c.maximum > 0) {
            const long long value = std::clamp(c.value, 0, c.maximum);
            filled = static_cast<int>(value * bar_width / c.maximum);
        }
        line += '[';
        line.append(static_cast<std::size_t>(filled), '#');
        line.append(static_cast<std::size_t>(bar_width - filled), '.');
        line += ']';
    }
    return line;
}

}  // namespace ui
