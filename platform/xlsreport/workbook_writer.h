// The output workbook: each finished sheet becomes its worksheet (and drawing) part at once,
// kept in a spool (the worksheet made and the drawing deflated on the spool's thread while the
// next sheet is filled); the workbook-wide parts are made when it is saved, and the finished
// parts copied after them.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ooxml/content_types.h"
#include "platform/ooxml/doc_props.h"
#include "platform/ooxml/relationships.h"
#include "platform/xlsreport/defined_names.h"
#include "platform/xlsreport/picture_media.h"
#include "platform/xlsreport/sheet_model.h"
#include "platform/xlsreport/template_book.h"

namespace xlsreport::detail {

class WorkbookWriter {
  public:
    // `properties` go into docProps/ with the time of the save as modified; `warn` hears what
    // of the template cannot be carried into the workbook.
    WorkbookWriter(const TemplateBook& book, ooxml::DocumentProperties properties, Warn warn);
    ~WorkbookWriter();
    WorkbookWriter(const WorkbookWriter&) = delete;
    WorkbookWriter& operator=(const WorkbookWriter&) = delete;

    // Turns the sheet into its parts, with the names and the header and footer pictures of its
    // template sheet, taking the model, which goes once its part is made.
    void add_sheet(SheetModel sheet, const TemplateSheet& from);
    MediaStore& media() noexcept;

    // Called after each sheet written with (sheets done, sheets in all); returns false to stop.
    using Progress = std::function<bool(std::int32_t done, std::int32_t total)>;
    // Writes the workbook atomically. Throws ReportFailure: save_stopped when `progress`
    // stopped it, save_failed, write_error or file_cannot_open when it could not be written,
    // with no file left behind. `stored_sheets`: the worksheets go in uncompressed.
    void save(const std::filesystem::path& file, bool overwrite, const Progress& progress,
              bool stored_sheets);

    struct Parts;

  private:
    // The package: the workbook-wide parts, then the finished sheets' and the pictures.
    void write(const std::filesystem::path& file, const ooxml::ContentTypes& types,
               std::string workbook, const ooxml::Relationships& workbook_rels,
               const Progress& progress, bool stored_sheets);

    const TemplateBook& book_;
    std::unique_ptr<Parts> parts_;
};

}  // namespace xlsreport::detail
