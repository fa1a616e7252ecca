#include "jobfiles/numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "base/run_time_error.h"

namespace {

using base::RunTimeError;

int error_number_of(double x, std::int16_t (*convert)(double)) {
    try {
        convert(x);
    } catch (const base::RunTimeError& e) {
        return e.number();
    }
    return 0;
}

TEST(numeric, integer_conversion_rounds_halves_to_even_and_overflows_past_the_range) {
    EXPECT_EQ(jobfiles::to_int16(2.5), 2);
    EXPECT_EQ(jobfiles::to_int16(3.5), 4);
    EXPECT_EQ(jobfiles::to_int16(-2.5), -2);
    EXPECT_EQ(jobfiles::to_int16(12.4999), 12);
    EXPECT_EQ(jobfiles::to_int16(32767.4), 32767);
    EXPECT_EQ(jobfiles::to_int16(-32768.5), -32768);
    EXPECT_EQ(error_number_of(32767.5, jobfiles::to_int16), 6);
    EXPECT_EQ(error_number_of(-32769, jobfiles::to_int16), 6);
    EXPECT_EQ(error_number_of(std::numeric_limits<double>::quiet_NaN(), jobfiles::to_int16), 6);
    EXPECT_EQ(jobfiles::to_int32(2147483647.4), 2147483647);
    EXPECT_THROW(jobfiles::to_int32(2147483647.5), base::RunTimeError);
    EXPECT_EQ(jobfiles::Int(-0.5), -1);
    EXPECT_EQ(jobfiles::Int(1.99), 1);
}

TEST(numeric, val_reads_the_leading_number_of_a_text) {
    EXPECT_EQ(jobfiles::Val("  1 2 3abc"), 123);
    EXPECT_EQ(jobfiles::Val("-1.5e2x"), -150);
    EXPECT_EQ(jobfiles::Val("2D3"), 2000);
    EXPECT_EQ(jobfiles::Val(".5"), 0.5);
    EXPECT_EQ(jobfiles::Val("1e"), 1);  // an exponent letter without digits is not read
    EXPECT_EQ(jobfiles::Val("12,5"), 12);
    EXPECT_EQ(jobfiles::Val("&HFF0000"), 16711680);
    EXPECT_EQ(jobfiles::Val("&h ff"), 255);
    // Four hex digits are a colour, not a negative 16-bit number.
    EXPECT_EQ(jobfiles::Val("&HFFFF"), 65535);
    EXPECT_EQ(jobfiles::Val("&O17"), 15);
    EXPECT_EQ(jobfiles::Val("abc"), 0);
    EXPECT_EQ(jobfiles::Val(""), 0);
    EXPECT_EQ(jobfiles::Val("&H"), 0);
    EXPECT_EQ(jobfiles::Val("-"), 0);
    EXPECT_TRUE(std::isinf(jobfiles::Val("1e999")));
    EXPECT_EQ(jobfiles::Val("1e-999"), 0);
}

TEST(numeric, numbers_read_as_the_nearest_double) {
    // Short decimals take a quick path; long ones and exponents the full parse. Both must give
    // the double nearest to the written value.
    for (const char* text :
         {"0.1", "0.3", "1.7976", "37.04166", "999999999999999", "123456789012345.6",
          "9007199254740993", "0.000000000000000001", "0.1234567890123456789",
          "00000000000000000000012.5", "2.5e-3", "1234.5678e10"}) {
        EXPECT_EQ(jobfiles::Val(text), std::strtod(text, nullptr)) << text;
        EXPECT_EQ(jobfiles::Val(std::string("-") + text), -std::strtod(text, nullptr)) << text;
    }
}

TEST(numeric, printed_and_plain_forms) {
    EXPECT_EQ(jobfiles::printed_number(12), " 12 ");
    EXPECT_EQ(jobfiles::printed_number(-3), "-3 ");
    EXPECT_EQ(jobfiles::printed_number(0), " 0 ");
    EXPECT_EQ(jobfiles::printed_number(2.5), " 2.5 ");
    EXPECT_EQ(jobfiles::printed_number(0.5), " .5 ");
    EXPECT_EQ(jobfiles::printed_number(-0.25), "-.25 ");
    EXPECT_EQ(jobfiles::printed_number(40000), " 40000 ");
    EXPECT_EQ(jobfiles::printed_number(1e15), " 1E+15 ");
    EXPECT_EQ(jobfiles::plain_number(10.5), "10.5");
    EXPECT_EQ(jobfiles::plain_number(8), "8");
    EXPECT_EQ(jobfiles::plain_number(0.1 + 0.2), "0.3");
    EXPECT_EQ(jobfiles::plain_number(-3), "-3");
}

}  // namespace
