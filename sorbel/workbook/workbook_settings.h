// The run variables the start-up leaves for the workbook stages: the hand-off choices, the job
// settings and the per-size settings derived from the character size.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

namespace workbook {

struct WorkbookSettings {
    std::filesystem::path job_dir;      // PRN_CHAR, PRN_PICT, META_FILE/, UDSTRING.DAT
    std::filesystem::path program_dir;  // the templates

    // From PRN_XLS.
    std::int16_t Start_Page = 1;  // Start_Page <= End_Page, both within 1..Page_Count
    std::int16_t End_Page = 1;
    std::filesystem::path Xls_File;  // the workbook to write, ".xlsx"
    std::int16_t Sheet_SW = 0;       // 0: all pages on one sheet
    std::int16_t Sheet_Page = 50;    // pages per sheet
    std::int16_t Cell_Wide = 0;      // non-zero: one sheet column holds a full-width character
    std::int16_t Line_Thin = 0;      // 1: thin ruled lines

    // From PRN_MODE, unscaled.
    std::int16_t Char_Size = 120;  // tenths of a point: 120, 110, 100 or 90
    std::string Font_Name;         // CP932
    double Margin_Left = 0;        // tenths of a millimetre
    double Margin_Top = 0;
    double Margin_Right = 0;
    double Margin_Bottom = 0;
    std::int16_t Page_Count = 0;
    std::int16_t Row_Ratio = 10;  // tenths
    std::int16_t Line_Pitch = 0;  // tenths of a point

    // Derived from the character size.
    double Paper_Width = 210;             // millimetres, A4 portrait
    std::filesystem::path Template_File;  // the program's folder / "TMP-12P.xlsx" ...
    double Row_Height = 12.75;            // points: the template's standard row height
    double Pict_Scale_H = 1;
    double Pict_Scale_W = 1;
    double Pict_Offset = 0;            // first position argument of the picture call
    std::int16_t Cell_Point = 11;      // points: the font size of table cells
    std::int16_t Up_Size = 9;          // points: superscript runs
    double Down_Size = 6;              // points: small runs
    std::int16_t Col_Count = 0;        // half-width columns of a text line
    double Row_Pitch = 12.75;          // points: the height of a title row
    bool Row_Ratio_SW = false;         // Row_Ratio is not 10
    double Matrix_Row_Height = 12.75;  // points: table rows, when Row_Ratio_SW
};

// The character size in tenths of a millimetre: the grid unit of every position.
inline double Char_Size_mm10(const WorkbookSettings& s) {
    return s.Char_Size * 25.4 / 72;
}

inline double Line_Pitch_mm10(const WorkbookSettings& s) {
    return s.Line_Pitch * 25.4 / 72;
}

// The two line codes of ruled tables: [0] for the ordinary digits 1 to 4, [1] for 5 and above.
inline std::array<std::int32_t, 2> Line_Style(const WorkbookSettings& s) {
    if (s.Line_Thin != 0) return {0x07000000, 0x01000000};
    return {0x01000000, 0x02000000};
}

}  // namespace workbook
