#include "jobfiles/numeric.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "base/run_time_error.h"
#include "jobfiles/number_syntax.h"

namespace jobfiles {

namespace {

template <typename Int>
Int round_to(double x) {
    // nearbyint rounds in the default mode: to nearest, halves to even.
    const double r = std::nearbyint(x);
    if (!std::isfinite(r) || r < static_cast<double>(std::numeric_limits<Int>::min()) ||
        r > static_cast<double>(std::numeric_limits<Int>::max())) {
        throw base::RunTimeError(base::ErrorNumber::overflow, "値 " + plain_number(x));
    }
    return static_cast<Int>(r);
}

bool is_val_blank(char c) noexcept {
    return c == ' ' || c == '\t' || c == '\n';
}

bool may_continue_number(char c) noexcept {
    switch (c) {
        case '+':
        case '-':
        case '.':
        case '&':
        case 'e':
        case 'E':
        case 'd':
        case 'D':
        case 'h':
        case 'H':
        case 'o':
        case 'O':
            return true;
        default:
            return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    }
}

// 15 significant digits, exponent form outside 1E-5 .. 1E+15, as the host formats doubles.
std::string fifteen_digits(double x) {
    if (x == 0) return "0";
    char buffer[40];
    const int n = std::snprintf(buffer, sizeof buffer, "%.15G", x);
    return std::string(buffer, static_cast<std::size_t>(n));
}

}  // namespace

/* ---------------------------------------------------------------- Int */
double Int(double x) noexcept {
    return std::floor(x);
}

/* ---------------------------------------------------------------- to_int16 */
std::int16_t to_int16(double x) {
    return round_to<std::int16_t>(x);
}

/* ---------------------------------------------------------------- to_int32 */
std::int32_t to_int32(double x) {
    return round_to<std::int32_t>(x);
}

/* ---------------------------------------------------------------- Val */
double Val(std::string_view text) noexcept {
    // Blanks may stand anywhere, even between digits; keep only what can form the number.
    std::string compact;
    for (char c : text) {
        if (is_val_blank(c)) continue;
        if (!may_continue_number(c)) break;
        compact.push_back(c);
    }
    double value = 0;
    if (parse_number_prefix(compact, value) == 0) return 0;
    return value;
}

/* ---------------------------------------------------------------- printed_number */
std::string printed_number(double x) {
    std::string digits = fifteen_digits(std::fabs(x));
    // Fractions below one are printed without their leading zero: 0.5 gives " .5 ".
    if (digits.size() > 1 && digits[0] == '0' && digits[1] == '.') digits.erase(0, 1);
    return (x < 0 ? "-" : " ") + digits + " ";
}

/* ---------------------------------------------------------------- plain_number */
std::string plain_number(double x) {
    if (std::isnan(x)) return "NaN";
    if (std::isinf(x)) return x < 0 ? "-Infinity" : "Infinity";
    return (x < 0 ? "-" : "") + fifteen_digits(std::fabs(x));
}

}  // namespace jobfiles
