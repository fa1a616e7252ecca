#include "platform/xlsreport/styles_part.h"

#include <algorithm>

#include "platform/ooxml/copy_xml.h"
#include "platform/ooxml/part_xml.h"
#include "platform/ooxml/xml_writer.h"
#include "platform/xlsreport/report_failure.h"
#include "platform/xlsreport/xls_report.h"

namespace xlsreport::detail {

namespace {

using ooxml::copy_element;
using ooxml::detail::local_name;

constexpr std::string_view plain_styles =
    R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
    R"(<fonts count="1"><font><sz val="11"/><name val="Calibri"/><family val="2"/></font></fonts>)"
    R"(<fills count="2"><fill><patternFill patternType="none"/></fill>)"
    R"(<fill><patternFill patternType="gray125"/></fill></fills>)"
    R"(<borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>)"
    R"(<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>)"
    R"(<cellXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/></cellXfs>)"
    R"(<cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles>)"
    R"(</styleSheet>)";

pugi::xml_node child(const pugi::xml_node& parent, std::string_view name) {
    for (const pugi::xml_node c : parent.children()) {
        if (local_name(c) == name) return c;
    }
    return {};
}

pugi::xml_node nth_child(const pugi::xml_node& parent, std::string_view name, std::size_t n) {
    for (const pugi::xml_node c : parent.children()) {
        if (local_name(c) == name && n-- == 0) return c;
    }
    return {};
}

std::uint32_t count_children(const pugi::xml_node& parent, std::string_view name) {
    std::uint32_t n = 0;
    for (const pugi::xml_node c : parent.children()) n += local_name(c) == name ? 1u : 0u;
    return n;
}

const char* horizontal_name(Horizontal h) {
    switch (h) {
        case Horizontal::left:
            return "left";
        case Horizontal::centre:
            return "center";
        case Horizontal::right:
            return "right";
        default:
            return nullptr;
    }
}

const char* vertical_name(Vertical v) {
    switch (v) {
        case Vertical::top:
            return "top";
        case Vertical::middle:
            return "center";
        case Vertical::bottom:
            return "bottom";
        default:
            return nullptr;
    }
}

void line_element(ooxml::XmlWriter& out, const char* side, std::uint8_t style) {
    out.start(side);
    if (style != 0) out.attribute("style", line_style_name(style));
    out.end();
}

}  // namespace

/* ------------------------------------------------------------ StyleTable */
StyleTable::StyleTable(std::string_view template_styles)
    : source_(template_styles.empty() ? plain_styles : template_styles) {
    document_ = ooxml::detail::parse_part(source_, "xl/styles.xml", "styleSheet");
    const pugi::xml_node root = document_.document_element();
    const std::string_view root_name = root.name();
    const pugi::xml_node fonts = child(root, "fonts");
    const pugi::xml_node xfs = child(root, "cellXfs");
    // Formats of our own are written without a prefix, so the styles must use none either.
    if (root_name.find(':') != std::string_view::npos || !fonts || !child(root, "borders") ||
        !xfs || !child(xfs, "xf"))
        fail(error::file_cannot_open, "xl/styles.xml：読み取れないスタイル部品です");
    base_xf_ = child(xfs, "xf");
    base_font_ = nth_child(fonts, "font", base_xf_.attribute("fontId").as_uint());
    if (!base_font_) fail(error::file_cannot_open, "xl/styles.xml：既定のフォントがありません");
    font_count_ = count_children(fonts, "font");
    border_count_ = count_children(child(root, "borders"), "border");
    xf_count_ = count_children(xfs, "xf");
}

/* ------------------------------------------------------------ StyleTable::font */
std::uint32_t StyleTable::font(const CellFormat& format) {
    if (format.font_name.empty() && format.font_points == 0)
        return base_xf_.attribute("fontId").as_uint();
    const std::string name = format.font_name.empty()
                                 ? child(base_font_, "name").attribute("val").value()
                                 : format.font_name;
    const double points = format.font_points != 0
                              ? format.font_points
                              : child(base_font_, "sz").attribute("val").as_double(11);
    const auto [it, added] = fonts_.emplace(std::pair{name, points}, font_count_);
    if (!added) return it->second;
    ++font_count_;

    // The template's default font with another name or size; a theme font scheme would put
    // the theme's font back in place of the name.
    ooxml::XmlWriter out;
    out.start("font");
    static constexpr std::string_view before_size[] = {
        "b", "i", "strike", "condense", "extend", "outline", "shadow", "u", "vertAlign"};
    for (const pugi::xml_node c : base_font_.children()) {
        if (std::ranges::find(before_size, local_name(c)) != std::end(before_size))
            copy_element(out, c);
    }
    out.start("sz");
    out.attribute("val", points);
    out.end();
    if (const pugi::xml_node color = child(base_font_, "color")) copy_element(out, color);
    out.empty("name", {{"val", name}});
    const pugi::xml_node family = child(base_font_, "family");
    if (family && format.font_name.empty()) copy_element(out, family);
    if (const pugi::xml_node charset = child(base_font_, "charset")) copy_element(out, charset);
    out.end();
    new_fonts_ += out.take();
    return it->second;
}

/* ------------------------------------------------------------ StyleTable::border */
std::uint32_t StyleTable::border(const std::array<std::uint8_t, side_count>& lines) {
    const auto [it, added] = borders_.emplace(lines, border_count_);
    if (!added) return it->second;
    ++border_count_;
    const auto line = [&](Side side) { return lines[static_cast<std::size_t>(side)]; };
    // Excel draws both diagonals in one style; a cell that was given two takes the one that
    // runs down from the top-left corner.
    const std::uint8_t diagonal =
        line(Side::left_up) != 0 ? line(Side::left_up) : line(Side::right_up);
    ooxml::XmlWriter out;
    out.start("border");
    if (line(Side::right_up) != 0) out.attribute("diagonalUp", "1");
    if (line(Side::left_up) != 0) out.attribute("diagonalDown", "1");
    line_element(out, "left", line(Side::left));
    line_element(out, "right", line(Side::right));
    line_element(out, "top", line(Side::top));
    line_element(out, "bottom", line(Side::bottom));
    line_element(out, "diagonal", diagonal);
    out.end();
    new_borders_ += out.take();
    return it->second;
}

/* ------------------------------------------------------------ StyleTable::xf */
std::uint32_t StyleTable::xf(const CellFormat& format) {
    if (format.is_default()) return 0;
    const auto found = xfs_.find(format);
    if (found != xfs_.end()) return found->second;

    const bool lined = std::ranges::any_of(format.lines, [](std::uint8_t l) { return l != 0; });
    const std::uint32_t font_id = font(format);
    const std::uint32_t border_id =
        lined ? border(format.lines) : base_xf_.attribute("borderId").as_uint();
    const char* horizontal = horizontal_name(format.horizontal);
    const char* vertical = vertical_name(format.vertical);

    ooxml::XmlWriter out;
    out.start("xf");
    out.attribute("numFmtId", base_xf_.attribute("numFmtId").as_uint());
    out.attribute("fontId", font_id);
    out.attribute("fillId", base_xf_.attribute("fillId").as_uint());
    out.attribute("borderId", border_id);
    out.attribute("xfId", base_xf_.attribute("xfId").as_uint());
    if (font_id != base_xf_.attribute("fontId").as_uint()) out.attribute("applyFont", "1");
    if (lined) out.attribute("applyBorder", "1");
    if (format.quote_prefix) out.attribute("quotePrefix", "1");
    const pugi::xml_node alignment = child(base_xf_, "alignment");
    if (horizontal != nullptr || vertical != nullptr || alignment) {
        if (horizontal != nullptr || vertical != nullptr) out.attribute("applyAlignment", "1");
        out.start("alignment");
        for (const pugi::xml_attribute a : alignment.attributes()) {
            const std::string_view n = a.name();
            if ((n == "horizontal" && horizontal) || (n == "vertical" && vertical)) continue;
            out.attribute(n, std::string_view(a.value()));
        }
        if (horizontal != nullptr) out.attribute("horizontal", horizontal);
        if (vertical != nullptr) out.attribute("vertical", vertical);
        out.end();
    }
    if (const pugi::xml_node protection = child(base_xf_, "protection"))
        copy_element(out, protection);
    out.end();
    new_xfs_ += out.take();
    xfs_.emplace(format, xf_count_);
    return xf_count_++;
}

/* ------------------------------------------------------------ StyleTable::xml */
std::string StyleTable::xml() const {
    ooxml::XmlWriter out;
    out.declaration();
    const pugi::xml_node root = document_.document_element();
    out.start(root.name());
    for (const pugi::xml_attribute a : root.attributes())
        out.attribute(a.name(), std::string_view(a.value()));
    for (const pugi::xml_node c : root.children()) {
        if (c.type() != pugi::node_element) continue;
        const std::string_view name = local_name(c);
        const std::string* added = name == "fonts"     ? &new_fonts_
                                   : name == "borders" ? &new_borders_
                                   : name == "cellXfs" ? &new_xfs_
                                                       : nullptr;
        if (added == nullptr) {
            copy_element(out, c);
            continue;
        }
        out.start(c.name());
        const std::uint32_t count = name == "fonts"     ? font_count_
                                    : name == "borders" ? border_count_
                                                        : xf_count_;
        out.attribute("count", count);
        for (const pugi::xml_attribute a : c.attributes()) {
            if (std::string_view(a.name()) != "count")
                out.attribute(a.name(), std::string_view(a.value()));
        }
        for (const pugi::xml_node e : c.children()) {
            if (e.type() == pugi::node_element) copy_element(out, e);
        }
        if (!added->empty()) out.fragment(*added);
        out.end();
    }
    out.end();
    out.finish();
    return out.take();
}

}  // namespace xlsreport::detail
