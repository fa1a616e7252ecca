#include "jobfiles/field_reader.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <utility>

#include "base/cp932.h"
#include "jobfiles/number_syntax.h"

namespace jobfiles {

namespace {

bool is_blank(char c) noexcept {
    return c == ' ' || c == '\t';
}

// The whole text as a number, or nothing when it is not one (an empty text is 0).
std::optional<double> whole_number(std::string_view text) noexcept {
    if (text.empty()) return 0.0;
    double value = 0;
    if (parse_number_prefix(text, value) != text.size()) return std::nullopt;
    return value;
}

}  // namespace

/* ---------------------------------------------------------------- quoted_field */
std::string quoted_field(std::string_view field) {
    return "「" + cp932::to_utf8(field) + "」";
}

/* ---------------------------------------------------------------- Variant::to_number */
double Variant::to_number() const {
    if (!number || !std::isfinite(*number)) {
        throw base::RunTimeError(base::ErrorNumber::type_mismatch,
                                 quoted_field(text) + "は数値ではありません");
    }
    return *number;
}

/* ---------------------------------------------------------------- FieldReader */
FieldReader::FieldReader(std::string_view bytes, std::string name)
    : bytes_(bytes), name_(std::move(name)) {}

/* ---------------------------------------------------------------- FieldReader::fail */
void FieldReader::fail(base::ErrorNumber number, std::size_t at, std::string_view what) const {
    std::string context = name_ + " の " + std::to_string(at) + " バイト目";
    if (!what.empty()) context.append("：").append(what);
    throw base::RunTimeError(number, std::move(context));
}

/* ---------------------------------------------------------------- FieldReader::line_end_from */
std::size_t FieldReader::line_end_from(std::size_t from) const noexcept {
    const void* hit = std::memchr(bytes_.data() + from, '\n', bytes_.size() - from);
    if (hit == nullptr) return bytes_.size();
    const std::size_t lf = static_cast<std::size_t>(static_cast<const char*>(hit) - bytes_.data());
    return (lf > from && bytes_[lf - 1] == '\r') ? lf - 1 : lf;
}

/* ---------------------------------------------------------------- FieldReader::consume_line_end */
void FieldReader::consume_line_end() noexcept {
    if (pos_ < bytes_.size() && bytes_[pos_] == '\r' && pos_ + 1 < bytes_.size() &&
        bytes_[pos_ + 1] == '\n') {
        pos_ += 2;
    } else if (pos_ < bytes_.size() && bytes_[pos_] == '\n') {
        ++pos_;
    }
}

/* ---------------------------------------------------------------- FieldReader::next_field */
std::string_view FieldReader::next_field(std::size_t& start) {
    if (at_end()) fail(base::ErrorNumber::input_past_end, pos_);
    const std::size_t size = bytes_.size();
    const char* data = bytes_.data();
    std::size_t i = pos_;
    while (i < size && is_blank(data[i])) ++i;
    start = i;

    std::string_view value;
    if (i < size && data[i] == '"') {
        std::size_t close = i + 1;
        while (close < size && data[close] != '"' && data[close] != '\n') ++close;
        if (close < size && data[close] == '"') {
            value = bytes_.substr(i + 1, close - i - 1);
            i = close + 1;
            while (i < size && data[i] != ',' && data[i] != '\n') ++i;
        } else {
            // No closing quote on the line: the text runs to the line end.
            i = close;
            std::size_t end = close;
            if (end < size && end > start + 1 && data[end - 1] == '\r') --end;
            value = bytes_.substr(start + 1, end - start - 1);
        }
    } else {
        while (i < size && data[i] != ',' && data[i] != '\n') ++i;
        std::size_t end = i;
        if (i < size && data[i] == '\n' && end > start && data[end - 1] == '\r') --end;
        while (end > start && is_blank(data[end - 1])) --end;
        value = bytes_.substr(start, end - start);
    }

    if (i < size && data[i] == ',') {
        pos_ = i + 1;
        line_ended_ = false;
    } else {
        pos_ = i < size ? i + 1 : size;  // past the LF, or at the end of the data
        line_ended_ = true;
    }
    return value;
}

/* ---------------------------------------------------------------- FieldReader::text */
std::string_view FieldReader::text() {
    std::size_t start = 0;
    return next_field(start);
}

/* ---------------------------------------------------------------- FieldReader::number_field */
double FieldReader::number_field(std::size_t& start) {
    const std::string_view field = next_field(start);
    const std::optional<double> value = whole_number(field);
    if (!value)
        fail(base::ErrorNumber::type_mismatch, start, quoted_field(field) + "は数値ではありません");
    if (!std::isfinite(*value)) fail(base::ErrorNumber::overflow, start, quoted_field(field));
    return *value;
}

/* ---------------------------------------------------------------- FieldReader::int16 */
std::int16_t FieldReader::int16() {
    std::size_t start = 0;
    const double value = std::nearbyint(number_field(start));
    if (value < -32768.0 || value > 32767.0) fail(base::ErrorNumber::overflow, start, int16_range);
    return static_cast<std::int16_t>(value);
}

/* ---------------------------------------------------------------- FieldReader::int32 */
std::int32_t FieldReader::int32() {
    std::size_t start = 0;
    const double value = std::nearbyint(number_field(start));
    if (value < -2147483648.0 || value > 2147483647.0) {
        fail(base::ErrorNumber::overflow, start, int32_range);
    }
    return static_cast<std::int32_t>(value);
}

/* ---------------------------------------------------------------- FieldReader::single */
float FieldReader::single() {
    std::size_t start = 0;
    const double value = number_field(start);
    if (std::fabs(value) > static_cast<double>(FLT_MAX)) fail(base::ErrorNumber::overflow, start);
    return static_cast<float>(value);
}

/* ---------------------------------------------------------------- FieldReader::real */
double FieldReader::real() {
    std::size_t start = 0;
    return number_field(start);
}

/* ---------------------------------------------------------------- FieldReader::variant */
Variant FieldReader::variant() {
    std::size_t start = 0;
    const std::string_view field = next_field(start);
    std::optional<double> number = whole_number(field);
    if (number && !std::isfinite(*number)) number.reset();
    return Variant{std::string(field), number};
}

/* ---------------------------------------------------------------- FieldReader::rest_of_line */
std::string_view FieldReader::rest_of_line() {
    if (line_ended_) return {};
    if (at_end()) fail(base::ErrorNumber::input_past_end, pos_);
    const std::size_t end = line_end_from(pos_);
    const std::string_view rest = bytes_.substr(pos_, end - pos_);
    pos_ = end;
    consume_line_end();
    line_ended_ = true;
    return rest;
}

/* ---------------------------------------------------------------- FieldReader::quoted_rest_of_line
 */
std::string_view FieldReader::quoted_rest_of_line() {
    const std::size_t start = pos_;
    const std::string_view rest = rest_of_line();
    const std::size_t first = cp932::char_length_at(rest, 0);
    std::size_t last = first;  // start of the last character
    std::size_t count = first == 0 ? 0 : 1;
    for (std::size_t p = first; p < rest.size(); p += cp932::char_length_at(rest, p)) {
        last = p;
        ++count;
    }
    if (count < 2) fail(base::ErrorNumber::invalid_call, start, "引用符で囲まれた文字がありません");
    // A lead byte right before the closing quote takes the quote for its second byte. The byte
    // stays in the text, where it converts to a replacement character that is counted as
    // invalid, instead of vanishing with the quote.
    if (last + 2 == rest.size() && rest.back() == '"') ++last;
    return rest.substr(first, last - first);
}

/* ---------------------------------------------------------------- FieldReader::line */
std::string_view FieldReader::line() {
    if (at_end()) fail(base::ErrorNumber::input_past_end, pos_);
    const std::size_t end = line_end_from(pos_);
    const std::string_view whole = bytes_.substr(pos_, end - pos_);
    pos_ = end;
    consume_line_end();
    line_ended_ = true;
    return whole;
}

}  // namespace jobfiles
