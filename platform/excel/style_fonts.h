// The fonts of the styles part (xl/styles.xml) as the cells see them: a cell's style index
// leads through cellXfs to a font.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/excel/rich_text.h"

namespace excel::detail {

class StyleFonts {
  public:
    StyleFonts() = default;  // a workbook without styles: every cell has the default font
    explicit StyleFonts(pugi::xml_node style_sheet);

    // The font of style index `style` (the cell's "s"), as run properties; the first cell
    // format's font for an index the part lacks.
    const RunFont& cell_font(std::size_t style) const;

  private:
    std::vector<RunFont> fonts_;
    std::vector<std::size_t> font_of_format_;
    RunFont empty_;
};

}  // namespace excel::detail
