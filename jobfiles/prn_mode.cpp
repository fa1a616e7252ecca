#include "jobfiles/prn_mode.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "base/whole_file.h"
#include "jobfiles/field_reader.h"
#include "jobfiles/numeric.h"

namespace jobfiles {

namespace {

// The job's page count. Past the 16-bit limit the user is told what the job holds and what the
// programs take, instead of a bare overflow.
std::int16_t read_page_count(FieldReader& in) {
    const std::size_t at = in.offset();
    const double pages = std::nearbyint(in.real());
    if (pages > max_page_count) {
        throw base::RunTimeError(static_cast<int>(base::ErrorNumber::overflow),
                                 "ページ数 " + plain_number(pages) +
                                     " のジョブは変換できません。変換できるのは " +
                                     std::to_string(max_page_count) + " ページまでです。",
                                 "PRN_MODE: byte " + std::to_string(at) + ", page count");
    }
    if (pages < INT16_MIN) in.fail(base::ErrorNumber::overflow, at, "16-bit integer");
    return static_cast<std::int16_t>(pages);
}

}  // namespace

/* ---------------------------------------------------------------- parse_varnel_prn_mode */
VarnelJobSettings parse_varnel_prn_mode(std::string_view bytes) {
    FieldReader in(bytes, "PRN_MODE");
    VarnelJobSettings s;
    // The size is scaled to points at once, in single precision, as the document needs it.
    s.Char_Size = static_cast<float>(static_cast<double>(in.single()) * 0.1);
    s.Font_Name = std::string(in.text());
    s.Margin_Left = in.int32();
    s.Margin_Top = in.int32();
    s.Margin_Right = in.int32();
    s.Margin_Bottom = in.int32();
    s.Page_Count = read_page_count(in);
    in.variant();  // the table row ratio: only the Excel route uses it
    // Whole points, halves to even: 125 gives 12, 135 gives 14.
    s.Line_Pitch = to_int16(in.int16() * 0.1);
    return s;
}

/* ---------------------------------------------------------------- parse_sorbel_prn_mode */
SorbelJobSettings parse_sorbel_prn_mode(std::string_view bytes) {
    FieldReader in(bytes, "PRN_MODE");
    SorbelJobSettings s;
    s.Char_Size = in.int16();
    s.Font_Name = std::string(in.text());
    s.Margin_Left = in.real();
    s.Margin_Top = in.real();
    s.Margin_Right = in.real();
    s.Margin_Bottom = in.real();
    s.Page_Count = read_page_count(in);
    s.Row_Ratio = in.int16();
    s.Line_Pitch = in.int16();
    return s;
}

/* ---------------------------------------------------------------- load_varnel_prn_mode */
VarnelJobSettings load_varnel_prn_mode(const std::filesystem::path& file) {
    return parse_varnel_prn_mode(base::load_file(file));
}

/* ---------------------------------------------------------------- load_sorbel_prn_mode */
SorbelJobSettings load_sorbel_prn_mode(const std::filesystem::path& file) {
    return parse_sorbel_prn_mode(base::load_file(file));
}

}  // namespace jobfiles
