// The saved workbook of small jobs, read back with openpyxl and from its drawing parts.
#include <gtest/gtest.h>

#include "platform/raster/canvas.h"
#include "sorbel/workbook/make_xls_file.h"
#include "tests/sorbel/workbook/workbook_build_fixture.h"

namespace {

using workbook::StageOutcome;
using workbook_test::block;
using workbook_test::facts;
using workbook_test::text_at;
using workbook_test::WorkbookBuildTest;
namespace fs = std::filesystem;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST_F(WorkbookBuildTest, pages_become_bands_of_rows_with_breaks_and_skipped_pages_are_reported) {
    // Three pages; the range is pages 2 and 3, all on one sheet.
    chars(block(1, 200, 400) + text_at("LABEL", 1, 0, "page one") + "PAGE,1\r\n" +
          block(1, 200, 400) + text_at("LABEL", 1, 0, "ABCDEFGH") + text_at("LABEL", 1, 2, "xy") +
          text_at("LABEL", 3, 190, "12345") +
          "MATRIX,1,2,4,0,42.33,\"t\",100,100\r\n"
          "C,0,0,\"000000\",1,0,\"a\"\r\nC,0,1,\"000000\",1,0,\"b\"\r\n" +
          "PAGE,1\r\n" + block(1, 200, 400) + text_at("LABEL", 2, 4, "page three") + "PAGE,1\r\n");
    settings_.Page_Count = 3;
    settings_.Start_Page = 2;
    settings_.End_Page = 3;
    settings_.Sheet_SW = 0;
    ASSERT_EQ(build(), StageOutcome::completed) << ::testing::PrintToString(view_.messages);
    EXPECT_EQ(view_.captions[0], "帳票構築中 1/3ページ スキップ");
    EXPECT_EQ(view_.captions[1], "帳票構築中 2/3ページ 終了");
    EXPECT_EQ(view_.captions[2], "帳票構築中 3/3ページ 終了");
    EXPECT_EQ(view_.captions[3], "Excelファイル保存準備中");
    EXPECT_EQ(view_.captions.back(), "Excelファイル保存中 1/1シート");
    EXPECT_TRUE(view_.cancel_enabled);

