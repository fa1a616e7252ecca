#include "platform/excel/style_fonts.h"

#include "platform/excel/xml_part.h"

namespace excel::detail {

/* ---------------------------------------------------------------- StyleFonts */
StyleFonts::StyleFonts(pugi::xml_node style_sheet) {
    for (const pugi::xml_node font : child_named(style_sheet, "fonts").children()) {
        if (local_name(font) == "font") fonts_.push_back(RunFont::from_style_font(font));
    }
    for (const pugi::xml_node xf : child_named(style_sheet, "cellXfs").children()) {
        if (local_name(xf) == "xf") font_of_format_.push_back(xf.attribute("fontId").as_uint(0));
    }
}

/* ---------------------------------------------------------------- StyleFonts::cell_font */
const RunFont& StyleFonts::cell_font(std::size_t style) const {
    if (font_of_format_.empty()) return fonts_.empty() ? empty_ : fonts_.front();
    const std::size_t font = font_of_format_[style < font_of_format_.size() ? style : 0];
    return font < fonts_.size() ? fonts_[font] : empty_;
}

}  // namespace excel::detail
