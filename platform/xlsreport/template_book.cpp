#include "platform/xlsreport/template_book.h"

#include <charconv>

#include "base/run_time_error.h"
#include "base/whole_file.h"
#include "platform/xlsreport/report_failure.h"
#include "platform/xlsreport/xls_report.h"

namespace xlsreport::detail {

/* ------------------------------------------------------------ TemplateBook::read */
std::unique_ptr<TemplateBook> TemplateBook::read(const std::filesystem::path& file) {
    try {
        base::load_file(file);
    } catch (const base::RunTimeError& e) {
        fail(error::file_cannot_open, file.string() + ": " + e.description());
    }
    auto book = std::make_unique<TemplateBook>();
    TemplateSheet sheet;
    sheet.name = "1";
    book->sheets_.push_back(std::move(sheet));
    return book;
}

/* ------------------------------------------------------------ TemplateBook::sheet */
const TemplateSheet* TemplateBook::sheet(std::string_view ref) const {
    for (const TemplateSheet& s : sheets_) {
        if (s.name == ref) return &s;
    }
    std::size_t n = 0;
    const auto [end, ec] = std::from_chars(ref.data(), ref.data() + ref.size(), n);
    if (ec == std::errc{} && end == ref.data() + ref.size() && n >= 1 && n <= sheets_.size())
        return &sheets_[n - 1];
    return nullptr;
}

}  // namespace xlsreport::detail
