// xl/styles.xml of the output: the template's styles as they are, plus one cell format (with
// its font and border) for each distinct look the cells were given.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <utility>

#include "platform/xlsreport/cell_format.h"

namespace xlsreport::detail {

class StyleTable {
  public:
    // The template's styles part ("" when it has none: a plain one stands in). Throws
    // ReportFailure (file_cannot_open) when it is not a styles part we can extend.
    explicit StyleTable(std::string_view template_styles);
    StyleTable(const StyleTable&) = delete;
    StyleTable& operator=(const StyleTable&) = delete;

    // Index of the cell format (the xf) for `format`; 0, the template's default, when the
    // format changes nothing.
    std::uint32_t xf(const CellFormat& format);

    std::string xml() const;

  private:
    std::uint32_t font(const CellFormat& format);
    std::uint32_t border(const std::array<std::uint8_t, side_count>& lines);

    std::string source_;
    pugi::xml_document document_;
    pugi::xml_node base_xf_;
    pugi::xml_node base_font_;
    std::uint32_t font_count_ = 0, border_count_ = 0, xf_count_ = 0;
    std::map<CellFormat, std::uint32_t> xfs_;
    std::map<std::pair<std::string, double>, std::uint32_t> fonts_;
    std::map<std::array<std::uint8_t, side_count>, std::uint32_t> borders_;
    std::string new_fonts_, new_borders_, new_xfs_;
};

}  // namespace xlsreport::detail
