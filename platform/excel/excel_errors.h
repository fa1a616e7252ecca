// The errors the stand-in raises, with the numbers and texts Excel's automation gives them, so
// that a caller shows the user what Excel would have shown.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string_view>

namespace excel::detail {

inline constexpr int application_error = 1004;

// The workbook file does not exist.
[[noreturn]] void workbook_not_found(const std::filesystem::path& file);
// The file or one of its parts is not what a workbook holds.
[[noreturn]] void not_a_workbook(const std::filesystem::path& file, std::string_view context);
// A sheet index or name that the workbook lacks.
[[noreturn]] void no_such_sheet(std::string_view which);
// A cell or range address outside the sheet, or a member a sheet of its kind does not have.
[[noreturn]] void bad_reference(std::string_view context);
// Select on a hidden sheet, or on a range of a sheet that is not the active one.
[[noreturn]] void select_failed(std::string_view object, std::string_view context);
// SaveAs over another file while alerts are on: Excel would ask, and nobody is there to answer.
[[noreturn]] void file_exists(const std::filesystem::path& file);
// A call on a workbook that has been closed.
[[noreturn]] void workbook_closed();

}  // namespace excel::detail
