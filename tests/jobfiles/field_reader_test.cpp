#include "jobfiles/field_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using base::RunTimeError;
using jobfiles::FieldReader;

// Runs `read` and returns the error it raised.
template <typename F>
base::RunTimeError error_of(F read) {
    try {
        read();
    } catch (const base::RunTimeError& e) {
        return e;
    }
    ADD_FAILURE() << "no error";
    return base::RunTimeError(0, "", "");
}

TEST(field_reader, fields_end_at_commas_and_at_either_line_end) {
    FieldReader in("  a b ,\"x,\"\"y\" tail,\r\n\"open,end\nlast", "T");
    EXPECT_EQ(in.text(), "a b");
    EXPECT_EQ(in.text(), "x,");        // the quoted text ends at its closing quote
    EXPECT_EQ(in.text(), "");          // a comma right before the line end leaves an empty field
    EXPECT_EQ(in.text(), "open,end");  // an unclosed quote stops at its line end
    EXPECT_FALSE(in.at_end());
    EXPECT_EQ(in.text(), "last");
    EXPECT_TRUE(in.at_end());
}

TEST(field_reader, numbers_round_half_to_even_into_their_type) {
    FieldReader in("2.5,3.5, -12 ,,1.5e1,\"7\",&H10,40000,40000\r\n", "T");
    EXPECT_EQ(in.int16(), 2);
    EXPECT_EQ(in.int16(), 4);
    EXPECT_EQ(in.int32(), -12);
    EXPECT_EQ(in.int16(), 0);  // empty field
    EXPECT_EQ(in.real(), 15.0);
    EXPECT_EQ(in.int16(), 7);
    EXPECT_EQ(in.int16(), 16);
    EXPECT_EQ(in.int32(), 40000);
    const base::RunTimeError e = error_of([&] { in.int16(); });
    EXPECT_EQ(e.number(), 6);
    EXPECT_EQ(e.description(), "オーバーフローしました。");
}

TEST(field_reader, errors_name_the_file_and_the_byte_offset) {
    FieldReader in("1,abc,2", "PRN_MODE");
    in.int16();
    const base::RunTimeError mismatch = error_of([&] { in.int16(); });
    EXPECT_EQ(mismatch.number(), 13);
    EXPECT_EQ(mismatch.description(), "型が一致しません。");
    EXPECT_NE(mismatch.context().find("PRN_MODE の 2 バイト目"), std::string::npos);

    FieldReader half("12abc", "T");
    EXPECT_EQ(error_of([&] { half.real(); }).number(), 13);
    FieldReader huge("1e400", "T");
    EXPECT_EQ(error_of([&] { huge.real(); }).number(), 6);
    FieldReader big_single("1e39", "T");
    EXPECT_EQ(error_of([&] { big_single.single(); }).number(), 6);

    FieldReader end("7\r\n", "PRN_XLS");
    end.int16();
    const base::RunTimeError past = error_of([&] { end.text(); });
    EXPECT_EQ(past.number(), 62);
    EXPECT_EQ(past.description(), "ファイルにこれ以上データがありません。");
    EXPECT_NE(past.context().find("PRN_XLS の 3 バイト目"), std::string::npos);
    EXPECT_EQ(error_of([&] { end.line(); }).number(), 62);
}

TEST(field_reader, variants_keep_the_text_and_a_number_when_there_is_one) {
    FieldReader in("1,abc,,\"1\"", "T");
    const jobfiles::Variant one = in.variant();
    EXPECT_TRUE(one.is(1));
    const jobfiles::Variant word = in.variant();
    EXPECT_EQ(word.text, "abc");
    EXPECT_FALSE(word.is(1));
    EXPECT_THROW(word.to_number(), base::RunTimeError);
    EXPECT_EQ(in.variant().to_number(), 0);  // empty counts as 0
    EXPECT_TRUE(in.variant().is(1));
}

TEST(field_reader, rest_of_line_is_raw_and_stays_within_its_line) {
    FieldReader in("LABEL,1, \"A,\"B\"\" \r\nPAGE\r\nBLOCK,1\r\nX,\"\"\r\n", "T");
    in.text();
    in.text();
    EXPECT_EQ(in.rest_of_line(), " \"A,\"B\"\" ");
    EXPECT_EQ(in.text(), "PAGE");
    // The keyword ended its line: the next line is not taken as its rest.
    EXPECT_EQ(in.rest_of_line(), "");
    EXPECT_EQ(in.text(), "BLOCK");
    EXPECT_EQ(in.line(), "1");  // the line from the cursor on
    EXPECT_EQ(in.text(), "X");
    EXPECT_EQ(in.quoted_rest_of_line(), "");  // two quotes give an empty text
}

TEST(field_reader, quoted_rest_drops_one_character_at_each_end_counting_cp932) {
    // Full-width last character without a closing quote: both of its bytes go.
    FieldReader wide("K,\"\x93\xfa\x96\x7b\r\n", "T");
    wide.text();
    EXPECT_EQ(wide.quoted_rest_of_line(), "\x93\xfa");
    // One full-width character is a single character: too short for a quoted text.
    FieldReader one("K,\x93\xfa\r\n", "T");
    one.text();
    const base::RunTimeError e = error_of([&] { one.quoted_rest_of_line(); });
    EXPECT_EQ(e.number(), 5);
    // A lead byte before the closing quote stays, alone: the quote is not its second byte.
    FieldReader broken("K,\"ab\x93\"\r\n", "T");
    broken.text();
    EXPECT_EQ(broken.quoted_rest_of_line(), "ab\x93");
    // A full-width character before it is no lead byte left alone.
    FieldReader whole("K,\"\x93\xfa\"\r\n", "T");
    whole.text();
    EXPECT_EQ(whole.quoted_rest_of_line(), "\x93\xfa");
    FieldReader empty("K,\r\n", "T");
    empty.text();
    EXPECT_EQ(error_of([&] { empty.quoted_rest_of_line(); }).number(), 5);
}

}  // namespace
