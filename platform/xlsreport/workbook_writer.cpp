#include "platform/xlsreport/workbook_writer.h"

#include "platform/xlsreport/report_failure.h"
#include "platform/xlsreport/xls_report.h"

namespace xlsreport::detail {

struct WorkbookWriter::Parts {
    MediaStore media;
    std::int32_t sheets = 0;
};

WorkbookWriter::WorkbookWriter(const TemplateBook& book)
    : book_(book), parts_(std::make_unique<Parts>()) {}

WorkbookWriter::~WorkbookWriter() = default;

/* ------------------------------------------------------------ add_sheet */
void WorkbookWriter::add_sheet(const SheetModel& /*sheet*/, const TemplateSheet& /*from*/) {
    ++parts_->sheets;
}

std::int32_t WorkbookWriter::sheet_count() const noexcept {
    return parts_->sheets;
}

MediaStore& WorkbookWriter::media() noexcept {
    return parts_->media;
}

/* ------------------------------------------------------------ save */
void WorkbookWriter::save(const std::filesystem::path& /*file*/, bool /*overwrite*/,
                          const Progress& /*progress*/) {
    fail(error::save_failed, "saving is not available yet");
}

}  // namespace xlsreport::detail
