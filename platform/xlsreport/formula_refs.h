// The sheet references inside the formula of a defined name, as a template holds it: found,
// moved to another sheet, and read as print areas. Only what names need is understood; the
// rest of a formula passes through as written.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/xlsreport/sheet_model.h"

namespace xlsreport::detail {

// Why a formula cannot go into the workbook as it stands ("" when it can).
struct MovedFormula {
    std::string formula;
    std::string problem;
};

// False when the formula does not parse: an open quote or string, brackets that do not pair,
// a "!" that follows no sheet, or nothing at all.
bool formula_parses(std::string_view formula);

// The formula with every reference to the sheet `from` ("" for none) made a reference to
// `to`, quoted as Excel quotes it. A reference to any other sheet stays when `exists` knows
// that sheet; a reference to another workbook, to a range of sheets, to another sheet or
// #REF! does not resolve, and `problem` says which.
MovedFormula move_formula(std::string_view formula, std::string_view from, std::string_view to,
                          const std::function<bool(std::string_view sheet)>& exists);

// The areas of a reference list as a print area is written ("'1'!$A$1:$H$50,'1'!$1:$2"):
// whole rows and columns reach the sheet's edges. nullopt when the formula is anything else.
std::optional<std::vector<CellRange>> formula_areas(std::string_view formula);

// The name of a sheet as a formula writes it: 'Page 1～50'.
std::string quoted_sheet_name(std::string_view sheet);

}  // namespace xlsreport::detail
