// The workbook build over jobs that real report producers write and the generator does not:
// text above a block's first row, bare PAGE lines, narrow and tall tables, repeated block
// numbers, files shorter than their page count, texts off the grid, broken records.
#include <gtest/gtest.h>

#include <regex>

#include "sorbel/workbook/make_xls_file.h"
#include "tests/sorbel/workbook/workbook_build_fixture.h"

namespace {

using workbook::StageOutcome;
using workbook_test::block;
using workbook_test::facts;
using workbook_test::line_height;
using workbook_test::metafile_header;
using workbook_test::text_at;
using workbook_test::WorkbookBuildTest;
namespace fs = std::filesystem;

using Lines = std::vector<std::string>;

std::string cells(std::initializer_list<const char*> texts) {
    std::string lines;
    for (const char* text : texts) {
        lines += std::string("C,0,0,\"000000\",1,0,\"") + text + "\"\r\n";
    }
    return lines;
}

class HandMadeJob : public WorkbookBuildTest {
  protected:
    void metafile(const std::string& name, std::uint32_t width, std::uint32_t height) const {
        test_support::ScratchFolder::write_file(job() / "META_FILE" / name,
                                                metafile_header(width, height));
    }
    std::string built() {
        EXPECT_EQ(build(), StageOutcome::completed) << ::testing::PrintToString(view_.messages);
        return read_back();
    }
};

TEST_F(HandMadeJob, text_on_line_zero_moves_the_whole_block_down_with_its_table) {
    // The page's first block: line 0 would lie above the sheet's first row.
    chars(block(1, 200, 400) + text_at("LABEL", 0, 0, "zero") +
          "MATRIX,1,2,0,0,42.33,\"t\",100,100\r\n" + cells({"a", "b"}) + "PAGE,1\r\n");
    const std::string dump = built();
    EXPECT_EQ(facts(dump, "cell "), (Lines{"cell A1 zero|MS Gothic 12", "cell A2 a|MS Gothic 11",
                                           "cell F2 b|MS Gothic 11"}))
        << dump;
}

TEST_F(HandMadeJob, text_on_line_zero_of_a_later_block_keeps_the_block_above_whole) {
    chars(block(1, 200, 400) + text_at("LABEL", 5, 0, "five") + block(2, 400, 600) +
          text_at("LABEL", 0, 0, "zero") + text_at("LABEL", 1, 0, "one") + block(3, 600, 700) +
          text_at("LABEL", 1, 0, "three") + "PAGE,1\r\n");
    const std::string dump = built();
    // Block 2 takes one row more: block 3 starts below it.
    EXPECT_EQ(facts(dump, "cell A"),
              (Lines{"cell A5 five|MS Gothic 12", "cell A6 zero|MS Gothic 12",
                     "cell A7 one|MS Gothic 12", "cell A12 three|MS Gothic 12"}))
        << dump;
}

TEST_F(HandMadeJob, a_bare_page_line_ends_its_page_and_nothing_else) {
    pict(
        "BLOCK,1,150,200,1900,300,0,0\r\nPAGE\r\nBLOCK,2,150,200,1900,300,0,0\r\n"
        "BLOCK,3,150,300,1900,400,0,0\r\nPAGE\r\n");
    metafile("2.emf", 17000, 1000);
    chars(block(1, 200, 300) + text_at("LABEL", 1, 0, "one") + "PAGE\r\n" + block(2, 200, 300) +
          text_at("LABEL", 1, 0, "two") + block(3, 300, 400) + text_at("LABEL", 1, 0, "three") +
          "PAGE\r\n");
    settings_.Page_Count = 2;
    settings_.End_Page = 2;
    const std::string dump = built();
    EXPECT_EQ(facts(dump, "cell A"), (Lines{"cell A1 one|MS Gothic 12", "cell A3 two|MS Gothic 12",
                                            "cell A5 three|MS Gothic 12"}))
        << dump;
    EXPECT_EQ(facts(dump, "picture"), (Lines{"picture 0 2 8890 0 6120000 382500 image/x-emf"}));
    EXPECT_TRUE(view_.warnings.empty()) << ::testing::PrintToString(view_.warnings);
}

TEST_F(HandMadeJob, one_block_number_twice_on_a_page_places_each_blocks_own_figure) {
    pict("BLOCK,5,150,200,1900,300,0,0\r\nBLOCK,5,150,300,1900,500,0,0\r\nPAGE\r\n");
    metafile("5-p1.emf", 17000, 1000);
    metafile("5-p1-2.emf", 17000, 2000);
    chars(block(5, 200, 300) + text_at("LABEL", 1, 0, "one") + block(5, 300, 500) +
          text_at("LABEL", 1, 0, "two") + "PAGE\r\n");
    const std::string dump = built();
    EXPECT_EQ(facts(dump, "picture"), (Lines{"picture 0 0 8890 0 6120000 382500 image/x-emf",
                                             "picture 0 2 8890 0 6120000 765000 image/x-emf"}))
        << dump;
}

TEST_F(HandMadeJob, a_column_narrower_than_half_a_sheet_column_keeps_a_column_and_its_text) {
    chars(block(1, 200, 400) + "MATRIX,1,3,1,0,42.33,\"t\",100,5,100\r\n" + cells({"a", "s", "c"}) +
          "PAGE,1\r\n");
    const std::string dump = built();
    EXPECT_EQ(facts(dump, "cell "),
              (Lines{"cell A2 a|MS Gothic 11", "cell F2 s|MS Gothic 11", "cell G2 c|MS Gothic 11"}))
        << dump;
}

TEST_F(HandMadeJob, text_below_a_table_of_tall_rows_moves_up_with_the_table) {
    // Two table rows of two lines each take two rows: the lines below move up by two, and the
    // block is two rows shorter.
    char tall_table[64];
    std::snprintf(tall_table, sizeof tall_table, "MATRIX,2,1,1,0,%.3f,\"t\",100\r\n",
                  2 * line_height);
    chars(block(1, 200, 200 + 10 * line_height) + tall_table + cells({"r1", "r2"}) +
          text_at("LABEL", 10, 0, "bottom") + block(2, 200 + 10 * line_height, 1000) +
          text_at("LABEL", 2, 0, "next") + "PAGE,1\r\n");
    const std::string dump = built();
    EXPECT_EQ(facts(dump, "cell A"),
              (Lines{"cell A2 r1|MS Gothic 11", "cell A3 r2|MS Gothic 11",
                     "cell A8 bottom|MS Gothic 12", "cell A10 next|MS Gothic 12"}))
        << dump;
}

TEST_F(HandMadeJob, pages_the_text_file_does_not_hold_are_told_and_leave_no_empty_sheet) {
    chars(block(1, 200, 300) + text_at("LABEL", 1, 0, "p1") + "PAGE,1\r\n" + block(1, 200, 300) +
          text_at("LABEL", 1, 0, "p2") + "PAGE,2\r\n");
    settings_.Page_Count = 3;
    settings_.End_Page = 3;
    const Lines missing{"PRN_CHAR にページ 3～3 がありません（変換されません）"};
    settings_.Sheet_Page = 1;
    EXPECT_EQ(facts(built(), "sheet"), (Lines{"sheet Page 1～1", "sheet Page 2～2"}));
    EXPECT_EQ(view_.warnings, missing);

    view_.warnings.clear();
    settings_.Sheet_Page = 50;
    EXPECT_EQ(facts(built(), "sheet"), (Lines{"sheet Page 1～2"}));
    EXPECT_EQ(view_.warnings, missing);

    // Not one page of the range: nothing to save.
    view_.warnings.clear();
    fs::remove(settings_.Xls_File);
    settings_.Start_Page = 3;
    EXPECT_EQ(build(), StageOutcome::failed);
    ASSERT_EQ(view_.messages.size(), 1u);
    EXPECT_EQ(view_.messages[0],
              "Error - Make_XlsFile|ファイルにこれ以上データがありません。\r\n"
              "PRN_CHAR にページ 3～3 がありません\r\n\r\n処理を中止します。");
    EXPECT_FALSE(fs::exists(settings_.Xls_File));
}

TEST_F(HandMadeJob, the_same_raised_text_twice_at_one_place_is_one_run) {
    chars(block(1, 200, 400) + text_at("UMOJI", 1, 10, "2") + text_at("UMOJI", 1, 10, "2") +
          "PAGE,1\r\n");
    EXPECT_EQ(build(), StageOutcome::completed) << ::testing::PrintToString(view_.messages);
    EXPECT_EQ(test_support::read_bytes(job() / "UDSTRING.DAT"), "1,1,1,11,2,1\r\n");
}

TEST_F(HandMadeJob, texts_off_the_grid_are_placed_or_left_out_with_a_word) {
    chars(block(1, 200, 400) + "LABEL,100,42.33,0,0,\"left of the margin\"\r\n" +
          text_at("LABEL", 101, 0, "below line 100") + text_at("LABEL", 2, 190, "12345") +
          text_at("LABEL", 3, 200, "right of 192") + "PAGE,1\r\n");
    const std::string dump = built();
    EXPECT_EQ(facts(dump, "cell A"),
              (Lines{"cell A1 left of the margin|MS Gothic 12",
                     "cell A2 " + std::string(190, ' ') + "12|MS Gothic 12"}))
        << dump;
    EXPECT_EQ(view_.warnings,
              (Lines{"左余白より左の文字は行の先頭に置きました：1ページ、ブロック 1、1行目"
                     "「left of the margin」",
                     "ブロックの 100 行目以降の文字は出力されません：1ページ、ブロック 1、101行目"
                     "「below line 100」",
                     "1 行 192 桁を超えた部分を切り捨てました：1ページ、ブロック 1、2行目「12345」",
                     "1 行 192 桁より右の文字は出力されません：1ページ、ブロック 1、3行目"
                     "「right of 192」"}));
}

TEST_F(HandMadeJob, warnings_of_one_kind_beyond_ten_are_counted) {
    std::string records = block(1, 200, 400);
    for (int i = 0; i < 12; ++i) records += "LABEL,100,42.33,0,0,\"x\"\r\n";
    chars(records + "PAGE,1\r\n");
    built();
    ASSERT_EQ(view_.warnings.size(), 11u);
    EXPECT_EQ(view_.warnings.back(), "文字の位置を変えた警告がほかに 2 件あります");
}

TEST_F(HandMadeJob, cell_lines_beyond_their_table_are_told_once) {
    chars(block(1, 200, 400) + "MATRIX,1,1,1,0,42.33,\"t\",100\r\n" +
          cells({"a", "extra", "PAGE"}) + text_at("LABEL", 4, 0, "after") + "PAGE,1\r\n");
    const std::string dump = built();
    EXPECT_EQ(facts(dump, "cell A"),
              (Lines{"cell A2 a|MS Gothic 11", "cell A4 after|MS Gothic 12"}))
        << dump;
    ASSERT_EQ(view_.warnings.size(), 1u);
    EXPECT_TRUE(view_.warnings[0].starts_with(
        "MATRIX の行数・列数を超えるセル行があります：1ページ、ブロック 1、PRN_CHAR の "))
        << view_.warnings[0];
}

// The box's text without the names it may carry and the job's own texts it quotes: nothing of
// it is English.
void expect_japanese(const std::string& message) {
    const std::string rest = std::regex_replace(
        message, std::regex("Error - Make_XlsFile(_R)?\\||PRN_CHAR|MATRIX|No\\.?[0-9]+|「[^」]*」"),
        "");
    EXPECT_FALSE(std::regex_search(rest, std::regex("[A-Za-z]"))) << message;
}

TEST_F(HandMadeJob, error_boxes_name_page_block_and_table_cell_in_japanese) {
    chars(block(1, 200, 400) + "LABEL,1x,42.33,0,0,\"a\"\r\nPAGE,1\r\n");
    EXPECT_EQ(build(), StageOutcome::failed);
    ASSERT_EQ(view_.messages.size(), 1u);
    EXPECT_EQ(view_.messages[0],
              "Error - Make_XlsFile|型が一致しません。\r\n"
              "PRN_CHAR の 44 バイト目：「1x」は数値ではありません\r\n"
              "場所：1ページ、ブロック 1、PRN_CHAR の 38 バイト目\r\n"
              "帳票の作成元でこのページを確認するか、このページを除いて変換してください。"
              "\r\n\r\n処理を中止します。");
    expect_japanese(view_.messages[0]);

    view_.messages.clear();
    chars(block(1, 200, 400) + "MATRIX,1,2,1,0,42.33,\"t\",100,100\r\n" + cells({"@", "b"}) +
          "PAGE,1\r\n");
    EXPECT_EQ(build(), StageOutcome::failed);
    ASSERT_EQ(view_.messages.size(), 1u);
    EXPECT_TRUE(view_.messages[0].find("場所：1ページ、ブロック 1、表の 1 行目 1 列目（PRN_CHAR の "
                                       "38 バイト目の MATRIX）") != std::string::npos)
        << view_.messages[0];
    expect_japanese(view_.messages[0]);

    // An error the library raises inside a call: a cell longer than a cell can hold.
    view_.messages.clear();
    chars(block(1, 200, 400) + "MATRIX,1,2,1,0,42.33,\"t\",100,100\r\n" +
          cells({"a", std::string(40000, 'x').c_str()}) + "PAGE,1\r\n");
    EXPECT_EQ(build(), StageOutcome::failed);
    ASSERT_EQ(view_.messages.size(), 1u);
    EXPECT_TRUE(
        view_.messages[0].starts_with("Error - Make_XlsFile_R|長さエラー  No31\r\n"
                                      "場所：1ページ、ブロック 1、表の 1 行目 2 列目"))
        << view_.messages[0].substr(0, 300);
    expect_japanese(view_.messages[0]);
    EXPECT_FALSE(fs::exists(settings_.Xls_File));
}

}  // namespace
