#include "platform/xlsreport/template_book.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <pugixml.hpp>

#include "base/run_time_error.h"
#include "base/whole_file.h"
#include "platform/ooxml/copy_xml.h"
#include "platform/ooxml/package_reader.h"
#include "platform/ooxml/part_xml.h"
#include "platform/ooxml/relationships.h"
#include "platform/xlsreport/formula_refs.h"
#include "platform/xlsreport/report_failure.h"
#include "platform/xlsreport/sheet_names.h"
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

// The part a relationship of `source` points to; nullptr when there is no such relationship
// of that type, or its target is outside the package.
std::optional<std::string> related_part(const ooxml::PackageReader& package,
                                        std::string_view source, std::string_view id,
                                        std::string_view type, std::string& why) {
    const std::string rels_part = rels_of(source);
    if (!package.contains(rels_part)) {
        why = rels_part + " がありません";
        return std::nullopt;
    }
    const auto rels = ooxml::Relationships::parse(package.read(rels_part), rels_part);
    const auto* rel = rels.find_id(id);
    if (rel == nullptr || rel->type != type || rel->external) {
        why = rels_part + " に " + std::string(id) + " がありません";
        return std::nullopt;
    }
    return resolve(folder_of(source), rel->target);
}

// The header and footer pictures of a worksheet part; nothing, with the reason in `why`, when
// the drawing or a picture it shows is missing, damaged or of a kind no workbook carries.
std::optional<HeaderFooterDrawing> read_header_footer_drawing(const ooxml::PackageReader& package,
                                                              const std::string& sheet_part,
                                                              std::string_view id,
                                                              std::string& why) {
    const auto part =
        related_part(package, sheet_part, id, ooxml::relationship_type::vml_drawing, why);
    if (!part) return std::nullopt;
    if (!package.contains(*part)) {
        why = *part + " がありません";
        return std::nullopt;
    }
    auto vml = std::make_shared<pugi::xml_document>();
    const std::string xml = package.read(*part);
    const pugi::xml_parse_result parsed =
        vml->load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed || !vml->document_element()) {
        why = *part + " の " + std::to_string(parsed.offset) +
              " バイト目が XML として正しくありません";
        return std::nullopt;
    }
    if (vml_shape_count(*vml) > vml_shapes_per_block) {
        why = *part + " の図形が多すぎます";
        return std::nullopt;
    }
    HeaderFooterDrawing drawing;
    for (const std::string& image_id : vml_relationship_ids(*vml)) {
        const auto image =
            related_part(package, *part, image_id, ooxml::relationship_type::image, why);
        if (!image) return std::nullopt;
        if (!package.contains(*image)) {
            why = "図 " + *image + " がありません";
            return std::nullopt;
        }
        std::string bytes = package.read(*image);
        const auto type = ooxml::media_type_of(bytes);
        if (!type) {
            why = "図 " + *image + " は PNG、JPEG、EMF のいずれでもありません";
            return std::nullopt;
        }
        drawing.images.push_back({image_id, *type, std::move(bytes)});
    }
    drawing.vml = std::move(vml);
    return drawing;
}

}  // namespace

// Reads the package into the book; what cannot be carried becomes a warning.
struct TemplateBook::Reading {
    const ooxml::PackageReader& package;
    TemplateBook& book;

    void warn(std::vector<std::string>& into, const std::string& what) const {
        into.push_back("テンプレート " + book.file_name_ + " の" + what + "。");
    }

    void read() {
        const auto root_rels =
            ooxml::Relationships::parse(package.read("_rels/.rels"), "_rels/.rels");
        const auto* office = root_rels.find_type(ooxml::relationship_type::office_document);
        if (office == nullptr) fail(error::file_cannot_open, "ブックがありません");
        const std::string workbook_part = resolve("", office->target);
        const std::string workbook_xml = package.read(workbook_part);
        const pugi::xml_document workbook =
            ooxml::detail::parse_part(workbook_xml, workbook_part, "workbook");
        const std::string workbook_rels_part = rels_of(workbook_part);
        const auto workbook_rels =
            ooxml::Relationships::parse(package.read(workbook_rels_part), workbook_rels_part);
        const std::string folder = folder_of(workbook_part);

        // localSheetId counts every sheet of the workbook, chart sheets too.
        std::vector<std::optional<std::size_t>> by_position;
        for (const pugi::xml_node s : child(workbook.document_element(), "sheets").children()) {
            if (local_name(s) != "sheet") continue;
            by_position.emplace_back();
            const auto* rel = workbook_rels.find_id(relationship_id(s));
            if (rel == nullptr || rel->type != ooxml::relationship_type::worksheet) continue;
            const std::string part = resolve(folder, rel->target);
            const std::string xml = package.read(part);
            const pugi::xml_document sheet = ooxml::detail::parse_part(xml, part, "worksheet");
            book.sheets_.push_back(
                read_sheet(sheet.document_element(), s.attribute("name").value()));
            read_header_footer(sheet.document_element(), part, book.sheets_.back());
            by_position.back() = book.sheets_.size() - 1;
        }
        if (book.sheets_.empty()) fail(error::file_cannot_open, "ワークシートがありません");
        read_names(child(workbook.document_element(), "definedNames"), by_position);

        const auto* styles_rel = workbook_rels.find_type(ooxml::relationship_type::styles);
        if (styles_rel != nullptr)
            book.styles_xml_ = package.read(resolve(folder, styles_rel->target));
        const auto* theme_rel = workbook_rels.find_type(
            "http://schemas.openxmlformats.org/officeDocument/2006/relationships/theme");
        if (theme_rel != nullptr)
            book.theme_xml_ = package.read(resolve(folder, theme_rel->target));
        const auto* core_rel = root_rels.find_type(ooxml::relationship_type::core_properties);
        if (core_rel != nullptr) read_properties(resolve("", core_rel->target));
    }

