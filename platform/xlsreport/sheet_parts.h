// The parts of one finished sheet: the worksheet and, when pictures lie on it, its drawing.
#pragma once

#include <string>
#include <string_view>

#include "platform/xlsreport/picture_media.h"
#include "platform/xlsreport/sheet_model.h"
#include "platform/xlsreport/styles_part.h"
#include "platform/xlsreport/template_book.h"

namespace xlsreport::detail {

// Excel's name of a cell: column letters and row number ("A1", "XFD1048576").
std::string cell_reference(std::int32_t col, std::int32_t row);

// xl/worksheets/sheetN.xml. The template sheet's settings are repeated; cell formats are
// registered with `styles`. `drawing_id` names the drawing relationship, `hf_drawing_id` that
// of the header and footer pictures ("" without one).
std::string worksheet_xml(const SheetModel& sheet, const TemplateSheet& from, StyleTable& styles,
                          std::string_view drawing_id, std::string_view hf_drawing_id);

// xl/drawings/drawingN.xml and its relationships: one picture per placed picture, each
// referring to its media part "../media/image<media + 1>.<extension>".
struct DrawingParts {
    std::string drawing;
    std::string relationships;
};
DrawingParts drawing_parts(const SheetModel& sheet, const MediaStore& media);

}  // namespace xlsreport::detail
