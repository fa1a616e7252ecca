#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "sorbel/workbook/matrix_cells.h"
#include "tests/ooxml_conformance.h"
#include "tests/platform/excel/sample_workbook.h"

namespace {

// Tables written through the report library and read back by openpyxl.
class MatrixWorkbook : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = excel_test::fresh_folder(
            std::string("matrix_") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        const auto template_file = folder_ / "template.xlsx";
        lxw_workbook* book = workbook_new(template_file.c_str());
        workbook_add_worksheet(book, "Sheet1");
        ASSERT_EQ(workbook_close(book), LXW_NO_ERROR);

        settings_.Char_Size = 72;  // half-width columns of 1.27 mm
        settings_.Margin_Left = 100;
        settings_.Font_Name = "\x82\x6c\x82\x72\x20\x96\xbe\x92\xa9";  // "ＭＳ 明朝"
        settings_.Cell_Point = 9;
        settings_.Matrix_Row_Height = 30;
        report_.SetOnErrorProc([](std::int32_t& number, xlsreport::XlsReport& report) {
            std::string text;
            report.GetErrorMessage(text);
            ADD_FAILURE() << "report library error " << number << ": " << text;
        });
        ASSERT_TRUE(report_.PutFileName(template_file.string()));
        ASSERT_TRUE(report_.StartFile());
        ASSERT_TRUE(report_.PageBegin("sheet1", "1"));
    }
    void TearDown() override {
        if (!HasFailure()) std::filesystem::remove_all(folder_);
    }

    jobfiles::CellLine cell(const char* ruling, std::int16_t alignment, const char* text) {
        jobfiles::CellLine line;
        line.s = ruling;
        line.n = alignment;
        line.text = text;
        line.decode();
        return line;
    }

    // One table of `widths` (tenths of a millimetre) in a block at x 100, row 0.
    void put_table(std::vector<double> widths, std::vector<std::vector<jobfiles::CellLine>> rows) {
        jobfiles::MatrixHeader header;
        header.m1 = static_cast<std::int16_t>(rows.size());
        header.m2 = static_cast<std::int16_t>(widths.size());
        header.m3 = 1;
        header.m4 = 12.7;  // one half-width column in: column B
        header.m5 = 50;
        header.widths = std::move(widths);
        workbook::MatrixCells table(header, workbook::MatrixPlace{100, header.m3, 1}, settings_);
        for (auto& row : rows) table.put_row(report_, jobfiles::MatrixRow{std::move(row)}, runs_);
    }

    // openpyxl's view of the saved sheet.
    std::string saved_cells() {
        EXPECT_TRUE(report_.PageEnd());
        const auto book = folder_ / "Book1.xlsx";
        EXPECT_TRUE(report_.OutFile(book.string(), -1));
        report_.Release();
        EXPECT_EQ(test_support::ooxml_violations({book}), "");
        const std::string command = "/usr/bin/python3 " VS_SOURCE_DIR
                                    "/tests/sorbel/workbook/dump_cells.py " +
                                    book.string();
        std::string output;
        FILE* pipe = ::popen(command.c_str(), "r");
        char buffer[4096];
        while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr)
            output += buffer;
        EXPECT_EQ(pipe != nullptr ? ::pclose(pipe) : -1, 0) << command;
        return output;
    }

    std::filesystem::path folder_;
    workbook::WorkbookSettings settings_;
    xlsreport::XlsReport report_;
    workbook::UdStringWriter runs_;
};

bool has_line(const std::string& dump, const std::string& line) {
    return dump.find(line + "\n") != std::string::npos;
}

TEST_F(MatrixWorkbook, joins_alignment_rulings_and_runs) {
    put_table({25.4, 12.7, 12.7, 38.1}, {{cell("111155", 1, "  m$U2$Z  "), cell("000000", 1, "@"),
                                          cell("0", 1, "@"), cell("000000", 2, " =SUM(A1) ")},
                                         {cell("11", 4, "  mid  "), cell("0000x5", 7, "  right  "),
                                          cell("", 0, "x"), cell("505050", 4, "=1+2")}});
    const std::string dump = saved_cells();
    // Text, "@", "@", text: the first over the first three columns' widths, the last its own.
    EXPECT_TRUE(has_line(dump, "merged B2:E2")) << dump;
    EXPECT_TRUE(has_line(dump, "merged F2:H2")) << dump;
    // Left-aligned text loses its trailing blanks only; the markers are gone; six digits
    // 1 1 1 1 5 5: both diagonals, left and bottom ordinary, right and top heavy.
    EXPECT_TRUE(has_line(dump,
                         "cell B2 value='  m2' type=s halign=left valign=center size=9.0 "
                         "font=ＭＳ 明朝 lines=left:thin,bottom:thin,right:medium,"
                         "top:medium,down:thin,up:thin"))
        << dump;
    // Alignment 2: untrimmed, no horizontal alignment, vertical and size all the same; six
    // zeros draw nothing; a text beginning with "=" is text, not a formula.
    EXPECT_TRUE(has_line(dump,
                         "cell F2 value=' =SUM(A1) ' type=s halign=None valign=center "
                         "size=9.0 font=ＭＳ 明朝 lines="))
        << dump;
    EXPECT_TRUE(has_line(dump,
                         "cell F3 value='=1+2' type=s halign=center valign=center "
                         "size=9.0 font=ＭＳ 明朝 lines=left:medium,right:medium,down:medium"))
        << dump;
    // A code of two characters has only the diagonals; a stray character draws nothing.
    EXPECT_TRUE(has_line(dump,
                         "cell B3 value='mid' type=s halign=center valign=center "
                         "size=9.0 font=ＭＳ 明朝 lines=down:thin,up:thin"))
        << dump;
    EXPECT_TRUE(has_line(dump,
                         "cell D3 value='right  ' type=s halign=right valign=center "
                         "size=9.0 font=ＭＳ 明朝 lines=top:medium"))
        << dump;
    // With Row_Ratio 10 the rows keep the template's height.
    EXPECT_EQ(dump.find("row "), std::string::npos) << dump;
    // The superscript "2" of B2: sheet 1, row 2, column 2, character 4, one character.
    EXPECT_EQ(runs_.bytes(), "1,2,2,4,1,1\r\n");
}

TEST_F(MatrixWorkbook, row_ratio_sets_the_table_row_height) {
    settings_.Row_Ratio_SW = true;
    put_table({25.4}, {{cell("000000", 1, "a")}, {cell("000000", 1, "b")}});
    const std::string dump = saved_cells();
    EXPECT_TRUE(has_line(dump, "row 2 height=30.0")) << dump;
    EXPECT_TRUE(has_line(dump, "row 3 height=30.0")) << dump;
}

}  // namespace
