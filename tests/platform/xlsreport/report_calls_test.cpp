#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "base/whole_file.h"
#include "platform/xlsreport/xls_report.h"
#include "tests/platform/xlsreport/sample_workbook.h"

namespace {

using xlsreport::XlsReport;
namespace error = xlsreport::error;

// A report on the 12 pt template with one sheet open, recording what the error callback hears.
struct OpenReport {
    OpenReport() {
        report.SetOnErrorProc([this](std::int32_t& number, XlsReport& r) {
            EXPECT_EQ(&r, &report);
            raised.push_back(number);
        });
        EXPECT_EQ(report.PutFileName(xlsreport_test::template_12p()), 1);
        EXPECT_EQ(report.StartFile(), 1);
        EXPECT_EQ(report.PageBegin("sheet1", "1"), 1);
    }
    // The call failed with `number`, and the callback heard it (when `raised_too`).
    void failed(std::int16_t result, std::int32_t number, bool raised_too = true) {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(report.GetErrorNo(), number);
        if (raised_too) {
            ASSERT_FALSE(raised.empty());
            EXPECT_EQ(raised.back(), number);
        }
        raised.clear();
    }
    XlsReport report;
    std::vector<std::int32_t> raised;
};

TEST(xlsreport_calls, a_template_that_is_missing_or_no_workbook_cannot_be_opened) {
    XlsReport report;
    ASSERT_EQ(report.PutFileName("/nonexistent/TMP-12P.xlsx"), 1);
    EXPECT_EQ(report.StartFile(), 0);
    EXPECT_EQ(report.GetErrorNo(), error::file_cannot_open);
    std::string text;
    EXPECT_GT(report.GetErrorMessage(text), 0);
    EXPECT_NE(text.find("/nonexistent/TMP-12P.xlsx"), std::string::npos);

    const auto not_a_book = std::filesystem::temp_directory_path() / "xlsreport_not_a_book.xlsx";
    base::replace_file(not_a_book, std::string_view("PK but no zip"));
    XlsReport second;
    ASSERT_EQ(second.PutFileName(not_a_book.string()), 1);
    EXPECT_EQ(second.StartFile(), 0);
    EXPECT_EQ(second.GetErrorNo(), error::file_cannot_open);
    std::filesystem::remove(not_a_book);
}

TEST(xlsreport_calls, calls_out_of_order_fail_with_their_numbers) {
    XlsReport report;
    std::vector<std::int32_t> raised;
    report.SetOnErrorProc([&](std::int32_t& number, XlsReport&) { raised.push_back(number); });
    EXPECT_EQ(report.Pos(0, 0, -1, -1), 0);
    EXPECT_EQ(report.GetErrorNo(), error::not_open);
    EXPECT_EQ(report.OutFile("/tmp/x.xlsx", -1), 0);  // tested by its caller: not raised
    EXPECT_EQ(report.GetErrorNo(), error::start_out_unpaired);
    EXPECT_EQ(raised, std::vector<std::int32_t>{error::not_open});

    ASSERT_EQ(report.PutFileName(xlsreport_test::template_12p()), 1);
    ASSERT_EQ(report.StartFile(), 1);
    EXPECT_EQ(report.StartFile(), 0);
    EXPECT_EQ(report.GetErrorNo(), error::already_open);
    EXPECT_EQ(report.PageEnd(), 0);
    EXPECT_EQ(report.GetErrorNo(), error::begin_end_mismatch);
    EXPECT_EQ(report.OutFile("/tmp/x.xlsx", -1), 0);
    EXPECT_EQ(report.GetErrorNo(), error::no_data);
    EXPECT_EQ(report.PageBegin("a", "2"), 0);  // the template has one sheet
    EXPECT_EQ(report.GetErrorNo(), error::no_such_sheet);
    std::string text;
    report.GetErrorMessage(text);
    EXPECT_NE(text.find("\"2\" of TMP-12P.xlsx"), std::string::npos) << text;
    ASSERT_EQ(report.PageBegin("a", "1"), 1);
    EXPECT_EQ(report.PageBegin("b", "1"), 0);
    EXPECT_EQ(report.GetErrorNo(), error::begin_end_mismatch);
    EXPECT_EQ(report.OutFile("/tmp/x.xlsx", -1), 0);
    EXPECT_EQ(report.GetErrorNo(), error::begin_end_mismatch);
    EXPECT_EQ(report.PageTotalCount(), 1);
}

TEST(xlsreport_calls, positions_and_values_outside_the_sheet_are_refused) {
    OpenReport r;
    r.failed(r.report.PutValueString("x"), error::coordinate);  // nothing selected yet
    r.failed(r.report.Pos(16384, 0, -1, -1), error::coordinate);
    r.failed(r.report.Pos(0, 1048576, -1, -1), error::coordinate);
    r.failed(r.report.Pos(-1, 0, -1, -1), error::coordinate);
    r.failed(r.report.Pos(5, 5, 4, 6), error::coordinate);
    r.failed(r.report.Pos(5, 5, 6, -1), error::coordinate);
    EXPECT_EQ(r.report.Pos(16383, 1048575, -1, -1), 1);
    r.failed(r.report.PutRowHeight(0), error::parameter);
    r.failed(r.report.PutRowHeight(410), error::parameter);
    r.failed(r.report.AttrPutFontPoint(0.5), error::parameter);
    r.failed(r.report.AttrPutFontName(""), error::parameter);
    r.failed(r.report.PutValueString(std::string(32768, 'x')), error::length);
    EXPECT_EQ(r.report.PutValueString(std::string(32767, 'x')), 1);
    r.failed(r.report.AttrPutJoint(1), error::parameter);
    r.failed(r.report.PutBreak(1), error::parameter);
    r.failed(r.report.RowDelete(-1, 1), error::coordinate);
    r.failed(r.report.RowDelete(0, -1), error::parameter);
    r.failed(r.report.PageAttrMargin(-1, 0, 0, 0, 0, 0), error::parameter, false);
    r.failed(r.report.CanvasDraw(
                 xlsreport_test::metafile(std::filesystem::temp_directory_path(), 1000, 1000), 0, 0,
                 0, 10),
             error::parameter);
    EXPECT_TRUE(r.raised.empty());
}

TEST(xlsreport_calls, codes_outside_the_tables_are_attribute_errors) {
    OpenReport r;
    ASSERT_EQ(r.report.Pos(0, 0, 3, 3), 1);
    for (const std::int32_t code : {0x01000001, 0x0E000000, -1, 1}) {
        r.failed(r.report.AttrPutLineTop(code), error::attribute_number);
    }
    for (const std::int32_t code : {0, 0x01000000, 0x02000000, 0x07000000, 0x0D000000}) {
        EXPECT_EQ(r.report.AttrPutLineLeftUp(code), 1) << code;
    }
    for (const std::int32_t code : {20, 24, 0}) {
        r.failed(r.report.AttrPutPosHorz(code), error::attribute_number);
    }
    r.failed(r.report.AttrPutPosVert(3), error::attribute_number);
    for (const std::int32_t code : {21, 22, 23}) EXPECT_EQ(r.report.AttrPutPosHorz(code), 1);
}

TEST(xlsreport_calls, sheet_names_are_unique_and_as_excel_allows) {
    OpenReport r;
    r.failed(r.report.PageName("a:b"), error::parameter);
    r.failed(r.report.PageName(std::string(32, 'x')), error::parameter);
    ASSERT_EQ(r.report.PageName("Page 1\x81\x60"
                                "50"),
              1);
    ASSERT_EQ(r.report.PageEnd(), 1);
    // The next sheet begins under the first one's old name and may not take its new one.
    ASSERT_EQ(r.report.PageBegin("sheet1", "1"), 1);
    r.failed(r.report.PageName("page 1\x81\x60"
                               "50"),
             error::parameter);
    EXPECT_EQ(r.report.PageEnd(), 1);
    EXPECT_EQ(r.report.PageBegin("PAGE 1\x81\x60"
                                 "50",
                                 "1"),
              0);
    EXPECT_EQ(r.report.GetErrorNo(), error::parameter);
    EXPECT_EQ(r.report.PageTotalCount(), 2);
}

TEST(xlsreport_calls, picture_handles_are_given_and_taken_back_once) {
    OpenReport r;
    r.failed(static_cast<std::int16_t>(r.report.GetPicture()), error::no_data);
    ASSERT_EQ(r.report.Pos(0, 0, -1, -1), 1);
    ASSERT_EQ(r.report.CanvasDraw(
                  xlsreport_test::metafile(std::filesystem::temp_directory_path(), 1000, 1000), 0,
                  0, 10, 10),
              1);
    const std::int32_t handle = r.report.GetPicture();
    EXPECT_NE(handle, 0);
    EXPECT_EQ(r.report.ReleasePicture(handle), 1);
    r.failed(r.report.ReleasePicture(handle), error::invalid_handle);
}

TEST(xlsreport_calls, a_workbook_given_up_is_never_written) {
    OpenReport r;
    ASSERT_EQ(r.report.PageEnd(), 1);
    EXPECT_EQ(r.report.OutCancel(), 1);
    const auto file = std::filesystem::temp_directory_path() / "xlsreport_given_up.xlsx";
    EXPECT_EQ(r.report.OutFile(file.string(), -1), 0);
    EXPECT_EQ(r.report.GetErrorNo(), error::mode_error);
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(r.report.Release(), 1);
    EXPECT_EQ(r.report.Release(), 0);
    EXPECT_EQ(r.report.GetErrorNo(), error::invalid_handle);
    EXPECT_EQ(r.report.PutFileName("a.xlsx"), 0);
}

}  // namespace
