// The defined names of the output workbook: those of each sheet's template sheet (print titles,
// print area, the user's own), moved to the sheet, and the template's workbook-wide names that
// still resolve. What cannot be kept is left out and told.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ooxml/xml_writer.h"
#include "platform/xlsreport/sheet_model.h"

namespace xlsreport::detail {

// A defined name as the template holds it.
struct DefinedName {
    std::string name;
    std::string formula;  // the element's text: a reference or a formula, without "="
    // Its other attributes (hidden, comment, ...) without a namespace prefix, kept as they are.
    std::vector<std::pair<std::string, std::string>> attributes;
};

inline constexpr std::string_view print_area_name = "_xlnm.Print_Area";

// True when Excel takes `name` for a defined name: a letter, "_" or "\" first, then letters,
// digits, "_", ".", "\" or "?", at most 255 characters, and not a cell reference ("A1", "R",
// "C").
bool valid_defined_name(std::string_view name);

// One line the user reads about something of the template left out.
using Warn = std::function<void(const std::string& utf8_line)>;

class NameTable {
  public:
    // `template_name` names the template in the warnings.
    NameTable(std::vector<DefinedName> workbook_names, std::string template_name, Warn warn);

    // The names of the next sheet, made from the template sheet `from_sheet` whose names are
    // `names`. Its print area is kept only when everything on the sheet lies inside it: a print
    // area that cut the report's pages would print them wrong.
    void add_sheet(const SheetModel& sheet, std::string_view from_sheet,
                   const std::vector<DefinedName>& names);

    // <definedNames> of workbook.xml, the sheets named in the order they were added (nothing
    // when no name is left). Names whose references do not resolve among these sheets are left
    // out, each told once.
    void write(ooxml::XmlWriter& out, const std::vector<std::string>& sheet_names) const;

  private:
    struct SheetName {
        std::size_t sheet;
        std::string from_sheet;
        const DefinedName* name;
    };
    struct Dropped {
        std::string what;  // why it was left out, or the print area
        std::string first_sheet;
        std::size_t sheets = 0;
    };

    std::vector<DefinedName> workbook_names_;
    std::string template_name_;
    Warn warn_;
    std::vector<SheetName> sheet_names_;
    std::vector<std::pair<std::string, Dropped>> unfit_areas_;  // by the template sheet's name
    std::size_t sheets_ = 0;
};

}  // namespace xlsreport::detail
