// Numbers as the host's runtime converts and prints them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace jobfiles {

// Int(): the largest whole number not above x.
double Int(double x) noexcept;

// Round to nearest, halves to the even neighbour; base::RunTimeError overflow when out of range
// (or not finite).
std::int16_t to_int16(double x);
std::int32_t to_int32(double x);

// Val(): the number at the start of a text. Blanks are ignored, "&H"/"&O" prefixes read hex
// and octal, reading stops at the first character that cannot continue the number; a text that
// does not start with a number gives 0.
double Val(std::string_view text) noexcept;

// The printed-number form: a blank or a minus sign, the digits, one trailing blank.
// printed_number(12) == " 12 ", printed_number(-3) == "-3 ", printed_number(2.5) == " 2.5 ".
std::string printed_number(double x);

// Plain decimal without padding, as string conversion gives it: 12 -> "12", 2.5 -> "2.5".
std::string plain_number(double x);

}  // namespace jobfiles
