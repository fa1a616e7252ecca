#include "jobfiles/prn_mode.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/cp932.h"
#include "base/run_time_error.h"

namespace {

const std::string font = cp932::from_utf8("ＭＳ 明朝, 標準");
const std::string one_line = "105,\"" + font + "\",200,150,200,250,5,10,125\r\n";
// The same nine values one per line, plus fields the readers ignore.
const std::string one_per_line =
    "105\r\n\"" + font + "\"\r\n200\r\n150\r\n200\r\n250\r\n5\r\n10\r\n125\r\nextra,9\r\n";

TEST(prn_mode, both_line_layouts_read_alike_in_both_programs) {
    for (const std::string& bytes : {one_line, one_per_line}) {
        const jobfiles::VarnelJobSettings v = jobfiles::parse_varnel_prn_mode(bytes);
        EXPECT_FLOAT_EQ(v.Char_Size, 10.5f);
        EXPECT_EQ(v.Font_Name, font);  // quoted: the comma stays in the name
        EXPECT_EQ(v.Margin_Left, 200);
        EXPECT_EQ(v.Margin_Top, 150);
        EXPECT_EQ(v.Margin_Right, 200);
        EXPECT_EQ(v.Margin_Bottom, 250);
        EXPECT_EQ(v.Page_Count, 5);
        EXPECT_EQ(v.Line_Pitch, 12);
        const jobfiles::SorbelJobSettings s = jobfiles::parse_sorbel_prn_mode(bytes);
        EXPECT_EQ(s.Char_Size, 105);
        EXPECT_EQ(s.Margin_Bottom, 250.0);
        EXPECT_EQ(s.Row_Ratio, 10);
        EXPECT_EQ(s.Line_Pitch, 125);
    }
}

TEST(prn_mode, line_pitch_becomes_whole_points_halves_to_even) {
    const auto pitch = [](const char* tenths) {
        return jobfiles::parse_varnel_prn_mode(std::string("120,F,0,0,0,0,1,10,") + tenths)
            .Line_Pitch;
    };
    EXPECT_EQ(pitch("125"), 12);
    EXPECT_EQ(pitch("135"), 14);
    EXPECT_EQ(pitch("124"), 12);
    EXPECT_EQ(pitch("126"), 13);
}

TEST(prn_mode, unquoted_comma_shifts_the_fields_and_bad_files_fail_cleanly) {
    // The font name cut at its comma pushes " 標準" into the left margin: a type mismatch.
    const std::string shifted = "105," + font + ",200,150,200,250,5,10,125\r\n";
    try {
        jobfiles::parse_varnel_prn_mode(shifted);
        FAIL();
    } catch (const base::RunTimeError& e) {
        EXPECT_EQ(e.number(), 13);
    }
    const auto number_of = [](auto parse, const std::string& bytes) {
        try {
            parse(bytes);
        } catch (const base::RunTimeError& e) {
            return e.number();
        }
        return 0;
    };
    const auto varnel = [](const std::string& b) { return jobfiles::parse_varnel_prn_mode(b); };
    const auto sorbel = [](const std::string& b) { return jobfiles::parse_sorbel_prn_mode(b); };
    EXPECT_EQ(number_of(varnel, "105,F,200,150\r\n"), 62);  // short file
    EXPECT_EQ(number_of(sorbel, ""), 62);
    EXPECT_EQ(number_of(sorbel, "105,F,0,0,0,0,40000,10,125"), 6);  // page count
    EXPECT_EQ(number_of(varnel, "105,F,3000000000,0,0,0,1,10,125"), 6);
    EXPECT_EQ(number_of(sorbel, "105,F,3000000000,0,0,0,1,10,125"), 0);  // a double holds it
    EXPECT_EQ(number_of(varnel, "105,F,0,0,0,0,1,x,125"), 0);            // the row ratio is dropped
    EXPECT_EQ(number_of(sorbel, "105,F,0,0,0,0,1,x,125"), 13);
}

TEST(prn_mode, a_job_past_the_page_limit_is_refused_with_the_limit_named) {
    // 32767 pages still convert; one more is told as what it is, not as a bare overflow.
    EXPECT_EQ(jobfiles::parse_varnel_prn_mode("105,F,0,0,0,0,32767,10,125").Page_Count, 32767);
    EXPECT_EQ(jobfiles::parse_sorbel_prn_mode("105,F,0,0,0,0,32767,10,125").Page_Count, 32767);
    for (const char* pages : {"32768", "40000"}) {
        const std::string bytes = std::string("105,F,0,0,0,0,") + pages + ",10,125";
        for (const auto& parse :
             {+[](const std::string& b) { jobfiles::parse_varnel_prn_mode(b); },
              +[](const std::string& b) { jobfiles::parse_sorbel_prn_mode(b); }}) {
            try {
                parse(bytes);
                FAIL() << pages;
            } catch (const base::RunTimeError& e) {
                EXPECT_EQ(e.number(), 6);
                EXPECT_EQ(e.description(), std::string("ページ数 ") + pages +
                                               " のジョブは変換できません。変換できるのは 32767 "
                                               "ページまでです。");
                EXPECT_EQ(e.context(), "PRN_MODE: byte 14, page count");
            }
        }
    }
}

TEST(prn_mode, missing_file_is_file_not_found) {
    try {
        jobfiles::load_sorbel_prn_mode(std::filesystem::path(VS_TEST_DATA_DIR) / "no_such_dir" /
                                       "PRN_MODE");
        FAIL();
    } catch (const base::RunTimeError& e) {
        EXPECT_EQ(e.number(), 53);
        EXPECT_EQ(e.description(), "ファイルが見つかりません。");
    }
}

}  // namespace
