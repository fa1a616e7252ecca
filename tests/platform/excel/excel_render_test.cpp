#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/excel/excel.h"
#include "tests/platform/excel/sample_workbook.h"

namespace {

// LibreOffice takes seconds: one workbook, every check in one run.
TEST(excel_render, superscript_raised_small_run_smaller_on_its_baseline) {
    const auto folder = excel_test::fresh_folder("render");
    const auto file = folder / "Book1.xlsx";
    lxw_workbook* written = workbook_new(file.c_str());
    lxw_format* font = workbook_add_format(written);
    format_set_font_name(font, "IPAGothic");
    format_set_font_size(font, 14);
    lxw_worksheet* data = workbook_add_worksheet(written, "Data");
    worksheet_write_string(data, 0, 0, "area 2 m", font);
    worksheet_write_string(data, 1, 0, "H 3 O", font);
    ASSERT_EQ(workbook_close(written), LXW_NO_ERROR);

    excel::Application app;
    app.DisplayAlerts = false;
    excel::Workbook& book = app.Workbooks().Open(file);
    excel::Font up = book.Worksheets(1).Cells(1, 1).Characters(6, 1).Font();
    up.Superscript(true);
    up.Size(8);
    excel::Font small = book.Worksheets(1).Cells(2, 1).Characters(3, 1).Font();
    small.Size(8);
    book.SaveAs(file);
    app.Quit();

    const std::string command = "/usr/bin/python3 " VS_SOURCE_DIR
                                "/tests/platform/excel/check_workbook.py " +
                                file.string() + " " + (folder / "out").string() +
                                " value:Data!A1='area 2 m' value:Data!A2='H 3 O' raised:2:area"
                                " smaller:2:area smaller:3:H level:3:H level:m:area";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    if (!HasFailure()) std::filesystem::remove_all(folder);
}

}  // namespace
