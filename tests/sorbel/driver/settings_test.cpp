#include "sorbel/driver/settings.h"

#include <gtest/gtest.h>

#include "base/run_time_error.h"

namespace {

jobfiles::SorbelJobSettings job(std::int16_t Char_Size, std::int16_t Line_Pitch,
                                std::int16_t Row_Ratio = 10, double Margin_Left = 100) {
    jobfiles::SorbelJobSettings j;
    j.Char_Size = Char_Size;
    j.Line_Pitch = Line_Pitch;
    j.Row_Ratio = Row_Ratio;
    j.Margin_Left = Margin_Left;
    j.Page_Count = 1;
    return j;
}

TEST(sorbel_settings, title_row_pitch_is_the_next_multiple_of_three_quarters_above_the_pitch) {
    EXPECT_DOUBLE_EQ(driver::Row_Pitch(100, 100, 10.5), 10.5);
    EXPECT_DOUBLE_EQ(driver::Row_Pitch(150, 100, 10.5), 15.75);
    EXPECT_DOUBLE_EQ(driver::Row_Pitch(120, 100, 10.5), 12.75);
    EXPECT_DOUBLE_EQ(driver::Row_Pitch(130, 100, 10.5), 13.5);
    // Strictly above: a pitch on a multiple still moves up.
    EXPECT_DOUBLE_EQ(driver::Row_Pitch(90, 100, 10.5), 9.75);
}

TEST(sorbel_settings, per_size_row_sets_template_columns_and_table_row_height) {
    const auto twelve = driver::derive_mode_settings(job(120, 120, 15), 0, "/prog");
    ASSERT_TRUE(twelve);
    EXPECT_EQ(twelve->Template_File, "/prog/TMP-12P.xlsx");
    EXPECT_EQ(twelve->Col_Count, 93);  // (210 - 10) mm = 566.93 pt, 47 characters
    EXPECT_DOUBLE_EQ(twelve->Row_Height, 12.75);
    EXPECT_DOUBLE_EQ(twelve->Row_Pitch, 12.75);
    EXPECT_TRUE(twelve->Row_Ratio_SW);
    EXPECT_DOUBLE_EQ(twelve->Matrix_Row_Height, 19.125);
    EXPECT_DOUBLE_EQ(twelve->Pict_Offset, 0.7);

    const auto nine = driver::derive_mode_settings(job(90, 90), 1, "/prog");
    ASSERT_TRUE(nine);
    EXPECT_EQ(nine->Template_File, "/prog/TMP-09PW.xlsx");
    EXPECT_FALSE(nine->Row_Ratio_SW);
    EXPECT_EQ(nine->Cell_Point, 8);
    EXPECT_DOUBLE_EQ(nine->Down_Size, 4.5);
    EXPECT_EQ(nine->Col_Count, 123);  // 566.93 / 9 = 62.99, 62 characters

    EXPECT_FALSE(driver::derive_mode_settings(job(105, 105), 0, "/prog"));
    EXPECT_FALSE(driver::derive_mode_settings(job(0, 0), 0, "/prog"));
}

TEST(sorbel_settings, unsupported_size_message_names_the_size_in_points) {
    EXPECT_EQ(driver::unsupported_size_text(105),
              "文字サイズ 10.5 pointには対応していません。\r\n"
              "以下のポイントを選択し再度実行してください。\r\n"
              " 12point , 11point , 10point , 9point");
    EXPECT_TRUE(driver::unsupported_size_text(80).starts_with("文字サイズ 8 point"));
}

TEST(sorbel_settings, workbook_name_gets_the_extension_and_a_bare_name_the_job_folder) {
    EXPECT_EQ(driver::workbook_path("Book1", "/job"), "/job/Book1.xlsx");
    EXPECT_EQ(driver::workbook_path("out/Book1", "/job"), "/job/out/Book1.xlsx");
    // "/帳票/月報" in CP932.
    EXPECT_EQ(driver::workbook_path("/\x92\xa0\x95\x5b/\x8c\x8e\x95\xf1", "/job"),
              "/帳票/月報.xlsx");
    for (const char* bad : {"", "/out/", "a\x01", "\x81"}) {
        EXPECT_THROW(driver::workbook_path(bad, "/job"), base::RunTimeError) << bad;
    }
}

}  // namespace
