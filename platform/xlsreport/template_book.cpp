#include "platform/xlsreport/template_book.h"

#include <charconv>
#include <cstdlib>
#include <pugixml.hpp>

#include "base/run_time_error.h"
#include "base/whole_file.h"
#include "platform/ooxml/copy_xml.h"
#include "platform/ooxml/package_reader.h"
#include "platform/ooxml/part_xml.h"
#include "platform/ooxml/relationships.h"
#include "platform/xlsreport/report_failure.h"
#include "platform/xlsreport/xls_report.h"

namespace xlsreport::detail {

namespace {

using ooxml::NodeFilter;
using ooxml::xml_fragment;
using ooxml::detail::local_name;

constexpr std::string_view relationships_ns =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// The part a relationship target names, from the folder of the part that holds it.
std::string resolve(std::string path, std::string_view target) {
    if (target.starts_with('/')) return std::string(target.substr(1));
    for (;;) {
        if (target.starts_with("./")) {
            target.remove_prefix(2);
        } else if (target.starts_with("../")) {
            target.remove_prefix(3);
            if (!path.empty()) path.pop_back();
            const std::size_t slash = path.find_last_of('/');
            path = slash == std::string::npos ? "" : path.substr(0, slash + 1);
        } else {
            return path + std::string(target);
        }
    }
}

std::string folder_of(std::string_view part) {
    const std::size_t slash = part.find_last_of('/');
    return slash == std::string_view::npos ? "" : std::string(part.substr(0, slash + 1));
}

std::string rels_of(std::string_view part) {
    const std::string folder = folder_of(part);
    return folder + "_rels/" + std::string(part.substr(folder.size())) + ".rels";
}

// The attribute of `node` in the relationships namespace (r:id), whatever its prefix.
std::string_view relationship_id(const pugi::xml_node& node) {
    for (const pugi::xml_attribute a : node.attributes()) {
        const std::string_view name = a.name();
        const std::size_t colon = name.find(':');
        if (colon == std::string_view::npos || name.substr(colon + 1) != "id") continue;
        const std::string prefix_decl = "xmlns:" + std::string(name.substr(0, colon));
        for (pugi::xml_node n = node; n; n = n.parent()) {
            const pugi::xml_attribute decl = n.attribute(prefix_decl.c_str());
            if (decl) {
                if (decl.value() == relationships_ns) return a.value();
                break;
            }
        }
    }
    return {};
}

pugi::xml_node child(const pugi::xml_node& parent, std::string_view name) {
    for (const pugi::xml_node c : parent.children()) {
        if (local_name(c) == name) return c;
    }
    return {};
}

TemplateSheet read_sheet(const pugi::xml_node& worksheet, std::string name) {
    TemplateSheet sheet;
    sheet.name = std::move(name);
    for (const pugi::xml_attribute a : worksheet.attributes()) {
        const std::string_view attr = a.name();
        // The two namespaces every output sheet declares itself.
        if (attr == "xmlns" || attr == "xmlns:r") continue;
        if (attr.starts_with("xmlns:") || attr == "mc:Ignorable")
            sheet.root_attributes.emplace_back(a.name(), a.value());
    }
    const auto fragment = [&](std::string_view element, const NodeFilter& filter = {}) {
        const pugi::xml_node node = child(worksheet, element);
        return node ? xml_fragment(node, filter) : std::string();
    };
    sheet.sheet_pr = fragment("sheetPr");
    // Which sheet is selected is the workbook's business, not the template's.
    sheet.sheet_views = fragment("sheetViews", [](const pugi::xml_node&, std::string_view attr) {
        return attr != "tabSelected";
    });
    sheet.sheet_format_pr = fragment("sheetFormatPr");
    sheet.cols = fragment("cols");
    sheet.print_options = fragment("printOptions");
    sheet.page_margins = fragment("pageMargins");
    // The printer settings part it may refer to is not carried over.
    sheet.page_setup = fragment("pageSetup", [](const pugi::xml_node&, std::string_view attr) {
        return !attr.ends_with(":id");
    });
    sheet.header_footer = fragment("headerFooter");
    return sheet;
}

void read_book(const ooxml::PackageReader& package, std::vector<TemplateSheet>& sheets,
               std::string& styles, std::string& theme) {
    const auto root_rels = ooxml::Relationships::parse(package.read("_rels/.rels"), "_rels/.rels");
    const auto* office = root_rels.find_type(ooxml::relationship_type::office_document);
    if (office == nullptr) fail(error::file_cannot_open, "the package holds no workbook");
    const std::string workbook_part = resolve("", office->target);
    const std::string workbook_xml = package.read(workbook_part);
    const pugi::xml_document workbook =
        ooxml::detail::parse_part(workbook_xml, workbook_part, "workbook");
    const std::string workbook_rels_part = rels_of(workbook_part);
    const auto workbook_rels =
        ooxml::Relationships::parse(package.read(workbook_rels_part), workbook_rels_part);
    const std::string folder = folder_of(workbook_part);

    for (const pugi::xml_node s : child(workbook.document_element(), "sheets").children()) {
        if (local_name(s) != "sheet") continue;
        const auto* rel = workbook_rels.find_id(relationship_id(s));
        if (rel == nullptr || rel->type != ooxml::relationship_type::worksheet) continue;
        const std::string part = resolve(folder, rel->target);
        const std::string xml = package.read(part);
        const pugi::xml_document sheet = ooxml::detail::parse_part(xml, part, "worksheet");
        sheets.push_back(read_sheet(sheet.document_element(), s.attribute("name").value()));
    }
    if (sheets.empty()) fail(error::file_cannot_open, "the workbook has no worksheet");

    const auto* styles_rel = workbook_rels.find_type(ooxml::relationship_type::styles);
    if (styles_rel != nullptr) styles = package.read(resolve(folder, styles_rel->target));
    const auto* theme_rel = workbook_rels.find_type(
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/theme");
    if (theme_rel != nullptr) theme = package.read(resolve(folder, theme_rel->target));
}

}  // namespace

/* ------------------------------------------------------------ TemplateBook::read */
std::unique_ptr<TemplateBook> TemplateBook::read(const std::filesystem::path& file) {
    std::string bytes;
    try {
        bytes = base::load_file(file);
    } catch (const base::RunTimeError& e) {
        fail(error::file_cannot_open, file.string() + ": " + e.description());
    }
    return parse(std::move(bytes), file.string());
}

/* ------------------------------------------------------------ TemplateBook::parse */
std::unique_ptr<TemplateBook> TemplateBook::parse(std::string bytes, const std::string& name,
                                                  std::uint64_t part_limit) {
    auto book = std::make_unique<TemplateBook>();
    try {
        const ooxml::PackageReader package(std::move(bytes), name, part_limit);
        read_book(package, book->sheets_, book->styles_xml_, book->theme_xml_);
    } catch (const base::RunTimeError& e) {
        fail(error::file_cannot_open,
             name + ": " + e.description() +
                 (e.context().empty() ? std::string() : " (" + e.context() + ")"));
    }
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
