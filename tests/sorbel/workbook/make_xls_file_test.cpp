// The workbook build over small jobs, its pieces, and the library's error texts and progress.
#include "sorbel/workbook/make_xls_file.h"

#include <gtest/gtest.h>

#include "base/run_time_error.h"
#include "sorbel/workbook/metafile_frame.h"
#include "sorbel/workbook/report_errors.h"
#include "sorbel/workbook/text_lines.h"
#include "tests/sorbel/workbook/workbook_build_fixture.h"

namespace {

using workbook::StageOutcome;
using workbook_test::block;
using workbook_test::RecordingView;
using workbook_test::text_at;
using workbook_test::WorkbookBuildTest;
namespace fs = std::filesystem;

TEST(workbook_lines, placed_text_overwrites_from_its_column_and_is_cut_at_the_line_end) {
    const std::string line(workbook::line_columns, ' ');
    std::string placed = workbook::PlaceText(line, 1, "ABCDEFGH");
    placed = workbook::PlaceText(placed, 3, "xy");
    EXPECT_EQ(placed.substr(0, 9), "ABxyEFGH ");
    placed = workbook::PlaceText(placed, 190, "12345");
    EXPECT_EQ(placed.size(), 192u);
    EXPECT_EQ(placed.substr(188), " 123");
    EXPECT_THROW(workbook::PlaceText(line, 0, "x"), base::RunTimeError);
    EXPECT_THROW(workbook::PlaceText(line, 193, "x"), base::RunTimeError);
    EXPECT_EQ(workbook::snap_to_grid(2.5), 3);
    EXPECT_EQ(workbook::snap_to_grid(1.49), 1);
}

TEST(workbook_pictures, metafile_frame_is_read_in_points) {
    std::string header(88, '\0');
    const auto put = [&](std::size_t at, std::uint32_t v) {
        for (std::size_t i = 0; i < 4; ++i)
            header[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    put(0, 1);
    put(32, 17000);  // frame right: 170 mm
    put(36, 2540);   // frame bottom: 1 inch
    put(40, 0x464D4520);
    const auto size = workbook::metafile_frame(header);
    EXPECT_NEAR(size.width, 481.89, 0.01);
    EXPECT_DOUBLE_EQ(size.height, 72);
    EXPECT_THROW(workbook::metafile_frame(header.substr(0, 40)), base::RunTimeError);
    put(40, 0);
    EXPECT_THROW(workbook::metafile_frame(header), base::RunTimeError);
}

TEST(report_errors, callback_message_and_failed_call_text_follow_the_table) {
    RecordingView view;
    EXPECT_THROW(workbook::Make_XlsFile_R(35, "", view), workbook::ReportAborted);
    EXPECT_THROW(workbook::Make_XlsFile_R(999, "", view), workbook::ReportAborted);
    EXPECT_THROW(workbook::Make_XlsFile_R(32, "場所：2ページ", view), workbook::ReportAborted);
    EXPECT_EQ(view.messages,
              (std::vector<std::string>{
                  "Error - Make_XlsFile_R|データが無い  No35\r\n処理を中止します",
                  "Error - Make_XlsFile_R|  No999\r\n処理を中止します",
                  "Error - Make_XlsFile_R|座標エラー  No32\r\n場所：2ページ\r\n処理を中止します"}));
    EXPECT_EQ(workbook::failed_call_text(214, ""),
              "No.214 ファイル保存を中止しました\r\n処理を中止します");
    EXPECT_EQ(workbook::ReportErrorText(209),
              "引数の型が違います Lib [XlsReport.dll] (long型を指定して下さい)");
}

TEST(report_errors, progress_shows_each_sheet_count_once_and_passes_cancel_on) {
    RecordingView view;
    workbook::ReportProgress progress(view);
    view.start_progress(3);
    view.cancel_enabled = false;
    std::int16_t cancel = 0;
    progress(1, 3, cancel);
    progress(1, 3, cancel);
    EXPECT_TRUE(view.cancel_enabled);
    EXPECT_EQ(view.captions, (std::vector<std::string>{"Excelファイル保存中 1/3シート"}));
    EXPECT_EQ(view.value, 1);
    EXPECT_EQ(cancel, 0);
    view.cancel = true;
    progress(2, 3, cancel);
    EXPECT_EQ(cancel, -1);
}

TEST_F(WorkbookBuildTest, a_missing_template_is_the_librarys_error_and_leaves_no_workbook) {
    chars(block(1, 200, 400) + text_at("LABEL", 1, 0, "A") + "PAGE,1\r\n");
    settings_.Template_File = job() / "TMP-none.xlsx";
    EXPECT_EQ(build(), StageOutcome::failed);
    ASSERT_EQ(view_.messages.size(), 1u);
    EXPECT_TRUE(
        view_.messages[0].starts_with("Error|No.1 ファイルがオープンできない\r\nテンプレート：" +
                                      settings_.Template_File.string()))
        << view_.messages[0];
    EXPECT_TRUE(view_.messages[0].ends_with("\r\n処理を中止します"));
    EXPECT_FALSE(fs::exists(settings_.Xls_File));
    EXPECT_FALSE(view_.busy);
}

TEST_F(WorkbookBuildTest, pages_per_sheet_beyond_the_prepared_rows_are_refused_with_the_limit) {
    chars("PAGE,1\r\n");
    settings_.Sheet_SW = 0;
    settings_.Page_Count = 495;
    EXPECT_EQ(build(), StageOutcome::failed);
    ASSERT_EQ(view_.messages.size(), 1u);
    EXPECT_EQ(view_.messages[0],
              "Error - Make_XlsFile|オーバーフローしました。\r\n"
              "全ページを 1 シートにできるのは 494 ページまでです（この帳票は 495 ページ）。"
              "シートを分けて変換してください。\r\n\r\n処理を中止します。");

    view_.messages.clear();
    settings_.Sheet_SW = 1;
    settings_.Sheet_Page = 600;
    EXPECT_EQ(build(), StageOutcome::failed);
    ASSERT_EQ(view_.messages.size(), 1u);
    EXPECT_EQ(view_.messages[0],
              "Error - Make_XlsFile|オーバーフローしました。\r\n"
              "1 シートのページ数 600 は大きすぎます。504 以下にして変換してください。"
              "\r\n\r\n処理を中止します。");
}

TEST_F(WorkbookBuildTest, cancel_gives_the_workbook_up_and_leaves_no_runs) {
    chars(block(1, 200, 400) + text_at("UMOJI", 1, 10, "2") + "PAGE,1\r\n" + block(2, 200, 400) +
          text_at("LABEL", 1, 0, "B") + "PAGE,1\r\n");
    settings_.Page_Count = 2;
    settings_.End_Page = 2;
    view_.on_yield = [](RecordingView& view) { view.cancel = view.yields == 4; };
    EXPECT_EQ(build(), StageOutcome::cancelled);
    EXPECT_TRUE(view_.messages.empty());
    EXPECT_FALSE(fs::exists(settings_.Xls_File));
    EXPECT_EQ(test_support::read_bytes(job() / "UDSTRING.DAT"), "");
}

}  // namespace
