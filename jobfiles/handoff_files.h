// The hand-off files the options dialog leaves for the Excel converter (PRN_XLS) and for its
// own next start (PATH_INI). CP932 text, CR LF line ends, whole-file replacement.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace jobfiles {

// What the dialog writes into PRN_XLS.
struct PrnXlsChoices {
    std::int16_t Start_Page = 1;
    std::int16_t End_Page = 1;
    std::string workbook;             // line 2: the workbook path without extension, CP932
    double sheet_pages = 50;          // the number at the start of the sheet-size box, unrounded
    bool two_chars_per_cell = false;  // line 4: "1" when two half-width characters per cell
    bool thin_lines = false;          // line 5: "1" for thin ruled lines
};

// What the Excel converter reads back from PRN_XLS.
struct PrnXlsSettings {
    std::int16_t Start_Page = 0;
    std::int16_t End_Page = 0;
    std::string workbook;  // CP932, the whole of line 2
    std::int16_t Sheet_SW = 0;
    std::int16_t Sheet_Page = 0;
    std::int16_t Cell_Wide = 0;
    std::int16_t Line_Thin = 0;
};

// The sheet size the workbook build can take. It prepares sheet_grid_rows rows on a sheet for
// each page, and a sheet's rows are a 16-bit count, so a sheet holds at most max_sheet_pages
// pages. The dialog refuses a larger choice before the hand-off; sorbel checks the same.
inline constexpr int sheet_grid_rows = 65;
inline constexpr std::int16_t max_sheet_pages = INT16_MAX / sheet_grid_rows;

// Pages per sheet of the workbook build for PRN_XLS's line 3: Sheet_SW 0 puts all Page_Count
// pages on one sheet, with room for 10 more.
int sheet_size(std::int16_t Sheet_SW, std::int16_t Sheet_Page, std::int16_t Page_Count) noexcept;
// True when a sheet of `pages` pages can be built.
constexpr bool sheet_size_fits(int pages) noexcept {
    return pages >= 1 && pages <= max_sheet_pages;
}

// Exact bytes of the five lines, numbers in the printed-number form (" 3 ,  10 " style).
std::string format_prn_xls(const PrnXlsChoices& choices);
PrnXlsSettings parse_prn_xls(std::string_view bytes);

// PATH_INI: one quoted line holding the folder (CP932), or nothing.
std::string format_path_ini(std::string_view folder);
// The remembered folder; empty when the file is empty.
std::string parse_path_ini(std::string_view bytes);

// File wrappers. Writers replace the file atomically (temporary name, then rename) and throw
// base::RunTimeError on failure; readers throw file_not_found for a missing file.
void write_prn_xls(const std::filesystem::path& file, const PrnXlsChoices& choices);
PrnXlsSettings load_prn_xls(const std::filesystem::path& file);
void write_path_ini(const std::filesystem::path& file, std::string_view folder);
// A missing PATH_INI counts as an empty one.
std::string load_path_ini(const std::filesystem::path& file);

}  // namespace jobfiles
