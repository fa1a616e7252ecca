#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/ooxml/xml_writer.h"
#include "platform/xlsreport/sheet_parts.h"

namespace xlsreport::detail {

namespace {

constexpr double mm_per_inch = 25.4;

void write_cell(ooxml::XmlWriter& out, std::int32_t col, std::int32_t row, const Cell& cell,
                StyleTable& styles) {
    out.start("c");
    out.attribute("r", cell_reference(col, row));
    const std::uint32_t xf = styles.xf(cell.format);
    if (xf != 0) out.attribute("s", xf);
    if (cell.has_text) {
        // Inline text keeps each sheet's part complete in itself, so no table of all the
        // workbook's strings has to be held until the save.
        out.attribute("t", "inlineStr");
        out.start("is");
        out.start("t");
        out.attribute("xml:space", "preserve");
        out.text(cell.text);
        out.end();
        out.end();
    }
    out.end();
}

void write_sheet_data(ooxml::XmlWriter& out, const SheetModel& sheet, StyleTable& styles) {
    out.start("sheetData");
    for (const auto& [r, row] : sheet.rows()) {
        if (row.height == 0 && row.cells.empty()) continue;
        out.start("row");
        out.attribute("r", static_cast<std::int64_t>(r) + 1);
        if (row.height != 0) {
            out.attribute("ht", row.height);
            out.attribute("customHeight", "1");
        }
        for (const auto& [c, cell] : row.cells) write_cell(out, c, r, cell, styles);
        out.end();
    }
    out.end();
}

std::string dimension(const SheetModel& sheet) {
    std::int32_t col1 = std::numeric_limits<std::int32_t>::max(), col2 = -1;
    std::int32_t row1 = -1, row2 = -1;
    for (const auto& [r, row] : sheet.rows()) {
        if (row.cells.empty()) continue;
        if (row1 < 0) row1 = r;
        row2 = r;
        col1 = std::min(col1, row.cells.begin()->first);
        col2 = std::max(col2, row.cells.rbegin()->first);
    }
    if (row1 < 0) return "A1";
    const std::string first = cell_reference(col1, row1);
    return col1 == col2 && row1 == row2 ? first : first + ":" + cell_reference(col2, row2);
}

void write_breaks(ooxml::XmlWriter& out, const char* name, const std::set<std::int32_t>& at,
                  std::int32_t max) {
    if (at.empty()) return;
    out.start(name);
    out.attribute("count", at.size());
    out.attribute("manualBreakCount", at.size());
    for (const std::int32_t b : at) {
        out.start("brk");
        out.attribute("id", b);
        out.attribute("max", max);
        out.attribute("man", "1");
        out.end();
    }
    out.end();
}

}  // namespace

/* ------------------------------------------------------------ cell_reference */
std::string cell_reference(std::int32_t col, std::int32_t row) {
    std::string letters;
    for (std::int32_t c = col + 1; c > 0; c = (c - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    return letters + std::to_string(static_cast<std::int64_t>(row) + 1);
}

/* ------------------------------------------------------------ worksheet_xml */
std::string worksheet_xml(const SheetModel& sheet, const TemplateSheet& from, StyleTable& styles,
                          std::string_view drawing_id, std::string_view hf_drawing_id) {
    ooxml::XmlWriter out;
    out.declaration();
    out.start("worksheet");
    out.attribute("xmlns", "http://schemas.openxmlformats.org/spreadsheetml/2006/main");
    out.attribute("xmlns:r", "http://schemas.openxmlformats.org/officeDocument/2006/relationships");
    for (const auto& [name, value] : from.root_attributes) out.attribute(name, value);
    out.fragment(from.sheet_pr);
    out.empty("dimension", {{"ref", dimension(sheet)}});
    out.fragment(from.sheet_views);
    out.fragment(from.sheet_format_pr);
    out.fragment(from.cols);
    write_sheet_data(out, sheet, styles);
    if (!sheet.merges().empty()) {
        out.start("mergeCells");
        out.attribute("count", sheet.merges().size());
        for (const CellRange& m : sheet.merges()) {
            out.empty("mergeCell", {{"ref", cell_reference(m.col1, m.row1) + ":" +
                                                cell_reference(m.col2, m.row2)}});
        }
        out.end();
    }
    out.fragment(from.print_options);
    if (const SheetModel::Margins* m = sheet.margins()) {
        out.start("pageMargins");
        out.attribute("left", m->left / mm_per_inch);
        out.attribute("right", m->right / mm_per_inch);
        out.attribute("top", m->top / mm_per_inch);
        out.attribute("bottom", m->bottom / mm_per_inch);
        out.attribute("header", m->header / mm_per_inch);
        out.attribute("footer", m->footer / mm_per_inch);
        out.end();
    } else {
        out.fragment(from.page_margins);
    }
    out.fragment(from.page_setup);
    out.fragment(from.header_footer);
    write_breaks(out, "rowBreaks", sheet.row_breaks(), max_col);
    write_breaks(out, "colBreaks", sheet.col_breaks(), max_row);
    if (!drawing_id.empty()) out.empty("drawing", {{"r:id", drawing_id}});
    if (!hf_drawing_id.empty()) out.empty("legacyDrawingHF", {{"r:id", hf_drawing_id}});
    out.end();
    out.finish();
    return out.take();
}

}  // namespace xlsreport::detail
