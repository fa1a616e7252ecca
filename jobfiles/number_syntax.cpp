#include "jobfiles/number_syntax.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <string>
#include <system_error>

namespace jobfiles {

namespace {

constexpr double powers_of_ten[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                    1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

bool is_digit(char c) noexcept {
    return c >= '0' && c <= '9';
}

int digit_value(char c, int base) noexcept {
    int d = -1;
    if (c >= '0' && c <= '9')
        d = c - '0';
    else if (c >= 'a' && c <= 'f')
        d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        d = c - 'A' + 10;
    return d < base ? d : -1;
}

std::size_t parse_radix(std::string_view text, int base, double& value) noexcept {
    std::size_t pos = 2;
    double magnitude = 0;
    for (; pos < text.size(); ++pos) {
        const int d = digit_value(text[pos], base);
        if (d < 0) break;
        magnitude = magnitude * base + d;
    }
    if (pos == 2) return 0;
    value = magnitude;
    return pos;
}

}  // namespace

/* ---------------------------------------------------------------- parse_number_prefix */
std::size_t parse_number_prefix(std::string_view text, double& value) noexcept {
    if (text.size() >= 2 && text[0] == '&') {
        if (text[1] == 'H' || text[1] == 'h') return parse_radix(text, 16, value);
        if (text[1] == 'O' || text[1] == 'o') return parse_radix(text, 8, value);
        return 0;
    }
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::size_t mantissa_begin = pos;
    bool any_digit = false;
    bool nonzero_integer_digit = false;
    while (pos < text.size() && is_digit(text[pos])) {
        nonzero_integer_digit = nonzero_integer_digit || text[pos] != '0';
        any_digit = true;
        ++pos;
    }
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        while (pos < text.size() && is_digit(text[pos])) {
            any_digit = true;
            ++pos;
        }
    }
    if (!any_digit) return 0;
    const std::size_t mantissa_end = pos;

    // The exponent counts only when digits follow its letter.
    long exponent = 0;
    std::size_t end = pos;
    if (pos < text.size() &&
        (text[pos] == 'E' || text[pos] == 'e' || text[pos] == 'D' || text[pos] == 'd')) {
        std::size_t p = pos + 1;
        bool exponent_negative = false;
        if (p < text.size() && (text[p] == '+' || text[p] == '-')) {
            exponent_negative = text[p] == '-';
            ++p;
        }
        const std::size_t digits_begin = p;
        while (p < text.size() && is_digit(text[p])) {
            if (exponent < 100000) exponent = exponent * 10 + (text[p] - '0');
            ++p;
        }
        if (p > digits_begin) {
            end = p;
            if (exponent_negative) exponent = -exponent;
        } else {
            exponent = 0;
        }
    }

    // Up to 15 digits without an exponent: digits over a power of ten are both exact doubles,
    // and one correctly rounded division gives the nearest double, as the full parse would.
    if (exponent == 0) {
        std::uint64_t digits = 0;
        int count = 0;
        int fraction = 0;
        bool after_point = false;
        for (std::size_t p = mantissa_begin; p < mantissa_end && count <= 15; ++p) {
            if (text[p] == '.') {
                after_point = true;
                continue;
            }
            digits = digits * 10 + static_cast<std::uint64_t>(text[p] - '0');
            if (digits != 0) ++count;
            if (after_point) ++fraction;
        }
        if (count <= 15 && fraction <= 15) {
            const double magnitude = static_cast<double>(digits) / powers_of_ten[fraction];
            value = negative ? -magnitude : magnitude;
            return end;
        }
    }

    std::string buffer(text.substr(mantissa_begin, mantissa_end - mantissa_begin));
    if (exponent != 0) buffer += "e" + std::to_string(exponent);
    double magnitude = 0;
    const auto result = std::from_chars(buffer.data(), buffer.data() + buffer.size(), magnitude);
    if (result.ec == std::errc::result_out_of_range) {
        const bool huge = exponent > 0 || (exponent == 0 && nonzero_integer_digit);
        magnitude = huge ? std::numeric_limits<double>::infinity() : 0.0;
    }
    value = negative ? -magnitude : magnitude;
    return end;
}

}  // namespace jobfiles
