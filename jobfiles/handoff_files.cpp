#include "jobfiles/handoff_files.h"

#include "base/whole_file.h"
#include "jobfiles/field_reader.h"
#include "jobfiles/numeric.h"

namespace jobfiles {

namespace {

constexpr std::string_view crlf = "\r\n";

}  // namespace

/* ---------------------------------------------------------------- sheet_size */
int sheet_size(std::int16_t Sheet_SW, std::int16_t Sheet_Page, std::int16_t Page_Count) noexcept {
    return Sheet_SW == 0 ? Page_Count + 10 : Sheet_Page;
}

/* ---------------------------------------------------------------- format_prn_xls */
std::string format_prn_xls(const PrnXlsChoices& choices) {
    std::string out;
    out += printed_number(choices.Start_Page);
    out += ",";
    out += printed_number(choices.End_Page);
    out += crlf;
    out += choices.workbook;
    out += crlf;
    out += "1,";
    out += printed_number(choices.sheet_pages);
    out += crlf;
    out += choices.two_chars_per_cell ? "1" : "0";
    out += crlf;
    out += choices.thin_lines ? "1" : "0";
    out += crlf;
    return out;
}

/* ---------------------------------------------------------------- parse_prn_xls */
PrnXlsSettings parse_prn_xls(std::string_view bytes) {
    FieldReader in(bytes, "PRN_XLS");
    PrnXlsSettings s;
    s.Start_Page = in.int16();
    s.End_Page = in.int16();
    // A whole line, so a workbook name with commas survives.
    s.workbook = std::string(in.line());
    s.Sheet_SW = in.int16();
    s.Sheet_Page = in.int16();
    s.Cell_Wide = in.int16();
    s.Line_Thin = in.int16();
    return s;
}

/* ---------------------------------------------------------------- format_path_ini */
std::string format_path_ini(std::string_view folder) {
    std::string out = "\"";
    out += folder;
    out += "\"";
    out += crlf;
    return out;
}

/* ---------------------------------------------------------------- parse_path_ini */
std::string parse_path_ini(std::string_view bytes) {
    if (bytes.empty()) return {};
    FieldReader in(bytes, "PATH_INI");
    return std::string(in.text());
}

/* ---------------------------------------------------------------- write_prn_xls */
void write_prn_xls(const std::filesystem::path& file, const PrnXlsChoices& choices) {
    base::replace_file(file, format_prn_xls(choices), base::Durability::renamed);
}

/* ---------------------------------------------------------------- load_prn_xls */
PrnXlsSettings load_prn_xls(const std::filesystem::path& file) {
    return parse_prn_xls(base::load_file(file));
}

/* ---------------------------------------------------------------- write_path_ini */
void write_path_ini(const std::filesystem::path& file, std::string_view folder) {
    base::replace_file(file, format_path_ini(folder), base::Durability::renamed);
}

/* ---------------------------------------------------------------- load_path_ini */
std::string load_path_ini(const std::filesystem::path& file) {
    if (base::path_kind(file) == base::PathKind::missing) return {};
    return parse_path_ini(base::load_file(file));
}

}  // namespace jobfiles
