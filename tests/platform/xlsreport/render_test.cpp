// Workbooks as LibreOffice and openpyxl read them. LibreOffice takes seconds per run, so these
// checks live in a test program of their own.
#include <gtest/gtest.h>

#include <cmath>
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

// For each template, two printed pages of a job with 20 mm margins at the template's character
// size: text in the first and in the last cell of each page's band of rows and Col_Count - 1
// half-width columns, a page break after each. Each page must print on one sheet of paper.
TEST(xlsreport_render, one_printed_page_of_each_size_fits_one_sheet_of_paper) {
    if (!have_readers()) GTEST_SKIP() << "LibreOffice or python3-openpyxl is not installed";
    const auto dir = scratch("bands");
    struct Size {
        const char* name;
        double points;
        bool wide;
    };
    for (const Size size : {Size{"12P", 12, false}, Size{"12PW", 12, true}, Size{"11P", 11, false},
                            Size{"11PW", 11, true}, Size{"10P", 10, false}, Size{"10PW", 10, true},
                            Size{"09P", 9, false}, Size{"09PW", 9, true}}) {
        constexpr double margin_mm = 20;
        const double char_mm = size.points * 25.4 / 72;
        const auto half_widths = static_cast<std::int32_t>(
            std::floor((210 - margin_mm) / 25.4 * 72 / size.points) * 2 - 2);
        const std::int32_t cols = size.wide ? half_widths / 2 : half_widths;
        const auto rows = static_cast<std::int32_t>(std::ceil((297 - 2 * margin_mm) / char_mm));
        xlsreport::XlsReport report;
        ASSERT_EQ(report.PutFileName(VS_PROGRAM_DIR "/TMP-" + std::string(size.name) + ".xlsx"), 1);
        ASSERT_EQ(report.StartFile(), 1);
        ASSERT_EQ(report.PageBegin("1", "1"), 1);
        ASSERT_EQ(report.PageAttrMargin(20, 0, 20, 20, 0, 0), 1);
        for (std::int32_t page = 0; page < 2; ++page) {
            ASSERT_EQ(report.Pos(0, page * rows, -1, -1), 1);
            ASSERT_EQ(report.PutValueString("S"), 1);
            ASSERT_EQ(report.Pos(cols - 1, page * rows + rows - 1, -1, -1), 1);
            // Right aligned: a left-aligned character as wide as its column would run over the
            // column break by the cell's inner margin.
            ASSERT_EQ(report.AttrPutPosHorz(xlsreport::pos_right), 1);
            ASSERT_EQ(report.PutValueString("E"), 1);
            ASSERT_EQ(report.Pos(cols, (page + 1) * rows, -1, -1), 1);
            ASSERT_EQ(report.PutBreak(-1), 1);
        }
        ASSERT_EQ(report.PageEnd(), 1);
        ASSERT_EQ(report.OutFile((dir / (std::string(size.name) + ".xlsx")).string(), -1), 1);
    }
    const std::string command = "/usr/bin/python3 " VS_SOURCE_DIR
                                "/tests/platform/xlsreport/check_bands.py " +
                                dir.string();
    EXPECT_EQ(std::system(command.c_str()), 0);
}

}  // namespace
