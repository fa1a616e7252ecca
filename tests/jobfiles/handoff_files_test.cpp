#include "jobfiles/handoff_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/cp932.h"
#include "base/run_time_error.h"
#include "base/whole_file.h"

namespace {

namespace fs = std::filesystem;

class handoff_files : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("handoff_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(handoff_files, prn_xls_holds_the_exact_five_lines_and_reads_back) {
    jobfiles::PrnXlsChoices c;
    c.Start_Page = 3;
    c.End_Page = 10;
    c.workbook = "C:\\out\\Book1";
    c.sheet_pages = 50;
    EXPECT_EQ(jobfiles::format_prn_xls(c), " 3 , 10 \r\nC:\\out\\Book1\r\n1, 50 \r\n0\r\n0\r\n");

    c.workbook = cp932::from_utf8("C:\\売上,月次\\集計表");  // a comma survives: whole line
    c.two_chars_per_cell = true;
    c.thin_lines = true;
    c.sheet_pages = 2.5;
    jobfiles::write_prn_xls(dir_ / "PRN_XLS", c);
    const jobfiles::PrnXlsSettings s = jobfiles::load_prn_xls(dir_ / "PRN_XLS");
    EXPECT_EQ(s.Start_Page, 3);
    EXPECT_EQ(s.End_Page, 10);
    EXPECT_EQ(s.workbook, c.workbook);
    EXPECT_EQ(s.Sheet_SW, 1);
    EXPECT_EQ(s.Sheet_Page, 2);  // 2.5 rounds to the even neighbour
    EXPECT_EQ(s.Cell_Wide, 1);
    EXPECT_EQ(s.Line_Thin, 1);
    EXPECT_EQ(fs::directory_iterator(dir_)->path().filename(), "PRN_XLS");  // no temporary left
}

TEST_F(handoff_files, prn_xls_errors_stop_the_reader) {
    const auto number_of = [](const std::string& bytes) {
        try {
            jobfiles::parse_prn_xls(bytes);
        } catch (const base::RunTimeError& e) {
            return e.number();
        }
        return 0;
    };
    EXPECT_EQ(number_of(" 1 , 2 \r\nBook1\r\n1, 40000 \r\n0\r\n0\r\n"), 6);
    EXPECT_EQ(number_of(" 1 , 2 \r\nBook1\r\n1, 5 \r\n"), 62);
    EXPECT_EQ(number_of(" 1 , 2 \r\nBook1\r\n1,abc\r\n0\r\n0\r\n"), 13);
    EXPECT_EQ(number_of(" 1 , 2 \r\nBook1\r\n1, 0 \r\n0\r\n0\r\n"), 0);
    try {
        jobfiles::load_prn_xls(dir_ / "PRN_XLS");
        FAIL();
    } catch (const base::RunTimeError& e) {
        EXPECT_EQ(e.number(), 53);
    }
}

TEST_F(handoff_files, path_ini_is_one_quoted_line_and_missing_or_empty_means_none) {
    EXPECT_EQ(jobfiles::format_path_ini("C:\\data"), "\"C:\\data\"\r\n");
    EXPECT_EQ(jobfiles::load_path_ini(dir_ / "PATH_INI"), "");
    std::ofstream(dir_ / "PATH_INI").close();
    EXPECT_EQ(jobfiles::load_path_ini(dir_ / "PATH_INI"), "");
    const std::string folder = cp932::from_utf8("/home/山田/出力, 2024");
    jobfiles::write_path_ini(dir_ / "PATH_INI", folder);
    EXPECT_EQ(base::load_file(dir_ / "PATH_INI"), "\"" + folder + "\"\r\n");
    EXPECT_EQ(jobfiles::load_path_ini(dir_ / "PATH_INI"), folder);
}

TEST_F(handoff_files, a_failed_write_leaves_the_old_file_and_reports_the_folder) {
    jobfiles::write_path_ini(dir_ / "PATH_INI", "old");
    try {
        jobfiles::write_path_ini(dir_ / "missing" / "PATH_INI", "new");
        FAIL();
    } catch (const base::RunTimeError& e) {
        EXPECT_EQ(e.number(), 76);
    }
    fs::create_directory(dir_ / "PRN_XLS");  // a folder in the way
    EXPECT_THROW(jobfiles::write_prn_xls(dir_ / "PRN_XLS", {}), base::RunTimeError);
    EXPECT_EQ(jobfiles::load_path_ini(dir_ / "PATH_INI"), "old");
    for (const auto& entry : fs::directory_iterator(dir_)) {
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos);
    }
}

TEST(sheet_size, all_pages_on_one_sheet_counts_ten_pages_more_than_the_job) {
    EXPECT_EQ(jobfiles::sheet_size(1, 50, 1000), 50);
    EXPECT_EQ(jobfiles::sheet_size(0, 50, 494), 504);
    EXPECT_TRUE(jobfiles::sheet_size_fits(jobfiles::sheet_size(0, 0, 494)));
    EXPECT_FALSE(jobfiles::sheet_size_fits(jobfiles::sheet_size(0, 0, 495)));
    EXPECT_FALSE(jobfiles::sheet_size_fits(jobfiles::sheet_size(1, 0, 10)));
}

}  // namespace
