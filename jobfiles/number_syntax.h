// The number syntax shared by Val() and the field reader (internal to jobfiles).
#pragma once

#include <cstddef>
#include <string_view>

namespace jobfiles {

// Reads the number at the very start of `text`: an optional sign, digits with an optional
// decimal point and an exponent written with E or D, or "&H" hexadecimal / "&O" octal digits.
// Returns how many characters form the number (0 when none do) and stores its value; a
// magnitude beyond the double range gives an infinite value. Hexadecimal and octal digits are
// read as a plain magnitude (so "&HFFFF" is 65535).
std::size_t parse_number_prefix(std::string_view text, double& value) noexcept;

}  // namespace jobfiles
