// Rules Excel sets for sheet names.
#pragma once

#include <string_view>

namespace xlsreport::detail {

// 1 to 31 characters, none of : \ / ? * [ ], not beginning or ending with an apostrophe, and
// not "History", which Excel keeps for itself.
bool valid_sheet_name(std::string_view utf8) noexcept;

// Excel takes two names for the same sheet when they differ only in the case of letters.
bool same_sheet_name(std::string_view a, std::string_view b) noexcept;

}  // namespace xlsreport::detail
