#include "sorbel/driver/settings.h"

#include <array>
#include <cmath>

#include "base/cp932.h"
#include "base/run_time_error.h"
#include "jobfiles/handoff_files.h"
#include "jobfiles/numeric.h"

namespace driver {

namespace {

// The templates are the .xlsx workbooks generated beside the program.
constexpr std::array<SizeRow, 4> size_table{{
    {120, "TMP-12P.xlsx", "TMP-12PW.xlsx", 12.75, 1.0625, 1, 0.7, 11, 9, 6, 12},
    {110, "TMP-11P.xlsx", "TMP-11PW.xlsx", 12, 1.090909, 1.090909, 0.5, 10, 8, 5.5, 11},
    {100, "TMP-10P.xlsx", "TMP-10PW.xlsx", 10.5, 1.05, 1.05, 0, 9, 8, 5, 10},
    {90, "TMP-09P.xlsx", "TMP-09PW.xlsx", 9.75, 1.083333, 1, 0, 8, 6, 4.5, 9},
}};

base::RunTimeError bad_name(std::string_view cp932_name) {
    return base::RunTimeError(base::ErrorNumber::bad_file_name_or_number,
                              "PRN_XLS: " + cp932::to_utf8(cp932_name));
}

}  // namespace

/* ---------------------------------------------------------------- size_row */
const SizeRow* size_row(std::int16_t Char_Size) noexcept {
    for (const auto& row : size_table) {
        if (row.Char_Size == Char_Size) return &row;
    }
    return nullptr;
}

/* ---------------------------------------------------------------- workbook_path */
std::filesystem::path workbook_path(std::string_view cp932_name,
                                    const std::filesystem::path& job_dir) {
    if (cp932_name.empty() || cp932_name.back() == '/') throw bad_name(cp932_name);
    const std::string name = cp932::to_utf8(cp932_name);
    // A byte that is no CP932 character would reach the file system as a different name.
    if (name.find("\xEF\xBF\xBD") != std::string::npos) throw bad_name(cp932_name);
    for (const char c : name) {
        if ((c >= 0 && c < 0x20) || c == 0x7F) throw bad_name(cp932_name);
    }
    std::filesystem::path file(name + ".xlsx");
    return file.is_absolute() ? file : job_dir / file;
}

/* ---------------------------------------------------------------- Read_PRNXLS */
XlsChoices Read_PRNXLS(const std::filesystem::path& job_dir) {
    const auto read = jobfiles::load_prn_xls(job_dir / "PRN_XLS");
    return {.Start_Page = read.Start_Page,
            .End_Page = read.End_Page,
            .Xls_File = workbook_path(read.workbook, job_dir),
            .Sheet_SW = read.Sheet_SW,
            .Sheet_Page = read.Sheet_Page,
            .Cell_Wide = read.Cell_Wide,
            .Line_Thin = read.Line_Thin};
}

/* ---------------------------------------------------------------- Col_Count */
std::int16_t Col_Count(double Paper_Width, double Margin_Left, int divisor) {
    const double points = (Paper_Width - Margin_Left / 10) / 25.4 * 72;
    return jobfiles::to_int16(jobfiles::Int(points / divisor) * 2 - 1);
}

/* ---------------------------------------------------------------- Row_Pitch */
double Row_Pitch(std::int16_t Line_Pitch, std::int16_t Char_Size, double Row_Height) {
    if (Line_Pitch == Char_Size) return Row_Height;
    return (jobfiles::Int(Line_Pitch / 10.0 / 0.75) + 1) * 0.75;
}

/* ---------------------------------------------------------------- derive_mode_settings */
std::optional<ModeSettings> derive_mode_settings(const jobfiles::SorbelJobSettings& job,
                                                 std::int16_t Cell_Wide,
                                                 const std::filesystem::path& program_dir) {
    const SizeRow* row = size_row(job.Char_Size);
    if (!row) return std::nullopt;
    ModeSettings m;
    m.job = job;
    m.Template_File = program_dir / (Cell_Wide == 0 ? row->template_narrow : row->template_wide);
    m.Row_Height = row->Row_Height;
    m.Pict_Scale_H = row->Pict_Scale_H;
    m.Pict_Scale_W = row->Pict_Scale_W;
    m.Pict_Offset = row->Pict_Offset;
    m.Cell_Point = row->Cell_Point;
    m.Up_Size = row->Up_Size;
    m.Down_Size = row->Down_Size;
    m.Col_Count = Col_Count(m.Paper_Width, job.Margin_Left, row->divisor);
    m.Row_Pitch = Row_Pitch(job.Line_Pitch, job.Char_Size, m.Row_Height);
    m.Row_Ratio_SW = job.Row_Ratio != 10;
    if (m.Row_Ratio_SW) m.Matrix_Row_Height = job.Row_Ratio / 10.0 * m.Row_Height;
    return m;
}

/* ---------------------------------------------------------------- unsupported_size_text */
std::string unsupported_size_text(std::int16_t Char_Size) {
    return "文字サイズ " + jobfiles::plain_number(Char_Size / 10.0) +
           " pointには対応していません。\r\n以下のポイントを選択し再度実行してください。\r\n"
           " 12point , 11point , 10point , 9point";
}

}  // namespace driver
