#include "sorbel/workbook/set_updown_excel.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/platform/excel/sample_workbook.h"
#include "tests/sorbel/workbook/stage_recorder.h"

namespace {

// "ＭＳ 明朝" in CP932.
const std::string mincho = "\x82\x6c\x82\x72\x20\x96\xbe\x92\xa9";

class SetUpDownExcel : public ::testing::Test {
  protected:
    void SetUp() override {
        settings_.job_dir = excel_test::fresh_folder(
            std::string("updown_") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        settings_.Xls_File = settings_.job_dir / "Book1.xlsx";
        settings_.Font_Name = mincho;
        settings_.Up_Size = 6;
        settings_.Down_Size = 7.5;
        excel_test::write_sample(settings_.Xls_File);
        original_ = excel_test::read_file(settings_.Xls_File);
    }
    void TearDown() override { std::filesystem::remove_all(settings_.job_dir); }

    void write_runs(const std::string& bytes) {
        std::ofstream(settings_.job_dir / "UDSTRING.DAT", std::ios::binary) << bytes;
    }

    workbook::WorkbookSettings settings_;
    workbook_test::StageRecorder view_;
    std::string original_;
};

TEST_F(SetUpDownExcel, without_runs_the_workbook_keeps_every_byte) {
    write_runs("");
    EXPECT_EQ(workbook::Set_UpDown_Excel(settings_, view_), workbook::StageOutcome::completed);
    EXPECT_EQ(view_.statuses, std::vector<std::string>{"終了処理中"});
    EXPECT_EQ(view_.progress_maximum, -1);
    EXPECT_TRUE(view_.messages.empty());
    EXPECT_EQ(excel_test::read_file(settings_.Xls_File), original_);
}

TEST_F(SetUpDownExcel, a_missing_work_file_is_reported_not_taken_for_no_runs) {
    EXPECT_EQ(workbook::Set_UpDown_Excel(settings_, view_), workbook::StageOutcome::failed);
    ASSERT_EQ(view_.messages.size(), 1u);
    EXPECT_EQ(view_.messages[0].icon, workbook::BoxIcon::exclamation);
    EXPECT_EQ(view_.messages[0].title, "Error - Set_UD");
    EXPECT_TRUE(view_.messages[0].text.starts_with("ファイルが見つかりません。\r\n"));
    EXPECT_NE(view_.messages[0].text.find("UDSTRING.DAT"), std::string::npos);
    EXPECT_TRUE(view_.messages[0].text.ends_with("\r\n\r\n処理を中止します。"));

    write_runs("1,1,1,2,1,1\r\n1,1,1\r\n");
    view_.messages.clear();
    EXPECT_EQ(workbook::Set_UpDown_Excel(settings_, view_), workbook::StageOutcome::failed);
    ASSERT_EQ(view_.messages.size(), 1u);
    EXPECT_NE(view_.messages[0].text.find("line 2"), std::string::npos);
    EXPECT_EQ(excel_test::read_file(settings_.Xls_File), original_);
}

TEST_F(SetUpDownExcel, superscript_and_small_runs_then_a1_and_the_first_tab) {
    write_runs("1,1,1,2,1,1\r\n1,1,1,9,2,2\r\n1,2,1,1,6,3\r\n");
    EXPECT_EQ(workbook::Set_UpDown_Excel(settings_, view_), workbook::StageOutcome::completed);
    EXPECT_TRUE(view_.messages.empty());
    EXPECT_EQ(view_.progress_maximum, 3);
    EXPECT_EQ(view_.progress, 3);

    const auto package = excel_test::read_package(settings_.Xls_File);
    const auto sheet = excel_test::parse(package.parts.at("xl/worksheets/sheet1.xml"));
    const auto sst = excel_test::parse(package.parts.at("xl/sharedStrings.xml"));
    const pugi::xml_node a1 = excel_test::string_item_of(sheet, sst, "A1");
    const auto run_font = [&](int index) {
        auto r = a1.children("r").begin();
        std::advance(r, index);
        return r->child("rPr");
    };
    // Kind 1: raised, Up_Size, the font name; kind 2: Down_Size and the name, not lowered.
    EXPECT_STREQ(run_font(1).child("vertAlign").attribute("val").value(), "superscript");
    EXPECT_STREQ(run_font(1).child("sz").attribute("val").value(), "6");
    EXPECT_STREQ(run_font(1).child("rFont").attribute("val").value(), "ＭＳ 明朝");
    EXPECT_FALSE(run_font(3).child("vertAlign"));
    EXPECT_STREQ(run_font(3).child("sz").attribute("val").value(), "7.5");
    EXPECT_STREQ(run_font(3).child("rFont").attribute("val").value(), "ＭＳ 明朝");
    // Kind 3 changes nothing.
    EXPECT_TRUE(excel_test::string_item_of(sheet, sst, "A2").child("t"));

    const auto workbook = excel_test::parse(package.parts.at("xl/workbook.xml"));
    EXPECT_STREQ(workbook.select_node("//workbookView").node().attribute("activeTab").value(), "0");
    const auto last = excel_test::parse(package.parts.at("xl/worksheets/sheet3.xml"));
    EXPECT_STREQ(last.select_node("//selection").node().attribute("activeCell").value(), "A1");
}

TEST_F(SetUpDownExcel, a_font_name_with_a_control_character_leaves_a_workbook_readers_open) {
    settings_.Font_Name = "\x01" + mincho;
    write_runs("1,1,1,2,1,1\r\n");
    EXPECT_EQ(workbook::Set_UpDown_Excel(settings_, view_), workbook::StageOutcome::completed);

    const auto package = excel_test::read_package(settings_.Xls_File);
    const auto sheet = excel_test::parse(package.parts.at("xl/worksheets/sheet1.xml"));
    const auto sst = excel_test::parse(package.parts.at("xl/sharedStrings.xml"));
    const pugi::xml_node raised =
        *std::next(excel_test::string_item_of(sheet, sst, "A1").children("r").begin());
    EXPECT_STREQ(raised.child("rPr").child("rFont").attribute("val").value(), "\uFFFDＭＳ 明朝");
    const std::string read =
        "/usr/bin/python3 -c 'import sys, openpyxl; "
        "print(openpyxl.load_workbook(sys.argv[1])[\"Data\"][\"A1\"].value)' '" +
        settings_.Xls_File.string() + "' >/dev/null";
    EXPECT_EQ(std::system(read.c_str()), 0);
}

TEST_F(SetUpDownExcel, a_record_naming_a_missing_sheet_fails_and_keeps_the_first_save) {
    write_runs("1,1,1,2,1,1\r\n5,1,1,1,1,1\r\n");
    EXPECT_EQ(workbook::Set_UpDown_Excel(settings_, view_), workbook::StageOutcome::failed);
    ASSERT_EQ(view_.messages.size(), 1u);
    EXPECT_EQ(view_.messages[0].title, "Error - Set_UD");
    EXPECT_TRUE(view_.messages[0].text.starts_with("インデックスが有効範囲にありません。"));
    EXPECT_NE(view_.messages[0].text.find("UDSTRING.DAT 2行目"), std::string::npos);
    EXPECT_EQ(excel_test::read_file(settings_.Xls_File), original_);

    // A cell beyond the sheet's last column is Excel's application error.
    write_runs("1,1,16385,1,1,1\r\n");
    view_.messages.clear();
    EXPECT_EQ(workbook::Set_UpDown_Excel(settings_, view_), workbook::StageOutcome::failed);
    ASSERT_EQ(view_.messages.size(), 1u);
    EXPECT_TRUE(view_.messages[0].text.starts_with("アプリケーション定義"));
    EXPECT_EQ(excel_test::read_file(settings_.Xls_File), original_);
}

}  // namespace