    void read_header_footer(const pugi::xml_node& worksheet, const std::string& part,
                            TemplateSheet& sheet) const {
        const pugi::xml_node hf = child(worksheet, "legacyDrawingHF");
        if (!hf) return;
        std::string why;
        try {
            sheet.header_footer_drawing =
                read_header_footer_drawing(package, part, relationship_id(hf), why);
        } catch (const base::RunTimeError& e) {
            why = e.context();
        }
        if (!sheet.header_footer_drawing)
            warn(sheet.warnings,
                 "シート「" + sheet.name + "」のヘッダー・フッターの図を省きました: " + why);
    }

    void read_names(const pugi::xml_node& defined_names,
                    const std::vector<std::optional<std::size_t>>& by_position) {
        for (const pugi::xml_node n : defined_names.children()) {
            if (local_name(n) != "definedName") continue;
            DefinedName name{n.attribute("name").value(), n.text().get(), {}};
            for (const pugi::xml_attribute a : n.attributes()) {
                const std::string_view attr = a.name();
                if (attr != "name" && attr != "localSheetId" && attr.find(':') == attr.npos)
                    name.attributes.emplace_back(attr, a.value());
            }
            const pugi::xml_attribute scope = n.attribute("localSheetId");
            const std::size_t position = scope.as_ullong(by_position.size());
            TemplateSheet* sheet = nullptr;
            std::vector<std::string>* warnings = &book.warnings_;
            if (scope) {
                if (position >= by_position.size()) {
                    warn(book.warnings_, "名前 " + name.name + " を省きました: シート番号 " +
                                             scope.value() + " のシートがありません");
                    continue;
                }
                // The names of a chart sheet go with it.
                if (!by_position[position]) continue;
                sheet = &book.sheets_[*by_position[position]];
                warnings = &sheet->warnings;
            }
            std::vector<DefinedName>& names = sheet != nullptr ? sheet->names : book.names_;
            const std::string where =
                sheet != nullptr ? "シート「" + sheet->name + "」の名前 " : "名前 ";
            if (!valid_defined_name(name.name)) {
                warn(*warnings, where + name.name + " を省きました: 名前として正しくありません");
            } else if (!formula_parses(name.formula)) {
                warn(*warnings, where + name.name + " を省きました: 参照 " + name.formula +
                                    " を解釈できません");
            } else if (std::any_of(names.begin(), names.end(), [&](const DefinedName& other) {
                           return same_sheet_name(other.name, name.name);
                       })) {
                warn(*warnings, where + name.name + " の二つ目を省きました");
            } else {
                names.push_back(std::move(name));
            }
        }
    }

    void read_properties(const std::string& part) {
        try {
            if (!package.contains(part)) {
                warn(book.warnings_, "文書のプロパティを省きました: " + part + " がありません");
                return;
            }
            book.properties_ = ooxml::parse_core_properties(package.read(part), part);
        } catch (const base::RunTimeError& e) {
            warn(book.warnings_, "文書のプロパティを省きました: " + e.context());
        }
    }
};

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
        book->file_name_ = std::filesystem::path(name).filename().string();
        Reading{package, *book}.read();
    } catch (const base::RunTimeError& e) {
        fail(error::file_cannot_open,
             name + ": " + e.description() +
                 (e.context().empty() ? std::string() : " (" + e.context() + ")"));
    } catch (const ReportFailure& failure) {
        // A workbook without a worksheet: the user must learn which template it is.
        fail(failure.number, name + ": " + failure.what);
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
