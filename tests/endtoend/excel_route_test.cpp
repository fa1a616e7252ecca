// varnel --excel on the bundled sample job: sorbel draws the figures, builds the workbook,
// applies the superscript and small runs, and leaves a workbook that other programs read as
// the printed report.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/sorbel/sample_excel_job.h"

namespace {

namespace fs = std::filesystem;

class ExcelRoute : public test_support::SampleExcelJob {
  protected:
    ExcelRoute() { fs::create_directories(out()); }
    fs::path out() const { return scratch_.path() / "out"; }

    // varnel on the console; returns its exit status, stderr in `errors`.
    int varnel(const std::string& arguments) {
        return run("varnel", "--console --excel --job-dir '" + job().string() + "' " + arguments);
    }

    // The checks of tests/platform/excel/check_workbook.py; returns its exit status.
    int check(const fs::path& book, const std::vector<std::string>& checks) {
        std::string command = "/usr/bin/python3 '" VS_SOURCE_DIR
                              "/tests/platform/excel/check_workbook.py' '" +
                              book.string() + "' '" + (scratch_.path() / "render").string() + "'";
        for (const std::string& c : checks) command += " '" + c + "'";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

TEST_F(ExcelRoute, sheets_tables_and_runs_reach_the_finished_workbook) {
    const fs::path book = out() / "Book1.xlsx";
    ASSERT_EQ(varnel("--output '" + book.string() + "' --sheet-pages 2"), 0) << errors;
    EXPECT_NE(errors.find("終了処理中"), std::string::npos) << errors;
    EXPECT_GT(fs::file_size(job() / "UDSTRING.DAT"), 0u);
    // LibreOffice raises the superscript "2" of "m 2" and draws the small one of "CO 2" on
    // the line; the table's cells are merged and ruled; A1 and the first sheet are selected;
    // the blue logo of the report's top right corner is there.
    EXPECT_EQ(
        check(book, {"sheets:Page 1～2|Page 3～4|Page 5～5", "active:Page 1～2",
                     "cursor:Page 3～4=A1", "value:Page 1～2!J19=地域", "merged:Page 1～2!J19:X19",
                     "border:Page 1～2!J19:left=thin", "border:Page 1～2!J26:top=medium",
                     "raised:2:m", "level:2:CO", "smaller:2:CO", "ink:0.65,0.05,0.9,0.12=135AAA"}),
        0);
}

TEST_F(ExcelRoute, wide_cells_and_thin_lines_on_one_sheet) {
    const fs::path book = out() / "Wide.xlsx";
    ASSERT_EQ(varnel("--output '" + book.string() + "' --cell-width 2 --lines thin"), 0) << errors;
    EXPECT_EQ(check(book, {"sheets:Page 1～5", "merged:Page 1～5!F19:L19",
                           "border:Page 1～5!F19:left=hair", "border:Page 1～5!F26:top=thin"}),
              0);
}

}  // namespace