    const std::string dump = read_back();
    EXPECT_EQ(facts(dump, "sheet"), (std::vector<std::string>{"sheet Page 2～3"})) << dump;
    // A block of 200 tenths is 5 rows; line 1 is the block's first row.
    EXPECT_EQ(
        facts(dump, "cell A"),
        (std::vector<std::string>{"cell A1 ABxyEFGH|MS Gothic 12",
                                  "cell A3 " + std::string(190, ' ') + "12|MS Gothic 12",
                                  "cell A5 a|MS Gothic 11", "cell A7     page three|MS Gothic 12"}))
        << dump;
    EXPECT_FALSE(contains(dump, "page one"));
    // The last page's break goes with the unused rows below it.
    EXPECT_EQ(facts(dump, "rowbreak"), (std::vector<std::string>{"rowbreak 5"}));
    EXPECT_EQ(facts(dump, "colbreak"), (std::vector<std::string>{"colbreak 92"}));
}

TEST_F(WorkbookBuildTest, sheets_change_every_n_pages_without_an_empty_last_sheet) {
    std::string records;
    for (int page = 1; page <= 120; ++page) {
        records +=
            block(1, 200, 300) + text_at("LABEL", 1, 0, "p" + std::to_string(page)) + "PAGE,1\r\n";
    }
    chars(records);
    settings_.Page_Count = 120;
    settings_.End_Page = 120;
    ASSERT_EQ(build(), StageOutcome::completed) << ::testing::PrintToString(view_.messages);
    std::string dump = read_back();
    EXPECT_EQ(
        facts(dump, "sheet"),
        (std::vector<std::string>{"sheet Page 1～50", "sheet Page 51～100", "sheet Page 101～120"}))
        << dump;

    settings_.End_Page = 100;
    ASSERT_EQ(build(), StageOutcome::completed);
    dump = read_back();
    EXPECT_EQ(facts(dump, "sheet"),
              (std::vector<std::string>{"sheet Page 1～50", "sheet Page 51～100"}));
}

TEST_F(WorkbookBuildTest, titles_runs_and_block_pictures_take_their_rows) {
    // A title line at a pitch of 15 points, then a label on the same line: an ordinary line.
    settings_.Line_Pitch = 150;
    settings_.Row_Pitch = 15.75;
    // Block 7 has figures (a 100 x 50 mm frame), block 8 none but still its height.
    test_support::ScratchFolder::write_file(job() / "META_FILE" / "7.emf",
                                            workbook_test::metafile_header(10000, 5000));
    // Its bitmaps, whatever their pixel size, cover the same frame.
    raster::Canvas bitmaps;
    bitmaps.resize(3, 2);
    bitmaps.stretch_copy({.width = 1, .height = 1, .rgb = {255, 0, 0}}, 0, 0, 1, 1);
    const std::vector<std::uint8_t> png = bitmaps.encode_png();
    test_support::ScratchFolder::write_file(job() / "META_FILE" / "7.png",
                                            std::string(png.begin(), png.end()));
    pict(block(7, 200, 400) + block(8, 400, 600) + "PAGE,1\r\n");
    chars(block(7, 200, 400) + text_at("TITLE", 1, 10, "Title") + block(8, 400, 600) +
          text_at("TITLE", 1, 0, "Plain") + text_at("LABEL", 1, 20, "after") +
          text_at("UMOJI", 2, 10, "2") + "PAGE,1\r\n");
    ASSERT_EQ(build(), StageOutcome::completed) << ::testing::PrintToString(view_.messages);
    const std::string dump = read_back();
    // Block 7 is 200 tenths high: 5 rows; block 8 starts on row 6.
    EXPECT_EQ(facts(dump, "cell A"),
              (std::vector<std::string>{"cell A1           Title|MS Gothic 15",
                                        "cell A6 Plain               after|MS Gothic 12",
                                        "cell A7           2|MS Gothic 12"}))
        << dump;
    EXPECT_EQ(facts(dump, "height"), (std::vector<std::string>{"height 1 15.75"})) << dump;
    // At the block's first row, 0.7 pt right, 100 mm x 50 mm in points times the factors; the
    // bitmaps first, so the metafile's figures lie above them.
    EXPECT_EQ(facts(dump, "picture"),
              (std::vector<std::string>{"picture 0 0 8890 0 3600000 1912500 image/png",
                                        "picture 0 0 8890 0 3600000 1912500 image/x-emf"}))
        << dump;
    EXPECT_EQ(test_support::read_bytes(job() / "UDSTRING.DAT"), "1,7,1,11,2,1\r\n");
}

TEST_F(WorkbookBuildTest, a_page_never_writes_over_the_rows_of_the_page_before) {
    // 9 points at a 15-point pitch: the first block of page 2 inherits the title flag with an
    // empty rectangle, whose height would be -1 rows.
    settings_.Char_Size = 90;
    settings_.Line_Pitch = 150;
    settings_.Template_File = fs::path(VS_PROGRAM_DIR) / "TMP-09P.xlsx";
    settings_.Row_Height = 9.75;
    settings_.Row_Pitch = 15.75;
    settings_.Col_Count = 123;
    settings_.Page_Count = 2;
    settings_.End_Page = 2;
    const double line9 = 90 * 25.4 / 72;
    // Page 1: a block of one row with a text on line 3, below the block's height.
    char last_line[96];
    std::snprintf(last_line, sizeof last_line, "LABEL,150.01,%.2f,0,0,\"page 1 low\"\r\n",
                  4 * line9);
    char first_line[96];
    std::snprintf(first_line, sizeof first_line, "LABEL,150.01,%.2f,0,0,\"page 2\"\r\n", 0.0);
    chars(block(1, 200, 200 + 2 * line9, 1) + last_line + "PAGE,1\r\n" + block(1, 200, 300) +
          first_line + "PAGE,1\r\n");
    ASSERT_EQ(build(), StageOutcome::completed) << ::testing::PrintToString(view_.messages);
    const std::string dump = read_back();
    const auto cells = facts(dump, "cell A");
    ASSERT_EQ(cells.size(), 2u) << dump;
    EXPECT_TRUE(cells[0].starts_with("cell A3 page 1 low")) << dump;
    // Line 0 of page 2's first block: the page starts one row lower instead.
    EXPECT_TRUE(cells[1].starts_with("cell A4 page 2")) << dump;
}

TEST_F(WorkbookBuildTest, wide_columns_break_where_the_page_width_ends) {
    chars(block(1, 200, 300) + text_at("LABEL", 1, 0, "A") + "PAGE,1\r\n");
    settings_.Cell_Wide = 1;
    settings_.Template_File = fs::path(VS_PROGRAM_DIR) / "TMP-12PW.xlsx";
    ASSERT_EQ(build(), StageOutcome::completed) << ::testing::PrintToString(view_.messages);
    EXPECT_EQ(facts(read_back(), "colbreak"), (std::vector<std::string>{"colbreak 46"}));
}

}  // namespace
