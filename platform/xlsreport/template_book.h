// The template workbook as read by StartFile: its sheets, whose settings every output sheet
// made from them repeats, and the workbook-wide parts (styles, theme, defined names, document
// properties) the output carries on. What of a template cannot be carried is told as a warning
// and left out; only a template that is no workbook at all is refused.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ooxml/doc_props.h"
#include "platform/xlsreport/defined_names.h"
#include "platform/xlsreport/hf_drawing.h"

namespace xlsreport::detail {

// What an output sheet takes over from its template sheet, as XML fragments ready to be
// written into the worksheet part (each "" when the template has none).
struct TemplateSheet {
    std::string name;
    // Namespace declarations and mc:Ignorable of the template's <worksheet>, so that
    // attributes of other namespaces inside the fragments stay declared.
    std::vector<std::pair<std::string, std::string>> root_attributes;
    std::string sheet_pr, sheet_views, sheet_format_pr, cols;
    std::string print_options, page_margins, page_setup, header_footer;
    // Its sheet-scoped names (print titles, print area, the user's own).
    std::vector<DefinedName> names;
    // The pictures its header and footer show, when they could be read.
    std::optional<HeaderFooterDrawing> header_footer_drawing;
    // What of this sheet is left out, told when an output sheet is first made from it.
    std::vector<std::string> warnings;
};

class TemplateBook {
  public:
    // Throws ReportFailure (file_cannot_open) when the file is missing, unreadable or no
    // workbook, naming the file and what is wrong with it.
    static std::unique_ptr<TemplateBook> read(const std::filesystem::path& file);
    // The same from the bytes of a package; `name` stands for it in errors. Parts larger than
    // `part_limit` bytes are refused.
    static std::unique_ptr<TemplateBook> parse(std::string bytes, const std::string& name,
                                               std::uint64_t part_limit = std::uint64_t{256} << 20);

    // The sheet named `ref`; else, when `ref` is a number n, the n-th sheet; else nullptr.
    const TemplateSheet* sheet(std::string_view ref) const;

    const std::vector<TemplateSheet>& sheets() const noexcept { return sheets_; }
    const std::string& styles_xml() const noexcept { return styles_xml_; }
    const std::string& theme_xml() const noexcept { return theme_xml_; }
    // The workbook-wide names.
    const std::vector<DefinedName>& names() const noexcept { return names_; }
    // The descriptive core properties (title, subject, creator, keywords, description,
    // category); empty when the template has none.
    const ooxml::DocumentProperties& properties() const noexcept { return properties_; }
    // What of the workbook as a whole is left out.
    const std::vector<std::string>& warnings() const noexcept { return warnings_; }
    // The template's file name, as warnings name it.
    const std::string& file_name() const noexcept { return file_name_; }

    struct Reading;

  private:
    std::vector<TemplateSheet> sheets_;
    std::string styles_xml_;
    std::string theme_xml_;
    std::vector<DefinedName> names_;
    ooxml::DocumentProperties properties_;
    std::vector<std::string> warnings_;
    std::string file_name_;
};

}  // namespace xlsreport::detail
