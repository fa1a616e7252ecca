#include "platform/word/formats.h"

#include <cmath>
#include <string>

#include "platform/word/word_errors.h"

namespace word::detail {

/* ---------------------------------------------------------------- default_char_format */
CharFormat default_char_format() {
    CharFormat f;
    f[FontSlot::ascii] = "Century";
    f[FontSlot::other] = "Century";
    f[FontSlot::far_east] = "ＭＳ 明朝";
    f[FontSlot::bidi] = "Times New Roman";
    for (auto& p : f.props) p = 0;
    f[CharProp::size] = 21;
    f[CharProp::color] = -16777216;
    f[CharProp::underline_color] = -16777216;
    f[CharProp::scaling] = 100;
    f[CharProp::kerning] = 2;
    return f;
}

/* ---------------------------------------------------------------- default_para_format */
ParaFormat default_para_format() {
    ParaFormat f;
    f[ParaProp::line_rule] = 0;
    f[ParaProp::line] = 240;
    f[ParaProp::alignment] = 3;  // a Japanese Word justifies its normal text
    f[ParaProp::left_indent] = 0;
    f[ParaProp::left_chars] = 0;
    f[ParaProp::word_wrap] = 1;
    f[ParaProp::auto_space_digit] = 1;
    f[ParaProp::auto_space_alpha] = 1;
    return f;
}

/* ---------------------------------------------------------------- size_to_half_points */
std::int32_t size_to_half_points(float points) {
    if (!(points >= 1.0f && points <= 1638.0f)) {
        throw_out_of_range("Font.Size " + std::to_string(points));
    }
    return static_cast<std::int32_t>(std::lround(static_cast<double>(points) * 2.0));
}

/* ---------------------------------------------------------------- points_to_twips */
std::int32_t points_to_twips(float points) {
    if (!std::isfinite(points) || std::fabs(points) > 31680.0f) {
        throw_out_of_range("points " + std::to_string(points));
    }
    return static_cast<std::int32_t>(std::lround(static_cast<double>(points) * 20.0));
}

}  // namespace word::detail
