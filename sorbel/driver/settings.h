// The run variables of the Excel converter: what PRN_XLS and PRN_MODE hold, and the per-size
// settings the character size selects.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "jobfiles/prn_mode.h"

namespace driver {

// PRN_XLS as the run uses it.
struct XlsChoices {
    std::int16_t Start_Page = 0;
    std::int16_t End_Page = 0;
    std::filesystem::path Xls_File;  // the workbook, ".xlsx"
    std::int16_t Sheet_SW = 0;
    std::int16_t Sheet_Page = 0;
    std::int16_t Cell_Wide = 0;
    std::int16_t Line_Thin = 0;
};

// One row of the per-size table.
struct SizeRow {
    std::int16_t Char_Size;
    const char* template_narrow;  // Cell_Wide 0
    const char* template_wide;    // Cell_Wide non-zero
    double Row_Height;
    double Pict_Scale_H;
    double Pict_Scale_W;
    double Pict_Offset;
    std::int16_t Cell_Point;
    std::int16_t Up_Size;
    double Down_Size;
    int divisor;  // of the printable width, for Col_Count
};

// The row for a character size (tenths of a point), or nothing for a size the templates lack.
const SizeRow* size_row(std::int16_t Char_Size) noexcept;

// PRN_MODE as read, and what the run derives from it.
struct ModeSettings {
    jobfiles::SorbelJobSettings job;
    double Paper_Width = 210;  // millimetres: the page is taken as A4 portrait
    std::filesystem::path Template_File;
    double Row_Height = 0;
    double Pict_Scale_H = 0;
    double Pict_Scale_W = 0;
    double Pict_Offset = 0;
    std::int16_t Cell_Point = 0;
    std::int16_t Up_Size = 0;
    double Down_Size = 0;
    std::int16_t Col_Count = 0;
    double Row_Pitch = 0;
    bool Row_Ratio_SW = false;
    double Matrix_Row_Height = 0;
};

// Everything the stages are given.
struct SorbelSettings {
    std::filesystem::path job_dir;
    std::filesystem::path program_dir;
    XlsChoices xls;
    ModeSettings mode;
};

// The workbook path of PRN_XLS's name line (CP932, "/" between folders) with ".xlsx"; a
// relative name lies in the job folder. RunTimeError (bad file name) for a name that is empty,
// ends in a folder separator, or holds bytes that are not CP932 text.
std::filesystem::path workbook_path(std::string_view cp932_name,
                                    const std::filesystem::path& job_dir);

// Reads PRN_XLS from the job folder. RunTimeError on any failure.
XlsChoices Read_PRNXLS(const std::filesystem::path& job_dir);

// The half-width columns of a text line: the whole points of the printable width (paper width
// less the left margin) per character, twice, less one.
std::int16_t Col_Count(double Paper_Width, double Margin_Left, int divisor);

// The height of a title row: the row height when the pitch equals the character size, else
// the pitch in points raised to the next multiple of 0.75 strictly above it.
double Row_Pitch(std::int16_t Line_Pitch, std::int16_t Char_Size, double Row_Height);

// The per-size settings of a job read from PRN_MODE; nothing when the size is not supported.
// RunTimeError for an overflow of a derived value.
std::optional<ModeSettings> derive_mode_settings(const jobfiles::SorbelJobSettings& job,
                                                 std::int16_t Cell_Wide,
                                                 const std::filesystem::path& program_dir);

// The message for a character size the converter does not support (UTF-8).
std::string unsupported_size_text(std::int16_t Char_Size);

}  // namespace driver
