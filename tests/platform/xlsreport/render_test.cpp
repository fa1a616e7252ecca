// Workbooks as LibreOffice and openpyxl read them. LibreOffice takes seconds per run, so these
// checks live in a test program of their own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/platform/xlsreport/sample_workbook.h"

namespace {

bool have_readers() {
    return std::system(
               "command -v soffice >/dev/null && test -x /usr/bin/python3 && "
               "/usr/bin/python3 -c 'import openpyxl' 2>/dev/null") == 0;
}

std::filesystem::path scratch(const std::string& name) {
    const auto dir = std::filesystem::path(VS_PROGRAM_DIR) / ".." / "render" / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

TEST(xlsreport_render, templates_have_the_layout_of_their_size) {
    if (!have_readers()) GTEST_SKIP() << "LibreOffice or python3-openpyxl is not installed";
    const std::string command = "/usr/bin/python3 " VS_SOURCE_DIR
                                "/tests/platform/xlsreport/check_templates.py " VS_PROGRAM_DIR " " +
                                scratch("templates").string();
    EXPECT_EQ(std::system(command.c_str()), 0);
}

TEST(xlsreport_render, readers_open_the_workbook_as_it_was_built) {
    if (!have_readers()) GTEST_SKIP() << "LibreOffice or python3-openpyxl is not installed";
    const auto dir = scratch("workbook");
    xlsreport::XlsReport report;
    xlsreport_test::build_sample(report, dir);
    const auto file = dir / "sample.xlsx";
    ASSERT_EQ(report.OutFile(file.string(), -1), 1);
    const std::string command = "/usr/bin/python3 " VS_SOURCE_DIR
                                "/tests/platform/xlsreport/check_workbook.py " +
                                file.string() + " " + dir.string();
    EXPECT_EQ(std::system(command.c_str()), 0);
}

}  // namespace
