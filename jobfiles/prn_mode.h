// Job settings (PRN_MODE): nine fields read with the field reader, typed as each program
// keeps them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace jobfiles {

// Page numbers and counts are 16-bit integers in both programs: a job of more pages is refused
// when its settings are read, before any page is converted.
inline constexpr int max_page_count = 32767;

// As the Word converter keeps them: the character size already in points, the line pitch in
// whole points (tenths rounded half to even), margins in tenths of a millimetre.
struct VarnelJobSettings {
    float Char_Size = 0;
    std::string Font_Name;  // CP932
    std::int32_t Margin_Left = 0;
    std::int32_t Margin_Top = 0;
    std::int32_t Margin_Right = 0;
    std::int32_t Margin_Bottom = 0;
    std::int16_t Page_Count = 0;
    std::int16_t Line_Pitch = 0;
};

// As the Excel converter keeps them: sizes in tenths, margins as reals.
struct SorbelJobSettings {
    std::int16_t Char_Size = 0;
    std::string Font_Name;  // CP932
    double Margin_Left = 0;
    double Margin_Top = 0;
    double Margin_Right = 0;
    double Margin_Bottom = 0;
    std::int16_t Page_Count = 0;
    std::int16_t Row_Ratio = 0;
    std::int16_t Line_Pitch = 0;
};

// Pure readers over the file's bytes; throw base::RunTimeError (type mismatch, overflow, input
// past end of file) with the byte offset in the context. A page count above max_page_count is
// an overflow whose description names the count and the limit.
VarnelJobSettings parse_varnel_prn_mode(std::string_view bytes);
SorbelJobSettings parse_sorbel_prn_mode(std::string_view bytes);

// File wrappers: a missing file is base::RunTimeError file_not_found.
VarnelJobSettings load_varnel_prn_mode(const std::filesystem::path& file);
SorbelJobSettings load_sorbel_prn_mode(const std::filesystem::path& file);

}  // namespace jobfiles
